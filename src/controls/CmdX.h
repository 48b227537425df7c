#pragma once
// The owner-drawn push button of the main window's commands: a two-colour
// gradient face (or the plain background), a caption and an optional picture
// at one of nine alignments plus an offset, a raised border while the pointer
// is over it and a sunken one while it is pressed, and a tooltip window of
// its own. It tracks the pointer itself and raises MouseEnter, Click,
// MouseExit and the mouse and key events in a fixed order.
//
// The face is a function of the button's state: DrawButton and DrawBorder
// record what they would draw, and renderFace() draws it into an image, which
// paintEvent shows and tests inspect.

#include "controls/TranslateColor.h"

#include <QFont>
#include <QImage>
#include <QPixmap>
#include <QPointer>
#include <QVariantMap>
#include <QWidget>

class QLabel;
class TipWindow;

class CmdX : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(int CaptionAlignment READ CaptionAlignment WRITE setCaptionAlignment)
    Q_PROPERTY(int CaptionXOffset READ CaptionXOffset WRITE setCaptionXOffset)
    Q_PROPERTY(int CaptionYOffset READ CaptionYOffset WRITE setCaptionYOffset)
    Q_PROPERTY(bool UseHoverProperties READ UseHoverProperties WRITE setUseHoverProperties)
    Q_PROPERTY(bool FontBoldOnHover READ FontBoldOnHover WRITE setFontBoldOnHover)
    Q_PROPERTY(int FontColorOnHover READ FontColorOnHover WRITE setFontColorOnHover)
    Q_PROPERTY(int BackColor READ BackColor WRITE setBackColor)
    Q_PROPERTY(int ForeColor READ ForeColor WRITE setForeColor)
    Q_PROPERTY(QFont Font READ Font WRITE setCaptionFont)
    Q_PROPERTY(QPixmap Picture READ Picture WRITE setPicture)
    Q_PROPERTY(int PictureAlignment READ PictureAlignment WRITE setPictureAlignment)
    Q_PROPERTY(int PictureXOffset READ PictureXOffset WRITE setPictureXOffset)
    Q_PROPERTY(int PictureYOffset READ PictureYOffset WRITE setPictureYOffset)
    Q_PROPERTY(bool AlwaysShowBorder READ AlwaysShowBorder WRITE setAlwaysShowBorder)
    Q_PROPERTY(QString ToolTip READ ToolTip WRITE setToolTipValue)
    Q_PROPERTY(QString ToolTipTitle READ ToolTipTitle WRITE setToolTipTitle)
    Q_PROPERTY(int ToolTipBackColor READ ToolTipBackColor WRITE setToolTipBackColor)
    Q_PROPERTY(int ToolTipForeColor READ ToolTipForeColor WRITE setToolTipForeColor)
    Q_PROPERTY(int ToolTipIcon READ ToolTipIcon WRITE setToolTipIcon)
    Q_PROPERTY(int ToolTipStyle READ ToolTipStyle WRITE setToolTipStyle)
    Q_PROPERTY(bool ToolTipCentered READ ToolTipCentered WRITE setToolTipCentered)
    Q_PROPERTY(int Border3DStyle READ Border3DStyle WRITE setBorder3DStyle)
    Q_PROPERTY(int GradientOrientation READ GradientOrientation WRITE setGradientOrientation)
    Q_PROPERTY(bool UseGradientFill READ UseGradientFill WRITE setUseGradientFill)
    Q_PROPERTY(int GradientFromColor READ GradientFromColor WRITE setGradientFromColor)
    Q_PROPERTY(int GradientToColor READ GradientToColor WRITE setGradientToColor)
    Q_PROPERTY(
        bool GradientInverseOnPress READ GradientInverseOnPress WRITE setGradientInverseOnPress)
    Q_PROPERTY(qint16 MousePointer READ MousePointer WRITE setMousePointer)
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabledValue)
    Q_PROPERTY(QString Tag READ Tag WRITE setTag)
    Q_PROPERTY(QString ToolTipText READ ToolTipText WRITE setToolTipText)

