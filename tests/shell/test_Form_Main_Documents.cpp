// The documents area in the main window: the question on closing with unsaved
// text, files dropped on the window and on the text box, and the buttons.

#include "TestFiles.h"
#include "audio/AudioSink.h"
#include "document/DocumentsArea.h"
#include "shell/AppDlgX.h"
#include "shell/AppMain.h"
#include "shell/Form_Main.h"
#include "shell/MaviTextBox.h"
#include "shell/MessageBox.h"
#include "speech/ScriptedEngine.h"
#include "system/AppPaths.h"
#include "system/RegistryStore.h"

#include "controls/CmdX.h"

#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>

using namespace Qt::StringLiterals;

class TestFormMainDocuments : public QObject
{
    Q_OBJECT

    ScriptedEngine m_engine;
    QTemporaryDir dir;
    QList<MessageBox::Answer> answers;
    QStringList dialogs; // chosen paths, one per dialog

    void drop(QWidget *target, const QString &file)
    {
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(file), QUrl::fromLocalFile(dir.filePath(u"b"_s))});
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, {});
        QApplication::sendEvent(target, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent dropped(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, {});
        QApplication::sendEvent(target, &dropped);
        QVERIFY(dropped.isAccepted());
    }

private Q_SLOTS:
    void initTestCase()
    {
        SynthesisEngine::setDefault(&m_engine);
        AudioSink::setFactory([] { return std::make_unique<ImmediateSink>(); });
        AppPaths::setOverrideFolder(dir.path());
        RegistryStore::instance().setUserFile(dir.filePath(u"registry.json"_s));
        MessageBox::setHandler([this](auto, auto, auto, auto) {
            return answers.isEmpty() ? MessageBox::Answer::Ok : answers.takeFirst();
        });
        AppDlgX::setRunner(
            [this](auto) { return dialogs.isEmpty() ? QString() : dialogs.takeFirst(); });
    }

    void closingAsksAboutUnsavedText()
    {
        auto w = Main();
        QVERIFY(w);
        w->Txt_Input->setText(u"draft"_s);
        QVERIFY(w->documents()->m_Files.m_Dirty);
        answers = {MessageBox::Answer::Cancel};
        QVERIFY(!w->close());
        QVERIFY(w->isVisible());
        QCOMPARE(w->Txt_Input->Text(), u"draft"_s);
        // Yes saves through the dialog, then the window closes.
        answers = {MessageBox::Answer::Yes};
        dialogs = {dir.filePath(u"draft"_s)};
        QVERIFY(w->close());
        const QByteArray saved = TestFiles::readAll(dir.filePath(u"draft.txt"_s));
        QCOMPARE(saved, QByteArray("\xFF\xFE") + QByteArray("d\0r\0a\0f\0t\0", 10));
        QVERIFY(answers.isEmpty());
    }

    void filesDroppedOnTheWindowOrTheTextBoxLoad()
    {
        TestFiles::writeAll(dir.filePath(u"a.txt"_s), "first file");
        TestFiles::writeAll(dir.filePath(u"c.txt"_s), "third file");
        auto w = Main();
        QVERIFY(w);
        drop(w.get(), dir.filePath(u"a.txt"_s));
        QTRY_COMPARE(w->Txt_Input->Text(), u"first file"_s);
        drop(w->Txt_Input->viewport(), dir.filePath(u"c.txt"_s));
        QTRY_COMPARE(w->Txt_Input->Text(), u"third file"_s);
        QVERIFY(!w->documents()->m_Files.m_Dirty);
        // The Open button asks nothing for clean text and loads the choice.
        dialogs = {dir.filePath(u"a.txt"_s)};
        Q_EMIT w->Cmd_OpenTxt->Click();
        QCOMPARE(w->Txt_Input->Text(), u"first file"_s);
        QVERIFY(answers.isEmpty());
        QVERIFY(w->close());
    }
};

QTEST_MAIN(TestFormMainDocuments)
#include "test_Form_Main_Documents.moc"
