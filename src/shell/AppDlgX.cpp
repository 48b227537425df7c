#include "shell/AppDlgX.h"

#include "shell/MessageBox.h"
#include "system/Log.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>

namespace
{
AppDlgX::Runner g_runner;

QString runRealDialog(const AppDlgX::Request &request)
{
    QFileDialog dialog(request.owner, request.title);
    if (!request.initialDir.isEmpty()) {
        // A folder that is gone opens the nearest one above it that is left.
        QString dir = QDir::cleanPath(request.initialDir);
        while (!QFileInfo(dir).isDir() && !QDir(dir).isRoot())
            dir = QFileInfo(dir).absolutePath();
        dialog.setDirectory(dir);
    }
    if (request.mode == AppDlgX::Request::Mode::Save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(
            request.fileMustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    }
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    if (!request.filters.isEmpty()) {
        dialog.setNameFilters(request.filters);
        dialog.selectNameFilter(request.filters.value(request.selectedFilter));
    }
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    const QStringList chosen = dialog.selectedFiles();
    return chosen.isEmpty() ? QString() : chosen.first();
}

QString run(const AppDlgX::Request &request)
{
    return g_runner ? g_runner(request) : runRealDialog(request);
}

// A file the save dialog must not return under OFN_NOREADONLYRETURN: one that
// exists and cannot be written, or is marked read-only for everyone (which
// even an administrator should not overwrite by accident).
bool isReadOnlyFile(const QString &path)
{
    const QFileInfo info(path);
    constexpr QFile::Permissions anyWrite
        = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    return info.exists() && (!info.isWritable() || !(info.permissions() & anyWrite));
}

QString showDialog(AppDlgX::Request::Mode mode, QWidget *owner, const QString &filter,
    const QString &title, const QString &initialDir, int filterIndex, int flags)
{
    AppDlgX::Request request;
    request.mode = mode;
    request.owner = owner;
    request.title = title;
    request.initialDir = initialDir;
    request.filters = AppDlgX::toQtFilters(filter);
    request.selectedFilter = AppDlgX::selectedFilterEntry(filterIndex, int(request.filters.size()));
    request.fileMustExist = flags & AppDlgX::OFN_FILEMUSTEXIST;
    request.confirmOverwrite = flags & AppDlgX::OFN_OVERWRITEPROMPT;

    for (;;) {
        QString path = run(request);
        path.remove(QChar(0));
        if (path.isEmpty())
            return QStringLiteral("0");
        if (mode == AppDlgX::Request::Mode::Save && (flags & AppDlgX::OFN_NOREADONLYRETURN)
            && isReadOnlyFile(path)) {
            qCInfo(lcShell) << "the save dialog refused the read-only file" << path;
            MessageBox::show(AppDlgX::readOnlyText(path), MessageBox::Icon::Exclamation,
                MessageBox::Buttons::Ok, owner);
            // Opens again where the user was.
            request.initialDir = QFileInfo(path).absolutePath();
            continue;
        }
        return path;
    }
}
} // namespace

namespace AppDlgX
{

void setRunner(Runner runner)
{
    g_runner = std::move(runner);
}

QStringList toQtFilters(const QString &filter)
{
    // A description's own pattern list "(*.…)" is replaced by the patterns,
    // which are what the dialog filters by; other words in brackets (a note
    // to the user) stay part of the description.
    static const QRegularExpression ownList(QStringLiteral("\\s*\\([^()]*\\*[^()]*\\)\\s*$"));
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i];
        description.remove(ownList);
        description = description.trimmed();
        QStringList patterns;
        for (QString pattern : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            pattern = pattern.trimmed();
            if (pattern == u"*.*")
                pattern = QStringLiteral("*");
            if (!pattern.isEmpty() && !patterns.contains(pattern))
                patterns.append(pattern);
        }
        if (patterns.isEmpty())
            patterns.append(QStringLiteral("*"));
        if (description.isEmpty())
            description = patterns.join(QLatin1Char(' '));
        filters.append(description + QStringLiteral(" (") + patterns.join(QLatin1Char(' '))
            + QLatin1Char(')'));
    }
    return filters;
}

int selectedFilterEntry(int filterIndex, int filterCount)
{
    if (filterIndex < 1 || filterIndex > filterCount)
        return 0;
    return filterIndex - 1;
}

QString ShowOpenDialog(QWidget *owner, const QString &filter, const QString &title,
    const QString &initialDir, int, int filterIndex, int flags)
{
    return showDialog(Request::Mode::Open, owner, filter, title, initialDir, filterIndex,
        flags | OFN_HIDEREADONLY);
}

QString ShowSaveDialog(QWidget *owner, const QString &filter, const QString &title,
    const QString &initialDir, int, int filterIndex, int flags)
{
    return showDialog(Request::Mode::Save, owner, filter, title, initialDir, filterIndex,
        flags | OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY);
}

QString readOnlyText(const QString &path)
{
    return QStringLiteral("%1\n此檔案為唯讀，請使用其他檔名。").arg(QDir::toNativeSeparators(path));
}

} // namespace AppDlgX
