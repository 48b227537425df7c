// The on-disk layout of the Mandarin lexicon that tools/lexgen writes and
// MandarinLexicon reads. Everything is little-endian and 4-byte aligned, so the
// reader can use the file's bytes in place, without parsing.
//
//   Header
//   syllables   syllableCount x SyllableBytes, ASCII pinyin with tone digit, NUL padded
//   entries     entryCount x Entry, sorted by text (UTF-16 code unit order)
//   text        textUnits x char16_t, the words one after another
//   readings    readingUnits x quint16, syllable numbers, one per syllable
#pragma once

#include <QtGlobal>

namespace LexiconFormat
{

constexpr char Magic[4] = {'P', 'L', 'X', 'M'};
constexpr quint32 Version = 2;
constexpr int SyllableBytes = 8;

struct Header {
    char magic[4];
    quint32 version;
    quint32 syllableCount;
    quint32 entryCount;
    quint32 textUnits;
    quint32 readingUnits;
    quint32 maxWordUnits; // longest word, in UTF-16 units
    quint32 totalWeight; // sum of all entry weights, for word probabilities
};

struct Entry {
    quint32 text; // first unit in the text pool
    quint16 textLength; // in UTF-16 units
    quint8 syllables; // number of syllables in the reading
    quint8 flags; // EntryFlags
    quint32 reading; // first syllable number in the reading pool
    quint32 weight; // how often the word is used; higher wins in segmentation
};

enum EntryFlags : quint8 {
    // A single character the source data gives more than one reading; the
    // entry holds the one read when nothing in its context says otherwise.
    Polyphone = 1,
    // A character the phrase data lacks, read as its usual form or as the
    // Unicode database gives it.
    Borrowed = 2,
    // A character written only in traditional text (it has a simplified form
    // of its own), and one written only in simplified text (its traditional
    // form differs and the phrase data does not use it): what tells a
    // sentence's script.
    TraditionalForm = 4,
    SimplifiedForm = 8,
    // A character both scripts write, standing in simplified text for other
    // traditional ones too (干 for 乾 and 幹, 面 for 麵).
    SharedForm = 16,
    // A phrase typed as a unit (我的, 在教) read as its characters are read
    // alone: it decides no reading, only how its neighbours are cut.
    Transparent = 32,
};

static_assert(sizeof(Header) == 32);
static_assert(sizeof(Entry) == 16);

} // namespace LexiconFormat
