#include "TestFiles.h"
#include "system/CReg.h"

#include <QtTest>

using namespace Qt::StringLiterals;

using namespace TestFiles;

namespace
{
const QString Product = u"Software\\Mavi Technology\\Parlo"_s;
const QString Role = u"RoleID"_s;

// The user root, where nearly every value of the program lives.
QString get(const QString &key = Product, const QString &name = Role)
{
    return CReg().GetSz(key, name, HKEY_CURRENT_USER);
}
bool set(const QString &data, const QString &key = Product, const QString &name = Role)
{
    return CReg().SetSz(key, name, data, HKEY_CURRENT_USER);
}
} // namespace

class TestCReg : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_file;

private Q_SLOTS:
    void initTestCase()
    {
        // Never the real user's store, even when run outside ctest.
        qputenv("PARLO_TEST", "1");
    }
    void init()
    {
        m_file = m_dir.filePath(u"registry.json"_s);
        QFile::remove(m_file);
        QFile::remove(m_file + u".broken"_s);
        RegistryStore::instance().setUserFile(m_file);
        RegistryStore::instance().clearMachine();
    }
    void cleanupTestCase() { RegistryStore::instance().setUserFile(QString()); }

    void getSz_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("read");
        QTest::newRow("trailing spaces") << u"word   "_s << u"word"_s;
        QTest::newRow("leading spaces kept") << u"  word"_s << u"  word"_s;
        QTest::newRow("cut at zero") << QString(u"ab"_s + QChar(0) + u"cd"_s) << u"ab"_s;
        QTest::newRow("254 bytes") << u"x"_s.repeated(254) << u"x"_s.repeated(254);
        QTest::newRow("255 bytes not read") << u"x"_s.repeated(255) << QString();
        QTest::newRow("spaces past the cap still count")
            << QString(u"y"_s.repeated(250) + u"     "_s) << QString();
        // A Chinese character takes two bytes of a double-byte code page.
        QTest::newRow("127 Chinese characters") << u"朗"_s.repeated(127) << u"朗"_s.repeated(127);
        QTest::newRow("128 Chinese characters not read") << u"朗"_s.repeated(128) << QString();
    }

    void lenW_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("bytes");
        QTest::newRow("empty") << QString() << 0;
        QTest::newRow("ASCII") << u"abc"_s << 3;
        QTest::newRow("two Chinese characters") << u"朗讀"_s << 4;
        QTest::newRow("mixed") << u"角色 7"_s << 6;
    }
    void lenW()
    {
        QFETCH(QString, text);
        QTEST(int(CReg().LenW(text)), "bytes");
    }
    void getSz()
    {
        QFETCH(QString, stored);
        CReg reg;
        for (RegRoot root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
            QVERIFY(reg.SetSz(Product, Role, stored, root));
            QTEST(reg.GetSz(Product, Role, root), "read");
        }
    }

    void setSzCreatesTheWholePath()
    {
        RegistryStore &store = RegistryStore::instance();
        QVERIFY(get().isEmpty());
        QVERIFY(!store.keyExists(HKEY_CURRENT_USER, u"Software"_s));
        QVERIFY(set(u"2"_s));
        QVERIFY(store.keyExists(HKEY_CURRENT_USER, u"Software"_s));
        QVERIFY(store.keyExists(HKEY_CURRENT_USER, u"Software\\Mavi Technology"_s));
        QVERIFY(!store.keyExists(HKEY_CURRENT_USER, Product + u"\\Other"_s));
        QCOMPARE(get(), u"2"_s);
        QVERIFY(get(Product, u"Other"_s).isEmpty());
        QVERIFY(!QFile::exists(m_file + u".broken"_s));
    }

    void namesMatchWithoutCase()
    {
        set(u"4"_s);
        QCOMPARE(get(u"SOFTWARE\\mavi technology\\PARLO"_s, u"roleid"_s), u"4"_s);
        // Rewriting under another spelling replaces the one value.
        set(u"5"_s, u"software\\MAVI TECHNOLOGY\\parlo"_s, u"ROLEID"_s);
        QCOMPARE(get(), u"5"_s);
        QCOMPARE(readAll(m_file).count("oleID"), 1);
        // Stray separators do not make another key.
        QCOMPARE(get(u"\\Software\\\\Mavi Technology\\Parlo\\"_s), u"5"_s);
    }

    void userValuesPersistAndOthersChangesAreSeen()
    {
        QVERIFY(set(u"朗讀 7"_s));
        QVERIFY(QFile::exists(m_file));
        // Another store file, then back: the value comes from the file.
        RegistryStore::instance().setUserFile(m_dir.filePath(u"other.json"_s));
        QVERIFY(get().isEmpty());
        RegistryStore::instance().setUserFile(m_file);
        QCOMPARE(get(), u"朗讀 7"_s);
        // Another instance of the program rewrites the file.
        writeAll(m_file,
            "{\"Software\\\\Mavi Technology\\\\Parlo\": {\"RoleID\": {\"type\": 1, "
            "\"data\": \"9\"}}}");
        QCOMPARE(get(), u"9"_s);
    }

    void brokenStoreIsSetAside_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("junk") << QByteArray("\x00\xFF\xFE{[garbage", 12);
        QTest::newRow("truncated") << QByteArray("{\"Software\": {\"a\": ");
    }
    void brokenStoreIsSetAside()
    {
        QFETCH(QByteArray, content);
        writeAll(m_file, content);
        QVERIFY(get().isEmpty());
        QVERIFY(set(u"3"_s));
        QCOMPARE(get(), u"3"_s);
        QCOMPARE(readAll(m_file + u".broken"_s), content);
    }

    void oddEntriesAreSkipped()
    {
        // Well-formed JSON with values of the wrong shape: the good value
        // still reads, the odd ones read as missing.
        writeAll(m_file,
            "{\"K\": {\"a\": 5, \"b\": {\"type\": 1}, \"c\": {\"type\": 1, "
            "\"data\": \"ok\"}, \"d\": {\"type\": 4, \"data\": \"1\"}}, "
            "\"L\": 3}");
        QCOMPARE(get(u"K"_s, u"c"_s), u"ok"_s);
        for (const char *name : {"a", "b", "d"})
            QVERIFY(get(u"K"_s, QLatin1String(name)).isEmpty());
        QVERIFY(RegistryStore::instance().keyExists(HKEY_CURRENT_USER, u"L"_s));
        // Writing keeps the good value.
        set(u"new"_s, u"K"_s, u"e"_s);
        QCOMPARE(get(u"K"_s, u"c"_s), u"ok"_s);
    }

    void machineValuesStayInMemory()
    {
        CReg reg;
        const QString key = u"SOFTWARE\\Microsoft\\Speech\\Voices\\Tokens\\cmn\\Attributes"_s;
        QVERIFY(reg.SetSz(key, u"Gender"_s, u"Female"_s, HKEY_LOCAL_MACHINE));
        QCOMPARE(reg.GetSz(key, u"gender"_s, HKEY_LOCAL_MACHINE), u"Female"_s);
        // Roots are apart, and the machine root is never written to disk.
        QVERIFY(get(key, u"Gender"_s).isEmpty());
        QVERIFY(!QFile::exists(m_file));
        RegistryStore::instance().clearMachine();
        QVERIFY(reg.GetSz(key, u"Gender"_s, HKEY_LOCAL_MACHINE).isEmpty());
        // Other roots hold nothing.
        QVERIFY(!reg.SetSz(Product, Role, u"1"_s, HKEY_USERS));
        QVERIFY(reg.GetSz(Product, Role, HKEY_USERS).isEmpty());
        QVERIFY(!reg.SetSz(Product, Role, u"1"_s, static_cast<RegRoot>(1234)));
    }

    void unwritableOrNoFile()
    {
        const QString blocker = m_dir.filePath(u"blocker"_s);
        writeAll(blocker, "x");
        RegistryStore::instance().setUserFile(blocker + u"/registry.json"_s);
        QVERIFY(!set(u"1"_s));
        QVERIFY(get().isEmpty());
        QCOMPARE(readAll(blocker), QByteArray("x"));
        // Test runs without a file keep the values in memory.
        RegistryStore::instance().setUserFile(QString());
        QVERIFY(RegistryStore::instance().userFile().isEmpty());
        QVERIFY(set(u"6"_s));
        QCOMPARE(get(), u"6"_s);
        QVERIFY(!QFile::exists(m_file));
    }
};

QTEST_GUILESS_MAIN(TestCReg)
#include "test_CReg.moc"
