#include "TestFiles.h"
#include "system/SysDirs.h"

#include <QtTest>

// Every case runs with HOME and the XDG config folder inside a temporary
// folder, so the expected paths are known without asking the platform.
class TestSysDirs : public QObject
{
    Q_OBJECT

    QTemporaryDir m_home;

private Q_SLOTS:
    void initTestCase()
    {
        qputenv("HOME", QFile::encodeName(m_home.path()));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home.filePath(QStringLiteral("config"))));
        qunsetenv("XDG_DOCUMENTS_DIR");
        QDir(m_home.path()).mkpath(QStringLiteral("config"));
    }

    void foldersEndInOneSlashUnknownOnesAreEmpty()
    {
        QCOMPARE(GetSpecialFolder(SysDirs::CSIDL_PERSONAL),
            m_home.path() + QStringLiteral("/Documents/"));
        QCOMPARE(GetSpecialFolder(SysDirs::CSIDL_PROFILE), m_home.path() + QStringLiteral("/"));
        QCOMPARE(
            GetSpecialFolder(SysDirs::CSIDL_APPDATA), m_home.path() + QStringLiteral("/config/"));
        // The user's folder names are honoured; a trailing slash still gives one.
        const QString dirs = m_home.filePath(QStringLiteral("config/user-dirs.dirs"));
        TestFiles::writeAll(dirs, "XDG_DOCUMENTS_DIR=\"$HOME/我的文件/\"\n");
        const QString folder = GetSpecialFolder(SysDirs::CSIDL_PERSONAL);
        QFile::remove(dirs);
        QCOMPARE(folder, m_home.path() + QStringLiteral("/我的文件/"));
        for (int unknown : {0, -5, 6, 0x7FFF})
            QVERIFY2(GetSpecialFolder(unknown).isEmpty(), qPrintable(QString::number(unknown)));
    }

    void trailingSlash_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("expected");
        QTest::newRow("none") << QStringLiteral("/a/b") << QStringLiteral("/a/b/");
        QTest::newRow("several") << QStringLiteral("/a/b///") << QStringLiteral("/a/b/");
        QTest::newRow("root") << QStringLiteral("/") << QStringLiteral("/");
        QTest::newRow("empty stays empty") << QString() << QString();
    }
    void trailingSlash()
    {
        QFETCH(QString, path);
        QTEST(SysDirs::withTrailingSlash(path), "expected");
    }
};

QTEST_GUILESS_MAIN(TestSysDirs)
#include "test_SysDirs.moc"
