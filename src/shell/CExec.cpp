#include "shell/CExec.h"

#include "shell/MessageBox.h"
#include "system/Log.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

namespace
{
CExec::Shell g_shell;

// The desktop has no say in how a started program shows itself, nor in how a
// handler shows a document; the show state only travels with the request.
bool desktopOpen(const CExec::Request &r)
{
    if (r.program)
        return QProcess::startDetached(r.target, r.arguments, r.workDir);
    const QUrl url = r.url ? QUrl::fromUserInput(r.target) : QUrl::fromLocalFile(r.target);
    return QDesktopServices::openUrl(url);
}

bool hand(const CExec::Request &request)
{
    const bool taken = g_shell ? g_shell(request) : desktopOpen(request);
    if (!taken)
        qCInfo(lcShell) << "the desktop did not open" << request.target;
    return taken;
}
} // namespace

CExec::ShowState CExec::showState(bool visible, bool maximized)
{
    if (!visible)
        return Hidden;
    return maximized ? Maximized : Normal;
}

bool CExec::Launch_Exec(const QString &file, const QString &parameters, const QString &workDir,
    bool notFoundMessage, bool visible, bool maximized)
{
    const QFileInfo info(file);
    if (!info.exists()) {
        if (notFoundMessage)
            MessageBox::show(file + QStringLiteral("\n Not Found !!!"), MessageBox::Icon::Question);
        return false;
    }
    Request r;
    r.target = file;
    r.arguments = QProcess::splitCommand(parameters);
    r.workDir = workDir;
    r.show = showState(visible, maximized);
    r.program = info.isFile() && info.isExecutable();
    return hand(r);
}

bool CExec::Launch_URL(const QString &address, const QString &parameters, const QString &workDir,
    int, bool visible, bool maximized)
{
    Request r;
    r.target = address;
    r.arguments = QProcess::splitCommand(parameters);
    r.workDir = workDir;
    r.show = showState(visible, maximized);
    r.url = true;
    return hand(r);
}

void CExec::setShell(Shell shell)
{
    g_shell = std::move(shell);
}
