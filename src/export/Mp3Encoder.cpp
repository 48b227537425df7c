#include "export/Mp3Encoder.h"

#include "export/WavReader.h"
#include "system/Log.h"

#include <QDir>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <dlfcn.h>
#include <lame/lame.h>

namespace
{

// Frames handed to LAME per call, which bounds the output buffer.
constexpr qint64 FeedFrames = 32768;
constexpr int ValidRates[] = {8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000};

// LAME's messages go to the log instead of stderr.
void reportToLog(const char *format, va_list ap)
{
    char text[512];
    std::vsnprintf(text, sizeof text, format, ap);
    qCDebug(lcExport, "lame: %s", text);
}

// Size LAME asks for the output of `frames` input frames.
std::size_t outputBound(qint64 frames)
{
    return std::size_t(frames + frames / 4 + 7200);
}

} // namespace

Mp3Encoder::Error::Error(ErrorCode code, const QString &message)
    : std::runtime_error(message.toStdString())
    , m_code(code)
{
}

struct Mp3Encoder::Library {
    void *handle = nullptr;
    decltype(&lame_init) init = nullptr;
    decltype(&lame_close) close = nullptr;
    decltype(&lame_set_in_samplerate) setInRate = nullptr;
    decltype(&lame_set_num_channels) setChannels = nullptr;
    decltype(&lame_set_out_samplerate) setOutRate = nullptr;
    decltype(&lame_set_brate) setBitrate = nullptr;
    decltype(&lame_set_quality) setQuality = nullptr;
    decltype(&lame_set_mode) setMode = nullptr;
    decltype(&lame_set_VBR) setVbr = nullptr;
    decltype(&lame_set_bWriteVbrTag) setWriteTag = nullptr;
    decltype(&lame_set_errorf) setErrorf = nullptr;
    decltype(&lame_set_debugf) setDebugf = nullptr;
    decltype(&lame_set_msgf) setMsgf = nullptr;
    decltype(&lame_init_params) initParams = nullptr;
    decltype(&lame_encode_buffer) encode = nullptr;
    decltype(&lame_encode_buffer_interleaved) encodeInterleaved = nullptr;
    decltype(&lame_encode_flush) flush = nullptr;
    decltype(&lame_get_lametag_frame) tagFrame = nullptr;

    ~Library()
    {
        if (handle)
            dlclose(handle);
    }

    // Empty when every function was found.
    QString load(const QString &name)
    {
        handle = dlopen(QFile::encodeName(name).constData(), RTLD_NOW | RTLD_LOCAL);
        if (!handle)
            return QString::fromLocal8Bit(dlerror());
        QString missing;
        auto resolve = [&](auto &function, const char *symbol) {
            function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(
                dlsym(handle, symbol));
            if (!function)
                missing += QLatin1Char(' ') + QLatin1String(symbol);
        };
        resolve(init, "lame_init");
        resolve(close, "lame_close");
        resolve(setInRate, "lame_set_in_samplerate");
        resolve(setChannels, "lame_set_num_channels");
        resolve(setOutRate, "lame_set_out_samplerate");
        resolve(setBitrate, "lame_set_brate");
        resolve(setQuality, "lame_set_quality");
        resolve(setMode, "lame_set_mode");
        resolve(setVbr, "lame_set_VBR");
        resolve(setWriteTag, "lame_set_bWriteVbrTag");
        resolve(setErrorf, "lame_set_errorf");
        resolve(setDebugf, "lame_set_debugf");
        resolve(setMsgf, "lame_set_msgf");
        resolve(initParams, "lame_init_params");
        resolve(encode, "lame_encode_buffer");
        resolve(encodeInterleaved, "lame_encode_buffer_interleaved");
        resolve(flush, "lame_encode_flush");
        resolve(tagFrame, "lame_get_lametag_frame");
        if (missing.isEmpty())
            return QString();
        dlclose(handle);
        handle = nullptr;
        return name + QStringLiteral(" lacks") + missing;
    }
};

struct Mp3Encoder::Session {
    const Library &lib;
    lame_global_flags *flags = nullptr;
    QFile file;
    std::vector<unsigned char> out;
    qint64 frames = 0;
    int inputRate = 0;
    int channels = 1;
    qint64 firstFrameAt = 0; // after the leading tag

    explicit Session(const Library &library)
        : lib(library)
    {
    }
    ~Session()
    {
        if (flags)
            lib.close(flags);
    }
};

