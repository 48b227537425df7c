#include "speech/SpFileStream.h"

#include "audio/Resampler.h"
#include "system/Log.h"

#include <QDir>
#include <QtEndian>
#include <algorithm>
#include <cstring>

namespace
{

constexpr qint64 BufferBytes = 256 * 1024;
// Chunk sizes are 32-bit: past this much data the header needs RF64.
constexpr qint64 RiffDataLimit = 0xFFFFFFFFLL - (SpFileStream::HeaderSize - 8);
constexpr quint32 Ds64BodySize = 28; // riff size, data size, sample count, table length
constexpr quint32 SizeInDs64 = 0xFFFFFFFF;

} // namespace

bool SpFileStream::FileWriter::open(const QString &path)
{
    m_file.setFileName(path);
    // Unbuffered, so a failed write shows at once and nothing is left to a
    // flush that could fail unseen.
    return m_file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered);
}

qint64 SpFileStream::FileWriter::append(const char *data, qint64 size)
{
    qint64 done = 0;
    // A short write is retried, so that a full disk ends in an error rather
    // than in a partial count.
    while (done < size) {
        const qint64 n = m_file.write(data + done, size - done);
        if (n <= 0)
            return done > 0 ? done : -1;
        done += n;
    }
    return done;
}

bool SpFileStream::FileWriter::overwrite(qint64 offset, const char *data, qint64 size)
{
    const qint64 end = m_file.size();
    const bool ok = m_file.seek(offset) && m_file.write(data, size) == size;
    return m_file.seek(end) && ok;
}

bool SpFileStream::FileWriter::truncate(qint64 size)
{
    return m_file.resize(size) && m_file.seek(size);
}

void SpFileStream::FileWriter::close()
{
    m_file.close();
}

SpFileStream::SpFileStream() = default;

SpFileStream::~SpFileStream()
{
    Close();
}

void SpFileStream::setWriter(std::unique_ptr<Writer> writer)
{
    if (!m_open)
        m_writer = std::move(writer);
}

bool SpFileStream::Open(const QString &path, int mode, bool)
{
    Close();
    m_error.clear();
    m_rate = sampleRate();
    if (mode != SSFMCreateForWrite || m_rate <= 0) {
        m_error = QStringLiteral("不支援的檔案格式或開啟模式");
        return false;
    }
    if (!m_writer)
        m_writer = std::make_unique<FileWriter>();
    m_path = path;
    m_samples = 0;
    m_dataOnDisk = 0;
    m_buffer.clear();
    m_buffer.reserve(BufferBytes);
    if (!m_writer->open(path)) {
        m_error = QStringLiteral("無法建立 %1（%2）")
                      .arg(QDir::toNativeSeparators(path), m_writer->errorString());
        qCWarning(lcSpeech) << "cannot create" << path << m_writer->errorString();
        return false;
    }
    const QByteArray head = header();
    m_open = true;
    m_ok = m_writer->append(head.constData(), head.size()) == head.size();
    if (!m_ok) {
        fail();
        m_writer->truncate(0);
        m_writer->close();
        m_open = false;
    }
    return m_ok;
}

QByteArray SpFileStream::header() const
{
    const qint64 dataBytes = m_samples * 2;
    const bool rf64 = dataBytes > RiffDataLimit;
    QByteArray bytes(HeaderSize, '\0');
    char *h = bytes.data();
    auto put16 = [&](int at, quint16 v) { qToLittleEndian<quint16>(v, h + at); };
    auto put32 = [&](int at, quint32 v) { qToLittleEndian<quint32>(v, h + at); };
    auto put64 = [&](int at, quint64 v) { qToLittleEndian<quint64>(v, h + at); };
    const qint64 riffSize = HeaderSize - 8 + dataBytes;
    memcpy(h, rf64 ? "RF64" : "RIFF", 4);
    put32(4, rf64 ? SizeInDs64 : quint32(riffSize));
    memcpy(h + 8, "WAVE", 4);
    // Room for ds64, kept as JUNK (which readers skip) while the sizes fit.
    memcpy(h + 12, rf64 ? "ds64" : "JUNK", 4);
    put32(16, Ds64BodySize);
    if (rf64) {
        put64(20, quint64(riffSize));
        put64(28, quint64(dataBytes));
        put64(36, quint64(m_samples));
    }
    memcpy(h + 48, "fmt ", 4);
    put32(52, 16);
    put16(56, 1); // PCM
    put16(58, 1); // mono
    put32(60, quint32(m_rate));
    put32(64, quint32(m_rate * 2));
    put16(68, 2);
    put16(70, 16);
    memcpy(h + 72, "data", 4);
    put32(76, rf64 ? SizeInDs64 : quint32(dataBytes));
    return bytes;
}

