#pragma once
// A picture object as the drawing classes receive it: a type (bitmap, icon
// or nothing) and, for a bitmap, the bitmap handle. Copies share the one
// bitmap, which is deleted with the last copy.

#include "controls/GdiPlatform.h"

#include <QImage>
#include <QString>
#include <memory>

class GdiPicture
{
public:
    enum PictureType { PicTypeNone = 0, PicTypeBitmap = 1, PicTypeMetafile = 2, PicTypeIcon = 3 };

    GdiPicture() = default;
    static GdiPicture fromImage(const QImage &image);
    static GdiPicture fromIcon(const QImage &image);
    // A .ico file becomes an icon, anything else Qt reads a bitmap; an empty picture otherwise.
    static GdiPicture load(const QString &path);

    int Type() const { return m_type; }
    // The bitmap handle; null for an icon or an empty picture.
    gdi::HBITMAP Handle() const { return m_bitmap.get(); }
    int Width() const;
    int Height() const;
    bool isNull() const { return m_type == PicTypeNone; }
    QImage image() const;

private:
    int m_type = PicTypeNone;
    std::shared_ptr<gdi::Bitmap> m_bitmap;
    QImage m_icon;
};
