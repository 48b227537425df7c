#include "DataColumns.h"
#include "speech/CItemCollection.h"

#include <QtTest>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace
{

// A collection whose owner orders records by element 0 as text.
struct Owned {
    CItemCollection items;

    explicit Owned(const QStringList &values)
    {
        for (const QString &v : values)
            items.AppendItem()->SetVal(v, 0);
        items.setCompareItems([this](qint32 a, qint32 b, qint16 &result) {
            result = qint16(qBound(-1, value(a).compare(value(b)), 1));
        });
        items.setCompareKey([this](QVariant &key, qint32 index, qint16 &result) {
            result = qint16(qBound(-1, key.toString().compare(value(index)), 1));
        });
    }
    QString value(qint32 position) const { return items.Items(position)->GetVal(0); }
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
    return u"%1"_s.arg(n, 5, 10, QLatin1Char('0'));
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
        r.SetVal(u"one"_s, 1); // a fresh record already has element 1
        r.SetVal(u"two"_s, 2); // ignored
        QCOMPARE(r.GetVal(2), QString());
        QCOMPARE(r.GetVal(-1), QString());
        r.setMax(3);
        r.SetVal(u"three"_s, 3);
        QCOMPARE(r.GetVal(1), u"one"_s);
    }

    void paging_data()
    {
        DataColumns::add<int>({"appended", "pages", "position", "page", "place"});
        QTest::newRow("500 fill one page") << 500 << 1 << 500 << 1 << 500;
        QTest::newRow("501st starts page 2") << 501 << 2 << 501 << 2 << 1;
        QTest::newRow("500 is the last of page 1") << 501 << 2 << 500 << 1 << 500;
        QTest::newRow("1001st starts page 3") << 1001 << 3 << 1001 << 3 << 1;
        QTest::newRow("inside page 2") << 1001 << 3 << 777 << 2 << 277;
    }
    void paging()
    {
        const auto [appended, pages, position, page, place]
            = DataColumns::fetch<int>("appended", "pages", "position", "page", "place");
        Owned o(numbered(appended));
        QCOMPARE(o.items.Count(), appended);
        QCOMPARE(o.items.PoolN(), pages);
        QCOMPARE(int(o.items.PoolUIs(pages)->size()), (appended - 1) % 500 + 1);
        CItemUI *record = o.items.Items(position);
        QVERIFY(record);
        QCOMPARE(record->GetVal(0), key(position));
        QCOMPARE(o.items.PoolItems(page, place), record);
        QCOMPARE(o.items.Items(appended + 1), nullptr);
        QCOMPARE(o.items.Items(0), nullptr);
    }

    void backupRestoreRemovesAcrossPages()
    {
        Owned o(numbered(1200));
        QStringList expected = numbered(1200);
        expected.remove(497, 5);
        o.items.Backup(498);
        QCOMPARE(o.items.Count(), 497);
        o.items.Restore(498, 5);
        QVERIFY(!o.items.HasBackup());
        QCOMPARE(o.values(), expected);
        QCOMPARE(o.items.PoolN(), 3);
        // Clearing drops the pages too (the phone table test shows the
        // records made afterwards keep their element count).
        o.items.Clear();
        QCOMPARE(o.items.Count(), 0);
        QCOMPARE(o.items.PoolN(), 1);
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
        QTest::newRow("3000 random") << spread;
        QTest::newRow("1500 with many equal") << crowded;
    }
    void sortAndSearch()
    {
        QFETCH(QStringList, values);
        Owned o(values);
        o.items.QSort();
        QStringList expected = values;
        std::sort(expected.begin(), expected.end());
        QCOMPARE(o.values(), expected);
        for (const QString &v : std::as_const(values))
            QCOMPARE(o.value(o.items.BSearch(v) + 1), v);
        QCOMPARE(o.items.BSearch(u"absent"_s), -1);
        QCOMPARE(o.items.BSearch(key(-1)), -1); // sorts before every record
    }

    void removeDuplicate_data()
    {
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<QStringList>("kept");
        const QString a = u"a"_s, b = u"b"_s;
        QStringList pairs, halves;
        for (int k = 1; k <= 350; ++k) {
            pairs << key(k) << key(k);
            halves << key(k);
        }
        QTest::newRow("a a a b") << QStringList {a, a, a, b} << QStringList {a, b};
        QTest::newRow("only neighbours count") << QStringList {a, b, a} << QStringList {a, b, a};
        QTest::newRow("pairs over two pages") << pairs << halves;
    }
    void removeDuplicate()
    {
        QFETCH(QStringList, values);
        Owned o(values);
        o.items.RemoveDuplicate();
        QTEST(o.values(), "kept");
    }
};

QTEST_GUILESS_MAIN(TestCItemCollection)
#include "test_CItemCollection.moc"
