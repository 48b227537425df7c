// What parlo-render tells its user while it works: one message per input
// that failed or was kept, and on a terminal a progress line with the files
// done, the characters spoken per second, the time left and the chapter being
// read. The time left
// counts the characters still to speak; inputs not read yet count as the
// average of those read so far.
#pragma once

#include "render/RenderJobs.h"

#include <QElapsedTimer>
#include <QString>
#include <cstdio>
#include <vector>

class RenderReport
{
public:
    struct Counts {
        int rendered = 0;
        int kept = 0;
        int failed = 0;
    };

    // `showProgress`: draw the progress line (a terminal, not --quiet).
    // `quiet`: say nothing of kept outputs, only of failures. Messages go to
    // `stream` (standard error).
    RenderReport(int files, bool showProgress, bool quiet, FILE *stream = stderr);

    // A problem that concerns no single job (a missing input, a clash).
    void error(const QString &message);
    // `chapter`: the title of the chapter being read, shown on the line.
    void progress(int job, int spoken, int total, const QString &chapter = QString());
    void finished(const RenderJob &job, const JobOutcome &outcome);
    // Clears the progress line and, when it was shown, prints a summary.
    void close();

    const Counts &counts() const { return m_counts; }

    // The progress line for `elapsedMs` into the run.
    QString progressLine(qint64 elapsedMs) const;

private:
    struct JobState {
        QString chapter;
        int spoken = 0;
        int total = 0; // 0 until the text is read
        bool done = false;
    };
    void print(const QString &line);
    void draw(bool force);

    std::vector<JobState> m_jobs;
    Counts m_counts;
    int m_files = 0;
    bool m_showProgress = false;
    bool m_quiet = false;
    bool m_drawn = false;
    FILE *m_stream;
    QElapsedTimer m_clock;
    qint64 m_lastDraw = -1;
    int m_lastJob = -1; // the job that told its progress last
};
