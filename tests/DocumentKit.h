// Documents made byte by byte for the document reader's and parlo-render's
// tests: ZIP archives through libzip, Word packages and EPUB books.
#pragma once

#include "TestFiles.h"

#include <QTemporaryDir>

#include <zip.h>

namespace DocumentKit
{

using Members = QList<std::pair<QString, QByteArray>>;

// A ZIP archive of the members, in their order.
inline QByteArray zipOf(const Members &members)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("made.zip"));
    zip_t *z = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, nullptr);
    for (const auto &[name, data] : members) {
        zip_source_t *s
            = z ? zip_source_buffer(z, data.constData(), zip_uint64_t(data.size()), 0) : nullptr;
        if (!s || zip_file_add(z, name.toUtf8().constData(), s, ZIP_FL_OVERWRITE) < 0)
            qFatal("cannot add %s to a ZIP archive", qPrintable(name));
    }
    if (!z || zip_close(z) != 0)
        qFatal("cannot write a ZIP archive");
    return TestFiles::readAll(path);
}

// A Word paragraph in a style.
inline QByteArray docxParagraph(const QByteArray &style, const QByteArray &text)
{
    return "<w:p><w:pPr><w:pStyle w:val=\"" + style + "\"/></w:pPr><w:r><w:t>" + text
        + "</w:t></w:r></w:p>";
}

// A Word package whose main part, found through its relationships, has `body`.
inline Members docxMembers(const QByteArray &body)
{
    return {{QStringLiteral("[Content_Types].xml"), "<Types/>"},
        {QStringLiteral("_rels/.rels"),
            "<Relationships><Relationship Id=\"r1\" Type=\"http://schemas.openxmlformats.org/"
            "officeDocument/2006/relationships/officeDocument\" Target=\"word/main.xml\"/>"
            "</Relationships>"},
        {QStringLiteral("word/main.xml"),
            "<?xml version=\"1.0\"?><w:document xmlns:w=\"http://schemas.openxmlformats.org/"
            "wordprocessingml/2006/main\" xmlns:mc=\"http://schemas.openxmlformats.org/"
            "markup-compatibility/2006\"><w:body>"
                + body + "</w:body></w:document>"}};
}

// A chapter file of a book.
inline QByteArray xhtml(const QByteArray &title, const QByteArray &body)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?><html xmlns=\"http://www.w3.org/1999/xhtml\" "
           "xmlns:epub=\"http://www.idpf.org/2007/ops\"><head><title>"
        + title + "</title></head><body>" + body + "</body></html>";
}

inline QByteArray manifestItem(const QByteArray &id, const QByteArray &href,
    const QByteArray &type = "application/xhtml+xml", const QByteArray &extra = {})
{
    return "<item id=\"" + id + "\" href=\"" + href + "\" media-type=\"" + type + "\" " + extra
        + "/>";
}

// A book whose package file OEBPS/content.opf is `package`; the other
// members are named from OEBPS/.
inline Members epubMembers(const QByteArray &package, const Members &files)
{
    Members members {{QStringLiteral("mimetype"), "application/epub+zip"},
        {QStringLiteral("META-INF/container.xml"),
            "<container><rootfiles><rootfile full-path=\"OEBPS/content.opf\" "
            "media-type=\"application/oebps-package+xml\"/></rootfiles></container>"},
        {QStringLiteral("OEBPS/content.opf"), package}};
    for (const auto &[name, bytes] : files)
        members.append({QStringLiteral("OEBPS/") + name, bytes});
    return members;
}

// A book whose package file holds these parts.
inline Members epubMembers(const QByteArray &metadata, const QByteArray &manifest,
    const QByteArray &spine, const Members &files)
{
    return epubMembers("<package xmlns=\"http://www.idpf.org/2007/opf\" version=\"3.0\"><metadata "
                       "xmlns:dc=\"http://purl.org/dc/elements/1.1/\">"
            + metadata + "</metadata><manifest>" + manifest + "</manifest>" + spine + "</package>",
        files);
}

} // namespace DocumentKit
