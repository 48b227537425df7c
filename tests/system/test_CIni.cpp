#include "TestFiles.h"
#include "system/CIni.h"

#include <QtTest>

using namespace Qt::StringLiterals;

using namespace TestFiles;

namespace
{

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
        m_path = m_dir.filePath(u"Parlo_Cfg.ini"_s);
        QFile::remove(m_path);
        m_failures = 0;
        CIni::setWriteFailureHandler([this] { ++m_failures; });
    }
    void cleanup() { CIni::setWriteFailureHandler({}); }

    void missingFileOrNameGivesDefaults()
    {
        const CIni ini(m_path);
        QCOMPARE(ini.GetSz(u"S"_s, u"K"_s, u"d"_s), u"d"_s);
        QCOMPARE(ini.GetVal(u"S"_s, u"K"_s, 50), qint16(50));
        QCOMPARE(ini.GetLong(u"S"_s, u"K"_s, -1), -1);
        QCOMPARE(ini.GetBOOL(u"S"_s, u"K"_s, true), true);
        QVERIFY(!QFile::exists(m_path));

        CIni none;
        QCOMPARE(none.GetSz(u"S"_s, u"K"_s, u"d"_s), u"d"_s);
        QVERIFY(!none.SetSz(u"S"_s, u"K"_s, u"v"_s));
        QCOMPARE(m_failures, 1);
    }

    void getSz_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("expected"); // of GetSz("S", "K", "DEF")
        QTest::newRow("trailing spaces, names without case")
            << "[s]\r\nk=Arial   \r\n"_ba << u"Arial"_s;
        QTest::newRow("missing key") << "[S]\r\nOther=1\r\n"_ba << u"DEF"_s;
        QTest::newRow("key in next section") << "[S]\r\nA=1\r\n[T]\r\nK=X\r\n"_ba << u"DEF"_s;
        QTest::newRow("cut at NUL") << QByteArray("[S]\r\nK=ab\0cd\r\n", 14) << u"ab"_s;
        QTest::newRow("quotes dropped") << "[S]\r\nK=\"  x  \"\r\n"_ba << u"  x"_s;
        QTest::newRow("unmatched quote") << "[S]\r\nK=\"x\r\n"_ba << u"\"x"_s;
        QTest::newRow("first duplicate wins") << "[S]\r\nK=A\r\nK=B\r\n"_ba << u"A"_s;
        QTest::newRow("comment skipped") << "[S]\r\n;K=Times\r\nK=Arial\r\n"_ba << u"Arial"_s;
        QTest::newRow("byte-order mark") << "\xEF\xBB\xBF[S]\r\nK=Arial\r\n"_ba << u"Arial"_s;
        QTest::newRow("no final line end") << "[S]\r\nK=Arial"_ba << u"Arial"_s;
        QTest::newRow("lone CR line ends") << "[T]\rK=X\r[S]\rK=Arial\r"_ba << u"Arial"_s;
        QTest::newRow("CR left by an old append") << "[S]\r\nK=Arial\r\r\nL=1\r\n"_ba << u"Arial"_s;
    }
    void getSz()
    {
        QFETCH(QByteArray, file);
        writeAll(m_path, file);
        QTEST(CIni(m_path).GetSz(u"S"_s, u"K"_s, u"DEF"_s), "expected");
    }

    void getVal_data()
    {
        QTest::addColumn<QByteArray>("raw");
        QTest::addColumn<int>("expected"); // of GetVal("S", "K", 99)
        QTest::newRow("negative") << "-1"_ba << -1;
        QTest::newRow("leading number") << "75abc"_ba << 75;
        QTest::newRow("no number") << "abc"_ba << 0;
        QTest::newRow("half down to even") << "12.5"_ba << 12;
        QTest::newRow("half up to even") << "13.5"_ba << 14;
        QTest::newRow("largest") << "32767"_ba << 32767;
        QTest::newRow("too large is missing") << "32768"_ba << 99;
        QTest::newRow("rounds out of range") << "32767.5"_ba << 99;
        QTest::newRow("empty") << ""_ba << 99;
    }
    void getVal()
    {
        QFETCH(QByteArray, raw);
        QFETCH(int, expected);
        QCOMPARE(iniWithValue(raw).GetVal(u"S"_s, u"K"_s, 99), qint16(expected));
    }

    void getLong_data()
    {
        QTest::addColumn<QByteArray>("raw");
        QTest::addColumn<qint32>("expected"); // of GetLong("S", "K", -7)
        QTest::newRow("beyond 16 bits") << "100000"_ba << 100000;
        QTest::newRow("largest") << "2147483647"_ba << 2147483647;
        QTest::newRow("too large is missing") << "2147483648"_ba << -7;
        QTest::newRow("smallest") << "-2147483648"_ba << qint32(-2147483647 - 1);
        QTest::newRow("empty") << ""_ba << -7;
    }
    void getLong()
    {
        QFETCH(QByteArray, raw);
        QTEST(iniWithValue(raw).GetLong(u"S"_s, u"K"_s, -7), "expected");
    }

    void getBool_data()
    {
        QTest::addColumn<QByteArray>("raw");
        QTest::addColumn<bool>("def");
        QTest::addColumn<bool>("expected");
        QTest::newRow("True") << "True"_ba << false << true;
        QTest::newRow("lower case") << "true"_ba << true << false;
        QTest::newRow("trailing spaces") << "True   "_ba << false << true;
        QTest::newRow("empty keeps default") << ""_ba << true << true;
    }
    void getBool()
    {
        QFETCH(QByteArray, raw);
        QFETCH(bool, def);
        QTEST(iniWithValue(raw).GetBOOL(u"S"_s, u"K"_s, def), "expected");
    }

    void writeInPlace_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QByteArray>("after"); // after SetSz(section, key, "V")
        const QByteArray two = "; notes\r\n[TTS]\r\nRate = 10 \r\n\r\n[Option]\r\nF=A\r\n";
        QTest::newRow("existing key keeps everything else")
            << two << u"tts"_s << u"RATE"_s
            << "; notes\r\n[TTS]\r\nRate=V\r\n\r\n[Option]\r\nF=A\r\n"_ba;
        QTest::newRow("missing key ends its section")
            << two << u"TTS"_s << u"Volume"_s
            << "; notes\r\n[TTS]\r\nRate = 10 \r\nVolume=V\r\n\r\n[Option]\r\nF=A\r\n"_ba;
        QTest::newRow("missing section ends the file")
            << two << u"RGB"_s << u"Bg"_s << QByteArray(two + "[RGB]\r\nBg=V\r\n");
        QTest::newRow("new section after line feeds")
            << "[A]\nx=1\n"_ba << u"B"_s << u"y"_s << "[A]\nx=1\n[B]\ny=V\n"_ba;
        QTest::newRow("no final line end, new key")
            << "[A]\r\nx=1"_ba << u"A"_s << u"y"_s << "[A]\r\nx=1\r\ny=V\r\n"_ba;
        QTest::newRow("byte-order mark kept") << "\xEF\xBB\xBF[A]\r\nx=1\r\n"_ba << u"A"_s << u"x"_s
                                              << "\xEF\xBB\xBF[A]\r\nx=V\r\n"_ba;
        QTest::newRow("comment with same name untouched")
            << "[A]\r\n;x=old\r\nx=1\r\n"_ba << u"A"_s << u"x"_s << "[A]\r\n;x=old\r\nx=V\r\n"_ba;
        QTest::newRow("lone CR at the end, new key")
            << "[A]\r\nx=1\r"_ba << u"A"_s << u"y"_s << "[A]\r\nx=1\ry=V\r\n"_ba;
        QTest::newRow("lone CR line ends kept")
            << "[A]\rx=1\r"_ba << u"A"_s << u"y"_s << "[A]\rx=1\ry=V\r"_ba;
        QTest::newRow("no sections at all")
            << "Rate=42\r\n"_ba << u"TTS"_s << u"Rate"_s << "Rate=42\r\n[TTS]\r\nRate=V\r\n"_ba;
    }
    void writeInPlace()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, section);
        QFETCH(QString, key);
        writeAll(m_path, before);
        CIni ini(m_path);
        QVERIFY(ini.SetSz(section, key, u"V"_s));
        QTEST(readAll(m_path), "after");
        QCOMPARE(ini.GetSz(section, key, QString()), u"V"_s);
    }

    void utf16FileKeepsItsEncoding_data()
    {
        QTest::addColumn<bool>("bigEndian");
        QTest::newRow("little-endian") << false;
        QTest::newRow("big-endian") << true;
    }
    void utf16FileKeepsItsEncoding()
    {
        QFETCH(bool, bigEndian);
        const auto utf16 = [bigEndian](const QString &text) {
            QByteArray bytes;
            for (const QChar c : u"\uFEFF"_s + text) {
                const char hi = char(c.unicode() >> 8), lo = char(c.unicode() & 0xFF);
                bytes.append(bigEndian ? hi : lo).append(bigEndian ? lo : hi);
            }
            return bytes;
        };
        writeAll(m_path, utf16(u"[TTS]\r\nUseXML=False\r\n[Option]\r\nFntName=標楷體\r\n"_s));
        CIni ini(m_path);
        QCOMPARE(ini.GetBOOL(u"TTS"_s, u"UseXML"_s, true), false);
        QCOMPARE(ini.GetSz(u"Option"_s, u"FntName"_s, QString()), u"標楷體"_s);
        QVERIFY(ini.SetSz(u"Option"_s, u"FntName"_s, u"細明體"_s));
        QVERIFY(ini.SetVal(u"TTS"_s, u"Rate"_s, 50));
        QCOMPARE(readAll(m_path),
            utf16(u"[TTS]\r\nUseXML=False\r\nRate=50\r\n[Option]\r\nFntName=細明體\r\n"_s));
        QCOMPARE(ini.GetVal(u"TTS"_s, u"Rate"_s, 0), qint16(50));
        // An odd last byte is no UTF-16: the file is read but not rewritten.
        const QByteArray odd = readAll(m_path) + 'x';
        writeAll(m_path, odd);
        QCOMPARE(ini.GetVal(u"TTS"_s, u"Rate"_s, 0), qint16(50));
        QVERIFY(!ini.SetVal(u"TTS"_s, u"Rate"_s, 60));
        QCOMPARE(readAll(m_path), odd);
    }

    void unloadOrderBuildsSectionsInOrder()
    {
        CIni ini(m_path);
        const QString tts = u"TTS"_s;
        QVERIFY(ini.SetVal(tts, u"RoleID"_s, 0));
        QVERIFY(ini.SetVal(tts, u"Rate"_s, -1));
        QVERIFY(ini.SetSz(u"Option"_s, u"FntName"_s, u"a\r\nb"_s)); // a break cannot split the line
        QVERIFY(ini.SetBOOL(u"Option"_s, u"Prompt"_s, true));
        QVERIFY(ini.SetBOOL(u"Option"_s, u"Fullscreen"_s, false));
        QVERIFY(ini.SetLong(u"Text"_s, u"SelPos"_s, 100000));
        QVERIFY(SaveColour(ini, u"BgColor"_s, rgb(174, 216, 230)));
        // A system colour's flag in the high byte is not written.
        QVERIFY(SaveColour(ini, u"FrameColor"_s, qint32(0x80000000u) | rgb(100, 202, 251)));
        QCOMPARE(readAll(m_path),
            QByteArray("[TTS]\r\nRoleID=0\r\nRate=-1\r\n[Option]\r\nFntName=a  b\r\n"
                       "Prompt=True\r\nFullscreen=False\r\n[Text]\r\nSelPos=100000\r\n"
                       "[RGB]\r\nBgColor=174,216,230\r\nFrameColor=100,202,251\r\n"));
        QCOMPARE(m_failures, 0);
        // A second exit rewrites values without adding lines.
        const qsizetype size = readAll(m_path).size();
        ini.SetVal(tts, u"Rate"_s, 70);
        ini.SetLong(u"Text"_s, u"SelPos"_s, 1234567);
        QCOMPARE(readAll(m_path).size(), size + 1);
        QCOMPARE(ini.GetVal(tts, u"rate"_s, 0), qint16(70));
    }

    void cap254Bytes_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("expected");
        const QString x252 = u"x"_s.repeated(252);
        QTest::newRow("127 chinese") << chinese(127) << chinese(84);
        QTest::newRow("four-byte character straddles") << QString(x252 + u"\U0001F600"_s) << x252;
        QTest::newRow("space uncovered by the cap") << QString(x252 + u"  tail"_s) << x252;
        QTest::newRow("exactly 254") << u"w"_s.repeated(254) << u"w"_s.repeated(254);
    }
    void cap254Bytes()
    {
        QFETCH(QString, value);
        CIni ini(m_path);
        QVERIFY(ini.SetSz(u"Option"_s, u"FntName"_s, value));
        QTEST(ini.GetSz(u"Option"_s, u"FntName"_s, QString()), "expected");
        // The file keeps the whole value; only the read is capped.
        QVERIFY(readAll(m_path).contains(value.toUtf8()));
    }

    void unwritablePlacesReportEachValue()
    {
        // A read-only file is left as it was.
        const QByteArray before = "[TTS]\r\nRate=10\r\n";
        writeAll(m_path, before);
        QFile::setPermissions(m_path, QFile::ReadOwner | QFile::ReadGroup);
        CIni ini(m_path);
        QVERIFY(!ini.SetVal(u"TTS"_s, u"Rate"_s, 20));
        QVERIFY(!SaveColour(ini, u"BgColor"_s, 0));
        QCOMPARE(m_failures, 2);
        QCOMPARE(readAll(m_path), before);
        // A regular file in place of the folder: no user can create below it.
        CIni below(m_path + u"/Parlo_Cfg.ini"_s);
        below.SetBOOL(u"Option"_s, u"Prompt"_s, true);
        QCOMPARE(m_failures, 3);
        QCOMPARE(readAll(m_path), before);
        // A folder in place of the file.
        const QString folder = m_dir.filePath(u"folder.ini"_s);
        QVERIFY(QDir().mkpath(folder));
        CIni inFolder(folder);
        QCOMPARE(inFolder.GetVal(u"TTS"_s, u"Rate"_s, 50), qint16(50));
        QVERIFY(!inFolder.SetVal(u"TTS"_s, u"Rate"_s, 1));
        QCOMPARE(m_failures, 4);
        QVERIFY(QFileInfo(folder).isDir());
        // No handler: the failure is silent and nothing breaks.
        CIni::setWriteFailureHandler({});
        QVERIFY(!ini.SetVal(u"TTS"_s, u"Rate"_s, 1));
        QCOMPARE(m_failures, 4);
        QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner);
    }

    void fullDiskLeavesTheFileWhole()
    {
        const QByteArray before = "[TTS]\r\nRate=10\r\n";
        writeAll(m_path, before);
        CIni ini(m_path);
        {
            const FileSizeLimit nearlyFull(40);
            QVERIFY(!ini.SetSz(u"Option"_s, u"FntName"_s, u"Noto Sans CJK TC"_s));
        }
        QCOMPARE(m_failures, 1);
        QCOMPARE(readAll(m_path), before);
        QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden),
            QStringList {u"Parlo_Cfg.ini"_s});

        // A folder that refuses new files (immutable, where the file system
        // allows it): the file is written in place, and still never halfway.
        const QString locked = m_dir.filePath(u"locked"_s);
        QVERIFY(QDir().mkpath(locked));
        writeAll(locked + u"/Parlo_Cfg.ini"_s, before);
        if (QProcess::execute(u"chattr"_s, {u"+i"_s, locked}) != 0)
            QSKIP("this file system cannot lock a folder");
        // Unlocked however the test ends, so the scratch folder can go.
        const auto unlock = qScopeGuard([&] { QProcess::execute(u"chattr"_s, {u"-i"_s, locked}); });
        CIni inPlace(locked + u"/Parlo_Cfg.ini"_s);
        QVERIFY(inPlace.SetVal(u"TTS"_s, u"Rate"_s, 5));
        {
            const FileSizeLimit nearlyFull(40);
            QVERIFY(!inPlace.SetSz(u"Option"_s, u"FntName"_s, u"Noto Sans CJK TC"_s));
        }
        QCOMPARE(readAll(locked + u"/Parlo_Cfg.ini"_s), "[TTS]\r\nRate=5\r\n"_ba);
        QCOMPARE(m_failures, 2);
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
        QCOMPARE(ini.GetVal(u"TTS"_s, u"Rate"_s, 0), qint16(42));
        QCOMPARE(ini.GetSz(u"q"_s, u"q"_s, u"d"_s), u"d"_s);
    }

    void parseColour_data()
    {
        QTest::addColumn<QByteArray>("stored"); // empty: no key in the file
        QTest::addColumn<qint32>("expected");
        QTest::newRow("plain") << "1,2,3"_ba << rgb(1, 2, 3);
        QTest::newRow("above 255") << "300,10,10"_ba << rgb(255, 10, 10);
        QTest::newRow("two parts: fallback") << "10,20"_ba << rgb(0, 128, 192);
        QTest::newRow("not a number: black") << "10,abc,30"_ba << 0;
        QTest::newRow("negative: black") << "10,20,-1"_ba << 0;
        QTest::newRow("beyond 16 bits: black") << "40000,0,0"_ba << 0;
        QTest::newRow("fraction rounds to even") << "12.5,13.5,0"_ba << rgb(12, 14, 0);
        QTest::newRow("missing: default text") << QByteArray() << rgb(174, 216, 230);
    }
    void parseColour()
    {
        QFETCH(QByteArray, stored);
        writeAll(m_path,
            stored.isEmpty() ? "[RGB]\r\n"_ba
                             : "[RGB]\r\nBgColor=" + stored + "\r\nFrameColor=5,6,7\r\n");
        const CIni ini(m_path);
        QTEST(ParseColour(ini, u"BgColor"_s, u"174,216,230"_s, rgb(0, 128, 192)), "expected");
        // A broken colour does not spill over to the other keys.
        if (!stored.isEmpty())
            QCOMPARE(ParseColour(ini, u"FrameColor"_s, u"1,1,1"_s, 0), rgb(5, 6, 7));
    }
};

QTEST_GUILESS_MAIN(TestCIni)
#include "test_CIni.moc"
