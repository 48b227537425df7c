#include "controls/SliderEx.h"

#include "controls/AccessibleControls.h"
#include "controls/InputCodes.h"
#include "system/Numeric.h"

#include <QAccessible>
#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>

#include <algorithm>
#include <cmath>

namespace
{
constexpr OleColor kGroove = rgbColor(129, 129, 129);
constexpr OleColor kLight = rgbColor(255, 255, 255);
constexpr OleColor kBlack = rgbColor(0, 0, 0);
constexpr OleColor kSilver = rgbColor(192, 192, 192);
constexpr int kLabelWidth = 24;
// The groove's top row lies this far below the middle of the thumb.
constexpr int kGrooveBelowThumbMiddle = 4;
constexpr int kTickLength = 3;
// The control is this much taller than its thumb.
constexpr int kExtraHeightTwips = 10;

qint16 toShort(double v)
{
    return static_cast<qint16>(std::clamp(v, -32768.0, 32767.0));
}

// floor(a * b / c), multiplied before dividing: a ratio taken first is
// inexact, and its floor can fall one short of a whole result (the right end
// of the track giving Max - 1).
double scaledFloor(qint64 a, qint64 b, qint64 c)
{
    return std::floor(double(a * b) / double(c));
}

// The buttons held, as the sum of their codes.
qint16 buttonBits(Qt::MouseButtons buttons)
{
    qint16 code = 0;
    for (Qt::MouseButton b : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton})
        if (buttons & b)
            code |= InputCodes::buttonCode(b);
    return code;
}

// The control's height: the thumb's height plus 10 twips, in whole pixels.
int controlHeight(int thumbHeight)
{
    return Numeric::twipsToPixels(Numeric::pixelsToTwips(thumbHeight) + kExtraHeightTwips);
}
} // namespace

QImage SliderEx::defaultThumbImage()
{
    static const char *const rows[] = {
        "WWWWWWWWWWD",
        "WFFFFFFFFGD",
        "WFFFFFFFFGD",
        "WFFFFFFFFGD",
        "WFFFFFFFFGD",
        "WFFFFFFFFGD",
        "WFFFFFFFFGD",
        "WFFFFFFFFGD",
        "WFFFFFFFFGD",
        "WFFFFFFFFGD",
        "WFFFFFFFFGD",
        "WFFFFFFFFGD",
        "WFFFFFFFFGD",
        "WFFFFFFFFGD",
        "WFFFFFFFFGD",
        "WFFFFFFFFGD",
        "MWFFFFFFGDM",
        "MMWFFFFGDMM",
        "MMMWFFGDMMM",
        "MMMMWGDMMMM",
        "MMMMMDMMMMM",
    };
    QImage img(11, 21, QImage::Format_RGB32);
    for (int y = 0; y < 21; ++y)
        for (int x = 0; x < 11; ++x) {
            QRgb c = qRgb(255, 0, 255);
            switch (rows[y][x]) {
            case 'W':
                c = qRgb(255, 255, 255);
                break;
            case 'F':
                c = qRgb(212, 208, 200);
                break;
            case 'G':
                c = qRgb(128, 128, 128);
                break;
            case 'D':
                c = qRgb(64, 64, 64);
                break;
            default:
                break;
            }
            img.setPixel(x, y, c);
        }
    return img;
}

SliderEx::SliderEx(QWidget *parent, const QString &name)
    : QWidget(parent)
    , m_Surface(1, 1, DefaultBackColor)
{
    setObjectName(name);
    setAccessibleName(name);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    AccessibleControls::install();

    m_ImgSBox = new QLabel(this);
    m_ImgSBox->setObjectName(QStringLiteral("Img_SBox"));
    m_ImgSBox->hide();

    m_LMsg = new QLabel(this);
    m_LMsg->setObjectName(QStringLiteral("L_Msg"));
    m_LMsg->setFont(QFont(QStringLiteral("Arial"), 8));
    m_LMsg->setAlignment(Qt::AlignCenter);
    m_LMsg->setAutoFillBackground(true);
    QPalette pal = m_LMsg->palette();
    pal.setColor(QPalette::Window, toQColor(sysColor(COLOR_WINDOW)));
    pal.setColor(QPalette::WindowText, toQColor(sysColor(COLOR_WINDOWTEXT)));
    m_LMsg->setPalette(pal);
    m_LMsg->resize(kLabelWidth, m_LMsg->height());
    m_LMsg->hide();

    setThumbPicture(GdiPicture::fromImage(defaultThumbImage()));
}

