#include "document/TextDecoding.h"

#include <QStringDecoder>

#include <uchardet/uchardet.h>

#include <algorithm>
#include <cerrno>
#include <iconv.h>
#include <memory>
#include <optional>
#include <vector>

using Document::Result;
using Document::Status;

namespace
{

struct Conversion {
    bool opened = false;
    QString text;
    qsizetype badBytes = 0;
};

// Converts with iconv into UTF-8 and then to QString. A byte sequence the
// source encoding does not define is replaced by U+FFFD and counted, so the
// caller can tell a stray byte from a wrong guess.
Conversion convert(const QByteArray &bytes, const QByteArray &from)
{
    Conversion result;
    const iconv_t cd = iconv_open("UTF-8", from.constData());
    if (cd == reinterpret_cast<iconv_t>(-1))
        return result;
    result.opened = true;

    QByteArray out;
    out.reserve(bytes.size() + bytes.size() / 2);
    char *in = const_cast<char *>(bytes.constData());
    size_t inLeft = size_t(bytes.size());
    char chunk[1 << 15];
    static constexpr char Replacement[] = "\xEF\xBF\xBD";
    while (inLeft > 0) {
        char *o = chunk;
        size_t oLeft = sizeof chunk;
        const size_t r = iconv(cd, &in, &inLeft, &o, &oLeft);
        out.append(chunk, o - chunk);
        if (r != size_t(-1) || errno == E2BIG)
            continue;
        out.append(Replacement);
        if (errno == EINVAL) { // the input ends inside a character
            result.badBytes += qsizetype(inLeft);
            break;
        }
        ++result.badBytes;
        ++in;
        --inLeft;
    }
    char *o = chunk;
    size_t oLeft = sizeof chunk;
    iconv(cd, nullptr, nullptr, &o, &oLeft);
    out.append(chunk, o - chunk);
    iconv_close(cd);
    result.text = QString::fromUtf8(out);
    return result;
}

// Control characters that no text file holds, plus replacement characters.
// Tab, line ends, form feed and the old end-of-file mark are fine.
qsizetype suspiciousChars(const QString &text)
{
    qsizetype n = 0;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == '\t' || u == '\n' || u == '\r' || u == '\f' || u == '\v' || u == 0x1A)
            continue;
        if (u < 0x20 || (u >= 0x7F && u <= 0x9F) || u == 0xFFFD)
            ++n;
    }
    return n;
}

bool looksLikeText(const QString &text)
{
    return suspiciousChars(text) * 50 <= text.size();
}

bool within(char16_t u, char16_t low, char16_t high)
{
    return u >= low && u <= high;
}

// The text without the terminal's escape sequences (colours, cursor moves,
// window titles, character sets) that files meant for a terminal hold, such
// as fortune cookies: a CSI sequence runs to its final byte, an OSC one to
// BEL or ESC \, any other to the byte after its intermediates.
QString withoutTerminalEscapes(const QString &text)
{
    constexpr char16_t Esc = 0x1B;
    constexpr char16_t Bel = 0x07;
    if (!text.contains(QChar(Esc)))
        return text;
    const char16_t *in = reinterpret_cast<const char16_t *>(text.constData());
    const qsizetype n = text.size();
    QString out;
    out.reserve(n);
    for (qsizetype i = 0; i < n;) {
        if (in[i] != Esc) {
            out += QChar(in[i++]);
            continue;
        }
        ++i;
        if (i < n && in[i] == u'[') {
            ++i;
            while (i < n && within(in[i], 0x30, 0x3F))
                ++i;
            while (i < n && within(in[i], 0x20, 0x2F))
                ++i;
            if (i < n && within(in[i], 0x40, 0x7E))
                ++i;
        } else if (i < n && in[i] == u']') {
            while (i < n && in[i] != Bel && !(in[i] == Esc && i + 1 < n && in[i + 1] == u'\\'))
                ++i;
            i = std::min(n, i + (i < n && in[i] == Bel ? 1 : 2));
        } else {
            while (i < n && within(in[i], 0x20, 0x2F))
                ++i;
            if (i < n && within(in[i], 0x30, 0x7E))
                ++i;
        }
    }
    return out;
}

Result accept(QString text)
{
    text = withoutTerminalEscapes(text);
    if (!looksLikeText(text))
        return Result::failure(Status::Unsupported, QStringLiteral("binary data, not text"));
    return Result::success(std::move(text));
}

Result decodeWithBom(const QByteArray &bytes, QStringConverter::Encoding encoding, int bomSize)
{
    QStringDecoder decoder(encoding, QStringConverter::Flag::Stateless);
    QString text = decoder.decode(QByteArrayView(bytes).sliced(bomSize));
    return accept(std::move(text));
}

// Every high surrogate is followed by a low one and every low one follows
// a high one: the decoder copies UTF-16 units without looking.
bool surrogatesPair(const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isHighSurrogate()) {
            if (i + 1 >= text.size() || !text[i + 1].isLowSurrogate())
                return false;
            ++i;
        } else if (text[i].isLowSurrogate()) {
            return false;
        }
    }
    return true;
}

