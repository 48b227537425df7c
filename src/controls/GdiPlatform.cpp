#include "controls/GdiPlatform.h"

#include <utility>

namespace gdi
{

namespace
{
int g_liveObjects = 0;

constexpr QRgb kBlack = 0xFF000000u;

Pen g_stockBlackPen(0, 1, false);
Brush g_stockWhiteBrush(0xFFFFFF, false);
Brush g_stockNullBrush(0, true);

bool isStock(const Pen *pen)
{
    return pen == &g_stockBlackPen;
}
bool isStock(const Brush *brush)
{
    return brush == &g_stockWhiteBrush || brush == &g_stockNullBrush;
}

// Pens and brushes may be deleted while still selected somewhere; they then
// live on until the last context lets go of them, so no context ever holds
// a dangling pointer.
template<typename T> void addSelection(T *object)
{
    if (object && !isStock(object))
        object->selections++;
}

// True when the object went away because it had been deleted while selected.
template<typename T> bool removeSelection(T *object)
{
    if (!object || isStock(object))
        return false;
    if (--object->selections <= 0 && object->pendingDelete) {
        delete object;
        return true;
    }
    return false;
}

// Puts object in the context's slot and returns the previous one (null if
// that one went away on being let go).
template<typename T> T *selectDrawingObject(HDC dc, T *object, T *DeviceContext::*slot)
{
    if (!dc || !object)
        return nullptr;
    T *previous = dc->*slot;
    if (previous == object)
        return previous;
    addSelection(object);
    dc->*slot = object;
    return removeSelection(previous) ? nullptr : previous;
}

template<typename T> bool deleteDrawingObject(T *object)
{
    if (!object || isStock(object) || object->pendingDelete)
        return false;
    --g_liveObjects;
    if (object->selections > 0) {
        object->pendingDelete = true;
        return true;
    }
    delete object;
    return true;
}
} // namespace

QRgb toRgb(OleColor colour)
{
    return qRgb(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

OleColor fromRgb(QRgb rgb)
{
    return rgbColor(qRed(rgb), qGreen(rgb), qBlue(rgb));
}

Bitmap::Bitmap(int width, int height, bool isMono)
    : image(width, height, QImage::Format_RGB32)
    , mono(isMono)
{
    image.fill(kBlack);
}

Bitmap::Bitmap(const QImage &source)
    : image(source.convertToFormat(QImage::Format_RGB32))
{
}

Bitmap::~Bitmap() = default;

Pen::Pen(OleColor c, int w, bool n)
    : colour(c)
    , width(w)
    , null(n)
{
}
Pen::~Pen() = default;

Brush::Brush(OleColor c, bool n, const QImage &p)
    : colour(c)
    , null(n)
    , pattern(p)
{
}
Brush::~Brush() = default;

DeviceContext::DeviceContext(Kind k, QImage *s)
    : kind(k)
    , surface(s)
    , pen(&g_stockBlackPen)
    , brush(&g_stockWhiteBrush)
{
    if (kind == Memory) {
        defaultBitmap = new Bitmap(1, 1, true);
        defaultBitmap->selectedIn = this;
    }
}

DeviceContext::~DeviceContext()
{
    if (bitmap)
        bitmap->selectedIn = nullptr;
    delete defaultBitmap;
    removeSelection(pen);
    removeSelection(brush);
}

QImage *DeviceContext::target() const
{
    switch (kind) {
    case Memory:
        return bitmap ? &bitmap->image : &defaultBitmap->image;
    case Surface:
        return (surface && !surface->isNull()) ? surface : nullptr;
    case Display:
        return nullptr;
    }
    return nullptr;
}

bool DeviceContext::isMono() const
{
    if (kind != Memory)
        return false;
    return bitmap ? bitmap->mono : true;
}

int liveObjects()
{
    return g_liveObjects;
}

HDC CreateImageDC(QImage *surface)
{
    if (!surface)
        return nullptr;
    ++g_liveObjects;
    return new DeviceContext(DeviceContext::Surface, surface);
}

HDC CreateDisplayDC()
{
    ++g_liveObjects;
    return new DeviceContext(DeviceContext::Display, nullptr);
}

HDC CreateCompatibleDC(HDC)
{
    ++g_liveObjects;
    return new DeviceContext(DeviceContext::Memory, nullptr);
}

bool DeleteDC(HDC dc)
{
    if (!dc)
        return false;
    --g_liveObjects;
    delete dc;
    return true;
}

HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height)
{
    if (!dc || width <= 0 || height <= 0)
        return nullptr;
    auto *bmp = new Bitmap(width, height, dc->isMono());
    if (bmp->image.isNull()) {
        delete bmp;
        return nullptr;
    }
    ++g_liveObjects;
    return bmp;
}

HBITMAP CreateMonoBitmap(int width, int height)
{
    if (width <= 0 || height <= 0)
        return nullptr;
    auto *bmp = new Bitmap(width, height, true);
    if (bmp->image.isNull()) {
        delete bmp;
        return nullptr;
    }
    ++g_liveObjects;
    return bmp;
}

HBITMAP CreateBitmapFromImage(const QImage &image)
{
    if (image.isNull())
        return nullptr;
    ++g_liveObjects;
    return new Bitmap(image);
}

HPEN CreatePen(int width, OleColor colour)
{
    ++g_liveObjects;
    return new Pen(colour, std::max(width, 1), false);
}

HBRUSH CreateSolidBrush(OleColor colour)
{
    ++g_liveObjects;
    return new Brush(colour, false);
}

HBRUSH CreatePatternBrush(HBITMAP bitmap)
{
    if (!bitmap)
        return nullptr;
    ++g_liveObjects;
    return new Brush(0, false, bitmap->image);
}

HBRUSH StockNullBrush()
{
    return &g_stockNullBrush;
}

HPEN StockBlackPen()
{
    return &g_stockBlackPen;
}

HBRUSH StockWhiteBrush()
{
    return &g_stockWhiteBrush;
}

bool DeleteObject(HBITMAP bitmap)
{
    if (!bitmap || bitmap->selectedIn)
        return false;
    --g_liveObjects;
    delete bitmap;
    return true;
}

bool DeleteObject(HPEN pen)
{
    return deleteDrawingObject(pen);
}

bool DeleteObject(HBRUSH brush)
{
    return deleteDrawingObject(brush);
}

QSize BitmapSize(HBITMAP bitmap)
{
    return bitmap ? bitmap->image.size() : QSize();
}

HBITMAP SelectObject(HDC dc, HBITMAP bitmap)
{
    if (!dc || !bitmap || dc->kind != DeviceContext::Memory)
        return nullptr;
    if (bitmap->selectedIn && bitmap->selectedIn != dc)
        return nullptr;
    Bitmap *previous = dc->bitmap ? dc->bitmap : dc->defaultBitmap;
    if (previous == bitmap)
        return previous;
    if (dc->bitmap)
        dc->bitmap->selectedIn = nullptr;
    if (bitmap == dc->defaultBitmap) {
        dc->bitmap = nullptr;
    } else {
        dc->bitmap = bitmap;
        bitmap->selectedIn = dc;
    }
    return previous;
}

HPEN SelectObject(HDC dc, HPEN pen)
{
    return selectDrawingObject(dc, pen, &DeviceContext::pen);
}

HBRUSH SelectObject(HDC dc, HBRUSH brush)
{
    return selectDrawingObject(dc, brush, &DeviceContext::brush);
}

HFONT SelectObject(HDC dc, HFONT font)
{
    if (!dc)
        return nullptr;
    HFONT previous = dc->font;
    dc->font = font;
    return previous;
}

int SetBkMode(HDC dc, int mode)
{
    if (!dc)
        return 0;
    return std::exchange(dc->bkMode, mode);
}

OleColor SetBkColor(HDC dc, OleColor colour)
{
    if (!dc)
        return CLR_INVALID;
    return std::exchange(dc->bkColor, colour);
}

OleColor SetTextColor(HDC dc, OleColor colour)
{
    if (!dc)
        return CLR_INVALID;
    return std::exchange(dc->textColor, colour);
}

int SetROP2(HDC dc, int mode)
{
    if (!dc)
        return 0;
    return std::exchange(dc->rop2, mode);
}

} // namespace gdi
