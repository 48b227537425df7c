#include "render/BookOutputs.h"

#include "export/M4bWriter.h"
#include "export/Mp3Encoder.h"
#include "export/WavReader.h"
#include "render/RenderOptions.h"

#include <QFile>
#include <QtEndian>

#include <cstring>
#include <memory>
#include <vector>

namespace BookOutputs
{

namespace
{
constexpr qint64 PieceFrames = 16384;

qint64 toMs(qint64 sample, int rate)
{
    return rate > 0 ? sample * 1000 / rate : 0;
}

// A 16-bit mono WAV whose sizes are written when it is closed.
class PartWav
{
public:
    bool open(const QString &path, int rate)
    {
        m_file.setFileName(path);
        if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return false;
        m_rate = rate;
        return m_file.write(header(0)) == 44;
    }
    bool write(const int16_t *samples, qint64 count)
    {
        QByteArray bytes(reinterpret_cast<const char *>(samples), count * 2);
        if constexpr (QSysInfo::ByteOrder == QSysInfo::BigEndian) {
            for (qint64 i = 0; i < count; ++i)
                qToLittleEndian(samples[i], bytes.data() + 2 * i);
        }
        m_bytes += count * 2;
        return m_file.write(bytes) == bytes.size();
    }
    bool close()
    {
        const bool ok = m_file.seek(0) && m_file.write(header(m_bytes)) == 44 && m_file.flush();
        m_file.close();
        return ok;
    }
    QString errorString() const { return m_file.errorString(); }

private:
    QByteArray header(qint64 dataBytes) const
    {
        QByteArray h(44, '\0');
        char *p = h.data();
        auto put32 = [](char *at, quint32 v) { qToLittleEndian(v, at); };
        auto put16 = [](char *at, quint16 v) { qToLittleEndian(v, at); };
        std::memcpy(p, "RIFF", 4);
        put32(p + 4, quint32(36 + dataBytes));
        std::memcpy(p + 8, "WAVEfmt ", 8);
        put32(p + 16, 16);
        put16(p + 20, 1);
        put16(p + 22, 1);
        put32(p + 24, quint32(m_rate));
        put32(p + 28, quint32(m_rate * 2));
        put16(p + 32, 2);
        put16(p + 34, 16);
        std::memcpy(p + 36, "data", 4);
        put32(p + 40, quint32(dataBytes));
        return h;
    }

    QFile m_file;
    qint64 m_bytes = 0;
    int m_rate = 0;
};

bool openWav(WavReader &reader, const QString &wav, QString *error)
{
    if (reader.open(wav) && reader.channels() == 1)
        return true;
    *error = QStringLiteral("%1: %2").arg(wav, reader.errorString());
    return false;
}
} // namespace

bool writeM4b(const QString &wav, const QString &target, const Book &book, int bitrateKbps,
    const Going &going, QString *error)
{
    WavReader reader;
    if (!openWav(reader, wav, error))
        return false;
    M4bWriter::Tags tags;
    tags.title = tags.album = book.title;
    tags.artist = tags.albumArtist = book.author;
    tags.cover = book.cover;
    tags.coverMimeType = book.coverMimeType;
    M4bWriter writer;
    if (!writer.open(
            target, reader.sampleRate(), 1, bitrateKbps, tags, int(book.chapters.size()))) {
        *error = writer.errorString();
        return false;
    }
    std::vector<int16_t> piece(PieceFrames);
    const double frames = double(std::max<qint64>(1, reader.frames()));
    for (;;) {
        if (going && !going(double(writer.framesWritten()) / frames)) {
            writer.abort();
            return false;
        }
        const qint64 got = reader.read(piece.data(), PieceFrames);
        if (got < 0) {
            *error = QStringLiteral("%1: %2").arg(wav, reader.errorString());
            return false;
        }
        if (got == 0)
            break;
        if (!writer.write(piece.data(), got)) {
            *error = writer.errorString();
            return false;
        }
    }
    QList<M4bWriter::Mark> marks;
    for (qsizetype i = 0; i < book.chapters.size(); ++i)
        marks.append({toMs(book.starts.value(i), reader.sampleRate()), book.chapters[i].title});
    if (!writer.finish(marks)) {
        *error = writer.errorString();
        return false;
    }
    return true;
}

bool writeParts(const QString &wav, const Book &book, const QList<PartTargets> &targets,
    const Going &going, QString *error)
{
    WavReader reader;
    if (!openWav(reader, wav, error))
        return false;
    const int rate = reader.sampleRate();
    const qint64 total = reader.frames();
    qint64 done = 0;
    std::vector<int16_t> piece(PieceFrames);
    for (qsizetype i = 0; i < book.chapters.size(); ++i) {
        const qint64 end = i + 1 < book.chapters.size() ? book.starts.value(i + 1) : total;
        qint64 left = std::max<qint64>(0, end - book.starts.value(i));
        const PartTargets &to = targets.value(i);
        PartWav part;
        if (!to.wav.isEmpty() && !part.open(to.wav, rate)) {
            *error = QStringLiteral("%1: %2").arg(to.wav, part.errorString());
            return false;
        }
        Mp3Encoder mp3;
        try {
            if (!to.mp3.isEmpty()) {
                Mp3Encoder::Settings settings;
                settings.leadingTag
                    = Mp3Encoder::id3v2Tag({book.chapters[i].title, book.title, book.author,
                        int(i + 1), int(book.chapters.size()), book.cover, book.coverMimeType});
                mp3.begin(to.mp3, rate, 1, settings);
            }
            while (left > 0) {
                if (going && !going(double(done) / double(std::max<qint64>(1, total))))
                    return false;
                const qint64 got = reader.read(piece.data(), std::min(left, PieceFrames));
                if (got < 0) {
                    *error = QStringLiteral("%1: %2").arg(wav, reader.errorString());
                    return false;
                }
                if (got == 0)
                    break;
                left -= got;
                done += got;
                if (!to.wav.isEmpty() && !part.write(piece.data(), got)) {
                    *error = QStringLiteral("%1: %2").arg(to.wav, part.errorString());
                    return false;
                }
                if (!to.mp3.isEmpty())
                    mp3.feed(piece.data(), got);
            }
            if (!to.mp3.isEmpty())
                mp3.finish();
        } catch (const Mp3Encoder::Error &e) {
            *error = e.code() == Mp3Encoder::NoLibrary
                ? bilingual("the MP3 encoder (libmp3lame) is not installed",
                    "未安裝 MP3 編碼器（libmp3lame）")
                : QStringLiteral("%1: %2").arg(to.mp3, e.message());
            return false;
        }
        if (!to.wav.isEmpty() && !part.close()) {
            *error = QStringLiteral("%1: %2").arg(to.wav, part.errorString());
            return false;
        }
    }
    return true;
}

QList<Subtitles::Cue> cuesBetween(const QList<Subtitles::Cue> &cues, qint64 fromMs, qint64 toMs)
{
    QList<Subtitles::Cue> out;
    for (const Subtitles::Cue &cue : cues) {
        if (cue.startMs < fromMs || cue.startMs >= toMs)
            continue;
        Subtitles::Cue c = cue;
        c.startMs -= fromMs;
        c.endMs = std::min(c.endMs, toMs) - fromMs;
        for (Subtitles::Piece &p : c.pieces)
            p.startMs = std::max<qint64>(0, p.startMs - fromMs);
        out.append(c);
    }
    return out;
}

} // namespace BookOutputs
