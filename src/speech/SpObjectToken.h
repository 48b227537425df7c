// A voice token: the identity of one installed voice (its registry-style id,
// its display description and attributes) together with the engine settings
// that make the voice sound the way it does. Cheap to copy (shared, immutable
// data); a default-constructed token is null and names no voice.
#pragma once

#include <QMap>
#include <QMetaType>
#include <QString>
#include <memory>

class SpObjectToken
{
public:
    // How the synthesis engine renders this voice.
    struct EngineSettings {
        QByteArray espeakVoice; // espeak-ng voice name, e.g. "cmn-latn-pinyin"
        QByteArray variant; // espeak-ng variant, e.g. "f2"; empty for none
        int pitch = 50; // espeak-ng base pitch 0..100
        int range = 50; // espeak-ng pitch range 0..100
    };

    SpObjectToken() = default;
    SpObjectToken(const QString &key, const QString &description,
        const QMap<QString, QString> &attributes, const EngineSettings &settings);

    QString GetDescription(int locale = 0) const;
    QString Id() const;
    // Empty when the token has no such attribute.
    QString GetAttribute(const QString &name) const;
    QMap<QString, QString> attributes() const;
    EngineSettings engineSettings() const;
    // The espeak-ng name with its variant ("cmn-latn-pinyin+f2"), as espeak-ng takes it.
    QByteArray espeakVoiceName() const;

    bool isNull() const { return !d; }
    bool operator==(const SpObjectToken &other) const;
    bool operator!=(const SpObjectToken &other) const { return !(*this == other); }

    static QString tokenRoot();

private:
    struct Data {
        QString key;
        QString description;
        QMap<QString, QString> attributes;
        EngineSettings settings;
    };
    std::shared_ptr<const Data> d;
};

Q_DECLARE_METATYPE(SpObjectToken)
