#pragma once
// Helpers shared by the pixel tests of the drawing classes and controls:
// canvases in a known colour, colour reads as 0x00BBGGRR values, counts
// of pixels that changed or carry a colour inside an area, the box and the
// set of colours drawn, and checks of listed pixels.

#include "controls/GdiPlatform.h"

#include <QImage>
#include <QRect>
#include <QSet>
#include <QtTest>
#include <initializer_list>

namespace PixelTest
{

inline QImage canvas(int w, int h, OleColor colour)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(gdi::toRgb(colour));
    return img;
}

// A canvas with its own context, the way a window's surface is drawn on.
struct Target {
    Target(int w, int h, OleColor fill)
        : image(canvas(w, h, fill))
        , dc(gdi::CreateImageDC(&image))
    {
    }
    ~Target() { gdi::DeleteDC(dc); }
    Target(const Target &) = delete;
    Target &operator=(const Target &) = delete;
    QImage image;
    gdi::HDC dc;
};

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

// Bounding box of the pixels that differ from background inside area (the
// whole image when area is empty), in raw QRgb values.
inline QRect inkBox(const QImage &img, QRgb background, QRect area = QRect())
{
    area = area.isEmpty() ? img.rect() : area.intersected(img.rect());
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (img.pixel(x, y) != background)
                box |= QRect(x, y, 1, 1);
    return box;
}

// Bounding box of the pixels of raw QRgb colour inside area (the whole
// image when area is empty).
inline QRect boxOf(const QImage &img, QRgb colour, QRect area = QRect())
{
    area = area.isEmpty() ? img.rect() : area.intersected(img.rect());
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (img.pixel(x, y) == colour)
                box |= QRect(x, y, 1, 1);
    return box;
}

// The raw QRgb values found inside area (the whole image when empty).
inline QSet<QRgb> colours(const QImage &img, QRect area = QRect())
{
    area = area.isEmpty() ? img.rect() : area.intersected(img.rect());
    QSet<QRgb> set;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            set.insert(img.pixel(x, y));
    return set;
}

// Where `dense`, drawn at twice the density of `plain`, differs from `plain`
// with every pixel doubled: the box of those device pixels, empty when dense
// is nothing but the enlargement.
inline QRect differenceFromDoubled(const QImage &plain, const QImage &dense)
{
    if (dense.size() != plain.size() * 2)
        return dense.rect();
    QRect box;
    for (int y = 0; y < dense.height(); ++y)
        for (int x = 0; x < dense.width(); ++x)
            if (dense.pixel(x, y) != plain.pixel(x / 2, y / 2))
                box |= QRect(x, y, 1, 1);
    return box;
}

// The rectangle r at twice the density, grown by margin device pixels.
inline QRect doubled(const QRect &r, int margin)
{
    return QRect(r.topLeft() * 2, r.size() * 2).adjusted(-margin, -margin, margin, margin);
}

// One pixel and the colour it must have.
struct Px {
    int x;
    int y;
    OleColor colour;
};

// Checks every listed pixel, naming the first one that is wrong.
inline void expect(const QImage &img, std::initializer_list<Px> pixels)
{
    for (const Px &p : pixels) {
        const OleColor got = at(img, p.x, p.y);
        QVERIFY2(got == p.colour,
            qPrintable(QStringLiteral("pixel (%1, %2) is %3, expected %4")
                           .arg(p.x)
                           .arg(p.y)
                           .arg(got, 6, 16, QLatin1Char('0'))
                           .arg(p.colour, 6, 16, QLatin1Char('0'))));
    }
}

} // namespace PixelTest
