// The pure helpers of the voice layer: how texts are cut into pieces, the
// phone table and how a phone id becomes its code and mouth picture, how
// espeak phonemes become phone and viseme ids, and the resampler.
#include "audio/Resampler.h"
#include "speech/CSAPI_FileID.h"
#include "speech/PhoneMap.h"
#include "speech/TextSplitter.h"

#include <QtTest>
#include <cmath>

using namespace Qt::StringLiterals;

namespace
{
const CSAPI_FileID &phoneTable()
{
    static const CSAPI_FileID *const table = [] {
        auto *t = new CSAPI_FileID;
        t->LoadTBL();
        return t;
    }();
    return *table;
}

// The mouth picture number the phone table gives a phone id, or -1.
int mouthOfCode(int id)
{
    const QString mouth = phoneTable().MouthForPhone(qint16(id));
    return mouth.isEmpty() ? -1 : mouth.toInt();
}
} // namespace

class TestSpeechPieces : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void pieceEnd_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("cap");
        QTest::addColumn<QString>("piece");
        QTest::newRow("chinese full stop") << u"你好。再見。"_s << 0 << 100 << u"你好。"_s;
        QTest::newRow("second sentence") << u"你好。再見！"_s << 3 << 100 << u"再見！"_s;
        QTest::newRow("closing quote stays")
            << u"他說「好。」然後"_s << 0 << 100 << u"他說「好。」"_s;
        QTest::newRow("western stop and blank")
            << u"Hi there. Bye."_s << 0 << 100 << u"Hi there. "_s;
        QTest::newRow("decimal point is not a stop")
            << u"Pi is 3.14 ok"_s << 0 << 100 << u"Pi is 3.14 ok"_s;
        QTest::newRow("crlf kept together") << u"一行\r\n二行"_s << 0 << 100 << u"一行\r\n"_s;
        QTest::newRow("lone lf") << u"a\nb"_s << 0 << 100 << u"a\n"_s;
        QTest::newRow("cap breaks after a blank")
            << u"aaaa bbbb cccc dddd"_s << 0 << 12 << u"aaaa bbbb "_s;
        QTest::newRow("cap without blanks") << u"一二三四五六七八九十"_s << 0 << 4 << u"一二三四"_s;
        QTest::newRow("cap never splits a surrogate pair")
            << u"一二三\U0001F600四五"_s << 0 << 4 << u"一二三\U0001F600"_s;
        QTest::newRow("cap keeps a number whole")
            << u"一二三四五12.345"_s << 0 << 8 << u"一二三四五"_s;
        QTest::newRow("text end") << u"abc"_s << 1 << 100 << u"bc"_s;
    }

    void pieceEnd()
    {
        QFETCH(QString, text);
        QFETCH(int, from);
        QFETCH(int, cap);
        const int end = TextSplitter::pieceEnd(text, from, cap);
        QTEST(text.mid(from, end - from), "piece");
    }

    void piecesCoverTheWholeText()
    {
        QString text;
        for (int i = 0; i < 200; ++i)
            text += (i % 3) ? u"這是第%1句，內容不長。"_s.arg(i)
                            : u"Sentence %1 has words\r\n"_s.arg(i);
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
        QVERIFY(TextSplitter::isBlank(u" \r\n\t\u3000"_s, 0, 5));
        QVERIFY(!TextSplitter::isBlank(u"  a "_s, 0, 4));
        QVERIFY(TextSplitter::isBlank(u"  a "_s, 3, 4));
    }

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
            QCOMPARE(record->GetVal(0), u"%1"_s.arg(k + 14, 3, 10, QLatin1Char('0')));
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
        QTest::newRow("015 first") << 15 << u"015"_s << u"2"_s;
        QTest::newRow("056") << 56 << u"056"_s << u"4"_s;
        QTest::newRow("151") << 151 << u"151"_s << u"12"_s;
        QTest::newRow("217") << 217 << u"217"_s << u"13"_s;
        QTest::newRow("300") << 300 << u"300"_s << u"3"_s;
        QTest::newRow("425") << 425 << u"425"_s << u"6"_s;
        QTest::newRow("431 last") << 431 << u"431"_s << u"3"_s;
        QTest::newRow("1015 is 015") << 1015 << u"015"_s << u"2"_s;
        QTest::newRow("30100 is 100") << 30100 << u"100"_s << u"6"_s;
        QTest::newRow("7 below the table") << 7 << u"007"_s << QString();
        QTest::newRow("432 above the table") << 432 << u"432"_s << QString();
        QTest::newRow("32767 is 767") << 32767 << u"767"_s << QString();
        QTest::newRow("negative") << -15 << u"-015"_s << QString();
    }
    void phoneIds()
    {
        QFETCH(int, phoneId);
        QTEST(CSAPI_FileID::CodeName(qint16(phoneId)), "code");
        QTEST(phoneTable().MouthForPhone(qint16(phoneId)), "mouth");
    }

    void phonemes_data()
    {
        QTest::addColumn<QByteArray>("mnemonic");
        QTest::addColumn<int>("mouth");
        QTest::addColumn<int>("viseme");
        QTest::newRow("p") << QByteArray("p") << 2 << 21;
        QTest::newRow("pause") << QByteArray("_|") << 2 << 0;
        QTest::newRow("f") << QByteArray("f") << 10 << 18;
        QTest::newRow("stressed a") << QByteArray("'a:") << 4 << 2;
        QTest::newRow("aI") << QByteArray("aI") << 4 << 11;
        QTest::newRow("e") << QByteArray("E") << 5 << 4;
        QTest::newRow("i with tone") << QByteArray("i[") << 6 << 6;
        QTest::newRow("u") << QByteArray("u@") << 7 << 7;
        QTest::newRow("o") << QByteArray("oU") << 8 << 8;
        QTest::newRow("O") << QByteArray("O") << 9 << 3;
        QTest::newRow("s") << QByteArray("s") << 11 << 15;
        QTest::newRow("retroflex s") << QByteArray("s.") << 11 << 16;
        QTest::newRow("aspirated affricate") << QByteArray("tS;h") << 11 << 16;
        QTest::newRow("th") << QByteArray("T") << 12 << 17;
        QTest::newRow("r") << QByteArray("r") << 13 << 13;
        QTest::newRow("n") << QByteArray("n") << 3 << 19;
        QTest::newRow("schwa") << QByteArray("@") << 3 << 1;
    }

    void phonemes()
    {
        QFETCH(QByteArray, mnemonic);
        QFETCH(int, mouth);
        const PhoneMap::Phone phone = PhoneMap::lookup(mnemonic);
        QCOMPARE(int(phone.mouth), mouth);
        QTEST(phone.viseme, "viseme");
        // The reported id draws that mouth from the table (the rows cover
        // every mouth, 2 to 13).
        QCOMPARE(mouthOfCode(phone.phoneId), mouth);
    }

    // 22,050 Hz to 16 kHz, compared with the ideal samples away from the
    // padded edges: 440 Hz stays, 10 kHz (above 8 kHz) must not fold back.
    void resamplerKeepsWhatFitsAndDropsTheRest_data()
    {
        QTest::addColumn<double>("hz");
        QTest::addColumn<double>("kept"); // of the amplitude
        QTest::addColumn<double>("error"); // the largest allowed
        QTest::newRow("440 Hz") << 440.0 << 1.0 << 150.0;
        QTest::newRow("10 kHz") << 10000.0 << 0.0 << 450.0;
    }
    void resamplerKeepsWhatFitsAndDropsTheRest()
    {
        QFETCH(double, hz);
        QFETCH(double, kept);
        std::vector<int16_t> in(22050);
        for (size_t i = 0; i < in.size(); ++i)
            in[i] = int16_t(10000 * std::sin(2 * M_PI * hz * double(i) / 22050.0));
        const std::vector<int16_t> out = Resampler::convert(in.data(), in.size(), 22050, 16000);
        QCOMPARE(out.size(), size_t(16000));
        double worst = 0;
        for (size_t i = 100; i < out.size() - 100; ++i) {
            const double ideal = kept * 10000 * std::sin(2 * M_PI * hz * double(i) / 16000.0);
            worst = std::max(worst, std::abs(out[i] - ideal));
        }
        QFETCH(double, error);
        QVERIFY2(worst < error, qPrintable(QString::number(worst)));
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
