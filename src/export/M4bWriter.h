// Writes an audiobook: AAC in an MP4 container (".m4b") with chapter marks,
// tags and a cover, encoded as the book is rendered, so that a book of many
// hours never has to be held in memory or on disk as PCM.
//
// The book is written beside its path under a temporary name and renamed over
// it by finish(): a failed or cancelled render never leaves half a book, nor
// spoils a book of the same name written before.
//
// The AAC encoder starts every stream with one frame (1024 samples) of
// priming; the file's edit list hides it, so the duration and the chapter
// marks are in the time of the audio as heard, starting at the first frame
// given to write(). The muxer keeps one index entry per AAC frame until
// finish() (48 bytes per 1024 samples: under 4 MB an hour at 22050 Hz);
// nothing else grows with the book.
//
// Every operation reports failure by returning false; errorString() then
// names the file and the cause. Nothing throws.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <cstdint>
#include <memory>

class M4bWriter
{
public:
    struct Tags {
        QString title, artist, albumArtist, album;
        // JPEG or PNG bytes; an image in any other format is left out.
        QByteArray cover;
        QString coverMimeType;
        int track = 0; // 0: none
    };
    struct Mark {
        qint64 startMs = 0; // in the audio as heard
        QString title;
    };

    M4bWriter();
    // An unfinished book is aborted.
    ~M4bWriter();
    M4bWriter(const M4bWriter &) = delete;
    M4bWriter &operator=(const M4bWriter &) = delete;

    // Starts a book of 16-bit PCM at `sampleRate` Hz with `channels` (1 or 2)
    // interleaved channels, encoded at a constant `bitrateKbps`. `chapters` is
    // how many marks finish() is expected to get (0: none); their entries are
    // reserved now, but they are handed to the muxer only by finish(), since a
    // chapter known when the header is written is written there, times and
    // all. A book already open is aborted first.
    bool open(const QString &path, int sampleRate, int channels, int bitrateKbps, const Tags &tags,
        int chapters);
    // Encodes `count` interleaved frames; any count, kept across calls until a
    // whole AAC frame is there. False once anything has failed.
    bool write(const int16_t *frames, qint64 count);
    // Flushes the encoder, sets the chapter marks, writes the index and puts
    // the file in place. Each mark ends where the next starts and the last at
    // the end of the audio; titles as given. The first chapter starts at 0,
    // taking in any prelude before its mark (readers disagree on a chapter
    // track that starts late); marks out of order or past the end are moved
    // to the nearest time that keeps them in order. Moves are logged.
    bool finish(const QList<Mark> &marks);
    // Drops the book under way; no file is left, and a book of the same name
    // written before is left alone.
    void abort();

    QString errorString() const { return m_error; }
    // Frames given to write() since open().
    qint64 framesWritten() const { return m_frames; }
    // Processor time spent inside the AAC encoder since open().
    double encoderSeconds() const { return m_encoderSeconds; }

private:
    struct Session;

    bool fail(const QString &cause);
    bool encode(bool flush);
    bool writePacket();
    bool setChapters(const QList<Mark> &marks);
    bool notOpen();

    std::unique_ptr<Session> m_session;
    QString m_path;
    QString m_error;
    qint64 m_frames = 0;
    double m_encoderSeconds = 0;
};
