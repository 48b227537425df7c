#include "system/CReg.h"

#include "system/CodePage.h"

qint32 CReg::LenW(const QString &text) const
{
    return static_cast<qint32>(CodePage::encode(text).size());
}

QString CReg::GetSz(const QString &subKey, const QString &valueName, RegRoot root) const
{
    RegistryStore &store = RegistryStore::instance();
    if (!store.keyExists(root, subKey))
        return QString();
    RegistryStore::Value value;
    if (!store.readValue(root, subKey, valueName, &value) || value.type != REG_SZ)
        return QString();
    if (value.data.size() > BufferSize - 1)
        return QString();
    return CodePage::fromBuffer(value.data);
}

bool CReg::SetSz(const QString &subKey, const QString &valueName, const QString &data, RegRoot root)
{
    return SetValue(REG_SZ, subKey, valueName, data, root);
}

bool CReg::SetValue(
    int type, const QString &subKey, const QString &valueName, const QString &data, RegRoot root)
{
    RegistryStore &store = RegistryStore::instance();
    if (!store.createKey(root, subKey))
        return false;
    RegistryStore::Value value;
    value.type = type;
    // The text's LenW bytes, without a terminating zero.
    value.data = CodePage::encode(data);
    return store.writeValue(root, subKey, valueName, value);
}
