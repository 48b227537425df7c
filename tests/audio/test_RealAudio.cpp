// Reading aloud heard on a real sound server: a private PulseAudio server with
// a null sink whose monitor is recorded. Onsets, gaps, pause and stop, event
// timing and the loss of the server are measured on the recording.
#include "audio/AudioSink.h"
#include "audio/RealAudio.h"
#include "speech/SpVoice.h"
#include "speech/SpeechEngine.h"
#include "speech/SpeechRecorder.h"
#include "speech/neural/NeuralEngine.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace RealAudio;

namespace
{

// Two phrases with a pause between: about three seconds of speech.
const QString Sentence = u"今天天氣很好，我們一起到公園散步。"_s;

// The recording's time line is known to a few milliseconds.
constexpr double AlignMs = 20;

// Sound segments of `pcm` at or after fromMs.
std::vector<Segment> segmentsAfter(
    const std::vector<int16_t> &pcm, int rate, double fromMs, double joinMs = 0)
{
    std::vector<Segment> out;
    for (const Segment &s : soundSegments(pcm, rate, -45, joinMs)) {
        if (s.startMs >= fromMs - AlignMs)
            out.push_back(s);
    }
    return out;
}

} // namespace

class TestRealAudio : public QObject
{
    Q_OBJECT

private:
    PrivateServer m_server;
    MonitorRecorder m_recorder;
    QTemporaryDir m_voices;

    // The natural voice tools/make-test-voice writes, offered by the shared
    // engine as a voice of the window's list.
    SpObjectToken naturalVoice()
    {
        const QString folder = m_voices.filePath(u"test"_s);
        if (!QFileInfo::exists(folder)) {
            QProcess p;
            p.start(QStringLiteral(PARLO_SOURCE_DIR "/tools/make-test-voice"), {folder});
            if (!p.waitForFinished(60000) || p.exitCode() != 0)
                return SpObjectToken();
            NeuralEngine::shared().addVoiceFolder(folder);
        }
        const QList<SpObjectToken> voices = NeuralEngine::shared().voices();
        return voices.isEmpty() ? SpObjectToken() : voices.first();
    }

    // The same text rendered as fast as the engine goes, for its length.
    std::vector<int16_t> render(const QString &text, const SpObjectToken &token)
    {
        auto store = std::make_shared<std::vector<int16_t>>();
        AudioSink::setFactory([store] { return std::make_unique<CaptureSink>(store); });
        {
            SpVoice voice;
            if (!token.Id().isEmpty())
                voice.setVoice(token);
            voice.Speak(text, SVSFDefault);
        }
        AudioSink::setFactory({});
        return *store;
    }

private Q_SLOTS:
    void initTestCase()
    {
        if (!m_server.start())
            QFAIL(qPrintable(m_server.why()));
        QVERIFY2(m_recorder.start(), "parec could not record the null sink's monitor");
        QVERIFY(SpeechEngine::instance().isAvailable());
    }

    // The first reading of a new voice, and the next: espeak-ng's, and a
    // natural voice's, whose worker process starts at its first sentence.
    void promptSteadySpeech_data()
    {
        QTest::addColumn<bool>("natural");
        QTest::newRow("espeak-ng") << false;
        QTest::newRow("natural voice") << true;
    }
    void promptSteadySpeech()
    {
        QFETCH(bool, natural);
        const SpObjectToken token = natural ? naturalVoice() : SpObjectToken();
        QVERIFY2(!natural || !token.Id().isEmpty(),
            qPrintable(NeuralEngine::shared().status()
                + u" (tools/install-neural-runtime.sh installs the runtime)"_s));
        const auto reference = soundSegments(render(Sentence, token), SpeechEngine::NativeRate);
        QVERIFY(reference.size() >= 2);
        const double referenceSpan = reference.back().endMs - reference.front().startMs;

        SpVoice voice; // as at start-up: the first reading of a new voice
        if (natural)
            voice.setVoice(token);
        SpeechRecorder events(&voice);
        for (int reading = 0; reading < 2; ++reading) {
            const qint64 t0 = nowNs();
            voice.Speak(Sentence, SVSFlagsAsync);
            QVERIFY(QTest::qWaitFor([&] { return !voice.isSpeaking(); }, 30000));
            QTest::qWait(150);
            const std::vector<int16_t> heard = m_recorder.samples();
            const double start = m_recorder.msAt(t0);
            const double onset
                = firstSoundAfter(heard, MonitorRecorder::Rate, start - AlignMs) - start;
            qInfo("reading %d: onset %.0f ms", reading + 1, onset);
            QVERIFY2(onset >= -AlignMs && onset < 1000, qPrintable(QString::number(onset)));

            const auto segments = segmentsAfter(heard, MonitorRecorder::Rate, start);
            QVERIFY(!segments.empty());
            const double span = segments.back().endMs - segments.front().startMs;
            qInfo("span %.0f ms against %.0f ms rendered; longest gap %.0f ms against %.0f ms",
                span, referenceSpan, longestGap(segments), longestGap(reference));
            QVERIFY(std::abs(span / referenceSpan - 1.0) < 0.10);
            QVERIFY(longestGap(segments) < longestGap(reference) + 150);
        }
        QCOMPARE(events.of(u"End"_s).size(), 2);
    }

