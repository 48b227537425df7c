#pragma once
// A push button drawn from a picture strip: four frames of equal height
// stacked vertically (normal, hover, pressed, and one never drawn), the
// control sized to one frame. Without a picture it draws a flat light-grey
// face with a one-pixel raised or sunken border. A caption may be drawn over
// the face, a click sound plays on click, and the pointer is followed by the
// 10 ms polling timer Timer1 rather than by capture. With a picture, a click
// that comes before the pointer has ever moved over the button is ignored.
//
// The face is renderFrame(frame()), a function of the frame and properties.

#include "controls/TranslateColor.h"

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QPixmap>
#include <QVariantMap>
#include <QWidget>
#include <functional>

class QShortcut;
class QTimer;

class BmpBtnX : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(int Align READ Align WRITE setAlign)
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(int TransColor READ TransColor WRITE setTransColor)
    Q_PROPERTY(QFont Font READ Font WRITE setCaptionFont)
    Q_PROPERTY(QPixmap Picture READ Picture WRITE setPicture)
    Q_PROPERTY(QPixmap MouseIcon READ MouseIcon WRITE setMouseIcon)
    Q_PROPERTY(int BackColor READ BackColor WRITE setBackColor)
    Q_PROPERTY(int ForeColor READ ForeColor WRITE setForeColor)
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabledValue)
    Q_PROPERTY(qint16 MousePointer READ MousePointer WRITE setMousePointer)
    Q_PROPERTY(QString AccessKey READ AccessKey WRITE setAccessKey)
    Q_PROPERTY(int UseSound READ UseSound WRITE setUseSound)
    Q_PROPERTY(QString SoundFileName READ SoundFileName WRITE setSoundFileName)
    Q_PROPERTY(QString Tag READ Tag WRITE setTag)
    Q_PROPERTY(QString ToolTipText READ ToolTipText WRITE setToolTipText)

public:
    enum Frame : qint16 { FrameNormal = 0, FrameHover = 1, FrameDown = 2 };
    // MousePointer codes besides the standard shapes.
    enum : qint16 { PointerDefault = 0, PointerCustom = 99 }; // custom: MouseIcon
    enum UseSoundCode : int { SoundNone = 0, SoundBuiltIn = 1, SoundFile = 2 };
    // Text drawing flags.
    enum : int {
        DtCenter = 1,
        DtRight = 2,
        DtVCenter = 4,
        DtBottom = 8,
        DtSingleLine = 0x20,
        DtNoClip = 0x100
    };

    explicit BmpBtnX(QWidget *parent = nullptr, const QString &name = QString());
    ~BmpBtnX() override;

    int Align() const { return m_Align; }
    void setAlign(int align);
    QString Caption() const { return m_Caption; }
    void setCaption(const QString &caption);
    OleColor TransColor() const { return m_TransColor; }
    void setTransColor(OleColor colour);
    QFont Font() const { return font(); }
    void setCaptionFont(const QFont &font);
    QPixmap Picture() const { return m_Picture; }
    void setPicture(const QPixmap &picture);
    QPixmap MouseIcon() const { return m_MouseIcon; }
    void setMouseIcon(const QPixmap &icon);
    OleColor BackColor() const { return m_BackColor; }
    void setBackColor(OleColor colour);
    OleColor ForeColor() const { return m_ForeColor; }
    void setForeColor(OleColor colour);
    bool Enabled() const { return isEnabled(); }
    void setEnabledValue(bool on);
    qint16 MousePointer() const { return m_MousePointer; }
    void setMousePointer(qint16 pointer);
    QString AccessKey() const { return m_AccessKey; }
    void setAccessKey(const QString &keys);
    int UseSound() const { return m_UseSound; }
    void setUseSound(int mode);
    QString SoundFileName() const { return m_SoundFileName; }
    void setSoundFileName(const QString &fileName);
    QString Tag() const { return m_Tag; }
    void setTag(const QString &tag);
    QString ToolTipText() const { return toolTip(); }
    void setToolTipText(const QString &text);

    QWidget *hWnd() { return this; }
    // Repaints the hover frame.
    void Reflesh();
    // A small modal dialog about the control.
    void AboutBox();

    // The property bag, keys equal to the property names; reading it is the
    // control's load at run time (sound data, strip, access key).
    void ReadProperties(const QVariantMap &bag);
    QVariantMap WriteProperties() const;

    // Text flags for an Align code (0-8; anything else gives 0, top-left).
    static int AlignToTextFlags(int align);
    // Frame `frame` at `ratio` device pixels a pixel. A strip whose pixmap
    // has a device pixel ratio (an @2x picture) sizes the control by its
    // ratio and gives its own pixels to a face of that ratio.
    // `focused` adds the keyboard focus mark.
    QImage renderFrame(int frame, qreal ratio = 1.0, bool focused = false) const;
    QImage faceImage() const
    {
        return renderFrame(m_Frame, devicePixelRatioF(), hasFocus() && m_FocusMark);
    }
    // Plays the click sound and raises Click, as Space or Return on the
    // focused button do, whether or not the pointer has been over it.
    void click() { clicked(true); }
    qint16 frame() const { return m_Frame; }
    bool mouseSeen() const { return m_MouseSeen; }
    bool hasPicture() const { return m_HasPicture; }
    qint16 pressedButton() const { return m_Button; }
    QSize stripSize() const { return {m_StripW, m_StripH}; }
    QTimer *timer1() const { return m_Timer1; }
    const QByteArray &soundData() const { return m_Sound; }
    // One Timer1 tick: reads the pointer and paints the frame it calls for.
    void pollPointer();

    // Seams: what plays the click sound and what reports a missing sound
    // file. Empty functions restore the real ones.
    using SoundPlayer = std::function<void(const QByteArray &)>;
    static void setSoundPlayer(SoundPlayer player);
    using ErrorReporter = std::function<void(const QString &)>;
    static void setErrorReporter(ErrorReporter reporter);

