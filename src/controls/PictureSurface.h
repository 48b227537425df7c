#pragma once
// PictureSurface is a picture box: a window whose pixels are a DrawSurface
// that keeps what is drawn on it. Drawing classes reach it through its
// device context (the "hDC" property, which CGdi::AttachCtrl reads); every
// drawing call on that context schedules a repaint, so what is drawn shows
// as soon as control returns to the event loop.
//
// The surface is as dense as the screen the box is on, so a picture drawn
// for that density shows sharp: at a device pixel ratio above 1 the context
// addresses device pixels (surface().toDevice() converts), while Cls and the
// surface's own Line and Box cover whole pixels. A move to a screen of
// another density keeps the picture, enlarged or reduced to it.

#include "controls/DrawSurface.h"

#include <QWidget>

class PictureSurface : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(quintptr hDC READ hDCValue)
    Q_PROPERTY(int BackColor READ BackColor WRITE setBackColor)

public:
    // `name` is the box's name in its window: its objectName and accessible name.
    explicit PictureSurface(QWidget *parent = nullptr, const QString &name = QString());
    ~PictureSurface() override;

    gdi::HDC hDC() const { return m_Surface.hDC(); }
    quintptr hDCValue() const { return reinterpret_cast<quintptr>(m_Surface.hDC()); }
    QWidget *hWnd() { return this; }
    DrawSurface &surface() { return m_Surface; }
    const QImage &image() const { return m_Surface.image(); }

    OleColor BackColor() const { return m_Surface.BackColor(); }
    // Stores the colour and clears the picture to it.
    void setBackColor(OleColor colour);
    void Cls();
    // Pins the surface to `ratio` device pixels a pixel, for pictures made
    // at one size; 0 (the default) follows the screen the box is on.
    void setDensity(qreal ratio) { m_Density = ratio; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool event(QEvent *event) override;

private:
    qreal density() const { return m_Density > 0 ? m_Density : devicePixelRatioF(); }

    DrawSurface m_Surface;
    qreal m_Density = 0;
};
