#include "PixelTest.h"
#include "controls/CmdX.h"

#include <QLineEdit>
#include <QtTest>
#include <memory>

using namespace Qt::StringLiterals;

namespace
{
// A shown window holding one 100 x 30 button with a plain white face, and
// the button's events by name, in the order they are raised.
struct Rig {
    std::unique_ptr<QWidget> host = std::make_unique<QWidget>();
    CmdX *btn = nullptr;
    QStringList events;
    Rig()
    {
        host->setGeometry(50, 50, 300, 200);
        btn = new CmdX(host.get(), u"Cmd_Test"_s);
        btn->setGeometry(20, 20, 100, 30);
        btn->setBackColor(rgbColor(255, 255, 255));
        btn->setForeColor(0);
        btn->setUseGradientFill(false);
        host->show();
        QVERIFY(QTest::qWaitForWindowExposed(host.get()));
        QTest::mouseMove(host.get(), QPoint(290, 190)); // away from the button
        QObject::connect(btn, &CmdX::Click, [this] { events << u"Click"_s; });
        QObject::connect(btn, &CmdX::DblClick, [this] { events << u"DblClick"_s; });
        QObject::connect(btn, &CmdX::MouseEnter, [this] { events << u"MouseEnter"_s; });
        QObject::connect(btn, &CmdX::MouseExit, [this] { events << u"MouseExit"_s; });
        QObject::connect(btn, &CmdX::MouseDown,
            [this](qint16 b, qint16, float, float) { events << u"MouseDown%1"_s.arg(b); });
        QObject::connect(btn, &CmdX::MouseMove,
            [this](qint16, qint16, float, float) { events << u"MouseMove"_s; });
        QObject::connect(btn, &CmdX::MouseUp,
            [this](qint16 b, qint16, float, float) { events << u"MouseUp%1"_s.arg(b); });
    }
};

const QRgb White = qRgb(255, 255, 255);
const QRgb Blue = qRgb(0, 0, 255);
QRgb shadow()
{
    return toQColor(sysColor(COLOR_BTNSHADOW)).rgb();
}
} // namespace

