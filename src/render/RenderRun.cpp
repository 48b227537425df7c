#include "render/RenderRun.h"

#include "render/RenderVoices.h"
#include "render/WorkerProtocol.h"
#include "system/StopSignals.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QProcess>
#include <QSet>
#include <QTimer>

#include <atomic>

#include <csignal>
#include <memory>
#include <sys/prctl.h>
#include <unistd.h>

namespace
{

std::atomic<bool> g_stop {false};
std::atomic<bool> g_busy {false};
bool g_worker = false;
constexpr int ExitInterrupted = 130;
constexpr int StopPollMs = 50;
// A worker tells its progress at most this often.
constexpr qint64 ProgressEveryMs = 100;

void onStopSignal(int)
{
    if (g_worker && !g_busy.load())
        _exit(ExitInterrupted);
    g_stop.store(true);
}

QByteArray line(const QJsonObject &json)
{
    return QJsonDocument(json).toJson(QJsonDocument::Compact) + '\n';
}

// One worker process and the job it is on (-1: none).
struct Worker {
    std::unique_ptr<QProcess> process;
    int job = -1;
    QByteArray pending; // output not yet a whole line
};

class Pool
{
public:
    Pool(const RenderSettings &settings, const QList<RenderJob> &jobs, RenderReport &report)
        : m_settings(settings)
        , m_jobs(jobs)
        , m_report(report)
    {
    }

    bool run(int count)
    {
        for (int i = 0; i < count && m_next < m_jobs.size(); ++i)
            start();
        QTimer stopPoll;
        QObject::connect(&stopPoll, &QTimer::timeout, &m_loop, [this] {
            if (StopSignal::requested())
                stopAll();
        });
        stopPoll.start(StopPollMs);
        if (running() > 0)
            m_loop.exec();
        return !m_stopping;
    }

private:
    int running() const
    {
        return int(std::count_if(m_workers.begin(), m_workers.end(),
            [](const std::unique_ptr<Worker> &w) { return w->process != nullptr; }));
    }

    void start()
    {
        auto worker = std::make_unique<Worker>();
        Worker *w = worker.get();
        w->process = std::make_unique<QProcess>();
        QProcess *p = w->process.get();
        p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QObject::connect(p, &QProcess::readyReadStandardOutput, &m_loop, [this, w] { read(*w); });
        QObject::connect(p, &QProcess::finished, &m_loop, [this, w] { ended(*w); });
        QObject::connect(p, &QProcess::errorOccurred, &m_loop, [this, w](QProcess::ProcessError e) {
            if (e == QProcess::FailedToStart)
                ended(*w);
        });
        m_workers.push_back(std::move(worker));
        p->start(QCoreApplication::applicationFilePath(), {QStringLiteral("--worker")});
        p->write(line(m_settings.toJson()));
        give(*w);
    }

    // Hands the worker the next job and lets it end after that one.
    void give(Worker &w)
    {
        w.job = int(m_next++);
        w.process->write(line(m_jobs[w.job].toJson()));
        w.process->closeWriteChannel();
    }

    void read(Worker &w)
    {
        w.pending += w.process->readAllStandardOutput();
        qsizetype end;
        while ((end = w.pending.indexOf('\n')) >= 0) {
            const QJsonObject json = QJsonDocument::fromJson(w.pending.left(end)).object();
            w.pending.remove(0, end + 1);
            const int id = json[WorkerKey::Id].toInt(-1);
            if (id < 0 || id >= m_jobs.size())
                continue;
            if (!json.contains(WorkerKey::Kind)) {
                m_report.progress(id, json[WorkerKey::Spoken].toInt(),
                    json[WorkerKey::Total].toInt(), json[WorkerKey::Chapter].toString());
                continue;
            }
            const JobOutcome outcome {JobOutcome::Kind(json[WorkerKey::Kind].toInt()),
                json[WorkerKey::Message].toString()};
            m_report.finished(m_jobs[id], outcome);
            if (w.job == id)
                w.job = -1;
        }
    }

