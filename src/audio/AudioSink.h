// Where a voice's PCM goes. A sink takes 16-bit mono samples at its own rate,
// plays them (or pretends to), and reports how many have been heard so far;
// the voice raises each event when the sink's played count passes the event's
// sample, which is what keeps word highlighting in step with the sound.
//
// Implementations:
//   PulseSink     - the default: a stream on the sound server;
//   SilentSink    - no device: consumes samples in real time by a clock that
//                   can be replaced (tests step it by hand);
//   ImmediateSink - everything written counts as heard at once, except while
//                   suspended, when nothing further is heard until resume.
//
// Choosing the sink: voices ask AudioSink::create() whenever they need a new
// one. By default that gives a PulseSink when a sound server answers, else a
// SilentSink that stands in for the device. Tests and benchmarks call
// AudioSink::setFactory([] { return std::make_unique<ImmediateSink>(); }) once
// at start; setFactory({}) restores the default.
#pragma once

#include <QtGlobal>
#include <cstdint>
#include <functional>
#include <memory>

class AudioSink
{
public:
    using Factory = std::function<std::unique_ptr<AudioSink>()>;

    virtual ~AudioSink();

    virtual int sampleRate() const = 0;
    // Accepts every sample; what the device cannot take yet is buffered.
    virtual void write(const int16_t *samples, qint64 count) = 0;
    // Total samples heard so far; never more than written(), never decreasing.
    virtual qint64 played() const = 0;
    virtual void suspend() = 0;
    virtual void resume() = 0;
    // Drops everything not heard yet: played() equals written() afterwards.
    virtual void discard() = 0;
    // Moves buffered audio to the device; called regularly on the owner's thread.
    virtual void pump() { }
    // True once the device has failed; the owner then replaces the sink.
    virtual bool hasFailed() const { return false; }

    qint64 written() const { return m_written; }
    bool isSuspended() const { return m_suspended; }
    // True for the silent sink used because no device could be had; the
    // owner asks for a device again when it next starts from idle.
    bool standsInForDevice() const { return m_standsIn; }
    void setStandsInForDevice(bool standsIn) { m_standsIn = standsIn; }

    static void setFactory(Factory factory);
    static std::unique_ptr<AudioSink> create();
    // The sink used when no factory is set (device or silent).
    static std::unique_ptr<AudioSink> createDefault();

protected:
    qint64 m_written = 0;
    bool m_suspended = false;
    bool m_standsIn = false;
};

class ImmediateSink : public AudioSink
{
public:
    explicit ImmediateSink(int sampleRate = 22050);
    int sampleRate() const override { return m_rate; }
    void write(const int16_t *samples, qint64 count) override;
    qint64 played() const override;
    void suspend() override;
    void resume() override;
    void discard() override;

private:
    int m_rate;
    qint64 m_heldAt = 0;
};

class SilentSink : public AudioSink
{
public:
    // Milliseconds from any fixed origin; the default is a monotonic clock.
    using Clock = std::function<qint64()>;

    explicit SilentSink(int sampleRate = 22050, Clock clock = {});
    int sampleRate() const override { return m_rate; }
    void write(const int16_t *samples, qint64 count) override;
    qint64 played() const override;
    void suspend() override;
    void resume() override;
    void discard() override;

private:
    int m_rate;
    Clock m_clock;
    qint64 m_anchorPlayed = 0; // samples heard at m_anchorTime
    qint64 m_anchorTime = 0;
};
