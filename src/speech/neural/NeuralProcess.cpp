#include "speech/neural/NeuralProcess.h"

#include "system/Log.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcessEnvironment>
#include <QStringList>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{

// How long one wait for output lasts before the stop flag is looked at again.
constexpr int PollSliceMs = 50;
// A voice that has not answered by then is taken for hung. Loading a large
// model from a slow disk, or one long sentence on a slow machine, takes
// seconds, never minutes.
constexpr int ReplyTimeoutMs = 120000;
// How long the worker gets to end by itself, then after SIGTERM.
constexpr int EndGraceMs = 1000;
// How much of the worker's standard error is kept.
constexpr qsizetype ErrorTailBytes = 4096;

using Clock = std::chrono::steady_clock;

void closeFd(int &fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

// True once `pid` has ended (and is reaped), waiting up to `ms`; its wait
// status in *status when it was reaped here.
bool reaped(pid_t pid, int ms, int *status = nullptr)
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(ms);
    for (;;) {
        const pid_t r = ::waitpid(pid, status, WNOHANG);
        if (r == pid || (r < 0 && errno == ECHILD))
            return true;
        if (Clock::now() >= deadline)
            return false;
        ::usleep(5000);
    }
}

} // namespace

NeuralProcess::~NeuralProcess()
{
    stop();
}

bool NeuralProcess::start(const Launch &launch, const QString &folder, Voice *voice, QString *error,
    const std::atomic<bool> *stop)
{
    this->stop();
    m_stop = stop;
    m_buffer.clear();
    m_errorTail.clear();

    // Pipes made close-on-exec, so that the worker only gets its own ends
    // (as its standard streams) and other workers none of this one's.
    int in[2] = {-1, -1}, out[2] = {-1, -1}, err[2] = {-1, -1};
    if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0
        || ::pipe2(err, O_CLOEXEC) != 0) {
        *error = QString::fromLocal8Bit(std::strerror(errno));
        for (int *pair : {in, out, err}) {
            closeFd(pair[0]);
            closeFd(pair[1]);
        }
        return false;
    }

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, err[1], STDERR_FILENO);
    // The worker starts with default signal handling whatever this program
    // (or the thread starting it) has blocked or ignored.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none, defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    for (int s : {SIGPIPE, SIGTERM, SIGINT, SIGHUP})
        sigaddset(&defaults, s);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PARLO_NEURAL_RUNTIME"), launch.runtimePrefix);
    std::vector<QByteArray> envBytes;
    for (const QString &entry : environment.toStringList())
        envBytes.push_back(entry.toLocal8Bit());
    std::vector<char *> envp;
    for (QByteArray &entry : envBytes)
        envp.push_back(entry.data());
    envp.push_back(nullptr);
    QByteArray node = launch.node.toLocal8Bit();
    QByteArray script = launch.script.toLocal8Bit();
    char *argv[] = {node.data(), script.data(), nullptr};

    pid_t pid = 0;
    const int spawned = node.contains('/')
        ? ::posix_spawn(&pid, node.constData(), &actions, &attributes, argv, envp.data())
        : ::posix_spawnp(&pid, node.constData(), &actions, &attributes, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    closeFd(in[0]);
    closeFd(out[1]);
    closeFd(err[1]);
    if (spawned != 0) {
        closeFd(in[1]);
        closeFd(out[0]);
        closeFd(err[0]);
        *error = QStringLiteral("cannot start %1: %2")
                     .arg(launch.node, QString::fromLocal8Bit(std::strerror(spawned)));
        return false;
    }
    m_pid = pid;
    m_in = in[1];
    m_out = out[0];
    m_err = err[0];
    qCDebug(lcNeural) << "worker" << pid << "started for" << folder;
    return load(folder, voice, error);
}

