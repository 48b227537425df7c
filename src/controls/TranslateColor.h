#pragma once
// Colour values as the whole program stores them: red + 256 × green +
// 65536 × blue in a 32-bit integer. A value with the top bit set
// (0x80000000 + n) names system colour n, which TranslateColor resolves
// through the application palette.

#include <QColor>
#include <cstdint>

using OleColor = std::int32_t;

// System colour indices the program uses (n in 0x80000000 + n).
enum SysColorIndex : int {
    COLOR_SCROLLBAR = 0,
    COLOR_BACKGROUND = 1,
    COLOR_ACTIVECAPTION = 2,
    COLOR_INACTIVECAPTION = 3,
    COLOR_MENU = 4,
    COLOR_WINDOW = 5,
    COLOR_WINDOWFRAME = 6,
    COLOR_MENUTEXT = 7,
    COLOR_WINDOWTEXT = 8,
    COLOR_CAPTIONTEXT = 9,
    COLOR_ACTIVEBORDER = 10,
    COLOR_INACTIVEBORDER = 11,
    COLOR_APPWORKSPACE = 12,
    COLOR_HIGHLIGHT = 13,
    COLOR_HIGHLIGHTTEXT = 14,
    COLOR_BTNFACE = 15,
    COLOR_BTNSHADOW = 16,
    COLOR_GRAYTEXT = 17,
    COLOR_BTNTEXT = 18,
    COLOR_INACTIVECAPTIONTEXT = 19,
    COLOR_BTNHIGHLIGHT = 20,
    COLOR_3DDKSHADOW = 21,
    COLOR_3DLIGHT = 22,
    COLOR_INFOTEXT = 23,
    COLOR_INFOBK = 24,
};

constexpr OleColor sysColor(int index)
{
    return static_cast<OleColor>(0x80000000u | static_cast<std::uint32_t>(index));
}

constexpr OleColor rgbColor(int r, int g, int b)
{
    return r + 256 * g + 65536 * b;
}

// A negative value is a system colour: the palette's colour for its low byte.
// Any other value is returned unchanged.
OleColor TranslateColor(OleColor colour);

QColor toQColor(OleColor colour);
OleColor fromQColor(const QColor &colour);
