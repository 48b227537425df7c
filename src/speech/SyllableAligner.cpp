#include "speech/SyllableAligner.h"
#include "speech/SyllablePinyin.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

namespace SyllableAligner
{

namespace
{
using namespace Pinyin;

// ---------------------------------------------------------------------------
// Slots: one per syllable, what the alignment places.

struct Slot {
    int unit = 0;
    Onset onset = Onset::Vowel;
    bool nasalCoda = false;
    double weight = 1; // expected length against an average syllable's
    bool pauseAfter = false;
};

// Noise before the vowel and a nasal after it take time; the neutral tone is
// short.
double syllableWeight(Onset onset, bool nasalCoda, int tone)
{
    static constexpr double OnsetExtra[OnsetCount] = {0, 0.05, 0.05, 0.25, 0.15, 0.25};
    double w = 1.0 + OnsetExtra[int(onset)] + (nasalCoda ? 0.15 : 0);
    return tone == 5 ? w * 0.6 : w;
}

void appendSlots(std::vector<Slot> &slots, int index, const Unit &unit)
{
    if (unit.kind == Unit::Han) {
        const Syllable p = parse(unit.reading);
        if (!p.valid) {
            slots.push_back({index, Onset::Vowel, false, 1.0, unit.pauseAfter});
            return;
        }
        const Onset onset = onsetOfInitial(p.initial);
        const bool nasal = p.final.endsWith(u'n') || p.final.endsWith(u"ng");
        slots.push_back(
            {index, onset, nasal, syllableWeight(onset, nasal, p.tone), unit.pauseAfter});
        return;
    }
    // A Latin word: each vowel group is a syllable, begun by the consonant
    // just before it.
    const QString &word = unit.reading;
    const size_t first = slots.size();
    QChar consonant;
    for (qsizetype i = 0; i < word.size(); ++i) {
        if (!isLatinVowel(word[i], i == 0)) {
            if (word[i].isLetter())
                consonant = word[i];
            continue;
        }
        if (i > 0 && isLatinVowel(word[i - 1], i == 1))
            continue;
        const Onset onset = consonant.isNull() ? Onset::Vowel : onsetOfLetter(consonant);
        slots.push_back({index, onset, false, syllableWeight(onset, false, 0), false});
        consonant = QChar();
    }
    if (slots.size() == first)
        slots.push_back({index, Onset::Vowel, false, 1.0, false});
    slots.back().pauseAfter = unit.pauseAfter;
}

// ---------------------------------------------------------------------------
// Tuning, on the development sentences of the Mandarin evaluation set (see
// bench_aligner). Evidence is in units of 10 dB; scores have no unit.

struct Tuning {
    // Silence: this far under the loud level of the sound, or this far over
    // its noise floor, but always this far under the loud level.
    float quietBelowLevel = 35;
    float quietOverFloor = 6;
    float leastSpeechOverQuiet = 12;
    // A whole sound under this level (dB of 16-bit samples) is silence.
    float silentLevel = 30;
    // Voicing: full at this far under the low band's loud level, none at
    // voicedRange further down.
    float voicedBelowLevel = 15;
    float voicedRange = 15;
    // Nasal: voiced frames whose high band lies this much further under
    // their low band than usual, fully at nasalRange more.
    float nasalTilt = 6;
    float nasalRange = 6;

    double boundaryWeight = 2.0;
    double boundaryCap = 1.5; // strong evidence saturates towards this
    double durationWeight = 2.0; // per squared log of length / expected length
    double silenceReward = 0.6; // per quiet frame given to silence
    double quietInSyllable = 0.5; // per quiet frame inside a syllable that has a closure
    double quietInOpenSyllable = 1.0; // ... and inside one that has none
    double noNucleusCost = 4.0; // a syllable with no voiced frame
    double markedPauseCost = 0.5;
    double unmarkedPauseCost = 4.0;
    double shortestSyllable = 0.3; // of its expected length
    double longestSyllable = 3.0;

    // Weights of the evidence at a boundary.
    double change = 1.0;
    double lowDrop = 1.0;
    double lowRise = 0.5;
    double noiseStart = 1.0; // a fricative: its noise starts at the boundary
    double burstAhead = 0.5; // a closure: noise starts within burstFrames
    int burstFrames = 8;
    double obstruentVoiced = 1.0; // an obstruent that would start on voiced frames
    double nasalEnd = 1.0; // a nasal coda that ends on nasal frames
    double openEnd = 0.5; // an open syllable that ends on nasal frames

