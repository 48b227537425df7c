// The voice list driven through a plain view object, over the real voice
// catalogue: what is listed, what a choice sets and remembers, the stored
// choice at start-up, and a markup voice change during a reading.

#include "DataColumns.h"
#include "audio/AudioSink.h"
#include "speech/ScriptedEngine.h"
#include "speech/SpVoice.h"
#include "speech/VoiceList.h"
#include "speech/VoicePrompt.h"
#include "system/CIni.h"
#include "system/CReg.h"
#include "system/RegistryStore.h"

#include <QtTest>

using namespace Qt::StringLiterals;

namespace
{
const QString ProductKey = u"Software\\Test\\Parlo"_s;

class FakeView : public VoiceListView
{
public:
    QStringList entries;
    int current = -1;
    bool showAll = false;
    bool buttons = false;
    QString note;
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
    void setVoiceNote(const QString &text) override { note = text; }
    void showRole(const TTSRole::Role &role, const QString &picturePath) override
    {
        roles.append(role);
        pictures.append(picturePath);
    }
};

QString storedRoleId()
{
    return CReg().GetSz(ProductKey, u"RoleID"_s, HKEY_CURRENT_USER);
}

// Natural voices are looked for in a data folder of the test's own, set
// before any engine is made: one voice is there, with no runtime to speak it.
struct NaturalVoiceWithoutRuntime {
    QTemporaryDir data;
    NaturalVoiceWithoutRuntime()
    {
        const QString voice = data.filePath(u"Parlo/voices/v"_s);
        QDir().mkpath(voice);
        for (const QString &file : {u"tokens.txt"_s, u"model.onnx"_s}) {
            QFile f(voice + u'/' + file);
            f.open(QIODevice::WriteOnly);
        }
        qputenv("XDG_DATA_HOME", data.path().toUtf8());
        qputenv("PARLO_NEURAL_RUNTIME", data.filePath(u"no-runtime"_s).toUtf8());
    }
} g_natural;

const QStringList Suite {
    u"奧斯卡 (男聲)"_s, u"莉娜 (女聲)"_s, u"小美 (女聲)"_s, u"泰莎 (女聲)"_s, u"Ivy (女聲)"_s};
} // namespace

class TestVoiceList : public QObject
{
    Q_OBJECT

