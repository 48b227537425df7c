#include "DemoWindow.h"

#include "controls/BmpBtnX.h"
#include "controls/CTooltip.h"
#include "controls/CmdX.h"
#include "controls/FrameX.h"
#include "controls/GdiPicture.h"
#include "controls/SliderEx.h"
#include "controls/TipWindow.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace
{
const OleColor LightBlue = rgbColor(174, 216, 230);

QLabel *still(const QImage &image, const QString &caption, QWidget *parent)
{
    auto *box = new QLabel(parent);
    QFont f = box->font();
    f.setPixelSize(10);
    const int textW = QFontMetrics(f).horizontalAdvance(caption) + 4;
    const int w = std::max(image.width() + 2, textW);
    QImage framed(w, image.height() + 16, QImage::Format_RGB32);
    framed.fill(parent->palette().color(QPalette::Window));
    QPainter p(&framed);
    p.drawImage((w - image.width()) / 2, 0, image);
    p.setFont(f);
    p.drawText(QRect(0, image.height() + 2, w, 14), Qt::AlignHCenter, caption);
    p.end();
    box->setPixmap(QPixmap::fromImage(framed));
    return box;
}

// The faces a command button shows: normal, hover and pressed.
QList<QImage> commandFaces(CmdX &probe)
{
    CmdX::Face normal = probe.currentFace();
    CmdX::Face hover = normal;
    hover.hoverLook = true;
    hover.borderState = 1;
    hover.borderDrawn = true;
    CmdX::Face pressed = hover;
    pressed.paintState = 1;
    pressed.inverse = probe.UseGradientFill() && probe.GradientInverseOnPress();
    pressed.caption += QPoint(1, 1);
    pressed.borderState = 2;
    return {probe.renderFace(normal), probe.renderFace(hover), probe.renderFace(pressed)};
}

// A four-frame strip of 40 x 40 pictures: normal, hover, pressed, disabled.
QPixmap helpStrip()
{
    QImage img(40, 160, QImage::Format_RGB32);
    img.fill(QColor(174, 216, 230));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor fills[4]
        = {QColor(70, 130, 200), QColor(250, 190, 40), QColor(40, 90, 160), QColor(160, 160, 160)};
    for (int k = 0; k < 4; ++k) {
        const QRect r(4 + (k == 2), 4 + k * 40 + (k == 2), 32, 32);
        p.setPen(QPen(QColor(30, 50, 80), 1));
        p.setBrush(fills[k]);
        p.drawEllipse(r);
        QFont f = p.font();
        f.setPixelSize(22);
        f.setBold(true);
        p.setFont(f);
        p.setPen(Qt::white);
        p.drawText(r, Qt::AlignCenter, QStringLiteral("?"));
    }
    return QPixmap::fromImage(img);
}
} // namespace

DemoWindow::DemoWindow(QWidget *parent)
    : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Parlo 控制項展示"));
    auto *grid = new QGridLayout(this);
    grid->addWidget(buildCommandButtons(), 0, 0);
    grid->addWidget(buildBitmapButtons(), 0, 1);
    grid->addWidget(buildPanesAndSliders(), 1, 0);
    grid->addWidget(buildTooltipFaces(), 1, 1);
    m_Log = new QPlainTextEdit(this);
    m_Log->setReadOnly(true);
    m_Log->setMaximumBlockCount(200);
    m_Log->setPlaceholderText(QStringLiteral("Events of the live controls appear here."));
    m_Log->setFixedHeight(90);
    grid->addWidget(m_Log, 2, 0, 1, 2);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    resize(1000, 740);
}

DemoWindow::~DemoWindow()
{
    qDeleteAll(m_Tooltips);
}

void DemoWindow::log(const QString &line)
{
    if (m_Log)
        m_Log->appendPlainText(line);
}

