// The document reader against files made here at run time: text in several
// encodings, web pages, RTF, packaged formats built with libzip, a PDF drawn
// with QPdfWriter, and hostile files that must fail fast.

#include "TestFiles.h"
#include "document/DocumentReader.h"
#include "document/IsolatedRun.h"

#include <QPainter>
#include <QPdfWriter>
#include <QtTest>

#include <zip.h>

#include <csignal>
#include <iconv.h>
#include <unistd.h>
#include <vector>

using Document::Status;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(Document::Status)
Q_DECLARE_METATYPE(IsolatedRun::Outcome)

namespace
{

using Members = QList<std::pair<QString, QByteArray>>;

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
    return text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
}

const QString ChineseText
    = QStringLiteral("這是一個測試文件，用來檢查繁體中文的編碼是否能夠正確地轉換。\n"
                     "我們希望語音朗讀器可以讀出每一個字，並且不會遺漏任何標點符號。");
const QString SimplifiedText
    = QStringLiteral("这是一个测试文件，用来检查简体中文的编码是否能够正确地转换。\n"
                     "我们希望语音朗读器可以读出每一个字，并且不会遗漏任何标点符号。");

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

    QByteArray zipOf(const Members &members)
    {
        const QString path = m_dir.filePath(QStringLiteral("made.zip"));
        QFile::remove(path);
        int error = 0;
        zip_t *z = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
        if (!z)
            qFatal("zip_open failed");
        for (const auto &[name, data] : members) {
            zip_source_t *s = zip_source_buffer(z, data.constData(), zip_uint64_t(data.size()), 0);
            if (!s || zip_file_add(z, name.toUtf8().constData(), s, ZIP_FL_OVERWRITE) < 0)
                qFatal("zip_file_add failed");
        }
        if (zip_close(z) != 0)
            qFatal("zip_close failed");
        return TestFiles::readAll(path);
    }

    // A package whose main part, found through its relationships, has `body`.
    static Members docxMembers(const QByteArray &body)
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

    // Reads a file through the handle the program uses.
    Status open(const QString &path) { return m_reader.OpenFile(0, path); }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QCOMPARE(m_reader.AllocHdl(1), Status::Ok);
        QCOMPARE(m_reader.OpenWfxKey(0, QStringLiteral("test")), Status::Ok);
    }

    void plainText_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        const QString mixed = QStringLiteral("one\ntwo\r\nthree\rfour");
        const QString mixedOut = QStringLiteral("one\r\ntwo\r\nthree\r\nfour");
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
        const QString hkscs = ChineseText + QStringLiteral("佢話嘅嘢");
        QTest::newRow("big5-hkscs") << encode(hkscs, "BIG5-HKSCS") << crlf(hkscs);
        QTest::newRow("gb18030") << encode(SimplifiedText, "GB18030") << crlf(SimplifiedText);
        const QString latin
            = QStringLiteral("Café crème, déjà vu — à la française: “naïve” façade.");
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
        QCOMPARE(open(write(QStringLiteral("plain.txt"), bytes)), Status::Ok);
        QTEST(m_reader.ReadBuf(0), "expected");
        QVERIFY(m_reader.errorString().isEmpty());
    }

    void formats_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        QTest::newRow("html")
            << QStringLiteral("page.html")
            << QByteArray("<html><head><title>Not read</title><style>p{}</style>"
                          "</head><body><h1>Title &amp; more</h1><p>One\n   two"
                          "<br>three&nbsp;&#x4E2D;&#25991;</p><script>x<1</script>"
                          "<ul><li>a &lt; b<li>&quot;c&quot;</ul><!-- gone -->"
                          "<table><tr><td>x<td>y</table></body></html>")
            << u"Title & more\r\nOne two\r\nthree\u00A0中文\r\na < b\r\n\"c\"\r\nx y"_s;
        // Browsers end a head left open at the first element or text that
        // cannot be in it.
        QTest::newRow("html, no </head> and no <body>")
            << QStringLiteral("open.html")
            << QByteArray(
                   "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>Not read</title>"
                   "<style>p{}</style><p>第一段。<p>第二段。</html>")
            << u"第一段。\r\n第二段。"_s;
        QTest::newRow("html, text right after the head's elements")
            << QStringLiteral("bare.html")
            << QByteArray("<html><head><link rel=\"icon\" href=\"x\">\n  <script>no()</script>\n"
                          "Hello <b>there</b>.")
            << u"Hello there."_s;
        QTest::newRow("html, a head closed late still hides its own text")
            << QStringLiteral("late.html")
            << QByteArray("<html><head><title>Not read</title>\n</head><div>Shown</div>")
            << u"Shown"_s;
        QTest::newRow("html, declared big5")
            << QStringLiteral("page.htm")
            << "<html><head><meta charset=\"big5\"></head><body><p>" + encode(ChineseText, "BIG5")
                + "</p></body></html>"
            << QString(ChineseText).replace(u'\n', u' ');
        QTest::newRow("html, lower-case hexadecimal references")
            << QStringLiteral("lower.html")
            << QByteArray("<html><body><p>&#x4e2d;&#x6f22;&#x9ad8;</p></body></html>")
            << u"中漢高"_s;
        QTest::newRow("html, capital X references")
            << QStringLiteral("upper.html")
            << QByteArray("<html><body><p>&#X4E2D;&#X6F22;&#X9AD8;</p></body></html>")
            << u"中漢高"_s;
        QTest::newRow("html, Latin-1 entities")
            << QStringLiteral("latin1.html")
            << QByteArray("<html><body><p>&cent;&pound;&yen;&copy;&eacute;&yuml;</p></body></html>")
            << u"¢£¥©éÿ"_s;
        // A declared charset the bytes do not fit gives way to the one they do.
        QTest::newRow("html, declared big5, bytes UTF-8")
            << QStringLiteral("utf8.html")
            << "<html><head><meta charset=\"big5\"></head><body><p>" + ChineseText.toUtf8()
                + "</p></body></html>"
            << QString(ChineseText).replace(u'\n', u' ');
        QTest::newRow("html, declared UTF-8, bytes big5")
            << QStringLiteral("big5.html")
            << "<html><head><meta charset=\"utf-8\"></head><body><p>" + encode(ChineseText, "BIG5")
                + "</p></body></html>"
            << QString(ChineseText).replace(u'\n', u' ');
        // \u takes a signed 16-bit number: from U+8000 up it is negative.
        QTest::newRow("rtf, negative \\u")
            << QStringLiteral("signed.rtf")
            << QByteArray("{\\rtf1\\ansi\\uc1\\u32767?\\u-32768?\\u-25896?\\u-3?}")
            << u"\u7FFF\u8000\u9AD8\uFFFD"_s;
        QTest::newRow("rtf, a surrogate pair as two negative \\u")
            << QStringLiteral("pair.rtf") << QByteArray("{\\rtf1\\ansi\\uc1\\u-10179?\\u-8704?}")
            << u"\U0001F600"_s;
        QTest::newRow("rtf")
            << QStringLiteral("doc.rtf")
            << QByteArray("{\\rtf1\\ansi\\ansicpg950\\deff0{\\fonttbl{\\f0\\fnil Arial;}}"
                          "{\\colortbl;\\red0\\green0\\blue0;}{\\*\\generator Writer;}"
                          "{\\info{\\title Secret}}{\\stylesheet{\\s1 Heading;}}"
                          "\\pard\\plain First \\b bold\\b0  para\\par "
                          "\\uc1\\u20013?\\u25991?\\'a4\\'a4\\'a4\\'e5\\tab end\\par "
                          "{\\pict\\pngblip 89504e47}\\uc2\\u8364\\'80\\'80 \\{x\\}\\line z}")
            << u"First bold para\r\n中文中文\tend\r\n€ {x}\r\nz"_s;
        QTest::newRow("docx")
            << QStringLiteral("a.docx")
            << zipOf(docxMembers("<w:p><w:pPr><w:tabs><w:tab w:val=\"left\"/></w:tabs></w:pPr>"
                                 "<w:r><w:t>Hello </w:t></w:r><w:r><w:t>world</w:t><w:tab/>"
                                 "<w:t>中文</w:t></w:r><w:del><w:r><w:delText>gone</w:delText>"
                                 "</w:r></w:del></w:p><w:p/><w:p><w:r><w:t>line</w:t><w:br/>"
                                 "<w:instrText>PAGE</w:instrText><w:t>break</w:t></w:r>"
                                 "<mc:AlternateContent><mc:Choice><w:r><w:t>!</w:t></w:r>"
                                 "</mc:Choice><mc:Fallback><w:r><w:t>!</w:t></w:r></mc:Fallback>"
                                 "</mc:AlternateContent></w:p>"))
            << u"Hello world\t中文\r\n\r\nline\r\nbreak!"_s;

        const QByteArray odt
            = "<office:document-content "
              "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
              "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\">"
              "<office:body><office:text><text:h>Heading</text:h><text:p>a<text:s text:c=\"3\"/>"
              "b\n  <text:span>c</text:span><text:note><text:note-body><text:p>footnote</text:p>"
              "</text:note-body></text:note><text:tab/>d<text:line-break/>e</text:p><text:list>"
              "<text:list-item><text:p>item</text:p></text:list-item></text:list></office:text>"
              "</office:body></office:document-content>";
        QTest::newRow("odt") << QStringLiteral("a.odt")
                             << zipOf({{QStringLiteral("mimetype"),
                                           "application/vnd.oasis.opendocument.text"},
                                    {QStringLiteral("content.xml"), odt}})
                             << u"Heading\r\na   b c\td\r\ne\r\nitem"_s;

        const QByteArray chapter
            = "<?xml version=\"1.0\"?><html xmlns=\"http://www.w3.org/1999/xhtml\">"
              "<head><title>t</title></head><body><p>%1</p></body></html>";
        QTest::newRow("epub, spine order")
            << QStringLiteral("book.epub")
            << zipOf({{QStringLiteral("mimetype"), "application/epub+zip"},
                   {QStringLiteral("META-INF/container.xml"),
                       "<container><rootfiles><rootfile full-path=\"OEBPS/content.opf\" "
                       "media-type=\"application/oebps-package+xml\"/></rootfiles></container>"},
                   {QStringLiteral("OEBPS/content.opf"),
                       "<package><manifest>"
                       "<item id=\"c1\" href=\"text/one.xhtml\" "
                       "media-type=\"application/xhtml+xml\"/>"
                       "<item id=\"c2\" href=\"text/two%20b.xhtml\" "
                       "media-type=\"application/xhtml+xml\"/>"
                       "<item id=\"img\" href=\"cover.png\" media-type=\"image/png\"/>"
                       "</manifest><spine><itemref idref=\"c2\"/><itemref idref=\"img\"/>"
                       "<itemref idref=\"c1\"/></spine></package>"},
                   {QStringLiteral("OEBPS/text/one.xhtml"),
                       QByteArray(chapter).replace("%1", "第一章")},
                   {QStringLiteral("OEBPS/text/two b.xhtml"),
                       QByteArray(chapter).replace("%1", "Second &amp; first")},
                   {QStringLiteral("OEBPS/cover.png"), "\x89PNG\r\n\x1a\n\0\0"}})
            << u"Second & first\r\n第一章"_s;
    }

    void formats()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QCOMPARE(open(write(name, bytes)), Status::Ok);
        QTEST(m_reader.ReadBuf(0), "expected");
    }

    void pdfPagesInOrder()
    {
        const QString path = m_dir.filePath(QStringLiteral("drawn.pdf"));
        {
            QPdfWriter writer(path);
            QPainter painter(&writer);
            QFont font = painter.font();
            font.setPointSize(14);
            painter.setFont(font);
            painter.drawText(QPointF(500, 1000), QStringLiteral("First line here"));
            painter.drawText(QPointF(500, 2000), QStringLiteral("Second line here"));
            writer.newPage();
            painter.drawText(QPointF(500, 1000), QStringLiteral("Third on page two"));
        }
        QCOMPARE(open(path), Status::Ok);
        const QString text = m_reader.ReadBuf(0);
        QCOMPARE(text.simplified(),
            QStringLiteral("First line here Second line here Third on page two"));
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
        QTest::newRow("random binary")
            << QStringLiteral("data.bin") << random << Status::Unsupported;
        QTest::newRow("controls, no NUL")
            << QStringLiteral("data.dat")
            << QByteArray("\x01\x02\x03\x04\x05\x06\x07\x08text\x0e\x0f") << Status::Unsupported;

        // NULs on one side as UTF-16 has them, but a high surrogate with no
        // low one after it.
        QByteArray unpaired = encode(u"abc defg hij "_s.repeated(20), "UTF-16LE");
        unpaired[11] = '\xD8';
        unpaired[12] = 'x';
        QTest::newRow("utf-16-like, unpaired surrogate")
            << QStringLiteral("pairs.txt") << unpaired << Status::Unsupported;
        QTest::newRow("NULs on both sides")
            << QStringLiteral("zeros.txt") << QByteArray(4096, '\0') << Status::Unsupported;

        const QByteArray good = zipOf(docxMembers("<w:p><w:r><w:t>fine</w:t></w:r></w:p>"));
        QTest::newRow("truncated docx")
            << QStringLiteral("cut.docx") << good.left(good.size() * 2 / 3) << Status::Damaged;
        QTest::newRow("docx that is text")
            << QStringLiteral("fake.docx") << QByteArray("just text") << Status::Damaged;
        QTest::newRow("zip of no document")
            << QStringLiteral("a.zip") << zipOf({{QStringLiteral("readme.txt"), "hi"}})
            << Status::Unsupported;
        QTest::newRow("zip bomb") << QStringLiteral("bomb.docx")
                                  << zipOf(docxMembers("<w:p><w:r><w:t>" + QByteArray(48 << 20, ' ')
                                         + "</w:t></w:r></w:p>"))
                                  << Status::TooLarge;
        QTest::newRow("deep xml") << QStringLiteral("deep.docx")
                                  << zipOf(docxMembers(QByteArray("<w:p>").repeated(200000)
                                         + QByteArray("</w:p>").repeated(200000)))
                                  << Status::TooLarge;
        QTest::newRow("broken xml") << QStringLiteral("bad.docx")
                                    << zipOf(docxMembers("<w:p><w:r></w:p>")) << Status::Damaged;
        QTest::newRow("deep rtf") << QStringLiteral("deep.rtf")
                                  << "{\\rtf1 " + QByteArray("{").repeated(1000000)
                                  << Status::TooLarge;
        QTest::newRow("pdf garbage")
            << QStringLiteral("junk.pdf")
            << QByteArray("%PDF-1.7\n1 0 obj << /Type /Catalog") + random << Status::Damaged;
    }

    void rejected()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QCOMPARE(open(write(QStringLiteral("ok.txt"), "earlier text")), Status::Ok);
        const QString path = write(name, bytes);
        QElapsedTimer timer;
        timer.start();
        QTEST(open(path), "expected");
        QVERIFY2(timer.elapsed() < 3000, qPrintable(QString::number(timer.elapsed())));
        QVERIFY(m_reader.ReadBuf(0).isEmpty());
        QVERIFY(m_reader.errorString().contains(path));
    }

    void unusableHandleOrPath()
    {
        DocumentReader fresh;
        const QString path = write(QStringLiteral("x.txt"), "x");
        QCOMPARE(fresh.OpenFile(0, path), Status::NoHandle);
        QCOMPARE(fresh.AllocHdl(2), Status::Ok);
        QCOMPARE(fresh.OpenFile(1, path), Status::NoHandle); // allocated, never set up
        QCOMPARE(fresh.OpenWfxKey(2, QStringLiteral("k")), Status::NoHandle);
        QCOMPARE(fresh.OpenWfxKey(1, QString()), Status::NoHandle);
        QCOMPARE(fresh.OpenWfxKey(1, QStringLiteral("k")), Status::Ok);
        QCOMPARE(
            fresh.OpenFile(1, m_dir.filePath(QStringLiteral("missing.txt"))), Status::CannotOpen);
        QCOMPARE(fresh.OpenFile(1, m_dir.path()), Status::CannotOpen);
        QCOMPARE(fresh.OpenFile(1, path), Status::Ok);
        QCOMPARE(fresh.ReadBuf(1), QStringLiteral("x"));
        QVERIFY(fresh.ReadBuf(0).isEmpty());
    }

    // The child-process guard the PDF parser runs under.
    void isolatedRun_data()
    {
        QTest::addColumn<int>("behaviour");
        QTest::addColumn<IsolatedRun::Outcome>("outcome");
        QTest::addColumn<QByteArray>("data");
        QTest::newRow("answers") << 0 << IsolatedRun::Outcome::Finished << QByteArray("result");
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
                *result = behaviour == 3 ? QByteArray(4 << 20, 'x') : QByteArray("result");
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
