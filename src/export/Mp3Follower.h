// Encodes a WAV file into MP3 while the file is still being written, on a
// thread of its own, so that rendering and encoding run side by side instead
// of one after the other. The writer says how much sample data has reached
// the disk (publish) and when no more will come (finishInput); the follower
// reads the file up to there and feeds LAME, never ahead of what was
// published. The MP3 it finishes holds exactly the frames published.
//
// Reading the file back rather than taking the samples in memory keeps the
// writer free of any wait and the memory flat, however far the encoder lags.
#pragma once

#include "export/Mp3Encoder.h"

#include <QString>
#include <condition_variable>
#include <mutex>
#include <thread>

class Mp3Follower
{
public:
    explicit Mp3Follower(const QString &library = QString::fromLatin1(Mp3Encoder::DefaultLibrary));
    // Cancels an encoding under way.
    ~Mp3Follower();
    Mp3Follower(const Mp3Follower &) = delete;
    Mp3Follower &operator=(const Mp3Follower &) = delete;

    bool isAvailable() const { return m_encoder.isAvailable(); }

    // Starts following `wavPath`, whose 16-bit mono samples at `rate` begin
    // at byte `dataOffset`, into the MP3 file `target`.
    void start(const QString &wavPath, qint64 dataOffset, int rate, const QString &target,
        const Mp3Encoder::Settings &settings);
    // The sample bytes now in the file; a smaller value than before is ignored.
    void publish(qint64 dataBytes);
    // Nothing beyond `dataBytes` will come: the MP3 is finished once those
    // are encoded.
    void finishInput(qint64 dataBytes);
    // True once the follower has ended, with or without success; waits up to
    // `ms` milliseconds for that.
    bool waitUntilDone(int ms);
    // Stops at once and removes the target; harmless when idle.
    void cancel();

    // After the end: whether `target` is a finished MP3, how many frames it
    // holds, and otherwise why not.
    bool succeeded() const;
    qint64 framesEncoded() const;
    QString target() const { return m_target; }
    QString errorString() const;

private:
    void run();

    Mp3Encoder m_encoder;
    QString m_wavPath;
    QString m_target;
    qint64 m_dataOffset = 0;
    int m_rate = 0;
    Mp3Encoder::Settings m_settings;
    std::thread m_worker;

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    qint64 m_published = 0;
    qint64 m_consumed = 0;
    bool m_inputDone = false;
    bool m_cancelled = false;
    bool m_done = false;
    bool m_ok = false;
    QString m_error;
};
