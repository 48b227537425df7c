// The window's voice list over the real voice catalogue, and the spoken word
// followed in the text box while the real engine reads (immediate sink).

#include "shell/AppMain.h"
#include "shell/Form_Main.h"
#include "shell/MaviTextBox.h"
#include "shell/MessageBox.h"
#include "audio/AudioSink.h"
#include "speech/SpVoice.h"
#include "speech/TTSRole.h"
#include "system/AppPaths.h"
#include "system/CReg.h"
#include "system/RegistryStore.h"

#include "controls/CmdX.h"
#include "controls/FrameX.h"
#include "controls/SliderEx.h"
#include "controls/TranslateColor.h"
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace
{
QStringList items(const QComboBox *combo)
{
    QStringList list;
    for (int i = 0; i < combo->count(); ++i)
        list.append(combo->itemText(i));
    return list;
}

QStringList characters(const QString &text)
{
    QStringList list;
    for (QChar c : text)
        list.append(QString(c));
    return list;
}

QString storedRoleId()
{
    return CReg().GetSz(GetProductKey(), QStringLiteral("RoleID"), HKEY_CURRENT_USER);
}
} // namespace

class TestFormMainVoices : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

    // Reads the text box's text (or the selection) and returns the text of
    // every word selected while it was read.
    QStringList wordsSelected(Form_Main &w)
    {
        QStringList seen;
        auto c
            = connect(w.voice(), &SpVoice::Word, &w, [&] { seen.append(w.Txt_Input->SelText()); });
        QSignalSpy ended(w.voice(), &SpVoice::EndStream);
        QTest::mouseClick(w.Cmd_Speak, Qt::LeftButton);
        if (!ended.wait(20000))
            seen.append(QStringLiteral("<no end>"));
        disconnect(c);
        return seen;
    }

