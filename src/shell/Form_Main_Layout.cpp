// Layout of the main window, recomputed from the window size on every resize.
// The window measures in pixels; controls inside a pane keep their sizes in
// twips (Tpx per pixel) as the pane layout is written in them.

#include "shell/Form_Main.h"
#include "shell/MaviTextBox.h"
#include "system/Numeric.h"

#include "controls/BmpBtnX.h"
#include "controls/CTooltip.h"
#include "controls/CmdX.h"
#include "controls/FrameX.h"
#include "controls/PictureSurface.h"
#include "controls/SliderEx.h"
#include "controls/TranslateColor.h"
#include "shell/ProgramPictures.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPainter>
#include <QResizeEvent>
#include <QStatusBar>
#include <cmath>

namespace
{
constexpr double T = Form_Main::Tpx;

int toPx(double twips)
{
    return Numeric::roundHalfEven(twips / T);
}

double tw(int pixels)
{
    return pixels * T;
}

// Geometry of a control inside a pane, in twips.
struct TwipRect {
    double left, top, width, height;
};

TwipRect twips(const QWidget *w)
{
    const QRect g = w->geometry();
    return {tw(g.x()), tw(g.y()), tw(g.width()), tw(g.height())};
}

void place(QWidget *w, double left, double top, double width, double height)
{
    w->setGeometry(toPx(left), toPx(top), std::max(0, toPx(width)), std::max(0, toPx(height)));
}

void moveLeft(QWidget *w, double left)
{
    const TwipRect r = twips(w);
    place(w, left, r.top, r.width, r.height);
}

// Paints the tile over the whole target, columns left to right, each from
// top to bottom. An empty tile paints nothing.
void TileBackground(QPainter &target, QSize size, const QPixmap &tile)
{
    const QSize t = logicalSize(tile);
    if (t.isEmpty())
        return;
    for (int x = 0; x < size.width(); x += t.width())
        for (int y = 0; y < size.height(); y += t.height())
            target.drawPixmap(x, y, tile);
}

// Bytes of a caption in the system code page (UTF-8 here).
int codePageBytes(const QString &s)
{
    return static_cast<int>(s.toUtf8().size());
}
} // namespace

void Form_Main::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    Resize();
}

void Form_Main::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    Resize();
}

void Form_Main::Resize()
{
    if (isMinimized() || !Frame_P)
        return;

    // Minimum outer size; the frame decoration is whatever the platform adds.
    // The window system is told too, so dragging stops at the minimum.
    const QSize decoration = frameGeometry().size() - size();
    const QSize minimum(MinOuterWidthTwips / Tpx - decoration.width(),
        MinOuterHeightTwips / Tpx - decoration.height());
    if (minimumSize() != minimum)
        setMinimumSize(minimum);
    if (width() < minimum.width() || height() < minimum.height())
        resize(size().expandedTo(minimum));

    const int W = std::max(width(), minimum.width());
    const int H = std::max(height(), minimum.height());
    const int sbHeight = 18;

    // The second panel stretches, so it takes the window's whole width.
    SB->setGeometry(0, H - sbHeight, W, sbHeight);

    placeTitleBand();
    placePaneRow(W);
    placePhotoPane();
    placeSpeechPane();
    placeVoicePane();
    placeHelpBar();
    placeDocumentPane(W, H - sbHeight);

    BuildTooltips();
    PaintTitleBand();
}

void Form_Main::placeTitleBand()
{
    const int outerW = frameGeometry().width();
    PicTitle->setGeometry(0, 0, outerW - 1, 32);
    const QPixmap logo = loadProgramPicture(QStringLiteral("Title/Logo"));
    const QPixmap company = loadProgramPicture(QStringLiteral("Title/Company"));
    const QSize c = logicalSize(company);
    ImgLink1->setGeometry(PicTitle->width() - c.width() - 4, 0, c.width(), c.height());
    // The logo is painted at the photo pane's left, a tenth of the band down.
    const QSize l = logicalSize(logo);
    ImgLink2->setGeometry(8, PicTitle->height() / 10, l.width(), l.height());
}

