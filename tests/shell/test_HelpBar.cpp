// The help bar and link pictures of the real window: what each hands to the
// desktop, a missing companion passed over in silence, and the web address
// read from the product information file at every click.

#include "TestFiles.h"
#include "audio/AudioSink.h"
#include "shell/AppMain.h"
#include "shell/Form_Main.h"
#include "shell/MessageBox.h"
#include "speech/ScriptedEngine.h"
#include "system/AppPaths.h"
#include "system/CExec.h"
#include "system/RegistryStore.h"

#include "controls/BmpBtnX.h"

#include <QDir>
#include <QLabel>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

class TestHelpBar : public QObject
{
    Q_OBJECT
    ScriptedEngine m_engine;
    QTemporaryDir m_dir;
    QList<CExec::Request> m_launched;
    QStringList m_messages;

    QString file(const QString &name) const { return m_dir.path() + name; }

private Q_SLOTS:
    void initTestCase()
    {
        SynthesisEngine::setDefault(&m_engine);
        AudioSink::setFactory([] { return std::make_unique<ImmediateSink>(); });
        MessageBox::setHandler([this](auto, auto, const QString &text, auto) {
            m_messages.append(text);
            return MessageBox::Answer::Ok;
        });
        CExec::setShell([this](const CExec::Request &r) {
            m_launched.append(r);
            return true;
        });
        AppPaths::setOverrideFolder(m_dir.path());
        RegistryStore::instance().setUserFile(file(u"/registry.json"_s));
    }

    void targetsOpenFromTheProgramFolder()
    {
        auto w = Main();
        QVERIFY(w);
        for (BmpBtnX *b : {w->Cmd_H1, w->Cmd_H2, w->Cmd_H5})
            Q_EMIT b->Click();
        QVERIFY(m_launched.isEmpty()); // nothing installed: nothing, and no box
        QVERIFY(m_messages.isEmpty());

        QVERIFY(QDir(m_dir.path()).mkpath(u"Help"_s));
        TestFiles::writeAll(file(u"/Help/Parlo_User_Guide.pdf"_s), "%PDF-1.4\n");
        for (const QString &name : {u"/Mavi_Copyright"_s, u"/Mavi_UserDefine"_s}) {
            TestFiles::writeAll(file(name), "#!/bin/sh\n");
            QFile::setPermissions(
                file(name), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        Q_EMIT w->Cmd_H1->Click();
        Q_EMIT w->Cmd_H2->Click();
        Q_EMIT w->Cmd_H5->Click();
        w->ImgLink2->resize(40, 20); // no pictures in the test's program folder
        QTest::mouseClick(w->ImgLink2, Qt::LeftButton);
        QStringList targets;
        for (const CExec::Request &r : std::as_const(m_launched))
            targets.append(r.target.mid(m_dir.path().size()));
        QCOMPARE(targets,
            (QStringList {u"/Help/Parlo_User_Guide.pdf"_s, u"/Mavi_Copyright"_s,
                u"/Mavi_UserDefine"_s, u"/Mavi_Copyright"_s}));
        QVERIFY(!m_launched[0].program);
        QVERIFY(m_launched[1].program && m_launched[2].program);
        QCOMPARE(m_launched[0].workDir, QString());
        QCOMPARE(m_launched[1].workDir, m_dir.path());
        QCOMPARE(m_launched[3].workDir, m_dir.path());
        for (const CExec::Request &r : std::as_const(m_launched))
            QCOMPARE(r.show, CExec::Normal);
        QVERIFY(m_messages.isEmpty());
    }

    void webAddressIsReadAtEveryClick()
    {
        auto w = Main();
        QVERIFY(w);
        m_launched.clear();
        w->ImgLink1->resize(40, 20);
        QTest::mouseClick(w->ImgLink1, Qt::LeftButton);
        QVERIFY(QDir(m_dir.path()).mkpath(u"Data"_s));
        TestFiles::writeAll(file(u"/Data/Parlo_Product.ini"_s),
            "[Product]\r\nSection=Parlo\r\n[URL]\r\nCompanyURL=https://example.com/tw\r\n");
        QTest::mouseClick(w->ImgLink1, Qt::LeftButton);
        QCOMPARE(m_launched.size(), 2);
        QVERIFY(m_launched[0].url && m_launched[0].target.startsWith(u"https://"_s));
        QCOMPARE(m_launched[1].target, u"https://example.com/tw"_s);
    }

    void launcherSaysWhatIsMissing()
    {
        m_messages.clear();
        QVERIFY(!CExec().Launch_Exec(file(u"/none"_s), {}, {}, true, true, false));
        QCOMPARE(m_messages, QStringList {file(u"/none"_s) + u"\n Not Found !!!"_s});
    }
};

QTEST_MAIN(TestHelpBar)
#include "test_HelpBar.moc"
