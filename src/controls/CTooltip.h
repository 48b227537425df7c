#pragma once
// A tooltip of one control, or of one windowless label given by its rectangle
// inside a pane: balloon or rectangular, optionally centred under its tool,
// with an optional title and title icon, its own colours, the form's font and
// settable show delay and display time. The main window keeps one CTooltip
// per control that has a tip. While a tip exists the control's own tooltip
// text is the tip's text; Remove() (also run on destruction) gives it back.

#include "controls/TranslateColor.h"

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QString>

class QWidget;
class TipWindow;

class CTooltip : public QObject
{
    Q_OBJECT
public:
    // Accepted style codes: bit 1 shows the tip also when the form is not
    // active, bit 64 gives the balloon form.
    enum : int {
        StyleRectangle = 0,
        StyleAlwaysTip = 1,
        StyleBalloon = 64,
        StyleBalloonAlways = 65
    };
    enum : int { IconNone = 0, IconInfo = 1, IconWarning = 2, IconError = 3 };
    // A show delay or display time that leaves the tip window's own.
    static constexpr int DefaultTime = -1;
    // The style while there is no tip.
    static constexpr int NoTip = -1;

    // What a tip looks like and when it shows.
    struct Options {
        QString text = {}; // "|" starts a new line when there is a title
        int style = StyleBalloonAlways;
        bool centered = true; // centred under the tool
        int icon = IconNone; // title icon
        QString title = {};
        OleColor foreColor = sysColor(COLOR_BTNTEXT);
        OleColor backColor = sysColor(COLOR_INFOBK);
        int hoverTime = DefaultTime; // show delay, milliseconds
        int popupTime = DefaultTime; // display time, milliseconds
    };

    // The platform's tool description, kept as given to the tooltip window.
    struct ToolInfo {
        int size = 0;
        int flags = 0;
        QWidget *hwnd = nullptr;
        int id = 0;
        QRect rect;
        QString text;
    };

    explicit CTooltip(QObject *parent = nullptr);
    ~CTooltip() override;

    // Destroys the tip window, if any, and writes the tip's text back into
    // the control's tooltip text; the style becomes NoTip in every case.
    void Remove();

    void setFormX(QWidget *form);
    QWidget *FormX() const { return m_Form; }

    // A tip over the control's whole window; returns nullptr (and creates
    // nothing) when FormX is not set or the control has no window.
    TipWindow *Create(QObject *control, const Options &options);
    // A tip over the rectangle `rect` of `parent`, for a label that has no
    // window of its own.
    TipWindow *AddLabel(QObject *label, QWidget *parent, const QRect &rect, const Options &options);
    // Returns the tip window, or nullptr for an invalid style or icon code or
    // when the window cannot be made; the control's tooltip text is written
    // either way. `rect` is used only when toolWindow is the label parent.
    TipWindow *CreateEx(
        QObject *control, const QRect &rect, QWidget *toolWindow, const Options &options);

    OleColor BackCol() const { return m_BackCol; }
    bool Centered() const;
    QString ToolTip() const { return m_ToolInfo.text; }
    QString Title() const { return m_Title; }
    OleColor ForeCol() const { return m_ForeCol; }
    int Icon() const { return m_Icon; }
    QString InitialText() const { return m_InitialText; }
    QString InitialTitle() const { return m_InitialTitle; }
    int PopupTime() const { return m_PopupTime; }
    void setPopupTime(int milliseconds);
    int HoverTime() const { return m_HoverTime; }
    void setHoverTime(int milliseconds);

    // NoTip while there is no tip.
    int style() const { return m_Style; }
    TipWindow *tipWindow() const;
    QObject *control() const { return m_Ctrl; }
    const ToolInfo &toolInfo() const { return m_ToolInfo; }

    // The control's tooltip text: its ToolTipText property where it declares
    // one, otherwise the widget's toolTip (or a dynamic ToolTipText property).
    static QString toolTipTextOf(const QObject *control);
    static void setToolTipTextOf(QObject *control, const QString &text);
    // The text a tip shows for `text` with `title`: bars become line breaks,
    // which become spaces when there is no title.
    static QString tipTextFor(const QString &text, const QString &title);

private:
    QPointer<QWidget> m_Form;
    QPointer<QObject> m_Ctrl;
    QPointer<TipWindow> m_hTip;
    QPointer<QWidget> m_LabelParent;
    QPointer<QObject> m_Label;
    ToolInfo m_ToolInfo;
    int m_Style = NoTip;
    int m_Icon = IconNone;
    OleColor m_ForeCol = 0;
    OleColor m_BackCol = 0;
    int m_HoverTime = DefaultTime;
    int m_PopupTime = DefaultTime;
    QString m_Title;
    QString m_InitialText;
    QString m_InitialTitle;
};
