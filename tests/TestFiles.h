// Files and processes for tests: whole-file reads and writes, what a folder
// holds, a disk that fills up, and a program run to its end with English
// messages.
#pragma once

#include <QByteArray>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

namespace TestFiles
{

// The file's bytes, or nothing when it cannot be read.
inline QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Replaces the file with `data`; a failure fails the calling test.
inline void writeAll(const QString &path, const QByteArray &data)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(data), data.size());
}

// Everything under `folder` that passes `filters`, as sorted relative paths.
inline QStringList filesUnder(
    const QString &folder, QDir::Filters filters = QDir::Files | QDir::Hidden)
{
    QStringList files;
    QDirIterator it(folder, filters | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext())
        files.append(QDir(folder).relativeFilePath(it.next()));
    files.sort();
    return files;
}

// Files of this process may grow to `bytes` at most while it lives, as on a
// nearly full disk; a write past it fails instead of raising SIGXFSZ.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
        : m_signal(std::signal(SIGXFSZ, SIG_IGN))
    {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        rlimit small = m_saved;
        small.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &small);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_signal);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

private:
    rlimit m_saved {};
    void (*m_signal)(int);
};

struct Run {
    bool finished = false; // to a normal exit within the time allowed
    int exitCode = -1;
    QString errors, output;
};

// Runs in `folder` with an English locale and `environment` (NAME=value
// pairs) on top of this process's own.
inline void setUp(QProcess &p, const QString &folder, const QStringList &environment = {})
{
    p.setWorkingDirectory(folder);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
    env.remove(QStringLiteral("LC_ALL"));
    env.remove(QStringLiteral("LC_MESSAGES"));
    for (const QString &pair : environment)
        env.insert(pair.section(u'=', 0, 0), pair.section(u'=', 1));
    p.setProcessEnvironment(env);
}

// Waits for a started process; one still going after `limitMs` is killed.
inline Run finish(QProcess &p, int limitMs = 60000)
{
    // waitForFinished() is false for a process that has ended already.
    const bool ended = p.state() == QProcess::NotRunning || p.waitForFinished(limitMs);
    if (!ended) {
        p.kill();
        p.waitForFinished();
    }
    const bool normal = ended && p.exitStatus() == QProcess::NormalExit;
    return {normal, normal ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardError()),
        QString::fromUtf8(p.readAllStandardOutput())};
}

// A program that cannot be started has not finished.
inline Run run(const QString &program, const QStringList &arguments, const QString &folder,
    const QStringList &environment = {}, int limitMs = 60000)
{
    QProcess p;
    setUp(p, folder, environment);
    p.start(program, arguments);
    return p.waitForStarted() ? finish(p, limitMs) : Run();
}

} // namespace TestFiles
