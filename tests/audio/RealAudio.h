// Test kit for real sound: a private PulseAudio server with a null sink, a
// recorder of that sink's monitor, and measurements on the recording.
//
// Each test program starts its own server (so parallel tests never hear each
// other) and points PULSE_SERVER at it before anything connects. The recorder
// runs parec and notes when each block arrives; since a block can only
// arrive after it was captured, the earliest (arrival - position) over all
// blocks pins down the steady-clock time of recording sample 0 to within the
// smallest delivery delay seen (a few milliseconds). That puts voice events,
// timed on the same clock, on the recording's time line.
#pragma once

#include <QString>
#include <QtGlobal>
#include <atomic>
#include <limits>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace RealAudio
{

// Nanoseconds on the steady clock shared by the recorder and the tests.
qint64 nowNs();

class PrivateServer
{
public:
    PrivateServer();
    ~PrivateServer();
    // Starts the server and sets PULSE_SERVER; false (with why()) if it could not.
    bool start();
    void kill(); // as a crash would: no goodbye to clients
    QString why() const { return m_why; }
    QString socketPath() const { return m_dir + QStringLiteral("/native"); }

private:
    QString m_dir;
    QString m_why;
    qint64 m_pid = -1;
};

class MonitorRecorder
{
public:
    static constexpr int Rate = 16000;

    ~MonitorRecorder() { stop(); }
    bool start();
    void stop();
    // Copy of what has been recorded so far.
    std::vector<int16_t> samples() const;
    // Steady-clock time of recording sample 0.
    qint64 originNs() const { return m_origin.load(); }
    // Milliseconds on the recording's time line for a steady-clock time.
    double msAt(qint64 ns) const { return double(ns - originNs()) / 1e6; }

private:
    void readLoop(int fd);

    qint64 m_pid = -1;
    int m_fd = -1;
    std::thread m_reader;
    mutable std::mutex m_mutex;
    std::vector<int16_t> m_samples;
    std::atomic<qint64> m_origin {std::numeric_limits<qint64>::max()};
    std::atomic<bool> m_stop {false};
};

// A stretch of sound in a recording, in milliseconds.
struct Segment {
    double startMs = 0;
    double endMs = 0;
};

// Sound above `thresholdDb` (relative to full scale, 5 ms frames); stretches
// closer than `joinMs` are joined.
std::vector<Segment> soundSegments(
    const std::vector<int16_t> &pcm, int rate, double thresholdDb = -45, double joinMs = 0);
// Milliseconds of the first sound at or after `fromMs`, or -1.
double firstSoundAfter(const std::vector<int16_t> &pcm, int rate, double fromMs);
// Longest silence between the first and the last sound, in milliseconds.
double longestGap(const std::vector<Segment> &segments);

} // namespace RealAudio
