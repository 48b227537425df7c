#pragma once
// Helpers shared by the pixel tests of the drawing classes and controls:
// canvases in a known colour, colour reads as 0x00BBGGRR values, counts,
// boxes and sets of colours inside an area, and checks of listed pixels.

#include "controls/GdiPlatform.h"

#include <QImage>
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

// Calls f(x, y, rgb) for every pixel inside area (the whole image when empty).
template<typename F> void each(const QImage &img, QRect area, F f)
{
    area = area.isEmpty() ? img.rect() : area.intersected(img.rect());
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            f(x, y, img.pixel(x, y));
}

// Pixels of colour inside area.
inline int count(const QImage &img, OleColor colour, QRect area = QRect())
{
    int n = 0;
    each(img, area, [&](int, int, QRgb p) { n += gdi::fromRgb(p) == colour; });
    return n;
}

// Pixels that differ between two images of the same size, outside keep.
inline int changedOutside(const QImage &before, const QImage &after, QRect keep)
{
    int n = 0;
    each(before, {},
        [&](int x, int y, QRgb p) { n += !keep.contains(x, y) && p != after.pixel(x, y); });
    return n;
}

// Bounding box of the pixels inside area that are (or, with `other`, are
// not) of raw colour `rgb`.
inline QRect boxOf(const QImage &img, QRgb rgb, QRect area = QRect(), bool other = false)
{
    QRect box;
    each(img, area, [&](int x, int y, QRgb p) {
        if ((p == rgb) != other)
            box |= QRect(x, y, 1, 1);
    });
    return box;
}

// The raw QRgb values found inside area.
inline QSet<QRgb> colours(const QImage &img, QRect area = QRect())
{
    QSet<QRgb> set;
    each(img, area, [&](int, int, QRgb p) { set.insert(p); });
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
    each(dense, {}, [&](int x, int y, QRgb p) {
        if (p != plain.pixel(x / 2, y / 2))
            box |= QRect(x, y, 1, 1);
    });
    return box;
}

// One pixel and the colour it must have, as 0x00BBGGRR or as raw QRgb.
struct Px {
    int x;
    int y;
    OleColor colour;
};
struct RawPx {
    int x;
    int y;
    QRgb rgb;
};

// Checks every listed pixel, naming the first one that is wrong.
inline void expectRgb(const QImage &img, std::initializer_list<RawPx> pixels)
{
    for (const RawPx &p : pixels) {
        const auto seen
            = [&](QRgb rgb) { return QString::asprintf("(%d, %d) #%08x", p.x, p.y, rgb); };
        QCOMPARE(seen(img.pixel(p.x, p.y)), seen(p.rgb));
    }
}
inline void expect(const QImage &img, std::initializer_list<Px> pixels)
{
    for (const Px &p : pixels)
        expectRgb(img, {{p.x, p.y, gdi::toRgb(p.colour)}});
}

} // namespace PixelTest
