#pragma once
// The names under which the program keeps its settings: the sections and
// keys of the settings file, and the value under the product's registry key.
// Every read and write of a setting spells its name from here.

#include <QString>

namespace Settings
{
namespace Section
{
inline const QString TTS = QStringLiteral("TTS");
inline const QString Option = QStringLiteral("Option");
inline const QString Last = QStringLiteral("Last");
inline const QString Text = QStringLiteral("Text");
inline const QString RGB = QStringLiteral("RGB");
// Older files keep the keyword colour here as one number.
inline const QString AP = QStringLiteral("AP");
} // namespace Section

namespace Key
{
// Section TTS
inline const QString RoleID = QStringLiteral("RoleID");
inline const QString Rate = QStringLiteral("Rate");
inline const QString Volume = QStringLiteral("Volume");
inline const QString All = QStringLiteral("All");
inline const QString UseXML = QStringLiteral("UseXML");
// Section Option
inline const QString CustomDefault = QStringLiteral("CustomDefault");
inline const QString CustomDefMalePic = QStringLiteral("CustomDefMalePic");
inline const QString CustomDefFemalePic = QStringLiteral("CustomDefFemalePic");
inline const QString FntName = QStringLiteral("FntName");
inline const QString FntSize = QStringLiteral("FntSize");
inline const QString Prompt = QStringLiteral("Prompt");
inline const QString Fullscreen = QStringLiteral("Fullscreen");
// Section Last
inline const QString Path = QStringLiteral("Path");
// Section Text
inline const QString SelPos = QStringLiteral("SelPos");
inline const QString SelLen = QStringLiteral("SelLen");
// Sections RGB and AP
inline const QString BgColor = QStringLiteral("BgColor");
inline const QString FrameColor = QStringLiteral("FrameColor");
inline const QString PhotoColor = QStringLiteral("PhotoColor");
inline const QString KeyWordColor = QStringLiteral("KeyWordColor");
} // namespace Key

namespace Registry
{
// The string value under the product's key of the current user.
inline const QString RoleID = QStringLiteral("RoleID");
} // namespace Registry
} // namespace Settings
