#include "controls/DrawSurface.h"

#include <QPainter>

#include <algorithm>

DrawSurface::DrawSurface(int width, int height, OleColor backColor)
    : m_image(std::max(width, 0), std::max(height, 0), QImage::Format_RGB32)
    , m_backColor(TranslateColor(backColor))
{
    m_image.fill(gdi::toRgb(m_backColor));
    m_dc = gdi::CreateImageDC(&m_image);
}

DrawSurface::~DrawSurface()
{
    gdi::DeleteDC(m_dc);
}

void DrawSurface::resize(int width, int height)
{
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == m_image.width() && height == m_image.height())
        return;
    QImage next(width, height, QImage::Format_RGB32);
    next.fill(gdi::toRgb(m_backColor));
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

void DrawSurface::Line(int x1, int y1, int x2, int y2, OleColor colour)
{
    gdi::HPEN pen = gdi::CreatePen(1, colour);
    gdi::HPEN old = gdi::SelectObject(m_dc, pen);
    gdi::MoveToEx(m_dc, x1, y1);
    gdi::LineTo(m_dc, x2, y2);
    gdi::SelectObject(m_dc, old);
    gdi::DeleteObject(pen);
}

void DrawSurface::Box(int x1, int y1, int x2, int y2, OleColor colour, bool filled)
{
    if (x1 > x2)
        std::swap(x1, x2);
    if (y1 > y2)
        std::swap(y1, y2);
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
