#pragma once
// The program-wide document reader: gives the text of a document file for the
// text box. It reads plain text in any encoding it can detect (UTF-8, UTF-16
// with a byte-order mark, Big5, GB18030 and the rest), web pages, RTF, Word
// DOCX, OpenDocument, EPUB and PDF, and refuses binary data.
//
// Use: AllocHdl(1), OpenWfxKey(0, key) once; then per document OpenFile(0,
// path) and, when it returned Ok, ReadBuf(0) and book(0) (the title, author,
// cover and chapters the document gives). Nothing here throws; every
// failure is a status and errorString(). Hostile files are bounded by
// Document::Limits: they fail within a few seconds and bounded memory.

#include "document/DocumentResult.h"

#include <QString>

#include <vector>

class QByteArray;

class DocumentReader
{
public:
    using Status = Document::Status;

    explicit DocumentReader(const Document::Limits &limits = {});

    // Makes handles 0 .. count-1, each empty and not yet set up; handles made
    // before are dropped. NoHandle when count is below 1.
    Status AllocHdl(int count);

    // Sets up an allocated handle for reading. The key names the user of the
    // handle in the log; it must not be empty.
    Status OpenWfxKey(int handle, const QString &key);

    // Reads the document at path into the handle. On failure the handle is
    // left empty and errorString() says why.
    Status OpenFile(int handle, const QString &path);

    // The whole text of the last document read on the handle, however long,
    // with CR LF line ends; empty when the last OpenFile failed or none ran.
    QString ReadBuf(int handle) const;

    // What the last document read on the handle says of itself: title,
    // author, cover and chapters, the chapters' offsets into ReadBuf()'s
    // text. Empty when the last OpenFile failed, none ran, or the handle was
    // never allocated.
    const Document::Book &book(int handle) const;

    // Why the last call failed; empty after a call that succeeded.
    QString errorString() const { return m_error; }

    // The text of a document given as bytes, with '\n' line ends, and its
    // book: chapters in text order, one per offset, at most
    // limits.maxChapters (a warning says when there were more); fileName
    // only helps to tell the format. What OpenFile does after reading.
    static Document::Result extract(
        const QByteArray &bytes, const QString &fileName, const Document::Limits &limits);

    // True when extract() refuses every document that begins with `bytes` as
    // binary data, whatever follows: they read as plain text or a web page
    // without a byte-order mark, and hold a NUL at or after `from`. `bytes`
    // must hold the first kilobyte, or the whole document when shorter. Lets
    // a stream be refused before the rest of it is read.
    static bool isBinary(const QByteArray &bytes, qsizetype from = 0);
    // Bytes of a document that settle how it is read (see isBinary()).
    static constexpr qsizetype FormatHeadBytes = 1024;

    // Turns every line end (LF, CR, CR LF, U+2028, U+2029) into CR LF.
    static QString withCrLf(const QString &text);

private:
    struct Handle {
        QString key; // empty until OpenWfxKey
        QString text;
        Document::Book book;
    };

    // extract() by format, before the chapters are put in order.
    static Document::Result extractAs(
        const QByteArray &bytes, const QString &fileName, const Document::Limits &limits);

    // Records and logs a failure; the handle's key, when given, names who asked.
    Status fail(Status status, const QString &message, const Handle *handle = nullptr);
    Handle *setUpHandle(int handle);

    Document::Limits m_limits;
    std::vector<Handle> m_handles;
    QString m_error;
};
