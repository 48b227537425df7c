#include "system/CIni.h"

#include "system/CodePage.h"
#include "system/Log.h"
#include "system/SafeFile.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <cmath>
#include <cstring>
#include <limits>

namespace
{

CIni::WriteFailureHandler &failureHandler()
{
    static CIni::WriteFailureHandler handler;
    return handler;
}

void reportWriteFailure()
{
    if (const auto &handler = failureHandler())
        handler();
}

// The longest value a read hands back, in bytes: a 255-byte buffer less its
// terminating NUL.
constexpr qsizetype MaxValueBytes = 254;

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

struct Span {
    qsizetype begin = 0;
    qsizetype end = 0;
    bool empty() const { return begin >= end; }
};

Span trimmed(const QByteArray &data, Span s)
{
    while (s.begin < s.end && isBlank(data[s.begin]))
        ++s.begin;
    while (s.end > s.begin && isBlank(data[s.end - 1]))
        --s.end;
    return s;
}

bool sameName(const QByteArray &data, Span s, const QString &name)
{
    const QString found = QString::fromUtf8(data.constData() + s.begin, s.end - s.begin);
    return found.compare(name.trimmed(), Qt::CaseInsensitive) == 0;
}

// The line end of the line starting at pos: where it is (size for a last
// line without one) and its length: 2 for CR LF, 1 for a lone LF or CR.
struct LineEnd {
    qsizetype at = 0;
    qsizetype length = 0;
};

LineEnd lineEndFrom(const char *base, qsizetype pos, qsizetype size)
{
    for (qsizetype i = pos; i < size; ++i) {
        if (base[i] == '\n')
            return {i, 1};
        if (base[i] == '\r')
            return {i, (i + 1 < size && base[i + 1] == '\n') ? 2 : 1};
    }
    return {size, 0};
}

// Where a key lives in the file, or where it would go.
struct Location {
    bool sectionFound = false;
    bool keyFound = false;
    Span keyLine; // the key's line without its line end
    Span value; // the raw value, trimmed
    qsizetype insertAt = 0; // where a missing key of a found section goes
    bool insertNeedsEol = false; // the line before insertAt has no line end
};

// One pass over the lines: first matching section, first matching key within
// it. Works on the bytes in place so that huge or binary files cost no more
// than a scan.
Location locate(const QByteArray &data, const QString &section, const QString &key)
{
    Location loc;
    const char *base = data.constData();
    const qsizetype size = data.size();
    qsizetype pos = 0;
    if (size >= 3 && std::memcmp(base, "\xEF\xBB\xBF", 3) == 0)
        pos = 3;
    bool inSection = false;
    while (pos < size) {
        const LineEnd eol = lineEndFrom(base, pos, size);
        const qsizetype next = eol.at + eol.length;
        const bool last = eol.length == 0;
        const Span line {pos, eol.at};
        const Span text = trimmed(data, line);
        if (!text.empty() && base[text.begin] == '[') {
            if (inSection)
                return loc; // the section ended without the key
            const char *close = static_cast<const char *>(
                std::memchr(base + text.begin + 1, ']', text.end - text.begin - 1));
            Span name {text.begin + 1, close ? close - base : text.end};
            if (sameName(data, trimmed(data, name), section)) {
                inSection = true;
                loc.sectionFound = true;
                loc.insertAt = next;
                loc.insertNeedsEol = last;
            }
        } else if (inSection && !text.empty()) {
            loc.insertAt = next;
            loc.insertNeedsEol = last;
            if (base[text.begin] != ';') {
                const char *eq = static_cast<const char *>(
                    std::memchr(base + text.begin, '=', text.end - text.begin));
                if (eq && sameName(data, trimmed(data, {text.begin, eq - base}), key)) {
                    loc.keyFound = true;
                    loc.keyLine = line;
                    loc.value = trimmed(data, {eq - base + 1, text.end});
                    return loc;
                }
            }
        }
        pos = next;
    }
    return loc;
}

enum class Encoding { Utf8, Utf16LE, Utf16BE };

// The file's text as UTF-8, whatever its own encoding, so that one scanner
// serves every file.
struct FileText {
    QByteArray data;
    Encoding encoding = Encoding::Utf8;
    // Encoding data again gives the file's bytes unchanged. A UTF-16 file
    // with an odd byte or a lone surrogate is read but never rewritten:
    // writing it back would change bytes far from the value written.
    bool exact = true;
};

QByteArray fromUtf16(const QByteArray &bytes, bool bigEndian)
{
    QString text(bytes.size() / 2, Qt::Uninitialized);
    char16_t *out = reinterpret_cast<char16_t *>(text.data());
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2) {
        const auto first = uchar(bytes[i]);
        const auto second = uchar(bytes[i + 1]);
        out[i / 2] = bigEndian ? char16_t(first << 8 | second) : char16_t(second << 8 | first);
    }
    return text.toUtf8();
}

