#include "shell/AppSort.h"

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
// accented Latin, CJK and a surrogate pair, so that every comparison path runs
// (ordinal code units, case ignored, prefixes) and short names repeat.
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
    void sortsLikeStdSort_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<quint32>("seed");
        QTest::newRow("empty") << 0 << 1u;
        QTest::newRow("one") << 1 << 1u;
        QTest::newRow("2000") << 2000 << 7u;
        QTest::newRow("odd 1999") << 1999 << 3u;
    }
    void sortsLikeStdSort()
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
