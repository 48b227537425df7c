#include "render/RenderReport.h"

#include <algorithm>

namespace
{
constexpr int BarWidth = 24;
constexpr qint64 RedrawMs = 100;
// Characters of a chapter title on the progress line (a Chinese one takes two columns).
constexpr qsizetype MaxChapterShown = 16;

QString minutesSeconds(qint64 seconds)
{
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}
} // namespace

RenderReport::RenderReport(int files, bool showProgress, bool quiet, FILE *stream)
    : m_jobs(size_t(std::max(files, 0)))
    , m_files(files)
    , m_showProgress(showProgress)
    , m_quiet(quiet)
    , m_stream(stream)
{
    m_clock.start();
}

void RenderReport::print(const QString &line)
{
    if (m_drawn)
        std::fputs("\r\033[K", m_stream);
    std::fputs(line.toLocal8Bit().constData(), m_stream);
    std::fputc('\n', m_stream);
    m_drawn = false;
    draw(true);
}

void RenderReport::error(const QString &message)
{
    ++m_counts.failed;
    print(QStringLiteral("parlo-render: ") + message);
}

void RenderReport::progress(int job, int spoken, int total, const QString &chapter)
{
    if (job < 0 || size_t(job) >= m_jobs.size())
        return;
    m_jobs[size_t(job)].spoken = spoken;
    m_jobs[size_t(job)].total = total;
    m_jobs[size_t(job)].chapter = chapter;
    m_lastJob = job;
    draw(false);
}

void RenderReport::finished(const RenderJob &job, const JobOutcome &outcome)
{
    if (job.id >= 0 && size_t(job.id) < m_jobs.size()) {
        JobState &state = m_jobs[size_t(job.id)];
        state.done = true;
        state.spoken = state.total;
    }
    switch (outcome.kind) {
    case JobOutcome::Kind::Rendered:
        ++m_counts.rendered;
        if (!m_quiet && !outcome.message.isEmpty())
            print(QStringLiteral("parlo-render: %1: %2").arg(job.label, outcome.message));
        draw(false);
        break;
    case JobOutcome::Kind::Kept:
        ++m_counts.kept;
        if (!m_quiet)
            print(QStringLiteral("parlo-render: %1: %2").arg(job.label, outcome.message));
        break;
    case JobOutcome::Kind::Failed:
        ++m_counts.failed;
        print(QStringLiteral("parlo-render: %1: %2").arg(job.label, outcome.message));
        break;
    case JobOutcome::Kind::Cancelled:
        break;
    }
}

QString RenderReport::progressLine(qint64 elapsedMs) const
{
    qint64 spoken = 0;
    qint64 known = 0;
    int read = 0;
    int unread = 0;
    int done = 0;
    for (const JobState &job : m_jobs) {
        spoken += job.spoken;
        done += job.done ? 1 : 0;
        if (job.total > 0) {
            known += job.total;
            ++read;
        } else if (!job.done) {
            ++unread;
        }
    }
    const qint64 expected = known + (read > 0 ? known / read * unread : 0);
    const double fraction = expected > 0 ? double(spoken) / double(expected) : 0.0;
    const int filled = std::clamp(int(fraction * BarWidth + 0.5), 0, BarWidth);
    const QString bar = QStringLiteral("[%1%2]").arg(
        QString(filled, QLatin1Char('#')), QString(BarWidth - filled, QLatin1Char('-')));
    const double seconds = elapsedMs / 1000.0;
    const qint64 perSecond = seconds > 0.2 ? qint64(spoken / seconds) : 0;
    const QString left = perSecond > 0 && read > 0
        ? minutesSeconds((expected - spoken + perSecond - 1) / perSecond)
        : QStringLiteral("-:--");
    QString line
        = inUserLanguage("%1 %2/%3 files  %4 chars/s  %5 left", "%1 %2/%3 檔  每秒 %4 字  剩餘 %5")
              .arg(bar)
              .arg(done)
              .arg(m_files)
              .arg(perSecond)
              .arg(left);
    // The chapter being read, cut so the line stays on one terminal row.
    if (m_lastJob >= 0 && !m_jobs[size_t(m_lastJob)].done) {
        QString chapter = m_jobs[size_t(m_lastJob)].chapter;
        if (chapter.size() > MaxChapterShown)
            chapter = chapter.left(MaxChapterShown - 1) + u'…';
        if (!chapter.isEmpty())
            line += QStringLiteral("  ") + chapter;
    }
    return line;
}

void RenderReport::draw(bool force)
{
    if (!m_showProgress)
        return;
    const qint64 now = m_clock.elapsed();
    if (!force && m_lastDraw >= 0 && now - m_lastDraw < RedrawMs)
        return;
    m_lastDraw = now;
    std::fputs(
        (QStringLiteral("\r\033[K") + progressLine(now)).toLocal8Bit().constData(), m_stream);
    std::fflush(m_stream);
    m_drawn = true;
}

void RenderReport::close()
{
    if (!m_showProgress)
        return;
    draw(true);
    std::fputs("\r\033[K", m_stream);
    m_drawn = false;
    const QString summary = bilingual(
        "%1 rendered, %2 kept, %3 failed in %4", "完成 %1 個，保留 %2 個，失敗 %3 個，共 %4")
                                .arg(m_counts.rendered)
                                .arg(m_counts.kept)
                                .arg(m_counts.failed)
                                .arg(minutesSeconds((m_clock.elapsed() + 500) / 1000));
    std::fputs((summary + u'\n').toLocal8Bit().constData(), m_stream);
    std::fflush(m_stream);
}
