#include "speech/neural/EngineRouter.h"

#include "speech/SpeechEngine.h"
#include "speech/neural/NeuralEngine.h"

#include <chrono>
#include <mutex>
#include <thread>

namespace
{

// One voice's channel: a channel into each engine it has spoken with, the
// engine whose streams are under way, and the requests waiting for them to
// end. Used from the voice's thread; only the notifier is called from the
// engines' threads, and it is handed to them as it is, so an engine never
// waits for this channel's lock while holding its own.
class RoutedChannel : public SynthesisChannel
{
public:
    explicit RoutedChannel(EngineRouter *router)
        : m_router(router)
        , m_channels(router->engineCount())
    {
    }

    void submit(const SpeechRequest &request) override
    {
        const size_t wanted = m_router->engineFor(request.voice);
        std::lock_guard lock(m_mutex);
        if (m_waiting.empty() && (m_outstanding == 0 || m_active == wanted)) {
            start(wanted, request);
            return;
        }
        m_waiting.push_back({wanted, request});
    }

    void purge() override
    {
        std::lock_guard lock(m_mutex);
        m_waiting.clear();
        m_outstanding = 0;
        for (const auto &channel : m_channels) {
            if (channel)
                channel->purge();
        }
    }

    std::deque<SpeechChunk> take() override
    {
        std::lock_guard lock(m_mutex);
        if (!m_channels[m_active])
            return {};
        std::deque<SpeechChunk> chunks = m_channels[m_active]->take();
        for (const SpeechChunk &chunk : chunks) {
            if (chunk.last && m_outstanding > 0)
                --m_outstanding;
        }
        // The streams before have ended: the waiting requests go on, up to
        // the next change of engine.
        while (!m_waiting.empty() && (m_outstanding == 0 || m_waiting.front().engine == m_active)) {
            start(m_waiting.front().engine, m_waiting.front().request);
            m_waiting.pop_front();
        }
        return chunks;
    }

    void setSinkBacklog(qint64 samples) override
    {
        std::lock_guard lock(m_mutex);
        m_backlog = samples;
        for (const auto &channel : m_channels) {
            if (channel)
                channel->setSinkBacklog(samples);
        }
    }

    bool isIdle() const override
    {
        std::lock_guard lock(m_mutex);
        if (!m_waiting.empty())
            return false;
        for (const auto &channel : m_channels) {
            if (channel && !channel->isIdle())
                return false;
        }
        return true;
    }

    bool waitForChunk(int ms) override
    {
        std::shared_ptr<SynthesisChannel> active;
        {
            std::lock_guard lock(m_mutex);
            active = m_channels[m_active];
        }
        if (active)
            return active->waitForChunk(ms);
        std::this_thread::sleep_for(std::chrono::milliseconds(std::max(ms, 0)));
        return false;
    }

    void setNotifier(std::function<void()> notifier) override
    {
        std::lock_guard lock(m_mutex);
        m_notifier = notifier;
        for (const auto &channel : m_channels) {
            if (channel)
                channel->setNotifier(notifier);
        }
    }

    void close()
    {
        std::lock_guard lock(m_mutex);
        m_waiting.clear();
        for (size_t i = 0; i < m_channels.size(); ++i) {
            if (m_channels[i])
                m_router->engine(i).closeChannel(m_channels[i]);
            m_channels[i].reset();
        }
    }

private:
    struct Waiting {
        size_t engine = 0;
        SpeechRequest request;
    };

    // With the lock held.
    void start(size_t engine, const SpeechRequest &request)
    {
        std::shared_ptr<SynthesisChannel> &channel = m_channels[engine];
        if (!channel) {
            channel = m_router->engine(engine).openChannel();
            channel->setSinkBacklog(m_backlog);
            if (m_notifier)
                channel->setNotifier(m_notifier);
        }
        m_active = engine;
        ++m_outstanding;
        channel->submit(request);
    }

    EngineRouter *m_router;
    mutable std::mutex m_mutex;
    std::vector<std::shared_ptr<SynthesisChannel>> m_channels; // by engine, opened when needed
    size_t m_active = 0; // the engine of the streams under way
    int m_outstanding = 0; // streams submitted to it that have not ended
    std::deque<Waiting> m_waiting;
    std::function<void()> m_notifier;
    qint64 m_backlog = 0;
};

} // namespace

EngineRouter::EngineRouter(std::vector<SynthesisEngine *> engines)
    : m_engines(std::move(engines))
{
}

EngineRouter &EngineRouter::instance()
{
    static EngineRouter router({&SpeechEngine::instance(), &NeuralEngine::shared()});
    return router;
}

bool EngineRouter::isAvailable() const
{
    for (SynthesisEngine *engine : m_engines) {
        if (engine->isAvailable())
            return true;
    }
    return false;
}

QList<SpObjectToken> EngineRouter::voices() const
{
    QList<SpObjectToken> all;
    for (SynthesisEngine *engine : m_engines)
        all.append(engine->voices());
    return all;
}

std::shared_ptr<SynthesisChannel> EngineRouter::openChannel()
{
    return std::make_shared<RoutedChannel>(this);
}

void EngineRouter::closeChannel(const std::shared_ptr<SynthesisChannel> &channel)
{
    if (auto routed = std::dynamic_pointer_cast<RoutedChannel>(channel))
        routed->close();
}

bool EngineRouter::speaks(const SpObjectToken &voice) const
{
    for (SynthesisEngine *engine : m_engines) {
        if (engine->speaks(voice))
            return true;
    }
    return false;
}

size_t EngineRouter::engineFor(const SpObjectToken &voice) const
{
    for (size_t i = 0; i < m_engines.size(); ++i) {
        if (m_engines[i]->speaks(voice))
            return i;
    }
    return 0;
}
