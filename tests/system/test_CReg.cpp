#include "system/CReg.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace
{
const QString Product = QStringLiteral("Software\\Mavi Technology\\Parlo");
const QString Tokens = QStringLiteral("SOFTWARE\\Microsoft\\Speech\\Voices\\Tokens");

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString &path, const QByteArray &data)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(data);
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
        m_file = m_dir.filePath(QStringLiteral("registry.json"));
        QFile::remove(m_file);
        QFile::remove(m_file + QStringLiteral(".broken"));
        RegistryStore::instance().setUserFile(m_file);
        RegistryStore::instance().clearMachine();
    }
    void cleanupTestCase() { RegistryStore::instance().setUserFile(QString()); }

    void lenW_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("bytes");
        QTest::newRow("ascii") << QStringLiteral("abc") << 3;
        QTest::newRow("empty") << QString() << 0;
        QTest::newRow("two chinese") << QStringLiteral("中文") << 6;
        QTest::newRow("mixed") << QStringLiteral("a中b") << 5;
        QTest::newRow("accented") << QStringLiteral("é") << 2;
        QTest::newRow("outside the BMP") << QStringLiteral("😀") << 4;
    }
    void lenW()
    {
        QFETCH(QString, text);
        QFETCH(int, bytes);
        QCOMPARE(CReg().LenW(text), bytes);
    }

    void getSz_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("read");
        QTest::newRow("plain") << QStringLiteral("3") << QStringLiteral("3");
        QTest::newRow("trailing spaces") << QStringLiteral("word   ") << QStringLiteral("word");
        QTest::newRow("leading spaces kept")
            << QStringLiteral("  word") << QStringLiteral("  word");
        QTest::newRow("tab is no space") << QStringLiteral("word\t") << QStringLiteral("word\t");
        QTest::newRow("cut at zero")
            << QString(QStringLiteral("ab") + QChar(0) + QStringLiteral("cd"))
            << QStringLiteral("ab");
        QTest::newRow("254 bytes")
            << QStringLiteral("x").repeated(254) << QStringLiteral("x").repeated(254);
        QTest::newRow("255 bytes not read") << QStringLiteral("x").repeated(255) << QString();
        QTest::newRow("84 chinese (252 bytes)") << QString(QStringLiteral("中").repeated(84))
                                                << QString(QStringLiteral("中").repeated(84));
        QTest::newRow("85 chinese (255 bytes) not read")
            << QString(QStringLiteral("中").repeated(85)) << QString();
        QTest::newRow("spaces past the cap still count")
            << QString(QStringLiteral("y").repeated(250) + QStringLiteral("     ")) << QString();
    }
    void getSz()
    {
        QFETCH(QString, stored);
        QFETCH(QString, read);
        CReg reg;
        for (RegRoot root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
            QVERIFY(reg.SetSz(Product, QStringLiteral("RoleID"), stored, root));
            QCOMPARE(reg.GetSz(Product, QStringLiteral("RoleID"), root), read);
        }
    }

    void setSzCreatesTheWholePath()
    {
        CReg reg;
        RegistryStore &store = RegistryStore::instance();
        QVERIFY(!store.keyExists(HKEY_CURRENT_USER, QStringLiteral("Software")));
        QVERIFY(
            reg.SetSz(Product, QStringLiteral("RoleID"), QStringLiteral("2"), HKEY_CURRENT_USER));
        QVERIFY(store.keyExists(HKEY_CURRENT_USER, QStringLiteral("Software")));
        QVERIFY(store.keyExists(HKEY_CURRENT_USER, QStringLiteral("Software\\Mavi Technology")));
        QVERIFY(store.keyExists(HKEY_CURRENT_USER, Product));
        QVERIFY(!store.keyExists(HKEY_CURRENT_USER, Product + QStringLiteral("\\Other")));
        QCOMPARE(
            reg.GetSz(Product, QStringLiteral("RoleID"), HKEY_CURRENT_USER), QStringLiteral("2"));
    }

    void namesMatchWithoutCase()
    {
        CReg reg;
        reg.SetSz(Product, QStringLiteral("RoleID"), QStringLiteral("4"), HKEY_CURRENT_USER);
        QCOMPARE(reg.GetSz(QStringLiteral("SOFTWARE\\mavi technology\\PARLO"),
                     QStringLiteral("roleid"), HKEY_CURRENT_USER),
            QStringLiteral("4"));
        // Rewriting under another spelling replaces the one value.
        reg.SetSz(QStringLiteral("software\\MAVI TECHNOLOGY\\parlo"), QStringLiteral("ROLEID"),
            QStringLiteral("5"), HKEY_CURRENT_USER);
        QCOMPARE(
            reg.GetSz(Product, QStringLiteral("RoleID"), HKEY_CURRENT_USER), QStringLiteral("5"));
        QCOMPARE(readAll(m_file).count("oleID"), 1);
        // Stray separators do not make another key.
        QCOMPARE(reg.GetSz(QStringLiteral("\\Software\\\\Mavi Technology\\Parlo\\"),
                     QStringLiteral("RoleID"), HKEY_CURRENT_USER),
            QStringLiteral("5"));
    }

    void missingKeyOrValueIsEmpty()
    {
        CReg reg;
        QVERIFY(reg.GetSz(Product, QStringLiteral("RoleID"), HKEY_CURRENT_USER).isEmpty());
        reg.SetSz(Product, QStringLiteral("Other"), QStringLiteral("x"), HKEY_CURRENT_USER);
        QVERIFY(reg.GetSz(Product, QStringLiteral("RoleID"), HKEY_CURRENT_USER).isEmpty());
        QVERIFY(!QFile::exists(m_file + QStringLiteral(".broken")));
    }

    void userValuesPersist()
    {
        QVERIFY(CReg().SetSz(
            Product, QStringLiteral("RoleID"), QStringLiteral("朗讀 7"), HKEY_CURRENT_USER));
        QVERIFY(QFile::exists(m_file));
        // Another store file, then back: the value comes from the file.
        RegistryStore::instance().setUserFile(m_dir.filePath(QStringLiteral("other.json")));
        QVERIFY(CReg().GetSz(Product, QStringLiteral("RoleID"), HKEY_CURRENT_USER).isEmpty());
        RegistryStore::instance().setUserFile(m_file);
        QCOMPARE(CReg().GetSz(Product, QStringLiteral("RoleID"), HKEY_CURRENT_USER),
            QStringLiteral("朗讀 7"));
    }

    void changesByOthersAreSeen()
    {
        CReg reg;
        reg.SetSz(Product, QStringLiteral("RoleID"), QStringLiteral("1"), HKEY_CURRENT_USER);
        // Another instance of the program rewrites the file.
        writeAll(m_file,
            "{\"Software\\\\Mavi Technology\\\\Parlo\": {\"RoleID\": {\"type\": 1, "
            "\"data\": \"9\"}}}");
        QCOMPARE(
            reg.GetSz(Product, QStringLiteral("RoleID"), HKEY_CURRENT_USER), QStringLiteral("9"));
    }

    void brokenStoreIsSetAside_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("junk") << QByteArray("\x00\xFF\xFE{[garbage", 12);
        QTest::newRow("not an object") << QByteArray("[1,2,3]");
        QTest::newRow("truncated") << QByteArray("{\"Software\": {\"a\": ");
    }
    void brokenStoreIsSetAside()
    {
        QFETCH(QByteArray, content);
        writeAll(m_file, content);
        CReg reg;
        QVERIFY(reg.GetSz(Product, QStringLiteral("RoleID"), HKEY_CURRENT_USER).isEmpty());
        QVERIFY(
            reg.SetSz(Product, QStringLiteral("RoleID"), QStringLiteral("3"), HKEY_CURRENT_USER));
        QCOMPARE(
            reg.GetSz(Product, QStringLiteral("RoleID"), HKEY_CURRENT_USER), QStringLiteral("3"));
        QCOMPARE(readAll(m_file + QStringLiteral(".broken")), content);
    }

    void oddEntriesAreSkipped()
    {
        // Well-formed JSON with values of the wrong shape: the good value
        // still reads, the odd ones read as missing.
        writeAll(m_file,
            "{\"K\": {\"a\": 5, \"b\": {\"type\": 1}, \"c\": {\"type\": 1, "
            "\"data\": \"ok\"}, \"d\": {\"type\": 4, \"data\": \"1\"}}, "
            "\"L\": 3}");
        CReg reg;
        QCOMPARE(reg.GetSz(QStringLiteral("K"), QStringLiteral("c"), HKEY_CURRENT_USER),
            QStringLiteral("ok"));
        for (const char *name : {"a", "b", "d"})
            QVERIFY(
                reg.GetSz(QStringLiteral("K"), QLatin1String(name), HKEY_CURRENT_USER).isEmpty());
        QVERIFY(RegistryStore::instance().keyExists(HKEY_CURRENT_USER, QStringLiteral("L")));
        // Writing keeps the good value.
        reg.SetSz(
            QStringLiteral("K"), QStringLiteral("e"), QStringLiteral("new"), HKEY_CURRENT_USER);
        QCOMPARE(reg.GetSz(QStringLiteral("K"), QStringLiteral("c"), HKEY_CURRENT_USER),
            QStringLiteral("ok"));
    }

    void unwritableStoreChangesNothing()
    {
        const QString blocker = m_dir.filePath(QStringLiteral("blocker"));
        writeAll(blocker, "x");
        RegistryStore::instance().setUserFile(blocker + QStringLiteral("/registry.json"));
        CReg reg;
        QVERIFY(
            !reg.SetSz(Product, QStringLiteral("RoleID"), QStringLiteral("1"), HKEY_CURRENT_USER));
        QVERIFY(reg.GetSz(Product, QStringLiteral("RoleID"), HKEY_CURRENT_USER).isEmpty());
        QCOMPARE(readAll(blocker), QByteArray("x"));
    }

    void machineValuesStayInMemory()
    {
        CReg reg;
        const QString key = Tokens + QStringLiteral("\\cmn\\Attributes");
        QVERIFY(
            reg.SetSz(key, QStringLiteral("Gender"), QStringLiteral("Female"), HKEY_LOCAL_MACHINE));
        QVERIFY(
            reg.SetSz(key, QStringLiteral("Language"), QStringLiteral("804"), HKEY_LOCAL_MACHINE));
        QCOMPARE(
            reg.GetSz(key, QStringLiteral("gender"), HKEY_LOCAL_MACHINE), QStringLiteral("Female"));
        QCOMPARE(
            reg.GetSz(key, QStringLiteral("Language"), HKEY_LOCAL_MACHINE), QStringLiteral("804"));
        // Roots are apart, and the machine root is never written to disk.
        QVERIFY(reg.GetSz(key, QStringLiteral("Gender"), HKEY_CURRENT_USER).isEmpty());
        QVERIFY(!QFile::exists(m_file));
        RegistryStore::instance().clearMachine();
        QVERIFY(reg.GetSz(key, QStringLiteral("Gender"), HKEY_LOCAL_MACHINE).isEmpty());
    }

    void otherRootsHoldNothing()
    {
        CReg reg;
        QVERIFY(!reg.SetSz(Product, QStringLiteral("RoleID"), QStringLiteral("1"), HKEY_USERS));
        QVERIFY(reg.GetSz(Product, QStringLiteral("RoleID"), HKEY_USERS).isEmpty());
        QVERIFY(!reg.SetSz(
            Product, QStringLiteral("RoleID"), QStringLiteral("1"), static_cast<RegRoot>(1234)));
    }

    void numbersAreNotText()
    {
        RegistryStore::Value number;
        number.type = REG_DWORD;
        number.data = QByteArray("\x07\x00\x00\x00", 4);
        QVERIFY(RegistryStore::instance().writeValue(
            HKEY_CURRENT_USER, Product, QStringLiteral("Count"), number));
        QVERIFY(CReg().GetSz(Product, QStringLiteral("Count"), HKEY_CURRENT_USER).isEmpty());
    }

    void testRunsWithoutAFileStayInMemory()
    {
        RegistryStore &store = RegistryStore::instance();
        store.setUserFile(QString());
        QVERIFY(store.userFile().isEmpty());
        CReg reg;
        QVERIFY(
            reg.SetSz(Product, QStringLiteral("RoleID"), QStringLiteral("6"), HKEY_CURRENT_USER));
        QCOMPARE(
            reg.GetSz(Product, QStringLiteral("RoleID"), HKEY_CURRENT_USER), QStringLiteral("6"));
        QVERIFY(!QFile::exists(m_file));
    }
};

QTEST_GUILESS_MAIN(TestCReg)
#include "test_CReg.moc"
