#include "export/M4bWriter.h"

#include "system/Log.h"

#include <QDir>
#include <QSaveFile>
#include <QtEndian>
#include <algorithm>
#include <cstdarg>
#include <cstring>
#include <ctime>
#include <mutex>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/dict.h>
#include <libavutil/log.h>
#include <libavutil/mem.h>
}

namespace
{

// "ipod" is the MP4 flavour iTunes and phones expect of an .m4b: it writes
// the iTunes tags and cover ("covr"), and chapters both as a text track and
// as a Nero "chpl" list.
constexpr const char *Muxer = "ipod";
constexpr const char *Encoder = "aac";
constexpr AVRational Milliseconds = {1, 1000};
constexpr int IoBufferBytes = 64 * 1024;
// The major brand of Apple's audiobooks; the muxer would say "M4A ".
constexpr const char *AudiobookBrand = "M4B ";
// iTunes' media kind ("stik") for an audiobook, so that it is filed as one.
constexpr const char *AudiobookKind = "2";
constexpr float SampleScale = 1.0f / 32768;

QString avError(int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return QString::fromUtf8(text);
}

double threadSeconds()
{
    timespec now {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

// FFmpeg's output goes through the save file, so that the book appears under
// its name only when it is complete. The byte type differs between FFmpeg
// versions (const from 6.1 on); the template takes either.
template<typename Byte> int writeToFile(void *opaque, Byte *data, int size)
{
    auto *file = static_cast<QSaveFile *>(opaque);
    return file->write(reinterpret_cast<const char *>(data), size) == size ? size : AVERROR(EIO);
}

int64_t seekInFile(void *opaque, int64_t offset, int whence)
{
    auto *file = static_cast<QSaveFile *>(opaque);
    switch (whence & ~AVSEEK_FORCE) {
    case AVSEEK_SIZE:
        return file->size();
    case SEEK_SET:
        break;
    case SEEK_CUR:
        offset += file->pos();
        break;
    case SEEK_END:
        offset += file->size();
        break;
    default:
        return AVERROR(EINVAL);
    }
    return file->seek(offset) ? offset : AVERROR(EIO);
}

struct Cover {
    AVCodecID codec = AV_CODEC_ID_NONE;
    int width = 0, height = 0;
};

int bigEndian16(const QByteArray &bytes, qsizetype at)
{
    return (quint8(bytes[at]) << 8) | quint8(bytes[at + 1]);
}

bool fitsMp4(const Cover &cover)
{
    constexpr int Largest = 65535;
    return cover.width > 0 && cover.height > 0 && cover.width <= Largest && cover.height <= Largest;
}

// The muxer wants a picture's size, which is read from its header: the PNG
// IHDR chunk, or the first JPEG start-of-frame segment.
bool readSize(const QByteArray &bytes, Cover &cover)
{
    if (cover.codec == AV_CODEC_ID_PNG) {
        if (bytes.size() < 24 || bytes.mid(12, 4) != "IHDR")
            return false;
        cover.width = int(qFromBigEndian<qint32>(bytes.constData() + 16));
        cover.height = int(qFromBigEndian<qint32>(bytes.constData() + 20));
        return fitsMp4(cover);
    }
    qsizetype at = 2;
    while (at + 9 <= bytes.size() && quint8(bytes[at]) == 0xFF) {
        const quint8 marker = quint8(bytes[at + 1]);
        const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8
            && marker != 0xCC;
        if (frame) {
            cover.height = bigEndian16(bytes, at + 5);
            cover.width = bigEndian16(bytes, at + 7);
            return fitsMp4(cover);
        }
        at += marker == 0xFF ? 1 : 2 + bigEndian16(bytes, at + 2);
    }
    return false;
}

// A book's manifest may name the wrong type; the bytes' signature cannot.
Cover readCover(const QByteArray &bytes, const QString &mimeType)
{
    Cover cover;
    if (bytes.startsWith("\xFF\xD8\xFF"))
        cover.codec = AV_CODEC_ID_MJPEG;
    else if (bytes.startsWith("\x89PNG\r\n\x1A\n"))
        cover.codec = AV_CODEC_ID_PNG;
    const QString type = mimeType.toLower();
    const AVCodecID named = type == u"image/png"        ? AV_CODEC_ID_PNG
        : type == u"image/jpeg" || type == u"image/jpg" ? AV_CODEC_ID_MJPEG
                                                        : AV_CODEC_ID_NONE;
    if (!mimeType.isEmpty() && named != cover.codec)
        qCDebug(lcExport).noquote()
            << "m4b: the cover said to be" << mimeType << "is"
            << (cover.codec == AV_CODEC_ID_NONE ? "in no format an MP4 holds"
                                                : avcodec_get_name(cover.codec));
    if (cover.codec != AV_CODEC_ID_NONE && !readSize(bytes, cover))
        cover.codec = AV_CODEC_ID_NONE;
    return cover;
}

// FFmpeg's own messages (the encoder's statistics, the muxer's warnings) go
// to the export log instead of the terminal; a failure reaches the caller as
// errorString() anyway. The handler is the process's, set once by the first
// writer: FFmpeg is used for nothing else.
void logFromFfmpeg(void *context, int level, const char *format, va_list arguments)
{
    if (level > av_log_get_level())
        return;
    thread_local int printPrefix = 1;
    char line[1024];
    av_log_format_line2(context, level, format, arguments, line, sizeof line, &printPrefix);
    qCDebug(lcExport).noquote() << QString::fromUtf8(line).trimmed();
}

bool supportsRate(const AVCodec *codec, int rate)
{
    if (!codec->supported_samplerates)
        return true;
    for (const int *r = codec->supported_samplerates; *r; ++r) {
        if (*r == rate)
            return true;
    }
    return false;
}

void freeChapter(AVChapter *chapter)
{
    av_dict_free(&chapter->metadata);
    av_free(chapter);
}

} // namespace

struct M4bWriter::Session {
    QSaveFile file;
    AVFormatContext *format = nullptr;
    AVCodecContext *encoder = nullptr;
    AVStream *audio = nullptr;
    AVFrame *frame = nullptr; // the AAC frame being filled
    AVPacket *packet = nullptr;
    // Reserved by open(), handed to the muxer by finish().
    std::vector<AVChapter *> chapters;
    int channels = 0;
    int filled = 0; // frames in `frame`
    int64_t nextPts = 0;

    ~Session()
    {
        for (AVChapter *chapter : chapters)
            freeChapter(chapter);
        av_packet_free(&packet);
        av_frame_free(&frame);
        avcodec_free_context(&encoder);
        if (format) {
            if (format->pb) {
                av_freep(&format->pb->buffer);
                avio_context_free(&format->pb);
            }
            // Also drops a muxer left without its trailer, and the chapters.
            avformat_free_context(format);
        }
    }
};

M4bWriter::M4bWriter() = default;

M4bWriter::~M4bWriter()
{
    abort();
}

bool M4bWriter::open(const QString &path, int sampleRate, int channels, int bitrateKbps,
    const Tags &tags, int chapters)
{
    static std::once_flag logging;
    std::call_once(logging, [] { av_log_set_callback(&logFromFfmpeg); });
    abort();
    m_path = path;
    m_error.clear();
    m_frames = 0;
    m_encoderSeconds = 0;
    if (sampleRate <= 0)
        return fail(QStringLiteral("%1 Hz is no sample rate").arg(sampleRate));
    if (channels != 1 && channels != 2)
        return fail(
            QStringLiteral("an audiobook is mono or stereo, not %1 channels").arg(channels));
    if (bitrateKbps <= 0)
        return fail(QStringLiteral("%1 kbit/s is no bit rate").arg(bitrateKbps));
    if (chapters < 0)
        return fail(QStringLiteral("%1 is no number of chapters").arg(chapters));
    const AVCodec *aac = avcodec_find_encoder_by_name(Encoder);
    if (!aac)
        return fail(QStringLiteral("this FFmpeg has no AAC encoder"));
    if (!supportsRate(aac, sampleRate))
        return fail(QStringLiteral("AAC cannot be encoded at %1 Hz").arg(sampleRate));

    m_session = std::make_unique<Session>();
    Session &s = *m_session;
    s.channels = channels;
    s.file.setFileName(path);
    if (!s.file.open(QIODevice::WriteOnly))
        return fail(s.file.errorString());

    int rc = avformat_alloc_output_context2(&s.format, nullptr, Muxer, path.toUtf8().constData());
    if (rc < 0)
        return fail(QStringLiteral("the MP4 muxer is missing (%1)").arg(avError(rc)));
    auto *buffer = static_cast<unsigned char *>(av_malloc(IoBufferBytes));
    if (buffer)
        s.format->pb = avio_alloc_context(
            buffer, IoBufferBytes, 1, &s.file, nullptr, &writeToFile, &seekInFile);
    if (!s.format->pb) {
        av_free(buffer);
        return fail(QStringLiteral("out of memory"));
    }

    s.encoder = avcodec_alloc_context3(aac);
    s.packet = av_packet_alloc();
    s.frame = av_frame_alloc();
    if (!s.encoder || !s.packet || !s.frame)
        return fail(QStringLiteral("out of memory"));
    s.encoder->sample_fmt = AV_SAMPLE_FMT_FLTP;
    s.encoder->sample_rate = sampleRate;
    av_channel_layout_default(&s.encoder->ch_layout, channels);
    s.encoder->bit_rate = int64_t(bitrateKbps) * 1000;
    s.encoder->time_base = {1, sampleRate};
    if (s.format->oformat->flags & AVFMT_GLOBALHEADER)
        s.encoder->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    // The fast coder searches scale factors in one pass instead of two
    // nested loops: some five times faster, with no difference heard in
    // speech at these rates (later FFmpeg releases made it the default).
    AVDictionary *coder = nullptr;
    av_dict_set(&coder, "aac_coder", "fast", 0);
    rc = avcodec_open2(s.encoder, aac, &coder);
    av_dict_free(&coder);
    if (rc < 0)
        return fail(QStringLiteral("the AAC encoder refused %1 Hz, %2 channel(s), %3 kbit/s (%4)")
                        .arg(sampleRate)
                        .arg(channels)
                        .arg(bitrateKbps)
                        .arg(avError(rc)));

    s.frame->format = s.encoder->sample_fmt;
    s.frame->sample_rate = sampleRate;
    s.frame->nb_samples = s.encoder->frame_size;
    if (av_channel_layout_copy(&s.frame->ch_layout, &s.encoder->ch_layout) < 0
        || av_frame_get_buffer(s.frame, 0) < 0)
        return fail(QStringLiteral("out of memory"));

    s.audio = avformat_new_stream(s.format, nullptr);
    if (!s.audio)
        return fail(QStringLiteral("out of memory"));
    s.audio->time_base = s.encoder->time_base;
    rc = avcodec_parameters_from_context(s.audio->codecpar, s.encoder);
    if (rc < 0)
        return fail(avError(rc));

    auto tag = [&](const char *key, const QString &value) {
        if (!value.isEmpty())
            av_dict_set(&s.format->metadata, key, value.toUtf8().constData(), 0);
    };
    tag("title", tags.title);
    tag("artist", tags.artist);
    tag("album_artist", tags.albumArtist);
    tag("album", tags.album);
    if (tags.track > 0)
        tag("track", QString::number(tags.track));
    tag("media_type", QString::fromLatin1(AudiobookKind));

    AVStream *cover = nullptr;
    if (!tags.cover.isEmpty()) {
        const Cover picture = readCover(tags.cover, tags.coverMimeType);
        if (picture.codec == AV_CODEC_ID_NONE) {
            qCInfo(lcExport).noquote() << "m4b: the cover of" << QDir::toNativeSeparators(path)
                                       << "is neither JPEG nor PNG and is left out";
        } else {
            cover = avformat_new_stream(s.format, nullptr);
            if (!cover)
                return fail(QStringLiteral("out of memory"));
            cover->codecpar->codec_type = AVMEDIA_TYPE_VIDEO;
            cover->codecpar->codec_id = picture.codec;
            cover->codecpar->width = picture.width;
            cover->codecpar->height = picture.height;
            cover->disposition = AV_DISPOSITION_ATTACHED_PIC;
        }
    }

    AVDictionary *options = nullptr;
    av_dict_set(&options, "brand", AudiobookBrand, 0);
    rc = avformat_write_header(s.format, &options);
    av_dict_free(&options);
    if (rc < 0)
        return fail(s.file.error() != QFileDevice::NoError ? s.file.errorString() : avError(rc));

    if (cover) {
        rc = av_new_packet(s.packet, int(tags.cover.size()));
        if (rc < 0)
            return fail(QStringLiteral("out of memory"));
        std::memcpy(s.packet->data, tags.cover.constData(), size_t(tags.cover.size()));
        s.packet->stream_index = cover->index;
        s.packet->flags |= AV_PKT_FLAG_KEY;
        s.packet->pts = s.packet->dts = 0;
        if (!writePacket())
            return false;
    }

    s.chapters.reserve(size_t(chapters));
    for (int i = 0; i < chapters; ++i) {
        s.chapters.push_back(static_cast<AVChapter *>(av_mallocz(sizeof(AVChapter))));
        if (!s.chapters.back())
            return fail(QStringLiteral("out of memory"));
    }
    return true;
}

bool M4bWriter::write(const int16_t *frames, qint64 count)
{
    if (!m_session)
        return notOpen();
    if (count < 0 || (count > 0 && !frames))
        return fail(QStringLiteral("%1 frames were given to encode").arg(count));
    Session &s = *m_session;
    const int frameSize = s.encoder->frame_size;
    while (count > 0) {
        // The encoder may still hold the last frame it was given.
        if (s.filled == 0 && av_frame_make_writable(s.frame) < 0)
            return fail(QStringLiteral("out of memory"));
        const int n = int(std::min<qint64>(count, frameSize - s.filled));
        for (int c = 0; c < s.channels; ++c) {
            float *out = reinterpret_cast<float *>(s.frame->data[c]) + s.filled;
            const int16_t *in = frames + c;
            for (int i = 0; i < n; ++i, in += s.channels)
                out[i] = float(*in) * SampleScale;
        }
        frames += qint64(n) * s.channels;
        count -= n;
        s.filled += n;
        m_frames += n;
        if (s.filled == frameSize && !encode(false))
            return false;
    }
    return true;
}

bool M4bWriter::finish(const QList<Mark> &marks)
{
    if (!m_session)
        return notOpen();
    Session &s = *m_session;
    // The last frame may be short: the encoder takes it as it is, so the
    // packets' durations add up to the frames written.
    if (s.filled > 0 && !encode(false))
        return false;
    if (!encode(true) || !setChapters(marks))
        return false;
    int rc = av_write_trailer(s.format);
    if (rc >= 0) {
        avio_flush(s.format->pb);
        rc = s.format->pb->error;
    }
    if (rc < 0)
        return fail(s.file.error() != QFileDevice::NoError ? s.file.errorString() : avError(rc));
    if (!s.file.commit())
        return fail(s.file.errorString());
    m_session.reset();
    return true;
}

void M4bWriter::abort()
{
    // The save file, dropped unfinished, removes what it wrote.
    m_session.reset();
}

bool M4bWriter::encode(bool flush)
{
    Session &s = *m_session;
    AVFrame *frame = nullptr;
    if (!flush) {
        frame = s.frame;
        frame->nb_samples = s.filled;
        frame->pts = s.nextPts;
        s.nextPts += s.filled;
        s.filled = 0;
    }
    double started = threadSeconds();
    int rc = avcodec_send_frame(s.encoder, frame);
    while (rc >= 0) {
        rc = avcodec_receive_packet(s.encoder, s.packet);
        m_encoderSeconds += threadSeconds() - started;
        if (rc < 0)
            break;
        av_packet_rescale_ts(s.packet, s.encoder->time_base, s.audio->time_base);
        s.packet->stream_index = s.audio->index;
        if (!writePacket())
            return false;
        started = threadSeconds();
    }
    if (rc == AVERROR(EAGAIN) || rc == AVERROR_EOF)
        return true;
    return fail(QStringLiteral("the AAC encoder failed (%1)").arg(avError(rc)));
}

bool M4bWriter::writePacket()
{
    Session &s = *m_session;
    // One audio stream and a cover sent before it need no interleaving, and
    // av_write_frame keeps nothing back.
    const int rc = av_write_frame(s.format, s.packet);
    av_packet_unref(s.packet);
    if (rc >= 0)
        return true;
    return fail(s.file.error() != QFileDevice::NoError ? s.file.errorString() : avError(rc));
}

bool M4bWriter::setChapters(const QList<Mark> &marks)
{
    Session &s = *m_session;
    if (marks.isEmpty())
        return true;
    const auto count = size_t(marks.size());
    while (s.chapters.size() < count) {
        s.chapters.push_back(static_cast<AVChapter *>(av_mallocz(sizeof(AVChapter))));
        if (!s.chapters.back())
            return fail(QStringLiteral("out of memory"));
    }
    auto **list = static_cast<AVChapter **>(av_malloc_array(count, sizeof(AVChapter *)));
    if (!list)
        return fail(QStringLiteral("out of memory"));

    const qint64 endMs = qRound64(double(m_frames) * 1000 / s.encoder->sample_rate);
    qint64 earliest = 0;
    for (size_t i = 0; i < count; ++i) {
        const Mark &mark = marks[qsizetype(i)];
        // The first chapter takes in any prelude: a chapter track that
        // starts late needs an edit list, which FFmpeg and other readers
        // ignore, reading the first chapter at 0 anyway.
        const qint64 start = i == 0 ? 0 : std::clamp(mark.startMs, earliest, endMs);
        if (start != mark.startMs)
            qCInfo(lcExport).noquote() << "m4b: chapter" << i + 1 << mark.title << "starts at"
                                       << start << "ms instead of" << mark.startMs << "ms";
        earliest = start;
        AVChapter *chapter = s.chapters[i];
        chapter->id = int64_t(i);
        chapter->time_base = Milliseconds;
        chapter->start = start;
        if (i > 0)
            s.chapters[i - 1]->end = start;
        chapter->end = endMs;
        av_dict_set(&chapter->metadata, "title", mark.title.toUtf8().constData(), 0);
        list[i] = chapter;
    }
    // Only now does the muxer see them: with no chapters at header time it
    // builds the chapter track and the Nero list in the trailer, from these.
    s.format->chapters = list;
    s.format->nb_chapters = unsigned(count);
    s.chapters.erase(s.chapters.begin(), s.chapters.begin() + qsizetype(count));
    return true;
}

bool M4bWriter::notOpen()
{
    // An earlier failure already says what went wrong, and stays.
    if (m_error.isEmpty())
        m_error = m_path.isEmpty()
            ? QStringLiteral("No audiobook is open for writing.")
            : QStringLiteral("Cannot write the audiobook %1: it is no longer open.")
                  .arg(QDir::toNativeSeparators(m_path));
    return false;
}

bool M4bWriter::fail(const QString &cause)
{
    m_error = QStringLiteral("Cannot write the audiobook %1: %2.")
                  .arg(QDir::toNativeSeparators(m_path), cause);
    qCWarning(lcExport).noquote() << m_error;
    abort();
    return false;
}