bool NeuralProcess::load(const QString &folder, Voice *voice, QString *error)
{
    if (!running()) {
        *error = QStringLiteral("the voice is not running");
        return false;
    }
    const QJsonObject request {
        {QStringLiteral("op"), QStringLiteral("load")}, {QStringLiteral("model"), folder}};
    QByteArray line;
    const Read read = send(QJsonDocument(request).toJson(QJsonDocument::Compact) + '\n')
        ? readLine(&line)
        : Read::Died;
    if (read != Read::Ok) {
        *error = read == Read::Stopped ? QStringLiteral("stopped") : deathReason();
        this->stop();
        return false;
    }
    const QJsonObject answer = QJsonDocument::fromJson(line).object();
    if (answer.value(QStringLiteral("op")).toString() != QLatin1String("loaded")) {
        *error = answer.value(QStringLiteral("message")).toString();
        if (error->isEmpty())
            *error
                = QStringLiteral("the worker answered %1").arg(QString::fromUtf8(line.left(200)));
        this->stop();
        return false;
    }
    voice->sampleRate = answer.value(QStringLiteral("sampleRate")).toInt();
    voice->speakers = std::max(1, answer.value(QStringLiteral("speakers")).toInt(1));
    voice->name = answer.value(QStringLiteral("name")).toString();
    voice->language = answer.value(QStringLiteral("language")).toString();
    voice->gender = answer.value(QStringLiteral("gender")).toString();
    return true;
}

bool NeuralProcess::speak(
    const QString &text, int speaker, double speed, Audio *audio, QString *error)
{
    if (!running()) {
        *error = QStringLiteral("the voice is not running");
        return false;
    }
    const qint64 id = m_nextId++;
    const QJsonObject request {{QStringLiteral("op"), QStringLiteral("speak")},
        {QStringLiteral("id"), id}, {QStringLiteral("text"), text},
        {QStringLiteral("sid"), speaker}, {QStringLiteral("speed"), speed}};
    QByteArray line;
    Read read = send(QJsonDocument(request).toJson(QJsonDocument::Compact) + '\n') ? readLine(&line)
                                                                                   : Read::Died;
    if (read != Read::Ok) {
        *error = read == Read::Stopped ? QStringLiteral("stopped") : deathReason();
        stop();
        return false;
    }
    const QJsonObject answer = QJsonDocument::fromJson(line).object();
    if (answer.value(QStringLiteral("id")).toInteger(-1) != id) {
        // Out of step with the worker: nothing it says can be trusted now.
        *error = QStringLiteral("the worker answered out of turn: %1")
                     .arg(QString::fromUtf8(line.left(200)));
        stop();
        return false;
    }
    if (answer.value(QStringLiteral("op")).toString() != QLatin1String("audio")) {
        *error = answer.value(QStringLiteral("message")).toString();
        return false;
    }
    const qint64 samples = answer.value(QStringLiteral("samples")).toInteger(-1);
    if (samples < 0 || samples > (qint64(1) << 31)) {
        *error = QStringLiteral("the worker announced %1 samples").arg(samples);
        stop();
        return false;
    }
    QByteArray bytes;
    read = readBytes(qsizetype(samples) * 2, &bytes);
    if (read != Read::Ok) {
        *error = read == Read::Stopped ? QStringLiteral("stopped") : deathReason();
        stop();
        return false;
    }
    audio->sampleRate = answer.value(QStringLiteral("sampleRate")).toInt();
    audio->pcm.resize(size_t(samples));
    // Little-endian on the wire, as on every machine this runs on; read
    // byte by byte so that would not matter.
    const auto *b = reinterpret_cast<const unsigned char *>(bytes.constData());
    for (qint64 i = 0; i < samples; ++i)
        audio->pcm[size_t(i)] = int16_t(uint16_t(b[2 * i] | (b[2 * i + 1] << 8)));
    return true;
}

void NeuralProcess::stop()
{
    if (m_pid < 0)
        m_pid = 0; // ended and reaped already
    if (m_pid == 0) {
        closeFd(m_in);
        closeFd(m_out);
        closeFd(m_err);
        return;
    }
    // The end of its input ends the worker at once; a worker busy in a
    // sentence, or hung, is told and then made to.
    closeFd(m_in);
    if (!reaped(m_pid, EndGraceMs)) {
        ::kill(m_pid, SIGTERM);
        if (!reaped(m_pid, EndGraceMs)) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
    }
    qCDebug(lcNeural) << "worker" << m_pid << "ended";
    m_pid = 0;
    closeFd(m_out);
    closeFd(m_err);
}

