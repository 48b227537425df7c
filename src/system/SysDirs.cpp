#include "system/SysDirs.h"

#include <QStandardPaths>

namespace SysDirs
{

QString withTrailingSlash(const QString &path)
{
    if (path.isEmpty())
        return path;
    qsizetype end = path.size();
    while (end > 0 && path[end - 1] == u'/')
        --end;
    return path.left(end) + QLatin1Char('/');
}

} // namespace SysDirs

QString GetSpecialFolder(int folderId)
{
    using namespace SysDirs;
    QStandardPaths::StandardLocation location;
    switch (folderId) {
    case CSIDL_PERSONAL:
        location = QStandardPaths::DocumentsLocation;
        break;
    case CSIDL_MYMUSIC:
        location = QStandardPaths::MusicLocation;
        break;
    case CSIDL_MYVIDEO:
        location = QStandardPaths::MoviesLocation;
        break;
    case CSIDL_DESKTOPDIRECTORY:
        location = QStandardPaths::DesktopLocation;
        break;
    case CSIDL_FONTS:
        location = QStandardPaths::FontsLocation;
        break;
    case CSIDL_APPDATA:
        location = QStandardPaths::GenericConfigLocation;
        break;
    case CSIDL_LOCAL_APPDATA:
        location = QStandardPaths::GenericDataLocation;
        break;
    case CSIDL_MYPICTURES:
        location = QStandardPaths::PicturesLocation;
        break;
    case CSIDL_PROFILE:
        location = QStandardPaths::HomeLocation;
        break;
    default:
        return QString();
    }
    return withTrailingSlash(QStandardPaths::writableLocation(location));
}
