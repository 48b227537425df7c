// The document reader against files made here at run time: text in several
// encodings, web pages, RTF, packaged formats built with libzip, a PDF drawn
// with QPdfWriter, and hostile files that must fail fast.

#include "DocumentKit.h"
#include "document/DocumentReader.h"
#include "document/IsolatedRun.h"

#include <QPainter>
#include <QPdfWriter>
#include <QtTest>

#include <csignal>
#include <iconv.h>
#include <unistd.h>
#include <vector>

using Document::Status;
using namespace DocumentKit;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(Document::Status)
Q_DECLARE_METATYPE(IsolatedRun::Outcome)

namespace
{

// The text in an iconv encoding, or empty when it does not convert.
QByteArray encode(const QString &text, const char *charset)
{
    const QByteArray utf8 = text.toUtf8();
    const iconv_t cd = iconv_open(charset, "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return {};
    QByteArray out(utf8.size() * 4 + 16, '\0');
    char *in = const_cast<char *>(utf8.constData());
    size_t inLeft = size_t(utf8.size());
    char *o = out.data();
    size_t oLeft = size_t(out.size());
    const size_t r = iconv(cd, &in, &inLeft, &o, &oLeft);
    iconv_close(cd);
    if (r == size_t(-1))
        return {};
    out.truncate(out.size() - qsizetype(oLeft));
    return out;
}

QString crlf(QString text)
{
    return text.replace(u"\n"_s, u"\r\n"_s);
}

const QString ChineseText
    = QStringLiteral("這是一個測試文件，用來檢查繁體中文的編碼是否能夠正確地轉換。\n"
                     "我們希望語音朗讀器可以讀出每一個字，並且不會遺漏任何標點符號。");
const QString SimplifiedText
    = QStringLiteral("这是一个测试文件，用来检查简体中文的编码是否能够正确地转换。\n"
                     "我们希望语音朗读器可以读出每一个字，并且不会遗漏任何标点符号。");

// A book's chapters against rows written "level title", or "level title @
// text" where the text at the chapter's offset is not its title (an anchor
// inside a file). Every chapter also lies inside the text, after the one
// before it.
void compareChapters(
    const QString &text, const QList<Document::Chapter> &chapters, const QStringList &expected)
{
    QStringList got;
    for (const Document::Chapter &c : chapters)
        got << QString::number(c.level) + u' ' + c.title;
    QStringList want;
    for (const QString &e : expected)
        want << e.section(u" @ "_s, 0, 0);
    QCOMPARE(got, want);
    qsizetype previous = -1;
    for (qsizetype i = 0; i < chapters.size(); ++i) {
        const Document::Chapter &c = chapters[i];
        QVERIFY2(c.offset > previous && c.offset < text.size(), qPrintable(c.title));
        previous = c.offset;
        const QString start
            = expected[i].contains(u" @ "_s) ? expected[i].section(u" @ "_s, 1) : c.title;
        QVERIFY2(text.mid(c.offset).startsWith(start),
            qPrintable(u"%1 at %2: %3"_s.arg(c.title).arg(c.offset).arg(text.mid(c.offset, 20))));
    }
}

const QByteArray OdfNamespaces
    = "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
      "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" "
      "xmlns:meta=\"urn:oasis:names:tc:opendocument:xmlns:meta:1.0\" "
      "xmlns:dc=\"http://purl.org/dc/elements/1.1/\"";
const QByteArray Png("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16);
const QByteArray Jpeg("\xFF\xD8\xFF\xE0\0\x10JFIF\0", 11);
const QByteArray OdtType = "application/vnd.oasis.opendocument.text";

} // namespace

class TestDocumentReader : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    DocumentReader m_reader;

    QString write(const QString &name, const QByteArray &bytes)
    {
        TestFiles::writeAll(m_dir.filePath(name), bytes);
        return m_dir.filePath(name);
    }

    // Reads a file through the handle the program uses.
    Status open(const QString &path) { return m_reader.OpenFile(0, path); }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QCOMPARE(m_reader.AllocHdl(1), Status::Ok);
        QCOMPARE(m_reader.OpenWfxKey(0, u"test"_s), Status::Ok);
    }

