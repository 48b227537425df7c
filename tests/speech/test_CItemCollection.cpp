// The paged record collection: paging, the current page, removal by backup
// and restore, and sorting, searching and thinning through the owner's
// comparisons.

#include "speech/CItemCollection.h"

#include <QtTest>
#include <algorithm>

namespace
{

// A collection whose owner orders records by element 0 as text.
struct Owned {
    CItemCollection items;
    QList<QPair<qint32, qint32>> compared;
    QList<qint32> probed;

    Owned()
    {
        items.setCompareItems([this](qint32 a, qint32 b, qint16 &result) {
            compared.append({a, b});
            result = qint16(qBound(-1, value(a).compare(value(b)), 1));
        });
        items.setCompareKey([this](QVariant &key, qint32 index, qint16 &result) {
            probed.append(index);
            result = qint16(qBound(-1, key.toString().compare(value(index)), 1));
        });
    }
    QString value(qint32 position) const { return items.Items(position)->GetVal(0); }
    void append(const QStringList &values)
    {
        for (const QString &v : values)
            items.AppendItem()->SetVal(v, 0);
    }
    QStringList values() const
    {
        QStringList all;
        for (qint32 k = 1; k <= items.Count(); ++k)
            all.append(value(k));
        return all;
    }
};

// Zero-padded, so text order is number order.
QString key(int n)
{
    return QStringLiteral("%1").arg(n, 5, 10, QLatin1Char('0'));
}

QStringList numbered(int count)
{
    QStringList list;
    for (int k = 1; k <= count; ++k)
        list.append(key(k));
    return list;
}

} // namespace

