// Reads the speech markup a caller may hand to a voice (tags silence, rate,
// volume, pitch, emph, spell, bookmark, voice; nested and empty-element forms;
// the five XML entities and character references) and turns it into a flat
// list of runs: stretches of text to say under one set of speaking settings,
// silences and bookmarks. Every piece of text keeps the offset of each of its
// UTF-16 units in the original markup, so word positions reported later point
// into the text the caller passed. Pure: no engine, no I/O.
#pragma once

#include <QList>
#include <QString>
#include <QVector>

class SapiXmlParser
{
public:
    struct Run {
        enum Kind { Text, Silence, Bookmark };
        Kind kind = Text;
        QString text; // Text: what to say (entities decoded); Bookmark: the mark
        // Text: source offset of each unit of `text`, plus one for its end.
        // Empty when the text is a verbatim stretch of the source starting at
        // `source` (plain text), so a long text needs no table.
        QVector<int> offsets;
        int silenceMs = 0; // Silence only
        int source = 0; // source offset where the run begins
        // Speaking settings in effect. Rate and pitch are -10..10 steps; when
        // not absolute they add to the voice's own setting.
        int rate = 0;
        bool rateAbsolute = false;
        int pitch = 0;
        bool pitchAbsolute = false;
        int volume = 100; // percent of the voice's volume
        bool emphasis = false;
        bool spell = false;
        // Attribute queries of the innermost <voice> in effect; both empty
        // means the voice the caller chose.
        QString voiceRequired;
        QString voiceOptional;

        bool sameSettings(const Run &other) const;
        // Source offset of unit k of `text` (k == text.size() gives the end).
        int offsetAt(int k) const { return offsets.isEmpty() ? source + k : offsets.at(k); }
    };

    // The longest one <silence> lasts: a longer one is cut to it, so a few
    // bytes of markup cannot ask for hours of nothing.
    static constexpr int MaxSilenceMs = 60000;

    // Parses `markup`, forgiving as browsers are, so that a flaw loses no
    // more than itself: what does not make a tag or an entity is text as
    // written, a stray end tag is dropped, an element left open ends with
    // the text, a number past any range is clamped and a value that is no
    // number leaves its setting as it was.
    static QList<Run> parse(const QString &markup);

    // The whole text as one run with the voice's own settings.
    static QList<Run> plain(const QString &text);

    // Whether a text handed over without an XML or not-XML flag should be
    // treated as markup: it starts, after blanks, with '<'.
    static bool looksLikeMarkup(const QString &text);
};
