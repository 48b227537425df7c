// The controls of the main window, their captions, colours and hint text.

#include "shell/Form_Main.h"
#include "shell/MaviTextBox.h"
#include "shell/ProgramPictures.h"
#include "system/AppPaths.h"
#include "system/CIni.h"
#include "system/SettingsKeys.h"

#include "controls/BmpBtnX.h"
#include "controls/CTooltip.h"
#include "controls/CmdX.h"
#include "controls/FrameX.h"
#include "controls/PictureSurface.h"
#include "controls/SliderEx.h"
#include "controls/TranslateColor.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QStatusBar>
#include <QTimer>

namespace
{
constexpr int px(int twips)
{
    return (twips + (twips >= 0 ? 7 : -7)) / 15;
}

// What a control shows as its text, whichever kind of control it is.
void setCaptionOf(QWidget *control, const QString &caption)
{
    if (auto *command = qobject_cast<CmdX *>(control))
        command->setCaption(caption);
    else if (auto *label = qobject_cast<QLabel *>(control))
        label->setText(caption);
    else if (auto *button = qobject_cast<QAbstractButton *>(control))
        button->setText(caption);
    else if (auto *box = qobject_cast<MaviTextBox *>(control))
        box->setText(caption);
}

template<typename W>
W *make(QWidget *parent, const char *name, int left, int top, int width, int height)
{
    W *w = nullptr;
    if constexpr (std::is_constructible_v<W, QWidget *, QString>)
        w = new W(parent, QLatin1String(name));
    else
        w = new W(parent);
    w->setObjectName(QLatin1String(name));
    w->setGeometry(px(left), px(top), px(width), px(height));
    return w;
}

FrameX *makePane(QWidget *parent, const char *name)
{
    return new FrameX(parent, QLatin1String(name));
}

// A help-bar picture button showing a four-frame strip from Images/Buttons.
BmpBtnX *makePictureButton(
    QWidget *parent, const char *name, const QString &picture, int left, int top)
{
    auto *b = make<BmpBtnX>(parent, name, left, top, 360, 360);
    const QPixmap strip = loadProgramPicture(QStringLiteral("Buttons/") + picture);
    b->setCaption(QString());
    if (!strip.isNull())
        b->setPicture(strip);
    return b;
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
    using namespace Settings;
    const QString stored = ini.GetSz(Section::RGB, Key::KeyWordColor, QStringLiteral("16,7,223"));
    if (stored.split(QLatin1Char(',')).size() >= 4)
        return ini.GetLong(Section::AP, Key::KeyWordColor, rgbColor(100, 202, 251));
    return rgbColor(16, 7, 223);
}
} // namespace