    // The closure of a stop: about this share of an average syllable.
    double closureShare = 0.12;
    // Inner silences longer than this are pauses, not closures, when
    // measuring how much of the sound is speech.
    int longestClosureFrames = 12;
    // Each syllable starts within this much of where an even pace would put
    // it: bandShare of the sound, but at least and at most so many seconds.
    double bandShare = 0.25;
    double leastBandSeconds = 4;
    double mostBandSeconds = 20;
};
constexpr Tuning tuned;

constexpr int FramesPerSecond = 100;
constexpr int ChangeBands = 12;

// ---------------------------------------------------------------------------
// Frames

struct Frame {
    float energy = 0; // dB, 70 Hz up
    float low = 0; // dB, 70 Hz - 1 kHz: voicing
    float high = 0; // dB, 2.5 - 8 kHz: noise
    float bands[ChangeBands] = {}; // dB, mel-spaced, for spectral change
};

// Power spectra of real frames, two at a time: one complex transform of
// a + ib gives both.
class PairSpectrum
{
public:
    explicit PairSpectrum(size_t n)
        : m_n(n)
        , m_re(n)
        , m_im(n)
        , m_cos(n / 2)
        , m_sin(n / 2)
        , m_reverse(n)
    {
        for (size_t k = 0; k < n / 2; ++k) {
            m_cos[k] = float(std::cos(2 * std::numbers::pi * double(k) / double(n)));
            m_sin[k] = float(-std::sin(2 * std::numbers::pi * double(k) / double(n)));
        }
        for (size_t i = 1, j = 0; i < n; ++i) {
            size_t bit = n >> 1;
            for (; j & bit; bit >>= 1)
                j ^= bit;
            j ^= bit;
            m_reverse[i] = j;
        }
    }

    // The two inputs, n samples each.
    float *first() { return m_re.data(); }
    float *second() { return m_im.data(); }

