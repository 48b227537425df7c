#include "document/PackageText.h"

#include "document/HtmlText.h"
#include "document/TextBuilder.h"
#include "document/ZipArchive.h"

#include <QDir>
#include <QHash>
#include <QStringList>
#include <QUrl>
#include <QXmlStreamReader>

#include <functional>

using Document::Limits;
using Document::Result;
using Document::Status;

namespace
{

// Streams through an XML part and hands each element start, end and run of
// characters to the handler, refusing nesting deeper than the limit.
// QXmlStreamReader neither loads external entities nor expands internal ones
// past its own limit, so the part's size bounds the work.
template<typename Handler>
Result walkXml(
    const QByteArray &xml, const QString &partName, const Limits &limits, Handler &handler)
{
    QXmlStreamReader reader(xml);
    int depth = 0;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement:
            if (++depth > limits.maxDepth)
                return Result::failure(Status::TooLarge,
                    QStringLiteral("%1: elements nest deeper than %2")
                        .arg(partName)
                        .arg(limits.maxDepth));
            handler.start(reader);
            break;
        case QXmlStreamReader::EndElement:
            --depth;
            handler.end(reader);
            break;
        case QXmlStreamReader::Characters:
            handler.characters(reader);
            break;
        default:
            break;
        }
    }
    if (reader.hasError())
        return Result::failure(Status::Damaged,
            QStringLiteral("%1, line %2: %3")
                .arg(partName)
                .arg(reader.lineNumber())
                .arg(reader.errorString()));
    return Result::success({});
}

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

// WordprocessingML: text sits in w:t of runs (w:r) of paragraphs (w:p).
// Deleted text (w:delText) and field codes (w:instrText) are not text runs;
// the fallback branch of alternate content repeats the chosen one.
struct DocxHandler {
    TextBuilder out;
    SkipCounter skip;
    QStringList parents;
    bool inText = false;

    void start(const QXmlStreamReader &r)
    {
        const QStringView name = r.name();
        skip.start(name == u"Fallback");
        const QString parent = parents.isEmpty() ? QString() : parents.back();
        parents.append(name.toString());
        if (skip.active())
            return;
        inText = name == u"t";
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
        if (!skip.active() && r.name() == u"p")
            out.lineBreak();
        skip.end();
    }
    void characters(const QXmlStreamReader &r)
    {
        if (inText && !skip.active())
            out.addText(r.text());
    }
};

constexpr int MaxSpaceRun = 16;

// OpenDocument: paragraphs and headings (text:p, text:h) with white space
// collapsed as the format prescribes; text:s, text:tab and text:line-break
// are the spacing that survives. Notes, comments and the record of tracked
// changes are not part of the running text.
struct OdfHandler {
    TextBuilder out;
    SkipCounter skip;
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
        } else if (name == u"s") {
            const int count = r.attributes().value(QLatin1String("text:c")).toInt();
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
            out.lineBreak();
        }
    }
    void characters(const QXmlStreamReader &r)
    {
        if (paragraphDepth > 0 && !skip.active())
            out.addFlowing(r.text());
    }
};

// Collects one attribute of the elements with a given name.
struct AttributeCollector {
    QStringView element;
    std::function<void(const QXmlStreamAttributes &)> take;

    void start(const QXmlStreamReader &r)
    {
        if (r.name() == element)
            take(r.attributes());
    }
    void end(const QXmlStreamReader &) { }
    void characters(const QXmlStreamReader &) { }
};

Result readPart(ZipArchive &zip, const QString &name, QByteArray *bytes)
{
    QString error;
    const Status status = zip.read(name, bytes, &error);
    return status == Status::Ok ? Result::success({}) : Result::failure(status, error);
}

// A part name relative to another part's folder, from an href (URL-encoded,
// maybe with a fragment).
QString resolvePart(const QString &baseFolder, const QString &href)
{
    QString path = QUrl::fromPercentEncoding(href.section(u'#', 0, 0).toUtf8());
    if (path.startsWith(u'/'))
        return QDir::cleanPath(path.mid(1));
    return QDir::cleanPath(baseFolder.isEmpty() ? path : baseFolder + u'/' + path);
}