void Form_Main::placePaneRow(int W)
{
    Frame_P->move(8, Frame_P->y());
    // Whole pixels: a quarter of every change of width goes to this pane.
    const int lWidth = (W - 10) / 4;
    const int mWidth = W - (lWidth + Frame_P->width() + Frame_R->width() + 40);
    const int rowTop = PicTitle->y() + PicTitle->height() + 8;
    Frame_P->setGeometry(8, rowTop, Frame_P->width(), Frame_P->height());
    Frame_L->setGeometry(Frame_P->x() + Frame_P->width() + 8, rowTop, lWidth, Frame_L->height());
    Frame_M->setGeometry(Frame_L->x() + Frame_L->width() + 8, rowTop, mWidth, Frame_M->height());
    Frame_R->setGeometry(
        Frame_M->x() + Frame_M->width() + 8, rowTop, Frame_R->width(), Frame_R->height());
}

// The change-picture button in the bottom right corner.
void Form_Main::placePhotoPane()
{
    const TwipRect c = twips(Cmd_ChgIcon);
    place(Cmd_ChgIcon, tw(Frame_P->width() - 2) - c.width, tw(Frame_P->height() - 2) - c.height,
        c.width, c.height);
}

// Four equal buttons, centred vertically. The column is rounded to whole
// pixels once, so every gap is the same 2 pixels.
void Form_Main::placeSpeechPane()
{
    const double h = tw(Frame_L->height() - 16) / 4.0;
    const double s = std::nearbyint(std::nearbyint(4 * h) + 2 * T);
    const int heightPx = toPx(h);
    int topPx = toPx((tw(Frame_L->height() - 1) - s) / 2.0);
    const int widthPx = std::max(0, Frame_L->width() - 24);
    for (QWidget *b : {static_cast<QWidget *>(Cmd_Speak), static_cast<QWidget *>(Cmd_Pause),
             static_cast<QWidget *>(Cmd_SaveWAV), static_cast<QWidget *>(Cmd_SaveWAVnMP3)}) {
        b->setGeometry(8, topPx, widthPx, heightPx);
        topPx += heightPx + 2;
    }
}

// The list stretches; the sliders leave room for the right-hand labels.
void Form_Main::placeVoicePane()
{
    const TwipRect combo = twips(Combo_Voice);
    const double comboWidth = tw(Frame_M->width()) - std::nearbyint(24 * T + twips(L_I0).width);
    place(Combo_Voice, combo.left, combo.top, comboWidth, combo.height);
    const double labelRoom
        = std::nearbyint(L_V2->font().pointSizeF() * codePageBytes(L_V2->text()) * 10);
    for (SliderEx *s : {Slider_Rate, Slider_Volume}) {
        const TwipRect r = twips(s);
        place(s, r.left, r.top, comboWidth - labelRoom, r.height);
    }
    for (QLabel *l : {L_I0, L_V0, L_F0})
        moveLeft(l, 8);
    const double v2Left = combo.left + comboWidth - twips(L_V2).width - 2 * T;
    moveLeft(L_V2, v2Left);
    moveLeft(L_F2, v2Left);
}

// The picture buttons in a centred column.
void Form_Main::placeHelpBar()
{
    const QList<QWidget *> buttons {Cmd_H1, Cmd_H2, Cmd_H4, Cmd_H5};
    const TwipRect h1 = twips(Cmd_H1);
    const double n = buttons.size();
    double top = std::nearbyint(Frame_R->height() - n * h1.height / T) / 2.0 * T;
    const double left = (tw(Frame_R->width()) - h1.width) / 2.0;
    for (QWidget *b : buttons) {
        place(b, left, top, h1.width, h1.height);
        top += h1.height + 2 * T;
    }
}

