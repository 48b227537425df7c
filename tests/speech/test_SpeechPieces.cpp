// The pure helpers of the voice layer: how texts are cut into pieces, how
// espeak phonemes become phone and viseme ids, and the resampler.
#include "audio/Resampler.h"
#include "speech/PhoneMap.h"
#include "speech/TextSplitter.h"

#include <QtTest>
#include <cmath>

namespace
{

// The mouth-picture table the phone ids are looked up in: mouth number of
// each code from 15 to 431, in order.
const char *const MouthTable
    = "2 10 2 2 5 2 10 6 11 5 11 11 3 8 5 2 6 2 6 2 3 2 6 6 11 2 6 6 3 2 "
      "2 6 2 3 6 6 2 7 2 3 3 4 5 2 11 3 3 4 3 3 3 2 11 9 3 2 11 6 10 3 "
      "6 6 11 8 4 6 9 2 6 6 3 3 3 3 2 2 2 3 2 6 7 2 2 2 11 6 7 3 3 2 "
      "3 2 11 3 2 2 11 11 6 3 3 3 3 2 2 2 2 7 4 3 10 11 11 2 2 11 6 11 2 3 "
      "3 3 2 11 2 2 2 2 3 4 2 6 2 2 6 4 12 3 3 3 2 3 3 2 11 6 2 2 6 6 "
      "3 3 3 3 3 2 11 2 11 11 3 11 2 10 6 2 2 6 11 6 7 2 6 2 3 11 5 7 3 3 "
      "3 3 3 2 3 3 2 3 2 10 10 11 2 6 6 11 2 4 10 3 6 10 13 11 2 11 3 2 11 10 "
      "11 2 2 10 10 3 4 11 11 11 6 7 12 3 3 3 3 11 3 2 12 3 3 2 10 2 5 3 6 8 "
      "3 4 11 2 11 7 8 3 3 3 4 2 6 5 2 6 4 8 3 3 12 3 2 8 9 2 3 13 5 6 "
      "12 3 3 3 2 11 11 3 2 6 6 11 2 11 11 3 2 11 6 11 2 12 6 6 3 8 3 12 2 11 "
      "11 2 11 11 3 7 3 2 13 11 11 7 3 11 10 11 10 3 8 6 2 4 6 3 11 7 3 2 12 2 "
      "11 3 3 2 10 10 2 11 10 3 2 3 4 2 6 4 11 10 7 11 3 3 3 2 3 3 2 11 11 2 "
      "10 4 4 12 3 3 2 12 3 2 12 2 6 6 11 2 2 6 6 3 2 6 3 2 2 11 8 11 3 12 "
      "2 2 12 2 11 2 2 11 11 2 5 11 3 3 11 11 3 2 11 7 6 2 2 3 2 2 3";

int mouthOfCode(int code)
{
    static const QList<int> table = [] {
        QList<int> out;
        const QList<QByteArray> parts = QByteArray(MouthTable).split(' ');
        for (const QByteArray &p : parts)
            out.append(p.toInt());
        return out;
    }();
    return (code >= 15 && code - 15 < table.size()) ? table.at(code - 15) : -1;
}

} // namespace

