#include "controls/PictureSurface.h"

#include <QEvent>
#include <QPainter>

PictureSurface::PictureSurface(QWidget *parent, const QString &name)
    : QWidget(parent)
    , m_Surface(1, 1, rgbColor(255, 255, 255))
{
    setObjectName(name);
    setAccessibleName(name);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_Surface.hDC()->changed = [this] { update(); };
}

PictureSurface::~PictureSurface()
{
    m_Surface.hDC()->changed = nullptr;
}

void PictureSurface::setBackColor(OleColor colour)
{
    m_Surface.setBackColor(colour);
    Cls();
}

void PictureSurface::Cls()
{
    m_Surface.Cls();
    update();
}

void PictureSurface::paintEvent(QPaintEvent *)
{
    // The density is known for sure only once the box is on its screen.
    m_Surface.resize(width(), height(), density());
    QPainter p(this);
    p.drawImage(0, 0, m_Surface.image());
}

void PictureSurface::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_Surface.resize(width(), height(), density());
}

bool PictureSurface::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTipChange)
        setAccessibleDescription(toolTip());
    return QWidget::event(event);
}
