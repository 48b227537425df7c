// The voices parlo-render offers: the engine's voices as the window lists
// them, found by any of their names, and the listing of --list-voices.
#pragma once

#include "speech/SpObjectToken.h"

#include <QList>
#include <QString>

namespace RenderVoices
{

// Every installed voice, suite voices first.
QList<SpObjectToken> installed();

// The voice named `name`, case-insensitively: its description ("Mavi Lena"),
// the window's name for it ("莉娜"), or its espeak-ng voice ("yue", "en-us",
// "cmn-latn-pinyin+f2"). Null when none is called so.
SpObjectToken find(const QList<SpObjectToken> &voices, const QString &name);

// One line per voice: name, the window's name, gender, espeak-ng voice.
QString listing(const QList<SpObjectToken> &voices);

} // namespace RenderVoices
