// parlo-render end to end: the real executable on small documents, with the
// real espeak-ng voice, since what is rendered is the subject here.
#include "DocumentKit.h"
#include "audio/AudioSink.h"
#include "document/DocumentReader.h"
#include "export/ExportTestKit.h"
#include "export/WavReader.h"
#include "speech/SpFileStream.h"
#include "speech/SpVoice.h"

#include <QRegularExpression>
#include <QtTest>

using namespace Qt::StringLiterals;
using namespace DocumentKit;
using ExportTestKit::Media;
using ExportTestKit::readMedia;
using TestFiles::filesUnder;

namespace
{

std::vector<int16_t> samplesOf(const QString &wav, int *rate)
{
    WavReader reader;
    if (!reader.open(wav))
        return {};
    *rate = reader.sampleRate();
    std::vector<int16_t> pcm(size_t(reader.frames()));
    pcm.resize(size_t(std::max<qint64>(reader.read(pcm.data(), qint64(pcm.size())), 0)));
    return pcm;
}

double seconds(const QString &wav)
{
    WavReader reader;
    return reader.open(wav) ? double(reader.frames()) / reader.sampleRate() : -1;
}

// The window's export of `text`: the voice speaks into a 16 kHz file stream
// with the flags of reading aloud.
void windowExport(const QString &text, const QString &path)
{
    SpFileStream stream;
    SpVoice voice;
    stream.Format.Type = SAFT16kHz16BitMono;
    QVERIFY(stream.Open(path, SSFMCreateForWrite, false));
    voice.setAllowAudioOutputFormatChangesOnNextSet(false);
    voice.setAudioOutputStream(&stream);
    voice.Speak(text, SVSFlagsAsync | SVSFPurgeBeforeSpeak | SVSFIsNotXML);
    while (!voice.WaitUntilDone(50)) { }
    QVERIFY(stream.Close());
}

qint64 cueMs(const QRegularExpressionMatch &m, int first)
{
    return m.captured(first).toLongLong() * 3600000 + m.captured(first + 1).toLongLong() * 60000
        + m.captured(first + 2).toLongLong() * 1000 + m.captured(first + 3).toLongLong();
}

} // namespace

class TestParloRender : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString path(const QString &name) const { return m_dir.filePath(name); }
    TestFiles::Run render(const QStringList &arguments) const
    {
        return TestFiles::run(QStringLiteral(PARLO_RENDER), arguments, m_dir.path(), {}, 240000);
    }

