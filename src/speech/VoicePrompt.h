// The voice-prompt component: a second voice on the same engine that speaks
// short hints (a control's tooltip) while a reading may be going on.
//
// Set-up, in this order: SetUseXML(flag); SetValue twice, the first value being
// the rate step (-10..10, 0 = normal) and the second the volume in tenths
// (0..10, 10 = full); Setup(a, b, c), where a is the prompt voice number (see
// SetVoiceNumber), b a pitch shift in steps (-10..10) and c is unused.
// Values out of range are clamped; calls in another order are accepted too.
//
// Voice numbers: 101 "Mavi Oskar", 102 "Mavi Lena", 103 "Mavi Mei",
// 10 "Mavi Tessa"; any other number, or a voice that is not installed, keeps
// the current voice.
#pragma once

#include <QObject>
#include <QString>

class SpVoice;

class VoicePrompt : public QObject
{
    Q_OBJECT
public:
    explicit VoicePrompt(QObject *parent = nullptr);
    ~VoicePrompt() override;

    void SetUseXML(bool useXml);
    void SetValue(int value);
    void Setup(int voiceNumber, int pitch, int reserved);
    // Stops the hint being spoken at once; harmless when silent.
    void Stop();
    // Starts speaking `text` and returns at once; `out`, when given, receives
    // the stream number. Any hint still being spoken is cut off first.
    void Speak(const QString &text, int *out = nullptr);
    void SetVoiceNumber(int number);

    int voiceNumber() const { return m_voiceNumber; }
    int pitch() const { return m_pitch; }
    SpVoice *voice() const { return m_voice; }
    // Engine description of the suite voice for a prompt voice number, or an
    // empty string for an unknown number.
    static QString descriptionFor(int number);

private:
    SpVoice *m_voice;
    bool m_useXml = false;
    int m_values = 0;
    int m_voiceNumber = 101;
    int m_pitch = 0;
};
