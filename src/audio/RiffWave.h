#pragma once
// The chunk layout of a RIFF or RF64 WAVE stream, shared by the reader of
// rendered files and the player of short sounds held in memory.

#include <QString>
#include <QtGlobal>
#include <optional>

class QIODevice;

namespace RiffWave
{

constexpr quint16 FormatPcm = 1;

struct Layout {
    // An extensible format header gives its sub-format's tag here.
    quint16 formatTag = 0;
    int channels = 0;
    int sampleRate = 0;
    int bitsPerSample = 0;
    // Where the samples start in the stream, and how many bytes of them the
    // stream really holds.
    qint64 dataOffset = 0;
    qint64 dataBytes = 0;
};

// Walks the chunks of a seekable `stream` from its start to the data chunk and
// leaves the stream there. The sizes in the header are not trusted: a data
// chunk longer than the stream (a recording whose header was never finished)
// is cut at the stream's end, and RF64 takes its size from the ds64 chunk.
// Nothing, with `why` filled, when the stream is not a WAVE, its format chunk
// is short or comes after the data, or there is no data chunk.
std::optional<Layout> walk(QIODevice &stream, QString *why = nullptr);

} // namespace RiffWave
