#include "render/RenderVoices.h"

#include "speech/SpeechEngine.h"
#include "speech/TTSRole.h"

#include <algorithm>

namespace RenderVoices
{

namespace
{

QString windowName(const SpObjectToken &voice)
{
    for (const TTSRole::SuiteVoice &suite : TTSRole::SuiteVoices()) {
        if (voice.GetDescription() == QLatin1String(suite.description))
            return suite.displayName;
    }
    return QString();
}

QStringList namesOf(const SpObjectToken &voice)
{
    return {voice.GetDescription(), windowName(voice),
        QString::fromLatin1(voice.engineSettings().espeakVoice),
        QString::fromLatin1(voice.espeakVoiceName())};
}

} // namespace

QList<SpObjectToken> installed()
{
    return SpeechEngine::instance().voices();
}

SpObjectToken find(const QList<SpObjectToken> &voices, const QString &name)
{
    const QString wanted = name.trimmed();
    for (const SpObjectToken &voice : voices) {
        const QStringList names = namesOf(voice);
        if (std::any_of(names.begin(), names.end(), [&](const QString &n) {
                return !n.isEmpty() && n.compare(wanted, Qt::CaseInsensitive) == 0;
            }))
            return voice;
    }
    return SpObjectToken();
}

QString listing(const QList<SpObjectToken> &voices)
{
    int width = 0;
    for (const SpObjectToken &voice : voices)
        width = std::max(width, int(voice.GetDescription().size()));
    QString out;
    for (const SpObjectToken &voice : voices) {
        const QString display = windowName(voice);
        const QString gender = voice.GetAttribute(QStringLiteral("Gender"));
        out += QStringLiteral("%1  %2  %3  %4\n")
                   .arg(voice.GetDescription(), -width)
                   .arg(display.isEmpty() ? QStringLiteral("-") : display, -6)
                   .arg(gender.isEmpty() ? QStringLiteral("-") : gender, -6)
                   .arg(QString::fromLatin1(voice.espeakVoiceName()));
    }
    return out;
}

} // namespace RenderVoices
