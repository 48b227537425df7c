// What the engines that make speech a piece at a time on one thread share:
// their channels, and the thread that serves them. Each voice owns a channel
// into which it submits requests; the thread takes one piece of work (a
// sentence, a silence, a bookmark, as SpeechJob cuts them) at a time from the
// channels in turn, so two voices speaking at once are interleaved sentence by
// sentence. A channel is not worked on while it holds more than a few seconds
// of unheard audio, which bounds memory however long the text is.
//
// An engine says how the text of a piece becomes sound (synthesize()), how
// many seconds a channel may hold, and what its thread does first. Markup
// voice queries are resolved against voices().
//
// Implementations: SpeechEngine (espeak-ng) and NeuralEngine (natural voices).
#pragma once

#include "speech/SapiXmlParser.h"
#include "speech/SynthesisEngine.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

class PieceChannel;
class SpeechJob;

class PieceEngine : public SynthesisEngine
{
public:
    // Starts the thread, if it was not yet, unless the engine was stopped.
    std::shared_ptr<SynthesisChannel> openChannel() override;
    void closeChannel(const std::shared_ptr<SynthesisChannel> &channel) override;

    // Largest unheard backlog, in samples, reached by any channel so far.
    qint64 backlogHighWater() const { return m_backlogHighWater.load(); }

    ~PieceEngine() override;

    // The piece being made for a channel.
    struct Piece {
        std::shared_ptr<SpeechJob> job;
        const std::atomic<quint64> *generation = nullptr;
        quint64 wanted = 0;
        // True once the channel was purged or closed: what is made for the
        // piece will be dropped.
        bool overtaken() const { return generation->load() != wanted; }
    };

protected:
    // `backlogSeconds`: unheard audio a channel may hold before the thread
    // turns to other work.
    explicit PieceEngine(int backlogSeconds);

    // Starts the thread now rather than at the first channel.
    void startThread();
    // Stops the thread and waits for it; it is not started again. A derived
    // engine calls this before its own members go, since the thread uses them.
    void stopThread();
    const std::atomic<bool> &stopping() const { return m_stopping; }

    // Called on the thread before it serves any channel.
    virtual void threadStarted() { }
    // Makes the sound and events of run.text[from, to) spoken by `voice`
    // into `out` (whose events may already hold a VoiceChange); on the thread.
    virtual void synthesize(const Piece &piece, const SpeechRequest &request,
        const SapiXmlParser::Run &run, int from, int to, const SpObjectToken &voice,
        SpeechChunk *out)
        = 0;

private:
    friend class PieceChannel;

    void startThreadLocked();
    void run();
    bool runnable(const PieceChannel &channel) const;

    const int m_backlogSeconds;
    mutable std::mutex m_mutex; // channels, their queues and chunks
    std::condition_variable m_wake;
    std::condition_variable m_produced;
    std::vector<std::shared_ptr<PieceChannel>> m_channels;
    size_t m_nextChannel = 0;
    std::atomic<bool> m_stopping {false};
    std::thread m_thread;
    std::atomic<qint64> m_backlogHighWater {0};
};
