#include "speech/VoiceList.h"

#include "speech/ReadingController.h"
#include "speech/SpVoice.h"
#include "speech/VoicePrompt.h"
#include "speech/neural/NeuralEngine.h"
#include "system/CIni.h"
#include "system/CReg.h"
#include "system/Log.h"
#include "system/SettingsKeys.h"

#include <QObject>
#include <cmath>

namespace
{
QString attribute(const QString &key, const QString &valueName)
{
    return CReg().GetSz(key, valueName, HKEY_LOCAL_MACHINE);
}
} // namespace

VoiceList::VoiceList(VoiceListView &view, SpVoice &voice, CIni &settings, VoicePrompt *prompt,
    const QString &productKey, const QString &programFolder)
    : m_View(view)
    , m_Voice(voice)
    , m_Ini(settings)
    , m_TTS(prompt)
    , m_ProductKey(productKey)
    , m_ProgramFolder(programFolder)
{
}

void VoiceList::connectVoiceEvents()
{
    QObject::connect(&m_Voice, &SpVoice::VoiceChange, &m_Voice,
        [this](int, qint64, const SpObjectToken &token) { OnVoiceChange(token); });
    QObject::connect(
        &m_Voice, &SpVoice::EndStream, &m_Voice, [this] { RestoreChosenVoiceEntry(); });
}

void VoiceList::FillVoiceList(bool showAll)
{
    const QList<TTSRole::VoiceEntry> entries
        = TTSRole::ListVoices(m_Voice.GetVoices(), showAll, attribute);
    m_Entries.clear();
    m_VoiceIndexes.clear();
    for (const TTSRole::VoiceEntry &e : entries) {
        m_Entries.append(e.name);
        m_VoiceIndexes.append(e.enginePosition);
    }
    m_View.setVoiceEntries(m_Entries);
    m_View.setSpeechButtonsEnabled(!m_Entries.isEmpty());
    const NeuralEngine &natural = NeuralEngine::shared();
    const QString reason = natural.unavailableReason(true);
    m_View.setVoiceNote(reason.isEmpty() ? QString()
                                         : QStringLiteral("%1 個自然語音無法使用：%2")
                                               .arg(natural.foundVoices().size())
                                               .arg(reason));
}

void VoiceList::SelectStoredVoice()
{
    using namespace Settings;
    const QString stored = CReg().GetSz(m_ProductKey, Registry::RoleID, HKEY_CURRENT_USER);
    double number = 0;
    parseLeadingNumber(stored, &number);
    // A stored number beyond 16 bits counts as 0, like a missing one.
    const qint16 registryDefault = toInt16(std::llrint(number), nullptr);
    int role = m_Ini.GetVal(Section::TTS, Key::RoleID, registryDefault);
    const int count = int(m_VoiceIndexes.size());
    if (role > count - 1 || role < 0) {
        if (count > 0)
            qCWarning(lcSettings) << "stored voice entry" << role << "is not in the list of"
                                  << count << "voices; the first is chosen";
        role = 0;
    }
    if (count == 0)
        return;
    m_Loading = true;
    m_View.setCurrentVoiceEntry(role);
    SelectVoice();
    m_Loading = false;
}

void VoiceList::SelectVoice()
{
    const int index = m_View.currentVoiceEntry();
    if (index < 0)
        return;
    if (index >= m_VoiceIndexes.size()) {
        qCWarning(lcSpeech) << "voice entry" << index << "is not in the list; voice unchanged";
        return;
    }
    const QString display = m_View.currentVoiceText();
    const QList<SpObjectToken> voices = m_Voice.GetVoices();
    const int position = m_VoiceIndexes[index];
    if (position >= 0 && position < voices.size()) {
        m_Voice.setVoice(voices[position]);
        if (!(m_Voice.Voice() == voices[position]))
            qCWarning(lcSpeech) << "the voice did not switch to" << voices[position].Id();
    } else {
        qCWarning(lcSpeech) << "voice" << display << "is no longer installed; voice unchanged";
    }

    const bool female = TTSRole::IsFemaleRole(display);
    m_Role = TTSRole::RoleFor(m_ProgramFolder, female);
    const QString picture = TTSRole::RolePicturePath(
        m_Ini.GetSz(Settings::Section::Option,
            female ? Settings::Key::CustomDefFemalePic : Settings::Key::CustomDefMalePic,
            QString()),
        m_Role);
    m_View.showRole(m_Role, picture);

    if (m_TTS)
        m_TTS->SetVoiceNumber(TTSRole::PromptVoiceNumber(display));
    if (!m_Loading) {
        const QString roleId = TTSRole::RoleIdFor(display);
        if (!roleId.isEmpty()
            && !CReg().SetSz(m_ProductKey, Settings::Registry::RoleID, roleId, HKEY_CURRENT_USER))
            qCWarning(lcSettings) << "the chosen voice's role id could not be remembered";
    }
}

void VoiceList::CheckAllEngineClick()
{
    const QString kept = m_View.currentVoiceText();
    FillVoiceList(m_View.showAllVoices());
    if (kept.isEmpty())
        return;
    // The first entry equal to it, case included; none when it is gone.
    const int found = int(m_Entries.indexOf(kept));
    m_View.setCurrentVoiceEntry(found);
    if (found >= 0)
        SelectVoice();
}

void VoiceList::OnVoiceChange(const SpObjectToken &token)
{
    // Markup switched the voice for the rest of this reading: show it in the
    // list while it speaks, without making it the user's choice.
    const int position = m_Voice.GetVoices().indexOf(token);
    const int entry = m_VoiceIndexes.indexOf(position);
    if (position < 0 || entry < 0)
        return;
    if (m_ChosenVoiceEntry == NoEntryKept)
        m_ChosenVoiceEntry = m_View.currentVoiceEntry();
    m_View.setCurrentVoiceEntry(entry);
}

void VoiceList::RestoreChosenVoiceEntry()
{
    if (m_ChosenVoiceEntry == NoEntryKept)
        return;
    m_View.setCurrentVoiceEntry(m_ChosenVoiceEntry);
    m_ChosenVoiceEntry = NoEntryKept;
}

int VoiceList::chosenEntry() const
{
    return m_ChosenVoiceEntry == NoEntryKept ? m_View.currentVoiceEntry() : m_ChosenVoiceEntry;
}
