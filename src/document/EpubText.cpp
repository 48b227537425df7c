#include "document/EpubText.h"

#include "document/HtmlText.h"
#include "document/TextBuilder.h"
#include "document/XmlPart.h"
#include "document/ZipArchive.h"

#include <QHash>
#include <QSet>
#include <QStringList>
#include <QUrl>
#include <QXmlStreamReader>

using Document::Limits;
using Document::Result;
using Document::Status;

namespace
{

const QString ContainerName = QStringLiteral("META-INF/container.xml");

struct Item {
    QString href;
    QString mediaType;
    QStringList properties;
};

// What the package file says: its manifest, the linear part of its spine,
// where its tables of contents and cover are, and the book's metadata.
struct Package {
    QString name;
    QHash<QString, Item> manifest;
    QStringList itemOrder; // manifest ids as listed
    QStringList spine; // ids of the items read in order
    QString spineToc; // the NCX's id (EPUB 2)
    QString coverMeta; // <meta name="cover" content="..."> (EPUB 2)
    QString title;
    QString creator;

    QString partOf(const Item &item) const
    {
        return XmlPart::resolve(XmlPart::folderOf(name), item.href);
    }
    const Item *item(const QString &id) const
    {
        const auto found = manifest.constFind(id);
        return found == manifest.cend() ? nullptr : &*found;
    }
    // The first item listed that passes the test; nullptr when none does.
    template<typename Test> const Item *first(Test test) const
    {
        for (const QString &id : itemOrder)
            if (const Item *found = item(id); found && test(*found))
                return found;
        return nullptr;
    }
    const Item *withProperty(QStringView property) const
    {
        return first([property](const Item &i) { return i.properties.contains(property); });
    }
};

struct PackageHandler {
    Package &package;
    XmlPart::FirstTexts metadata {{u"title", u"creator"}};

    void start(const QXmlStreamReader &r)
    {
        metadata.start(r);
        const QXmlStreamAttributes a = r.attributes();
        const QStringView name = r.name();
        if (name == u"item") {
            const QString id = XmlPart::attribute(a, u"id");
            if (!package.manifest.contains(id))
                package.itemOrder.append(id);
            package.manifest.insert(id,
                {XmlPart::attribute(a, u"href"), XmlPart::attribute(a, u"media-type"),
                    XmlPart::attribute(a, u"properties").split(u' ', Qt::SkipEmptyParts)});
        } else if (name == u"itemref" && XmlPart::attribute(a, u"linear") != u"no") {
            package.spine.append(XmlPart::attribute(a, u"idref"));
        } else if (name == u"spine") {
            package.spineToc = XmlPart::attribute(a, u"toc");
        } else if (name == u"meta" && XmlPart::attribute(a, u"name") == u"cover") {
            package.coverMeta = XmlPart::attribute(a, u"content");
        }
    }
    void end(const QXmlStreamReader &r) { metadata.end(r); }
    void characters(const QXmlStreamReader &r) { metadata.characters(r); }
};

// XHTML that uses HTML's named entities without declaring them, as many
// books' navigation documents do, still parses.
class HtmlEntities : public QXmlStreamEntityResolver
{
public:
    QString resolveUndeclaredEntity(const QString &name) override
    {
        return HtmlText::namedEntity(name);
    }
};

// One entry of a table of contents, its href as written.
struct TocEntry {
    QString title;
    int level = 1;
    QString href;
};

// The links of an EPUB 3 navigation document's <nav epub:type="toc">: the
// depth of the list holding each is its level.
struct NavHandler {
    qsizetype maxEntries = 0;
    QList<TocEntry> entries;
    int navDepth = 0; // elements open inside the nav, itself included
    bool done = false;
    int listDepth = 0;
    bool inLink = false;

    void start(const QXmlStreamReader &r)
    {
        const QStringView name = r.name();
        if (navDepth == 0) {
            if (!done && name == u"nav"
                && XmlPart::attribute(r.attributes(), u"type")
                       .split(u' ', Qt::SkipEmptyParts)
                       .contains(u"toc"))
                navDepth = 1;
            return;
        }
        ++navDepth;
        if (name == u"ol") {
            ++listDepth;
        } else if (name == u"a" && !inLink && entries.size() < maxEntries) {
            inLink = true;
            entries.append({{}, qMax(1, listDepth), XmlPart::attribute(r.attributes(), u"href")});
        }
    }
    void end(const QXmlStreamReader &r)
    {
        if (navDepth == 0)
            return;
        if (r.name() == u"a")
            inLink = false;
        else if (r.name() == u"ol")
            --listDepth;
        if (--navDepth == 0)
            done = true; // only the first table of contents
    }
    void characters(const QXmlStreamReader &r)
    {
        if (inLink)
            entries.back().title += r.text();
    }
};

// The navPoints of an EPUB 2 NCX: nesting is the level, the first
// navLabel's text the title, content@src the href.
struct NcxHandler {
    qsizetype maxEntries = 0;
    QList<TocEntry> entries;
    // Entries of the navPoints open, innermost last; -1 for one past the
    // most kept.
    QList<qsizetype> open;
    bool inLabel = false;
    bool inLabelText = false;

