#include "shell/ProgramPictures.h"

#include "system/AppPaths.h"

#include <QGuiApplication>

QPixmap loadProgramPicture(const QString &relative, bool allowDense)
{
    const QString base = AppPaths::programFolder() + QStringLiteral("/Images/") + relative;
    QPixmap p;
    if (allowDense && qGuiApp && qGuiApp->devicePixelRatio() >= 1.5
        && p.load(base + QStringLiteral("@2x.png"))) {
        p.setDevicePixelRatio(2.0);
        return p;
    }
    p.load(base + QStringLiteral(".png"));
    return p;
}

QSize logicalSize(const QPixmap &picture)
{
    return (QSizeF(picture.size()) / picture.devicePixelRatio()).toSize();
}
