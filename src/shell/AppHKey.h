// The main window's hot keys: Ctrl+F, G, H, J, L, O, P, R, S, T, W, Y and F3
// reach the window's commands from anywhere in the program while the window
// is active, whichever widget or message box has the focus.
//
// Hooking a window installs an application-wide event filter, which sees
// every key press before the widget it is meant for. While the keys are on,
// a press of one of them is taken there and handed to the dispatcher (the
// window's CtrlKeyProc) with its row of the table; it never reaches the
// widget. The keys are on while the program is the active application.
// InHotKey keeps a key that arrives while a command runs (a command that
// runs an event loop, such as an export) from starting a second one: such a
// press goes on to its widget as if no hot key were registered.
#pragma once

#include <QObject>
#include <QPointer>
#include <array>
#include <functional>

class QKeyEvent;
class QWidget;

class AppHKey : public QObject
{
    Q_OBJECT
public:
    // Rows of the table, in the order of CtrlKeys; FindNext is F3.
    enum Row : qint16 {
        Find,
        Slower,
        SpeakStop,
        SaveWav,
        Stop,
        Open,
        PauseResume,
        Quieter,
        SaveText,
        Louder,
        SaveWavMp3,
        Faster,
        FindNext,
        RowCount
    };
    // Virtual-key codes of the Ctrl keys, one per row 0-11, and of F3.
    static constexpr std::array<qint16, 12> CtrlKeys
        = {70, 71, 72, 74, 76, 79, 80, 82, 83, 84, 87, 89};
    static constexpr qint16 FuncKey = 114;

    using Dispatcher = std::function<void(qint16 row)>;
    explicit AppHKey(Dispatcher ctrlKeyProc, QObject *parent = nullptr);
    ~AppHKey() override;

    // Unhooks whatever is hooked, then hooks `window` and turns the keys on.
    void HookHotKeys(QWidget *window);
    // Turns the keys off and unhooks; nothing when nothing is hooked.
    void UnhookHotKeys();
    // Turns the keys on or off; no effect when they already are.
    void SetHotKeys(bool on);

    QWidget *HotKeyWnd() const { return m_HotKeyWnd; }
    bool HotKeysOn() const { return m_HotKeysOn; }
    bool InHotKey() const { return m_InHotKey; }

    // The row a key press asks for: Ctrl (and no other modifier) with a key
    // of CtrlKeys, or F3 alone. -1 for every other press.
    static qint16 rowOf(const QKeyEvent &event);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    Dispatcher m_CtrlKeyProc;
    QPointer<QWidget> m_HotKeyWnd;
    bool m_Hooked = false;
    bool m_HotKeysOn = false;
    bool m_InHotKey = false;
};
