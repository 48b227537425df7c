#include "controls/CmdX.h"

#include "controls/AccessibleControls.h"
#include "controls/DrawSurface.h"
#include "controls/InputCodes.h"
#include "controls/TipWindow.h"
#include "system/Numeric.h"

#include <QApplication>
#include <QFocusEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <cmath>

namespace
{
int frameWidthFor(int style)
{
    switch (style) {
    case CmdX::Border3DSunken:
        return 2;
    case CmdX::Border3DRaised:
        return 3;
    case CmdX::Border3DFlat:
        return 1;
    case CmdX::Border3DSunkenRaised:
        return 5;
    default:
        return 0;
    }
}

// Whether the window under the pointer at `global` is `w` itself. The point
// is first pulled onto w's nearest pixel, so that the right and bottom edge
// lines (X = W, Y = H) still belong to the button; a tip window is never in
// the way, since tips let the pointer through.
bool pointerOver(QWidget *w, QPoint global)
{
    const QPoint local = w->mapFromGlobal(global);
    const QPoint nearest(std::clamp(local.x(), 0, std::max(0, w->width() - 1)),
        std::clamp(local.y(), 0, std::max(0, w->height() - 1)));
    QWidget *hit = QApplication::widgetAt(w->mapToGlobal(nearest));
    if (hit && hit->window()->windowType() == Qt::ToolTip)
        return true;
    return hit && (hit == w || w->isAncestorOf(hit));
}
} // namespace

CmdX::CmdX(QWidget *parent, const QString &name)
    : QWidget(parent)
{
    setObjectName(name);
    m_Caption = name;
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    AccessibleControls::install();
    m_imgPicture = new QLabel(this);
    m_imgPicture->setObjectName(QStringLiteral("imgPicture"));
    // The picture lies on the face: its pointer events are the button's.
    m_imgPicture->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_imgPicture->hide();
    connect(this, &QObject::objectNameChanged, this, [this](const QString &newName) {
        if (!m_CaptionSet) {
            m_Caption = newName;
            relayoutAndRedraw();
            updateAccessibility();
        }
    });
    resize(75, 23);
    CalcLayout();
    DrawButton(PaintNormal, false);
    updateAccessibility();
}

CmdX::~CmdX()
{
    DestroyToolTip();
}

// ---- layout and painting -------------------------------------------------

int CmdX::frameWidth() const
{
    return m_FrameWidth;
}

QSize CmdX::surfaceSize() const
{
    const int f = m_FrameWidth;
    return QSize(std::max(0, width() - 2 * f), std::max(0, height() - 2 * f));
}

QPointF CmdX::surfacePos(QPointF widgetPos) const
{
    return widgetPos - QPointF(m_FrameWidth, m_FrameWidth);
}

void CmdX::ApplyBorderStyle()
{
    if (m_Border3DStyle >= Border3DNone && m_Border3DStyle <= Border3DSunkenRaised)
        m_FrameWidth = frameWidthFor(m_Border3DStyle);
    // Recalculating the frame brings the window to the top of its siblings.
    raise();
}

QFont CmdX::captionFont() const
{
    QFont f = font();
    if (m_HoverPaint)
        f.setBold(m_FontBoldOnHover);
    // Exact pixels: the caption is drawn without smoothing.
    f.setStyleStrategy(QFont::NoAntialias);
    return f;
}

bool CmdX::alignedPosition(int alignment, QSizeF area, QSizeF item, int rightInset, QPointF *pos)
{
    if (alignment < AlignLeftTop || alignment > AlignRightBottom)
        return false;
    const double cx = (area.width() - item.width()) / 2;
    const double cy = (area.height() - item.height()) / 2;
    const double rx = area.width() - item.width();
    const double by = area.height() - item.height();
    const int column = alignment / 3;
    const int row = alignment % 3;
    const double x = column == 0 ? 1 : column == 1 ? cx : rx - rightInset;
    const double y = row == 0 ? 1 : row == 1 ? cy : by - 1;
    *pos = QPointF(x, y);
    return true;
}

