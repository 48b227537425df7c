#include "controls/BmpBtnX.h"

#include "audio/WaveSound.h"
#include "controls/AccessibleControls.h"
#include "controls/DrawSurface.h"
#include "controls/InputCodes.h"

#include <QFile>
#include <QFileInfo>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcut>
#include <QTimer>

namespace
{
BmpBtnX::SoundPlayer &soundPlayer()
{
    static BmpBtnX::SoundPlayer player;
    return player;
}

BmpBtnX::ErrorReporter &errorReporter()
{
    static BmpBtnX::ErrorReporter reporter;
    return reporter;
}

void playSound(const QByteArray &bytes)
{
    if (soundPlayer())
        soundPlayer()(bytes);
    else
        WaveSound::play(bytes);
}

void reportError(const QString &text)
{
    if (errorReporter())
        errorReporter()(text);
    else
        QMessageBox::critical(nullptr, QGuiApplication::applicationDisplayName(), text);
}

// Click sounds are short; a file past this size is not taken into memory.
constexpr qint64 MaxSoundFileBytes = 64 * 1024 * 1024;

bool readSoundFile(const QString &path, QByteArray *bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > MaxSoundFileBytes)
        return false;
    *bytes = file.readAll();
    return true;
}

Qt::Alignment toQtAlignment(int flags)
{
    Qt::Alignment a = (flags & BmpBtnX::DtCenter) ? Qt::AlignHCenter
        : (flags & BmpBtnX::DtRight)              ? Qt::AlignRight
                                                  : Qt::AlignLeft;
    a |= (flags & BmpBtnX::DtVCenter) ? Qt::AlignVCenter
        : (flags & BmpBtnX::DtBottom) ? Qt::AlignBottom
                                      : Qt::AlignTop;
    return a;
}
} // namespace

void BmpBtnX::setSoundPlayer(SoundPlayer player)
{
    soundPlayer() = std::move(player);
}

void BmpBtnX::setErrorReporter(ErrorReporter reporter)
{
    errorReporter() = std::move(reporter);
}

BmpBtnX::BmpBtnX(QWidget *parent, const QString &name)
    : QWidget(parent)
{
    setObjectName(name);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    AccessibleControls::install();
    m_Timer1 = new QTimer(this);
    m_Timer1->setObjectName(QStringLiteral("Timer1"));
    m_Timer1->setInterval(10);
    connect(m_Timer1, &QTimer::timeout, this, &BmpBtnX::pollPointer);
    resize(60, 24);
    loadSound();
    PaintNormal();
    updateAccessibility();
}

BmpBtnX::~BmpBtnX() = default;

void BmpBtnX::changed(const char *name)
{
    Q_EMIT propertyChanged(QLatin1String(name));
}

// ---- properties ----------------------------------------------------------

void BmpBtnX::setAlign(int align)
{
    m_Align = align;
    changed("Align");
    PaintNormal();
}

void BmpBtnX::setCaption(const QString &caption)
{
    m_Caption = caption;
    changed("Caption");
    accessKeyFromCaption();
    updateAccessibility();
    PaintNormal();
}

void BmpBtnX::setTransColor(OleColor colour)
{
    m_TransColor = colour;
    changed("TransColor");
}

void BmpBtnX::setCaptionFont(const QFont &f)
{
    setFont(f);
    changed("Font");
    PaintNormal();
}

void BmpBtnX::setPicture(const QPixmap &picture)
{
    m_Picture = picture;
    m_HasPicture = !picture.isNull();
    if (m_HasPicture)
        PrepareStrip();
    else
        m_StripDC = QImage();
    changed("Picture");
    // The surface shows its new picture from the top: the normal frame.
    PaintNormal();
}

void BmpBtnX::setMouseIcon(const QPixmap &icon)
{
    m_MouseIcon = icon;
    changed("MouseIcon");
    applyPointer();
}

void BmpBtnX::setBackColor(OleColor colour)
{
    m_BackColor = colour;
    changed("BackColor");
    PaintNormal();
}

void BmpBtnX::setForeColor(OleColor colour)
{
    m_ForeColor = colour;
    changed("ForeColor");
    PaintNormal();
}

void BmpBtnX::setEnabledValue(bool on)
{
    setEnabled(on);
    changed("Enabled");
    PaintNormal();
}

void BmpBtnX::setMousePointer(qint16 pointer)
{
    if (pointer != PointerCustom && !InputCodes::cursorShape(pointer))
        return;
    m_MousePointer = pointer;
    changed("MousePointer");
    applyPointer();
}

