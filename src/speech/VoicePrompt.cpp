#include "speech/VoicePrompt.h"

#include "speech/SpVoice.h"

#include <algorithm>

VoicePrompt::VoicePrompt(QObject *parent)
    : QObject(parent)
    , m_voice(new SpVoice(this))
{
    SetVoiceNumber(101);
}

VoicePrompt::~VoicePrompt() = default;

QString VoicePrompt::descriptionFor(int number)
{
    switch (number) {
    case 101:
        return QStringLiteral("Mavi Oskar");
    case 102:
        return QStringLiteral("Mavi Lena");
    case 103:
        return QStringLiteral("Mavi Mei");
    case 10:
        return QStringLiteral("Mavi Tessa");
    default:
        return QString();
    }
}

void VoicePrompt::SetUseXML(bool useXml)
{
    m_useXml = useXml;
}

void VoicePrompt::SetValue(int value)
{
    if (m_values % 2 == 0)
        m_voice->setRate(std::clamp(value, -10, 10));
    else
        m_voice->setVolume(std::clamp(value, 0, 10) * 10);
    ++m_values;
}

void VoicePrompt::Setup(int voiceNumber, int pitch, int)
{
    m_pitch = std::clamp(pitch, -10, 10);
    SetVoiceNumber(voiceNumber);
}

void VoicePrompt::Stop()
{
    m_voice->Speak(QString(), SVSFPurgeBeforeSpeak | SVSFlagsAsync);
}

void VoicePrompt::Speak(const QString &text, int *out)
{
    QString spoken = text;
    int flags = SVSFlagsAsync | SVSFPurgeBeforeSpeak;
    if (m_pitch != 0 && !m_useXml) {
        // The pitch shift travels as markup, so the text itself must be escaped.
        spoken = QStringLiteral("<pitch middle=\"%1\">%2</pitch>")
                     .arg(m_pitch)
                     .arg(text.toHtmlEscaped());
        flags |= SVSFIsXML;
    } else if (m_pitch != 0) {
        spoken = QStringLiteral("<pitch middle=\"%1\">%2</pitch>").arg(m_pitch).arg(text);
        flags |= SVSFIsXML;
    } else {
        flags |= m_useXml ? SVSFIsXML : SVSFIsNotXML;
    }
    const int stream = m_voice->Speak(spoken, flags);
    if (out)
        *out = stream;
}

void VoicePrompt::SetVoiceNumber(int number)
{
    const QString description = descriptionFor(number);
    if (description.isEmpty())
        return;
    const QList<SpObjectToken> voices = m_voice->GetVoices();
    for (const SpObjectToken &token : voices) {
        if (token.GetDescription() == description) {
            m_voice->setVoice(token);
            m_voiceNumber = number;
            return;
        }
    }
}
