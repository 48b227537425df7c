#include "speech/SpeechChannel.h"

#include "speech/SpeechEngine.h"
#include "speech/SpeechJob.h"

#include <chrono>

SpeechChannel::SpeechChannel(SpeechEngine *engine)
    : m_engine(engine)
{
}

void SpeechChannel::submit(const SpeechRequest &request)
{
    auto job = std::make_shared<SpeechJob>(request);
    {
        std::lock_guard lock(m_engine->m_mutex);
        m_jobs.push_back(job);
    }
    m_engine->m_wake.notify_all();
}

void SpeechChannel::purge()
{
    std::lock_guard lock(m_engine->m_mutex);
    ++m_generation;
    m_jobs.clear();
    m_chunks.clear();
    m_chunkSamples = 0;
}

std::deque<SpeechChunk> SpeechChannel::take()
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

void SpeechChannel::setSinkBacklog(qint64 samples)
{
    const qint64 before = m_sinkBacklog.exchange(samples);
    if (samples < before)
        m_engine->m_wake.notify_all();
}

bool SpeechChannel::isIdle() const
{
    std::lock_guard lock(m_engine->m_mutex);
    return m_jobs.empty() && m_chunks.empty() && !m_busy;
}

bool SpeechChannel::waitForChunk(int ms)
{
    std::unique_lock lock(m_engine->m_mutex);
    return m_engine->m_produced.wait_for(
        lock, std::chrono::milliseconds(std::max(ms, 0)), [this] { return !m_chunks.empty(); });
}

void SpeechChannel::setNotifier(std::function<void()> notifier)
{
    std::lock_guard lock(m_engine->m_mutex);
    m_notifier = std::move(notifier);
}
