// What screen-reader and keyboard-only users get of the main window: names
// for the panes and sliders, labels tied to the controls they name, the Tab
// order of the layout, the text box as the first focus, and the window
// itself presented as a frame.

#include "shell/Form_Main.h"
#include "shell/MaviTextBox.h"

#include "controls/BmpBtnX.h"
#include "controls/CmdX.h"
#include "controls/FrameX.h"
#include "controls/PictureSurface.h"
#include "controls/SliderEx.h"

#include <QAccessibleWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>

namespace
{
QAccessibleInterface *windowFactory(const QString &key, QObject *object)
{
    if (key == QLatin1String("Form_Main"))
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Window);
    return nullptr;
}

void name(QWidget *w, const QString &text, const QString &description = QString())
{
    w->setAccessibleName(text);
    if (!description.isEmpty())
        w->setAccessibleDescription(description);
}
} // namespace

void Form_Main::SetUpAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(windowFactory);
        return true;
    }();
    Q_UNUSED(installed);

    name(Frame_P, QStringLiteral("發音人圖片"));
    name(Frame_L, QStringLiteral("朗讀與錄音"));
    name(Frame_M, QStringLiteral("發音人與語音設定"));
    name(Frame_R, QStringLiteral("說明"));
    name(Frame_D, QStringLiteral("朗讀文稿"));
    name(PicViseme, QStringLiteral("發音人嘴型"));

    // A slider is named by the label before it; its description is its hint.
    name(Slider_Rate, L_F0->text());
    name(Slider_Volume, L_V0->text());
    name(Slider_FontSz, QStringLiteral("字型大小"), QStringLiteral("調整朗讀文稿的字型大小"));
    name(Combo_Voice, L_I0->text());
    name(Combo_Font, L_Font->text());
    name(Txt_Input, L_TxtArea->text());
    L_I0->setBuddy(Combo_Voice);
    L_F0->setBuddy(Slider_Rate);
    L_V0->setBuddy(Slider_Volume);
    L_Font->setBuddy(Combo_Font);
    L_TxtArea->setBuddy(Txt_Input);

    // Tab follows the layout: speech buttons, voice pane, document bar, text,
    // then the picture buttons beside them.
    const QList<QWidget *> order
        = {Cmd_Speak, Cmd_Pause, Cmd_SaveWAV, Cmd_SaveWAVnMP3, Combo_Voice, Check_AllEngine,
            Slider_Rate, Slider_Volume, Cmd_OpenTxt, Cmd_SaveTxt, Cmd_SearchT, Cmd_PrintDC,
            Combo_Font, Slider_FontSz, Txt_Input, Cmd_ChgIcon, Cmd_H1, Cmd_H2, Cmd_H4, Cmd_H5};
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);

    Txt_Input->setFocus(Qt::OtherFocusReason);
}
