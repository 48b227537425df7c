// The export area inside the main window: the progress window while a text
// is rendered (caption, label, centred on the window) and closing the window
// in the middle of an export.

#include "audio/AudioSink.h"
#include "shell/AppDlgX.h"
#include "shell/AppMain.h"
#include "shell/Form_Main.h"
#include "shell/MaviTextBox.h"
#include "shell/MessageBox.h"
#include "shell/Progressing.h"
#include "speech/ScriptedEngine.h"
#include "system/AppPaths.h"
#include "system/RegistryStore.h"

#include "controls/CmdX.h"
#include <QLabel>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace Qt::StringLiterals;

class TestFormMainExport : public QObject
{
    Q_OBJECT

    ScriptedEngine m_engine;
    QTemporaryDir m_dir;
    QStringList m_messages;

private Q_SLOTS:
    void initTestCase()
    {
        SynthesisEngine::setDefault(&m_engine);
        AudioSink::setFactory([] { return std::make_unique<ImmediateSink>(); });
        AppPaths::setOverrideFolder(m_dir.path());
        RegistryStore::instance().setUserFile(m_dir.filePath(u"registry.json"_s));
        MessageBox::setHandler([this](auto, auto, const QString &text, auto) {
            m_messages.append(text);
            return MessageBox::Answer::Ok;
        });
        AppDlgX::setRunner(
            [this](const AppDlgX::Request &) { return m_dir.filePath(u"long.wav"_s); });
    }

    void closingDuringAnExportCancelsItFirst()
    {
        auto w = Main();
        QVERIFY(w);
        w->setGeometry(120, 90, 800, 500);
        w->Txt_Input->setText(QString(20000, u'字'));
        bool seen = false;
        QTimer::singleShot(0, w.get(), [&] {
            auto *p = w->findChild<Progressing *>(u"Progressing"_s);
            QVERIFY(p && p->isVisible());
            QCOMPARE(p->windowTitle(), u"正在轉檔中 ..."_s);
            QCOMPARE(p->Label1->text(),
                u"如果您的電腦速度較慢，會花較長時間（10分鐘或更久），請耐心等待"_s);
            const QRect main = w->frameGeometry();
            QCOMPARE(p->frameGeometry().left(),
                main.left() + (main.width() - p->frameGeometry().width()) / 2);
            QCOMPARE(p->frameGeometry().top(),
                main.top() + (main.height() - p->frameGeometry().height()) / 2);
            QVERIFY(QFileInfo::exists(m_dir.filePath(u"long.wav"_s)));
            // The window cannot go while the export holds its voice.
            QVERIFY(!w->close());
            QVERIFY(w->isVisible());
            seen = true;
        });
        Q_EMIT w->Cmd_SaveWAV->Click();
        QVERIFY(seen);
        QVERIFY(!QFileInfo::exists(m_dir.filePath(u"long.wav"_s)));
        QVERIFY(m_messages.isEmpty());
        QVERIFY(!w->findChild<Progressing *>(u"Progressing"_s)->isVisible());
        QTRY_VERIFY(!w->isVisible());
    }
};

QTEST_MAIN(TestFormMainExport)
#include "test_Form_Main_Export.moc"