bool SpFileStream::writeSamples(const int16_t *samples, qint64 count)
{
    if (!m_open || !m_ok)
        return false;
    if (count <= 0)
        return true;
    const char *bytes = reinterpret_cast<const char *>(samples);
    qint64 left = count * 2;
    if (QSysInfo::ByteOrder == QSysInfo::LittleEndian && m_buffer.isEmpty()
        && left >= BufferBytes) {
        // Large blocks go straight to the file.
        const qint64 wrote = m_writer->append(bytes, left);
        if (wrote != left)
            return lost(wrote);
        m_dataOnDisk += left;
        m_samples += count;
        return true;
    }
    while (left > 0) {
        const qint64 n = std::min(left, BufferBytes - m_buffer.size());
        const qsizetype from = m_buffer.size();
        m_buffer.append(bytes, n);
        if constexpr (QSysInfo::ByteOrder == QSysInfo::BigEndian) {
            for (qsizetype i = from; i + 1 < m_buffer.size(); i += 2)
                std::swap(m_buffer[i], m_buffer[i + 1]);
        }
        bytes += n;
        left -= n;
        if (m_buffer.size() == BufferBytes && !flush())
            return false;
    }
    m_samples += count;
    return true;
}

bool SpFileStream::writeSamples(const int16_t *samples, qint64 count, int rate)
{
    if (rate == m_rate || count <= 0)
        return writeSamples(samples, count);
    if (!m_open || !m_ok || rate <= 0)
        return false;
    const std::vector<int16_t> converted
        = Resampler::convert(samples, std::size_t(count), rate, m_rate);
    return writeSamples(converted.data(), qint64(converted.size()));
}

bool SpFileStream::flush()
{
    if (m_buffer.isEmpty())
        return true;
    const qint64 wrote = m_writer->append(m_buffer.constData(), m_buffer.size());
    if (wrote != m_buffer.size())
        return lost(wrote);
    m_dataOnDisk += wrote;
    m_buffer.clear();
    return true;
}

bool SpFileStream::lost(qint64 wrote)
{
    // Keep the whole samples that made it, so the file stays valid.
    m_samples = (m_dataOnDisk + std::max<qint64>(wrote, 0)) / 2;
    m_dataOnDisk = m_samples * 2;
    m_buffer.clear();
    fail();
    m_writer->truncate(HeaderSize + m_dataOnDisk);
    return false;
}

void SpFileStream::fail()
{
    m_ok = false;
    const QString where = QDir::toNativeSeparators(m_path);
    if (m_writer->outOfSpace())
        m_error = QStringLiteral("磁碟空間已滿，%1 只寫入了前 %2 秒")
                      .arg(where)
                      .arg(m_samples / m_rate);
    else
        m_error = QStringLiteral("無法寫入 %1（%2）").arg(where, m_writer->errorString());
    qCWarning(lcSpeech) << "writing" << m_path << "failed:" << m_writer->errorString();
}

bool SpFileStream::Close()
{
    if (!m_open)
        return m_error.isEmpty();
    // A failed flush lowers m_samples to what is really in the file before
    // the header is written.
    if (m_ok)
        flush();
    const QByteArray head = header();
    if (!m_writer->overwrite(0, head.constData(), head.size()) && m_ok) {
        m_ok = false;
        fail();
    }
    m_writer->close();
    m_open = false;
    return m_ok;
}
