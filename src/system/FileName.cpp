#include "system/FileName.h"

namespace FileName
{

namespace
{

constexpr char16_t RawBase = 0xDC80; // U+DC80 + byte 0x80..0xFF

// Length of the valid UTF-8 sequence at bytes[i], or 0 when there is none.
int sequenceAt(QByteArrayView bytes, qsizetype i)
{
    const auto at = [&](qsizetype k) { return uchar(bytes[k]); };
    const uchar lead = at(i);
    if (lead < 0x80)
        return 1;
    int length = 0;
    char32_t code = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07;
    } else {
        return 0;
    }
    if (i + length > bytes.size())
        return 0;
    for (int k = 1; k < length; ++k) {
        if ((at(i + k) & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (at(i + k) & 0x3F);
    }
    // Overlong forms, surrogates and code points past U+10FFFF are not UTF-8.
    static constexpr char32_t Least[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < Least[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return length;
}

} // namespace

QString decode(QByteArrayView bytes)
{
    QString name;
    name.reserve(bytes.size());
    qsizetype i = 0;
    while (i < bytes.size()) {
        const int length = sequenceAt(bytes, i);
        if (length == 0) {
            name += QChar(char16_t(RawBase + uchar(bytes[i]) - 0x80));
            ++i;
        } else {
            name += QString::fromUtf8(bytes.sliced(i, length));
            i += length;
        }
    }
    return name;
}

QByteArray encode(QStringView name)
{
    QByteArray bytes;
    bytes.reserve(name.size());
    qsizetype from = 0; // start of the stretch not yet encoded
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t c = name[i].unicode();
        const bool raw
            = c >= RawBase && c <= RawBase + 0x7F && (i == 0 || !name[i - 1].isHighSurrogate());
        if (!raw)
            continue;
        bytes += name.sliced(from, i - from).toUtf8();
        bytes += char(c - RawBase + 0x80);
        from = i + 1;
    }
    bytes += name.sliced(from).toUtf8();
    return bytes;
}

bool hasRawBytes(QStringView name)
{
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t c = name[i].unicode();
        if (c >= RawBase && c <= RawBase + 0x7F && (i == 0 || !name[i - 1].isHighSurrogate()))
            return true;
    }
    return false;
}

namespace
{
// Where the extension of the name starts, or -1.
qsizetype extensionDot(QStringView name)
{
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot > 0 ? dot : -1;
}

QStringView lastPart(const QString &path)
{
    return QStringView(path).sliced(path.lastIndexOf(u'/') + 1);
}
} // namespace

QString withoutExtension(const QString &path)
{
    const QStringView name = lastPart(path);
    const qsizetype dot = extensionDot(name);
    return (dot < 0 ? name : name.first(dot)).toString();
}

bool hasExtension(const QString &path)
{
    return extensionDot(lastPart(path)) >= 0;
}

} // namespace FileName
