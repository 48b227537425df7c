// parlo-render against input an attacker would choose: every case is made
// here, small, and must end with its exit code and a message naming what was
// refused, within a bounded time, leaving every input as it was.
#include "TestFiles.h"

#include <QDirIterator>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace
{

constexpr int RunLimitMs = 60000;

struct Run {
    bool finished = false;
    int exitCode = -1;
    QString errors;
};

// `environment`: NAME=value pairs set on top of an English locale.
void setUp(QProcess &p, const QString &folder, const QStringList &environment = {})
{
    p.setWorkingDirectory(folder);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"LANG"_s, u"C.UTF-8"_s);
    env.remove(u"LC_ALL"_s);
    env.remove(u"LC_MESSAGES"_s);
    for (const QString &pair : environment)
        env.insert(pair.section(u'=', 0, 0), pair.section(u'=', 1));
    p.setProcessEnvironment(env);
}

Run finish(QProcess &p)
{
    // waitForFinished() is false for a process that has ended already.
    if (p.state() != QProcess::NotRunning && !p.waitForFinished(RunLimitMs)) {
        p.kill();
        p.waitForFinished();
        return {false, -1, QString::fromUtf8(p.readAllStandardError())};
    }
    return {p.exitStatus() == QProcess::NormalExit, p.exitCode(),
        QString::fromUtf8(p.readAllStandardError())};
}

} // namespace

