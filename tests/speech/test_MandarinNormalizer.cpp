// How far the Mandarin reading of one number can go: a digit string is read
// digit by digit only while a listener could follow it. And clock times, read
// the way Taiwan says them.
#include "speech/MandarinNormalizer.h"

#include <QtTest>

using namespace Qt::StringLiterals;

class TestMandarinNormalizer : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void longNumbersAreBounded_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        const QString max = QString(MandarinNormalizer::MaxSpelledDigits, u'7');
        QTest::newRow("17 digits, one by one")
            << u"12345678901234567"_s << u"一二三四五六七八九零一二三四五六七"_s;
        QTest::newRow("as many digits as are spelled")
            << max << QString(MandarinNormalizer::MaxSpelledDigits, u'七');
        QTest::newRow("one digit more is counted") << max + u'7' << u"三十三位數字"_s;
        QTest::newRow("a hundred thousand digits") << QString(100000, u'9') << u"十萬位數字"_s;
        QTest::newRow("endless decimals") << u"3."_s + QString(5000, u'1') << u"三點五千位數字"_s;
    }
    void longNumbersAreBounded()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(MandarinNormalizer::normalize(text), expected);
    }

    // A number one dials is said digit by digit; after 打 alone it may be a
    // score or a count.
    void dialledNumbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("撥打119") << u"請撥打119求救"_s << u"請撥打一一九求救"_s;
        QTest::newRow("a hotline in groups")
            << u"热线400-820-1234"_s << u"热线四零零，八二零，一二三四"_s;
        QTest::newRow("before a comma") << u"撥打119，切勿"_s << u"撥打一一九,切勿"_s;
        QTest::newRow("before a comma and a number")
            << u"拨打95588，24小时"_s << u"拨打九五五八八,二十四小时"_s;
        QTest::newRow("a thousands group is no dialling") << u"撥打1,000次"_s << u"撥打一千次"_s;
        QTest::newRow("Simplified 拨打110") << u"拨打110报警"_s << u"拨打一一零报警"_s;
        QTest::newRow("a toll-free line") << u"專線0800123456"_s << u"專線零八零零一二三四五六"_s;
        QTest::newRow("a score after 打") << u"打100分"_s << u"打一百分"_s;
        QTest::newRow("a price after a line")
            << u"專線費用1999元"_s << u"專線費用一千九百九十九元"_s;
    }
    void dialledNumbers()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(MandarinNormalizer::normalize(text), expected);
    }

    // 十 stands alone only at the head of a number (十五); elsewhere it is
    // 一十 (一百一十), also after the 零 that opens a later group of four.
    void tensInLaterGroups_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("15") << u"15"_s << u"十五"_s;
        QTest::newRow("110") << u"110"_s << u"一百一十"_s;
        QTest::newRow("10010") << u"10010"_s << u"一萬零一十"_s;
        QTest::newRow("20015") << u"20015"_s << u"兩萬零一十五"_s;
        QTest::newRow("100000010") << u"100000010"_s << u"一億零一十"_s;
    }
    void tensInLaterGroups()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(MandarinNormalizer::normalize(text), expected);
    }

    // Dates up to the 31st, in either way of writing them.
    void dates_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("2024/1/31") << u"2024/1/31"_s << u"二零二四年一月三十一日"_s;
        QTest::newRow("2024-12-31") << u"2024-12-31"_s << u"二零二四年十二月三十一日"_s;
        QTest::newRow("2024/1/1") << u"2024/1/1"_s << u"二零二四年一月一日"_s;
    }
    void dates()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(MandarinNormalizer::normalize(text), expected);
    }

    // Clock times: minutes below ten take 零, whole tens are read 十 and
    // 二十 (never 一十 or 零十), two o'clock is 兩點, and past 59 minutes
    // or 24 hours the numbers are no time.
    void clockTimes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("2:09") << u"2:09"_s << u"兩點零九分"_s;
        QTest::newRow("2:10") << u"2:10"_s << u"兩點十分"_s;
        QTest::newRow("2:20") << u"2:20"_s << u"兩點二十分"_s;
        QTest::newRow("12:10") << u"12:10"_s << u"十二點十分"_s;
        QTest::newRow("12:59") << u"12:59"_s << u"十二點五十九分"_s;
        QTest::newRow("from one time to another") << u"11:00-21:00"_s << u"十一點到二十一點"_s;
        QTest::newRow("12:59:59") << u"12:59:59"_s << u"十二點五十九分五十九秒"_s;
        QTest::newRow("2:10:10") << u"2:10:10"_s << u"兩點十分十秒"_s;
        QTest::newRow("10:00") << u"10:00"_s << u"十點"_s;
        QTest::newRow("24:00") << u"24:00"_s << u"二十四點"_s;
        QTest::newRow("12:60 is no time") << u"12:60"_s << u"十二:六十"_s;
        QTest::newRow("in a sentence") << u"下午2:10出發"_s << u"下午兩點十分出發"_s;
    }
    void clockTimes()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(MandarinNormalizer::normalize(text), expected);
    }
};

QTEST_GUILESS_MAIN(TestMandarinNormalizer)
#include "test_MandarinNormalizer.moc"
