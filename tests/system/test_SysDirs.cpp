#include "TestFiles.h"
#include "system/SysDirs.h"

#include <QtTest>

using namespace Qt::StringLiterals;

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
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home.filePath(u"config"_s)));
        qunsetenv("XDG_DOCUMENTS_DIR");
        QDir(m_home.path()).mkpath(u"config"_s);
    }

    void foldersEndInOneSlashUnknownOnesAreEmpty()
    {
        QCOMPARE(GetSpecialFolder(SysDirs::CSIDL_PERSONAL), m_home.path() + u"/Documents/"_s);
        QCOMPARE(GetSpecialFolder(SysDirs::CSIDL_PROFILE), m_home.path() + u"/"_s);
        QCOMPARE(GetSpecialFolder(SysDirs::CSIDL_APPDATA), m_home.path() + u"/config/"_s);
        // The user's folder names are honoured; a trailing slash still gives one.
        const QString dirs = m_home.filePath(u"config/user-dirs.dirs"_s);
        TestFiles::writeAll(dirs, "XDG_DOCUMENTS_DIR=\"$HOME/我的文件/\"\n");
        const QString folder = GetSpecialFolder(SysDirs::CSIDL_PERSONAL);
        QFile::remove(dirs);
        QCOMPARE(folder, m_home.path() + u"/我的文件/"_s);
        for (int unknown : {0, -5, 6, 0x7FFF})
            QVERIFY2(GetSpecialFolder(unknown).isEmpty(), qPrintable(QString::number(unknown)));
    }

    void trailingSlash_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("expected");
        QTest::newRow("none") << u"/a/b"_s << u"/a/b/"_s;
        QTest::newRow("several") << u"/a/b///"_s << u"/a/b/"_s;
        QTest::newRow("root") << u"/"_s << u"/"_s;
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
