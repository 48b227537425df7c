// Mandarin as Taiwan reads it: word readings and number readings scored
// against lists taken from the dictionary, the source stretches that Word
// events name, the tone changes of 一 and 不, Latin words for an English
// voice, and the Cantonese voice left alone.
#include "SpeechRecorder.h"

#include "speech/EspeakPiece.h"
#include "speech/MandarinNormalizer.h"
#include "speech/MandarinReading.h"
#include "speech/PronunciationList.h"
#include "speech/SpeechEngine.h"
#include "speech/VoiceCatalogue.h"
#include "system/AppPaths.h"

#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;
using MandarinReading::Token;

namespace
{

// The rows of a tab-separated list, comments left out.
QList<QStringList> rows(const QString &name)
{
    QFile file(QStringLiteral(PARLO_TEST_DATA "/") + name);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<QStringList> out;
    for (const QString &line : QString::fromUtf8(file.readAll()).split(u'\n')) {
        if (!line.trimmed().isEmpty() && !line.startsWith(u'#'))
            out.append(line.split(u'\t'));
    }
    return out;
}

QString spans(const QList<Token> &tokens)
{
    QStringList out;
    for (const Token &t : tokens)
        out << u"%1:%2-%3"_s.arg(t.spoken).arg(t.from).arg(t.to);
    return out.join(u' ');
}

SpObjectToken suiteVoice(const QString &name)
{
    for (const SpObjectToken &t : VoiceCatalogue::suiteVoices()) {
        if (t.GetDescription() == name)
            return t;
    }
    return {};
}

QString textOf(const EspeakPiece::Segment &s)
{
    QString out;
    for (wchar_t c : s.text.wide) {
        if (c)
            out += QChar(char16_t(c));
    }
    return out.trimmed();
}

} // namespace

