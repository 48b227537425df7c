// The natural (neural) voices: sherpa-onnx voices that users unpack into
// voice folders (~/.local/share/Parlo/voices/NAME/, and folders added for
// parlo-render's --voice-dir), spoken by parlo-neural-worker.js under
// Node.js, since the runtime comes as an npm package only.
//
// One synthesis thread serves every channel, a piece at a time in turn, the
// PieceEngine way shared with espeak-ng's engine: a request is parsed and
// cut into sentences by the same SpeechJob (markup, silences, bookmarks and
// voice changes included), each sentence is sent to the worker of its voice,
// and its chunk is handed over as soon as its sound is back, with the events
// SyllableAligner times from that sound. The thread starts with the first
// channel. A purge lets the sentence a worker is making go on to its end,
// unheard.
//
// Workers: one process per voice in use, started at the first sentence in
// that voice and shared by every channel speaking with it; all of them end
// when the engine is destroyed or shut down (the shared engine is shut down
// when the application object goes). A worker that dies is started again,
// and given the sentence it was asked for once more; a voice that will not
// load is tried again at the next request, not at every sentence.
//
// When Node.js, the runtime or the worker script is missing, voices() is
// empty and status() says why, in words for the user; the voice folders are
// still listed by foundVoices(). A request for a voice that cannot speak
// (missing runtime, a model that fails to load, a sentence the model fails
// on) still yields its chunks, without sound, so its stream ends as usual;
// each failure leaves a line in the parlo.neural logging category.
#pragma once

#include "speech/PieceEngine.h"

#include <QString>

#include <map>
#include <memory>
#include <mutex>

class NeuralEngine : public PieceEngine
{
public:
    enum class Problem {
        None,
        NoNode, // no node executable
        NoRuntime, // sherpa-onnx-node is not installed in the runtime prefix
        NoWorker, // parlo-neural-worker.js is neither beside the program nor in the sources
    };

    // Where the engine finds what it runs; empty fields take the defaults.
    struct Setup {
        QString node; // default: "node" on PATH
        // default: $PARLO_NEURAL_RUNTIME, else ~/.local/share/Parlo/runtime
        QString runtimePrefix;
        // default: neural/parlo-neural-worker.js beside the program, else in
        // the source tree the program was built from
        QString workerScript;
        bool userVoiceFolder = true; // look in defaultVoiceFolder()
    };

    NeuralEngine();
    explicit NeuralEngine(const Setup &setup);
    ~NeuralEngine() override;

    // The engine of the program's default voice list, made at first use.
    static NeuralEngine &shared();
    // Stops the shared engine's thread and ends its workers, if it was made.
    static void shutdown();

    // ~/.local/share/Parlo/voices (the generic data folder of the platform).
    static QString defaultVoiceFolder();
    static QString defaultRuntimePrefix();

    // Adds the voices in `folder`: the folder itself when it is a voice,
    // else each voice folder in it. A voice already listed is not repeated.
    void addVoiceFolder(const QString &folder);

    // True when voices() is not empty.
    bool isAvailable() const override;
    // One token per voice folder, in the order found; empty while problem()
    // is not None.
    QList<SpObjectToken> voices() const override;
    // The voice folders found, whether or not they can speak.
    QList<SpObjectToken> foundVoices() const;
    Problem problem() const { return m_problem; }
    // Why there are no natural voices, for the user ("Node.js not found:
    // ..."); empty when nothing is missing.
    QString status() const { return m_status; }
    // The last failure of a voice or a sentence, for the user; empty if none.
    QString lastError() const;
    // Why the voice folders found cannot be offered, in English or in
    // Chinese ("their runtime is not installed (run …)"); empty when nothing
    // is missing or no voice was found.
    QString unavailableReason(bool chinese) const;

    // Every natural voice, also while it cannot speak: its requests then
    // end silently here, with the reason logged, rather than go elsewhere.
    bool speaks(const SpObjectToken &voice) const override { return isNeuralVoice(voice); }

    // Whether a token is one of this engine's, and its voice folder.
    static bool isNeuralVoice(const SpObjectToken &token);
    static QString folderOf(const SpObjectToken &token);

    // Process ids of the workers running now.
    QList<qint64> workerProcesses() const;

private:
    struct Model;

    Model *modelFor(const SpObjectToken &voice, const std::shared_ptr<SpeechJob> &job);
    void synthesize(const Piece &piece, const SpeechRequest &request, const SapiXmlParser::Run &run,
        int from, int to, const SpObjectToken &voice, SpeechChunk *out) override;
    void endModels();
    void fail(const QString &message);

    Setup m_setup;
    Problem m_problem = Problem::None;
    QString m_status;

    mutable std::mutex m_voicesMutex; // the voice list
    QList<SpObjectToken> m_found;

    mutable std::mutex m_mutex; // worker pids; last error
    QList<qint64> m_pids;
    QString m_lastError;

    // Touched by the synthesis thread only (and after it has stopped).
    std::map<QString, std::unique_ptr<Model>> m_models;
};
