#pragma once
// The readable text of an HTML or XHTML page: what a browser would show of the
// body, without scripts, styles or the head, entities decoded, one line per
// block element. The scanner is forgiving the way browsers are, so broken
// markup still gives its text, and it keeps no element stack, so nesting
// depth costs nothing.

#include "document/DocumentResult.h"

#include <QByteArray>
#include <QString>
#include <QStringView>

namespace HtmlText
{

// Decodes the page (byte-order mark, declared charset, else detection) and
// extracts its text.
Document::Result fromBytes(const QByteArray &bytes);

// The text of markup that is already decoded; '\n' line ends.
QString fromMarkup(QStringView html);

// True when the bytes begin like an HTML page (after white space and a BOM).
bool looksLikeHtml(const QByteArray &bytes);

} // namespace HtmlText