SliderEx::~SliderEx() = default;

void SliderEx::setThumbPicture(const GdiPicture &picture)
{
    if (picture.Type() != GdiPicture::PicTypeBitmap)
        return;
    m_Thumb = picture;
    m_ImgSBox->setPixmap(QPixmap::fromImage(picture.image()));
    m_ImgSBox->resize(picture.Width(), picture.Height());
    m_ThumbW = static_cast<qint16>(picture.Width());
    setFixedHeight(controlHeight(picture.Height()));
    applySize();
}

void SliderEx::setBackColor(OleColor colour)
{
    m_Surface.setBackColor(colour);
    Q_EMIT propertyChanged(QStringLiteral("BackColor"));
    update();
}

void SliderEx::setValue(qint16 value)
{
    if (value > m_Max)
        value = m_Max;
    // A negative offset would put the thumb left of the control.
    if (value < 0)
        value = 0;
    const bool changed = value != m_Value;
    m_Value = value;
    if (changed && QAccessible::isActive()) {
        QAccessibleValueChangeEvent moved(this, reportedValue());
        QAccessible::updateAccessibility(&moved);
    }
    if (!m_Updating) {
        Q_EMIT propertyChanged(QStringLiteral("Value"));
        PlaceThumb();
    }
}

void SliderEx::setMin(qint16 value)
{
    m_Min = value;
    Q_EMIT propertyChanged(QStringLiteral("Min"));
}

void SliderEx::setMax(qint16 value)
{
    m_Max = value;
    PlaceThumb();
    Q_EMIT propertyChanged(QStringLiteral("Max"));
}

void SliderEx::ReadProperties(const QVariantMap &bag)
{
    m_Surface.setBackColor(bag.value(QStringLiteral("BackColor"), DefaultBackColor).toInt());
    m_Value = toShort(bag.value(QStringLiteral("Value"), 0).toInt());
    m_Min = toShort(bag.value(QStringLiteral("Min"), 0).toInt());
    m_Max = toShort(bag.value(QStringLiteral("Max"), 0).toInt());
    m_ThumbX = m_Value;
    update();
}

QVariantMap SliderEx::WriteProperties() const
{
    QVariantMap bag;
    if (BackColor() != DefaultBackColor)
        bag.insert(QStringLiteral("BackColor"), BackColor());
    if (m_Value != 0)
        bag.insert(QStringLiteral("Value"), int(m_Value));
    if (m_Min != 0)
        bag.insert(QStringLiteral("Min"), int(m_Min));
    if (m_Max != 0)
        bag.insert(QStringLiteral("Max"), int(m_Max));
    return bag;
}

void SliderEx::applySize()
{
    m_WidthPx = toShort(width());
    m_TrackLen = toShort(m_WidthPx - m_Thumb.Width());
    PlaceThumb();
}

void SliderEx::PlaceThumb()
{
    if (m_Max - m_Min == 0)
        return;
    const int travel = m_WidthPx - m_Thumb.Width();
    // A control no wider than its thumb keeps the thumb at the left end.
    m_ThumbX = travel > 0 ? toShort(scaledFloor(m_Value, travel, m_Max - m_Min)) : qint16(0);
    update();
}

int SliderEx::pointerThumbX(float x) const
{
    return Numeric::roundHalfEven(double(x) - m_Thumb.Width() / 2.0);
}

