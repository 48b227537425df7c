#include "RoleArt.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>

namespace RoleArt
{

namespace
{

// Colours of one role.
struct Look {
    QColor skin;
    QColor skinShade; // outline, nose, neck shadow
    QColor hair;
    QColor hairShine;
    QColor brows;
    QColor iris;
    QColor lips;
    QColor lipsDark;
    QColor blush;
    QColor top; // shirt or blouse
    QColor topShade;
};

const Look &lookOf(Role role)
{
    static const Look man {QColor(238, 194, 156), QColor(176, 118, 86), QColor(74, 50, 36),
        QColor(120, 86, 62), QColor(66, 44, 32), QColor(92, 64, 44), QColor(190, 96, 86),
        QColor(118, 44, 42), QColor(236, 128, 112, 70), QColor(62, 118, 196), QColor(40, 86, 156)};
    static const Look woman {QColor(250, 216, 192), QColor(200, 140, 116), QColor(50, 32, 40),
        QColor(104, 72, 84), QColor(70, 44, 44), QColor(86, 54, 40), QColor(214, 74, 98),
        QColor(128, 30, 52), QColor(240, 120, 130, 110), QColor(236, 118, 126),
        QColor(196, 84, 98)};
    return role == Role::Male ? man : woman;
}

QPen roundPen(const QColor &colour, qreal width)
{
    QPen pen(colour, width);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

// Where the parts sit, in 148-pixel units.
constexpr qreal MouthX = 74;
constexpr qreal MouthY = 106;
constexpr qreal EyeY = 70;
constexpr qreal EyeDx = 19;

QPainterPath facePath(Role role)
{
    QPainterPath p;
    if (role == Role::Male) {
        p.moveTo(74, 22);
        p.cubicTo(101, 22, 118, 40, 118, 68);
        p.cubicTo(118, 92, 113, 108, 101, 119);
        p.cubicTo(92, 127, 84, 129, 74, 129);
        p.cubicTo(64, 129, 56, 127, 47, 119);
        p.cubicTo(35, 108, 30, 92, 30, 68);
        p.cubicTo(30, 40, 47, 22, 74, 22);
    } else {
        p.moveTo(74, 24);
        p.cubicTo(99, 24, 116, 42, 116, 70);
        p.cubicTo(116, 96, 104, 117, 88, 125);
        p.cubicTo(81, 129, 67, 129, 60, 125);
        p.cubicTo(44, 117, 32, 96, 32, 70);
        p.cubicTo(32, 42, 49, 24, 74, 24);
    }
    p.closeSubpath();
    return p;
}

void drawShoulders(QPainter &p, Role role, const Look &look)
{
    // Neck first: the clothes cover its foot.
    p.setPen(Qt::NoPen);
    p.setBrush(look.skin.darker(106));
    p.drawRect(QRectF(62, 104, 24, 30));
    p.setPen(roundPen(look.skinShade, 1));
    p.drawLine(QPointF(62, 110), QPointF(62, 124));
    p.drawLine(QPointF(86, 110), QPointF(86, 124));

    QPainterPath body;
    body.moveTo(8, 150);
    body.cubicTo(12, 132, 32, 124, 56, 121);
    if (role == Role::Female)
        body.cubicTo(60, 136, 88, 136, 92, 121); // a round neckline
    else
        body.lineTo(92, 121);
    body.cubicTo(116, 124, 136, 132, 140, 150);
    body.closeSubpath();
    QLinearGradient g(0, 121, 0, 148);
    g.setColorAt(0, look.top);
    g.setColorAt(1, look.topShade);
    p.setPen(QPen(look.topShade.darker(120), 1.2));
    p.setBrush(g);
    p.drawPath(body);

    if (role == Role::Male) {
        // Open collar: a skin V and two white flaps.
        QPainterPath vee;
        vee.moveTo(60, 121);
        vee.lineTo(74, 138);
        vee.lineTo(88, 121);
        vee.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(look.skin.darker(106));
        p.drawPath(vee);
        p.setPen(QPen(QColor(150, 160, 175), 1));
        p.setBrush(QColor(250, 250, 252));
        for (int side : {-1, 1}) {
            QPainterPath flap;
            flap.moveTo(74 + side * 15, 118);
            flap.lineTo(74 + side * 2, 138);
            flap.lineTo(74 + side * 20, 132);
            flap.closeSubpath();
            p.drawPath(flap);
        }
    }
}

void drawHairBehind(QPainter &p, Role role, const Look &look)
{
    if (role != Role::Female)
        return;
    QPainterPath hair;
    hair.moveTo(74, 10);
    hair.cubicTo(112, 10, 128, 36, 126, 72);
    hair.cubicTo(125, 100, 130, 124, 138, 140);
    hair.cubicTo(120, 146, 104, 142, 96, 134);
    hair.lineTo(52, 134);
    hair.cubicTo(44, 142, 28, 146, 10, 140);
    hair.cubicTo(18, 124, 23, 100, 22, 72);
    hair.cubicTo(20, 36, 36, 10, 74, 10);
    hair.closeSubpath();
    p.setPen(QPen(look.hair.darker(130), 1.2));
    p.setBrush(look.hair);
    p.drawPath(hair);
}

void drawHead(QPainter &p, Role role, const Look &look)
{
    if (role == Role::Male) {
        p.setPen(QPen(look.skinShade, 1.2));
        p.setBrush(look.skin);
        for (int side : {-1, 1})
            p.drawEllipse(QPointF(74 + side * 45, 76), 7, 11);
        p.setPen(roundPen(look.skinShade, 1.2));
        for (int side : {-1, 1})
            p.drawArc(
                QRectF(74 + side * 45 - 3.5, 70, 7, 12), side < 0 ? 90 * 16 : -90 * 16, 180 * 16);
    }
    QRadialGradient g(QPointF(70, 66), 60);
    g.setColorAt(0, look.skin.lighter(104));
    g.setColorAt(0.75, look.skin);
    g.setColorAt(1, look.skin.darker(104));
    p.setPen(QPen(look.skinShade, 1.2));
    p.setBrush(g);
    p.drawPath(facePath(role));

    // Cheeks.
    p.setPen(Qt::NoPen);
    p.setBrush(look.blush);
    for (int side : {-1, 1})
        p.drawEllipse(QPointF(74 + side * 27, 93), 9, 5.5);

    // Nose.
    p.setPen(roundPen(look.skinShade, 1.6));
    p.setBrush(Qt::NoBrush);
    QPainterPath nose;
    if (role == Role::Male) {
        nose.moveTo(77, 76);
        nose.quadTo(82, 87, 76, 89);
        nose.moveTo(69, 88);
        nose.quadTo(72, 90, 74, 89.5);
    } else {
        nose.moveTo(76, 80);
        nose.quadTo(79, 87, 74, 88);
    }
    p.drawPath(nose);
}

void drawHairFront(QPainter &p, Role role, const Look &look)
{
    QPainterPath hair;
    if (role == Role::Male) {
        // Short hair, parted on the left, with short sideburns.
        hair.moveTo(29, 68);
        hair.cubicTo(24, 34, 44, 11, 76, 11);
        hair.cubicTo(108, 11, 125, 32, 119, 68);
        hair.lineTo(115, 66);
        hair.cubicTo(114, 50, 110, 42, 104, 38);
        hair.cubicTo(92, 40, 70, 38, 56, 30);
        hair.cubicTo(50, 38, 42, 42, 36, 46);
        hair.cubicTo(34, 52, 33, 60, 33, 66);
        hair.closeSubpath();
    } else {
        // Side-swept fringe.
        hair.moveTo(28, 76);
        hair.cubicTo(26, 38, 46, 16, 74, 16);
        hair.cubicTo(104, 16, 122, 38, 120, 76);
        hair.lineTo(115, 76);
        hair.cubicTo(114, 60, 111, 50, 105, 43);
        hair.quadTo(97, 36, 90, 30); // the parting
        // The fringe sweeps down to the left and ends in a few locks.
        hair.cubicTo(86, 40, 80, 44, 74, 46);
        hair.quadTo(72, 42, 70, 41);
        hair.cubicTo(66, 47, 60, 50, 54, 51);
        hair.quadTo(53, 47, 51, 46);
        hair.cubicTo(47, 51, 42, 54, 38, 56);
        hair.quadTo(36, 59, 35, 62);
        hair.lineTo(34, 76);
        hair.closeSubpath();
    }
    p.setPen(QPen(look.hair.darker(130), 1.2));
    p.setBrush(look.hair);
    p.drawPath(hair);

    // A few strands of light.
    p.setPen(roundPen(look.hairShine, 1.4));
    p.setBrush(Qt::NoBrush);
    QPainterPath shine;
    if (role == Role::Male) {
        shine.moveTo(58, 22);
        shine.cubicTo(70, 28, 90, 30, 104, 26);
        shine.moveTo(60, 31);
        shine.cubicTo(72, 34, 88, 35, 100, 33);
        shine.moveTo(46, 28);
        shine.cubicTo(50, 24, 56, 20, 62, 18);
    } else {
        shine.moveTo(56, 24);
        shine.cubicTo(66, 20, 78, 20, 86, 24);
        shine.moveTo(82, 32);
        shine.cubicTo(74, 40, 62, 44, 50, 44);
        shine.moveTo(98, 28);
        shine.cubicTo(104, 32, 110, 40, 113, 50);
    }
    p.drawPath(shine);

    if (role == Role::Female) {
        // A flower clip in the hair.
        const QPointF c(102, 32);
        p.setPen(QPen(QColor(220, 150, 40), 0.8));
        p.setBrush(QColor(255, 206, 84));
        for (int k = 0; k < 5; ++k) {
            p.save();
            p.translate(c);
            p.rotate(k * 72.0 + 10);
            p.drawEllipse(QPointF(0, -4.6), 3.2, 4.2);
            p.restore();
        }
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(238, 120, 60));
        p.drawEllipse(c, 2.4, 2.4);
    }
}

void drawBrows(QPainter &p, Role role, const Look &look)
{
    p.setBrush(Qt::NoBrush);
    p.setPen(roundPen(look.brows, role == Role::Male ? 3.6 : 2.0));
    for (int side : {-1, 1}) {
        const qreal c = 74 + side * EyeDx;
        QPainterPath brow;
        if (role == Role::Male) {
            brow.moveTo(c - side * 10, 57.5);
            brow.quadTo(c, 52.5, c + side * 10, 56.5);
        } else {
            brow.moveTo(c - side * 9, 59);
            brow.quadTo(c + side * 1, 52, c + side * 11, 57);
        }
        p.drawPath(brow);
    }
}

void drawEyes(QPainter &p, Role role, const Look &look, Eyes eyes)
{
    const bool woman = role == Role::Female;
    const qreal rx = 8.5;
    const qreal ry = woman ? 6.6 : 6.0;
    for (int side : {-1, 1}) {
        const QPointF c(74 + side * EyeDx, EyeY);
        if (eyes == Eyes::Closed) {
            // Lids down: a soft downward curve with lashes.
            p.setBrush(Qt::NoBrush);
            p.setPen(roundPen(QColor(60, 40, 36), 2.0));
            QPainterPath lid;
            lid.moveTo(c.x() - rx, c.y() - 0.5);
            lid.quadTo(c.x(), c.y() + 6, c.x() + rx, c.y() - 0.5);
            p.drawPath(lid);
            if (woman) {
                p.setPen(roundPen(QColor(60, 40, 36), 1.3));
                for (qreal t : {0.3, 0.55, 0.8}) {
                    const qreal x = c.x() + side * (t * rx);
                    const qreal y = c.y() - 0.5 + 6 * 2 * (1 - t * 0.5) * (t * 0.5) * 0.9 + 1.5;
                    p.drawLine(QPointF(x, y), QPointF(x + side * 1.4, y + 2.6));
                }
            }
            continue;
        }
        QPainterPath white;
        white.addEllipse(c, rx, ry);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255));
        p.drawPath(white);
        p.save();
        p.setClipPath(white);
        p.setBrush(look.iris);
        p.drawEllipse(c + QPointF(0, 0.5), 5.0, 5.0);
        p.setBrush(QColor(20, 14, 12));
        p.drawEllipse(c + QPointF(0, 0.5), 2.5, 2.5);
        p.setBrush(QColor(255, 255, 255));
        p.drawEllipse(c + QPointF(1.8, -1.4), 1.4, 1.4);
        if (eyes == Eyes::Narrow) {
            // The upper lid half way down.
            QRectF lid(c.x() - rx - 1, c.y() - ry - 1, 2 * rx + 2, ry + 1.5);
            p.setBrush(look.skin.darker(103));
            p.drawRect(lid);
        }
        p.restore();
        p.setBrush(Qt::NoBrush);
        p.setPen(roundPen(QColor(60, 40, 36), woman ? 1.9 : 1.6));
        if (eyes == Eyes::Narrow) {
            p.drawLine(QPointF(c.x() - rx, c.y() + 0.5), QPointF(c.x() + rx, c.y() + 0.5));
        } else {
            p.drawArc(QRectF(c.x() - rx, c.y() - ry, 2 * rx, 2 * ry), 10 * 16, 160 * 16);
        }
        if (woman) {
            // Lashes at the outer corner.
            const qreal top = eyes == Eyes::Narrow ? c.y() + 0.5 : c.y() - ry * 0.7;
            p.setPen(roundPen(QColor(60, 40, 36), 1.3));
            p.drawLine(QPointF(c.x() + side * (rx - 1.5), top + 1),
                QPointF(c.x() + side * (rx + 2), top - 1.5));
            p.drawLine(QPointF(c.x() + side * (rx - 4), top - 0.5),
                QPointF(c.x() + side * (rx - 2.5), top - 3.5));
        }
    }
    if (role == Role::Male) {
        // Glasses.
        p.setBrush(QColor(255, 255, 255, 26));
        p.setPen(QPen(QColor(52, 54, 66), 1.8));
        for (int side : {-1, 1})
            p.drawRoundedRect(QRectF(74 + side * EyeDx - 13, EyeY - 10, 26, 19), 6, 6);
        p.setBrush(Qt::NoBrush);
        p.drawLine(QPointF(68, EyeY - 3), QPointF(80, EyeY - 3));
        p.drawLine(QPointF(42, EyeY - 5), QPointF(31, EyeY - 7));
        p.drawLine(QPointF(106, EyeY - 5), QPointF(117, EyeY - 7));
    }
}

