#pragma once
// The shared look of the generated pictures: palette, fonts and the small
// drawing helpers every picture uses, so the title band, the buttons and the
// links read as one set.

#include <QColor>
#include <QFont>
#include <QPainterPath>

class QPainter;

namespace Art
{

// Palette of the window: light blue panes, deep blue accents, white.
namespace Palette
{
inline const QColor LightBlue {174, 216, 230};
inline const QColor DeepBlue {16, 7, 223};
inline const QColor White {255, 255, 255};
inline const QColor Ink {30, 44, 150}; // calm text and outline blue
inline const QColor Sky {214, 236, 244}; // between white and light blue
inline const QColor Mist {120, 170, 200}; // quiet borders on light blue
inline const QColor Grey {150, 156, 162};
} // namespace Palette

// Colours of a button glyph in one frame.
struct GlyphStyle {
    QColor ink; // outlines and solid parts
    QColor fill; // inner areas (pages, bubble, picture)
    QColor accent; // details: lines of text, waves, pencil
    QColor halo; // plate colour, drawn around parts that overlap others
};

// Button frames in strip order.
enum Frame { Normal = 0, Hover = 1, Pressed = 2, Disabled = 3 };

// Draws the rounded plate of a 24 x 24 button frame and returns the glyph
// colours that go with it. Pressed frames also move the painter one pixel
// right and down, so the glyph appears pushed in.
GlyphStyle drawButtonPlate(QPainter &p, int frame);

// A sans-serif face that has both Latin and CJK glyphs, at a pixel size.
QFont uiFont(qreal pixelSize, int weight);

// Round-capped, round-joined pen.
QPen roundPen(const QColor &colour, qreal width);

// A circular arc of radius r around centre from startDeg sweeping sweepDeg
// (counter-clockwise, degrees as in QPainterPath::arcTo).
QPainterPath arcPath(QPointF centre, qreal r, qreal startDeg, qreal sweepDeg);

} // namespace Art
