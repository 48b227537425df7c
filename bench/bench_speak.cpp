// Speaking a maximum-length text: how soon the first sound is handed to the
// sink, and how much memory the first minute of speech takes. Also the
// length of one sentence at the extreme rates, and (with a folder argument)
// one WAV file per suite voice for measuring their pitch.
#include "audio/AudioSink.h"
#include "audio/RealAudio.h"
#include "speech/SpFileStream.h"
#include "speech/SpVoice.h"
#include "speech/SpeechEngine.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace
{

struct Counter {
    QElapsedTimer clock;
    qint64 firstWriteNs = -1;
    qint64 samples = 0;
};

class CountingSink : public ImmediateSink
{
public:
    explicit CountingSink(std::shared_ptr<Counter> counter)
        : m_counter(std::move(counter))
    {
    }
    void write(const int16_t *pcm, qint64 count) override
    {
        if (m_counter->firstWriteNs < 0 && count > 0)
            m_counter->firstWriteNs = m_counter->clock.nsecsElapsed();
        m_counter->samples += count;
        ImmediateSink::write(pcm, count);
    }

private:
    std::shared_ptr<Counter> m_counter;
};

long statusKb(const char *field)
{
    QFile file(QStringLiteral("/proc/self/status"));
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> lines = file.readAll().split('\n');
    for (const QByteArray &line : lines) {
        if (line.startsWith(field))
            return line.mid(int(strlen(field))).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

QString bigText()
{
    const QString chinese = QStringLiteral("今天天氣很好，我們一起到公園散步，看看湖邊的花。");
    const QString english = QStringLiteral("The quick brown fox jumps over the lazy dog. ");
    QString text;
    text.reserve(1048500);
    for (int i = 0; text.size() < 1048500; ++i)
        text += (i % 3 == 2) ? english : chinese;
    text.truncate(1048500);
    return text;
}

double median(std::vector<double> values)
{
    if (values.empty())
        return -1;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// On a private sound server with a null sink: from Speak to the first sound
// in the recording of its monitor, and from each Word event to the onset of
// its syllable. Targets: onset under 150 ms, skew within 40 ms. The recording's
// time line is known to a few milliseconds, so an onset may print as -2 ms.
void realSound()
{
    using namespace RealAudio;
    AudioSink::setFactory({});
    PrivateServer server;
    MonitorRecorder recorder;
    if (!server.start() || !recorder.start()) {
        std::printf("real sound: no private sound server (%s)\n", qPrintable(server.why()));
        return;
    }
    const QString text = QStringLiteral("一。二。三。四。");
    std::vector<double> onsets, skews;
    double first = -1;
    for (int run = 0; run < 11; ++run) {
        auto voice = std::make_unique<SpVoice>(); // run 0: created, then Speak at once
        std::vector<qint64> wordAt;
        QObject::connect(voice.get(), &SpVoice::Word,
            [&wordAt](int, qint64, int, int) { wordAt.push_back(nowNs()); });
        const qint64 t0 = nowNs();
        voice->Speak(text, SVSFlagsAsync);
        while (!voice->WaitUntilDone(5)) { }
        QThread::msleep(200);
        const std::vector<int16_t> heard = recorder.samples();
        // The time line is known to a few milliseconds: sound just "before"
        // Speak is the reading's own.
        const double start = recorder.msAt(t0) - 20;
        const double onset = firstSoundAfter(heard, MonitorRecorder::Rate, start) - start - 20;
        (run == 0 ? first : onsets.emplace_back()) = onset;
        std::vector<Segment> syllables;
        for (const Segment &s : soundSegments(heard, MonitorRecorder::Rate, -45, 60)) {
            if (s.startMs >= start)
                syllables.push_back(s);
        }
        for (size_t i = 0; i < std::min(syllables.size(), wordAt.size()); ++i)
            skews.push_back(recorder.msAt(wordAt[i]) - syllables[i].startMs);
    }
    std::vector<double> absSkews;
    for (double s : skews)
        absSkews.push_back(std::abs(s));
    std::printf("real sound: first reading of a new voice: onset %.0f ms (target < 150)\n", first);
    std::printf("real sound: onset from Speak to heard sound, median of %zu: %.0f ms (worst "
                "%.0f; target < 150)\n",
        onsets.size(), median(onsets), *std::max_element(onsets.begin(), onsets.end()));
    std::printf("real sound: word event to its syllable: median %+.0f ms, worst %.0f ms over "
                "%zu words (target within 40)\n",
        median(skews),
        absSkews.empty() ? -1.0 : *std::max_element(absSkews.begin(), absSkews.end()),
        skews.size());
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    auto counter = std::make_shared<Counter>();
    AudioSink::setFactory([counter] { return std::make_unique<CountingSink>(counter); });
    QElapsedTimer startup;
    startup.start();
    SpeechEngine &engine = SpeechEngine::instance();
    const double startupMs = startup.nsecsElapsed() / 1e6;
    if (!engine.isAvailable()) {
        std::printf("espeak-ng is not available\n");
        return 1;
    }

    const QString text = bigText();
    {
        SpVoice voice;
        const qint64 minute = qint64(60) * SpeechEngine::NativeRate;
        QElapsedTimer total;
        total.start();
        counter->clock.start();
        voice.Speak(text, SVSFlagsAsync | SVSFIsNotXML);
        const qint64 speakReturnedNs = counter->clock.nsecsElapsed();
        while (counter->samples < minute)
            voice.WaitUntilDone(5);
        const qint64 elapsedMs = total.elapsed();
        voice.Speak(QString(), SVSFPurgeBeforeSpeak);
        voice.WaitUntilDone(-1);
        std::printf("engine start-up (espeak-ng init, voice list): %.2f ms\n", startupMs);
        std::printf("text: %lld characters\n", (long long)text.size());
        std::printf("Speak returned after: %.2f ms\n", speakReturnedNs / 1e6);
        std::printf("first PCM handed to the sink after: %.2f ms\n", counter->firstWriteNs / 1e6);
        std::printf("first 60 s of speech produced in: %lld ms (%.1fx real time)\n",
            (long long)elapsedMs, 60000.0 / double(std::max<qint64>(elapsedMs, 1)));
        std::printf("peak RSS (VmHWM): %ld kB\n", statusKb("VmHWM:"));
        std::printf("queued audio high-water: %lld bytes (%.2f s)\n",
            (long long)engine.backlogHighWater() * 2,
            double(engine.backlogHighWater()) / SpeechEngine::NativeRate);
    }

    {
        // The same text with the XML flag, as the window sends it when markup
        // is allowed: the whole text is parsed before the first piece.
        SpVoice voice;
        counter->firstWriteNs = -1;
        counter->clock.restart();
        voice.Speak(text, SVSFlagsAsync | SVSFPurgeBeforeSpeak | SVSFIsXML);
        while (counter->firstWriteNs < 0)
            voice.WaitUntilDone(1);
        std::printf(
            "XML flag: first PCM handed to the sink after: %.2f ms\n", counter->firstWriteNs / 1e6);
        voice.Speak(QString(), SVSFPurgeBeforeSpeak);
    }

    const QString sentence = QStringLiteral("今天天氣很好，我們一起到公園散步，看看湖邊的花。");
    for (int rate : {-10, -5, 0, 5, 10}) {
        SpVoice voice;
        voice.setRate(rate);
        counter->samples = 0;
        voice.Speak(sentence, SVSFIsNotXML);
        std::printf(
            "rate %+3d: %.2f s\n", rate, double(counter->samples) / SpeechEngine::NativeRate);
    }

    if (argc > 1) {
        const QDir dir(QString::fromLocal8Bit(argv[1]));
        SpVoice voice;
        const QList<SpObjectToken> voices = voice.GetVoices();
        for (int i = 0; i < 5 && i < voices.size(); ++i) {
            SpFileStream file;
            file.Format.Type = SAFT22kHz16BitMono;
            const QString path = dir.filePath(voices[i].GetDescription() + QStringLiteral(".wav"));
            if (!file.Open(path))
                continue;
            voice.setVoice(voices[i]);
            voice.setAudioOutputStream(&file);
            voice.Speak(sentence + sentence, SVSFIsNotXML);
            file.Close();
            voice.setAudioOutputStream(nullptr);
            std::printf("wrote %s\n", qPrintable(path));
        }
    }
    realSound();
    return 0;
}
