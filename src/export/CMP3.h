// Turns a finished WAV file into an MP3 file of the same base name, keeping
// the WAV. The encoder is not trusted with paths that contain a space, so
// those go through the folder Zorbo-Temp in the system temporary folder.
// When anything fails after the WAV was found, the WAV itself is delivered in
// place of the MP3. Whether a conversion worked is judged by the size of what
// comes out, not by what the encoder says.
//
// Messages go through a function the owner supplies (a message box in the
// window, a recorder in tests), so nothing here needs a window.
#pragma once

#include <QString>
#include <functional>
#include <memory>

class Mp3Encoder;

class CMP3
{
public:
    enum class Icon { Plain, Information, Critical };
    using ShowMessage = std::function<void(Icon icon, const QString &title, const QString &text)>;

    struct Options {
        QString library; // empty: libmp3lame.so.0
        QString tempRoot; // empty: the system temporary folder
    };

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
    QString ToMP3(QString &wavPath, QString &outputFolder);

    // Converts the WAV beside itself and tells the user how it went; true when
    // the file produced is long enough to be a result.
    bool ConvertWavAndReport(const QString &wavPath);

    bool hasEncoder() const;
    // The temporary folder for paths with a space, ending in "/".
    QString tempFolder() const;

private:
    QString ToMP3Direct(QString &wavPath, QString &outputFolder);
    QString ToMP3ViaTemp(QString &wavPath, QString &outputFolder);
    QString deliverWav(QString &wavPath, const QString &outputFolder, const QString &tempWav);
    void encode(const QString &source, const QString &target);

    ShowMessage m_showMessage;
    std::unique_ptr<Mp3Encoder> m_Encoder;
    QString m_tempRoot;
};
