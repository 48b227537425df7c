// The voice list driven through a plain view object, over the real voice
// catalogue: what is listed, what a choice sets and remembers, the stored
// choice at start-up, and a markup voice change during a reading.

#include "audio/AudioSink.h"
#include "shell/CIni.h"
#include "shell/VoiceList.h"
#include "speech/SpVoice.h"
#include "speech/VoicePrompt.h"
#include "system/CReg.h"
#include "system/RegistryStore.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace
{
const QString ProductKey = QStringLiteral("Software\\Test\\Parlo");

class FakeView : public VoiceListView
{
public:
    QStringList entries;
    int current = -1;
    bool showAll = false;
    bool buttons = false;
    QList<TTSRole::Role> roles; // every role shown, with its picture
    QStringList pictures;

    void setVoiceEntries(const QStringList &names) override
    {
        entries = names;
        current = -1;
    }
    int currentVoiceEntry() const override { return current; }
    QString currentVoiceText() const override { return entries.value(current); }
    void setCurrentVoiceEntry(int entry) override
    {
        current = entry >= 0 && entry < entries.size() ? entry : -1;
    }
    bool showAllVoices() const override { return showAll; }
    void setSpeechButtonsEnabled(bool enabled) override { buttons = enabled; }
    void showRole(const TTSRole::Role &role, const QString &picturePath) override
    {
        roles.append(role);
        pictures.append(picturePath);
    }
};

QString storedRoleId()
{
    return CReg().GetSz(ProductKey, QStringLiteral("RoleID"), HKEY_CURRENT_USER);
}

const QStringList Suite {QStringLiteral("奧斯卡 (男聲)"), QStringLiteral("莉娜 (女聲)"),
    QStringLiteral("小美 (女聲)"), QStringLiteral("泰莎 (女聲)"), QStringLiteral("Ivy (女聲)")};
} // namespace

class TestVoiceList : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    std::unique_ptr<SpVoice> voice;
    std::unique_ptr<VoicePrompt> prompt;
    std::unique_ptr<CIni> ini;
    FakeView view;
    std::unique_ptr<VoiceList> list;

    void choose(int entry)
    {
        view.current = entry;
        list->SelectVoice();
    }