class TestSpeechPieces : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void mouthTableIsComplete() { QCOMPARE(mouthOfCode(431), 3); }

    void pieceEnd_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("cap");
        QTest::addColumn<QString>("piece");
        QTest::newRow("chinese full stop")
            << QStringLiteral("你好。再見。") << 0 << 100 << QStringLiteral("你好。");
        QTest::newRow("second sentence")
            << QStringLiteral("你好。再見！") << 3 << 100 << QStringLiteral("再見！");
        QTest::newRow("closing quote stays")
            << QStringLiteral("他說「好。」然後") << 0 << 100 << QStringLiteral("他說「好。」");
        QTest::newRow("western stop and blank")
            << QStringLiteral("Hi there. Bye.") << 0 << 100 << QStringLiteral("Hi there. ");
        QTest::newRow("decimal point is not a stop")
            << QStringLiteral("Pi is 3.14 ok") << 0 << 100 << QStringLiteral("Pi is 3.14 ok");
        QTest::newRow("crlf kept together")
            << QStringLiteral("一行\r\n二行") << 0 << 100 << QStringLiteral("一行\r\n");
        QTest::newRow("lone lf") << QStringLiteral("a\nb") << 0 << 100 << QStringLiteral("a\n");
        QTest::newRow("cap breaks after a blank")
            << QStringLiteral("aaaa bbbb cccc dddd") << 0 << 12 << QStringLiteral("aaaa bbbb ");
        QTest::newRow("cap without blanks")
            << QStringLiteral("一二三四五六七八九十") << 0 << 4 << QStringLiteral("一二三四");
        QTest::newRow("cap never splits a surrogate pair") << QStringLiteral(
            "一二三\U0001F600四五") << 0 << 4 << QStringLiteral("一二三\U0001F600");
        QTest::newRow("cap keeps a number whole")
            << QStringLiteral("一二三四五12.345") << 0 << 8 << QStringLiteral("一二三四五");
        QTest::newRow("text end") << QStringLiteral("abc") << 1 << 100 << QStringLiteral("bc");
    }

    void pieceEnd()
    {
        QFETCH(QString, text);
        QFETCH(int, from);
        QFETCH(int, cap);
        QFETCH(QString, piece);
        const int end = TextSplitter::pieceEnd(text, from, cap);
        QCOMPARE(text.mid(from, end - from), piece);
    }

    void piecesCoverTheWholeText()
    {
        QString text;
        for (int i = 0; i < 200; ++i)
            text += (i % 3) ? QStringLiteral("這是第%1句，內容不長。").arg(i)
                            : QStringLiteral("Sentence %1 has words\r\n").arg(i);
        text += QString(900, QChar(u'字'));
        int at = 0, pieces = 0;
        while (at < text.size()) {
            const int end = TextSplitter::pieceEnd(text, at, 240);
            QVERIFY(end > at);
            QVERIFY(end - at <= 241);
            at = end;
            ++pieces;
        }
        QCOMPARE(at, int(text.size()));
        QVERIFY(pieces >= 200);
    }

    void isBlank()
    {
        QVERIFY(TextSplitter::isBlank(QStringLiteral(" \r\n\t\u3000"), 0, 5));
        QVERIFY(!TextSplitter::isBlank(QStringLiteral("  a "), 0, 4));
        QVERIFY(TextSplitter::isBlank(QStringLiteral("  a "), 3, 4));
    }

    void phonemes_data()
    {
        QTest::addColumn<QByteArray>("mnemonic");
        QTest::addColumn<int>("mouth");
        QTest::addColumn<int>("viseme");
        QTest::newRow("p") << QByteArray("p") << 2 << 21;
        QTest::newRow("m") << QByteArray("m") << 2 << 21;
        QTest::newRow("pause") << QByteArray("_|") << 2 << 0;
        QTest::newRow("f") << QByteArray("f") << 10 << 18;
        QTest::newRow("stressed a") << QByteArray("'a:") << 4 << 2;
        QTest::newRow("aI") << QByteArray("aI") << 4 << 11;
        QTest::newRow("e") << QByteArray("E") << 5 << 4;
        QTest::newRow("i with tone") << QByteArray("i[") << 6 << 6;
        QTest::newRow("palatal glide") << QByteArray(";") << 6 << 6;
        QTest::newRow("u") << QByteArray("u@") << 7 << 7;
        QTest::newRow("w") << QByteArray("w") << 7 << 7;
        QTest::newRow("o") << QByteArray("oU") << 8 << 8;
        QTest::newRow("O") << QByteArray("O") << 9 << 3;
        QTest::newRow("s") << QByteArray("s") << 11 << 15;
        QTest::newRow("retroflex s") << QByteArray("s.") << 11 << 16;
        QTest::newRow("aspirated affricate") << QByteArray("tS;h") << 11 << 16;
        QTest::newRow("ts") << QByteArray("tsh") << 11 << 15;
        QTest::newRow("th") << QByteArray("T") << 12 << 17;
        QTest::newRow("l") << QByteArray("l") << 12 << 14;
        QTest::newRow("r") << QByteArray("r") << 13 << 13;
        QTest::newRow("n") << QByteArray("n") << 3 << 19;
        QTest::newRow("velar nasal") << QByteArray("N") << 3 << 20;
        QTest::newRow("schwa") << QByteArray("@") << 3 << 1;
    }

    void phonemes()
    {
        QFETCH(QByteArray, mnemonic);
        QFETCH(int, mouth);
        QFETCH(int, viseme);
        const PhoneMap::Phone phone = PhoneMap::lookup(mnemonic);
        QCOMPARE(int(phone.mouth), mouth);
        QCOMPARE(phone.viseme, viseme);
        // The reported id draws that mouth from the table.
        QCOMPARE(mouthOfCode(phone.phoneId), mouth);
    }

    void everyMouthHasAPhoneCode()
    {
        for (int mouth = 2; mouth <= 13; ++mouth) {
            const short id = PhoneMap::phoneIdFor(PhoneMap::Mouth(mouth));
            QVERIFY(id >= 15 && id <= 431);
            QCOMPARE(mouthOfCode(id), mouth);
        }
    }

    void resamplerKeepsATone()
    {
        // A 440 Hz tone at 22,050 Hz becomes a 440 Hz tone at 16 kHz: compare
        // with the ideal samples away from the padded edges.
        std::vector<int16_t> in(22050);
        for (size_t i = 0; i < in.size(); ++i)
            in[i] = int16_t(10000 * std::sin(2 * M_PI * 440.0 * double(i) / 22050.0));
        const std::vector<int16_t> out = Resampler::convert(in.data(), in.size(), 22050, 16000);
        QCOMPARE(out.size(), size_t(16000));
        double worst = 0;
        for (size_t i = 100; i < out.size() - 100; ++i) {
            const double ideal = 10000 * std::sin(2 * M_PI * 440.0 * double(i) / 16000.0);
            worst = std::max(worst, std::abs(out[i] - ideal));
        }
        QVERIFY2(worst < 150, qPrintable(QString::number(worst)));
    }

    void resamplerRemovesWhatCannotBeRepresented()
    {
        // 10 kHz is above 16 kHz's Nyquist frequency: it must not fold back.
        std::vector<int16_t> in(22050);
        for (size_t i = 0; i < in.size(); ++i)
            in[i] = int16_t(10000 * std::sin(2 * M_PI * 10000.0 * double(i) / 22050.0));
        const std::vector<int16_t> out = Resampler::convert(in.data(), in.size(), 22050, 16000);
        double energy = 0;
        for (size_t i = 100; i < out.size() - 100; ++i)
            energy += double(out[i]) * out[i];
        const double rms = std::sqrt(energy / double(out.size() - 200));
        QVERIFY2(rms < 300, qPrintable(QString::number(rms)));
    }

    void resamplerPositions()
    {
        QCOMPARE(Resampler::mapPosition(22050, 22050, 16000), 16000LL);
        QCOMPARE(Resampler::mapPosition(441, 22050, 16000), 320LL);
        QCOMPARE(Resampler::mapPosition(77, 22050, 22050), 77LL);
        const int16_t same[3] = {1, -2, 3};
        QCOMPARE(Resampler::convert(same, 3, 16000, 16000), (std::vector<int16_t> {1, -2, 3}));
    }
};

QTEST_GUILESS_MAIN(TestSpeechPieces)
#include "test_SpeechPieces.moc"
