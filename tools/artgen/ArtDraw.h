#pragma once
// The drawing functions behind the entries of the manifest. Each draws in 1x
// coordinates; frame is the button frame (0 normal, 1 hover, 2 pressed,
// 3 disabled) for strips and 0 for single pictures.

class QPainter;

namespace Art
{

// Title band
void drawTitleTile(QPainter &p, int frame);
void drawLogo(QPainter &p, int frame);
void drawCompany(QPainter &p, int frame);
void drawLink1(QPainter &p, int frame);
void drawLink2(QPainter &p, int frame);

// Button strips
void drawHelpManual(QPainter &p, int frame);
void drawHelpCopyright(QPainter &p, int frame);
void drawHelpPrompt(QPainter &p, int frame);
void drawHelpPronounce(QPainter &p, int frame);
void drawChangePicture(QPainter &p, int frame);

// Sizes shared by the title pictures and the links laid over them.
inline constexpr int TileWidth = 8;
inline constexpr int BandHeight = 32;
inline constexpr int LogoWidth = 84;
inline constexpr int LogoHeight = 26;
inline constexpr int CompanyWidth = 90;
inline constexpr int CompanyHeight = 26;
inline constexpr int ButtonSize = 24;

} // namespace Art
