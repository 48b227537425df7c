// The Mandarin reading step: how long the lexicon and the script conversion
// take to load and how much memory they hold, what the step adds per 1,000
// characters and how long a million characters take, how soon a Mandarin
// reading is heard, how the word and number lists score with espeak-ng
// reading the raw characters (before) and with the step (after), and how
// the step reads the evaluation sentences: the development half, on which
// readings may be corrected, and the held-out half, which only this program
// reads. The probe lists (sentences built around characters read by
// context) are development data too.
//   bench_mandarin [--dev-misses] [--probe-misses] [--speed] [folder of the lists]
// --dev-misses prints the development half's wrong readings (never the
// held-out half's), --probe-misses the probe lists'; --speed stops after the
// speed and memory figures.
#include "MandarinEval.h"
#include "audio/AudioSink.h"
#include "speech/ChineseScript.h"
#include "speech/EspeakPiece.h"
#include "speech/MandarinReading.h"
#include "speech/SpVoice.h"
#include "speech/SpeechEngine.h"
#include "speech/VoiceCatalogue.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QStringList>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>
#include <vector>

namespace
{

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? -1 : v[v.size() / 2];
}

SpObjectToken suiteVoice(const char *name)
{
    for (const SpObjectToken &t : SpeechEngine::instance().voices()) {
        if (t.GetDescription() == QLatin1String(name))
            return t;
    }
    return {};
}

// `paragraph` repeated to `size` characters.
QString repeated(const QString &paragraph, int size)
{
    QString text;
    while (text.size() < size)
        text += paragraph;
    text.truncate(size);
    return text;
}

QString sampleText(int size)
{
    return repeated(
        QStringLiteral("行政院今天宣布，2026年度預算為新台幣3兆1,200億元，比去年增加3.5%。"
                       "會議在下午3:30開始，共有12位部長出席，第2章討論了銀行與重要行業的"
                       "還款計畫。他覺得這個方案還是不夠好，於是用Linux系統重新計算了一遍，"
                       "結果發現約有1/3的人住在距離車站5公里以內的地方，聯絡電話是(02)"
                       "2345-6789。"),
        size);
}

QString simplifiedSample(int size)
{
    return repeated(
        QStringLiteral("国务院今天发布通知，2026年第一季度经济增长5.2%，比去年同期提高0.3个"
                       "百分点。会议认为，当前发展面临的困难还很多，要继续扩大内需，稳定就业，"
                       "让老百姓的钱袋子更鼓。记者在北京的一家面馆里看到，来吃面条的人排起了"
                       "长队。"),
        size);
}

// Milliseconds per 1,000 characters to turn `text` into what espeak-ng gets,
// piece by piece as the engine does.
double mappingCost(const QString &text, const SpObjectToken &voice, bool reading)
{
    const SapiXmlParser::Run run = SapiXmlParser::plain(text).first();
    std::vector<double> runs;
    for (int r = 0; r < 7; ++r) {
        QElapsedTimer clock;
        clock.start();
        size_t units = 0;
        for (int from = 0; from < text.size(); from += 160) {
            const int to = std::min<int>(int(text.size()), from + 160);
            if (reading)
                units += EspeakPiece::segments(run, from, to, voice).size();
            else
                units += EspeakPiece::mapText(run, from, to).wide.size();
        }
        runs.push_back(clock.nsecsElapsed() / 1e6 * 1000.0 / double(text.size()));
        if (units == 0)
            return -1;
    }
    return median(runs);
}

struct Onset {
    QElapsedTimer clock;
    qint64 firstNs = -1;
};

class OnsetSink : public ImmediateSink
{
public:
    explicit OnsetSink(std::shared_ptr<Onset> onset)
        : m_onset(std::move(onset))
    {
    }
    void write(const int16_t *pcm, qint64 count) override
    {
        if (m_onset->firstNs < 0 && count > 0)
            m_onset->firstNs = m_onset->clock.nsecsElapsed();
        ImmediateSink::write(pcm, count);
    }

private:
    std::shared_ptr<Onset> m_onset;
};

// Median time from Speak to the first sound handed to the sink.
double onsetMs(const SpObjectToken &token, const QString &text)
{
    auto onset = std::make_shared<Onset>();
    AudioSink::setFactory([onset] { return std::make_unique<OnsetSink>(onset); });
    std::vector<double> runs;
    for (int r = 0; r < 11; ++r) {
        SpVoice voice;
        voice.setVoice(token);
        onset->firstNs = -1;
        onset->clock.start();
        voice.Speak(text, SVSFlagsAsync | SVSFIsNotXML);
        while (!voice.WaitUntilDone(5)) { }
        runs.push_back(onset->firstNs / 1e6);
    }
    AudioSink::setFactory({});
    return median(runs);
}

