#include "speech/SpVoice.h"
#include "speech/SpeechEngine.h"
#include "speech/VoiceCatalogue.h"

#include <QtTest>

class TestVoiceCatalogue : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void installedCatalogueStartsWithTheSuite()
    {
        SpVoice voice;
        const QList<SpObjectToken> voices = voice.GetVoices();
        QVERIFY(voices.size() > 5);
        const QStringList names {QStringLiteral("Mavi Oskar"), QStringLiteral("Mavi Lena"),
            QStringLiteral("Mavi Mei"), QStringLiteral("Mavi Tessa"), QStringLiteral("Mavi Ivy")};
        const QStringList languages {QStringLiteral("404"), QStringLiteral("404"),
            QStringLiteral("404"), QStringLiteral("C04"), QStringLiteral("404")};
        for (int i = 0; i < 5; ++i) {
            QCOMPARE(voices[i].GetDescription(0), names[i]);
            QCOMPARE(voices[i].GetAttribute(QStringLiteral("Language")), languages[i]);
            QCOMPARE(voices[i].GetAttribute(QStringLiteral("Gender")),
                i == 0 ? QStringLiteral("Male") : QStringLiteral("Female"));
            QVERIFY(voices[i].Id().startsWith(QStringLiteral("HKEY_LOCAL_MACHINE\\")));
        }
        // The default voice is the first one.
        QCOMPARE(voice.Voice(), voices[0]);
        // The order is stable from one call to the next.
        QCOMPARE(voice.GetVoices(), voices);
        // Ids are unique, so each names one voice.
        QSet<QString> ids;
        for (const SpObjectToken &token : voices)
            ids.insert(token.Id());
        QCOMPARE(ids.size(), voices.size());
    }

    void englishAmericaIs409()
    {
        SpVoice voice;
        const QList<SpObjectToken> voices = voice.GetVoices();
        auto it = std::find_if(voices.begin(), voices.end(), [](const SpObjectToken &t) {
            return t.GetDescription() == QLatin1String("English (America)");
        });
        QVERIFY(it != voices.end());
        QCOMPARE(it->GetAttribute(QStringLiteral("Language")), QStringLiteral("409"));
        QCOMPARE(it->GetAttribute(QStringLiteral("Gender")), QStringLiteral("Male"));
        // Plain "cmn" reads ideographs as English letters and is left out.
        for (const SpObjectToken &t : voices)
            QVERIFY(t.engineSettings().espeakVoice != "sit/cmn");
    }

    void suiteVoicesHaveDistinctPitches()
    {
        const QList<SpObjectToken> suite = VoiceCatalogue::suiteVoices();
        QSet<int> pitches;
        for (const SpObjectToken &t : suite)
            pitches.insert(t.engineSettings().pitch);
        QCOMPARE(pitches.size(), 5);
        for (const SpObjectToken &t : suite)
            QVERIFY(t.engineSettings().espeakVoice != "cmn");
    }

    void buildSkipsSuiteVoicesWhoseBaseIsMissing()
    {
        const QList<VoiceCatalogue::EngineVoice> engine {
            {QStringLiteral("Chinese (Cantonese)"), "yue", "sit/yue", 1},
            {QStringLiteral("English (Great Britain)"), "en-gb", "gmw/en", 2},
            {QStringLiteral("Chinese (Mandarin, latin as English)"), "cmn", "sit/cmn", 1},
        };
        const QList<SpObjectToken> tokens = VoiceCatalogue::build(engine);
        QStringList names;
        for (const SpObjectToken &t : tokens)
            names.append(t.GetDescription());
        QCOMPARE(names,
            (QStringList {QStringLiteral("Mavi Tessa"), QStringLiteral("Chinese (Cantonese)"),
                QStringLiteral("English (Great Britain)")}));
        QCOMPARE(tokens[2].GetAttribute(QStringLiteral("Language")), QStringLiteral("809"));
        QCOMPARE(tokens[2].GetAttribute(QStringLiteral("Gender")), QStringLiteral("Female"));
        QCOMPARE(tokens[2].espeakVoiceName(), QByteArray("gmw/en"));
    }

    void languageIds_data()
    {
        QTest::addColumn<QByteArray>("tag");
        QTest::addColumn<QString>("id");
        QTest::newRow("en-us") << QByteArray("en-us") << QStringLiteral("409");
        QTest::newRow("en-gb") << QByteArray("en-gb") << QStringLiteral("809");
        QTest::newRow("cmn") << QByteArray("cmn") << QStringLiteral("804");
        QTest::newRow("yue") << QByteArray("yue") << QStringLiteral("C04");
        QTest::newRow("regional falls back") << QByteArray("de-at") << QStringLiteral("407");
        QTest::newRow("upper case") << QByteArray("FR-FR") << QStringLiteral("40C");
        QTest::newRow("unknown") << QByteArray("qya") << QString();
    }

    void languageIds()
    {
        QFETCH(QByteArray, tag);
        QFETCH(QString, id);
        QCOMPARE(VoiceCatalogue::languageId(tag), id);
    }

    void queries_data()
    {
        QTest::addColumn<QString>("required");
        QTest::addColumn<QString>("optional");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("all") << QString() << QString()
                             << QStringList {QStringLiteral("Mavi Oskar"),
                                    QStringLiteral("Mavi Lena"), QStringLiteral("Mavi Mei"),
                                    QStringLiteral("Mavi Tessa"), QStringLiteral("Mavi Ivy")};
        QTest::newRow("by name") << QStringLiteral("Name=Mavi Mei") << QString()
                                 << QStringList {QStringLiteral("Mavi Mei")};
        QTest::newRow("male") << QStringLiteral("Gender=Male") << QString()
                              << QStringList {QStringLiteral("Mavi Oskar")};
        QTest::newRow("language as a number") << QStringLiteral("Language=c04") << QString()
                                              << QStringList {QStringLiteral("Mavi Tessa")};
        QTest::newRow("two conditions")
            << QStringLiteral("Gender=Female;Language=404") << QString()
            << QStringList {QStringLiteral("Mavi Lena"), QStringLiteral("Mavi Mei"),
                   QStringLiteral("Mavi Ivy")};
        QTest::newRow("optional reorders")
            << QStringLiteral("Language=404") << QStringLiteral("Age=Child")
            << QStringList {QStringLiteral("Mavi Mei"), QStringLiteral("Mavi Oskar"),
                   QStringLiteral("Mavi Lena"), QStringLiteral("Mavi Ivy")};
        QTest::newRow("nothing matches")
            << QStringLiteral("Name=Nobody") << QString() << QStringList {};
    }

    void queries()
    {
        QFETCH(QString, required);
        QFETCH(QString, optional);
        QFETCH(QStringList, names);
        const QList<SpObjectToken> found
            = VoiceCatalogue::select(VoiceCatalogue::suiteVoices(), required, optional);
        QStringList got;
        for (const SpObjectToken &t : found)
            got.append(t.GetDescription());
        QCOMPARE(got, names);
    }

    void attributeStoreListsEveryToken()
    {
        const QList<SpObjectToken> suite = VoiceCatalogue::suiteVoices();
        const QList<VoiceCatalogue::TokenAttributes> store = VoiceCatalogue::attributeStore(suite);
        QCOMPARE(store.size(), suite.size());
        QCOMPARE(store[3].id, suite[3].Id());
        QVERIFY(
            store[3].values.contains(qMakePair(QStringLiteral("Language"), QStringLiteral("C04"))));
        QVERIFY(
            store[0].values.contains(qMakePair(QStringLiteral("Gender"), QStringLiteral("Male"))));
    }

    void tokensCompareByIdentity()
    {
        const QList<SpObjectToken> a = VoiceCatalogue::suiteVoices();
        const QList<SpObjectToken> b = VoiceCatalogue::suiteVoices();
        QVERIFY(a[1] == b[1]);
        QVERIFY(a[1] != a[2]);
        QVERIFY(SpObjectToken().isNull());
        QVERIFY(SpObjectToken() != a[0]);
        QCOMPARE(SpObjectToken().GetDescription(), QString());
        QCOMPARE(a[1].espeakVoiceName(), QByteArray("cmn-latn-pinyin+f2"));
    }
};

QTEST_GUILESS_MAIN(TestVoiceCatalogue)
#include "test_VoiceCatalogue.moc"