class TestMandarinReading : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY2(MandarinLexicon::shared().isLoaded(), "no Mandarin lexicon"); }

    void wordsAreReadAsTaiwanReadsThem()
    {
        const QList<QStringList> list = rows(u"mandarin_words.tsv"_s);
        QVERIFY(list.size() >= 200);
        int right = 0;
        for (const QStringList &row : list) {
            const QString reading = MandarinReadingOf(row[0]);
            if (reading == row[1])
                ++right;
            else
                qInfo().noquote() << "miss:" << row[0] << "read" << reading << "wanted" << row[1];
        }
        const double score = double(right) / double(list.size());
        qInfo("words: %d of %lld right (%.1f %%)", right, qlonglong(list.size()), 100 * score);
        QVERIFY2(score >= 0.97, qPrintable(QString::number(score)));
    }

    void numbersAndSymbols_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("reading");
        const QList<QStringList> list = rows(u"mandarin_numbers.tsv"_s);
        QVERIFY(list.size() >= 50);
        QSet<QString> covered;
        for (const QStringList &row : list) {
            QTest::newRow(qPrintable(row[0])) << row[0] << row[1];
            covered.insert(row.value(2));
        }
        // Every rule of the table has cases in the list.
        for (const QString &rule : MandarinNormalizer::ruleNames())
            QVERIFY2(covered.contains(rule), qPrintable(rule));
    }

    void numbersAndSymbols()
    {
        QFETCH(QString, text);
        QFETCH(QString, reading);
        QCOMPARE(MandarinReadingOf(text), reading);
    }

    void tokensNameTheCharactersWritten()
    {
        // A spelled-out stretch names all it stands for; 5 is past "%".
        QCOMPARE(spans(MandarinReading::read(MappedText::of(u"共3.5%的人"_s))),
            u"gong4:0-1 bai3:1-5 fen1:1-5 zhi1:1-5 san1:1-5 dian3:1-5 wu3:1-5 de5:5-6 ren2:6-7"_s);
        // A character outside the basic plane is two units; offsets follow
        // the caller's text (here starting at 10), not the rewritten one.
        QCOMPARE(spans(MandarinReading::read(MappedText::of(u"𠀋２年，OK"_s, 10))),
            u"𠀋:10-12 liang3:12-13 nian2:13-14 ,:14-15 OK:15-17"_s);
    }

    void yiAndBuChangeOnlyAsSpoken()
    {
        const QList<Token> t = MandarinReading::read(MappedText::of(u"一個不是一起第一一月"_s));
        QStringList text;
        QStringList spoken;
        for (const Token &k : t) {
            text << k.text;
            spoken << k.spoken;
        }
        QCOMPARE(text.join(u' '), u"yi1 ge5 bu4 shi4 yi1 qi3 di4 yi1 yi1 yue4"_s);
        QCOMPARE(spoken.join(u' '), u"yi2 ge5 bu2 shi4 yi4 qi3 di4 yi1 yi1 yue4"_s);
    }

    void latinWordsGoToAnEnglishVoice()
    {
        const SpObjectToken oskar = suiteVoice(u"Mavi Oskar"_s);
        const SapiXmlParser::Run run = SapiXmlParser::plain(u"我用Linux系統"_s).first();
        const auto segments = EspeakPiece::segments(run, 0, int(run.text.size()), oskar);
        QCOMPARE(segments.size(), size_t(3));
        QCOMPARE(segments[0].voice, QByteArray("cmn-latn-pinyin+m3"));
        QCOMPARE(segments[1].voice, QByteArray("en-us+m3"));
        QCOMPARE(textOf(segments[1]), u"Linux"_s);
        QCOMPARE(textOf(segments[2]), u"xi4 tong3"_s);
        // The blank after each syllable stands for the end of its character.
        QCOMPARE(segments[2].text.sourceAt(0), 7);
        QCOMPARE(segments[2].text.sourceAt(4), 8);
        QCOMPARE(segments[2].text.map.last(), 9);
    }

    void cantoneseTextIsHandedOverAsItIs()
    {
        const QString text = u"佢有3.5%嘅人"_s;
        const SapiXmlParser::Run run = SapiXmlParser::plain(text).first();
        const auto segments
            = EspeakPiece::segments(run, 0, int(text.size()), suiteVoice(u"Mavi Tessa"_s));
        QCOMPARE(segments.size(), size_t(1));
        QCOMPARE(segments[0].voice, QByteArray("yue+f3"));
        QCOMPARE(textOf(segments[0]), text);
    }

    void aBrokenLexiconIsRefused()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"broken.lex"_s);
        QFile good(MandarinLexicon::defaultFile());
        QVERIFY(good.open(QIODevice::ReadOnly));
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(good.read(100000)); // cut short
        out.close();
        MandarinLexicon lexicon;
        QString error;
        QVERIFY(!lexicon.load(path, &error));
        QVERIFY2(error.contains(u"damaged"_s), qPrintable(error));
        QVERIFY(!lexicon.load(dir.filePath(u"missing.lex"_s), &error));
        // Without words every character stands alone, for the voice to read.
        const QList<Token> t = MandarinReading::read(MappedText::of(u"銀行2個"_s), lexicon);
        QCOMPARE(spans(t), u"銀:0-1 行:1-2 兩:2-3 個:3-4"_s);
    }

    void highlightsFollowTheWrittenText()
    {
        QVERIFY2(SpeechEngine::instance().isAvailable(), "espeak-ng data is missing");
        AudioSink::setFactory([] { return std::make_unique<ImmediateSink>(); });
        SpVoice voice;
        SpeechRecorder rec(&voice);
        const QString percent = u"共3.5%的人"_s;
        voice.Speak(percent, SVSFIsNotXML);
        QCOMPARE(rec.words(percent), (QStringList {u"共"_s, u"3.5%"_s, u"的"_s, u"人"_s}));
        rec.events.clear();
        const QString mixed = u"我用Linux系統"_s;
        voice.Speak(mixed, SVSFIsNotXML);
        QCOMPARE(rec.words(mixed), (QStringList {u"我"_s, u"用"_s, u"Linux"_s, u"系"_s, u"統"_s}));
        QVERIFY(SpeechEngine::instance().phonemeTranscript(mixed, voice.Voice()).contains("(en)"));
    }

    void customPronunciationsComeBeforeTheReading()
    {
        QTemporaryDir dir;
        AppPaths::setOverrideFolder(dir.path());
        const QString text = u"我用parlo"_s;
        QCOMPARE(MandarinReadingOf(text), u"wo3 yong4 parlo"_s);
        QVERIFY(
            PronunciationList::save(PronunciationList::defaultFile(), {{u"Parlo"_s, u"巴洛"_s}}));
        QCOMPARE(MandarinReadingOf(text), u"wo3 yong4 ba1 luo4"_s);
        AudioSink::setFactory([] { return std::make_unique<ImmediateSink>(); });
        SpVoice voice;
        SpeechRecorder rec(&voice);
        voice.Speak(text, SVSFIsNotXML);
        QCOMPARE(rec.words(text), (QStringList {u"我"_s, u"用"_s, u"parlo"_s}));
        AppPaths::setOverrideFolder(QString());
    }
};

QTEST_GUILESS_MAIN(TestMandarinReading)
#include "test_MandarinReading.moc"
