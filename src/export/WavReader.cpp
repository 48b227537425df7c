#include "export/WavReader.h"

#include "audio/RiffWave.h"

#include <QtEndian>

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
    QString why;
    const auto layout = RiffWave::walk(m_file, &why);
    if (!layout)
        return fail(why);
    m_channels = layout->channels;
    m_rate = layout->sampleRate;
    if (layout->formatTag != RiffWave::FormatPcm || layout->bitsPerSample != 16 || m_channels < 1
        || m_channels > 2 || m_rate <= 0)
        return fail(QStringLiteral("not 16-bit PCM with one or two channels"));
    m_dataBytes = layout->dataBytes - layout->dataBytes % (2 * m_channels);
    m_left = m_dataBytes;
    return true;
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
