#include "document/AppFont.h"

#include <QRandomGenerator>
#include <QtTest>

#include <algorithm>

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

    void largeListIsGroupedAndSorted()
    {
        QRandomGenerator rng(2024);
        const QString latin
            = QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ ");
        const QString han = QStringLiteral("新細明體標楷微軟正黑字型");
        QStringList families;
        int vertical = 0;
        for (int i = 0; i < 2000; ++i) {
            const QString &pool = rng.bounded(3) == 0 ? han : latin;
            QString name;
            const int len = int(rng.bounded(1, 10));
            for (int k = 0; k < len; ++k)
                name.append(pool.at(rng.bounded(int(pool.size()))));
            if (rng.bounded(10) == 0) {
                name.prepend(QLatin1Char('@'));
                ++vertical;
            }
            families.append(name);
        }
        const QStringList out = AppFont::OrderFontFamilies(families);
        QCOMPARE(out.size(), families.size() - vertical);

        auto lessNoCase = [](const QString &a, const QString &b) {
            return QString::compare(a.toLower(), b.toLower()) < 0;
        };
        QStringList wide;
        QStringList narrow;
        for (const QString &f : families) {
            if (f.startsWith(QLatin1Char('@')))
                continue;
            (f.at(0).unicode() > 0x7F ? wide : narrow).append(f);
        }
        std::sort(wide.begin(), wide.end(), lessNoCase);
        std::sort(narrow.begin(), narrow.end(), lessNoCase);
        const QStringList expected = wide + narrow;
        // Names that differ only in case may come in either order; compare lower-cased.
        for (qsizetype i = 0; i < out.size(); ++i)
            QCOMPARE(out.at(i).toLower(), expected.at(i).toLower());
        QVERIFY(std::is_permutation(out.begin(), out.end(), expected.begin(), expected.end()));
    }

    void formatsCharCount_data()
    {
        QTest::addColumn<qsizetype>("count");
        QTest::addColumn<QString>("digits");
        QTest::newRow("zero") << qsizetype(0) << QStringLiteral("0");
        QTest::newRow("one") << qsizetype(1) << QStringLiteral("1");
        QTest::newRow("limit") << qsizetype(30000) << QStringLiteral("30000");
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
        const QString text = AppFont::FormatCharCount(count);
        const QString prefix = QStringLiteral("總字數： ");
        QVERIFY(text.startsWith(prefix));
        const QString field = text.mid(prefix.size());
        QCOMPARE(field.size(), std::max<qsizetype>(15, digits.size()));
        QVERIFY(field.endsWith(digits));
        QCOMPARE(field.trimmed(), digits);
        QVERIFY(field.left(field.size() - digits.size()).trimmed().isEmpty());
    }

    void emptyTextShowsFourteenSpaces()
    {
        QCOMPARE(AppFont::FormatCharCount(0),
            QStringLiteral("總字數： ") + QString(14, QLatin1Char(' ')) + QStringLiteral("0"));
    }

    void limitTextIsFixed()
    {
        QCOMPARE(AppFont::CharLimitText(), QStringLiteral("字數上限：30000"));
    }
};

QTEST_GUILESS_MAIN(TestAppFont)
#include "test_AppFont.moc"
