#include "export/WavReader.h"

#include <QtEndian>

namespace
{

constexpr quint16 FormatPcm = 1;
constexpr quint16 FormatExtensible = 0xFFFE;
constexpr quint32 SizeInDs64 = 0xFFFFFFFF;

} // namespace

bool WavReader::fail(const QString &why)
{
    m_error = why;
    m_file.close();
    return false;
}

bool WavReader::open(const QString &path)
{
    m_error.clear();
    m_file.close();
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::ReadOnly))
        return fail(m_file.errorString());
    const QByteArray head = m_file.read(12);
    const bool rf64 = head.startsWith("RF64");
    if (head.size() < 12 || !(head.startsWith("RIFF") || rf64) || head.mid(8, 4) != "WAVE")
        return fail(QStringLiteral("not a WAVE file"));

    quint64 ds64Data = 0;
    bool haveFormat = false;
    for (;;) {
        const QByteArray chunk = m_file.read(8);
        if (chunk.size() < 8)
            return fail(QStringLiteral("no data chunk"));
        const QByteArray id = chunk.left(4);
        const quint32 size = qFromLittleEndian<quint32>(chunk.constData() + 4);
        if (id == "data") {
            if (!haveFormat)
                return fail(QStringLiteral("data before the format chunk"));
            const qint64 available = m_file.size() - m_file.pos();
            const qint64 declared = (rf64 && size == SizeInDs64) ? qint64(ds64Data) : qint64(size);
            m_dataBytes = std::min(declared, available);
            m_dataBytes -= m_dataBytes % (2 * m_channels);
            m_left = m_dataBytes;
            return true;
        }
        const QByteArray body = m_file.read(std::min<qint64>(size, 64));
        if (id == "fmt ") {
            if (body.size() < 16)
                return fail(QStringLiteral("short format chunk"));
            quint16 tag = qFromLittleEndian<quint16>(body.constData());
            if (tag == FormatExtensible && body.size() >= 26)
                tag = qFromLittleEndian<quint16>(body.constData() + 24); // sub-format GUID
            m_channels = qFromLittleEndian<quint16>(body.constData() + 2);
            m_rate = int(qFromLittleEndian<quint32>(body.constData() + 4));
            const int bits = qFromLittleEndian<quint16>(body.constData() + 14);
            if (tag != FormatPcm || bits != 16 || m_channels < 1 || m_channels > 2 || m_rate <= 0)
                return fail(QStringLiteral("not 16-bit PCM with one or two channels"));
            haveFormat = true;
        } else if (id == "ds64" && body.size() >= 16) {
            ds64Data = qFromLittleEndian<quint64>(body.constData() + 8);
        }
        // Chunks are padded to an even size.
        if (!m_file.seek(m_file.pos() - body.size() + size + (size & 1)))
            return fail(m_file.errorString());
    }
}

qint64 WavReader::read(int16_t *out, qint64 maxFrames)
{
    if (!m_file.isOpen())
        return -1;
    const qint64 want = std::min(maxFrames * 2 * m_channels, m_left);
    if (want <= 0)
        return 0;
    const qint64 got = m_file.read(reinterpret_cast<char *>(out), want);
    if (got < 0)
        return -1;
    const qint64 frames = got / (2 * m_channels);
    m_left -= frames * 2 * m_channels;
    if (got != frames * 2 * m_channels)
        m_file.seek(m_file.pos() - (got - frames * 2 * m_channels));
    if constexpr (QSysInfo::ByteOrder == QSysInfo::BigEndian) {
        for (qint64 i = 0; i < frames * m_channels; ++i)
            out[i] = qFromLittleEndian(out[i]);
    }
    return frames;
}
