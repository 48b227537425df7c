#pragma once
// The paragraph text of the ZIP-packaged document formats, in reading order:
// Word (DOCX) through its main document part, OpenDocument (ODT and the other
// ODF files) through content.xml, and EPUB through container.xml, the package
// file and its spine, whose XHTML chapters are read like web pages.

#include "document/DocumentResult.h"

#include <QByteArray>

namespace PackageText
{

// Unsupported for an archive that is none of these formats; Damaged for a
// broken archive or XML; TooLarge past the unpacking or nesting limits.
Document::Result fromBytes(const QByteArray &bytes, const Document::Limits &limits);

} // namespace PackageText
