#pragma once
// What every document extractor hands back, and the limits that keep a hostile
// file from costing more than a few seconds and a bounded amount of memory.
// Extractors never throw: a document that cannot be read comes back as a
// status other than Ok and a sentence saying why.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <QtGlobal>

#include <utility>

namespace Document
{

enum class Status {
    Ok = 0,
    NoHandle = 1, // the handle index was never allocated or set up
    CannotOpen = 2, // missing, unreadable, or a folder
    Unsupported = 3, // binary data that is no document this reader knows
    Damaged = 4, // a known format, but broken or truncated
    TooLarge = 5, // over a size, unpacking or nesting limit
    TimedOut = 6, // the parser ran past its time budget
};

// Where a part of a book begins: a table-of-contents entry or a heading.
struct Chapter {
    QString title;
    qsizetype offset = 0; // into the text, in UTF-16 units
    int level = 1; // 1: a chapter (h1, Heading 1, a top TOC entry); 2: a section
};

// What a document says about itself, where its format says it.
struct Book {
    QString title;
    QString author;
    QByteArray cover; // the image's bytes as stored
    QString coverMimeType; // "image/jpeg", "image/png"
    QList<Chapter> chapters; // in text order
    QStringList warnings; // e.g. a table of contents naming a missing file
};

// A chapter's title from the text that names it: white space collapsed and
// cut short, so a heading left open does not make the rest of a book a title.
inline QString chapterTitle(QStringView text)
{
    constexpr qsizetype MaxTitleLength = 200;
    QString title = text.left(MaxTitleLength * 4).toString().simplified();
    if (title.size() > MaxTitleLength)
        title.truncate(
            title[MaxTitleLength - 1].isHighSurrogate() ? MaxTitleLength - 1 : MaxTitleLength);
    return title;
}

struct Result {
    Status status = Status::Ok;
    QString text; // with '\n' line ends inside the extractors
    QString detail; // why it failed; empty on success
    Book book; // empty where the format says nothing

    bool ok() const { return status == Status::Ok; }
    static Result success(QString text) { return {Status::Ok, std::move(text), {}, {}}; }
    static Result failure(Status status, QString detail)
    {
        return {status, {}, std::move(detail), {}};
    }
};

struct Limits {
    // Largest file read at all, and the most a container may unpack in total.
    qint64 maxInputBytes = qint64(256) << 20;
    qint64 maxUnpackedBytes = qint64(256) << 20;
    // An archive member may unpack to this many times its packed size once it
    // is past ratioGraceBytes; ordinary documents stay well under it.
    qint64 maxUnpackRatio = 200;
    qint64 ratioGraceBytes = qint64(4) << 20;
    // Element or group nesting deeper than this is refused.
    int maxDepth = 512;
    // Chapters one book marks: a long serial novel has a few thousand. A
    // chapter costs more memory than the bytes that make one, so past this
    // the rest go unmarked (with a warning) and the text is still read.
    qsizetype maxChapters = 50000;
    // PDF parsing runs in a child process with these budgets.
    int pdfTimeoutMs = 5000;
    qint64 pdfMemoryBytes = qint64(1) << 30;
};

} // namespace Document
