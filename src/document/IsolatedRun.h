#pragma once
// Runs a piece of work in a forked child process with a time budget, a memory
// limit and a cap on what it may send back. For parsers that cannot be
// cancelled and may loop, exhaust memory or crash on hostile input: whatever
// the child does, the caller gets an answer within the budget.
//
// The child is a copy of this process at the moment of the fork, so the work
// must not rely on other threads or on locks they might hold; it should use
// only its inputs and plain library calls.

#include <QByteArray>
#include <QString>

#include <functional>

namespace IsolatedRun
{

struct Budget {
    int timeoutMs = 5000;
    // Address space the child may add to what it inherits; not applied under
    // AddressSanitizer.
    qint64 memoryBytes = qint64(1) << 30;
    qint64 maxOutputBytes = qint64(256) << 20;
};

enum class Outcome {
    Finished, // the work returned; exitCode is what it returned
    Crashed, // the child died of a signal or could not be started
    TimedOut, // killed at the end of the time budget
    TooLarge, // killed for sending more than maxOutputBytes
};

struct Output {
    Outcome outcome = Outcome::Crashed;
    int exitCode = -1;
    QByteArray data;
    QString detail;
};

// work runs in the child, fills its buffer and returns an exit code (0..125).
// An exception escaping it, including std::bad_alloc at the memory limit,
// ends the child with code 126.
Output run(const std::function<int(QByteArray *out)> &work, const Budget &budget);

constexpr int UncaughtExceptionCode = 126;

} // namespace IsolatedRun
