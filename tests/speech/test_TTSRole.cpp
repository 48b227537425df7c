// The voice list: order, display names, the filters and what a choice writes.

#include "speech/TTSRole.h"

#include <QtTest>

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
            attributes.insert(QStringLiteral("Language"), v.language);
        if (!v.gender.isNull())
            attributes.insert(QStringLiteral("Gender"), v.gender);
        list.append(
            SpObjectToken(QStringLiteral("Voice%1").arg(n++), v.description, attributes, {}));
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
        const SpObjectToken t = tokens({{QStringLiteral("X"), {}, {}}}).first();
        const QString key = TTSRole::AttributeKey(t);
        QVERIFY(!key.startsWith(QStringLiteral("HKEY_LOCAL_MACHINE")));
        QVERIFY(key.endsWith(QStringLiteral("\\Attributes")));
        QCOMPARE(
            QStringLiteral("HKEY_LOCAL_MACHINE\\") + key, t.Id() + QStringLiteral("\\Attributes"));
    }

    void suiteVoicesComeFirstInTheirOrder()
    {
        // Installed in another order, with an English voice among them.
        const auto list = tokens({
            {QStringLiteral("English (America)"), QStringLiteral("409"), QStringLiteral("Male")},
            {QStringLiteral("Mavi Ivy"), QStringLiteral("404"), QStringLiteral("Female")},
            {QStringLiteral("Mavi Tessa"), QStringLiteral("C04"), QStringLiteral("Female")},
            {QStringLiteral("Mavi Oskar"), QStringLiteral("404"), QStringLiteral("Male")},
            {QStringLiteral("Mavi Lena"), QStringLiteral("404"), QStringLiteral("Female")},
            {QStringLiteral("Mavi Mei"), QStringLiteral("404"), QStringLiteral("Female")},
        });
        const auto suiteOnly = TTSRole::ListVoices(list, false, readerFor(list));
        QCOMPARE(names(suiteOnly),
            QStringList({QStringLiteral("奧斯卡 (男聲)"), QStringLiteral("莉娜 (女聲)"),
                QStringLiteral("小美 (女聲)"), QStringLiteral("泰莎 (女聲)"),
                QStringLiteral("Ivy (女聲)")}));
        QCOMPARE(suiteOnly.first().enginePosition, 3);
        QCOMPARE(suiteOnly.last().enginePosition, 1);

        const auto all = TTSRole::ListVoices(list, true, readerFor(list));
        QCOMPARE(all.size(), 6);
        QCOMPARE(all.last().name, QStringLiteral("English (America) (英文) (男聲)"));
        QCOMPARE(all.last().enginePosition, 0);
    }

    void namesFiltersAndSuffixes_data()
    {
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("gender");
        QTest::addColumn<QString>("listed"); // empty: not listed
        QTest::newRow("female is not male") << "Anna"
                                            << "407"
                                            << "Female"
                                            << "Anna (女聲)";
        QTest::newRow("no gender counts as female") << "Bo"
                                                    << "406" << QString() << "Bo (女聲)";
        QTest::newRow("gender test is case-sensitive") << "Cy"
                                                       << "406"
                                                       << "male"
                                                       << "Cy (女聲)";
        QTest::newRow("English mark before gender") << "Sam"
                                                    << "409;809"
                                                    << "Male"
                                                    << "Sam (英文) (男聲)";
        QTest::newRow("Sample voices never listed") << "Sample TTS"
                                                    << "409"
                                                    << "Male" << QString();
        QTest::newRow("sample in lower case is listed") << "sample"
                                                        << "404"
                                                        << "Male"
                                                        << "sample (男聲)";
        QTest::newRow("blank name") << "   "
                                    << "404"
                                    << "Male" << QString();
    }
    void namesFiltersAndSuffixes()
    {
        QFETCH(QString, description);
        QFETCH(QString, language);
        QFETCH(QString, gender);
        QFETCH(QString, listed);
        const auto list = tokens({{description, language, gender}});
        const auto entries = TTSRole::ListVoices(list, true, readerFor(list));
        QCOMPARE(names(entries), listed.isEmpty() ? QStringList() : QStringList {listed});
        // With the check off only suite voices are listed.
        QVERIFY(TTSRole::ListVoices(list, false, readerFor(list)).isEmpty());
    }

    void choiceMapsToPromptVoiceAndRoleId_data()
    {
        QTest::addColumn<QString>("display");
        QTest::addColumn<int>("prompt");
        QTest::addColumn<QString>("roleId");
        QTest::addColumn<bool>("female");
        QTest::newRow("Oskar") << "奧斯卡 (男聲)" << 101 << "0" << false;
        QTest::newRow("Lena") << "莉娜 (女聲)" << 102 << "1" << true;
        QTest::newRow("Mei") << "小美 (女聲)" << 103 << "2" << true;
        QTest::newRow("Tessa") << "泰莎 (女聲)" << 10 << "3" << true;
        QTest::newRow("Ivy writes no role id") << "Ivy (女聲)" << 101 << QString() << true;
        QTest::newRow("suite voice with other suffix")
            << "莉娜 (英文) (女聲)" << 101 << QString() << true;
        QTest::newRow("other voice")
            << "English (America) (英文) (男聲)" << 101 << QString() << false;
    }
    void choiceMapsToPromptVoiceAndRoleId()
    {
        QFETCH(QString, display);
        QTEST(TTSRole::PromptVoiceNumber(display), "prompt");
        QTEST(TTSRole::RoleIdFor(display), "roleId");
        QTEST(TTSRole::IsFemaleRole(display), "female");
    }
};

QTEST_GUILESS_MAIN(TestTTSRole)
#include "test_TTSRole.moc"
