// Audio output straight to the sound server (PulseAudio, or PipeWire through
// its PulseAudio interface) with libpulse's asynchronous API.
//
// Why not a push-and-poll device: the position that counts for word
// highlighting and mouth pictures is the one that has left the speaker, and
// the server knows it (read index less the sink's latency, interpolated
// between timing updates). played() asks the server's clock for exactly that.
// Feeding happens on libpulse's own thread from the stream's write callback,
// so a busy GUI thread gives late highlights at worst, never a gap in sound.
//
// All sinks of the process share one connection, made the first time a sink is
// asked for. A stream is created without waiting for the server; audio
// written before it is ready waits in the sink. When the server goes away
// hasFailed() turns on and the owner carries on without sound; the next sink
// asked for connects anew.
#pragma once

#include "audio/AudioSink.h"

#include <memory>

class PulseConnection;
struct pa_stream;

class PulseSink : public AudioSink
{
public:
    static constexpr int Rate = 22050;

    // A sink on the shared connection, or nullptr when no server answers.
    static std::unique_ptr<PulseSink> open();
    ~PulseSink() override;

    int sampleRate() const override { return Rate; }
    void write(const int16_t *samples, qint64 count) override;
    qint64 played() const override;
    void suspend() override;
    void resume() override;
    void discard() override;
    bool hasFailed() const override;

    // Why the last connection attempt failed, for logs and messages.
    static QString lastError();

    explicit PulseSink(std::shared_ptr<PulseConnection> connection);

private:
    struct State;
    void createStream();
    void dropStream();

    std::shared_ptr<PulseConnection> m_connection;
    std::unique_ptr<State> m_state; // touched only with the connection's lock held
};
