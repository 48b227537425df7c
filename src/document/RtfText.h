#pragma once
// The text of an RTF document: what the document shows, without the font,
// colour and style tables, the document information, pictures or field
// instructions. \uN characters honour the \ucN count of fallback characters
// that follow them; \'hh bytes are decoded in the document's \ansicpg code
// page, together, so double-byte Big5 or GBK pairs come out whole.

#include "document/DocumentResult.h"

#include <QByteArray>

namespace RtfText
{

// Fails with TooLarge when groups nest deeper than limits.maxDepth.
Document::Result fromBytes(const QByteArray &bytes, const Document::Limits &limits);

bool looksLikeRtf(const QByteArray &bytes);

} // namespace RtfText
