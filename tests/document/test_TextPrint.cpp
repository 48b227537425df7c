// Printing to a PDF file read back with poppler: pages fill with 9-point
// lines in order, long lines are cut rather than wrapped, an empty text still
// makes a page, and no printer is told to the user.

#include "document/TextPrint.h"
#include "shell/MessageBox.h"

#include <QPrinter>
#include <QTemporaryDir>
#include <QtTest>
#include <poppler-document.h>
#include <poppler-page.h>

using namespace Qt::StringLiterals;

namespace
{
// Lines of text on each page of the PDF.
QList<QStringList> pageLines(const QString &pdf)
{
    QList<QStringList> pages;
    std::unique_ptr<poppler::document> doc(poppler::document::load_from_file(pdf.toStdString()));
    for (int i = 0; doc && i < doc->pages(); ++i) {
        std::unique_ptr<poppler::page> page(doc->create_page(i));
        const auto utf8 = page->text(poppler::rectf(), poppler::page::physical_layout).to_utf8();
        const QString text = QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
        QStringList lines = text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        for (QString &line : lines)
            line = line.trimmed();
        lines.removeAll(QString());
        pages.append(lines);
    }
    return pages;
}
} // namespace

class TestTextPrint : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QStringList messages;

    TextPrint toPdf(const QString &file)
    {
        return TextPrint(nullptr, [file] {
            auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(file);
            printer->setPageSize(QPageSize(QPageSize::A4));
            return printer;
        });
    }

private Q_SLOTS:
    void initTestCase()
    {
        MessageBox::setHandler([this](auto, auto, const QString &text, auto) {
            messages.append(text);
            return MessageBox::Answer::Ok;
        });
    }

    void linesFillPagesInOrder()
    {
        QStringList lines;
        for (int i = 1; i <= 200; ++i)
            lines.append(u"line %1"_s.arg(i, 3, 10, QLatin1Char('0')));
        const QString pdf = dir.filePath(u"lines.pdf"_s);
        QVERIFY(toPdf(pdf).Cmd_PrintDC(lines.join(u"\r\n"_s)));
        const QList<QStringList> pages = pageLines(pdf);
        // A4 less margins is about 780 points: 9-point lines at 9 to 12
        // points apart put 65 to 87 on a full page.
        QVERIFY2(pages.size() == 3, qPrintable(QString::number(pages.size())));
        for (int p = 0; p < 2; ++p)
            QVERIFY2(pages[p].size() >= 60 && pages[p].size() <= 87,
                qPrintable(QString::number(pages[p].size())));
        QCOMPARE(pages[0] + pages[1] + pages[2], lines);
    }

    void longLineIsCutNotWrapped()
    {
        const QString pdf = dir.filePath(u"long.pdf"_s);
        const QString longLine = u"begin "_s + QString(300, u'x') + u" END"_s;
        QVERIFY(toPdf(pdf).Cmd_PrintDC(longLine + u"\r\nnext"_s));
        const QList<QStringList> pages = pageLines(pdf);
        QCOMPARE(pages.size(), 1);
        QCOMPARE(pages[0].size(), 2);
        QVERIFY(pages[0][0].startsWith(u"begin xxx"_s));
        QVERIFY(!pages[0][0].contains(u"END"_s));
        QCOMPARE(pages[0][1], u"next"_s);
    }

    void emptyTextAndNoPrinter()
    {
        const QString pdf = dir.filePath(u"empty.pdf"_s);
        QVERIFY(toPdf(pdf).Cmd_PrintDC(QString()));
        std::unique_ptr<poppler::document> doc(
            poppler::document::load_from_file(pdf.toStdString()));
        QVERIFY(doc);
        QCOMPARE(doc->pages(), 1);
        QVERIFY(messages.isEmpty());

        TextPrint none(nullptr, [] { return std::unique_ptr<QPrinter>(); });
        QVERIFY(!none.Cmd_PrintDC(u"text"_s));
        QCOMPARE(messages, QStringList {TextPrint::noPrinterText()});
    }
};

QTEST_MAIN(TestTextPrint)
#include "test_TextPrint.moc"
