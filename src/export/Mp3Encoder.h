// MP3 encoding over libmp3lame, which is opened at run time so that the reader
// still starts and exports WAV on a machine without it (isAvailable() tells).
//
// Each encoder owns its own LAME state and touches nothing shared, so one can
// run on a worker thread. Besides EncodeFile it takes PCM piece by piece
// (begin, feed, finish), so a WAV still being rendered can be encoded as it
// grows. On finish the LAME/Xing frame at the start of the file is rewritten
// with the real frame count, so players show the right duration.
//
// Options are short codes followed by a value: "if44.1" output rate in kHz,
// "iBw32" bit rate in kbit/s, "iLevel5" quality 0 (best) to 9 (fastest),
// "iOM_M" channel mode M (mono), S (stereo) or J (joint stereo).
#pragma once

#include <QFile>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <vector>

class Mp3Encoder
{
public:
    static constexpr const char *DefaultLibrary = "libmp3lame.so.0";

    enum ErrorCode {
        NoLibrary = 1,
        BadOption = 2,
        BadSource = 3,
        BadTarget = 4,
        EncoderFailed = 5,
    };

    // What every failing operation throws: a code and a sentence.
    class Error : public std::runtime_error
    {
    public:
        Error(ErrorCode code, const QString &message);
        ErrorCode code() const { return m_code; }
        QString message() const { return QString::fromUtf8(what()); }

    private:
        ErrorCode m_code;
    };

    struct Settings {
        int outputRate = 44100; // Hz
        int bitrate = 32; // kbit/s, constant
        int quality = 5;
        char mode = 'M';
        QByteArray leadingTag; // written before the first frame (see id3v2Tag())
    };

    // What players show of a file: its title, the album it belongs to and
    // where in it, who reads it, and a cover picture (JPEG or PNG bytes).
    struct Tags {
        QString title, album, artist;
        int track = 0, tracks = 0; // 0: not given
        QByteArray cover;
        QString coverMimeType;
    };
    // An ID3v2.3 tag of `tags` (text in UTF-16, the cover as the front
    // cover), for Settings::leadingTag; empty when there is nothing to tag.
    static QByteArray id3v2Tag(const Tags &tags);

    // Reads the option codes, in any order; throws BadOption on an unknown
    // code or a value out of range. Codes not given keep their defaults.
    static Settings parseOptions(const QStringList &options);

    explicit Mp3Encoder(const QString &library = QString::fromLatin1(DefaultLibrary));
    ~Mp3Encoder();
    Mp3Encoder(const Mp3Encoder &) = delete;
    Mp3Encoder &operator=(const Mp3Encoder &) = delete;

    bool isAvailable() const;
    // Why the library could not be opened; empty when it was.
    QString loadError() const { return m_loadError; }

    // Encodes the WAV file `source` (16-bit PCM) into `target`, replacing it.
    // `message` receives a line on what was written. Throws Error.
    void EncodeFile(const QString &source, const QString &target, const QString &rateOption,
        const QString &bitrateOption, const QString &levelOption, const QString &modeOption,
        QString &message);

    // Starts a new MP3 file for PCM at `inputRate` with `channels` (1 or 2)
    // interleaved channels; an encoding under way is abandoned. Throws Error.
    void begin(const QString &target, int inputRate, int channels, const Settings &settings);
    // Encodes `frames` interleaved frames. Throws Error.
    void feed(const int16_t *pcm, qint64 frames);
    // Writes the last frames and the LAME/Xing frame and closes the file;
    // returns the duration written in seconds. Throws Error.
    double finish();
    // Whether the last finish wrote a LAME/Xing frame (LAME leaves it out when
    // it does not fit in one frame, as at 32 kbit/s and 44.1 kHz).
    bool wroteTag() const { return m_wroteTag; }
    // Drops an encoding under way and removes its unfinished file.
    void discard();
    bool isEncoding() const;

private:
    struct Library;
    struct Session;

    void write(const unsigned char *data, int size);
    [[noreturn]] void abandon(ErrorCode code, const QString &message);

    std::unique_ptr<Library> m_lib;
    std::unique_ptr<Session> m_session;
    QString m_loadError;
    bool m_wroteTag = false;
};
