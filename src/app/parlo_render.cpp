// parlo-render: renders documents to speech from the command line.
#include "audio/AudioSink.h"
#include "export/Mp3Encoder.h"
#include "render/RenderJobs.h"
#include "render/RenderOptions.h"
#include "render/RenderReport.h"
#include "render/RenderRun.h"
#include "render/RenderVoices.h"
#include "speech/MandarinReading.h"
#include "speech/SpeechEngine.h"
#include "speech/neural/NeuralEngine.h"
#include "system/FileName.h"

#include <QCoreApplication>
#include <QFile>
#include <QScopeGuard>
#include <QThread>

#include <cstdio>
#include <unistd.h>

namespace
{

constexpr int ExitFailed = 1;
constexpr int ExitUsage = 2;
constexpr int ExitInterrupted = 130;

void say(FILE *stream, const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

int usageError(const QString &message)
{
    say(stderr,
        QStringLiteral("parlo-render: %1\n%2\n")
            .arg(message, bilingual("Try 'parlo-render --help'.", "請見 parlo-render --help。")));
    return ExitUsage;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("parlo-render"));
    // The synthesis threads stop, and natural voices' workers end, before
    // what they use is destroyed, also when a reading was cut short (Ctrl+C).
    const auto stopEngine = qScopeGuard([] {
        SpeechEngine::shutdown();
        NeuralEngine::shutdown();
    });
    // Rendering never plays anything: voices get a sink that only counts.
    AudioSink::setFactory([] { return std::make_unique<ImmediateSink>(); });
    // espeak-ng probes the sound server as it starts, whatever its output;
    // a server address that cannot exist keeps it from connecting, and from
    // making the server's folders in the user's home. Workers inherit it.
    qputenv("PULSE_SERVER", "unix:/nonexistent/parlo-render/no-sound-server");

    // From the bytes given: the toolkit's own list loses a file name that
    // is not UTF-8.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(FileName::decode(argv[i]));
    const ParsedArguments parsed = parseRenderArguments(arguments);
    if (!parsed.error.isEmpty())
        return usageError(parsed.error);
    const RenderOptions &options = parsed.options;
    if (options.help) {
        say(stdout, renderHelpText());
        return 0;
    }
    if (options.version) {
        say(stdout,
            QStringLiteral("parlo-render %1.%2.%3\n")
                .arg(PARLO_VERSION_MAJOR)
                .arg(PARLO_VERSION_MINOR)
                .arg(PARLO_VERSION_PATCH));
        return 0;
    }
    if (!options.manPage.isEmpty()) {
        QFile page(options.manPage);
        const QByteArray bytes = renderManPage().toUtf8();
        return page.open(QIODevice::WriteOnly) && page.write(bytes) == bytes.size() ? 0
                                                                                    : ExitFailed;
    }
    StopSignal::install(options.worker);
    if (options.worker)
        return runWorker();
    if (options.showReading) {
        // A character that no table reads shows what the voice says for it.
        SpObjectToken mandarin;
        for (const SpObjectToken &voice : RenderVoices::installed()) {
            if (mandarin.isNull()
                && MandarinReading::isMandarinVoice(voice.engineSettings().espeakVoice))
                mandarin = voice;
        }
        auto unread = [&](const QString &character) {
            const QByteArray said
                = SpeechEngine::instance().phonemeTranscript(character, mandarin, true).trimmed();
            return said.isEmpty() ? character
                                  : character + u'[' + QString::fromUtf8(said).remove(u'\n') + u']';
        };
        for (const QString &text : options.inputs)
            say(stdout, MandarinReadingOf(text, unread) + u'\n');
        return 0;
    }

    RenderVoices::addVoiceFolders(options.voiceDirs);
    const QList<SpObjectToken> voices = RenderVoices::installed();
    // Natural voices that were found but cannot speak are named, with why,
    // wherever the user looks for voices.
    const QString unavailable = RenderVoices::unavailableNote();
    if (!unavailable.isEmpty()
        && (options.listVoices || !options.voiceDirs.isEmpty()
            || (!options.voice.isEmpty() && RenderVoices::find(voices, options.voice).isNull())))
        say(stderr, unavailable);
    if (voices.isEmpty()) {
        say(stderr,
            bilingual("parlo-render: no voice is installed (espeak-ng-data is missing)\n",
                "parlo-render：沒有已安裝的發音人（缺少 espeak-ng-data）\n"));
        return ExitFailed;
    }
    if (options.listVoices) {
        say(stdout, RenderVoices::listing(voices));
        return 0;
    }
    SpObjectToken voice;
    if (!options.voice.isEmpty()) {
        voice = RenderVoices::find(voices, options.voice);
        if (voice.isNull())
            return usageError(bilingual("there is no voice called %1 (see --list-voices)",
                "沒有名為 %1 的發音人（請見 --list-voices）")
                                  .arg(options.voice));
    }
    if (options.mp3 && !Mp3Encoder().isAvailable()) {
        say(stderr,
            bilingual("parlo-render: the MP3 encoder (libmp3lame) is not installed\n",
                "parlo-render：未安裝 MP3 編碼器（libmp3lame）\n"));
        return ExitFailed;
    }

    const StandardInput standardInput = options.inputs.contains(QStringLiteral("-"))
        ? readStandardInput(STDIN_FILENO)
        : StandardInput();
    const JobList list = collectJobs(options, standardInput);
    const bool showProgress = !options.quiet && ::isatty(STDERR_FILENO);
    RenderReport report(int(list.jobs.size()), showProgress, options.quiet);
    for (const QString &error : list.errors)
        report.error(error);
    const int workers = options.jobs > 0 ? options.jobs : QThread::idealThreadCount();
    const bool finished = runJobs(RenderSettings::from(options), voice, list.jobs, workers, report);
    report.close();
    if (!finished) {
        say(stderr, bilingual("parlo-render: interrupted\n", "parlo-render：已中斷\n"));
        return ExitInterrupted;
    }
    return report.counts().failed > 0 ? ExitFailed : 0;
}
