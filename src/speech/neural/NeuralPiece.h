// One piece of a request (a sentence, or as much of one as fits) on its way
// to a natural voice and back: the text the voice is sent, the syllables of
// the caller's text it stands for, and, once the sound has come back, the
// events that sound carries. A natural voice reports no events of its own,
// so the syllables are timed from the sound by SyllableAligner: a Word per
// syllable (once per stretch of text), the mouth shapes of each for the
// face, and a Sentence at the start.
//
// Pure: no engine, no process; the user's pronunciation list is applied as
// for espeak-ng.
#pragma once

#include "speech/SapiXmlParser.h"
#include "speech/SyllableAligner.h"
#include "speech/SynthesisEngine.h"

#include <QList>
#include <QString>

#include <cstdint>
#include <span>
#include <vector>

namespace NeuralPiece
{

// What a voice is sent for the text.
enum class Reading {
    // A Mandarin voice whose lexicon spells pinyin: the reader's own Taiwan
    // readings, one syllable with its tone digit per character ("jin1
    // tian1"), numbers and symbols spelled out, Latin words as written.
    Pinyin,
    // A Mandarin voice that only reads characters: the text with numbers
    // and symbols spelled out in characters; the voice's lexicon decides
    // each character's reading. Events still follow the reader's readings,
    // which count the same syllables.
    Characters,
    // Any other language: the text as written; one unit per word.
    AsWritten,
};

struct Piece {
    QString text; // for the voice; empty when there is nothing to say
    QList<SyllableAligner::Unit> units; // positions in the caller's text
    int position = 0; // the piece's stretch of the caller's text
    int length = 0;
};

// The piece run.text[from, to).
Piece prepare(const SapiXmlParser::Run &run, int from, int to, Reading reading);

// The events of `pcm` (at `rate`), the sound the voice made for `piece`, in
// sample order: Sentence at 0, then Word, Phoneme and Viseme events.
std::vector<SpeechEvent> events(const Piece &piece, std::span<const int16_t> pcm, int rate);

} // namespace NeuralPiece
