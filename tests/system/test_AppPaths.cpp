#include "system/AppPaths.h"

#include <QtTest>

class TestAppPaths : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void overrideRedirectsProgramAndSettings()
    {
        QTemporaryDir dir;
        AppPaths::setOverrideFolder(dir.path());
        QCOMPARE(AppPaths::programFolder(), dir.path());
        QCOMPARE(AppPaths::settingsFile(), dir.path() + QStringLiteral("/Parlo_Cfg.ini"));
        AppPaths::setOverrideFolder(QString());
        QVERIFY(AppPaths::programFolder() != dir.path());
    }
};

QTEST_GUILESS_MAIN(TestAppPaths)
#include "test_AppPaths.moc"
