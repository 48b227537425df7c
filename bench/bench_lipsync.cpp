// The role picture's mouth: what one mouth change costs, and when it reaches
// the screen against the sound it goes with.
//
// Cost: ShowMouth over every phone code of the table, drawn into the
// off-screen buffer of a shown picture box and copied to it, then the box's
// repaint; once from the built-in image list, once from the built-in files
// beside the program, once from the user's own pictures. Target: under 1 ms
// per mouth change (a phoneme lasts 50 ms or more).
//
// Timing: on a private sound server with a null sink, a reading whose every
// syllable is a tone after a silence; the time each mouth is painted is set
// against the onset of its syllable in the recording of the sink's monitor.
// Once with the scripted engine (one phoneme per syllable, clean onsets) and
// once with espeak-ng (the first phoneme of each syllable). Target: within
// 40 ms.
//
// Run with QT_QPA_PLATFORM=offscreen (or on a display).

#include "audio/AudioSink.h"
#include "audio/RealAudio.h"
#include "shell/LipSync.h"
#include "shell/RoleImages.h"
#include "speech/ScriptedEngine.h"
#include "speech/SpVoice.h"

#include "controls/CBmp.h"
#include "controls/CGdi.h"
#include "controls/PictureSurface.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <numeric>
#include <vector>

