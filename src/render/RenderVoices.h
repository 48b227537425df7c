// The voices parlo-render offers: the voices as the window lists them
// (espeak-ng's, then the natural voices of the voice folders and of
// --voice-dir), found by any of their names, and the listing of --list-voices.
#pragma once

#include "speech/SpObjectToken.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace RenderVoices
{

// Offers the natural voices in `folders` too (see --voice-dir).
void addVoiceFolders(const QStringList &folders);

// Every installed voice, suite voices first, natural voices last.
QList<SpObjectToken> installed();

// The voice named `name`, case-insensitively: its description ("Mavi Lena"),
// the window's name for it ("莉娜"), its espeak-ng voice ("yue", "en-us",
// "cmn-latn-pinyin+f2") or, for a natural voice, its folder's name. Null
// when none is called so.
SpObjectToken find(const QList<SpObjectToken> &voices, const QString &name);

// One line per voice: name, the window's name, gender, and the espeak-ng
// voice or the natural voice's folder.
QString listing(const QList<SpObjectToken> &voices);

// Why natural voices that were found are not offered (no Node.js, no
// runtime), in both languages and ending in a line end; empty when every
// voice found is offered.
QString unavailableNote();

} // namespace RenderVoices
