#include "document/PackageText.h"

#include "document/EpubText.h"
#include "document/TextBuilder.h"
#include "document/XmlPart.h"
#include "document/ZipArchive.h"

#include <QHash>
#include <QStringList>
#include <QXmlStreamReader>

#include <functional>

using Document::Limits;
using Document::Result;
using Document::Status;

namespace
{

// Elements whose content is left out while inside them, counted so nesting
// of the same element is handled.
class SkipCounter
{
public:
    bool active() const { return m_depth > 0; }
    void start(bool skipped)
    {
        if (m_depth > 0 || skipped)
            ++m_depth;
    }
    void end()
    {
        if (m_depth > 0)
            --m_depth;
    }

private:
    int m_depth = 0;
};

// The headings of a text being built: each paragraph's start is marked when
// it opens, and a heading's end when it closes, so the title is the text
// between them once the builder has laid the text out.
class HeadingMarks
{
public:
    // Headings kept at most; later ones are text only.
    qsizetype maxHeadings = 0;

    // A paragraph (maybe inside another, as in a text box) opens at the
    // builder's position; level 0 for body text.
    void open(const TextBuilder &out, int level) { m_open.append({level, mark(out)}); }
    void setLevel(int level)
    {
        if (!m_open.isEmpty())
            m_open.back().level = level;
    }
    // The innermost paragraph closes; it counts only when `keep`.
    void close(const TextBuilder &out, bool keep)
    {
        if (m_open.isEmpty())
            return;
        const Open p = m_open.takeLast();
        if (keep && p.level > 0 && m_headings.size() < maxHeadings)
            m_headings.append({p.level, p.start, mark(out)});
        else if (p.start == m_positions.size() - 1)
            m_positions.removeLast(); // so a million paragraphs cost no memory here
    }

    // The builder's text, and its headings with text as chapters.
    Result take(TextBuilder &out)
    {
        Result result = Result::success(out.take(&m_positions));
        const QStringView text = result.text;
        for (const Heading &h : std::as_const(m_headings)) {
            const qsizetype start = m_positions[h.start];
            QString title = Document::chapterTitle(text.sliced(start, m_positions[h.end] - start));
            if (!title.isEmpty())
                result.book.chapters.append({std::move(title), start, h.level});
        }
        return result;
    }

private:
    struct Open {
        int level;
        qsizetype start; // into m_positions
    };
    struct Heading {
        int level;
        qsizetype start;
        qsizetype end;
    };
    qsizetype mark(const TextBuilder &out)
    {
        m_positions.append(out.position());
        return m_positions.size() - 1;
    }

    QList<qsizetype> m_positions;
    QList<Open> m_open;
    QList<Heading> m_headings;
};

// WordprocessingML: text sits in w:t of runs (w:r) of paragraphs (w:p).
// Deleted text (w:delText) and field codes (w:instrText) are not text runs;
// the fallback branch of alternate content repeats the chosen one. A
// paragraph's style (w:pPr/w:pStyle) makes it a heading.
struct DocxHandler {
    std::function<int(const QString &styleId)> headingLevel;
    TextBuilder out;
    SkipCounter skip;
    HeadingMarks headings;
    QStringList parents;
    bool inText = false;

    void start(const QXmlStreamReader &r)
    {
        const QStringView name = r.name();
        skip.start(name == u"Fallback");
        const QString parent = parents.isEmpty() ? QString() : parents.back();
        const bool inParagraphProperties
            = parent == u"pPr" && parents.size() >= 2 && parents[parents.size() - 2] == u"p";
        parents.append(name.toString());
        if (name == u"p")
            headings.open(out, 0);
        if (skip.active())
            return;
        inText = name == u"t";
        if (name == u"pStyle" && inParagraphProperties)
            headings.setLevel(headingLevel(XmlPart::attribute(r.attributes(), u"val")));
        if (parent != u"r")
            return;
        if (name == u"tab")
            out.addChar(u'\t');
        else if (name == u"br" || name == u"cr")
            out.lineBreak();
        else if (name == u"noBreakHyphen")
            out.addChar(u'-');
    }
    void end(const QXmlStreamReader &r)
    {
        if (!parents.isEmpty())
            parents.removeLast();
        inText = false;
        if (r.name() == u"p") {
            headings.close(out, !skip.active());
            if (!skip.active())
                out.lineBreak();
        }
        skip.end();
    }
    void characters(const QXmlStreamReader &r)
    {
        if (inText && !skip.active())
            out.addText(r.text());
    }
};

// The heading level of each paragraph style in a styles part, by its id: 1
// or 2 for the built-in "heading 1" and "heading 2" (whatever the id, which
// Word translates), 0 for any other style.
struct DocxStyles {
    QHash<QString, int> levels;
    QString current;

