// Pixels, lines, shapes, text and block copies of the drawing platform.
#include "controls/GdiPlatform.h"
#include "controls/LineWalk.h"

#include <QPainter>
#include <QPainterPath>
#include <QWidget>

#include <algorithm>
#include <climits>
#include <cmath>
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

// Pixels touched by one shape inside its bounding area, so that an
// inverting pen touches each pixel once.
class PixelMask
{
public:
    PixelMask(const QImage *img, QRect area)
        : m_area(area.intersected(img->rect()))
        , m_bits(static_cast<size_t>(std::max(m_area.width(), 0))
                  * static_cast<size_t>(std::max(m_area.height(), 0)),
              0)
    {
    }
    QRect area() const { return m_area; }
    void set(int x, int y)
    {
        if (m_area.contains(x, y))
            m_bits[index(x, y)] = 1;
    }
    bool test(int x, int y) const { return m_bits[index(x, y)] != 0; }
    // Every pixel a painter touched on a layer covering the same area.
    void addLayer(const QImage &layer)
    {
        for (int y = 0; y < layer.height(); ++y)
            for (int x = 0; x < layer.width(); ++x)
                if (qAlpha(layer.pixel(x, y)) != 0)
                    set(m_area.left() + x, m_area.top() + y);
    }
    void subtract(const PixelMask &other)
    {
        for (int y = m_area.top(); y <= m_area.bottom(); ++y)
            for (int x = m_area.left(); x <= m_area.right(); ++x)
                if (other.m_area.contains(x, y) && other.test(x, y))
                    m_bits[index(x, y)] = 0;
    }
    void apply(DeviceContext *dc, QImage *img, QRgb rgb) const
    {
        for (int y = m_area.top(); y <= m_area.bottom(); ++y)
            for (int x = m_area.left(); x <= m_area.right(); ++x)
                if (test(x, y))
                    plot(dc, img, x, y, rgb);
    }
    void applyBrush(DeviceContext *dc, QImage *img, const Brush *brush) const
    {
        const QImage &p = brush->pattern;
        const QRgb rgb = deviceColour(dc, brush->colour);
        for (int y = m_area.top(); y <= m_area.bottom(); ++y)
            for (int x = m_area.left(); x <= m_area.right(); ++x)
                if (test(x, y))
                    plot(dc, img, x, y, p.isNull() ? rgb : p.pixel(x % p.width(), y % p.height()));
    }

private:
    size_t index(int x, int y) const
    {
        return static_cast<size_t>(y - m_area.top()) * static_cast<size_t>(m_area.width())
            + static_cast<size_t>(x - m_area.left());
    }

    QRect m_area;
    std::vector<unsigned char> m_bits;
};

// The area a shape from (left, top) to (right, bottom) can touch with a pen of width pen.
QRect shapeArea(const QImage *img, qint64 left, qint64 top, qint64 right, qint64 bottom, int pen)
{
    const qint64 m = pen + 2;
    const qint64 x0 = std::max<qint64>(left - m, 0), y0 = std::max<qint64>(top - m, 0);
    const qint64 x1 = std::min<qint64>(right + m, img->width() - 1);
    const qint64 y1 = std::min<qint64>(bottom + m, img->height() - 1);
    if (x0 > x1 || y0 > y1)
        return QRect();
    return QRect(QPoint(int(x0), int(y0)), QPoint(int(x1), int(y1)));
}

// A transparent layer over area, with a painter drawing in target coordinates.
struct Layer {
    explicit Layer(QRect area)
        : image(area.size(), QImage::Format_ARGB32_Premultiplied)
    {
        image.fill(Qt::transparent);
        painter.begin(&image);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.translate(-area.topLeft());
    }
    QImage &finish()
    {
        painter.end();
        return image;
    }
    QImage image;
    QPainter painter;
};

// Tells the context's owner, once the drawing call is over, that pixels may have changed.
struct Touch {
    DeviceContext *dc;
    ~Touch()
    {
        if (dc && dc->changed)
            dc->changed();
    }
};

