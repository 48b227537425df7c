// How quickly a natural voice answers, with the voice tools/make-test-voice
// writes (its model costs next to nothing, so what is measured is the way
// there and back: the worker, its runtime, the pipes, the aligner):
//
//   cold start   spawning the worker and loading the voice, until it answers
//   load         loading the voice again into a running worker
//   first sound  a request to the engine, its voice loaded, until the first
//                chunk with sound (20 one-sentence requests: median, worst)
//   real time    20 sentences in one request: wall and processor time (this
//                process, the worker and its runtime) per second of audio
//
//   bench_neural [--runs N]   (N cold starts and loads, default 5)
//
// Needs node and the runtime (tools/install-neural-runtime.sh).

#include "speech/neural/NeuralEngine.h"
#include "speech/neural/NeuralProcess.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <unistd.h>
#include <vector>

namespace
{

constexpr double TargetFirstSoundMs = 300;
constexpr double TargetLoadMs = 1000;
constexpr int Sentences = 20;
constexpr int OutputRate = 22050;

const char *const SentenceTexts[] = {"今天天氣很好，我們去散步。", "我有25個蘋果。", "你好嗎？",
    "他們明天要去台北。", "這本書很有意思。", "我們一起去看電影吧。", "天氣預報說下午會下雨。",
    "請問車站在哪裡？", "她每天早上都喝一杯茶。", "這個問題我們再想想。", "學校旁邊有一家書店。",
    "我想學做中國菜。", "他說的話很有道理。", "週末我們去爬山。", "電話號碼是0912345678。",
    "小貓在窗邊睡覺。", "這裡的東西都很便宜。", "我們下次再見吧！", "今年冬天特別冷。",
    "謝謝你的幫忙。"};

double processSeconds()
{
    timespec ts {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

// Processor seconds of a process and its children (the worker's runtime).
double processTreeSeconds(qint64 pid)
{
    double seconds = 0;
    const QByteArray stat = [&] {
        QFile f(QStringLiteral("/proc/%1/stat").arg(pid));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
    const double tick = double(sysconf(_SC_CLK_TCK));
    if (fields.size() > 12)
        seconds += (fields[11].toDouble() + fields[12].toDouble()) / tick;
    QFile children(QStringLiteral("/proc/%1/task/%1/children").arg(pid));
    if (children.open(QIODevice::ReadOnly)) {
        for (const QByteArray &child : children.readAll().split(' '))
            if (!child.trimmed().isEmpty())
                seconds += processTreeSeconds(child.trimmed().toLongLong());
    }
    return seconds;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

const char *verdict(double value, double target)
{
    return value <= target ? "ok" : "OVER";
}

SpeechRequest request(const QString &text, const SpObjectToken &voice, int stream)
{
    SpeechRequest r;
    r.stream = stream;
    r.text = text;
    r.voice = voice;
    r.outputRate = OutputRate;
    return r;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    int runs = 5;
    const QStringList args = app.arguments();
    if (const qsizetype i = args.indexOf(QStringLiteral("--runs")); i > 0 && i + 1 < args.size())
        runs = std::max(1, args[i + 1].toInt());

    QTemporaryDir dir;
    const QString voiceFolder = dir.filePath(QStringLiteral("voice"));
    if (QProcess::execute(QStringLiteral(PARLO_SOURCE_DIR "/tools/make-test-voice"), {voiceFolder})
        != 0) {
        std::fprintf(stderr, "bench_neural: tools/make-test-voice failed\n");
        return 1;
    }
    NeuralEngine::Setup setup;
    setup.userVoiceFolder = false;
    NeuralEngine engine(setup);
    if (engine.problem() != NeuralEngine::Problem::None) {
        std::fprintf(stderr, "bench_neural: %s\n", qPrintable(engine.status()));
        return 1;
    }
    engine.addVoiceFolder(voiceFolder);
    const SpObjectToken voice = engine.voices().value(0);

    // Cold start and load, on the worker directly.
    const NeuralProcess::Launch launch {QStandardPaths::findExecutable(QStringLiteral("node")),
        QStringLiteral(PARLO_SOURCE_DIR "/src/speech/neural/parlo-neural-worker.js"),
        NeuralEngine::defaultRuntimePrefix()};
    std::vector<double> cold, load;
    for (int i = 0; i < runs; ++i) {
        NeuralProcess process;
        NeuralProcess::Voice loaded;
        QString error;
        QElapsedTimer t;
        t.start();
        if (!process.start(launch, voiceFolder, &loaded, &error)) {
            std::fprintf(stderr, "bench_neural: %s\n", qPrintable(error));
            return 1;
        }
        cold.push_back(double(t.nsecsElapsed()) / 1e6);
        t.restart();
        if (!process.load(voiceFolder, &loaded, &error)) {
            std::fprintf(stderr, "bench_neural: %s\n", qPrintable(error));
            return 1;
        }
        load.push_back(double(t.nsecsElapsed()) / 1e6);
    }

    // First sound, the voice loaded by a first sentence.
    auto channel = engine.openChannel();
    auto drain = [&](qint64 *samples, double *firstMs, const QElapsedTimer &since) {
        bool ended = false;
        while (!ended) {
            channel->waitForChunk(1);
            for (const SpeechChunk &c : channel->take()) {
                if (!c.pcm.empty() && firstMs && *firstMs < 0)
                    *firstMs = double(since.nsecsElapsed()) / 1e6;
                *samples += qint64(c.pcm.size());
                ended = ended || c.last;
            }
        }
    };
    qint64 ignored = 0;
    QElapsedTimer since;
    since.start();
    channel->submit(request(QString::fromUtf8(SentenceTexts[0]), voice, 1));
    double warmUpMs = -1;
    drain(&ignored, &warmUpMs, since);
    std::vector<double> first;
    for (int i = 0; i < Sentences; ++i) {
        double ms = -1;
        since.restart();
        channel->submit(request(QString::fromUtf8(SentenceTexts[i]), voice, 2 + i));
        drain(&ignored, &ms, since);
        first.push_back(ms);
    }

    // Real time: all sentences in one request.
    QString all;
    for (const char *s : SentenceTexts)
        all += QString::fromUtf8(s);
    const QList<qint64> workers = engine.workerProcesses();
    const double ownBefore = processSeconds();
    const double workerBefore = workers.isEmpty() ? 0 : processTreeSeconds(workers.first());
    qint64 samples = 0;
    since.restart();
    channel->submit(request(all, voice, 100));
    drain(&samples, nullptr, since);
    const double wall = double(since.nsecsElapsed()) / 1e9;
    const double own = processSeconds() - ownBefore;
    const double worker
        = (workers.isEmpty() ? 0 : processTreeSeconds(workers.first())) - workerBefore;
    const double audio = double(samples) / OutputRate;
    engine.closeChannel(channel);

    std::printf("natural voice (make-test-voice), %d runs, %d sentences\n", runs, Sentences);
    std::printf("  cold start (spawn + load)  median %7.1f ms  worst %7.1f ms\n", median(cold),
        *std::max_element(cold.begin(), cold.end()));
    std::printf(
        "  load in a running worker   median %7.1f ms  worst %7.1f ms  target <= %.0f ms  %s\n",
        median(load), *std::max_element(load.begin(), load.end()), TargetLoadMs,
        verdict(*std::max_element(load.begin(), load.end()), TargetLoadMs));
    std::printf("  first request (cold)       %7.1f ms to first sound\n", warmUpMs);
    std::printf(
        "  first sound                median %7.1f ms  worst %7.1f ms  target <= %.0f ms  %s\n",
        median(first), *std::max_element(first.begin(), first.end()), TargetFirstSoundMs,
        verdict(median(first), TargetFirstSoundMs));
    std::printf("  real time, %.1f s of audio  wall %.3f  processor %.3f (reader %.3f, worker "
                "%.3f) s per s of audio\n",
        audio, wall / audio, (own + worker) / audio, own / audio, worker / audio);
    return 0;
}
