#include "shell/AppFont.h"

#include <QtTest>

using namespace Qt::StringLiterals;

class TestAppFont : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void ordersFamilies_data()
    {
        QTest::addColumn<QStringList>("families");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("empty") << QStringList() << QStringList();
        QTest::newRow("chinese first, case ignored") << QStringList {u"arial Black"_s, u"Arial"_s,
            u"新細明體"_s} << QStringList {u"新細明體"_s, u"Arial"_s, u"arial Black"_s};
        QTest::newRow("vertical variants left out") << QStringList {u"@新細明體"_s, u"Tahoma"_s,
            u"新細明體"_s, u"@Arial"_s} << QStringList {u"新細明體"_s, u"Tahoma"_s};
        QTest::newRow("empty name dropped")
            << QStringList {QString(), u"Courier"_s} << QStringList {u"Courier"_s};
        QTest::newRow("equal names kept") << QStringList {u"Noto"_s, u"標楷體"_s, u"Noto"_s}
                                          << QStringList {u"標楷體"_s, u"Noto"_s, u"Noto"_s};
        // Each group is sorted on its own: the double-byte group by code unit too.
        QTest::newRow("groups sorted separately")
            << QStringList {u"Verdana"_s, u"細明體"_s, u"Arial"_s, u"標楷體"_s, u"ÉcolePro"_s}
            << QStringList {u"ÉcolePro"_s, u"標楷體"_s, u"細明體"_s, u"Arial"_s, u"Verdana"_s};
        QTest::newRow("digits and symbols are single-byte") << QStringList {u"微軟正黑體"_s,
            u"3of9"_s, u"_Mono"_s} << QStringList {u"微軟正黑體"_s, u"3of9"_s, u"_Mono"_s};
    }
    void ordersFamilies()
    {
        QFETCH(QStringList, families);
        QTEST(AppFont::OrderFontFamilies(families), "expected");
    }

    // The count right-aligned in a field of 15, wider numbers whole.
    void formatsCharCount_data()
    {
        QTest::addColumn<qsizetype>("count");
        QTest::addColumn<QString>("digits");
        QTest::newRow("zero") << qsizetype(0) << u"0"_s;
        QTest::newRow("fills field") << qsizetype(123456789012345LL) << u"123456789012345"_s;
        QTest::newRow("wider than field") << qsizetype(1234567890123456LL) << u"1234567890123456"_s;
    }
    void formatsCharCount()
    {
        QFETCH(qsizetype, count);
        QFETCH(QString, digits);
        QCOMPARE(AppFont::FormatCharCount(count),
            u"總字數： "_s + digits.rightJustified(15, QLatin1Char(' ')));
    }
};

QTEST_GUILESS_MAIN(TestAppFont)
#include "test_AppFont.moc"
