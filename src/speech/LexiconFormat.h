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
constexpr quint32 Version = 1;
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
    quint16 syllables; // number of syllables in the reading
    quint32 reading; // first syllable number in the reading pool
    quint32 weight; // how often the word is used; higher wins in segmentation
};

static_assert(sizeof(Header) == 32);
static_assert(sizeof(Entry) == 16);

} // namespace LexiconFormat
