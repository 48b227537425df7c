// Voice prompts: while they are on, the pointer moving onto a button or
// slider of the main window has the voice-prompt component read that
// control's hint aloud, and the hint is cut off about 10 ms after the pointer
// leaves the control (Timer_Cursor looks again 10 ms after the last move).
// The switch itself and the flag that holds back word highlighting while a
// hint is heard belong to reading aloud.
//
// Controls are plain QObjects here; the window says which control the pointer
// is over now (a seam tests replace).
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>

class QTimer;
class ReadingController;
class VoicePrompt;

class PromptHover : public QObject
{
    Q_OBJECT
public:
    static constexpr int CursorIntervalMs = 10;

    // `timerCursor` is the window's Timer_Cursor; its interval and tick are
    // set up here.
    PromptHover(ReadingController &reading, VoicePrompt *tts, QTimer *timerCursor);

    // The object under the mouse pointer now (a widget or one of its children).
    using PointerTarget = std::function<QObject *()>;
    void setPointerTarget(PointerTarget target) { m_PointerTarget = std::move(target); }

    // `control` reports the pointer moving over it; `hint` is its hint text.
    void MouseMove(QObject *control, const QString &hint);
    void TimerCursorTick();
    // The voice-prompt switch: silences any hint and turns prompts on or off.
    void CmdH4Click();

    // The hint as it is spoken: every "Ctrl-" read as "Control ".
    static QString spokenHint(const QString &hint);

    QObject *hoverCtrl() const { return m_HoverCtrl; }

private:
    ReadingController &m_Reading;
    VoicePrompt *m_TTS;
    QTimer *m_TimerCursor;
    PointerTarget m_PointerTarget;
    QPointer<QObject> m_HoverCtrl;
    QPointer<QObject> m_HoverWnd;
};
