#include "ExportTestKit.h"
#include "FakeExportWindow.h"
#include "TestFiles.h"
#include "audio/AudioSink.h"
#include "export/AudioExport.h"
#include "export/Mp3Follower.h"
#include "speech/MandarinReading.h"
#include "speech/ReadingController.h"
#include "speech/ScriptedEngine.h"
#include "speech/SpVoice.h"
#include "speech/SpeechEngine.h"
#include "system/SysDirs.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;
using namespace ExportTestKit;

namespace
{

// Duration of an MP3 as decoded by the lame program.
double mp3Seconds(const QString &mp3)
{
    const QString decoded = mp3 + u".decoded.wav"_s;
    const double seconds
        = run(u"lame"_s, {u"--quiet"_s, u"--decode"_s, mp3, decoded}) ? soxi("-D", decoded) : -1;
    QFile::remove(decoded);
    return seconds;
}

} // namespace

class TestAudioExport : public QObject
{
    Q_OBJECT

    ScriptedEngine m_engine;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<FakeWindow> m_window;
    std::unique_ptr<SpVoice> m_voice;
    std::unique_ptr<ReadingController> m_reading;
    std::unique_ptr<CMP3> m_mp3;
    std::unique_ptr<AudioExport> m_export;

    QString path(const QString &name) const { return m_dir->filePath(name); }

private Q_SLOTS:
    void initTestCase()
    {
        AudioSink::setFactory([] { return std::make_unique<ImmediateSink>(); });
    }

    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_window = std::make_unique<FakeWindow>();
        m_window->m_lastDir = m_dir->path();
        m_voice = std::make_unique<SpVoice>(nullptr, &m_engine);
        m_reading = std::make_unique<ReadingController>(*m_window, *m_voice, nullptr);
        m_reading->connectVoiceEvents();
        m_mp3 = makeCMP3(m_window->m_boxes);
        m_export
            = std::make_unique<AudioExport>(*m_window, *m_voice, *m_reading, nullptr, m_mp3.get());
    }

    void savesTheWavUnderTheTypedName()
    {
        // An existing song.wav, read-only even, is replaced without a question.
        const QString wav = path(u"song.wav"_s);
        TestFiles::writeAll(wav, "old");
        QFile(wav).setPermissions(QFileDevice::ReadOwner);
        m_window->m_answer = path(u"song.mp3"_s);
        // The selection saved by the last reading or search, not the one
        // shown now, is what comes back.
        m_reading->savedSelStart() = 4;
        m_reading->savedSelLength() = 3;
        m_export->Cmd_SaveWAV();

        QCOMPARE(m_window->m_dialog,
            QStringList(
                {u"請輸入wav檔名|*.wav"_s, u"1"_s, u"另存新檔"_s, m_dir->path(), u"34818"_s}));
        QCOMPARE(m_window->m_progress,
            QStringList(
                {u"正在轉檔中 ...|如果您的電腦速度較慢，會花較長時間（10分鐘或更久），請耐心等待"_s,
                    u"hidden"_s}));
        QCOMPARE(
            m_window->m_boxes, QStringList(u"ok|轉檔已完成|"_s + wav + u"\r\n檔案存檔完成！"_s));
        QCOMPARE(entries(m_dir->path()), QStringList({u"song.wav"_s}));
        QCOMPARE(soxi("-r", wav), 16000.0);
        QCOMPARE(soxi("-c", wav), 1.0);
        QCOMPARE(soxi("-b", wav), 16.0);
        const double expected = Sample.size() * ScriptedEngine::CharMs / 1000.0;
        QVERIFY(qAbs(soxi("-D", wav) - expected) <= 0.05 * expected);
        // Words were highlighted as in reading; then the saved selection came back.
        QVERIFY(m_window->m_words >= Sample.size());
        QCOMPARE(m_window->m_selStart, 4);
        QCOMPARE(m_window->m_selLength, 3);
        QVERIFY(!m_reading->isSpeaking());
        QCOMPARE(m_voice->AudioOutputStream(), nullptr);
    }

    // A text at the limit, or one past it: the dialog opens in the last
    // folder, or the documents folder when there is none yet; past the limit
    // the text is clipped with a warning, and rendering stops at the clip.
    void theLimit_data()
    {
        QTest::addColumn<qsizetype>("length");
        QTest::addColumn<QString>("lastDir");
        QTest::addColumn<QString>("shownFolder");
        QTest::addColumn<QList<int>>("words"); // where the rendered words stand
        const int limit = int(ReadingController::MaxSpeakChars);
        QTest::newRow("at the limit, no folder yet, both read")
            << qsizetype(limit) << QString() << GetSpecialFolder(SysDirs::CSIDL_PERSONAL)
            << QList<int> {limit - 2, limit - 1};
        QTest::newRow("one past the limit, the last cut")
            << qsizetype(limit + 1) << u"/srv/x"_s << u"/srv/x"_s << QList<int> {limit - 1};
    }

    void theLimit()
    {
        QFETCH(qsizetype, length);
        QFETCH(QString, lastDir);
        QFETCH(QString, shownFolder);
        QFETCH(QList<int>, words);
        const QStringList warned = length > ReadingController::MaxSpeakChars
            ? QStringList(u"warning||朗讀文稿字數上限為 1048500 個字，部分文稿將不會完整轉出"_s)
            : QStringList();
        m_window->m_text = QString(length, u'字');
        m_window->m_lastDir = lastDir;
        m_window->m_answer = u"0"_s;
        QString written = u"x"_s;
        QCOMPARE(m_export->RenderTextToWav(u"p"_s, written), AudioExport::Cancelled);
        QCOMPARE(written, QString());
        QCOMPARE(m_window->m_dialog.value(3), shownFolder);
        QCOMPARE(m_window->m_lastDir, shownFolder);
        QVERIFY(m_window->m_progress.isEmpty());
        QCOMPARE(m_window->m_boxes, warned);

        // One comment, which the markup reader skips without a sound, fills
        // all but the last two characters; two ideographs end the text, so
        // only they are heard and each word names where it stood.
        m_window->m_boxes.clear();
        m_window->m_text = u"<!--"_s + QString(length - 2 - 7, u' ') + u"-->甲乙"_s;
        QCOMPARE(m_window->m_text.size(), length);
        m_window->m_answer = path(u"clip.wav"_s);
        QList<int> spoken;
        connect(m_voice.get(), &SpVoice::Word, this,
            [&](int, qint64, int position, int) { spoken.append(position); });
        QCOMPARE(m_export->RenderTextToWav(u"p"_s, written), AudioExport::Saved);
        QCOMPARE(written, path(u"clip.wav"_s));
        QCOMPARE(spoken, words);
        QCOMPARE(m_window->m_boxes, warned);
        // One tone per ideograph rendered, at the voice's own rate.
        QCOMPARE(soxi("-s", written),
            double(words.size() * ScriptedEngine::charSamples(m_voice->Rate(), 16000)));
    }

    void cancelRemovesThePartialFiles()
    {
        m_window->m_text = QString(20000, u'字');
        m_window->m_answer = path(u"long.wav"_s);
        int pumps = 0;
        m_window->m_onPump = [&] {
            if (++pumps == 3) {
                QVERIFY(QFileInfo(path(u"long.wav"_s)).size() > 100000);
                m_export->cancel();
            }
        };
        m_export->Cmd_SaveWAVnMP3();
        QCOMPARE(pumps, 3);
        QCOMPARE(entries(m_dir->path()), QStringList());
        QVERIFY(m_window->m_boxes.isEmpty());
        QVERIFY(!m_reading->isSpeaking());
        QCOMPARE(m_voice->AudioOutputStream(), nullptr);
    }

    void failureIsReported()
    {
        m_window->m_answer = path(u"missing/song.wav"_s);
        m_export->Cmd_SaveWAVnMP3();
        QCOMPARE(m_window->m_boxes,
            QStringList(u"failed|轉檔已完成|"_s + path(u"missing/song.wav"_s)
                + u"\r\n檔案轉檔無法完成！"_s));
        QCOMPARE(m_window->m_lastDir, path(u"missing"_s));
    }

    void aWriteFailureKeepsTheBoxToItsTwoLines()
    {
        // A file size limit stands in for a full disk.
        m_window->m_text = QString(20000, u'字');
        m_window->m_answer = path(u"full.wav"_s);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"^writing .* failed"_s));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"^rendering .*full.wav.* failed"_s));
        {
            const TestFiles::FileSizeLimit nearlyFull(64 * 1024);
            m_export->Cmd_SaveWAV();
        }
        QCOMPARE(m_window->m_boxes,
            QStringList(
                u"failed|轉檔已完成|"_s + path(u"full.wav"_s) + u"\r\n檔案轉檔無法完成！"_s));
    }

    void staleStagingFilesAreRemoved()
    {
        // Left behind by an export that was killed: a WAV moved away for the
        // encoder goes back to its place, the rest is removed.
        QVERIFY(QDir().mkpath(path(u".Zorbo-Temp"_s)));
        TestFiles::writeAll(path(u".Zorbo-Temp/lost.wav"_s), "RIFF");
        TestFiles::writeAll(path(u".Zorbo-Temp/lost.mp3"_s), "ID3");
        TestFiles::writeAll(path(u".old.mp3.part"_s), "ID3");
        TestFiles::writeAll(path(u"keep.txt"_s), "x");
        m_window->m_text = u"字"_s;
        m_window->m_answer = path(u"talk.wav"_s);
        m_export->Cmd_SaveWAV();
        QCOMPARE(entries(m_dir->path()),
            QStringList({u".Zorbo-Temp"_s, u"keep.txt"_s, u"lost.wav"_s, u"talk.wav"_s}));
        QCOMPARE(entries(path(u".Zorbo-Temp"_s)), QStringList());
    }

    void wavAndMp3_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<bool>("whileRendering");
        QTest::addColumn<QString>("typed"); // the name given to the dialog
        QTest::addColumn<QString>("base"); // of the two files made
        QTest::newRow("encoded while rendering") << u"out"_s << true << u"talk.wav"_s << u"talk"_s;
        QTest::newRow("encoded afterwards") << u"out"_s << false << u"talk.wav"_s << u"talk"_s;
        QTest::newRow("folder with a space") << u"my out"_s << true << u"talk.wav"_s << u"talk"_s;
        // A dot that starts a name begins no extension.
        QTest::newRow("name starting with a dot") << u"out"_s << true << u".notes"_s << u".notes"_s;
        QTest::newRow("name starting with a dot, with .wav")
            << u"out"_s << false << u".notes.wav"_s << u".notes"_s;
        QTest::newRow("name starting with a dot, with .mp3")
            << u"my out"_s << true << u".notes.mp3"_s << u".notes"_s;
    }

    void wavAndMp3()
    {
        QFETCH(QString, folder);
        QFETCH(bool, whileRendering);
        QFETCH(QString, typed);
        QFETCH(QString, base);
        QVERIFY(QDir().mkpath(path(folder)));
        m_window->m_text = QString(40, u'字');
        m_window->m_answer = path(folder + u'/' + typed);
        m_export->setEncodeWhileRendering(whileRendering);
        if (whileRendering) // the MP3 made meanwhile is the one delivered
            QTest::failOnWarning(QRegularExpression(u"does not match|cannot move|failed"_s));
        m_export->Cmd_SaveWAVnMP3();

        const QString wav = path(folder + u'/' + base + u".wav"_s);
        const QString mp3 = path(folder + u'/' + base + u".mp3"_s);
        QStringList listed = entries(path(folder));
        listed.removeOne(u".Zorbo-Temp"_s); // kept, and empty (below)
        QCOMPARE(listed, QStringList({base + u".mp3"_s, base + u".wav"_s}));
        QCOMPARE(m_window->m_boxes,
            QStringList(u"1|轉檔已完成|"_s + wav + u"\r\n"_s + mp3 + u"\r\n檔案存檔完成！"_s));
        QVERIFY(qAbs(mp3Seconds(mp3) - 4.0) <= 0.2);
        QCOMPARE(entries(path(folder + u"/.Zorbo-Temp"_s)), QStringList());
    }

    void followerMatchesEncodingTheFinishedFile()
    {
        // The WAV grows in steps while the follower encodes it.
        const QString wav = path(u"grow.wav"_s);
        SpFileStream stream;
        stream.Format.Type = SAFT16kHz16BitMono;
        QVERIFY(stream.Open(wav));
        Mp3Follower follower;
        follower.start(wav, SpFileStream::HeaderSize, 16000, path(u"live.mp3"_s),
            Mp3Encoder::parseOptions(CMP3::encoderOptions()));
        const std::vector<int16_t> pcm = tone(16000, 1, 20.0);
        for (std::size_t at = 0; at < pcm.size(); at += 40000) {
            stream.writeSamples(
                pcm.data() + at, qint64(std::min<std::size_t>(40000, pcm.size() - at)));
            follower.publish(stream.dataBytesOnDisk());
        }
        QVERIFY(stream.Close());
        follower.finishInput(stream.samplesWritten() * 2);
        QVERIFY(follower.waitUntilDone(10000));
        QVERIFY(follower.succeeded());
        QCOMPARE(follower.framesEncoded(), qint64(pcm.size()));

        Mp3Encoder encoder;
        QString message;
        const QStringList o = CMP3::encoderOptions();
        encoder.EncodeFile(wav, path(u"after.mp3"_s), o[0], o[1], o[2], o[3], message);
        QCOMPARE(TestFiles::readAll(path(u"live.mp3"_s)), TestFiles::readAll(path(u"after.mp3"_s)));

        // A long remainder is cut into parts encoded side by side.
        Mp3Follower parallel;
        parallel.setParallelism(3, 2.0);
        parallel.start(wav, SpFileStream::HeaderSize, 16000, path(u"cut.mp3"_s),
            Mp3Encoder::parseOptions(CMP3::encoderOptions()));
        parallel.finishInput(stream.samplesWritten() * 2);
        QVERIFY(parallel.waitUntilDone(10000));
        QVERIFY(parallel.succeeded());
        QCOMPARE(parallel.partCount(), 3);
        QCOMPARE(parallel.framesEncoded(), qint64(pcm.size()));
        // Each cut adds the encoder's start and end padding, some 40 ms.
        QVERIFY(qAbs(mp3Seconds(path(u"cut.mp3"_s)) - 20.0) <= 0.15);
        QCOMPARE(entries(m_dir->path()).filter(u"cut"_s), QStringList({u"cut.mp3"_s}));

        // A cancelled follower leaves nothing behind.
        follower.start(wav, SpFileStream::HeaderSize, 16000, path(u"gone.mp3"_s), {});
        follower.publish(64000);
        follower.cancel();
        QVERIFY(!QFileInfo::exists(path(u"gone.mp3"_s)));
    }

    void progressAndTimeLeft()
    {
        ExportProgress progress;
        progress.start(1000, 5000);
        QCOMPARE(progress.msLeft(9000), -1); // no word yet
        progress.reached(250);
        progress.reached(100); // words never go back
        QCOMPARE(progress.percent(), 25);
        QCOMPARE(progress.msLeft(5500), -1); // too early to say
        QCOMPARE(progress.msLeft(9000), 12000);
        QCOMPARE(ExportProgress::timeLeftText(12000), u"剩餘時間：約 12 秒"_s);
        QCOMPARE(ExportProgress::timeLeftText(130500), u"剩餘時間：約 2 分 11 秒"_s);
        QCOMPARE(ExportProgress::timeLeftText(3 * 3600000 + 60000), u"剩餘時間：約 3 小時 1 分"_s);
        progress.reached(5000);
        QCOMPARE(progress.percent(), 100);
    }

    void realEngineMatchesEspeakNg()
    {
        SpeechEngine &engine = SpeechEngine::instance();
        if (!engine.isAvailable() || QStandardPaths::findExecutable(u"espeak-ng"_s).isEmpty())
            QSKIP("espeak-ng and its data are not installed");
        SpVoice voice(nullptr, &engine);
        // The first voice of the catalogue is espeak-ng's Mandarin.
        const QByteArray name = voice.Voice().espeakVoiceName();
        m_export
            = std::make_unique<AudioExport>(*m_window, voice, *m_reading, nullptr, m_mp3.get());
        m_window->m_answer = path(u"real.wav"_s);
        QString written;
        QCOMPARE(m_export->RenderTextToWav(u"p"_s, written), AudioExport::Saved);
        // A Mandarin voice is handed the text's pinyin; espeak-ng gets the same.
        const QString spoken
            = MandarinReading::isMandarinVoice(voice.Voice().engineSettings().espeakVoice)
            ? MandarinReadingOf(Sample)
            : QString(Sample);
        QVERIFY(run(u"espeak-ng"_s,
            {u"-v"_s, QString::fromLatin1(name), u"-w"_s, path(u"own.wav"_s), spoken}));
        QCOMPARE(soxi("-r", path(u"real.wav"_s)), 16000.0);
        const double own = soxi("-D", path(u"own.wav"_s));
        const double ours = soxi("-D", path(u"real.wav"_s));
        QVERIFY2(own > 0.5 && qAbs(ours - own) <= 0.05 * own,
            qPrintable(u"%1 s against %2 s"_s.arg(ours).arg(own)));
    }
};

QTEST_GUILESS_MAIN(TestAudioExport)
#include "test_AudioExport.moc"
