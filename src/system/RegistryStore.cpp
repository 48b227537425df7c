#include "system/RegistryStore.h"

#include "system/SafeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMutexLocker>
#include <QStandardPaths>
#include <QStringList>

namespace
{

QString defaultUserFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/Parlo/registry.json");
}

// Value objects in the file: {"type": 1, "data": "text"}.
QJsonObject toJson(const RegistryStore::Value &value)
{
    QJsonObject o;
    o.insert(QStringLiteral("type"), value.type);
    o.insert(QStringLiteral("data"), QString::fromUtf8(value.data));
    return o;
}

bool fromJson(const QJsonValue &json, RegistryStore::Value *value)
{
    if (!json.isObject())
        return false;
    const QJsonObject o = json.toObject();
    const QJsonValue type = o.value(QStringLiteral("type"));
    const QJsonValue data = o.value(QStringLiteral("data"));
    if (!type.isDouble() || !data.isString())
        return false;
    value->type = type.toInt();
    value->data = data.toString().toUtf8();
    return true;
}

} // namespace

RegistryStore &RegistryStore::instance()
{
    static RegistryStore store;
    return store;
}

void RegistryStore::setUserFile(const QString &path)
{
    QMutexLocker lock(&m_mutex);
    m_userFile = path;
    m_userMemory.clear();
}

QString RegistryStore::userFile() const
{
    QMutexLocker lock(&m_mutex);
    if (!m_userFile.isEmpty())
        return m_userFile;
    return userFileBacked() ? defaultUserFile() : QString();
}

bool RegistryStore::userFileBacked() const
{
    return !m_userFile.isEmpty() || !qEnvironmentVariableIsSet("PARLO_TEST");
}

QString RegistryStore::foldedPath(const QString &key, QString *spelled)
{
    QStringList parts = key.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    const QString joined = parts.join(QLatin1Char('\\'));
    if (spelled)
        *spelled = joined;
    return joined.toCaseFolded();
}

void RegistryStore::addKey(Tree &tree, const QString &folded, const QString &spelled)
{
    // Every parent exists as a key of its own, as in the platform's registry.
    const QStringList foldedParts = folded.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    const QStringList spelledParts = spelled.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    QString f, s;
    for (qsizetype i = 0; i < foldedParts.size(); ++i) {
        f += (i ? QStringLiteral("\\") : QString()) + foldedParts[i];
        s += (i ? QStringLiteral("\\") : QString()) + spelledParts.value(i, foldedParts[i]);
        if (!tree.contains(f))
            tree[f].path = s;
    }
    if (!tree.contains(QString()) && folded.isEmpty())
        tree[QString()].path = QString();
}

RegistryStore::Tree RegistryStore::loadUser(bool *broken) const
{
    *broken = false;
    if (!userFileBacked())
        return m_userMemory;
    const QString path = m_userFile.isEmpty() ? defaultUserFile() : m_userFile;
    Tree tree;
    QFile file(path);
    if (!file.exists())
        return tree;
    if (file.size() > MaxFileSize || !file.open(QIODevice::ReadOnly)) {
        *broken = true;
        return tree;
    }
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject()) {
        *broken = true;
        return tree;
    }
    const QJsonObject keys = doc.object();
    for (auto it = keys.begin(); it != keys.end(); ++it) {
        QString spelled;
        const QString folded = foldedPath(it.key(), &spelled);
        addKey(tree, folded, spelled);
        if (!it.value().isObject())
            continue;
        Key &key = tree[folded];
        const QJsonObject values = it.value().toObject();
        for (auto v = values.begin(); v != values.end(); ++v) {
            Value value;
            if (!fromJson(v.value(), &value))
                continue;
            const QString name = v.key().toCaseFolded();
            if (key.values.contains(name))
                continue; // the first spelling of a name wins
            key.names.insert(name, v.key());
            key.values.insert(name, value);
        }
    }
    return tree;
}

bool RegistryStore::saveUser(const Tree &tree, bool broken) const
{
    if (!userFileBacked())
        return true;
    const QString path = m_userFile.isEmpty() ? defaultUserFile() : m_userFile;
    QJsonObject keys;
    for (const Key &key : tree) {
        QJsonObject values;
        for (auto it = key.values.begin(); it != key.values.end(); ++it)
            values.insert(key.names.value(it.key()), toJson(it.value()));
        keys.insert(key.path, values);
    }
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (broken) {
        // Keep the unreadable file for the user rather than overwrite it.
        const QString aside = path + QStringLiteral(".broken");
        QFile::remove(aside);
        if (!QFile::rename(path, aside))
            return false;
    }
    return SafeFile::replace(path, QJsonDocument(keys).toJson(QJsonDocument::Indented)).isEmpty();
}

bool RegistryStore::keyExists(RegRoot root, const QString &key) const
{
    QMutexLocker lock(&m_mutex);
    const QString folded = foldedPath(key);
    if (root == HKEY_LOCAL_MACHINE)
        return folded.isEmpty() || m_machine.contains(folded);
    if (root != HKEY_CURRENT_USER)
        return false;
    bool broken = false;
    return folded.isEmpty() || loadUser(&broken).contains(folded);
}

bool RegistryStore::readValue(
    RegRoot root, const QString &key, const QString &name, Value *value) const
{
    QMutexLocker lock(&m_mutex);
    Tree loaded;
    const Tree *tree = nullptr;
    if (root == HKEY_LOCAL_MACHINE) {
        tree = &m_machine;
    } else if (root == HKEY_CURRENT_USER) {
        bool broken = false;
        loaded = loadUser(&broken);
        tree = &loaded;
    } else {
        return false;
    }
    const auto k = tree->constFind(foldedPath(key));
    if (k == tree->constEnd())
        return false;
    const auto v = k->values.constFind(name.toCaseFolded());
    if (v == k->values.constEnd())
        return false;
    *value = *v;
    return true;
}

bool RegistryStore::writeValue(
    RegRoot root, const QString &key, const QString &name, const Value &value)
{
    QMutexLocker lock(&m_mutex);
    QString spelled;
    const QString folded = foldedPath(key, &spelled);
    const QString foldedName = name.toCaseFolded();
    auto put = [&](Tree &tree) {
        addKey(tree, folded, spelled);
        Key &k = tree[folded];
        if (!k.names.contains(foldedName))
            k.names.insert(foldedName, name);
        k.values.insert(foldedName, value);
    };
    if (root == HKEY_LOCAL_MACHINE) {
        put(m_machine);
        return true;
    }
    if (root != HKEY_CURRENT_USER)
        return false;
    bool broken = false;
    Tree tree = loadUser(&broken);
    put(tree);
    if (!saveUser(tree, broken))
        return false;
    if (!userFileBacked())
        m_userMemory = tree;
    return true;
}

void RegistryStore::clearMachine()
{
    QMutexLocker lock(&m_mutex);
    m_machine.clear();
}
