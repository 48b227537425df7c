#include "speech/SpObjectToken.h"

SpObjectToken::SpObjectToken(const QString &key, const QString &description,
    const QMap<QString, QString> &attributes, const EngineSettings &settings)
    : d(std::make_shared<Data>(Data {key, description, attributes, settings}))
{
}

QString SpObjectToken::tokenRoot()
{
    return QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Speech\\Voices\\Tokens\\");
}

QString SpObjectToken::GetDescription(int) const
{
    return d ? d->description : QString();
}

QString SpObjectToken::Id() const
{
    return d ? tokenRoot() + d->key : QString();
}

QString SpObjectToken::GetAttribute(const QString &name) const
{
    return d ? d->attributes.value(name) : QString();
}

QMap<QString, QString> SpObjectToken::attributes() const
{
    return d ? d->attributes : QMap<QString, QString>();
}

SpObjectToken::EngineSettings SpObjectToken::engineSettings() const
{
    return d ? d->settings : EngineSettings();
}

QByteArray SpObjectToken::espeakVoiceName() const
{
    if (!d)
        return QByteArray();
    if (d->settings.variant.isEmpty())
        return d->settings.espeakVoice;
    return d->settings.espeakVoice + '+' + d->settings.variant;
}

bool SpObjectToken::operator==(const SpObjectToken &other) const
{
    if (d == other.d)
        return true;
    if (!d || !other.d)
        return false;
    return d->key == other.d->key;
}
