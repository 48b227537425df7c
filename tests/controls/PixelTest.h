#pragma once
// Helpers shared by the pixel tests of the drawing classes and controls:
// canvases in a known colour, colour reads as 0x00BBGGRR values, and
// counts of pixels that changed or carry a colour inside an area.

#include "controls/GdiPlatform.h"

#include <QImage>
#include <QRect>

namespace PixelTest
{

inline QImage canvas(int w, int h, OleColor colour)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(gdi::toRgb(colour));
    return img;
}

inline OleColor at(const QImage &img, int x, int y)
{
    return gdi::fromRgb(img.pixel(x, y));
}

// Pixels of colour inside area (the whole image when area is empty).
inline int count(const QImage &img, OleColor colour, QRect area = QRect())
{
    if (area.isEmpty())
        area = img.rect();
    area = area.intersected(img.rect());
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += at(img, x, y) == colour ? 1 : 0;
    return n;
}

// Pixels that differ between two images of the same size, outside keep.
inline int changedOutside(const QImage &before, const QImage &after, QRect keep)
{
    int n = 0;
    for (int y = 0; y < before.height(); ++y)
        for (int x = 0; x < before.width(); ++x)
            if (!keep.contains(x, y) && before.pixel(x, y) != after.pixel(x, y))
                ++n;
    return n;
}

} // namespace PixelTest