// One open-mouth shape: the opening's width and height, how round it is
// (0 a wide slit with pointed corners, 1 an oval), what shows inside and
// how full the lips are.
struct Mouth {
    qreal width;
    qreal height;
    qreal round;
    qreal upperTeeth; // height of the upper teeth band, 0 for none
    qreal lowerTeeth;
    qreal tongue; // 0 none … 1 filling the lower half
    qreal lip; // lip thickness
    qreal smile; // corners raised by this much
};

// The shape between the two corners, with its top `up` above and its bottom
// `down` below the corner line.
QPainterPath lipShape(qreal width, qreal up, qreal down, qreal round, qreal smile)
{
    const qreal cx = MouthX;
    const qreal cy = MouthY;
    const qreal half = width / 2;
    const qreal inset = half * 0.42 * (1 - round);
    // A cubic with both control points at height t peaks at 0.75 t.
    const qreal tUp = up / 0.75;
    const qreal tDown = down / 0.75;
    QPainterPath path;
    path.moveTo(cx - half, cy - smile);
    path.cubicTo(cx - half + inset, cy - tUp, cx + half - inset, cy - tUp, cx + half, cy - smile);
    path.cubicTo(
        cx + half - inset, cy + tDown, cx - half + inset, cy + tDown, cx - half, cy - smile);
    path.closeSubpath();
    return path;
}

