#include "system/CodePage.h"

namespace CodePage
{

QByteArray encode(const QString &text)
{
    return text.toUtf8();
}

QByteArray prefix(const QByteArray &bytes, qsizetype max)
{
    if (bytes.size() <= max)
        return bytes;
    qsizetype cut = max;
    // Step back over continuation bytes to the lead byte of the character
    // the cut falls in, then keep that character only if it fits whole.
    qsizetype lead = cut;
    while (lead > 0 && (static_cast<unsigned char>(bytes[lead]) & 0xC0) == 0x80)
        --lead;
    if (lead < cut) {
        const unsigned char c = static_cast<unsigned char>(bytes[lead]);
        const qsizetype len = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        cut = lead + len <= max ? lead + len : lead;
    }
    return bytes.left(cut);
}

QString fromBuffer(const QByteArray &bytes)
{
    qsizetype end = bytes.indexOf('\0');
    if (end < 0)
        end = bytes.size();
    while (end > 0 && bytes[end - 1] == ' ')
        --end;
    return QString::fromUtf8(bytes.constData(), end);
}

} // namespace CodePage
