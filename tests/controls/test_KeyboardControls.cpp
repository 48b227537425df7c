// Keyboard use of the owner-drawn controls and the text box.

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
    void tabLeavesTextBoxCtrlTabTypesTab();
};

void TestKeyboardControls::buttonsClickOnSpaceAndReturn()
{
    QWidget window;
    auto *cmd = new CmdX(&window, QStringLiteral("Cmd_Speak"));
    QSignalSpy cmdClicks(cmd, &CmdX::Click);
    QTest::keyClick(cmd, Qt::Key_Return);
    QTest::keyClick(cmd, Qt::Key_Space);
    QTest::keyClick(cmd, Qt::Key_Space, Qt::ControlModifier);
    QTest::keyClick(cmd, Qt::Key_A);
    QCOMPARE(cmdClicks.count(), 2);
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
