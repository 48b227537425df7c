// parlo-render on a book of ten chapters that speaks for about an hour: the
// WAV alone, then the audiobook alone (--m4b --no-wav), each in a process of
// its own. Prints both times, their ratio (target: the audiobook at most 1.2
// times the WAV), the AAC encoder's share of the audiobook's time and each
// run's peak resident memory. The audiobook of a quarter of the book is made
// too: what its memory grows by per minute of speech gives what a ten-hour
// book would take (target at most 150 MB). Usage: bench_audiobook [minutes].

#include "BenchText.h"
#include "export/M4bWriter.h"
#include "export/WavReader.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace
{

// Characters the Mandarin voice speaks in a minute at the default rate.
constexpr int CharactersPerMinute = 280;
constexpr double TargetRatio = 1.2;
constexpr double TargetMiB = 150;

struct Run {
    bool ok = false;
    double seconds = 0;
    double peakMiB = 0;
};

Run run(const QStringList &arguments)
{
    std::vector<QByteArray> bytes {QByteArray(PARLO_RENDER)};
    for (const QString &a : arguments)
        bytes.push_back(QFile::encodeName(a));
    std::vector<char *> argv;
    for (QByteArray &b : bytes)
        argv.push_back(b.data());
    argv.push_back(nullptr);
    QElapsedTimer clock;
    clock.start();
    const pid_t pid = fork();
    if (pid == 0) {
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    rusage usage {};
    if (pid < 0 || wait4(pid, &status, 0, &usage) != pid)
        return {};
    return {WIFEXITED(status) && WEXITSTATUS(status) == 0, clock.elapsed() / 1000.0,
        usage.ru_maxrss / 1024.0};
}

// The processor time the AAC encoder takes for the WAV, on its own.
double encoderSeconds(const QString &wav, const QString &m4b)
{
    WavReader reader;
    M4bWriter writer;
    if (!reader.open(wav) || !writer.open(m4b, reader.sampleRate(), 1, 64, {}, 0))
        return -1;
    std::vector<int16_t> piece(16384);
    for (qint64 got; (got = reader.read(piece.data(), qint64(piece.size()))) > 0;)
        writer.write(piece.data(), got);
    return writer.finish({}) ? writer.encoderSeconds() : -1;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int minutes = argc > 1 ? std::max(1, atoi(argv[1])) : 60;
    QTemporaryDir dir;
    auto writeBook = [&](const QString &name, int minutesOfSpeech) {
        QString book;
        const int chapterLength = minutesOfSpeech * CharactersPerMinute / 10;
        for (int i = 1; i <= 10; ++i)
            book += QStringLiteral("第%1章\n").arg(i) + BenchText::chinese(chapterLength) + u'\n';
        QFile file(dir.filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(book.toUtf8()) < 0)
            return QString();
        return file.fileName();
    };
    const QString book = writeBook(QStringLiteral("book.txt"), minutes);
    const QString quarter = writeBook(QStringLiteral("quarter.txt"), std::max(1, minutes / 4));

    const Run wav = run(
        {QStringLiteral("-q"), QStringLiteral("-o"), dir.filePath(QStringLiteral("wav")), book});
    auto audiobook = [&](const QString &input) {
        return run({QStringLiteral("-q"), QStringLiteral("--m4b"), QStringLiteral("--no-wav"),
            QStringLiteral("-o"), dir.filePath(QStringLiteral("m4b")), input});
    };
    const Run m4b = audiobook(book);
    const Run small = audiobook(quarter);
    if (!wav.ok || !m4b.ok || !small.ok) {
        std::printf("bench_audiobook: parlo-render failed\n");
        return 1;
    }
    const QString wavFile = dir.filePath(QStringLiteral("wav/book.wav"));
    WavReader reader;
    const double audioMinutes
        = reader.open(wavFile) ? double(reader.frames()) / reader.sampleRate() / 60 : 0;
    const double quarterMinutes = audioMinutes * (std::max(1, minutes / 4)) / minutes;
    const double encoder = encoderSeconds(wavFile, dir.filePath(QStringLiteral("alone.m4b")));
    const double ratio = m4b.seconds / wav.seconds;
    std::printf("a book of 10 chapters, %.1f minutes of speech:\n", audioMinutes);
    std::printf("  WAV:       %6.1f s, peak memory %5.1f MiB\n", wav.seconds, wav.peakMiB);
    std::printf("  audiobook: %6.1f s, peak memory %5.1f MiB\n", m4b.seconds, m4b.peakMiB);
    std::printf("  ratio audiobook/WAV: %.2f (target <= %.1f): %s\n", ratio, TargetRatio,
        ratio <= TargetRatio ? "ok" : "MISSED");
    std::printf("  AAC encoder: %.1f processor-seconds, %.0f %% of the audiobook's time\n", encoder,
        100 * encoder / m4b.seconds);
    // What grows with the book, from the two lengths.
    if (audioMinutes > quarterMinutes) {
        const double perMinute
            = std::max(0.0, (m4b.peakMiB - small.peakMiB) / (audioMinutes - quarterMinutes));
        const double tenHours = m4b.peakMiB + perMinute * (600 - audioMinutes);
        std::printf("  audiobook of %.1f minutes: peak memory %.1f MiB; growth %.3f MiB a minute; "
                    "a ten-hour book: %.0f MiB (target <= %.0f): %s\n",
            quarterMinutes, small.peakMiB, perMinute, tenHours, TargetMiB,
            tenHours <= TargetMiB ? "ok" : "MISSED");
    }
    return 0;
}
