#include "controls/TipWindow.h"

#include <QBitmap>
#include <QEnterEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QRegularExpression>
#include <QScreen>
#include <QStyleHints>

namespace
{
constexpr int IconSize = 16;
constexpr int IconGap = 6;
constexpr int TitleGap = 4;

int hMargin(bool balloon)
{
    return balloon ? 9 : 4;
}
int vMargin(bool balloon)
{
    return balloon ? 7 : 2;
}

QFont boldOf(QFont font)
{
    font.setBold(true);
    return font;
}

bool hasTitleRow(const TipWindow::Look &look)
{
    return !look.title.isEmpty();
}

QSize titleRowSize(const TipWindow::Look &look)
{
    if (!hasTitleRow(look))
        return {};
    const QFontMetrics fm(boldOf(look.font));
    int w = fm.horizontalAdvance(look.title);
    int h = fm.height();
    if (look.icon != TipWindow::IconNone) {
        w += IconSize + IconGap;
        h = std::max(h, IconSize);
    }
    return {w, h};
}

void drawIcon(QPainter &p, int icon, const QRect &r)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    QFont f = p.font();
    f.setBold(true);
    f.setPixelSize(r.height() - 4);
    p.setFont(f);
    switch (icon) {
    case TipWindow::IconInfo:
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 90, 200));
        p.drawEllipse(r.adjusted(0, 0, -1, -1));
        p.setPen(Qt::white);
        p.drawText(r, Qt::AlignCenter, QStringLiteral("i"));
        break;
    case TipWindow::IconWarning: {
        QPainterPath tri;
        tri.moveTo(r.center().x() + 0.5, r.top());
        tri.lineTo(r.right() + 0.5, r.bottom() + 0.5);
        tri.lineTo(r.left(), r.bottom() + 0.5);
        tri.closeSubpath();
        p.setPen(QColor(120, 90, 0));
        p.setBrush(QColor(250, 200, 0));
        p.drawPath(tri);
        p.setPen(Qt::black);
        p.drawText(r.adjusted(0, 3, 0, 0), Qt::AlignCenter, QStringLiteral("!"));
        break;
    }
    case TipWindow::IconError:
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(210, 30, 30));
        p.drawEllipse(r.adjusted(0, 0, -1, -1));
        p.setPen(QPen(Qt::white, 2));
        p.drawLine(r.topLeft() + QPoint(5, 5), r.bottomRight() - QPoint(5, 5));
        p.drawLine(QPoint(r.right() - 5, r.top() + 5), QPoint(r.left() + 5, r.bottom() - 5));
        break;
    default:
        break;
    }
    p.restore();
}
} // namespace