QSizeF CmdX::pictureLayoutSize(const QSize &pixels)
{
    // A picture's size is kept in 0.01 mm, measured at 96 pixels an inch and
    // rounded halves away from zero, as the picture object does.
    constexpr double himetricPerPixel = 2540.0 / 96.0;
    // The layout was tuned against this divisor; it has no physical meaning.
    constexpr double tuning = 1.75;
    const auto layout = [](int px) {
        const double himetric = std::round(px * himetricPerPixel);
        return float(himetric / Numeric::TwipsPerPixel / tuning);
    };
    return QSizeF(layout(pixels.width()), layout(pixels.height()));
}

void CmdX::CalcLayout()
{
    ApplyBorderStyle();
    const QSize s = surfaceSize();
    const QFontMetrics fm(captionFont());
    const QSizeF caption(fm.horizontalAdvance(m_Caption), fm.height());
    QPointF pos;
    if (alignedPosition(m_CaptionAlignment, s, caption, CaptionRightInset, &pos)) {
        m_CaptionX = std::floor(float(pos.x()) + m_CaptionXOffset);
        m_CaptionY = std::floor(float(pos.y()) + m_CaptionYOffset);
    }
    const QSizeF picture = m_Picture.isNull() ? QSizeF(0, 0) : pictureLayoutSize(m_Picture.size());
    if (alignedPosition(m_PictureAlignment, s, picture, PictureRightInset, &pos)) {
        m_PictureX = std::floor(float(pos.x()) + m_PictureXOffset);
        m_PictureY = std::floor(float(pos.y()) + m_PictureYOffset);
    }
}

void CmdX::DrawBorder(int state)
{
    m_BorderState = state;
    m_Face.borderState = state;
    m_Face.borderDrawn = true;
    update();
}

void CmdX::DrawButton(int state, bool inverse)
{
    if (!m_Picture.isNull()) {
        const QPoint target(
            int(m_PictureX) + state + m_FrameWidth, int(m_PictureY) + state + m_FrameWidth);
        if (m_imgPicture->pos() != target)
            m_imgPicture->move(target);
        if (m_imgPicture->pixmap().cacheKey() != m_Picture.cacheKey()) {
            m_imgPicture->setPixmap(m_Picture);
            m_imgPicture->resize(m_Picture.size());
        }
        m_imgPicture->show();
    }
    m_PaintState = static_cast<quint8>(state);
    m_Face.paintState = state;
    m_Face.inverse = inverse;
    m_Face.hoverLook = m_HoverPaint;
    m_Face.caption = QPoint(int(m_CaptionX) + state, int(m_CaptionY) + state);
    m_Face.borderDrawn = false;
    if (m_AlwaysShowBorder) {
        m_BorderState = BorderRaised;
        m_Face.borderState = BorderRaised;
        m_Face.borderDrawn = true;
    }
    update();
}

void CmdX::hoverPaint(int state, bool inverse)
{
    // The hover colour and boldness apply to this paint only; ForeColor and
    // Font keep their values.
    m_HoverPaint = true;
    CalcLayout();
    DrawButton(state, inverse);
    m_HoverPaint = false;
}