Mp3Encoder::Settings Mp3Encoder::parseOptions(const QStringList &options)
{
    Settings settings;
    auto bad = [](const QString &option) {
        return Error(BadOption, QStringLiteral("bad encoder option \"%1\"").arg(option));
    };
    for (const QString &option : options) {
        bool ok = false;
        if (option.startsWith(u"if")) {
            const double kHz = option.mid(2).toDouble(&ok);
            const int rate = int(std::lround(kHz * 1000));
            if (!ok
                || std::find(std::begin(ValidRates), std::end(ValidRates), rate)
                    == std::end(ValidRates))
                throw bad(option);
            settings.outputRate = rate;
        } else if (option.startsWith(u"iBw")) {
            settings.bitrate = option.mid(3).toInt(&ok);
            if (!ok || settings.bitrate < 8 || settings.bitrate > 320)
                throw bad(option);
        } else if (option.startsWith(u"iLevel")) {
            settings.quality = option.mid(6).toInt(&ok);
            if (!ok || settings.quality < 0 || settings.quality > 9)
                throw bad(option);
        } else if (option.startsWith(u"iOM_") && option.size() == 5
            && QStringLiteral("MSJ").contains(option.at(4))) {
            settings.mode = char(option.at(4).toLatin1());
        } else {
            throw bad(option);
        }
    }
    return settings;
}

Mp3Encoder::Mp3Encoder(const QString &library)
    : m_lib(std::make_unique<Library>())
{
    m_loadError = m_lib->load(library);
    if (!m_loadError.isEmpty())
        qCWarning(lcExport) << "MP3 encoder not available:" << m_loadError;
}

Mp3Encoder::~Mp3Encoder() = default;

bool Mp3Encoder::isAvailable() const
{
    return m_lib->handle != nullptr;
}

bool Mp3Encoder::isEncoding() const
{
    return m_session != nullptr;
}

void Mp3Encoder::discard()
{
    if (!m_session)
        return;
    const QString target = m_session->file.fileName();
    m_session.reset();
    // Half an MP3 is not a result; the caller decides what to deliver.
    QFile::remove(target);
}

void Mp3Encoder::abandon(ErrorCode code, const QString &message)
{
    discard();
    qCWarning(lcExport).noquote() << "MP3 encoding failed:" << message;
    throw Error(code, message);
}