class TestHostileInput : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString path(const QString &name) const { return m_dir.filePath(name); }

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
        const QStringList none;
        const QString silences = u"<silence msec=\"600000\"/>"_s.repeated(10);
        QTest::newRow("silences past --max-duration")
            << QVariantMap()
            << QStringList {u"--xml"_s, u"--max-duration"_s, u"5m"_s, u"-o"_s, u"s.wav"_s,
                   u"--text"_s, silences}
            << 1 << u"--text #1: would last about 10 min 00 s, longer than --max-duration"_s << none
            << QStringList {u"s.wav"_s} << QString();
        QTest::newRow("digits past --max-duration")
            << QVariantMap({{u"digits.txt"_s,
                   QByteArray(20000, '7') + " 一二三。" + QByteArray(20000, '8')}})
            << QStringList {u"--max-duration"_s, u"30"_s, u"digits.txt"_s} << 1
            << u"digits.txt: would last about 5 min 51 s"_s << none << QStringList {u"digits.wav"_s}
            << QString();
        const QVariantMap notes {
            {u"notes.srt"_s, "1\n00:00:01,000 --> 00:00:02,000\n我的筆記。\n"_ba}};
        QTest::newRow("-f --srt over its own input")
            << notes << QStringList {u"-f"_s, u"--srt"_s, u"notes.srt"_s} << 1
            << u"notes.srt: its output notes.srt is an input of this run"_s << none
            << QStringList {u"notes.wav"_s} << QString();
        const QVariantMap story {{u"story.wav"_s, "從前有一座山。"_ba}};
        QTest::newRow("-f over a text named .wav")
            << story << QStringList {u"-f"_s, u"story.wav"_s} << 1
            << u"story.wav: its output story.wav is an input of this run"_s << none << none
            << QString();
        QTest::newRow("in a folder, an output over its own input")
            << QVariantMap({{u"docs/a.txt"_s, "甲。"_ba}, {u"docs/a.lrc"_s, "[00:01.00]乙"_ba}})
            << QStringList {u"-f"_s, u"--no-wav"_s, u"--lrc"_s, u"--glob"_s, u"*"_s, u"docs"_s} << 1
            << u"docs/a.lrc: its output docs/a.lrc is an input of this run"_s << none << none
            << QString();
        QTest::newRow("a page whose head is never closed")
            << QVariantMap({{u"page.html"_s, "<html><head><title>t</title><p>讀我。"_ba}})
            << QStringList {u"page.html"_s} << 0 << QString() << QStringList {u"page.wav"_s} << none
            << QString();
        const QString utf16 = u"Chapter 1\n從前有一座山。\n"_s;
        QTest::newRow("UTF-16LE without a byte-order mark")
            << QVariantMap({{u"le.txt"_s,
                   QByteArray(reinterpret_cast<const char *>(utf16.utf16()), utf16.size() * 2)}})
            << QStringList {u"le.txt"_s} << 0 << QString() << QStringList {u"le.wav"_s} << none
            << QString();
        // A folder holding links: one out of it, one to a file inside it.
        const QVariantMap linked {{u"secret.txt"_s, "不該讀到。"_ba}, {u"docs/a.txt"_s, "甲。"_ba},
            {u"docs/passwd.txt"_s, u"../secret.txt"_s}, {u"docs/again.txt"_s, u"a.txt"_s},
            {u"docs/up"_s, u".."_s}};
        QTest::newRow("a folder's link out of it is skipped")
            << linked << QStringList {u"--no-wav"_s, u"--srt"_s, u"docs"_s} << 0 << QString()
            << QStringList {u"docs/a.srt"_s, u"docs/again.srt"_s}
            << QStringList {u"docs/passwd.srt"_s, u"docs/up"_s + u"/secret.srt"_s} << QString();
        QTest::newRow("--follow-links follows it")
            << QVariantMap({{u"secret.txt"_s, "讀到了。"_ba}, {u"docs/a.txt"_s, "甲。"_ba},
                   {u"docs/passwd.txt"_s, u"../secret.txt"_s}})
            << QStringList {u"--follow-links"_s, u"--no-wav"_s, u"--srt"_s, u"docs"_s} << 0
            << QString() << QStringList {u"docs/a.srt"_s, u"docs/passwd.srt"_s} << none
            << QString();
        QTest::newRow("a link named on the command line is read")
            << QVariantMap({{u"secret.txt"_s, "讀到了。"_ba}, {u"named.txt"_s, u"secret.txt"_s}})
            << QStringList {u"--no-wav"_s, u"--srt"_s, u"named.txt"_s} << 0 << QString()
            << QStringList {u"named.srt"_s} << none << QString();
        QTest::newRow("markup with flaws keeps the rest of its markup")
            << QVariantMap()
            << QStringList {u"--xml"_s, u"--no-wav"_s, u"--srt"_s, u"-o"_s, u"m.wav"_s, u"--text"_s,
                   u"<rate speed=\"99999999999\">一</rate><emph>二 &#0; &nbsp; 1 < 2</emph></voice>"_s}
            << 0 << QString() << QStringList {u"m.srt"_s} << none << u"emph>"_s;
        // A dot that starts a name begins no extension.
        QTest::newRow("a document named .notes")
            << QVariantMap({{u".notes"_s, "筆記。"_ba}}) << QStringList {u"--srt"_s, u".notes"_s}
            << 0 << QString() << QStringList {u".notes.wav"_s, u".notes.srt"_s}
            << QStringList {u".wav"_s, u"..wav"_s, u".srt"_s, u"..srt"_s} << QString();
        QTest::newRow("-o .notes.wav")
            << QVariantMap() << QStringList {u"-o"_s, u".notes.wav"_s, u"--text"_s, u"筆記。"_s}
            << 0 << QString() << QStringList {u".notes.wav"_s}
            << QStringList {u".wav"_s, u"..wav"_s} << QString();
        // Nothing to read fails that input, says so, and leaves no WAV of
        // no sound behind; the other inputs are still rendered.
        const QString noText = u"has no text to read"_s;
        QTest::newRow("an empty --text")
            << QVariantMap() << QStringList {u"--text"_s, QString()} << 1
            << u"--text #1: "_s + noText << none << QStringList {u"text.wav"_s} << QString();
        QTest::newRow("a --text of blanks and line ends")
            << QVariantMap() << QStringList {u"--text"_s, u" \r\n\t\n\u3000 "_s} << 1
            << u"--text #1: "_s + noText << none << QStringList {u"text.wav"_s} << QString();
        QTest::newRow("--xml, markup with nothing to say")
            << QVariantMap()
            << QStringList {u"--xml"_s, u"--text"_s, u"<emph> </emph><!-- not read -->"_s} << 1
            << u"--text #1: "_s + noText << none << QStringList {u"text.wav"_s} << QString();
        QTest::newRow("--xml, only a silence of no length")
            << QVariantMap() << QStringList {u"--xml"_s, u"--text"_s, u"<silence msec=\"0\"/>"_s}
            << 1 << u"--text #1: "_s + noText << none << QStringList {u"text.wav"_s} << QString();
        QTest::newRow("an empty file")
            << QVariantMap({{u"empty.txt"_s, QByteArray()}}) << QStringList {u"empty.txt"_s} << 1
            << u"empty.txt: "_s + noText << none << QStringList {u"empty.wav"_s} << QString();
        QTest::newRow("a file of only a byte-order mark")
            << QVariantMap({{u"bom.txt"_s, "\xEF\xBB\xBF"_ba}}) << QStringList {u"bom.txt"_s} << 1
            << u"bom.txt: "_s + noText << none << QStringList {u"bom.wav"_s} << QString();
        QTest::newRow("a file of only a UTF-16 byte-order mark")
            << QVariantMap({{u"bom16.txt"_s, "\xFF\xFE"_ba}}) << QStringList {u"bom16.txt"_s} << 1
            << u"bom16.txt: "_s + noText << none << QStringList {u"bom16.wav"_s} << QString();
        QTest::newRow("an empty file among others")
            << QVariantMap({{u"empty.txt"_s, QByteArray()}, {u"ok.txt"_s, "好。"_ba}})
            << QStringList {u"ok.txt"_s, u"empty.txt"_s} << 1 << u"empty.txt: "_s + noText
            << QStringList {u"ok.wav"_s} << QStringList {u"empty.wav"_s} << QString();
        QTest::newRow("an invalid --glob") << QVariantMap({{u"docs/a.txt"_s, "甲。"_ba}})
                                           << QStringList {u"--glob"_s, u"[a"_s, u"docs"_s} << 2
                                           << u"--glob [a is not a file name pattern"_s << none
                                           << QStringList {u"docs/a.wav"_s} << QString();
        // Each end of a range is in it.
        QTest::newRow("--rate 10 and --volume 100")
            << QVariantMap()
            << QStringList {u"--rate"_s, u"10"_s, u"--volume"_s, u"100"_s, u"--text"_s, u"好。"_s}
            << 0 << QString() << QStringList {u"text.wav"_s} << none << QString();
        QTest::newRow("--rate -10 and --volume 0")
            << QVariantMap()
            << QStringList {u"--rate"_s, u"-10"_s, u"--volume"_s, u"0"_s, u"--text"_s, u"好。"_s}
            << 0 << QString() << QStringList {u"text.wav"_s} << none << QString();
        QTest::newRow("--rate 11")
            << QVariantMap() << QStringList {u"--rate"_s, u"11"_s, u"--text"_s, u"好。"_s} << 2
            << u"--rate takes a number from -10 to 10"_s << none << QStringList {u"text.wav"_s}
            << QString();
        // With one input, a name ending in .mp3 names the output as .wav does.
        QTest::newRow("-o NAME.mp3")
            << QVariantMap()
            << QStringList {u"--mp3"_s, u"-o"_s, u"talk.mp3"_s, u"--text"_s, u"好。"_s} << 0
            << QString() << QStringList {u"talk.wav"_s, u"talk.mp3"_s}
            << QStringList {u"talk.mp3/text.wav"_s, u"talk.mp3/text.mp3"_s} << QString();
        QTest::newRow("--max-duration of no time")
            << QVariantMap() << QStringList {u"--max-duration"_s, u"0"_s, u"--text"_s, u"x"_s} << 2
            << u"--max-duration takes a time above zero"_s << none << QStringList {u"text.wav"_s}
            << QString();
        // Audiobook options at their edges.
        const QVariantMap book {{u"book.txt"_s, "第一章\n甲。\n第二章\n\n第三章\n丙。"_ba}};
        QTest::newRow("--bitrate below 16")
            << book << QStringList {u"--m4b"_s, u"--bitrate"_s, u"15"_s, u"book.txt"_s} << 2
            << u"--bitrate takes a number from 16 to 256"_s << none << QStringList {u"book.m4b"_s}
            << QString();
        QTest::newRow("--bitrate 16 and an empty chapter")
            << book
            << QStringList {u"--m4b"_s, u"--bitrate"_s, u"16"_s, u"--split"_s, u"chapters"_s,
                   u"book.txt"_s}
            << 0 << QString()
            << QStringList {u"book.m4b"_s, u"book/01 第一章.wav"_s, u"book/02 第三章.wav"_s}
            << QStringList {u"book/02 第二章.wav"_s, u"book/03 第三章.wav"_s, u"book.wav"_s}
            << QString();
        QTest::newRow("--chapter-level 3")
            << book << QStringList {u"--chapter-level"_s, u"3"_s, u"book.txt"_s} << 2
            << u"--chapter-level takes 1 or 2"_s << none << QStringList {u"book.wav"_s}
            << QString();
        QTest::newRow("--split pages")
            << book << QStringList {u"--split"_s, u"pages"_s, u"book.txt"_s} << 2
            << u"--split takes"_s << none << QStringList {u"book.wav"_s} << QString();
        QTest::newRow("--split into a file name")
            << book << QStringList {u"--split"_s, u"chapters"_s, u"-o"_s, u"b.m4b"_s, u"book.txt"_s}
            << 2 << u"--split chapters writes into a folder"_s << none
            << QStringList {u"b.m4b"_s, u"book/01 第一章.wav"_s} << QString();
        QTest::newRow("--stdout with --m4b")
            << book << QStringList {u"--stdout"_s, u"--m4b"_s, u"book.txt"_s} << 2
            << u"--stdout takes one input and no other output"_s << none
            << QStringList {u"book.m4b"_s} << QString();
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
        QProcess p;
        setUp(p, folder);
        p.start(QStringLiteral(PARLO_RENDER), QStringList {u"-q"_s} + arguments);
        const Run run = finish(p);
        QVERIFY2(run.finished, qPrintable(run.errors));
        QVERIFY2(run.exitCode == exitCode, qPrintable(run.errors));
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
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("notInMessages");
        // Files written may not grow past this many KiB (0: no limit).
        QTest::addColumn<int>("fileSizeLimit");
        const QString folder = path(u"special"_s);
        QVERIFY(QDir().mkpath(folder + u"/empty"_s));
        QVERIFY(QDir().mkpath(folder + u"/pictures"_s));
        TestFiles::writeAll(folder + u"/pictures/a.png"_s, "\x89PNG\r\n\x1a\n"_ba);
        TestFiles::writeAll(folder + u"/data.txt"_s, QByteArray("\x01\x02\x03\0\0\0\x04", 7));
        QFile::remove(folder + u"/pipe"_s);
        QCOMPARE(::mkfifo(QFile::encodeName(folder + u"/pipe"_s).constData(), 0600), 0);
        QTest::newRow("a named pipe")
            << QStringList {u"pipe"_s} << QStringList() << 1
            << u"pipe: is a named pipe, not a file"_s << u"no such"_s << 0;
        QTest::newRow("a device") << QStringList {u"/dev/null"_s} << QStringList() << 1
                                  << u"/dev/null: is a device, not a file"_s << u"no such"_s << 0;
        QTest::newRow("an empty folder")
            << QStringList {u"empty"_s} << QStringList() << 1
            << u"empty: no document found in this folder"_s << QString() << 0;
        QTest::newRow("a folder of no document")
            << QStringList {u"pictures"_s} << QStringList() << 1
            << u"pictures: no document found in this folder"_s << QString() << 0;
        QTest::newRow("binary data, in English")
            << QStringList {u"data.txt"_s} << QStringList() << 1
            << u"data.txt: is no document this program reads"_s << QString() << 0;
        // Every message is in both languages, whatever the locale, as the help is.
        QTest::newRow("binary data, in both languages")
            << QStringList {u"data.txt"_s} << QStringList {u"LANG=zh_TW.UTF-8"_s} << 1
            << u"data.txt: is no document this program reads / 不是本程式可讀的文件"_s << QString()
            << 0;
        QTest::newRow("a write that fails names the output")
            << QStringList {u"-o"_s, u"big.wav"_s, u"--text"_s,
                   u"今天天氣很好，我們一起到公園散步。"_s}
            << QStringList() << 1 << u"--text #1: cannot write big.wav"_s
            << u"parlo-render: --text #1: cannot write ./.big"_s << 8;
    }
    void messages()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, environment);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        QFETCH(QString, notInMessages);
        QFETCH(int, fileSizeLimit);
        QProcess p;
        setUp(p, path(u"special"_s), environment);
        if (fileSizeLimit > 0) {
            // Past the limit a write fails (EFBIG) instead of killing the writer.
            p.start(u"/bin/bash"_s,
                QStringList {u"-c"_s,
                    u"trap '' XFSZ; ulimit -f %1; exec \"$0\" -q \"$@\""_s.arg(fileSizeLimit),
                    QStringLiteral(PARLO_RENDER)}
                    + arguments);
        } else {
            p.start(QStringLiteral(PARLO_RENDER), QStringList {u"-q"_s} + arguments);
        }
        const Run run = finish(p);
        QVERIFY2(run.finished && run.exitCode == exitCode, qPrintable(run.errors));
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
        QProcess p;
        setUp(p, path(u"bytes"_s));
        p.start(u"/bin/bash"_s,
            {u"-c"_s,
                uR"sh(exec "$0" -q --no-wav --srt "$(printf 'caf\xe9.txt')" lessons "$(printf '\xbd\xd2')")sh"_s,
                QStringLiteral(PARLO_RENDER)});
        const Run run = finish(p);
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
        QProcess p;
        setUp(p, home,
            {u"HOME="_s + home, u"XDG_RUNTIME_DIR="_s + home + u"/run"_s,
                u"XDG_CONFIG_HOME="_s + home + u"/.config"_s});
        p.start(QStringLiteral(PARLO_RENDER), {u"-q"_s, u"--text"_s, u"你好"_s});
        const Run run = finish(p);
        QVERIFY2(run.finished && run.exitCode == 0, qPrintable(run.errors));
        QDirIterator it(home, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
            QDirIterator::Subdirectories);
        QStringList made;
        while (it.hasNext())
            made.append(QDir(home).relativeFilePath(it.next()));
        made.sort();
        QCOMPARE(made, QStringList({u"run"_s, u"text.wav"_s}));
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

        QProcess second;
        setUp(second, folder);
        second.start(QStringLiteral(PARLO_RENDER), {u"-q"_s, u"short.txt"_s});
        const Run run = finish(second);
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
