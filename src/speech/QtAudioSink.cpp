#include "speech/QtAudioSink.h"

#include <QAudioFormat>
#include <QAudioSink>
#include <algorithm>

QtAudioSink::QtAudioSink(const QAudioDevice &device)
    : m_device(device)
{
    // The voice produces 22,050 Hz; a device that refuses it gets its own
    // preferred rate and the voice resamples.
    QAudioFormat format;
    format.setSampleRate(22050);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    if (!m_device.isFormatSupported(format)) {
        const int preferred = m_device.preferredFormat().sampleRate();
        if (preferred > 0)
            format.setSampleRate(preferred);
    }
    m_rate = format.sampleRate();
    m_sink = std::make_unique<QAudioSink>(m_device, format);
    m_sink->setBufferSize(m_rate / 5 * 2); // 200 ms
    open();
}

QtAudioSink::~QtAudioSink()
{
    if (m_sink)
        m_sink->stop();
}

void QtAudioSink::open()
{
    m_io = m_sink->start();
    if (!m_io || m_sink->error() == QAudio::OpenError || m_sink->error() == QAudio::FatalError)
        m_failed = true;
    if (m_suspended && !m_failed)
        m_sink->suspend();
    m_processedAtOpen = m_failed ? 0 : m_sink->processedUSecs();
}

void QtAudioSink::write(const int16_t *samples, qint64 count)
{
    if (count <= 0)
        return;
    m_pending.append(reinterpret_cast<const char *>(samples), qsizetype(count * 2));
    m_written += count;
    pump();
}

void QtAudioSink::pump()
{
    if (m_failed || !m_io || m_suspended)
        return;
    while (m_pendingOffset < m_pending.size()) {
        const qsizetype free = m_sink->bytesFree() & ~qsizetype(1);
        if (free <= 0)
            break;
        const qsizetype n = std::min(free, m_pending.size() - m_pendingOffset);
        const qint64 done = m_io->write(m_pending.constData() + m_pendingOffset, n);
        if (done <= 0)
            break;
        m_pendingOffset += done;
    }
    if (m_pendingOffset == m_pending.size()) {
        m_pending.clear();
        m_pendingOffset = 0;
    } else if (m_pendingOffset > (1 << 20)) {
        m_pending.remove(0, m_pendingOffset);
        m_pendingOffset = 0;
    }
}

qint64 QtAudioSink::played() const
{
    if (m_failed || !m_sink)
        return m_written;
    const qint64 usecs = std::max<qint64>(m_sink->processedUSecs() - m_processedAtOpen, 0);
    const qint64 processed = usecs * m_rate / 1000000;
    // What the device has taken is still in its buffer for a while; only
    // what has left the buffer is heard.
    const qint64 inDevice = std::max<qint64>(m_sink->bufferSize() - m_sink->bytesFree(), 0) / 2;
    const qint64 heard = std::clamp(m_base + processed - inDevice, m_base, m_written);
    m_lastPlayed = std::max(m_lastPlayed, heard);
    return m_lastPlayed;
}

void QtAudioSink::suspend()
{
    m_suspended = true;
    if (m_sink && !m_failed)
        m_sink->suspend();
}

void QtAudioSink::resume()
{
    m_suspended = false;
    if (m_sink && !m_failed)
        m_sink->resume();
    pump();
}

void QtAudioSink::discard()
{
    m_pending.clear();
    m_pendingOffset = 0;
    m_base = m_written;
    m_lastPlayed = m_written;
    if (m_sink && !m_failed) {
        m_sink->reset();
        open();
    }
}

bool QtAudioSink::hasFailed() const
{
    if (m_failed)
        return true;
    if (!m_sink)
        return true;
    const QAudio::Error e = m_sink->error();
    return e == QAudio::OpenError || e == QAudio::IOError || e == QAudio::FatalError;
}
