// The voice's own logic on the scripted engine, with a sink paced by a clock
// the test moves by hand: words arrive as their audio is reached, pausing
// stops the clock, purging ends streams, handlers may speak, a hint can be cut
// short, and a failing device hands over to a silent sink. Last, the voice
// over an engine without data: silent streams that still start and end.
#include "SpeechRecorder.h"

#include "speech/ScriptedEngine.h"
#include "speech/SpeechEngine.h"
#include "speech/VoicePrompt.h"

#include <QtTest>

using namespace Qt::StringLiterals;

namespace
{

// A device that takes audio, plays none of it and breaks.
class BreakingSink : public ImmediateSink
{
public:
    void write(const int16_t *samples, qint64 count) override
    {
        ImmediateSink::write(samples, count);
        m_broken = true;
    }
    qint64 played() const override { return 0; }
    bool hasFailed() const override { return m_broken; }

private:
    bool m_broken = false;
};

} // namespace

class TestSpVoicePacing : public QObject
{
    Q_OBJECT
private:
    ScriptedEngine m_engine;
    std::shared_ptr<qint64> m_now = std::make_shared<qint64>(0);

    // Moves the clock by `ms` in small steps, letting the voices catch up.
    void advance(int ms, std::initializer_list<SpVoice *> voices)
    {
        for (int done = 0; done < ms; done += 20) {
            *m_now += 20;
            for (SpVoice *voice : voices)
                voice->WaitUntilDone(0);
        }
    }
    // Runs the clock until the voice is done (at most a minute of sound).
    bool finish(SpVoice &voice)
    {
        for (int step = 0; step < 600 && voice.isSpeaking(); ++step)
            advance(100, {&voice});
        return !voice.isSpeaking();
    }

private Q_SLOTS:
    void initTestCase() { SynthesisEngine::setDefault(&m_engine); }
    void cleanupTestCase() { SynthesisEngine::setDefault(nullptr); }

    void init()
    {
        *m_now = 0;
        auto now = m_now;
        AudioSink::setFactory(
            [now] { return std::make_unique<SilentSink>(22050, [now] { return *now; }); });
    }

    void wordsArriveAsTheSoundReachesThem()
    {
        SpVoice voice;
        SpeechRecorder rec(&voice);
        voice.Speak(u"請輸入文字於此"_s, SVSFlagsAsync);
        voice.WaitUntilDone(0);
        QCOMPARE(rec.of(u"Start"_s).size(), 1);
        // The clock has not moved: only what starts at the very beginning.
        QCOMPARE(rec.of(u"Word"_s).size(), 1);
        QList<int> counts;
        for (int step = 0; step < 100 && rec.of(u"End"_s).isEmpty(); ++step) {
            advance(100, {&voice});
            counts.append(int(rec.of(u"Word"_s).size()));
        }
        QCOMPARE(rec.words(u"請輸入文字於此"_s).join(u'|'), u"請|輸|入|文|字|於|此"_s);
        QCOMPARE(rec.of(u"End"_s).size(), 1);
        // One word per 100 ms of sound, not delivered in one go.
        QCOMPARE(counts.first(), 2);
        QVERIFY(counts.size() >= 6);
    }

    void pauseStopsTheClock()
    {
        const QString text = u"今天天氣很好。我們一起去公園散步吧。"_s;
        SpVoice voice;
        SpeechRecorder rec(&voice);
        // Pausing from a word handler pins the pause to a known place.
        connect(&voice, &SpVoice::Word, this, [&] {
            if (rec.of(u"Word"_s).size() == 2)
                voice.Pause();
        });
        voice.Speak(text, SVSFlagsAsync);
        advance(1000, {&voice});
        QCOMPARE(rec.of(u"Word"_s).size(), 2);
        advance(5000, {&voice});
        QCOMPARE(rec.of(u"Word"_s).size(), 2);
        QCOMPARE(rec.of(u"End"_s).size(), 0);
        QVERIFY(voice.isSpeaking());
        voice.Resume();
        voice.Resume(); // harmless twice
        QVERIFY(finish(voice));
        QCOMPARE(rec.words(text), QString(text).remove(u'。').split(QString(), Qt::SkipEmptyParts));
    }