QWidget *DemoWindow::buildCommandButtons()
{
    auto *group
        = new QGroupBox(QStringLiteral("CmdX: live (point, press, leave while pressed)"), this);
    auto *col = new QVBoxLayout(group);

    auto *live = new QWidget(group);
    live->setFixedHeight(110);
    const auto make = [&](const QString &name, const QString &caption, QRect geometry) {
        auto *b = new CmdX(live, name);
        b->setGeometry(geometry);
        b->setCaption(caption);
        connect(b, &CmdX::Click, this, [this, name] { log(name + QStringLiteral(": Click")); });
        connect(b, &CmdX::MouseEnter, this,
            [this, name] { log(name + QStringLiteral(": MouseEnter")); });
        connect(
            b, &CmdX::MouseExit, this, [this, name] { log(name + QStringLiteral(": MouseExit")); });
        connect(b, &CmdX::MouseDown, this, [this, name](qint16 button, qint16, float x, float y) {
            log(QStringLiteral("%1: MouseDown %2 (%3, %4)").arg(name).arg(button).arg(x).arg(y));
        });
        connect(b, &CmdX::MouseUp, this, [this, name](qint16 button, qint16, float, float) {
            log(QStringLiteral("%1: MouseUp %2").arg(name).arg(button));
        });
        return b;
    };
    CmdX *speak = make(QStringLiteral("Cmd_Speak"), QStringLiteral("朗讀"), {0, 0, 80, 30});
    speak->setBackColor(LightBlue);
    speak->setGradientFromColor(LightBlue);
    speak->setGradientToColor(LightBlue);
    auto *speakTip = new CTooltip;
    speakTip->setFormX(this);
    speakTip->Create(speak, {.text = QStringLiteral("朗讀 (Ctrl-H)／停止 (Ctrl-L)")});
    speakTip->setHoverTime(100);
    m_Tooltips << speakTip;

    make(QStringLiteral("Cmd_SaveWAV"), QStringLiteral("產生.wav音檔"), {86, 0, 100, 30});
    CmdX *across = make(QStringLiteral("Cmd_Across"), QStringLiteral("橫向漸層"), {192, 0, 90, 30});
    across->setGradientOrientation(1);
    across->setGradientFromColor(rgbColor(255, 120, 120));
    across->setGradientToColor(rgbColor(255, 240, 120));
    CmdX *bold = make(QStringLiteral("Cmd_Bold"), QStringLiteral("粗體提示"), {288, 0, 90, 30});
    bold->setFontBoldOnHover(true);
    bold->setToolTipValue(QStringLiteral("CmdX 自己的提示視窗"));
    bold->setToolTipTitle(QStringLiteral("提示"));
    bold->setToolTipIcon(1);
    bold->setToolTipStyle(1);
    bold->setToolTipCentered(true);
    CmdX *border = make(QStringLiteral("Cmd_Border"), QStringLiteral("固定外框"), {0, 38, 80, 30});
    border->setAlwaysShowBorder(true);
    CmdX *hold = make(QStringLiteral("Cmd_Hold"), QStringLiteral("不放開"), {86, 38, 100, 30});
    hold->setDontReleaseCapture(true);
    hold->setToolTipValue(QStringLiteral("DontReleaseCapture: 移出不會觸發 MouseExit"));
    CmdX *off = make(QStringLiteral("Cmd_Off"), QStringLiteral("停用"), {192, 38, 90, 30});
    off->setEnabledValue(false);
    CmdX *pic = make(QStringLiteral("Cmd_Pic"), QStringLiteral("圖片"), {288, 38, 90, 30});
    pic->setCaptionAlignment(7);
    pic->setPicture(helpStrip().copy(0, 0, 40, 40).scaled(20, 20));
    for (int style = 1; style <= 4; ++style) {
        CmdX *b = make(QStringLiteral("Cmd_Border3D%1").arg(style),
            QStringLiteral("邊框 %1").arg(style), {(style - 1) * 96, 76, 90, 30});
        b->setBorder3DStyle(style);
    }
    col->addWidget(live);

    // Still faces: the three states, then the nine caption alignments.
    auto *states = new QHBoxLayout;
    CmdX probe(nullptr, QStringLiteral("Cmd_Probe"));
    probe.resize(100, 30);
    probe.setCaption(QStringLiteral("朗讀"));
    probe.setGradientFromColor(rgbColor(255, 255, 255));
    probe.setGradientToColor(rgbColor(120, 160, 220));
    const QList<QImage> faces = commandFaces(probe);
    const QStringList names {
        QStringLiteral("normal"), QStringLiteral("hover"), QStringLiteral("pressed")};
    for (int i = 0; i < faces.size(); ++i)
        states->addWidget(still(faces.at(i), names.at(i), group));
    states->addStretch();
    col->addLayout(states);

    auto *aligns = new QGridLayout;
    CmdX cell(nullptr, QStringLiteral("Cmd_Align"));
    cell.resize(90, 26);
    cell.setCaption(QStringLiteral("Ab"));
    cell.setUseGradientFill(false);
    cell.setBackColor(rgbColor(255, 255, 255));
    cell.setForeColor(0);
    for (int a = 0; a < 9; ++a) {
        cell.setCaptionAlignment(a);
        aligns->addWidget(
            still(cell.faceImage(), QStringLiteral("alignment %1").arg(a), group), a % 3, a / 3);
    }
    col->addLayout(aligns);
    col->addStretch();
    return group;
}

