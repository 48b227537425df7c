// The readings of characters that a word list cannot settle: particles and
// verbs that stand alone as words and are read one way or another by what is
// around them (我得走了 dei3, 跑得快 de5; 種在 zhong4, 這種 zhong3; 扇了扇子
// shan1 … shan4). Each rule names a character, the reading it gives, and
// the neighbours it needs; the first rule of a character whose neighbours
// match wins, and where none matches the lexicon's reading stands.
#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

namespace MandarinPolyphones
{

// The readings of the word of `length` characters that the cut found at
// text[at], as its neighbours decide them: mostly the first syllable alone,
// the rest staying the lexicon's; null where no rule decides. Most rules are
// for a character standing alone; a few are for one word (看得到 de5, 他得到
// de2, 明朝 in verse ming2 zhao1). `wordBefore` is the length in characters
// of the word before it (0 where no Chinese comes before).
const QStringList *readingOf(QStringView text, int at, int length, int wordBefore);

// The rules that can never decide, each as its character and reading: a
// rule for a character standing alone placed after one for the same
// character that has no conditions.
QStringList shadowedRules();

} // namespace MandarinPolyphones
