#include "shell/MessageBox.h"

#include "system/AppPaths.h"
#include "system/Log.h"

#include <QMessageBox>

namespace
{
MessageBox::Handler g_handler;
bool g_terminating = false;
} // namespace

namespace MessageBox
{

Answer show(
    const QString &text, Icon icon, Buttons buttons, QWidget *parent, const QString &boxTitle)
{
    const QString title = boxTitle.isEmpty() ? AppPaths::productTitle() : boxTitle;
    if (g_terminating) {
        qCWarning(lcShell).noquote() << "not shown while terminating:" << text;
        return (buttons == Buttons::Ok || buttons == Buttons::OkCancel) ? Answer::Ok : Answer::No;
    }
    if (g_handler)
        return g_handler(icon, buttons, text, title);

    QMessageBox box(parent);
    box.setWindowTitle(title);
    box.setText(text);
    switch (icon) {
    case Icon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case Icon::Exclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    case Icon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    case Icon::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    case Icon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    }
    switch (buttons) {
    case Buttons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case Buttons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    case Buttons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    case Buttons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    case QMessageBox::Cancel:
        return Answer::Cancel;
    default:
        return Answer::Ok;
    }
}

void setHandler(Handler handler)
{
    g_handler = std::move(handler);
}

void setTerminating(bool terminating)
{
    g_terminating = terminating;
}

bool isTerminating()
{
    return g_terminating;
}

} // namespace MessageBox