// Liang-Barsky: the part of the segment inside box, false when none is.
bool clipSegment(const QRectF &box, double &x1, double &y1, double &x2, double &y2)
{
    double t0 = 0, t1 = 1;
    const double dx = x2 - x1, dy = y2 - y1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x1 - box.left(), box.right() - x1, y1 - box.top(), box.bottom() - y1};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1)
            return false;
    }
    const double ox = x1, oy = y1;
    x1 = ox + t0 * dx;
    y1 = oy + t0 * dy;
    x2 = ox + t1 * dx;
    y2 = oy + t1 * dy;
    return true;
}

// Draws a one-pixel line. A line much longer than the image is first cut to
// the image's neighbourhood, so absurd coordinates cost no more than a short line.
void thinLine(DeviceContext *dc, QImage *img, QPoint from, QPoint to, QRgb rgb)
{
    qint64 x1 = from.x(), y1 = from.y(), x2 = to.x(), y2 = to.y();
    const qint64 limit = 4LL * (img->width() + img->height()) + 64;
    if (std::max(std::abs(x2 - x1), std::abs(y2 - y1)) > limit) {
        double cx1 = x1, cy1 = y1, cx2 = x2, cy2 = y2;
        const QRectF box(-2, -2, img->width() + 4, img->height() + 4);
        if (!clipSegment(box, cx1, cy1, cx2, cy2))
            return;
        x1 = std::llround(cx1);
        y1 = std::llround(cy1);
        x2 = std::llround(cx2);
        y2 = std::llround(cy2);
    }
    walkLine(x1, y1, x2, y2, [&](qint64 x, qint64 y) {
        if (x >= 0 && y >= 0 && x < img->width() && y < img->height())
            plot(dc, img, int(x), int(y), rgb);
        return true;
    });
}
} // namespace

