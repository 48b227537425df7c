#pragma once
// The drawing surface of an owner-drawn control or a picture box: a pixel
// image that keeps what is drawn on it, a background colour, a device
// context over the image for the drawing classes, and the few drawing
// calls the controls make on the surface itself (clear, line, box). Its
// scale is pixels, so its scale width and height are its pixel size.
//
// On a dense screen the surface has a device pixel ratio: its image holds
// that many device pixels per pixel (and says so, so a painter on it and a
// widget showing it both work in pixels), Cls, Line and Box cover each pixel
// with the device pixels it stands for, and text painted on the image is
// laid out at the full resolution instead of being enlarged afterwards.
// The device context addresses the image's device pixels, which at a ratio
// of 1 are the pixels themselves.

#include "controls/GdiPlatform.h"

#include <QImage>

class DrawSurface
{
public:
    explicit DrawSurface(
        int width = 1, int height = 1, OleColor backColor = 0xFFFFFF, qreal ratio = 1.0);
    ~DrawSurface();
    DrawSurface(const DrawSurface &) = delete;
    DrawSurface &operator=(const DrawSurface &) = delete;

    // Keeps the pixels that still fit; new area takes the background colour.
    void resize(int width, int height, qreal ratio = 1.0);
    int width() const { return m_width; }
    int height() const { return m_height; }
    qreal devicePixelRatio() const { return m_ratio; }
    // The device pixel where pixel `pixels` begins (the end of the previous one).
    int toDevice(int pixels) const;
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
    void fillPixels(int left, int top, int right, int bottom, OleColor colour);

    int m_width = 0;
    int m_height = 0;
    qreal m_ratio = 1.0;
    QImage m_image;
    gdi::HDC m_dc = nullptr;
    OleColor m_backColor = 0xFFFFFF;
};
