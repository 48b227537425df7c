// Pixels, lines, shapes, text and block copies of the drawing platform.
#include "controls/GdiPlatform.h"

#include <QPainter>
#include <QPainterPath>
#include <QWidget>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace gdi
{

namespace
{
constexpr QRgb kBlack = 0xFF000000u;
constexpr QRgb kWhite = 0xFFFFFFFFu;

bool nearerWhite(QRgb c)
{
    const int r = qRed(c), g = qGreen(c), b = qBlue(c);
    const int toBlack = r * r + g * g + b * b;
    const int toWhite = (255 - r) * (255 - r) + (255 - g) * (255 - g) + (255 - b) * (255 - b);
    return toWhite < toBlack;
}

// The colour as it lands on the target: black or white on a monochrome one.
QRgb deviceColour(const DeviceContext *dc, OleColor colour)
{
    const QRgb rgb = toRgb(TranslateColor(colour));
    if (dc->isMono())
        return nearerWhite(rgb) ? kWhite : kBlack;
    return rgb;
}

void plot(DeviceContext *dc, QImage *img, int x, int y, QRgb rgb)
{
    if (x < 0 || y < 0 || x >= img->width() || y >= img->height())
        return;
    QRgb *line = reinterpret_cast<QRgb *>(img->scanLine(y));
    if (dc->rop2 == R2_NOT)
        line[x] = 0xFF000000u | (~line[x] & 0x00FFFFFFu);
    else
        line[x] = rgb;
}

// Pixels touched by one shape, so that an inverting pen touches each once.
class PixelMask
{
public:
    PixelMask(int w, int h)
        : m_w(w)
        , m_h(h)
        , m_bits(static_cast<size_t>(std::max(w, 0)) * static_cast<size_t>(std::max(h, 0)), 0)
    {
    }
    void set(int x, int y)
    {
        if (x >= 0 && y >= 0 && x < m_w && y < m_h)
            m_bits[static_cast<size_t>(y) * m_w + x] = 1;
    }
    void clear(int x, int y)
    {
        if (x >= 0 && y >= 0 && x < m_w && y < m_h)
            m_bits[static_cast<size_t>(y) * m_w + x] = 0;
    }
    bool test(int x, int y) const { return m_bits[static_cast<size_t>(y) * m_w + x] != 0; }
    void addImage(const QImage &painted)
    {
        for (int y = 0; y < m_h; ++y)
            for (int x = 0; x < m_w; ++x)
                if (qAlpha(painted.pixel(x, y)) != 0)
                    set(x, y);
    }
    void subtract(const PixelMask &other)
    {
        for (size_t i = 0; i < m_bits.size(); ++i)
            if (other.m_bits[i])
                m_bits[i] = 0;
    }
    void apply(DeviceContext *dc, QImage *img, QRgb rgb) const
    {
        for (int y = 0; y < m_h; ++y)
            for (int x = 0; x < m_w; ++x)
                if (test(x, y))
                    plot(dc, img, x, y, rgb);
    }
    void applyPattern(DeviceContext *dc, QImage *img, const Brush *brush) const
    {
        if (brush->pattern.isNull()) {
            apply(dc, img, deviceColour(dc, brush->colour));
            return;
        }
        const QImage &p = brush->pattern;
        for (int y = 0; y < m_h; ++y)
            for (int x = 0; x < m_w; ++x)
                if (test(x, y))
                    plot(dc, img, x, y, p.pixel(x % p.width(), y % p.height()));
    }

private:
    int m_w;
    int m_h;
    std::vector<unsigned char> m_bits;
};

QImage paintLayer(const QImage *target)
{
    QImage layer(target->size(), QImage::Format_ARGB32_Premultiplied);
    layer.fill(Qt::transparent);
    return layer;
}

// Bresenham from (x1, y1) towards (x2, y2), the end point itself excluded.
void lineMask(PixelMask &mask, int x1, int y1, int x2, int y2)
{
    const int dx = std::abs(x2 - x1), dy = -std::abs(y2 - y1);
    const int sx = x1 < x2 ? 1 : -1, sy = y1 < y2 ? 1 : -1;
    int err = dx + dy;
    int x = x1, y = y1;
    while (x != x2 || y != y2) {
        mask.set(x, y);
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}
} // namespace

OleColor SetPixel(HDC dc, int x, int y, OleColor colour)
{
    QImage *img = dc ? dc->target() : nullptr;
    if (!img || x < 0 || y < 0 || x >= img->width() || y >= img->height())
        return CLR_INVALID;
    const QRgb rgb = deviceColour(dc, colour);
    reinterpret_cast<QRgb *>(img->scanLine(y))[x] = rgb;
    return fromRgb(rgb);
}

OleColor GetPixel(HDC dc, int x, int y)
{
    QImage *img = dc ? dc->target() : nullptr;
    if (!img || x < 0 || y < 0 || x >= img->width() || y >= img->height())
        return CLR_INVALID;
    return fromRgb(img->pixel(x, y));
}

void MoveToEx(HDC dc, int x, int y)
{
    if (dc)
        dc->position = QPoint(x, y);
}

void LineTo(HDC dc, int x, int y)
{
    if (!dc)
        return;
    const QPoint from = dc->position;
    dc->position = QPoint(x, y);
    QImage *img = dc->target();
    if (!img || dc->pen->null)
        return;
    PixelMask mask(img->width(), img->height());
    if (dc->pen->width <= 1) {
        lineMask(mask, from.x(), from.y(), x, y);
    } else {
        QImage layer = paintLayer(img);
        QPainter p(&layer);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(QPen(Qt::black, dc->pen->width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawLine(QPointF(from) + QPointF(0.5, 0.5), QPointF(x, y) + QPointF(0.5, 0.5));
        p.end();
        mask.addImage(layer);
    }
    mask.apply(dc, img, deviceColour(dc, dc->pen->colour));
}

void FillRect(HDC dc, int left, int top, int right, int bottom, HBRUSH brush)
{
    QImage *img = dc ? dc->target() : nullptr;
    if (!img || !brush || brush->null)
        return;
    const int x0 = std::max(left, 0), y0 = std::max(top, 0);
    const int x1 = std::min(right, img->width()), y1 = std::min(bottom, img->height());
    const QRgb rgb = deviceColour(dc, brush->colour);
    const QImage &pattern = brush->pattern;
    for (int y = y0; y < y1; ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(img->scanLine(y));
        for (int x = x0; x < x1; ++x)
            line[x]
                = pattern.isNull() ? rgb : pattern.pixel(x % pattern.width(), y % pattern.height());
    }
}

void Rectangle(HDC dc, int left, int top, int right, int bottom)
{
    QImage *img = dc ? dc->target() : nullptr;
    if (!img)
        return;
    if (left > right)
        std::swap(left, right);
    if (top > bottom)
        std::swap(top, bottom);
    const int w = img->width(), h = img->height();
    PixelMask outline(w, h);
    const bool hasPen = !dc->pen->null;
    if (hasPen) {
        if (dc->pen->width <= 1) {
            for (int x = left; x < right; ++x) {
                outline.set(x, top);
                outline.set(x, bottom - 1);
            }
            for (int y = top; y < bottom; ++y) {
                outline.set(left, y);
                outline.set(right - 1, y);
            }
        } else {
            QImage layer = paintLayer(img);
            QPainter p(&layer);
            p.setRenderHint(QPainter::Antialiasing, false);
            p.setPen(QPen(Qt::black, dc->pen->width, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
            p.setBrush(Qt::NoBrush);
            p.drawRect(QRectF(left + 0.5, top + 0.5, right - left - 1, bottom - top - 1));
            p.end();
            outline.addImage(layer);
        }
    }
    if (!dc->brush->null) {
        PixelMask inside(w, h);
        const int inset = hasPen ? 1 : 0;
        for (int y = top + inset; y < bottom - 1; ++y)
            for (int x = left + inset; x < right - 1; ++x)
                inside.set(x, y);
        inside.subtract(outline);
        inside.applyPattern(dc, img, dc->brush);
    }
    if (hasPen)
        outline.apply(dc, img, deviceColour(dc, dc->pen->colour));
}

void RoundRect(HDC dc, int left, int top, int right, int bottom, int ellipseW, int ellipseH)
{
    QImage *img = dc ? dc->target() : nullptr;
    if (!img)
        return;
    if (left > right)
        std::swap(left, right);
    if (top > bottom)
        std::swap(top, bottom);
    const QRectF box(left, top, right - left - 1, bottom - top - 1);
    QPainterPath path;
    path.addRoundedRect(box, ellipseW / 2.0, ellipseH / 2.0);
    const int w = img->width(), h = img->height();
    PixelMask outline(w, h);
    const bool hasPen = !dc->pen->null;
    if (hasPen) {
        QImage layer = paintLayer(img);
        QPainter p(&layer);
        p.setRenderHint(QPainter::Antialiasing, false);
        const int pw = dc->pen->width;
        p.setPen(pw <= 1 ? QPen(Qt::black, 0) : QPen(Qt::black, pw));
        p.setBrush(Qt::NoBrush);
        p.drawPath(path);
        p.end();
        outline.addImage(layer);
    }
    if (!dc->brush->null) {
        QImage layer = paintLayer(img);
        QPainter p(&layer);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.fillPath(path, Qt::black);
        p.end();
        PixelMask inside(w, h);
        inside.addImage(layer);
        inside.subtract(outline);
        inside.applyPattern(dc, img, dc->brush);
    }
    if (hasPen)
        outline.apply(dc, img, deviceColour(dc, dc->pen->colour));
}

int DrawTextW(HDC dc, const QString &text, int left, int top, int right, int bottom, int flags)
{
    QImage *img = dc ? dc->target() : nullptr;
    if (!img)
        return 0;
    const qsizetype nul = text.indexOf(QChar(0));
    const QString shown = nul >= 0 ? text.left(nul) : text;

    int align = (flags & DT_CENTER) ? Qt::AlignHCenter
        : (flags & DT_RIGHT)        ? Qt::AlignRight
                                    : Qt::AlignLeft;
    if (flags & DT_SINGLELINE) {
        align |= (flags & DT_VCENTER) ? Qt::AlignVCenter
            : (flags & DT_BOTTOM)     ? Qt::AlignBottom
                                      : Qt::AlignTop;
        align |= Qt::TextSingleLine;
    } else {
        align |= Qt::AlignTop;
    }
    align |= Qt::TextShowMnemonic;

    const QRect rect(QPoint(left, top), QPoint(right - 1, bottom - 1));
    QPainter p(img);
    QFont font = dc->font ? *dc->font : QFont();
    if (dc->isMono())
        font.setStyleStrategy(QFont::NoAntialias);
    p.setFont(font);
    if (!(flags & DT_NOCLIP))
        p.setClipRect(rect);
    const QRect bounds = p.boundingRect(rect, align, shown);
    if (dc->bkMode == OPAQUE && !shown.isEmpty())
        p.fillRect(bounds, QColor::fromRgb(deviceColour(dc, dc->bkColor)));
    p.setPen(QColor::fromRgb(deviceColour(dc, dc->textColor)));
    p.drawText(rect, align, shown);
    return std::max(bounds.height(), 1);
}

namespace
{
bool usesSource(quint32 rop)
{
    return rop != DSTINVERT;
}

QRgb combine(quint32 rop, QRgb d, QRgb s)
{
    quint32 r = 0;
    switch (rop) {
    case SRCCOPY:
        r = s;
        break;
    case SRCPAINT:
        r = d | s;
        break;
    case SRCAND:
        r = d & s;
        break;
    case SRCINVERT:
        r = d ^ s;
        break;
    case NOTSRCCOPY:
        r = ~s;
        break;
    case DSTINVERT:
        r = ~d;
        break;
    default:
        r = s;
        break;
    }
    return 0xFF000000u | (r & 0x00FFFFFFu);
}

// A source pixel as it arrives in the destination's format.
QRgb convertPixel(QRgb s, const DeviceContext *src, const DeviceContext *dst)
{
    const bool srcMono = src->isMono(), dstMono = dst->isMono();
    if (srcMono && !dstMono)
        return (s & 0x00FFFFFFu) ? deviceColour(dst, dst->bkColor)
                                 : deviceColour(dst, dst->textColor);
    if (!srcMono && dstMono)
        return ((s & 0x00FFFFFFu) == (toRgb(TranslateColor(src->bkColor)) & 0x00FFFFFFu)) ? kWhite
                                                                                          : kBlack;
    return s;
}

// Copies w x h destination pixels from a source rectangle of srcW x srcH,
// nearest neighbour when the sizes differ; skip decides which source pixels
// leave the destination alone.
template<typename Skip>
bool blit(HDC dst, int x, int y, int w, int h, HDC src, int srcX, int srcY, int srcW, int srcH,
    quint32 rop, Skip skip)
{
    QImage *d = dst ? dst->target() : nullptr;
    if (!d || w <= 0 || h <= 0)
        return false;
    const bool needsSource = usesSource(rop);
    QImage *s = (needsSource && src) ? src->target() : nullptr;
    if (needsSource && !s)
        return false;
    QImage source;
    if (s)
        source = s->copy(); // the source may be the destination itself
    for (int j = 0; j < h; ++j) {
        const int dy = y + j;
        if (dy < 0 || dy >= d->height())
            continue;
        QRgb *line = reinterpret_cast<QRgb *>(d->scanLine(dy));
        const int sy = srcY + (srcH == h ? j : static_cast<int>(static_cast<qint64>(j) * srcH / h));
        for (int i = 0; i < w; ++i) {
            const int dx = x + i;
            if (dx < 0 || dx >= d->width())
                continue;
            QRgb sp = 0;
            if (needsSource) {
                const int sx
                    = srcX + (srcW == w ? i : static_cast<int>(static_cast<qint64>(i) * srcW / w));
                if (sx < 0 || sy < 0 || sx >= source.width() || sy >= source.height())
                    continue;
                const QRgb raw = source.pixel(sx, sy);
                if (skip(raw))
                    continue;
                sp = convertPixel(raw, src, dst);
            }
            line[dx] = combine(rop, line[dx], sp);
        }
    }
    return true;
}
} // namespace

bool BitBlt(HDC dst, int x, int y, int w, int h, HDC src, int srcX, int srcY, quint32 rop)
{
    return blit(dst, x, y, w, h, src, srcX, srcY, w, h, rop, [](QRgb) { return false; });
}

bool StretchBlt(HDC dst, int x, int y, int w, int h, HDC src, int srcX, int srcY, int srcW,
    int srcH, quint32 rop)
{
    if (srcW <= 0 || srcH <= 0)
        return false;
    return blit(dst, x, y, w, h, src, srcX, srcY, srcW, srcH, rop, [](QRgb) { return false; });
}

bool TransparentBlt(HDC dst, int x, int y, int w, int h, HDC src, int srcX, int srcY, int srcW,
    int srcH, OleColor key)
{
    if (srcW <= 0 || srcH <= 0)
        return false;
    const QRgb k = toRgb(TranslateColor(key)) & 0x00FFFFFFu;
    return blit(dst, x, y, w, h, src, srcX, srcY, srcW, srcH, SRCCOPY,
        [k](QRgb s) { return (s & 0x00FFFFFFu) == k; });
}

QRect GetClientRect(HWND wnd)
{
    return wnd ? QRect(0, 0, wnd->width(), wnd->height()) : QRect();
}

QByteArray GetMonoDIBits(HDC dc, int width, int height, QByteArray *palette)
{
    if (palette) {
        static const char entries[8] = {0, 0, 0, 0, '\xFF', '\xFF', '\xFF', 0};
        *palette = QByteArray(entries, 8);
    }
    const QImage *img = dc ? dc->target() : nullptr;
    if (!img || width <= 0 || height <= 0)
        return QByteArray();
    const bool mono = dc->isMono();
    const qsizetype rowSize = ((static_cast<qsizetype>(width) + 31) / 32) * 4;
    QByteArray bits(rowSize * height, '\0');
    for (int row = 0; row < height; ++row) {
        const int y = height - 1 - row;
        if (y >= img->height())
            continue;
        char *out = bits.data() + row * rowSize;
        const int w = std::min(width, img->width());
        for (int x = 0; x < w; ++x) {
            const QRgb c = img->pixel(x, y);
            const bool white = mono ? (c & 0x00FFFFFFu) != 0 : nearerWhite(c);
            if (white)
                out[x / 8] = static_cast<char>(out[x / 8] | (0x80 >> (x % 8)));
        }
    }
    return bits;
}

} // namespace gdi