QImage CmdX::renderFace(const Face &face, qreal ratio) const
{
    const QSize s = surfaceSize();
    const int W = s.width();
    const int H = s.height();
    DrawSurface surface(std::max(1, W), std::max(1, H), TranslateColor(m_BackColor), ratio);
    surface.Cls();

    if (m_UseGradientFill && W > 0 && H > 0) {
        OleColor c1 = TranslateColor(m_GradientFromColor);
        OleColor c2 = TranslateColor(m_GradientToColor);
        if (face.inverse)
            std::swap(c1, c2);
        float r = float(RedOf(c1));
        float g = float(GreenOf(c1));
        float b = float(BlueOf(c1));
        const bool across = m_GradientOrientation == GradientAcross;
        if (across || m_GradientOrientation == GradientDown) {
            const float span = across ? float(W) : float(H);
            const float sr = float(RedOf(c2) - RedOf(c1)) / span;
            const float sg = float(GreenOf(c2) - GreenOf(c1)) / span;
            const float sb = float(BlueOf(c2) - BlueOf(c1)) / span;
            const int last = Numeric::roundHalfEven(span);
            for (int i = 0; i <= last; ++i) {
                const OleColor colour = rgbColor(std::clamp(Numeric::roundHalfEven(r), 0, 255),
                    std::clamp(Numeric::roundHalfEven(g), 0, 255),
                    std::clamp(Numeric::roundHalfEven(b), 0, 255));
                if (across)
                    surface.Line(i, 0, i, H, colour);
                else
                    surface.Line(0, i, W, i, colour);
                r += sr;
                g += sg;
                b += sb;
            }
        }
    }

    {
        QPainter p(&surface.image());
        QFont f = font();
        if (face.hoverLook)
            f.setBold(m_FontBoldOnHover);
        f.setStyleStrategy(QFont::NoAntialias);
        p.setFont(f);
        p.setPen(toQColor(face.hoverLook ? m_FontColorOnHover : m_ForeColor));
        const QFontMetrics fm(f);
        p.drawText(face.caption.x(), face.caption.y() + fm.ascent(), m_Caption);
    }

    const auto border = [&](int state) {
        const OleColor back = TranslateColor(m_BackColor);
        const OleColor white = rgbColor(255, 255, 255);
        const OleColor shadow = TranslateColor(sysColor(COLOR_BTNSHADOW));
        OleColor light = back;
        OleColor dark = back;
        if (state == BorderRaised || (state == BorderNone && m_AlwaysShowBorder)) {
            light = white;
            dark = shadow;
        } else if (state == BorderSunken) {
            light = shadow;
            dark = white;
        }
        surface.Line(0, H - 1, 0, 0, light);
        surface.Line(0, 0, W - 1, 0, light);
        surface.Line(W - 1, -1, W - 1, H - 1, dark);
        surface.Line(W - 1, H - 1, -1, H - 1, dark);
    };
    if (m_AlwaysShowBorder)
        border(BorderRaised);
    if (face.borderDrawn || face.borderState != BorderNone)
        border(face.borderState);
    if (face.focused && W > 6 && H > 6) {
        QPainter p(&surface.image());
        p.setPen(QPen(toQColor(TranslateColor(m_ForeColor)), 0, Qt::DotLine));
        p.drawRect(QRectF(3.5, 3.5, W - 8, H - 8));
    }
    return surface.image().convertToFormat(QImage::Format_RGB32);
}

void CmdX::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const int f = m_FrameWidth;
    if (f > 0) {
        // The window edge of Border3DStyle, around the drawing surface.
        const QColor shadow = toQColor(sysColor(COLOR_BTNSHADOW));
        const QColor light = toQColor(sysColor(COLOR_BTNHIGHLIGHT));
        const QColor dark = toQColor(sysColor(COLOR_3DDKSHADOW));
        const QColor mid = toQColor(sysColor(COLOR_3DLIGHT));
        const QColor face = toQColor(sysColor(COLOR_BTNFACE));
        const auto ring = [&](int i, const QColor &tl, const QColor &br) {
            const QRect r = rect().adjusted(i, i, -i - 1, -i - 1);
            p.setPen(tl);
            p.drawLine(r.topLeft(), r.topRight());
            p.drawLine(r.topLeft(), r.bottomLeft());
            p.setPen(br);
            p.drawLine(r.bottomLeft(), r.bottomRight());
            p.drawLine(r.topRight(), r.bottomRight());
        };
        int i = 0;
        if (m_Border3DStyle == Border3DRaised || m_Border3DStyle == Border3DSunkenRaised) {
            ring(i++, mid, dark);
            ring(i++, light, shadow);
            ring(i++, face, face);
        }
        if (m_Border3DStyle == Border3DSunken || m_Border3DStyle == Border3DSunkenRaised) {
            ring(i++, shadow, light);
            ring(i++, dark, mid);
        }
        if (m_Border3DStyle == Border3DFlat)
            ring(i++, shadow, light);
    }
    p.drawImage(f, f, faceImage());
}

