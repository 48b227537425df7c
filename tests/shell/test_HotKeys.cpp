// The hot keys and voice prompts of the real window, keys and pointer sent
// as a user's would be: bounds of the rate and volume keys, Speak by key
// with its synthetic key, the guard against a second command, keys only
// while the window is active, and hints spoken on hover.

#include "SpeechRecorder.h"
#include "shell/AppDlgX.h"
#include "shell/AppHKey.h"
#include "shell/AppMain.h"
#include "shell/Form_Main.h"
#include "shell/MaviTextBox.h"
#include "shell/MessageBox.h"
#include "shell/documents/Form_Search.h"
#include "speech/ScriptedEngine.h"
#include "speech/VoicePrompt.h"
#include "system/AppPaths.h"
#include "system/RegistryStore.h"

#include "controls/BmpBtnX.h"
#include "controls/CmdX.h"
#include "controls/SliderEx.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace Qt::StringLiterals;

class TestHotKeys : public QObject
{
    Q_OBJECT
    ScriptedEngine m_engine;
    QTemporaryDir m_dir;
    std::unique_ptr<Form_Main> w;

    void ctrl(Qt::Key key)
    {
        QTest::keyClick(QApplication::focusWidget(), key, Qt::ControlModifier);
    }

private Q_SLOTS:
    void initTestCase()
    {
        SynthesisEngine::setDefault(&m_engine);
        AudioSink::setFactory([] { return std::make_unique<ImmediateSink>(); });
        MessageBox::setHandler([](auto, auto, auto, auto) { return MessageBox::Answer::Ok; });
        // The commands' file dialogs are cancelled.
        AppDlgX::setRunner([](const AppDlgX::Request &) { return QString(); });
        AppPaths::setOverrideFolder(m_dir.path());
        RegistryStore::instance().setUserFile(m_dir.path() + u"/registry.json"_s);
    }
    void init()
    {
        w = Main();
        QVERIFY(w);
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        w->Txt_Input->setFocus();
        QVERIFY(w->hotKeys()->HotKeysOn());
    }
    void cleanup() { w.reset(); }

    void rateAndVolumeKeysKeepTheirBounds_data()
    {
        QTest::addColumn<QString>("slider");
        QTest::addColumn<int>("start");
        QTest::addColumn<QString>("keys"); // pressed with Ctrl, one after the other
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("engine"); // the voice's rate or volume after
        QTest::newRow("Ctrl+R at 0") << u"Slider_Volume"_s << 0 << u"R"_s << 0 << 0;
        QTest::newRow("Ctrl+T at max") << u"Slider_Volume"_s << 100 << u"T"_s << 100 << 100;
        QTest::newRow("Ctrl+R Ctrl+R") << u"Slider_Volume"_s << 40 << u"RR"_s << 38 << 38;
        QTest::newRow("Ctrl+Y at 0") << u"Slider_Rate"_s << 0 << u"Y"_s << 0 << 10;
        QTest::newRow("Ctrl+G at max") << u"Slider_Rate"_s << 100 << u"G"_s << 100 << -10;
        QTest::newRow("Ctrl+G slows") << u"Slider_Rate"_s << 52 << u"G"_s << 53 << -1;
        QTest::newRow("Ctrl+Y quickens") << u"Slider_Rate"_s << 53 << u"YY"_s << 51 << 0;
        // One step from each end, twice: the first press reaches the end, the
        // second stays there.
        QTest::newRow("Ctrl+T twice below max")
            << u"Slider_Volume"_s << 99 << u"TT"_s << 100 << 100;
        QTest::newRow("Ctrl+R twice above 0") << u"Slider_Volume"_s << 1 << u"RR"_s << 0 << 0;
        QTest::newRow("Ctrl+G twice below max") << u"Slider_Rate"_s << 99 << u"GG"_s << 100 << -10;
        QTest::newRow("Ctrl+Y twice above 0") << u"Slider_Rate"_s << 1 << u"YY"_s << 0 << 10;
    }
    void rateAndVolumeKeysKeepTheirBounds()
    {
        QFETCH(QString, slider);
        QFETCH(int, start);
        QFETCH(QString, keys);
        auto *s = w->findChild<SliderEx *>(slider);
        s->setValue(qint16(start));
        for (const QChar key : keys)
            ctrl(Qt::Key(key.unicode())); // Qt::Key_A to Key_Z are the capital letters
        QTEST(int(s->Value()), "value");
        QTEST(slider == u"Slider_Rate"_s ? w->voice()->Rate() : w->voice()->Volume(), "engine");
    }

