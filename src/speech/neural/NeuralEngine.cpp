#include "speech/neural/NeuralEngine.h"

#include "audio/Resampler.h"
#include "speech/SpeechJob.h"
#include "speech/VoiceCatalogue.h"
#include "speech/neural/NeuralPiece.h"
#include "speech/neural/NeuralProcess.h"
#include "speech/neural/NeuralVoiceFolder.h"
#include "system/Log.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

#include <algorithm>
#include <cmath>
#include <optional>

namespace
{

// Unheard audio a channel may hold before the thread turns to other work.
// More than espeak-ng's three seconds: a natural voice takes a good part of
// a sentence's length to make it.
constexpr int BacklogSeconds = 5;
// The worker's speed at rate step 10 (and its inverse at -10).
constexpr double SpeedRange = 3.0;
// Every voice speaks as its first speaker.
constexpr int Speaker = 0;

const QString WorkerScript = QStringLiteral("parlo-neural-worker.js");
const QString RuntimePackage = QStringLiteral("node_modules/sherpa-onnx-node/package.json");

QString findNode(const QString &given)
{
    if (!given.isEmpty())
        return QFileInfo(given).isExecutable() ? given : QString();
    for (const QString &name : {QStringLiteral("node"), QStringLiteral("nodejs")}) {
        const QString found = QStandardPaths::findExecutable(name);
        if (!found.isEmpty())
            return found;
    }
    return QString();
}

// The worker beside the program (the build copies it there, an installation
// puts it there), else in the sources the program was built from.
QString findWorker(const QString &given)
{
    if (!given.isEmpty())
        return QFileInfo(given).isFile() ? given : QString();
    QStringList candidates;
    if (QCoreApplication::instance())
        candidates << QCoreApplication::applicationDirPath() + QStringLiteral("/neural/")
                + WorkerScript;
#ifdef PARLO_NEURAL_SOURCE_DIR
    candidates << QStringLiteral(PARLO_NEURAL_SOURCE_DIR "/") + WorkerScript;
#endif
    for (const QString &path : candidates) {
        if (QFileInfo(path).isFile())
            return path;
    }
    return QString();
}

// The worker's speed for a piece: the voice's rate step with the markup's,
// three times faster at the top as espeak-ng's words per minute go.
double speedFor(const SpeechRequest &request, const SapiXmlParser::Run &run)
{
    int rate = run.rateAbsolute ? run.rate : std::clamp(request.rate + run.rate, -10, 10);
    if (run.emphasis)
        rate = std::max(rate - 1, -10);
    return std::pow(SpeedRange, rate / 10.0);
}

QString keyFor(const QString &folder, const QList<SpObjectToken> &taken)
{
    static const QRegularExpression unsafe(QStringLiteral("[^A-Za-z0-9_-]"));
    QString base = QStringLiteral("Neural_") + QDir(folder).dirName();
    base.replace(unsafe, QStringLiteral("_"));
    QString key = base;
    auto used = [&](const QString &k) {
        return std::any_of(taken.begin(), taken.end(),
            [&](const SpObjectToken &t) { return t.Id() == SpObjectToken::tokenRoot() + k; });
    };
    for (int n = 2; used(key); ++n)
        key = base + u'_' + QString::number(n);
    return key;
}

} // namespace

// ---- the engine ------------------------------------------------------------

// A voice in use: its worker and how it is sent text.
struct NeuralEngine::Model {
    QString name;
    NeuralProcess process;
    NeuralPiece::Reading reading = NeuralPiece::Reading::AsWritten;
    // The request during which the voice last failed to start; it is not
    // tried again for that request.
    std::weak_ptr<SpeechJob> failedFor;
};

namespace
{
std::atomic<NeuralEngine *> g_shared {nullptr};
}

NeuralEngine &NeuralEngine::shared()
{
    static NeuralEngine engine;
    static std::once_flag once;
    std::call_once(once, [] {
        g_shared = &engine;
        // The thread and the workers end before what they use is destroyed,
        // and before the program's own end, also when it ends by a signal
        // that quits the event loop.
        if (QCoreApplication::instance())
            qAddPostRoutine(&NeuralEngine::shutdown);
    });
    return engine;
}

void NeuralEngine::shutdown()
{
    if (NeuralEngine *engine = g_shared.load()) {
        engine->stopThread();
        engine->endModels();
    }
}

QString NeuralEngine::defaultVoiceFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
        + QStringLiteral("/Parlo/voices");
}

