// Syllable times found in sound alone: synthetic sentences whose syllable
// starts are known by construction, a sentence espeak-ng speaks (its own
// Word events are the truth), sounds that hold no speech or too little, the
// units a Mandarin reading gives, and the mouth shapes of pinyin.
#include "DataColumns.h"
#include "audio/AudioSink.h"
#include "export/TextRenderer.h"
#include "export/WavReader.h"
#include "speech/SpeechEngine.h"
#include "speech/SyllableAligner.h"
#include "speech/VoiceCatalogue.h"

#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <numbers>

using namespace Qt::StringLiterals;
using SyllableAligner::Span;
using SyllableAligner::Unit;

namespace
{

// A synthetic sentence, piece by piece: "t200" a voiced tone of 200 ms
// (harmonics of 130 Hz), "d40" a dip (the tone 30 dB down), "s300"
// silence, "n100" hiss (differenced white noise).
std::vector<qint16> synthesize(const QString &pieces, int rate)
{
    std::vector<qint16> pcm;
    quint32 seed = 12345;
    double previousNoise = 0;
    for (const QString &piece : pieces.split(u' ', Qt::SkipEmptyParts)) {
        const qsizetype length = qsizetype(piece.mid(1).toInt()) * rate / 1000;
        const qsizetype ramp = rate / 200;
        for (qsizetype i = 0; i < length; ++i) {
            const double t = double(pcm.size()) / rate;
            const double edge = std::min(1.0, double(std::min(i, length - 1 - i)) / double(ramp));
            double x = 0;
            if (piece[0] == u't' || piece[0] == u'd') {
                for (int h = 1; h <= 20; ++h)
                    x += std::sin(2 * std::numbers::pi * 130 * h * t) / h;
                x *= (piece[0] == u't' ? 3000 : 95) * edge;
            } else if (piece[0] == u'n') {
                seed = seed * 1664525u + 1013904223u;
                const double white = double(seed >> 8) / double(1 << 24) - 0.5;
                x = (white - previousNoise) * 6000 * edge;
                previousNoise = white;
            }
            pcm.push_back(qint16(std::lround(x)));
        }
    }
    return pcm;
}

// "ma1 ba1| hello~": pinyin units, a pause mark after "|", a Latin word after "~".
QList<Unit> unitsFrom(const QString &spec)
{
    QList<Unit> units;
    for (QString word : spec.split(u' ', Qt::SkipEmptyParts)) {
        Unit u;
        u.pauseAfter = word.endsWith(u'|');
        if (u.pauseAfter)
            word.chop(1);
        if (word.endsWith(u'~')) {
            word.chop(1);
            u.kind = Unit::Latin;
        }
        u.reading = word;
        units.append(u);
    }
    return units;
}

// One span a unit, in order and inside the sound; given a sample a unit at
// least, none is empty and each starts after the one before.
void checkInvariants(const QList<Span> &spans, qsizetype units, qint64 samples)
{
    QCOMPARE(spans.size(), units);
    for (qsizetype k = 0; k < spans.size(); ++k) {
        QVERIFY2(spans[k].start >= 0 && spans[k].end <= samples,
            qPrintable(u"span %1 outside the sound"_s.arg(k)));
        if (samples < units)
            QVERIFY(k == 0 || spans[k].start >= spans[k - 1].start);
        else if (k > 0)
            QVERIFY2(spans[k].start > spans[k - 1].start,
                qPrintable(u"span %1 starts before the one before it"_s.arg(k)));
        QVERIFY2(samples < units || spans[k].end > spans[k].start,
            qPrintable(u"span %1 is empty"_s.arg(k)));
    }
}

// The mouths by their picture numbers, Closed (2) to Rhotic (13).
QString mouthName(PhoneMap::Mouth mouth)
{
    return u"closed relaxed wide half spread round roundmid roundopen teethlip teeth tongue rhotic"_s
        .split(u' ')
        .value(mouth - PhoneMap::Closed);
}

} // namespace

