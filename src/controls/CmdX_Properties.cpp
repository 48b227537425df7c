// Property reads and writes of CmdX, and its property bag: each write stores
// the value, announces it and redraws as much of the face as it affects.

#include "controls/CmdX.h"

#include "controls/InputCodes.h"
#include "controls/TipWindow.h"

#include <QLabel>

// ---- properties ----------------------------------------------------------

void CmdX::changed(const char *name)
{
    Q_EMIT propertyChanged(QLatin1String(name));
}

void CmdX::relayoutAndRedraw()
{
    CalcLayout();
    DrawButton(PaintNormal, false);
}

void CmdX::setCaption(const QString &caption)
{
    m_Caption = caption;
    m_CaptionSet = true;
    changed("Caption");
    relayoutAndRedraw();
    updateAccessibility();
}

void CmdX::setCaptionAlignment(int alignment)
{
    m_CaptionAlignment = alignment;
    changed("CaptionAlignment");
    relayoutAndRedraw();
}

void CmdX::setCaptionXOffset(int offset)
{
    m_CaptionXOffset = offset;
    changed("CaptionXOffset");
    relayoutAndRedraw();
}

void CmdX::setCaptionYOffset(int offset)
{
    m_CaptionYOffset = offset;
    changed("CaptionYOffset");
    relayoutAndRedraw();
}

void CmdX::setUseHoverProperties(bool on)
{
    m_UseHoverProperties = on;
    changed("UseHoverProperties");
}

void CmdX::setFontBoldOnHover(bool on)
{
    m_FontBoldOnHover = on;
    changed("FontBoldOnHover");
}

void CmdX::setFontColorOnHover(OleColor colour)
{
    m_FontColorOnHover = colour;
    changed("FontColorOnHover");
}

void CmdX::setBackColor(OleColor colour)
{
    m_BackColor = colour;
    changed("BackColor");
    DrawButton(PaintNormal, false);
    DrawBorder(m_BorderState);
}

void CmdX::setForeColor(OleColor colour)
{
    m_ForeColor = colour;
    changed("ForeColor");
    DrawButton(PaintNormal, false);
    DrawBorder(m_BorderState);
}

void CmdX::setCaptionFont(const QFont &f)
{
    setFont(f);
    changed("Font");
    relayoutAndRedraw();
}

void CmdX::setPicture(const QPixmap &picture)
{
    m_Picture = picture;
    if (picture.isNull())
        m_imgPicture->hide();
    changed("Picture");
    relayoutAndRedraw();
}

void CmdX::setPictureAlignment(int alignment)
{
    m_PictureAlignment = alignment;
    changed("PictureAlignment");
    relayoutAndRedraw();
}

void CmdX::setPictureXOffset(int offset)
{
    m_PictureXOffset = offset;
    changed("PictureXOffset");
    relayoutAndRedraw();
}

void CmdX::setPictureYOffset(int offset)
{
    m_PictureYOffset = offset;
    changed("PictureYOffset");
    relayoutAndRedraw();
}

void CmdX::setAlwaysShowBorder(bool on)
{
    m_AlwaysShowBorder = on;
    changed("AlwaysShowBorder");
    DrawBorder(on ? BorderRaised : BorderNone);
}

void CmdX::setToolTipValue(const QString &text)
{
    m_ToolTip = text;
    changed("ToolTip");
    if (m_hToolTip)
        m_hToolTip->updateTipText(text);
    updateAccessibility();
}

void CmdX::setToolTipTitle(const QString &title)
{
    m_ToolTipTitle = title;
    changed("ToolTipTitle");
}

void CmdX::setToolTipBackColor(OleColor colour)
{
    m_ToolTipBackColor = colour;
    changed("ToolTipBackColor");
}

void CmdX::setToolTipForeColor(OleColor colour)
{
    m_ToolTipForeColor = colour;
    changed("ToolTipForeColor");
}

void CmdX::setToolTipIcon(int icon)
{
    m_ToolTipIcon = icon;
    changed("ToolTipIcon");
}

void CmdX::setToolTipStyle(int style)
{
    m_ToolTipStyle = style;
    changed("ToolTipStyle");
}

