#include "document/ZipArchive.h"

#include <zip.h>

#include <cstdint>

using Document::Status;

namespace
{

QString zipErrorText(zip_error_t *error)
{
    return QString::fromLocal8Bit(zip_error_strerror(error));
}

} // namespace

ZipArchive::ZipArchive(const Document::Limits &limits)
    : m_limits(limits)
{
}

ZipArchive::~ZipArchive()
{
    if (m_zip)
        zip_discard(m_zip);
}

bool ZipArchive::open(const QByteArray &bytes, QString *error)
{
    zip_error_t zipError;
    zip_error_init(&zipError);
    zip_source_t *source
        = zip_source_buffer_create(bytes.constData(), zip_uint64_t(bytes.size()), 0, &zipError);
    if (!source) {
        *error = zipErrorText(&zipError);
        zip_error_fini(&zipError);
        return false;
    }
    m_zip = zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &zipError);
    if (!m_zip) {
        zip_source_free(source);
        *error = QStringLiteral("not a readable archive: %1").arg(zipErrorText(&zipError));
    }
    zip_error_fini(&zipError);
    return m_zip != nullptr;
}

bool ZipArchive::contains(const QString &name) const
{
    return m_zip && zip_name_locate(m_zip, name.toUtf8().constData(), 0) >= 0;
}

Status ZipArchive::read(const QString &name, QByteArray *out, QString *error)
{
    out->clear();
    const zip_int64_t index = m_zip ? zip_name_locate(m_zip, name.toUtf8().constData(), 0) : -1;
    zip_stat_t stat;
    if (index < 0 || zip_stat_index(m_zip, zip_uint64_t(index), 0, &stat) != 0) {
        *error = QStringLiteral("%1 is missing from the archive").arg(name);
        return Status::Damaged;
    }
    const qint64 packed = (stat.valid & ZIP_STAT_COMP_SIZE) ? qint64(stat.comp_size) : 0;
    const qint64 budget = m_limits.maxUnpackedBytes - m_unpacked;
    auto tooLarge = [&](qint64 size) {
        return size > budget
            || (size > m_limits.ratioGraceBytes && size > packed * m_limits.maxUnpackRatio);
    };
    // The declared size can lie, so it only rejects early; the count of bytes
    // really unpacked below is what holds the limit.
    if ((stat.valid & ZIP_STAT_SIZE) && stat.size <= zip_uint64_t(INT64_MAX)
        && tooLarge(qint64(stat.size))) {
        *error = QStringLiteral("%1 unpacks to more than the size limit").arg(name);
        return Status::TooLarge;
    }
    zip_file_t *file = zip_fopen_index(m_zip, zip_uint64_t(index), 0);
    if (!file) {
        *error = QStringLiteral("%1: %2").arg(name, QString::fromLocal8Bit(zip_strerror(m_zip)));
        return Status::Damaged;
    }
    Status status = Status::Ok;
    char chunk[1 << 16];
    for (;;) {
        const zip_int64_t n = zip_fread(file, chunk, sizeof chunk);
        if (n < 0) {
            *error = QStringLiteral("%1: %2").arg(
                name, QString::fromLocal8Bit(zip_file_strerror(file)));
            status = Status::Damaged;
            break;
        }
        if (n == 0)
            break;
        out->append(chunk, qsizetype(n));
        if (tooLarge(out->size())) {
            *error = QStringLiteral("%1 unpacks to more than the size limit").arg(name);
            status = Status::TooLarge;
            break;
        }
    }
    zip_fclose(file);
    m_unpacked += out->size();
    if (status != Status::Ok)
        out->clear();
    return status;
}