void Mp3Encoder::begin(const QString &target, int inputRate, int channels, const Settings &settings)
{
    m_session.reset();
    if (!isAvailable())
        throw Error(NoLibrary, QStringLiteral("MP3 encoder not available: %1").arg(m_loadError));
    if (inputRate <= 0 || channels < 1 || channels > 2)
        throw Error(BadSource,
            QStringLiteral("unsupported input: %1 Hz, %2 channels").arg(inputRate).arg(channels));
    auto session = std::make_unique<Session>(*m_lib);
    session->flags = m_lib->init();
    if (!session->flags)
        throw Error(EncoderFailed, QStringLiteral("lame_init failed"));
    lame_global_flags *f = session->flags;
    m_lib->setErrorf(f, reportToLog);
    m_lib->setDebugf(f, reportToLog);
    m_lib->setMsgf(f, reportToLog);
    m_lib->setInRate(f, inputRate);
    m_lib->setChannels(f, channels);
    m_lib->setOutRate(f, settings.outputRate);
    m_lib->setVbr(f, vbr_off);
    m_lib->setBitrate(f, settings.bitrate);
    m_lib->setQuality(f, settings.quality);
    m_lib->setMode(f, settings.mode == 'S' ? STEREO : settings.mode == 'J' ? JOINT_STEREO : MONO);
    m_lib->setWriteTag(f, 1);
    if (m_lib->initParams(f) < 0)
        throw Error(BadOption,
            QStringLiteral("the encoder refused %1 Hz, %2 kbit/s, mode %3")
                .arg(settings.outputRate)
                .arg(settings.bitrate)
                .arg(QLatin1Char(settings.mode)));
    session->file.setFileName(target);
    if (!session->file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw Error(BadTarget,
            QStringLiteral("cannot create %1: %2")
                .arg(QDir::toNativeSeparators(target), session->file.errorString()));
    session->inputRate = inputRate;
    session->channels = channels;
    session->firstFrameAt = settings.leadingTag.size();
    m_session = std::move(session);
    if (!settings.leadingTag.isEmpty())
        write(reinterpret_cast<const unsigned char *>(settings.leadingTag.constData()),
            int(settings.leadingTag.size()));
}

namespace
{
void appendBigEndian(QByteArray &out, quint32 value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.append(char((value >> shift) & 0xFF));
}

void appendFrame(QByteArray &out, const char *id, const QByteArray &body)
{
    out.append(id, 4);
    appendBigEndian(out, quint32(body.size()));
    out.append(2, '\0'); // flags
    out.append(body);
}

// Encoding 1: UTF-16 with a byte-order mark, which every player reads.
QByteArray utf16Text(const QString &text)
{
    QByteArray body(1, '\1');
    body.append("\xFF\xFE", 2);
    for (const QChar c : text) {
        body.append(char(c.unicode() & 0xFF));
        body.append(char(c.unicode() >> 8));
    }
    return body;
}
} // namespace

QByteArray Mp3Encoder::id3v2Tag(const Tags &tags)
{
    QByteArray frames;
    if (!tags.title.isEmpty())
        appendFrame(frames, "TIT2", utf16Text(tags.title));
    if (!tags.album.isEmpty())
        appendFrame(frames, "TALB", utf16Text(tags.album));
    if (!tags.artist.isEmpty())
        appendFrame(frames, "TPE1", utf16Text(tags.artist));
    if (tags.track > 0) {
        QString track = QString::number(tags.track);
        if (tags.tracks > 0)
            track += u'/' + QString::number(tags.tracks);
        appendFrame(frames, "TRCK", utf16Text(track));
    }
    const QByteArray mime = tags.coverMimeType.toLatin1();
    if (!tags.cover.isEmpty() && (mime == "image/jpeg" || mime == "image/png")) {
        // Latin-1 description, the MIME type, picture type 3 (front cover),
        // an empty description, the image.
        QByteArray body(1, '\0');
        body += mime + '\0' + '\3' + '\0' + tags.cover;
        appendFrame(frames, "APIC", body);
    }
    if (frames.isEmpty())
        return {};
    // The tag's size is stored seven bits to the byte ("synchsafe").
    QByteArray tag("ID3\3\0\0", 6);
    const quint32 size = quint32(frames.size());
    for (int shift = 21; shift >= 0; shift -= 7)
        tag.append(char((size >> shift) & 0x7F));
    return tag + frames;
}

void Mp3Encoder::write(const unsigned char *data, int size)
{
    if (size < 0)
        abandon(EncoderFailed, QStringLiteral("LAME returned error %1").arg(size));
    if (m_session->file.write(reinterpret_cast<const char *>(data), size) != size)
        abandon(BadTarget,
            QStringLiteral("cannot write %1: %2")
                .arg(QDir::toNativeSeparators(m_session->file.fileName()),
                    m_session->file.errorString()));
}

void Mp3Encoder::feed(const int16_t *pcm, qint64 frames)
{
    if (!m_session)
        throw Error(EncoderFailed, QStringLiteral("no encoding under way"));
    Session &s = *m_session;
    while (frames > 0) {
        const qint64 n = std::min(frames, FeedFrames);
        s.out.resize(outputBound(n));
        int bytes = 0;
        if (s.channels == 1) {
            // With one channel LAME reads only the left buffer.
            bytes = m_lib->encode(s.flags, pcm, pcm, int(n), s.out.data(), int(s.out.size()));
        } else {
            // LAME's interleaved entry point takes a non-const pointer but only reads.
            bytes = m_lib->encodeInterleaved(
                s.flags, const_cast<short *>(pcm), int(n), s.out.data(), int(s.out.size()));
        }
        write(s.out.data(), bytes);
        s.frames += n;
        pcm += n * s.channels;
        frames -= n;
    }
}

double Mp3Encoder::finish()
{
    if (!m_session)
        throw Error(EncoderFailed, QStringLiteral("no encoding under way"));
    Session &s = *m_session;
    s.out.resize(outputBound(0));
    write(s.out.data(), m_lib->flush(s.flags, s.out.data(), int(s.out.size())));
    // The first frame was written as a placeholder; now that the frame count
    // and sizes are known it is rewritten in place.
    std::size_t tagSize = m_lib->tagFrame(s.flags, s.out.data(), s.out.size());
    if (tagSize > s.out.size()) {
        s.out.resize(tagSize);
        tagSize = m_lib->tagFrame(s.flags, s.out.data(), s.out.size());
    }
    m_wroteTag = tagSize > 0;
    if (tagSize > 0) {
        if (!s.file.seek(s.firstFrameAt))
            abandon(BadTarget, s.file.errorString());
        write(s.out.data(), int(tagSize));
    }
    if (!s.file.flush())
        abandon(BadTarget, s.file.errorString());
    const double seconds = double(s.frames) / s.inputRate;
    m_session.reset();
    return seconds;
}

void Mp3Encoder::EncodeFile(const QString &source, const QString &target, const QString &rateOption,
    const QString &bitrateOption, const QString &levelOption, const QString &modeOption,
    QString &message)
{
    if (!isAvailable())
        throw Error(NoLibrary, QStringLiteral("MP3 encoder not available: %1").arg(m_loadError));
    const Settings settings = parseOptions({rateOption, bitrateOption, levelOption, modeOption});
    WavReader wav;
    if (!wav.open(source))
        throw Error(BadSource,
            QStringLiteral("cannot read %1: %2")
                .arg(QDir::toNativeSeparators(source), wav.errorString()));
    begin(target, wav.sampleRate(), wav.channels(), settings);
    std::vector<int16_t> pcm(std::size_t(FeedFrames * wav.channels()));
    for (;;) {
        const qint64 frames = wav.read(pcm.data(), FeedFrames);
        if (frames < 0)
            abandon(
                BadSource, QStringLiteral("cannot read %1").arg(QDir::toNativeSeparators(source)));
        if (frames == 0)
            break;
        feed(pcm.data(), frames);
    }
    const double seconds = finish();
    message = QStringLiteral("%1: %2 s, %3 Hz, %4 kbit/s")
                  .arg(QDir::toNativeSeparators(target))
                  .arg(seconds, 0, 'f', 2)
                  .arg(settings.outputRate)
                  .arg(settings.bitrate);
}
