#pragma once
// SliderEx is the horizontal slider of the main window (speech rate, volume,
// text size). It draws an engraved track with nine tick marks, pastes the
// thumb picture held by its image child Img_SBox with magenta transparent,
// lets the user click anywhere to jump the thumb there or drag it, shows
// the value in its label child L_Msg beside the thumb while dragging, and
// raises ScrollEx with the new value on every drag step.
//
// Value is the thumb's offset from Min (0 at the left end, Max - Min at the
// right end); ScrollEx carries Min + Value. Positions are pixels of the
// control; the host's twips convert at 15 twips a pixel. The face is a
// function of the slider's state (renderFace), which paintEvent shows and
// tests inspect; the label is a child widget drawn over it.

#include "controls/CBmp.h"
#include "controls/DrawSurface.h"
#include "controls/GdiPicture.h"
#include "controls/TranslateColor.h"

#include <QImage>
#include <QVariantMap>
#include <QWidget>

class QLabel;

class SliderEx : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(int BackColor READ BackColor WRITE setBackColor)
    Q_PROPERTY(qint16 Value READ Value WRITE setValue)
    Q_PROPERTY(qint16 Min READ Min WRITE setMin)
    Q_PROPERTY(qint16 Max READ Max WRITE setMax)

public:
    static constexpr OleColor DefaultBackColor = 0xC0C0C0;
    static constexpr OleColor ThumbKey = 0xFF00FF;

    // What the face is drawn from.
    struct Face {
        int width = 0; // surface width in pixels
        int height = 0; // surface height in pixels
        OleColor backColor = DefaultBackColor;
        int thumbX = 0; // left edge of the thumb
        int thumbW = 0; // width of the thumb as taken at start
        GdiPicture thumb; // the thumb picture
        bool focused = false; // draws the keyboard focus mark
    };

    // `name` is the slider's name in its window: its objectName and accessible name.
    explicit SliderEx(QWidget *parent = nullptr, const QString &name = QString());
    ~SliderEx() override;

    OleColor BackColor() const { return m_Surface.BackColor(); }
    void setBackColor(OleColor colour);
    qint16 Value() const { return m_Value; }
    // Above Max is stored as Max, below 0 as 0; moves the thumb unless a drag is writing it.
    void setValue(qint16 value);
    qint16 Min() const { return m_Min; }
    // Stored only: the thumb stays where it is.
    void setMin(qint16 value);
    qint16 Max() const { return m_Max; }
    void setMax(qint16 value);
    QWidget *hWnd() { return this; }
    // The value the slider reports: Min plus Value.
    int reportedValue() const { return m_Min + m_Value; }
    // Moves the thumb to `value` (clamped as setValue does) as the user would,
    // raising ScrollEx when the value changes. Returns whether it changed.
    bool moveTo(int value);

    // Replaces the thumb picture of Img_SBox and takes its width as the thumb width.
    void setThumbPicture(const GdiPicture &picture);
    GdiPicture thumbPicture() const { return m_Thumb; }
    // The built-in 11 x 21 thumb: a raised, downward-pointing face on magenta.
    static QImage defaultThumbImage();

    // Keys are the property names; an absent key takes the default, and a
    // value equal to its default is left out when writing.
    void ReadProperties(const QVariantMap &bag);
    QVariantMap WriteProperties() const;

    // Draws the face onto a surface of the face's size; on a surface with a
    // device pixel ratio the thumb's pixels are enlarged with it.
    static void Paint(DrawSurface &surface, const Face &face, CBmp &bmp);
    static QImage renderFace(const Face &face, qreal ratio = 1.0);
    Face currentFace() const;
    QImage faceImage() const { return renderFace(currentFace(), devicePixelRatioF()); }

    int thumbX() const { return m_ThumbX; }
    int thumbW() const { return m_ThumbW; }
    int trackLen() const { return m_TrackLen; }
    int widthPx() const { return m_WidthPx; }
    bool isDragging() const { return m_Dragging; }
    QLabel *valueLabel() const { return m_LMsg; }

Q_SIGNALS:
    void ScrollEx(qint16 value);
    void MouseMove(qint16 Button, qint16 Shift, float X, float Y);
    // A property was written (its name).
    void propertyChanged(const QString &name);

protected:
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void PlaceThumb();
    void UpdateFromThumb();
    void applySize();
    int pointerThumbX(float x) const;

    CBmp m_Bmp;
    bool m_Dragging = false;
    qint16 m_Min = 0;
    qint16 m_Max = 0;
    qint16 m_Value = 0;
    qint16 m_ThumbX = 0;
    qint16 m_ThumbW = 0;
    qint16 m_TrackLen = 0;
    qint16 m_WidthPx = 0;
    bool m_Updating = false;

    GdiPicture m_Thumb;
    QLabel *m_ImgSBox = nullptr;
    QLabel *m_LMsg = nullptr;
    DrawSurface m_Surface;
    bool m_FocusMark = false; // focus came from the keyboard
};
