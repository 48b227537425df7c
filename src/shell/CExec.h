// Hands a file, a program or a web address to the desktop, the way the help
// bar opens the user guide, the companion programs and the maker's page: a
// program is started on its own, anything else is opened by the desktop's
// handler for its type. Nothing waits for what was started and its result is
// not looked at; a target the desktop cannot open fails silently.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class CExec
{
public:
    // Show states asked of what is started.
    enum ShowState { Hidden = 0, Maximized = 3, Normal = 5 };
    static ShowState showState(bool visible, bool maximized);

    // What is handed to the desktop. `program` is set for an executable file.
    struct Request {
        QString target;
        QStringList arguments;
        QString workDir;
        ShowState show = Normal;
        bool program = false;
        bool url = false;
    };

    // Opens `file` when a file exists there; otherwise, with notFoundMessage,
    // shows a box with the path and " Not Found !!!". Returns whether it was
    // handed on.
    bool Launch_Exec(const QString &file, const QString &parameters, const QString &workDir,
        bool notFoundMessage, bool visible, bool maximized);
    // Hands `address` on without looking for a file. `unused` is ignored.
    bool Launch_URL(const QString &address, const QString &parameters, const QString &workDir,
        int unused, bool visible, bool maximized);

    // Replaces what hands requests to the desktop (tests record them); an
    // empty function restores the desktop. Returns whether it was taken.
    using Shell = std::function<bool(const Request &)>;
    static void setShell(Shell shell);
};