private Q_SLOTS:
    // Every Han character gets a reading, Simplified ones through their
    // Traditional forms; one no table reads shows what the voice says.
    void showReadingCoversEveryCharacter()
    {
        const TestFiles::Run run
            = render({u"--show-reading"_s, u"开始下雨了，头发干了。"_s, u"㐂"_s});
        QCOMPARE(run.exitCode, 0);
        const QStringList lines = run.output.split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines[0], u"kai1 shi3 xia4 yu3 le5 tou2 fa3 gan1 le5"_s);
        QVERIFY2(lines[1].startsWith(u"㐂["_s) && lines[1].size() > 3, qPrintable(lines[1]));
    }

    void initTestCase()
    {
        AudioSink::setFactory([] { return std::make_unique<ImmediateSink>(); });
        QVERIFY(QFileInfo(QStringLiteral(PARLO_RENDER)).isExecutable());
        QVERIFY(SpVoice().isEngineAvailable());
    }

    // Three documents and a broken one: the three come out as the window
    // would export them, the broken one is named and the exit code is 1.
    void folderWithABrokenDocument()
    {
        QDir().mkpath(path(u"docs/more"_s));
        TestFiles::writeAll(path(u"docs/a.txt"_s), "第一課。今天天氣很好。"_ba);
        TestFiles::writeAll(path(u"docs/b.html"_s),
            "<html><body><p>第二課。</p><p>我們去公園。</p></body></html>"_ba);
        TestFiles::writeAll(path(u"docs/more/c.docx"_s),
            zipOf(docxMembers("<w:p><w:r><w:t>第三課。</w:t></w:r></w:p>"
                              "<w:p><w:r><w:t>老師說早安。</w:t></w:r></w:p>")));
        TestFiles::writeAll(path(u"docs/d.docx"_s), "PK\x03\x04 cut short"_ba);

        const TestFiles::Run run = render({u"-q"_s, u"-o"_s, u"out"_s, u"docs"_s});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.errors.contains(u"docs/d.docx: "_s), qPrintable(run.errors));
        QCOMPARE(filesUnder(path(u"out"_s)),
            QStringList({u"docs/a.wav"_s, u"docs/b.wav"_s, u"docs/more/c.wav"_s}));

        // espeak-ng carries a little of its state from one text to the next,
        // which can move a pause by some tens of milliseconds; only the
        // first export of this process starts as fresh as each output does.
        DocumentReader reader;
        reader.AllocHdl(1);
        reader.OpenWfxKey(0, u"test"_s);
        const QList<QPair<QString, QString>> made {{u"docs/a.txt"_s, u"out/docs/a.wav"_s},
            {u"docs/b.html"_s, u"out/docs/b.wav"_s},
            {u"docs/more/c.docx"_s, u"out/docs/more/c.wav"_s}};
        for (const auto &[input, output] : made) {
            QCOMPARE(reader.OpenFile(0, path(input)), Document::Status::Ok);
            windowExport(reader.ReadBuf(0), path(u"window.wav"_s));
            if (output == made.first().second)
                QCOMPARE(
                    TestFiles::readAll(path(output)), TestFiles::readAll(path(u"window.wav"_s)));
            const double cli = seconds(path(output));
            const double window = seconds(path(u"window.wav"_s));
            QVERIFY2(cli > 0.5 && std::abs(cli - window) < 0.060,
                qPrintable(u"%1: %2 s, the window's %3 s"_s.arg(output).arg(cli).arg(window)));
        }
    }

    // Each cue starts where its sentence is heard: the first sound after a
    // silence, within 20 ms; the LRC line has a time on each character.
    void cuesFollowTheAudio()
    {
        const QStringList sentences {
            u"我們明天早上出發"_s, u"老師已經到學校了"_s, u"大家一起唱歌吧"_s};
        const TestFiles::Run run = render({u"--srt"_s, u"--lrc"_s, u"-o"_s, u"cues.wav"_s,
            u"--text"_s, sentences.join(u"。"_s) + u"。"_s});
        QCOMPARE(run.exitCode, 0);

        static const QRegularExpression cue(
            uR"((\d+):(\d+):(\d+),(\d+) --> (\d+):(\d+):(\d+),(\d+)\r\n(.*)\r\n)"_s);
        const QString srt = QString::fromUtf8(TestFiles::readAll(path(u"cues.srt"_s)));
        QList<qint64> starts;
        for (auto it = cue.globalMatch(srt); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            QCOMPARE(m.captured(9), sentences.at(starts.size()) + u"。"_s);
            QVERIFY(cueMs(m, 5) > cueMs(m, 1));
            starts.append(cueMs(m, 1));
        }
        QCOMPARE(starts.size(), sentences.size());

        int rate = 0;
        const std::vector<int16_t> pcm = samplesOf(path(u"cues.wav"_s), &rate);
        QCOMPARE(rate, 16000);
        const int frame = rate / 1000; // 1 ms frames
        int loudest = 0;
        for (int16_t s : pcm)
            loudest = std::max(loudest, std::abs(int(s)));
        auto loud = [&](qint64 at) {
            for (qint64 i = at * frame; i < (at + 1) * frame && i < qint64(pcm.size()); ++i)
                if (std::abs(int(pcm[size_t(i)])) > loudest / 50)
                    return true;
            return false;
        };
        for (int i = 0; i < starts.size(); ++i) {
            qint64 onset = std::max<qint64>(starts[i] - 100, 0);
            while (!loud(onset))
                ++onset;
            for (qint64 t = std::max<qint64>(onset - 80, 0); t < onset; ++t)
                QVERIFY2(!loud(t), "the onset found is not after a silence");
            QVERIFY2(std::abs(onset - starts[i]) <= 20,
                qPrintable(u"cue %1 at %2 ms, sound at %3 ms"_s.arg(i).arg(starts[i]).arg(onset)));
        }

        const QStringList lrc = QString::fromUtf8(TestFiles::readAll(path(u"cues.lrc"_s)))
                                    .split(u"\r\n"_s, Qt::SkipEmptyParts);
        QCOMPARE(lrc.size(), 2 + sentences.size() + 1);
        for (int i = 0; i < sentences.size(); ++i) {
            const QString &line = lrc[2 + i];
            QCOMPARE(line.count(u'<'), sentences[i].size());
            const qint64 lrcStart
                = line.mid(1, 2).toInt() * 60000 + qRound(line.mid(4, 5).toDouble() * 1000);
            QVERIFY(std::abs(lrcStart - starts[i]) <= 5);
        }
    }

    // A book with three chapters: one .m4b whose chapter marks are where the
    // subtitles say each heading is heard, titled and tagged from the page;
    // split, three WAVs that add up to the same length.
    void audiobook()
    {
        QDir().mkpath(path(u"book"_s));
        QByteArray html = "<html><head><title>山居記</title><meta name=\"author\" "
                          "content=\"王小明\"></head><body>";
        const QStringList titles {u"序"_s, u"上山"_s, u"下山"_s};
        for (const QString &title : titles)
            html += "<h1>" + title.toUtf8()
                + "</h1><p>今天天氣很好，我們去散步。山上的風很涼快。</p>";
        TestFiles::writeAll(path(u"book/book.html"_s), html + "</body></html>");
        const TestFiles::Run whole
            = render({u"--m4b"_s, u"--srt"_s, u"-o"_s, u"bookout"_s, u"book/book.html"_s});
        QVERIFY2(whole.exitCode == 0, qPrintable(whole.errors));

        // What a player shows: "title|artist", and chapters in ms.
        const auto tags = [](const Media &m) {
            return m.tags.value(u"title"_s) + u'|' + m.tags.value(u"artist"_s);
        };
        const auto ms = [](double seconds) { return qRound64(seconds * 1000); };
        const Media book = readMedia(path(u"bookout/book.m4b"_s));
        const qint64 lengthMs = book.durationUs / 1000;
        QCOMPARE(tags(book), u"山居記|王小明"_s);
        QCOMPARE(book.chapters.size(), 3);
        // Where each heading's cue starts in the subtitles.
        const QString srt = QString::fromUtf8(TestFiles::readAll(path(u"bookout/book.srt"_s)));
        static const QRegularExpression cue(
            u"(\\d+):(\\d+):(\\d+),(\\d+) --> [^\\r\\n]+\\r?\\n([^\\r\\n]+)"_s);
        QMap<QString, qint64> heard;
        for (auto it = cue.globalMatch(srt); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            if (!heard.contains(m.captured(5)))
                heard.insert(m.captured(5), cueMs(m, 1));
        }
        for (int i = 0; i < 3; ++i) {
            const QString &title = book.chapters[i].title;
            const qint64 start = ms(book.chapters[i].start);
            QCOMPARE(title, titles[i]);
            QVERIFY2(std::abs(start - (i == 0 ? 0 : heard.value(title, -1000))) <= 100,
                qPrintable(u"%1 starts at %2 ms"_s.arg(title).arg(start)));
            QCOMPARE(ms(book.chapters[i].end), i < 2 ? ms(book.chapters[i + 1].start) : lengthMs);
        }
        QCOMPARE(lengthMs, qRound64(seconds(path(u"bookout/book.wav"_s)) * 1000));

        const TestFiles::Run split
            = render({u"--split"_s, u"chapters"_s, u"-o"_s, u"parts"_s, u"book/book.html"_s});
        QVERIFY2(split.exitCode == 0, qPrintable(split.errors));
        QCOMPARE(filesUnder(path(u"parts"_s)),
            QStringList({u"book/01 序.wav"_s, u"book/02 上山.wav"_s, u"book/03 下山.wav"_s}));
        double total = 0;
        for (const QString &file : filesUnder(path(u"parts"_s)))
            total += seconds(path(u"parts/"_s + file));
        QVERIFY(std::abs(total * 1000 - lengthMs) <= 200);

        // A table of contents naming a missing file: said, and the rest marked.
        // Its manifest gives no media types.
        const auto page
            = [](const char *text) { return xhtml("", "<p>" + QByteArray(text) + "</p>"); };
        TestFiles::writeAll(path(u"book/hole.epub"_s),
            zipOf(epubMembers("<dc:title>缺頁</dc:title>",
                "<item id=\"n\" href=\"nav.xhtml\" properties=\"nav\"/><item id=\"a\" "
                "href=\"a.xhtml\"/>"
                "<item id=\"b\" href=\"b.xhtml\"/>",
                "<spine><itemref idref=\"a\"/><itemref idref=\"b\"/></spine>",
                {{u"nav.xhtml"_s,
                     xhtml("",
                         "<nav epub:type=\"toc\"><ol><li><a href=\"a.xhtml\">甲</a></li>"
                         "<li><a href=\"gone.xhtml\">乙</a></li>"
                         "<li><a href=\"b.xhtml\">丙</a></li></ol></nav>")},
                    {u"a.xhtml"_s, page("第一段，天氣很好。")},
                    {u"b.xhtml"_s, page("第二段，我們去散步。")}})));
        const TestFiles::Run hole
            = render({u"--m4b"_s, u"--no-wav"_s, u"-o"_s, u"bookout"_s, u"book/hole.epub"_s});
        QCOMPARE(hole.exitCode, 0);
        QVERIFY2(hole.errors.contains(u"book/hole.epub: table of contents: "_s)
                && hole.errors.contains(u"gone.xhtml"_s),
            qPrintable(hole.errors));
        const Media holed = readMedia(path(u"bookout/hole.m4b"_s));
        QCOMPARE(tags(holed), u"缺頁|"_s);
        QCOMPARE(holed.chapters.size(), 2);
        QCOMPARE(holed.chapters[1].title, u"丙"_s);
    }

    // Two workers or one: the same bytes in every output.
    void parallelRunsAreIdentical()
    {
        QDir().mkpath(path(u"par"_s));
        TestFiles::writeAll(path(u"par/1.txt"_s), "春天來了。花都開了。"_ba);
        TestFiles::writeAll(path(u"par/2.txt"_s), "夏天很熱。我們去游泳。"_ba);
        TestFiles::writeAll(path(u"par/3.txt"_s), "Autumn leaves fall. 秋天到了。"_ba);
        const QStringList common {u"--mp3"_s, u"--srt"_s, u"--lrc"_s, u"par"_s, u"-o"_s};
        QCOMPARE(render(common + QStringList {u"j1"_s, u"-j1"_s}).exitCode, 0);
        QCOMPARE(render(common + QStringList {u"j2"_s, u"-j2"_s}).exitCode, 0);
        const QStringList files = filesUnder(path(u"j1"_s));
        QCOMPARE(files.size(), 12);
        QCOMPARE(filesUnder(path(u"j2"_s)), files);
        for (const QString &file : files)
            QVERIFY2(TestFiles::readAll(path(u"j1/"_s + file))
                    == TestFiles::readAll(path(u"j2/"_s + file)),
                qPrintable(file));
    }

    // Ctrl+C while files are being made, in worker processes or in the
    // program itself: nothing under a final name, no temporary file left,
    // and the reading cut short ends cleanly.
    void interruptLeavesNoFile_data()
    {
        QTest::addColumn<QString>("jobs");
        QTest::addColumn<QStringList>("outputs");
        QTest::newRow("workers") << u"-j2"_s << QStringList {u"--srt"_s};
        QTest::newRow("in process") << u"-j1"_s << QStringList {u"--srt"_s};
        QTest::newRow("audiobook split by chapter")
            << u"-j1"_s << QStringList {u"--m4b"_s, u"--mp3"_s, u"--split"_s, u"chapters"_s};
    }
    void interruptLeavesNoFile()
    {
        QFETCH(QString, jobs);
        QFETCH(QStringList, outputs);
        const QString out = u"cut"_s + jobs + QString::number(outputs.size());
        QDir().mkpath(path(u"long"_s));
        const QByteArray text
            = QString(u"今天天氣很好，我們一起到公園散步。"_s).repeated(150).toUtf8();
        TestFiles::writeAll(path(u"long/1.txt"_s), text);
        TestFiles::writeAll(path(u"long/2.txt"_s), text);
        QProcess p;
        TestFiles::setUp(p, m_dir.path());
        p.start(QStringLiteral(PARLO_RENDER),
            QStringList {jobs} + outputs + QStringList {u"-o"_s, out, u"long"_s});
        QVERIFY(p.waitForStarted());
        QElapsedTimer clock;
        clock.start();
        while (filesUnder(path(out)).isEmpty() && clock.elapsed() < 60000)
            QTest::qWait(5);
        QVERIFY(!filesUnder(path(out)).isEmpty());
        QVERIFY(filesUnder(path(out)).first().contains(u"/."_s));
        QTest::qWait(500); // well into the reading
        ::kill(pid_t(p.processId()), SIGINT);
        QVERIFY(p.waitForFinished(60000));
        const QString errors = QString::fromUtf8(p.readAllStandardError());
        QVERIFY2(p.exitStatus() == QProcess::NormalExit && p.exitCode() == 130, qPrintable(errors));
        // The sanitizers report there what the exit code does not show.
        QVERIFY2(!errors.contains(u"Sanitizer"_s) && !errors.contains(u"runtime error"_s),
            qPrintable(errors));
        QCOMPARE(filesUnder(path(out)), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestParloRender)
#include "test_ParloRender.moc"
