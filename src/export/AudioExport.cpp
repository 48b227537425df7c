#include "export/AudioExport.h"

#include "export/CMP3.h"
#include "export/ExportTexts.h"
#include "export/Mp3Follower.h"
#include "speech/ReadingController.h"
#include "speech/SpFileStream.h"
#include "speech/SpVoice.h"
#include "speech/VoicePrompt.h"
#include "system/FileName.h"
#include "system/Log.h"
#include "system/SysDirs.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace
{

const QString PromptWav = QStringLiteral("請輸入wav檔名");
const QString PromptWavMp3
    = QStringLiteral("請輸入wav檔名，會同時儲存wav與ma3兩種檔案 (注意！檔名只能使用英文與數字)");
const QString DialogTitle = QStringLiteral("另存新檔");
const QString ProgressCaption = QStringLiteral("正在轉檔中 ...");
const QString ProgressLabel
    = QStringLiteral("如果您的電腦速度較慢，會花較長時間（10分鐘或更久），請耐心等待");
// The longest wait on the voice between two turns of the message loop.
constexpr int WaitMs = 50;
// The time left is not guessed before the rendering has run this long.
constexpr qint64 EstimateAfterMs = 1000;

// Ends a rendering attempt as failed; `why`, when known, goes to the log.
struct RenderFailure {
    QString why;
};
struct RenderCancelled {
};

QString clipWarning()
{
    return QStringLiteral("朗讀文稿字數上限為 ") + QString::number(ReadingController::MaxSpeakChars)
        + QStringLiteral(" 個字，部分文稿將不會完整轉出");
}

QString joinPath(const QString &folder, const QString &name)
{
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

// Deletes the file even when it is read-only; a no-op when there is none.
void forceRemove(const QString &path)
{
    QFile file(path);
    if (!file.exists())
        return;
    file.setPermissions(file.permissions() | QFileDevice::WriteOwner);
    if (!file.remove()) {
        qCWarning(lcExport) << "cannot delete" << path << file.errorString();
        throw RenderFailure {};
    }
}

struct BusyScope {
    bool &busy;
    explicit BusyScope(bool &flag)
        : busy(flag)
    {
        busy = true;
    }
    ~BusyScope() { busy = false; }
};

} // namespace

void ExportView::pumpMessages()
{
    QCoreApplication::processEvents();
}

// ExportProgress ---------------------------------------------------------------

void ExportProgress::start(qint64 totalChars, qint64 nowMs)
{
    m_total = std::max<qint64>(totalChars, 0);
    m_done = 0;
    m_startMs = nowMs;
}

void ExportProgress::reached(qint64 position)
{
    m_done = std::clamp(position, m_done, m_total);
}

int ExportProgress::percent() const
{
    return m_total > 0 ? int(m_done * 100 / m_total) : 0;
}

qint64 ExportProgress::msLeft(qint64 nowMs) const
{
    const qint64 elapsed = nowMs - m_startMs;
    if (m_done <= 0 || elapsed < EstimateAfterMs)
        return -1;
    return qint64(double(elapsed) * double(m_total - m_done) / double(m_done));
}

QString ExportProgress::timeLeftText(qint64 ms)
{
    if (ms < 0)
        return QStringLiteral("剩餘時間：估算中");
    const qint64 s = (ms + 999) / 1000;
    const qint64 h = s / 3600;
    const qint64 m = s % 3600 / 60;
    if (h > 0)
        return QStringLiteral("剩餘時間：約 %1 小時 %2 分").arg(h).arg(m);
    if (m > 0)
        return QStringLiteral("剩餘時間：約 %1 分 %2 秒").arg(m).arg(s % 60);
    return QStringLiteral("剩餘時間：約 %1 秒").arg(s);
}

// AudioExport ------------------------------------------------------------------

AudioExport::AudioExport(
    ExportView &view, SpVoice &voice, ReadingController &reading, VoicePrompt *prompt, CMP3 *mp3)
    : m_View(view)
    , m_Voice(voice)
    , m_Reading(reading)
    , m_TTS(prompt)
    , m_MP3(mp3)
{
    m_clock.start();
}

AudioExport::~AudioExport() = default;

void AudioExport::cancel()
{
    if (m_busy)
        m_cancel = true;
}

AudioExport::WavRenderResult AudioExport::RenderTextToWav(
    const QString &prompt, QString &path, Mp3Follower *follower)
{
    path.clear();
    m_cancel = false;
    WavRenderResult result = Failed;
    std::unique_ptr<SpFileStream> stream;
    // On the way out the voice lets go of the stream before it is released.
    auto release = [&] {
        m_View.hideProgress();
        m_Voice.setAudioOutputStream(nullptr);
        stream.reset();
        if (follower)
            follower->cancel();
    };
    try {
        const ReadingController::Clipped clipped = ReadingController::ClipSpeakText(m_View.text());
        if (clipped.wasCut)
            m_View.showWarning(clipWarning());
        if (m_View.lastDir().isEmpty())
            m_View.setLastDir(GetSpecialFolder(SysDirs::CSIDL_PERSONAL));
        const QString chosen = m_View.showSaveDialog(
            prompt + QStringLiteral("|*.wav"), 1, DialogTitle, m_View.lastDir(), SaveDialogFlags);
        if (chosen == u"0") {
            result = Cancelled;
        } else {
            const QFileInfo info(chosen);
            m_View.setLastDir(info.absolutePath());
            path = joinPath(m_View.lastDir(),
                FileName::withoutExtension(info.fileName()) + QStringLiteral(".wav"));
            CMP3::removeStaleStaging(path);
            forceRemove(path);

            stream = std::make_unique<SpFileStream>();
            stream->Format.Type = SAFT16kHz16BitMono;
            if (!stream->Open(path, SSFMCreateForWrite, false))
                throw RenderFailure {stream->errorString()};
            m_Voice.setAllowAudioOutputFormatChangesOnNextSet(false);
            m_Voice.setAudioOutputStream(stream.get());
            if (follower)
                follower->start(path, SpFileStream::HeaderSize, stream->sampleRate(),
                    CMP3::stagedMp3Path(path), Mp3Encoder::parseOptions(CMP3::encoderOptions()));

            if (m_Reading.promptEnabled() && m_TTS)
                m_TTS->Stop();
            m_View.showProgress(ProgressCaption, ProgressLabel);
            speakIntoStream(clipped.text, *stream, follower);

            m_View.hideProgress();
            const bool closed = stream->Close();
            const qint64 dataBytes = stream->samplesWritten() * 2;
            m_Voice.setAudioOutputStream(nullptr);
            stream.reset();
            if (!closed)
                throw RenderFailure {};
            if (follower)
                follower->finishInput(dataBytes);
            result = Saved;
        }
    } catch (const RenderCancelled &) {
        release();
        // Nothing of a cancelled rendering is kept.
        QFile::remove(path);
        result = Cancelled;
    } catch (const RenderFailure &e) {
        release();
        qCWarning(lcExport).noquote() << "rendering" << path << "failed:" << e.why;
        result = Failed;
    } catch (const Mp3Encoder::Error &e) {
        qCWarning(lcExport).noquote() << "cannot encode while rendering:" << e.message();
        release();
        result = Failed;
    }
    m_Voice.setAudioOutputStream(nullptr);
    return result;
}

void AudioExport::speakIntoStream(const QString &text, SpFileStream &stream, Mp3Follower *follower)
{
    // The whole text is rendered from its start, so words are highlighted
    // in place. When the stream ends, the selection saved by the last reading
    // or search comes back; an export saves none of its own.
    m_Reading.setSpeakOffset(0);
    m_progress.start(text.size(), m_clock.elapsed());
    const int number = m_Voice.Speak(text, m_Reading.speakFlags());
    const QMetaObject::Connection words = QObject::connect(&m_Voice, &SpVoice::Word, &m_Voice,
        [this, number](int streamNumber, qint64, int position, int length) {
            if (streamNumber == number)
                m_progress.reached(qint64(position) + length);
        });
    auto stop = [&] {
        QObject::disconnect(words);
        m_Voice.Speak(QString(), SVSFPurgeBeforeSpeak);
        // The purged stream's end reaches the window before the output goes.
        m_Voice.WaitUntilDone(WaitMs);
    };
    for (;;) {
        m_View.pumpMessages();
        const bool done = !m_cancel && m_Voice.WaitUntilDone(WaitMs);
        if (follower)
            follower->publish(stream.dataBytesOnDisk());
        if (m_cancel) {
            stop();
            throw RenderCancelled {};
        }
        if (!stream.errorString().isEmpty()) {
            const QString why = stream.errorString();
            stop();
            throw RenderFailure {why};
        }
        if (done)
            break;
        m_View.updateProgress(m_progress.percent(),
            ExportProgress::timeLeftText(m_progress.msLeft(m_clock.elapsed())));
    }
    QObject::disconnect(words);
}

CMP3::Encoded AudioExport::waitForFollower(Mp3Follower &follower)
{
    // The conversion is one step for the user: the window repaints, but
    // clicks and keys wait until it is over.
    while (!follower.waitUntilDone(WaitMs))
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    if (!follower.succeeded())
        return {};
    return {follower.target(), follower.framesEncoded()};
}

QString AudioExport::failureText(const QString &path)
{
    return path + ExportTexts::LineEnd + ExportTexts::Failed;
}

void AudioExport::Cmd_SaveWAV()
{
    if (m_busy)
        return;
    const BusyScope busy(m_busy);
    QString path;
    switch (RenderTextToWav(PromptWav, path)) {
    case Saved:
        m_View.showResult(
            true, ExportTexts::Title, path + ExportTexts::LineEnd + ExportTexts::Saved);
        break;
    case Failed:
        m_View.showResult(false, ExportTexts::Title, failureText(path));
        break;
    case Cancelled:
        break;
    }
}

void AudioExport::Cmd_SaveWAVnMP3()
{
    if (m_busy)
        return;
    const BusyScope busy(m_busy);
    std::unique_ptr<Mp3Follower> follower;
    if (m_encodeWhileRendering && m_MP3 && m_MP3->hasEncoder())
        follower = std::make_unique<Mp3Follower>(m_MP3->library());
    QString path;
    switch (RenderTextToWav(PromptWavMp3, path, follower.get())) {
    case Saved: {
        const CMP3::Encoded encoded = follower ? waitForFollower(*follower) : CMP3::Encoded {};
        if (m_MP3)
            m_MP3->ConvertWavAndReport(path, encoded);
        // An MP3 the conversion did not take is not left behind.
        if (!encoded.path.isEmpty())
            QFile::remove(encoded.path);
        break;
    }
    case Failed:
        m_View.showResult(false, ExportTexts::Title, failureText(path));
        break;
    case Cancelled:
        break;
    }
}
