#include "speech/SpVoice.h"

#include "audio/AudioSink.h"
#include "audio/Resampler.h"
#include "speech/SapiXmlParser.h"
#include "speech/SpFileStream.h"
#include "speech/VoiceCatalogue.h"
#include "system/Log.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QStringDecoder>
#include <algorithm>

namespace
{

// Writes into a file stream; what is written counts as heard at once (so the
// file is produced as fast as the engine goes), except while paused.
class FileSink : public ImmediateSink
{
public:
    explicit FileSink(SpFileStream *file)
        : ImmediateSink(file->sampleRate())
        , m_file(file)
    {
    }
    void write(const int16_t *samples, qint64 count) override
    {
        m_file->writeSamples(samples, count);
        ImmediateSink::write(samples, count);
    }

private:
    SpFileStream *m_file;
};

constexpr int PollIntervalMs = 10;

QString readTextFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    const QByteArray bytes = file.read(4 * 1024 * 1024);
    auto encoding = QStringConverter::encodingForData(bytes);
    QStringDecoder decoder(encoding.value_or(QStringConverter::Utf8));
    return decoder.decode(bytes);
}

} // namespace

SpVoice::SpVoice(QObject *parent, SynthesisEngine *engine)
    : QObject(parent)
    , m_engine(engine ? *engine : SynthesisEngine::defaultEngine())
    , m_pollRequested(std::make_shared<std::atomic<bool>>(false))
{
    m_channel = m_engine.openChannel();
    const QList<SpObjectToken> voices = m_engine.voices();
    if (!voices.isEmpty())
        m_voice = voices.first();
    m_timer.setInterval(PollIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &SpVoice::poll);
    // The worker announces new audio so that events come without waiting for
    // the next tick; requests are coalesced so the queue never floods.
    auto requested = m_pollRequested;
    m_channel->setNotifier([this, requested] {
        if (!requested->exchange(true))
            QMetaObject::invokeMethod(this, &SpVoice::poll, Qt::QueuedConnection);
    });
    // Open the output now, so the first reading does not wait for it.
    ensureSink();
}

SpVoice::~SpVoice()
{
    // Nothing may reach this voice once teardown starts: no tick, no worker
    // notification, no poll from a nested event loop.
    m_destroying = true;
    m_timer.stop();
    m_engine.closeChannel(m_channel);
    m_sink.reset();
}

void SpVoice::setRate(int rate)
{
    m_rate = std::clamp(rate, -10, 10);
}

void SpVoice::setVolume(int volume)
{
    m_volume = std::clamp(volume, 0, 100);
}

void SpVoice::setVoice(const SpObjectToken &token)
{
    if (!token.isNull())
        m_voice = token;
}

QList<SpObjectToken> SpVoice::GetVoices(const QString &required, const QString &optional) const
{
    return VoiceCatalogue::select(m_engine.voices(), required, optional);
}

void SpVoice::setAudioOutputStream(SpFileStream *stream)
{
    m_output = stream;
    // Switch at once, so a released file stream is never written again; a
    // stream still under way carries on in the new place.
    ensureSink();
}

qint64 SpVoice::writtenTimeline() const
{
    return m_sinkBase + (m_sink ? m_sink->written() : 0);
}

qint64 SpVoice::playedTimeline() const
{
    return m_sinkBase + (m_sink ? m_sink->played() : 0);
}

void SpVoice::replaceSink(std::unique_ptr<AudioSink> sink, SpFileStream *file)
{
    if (m_sink)
        m_sinkBase += m_sink->written();
    m_sink = std::move(sink);
    m_sinkFile = file;
    if (m_paused)
        m_sink->suspend();
}

void SpVoice::fallBackToSilence()
{
    // The device is gone: what it had not played yet is played by the clock,
    // so the events keep their pace.
    const qint64 heard = m_sink->played();
    const qint64 unheard = m_sink->written() - heard;
    qCWarning(lcAudio) << "audio output failed; reading on in silence";
    auto silent = std::make_unique<SilentSink>(m_sink->sampleRate());
    silent->setStandsInForDevice(true);
    m_sinkBase += heard;
    m_sink = std::move(silent);
    m_sinkFile = nullptr;
    if (m_paused)
        m_sink->suspend();
    if (unheard > 0) {
        const std::vector<int16_t> zeros(size_t(unheard), 0);
        m_sink->write(zeros.data(), unheard);
    }
}

