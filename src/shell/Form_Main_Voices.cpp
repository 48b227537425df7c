// The window's voice list: filling it, the stored choice at start-up, a
// choice by the user, the show-all check, and following a voice change that
// the text's markup makes in the middle of a reading.

#include "shell/AppMain.h"
#include "shell/CIni.h"
#include "shell/Form_Main.h"
#include "speech/SpVoice.h"
#include "speech/TTSRole.h"
#include "speech/VoicePrompt.h"
#include "system/AppPaths.h"
#include "system/CReg.h"

#include "controls/CmdX.h"
#include <QCheckBox>
#include <QComboBox>
#include <cmath>

namespace
{
QString attribute(const QString &key, const QString &valueName)
{
    return CReg().GetSz(key, valueName, HKEY_LOCAL_MACHINE);
}
} // namespace

void Form_Main::FillVoiceList(bool showAll)
{
    const QList<TTSRole::VoiceEntry> entries
        = TTSRole::ListVoices(m_Voice->GetVoices(), showAll, attribute);
    {
        const QSignalBlocker quiet(Combo_Voice);
        Combo_Voice->clear();
        m_VoiceIndexes.clear();
        for (const TTSRole::VoiceEntry &e : entries) {
            Combo_Voice->addItem(e.name);
            m_VoiceIndexes.append(e.enginePosition);
        }
        Combo_Voice->setCurrentIndex(-1);
    }
    const bool any = Combo_Voice->count() > 0;
    for (CmdX *b : {Cmd_Speak, Cmd_SaveWAV, Cmd_SaveWAVnMP3})
        b->setEnabledValue(any);
}

void Form_Main::SelectStoredVoice()
{
    const QString stored
        = CReg().GetSz(GetProductKey(), QStringLiteral("RoleID"), HKEY_CURRENT_USER);
    double number = 0;
    parseLeadingNumber(stored, &number);
    // A stored number beyond 16 bits counts as 0, like a missing one.
    const qint16 registryDefault = toInt16(std::llrint(number), nullptr);
    int role = m_Ini->GetVal(QStringLiteral("TTS"), QStringLiteral("RoleID"), registryDefault);
    if (role > Combo_Voice->count() - 1 || role < 0)
        role = 0;
    if (Combo_Voice->count() > 0) {
        m_Loading = true;
        Combo_Voice->setCurrentIndex(role);
        m_Loading = false;
    }
}

void Form_Main::SelectVoice()
{
    const int index = Combo_Voice->currentIndex();
    if (index < 0 || index >= m_VoiceIndexes.size())
        return;
    const QString display = Combo_Voice->currentText();
    const QList<SpObjectToken> voices = m_Voice->GetVoices();
    const int position = m_VoiceIndexes[index];
    if (position >= 0 && position < voices.size())
        m_Voice->setVoice(voices[position]);

    const bool female = TTSRole::IsFemaleRole(display);
    TTSRole::SetRoleFolders(AppPaths::programFolder(), female);
    m_RolePicture = QImage();
    const QString picture = TTSRole::RolePicturePath(m_Ini->GetSz(QStringLiteral("Option"),
        female ? QStringLiteral("CustomDefFemalePic") : QStringLiteral("CustomDefMalePic"),
        QString()));
    if (!picture.isEmpty())
        m_RolePicture.load(picture);

    CentreViseme();
    m_TTS->SetVoiceNumber(TTSRole::PromptVoiceNumber(display));
    if (!m_Loading) {
        const QString roleId = TTSRole::RoleIdFor(display);
        if (!roleId.isEmpty())
            CReg().SetSz(GetProductKey(), QStringLiteral("RoleID"), roleId, HKEY_CURRENT_USER);
    }
}

void Form_Main::CheckAllEngineClick()
{
    const QString kept = Combo_Voice->currentText();
    FillVoiceList(Check_AllEngine->isChecked());
    if (kept.isEmpty())
        return;
    const int found = Combo_Voice->findText(kept, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (found >= 0) {
        Combo_Voice->setCurrentIndex(found);
        SelectVoice();
    }
}

void Form_Main::OnVoiceChange(const SpObjectToken &token)
{
    // Markup switched the voice for the rest of this reading: show it in the
    // list while it speaks, without making it the user's choice.
    const int position = m_Voice->GetVoices().indexOf(token);
    const int entry = m_VoiceIndexes.indexOf(position);
    if (position < 0 || entry < 0)
        return;
    if (m_ChosenVoiceEntry == NoEntryKept)
        m_ChosenVoiceEntry = Combo_Voice->currentIndex();
    const QSignalBlocker quiet(Combo_Voice);
    Combo_Voice->setCurrentIndex(entry);
}

void Form_Main::RestoreChosenVoiceEntry()
{
    if (m_ChosenVoiceEntry == NoEntryKept)
        return;
    const QSignalBlocker quiet(Combo_Voice);
    Combo_Voice->setCurrentIndex(m_ChosenVoiceEntry);
    m_ChosenVoiceEntry = NoEntryKept;
}
