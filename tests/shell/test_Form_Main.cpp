// The main window on the offscreen platform: start-up with and without a
// settings file, what closing writes, the layout on resize, reading aloud
// through the window's own controls, what the help bar and link pictures hand
// to the desktop, and closing in the middle of an export.

#include "TestFiles.h"
#include "audio/AudioSink.h"
#include "shell/AppDlgX.h"
#include "shell/AppMain.h"
#include "shell/CExec.h"
#include "shell/Form_Main.h"
#include "shell/MaviTextBox.h"
#include "shell/MessageBox.h"
#include "shell/Progressing.h"
#include "speech/ScriptedEngine.h"
#include "speech/SpVoice.h"
#include "system/AppPaths.h"
#include "system/CIni.h"
#include "system/CReg.h"
#include "system/RegistryStore.h"
#include "system/SysDirs.h"

#include "controls/BmpBtnX.h"
#include "controls/CTooltip.h"
#include "controls/CmdX.h"
#include "controls/FrameX.h"
#include "controls/PictureSurface.h"
#include "controls/SliderEx.h"
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QLabel>
#include <QTimer>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace
{
// The section headers and key names of a settings file, in order.
QStringList keyLines(const QString &path)
{
    QStringList lines;
    for (const QByteArray &raw : TestFiles::readAll(path).split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.startsWith(u'['))
            lines.append(line);
        else if (line.contains(u'='))
            lines.append(line.section(u'=', 0, 0));
    }
    return lines;
}

QColor back(const QWidget *w)
{
    return w->palette().color(QPalette::Window);
}
} // namespace

class TestFormMain : public QObject
{
    Q_OBJECT

    ScriptedEngine m_engine;

    QTemporaryDir dir;
    QStringList messages;
    QList<CExec::Request> launched;

    static std::unique_ptr<Form_Main> start()
    {
        auto w = Main();
        if (!w)
            qFatal("the window did not open");
        return w;
    }
    QString ini() const { return dir.path() + u"/Parlo_Cfg.ini"_s; }

private Q_SLOTS:
    void initTestCase()
    {
        SynthesisEngine::setDefault(&m_engine);
        AudioSink::setFactory([] { return std::make_unique<ImmediateSink>(); });
        MessageBox::setHandler([this](auto, auto, const QString &text, auto) {
            messages.append(text);
            return MessageBox::Answer::Ok;
        });
        CExec::setShell([this](const CExec::Request &r) {
            launched.append(r);
            return true;
        });
    }
    void init()
    {
        QVERIFY(dir.isValid());
        AppPaths::setOverrideFolder(dir.path());
        RegistryStore::instance().setUserFile(dir.path() + u"/registry.json"_s);
        QFile::remove(ini());
        QFile::remove(dir.path() + u"/registry.json"_s);
        messages.clear();
        launched.clear();
    }

    void firstStartUsesDefaultsAndExitWritesEveryKeyInOrder()
    {
        auto w = start();
        QVERIFY(w->loadCompleted());
        QCOMPARE(w->Combo_Voice->currentIndex(), 0);
        QCOMPARE(w->Slider_Rate->Value(), 50);
        QCOMPARE(w->voice()->Rate(), 0);
        QCOMPARE(w->voice()->Volume(), 100);
        QCOMPARE(w->Slider_FontSz->Value(), 0); // the thumb at the left end
        QCOMPARE(w->Txt_Input->font().pointSize(), 12);
        QVERIFY(!w->isMaximized());
        QCOMPARE(w->lastDir(), GetSpecialFolder(SysDirs::CSIDL_PERSONAL));
        QCOMPARE(w->windowTitle(), u"Parlo v3.5.0"_s);
        // No settings file: light-blue window, white photo pane, blue keywords.
        QCOMPARE(back(w.get()), QColor(174, 216, 230));
        QCOMPARE(w->Frame_P->BackColor(), rgbColor(255, 255, 255));
        QCOMPARE(w->L_V1->palette().color(QPalette::WindowText), QColor(16, 7, 223));
        w->close();
        w.reset();
        QCOMPARE(keyLines(ini()),
            u"[TTS] RoleID Rate Volume All [Option] FntName FntSize Prompt Fullscreen [Last] Path "
            "[Text] SelPos SelLen [RGB] BgColor FrameColor PhotoColor KeyWordColor"_s.split(u' '));
        QVERIFY(messages.isEmpty());
    }

