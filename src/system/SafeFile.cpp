#include "system/SafeFile.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
// Every byte or an errno: a short write (a full disk, a file size limit) is
// an error, never a shorter file.
int writeAll(int fd, const QByteArray &bytes)
{
    const char *data = bytes.constData();
    size_t left = size_t(bytes.size());
    while (left > 0) {
        const ssize_t n = ::write(fd, data, left);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : ENOSPC;
        data += n;
        left -= size_t(n);
    }
    return 0;
}

int finish(int fd, int error)
{
    if (error == 0 && ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    return error;
}

int replaceInPlace(const QByteArray &name, const QByteArray &bytes)
{
    const int fd = ::open(name.constData(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    int error = bytes.isEmpty() ? 0 : ::posix_fallocate(fd, 0, off_t(bytes.size()));
    if (error == 0)
        error = writeAll(fd, bytes);
    if (error == 0 && ::ftruncate(fd, off_t(bytes.size())) != 0)
        error = errno;
    return finish(fd, error);
}
} // namespace

QString SafeFile::replace(const QString &path, const QByteArray &bytes, InPlace inPlace)
{
    const QFileInfo link(path);
    const QFileInfo info(link.isSymLink() && link.exists() ? link.canonicalFilePath() : path);
    const QByteArray finalName = QFile::encodeName(info.absoluteFilePath());
    QByteArray tempName;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 16; ++attempt) {
        tempName = QFile::encodeName(info.absolutePath() + QStringLiteral("/.") + info.fileName()
            + QStringLiteral(".%1.tmp").arg(
                QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0')));
        fd = ::open(tempName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0) {
        const int refused = errno;
        const bool fallBack = inPlace == InPlace::WhenFolderRefuses
            && (refused == EACCES || refused == EPERM) && info.exists();
        const int error = fallBack ? replaceInPlace(finalName, bytes) : refused;
        return error == 0 ? QString() : qt_error_string(error);
    }

    struct stat old {
    };
    if (::stat(finalName.constData(), &old) == 0)
        ::fchmod(fd, old.st_mode & 07777);
    int error = finish(fd, writeAll(fd, bytes));
    if (error == 0 && ::rename(tempName.constData(), finalName.constData()) != 0)
        error = errno;
    if (error != 0)
        ::unlink(tempName.constData());
    return error == 0 ? QString() : qt_error_string(error);
}
