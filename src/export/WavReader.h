// Reads the 16-bit PCM samples of a WAVE file, RIFF or RF64, mono or stereo,
// for the MP3 encoder. A data size larger than the file (a recording whose
// header was never finished) is read up to the end of the file.
#pragma once

#include <QFile>
#include <QString>
#include <cstdint>

class WavReader
{
public:
    // False (with errorString()) when the file cannot be read or is not
    // 16-bit PCM with one or two channels.
    bool open(const QString &path);
    void close() { m_file.close(); }

    int sampleRate() const { return m_rate; }
    int channels() const { return m_channels; }
    // Frames (one sample per channel) in the data chunk.
    qint64 frames() const { return m_dataBytes / (2 * m_channels); }
    // Reads up to `maxFrames` interleaved frames; returns the frames read,
    // 0 at the end, -1 on a read error.
    qint64 read(int16_t *out, qint64 maxFrames);
    QString errorString() const { return m_error; }

private:
    bool fail(const QString &why);

    QFile m_file;
    QString m_error;
    qint64 m_dataBytes = 0;
    qint64 m_left = 0;
    int m_rate = 0;
    int m_channels = 1;
};
