#pragma once
// FrameX is the container pane of the main window: a plain surface in its
// background colour with a two-pixel etched border (dark outside on the top
// and left, light outside on the bottom and right, the opposite on the inner
// ring), on which other controls are placed.
//
// The face is a function of size and colour (renderFace); paintEvent shows
// it and tests inspect it.

#include "controls/DrawSurface.h"
#include "controls/TranslateColor.h"

#include <QImage>
#include <QVariantMap>
#include <QWidget>

class FrameX : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(int BackColor READ BackColor WRITE setBackColor)
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabledValue)

public:
    static constexpr OleColor DefaultBackColor = 0xE0E0E0;

    // `name` is the pane's name in its window: its objectName and accessible name.
    explicit FrameX(QWidget *parent = nullptr, const QString &name = QString());
    ~FrameX() override;

    // The surface's colour: a system colour reads back as the real colour it stands for.
    OleColor BackColor() const { return m_Surface.BackColor(); }
    void setBackColor(OleColor colour);
    bool Enabled() const { return isEnabled(); }
    void setEnabledValue(bool on);
    QWidget *hWnd() { return this; }

    // Keys are the property names; an absent key takes the default, and a
    // value equal to its default is left out when writing.
    void ReadProperties(const QVariantMap &bag);
    QVariantMap WriteProperties() const;

    // Draws the pane's face onto a surface of its own size.
    static void Paint(DrawSurface &surface);
    static QImage renderFace(QSize size, OleColor backColor, qreal ratio = 1.0);
    QImage faceImage() const { return renderFace(size(), BackColor(), devicePixelRatioF()); }

Q_SIGNALS:
    // A property was written (its name).
    void propertyChanged(const QString &name);

protected:
    void paintEvent(QPaintEvent *event) override;
    bool event(QEvent *event) override;

private:
    DrawSurface m_Surface;
};
