// The Mandarin reading step: how long the lexicon takes to load, what the
// step adds per 1,000 characters, how soon a Mandarin reading is heard, and
// how the word and number lists score with espeak-ng reading the raw
// characters (before) and with the step (after), both compared on espeak-ng's
// own phonemes against the lists' pinyin.
//   bench_mandarin [folder of the lists]
#include "audio/AudioSink.h"
#include "speech/EspeakPiece.h"
#include "speech/MandarinReading.h"
#include "speech/SpVoice.h"
#include "speech/SpeechEngine.h"
#include "speech/VoiceCatalogue.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <algorithm>
#include <cstdio>
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

QString sampleText(int size)
{
    const QString paragraph = QStringLiteral(
        "行政院今天宣布，2026年度預算為新台幣3兆1,200億元，比去年增加3.5%。"
        "會議在下午3:30開始，共有12位部長出席，第2章討論了銀行與重要行業的還款計畫。"
        "他覺得這個方案還是不夠好，於是用Linux系統重新計算了一遍，"
        "結果發現約有1/3的人住在距離車站5公里以內的地方，聯絡電話是(02)2345-6789。");
    QString text;
    while (text.size() < size)
        text += paragraph;
    text.truncate(size);
    return text;
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

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
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
    std::printf("lexicon: %d words, load %.1f ms (median of 5; target < 50)\n",
        MandarinLexicon::shared().size(), median(loads));

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

    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1])
                                    : QStringLiteral(PARLO_SOURCE_DIR "/bench/data/mandarin");
    score("word list", rows(folder + QStringLiteral("/mandarin_words.tsv")), mandarin);
    score(
        "unseen word list", rows(folder + QStringLiteral("/mandarin_words_unseen.tsv")), mandarin);
    score("number list", rows(folder + QStringLiteral("/mandarin_numbers.tsv")), mandarin);
    return 0;
}