OleColor SetPixel(HDC dc, int x, int y, OleColor colour)
{
    const Touch touch {dc};
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
    const Touch touch {dc};
    if (!dc)
        return;
    const QPoint from = dc->position;
    dc->position = QPoint(x, y);
    QImage *img = dc->target();
    if (!img || dc->pen->null)
        return;
    const QRgb rgb = deviceColour(dc, dc->pen->colour);
    if (dc->pen->width <= 1) {
        thinLine(dc, img, from, QPoint(x, y), rgb);
        return;
    }
    const QRect area = shapeArea(img, std::min(from.x(), x), std::min(from.y(), y),
        std::max(from.x(), x), std::max(from.y(), y), dc->pen->width);
    if (area.isEmpty())
        return;
    Layer layer(area);
    layer.painter.setPen(
        QPen(Qt::black, dc->pen->width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    layer.painter.drawLine(QPointF(from) + QPointF(0.5, 0.5), QPointF(x, y) + QPointF(0.5, 0.5));
    PixelMask mask(img, area);
    mask.addLayer(layer.finish());
    mask.apply(dc, img, rgb);
}

void FillRect(HDC dc, int left, int top, int right, int bottom, HBRUSH brush)
{
    const Touch touch {dc};
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

namespace
{
struct Box {
    int left, top, right, bottom;
};

// What the outlined shapes share: normalise the corners, keep to the area
// the shape can touch, fill the interior (less the outline) with the brush,
// then draw the outline with the pen, each pixel once.
template<typename Outline, typename Interior>
void drawShape(HDC dc, Box b, Outline outline, Interior interior)
{
    const Touch touch {dc};
    QImage *img = dc ? dc->target() : nullptr;
    if (!img)
        return;
    if (b.left > b.right)
        std::swap(b.left, b.right);
    if (b.top > b.bottom)
        std::swap(b.top, b.bottom);
    const QRect area = shapeArea(img, b.left, b.top, b.right, b.bottom, dc->pen->width);
    if (area.isEmpty())
        return;
    PixelMask edge(img, area);
    const bool hasPen = !dc->pen->null;
    if (hasPen)
        outline(edge, area, b);
    if (!dc->brush->null) {
        PixelMask inside(img, area);
        interior(inside, area, b, hasPen);
        inside.subtract(edge);
        inside.applyBrush(dc, img, dc->brush);
    }
    if (hasPen)
        edge.apply(dc, img, deviceColour(dc, dc->pen->colour));
}
} // namespace

void Rectangle(HDC dc, int left, int top, int right, int bottom)
{
    auto outline = [dc](PixelMask &edge, QRect area, Box b) {
        if (dc->pen->width <= 1) {
            for (int x = std::max(b.left, area.left()); x < std::min(b.right, area.right() + 1);
                 ++x) {
                edge.set(x, b.top);
                edge.set(x, b.bottom - 1);
            }
            for (int y = std::max(b.top, area.top()); y < std::min(b.bottom, area.bottom() + 1);
                 ++y) {
                edge.set(b.left, y);
                edge.set(b.right - 1, y);
            }
            return;
        }
        Layer layer(area);
        layer.painter.setPen(
            QPen(Qt::black, dc->pen->width, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        layer.painter.drawRect(QRectF(
            b.left + 0.5, b.top + 0.5, double(b.right) - b.left - 1, double(b.bottom) - b.top - 1));
        edge.addLayer(layer.finish());
    };
    auto interior = [](PixelMask &inside, QRect area, Box b, bool hasPen) {
        const int inset = hasPen ? 1 : 0;
        const QRect fill
            = QRect(QPoint(b.left + inset, b.top + inset), QPoint(b.right - 2, b.bottom - 2))
                  .intersected(area);
        for (int y = fill.top(); y <= fill.bottom(); ++y)
            for (int x = fill.left(); x <= fill.right(); ++x)
                inside.set(x, y);
    };
    drawShape(dc, Box {left, top, right, bottom}, outline, interior);
}

void RoundRect(HDC dc, int left, int top, int right, int bottom, int ellipseW, int ellipseH)
{
    auto pathOf = [=](Box b) {
        QPainterPath path;
        path.addRoundedRect(
            QRectF(b.left, b.top, double(b.right) - b.left - 1, double(b.bottom) - b.top - 1),
            ellipseW / 2.0, ellipseH / 2.0);
        return path;
    };
    auto outline = [dc, pathOf](PixelMask &edge, QRect area, Box b) {
        Layer layer(area);
        const int pw = dc->pen->width;
        layer.painter.setPen(pw <= 1 ? QPen(Qt::black, 0) : QPen(Qt::black, pw));
        layer.painter.drawPath(pathOf(b));
        edge.addLayer(layer.finish());
    };
    auto interior = [pathOf](PixelMask &inside, QRect area, Box b, bool) {
        Layer layer(area);
        layer.painter.fillPath(pathOf(b), Qt::black);
        inside.addLayer(layer.finish());
    };
    drawShape(dc, Box {left, top, right, bottom}, outline, interior);
}

int DrawTextW(HDC dc, const QString &text, int left, int top, int right, int bottom, int flags)
{
    const Touch touch {dc};
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

    const QRect rect(QPoint(left, top),
        QPoint(std::max(right, INT_MIN + 1) - 1, std::max(bottom, INT_MIN + 1) - 1));
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
    const Touch touch {dst};
    QImage *d = dst ? dst->target() : nullptr;
    if (!d || w <= 0 || h <= 0)
        return false;
    const bool needsSource = usesSource(rop);
    QImage *s = (needsSource && src) ? src->target() : nullptr;
    if (needsSource && !s)
        return false;
    // Reading and writing the same pixels needs the source as it was.
    QImage copy;
    const QImage *source = s;
    if (s && s == d) {
        copy = s->copy();
        source = &copy;
    }
    // Only the part of the destination rectangle that lies on the image.
    const qint64 j0 = std::max<qint64>(0, -qint64(y)),
                 j1 = std::min<qint64>(h, qint64(d->height()) - y);
    const qint64 i0 = std::max<qint64>(0, -qint64(x)),
                 i1 = std::min<qint64>(w, qint64(d->width()) - x);
    for (qint64 j = j0; j < j1; ++j) {
        QRgb *line = reinterpret_cast<QRgb *>(d->scanLine(int(y + j)));
        const qint64 sy = srcY + (srcH == h ? j : j * srcH / h);
        const bool rowOnSource = needsSource && sy >= 0 && sy < source->height();
        if (needsSource && !rowOnSource)
            continue;
        const QRgb *srcLine = rowOnSource
            ? reinterpret_cast<const QRgb *>(source->constScanLine(int(sy)))
            : nullptr;
        for (qint64 i = i0; i < i1; ++i) {
            const int dx = int(x + i);
            QRgb sp = 0;
            if (needsSource) {
                const qint64 sx = srcX + (srcW == w ? i : i * srcW / w);
                if (sx < 0 || sx >= source->width())
                    continue;
                const QRgb raw = srcLine[sx];
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
