#include "document/AppSort.h"

#include <QtTest>

#include <algorithm>
#include <numeric>

namespace
{

// Whether idx names every position of a list of n exactly once.
bool isPermutation(QList<int> idx, qsizetype n)
{
    std::sort(idx.begin(), idx.end());
    QList<int> all(n);
    std::iota(all.begin(), all.end(), 0);
    return idx == all;
}

// A name of 1 to 12 characters drawn from a mix of cases, digits, spaces,
// accented Latin, CJK and a surrogate pair, so that every comparison path runs.
QString randomName(QRandomGenerator &rng)
{
    static const QString alphabet = QStringLiteral("aAbBcCxXyYzZ09 _-éÉ字型新細明體")
        + QChar(0xD83D) + QChar(0xDE00) + QChar(0xFF21);
    const int len = int(rng.bounded(1, 13));
    QString s;
    for (int i = 0; i < len; ++i)
        s.append(alphabet.at(rng.bounded(int(alphabet.size()))));
    return s;
}

} // namespace

class TestAppSort : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void ordersSmallLists_data()
    {
        QTest::addColumn<QStringList>("list");
        QTest::addColumn<QList<int>>("expected");
        QTest::newRow("empty") << QStringList() << QList<int>();
        QTest::newRow("case ignored") << QStringList {QStringLiteral("apple"),
            QStringLiteral("Zebra"), QStringLiteral("Mango")}
                                      << QList<int> {0, 2, 1};
        QTest::newRow("prefix first") << QStringList {QStringLiteral("arial Black"),
            QStringLiteral("Arial")} << QList<int> {1, 0};
        // Ordinal, not locale order: accented letters come after every ASCII letter.
        QTest::newRow("ordinal accents") << QStringList {QStringLiteral("é"), QStringLiteral("z"),
            QStringLiteral("e")} << QList<int> {2, 1, 0};
        // UTF-16 code units, not code points: a surrogate (0xD83D) is below U+FF21.
        QTest::newRow("code units")
            << QStringList {QString(QChar(0xFF21)), QString(QChar(0xD83D)) + QChar(0xDE00)}
            << QList<int> {1, 0};
    }
    void ordersSmallLists()
    {
        QFETCH(QStringList, list);
        const QStringList before = list;
        QTEST(AppSort::SortIndex(list, true), "expected");
        QCOMPARE(list, before);
    }

    void equalStringsKeepEveryPosition()
    {
        const QStringList list {QStringLiteral("Ming"), QStringLiteral("a"), QStringLiteral("ming"),
            QStringLiteral("MING")};
        const QList<int> idx = AppSort::SortIndex(list, true);
        QVERIFY(isPermutation(idx, list.size()));
        QCOMPARE(idx.first(), 1);
    }

    void largeListsMatchStdSort_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<quint32>("seed");
        QTest::newRow("2000") << 2000 << 7u;
        QTest::newRow("odd 1999") << 1999 << 3u;
    }
    void largeListsMatchStdSort()
    {
        QFETCH(int, count);
        QFETCH(quint32, seed);
        QRandomGenerator rng(seed);
        QStringList list;
        for (int i = 0; i < count; ++i)
            list.append(randomName(rng));
        const QList<int> idx = AppSort::SortIndex(list, true);
        QVERIFY(isPermutation(idx, count));
        QStringList expected;
        for (const QString &s : list)
            expected.append(s.toLower());
        std::sort(expected.begin(), expected.end(),
            [](const QString &a, const QString &b) { return QString::compare(a, b) < 0; });
        QStringList got;
        for (int i : idx)
            got.append(list.at(i).toLower());
        QCOMPARE(got, expected);
    }
};

QTEST_GUILESS_MAIN(TestAppSort)
#include "test_AppSort.moc"
