#include "controls/GdiPicture.h"

#include <QFileInfo>

GdiPicture GdiPicture::fromImage(const QImage &image)
{
    GdiPicture p;
    gdi::HBITMAP handle = gdi::CreateBitmapFromImage(image);
    if (!handle)
        return p;
    p.m_type = PicTypeBitmap;
    p.m_bitmap = std::shared_ptr<gdi::Bitmap>(handle, [](gdi::Bitmap *b) { gdi::DeleteObject(b); });
    return p;
}

GdiPicture GdiPicture::fromIcon(const QImage &image)
{
    GdiPicture p;
    if (image.isNull())
        return p;
    p.m_type = PicTypeIcon;
    p.m_icon = image;
    return p;
}

GdiPicture GdiPicture::load(const QString &path)
{
    QImage image(path);
    if (image.isNull())
        return GdiPicture();
    if (QFileInfo(path).suffix().compare(QLatin1String("ico"), Qt::CaseInsensitive) == 0)
        return fromIcon(image);
    return fromImage(image);
}

int GdiPicture::Width() const
{
    return m_bitmap ? m_bitmap->image.width() : m_icon.width();
}

int GdiPicture::Height() const
{
    return m_bitmap ? m_bitmap->image.height() : m_icon.height();
}

QImage GdiPicture::image() const
{
    return m_bitmap ? m_bitmap->image : m_icon;
}
