// Renders the user guide from its HTML source into a PDF, at build time:
//   userguide <source.html> <output.pdf> <version>
// Pictures named in the source are read relative to the source's folder;
// "@VERSION@" in the source becomes the version. The text is set in a
// Traditional Chinese face, and every page gets its number at the foot.
// Exits non-zero, saying why, when the source cannot be read, a picture is
// missing, no Chinese face is installed or the PDF cannot be written.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHash>
#include <QImage>
#include <QPageLayout>
#include <QPdfWriter>
#include <QRawFont>
#include <QRegularExpression>
#include <QTextDocument>
#include <QUrl>
#include <cstdio>

namespace
{
constexpr int Resolution = 300; // dots per inch of the PDF's layout
constexpr qreal BodyPointSize = 10.5;

int fail(const QString &why)
{
    std::fprintf(stderr, "userguide: %s\n", qPrintable(why));
    return 1;
}

// Qt's PDF writer names each glyph's character in the ToUnicode maps by the
// lowest code point the face maps to that glyph. CJK faces share glyphs
// between the ideographs and the look-alike radicals (U+2E80 to U+2FDF), so
// text copied from the guide, searched in it or read aloud by a screen reader
// would come out as radicals ("⽂" for "文"). The maps are plain text of
// fixed-width hex codes, so each radical is replaced in place by the
// ideograph the face draws with the same glyph; no length or offset in the
// file changes.
QByteArray ideographsForRadicals(QByteArray pdf, const QString &face)
{
    const QRawFont raw = QRawFont::fromFont(QFont(face));
    QString ideographs;
    for (char16_t c = 0x3400; c <= 0x9FFF; ++c)
        ideographs += QChar(c);
    const QList<quint32> glyphs = raw.glyphIndexesForString(ideographs);
    QHash<quint32, QChar> ideographOf;
    for (qsizetype i = 0; i < glyphs.size(); ++i)
        if (glyphs[i] && !ideographOf.contains(glyphs[i]))
            ideographOf.insert(glyphs[i], ideographs.at(i));

    static const QRegularExpression toUnicode(QStringLiteral("/ToUnicode (\\d+) 0 R"));
    static const QRegularExpression hex(QStringLiteral("<(2[EF][0-9A-F]{2})>"));
    const QString text = QString::fromLatin1(pdf);
    for (auto ref = toUnicode.globalMatch(text); ref.hasNext();) {
        const QString header
            = QLatin1Char('\n') + ref.next().captured(1) + QStringLiteral(" 0 obj");
        const qsizetype object = text.indexOf(header);
        const qsizetype begin = object < 0 ? -1 : text.indexOf(QStringLiteral("stream"), object);
        const qsizetype end = begin < 0 ? -1 : text.indexOf(QStringLiteral("endstream"), begin);
        if (end < 0)
            continue;
        for (auto code = hex.globalMatch(text.mid(begin, end - begin)); code.hasNext();) {
            const QRegularExpressionMatch m = code.next();
            const QString radical(QChar(char16_t(m.captured(1).toUShort(nullptr, 16))));
            const QList<quint32> glyph = raw.glyphIndexesForString(radical);
            const QChar ideograph = glyph.isEmpty() ? QChar() : ideographOf.value(glyph.first());
            if (ideograph.isNull())
                continue;
            const QByteArray replacement
                = QByteArray::number(ideograph.unicode(), 16).toUpper().rightJustified(4, '0');
            pdf.replace(begin + m.capturedStart(1), 4, replacement);
        }
    }
    return pdf;
}

// The first installed face of the preferred Traditional Chinese ones.
QString chineseFace()
{
    const QStringList installed = QFontDatabase::families();
    for (const char *face : {"Noto Sans CJK TC", "Noto Sans TC", "Source Han Sans TW",
             "AR PL UMing TW", "WenQuanYi Zen Hei"}) {
        if (installed.contains(QLatin1String(face)))
            return QLatin1String(face);
    }
    return QString();
}
} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    const QStringList args = QGuiApplication::arguments();
    if (args.size() != 4)
        return fail(QStringLiteral("usage: userguide <source.html> <output.pdf> <version>"));
    const QString source = args.at(1), output = args.at(2), version = args.at(3);

    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("cannot read %1").arg(source));
    QString html = QString::fromUtf8(in.readAll());
    html.replace(QStringLiteral("@VERSION@"), version);

    const QString face = chineseFace();
    if (face.isEmpty())
        return fail(QStringLiteral("no Traditional Chinese face is installed (fonts-noto-cjk)"));

    // Pictures are handed to the document by name, read from the source's
    // folder whatever the working folder is.
    QTextDocument doc;
    const QDir folder = QFileInfo(source).absoluteDir();
    static const QRegularExpression picture(QStringLiteral("<img[^>]*src=\"([^\"]+)\""));
    for (auto it = picture.globalMatch(html); it.hasNext();) {
        const QString name = it.next().captured(1);
        const QImage image(folder.filePath(name));
        if (image.isNull())
            return fail(QStringLiteral("cannot read picture %1").arg(folder.filePath(name)));
        doc.addResource(QTextDocument::ImageResource, QUrl(name), image);
    }
    QFont body(face);
    body.setPointSizeF(BodyPointSize);
    doc.setDefaultFont(body);
    doc.setHtml(html);

    QDir().mkpath(QFileInfo(output).absolutePath());
    {
        QPdfWriter pdf(output);
        pdf.setResolution(Resolution);
        pdf.setTitle(QStringLiteral("Parlo 使用手冊"));
        pdf.setCreator(QStringLiteral("Parlo %1").arg(version));
        // The document keeps 2 cm margins of its own, with the page number in
        // the foot margin; the page itself gets none.
        pdf.setPageLayout(QPageLayout(
            QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(), QPageLayout::Millimeter));
        doc.print(&pdf);
    }

    QFile written(output);
    if (!written.open(QIODevice::ReadWrite) || !written.size())
        return fail(QStringLiteral("cannot write %1").arg(output));
    const QByteArray fixed = ideographsForRadicals(written.readAll(), face);
    if (!written.seek(0) || written.write(fixed) != fixed.size())
        return fail(QStringLiteral("cannot write %1").arg(output));
    return 0;
}
