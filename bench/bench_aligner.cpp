// How closely SyllableAligner finds where each syllable starts, against the
// times espeak-ng itself reports. Traditional Chinese sentences of the
// development half of the Mandarin evaluation set are spoken by the Mandarin
// voice through TextRenderer, ten to a rendering; each sentence's stretch is
// cut from the WAV by its Word events (one per character) with the silence
// around it, and the aligner gets that sound and the sentence's syllables as
// MandarinReading reads them. Every syllable's start is compared with its
// Word event.
//
// Prints, at rates -5, 0 and +5, the mean and 95th percentile of the absolute
// error against targets of 40 ms and 100 ms, and the aligner's processor
// time per second of audio. Then the same at rate 0 for sound less clean than
// espeak-ng's, as other voices give: white noise 30 dB under the speech, and
// the sound resampled to 22.05 kHz.
//
//   bench_aligner [--all] [--keep DIR] [--verbose] [--rate N]
//     --all      every Traditional sentence of the half, not every fourth
//     --keep DIR keep the renderings in DIR and use them again
//     --verbose  each sentence's errors, syllable by syllable, in ms
//     --rate N   only this rate, clean

#include "MandarinEval.h"
#include "audio/AudioSink.h"
#include "export/TextRenderer.h"
#include "export/WavReader.h"
#include "speech/MandarinReading.h"
#include "speech/SyllableAligner.h"
#include "speech/VoiceCatalogue.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <optional>
#include <random>
#include <vector>

