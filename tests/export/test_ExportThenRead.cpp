// An export is silent, and afterwards reading aloud is heard again: the
// voice's output goes back to the sound server. Measured on a private
// PulseAudio server whose null sink is recorded.

#include "FakeExportWindow.h"
#include "audio/AudioSink.h"
#include "audio/RealAudio.h"
#include "speech/ScriptedEngine.h"
#include "speech/SpVoice.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace RealAudio;

class TestExportThenRead : public QObject
{
    Q_OBJECT

    PrivateServer m_server;
    MonitorRecorder m_recorder;

private Q_SLOTS:
    void initTestCase()
    {
        if (!m_server.start())
            QFAIL(qPrintable(m_server.why()));
        QVERIFY2(m_recorder.start(), "parec could not record the null sink's monitor");
    }

    void readingIsHeardAfterAnExport()
    {
        ScriptedEngine engine;
        FakeWindow window;
        QTemporaryDir dir;
        SpVoice voice(nullptr, &engine);
        ReadingController reading(window, voice, nullptr);
        reading.connectVoiceEvents();
        AudioExport commands(window, voice, reading, nullptr, nullptr);
        window.m_answer = dir.filePath(u"e.wav"_s);
        const qint64 exportStart = nowNs();
        commands.Cmd_SaveWAV();
        QVERIFY(window.m_boxes.value(0).startsWith(u"ok|"_s));

        const qint64 readStart = nowNs();
        reading.CmdSpeakClick();
        QTRY_VERIFY_WITH_TIMEOUT(!voice.isSpeaking(), 10000);
        QTest::qWait(300); // the tail reaches the recording
        const std::vector<int16_t> heard = m_recorder.samples();
        const double first
            = firstSoundAfter(heard, MonitorRecorder::Rate, m_recorder.msAt(exportStart));
        QVERIFY2(first >= 0, "the reading after the export was not heard");
        QVERIFY2(first >= m_recorder.msAt(readStart) - 20, "the export was heard");
    }
};

QTEST_GUILESS_MAIN(TestExportThenRead)
#include "test_ExportThenRead.moc"
