// Cuts a long text into pieces the engine can say one at a time: a piece ends
// after a sentence mark (Chinese or Western), after a line end, or at a length
// cap, preferably after a blank. Working piece by piece is what lets a
// million-character text start sounding at once and keeps memory bounded.
#pragma once

#include <QString>

namespace TextSplitter
{

// End (exclusive) of the piece that starts at `from`, at most `cap` UTF-16
// units later. Closing quotes and blanks right after a sentence mark stay with
// it; a CR LF pair and a surrogate pair are never cut.
int pieceEnd(const QString &text, int from, int cap);

// True when the range holds nothing to say (blanks only).
bool isBlank(const QString &text, int from, int to);

} // namespace TextSplitter
