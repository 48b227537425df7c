#include "export/CMP3.h"

#include "export/ExportTexts.h"
#include "export/Mp3Encoder.h"

#include "export/WavReader.h"
#include "system/Log.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <chrono>
#include <functional>
#include <future>

namespace
{

const QString TempFolderName = QStringLiteral(".Zorbo-Temp/");
const QString StagedSuffix = QStringLiteral(".mp3.part");
using namespace ExportTexts;
// Output rate 44.1 kHz, 32 kbit/s, quality 5, mono.
const QString EncoderOptions[] = {QStringLiteral("if44.1"), QStringLiteral("iBw32"),
    QStringLiteral("iLevel5"), QStringLiteral("iOM_M")};

// How often the event loop turns while the encoder works.
constexpr int PumpMs = 50;

// A failed file step; it sends the conversion to the WAV fallback.
struct FileStepFailed {
    QString what;
};

bool hasSpace(const QString &path)
{
    return path.contains(QLatin1Char(' '));
}

// File name without folder and without its last extension.
QString baseName(const QString &path)
{
    return QFileInfo(path).completeBaseName();
}

// Removes the file, read-only or not; a no-op when there is none.
void forceRemove(const QString &path)
{
    if (!QFileInfo::exists(path))
        return;
    QFile file(path);
    file.setPermissions(file.permissions() | QFileDevice::WriteOwner);
    if (!file.remove())
        throw FileStepFailed {QStringLiteral("cannot delete %1: %2").arg(path, file.errorString())};
}

void moveFile(const QString &from, const QString &to)
{
    QFile file(from);
    if (!file.rename(to))
        throw FileStepFailed {
            QStringLiteral("cannot move %1 to %2: %3").arg(from, to, file.errorString())};
}

// The WAV path is missing, or names a file that is already an MP3.
bool nothingToConvert(const QString &wavPath)
{
    const QFileInfo info(wavPath);
    return !info.isFile() || info.suffix().toLower() == u"mp3";
}

// Runs `work` on a thread of its own while this thread's event loop keeps
// turning, so windows repaint; user input waits until the work is done, as
// it would for a call made on this thread. Rethrows what `work` threw.
void runPumping(const std::function<void()> &work)
{
    auto done = std::async(std::launch::async, work);
    const bool pump = QCoreApplication::instance() != nullptr;
    while (done.wait_for(std::chrono::milliseconds(pump ? PumpMs : 1000))
        != std::future_status::ready) {
        if (pump)
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    done.get();
}

// Puts the MP3 made beforehand at `target` when it was made from all of
// `source`; false (leaving it alone) when the WAV must be encoded instead.
bool placeEncoded(const CMP3::Encoded &encoded, const QString &source, const QString &target)
{
    if (encoded.path.isEmpty() || !QFileInfo(encoded.path).isFile())
        return false;
    WavReader wav;
    if (!wav.open(source) || wav.frames() != encoded.frames) {
        qCWarning(lcExport) << "the MP3 made while rendering does not match" << source;
        return false;
    }
    wav.close();
    // The encoder would write over an existing file; so does this.
    if (QFileInfo::exists(target) && !QFile::remove(target))
        return false;
    if (!QFile::rename(encoded.path, target)) {
        qCWarning(lcExport) << "cannot move" << encoded.path << "to" << target;
        return false;
    }
    return true;
}

} // namespace

CMP3::CMP3(ShowMessage showMessage, const Options &options)
    : m_showMessage(std::move(showMessage))
    , m_library(options.library.isEmpty() ? QString::fromLatin1(Mp3Encoder::DefaultLibrary)
                                          : options.library)
{
    auto encoder = std::make_unique<Mp3Encoder>(m_library);
    if (encoder->isAvailable()) {
        m_Encoder = std::move(encoder);
    } else if (m_showMessage) {
        m_showMessage(Icon::Plain, QString(), NoEncoder);
    }
}

CMP3::~CMP3() = default;

QStringList CMP3::encoderOptions()
{
    return {std::begin(EncoderOptions), std::end(EncoderOptions)};
}

bool CMP3::hasEncoder() const
{
    return m_Encoder != nullptr;
}

QString CMP3::tempFolder(const QString &wavPath)
{
    return QFileInfo(wavPath).absolutePath() + QLatin1Char('/') + TempFolderName;
}

QString CMP3::stagedMp3Path(const QString &wavPath)
{
    const QFileInfo info(wavPath);
    return info.absolutePath() + QStringLiteral("/.") + info.completeBaseName() + StagedSuffix;
}

void CMP3::removeStaleStaging(const QString &wavPath)
{
    const QDir beside = QFileInfo(wavPath).absoluteDir();
    const QDir::Filters files = QDir::Files | QDir::Hidden;
    const QStringList staged {QStringLiteral(".*") + StagedSuffix};
    for (const QString &name : beside.entryList(staged, files))
        QFile::remove(beside.filePath(name));
    const QDir temp(tempFolder(wavPath));
    for (const QString &name : temp.entryList(files)) {
        const QString stale = temp.filePath(name);
        const QString home = beside.filePath(name);
        if (QFileInfo(name).suffix().toLower() == u"wav" && !QFileInfo::exists(home)
            && QFile::rename(stale, home))
            continue;
        if (!QFile::remove(stale))
            qCWarning(lcExport) << "cannot remove" << stale;
    }
}

void CMP3::encode(const QString &source, const QString &target, const Encoded &encoded)
{
    if (!m_Encoder)
        throw Mp3Encoder::Error(Mp3Encoder::NoLibrary, NoEncoder);
    if (placeEncoded(encoded, source, target))
        return;
    QString message;
    runPumping([&] {
        m_Encoder->EncodeFile(source, target, EncoderOptions[0], EncoderOptions[1],
            EncoderOptions[2], EncoderOptions[3], message);
    });
    qCDebug(lcExport).noquote() << message;
}

QString CMP3::ToMP3(QString &wavPath, QString &outputFolder, const Encoded &encoded)
{
    if (hasSpace(wavPath) || hasSpace(outputFolder))
        return ToMP3ViaTemp(wavPath, outputFolder, encoded);
    return ToMP3Direct(wavPath, outputFolder, encoded);
}

QString CMP3::ToMP3Direct(QString &wavPath, QString &outputFolder, const Encoded &encoded)
{
    if (nothingToConvert(wavPath))
        return wavPath;
    try {
        // An MP3 already there is written over by the encoder.
        const QString mp3 = outputFolder + baseName(wavPath) + QStringLiteral(".mp3");
        encode(wavPath, mp3, encoded);
        return mp3;
    } catch (const Mp3Encoder::Error &e) {
        qCWarning(lcExport).noquote() << "MP3 conversion failed:" << e.message();
    }
    return deliverWav(wavPath, outputFolder, QString());
}

QString CMP3::ToMP3ViaTemp(QString &wavPath, QString &outputFolder, const Encoded &encoded)
{
    if (nothingToConvert(wavPath))
        return wavPath;
    const QString base = baseName(wavPath);
    const QString folder = tempFolder(wavPath);
    const QString tempWav = folder + QFileInfo(wavPath).fileName();
    try {
        const QString mp3 = outputFolder + base + QStringLiteral(".mp3");
        forceRemove(mp3);
        if (!QDir().mkpath(folder))
            throw FileStepFailed {QStringLiteral("cannot create %1").arg(folder)};
        const QString tempMp3 = folder + base + QStringLiteral(".mp3");
        forceRemove(tempWav);
        moveFile(wavPath, tempWav);
        encode(tempWav, tempMp3, encoded);
        moveFile(tempWav, wavPath);
        moveFile(tempMp3, mp3);
        return mp3;
    } catch (const Mp3Encoder::Error &e) {
        qCWarning(lcExport).noquote() << "MP3 conversion failed:" << e.message();
    } catch (const FileStepFailed &e) {
        qCWarning(lcExport).noquote() << "MP3 conversion failed:" << e.what;
    }
    return deliverWav(wavPath, outputFolder, tempWav);
}

QString CMP3::deliverWav(QString &wavPath, const QString &outputFolder, const QString &tempWav)
{
    try {
        if (!tempWav.isEmpty() && !QFileInfo::exists(wavPath) && QFileInfo::exists(tempWav))
            moveFile(tempWav, wavPath);
        const QString copy = outputFolder + baseName(wavPath) + QStringLiteral(".wav");
        const QString source = QFileInfo(wavPath).canonicalFilePath();
        if (source.isEmpty())
            throw FileStepFailed {QStringLiteral("%1 is gone").arg(wavPath)};
        // The output folder is usually the WAV's own: then it is already there.
        if (QFileInfo(copy).canonicalFilePath() != source) {
            forceRemove(copy);
            if (!QFile::copy(wavPath, copy))
                throw FileStepFailed {QStringLiteral("cannot copy %1 to %2").arg(wavPath, copy)};
        }
        wavPath = copy;
        return copy;
    } catch (const FileStepFailed &e) {
        qCWarning(lcExport).noquote() << "cannot deliver the WAV either:" << e.what;
    }
    return QString();
}

bool CMP3::ConvertWavAndReport(const QString &wavPath, const Encoded &encoded)
{
    QString wav = wavPath;
    QString folder = QFileInfo(wav).absolutePath() + QLatin1Char('/');
    const QString produced = ToMP3(wav, folder, encoded);
    const qint64 size = produced.isEmpty() ? 0 : QFileInfo(produced).size();
    const QString details = wav + LineEnd + produced + LineEnd;
    const bool ok = size > FailedSizeLimit;
    if (m_showMessage)
        m_showMessage(
            ok ? Icon::Information : Icon::Critical, Title, details + (ok ? Saved : Failed));
    return ok;
}
