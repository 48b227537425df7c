#pragma once
// The text of a PDF, page after page in reading order, through poppler-cpp.
// Poppler cannot be cancelled and has looped and crashed on broken files
// before, so each document is parsed in a child process (IsolatedRun) with
// the time and memory budget of Document::Limits.

#include "document/DocumentResult.h"

#include <QByteArray>

namespace PdfText
{

// Damaged for a file poppler cannot load or that crashes it, Unsupported for
// a password-protected one, TimedOut past the time budget.
Document::Result fromBytes(const QByteArray &bytes, const Document::Limits &limits);

// True when the PDF header appears near the start, where readers look for it.
bool looksLikePdf(const QByteArray &bytes);

} // namespace PdfText
