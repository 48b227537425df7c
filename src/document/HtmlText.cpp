#include "document/HtmlText.h"

#include "document/TextBuilder.h"
#include "document/TextDecoding.h"

#include <QRegularExpression>

#include <array>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

namespace
{

// Names of U+00A0 to U+00FF in code-point order.
constexpr std::array<std::string_view, 96> Latin1Names = {"nbsp", "iexcl", "cent", "pound",
    "curren", "yen", "brvbar", "sect", "uml", "copy", "ordf", "laquo", "not", "shy", "reg", "macr",
    "deg", "plusmn", "sup2", "sup3", "acute", "micro", "para", "middot", "cedil", "sup1", "ordm",
    "raquo", "frac14", "frac12", "frac34", "iquest", "Agrave", "Aacute", "Acirc", "Atilde", "Auml",
    "Aring", "AElig", "Ccedil", "Egrave", "Eacute", "Ecirc", "Euml", "Igrave", "Iacute", "Icirc",
    "Iuml", "ETH", "Ntilde", "Ograve", "Oacute", "Ocirc", "Otilde", "Ouml", "times", "Oslash",
    "Ugrave", "Uacute", "Ucirc", "Uuml", "Yacute", "THORN", "szlig", "agrave", "aacute", "acirc",
    "atilde", "auml", "aring", "aelig", "ccedil", "egrave", "eacute", "ecirc", "euml", "igrave",
    "iacute", "icirc", "iuml", "eth", "ntilde", "ograve", "oacute", "ocirc", "otilde", "ouml",
    "divide", "oslash", "ugrave", "uacute", "ucirc", "uuml", "yacute", "thorn", "yuml"};

struct NamedEntity {
    std::string_view name;
    char32_t code;
};

constexpr NamedEntity OtherNames[] = {
    {"amp", U'&'},
    {"lt", U'<'},
    {"gt", U'>'},
    {"quot", U'"'},
    {"apos", U'\''},
    {"ensp", U'\u2002'},
    {"emsp", U'\u2003'},
    {"thinsp", U'\u2009'},
    {"zwnj", U'\u200C'},
    {"zwj", U'\u200D'},
    {"lrm", U'\u200E'},
    {"rlm", U'\u200F'},
    {"ndash", U'\u2013'},
    {"mdash", U'\u2014'},
    {"lsquo", U'\u2018'},
    {"rsquo", U'\u2019'},
    {"sbquo", U'\u201A'},
    {"ldquo", U'\u201C'},
    {"rdquo", U'\u201D'},
    {"bdquo", U'\u201E'},
    {"dagger", U'\u2020'},
    {"Dagger", U'\u2021'},
    {"bull", U'\u2022'},
    {"hellip", U'\u2026'},
    {"permil", U'\u2030'},
    {"prime", U'\u2032'},
    {"Prime", U'\u2033'},
    {"euro", U'\u20AC'},
    {"trade", U'\u2122'},
    {"larr", U'\u2190'},
    {"uarr", U'\u2191'},
    {"rarr", U'\u2192'},
    {"darr", U'\u2193'},
    {"harr", U'\u2194'},
    {"minus", U'\u2212'},
    {"hearts", U'\u2665'},
    {"OElig", U'\u0152'},
    {"oelig", U'\u0153'},
    {"Scaron", U'\u0160'},
    {"scaron", U'\u0161'},
    {"Yuml", U'\u0178'},
    {"fnof", U'\u0192'},
    {"circ", U'\u02C6'},
    {"tilde", U'\u02DC'},
};

// Entities browsers accept without the closing semicolon.
bool mayOmitSemicolon(std::string_view name)
{
    return name == "amp" || name == "lt" || name == "gt" || name == "quot" || name == "nbsp";
}

char32_t lookupEntity(std::string_view name)
{
    for (size_t i = 0; i < Latin1Names.size(); ++i)
        if (Latin1Names[i] == name)
            return char32_t(0xA0 + i);
    for (const NamedEntity &e : OtherNames)
        if (e.name == name)
            return e.code;
    return 0;
}

void appendCodePoint(QString &out, char32_t code)
{
    if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        code = 0xFFFD;
    const char32_t one[1] = {code};
    out += QString::fromUcs4(one, 1);
}

bool isAsciiAlnum(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9');
}

int digitValue(QChar c, bool hex)
{
    if (c >= u'0' && c <= u'9')
        return c.unicode() - u'0';
    if (hex && c >= u'a' && c <= u'f')
        return c.unicode() - u'a' + 10;
    if (hex && c >= u'A' && c <= u'F')
        return c.unicode() - u'A' + 10;
    return -1;
}

bool isAsciiLetter(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

// Decodes one character reference starting at text[i] == '&'. Returns the
// number of characters consumed, 0 when this '&' starts no reference.
qsizetype decodeReference(QStringView text, qsizetype i, QString &out)
{
    qsizetype j = i + 1;
    if (j < text.size() && text[j] == u'#') {
        ++j;
        const bool hex = j < text.size() && (text[j] == u'x' || text[j] == u'X');
        if (hex)
            ++j;
        const qsizetype digitsBegin = j;
        char32_t code = 0;
        for (int d; j < text.size() && (d = digitValue(text[j], hex)) >= 0; ++j) {
            if (code <= 0x10FFFF) // past that it stays invalid; stop growing
                code = code * (hex ? 16 : 10) + char32_t(d);
        }
        if (j == digitsBegin)
            return 0;
        if (j < text.size() && text[j] == u';')
            ++j;
        appendCodePoint(out, code);
        return j - i;
    }
    while (j < text.size() && j - i <= 32 && isAsciiAlnum(text[j]))
        ++j;
    const std::string name = text.sliced(i + 1, j - i - 1).toLatin1().toStdString();
    const char32_t code = lookupEntity(name);
    if (code == 0)
        return 0;
    const bool semicolon = j < text.size() && text[j] == u';';
    if (!semicolon && !mayOmitSemicolon(name))
        return 0;
    appendCodePoint(out, code);
    return j - i + (semicolon ? 1 : 0);
}

QString decodeEntities(QStringView text)
{
    if (!text.contains(u'&'))
        return text.toString();
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        if (text[i] == u'&') {
            if (const qsizetype used = decodeReference(text, i, out)) {
                i += used;
                continue;
            }
        }
        out += text[i++];
    }
    return out;
}

enum class Kind { Other, Block, Break, Cell, Pre, Head, RawText };

bool isOneOf(QStringView name, std::initializer_list<std::u16string_view> names)
{
    for (const std::u16string_view n : names)
        if (name == QStringView(n.data(), qsizetype(n.size())))
            return true;
    return false;
}

Kind kindOf(QStringView name)
{
    if (name == u"br")
        return Kind::Break;
    if (name == u"td" || name == u"th")
        return Kind::Cell;
    if (isOneOf(name, {u"pre", u"listing", u"plaintext"}))
        return Kind::Pre;
    if (name == u"head")
        return Kind::Head;
    if (isOneOf(name,
            {u"script", u"style", u"template", u"noscript", u"title", u"textarea", u"xmp",
                u"iframe", u"noembed", u"noframes", u"object"}))
        return Kind::RawText;
    if (isOneOf(name,
            {u"p", u"div", u"li", u"ul", u"ol", u"dl", u"dt", u"dd", u"h1", u"h2", u"h3", u"h4",
                u"h5", u"h6", u"tr", u"table", u"caption", u"blockquote", u"hr", u"section",
                u"article", u"header", u"footer", u"nav", u"aside", u"main", u"figure",
                u"figcaption", u"address", u"form", u"fieldset", u"legend", u"details", u"summary",
                u"center", u"body", u"option"}))
        return Kind::Block;
    return Kind::Other;
}

// The elements a page's head holds; any other starts the body.
bool belongsInHead(QStringView name)
{
    return isOneOf(name,
        {u"head", u"title", u"meta", u"link", u"base", u"basefont", u"bgsound", u"style", u"script",
            u"noscript", u"noframes", u"template"});
}

qsizetype findFrom(QStringView text, qsizetype from, QStringView what)
{
    const qsizetype at = text.indexOf(what, from, Qt::CaseInsensitive);
    return at < 0 ? text.size() : at;
}

// End of a tag starting at '<': past the '>' that is not inside quotes.
qsizetype tagEnd(QStringView html, qsizetype i, bool *selfClosing)
{
    QChar quote;
    for (qsizetype j = i + 1; j < html.size(); ++j) {
        const QChar c = html[j];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == u'"' || c == u'\'') {
            quote = c;
        } else if (c == u'>') {
            *selfClosing = html[j - 1] == u'/';
            return j + 1;
        }
    }
    *selfClosing = false;
    return html.size();
}