// The document pane takes the rest of the height above the status bar.
void Form_Main::placeDocumentPane(int W, int bottom)
{
    Frame_D->setGeometry(8, Frame_M->y() + Frame_M->height() + 8, W - 16,
        bottom - 24 - (PicTitle->y() + PicTitle->height()) - Frame_L->height());
    moveLeft(L_TxtArea, 8 * T);
    const TwipRect area = twips(L_TxtArea);
    double left = area.left + area.width + 2 * T;
    for (QWidget *b : {static_cast<QWidget *>(Cmd_OpenTxt), static_cast<QWidget *>(Cmd_SaveTxt),
             static_cast<QWidget *>(Cmd_SearchT), static_cast<QWidget *>(Cmd_PrintDC)}) {
        const TwipRect r = twips(b);
        place(b, left, 8 * T, r.width, r.height);
        left += r.width + 2 * T;
    }

    const TwipRect open = twips(Cmd_OpenTxt);
    const TwipRect font = twips(L_Font);
    const TwipRect fs1 = twips(L_FS1);
    const TwipRect fs2 = twips(L_FS2);
    const double fixed
        = std::nearbyint(4 * open.width + font.width + fs1.width + 2 * area.width + 48 * T);
    const double sliderWidth = (tw(Frame_D->width()) - fixed) / 2.0;
    const double fs2Left = tw(Frame_D->width()) - fs2.width - 5 * T;
    place(L_FS2, fs2Left, fs2.top, fs2.width, fs2.height);
    const TwipRect slider = twips(Slider_FontSz);
    const double sliderLeft = fs2Left - sliderWidth - 8 * T;
    place(Slider_FontSz, sliderLeft, slider.top, sliderWidth, slider.height);
    const double fs1Left = sliderLeft - 8 * T - fs1.width;
    place(L_FS1, fs1Left, fs1.top, fs1.width, fs1.height);
    const TwipRect combo = twips(Combo_Font);
    const double comboLeft = fs1Left - sliderWidth - 12 * T;
    place(Combo_Font, comboLeft, combo.top, sliderWidth, combo.height);
    place(L_Font, comboLeft - font.width - 4 * T, font.top, font.width, font.height);

    place(Txt_Input, 8 * T, open.top + open.height + 5 * T, tw(Frame_D->width() - 16),
        tw(Frame_D->height() - 24) - open.height);
}

void Form_Main::PaintTitleBand()
{
    const QPixmap tile = loadProgramPicture(QStringLiteral("Title/TitleTile"));
    const QPixmap logo = loadProgramPicture(QStringLiteral("Title/Logo"));
    const QPixmap company = loadProgramPicture(QStringLiteral("Title/Company"));
    const qreal ratio = devicePixelRatioF();
    QPixmap band(PicTitle->size() * ratio);
    band.setDevicePixelRatio(ratio);
    band.fill(Qt::transparent);
    QPainter p(&band);
    TileBackground(p, PicTitle->size(), tile);
    const int top = PicTitle->height() / 10;
    p.drawPixmap(Frame_P->x(), top, logo);
    p.drawPixmap(Frame_R->x() + Frame_R->width() - logicalSize(company).width(), top, company);
    p.end();
    PicTitle->setPixmap(band);
}

void Form_Main::BuildTooltips()
{
    m_Tooltips.clear(); // each gives its control the tooltip text back
    const QList<QWidget *> controls = findChildren<QWidget *>();
    for (QWidget *control : controls) {
        if (control->objectName().isEmpty())
            continue;
        const QString text = CTooltip::toolTipTextOf(control).trimmed();
        if (text.isEmpty())
            continue;
        auto tip = std::make_unique<CTooltip>();
        tip->setFormX(this);
        const OleColor fore = sysColor(COLOR_INFOTEXT);
        const OleColor back = sysColor(COLOR_INFOBK);
        TipWindow *made = nullptr;
        if (auto *label = qobject_cast<QLabel *>(control)) {
            QWidget *pane = label->parentWidget();
            if (pane != Frame_M && pane != Frame_D)
                continue;
            const QRect r = label->geometry();
            made = tip->AddLabel(
                label, pane, r, {.text = text, .foreColor = fore, .backColor = back});
        } else {
            made = tip->Create(control, {.text = text, .foreColor = fore, .backColor = back});
        }
        if (!made)
            continue;
        tip->setHoverTime(100);
        // The hint stays readable for the spoken prompts; the control's own
        // tooltip is cleared so that only the tooltip window shows it.
        control->setProperty("TipText", text);
        CTooltip::setToolTipTextOf(control, QString());
        m_Tooltips[control->objectName()] = std::move(tip);
    }
}

void Form_Main::CentreViseme()
{
    if (Combo_Voice->currentText().trimmed().isEmpty()) {
        PicViseme->hide();
        return;
    }
    PicViseme->show();
    const TwipRect v = twips(PicViseme);
    place(PicViseme, (tw(Frame_P->width()) - v.width) / 2.0,
        (tw(Frame_P->height()) - v.height) / 2.0, v.width, v.height);
}
