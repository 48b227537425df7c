#include "shell/CIni.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

namespace
{

QByteArray readAll(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

void writeAll(const QString &path, const QByteArray &data)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(data), data.size());
}

QString chinese(int count)
{
    QString s;
    for (int i = 0; i < count; ++i)
        s += QChar(0x4E00 + i); // 3 bytes each in UTF-8
    return s;
}

constexpr qint32 rgb(int r, int g, int b)
{
    return r + 256 * g + 65536 * b;
}

} // namespace

class TestCIni : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_path;
    int m_failures = 0;

    // A file holding one "[S]" section with key K set to the raw value.
    CIni iniWithValue(const QByteArray &raw)
    {
        writeAll(m_path, "[S]\r\nK=" + raw + "\r\n");
        return CIni(m_path);
    }

private Q_SLOTS:
    void init()
    {
        m_path = m_dir.filePath(QStringLiteral("Parlo_Cfg.ini"));
        QFile::remove(m_path);
        m_failures = 0;
        CIni::setWriteFailureHandler([this] { ++m_failures; });
    }
    void cleanup() { CIni::setWriteFailureHandler({}); }

    void noFileNameFailsQuietly()
    {
        CIni none;
        QCOMPARE(none.GetSz(QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("d")),
            QStringLiteral("d"));
        QVERIFY(!none.SetSz(QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("v")));
        QCOMPARE(m_failures, 1);
    }

    void getSz_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");
        const QString opt = QStringLiteral("Option");
        const QString fnt = QStringLiteral("FntName");
        QTest::newRow("trailing spaces") << QByteArray("[Option]\r\nFntName=Arial   \r\n") << opt
                                         << fnt << QStringLiteral("Arial");
        QTest::newRow("spaces after =") << QByteArray("[Option]\r\nFntName =  \tArial\r\n") << opt
                                        << fnt << QStringLiteral("Arial");
        QTest::newRow("key case") << QByteArray("[Option]\r\nfntNAME=Arial\r\n") << opt << fnt
                                  << QStringLiteral("Arial");
        QTest::newRow("section case") << QByteArray("[OPTION]\nFntName=Arial\n")
                                      << QStringLiteral("option") << fnt << QStringLiteral("Arial");
        QTest::newRow("missing key")
            << QByteArray("[Option]\r\nOther=1\r\n") << opt << fnt << QStringLiteral("DEF");
        QTest::newRow("missing section")
            << QByteArray("[TTS]\r\nFntName=X\r\n") << opt << fnt << QStringLiteral("DEF");
        QTest::newRow("key in next section")
            << QByteArray("[Option]\r\nA=1\r\n[TTS]\r\nFntName=X\r\n") << opt << fnt
            << QStringLiteral("DEF");
        QTest::newRow("empty value")
            << QByteArray("[Option]\r\nFntName=\r\n") << opt << fnt << QStringLiteral("DEF");
        QTest::newRow("only spaces")
            << QByteArray("[Option]\r\nFntName=    \r\n") << opt << fnt << QStringLiteral("DEF");
        QTest::newRow("cut at NUL") << QByteArray("[Option]\r\nFntName=ab\0cd\r\n", 25) << opt
                                    << fnt << QStringLiteral("ab");
        QTest::newRow("NUL first reads empty")
            << QByteArray("[Option]\r\nFntName=\0cd\r\n", 23) << opt << fnt << QString();
        QTest::newRow("quotes dropped") << QByteArray("[Option]\r\nFntName=\"  x  \"\r\n") << opt
                                        << fnt << QStringLiteral("  x");
        QTest::newRow("unmatched quote")
            << QByteArray("[Option]\r\nFntName=\"x\r\n") << opt << fnt << QStringLiteral("\"x");
        QTest::newRow("first duplicate wins")
            << QByteArray("[Option]\r\nFntName=A\r\nFntName=B\r\n") << opt << fnt
            << QStringLiteral("A");
        QTest::newRow("first section wins")
            << QByteArray("[Option]\r\nX=1\r\n[Option]\r\nFntName=B\r\n") << opt << fnt
            << QStringLiteral("DEF");
        QTest::newRow("comment skipped")
            << QByteArray("[Option]\r\n;FntName=Times\r\nFntName=Arial\r\n") << opt << fnt
            << QStringLiteral("Arial");
        QTest::newRow("byte-order mark") << QByteArray("\xEF\xBB\xBF[Option]\r\nFntName=Arial\r\n")
                                         << opt << fnt << QStringLiteral("Arial");
        QTest::newRow("equals in value")
            << QByteArray("[Option]\nFntName=a=b\n") << opt << fnt << QStringLiteral("a=b");
        QTest::newRow("no final line end")
            << QByteArray("[Option]\r\nFntName=Arial") << opt << fnt << QStringLiteral("Arial");
        QTest::newRow("indented header") << QByteArray("  [ Option ]  \r\nFntName=Arial\r\n") << opt
                                         << fnt << QStringLiteral("Arial");
        QTest::newRow("chinese") << QByteArray("[Option]\r\nFntName=新細明體\r\n") << opt << fnt
                                 << QStringLiteral("新細明體");
        QTest::newRow("chinese section and key")
            << QByteArray("[選項]\r\n字型=標楷體\r\n") << QStringLiteral("選項")
            << QStringLiteral("字型") << QStringLiteral("標楷體");
    }
    void getSz()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        writeAll(m_path, file);
        QCOMPARE(CIni(m_path).GetSz(section, key, QStringLiteral("DEF")), expected);
    }

    void missingFileGivesDefaults()
    {
        const CIni ini(m_path);
        QCOMPARE(ini.GetSz(QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("d")),
            QStringLiteral("d"));
        QCOMPARE(ini.GetVal(QStringLiteral("S"), QStringLiteral("K"), 50), qint16(50));
        QCOMPARE(ini.GetLong(QStringLiteral("S"), QStringLiteral("K"), -1), -1);
        QCOMPARE(ini.GetBOOL(QStringLiteral("S"), QStringLiteral("K"), true), true);
        QVERIFY(!QFile::exists(m_path));
    }

    void getVal_data()
    {
        QTest::addColumn<QByteArray>("raw");
        QTest::addColumn<int>("expected");
        QTest::newRow("plain") << QByteArray("50") << 50;
        QTest::newRow("negative") << QByteArray("-1") << -1;
        QTest::newRow("leading number") << QByteArray("75abc") << 75;
        QTest::newRow("no number") << QByteArray("abc") << 0;
        QTest::newRow("sign only") << QByteArray("-") << 0;
        QTest::newRow("half down to even") << QByteArray("12.5") << 12;
        QTest::newRow("half up to even") << QByteArray("13.5") << 14;
        QTest::newRow("negative half") << QByteArray("-2.5") << -2;
        QTest::newRow("point five alone") << QByteArray(".5") << 0;
        QTest::newRow("fraction then text") << QByteArray("1.6kg") << 2;
        QTest::newRow("plus sign") << QByteArray("+7") << 7;
        QTest::newRow("exponent") << QByteArray("1e3") << 1000;
        QTest::newRow("dangling exponent") << QByteArray("4e") << 4;
        QTest::newRow("largest") << QByteArray("32767") << 32767;
        QTest::newRow("smallest") << QByteArray("-32768") << -32768;
        QTest::newRow("too large is missing") << QByteArray("32768") << 99;
        QTest::newRow("too small is missing") << QByteArray("-32769") << 99;
        QTest::newRow("rounds out of range") << QByteArray("32767.5") << 99;
        QTest::newRow("huge exponent") << QByteArray("1e999") << 99;
        QTest::newRow("empty") << QByteArray("") << 99;
    }
    void getVal()
    {
        QFETCH(QByteArray, raw);
        QFETCH(int, expected);
        QCOMPARE(iniWithValue(raw).GetVal(QStringLiteral("S"), QStringLiteral("K"), 99),
            qint16(expected));
    }

    void getLong_data()
    {
        QTest::addColumn<QByteArray>("raw");
        QTest::addColumn<qint32>("expected");
        QTest::newRow("minus one") << QByteArray("-1") << -1;
        QTest::newRow("beyond 16 bits") << QByteArray("100000") << 100000;
        QTest::newRow("largest") << QByteArray("2147483647") << 2147483647;
        QTest::newRow("too large is missing") << QByteArray("2147483648") << -7;
        QTest::newRow("smallest") << QByteArray("-2147483648") << qint32(-2147483647 - 1);
        QTest::newRow("leading number") << QByteArray("75abc") << 75;
        QTest::newRow("half to even") << QByteArray("0.5") << 0;
        QTest::newRow("no number") << QByteArray("abc") << 0;
        QTest::newRow("empty") << QByteArray("") << -7;
    }
    void getLong()
    {
        QFETCH(QByteArray, raw);
        QFETCH(qint32, expected);
        QCOMPARE(iniWithValue(raw).GetLong(QStringLiteral("S"), QStringLiteral("K"), -7), expected);
    }

    void getBool_data()
    {
        QTest::addColumn<QByteArray>("raw");
        QTest::addColumn<bool>("def");
        QTest::addColumn<bool>("expected");
        QTest::newRow("True") << QByteArray("True") << false << true;
        QTest::newRow("lower case") << QByteArray("true") << true << false;
        QTest::newRow("upper case") << QByteArray("TRUE") << true << false;
        QTest::newRow("False") << QByteArray("False") << true << false;
        QTest::newRow("number") << QByteArray("-1") << true << false;
        QTest::newRow("trailing spaces") << QByteArray("True   ") << false << true;
        QTest::newRow("empty keeps default true") << QByteArray("") << true << true;
        QTest::newRow("empty keeps default false") << QByteArray("") << false << false;
    }
    void getBool()
    {
        QFETCH(QByteArray, raw);
        QFETCH(bool, def);
        QFETCH(bool, expected);
        QCOMPARE(
            iniWithValue(raw).GetBOOL(QStringLiteral("S"), QStringLiteral("K"), def), expected);
    }

    void settersWriteTheirText()
    {
        CIni ini(m_path);
        QVERIFY(ini.SetVal(QStringLiteral("S"), QStringLiteral("V"), -1));
        QVERIFY(ini.SetLong(QStringLiteral("S"), QStringLiteral("L"), 100000));
        QVERIFY(ini.SetBOOL(QStringLiteral("S"), QStringLiteral("T"), true));
        QVERIFY(ini.SetBOOL(QStringLiteral("S"), QStringLiteral("F"), false));
        QCOMPARE(readAll(m_path), QByteArray("[S]\r\nV=-1\r\nL=100000\r\nT=True\r\nF=False\r\n"));
        QCOMPARE(m_failures, 0);
    }

    void valueBreaksCannotSplitTheLine()
    {
        CIni ini(m_path);
        QVERIFY(ini.SetSz(QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("a\r\nb")));
        QVERIFY(ini.SetSz(QStringLiteral("S"), QStringLiteral("N"), QStringLiteral("x")));
        QCOMPARE(
            ini.GetSz(QStringLiteral("S"), QStringLiteral("K"), QString()), QStringLiteral("a  b"));
        QCOMPARE(
            ini.GetSz(QStringLiteral("S"), QStringLiteral("N"), QString()), QStringLiteral("x"));
    }

    void writeInPlace_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QByteArray>("after");
        const QByteArray crlf = "; user notes\r\n"
                                "[TTS]\r\n"
                                "UseXML=False\r\n"
                                "Rate = 10 \r\n"
                                "\r\n"
                                "[Option]\r\n"
                                "FntName=Arial\r\n"
                                "\r\n";
        QTest::newRow("existing key keeps everything else")
            << crlf << QStringLiteral("tts") << QStringLiteral("RATE")
            << QByteArray("; user notes\r\n[TTS]\r\nUseXML=False\r\nRate=VALUE\r\n\r\n"
                          "[Option]\r\nFntName=Arial\r\n\r\n");
        QTest::newRow("missing key ends its section")
            << crlf << QStringLiteral("TTS") << QStringLiteral("Volume")
            << QByteArray("; user notes\r\n[TTS]\r\nUseXML=False\r\nRate = 10 \r\n"
                          "Volume=VALUE\r\n\r\n[Option]\r\nFntName=Arial\r\n\r\n");
        QTest::newRow("missing section ends the file")
            << crlf << QStringLiteral("RGB") << QStringLiteral("BgColor")
            << QByteArray(crlf + "[RGB]\r\nBgColor=VALUE\r\n");
        QTest::newRow("line feeds kept")
            << QByteArray("[A]\nx=1\n") << QStringLiteral("A") << QStringLiteral("y")
            << QByteArray("[A]\nx=1\ny=VALUE\n");
        QTest::newRow("new section after line feeds")
            << QByteArray("[A]\nx=1\n") << QStringLiteral("B") << QStringLiteral("y")
            << QByteArray("[A]\nx=1\n[B]\ny=VALUE\n");
        QTest::newRow("no final line end, new key")
            << QByteArray("[A]\r\nx=1") << QStringLiteral("A") << QStringLiteral("y")
            << QByteArray("[A]\r\nx=1\r\ny=VALUE\r\n");
        QTest::newRow("no final line end, new section")
            << QByteArray("[A]\r\nx=1") << QStringLiteral("B") << QStringLiteral("y")
            << QByteArray("[A]\r\nx=1\r\n[B]\r\ny=VALUE\r\n");
        QTest::newRow("no final line end, same key")
            << QByteArray("[A]\r\nx=1") << QStringLiteral("A") << QStringLiteral("x")
            << QByteArray("[A]\r\nx=VALUE");
        QTest::newRow("byte-order mark kept")
            << QByteArray("\xEF\xBB\xBF[A]\r\nx=1\r\n") << QStringLiteral("A")
            << QStringLiteral("x") << QByteArray("\xEF\xBB\xBF[A]\r\nx=VALUE\r\n");
        QTest::newRow("comment with same name untouched")
            << QByteArray("[A]\r\n;x=old\r\nx=1\r\n") << QStringLiteral("A") << QStringLiteral("x")
            << QByteArray("[A]\r\n;x=old\r\nx=VALUE\r\n");
        QTest::newRow("empty section header only")
            << QByteArray("[A]\r\n[B]\r\nz=2\r\n") << QStringLiteral("A") << QStringLiteral("x")
            << QByteArray("[A]\r\nx=VALUE\r\n[B]\r\nz=2\r\n");
    }
    void writeInPlace()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QByteArray, after);
        writeAll(m_path, before);
        QVERIFY(CIni(m_path).SetSz(section, key, QStringLiteral("VALUE")));
        QCOMPARE(readAll(m_path), after);
    }

    void unloadOrderBuildsSectionsInOrder()
    {
        CIni ini(m_path);
        const QString tts = QStringLiteral("TTS"), opt = QStringLiteral("Option");
        ini.SetVal(tts, QStringLiteral("RoleID"), 0);
        ini.SetVal(tts, QStringLiteral("Rate"), 50);
        ini.SetVal(tts, QStringLiteral("Volume"), 100);
        ini.SetVal(tts, QStringLiteral("All"), 0);
        ini.SetSz(opt, QStringLiteral("FntName"), QStringLiteral("Arial"));
        ini.SetVal(opt, QStringLiteral("FntSize"), 12);
        ini.SetBOOL(opt, QStringLiteral("Prompt"), false);
        ini.SetBOOL(opt, QStringLiteral("Fullscreen"), false);
        ini.SetSz(QStringLiteral("Last"), QStringLiteral("Path"), QStringLiteral("/home/u/"));
        ini.SetLong(QStringLiteral("Text"), QStringLiteral("SelPos"), -1);
        ini.SetLong(QStringLiteral("Text"), QStringLiteral("SelLen"), -1);
        SaveColour(ini, QStringLiteral("BgColor"), rgb(174, 216, 230));
        SaveColour(ini, QStringLiteral("FrameColor"), rgb(100, 202, 251));
        SaveColour(ini, QStringLiteral("PhotoColor"), rgb(255, 255, 255));
        SaveColour(ini, QStringLiteral("KeyWordColor"), rgb(16, 7, 223));
        QCOMPARE(readAll(m_path),
            QByteArray("[TTS]\r\nRoleID=0\r\nRate=50\r\nVolume=100\r\nAll=0\r\n"
                       "[Option]\r\nFntName=Arial\r\nFntSize=12\r\nPrompt=False\r\n"
                       "Fullscreen=False\r\n[Last]\r\nPath=/home/u/\r\n"
                       "[Text]\r\nSelPos=-1\r\nSelLen=-1\r\n"
                       "[RGB]\r\nBgColor=174,216,230\r\nFrameColor=100,202,251\r\n"
                       "PhotoColor=255,255,255\r\nKeyWordColor=16,7,223\r\n"));
        // A second exit rewrites values without adding lines.
        const qsizetype size = readAll(m_path).size();
        ini.SetVal(tts, QStringLiteral("Rate"), 70);
        ini.SetLong(QStringLiteral("Text"), QStringLiteral("SelPos"), 123);
        QCOMPARE(readAll(m_path).size(), size + 1);
        QCOMPARE(ini.GetVal(tts, QStringLiteral("rate"), 0), qint16(70));
    }

    void cap254Bytes_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("127 chinese") << chinese(127) << chinese(84);
        QTest::newRow("ascii then chinese fits")
            << QStringLiteral("ab") + chinese(90) << QStringLiteral("ab") + chinese(84);
        QTest::newRow("character straddles the cap")
            << QStringLiteral("abc") + chinese(90) << QStringLiteral("abc") + chinese(83);
        QTest::newRow("four-byte character straddles")
            << QString(QStringLiteral("x").repeated(252) + QStringLiteral("\U0001F600"))
            << QStringLiteral("x").repeated(252);
        QTest::newRow("ascii") << QStringLiteral("y").repeated(300)
                               << QStringLiteral("y").repeated(254);
        QTest::newRow("space uncovered by the cap")
            << QString(QStringLiteral("z").repeated(252) + QStringLiteral("  tail"))
            << QStringLiteral("z").repeated(252);
        QTest::newRow("exactly 254")
            << QStringLiteral("w").repeated(254) << QStringLiteral("w").repeated(254);
    }
    void cap254Bytes()
    {
        QFETCH(QString, value);
        QFETCH(QString, expected);
        CIni ini(m_path);
        QVERIFY(ini.SetSz(QStringLiteral("Option"), QStringLiteral("FntName"), value));
        QCOMPARE(
            ini.GetSz(QStringLiteral("Option"), QStringLiteral("FntName"), QString()), expected);
        // The file keeps the whole value; only the read is capped.
        QVERIFY(readAll(m_path).contains(value.toUtf8()));
    }

    void readOnlyFileIsLeftAlone()
    {
        const QByteArray before = "[TTS]\r\nRate=10\r\n";
        writeAll(m_path, before);
        QFile::setPermissions(m_path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        CIni ini(m_path);
        QVERIFY(!ini.SetVal(QStringLiteral("TTS"), QStringLiteral("Rate"), 20));
        QVERIFY(!ini.SetVal(QStringLiteral("TTS"), QStringLiteral("Volume"), 20));
        QVERIFY(!SaveColour(ini, QStringLiteral("BgColor"), 0));
        QCOMPARE(m_failures, 3);
        QCOMPARE(readAll(m_path), before);
        QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner);
    }

    void unwritableFolderReportsEachValue()
    {
        // A regular file in place of the folder: no user can create below it.
        const QString blocker = m_dir.filePath(QStringLiteral("not-a-folder"));
        writeAll(blocker, "x");
        CIni ini(blocker + QStringLiteral("/Parlo_Cfg.ini"));
        ini.SetSz(QStringLiteral("Last"), QStringLiteral("Path"), QStringLiteral("/tmp"));
        ini.SetBOOL(QStringLiteral("Option"), QStringLiteral("Prompt"), true);
        QCOMPARE(m_failures, 2);
        QCOMPARE(readAll(blocker), QByteArray("x"));
        // No handler: the failure is silent and nothing breaks.
        CIni::setWriteFailureHandler({});
        QVERIFY(!ini.SetVal(QStringLiteral("TTS"), QStringLiteral("Rate"), 1));
        QCOMPARE(m_failures, 2);
    }

    void folderInPlaceOfTheFile()
    {
        const QString folder = m_dir.filePath(QStringLiteral("folder.ini"));
        QVERIFY(QDir().mkpath(folder));
        CIni ini(folder);
        QCOMPARE(ini.GetVal(QStringLiteral("TTS"), QStringLiteral("Rate"), 50), qint16(50));
        QVERIFY(!ini.SetVal(QStringLiteral("TTS"), QStringLiteral("Rate"), 1));
        QCOMPARE(m_failures, 1);
        QVERIFY(QFileInfo(folder).isDir());
    }

    void writeKeepsPermissions()
    {
        writeAll(m_path, "[A]\r\nx=1\r\n");
        const auto perms = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
        QVERIFY(QFile::setPermissions(m_path, perms));
        QVERIFY(CIni(m_path).SetSz(QStringLiteral("A"), QStringLiteral("x"), QStringLiteral("2")));
        QCOMPARE(QFile::permissions(m_path) & 0x7077, perms);
    }

    void binaryJunkNeverCrashes()
    {
        QByteArray junk(64 * 1024, '\0');
        QRandomGenerator gen(1234);
        for (char &c : junk)
            c = static_cast<char>(gen.bounded(256));
        // Sprinkle structure-like bytes so the scanner meets brackets and
        // equals signs on short lines.
        for (qsizetype i = 0; i < junk.size(); i += 97)
            junk[i] = "[]=\n\r;"[gen.bounded(6)];
        writeAll(m_path, junk);
        CIni ini(m_path);
        QCOMPARE(ini.GetVal(QStringLiteral("TTS"), QStringLiteral("Rate"), 50), qint16(50));
        // The junk is kept and the new value is readable after it.
        QVERIFY(ini.SetVal(QStringLiteral("TTS"), QStringLiteral("Rate"), 33));
        QCOMPARE(ini.GetVal(QStringLiteral("TTS"), QStringLiteral("Rate"), 50), qint16(33));
        QVERIFY(readAll(m_path).startsWith(junk));
    }

    void hugeFileIsReadToTheEnd()
    {
        QByteArray big(50 * 1024 * 1024, 'q');
        for (qsizetype i = 1000; i < big.size(); i += 1000)
            big[i] = '\n';
        big += "\r\n[TTS]\r\nRate=42\r\n";
        writeAll(m_path, big);
        big.clear();
        CIni ini(m_path);
        QCOMPARE(ini.GetVal(QStringLiteral("TTS"), QStringLiteral("Rate"), 0), qint16(42));
        QCOMPARE(ini.GetSz(QStringLiteral("q"), QStringLiteral("q"), QStringLiteral("d")),
            QStringLiteral("d"));
    }

    void noSectionsAtAll()
    {
        writeAll(m_path, "Rate=42\r\nFntName=Arial\r\n");
        CIni ini(m_path);
        QCOMPARE(ini.GetVal(QStringLiteral("TTS"), QStringLiteral("Rate"), 7), qint16(7));
        QVERIFY(ini.SetVal(QStringLiteral("TTS"), QStringLiteral("Rate"), 8));
        QCOMPARE(readAll(m_path), QByteArray("Rate=42\r\nFntName=Arial\r\n[TTS]\r\nRate=8\r\n"));
    }

    void parseColour_data()
    {
        QTest::addColumn<QByteArray>("stored"); // empty: no key in the file
        QTest::addColumn<qint32>("expected");
        QTest::newRow("plain") << QByteArray("1,2,3") << rgb(1, 2, 3);
        QTest::newRow("above 255") << QByteArray("300,10,10") << rgb(255, 10, 10);
        QTest::newRow("two parts: fallback") << QByteArray("10,20") << rgb(0, 128, 192);
        QTest::newRow("one part: fallback") << QByteArray("abc") << rgb(0, 128, 192);
        QTest::newRow("fourth part ignored") << QByteArray("10,20,30,40") << rgb(10, 20, 30);
        QTest::newRow("junk fourth part ignored") << QByteArray("10,20,30,x") << rgb(10, 20, 30);
        QTest::newRow("not a number: black") << QByteArray("10,abc,30") << 0;
        QTest::newRow("leading number only: black") << QByteArray("10,20abc,30") << 0;
        QTest::newRow("empty part: black") << QByteArray("10,,30") << 0;
        QTest::newRow("negative: black") << QByteArray("10,20,-1") << 0;
        QTest::newRow("beyond 16 bits: black") << QByteArray("40000,0,0") << 0;
        QTest::newRow("spaces around parts") << QByteArray(" 10 , 20 ,30 ") << rgb(10, 20, 30);
        QTest::newRow("fraction rounds to even") << QByteArray("12.5,13.5,0") << rgb(12, 14, 0);
        QTest::newRow("missing: default text") << QByteArray() << rgb(174, 216, 230);
    }
    void parseColour()
    {
        QFETCH(QByteArray, stored);
        QFETCH(qint32, expected);
        writeAll(m_path,
            stored.isEmpty() ? QByteArray("[RGB]\r\n")
                             : "[RGB]\r\nBgColor=" + stored + "\r\nFrameColor=5,6,7\r\n");
        const CIni ini(m_path);
        QCOMPARE(ParseColour(ini, QStringLiteral("BgColor"), QStringLiteral("174,216,230"),
                     rgb(0, 128, 192)),
            expected);
        // A broken colour does not spill over to the other keys.
        if (!stored.isEmpty())
            QCOMPARE(ParseColour(ini, QStringLiteral("FrameColor"), QStringLiteral("1,1,1"), 0),
                rgb(5, 6, 7));
    }

    void saveColourUsesTheThreeLowBytes()
    {
        CIni ini(m_path);
        QVERIFY(SaveColour(ini, QStringLiteral("BgColor"), rgb(174, 216, 230)));
        QVERIFY(SaveColour(ini, QStringLiteral("Sys"), qint32(0x80000005u)));
        QCOMPARE(ini.GetSz(QStringLiteral("RGB"), QStringLiteral("BgColor"), QString()),
            QStringLiteral("174,216,230"));
        QCOMPARE(ini.GetSz(QStringLiteral("RGB"), QStringLiteral("Sys"), QString()),
            QStringLiteral("5,0,0"));
        QCOMPARE(ParseColour(ini, QStringLiteral("BgColor"), QString(), 0), rgb(174, 216, 230));
    }
};

QTEST_GUILESS_MAIN(TestCIni)
#include "test_CIni.moc"
