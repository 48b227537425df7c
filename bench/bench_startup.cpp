// Time from process start to the main window shown, measured from outside:
// the benchmark starts itself again as a child that builds the window and
// prints when it is on the screen. Run with the machine's fonts and with
// 2,000 injected family names, and set against the start-up of a minimal Qt
// window holding a QPlainTextEdit, the floor any window of this toolkit pays.
// Without a display to show the window on it says so and exits with 2.

#include "audio/AudioSink.h"
#include "shell/AppMain.h"
#include "shell/Form_Main.h"
#include "system/AppPaths.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <optional>

namespace
{
// The first event-loop turn after show() is when the window is on screen.
int announceShown()
{
    QTimer::singleShot(0, [] {
        std::printf("shown\n");
        std::fflush(stdout);
        QCoreApplication::quit();
    });
    return QApplication::exec();
}

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
    return announceShown();
}

// The floor: a bare window with a plain-text editor in it.
int baselineChild(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QPlainTextEdit editor;
    editor.resize(800, 600);
    editor.show();
    return announceShown();
}

// Exit code when no window can be shown at all.
constexpr int NoDisplay = 2;

// Whether the platform Qt will pick has a display to connect to. Platforms
// other than the X11 and Wayland ones bring their own (or need none).
bool haveDisplay()
{
    const QString platform = qEnvironmentVariable("QT_QPA_PLATFORM");
    const bool x11 = qEnvironmentVariableIsSet("DISPLAY");
    const bool wayland = qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
    if (platform.isEmpty())
        return x11 || wayland;
    if (platform.startsWith(QLatin1String("xcb")))
        return x11;
    if (platform.startsWith(QLatin1String("wayland")))
        return wayland;
    return true;
}

// Milliseconds from starting the child to its "shown"; nothing when it ended
// without showing a window, with the first line it wrote to stderr in `error`.
std::optional<double> measure(const QString &program, const QString &mode, QString *error)
{
    QProcess p;
    QElapsedTimer t;
    t.start();
    p.start(program, {mode});
    const bool shown = p.waitForReadyRead(30000);
    const double ms = t.nsecsElapsed() / 1e6;
    p.waitForFinished(30000);
    if (shown && p.readAllStandardOutput().startsWith("shown"))
        return ms;
    *error = QString::fromLocal8Bit(p.readAllStandardError()).trimmed().section(u'\n', 0, 0);
    if (error->isEmpty())
        *error = p.errorString();
    return std::nullopt;
}

// Prints the figures of seven runs and gives their median; nothing when a
// run failed.
std::optional<double> report(
    const QString &program, const QString &mode, const char *label, QString *error)
{
    std::vector<double> runs;
    for (int i = 0; i < 7; ++i) {
        const std::optional<double> ms = measure(program, mode, error);
        if (!ms)
            return std::nullopt;
        runs.push_back(*ms);
    }
    std::sort(runs.begin(), runs.end());
    const double median = runs[runs.size() / 2];
    std::printf("%-28s median %7.1f ms   best %7.1f ms   worst %7.1f ms\n", label, median,
        runs.front(), runs.back());
    return median;
}
} // namespace

int main(int argc, char *argv[])
{
    if (argc > 1 && qstrcmp(argv[1], "--child") == 0)
        return child(argc, argv, false);
    if (argc > 1 && qstrcmp(argv[1], "--child-many-fonts") == 0)
        return child(argc, argv, true);
    if (argc > 1 && qstrcmp(argv[1], "--child-baseline") == 0)
        return baselineChild(argc, argv);

    QCoreApplication app(argc, argv);
    const QString platform = qEnvironmentVariable("QT_QPA_PLATFORM", QStringLiteral("default"));
    if (!haveDisplay()) {
        std::fprintf(stderr,
            "bench_startup: no display to show a window on (platform %s, DISPLAY and "
            "WAYLAND_DISPLAY unset); run it in a desktop session or with "
            "QT_QPA_PLATFORM=offscreen\n",
            platform.toUtf8().constData());
        return NoDisplay;
    }
    const QString self = QCoreApplication::applicationFilePath();
    std::printf("Start-up to window shown (platform %s)\n", platform.toUtf8().constData());
    QString error;
    const std::optional<double> baseline
        = report(self, QStringLiteral("--child-baseline"), "minimal QPlainTextEdit", &error);
    if (!baseline) {
        std::fprintf(stderr,
            "bench_startup: not even a minimal window could be shown: no usable display (%s)\n",
            error.toUtf8().constData());
        return NoDisplay;
    }
    const std::optional<double> machine
        = report(self, QStringLiteral("--child"), "machine fonts", &error);
    const std::optional<double> many = machine
        ? report(self, QStringLiteral("--child-many-fonts"), "2,000 injected font names", &error)
        : std::nullopt;
    if (!many) {
        std::fprintf(stderr, "bench_startup: the main window was never shown (%s)\n",
            error.toUtf8().constData());
        return 1;
    }
    std::printf("Parlo against the minimal window: %.2fx (machine fonts), %.2fx (2,000 names)\n",
        *machine / *baseline, *many / *baseline);
    return 0;
}
