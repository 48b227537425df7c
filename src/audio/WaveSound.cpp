#include "audio/WaveSound.h"

#include "audio/AudioSink.h"
#include "audio/Resampler.h"
#include "audio/RiffWave.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QtEndian>
#include <memory>

namespace WaveSound
{

namespace
{
void put32(QByteArray &b, quint32 v)
{
    char raw[4];
    qToLittleEndian(v, raw);
    b.append(raw, 4);
}

void put16(QByteArray &b, quint16 v)
{
    char raw[2];
    qToLittleEndian(v, raw);
    b.append(raw, 2);
}
} // namespace

std::optional<Pcm> parse(const QByteArray &image)
{
    QBuffer stream;
    stream.setData(image);
    if (!stream.open(QIODevice::ReadOnly))
        return std::nullopt;
    const auto layout = RiffWave::walk(stream);
    if (!layout)
        return std::nullopt;
    Pcm pcm;
    pcm.channels = layout->channels;
    pcm.sampleRate = layout->sampleRate;
    pcm.bitsPerSample = layout->bitsPerSample;
    const bool formatOk = layout->formatTag == RiffWave::FormatPcm && pcm.channels >= 1
        && pcm.channels <= 8 && pcm.sampleRate > 0
        && (pcm.bitsPerSample == 8 || pcm.bitsPerSample == 16);
    if (!formatOk)
        return std::nullopt;
    pcm.data = image.mid(layout->dataOffset, layout->dataBytes);
    return pcm;
}

std::vector<int16_t> toMono16(const Pcm &pcm)
{
    const int bytes = pcm.bitsPerSample / 8;
    const qsizetype frameSize = qsizetype(bytes) * pcm.channels;
    if (frameSize <= 0)
        return {};
    const qsizetype frames = pcm.data.size() / frameSize;
    std::vector<int16_t> out;
    out.reserve(std::size_t(frames));
    const auto *raw = reinterpret_cast<const uchar *>(pcm.data.constData());
    for (qsizetype f = 0; f < frames; ++f) {
        int sum = 0;
        for (int c = 0; c < pcm.channels; ++c) {
            const uchar *s = raw + f * frameSize + qsizetype(c) * bytes;
            sum += bytes == 1 ? (int(s[0]) - 128) * 256 : int(qFromLittleEndian<qint16>(s));
        }
        out.push_back(static_cast<int16_t>(sum / pcm.channels));
    }
    return out;
}

QByteArray builtInClick()
{
    static const uchar frames[10] = {0x83, 0xA9, 0x5A, 0x00, 0x00, 0x51, 0xCE, 0x7D, 0x6E, 0x5A};
    QByteArray b;
    b.append("RIFF");
    put32(b, 1818);
    b.append("WAVE");
    b.append("fmt ");
    put32(b, 18);
    put16(b, 1); // PCM
    put16(b, 2); // channels
    put32(b, 8000); // samples per second
    put32(b, 16000); // bytes per second
    put16(b, 2); // block align
    put16(b, 8); // bits per sample
    put16(b, 0); // extra size
    b.append("fact");
    put32(b, 4);
    put32(b, 10); // sample frames
    b.append("data");
    put32(b, 20);
    for (uchar v : frames) {
        b.append(char(v));
        b.append(char(v));
    }
    // The display chunk only names a picture for the sound; its first bytes
    // (clipboard format 8, a device-independent bitmap header) are kept so the
    // image keeps its size, and no reader needs the rest.
    b.append("DISP");
    put32(b, 1740);
    put32(b, 8); // device-independent bitmap
    put32(b, 40); // header size
    put32(b, 32); // width
    put32(b, 32); // height
    put16(b, 1); // planes
    put16(b, 8); // bits per pixel
    put32(b, 0); // no compression
    put32(b, 1024); // image size
    put32(b, 0); // resolutions
    put32(b, 0);
    put32(b, 256); // colours used
    put32(b, 0); // important colours
    while (b.size() < 170)
        b.append('\0'); // palette entries: black
    return b;
}

namespace
{
// One sound on its way out: the sink lives until everything written has been
// heard (or a generous limit passes), pumped by a timer on this thread.
class Playback : public QObject
{
public:
    explicit Playback(std::unique_ptr<AudioSink> sink)
        : QObject(QCoreApplication::instance())
        , m_sink(std::move(sink))
    {
        m_pump.setInterval(10);
        QObject::connect(&m_pump, &QTimer::timeout, this, [this] { tick(); });
    }
    void start(const std::vector<int16_t> &samples, int rate)
    {
        const std::vector<int16_t> out
            = Resampler::convert(samples.data(), samples.size(), rate, m_sink->sampleRate());
        m_sink->write(out.data(), qint64(out.size()));
        m_limitMs = 1000 + int(qint64(out.size()) * 1000 / std::max(1, m_sink->sampleRate()));
        m_pump.start();
        tick();
    }

private:
    void tick()
    {
        m_sink->pump();
        m_elapsedMs += m_pump.interval();
        if (m_sink->hasFailed() || m_sink->played() >= m_sink->written()
            || m_elapsedMs > m_limitMs) {
            m_pump.stop();
            deleteLater();
        }
    }
    std::unique_ptr<AudioSink> m_sink;
    QTimer m_pump;
    int m_elapsedMs = 0;
    int m_limitMs = 1000;
};

// Owned by the application object, so nothing outlives it.
QPointer<Playback> &current()
{
    static QPointer<Playback> playing;
    return playing;
}
} // namespace

bool play(const QByteArray &image)
{
    const std::optional<Pcm> pcm = parse(image);
    if (!pcm)
        return false;
    const std::vector<int16_t> samples = toMono16(*pcm);
    if (samples.empty())
        return false;
    std::unique_ptr<AudioSink> sink = AudioSink::create();
    if (!sink)
        return false;
    // A new sound cuts the previous one off, as asynchronous playback does.
    delete current().data();
    auto *playback = new Playback(std::move(sink));
    current() = playback;
    playback->start(samples, pcm->sampleRate);
    return true;
}

} // namespace WaveSound
