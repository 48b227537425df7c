#pragma once
// The paragraph text of the ZIP-packaged document formats, in reading order:
// Word (DOCX) through its main document part, OpenDocument (ODT and the other
// ODF files) through content.xml, and EPUB (see EpubText). The book holds
// what the package says of itself: Word's Heading 1 and 2 paragraphs and
// OpenDocument's headings of outline level 1 and 2 as chapters, the title and
// author of docProps/core.xml or meta.xml.

#include "document/DocumentResult.h"

#include <QByteArray>

namespace PackageText
{

// Unsupported for an archive that is none of these formats; Damaged for a
// broken archive or XML; TooLarge past the unpacking or nesting limits.
// Chapters stop one past limits.maxChapters (so a caller can tell there
// were more).
Document::Result fromBytes(const QByteArray &bytes, const Document::Limits &limits);

} // namespace PackageText
