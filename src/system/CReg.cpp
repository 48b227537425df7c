#include "system/CReg.h"

#include "system/CodePage.h"

qint32 CReg::LenW(const QString &text) const
{
    // Counted per UTF-16 unit, the way a double-byte code page stores it:
    // ASCII takes one byte, every other character two.
    qint32 bytes = 0;
    for (const QChar unit : text)
        bytes += unit.unicode() < 0x80 ? 1 : 2;
    return bytes;
}

QString CReg::GetSz(const QString &subKey, const QString &valueName, RegRoot root) const
{
    // A missing key and a missing value read alike: empty.
    RegistryStore::Value value;
    if (!RegistryStore::instance().readValue(root, subKey, valueName, &value)
        || value.type != REG_SZ)
        return QString();
    if (LenW(QString::fromUtf8(value.data)) > BufferSize - 1)
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
    RegistryStore::Value value;
    value.type = type;
    // The text's LenW bytes, without a terminating zero.
    value.data = CodePage::encode(data);
    // Opens the key, creating it and its missing parents.
    return RegistryStore::instance().writeValue(root, subKey, valueName, value);
}