    ScriptedEngine m_engine;

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
        SynthesisEngine::setDefault(&m_engine);
        AudioSink::setFactory([] { return std::make_unique<ImmediateSink>(); });
        RegistryStore::instance().setUserFile(dir.filePath(u"registry.json"_s));
    }
    void init()
    {
        QFile::remove(dir.filePath(u"registry.json"_s));
        QFile::remove(dir.filePath(u"Parlo_Cfg.ini"_s));
        view = FakeView();
        voice = std::make_unique<SpVoice>();
        TTSRole::PublishVoiceAttributes(voice->GetVoices());
        prompt = std::make_unique<VoicePrompt>();
        ini = std::make_unique<CIni>(dir.filePath(u"Parlo_Cfg.ini"_s));
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

    // Natural voices that cannot speak are not listed, and the list says why.
    void noteSaysWhyNaturalVoicesAreMissing()
    {
        list->FillVoiceList(false);
        QCOMPARE(view.entries, Suite);
        QVERIFY2(view.note.startsWith(u"1 個自然語音無法使用"_s), qPrintable(view.note));
        QVERIFY(view.note.contains(u"tools/install-neural-runtime.sh"_s));
    }

    void showAllAddsOtherVoicesAndKeepsTheShownOne()
    {
        list->FillVoiceList(false);
        QCOMPARE(view.entries, Suite);
        QVERIFY(view.buttons);
        choose(2);
        view.showAll = true;
        list->CheckAllEngineClick();
        QVERIFY(view.entries.size() > Suite.size());
        QCOMPARE(view.entries.mid(0, 5), Suite);
        QCOMPARE(list->voiceIndexes().size(), view.entries.size());
        QCOMPARE(view.currentVoiceText(), u"小美 (女聲)"_s);
        QCOMPARE(voice->Voice().GetDescription(), u"Mavi Mei"_s);

        // Hiding the other voices while one is chosen leaves none selected,
        // and the voice stays the one chosen.
        const int other = int(view.entries.indexOf(QRegularExpression(u".*\\(英文\\).*"_s)));
        QVERIFY(other >= 5);
        choose(other);
        const QString engineVoice = voice->Voice().GetDescription();
        QVERIFY(!engineVoice.startsWith(u"Mavi"_s));
        view.showAll = false;
        list->CheckAllEngineClick();
        QCOMPARE(view.entries, Suite);
        QCOMPARE(view.current, -1);
        QCOMPARE(voice->Voice().GetDescription(), engineVoice);
    }

    void choosingAVoiceSetsRoleAndPromptAndWritesItsId_data()
    {
        QTest::addColumn<int>("entry");
        DataColumns::add<QString>({"engine", "roleId", "gender"});
        QTest::addColumn<int>("promptVoice");
        QTest::newRow("Oskar") << 0 << u"Mavi Oskar"_s << u"0"_s << u"Male"_s << 101;
        QTest::newRow("Lena") << 1 << u"Mavi Lena"_s << u"1"_s << u"Female"_s << 102;
        QTest::newRow("Tessa") << 3 << u"Mavi Tessa"_s << u"3"_s << u"Female"_s << 10;
        QTest::newRow("Ivy writes nothing") << 4 << u"Mavi Ivy"_s << u""_s << u"Female"_s << 101;
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
        QCOMPARE(list->role().female, gender == u"Female"_s);
        QCOMPARE(list->role().defaultFolder, dir.path() + u"/Images/Roles/Default/"_s + gender);
        QCOMPARE(list->role().userFolder, dir.path() + u"/Images/Roles/User/"_s + gender);
        // The window is handed the same role.
        QCOMPARE(view.roles.size(), 1);
        QCOMPARE(view.roles.last().userFolder, list->role().userFolder);
    }

    void storedChoiceAtStartUp_data()
    {
        DataColumns::add<QString>({"registry", "settings", "engine"});
        QTest::addColumn<bool>("logged");
        QTest::newRow("nothing stored") << u""_s << u""_s << u"Mavi Oskar"_s << false;
        QTest::newRow("registry is the default") << u"2"_s << u""_s << u"Mavi Mei"_s << false;
        QTest::newRow("settings over registry") << u"2"_s << u"3"_s << u"Mavi Tessa"_s << false;
        QTest::newRow("registry number first") << u"1abc"_s << u""_s << u"Mavi Lena"_s << false;
        QTest::newRow("beyond the list") << u""_s << u"99"_s << u"Mavi Oskar"_s << true;
        QTest::newRow("negative") << u""_s << u"-1"_s << u"Mavi Oskar"_s << true;
    }
    void storedChoiceAtStartUp()
    {
        const auto [registry, settings] = DataColumns::fetch<QString>("registry", "settings");
        QFETCH(bool, logged);
        if (!registry.isEmpty())
            CReg().SetSz(ProductKey, u"RoleID"_s, registry, HKEY_CURRENT_USER);
        if (!settings.isEmpty())
            ini->SetSz(u"TTS"_s, u"RoleID"_s, settings);
        if (logged)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"stored voice entry"_s));
        list->FillVoiceList(false);
        list->SelectStoredVoice();
        QTEST(voice->Voice().GetDescription(), "engine");
        QCOMPARE(view.roles.size(), 1);
        // Start-up applies the stored choice without writing it back.
        QCOMPARE(storedRoleId(), registry);
    }

    void rolePictureSettingFindsTheUserFolder()
    {
        QDir(dir.path()).mkpath(u"Images/Roles/User/Male"_s);
        const QString face = dir.filePath(u"Images/Roles/User/Male/me.png"_s);
        QVERIFY(QFile(face).open(QIODevice::WriteOnly));
        ini->SetSz(u"Option"_s, u"CustomDefMalePic"_s, u"me.png"_s);
        ini->SetSz(u"Option"_s, u"CustomDefFemalePic"_s, u"missing.png"_s);
        list->FillVoiceList(false);
        choose(0);
        choose(1);
        QCOMPARE(view.pictures, QStringList({face, QString()}));
    }

    void entryWithoutAVoiceIsLoggedAndChangesNothing()
    {
        list->FillVoiceList(false);
        choose(1);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"voice entry 7 "_s));
        choose(7);
        QCOMPARE(voice->Voice().GetDescription(), u"Mavi Lena"_s);
        QCOMPARE(view.roles.size(), 1);
    }

    void markupVoiceChangeShowsInTheListUntilTheEnd()
    {
        list->FillVoiceList(false);
        choose(0);
        QFile::remove(dir.filePath(u"registry.json"_s));
        const SpObjectToken lena = voice->GetVoices().at(list->voiceIndexes().at(1));
        Q_EMIT voice->VoiceChange(1, 0, lena);
        QCOMPARE(view.current, 1);
        Q_EMIT voice->VoiceChange(1, 0, voice->GetVoices().at(list->voiceIndexes().at(2)));
        QCOMPARE(list->chosenEntry(), 0); // the user's choice all along
        Q_EMIT voice->EndStream(1, 0);
        QCOMPARE(view.current, 0);
        QCOMPARE(list->chosenEntry(), 0);
        QCOMPARE(voice->Voice().GetDescription(), u"Mavi Oskar"_s);
        QVERIFY(storedRoleId().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestVoiceList)
#include "test_VoiceList.moc"
