// Runs the jobs of one parlo-render call. The speech engine serves one
// reading at a time per process, and espeak-ng carries a little of its sound
// state from one text to the next, so a file would not come out the same
// after another one in the same process. Each job therefore runs in a fresh
// process of its own: the program starts copies of itself in worker mode, at
// most `workers` at once, each given one job. Which order the jobs run in
// and how many run at once then changes no byte of any output. A single job
// runs in this process, which is just as fresh.
//
// Ctrl+C, SIGTERM and SIGHUP stop the run: the jobs under way remove their
// temporary files, the workers are told to stop, and nothing half-made gets
// a final name.
#pragma once

#include "render/JobRunner.h"
#include "render/RenderReport.h"

#include <QList>

namespace StopSignal
{
// Catches the stop signals. A worker that is not rendering (`busy` false)
// ends at once with status 130; otherwise the signal only asks to stop.
void install(bool worker);
bool requested();
void setBusy(bool busy);
} // namespace StopSignal

// Renders `jobs`, at most `workers` at once. Returns true
// when it ran to the end, false when a stop signal cut it short.
bool runJobs(const RenderSettings &settings, const SpObjectToken &voice,
    const QList<RenderJob> &jobs, int workers, RenderReport &report);

// The worker side: reads the settings and then the jobs, one JSON line each,
// from standard input until it ends; answers on standard output (progress
// and outcome lines). Returns the exit status.
int runWorker();
