#include "speech/SapiXmlParser.h"

#include <QMap>
#include <algorithm>

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
        if (p >= t.size() || (t.at(p) != QLatin1Char('"') && t.at(p) != QLatin1Char('\'')))
            return false;
        const QChar quote = t.at(p);
        ++p;
        QString value;
        while (p < t.size() && t.at(p) != quote) {
            if (t.at(p) == QLatin1Char('<'))
                return false;
            if (t.at(p) == QLatin1Char('&')) {
                const QString decoded = decodeEntity(t, p);
                if (decoded.isNull())
                    return false;
                value += decoded;
            } else
                value += t.at(p++);
        }
        if (p >= t.size() || tag->attributes.contains(attr))
            return false;
        ++p;
        tag->attributes.insert(attr, value);
    }
}

// A step from an attribute, absolute or added to the current one, clamped to
// -10..10. The sum is taken in 64 bits: any two 32-bit values fit.
int toStep(const QString &value, int current, bool relative, bool *ok)
{
    const int n = value.trimmed().toInt(ok);
    if (!*ok)
        return current;
    const qint64 step = relative ? qint64(current) + n : qint64(n);
    return int(std::clamp<qint64>(step, -10, 10));
}

} // namespace

bool SapiXmlParser::parse(const QString &markup, QList<Run> *runs)
{
    runs->clear();
    QList<Run> out;
    QList<QPair<QString, Run>> stack; // open element name and the settings before it
    Run state;
    Run current = state; // text being gathered
    current.kind = Run::Text;

    // The end offset of the gathered text is tracked separately so that a
    // decoded entity at the end still ends at the entity's end.
    int gatheredEnd = 0;
    int i = 0;
    const int n = markup.size();
    while (i < n) {
        const QChar c = markup.at(i);
        if (c == QLatin1Char('<')) {
            if (markup.mid(i, 4) == QLatin1String("<!--")) {
                const int end = markup.indexOf(QLatin1String("-->"), i + 4);
                if (end < 0)
                    return false;
                i = end + 3;
                continue;
            }
            if (markup.mid(i, 2) == QLatin1String("<?")) {
                const int end = markup.indexOf(QLatin1String("?>"), i + 2);
                if (end < 0)
                    return false;
                i = end + 2;
                continue;
            }
            const int tagStart = i;
            Tag tag;
            if (!parseTag(markup, i, &tag))
                return false;
            if (tag.closing) {
                if (stack.isEmpty() || stack.last().first != tag.name)
                    return false;
                if (!current.text.isEmpty()) {
                    current.offsets.append(gatheredEnd);
                    out.append(current);
                }
                state = stack.takeLast().second;
                current = state;
                current.text.clear();
                current.offsets.clear();
                continue;
            }
            // Settings change at this tag: close the text gathered so far.
            if (!current.text.isEmpty()) {
                current.offsets.append(gatheredEnd);
                out.append(current);
            }
            const Run before = state;
            bool ok = true;
            const QMap<QString, QString> &a = tag.attributes;
            if (tag.name == QLatin1String("silence")) {
                Run silence = state;
                silence.kind = Run::Silence;
                silence.source = tagStart;
                silence.silenceMs
                    = std::clamp(a.value(QStringLiteral("msec")).toInt(&ok), 0, MaxSilenceMs);
                if (!ok)
                    return false;
                out.append(silence);
            } else if (tag.name == QLatin1String("bookmark")) {
                Run mark = state;
                mark.kind = Run::Bookmark;
                mark.source = tagStart;
                mark.text = a.value(QStringLiteral("mark"));
                out.append(mark);
            } else if (tag.name == QLatin1String("rate")) {
                if (a.contains(QStringLiteral("absspeed"))) {
                    state.rate = toStep(a.value(QStringLiteral("absspeed")), 0, false, &ok);
                    state.rateAbsolute = true;
                }
                if (ok && a.contains(QStringLiteral("speed")))
                    state.rate = toStep(a.value(QStringLiteral("speed")), state.rate, true, &ok);
            } else if (tag.name == QLatin1String("pitch")) {
                if (a.contains(QStringLiteral("absmiddle"))) {
                    state.pitch = toStep(a.value(QStringLiteral("absmiddle")), 0, false, &ok);
                    state.pitchAbsolute = true;
                }
                if (ok && a.contains(QStringLiteral("middle")))
                    state.pitch = toStep(a.value(QStringLiteral("middle")), state.pitch, true, &ok);
            } else if (tag.name == QLatin1String("volume")) {
                if (a.contains(QStringLiteral("level")))
                    state.volume
                        = std::clamp(a.value(QStringLiteral("level")).trimmed().toInt(&ok), 0, 100);
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
            if (!ok)
                return false;
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
            continue;
        }
        const int from = i;
        if (current.text.isEmpty())
            current.source = from;
        if (c == QLatin1Char('&')) {
            const QString decoded = decodeEntity(markup, i);
            if (decoded.isNull())
                return false;
            // Every unit of a decoded entity sits at the entity's start.
            for (int k = 0; k < decoded.size(); ++k)
                current.offsets.append(from);
            current.text += decoded;
        } else {
            current.offsets.append(from);
            current.text += c;
            ++i;
        }
        gatheredEnd = i;
    }
    if (!stack.isEmpty())
        return false;
    if (!current.text.isEmpty()) {
        current.offsets.append(gatheredEnd);
        out.append(current);
    }
    *runs = out;
    return true;
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
