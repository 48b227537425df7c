// Subtitle cues from word times and a made-up recording: no engine needed.
#include "export/Subtitles.h"

#include <QtTest>

using namespace Qt::StringLiterals;
using Subtitles::Cue;
using WordTime = TextRenderer::WordTime;

namespace
{

constexpr int Rate = 16000;

qint64 at(int ms)
{
    return qint64(ms) * Rate / 1000;
}

// Sound (a square wave) over the given [from, to) stretches in ms, silence elsewhere.
std::vector<int16_t> recording(int totalMs, const QList<QPair<int, int>> &sounding)
{
    std::vector<int16_t> pcm(size_t(at(totalMs)), 0);
    for (const auto &[from, to] : sounding)
        for (qint64 i = at(from); i < at(to); ++i)
            pcm[size_t(i)] = (i / 20) % 2 ? 9000 : -9000;
    return pcm;
}

} // namespace

class TestSubtitles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Sentences become cues; a word time before its sound moves on to the
    // sound, a cue ends where its sentence falls silent.
    void cuesFollowSentencesAndSound()
    {
        const QString text = u"你好。世界\r\nHello world."_s;
        const QList<WordTime> words {{0, 1, at(60)}, {1, 1, at(300)}, {3, 1, at(700)},
            {4, 1, at(900)}, {7, 5, at(1300)}, {13, 6, at(1600)}};
        const std::vector<int16_t> pcm
            = recording(2200, {{100, 500}, {700, 1150}, {1300, 1500}, {1620, 2000}});
        const QList<Cue> cues = Subtitles::cues(text, false, words, qint64(pcm.size()), Rate,
            Subtitles::Loudness::fromSamples(pcm.data(), qint64(pcm.size()), Rate));

        QCOMPARE(cues.size(), 3);
        QCOMPARE(cues[0].text, u"你好。"_s);
        QCOMPARE(cues[0].startMs, 100); // the word came 40 ms before its sound
        QCOMPARE(cues[0].endMs, 500);
        QCOMPARE(cues[1].text, u"世界"_s);
        QCOMPARE(cues[1].endMs, 1150);
        QCOMPARE(cues[2].text, u"Hello world."_s);
        QCOMPARE(cues[2].pieces[1].startMs, 1620);
        QCOMPARE(cues[2].endMs, 2000);

        QVERIFY(Subtitles::toSrt(cues).startsWith(
            "1\r\n00:00:00,100 --> 00:00:00,500\r\n你好。\r\n\r\n2\r\n00:00:00,700 -->"_ba));
        const QByteArray lrc = Subtitles::toLrc(cues, u"課 一"_s, 2200);
        QVERIFY(lrc.startsWith(
            "[ti:課 一]\r\n[length:00:02]\r\n[00:00.10]<00:00.10>你<00:00.30>好。\r\n"_ba));
        QVERIFY(lrc.endsWith("[00:01.30]<00:01.30>Hello <00:01.62>world.\r\n[00:02.00]\r\n"_ba));
    }

    // Markup is not shown; word positions point into the markup.
    void markupIsLeftOut()
    {
        const QString text = uR"(<rate speed="2">你好</rate>。<silence msec="300"/>再見。)"_s;
        const int ni = int(text.indexOf(u'你'));
        const int zai = int(text.indexOf(u'再'));
        const QList<WordTime> words {
            {ni, 1, 0}, {ni + 1, 1, at(200)}, {zai, 1, at(900)}, {zai + 1, 1, at(1100)}};
        const QList<Cue> cues = Subtitles::cues(text, true, words, at(1500), Rate);
        QCOMPARE(cues.size(), 2);
        QCOMPARE(cues[0].text, u"你好。"_s);
        QCOMPARE(cues[0].endMs, 900); // no audio given: up to the next cue
        QCOMPARE(cues[1].text, u"再見。"_s);
        QCOMPARE(cues[1].pieces[1].text, u"見。"_s);
    }

    // The LRC length is the recording's, to the nearest second.
    void lrcLength_data()
    {
        QTest::addColumn<qint64>("lengthMs");
        QTest::addColumn<QByteArray>("length");
        QTest::newRow("nothing") << qint64(0) << "00:00"_ba;
        QTest::newRow("just under a half") << qint64(2499) << "00:02"_ba;
        QTest::newRow("a half rounds up") << qint64(2500) << "00:03"_ba;
        QTest::newRow("into the next minute") << qint64(59500) << "01:00"_ba;
    }
    void lrcLength()
    {
        QFETCH(qint64, lengthMs);
        QFETCH(QByteArray, length);
        QCOMPARE(
            Subtitles::toLrc({}, u"t"_s, lengthMs), "[ti:t]\r\n[length:"_ba + length + "]\r\n");
    }

    void times()
    {
        QCOMPARE(Subtitles::srtTime(3723004), u"01:02:03,004"_s);
        QCOMPARE(Subtitles::lrcTime(61235), u"01:01.24"_s);
        QCOMPARE(Subtitles::lrcTime(6000000), u"100:00.00"_s);
    }
};

QTEST_GUILESS_MAIN(TestSubtitles)
#include "test_Subtitles.moc"