class TestSyllableAligner : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Starts (and some ends) in ms, known by how the sound was built; a
    // syllable of a stop owns the dip or short silence before its burst.
    void syntheticStarts_data()
    {
        QTest::addColumn<int>("rate");
        DataColumns::add<QString>({"sound", "units"});
        DataColumns::add<QList<int>>({"starts", "ends"}); // an end of -1 is not checked
        auto row = [](const char *name, QStringView sound, QStringView units,
                       const QList<int> &starts, const QList<int> &ends = {}, int rate = 16000) {
            QTest::newRow(name) << rate << sound.toString() << units.toString() << starts << ends;
        };
        const QString dips = u"t200 d40 t220 d40 t180 d40 t240"_s, stops = u"ma1 ba1 da4 ge2"_s;
        row("dips, no leading silence", dips, stops, {0, 200, 460, 680});
        row("dips after leading silence", u"s300 "_s + dips + u" s200"_s, stops,
            {300, 500, 760, 980}, {-1, -1, -1, 1260});
        row("silences before vowels", u"t220 s80 t200 s80 t240", u"a1 e2 ai4", {0, 300, 580},
            {220, 500, 820});
        row("short silences before stops are their closures", u"t220 s50 t200 s50 t240",
            u"a1 ba1 du2", {0, 220, 470});
        row("pause after a marked unit", u"s200 t220 d40 t200 s400 t250 d40 t200 s300",
            u"ma1 ba1| ma2 bo1", {200, 420, 1060, 1310}, {-1, 660, -1, 1550});
        row("fricative noise onset", u"t220 n120 t180 d40 t200", u"ma1 xi1 ba1", {0, 220, 520});
        row("fricative after silence", u"s250 n100 t200 d40 t220 s100", u"sa1 bi3", {250, 550});
        row("fast speech", u"s100 t120 d25 t110 d25 t130 d25 t120 d25 t115 s100",
            u"ma1 ba1 de5 gu3 bi4", {100, 220, 355, 510, 655});
        row("slow speech", u"s100 t450 d60 t420 d60 t480 s100", u"ma1 ba1 du4", {100, 550, 1030});
        row("a Latin word of two syllables", dips, u"ma1 hello~ ba1", {0, 200, 680});
        row("22.05 kHz", dips, stops, {0, 200, 460, 680}, {}, 22050);
        row("44.1 kHz", dips, stops, {0, 200, 460, 680}, {}, 44100);
    }
    void syntheticStarts()
    {
        QFETCH(int, rate);
        const auto [sound, units] = DataColumns::fetch<QString>("sound", "units");
        const auto [starts, ends] = DataColumns::fetch<QList<int>>("starts", "ends");
        constexpr double ToleranceMs = 20;
        const std::vector<qint16> pcm = synthesize(sound, rate);
        const QList<Unit> u = unitsFrom(units);
        const QList<Span> spans = SyllableAligner::align(pcm, rate, u);
        checkInvariants(spans, u.size(), qint64(pcm.size()));
        if (QTest::currentTestFailed())
            return;
        auto near = [&](QStringView what, qsizetype k, qint64 sample, int wantMs) {
            const double ms = double(sample) * 1000 / rate;
            QVERIFY2(wantMs < 0 || std::abs(ms - wantMs) <= ToleranceMs,
                qPrintable(
                    u"%1 %2 at %3 ms, not %4"_s.arg(u[k].reading).arg(what).arg(ms).arg(wantMs)));
        };
        for (qsizetype k = 0; k < starts.size(); ++k)
            near(u"starts", k, spans[k].start, starts[k]);
        for (qsizetype k = 0; k < ends.size(); ++k)
            near(u"ends", k, spans[k].end, ends[k]);
    }

    // espeak-ng's Mandarin voice, whose Word events give each character's
    // start: the aligner stays within ten times its target on every one.
    void espeakSentence_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("rate");
        QTest::newRow("with pauses") << u"今天天氣很好，我們一起到公園散步。"_s << 0;
        QTest::newRow("fast, numbers spelled out") << u"這本書一共有三百二十頁。"_s << 5;
        QTest::newRow("slow, a question") << u"你明天早上要不要跟我們去爬山？"_s << -5;
    }
    void espeakSentence()
    {
        QFETCH(QString, text);
        QFETCH(int, rate);
        QVERIFY2(SpeechEngine::instance().isAvailable(), "espeak-ng data is missing");
        const QList<SpObjectToken> suite = VoiceCatalogue::suiteVoices();
        const auto voice = std::find_if(suite.begin(), suite.end(), [](const SpObjectToken &t) {
            return MandarinReading::isMandarinVoice(t.engineSettings().espeakVoice);
        });
        QVERIFY(voice != suite.end());
        AudioSink::setFactory([] { return std::make_unique<ImmediateSink>(); });
        QTemporaryDir dir;
        const QString wav = dir.filePath(u"sentence.wav"_s);
        const TextRenderer::Result result
            = TextRenderer({*voice, rate, 100, false}).render(text, wav);
        AudioSink::setFactory({});
        QVERIFY2(result.ok, qPrintable(result.error));
        WavReader reader;
        QVERIFY(reader.open(wav));
        std::vector<qint16> pcm(size_t(reader.frames()));
        QCOMPARE(reader.read(pcm.data(), reader.frames()), reader.frames());

        const QList<Unit> units
            = SyllableAligner::unitsOf(MandarinReading::read(MappedText::of(text)));
        const QList<Span> spans = SyllableAligner::align(pcm, TextRenderer::SampleRate, units);
        checkInvariants(spans, units.size(), qint64(pcm.size()));
        if (QTest::currentTestFailed())
            return;
        int compared = 0;
        for (qsizetype k = 0; k < units.size(); ++k) {
            if (k > 0 && units[k].position == units[k - 1].position)
                continue; // one event for a spelled-out stretch
            for (const TextRenderer::WordTime &w : result.words) {
                if (w.position != units[k].position)
                    continue;
                const double error
                    = double(spans[k].start - w.sample) * 1000 / TextRenderer::SampleRate;
                QVERIFY2(std::abs(error) <= 400,
                    qPrintable(
                        u"%1 is %2 ms off"_s.arg(text.mid(units[k].position, units[k].length))
                            .arg(error)));
                ++compared;
                break;
            }
        }
        QVERIFY2(compared >= 10, "too few syllables had a Word event to compare with");
    }

    // Sound that cannot be aligned still gets spans: in order, inside it.
    void edgeCases_data()
    {
        QTest::addColumn<QString>("sound");
        DataColumns::add<int>({"samples", "units"}); // samples: a sound of that many zeros
        QTest::addColumn<QString>("spread"); // evenly over the whole "sound", or its "speech"
        QTest::newRow("no units") << u"t300"_s << 0 << 0 << QString();
        QTest::newRow("one unit") << u"s200 t300 s200"_s << 0 << 1 << QString();
        QTest::newRow("silent sound") << QString() << 32000 << 5 << u"sound"_s;
        QTest::newRow("more units than the speech can hold")
            << u"s100 t200 s100"_s << 0 << 60 << u"speech"_s;
        QTest::newRow("more units than samples of speech")
            << u"s100 t50 s100"_s << 0 << 3000 << u"sound"_s;
        QTest::newRow("shorter than a frame") << QString() << 100 << 3 << u"sound"_s;
        QTest::newRow("fewer samples than units") << QString() << 2 << 3 << QString();
        QTest::newRow("hiss only") << u"n800"_s << 0 << 4 << QString();
    }
    void edgeCases()
    {
        QFETCH(QString, sound);
        const auto [samples, units] = DataColumns::fetch<int>("samples", "units");
        QFETCH(QString, spread);
        const std::vector<qint16> pcm
            = sound.isEmpty() ? std::vector<qint16>(size_t(samples), 0) : synthesize(sound, 16000);
        const QList<Unit> u = unitsFrom(QStringList(units, u"ma1"_s).join(u' '));
        const QList<Span> spans = SyllableAligner::align(pcm, 16000, u);
        const qint64 total = qint64(pcm.size());
        checkInvariants(spans, units, total);
        if (QTest::currentTestFailed())
            return;
        if (spread == u"sound") {
            for (qsizetype k = 0; k < units; ++k)
                QCOMPARE(spans[k].start, total * k / units);
        } else if (spread == u"speech") {
            // The tone lies at 100 - 300 ms.
            QVERIFY(std::abs(spans.first().start - 1600) <= 320);
            QVERIFY(std::abs(spans.last().end - 4800) <= 320);
            const qint64 step = spans[1].start - spans[0].start;
            for (qsizetype k = 1; k < units; ++k)
                QVERIFY(std::abs(spans[k].start - spans[k - 1].start - step) <= 1);
        }
        if (units == 1 && !sound.isEmpty()) {
            // The one syllable is the tone, not its silences.
            QVERIFY(std::abs(spans[0].start - 3200) <= 320);
            QVERIFY(std::abs(spans[0].end - 8000) <= 320);
        }
    }

    // Whatever the sound and the units, the spans keep their contract.
    void randomSoundsKeepTheContract()
    {
        QRandomGenerator random(2024);
        const QStringList readings
            = u"ma1 ba1 xi1 zhong1 a4 lv4 er2 ? strength~ banana~"_s.split(u' ');
        for (int round = 0; round < 40; ++round) {
            const int rate = QList<int> {8000, 16000, 22050, 44100}[random.bounded(4)];
            QStringList pieces, units;
            for (int k = random.bounded(1, 12); k > 0; --k)
                pieces.append(QString(u"tdsn"_s[random.bounded(4)])
                    + QString::number(random.bounded(1, 300)));
            for (int k = random.bounded(1, 25); k > 0; --k)
                units.append(readings[random.bounded(readings.size())]
                    + (random.bounded(5) ? u""_s : u"|"_s));
            const std::vector<qint16> pcm = synthesize(pieces.join(u' '), rate);
            const QList<Unit> u = unitsFrom(units.join(u' '));
            const QList<Span> spans = SyllableAligner::align(pcm, rate, u);
            checkInvariants(spans, u.size(), qint64(pcm.size()));
            if (QTest::currentTestFailed())
                return;
        }
    }

    // The units a Mandarin reading gives, and the syllables each counts for.
    void units_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("units"); // reading@position+length, "|" for a pause after
        QTest::newRow("han with pauses")
            << u"你好，我們走。"_s << u"ni3@0+1 hao3@1+1| wo3@3+1 men5@4+1 zou3@5+1|"_s;
        QTest::newRow("a Latin word")
            << u"打開 Wi-Fi 吧"_s << u"da3@0+1 kai1@1+1 Wi-Fi@3+5 ba5@9+1"_s;
        QTest::newRow("a number spelled out") << u"12點"_s << u"shi2@0+2 er4@0+2 dian3@2+1"_s;
    }
    void units()
    {
        QFETCH(QString, text);
        QStringList got;
        for (const Unit &u : SyllableAligner::unitsOf(MandarinReading::read(MappedText::of(text))))
            got.append(u"%1@%2+%3%4"_s.arg(u.reading)
                           .arg(u.position)
                           .arg(u.length)
                           .arg(u.pauseAfter ? u"|"_s : QString()));
        QTEST(got.join(u' '), "units");
    }

    void syllableCount_data()
    {
        QTest::addColumn<QString>("word");
        QTest::addColumn<int>("count");
        QTest::newRow("one group") << u"strengths"_s << 1;
        QTest::newRow("three groups") << u"banana"_s << 3;
        QTest::newRow("a run of vowels is one") << u"queue"_s << 1;
        QTest::newRow("y starting a word is a consonant") << u"yes"_s << 1;
        QTest::newRow("y inside a word is a vowel") << u"rhythm"_s << 1;
        QTest::newRow("capitals") << u"OPEN"_s << 2;
        QTest::newRow("no vowel still one") << u"TV"_s << 1;
    }
    void syllableCount()
    {
        QFETCH(QString, word);
        QTEST(SyllableAligner::syllableCount({0, 0, Unit::Latin, word, false}), "count");
        QCOMPARE(SyllableAligner::syllableCount({0, 0, Unit::Han, word, false}), 1);
    }

    // Mouth shapes of a syllable over its span, as mouth/viseme.
    void mouthShapes_data()
    {
        QTest::addColumn<QString>("reading");
        QTest::addColumn<QString>("shapes");
        QTest::newRow("z") << u"za1"_s << u"teeth/15 wide/2"_s;
        QTest::newRow("c") << u"ci2"_s << u"teeth/15 spread/6"_s;
        QTest::newRow("zh") << u"zhu4"_s << u"teeth/16 round/7"_s;
        QTest::newRow("ch, glide u before o") << u"chuo1"_s << u"teeth/16 round/7 roundmid/8"_s;
        QTest::newRow("j, written u is ü") << u"ju2"_s << u"teeth/16 round/7"_s;
        QTest::newRow("q, glide and ng") << u"qiang1"_s << u"teeth/16 spread/6 wide/2 relaxed/20"_s;
        QTest::newRow("b and o") << u"bo1"_s << u"closed/21 roundmid/8"_s;
        QTest::newRow("f and u") << u"fu2"_s << u"teethlip/18 round/7"_s;
        QTest::newRow("l and n") << u"lan2"_s << u"tongue/14 wide/2 tongue/19"_s;
        QTest::newRow("d") << u"di4"_s << u"tongue/19 spread/6"_s;
        QTest::newRow("g and e") << u"ge4"_s << u"relaxed/20 half/4"_s;
        QTest::newRow("y spells i") << u"you3"_s << u"spread/6 roundmid/8 round/7"_s;
        QTest::newRow("w spells u") << u"wa1"_s << u"round/7 wide/2"_s;
        QTest::newRow("er") << u"er2"_s << u"half/4 rhotic/13"_s;
        QTest::newRow("syllabic m") << u"m2"_s << u"closed/21"_s;
        QTest::newRow("ü written v") << u"lv4"_s << u"tongue/14 round/7"_s;
        QTest::newRow("not pinyin") << u"?"_s << u"relaxed/19"_s;
        QTest::newRow("a Latin word by its letters")
            << u"Bob~"_s << u"closed/21 roundmid/8 closed/21"_s;
    }
    void mouthShapes()
    {
        QFETCH(QString, reading);
        QFETCH(QString, shapes);
        const Span span {1000, 5800};
        const Unit unit = unitsFrom(reading).first();
        const QList<SyllableAligner::MouthShape> got = SyllableAligner::mouthShapes(unit, span);
        QStringList names;
        for (const SyllableAligner::MouthShape &s : got) {
            names.append(mouthName(s.phone.mouth) + u'/' + QString::number(s.phone.viseme));
            // The face knows these ids: the phone code of the mouth espeak-ng's
            // events would report.
            QCOMPARE(s.phone.phoneId, PhoneMap::phoneIdFor(s.phone.mouth));
            QVERIFY(!s.phone.pause);
        }
        QCOMPARE(names.join(u' '), shapes);
        // The shapes cover the span, one after another.
        QCOMPARE(got.first().start, span.start);
        QCOMPARE(got.last().end, span.end);
        for (qsizetype k = 1; k < got.size(); ++k)
            QCOMPARE(got[k].start, got[k - 1].end);
        QVERIFY(SyllableAligner::mouthShapes(unit, {5, 5}).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSyllableAligner)
#include "test_SyllableAligner.moc"
