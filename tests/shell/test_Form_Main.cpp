// The main window on the offscreen platform: start-up with and without a
// settings file, what closing writes, the layout on resize, and reading
// aloud through the window's own controls.

#include "audio/AudioSink.h"
#include "shell/AppMain.h"
#include "shell/CIni.h"
#include "shell/Form_Main.h"
#include "shell/MaviTextBox.h"
#include "shell/MessageBox.h"
#include "speech/SpVoice.h"
#include "system/AppPaths.h"
#include "system/CReg.h"
#include "system/RegistryStore.h"
#include "system/SysDirs.h"

#include "controls/BmpBtnX.h"
#include "controls/CTooltip.h"
#include "controls/CmdX.h"
#include "controls/FrameX.h"
#include "controls/PictureSurface.h"
#include "controls/SliderEx.h"
#include "controls/TranslateColor.h"
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFontDatabase>
#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

namespace
{
QStringList keyLines(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QStringList lines;
    for (const QByteArray &raw : f.readAll().split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.startsWith(QLatin1Char('[')))
            lines.append(line);
        else if (line.contains(QLatin1Char('=')))
            lines.append(line.section(QLatin1Char('='), 0, 0));
    }
    return lines;
}

void writeFile(const QString &path, const QByteArray &content)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(content);
}

QColor back(const QWidget *w)
{
    return w->palette().color(QPalette::Window);
}
} // namespace

class TestFormMain : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QStringList messages;

    std::unique_ptr<Form_Main> start() { return Main(); }
    QString ini() const { return dir.path() + QStringLiteral("/Parlo_Cfg.ini"); }