private Q_SLOTS:
    void initTestCase()
    {
        AudioSink::setFactory([] { return std::make_unique<ImmediateSink>(); });
        MessageBox::setHandler([](auto, auto, auto, auto) { return MessageBox::Answer::Ok; });
    }
    void init()
    {
        AppPaths::setOverrideFolder(dir.path());
        QFile::remove(dir.path() + QStringLiteral("/Parlo_Cfg.ini"));
        RegistryStore::instance().setUserFile(dir.path() + QStringLiteral("/registry.json"));
        QFile::remove(dir.path() + QStringLiteral("/registry.json"));
    }

    void onlySuiteVoicesUntilShowAllIsChecked()
    {
        auto w = Main();
        QVERIFY(w);
        const QStringList suite {QStringLiteral("奧斯卡 (男聲)"), QStringLiteral("莉娜 (女聲)"),
            QStringLiteral("小美 (女聲)"), QStringLiteral("泰莎 (女聲)"),
            QStringLiteral("Ivy (女聲)")};
        QCOMPARE(items(w->Combo_Voice), suite);

        w->Combo_Voice->setCurrentIndex(2);
        w->Check_AllEngine->click();
        const QStringList all = items(w->Combo_Voice);
        QVERIFY(all.size() > 20);
        QCOMPARE(all.mid(0, 5), suite);
        QVERIFY(all.contains(QStringLiteral("English (America) (英文) (男聲)"))
            || all.contains(QStringLiteral("English (America) (英文) (女聲)")));
        // The voice shown before the click is still the one shown.
        QCOMPARE(w->Combo_Voice->currentText(), QStringLiteral("小美 (女聲)"));
        QCOMPARE(w->voice()->Voice().GetDescription(), QStringLiteral("Mavi Mei"));
    }

    void hidingOtherVoicesLeavesNoneSelectedButKeepsTheVoice()
    {
        auto w = Main();
        QVERIFY(w);
        w->Check_AllEngine->click();
        const int other = w->Combo_Voice->findText(QStringLiteral("(英文)"), Qt::MatchContains);
        QVERIFY(other >= 5);
        w->Combo_Voice->setCurrentIndex(other);
        Q_EMIT w->Combo_Voice->activated(other);
        const QString engineVoice = w->voice()->Voice().GetDescription();
        QVERIFY(!engineVoice.startsWith(QStringLiteral("Mavi")));
        w->Check_AllEngine->click();
        QCOMPARE(w->Combo_Voice->count(), 5);
        QCOMPARE(w->Combo_Voice->currentIndex(), -1);
        QCOMPARE(w->voice()->Voice().GetDescription(), engineVoice);
    }

    void choosingAVoiceSetsTheRoleAndWritesItsId_data()
    {
        QTest::addColumn<int>("entry");
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QString>("roleId");
        QTest::addColumn<QString>("folder");
        QTest::newRow("Oskar") << 0 << "Mavi Oskar"
                               << "0"
                               << "/Images/Roles/Default/Male";
        QTest::newRow("Lena") << 1 << "Mavi Lena"
                              << "1"
                              << "/Images/Roles/Default/Female";
        QTest::newRow("Tessa") << 3 << "Mavi Tessa"
                               << "3"
                               << "/Images/Roles/Default/Female";
        QTest::newRow("Ivy writes nothing") << 4 << "Mavi Ivy"
                                            << ""
                                            << "/Images/Roles/Default/Female";
    }
    void choosingAVoiceSetsTheRoleAndWritesItsId()
    {
        QFETCH(int, entry);
        QFETCH(QString, roleId);
        QFETCH(QString, folder);
        auto w = Main();
        QVERIFY(w);
        QVERIFY(storedRoleId().isEmpty()); // start-up selects without writing
        w->Combo_Voice->setCurrentIndex(entry);
        Q_EMIT w->Combo_Voice->activated(entry);
        QTEST(w->voice()->Voice().GetDescription(), "engine");
        QCOMPARE(storedRoleId(), roleId);
        QCOMPARE(TTSRole::g_RoleDefaultFolder, dir.path() + folder);
    }

    void registryRoleIdIsTheStartUpDefault()
    {
        CReg().SetSz(
            GetProductKey(), QStringLiteral("RoleID"), QStringLiteral("2"), HKEY_CURRENT_USER);
        auto w = Main();
        QVERIFY(w);
        QCOMPARE(w->Combo_Voice->currentIndex(), 2);
        QCOMPARE(w->voice()->Voice().GetDescription(), QStringLiteral("Mavi Mei"));
    }

    void rolePictureSettingFindsTheUserFolder()
    {
        QDir(dir.path()).mkpath(QStringLiteral("Images/Roles/User/Male"));
        QImage face(8, 8, QImage::Format_RGB32);
        face.fill(Qt::red);
        QVERIFY(face.save(dir.path() + QStringLiteral("/Images/Roles/User/Male/me.png")));
        QFile ini(dir.path() + QStringLiteral("/Parlo_Cfg.ini"));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[Option]\r\nCustomDefMalePic=me.png\r\nCustomDefFemalePic=missing.png\r\n");
        ini.close();
        auto w = Main();
        QVERIFY(w);
        QCOMPARE(w->rolePicture().size(), QSize(8, 8));
        w->Combo_Voice->setCurrentIndex(1);
        Q_EMIT w->Combo_Voice->activated(1);
        QVERIFY(w->rolePicture().isNull());
    }

    void wordsAreFollowedInTheTextBox_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("length");
        QTest::addColumn<QStringList>("words");
        const QStringList seven = characters(QStringLiteral("請輸入文字於此"));
        QTest::newRow("whole text") << "請輸入文字於此" << 0 << 0 << seven;
        QTest::newRow("selection at 100")
            << QString(100, QLatin1Char('x')) + QStringLiteral("請輸入文字於此") << 100 << 7
            << seven;
        QTest::newRow("after CR LF line breaks") << "第一\r\n\r\n請輸入文字於此" << 6 << 7 << seven;
        QTest::newRow("beyond the basic plane first") << "𠀋𠀋 請輸入文字於此" << 5 << 7 << seven;
        QTest::newRow("whole text with line breaks")
            << "文字\r\n於此" << 0 << 0 << characters(QStringLiteral("文字於此"));
    }
    void wordsAreFollowedInTheTextBox()
    {
        QFETCH(QString, text);
        QFETCH(int, start);
        QFETCH(int, length);
        auto w = Main();
        QVERIFY(w);
        w->Txt_Input->setText(text);
        w->Txt_Input->setSelStart(start);
        w->Txt_Input->setSelLength(length);
        QTEST(wordsSelected(*w), "words");
        // The selection comes back as it was before Speak.
        QCOMPARE(w->Txt_Input->SelStart(), start);
        QCOMPARE(w->Txt_Input->SelLength(), length);
    }

    void markupVoiceChangeShowsInTheListUntilTheEnd()
    {
        auto w = Main();
        QVERIFY(w);
        w->Txt_Input->setText(QStringLiteral("<voice required=\"Name=Mavi Lena\">你好</voice>"));
        QStringList shown;
        connect(w->voice(), &SpVoice::Word, w.get(),
            [&] { shown.append(w->Combo_Voice->currentText()); });
        QSignalSpy ended(w->voice(), &SpVoice::EndStream);
        QTest::mouseClick(w->Cmd_Speak, Qt::LeftButton);
        QVERIFY(ended.wait(20000));
        QVERIFY(!shown.isEmpty());
        QCOMPARE(shown.last(), QStringLiteral("莉娜 (女聲)"));
        QCOMPARE(w->Combo_Voice->currentText(), QStringLiteral("奧斯卡 (男聲)"));
        QVERIFY(storedRoleId().isEmpty());
    }
};

QTEST_MAIN(TestFormMainVoices)
#include "test_Form_Main_Voices.moc"