class TestCmdX : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void hoverRaisesBorderAndColoursCaption()
    {
        Rig rig;
        rig.btn->setCaption(u"Hover"_s);
        const QRect inner(1, 1, 98, 28);
        QTest::mouseMove(rig.btn, QPoint(50, 15));
        QVERIFY(rig.events.startsWith(u"MouseEnter"_s));
        QCOMPARE(rig.btn->borderState(), 1);
        const QImage face = rig.btn->faceImage();
        // Raised: white top and left, shadow bottom and right.
        PixelTest::expectRgb(face,
            {{0, 0, White}, {0, 28, White}, {98, 0, White}, {99, 0, shadow()}, {0, 29, shadow()},
                {99, 29, shadow()}});
        // The caption takes the hover colour; ForeColor stays black.
        const QSet<QRgb> ink = PixelTest::colours(face, inner);
        QVERIFY(ink.contains(Blue) && !ink.contains(qRgb(0, 0, 0)));
        QCOMPARE(rig.btn->ForeColor(), 0);

        QTest::mouseMove(rig.host.get(), QPoint(250, 150));
        QVERIFY(rig.events.contains(u"MouseExit"_s));
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
        const QRect caption = PixelTest::boxOf(plain, White, QRect(1, 1, 98, 28), true);
        const QRect redrawn = PixelTest::differenceFromDoubled(plain, dense);
        QVERIFY(!redrawn.isEmpty());
        const QRect caption2x(caption.topLeft() * 2, caption.size() * 2);
        QVERIFY(caption2x.adjusted(-4, -4, 4, 4).contains(redrawn));
        QVERIFY(PixelTest::colours(dense, redrawn).contains(Blue));
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
        PixelTest::expectRgb(pressed, {{0, 0, shadow()}, {99, 29, White}});
        // The gradient now starts from GradientToColor at the top.
        QVERIFY(qBlue(hover.pixel(50, 1)) < qRed(hover.pixel(50, 1)));
        QVERIFY(qBlue(pressed.pixel(50, 1)) > qRed(pressed.pixel(50, 1)));
        // The caption one pixel right and down of the same face unshifted.
        CmdX::Face unshifted = rig.btn->currentFace();
        unshifted.caption -= QPoint(1, 1);
        const QRect inner(2, 2, 96, 26);
        const QRect plain = PixelTest::boxOf(rig.btn->renderFace(unshifted), Blue, inner);
        QVERIFY(!plain.isEmpty());
        QCOMPARE(PixelTest::boxOf(pressed, Blue, inner), plain.translated(1, 1));
        QTest::mouseRelease(rig.btn, Qt::LeftButton, {}, QPoint(50, 15));
        QCOMPARE(rig.btn->borderState(), 1);
        QCOMPARE(rig.btn->paintState(), 0);
    }

    void releaseAfterMoving_data()
    {
        QTest::addColumn<QPoint>("to");
        QTest::addColumn<QStringList>("events");
        const QStringList click {u"MouseDown1"_s, u"MouseMove"_s, u"Click"_s, u"MouseUp1"_s};
        const QStringList cancelled {
            u"MouseDown1"_s, u"MouseExit"_s, u"MouseMove"_s, u"MouseUp1"_s};
        // The right and bottom edge lines count as inside.
        QTest::newRow("right edge") << QPoint(100, 10) << click;
        QTest::newRow("corner") << QPoint(100, 30) << click;
        QTest::newRow("past right") << QPoint(101, 10) << cancelled;
        QTest::newRow("past bottom") << QPoint(30, 31) << cancelled;
    }
    void releaseAfterMoving()
    {
        QFETCH(QPoint, to);
        Rig rig;
        QTest::mousePress(rig.btn, Qt::LeftButton, {}, QPoint(30, 10));
        QTest::mouseMove(rig.btn, to);
        QTest::mouseRelease(rig.btn, Qt::LeftButton, {}, to);
        QTEST(rig.events, "events");
    }

    void rightButtonKeepsFaceAndDoubleClickRaisesNoSecondClick()
    {
        Rig rig;
        rig.btn->setCaption(u"Right"_s);
        rig.btn->setUseGradientFill(true);
        const QImage before = rig.btn->faceImage();
        QTest::mousePress(rig.btn, Qt::RightButton, {}, QPoint(30, 10));
        QCOMPARE(rig.btn->faceImage(), before);
        QTest::mouseRelease(rig.btn, Qt::RightButton, {}, QPoint(30, 10));
        QTest::mouseClick(rig.btn, Qt::LeftButton, {}, QPoint(30, 10));
        QTest::mouseDClick(rig.btn, Qt::LeftButton, {}, QPoint(30, 10));
        QTest::mouseRelease(rig.btn, Qt::LeftButton, {}, QPoint(30, 10));
        QCOMPARE(rig.events,
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
            rig.events.count(u"MouseEnter"_s) - rig.events.count(u"MouseExit"_s), backOver ? 1 : 0);
    }

    void accessibleNameValueAndKeysClick()
    {
        CmdX btn(nullptr, u"Cmd_Speak"_s);
        QCOMPARE(btn.Caption(), u"Cmd_Speak"_s);
        btn.setCaption(u"朗讀"_s);
        QCOMPARE(btn.accessibleName(), u"朗讀"_s);
        // Value True, Return and plain Space click; Value False and other keys do not.
        QSignalSpy clicks(&btn, &CmdX::Click);
        btn.setValue(false);
        btn.setValue(true);
        QTest::keyClick(&btn, Qt::Key_Return);
        QTest::keyClick(&btn, Qt::Key_Space);
        QTest::keyClick(&btn, Qt::Key_Space, Qt::ControlModifier);
        QTest::keyClick(&btn, Qt::Key_A);
        QCOMPARE(clicks.count(), 3);
    }

    void alwaysShowBorderRaisesIdleFace()
    {
        Rig rig;
        rig.btn->setAlwaysShowBorder(true);
        QCOMPARE(rig.btn->faceImage().pixel(99, 29), shadow());
        rig.btn->setAlwaysShowBorder(false);
        rig.btn->setCaption(u"x"_s); // a DrawButton wipes the old border
        QCOMPARE(rig.btn->faceImage().pixel(99, 29), White);
    }

    void keyboardFocusFlashesBorder()
    {
        Rig rig;
        rig.btn->setUseGradientFill(true);
        rig.btn->setGradientFromColor(rgbColor(0, 0, 0));
        rig.btn->setGradientToColor(rgbColor(0, 0, 0));
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
        QVERIFY(!rig.btn->currentFace().focused);
        rig.btn->setFocus(Qt::TabFocusReason);
        // The flash ends with border 0, drawn in the background colour.
        QTRY_COMPARE(rig.btn->faceImage().pixel(0, 0), White);
        // Focus from the keyboard draws the focus mark, in black on white.
        rig.btn->setUseGradientFill(false);
        CmdX::Face face = rig.btn->currentFace();
        QVERIFY(face.focused);
        const QImage marked = rig.btn->renderFace(face);
        face.focused = false;
        QVERIFY(rig.btn->renderFace(face) != marked);
    }
};

QTEST_MAIN(TestCmdX)
#include "test_CmdX.moc"
