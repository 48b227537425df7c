// The default audio output: PCM pushed to a QAudioSink on the system's output
// device. Samples the device cannot take yet wait in a local buffer that
// pump() feeds in. Any device error (device gone, stream broken) turns
// hasFailed() on; the owning voice then carries on with a SilentSink.
#pragma once

#include "speech/AudioSink.h"

#include <QAudioDevice>
#include <QByteArray>
#include <memory>

class QAudioSink;
class QIODevice;

class QtAudioSink : public AudioSink
{
public:
    explicit QtAudioSink(const QAudioDevice &device);
    ~QtAudioSink() override;

    int sampleRate() const override { return m_rate; }
    void write(const int16_t *samples, qint64 count) override;
    qint64 played() const override;
    void suspend() override;
    void resume() override;
    void discard() override;
    void pump() override;
    bool hasFailed() const override;

private:
    void open();

    QAudioDevice m_device;
    std::unique_ptr<QAudioSink> m_sink;
    QIODevice *m_io = nullptr;
    QByteArray m_pending;
    qsizetype m_pendingOffset = 0;
    qint64 m_base = 0; // samples counted as heard before the current device stream
    mutable qint64 m_lastPlayed = 0; // keeps played() from going back
    qint64 m_processedAtOpen = 0; // device's processed time when the stream opened
    int m_rate = 22050;
    bool m_failed = false;
};