QString NeuralEngine::defaultRuntimePrefix()
{
    const QString given = qEnvironmentVariable("PARLO_NEURAL_RUNTIME");
    if (!given.isEmpty())
        return given;
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
        + QStringLiteral("/Parlo/runtime");
}

NeuralEngine::NeuralEngine()
    : NeuralEngine(Setup())
{
}

NeuralEngine::NeuralEngine(const Setup &setup)
    : PieceEngine(BacklogSeconds)
    , m_setup(setup)
{
    if (m_setup.runtimePrefix.isEmpty())
        m_setup.runtimePrefix = defaultRuntimePrefix();
    const QString node = findNode(m_setup.node);
    const QString worker = findWorker(m_setup.workerScript);
    if (node.isEmpty()) {
        m_problem = Problem::NoNode;
        m_status = QStringLiteral("Node.js not found: install the Debian package nodejs");
    } else if (!QFileInfo(m_setup.runtimePrefix + u'/' + RuntimePackage).isFile()) {
        m_problem = Problem::NoRuntime;
        m_status
            = QStringLiteral("runtime not installed in %1: run tools/install-neural-runtime.sh")
                  .arg(m_setup.runtimePrefix);
    } else if (worker.isEmpty()) {
        m_problem = Problem::NoWorker;
        m_status
            = QStringLiteral("the voice worker (%1) is not beside the program").arg(WorkerScript);
    }
    m_setup.node = node;
    m_setup.workerScript = worker;
    if (m_setup.userVoiceFolder)
        addVoiceFolder(defaultVoiceFolder());
}

NeuralEngine::~NeuralEngine()
{
    stopThread();
    endModels();
}

void NeuralEngine::addVoiceFolder(const QString &folder)
{
    const QStringList found = NeuralVoiceFolder::voiceFoldersIn(folder);
    std::lock_guard lock(m_voicesMutex);
    for (const QString &path : found) {
        const bool known = std::any_of(m_found.begin(), m_found.end(),
            [&](const SpObjectToken &t) { return folderOf(t) == path; });
        if (known)
            continue;
        const NeuralVoiceFolder::Description d = NeuralVoiceFolder::describe(path);
        m_found.append(VoiceCatalogue::neuralVoice(
            keyFor(path, m_found), d.name, d.language, d.gender, d.folder));
    }
    if (!found.isEmpty() && m_problem != Problem::None)
        qCWarning(lcNeural).noquote()
            << "the natural voices in" << folder << "cannot speak:" << m_status;
}

bool NeuralEngine::isAvailable() const
{
    return !voices().isEmpty();
}

QList<SpObjectToken> NeuralEngine::voices() const
{
    if (m_problem != Problem::None)
        return {};
    return foundVoices();
}

QList<SpObjectToken> NeuralEngine::foundVoices() const
{
    std::lock_guard lock(m_voicesMutex);
    return m_found;
}

QString NeuralEngine::unavailableReason(bool chinese) const
{
    if (foundVoices().isEmpty())
        return QString();
    switch (m_problem) {
    case Problem::None:
        break;
    case Problem::NoNode:
        return chinese ? QStringLiteral("未安裝 Node.js（Debian 套件 nodejs）")
                       : QStringLiteral("Node.js is not installed (the Debian package nodejs)");
    case Problem::NoRuntime:
        return chinese
            ? QStringLiteral("未安裝其執行環境（請執行 tools/install-neural-runtime.sh）")
            : QStringLiteral(
                "their runtime is not installed (run tools/install-neural-runtime.sh)");
    case Problem::NoWorker:
        return chinese ? QStringLiteral("程式旁缺少 parlo-neural-worker.js")
                       : QStringLiteral("parlo-neural-worker.js is missing beside the program");
    }
    return QString();
}

QString NeuralEngine::lastError() const
{
    std::lock_guard lock(m_mutex);
    return m_lastError;
}

bool NeuralEngine::isNeuralVoice(const SpObjectToken &token)
{
    return !folderOf(token).isEmpty();
}

QString NeuralEngine::folderOf(const SpObjectToken &token)
{
    return token.GetAttribute(VoiceCatalogue::NeuralAttribute);
}

QList<qint64> NeuralEngine::workerProcesses() const
{
    std::lock_guard lock(m_mutex);
    return m_pids;
}

void NeuralEngine::endModels()
{
    m_models.clear();
    std::lock_guard lock(m_mutex);
    m_pids.clear();
}

