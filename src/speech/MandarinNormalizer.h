// Spells out, in Chinese words as Taiwan reads them aloud, what a Mandarin
// voice cannot read from the characters alone: numbers (quantities, years,
// dates, times, decimals, percentages, fractions, ordinals, telephone numbers,
// money), units and a few symbols; full-width letters and digits are read as
// their half-width forms. Each kind is one rule in a table; a rule's words
// stand for the whole stretch it matched.
#pragma once

#include "speech/MappedText.h"

#include <QStringList>

namespace MandarinNormalizer
{

MappedText normalize(const MappedText &text);
inline QString normalize(const QString &text)
{
    return normalize(MappedText::of(text)).text;
}

// The names of the rules, in the order they are tried.
QStringList ruleNames();

// Chinese numerals for a string of ASCII digits, as a quantity ("12030" ->
// 一萬兩千零三十); `plain2` keeps 二 where a quantity would say 兩 (ordinals,
// dates). Empty when the string is not a number this reads (over 16 digits).
QString cardinal(QStringView digits, bool plain2 = false);
// One numeral per digit ("2026" -> 二零二六); past MaxSpelledDigits digits,
// how many there are instead ("一百位數字").
QString digitByDigit(QStringView digits);
constexpr int MaxSpelledDigits = 32;

} // namespace MandarinNormalizer
