// MP3 encoding time of Mp3Encoder against the lame program with the same
// settings (44.1 kHz, 32 kbit/s CBR, quality 5, mono), on one WAV rendered
// by espeak-ng from a 20,000-character Traditional Chinese text. The target
// is a ratio of at most 1.1. Each side runs several times; the best counts.

#include "BenchText.h"
#include "export/Mp3Encoder.h"
#include "export/WavReader.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

namespace
{

constexpr int TextLength = 20000;
constexpr int Rounds = 3;

bool run(const QString &program, const QStringList &arguments)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(program, arguments);
    return p.waitForFinished(-1) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    for (const char *tool : {"espeak-ng", "lame"}) {
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty()) {
            std::printf("bench_export: skipped, the %s program is not installed\n", tool);
            return 0;
        }
    }
    QTemporaryDir dir;
    const QString textPath = dir.filePath(QStringLiteral("text.txt"));
    const QString wav = dir.filePath(QStringLiteral("speech.wav"));
    {
        QFile text(textPath);
        if (!text.open(QIODevice::WriteOnly))
            return 1;
        text.write(BenchText::chinese(TextLength).toUtf8());
    }
    QElapsedTimer clock;
    clock.start();
    if (!run(QStringLiteral("espeak-ng"),
            {QStringLiteral("-v"), QStringLiteral("cmn"), QStringLiteral("-w"), wav,
                QStringLiteral("-f"), textPath})) {
        std::printf("bench_export: espeak-ng could not render the text\n");
        return 1;
    }
    WavReader reader;
    if (!reader.open(wav))
        return 1;
    std::printf("input: %d characters, rendered by espeak-ng in %.1f s: %.1f s of audio at %d Hz\n",
        TextLength, clock.elapsed() / 1000.0, double(reader.frames()) / reader.sampleRate(),
        reader.sampleRate());
    reader.close();

    const QString ours = dir.filePath(QStringLiteral("ours.mp3"));
    const QString theirs = dir.filePath(QStringLiteral("lame.mp3"));
    qint64 bestOurs = std::numeric_limits<qint64>::max();
    qint64 bestLame = bestOurs;
    Mp3Encoder encoder;
    if (!encoder.isAvailable()) {
        std::printf("bench_export: %s\n", qPrintable(encoder.loadError()));
        return 1;
    }
    for (int round = 0; round < Rounds; ++round) {
        clock.restart();
        QString message;
        try {
            encoder.EncodeFile(wav, ours, QStringLiteral("if44.1"), QStringLiteral("iBw32"),
                QStringLiteral("iLevel5"), QStringLiteral("iOM_M"), message);
        } catch (const Mp3Encoder::Error &e) {
            std::printf("bench_export: %s\n", e.what());
            return 1;
        }
        bestOurs = std::min(bestOurs, clock.nsecsElapsed());

        clock.restart();
        if (!run(QStringLiteral("lame"),
                {QStringLiteral("--quiet"), QStringLiteral("-m"), QStringLiteral("m"),
                    QStringLiteral("-b"), QStringLiteral("32"), QStringLiteral("-q"),
                    QStringLiteral("5"), QStringLiteral("--resample"), QStringLiteral("44.1"), wav,
                    theirs}))
            return 1;
        bestLame = std::min(bestLame, clock.nsecsElapsed());
    }
    const double ratio = double(bestOurs) / double(bestLame);
    std::printf("Mp3Encoder  %8.1f ms  %9lld bytes\n", bestOurs / 1e6, QFileInfo(ours).size());
    std::printf("lame        %8.1f ms  %9lld bytes\n", bestLame / 1e6, QFileInfo(theirs).size());
    std::printf(
        "ratio       %8.3f     (target <= 1.1: %s)\n", ratio, ratio <= 1.1 ? "met" : "missed");
    QFile a(ours);
    QFile b(theirs);
    const bool same
        = a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly) && a.readAll() == b.readAll();
    std::printf("same bytes as lame: %s\n", same ? "yes" : "no");
    return 0;
}
