// A voice whose engine has no data: it must not crash, lists no voices, and
// a stream still starts and ends (silently).
#include "SpeechRecorder.h"

#include "speech/SpeechEngine.h"

#include <QtTest>

class TestSpeechNoEngine : public QObject
{
    Q_OBJECT
private:
    std::shared_ptr<std::vector<int16_t>> m_captured;

private Q_SLOTS:
    void initTestCase()
    {
        m_captured = std::make_shared<std::vector<int16_t>>();
        auto store = m_captured;
        AudioSink::setFactory([store] { return std::make_unique<CaptureSink>(store); });
        SpeechEngine::setDataPath(QStringLiteral("/nonexistent/espeak-ng-data"));
    }

    void streamsStartAndEndSilently()
    {
        QVERIFY(!SpeechEngine::instance().isAvailable());
        SpVoice voice;
        QVERIFY(voice.GetVoices().isEmpty());
        QVERIFY(voice.Voice().isNull());
        SpeechRecorder rec(&voice);
        const int stream = voice.Speak(QStringLiteral("你好，世界。"), SVSFIsNotXML);
        QVERIFY(stream > 0);
        QCOMPARE(rec.events.size(), 2);
        QCOMPARE(rec.events[0].type, QStringLiteral("Start"));
        QCOMPARE(rec.events[1].type, QStringLiteral("End"));
        QVERIFY(m_captured->empty());
        QVERIFY(!voice.isSpeaking());
        QVERIFY(SpeechEngine::instance()
                    .phonemeTranscript(QStringLiteral("你好"), SpObjectToken())
                    .isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSpeechNoEngine)
#include "test_SpeechNoEngine.moc"
