#pragma once
// The two role faces of the lip-sync picture, drawn from code: a man and a
// woman, each as a resting face, two eye overlays and twelve mouth overlays.
//
// Every picture is 148 x 148 with magenta (255, 0, 255) where it is
// transparent. An overlay holds the pixels of the whole face drawn with that
// eye or mouth shape, kept only inside the eye or mouth area, so that the
// resting face with an overlay pasted on it is exactly the face drawn with
// that shape. The eye and mouth areas do not meet: eyes and a mouth can be
// pasted on one face in either order.

#include <QImage>
#include <QRect>
#include <QString>

namespace RoleArt
{

inline constexpr int Size = 148;
inline constexpr QRgb Transparent = 0xFFFF00FF;

enum class Role { Male, Female };
enum class Eyes { Open, Closed, Narrow };

// Mouth picture numbers 2 … 13; 0 is the resting mouth of the face.
inline constexpr int RestingMouth = 0;
inline constexpr int FirstMouth = 2;
inline constexpr int LastMouth = 13;

// "Male" / "Female": the role's folder name.
QString folderName(Role role);

// The face with the given eyes and mouth at `scale` times 148 pixels, as a
// 32-bit image without alpha: magenta around the face. Semi-transparent edge
// pixels are blended over white, the default colour behind the picture.
QImage face(Role role, Eyes eyes, int mouth, int scale = 1);

// The image-list pictures by key: "Full", "Closed", "Narrow", "M2" … "M13";
// a null image for any other key.
QImage picture(Role role, const QString &key, int scale = 1);

// The parts of the picture that the eye and mouth overlays cover.
QRect eyeArea(int scale = 1);
QRect mouthArea(int scale = 1);

} // namespace RoleArt
