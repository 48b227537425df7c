// How a Mandarin voice reads a text: numbers and symbols spelled out, the
// Chinese cut into words from the lexicon, each word given its Taiwan
// reading as pinyin syllables with tone digits, Latin words kept for an
// English voice. Every token keeps the stretch of the caller's text it came
// from, so the voice's Word events still name the characters written.
#pragma once

#include "speech/MandarinLexicon.h"
#include "speech/MappedText.h"

#include <QList>
#include <QString>

#include <functional>

namespace MandarinReading
{

struct Token {
    enum Kind {
        Syllable, // text: pinyin with its own tone ("yi1"), spoken: as said in context ("yi2")
        Latin, // a word of Latin letters, for an English voice
        Pause, // a clause or sentence end: "," "." "?" "!"
        Character, // a character the lexicon has no reading for, as written
    };
    Kind kind = Syllable;
    QString text;
    QString spoken;
    int from = 0; // the stretch of the caller's text
    int to = 0;
};

// The tokens of `text`, in reading order. `text` may already carry custom
// pronunciations; the steps here run after them.
QList<Token> read(const MappedText &text, const MandarinLexicon &lexicon);
inline QList<Token> read(const MappedText &text)
{
    return read(text, MandarinLexicon::shared());
}

// Whether an espeak-ng voice name is read through this step (the Mandarin
// voice data that reads Latin letters as pinyin).
bool isMandarinVoice(const QByteArray &espeakVoice);

} // namespace MandarinReading

// The syllables a Mandarin voice speaks for `text`, as lowercase pinyin with
// tone digits 1-5 (5 for the neutral tone, v for ü) in their own tones before
// any tone change, separated by spaces; Latin words appear as written, and
// so does a character no table reads, unless `unread` spells it (the voice
// then reads it its own way).
QString MandarinReadingOf(
    const QString &text, const std::function<QString(const QString &)> &unread = {});
