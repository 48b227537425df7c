#include "audio/RiffWave.h"

#include <QIODevice>
#include <QtEndian>

namespace RiffWave
{

namespace
{
constexpr quint16 FormatExtensible = 0xFFFE;
constexpr quint32 SizeInDs64 = 0xFFFFFFFF;

std::optional<Layout> fail(QString *why, const char *text)
{
    if (why)
        *why = QString::fromLatin1(text);
    return std::nullopt;
}
} // namespace

std::optional<Layout> walk(QIODevice &stream, QString *why)
{
    if (!stream.seek(0))
        return fail(why, "cannot seek");
    const QByteArray head = stream.read(12);
    const bool rf64 = head.startsWith("RF64");
    if (head.size() < 12 || !(head.startsWith("RIFF") || rf64) || head.mid(8, 4) != "WAVE")
        return fail(why, "not a WAVE file");

    Layout layout;
    quint64 ds64Data = 0;
    bool haveFormat = false;
    for (;;) {
        const QByteArray chunk = stream.read(8);
        if (chunk.size() < 8)
            return fail(why, "no data chunk");
        const QByteArray id = chunk.left(4);
        const quint32 size = qFromLittleEndian<quint32>(chunk.constData() + 4);
        if (id == "data") {
            if (!haveFormat)
                return fail(why, "data before the format chunk");
            layout.dataOffset = stream.pos();
            const qint64 available = stream.size() - layout.dataOffset;
            const qint64 declared = (rf64 && size == SizeInDs64) ? qint64(ds64Data) : qint64(size);
            layout.dataBytes = std::max<qint64>(0, std::min(declared, available));
            return layout;
        }
        const QByteArray body = stream.read(std::min<qint64>(size, 64));
        if (id == "fmt ") {
            if (body.size() < 16 || size < 16)
                return fail(why, "short format chunk");
            layout.formatTag = qFromLittleEndian<quint16>(body.constData());
            if (layout.formatTag == FormatExtensible && body.size() >= 26)
                layout.formatTag = qFromLittleEndian<quint16>(body.constData() + 24);
            layout.channels = qFromLittleEndian<quint16>(body.constData() + 2);
            layout.sampleRate = int(qFromLittleEndian<quint32>(body.constData() + 4));
            layout.bitsPerSample = qFromLittleEndian<quint16>(body.constData() + 14);
            haveFormat = true;
        } else if (id == "ds64" && body.size() >= 16) {
            ds64Data = qFromLittleEndian<quint64>(body.constData() + 8);
        }
        // Chunks are padded to an even size.
        const qint64 next = stream.pos() - body.size() + qint64(size) + (size & 1);
        if (next + 8 > stream.size())
            return fail(why, "no data chunk");
        if (!stream.seek(next))
            return fail(why, "cannot seek");
    }
}

} // namespace RiffWave
