#include "speech/CItemCollection.h"

#include <QtTest>

namespace
{

struct Owned {
    CItemCollection items;
    QString value(qint32 position) const { return items.Items(position)->GetVal(0); }
    void append(const QStringList &values)
    {
        for (const QString &v : values)
            items.AppendItem()->SetVal(v, 0);
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
    }

    void clearKeepsTheElementCount()
    {
        Owned o;
        o.items.setElementN(3);
        o.append(numbered(600));
        o.items.Clear();
        QCOMPARE(o.items.Count(), 0);
        QCOMPARE(o.items.PoolN(), 1);
        QCOMPARE(o.items.AppendItem()->Max(), qint16(3));
    }
};

QTEST_GUILESS_MAIN(TestCItemCollection)
#include "test_CItemCollection.moc"