QByteArray declaredCharset(const QByteArray &bytes)
{
    static const QRegularExpression meta(
        QStringLiteral(
            R"((?:<meta[^>]*charset\s*=\s*["']?|<\?xml[^>]*encoding\s*=\s*["'])([A-Za-z0-9_.:-]+))"),
        QRegularExpression::CaseInsensitiveOption);
    const QString head = QString::fromLatin1(bytes.left(4096));
    const QRegularExpressionMatch m = meta.match(head);
    return m.hasMatch() ? m.captured(1).toLatin1() : QByteArray();
}

// The value of one attribute in the text of a start tag after its name,
// entities decoded; nullopt when the tag does not have it.
std::optional<QString> attributeValue(QStringView attrs, QStringView wanted)
{
    const qsizetype n = attrs.size();
    qsizetype i = 0;
    while (i < n) {
        while (i < n && (attrs[i].isSpace() || attrs[i] == u'/'))
            ++i;
        const qsizetype nameBegin = i;
        while (i < n && !attrs[i].isSpace() && attrs[i] != u'=' && attrs[i] != u'>'
            && attrs[i] != u'/')
            ++i;
        const QStringView name = attrs.sliced(nameBegin, i - nameBegin);
        while (i < n && attrs[i].isSpace())
            ++i;
        QStringView value;
        if (i < n && attrs[i] == u'=') {
            ++i;
            while (i < n && attrs[i].isSpace())
                ++i;
            if (i < n && (attrs[i] == u'"' || attrs[i] == u'\'')) {
                const QChar quote = attrs[i++];
                qsizetype end = attrs.indexOf(quote, i);
                if (end < 0)
                    end = n;
                value = attrs.sliced(i, end - i);
                i = qMin(end + 1, n);
            } else {
                const qsizetype valueBegin = i;
                while (i < n && !attrs[i].isSpace() && attrs[i] != u'>')
                    ++i;
                value = attrs.sliced(valueBegin, i - valueBegin);
            }
        } else if (name.isEmpty()) {
            ++i; // a stray '>' or '='
            continue;
        }
        if (name.compare(wanted, Qt::CaseInsensitive) == 0)
            return decodeEntities(value);
    }
    return std::nullopt;
}

