// Turns a finished WAV file into an MP3 file of the same base name, keeping
// the WAV. The encoder is not trusted with paths that contain a space, so
// those go through the hidden folder .Zorbo-Temp beside the WAV: on the same
// file system, moving the files there and back is a rename.
// When anything fails after the WAV was found, the WAV itself is delivered in
// place of the MP3. Whether a conversion worked is judged by the size of what
// comes out, not by what the encoder says.
//
// Messages go through a function the owner supplies (a message box in the
// window, a recorder in tests), so nothing here needs a window. The encoder
// runs on a worker thread while the caller's event loop keeps turning (user
// input held back), so the window repaints during a long conversion; an MP3
// already made while the WAV was rendered can be handed in and is then put
// in place instead of encoding the WAV again.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class Mp3Encoder;

// An MP3 made from a WAV beforehand (see Mp3Follower): a conversion uses it
// when it holds as many frames as the WAV, and encodes the WAV otherwise.
struct EncodedMp3 {
    QString path;
    qint64 frames = -1;
};

class CMP3
{
public:
    enum class Icon { Plain, Information, Critical };
    using ShowMessage = std::function<void(Icon icon, const QString &title, const QString &text)>;

    struct Options {
        QString library; // empty: libmp3lame.so.0
    };

    using Encoded = EncodedMp3;

    // A produced file must be longer than this to count as converted.
    static constexpr qint64 FailedSizeLimit = 46;

    // Opens the encoder; when it cannot, says so once through `showMessage`
    // and carries on, so every conversion delivers the WAV instead.
    explicit CMP3(ShowMessage showMessage, const Options &options = {});
    ~CMP3();
    CMP3(const CMP3 &) = delete;
    CMP3 &operator=(const CMP3 &) = delete;

    // Converts `wavPath` into `outputFolder` (ending in "/") and returns the
    // path of the file produced: the MP3, the WAV itself when it is missing
    // or already an .mp3, the WAV copied into the output folder when the
    // conversion failed (then `wavPath` is set to that copy too), or an empty
    // string when even that failed. Never throws.
    QString ToMP3(QString &wavPath, QString &outputFolder, const Encoded &encoded = {});

    // Converts the WAV beside itself and tells the user how it went; true when
    // the file produced is long enough to be a result.
    bool ConvertWavAndReport(const QString &wavPath, const Encoded &encoded = {});

    bool hasEncoder() const;
    // The four option codes every conversion passes to the encoder.
    static QStringList encoderOptions();
    // The encoder library this converter opened (or tried to).
    QString library() const { return m_library; }
    // The temporary folder for a WAV path with a space, ending in "/".
    static QString tempFolder(const QString &wavPath);
    // Where an MP3 made while the WAV renders waits for the conversion: a
    // hidden file beside the WAV.
    static QString stagedMp3Path(const QString &wavPath);
    // Clears what an export killed halfway left in the WAV's folder: staged
    // MP3s and the temporary folder's files. A WAV found there whose place
    // beside is free goes back to it.
    static void removeStaleStaging(const QString &wavPath);

private:
    QString ToMP3Direct(QString &wavPath, QString &outputFolder, const Encoded &encoded);
    QString ToMP3ViaTemp(QString &wavPath, QString &outputFolder, const Encoded &encoded);
    QString deliverWav(QString &wavPath, const QString &outputFolder, const QString &tempWav);
    void encode(const QString &source, const QString &target, const Encoded &encoded);

    ShowMessage m_showMessage;
    std::unique_ptr<Mp3Encoder> m_Encoder;
    QString m_library;
};