    void start(const QXmlStreamReader &r)
    {
        if (r.name() == u"style") {
            current = XmlPart::attribute(r.attributes(), u"styleId");
            levels.insert(current, 0);
        } else if (r.name() == u"name" && !current.isEmpty()) {
            const QString name = XmlPart::attribute(r.attributes(), u"val");
            if (name.compare(u"heading 1", Qt::CaseInsensitive) == 0)
                levels.insert(current, 1);
            else if (name.compare(u"heading 2", Qt::CaseInsensitive) == 0)
                levels.insert(current, 2);
        }
    }
    void end(const QXmlStreamReader &r)
    {
        if (r.name() == u"style")
            current.clear();
    }
    void characters(const QXmlStreamReader &) { }
};

constexpr int MaxSpaceRun = 16;

// OpenDocument: paragraphs and headings (text:p, text:h) with white space
// collapsed as the format prescribes; text:s, text:tab and text:line-break
// are the spacing that survives. Notes, comments and the record of tracked
// changes are not part of the running text. A text:h of outline level 1 or
// 2 (1 when it gives none) is a chapter or a section.
struct OdfHandler {
    TextBuilder out;
    SkipCounter skip;
    HeadingMarks headings;
    int paragraphDepth = 0;

    void start(const QXmlStreamReader &r)
    {
        const QStringView name = r.name();
        skip.start(name == u"note" || name == u"annotation" || name == u"tracked-changes");
        if (skip.active())
            return;
        if (name == u"p" || name == u"h") {
            if (paragraphDepth > 0)
                out.endBlock(); // a frame's paragraph inside a paragraph
            ++paragraphDepth;
            int level = 0;
            if (name == u"h") {
                const QString outline = XmlPart::attribute(r.attributes(), u"outline-level");
                level = outline.isEmpty() ? 1 : outline.toInt();
                if (level > 2)
                    level = 0;
            }
            headings.open(out, level);
        } else if (name == u"s") {
            const int count = XmlPart::attribute(r.attributes(), u"c").toInt();
            // Capped so a small file cannot expand into gigabytes of spaces.
            out.addText(QString(qBound(1, count, MaxSpaceRun), u' '));
        } else if (name == u"tab") {
            out.addChar(u'\t');
        } else if (name == u"line-break") {
            out.lineBreak();
        }
    }
    void end(const QXmlStreamReader &r)
    {
        const bool skipped = skip.active();
        skip.end();
        if (skipped)
            return;
        if ((r.name() == u"p" || r.name() == u"h") && paragraphDepth > 0) {
            --paragraphDepth;
            headings.close(out, true);
            out.lineBreak();
        }
    }
    void characters(const QXmlStreamReader &r)
    {
        if (paragraphDepth > 0 && !skip.active())
            out.addFlowing(r.text());
    }
};

template<typename Handler>
Result textOfPart(ZipArchive &zip, const QString &name, const Limits &limits, Handler &handler)
{
    QByteArray xml;
    if (Result r = XmlPart::read(zip, name, &xml); !r.ok())
        return r;
    if (Result r = XmlPart::walk(xml, name, limits, handler); !r.ok())
        return r;
    return handler.headings.take(handler.out);
}

// The first title and the first of the creator names present in a metadata
// part. What cannot be read leaves the book as it was: the text matters more.
void readMetadata(ZipArchive &zip, const QString &name, const Limits &limits,
    QList<QStringView> creatorNames, Document::Book &book)
{
    QByteArray xml;
    if (!zip.contains(name) || !XmlPart::read(zip, name, &xml).ok())
        return;
    QList<QStringView> names {u"title"};
    names += creatorNames;
    XmlPart::FirstTexts texts(names);
    if (!XmlPart::walk(xml, name, limits, texts).ok())
        return;
    book.title = texts.text(0);
    for (qsizetype i = 1; i < names.size() && book.author.isEmpty(); ++i)
        book.author = texts.text(i);
}

// The members a package's relationships part links with types ending in
// each of `typeEnds`, resolved against `folder`; empty for a type not found.
Result relationTargets(ZipArchive &zip, const QString &relsName, const QString &folder,
    const Limits &limits, const QList<QStringView> &typeEnds, QStringList *targets)
{
    *targets = QStringList(typeEnds.size());
    if (!zip.contains(relsName))
        return Result::success({});
    QByteArray rels;
    if (Result r = XmlPart::read(zip, relsName, &rels); !r.ok())
        return r;
    XmlPart::AttributeCollector relations {
        u"Relationship", [&](const QXmlStreamAttributes &a) {
            const QString type = XmlPart::attribute(a, u"Type");
            for (qsizetype i = 0; i < typeEnds.size(); ++i)
                if (type.endsWith(typeEnds[i]) && (*targets)[i].isEmpty())
                    (*targets)[i] = XmlPart::resolve(folder, XmlPart::attribute(a, u"Target"));
        }};
    return XmlPart::walk(rels, relsName, limits, relations);
}

Result docxText(ZipArchive &zip, const Limits &limits)
{
    QStringList parts;
    if (Result r = relationTargets(zip, QStringLiteral("_rels/.rels"), {}, limits,
            {u"/officeDocument", u"/core-properties"}, &parts);
        !r.ok())
        return r;
    const QString mainPart = parts[0].isEmpty() ? QStringLiteral("word/document.xml") : parts[0];
    const QString corePart = parts[1].isEmpty() ? QStringLiteral("docProps/core.xml") : parts[1];

    // The styles part, through the main part's own relationships. Styles
    // only name the headings: a broken styles part leaves the text readable.
    const QString folder = XmlPart::folderOf(mainPart);
    const QString prefix = folder.isEmpty() ? QString() : folder + u'/';
    QStringList styleParts;
    const Result linked = relationTargets(zip,
        prefix + QStringLiteral("_rels/") + mainPart.section(u'/', -1) + QStringLiteral(".rels"),
        folder, limits, {u"/styles"}, &styleParts);
    const QString stylesPart = linked.ok() && !styleParts[0].isEmpty()
        ? styleParts[0]
        : prefix + QStringLiteral("styles.xml");
    DocxStyles styles;
    QByteArray stylesXml;
    if (zip.contains(stylesPart) && XmlPart::read(zip, stylesPart, &stylesXml).ok()
        && !XmlPart::walk(stylesXml, stylesPart, limits, styles).ok())
        styles.levels.clear();

    DocxHandler handler;
    handler.headings.maxHeadings = limits.maxChapters + 1;
    handler.headingLevel = [&styles](const QString &id) {
        if (const auto known = styles.levels.constFind(id); known != styles.levels.cend())
            return *known;
        // Without a styles part, the ids Word gives the two headings in
        // English and in the languages whose ids it numbers.
        if (id == u"Heading1" || id == u"1")
            return 1;
        if (id == u"Heading2" || id == u"2")
            return 2;
        return 0;
    };
    Result result = textOfPart(zip, mainPart, limits, handler);
    if (result.ok())
        readMetadata(zip, corePart, limits, {u"creator"}, result.book);
    return result;
}

Result odfText(ZipArchive &zip, const Limits &limits)
{
    OdfHandler handler;
    handler.headings.maxHeadings = limits.maxChapters + 1;
    Result result = textOfPart(zip, QStringLiteral("content.xml"), limits, handler);
    if (result.ok())
        readMetadata(
            zip, QStringLiteral("meta.xml"), limits, {u"initial-creator", u"creator"}, result.book);
    return result;
}

} // namespace

namespace PackageText
{

Result fromBytes(const QByteArray &bytes, const Limits &limits)
{
    ZipArchive zip(limits);
    QString error;
    if (!zip.open(bytes, &error))
        return Result::failure(Status::Damaged, error);
    if (zip.contains(QStringLiteral("META-INF/container.xml")))
        return EpubText::fromZip(zip, limits);
    if (zip.contains(QStringLiteral("content.xml")))
        return odfText(zip, limits);
    if (zip.contains(QStringLiteral("word/document.xml"))
        || zip.contains(QStringLiteral("_rels/.rels")))
        return docxText(zip, limits);
    return Result::failure(
        Status::Unsupported, QStringLiteral("an archive that holds no document"));
}

} // namespace PackageText
