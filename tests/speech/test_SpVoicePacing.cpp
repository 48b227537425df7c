// Events follow the sound: with a sink paced by a clock the test moves by
// hand, words arrive as their audio is reached, pausing stops the clock, and
// a failing device hands over to a silent sink without losing the stream.
#include "SpeechRecorder.h"

#include "speech/SpeechEngine.h"

#include <QtTest>

namespace
{

// A device that breaks after it has been given some audio.
class BreakingSink : public ImmediateSink
{
public:
    void write(const int16_t *samples, qint64 count) override
    {
        ImmediateSink::write(samples, count);
        m_broken = true;
    }
    bool hasFailed() const override { return m_broken; }

private:
    bool m_broken = false;
};

} // namespace

class TestSpVoicePacing : public QObject
{
    Q_OBJECT
private:
    std::shared_ptr<qint64> m_now = std::make_shared<qint64>(0);

    // Moves the clock by `ms` in small steps, letting the voice catch up.
    void advance(int ms)
    {
        for (int done = 0; done < ms; done += 20) {
            *m_now += 20;
            QTest::qWait(2);
        }
    }

private Q_SLOTS:
    void init()
    {
        *m_now = 0;
        auto now = m_now;
        AudioSink::setFactory([now] {
            return std::make_unique<SilentSink>(SpeechEngine::NativeRate, [now] { return *now; });
        });
    }

    void wordsArriveAsTheSoundReachesThem()
    {
        SpVoice voice;
        SpeechRecorder rec(&voice);
        voice.Speak(QStringLiteral("請輸入文字於此"), SVSFlagsAsync);
        QTRY_COMPARE(rec.of(QStringLiteral("Start")).size(), 1);
        QTest::qWait(50);
        // The clock has not moved: only what starts at the very beginning.
        QVERIFY(rec.of(QStringLiteral("Word")).size() <= 1);
        QList<int> counts;
        for (int step = 0; step < 100 && rec.of(QStringLiteral("End")).isEmpty(); ++step) {
            advance(100);
            counts.append(int(rec.of(QStringLiteral("Word")).size()));
        }
        QCOMPARE(rec.of(QStringLiteral("Word")).size(), 7);
        QCOMPARE(rec.of(QStringLiteral("End")).size(), 1);
        // Spread over time, not delivered in one go.
        QVERIFY(counts.size() >= 5);
        QVERIFY(counts.first() < 7);
    }

    void pauseStopsTheClock()
    {
        SpVoice voice;
        SpeechRecorder rec(&voice);
        voice.Speak(QStringLiteral("請輸入文字於此"), SVSFlagsAsync);
        QTRY_COMPARE(rec.of(QStringLiteral("Start")).size(), 1);
        advance(400);
        voice.Pause();
        // Words whose sound was reached before the pause may still come in.
        QTest::qWait(50);
        const int heard = int(rec.of(QStringLiteral("Word")).size());
        QVERIFY(heard < 7);
        advance(5000);
        QCOMPARE(int(rec.of(QStringLiteral("Word")).size()), heard);
        QVERIFY(voice.isSpeaking());
        voice.Resume();
        for (int step = 0; step < 100 && rec.of(QStringLiteral("End")).isEmpty(); ++step)
            advance(100);
        QCOMPARE(rec.of(QStringLiteral("Word")).size(), 7);
    }

    void failingDeviceFallsBackToSilence()
    {
        AudioSink::setFactory([] { return std::make_unique<BreakingSink>(); });
        SpVoice voice;
        SpeechRecorder rec(&voice);
        voice.Speak(QStringLiteral("今天天氣很好。我們去散步。"), SVSFlagsAsync);
        // The silent sink that takes over keeps real time; this text is short.
        QVERIFY(voice.WaitUntilDone(20000));
        QCOMPARE(rec.of(QStringLiteral("Word")).size(), 11);
        QCOMPARE(rec.of(QStringLiteral("End")).size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestSpVoicePacing)
#include "test_SpVoicePacing.moc"
