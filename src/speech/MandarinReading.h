// How the Mandarin voices read a text: the syllables they will speak, as
// lowercase pinyin with tone numbers 1-5 (5: neutral, "v" for ü) in citation
// tones, separated by spaces, Latin words kept as they are.
#pragma once

#include <QString>

QString MandarinReadingOf(const QString &text);
