// How far the Mandarin reading of one number can go: a digit string is read
// digit by digit only while a listener could follow it.
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
};

QTEST_GUILESS_MAIN(TestMandarinNormalizer)
#include "test_MandarinNormalizer.moc"
