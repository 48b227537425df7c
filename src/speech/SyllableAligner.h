// Times the syllables of one spoken sentence from its sound alone, for voices
// that report no word or phoneme events: the reader's highlight, subtitle
// cues and the face's mouth then follow such a voice as they follow espeak-ng.
//
// The sentence's units are known in order (a Han character with its pinyin,
// or a Latin word whose vowel groups count as its syllables). The sound is
// cut into 10 ms frames; each frame's energy, its low band (vowels, nasals)
// and high band (the hiss of s, sh, x, the burst of p, t, k) say where one
// syllable gives way to the next: voicing that stops, a dip, noise that
// starts, a change of spectrum. A dynamic programme then cuts the frames
// into one stretch per syllable with silences before, after and at pause
// marks, weighing that evidence against how long each syllable should last,
// its length scaled to the speaking rate of this very sound.
//
// Pure computation on Qt Core: no engine, no clock, no files.
#pragma once

#include "speech/MandarinReading.h"
#include "speech/PhoneMap.h"

#include <QList>
#include <QString>

#include <span>

namespace SyllableAligner
{

struct Unit {
    enum Kind {
        Han, // one syllable; `reading` is its pinyin with tone ("zhong1", "lv4"), or empty
        Latin, // a word as written; each vowel group is a syllable
    };
    int position = 0; // UTF-16 offset in the sentence text
    int length = 0;
    Kind kind = Han;
    QString reading;
    bool pauseAfter = false; // a pause mark follows, so silence may too
};

// Samples [start, end) of the sound given to align().
struct Span {
    qint64 start = 0;
    qint64 end = 0;
};

// One span per unit of the mono 16-bit sound `pcm`, in the units' order:
// starts never decrease, every span lies inside [0, sample count) and is at
// least one sample long when the sound holds a sample per unit. Leading and
// trailing silence belong to no unit. Sound with no speech in it gets its
// units spread evenly over its whole length, speech too short for its units
// over the speech; no units give an empty list. Made for one sentence: the
// work grows with its syllables times its length.
QList<Span> align(std::span<const qint16> pcm, int sampleRate, const QList<Unit> &units);

// The units a Mandarin voice speaks for one sentence, as MandarinReading
// reads it: each syllable (a character no table reads gets an empty
// reading), each Latin word, and pause marks set on the unit before them.
QList<Unit> unitsOf(const QList<MandarinReading::Token> &tokens);

// How many syllables a unit counts for: 1 for Han, the vowel groups of a
// Latin word (at least 1).
int syllableCount(const Unit &unit);

// A mouth shape held over samples [start, end).
struct MouthShape {
    qint64 start = 0;
    qint64 end = 0;
    PhoneMap::Phone phone; // the phone and viseme ids espeak-ng's events carry
};

// The mouth shapes over a unit's span, in order and covering it without
// gaps: for a Han unit its initial (lips closed for b p m, lip on teeth for
// f, tongue for d t n l, teeth for the sibilants and j q x, open back for
// g k h), then its final's vowels and nasal; for a Latin word its letters
// by the same classes. An empty span gives no shapes; a reading that is not
// pinyin gives one relaxed mouth.
QList<MouthShape> mouthShapes(const Unit &unit, Span span);

} // namespace SyllableAligner
