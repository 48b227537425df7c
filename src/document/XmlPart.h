#pragma once
// Reading the XML members of a ZIP-packaged document (DOCX, ODT, EPUB): a
// streaming walk bounded by Document::Limits, the member names their links
// resolve to, and the small collectors several formats share.

#include "document/DocumentResult.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <QXmlStreamReader>

#include <functional>
#include <utility>

class ZipArchive;

namespace XmlPart
{

// Streams through an XML part and hands each element start, end and run of
// characters to the handler, refusing nesting deeper than the limit.
// QXmlStreamReader neither loads external entities nor expands internal ones
// past its own limit, so the part's size bounds the work. The resolver, when
// given, supplies entities the part uses without declaring them.
template<typename Handler>
Document::Result walk(const QByteArray &xml, const QString &partName,
    const Document::Limits &limits, Handler &handler, QXmlStreamEntityResolver *resolver = nullptr)
{
    using Document::Result;
    using Document::Status;
    QXmlStreamReader reader(xml);
    if (resolver)
        reader.setEntityResolver(resolver);
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

// The member's bytes into *bytes; a failure says why.
Document::Result read(ZipArchive &zip, const QString &name, QByteArray *bytes);

// The member name an href (percent-encoded, maybe with a #fragment) names,
// relative to the folder of the part that holds it ("" for the top).
QString resolve(const QString &baseFolder, const QString &href);

// The fragment of an href, percent-decoded; empty when it has none.
QString fragmentOf(const QString &href);

// The folder a member sits in, "" for the top.
QString folderOf(const QString &partName);

// An attribute by its local name, whatever prefix the file gives its
// namespace; empty when the element has none.
QString attribute(const QXmlStreamAttributes &attributes, QStringView localName);

// Collects the attributes of the elements with a given local name.
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

// The text of the first element with each of some local names (a document's
// title and creator), white space collapsed; an empty one leaves the name to
// the next element so called.
class FirstTexts
{
public:
    explicit FirstTexts(QList<QStringView> names)
        : m_names(std::move(names))
        , m_texts(m_names.size())
    {
    }
    QString text(qsizetype nameIndex) const { return m_texts.value(nameIndex); }

    void start(const QXmlStreamReader &r)
    {
        if (m_current >= 0)
            return; // an element inside the one collected
        m_current = m_names.indexOf(r.name());
        if (m_current >= 0 && !m_texts[m_current].isEmpty())
            m_current = -1;
    }
    void end(const QXmlStreamReader &r)
    {
        if (m_current >= 0 && r.name() == m_names[m_current]) {
            m_texts[m_current] = m_texts[m_current].simplified();
            m_current = -1;
        }
    }
    void characters(const QXmlStreamReader &r)
    {
        if (m_current >= 0)
            m_texts[m_current] += r.text();
    }

private:
    QList<QStringView> m_names;
    QStringList m_texts;
    qsizetype m_current = -1;
};

} // namespace XmlPart