class TestCItemCollection : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void record()
    {
        CItemUI r;
        QCOMPARE(r.Max(), qint16(0));
        r.SetVal(QStringLiteral("one"), 1); // a fresh record already has element 1
        r.SetVal(QStringLiteral("two"), 2); // ignored
        QCOMPARE(r.GetVal(2), QString());
        QCOMPARE(r.GetVal(-1), QString());
        r.setMax(3);
        r.SetVal(QStringLiteral("three"), 3);
        QCOMPARE(r.GetVal(1), QStringLiteral("one"));

        CItemUI narrow;
        narrow.setMax(1);
        narrow.Copy(r); // only elements 0 … 1
        QCOMPARE(narrow.GetVal(1), QStringLiteral("one"));
        QCOMPARE(narrow.GetVal(3), QString());
    }

    void paging_data()
    {
        QTest::addColumn<int>("appended");
        QTest::addColumn<int>("pages");
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("place");
        QTest::newRow("500 fill one page") << 500 << 1 << 500 << 1 << 500;
        QTest::newRow("501st starts page 2") << 501 << 2 << 501 << 2 << 1;
        QTest::newRow("500 is the last of page 1") << 501 << 2 << 500 << 1 << 500;
        QTest::newRow("1001st starts page 3") << 1001 << 3 << 1001 << 3 << 1;
        QTest::newRow("inside page 2") << 1001 << 3 << 777 << 2 << 277;
    }
    void paging()
    {
        QFETCH(int, appended);
        QFETCH(int, pages);
        QFETCH(int, position);
        QFETCH(int, page);
        QFETCH(int, place);
        Owned o;
        o.append(numbered(appended));
        QCOMPARE(o.items.Count(), appended);
        QCOMPARE(o.items.PoolN(), pages);
        QCOMPARE(int(o.items.PoolUIs(pages)->size()), (appended - 1) % 500 + 1);
        CItemUI *record = o.items.Items(position);
        QVERIFY(record);
        QCOMPARE(record->GetVal(0), key(position));
        QCOMPARE(o.items.PoolItems(page, place), record);
        QCOMPARE(o.items.Items(appended + 1), nullptr);
        QCOMPARE(o.items.Items(0), nullptr);

        o.items.setPoolLoca(page);
        QCOMPARE(o.items.ItemsEx(position), record);
    }

    void poolLocaIndex_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("page");
        QTest::newRow("past the half") << 251 << 2;
        QTest::newRow("1.5 rounds to 2") << 750 << 3;
        QTest::newRow("2.5 rounds to 2") << 1250 << 3;
    }
    void poolLocaIndex()
    {
        QFETCH(int, position);
        CItemPool pool;
        pool.setPoolLoca(2);
        pool.setPoolLocaIndex(position);
        QTEST(pool.PoolLoca(), "page");
        QCOMPARE(pool.Base(), 500); // left as it was
        pool.setPoolLoca(0);
        QCOMPARE(pool.Base(), 0);
    }

    void backupRestore_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("removed");
        QTest::newRow("round trip") << 6 << 3 << 0;
        QTest::newRow("two in the middle") << 6 << 3 << 2;
        QTest::newRow("the first") << 6 << 1 << 1;
        QTest::newRow("count past the end") << 6 << 5 << 10;
        QTest::newRow("across the page boundary") << 1200 << 498 << 5;
        QTest::newRow("position beyond count") << 6 << 7 << 1;
    }
    void backupRestore()
    {
        QFETCH(int, count);
        QFETCH(int, position);
        QFETCH(int, removed);
        Owned o;
        o.append(numbered(count));
        QList<CItemUI *> before;
        for (int k = 1; k <= count; ++k)
            before.append(o.items.Items(k));

        o.items.Backup(position);
        if (position <= count) {
            QVERIFY(o.items.HasBackup());
            QCOMPARE(o.items.Count(), position - 1);
        }
        o.items.Restore(position, removed);
        QVERIFY(!o.items.HasBackup());

        QList<CItemUI *> expected = before;
        if (position <= count)
            expected.remove(position - 1, qMin(removed, count - position + 1));
        QCOMPARE(o.items.Count(), expected.size());
        QCOMPARE(o.items.PoolN(), qMax(1, int((expected.size() + 499) / 500)));
        for (int k = 1; k <= o.items.Count(); ++k)
            QCOMPARE(o.items.Items(k), expected.at(k - 1)); // the same objects, in order
    }

    void clearAndAppendUI()
    {
        Owned o;
        o.items.setElementN(3);
        o.append(numbered(600));
        o.items.Clear();
        QCOMPARE(o.items.Count(), 0);
        QCOMPARE(o.items.PoolN(), 1);
        QCOMPARE(o.items.AppendItem()->Max(), qint16(3));

        auto own = std::make_shared<CItemUI>();
        own->setMax(3);
        own->SetVal(QStringLiteral("kept"), 2);
        own->SetVal(QStringLiteral("emptied"), 3);
        o.items.AppendUI(own);
        QCOMPARE(o.items.Items(2), own.get());
        QCOMPARE(own->GetVal(2), QStringLiteral("kept"));
        QCOMPARE(own->GetVal(3), QString());
    }

    void sortAndSearch_data()
    {
        QTest::addColumn<QStringList>("values");
        QRandomGenerator random(20240611);
        QStringList spread, crowded;
        for (int k = 0; k < 3000; ++k)
            spread.append(key(random.bounded(100000)));
        for (int k = 0; k < 1500; ++k)
            crowded.append(key(random.bounded(12)));
        QStringList reversed = numbered(700);
        std::reverse(reversed.begin(), reversed.end());
        QTest::newRow("3000 random") << spread;
        QTest::newRow("1500 with many equal") << crowded;
        QTest::newRow("reversed") << reversed;
        QTest::newRow("empty") << QStringList();
    }
    void sortAndSearch()
    {
        QFETCH(QStringList, values);
        Owned o;
        o.append(values);
        o.items.QSort();
        QStringList expected = values;
        std::sort(expected.begin(), expected.end());
        QCOMPARE(o.values(), expected);

        for (const QString &v : std::as_const(values)) {
            const qint32 at = o.items.BSearch(v);
            QVERIFY2(at >= 0, qPrintable(v));
            QCOMPARE(o.value(at + 1), v);
        }
        QCOMPARE(o.items.BSearch(QStringLiteral("absent")), -1);
        QCOMPARE(o.items.BSearch(key(-1)), -1); // sorts before every record
    }

    // The comparisons of one sort, pivot index rounding halves to even.
    void sortComparesInOrder()
    {
        Owned o;
        o.append({key(5), key(1), key(4), key(2), key(3)});
        o.items.setRandomSource([] { return 0.5; });
        o.items.QSort();
        QCOMPARE(o.values(), numbered(5));
        const QList<QPair<qint32, qint32>> expected
            = {{1, 5}, {5, 5}, {4, 5}, {1, 5}, {2, 5}, {3, 5}, {1, 3}, {2, 3}, {1, 2}};
        QCOMPARE(o.compared, expected);
    }

    void bsearchProbes_data()
    {
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("found");
        QTest::addColumn<QList<qint32>>("probes");
        const QStringList abcd
            = {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d")};
        QTest::newRow("one record, found")
            << QStringList {QStringLiteral("m")} << QStringLiteral("m") << 0 << QList<qint32> {1};
        QTest::newRow("first") << abcd << QStringLiteral("a") << 0 << QList<qint32> {3, 1};
        QTest::newRow("last") << abcd << QStringLiteral("d") << 3 << QList<qint32> {3, 4};
        QTest::newRow("between") << abcd << QStringLiteral("bb") << -1 << QList<qint32> {3, 1, 2};
        QTest::newRow("empty") << QStringList() << QStringLiteral("a") << -1 << QList<qint32> {};
    }
    void bsearchProbes()
    {
        QFETCH(QStringList, values);
        QFETCH(QString, key);
        Owned o;
        o.append(values);
        QTEST(o.items.BSearch(key), "found");
        QTEST(o.probed, "probes");
    }

    void removeDuplicate_data()
    {
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<QStringList>("kept");
        const QString a = QStringLiteral("a"), b = QStringLiteral("b");
        QStringList pairs, halves;
        for (int k = 1; k <= 350; ++k) {
            pairs << key(k) << key(k);
            halves << key(k);
        }
        QTest::newRow("a a a b") << QStringList {a, a, a, b} << QStringList {a, b};
        QTest::newRow("only neighbours count") << QStringList {a, b, a} << QStringList {a, b, a};
        QTest::newRow("all equal") << QStringList {b, b, b} << QStringList {b};
        QTest::newRow("pairs over two pages") << pairs << halves;
    }
    void removeDuplicate()
    {
        QFETCH(QStringList, values);
        Owned o;
        o.append(values);
        CItemUI *first = o.items.Items(1);
        o.items.RemoveDuplicate();
        QTEST(o.values(), "kept");
        QCOMPARE(o.items.Items(1), first); // the first of a run stays
    }

    void noOwnerMeansEqual()
    {
        CItemCollection items;
        items.AppendItem()->SetVal(QStringLiteral("x"), 0);
        items.AppendItem()->SetVal(QStringLiteral("y"), 0);
        QCOMPARE(items.BSearch(QStringLiteral("anything")), 0);
        items.RemoveDuplicate();
        QCOMPARE(items.Count(), 1);
    }
};

QTEST_GUILESS_MAIN(TestCItemCollection)
#include "test_CItemCollection.moc"