void SliderEx::UpdateFromThumb()
{
    if (m_ThumbX > m_TrackLen)
        m_ThumbX = m_TrackLen;
    if (m_ThumbX < 0)
        m_ThumbX = 0;

    const int labelW = m_LMsg->width();
    const int labelLeft
        = (m_ThumbW + m_ThumbX + labelW <= m_WidthPx) ? m_ThumbX + m_ThumbW : m_ThumbX - labelW;
    m_LMsg->setGeometry(labelLeft, 0, labelW,
        Numeric::roundHalfEven(m_Thumb.Height() / 2.0 + kGrooveBelowThumbMiddle));
    m_LMsg->show();

    // A control no wider than its thumb has no travel: the value stays at the left end.
    const int travel = m_WidthPx - m_Thumb.Width();
    const double v = travel != 0 ? scaledFloor(m_ThumbX, m_Max - m_Min, travel) : 0.0;
    m_Updating = true;
    setValue(toShort(v));
    m_Updating = false;

    const qint16 reported = static_cast<qint16>(m_Min + m_Value);
    m_LMsg->setText(QString::number(reported));
    Q_EMIT ScrollEx(reported);
}

SliderEx::Face SliderEx::currentFace() const
{
    Face face;
    face.width = width();
    face.height = height();
    face.backColor = BackColor();
    face.thumbX = m_ThumbX;
    face.thumbW = m_ThumbW;
    face.thumb = m_Thumb;
    face.focused = hasFocus() && m_FocusMark;
    return face;
}

void SliderEx::Paint(DrawSurface &surface, const Face &face, CBmp &bmp)
{
    surface.setBackColor(face.backColor);
    surface.Cls();

    const int t = face.thumbX, tw = face.thumbW;
    const int y0 = Numeric::roundHalfEven(face.thumb.Height() / 2.0 + kGrooveBelowThumbMiddle);
    const int y2 = y0 + 2;
    const int xe = Numeric::roundHalfEven(surface.ScaleWidth() - 1);
    // An engraved groove, cut where the thumb sits.
    surface.Line(0, y0, t, y0, kGroove);
    surface.Line(t + tw, y0, xe, y0, kGroove);
    surface.Line(0, y0, 0, y2, kGroove);
    surface.Line(xe, y0, xe, y2 + 1, kLight);
    surface.Line(0, y2, t, y2, kLight);
    surface.Line(t + tw, y2, xe, y2, kLight);
    surface.Line(1, y0 + 1, t - 1, y0 + 1, kBlack);
    surface.Line(t + tw, y0 + 1, xe - 1, y0 + 1, kBlack);
    surface.Line(1, y0 + 2, t - 1, y0 + 2, kSilver);
    surface.Line(t + tw, y0 + 2, xe - 1, y0 + 2, kSilver);
    surface.Line(xe - 1, y0 + 1, xe - 1, y0, kSilver);

    const int hp = face.height;
    surface.Line(0, hp - kTickLength, 0, hp, kBlack);
    surface.Line(xe, hp - kTickLength, xe, hp, kBlack);
    const int h = Numeric::roundHalfEven(xe / 2.0);
    const int q = Numeric::roundHalfEven(xe / 4.0);
    auto tick = [&](int a, int b) {
        const int x = Numeric::roundHalfEven(a / 2.0 + b);
        surface.Line(x, hp - kTickLength, x, hp, kBlack);
    };
    tick(xe, 0);
    tick(h, 0);
    tick(h, h);
    tick(q, 0);
    tick(q, q);
    tick(q, h);
    tick(q, Numeric::roundHalfEven(xe / 2.0 + xe / 4.0));

    if (face.focused) {
        QPainter p(&surface.image());
        p.setPen(QPen(Qt::black, 0, Qt::DotLine));
        p.drawRect(QRectF(0.5, 0.5, face.width - 1, face.height - 1));
    }

    if (surface.devicePixelRatio() == 1.0) {
        bmp.PasteHandleTransparent(surface.hDC(), t, 0, face.thumb.Handle(), ThumbKey,
            face.thumb.Width(), face.thumb.Height());
        return;
    }
    // Each thumb pixel becomes a block of device pixels, so the key colour
    // stays exact and the bevel stays sharp.
    const int denseW = surface.toDevice(t + face.thumb.Width()) - surface.toDevice(t);
    const int denseH = surface.toDevice(face.thumb.Height());
    const QImage dense
        = face.thumb.image().scaled(denseW, denseH, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    gdi::HBITMAP bitmap = gdi::CreateBitmapFromImage(dense);
    bmp.PasteHandleTransparent(
        surface.hDC(), surface.toDevice(t), 0, bitmap, ThumbKey, denseW, denseH);
    gdi::DeleteObject(bitmap);
}

QImage SliderEx::renderFace(const Face &face, qreal ratio)
{
    DrawSurface surface(face.width, face.height, face.backColor, ratio);
    CBmp bmp;
    Paint(surface, face, bmp);
    return surface.image();
}

void SliderEx::paintEvent(QPaintEvent *)
{
    m_Surface.resize(width(), height(), devicePixelRatioF());
    Paint(m_Surface, currentFace(), m_Bmp);
    QPainter p(this);
    p.drawImage(0, 0, m_Surface.image());
}

void SliderEx::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    applySize();
}

