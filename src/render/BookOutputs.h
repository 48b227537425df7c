// The audiobook outputs of a rendered book, made from its WAV once the voice
// has finished: the .m4b with a chapter mark where each chapter is heard, and
// the WAV and MP3 files of a book split into one file per chapter. The WAV is
// read in pieces, so a book of many hours costs no more memory than a short
// one.
#pragma once

#include "export/Subtitles.h"
#include "render/BookChapters.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <functional>

namespace BookOutputs
{

struct Book {
    QString title; // the document's, else its file's name
    QString author;
    QByteArray cover;
    QString coverMimeType;
    QList<BookChapters::Planned> chapters;
    QList<qint64> starts; // the sample at which each chapter is heard
};

// Called between pieces with the share of the WAV done (0 to 1); false stops
// the work (the caller removes what was written).
using Going = std::function<bool(double done)>;

// Encodes the WAV at `wav` into `target` (AAC in MP4 at `bitrateKbps`), titled
// and tagged with the book, a mark per chapter. False with `error` on failure
// or when `going` said stop (then `error` stays empty).
bool writeM4b(const QString &wav, const QString &target, const Book &book, int bitrateKbps,
    const Going &going, QString *error);

// Where a chapter's audio goes; an empty path is not asked for.
struct PartTargets {
    QString wav;
    QString mp3;
};

// Writes each chapter's samples, [its start, the next one's), to its targets:
// a 16-bit mono WAV, and an MP3 as --mp3 makes them, tagged with the chapter's
// title, the book's title as album, its author, the track number and the
// cover. `targets` has one entry per chapter.
bool writeParts(const QString &wav, const Book &book, const QList<PartTargets> &targets,
    const Going &going, QString *error);

// The cues heard in [fromMs, toMs), timed from fromMs; a cue that runs past
// toMs ends there.
QList<Subtitles::Cue> cuesBetween(const QList<Subtitles::Cue> &cues, qint64 fromMs, qint64 toMs);

} // namespace BookOutputs