void CmdX::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    relayoutAndRedraw();
}

void CmdX::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    // A font inherited from the container moves the caption as a resize does.
    if (event->type() == QEvent::FontChange)
        relayoutAndRedraw();
}

// ---- pointer, keys and focus ---------------------------------------------
//
// While a button is held Qt sends every pointer event to this widget, and a
// leave notice follows the pointer out of it once no button is held; together
// they stand in for capturing the pointer.

void CmdX::mousePressEvent(QMouseEvent *event)
{
    const QPointF pos = surfacePos(event->position());
    const qint16 button = InputCodes::buttonCode(event->button());
    m_MouseFocus = true;
    m_Pressed = true;
    QPointer<CmdX> self(this);
    Q_EMIT MouseDown(
        button, InputCodes::shiftCode(event->modifiers()), float(pos.x()), float(pos.y()));
    if (!self)
        return;
    if (event->button() == Qt::LeftButton) {
        hoverPaint(PaintPressed, m_UseGradientFill && m_GradientInverseOnPress);
        CalcLayout();
        DrawBorder(BorderSunken);
    }
    m_Hovering = true;
}

void CmdX::mouseMoveEvent(QMouseEvent *event)
{
    const Qt::MouseButtons held = event->buttons();
    const qint16 button = held & Qt::LeftButton ? InputCodes::LeftButton
        : held & Qt::RightButton                ? InputCodes::RightButton
        : held & Qt::MiddleButton               ? InputCodes::MiddleButton
                                                : 0;
    pointerMoved(button, InputCodes::shiftCode(event->modifiers()), surfacePos(event->position()),
        event->globalPosition().toPoint());
}

void CmdX::leaveEvent(QEvent *event)
{
    QWidget::leaveEvent(event);
    if (!m_Hovering)
        return;
    const QPoint global = QCursor::pos();
    pointerMoved(0, InputCodes::shiftCode(QGuiApplication::keyboardModifiers()),
        surfacePos(mapFromGlobal(QPointF(global))), global);
}

bool CmdX::pointerInside(QPointF pos, QPoint globalPos)
{
    const QSize s = surfaceSize();
    return pointerOver(this, globalPos) && pos.x() >= 0 && pos.x() <= s.width() && pos.y() >= 0
        && pos.y() <= s.height();
}

bool CmdX::enterButton(QPointF pos, QPoint globalPos)
{
    QPointer<CmdX> self(this);
    if (!m_ToolTip.isEmpty())
        CreateToolTip();
    Q_EMIT MouseEnter();
    if (!self)
        return false;
    if (m_UseHoverProperties) {
        hoverPaint(m_PaintState, false);
    }
    DrawBorder(BorderRaised);
    m_Hovering = true;
    if (m_hToolTip)
        m_hToolTip->relayPointer((pos + QPointF(m_FrameWidth, m_FrameWidth)).toPoint(), globalPos);
    return true;
}

bool CmdX::leaveButton()
{
    QPointer<CmdX> self(this);
    Q_EMIT MouseExit();
    if (!self)
        return false;
    DestroyToolTip();
    m_Pressed = false;
    CalcLayout();
    DrawButton(PaintNormal, false);
    m_Hovering = false;
    DrawBorder(BorderNone);
    return true;
}

void CmdX::pointerMoved(qint16 button, qint16 shift, QPointF pos, QPoint globalPos)
{
    const bool inside = pointerInside(pos, globalPos);
    if (inside && !m_Hovering) {
        if (!enterButton(pos, globalPos))
            return;
    } else if (!inside && !m_DontReleaseCapture) {
        if (!leaveButton())
            return;
    }
    Q_EMIT MouseMove(button, shift, float(pos.x()), float(pos.y()));
}

