// Replacing a file's whole contents so that a failure, a full disk included,
// never leaves it half written.
#pragma once

#include <QByteArray>
#include <QString>

namespace SafeFile
{
// Where the folder refuses new files, a file the user may write can still be
// written in place (settings beside a program installed read-only).
enum class InPlace : bool { Never, WhenFolderRefuses };

// Writes bytes to a new file beside target, flushes it to the disk and renames
// it over target: target then holds either its old contents or all of bytes.
// The in-place fallback reserves the room first, so it fails before it
// changes anything. A link is followed: the file it points at is replaced,
// keeping its permissions. Returns why it failed, or an empty string.
QString replace(const QString &target, const QByteArray &bytes, InPlace inPlace = InPlace::Never);
} // namespace SafeFile
