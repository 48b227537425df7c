#include "document/AppFont.h"

#include <QtTest>

class TestAppFont : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void ordersFamilies_data()
    {
        QTest::addColumn<QStringList>("families");
        QTest::addColumn<QStringList>("expected");

        QTest::newRow("empty") << QStringList() << QStringList();
        QTest::newRow("chinese first, case ignored")
            << QStringList {QStringLiteral("arial Black"), QStringLiteral("Arial"),
                   QStringLiteral("新細明體")}
            << QStringList {QStringLiteral("新細明體"), QStringLiteral("Arial"),
                   QStringLiteral("arial Black")};
        QTest::newRow("vertical variants left out")
            << QStringList {QStringLiteral("@新細明體"), QStringLiteral("Tahoma"),
                   QStringLiteral("新細明體"), QStringLiteral("@Arial")}
            << QStringList {QStringLiteral("新細明體"), QStringLiteral("Tahoma")};
        QTest::newRow("only vertical") << QStringList {QStringLiteral("@標楷體")} << QStringList();
        QTest::newRow("empty name dropped") << QStringList {QString(), QStringLiteral("Courier")}
                                            << QStringList {QStringLiteral("Courier")};
        QTest::newRow("equal names kept") << QStringList {QStringLiteral("Noto"),
            QStringLiteral("標楷體"), QStringLiteral("Noto")}
                                          << QStringList {QStringLiteral("標楷體"),
                                                 QStringLiteral("Noto"), QStringLiteral("Noto")};
        // Each group is sorted on its own: the double-byte group by code unit too.
        QTest::newRow("groups sorted separately")
            << QStringList {QStringLiteral("Verdana"), QStringLiteral("細明體"),
                   QStringLiteral("Arial"), QStringLiteral("標楷體"), QStringLiteral("ÉcolePro")}
            << QStringList {QStringLiteral("ÉcolePro"), QStringLiteral("標楷體"),
                   QStringLiteral("細明體"), QStringLiteral("Arial"), QStringLiteral("Verdana")};
        QTest::newRow("digits and symbols are single-byte")
            << QStringList {QStringLiteral("微軟正黑體"), QStringLiteral("3of9"),
                   QStringLiteral("_Mono")}
            << QStringList {
                   QStringLiteral("微軟正黑體"), QStringLiteral("3of9"), QStringLiteral("_Mono")};
    }
    void ordersFamilies()
    {
        QFETCH(QStringList, families);
        QFETCH(QStringList, expected);
        QCOMPARE(AppFont::OrderFontFamilies(families), expected);
    }

    // The count right-aligned in a field of 15, wider numbers whole.
    void formatsCharCount_data()
    {
        QTest::addColumn<qsizetype>("count");
        QTest::addColumn<QString>("digits");
        QTest::newRow("zero") << qsizetype(0) << QStringLiteral("0");
        QTest::newRow("clip size") << qsizetype(1048500) << QStringLiteral("1048500");
        QTest::newRow("fills field")
            << qsizetype(123456789012345LL) << QStringLiteral("123456789012345");
        QTest::newRow("wider than field")
            << qsizetype(1234567890123456LL) << QStringLiteral("1234567890123456");
    }
    void formatsCharCount()
    {
        QFETCH(qsizetype, count);
        QFETCH(QString, digits);
        QCOMPARE(AppFont::FormatCharCount(count),
            QStringLiteral("總字數： ") + digits.rightJustified(15, QLatin1Char(' ')));
    }
};

QTEST_GUILESS_MAIN(TestAppFont)
#include "test_AppFont.moc"
