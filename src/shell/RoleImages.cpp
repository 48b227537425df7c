#include "shell/RoleImages.h"

#include "shell/RoleImageData.h"
#include "system/Log.h"

#include <QImage>

ImageList BuiltInRoleImages(bool female)
{
    ImageList list;
    for (const RoleImageData::Entry &entry : RoleImageData::entries()) {
        if (entry.female != female)
            continue;
        const QImage image = QImage::fromData(entry.png, int(entry.size), "PNG");
        if (image.isNull()) {
            qCWarning(lcShell) << "built-in role picture" << entry.key << "could not be read";
            continue;
        }
        list.Add(QString::fromLatin1(entry.key),
            GdiPicture::fromImage(image.convertToFormat(QImage::Format_RGB32)));
    }
    return list;
}
