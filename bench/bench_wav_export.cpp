// The export commands of the main window against the engine's and the
// encoder's own programs, in one run on the same 20,000-character Traditional
// Chinese text and the same voice:
//   "Save .WAV"          against espeak-ng -w                   target <= 1.1
//   the MP3 encoding     against lame with the same settings    target <= 1.1
//   "Save .WAV & .MP3"   against espeak-ng -w plus lame         target <= 0.7
// Each side runs --rounds times (default 1); the best counts.
//
// With --max it instead exports the longest text the reader speaks
// (1,048,500 characters, about three days of speech, some 8 GB) with
// "Save .WAV" and prints characters per second, peak memory and the size
// and duration of the file; run it on its own, since peak memory is the
// process's. --wav-only runs "Save .WAV" once on the 20,000 characters, for
// a profiler.
//
// The window runs on the offscreen platform with its real voice, so the
// word and phoneme events are handled as they are on screen.

#include "BenchText.h"
#include "export/CMP3.h"
#include "export/Mp3Encoder.h"
#include "shell/AppDlgX.h"
#include "shell/AppMain.h"
#include "shell/Form_Main.h"
#include "shell/MaviTextBox.h"
#include "shell/MessageBox.h"
#include "speech/SpVoice.h"
#include "system/AppPaths.h"
#include "system/RegistryStore.h"

#include "controls/CmdX.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <sys/resource.h>

namespace
{

constexpr qsizetype TextLength = 20000;
constexpr qsizetype MaxLength = 1048500;

bool run(const QString &program, const QStringList &arguments, QString *output = nullptr)
{
    QProcess p;
    p.start(program, arguments);
    if (!p.waitForFinished(-1) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        std::printf("bench_wav_export: %s failed: %s\n", qPrintable(program),
            p.readAllStandardError().constData());
        return false;
    }
    if (output)
        *output = QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
    return true;
}

double seconds(const QString &wav)
{
    QString out;
    return run(QStringLiteral("soxi"), {QStringLiteral("-D"), wav}, &out) ? out.toDouble() : -1;
}

// Processor time used so far by this process and the programs it ran, in ms.
double cpuMs()
{
    double ms = 0;
    for (int who : {RUSAGE_SELF, RUSAGE_CHILDREN}) {
        rusage usage {};
        getrusage(who, &usage);
        for (const timeval &t : {usage.ru_utime, usage.ru_stime})
            ms += t.tv_sec * 1e3 + t.tv_usec / 1e3;
    }
    return ms;
}

// Wall-clock and processor milliseconds of one piece of work; the best of
// several runs is kept.
struct Cost {
    double wall = 1e300;
    double cpu = 1e300;
};

template<class Work> void timed(Cost &best, Work work)
{
    const double cpuBefore = cpuMs();
    QElapsedTimer clock;
    clock.start();
    work();
    best.wall = std::min(best.wall, clock.nsecsElapsed() / 1e6);
    best.cpu = std::min(best.cpu, cpuMs() - cpuBefore);
}

double peakMemoryMB()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

const char *verdict(double ratio, double target)
{
    return ratio <= target ? "met" : "missed";
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const bool max = args.contains(QStringLiteral("--max"));
    const int at = int(args.indexOf(QStringLiteral("--rounds")));
    const int rounds = at > 0 ? std::max(1, args.value(at + 1).toInt()) : 1;
    for (const char *tool : {"espeak-ng", "lame", "soxi"}) {
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty()) {
            std::printf("bench_wav_export: skipped, the %s program is not installed\n", tool);
            return 0;
        }
    }

    QTemporaryDir dir;
    AppPaths::setOverrideFolder(dir.path());
    RegistryStore::instance().setUserFile(dir.filePath(QStringLiteral("registry.json")));
    QStringList messages;
    MessageBox::setHandler([&](auto, auto, const QString &text, auto) {
        messages.append(text);
        return MessageBox::Answer::Ok;
    });
    QString target;
    AppDlgX::setRunner([&](const AppDlgX::Request &) { return target; });

    auto window = Main();
    if (!window || !window->voice()->isEngineAvailable()) {
        std::printf("bench_wav_export: the reader could not start with espeak-ng\n");
        return 1;
    }
    const QString voice = QString::fromLatin1(window->voice()->Voice().espeakVoiceName());
    const QString text = BenchText::chinese(max ? MaxLength : TextLength);
    window->Txt_Input->setText(text);
    // The voice writes a file: no reading is heard meanwhile.
    auto exportWith = [&](CmdX *button, const QString &wav) {
        target = wav;
        messages.clear();
        Q_EMIT button->Click();
        return messages.size() == 1 && messages[0].endsWith(QStringLiteral("檔案存檔完成！"));
    };

