#include "controls/TranslateColor.h"

#include <QGuiApplication>
#include <QPalette>

namespace
{
// System colour n and the palette colour that stands in for it here.
struct SysEntry {
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

SysEntry paletteEntry(int index)
{
    using P = QPalette;
    switch (index) {
    case COLOR_SCROLLBAR:
        return {P::Active, P::Button};
    case COLOR_BACKGROUND:
        return {P::Active, P::Window};
    case COLOR_ACTIVECAPTION:
        return {P::Active, P::Highlight};
    case COLOR_INACTIVECAPTION:
        return {P::Inactive, P::Highlight};
    case COLOR_MENU:
        return {P::Active, P::Window};
    case COLOR_WINDOW:
        return {P::Active, P::Base};
    case COLOR_WINDOWFRAME:
        return {P::Active, P::Shadow};
    case COLOR_MENUTEXT:
        return {P::Active, P::WindowText};
    case COLOR_WINDOWTEXT:
        return {P::Active, P::Text};
    case COLOR_CAPTIONTEXT:
        return {P::Active, P::HighlightedText};
    case COLOR_ACTIVEBORDER:
        return {P::Active, P::Window};
    case COLOR_INACTIVEBORDER:
        return {P::Inactive, P::Window};
    case COLOR_APPWORKSPACE:
        return {P::Active, P::Dark};
    case COLOR_HIGHLIGHT:
        return {P::Active, P::Highlight};
    case COLOR_HIGHLIGHTTEXT:
        return {P::Active, P::HighlightedText};
    case COLOR_BTNFACE:
        return {P::Active, P::Button};
    case COLOR_BTNSHADOW:
        return {P::Active, P::Mid};
    case COLOR_GRAYTEXT:
        return {P::Disabled, P::Text};
    case COLOR_BTNTEXT:
        return {P::Active, P::ButtonText};
    case COLOR_INACTIVECAPTIONTEXT:
        return {P::Inactive, P::HighlightedText};
    case COLOR_BTNHIGHLIGHT:
        return {P::Active, P::Light};
    case COLOR_3DDKSHADOW:
        return {P::Active, P::Shadow};
    case COLOR_3DLIGHT:
        return {P::Active, P::Midlight};
    case COLOR_INFOTEXT:
        return {P::Active, P::ToolTipText};
    case COLOR_INFOBK:
        return {P::Active, P::ToolTipBase};
    default:
        return {P::Active, P::Window};
    }
}
} // namespace

OleColor TranslateColor(OleColor colour)
{
    if (colour >= 0)
        return colour;
    const SysEntry e = paletteEntry(colour & 0xFF);
    const QPalette palette = QGuiApplication::palette();
    return fromQColor(palette.color(e.group, e.role));
}

QColor toQColor(OleColor colour)
{
    const OleColor c = TranslateColor(colour);
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

OleColor fromQColor(const QColor &colour)
{
    return rgbColor(colour.red(), colour.green(), colour.blue());
}