public:
    // CaptionAlignment and PictureAlignment codes: three columns (left,
    // centre, right) of three rows (top, middle, bottom).
    enum Alignment : int {
        AlignLeftTop = 0,
        AlignLeftMiddle = 1,
        AlignLeftBottom = 2,
        AlignCentreTop = 3,
        AlignCentreMiddle = 4,
        AlignCentreBottom = 5,
        AlignRightTop = 6,
        AlignRightMiddle = 7,
        AlignRightBottom = 8,
    };
    // Border3DStyle codes: the window edge around the drawing surface.
    enum Border3D : int {
        Border3DNone = 0,
        Border3DSunken = 1, // client edge
        Border3DRaised = 2, // modal dialog frame
        Border3DFlat = 3, // static edge
        Border3DSunkenRaised = 4, // client edge inside a dialog frame
    };
    // The one-pixel border drawn on the face.
    enum BorderState : int { BorderNone = 0, BorderRaised = 1, BorderSunken = 2 };
    enum PaintState : int { PaintNormal = 0, PaintPressed = 1 };
    enum GradientOrientationCode : int { GradientDown = 0, GradientAcross = 1 };
    enum ToolTipStyleCode : int { ToolTipRectangle = 0, ToolTipBalloon = 1 };
    // How far in from the right edge a right-aligned item ends.
    static constexpr int CaptionRightInset = 2;
    static constexpr int PictureRightInset = 1;

    // What a paint leaves on the face: the last DrawButton and the border
    // drawn after it.
    struct Face {
        int paintState = PaintNormal;
        bool inverse = false; // gradient colours swapped
        bool hoverLook = false; // caption in the hover colour and boldness
        QPoint caption; // where the caption was printed
        int borderState = BorderNone;
        bool borderDrawn = false; // a DrawBorder ran after the DrawButton
        bool focused = false; // draws the keyboard focus mark
    };

    // `name` is the control's name in its container: its objectName and the
    // default caption.
    explicit CmdX(QWidget *parent = nullptr, const QString &name = QString());
    ~CmdX() override;

    QString Caption() const { return m_Caption; }
    void setCaption(const QString &caption);
    int CaptionAlignment() const { return m_CaptionAlignment; }
    void setCaptionAlignment(int alignment);
    int CaptionXOffset() const { return m_CaptionXOffset; }
    void setCaptionXOffset(int offset);
    int CaptionYOffset() const { return m_CaptionYOffset; }
    void setCaptionYOffset(int offset);
    bool UseHoverProperties() const { return m_UseHoverProperties; }
    void setUseHoverProperties(bool on);
    bool FontBoldOnHover() const { return m_FontBoldOnHover; }
    void setFontBoldOnHover(bool on);
    OleColor FontColorOnHover() const { return m_FontColorOnHover; }
    void setFontColorOnHover(OleColor colour);
    OleColor BackColor() const { return m_BackColor; }
    void setBackColor(OleColor colour);
    OleColor ForeColor() const { return m_ForeColor; }
    void setForeColor(OleColor colour);
    QFont Font() const { return font(); }
    void setCaptionFont(const QFont &font);
    QPixmap Picture() const { return m_Picture; }
    void setPicture(const QPixmap &picture);
    int PictureAlignment() const { return m_PictureAlignment; }
    void setPictureAlignment(int alignment);
    int PictureXOffset() const { return m_PictureXOffset; }
    void setPictureXOffset(int offset);
    int PictureYOffset() const { return m_PictureYOffset; }
    void setPictureYOffset(int offset);
    bool AlwaysShowBorder() const { return m_AlwaysShowBorder; }
    void setAlwaysShowBorder(bool on);
    QString ToolTip() const { return m_ToolTip; }
    void setToolTipValue(const QString &text);
    QString ToolTipTitle() const { return m_ToolTipTitle; }
    void setToolTipTitle(const QString &title);
    OleColor ToolTipBackColor() const { return m_ToolTipBackColor; }
    void setToolTipBackColor(OleColor colour);
    OleColor ToolTipForeColor() const { return m_ToolTipForeColor; }
    void setToolTipForeColor(OleColor colour);
    int ToolTipIcon() const { return m_ToolTipIcon; }
    void setToolTipIcon(int icon);
    int ToolTipStyle() const { return m_ToolTipStyle; }
    void setToolTipStyle(int style);
    bool ToolTipCentered() const { return m_ToolTipCentered; }
    void setToolTipCentered(bool on);
    int Border3DStyle() const { return m_Border3DStyle; }
    void setBorder3DStyle(int style);
    int GradientOrientation() const { return m_GradientOrientation; }
    void setGradientOrientation(int orientation);
    bool UseGradientFill() const { return m_UseGradientFill; }
    void setUseGradientFill(bool on);
    OleColor GradientFromColor() const { return m_GradientFromColor; }
    void setGradientFromColor(OleColor colour);
    OleColor GradientToColor() const { return m_GradientToColor; }
    void setGradientToColor(OleColor colour);
    bool GradientInverseOnPress() const { return m_GradientInverseOnPress; }
    void setGradientInverseOnPress(bool on);
    qint16 MousePointer() const { return m_MousePointer; }
    void setMousePointer(qint16 pointer);
    bool Enabled() const { return isEnabled(); }
    void setEnabledValue(bool on);
    QString Tag() const { return m_Tag; }
    void setTag(const QString &tag);
    QString ToolTipText() const { return toolTip(); }
    void setToolTipText(const QString &text);

    // True leaves the pointer captured and raises no MouseExit on leaving.
    void setDontReleaseCapture(bool on) { m_DontReleaseCapture = on; }
    // Writing true raises Click; nothing is stored.
    void setValue(bool value);
    // Raises Click, as Space or Return on the focused button do.
    void click() { setValue(true); }
    QWidget *hWnd() { return this; }

    // The property bag: keys are the property names; absent keys take the
    // defaults, and writing leaves out values equal to their defaults.
    void ReadProperties(const QVariantMap &bag);
    QVariantMap WriteProperties() const;

    // Drawing surface: the client area inside the Border3DStyle frame.
    QSize surfaceSize() const;
    int frameWidth() const;
    Face currentFace() const
    {
        Face face = m_Face;
        face.focused = hasFocus() && m_FocusMark;
        return face;
    }
    // The face at `ratio` device pixels a pixel: the same drawing, with the
    // caption laid out at that resolution rather than enlarged.
    QImage renderFace(const Face &face, qreal ratio = 1.0) const;
    // The face as the screen shows it, at the screen's ratio.
    QImage faceImage() const { return renderFace(currentFace(), devicePixelRatioF()); }

    // Position of an item of size `item` on a surface of size `area` for
    // alignment code 0-8 (column-major: left, centre, right; top, middle,
    // bottom); `rightInset` is CaptionRightInset or PictureRightInset.
    // Returns false for other codes.
    static bool alignedPosition(
        int alignment, QSizeF area, QSizeF item, int rightInset, QPointF *pos);
    // Size a picture takes in the layout, measured the way the layout was
    // tuned: through its size in 0.01 mm at 15 twips a pixel.
    static QSizeF pictureLayoutSize(const QSize &pixels);
    static int RedOf(OleColor colour) { return colour & 0xFF; }
    static int GreenOf(OleColor colour) { return (colour / 256) & 0xFF; }
    static int BlueOf(OleColor colour) { return (colour / 65536) & 0xFF; }

    bool isHovering() const { return m_Hovering; }
    bool isPressed() const { return m_Pressed; }
    int borderState() const { return m_BorderState; }
    int paintState() const { return m_PaintState; }
    QPoint captionPosition() const { return {int(m_CaptionX), int(m_CaptionY)}; }
    QPoint picturePosition() const { return {int(m_PictureX), int(m_PictureY)}; }
    QLabel *imgPicture() const { return m_imgPicture; }
    TipWindow *toolTipWindow() const;