void SpVoice::ensureSink()
{
    SpFileStream *wanted = (m_output && m_output->isOpen()) ? m_output : nullptr;
    if (m_sink && m_sinkFile == wanted)
        return;
    if (wanted)
        replaceSink(std::make_unique<FileSink>(wanted), wanted);
    else
        replaceSink(AudioSink::create(), nullptr);
}

int SpVoice::Speak(const QString &input, int flags)
{
    if (flags & SVSFPurgeBeforeSpeak)
        purge();
    // Without a device the voice reads on in silence; once idle it tries the
    // device again, so a sound server that came back is used.
    if (m_sink && m_sink->standsInForDevice() && m_open.empty() && m_pending.empty()
        && m_chunks.empty())
        replaceSink(AudioSink::create(), nullptr);
    const QString text = (flags & SVSFIsFilename) ? readTextFile(input) : input;
    if (text.isEmpty())
        return 0;
    bool xml = false;
    if (flags & SVSFIsXML)
        xml = true;
    else if (!(flags & SVSFIsNotXML))
        xml = SapiXmlParser::looksLikeMarkup(text);
    ensureSink();

    SpeechRequest request;
    request.stream = m_nextStream++;
    request.text = text;
    request.xml = xml;
    request.voice = m_voice;
    request.rate = m_rate;
    request.volume = m_volume;
    request.outputRate = m_sink->sampleRate();
    m_open.push_back(OpenStream {request.stream, false, false, 0});
    m_channel->submit(request);
    m_timer.start();
    if (!(flags & SVSFlagsAsync)) {
        while (!WaitUntilDone(100)) { }
    }
    return request.stream;
}

void SpVoice::purge()
{
    m_channel->purge();
    if (m_sink)
        m_sink->discard();
    m_pending.clear();
    m_chunks.clear();
    for (const OpenStream &stream : m_open) {
        if (!stream.started) {
            Pending start;
            start.type = Pending::Start;
            start.stream = stream.number;
            start.at = -1;
            m_pending.push_back(start);
        }
        Pending end;
        end.type = Pending::End;
        end.stream = stream.number;
        end.at = -1;
        end.streamPosition = stream.samples * 2;
        m_pending.push_back(end);
    }
    m_open.clear();
    if (!m_pending.empty()) {
        m_timer.start();
        requestPoll();
    }
}

void SpVoice::requestPoll()
{
    if (!m_pollRequested->exchange(true))
        QMetaObject::invokeMethod(this, &SpVoice::poll, Qt::QueuedConnection);
}

void SpVoice::Pause()
{
    m_paused = true;
    if (m_sink)
        m_sink->suspend();
}

void SpVoice::Resume()
{
    if (!m_paused)
        return;
    m_paused = false;
    if (m_sink)
        m_sink->resume();
    requestPoll();
}

bool SpVoice::isSpeaking() const
{
    return !m_open.empty() || !m_pending.empty() || !m_chunks.empty();
}

void SpVoice::poll()
{
    // Re-entrant on purpose: a handler may wait for speech (WaitUntilDone,
    // a synchronous Speak), and that wait must keep the queues moving.
    m_pollRequested->store(false);
    if (m_destroying)
        return;
    if (m_sink && m_sink->hasFailed())
        fallBackToSilence();
    std::deque<SpeechChunk> taken = m_channel->take();
    for (SpeechChunk &chunk : taken)
        m_chunks.push_back(std::move(chunk));
    // One chunk at a time, each followed by the events it makes due: a
    // handler that pauses stops the next chunk from reaching the sink.
    for (;;) {
        dispatchDue();
        if (m_paused || m_chunks.empty())
            break;
        SpeechChunk chunk = std::move(m_chunks.front());
        m_chunks.pop_front();
        writeChunk(chunk);
    }
    if (m_sink) {
        m_sink->pump();
        dispatchDue();
        qint64 backlog = m_sink->written() - m_sink->played();
        for (const SpeechChunk &chunk : m_chunks)
            backlog += qint64(chunk.pcm.size());
        m_channel->setSinkBacklog(backlog);
    }
    if (m_open.empty() && m_pending.empty() && m_chunks.empty())
        m_timer.stop();
}

