// The controls of the main window, their captions, colours and hint text.

#include "shell/CIni.h"
#include "shell/Form_Main.h"
#include "shell/MaviTextBox.h"
#include "system/AppPaths.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>

namespace
{
constexpr int px(int twips)
{
    return (twips + (twips >= 0 ? 7 : -7)) / 15;
}

template<typename W>
W *make(QWidget *parent, const char *name, int left, int top, int width, int height)
{
    auto *w = new W(parent);
    w->setObjectName(QLatin1String(name));
    w->setGeometry(px(left), px(top), px(width), px(height));
    return w;
}

QFrame *makePane(QWidget *parent, const char *name)
{
    auto *f = new QFrame(parent);
    f->setObjectName(QLatin1String(name));
    f->setFrameShape(QFrame::StyledPanel);
    f->setFrameShadow(QFrame::Sunken);
    f->setAutoFillBackground(true);
    return f;
}

void setBack(QWidget *w, const QColor &c)
{
    QPalette p = w->palette();
    p.setColor(QPalette::Window, c);
    p.setColor(QPalette::Button, c);
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

void setFore(QWidget *w, const QColor &c)
{
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, c);
    p.setColor(QPalette::ButtonText, c);
    p.setColor(QPalette::Text, c);
    w->setPalette(p);
}

QColor colourOf(qint32 c)
{
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

// The keyword labels' text colour. What Unload stores under this key is the
// label's background, so a stored three-part value is never applied (it would
// paint the text in its own background colour); only the older four-part
// form points at a colour kept in section "AP".
qint32 KeyWordColour(CIni &ini)
{
    const QString stored = ini.GetSz(
        QStringLiteral("RGB"), QStringLiteral("KeyWordColor"), QStringLiteral("16,7,223"));
    if (stored.split(QLatin1Char(',')).size() >= 4)
        return ini.GetLong(
            QStringLiteral("AP"), QStringLiteral("KeyWordColor"), 100 + 202 * 256 + 251 * 65536);
    return 16 + 7 * 256 + 223 * 65536;
}
} // namespace

void Form_Main::createControls()
{
    setObjectName(QStringLiteral("Form_Main"));

    Frame_P = makePane(this, "Frame_P");
    PicViseme = make<QLabel>(Frame_P, "PicViseme", 45, 180, 1920, 1920);
    PicViseme->setAutoFillBackground(true);
    Cmd_ChgIcon = make<QToolButton>(Frame_P, "Cmd_ChgIcon", 1935, 1725, 360, 360);

    Frame_R = makePane(this, "Frame_R");
    Cmd_H1 = make<QToolButton>(Frame_R, "Cmd_H1", 132, 96, 360, 360);
    Cmd_H2 = make<QToolButton>(Frame_R, "Cmd_H2", 135, 96 + 435, 360, 360);
    Cmd_H4 = make<QToolButton>(Frame_R, "Cmd_H4", 135, 96 + 2 * 435, 360, 360);
    Cmd_H5 = make<QToolButton>(Frame_R, "Cmd_H5", 135, 96 + 3 * 435, 360, 360);

    Frame_L = makePane(this, "Frame_L");
    Cmd_Speak = make<QPushButton>(Frame_L, "Cmd_Speak", 165, 105, 1995, 480);
    Cmd_Pause = make<QPushButton>(Frame_L, "Cmd_Pause", 165, 630, 1995, 480);
    Cmd_SaveWAV = make<QPushButton>(Frame_L, "Cmd_SaveWAV", 165, 1130, 1995, 480);
    Cmd_SaveWAVnMP3 = make<QPushButton>(Frame_L, "Cmd_SaveWAVnMP3", 165, 1650, 1995, 480);

    Frame_M = makePane(this, "Frame_M");
    L_I0 = make<QLabel>(Frame_M, "L_I0", -15, 180, 1125, 255);
    Combo_Voice = make<QComboBox>(Frame_M, "Combo_Voice", 1350, 150, 2790, 360);
    Check_AllEngine = make<QCheckBox>(Frame_M, "Check_AllEngine", 1350, 600, 2115, 270);
    L_F0 = make<QLabel>(Frame_M, "L_F0", -15, 1185, 1125, 255);
    L_F1 = make<QLabel>(Frame_M, "L_F1", 1320, 1185, 270, 330);
    L_F2 = make<QLabel>(Frame_M, "L_F2", 3765, 1185, 270, 330);
    Slider_Rate = make<QSlider>(Frame_M, "Slider_Rate", 1695, 1080, 1905, 405);
    L_V0 = make<QLabel>(Frame_M, "L_V0", -15, 1725, 1125, 255);
    L_V1 = make<QLabel>(Frame_M, "L_V1", 1320, 1725, 270, 330);
    L_V2 = make<QLabel>(Frame_M, "L_V2", 3765, 1725, 270, 330);
    Slider_Volume = make<QSlider>(Frame_M, "Slider_Volume", 1695, 1680, 1905, 405);
    for (QLabel *l : {L_I0, L_F0, L_V0})
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    Frame_D = makePane(this, "Frame_D");
    L_TxtArea = make<QLabel>(Frame_D, "L_TxtArea", 105, 150, 1125, 300);
    Cmd_OpenTxt = make<QPushButton>(Frame_D, "Cmd_OpenTxt", 1305, 120, 795, 390);
    Cmd_SaveTxt = make<QPushButton>(Frame_D, "Cmd_SaveTxt", 2130, 120, 795, 390);
    Cmd_SearchT = make<QPushButton>(Frame_D, "Cmd_SearchT", 2955, 120, 795, 390);
    Cmd_PrintDC = make<QPushButton>(Frame_D, "Cmd_PrintDC", 3795, 120, 795, 390);
    L_Font = make<QLabel>(Frame_D, "L_Font", 4725, 150, 1245, 255);
    L_Font->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Combo_Font = make<QComboBox>(Frame_D, "Combo_Font", 6090, 105, 1770, 360);
    L_FS1 = make<QLabel>(Frame_D, "L_FS1", 7800, 150, 270, 255);
    Slider_FontSz = make<QSlider>(Frame_D, "Slider_FontSz", 8205, 90, 1200, 405);
    L_FS2 = make<QLabel>(Frame_D, "L_FS2", 9480, 150, 270, 255);
    Txt_Input = make<MaviTextBox>(Frame_D, "Txt_Input", 195, 705, 7485, 2295);

    for (QSlider *s : {Slider_Rate, Slider_Volume, Slider_FontSz})
        s->setOrientation(Qt::Horizontal);
    Slider_Rate->setRange(0, 100);
    Slider_Rate->setValue(50);
    Slider_Volume->setRange(0, 100);
    Slider_Volume->setValue(75);
    Slider_FontSz->setRange(12, 74);

    PicTitle = new QLabel(this);
    PicTitle->setObjectName(QStringLiteral("PicTitle"));

    SB = new QStatusBar(this);
    SB->setObjectName(QStringLiteral("SB"));
    SB->setSizeGripEnabled(false);
    SB_Panel1 = new QLabel(SB);
    SB_Panel2 = new QLabel(SB);
    SB->addWidget(SB_Panel1);
    SB->addWidget(SB_Panel2, 1);

    Timer_PosLen = new QTimer(this);
    Timer_PosLen->setObjectName(QStringLiteral("Timer_PosLen"));
    Timer_PosLen->setInterval(1);
    Timer_Update = new QTimer(this);
    Timer_Update->setObjectName(QStringLiteral("Timer_Update"));
    Timer_Update->setInterval(1000);
}

void Form_Main::ApplyCaptions()
{
    // 1. Colours from the settings file.
    const qint32 bg = ParseColour(*m_Ini, QStringLiteral("BgColor"), QStringLiteral("174,216,230"),
        0 + 128 * 256 + 192 * 65536);
    const qint32 frame = ParseColour(*m_Ini, QStringLiteral("FrameColor"),
        QStringLiteral("174,216,230"), 100 + 202 * 256 + 251 * 65536);
    const qint32 photo = ParseColour(*m_Ini, QStringLiteral("PhotoColor"),
        QStringLiteral("255,255,255"), 100 + 202 * 256 + 251 * 65536);
    const qint32 keyword = KeyWordColour(*m_Ini);

    // 2. Window, panes and sliders.
    setBack(this, colourOf(bg));
    setBack(Frame_P, colourOf(photo));
    for (QWidget *w : {static_cast<QWidget *>(Frame_L), static_cast<QWidget *>(Frame_M),
             static_cast<QWidget *>(Frame_R), static_cast<QWidget *>(Frame_D),
             static_cast<QWidget *>(Slider_Rate), static_cast<QWidget *>(Slider_Volume),
             static_cast<QWidget *>(Slider_FontSz)})
        setBack(w, colourOf(frame));
    setBack(PicViseme, Frame_P->palette().color(QPalette::Window));
    for (QLabel *l : {L_I0, L_F0, L_F1, L_F2, L_V0, L_V1, L_V2, L_TxtArea, L_Font, L_FS1, L_FS2})
        setBack(l, colourOf(frame));

    // 3. Heading labels take L_I0's text colour; keyword labels the keyword colour.
    const QColor heading = L_I0->palette().color(QPalette::WindowText);
    for (QLabel *l : {L_F0, L_V0, L_Font, L_TxtArea})
        setFore(l, heading);
    for (QWidget *w :
        {static_cast<QWidget *>(L_V1), static_cast<QWidget *>(L_V2), static_cast<QWidget *>(L_F1),
            static_cast<QWidget *>(L_F2), static_cast<QWidget *>(L_FS1),
            static_cast<QWidget *>(L_FS2), static_cast<QWidget *>(Check_AllEngine)})
        setFore(w, colourOf(keyword));

    // 4. Titles.
    setWindowTitle(AppPaths::productTitle());

    // 5. Command buttons.
    Cmd_Speak->setText(QStringLiteral("朗讀"));
    Cmd_Pause->setText(QStringLiteral("暫停"));
    const QColor lightBlue(174, 216, 230);
    for (QPushButton *b :
        {Cmd_Speak, Cmd_Pause, Cmd_OpenTxt, Cmd_SaveTxt, Cmd_SearchT, Cmd_PrintDC})
        setBack(b, lightBlue);
    Cmd_Pause->setProperty("Tag", QStringLiteral("Pause"));
    Cmd_SaveWAV->setText(QStringLiteral("產生.wav音檔"));
    Cmd_SaveWAVnMP3->setText(QStringLiteral("產生wav+mp3音檔"));
    Cmd_OpenTxt->setText(QStringLiteral("開啟"));
    Cmd_SaveTxt->setText(QStringLiteral("儲存"));
    Cmd_SearchT->setText(QStringLiteral("搜尋"));
    Cmd_PrintDC->setText(QStringLiteral("列印"));

    // 6.–9. Labels, check box, hint text, help-bar tooltips.
    L_Font->setText(QStringLiteral("字型"));
    L_FS1->setText(QStringLiteral("小"));
    L_FS2->setText(QStringLiteral("大"));
    Check_AllEngine->setText(QStringLiteral("顯示所有發音人"));
    Txt_Input->setText(QStringLiteral("請輸入文字於此，您可以選取文稿的部分片段朗讀"));
    Cmd_H1->setToolTip(QStringLiteral("使用手冊"));
    Cmd_H2->setToolTip(QStringLiteral("版權聲明"));
    Cmd_H4->setToolTip(QStringLiteral("語音提示"));
    Cmd_H5->setToolTip(QStringLiteral("自訂發音"));
    L_I0->setText(QStringLiteral("發音人"));
    L_V0->setText(QStringLiteral("朗讀音量"));
    L_V1->setText(QStringLiteral("小聲 (Ctrl-R)"));
    L_V2->setText(QStringLiteral("大聲 (Ctrl-T)"));
    L_F0->setText(QStringLiteral("朗讀速度"));
    L_F1->setText(QStringLiteral("變快 (Ctrl-Y)"));
    L_F2->setText(QStringLiteral("變慢 (Ctrl-G)"));
    L_TxtArea->setText(QStringLiteral("朗讀文稿編輯區"));

    // 10. The remaining tooltips.
    Cmd_OpenTxt->setToolTip(QStringLiteral("開啟朗讀 .txt 文稿 (Ctrl-O)"));
    Cmd_SaveTxt->setToolTip(QStringLiteral("儲存朗讀 .txt 文稿 (Ctrl-S)"));
    Cmd_SearchT->setToolTip(QStringLiteral("搜尋字串 (Ctrl-F)"));
    Cmd_PrintDC->setToolTip(QStringLiteral("列印文章"));
    Cmd_ChgIcon->setToolTip(QStringLiteral("換圖"));
    Cmd_Speak->setToolTip(QStringLiteral("朗讀 (Ctrl-H)／停止 (Ctrl-L)"));
    Cmd_Pause->setToolTip(QStringLiteral("暫停 (Ctrl-P)"));
    Cmd_SaveWAV->setToolTip(QStringLiteral("產生.wav音檔 (Ctrl-J)"));
    Cmd_SaveWAVnMP3->setToolTip(
        QStringLiteral("同時儲存wav與ma3兩種檔案 (注意！檔名只能使用英文與數字) (Ctrl-W)"));
    Slider_Rate->setToolTip(QStringLiteral("(變慢 Ctrl-G)(變快 Ctrl-Y) "));
    Slider_Volume->setToolTip(QStringLiteral("(小聲 Ctrl-R) (大聲 Ctrl-T)"));
}
