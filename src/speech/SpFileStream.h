// A WAV file that a voice can speak into instead of the audio device. Set
// Format.Type before Open; the voice writes 16-bit mono PCM at that format's
// rate (or at any rate through the resampling writeSamples), as fast as it is
// produced. Close (or destruction) finishes the header so that the sizes match
// the data written, so a reading cut short still leaves a playable file.
//
// The file starts as RIFF WAVE with a JUNK chunk that keeps room for an RF64
// ds64 chunk; a recording whose data passes RIFF's 4 GiB limit is turned into
// RF64 on Close rather than given a wrapped size. When the disk fills up, the
// stream keeps the whole samples that reached the disk, fixes the header for
// them and reports the failure through errorString().
#pragma once

#include "speech/SpeechTypes.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <cstdint>
#include <memory>

class SpFileStream
{
public:
    struct AudioFormat {
        int Type = SAFT22kHz16BitMono;
    } Format;

    // Where the stream's bytes go. The default writes a file; tests put in
    // one that behaves like a full disk or writes silence as holes.
    class Writer
    {
    public:
        virtual ~Writer() = default;
        // Creates or truncates the file.
        virtual bool open(const QString &path) = 0;
        // Appends at the end; returns the bytes that reached the file, which
        // is fewer than `size` (or -1) when the write failed.
        virtual qint64 append(const char *data, qint64 size) = 0;
        // Rewrites bytes already in the file.
        virtual bool overwrite(qint64 offset, const char *data, qint64 size) = 0;
        virtual bool truncate(qint64 size) = 0;
        virtual void close() = 0;
        virtual QString errorString() const = 0;
        // True when the last failure was for want of space.
        virtual bool outOfSpace() const = 0;
    };

    class FileWriter : public Writer
    {
    public:
        bool open(const QString &path) override;
        qint64 append(const char *data, qint64 size) override;
        bool overwrite(qint64 offset, const char *data, qint64 size) override;
        bool truncate(qint64 size) override;
        void close() override;
        QString errorString() const override { return m_file.errorString(); }
        bool outOfSpace() const override { return m_file.error() == QFileDevice::ResourceError; }

    protected:
        QFile m_file;
    };

    // Bytes before the samples: RIFF header, JUNK (or ds64), fmt and the data
    // chunk's header.
    static constexpr qint64 HeaderSize = 80;

    SpFileStream();
    ~SpFileStream();
    SpFileStream(const SpFileStream &) = delete;
    SpFileStream &operator=(const SpFileStream &) = delete;

    // Used by the next Open instead of a plain file.
    void setWriter(std::unique_ptr<Writer> writer);

    // Creates (truncating) the file and writes a provisional header. Returns
    // false when the file cannot be created, the mode is not
    // SSFMCreateForWrite, or the format type is not one this stream writes.
    bool Open(const QString &path, int mode = SSFMCreateForWrite, bool doEvents = false);
    // Writes what is buffered, fixes the header's sizes and closes the file;
    // harmless when not open. False when the file could not be finished
    // completely (errorString() says why); what reached it is still valid.
    bool Close();

    bool isOpen() const { return m_open; }
    int sampleRate() const { return speechFormatSampleRate(Format.Type); }
    // Appends samples at the stream's rate; false once a write has failed
    // (disk full, file gone).
    bool writeSamples(const int16_t *samples, qint64 count);
    // Appends samples made at `rate`, converted to the stream's rate first.
    bool writeSamples(const int16_t *samples, qint64 count, int rate);
    qint64 samplesWritten() const { return m_samples; }
    // Sample bytes that have reached the file (the rest is still buffered);
    // a reader may take the data up to here while the stream goes on.
    qint64 dataBytesOnDisk() const { return m_dataOnDisk; }
    QString path() const { return m_path; }
    // Why the last Open, write or Close failed, in words for the user; empty
    // while nothing has failed.
    QString errorString() const { return m_error; }

private:
    bool flush();
    // After a write that reached the file with only `wrote` bytes (or -1).
    bool lost(qint64 wrote);
    void fail();
    QByteArray header() const;

    std::unique_ptr<Writer> m_writer;
    QByteArray m_buffer;
    QString m_path;
    QString m_error;
    qint64 m_samples = 0; // samples accepted: on disk plus buffered
    qint64 m_dataOnDisk = 0; // bytes after the header that reached the file
    int m_rate = 22050;
    bool m_open = false;
    bool m_ok = true;
};
