#pragma once
// The typeface list of the font box and the status-bar texts of the character
// count. Nothing here touches a widget: the window hands in the installed
// family names (QFontDatabase::families()) and puts the results where they go.

#include <QString>
#include <QStringList>

namespace AppFont
{

// The family names in the order the font box lists them: names beginning with
// "@" (vertical-writing variants) and empty names are left out; names whose
// first character is not ASCII (CJK and other double-byte names) come first,
// then the rest, each group sorted with AppSort::SortIndex ignoring case.
// Duplicates are kept.
QStringList OrderFontFamilies(const QStringList &families);

// Status-bar panel 1: "總字數： " and the count right-aligned in a field of 15
// characters. A count wider than the field is shown whole, never cut.
QString FormatCharCount(qsizetype count);

// Status-bar panel 2, the same text on every refresh.
QString CharLimitText();

} // namespace AppFont
