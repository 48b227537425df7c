#include "controls/CTooltip.h"

#include "controls/TipWindow.h"

#include <QMetaProperty>
#include <QWidget>

namespace
{
const char *const ToolTipTextKey = "ToolTipText";
// The byte size of the platform's tool description, kept in it as given.
constexpr int ToolInfoSize = 44;

bool declaresToolTipText(const QObject *control)
{
    return control->metaObject()->indexOfProperty(ToolTipTextKey) >= 0;
}
} // namespace

CTooltip::CTooltip(QObject *parent)
    : QObject(parent)
{
}

CTooltip::~CTooltip()
{
    Remove();
}

QString CTooltip::toolTipTextOf(const QObject *control)
{
    if (!control)
        return {};
    if (declaresToolTipText(control))
        return control->property(ToolTipTextKey).toString();
    if (auto *w = qobject_cast<const QWidget *>(control))
        return w->toolTip();
    return control->property(ToolTipTextKey).toString();
}

void CTooltip::setToolTipTextOf(QObject *control, const QString &text)
{
    if (!control)
        return;
    if (declaresToolTipText(control))
        control->setProperty(ToolTipTextKey, text);
    else if (auto *w = qobject_cast<QWidget *>(control))
        w->setToolTip(text);
    else
        control->setProperty(ToolTipTextKey, text);
}

QString CTooltip::tipTextFor(const QString &text, const QString &title)
{
    QString result = text;
    result.replace(QLatin1Char('|'), QStringLiteral("\r\n"));
    // Only a tip with a title is laid out on several lines.
    if (title.isEmpty())
        result.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    return result;
}

void CTooltip::Remove()
{
    if (m_hTip) {
        delete m_hTip.data();
        m_hTip = nullptr;
        setToolTipTextOf(m_Ctrl, m_ToolInfo.text);
    }
    m_Style = NoTip;
}

void CTooltip::setFormX(QWidget *form)
{
    m_Form = form;
}

bool CTooltip::Centered() const
{
    return (m_ToolInfo.flags & TipWindow::ToolCenterTip) != 0;
}

TipWindow *CTooltip::tipWindow() const
{
    return m_hTip.data();
}

TipWindow *CTooltip::Create(QObject *control, const Options &options)
{
    if (!m_Form)
        return nullptr;
    return CreateEx(control, QRect(), qobject_cast<QWidget *>(control), options);
}

TipWindow *CTooltip::AddLabel(
    QObject *label, QWidget *parent, const QRect &rect, const Options &options)
{
    m_LabelParent = parent;
    return CreateEx(label, rect, parent, options);
}

TipWindow *CTooltip::CreateEx(
    QObject *control, const QRect &rect, QWidget *toolWindow, const Options &options)
{
    const QString &text = options.text;
    const QString &title = options.title;
    const int style = options.style;
    const int icon = options.icon;
    Remove();
    m_Ctrl = control;
    setToolTipTextOf(control, text);

    const bool styleOk = style == StyleRectangle || style == StyleAlwaysTip || style == StyleBalloon
        || style == StyleBalloonAlways;
    if (!styleOk || icon < IconNone || icon > IconError)
        return nullptr;

    m_ToolInfo = ToolInfo {};
    m_ToolInfo.size = ToolInfoSize;
    m_ToolInfo.flags = TipWindow::ToolSubclass | (options.centered ? TipWindow::ToolCenterTip : 0);
    m_ToolInfo.hwnd = toolWindow;
    m_ToolInfo.id = 0;
    if (toolWindow && toolWindow == m_LabelParent)
        m_ToolInfo.rect = rect;
    else if (toolWindow)
        m_ToolInfo.rect = toolWindow->rect();

    m_Title = title;
    if (m_InitialTitle.isEmpty())
        m_InitialTitle = title;

    m_ToolInfo.text = tipTextFor(text, title);
    if (m_InitialText.isEmpty())
        m_InitialText = m_ToolInfo.text;

    OleColor fore = TranslateColor(options.foreColor);
    OleColor back = TranslateColor(options.backColor);
    // Text in its own background colour would be invisible: the standard pair instead.
    if (fore == back) {
        const Options standard;
        fore = TranslateColor(standard.foreColor);
        back = TranslateColor(standard.backColor);
    }

    m_Icon = icon;
    m_Style = style;
    m_ForeCol = fore;
    m_BackCol = back;
    m_HoverTime = options.hoverTime;
    m_PopupTime = options.popupTime;

    if (!toolWindow)
        return nullptr;
    auto *tip = new TipWindow(style | TipWindow::StyleNoPrefix, toolWindow);
    const QRect area = toolWindow == m_LabelParent ? m_ToolInfo.rect : QRect();
    if (!tip->addTool(toolWindow, area, m_ToolInfo.flags, m_ToolInfo.text)) {
        delete tip;
        return nullptr;
    }
    if (toolWindow == m_LabelParent) {
        auto *labelWidget = qobject_cast<QWidget *>(control);
        if (labelWidget && toolWindow->isAncestorOf(labelWidget))
            tip->relayEventsFrom(labelWidget);
    }
    m_hTip = tip;
    tip->setTitle(icon, title);
    tip->setTipTextColor(toQColor(fore));
    tip->setTipBkColor(toQColor(back));
    tip->setDelayTime(TipWindow::DelayInitial, options.hoverTime);
    tip->setDelayTime(TipWindow::DelayAutoPop, options.popupTime);
    if (m_Form)
        tip->setTipFont(m_Form->font());
    return tip;
}

void CTooltip::setPopupTime(int milliseconds)
{
    m_PopupTime = milliseconds;
    if (m_hTip)
        m_hTip->setDelayTime(TipWindow::DelayAutoPop, milliseconds);
}

void CTooltip::setHoverTime(int milliseconds)
{
    m_HoverTime = milliseconds;
    if (m_hTip)
        m_hTip->setDelayTime(TipWindow::DelayInitial, milliseconds);
}
