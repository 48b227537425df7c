#include "shell/AppHKey.h"

#include "controls/InputCodes.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QWidget>
#include <algorithm>

AppHKey::AppHKey(Dispatcher ctrlKeyProc, QObject *parent)
    : QObject(parent)
    , m_CtrlKeyProc(std::move(ctrlKeyProc))
{
}

AppHKey::~AppHKey()
{
    UnhookHotKeys();
}

void AppHKey::HookHotKeys(QWidget *window)
{
    UnhookHotKeys();
    m_HotKeyWnd = window;
    if (QCoreApplication *app = QCoreApplication::instance())
        app->installEventFilter(this);
    m_Hooked = true;
    SetHotKeys(true);
}

void AppHKey::UnhookHotKeys()
{
    if (!m_Hooked)
        return;
    SetHotKeys(false);
    if (QCoreApplication *app = QCoreApplication::instance())
        app->removeEventFilter(this);
    m_Hooked = false;
    m_HotKeyWnd = nullptr;
}

void AppHKey::SetHotKeys(bool on)
{
    m_HotKeysOn = on;
}

qint16 AppHKey::rowOf(const QKeyEvent &event)
{
    const Qt::KeyboardModifiers mods = event.modifiers() & ~Qt::KeypadModifier;
    const qint16 code = InputCodes::keyCode(event.key());
    if (mods == Qt::ControlModifier) {
        const auto *at = std::find(CtrlKeys.begin(), CtrlKeys.end(), code);
        return at == CtrlKeys.end() ? qint16(-1) : qint16(at - CtrlKeys.begin());
    }
    if (mods == Qt::NoModifier && code == FuncKey)
        return FindNext;
    return -1;
}

bool AppHKey::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::ApplicationStateChange:
        if (watched == QCoreApplication::instance())
            SetHotKeys(static_cast<QApplicationStateChangeEvent *>(event)->applicationState()
                == Qt::ApplicationActive);
        return false;
    case QEvent::ShortcutOverride:
    case QEvent::KeyPress: {
        if (!m_HotKeysOn || m_InHotKey)
            return false;
        const qint16 row = rowOf(*static_cast<QKeyEvent *>(event));
        if (row < 0)
            return false;
        // Claiming the override keeps a widget's own shortcut for the same
        // keys from firing; the press that follows is the one dispatched.
        event->accept();
        if (event->type() == QEvent::ShortcutOverride)
            return true;
        const QPointer<AppHKey> alive(this);
        m_InHotKey = true;
        m_CtrlKeyProc(row);
        if (alive)
            m_InHotKey = false;
        return true;
    }
    default:
        return false;
    }
}
