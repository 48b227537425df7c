#include "document/IsolatedRun.h"

#include <QDeadlineTimer>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#define PARLO_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define PARLO_UNDER_ASAN 1
#endif
#endif

namespace
{

void setLimit(int resource, rlim_t value)
{
    const rlimit limit {value, value};
    setrlimit(resource, &limit);
}

bool writeAll(int fd, const char *data, qsizetype size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size_t(size));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= n;
    }
    return true;
}

#ifndef PARLO_UNDER_ASAN
// The address space the process uses now, from /proc/self/statm (first field,
// in pages); 0 when it cannot be read.
rlim_t currentAddressSpace()
{
    const int fd = ::open("/proc/self/statm", O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return 0;
    char buf[64] = {};
    const ssize_t n = ::read(fd, buf, sizeof buf - 1);
    ::close(fd);
    rlim_t pages = 0;
    for (ssize_t i = 0; i < n && buf[i] >= '0' && buf[i] <= '9'; ++i)
        pages = pages * 10 + rlim_t(buf[i] - '0');
    return pages * rlim_t(::sysconf(_SC_PAGESIZE));
}
#endif

[[noreturn]] void runChild(
    int fd, const std::function<int(QByteArray *)> &work, const IsolatedRun::Budget &budget)
{
    // The parent's signal handlers are not the child's business: a crash
    // handler or a quit-on-SIGTERM handler must not run in this copy.
    for (int sig = 1; sig < NSIG; ++sig)
        if (sig != SIGKILL && sig != SIGSTOP)
            std::signal(sig, SIG_DFL);
    setLimit(RLIMIT_CORE, 0);
    // CPU seconds back up the parent's wall-clock budget.
    setLimit(RLIMIT_CPU, rlim_t(budget.timeoutMs / 1000 + 2));
#ifndef PARLO_UNDER_ASAN
    // The child starts with the parent's mappings, so the budget comes on top
    // of them. AddressSanitizer reserves terabytes of address space up front,
    // so under it no address-space limit is set at all.
    if (budget.memoryBytes > 0)
        setLimit(RLIMIT_AS, currentAddressSpace() + rlim_t(budget.memoryBytes));
#endif
    int code = IsolatedRun::UncaughtExceptionCode;
    try {
        QByteArray out;
        code = work(&out);
        if (!writeAll(fd, out.constData(), out.size()))
            code = IsolatedRun::UncaughtExceptionCode;
    } catch (...) {
        code = IsolatedRun::UncaughtExceptionCode;
    }
    ::_exit(code); // no atexit handlers or static destructors of the parent's copy
}

void killAndReap(pid_t pid)
{
    ::kill(pid, SIGKILL);
    while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) { }
}

} // namespace

namespace IsolatedRun
{

Output run(const std::function<int(QByteArray *out)> &work, const Budget &budget)
{
    Output result;
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        result.detail
            = QStringLiteral("pipe: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        return result;
    }
    const pid_t pid = ::fork();
    if (pid < 0) {
        result.detail
            = QStringLiteral("fork: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        ::close(fds[0]);
        ::close(fds[1]);
        return result;
    }
    if (pid == 0) {
        ::close(fds[0]);
        runChild(fds[1], work, budget);
    }
    ::close(fds[1]);

    // Read until the child closes its end (it exits), the budget runs out or
    // it sends too much; then reap it.
    const QDeadlineTimer deadline(budget.timeoutMs);
    char chunk[1 << 16];
    for (;;) {
        const qint64 left = deadline.remainingTime();
        if (left == 0) {
            result.outcome = Outcome::TimedOut;
            break;
        }
        pollfd p {fds[0], POLLIN, 0};
        const int ready = ::poll(&p, 1, int(qMin<qint64>(left, 1000)));
        if (ready < 0 && errno != EINTR) {
            result.outcome = Outcome::Crashed;
            break;
        }
        if (ready <= 0)
            continue;
        const ssize_t n = ::read(fds[0], chunk, sizeof chunk);
        if (n < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (n <= 0) {
            result.outcome = Outcome::Finished;
            break;
        }
        if (result.data.size() + n > budget.maxOutputBytes) {
            result.outcome = Outcome::TooLarge;
            break;
        }
        result.data.append(chunk, n);
    }
    ::close(fds[0]);

    if (result.outcome != Outcome::Finished) {
        killAndReap(pid);
        result.data.clear();
        result.detail = result.outcome == Outcome::TimedOut
            ? QStringLiteral("no result within %1 ms").arg(budget.timeoutMs)
            : QStringLiteral("more than %1 bytes of output").arg(budget.maxOutputBytes);
        return result;
    }
    // The pipe closed, so the child is exiting; wait for it, but not forever
    // (it might have closed the pipe and gone on running).
    int status = 0;
    for (;;) {
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid)
            break;
        if (done < 0 && errno != EINTR) {
            result.outcome = Outcome::Crashed;
            result.detail = QStringLiteral("lost the child process");
            return result;
        }
        if (deadline.hasExpired()) {
            killAndReap(pid);
            result.outcome = Outcome::TimedOut;
            result.data.clear();
            result.detail = QStringLiteral("no result within %1 ms").arg(budget.timeoutMs);
            return result;
        }
        ::usleep(2000);
    }
    if (WIFEXITED(status)) {
        result.exitCode = WEXITSTATUS(status);
        return result;
    }
    result.outcome
        = WIFSIGNALED(status) && WTERMSIG(status) == SIGXCPU ? Outcome::TimedOut : Outcome::Crashed;
    result.data.clear();
    result.detail = QStringLiteral("the child process died of signal %1")
                        .arg(WIFSIGNALED(status) ? WTERMSIG(status) : 0);
    return result;
}

} // namespace IsolatedRun