    void ended(Worker &w)
    {
        if (!w.process)
            return;
        read(w);
        std::unique_ptr<QProcess> p = std::move(w.process);
        if (w.job >= 0 && !m_stopping) {
            const QString how = p->exitStatus() == QProcess::CrashExit
                ? QStringLiteral("crash")
                : QString::number(p->exitCode());
            m_report.finished(m_jobs[w.job],
                {JobOutcome::Kind::Failed,
                    bilingual(
                        "the worker process ended unexpectedly (%1)", "轉檔行程意外結束（%1）")
                        .arg(how)});
        }
        w.job = -1;
        p.release()->deleteLater();
        if (!m_stopping && m_next < m_jobs.size())
            start();
        if (running() == 0)
            m_loop.quit();
    }

    void stopAll()
    {
        if (m_stopping)
            return;
        m_stopping = true;
        for (const std::unique_ptr<Worker> &w : m_workers) {
            if (w->process)
                w->process->terminate();
        }
    }

    const RenderSettings &m_settings;
    const QList<RenderJob> &m_jobs;
    RenderReport &m_report;
    std::vector<std::unique_ptr<Worker>> m_workers;
    qsizetype m_next = 0;
    bool m_stopping = false;
    QEventLoop m_loop;
};

} // namespace

namespace StopSignal
{

void install(bool worker)
{
    g_worker = worker;
    StopSignals::route(onStopSignal);
    std::signal(SIGPIPE, SIG_IGN);
    if (worker) {
        // A worker whose parent is gone stops too, and cleans up.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
    }
}

bool requested()
{
    return g_stop.load();
}

void setBusy(bool busy)
{
    g_busy.store(busy);
}

} // namespace StopSignal

bool runJobs(const RenderSettings &settings, const SpObjectToken &voice,
    const QList<RenderJob> &jobs, int workers, RenderReport &report)
{
    // What a killed run left where this one writes goes first.
    QSet<QString> folders;
    for (const RenderJob &job : jobs)
        folders.insert(settings.toStdout ? QDir::tempPath() : JobRunner::temporaryFolder(job.base));
    for (const QString &folder : std::as_const(folders))
        JobRunner::removeStaleTemporaries(folder);

    if (jobs.size() > 1) {
        Pool pool(settings, jobs, report);
        return pool.run(std::clamp(workers, 1, int(jobs.size())));
    }
    JobRunner runner(settings, voice);
    for (const RenderJob &job : jobs) {
        const JobOutcome outcome
            = runner.run(job, [&](int spoken, int total, const QString &chapter) {
                  report.progress(job.id, spoken, total, chapter);
                  return !StopSignal::requested();
              });
        if (outcome.kind == JobOutcome::Kind::Cancelled || StopSignal::requested())
            return false;
        report.finished(job, outcome);
    }
    return true;
}

int runWorker()
{
    QFile in;
    QFile out;
    if (!in.open(stdin, QIODevice::ReadOnly) || !out.open(stdout, QIODevice::WriteOnly))
        return 1;
    const RenderSettings settings
        = RenderSettings::fromJson(QJsonDocument::fromJson(in.readLine()).object());
    RenderVoices::addVoiceFolders(settings.voiceDirs);
    const SpObjectToken voice = settings.voice.isEmpty()
        ? SpObjectToken()
        : RenderVoices::find(RenderVoices::installed(), settings.voice);
    JobRunner runner(settings, voice);
    for (;;) {
        const QByteArray request = in.readLine();
        if (request.isEmpty())
            return 0;
        const RenderJob job = RenderJob::fromJson(QJsonDocument::fromJson(request).object());
        StopSignal::setBusy(true);
        QElapsedTimer sinceReport;
        const JobOutcome outcome
            = runner.run(job, [&](int spoken, int total, const QString &chapter) {
                  if (!sinceReport.isValid() || sinceReport.elapsed() >= ProgressEveryMs) {
                      sinceReport.start();
                      out.write(line({{WorkerKey::Id, job.id}, {WorkerKey::Spoken, spoken},
                          {WorkerKey::Total, total}, {WorkerKey::Chapter, chapter}}));
                      out.flush();
                  }
                  return !StopSignal::requested();
              });
        if (outcome.kind == JobOutcome::Kind::Cancelled || StopSignal::requested())
            return ExitInterrupted;
        out.write(line({{WorkerKey::Id, job.id}, {WorkerKey::Kind, int(outcome.kind)},
            {WorkerKey::Message, outcome.message}}));
        out.flush();
        StopSignal::setBusy(false);
        if (StopSignal::requested())
            return ExitInterrupted;
    }
}
