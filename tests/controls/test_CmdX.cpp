#include "PixelTest.h"
#include "controls/CmdX.h"
#include "controls/TipWindow.h"

#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QtTest>
#include <memory>

using namespace Qt::StringLiterals;

namespace
{
// Records the button's events by name, in the order they are raised.
struct Recorder {
    QStringList events;
    explicit Recorder(CmdX *b)
    {
        QObject::connect(b, &CmdX::Click, [this] { events << u"Click"_s; });
        QObject::connect(b, &CmdX::DblClick, [this] { events << u"DblClick"_s; });
        QObject::connect(b, &CmdX::MouseEnter, [this] { events << u"MouseEnter"_s; });
        QObject::connect(b, &CmdX::MouseExit, [this] { events << u"MouseExit"_s; });
        QObject::connect(b, &CmdX::MouseDown,
            [this](qint16 btn, qint16, float, float) { events << u"MouseDown%1"_s.arg(btn); });
        QObject::connect(b, &CmdX::MouseMove,
            [this](qint16, qint16, float, float) { events << u"MouseMove"_s; });
        QObject::connect(b, &CmdX::MouseUp,
            [this](qint16 btn, qint16, float, float) { events << u"MouseUp%1"_s.arg(btn); });
    }
};

// A shown window holding one 100 x 30 button with a plain white face.
struct Rig {
    std::unique_ptr<QWidget> host = std::make_unique<QWidget>();
    CmdX *btn = nullptr;
    Rig()
    {
        host->resize(300, 200);
        host->move(50, 50);
        btn = new CmdX(host.get(), u"Cmd_Test"_s);
        btn->setGeometry(20, 20, 100, 30);
        btn->setBackColor(rgbColor(255, 255, 255));
        btn->setForeColor(0);
        btn->setUseGradientFill(false);
        host->show();
        QVERIFY(QTest::qWaitForWindowExposed(host.get()));
        // Start with the pointer away from the button.
        QTest::mouseMove(host.get(), QPoint(290, 190));
    }
};

const QRgb White = qRgb(255, 255, 255);
} // namespace