void drawOpenMouth(QPainter &p, const Look &look, const Mouth &m)
{
    const qreal upFraction = 0.36 + 0.14 * m.round;
    const qreal up = m.height * upFraction;
    const qreal down = m.height - up;
    const QPainterPath outer = lipShape(m.width + m.lip * 1.6, up + m.lip * 0.9,
        down + m.lip * 1.25, std::min(1.0, m.round + 0.1), m.smile);
    p.setPen(QPen(look.lipsDark, 0.9));
    p.setBrush(look.lips);
    p.drawPath(outer);

    const QPainterPath opening = lipShape(m.width, up, down, m.round, m.smile);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(96, 22, 34));
    p.drawPath(opening);
    p.save();
    p.setClipPath(opening);
    const QRectF box = opening.boundingRect();
    if (m.tongue > 0) {
        p.setBrush(QColor(222, 112, 122));
        const qreal ry = box.height() * 0.55 * m.tongue + 1;
        p.drawEllipse(QPointF(MouthX, box.bottom()), box.width() * 0.34, ry);
    }
    p.setBrush(QColor(252, 251, 246));
    if (m.upperTeeth > 0)
        p.drawRect(QRectF(box.left(), box.top() - 1, box.width(), m.upperTeeth + 1));
    if (m.lowerTeeth > 0)
        p.drawRect(QRectF(box.left(), box.bottom() - m.lowerTeeth, box.width(), m.lowerTeeth + 1));
    p.restore();
    // A thin line where the opening meets the lips.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(look.lipsDark, 0.9));
    p.drawPath(opening);
    // Light on the lower lip.
    QColor shine(255, 255, 255, 60);
    p.setPen(Qt::NoPen);
    p.setBrush(shine);
    p.drawEllipse(
        QPointF(MouthX, MouthY + down + m.lip * 0.55), m.width * 0.18 + 1, m.lip * 0.28 + 0.3);
}