void BmpBtnX::applyPointer()
{
    if (m_MousePointer == PointerCustom && !m_MouseIcon.isNull())
        setCursor(QCursor(m_MouseIcon, 0, 0));
    else if (m_MousePointer == PointerDefault || m_MousePointer == PointerCustom)
        unsetCursor();
    else
        setCursor(*InputCodes::cursorShape(m_MousePointer));
}

void BmpBtnX::setAccessKey(const QString &keys)
{
    m_AccessKey = keys;
    changed("AccessKey");
    rebuildShortcuts();
}

void BmpBtnX::setUseSound(int mode)
{
    m_UseSound = mode;
    changed("UseSound");
    loadSound();
}

void BmpBtnX::setSoundFileName(const QString &fileName)
{
    m_SoundFileName = fileName;
    changed("SoundFileName");
    if (!QFileInfo(fileName).isFile()) {
        reportError(QStringLiteral("File not found"));
        return;
    }
    readSoundFile(fileName, &m_Sound);
}

void BmpBtnX::setTag(const QString &tag)
{
    m_Tag = tag;
    changed("Tag");
}

void BmpBtnX::setToolTipText(const QString &text)
{
    setToolTip(text);
    changed("ToolTipText");
    updateAccessibility();
}

void BmpBtnX::updateAccessibility()
{
    QString name = m_Caption.trimmed();
    name.remove(QLatin1Char('&'));
    setAccessibleName(name.isEmpty() ? toolTip() : name);
    setAccessibleDescription(toolTip());
}

void BmpBtnX::loadSound()
{
    if (m_UseSound == SoundBuiltIn) {
        m_Sound = WaveSound::builtInClick();
    } else if (m_UseSound == SoundFile) {
        if (m_SoundFileName.trimmed().isEmpty()) {
            m_UseSound = SoundNone;
            return;
        }
        readSoundFile(m_SoundFileName, &m_Sound);
    }
}

void BmpBtnX::accessKeyFromCaption()
{
    const qsizetype amp = m_Caption.indexOf(QLatin1Char('&'));
    if (amp < 0 || amp + 1 >= m_Caption.size())
        return;
    m_AccessKey = m_Caption.mid(amp + 1, 1);
    rebuildShortcuts();
}

void BmpBtnX::rebuildShortcuts()
{
    qDeleteAll(m_Shortcuts);
    m_Shortcuts.clear();
    for (const QChar c : std::as_const(m_AccessKey)) {
        if (!c.isLetterOrNumber())
            continue;
        auto *sc = new QShortcut(
            QKeySequence(QKeyCombination(Qt::AltModifier, Qt::Key(c.toUpper().unicode()))), this);
        connect(sc, &QShortcut::activated, this, [this] { clicked(true); });
        m_Shortcuts.append(sc);
    }
}

void BmpBtnX::Reflesh()
{
    PaintHover();
}

void BmpBtnX::AboutBox()
{
    QMessageBox::about(this, QStringLiteral("關於"),
        QStringLiteral("圖片按鈕：四格圖片條（一般、游標經過、按下）。"));
}

// ---- property bag --------------------------------------------------------

void BmpBtnX::ReadProperties(const QVariantMap &bag)
{
    const auto get = [&bag](const char *key, const QVariant &def) {
        return bag.value(QLatin1String(key), def);
    };
    m_Align = get("Align", 5).toInt();
    m_Caption = get("Caption", QStringLiteral("Command")).toString();
    m_TransColor = get("TransColor", 0xFFFFFF).toInt();
    if (bag.contains(QStringLiteral("Font"))) {
        QFont f;
        if (f.fromString(bag.value(QStringLiteral("Font")).toString()))
            setFont(f);
    }
    m_Picture = get("Picture", QPixmap()).value<QPixmap>();
    m_MouseIcon = get("MouseIcon", QPixmap()).value<QPixmap>();
    m_BackColor = get("BackColor", 0xE0E0E0).toInt();
    m_ForeColor = get("ForeColor", 0).toInt();
    setEnabled(get("Enabled", true).toBool());
    const int pointer = get("MousePointer", 0).toInt();
    if (pointer == PointerCustom || InputCodes::cursorShape(pointer))
        m_MousePointer = static_cast<qint16>(pointer);
    m_AccessKey = get("AccessKey", QString()).toString();
    m_UseSound = get("UseSound", 1).toInt();
    m_SoundFileName = get("SoundFileName", QString()).toString();
    applyPointer();
    loadSound();
    m_HasPicture = !m_Picture.isNull();
    if (m_HasPicture)
        PrepareStrip();
    else
        m_StripDC = QImage();
    PaintNormal();
    rebuildShortcuts();
    accessKeyFromCaption();
    updateAccessibility();
}