namespace
{

struct Stats {
    double mean, median, p99, worst;
};

// Processor time of this thread: on a busy machine the wall clock also
// counts the time other programs had the processor.
double threadCpuMs()
{
    timespec t {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

Stats stats(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const double mean = std::accumulate(v.begin(), v.end(), 0.0) / double(v.size());
    return {mean, v[v.size() / 2], v[v.size() * 99 / 100], v.back()};
}

// The face in a shown picture box, as the window has it.
struct Face {
    PictureSurface box;
    CGdi gdi;
    CBmp bmp;
    LipSync lips {gdi, bmp};

    explicit Face(const TTSRole::Role &role)
    {
        box.resize(LipSync::PictureSize, LipSync::PictureSize);
        box.show();
        lips.setImageLists(BuiltInRoleImages(false), BuiltInRoleImages(true));
        lips.bind(box.hDC());
        lips.setRole(role, GdiPicture());
        QCoreApplication::processEvents();
    }
};

void cost(const char *name, const TTSRole::Role &role)
{
    Face face(role);
    std::vector<double> draw, cpu, paint;
    QElapsedTimer clock;
    for (int round = 0; round < 5; ++round) {
        for (int code = CSAPI_FileID::FirstCode; code <= CSAPI_FileID::LastCode; ++code) {
            const double cpu0 = threadCpuMs();
            clock.start();
            face.lips.ShowMouth(qint16(code));
            draw.push_back(clock.nsecsElapsed() / 1e6);
            cpu.push_back(threadCpuMs() - cpu0);
            clock.start();
            face.box.repaint();
            paint.push_back(clock.nsecsElapsed() / 1e6);
        }
    }
    const Stats d = stats(draw);
    const Stats c = stats(cpu);
    const Stats p = stats(paint);
    std::printf("bench_lipsync: %-18s draw + copy: median %.3f ms, p99 %.3f, worst %.3f "
                "(processor time: mean %.3f ms, p99 %.3f); repaint: median %.3f ms; %zu mouths; "
                "target < 1 ms\n",
        name, d.median, d.p99, d.worst, c.mean, c.p99, p.median, draw.size());
}

// Paint times of the box, one per mouth shown.
class PaintClock : public QObject
{
public:
    std::vector<qint64> paints;
    bool waiting = false;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (waiting && event->type() == QEvent::Paint) {
            paints.push_back(RealAudio::nowNs());
            waiting = false;
        }
        return false;
    }
};

void timing(const char *name, SynthesisEngine *engine, const QString &text, bool firstOfWord,
    RealAudio::MonitorRecorder &recorder)
{
    using namespace RealAudio;
    Face face(TTSRole::RoleFor(QDir::tempPath(), false));
    PaintClock clock;
    face.box.installEventFilter(&clock);
    std::vector<double> skews;
    for (int run = 0; run < 5; ++run) {
        SpVoice voice(nullptr, engine);
        bool wordStarted = false;
        clock.paints.clear();
        QObject::connect(&voice, &SpVoice::Word, [&] { wordStarted = true; });
        QObject::connect(&voice, &SpVoice::Phoneme, [&](int, qint64, int, short, int, short id) {
            face.lips.ShowMouth(id);
            if (firstOfWord && !wordStarted)
                return;
            wordStarted = false;
            clock.waiting = true;
        });
        const qint64 t0 = nowNs();
        voice.Speak(text, SVSFlagsAsync | SVSFIsNotXML);
        while (!voice.WaitUntilDone(5)) { }
        QThread::msleep(200);
        const std::vector<int16_t> heard = recorder.samples();
        const double start = recorder.msAt(t0) - 20;
        std::vector<Segment> syllables;
        for (const Segment &s : soundSegments(heard, MonitorRecorder::Rate, -45, 30)) {
            if (s.startMs >= start)
                syllables.push_back(s);
        }
        for (size_t i = 0; i < std::min(syllables.size(), clock.paints.size()); ++i)
            skews.push_back(recorder.msAt(clock.paints[i]) - syllables[i].startMs);
    }
    if (skews.empty()) {
        std::printf("bench_lipsync: %s: nothing measured\n", name);
        return;
    }
    std::vector<double> sorted = skews;
    std::sort(sorted.begin(), sorted.end());
    double worst = 0;
    for (double s : skews)
        worst = std::max(worst, std::abs(s));
    std::printf("bench_lipsync: %-22s mouth painted vs its syllable's onset: median %+.0f ms, "
                "range %+.0f … %+.0f ms, worst |%.0f| ms over %zu syllables (target within 40)\n",
        name, sorted[sorted.size() / 2], sorted.front(), sorted.back(), worst, skews.size());
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);

    // Cost from each source of pictures.
    QTemporaryDir dir;
    const TTSRole::Role none = TTSRole::RoleFor(dir.path(), false);
    cost("image list:", none);
    // The program's own folder, where the build draws the built-in files.
    TTSRole::Role files = TTSRole::RoleFor(QStringLiteral(PARLO_PROGRAM_FOLDER), false);
    files.userFolder = none.userFolder;
    if (QFileInfo::exists(files.defaultFolder + QStringLiteral("/mic_mouth_2.bmp")))
        cost("built-in files:", files);
    else
        std::printf("bench_lipsync: no built-in files at %s\n", qPrintable(files.defaultFolder));
    TTSRole::Role user = none;
    QDir().mkpath(user.userFolder);
    const ImageList list = BuiltInRoleImages(false);
    const CSAPI_FileID table = [] {
        CSAPI_FileID t;
        t.LoadTBL();
        return t;
    }();
    for (int code = CSAPI_FileID::FirstCode; code <= CSAPI_FileID::LastCode; ++code) {
        const QString mouth = table.MouthForPhone(qint16(code));
        list.Picture(QStringLiteral("M") + mouth)
            .image()
            .save(user.userFolder + QLatin1Char('/') + CSAPI_FileID::CodeName(qint16(code))
                    + QStringLiteral(".bmp"),
                "BMP");
    }
    cost("user's pictures:", user);

    // Against the heard sound.
    AudioSink::setFactory({});
    RealAudio::PrivateServer server;
    RealAudio::MonitorRecorder recorder;
    if (!server.start() || !recorder.start()) {
        std::printf("bench_lipsync: no private sound server (%s)\n", qPrintable(server.why()));
        return 0;
    }
    ScriptedEngine scripted;
    timing("scripted engine:", &scripted,
        QStringLiteral("一，二，三，四，五，六，七，八，九，十，百，千。"), false, recorder);
    timing(
        "espeak-ng:", nullptr, QStringLiteral("一。二。三。四。五。六。七。八。"), true, recorder);
    return 0;
}
