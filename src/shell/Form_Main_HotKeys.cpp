// The main window's hot keys and voice prompts: which command each hot key
// runs, when the keys are live, and which controls speak their hint.
//
// A hot key runs its command the way a click does: by clicking the named
// command button, so a key works with whatever handler that button has. Rows
// without a button (F3) have no command until an area gives them one with
// setHotKeyCommand.

#include "shell/AppHKey.h"
#include "shell/Form_Main.h"
#include "speech/PromptHover.h"
#include "speech/ReadingController.h"

#include "controls/BmpBtnX.h"
#include "controls/CmdX.h"
#include "controls/SliderEx.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

namespace
{
// The virtual key sent to the focused widget after Speak/Stop by hot key.
constexpr quint32 SyntheticKeyZ = 90;

// Hooks the hot keys when the window becomes active and unhooks them when
// another window of the program does. A message box leaves them hooked, so
// the keys are still taken while one is open.
class ActivationWatch : public QObject
{
public:
    ActivationWatch(QWidget *window, AppHKey *keys)
        : QObject(window)
        , m_Window(window)
        , m_Keys(keys)
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched != m_Window || !m_Keys)
            return false;
        if (event->type() == QEvent::WindowActivate) {
            m_Keys->HookHotKeys(m_Window);
        } else if (event->type() == QEvent::WindowDeactivate) {
            if (!qobject_cast<QMessageBox *>(QApplication::activeWindow()))
                m_Keys->UnhookHotKeys();
        }
        return false;
    }

private:
    QWidget *m_Window;
    QPointer<AppHKey> m_Keys; // gone once the window has unloaded
};
} // namespace

void Form_Main::connectHotKeys()
{
    m_HotKeys = std::make_unique<AppHKey>([this](qint16 row) { CtrlKeyProc(row); });
    new ActivationWatch(this, m_HotKeys.get());
    if (isActiveWindow())
        m_HotKeys->HookHotKeys(this);

    auto click = [this](const char *name) {
        return [this, name] {
            if (auto *button = findChild<CmdX *>(QLatin1String(name)))
                button->setValue(true);
        };
    };
    // Rows an area has already given a command (F3) keep it.
    m_HotKeyCommands[AppHKey::Find] = click("Cmd_SearchT");
    m_HotKeyCommands[AppHKey::Slower] = [this] { stepRate(+1); };
    m_HotKeyCommands[AppHKey::SpeakStop] = [this, speak = click("Cmd_Speak")] {
        activateWindow();
        speak();
        // One key-down of Z and no key-up, without text, so that the text
        // box takes it for no edit.
        if (QWidget *focus = QApplication::focusWidget()) {
            QKeyEvent z(QEvent::KeyPress, Qt::Key_Z, Qt::NoModifier, 0, SyntheticKeyZ, 0);
            QCoreApplication::sendEvent(focus, &z);
        }
    };
    m_HotKeyCommands[AppHKey::SaveWav] = click("Cmd_SaveWAV");
    m_HotKeyCommands[AppHKey::Stop] = [this] { m_Reading->StopSpeaking(); };
    m_HotKeyCommands[AppHKey::Open] = click("Cmd_OpenTxt");
    m_HotKeyCommands[AppHKey::PauseResume] = click("Cmd_Pause");
    m_HotKeyCommands[AppHKey::Quieter] = [this] { stepVolume(-1); };
    m_HotKeyCommands[AppHKey::SaveText] = click("Cmd_SaveTxt");
    m_HotKeyCommands[AppHKey::Louder] = [this] { stepVolume(+1); };
    m_HotKeyCommands[AppHKey::SaveWavMp3] = click("Cmd_SaveWAVnMP3");
    m_HotKeyCommands[AppHKey::Faster] = [this] { stepRate(-1); };

    // Voice prompts over the command buttons and the three sliders.
    Timer_Cursor = new QTimer(this);
    Timer_Cursor->setObjectName(QStringLiteral("Timer_Cursor"));
    m_Hover = std::make_unique<PromptHover>(*m_Reading, m_TTS.get(), Timer_Cursor);
    m_Hover->setPointerTarget([] { return QApplication::widgetAt(QCursor::pos()); });
    auto hover = [this](QWidget *control, const QString &hint) {
        if (m_Hover)
            m_Hover->MouseMove(control, hint);
    };
    auto hint = [this](QWidget *control) {
        // Cmd_Pause speaks its mode; the others the hint kept from their tooltip.
        if (control == Cmd_Pause)
            return Cmd_Pause->Tag();
        return control->property("TipText").toString();
    };
    for (CmdX *b : {Cmd_Speak, Cmd_Pause, Cmd_OpenTxt, Cmd_SaveWAVnMP3, Cmd_SaveWAV, Cmd_SaveTxt,
             Cmd_SearchT, Cmd_PrintDC})
        connect(b, &CmdX::MouseMove, this, [b, hint, hover] { hover(b, hint(b)); });
    for (SliderEx *s : {Slider_FontSz, Slider_Rate, Slider_Volume})
        connect(s, &SliderEx::MouseMove, this, [s, hint, hover] { hover(s, hint(s)); });
    for (BmpBtnX *b : {Cmd_ChgIcon, Cmd_H1, Cmd_H2, Cmd_H4, Cmd_H5})
        connect(b, &BmpBtnX::MouseMove, this, [b, hint, hover] { hover(b, hint(b)); });
    connect(Cmd_H4, &BmpBtnX::Click, this, [this] {
        if (m_Hover)
            m_Hover->CmdH4Click();
    });
}

void Form_Main::releaseHotKeys()
{
    m_HotKeys.reset();
    m_Hover.reset();
}

void Form_Main::CtrlKeyProc(qint16 index)
{
    if (m_Unloaded || index < 0 || index >= AppHKey::RowCount)
        return;
    if (const std::function<void()> &command = m_HotKeyCommands[size_t(index)])
        command();
}

void Form_Main::setHotKeyCommand(qint16 row, std::function<void()> command)
{
    if (row >= 0 && row < AppHKey::RowCount)
        m_HotKeyCommands[size_t(row)] = std::move(command);
}

AppHKey *Form_Main::hotKeys() const
{
    return m_HotKeys.get();
}

void Form_Main::stepRate(int delta)
{
    // A smaller value is faster; the lower bound is 0, not the slider's Min.
    const qint16 value = Slider_Rate->Value();
    if (delta > 0 && value < Slider_Rate->Max())
        Slider_Rate->setValue(qint16(value + 1));
    else if (delta < 0 && value != 0)
        Slider_Rate->setValue(qint16(value - 1));
    m_Reading->SliderRateChange(Slider_Rate->Value());
}

void Form_Main::stepVolume(int delta)
{
    const qint16 value = Slider_Volume->Value();
    if (delta > 0 && value < Slider_Volume->Max())
        Slider_Volume->setValue(qint16(value + 1));
    else if (delta < 0 && value != 0)
        Slider_Volume->setValue(qint16(value - 1));
    m_Reading->SliderVolumeChange(Slider_Volume->Value());
}
