#pragma once
// Text as the platform's "ANSI" interfaces exchange it: bytes of the system
// code page, which on this platform is UTF-8, read back out of fixed-size
// buffers. The settings file and the registry share these rules.

#include <QByteArray>
#include <QString>

namespace CodePage
{

// The text's bytes in the system code page.
QByteArray encode(const QString &text);

// At most max bytes of bytes, never splitting a character: a character that
// does not fit whole is left out.
QByteArray prefix(const QByteArray &bytes, qsizetype max);

// What a caller takes from a text buffer: the bytes up to the first NUL,
// without trailing spaces, decoded.
QString fromBuffer(const QByteArray &bytes);

} // namespace CodePage
