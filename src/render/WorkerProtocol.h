// The keys of the lines parlo-render and its workers exchange, one JSON
// object a line: the run's settings first, then one job at a time to the
// worker, and progress and each job's outcome back. Both ends spell a key
// through this header only, so neither can read a name the other never wrote.
#pragma once

#include <QString>

namespace WorkerKey
{
// The run's settings (RenderSettings), sent once when a worker starts.
inline const QString Voice = QStringLiteral("voice");
inline const QString VoiceDirs = QStringLiteral("voiceDirs");
inline const QString Rate = QStringLiteral("rate");
inline const QString Volume = QStringLiteral("volume");
inline const QString Xml = QStringLiteral("xml");
inline const QString Wav = QStringLiteral("wav");
inline const QString Mp3 = QStringLiteral("mp3");
inline const QString Srt = QStringLiteral("srt");
inline const QString Lrc = QStringLiteral("lrc");
inline const QString M4b = QStringLiteral("m4b");
inline const QString Bitrate = QStringLiteral("bitrate");
inline const QString ChapterLevel = QStringLiteral("chapterLevel");
inline const QString Split = QStringLiteral("split");
inline const QString Force = QStringLiteral("force");
inline const QString Stdout = QStringLiteral("stdout");
inline const QString MaxDuration = QStringLiteral("maxDuration");

// A job (RenderJob). Its Id also names the job a reply is about.
inline const QString Id = QStringLiteral("id");
inline const QString Source = QStringLiteral("source");
inline const QString Path = QStringLiteral("path");
inline const QString Bytes = QStringLiteral("bytes");
inline const QString Text = QStringLiteral("text");
inline const QString Label = QStringLiteral("label");
inline const QString Base = QStringLiteral("base");

// A reply: progress (Spoken of Total, in Chapter) while the job runs, then its outcome
// (Kind and Message).
inline const QString Spoken = QStringLiteral("spoken");
inline const QString Total = QStringLiteral("total");
inline const QString Chapter = QStringLiteral("chapter");
inline const QString Kind = QStringLiteral("kind");
inline const QString Message = QStringLiteral("message");
} // namespace WorkerKey