// The UTF-8 data as UTF-16 in the given byte order, after a byte-order mark.
QByteArray toUtf16(const QByteArray &data, bool bigEndian)
{
    const QString text = QString::fromUtf8(data);
    QByteArray out;
    out.reserve(2 * (text.size() + 1));
    const auto put = [&](char16_t unit) {
        const char high = char(unit >> 8);
        const char low = char(unit & 0xFF);
        out.append(bigEndian ? high : low);
        out.append(bigEndian ? low : high);
    };
    put(u'\uFEFF');
    for (const QChar c : text)
        put(c.unicode());
    return out;
}

QByteArray encodeAs(const QByteArray &data, Encoding encoding)
{
    return encoding == Encoding::Utf8 ? data : toUtf16(data, encoding == Encoding::Utf16BE);
}

// Reads the whole file; false when it exists but cannot be taken in.
bool readFile(const QString &path, FileText *text, bool *exists)
{
    *text = FileText();
    QFile file(path);
    *exists = file.exists();
    if (!*exists)
        return true;
    if (file.size() > CIni::MaxFileSize)
        return false;
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return false;
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        const bool bigEndian = bytes[0] == '\xFE';
        text->encoding = bigEndian ? Encoding::Utf16BE : Encoding::Utf16LE;
        text->data = fromUtf16(bytes.mid(2), bigEndian);
        text->exact = encodeAs(text->data, text->encoding) == bytes;
    } else {
        text->data = bytes;
    }
    return true;
}

// The line end new lines take: that of the first line, CR LF when none.
QByteArray lineEndOf(const QByteArray &data)
{
    const LineEnd eol = lineEndFrom(data.constData(), 0, data.size());
    return eol.length == 0 ? QByteArrayLiteral("\r\n") : data.mid(eol.at, eol.length);
}

// A value is one line of the file and a C string on the way in: it ends at a
// NUL, and line breaks inside it become spaces so the file keeps its shape.
QByteArray valueBytes(const QString &value)
{
    QByteArray bytes = CodePage::encode(value);
    const qsizetype nul = bytes.indexOf('\0');
    if (nul >= 0)
        bytes.truncate(nul);
    bytes.replace('\r', ' ');
    bytes.replace('\n', ' ');
    return bytes;
}

bool writeFile(const QString &path, const QByteArray &data)
{
    // A writable file in a folder that refuses new files is still written,
    // in place, as the platform's profile functions would.
    const QString failure = SafeFile::replace(path, data, SafeFile::InPlace::WhenFolderRefuses);
    if (!failure.isEmpty())
        qCWarning(lcSettings).noquote() << "cannot write" << path << failure;
    return failure.isEmpty();
}

template<typename T>
T readNumber(const CIni &ini, const QString &section, const QString &key, T def)
{
    const QString s = ini.GetSz(section, key, QString());
    if (s.isEmpty())
        return def;
    double number = 0;
    parseLeadingNumber(s, &number);
    const double rounded = std::nearbyint(number);
    if (!(rounded >= std::numeric_limits<T>::min() && rounded <= std::numeric_limits<T>::max()))
        return def;
    return static_cast<T>(rounded);
}

} // namespace

void CIni::setWriteFailureHandler(WriteFailureHandler handler)
{
    failureHandler() = std::move(handler);
}

QString CIni::writeFailureText()
{
    return QStringLiteral("An Error has occurred While calling the API function");
}

bool CIni::SetSz(const QString &section, const QString &key, const QString &value)
{
    FileText file;
    bool exists = false;
    bool ok = !m_FileName.isEmpty() && readFile(m_FileName, &file, &exists) && file.exact;
    QByteArray &data = file.data;
    // A read-only file is refused even where the process could write it
    // anyway (as root does): the owner's write bit is the user's say.
    if (ok && exists && !QFileInfo(m_FileName).permission(QFileDevice::WriteOwner))
        ok = false;
    if (ok) {
        const QByteArray eol = lineEndOf(data);
        const Location loc = locate(data, section, key);
        const QByteArray keyText = key.trimmed().toUtf8();
        const QByteArray line = keyText + '=' + valueBytes(value);
        if (loc.keyFound) {
            // Keep the spelling of the key already in the file.
            const qsizetype eq = data.indexOf('=', loc.keyLine.begin);
            const Span name = trimmed(data, {loc.keyLine.begin, eq});
            const QByteArray kept = data.mid(name.begin, name.end - name.begin);
            data.replace(loc.keyLine.begin, loc.keyLine.end - loc.keyLine.begin,
                kept + '=' + valueBytes(value));
        } else if (loc.sectionFound) {
            QByteArray insert = line + eol;
            if (loc.insertNeedsEol)
                insert.prepend(eol);
            data.insert(loc.insertAt, insert);
        } else {
            if (!data.isEmpty() && !data.endsWith('\n') && !data.endsWith('\r'))
                data.append(eol);
            data.append('[' + section.trimmed().toUtf8() + ']' + eol + line + eol);
        }
        ok = writeFile(m_FileName, encodeAs(data, file.encoding));
    }
    if (!ok)
        reportWriteFailure();
    return ok;
}