template<typename Handler>
Result textOfPart(ZipArchive &zip, const QString &name, const Limits &limits)
{
    QByteArray xml;
    if (Result r = readPart(zip, name, &xml); !r.ok())
        return r;
    Handler handler;
    if (Result r = walkXml(xml, name, limits, handler); !r.ok())
        return r;
    return Result::success(handler.out.take());
}

Result docxText(ZipArchive &zip, const Limits &limits)
{
    QString mainPart = QStringLiteral("word/document.xml");
    if (zip.contains(QStringLiteral("_rels/.rels"))) {
        QByteArray rels;
        if (Result r = readPart(zip, QStringLiteral("_rels/.rels"), &rels); !r.ok())
            return r;
        AttributeCollector relations {
            u"Relationship", [&](const QXmlStreamAttributes &a) {
                if (a.value(QLatin1String("Type")).endsWith(u"/officeDocument"))
                    mainPart = resolvePart({}, a.value(QLatin1String("Target")).toString());
            }};
        if (Result r = walkXml(rels, QStringLiteral("_rels/.rels"), limits, relations); !r.ok())
            return r;
    }
    return textOfPart<DocxHandler>(zip, mainPart, limits);
}

Result epubText(ZipArchive &zip, const Limits &limits)
{
    const QString containerName = QStringLiteral("META-INF/container.xml");
    QByteArray container;
    if (Result r = readPart(zip, containerName, &container); !r.ok())
        return r;
    QString packageName;
    AttributeCollector rootfiles {u"rootfile", [&](const QXmlStreamAttributes &a) {
                                      if (packageName.isEmpty())
                                          packageName = resolvePart(
                                              {}, a.value(QLatin1String("full-path")).toString());
                                  }};
    if (Result r = walkXml(container, containerName, limits, rootfiles); !r.ok())
        return r;
    if (packageName.isEmpty())
        return Result::failure(
            Status::Damaged, QStringLiteral("%1 names no package file").arg(containerName));

    QByteArray package;
    if (Result r = readPart(zip, packageName, &package); !r.ok())
        return r;
    struct Item {
        QString href;
        QString mediaType;
    };
    QHash<QString, Item> manifest;
    QStringList spine;
    struct PackageHandler {
        QHash<QString, Item> &manifest;
        QStringList &spine;
        void start(const QXmlStreamReader &r)
        {
            const QXmlStreamAttributes a = r.attributes();
            if (r.name() == u"item")
                manifest.insert(a.value(QLatin1String("id")).toString(),
                    {a.value(QLatin1String("href")).toString(),
                        a.value(QLatin1String("media-type")).toString()});
            else if (r.name() == u"itemref" && a.value(QLatin1String("linear")) != u"no")
                spine.append(a.value(QLatin1String("idref")).toString());
        }
        void end(const QXmlStreamReader &) { }
        void characters(const QXmlStreamReader &) { }
    } handler {manifest, spine};
    if (Result r = walkXml(package, packageName, limits, handler); !r.ok())
        return r;

    const QString folder
        = packageName.contains(u'/') ? packageName.section(u'/', 0, -2) : QString();
    TextBuilder out;
    int chapters = 0;
    for (const QString &id : std::as_const(spine)) {
        const auto item = manifest.constFind(id);
        if (item == manifest.cend())
            continue;
        if (!item->mediaType.isEmpty() && !item->mediaType.contains(u"html"))
            continue;
        QByteArray chapter;
        if (Result r = readPart(zip, resolvePart(folder, item->href), &chapter); !r.ok()) {
            if (r.status == Status::TooLarge)
                return r;
            continue; // a missing chapter leaves the others readable
        }
        const Result text = HtmlText::fromBytes(chapter);
        if (!text.ok())
            continue;
        out.endBlock();
        out.addText(text.text);
        ++chapters;
    }
    if (chapters == 0 && !spine.isEmpty())
        return Result::failure(
            Status::Damaged, QStringLiteral("no chapter of the book could be read"));
    return Result::success(out.take());
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
        return epubText(zip, limits);
    if (zip.contains(QStringLiteral("content.xml")))
        return textOfPart<OdfHandler>(zip, QStringLiteral("content.xml"), limits);
    if (zip.contains(QStringLiteral("word/document.xml"))
        || zip.contains(QStringLiteral("_rels/.rels")))
        return docxText(zip, limits);
    return Result::failure(
        Status::Unsupported, QStringLiteral("an archive that holds no document"));
}

} // namespace PackageText