QVariantMap BmpBtnX::WriteProperties() const
{
    QVariantMap bag;
    const auto put = [&bag](const char *key, const QVariant &value, const QVariant &def) {
        if (value != def)
            bag.insert(QLatin1String(key), value);
    };
    put("Align", m_Align, 5);
    put("Caption", m_Caption, QStringLiteral("Command"));
    put("TransColor", m_TransColor, 0xFFFFFF);
    if (testAttribute(Qt::WA_SetFont))
        bag.insert(QStringLiteral("Font"), font().toString());
    if (!m_Picture.isNull())
        bag.insert(QStringLiteral("Picture"), m_Picture);
    if (!m_MouseIcon.isNull())
        bag.insert(QStringLiteral("MouseIcon"), m_MouseIcon);
    put("BackColor", m_BackColor, 0xE0E0E0);
    put("ForeColor", m_ForeColor, 0);
    put("Enabled", isEnabled(), true);
    put("MousePointer", int(m_MousePointer), 0);
    put("AccessKey", m_AccessKey, QString());
    put("UseSound", m_UseSound, 1);
    put("SoundFileName", m_SoundFileName, QString());
    return bag;
}

// ---- painting ------------------------------------------------------------

int BmpBtnX::AlignToTextFlags(int align)
{
    switch (align) {
    case 0:
        return DtCenter | DtVCenter;
    case 1:
        return DtCenter;
    case 2:
        return DtCenter | DtBottom;
    case 3:
        return DtVCenter;
    case 4:
        return 0;
    case 5:
        return DtBottom;
    case 6:
        return DtRight | DtVCenter;
    case 7:
        return DtRight;
    case 8:
        return DtRight | DtBottom;
    default:
        return 0;
    }
}

void BmpBtnX::PrepareStrip()
{
    // A dense strip (an @2x picture) covers its size divided by its ratio.
    const QSize size = (QSizeF(m_Picture.size()) / m_Picture.devicePixelRatio()).toSize();
    m_StripW = size.width();
    m_StripH = size.height();
    resize(m_StripW, m_StripH / 4);
    m_StripDC = m_Picture.toImage().convertToFormat(QImage::Format_RGB32);
}

void BmpBtnX::paintFrame(qint16 frame)
{
    m_Frame = frame;
    update();
}

QImage BmpBtnX::renderFrame(int k, qreal ratio, bool focused) const
{
    const int W = std::max(1, width());
    const int H = std::max(1, height());
    DrawSurface surface(W, H, TranslateColor(m_BackColor), ratio);
    surface.Cls();
    if (m_HasPicture && !m_StripDC.isNull()) {
        // The frame's rows of the strip, in the strip's own pixels: a strip as
        // dense as the screen is copied pixel for pixel, any other is resampled.
        const qreal stripRatio = m_StripDC.devicePixelRatio();
        const int frameH = m_StripH / 4;
        const QRectF source(0, k * frameH * stripRatio, m_StripW * stripRatio, frameH * stripRatio);
        QPainter p(&surface.image());
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.setRenderHint(QPainter::SmoothPixmapTransform, stripRatio != ratio);
        p.drawImage(QRectF(0, 0, m_StripW, frameH), m_StripDC, source);
    } else if (k == FrameNormal) {
        surface.Box(0, 0, W - 1, H - 1, rgbColor(0xCF, 0xCF, 0xCF), true);
    } else {
        OleColor tl = TranslateColor(sysColor(COLOR_BTNHIGHLIGHT));
        OleColor br = TranslateColor(sysColor(COLOR_3DDKSHADOW));
        if (k == FrameDown)
            std::swap(tl, br);
        surface.Line(0, 0, W, 0, tl);
        surface.Line(0, 0, 0, H, tl);
        surface.Line(W - 1, 0, W - 1, H, br);
        surface.Line(0, H - 1, W, H - 1, br);
    }
    if (!m_Caption.trimmed().isEmpty()) {
        QPainter p(&surface.image());
        // The pressed caption sits one pixel right and down.
        const QRect r = k == FrameDown ? QRect(1, 1, W, H) : QRect(0, 0, W, H);
        QFont f = font();
        f.setStyleStrategy(QFont::NoAntialias);
        p.setFont(f);
        p.setPen(toQColor(isEnabled() ? m_ForeColor : sysColor(COLOR_GRAYTEXT)));
        const int flags = AlignToTextFlags(m_Align) | DtSingleLine | DtNoClip;
        p.drawText(r,
            int(toQtAlignment(flags)) | Qt::TextSingleLine | Qt::TextDontClip
                | Qt::TextShowMnemonic,
            m_Caption);
    }
    if (focused && W > 4 && H > 4) {
        QPainter p(&surface.image());
        p.setPen(QPen(toQColor(TranslateColor(m_ForeColor)), 0, Qt::DotLine));
        p.drawRect(QRectF(1.5, 1.5, W - 4, H - 4));
    }
    return surface.image().convertToFormat(QImage::Format_RGB32);
}