    void speakKeyClicksSpeakAndEditsNothing()
    {
        const QString text = w->Txt_Input->Text();
        QSignalSpy speak(w->Cmd_Speak, &CmdX::Click);
        ctrl(Qt::Key_H);
        QCOMPARE(speak.size(), 1);
        QCOMPARE(w->Txt_Input->Text(), text);
        QVERIFY(!w->Txt_Input->document()->isUndoAvailable());
        // Ctrl+L stops; Ctrl+Shift+S is no hot key.
        QSignalSpy save(w->Cmd_SaveTxt, &CmdX::Click);
        QTest::keyClick(w->Txt_Input, Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(save.size(), 0);
        ctrl(Qt::Key_L);
        QCOMPARE(w->Cmd_Speak->Caption(), u"朗讀"_s);
    }

    void aSecondKeyDuringAKeyCommandIsNotTaken()
    {
        // A command that runs an event loop, as an export does.
        int savesDuring = -1;
        QSignalSpy save(w->Cmd_SaveTxt, &CmdX::Click);
        connect(w->Cmd_SaveWAV, &CmdX::Click, this, [&] {
            QEventLoop loop;
            QTimer::singleShot(0, &loop, [&] {
                ctrl(Qt::Key_S);
                savesDuring = int(save.size());
                loop.quit();
            });
            loop.exec();
        });
        ctrl(Qt::Key_J);
        QCOMPARE(savesDuring, 0);
        w->Cmd_SaveWAV->setValue(true); // the same command from its button
        QCOMPARE(savesDuring, 1);
        QVERIFY(!w->hotKeys()->InHotKey());
    }

    void keysAreTakenOnlyWhileTheWindowIsActive()
    {
        QSignalSpy save(w->Cmd_SaveTxt, &CmdX::Click);
        QWidget other;
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        QVERIFY(!w->hotKeys()->HotKeysOn());
        QTest::keyClick(&other, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(save.size(), 0);
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        ctrl(Qt::Key_S);
        QCOMPARE(save.size(), 1);
    }

    void f3FindsAgainInTheMainWindowAndAfterNotFound()
    {
        w->Txt_Input->setText(u"abab"_s);
        ctrl(Qt::Key_F);
        QPointer<Form_Search> search = w->findChild<Form_Search *>();
        QVERIFY(search);
        search->Txt_Input->setText(u"ab"_s);
        search->Cmd_OK->click();
        search->close();
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        w->Txt_Input->setFocus();
        w->Txt_Input->setSelStart(0);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F3);
        QCOMPARE(w->Txt_Input->SelStart(), 2);
        QCOMPARE(w->Txt_Input->SelLength(), 2);

        // The not-found message puts the keys back on the main window; F3 in
        // the search window then starts again from the beginning.
        ctrl(Qt::Key_F);
        search = w->findChild<Form_Search *>();
        QVERIFY(search);
        search->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(search));
        QTest::keyClick(search->Txt_Input, Qt::Key_F3); // not found
        QCOMPARE(w->Txt_Input->SelStart(), 2);
        QTest::keyClick(search->Txt_Input, Qt::Key_F3);
        QCOMPARE(w->Txt_Input->SelStart(), 0);
        QCOMPARE(w->Txt_Input->SelLength(), 2);
    }

    void hoverSpeaksTheHintOnlyWithPromptsOn()
    {
        auto *timer = w->findChild<QTimer *>(u"Timer_Cursor"_s);
        QVERIFY(timer);
        SpeechRecorder rec(w->prompt()->voice());
        QTest::mouseMove(w->Cmd_SaveTxt, QPoint(5, 5));
        QTest::mouseMove(w->Cmd_SaveTxt, QPoint(8, 6));
        QVERIFY(!timer->isActive());
        QTest::qWait(30);
        QVERIFY(rec.events.isEmpty());

        Q_EMIT w->Cmd_H4->Click(); // prompts on
        QTest::mouseMove(w->Cmd_SaveTxt, QPoint(6, 6));
        QVERIFY(timer->isActive());
        QTRY_VERIFY(!rec.of(u"Start"_s).isEmpty());
        // Word events over "Control S" show the hint was read with Ctrl- spelt out.
        const QString spoken = u"儲存朗讀 .txt 文稿 (Control S)"_s;
        QVERIFY(rec.words(spoken).contains(u"Control"_s));
    }
};

QTEST_MAIN(TestHotKeys)
#include "test_HotKeys.moc"