Q_SIGNALS:
    void Click();
    void DblClick();
    void MouseEnter();
    void MouseExit();
    void MouseDown(qint16 Button, qint16 Shift, float X, float Y);
    void MouseMove(qint16 Button, qint16 Shift, float X, float Y);
    void MouseUp(qint16 Button, qint16 Shift, float X, float Y);
    void KeyDown(qint16 KeyCode, qint16 Shift);
    // A property was written (its name).
    void propertyChanged(const QString &name);

protected:
    void paintEvent(QPaintEvent *event) override;
    bool event(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void changed(const char *name);
    void relayoutAndRedraw();
    void ApplyBorderStyle();
    void CalcLayout();
    void DrawBorder(int state);
    void DrawButton(int state, bool inverse);
    void hoverPaint(int state, bool inverse);
    void pointerMoved(qint16 button, qint16 shift, QPointF pos, QPoint globalPos);
    bool pointerInside(QPointF pos, QPoint globalPos);
    // The entering and leaving steps of a pointer move; false when a handler
    // of the event they raise destroyed the button.
    bool enterButton(QPointF pos, QPoint globalPos);
    bool leaveButton();
    void CreateToolTip();
    void DestroyToolTip();
    QFont captionFont() const;
    void updateAccessibility();
    QPointF surfacePos(QPointF widgetPos) const;

    QString m_Caption;
    bool m_CaptionSet = false;
    int m_CaptionAlignment = AlignCentreMiddle;
    int m_CaptionXOffset = 0;
    int m_CaptionYOffset = 0;
    bool m_UseHoverProperties = true;
    bool m_FontBoldOnHover = false;
    OleColor m_FontColorOnHover = 0xFF0000;
    OleColor m_BackColor = sysColor(COLOR_BTNFACE);
    OleColor m_ForeColor = sysColor(COLOR_BTNTEXT);
    QPixmap m_Picture;
    int m_PictureAlignment = AlignLeftMiddle;
    int m_PictureXOffset = 0;
    int m_PictureYOffset = 0;
    bool m_AlwaysShowBorder = false;
    QString m_ToolTip;
    QString m_ToolTipTitle;
    OleColor m_ToolTipBackColor = sysColor(COLOR_INFOBK);
    OleColor m_ToolTipForeColor = sysColor(COLOR_INFOTEXT);
    int m_ToolTipIcon = 0;
    int m_ToolTipStyle = ToolTipRectangle;
    bool m_ToolTipCentered = false;
    int m_Border3DStyle = Border3DNone;
    int m_GradientOrientation = GradientDown;
    bool m_UseGradientFill = true;
    OleColor m_GradientFromColor = sysColor(COLOR_BTNHIGHLIGHT);
    OleColor m_GradientToColor = sysColor(COLOR_BTNSHADOW);
    bool m_GradientInverseOnPress = true;
    qint16 m_MousePointer = 0;
    QString m_Tag;

    bool m_DontReleaseCapture = false;
    bool m_Hovering = false;
    bool m_Pressed = false;
    bool m_MouseFocus = false;
    bool m_FocusMark = false;
    int m_BorderState = BorderNone;
    quint8 m_PaintState = PaintNormal;
    float m_CaptionX = 0;
    float m_CaptionY = 0;
    float m_PictureX = 0;
    float m_PictureY = 0;
    bool m_HoverPaint = false; // inside a hover paint
    int m_FrameWidth = 0;
    Face m_Face;
    QLabel *m_imgPicture = nullptr;
    QPointer<TipWindow> m_hToolTip;
};
