#include "speech/SapiXmlParser.h"

#include <QMap>

#include <algorithm>
#include <climits>
#include <optional>

bool SapiXmlParser::Run::sameSettings(const Run &o) const
{
    return rate == o.rate && rateAbsolute == o.rateAbsolute && pitch == o.pitch
        && pitchAbsolute == o.pitchAbsolute && volume == o.volume && emphasis == o.emphasis
        && spell == o.spell && voiceRequired == o.voiceRequired && voiceOptional == o.voiceOptional;
}

namespace
{

struct Tag {
    QString name; // lower case
    QMap<QString, QString> attributes; // names lower case
    bool closing = false;
    bool empty = false;
};

bool isNameStart(QChar c)
{
    return c.isLetter() || c == QLatin1Char('_') || c == QLatin1Char(':');
}

bool isNameChar(QChar c)
{
    return isNameStart(c) || c.isDigit() || c == QLatin1Char('-') || c == QLatin1Char('.');
}

// Decodes the entity starting at text[i] == '&'. Returns the decoded text and
// moves i past the ';', or returns a null string when it is not an entity.
QString decodeEntity(const QString &text, int &i)
{
    const int semi = text.indexOf(QLatin1Char(';'), i);
    if (semi < 0 || semi - i > 12)
        return QString();
    const QString name = text.mid(i + 1, semi - i - 1);
    QString out;
    if (name == QLatin1String("lt"))
        out = QStringLiteral("<");
    else if (name == QLatin1String("gt"))
        out = QStringLiteral(">");
    else if (name == QLatin1String("amp"))
        out = QStringLiteral("&");
    else if (name == QLatin1String("quot"))
        out = QStringLiteral("\"");
    else if (name == QLatin1String("apos"))
        out = QStringLiteral("'");
    else if (name.startsWith(QLatin1Char('#'))) {
        bool ok = false;
        const uint code = name.startsWith(QLatin1String("#x"), Qt::CaseInsensitive)
            ? name.mid(2).toUInt(&ok, 16)
            : name.mid(1).toUInt(&ok, 10);
        if (!ok || code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return QString();
        const char32_t c = code;
        out = QString::fromUcs4(&c, 1);
    } else
        return QString();
    i = semi + 1;
    return out;
}

bool skipSpaces(const QString &t, int &i)
{
    const int start = i;
    while (i < t.size() && t.at(i).isSpace())
        ++i;
    return i > start;
}

// Parses the tag starting at t[i] == '<'; on success moves i past '>'.
bool parseTag(const QString &t, int &i, Tag *tag)
{
    int p = i + 1;
    if (p < t.size() && t.at(p) == QLatin1Char('/')) {
        tag->closing = true;
        ++p;
    }
    if (p >= t.size() || !isNameStart(t.at(p)))
        return false;
    const int nameStart = p;
    while (p < t.size() && isNameChar(t.at(p)))
        ++p;
    tag->name = t.mid(nameStart, p - nameStart).toLower();
    for (;;) {
        const bool spaced = skipSpaces(t, p);
        if (p >= t.size())
            return false;
        const QChar c = t.at(p);
        if (c == QLatin1Char('>')) {
            i = p + 1;
            return true;
        }
        if (c == QLatin1Char('/') && !tag->closing) {
            if (p + 1 < t.size() && t.at(p + 1) == QLatin1Char('>')) {
                tag->empty = true;
                i = p + 2;
                return true;
            }
            return false;
        }
        if (tag->closing || !spaced || !isNameStart(c))
            return false;
        const int attrStart = p;
        while (p < t.size() && isNameChar(t.at(p)))
            ++p;
        const QString attr = t.mid(attrStart, p - attrStart).toLower();
        skipSpaces(t, p);
        if (p >= t.size() || t.at(p) != QLatin1Char('='))
            return false;
        ++p;
        skipSpaces(t, p);
        if (p >= t.size())
            return false;
        // A value without quotes, as HTML allows, ends at a blank or the
        // tag's end.
        const bool quoted = t.at(p) == QLatin1Char('"') || t.at(p) == QLatin1Char('\'');
        const QChar quote = quoted ? t.at(p) : QChar();
        if (quoted)
            ++p;
        auto ends = [&](QChar v) {
            if (quoted)
                return v == quote;
            return v.isSpace() || v == QLatin1Char('>')
                || (v == QLatin1Char('/') && p + 1 < t.size() && t.at(p + 1) == QLatin1Char('>'));
        };
        QString value;
        while (p < t.size() && !ends(t.at(p))) {
            if (t.at(p) == QLatin1Char('<'))
                return false;
            if (t.at(p) == QLatin1Char('&')) {
                const QString decoded = decodeEntity(t, p);
                // A bad entity stands as written.
                value += decoded.isNull() ? QString(t.at(p++)) : decoded;
            } else
                value += t.at(p++);
        }
        if (p >= t.size() || (!quoted && value.isEmpty()))
            return false;
        if (quoted)
            ++p;
        // A repeated attribute keeps its first value, as browsers do.
        if (!tag->attributes.contains(attr))
            tag->attributes.insert(attr, value);
    }
}

// A whole number, however long: past the range of int it is clamped, since
// every use clamps it further. Nothing when the text is not a number.
std::optional<int> number(const QString &value)
{
    const QString text = value.trimmed();
    qsizetype k = 0;
    const bool negative = text.startsWith(QLatin1Char('-'));
    if (negative || text.startsWith(QLatin1Char('+')))
        k = 1;
    if (k >= text.size())
        return std::nullopt;
    qint64 n = 0;
    for (; k < text.size(); ++k) {
        if (!text.at(k).isDigit() || text.at(k).unicode() >= 128)
            return std::nullopt;
        n = std::min<qint64>(n * 10 + text.at(k).digitValue(), qint64(INT_MAX) + 1);
    }
    return int(std::clamp<qint64>(negative ? -n : n, INT_MIN, INT_MAX));
}

// `current` moved by the steps an attribute gives, clamped to -10..10; as it
// was when the value is not a number. The sum is taken in 64 bits: any two
// 32-bit values fit.
int addStep(const QString &value, int current)
{
    const std::optional<int> n = number(value);
    return n ? int(std::clamp<qint64>(qint64(current) + *n, -10, 10)) : current;
}

} // namespace

QList<SapiXmlParser::Run> SapiXmlParser::parse(const QString &markup)
{
    QList<Run> out;
    QList<QPair<QString, Run>> stack; // open element name and the settings before it
    Run state;
    Run current = state; // text being gathered
    current.kind = Run::Text;

    // The end offset of the gathered text is tracked separately so that a
    // decoded entity at the end still ends at the entity's end.
    int gatheredEnd = 0;
    auto flush = [&] {
        if (!current.text.isEmpty()) {
            current.offsets.append(gatheredEnd);
            out.append(current);
        }
        current = state;
        current.text.clear();
        current.offsets.clear();
    };
    // Gathers markup[from, to) as written, or `decoded` in its place.
    auto gather = [&](int from, int to, const QString &decoded) {
        if (current.text.isEmpty())
            current.source = from;
        if (decoded.isNull()) {
            for (int k = from; k < to; ++k) {
                current.offsets.append(k);
                current.text += markup.at(k);
            }
        } else {
            // Every unit of a decoded entity sits at the entity's start.
            for (int k = 0; k < decoded.size(); ++k)
                current.offsets.append(from);
            current.text += decoded;
        }
        gatheredEnd = to;
    };

    int i = 0;
    const int n = markup.size();
    while (i < n) {
        const QChar c = markup.at(i);
        if (c == QLatin1Char('&')) {
            const int from = i;
            const QString decoded = decodeEntity(markup, i);
            if (decoded.isNull()) // not an entity: read as written
                gather(from, ++i, QString());
            else
                gather(from, i, decoded);
            continue;
        }
        if (c != QLatin1Char('<')) {
            gather(i, i + 1, QString());
            ++i;
            continue;
        }
        // Whatever does not make a whole comment or tag is text as written;
        // the markup around it keeps its meaning.
        const bool comment = markup.mid(i, 4) == QLatin1String("<!--");
        if (comment || markup.mid(i, 2) == QLatin1String("<?")) {
            const QLatin1String close = comment ? QLatin1String("-->") : QLatin1String("?>");
            const int end = markup.indexOf(close, i + (comment ? 4 : 2));
            if (end < 0) {
                gather(i, i + 1, QString());
                ++i;
            } else {
                i = end + close.size();
            }
            continue;
        }
        const int tagStart = i;
        Tag tag;
        if (!parseTag(markup, i, &tag)) {
            i = tagStart;
            gather(i, i + 1, QString());
            ++i;
            continue;
        }
        if (tag.closing) {
            // Closes the innermost open element of that name and those left
            // open inside it; an end tag with no such element is dropped.
            qsizetype open = stack.size() - 1;
            while (open >= 0 && stack.at(open).first != tag.name)
                --open;
            if (open < 0)
                continue;
            flush();
            state = stack.at(open).second;
            stack.resize(open);
            current = state;
            continue;
        }
        // Settings change at this tag: close the text gathered so far.
        flush();
        const Run before = state;
        const QMap<QString, QString> &a = tag.attributes;
        if (tag.name == QLatin1String("silence")) {
            // A silence of no readable length is none.
            if (const std::optional<int> ms = number(a.value(QStringLiteral("msec")))) {
                Run silence = state;
                silence.kind = Run::Silence;
                silence.source = tagStart;
                silence.silenceMs = std::clamp(*ms, 0, MaxSilenceMs);
                out.append(silence);
            }
        } else if (tag.name == QLatin1String("bookmark")) {
            Run mark = state;
            mark.kind = Run::Bookmark;
            mark.source = tagStart;
            mark.text = a.value(QStringLiteral("mark"));
            out.append(mark);
        } else if (tag.name == QLatin1String("rate")) {
            if (const std::optional<int> v = number(a.value(QStringLiteral("absspeed")))) {
                state.rate = std::clamp(*v, -10, 10);
                state.rateAbsolute = true;
            }
            state.rate = addStep(a.value(QStringLiteral("speed")), state.rate);
        } else if (tag.name == QLatin1String("pitch")) {
            if (const std::optional<int> v = number(a.value(QStringLiteral("absmiddle")))) {
                state.pitch = std::clamp(*v, -10, 10);
                state.pitchAbsolute = true;
            }
            state.pitch = addStep(a.value(QStringLiteral("middle")), state.pitch);
        } else if (tag.name == QLatin1String("volume")) {
            if (const std::optional<int> level = number(a.value(QStringLiteral("level"))))
                state.volume = std::clamp(*level, 0, 100);
        } else if (tag.name == QLatin1String("emph")) {
            state.emphasis = true;
        } else if (tag.name == QLatin1String("spell")) {
            state.spell = true;
        } else if (tag.name == QLatin1String("voice")) {
            state.voiceRequired = a.value(QStringLiteral("required"));
            state.voiceOptional = a.value(QStringLiteral("optional"));
        }
        // Other tags (pron, context, partofsp, lang, sapi…) are accepted
        // and have no effect on how the text sounds.
        if (tag.empty) {
            // An empty element such as <rate absspeed="5"/> changes the
            // settings from here to the end of the enclosing element.
            if (tag.name == QLatin1String("silence") || tag.name == QLatin1String("bookmark"))
                state = before;
        } else {
            stack.append({tag.name, before});
        }
        current = state;
        current.text.clear();
        current.offsets.clear();
    }
    // Elements left open end with the text.
    flush();
    return out;
}

QList<SapiXmlParser::Run> SapiXmlParser::plain(const QString &text)
{
    Run run;
    run.text = text;
    return {run};
}

bool SapiXmlParser::looksLikeMarkup(const QString &text)
{
    for (const QChar c : text) {
        if (!c.isSpace())
            return c == QLatin1Char('<');
    }
    return false;
}
