#include "document/PdfText.h"

#include "document/IsolatedRun.h"

#include <poppler-document.h>
#include <poppler-global.h>
#include <poppler-page.h>

#include <climits>
#include <memory>

using Document::Result;
using Document::Status;

namespace
{

// Exit codes of the child.
enum : int { Parsed = 0, NotLoaded = 1, Locked = 2 };

void quiet(const std::string &, void *) { }

// Runs in the child process.
int extractPages(const QByteArray &bytes, QByteArray *out)
{
    poppler::set_debug_error_function(quiet, nullptr);
    const std::unique_ptr<poppler::document> doc(
        poppler::document::load_from_raw_data(bytes.constData(), int(bytes.size())));
    if (!doc)
        return NotLoaded;
    if (doc->is_locked())
        return Locked;
    for (int i = 0; i < doc->pages(); ++i) {
        const std::unique_ptr<poppler::page> page(doc->create_page(i));
        if (!page)
            continue;
        const poppler::byte_array utf8
            = page->text(poppler::rectf(), poppler::page::non_raw_non_physical_layout).to_utf8();
        if (i > 0)
            out->append('\n');
        out->append(utf8.data(), qsizetype(utf8.size()));
    }
    return Parsed;
}

} // namespace

namespace PdfText
{

Result fromBytes(const QByteArray &bytes, const Document::Limits &limits)
{
    if (bytes.size() > INT_MAX)
        return Result::failure(Status::TooLarge, QStringLiteral("the PDF is too large"));
    IsolatedRun::Budget budget;
    budget.timeoutMs = limits.pdfTimeoutMs;
    budget.memoryBytes = limits.pdfMemoryBytes;
    budget.maxOutputBytes = limits.maxUnpackedBytes;
    const IsolatedRun::Output run
        = IsolatedRun::run([&bytes](QByteArray *out) { return extractPages(bytes, out); }, budget);

    switch (run.outcome) {
    case IsolatedRun::Outcome::TimedOut:
        return Result::failure(Status::TimedOut, QStringLiteral("PDF: %1").arg(run.detail));
    case IsolatedRun::Outcome::TooLarge:
        return Result::failure(Status::TooLarge, QStringLiteral("PDF: %1").arg(run.detail));
    case IsolatedRun::Outcome::Crashed:
        return Result::failure(
            Status::Damaged, QStringLiteral("PDF: the parser failed (%1)").arg(run.detail));
    case IsolatedRun::Outcome::Finished:
        break;
    }
    switch (run.exitCode) {
    case Parsed:
        return Result::success(QString::fromUtf8(run.data));
    case Locked:
        return Result::failure(
            Status::Unsupported, QStringLiteral("the PDF is password-protected"));
    case IsolatedRun::UncaughtExceptionCode:
        return Result::failure(
            Status::TooLarge, QStringLiteral("PDF: the parser ran out of memory or failed"));
    default:
        return Result::failure(Status::Damaged, QStringLiteral("the PDF is damaged"));
    }
}

bool looksLikePdf(const QByteArray &bytes)
{
    return bytes.left(1024).contains("%PDF-");
}

} // namespace PdfText