    // Bins 0..n/2 of each input's power spectrum.
    void transform(float *powerFirst, float *powerSecond)
    {
        const size_t n = m_n;
        for (size_t i = 1; i < n; ++i) {
            if (const size_t j = m_reverse[i]; i < j) {
                std::swap(m_re[i], m_re[j]);
                std::swap(m_im[i], m_im[j]);
            }
        }
        for (size_t len = 2; len <= n; len <<= 1) {
            const size_t half = len / 2, step = n / len;
            for (size_t i = 0; i < n; i += len) {
                for (size_t k = 0; k < half; ++k) {
                    const float c = m_cos[k * step], s = m_sin[k * step];
                    const size_t a = i + k, b = a + half;
                    const float vr = m_re[b] * c - m_im[b] * s;
                    const float vi = m_re[b] * s + m_im[b] * c;
                    m_re[b] = m_re[a] - vr;
                    m_im[b] = m_im[a] - vi;
                    m_re[a] += vr;
                    m_im[a] += vi;
                }
            }
        }
        for (size_t k = 0; k <= n / 2; ++k) {
            const size_t m = (n - k) % n;
            // First: (Z[k] + conj Z[n-k]) / 2; second: (Z[k] - conj Z[n-k]) / 2i.
            const float ar = (m_re[k] + m_re[m]) / 2, ai = (m_im[k] - m_im[m]) / 2;
            const float br = (m_im[k] + m_im[m]) / 2, bi = (m_re[m] - m_re[k]) / 2;
            powerFirst[k] = ar * ar + ai * ai;
            powerSecond[k] = br * br + bi * bi;
        }
    }

private:
    size_t m_n;
    std::vector<float> m_re, m_im, m_cos, m_sin;
    std::vector<size_t> m_reverse;
};

float decibels(double power)
{
    return float(10.0 * std::log10(power + 1e-3));
}

// Frame f covers samples [f * hop, (f + 1) * hop), analysed through a Hann
// window twice that long centred on it.
std::vector<Frame> analyse(std::span<const qint16> pcm, int sampleRate, int hop)
{
    const qsizetype frameCount = qsizetype(pcm.size()) / hop;
    std::vector<Frame> frames(frameCount);
    const int window = 2 * hop;
    size_t n = 1;
    while (n < size_t(window))
        n <<= 1;
    std::vector<float> hann(window);
    for (int i = 0; i < window; ++i)
        hann[i] = float(0.5 - 0.5 * std::cos(2 * std::numbers::pi * (i + 0.5) / window));

    const double binHz = double(sampleRate) / double(n);
    const double nyquist = sampleRate / 2.0;
    auto bin = [&](double hz) { return std::clamp(int(std::lround(hz / binHz)), 1, int(n / 2)); };
    const int allFrom = bin(70), lowTo = bin(1000), highFrom = bin(2500),
              highTo = bin(std::min(8000.0, nyquist));
    auto mel = [](double hz) { return 2595 * std::log10(1 + hz / 700); };
    auto hzOfMel = [](double m) { return 700 * (std::pow(10, m / 2595) - 1); };
    const double melLow = mel(100), melHigh = mel(std::min(7600.0, nyquist * 0.95));
    int bandEdge[ChangeBands + 1];
    for (int b = 0; b <= ChangeBands; ++b)
        bandEdge[b] = bin(hzOfMel(melLow + (melHigh - melLow) * b / ChangeBands));

    PairSpectrum spectrum(n);
    std::vector<float> power[2] = {std::vector<float>(n / 2 + 1), std::vector<float>(n / 2 + 1)};
    auto fill = [&](float *buffer, qsizetype f) {
        std::fill(buffer, buffer + n, 0.0f);
        const qsizetype from = f * hop - hop / 2;
        for (int i = 0; f < frameCount && i < window; ++i) {
            if (const qsizetype s = from + i; s >= 0 && s < qsizetype(pcm.size()))
                buffer[i] = hann[i] * float(pcm[s]);
        }
    };
    auto describe = [&](const std::vector<float> &p, Frame &frame) {
        auto sum = [&](int a, int b) {
            double s = 0;
            for (int i = a; i < b; ++i)
                s += p[i];
            return s / window;
        };
        frame.energy = decibels(sum(allFrom, int(n / 2)));
        frame.low = decibels(sum(allFrom, lowTo));
        frame.high = decibels(sum(highFrom, highTo));
        for (int b = 0; b < ChangeBands; ++b)
            frame.bands[b] = decibels(sum(bandEdge[b], std::max(bandEdge[b + 1], bandEdge[b] + 1)));
    };
    for (qsizetype f = 0; f < frameCount; f += 2) {
        fill(spectrum.first(), f);
        fill(spectrum.second(), f + 1);
        spectrum.transform(power[0].data(), power[1].data());
        describe(power[0], frames[f]);
        if (f + 1 < frameCount)
            describe(power[1], frames[f + 1]);
    }
    return frames;
}

float percentile(std::vector<float> values, double p)
{
    if (values.empty())
        return 0;
    const size_t i = std::min(values.size() - 1, size_t(p * double(values.size())));
    std::nth_element(values.begin(), values.begin() + qsizetype(i), values.end());
    return values[i];
}

// ---------------------------------------------------------------------------
// Evidence

struct Evidence {
    // Per frame.
    std::vector<float> quiet; // -1 (loud) .. 1 (silent)
    std::vector<float> voiced; // 0 .. 1
    std::vector<float> nasal; // 0 .. 1
    // Per edge t, between frames t - 1 and t.
    std::vector<float> change; // of the spectrum
    std::vector<float> lowDrop; // voicing that weakens
    std::vector<float> lowRise;
    std::vector<float> noiseStart; // the high band rising against the low
    std::vector<float> burstAhead; // the most noiseStart in the next frames
};

Evidence gather(std::vector<Frame> &frames, float threshold)
{
    const qsizetype T = qsizetype(frames.size());
    Evidence ev;
    ev.quiet.resize(T);
    ev.voiced.resize(T);
    ev.nasal.resize(T);
    std::vector<float> lows(T);
    for (qsizetype i = 0; i < T; ++i)
        lows[i] = frames[i].low;
    const float voicedLevel = percentile(lows, 0.9) - tuned.voicedBelowLevel;
    // Under the silence threshold the numbers are noise; holding them there
    // makes a step into digital silence no bigger than one into room noise.
    const float floorDb = threshold - 10;
    std::vector<float> tilts;
    for (qsizetype i = 0; i < T; ++i) {
        Frame &f = frames[i];
        ev.quiet[i] = std::clamp((threshold - f.energy) / 6.0f, -1.0f, 1.0f);
        ev.voiced[i] = std::clamp((f.low - voicedLevel) / tuned.voicedRange + 1, 0.0f, 1.0f);
        f.energy = std::max(f.energy, floorDb);
        f.low = std::max(f.low, floorDb);
        f.high = std::max(f.high, floorDb);
        for (float &b : f.bands)
            b = std::max(b, floorDb);
        if (ev.voiced[i] >= 1)
            tilts.push_back(f.high - f.low);
    }
    const float usualTilt = percentile(tilts, 0.5);
    for (qsizetype i = 0; i < T; ++i) {
        const float under = usualTilt - (frames[i].high - frames[i].low) - tuned.nasalTilt;
        ev.nasal[i] = ev.voiced[i] * std::clamp(under / tuned.nasalRange, 0.0f, 1.0f);
    }

    ev.change.assign(T + 1, 0);
    ev.lowDrop.assign(T + 1, 0);
    ev.lowRise.assign(T + 1, 0);
    ev.noiseStart.assign(T + 1, 0);
    ev.burstAhead.assign(T + 1, 0);
    auto at
        = [&](qsizetype i) -> const Frame & { return frames[std::clamp<qsizetype>(i, 0, T - 1)]; };
    auto tenDb = [](float db) { return std::clamp(db / 10, 0.0f, 3.0f); };
    for (qsizetype t = 1; t < T; ++t) {
        // Two frames on either side.
        const Frame &b1 = at(t - 2), &b2 = at(t - 1), &a1 = at(t), &a2 = at(t + 1);
        const float lowBefore = (b1.low + b2.low) / 2, lowAfter = (a1.low + a2.low) / 2;
        const float tiltBefore = (b1.high + b2.high) / 2 - lowBefore;
        const float tiltAfter = (a1.high + a2.high) / 2 - lowAfter;
        double squares = 0;
        for (int b = 0; b < ChangeBands; ++b) {
            const float d = (a1.bands[b] + a2.bands[b] - b1.bands[b] - b2.bands[b]) / 2;
            squares += d * d;
        }
        ev.change[t] = tenDb(float(std::sqrt(squares / ChangeBands)));
        ev.lowDrop[t] = tenDb(lowBefore - lowAfter);
        ev.lowRise[t] = tenDb(lowAfter - lowBefore);
        // Noise that starts, not the tilt of a step into silence.
        const bool loudAfter = ev.quiet[t] < 0 && ev.quiet[std::min(t + 1, T - 1)] < 0;
        ev.noiseStart[t] = loudAfter ? tenDb(tiltAfter - tiltBefore) : 0.0f;
    }
    for (qsizetype t = 0; t <= T; ++t) {
        const auto from = ev.noiseStart.begin() + std::min(t + 1, T);
        const auto to = ev.noiseStart.begin() + std::min(t + 1 + tuned.burstFrames, T + 1);
        ev.burstAhead[t] = from < to ? *std::max_element(from, to) : 0.0f;
    }
    return ev;
}

// How well each edge fits the end of a syllable, with or without a nasal
// coda, and the start of one with `onset`.
std::vector<float> boundaryScores(const Evidence &ev, bool nasalCoda, Onset onset)
{
    const qsizetype T = qsizetype(ev.quiet.size());
    std::vector<float> scores(T + 1);
    for (qsizetype t = 0; t <= T; ++t) {
        double s = tuned.change * ev.change[t] + tuned.lowDrop * ev.lowDrop[t]
            - tuned.lowRise * ev.lowRise[t];
        const float voicedAfter = t + 1 < T ? std::min(ev.voiced[t], ev.voiced[t + 1]) : 0.0f;
        if (onset == Onset::Fricative)
            s += tuned.noiseStart * ev.noiseStart[t] - tuned.obstruentVoiced * voicedAfter;
        else if (hasClosure(onset))
            s += tuned.burstAhead * ev.burstAhead[t] - tuned.obstruentVoiced * voicedAfter;
        const float nasalBefore = t >= 2 ? (ev.nasal[t - 2] + ev.nasal[t - 1]) / 2 : 0.0f;
        s += nasalCoda ? tuned.nasalEnd * nasalBefore : -tuned.openEnd * nasalBefore;
        // One sharp edge must not outweigh the lengths of several syllables.
        if (s > 0)
            s = tuned.boundaryCap * (1 - std::exp(-s / tuned.boundaryCap));
        scores[t] = float(tuned.boundaryWeight * s);
    }
    return scores;
}

QList<Span> spreadEvenly(qsizetype units, qint64 from, qint64 to)
{
    QList<Span> spans;
    const qint64 length = std::max<qint64>(to - from, 0);
    for (qsizetype u = 0; u < units; ++u)
        spans.append({from + length * u / units, from + length * (u + 1) / units});
    return spans;
}

// ---------------------------------------------------------------------------
// The alignment: slot j covers frames [start_j, end_j); between slots, before
// the first and after the last lies silence, or nothing.
//
// The score of a placement is the sum of
//   boundary evidence where one slot ends and the next starts at once;
//   -durationWeight * log(length / expected)^2 per slot, less the cost of its
//   quiet frames and of having no voiced frame;
//   silenceReward per quiet frame of silence (a cost per loud one), less the
//   cost of each inner silence, small after a pause mark.
// A dynamic programme over slots and edges finds the best one.

struct Placement {
    std::vector<qsizetype> start, end, silenceStart; // silenceStart -1: none before
};

class Aligner
{
public:
    Aligner(const std::vector<Slot> &slots, const Evidence &ev, qsizetype first, qsizetype last,
        qsizetype speech)
        : m_slots(slots)
        , m_ev(ev)
        , m_T(qsizetype(ev.quiet.size()))
        , m_M(qsizetype(slots.size()))
    {
        double weights = 0;
        for (const Slot &s : slots)
            weights += s.weight;
        m_expected.resize(m_M);
        m_shortest.resize(m_M);
        m_longest.resize(m_M);
        m_startFrom.resize(m_M);
        m_startTo.resize(m_M);
        qsizetype shortestTotal = 0;
        double before = 0;
        const double span = double(last + 1 - first);
        const qsizetype band = qsizetype(std::clamp(tuned.bandShare * double(m_T),
            tuned.leastBandSeconds * FramesPerSecond, tuned.mostBandSeconds * FramesPerSecond));
        for (qsizetype j = 0; j < m_M; ++j) {
            m_expected[j] = std::max(1.0, double(speech) * slots[j].weight / weights);
            m_shortest[j] = std::max(1, int(tuned.shortestSyllable * m_expected[j]));
            m_longest[j] = std::max(
                m_shortest[j] + 1, int(std::ceil(tuned.longestSyllable * m_expected[j])) + 2);
            shortestTotal += m_shortest[j];
            const qsizetype even = first + qsizetype(span * before / weights);
            m_startFrom[j] = std::max<qsizetype>(0, even - band);
            m_startTo[j] = std::min(m_T - 1, even + band);
            before += slots[j].weight;
        }
        if (shortestTotal > m_T)
            std::fill(m_shortest.begin(), m_shortest.end(), 1);
        m_silence.assign(m_T + 1, 0);
        m_quietCost.assign(m_T + 1, 0);
        for (qsizetype i = 0; i < m_T; ++i) {
            m_silence[i + 1] = m_silence[i] + tuned.silenceReward * ev.quiet[i];
            m_quietCost[i + 1]
                = m_quietCost[i] + tuned.quietInSyllable * std::max(0.0f, ev.quiet[i]);
        }
    }

