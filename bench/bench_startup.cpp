// Time from process start to the main window shown, measured from outside:
// the benchmark starts itself again as a child that builds the window and
// prints when it is on the screen. Run with the machine's fonts and with
// 2,000 injected family names.

#include "shell/AppMain.h"
#include "shell/Form_Main.h"
#include "audio/AudioSink.h"
#include "system/AppPaths.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>

namespace
{
int child(int argc, char *argv[], bool manyFonts)
{
    QApplication app(argc, argv);
    QTemporaryDir dir;
    AppPaths::setOverrideFolder(dir.path());
    AudioSink::setFactory([] { return std::make_unique<SilentSink>(); });
    if (manyFonts) {
        Form_Main::setFontFamilySource([] {
            QStringList names;
            for (int i = 0; i < 2000; ++i)
                names.append(i % 3 ? QStringLiteral("Family %1").arg(7919 * i % 2003)
                                   : QStringLiteral("字型 %1").arg(i));
            return names;
        });
    }
    auto window = Main();
    if (!window)
        return 1;
    // The first event-loop turn after show() is when the window is on screen.
    QTimer::singleShot(0, [] {
        std::printf("shown\n");
        std::fflush(stdout);
        QCoreApplication::quit();
    });
    return QApplication::exec();
}

double measure(const QString &program, const QString &mode)
{
    QProcess p;
    QElapsedTimer t;
    t.start();
    p.start(program, {mode});
    if (!p.waitForReadyRead(30000))
        return -1;
    const double ms = t.nsecsElapsed() / 1e6;
    p.waitForFinished(30000);
    return ms;
}

void report(const QString &program, const QString &mode, const char *label)
{
    std::vector<double> runs;
    for (int i = 0; i < 7; ++i)
        runs.push_back(measure(program, mode));
    std::sort(runs.begin(), runs.end());
    std::printf("%-28s median %7.1f ms   best %7.1f ms   worst %7.1f ms\n", label,
        runs[runs.size() / 2], runs.front(), runs.back());
}
} // namespace

int main(int argc, char *argv[])
{
    if (argc > 1 && qstrcmp(argv[1], "--child") == 0)
        return child(argc, argv, false);
    if (argc > 1 && qstrcmp(argv[1], "--child-many-fonts") == 0)
        return child(argc, argv, true);

    QCoreApplication app(argc, argv);
    const QString self = QCoreApplication::applicationFilePath();
    std::printf("Start-up to window shown (platform %s)\n",
        qEnvironmentVariable("QT_QPA_PLATFORM", QStringLiteral("default")).toUtf8().constData());
    report(self, QStringLiteral("--child"), "machine fonts");
    report(self, QStringLiteral("--child-many-fonts"), "2,000 injected font names");
    return 0;
}