bool NeuralProcess::send(const QByteArray &line)
{
    // What the worker says from now on is about this request.
    drainPendingErrors();
    m_errorTail.clear();
    // A worker that died makes the write fail with EPIPE; the signal that
    // comes with it must not end this program, whatever thread writes.
    sigset_t pipeSignal, previous;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipeSignal, &previous);
    const bool pendingBefore = [&] {
        sigset_t pending;
        sigpending(&pending);
        return sigismember(&pending, SIGPIPE) == 1;
    }();
    const char *data = line.constData();
    qsizetype left = line.size();
    bool ok = true;
    while (left > 0) {
        const ssize_t n = ::write(m_in, data, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ok = false;
            break;
        }
        data += n;
        left -= n;
    }
    if (!ok && errno == EPIPE && !pendingBefore) {
        const timespec now {0, 0};
        sigtimedwait(&pipeSignal, nullptr, &now);
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    return ok;
}

NeuralProcess::Read NeuralProcess::readLine(QByteArray *line)
{
    for (;;) {
        const qsizetype end = m_buffer.indexOf('\n');
        if (end >= 0) {
            *line = m_buffer.left(end);
            m_buffer.remove(0, end + 1);
            return Read::Ok;
        }
        if (const Read r = fill(); r != Read::Ok)
            return r;
    }
}

NeuralProcess::Read NeuralProcess::readBytes(qsizetype count, QByteArray *bytes)
{
    while (m_buffer.size() < count) {
        if (const Read r = fill(); r != Read::Ok)
            return r;
    }
    *bytes = m_buffer.left(count);
    m_buffer.remove(0, count);
    return Read::Ok;
}

NeuralProcess::Read NeuralProcess::fill()
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(ReplyTimeoutMs);
    for (;;) {
        if (m_stop && m_stop->load())
            return Read::Stopped;
        if (Clock::now() >= deadline) {
            m_errorTail += QByteArrayLiteral("\nthe voice did not answer for two minutes\n");
            return Read::Died;
        }
        pollfd fds[2] = {{m_out, POLLIN, 0}, {m_err, POLLIN, 0}};
        const int ready = ::poll(fds, m_err >= 0 ? 2 : 1, PollSliceMs);
        if (ready < 0 && errno != EINTR)
            return Read::Died;
        if (ready <= 0)
            continue;
        if (fds[1].revents)
            drainErrors();
        if (fds[0].revents) {
            char block[65536];
            const ssize_t n = ::read(m_out, block, sizeof block);
            if (n > 0) {
                m_buffer.append(block, n);
                return Read::Ok;
            }
            if (n < 0 && (errno == EINTR || errno == EAGAIN))
                continue;
            // End of output: the worker is gone. What it said last says why.
            while (m_err >= 0 && ::poll(fds + 1, 1, 100) > 0 && fds[1].revents)
                drainErrors();
            return Read::Died;
        }
    }
}

void NeuralProcess::drainErrors()
{
    char block[4096];
    const ssize_t n = ::read(m_err, block, sizeof block);
    if (n <= 0) {
        closeFd(m_err);
        return;
    }
    qCDebug(lcNeural).noquote() << "worker" << m_pid << "says:" << QByteArray(block, n).trimmed();
    m_errorTail.append(block, n);
    if (m_errorTail.size() > ErrorTailBytes)
        m_errorTail.remove(0, m_errorTail.size() - ErrorTailBytes);
}

QString NeuralProcess::deathReason()
{
    QString how = QStringLiteral("the voice worker ended");
    int status = 0;
    if (m_pid > 0 && reaped(m_pid, EndGraceMs, &status)) {
        if (WIFSIGNALED(status))
            how = QStringLiteral("the voice worker was killed (signal %1)").arg(WTERMSIG(status));
        else if (WIFEXITED(status))
            how = QStringLiteral("the voice worker ended (exit code %1)").arg(WEXITSTATUS(status));
        m_pid = -m_pid; // reaped: stop() has only the pipes to close
    }
    const QList<QByteArray> lines = m_errorTail.trimmed().split('\n');
    const QString last = lines.isEmpty() ? QString() : QString::fromUtf8(lines.last().trimmed());
    return last.isEmpty() ? how : QStringLiteral("%1: %2").arg(how, last);
}

void NeuralProcess::drainPendingErrors()
{
    pollfd fd {m_err, POLLIN, 0};
    while (m_err >= 0 && ::poll(&fd, 1, 0) > 0 && fd.revents)
        drainErrors();
}