    if (max || args.contains(QStringLiteral("--wav-only"))) {
        const QString wav = dir.filePath(QStringLiteral("max.wav"));
        bool ok = false;
        Cost cost;
        timed(cost, [&] { ok = exportWith(window->Cmd_SaveWAV, wav); });
        const double ms = cost.wall;
        if (!ok) {
            std::printf(
                "bench_wav_export: the export failed: %s\n", qPrintable(messages.join(u'|')));
            return 1;
        }
        if (!max) {
            std::printf("Save .WAV %.2f s\n", ms / 1000);
            return 0;
        }
        std::printf("max text: %lld characters in %.1f s: %.0f characters/s\n",
            qlonglong(MaxLength), ms / 1000, MaxLength / (ms / 1000));
        std::printf("file: %.2f GB, %.1f hours of speech; peak memory %.0f MB\n",
            QFileInfo(wav).size() / 1e9, seconds(wav) / 3600, peakMemoryMB());
        return 0;
    }

    const QString textFile = dir.filePath(QStringLiteral("text.txt"));
    {
        QFile file(textFile);
        if (!file.open(QIODevice::WriteOnly))
            return 1;
        file.write(text.toUtf8());
    }
    const QString own = dir.filePath(QStringLiteral("espeak.wav"));
    const QString wav = dir.filePath(QStringLiteral("ours.wav"));
    const QString both = dir.filePath(QStringLiteral("both.wav"));
    const QString lameMp3 = dir.filePath(QStringLiteral("lame.mp3"));
    const QString oursMp3 = dir.filePath(QStringLiteral("ours.mp3"));
    const QStringList o = CMP3::encoderOptions();
    Cost espeak, saveWav, lame, encoder, saveBoth;
    bool ok = true;
    for (int round = 0; round < rounds && ok; ++round) {
        timed(espeak, [&] {
            ok &= run(QStringLiteral("espeak-ng"),
                {QStringLiteral("-v"), voice, QStringLiteral("-w"), own, QStringLiteral("-f"),
                    textFile});
        });
        timed(saveWav, [&] { ok &= exportWith(window->Cmd_SaveWAV, wav); });
        timed(lame, [&] {
            ok &= run(QStringLiteral("lame"),
                {QStringLiteral("--quiet"), QStringLiteral("-m"), QStringLiteral("m"),
                    QStringLiteral("-b"), QStringLiteral("32"), QStringLiteral("-q"),
                    QStringLiteral("5"), QStringLiteral("--resample"), QStringLiteral("44.1"), wav,
                    lameMp3});
        });
        timed(encoder, [&] {
            Mp3Encoder mp3;
            QString message;
            try {
                mp3.EncodeFile(wav, oursMp3, o[0], o[1], o[2], o[3], message);
            } catch (const Mp3Encoder::Error &e) {
                std::printf("bench_wav_export: %s\n", e.what());
                ok = false;
            }
        });
        timed(saveBoth, [&] { ok &= exportWith(window->Cmd_SaveWAVnMP3, both); });
    }
    if (!ok)
        return 1;
    std::printf("text: %lld characters, voice %s: espeak-ng %.1f s of speech, ours %.1f s\n",
        qlonglong(TextLength), qPrintable(voice), seconds(own), seconds(wav));
    std::printf("(wall-clock seconds, processor seconds in brackets)\n");
    auto line = [](const char *name, const Cost &cost) {
        std::printf("%-20s %8.2f s (%6.2f s)", name, cost.wall / 1000, cost.cpu / 1000);
    };
    auto ratio = [](double value, double limit) {
        std::printf("   ratio %.3f (target <= %.1f: %s)\n", value, limit, verdict(value, limit));
    };
    line("espeak-ng -w", espeak);
    std::printf("\n");
    line("Save .WAV", saveWav);
    ratio(saveWav.wall / espeak.wall, 1.1);
    line("lame", lame);
    std::printf("\n");
    line("Mp3Encoder", encoder);
    ratio(encoder.wall / lame.wall, 1.1);
    line("Save .WAV & .MP3", saveBoth);
    ratio(saveBoth.wall / (espeak.wall + lame.wall), 0.7);
    window->close();
    return 0;
}
