// The user's own pronunciations: each entry says how a written form is to be
// spoken ("WHO" → "World Health Organization", "行長" → "航長"). The list is a
// UTF-8 text file beside the settings, one entry a line, the written form and
// the spoken form separated by a tab; blank lines and lines starting with '#'
// are skipped. The companion editor writes it; the voice layer applies it to
// every piece of text before synthesis, so word events still point at the
// written text, and a changed file is taken up by the next piece spoken.
//
// Matching goes left to right, longest written form first. Latin letters and
// digits match regardless of case and only as whole words (no "he" inside
// "the"); ideographs match anywhere, as Chinese has no spaces.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QVector>
#include <memory>
#include <unordered_map>

struct MappedText;

class PronunciationList
{
public:
    struct Entry {
        QString written;
        QString spoken;
        bool operator==(const Entry &) const = default;
    };

    PronunciationList() = default;
    explicit PronunciationList(const QList<Entry> &entries);

    // Entries of the file's text; a later line for the same written form
    // replaces an earlier one. Lines without a tab or with an empty written
    // form are left out.
    static QList<Entry> parse(const QByteArray &data);
    static QByteArray serialize(const QList<Entry> &entries);

    // Reads `path`; a missing or unreadable file gives no entries and false.
    static bool load(const QString &path, QList<Entry> *entries);
    // Replaces `path` whole (never half-written); false when it cannot.
    static bool save(const QString &path, const QList<Entry> &entries);

    // "Parlo_UserDefine.txt" in the settings folder.
    static QString defaultFile();

    bool isEmpty() const { return m_byWritten.isEmpty(); }

    // Rewrites `text` with the spoken forms. `map` holds the source offset of
    // each UTF-16 unit of `text` plus one for its end, and is rewritten in
    // step: the units of a spoken form point into the written form they
    // replace, spread over it, so a word spoken in its place is reported over
    // the written one.
    void apply(QString &text, QVector<int> &map) const;

    // apply() with the list in defaultFile(), read again whenever the file
    // has changed since it was last read. Safe from any thread.
    static void applyCurrent(QString &text, QVector<int> &map);

    // The same for text on its way to a Mandarin voice: each spoken form is
    // one replacement standing for the whole written form.
    void apply(MappedText &text) const;
    static void applyCurrent(MappedText &text);

private:
    static std::shared_ptr<const PronunciationList> current();

    int matchAt(const QString &text, int at) const; // index into m_entries, or -1

    QList<Entry> m_entries;
    // Index into m_entries by case-folded written form, and the lengths of
    // the written forms by their case-folded first unit, longest first.
    QHash<QString, int> m_byWritten;
    std::unordered_map<char16_t, QList<int>> m_lengthsByFirst;
};
