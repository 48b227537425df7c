#include "speech/VoiceCatalogue.h"

#include <QHash>
#include <QStringList>
#include <algorithm>

namespace VoiceCatalogue
{

namespace
{

SpObjectToken suiteToken(const char *key, const char *name, const char *language,
    const char *gender, const char *age, const QByteArray &voice, const QByteArray &variant,
    int pitch, int range)
{
    QMap<QString, QString> attributes;
    attributes.insert(QStringLiteral("Name"), QLatin1String(name));
    attributes.insert(QStringLiteral("Language"), QLatin1String(language));
    attributes.insert(QStringLiteral("Gender"), QLatin1String(gender));
    attributes.insert(QStringLiteral("Age"), QLatin1String(age));
    attributes.insert(QStringLiteral("Vendor"), QStringLiteral("Mavi"));
    return SpObjectToken(
        QLatin1String(key), QLatin1String(name), attributes, {voice, variant, pitch, range});
}

} // namespace

QList<SpObjectToken> suiteVoices()
{
    // Pitches are spread far enough apart that the five voices are told apart
    // by ear; Ivy keeps a narrow range, which is what makes her sound soft.
    static const QByteArray mandarin("cmn-latn-pinyin");
    return {
        suiteToken("MaviOskar", "Mavi Oskar", "404", "Male", "Adult", mandarin, "m3", 55, 45),
        suiteToken("MaviLena", "Mavi Lena", "404", "Female", "Adult", mandarin, "f2", 65, 55),
        suiteToken("MaviMei", "Mavi Mei", "404", "Female", "Child", mandarin, "f4", 90, 70),
        suiteToken("MaviTessa", "Mavi Tessa", "C04", "Female", "Adult", "yue", "f3", 58, 50),
        suiteToken("MaviIvy", "Mavi Ivy", "404", "Female", "Adult", mandarin, "f5", 22, 25),
    };
}

QString languageId(const QByteArray &espeakLanguage)
{
    static const QHash<QByteArray, const char *> table = {
        {"af", "436"},
        {"am", "45E"},
        {"ar", "401"},
        {"as", "44D"},
        {"az", "42C"},
        {"ba", "46D"},
        {"be", "423"},
        {"bg", "402"},
        {"bn", "445"},
        {"bs", "141A"},
        {"ca", "403"},
        {"cmn", "804"},
        {"cmn-latn-pinyin", "804"},
        {"cs", "405"},
        {"cy", "452"},
        {"da", "406"},
        {"de", "407"},
        {"el", "408"},
        {"en", "809"},
        {"en-gb", "809"},
        {"en-gb-scotland", "809"},
        {"en-gb-x-gbclan", "809"},
        {"en-gb-x-gbcwmd", "809"},
        {"en-gb-x-rp", "809"},
        {"en-us", "409"},
        {"en-us-nyc", "409"},
        {"en-029", "2409"},
        {"es", "C0A"},
        {"es-419", "580A"},
        {"et", "425"},
        {"eu", "42D"},
        {"fa", "429"},
        {"fi", "40B"},
        {"fr", "40C"},
        {"fr-fr", "40C"},
        {"fr-be", "80C"},
        {"fr-ch", "100C"},
        {"ga", "83C"},
        {"gd", "491"},
        {"gl", "456"},
        {"gu", "447"},
        {"he", "40D"},
        {"hi", "439"},
        {"hr", "41A"},
        {"hu", "40E"},
        {"hy", "42B"},
        {"id", "421"},
        {"is", "40F"},
        {"it", "410"},
        {"ja", "411"},
        {"ka", "437"},
        {"kk", "43F"},
        {"kl", "46F"},
        {"kn", "44B"},
        {"ko", "412"},
        {"ky", "440"},
        {"lb", "46E"},
        {"lt", "427"},
        {"lv", "426"},
        {"mi", "481"},
        {"mk", "42F"},
        {"ml", "44C"},
        {"mn", "450"},
        {"mr", "44E"},
        {"ms", "43E"},
        {"mt", "43A"},
        {"my", "455"},
        {"nb", "414"},
        {"ne", "461"},
        {"nl", "413"},
        {"or", "448"},
        {"pa", "446"},
        {"pl", "415"},
        {"pt", "816"},
        {"pt-pt", "816"},
        {"pt-br", "416"},
        {"ro", "418"},
        {"ru", "419"},
        {"si", "45B"},
        {"sk", "41B"},
        {"sl", "424"},
        {"sq", "41C"},
        {"sr", "81A"},
        {"sv", "41D"},
        {"sw", "441"},
        {"ta", "449"},
        {"te", "44A"},
        {"th", "41E"},
        {"tk", "442"},
        {"tn", "432"},
        {"tr", "41F"},
        {"tt", "444"},
        {"ug", "480"},
        {"uk", "422"},
        {"ur", "420"},
        {"uz", "443"},
        {"vi", "42A"},
        {"vi-vn-x-central", "42A"},
        {"vi-vn-x-south", "42A"},
        {"yue", "C04"},
        {"zh", "804"},
        {"zh-cn", "804"},
        {"zh-hans", "804"},
        {"zh-hant", "404"},
        {"zh-hk", "C04"},
        {"zh-mo", "1404"},
        {"zh-sg", "1004"},
        {"zh-tw", "404"},
    };
    const QByteArray tag = espeakLanguage.toLower().replace('_', '-');
    if (auto it = table.constFind(tag); it != table.constEnd())
        return QLatin1String(it.value());
    // A regional tag without its own entry borrows its language's id.
    const int dash = tag.indexOf('-');
    if (dash > 0) {
        if (auto it = table.constFind(tag.left(dash)); it != table.constEnd())
            return QLatin1String(it.value());
    }
    return QString();
}

QList<SpObjectToken> build(const QList<EngineVoice> &engineVoices)
{
    QList<SpObjectToken> tokens;
    auto installed = [&](const QByteArray &language) {
        return std::any_of(engineVoices.begin(), engineVoices.end(),
            [&](const EngineVoice &v) { return v.language == language; });
    };
    const QList<SpObjectToken> suite = suiteVoices();
    for (const SpObjectToken &token : suite) {
        if (installed(token.engineSettings().espeakVoice))
            tokens.append(token);
    }
    for (const EngineVoice &voice : engineVoices) {
        if (voice.language == "cmn" || voice.name.isEmpty())
            continue;
        QMap<QString, QString> attributes;
        attributes.insert(QStringLiteral("Name"), voice.name);
        attributes.insert(QStringLiteral("Vendor"), QStringLiteral("eSpeak NG"));
        attributes.insert(QStringLiteral("Age"), QStringLiteral("Adult"));
        const QString lcid = languageId(voice.language);
        if (!lcid.isEmpty())
            attributes.insert(QStringLiteral("Language"), lcid);
        if (voice.gender == 1)
            attributes.insert(QStringLiteral("Gender"), QStringLiteral("Male"));
        else if (voice.gender == 2)
            attributes.insert(QStringLiteral("Gender"), QStringLiteral("Female"));
        QString key = QStringLiteral("eSpeakNG_") + QString::fromLatin1(voice.identifier);
        key.replace(QLatin1Char('/'), QLatin1Char('_'));
        // Several names can share a language tag (yue, yue latin); the
        // identifier is unique, so the engine is addressed by it.
        tokens.append(SpObjectToken(key, voice.name, attributes, {voice.identifier, {}, 50, 50}));
    }
    return tokens;
}

SpObjectToken neuralVoice(const QString &key, const QString &name, const QString &languageTag,
    const QString &gender, const QString &folder)
{
    QMap<QString, QString> attributes;
    attributes.insert(QStringLiteral("Name"), name);
    attributes.insert(QStringLiteral("Vendor"), QStringLiteral("sherpa-onnx"));
    attributes.insert(QStringLiteral("Age"), QStringLiteral("Adult"));
    attributes.insert(NeuralAttribute, folder);
    const QString lcid = languageId(languageTag.toUtf8());
    if (!lcid.isEmpty())
        attributes.insert(QStringLiteral("Language"), lcid);
    if (!gender.isEmpty())
        attributes.insert(QStringLiteral("Gender"), gender);
    return SpObjectToken(key, name, attributes, {});
}

namespace
{

QList<QPair<QString, QString>> conditions(const QString &query)
{
    QList<QPair<QString, QString>> result;
    const QStringList parts = query.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (const QString &part : parts) {
        const int eq = part.indexOf(QLatin1Char('='));
        if (eq < 0)
            result.append({part.trimmed(), QString()});
        else
            result.append({part.left(eq).trimmed(), part.mid(eq + 1).trimmed()});
    }
    return result;
}

bool meets(const SpObjectToken &token, const QPair<QString, QString> &condition)
{
    const QMap<QString, QString> attributes = token.attributes();
    const auto it = attributes.constFind(condition.first);
    if (it == attributes.constEnd())
        return false;
    if (condition.second.isEmpty())
        return true;
    if (condition.first == QLatin1String("Language")) {
        bool okWanted = false;
        const uint wanted = condition.second.toUInt(&okWanted, 16);
        const QStringList ids = it.value().split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (const QString &id : ids) {
            bool ok = false;
            if (okWanted && id.toUInt(&ok, 16) == wanted && ok)
                return true;
        }
        return false;
    }
    return it.value() == condition.second;
}

} // namespace

bool matches(const SpObjectToken &token, const QString &required)
{
    const auto list = conditions(required);
    return std::all_of(list.begin(), list.end(), [&](const auto &c) { return meets(token, c); });
}

int optionalScore(const SpObjectToken &token, const QString &optional)
{
    const auto list = conditions(optional);
    return int(
        std::count_if(list.begin(), list.end(), [&](const auto &c) { return meets(token, c); }));
}

QList<SpObjectToken> select(
    const QList<SpObjectToken> &all, const QString &required, const QString &optional)
{
    QList<SpObjectToken> result;
    for (const SpObjectToken &token : all) {
        if (matches(token, required))
            result.append(token);
    }
    if (!optional.isEmpty()) {
        std::stable_sort(
            result.begin(), result.end(), [&](const SpObjectToken &a, const SpObjectToken &b) {
                return optionalScore(a, optional) > optionalScore(b, optional);
            });
    }
    return result;
}

} // namespace VoiceCatalogue
