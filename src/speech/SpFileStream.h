// A WAV file that a voice can speak into instead of the audio device. Set
// Format.Type before Open; the voice writes 16-bit mono PCM at that format's
// rate, as fast as it is produced. Close (or destruction) finishes the RIFF
// header so that the sizes match the data written.
#pragma once

#include "speech/SpeechTypes.h"

#include <QFile>
#include <QString>
#include <cstdint>

class SpFileStream
{
public:
    struct AudioFormat {
        int Type = SAFT22kHz16BitMono;
    } Format;

    SpFileStream() = default;
    ~SpFileStream();
    SpFileStream(const SpFileStream &) = delete;
    SpFileStream &operator=(const SpFileStream &) = delete;

    // Creates (truncating) the file and writes a provisional header. Returns
    // false when the file cannot be created, the mode is not
    // SSFMCreateForWrite, or the format type is not one this stream writes.
    bool Open(const QString &path, int mode = SSFMCreateForWrite, bool doEvents = false);
    // Fixes the header's sizes and closes the file; harmless when not open.
    void Close();

    bool isOpen() const { return m_file.isOpen(); }
    int sampleRate() const { return speechFormatSampleRate(Format.Type); }
    // Appends samples; false once a write has failed (disk full, file gone).
    bool writeSamples(const int16_t *samples, qint64 count);
    qint64 samplesWritten() const { return m_samples; }
    QString path() const { return m_file.fileName(); }

private:
    bool writeHeader();

    QFile m_file;
    qint64 m_samples = 0;
    int m_rate = 22050;
    bool m_ok = true;
};