void CmdX::setToolTipCentered(bool on)
{
    m_ToolTipCentered = on;
    changed("ToolTipCentered");
}

void CmdX::setBorder3DStyle(int style)
{
    m_Border3DStyle = style;
    changed("Border3DStyle");
    relayoutAndRedraw();
}

void CmdX::setGradientOrientation(int orientation)
{
    if (orientation == m_GradientOrientation)
        return;
    m_GradientOrientation = orientation;
    changed("GradientOrientation");
    relayoutAndRedraw();
}

void CmdX::setUseGradientFill(bool on)
{
    if (on == m_UseGradientFill)
        return;
    m_UseGradientFill = on;
    changed("UseGradientFill");
    relayoutAndRedraw();
}

void CmdX::setGradientFromColor(OleColor colour)
{
    const bool differs = colour != m_GradientFromColor;
    m_GradientFromColor = colour;
    changed("GradientFromColor");
    if (differs)
        DrawButton(PaintNormal, false);
}

void CmdX::setGradientToColor(OleColor colour)
{
    const bool differs = colour != m_GradientToColor;
    m_GradientToColor = colour;
    changed("GradientToColor");
    if (differs)
        DrawButton(PaintNormal, false);
}

void CmdX::setGradientInverseOnPress(bool on)
{
    m_GradientInverseOnPress = on;
    changed("GradientInverseOnPress");
    DrawButton(PaintNormal, false);
}

void CmdX::setMousePointer(qint16 pointer)
{
    const auto shape = InputCodes::cursorShape(pointer);
    if (!shape)
        return;
    m_MousePointer = pointer;
    if (pointer == 0)
        unsetCursor();
    else
        setCursor(*shape);
    changed("MousePointer");
}

void CmdX::setEnabledValue(bool on)
{
    setEnabled(on);
    changed("Enabled");
}

void CmdX::setTag(const QString &tag)
{
    m_Tag = tag;
    changed("Tag");
}

void CmdX::setToolTipText(const QString &text)
{
    setToolTip(text);
    changed("ToolTipText");
    updateAccessibility();
}

void CmdX::setValue(bool value)
{
    if (value)
        Q_EMIT Click();
}

void CmdX::updateAccessibility()
{
    setAccessibleName(m_Caption);
    setAccessibleDescription(m_ToolTip.isEmpty() ? toolTip() : m_ToolTip);
}

// ---- property bag --------------------------------------------------------

void CmdX::ReadProperties(const QVariantMap &bag)
{
    const auto get = [&bag](const char *key, const QVariant &def) {
        return bag.value(QLatin1String(key), def);
    };
    m_Caption = get("Caption", objectName()).toString();
    m_CaptionSet = bag.contains(QStringLiteral("Caption"));
    m_CaptionAlignment = get("CaptionAlignment", AlignCentreMiddle).toInt();
    m_CaptionXOffset = get("CaptionXOffset", 0).toInt();
    m_CaptionYOffset = get("CaptionYOffset", 0).toInt();
    m_UseHoverProperties = get("UseHoverProperties", true).toBool();
    m_FontBoldOnHover = get("FontBoldOnHover", false).toBool();
    m_FontColorOnHover = get("FontColorOnHover", 0xFF0000).toInt();
    m_BackColor = get("BackColor", sysColor(COLOR_BTNFACE)).toInt();
    m_ForeColor = get("ForeColor", sysColor(COLOR_BTNTEXT)).toInt();
    if (bag.contains(QStringLiteral("Font"))) {
        QFont f;
        if (f.fromString(bag.value(QStringLiteral("Font")).toString()))
            setFont(f);
    }
    m_Picture = get("Picture", QPixmap()).value<QPixmap>();
    m_PictureAlignment = get("PictureAlignment", AlignLeftMiddle).toInt();
    m_PictureXOffset = get("PictureXOffset", 0).toInt();
    m_PictureYOffset = get("PictureYOffset", 0).toInt();
    m_AlwaysShowBorder = get("AlwaysShowBorder", false).toBool();
    m_ToolTip = get("ToolTip", QString()).toString();
    m_ToolTipTitle = get("ToolTipTitle", QString()).toString();
    m_ToolTipBackColor = get("ToolTipBackColor", sysColor(COLOR_INFOBK)).toInt();
    m_ToolTipForeColor = get("ToolTipForeColor", sysColor(COLOR_INFOTEXT)).toInt();
    m_ToolTipIcon = get("ToolTipIcon", 0).toInt();
    m_ToolTipStyle = get("ToolTipStyle", ToolTipRectangle).toInt();
    m_ToolTipCentered = get("ToolTipCentered", false).toBool();
    m_Border3DStyle = get("Border3DStyle", Border3DNone).toInt();
    m_GradientOrientation = get("GradientOrientation", GradientDown).toInt();
    m_UseGradientFill = get("UseGradientFill", true).toBool();
    m_GradientFromColor = get("GradientFromColor", sysColor(COLOR_BTNHIGHLIGHT)).toInt();
    m_GradientToColor = get("GradientToColor", sysColor(COLOR_BTNSHADOW)).toInt();
    m_GradientInverseOnPress = get("GradientInverseOnPress", true).toBool();
    const auto shape = InputCodes::cursorShape(get("MousePointer", 0).toInt());
    if (shape) {
        m_MousePointer = static_cast<qint16>(get("MousePointer", 0).toInt());
        if (m_MousePointer == 0)
            unsetCursor();
        else
            setCursor(*shape);
    }
    setEnabled(get("Enabled", true).toBool());
    if (m_Picture.isNull())
        m_imgPicture->hide();
    relayoutAndRedraw();
    updateAccessibility();
}