void drawMouth(QPainter &p, Role role, const Look &look, int number)
{
    const bool woman = role == Role::Female;
    const qreal lip = woman ? 3.4 : 2.8;
    switch (number) {
    case RestingMouth: {
        // A closed smile.
        const QPainterPath lips = lipShape(30, lip * 0.7, lip * 1.3, 0.2, 3);
        p.setPen(QPen(look.lipsDark, 0.9));
        p.setBrush(look.lips);
        p.drawPath(lips);
        QPainterPath line;
        line.moveTo(MouthX - 15, MouthY - 3);
        line.quadTo(MouthX, MouthY + 3.5, MouthX + 15, MouthY - 3);
        p.setBrush(Qt::NoBrush);
        p.setPen(roundPen(look.lipsDark, 1.6));
        p.drawPath(line);
        return;
    }
    case 2: {
        // Lips pressed together.
        const QPainterPath lips = lipShape(28, lip * 1.1, lip * 1.35, 0.3, 0);
        p.setPen(QPen(look.lipsDark, 0.9));
        p.setBrush(look.lips);
        p.drawPath(lips);
        p.setBrush(Qt::NoBrush);
        p.setPen(roundPen(look.lipsDark, 1.8));
        p.drawLine(QPointF(MouthX - 14, MouthY), QPointF(MouthX + 14, MouthY));
        return;
    }
    case 10: {
        // Upper teeth resting on the lower lip, which is drawn in under them.
        p.setPen(QPen(look.lipsDark, 0.9));
        p.setBrush(look.lips);
        QPainterPath lower = lipShape(26, 0.5, lip * 1.7, 0.4, 0);
        lower.translate(0, 2);
        p.drawPath(lower);
        p.setPen(QPen(QColor(170, 160, 160), 0.8));
        p.setBrush(QColor(252, 251, 246));
        p.drawRoundedRect(QRectF(MouthX - 10, MouthY - 2.5, 20, 6), 2, 2);
        p.setPen(QPen(look.lipsDark, 0.9));
        p.setBrush(look.lips);
        QPainterPath upper = lipShape(30, lip * 1.2, 0.6, 0.3, 0.5);
        upper.translate(0, -2.5);
        p.drawPath(upper);
        return;
    }
    case 11: {
        // Teeth together.
        drawOpenMouth(p, look, {34, 8, 0, 4.2, 4.2, 0, lip, 1.5});
        p.setPen(QPen(QColor(170, 160, 160), 0.8));
        p.drawLine(QPointF(MouthX - 14, MouthY + 0.9), QPointF(MouthX + 14, MouthY + 0.9));
        return;
    }
    case 12: {
        // Tongue up behind the teeth.
        drawOpenMouth(p, look, {30, 13, 0.25, 3.4, 0, 1.45, lip, 0.5});
        p.setPen(roundPen(QColor(180, 80, 92), 1.0));
        p.drawLine(QPointF(MouthX, MouthY + 0.5), QPointF(MouthX, MouthY + 5.5));
        return;
    }
    default:
        break;
    }
    struct Row {
        int number;
        Mouth mouth;
    };
    static const Row rows[] = {
        {3, {28, 6.5, 0.2, 2.6, 0, 0, 0, 0.5}},
        {4, {34, 22, 0.35, 3.4, 0, 0.55, 0, 0}},
        {5, {34, 13, 0.25, 3.2, 0, 0.45, 0, 0.5}},
        {6, {40, 8, 0, 3.6, 2.2, 0, 0, 2.5}},
        {7, {13, 11, 1, 0, 0, 0, 1.8, 0}},
        {8, {20, 17, 1, 0, 0, 0.3, 1.3, 0}},
        {9, {25, 22, 0.85, 2.6, 0, 0.5, 1.0, 0}},
        {13, {16, 9, 0.8, 0, 0, 0, 2.6, 0}},
    };
    for (const Row &row : rows) {
        if (row.number == number) {
            Mouth m = row.mouth;
            m.lip += lip; // rounded mouths push the lips out further
            drawOpenMouth(p, look, m);
            return;
        }
    }
}

