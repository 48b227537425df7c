#pragma once
// The program's small registry: a tree of keys holding named, typed values,
// under two roots. HKEY_CURRENT_USER belongs to the user and lives in a file
// in the user's config folder, read afresh on every access (so another
// running instance's writes are seen) and rewritten atomically on every
// change. HKEY_LOCAL_MACHINE describes the machine as the program found it
// (the installed voices' attributes): it is filled in memory at start and
// never saved.
//
// Key paths are backslash-separated ("Software\\Mavi Technology\\Parlo");
// empty parts are ignored, and key and value names match without regard to
// case while keeping the spelling they were created with. A store file that
// cannot be parsed reads as empty and is set aside as "<file>.broken" before
// the first write replaces it, so nothing the user had is thrown away.

#include <QByteArray>
#include <QMap>
#include <QMutex>
#include <QString>

// The predefined roots, with the platform's handle values.
enum RegRoot : quint32 {
    HKEY_CLASSES_ROOT = 0x80000000u,
    HKEY_CURRENT_USER = 0x80000001u,
    HKEY_LOCAL_MACHINE = 0x80000002u,
    HKEY_USERS = 0x80000003u,
};

// Value types the program stores.
enum RegType : int {
    REG_SZ = 1,
    REG_DWORD = 4,
};

class RegistryStore
{
public:
    struct Value {
        int type = REG_SZ;
        QByteArray data; // text values as UTF-8, without a terminating zero
    };

    static RegistryStore &instance();

    // The file behind HKEY_CURRENT_USER. By default the XDG config folder +
    // "/Parlo/registry.json"; under the test harness (PARLO_TEST set) the
    // user root stays in memory unless a test names a file here. An empty
    // path restores the default.
    void setUserFile(const QString &path);
    QString userFile() const;

    // Whether the key exists under root. Only HKEY_CURRENT_USER and
    // HKEY_LOCAL_MACHINE hold anything; other roots have no keys.
    bool keyExists(RegRoot root, const QString &key) const;
    // false when the key or the value is missing.
    bool readValue(RegRoot root, const QString &key, const QString &name, Value *value) const;
    // Stores the value, creating the key and its missing parents. false when
    // the root cannot hold keys or the user file cannot be written (the store
    // is then unchanged).
    bool writeValue(RegRoot root, const QString &key, const QString &name, const Value &value);

    // Empties the machine root (tests, and a fresh voice scan).
    void clearMachine();

    // Largest user file that is parsed; a bigger one reads as empty.
    static constexpr qint64 MaxFileSize = 16LL * 1024 * 1024;

private:
    struct Key {
        QString path; // as first created
        QMap<QString, QString> names; // folded name -> spelling
        QMap<QString, Value> values; // folded name -> value
    };
    using Tree = QMap<QString, Key>; // folded path -> key

    RegistryStore() = default;

    static QString foldedPath(const QString &key, QString *spelled = nullptr);
    bool userFileBacked() const;
    // Loads the user tree; broken is set when the file exists but is unusable.
    Tree loadUser(bool *broken) const;
    bool saveUser(const Tree &tree, bool broken) const;
    static void addKey(Tree &tree, const QString &folded, const QString &spelled);

    mutable QMutex m_mutex;
    QString m_userFile;
    Tree m_machine;
    Tree m_userMemory; // the user root when no file backs it
};