private Q_SLOTS:
    void initTestCase()
    {
        AudioSink::setFactory([] { return std::make_unique<ImmediateSink>(); });
        MessageBox::setHandler([this](auto, auto, const QString &text, auto) {
            messages.append(text);
            return MessageBox::Answer::Ok;
        });
    }
    void init()
    {
        QVERIFY(dir.isValid());
        AppPaths::setOverrideFolder(dir.path());
        RegistryStore::instance().setUserFile(dir.path() + QStringLiteral("/registry.json"));
        QFile::remove(ini());
        QFile::remove(dir.path() + QStringLiteral("/registry.json"));
        messages.clear();
    }

    void firstStartUsesDefaultsAndExitWritesEveryKeyInOrder()
    {
        auto w = start();
        QVERIFY(w);
        QVERIFY(w->loadCompleted());
        QCOMPARE(w->Combo_Voice->currentIndex(), 0);
        QCOMPARE(w->Slider_Rate->Value(), 50);
        QCOMPARE(w->voice()->Rate(), 0);
        QCOMPARE(w->Slider_Volume->Value(), 100);
        QCOMPARE(w->voice()->Volume(), 100);
        QCOMPARE(w->Slider_FontSz->Value(), 0); // the thumb at the left end
        QCOMPARE(w->Txt_Input->font().pointSize(), 12);
        QVERIFY(!w->isMaximized());
        QCOMPARE(w->lastDir(), GetSpecialFolder(5));
        QVERIFY(!w->findChild<QWidget *>(QStringLiteral("Cmd_ChgIcon"))->isVisible());
        QCOMPARE(w->windowTitle(), QStringLiteral("Parlo v3.5.0"));
        // No settings file: light-blue window, white photo pane, blue keywords.
        QCOMPARE(back(w.get()), QColor(174, 216, 230));
        QCOMPARE(w->Frame_P->BackColor(), rgbColor(255, 255, 255));
        QCOMPARE(w->Frame_M->BackColor(), rgbColor(174, 216, 230));
        QCOMPARE(w->L_V1->palette().color(QPalette::WindowText), QColor(16, 7, 223));
        w->close();
        w.reset();
        const QStringList expected = QStringLiteral(
            "[TTS] RoleID Rate Volume All [Option] FntName FntSize Prompt Fullscreen [Last] Path "
            "[Text] SelPos SelLen [RGB] BgColor FrameColor PhotoColor KeyWordColor")
                                         .split(QLatin1Char(' '));
        QCOMPARE(keyLines(ini()), expected);
        QVERIFY(messages.isEmpty());
    }

    void storedValuesOutOfRangeFallBack()
    {
        writeFile(ini(),
            "[TTS]\r\nRoleID=99\r\nRate=150\r\nVolume=-3\r\n[Option]\r\nFntSize=80\r\n"
            "[RGB]\r\nBgColor=10,20\r\nFrameColor=1,2\r\nPhotoColor=1\r\n");
        for (const char *logged : {"voice entry 99", "Rate 150", "Volume -3", "FntSize 80"})
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QLatin1String(logged)));
        auto w = start();
        QVERIFY(w);
        QCOMPARE(w->Combo_Voice->currentIndex(), 0);
        QCOMPARE(w->Slider_Rate->Value(), 0); // the minimum, so the fastest rate
        QCOMPARE(w->voice()->Rate(), 10);
        QCOMPARE(w->Slider_Volume->Value(), 0);
        QCOMPARE(w->Txt_Input->font().pointSize(), 12);
        QCOMPARE(back(w.get()), QColor(0, 128, 192));
        QCOMPARE(w->Frame_D->BackColor(), rgbColor(100, 202, 251));
        QCOMPARE(w->Frame_P->BackColor(), rgbColor(100, 202, 251));
    }

    void storedSelectionComesBackAfterTheWindowAppears()
    {
        writeFile(ini(), "[Text]\r\nSelPos=3\r\nSelLen=4\r\n");
        auto w = start();
        QVERIFY(w);
        QTRY_COMPARE(w->Txt_Input->SelStart(), 3);
        QCOMPARE(w->Txt_Input->SelLength(), 4);
        w->Txt_Input->setSelStart(5);
        w->Txt_Input->setSelLength(2);
        w->close();
        CIni settings(ini());
        QCOMPARE(settings.GetLong(QStringLiteral("Text"), QStringLiteral("SelPos"), -9), 5);
        QCOMPARE(settings.GetLong(QStringLiteral("Text"), QStringLiteral("SelLen"), -9), 2);
    }

    void unwritableSettingsWarnOncePerValueAndStillClose()
    {
        auto w = start();
        QVERIFY(w);
        QFile::remove(ini());
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("Parlo_Cfg.ini"))); // a folder in its way
        w->close();
        QCOMPARE(messages.size(), 15);
        QCOMPARE(messages.first(),
            QStringLiteral("An Error has occurred While calling the API function"));
        QDir(dir.path()).rmdir(QStringLiteral("Parlo_Cfg.ini"));
    }

    void resizeFollowsTheLayoutRules()
    {
        auto w = start();
        QVERIFY(w);
        for (int width : {800, 801, 802, 803}) {
            w->resize(width, 500);
            const int m = w->Frame_M->width(), l = w->Frame_L->width();
            w->resize(width + 100, 500);
            QCOMPARE(w->Frame_M->width() - m, 75);
            QCOMPARE(w->Frame_L->width() - l, 25);
        }
        const QRect text = w->Txt_Input->geometry();
        QCOMPARE(text.left(), 8);
        QCOMPARE(w->Frame_D->width() - (text.left() + text.width()), 8);
        QCOMPARE(w->Frame_D->height() - (text.top() + text.height()), 11);
        QCOMPARE(w->Frame_D->x() + w->Frame_D->width(), w->width() - 8);
        // The speech buttons stand 2 pixels apart, all four the same height.
        const QList<QWidget *> column {
            w->Cmd_Speak, w->Cmd_Pause, w->Cmd_SaveWAV, w->Cmd_SaveWAVnMP3};
        for (int i = 1; i < column.size(); ++i) {
            QCOMPARE(column[i]->y() - column[i - 1]->geometry().bottom() - 1, 2);
            QCOMPARE(column[i]->height(), column[0]->height());
        }
        // Too small snaps back to the minimum outer size.
        w->resize(300, 200);
        QTRY_VERIFY(w->frameGeometry().width() >= Form_Main::MinOuterWidthTwips / Form_Main::Tpx);
        QVERIFY(w->frameGeometry().height() >= Form_Main::MinOuterHeightTwips / Form_Main::Tpx);
        QVERIFY(w->Frame_M->width() > 0);
    }

    void fullscreenIsTheStateTheWindowComesBackIn_data()
    {
        QTest::addColumn<Qt::WindowState>("before");
        QTest::addColumn<QString>("stored");
        QTest::newRow("minimised from maximised") << Qt::WindowMaximized << "True";
        QTest::newRow("minimised from normal") << Qt::WindowNoState << "False";
    }
    void fullscreenIsTheStateTheWindowComesBackIn()
    {
        QFETCH(Qt::WindowState, before);
        auto w = start();
        QVERIFY(w);
        w->setWindowState(before);
        w->setWindowState(Qt::WindowMinimized);
        w->close();
        QTEST(CIni(ini()).GetSz(QStringLiteral("Option"), QStringLiteral("Fullscreen"), {}),
            "stored");
    }

    void textSizeComesBackAsTheUserLeftIt()
    {
        writeFile(ini(), "[Option]\r\nFntSize=24\r\n");
        auto w = start();
        QVERIFY(w);
        QCOMPARE(w->Txt_Input->font().pointSize(), 24);
        QCOMPARE(w->Slider_FontSz->Min() + w->Slider_FontSz->Value(), 24);
        QTest::mouseClick(
            w->Slider_FontSz, Qt::LeftButton, {}, QPoint(w->Slider_FontSz->width() / 4, 5));
        const int dragged = w->Txt_Input->font().pointSize();
        QVERIFY(dragged != 24);
        QCOMPARE(w->Slider_FontSz->Min() + w->Slider_FontSz->Value(), dragged);
        w->close();
        QCOMPARE(
            CIni(ini()).GetVal(QStringLiteral("Option"), QStringLiteral("FntSize"), 0), dragged);
    }

    void fontListShowsTheFaceTheTextUses()
    {
        Form_Main::setFontFamilySource([] { return QStringList {QStringLiteral("Zz No Face")}; });
        writeFile(ini(), "[Option]\r\nFntName=Another Missing Face\r\n");
        auto w = start();
        Form_Main::setFontFamilySource({});
        QVERIFY(w);
        QVERIFY(w->Txt_Input->FontName() != QStringLiteral("Zz No Face"));
        QCOMPARE(w->Combo_Font->currentText(), w->Txt_Input->FontName());
        QCOMPARE(w->Combo_Font->count(), 2);
    }

    void closingMidReadingStoresTheChosenVoice()
    {
        auto w = start();
        QVERIFY(w);
        const QList<SpObjectToken> voices = w->voice()->GetVoices();
        const auto lena = std::find_if(voices.cbegin(), voices.cend(), [](const SpObjectToken &t) {
            return t.GetDescription() == QStringLiteral("Mavi Lena");
        });
        QVERIFY(lena != voices.cend());
        // Markup switches the voice: the list shows it while it speaks.
        Q_EMIT w->voice()->VoiceChange(1, 0, *lena);
        QCOMPARE(w->Combo_Voice->currentText(), QStringLiteral("莉娜 (女聲)"));
        w->close();
        QCOMPARE(CIni(ini()).GetVal(QStringLiteral("TTS"), QStringLiteral("RoleID"), -9), 0);
    }

    void minimiseAndRestoreLeaveEveryControlInPlace()
    {
        auto w = start();
        QVERIFY(w);
        w->resize(820, 520);
        // The window's own controls, by name (tooltip windows come and go).
        QMap<QString, QRect> before;
        for (QWidget *c : w->findChildren<QWidget *>())
            if (!c->objectName().isEmpty() && !c->isWindow())
                before.insert(c->objectName(), c->geometry());
        QVERIFY(before.size() > 40);
        w->setWindowState(Qt::WindowMinimized);
        QTest::qWait(20);
        w->setWindowState(Qt::WindowNoState);
        QTest::qWait(20);
        for (auto it = before.cbegin(); it != before.cend(); ++it)
            QCOMPARE(w->findChild<QWidget *>(it.key())->geometry(), it.value());
        QCOMPARE(w->size(), QSize(820, 520));
    }

    void wordsAreFollowedInTheTextBox_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("selStart");
        QTest::addColumn<int>("length");
        QTest::addColumn<QString>("words");
        QTest::newRow("whole text") << "請輸入文字於此" << 0 << 0 << "請輸入文字於此";
        QTest::newRow("selection at 100")
            << QString(100, QLatin1Char('x')) + QStringLiteral("請輸入文字於此") << 100 << 7
            << "請輸入文字於此";
        QTest::newRow("after CR LF line breaks")
            << "第一\r\n\r\n請輸入文字於此" << 6 << 7 << "請輸入文字於此";
        QTest::newRow("beyond the basic plane first")
            << "𠀋𠀋 請輸入文字於此" << 5 << 7 << "請輸入文字於此";
        QTest::newRow("whole text with line breaks") << "文字\r\n於此" << 0 << 0 << "文字於此";
    }
    void wordsAreFollowedInTheTextBox()
    {
        QFETCH(QString, text);
        QFETCH(int, selStart);
        QFETCH(int, length);
        auto w = start();
        QVERIFY(w);
        w->Txt_Input->setText(text);
        w->Txt_Input->setSelStart(selStart);
        w->Txt_Input->setSelLength(length);
        QString seen;
        connect(w->voice(), &SpVoice::Word, w.get(), [&] { seen += w->Txt_Input->SelText(); });
        QSignalSpy ended(w->voice(), &SpVoice::EndStream);
        QTest::mouseClick(w->Cmd_Speak, Qt::LeftButton);
        QCOMPARE(w->Cmd_Speak->Caption(), QStringLiteral("停止"));
        QVERIFY(!w->Frame_M->isEnabled());
        QVERIFY(ended.wait(20000));
        QTEST(seen, "words");
        // The selection comes back as it was before Speak, the window to Idle.
        QCOMPARE(w->Txt_Input->SelStart(), selStart);
        QCOMPARE(w->Txt_Input->SelLength(), length);
        QCOMPARE(w->Cmd_Speak->Caption(), QStringLiteral("朗讀"));
        QVERIFY(w->Frame_M->isEnabled());
    }

    void voiceListIsWired()
    {
        // The product key reaches the list: its role id is the start-up default.
        CReg().SetSz(
            GetProductKey(), QStringLiteral("RoleID"), QStringLiteral("2"), HKEY_CURRENT_USER);
        QDir(dir.path()).mkpath(QStringLiteral("Images/Roles/User/Female"));
        QImage face(8, 8, QImage::Format_RGB32);
        face.fill(Qt::red);
        QVERIFY(face.save(dir.path() + QStringLiteral("/Images/Roles/User/Female/me.png")));
        writeFile(ini(), "[Option]\r\nCustomDefFemalePic=me.png\r\n");
        auto w = start();
        QVERIFY(w);
        QCOMPARE(w->Combo_Voice->currentText(), QStringLiteral("小美 (女聲)"));
        QCOMPARE(w->voice()->Voice().GetDescription(), QStringLiteral("Mavi Mei"));
        QCOMPARE(w->rolePicture().size(), QSize(8, 8));
        QVERIFY(w->PicViseme->isVisible());

        w->Check_AllEngine->click();
        QVERIFY(w->Combo_Voice->count() > 5);
        QCOMPARE(w->Combo_Voice->currentText(), QStringLiteral("小美 (女聲)"));
        w->Combo_Voice->setCurrentIndex(0);
        Q_EMIT w->Combo_Voice->activated(0);
        QCOMPARE(w->voice()->Voice().GetDescription(), QStringLiteral("Mavi Oskar"));
        QVERIFY(!w->role().female);
        QVERIFY(w->rolePicture().isNull());
        QCOMPARE(CReg().GetSz(GetProductKey(), QStringLiteral("RoleID"), HKEY_CURRENT_USER),
            QStringLiteral("0"));
    }

    void everyHintedControlKeepsExactlyOneTooltip()
    {
        auto w = start();
        QVERIFY(w);
        const QStringList hinted = QStringLiteral(
            "Cmd_H1 Cmd_H2 Cmd_H4 Cmd_H5 Cmd_OpenTxt Cmd_SaveTxt Cmd_SearchT Cmd_PrintDC "
            "Cmd_ChgIcon Cmd_Speak Cmd_Pause Cmd_SaveWAV Cmd_SaveWAVnMP3 Slider_Rate Slider_Volume")
                                       .split(QLatin1Char(' '));
        for (int i = 0; i < 12; ++i)
            w->resize(720 + 37 * i, 460 + 23 * i);
        QStringList names;
        for (const auto &[name, tip] : w->tooltips())
            names.append(name);
        names.sort();
        QStringList expected = hinted;
        expected.sort();
        QCOMPARE(names, expected);
        for (const auto &[name, tip] : w->tooltips()) {
            QCOMPARE(tip->HoverTime(), 100);
            // The text lives in the tooltip window, not in the control's own tooltip.
            QWidget *control = w->findChild<QWidget *>(name);
            QVERIFY(CTooltip::toolTipTextOf(control).isEmpty());
            QVERIFY(!tip->ToolTip().isEmpty());
        }
        QCOMPARE(w->tooltips().at(QStringLiteral("Cmd_Speak"))->ToolTip(),
            QStringLiteral("朗讀 (Ctrl-H)／停止 (Ctrl-L)"));
        // The pause button's mode text is untouched by the tooltip pass.
        QCOMPARE(w->Cmd_Pause->Tag(), QStringLiteral("Pause"));
    }

    void fontListOrderFaceAndSizeAndCount()
    {
        Form_Main::setFontFamilySource([] {
            return QStringList {QStringLiteral("arial Black"), QStringLiteral("@標楷體"),
                QStringLiteral("Arial"), QStringLiteral("標楷體"),
                QStringLiteral("@Arial Unicode")};
        });
        auto w = start();
        Form_Main::setFontFamilySource({});
        QVERIFY(w);
        QStringList listed;
        for (int i = 0; i < w->Combo_Font->count(); ++i)
            listed.append(w->Combo_Font->itemText(i));
        // (The face the text box uses may follow when it is none of these.)
        QCOMPARE(listed.mid(0, 3),
            QStringList({QStringLiteral("標楷體"), QStringLiteral("Arial"),
                QStringLiteral("arial Black")}));

        // A chosen face survives a change of size: both go through one font.
        const QString face = QFontDatabase::families().value(0);
        w->Combo_Font->addItem(face);
        w->Combo_Font->setCurrentText(face);
        Q_EMIT w->Combo_Font->activated(w->Combo_Font->currentIndex());
        Q_EMIT w->Slider_FontSz->ScrollEx(30);
        QCOMPARE(w->Txt_Input->font().family(), face);
        QCOMPARE(w->Txt_Input->font().pointSize(), 30);

        w->Txt_Input->setText(QString());
        QCOMPARE(w->SB_Panel1->text(),
            QStringLiteral("總字數： ") + QString(14, QLatin1Char(' ')) + QStringLiteral("0"));
        QCOMPARE(w->SB_Panel2->text(), QStringLiteral("字數上限：30000"));
        w->Txt_Input->setText(QStringLiteral("一\r\n二"));
        QVERIFY(w->SB_Panel1->text().endsWith(QStringLiteral(" 4")));
    }

    void noFontFamiliesStopsStartUpEarly()
    {
        Form_Main::setFontFamilySource([] { return QStringList(); });
        auto w = start();
        Form_Main::setFontFamilySource({});
        QVERIFY(w); // the window still opens
        QVERIFY(!w->loadCompleted());
        QVERIFY(w->lastDir().isEmpty());
        QVERIFY(!w->Timer_PosLen->isActive());
    }

    void titleBandAndPictureButtonsShowTheirPictures()
    {
        // The pictures the build drew for the real program folder.
        QDir images(QStringLiteral(PARLO_BUILD_IMAGES));
        QVERIFY(images.exists(QStringLiteral("Title/Logo.png")));
        const QStringList files
            = {QStringLiteral("Title/Logo.png"), QStringLiteral("Title/Company.png"),
                QStringLiteral("Title/TitleTile.png"), QStringLiteral("Buttons/Help_Manual.png")};
        for (const QString &f : files) {
            QDir(dir.path()).mkpath(QFileInfo(dir.filePath(QStringLiteral("Images/") + f)).path());
            QFile::remove(dir.filePath(QStringLiteral("Images/") + f));
            QVERIFY(QFile::copy(images.filePath(f), dir.filePath(QStringLiteral("Images/") + f)));
        }
        auto w = start();
        QVERIFY(w);
        const QImage band = w->PicTitle->pixmap().toImage();
        QCOMPARE(band.width(), w->frameGeometry().width() - 1);
        QCOMPARE(band.height(), 32);
        const QImage logo(images.filePath(QStringLiteral("Title/Logo.png")));
        const QImage tile(images.filePath(QStringLiteral("Title/TitleTile.png")));
        // Somewhere inside the logo's place the band differs from the plain tile.
        int differing = 0;
        for (int x = 0; x < logo.width(); ++x)
            for (int y = 0; y < logo.height(); ++y)
                differing += band.pixel(w->Frame_P->x() + x, 3 + y) != tile.pixel(0, 3 + y);
        QVERIFY(differing > logo.width() * logo.height() / 10);
        QVERIFY(w->Cmd_H1->hasPicture());
        QVERIFY(w->Cmd_H1->Caption().isEmpty());
        QCOMPARE(w->Cmd_H1->size(), QSize(24, 24));
    }

    void readsInRealTimeWithTheDefaultOutput()
    {
        // The machine's own output: a device when there is one, else the
        // silent sink paced by the clock. Either way the reading runs to its end.
        AudioSink::setFactory({});
        auto w = start();
        QVERIFY(w);
        w->Txt_Input->setText(QStringLiteral("文字"));
        QSignalSpy words(w->voice(), &SpVoice::Word);
        QSignalSpy ended(w->voice(), &SpVoice::EndStream);
        QElapsedTimer clock;
        clock.start();
        QTest::mouseClick(w->Cmd_Speak, Qt::LeftButton);
        QVERIFY(ended.wait(20000));
        QCOMPARE(words.size(), 2);
        QVERIFY(clock.elapsed() > 200); // paced, not immediate
        QCOMPARE(w->Cmd_Speak->Caption(), QStringLiteral("朗讀"));
        AudioSink::setFactory([] { return std::make_unique<ImmediateSink>(); });
    }
};

QTEST_MAIN(TestFormMain)
#include "test_Form_Main.moc"
