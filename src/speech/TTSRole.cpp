#include "speech/TTSRole.h"

#include "speech/VoiceCatalogue.h"
#include "system/CReg.h"

#include <QFileInfo>

namespace TTSRole
{

QString AttributeKey(const SpObjectToken &token)
{
    QString key = token.Id() + QStringLiteral("\\Attributes");
    const QString root = QStringLiteral("HKEY_LOCAL_MACHINE\\");
    if (key.startsWith(root))
        key.remove(0, root.size());
    return key;
}

void PublishVoiceAttributes(const QList<SpObjectToken> &voices)
{
    CReg reg;
    for (const SpObjectToken &token : voices) {
        const QString key = AttributeKey(token);
        const QMap<QString, QString> attributes = token.attributes();
        for (auto it = attributes.cbegin(); it != attributes.cend(); ++it)
            reg.SetSz(key, it.key(), it.value(), HKEY_LOCAL_MACHINE);
    }
}

const QList<SuiteVoice> &SuiteVoices()
{
    static const QList<SuiteVoice> voices {
        {"Mavi Oskar", QStringLiteral("奧斯卡")},
        {"Mavi Lena", QStringLiteral("莉娜")},
        {"Mavi Mei", QStringLiteral("小美")},
        {"Mavi Tessa", QStringLiteral("泰莎")},
        {"Mavi Ivy", QStringLiteral("Ivy")},
    };
    return voices;
}

void AddVoiceEntry(QList<VoiceEntry> &list, const SpObjectToken &token, QString name,
    int enginePosition, const AttributeReader &attributes)
{
    if (name.trimmed().isEmpty())
        return;
    const QString key = AttributeKey(token);
    const QString language = attributes(key, QStringLiteral("Language"));
    const QString gender = attributes(key, QStringLiteral("Gender"));
    if (name.contains(QStringLiteral("Sample")))
        return;
    if (language.contains(QStringLiteral("409")))
        name += QStringLiteral(" (英文)");
    name += gender.contains(QStringLiteral("Male")) ? QStringLiteral(" (男聲)")
                                                    : QStringLiteral(" (女聲)");
    list.append({name, enginePosition});
}

QList<VoiceEntry> ListVoices(
    const QList<SpObjectToken> &voices, bool showAll, const AttributeReader &attributes)
{
    QList<VoiceEntry> list;
    for (const SuiteVoice &suite : SuiteVoices()) {
        const QString description = QLatin1String(suite.description);
        for (int i = 0; i < voices.size(); ++i) {
            if (voices[i].GetDescription(0) == description) {
                AddVoiceEntry(list, voices[i], suite.displayName, i, attributes);
                break;
            }
        }
    }
    for (int i = 0; i < voices.size(); ++i) {
        const QString description = voices[i].GetDescription(0);
        bool isSuite = false;
        for (const SuiteVoice &suite : SuiteVoices())
            isSuite = isSuite || description == QLatin1String(suite.description);
        const bool natural = !voices[i].GetAttribute(VoiceCatalogue::NeuralAttribute).isEmpty();
        if (!isSuite && (showAll || natural))
            AddVoiceEntry(list, voices[i], description, i, attributes);
    }
    return list;
}

Role RoleFor(const QString &programFolder, bool female)
{
    const QString gender = female ? QStringLiteral("Female") : QStringLiteral("Male");
    return {female, programFolder + QStringLiteral("/Images/Roles/Default/") + gender,
        programFolder + QStringLiteral("/Images/Roles/User/") + gender};
}

QString RolePicturePath(const QString &setting, const Role &role)
{
    QString path = setting;
    if (!QFileInfo(path).isFile())
        path = role.userFolder + QLatin1Char('/') + setting;
    return (!setting.isEmpty() && QFileInfo(path).isFile()) ? path : QString();
}

bool IsFemaleRole(const QString &displayText)
{
    return displayText.contains(QStringLiteral("女聲"));
}

int PromptVoiceNumber(const QString &displayText)
{
    if (displayText == QStringLiteral("莉娜 (女聲)"))
        return 102;
    if (displayText == QStringLiteral("小美 (女聲)"))
        return 103;
    if (displayText == QStringLiteral("泰莎 (女聲)"))
        return 10;
    return 101;
}

QString RoleIdFor(const QString &displayText)
{
    if (displayText == QStringLiteral("奧斯卡 (男聲)"))
        return QStringLiteral("0");
    if (displayText == QStringLiteral("莉娜 (女聲)"))
        return QStringLiteral("1");
    if (displayText == QStringLiteral("小美 (女聲)"))
        return QStringLiteral("2");
    if (displayText == QStringLiteral("泰莎 (女聲)"))
        return QStringLiteral("3");
    return QString();
}

} // namespace TTSRole