    void purgeEndsTheStream()
    {
        SpVoice voice;
        SpeechRecorder rec(&voice);
        QString text;
        for (int i = 0; i < 40; ++i)
            text += u"這是一個很長的句子，用來測試中途停止。"_s;
        const int first = voice.Speak(text, SVSFlagsAsync);
        advance(300, {&voice});
        QVERIFY(rec.of(u"Word"_s, first).size() >= 3);
        const int second = voice.Speak(u"新的開始。"_s, SVSFlagsAsync | SVSFPurgeBeforeSpeak);
        QVERIFY(finish(voice));
        QCOMPARE(rec.of(u"End"_s, first).size(), 1);
        QCOMPARE(rec.of(u"End"_s, second).size(), 1);
        // Nothing of the first stream after the second one started.
        bool secondStarted = false;
        for (const RecordedEvent &e : rec.events) {
            secondStarted = secondStarted || (e.type == u"Start"_s && e.stream == second);
            QVERIFY(!secondStarted || e.stream != first);
        }
        QVERIFY(rec.of(u"Word"_s, first).size() < 10);
    }

    void handlerMaySpeakAndWait()
    {
        AudioSink::setFactory([] { return std::make_unique<ImmediateSink>(); });
        SpVoice voice;
        SpeechRecorder rec(&voice);
        int nested = 0;
        connect(&voice, &SpVoice::EndStream, this, [&](int stream) {
            if (nested == 0 && stream == 1)
                nested = voice.Speak(u"好"_s, SVSFIsNotXML); // waits inside
        });
        QCOMPARE(voice.Speak(u"你"_s, SVSFlagsAsync), 1);
        QVERIFY(voice.WaitUntilDone(5000));
        QCOMPARE(nested, 2);
        QCOMPARE(rec.of(u"End"_s, 2).size(), 1);
        QCOMPARE(rec.words(u"好"_s, 2), QStringList {u"好"_s});
    }

    void promptTakesItsVoiceAndStopCutsIt()
    {
        VoicePrompt prompt;
        prompt.SetUseXML(false);
        prompt.Setup(101, 0, 0);
        prompt.SetVoiceNumber(102);
        QCOMPARE(prompt.voice()->Voice().GetDescription(), u"Mavi Lena"_s);
        SpeechRecorder rec(prompt.voice());
        prompt.Stop(); // harmless when silent
        prompt.Speak(u"這是一段比較長的提示文字，會被停止。"_s);
        prompt.Stop();
        QVERIFY(finish(*prompt.voice()));
        QCOMPARE(rec.of(u"End"_s).size(), 1);
        QVERIFY(rec.of(u"Word"_s).size() < 4);
    }

    void failingDeviceFallsBackToSilence()
    {
        AudioSink::setFactory([] { return std::make_unique<BreakingSink>(); });
        SpVoice voice;
        SpeechRecorder rec(&voice);
        voice.Speak(u"今天天氣很好。我們去散步。"_s, SVSFlagsAsync);
        // The silent sink that takes over plays what the device did not, in
        // real time: 11 characters of 100 ms and four stops of 50 ms.
        QElapsedTimer timer;
        timer.start();
        QVERIFY(voice.WaitUntilDone(20000));
        QVERIFY2(timer.elapsed() > 1100, "the rest was not paced");
        QCOMPARE(rec.of(u"Word"_s).size(), 11);
        QCOMPARE(rec.of(u"End"_s).size(), 1);
    }

    void withoutEngineDataStreamsStartAndEndSilently()
    {
        SpeechEngine::setDataPath(u"/nonexistent/espeak-ng-data"_s);
        QVERIFY(!SpeechEngine::instance().isAvailable());
        auto captured = std::make_shared<std::vector<int16_t>>();
        AudioSink::setFactory([captured] { return std::make_unique<CaptureSink>(captured); });
        SpVoice voice(nullptr, &SpeechEngine::instance());
        QVERIFY(voice.GetVoices().isEmpty());
        QVERIFY(voice.Voice().isNull());
        SpeechRecorder rec(&voice);
        QVERIFY(voice.Speak(u"你好，世界。"_s, SVSFIsNotXML) > 0);
        QCOMPARE(rec.events.size(), 2);
        QCOMPARE(rec.events[0].type, u"Start"_s);
        QCOMPARE(rec.events[1].type, u"End"_s);
        QVERIFY(captured->empty());
        QVERIFY(!voice.isSpeaking());
        QVERIFY(SpeechEngine::instance().phonemeTranscript(u"你好"_s, SpObjectToken()).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSpVoicePacing)
#include "test_SpVoicePacing.moc"
