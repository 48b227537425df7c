#pragma once
// Short RIFF/WAVE sounds played from memory, as the bitmap button's click
// does: parsing of the PCM chunks, the built-in click image, and fire-and-
// forget playback through the voice layer's audio sink. Without an output
// device the sink is silent, so playing never fails loudly.

#include <QByteArray>
#include <cstdint>
#include <optional>
#include <vector>

namespace WaveSound
{

struct Pcm {
    int channels = 0;
    int sampleRate = 0;
    int bitsPerSample = 0;
    QByteArray data;
};

// The format and sample bytes of a PCM wave image; nothing for anything else
// (another format, missing chunks, a truncated header). A data chunk that
// runs past the end of the image is cut at the end.
std::optional<Pcm> parse(const QByteArray &image);

// The samples as 16-bit mono (channels averaged, 8-bit samples widened).
std::vector<int16_t> toMono16(const Pcm &pcm);

// The built-in click: a 170-byte wave image of ten 8-bit stereo frames at
// 8000 samples per second, followed by the start of a display chunk.
QByteArray builtInClick();

// Starts playing `image` and returns at once; a new sound cuts off the one
// still playing. Returns false when `image` is not a playable wave.
bool play(const QByteArray &image);

} // namespace WaveSound
