#include "audio/AudioSink.h"

#include "audio/PulseSink.h"
#include "system/Log.h"

#include <QElapsedTimer>
#include <algorithm>
#include <mutex>

namespace
{

std::mutex &factoryMutex()
{
    static std::mutex mutex;
    return mutex;
}

AudioSink::Factory &factorySlot()
{
    static AudioSink::Factory factory;
    return factory;
}

} // namespace

AudioSink::~AudioSink() = default;

void AudioSink::setFactory(Factory factory)
{
    std::lock_guard lock(factoryMutex());
    factorySlot() = std::move(factory);
}

std::unique_ptr<AudioSink> AudioSink::create()
{
    Factory factory;
    {
        std::lock_guard lock(factoryMutex());
        factory = factorySlot();
    }
    if (factory) {
        if (auto sink = factory())
            return sink;
    }
    return createDefault();
}

std::unique_ptr<AudioSink> AudioSink::createDefault()
{
    if (auto sink = PulseSink::open())
        return sink;
    auto silent = std::make_unique<SilentSink>();
    silent->setStandsInForDevice(true);
    return silent;
}

ImmediateSink::ImmediateSink(int sampleRate)
    : m_rate(sampleRate)
{
}

void ImmediateSink::write(const int16_t *, qint64 count)
{
    m_written += std::max<qint64>(count, 0);
}

qint64 ImmediateSink::played() const
{
    return m_suspended ? m_heldAt : m_written;
}

void ImmediateSink::suspend()
{
    if (!m_suspended)
        m_heldAt = m_written;
    m_suspended = true;
}

void ImmediateSink::resume()
{
    m_suspended = false;
}

void ImmediateSink::discard()
{
    m_heldAt = m_written;
}

SilentSink::SilentSink(int sampleRate, Clock clock)
    : m_rate(sampleRate)
    , m_clock(std::move(clock))
{
    if (!m_clock) {
        auto timer = std::make_shared<QElapsedTimer>();
        timer->start();
        m_clock = [timer] { return timer->elapsed(); };
    }
    m_anchorTime = m_clock();
}

qint64 SilentSink::played() const
{
    if (m_suspended)
        return m_anchorPlayed;
    const qint64 elapsed = std::max<qint64>(m_clock() - m_anchorTime, 0);
    return std::min(m_written, m_anchorPlayed + elapsed * m_rate / 1000);
}

void SilentSink::write(const int16_t *, qint64 count)
{
    if (count <= 0)
        return;
    // A starved clock must not bank the idle time as credit for new audio.
    if (!m_suspended && played() >= m_written) {
        m_anchorPlayed = m_written;
        m_anchorTime = m_clock();
    }
    m_written += count;
}

void SilentSink::suspend()
{
    if (m_suspended)
        return;
    m_anchorPlayed = played();
    m_suspended = true;
}

void SilentSink::resume()
{
    if (!m_suspended)
        return;
    m_suspended = false;
    m_anchorTime = m_clock();
}

void SilentSink::discard()
{
    m_anchorPlayed = m_written;
    m_anchorTime = m_clock();
}