QList<QStringList> rows(const QString &path)
{
    QFile file(path);
    QList<QStringList> out;
    if (!file.open(QIODevice::ReadOnly))
        return out;
    for (const QString &line : QString::fromUtf8(file.readAll()).split(u'\n')) {
        if (!line.trimmed().isEmpty() && !line.startsWith(u'#'))
            out.append(line.split(u'\t'));
    }
    return out;
}

// The expected syllables as spoken: where the step read a syllable right,
// with the tone it takes in context, so that both sides carry 一 and 不 alike.
QString expectedSpoken(const QString &text, const QString &expected)
{
    QStringList want = expected.split(u' ');
    QStringList read;
    QStringList spoken;
    for (const MandarinReading::Token &t : MandarinReading::read(MappedText::of(text))) {
        if (t.kind != MandarinReading::Token::Pause) {
            read << t.text;
            spoken << t.spoken;
        }
    }
    for (qsizetype k = 0; k < want.size() && k < read.size(); ++k) {
        if (read[k] == want[k])
            want[k] = spoken[k];
    }
    return want.join(u' ');
}

void score(const char *name, const QList<QStringList> &list, const SpObjectToken &voice)
{
    SpeechEngine &engine = SpeechEngine::instance();
    int before = 0;
    int after = 0;
    int afterReading = 0;
    for (const QStringList &row : list) {
        const QByteArray raw = engine.phonemeTranscript(row[0], voice, true);
        if (raw == engine.phonemeTranscript(row[1], voice, true))
            ++before;
        const QByteArray ours = engine.phonemeTranscript(row[0], voice);
        if (ours == engine.phonemeTranscript(expectedSpoken(row[0], row[1]), voice, true))
            ++after;
        if (MandarinReadingOf(row[0]) == row[1])
            ++afterReading;
    }
    const double n = double(list.size());
    std::printf("%s: %lld entries; espeak-ng phonemes as the list's: before %d (%.1f %%), after "
                "%d (%.1f %%); syllables as the list's after: %d (%.1f %%)\n",
        name, qlonglong(list.size()), before, 100 * before / n, after, 100 * after / n,
        afterReading, 100 * afterReading / n);
}

// Resident memory of this process, in MB.
double residentMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return -1;
}