    void start(const QXmlStreamReader &r)
    {
        const QStringView name = r.name();
        if (name == u"navPoint") {
            const bool kept = entries.size() < maxEntries;
            if (kept)
                entries.append({{}, int(open.size()) + 1, {}});
            open.append(kept ? entries.size() - 1 : -1);
        } else if (open.isEmpty() || open.back() < 0) {
            return;
        } else if (name == u"navLabel") {
            inLabel = entries[open.back()].title.isEmpty();
        } else if (name == u"text") {
            inLabelText = inLabel;
        } else if (name == u"content" && entries[open.back()].href.isEmpty()) {
            entries[open.back()].href = XmlPart::attribute(r.attributes(), u"src");
        }
    }
    void end(const QXmlStreamReader &r)
    {
        const QStringView name = r.name();
        if (name == u"navPoint" && !open.isEmpty())
            open.removeLast();
        else if (name == u"navLabel")
            inLabel = false;
        else if (name == u"text")
            inLabelText = false;
    }
    void characters(const QXmlStreamReader &r)
    {
        if (inLabelText && !open.isEmpty() && open.back() >= 0)
            entries[open.back()].title += r.text();
    }
};

// The entries of a table of contents part, hrefs resolved against its
// folder later. Empty when the part is missing or broken: the next source
// of chapters is tried then.
template<typename Handler>
QList<TocEntry> tocOf(ZipArchive &zip, const QString &part, const Limits &limits)
{
    QByteArray xml;
    if (part.isEmpty() || !zip.contains(part) || !XmlPart::read(zip, part, &xml).ok())
        return {};
    Handler handler;
    handler.maxEntries = limits.maxChapters + 1;
    HtmlEntities entities;
    if (!XmlPart::walk(xml, part, limits, handler, &entities).ok())
        return {};
    QList<TocEntry> entries;
    for (TocEntry &e : handler.entries) {
        e.title = Document::chapterTitle(e.title);
        if (!e.href.isEmpty() && !e.title.isEmpty())
            entries.append(std::move(e));
    }
    return entries;
}

// The table of contents and the part it lives in: the navigation document,
// else the NCX the spine names, else any NCX in the manifest.
QList<TocEntry> tableOfContents(
    ZipArchive &zip, const Package &package, const Limits &limits, QString *tocPart)
{
    if (const Item *nav = package.withProperty(u"nav")) {
        *tocPart = package.partOf(*nav);
        if (QList<TocEntry> entries = tocOf<NavHandler>(zip, *tocPart, limits); !entries.isEmpty())
            return entries;
    }
    const Item *ncx = package.item(package.spineToc);
    if (!ncx)
        ncx = package.first(
            [](const Item &i) { return i.mediaType == u"application/x-dtbncx+xml"; });
    if (!ncx)
        return {};
    *tocPart = package.partOf(*ncx);
    return tocOf<NcxHandler>(zip, *tocPart, limits);
}

// A table of contents entry, by the member it names.
struct Target {
    qsizetype entry;
    QString fragment;
};

void readCover(ZipArchive &zip, const Package &package, Document::Book &book)
{
    const Item *cover = package.withProperty(u"cover-image");
    if (!cover && !package.coverMeta.isEmpty()) {
        cover = package.item(package.coverMeta);
        // Some books name the image's file instead of its id.
        if (!cover)
            cover
                = package.first([&package](const Item &i) { return i.href == package.coverMeta; });
    }
    if (!cover)
        return;
    QByteArray bytes;
    if (const Result r = XmlPart::read(zip, package.partOf(*cover), &bytes); !r.ok()) {
        book.warnings.append(QStringLiteral("cover %1 cannot be read").arg(cover->href));
        return;
    }
    book.cover = std::move(bytes);
    book.coverMimeType = cover->mediaType;
}

Result readPackage(ZipArchive &zip, const Limits &limits, Package &package)
{
    QByteArray container;
    if (Result r = XmlPart::read(zip, ContainerName, &container); !r.ok())
        return r;
    XmlPart::AttributeCollector rootfiles {u"rootfile", [&](const QXmlStreamAttributes &a) {
                                               if (package.name.isEmpty())
                                                   package.name = XmlPart::resolve(
                                                       {}, XmlPart::attribute(a, u"full-path"));
                                           }};
    if (Result r = XmlPart::walk(container, ContainerName, limits, rootfiles); !r.ok())
        return r;
    if (package.name.isEmpty())
        return Result::failure(
            Status::Damaged, QStringLiteral("%1 names no package file").arg(ContainerName));

    QByteArray xml;
    if (Result r = XmlPart::read(zip, package.name, &xml); !r.ok())
        return r;
    PackageHandler handler {package};
    if (Result r = XmlPart::walk(xml, package.name, limits, handler); !r.ok())
        return r;
    package.title = handler.metadata.text(0);
    package.creator = handler.metadata.text(1);
    return Result::success({});
}

} // namespace

