// Glyphs of the help-bar buttons and the change-picture button. Each is drawn
// in a 24 x 24 box over the plate of its frame; the outlines sit on half
// pixels so that one-pixel strokes stay sharp at 1x.

#include "ArtDraw.h"
#include "ArtKit.h"

#include <QPainter>
#include <QPainterPath>
#include <QtMath>

#include <cmath>

namespace Art
{

namespace
{

QPainterPath bookPage(bool left)
{
    // The left page; the right one is its mirror image about the spine at x = 12.
    auto x = [left](qreal v) { return left ? v : 24 - v; };
    QPainterPath page;
    page.moveTo(x(12), 8);
    page.cubicTo(x(10), 6.4, x(7), 5.9, x(4.5), 6.5);
    page.lineTo(x(4.5), 17.5);
    page.cubicTo(x(7), 16.9, x(10), 17.4, x(12), 19);
    page.closeSubpath();
    return page;
}

void drawBook(QPainter &p, const GlyphStyle &s)
{
    // The cover peeking out under the pages.
    QPainterPath cover;
    cover.moveTo(3.5, 17);
    cover.lineTo(3.5, 18.8);
    cover.cubicTo(6.5, 18.2, 9.5, 18.6, 12, 20.2);
    cover.cubicTo(14.5, 18.6, 17.5, 18.2, 20.5, 18.8);
    cover.lineTo(20.5, 17);
    p.setPen(roundPen(s.ink, 1.1));
    p.setBrush(Qt::NoBrush);
    p.drawPath(cover);

    p.setBrush(s.fill);
    p.setPen(roundPen(s.ink, 1.2));
    p.drawPath(bookPage(true));
    p.drawPath(bookPage(false));

    p.setPen(roundPen(s.accent, 1.0));
    for (qreal y : {10.0, 12.5, 15.0}) {
        p.drawLine(QPointF(6.5, y - 0.3), QPointF(10, y + 0.2));
        p.drawLine(QPointF(14, y + 0.2), QPointF(17.5, y - 0.3));
    }
}

void drawCopyright(QPainter &p, const GlyphStyle &s)
{
    p.setPen(roundPen(s.ink, 1.4));
    p.setBrush(s.fill);
    p.drawEllipse(QPointF(12, 12), 7.8, 7.8);
    p.setBrush(Qt::NoBrush);
    p.setPen(roundPen(s.accent.darker(115), 1.7));
    p.drawPath(arcPath(QPointF(12, 12), 3.6, 45, 270));
}

void drawSpeaker(QPainter &p, const GlyphStyle &s)
{
    QPainterPath body;
    body.moveTo(4.5, 9.5);
    body.lineTo(8, 9.5);
    body.lineTo(12, 6);
    body.lineTo(12, 18);
    body.lineTo(8, 14.5);
    body.lineTo(4.5, 14.5);
    body.closeSubpath();
    p.setPen(roundPen(s.ink, 1.2));
    p.setBrush(s.ink);
    p.drawPath(body);

    p.setBrush(Qt::NoBrush);
    p.setPen(roundPen(s.accent, 1.4));
    p.drawPath(arcPath(QPointF(12, 12), 3.6, -42, 84));
    p.drawPath(arcPath(QPointF(12, 12), 6.8, -45, 90));
}

void drawPencil(QPainter &p, const GlyphStyle &s, QPointF tip, qreal length)
{
    // Drawn along the x axis from the tip, then turned to point down-left.
    p.save();
    p.translate(tip);
    p.rotate(-45);
    QPainterPath pencil;
    pencil.moveTo(0, 0);
    pencil.lineTo(3.2, -1.7);
    pencil.lineTo(length, -1.7);
    pencil.lineTo(length, 1.7);
    pencil.lineTo(3.2, 1.7);
    pencil.closeSubpath();
    p.setPen(roundPen(s.halo, 3.2));
    p.setBrush(Qt::NoBrush);
    p.drawPath(pencil);
    p.setPen(roundPen(s.ink, 1.0));
    p.setBrush(s.accent);
    p.drawPath(pencil);
    // Bare wood behind the lead, and the ferrule at the far end.
    p.setBrush(s.fill);
    QPainterPath wood;
    wood.moveTo(1.2, -0.6);
    wood.lineTo(3.2, -1.7);
    wood.lineTo(3.2, 1.7);
    wood.lineTo(1.2, 0.6);
    wood.closeSubpath();
    p.drawPath(wood);
    p.drawLine(QPointF(length - 2, -1.7), QPointF(length - 2, 1.7));
    p.restore();
}

void drawBubbleAndPencil(QPainter &p, const GlyphStyle &s)
{
    QPainterPath bubble;
    bubble.addRoundedRect(QRectF(3.5, 4.5, 15, 10.5), 4, 4);
    QPainterPath tail;
    tail.moveTo(6.5, 14);
    tail.lineTo(5.5, 19);
    tail.lineTo(11, 14);
    tail.closeSubpath();
    bubble = bubble.united(tail).simplified();
    p.setPen(roundPen(s.ink, 1.2));
    p.setBrush(s.fill);
    p.drawPath(bubble);

    p.setPen(roundPen(s.accent, 1.1));
    p.drawLine(QPointF(7, 8.5), QPointF(14.5, 8.5));
    p.drawLine(QPointF(7, 11.2), QPointF(11.5, 11.2));

    drawPencil(p, s, QPointF(13.2, 19.3), 10.5);
}

void drawPictureAndArrow(QPainter &p, const GlyphStyle &s)
{
    const QRectF frame(3.5, 4.5, 13, 11);
    p.setPen(roundPen(s.ink, 1.2));
    p.setBrush(s.fill);
    p.drawRoundedRect(frame, 1.5, 1.5);

    p.save();
    p.setClipRect(frame.adjusted(0.6, 0.6, -0.6, -0.6));
    QPainterPath hills;
    hills.moveTo(3.5, 15.5);
    hills.lineTo(8, 10);
    hills.lineTo(11, 13);
    hills.lineTo(13, 11);
    hills.lineTo(17, 15.5);
    hills.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(s.accent);
    p.drawPath(hills);
    p.setBrush(s.ink);
    p.drawEllipse(QPointF(13, 8), 1.4, 1.4);
    p.restore();

    // A turning arrow over the lower right corner: "swap the picture".
    const QPointF c(16, 16.5);
    const qreal r = 3.3;
    p.setBrush(s.halo);
    p.setPen(Qt::NoPen);
    p.drawEllipse(c, r + 1.9, r + 1.9);
    p.setBrush(Qt::NoBrush);
    p.setPen(roundPen(s.ink, 1.4));
    p.drawPath(arcPath(c, r, 100, 250));
    // Filled arrowhead at the end of the arc, pointing along the direction of travel.
    const qreal end = qDegreesToRadians(350.0);
    const QPointF tipBase(c.x() + r * std::cos(end), c.y() - r * std::sin(end));
    const QPointF along(std::sin(end), -std::cos(end)); // counter-clockwise on screen
    const QPointF across(-along.y(), along.x());
    QPolygonF head;
    head << tipBase + along * 2.2 << tipBase - along * 0.4 + across * 2.1
         << tipBase - along * 0.4 - across * 2.1;
    p.setPen(roundPen(s.ink, 0.8));
    p.setBrush(s.ink);
    p.drawPolygon(head);
}

void drawStripFrame(QPainter &p, int frame, void (*glyph)(QPainter &, const GlyphStyle &))
{
    p.setRenderHint(QPainter::Antialiasing);
    const GlyphStyle style = drawButtonPlate(p, frame);
    glyph(p, style);
}

} // namespace

void drawHelpManual(QPainter &p, int frame)
{
    drawStripFrame(p, frame, drawBook);
}

void drawHelpCopyright(QPainter &p, int frame)
{
    drawStripFrame(p, frame, drawCopyright);
}

void drawHelpPrompt(QPainter &p, int frame)
{
    drawStripFrame(p, frame, drawSpeaker);
}

void drawHelpPronounce(QPainter &p, int frame)
{
    drawStripFrame(p, frame, drawBubbleAndPencil);
}

void drawChangePicture(QPainter &p, int frame)
{
    drawStripFrame(p, frame, drawPictureAndArrow);
}

} // namespace Art
