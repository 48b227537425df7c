#pragma once
// Registry values of the current user and of the machine, read and written
// as text. CReg holds no state: every operation opens the key it needs in the
// program's registry store and is done with it before returning. Failures
// are never reported: a key or value that cannot be opened, read or written
// leaves the result empty.
//
// Texts cross the registry as bytes of the system code page, which on this
// platform is UTF-8: an ASCII character takes one byte, any other character
// two to four.

#include "system/RegistryStore.h"

#include <QString>

class CReg
{
public:
    // Bytes the text takes in a double-byte code page, counted per UTF-16
    // unit: "abc" is 3, two Chinese characters are 4. Values whose length
    // passes BufferSize - 1 are not read.
    qint32 LenW(const QString &text) const;

    // The text value valueName of subKey under root: cut at its first zero
    // byte and without trailing spaces. Empty when the key or value is
    // missing, is not text, or is longer than 254 bytes (it does not fit the
    // 255-byte buffer it is read into).
    QString GetSz(const QString &subKey, const QString &valueName, RegRoot root) const;

    // Stores data as a text value, creating subKey and its missing parents.
    // Returns whether the value was stored; callers may ignore it.
    bool SetSz(const QString &subKey, const QString &valueName, const QString &data, RegRoot root);

    // Size of the buffer a value is read into, terminating zero included.
    static constexpr int BufferSize = 255;

private:
    bool SetValue(int type, const QString &subKey, const QString &valueName, const QString &data,
        RegRoot root);
};