QVariantMap CmdX::WriteProperties() const
{
    QVariantMap bag;
    const auto put = [&bag](const char *key, const QVariant &value, const QVariant &def) {
        if (value != def)
            bag.insert(QLatin1String(key), value);
    };
    put("Caption", m_Caption, objectName());
    put("CaptionAlignment", m_CaptionAlignment, AlignCentreMiddle);
    put("CaptionXOffset", m_CaptionXOffset, 0);
    put("CaptionYOffset", m_CaptionYOffset, 0);
    put("UseHoverProperties", m_UseHoverProperties, true);
    put("FontBoldOnHover", m_FontBoldOnHover, false);
    put("FontColorOnHover", m_FontColorOnHover, 0xFF0000);
    put("BackColor", m_BackColor, sysColor(COLOR_BTNFACE));
    put("ForeColor", m_ForeColor, sysColor(COLOR_BTNTEXT));
    if (testAttribute(Qt::WA_SetFont))
        bag.insert(QStringLiteral("Font"), font().toString());
    if (!m_Picture.isNull())
        bag.insert(QStringLiteral("Picture"), m_Picture);
    put("PictureAlignment", m_PictureAlignment, AlignLeftMiddle);
    put("PictureXOffset", m_PictureXOffset, 0);
    put("PictureYOffset", m_PictureYOffset, 0);
    put("AlwaysShowBorder", m_AlwaysShowBorder, false);
    put("ToolTip", m_ToolTip, QString());
    put("ToolTipTitle", m_ToolTipTitle, QString());
    put("ToolTipBackColor", m_ToolTipBackColor, sysColor(COLOR_INFOBK));
    put("ToolTipForeColor", m_ToolTipForeColor, sysColor(COLOR_INFOTEXT));
    put("ToolTipIcon", m_ToolTipIcon, 0);
    put("ToolTipStyle", m_ToolTipStyle, ToolTipRectangle);
    put("ToolTipCentered", m_ToolTipCentered, false);
    put("Border3DStyle", m_Border3DStyle, Border3DNone);
    put("GradientOrientation", m_GradientOrientation, GradientDown);
    put("UseGradientFill", m_UseGradientFill, true);
    put("GradientFromColor", m_GradientFromColor, sysColor(COLOR_BTNHIGHLIGHT));
    put("GradientToColor", m_GradientToColor, sysColor(COLOR_BTNSHADOW));
    put("GradientInverseOnPress", m_GradientInverseOnPress, true);
    put("MousePointer", int(m_MousePointer), 0);
    put("Enabled", isEnabled(), true);
    return bag;
}
