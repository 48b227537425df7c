#include "speech/PieceEngine.h"

#include "speech/SpeechJob.h"

#include <algorithm>
#include <chrono>
#include <deque>

// A voice's link to the engine: its requests and the chunks made for them.
// All state is guarded by the engine's lock; the generation counter lets the
// thread drop a piece that a purge overtook.
class PieceChannel : public SynthesisChannel
{
public:
    explicit PieceChannel(PieceEngine *engine)
        : m_engine(engine)
    {
    }

    void submit(const SpeechRequest &request) override
    {
        auto job = std::make_shared<SpeechJob>(request);
        {
            std::lock_guard lock(m_engine->m_mutex);
            m_jobs.push_back(job);
        }
        m_engine->m_wake.notify_all();
    }
    // The piece being made stops as soon as the engine sees the piece
    // overtaken: espeak-ng at once, a natural voice at the sentence's end.
    void purge() override
    {
        std::lock_guard lock(m_engine->m_mutex);
        ++m_generation;
        m_jobs.clear();
        m_chunks.clear();
        m_chunkSamples = 0;
    }
    std::deque<SpeechChunk> take() override
    {
        std::deque<SpeechChunk> out;
        {
            std::lock_guard lock(m_engine->m_mutex);
            out.swap(m_chunks);
            m_chunkSamples = 0;
        }
        if (!out.empty())
            m_engine->m_wake.notify_all();
        return out;
    }
    void setSinkBacklog(qint64 samples) override
    {
        if (samples < m_sinkBacklog.exchange(samples))
            m_engine->m_wake.notify_all();
    }
    bool isIdle() const override
    {
        std::lock_guard lock(m_engine->m_mutex);
        return m_jobs.empty() && m_chunks.empty() && !m_busy;
    }
    bool waitForChunk(int ms) override
    {
        std::unique_lock lock(m_engine->m_mutex);
        return m_engine->m_produced.wait_for(
            lock, std::chrono::milliseconds(std::max(ms, 0)), [this] { return !m_chunks.empty(); });
    }
    // Called from the thread (with the engine's lock held) after each chunk.
    void setNotifier(std::function<void()> notifier) override
    {
        std::lock_guard lock(m_engine->m_mutex);
        m_notifier = std::move(notifier);
    }

private:
    friend class PieceEngine;
    PieceEngine *m_engine;
    std::deque<std::shared_ptr<SpeechJob>> m_jobs;
    std::deque<SpeechChunk> m_chunks;
    qint64 m_chunkSamples = 0;
    std::atomic<qint64> m_sinkBacklog {0};
    std::atomic<quint64> m_generation {0};
    std::function<void()> m_notifier;
    bool m_busy = false; // the thread is making a piece for this channel
    bool m_closed = false;
};

PieceEngine::PieceEngine(int backlogSeconds)
    : m_backlogSeconds(backlogSeconds)
{
}

PieceEngine::~PieceEngine()
{
    stopThread();
}

std::shared_ptr<SynthesisChannel> PieceEngine::openChannel()
{
    auto channel = std::make_shared<PieceChannel>(this);
    std::lock_guard lock(m_mutex);
    m_channels.push_back(channel);
    startThreadLocked();
    return channel;
}

void PieceEngine::closeChannel(const std::shared_ptr<SynthesisChannel> &closing)
{
    const auto channel = std::dynamic_pointer_cast<PieceChannel>(closing);
    if (!channel)
        return;
    std::lock_guard lock(m_mutex);
    ++channel->m_generation;
    channel->m_closed = true;
    channel->m_jobs.clear();
    channel->m_chunks.clear();
    channel->m_notifier = nullptr;
    m_channels.erase(std::remove(m_channels.begin(), m_channels.end(), channel), m_channels.end());
}

void PieceEngine::startThread()
{
    std::lock_guard lock(m_mutex);
    startThreadLocked();
}

void PieceEngine::startThreadLocked()
{
    if (!m_thread.joinable() && !m_stopping)
        m_thread = std::thread([this] { run(); });
}

void PieceEngine::stopThread()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

bool PieceEngine::runnable(const PieceChannel &channel) const
{
    if (channel.m_closed || channel.m_jobs.empty())
        return false;
    const qint64 limit = qint64(channel.m_jobs.front()->request().outputRate) * m_backlogSeconds;
    return channel.m_chunkSamples + channel.m_sinkBacklog.load() < limit;
}

void PieceEngine::run()
{
    threadStarted();
    for (;;) {
        std::shared_ptr<PieceChannel> channel;
        Piece piece;
        {
            std::unique_lock lock(m_mutex);
            for (;;) {
                if (m_stopping)
                    return;
                const size_t n = m_channels.size();
                for (size_t k = 0; k < n; ++k) {
                    const size_t index = (m_nextChannel + k) % n;
                    if (runnable(*m_channels[index])) {
                        channel = m_channels[index];
                        m_nextChannel = index + 1;
                        break;
                    }
                }
                if (channel)
                    break;
                // Backlogs shrink as sinks play; a short timeout keeps the
                // thread from depending on every such change being signalled.
                m_wake.wait_for(lock, std::chrono::milliseconds(20));
            }
            piece.job = channel->m_jobs.front();
            piece.generation = &channel->m_generation;
            piece.wanted = channel->m_generation.load();
            channel->m_busy = true;
        }
        SpeechChunk chunk = piece.job->next(voices(),
            [&](const SpeechRequest &request, const SapiXmlParser::Run &run, int from, int to,
                const SpObjectToken &voice,
                SpeechChunk *out) { synthesize(piece, request, run, from, to, voice, out); });
        std::lock_guard lock(m_mutex);
        channel->m_busy = false;
        if (channel->m_closed || piece.overtaken() || channel->m_jobs.empty()
            || channel->m_jobs.front() != piece.job)
            continue;
        if (chunk.last)
            channel->m_jobs.pop_front();
        channel->m_chunkSamples += qint64(chunk.pcm.size());
        channel->m_chunks.push_back(std::move(chunk));
        const qint64 backlog = channel->m_chunkSamples + channel->m_sinkBacklog.load();
        if (backlog > m_backlogHighWater.load())
            m_backlogHighWater.store(backlog);
        if (channel->m_notifier)
            channel->m_notifier();
        m_produced.notify_all();
    }
}
