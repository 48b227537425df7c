#include "speech/PromptHover.h"

#include "speech/ReadingController.h"
#include "speech/VoicePrompt.h"

#include <QTimer>

PromptHover::PromptHover(ReadingController &reading, VoicePrompt *tts, QTimer *timerCursor)
    : m_Reading(reading)
    , m_TTS(tts)
    , m_TimerCursor(timerCursor)
{
    m_TimerCursor->setInterval(CursorIntervalMs);
    connect(m_TimerCursor, &QTimer::timeout, this, &PromptHover::TimerCursorTick);
}

QString PromptHover::spokenHint(const QString &hint)
{
    QString spoken = hint;
    spoken.replace(QStringLiteral("Ctrl-"), QStringLiteral("Control "));
    return spoken;
}

void PromptHover::MouseMove(QObject *control, const QString &hint)
{
    if (!m_Reading.promptEnabled())
        return;
    // Enabling a running timer leaves it running: it fires 10 ms after the
    // first move since the last tick.
    if (!m_TimerCursor->isActive())
        m_TimerCursor->start();
    if (control == m_HoverCtrl)
        return;
    m_HoverCtrl = control;
    m_Reading.setPromptHover();
    m_HoverWnd = control;
    if (!m_TTS)
        return;
    m_TTS->Stop();
    m_TTS->Speak(spokenHint(hint));
}

void PromptHover::TimerCursorTick()
{
    m_TimerCursor->stop();
    QObject *under = m_PointerTarget ? m_PointerTarget() : nullptr;
    // A child of the control (a tooltip label, a caption) still counts as it.
    while (under && under != m_HoverWnd)
        under = under->parent();
    if (under && under == m_HoverWnd)
        return;
    if (m_TTS)
        m_TTS->Stop();
    m_HoverCtrl = nullptr;
}

void PromptHover::CmdH4Click()
{
    if (m_TTS)
        m_TTS->Stop();
    m_Reading.setPromptEnabled(!m_Reading.promptEnabled());
}
