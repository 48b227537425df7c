// Subtitles for a rendered text: one cue per sentence, timed by the words the
// voice reported while speaking it, written as SubRip (.srt) or as LRC with a
// time on every word (per character for Chinese, since the voice reports each
// ideograph as a word).
//
// A cue starts where its first word is heard. The voice reports a word where
// its sound begins, which for a word opening with a stop (b, d, g...) is the
// silent closure before the burst; with the audio given, each word's time
// moves on to the first sound after it. A cue ends where the sentence falls
// silent, at the latest where the next cue starts; cues never overlap. Sentences are cut where the
// voice cuts them: after a sentence mark, at a line end, or at a length cap.
// Markup is not shown: with xml the cue texts are the spoken text.
#pragma once

#include "export/TextRenderer.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <vector>

namespace Subtitles
{

struct Piece {
    qint64 startMs = 0;
    QString text; // the word with what follows it up to the next word
};

struct Cue {
    qint64 startMs = 0;
    qint64 endMs = 0;
    QString text; // on one line, blanks collapsed
    QList<Piece> pieces; // the cue's text word by word
};

// Where a recording has sound, in frames of FrameMs, so cue ends can be set
// where the voice falls silent.
class Loudness
{
public:
    static constexpr int FrameMs = 5;

    // Reads a 16-bit PCM WAV; empty (no frames) when it cannot be read.
    static Loudness fromWav(const QString &path);
    // From samples at `rate`, for callers that have them in memory.
    static Loudness fromSamples(const int16_t *samples, qint64 count, int rate);

    bool isEmpty() const { return m_peaks.empty(); }
    // Start of the first frame with sound in [fromMs, toMs), but not before
    // fromMs; -1 when that stretch is silent.
    qint64 soundStartMs(qint64 fromMs, qint64 toMs) const;
    // Start of the frame after the last one with sound in [fromMs, toMs);
    // -1 when that stretch is silent.
    qint64 soundEndMs(qint64 fromMs, qint64 toMs) const;

private:
    void add(const int16_t *samples, qint64 count);
    void setThreshold();

    std::vector<int> m_peaks; // the largest magnitude of each frame
    int m_frameSamples = 80;
    int m_pending = 0; // samples already in the last, unfinished frame
    int m_threshold = 0; // a frame above it has sound
};

// Longest cue, in UTF-16 units of spoken text, before it is cut at a blank.
constexpr int MaxCueLength = 200;
// How far a word's time may move on to where its sound is heard.
constexpr int MaxOnsetShiftMs = 200;

// The cues of `text` as it was rendered: `words` as TextRenderer reported
// them, `samples` the length of the audio at `rate`. `sound` may be empty.
QList<Cue> cues(const QString &text, bool xml, const QList<TextRenderer::WordTime> &words,
    qint64 samples, int rate, const Loudness &sound = {});

// SubRip, UTF-8, CR LF line ends, numbered from 1.
QByteArray toSrt(const QList<Cue> &cues);
// LRC with a [ti:] tag for `title` and the length, one line per cue with
// <mm:ss.xx> before every word, and an empty line where the last cue ends.
QByteArray toLrc(const QList<Cue> &cues, const QString &title, qint64 lengthMs);

// "hh:mm:ss,mmm" and "mm:ss.xx" (hundredths rounded; minutes may pass 99).
QString srtTime(qint64 ms);
QString lrcTime(qint64 ms);

} // namespace Subtitles
