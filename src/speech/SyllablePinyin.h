#pragma once
// Pinyin as the syllable aligner and the mouth shapes see it: a syllable's
// initial, final and tone, and what its first frames sound like.

#include <QString>

namespace SyllableAligner::Pinyin
{

// How a syllable begins, which decides what its first frames sound like.
enum class Onset {
    Vowel, // no initial, or y / w: only the vowel's colour changes
    Sonorant, // m n l r: voiced, weaker than the vowel before it
    Stop, // b d g: a closure, then a faint burst
    Aspirated, // p t k c ch q: a closure, then noise before the vowel
    Affricate, // z zh j: a closure and a short hiss
    Fricative, // f s sh x h: noise from the first frame
};
constexpr int OnsetCount = 6;

bool hasClosure(Onset onset);

struct Syllable {
    QString initial; // "zh", "b", or empty: y and w are spellings of the final
    QString final; // as pronounced: "iang", "v" (ü), "uei" is kept as written "ui"
    int tone = 0;
    bool valid = false;
};

Syllable parse(const QString &reading);
Onset onsetOfLetter(QChar letter);
Onset onsetOfInitial(const QString &initial);
bool isLatinVowel(QChar c, bool wordStart);

} // namespace SyllableAligner::Pinyin
