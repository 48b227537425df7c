#include "speech/SpFileStream.h"

#include <QtEndian>

SpFileStream::~SpFileStream()
{
    Close();
}

bool SpFileStream::Open(const QString &path, int mode, bool)
{
    Close();
    m_rate = sampleRate();
    if (mode != SSFMCreateForWrite || m_rate <= 0)
        return false;
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    m_samples = 0;
    m_ok = writeHeader();
    if (!m_ok)
        m_file.close();
    return m_ok;
}

bool SpFileStream::writeHeader()
{
    // RIFF sizes are 32-bit; a longer recording keeps the largest size that fits.
    const quint32 dataBytes = quint32(std::min<qint64>(m_samples * 2, 0xFFFFFFFFLL - 36));
    char header[44];
    auto put32 = [&](int at, quint32 v) { qToLittleEndian<quint32>(v, header + at); };
    auto put16 = [&](int at, quint16 v) { qToLittleEndian<quint16>(v, header + at); };
    memcpy(header, "RIFF", 4);
    put32(4, 36 + dataBytes);
    memcpy(header + 8, "WAVEfmt ", 8);
    put32(16, 16);
    put16(20, 1); // PCM
    put16(22, 1); // mono
    put32(24, quint32(m_rate));
    put32(28, quint32(m_rate * 2));
    put16(32, 2);
    put16(34, 16);
    memcpy(header + 36, "data", 4);
    put32(40, dataBytes);
    return m_file.seek(0) && m_file.write(header, 44) == 44;
}

bool SpFileStream::writeSamples(const int16_t *samples, qint64 count)
{
    if (!m_file.isOpen() || !m_ok)
        return false;
    if (count <= 0)
        return true;
    QByteArray bytes(reinterpret_cast<const char *>(samples), qsizetype(count * 2));
    if constexpr (QSysInfo::ByteOrder == QSysInfo::BigEndian) {
        for (qsizetype i = 0; i + 1 < bytes.size(); i += 2)
            std::swap(bytes[i], bytes[i + 1]);
    }
    if (m_file.write(bytes) != bytes.size()) {
        m_ok = false;
        return false;
    }
    m_samples += count;
    return true;
}

void SpFileStream::Close()
{
    if (!m_file.isOpen())
        return;
    writeHeader();
    m_file.close();
}
