#include "audio/PulseSink.h"

#include "system/Log.h"

#include <pulse/pulseaudio.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMutex>
#include <QThread>
#include <algorithm>
#include <atomic>
#include <vector>

namespace
{

// Total latency asked of the server: small enough that Pause and Stop are
// heard at once, large enough that a busy machine does not starve the device.
constexpr pa_usec_t TargetLatencyUs = 80 * 1000;
// Playback starts as soon as this much is queued (or at once when the sink
// has handed over everything it holds).
constexpr pa_usec_t StartThresholdUs = 20 * 1000;
constexpr int ConnectTimeoutMs = 1000;
// After a failed attempt the server is not asked again for this long, so a
// machine without a server does not pay for an attempt on every reading.
constexpr qint64 RetryAfterMs = 1000;

const pa_sample_spec &sampleSpec()
{
    static const pa_sample_spec spec {PA_SAMPLE_S16LE, PulseSink::Rate, 1};
    return spec;
}

QString &lastErrorText()
{
    static QString text;
    return text;
}

} // namespace

// One connection to the server with libpulse's own thread.
class PulseConnection
{
public:
    static std::shared_ptr<PulseConnection> shared();
    ~PulseConnection();

    pa_threaded_mainloop *loop() const { return m_loop; }
    pa_context *context() const { return m_context; }
    bool isGood() const { return !m_failed.load(); }

    class Locker
    {
    public:
        explicit Locker(const PulseConnection &c)
            : m_loop(c.m_loop)
        {
            pa_threaded_mainloop_lock(m_loop);
        }
        ~Locker() { pa_threaded_mainloop_unlock(m_loop); }
        Locker(const Locker &) = delete;
        Locker &operator=(const Locker &) = delete;

    private:
        pa_threaded_mainloop *m_loop;
    };

private:
    PulseConnection() = default;
    bool connect();
    static void onContextState(pa_context *context, void *self);

    pa_threaded_mainloop *m_loop = nullptr;
    pa_context *m_context = nullptr;
    std::atomic<bool> m_failed {false};
};

std::shared_ptr<PulseConnection> PulseConnection::shared()
{
    static QMutex mutex;
    static std::shared_ptr<PulseConnection> current;
    static QElapsedTimer sinceFailure;
    QMutexLocker lock(&mutex);
    if (current && current->isGood())
        return current;
    if (sinceFailure.isValid() && sinceFailure.elapsed() < RetryAfterMs)
        return nullptr;
    if (current)
        qCWarning(lcAudio) << "connection to the sound server lost; connecting again";
    current.reset(new PulseConnection);
    if (!current->connect()) {
        qCInfo(lcAudio).noquote() << "no sound server:" << lastErrorText();
        current.reset();
        sinceFailure.start();
        return nullptr;
    }
    sinceFailure.invalidate();
    return current;
}

void PulseConnection::onContextState(pa_context *context, void *self)
{
    auto *connection = static_cast<PulseConnection *>(self);
    const pa_context_state_t state = pa_context_get_state(context);
    if (state == PA_CONTEXT_FAILED || state == PA_CONTEXT_TERMINATED)
        connection->m_failed = true;
    pa_threaded_mainloop_signal(connection->m_loop, 0);
}

bool PulseConnection::connect()
{
    m_loop = pa_threaded_mainloop_new();
    if (!m_loop) {
        lastErrorText() = QStringLiteral("cannot create the audio thread");
        return false;
    }
    pa_proplist *props = pa_proplist_new();
    const QByteArray name = QCoreApplication::applicationName().isEmpty()
        ? QByteArrayLiteral("Parlo")
        : QCoreApplication::applicationName().toUtf8();
    pa_proplist_sets(props, PA_PROP_APPLICATION_NAME, name.constData());
    pa_proplist_sets(props, PA_PROP_APPLICATION_ID, "parlo");
    pa_proplist_sets(props, PA_PROP_APPLICATION_ICON_NAME, "parlo");
    m_context = pa_context_new_with_proplist(
        pa_threaded_mainloop_get_api(m_loop), name.constData(), props);
    pa_proplist_free(props);
    if (!m_context) {
        lastErrorText() = QStringLiteral("cannot create a server context");
        return false;
    }
    pa_context_set_state_callback(m_context, onContextState, this);
    if (pa_context_connect(m_context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
        lastErrorText() = QString::fromUtf8(pa_strerror(pa_context_errno(m_context)));
        return false;
    }
    if (pa_threaded_mainloop_start(m_loop) < 0) {
        lastErrorText() = QStringLiteral("cannot start the audio thread");
        return false;
    }
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        pa_context_state_t state;
        {
            Locker lock(*this);
            state = pa_context_get_state(m_context);
        }
        if (state == PA_CONTEXT_READY)
            return true;
        if (!PA_CONTEXT_IS_GOOD(state)) {
            Locker lock(*this);
            lastErrorText() = QString::fromUtf8(pa_strerror(pa_context_errno(m_context)));
            return false;
        }
        if (waited.elapsed() > ConnectTimeoutMs) {
            lastErrorText() = QStringLiteral("the sound server did not answer");
            return false;
        }
        QThread::usleep(500);
    }
}

