#include "DataColumns.h"
#include "speech/SpVoice.h"
#include "speech/SpeechEngine.h"
#include "speech/VoiceCatalogue.h"

#include <QtTest>

using namespace Qt::StringLiterals;

namespace
{
QStringList names(const QList<SpObjectToken> &tokens)
{
    QStringList out;
    for (const SpObjectToken &t : tokens)
        out.append(t.GetDescription());
    return out;
}

const QStringList Suite {
    u"Mavi Oskar"_s, u"Mavi Lena"_s, u"Mavi Mei"_s, u"Mavi Tessa"_s, u"Mavi Ivy"_s};
} // namespace

class TestVoiceCatalogue : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void installedCatalogueStartsWithTheSuite()
    {
        SpVoice voice;
        const QList<SpObjectToken> voices = voice.GetVoices();
        QCOMPARE(names(voices).mid(0, 5), Suite);
        QCOMPARE(voice.Voice(), voices[0]); // the default voice
        QCOMPARE(voice.GetVoices(), voices); // the same order every time
        QSet<QString> ids; // unique, so each names one voice
        QSet<int> pitches; // the suite voices sound apart
        for (int i = 0; i < voices.size(); ++i) {
            ids.insert(voices[i].Id());
            if (i < 5)
                pitches.insert(voices[i].engineSettings().pitch);
            // Plain "cmn" reads ideographs as English letters and is left out.
            const QByteArray base = voices[i].engineSettings().espeakVoice;
            QVERIFY(base != "sit/cmn" && base != "cmn");
        }
        QCOMPARE(ids.size(), voices.size());
        QCOMPARE(pitches.size(), 5);
        const auto english = std::find_if(voices.begin(), voices.end(),
            [](const SpObjectToken &t) { return t.GetDescription() == u"English (America)"_s; });
        QVERIFY(english != voices.end());
        QCOMPARE(english->GetAttribute(u"Language"_s), u"409"_s);
    }

    void buildSkipsSuiteVoicesWhoseBaseIsMissing()
    {
        const QList<SpObjectToken> tokens = VoiceCatalogue::build({
            {u"Chinese (Cantonese)"_s, "yue", "sit/yue", 1},
            {u"English (Great Britain)"_s, "en-gb", "gmw/en", 2},
            {u"Chinese (Mandarin, latin as English)"_s, "cmn", "sit/cmn", 1},
        });
        QCOMPARE(names(tokens),
            (QStringList {
                u"Mavi Tessa"_s, u"Chinese (Cantonese)"_s, u"English (Great Britain)"_s}));
        QCOMPARE(tokens[2].GetAttribute(u"Language"_s), u"809"_s);
        QCOMPARE(tokens[2].GetAttribute(u"Gender"_s), u"Female"_s);
        QCOMPARE(tokens[2].espeakVoiceName(), QByteArray("gmw/en"));
        // Tokens compare by identity.
        QVERIFY(tokens[0] == VoiceCatalogue::suiteVoices()[3]);
        QVERIFY(tokens[0] != tokens[1]);
        QVERIFY(SpObjectToken().isNull() && SpObjectToken() != tokens[0]);
    }

    void languageIds_data()
    {
        QTest::addColumn<QByteArray>("tag");
        QTest::addColumn<QString>("id");
        QTest::newRow("en-us") << QByteArray("en-us") << u"409"_s;
        QTest::newRow("yue") << QByteArray("yue") << u"C04"_s;
        QTest::newRow("regional falls back") << QByteArray("de-at") << u"407"_s;
        QTest::newRow("upper case") << QByteArray("FR-FR") << u"40C"_s;
        QTest::newRow("unknown") << QByteArray("qya") << QString();
    }
    void languageIds()
    {
        QFETCH(QByteArray, tag);
        QTEST(VoiceCatalogue::languageId(tag), "id");
    }

    void queries_data()
    {
        DataColumns::add<QString>({"required", "optional"});
        QTest::addColumn<QStringList>("names");
        QTest::newRow("all") << QString() << QString() << Suite;
        QTest::newRow("by name") << u"Name=Mavi Mei"_s << QString() << QStringList {u"Mavi Mei"_s};
        QTest::newRow("language as a number")
            << u"Language=c04"_s << QString() << QStringList {u"Mavi Tessa"_s};
        QTest::newRow("two conditions")
            << u"Gender=Female;Language=404"_s << QString()
            << QStringList {u"Mavi Lena"_s, u"Mavi Mei"_s, u"Mavi Ivy"_s};
        QTest::newRow("optional reorders")
            << u"Language=404"_s << u"Age=Child"_s
            << QStringList {u"Mavi Mei"_s, u"Mavi Oskar"_s, u"Mavi Lena"_s, u"Mavi Ivy"_s};
        QTest::newRow("nothing matches") << u"Name=Nobody"_s << QString() << QStringList {};
    }
    void queries()
    {
        const auto [required, optional] = DataColumns::fetch<QString>("required", "optional");
        QTEST(names(VoiceCatalogue::select(VoiceCatalogue::suiteVoices(), required, optional)),
            "names");
    }
};

QTEST_GUILESS_MAIN(TestVoiceCatalogue)
#include "test_VoiceCatalogue.moc"
