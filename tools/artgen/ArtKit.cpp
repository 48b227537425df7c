#include "ArtKit.h"

#include <QLinearGradient>
#include <QPainter>

namespace Art
{

GlyphStyle drawButtonPlate(QPainter &p, int frame)
{
    using namespace Palette;
    const QRectF plate(1.5, 1.5, 21, 21);
    QLinearGradient g(0, 1.5, 0, 22.5);
    QColor border;
    GlyphStyle style;
    switch (frame) {
    case Hover:
        g.setColorAt(0, White);
        g.setColorAt(1, Sky);
        border = DeepBlue;
        border.setAlpha(170);
        style = {DeepBlue, White, QColor(60, 120, 230), White};
        break;
    case Pressed:
        // Darker at the top than at the bottom: the face looks sunk in.
        g.setColorAt(0, LightBlue.darker(112));
        g.setColorAt(1, Sky);
        border = DeepBlue;
        style = {DeepBlue, White, QColor(40, 90, 220), Sky};
        break;
    case Disabled:
        g.setColorAt(0, QColor(244, 246, 247, 200));
        g.setColorAt(1, QColor(228, 232, 235, 200));
        border = QColor(175, 182, 188);
        style = {Grey, QColor(246, 247, 248), QColor(185, 190, 195), QColor(236, 239, 241)};
        break;
    case Normal:
    default:
        g.setColorAt(0, QColor(255, 255, 255, 170));
        g.setColorAt(1, QColor(230, 244, 249, 170));
        border = Mist;
        style = {Ink, White, QColor(70, 120, 200), QColor(240, 248, 251)};
        break;
    }
    p.save();
    p.setPen(QPen(border, 1));
    p.setBrush(g);
    p.drawRoundedRect(plate, 5, 5);
    if (frame == Hover) {
        // A thin inner highlight along the top edge.
        p.setPen(QPen(QColor(255, 255, 255, 200), 1));
        p.setBrush(Qt::NoBrush);
        p.drawLine(QPointF(6, 2.5), QPointF(18, 2.5));
    }
    p.restore();
    if (frame == Pressed)
        p.translate(1, 1);
    return style;
}

QFont uiFont(qreal pixelSize, int weight)
{
    QFont f;
    f.setFamilies({QStringLiteral("Noto Sans CJK TC"), QStringLiteral("Noto Sans TC"),
        QStringLiteral("Source Han Sans TW"), QStringLiteral("Noto Sans"),
        QStringLiteral("DejaVu Sans")});
    f.setPixelSize(qMax(1, qRound(pixelSize)));
    f.setWeight(QFont::Weight(weight));
    f.setStyleStrategy(QFont::PreferAntialias);
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

QPen roundPen(const QColor &colour, qreal width)
{
    QPen pen(colour, width);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

QPainterPath arcPath(QPointF centre, qreal r, qreal startDeg, qreal sweepDeg)
{
    const QRectF box(centre.x() - r, centre.y() - r, 2 * r, 2 * r);
    QPainterPath path;
    path.arcMoveTo(box, startDeg);
    path.arcTo(box, startDeg, sweepDeg);
    return path;
}

} // namespace Art
