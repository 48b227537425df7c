#pragma once
// Ordering of string lists without moving the strings: callers get back the
// order in which to read the list. The font list and other name lists use it
// so that the strings themselves (and anything kept in parallel with them)
// stay where they are.

#include <QList>
#include <QStringList>

namespace AppSort
{

// Positions of list in ascending order of its strings, 0-based: list[result[0]]
// is the smallest. Strings compare by UTF-16 code unit; with ignoreCase both
// sides are lower-cased first. Equal strings come out in no particular order.
// An empty list gives an empty result; list itself is never changed.
QList<int> SortIndex(const QStringList &list, bool ignoreCase);

} // namespace AppSort
