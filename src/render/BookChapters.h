// The chapters of a book as parlo-render marks and splits them: which of the
// document's chapters are kept, when each is heard, and the names of the
// files of a book split into one file per chapter.
#pragma once

#include "document/DocumentResult.h"
#include "export/TextRenderer.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace BookChapters
{

struct Planned {
    QString title;
    qsizetype offset = 0; // into the text the voice reads
};

// Whether `text` has nothing to read: blanks only or, as markup, tags,
// comments and blanks that ask for no silence either.
bool hasNothingToRead(const QString &text, bool xml);

// The chapters to mark in `text`: the book's chapters down to `maxLevel`, in
// order. Text with something to read before the first becomes a chapter of
// its own, titled `bookTitle`; a chapter with nothing to read but its title
// before the next one is dropped; a book with no chapters is one, titled
// `bookTitle`.
QList<Planned> plan(const Document::Book &book, const QString &text, int maxLevel,
    const QString &bookTitle, bool xml);

// The sample at which each chapter is heard: that of the first word spoken at
// or after its offset. The first chapter starts at 0; one with no word after
// it starts at the end of the audio.
QList<qint64> startSamples(const QList<Planned> &chapters,
    const QList<TextRenderer::WordTime> &words, qint64 totalSamples);

// The names (without extension) of the files of a book split into chapters:
// "01 序", "02 上山", numbered from 01 (wider when there are 100 or more). A
// title loses its '/', control characters and leading dots, and is cut to a
// length every file system takes; a title used before gets " (2)", " (3)".
QStringList fileNames(const QList<Planned> &chapters);

} // namespace BookChapters