    void storedValuesOutOfRangeFallBack()
    {
        TestFiles::writeAll(ini(),
            "[TTS]\r\nRoleID=99\r\nRate=150\r\nVolume=-3\r\n[Option]\r\nFntSize=80\r\n"
            "[RGB]\r\nBgColor=10,20\r\nFrameColor=1,2\r\nPhotoColor=1\r\n");
        for (const char *logged : {"voice entry 99", "Rate 150", "Volume -3", "FntSize 80"})
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QLatin1String(logged)));
        auto w = start();
        QCOMPARE(w->Combo_Voice->currentIndex(), 0);
        QCOMPARE(w->Slider_Rate->Value(), 0); // the minimum, so the fastest rate
        QCOMPARE(w->voice()->Rate(), 10);
        QCOMPARE(w->Slider_Volume->Value(), 0);
        QCOMPARE(w->Txt_Input->font().pointSize(), 12);
        QCOMPARE(back(w.get()), QColor(0, 128, 192));
        QCOMPARE(w->Frame_P->BackColor(), rgbColor(100, 202, 251));
    }

    void storedSelectionComesBackAfterTheWindowAppears()
    {
        TestFiles::writeAll(ini(), "[Text]\r\nSelPos=3\r\nSelLen=4\r\n");
        auto w = start();
        QTRY_COMPARE(w->Txt_Input->SelStart(), 3);
        QCOMPARE(w->Txt_Input->SelLength(), 4);
        w->Txt_Input->setSelStart(5);
        w->Txt_Input->setSelLength(2);
        w->close();
        QCOMPARE(CIni(ini()).GetLong(u"Text"_s, u"SelPos"_s, -9), 5);
        QCOMPARE(CIni(ini()).GetLong(u"Text"_s, u"SelLen"_s, -9), 2);
    }

    void unwritableSettingsWarnOncePerValueAndStillClose()
    {
        auto w = start();
        QFile::remove(ini());
        QVERIFY(QDir(dir.path()).mkdir(u"Parlo_Cfg.ini"_s)); // a folder in its way
        w->close();
        QCOMPARE(messages.size(), 15);
        QCOMPARE(messages.first(), u"An Error has occurred While calling the API function"_s);
        QDir(dir.path()).rmdir(u"Parlo_Cfg.ini"_s);
    }

    void resizeFollowsTheLayoutRules()
    {
        auto w = start();
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
        QTest::newRow("minimised from maximised") << Qt::WindowMaximized << u"True"_s;
        QTest::newRow("minimised from normal") << Qt::WindowNoState << u"False"_s;
    }
    void fullscreenIsTheStateTheWindowComesBackIn()
    {
        QFETCH(Qt::WindowState, before);
        auto w = start();
        w->setWindowState(before);
        w->setWindowState(Qt::WindowMinimized);
        w->close();
        QTEST(CIni(ini()).GetSz(u"Option"_s, u"Fullscreen"_s, {}), "stored");
    }

    void textSizeComesBackAsTheUserLeftIt()
    {
        TestFiles::writeAll(ini(), "[Option]\r\nFntSize=24\r\n");
        auto w = start();
        QCOMPARE(w->Txt_Input->font().pointSize(), 24);
        QCOMPARE(w->Slider_FontSz->Min() + w->Slider_FontSz->Value(), 24);
        QTest::mouseClick(
            w->Slider_FontSz, Qt::LeftButton, {}, QPoint(w->Slider_FontSz->width() / 4, 5));
        const int dragged = w->Txt_Input->font().pointSize();
        QVERIFY(dragged != 24);
        QCOMPARE(w->Slider_FontSz->Min() + w->Slider_FontSz->Value(), dragged);
        w->close();
        QCOMPARE(CIni(ini()).GetVal(u"Option"_s, u"FntSize"_s, 0), dragged);
    }

    void minimiseAndRestoreLeaveEveryControlInPlace()
    {
        auto w = start();
        w->resize(820, 520);
        // The window's own controls, by name (tooltip windows come and go).
        const auto places = [&] {
            QMap<QString, QRect> all;
            for (QWidget *c : w->findChildren<QWidget *>())
                if (!c->objectName().isEmpty() && !c->isWindow())
                    all.insert(c->objectName(), c->geometry());
            return all;
        };
        const QMap<QString, QRect> before = places();
        QVERIFY(before.size() > 40);
        w->setWindowState(Qt::WindowMinimized);
        QTest::qWait(20);
        w->setWindowState(Qt::WindowNoState);
        QTest::qWait(20);
        QCOMPARE(places(), before);
        QCOMPARE(w->size(), QSize(820, 520));
    }

    void speakFollowsWordsInTheTextBox()
    {
        // The text box counts CR LF and a character beyond the basic plane
        // as two positions each; the highlight must too.
        auto w = start();
        w->Txt_Input->setText(u"𠀋\r\n請輸入文字於此。"_s);
        w->Txt_Input->setSelStart(4);
        w->Txt_Input->setSelLength(7);
        QString seen;
        connect(w->voice(), &SpVoice::Word, w.get(), [&] { seen += w->Txt_Input->SelText(); });
        QSignalSpy ended(w->voice(), &SpVoice::EndStream);
        QTest::mouseClick(w->Cmd_Speak, Qt::LeftButton);
        QCOMPARE(w->Cmd_Speak->Caption(), u"停止"_s);
        QVERIFY(!w->Frame_M->isEnabled());
        QVERIFY(ended.wait(20000));
        QCOMPARE(seen, u"請輸入文字於此"_s);
        QCOMPARE(w->Txt_Input->SelStart(), 4);
        QCOMPARE(w->Txt_Input->SelLength(), 7);
        QCOMPARE(w->Cmd_Speak->Caption(), u"朗讀"_s);
        QVERIFY(w->Frame_M->isEnabled());
    }

    void voiceListIsWired()
    {
        // The product key reaches the list: its role id is the start-up default.
        CReg().SetSz(GetProductKey(), u"RoleID"_s, u"2"_s, HKEY_CURRENT_USER);
        QDir(dir.path()).mkpath(u"Images/Roles/User/Female"_s);
        QImage face(8, 8, QImage::Format_RGB32);
        face.fill(Qt::red);
        QVERIFY(face.save(dir.path() + u"/Images/Roles/User/Female/me.png"_s));
        TestFiles::writeAll(ini(), "[Option]\r\nCustomDefFemalePic=me.png\r\n");
        auto w = start();
        QCOMPARE(w->Combo_Voice->currentText(), u"小美 (女聲)"_s);
        QCOMPARE(w->voice()->Voice().GetDescription(), u"Mavi Mei"_s);
        QCOMPARE(w->rolePicture().size(), QSize(8, 8));
        QVERIFY(w->PicViseme->isVisible());

        w->Check_AllEngine->click();
        QVERIFY(w->Combo_Voice->count() > 5);
        QCOMPARE(w->Combo_Voice->currentText(), u"小美 (女聲)"_s);
        w->Combo_Voice->setCurrentIndex(0);
        Q_EMIT w->Combo_Voice->activated(0);
        QCOMPARE(w->voice()->Voice().GetDescription(), u"Mavi Oskar"_s);
        QVERIFY(!w->role().female);
        QVERIFY(w->rolePicture().isNull());
        QCOMPARE(CReg().GetSz(GetProductKey(), u"RoleID"_s, HKEY_CURRENT_USER), u"0"_s);

        // Markup switches the voice mid-reading: the list shows it, but
        // closing stores the user's choice.
        const QList<SpObjectToken> voices = w->voice()->GetVoices();
        const auto lena = std::find_if(voices.cbegin(), voices.cend(),
            [](const SpObjectToken &t) { return t.GetDescription() == u"Mavi Lena"_s; });
        QVERIFY(lena != voices.cend());
        Q_EMIT w->voice()->VoiceChange(1, 0, *lena);
        QCOMPARE(w->Combo_Voice->currentText(), u"莉娜 (女聲)"_s);
        w->close();
        QCOMPARE(CIni(ini()).GetVal(u"TTS"_s, u"RoleID"_s, -9), 0);
    }

    void everyHintedControlKeepsExactlyOneTooltip()
    {
        auto w = start();
        const QStringList hinted
            = u"Cmd_H1 Cmd_H2 Cmd_H4 Cmd_H5 Cmd_OpenTxt Cmd_SaveTxt Cmd_SearchT Cmd_PrintDC "
              "Cmd_ChgIcon Cmd_Speak Cmd_Pause Cmd_SaveWAV Cmd_SaveWAVnMP3 Slider_Rate Slider_Volume"_s
                  .split(u' ');
        for (int i = 0; i < 12; ++i)
            w->resize(720 + 37 * i, 460 + 23 * i);
        QStringList names;
        for (const auto &[name, tip] : w->tooltips()) {
            names.append(name);
            QCOMPARE(tip->HoverTime(), 100);
            // The text lives in the tooltip window, not in the control's own tooltip.
            QVERIFY(CTooltip::toolTipTextOf(w->findChild<QWidget *>(name)).isEmpty());
            QVERIFY(!tip->ToolTip().isEmpty());
        }
        QCOMPARE(QSet<QString>(names.cbegin(), names.cend()),
            QSet<QString>(hinted.cbegin(), hinted.cend()));
        QCOMPARE(names.size(), hinted.size());
        QCOMPARE(w->tooltips().at(u"Cmd_Speak"_s)->ToolTip(), u"朗讀 (Ctrl-H)／停止 (Ctrl-L)"_s);
        // The pause button's mode text is untouched by the tooltip pass.
        QCOMPARE(w->Cmd_Pause->Tag(), u"Pause"_s);
    }

    void fontListOrderFaceAndSizeAndCount()
    {
        Form_Main::setFontFamilySource([] {
            return QStringList {
                u"arial Black"_s, u"@標楷體"_s, u"Arial"_s, u"標楷體"_s, u"@Arial Unicode"_s};
        });
        TestFiles::writeAll(ini(), "[Option]\r\nFntName=No Such Face\r\n");
        auto w = start();
        Form_Main::setFontFamilySource({});
        QStringList listed;
        for (int i = 0; i < w->Combo_Font->count(); ++i)
            listed.append(w->Combo_Font->itemText(i));
        // The families in order, then the face the text box really uses.
        const QString inUse = w->Txt_Input->FontName();
        QCOMPARE(listed, (QStringList {u"標楷體"_s, u"Arial"_s, u"arial Black"_s, inUse}));
        QCOMPARE(w->Combo_Font->currentText(), inUse);

        // A chosen face survives a change of size: both go through one font.
        const QString face = QFontDatabase::families().value(0);
        w->Combo_Font->addItem(face);
        w->Combo_Font->setCurrentText(face);
        Q_EMIT w->Combo_Font->activated(w->Combo_Font->currentIndex());
        Q_EMIT w->Slider_FontSz->ScrollEx(30);
        QCOMPARE(w->Txt_Input->font().family(), face);
        QCOMPARE(w->Txt_Input->font().pointSize(), 30);

        w->Txt_Input->setText(QString());
        QCOMPARE(w->SB_Panel1->text(), u"總字數： "_s + QString(14, u' ') + u"0"_s);
        QCOMPARE(w->SB_Panel2->text(), u"字數上限：30000"_s);
        w->Txt_Input->setText(u"一\r\n二"_s);
        QVERIFY(w->SB_Panel1->text().endsWith(u" 4"_s));
    }

    void noFontFamiliesStopsStartUpEarly()
    {
        Form_Main::setFontFamilySource([] { return QStringList(); });
        auto w = start();
        Form_Main::setFontFamilySource({}); // the window still opens
        QVERIFY(!w->loadCompleted());
        QVERIFY(w->lastDir().isEmpty());
        QVERIFY(!w->Timer_PosLen->isActive());
    }

    void titleBandAndPictureButtonsShowTheirPictures()
    {
        // The pictures the build drew for the real program folder.
        QDir images(QStringLiteral(PARLO_BUILD_IMAGES));
        QVERIFY(images.exists(u"Title/Logo.png"_s));
        for (const QString &f : {u"Title/Logo.png"_s, u"Title/Company.png"_s,
                 u"Title/TitleTile.png"_s, u"Buttons/Help_Manual.png"_s}) {
            const QString to = dir.filePath(u"Images/"_s + f);
            QDir().mkpath(QFileInfo(to).path());
            QFile::remove(to);
            QVERIFY(QFile::copy(images.filePath(f), to));
        }
        auto w = start();
        const QImage band = w->PicTitle->pixmap().toImage();
        QCOMPARE(band.width(), w->frameGeometry().width() - 1);
        QCOMPARE(band.height(), 32);
        const QImage logo(images.filePath(u"Title/Logo.png"_s));
        const QImage tile(images.filePath(u"Title/TitleTile.png"_s));
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

    void helpBarOpensItsTargetsFromTheProgramFolder()
    {
        auto w = start();
        for (BmpBtnX *b : {w->Cmd_H1, w->Cmd_H2, w->Cmd_H5})
            Q_EMIT b->Click();
        QVERIFY(launched.isEmpty()); // nothing installed: nothing, and no box
        QVERIFY(messages.isEmpty());

        QVERIFY(QDir(dir.path()).mkpath(u"Help"_s));
        TestFiles::writeAll(dir.filePath(u"Help/Parlo_User_Guide.pdf"_s), "%PDF-1.4\n");
        for (const QString &name : {u"Mavi_Copyright"_s, u"Mavi_UserDefine"_s}) {
            TestFiles::writeAll(dir.filePath(name), "#!/bin/sh\n");
            QFile::setPermissions(
                dir.filePath(name), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        for (BmpBtnX *b : {w->Cmd_H1, w->Cmd_H2, w->Cmd_H5})
            Q_EMIT b->Click();
        w->ImgLink2->resize(40, 20); // its picture is not in the test's program folder
        QTest::mouseClick(w->ImgLink2, Qt::LeftButton);
        QStringList targets;
        for (const CExec::Request &r : std::as_const(launched))
            targets.append(r.target.mid(dir.path().size()));
        QCOMPARE(targets,
            (QStringList {u"/Help/Parlo_User_Guide.pdf"_s, u"/Mavi_Copyright"_s,
                u"/Mavi_UserDefine"_s, u"/Mavi_Copyright"_s}));
        QVERIFY(!launched[0].program);
        QVERIFY(launched[1].program && launched[2].program);
        QCOMPARE(launched[0].workDir, QString());
        QCOMPARE(launched[1].workDir, dir.path());
        QCOMPARE(launched[3].workDir, dir.path());
        for (const CExec::Request &r : std::as_const(launched))
            QCOMPARE(r.show, CExec::Normal);
        QVERIFY(messages.isEmpty());
        // Called directly, the launcher says what is missing.
        QVERIFY(!CExec().Launch_Exec(dir.filePath(u"none"_s), {}, {}, true, true, false));
        QCOMPARE(messages, QStringList {dir.filePath(u"none"_s) + u"\n Not Found !!!"_s});
    }

    void webAddressIsReadAtEveryClick()
    {
        auto w = start();
        w->ImgLink1->resize(40, 20);
        QTest::mouseClick(w->ImgLink1, Qt::LeftButton);
        QVERIFY(QDir(dir.path()).mkpath(u"Data"_s));
        TestFiles::writeAll(dir.filePath(u"Data/Parlo_Product.ini"_s),
            "[Product]\r\nSection=Parlo\r\n[URL]\r\nCompanyURL=https://example.com/tw\r\n");
        QTest::mouseClick(w->ImgLink1, Qt::LeftButton);
        QDir(dir.filePath(u"Data"_s)).removeRecursively();
        QCOMPARE(launched.size(), 2);
        QVERIFY(launched[0].url && launched[0].target.startsWith(u"https://"_s));
        QCOMPARE(launched[1].target, u"https://example.com/tw"_s);
    }

    void closingDuringAnExportCancelsItFirst()
    {
        const QString wav = dir.filePath(u"long.wav"_s);
        AppDlgX::setRunner([wav](const AppDlgX::Request &) { return wav; });
        auto w = start();
        w->setGeometry(120, 90, 800, 500);
        w->Txt_Input->setText(QString(20000, u'字'));
        bool seen = false;
        QTimer::singleShot(0, w.get(), [&] {
            auto *p = w->findChild<Progressing *>(u"Progressing"_s);
            QVERIFY(p && p->isVisible());
            QCOMPARE(p->windowTitle(), u"正在轉檔中 ..."_s);
            QCOMPARE(p->Label1->text(),
                u"如果您的電腦速度較慢，會花較長時間（10分鐘或更久），請耐心等待"_s);
            const QRect main = w->frameGeometry();
            QCOMPARE(p->frameGeometry().left(),
                main.left() + (main.width() - p->frameGeometry().width()) / 2);
            QCOMPARE(p->frameGeometry().top(),
                main.top() + (main.height() - p->frameGeometry().height()) / 2);
            QVERIFY(QFileInfo::exists(wav));
            // The window cannot go while the export holds its voice.
            QVERIFY(!w->close());
            QVERIFY(w->isVisible());
            seen = true;
        });
        Q_EMIT w->Cmd_SaveWAV->Click();
        QVERIFY(seen);
        QVERIFY(!QFileInfo::exists(wav));
        QVERIFY(messages.isEmpty());
        QVERIFY(!w->findChild<Progressing *>(u"Progressing"_s)->isVisible());
        QTRY_VERIFY(!w->isVisible());
    }
};

QTEST_MAIN(TestFormMain)
#include "test_Form_Main.moc"
