#include "render/RenderVoices.h"

#include "render/RenderOptions.h"
#include "speech/TTSRole.h"
#include "speech/neural/NeuralEngine.h"

#include <QDir>

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
    const QString folder = NeuralEngine::folderOf(voice);
    return {voice.GetDescription(), windowName(voice),
        QString::fromLatin1(voice.engineSettings().espeakVoice),
        QString::fromLatin1(voice.espeakVoiceName()),
        folder.isEmpty() ? QString() : QDir(folder).dirName()};
}

// Columns a terminal gives the text: two for each wide (East Asian) character.
int columnsOf(const QString &text)
{
    int columns = 0;
    for (const char32_t c : text.toUcs4()) {
        const bool wide = (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF)
            || (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF)
            || (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60)
            || (c >= 0xFFE0 && c <= 0xFFE6) || c >= 0x20000;
        columns += wide ? 2 : 1;
    }
    return columns;
}

QString padded(const QString &text, int columns)
{
    return text + QString(std::max(0, columns - columnsOf(text)), u' ');
}

} // namespace

void addVoiceFolders(const QStringList &folders)
{
    for (const QString &folder : folders)
        NeuralEngine::shared().addVoiceFolder(folder);
}

QList<SpObjectToken> installed()
{
    return SynthesisEngine::defaultEngine().voices();
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
        width = std::max(width, columnsOf(voice.GetDescription()));
    QString out;
    for (const SpObjectToken &voice : voices) {
        const QString display = windowName(voice);
        const QString gender = voice.GetAttribute(QStringLiteral("Gender"));
        const QString folder = NeuralEngine::folderOf(voice);
        out += QStringLiteral("%1  %2  %3  %4\n")
                   .arg(padded(voice.GetDescription(), width))
                   .arg(padded(display.isEmpty() ? QStringLiteral("-") : display, 6))
                   .arg(gender.isEmpty() ? QStringLiteral("-") : gender, -6)
                   .arg(folder.isEmpty() ? QString::fromLatin1(voice.espeakVoiceName()) : folder);
    }
    return out;
}

QString unavailableNote()
{
    const NeuralEngine &engine = NeuralEngine::shared();
    const QString english = engine.unavailableReason(false);
    if (english.isEmpty())
        return QString();
    return QStringLiteral("parlo-render: %1 natural voice(s) not offered: %2\n"
                          "parlo-render：%1 個自然語音無法使用：%3\n")
        .arg(engine.foundVoices().size())
        .arg(english, engine.unavailableReason(true));
}

} // namespace RenderVoices
