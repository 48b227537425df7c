// The phone table: its shape, entries across the whole table, and how a
// phone id becomes a code and a mouth picture number.

#include "speech/CSAPI_FileID.h"

#include <QtTest>

class TestCSAPI_FileID : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void tableShape()
    {
        CSAPI_FileID table;
        QCOMPARE(table.MouthForPhone(15), QString()); // nothing before LoadTBL
        table.LoadTBL();
        table.LoadTBL(); // loading again does not add a second copy
        const CItemCollection &codes = table.PhoneCodes();
        QCOMPARE(codes.Count(), 417);
        for (qint32 k = 1; k <= codes.Count(); ++k) {
            const CItemUI *record = codes.Items(k);
            QCOMPARE(record->Max(), qint16(2));
            QCOMPARE(record->GetVal(0), QStringLiteral("%1").arg(k + 14, 3, 10, QLatin1Char('0')));
            bool ok = false;
            const int mouth = record->GetVal(1).toInt(&ok);
            QVERIFY(ok && mouth >= 2 && mouth <= 13);
        }
    }

    void phoneIds_data()
    {
        QTest::addColumn<int>("phoneId");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("mouth");
        QTest::newRow("015 first") << 15 << QStringLiteral("015") << QStringLiteral("2");
        QTest::newRow("056") << 56 << QStringLiteral("056") << QStringLiteral("4");
        QTest::newRow("151") << 151 << QStringLiteral("151") << QStringLiteral("12");
        QTest::newRow("217") << 217 << QStringLiteral("217") << QStringLiteral("13");
        QTest::newRow("300") << 300 << QStringLiteral("300") << QStringLiteral("3");
        QTest::newRow("425") << 425 << QStringLiteral("425") << QStringLiteral("6");
        QTest::newRow("431 last") << 431 << QStringLiteral("431") << QStringLiteral("3");
        QTest::newRow("1015 is 015") << 1015 << QStringLiteral("015") << QStringLiteral("2");
        QTest::newRow("30100 is 100") << 30100 << QStringLiteral("100") << QStringLiteral("6");
        QTest::newRow("7 below the table") << 7 << QStringLiteral("007") << QString();
        QTest::newRow("432 above the table") << 432 << QStringLiteral("432") << QString();
        QTest::newRow("32767 is 767") << 32767 << QStringLiteral("767") << QString();
        QTest::newRow("negative") << -15 << QStringLiteral("-015") << QString();
    }
    void phoneIds()
    {
        QFETCH(int, phoneId);
        CSAPI_FileID table;
        table.LoadTBL();
        QTEST(CSAPI_FileID::CodeName(qint16(phoneId)), "code");
        QTEST(table.MouthForPhone(qint16(phoneId)), "mouth");
    }
};

QTEST_GUILESS_MAIN(TestCSAPI_FileID)
#include "test_CSAPI_FileID.moc"
