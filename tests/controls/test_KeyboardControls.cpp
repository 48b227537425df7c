// Keyboard use of the owner-drawn controls and the text box.

#include "controls/BmpBtnX.h"
#include "controls/CmdX.h"
#include "controls/SliderEx.h"
#include "shell/MaviTextBox.h"

#include <QSignalSpy>
#include <QTest>

class TestKeyboardControls : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void buttonsClickOnSpaceAndReturn();
    void focusMarkOnlyWhenFocused();
    void sliderKeysMoveAndReport();
    void tabLeavesTextBoxCtrlTabTypesTab();
};

void TestKeyboardControls::buttonsClickOnSpaceAndReturn()
{
    QWidget window;
    auto *cmd = new CmdX(&window, QStringLiteral("Cmd_Speak"));
    auto *bmp = new BmpBtnX(&window, QStringLiteral("Cmd_H1"));
    QImage strip(24, 96, QImage::Format_RGB32);
    strip.fill(Qt::gray);
    // A picture button ignores pointer clicks until the pointer has been
    // over it; the keyboard needs no pointer.
    bmp->setPicture(QPixmap::fromImage(strip));
    QSignalSpy cmdClicks(cmd, &CmdX::Click);
    QSignalSpy bmpClicks(bmp, &BmpBtnX::Click);
    QTest::keyClick(cmd, Qt::Key_Return);
    QTest::keyClick(cmd, Qt::Key_Space);
    QTest::keyClick(cmd, Qt::Key_Space, Qt::ControlModifier);
    QTest::keyClick(cmd, Qt::Key_A);
    QTest::keyClick(bmp, Qt::Key_Space);
    QTest::keyClick(bmp, Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(cmdClicks.count(), 2);
    QCOMPARE(bmpClicks.count(), 2);
}

void TestKeyboardControls::focusMarkOnlyWhenFocused()
{
    QWidget window;
    auto *cmd = new CmdX(&window, QStringLiteral("Cmd_Speak"));
    auto *slider = new SliderEx(&window, QStringLiteral("Slider_Rate"));
    slider->resize(127, slider->height());
    CmdX::Face face = cmd->currentFace();
    QVERIFY(!face.focused);
    const QImage plain = cmd->renderFace(face);
    face.focused = true;
    QVERIFY(cmd->renderFace(face) != plain);
    SliderEx::Face sliderFace = slider->currentFace();
    const QImage plainSlider = SliderEx::renderFace(sliderFace);
    sliderFace.focused = true;
    QVERIFY(SliderEx::renderFace(sliderFace) != plainSlider);
}

void TestKeyboardControls::sliderKeysMoveAndReport()
{
    SliderEx slider(nullptr, QStringLiteral("Slider_FontSz"));
    slider.resize(80, slider.height());
    slider.setMax(74);
    slider.setMin(12);
    QSignalSpy scrolls(&slider, &SliderEx::ScrollEx);
    QTest::keyClick(&slider, Qt::Key_Right);
    QTest::keyClick(&slider, Qt::Key_Up);
    QCOMPARE(slider.Value(), qint16(2));
    QCOMPARE(scrolls.last().at(0).toInt(), 14); // Min plus the value
    QTest::keyClick(&slider, Qt::Key_PageUp);
    QCOMPARE(slider.Value(), qint16(9));
    QTest::keyClick(&slider, Qt::Key_End);
    QCOMPARE(slider.Value(), qint16(74));
    const int before = int(scrolls.count());
    QTest::keyClick(&slider, Qt::Key_Right); // at the end: no move, no report
    QCOMPARE(scrolls.count(), before);
    QTest::keyClick(&slider, Qt::Key_Home);
    QCOMPARE(slider.Value(), qint16(0));
    QCOMPARE(slider.thumbX(), 0);
}

void TestKeyboardControls::tabLeavesTextBoxCtrlTabTypesTab()
{
    QWidget window;
    auto *text = new MaviTextBox(&window);
    auto *next = new CmdX(&window, QStringLiteral("Cmd_OpenTxt"));
    QWidget::setTabOrder(text, next);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    text->setFocus();
    QTest::keyClick(text, Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(text->toPlainText(), QStringLiteral("\t"));
    QVERIFY(text->hasFocus());
    QTest::keyClick(text, Qt::Key_Tab);
    QCOMPARE(text->toPlainText(), QStringLiteral("\t"));
    QVERIFY(next->hasFocus());
}

QTEST_MAIN(TestKeyboardControls)
#include "test_KeyboardControls.moc"