// Draws the whole picture at 148 units on a transparent image.
QImage drawScene(Role role, Eyes eyes, int mouth, int scale)
{
    const Look &look = lookOf(role);
    QImage image(Size * scale, Size * scale, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(scale, scale);
    p.setClipRect(QRectF(0, 0, Size, Size));
    drawHairBehind(p, role, look);
    drawShoulders(p, role, look);
    drawHead(p, role, look);
    drawHairFront(p, role, look);
    drawBrows(p, role, look);
    drawEyes(p, role, look, eyes);
    drawMouth(p, role, look, mouth);
    p.end();
    return image;
}

// Magenta where the drawing is mostly see-through; elsewhere the drawing
// over white. Magenta itself never occurs in the drawing.
QImage flatten(const QImage &drawn)
{
    QImage out(drawn.size(), QImage::Format_RGB32);
    for (int y = 0; y < drawn.height(); ++y) {
        const QRgb *src = reinterpret_cast<const QRgb *>(drawn.constScanLine(y));
        QRgb *dst = reinterpret_cast<QRgb *>(out.scanLine(y));
        for (int x = 0; x < drawn.width(); ++x) {
            const QRgb s = src[x]; // premultiplied
            const int a = qAlpha(s);
            if (a < 128) {
                dst[x] = Transparent;
                continue;
            }
            const QRgb c = qRgb(qRed(s) + 255 - a, qGreen(s) + 255 - a, qBlue(s) + 255 - a);
            dst[x] = c == Transparent ? qRgb(254, 0, 255) : c;
        }
    }
    return out;
}

// Keeps the pixels inside area, magenta elsewhere.
QImage keepOnly(const QImage &image, const QRect &area)
{
    QImage out(image.size(), QImage::Format_RGB32);
    out.fill(Transparent);
    QPainter p(&out);
    p.drawImage(area.topLeft(), image, area);
    p.end();
    return out;
}

} // namespace

