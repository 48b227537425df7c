// Which chapters of a book are marked, when each is heard, and the names of
// the files a split book is written to.

#include "render/BookChapters.h"

#include <QtTest>

using namespace Qt::StringLiterals;
using BookChapters::Planned;

using Chapters = QList<Document::Chapter>;
Q_DECLARE_METATYPE(QList<Planned>)

namespace
{
QString describe(const QList<Planned> &chapters)
{
    QStringList parts;
    for (const Planned &p : chapters)
        parts.append(u"%1@%2"_s.arg(p.title).arg(p.offset));
    return parts.join(u", ");
}
} // namespace

class TestBookChapters : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void plan_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<Chapters>("chapters");
        QTest::addColumn<int>("level");
        QTest::addColumn<QString>("expected");

        auto row = [](const char *name, const QString &text, const Chapters &chapters,
                       const QString &expected, int level = 1) {
            QTest::newRow(name) << text << chapters << level << expected;
        };
        const QString book
            = u"序\r\n很久以前。\r\n第一章 上山\r\n他上山了。\r\n第二章 下山\r\n他下山了。"_s;
        const qsizetype one = book.indexOf(u"第一章"), two = book.indexOf(u"第二章");
        const Chapters three = {{u"序"_s, 0}, {u"第一章 上山"_s, one}, {u"第二章 下山"_s, two}};
        const QString both = u"第一章 上山@%1, 第二章 下山@%2"_s.arg(one).arg(two);
        row("three", book, three, u"序@0, "_s + both);
        row("no chapters: one, the book's title", book, {}, u"書名@0"_s);
        row("text before the first heading", book, {three[1], three[2]}, u"書名@0, "_s + both);
        row("blank before the first heading: it starts at 0", u"\r\n  \r\n第一章\r\n文字。"_s,
            {{u"第一章"_s, 6}}, u"第一章@0"_s);
        row("sections kept at level 2", book, {three[0], three[1], {u"一節"_s, one + 8, 2}},
            u"序@0, 第一章 上山@%1, 一節@%2"_s.arg(one).arg(one + 8), 2);
        row("sections dropped at level 1", book, {three[0], {u"一節"_s, one + 8, 2}}, u"序@0"_s);
        row("two entries at one place: the outer", u"甲\r\n乙。"_s,
            {{u"空"_s, 0}, {u"也空"_s, 0}, {u"乙"_s, 3}}, u"空@0, 乙@3"_s);
        row("a chapter of blanks only is skipped", u"甲。\r\n \r\n乙。"_s,
            {{u"甲"_s, 0}, {u"空白"_s, 3}, {u"乙"_s, 7}}, u"甲@0, 乙@7"_s);
        row("a heading with nothing after it is skipped",
            u"第一章\r\n甲。\r\n第二章\r\n\r\n第三章\r\n丙。"_s,
            {{u"第一章"_s, 0}, {u"第二章"_s, 9}, {u"第三章"_s, 16}}, u"第一章@0, 第三章@16"_s);
        row("out of range and backwards entries are dropped", book,
            {three[0], three[2], three[1], {u"外"_s, 9999}}, u"序@0, 第二章 下山@%1"_s.arg(two));
        row("an untitled chapter takes the book's title", book, {three[0], {QString(), two}},
            u"序@0, 書名@%1"_s.arg(two));
    }

    void plan()
    {
        QFETCH(QString, text);
        QFETCH(Chapters, chapters);
        QFETCH(int, level);
        Document::Book book;
        book.chapters = chapters;
        QTEST(describe(BookChapters::plan(book, text, level, u"書名"_s, false)), "expected");
    }

    void startSamples_data()
    {
        QTest::addColumn<QList<int>>("offsets");
        QTest::addColumn<QList<qint64>>("expected");
        // Words at offsets 0, 5, 10, 15 heard at 0, 1000, 2000, 3000; 4000 in all.
        QTest::newRow("on words") << QList<int> {0, 5, 15} << QList<qint64> {0, 1000, 3000};
        QTest::newRow("between words: the next")
            << QList<int> {0, 6, 11} << QList<qint64> {0, 2000, 3000};
        QTest::newRow("the first is 0 wherever it is")
            << QList<int> {3, 10} << QList<qint64> {0, 2000};
        QTest::newRow("after the last word: the end")
            << QList<int> {0, 16} << QList<qint64> {0, 4000};
    }

    void startSamples()
    {
        QFETCH(QList<int>, offsets);
        QList<Planned> chapters;
        for (int o : offsets)
            chapters.append({u"章"_s, o});
        QList<TextRenderer::WordTime> words;
        for (int i = 0; i < 4; ++i)
            words.append({i * 5, 3, i * 1000});
        QTEST(BookChapters::startSamples(chapters, words, 4000), "expected");
    }

    void fileNames_data()
    {
        QTest::addColumn<QStringList>("titles");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("numbered") << QStringList {u"序"_s, u"上山"_s}
                                  << QStringList {u"01 序"_s, u"02 上山"_s};
        QTest::newRow("slashes, controls, leading dots")
            << QStringList {u"a/b\\c"_s, u"x\u0007y\ttab"_s, u"..hidden"_s, u"/"_s}
            << QStringList {u"01 a b c"_s, u"02 x y tab"_s, u"03 hidden"_s, u"04"_s};
        QTest::newRow("duplicates numbered") << QStringList {u"序"_s, u"序"_s, u"後記"_s,
            u"序"_s} << QStringList {u"01 序"_s, u"02 序 (2)"_s, u"03 後記"_s, u"04 序 (3)"_s};
        QTest::newRow("long title cut, not inside a pair")
            << QStringList {QString(59, u'長') + u"\U0001F600"_s + u"尾"_s}
            << QStringList {u"01 "_s + QString(59, u'長')};
        QStringList hundred, hundredNames;
        for (int i = 1; i <= 100; ++i) {
            hundred.append(u"章"_s);
            hundredNames.append(u"%1 章"_s.arg(i, 3, 10, QLatin1Char('0'))
                + (i > 1 ? u" (%1)"_s.arg(i) : QString()));
        }
        QTest::newRow("a hundred chapters: three digits") << hundred << hundredNames;
    }

    void fileNames()
    {
        QFETCH(QStringList, titles);
        QList<Planned> chapters;
        for (const QString &t : titles)
            chapters.append({t, 0});
        QTEST(BookChapters::fileNames(chapters), "expected");
    }
};

QTEST_GUILESS_MAIN(TestBookChapters)
#include "test_BookChapters.moc"
