#pragma once
// The drawing platform the toolkit is written against: device contexts,
// bitmaps, pens and brushes as small handle objects over QImage. It keeps
// the pixel rules the owner-drawn controls were designed for, which a
// QPainter alone does not: a line covers its start point and stops one pixel
// short of its end, a filled rectangle covers left .. right - 1, bitmaps are
// copied with raster operations (copy, AND, XOR, invert) and converted
// between colour and monochrome through a context's background and text
// colours. Nothing is antialiased, so every pixel is predictable.
//
// Handles are plain pointers; a null handle is accepted everywhere and
// draws nothing. Every object made by a Create* call is counted until it is
// deleted, so callers and tests can check that nothing accumulates.

#include "controls/TranslateColor.h"

#include <QByteArray>
#include <QFont>
#include <QImage>
#include <QPoint>
#include <QString>

#include <functional>

class QWidget;

namespace gdi
{

class DeviceContext;
class Bitmap;
class Pen;
class Brush;

using HDC = DeviceContext *;
using HBITMAP = Bitmap *;
using HPEN = Pen *;
using HBRUSH = Brush *;
using HFONT = const QFont *;
using HWND = QWidget *;

enum BkMode : int { TRANSPARENT = 1, OPAQUE = 2 };
enum Rop2Mode : int { R2_NOT = 6, R2_COPYPEN = 13 };

// Raster operations of the block copies.
enum RasterOp : quint32 {
    SRCCOPY = 0x00CC0020,
    SRCPAINT = 0x00EE0086,
    SRCAND = 0x008800C6,
    SRCINVERT = 0x00660046,
    NOTSRCCOPY = 0x00330008,
    DSTINVERT = 0x00550009,
};

// Text layout flags.
enum TextFlag : int {
    DT_LEFT = 0x0,
    DT_TOP = 0x0,
    DT_CENTER = 0x1,
    DT_RIGHT = 0x2,
    DT_VCENTER = 0x4,
    DT_BOTTOM = 0x8,
    DT_SINGLELINE = 0x20,
    DT_NOCLIP = 0x100,
};

constexpr OleColor CLR_INVALID = -1;

class Bitmap
{
public:
    Bitmap(int width, int height, bool mono);
    explicit Bitmap(const QImage &image);
    ~Bitmap();
    Bitmap(const Bitmap &) = delete;
    Bitmap &operator=(const Bitmap &) = delete;

    QImage image; // Format_RGB32; a monochrome bitmap holds only black and white
    bool mono = false;
    DeviceContext *selectedIn = nullptr;
};

class Pen
{
public:
    Pen(OleColor colour, int width, bool null);
    ~Pen();
    OleColor colour;
    int width;
    bool null;
    int selections = 0; // contexts it is selected into
    bool pendingDelete = false;
};

class Brush
{
public:
    Brush(OleColor colour, bool null, const QImage &pattern = QImage());
    ~Brush();
    OleColor colour;
    bool null;
    QImage pattern;
    int selections = 0; // contexts it is selected into
    bool pendingDelete = false;
};

class DeviceContext
{
public:
    enum Kind { Memory, Surface, Display };
    DeviceContext(Kind kind, QImage *surface);
    ~DeviceContext();
    DeviceContext(const DeviceContext &) = delete;
    DeviceContext &operator=(const DeviceContext &) = delete;

    // The pixels this context draws into: its selected bitmap or its surface.
    QImage *target() const;
    bool isMono() const;

    Kind kind;
    QImage *surface = nullptr;
    Bitmap *bitmap = nullptr;
    Bitmap *defaultBitmap = nullptr; // the 1 x 1 monochrome bitmap a memory context starts with
    Pen *pen = nullptr;
    Brush *brush = nullptr;
    HFONT font = nullptr;
    OleColor textColor = 0;
    OleColor bkColor = 0xFFFFFF;
    int bkMode = OPAQUE;
    int rop2 = R2_COPYPEN;
    QPoint position;
    // Called after every drawing call on this context, so a window can show the result.
    std::function<void()> changed;
};

// Objects made by the Create* calls and not yet deleted (stock objects excluded).
int liveObjects();

// Contexts.
HDC CreateImageDC(QImage *surface);
HDC CreateDisplayDC();
HDC CreateCompatibleDC(HDC dc);
bool DeleteDC(HDC dc);

// Bitmaps, pens and brushes.
HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height);
HBITMAP CreateMonoBitmap(int width, int height);
HBITMAP CreateBitmapFromImage(const QImage &image);
HPEN CreatePen(int width, OleColor colour);
HBRUSH CreateSolidBrush(OleColor colour);
HBRUSH CreatePatternBrush(HBITMAP bitmap);
HBRUSH StockNullBrush();
HPEN StockBlackPen();
HBRUSH StockWhiteBrush();
// Fails (false) for a null handle, a stock object or a bitmap still selected somewhere.
bool DeleteObject(HBITMAP bitmap);
bool DeleteObject(HPEN pen);
bool DeleteObject(HBRUSH brush);
QSize BitmapSize(HBITMAP bitmap);

// Selection returns the previous object (null on a null context or object).
HBITMAP SelectObject(HDC dc, HBITMAP bitmap);
HPEN SelectObject(HDC dc, HPEN pen);
HBRUSH SelectObject(HDC dc, HBRUSH brush);
HFONT SelectObject(HDC dc, HFONT font);

// Context attributes; each returns the previous value.
int SetBkMode(HDC dc, int mode);
OleColor SetBkColor(HDC dc, OleColor colour);
OleColor SetTextColor(HDC dc, OleColor colour);
int SetROP2(HDC dc, int mode);

// Pixels, lines and shapes.
OleColor SetPixel(HDC dc, int x, int y, OleColor colour);
OleColor GetPixel(HDC dc, int x, int y);
void MoveToEx(HDC dc, int x, int y);
void LineTo(HDC dc, int x, int y);
void FillRect(HDC dc, int left, int top, int right, int bottom, HBRUSH brush);
void Rectangle(HDC dc, int left, int top, int right, int bottom);
void RoundRect(HDC dc, int left, int top, int right, int bottom, int ellipseW, int ellipseH);
// Returns the height of the drawn text, 0 when nothing could be drawn.
int DrawTextW(HDC dc, const QString &text, int left, int top, int right, int bottom, int flags);

// Block copies. Pixels outside either image are left alone.
bool BitBlt(HDC dst, int x, int y, int w, int h, HDC src, int srcX, int srcY, quint32 rop);
bool StretchBlt(HDC dst, int x, int y, int w, int h, HDC src, int srcX, int srcY, int srcW,
    int srcH, quint32 rop);
bool TransparentBlt(HDC dst, int x, int y, int w, int h, HDC src, int srcX, int srcY, int srcW,
    int srcH, OleColor key);

// The client rectangle (0, 0, width, height) of a window.
QRect GetClientRect(HWND wnd);

// The top-left width x height pixels of what dc draws into, as a bottom-up
// 1-bit device-independent bitmap: rows padded to 4 bytes, bit set for
// pixels nearer white than black (pixels beyond the image are black);
// palette receives the two 4-byte colour entries (black, white). Empty when
// dc has no pixels or the size is not positive.
QByteArray GetMonoDIBits(HDC dc, int width, int height, QByteArray *palette);

// QImage colours from and to 0x00BBGGRR values.
QRgb toRgb(OleColor colour);
OleColor fromRgb(QRgb rgb);

} // namespace gdi
