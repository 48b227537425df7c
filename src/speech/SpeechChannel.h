// The espeak-ng engine's channel: requests queued by one voice (on its
// thread) for the engine's worker, and the chunks the worker made for it.
// All state is guarded by the engine's lock; the generation counter lets the
// worker drop a piece that a purge overtook.
#pragma once

#include "speech/SynthesisEngine.h"

#include <atomic>

class SpeechEngine;
class SpeechJob;

class SpeechChannel : public SynthesisChannel
{
public:
    void submit(const SpeechRequest &request) override;
    // Also stops the piece being made, at once.
    void purge() override;
    std::deque<SpeechChunk> take() override;
    void setSinkBacklog(qint64 samples) override;
    bool isIdle() const override;
    bool waitForChunk(int ms) override;
    // Called from the worker (with the engine's lock held) after each chunk.
    void setNotifier(std::function<void()> notifier) override;

private:
    friend class SpeechEngine;
    explicit SpeechChannel(SpeechEngine *engine);

    SpeechEngine *m_engine;
    std::deque<std::shared_ptr<SpeechJob>> m_jobs;
    std::deque<SpeechChunk> m_chunks;
    qint64 m_chunkSamples = 0;
    std::atomic<qint64> m_sinkBacklog {0};
    std::atomic<quint64> m_generation {0};
    std::function<void()> m_notifier;
    bool m_busy = false; // the worker is making a piece for this channel
    bool m_closed = false;
};
