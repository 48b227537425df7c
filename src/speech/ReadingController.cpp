#include "speech/ReadingController.h"

#include "speech/SpVoice.h"
#include "speech/VoicePrompt.h"

#include <QObject>
#include <cmath>

namespace
{
const QString PauseMode = QStringLiteral("Pause");
const QString ResumeMode = QStringLiteral("Resume");

// Thrown by the steps of SpeakText that fail like an overflow does; caught
// in one place, the failure exit.
struct SpeakFailure {
};

qint16 need16(qint64 value)
{
    bool ok = false;
    const qint16 v = toInt16(value, &ok);
    if (!ok)
        throw SpeakFailure {};
    return v;
}
} // namespace

qint16 toInt16(qint64 value, bool *ok)
{
    const bool fits = value >= -32768 && value <= 32767;
    if (ok)
        *ok = fits;
    return fits ? static_cast<qint16>(value) : qint16(0);
}

ReadingController::ReadingController(ReadingView &view, SpVoice &voice, VoicePrompt *prompt)
    : m_View(view)
    , m_Voice(voice)
    , m_TTS(prompt)
{
}

void ReadingController::connectVoiceEvents()
{
    QObject::connect(&m_Voice, &SpVoice::StartStream, &m_Voice, [this] { OnStartStream(); });
    QObject::connect(&m_Voice, &SpVoice::EndStream, &m_Voice, [this] { OnEndStream(); });
    QObject::connect(&m_Voice, &SpVoice::Word, &m_Voice,
        [this](int, qint64, int position, int length) { HighlightWord(position, length); });
    QObject::connect(&m_Voice, &SpVoice::Phoneme, &m_Voice,
        [this](int, qint64, int, short, int, short current) { OnPhoneme(current); });
}

void ReadingController::SetPauseState(bool speaking, bool paused)
{
    m_View.setPauseEnabled(speaking);
    m_View.setPauseTag(paused ? ResumeMode : PauseMode);
    m_View.setPauseCaption(paused ? QStringLiteral("繼續") : QStringLiteral("暫停"));
    m_View.setSpeakCaption(speaking ? QStringLiteral("停止") : QStringLiteral("朗讀"));
    m_Speaking = speaking;
    m_Paused = paused;
}

void ReadingController::SetSpeakFlags(bool useXml)
{
    m_SpeakFlags = useXml ? FlagsXml : FlagsPlain;
}

ReadingController::Clipped ReadingController::ClipSpeakText(const QString &text)
{
    if (text.size() <= MaxSpeakChars)
        return {text, false};
    return {text.left(MaxSpeakChars), true};
}

bool ReadingController::SpeakText()
{
    if (m_View.voiceCount() == 0 || m_View.text().isEmpty()) {
        m_View.setVoicePaneEnabled(true);
        return false;
    }
    try {
        m_Voice.setAudioOutputStream(nullptr);

        const Clipped clipped = ClipSpeakText(m_View.text());
        if (clipped.wasCut)
            m_View.showClipMessage(
                QStringLiteral("朗讀文稿字數上限為 100 萬個字，部分文稿將不會完整朗讀"));

        m_SavedSelStart = need16(m_View.selStart());
        m_SavedSelLength = need16(m_View.selLength());

        if (m_Prompt && m_TTS)
            m_TTS->Stop();

        const qint16 s = need16(m_View.selStart());
        qint16 n = need16(m_View.selLength());
        // The end of the selection is a 16-bit position too.
        need16(qint64(s) + n);
        QString toSpeak;
        if (n == 0 || s == -1) {
            m_SpeakOffset = 0;
            toSpeak = clipped.text;
        } else {
            const qsizetype length = clipped.text.size();
            if (qint64(s) + n > length) {
                n = need16(length - s);
                m_View.setSelLength(n);
            }
            const qint16 readBack = need16(m_View.selLength());
            const qint16 start = need16(m_View.selStart());
            if (s < 0 || readBack < 0)
                throw SpeakFailure {};
            toSpeak = clipped.text.mid(s, readBack);
            m_SpeakOffset = start;
        }

        m_Voice.Speak(toSpeak, m_SpeakFlags);
        if (m_Paused)
            m_Voice.Resume();
        SetPauseState(true, false);
        return true;
    } catch (const SpeakFailure &) {
        SetPauseState(false, m_Paused);
        m_View.setVoicePaneEnabled(true);
        return false;
    }
}

void ReadingController::StopSpeaking()
{
    m_PromptHover = false;
    m_View.setVoicePaneEnabled(true);
    m_Voice.Speak(QString(), SVSFPurgeBeforeSpeak);
    if (m_Paused)
        m_Voice.Resume();
    SetPauseState(false, false);
}

void ReadingController::CmdSpeakClick()
{
    if (m_Speaking) {
        StopSpeaking();
        return;
    }
    m_View.setVoicePaneEnabled(false);
    SpeakText();
}

void ReadingController::CmdPauseClick()
{
    const QString mode = m_View.pauseTag();
    if (mode == PauseMode) {
        m_Voice.Pause();
        SetPauseState(m_Speaking, true);
    } else if (mode == ResumeMode) {
        m_Voice.Resume();
        SetPauseState(m_Speaking, false);
    }
}

int ReadingController::rateForSlider(int value)
{
    return -static_cast<int>(std::lround((value - 50) / 5.0));
}

void ReadingController::SliderRateChange(int value)
{
    m_Voice.setRate(rateForSlider(value));
}

void ReadingController::SliderVolumeChange(int value)
{
    m_Voice.setVolume(value);
}

void ReadingController::OnStartStream()
{
    m_View.drawRoleFace(false);
    SetPauseState(true, m_Paused);
}

void ReadingController::OnEndStream()
{
    m_View.drawRoleFace(true);
    if (m_Paused)
        m_Voice.Resume();
    m_View.setVoicePaneEnabled(true);
    SetPauseState(false, false);
    m_View.setSelStart(m_SavedSelStart);
    m_View.setSelLength(m_SavedSelLength);
}

void ReadingController::HighlightWord(qint32 position, qint32 length)
{
    if (m_PromptHover)
        return;
    bool ok = false;
    const qint16 start = toInt16(qint64(m_SpeakOffset) + position, &ok);
    if (!ok)
        return;
    const qint16 len = toInt16(length, &ok);
    if (!ok)
        return;
    m_View.setSelStart(start);
    m_View.setSelLength(len);
}

void ReadingController::OnPhoneme(short currentPhoneId)
{
    m_View.showMouth(currentPhoneId);
}