    // False when no placement fits (the band or the lengths exclude all).
    bool run(Placement &out)
    {
        constexpr double None = -std::numeric_limits<double>::infinity();
        const qsizetype W = m_T + 1;
        // Boundary scores by the coda before and the onset after, as needed.
        std::vector<float> boundaries[2][OnsetCount];
        // start[t]: the best score with slot j starting at edge t; end[t]: with
        // slot j ending there. Back pointers per slot, over its own edges.
        std::vector<double> start(W, None), end(W, None);
        for (qsizetype t = m_startFrom[0]; t <= m_startTo[0]; ++t)
            start[t] = m_silence[t];
        std::vector<std::vector<int>> lengthOf(m_M), silenceFrom(m_M);
        std::vector<double> prior;
        double best = None;
        qsizetype bestEnd = -1;
        for (qsizetype j = 0; j < m_M; ++j) {
            const qsizetype endFrom = m_startFrom[j] + m_shortest[j];
            const qsizetype endTo = std::min(m_T, m_startTo[j] + m_longest[j]);
            prior.assign(size_t(m_longest[j]) + 1, 0);
            for (int d = m_shortest[j]; d <= m_longest[j]; ++d) {
                const double r = std::log(d / m_expected[j]);
                prior[d] = tuned.durationWeight * r * r;
            }
            const double quietWeight = hasClosure(m_slots[j].onset)
                ? 1.0
                : tuned.quietInOpenSyllable / tuned.quietInSyllable;
            std::fill(end.begin(), end.end(), None);
            lengthOf[j].assign(size_t(std::max<qsizetype>(0, endTo - endFrom + 1)), 0);
            for (qsizetype t = endFrom; t <= endTo; ++t) {
                double bestHere = None;
                int bestLength = 0;
                float nucleus = 0;
                for (int d = 1; d < m_shortest[j]; ++d)
                    nucleus = std::max(nucleus, m_ev.voiced[t - d]);
                const int longest = int(std::min<qsizetype>(m_longest[j], t - m_startFrom[j]));
                for (int d = m_shortest[j]; d <= longest; ++d) {
                    nucleus = std::max(nucleus, m_ev.voiced[t - d]);
                    const double s = start[t - d];
                    if (s == None)
                        continue;
                    const double v = s - prior[d]
                        - quietWeight * (m_quietCost[t] - m_quietCost[t - d])
                        - tuned.noNucleusCost * (1 - nucleus);
                    if (v > bestHere) {
                        bestHere = v;
                        bestLength = d;
                    }
                }
                end[t] = bestHere;
                lengthOf[j][t - endFrom] = bestLength;
            }
            if (j + 1 == m_M) {
                for (qsizetype t = endFrom; t <= endTo; ++t) {
                    const double v = end[t] + m_silence[m_T] - m_silence[t];
                    if (end[t] != None && v > best) {
                        best = v;
                        bestEnd = t;
                    }
                }
                break;
            }
            // Slot j + 1 starts where slot j ends, or after a silence.
            const bool nasal = m_slots[j].nasalCoda;
            const Onset onset = m_slots[j + 1].onset;
            std::vector<float> &score = boundaries[nasal ? 1 : 0][int(onset)];
            if (score.empty())
                score = boundaryScores(m_ev, nasal, onset);
            const double pauseCost
                = m_slots[j].pauseAfter ? tuned.markedPauseCost : tuned.unmarkedPauseCost;
            const qsizetype nextFrom = m_startFrom[j + 1], nextTo = m_startTo[j + 1];
            silenceFrom[j + 1].assign(size_t(nextTo - nextFrom + 1), -1);
            std::fill(start.begin(), start.end(), None);
            double silence = None;
            int silenceBegan = -1;
            for (qsizetype t = endFrom; t <= std::max(endTo, nextTo); ++t) {
                if (t > endFrom) {
                    if (const double open = end[t - 1] - pauseCost; open > silence) {
                        silence = open;
                        silenceBegan = int(t - 1);
                    }
                    if (silence != None)
                        silence += tuned.silenceReward * m_ev.quiet[t - 1];
                }
                if (t < nextFrom || t > nextTo)
                    continue;
                const double joined = end[t] == None ? None : end[t] + score[t];
                start[t] = std::max(joined, silence);
                if (silence > joined)
                    silenceFrom[j + 1][t - nextFrom] = silenceBegan;
            }
        }
        if (bestEnd < 0)
            return false;

        out.start.assign(m_M, 0);
        out.end.assign(m_M, 0);
        out.silenceStart.assign(m_M, -1);
        qsizetype t = bestEnd;
        for (qsizetype j = m_M - 1; j >= 0; --j) {
            out.end[j] = t;
            t -= lengthOf[j][t - (m_startFrom[j] + m_shortest[j])];
            out.start[j] = t;
            if (j > 0) {
                if (const int from = silenceFrom[j][t - m_startFrom[j]]; from >= 0) {
                    out.silenceStart[j] = from;
                    t = from;
                }
            } else if (t > 0) {
                out.silenceStart[j] = 0;
            }
        }
        return true;
    }

private:
    const std::vector<Slot> &m_slots;
    const Evidence &m_ev;
    qsizetype m_T, m_M;
    std::vector<double> m_expected;
    std::vector<int> m_shortest, m_longest;
    std::vector<qsizetype> m_startFrom, m_startTo;
    std::vector<double> m_silence, m_quietCost; // prefix sums
};

} // namespace

// ---------------------------------------------------------------------------

int syllableCount(const Unit &unit)
{
    std::vector<Slot> slots;
    appendSlots(slots, 0, unit);
    return int(slots.size());
}

QList<Unit> unitsOf(const QList<MandarinReading::Token> &tokens)
{
    QList<Unit> units;
    for (const MandarinReading::Token &t : tokens) {
        switch (t.kind) {
        case MandarinReading::Token::Pause:
            if (!units.isEmpty())
                units.back().pauseAfter = true;
            break;
        case MandarinReading::Token::Syllable:
            units.append({t.from, t.to - t.from, Unit::Han, t.spoken, false});
            break;
        case MandarinReading::Token::Character:
            units.append({t.from, t.to - t.from, Unit::Han, QString(), false});
            break;
        case MandarinReading::Token::Latin:
            units.append({t.from, t.to - t.from, Unit::Latin, t.text, false});
            break;
        }
    }
    return units;
}

QList<Span> align(std::span<const qint16> pcm, int sampleRate, const QList<Unit> &units)
{
    if (units.isEmpty())
        return {};
    const qint64 total = qint64(pcm.size());
    const int hop = sampleRate / FramesPerSecond;
    if (hop < 8 || total < 3 * hop)
        return spreadEvenly(units.size(), 0, total);

    std::vector<Frame> frames = analyse(pcm, sampleRate, hop);
    const qsizetype T = qsizetype(frames.size());
    std::vector<float> energies(T);
    for (qsizetype i = 0; i < T; ++i)
        energies[i] = frames[i].energy;
    const float level = percentile(energies, 0.9);
    if (level < tuned.silentLevel)
        return spreadEvenly(units.size(), 0, total);
    const float noiseFloor = percentile(energies, 0.05);
    const float threshold = std::min(level - tuned.leastSpeechOverQuiet,
        std::max(level - tuned.quietBelowLevel, noiseFloor + tuned.quietOverFloor));
    const Evidence ev = gather(frames, threshold);

    // The stretch that holds speech, and how much of it is not pause.
    qsizetype first = 0, last = T - 1;
    while (first < T && ev.quiet[first] > 0)
        ++first;
    while (last > first && ev.quiet[last] > 0)
        --last;
    if (first >= T)
        return spreadEvenly(units.size(), 0, total);
    qsizetype speech = last - first + 1;
    for (qsizetype i = first, run = 0; i <= last; ++i) {
        run = ev.quiet[i] > 0 ? run + 1 : 0;
        if (run == tuned.longestClosureFrames)
            speech -= tuned.longestClosureFrames;
        else if (run > tuned.longestClosureFrames)
            --speech;
    }

    std::vector<Slot> slots;
    for (qsizetype u = 0; u < units.size(); ++u)
        appendSlots(slots, int(u), units[u]);
    const qsizetype M = qsizetype(slots.size());
    const qint64 speechFrom = qint64(first) * hop, speechTo = qint64(last + 1) * hop;
    auto spreadOverSpeech = [&] {
        return speechTo - speechFrom >= units.size()
            ? spreadEvenly(units.size(), speechFrom, speechTo)
            : spreadEvenly(units.size(), 0, total);
    };
    if (M > speech)
        return spreadOverSpeech();
    Aligner aligner(slots, ev, first, last, speech);
    Placement placement;
    if (!aligner.run(placement))
        return spreadOverSpeech();

    const qint64 closure = qint64(tuned.closureShare * double(speech) / double(M) * hop);
    QList<Span> spans(units.size());
    for (qsizetype j = 0; j < M; ++j) {
        Span &span = spans[slots[j].unit];
        qint64 s = std::min<qint64>(qint64(placement.start[j]) * hop, total - 1);
        // A stop after silence is heard from its burst but began with its
        // closure, which the silence hides; a short silence is all closure.
        if (const qint64 silent = qint64(placement.silenceStart[j]) * hop;
            silent >= 0 && hasClosure(slots[j].onset))
            s = s - silent <= 2 * closure ? silent : s - closure;
        const qint64 e = std::min<qint64>(qint64(placement.end[j]) * hop, total);
        if (j == 0 || slots[j - 1].unit != slots[j].unit)
            span.start = s;
        span.end = std::max(e, span.start + 1);
    }
    return spans;
}

} // namespace SyllableAligner