void SpVoice::writeChunk(SpeechChunk &chunk)
{
    auto it = std::find_if(m_open.begin(), m_open.end(),
        [&](const OpenStream &s) { return s.number == chunk.stream; });
    if (it == m_open.end())
        return; // purged meanwhile
    ensureSink();
    if (chunk.rate > 0 && chunk.rate != m_sink->sampleRate()) {
        // Made for another output (the output changed mid-stream).
        const int to = m_sink->sampleRate();
        chunk.pcm = Resampler::convert(chunk.pcm.data(), chunk.pcm.size(), chunk.rate, to);
        for (SpeechEvent &event : chunk.events)
            event.sample = std::min<qint64>(
                Resampler::mapPosition(event.sample, chunk.rate, to), qint64(chunk.pcm.size()));
    }
    const qint64 base = writtenTimeline();
    if (!it->startQueued) {
        Pending start;
        start.type = Pending::Start;
        start.stream = chunk.stream;
        start.at = base;
        start.streamPosition = it->samples * 2;
        m_pending.push_back(start);
        it->startQueued = true;
    }
    for (SpeechEvent &event : chunk.events) {
        Pending item;
        item.stream = chunk.stream;
        item.at = base + event.sample;
        item.streamPosition = (it->samples + event.sample) * 2;
        item.event = std::move(event);
        m_pending.push_back(std::move(item));
    }
    if (!chunk.pcm.empty()) {
        m_sink->write(chunk.pcm.data(), qint64(chunk.pcm.size()));
        it->samples += qint64(chunk.pcm.size());
    }
    if (chunk.last) {
        Pending end;
        end.type = Pending::End;
        end.stream = chunk.stream;
        end.at = writtenTimeline();
        end.streamPosition = it->samples * 2;
        m_pending.push_back(end);
    }
}

void SpVoice::dispatchDue()
{
    // Handlers may speak, purge or pause; the queue is re-read each time.
    while (!m_pending.empty()) {
        const Pending &front = m_pending.front();
        if (front.at >= 0) {
            const qint64 played = playedTimeline();
            // While paused the sound at the played position is not going on,
            // so only what has already been heard (and finished streams) passes.
            if (front.at > played || (m_paused && front.at == played && front.type != Pending::End))
                return;
        }
        const Pending item = front;
        m_pending.pop_front();
        dispatch(item);
    }
}

void SpVoice::dispatch(const Pending &item)
{
    const int n = item.stream;
    const qint64 pos = item.streamPosition;
    switch (item.type) {
    case Pending::Start: {
        auto it = std::find_if(
            m_open.begin(), m_open.end(), [&](const OpenStream &s) { return s.number == n; });
        if (it != m_open.end())
            it->started = true;
        Q_EMIT StartStream(n, pos);
        return;
    }
    case Pending::End: {
        m_open.erase(std::remove_if(m_open.begin(), m_open.end(),
                         [&](const OpenStream &s) { return s.number == n; }),
            m_open.end());
        Q_EMIT EndStream(n, pos);
        return;
    }
    case Pending::Event:
        break;
    }
    const SpeechEvent &e = item.event;
    switch (e.kind) {
    case SpeechEvent::Word:
        Q_EMIT Word(n, pos, e.position, e.length);
        break;
    case SpeechEvent::Sentence:
        Q_EMIT Sentence(n, pos, e.position, e.length);
        break;
    case SpeechEvent::Phoneme:
        Q_EMIT Phoneme(n, pos, e.duration, short(e.next), 0, short(e.current));
        break;
    case SpeechEvent::Viseme:
        Q_EMIT Viseme(n, pos, e.duration, e.next, 0, e.current);
        break;
    case SpeechEvent::Bookmark:
        Q_EMIT Bookmark(n, pos, e.bookmark, e.bookmarkId);
        break;
    case SpeechEvent::VoiceChange:
        Q_EMIT VoiceChange(n, pos, e.voice);
        break;
    }
}

bool SpVoice::WaitUntilDone(int milliseconds)
{
    QElapsedTimer timer;
    timer.start();
    for (;;) {
        poll();
        if (!isSpeaking())
            return true;
        const qint64 left = milliseconds < 0 ? 5 : milliseconds - timer.elapsed();
        if (left <= 0)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        m_channel->waitForChunk(int(std::min<qint64>(left, 5)));
    }
}
