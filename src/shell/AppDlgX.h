#pragma once
// The open and save file dialogs every command of the program goes through.
// Callers describe a dialog the classic way: a filter of "description|pattern"
// pairs ("Text files (*.txt)|*.txt"), a 1-based filter index, a start folder
// and a set of option flags; the result is the chosen path, or "0" when the
// user cancelled or the dialog could not be shown.
//
// The dialog itself sits behind Runner, so tests answer it without a window.

#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

namespace AppDlgX
{

// Option flags, with their classic values.
enum Flag : int {
    OFN_READONLY = 0x1,
    OFN_OVERWRITEPROMPT = 0x2,
    OFN_HIDEREADONLY = 0x4,
    OFN_PATHMUSTEXIST = 0x800,
    OFN_FILEMUSTEXIST = 0x1000,
    OFN_NOREADONLYRETURN = 0x8000,
};

// What the dialog shows, in Qt's terms.
struct Request {
    enum class Mode { Open, Save };
    Mode mode = Mode::Open;
    QWidget *owner = nullptr;
    QString title;
    QString initialDir; // empty: the dialog's own choice
    QStringList filters; // Qt filter strings, "Text files (*.txt)"
    int selectedFilter = 0; // index into filters
    bool fileMustExist = false;
    bool confirmOverwrite = false;
};

// Shows the dialog; returns the chosen path, or an empty string on cancel.
using Runner = std::function<QString(const Request &)>;

// Replaces the real dialog; an empty runner restores it.
void setRunner(Runner runner);

// "desc|pattern|desc|pattern" as Qt filters: the patterns (separated by ";")
// become the description's bracketed list, and "*.*" means every file. A
// trailing description without a pattern is dropped.
QStringList toQtFilters(const QString &filter);

// The 0-based entry a classic 1-based filter index selects: an index of 0 or
// one past the last entry shows the first.
int selectedFilterEntry(int filterIndex, int filterCount);

// The chosen path with every zero character removed, or "0" on cancel. The
// open dialog adds OFN_HIDEREADONLY to flags, the save dialog
// OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY. The fifth argument is not used.
QString ShowOpenDialog(QWidget *owner, const QString &filter, const QString &title,
    const QString &initialDir, int unused, int filterIndex, int flags);
QString ShowSaveDialog(QWidget *owner, const QString &filter, const QString &title,
    const QString &initialDir, int unused, int filterIndex, int flags);

// Told to the user when the save dialog's OFN_NOREADONLYRETURN refuses a file
// that cannot be written; the dialog then opens again.
QString readOnlyText(const QString &path);

} // namespace AppDlgX