QString folderName(Role role)
{
    return role == Role::Male ? QStringLiteral("Male") : QStringLiteral("Female");
}

QRect eyeArea(int scale)
{
    return QRect(36 * scale, 50 * scale, 76 * scale, 32 * scale);
}

QRect mouthArea(int scale)
{
    return QRect(44 * scale, 89 * scale, 60 * scale, 33 * scale);
}

QImage face(Role role, Eyes eyes, int mouth, int scale)
{
    return flatten(drawScene(role, eyes, mouth, scale));
}

QImage picture(Role role, const QString &key, int scale)
{
    if (key == QLatin1String("Full"))
        return face(role, Eyes::Open, RestingMouth, scale);
    if (key == QLatin1String("Closed"))
        return keepOnly(face(role, Eyes::Closed, RestingMouth, scale), eyeArea(scale));
    if (key == QLatin1String("Narrow"))
        return keepOnly(face(role, Eyes::Narrow, RestingMouth, scale), eyeArea(scale));
    if (key.startsWith(QLatin1Char('M'))) {
        bool ok = false;
        const int n = key.mid(1).toInt(&ok);
        if (ok && n >= FirstMouth && n <= LastMouth && key == QStringLiteral("M%1").arg(n))
            return keepOnly(face(role, Eyes::Open, n, scale), mouthArea(scale));
    }
    return QImage();
}

} // namespace RoleArt
