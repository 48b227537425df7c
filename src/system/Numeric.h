#pragma once
// The program's numeric conventions, one definition each: conversions from
// floating point to whole numbers round to the nearest integer with halves
// going to the even neighbour, and sizes kept in twips convert to pixels at a
// fixed 15 twips a pixel whatever the screen.

#include <QtGlobal>

#include <cmath>
#include <limits>

namespace Numeric
{

inline constexpr int TwipsPerPixel = 15;

// Nearest integer, halves to the even neighbour (2.5 gives 2, 3.5 gives 4,
// -0.5 gives 0), whatever the floating-point rounding mode; values beyond
// the range of int give its nearest end, NaN gives 0.
inline int roundHalfEven(double value)
{
    if (std::isnan(value))
        return 0;
    double whole = std::floor(value);
    const double rest = value - whole;
    if (rest > 0.5 || (rest == 0.5 && std::fmod(whole, 2.0) != 0.0))
        whole += 1.0;
    if (whole <= double(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    if (whole >= double(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    return static_cast<int>(whole);
}

// Whole pixels for a length in twips, rounded as above.
inline int twipsToPixels(int twips)
{
    return roundHalfEven(double(twips) / TwipsPerPixel);
}

inline int pixelsToTwips(int pixels)
{
    return pixels * TwipsPerPixel;
}

} // namespace Numeric
