// Shared by the export tests: tone WAV files, what soxi, lame and FFmpeg make
// of a file, cover pictures, and an MP3 front end whose boxes are recorded.
#pragma once

#include "TestFiles.h"
#include "export/CMP3.h"
#include "speech/SpFileStream.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QString>
#include <cmath>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

namespace ExportTestKit
{

// Interleaved 16-bit frames of a 440 Hz tone (a fifth higher on the right).
inline std::vector<int16_t> tone(int rate, int channels, double seconds)
{
    const std::size_t frames = std::size_t(std::lround(rate * seconds));
    std::vector<int16_t> pcm(frames * std::size_t(channels));
    for (std::size_t i = 0; i < frames; ++i) {
        for (int c = 0; c < channels; ++c) {
            const double hz = 440.0 * (c ? 1.5 : 1.0);
            pcm[i * std::size_t(channels) + std::size_t(c)]
                = int16_t(8000 * std::sin(2 * M_PI * hz * double(i) / rate));
        }
    }
    return pcm;
}

// A mono tone written the way a voice writes it.
inline bool writeToneWav(const QString &path, double seconds, int type = SAFT16kHz16BitMono)
{
    SpFileStream stream;
    stream.Format.Type = type;
    if (!stream.Open(path))
        return false;
    const std::vector<int16_t> pcm = tone(stream.sampleRate(), 1, seconds);
    return stream.writeSamples(pcm.data(), qint64(pcm.size())) && stream.Close();
}

// Runs a tool to a clean end; its standard output goes to `output`.
inline bool run(const QString &program, const QStringList &arguments, QString *output = nullptr)
{
    const TestFiles::Run r = TestFiles::run(program, arguments, QDir::currentPath(), {}, 120000);
    if (output)
        *output = r.output.trimmed();
    return r.finished && r.exitCode == 0;
}

// soxi's answer to one option ("-D", "-r", "-c"), or -1.
inline double soxi(const char *option, const QString &path)
{
    QString out;
    bool ok = false;
    const double value = run(QStringLiteral("soxi"), {QString::fromLatin1(option), path}, &out)
        ? out.toDouble(&ok)
        : 0;
    return ok ? value : -1;
}

// Everything left in a folder, hidden files included.
inline QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
}

// A CMP3 that appends each box it shows to `shown` as "icon|title|text".
inline std::unique_ptr<CMP3> makeCMP3(QStringList &shown, const QString &library = QString())
{
    CMP3::Options options;
    options.library = library;
    return std::make_unique<CMP3>(
        [&shown](CMP3::Icon icon, const QString &title, const QString &text) {
            shown.append(QString::number(int(icon)) + u'|' + title + u'|' + text);
        },
        options);
}

// Bytes of a small picture in an image format ("PNG", "JPEG").
inline QByteArray imageBytes(const char *format)
{
    QImage image(48, 32, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

// What a player reads of an audio file through FFmpeg: its tags, chapters
// and cover and, when asked, its first channel as heard (the encoder's
// priming left out).
struct Media {
    struct Chapter {
        QString title;
        double start = 0, end = 0; // seconds
    };
    qint64 durationUs = -1; // from the container
    QHash<QString, QString> tags;
    QList<Chapter> chapters;
    AVCodecID coverCodec = AV_CODEC_ID_NONE;
    QByteArray cover;
    int rate = 0, channels = 0;
    std::vector<float> samples;

    double seconds() const { return double(durationUs) / AV_TIME_BASE; }
};

inline Media readMedia(const QString &path, bool decode = false)
{
    Media media;
    AVFormatContext *format = nullptr;
    if (avformat_open_input(&format, QFile::encodeName(path).constData(), nullptr, nullptr) < 0)
        return media;
    const std::unique_ptr<AVFormatContext, void (*)(AVFormatContext *)> closer(
        format, [](AVFormatContext *f) { avformat_close_input(&f); });
    avformat_find_stream_info(format, nullptr);
    media.durationUs = format->duration;
    for (const AVDictionaryEntry *t = nullptr;
         (t = av_dict_get(format->metadata, "", t, AV_DICT_IGNORE_SUFFIX));)
        media.tags.insert(QString::fromUtf8(t->key), QString::fromUtf8(t->value));
    for (unsigned i = 0; i < format->nb_chapters; ++i) {
        const AVChapter *c = format->chapters[i];
        const AVDictionaryEntry *title = av_dict_get(c->metadata, "title", nullptr, 0);
        media.chapters.append({title ? QString::fromUtf8(title->value) : QString(),
            double(c->start) * av_q2d(c->time_base), double(c->end) * av_q2d(c->time_base)});
    }
    int audio = -1;
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        const AVStream *st = format->streams[i];
        if (st->disposition & AV_DISPOSITION_ATTACHED_PIC) {
            media.coverCodec = st->codecpar->codec_id;
            media.cover = QByteArray(
                reinterpret_cast<const char *>(st->attached_pic.data), st->attached_pic.size);
        } else if (st->codecpar->codec_type == AVMEDIA_TYPE_AUDIO) {
            audio = int(i);
        }
    }
    if (audio < 0)
        return media;
    const AVCodecParameters *par = format->streams[audio]->codecpar;
    media.rate = par->sample_rate;
    media.channels = par->ch_layout.nb_channels;
    if (!decode)
        return media;
    AVCodecContext *decoder = avcodec_alloc_context3(avcodec_find_decoder(par->codec_id));
    avcodec_parameters_to_context(decoder, par);
    avcodec_open2(decoder, decoder->codec, nullptr);
    AVPacket *packet = av_packet_alloc();
    AVFrame *frame = av_frame_alloc();
    // The decoder gives planar floats: the first plane is the first channel.
    const auto take = [&] {
        while (avcodec_receive_frame(decoder, frame) >= 0) {
            const auto *first = reinterpret_cast<const float *>(frame->extended_data[0]);
            media.samples.insert(media.samples.end(), first, first + frame->nb_samples);
        }
    };
    while (av_read_frame(format, packet) >= 0) {
        if (packet->stream_index == audio && avcodec_send_packet(decoder, packet) >= 0)
            take();
        av_packet_unref(packet);
    }
    avcodec_send_packet(decoder, nullptr);
    take();
    av_frame_free(&frame);
    av_packet_free(&packet);
    avcodec_free_context(&decoder);
    return media;
}

} // namespace ExportTestKit