private Q_SLOTS:
    void initTestCase()
    {
        AudioSink::setFactory([] { return std::make_unique<ImmediateSink>(); });
        RegistryStore::instance().setUserFile(dir.filePath(QStringLiteral("registry.json")));
    }
    void init()
    {
        QFile::remove(dir.filePath(QStringLiteral("registry.json")));
        QFile::remove(dir.filePath(QStringLiteral("Parlo_Cfg.ini")));
        view = FakeView();
        voice = std::make_unique<SpVoice>();
        TTSRole::PublishVoiceAttributes(voice->GetVoices());
        prompt = std::make_unique<VoicePrompt>();
        ini = std::make_unique<CIni>(dir.filePath(QStringLiteral("Parlo_Cfg.ini")));
        list
            = std::make_unique<VoiceList>(view, *voice, *ini, prompt.get(), ProductKey, dir.path());
        list->connectVoiceEvents();
    }
    void cleanup()
    {
        list.reset();
        prompt.reset();
        voice.reset();
    }

    void showAllAddsOtherVoicesAndKeepsTheShownOne()
    {
        list->FillVoiceList(false);
        QCOMPARE(view.entries, Suite);
        QVERIFY(view.buttons);
        choose(2);
        view.showAll = true;
        list->CheckAllEngineClick();
        QVERIFY(view.entries.size() > 20);
        QCOMPARE(view.entries.mid(0, 5), Suite);
        QCOMPARE(list->voiceIndexes().size(), view.entries.size());
        QCOMPARE(view.currentVoiceText(), QStringLiteral("小美 (女聲)"));
        QCOMPARE(voice->Voice().GetDescription(), QStringLiteral("Mavi Mei"));

        // Hiding the other voices while one is chosen leaves none selected,
        // and the voice stays the one chosen.
        const int other
            = int(view.entries.indexOf(QRegularExpression(QStringLiteral(".*\\(英文\\).*"))));
        QVERIFY(other >= 5);
        choose(other);
        const QString engineVoice = voice->Voice().GetDescription();
        QVERIFY(!engineVoice.startsWith(QStringLiteral("Mavi")));
        view.showAll = false;
        list->CheckAllEngineClick();
        QCOMPARE(view.entries, Suite);
        QCOMPARE(view.current, -1);
        QCOMPARE(voice->Voice().GetDescription(), engineVoice);
    }

    void choosingAVoiceSetsRoleAndPromptAndWritesItsId_data()
    {
        QTest::addColumn<int>("entry");
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QString>("roleId");
        QTest::addColumn<QString>("gender");
        QTest::addColumn<int>("promptVoice");
        QTest::newRow("Oskar") << 0 << "Mavi Oskar"
                               << "0"
                               << "Male" << 101;
        QTest::newRow("Lena") << 1 << "Mavi Lena"
                              << "1"
                              << "Female" << 102;
        QTest::newRow("Tessa") << 3 << "Mavi Tessa"
                               << "3"
                               << "Female" << 10;
        QTest::newRow("Ivy writes nothing") << 4 << "Mavi Ivy"
                                            << ""
                                            << "Female" << 101;
    }
    void choosingAVoiceSetsRoleAndPromptAndWritesItsId()
    {
        QFETCH(int, entry);
        QFETCH(QString, gender);
        list->FillVoiceList(false);
        choose(entry);
        QTEST(voice->Voice().GetDescription(), "engine");
        QTEST(storedRoleId(), "roleId");
        QTEST(prompt->voiceNumber(), "promptVoice");
        QCOMPARE(list->role().female, gender == QStringLiteral("Female"));
        QCOMPARE(list->role().defaultFolder,
            dir.path() + QStringLiteral("/Images/Roles/Default/") + gender);
        QCOMPARE(
            list->role().userFolder, dir.path() + QStringLiteral("/Images/Roles/User/") + gender);
        // The window is handed the same role.
        QCOMPARE(view.roles.size(), 1);
        QCOMPARE(view.roles.last().userFolder, list->role().userFolder);
    }

    void storedChoiceAtStartUp_data()
    {
        QTest::addColumn<QString>("registry");
        QTest::addColumn<QString>("settings");
        QTest::addColumn<QString>("engine");
        QTest::addColumn<bool>("logged");
        QTest::newRow("nothing stored") << ""
                                        << ""
                                        << "Mavi Oskar" << false;
        QTest::newRow("registry is the default") << "2"
                                                 << ""
                                                 << "Mavi Mei" << false;
        QTest::newRow("settings over registry") << "2"
                                                << "3"
                                                << "Mavi Tessa" << false;
        QTest::newRow("registry number first") << "1abc"
                                               << ""
                                               << "Mavi Lena" << false;
        QTest::newRow("registry beyond 16 bits") << "70000"
                                                 << ""
                                                 << "Mavi Oskar" << false;
        QTest::newRow("beyond the list") << ""
                                         << "99"
                                         << "Mavi Oskar" << true;
        QTest::newRow("negative") << ""
                                  << "-1"
                                  << "Mavi Oskar" << true;
    }
    void storedChoiceAtStartUp()
    {
        QFETCH(QString, registry);
        QFETCH(QString, settings);
        QFETCH(bool, logged);
        if (!registry.isEmpty())
            CReg().SetSz(ProductKey, QStringLiteral("RoleID"), registry, HKEY_CURRENT_USER);
        if (!settings.isEmpty())
            ini->SetSz(QStringLiteral("TTS"), QStringLiteral("RoleID"), settings);
        if (logged)
            QTest::ignoreMessage(
                QtWarningMsg, QRegularExpression(QStringLiteral("stored voice entry")));
        list->FillVoiceList(false);
        list->SelectStoredVoice();
        QTEST(voice->Voice().GetDescription(), "engine");
        QCOMPARE(view.roles.size(), 1);
        // Start-up applies the stored choice without writing it back.
        QCOMPARE(storedRoleId(), registry);
    }

    void rolePictureSettingFindsTheUserFolder()
    {
        QDir(dir.path()).mkpath(QStringLiteral("Images/Roles/User/Male"));
        const QString face = dir.filePath(QStringLiteral("Images/Roles/User/Male/me.png"));
        QFile file(face);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        ini->SetSz(
            QStringLiteral("Option"), QStringLiteral("CustomDefMalePic"), QStringLiteral("me.png"));
        ini->SetSz(QStringLiteral("Option"), QStringLiteral("CustomDefFemalePic"),
            QStringLiteral("missing.png"));
        list->FillVoiceList(false);
        choose(0);
        choose(1);
        QCOMPARE(view.pictures, QStringList({face, QString()}));
    }

    void entryWithoutAVoiceIsLoggedAndChangesNothing()
    {
        list->FillVoiceList(false);
        choose(1);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("voice entry 7 ")));
        choose(7);
        QCOMPARE(voice->Voice().GetDescription(), QStringLiteral("Mavi Lena"));
        QCOMPARE(view.roles.size(), 1);
    }

    void markupVoiceChangeShowsInTheListUntilTheEnd()
    {
        list->FillVoiceList(false);
        choose(0);
        QFile::remove(dir.filePath(QStringLiteral("registry.json")));
        QStringList shown;
        QList<int> chosen;
        connect(voice.get(), &SpVoice::Word, this, [&] {
            shown.append(view.currentVoiceText());
            chosen.append(list->chosenEntry());
        });
        QSignalSpy ended(voice.get(), &SpVoice::EndStream);
        voice->Speak(QStringLiteral("<voice required=\"Name=Mavi Lena\">你好</voice>"), 11);
        QVERIFY(ended.wait(20000));
        QVERIFY(!shown.isEmpty());
        QCOMPARE(shown.last(), QStringLiteral("莉娜 (女聲)"));
        QCOMPARE(chosen.last(), 0); // the user's choice all along
        QCOMPARE(view.currentVoiceText(), QStringLiteral("奧斯卡 (男聲)"));
        QVERIFY(storedRoleId().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestVoiceList)
#include "test_VoiceList.moc"