void Form_Main::createControls()
{
    setObjectName(QStringLiteral("Form_Main"));

    PicTitle = new QLabel(this);
    PicTitle->setObjectName(QStringLiteral("PicTitle"));
    ImgLink1 = new QLabel(this);
    ImgLink1->setObjectName(QStringLiteral("ImgLink1"));
    ImgLink2 = new QLabel(this);
    ImgLink2->setObjectName(QStringLiteral("ImgLink2"));
    for (QLabel *link : {ImgLink1, ImgLink2})
        link->setCursor(Qt::PointingHandCursor);

    Frame_P = makePane(this, "Frame_P");
    PicViseme = make<PictureSurface>(Frame_P, "PicViseme", 45, 180, 1920, 1920);
    Cmd_ChgIcon
        = makePictureButton(Frame_P, "Cmd_ChgIcon", QStringLiteral("ChangePicture"), 1935, 1725);

    Frame_R = makePane(this, "Frame_R");
    Cmd_H1 = makePictureButton(Frame_R, "Cmd_H1", QStringLiteral("Help_Manual"), 132, 96);
    Cmd_H2 = makePictureButton(Frame_R, "Cmd_H2", QStringLiteral("Help_Copyright"), 135, 96 + 435);
    Cmd_H4 = makePictureButton(Frame_R, "Cmd_H4", QStringLiteral("Help_Prompt"), 135, 96 + 2 * 435);
    Cmd_H5
        = makePictureButton(Frame_R, "Cmd_H5", QStringLiteral("Help_Pronounce"), 135, 96 + 3 * 435);

    Frame_L = makePane(this, "Frame_L");
    Cmd_Speak = make<CmdX>(Frame_L, "Cmd_Speak", 165, 105, 1995, 480);
    Cmd_Pause = make<CmdX>(Frame_L, "Cmd_Pause", 165, 630, 1995, 480);
    Cmd_SaveWAV = make<CmdX>(Frame_L, "Cmd_SaveWAV", 165, 1130, 1995, 480);
    Cmd_SaveWAVnMP3 = make<CmdX>(Frame_L, "Cmd_SaveWAVnMP3", 165, 1650, 1995, 480);

    Frame_M = makePane(this, "Frame_M");
    L_I0 = make<QLabel>(Frame_M, "L_I0", -15, 180, 1125, 255);
    Combo_Voice = make<QComboBox>(Frame_M, "Combo_Voice", 1350, 150, 2790, 360);
    Check_AllEngine = make<QCheckBox>(Frame_M, "Check_AllEngine", 1350, 600, 2115, 270);
    L_F0 = make<QLabel>(Frame_M, "L_F0", -15, 1185, 840, 255);
    L_F1 = make<QLabel>(Frame_M, "L_F1", 870, 1050, 780, 450);
    L_F2 = make<QLabel>(Frame_M, "L_F2", 3765, 1050, 780, 450);
    Slider_Rate = make<SliderEx>(Frame_M, "Slider_Rate", 1695, 1080, 1905, 405);
    L_V0 = make<QLabel>(Frame_M, "L_V0", -15, 1725, 840, 255);
    L_V1 = make<QLabel>(Frame_M, "L_V1", 870, 1650, 780, 450);
    L_V2 = make<QLabel>(Frame_M, "L_V2", 3765, 1650, 780, 450);
    Slider_Volume = make<SliderEx>(Frame_M, "Slider_Volume", 1695, 1680, 1905, 405);
    for (QLabel *l : {L_I0, L_F0, L_V0})
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    Frame_D = makePane(this, "Frame_D");
    L_TxtArea = make<QLabel>(Frame_D, "L_TxtArea", 105, 150, 1380, 300);
    Cmd_OpenTxt = make<CmdX>(Frame_D, "Cmd_OpenTxt", 1305, 120, 795, 390);
    Cmd_SaveTxt = make<CmdX>(Frame_D, "Cmd_SaveTxt", 2130, 120, 795, 390);
    Cmd_SearchT = make<CmdX>(Frame_D, "Cmd_SearchT", 2955, 120, 795, 390);
    Cmd_PrintDC = make<CmdX>(Frame_D, "Cmd_PrintDC", 3795, 120, 795, 390);
    L_Font = make<QLabel>(Frame_D, "L_Font", 4725, 150, 1245, 255);
    L_Font->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Combo_Font = make<QComboBox>(Frame_D, "Combo_Font", 6090, 105, 1770, 360);
    L_FS1 = make<QLabel>(Frame_D, "L_FS1", 7800, 150, 270, 255);
    Slider_FontSz = make<SliderEx>(Frame_D, "Slider_FontSz", 8205, 90, 1200, 405);
    L_FS2 = make<QLabel>(Frame_D, "L_FS2", 9480, 150, 270, 255);
    Txt_Input = make<MaviTextBox>(Frame_D, "Txt_Input", 195, 705, 7485, 2295);

    Slider_Rate->setMin(0);
    Slider_Rate->setMax(100);
    Slider_Rate->setValue(50);
    Slider_Volume->setMin(0);
    Slider_Volume->setMax(100);
    Slider_Volume->setValue(75);
    Slider_FontSz->setMax(74);
    Slider_FontSz->setMin(12);

    // The keyword labels beside the sliders: the word over its key, in the
    // 9-point face the slider width leaves room for.
    QFont keywordFont = font();
    keywordFont.setPointSize(9);
    for (QLabel *l : {L_F1, L_F2, L_V1, L_V2}) {
        l->setFont(keywordFont);
        l->setWordWrap(true);
        l->setAlignment(Qt::AlignCenter);
    }

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
    // Colours from the settings file.
    using Settings::Key::BgColor, Settings::Key::FrameColor, Settings::Key::PhotoColor;
    const qint32 bg
        = ParseColour(*m_Ini, BgColor, QStringLiteral("174,216,230"), rgbColor(0, 128, 192));
    const qint32 frame
        = ParseColour(*m_Ini, FrameColor, QStringLiteral("174,216,230"), rgbColor(100, 202, 251));
    const qint32 photo
        = ParseColour(*m_Ini, PhotoColor, QStringLiteral("255,255,255"), rgbColor(100, 202, 251));
    const qint32 keyword = KeyWordColour(*m_Ini);

    // Window, panes and sliders.
    setBack(this, colourOf(bg));
    Frame_P->setBackColor(photo);
    for (FrameX *f : {Frame_L, Frame_M, Frame_R, Frame_D})
        f->setBackColor(frame);
    PicViseme->setBackColor(Frame_P->BackColor());
    for (SliderEx *s : {Slider_Rate, Slider_Volume, Slider_FontSz})
        s->setBackColor(frame);
    for (QWidget *w : {static_cast<QWidget *>(PicTitle), static_cast<QWidget *>(ImgLink1),
             static_cast<QWidget *>(ImgLink2)})
        w->setAttribute(Qt::WA_TranslucentBackground);

    // Heading labels take L_I0's text colour; keyword labels the keyword colour.
    const QColor heading = L_I0->palette().color(QPalette::WindowText);
    for (QLabel *l : {L_F0, L_V0, L_Font, L_TxtArea})
        setFore(l, heading);
    for (QWidget *w :
        {static_cast<QWidget *>(L_V1), static_cast<QWidget *>(L_V2), static_cast<QWidget *>(L_F1),
            static_cast<QWidget *>(L_F2), static_cast<QWidget *>(L_FS1),
            static_cast<QWidget *>(L_FS2), static_cast<QWidget *>(Check_AllEngine)})
        setFore(w, colourOf(keyword));
    // Labels sit on their pane's colour.
    for (QLabel *l : {L_I0, L_F0, L_F1, L_F2, L_V0, L_V1, L_V2, L_TxtArea, L_Font, L_FS1, L_FS2})
        setBack(l, colourOf(frame));

    // Titles.
    setWindowTitle(AppPaths::productTitle());

    // Command buttons.
    const OleColor lightBlue = rgbColor(174, 216, 230);
    for (CmdX *b : {Cmd_Speak, Cmd_Pause, Cmd_OpenTxt, Cmd_SaveTxt, Cmd_SearchT, Cmd_PrintDC}) {
        b->setBackColor(lightBlue);
        b->setGradientFromColor(lightBlue);
        b->setGradientToColor(lightBlue);
    }
    Cmd_Pause->setTag(QStringLiteral("Pause"));
    // Light blue on a light-blue pane: the border shows where the buttons are.
    for (CmdX *b : {Cmd_Speak, Cmd_Pause, Cmd_OpenTxt, Cmd_SaveTxt, Cmd_SearchT, Cmd_PrintDC})
        b->setAlwaysShowBorder(true);
    // Captions, the text box's opening text, and hint text; an empty string
    // leaves that part of the control as it is.
    struct Caption {
        QWidget *control;
        QString caption;
        QString toolTip;
    };
    const Caption captions[] = {
        {Cmd_Speak, QStringLiteral("朗讀"), QStringLiteral("朗讀 (Ctrl-H)／停止 (Ctrl-L)")},
        {Cmd_Pause, QStringLiteral("暫停"), QStringLiteral("暫停 (Ctrl-P)")},
        {Cmd_SaveWAV, QStringLiteral("產生.wav音檔"), QStringLiteral("產生.wav音檔 (Ctrl-J)")},
        {Cmd_SaveWAVnMP3, QStringLiteral("產生wav+mp3音檔"),
            QStringLiteral("同時儲存wav與ma3兩種檔案 (注意！檔名只能使用英文與數字) (Ctrl-W)")},
        {Cmd_OpenTxt, QStringLiteral("開啟"), QStringLiteral("開啟朗讀 .txt 文稿 (Ctrl-O)")},
        {Cmd_SaveTxt, QStringLiteral("儲存"), QStringLiteral("儲存朗讀 .txt 文稿 (Ctrl-S)")},
        {Cmd_SearchT, QStringLiteral("搜尋"), QStringLiteral("搜尋字串 (Ctrl-F)")},
        {Cmd_PrintDC, QStringLiteral("列印"), QStringLiteral("列印文章")},
        {L_I0, QStringLiteral("發音人"), {}},
        {L_F0, QStringLiteral("朗讀速度"), {}},
        {L_V0, QStringLiteral("朗讀音量"), {}},
        {L_V1, QStringLiteral("小聲 (Ctrl-R)"), {}},
        {L_V2, QStringLiteral("大聲 (Ctrl-T)"), {}},
        {L_F1, QStringLiteral("變快 (Ctrl-Y)"), {}},
        {L_F2, QStringLiteral("變慢 (Ctrl-G)"), {}},
        {L_Font, QStringLiteral("字型"), {}},
        {L_FS1, QStringLiteral("小"), {}},
        {L_FS2, QStringLiteral("大"), {}},
        {L_TxtArea, QStringLiteral("朗讀文稿編輯區"), {}},
        {Check_AllEngine, QStringLiteral("顯示所有發音人"), {}},
        {Txt_Input, QStringLiteral("請輸入文字於此，您可以選取文稿的部分片段朗讀"), {}},
        {Cmd_H1, {}, QStringLiteral("使用手冊")},
        {Cmd_H2, {}, QStringLiteral("版權聲明")},
        {Cmd_H4, {}, QStringLiteral("語音提示")},
        {Cmd_H5, {}, QStringLiteral("自訂發音")},
        {Cmd_ChgIcon, {}, QStringLiteral("換圖")},
        {Slider_Rate, {}, QStringLiteral("(變慢 Ctrl-G)(變快 Ctrl-Y) ")},
        {Slider_Volume, {}, QStringLiteral("(小聲 Ctrl-R) (大聲 Ctrl-T)")},
    };
    for (const Caption &c : captions) {
        if (!c.caption.isEmpty())
            setCaptionOf(c.control, c.caption);
        if (!c.toolTip.isEmpty())
            CTooltip::setToolTipTextOf(c.control, c.toolTip);
    }
}
