// The estimate that lets parlo-render refuse a job before speaking it: how it
// grows with the text, the rate and the markup's silences, and when it refuses.
#include "DataColumns.h"
#include "render/JobRunner.h"
#include "render/OutputEstimate.h"
#include "speech/SapiXmlParser.h"

#include <QtTest>

using namespace Qt::StringLiterals;

class TestOutputEstimate : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { qputenv("LC_ALL", "C"); }

    // What the voices take, measured once: a Chinese character about 0.26 s,
    // a Latin letter 0.06 s. The estimate stays under that, but not far.
    void secondsFollowTheText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("xml");
        QTest::addColumn<int>("rate");
        DataColumns::add<double>({"low", "high"});
        const QString chinese = u"今天天氣很好，我們一起到公園散步。"_s.repeated(6);
        const QString english = u"The quick brown fox jumps over the lazy dog. "_s.repeated(10);
        QTest::newRow("Chinese") << chinese << false << 0 << 15.0 << 26.7;
        QTest::newRow("English") << english << false << 0 << 14.0 << 28.3;
        QTest::newRow("Chinese, three times as fast") << chinese << false << 10 << 5.0 << 8.9;
        QTest::newRow("Chinese, three times as slow") << chinese << false << -10 << 45.0 << 80.1;
        QTest::newRow("ten long silences are ten minutes at most")
            << u"<silence msec=\"600000\"/>"_s.repeated(10) << true << 0 << 599.0 << 601.0;
        QTest::newRow("silence tags read as text without --xml")
            << u"<silence msec=\"600000\"/>"_s << false << 0 << 0.5 << 5.0;
        QTest::newRow("a rate tag slows what it holds")
            << u"<rate absspeed=\"-10\">"_s + chinese + u"</rate>"_s << true << 5 << 45.0 << 80.1;
        // Spoken in 625 pieces of 160 digits, each read as "一百六十位數字".
        QTest::newRow("a hundred thousand digits are read as counts")
            << QString(100000, u'9') << false << 0 << 800.0 << 1000.0;
        QTest::newRow("32 digits are read one by one")
            << QString(32, u'9') << false << 0 << 6.0 << 8.0;
        // Seven pieces, the last of 40 digits, each said as its count
        // (一百六十位數字): 9.8 s; the voice takes about 12 s.
        QTest::newRow("a thousand digits: the short last piece is a count too")
            << QString(1000, u'9') << false << 0 << 9.5 << 12.2;
    }
    void secondsFollowTheText()
    {
        QFETCH(QString, text);
        QFETCH(bool, xml);
        QFETCH(int, rate);
        const auto [low, high] = DataColumns::fetch<double>("low", "high");
        RenderSettings settings;
        settings.xml = xml;
        settings.rate = rate;
        const OutputEstimate::Estimate e = OutputEstimate::of(text, settings);
        QVERIFY2(e.seconds >= low && e.seconds <= high, qPrintable(QString::number(e.seconds)));
        // 16 kHz 16-bit mono, and nothing else asked for.
        QCOMPARE(e.bytes, qint64(e.seconds * 32000));
    }

    void otherOutputsAddTheirBytes()
    {
        const QString text = u"今天天氣很好。"_s.repeated(100);
        RenderSettings wav;
        RenderSettings all;
        all.mp3 = all.srt = all.lrc = true;
        const OutputEstimate::Estimate one = OutputEstimate::of(text, wav);
        const OutputEstimate::Estimate more = OutputEstimate::of(text, all);
        QCOMPARE(more.seconds, one.seconds);
        QVERIFY(more.bytes > one.bytes + qint64(one.seconds * 4000) - 1);
    }

    void refusal_data()
    {
        DataColumns::add<double>({"seconds", "maxSeconds"});
        QTest::addColumn<qint64>("freeBytes");
        QTest::addColumn<QString>("message");
        const qint64 mb = qint64(1) << 20;
        QTest::newRow("fits") << 60.0 << 0.0 << 100 * mb << QString();
        QTest::newRow("free space unknown") << 1.0e6 << 0.0 << qint64(-1) << QString();
        QTest::newRow("just under the limit") << 59.0 << 60.0 << 100 * mb << QString();
        QTest::newRow("at the limit") << 60.0 << 60.0 << 100 * mb << QString();
        QTest::newRow("over the limit")
            << 6000.0 << 3600.0 << 100 * mb
            << u"would last about 1 h 40 min, longer than --max-duration 1 h 00 min"_s;
        QTest::newRow("over the free space")
            << 3600.0 << 0.0 << 100 * mb
            << u"needs about 109 MB for out, but its file system has 100 MB free"_s;
    }
    void refusal()
    {
        const auto [seconds, maxSeconds] = DataColumns::fetch<double>("seconds", "maxSeconds");
        QFETCH(qint64, freeBytes);
        QFETCH(QString, message);
        const OutputEstimate::Estimate e {seconds, qint64(seconds * 32000)};
        // The message is given in both languages; its English half first.
        QCOMPARE(
            OutputEstimate::refusal(e, maxSeconds, freeBytes, u"out"_s).section(u" / "_s, 0, 0),
            message);
    }

    void freeBytesOfAFolderNotMadeYet()
    {
        QTemporaryDir dir;
        const qint64 free = OutputEstimate::freeBytesFor(dir.filePath(u"a/b/c.wav"_s));
        QVERIFY(free > 0);
        QVERIFY(std::abs(free - OutputEstimate::freeBytesFor(dir.path())) < (qint64(64) << 20));
    }
};

QTEST_GUILESS_MAIN(TestOutputEstimate)
#include "test_OutputEstimate.moc"
