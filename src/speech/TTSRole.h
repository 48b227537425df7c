#pragma once
// The rules of the voice list: which voices are listed, in which order and
// under which display names, and what a choice from the list means for the
// role, the prompt voice and the stored role id. VoiceList applies them.

#include "speech/SpObjectToken.h"

#include <QList>
#include <QString>
#include <functional>

namespace TTSRole
{

// One list entry: the display text and the voice's position among the
// engine's voices (GetVoices order).
struct VoiceEntry {
    QString name;
    int enginePosition = 0;
};

// Reads a string value of a voice's attribute key ("Language", "Gender");
// empty when absent.
using AttributeReader = std::function<QString(const QString &key, const QString &valueName)>;

// The registry key of a token's attributes, under the local-machine root.
QString AttributeKey(const SpObjectToken &token);

// Writes every token's attributes under its attribute key of the local
// machine root, where the list reads them.
void PublishVoiceAttributes(const QList<SpObjectToken> &voices);

// The suite's own voices: engine description and display name, in list order.
struct SuiteVoice {
    const char *description;
    QString displayName;
};
const QList<SuiteVoice> &SuiteVoices();

// Appends one voice unless its name is blank or contains "Sample"; the name
// gets " (英文)" for American English and " (男聲)" / " (女聲)" by gender.
void AddVoiceEntry(QList<VoiceEntry> &list, const SpObjectToken &token, QString name,
    int enginePosition, const AttributeReader &attributes);

// The suite voices first, then (with showAll) every other voice; natural
// voices, which the user installed on purpose, are listed without showAll too,
// after the others.
QList<VoiceEntry> ListVoices(
    const QList<SpObjectToken> &voices, bool showAll, const AttributeReader &attributes);

bool IsFemaleRole(const QString &displayText);

// A role: the face that goes with a voice's gender, and its two picture
// folders below the program folder, the built-in one and the user's own.
struct Role {
    bool female = false;
    QString defaultFolder;
    QString userFolder;
};
Role RoleFor(const QString &programFolder, bool female);

// Where the user's own role picture named by a setting is: the value itself
// when a file is there, else that name in the role's user folder; empty when
// neither exists.
QString RolePicturePath(const QString &setting, const Role &role);

// The prompt component's voice number for a listed voice.
int PromptVoiceNumber(const QString &displayText);
// The role id written for a listed voice, or empty when none is written.
QString RoleIdFor(const QString &displayText);

} // namespace TTSRole
