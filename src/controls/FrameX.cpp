#include "controls/FrameX.h"

#include "controls/AccessibleControls.h"

#include "system/Numeric.h"

#include <QEvent>
#include <QPainter>

namespace
{
constexpr OleColor kDark = rgbColor(129, 129, 129);
constexpr OleColor kLight = rgbColor(255, 255, 255);
} // namespace

FrameX::FrameX(QWidget *parent, const QString &name)
    : QWidget(parent)
    , m_Surface(1, 1, DefaultBackColor)
{
    setObjectName(name);
    setAccessibleName(name);
    setAttribute(Qt::WA_OpaquePaintEvent);
    AccessibleControls::install();
}

FrameX::~FrameX() = default;

void FrameX::setBackColor(OleColor colour)
{
    m_Surface.setBackColor(colour);
    Q_EMIT propertyChanged(QStringLiteral("BackColor"));
    update();
}

void FrameX::setEnabledValue(bool on)
{
    setEnabled(on);
    Q_EMIT propertyChanged(QStringLiteral("Enabled"));
    update();
}

void FrameX::ReadProperties(const QVariantMap &bag)
{
    m_Surface.setBackColor(bag.value(QStringLiteral("BackColor"), DefaultBackColor).toInt());
    update();
}

QVariantMap FrameX::WriteProperties() const
{
    QVariantMap bag;
    if (BackColor() != DefaultBackColor)
        bag.insert(QStringLiteral("BackColor"), BackColor());
    return bag;
}

void FrameX::Paint(DrawSurface &surface)
{
    const int w = Numeric::roundHalfEven(surface.ScaleWidth() - 1);
    const int h = Numeric::roundHalfEven(surface.ScaleHeight() - 1);
    surface.Cls();
    surface.Line(0, 0, w, 0, kDark);
    surface.Line(0, 0, 0, h, kDark);
    surface.Line(w, 0, w, surface.height(), kLight);
    surface.Line(0, h, w, h, kLight);
    surface.Line(1, 1, w - 1, 1, kLight);
    surface.Line(1, 1, 1, h - 1, kLight);
    surface.Line(1, h - 1, w - 1, h - 1, kDark);
    surface.Line(w - 1, 1, w - 1, h, kDark);
}

QImage FrameX::renderFace(QSize size, OleColor backColor, qreal ratio)
{
    DrawSurface surface(size.width(), size.height(), backColor, ratio);
    Paint(surface);
    return surface.image();
}

void FrameX::paintEvent(QPaintEvent *)
{
    m_Surface.resize(width(), height(), devicePixelRatioF());
    Paint(m_Surface);
    QPainter p(this);
    p.drawImage(0, 0, m_Surface.image());
}

bool FrameX::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTipChange)
        setAccessibleDescription(toolTip());
    return QWidget::event(event);
}