void NeuralEngine::fail(const QString &message)
{
    qCWarning(lcNeural).noquote() << message;
    std::lock_guard lock(m_mutex);
    m_lastError = message;
}

NeuralEngine::Model *NeuralEngine::modelFor(
    const SpObjectToken &voice, const std::shared_ptr<SpeechJob> &job)
{
    const QString folder = folderOf(voice);
    if (folder.isEmpty()) {
        fail(QStringLiteral("%1 is not a natural voice").arg(voice.GetDescription()));
        return nullptr;
    }
    std::unique_ptr<Model> &model = m_models[folder];
    if (!model) {
        model = std::make_unique<Model>();
        model->name = voice.GetDescription();
    }
    if (model->process.running())
        return model.get();
    if (model->failedFor.lock() == job)
        return nullptr;
    auto failed = [&](const QString &why) {
        model->failedFor = job;
        fail(QStringLiteral("%1: %2").arg(model->name, why));
        return nullptr;
    };
    if (m_problem != Problem::None)
        return failed(m_status);
    NeuralProcess::Voice loaded;
    QString error;
    const NeuralProcess::Launch launch {m_setup.node, m_setup.workerScript, m_setup.runtimePrefix};
    if (!model->process.start(launch, folder, &loaded, &error, &stopping()))
        return failed(error);
    // Our readings where the voice spells pinyin; characters to any other
    // Chinese voice, whose own lexicon then reads them.
    const QString language = NeuralVoiceFolder::describe(folder).language.toLower();
    if (NeuralVoiceFolder::lexiconTakesPinyin(folder))
        model->reading = NeuralPiece::Reading::Pinyin;
    else if (language.startsWith(u"zh") || language.startsWith(u"cmn"))
        model->reading = NeuralPiece::Reading::Characters;
    else
        model->reading = NeuralPiece::Reading::AsWritten;
    qCDebug(lcNeural) << model->name << "loaded:" << loaded.sampleRate << "Hz," << loaded.speakers
                      << "speakers, reading" << int(model->reading);
    std::lock_guard lock(m_mutex);
    m_pids.append(model->process.pid());
    return model.get();
}

void NeuralEngine::synthesize(const Piece &piece, const SpeechRequest &request,
    const SapiXmlParser::Run &run, int from, int to, const SpObjectToken &voice, SpeechChunk *out)
{
    NeuralProcess::Audio audio;
    Model *model = nullptr;
    std::optional<NeuralPiece::Piece> prepared;
    // A worker that died before the sentence reached it (killed
    // from outside, out of memory) is started again for it once.
    for (int attempt = 1;; ++attempt) {
        model = modelFor(voice, piece.job);
        if (!model)
            return;
        if (!prepared)
            prepared = NeuralPiece::prepare(run, from, to, model->reading);
        if (prepared->text.isEmpty())
            return;
        QString error;
        const qint64 pid = model->process.pid();
        if (model->process.speak(prepared->text, Speaker, speedFor(request, run), &audio, &error))
            break;
        if (stopping())
            return;
        const bool died = !model->process.running();
        if (died) {
            std::lock_guard lock(m_mutex);
            m_pids.removeAll(pid);
        }
        if (!died || attempt == 2) {
            fail(QStringLiteral("%1: %2").arg(model->name, error));
            return;
        }
        qCWarning(lcNeural).noquote() << model->name << error << "- starting it again";
    }
    if (piece.overtaken() || audio.sampleRate <= 0)
        return;
    std::vector<SpeechEvent> events = NeuralPiece::events(*prepared, audio.pcm, audio.sampleRate);
    const double gain = (request.volume / 100.0) * (run.volume / 100.0);
    if (gain < 1.0) {
        for (int16_t &s : audio.pcm)
            s = int16_t(std::lround(s * gain));
    }
    if (request.outputRate != audio.sampleRate) {
        out->pcm = Resampler::convert(
            audio.pcm.data(), audio.pcm.size(), audio.sampleRate, request.outputRate);
        for (SpeechEvent &e : events)
            e.sample = Resampler::mapPosition(e.sample, audio.sampleRate, request.outputRate);
    } else {
        out->pcm = std::move(audio.pcm);
    }
    const qint64 length = qint64(out->pcm.size());
    for (SpeechEvent &e : events) {
        e.sample = std::clamp<qint64>(e.sample, 0, length);
        out->events.push_back(std::move(e));
    }
}
