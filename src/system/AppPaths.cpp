#include "system/AppPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace
{
QString g_override;

bool folderIsWritable(const QString &folder)
{
    // QFileInfo::isWritable looks at permission bits only; a read-only mount
    // or an ACL can still refuse, so try to create a file.
    QTemporaryFile probe(folder + QStringLiteral("/.parlo-write-probe-XXXXXX"));
    return probe.open();
}
} // namespace

namespace AppPaths
{

QString programFolder()
{
    if (!g_override.isEmpty())
        return g_override;
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QDir::currentPath();
}

QString settingsFolder()
{
    if (!g_override.isEmpty())
        return g_override;
    static const QString folder = [] {
        const QString program = programFolder();
        if (folderIsWritable(program))
            return program;
        QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
            + QStringLiteral("/Parlo");
        QDir().mkpath(config);
        return config;
    }();
    return folder;
}

QString settingsFile()
{
    return settingsFolder() + QStringLiteral("/Parlo_Cfg.ini");
}

void setOverrideFolder(const QString &folder)
{
    g_override = folder;
}

QString productTitle()
{
    return QStringLiteral("Parlo v%1.%2.%3")
        .arg(PARLO_VERSION_MAJOR)
        .arg(PARLO_VERSION_MINOR)
        .arg(PARLO_VERSION_PATCH);
}

} // namespace AppPaths
