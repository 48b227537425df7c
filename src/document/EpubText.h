#pragma once
// An EPUB book: the text of its spine's XHTML files in reading order, read
// like web pages, and what the package says of the book. Chapters come from
// the table of contents (the EPUB 3 navigation document, else the EPUB 2
// NCX), else one per spine file; an entry's "#anchor" starts it at that
// element inside its file. Title and author are the package's dc:title and
// dc:creator; the cover is the manifest's cover image.

#include "document/DocumentResult.h"

class ZipArchive;

namespace EpubText
{

// Damaged when container.xml or the package file cannot be read, or no
// file of the spine can; TooLarge past the limits. An entry of the table of
// contents naming a file the book does not read, or a cover that cannot be
// read, adds a warning to the book and leaves the rest.
Document::Result fromZip(ZipArchive &zip, const Document::Limits &limits);

} // namespace EpubText
