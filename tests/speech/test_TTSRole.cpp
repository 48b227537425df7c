// The voice list: order, display names, the filters and what a choice writes.

#include "DataColumns.h"
#include "speech/TTSRole.h"

#include <QtTest>

using namespace Qt::StringLiterals;

namespace
{
struct Voice {
    QString description, language, gender;
};

QList<SpObjectToken> tokens(const QList<Voice> &voices)
{
    QList<SpObjectToken> list;
    int n = 0;
    for (const Voice &v : voices) {
        QMap<QString, QString> attributes;
        if (!v.language.isNull())
            attributes.insert(u"Language"_s, v.language);
        if (!v.gender.isNull())
            attributes.insert(u"Gender"_s, v.gender);
        list.append(SpObjectToken(u"Voice%1"_s.arg(n++), v.description, attributes, {}));
    }
    return list;
}

// Attributes as the registry holds them: under each token's attribute key.
TTSRole::AttributeReader readerFor(const QList<SpObjectToken> &list)
{
    QMap<QString, QMap<QString, QString>> store;
    for (const SpObjectToken &t : list)
        store.insert(TTSRole::AttributeKey(t), t.attributes());
    return
        [store](const QString &key, const QString &name) { return store.value(key).value(name); };
}

QStringList names(const QList<TTSRole::VoiceEntry> &entries)
{
    QStringList n;
    for (const auto &e : entries)
        n.append(e.name);
    return n;
}
} // namespace

class TestTTSRole : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void attributeKeyDropsTheMachineRoot()
    {
        const SpObjectToken t = tokens({{u"X"_s, {}, {}}}).first();
        QCOMPARE(u"HKEY_LOCAL_MACHINE\\"_s + TTSRole::AttributeKey(t), t.Id() + u"\\Attributes"_s);
    }

    void suiteVoicesComeFirstInTheirOrder()
    {
        // Installed in another order, with an English voice among them.
        const auto list = tokens({
            {u"English (America)"_s, u"409"_s, u"Male"_s},
            {u"Mavi Ivy"_s, u"404"_s, u"Female"_s},
            {u"Mavi Tessa"_s, u"C04"_s, u"Female"_s},
            {u"Mavi Oskar"_s, u"404"_s, u"Male"_s},
            {u"Mavi Lena"_s, u"404"_s, u"Female"_s},
            {u"Mavi Mei"_s, u"404"_s, u"Female"_s},
        });
        const auto suiteOnly = TTSRole::ListVoices(list, false, readerFor(list));
        QCOMPARE(names(suiteOnly),
            QStringList({u"奧斯卡 (男聲)"_s, u"莉娜 (女聲)"_s, u"小美 (女聲)"_s, u"泰莎 (女聲)"_s,
                u"Ivy (女聲)"_s}));
        QCOMPARE(suiteOnly.first().enginePosition, 3);
        QCOMPARE(suiteOnly.last().enginePosition, 1);

        const auto all = TTSRole::ListVoices(list, true, readerFor(list));
        QCOMPARE(all.size(), 6);
        QCOMPARE(all.last().name, u"English (America) (英文) (男聲)"_s);
        QCOMPARE(all.last().enginePosition, 0);
    }

    void namesFiltersAndSuffixes_data()
    {
        // An empty "listed" is a voice left out.
        DataColumns::add<QString>({"description", "language", "gender", "listed"});
        QTest::newRow("female is not male")
            << u"Anna"_s << u"407"_s << u"Female"_s << u"Anna (女聲)"_s;
        QTest::newRow("no gender counts as female")
            << u"Bo"_s << u"406"_s << QString() << u"Bo (女聲)"_s;
        QTest::newRow("gender test is case-sensitive")
            << u"Cy"_s << u"406"_s << u"male"_s << u"Cy (女聲)"_s;
        QTest::newRow("English mark before gender")
            << u"Sam"_s << u"409;809"_s << u"Male"_s << u"Sam (英文) (男聲)"_s;
        QTest::newRow("Sample voices never listed")
            << u"Sample TTS"_s << u"409"_s << u"Male"_s << QString();
        QTest::newRow("sample in lower case is listed")
            << u"sample"_s << u"404"_s << u"Male"_s << u"sample (男聲)"_s;
        QTest::newRow("blank name") << u" "_s << u"404"_s << u"Male"_s << QString();
    }
    void namesFiltersAndSuffixes()
    {
        const auto [description, language, gender, listed]
            = DataColumns::fetch<QString>("description", "language", "gender", "listed");
        const auto list = tokens({{description, language, gender}});
        const auto entries = TTSRole::ListVoices(list, true, readerFor(list));
        QCOMPARE(names(entries), listed.isEmpty() ? QStringList() : QStringList {listed});
    }
};

QTEST_GUILESS_MAIN(TestTTSRole)
#include "test_TTSRole.moc"
