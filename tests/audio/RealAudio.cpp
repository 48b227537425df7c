#include "audio/RealAudio.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

namespace RealAudio
{

qint64 nowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
        std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

namespace
{

// Starts `argv` with stdout to a pipe (when `out` is given) and stderr to
// /dev/null; returns the child's pid or -1.
pid_t spawn(const std::vector<QByteArray> &args, int *out)
{
    int pipeFds[2] = {-1, -1};
    if (out && ::pipe(pipeFds) != 0)
        return -1;
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (out) {
            ::dup2(pipeFds[1], STDOUT_FILENO);
            ::close(pipeFds[0]);
            ::close(pipeFds[1]);
        }
        const int devnull = ::open("/dev/null", O_WRONLY);
        ::dup2(devnull, STDERR_FILENO);
        std::vector<char *> argv;
        for (const QByteArray &a : args)
            argv.push_back(const_cast<char *>(a.constData()));
        argv.push_back(nullptr);
        ::execvp(argv[0], argv.data());
        ::_exit(127);
    }
    if (out) {
        ::close(pipeFds[1]);
        *out = pid > 0 ? pipeFds[0] : -1;
        if (pid < 0)
            ::close(pipeFds[0]);
    }
    return pid;
}

void endChild(qint64 pid, int signal)
{
    if (pid <= 0)
        return;
    ::kill(pid_t(pid), signal);
    int status = 0;
    ::waitpid(pid_t(pid), &status, 0);
}

} // namespace

PrivateServer::PrivateServer()
{
    m_dir = QDir::tempPath() + QStringLiteral("/parlo-pa-%1").arg(::getpid());
}

PrivateServer::~PrivateServer()
{
    if (m_pid > 0)
        endChild(m_pid, SIGTERM);
    QDir(m_dir).removeRecursively();
}

bool PrivateServer::start()
{
    if (QStandardPaths::findExecutable(QStringLiteral("pulseaudio")).isEmpty()) {
        m_why = QStringLiteral("pulseaudio is not installed (tools/install-deps.sh installs it)");
        return false;
    }
    QDir().mkpath(m_dir + QStringLiteral("/runtime"));
    QFile::remove(socketPath());
    qputenv("PULSE_RUNTIME_PATH", (m_dir + QStringLiteral("/runtime")).toLocal8Bit());
    qputenv("PULSE_STATE_PATH", (m_dir + QStringLiteral("/state")).toLocal8Bit());
    qputenv("PULSE_SERVER", "unix:" + socketPath().toLocal8Bit());
    const QByteArray nativeModule
        = "module-native-protocol-unix auth-anonymous=1 socket=" + socketPath().toLocal8Bit();
    m_pid = spawn({"pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no",
                      "--disallow-module-loading=no", "-L", "module-null-sink sink_name=parlo_null",
                      "-L", nativeModule},
        nullptr);
    for (int i = 0; i < 200 && m_pid > 0; ++i) {
        if (QFile::exists(socketPath()))
            return true;
        int status = 0;
        if (::waitpid(pid_t(m_pid), &status, WNOHANG) == m_pid) {
            m_pid = -1;
            break;
        }
        QThread::msleep(20);
    }
    m_why = QStringLiteral("pulseaudio did not start (socket %1)").arg(socketPath());
    kill();
    return false;
}

void PrivateServer::kill()
{
    endChild(m_pid, SIGKILL);
    m_pid = -1;
    QFile::remove(socketPath());
}

bool MonitorRecorder::start()
{
    m_pid = spawn(
        {"parec", "--device=parlo_null.monitor", "--format=s16le",
            "--rate=" + QByteArray::number(Rate), "--channels=1", "--latency-msec=5", "--raw"},
        &m_fd);
    if (m_pid <= 0)
        return false;
    m_reader = std::thread([this] { readLoop(m_fd); });
    // Wait for the first block, so the time line is known before the test acts.
    for (int i = 0; i < 300 && m_origin.load() == std::numeric_limits<qint64>::max(); ++i)
        QThread::msleep(10);
    return m_origin.load() != std::numeric_limits<qint64>::max();
}

void MonitorRecorder::readLoop(int fd)
{
    std::vector<char> bytes; // read but not yet whole samples
    qint64 total = 0; // bytes so far
    char block[4096];
    while (!m_stop.load()) {
        const ssize_t n = ::read(fd, block, sizeof block);
        if (n <= 0)
            break;
        const qint64 arrived = nowNs();
        total += n;
        bytes.insert(bytes.end(), block, block + n);
        {
            std::lock_guard lock(m_mutex);
            const size_t whole = bytes.size() / 2;
            const size_t at = m_samples.size();
            m_samples.resize(at + whole);
            memcpy(m_samples.data() + at, bytes.data(), whole * 2);
        }
        bytes.erase(bytes.begin(), bytes.begin() + qsizetype(bytes.size() / 2 * 2));
        // Received now, so recorded no later than now: the earliest such
        // bound over all blocks is the time of sample 0.
        const qint64 origin = arrived - (total / 2) * 1000000000LL / Rate;
        if (origin < m_origin.load())
            m_origin.store(origin);
    }
}

void MonitorRecorder::stop()
{
    m_stop = true;
    endChild(m_pid, SIGTERM);
    m_pid = -1;
    if (m_reader.joinable())
        m_reader.join();
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

std::vector<int16_t> MonitorRecorder::samples() const
{
    std::lock_guard lock(m_mutex);
    return m_samples;
}

std::vector<Segment> soundSegments(
    const std::vector<int16_t> &pcm, int rate, double thresholdDb, double joinMs)
{
    const int frame = rate / 200; // 5 ms
    const double threshold = 32768.0 * std::pow(10.0, thresholdDb / 20.0);
    std::vector<Segment> out;
    bool inSound = false;
    for (size_t start = 0; start + size_t(frame) <= pcm.size(); start += size_t(frame)) {
        double sum = 0;
        for (size_t i = start; i < start + size_t(frame); ++i)
            sum += double(pcm[i]) * pcm[i];
        const bool loud = std::sqrt(sum / frame) > threshold;
        const double ms = double(start) * 1000.0 / rate;
        if (loud && !inSound) {
            if (!out.empty() && ms - out.back().endMs <= joinMs)
                out.back().endMs = ms + 5;
            else
                out.push_back({ms, ms + 5});
        } else if (loud) {
            out.back().endMs = ms + 5;
        }
        inSound = loud;
    }
    return out;
}

double firstSoundAfter(const std::vector<int16_t> &pcm, int rate, double fromMs)
{
    for (const Segment &s : soundSegments(pcm, rate)) {
        if (s.endMs > fromMs)
            return std::max(s.startMs, fromMs);
    }
    return -1;
}

double longestGap(const std::vector<Segment> &segments)
{
    double gap = 0;
    for (size_t i = 1; i < segments.size(); ++i)
        gap = std::max(gap, segments[i].startMs - segments[i - 1].endMs);
    return gap;
}

} // namespace RealAudio
