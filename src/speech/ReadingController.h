#pragma once
// Reading aloud in the main window: the Speak/Stop and Pause/Resume commands,
// the four reading states with their captions, the rate and volume rules, the
// speak flags and the length limit, and what the window does with the voice's
// stream, word and phoneme events.
//
// The controller owns no widget. It reads and writes the window through
// ReadingView, so tests drive it with a plain object and a real voice on the
// immediate audio sink.

#include <QString>
#include <QtGlobal>

class SpVoice;
class VoicePrompt;

// What the reading logic needs from the window.
class ReadingView
{
public:
    virtual ~ReadingView() = default;

    virtual int voiceCount() const = 0;
    virtual QString text() const = 0; // CR LF text of the text box
    virtual int selStart() const = 0;
    virtual int selLength() const = 0;
    virtual void setSelStart(int start) = 0;
    virtual void setSelLength(int length) = 0;

    virtual void setVoicePaneEnabled(bool enabled) = 0;
    virtual void setSpeakCaption(const QString &caption) = 0;
    virtual void setPauseEnabled(bool enabled) = 0;
    virtual void setPauseCaption(const QString &caption) = 0;
    virtual QString pauseTag() const = 0;
    virtual void setPauseTag(const QString &tag) = 0;

    // The too-long message; the reading goes on after it.
    virtual void showClipMessage(const QString &text) = 0;

    // Lip-sync hooks: the resting face (flushed to the screen or only drawn
    // into the buffer) and one mouth picture per phoneme.
    virtual void drawRoleFace(bool flush) { Q_UNUSED(flush) }
    virtual void showMouth(short phoneId) { Q_UNUSED(phoneId) }
};

class ReadingController
{
public:
    static constexpr qsizetype MaxSpeakChars = 1048500;
    static constexpr int FlagsXml = 11;
    static constexpr int FlagsPlain = 19;

    ReadingController(ReadingView &view, SpVoice &voice, VoicePrompt *prompt);

    // Connects the voice's StartStream, EndStream, Word and Phoneme events.
    void connectVoiceEvents();

    void SetPauseState(bool speaking, bool paused);
    void SetSpeakFlags(bool useXml);

    struct Clipped {
        QString text;
        bool wasCut = false;
    };
    static Clipped ClipSpeakText(const QString &text);

    // Returns false when it took the failure exit or had nothing to read.
    bool SpeakText();
    void StopSpeaking();

    void CmdSpeakClick();
    void CmdPauseClick();
    void SliderRateChange(int value);
    void SliderVolumeChange(int value);

    // Engine rate for a slider value 0..100: 0 → 10, 50 → 0, 100 → −10.
    static int rateForSlider(int value);

    // Voice event handlers.
    void OnStartStream();
    void OnEndStream();
    void HighlightWord(qint32 position, qint32 length);
    void OnPhoneme(short currentPhoneId);

    bool isSpeaking() const { return m_Speaking; }
    bool isPaused() const { return m_Paused; }
    qint32 speakFlags() const { return m_SpeakFlags; }
    // Where the spoken text starts in the text box; word events count from it.
    qint32 speakOffset() const { return m_SpeakOffset; }
    void setSpeakOffset(qint32 offset) { m_SpeakOffset = offset; }
    // The selection put back when a reading ends. The search window moves it
    // as it finds, so it holds these two by reference.
    qint32 &savedSelStart() { return m_SavedSelStart; }
    qint32 &savedSelLength() { return m_SavedSelLength; }
    // Voice prompts on or off.
    bool promptEnabled() const { return m_Prompt; }
    void setPromptEnabled(bool enabled) { m_Prompt = enabled; }
    // Holds back word highlighting while a voice prompt is heard, until the
    // next StopSpeaking.
    void setPromptHover() { m_PromptHover = true; }

private:
    bool m_Speaking = false;
    bool m_Paused = false;
    qint32 m_SpeakFlags = FlagsXml;
    qint32 m_SpeakOffset = 0;
    qint32 m_SavedSelStart = 0;
    qint32 m_SavedSelLength = 0;
    bool m_Prompt = false;
    bool m_PromptHover = false;
    ReadingView &m_View;
    SpVoice &m_Voice;
    VoicePrompt *m_TTS;
};

// Narrows to a 16-bit signed value as the window's selection handling does;
// ok is false (and 0 returned) when value does not fit.
qint16 toInt16(qint64 value, bool *ok);