bool CIni::SetVal(const QString &section, const QString &key, qint16 value)
{
    return SetSz(section, key, QString::number(value));
}

bool CIni::SetLong(const QString &section, const QString &key, qint32 value)
{
    return SetSz(section, key, QString::number(value));
}

bool CIni::SetBOOL(const QString &section, const QString &key, bool value)
{
    return SetSz(section, key, value ? QStringLiteral("True") : QStringLiteral("False"));
}

QString CIni::GetSz(const QString &section, const QString &key, const QString &def) const
{
    FileText file;
    bool exists = false;
    if (m_FileName.isEmpty() || !readFile(m_FileName, &file, &exists) || !exists)
        return def;
    const QByteArray &data = file.data;
    const Location loc = locate(data, section, key);
    if (!loc.keyFound)
        return def;
    Span value = loc.value;
    // A value in matching quotes is read without them.
    if (value.end - value.begin >= 2) {
        const char first = data[value.begin];
        if ((first == '"' || first == '\'') && data[value.end - 1] == first) {
            ++value.begin;
            --value.end;
        }
    }
    const QByteArray bytes
        = CodePage::prefix(data.mid(value.begin, value.end - value.begin), MaxValueBytes);
    // Only a value with no bytes at all takes the default; one that starts
    // with a NUL reads as empty.
    if (bytes.isEmpty())
        return def;
    return CodePage::fromBuffer(bytes);
}

qint16 CIni::GetVal(const QString &section, const QString &key, qint16 def) const
{
    return readNumber<qint16>(*this, section, key, def);
}

qint32 CIni::GetLong(const QString &section, const QString &key, qint32 def) const
{
    return readNumber<qint32>(*this, section, key, def);
}

bool CIni::GetBOOL(const QString &section, const QString &key, bool def) const
{
    const QString s = GetSz(section, key, QString());
    if (s.isEmpty())
        return def;
    return s == QLatin1String("True");
}

bool parseLeadingNumber(const QString &text, double *value)
{
    *value = 0;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    QByteArray ascii;
    if (i < n && (text[i] == u'-' || text[i] == u'+'))
        ascii.append(static_cast<char>(text[i++].unicode()));
    bool digits = false;
    while (i < n && text[i] >= u'0' && text[i] <= u'9') {
        ascii.append(static_cast<char>(text[i++].unicode()));
        digits = true;
    }
    if (i < n && text[i] == u'.') {
        ascii.append('.');
        ++i;
        while (i < n && text[i] >= u'0' && text[i] <= u'9') {
            ascii.append(static_cast<char>(text[i++].unicode()));
            digits = true;
        }
    }
    if (!digits)
        return false;
    // An exponent counts only when digits follow it.
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        qsizetype j = i + 1;
        QByteArray exponent("e");
        if (j < n && (text[j] == u'-' || text[j] == u'+'))
            exponent.append(static_cast<char>(text[j++].unicode()));
        bool expDigits = false;
        while (j < n && text[j] >= u'0' && text[j] <= u'9') {
            exponent.append(static_cast<char>(text[j++].unicode()));
            expDigits = true;
        }
        if (expDigits)
            ascii.append(exponent);
    }
    bool ok = false;
    const double parsed = ascii.toDouble(&ok);
    // An overlong exponent overflows to infinity; callers range-check it.
    *value = ok ? parsed : (ascii.startsWith('-') ? -HUGE_VAL : HUGE_VAL);
    return true;
}

bool SaveColour(CIni &ini, const QString &key, qint32 colour)
{
    const quint32 c = static_cast<quint32>(colour);
    return ini.SetSz(QStringLiteral("RGB"), key,
        QStringLiteral("%1,%2,%3").arg(c & 0xFF).arg((c >> 8) & 0xFF).arg((c >> 16) & 0xFF));
}

qint32 ParseColour(const CIni &ini, const QString &key, const QString &defaultText, qint32 fallback)
{
    const QStringList parts
        = ini.GetSz(QStringLiteral("RGB"), key, defaultText).split(QLatin1Char(','));
    if (parts.size() < 3)
        return fallback;
    qint32 channel[3] = {};
    for (int i = 0; i < 3; ++i) {
        // The whole part must be a number: "12abc" is no colour.
        const QString part = parts[i].trimmed();
        bool ok = false;
        double number = part.toDouble(&ok);
        if (!ok || !std::isfinite(number))
            return 0;
        number = std::nearbyint(number);
        if (number < 0 || number > std::numeric_limits<qint16>::max())
            return 0;
        channel[i] = std::min(static_cast<qint32>(number), 255);
    }
    return channel[0] + 256 * channel[1] + 65536 * channel[2];
}
