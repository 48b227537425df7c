// parlo-render on 20 copies of a 2,000-character Traditional Chinese text:
// the whole run with -j 1 and with -j 2, their ratio (target at most 0.6 on
// two cores), and the espeak-ng program writing the same texts one after
// another with -w as the yardstick. Usage: bench_render [rounds]; the best
// round of each counts.

#include "BenchText.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <sys/resource.h>

namespace
{

constexpr int Files = 20;
constexpr int TextLength = 2000;
constexpr double TargetRatio = 0.6;

QString chineseText()
{
    return BenchText::chinese(TextLength);
}

// Processor seconds used by finished child processes so far (their own
// children included), to tell a busy machine from a slow program.
double childCpuSeconds()
{
    rusage usage {};
    getrusage(RUSAGE_CHILDREN, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Seconds the program took, or -1 when it failed.
double timed(const QString &program, const QStringList &arguments)
{
    QElapsedTimer clock;
    clock.start();
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(program, arguments);
    if (!p.waitForFinished(-1) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return -1;
    return clock.elapsed() / 1000.0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 1;
    QTemporaryDir dir;
    const QString inputs = dir.filePath(QStringLiteral("texts"));
    QDir().mkpath(inputs);
    const QByteArray text = chineseText().toUtf8();
    for (int i = 0; i < Files; ++i) {
        QFile file(QStringLiteral("%1/text%2.txt").arg(inputs).arg(i, 2, 10, QLatin1Char('0')));
        if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
            return 1;
    }
    const QString render = QStringLiteral(PARLO_RENDER);
    double best[2] = {1e9, 1e9};
    double cpu[2] = {0, 0};
    for (int r = 0; r < rounds; ++r) {
        for (int jobs : {1, 2}) {
            const QString out = dir.filePath(QStringLiteral("out%1").arg(jobs));
            const double cpuBefore = childCpuSeconds();
            const double s = timed(render,
                {QStringLiteral("-q"), QStringLiteral("-f"), QStringLiteral("-j%1").arg(jobs),
                    QStringLiteral("-o"), out, inputs});
            if (s < 0) {
                std::printf("bench_render: parlo-render -j%d failed\n", jobs);
                return 1;
            }
            if (s < best[jobs - 1]) {
                best[jobs - 1] = s;
                cpu[jobs - 1] = childCpuSeconds() - cpuBefore;
            }
        }
    }
    std::printf("parlo-render, %d files of %d characters (%d cores here):\n", Files, TextLength,
        QThread::idealThreadCount());
    for (int j = 0; j < 2; ++j)
        std::printf("  -j %d: %6.2f s  (%.0f characters/s, %.2f processor-seconds)\n", j + 1,
            best[j], Files * TextLength / best[j], cpu[j]);
    std::printf("  ratio -j2/-j1: %.2f (target <= %.1f on 2 cores): %s\n", best[1] / best[0],
        TargetRatio, best[1] / best[0] <= TargetRatio ? "met" : "NOT met");
    int same = 0;
    for (int i = 0; i < Files; ++i) {
        const QString name = QStringLiteral("texts/text%1.wav").arg(i, 2, 10, QLatin1Char('0'));
        QFile one(dir.filePath(QStringLiteral("out1/") + name));
        QFile two(dir.filePath(QStringLiteral("out2/") + name));
        if (one.open(QIODevice::ReadOnly) && two.open(QIODevice::ReadOnly)
            && one.readAll() == two.readAll())
            ++same;
    }
    std::printf("  WAVs of -j 1 and -j 2 byte for byte the same: %d of %d\n", same, Files);

    if (QStandardPaths::findExecutable(QStringLiteral("espeak-ng")).isEmpty()) {
        std::printf("espeak-ng program not installed: no yardstick\n");
        return 0;
    }
    double espeak = 1e9;
    double espeakCpu = 0;
    for (int r = 0; r < rounds; ++r) {
        const double cpuBefore = childCpuSeconds();
        QElapsedTimer clock;
        clock.start();
        for (int i = 0; i < Files; ++i) {
            const QString name
                = QStringLiteral("%1/text%2").arg(inputs).arg(i, 2, 10, QLatin1Char('0'));
            if (timed(QStringLiteral("espeak-ng"),
                    {QStringLiteral("-v"), QStringLiteral("cmn-latn-pinyin+m3"),
                        QStringLiteral("-w"), name + QStringLiteral(".espeak.wav"),
                        QStringLiteral("-f"), name + QStringLiteral(".txt")})
                < 0) {
                std::printf("bench_render: espeak-ng failed\n");
                return 1;
            }
        }
        if (clock.elapsed() / 1000.0 < espeak) {
            espeak = clock.elapsed() / 1000.0;
            espeakCpu = childCpuSeconds() - cpuBefore;
        }
    }
    std::printf(
        "espeak-ng -w, the same files one after another: %6.2f s (%.2f processor-seconds)\n",
        espeak, espeakCpu);
    std::printf("  parlo-render -j 1 / espeak-ng: %.2f   -j 2 / espeak-ng: %.2f\n",
        best[0] / espeak, best[1] / espeak);
    return 0;
}
