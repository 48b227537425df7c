#include "export/Subtitles.h"

#include "export/WavReader.h"
#include "speech/SapiXmlParser.h"
#include "speech/TextSplitter.h"

#include <algorithm>
#include <cstdlib>

namespace Subtitles
{

namespace
{

// A frame counts as sound above this share of the loudest frame (-34 dB),
// and never below an absolute floor, so dither and breath stay silence.
constexpr int ThresholdDivisor = 50;
constexpr int ThresholdFloor = 64;

// The spoken text with the source offset of each of its units (plus the end).
struct Spoken {
    QString text;
    std::vector<int> source;
};

Spoken spokenText(const QString &text, bool xml)
{
    Spoken out;
    const QList<SapiXmlParser::Run> runs
        = xml ? SapiXmlParser::parse(text) : SapiXmlParser::plain(text);
    for (const SapiXmlParser::Run &run : runs) {
        if (run.kind != SapiXmlParser::Run::Text)
            continue;
        for (int k = 0; k < run.text.size(); ++k) {
            out.text += run.text.at(k);
            out.source.push_back(run.offsetAt(k));
        }
    }
    out.source.push_back(text.size());
    return out;
}

// One line of subtitle text: line ends and runs of blanks become one space.
QString oneLine(const QString &text)
{
    QString out;
    out.reserve(text.size());
    bool blank = false;
    for (const QChar c : text) {
        if (c.isSpace()) {
            blank = true;
            continue;
        }
        if (blank && !out.isEmpty())
            out += QLatin1Char(' ');
        blank = false;
        out += c;
    }
    return out;
}

qint64 toMs(qint64 sample, int rate)
{
    return rate > 0 ? (sample * 1000 + rate / 2) / rate : 0;
}

QString twoDigits(qint64 n)
{
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

} // namespace

Loudness Loudness::fromWav(const QString &path)
{
    Loudness out;
    WavReader reader;
    if (!reader.open(path) || reader.channels() != 1)
        return out;
    out.m_frameSamples = std::max(1, reader.sampleRate() * FrameMs / 1000);
    std::vector<int16_t> block(64 * 1024);
    qint64 n = 0;
    while ((n = reader.read(block.data(), qint64(block.size()))) > 0)
        out.add(block.data(), n);
    out.setThreshold();
    return out;
}

Loudness Loudness::fromSamples(const int16_t *samples, qint64 count, int rate)
{
    Loudness out;
    out.m_frameSamples = std::max(1, rate * FrameMs / 1000);
    out.add(samples, count);
    out.setThreshold();
    return out;
}

void Loudness::setThreshold()
{
    const int loudest = m_peaks.empty() ? 0 : *std::max_element(m_peaks.begin(), m_peaks.end());
    m_threshold = std::max(loudest / ThresholdDivisor, ThresholdFloor);
}

void Loudness::add(const int16_t *samples, qint64 count)
{
    for (qint64 i = 0; i < count; ++i) {
        if (m_pending == 0)
            m_peaks.push_back(0);
        const int magnitude = std::abs(int(samples[i]));
        m_peaks.back() = std::max(m_peaks.back(), magnitude);
        m_pending = (m_pending + 1) % m_frameSamples;
    }
}

qint64 Loudness::soundStartMs(qint64 fromMs, qint64 toMs) const
{
    const qint64 last = std::min<qint64>((toMs + FrameMs - 1) / FrameMs, qint64(m_peaks.size()));
    for (qint64 f = std::max<qint64>(fromMs / FrameMs, 0); f < last; ++f) {
        if (m_peaks[size_t(f)] > m_threshold)
            return std::max(f * FrameMs, fromMs);
    }
    return -1;
}

qint64 Loudness::soundEndMs(qint64 fromMs, qint64 toMs) const
{
    const qint64 first = std::max<qint64>(fromMs / FrameMs, 0);
    // Only frames wholly before `toMs`: the one holding it is the next onset.
    const qint64 last = std::min<qint64>(toMs / FrameMs, qint64(m_peaks.size()));
    for (qint64 f = last - 1; f >= first; --f) {
        if (m_peaks[size_t(f)] > m_threshold)
            return std::min((f + 1) * FrameMs, toMs);
    }
    return -1;
}

QList<Cue> cues(const QString &text, bool xml, const QList<TextRenderer::WordTime> &words,
    qint64 samples, int rate, const Loudness &sound)
{
    const Spoken spoken = spokenText(text, xml);
    // Sentence bounds in the spoken text.
    std::vector<int> bounds {0};
    for (int from = 0; from < spoken.text.size();) {
        from = TextSplitter::pieceEnd(spoken.text, from, MaxCueLength);
        bounds.push_back(from);
    }

    QList<Cue> out;
    int sentence = -1;
    QList<int> starts; // spoken-text offset of each piece of the cue being built
    auto finish = [&](int end) {
        Cue &cue = out.last();
        for (int j = 0; j < cue.pieces.size(); ++j) {
            const int to = j + 1 < starts.size() ? starts[j + 1] : end;
            cue.pieces[j].text = spoken.text.mid(starts[j], to - starts[j]);
            cue.text += cue.pieces[j].text;
        }
        cue.text = oneLine(cue.text);
        starts.clear();
    };
    for (const TextRenderer::WordTime &word : words) {
        const auto at = std::lower_bound(spoken.source.begin(), spoken.source.end(), word.position);
        const int index = int(at - spoken.source.begin());
        if (index >= spoken.text.size())
            continue;
        const int s
            = int(std::upper_bound(bounds.begin(), bounds.end(), index) - bounds.begin()) - 1;
        if (s != sentence) {
            if (!out.isEmpty())
                finish(bounds[size_t(sentence) + 1]);
            sentence = s;
            out.append(Cue {toMs(word.sample, rate), 0, QString(), {}});
            starts.append(bounds[size_t(s)]);
        } else {
            starts.append(index);
        }
        out.last().pieces.append(Piece {toMs(word.sample, rate), QString()});
    }
    if (!out.isEmpty())
        finish(bounds[size_t(sentence) + 1]);

    const qint64 totalMs = toMs(samples, rate);
    if (!sound.isEmpty()) {
        for (int i = 0; i < out.size(); ++i) {
            QList<Piece> &pieces = out[i].pieces;
            for (int j = 0; j < pieces.size(); ++j) {
                const qint64 next = j + 1 < pieces.size() ? pieces[j + 1].startMs
                    : i + 1 < out.size()                  ? out[i + 1].startMs
                                                          : totalMs;
                const qint64 heard = sound.soundStartMs(
                    pieces[j].startMs, std::min(next, pieces[j].startMs + MaxOnsetShiftMs));
                if (heard > pieces[j].startMs)
                    pieces[j].startMs = heard;
            }
            out[i].startMs = pieces.first().startMs;
        }
    }
    for (int i = 0; i < out.size(); ++i) {
        Cue &cue = out[i];
        const qint64 limit = i + 1 < out.size() ? out[i + 1].startMs : totalMs;
        cue.endMs = std::max(limit, cue.startMs);
        if (!sound.isEmpty()) {
            const qint64 end = sound.soundEndMs(cue.startMs, cue.endMs);
            if (end > cue.startMs)
                cue.endMs = end;
        }
    }
    return out;
}

QString srtTime(qint64 ms)
{
    return QStringLiteral("%1:%2:%3,%4")
        .arg(twoDigits(ms / 3600000), twoDigits(ms / 60000 % 60), twoDigits(ms / 1000 % 60))
        .arg(ms % 1000, 3, 10, QLatin1Char('0'));
}

QString lrcTime(qint64 ms)
{
    const qint64 cs = (ms + 5) / 10;
    return QStringLiteral("%1:%2.%3")
        .arg(twoDigits(cs / 6000), twoDigits(cs / 100 % 60), twoDigits(cs % 100));
}

QByteArray toSrt(const QList<Cue> &cues)
{
    QString out;
    for (int i = 0; i < cues.size(); ++i) {
        out += QStringLiteral("%1\r\n%2 --> %3\r\n%4\r\n\r\n")
                   .arg(QString::number(i + 1), srtTime(cues[i].startMs), srtTime(cues[i].endMs),
                       cues[i].text);
    }
    return out.toUtf8();
}

QByteArray toLrc(const QList<Cue> &cues, const QString &title, qint64 lengthMs)
{
    const qint64 seconds = (lengthMs + 500) / 1000;
    QString out = QStringLiteral("[ti:%1]\r\n[length:%2:%3]\r\n")
                      .arg(oneLine(title), twoDigits(seconds / 60), twoDigits(seconds % 60));
    for (const Cue &cue : cues) {
        QString line = QStringLiteral("[%1]").arg(lrcTime(cue.startMs));
        for (const Piece &piece : cue.pieces) {
            const QString words = oneLine(piece.text);
            if (words.isEmpty())
                continue;
            line += QStringLiteral("<%1>%2").arg(lrcTime(piece.startMs), words);
            if (piece.text.back().isSpace())
                line += u' ';
        }
        out += line.trimmed() + QStringLiteral("\r\n");
    }
    if (!cues.isEmpty())
        out += QStringLiteral("[%1]\r\n").arg(lrcTime(cues.last().endMs));
    return out.toUtf8();
}

} // namespace Subtitles