int headingLevel(QStringView name)
{
    return name == u"h1" ? 1 : name == u"h2" ? 2 : 0;
}

} // namespace

namespace HtmlText
{

Page parse(QStringView html, qsizetype maxHeadings, const QSet<QString> *anchorIds)
{
    Page page;
    TextBuilder out;
    // Places in the text as it is built, moved by take() to the final text.
    QList<qsizetype> positions;
    auto mark = [&] {
        positions.append(out.position());
        return positions.size() - 1;
    };
    struct Heading {
        int level;
        qsizetype start; // into positions
        qsizetype end = -1;
    };
    QList<Heading> headings;
    bool headingOpen = false;
    QList<std::pair<QString, qsizetype>> anchors; // id, index into positions

    bool inHead = false;
    int preDepth = 0;
    auto addRun = [&](QStringView run) {
        // Text in the head ends it, as browsers do when </head> and <body>
        // are left out; white space between head elements does not.
        if (inHead && !run.trimmed().isEmpty())
            inHead = false;
        if (inHead || run.isEmpty())
            return;
        const QString decoded = decodeEntities(run);
        if (preDepth == 0) {
            out.addFlowing(decoded);
            return;
        }
        const QList<QStringView> lines = QStringView(decoded).split(u'\n');
        for (qsizetype n = 0; n < lines.size(); ++n) {
            if (n > 0)
                out.lineBreak();
            out.addText(lines[n].endsWith(u'\r') ? lines[n].chopped(1) : lines[n]);
        }
    };

    qsizetype i = 0;
    while (i < html.size()) {
        const qsizetype lt = html.indexOf(u'<', i);
        if (lt < 0) {
            addRun(html.sliced(i));
            break;
        }
        addRun(html.sliced(i, lt - i));
        i = lt;
        const QStringView rest = html.sliced(i);
        if (rest.startsWith(u"<!--")) {
            const qsizetype end = html.indexOf(u"-->", i + 4);
            i = end < 0 ? html.size() : end + 3;
            continue;
        }
        if (rest.startsWith(u"<![CDATA[")) {
            const qsizetype end = findFrom(html, i + 9, u"]]>");
            addRun(html.sliced(i + 9, end - i - 9));
            i = qMin(end + 3, html.size());
            continue;
        }
        const bool closing = rest.size() > 1 && rest[1] == u'/';
        const qsizetype nameBegin = i + (closing ? 2 : 1);
        if (rest.startsWith(u"<!") || rest.startsWith(u"<?")) {
            const qsizetype end = html.indexOf(u'>', i);
            i = end < 0 ? html.size() : end + 1;
            continue;
        }
        if (nameBegin >= html.size() || !isAsciiLetter(html[nameBegin])) {
            addRun(u"<");
            ++i;
            continue;
        }
        qsizetype nameEnd = nameBegin;
        while (nameEnd < html.size()
            && (isAsciiAlnum(html[nameEnd]) || html[nameEnd] == u'-' || html[nameEnd] == u':'))
            ++nameEnd;
        QString name = html.sliced(nameBegin, nameEnd - nameBegin).toString().toLower();
        if (const qsizetype colon = name.lastIndexOf(u':'); colon >= 0)
            name.remove(0, colon + 1); // xhtml:p and the like
        bool selfClosing = false;
        i = tagEnd(html, i, &selfClosing);
        const qsizetype tagClose = i;

        // Any heading's tag ends the heading open, so a stray or mismatched
        // one cannot make the rest of the page its title.
        if (headingOpen && name.size() == 2 && name[0] == u'h' && name[1] >= u'1'
            && name[1] <= u'6') {
            headings.back().end = mark();
            headingOpen = false;
        }

        // An element that cannot be in the head ends it.
        if (inHead && !closing && !belongsInHead(name))
            inHead = false;
        switch (kindOf(name)) {
        case Kind::Head:
            inHead = !closing;
            break;
        case Kind::RawText:
            if (!closing && !selfClosing) {
                const QString endTag = QStringLiteral("</") + name;
                i = findFrom(html, i, endTag);
                if (name == u"title" && page.title.isEmpty())
                    page.title = decodeEntities(html.sliced(tagClose, i - tagClose)).simplified();
                const qsizetype gt = html.indexOf(u'>', i);
                i = gt < 0 ? html.size() : gt + 1;
            }
            break;
        case Kind::Break:
            if (!closing && !inHead)
                out.lineBreak();
            break;
        case Kind::Cell:
            if (!closing)
                out.addFlowing(u" ");
            break;
        case Kind::Pre:
            out.endBlock();
            if (!selfClosing)
                preDepth = qMax(0, preDepth + (closing ? -1 : 1));
            break;
        case Kind::Block:
            if (name == u"body")
                inHead = false;
            out.endBlock();
            break;
        case Kind::Other:
            break;
        }
        if (closing)
            continue;

        const QStringView attrs = html.sliced(nameEnd, tagClose - nameEnd);
        if (const int level = headingLevel(name);
            level > 0 && !selfClosing && headings.size() < maxHeadings) {
            headings.append({level, mark()});
            headingOpen = true;
        }
        std::optional<QString> id = attributeValue(attrs, u"id");
        if (!id && name == u"a")
            id = attributeValue(attrs, u"name");
        if (id && !id->isEmpty() && (!anchorIds || anchorIds->contains(*id)))
            anchors.append({*id, mark()});
        if (name == u"meta" && page.author.isEmpty()
            && attributeValue(attrs, u"name")
                    .value_or(QString())
                    .compare(u"author", Qt::CaseInsensitive)
                == 0)
            page.author = attributeValue(attrs, u"content").value_or(QString()).simplified();
    }
    if (headingOpen)
        headings.back().end = mark();

    page.text = out.take(&positions);
    for (const Heading &h : std::as_const(headings)) {
        const qsizetype start = positions[h.start];
        QString title = Document::chapterTitle(
            QStringView(page.text).sliced(start, positions[h.end] - start));
        if (!title.isEmpty())
            page.headings.append({std::move(title), start, h.level});
    }
    page.anchors.reserve(anchors.size());
    for (const auto &[id, at] : std::as_const(anchors))
        if (!page.anchors.contains(id)) // a repeated id: the first counts, as in a browser
            page.anchors.insert(id, positions[at]);
    return page;
}

QString fromMarkup(QStringView html)
{
    const QSet<QString> noAnchors;
    return parse(html, 0, &noAnchors).text;
}

Document::Result decodeMarkup(const QByteArray &bytes)
{
    return TextDecoding::decodeText(bytes, declaredCharset(bytes));
}

Document::Result fromBytes(const QByteArray &bytes, const Document::Limits &limits)
{
    const Document::Result decoded = decodeMarkup(bytes);
    if (!decoded.ok())
        return decoded;
    const QSet<QString> noAnchors;
    Page page = parse(decoded.text, limits.maxChapters + 1, &noAnchors);
    Document::Result result = Document::Result::success(std::move(page.text));
    result.book.title = std::move(page.title);
    result.book.author = std::move(page.author);
    result.book.chapters = std::move(page.headings);
    return result;
}

QString namedEntity(QStringView name)
{
    if (name.size() > 32)
        return {};
    const char32_t code = lookupEntity(name.toLatin1().toStdString());
    QString out;
    if (code != 0)
        appendCodePoint(out, code);
    return out;
}

bool looksLikeHtml(const QByteArray &bytes)
{
    QByteArray head = bytes.left(1024);
    if (head.startsWith("\xEF\xBB\xBF"))
        head.remove(0, 3);
    head = head.trimmed().toLower();
    if (head.startsWith("<?xml"))
        return head.contains("<html") || head.contains("xhtml");
    return head.startsWith("<!doctype html") || head.startsWith("<html");
}

} // namespace HtmlText
