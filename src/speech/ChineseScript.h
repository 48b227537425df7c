// Chinese written in any script, made ready for a reading step that knows
// Taiwan's Traditional forms: sentences written in Simplified characters are
// converted with OpenCC, variant forms (爲, 裏, 衆) become the usual ones and
// compatibility ideographs their unified characters. The caller's text is
// never changed: every unit of the result keeps the source stretch of the
// character it came from, so highlights, subtitles and the face still point
// at what the user wrote.
#pragma once

#include "speech/MandarinLexicon.h"
#include "speech/MappedText.h"

#include <QString>

namespace ChineseScript
{

// The OpenCC configurations a Simplified sentence can be read through.
// Taiwan forms without vocabulary changes reads best: plain s2t gives
// OpenCC's own standard forms (喫, 裏, 爲) that Taiwan text does not use, and
// the phrase configuration replaces words (软件 -> 軟體), so the voice would
// say something other than what is written.
enum class Conversion {
    None, // sentences are read as written
    S2T,
    S2TW,
    S2TWP,
};

// `text` with its Simplified sentences converted, as the lexicon reads it.
// Sentences end at 。！？；, their ASCII forms and line breaks. A sentence's
// script is told by the characters only one script uses; one with none of
// them takes the script of the sentence before it in the same text
// (Traditional at the start).
MappedText toTraditional(const MappedText &text, const MandarinLexicon &lexicon);

// The conversion used by toTraditional; S2TW unless changed. For measuring
// the choice; any thread may read while no one sets it.
void setConversion(Conversion conversion);
Conversion conversion();

// Whether OpenCC and its data could be loaded; when not, Simplified text is
// read character by character through the lexicon's borrowed readings.
bool isAvailable();

// `text` through `conversion`, or unchanged when OpenCC is missing.
QString convert(const QString &text, Conversion conversion);

} // namespace ChineseScript