    void wordEventsFollowTheSound()
    {
        SpVoice voice;
        std::vector<qint64> wordAt;
        QStringList words;
        const QString text = u"一。二。三。四。"_s;
        QObject::connect(&voice, &SpVoice::Word, [&](int, qint64, int position, int length) {
            wordAt.push_back(nowNs());
            words.append(text.mid(position, length));
        });
        const qint64 t0 = nowNs();
        voice.Speak(text, SVSFlagsAsync);
        QVERIFY(QTest::qWaitFor([&] { return !voice.isSpeaking(); }, 20000));
        QTest::qWait(150);
        QCOMPARE(words.join(QLatin1Char('|')), u"一|二|三|四"_s);
        const auto syllables
            = segmentsAfter(m_recorder.samples(), MonitorRecorder::Rate, m_recorder.msAt(t0), 60);
        QCOMPARE(syllables.size(), size_t(4));
        for (size_t i = 0; i < 4; ++i) {
            const double skew = m_recorder.msAt(wordAt[i]) - syllables[i].startMs;
            qInfo("word %zu: event %+.0f ms from its sound", i + 1, skew);
            QVERIFY2(std::abs(skew) <= 40, qPrintable(QString::number(skew)));
        }
    }

    void pauseContinueStop()
    {
        SpVoice voice;
        SpeechRecorder events(&voice);
        const qint64 t0 = nowNs();
        voice.Speak(Sentence + Sentence, SVSFlagsAsync);
        QVERIFY(QTest::qWaitFor(
            [&] {
                const double first = firstSoundAfter(
                    m_recorder.samples(), MonitorRecorder::Rate, m_recorder.msAt(t0));
                return first >= 0 && m_recorder.msAt(nowNs()) > first + 800;
            },
            5000));
        const qint64 paused = nowNs();
        voice.Pause();
        const int wordsAtPause = int(events.of(u"Word"_s).size());
        QTest::qWait(700);
        QCOMPARE(int(events.of(u"Word"_s).size()), wordsAtPause);
        const qint64 resumed = nowNs();
        voice.Resume();
        QTest::qWait(700);
        QVERIFY(int(events.of(u"Word"_s).size()) > wordsAtPause);
        const qint64 stopped = nowNs();
        voice.Speak(QString(), SVSFPurgeBeforeSpeak);
        QTest::qWait(600);

        const std::vector<int16_t> heard = m_recorder.samples();
        const int rate = MonitorRecorder::Rate;
        const double pauseMs = m_recorder.msAt(paused), resumeMs = m_recorder.msAt(resumed),
                     stopMs = m_recorder.msAt(stopped);
        const double afterPause = firstSoundAfter(heard, rate, pauseMs + 100);
        QVERIFY2(afterPause < 0 || afterPause >= resumeMs - AlignMs, "sound went on after Pause");
        const double again = firstSoundAfter(heard, rate, resumeMs);
        QVERIFY2(again >= 0 && again - resumeMs < 200, "no sound after Continue");
        QVERIFY2(firstSoundAfter(heard, rate, stopMs + 100) < 0, "sound went on after Stop");
        QVERIFY(!voice.isSpeaking());
    }

    void twoVoicesAtOnce()
    {
        SpVoice reading, prompt;
        SpeechRecorder readingEvents(&reading), promptEvents(&prompt);
        reading.Speak(Sentence, SVSFlagsAsync);
        QTest::qWait(300);
        const qint64 promptStart = nowNs();
        prompt.Speak(u"朗讀"_s, SVSFlagsAsync);
        QVERIFY(QTest::qWaitFor([&] { return !prompt.isSpeaking(); }, 10000));
        QVERIFY2(reading.isSpeaking(), "the hint waited for the reading to end");
        QVERIFY((nowNs() - promptStart) / 1000000 < 3000);
        QCOMPARE(promptEvents.of(u"Word"_s).size(), 2);
        // The reading heard alongside goes on.
        const int words = int(readingEvents.of(u"Word"_s).size());
        QTRY_VERIFY(readingEvents.of(u"Word"_s).size() > words);
        reading.Speak(QString(), SVSFPurgeBeforeSpeak);
    }

    // Last: it takes the server away.
    void serverGoesAway()
    {
        const double renderedMs
            = render(Sentence, SpObjectToken()).size() * 1000.0 / SpeechEngine::NativeRate;
        SpVoice voice;
        SpeechRecorder events(&voice);
        const qint64 t0 = nowNs();
        voice.Speak(Sentence, SVSFlagsAsync);
        QTest::qWait(1000);
        m_recorder.stop();
        m_server.kill();
        QVERIFY(QTest::qWaitFor([&] { return !voice.isSpeaking(); }, 30000));
        const double tookMs = (nowNs() - t0) / 1e6;
        qInfo(
            "reading with the server lost after 1 s: %.0f ms against %.0f ms", tookMs, renderedMs);
        // Still at speaking pace: neither cut short nor stalled.
        QVERIFY(tookMs > renderedMs * 0.8 && tookMs < renderedMs * 1.3 + 500);
        QCOMPARE(events.of(u"End"_s).size(), 1);

        // Once the server is back, the next reading is heard again.
        QVERIFY(m_server.start());
        MonitorRecorder recorder;
        QVERIFY(recorder.start());
        QTest::qWait(1100); // the voice asks again at most once a second
        const qint64 t1 = nowNs();
        voice.Speak(u"你好"_s, SVSFlagsAsync);
        QVERIFY(QTest::qWaitFor([&] { return !voice.isSpeaking(); }, 10000));
        QTest::qWait(150);
        QVERIFY(firstSoundAfter(recorder.samples(), MonitorRecorder::Rate, recorder.msAt(t1)) >= 0);
    }
};

QTEST_GUILESS_MAIN(TestRealAudio)
#include "test_RealAudio.moc"
