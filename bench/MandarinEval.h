// Scores the Mandarin reading step on an evaluation list of whole sentences:
// each row is a sentence, its Taiwan reading written by hand (one pinyin
// syllable per character, numbers spelled out), its genre and its script
// (T or S). The reading is compared syllable by syllable after aligning the
// two sequences, so one wrong cut costs only the syllables it changes.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace MandarinEval
{

struct Row {
    QString text;
    QStringList expected;
    QString genre;
    bool simplified = false;
};

struct Score {
    int sentences = 0;
    int sentencesRight = 0;
    int syllables = 0;
    int syllablesRight = 0;
    int polyphones = 0; // syllables read for a character with several readings
    int polyphonesRight = 0;

    void add(const Score &other);
    static double percent(int right, int total) { return total ? 100.0 * right / total : 0; }
};

QList<Row> readRows(const QString &path);

// The score of one row; `miss` gets a line naming the wrong syllables when
// the sentence is not read entirely right.
Score scoreRow(const Row &row, QString *miss = nullptr);

// "sentences 95.1 % (117/123), characters …, polyphones …"
QString describe(const Score &score);

} // namespace MandarinEval