QWidget *DemoWindow::buildBitmapButtons()
{
    auto *group = new QGroupBox(QStringLiteral("BmpBtnX: picture strip, flat face, Alt+H"), this);
    auto *col = new QVBoxLayout(group);
    auto *live = new QWidget(group);
    live->setFixedHeight(60);
    const auto hook = [&](BmpBtnX *b) {
        const QString name = b->objectName();
        connect(b, &BmpBtnX::Click, this, [this, name] { log(name + QStringLiteral(": Click")); });
        connect(b, &BmpBtnX::MouseDown, this, [this, name](qint16 button, qint16, float, float) {
            log(QStringLiteral("%1: MouseDown %2").arg(name).arg(button));
        });
    };
    auto *strip = new BmpBtnX(live, QStringLiteral("Cmd_H1"));
    strip->setCaption(QString());
    strip->setPicture(helpStrip());
    strip->move(0, 0);
    strip->setToolTipText(QStringLiteral("使用手冊"));
    hook(strip);
    auto *flat = new BmpBtnX(live, QStringLiteral("Cmd_Flat"));
    flat->setGeometry(50, 0, 90, 40);
    flat->setCaption(QStringLiteral("&Help"));
    flat->setAlign(0);
    hook(flat);
    auto *off = new BmpBtnX(live, QStringLiteral("Cmd_FlatOff"));
    off->setGeometry(150, 0, 90, 40);
    off->setCaption(QStringLiteral("停用"));
    off->setAlign(0);
    off->setEnabledValue(false);
    auto *silent = new BmpBtnX(live, QStringLiteral("Cmd_Silent"));
    silent->setGeometry(250, 0, 90, 40);
    silent->setCaption(QStringLiteral("無聲"));
    silent->setAlign(0);
    silent->setUseSound(0);
    hook(silent);
    col->addWidget(live);

    auto *frames = new QHBoxLayout;
    const QStringList names {
        QStringLiteral("normal"), QStringLiteral("hover"), QStringLiteral("pressed")};
    for (int k = 0; k < 3; ++k)
        frames->addWidget(still(strip->renderFrame(k), names.at(k), group));
    BmpBtnX probe;
    probe.resize(90, 40);
    probe.setCaption(QStringLiteral("&Help"));
    probe.setAlign(0);
    for (int k = 0; k < 3; ++k)
        frames->addWidget(still(probe.renderFrame(k), names.at(k), group));
    probe.setEnabledValue(false);
    frames->addWidget(still(probe.renderFrame(0), QStringLiteral("disabled"), group));
    frames->addStretch();
    col->addLayout(frames);

    auto *aligns = new QGridLayout;
    BmpBtnX cell;
    cell.resize(80, 26);
    cell.setCaption(QStringLiteral("Ab"));
    for (int a = 0; a < 9; ++a) {
        cell.setAlign(a);
        aligns->addWidget(
            still(cell.renderFrame(1), QStringLiteral("Align %1").arg(a), group), a / 3, a % 3);
    }
    col->addLayout(aligns);
    col->addStretch();
    return group;
}