TipWindow::TipWindow(int style, QWidget *owner)
    : QWidget(owner,
        Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint
            | Qt::WindowTransparentForInput | Qt::WindowDoesNotAcceptFocus)
    , m_Style(style)
    , m_Fore(QGuiApplication::palette().color(QPalette::ToolTipText))
    , m_Back(QGuiApplication::palette().color(QPalette::ToolTipBase))
    , m_Font(QGuiApplication::font())
{
    setObjectName(QStringLiteral("tooltips_class32"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_DeleteOnClose, false);
    m_InitialTimer.setSingleShot(true);
    m_AutoPopTimer.setSingleShot(true);
    connect(&m_InitialTimer, &QTimer::timeout, this, &TipWindow::onInitialDelay);
    connect(&m_AutoPopTimer, &QTimer::timeout, this, [this] {
        pop();
        m_WaitForLeave = true;
    });
}

TipWindow::~TipWindow()
{
    if (m_ToolWindow)
        m_ToolWindow->removeEventFilter(this);
    for (const QPointer<QWidget> &relay : std::as_const(m_Relays)) {
        if (relay)
            relay->removeEventFilter(this);
    }
}

bool TipWindow::addTool(QWidget *toolWindow, const QRect &rect, int flags, const QString &text)
{
    if (!toolWindow)
        return false;
    if (m_ToolWindow)
        m_ToolWindow->removeEventFilter(this);
    m_ToolWindow = toolWindow;
    m_ToolRect = rect;
    m_ToolFlags = flags;
    m_Text = text;
    setAccessibleName(text);
    if (flags & ToolSubclass) {
        toolWindow->setMouseTracking(true);
        toolWindow->installEventFilter(this);
    }
    return true;
}

void TipWindow::relayEventsFrom(QWidget *widget)
{
    if (!widget || widget == m_ToolWindow)
        return;
    widget->setMouseTracking(true);
    widget->installEventFilter(this);
    m_Relays.append(widget);
}

QRect TipWindow::toolRect() const
{
    if (!m_ToolRect.isNull())
        return m_ToolRect;
    return m_ToolWindow ? m_ToolWindow->rect() : QRect();
}

void TipWindow::updateTipText(const QString &text)
{
    m_Text = text;
    setAccessibleName(text);
    if (isVisible())
        popup(m_LastPointer);
}

void TipWindow::setTitle(int icon, const QString &title)
{
    m_Icon = icon;
    m_Title = title;
    update();
}

void TipWindow::setTipTextColor(const QColor &colour)
{
    m_Fore = colour;
    update();
}

void TipWindow::setTipBkColor(const QColor &colour)
{
    m_Back = colour;
    update();
}

int TipWindow::defaultDelay(int code)
{
    const int initial = QGuiApplication::styleHints()->mouseDoubleClickInterval();
    return code == DelayAutoPop ? 10 * initial : initial;
}

void TipWindow::setDelayTime(int code, int milliseconds)
{
    if (code == DelayInitial)
        m_InitialDelay = milliseconds;
    else if (code == DelayAutoPop)
        m_AutoPopDelay = milliseconds;
}

int TipWindow::delayTime(int code) const
{
    const int stored = code == DelayInitial ? m_InitialDelay : m_AutoPopDelay;
    return stored < 0 ? defaultDelay(code) : stored;
}

void TipWindow::setTipFont(const QFont &font)
{
    m_Font = font;
    update();
}

TipWindow::Look TipWindow::look() const
{
    Look l;
    l.text = m_Text;
    l.title = m_Title;
    l.icon = m_Icon;
    l.fore = m_Fore;
    l.back = m_Back;
    l.font = m_Font;
    l.balloon = (m_Style & StyleBalloon) != 0;
    l.stemUp = m_StemUp;
    l.stemX = m_StemX;
    return l;
}

QStringList TipWindow::lines(const QString &text)
{
    static const QRegularExpression breaks(QStringLiteral("\r\n|\n|\r"));
    return text.split(breaks);
}

QSize TipWindow::faceSize(const Look &look)
{
    const QFontMetrics fm(look.font);
    const QStringList rows = lines(look.text);
    int w = 0;
    for (const QString &row : rows)
        w = std::max(w, fm.horizontalAdvance(row));
    int h = fm.height() * int(rows.size());
    const QSize title = titleRowSize(look);
    if (title.isValid()) {
        w = std::max(w, title.width());
        h += title.height() + TitleGap;
    }
    w += 2 * hMargin(look.balloon);
    h += 2 * vMargin(look.balloon);
    if (look.balloon) {
        w = std::max(w, 2 * CornerRadius + 2 * StemHeight);
        h += StemHeight;
    }
    return {w, h};
}

QImage TipWindow::renderFace(const Look &look)
{
    const QSize size = faceSize(look);
    QImage img(size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, false);

    int bodyTop = 0;
    if (look.balloon) {
        // Body and stem as one outline, so the border runs round both.
        const int bodyH = size.height() - StemHeight;
        bodyTop = look.stemUp ? StemHeight : 0;
        const QRect body(0, bodyTop, size.width() - 1, bodyH - 1);
        QPainterPath outline;
        outline.addRoundedRect(body, CornerRadius, CornerRadius);
        const int sx = std::clamp(look.stemX, CornerRadius + 1, size.width() - CornerRadius - 2);
        const int baseY = look.stemUp ? bodyTop : bodyTop + bodyH - 1;
        const int tipY = look.stemUp ? 0 : size.height() - 1;
        // The stem leans towards the body's middle, as a speech balloon's does.
        const int baseOther = sx < size.width() / 2 ? sx + StemHeight : sx - StemHeight;
        QPainterPath stem;
        stem.moveTo(sx, tipY);
        stem.lineTo(sx, baseY);
        stem.lineTo(baseOther, baseY);
        stem.closeSubpath();
        outline = outline.united(stem);
        p.setPen(QPen(look.fore, 1));
        p.setBrush(look.back);
        p.drawPath(outline.simplified());
    } else {
        p.setPen(look.fore);
        p.setBrush(look.back);
        p.drawRect(0, 0, size.width() - 1, size.height() - 1);
    }

    const int left = hMargin(look.balloon);
    int y = bodyTop + vMargin(look.balloon);
    p.setPen(look.fore);
    const QSize title = titleRowSize(look);
    if (title.isValid()) {
        int x = left;
        if (look.icon != IconNone) {
            drawIcon(
                p, look.icon, QRect(x, y + (title.height() - IconSize) / 2, IconSize, IconSize));
            x += IconSize + IconGap;
        }
        const QFont bold = boldOf(look.font);
        p.setFont(bold);
        const QFontMetrics bfm(bold);
        p.drawText(x, y + (title.height() - bfm.height()) / 2 + bfm.ascent(), look.title);
        y += title.height() + TitleGap;
    }
    p.setFont(look.font);
    const QFontMetrics fm(look.font);
    for (const QString &row : lines(look.text)) {
        p.drawText(left, y + fm.ascent(), row);
        y += fm.height();
    }
    return img;
}

void TipWindow::popup(const QPoint &pointerGlobal)
{
    if (!m_ToolWindow)
        return;
    m_LastPointer = pointerGlobal;
    const bool balloon = (m_Style & StyleBalloon) != 0;
    const bool centred = (m_ToolFlags & ToolCenterTip) != 0;
    const QRect tool(m_ToolWindow->mapToGlobal(toolRect().topLeft()), toolRect().size());

    Look l = look();
    l.stemUp = true;
    const QSize size = faceSize(l);
    // Below the tool when centred, otherwise below the pointer's hot spot so
    // the tip never lies under the pointer itself.
    QPoint anchor
        = centred ? QPoint(tool.center().x(), tool.bottom() + 1) : pointerGlobal + QPoint(0, 18);
    QScreen *screen = QGuiApplication::screenAt(pointerGlobal);
    if (!screen)
        screen = m_ToolWindow->screen();
    const QRect avail = screen ? screen->availableGeometry() : QRect(anchor, size);
    int x = centred || balloon ? anchor.x() - (centred ? size.width() / 2 : CornerRadius + 4)
                               : anchor.x();
    int y = anchor.y();
    if (y + size.height() > avail.bottom() + 1) {
        // No room below: put it above the tool (or the pointer), stem down.
        l.stemUp = false;
        const int topEdge = centred ? tool.top() : pointerGlobal.y() - 2;
        y = topEdge - size.height();
    }
    x = std::clamp(x, avail.left(), std::max(avail.left(), avail.right() + 1 - size.width()));
    l.stemX = anchor.x() - x;
    m_StemUp = l.stemUp;
    m_StemX = l.stemX;

    setFixedSize(size);
    move(x, y);
    // Platforms without window shapes show the balloon on its rectangle.
    static const bool shapes = QGuiApplication::platformName() != QLatin1String("offscreen")
        && QGuiApplication::platformName() != QLatin1String("minimal");
    if (balloon && shapes)
        setMask(QBitmap::fromImage(renderFace(l).createAlphaMask()));
    else if (shapes)
        clearMask();
    show();
    update();
    m_AutoPopTimer.start(delayTime(DelayAutoPop));
}

void TipWindow::pop()
{
    m_AutoPopTimer.stop();
    if (isVisible())
        hide();
}

bool TipWindow::mayShow() const
{
    if (!m_ToolWindow || !m_ToolWindow->isVisible() || m_WaitForLeave)
        return false;
    return (m_Style & StyleAlwaysTip) || m_ToolWindow->window()->isActiveWindow();
}

void TipWindow::onInitialDelay()
{
    if (mayShow())
        popup(m_LastPointer);
}

void TipWindow::relayPointer(const QPoint &toolPos, const QPoint &globalPos)
{
    if (!toolRect().contains(toolPos)) {
        pointerGone();
        return;
    }
    m_LastPointer = globalPos;
    if (!isVisible() && !m_WaitForLeave)
        m_InitialTimer.start(delayTime(DelayInitial));
}

void TipWindow::pointerGone()
{
    m_InitialTimer.stop();
    m_WaitForLeave = false;
    pop();
}

bool TipWindow::eventFilter(QObject *watched, QEvent *event)
{
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget || !m_ToolWindow)
        return false;
    const auto toTool = [&](QPointF local) {
        return widget == m_ToolWindow ? local.toPoint()
                                      : widget->mapTo(m_ToolWindow, local.toPoint());
    };
    switch (event->type()) {
    case QEvent::MouseMove: {
        auto *me = static_cast<QMouseEvent *>(event);
        relayPointer(toTool(me->position()), me->globalPosition().toPoint());
        break;
    }
    case QEvent::Enter: {
        auto *ee = static_cast<QEnterEvent *>(event);
        relayPointer(toTool(ee->position()), ee->globalPosition().toPoint());
        break;
    }
    case QEvent::Leave:
        // A relayed child's leave means the pointer went back onto the tool
        // window, which reports its own moves.
        if (widget == m_ToolWindow)
            pointerGone();
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
        m_InitialTimer.stop();
        pop();
        break;
    case QEvent::Hide:
    case QEvent::EnabledChange:
        pointerGone();
        break;
    case QEvent::ToolTip:
        // This window replaces the widget's plain tooltip inside its rectangle.
        if (toolRect().contains(toTool(static_cast<QHelpEvent *>(event)->pos())))
            return true;
        break;
    default:
        break;
    }
    return false;
}

void TipWindow::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.drawImage(0, 0, renderFace(look()));
}