std::optional<QString> strictUtf8(const QByteArray &bytes)
{
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

QByteArray detectCharset(const QByteArray &bytes)
{
    const std::unique_ptr<std::remove_pointer_t<uchardet_t>, decltype(&uchardet_delete)> detector(
        uchardet_new(), &uchardet_delete);
    if (!detector)
        return {};
    if (uchardet_handle_data(detector.get(), bytes.constData(), size_t(bytes.size())) != 0)
        return {};
    uchardet_data_end(detector.get());
    return QByteArray(uchardet_get_charset(detector.get())).toUpper();
}

// The encodings to try for what the detector named, best first: the
// detector names the common subset, iconv knows the supersets that real files
// are written in (HKSCS and Windows additions to Big5, GB18030 over GB2312).
std::vector<QByteArray> candidatesFor(const QByteArray &detected)
{
    if (detected == "BIG5")
        return {"BIG5-HKSCS", "CP950", "BIG5"};
    if (detected == "GB2312" || detected == "GBK" || detected == "GB18030")
        return {"GB18030"};
    if (detected == "EUC-KR")
        return {"CP949", "EUC-KR"};
    if (detected == "SHIFT_JIS")
        return {"CP932", "SHIFT_JIS"};
    if (detected == "ISO-8859-1")
        return {"CP1252", "ISO-8859-1"};
    return {detected};
}

} // namespace

namespace TextDecoding
{

Result decodeText(const QByteArray &bytes, const QByteArray &hintCharset)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return decodeWithBom(bytes, QStringConverter::Utf8, 3);
    if (bytes.startsWith("\xFF\xFE"))
        return decodeWithBom(bytes, QStringConverter::Utf16LE, 2);
    if (bytes.startsWith("\xFE\xFF"))
        return decodeWithBom(bytes, QStringConverter::Utf16BE, 2);
    if (const std::optional<QStringConverter::Encoding> utf16 = TextDecoding::utf16Order(bytes)) {
        QStringDecoder decoder(*utf16, QStringConverter::Flag::Stateless);
        QString text = decoder.decode(bytes);
        if (!decoder.hasError() && surrogatesPair(text))
            return accept(std::move(text));
    }
    if (bytes.contains('\0'))
        return Result::failure(Status::Unsupported, QStringLiteral("binary data, not text"));

    if (!hintCharset.isEmpty()) {
        Conversion hinted = convert(bytes, hintCharset.toUpper());
        if (hinted.opened && hinted.badBytes == 0)
            return accept(std::move(hinted.text));
    }
    if (std::optional<QString> utf8 = strictUtf8(bytes))
        return accept(std::move(*utf8));

    const QByteArray detected = detectCharset(bytes);
    if (detected.isEmpty())
        return Result::failure(
            Status::Unsupported, QStringLiteral("no text encoding fits the data"));
    Conversion best;
    for (const QByteArray &name : candidatesFor(detected)) {
        Conversion c = convert(bytes, name);
        if (!c.opened)
            continue;
        if (!best.opened || c.badBytes < best.badBytes)
            best = std::move(c);
        if (best.badBytes == 0)
            break;
    }
    if (!best.opened)
        return Result::failure(Status::Unsupported,
            QStringLiteral("unknown text encoding %1").arg(QLatin1String(detected)));
    return accept(std::move(best.text));
}

std::optional<QStringConverter::Encoding> utf16Order(QByteArrayView bytes)
{
    if (bytes.size() < 2 || bytes.size() % 2 != 0)
        return std::nullopt;
    qsizetype even = 0; // NULs at even offsets: high bytes of UTF-16BE
    qsizetype odd = 0;
    for (qsizetype i = 0; i < bytes.size(); i += 2) {
        even += bytes[i] == '\0';
        odd += bytes[i + 1] == '\0';
    }
    // Latin letters, digits, spaces and line ends have a NUL high byte;
    // a low byte of NUL (一 is U+4E00) is far rarer. Binary data has NULs
    // on both sides.
    const qsizetype units = bytes.size() / 2;
    const auto oneSided
        = [units](qsizetype high, qsizetype low) { return high * 16 >= units && low * 8 <= high; };
    if (oneSided(odd, even))
        return QStringConverter::Utf16LE;
    if (oneSided(even, odd))
        return QStringConverter::Utf16BE;
    return std::nullopt;
}

QString decodeCodePage(const QByteArray &bytes, const QByteArray &charset)
{
    Conversion c = convert(bytes, charset);
    if (!c.opened)
        c = convert(bytes, "CP1252");
    return c.text;
}

QByteArray codePageName(int codePage)
{
    switch (codePage) {
    case 0:
        return "CP1252";
    case 65001:
        return "UTF-8";
    case 10000:
        return "MACINTOSH";
    case 20936:
        return "GB2312";
    case 54936:
        return "GB18030";
    default:
        return "CP" + QByteArray::number(codePage);
    }
}

} // namespace TextDecoding