QWidget *DemoWindow::buildPanesAndSliders()
{
    auto *group = new QGroupBox(QStringLiteral("FrameX and SliderEx, label tooltips"), this);
    auto *col = new QVBoxLayout(group);
    auto *area = new QWidget(group);
    area->setFixedHeight(170);

    auto *pane = new FrameX(area, QStringLiteral("Frame_M"));
    pane->setGeometry(0, 0, 280, 120);
    pane->setBackColor(LightBlue);
    const auto addSlider = [&](const QString &name, const QString &caption, int y, qint16 max,
                               qint16 value) {
        auto *label = new QLabel(caption, pane);
        label->setGeometry(10, y, 40, 20);
        auto *slider = new SliderEx(pane, name);
        slider->setGeometry(50, y - 4, 220, 30);
        slider->setBackColor(LightBlue);
        slider->setMax(max);
        slider->setValue(value);
        slider->setThumbPicture(GdiPicture::fromImage(SliderEx::defaultThumbImage()));
        connect(slider, &SliderEx::ScrollEx, this,
            [this, name](qint16 v) { log(QStringLiteral("%1: ScrollEx %2").arg(name).arg(v)); });
        auto *tip = new CTooltip;
        tip->setFormX(this);
        tip->AddLabel(label, pane, label->geometry(),
            {.text = caption + QStringLiteral("|(Ctrl-G / Ctrl-Y)"), .hoverTime = 100});
        m_Tooltips << tip;
    };
    addSlider(QStringLiteral("Slider_Rate"), QStringLiteral("語速"), 20, 20, 10);
    addSlider(QStringLiteral("Slider_Volume"), QStringLiteral("音量"), 70, 100, 80);

    auto *face = new FrameX(area, QStringLiteral("Frame_Sys"));
    face->setGeometry(288, 0, 100, 55);
    face->setBackColor(sysColor(COLOR_BTNFACE));
    auto *offPane = new FrameX(area, QStringLiteral("Frame_Off"));
    offPane->setGeometry(288, 65, 100, 55);
    offPane->setEnabledValue(false);
    auto *offSlider = new SliderEx(offPane, QStringLiteral("Slider_Off"));
    offSlider->setGeometry(8, 12, 84, 30);
    offSlider->setMax(10);
    offSlider->setValue(3);
    offSlider->setThumbPicture(GdiPicture::fromImage(SliderEx::defaultThumbImage()));
    col->addWidget(area);
    col->addStretch();
    return group;
}

QWidget *DemoWindow::buildTooltipFaces()
{
    auto *group = new QGroupBox(QStringLiteral("Tooltip windows"), this);
    auto *grid = new QGridLayout(group);
    TipWindow::Look look;
    look.font = font();
    look.fore = toQColor(sysColor(0x12));
    look.back = toQColor(sysColor(0x18));
    int n = 0;
    const auto add = [&](const QString &caption) {
        grid->addWidget(still(TipWindow::renderFace(look), caption, group), n / 2, n % 2);
        ++n;
    };
    look.balloon = true;
    look.stemX = 20;
    look.text = CTooltip::tipTextFor(QStringLiteral("慢|快"), QString());
    add(QStringLiteral("balloon, bar without title"));
    look.title = QStringLiteral("語速");
    look.icon = TipWindow::IconInfo;
    look.text = CTooltip::tipTextFor(QStringLiteral("變慢 Ctrl-G|變快 Ctrl-Y"), look.title);
    add(QStringLiteral("balloon, title and info icon"));
    look.stemUp = false;
    look.icon = TipWindow::IconError;
    add(QStringLiteral("balloon above its tool, error icon"));
    look.balloon = false;
    look.stemUp = true;
    look.title = QStringLiteral("注意");
    look.icon = TipWindow::IconWarning;
    look.text = QStringLiteral("檔名只能使用英文與數字");
    add(QStringLiteral("rectangle, warning title"));
    look.title.clear();
    look.icon = TipWindow::IconNone;
    look.text = QStringLiteral("搜尋字串 (Ctrl-F)");
    add(QStringLiteral("rectangle"));
    grid->setRowStretch(n / 2 + 1, 1);
    return group;
}