Q_SIGNALS:
    void Click();
    void DblClick();
    void KeyDown(qint16 KeyCode, qint16 Shift);
    void KeyPress(qint16 KeyAscii);
    void KeyUp(qint16 KeyCode, qint16 Shift);
    void MouseDown(qint16 Button, qint16 Shift, float X, float Y);
    void MouseMove(qint16 Button, qint16 Shift, float X, float Y);
    void MouseUp(qint16 Button, qint16 Shift, float X, float Y);
    void propertyChanged(const QString &name);

protected:
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;

private:
    void changed(const char *name);
    void PrepareStrip();
    void paintFrame(qint16 frame);
    void PaintNormal() { paintFrame(FrameNormal); }
    void PaintHover() { paintFrame(FrameHover); }
    void PaintDown() { paintFrame(FrameDown); }
    void clicked(bool fromAccessKey);
    void loadSound();
    void accessKeyFromCaption();
    void rebuildShortcuts();
    void updateAccessibility();
    void applyPointer();

    int m_Align = 5;
    QString m_Caption = QStringLiteral("Command");
    OleColor m_TransColor = 0xFFFFFF;
    QPixmap m_Picture;
    QPixmap m_MouseIcon;
    OleColor m_BackColor = 0xE0E0E0;
    OleColor m_ForeColor = 0;
    qint16 m_MousePointer = 0;
    QString m_AccessKey;
    int m_UseSound = SoundBuiltIn;
    QString m_SoundFileName;
    QString m_Tag;

    QImage m_StripDC;
    int m_StripW = 0;
    int m_StripH = 0;
    bool m_HasPicture = false;
    bool m_MouseSeen = false;
    qint16 m_Button = 0;
    qint16 m_Frame = FrameNormal;
    QPoint m_Pointer;
    bool m_Inside = false;
    QByteArray m_Sound;
    QTimer *m_Timer1 = nullptr;
    QList<QShortcut *> m_Shortcuts;
    bool m_FocusMark = false; // focus came from the keyboard
};
