// parlo-render against input an attacker would choose: every case is made
// here, small, and must end with its exit code and a message naming what was
// refused, within a bounded time, leaving every input as it was.
#include "TestFiles.h"

#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

using TestFiles::finish;
using TestFiles::Run;
using TestFiles::setUp;

namespace
{

constexpr int RunLimitMs = 60000;

// The words of `s`, split at spaces.
QStringList words(QStringView s)
{
    return s.toString().split(u' ', Qt::SkipEmptyParts);
}

} // namespace

class TestHostileInput : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString path(const QString &name) const { return m_dir.filePath(name); }
    static Run render(const QStringList &arguments, const QString &folder)
    {
        return TestFiles::run(QStringLiteral(PARLO_RENDER), arguments, folder);
    }

    // Makes the files of a case under `folder`: name -> bytes.
    static void make(const QString &folder, const QVariantMap &files)
    {
        // A QString value is the target of a symbolic link.
        for (auto it = files.begin(); it != files.end(); ++it) {
            const QString file = folder + u'/' + it.key();
            QDir().mkpath(QFileInfo(file).path());
            if (it.value().typeId() == QMetaType::QString)
                QVERIFY(QFile::link(it.value().toString(), file));
            else
                TestFiles::writeAll(file, it.value().toByteArray());
        }
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(QFileInfo(QStringLiteral(PARLO_RENDER)).isExecutable()); }

    // One run per case, in a folder of its own: its exit code, a message
    // naming what was refused, and every input left as it was.
    void refused_data()
    {
        QTest::addColumn<QVariantMap>("files");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        // Outputs that must be made, and outputs that must not.
        QTest::addColumn<QStringList>("made");
        QTest::addColumn<QStringList>("notMade");
        // Text that no output made may hold (a tag read as words).
        QTest::addColumn<QString>("notInOutputs");
        const auto add = [](const char *tag, const QVariantMap &files, const QStringList &arguments,
                             int exitCode, const QString &message, const QStringList &made,
                             const QStringList &notMade, const QString &notInOutputs = {}) {
            QTest::newRow(tag) << files << arguments << exitCode << message << made << notMade
                               << notInOutputs;
        };
        // Nothing to read fails that input, says so, and leaves no WAV of
        // no sound behind; the other inputs are still rendered.
        const auto noText
            = [&](const char *tag, const QVariantMap &files, const QStringList &arguments,
                  const QString &input, const QString &wav, const QStringList &made = {}) {
                  add(tag, files, arguments, 1, input + u": has no text to read"_s, made, {wav});
              };
        add("silences past --max-duration", {},
            words(u"--xml --max-duration 5m -o s.wav --text")
                << u"<silence msec=\"600000\"/>"_s.repeated(10),
            1, u"--text #1: would last about 10 min 00 s, longer than --max-duration"_s, {},
            {u"s.wav"_s});
        add("digits past --max-duration",
            {{u"digits.txt"_s, QByteArray(20000, '7') + " 一二三。" + QByteArray(20000, '8')}},
            words(u"--max-duration 30 digits.txt"), 1, u"digits.txt: would last about 5 min 51 s"_s,
            {}, {u"digits.wav"_s});
        add("-f --srt over its own input",
            {{u"notes.srt"_s, "1\n00:00:01,000 --> 00:00:02,000\n我的筆記。\n"_ba}},
            words(u"-f --srt notes.srt"), 1,
            u"notes.srt: its output notes.srt is an input of this run"_s, {}, {u"notes.wav"_s});
        add("-f over a text named .wav", {{u"story.wav"_s, "從前有一座山。"_ba}},
            words(u"-f story.wav"), 1, u"story.wav: its output story.wav is an input of this run"_s,
            {}, {});
        add("in a folder, an output over its own input",
            {{u"docs/a.txt"_s, "甲。"_ba}, {u"docs/a.lrc"_s, "[00:01.00]乙"_ba}},
            words(u"-f --no-wav --lrc --glob * docs"), 1,
            u"docs/a.lrc: its output docs/a.lrc is an input of this run"_s, {}, {});
        add("a page whose head is never closed",
            {{u"page.html"_s, "<html><head><title>t</title><p>讀我。"_ba}}, {u"page.html"_s}, 0, {},
            {u"page.wav"_s}, {});
        const QString utf16 = u"Chapter 1\n從前有一座山。\n"_s;
        add("UTF-16LE without a byte-order mark",
            {{u"le.txt"_s,
                QByteArray(reinterpret_cast<const char *>(utf16.utf16()), utf16.size() * 2)}},
            {u"le.txt"_s}, 0, {}, {u"le.wav"_s}, {});
        // A folder holding links: one out of it, one to a file inside it.
        add("a folder's link out of it is skipped",
            {{u"secret.txt"_s, "不該讀到。"_ba}, {u"docs/a.txt"_s, "甲。"_ba},
                {u"docs/passwd.txt"_s, u"../secret.txt"_s}, {u"docs/again.txt"_s, u"a.txt"_s},
                {u"docs/up"_s, u".."_s}},
            words(u"--no-wav --srt docs"), 0, {}, words(u"docs/a.srt docs/again.srt"),
            words(u"docs/passwd.srt docs/up/secret.srt"));
        add("--follow-links follows it",
            {{u"secret.txt"_s, "讀到了。"_ba}, {u"docs/a.txt"_s, "甲。"_ba},
                {u"docs/passwd.txt"_s, u"../secret.txt"_s}},
            words(u"--follow-links --no-wav --srt docs"), 0, {},
            words(u"docs/a.srt docs/passwd.srt"), {});
        add("a link named on the command line is read",
            {{u"secret.txt"_s, "讀到了。"_ba}, {u"named.txt"_s, u"secret.txt"_s}},
            words(u"--no-wav --srt named.txt"), 0, {}, {u"named.srt"_s}, {});
        add("markup with flaws keeps the rest of its markup", {},
            words(u"--xml --no-wav --srt -o m.wav --text")
                << u"<rate speed=\"99999999999\">一</rate><emph>二 &#0; &nbsp; 1 < 2</emph></voice>"_s,
            0, {}, {u"m.srt"_s}, {}, u"emph>"_s);
        // A dot that starts a name begins no extension.
        add("a document named .notes", {{u".notes"_s, "筆記。"_ba}}, words(u"--srt .notes"), 0, {},
            words(u".notes.wav .notes.srt"), words(u".wav ..wav .srt ..srt"));
        add("-o .notes.wav", {}, words(u"-o .notes.wav --text 筆記。"), 0, {}, {u".notes.wav"_s},
            words(u".wav ..wav"));
        const QString text = u"--text #1"_s, textWav = u"text.wav"_s;
        noText("an empty --text", {}, {u"--text"_s, QString()}, text, textWav);
        noText("a --text of blanks and line ends", {}, {u"--text"_s, u" \r\n\t\n\u3000 "_s}, text,
            textWav);
        noText("--xml, markup with nothing to say", {},
            words(u"--xml --text") << u"<emph> </emph><!-- not read -->"_s, text, textWav);
        noText("--xml, only a silence of no length", {},
            words(u"--xml --text") << u"<silence msec=\"0\"/>"_s, text, textWav);
        noText("an empty file", {{u"empty.txt"_s, QByteArray()}}, {u"empty.txt"_s}, u"empty.txt"_s,
            u"empty.wav"_s);
        noText("a file of only a byte-order mark", {{u"bom.txt"_s, "\xEF\xBB\xBF"_ba}},
            {u"bom.txt"_s}, u"bom.txt"_s, u"bom.wav"_s);
        noText("a file of only a UTF-16 byte-order mark", {{u"bom16.txt"_s, "\xFF\xFE"_ba}},
            {u"bom16.txt"_s}, u"bom16.txt"_s, u"bom16.wav"_s);
        noText("an empty file among others",
            {{u"empty.txt"_s, QByteArray()}, {u"ok.txt"_s, "好。"_ba}}, words(u"ok.txt empty.txt"),
            u"empty.txt"_s, u"empty.wav"_s, {u"ok.wav"_s});
        add("an invalid --glob", {{u"docs/a.txt"_s, "甲。"_ba}}, words(u"--glob [a docs"), 2,
            u"--glob [a is not a file name pattern"_s, {}, {u"docs/a.wav"_s});
        // Each end of a range is in it.
        add("--rate 10 and --volume 100", {}, words(u"--rate 10 --volume 100 --text 好。"), 0, {},
            {u"text.wav"_s}, {});
        add("--rate -10 and --volume 0", {}, words(u"--rate -10 --volume 0 --text 好。"), 0, {},
            {u"text.wav"_s}, {});
        add("--rate 11", {}, words(u"--rate 11 --text 好。"), 2,
            u"--rate takes a number from -10 to 10"_s, {}, {u"text.wav"_s});
        // With one input, a name ending in .mp3 names the output as .wav does.
        add("-o NAME.mp3", {}, words(u"--mp3 -o talk.mp3 --text 好。"), 0, {},
            words(u"talk.wav talk.mp3"), words(u"talk.mp3/text.wav talk.mp3/text.mp3"));
        add("--max-duration of no time", {}, words(u"--max-duration 0 --text x"), 2,
            u"--max-duration takes a time above zero"_s, {}, {u"text.wav"_s});
        // Audiobook options at their edges.
        const QVariantMap book {{u"book.txt"_s, "第一章\n甲。\n第二章\n\n第三章\n丙。"_ba}};
        add("--bitrate below 16", book, words(u"--m4b --bitrate 15 book.txt"), 2,
            u"--bitrate takes a number from 16 to 256"_s, {}, {u"book.m4b"_s});
        add("--bitrate 16 and an empty chapter", book,
            words(u"--m4b --bitrate 16 --split chapters book.txt"), 0, {},
            {u"book.m4b"_s, u"book/01 第一章.wav"_s, u"book/02 第三章.wav"_s},
            {u"book/02 第二章.wav"_s, u"book/03 第三章.wav"_s, u"book.wav"_s});
        add("--chapter-level 3", book, words(u"--chapter-level 3 book.txt"), 2,
            u"--chapter-level takes 1 or 2"_s, {}, {u"book.wav"_s});
        add("--split pages", book, words(u"--split pages book.txt"), 2, u"--split takes"_s, {},
            {u"book.wav"_s});
        add("--split into a file name", book, words(u"--split chapters -o b.m4b book.txt"), 2,
            u"--split chapters writes into a folder"_s, {}, {u"b.m4b"_s, u"book/01 第一章.wav"_s});
        add("--stdout with --m4b", book, words(u"--stdout --m4b book.txt"), 2,
            u"--stdout takes one input and no other output"_s, {}, {u"book.m4b"_s});
    }
    void refused()
    {
        QFETCH(QVariantMap, files);
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        QFETCH(QStringList, made);
        QFETCH(QStringList, notMade);
        QFETCH(QString, notInOutputs);
        const QString folder = path(QString::fromLatin1(QTest::currentDataTag()));
        QVERIFY(QDir().mkpath(folder));
        make(folder, files);
        const Run run = render(QStringList {u"-q"_s} + arguments, folder);
        QVERIFY2(run.finished && run.exitCode == exitCode, qPrintable(run.errors));
        QVERIFY2(!run.errors.contains(u"QRegularExpression"_s), qPrintable(run.errors));
        if (message.isEmpty())
            QVERIFY2(!run.errors.contains(u"parlo-render:"_s), qPrintable(run.errors));
        else
            QVERIFY2(run.errors.contains(message), qPrintable(run.errors));
        for (auto it = files.begin(); it != files.end(); ++it) {
            if (it.value().typeId() != QMetaType::QString)
                QCOMPARE(TestFiles::readAll(folder + u'/' + it.key()), it.value().toByteArray());
        }
        for (const QString &output : made) {
            QVERIFY2(QFileInfo::exists(folder + u'/' + output), qPrintable(output));
            if (!notInOutputs.isEmpty())
                QVERIFY(
                    !TestFiles::readAll(folder + u'/' + output).contains(notInOutputs.toUtf8()));
        }
        for (const QString &output : notMade)
            QVERIFY2(!QFileInfo::exists(folder + u'/' + output), qPrintable(output));
    }

    // Each message says what the input is and names what the user named,
    // in the user's language.
    void messages_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("environment");
        QTest::addColumn<QString>("message"); // all with exit code 1
        QTest::addColumn<QString>("notInMessages");
        // Files written may not grow past this many KiB.
        QTest::addColumn<QString>("fileSizeLimit");
        const QString folder = path(u"special"_s);
        QVERIFY(QDir().mkpath(folder + u"/empty"_s));
        QVERIFY(QDir().mkpath(folder + u"/pictures"_s));
        TestFiles::writeAll(folder + u"/pictures/a.png"_s, "\x89PNG\r\n\x1a\n"_ba);
        TestFiles::writeAll(folder + u"/data.txt"_s, QByteArray("\x01\x02\x03\0\0\0\x04", 7));
        QFile::remove(folder + u"/pipe"_s);
        QCOMPARE(::mkfifo(QFile::encodeName(folder + u"/pipe"_s).constData(), 0600), 0);
        const auto add = [](const char *tag, const QStringList &arguments, const QString &message,
                             const QString &notInMessages = {}, const QStringList &environment = {},
                             const QString &fileSizeLimit = u"unlimited"_s) {
            QTest::newRow(tag) << arguments << environment << message << notInMessages
                               << fileSizeLimit;
        };
        add("a named pipe", {u"pipe"_s}, u"pipe: is a named pipe, not a file"_s, u"no such"_s);
        add("a device", {u"/dev/null"_s}, u"/dev/null: is a device, not a file"_s, u"no such"_s);
        add("an empty folder", {u"empty"_s}, u"empty: no document found in this folder"_s);
        add("a folder of no document", {u"pictures"_s},
            u"pictures: no document found in this folder"_s);
        add("binary data, in English", {u"data.txt"_s},
            u"data.txt: is no document this program reads"_s);
        // Every message is in both languages, whatever the locale, as the help is.
        add("binary data, in both languages", {u"data.txt"_s},
            u"data.txt: is no document this program reads / 不是本程式可讀的文件"_s, {},
            {u"LANG=zh_TW.UTF-8"_s});
        add("a write that fails names the output",
            words(u"-o big.wav --text 今天天氣很好，我們一起到公園散步。"),
            u"--text #1: cannot write big.wav"_s, u"parlo-render: --text #1: cannot write ./.big"_s,
            {}, u"8"_s);
    }
    void messages()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, environment);
        QFETCH(QString, message);
        QFETCH(QString, notInMessages);
        QFETCH(QString, fileSizeLimit);
        // Past the limit a write fails (EFBIG) instead of killing the writer.
        const Run run = TestFiles::run(u"/bin/bash"_s,
            QStringList {u"-c"_s,
                u"trap '' XFSZ; ulimit -f %1; exec \"$0\" -q \"$@\""_s.arg(fileSizeLimit),
                QStringLiteral(PARLO_RENDER)}
                + arguments,
            path(u"special"_s), environment);
        QVERIFY2(run.finished && run.exitCode == 1, qPrintable(run.errors));
        QVERIFY2(run.errors.contains(message), qPrintable(run.errors));
        if (!notInMessages.isEmpty())
            QVERIFY2(!run.errors.contains(notInMessages), qPrintable(run.errors));
    }

    // Names that are not UTF-8 (Latin-1 é, a stray 0xFF, a Big5 folder)
    // are read, named or found in a folder, and their outputs carry the
    // same bytes.
    void namesThatAreNotUtf8()
    {
        const QByteArray folder = QFile::encodeName(path(u"bytes"_s));
        QVERIFY(QDir().mkpath(path(u"bytes"_s)));
        const auto write = [](const QByteArray &file, const QByteArray &text) {
            const int fd = ::open(file.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            QVERIFY(fd >= 0);
            QCOMPARE(::write(fd, text.constData(), size_t(text.size())), text.size());
            ::close(fd);
        };
        QCOMPARE(::mkdir(folder + "/lessons", 0755), 0);
        QCOMPARE(::mkdir(folder + "/\xBD\xD2", 0755), 0); // 課 in Big5
        write(folder + "/caf\xE9.txt", "你好。");
        write(folder + "/lessons/b\xFF.txt", "再見。");
        write(folder + "/\xBD\xD2/one.txt", "第一課。");
        // The names go through the shell as bytes: QProcess would turn
        // them into text first.
        const Run run = TestFiles::run(u"/bin/bash"_s,
            {u"-c"_s,
                uR"sh(exec "$0" -q --no-wav --srt "$(printf 'caf\xe9.txt')" lessons "$(printf '\xbd\xd2')")sh"_s,
                QStringLiteral(PARLO_RENDER)},
            path(u"bytes"_s));
        QVERIFY2(run.finished && run.exitCode == 0, qPrintable(run.errors));
        for (const QByteArray &made :
            {"/caf\xE9.srt"_ba, "/lessons/b\xFF.srt"_ba, "/\xBD\xD2/one.srt"_ba})
            QVERIFY2(::access((folder + made).constData(), F_OK) == 0, made.toPercentEncoding());
    }

    // Rendering plays nothing, so it never reaches for the sound server:
    // nothing of the server's appears in the user's home or runtime folder.
    void noSoundServer()
    {
        const QString home = path(u"home"_s);
        QVERIFY(QDir().mkpath(home + u"/run"_s));
        const Run run
            = TestFiles::run(QStringLiteral(PARLO_RENDER), {u"-q"_s, u"--text"_s, u"你好"_s}, home,
                {u"HOME="_s + home, u"XDG_RUNTIME_DIR="_s + home + u"/run"_s,
                    u"XDG_CONFIG_HOME="_s + home + u"/.config"_s});
        QVERIFY2(run.finished && run.exitCode == 0, qPrintable(run.errors));
        QCOMPARE(TestFiles::filesUnder(home, QDir::AllEntries | QDir::Hidden),
            QStringList({u"run"_s, u"text.wav"_s}));
    }

    // A run killed outright leaves its hidden temporaries; the next run
    // that writes in that folder removes them, and those of a run still
    // going stay.
    void killedRunIsCleanedUpAfter()
    {
        const QString folder = path(u"killed"_s);
        QVERIFY(QDir().mkpath(folder));
        TestFiles::writeAll(folder + u"/long.txt"_s,
            u"今天天氣很好，我們一起到公園散步。"_s.repeated(200).toUtf8());
        TestFiles::writeAll(folder + u"/short.txt"_s, "再見。"_ba);
        QProcess first;
        setUp(first, folder);
        first.start(QStringLiteral(PARLO_RENDER), {u"-q"_s, u"--srt"_s, u"long.txt"_s});
        QVERIFY(first.waitForStarted());
        const auto temporaries
            = [&] { return QDir(folder).entryList({u".*.part-*"_s}, QDir::Files | QDir::Hidden); };
        QElapsedTimer clock;
        clock.start();
        while (temporaries().isEmpty() && clock.elapsed() < RunLimitMs)
            QTest::qWait(5);
        QVERIFY(!temporaries().isEmpty());
        first.kill();
        QVERIFY(first.waitForFinished());
        QVERIFY(!temporaries().isEmpty());
        // One of a process that is still running (this test).
        const QString alive = u".x.part-%1-0.wav"_s.arg(QCoreApplication::applicationPid());
        TestFiles::writeAll(folder + u'/' + alive, "RIFF"_ba);

        const Run run = render({u"-q"_s, u"short.txt"_s}, folder);
        QVERIFY2(run.finished && run.exitCode == 0, qPrintable(run.errors));
        QCOMPARE(temporaries(), QStringList {alive});
        QVERIFY(QFileInfo::exists(folder + u"/short.wav"_s));
    }

    // Standard input is refused as soon as it is known to be too much or not
    // a document, not after it has all been read.
    void standardInputIsBounded_data()
    {
        QTest::addColumn<QByteArray>("chunk");
        QTest::addColumn<qint64>("offered");
        QTest::addColumn<QString>("message");
        // /dev/zero, as a pipe that never ends
        QTest::newRow("endless NULs") << QByteArray(1 << 16, '\0') << (qint64(300) << 20)
                                      << u"(standard input, 標準輸入): binary data"_s;
        QTest::newRow("text past the file limit")
            << QByteArray(1 << 16, 'a') << (qint64(257) << 20)
            << u"(standard input, 標準輸入): larger than 268435456 bytes"_s;
        QTest::newRow("NUL after a page of text")
            << (QByteArray(1 << 12, 'a') + '\0' + QByteArray((1 << 12) - 1, 'a'))
            << (qint64(300) << 20) << u"(standard input, 標準輸入): binary data"_s;
    }
    void standardInputIsBounded()
    {
        QFETCH(QByteArray, chunk);
        QFETCH(qint64, offered);
        QFETCH(QString, message);
        QProcess p;
        setUp(p, m_dir.path());
        p.start(QStringLiteral(PARLO_RENDER), {u"-q"_s, u"-o"_s, u"stdin-out"_s, u"-"_s});
        QVERIFY(p.waitForStarted());
        QElapsedTimer clock;
        clock.start();
        // Offered as a pipe fills: a few chunks ahead of what was taken.
        qint64 queued = 0;
        while ((queued < offered || p.bytesToWrite() > 0) && p.state() == QProcess::Running
            && clock.elapsed() < RunLimitMs) {
            if (queued < offered && p.bytesToWrite() < 4 * chunk.size())
                queued += p.write(chunk);
            else
                p.waitForBytesWritten(100);
        }
        const qint64 taken = queued - p.bytesToWrite();
        p.closeWriteChannel();
        const Run run = finish(p);
        QVERIFY2(run.finished, qPrintable(run.errors));
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.errors.contains(message), qPrintable(run.errors));
        QVERIFY2(taken < offered, "the whole stream was read");
        QVERIFY(!QFileInfo::exists(path(u"stdin-out/stdin.wav"_s)));
    }
};

QTEST_GUILESS_MAIN(TestHostileInput)
#include "test_HostileInput.moc"