class TestCmdX : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void alignmentPlacesItem_data()
    {
        QTest::addColumn<int>("alignment");
        QTest::addColumn<int>("inset");
        QTest::addColumn<QPointF>("expected"); // unchanged from (7, 7) when refused
        // A 40 x 13 item on a 100 x 30 face: centre (30, 8.5), right 60, bottom 17.
        QTest::newRow("top-left") << 0 << 2 << QPointF(1, 1);
        QTest::newRow("middle-left") << 1 << 2 << QPointF(1, 8.5);
        QTest::newRow("middle-centre") << 4 << 2 << QPointF(30, 8.5);
        QTest::newRow("top-right caption") << 6 << 2 << QPointF(58, 1);
        QTest::newRow("bottom-right caption") << 8 << 2 << QPointF(58, 16);
        QTest::newRow("bottom-right picture") << 8 << 1 << QPointF(59, 16);
        QTest::newRow("code 9 refused") << 9 << 2 << QPointF(7, 7);
        QTest::newRow("code -1 refused") << -1 << 2 << QPointF(7, 7);
    }
    void alignmentPlacesItem()
    {
        QFETCH(int, alignment);
        QFETCH(int, inset);
        QFETCH(QPointF, expected);
        QPointF pos(7, 7);
        QCOMPARE(CmdX::alignedPosition(alignment, QSizeF(100, 30), QSizeF(40, 13), inset, &pos),
            alignment >= 0 && alignment <= 8);
        QCOMPARE(pos, expected);
    }

    void alignmentOutsideRangeKeepsPosition()
    {
        Rig rig;
        rig.btn->setCaption(u"Go"_s);
        rig.btn->setCaptionAlignment(0);
        const QPoint before = rig.btn->captionPosition();
        rig.btn->setCaptionAlignment(9);
        QCOMPARE(rig.btn->captionPosition(), before);
    }

    void captionInkFollowsAlignmentAndOffsets()
    {
        Rig rig;
        rig.btn->setCaption(u"Mm"_s);
        rig.btn->setCaptionAlignment(8);
        const QRect bottomRight = PixelTest::inkBox(rig.btn->faceImage(), White);
        QVERIFY(!bottomRight.isEmpty());
        // Right column ends two pixels in, bottom row one pixel up.
        QVERIFY(bottomRight.right() <= 100 - 2 - 1);
        QVERIFY(bottomRight.bottom() <= 30 - 1 - 1);
        QVERIFY(bottomRight.left() > 50);

        rig.btn->setCaptionAlignment(0);
        const QRect topLeft = PixelTest::inkBox(rig.btn->faceImage(), White);
        QVERIFY(topLeft.left() >= 1 && topLeft.left() < 10);
        QVERIFY(topLeft.top() >= 1);

        rig.btn->setCaptionXOffset(5);
        rig.btn->setCaptionYOffset(-1);
        QCOMPARE(PixelTest::inkBox(rig.btn->faceImage(), White), topLeft.translated(5, -1));
    }

    void gradientRuns_data()
    {
        QTest::addColumn<int>("orientation");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("toColour");
        QTest::addColumn<QList<int>>("reds"); // red along the run
        // One red step a pixel: row or column i has red i.
        QTest::newRow("top to bottom")
            << 0 << 20 << 6 << rgbColor(6, 0, 0) << QList<int> {0, 1, 2, 3, 4, 5};
        QTest::newRow("left to right")
            << 1 << 6 << 20 << rgbColor(6, 0, 0) << QList<int> {0, 1, 2, 3, 4, 5};
        // Half steps round to the even neighbour: 0, 0.5, 1, 1.5, 2, 2.5.
        QTest::newRow("halves to even")
            << 1 << 6 << 20 << rgbColor(3, 0, 0) << QList<int> {0, 0, 1, 2, 2, 2};
    }
    void gradientRuns()
    {
        QFETCH(int, orientation);
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(int, toColour);
        QFETCH(QList<int>, reds);
        Rig rig;
        rig.btn->setCaption(QString());
        rig.btn->resize(width, height);
        rig.btn->setGradientFromColor(rgbColor(0, 0, 0));
        rig.btn->setGradientToColor(toColour);
        rig.btn->setGradientOrientation(orientation);
        rig.btn->setUseGradientFill(true);
        const QImage face = rig.btn->faceImage();
        QCOMPARE(face.size(), QSize(width, height));
        for (int i = 0; i < reds.size(); ++i) {
            // Every pixel across the run has the same colour.
            const QPoint a = orientation == 0 ? QPoint(0, i) : QPoint(i, 0);
            const QPoint b = orientation == 0 ? QPoint(width - 1, i) : QPoint(i, height - 1);
            QCOMPARE(qRed(face.pixel(a)), reds.at(i));
            QCOMPARE(face.pixel(a), face.pixel(b));
        }
    }

    void noGradientLeavesPlainBackground_data()
    {
        QTest::addColumn<bool>("useFill");
        QTest::addColumn<int>("orientation");
        QTest::newRow("fill off") << false << 0;
        QTest::newRow("orientation 2") << true << 2;
    }
    void noGradientLeavesPlainBackground()
    {
        QFETCH(bool, useFill);
        QFETCH(int, orientation);
        Rig rig;
        rig.btn->setCaption(QString());
        rig.btn->setBackColor(rgbColor(10, 20, 30));
        rig.btn->setGradientFromColor(rgbColor(255, 0, 0));
        rig.btn->setGradientToColor(rgbColor(0, 0, 255));
        rig.btn->setUseGradientFill(true);
        rig.btn->setGradientOrientation(orientation);
        rig.btn->setUseGradientFill(useFill);
        const QImage face = rig.btn->faceImage();
        QCOMPARE(PixelTest::colours(face, face.rect()), QSet<QRgb> {qRgb(10, 20, 30)});
    }

    void hoverRaisesBorderAndColoursCaption_data()
    {
        QTest::addColumn<bool>("hoverProperties");
        QTest::newRow("hover colour") << true;
        QTest::newRow("hover properties off") << false;
    }
    void hoverRaisesBorderAndColoursCaption()
    {
        QFETCH(bool, hoverProperties);
        Rig rig;
        Recorder rec(rig.btn);
        rig.btn->setCaption(u"Hover"_s);
        rig.btn->setUseHoverProperties(hoverProperties);
        const QRect inner(1, 1, 98, 28);
        QVERIFY(PixelTest::colours(rig.btn->faceImage(), inner).contains(qRgb(0, 0, 0)));

        QTest::mouseMove(rig.btn, QPoint(50, 15));
        QVERIFY(rec.events.startsWith(u"MouseEnter"_s));
        QVERIFY(rig.btn->isHovering());
        QCOMPARE(rig.btn->borderState(), 1);
        const QImage face = rig.btn->faceImage();
        const QRgb shadow = toQColor(sysColor(COLOR_BTNSHADOW)).rgb();
        // Raised: white top and left, shadow bottom and right.
        for (QPoint p : {QPoint(0, 0), QPoint(0, 28), QPoint(98, 0)})
            QCOMPARE(face.pixel(p), White);
        for (QPoint p : {QPoint(99, 0), QPoint(0, 29), QPoint(99, 29)})
            QCOMPARE(face.pixel(p), shadow);
        // The caption takes the hover colour (blue), unless hover properties
        // are off; ForeColor stays black.
        const QSet<QRgb> ink = PixelTest::colours(face, inner);
        QCOMPARE(ink.contains(qRgb(0, 0, 255)), hoverProperties);
        QCOMPARE(ink.contains(qRgb(0, 0, 0)), !hoverProperties);
        QCOMPARE(rig.btn->ForeColor(), 0);

        QTest::mouseMove(rig.host.get(), QPoint(250, 150));
        QVERIFY(rec.events.contains(u"MouseExit"_s));
        QVERIFY(!rig.btn->isHovering());
        QCOMPARE(rig.btn->borderState(), 0);
        // Border 0 is drawn in the background colour.
        QCOMPARE(rig.btn->faceImage().pixel(0, 0), White);
        QVERIFY(PixelTest::colours(rig.btn->faceImage(), inner).contains(qRgb(0, 0, 0)));
    }

    void denseFaceDoublesLinesAndRedrawsCaption()
    {
        Rig rig;
        rig.btn->setCaption(u"Speak"_s);
        QTest::mouseMove(rig.btn, QPoint(50, 15)); // raised border, hover caption
        const QImage plain = rig.btn->renderFace(rig.btn->currentFace());
        const QImage dense = rig.btn->renderFace(rig.btn->currentFace(), 2.0);
        QCOMPARE(dense.devicePixelRatio(), 2.0);
        QCOMPARE(dense.size(), QSize(200, 60));
        // Border and background are the 1x pixels doubled; the caption alone
        // is drawn anew, at full resolution, where the 1x caption was.
        const QRect caption = PixelTest::inkBox(plain, White, QRect(1, 1, 98, 28));
        const QRect redrawn = PixelTest::differenceFromDoubled(plain, dense);
        QVERIFY(!redrawn.isEmpty());
        QVERIFY(PixelTest::doubled(caption, 4).contains(redrawn));
        QVERIFY(PixelTest::colours(dense, redrawn).contains(qRgb(0, 0, 255)));
    }

    void pressSinksFaceSwapsGradientAndShiftsCaption()
    {
        Rig rig;
        rig.btn->setCaption(u"Press"_s);
        rig.btn->setGradientFromColor(rgbColor(200, 0, 0));
        rig.btn->setGradientToColor(rgbColor(0, 0, 200));
        rig.btn->setUseGradientFill(true);
        QTest::mouseMove(rig.btn, QPoint(50, 15));
        const QImage hover = rig.btn->faceImage();
        QTest::mousePress(rig.btn, Qt::LeftButton, {}, QPoint(50, 15));
        const QImage pressed = rig.btn->faceImage();
        QCOMPARE(rig.btn->paintState(), 1);
        QCOMPARE(rig.btn->borderState(), 2);
        // Sunken border: shadow top-left, white bottom-right.
        const QRgb shadow = toQColor(sysColor(COLOR_BTNSHADOW)).rgb();
        QCOMPARE(pressed.pixel(0, 0), shadow);
        QCOMPARE(pressed.pixel(99, 29), White);
        // The gradient now starts from GradientToColor at the top.
        QVERIFY(qBlue(hover.pixel(50, 1)) < qRed(hover.pixel(50, 1)));
        QVERIFY(qBlue(pressed.pixel(50, 1)) > qRed(pressed.pixel(50, 1)));
        // Caption one pixel right and down: compare against the same face
        // without the shift.
        CmdX::Face unshifted = rig.btn->currentFace();
        unshifted.caption -= QPoint(1, 1);
        const QImage reference = rig.btn->renderFace(unshifted);
        const QRect inner(2, 2, 96, 26);
        const QRect shifted = PixelTest::boxOf(pressed, qRgb(0, 0, 255), inner);
        const QRect plain = PixelTest::boxOf(reference, qRgb(0, 0, 255), inner);
        QVERIFY(!plain.isEmpty());
        QCOMPARE(shifted, plain.translated(1, 1));
        QTest::mouseRelease(rig.btn, Qt::LeftButton, {}, QPoint(50, 15));
        QCOMPARE(rig.btn->borderState(), 1);
        QCOMPARE(rig.btn->paintState(), 0);
    }

    void leavingWhilePressed_data()
    {
        QTest::addColumn<bool>("keepCapture");
        QTest::addColumn<QStringList>("events");
        QTest::newRow("cancels the click")
            << false
            << QStringList {u"MouseDown1"_s, u"MouseExit"_s, u"MouseMove"_s, u"MouseUp1"_s};
        QTest::newRow("DontReleaseCapture keeps it")
            << true << QStringList {u"MouseDown1"_s, u"MouseMove"_s, u"Click"_s, u"MouseUp1"_s};
    }
    void leavingWhilePressed()
    {
        QFETCH(bool, keepCapture);
        QFETCH(QStringList, events);
        Rig rig;
        Recorder rec(rig.btn);
        rig.btn->setDontReleaseCapture(keepCapture);
        QTest::mousePress(rig.btn, Qt::LeftButton, {}, QPoint(30, 10));
        QTest::mouseMove(rig.btn, QPoint(180, 10));
        QCOMPARE(rig.btn->isPressed(), keepCapture);
        QCOMPARE(rig.btn->borderState(), keepCapture ? 2 : 0);
        QTest::mouseRelease(rig.btn, Qt::LeftButton, {}, QPoint(180, 10));
        QCOMPARE(rec.events, events);
    }

    void edgeLinesCountAsInside_data()
    {
        QTest::addColumn<QPoint>("pos");
        QTest::addColumn<bool>("inside");
        QTest::newRow("right edge") << QPoint(100, 10) << true;
        QTest::newRow("corner") << QPoint(100, 30) << true;
        QTest::newRow("past right") << QPoint(101, 10) << false;
        QTest::newRow("past bottom") << QPoint(30, 31) << false;
    }
    void edgeLinesCountAsInside()
    {
        QFETCH(QPoint, pos);
        QFETCH(bool, inside);
        Rig rig;
        Recorder rec(rig.btn);
        QTest::mousePress(rig.btn, Qt::LeftButton, {}, QPoint(30, 10));
        QTest::mouseMove(rig.btn, pos);
        QCOMPARE(rec.events.contains(u"MouseExit"_s), !inside);
        QTest::mouseRelease(rig.btn, Qt::LeftButton, {}, pos);
        QCOMPARE(rec.events.contains(u"Click"_s), inside);
    }

    void rightButtonKeepsFaceAndDoubleClickRaisesNoSecondClick()
    {
        Rig rig;
        Recorder rec(rig.btn);
        rig.btn->setCaption(u"Right"_s);
        rig.btn->setUseGradientFill(true);
        const QImage before = rig.btn->faceImage();
        QTest::mousePress(rig.btn, Qt::RightButton, {}, QPoint(30, 10));
        QCOMPARE(rig.btn->faceImage(), before);
        QTest::mouseRelease(rig.btn, Qt::RightButton, {}, QPoint(30, 10));
        QCOMPARE(rig.btn->faceImage(), before);
        QTest::mouseClick(rig.btn, Qt::LeftButton, {}, QPoint(30, 10));
        QVERIFY(!rig.btn->isPressed());
        QTest::mouseDClick(rig.btn, Qt::LeftButton, {}, QPoint(30, 10));
        QTest::mouseRelease(rig.btn, Qt::LeftButton, {}, QPoint(30, 10));
        QCOMPARE(rec.events,
            (QStringList {u"MouseDown2"_s, u"MouseUp2"_s, u"MouseDown1"_s, u"Click"_s,
                u"MouseUp1"_s, u"DblClick"_s, u"MouseUp1"_s}));
    }

    void modalBoxOpenedByClick_data()
    {
        QTest::addColumn<bool>("backOver"); // the pointer is over the button when the box closes
        QTest::newRow("pointer left for the box") << false;
        QTest::newRow("pointer back over the button") << true;
    }
    void modalBoxOpenedByClick()
    {
        QFETCH(bool, backOver);
        Rig rig;
        Recorder rec(rig.btn);
        QTest::mouseMove(rig.btn, QPoint(50, 15));
        // What a message box does: a modal window blocks the button's window
        // and runs a loop while the pointer goes over to it.
        connect(rig.btn, &CmdX::Click, rig.btn, [&] {
            QWidget box;
            box.setWindowModality(Qt::ApplicationModal);
            box.setGeometry(600, 500, 80, 40);
            box.show();
            QCursor::setPos(640, 520);
            QCoreApplication::processEvents();
            if (backOver)
                QCursor::setPos(rig.btn->mapToGlobal(QPoint(50, 15)));
        });
        QTest::mouseClick(rig.btn, Qt::LeftButton, {}, QPoint(50, 15));
        QCOMPARE(rig.btn->isHovering(), backOver);
        QCOMPARE(rig.btn->borderState(), backOver ? 1 : 0);
        QCOMPARE(rig.btn->currentFace().hoverLook, backOver);
        QCOMPARE(
            rec.events.count(u"MouseEnter"_s) - rec.events.count(u"MouseExit"_s), backOver ? 1 : 0);
    }

    void borderStyleShrinksSurfaceAndShiftsPointer_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<int>("edge");
        QTest::newRow("none") << 0 << 0;
        QTest::newRow("client edge") << 1 << 2;
        QTest::newRow("modal frame") << 2 << 3;
        QTest::newRow("static edge") << 3 << 1;
        QTest::newRow("both") << 4 << 5;
        QTest::newRow("unknown keeps the last") << 7 << 0;
    }
    void borderStyleShrinksSurfaceAndShiftsPointer()
    {
        QFETCH(int, style);
        QFETCH(int, edge);
        Rig rig;
        rig.btn->setBorder3DStyle(style);
        QCOMPARE(rig.btn->frameWidth(), edge);
        QCOMPARE(rig.btn->faceImage().size(), QSize(100 - 2 * edge, 30 - 2 * edge));
        QSignalSpy downs(rig.btn, &CmdX::MouseDown);
        QTest::mousePress(rig.btn, Qt::LeftButton, {}, QPoint(edge + 10, edge + 5));
        QCOMPARE(downs.at(0).at(2).toFloat(), 10.0f);
        QCOMPARE(downs.at(0).at(3).toFloat(), 5.0f);
        QTest::mouseRelease(rig.btn, Qt::LeftButton, {}, QPoint(edge + 10, edge + 5));
    }

    void defaultsAndNotifications()
    {
        CmdX btn(nullptr, u"Cmd_Speak"_s);
        QCOMPARE(btn.Caption(), u"Cmd_Speak"_s);
        QCOMPARE(btn.CaptionAlignment(), 4);
        QCOMPARE(btn.PictureAlignment(), 1);
        QCOMPARE(btn.FontColorOnHover(), 0xFF0000);
        QCOMPARE(btn.BackColor(), sysColor(15));
        QCOMPARE(btn.ForeColor(), sysColor(18));
        QCOMPARE(btn.GradientFromColor(), sysColor(20));
        QCOMPARE(btn.GradientToColor(), sysColor(16));
        QCOMPARE(btn.ToolTipBackColor(), sysColor(24));
        QCOMPARE(btn.ToolTipForeColor(), sysColor(23));
        QVERIFY(btn.UseHoverProperties() && btn.UseGradientFill() && btn.GradientInverseOnPress());
        QVERIFY(!btn.FontBoldOnHover() && !btn.AlwaysShowBorder() && !btn.ToolTipCentered());

        QSignalSpy spy(&btn, &CmdX::propertyChanged);
        btn.setGradientOrientation(0); // unchanged: not even announced
        btn.setUseGradientFill(true);
        QCOMPARE(spy.count(), 0);
        btn.setCaption(u"朗讀"_s);
        btn.setGradientOrientation(1);
        btn.setMousePointer(77); // rejected
        btn.setTag(u"Pause"_s);
        QCOMPARE(spy.count(), 3);
        QCOMPARE(spy.at(0).at(0).toString(), u"Caption"_s);
        QCOMPARE(spy.at(2).at(0).toString(), u"Tag"_s);
        QCOMPARE(btn.MousePointer(), qint16(0));
        QCOMPARE(btn.accessibleName(), u"朗讀"_s);

        // Setting Value to True is a click; False is nothing.
        QSignalSpy clicks(&btn, &CmdX::Click);
        btn.setValue(false);
        QCOMPARE(clicks.count(), 0);
        btn.setValue(true);
        QCOMPARE(clicks.count(), 1);
    }

    void propertyBagRoundTrip()
    {
        CmdX a(nullptr, u"Cmd_A"_s);
        QVERIFY(a.WriteProperties().isEmpty());
        a.setCaption(u"開啟"_s);
        a.setCaptionAlignment(8);
        a.setGradientToColor(rgbColor(174, 216, 230));
        a.setToolTipValue(u"tip"_s);
        a.setUseGradientFill(false);
        const QVariantMap bag = a.WriteProperties();
        QCOMPARE(bag.size(), 5);
        CmdX b(nullptr, u"Cmd_B"_s);
        b.ReadProperties(bag);
        QCOMPARE(b.Caption(), u"開啟"_s);
        QCOMPARE(b.CaptionAlignment(), 8);
        QCOMPARE(b.GradientToColor(), rgbColor(174, 216, 230));
        QCOMPARE(b.ToolTip(), u"tip"_s);
        QVERIFY(!b.UseGradientFill());
        QCOMPARE(b.GradientFromColor(), sysColor(20));
    }

    void pictureFollowsAlignmentAndPress()
    {
        Rig rig;
        QPixmap pm(16, 16);
        pm.fill(Qt::red);
        rig.btn->setPicture(pm);
        rig.btn->setPictureAlignment(1);
        QLabel *img = rig.btn->imgPicture();
        QVERIFY(img->isVisible());
        const QSizeF laid = CmdX::pictureLayoutSize(pm.size());
        QCOMPARE(img->pos(), QPoint(1, int(std::floor((30 - laid.height()) / 2))));
        QTest::mouseMove(rig.btn, QPoint(50, 15));
        QTest::mousePress(rig.btn, Qt::LeftButton, {}, QPoint(50, 15));
        QCOMPARE(img->pos(), QPoint(2, int(std::floor((30 - laid.height()) / 2)) + 1));
        QTest::mouseRelease(rig.btn, Qt::LeftButton, {}, QPoint(50, 15));
        QCOMPARE(img->pos().x(), 1);
    }

    void alwaysShowBorderRaisesIdleFace()
    {
        Rig rig;
        rig.btn->setAlwaysShowBorder(true);
        const QImage face = rig.btn->faceImage();
        QCOMPARE(face.pixel(99, 29), toQColor(sysColor(COLOR_BTNSHADOW)).rgb());
        rig.btn->setAlwaysShowBorder(false);
        rig.btn->setCaption(u"x"_s); // a DrawButton wipes the old border
        QCOMPARE(rig.btn->faceImage().pixel(99, 29), White);
    }

    void tooltipLivesWhileHovering()
    {
        Rig rig;
        rig.btn->setToolTipValue(u"朗讀 (Ctrl-H)"_s);
        rig.btn->setToolTipStyle(1);
        rig.btn->setToolTipCentered(true);
        QVERIFY(!rig.btn->toolTipWindow());
        QTest::mouseMove(rig.btn, QPoint(50, 15));
        TipWindow *tip = rig.btn->toolTipWindow();
        QVERIFY(tip);
        QCOMPARE(tip->tipText(), u"朗讀 (Ctrl-H)"_s);
        QCOMPARE(tip->style(), 0x43);
        QCOMPARE(tip->toolFlags(), 0x12);
        rig.btn->setToolTipValue(u"停止"_s);
        QCOMPARE(tip->tipText(), u"停止"_s);
        QTRY_VERIFY(tip->isVisible());
        QTest::mouseMove(rig.host.get(), QPoint(250, 150));
        QVERIFY(!rig.btn->toolTipWindow());
    }

    void keyboardFocusFlashesBorderAndKeysRaiseKeyDown()
    {
        Rig rig;
        rig.btn->setUseGradientFill(true);
        rig.btn->setGradientFromColor(rgbColor(0, 0, 0));
        rig.btn->setGradientToColor(rgbColor(0, 0, 0));
        QCOMPARE(rig.btn->faceImage().pixel(0, 0), qRgb(0, 0, 0));
        auto *other = new QLineEdit(rig.host.get());
        other->move(150, 100);
        other->show();
        rig.host->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(rig.host.get()));
        other->setFocus(Qt::OtherFocusReason);
        QTRY_VERIFY(other->hasFocus());
        rig.btn->setUseGradientFill(false);
        rig.btn->setUseGradientFill(true); // a fresh face without any border
        QCOMPARE(rig.btn->faceImage().pixel(0, 0), qRgb(0, 0, 0));
        rig.btn->setFocus(Qt::TabFocusReason);
        // The flash ends with border 0, drawn in the background colour.
        QTRY_COMPARE(rig.btn->faceImage().pixel(0, 0), White);
        QSignalSpy keys(rig.btn, &CmdX::KeyDown);
        QTest::keyClick(rig.btn, Qt::Key_S, Qt::ControlModifier);
        // Ctrl goes down first, then S with the Ctrl bit.
        QCOMPARE(keys.count(), 2);
        QCOMPARE(keys.at(0).at(0).value<qint16>(), qint16(0x11));
        QCOMPARE(keys.at(1).at(0).value<qint16>(), qint16('S'));
        QCOMPARE(keys.at(1).at(1).value<qint16>(), qint16(2));
    }
};

QTEST_MAIN(TestCmdX)
#include "test_CmdX.moc"
