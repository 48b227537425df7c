// File names as the file system spells them. A Linux name is any bytes, and
// the toolkit's own conversion turns bytes that are not UTF-8 into U+FFFD,
// after which the file can be neither opened nor told apart from its
// neighbours. These two functions convert without loss: a byte that is no
// part of valid UTF-8 is held as the lone surrogate U+DC80 + byte, which no
// decoded name contains otherwise, and encode() turns it back into the byte.
#pragma once

#include <QByteArray>
#include <QString>

namespace FileName
{

// The name for these bytes; valid UTF-8 decodes as QString::fromUtf8 would.
QString decode(QByteArrayView bytes);

// The bytes of a name decode() gave, exactly; other text as UTF-8.
QByteArray encode(QStringView name);

// True when the name holds a byte that is not UTF-8 (see decode()).
bool hasRawBytes(QStringView name);

// The last part of `path` without its extension. A dot that starts the name
// (".notes") begins no extension: such a name is kept whole.
QString withoutExtension(const QString &path);

// True when the last part of `path` has an extension by that rule.
bool hasExtension(const QString &path);

} // namespace FileName