namespace EpubText
{

Result fromZip(ZipArchive &zip, const Limits &limits)
{
    Package package;
    if (Result r = readPackage(zip, limits, package); !r.ok())
        return r;

    QString tocPart;
    const QList<TocEntry> toc = tableOfContents(zip, package, limits, &tocPart);
    // Entries by the member they name, so each file places its own as it
    // is read.
    QHash<QString, QList<Target>> targets;
    QStringList entryParts;
    for (qsizetype i = 0; i < toc.size(); ++i) {
        entryParts.append(XmlPart::resolve(XmlPart::folderOf(tocPart), toc[i].href));
        targets[entryParts.back()].append({i, XmlPart::fragmentOf(toc[i].href)});
    }
    QList<qsizetype> entryMarks(toc.size(), -1); // into the positions, once placed

    struct SpineFile {
        qsizetype mark; // of its start, into the positions
        QString title; // of its first heading, else its <title>
        bool empty;
    };
    QList<SpineFile> files;
    QSet<QString> tried; // spine members, read or not
    QList<qsizetype> positions;
    TextBuilder out;
    for (const QString &id : std::as_const(package.spine)) {
        const auto item = package.manifest.constFind(id);
        if (item == package.manifest.cend())
            continue;
        if (!item->mediaType.isEmpty() && !item->mediaType.contains(u"html"))
            continue;
        const QString part = package.partOf(*item);
        tried.insert(part);
        QByteArray bytes;
        if (Result r = XmlPart::read(zip, part, &bytes); !r.ok()) {
            if (r.status == Status::TooLarge)
                return r;
            continue; // a missing chapter leaves the others readable
        }
        const Result markup = HtmlText::decodeMarkup(bytes);
        if (!markup.ok())
            continue;
        // Only the first heading titles a file, and only the anchors the
        // table of contents names are looked for.
        QSet<QString> anchorIds;
        const auto named = targets.find(part);
        if (named != targets.end())
            for (const Target &t : std::as_const(*named))
                if (!t.fragment.isEmpty())
                    anchorIds.insert(t.fragment);
        const HtmlText::Page page = HtmlText::parse(markup.text, 1, &anchorIds);
        out.endBlock();
        const qsizetype start = out.position();
        positions.append(start);
        files.append({positions.size() - 1,
            page.headings.isEmpty() ? page.title : page.headings.front().title,
            page.text.isEmpty()});
        // A file listed twice in the spine: its entries start at its first.
        if (named != targets.end()) {
            for (const Target &t : std::as_const(*named)) {
                if (entryMarks[t.entry] >= 0)
                    continue;
                // An anchor the file lacks starts the entry at the file's start.
                positions.append(start + page.anchors.value(t.fragment, 0));
                entryMarks[t.entry] = positions.size() - 1;
            }
        }
        out.addText(page.text);
    }
    if (files.isEmpty() && !package.spine.isEmpty())
        return Result::failure(
            Status::Damaged, QStringLiteral("no chapter of the book could be read"));

    Result result = Result::success(out.take(&positions));
    Document::Book &book = result.book;
    book.title = package.title;
    book.author = package.creator;
    QSet<QString> warned;
    for (qsizetype i = 0; i < toc.size(); ++i) {
        if (entryMarks[i] >= 0) {
            book.chapters.append({toc[i].title, positions[entryMarks[i]], toc[i].level});
            continue;
        }
        const QString &part = entryParts[i];
        if (warned.contains(part))
            continue;
        warned.insert(part);
        const QString why = !zip.contains(part) ? QStringLiteral("is missing")
            : tried.contains(part)              ? QStringLiteral("cannot be read")
                                                : QStringLiteral("is not in the reading order");
        const QString written = QUrl::fromPercentEncoding(toc[i].href.section(u'#', 0, 0).toUtf8());
        book.warnings.append(QStringLiteral("table of contents: %1 %2").arg(written, why));
    }
    if (book.chapters.isEmpty()) {
        // Without a usable table of contents, each file with text is a
        // chapter; an empty one (an image page) would share the next one's
        // place.
        for (const SpineFile &f : std::as_const(files)) {
            if (f.empty)
                continue;
            book.chapters.append(
                {f.title.isEmpty() ? QStringLiteral("Chapter %1").arg(book.chapters.size() + 1)
                                   : f.title,
                    positions[f.mark], 1});
        }
    }
    readCover(zip, package, book);
    return result;
}

} // namespace EpubText
