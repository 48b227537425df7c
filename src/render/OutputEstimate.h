// How long a text will sound and how many bytes its outputs will take, worked
// out before it is spoken, so that a run that cannot fit on the output's file
// system, or that passes the user's --max-duration, is refused at once
// instead of after hours of speaking. The figures lean low: a text is only
// refused when it surely does not fit.
#pragma once

#include <QString>
#include <QtGlobal>

struct RenderSettings;

namespace OutputEstimate
{

struct Estimate {
    double seconds = 0;
    qint64 bytes = 0; // every output of the job, and the WAV made on the way
};

// The estimate for `text` as the job's settings speak it (rate, markup with
// its silences and rate changes, which outputs are made).
Estimate of(const QString &text, const RenderSettings &settings);

// Why the job is refused, or an empty string: the estimate passes
// `maxSeconds` (0: no limit) or needs more than `freeBytes` (negative:
// unknown). `where` names the output in the message.
QString refusal(
    const Estimate &estimate, double maxSeconds, qint64 freeBytes, const QString &where);

// Bytes free on the file system that holds `path`, or of its nearest folder
// that exists; -1 when that cannot be told.
qint64 freeBytesFor(const QString &path);

// "1 h 05 min", "3 min 20 s", "12 s".
QString duration(double seconds);

} // namespace OutputEstimate
