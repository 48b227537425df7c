// Turns an espeak-ng phoneme mnemonic into the two ids a voice reports: a
// 16-bit phone id, chosen so that the mouth-picture table (phone code ->
// mouth picture 2..13) shows a fitting mouth, and a viseme id 0..21.
//
// Mouth pictures by number, and the phone code each mouth class reports:
//
// | mouth | shape                              | phone code | espeak phonemes (examples)   |
// |-------|------------------------------------|------------|------------------------------|
// |   2   | lips closed                        |   15       | p b m, pauses                |
// |   3   | relaxed, slightly open             |   27       | t d n k g N h x, @ V 3       |
// |   4   | wide open                          |   56       | a A &, aI aU                 |
// |   5   | half open                          |   19       | e E                          |
// |   6   | spread lips                        |   22       | i I j ; (palatal glide)      |
// |   7   | small rounded opening              |   52       | u U w y                      |
// |   8   | rounded, mid open                  |   28       | o oU                         |
// |   9   | open and rounded                   |   68       | O OI                         |
// |  10   | lower lip under the upper teeth    |   16       | f v                          |
// |  11   | teeth together (hiss)              |   23       | s z S Z tS dZ ts s. z.       |
// |  12   | tongue between or behind the teeth |  151       | T D l L                      |
// |  13   | r: lips pushed forward             |  217       | r R r.                       |
#pragma once

#include <QByteArray>

namespace PhoneMap
{

enum Mouth {
    Closed = 2,
    Relaxed = 3,
    Wide = 4,
    Half = 5,
    Spread = 6,
    RoundSmall = 7,
    RoundMid = 8,
    RoundOpen = 9,
    TeethLip = 10,
    Teeth = 11,
    Tongue = 12,
    Rhotic = 13,
};

struct Phone {
    Mouth mouth = Closed;
    short phoneId = 15;
    int viseme = 0;
    bool pause = false;
};

// Classifies one mnemonic ("tS;h", "u@", "i[", "_|", "a:", "'O").
Phone lookup(const QByteArray &mnemonic);

// The phone code that reports `mouth`.
short phoneIdFor(Mouth mouth);

} // namespace PhoneMap
