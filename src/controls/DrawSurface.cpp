#include "controls/DrawSurface.h"

#include "controls/LineWalk.h"
#include "system/Numeric.h"

#include <QPainter>

#include <algorithm>
#include <cstdlib>

namespace
{
qreal validRatio(qreal ratio)
{
    return ratio > 0 ? ratio : 1.0;
}

QImage blankImage(int width, int height, qreal ratio, OleColor colour)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(gdi::toRgb(colour));
    return image;
}
} // namespace

DrawSurface::DrawSurface(int width, int height, OleColor backColor, qreal ratio)
    : m_width(std::max(width, 0))
    , m_height(std::max(height, 0))
    , m_ratio(validRatio(ratio))
    , m_backColor(TranslateColor(backColor))
{
    m_image = blankImage(toDevice(m_width), toDevice(m_height), m_ratio, m_backColor);
    m_dc = gdi::CreateImageDC(&m_image);
}

DrawSurface::~DrawSurface()
{
    gdi::DeleteDC(m_dc);
}

int DrawSurface::toDevice(int pixels) const
{
    return m_ratio == 1.0 ? pixels : Numeric::roundHalfEven(pixels * m_ratio);
}

void DrawSurface::resize(int width, int height, qreal ratio)
{
    width = std::max(width, 0);
    height = std::max(height, 0);
    ratio = validRatio(ratio);
    if (width == m_width && height == m_height && ratio == m_ratio)
        return;
    m_width = width;
    m_height = height;
    m_ratio = ratio;
    QImage next = blankImage(toDevice(width), toDevice(height), ratio, m_backColor);
    if (!m_image.isNull() && !next.isNull()) {
        QPainter p(&next);
        p.drawImage(0, 0, m_image);
    }
    // The context points at m_image itself, so it follows the new pixels.
    m_image = next;
}

void DrawSurface::setBackColor(OleColor colour)
{
    m_backColor = TranslateColor(colour);
}

void DrawSurface::Cls()
{
    m_image.fill(gdi::toRgb(m_backColor));
}

void DrawSurface::fillPixels(int left, int top, int right, int bottom, OleColor colour)
{
    const QRect device(QPoint(toDevice(left), toDevice(top)),
        QPoint(toDevice(right + 1) - 1, toDevice(bottom + 1) - 1));
    const QRect clipped = device & m_image.rect();
    const QRgb rgb = gdi::toRgb(colour);
    for (int y = clipped.top(); y <= clipped.bottom(); ++y)
        std::fill_n(
            reinterpret_cast<QRgb *>(m_image.scanLine(y)) + clipped.left(), clipped.width(), rgb);
}

void DrawSurface::Line(int x1, int y1, int x2, int y2, OleColor colour)
{
    if (m_ratio == 1.0) {
        gdi::HPEN pen = gdi::CreatePen(1, colour);
        gdi::HPEN old = gdi::SelectObject(m_dc, pen);
        gdi::MoveToEx(m_dc, x1, y1);
        gdi::LineTo(m_dc, x2, y2);
        gdi::SelectObject(m_dc, old);
        gdi::DeleteObject(pen);
        return;
    }
    // The same pixels as at a ratio of 1, each covered by its device pixels.
    if (y1 == y2 && x1 != x2) {
        const int last = x2 > x1 ? x2 - 1 : x2 + 1;
        fillPixels(std::min(x1, last), y1, std::max(x1, last), y1, colour);
    } else if (x1 == x2 && y1 != y2) {
        const int last = y2 > y1 ? y2 - 1 : y2 + 1;
        fillPixels(x1, std::min(y1, last), x1, std::max(y1, last), colour);
    } else if (x1 != x2) {
        // A slanted line: the pixels nearest the ideal line, end point left out.
        walkLine(x1, y1, x2, y2, [&](qint64 x, qint64 y) {
            fillPixels(int(x), int(y), int(x), int(y), colour);
            return true;
        });
    }
}

void DrawSurface::Box(int x1, int y1, int x2, int y2, OleColor colour, bool filled)
{
    if (x1 > x2)
        std::swap(x1, x2);
    if (y1 > y2)
        std::swap(y1, y2);
    if (m_ratio != 1.0) {
        if (filled) {
            fillPixels(x1, y1, x2, y2, colour);
        } else {
            Line(x1, y1, x2 + 1, y1, colour);
            Line(x1, y2, x2 + 1, y2, colour);
            Line(x1, y1, x1, y2 + 1, colour);
            Line(x2, y1, x2, y2 + 1, colour);
        }
        return;
    }
    if (filled) {
        gdi::HBRUSH brush = gdi::CreateSolidBrush(colour);
        gdi::FillRect(m_dc, x1, y1, x2 + 1, y2 + 1, brush);
        gdi::DeleteObject(brush);
        return;
    }
    gdi::HPEN pen = gdi::CreatePen(1, colour);
    gdi::HPEN oldPen = gdi::SelectObject(m_dc, pen);
    gdi::HBRUSH oldBrush = gdi::SelectObject(m_dc, gdi::StockNullBrush());
    gdi::Rectangle(m_dc, x1, y1, x2 + 1, y2 + 1);
    gdi::SelectObject(m_dc, oldBrush);
    gdi::SelectObject(m_dc, oldPen);
    gdi::DeleteObject(pen);
}
