#pragma once
// The voice list of the main window: filling it from the engine's voices,
// the stored choice at start-up, a choice by the user, the show-all check,
// and following a voice change that the text's markup makes in the middle of
// a reading. It owns the link from each entry back to the engine's voice and
// the current role, which it hands to the window with every choice.
//
// No widget here: the window is reached through VoiceListView, so tests
// drive the list with a plain object and the real voice catalogue.

#include "speech/TTSRole.h"

#include <QList>
#include <QString>
#include <QStringList>

class CIni;
class SpObjectToken;
class SpVoice;
class VoicePrompt;

// What the voice list needs from the window. None of the setters runs the
// list's own handlers.
class VoiceListView
{
public:
    virtual ~VoiceListView() = default;

    // Replaces the entries; none is selected afterwards.
    virtual void setVoiceEntries(const QStringList &names) = 0;
    virtual int currentVoiceEntry() const = 0; // -1 when none is selected
    virtual QString currentVoiceText() const = 0;
    virtual void setCurrentVoiceEntry(int entry) = 0;
    virtual bool showAllVoices() const = 0;
    // Speak and the two export buttons: usable only with a voice to use.
    virtual void setSpeechButtonsEnabled(bool enabled) = 0;
    // Says why natural voices found in the voice folders are not in the
    // list; an empty note when nothing is missing.
    virtual void setVoiceNote(const QString &note) = 0;
    // A voice was chosen: show its role, with the user's own picture when
    // picturePath names one (empty otherwise).
    virtual void showRole(const TTSRole::Role &role, const QString &picturePath) = 0;
};

class VoiceList
{
public:
    // productKey: the product's key under the current user's registry root,
    // where the chosen suite voice is remembered. programFolder: below it lie
    // the role picture folders.
    VoiceList(VoiceListView &view, SpVoice &voice, CIni &settings, VoicePrompt *prompt,
        const QString &productKey, const QString &programFolder);

    // Follows the voice's VoiceChange and EndStream events.
    void connectVoiceEvents();

    void FillVoiceList(bool showAll);
    // Selects the stored entry (settings, else the registry's role id, else
    // entry 0) and applies it without writing the role id back.
    void SelectStoredVoice();
    // Applies the view's current entry; does nothing when none is selected.
    void SelectVoice();
    void CheckAllEngineClick();
    void OnVoiceChange(const SpObjectToken &token);
    void RestoreChosenVoiceEntry();

    // The entry the user chose: while markup has the list show another voice,
    // the one it showed before; -1 when none.
    int chosenEntry() const;
    const TTSRole::Role &role() const { return m_Role; }
    const QList<int> &voiceIndexes() const { return m_VoiceIndexes; }

private:
    VoiceListView &m_View;
    SpVoice &m_Voice;
    CIni &m_Ini;
    VoicePrompt *m_TTS;
    QString m_ProductKey;
    QString m_ProgramFolder;

    QStringList m_Entries; // display text of each entry
    QList<int> m_VoiceIndexes; // engine position of each entry
    static constexpr int NoEntryKept = -2;
    int m_ChosenVoiceEntry = NoEntryKept;
    TTSRole::Role m_Role;
    bool m_Loading = false; // start-up is selecting the stored voice
};