    void plainText_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        const QString mixed = u"one\ntwo\r\nthree\rfour"_s;
        const QString mixedOut = u"one\r\ntwo\r\nthree\r\nfour"_s;
        QTest::newRow("utf-8, every line end") << mixed.toUtf8() << mixedOut;
        QTest::newRow("utf-8 Chinese") << ChineseText.toUtf8() << crlf(ChineseText);
        QTest::newRow("utf-8 with BOM")
            << "\xEF\xBB\xBF" + ChineseText.toUtf8() << crlf(ChineseText);
        QTest::newRow("utf-16le with BOM")
            << encode(u"\uFEFF"_s + ChineseText, "UTF-16LE") << crlf(ChineseText);
        QTest::newRow("utf-16be with BOM")
            << encode(u"\uFEFF"_s + ChineseText, "UTF-16BE") << crlf(ChineseText);
        // Without a byte-order mark UTF-16 is told by its NUL bytes, all on
        // one side; 一 (U+4E00) puts one on the other side.
        const QString mixedUtf16 = u"一二三 Chapter 1\n第一章，開始。\nThe end.\n"_s;
        QTest::newRow("utf-16le without BOM") << encode(mixedUtf16, "UTF-16LE") << crlf(mixedUtf16);
        QTest::newRow("utf-16be without BOM") << encode(mixedUtf16, "UTF-16BE") << crlf(mixedUtf16);
        // One line end in sixteen units is enough (no character here has a NUL byte).
        const QString sparse = u"我們今天去公園散步看花和小鳥。\n"_s.repeated(4);
        QTest::newRow("utf-16le without BOM, a NUL in sixteen units")
            << encode(sparse, "UTF-16LE") << crlf(sparse);
        const QString english = u"Plain English, in UTF-16.\r\n"_s;
        QTest::newRow("utf-16le without BOM, English") << encode(english, "UTF-16LE") << english;
        QTest::newRow("big5") << encode(ChineseText, "BIG5") << crlf(ChineseText);
        const QString hkscs = ChineseText + u"佢話嘅嘢"_s;
        QTest::newRow("big5-hkscs") << encode(hkscs, "BIG5-HKSCS") << crlf(hkscs);
        QTest::newRow("gb18030") << encode(SimplifiedText, "GB18030") << crlf(SimplifiedText);
        const QString latin = u"Café crème, déjà vu — à la française: “naïve” façade."_s;
        QTest::newRow("windows-1252") << encode(latin, "CP1252") << latin;
        // Terminal colour codes, as in fortune files, are taken out.
        QTest::newRow("utf-8 with terminal colours") << QByteArray("\x1b[1;31m"
            + u"紅色的字"_s.toUtf8() + "\x1b[0m\n\x1b[33m" + u"一般"_s.toUtf8() + "\x1b[m\n")
                                                     << u"紅色的字\r\n一般\r\n"_s;
        QTest::newRow("big5 with terminal colours")
            << QByteArray("\x1b[32m" + encode(ChineseText, "BIG5") + "\x1b[0m")
            << crlf(ChineseText);
        QTest::newRow("title, charset and cursor codes") << QByteArray(
            "\x1b]0;fortune\x07\x1b(Btext\x1b[2J\x1b"
            "7 end") << u"text end"_s;
    }

    void plainText()
    {
        QFETCH(QByteArray, bytes);
        QVERIFY(!bytes.isEmpty());
        QCOMPARE(open(write(u"plain.txt"_s, bytes)), Status::Ok);
        QTEST(m_reader.ReadBuf(0), "expected");
        QVERIFY(m_reader.errorString().isEmpty());
    }

    void formats_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        QTest::newRow("html")
            << u"page.html"_s
            << QByteArray("<html><head><title>Not read</title><style>p{}</style>"
                          "</head><body><h1>Title &amp; more</h1><p>One\n   two"
                          "<br>three&nbsp;&#x4E2D;&#25991;</p><script>x<1</script>"
                          "<ul><li>a &lt; b<li>&quot;c&quot;</ul><!-- gone -->"
                          "<table><tr><td>x<td>y</table></body></html>")
            << u"Title & more\r\nOne two\r\nthree\u00A0中文\r\na < b\r\n\"c\"\r\nx y"_s;
        // Browsers end a head left open at the first element or text that
        // cannot be in it.
        QTest::newRow("html, no </head> and no <body>")
            << u"open.html"_s
            << QByteArray(
                   "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>Not read</title>"
                   "<style>p{}</style><p>第一段。<p>第二段。</html>")
            << u"第一段。\r\n第二段。"_s;
        QTest::newRow("html, text right after the head's elements")
            << u"bare.html"_s
            << QByteArray("<html><head><link rel=\"icon\" href=\"x\">\n  <script>no()</script>\n"
                          "Hello <b>there</b>.")
            << u"Hello there."_s;
        QTest::newRow("html, a head closed late still hides its own text")
            << u"late.html"_s << "<html><head><title>Not read</title>\n</head><div>Shown</div>"_ba
            << u"Shown"_s;
        QTest::newRow("html, hexadecimal references in either case")
            << u"hex.html"_s << "<p>&#x4e2d;&#x6f22;&#X9AD8;&#X4E2D;</p>"_ba << u"中漢高中"_s;
        QTest::newRow("html, Latin-1 entities")
            << u"latin1.html"_s << "<p>&cent;&pound;&yen;&copy;&eacute;&yuml;</p>"_ba
            << u"¢£¥©éÿ"_s;
        // A declared charset the bytes do not fit gives way to the one they do.
        const auto declared = [](const QByteArray &charset, const QByteArray &text) {
            return "<html><head><meta charset=\"" + charset + "\"></head><body><p>" + text
                + "</p></body></html>";
        };
        const QByteArray big5 = encode(ChineseText, "BIG5");
        const QString oneLine = QString(ChineseText).replace(u'\n', u' ');
        QTest::newRow("html, declared big5") << u"page.htm"_s << declared("big5", big5) << oneLine;
        QTest::newRow("html, declared big5, bytes UTF-8")
            << u"utf8.html"_s << declared("big5", ChineseText.toUtf8()) << oneLine;
        QTest::newRow("html, declared UTF-8, bytes big5")
            << u"big5.html"_s << declared("utf-8", big5) << oneLine;
        // \u takes a signed 16-bit number: from U+8000 up it is negative.
        QTest::newRow("rtf, negative \\u")
            << u"signed.rtf"_s << "{\\rtf1\\ansi\\uc1\\u32767?\\u-32768?\\u-25896?\\u-3?}"_ba
            << u"\u7FFF\u8000\u9AD8\uFFFD"_s;
        QTest::newRow("rtf, a surrogate pair as two negative \\u")
            << u"pair.rtf"_s << "{\\rtf1\\ansi\\uc1\\u-10179?\\u-8704?}"_ba << u"\U0001F600"_s;
        QTest::newRow("rtf")
            << u"doc.rtf"_s
            << QByteArray("{\\rtf1\\ansi\\ansicpg950\\deff0{\\fonttbl{\\f0\\fnil Arial;}}"
                          "{\\colortbl;\\red0\\green0\\blue0;}{\\*\\generator Writer;}"
                          "{\\info{\\title Secret}}{\\stylesheet{\\s1 Heading;}}"
                          "\\pard\\plain First \\b bold\\b0  para\\par "
                          "\\uc1\\u20013?\\u25991?\\'a4\\'a4\\'a4\\'e5\\tab end\\par "
                          "{\\pict\\pngblip 89504e47}\\uc2\\u8364\\'80\\'80 \\{x\\}\\line z}")
            << u"First bold para\r\n中文中文\tend\r\n€ {x}\r\nz"_s;
        QTest::newRow("docx")
            << u"a.docx"_s
            << zipOf(docxMembers("<w:p><w:pPr><w:tabs><w:tab w:val=\"left\"/></w:tabs></w:pPr>"
                                 "<w:r><w:t>Hello </w:t></w:r><w:r><w:t>world</w:t><w:tab/>"
                                 "<w:t>中文</w:t></w:r><w:del><w:r><w:delText>gone</w:delText>"
                                 "</w:r></w:del></w:p><w:p/><w:p><w:r><w:t>line</w:t><w:br/>"
                                 "<w:instrText>PAGE</w:instrText><w:t>break</w:t></w:r>"
                                 "<mc:AlternateContent><mc:Choice><w:r><w:t>!</w:t></w:r>"
                                 "</mc:Choice><mc:Fallback><w:r><w:t>!</w:t></w:r></mc:Fallback>"
                                 "</mc:AlternateContent></w:p>"))
            << u"Hello world\t中文\r\n\r\nline\r\nbreak!"_s;

        const QByteArray odt = "<office:document-content " + OdfNamespaces
            + "><office:body><office:text><text:h>Heading</text:h><text:p>a<text:s text:c=\"3\"/>"
              "b\n  <text:span>c</text:span><text:note><text:note-body><text:p>footnote</text:p>"
              "</text:note-body></text:note><text:tab/>d<text:line-break/>e</text:p><text:list>"
              "<text:list-item><text:p>item</text:p></text:list-item></text:list></office:text>"
              "</office:body></office:document-content>";
        QTest::newRow("odt") << u"a.odt"_s
                             << zipOf({{u"mimetype"_s, OdtType}, {u"content.xml"_s, odt}})
                             << u"Heading\r\na   b c\td\r\ne\r\nitem"_s;
        // A package with no namespace and no metadata still has its order.
        QTest::newRow("epub, spine order")
            << u"book.epub"_s
            << zipOf(epubMembers("<package><manifest>" + manifestItem("c1", "text/one.xhtml")
                       + manifestItem("c2", "text/two%20b.xhtml")
                       + manifestItem("img", "cover.png", "image/png")
                       + "</manifest><spine><itemref idref=\"c2\"/><itemref idref=\"img\"/>"
                         "<itemref idref=\"c1\"/></spine></package>",
                   {{u"text/one.xhtml"_s, xhtml("t", "<p>第一章</p>")},
                       {u"text/two b.xhtml"_s, xhtml("t", "<p>Second &amp; first</p>")},
                       {u"cover.png"_s, "\x89PNG\r\n\x1a\n"}}))
            << u"Second & first\r\n第一章"_s;
    }

    void formats()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QCOMPARE(open(write(name, bytes)), Status::Ok);
        QTEST(m_reader.ReadBuf(0), "expected");
    }

    // Title, author and chapters of web pages, office documents and books.
    // Plain text is read back with CR LF line ends, so its rows also check
    // that the offsets moved with them.
    void books_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("author");
        QTest::addColumn<QStringList>("chapters");
        QTest::addColumn<QStringList>("warnings");
        const QStringList none;
        const auto plain = [&](const char *tag, const QString &text, const QStringList &chapters) {
            QTest::addRow("text, %s", tag)
                << u"novel.txt"_s << text.toUtf8() << QString() << QString() << chapters << none;
        };
        plain("Chinese numbers, Chinese and Arabic numerals",
            u"第一章 上山\n山很高。\n第12回\n話說。\n第三節：入門\n內容。\n第二十卷\n完。"_s,
            QStringList {u"1 第一章 上山"_s, u"1 第12回"_s, u"1 第三節：入門"_s, u"1 第二十卷"_s});
        plain("front and back parts alone on their lines",
            u"序\n這是序。\n楔子\n很久以前。\n前言很長的一段話\n後記\n寫完了。\n尾声\n"_s,
            QStringList {u"1 序"_s, u"1 楔子"_s, u"1 後記"_s, u"1 尾声"_s});
        plain("English numbers, Roman numerals and words, any case",
            u"CHAPTER XII\nIt rained.\nChapter 7\nText.\nChapter Seven: The Storm\nWind.\n"
            u"  chapter twenty-one  \nEnd."_s,
            QStringList {u"1 CHAPTER XII"_s, u"1 Chapter 7"_s, u"1 Chapter Seven: The Storm"_s,
                u"1 chapter twenty-one"_s});
        plain("prose that begins like a heading",
            u"第一章的內容很長，我們明天再講。\n我讀了第三章，很好看。\n第三回合比賽開始\n"
            u"Chapter 7 was the best part.\nChapter 3, in which nothing happens\n"
            u"Chapters\nChapter\n第章\n序言很長\n第一章 "_s
                + QString(40, u'長') + u"\nChapter Sevenfold\n"_s,
            none);
        plain("every kind of line end",
            u"前言\r\n文字\r第一章 出發\u2028路上\n第二章 回家\u2029家裡\r\nChapter 3"_s,
            QStringList {u"1 前言"_s, u"1 第一章 出發"_s, u"1 第二章 回家"_s, u"1 Chapter 3"_s});
        plain("indented by ideographic spaces",
            u"\u3000\u3000第一回\u3000宴桃園豪傑三結義\n\u3000\u3000話說天下大勢。"_s,
            QStringList {u"1 第一回\u3000宴桃園豪傑三結義"_s});
        QTest::newRow("html, title, author, h1 and h2")
            << u"page.html"_s
            << QByteArray("<html><head><title>The  Book &amp; Co</title>"
                          "<meta name=\"Author\" content=\"Lu  Xun\"></head><body>"
                          "<p>Before</p><h1>Part One</h1><p>text</p><h2 id=\"s\">Section "
                          "<b>A</b></h2><p>more</p><h3>Not a chapter</h3><h1>Part<br>Two</h1>"
                          "</body></html>")
            << u"The Book & Co"_s << u"Lu Xun"_s
            << QStringList {u"1 Part One"_s, u"2 Section A"_s, u"1 Part Two @ Part\r\nTwo"_s}
            << none;
        QTest::newRow("html, headings without text are none")
            << u"page.html"_s
            << QByteArray("<html><body><h1><img src=\"a.png\"></h1><p>Words</p><h2> </h2>"
                          "<p>More</p></body></html>")
            << QString() << QString() << none << none;
        QTest::newRow("html, a heading left open ends at the next")
            << u"page.html"_s << "<body><h1>第一章 上山<h2>一、出門</h2><p>內容。</p>"_ba
            << QString() << QString() << QStringList {u"1 第一章 上山"_s, u"2 一、出門"_s} << none;

        // The styles part names the headings whatever their ids; a style
        // with the id "Heading1" named otherwise is no heading. A style the
        // paragraph had before a tracked change does not count.
        Members named
            = docxMembers(docxParagraph("a1", "第一章 開始") + docxParagraph("Normal", "內容")
                + docxParagraph("a2", "第一節") + docxParagraph("Heading1", "A title style")
                + "<w:p><w:pPr><w:pPrChange><w:pPr><w:pStyle w:val=\"a1\"/></w:pPr></w:pPrChange>"
                  "</w:pPr><w:r><w:t>Once a heading</w:t></w:r></w:p>"
                + docxParagraph("a1", "第二章"));
        named.append({u"word/styles.xml"_s,
            "<w:styles xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\">"
            "<w:style w:type=\"paragraph\" w:styleId=\"a1\"><w:name w:val=\"heading 1\"/></w:style>"
            "<w:style w:type=\"paragraph\" w:styleId=\"a2\"><w:name w:val=\"Heading 2\"/></w:style>"
            "<w:style w:type=\"paragraph\" w:styleId=\"Heading1\"><w:name w:val=\"Title\"/>"
            "</w:style></w:styles>"});
        named.append({u"docProps/core.xml"_s,
            "<cp:coreProperties xmlns:cp=\"http://schemas.openxmlformats.org/package/2006/metadata/"
            "core-properties\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\">"
            "<dc:title> 吶喊 </dc:title><dc:creator>魯迅</dc:creator></cp:coreProperties>"});
        QTest::newRow("docx, styles named in the styles part")
            << u"named.docx"_s << zipOf(named) << u"吶喊"_s << u"魯迅"_s
            << QStringList {u"1 第一章 開始"_s, u"2 第一節"_s, u"1 第二章"_s} << none;
        QTest::newRow("docx, the usual ids without a styles part")
            << u"ids.docx"_s
            << zipOf(docxMembers(docxParagraph("Heading1", "One") + docxParagraph("Normal", "x")
                   + docxParagraph("Heading2", "One point one") + docxParagraph("1", "Two")
                   + docxParagraph("2", "Two point one") + docxParagraph("Heading3", "Deeper")))
            << QString() << QString()
            << QStringList {u"1 One"_s, u"2 One point one"_s, u"1 Two"_s, u"2 Two point one"_s}
            << none;

        const QByteArray odtContent = "<office:document-content " + OdfNamespaces
            + "><office:body><office:text><text:p>Opening words</text:p>"
              "<text:h text:outline-level=\"1\">Part <text:span>One</text:span></text:h>"
              "<text:p>Body</text:p><text:h text:outline-level=\"2\">Section"
              "<text:note><text:note-body><text:p>a note</text:p></text:note-body></text:note>"
              "</text:h><text:h text:outline-level=\"3\">Too deep</text:h><text:p>x</text:p>"
              "<text:h>No level</text:h><text:p>y</text:p></office:text></office:body>"
              "</office:document-content>";
        const QStringList odtChapters {u"1 Part One"_s, u"2 Section"_s, u"1 No level"_s};
        QTest::newRow("odt, outline levels; the first author over the last")
            << u"levels.odt"_s
            << zipOf({{u"mimetype"_s, OdtType}, {u"content.xml"_s, odtContent},
                   {u"meta.xml"_s,
                       "<office:document-meta " + OdfNamespaces
                           + "><office:meta><dc:title>Odes</dc:title><dc:creator>Last Editor"
                             "</dc:creator><meta:initial-creator>First Author"
                             "</meta:initial-creator></office:meta></office:document-meta>"}})
            << u"Odes"_s << u"First Author"_s << odtChapters << none;
        QTest::newRow("odt, only the last author")
            << u"creator.odt"_s
            << zipOf({{u"content.xml"_s, odtContent},
                   {u"meta.xml"_s,
                       "<office:document-meta " + OdfNamespaces
                           + "><office:meta><dc:creator>Editor</dc:creator></office:meta>"
                             "</office:document-meta>"}})
            << QString() << u"Editor"_s << odtChapters << none;

        const QByteArray metadata = "<dc:title>The Book</dc:title><dc:creator>Author</dc:creator>";
        const QByteArray chapterOne = xhtml("One",
            "<h1>Chapter One</h1><p>Intro.</p><div id=\"sec2\"><p>Second part</p></div>"
            "<p>Before <span id=\"mid\">the middle</span> after.</p>");
        const QByteArray chapterTwo = xhtml("Two", "<h1>Chapter Two</h1><p>Words&nbsp;here.</p>");
        const QByteArray twoChapters
            = manifestItem("c1", "text/one.xhtml") + manifestItem("c2", "text/two%20b.xhtml");
        const Members chapterFiles
            = {{u"text/one.xhtml"_s, chapterOne}, {u"text/two b.xhtml"_s, chapterTwo}};
        const QByteArray spine = "<spine toc=\"ncx\"><itemref idref=\"c1\"/><itemref idref=\"c2\"/>"
                                 "</spine>";
        // The navigation document sits in a folder of its own: its links are
        // relative to it.
        const QByteArray nav = xhtml("Contents",
            "<nav epub:type=\"landmarks\"><ol><li><a href=\"../text/two%20b.xhtml\">Landmark</a>"
            "</li></ol></nav><nav epub:type=\"toc\"><h1>Contents</h1><ol>"
            "<li><a href=\"../text/one.xhtml\">Nav &amp; one</a><ol>"
            "<li><a href=\"../text/one.xhtml#sec2\">Second&nbsp;part</a></li>"
            "<li><a href=\"../text/one.xhtml#mid\"><span>The</span> middle</a></li></ol></li>"
            "<li><a href=\"../text/two%20b.xhtml\">Nav two</a></li></ol></nav>");
        const QByteArray ncx
            = "<ncx xmlns=\"http://www.daisy.org/z3986/2005/ncx/\"><docTitle><text>Doc</text>"
              "</docTitle><navMap><navPoint id=\"n1\"><navLabel><text>NCX one</text></navLabel>"
              "<content src=\"text/one.xhtml\"/><navPoint id=\"n2\"><navLabel><text>NCX mid"
              "</text></navLabel><content src=\"text/one.xhtml#mid\"/></navPoint></navPoint>"
              "<navPoint id=\"n3\"><navLabel><text>NCX two</text></navLabel>"
              "<content src=\"text/two%20b.xhtml\"/></navPoint></navMap></ncx>";
        const QByteArray ncxItem = manifestItem("ncx", "toc.ncx", "application/x-dtbncx+xml");
        const auto epub = [&](const char *tag, const QByteArray &items, const QByteArray &order,
                              const Members &files, const QStringList &chapters,
                              const QStringList &warnings = {}) {
            QTest::addRow("epub, %s", tag)
                << u"book.epub"_s << zipOf(epubMembers(metadata, items, order, files))
                << u"The Book"_s << u"Author"_s << chapters << warnings;
        };

        epub("navigation document before the NCX",
            twoChapters
                + manifestItem(
                    "nav", "nav/toc.xhtml", "application/xhtml+xml", "properties=\"nav\"")
                + ncxItem,
            spine, chapterFiles + Members {{u"nav/toc.xhtml"_s, nav}, {u"toc.ncx"_s, ncx}},
            QStringList {u"1 Nav & one @ Chapter One"_s, u"2 Second part"_s,
                u"2 The middle @ the middle"_s, u"1 Nav two @ Chapter Two"_s});
        epub("NCX without a navigation document", twoChapters + ncxItem, spine,
            chapterFiles + Members {{u"toc.ncx"_s, ncx}},
            QStringList {u"1 NCX one @ Chapter One"_s, u"2 NCX mid @ the middle"_s,
                u"1 NCX two @ Chapter Two"_s});
        epub("NCX by its media type, the spine naming none", ncxItem + twoChapters,
            "<spine><itemref idref=\"c1\"/><itemref idref=\"c2\"/></spine>",
            chapterFiles + Members {{u"toc.ncx"_s, ncx}},
            QStringList {u"1 NCX one @ Chapter One"_s, u"2 NCX mid @ the middle"_s,
                u"1 NCX two @ Chapter Two"_s});
        // An image page has no text to start a chapter.
        epub("no table of contents: a chapter per file with text",
            manifestItem("p0", "cover.xhtml") + manifestItem("p1", "a.xhtml")
                + manifestItem("p2", "b.xhtml") + manifestItem("p3", "c.xhtml"),
            "<spine><itemref idref=\"p0\"/><itemref idref=\"p1\"/><itemref idref=\"p2\"/>"
            "<itemref idref=\"p3\"/></spine>",
            {{u"cover.xhtml"_s, xhtml("Cover", "<img src=\"c.png\"/>")},
                {u"a.xhtml"_s, xhtml("Ignored", "<p>x</p><h2>Opening</h2><p>y</p>")},
                {u"b.xhtml"_s, xhtml("Titled", "<p>No heading here.</p>")},
                {u"c.xhtml"_s, xhtml("", "<p>Nothing names this.</p>")}},
            QStringList {
                u"1 Opening @ x"_s, u"1 Titled @ No heading"_s, u"1 Chapter 3 @ Nothing names"_s});
        epub("entries for files the book does not read",
            twoChapters + manifestItem("notes", "notes.xhtml")
                + manifestItem("nav", "nav.xhtml", "application/xhtml+xml", "properties=\"nav\""),
            "<spine><itemref idref=\"c1\"/><itemref idref=\"notes\" linear=\"no\"/>"
            "<itemref idref=\"c2\"/></spine>",
            chapterFiles
                + Members {{u"notes.xhtml"_s, xhtml("Notes", "<p>Note</p>")},
                    {u"nav.xhtml"_s,
                        xhtml("Contents",
                            "<nav epub:type=\"toc\"><ol><li><a href=\"text/one.xhtml\">"
                            "One</a></li><li><a href=\"missing.xhtml#x\">Gone</a></li>"
                            "<li><a href=\"missing.xhtml\">Gone again</a></li>"
                            "<li><a href=\"notes.xhtml\">Notes</a></li>"
                            "<li><a href=\"text/two%20b.xhtml\">Two</a></li></ol></nav>")}},
            QStringList {u"1 One @ Chapter One"_s, u"1 Two @ Chapter Two"_s},
            QStringList {u"table of contents: missing.xhtml is missing"_s,
                u"table of contents: notes.xhtml is not in the reading order"_s});
        // Of entries at one place the outer stays; an entry for a page with
        // no text gives way to the next one at its level.
        epub("entries at one place", manifestItem("cover", "cover.xhtml") + twoChapters + ncxItem,
            "<spine toc=\"ncx\"><itemref idref=\"cover\"/><itemref idref=\"c1\"/>"
            "<itemref idref=\"c2\"/></spine>",
            chapterFiles
                + Members {{u"cover.xhtml"_s, xhtml("Cover", "<img src=\"c.png\"/>")},
                    {u"toc.ncx"_s,
                        "<ncx><navMap><navPoint><navLabel><text>Cover</text></navLabel>"
                        "<content src=\"cover.xhtml\"/></navPoint><navPoint><navLabel>"
                        "<text>Part I</text></navLabel><content src=\"text/one.xhtml\"/>"
                        "<navPoint><navLabel><text>First</text></navLabel>"
                        "<content src=\"text/one.xhtml\"/></navPoint></navPoint>"
                        "<navPoint><navLabel><text>Two</text></navLabel>"
                        "<content src=\"text/two%20b.xhtml#nowhere\"/></navPoint>"
                        "</navMap></ncx>"}},
            QStringList {u"1 Part I @ Chapter One"_s, u"1 Two @ Chapter Two"_s});
    }

    void books()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QCOMPARE(open(write(name, bytes)), Status::Ok);
        const Document::Book &book = m_reader.book(0);
        QTEST(book.title, "title");
        QTEST(book.author, "author");
        QFETCH(QStringList, chapters);
        compareChapters(m_reader.ReadBuf(0), book.chapters, chapters);
        QTEST(book.warnings, "warnings");
    }

    void epubCover_data()
    {
        QTest::addColumn<QByteArray>("manifest");
        QTest::addColumn<QByteArray>("meta");
        QTest::addColumn<QByteArray>("cover");
        QTest::addColumn<QString>("mimeType");
        QTest::addColumn<QStringList>("warnings");
        const QByteArray images = manifestItem("i1", "images/a.png", "image/png")
            + manifestItem("i2", "images/b%20c.jpg", "image/jpeg");
        QTest::newRow("EPUB 3 cover-image")
            << images
                + manifestItem("i3", "images/a.png", "image/png", "properties=\"cover-image\"")
            << "<meta name=\"cover\" content=\"i2\"/>"_ba << Png << u"image/png"_s << QStringList();
        QTest::newRow("EPUB 2 cover meta") << images << "<meta name=\"cover\" content=\"i2\"/>"_ba
                                           << Jpeg << u"image/jpeg"_s << QStringList();
        QTest::newRow("cover meta naming a file")
            << images << "<meta name=\"cover\" content=\"images/a.png\"/>"_ba << Png
            << u"image/png"_s << QStringList();
        QTest::newRow("no cover") << images << QByteArray() << QByteArray() << QString()
                                  << QStringList();
        QTest::newRow("cover missing from the archive")
            << manifestItem("i9", "images/gone.png", "image/png", "properties=\"cover-image\"")
            << QByteArray() << QByteArray() << QString()
            << QStringList {u"cover images/gone.png cannot be read"_s};
    }

    void epubCover()
    {
        QFETCH(QByteArray, manifest);
        QFETCH(QByteArray, meta);
        const QByteArray bytes = zipOf(epubMembers("<dc:title>C</dc:title>" + meta,
            manifestItem("c1", "one.xhtml") + manifest, "<spine><itemref idref=\"c1\"/></spine>",
            {{u"one.xhtml"_s, xhtml("One", "<p>Text</p>")}, {u"images/a.png"_s, Png},
                {u"images/b c.jpg"_s, Jpeg}}));
        QCOMPARE(open(write(u"cover.epub"_s, bytes)), Status::Ok);
        const Document::Book &book = m_reader.book(0);
        QTEST(book.cover, "cover");
        QTEST(book.coverMimeType, "mimeType");
        QTEST(book.warnings, "warnings");
    }

    // Past the limit the rest of the headings go unmarked, in every format,
    // and the book says so; the text is whole.
    void chapterLimit_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("third");
        QByteArray plain, html, docx, anchored, nav;
        for (int i = 1; i <= 5; ++i) {
            const QByteArray n = QByteArray::number(i);
            plain += "第" + n + "章\n內容。\n";
            html += "<h1>Part " + n + "</h1><p>text</p>";
            docx += docxParagraph("Heading1", "Part " + n) + docxParagraph("Normal", "text");
            anchored += "<p id=\"p" + n + "\">Text " + n + "</p>";
            nav += "<li><a href=\"one.xhtml#p" + n + "\">Part " + n + "</a></li>";
        }
        QTest::newRow("plain text") << u"long.txt"_s << plain << u"第3章"_s;
        QTest::newRow("html") << u"long.html"_s << "<html><body>" + html + "</body></html>"
                              << u"Part 3"_s;
        QTest::newRow("docx") << u"long.docx"_s << zipOf(docxMembers(docx)) << u"Part 3"_s;
        QTest::newRow("epub")
            << u"long.epub"_s
            << zipOf(epubMembers("<dc:title>Long</dc:title>",
                   manifestItem("c1", "one.xhtml")
                       + manifestItem(
                           "nav", "nav.xhtml", "application/xhtml+xml", "properties=\"nav\""),
                   "<spine><itemref idref=\"c1\"/></spine>",
                   {{u"one.xhtml"_s, xhtml("One", anchored)},
                       {u"nav.xhtml"_s,
                           xhtml(
                               "Contents", "<nav epub:type=\"toc\"><ol>" + nav + "</ol></nav>")}}))
            << u"Part 3 @ Text 3"_s;
    }

    void chapterLimit()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, third);
        Document::Limits limits;
        limits.maxChapters = 3;
        const Document::Result result = DocumentReader::extract(bytes, name, limits);
        QVERIFY2(result.ok(), qPrintable(result.detail));
        QCOMPARE(result.book.chapters.size(), 3);
        compareChapters(result.text, result.book.chapters.mid(2), {u"1 "_s + third});
        QCOMPARE(
            result.book.warnings, QStringList {u"more than 3 chapters: the rest are not marked"_s});
        QVERIFY(result.text.contains(u'5'));
    }

    void pdfPagesInOrder()
    {
        const QString path = m_dir.filePath(u"drawn.pdf"_s);
        {
            QPdfWriter writer(path);
            QPainter painter(&writer);
            QFont font = painter.font();
            font.setPointSize(14);
            painter.setFont(font);
            painter.drawText(QPointF(500, 1000), u"First line here"_s);
            painter.drawText(QPointF(500, 2000), u"Second line here"_s);
            writer.newPage();
            painter.drawText(QPointF(500, 1000), u"Third on page two"_s);
        }
        QCOMPARE(open(path), Status::Ok);
        const QString text = m_reader.ReadBuf(0);
        QCOMPARE(text.simplified(), u"First line here Second line here Third on page two"_s);
        QVERIFY(text.indexOf(u"Second") > text.indexOf(u"here\r\n"));
        QCOMPARE(text.count(u'\n'), text.count(u"\r\n"));
    }

    void rejected_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<Status>("expected");

        QByteArray random(64 * 1024, '\0');
        QRandomGenerator rng(1234);
        rng.fillRange(reinterpret_cast<quint32 *>(random.data()), random.size() / 4);
        QTest::newRow("random binary") << u"data.bin"_s << random << Status::Unsupported;
        QTest::newRow("controls, no NUL")
            << u"data.dat"_s << "\x01\x02\x03\x04\x05\x06\x07\x08text\x0e\x0f"_ba
            << Status::Unsupported;

        // NULs on one side as UTF-16 has them, but a high surrogate with no
        // low one after it.
        QByteArray unpaired = encode(u"abc defg hij "_s.repeated(20), "UTF-16LE");
        unpaired[11] = '\xD8';
        unpaired[12] = 'x';
        QTest::newRow("utf-16-like, unpaired surrogate")
            << u"pairs.txt"_s << unpaired << Status::Unsupported;
        QTest::newRow("NULs on both sides")
            << u"zeros.txt"_s << QByteArray(4096, '\0') << Status::Unsupported;

        const QByteArray good = zipOf(docxMembers("<w:p><w:r><w:t>fine</w:t></w:r></w:p>"));
        QTest::newRow("truncated docx")
            << u"cut.docx"_s << good.left(good.size() * 2 / 3) << Status::Damaged;
        QTest::newRow("docx that is text") << u"fake.docx"_s << "just text"_ba << Status::Damaged;
        QTest::newRow("zip of no document")
            << u"a.zip"_s << zipOf({{u"readme.txt"_s, "hi"}}) << Status::Unsupported;
        QTest::newRow("zip bomb") << u"bomb.docx"_s
                                  << zipOf(docxMembers("<w:p><w:r><w:t>" + QByteArray(48 << 20, ' ')
                                         + "</w:t></w:r></w:p>"))
                                  << Status::TooLarge;
        QTest::newRow("deep xml") << u"deep.docx"_s
                                  << zipOf(docxMembers("<w:p>"_ba.repeated(200000)
                                         + "</w:p>"_ba.repeated(200000)))
                                  << Status::TooLarge;
        QTest::newRow("broken xml")
            << u"bad.docx"_s << zipOf(docxMembers("<w:p><w:r></w:p>")) << Status::Damaged;
        QTest::newRow("deep rtf") << u"deep.rtf"_s << "{\\rtf1 " + "{"_ba.repeated(1000000)
                                  << Status::TooLarge;
        QTest::newRow("pdf garbage")
            << u"junk.pdf"_s << "%PDF-1.7\n1 0 obj << /Type /Catalog"_ba + random
            << Status::Damaged;
    }

    void rejected()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QCOMPARE(open(write(u"ok.txt"_s, "Chapter 1\nearlier text")), Status::Ok);
        QCOMPARE(m_reader.book(0).chapters.size(), 1);
        const QString path = write(name, bytes);
        QElapsedTimer timer;
        timer.start();
        QTEST(open(path), "expected");
        QVERIFY2(timer.elapsed() < 3000, qPrintable(QString::number(timer.elapsed())));
        QVERIFY(m_reader.ReadBuf(0).isEmpty());
        QVERIFY(m_reader.book(0).chapters.isEmpty());
        QVERIFY(m_reader.errorString().contains(path));
    }

    void unusableHandleOrPath()
    {
        DocumentReader fresh;
        const QString path = write(u"x.txt"_s, "x");
        QCOMPARE(fresh.OpenFile(0, path), Status::NoHandle);
        QCOMPARE(fresh.AllocHdl(2), Status::Ok);
        QCOMPARE(fresh.OpenFile(1, path), Status::NoHandle); // allocated, never set up
        QCOMPARE(fresh.OpenWfxKey(2, u"k"_s), Status::NoHandle);
        QCOMPARE(fresh.OpenWfxKey(1, QString()), Status::NoHandle);
        QCOMPARE(fresh.OpenWfxKey(1, u"k"_s), Status::Ok);
        QCOMPARE(fresh.OpenFile(1, m_dir.filePath(u"missing.txt"_s)), Status::CannotOpen);
        QCOMPARE(fresh.OpenFile(1, m_dir.path()), Status::CannotOpen);
        QCOMPARE(fresh.OpenFile(1, path), Status::Ok);
        QCOMPARE(fresh.ReadBuf(1), u"x"_s);
        QVERIFY(fresh.ReadBuf(0).isEmpty());
    }

    // The child-process guard the PDF parser runs under.
    void isolatedRun_data()
    {
        QTest::addColumn<int>("behaviour");
        QTest::addColumn<IsolatedRun::Outcome>("outcome");
        QTest::addColumn<QByteArray>("data");
        QTest::newRow("answers") << 0 << IsolatedRun::Outcome::Finished << "result"_ba;
        QTest::newRow("loops forever") << 1 << IsolatedRun::Outcome::TimedOut << QByteArray();
        QTest::newRow("crashes") << 2 << IsolatedRun::Outcome::Crashed << QByteArray();
        QTest::newRow("floods the pipe") << 3 << IsolatedRun::Outcome::TooLarge << QByteArray();
    }

    void isolatedRun()
    {
        QFETCH(int, behaviour);
        QFETCH(IsolatedRun::Outcome, outcome);
        IsolatedRun::Budget budget;
        budget.timeoutMs = 500;
        budget.maxOutputBytes = 1 << 20;
        QElapsedTimer timer;
        timer.start();
        const IsolatedRun::Output out = IsolatedRun::run(
            [behaviour](QByteArray *result) {
                if (behaviour == 1)
                    for (;;)
                        ::pause();
                if (behaviour == 2)
                    std::raise(SIGSEGV);
                *result = behaviour == 3 ? QByteArray(4 << 20, 'x') : "result"_ba;
                return 7;
            },
            budget);
        QCOMPARE(out.outcome, outcome);
        QTEST(out.data, "data");
        if (outcome == IsolatedRun::Outcome::Finished)
            QCOMPARE(out.exitCode, 7);
        QVERIFY(timer.elapsed() < 2000);
    }
};

QTEST_MAIN(TestDocumentReader)
#include "test_DocumentReader.moc"
