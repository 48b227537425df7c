#pragma once
// One tooltip window: the frameless, topmost Qt::ToolTip window that both
// CTooltip and CmdX put over a control. It holds one tool (a widget, or a
// rectangle inside a widget), the tip's text, an optional title with an icon,
// colours, font and the two delays, and it watches the tool itself: when the
// pointer rests inside the tool's rectangle for the initial delay the tip
// shows, and it hides on leaving, on a button press or after the display time.
// The face is drawn by renderFace() from a Look, so pixel tests draw it too.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPointer>
#include <QTimer>
#include <QWidget>

class TipWindow : public QWidget
{
    Q_OBJECT
public:
    // Window style bits.
    enum : int { StyleAlwaysTip = 0x01, StyleNoPrefix = 0x02, StyleBalloon = 0x40 };
    // Tool flags.
    enum : int { ToolCenterTip = 0x02, ToolSubclass = 0x10 };
    // Delay codes of setDelayTime().
    enum : int { DelayAutoPop = 2, DelayInitial = 3 };
    // Title icons.
    enum : int { IconNone = 0, IconInfo = 1, IconWarning = 2, IconError = 3 };

    // Everything the face depends on.
    struct Look {
        QString text;
        QString title;
        int icon = IconNone;
        QColor fore = Qt::black;
        QColor back = QColor(255, 255, 225);
        QFont font;
        bool balloon = false;
        bool stemUp = true; // balloon stem on the top edge (tip below its tool)
        int stemX = 16; // x of the stem's point inside the face
    };

    // Balloon stem height and corner radius, in pixels.
    static constexpr int StemHeight = 12;
    static constexpr int CornerRadius = 6;

    TipWindow(int style, QWidget *owner);
    ~TipWindow() override;

    // Registers the tool; a null rect means the tool window's whole client
    // area. With ToolSubclass the window watches the tool for pointer rests.
    // Returns false when there is no tool window.
    bool addTool(QWidget *toolWindow, const QRect &rect, int flags, const QString &text);
    // Also watch `widget` (a child lying over the tool's rectangle, such as a
    // label), mapping its pointer positions into the tool window.
    void relayEventsFrom(QWidget *widget);
    void updateTipText(const QString &text);
    void setTitle(int icon, const QString &title);
    void setTipTextColor(const QColor &colour);
    void setTipBkColor(const QColor &colour);
    // code DelayInitial or DelayAutoPop; a negative value restores the default.
    void setDelayTime(int code, int milliseconds);
    void setTipFont(const QFont &font);

    int style() const { return m_Style; }
    QWidget *toolWindow() const { return m_ToolWindow; }
    QRect toolRect() const;
    int toolFlags() const { return m_ToolFlags; }
    QString tipText() const { return m_Text; }
    QString title() const { return m_Title; }
    int titleIcon() const { return m_Icon; }
    QColor textColor() const { return m_Fore; }
    QColor bkColor() const { return m_Back; }
    QFont tipFont() const { return m_Font; }
    int delayTime(int code) const;
    static int defaultDelay(int code);

    Look look() const;
    static QSize faceSize(const Look &look);
    static QImage renderFace(const Look &look);
    // The text split at its line breaks ("\r\n", "\n" or "\r").
    static QStringList lines(const QString &text);

    // Shows the tip now for a pointer at pointerGlobal, as a pointer rest does.
    void popup(const QPoint &pointerGlobal);
    // Hides the tip; a hidden tip stays registered.
    void pop();
    // Tells the tip where the pointer is, in tool-window coordinates, as a
    // watched move does; a control that makes its tip on entering calls it so
    // that a pointer resting from then on still brings the tip up.
    void relayPointer(const QPoint &toolPos, const QPoint &globalPos);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void pointerGone();
    void onInitialDelay();
    bool mayShow() const;

    int m_Style = 0;
    QPointer<QWidget> m_ToolWindow;
    QList<QPointer<QWidget>> m_Relays;
    QRect m_ToolRect;
    int m_ToolFlags = 0;
    QString m_Text;
    QString m_Title;
    int m_Icon = IconNone;
    QColor m_Fore;
    QColor m_Back;
    QFont m_Font;
    int m_InitialDelay = -1;
    int m_AutoPopDelay = -1;
    QTimer m_InitialTimer;
    QTimer m_AutoPopTimer;
    QPoint m_LastPointer;
    bool m_StemUp = true;
    int m_StemX = 16;
    bool m_WaitForLeave = false; // after the display time ran out
};