void SliderEx::mousePressEvent(QMouseEvent *event)
{
    m_Dragging = true;
    m_ThumbX = toShort(pointerThumbX(event->position().x()));
    UpdateFromThumb();
    // The thumb is drawn at its new place by the next move or the release.
    if (isVisible())
        grabMouse();
}

void SliderEx::mouseMoveEvent(QMouseEvent *event)
{
    const QPointF pos = event->position();
    if (!m_Dragging) {
        Q_EMIT MouseMove(buttonBits(event->buttons()), InputCodes::shiftCode(event->modifiers()),
            float(pos.x()), float(pos.y()));
        return;
    }
    m_ThumbX = toShort(pointerThumbX(pos.x()));
    UpdateFromThumb();
    update();
}

void SliderEx::mouseReleaseEvent(QMouseEvent *event)
{
    if (QWidget::mouseGrabber() == this)
        releaseMouse();
    if (m_Dragging) {
        m_Dragging = false;
        m_ThumbX = toShort(pointerThumbX(event->position().x()));
        UpdateFromThumb();
        update();
    }
    m_LMsg->hide();
}

bool SliderEx::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTipChange)
        setAccessibleDescription(toolTip());
    return QWidget::event(event);
}

bool SliderEx::moveTo(int value)
{
    const qint16 before = m_Value;
    setValue(toShort(value));
    if (m_Value == before)
        return false;
    Q_EMIT ScrollEx(static_cast<qint16>(reportedValue()));
    return true;
}

void SliderEx::keyPressEvent(QKeyEvent *event)
{
    // Value is the offset from Min, so the keys move it over 0 .. Max - Min;
    // past Max - Min the reported value would leave the slider's range.
    const int top = std::max(0, m_Max - m_Min);
    const int page = std::max(1, top / 10);
    int target = m_Value;
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Down:
        target -= 1;
        break;
    case Qt::Key_Right:
    case Qt::Key_Up:
        target += 1;
        break;
    case Qt::Key_PageDown:
        target -= page;
        break;
    case Qt::Key_PageUp:
        target += page;
        break;
    case Qt::Key_Home:
        target = 0;
        break;
    case Qt::Key_End:
        target = top;
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    moveTo(std::clamp(target, 0, top));
    event->accept();
}

void SliderEx::focusInEvent(QFocusEvent *event)
{
    m_FocusMark = InputCodes::focusMarkAfter(event->reason(), true, m_FocusMark);
    QWidget::focusInEvent(event);
}

void SliderEx::focusOutEvent(QFocusEvent *event)
{
    m_FocusMark = InputCodes::focusMarkAfter(event->reason(), false, m_FocusMark);
    QWidget::focusOutEvent(event);
}