bool CmdX::event(QEvent *event)
{
    // A modal window (a message box opened by Click, say) takes the pointer
    // and the button hears nothing more of it, not even the leave: let go now.
    if (event->type() == QEvent::WindowBlocked && m_Hovering && !m_DontReleaseCapture) {
        if (!leaveButton())
            return true;
    }
    return QWidget::event(event);
}

void CmdX::mouseReleaseEvent(QMouseEvent *event)
{
    const QPointF pos = surfacePos(event->position());
    const bool left = event->button() == Qt::LeftButton;
    m_MouseFocus = false;
    QPointer<CmdX> self(this);
    bool leftDuringClick = false;
    if (left && m_Pressed) {
        m_Pressed = false;
        Q_EMIT Click();
        if (!self)
            return;
        leftDuringClick = !m_Hovering;
    }
    m_Pressed = false;
    Q_EMIT MouseUp(InputCodes::buttonCode(event->button()),
        InputCodes::shiftCode(event->modifiers()), float(pos.x()), float(pos.y()));
    if (!self)
        return;
    if (leftDuringClick) {
        // Click ran a modal loop that the pointer left the button for; it is
        // wherever that loop left it now.
        const QPoint global = QCursor::pos();
        const QPointF now = surfacePos(mapFromGlobal(QPointF(global)));
        if (!pointerInside(now, global) || !enterButton(now, global))
            return;
    }
    if (left) {
        hoverPaint(PaintNormal, false);
        CalcLayout();
        DrawBorder(BorderRaised);
    }
    m_Hovering = true;
}

void CmdX::mouseDoubleClickEvent(QMouseEvent *)
{
    // The second press of a double click raises DblClick instead of MouseDown.
    Q_EMIT DblClick();
}

void CmdX::keyPressEvent(QKeyEvent *event)
{
    QPointer<CmdX> self(this);
    Q_EMIT KeyDown(InputCodes::keyCode(event->key()), InputCodes::shiftCode(event->modifiers()));
    if (self && InputCodes::isPressKey(event))
        click();
}

void CmdX::focusInEvent(QFocusEvent *event)
{
    m_FocusMark = InputCodes::focusMarkAfter(event->reason(), true, m_FocusMark);
    QWidget::focusInEvent(event);
    if (m_MouseFocus || event->reason() == Qt::MouseFocusReason) {
        m_MouseFocus = false;
        return;
    }
    DrawBorder(BorderRaised);
    DrawBorder(BorderNone);
}

void CmdX::focusOutEvent(QFocusEvent *event)
{
    m_FocusMark = InputCodes::focusMarkAfter(event->reason(), false, m_FocusMark);
    QWidget::focusOutEvent(event);
    DrawButton(PaintNormal, false);
    DrawBorder(BorderNone);
}

// ---- tooltip -------------------------------------------------------------

TipWindow *CmdX::toolTipWindow() const
{
    return m_hToolTip.data();
}

void CmdX::CreateToolTip()
{
    if (m_hToolTip)
        DestroyToolTip();
    int style = TipWindow::StyleAlwaysTip | TipWindow::StyleNoPrefix;
    if (m_ToolTipStyle == ToolTipBalloon)
        style |= TipWindow::StyleBalloon;
    auto *tip = new TipWindow(style, this);
    m_hToolTip = tip;
    const int flags = TipWindow::ToolSubclass | (m_ToolTipCentered ? TipWindow::ToolCenterTip : 0);
    tip->addTool(this, QRect(), flags, m_ToolTip);
    if (!m_ToolTipTitle.isEmpty() || m_ToolTipIcon != 0)
        tip->setTitle(m_ToolTipIcon, m_ToolTipTitle);
    tip->setTipTextColor(toQColor(m_ToolTipForeColor));
    tip->setTipBkColor(toQColor(m_ToolTipBackColor));
    tip->setTipFont(font());
}

void CmdX::DestroyToolTip()
{
    delete m_hToolTip.data();
    m_hToolTip = nullptr;
}
