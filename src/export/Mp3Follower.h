// Encodes a WAV file into MP3 while the file is still being written, on a
// thread of its own, so that rendering and encoding run side by side instead
// of one after the other. The writer says how much sample data has reached
// the disk (publish) and when no more will come (finishInput); the follower
// reads the file up to there and feeds LAME, never ahead of what was
// published. The MP3 it finishes holds exactly the frames published.
//
// Reading the file back rather than taking the samples in memory keeps the
// writer free of any wait and the memory flat, however far the encoder lags.
//
// Speech is made much faster than LAME encodes it, so when the input ends
// with a long stretch still to encode, that stretch is cut at quiet moments
// into one part per processor; the parts are encoded side by side and their
// frames joined. Each part starts its own bit reservoir, so the joined
// stream is valid; each cut adds the encoder's padding, some 40 ms of
// silence, at a moment of silence. This is only done when the MP3 carries no
// LAME/Xing frame (whose counts would then describe the first part only):
// with a constant bit rate a player goes by the size.
#pragma once

#include "export/Mp3Encoder.h"

#include <QString>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

class QFile;

class Mp3Follower
{
public:
    explicit Mp3Follower(const QString &library = QString::fromLatin1(Mp3Encoder::DefaultLibrary));
    // Cancels an encoding under way.
    ~Mp3Follower();
    Mp3Follower(const Mp3Follower &) = delete;
    Mp3Follower &operator=(const Mp3Follower &) = delete;

    bool isAvailable() const { return m_encoder.isAvailable(); }

    // How many parts a long remainder may be cut into (default: one per
    // processor), and how much audio a part must have at least.
    void setParallelism(int parts, double minPartSeconds);

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
    // Parts the last encoding was cut into (1 when it was not cut).
    int partCount() const;

private:
    struct Part {
        qint64 from = 0;
        qint64 to = 0;
        QString path;
        QString error; // empty when the part was encoded
        std::thread worker;
    };

    void run();
    void encodePart(Part &part);
    void readBlock(QFile &wav, qint64 from, qint64 bytes, std::vector<int16_t> &pcm) const;
    // Cuts [from, end) into parts starting at quiet moments; their starts.
    std::vector<qint64> cutPoints(qint64 from, qint64 end) const;
    void joinParts();

    QString m_library;
    Mp3Encoder m_encoder;
    QString m_wavPath;
    QString m_target;
    qint64 m_dataOffset = 0;
    int m_rate = 0;
    Mp3Encoder::Settings m_settings;
    int m_maxParts = 1;
    double m_minPartSeconds = 30;
    std::thread m_worker;
    std::vector<Part> m_parts; // the later parts, once the input is cut
    std::atomic<bool> m_cancelled {false};

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    qint64 m_published = 0;
    qint64 m_consumed = 0;
    qint64 m_ownEnd = -1; // where the follower's own part ends, once cut
    bool m_inputDone = false;
    bool m_done = false;
    bool m_ok = false;
    QString m_error;
};