PulseConnection::~PulseConnection()
{
    if (m_loop)
        pa_threaded_mainloop_stop(m_loop);
    if (m_context) {
        pa_context_set_state_callback(m_context, nullptr, nullptr);
        pa_context_disconnect(m_context);
        pa_context_unref(m_context);
    }
    if (m_loop)
        pa_threaded_mainloop_free(m_loop);
}

// ---- PulseSink -------------------------------------------------------------

struct PulseSink::State {
    pa_stream *stream = nullptr;
    std::vector<char> pending; // written, not yet handed to the server
    size_t offset = 0; // first byte of `pending` still to hand over
    qint64 origin = 0; // sink sample at which the current stream began
    qint64 lastPlayed = 0; // keeps played() from going back
    qint64 handed = 0; // samples of the current stream given to the server
    QElapsedTimer ranOut; // valid from the server's underflow until more is handed over
    bool suspended = false;
    bool failed = false;

    // Called on the audio thread (or with its lock held).
    void feed(size_t allowed)
    {
        if (!stream || pa_stream_get_state(stream) != PA_STREAM_READY)
            return;
        bool wrote = false;
        while (allowed >= 2 && offset < pending.size()) {
            const size_t n = std::min(allowed, pending.size() - offset) & ~size_t(1);
            if (pa_stream_write(stream, pending.data() + offset, n, nullptr, 0, PA_SEEK_RELATIVE)
                < 0) {
                qCWarning(lcAudio) << "writing to the sound server failed:"
                                   << pa_strerror(pa_context_errno(pa_stream_get_context(stream)));
                failed = true;
                return;
            }
            offset += n;
            allowed -= n;
            handed += qint64(n / 2);
            ranOut.invalidate();
            wrote = true;
        }
        if (offset == pending.size()) {
            pending.clear();
            offset = 0;
            // Everything is with the server: play it even if it is shorter
            // than the start threshold (the end of a reading).
            if (wrote)
                pa_operation_unref(pa_stream_trigger(stream, nullptr, nullptr));
        } else if (offset > (size_t(1) << 20)) {
            pending.erase(pending.begin(), pending.begin() + qsizetype(offset));
            offset = 0;
        }
    }

    static void onWrite(pa_stream *, size_t nbytes, void *self)
    {
        static_cast<State *>(self)->feed(nbytes);
    }

    static void onUnderflow(pa_stream *, void *self) { static_cast<State *>(self)->ranOut.start(); }

    static void onState(pa_stream *s, void *self)
    {
        auto *state = static_cast<State *>(self);
        switch (pa_stream_get_state(s)) {
        case PA_STREAM_READY:
            if (state->suspended)
                pa_operation_unref(pa_stream_cork(s, 1, nullptr, nullptr));
            state->feed(pa_stream_writable_size(s));
            break;
        case PA_STREAM_FAILED:
            qCWarning(lcAudio) << "audio stream failed:"
                               << pa_strerror(pa_context_errno(pa_stream_get_context(s)));
            state->failed = true;
            break;
        default:
            break;
        }
    }
};

PulseSink::PulseSink(std::shared_ptr<PulseConnection> connection)
    : m_connection(std::move(connection))
    , m_state(std::make_unique<State>())
{
    PulseConnection::Locker lock(*m_connection);
    createStream();
}

std::unique_ptr<PulseSink> PulseSink::open()
{
    std::shared_ptr<PulseConnection> connection = PulseConnection::shared();
    if (!connection)
        return nullptr;
    auto sink = std::make_unique<PulseSink>(std::move(connection));
    if (sink->hasFailed())
        return nullptr;
    return sink;
}

QString PulseSink::lastError()
{
    return lastErrorText();
}

PulseSink::~PulseSink()
{
    PulseConnection::Locker lock(*m_connection);
    dropStream();
}

