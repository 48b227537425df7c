// The Mandarin word list with Taiwan readings that segmentation works from:
// about 150,000 words and 90,000 single characters, each with one reading
// (pinyin syllables with tone digits), a weight saying how often it is used
// and, for single characters, what kind of character it is. The file is written at
// build time by tools/lexgen and used in place after one read, so loading is
// a matter of milliseconds. Read-only once loaded, so any thread may look up.
#pragma once

#include "speech/LexiconFormat.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <vector>

class MandarinLexicon
{
public:
    // The program's lexicon, loaded on first use from the file set with
    // setFile, else "Data/Mandarin/Parlo_Mandarin.lex" in the program folder,
    // else the one the build made. Empty (isLoaded() false, with a warning in
    // the log) when no usable file is found.
    static const MandarinLexicon &shared();
    // Only effective before the first shared() call.
    static void setFile(const QString &path);
    static QString defaultFile();

    // Replaces the contents with the lexicon in `path`. False, with a reason
    // in `error` and the lexicon left empty, when the file is missing or not
    // a well-formed lexicon.
    bool load(const QString &path, QString *error = nullptr);
    bool isLoaded() const { return m_entries != nullptr; }
    int size() const { return isLoaded() ? int(m_header->entryCount) : 0; }
    int longestWord() const { return isLoaded() ? int(m_header->maxWordUnits) : 0; }
    double totalWeight() const { return isLoaded() ? double(m_header->totalWeight) : 1.0; }

    // A word found in the text.
    struct Match {
        int length = 0; // in UTF-16 units
        int entry = -1;
    };
    // Every word that `text` begins with, shortest first; at most `max`.
    int wordsAt(QStringView text, Match *out, int max) const;
    // The entry of exactly this word, or -1.
    int find(QStringView word) const;

    // A stretch of Chinese cut into words.
    struct Cut {
        struct Word {
            int start = 0; // in UTF-16 units of the stretch
            int length = 0;
            int entry = -1; // -1: a character the lexicon lacks
        };
        std::vector<Word> words; // in reading order
        double score = 0; // log probability, less a cost for each word
    };
    // `run` (Chinese characters only) cut into the words whose product of
    // probabilities is greatest: a Viterbi search over every cut the lexicon
    // allows. A character the lexicon lacks costs as much as its rarest word.
    Cut cut(QStringView run) const;

    quint32 weight(int entry) const { return m_entries[entry].weight; }
    // log(weight / totalWeight), worked out once at load.
    float logProbability(int entry) const { return m_logProbability[size_t(entry)]; }
    // LexiconFormat::EntryFlags of the entry.
    quint8 flags(int entry) const { return m_entries[entry].flags; }
    // The flags of a single character (given as a code point), 0 when the
    // lexicon lacks it.
    quint8 characterFlags(char32_t c) const;
    // Whether the lexicon reads `c` as a word of its own.
    bool knowsCharacter(char32_t c) const;
    int syllableCount(int entry) const { return m_entries[entry].syllables; }
    // Syllable k of the entry's reading, e.g. "hang2".
    QByteArrayView syllable(int entry, int k) const;
    // The same as a string, shared rather than built anew on every call.
    const QString &syllableText(int entry, int k) const
    {
        return m_syllableText[m_readings[m_entries[entry].reading + k]];
    }

private:
    QStringView textOf(int entry) const;
    // The entry reading `c` as a word of its own, or -1.
    int characterEntry(char32_t c) const;

    QByteArray m_data;
    const LexiconFormat::Header *m_header = nullptr;
    const char *m_syllables = nullptr;
    const LexiconFormat::Entry *m_entries = nullptr;
    const char16_t *m_text = nullptr;
    const quint16 *m_readings = nullptr;
    std::vector<QString> m_syllableText;
    std::vector<float> m_logProbability;
    // The entries whose first unit is u are [m_firstUnit[u], m_firstUnit[u + 1]).
    std::vector<quint32> m_firstUnit;
};