double cpuSeconds()
{
    timespec t {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

// Processor seconds to read `text` a piece at a time, as the engine hands it
// over (processor time, so that other work on the machine does not count).
double readingSeconds(const QString &text)
{
    const double start = cpuSeconds();
    qsizetype tokens = 0;
    for (int from = 0; from < text.size(); from += 160) {
        const MappedText piece = MappedText::of(text.mid(from, 160), from);
        tokens += MandarinReading::read(piece).size();
    }
    return tokens > 0 ? cpuSeconds() - start : -1;
}

void evaluate(const QString &folder, bool showDevMisses)
{
    using namespace MandarinEval;
    const QList<Row> halves[2] = {readRows(folder + QStringLiteral("/eval/dev.tsv")),
        readRows(folder + QStringLiteral("/eval/heldout.tsv"))};
    const char *names[2] = {"development half", "held-out half"};
    for (int h = 0; h < 2; ++h) {
        if (halves[h].isEmpty()) {
            std::printf("%s: no sentences in %s/eval\n", names[h], qPrintable(folder));
            continue;
        }
        Score all;
        Score byScript[2];
        QMap<QString, Score> byGenre;
        QStringList misses;
        for (const Row &row : halves[h]) {
            QString miss;
            const Score s = scoreRow(row, h == 0 && showDevMisses ? &miss : nullptr);
            all.add(s);
            byScript[row.simplified ? 1 : 0].add(s);
            byGenre[row.genre].add(s);
            if (!miss.isEmpty())
                misses << miss;
        }
        std::printf("%s: %s\n", names[h], qPrintable(describe(all)));
        std::printf("  Traditional: %s\n  Simplified:  %s\n", qPrintable(describe(byScript[0])),
            qPrintable(describe(byScript[1])));
        for (auto g = byGenre.constBegin(); g != byGenre.constEnd(); ++g)
            std::printf("  %-12s %s\n", qPrintable(g.key()), qPrintable(describe(g.value())));
        for (const QString &miss : misses)
            std::printf("    miss: %s\n", qPrintable(miss));
    }
    std::printf("targets on the held-out half: sentences >= 95 %%, polyphones >= 98 %%, "
                "Simplified within 2 points of Traditional\n");

    // The conversion is chosen on the development half's Simplified sentences.
    const ChineseScript::Conversion chosen = ChineseScript::conversion();
    const std::pair<ChineseScript::Conversion, const char *> conversions[]
        = {{ChineseScript::Conversion::None, "none"}, {ChineseScript::Conversion::S2T, "s2t"},
            {ChineseScript::Conversion::S2TW, "s2tw"}, {ChineseScript::Conversion::S2TWP, "s2twp"}};
    for (const auto &[conversion, name] : conversions) {
        ChineseScript::setConversion(conversion);
        Score s;
        for (const Row &row : halves[0]) {
            if (row.simplified)
                s.add(scoreRow(row));
        }
        std::printf("Simplified sentences of the development half through %-5s: %s\n", name,
            qPrintable(describe(s)));
    }
    ChineseScript::setConversion(chosen);
}

void probe(const QString &folder, bool showMisses)
{
    using namespace MandarinEval;
    const QDir dir(folder + QStringLiteral("/probe"));
    Score all;
    for (const QString &name : dir.entryList({QStringLiteral("*.tsv")}, QDir::Files, QDir::Name)) {
        Score part;
        QStringList misses;
        for (const Row &row : readRows(dir.filePath(name))) {
            QString miss;
            part.add(scoreRow(row, showMisses ? &miss : nullptr));
            if (!miss.isEmpty())
                misses << miss;
        }
        all.add(part);
        std::printf("  probe %-12s %s\n", qPrintable(name), qPrintable(describe(part)));
        for (const QString &miss : misses)
            std::printf("    miss: %s\n", qPrintable(miss));
    }
    if (all.sentences)
        std::printf("probe lists: %s\n", qPrintable(describe(all)));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const bool devMisses = args.removeAll(QStringLiteral("--dev-misses")) > 0;
    const bool probeMisses = args.removeAll(QStringLiteral("--probe-misses")) > 0;
    const bool speedOnly = args.removeAll(QStringLiteral("--speed")) > 0;
    const double rssBefore = residentMb();
    QElapsedTimer firstLoad;
    firstLoad.start();
    MandarinReading::read(MappedText::of(QStringLiteral("开始读。開始讀。")));
    const double firstLoadMs = firstLoad.nsecsElapsed() / 1e6;
    const double rssLoaded = residentMb();
    SpeechEngine &engine = SpeechEngine::instance();
    if (!engine.isAvailable()) {
        std::printf("espeak-ng is not available\n");
        return 1;
    }

    std::vector<double> loads;
    for (int r = 0; r < 5; ++r) {
        MandarinLexicon lexicon;
        QElapsedTimer clock;
        clock.start();
        if (!lexicon.load(MandarinLexicon::defaultFile())) {
            std::printf("no lexicon at %s\n", qPrintable(MandarinLexicon::defaultFile()));
            return 1;
        }
        loads.push_back(clock.nsecsElapsed() / 1e6);
    }
    std::printf("lexicon: %d words, load %.1f ms (median of 5)\n", MandarinLexicon::shared().size(),
        median(loads));
    std::printf(
        "first reading, lexicon and OpenCC loaded: %.1f ms (target <= 100), resident memory "
        "+%.1f MB (target <= 50 more than before; OpenCC %s)\n",
        firstLoadMs, rssLoaded - rssBefore, ChineseScript::isAvailable() ? "loaded" : "missing");
    const QString million = sampleText(1000000);
    const QString millionSimplified = simplifiedSample(1000000);
    std::vector<double> traditional;
    std::vector<double> simplified;
    for (int r = 0; r < 3; ++r) {
        traditional.push_back(readingSeconds(million));
        simplified.push_back(readingSeconds(millionSimplified));
    }
    std::printf("reading 1,000,000 characters (processor time, median of 3): Traditional %.2f s, "
                "Simplified %.2f s (target <= 2), resident memory now +%.1f MB\n",
        median(traditional), median(simplified), residentMb() - rssBefore);
    if (speedOnly)
        return 0;

    const SpObjectToken mandarin = suiteVoice("Mavi Oskar");
    const SpObjectToken cantonese = suiteVoice("Mavi Tessa");
    const QString text = sampleText(20000);
    const double raw = mappingCost(text, mandarin, false);
    const double read = mappingCost(text, mandarin, true);
    std::printf("reading step: %.2f ms per 1,000 characters (raw characters %.2f ms), adds %.2f ms "
                "(target <= 5)\n",
        read, raw, read - raw);

    const QString first = sampleText(120);
    std::printf("first sound: Mandarin with the reading step %.0f ms, Cantonese as written %.0f ms "
                "(median of 11; target < 150)\n",
        onsetMs(mandarin, first), onsetMs(cantonese, first));

    const QString folder
        = args.isEmpty() ? QStringLiteral(PARLO_SOURCE_DIR "/bench/data/mandarin") : args.first();
    score("word list", rows(folder + QStringLiteral("/mandarin_words.tsv")), mandarin);
    score(
        "unseen word list", rows(folder + QStringLiteral("/mandarin_words_unseen.tsv")), mandarin);
    score("number list", rows(folder + QStringLiteral("/mandarin_numbers.tsv")), mandarin);
    evaluate(folder, devMisses);
    probe(folder, probeMisses);
    return 0;
}