void PulseSink::createStream()
{
    pa_proplist *props = pa_proplist_new();
    pa_proplist_sets(props, PA_PROP_MEDIA_NAME, "Parlo");
    pa_stream *stream = pa_stream_new_with_proplist(
        m_connection->context(), "Parlo", &sampleSpec(), nullptr, props);
    pa_proplist_free(props);
    if (!stream) {
        m_state->failed = true;
        return;
    }
    m_state->stream = stream;
    pa_stream_set_state_callback(stream, State::onState, m_state.get());
    pa_stream_set_write_callback(stream, State::onWrite, m_state.get());
    pa_stream_set_underflow_callback(stream, State::onUnderflow, m_state.get());
    pa_buffer_attr attr;
    attr.maxlength = uint32_t(-1);
    attr.tlength = uint32_t(pa_usec_to_bytes(TargetLatencyUs, &sampleSpec()));
    attr.prebuf = uint32_t(pa_usec_to_bytes(StartThresholdUs, &sampleSpec()));
    attr.minreq = uint32_t(-1);
    attr.fragsize = uint32_t(-1);
    int flags
        = PA_STREAM_INTERPOLATE_TIMING | PA_STREAM_AUTO_TIMING_UPDATE | PA_STREAM_ADJUST_LATENCY;
    if (m_state->suspended)
        flags |= PA_STREAM_START_CORKED;
    if (pa_stream_connect_playback(
            stream, nullptr, &attr, pa_stream_flags_t(flags), nullptr, nullptr)
        < 0) {
        qCWarning(lcAudio) << "cannot open an audio stream:"
                           << pa_strerror(pa_context_errno(m_connection->context()));
        m_state->failed = true;
    }
}

void PulseSink::dropStream()
{
    pa_stream *stream = std::exchange(m_state->stream, nullptr);
    if (!stream)
        return;
    pa_stream_set_state_callback(stream, nullptr, nullptr);
    pa_stream_set_write_callback(stream, nullptr, nullptr);
    pa_stream_set_underflow_callback(stream, nullptr, nullptr);
    pa_stream_disconnect(stream);
    pa_stream_unref(stream);
}

void PulseSink::write(const int16_t *samples, qint64 count)
{
    if (count <= 0)
        return;
    PulseConnection::Locker lock(*m_connection);
    const auto *bytes = reinterpret_cast<const char *>(samples);
    m_state->pending.insert(m_state->pending.end(), bytes, bytes + count * 2);
    m_written += count;
    if (m_state->stream)
        m_state->feed(pa_stream_writable_size(m_state->stream));
}

qint64 PulseSink::played() const
{
    PulseConnection::Locker lock(*m_connection);
    State &s = *m_state;
    if (s.failed || !m_connection->isGood())
        return s.lastPlayed; // the owner replaces a failed sink; hold still until then
    pa_usec_t usec = 0;
    if (!s.stream || pa_stream_get_state(s.stream) != PA_STREAM_READY
        || pa_stream_get_time(s.stream, &usec) < 0)
        return s.lastPlayed;
    qint64 heard = qint64(usec * Rate / 1000000);
    if (s.ranOut.isValid() && !s.suspended && heard < s.handed) {
        // A stream that ran out stops its clock one device latency short of
        // the end; what the device still holds is heard within that latency.
        heard = std::min(s.handed, heard + s.ranOut.elapsed() * Rate / 1000);
    }
    s.lastPlayed = std::clamp(s.origin + heard, s.lastPlayed, m_written);
    return s.lastPlayed;
}

void PulseSink::suspend()
{
    PulseConnection::Locker lock(*m_connection);
    m_suspended = m_state->suspended = true;
    if (m_state->stream && pa_stream_get_state(m_state->stream) == PA_STREAM_READY)
        pa_operation_unref(pa_stream_cork(m_state->stream, 1, nullptr, nullptr));
}

void PulseSink::resume()
{
    PulseConnection::Locker lock(*m_connection);
    m_suspended = m_state->suspended = false;
    if (m_state->stream && pa_stream_get_state(m_state->stream) == PA_STREAM_READY) {
        pa_operation_unref(pa_stream_cork(m_state->stream, 0, nullptr, nullptr));
        m_state->feed(pa_stream_writable_size(m_state->stream));
    }
}

void PulseSink::discard()
{
    // A fresh stream is silent at once, whatever the server had queued, and
    // its clock starts at zero where the discarded audio ends.
    PulseConnection::Locker lock(*m_connection);
    dropStream();
    m_state->pending.clear();
    m_state->offset = 0;
    m_state->handed = 0;
    m_state->ranOut.invalidate();
    m_state->origin = m_written;
    m_state->lastPlayed = m_written;
    if (!m_state->failed)
        createStream();
}

bool PulseSink::hasFailed() const
{
    if (!m_connection->isGood())
        return true;
    PulseConnection::Locker lock(*m_connection);
    return m_state->failed;
}
