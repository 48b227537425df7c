#pragma once
// Bytes of a text file to UTF-16: byte-order marks, UTF-8, and every other
// encoding uchardet can name, converted with iconv. Binary data is told apart
// from text here, so a file of random bytes is refused instead of shown as
// mojibake.

#include "document/DocumentResult.h"

#include <QByteArray>
#include <QString>
#include <QStringConverter>

#include <optional>

namespace TextDecoding
{

// The text of a plain-text file. hintCharset, when not empty, is tried right
// after the byte-order marks (an HTML page's declared charset). Fails with
// Unsupported when the bytes do not look like text in any encoding.
Document::Result decodeText(const QByteArray &bytes, const QByteArray &hintCharset = {});

// UTF-16LE or UTF-16BE when the bytes look like UTF-16 without a byte-order
// mark: an even length and NULs in every other byte, on one side only.
// Whether the surrogates pair up is for the decoder to tell.
std::optional<QStringConverter::Encoding> utf16Order(QByteArrayView bytes);

// The bytes in an iconv code page, leniently: a sequence the code page does not
// define becomes U+FFFD. An unknown code page falls back to Windows-1252.
QString decodeCodePage(const QByteArray &bytes, const QByteArray &charset);

// The iconv name of a Windows code page number (950 -> "CP950").
QByteArray codePageName(int codePage);

} // namespace TextDecoding
