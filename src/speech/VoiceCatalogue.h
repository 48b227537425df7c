// The catalogue of voices: the five voices of our own suite, built as espeak-ng
// voice settings, followed by every other installed espeak-ng voice; the
// tokens of natural voices are made here too, with the same attributes. Also the
// matching of SAPI-style attribute queries ("Name=Mavi Lena;Gender=Female")
// against tokens, and the enumeration of each token's attributes for whoever
// keeps them in an attribute store.
#pragma once

#include "speech/SpObjectToken.h"

#include <QList>
#include <QPair>

namespace VoiceCatalogue
{

// One installed engine voice as espeak-ng lists it.
struct EngineVoice {
    QString name; // "English (America)"
    QByteArray language; // "en-us"
    QByteArray identifier; // "gmw/en-US"
    int gender = 0; // 0 unknown, 1 male, 2 female
};

// The suite voices: "Mavi Oskar", "Mavi Lena", "Mavi Mei", "Mavi Tessa", "Mavi Ivy".
QList<SpObjectToken> suiteVoices();

// Suite voices first (those whose base espeak voice is installed), then one
// token per other engine voice in the engine's order. The plain "cmn" voice is
// left out: it spells ideographs as English letters.
QList<SpObjectToken> build(const QList<EngineVoice> &engineVoices);

// The attribute that marks a natural (neural) voice; its value is the
// voice's folder.
inline const QString NeuralAttribute = QStringLiteral("NeuralVoice");

// The token of a natural voice: Name, Language (when `languageTag` has an
// id), Gender (when known), Age, Vendor and NeuralAttribute. `key` must be
// unique among all voices; the engine settings are empty.
SpObjectToken neuralVoice(const QString &key, const QString &name, const QString &languageTag,
    const QString &gender, const QString &folder);

// Windows language id in hex for an espeak-ng language tag ("en-us" -> "409");
// empty when the language has no id.
QString languageId(const QByteArray &espeakLanguage);

// Attribute query matching. Each query is a ';'-separated list of
// "Attribute=Value" conditions (a condition without '=' only asks that the
// attribute exists). "Language" matches when any ';'-free hex id of the token
// equals the wanted one, case-insensitively; other attributes compare exactly.
bool matches(const SpObjectToken &token, const QString &required);
int optionalScore(const SpObjectToken &token, const QString &optional);

// Tokens meeting `required`, the ones meeting more optional conditions first,
// otherwise in catalogue order (stable).
QList<SpObjectToken> select(
    const QList<SpObjectToken> &all, const QString &required, const QString &optional);

} // namespace VoiceCatalogue