void BmpBtnX::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.drawImage(0, 0, faceImage());
}

// ---- pointer and keys ----------------------------------------------------

void BmpBtnX::pollPointer()
{
    const QPoint pos = mapFromGlobal(QCursor::pos());
    m_Pointer = pos;
    bool inside = pos.x() >= 0 && pos.x() <= width() && pos.y() >= 0 && pos.y() <= height();
    if (!m_MouseSeen && m_HasPicture)
        inside = false;
    m_Inside = inside;
    if (inside && m_Button == InputCodes::LeftButton) {
        PaintDown();
    } else if (inside) {
        PaintHover();
    } else if (m_Button == InputCodes::LeftButton) {
        PaintHover();
    } else {
        m_Timer1->stop();
        PaintNormal();
    }
}

void BmpBtnX::mouseMoveEvent(QMouseEvent *event)
{
    m_MouseSeen = true;
    if (!m_Timer1->isActive())
        m_Timer1->start();
    const Qt::MouseButtons held = event->buttons();
    const qint16 button = held & Qt::LeftButton ? InputCodes::LeftButton
        : held & Qt::RightButton                ? InputCodes::RightButton
        : held & Qt::MiddleButton               ? InputCodes::MiddleButton
                                                : 0;
    Q_EMIT MouseMove(button, InputCodes::shiftCode(event->modifiers()),
        float(event->position().x()), float(event->position().y()));
}

void BmpBtnX::mousePressEvent(QMouseEvent *event)
{
    m_Button = InputCodes::buttonCode(event->button());
    Q_EMIT MouseDown(m_Button, InputCodes::shiftCode(event->modifiers()),
        float(event->position().x()), float(event->position().y()));
}

void BmpBtnX::mouseReleaseEvent(QMouseEvent *event)
{
    // The second press of a double click arrives as a double-click event, not
    // a press: its release ends no press and raises no second Click.
    const bool leftPressed = m_Button == InputCodes::LeftButton;
    if (m_MouseSeen && leftPressed)
        PaintHover();
    m_Button = 0;
    QPointer<BmpBtnX> self(this);
    Q_EMIT MouseUp(InputCodes::buttonCode(event->button()),
        InputCodes::shiftCode(event->modifiers()), float(event->position().x()),
        float(event->position().y()));
    if (!self)
        return;
    // A click is a left press and release over the button.
    if (event->button() == Qt::LeftButton && leftPressed
        && rect().contains(event->position().toPoint()))
        clicked(false);
}

void BmpBtnX::mouseDoubleClickEvent(QMouseEvent *)
{
    Q_EMIT DblClick();
}

void BmpBtnX::keyPressEvent(QKeyEvent *event)
{
    const qint16 shift = InputCodes::shiftCode(event->modifiers());
    Q_EMIT KeyDown(InputCodes::keyCode(event->key()), shift);
    const QString text = event->text();
    if (!text.isEmpty() && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
        Q_EMIT KeyPress(static_cast<qint16>(text.at(0).unicode()));
    if (InputCodes::isPressKey(event))
        click();
}

void BmpBtnX::keyReleaseEvent(QKeyEvent *event)
{
    Q_EMIT KeyUp(InputCodes::keyCode(event->key()), InputCodes::shiftCode(event->modifiers()));
}

void BmpBtnX::clicked(bool fromAccessKey)
{
    if (!fromAccessKey && !m_MouseSeen && m_HasPicture)
        return;
    if (m_UseSound > 0 && !m_Sound.isEmpty())
        playSound(m_Sound);
    Q_EMIT Click();
}

void BmpBtnX::focusInEvent(QFocusEvent *event)
{
    m_FocusMark = InputCodes::focusMarkAfter(event->reason(), true, m_FocusMark);
    QWidget::focusInEvent(event);
}

void BmpBtnX::focusOutEvent(QFocusEvent *event)
{
    m_FocusMark = InputCodes::focusMarkAfter(event->reason(), false, m_FocusMark);
    QWidget::focusOutEvent(event);
}
