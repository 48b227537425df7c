// The title band: its tile, the product logo, the maker's mark and the two
// link pictures that sit over them.

#include "ArtDraw.h"
#include "ArtKit.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace Art
{

namespace
{

// The round mark of the logo: a voice spreading from a point.
void drawVoiceMark(QPainter &p, QPointF c, qreal r)
{
    QLinearGradient g(c.x(), c.y() - r, c.x(), c.y() + r);
    g.setColorAt(0, QColor(86, 150, 232));
    g.setColorAt(1, Palette::DeepBlue);
    p.setPen(QPen(QColor(16, 7, 160, 120), 1));
    p.setBrush(g);
    p.drawEllipse(c, r, r);

    // Soft sheen on the upper half.
    QPainterPath sheen;
    sheen.addEllipse(QPointF(c.x(), c.y() - r * 0.42), r * 0.78, r * 0.5);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 46));
    p.drawPath(sheen);

    const QPointF src(c.x() - r * 0.38, c.y());
    p.setBrush(Palette::White);
    p.drawEllipse(src, r * 0.16, r * 0.16);
    p.setBrush(Qt::NoBrush);
    p.setPen(roundPen(Palette::White, r * 0.13));
    p.drawPath(arcPath(src, r * 0.4, -48, 96));
    QColor faint = Palette::White;
    faint.setAlpha(200);
    p.setPen(roundPen(faint, r * 0.13));
    p.drawPath(arcPath(src, r * 0.72, -50, 100));
    faint.setAlpha(130);
    p.setPen(roundPen(faint, r * 0.13));
    p.drawPath(arcPath(src, r * 1.04, -44, 88));
}

// The maker's mark: a rounded square with three lines of text, the middle one
// a sound wave.
void drawMakerMark(QPainter &p, const QRectF &box)
{
    QLinearGradient g(box.topLeft(), box.bottomLeft());
    g.setColorAt(0, Palette::White);
    g.setColorAt(1, Palette::Sky);
    p.setPen(QPen(Palette::Ink, 1.1));
    p.setBrush(g);
    p.drawRoundedRect(box, 4.5, 4.5);

    const qreal l = box.left() + 4.5;
    const qreal r = box.right() - 4.5;
    p.setPen(roundPen(Palette::Ink, 1.4));
    p.drawLine(QPointF(l, box.top() + 5.5), QPointF(r, box.top() + 5.5));
    p.drawLine(QPointF(l, box.bottom() - 5.5), QPointF(r - 4, box.bottom() - 5.5));
    QPainterPath wave;
    const qreal y = box.center().y();
    wave.moveTo(l, y);
    const qreal step = (r - l) / 4;
    for (int i = 0; i < 4; ++i) {
        const qreal x0 = l + i * step;
        const qreal dy = (i % 2 == 0) ? -2.2 : 2.2;
        wave.cubicTo(x0 + step * 0.35, y + dy, x0 + step * 0.65, y + dy, x0 + step, y);
    }
    p.setPen(roundPen(Palette::DeepBlue, 1.4));
    p.drawPath(wave);
}

// A text fitted into box: left-aligned, vertically centred on the box, at the
// largest pixel size not above maxPixels whose width fits.
void drawFittedText(QPainter &p, const QRectF &box, const QString &text, qreal maxPixels,
    int weight, const QBrush &brush)
{
    QFont f = uiFont(maxPixels, weight);
    for (int px = int(maxPixels); px > 6; --px) {
        f.setPixelSize(px);
        if (QFontMetricsF(f).horizontalAdvance(text) <= box.width())
            break;
    }
    // Hinted glyphs on a whole-pixel baseline keep small CJK text legible at 1x.
    f.setHintingPreference(QFont::PreferFullHinting);
    const QFontMetricsF fm(f);
    // Centre the ink, not the line box: cap height and descent vary by face.
    const QRectF ink = fm.tightBoundingRect(text);
    const qreal baseline = qRound(box.center().y() - ink.center().y());
    p.setFont(f);
    p.setPen(QPen(brush, 1));
    p.drawText(QPointF(qRound(box.left() - ink.left()), baseline), text);
}

// The soft plate of a link under the pointer.
void drawLinkPlate(QPainter &p, int width, int height)
{
    p.setPen(QPen(QColor(16, 7, 223, 110), 1));
    p.setBrush(QColor(255, 255, 255, 120));
    p.drawRoundedRect(QRectF(0.5, 0.5, width - 1, height - 1), 5, 5);
}

} // namespace

void drawTitleTile(QPainter &p, int)
{
    // Only vertical change, so the tile repeats across the band without seams.
    QLinearGradient g(0, 0, 0, BandHeight);
    g.setColorAt(0, QColor(240, 249, 252));
    g.setColorAt(0.55, QColor(200, 230, 240));
    g.setColorAt(1, Palette::LightBlue);
    p.fillRect(QRectF(0, 0, TileWidth, BandHeight), g);
    p.fillRect(QRectF(0, 0, TileWidth, 1), QColor(255, 255, 255, 210));
    p.fillRect(QRectF(0, BandHeight - 2, TileWidth, 1), QColor(150, 196, 214));
    p.fillRect(QRectF(0, BandHeight - 1, TileWidth, 1), QColor(16, 7, 223, 110));
}

void drawLogo(QPainter &p, int)
{
    p.setRenderHint(QPainter::Antialiasing);
    const qreal r = LogoHeight / 2.0 - 1.5;
    drawVoiceMark(p, QPointF(LogoHeight / 2.0, LogoHeight / 2.0), r);

    QLinearGradient g(0, 4, 0, LogoHeight - 4);
    g.setColorAt(0, QColor(40, 70, 200));
    g.setColorAt(1, Palette::DeepBlue);
    const QRectF textBox(LogoHeight + 4, 2, LogoWidth - LogoHeight - 5, LogoHeight - 4);
    drawFittedText(p, textBox, QStringLiteral("Parlo"), 19, QFont::DemiBold, g);
}

void drawCompany(QPainter &p, int)
{
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF mark(1.5, 2.5, CompanyHeight - 5, CompanyHeight - 5);
    drawMakerMark(p, mark);
    const QRectF textBox(mark.right() + 4, 3, CompanyWidth - mark.right() - 5, CompanyHeight - 6);
    drawFittedText(
        p, textBox, QStringLiteral("語音工作室"), 12, QFont::Medium, QBrush(Palette::Ink));
}

void drawLink1(QPainter &p, int frame)
{
    p.setRenderHint(QPainter::Antialiasing);
    drawLinkPlate(p, CompanyWidth, CompanyHeight);
    drawCompany(p, frame);
}

void drawLink2(QPainter &p, int frame)
{
    p.setRenderHint(QPainter::Antialiasing);
    drawLinkPlate(p, LogoWidth, LogoHeight);
    drawLogo(p, frame);
}

} // namespace Art