namespace
{

constexpr int SentencesPerRendering = 10;
constexpr int EveryNth = 4;
constexpr double TargetMeanMs = 40;
constexpr double TargetP95Ms = 100;
// Samples this small are silence when cutting sentences apart.
constexpr int QuietAmplitude = 64;

struct Rendering {
    std::vector<qint16> pcm;
    QList<TextRenderer::WordTime> words;
};

double cpuSeconds()
{
    timespec ts {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

bool readWav(const QString &path, std::vector<qint16> &pcm)
{
    WavReader reader;
    if (!reader.open(path) || reader.channels() != 1)
        return false;
    pcm.resize(size_t(reader.frames()));
    return reader.read(pcm.data(), reader.frames()) == reader.frames();
}

// Renders `text` at `rate`, or reads what an earlier run kept under `stem`.
bool render(
    const SpObjectToken &voice, int rate, const QString &text, const QString &stem, Rendering &out)
{
    const QString wav = stem + QStringLiteral(".wav");
    const QString times = stem + QStringLiteral(".words");
    QFile kept(times);
    if (QFile::exists(wav) && kept.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : kept.readAll().split('\n')) {
            const QList<QByteArray> f = line.split(' ');
            if (f.size() == 3)
                out.words.append({f[0].toInt(), f[1].toInt(), f[2].toLongLong()});
        }
        return readWav(wav, out.pcm);
    }
    TextRenderer renderer({voice, rate, 100, false});
    const TextRenderer::Result result = renderer.render(text, wav);
    if (!result.ok) {
        std::printf("bench_aligner: %s\n", qPrintable(result.error));
        return false;
    }
    out.words = result.words;
    if (kept.open(QIODevice::WriteOnly)) {
        for (const TextRenderer::WordTime &w : std::as_const(out.words))
            kept.write(QByteArray::number(w.position) + ' ' + QByteArray::number(w.length) + ' '
                + QByteArray::number(w.sample) + '\n');
    }
    return readWav(wav, out.pcm);
}

// The middle of the last quiet stretch of [from, to) that lasts at least
// three frames, or -1. Between a sentence's last Word event and the next
// sentence's first one, that is the pause between them: the last syllable
// may begin with a closure, but nothing after its start is that quiet.
qint64 pauseMiddle(const std::vector<qint16> &pcm, qint64 from, qint64 to)
{
    constexpr int Step = 160;
    constexpr int LeastSteps = 3;
    qint64 runEnd = -1, runLength = 0, found = -1;
    for (qint64 i = from; i + Step <= to; i += Step) {
        const bool quiet = std::all_of(pcm.begin() + i, pcm.begin() + i + Step,
            [](qint16 x) { return std::abs(int(x)) < QuietAmplitude; });
        if (quiet) {
            runLength += Step;
            runEnd = i + Step;
            if (runLength >= LeastSteps * Step)
                found = runEnd - runLength / 2;
        } else {
            runLength = 0;
        }
    }
    return found;
}

struct Figures {
    std::vector<double> errorsMs;
    double cpu = 0;
    double audioSeconds = 0;
    int unmatched = 0; // syllables the voice gave no event of their own

    double mean() const
    {
        double s = 0;
        for (double e : errorsMs)
            s += e;
        return errorsMs.empty() ? 0 : s / double(errorsMs.size());
    }
    double p95() const
    {
        if (errorsMs.empty())
            return 0;
        std::vector<double> sorted = errorsMs;
        std::sort(sorted.begin(), sorted.end());
        return sorted[std::min(sorted.size() - 1, size_t(0.95 * double(sorted.size())))];
    }
    double cpuMsPerSecond() const { return audioSeconds > 0 ? 1000 * cpu / audioSeconds : 0; }
};

// How the sound reaches the aligner.
struct Condition {
    const char *name;
    int rate = 0;
    double noiseUnderSpeechDb = 0; // 0: none
    int sampleRate = TextRenderer::SampleRate;
    Figures figures;
};

struct Options {
    bool all = false;
    bool verbose = false;
    QString keep;
    std::optional<int> onlyRate;
};

// White noise `underDb` below the RMS of the sound's louder frames.
void addNoise(std::vector<qint16> &pcm, double underDb)
{
    constexpr int Frame = 160;
    double sum = 0;
    qint64 loud = 0;
    for (size_t i = 0; i + Frame <= pcm.size(); i += Frame) {
        double e = 0;
        for (size_t j = i; j < i + Frame; ++j)
            e += double(pcm[j]) * pcm[j];
        if (e / Frame > double(QuietAmplitude) * QuietAmplitude) {
            sum += e;
            loud += Frame;
        }
    }
    const double rms = loud ? std::sqrt(sum / double(loud)) : 0;
    std::mt19937 generator(20240611);
    std::normal_distribution<double> noise(0, rms * std::pow(10, -underDb / 20));
    for (qint16 &x : pcm)
        x = qint16(std::clamp(std::lround(x + noise(generator)), -32768L, 32767L));
}

// Linear interpolation: enough to move the aligner's frames off the rate
// the sound was made at.
std::vector<qint16> resample(const std::vector<qint16> &pcm, int from, int to)
{
    std::vector<qint16> out;
    for (qint64 i = 0;; ++i) {
        const double at = double(i) * from / to;
        const size_t a = size_t(at);
        if (a + 1 >= pcm.size())
            break;
        const double f = at - double(a);
        out.push_back(qint16(std::lround(pcm[a] * (1 - f) + pcm[a + 1] * f)));
    }
    return out;
}

// Aligns each sentence of one rendering under `condition` and adds the
// errors against the Word events to its figures.
void alignGroup(
    const QStringList &sentences, const Rendering &r, Condition &condition, const Options &options)
{
    const int rate = TextRenderer::SampleRate;
    Figures &figures = condition.figures;
    // Where each sentence starts in the joined text, and its Word events.
    QList<int> offsets;
    int offset = 0;
    for (const QString &s : sentences) {
        offsets.append(offset);
        offset += int(s.size());
    }
    QList<QList<TextRenderer::WordTime>> words(sentences.size());
    for (const TextRenderer::WordTime &w : r.words) {
        const auto it = std::upper_bound(offsets.begin(), offsets.end(), w.position);
        words[std::distance(offsets.begin(), it) - 1].append(w);
    }
    // Cuts in the pauses between sentences, so each keeps the silence around it.
    const qint64 total = qint64(r.pcm.size());
    QList<qint64> cuts;
    for (qsizetype k = 0; k < sentences.size(); ++k) {
        if (k == 0 || words[k].isEmpty() || words[k - 1].isEmpty()) {
            cuts.append(k == 0 || words[k].isEmpty() ? 0 : words[k].first().sample);
            continue;
        }
        const qint64 previous = words[k - 1].last().sample;
        const qint64 next = words[k].first().sample;
        const qint64 quiet = pauseMiddle(r.pcm, previous, next);
        cuts.append(quiet >= 0 ? quiet : next - (next - previous) * 3 / 10);
    }
    for (qsizetype k = 0; k < sentences.size(); ++k) {
        if (words[k].isEmpty())
            continue;
        const qint64 from = cuts[k];
        const qint64 to = k + 1 < cuts.size() && cuts[k + 1] > from ? cuts[k + 1] : total;
        std::vector<qint16> sound(r.pcm.begin() + from, r.pcm.begin() + to);
        if (condition.noiseUnderSpeechDb > 0)
            addNoise(sound, condition.noiseUnderSpeechDb);
        if (condition.sampleRate != rate)
            sound = resample(sound, rate, condition.sampleRate);
        const QList<SyllableAligner::Unit> units
            = SyllableAligner::unitsOf(MandarinReading::read(MappedText::of(sentences[k])));

        const double before = cpuSeconds();
        const QList<SyllableAligner::Span> spans
            = SyllableAligner::align(sound, condition.sampleRate, units);
        figures.cpu += cpuSeconds() - before;
        figures.audioSeconds += double(to - from) / rate;

        QString line;
        double sum = 0;
        int counted = 0;
        int previousPosition = -1;
        for (qsizetype u = 0; u < units.size(); ++u) {
            if (units[u].position == previousPosition)
                continue; // a spelled-out stretch has one event, for its first syllable
            previousPosition = units[u].position;
            const int position = offsets[k] + units[u].position;
            const auto event = std::find_if(words[k].begin(), words[k].end(),
                [&](const TextRenderer::WordTime &w) { return w.position == position; });
            if (event == words[k].end()) {
                ++figures.unmatched;
                continue;
            }
            const double errorMs = (double(spans[u].start) * rate / condition.sampleRate
                                       - double(event->sample - from))
                * 1000.0 / rate;
            figures.errorsMs.push_back(std::abs(errorMs));
            sum += std::abs(errorMs);
            ++counted;
            if (options.verbose)
                line += QStringLiteral(" %1%2%3")
                            .arg(sentences[k].mid(units[u].position, units[u].length))
                            .arg(errorMs, 0, 'f', 0)
                            .arg(units[u].pauseAfter ? QStringLiteral("|") : QString());
        }
        if (options.verbose)
            std::printf("%6.1f ms %5.2f s%s\n", counted ? sum / counted : 0.0,
                double(to - from) / rate, qPrintable(line));
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    Options options;
    const QStringList args = app.arguments();
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (args[i] == u"--all") {
            options.all = true;
        } else if (args[i] == u"--verbose") {
            options.verbose = true;
        } else if (args[i] == u"--keep" && i + 1 < args.size()) {
            options.keep = args[++i];
        } else if (args[i] == u"--rate" && i + 1 < args.size()) {
            options.onlyRate = args[++i].toInt();
        } else {
            std::printf("usage: bench_aligner [--all] [--keep DIR] [--verbose] [--rate N]\n");
            return 2;
        }
    }
    AudioSink::setFactory([] { return std::make_unique<ImmediateSink>(); });
    SpObjectToken voice;
    for (const SpObjectToken &t : VoiceCatalogue::suiteVoices()) {
        if (voice.isNull() && MandarinReading::isMandarinVoice(t.engineSettings().espeakVoice))
            voice = t;
    }
    QStringList sentences;
    int traditional = 0;
    for (const MandarinEval::Row &row : MandarinEval::readRows(
             QStringLiteral(PARLO_SOURCE_DIR "/bench/data/mandarin/eval/dev.tsv"))) {
        if (!row.simplified && (options.all || traditional++ % EveryNth == 0))
            sentences.append(row.text);
    }
    if (sentences.isEmpty()) {
        std::printf("bench_aligner: no sentences found\n");
        return 1;
    }
    QTemporaryDir temporary;
    const QString folder = options.keep.isEmpty() ? temporary.path() : options.keep;
    QDir().mkpath(folder);

    std::vector<Condition> targets, harder;
    for (int rate : {-5, 0, 5}) {
        if (!options.onlyRate || *options.onlyRate == rate)
            targets.push_back({"", rate, 0, TextRenderer::SampleRate, {}});
    }
    if (!options.onlyRate) {
        harder.push_back(
            {"white noise 30 dB under the speech", 0, 30, TextRenderer::SampleRate, {}});
        harder.push_back({"resampled to 22.05 kHz", 0, 0, 22050, {}});
    }
    std::printf("%lld Traditional sentences of dev.tsv, espeak-ng voice %s, %d Hz\n",
        qlonglong(sentences.size()), qPrintable(voice.GetDescription()), TextRenderer::SampleRate);
    std::printf("rate  syllables   mean ms      p95 ms        cpu per second of audio\n");
    for (Condition &c : targets) {
        for (qsizetype g = 0; g < sentences.size(); g += SentencesPerRendering) {
            const QStringList group = sentences.mid(g, SentencesPerRendering);
            Rendering r;
            const QString stem = QStringLiteral("%1/%2-r%3-g%4")
                                     .arg(folder)
                                     .arg(options.all ? 1 : EveryNth)
                                     .arg(c.rate)
                                     .arg(g);
            if (!render(voice, c.rate, group.join(QString()), stem, r))
                return 1;
            alignGroup(group, r, c, options);
            for (Condition &h : harder) {
                if (h.rate == c.rate)
                    alignGroup(group, r, h, Options {});
            }
        }
        const Figures &f = c.figures;
        std::printf("%+4d  %9zu   %5.1f %-6s  %5.1f %-6s  %.3f ms (%.3f %%)\n", c.rate,
            f.errorsMs.size(), f.mean(), f.mean() <= TargetMeanMs ? "ok" : "MISSED", f.p95(),
            f.p95() <= TargetP95Ms ? "ok" : "MISSED", f.cpuMsPerSecond(), f.cpuMsPerSecond() / 10);
        if (f.unmatched)
            std::printf("      (%d syllables had no Word event of their own)\n", f.unmatched);
    }
    std::printf("targets: mean <= %.0f ms, p95 <= %.0f ms\n", TargetMeanMs, TargetP95Ms);
    for (const Condition &h : harder) {
        const Figures &f = h.figures;
        std::printf("rate %+d, %-36s mean %5.1f ms, p95 %5.1f ms, cpu %.3f ms per second\n", h.rate,
            h.name, f.mean(), f.p95(), f.cpuMsPerSecond());
    }
    return 0;
}
