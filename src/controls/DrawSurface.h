#pragma once
// The drawing surface of an owner-drawn control or a picture box: a pixel
// image that keeps what is drawn on it, a background colour, a device
// context over the image for the drawing classes, and the few drawing
// calls the controls make on the surface itself (clear, line, box). Its
// scale is pixels, so its scale width and height are its pixel size.

#include "controls/GdiPlatform.h"

#include <QImage>

class DrawSurface
{
public:
    explicit DrawSurface(int width = 1, int height = 1, OleColor backColor = 0xFFFFFF);
    ~DrawSurface();
    DrawSurface(const DrawSurface &) = delete;
    DrawSurface &operator=(const DrawSurface &) = delete;

    // Keeps the pixels that still fit; new area takes the background colour.
    void resize(int width, int height);
    int width() const { return m_image.width(); }
    int height() const { return m_image.height(); }
    double ScaleWidth() const { return width(); }
    double ScaleHeight() const { return height(); }

    QImage &image() { return m_image; }
    const QImage &image() const { return m_image; }
    gdi::HDC hDC() const { return m_dc; }

    // Stores the translated colour: a system colour reads back as its real colour.
    OleColor BackColor() const { return m_backColor; }
    void setBackColor(OleColor colour);

    void Cls();
    // A line of one pixel from (x1, y1) up to, not including, (x2, y2).
    void Line(int x1, int y1, int x2, int y2, OleColor colour);
    // The outline, or with filled the whole box, from (x1, y1) to (x2, y2) inclusive.
    void Box(int x1, int y1, int x2, int y2, OleColor colour, bool filled);

private:
    QImage m_image;
    gdi::HDC m_dc = nullptr;
    OleColor m_backColor = 0xFFFFFF;
};
