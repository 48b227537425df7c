#include "PixelTest.h"
#include "controls/CTooltip.h"
#include "controls/TipWindow.h"

#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QtTest>
#include <memory>

using namespace Qt::StringLiterals;

namespace
{
const OleColor InfoText = sysColor(COLOR_BTNTEXT);
const OleColor InfoBack = sysColor(COLOR_INFOBK);

// A shown form with one button and a pane holding a label.
struct Rig {
    std::unique_ptr<QWidget> form = std::make_unique<QWidget>();
    QPushButton *button = nullptr;
    QWidget *pane = nullptr;
    QLabel *label = nullptr;
    Rig()
    {
        form->resize(400, 300);
        form->move(30, 30);
        QFont f = form->font();
        f.setPointSize(13);
        form->setFont(f);
        button = new QPushButton(u"Speak"_s, form.get());
        button->setGeometry(10, 10, 100, 30);
        pane = new QWidget(form.get());
        pane->setGeometry(10, 100, 300, 150);
        label = new QLabel(u"Rate"_s, pane);
        label->setGeometry(20, 30, 60, 20);
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        QTest::mouseMove(form.get(), QPoint(390, 290));
    }
    TipWindow *create(CTooltip &tip, const QString &text)
    {
        tip.setFormX(form.get());
        return tip.Create(button, {.text = text, .foreColor = InfoText, .backColor = InfoBack});
    }
};
} // namespace

class TestCTooltip : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // Bars and line breaks in the text become spaces: the tip keeps one line.
    void createBuildsTheTip_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain") << u"朗讀"_s << u"朗讀"_s;
        QTest::newRow("bar") << u"慢|快"_s << u"慢 快"_s;
        QTest::newRow("two bars") << u"a||b"_s << u"a  b"_s;
        QTest::newRow("own break") << u"a\r\nb"_s << u"a b"_s;
    }
    void createBuildsTheTip()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        Rig rig;
        CTooltip tip;
        TipWindow *w = rig.create(tip, text);
        QVERIFY(w);
        QCOMPARE(tip.ToolTip(), expected);
        QCOMPARE(w->tipText(), expected);
        QCOMPARE(w->accessibleName(), expected);
        QCOMPARE(TipWindow::lines(w->tipText()).size(), 1);
        QCOMPARE(tip.tipWindow(), w);
        QVERIFY(tip.Centered());
        QCOMPARE(w->style(), int(CTooltip::StyleBalloonAlways) | TipWindow::StyleNoPrefix);
        QCOMPARE(w->toolFlags(), TipWindow::ToolSubclass | TipWindow::ToolCenterTip);
        QCOMPARE(w->toolWindow(), rig.button);
        QCOMPARE(w->toolRect(), rig.button->rect());
        QCOMPARE(w->tipFont(), rig.form->font());
        QCOMPARE(w->textColor(), toQColor(InfoText));
        QCOMPARE(w->bkColor(), toQColor(InfoBack));
        QVERIFY(!w->isVisible());
        // Without a form there is no tip, and the control keeps its own text.
        CTooltip formless;
        QVERIFY(!formless.Create(rig.button, {.text = u"new"_s}));
        QCOMPARE(formless.style(), -1);
        tip.setHoverTime(100);
        QCOMPARE(w->delayTime(TipWindow::DelayInitial), 100);
    }

    void removeGivesTheTextBack()
    {
        Rig rig;
        QPointer<TipWindow> w;
        {
            CTooltip tip;
            w = rig.create(tip, u"a|b"_s);
            // The window owner clears the control's own text while the tip shows it.
            rig.button->setToolTip(QString());
            tip.Remove();
            QVERIFY(!w);
            QCOMPARE(tip.style(), -1);
            QVERIFY(!tip.tipWindow());
            QCOMPARE(rig.button->toolTip(), u"a b"_s);

            w = rig.create(tip, u"again"_s);
            rig.button->setToolTip(QString());
        }
        // Ending the object removes the tip too.
        QVERIFY(!w);
        QCOMPARE(rig.button->toolTip(), u"again"_s);
    }

    void tipShowsWhileThePointerRests()
    {
        Rig rig;
        CTooltip tip;
        TipWindow *w = rig.create(tip, u"朗讀 (Ctrl-H)"_s);
        tip.setHoverTime(300);
        QTest::mouseMove(rig.button, QPoint(50, 15));
        QVERIFY(!w->isVisible()); // not before the hover time has run
        QTRY_VERIFY(w->isVisible());
        // Centred under the button.
        const QRect tool(rig.button->mapToGlobal(QPoint(0, 0)), rig.button->size());
        QCOMPARE(w->y(), tool.bottom() + 1);
        QVERIFY(std::abs(w->geometry().center().x() - tool.center().x()) <= 1);
        QTest::mouseMove(rig.form.get(), QPoint(390, 290));
        QVERIFY(!w->isVisible());
        // Coming back brings it up again; a press hides it.
        QTest::mouseMove(rig.button, QPoint(50, 15));
        QTRY_VERIFY(w->isVisible());
        QTest::mouseClick(rig.button, Qt::LeftButton, {}, QPoint(50, 15));
        QVERIFY(!w->isVisible());
    }

    void noRoomBelowPutsTheTipAbove()
    {
        QWidget form;
        const QRect screen = form.screen()->availableGeometry();
        form.setGeometry(screen.left() + 20, screen.bottom() - 60, 200, 40);
        auto *button = new QPushButton(u"Low"_s, &form);
        button->setGeometry(10, 10, 100, 24);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        CTooltip tip;
        tip.setFormX(&form);
        TipWindow *w = tip.Create(button, {.text = u"near the bottom"_s});
        w->popup(button->mapToGlobal(QPoint(50, 12)));
        QVERIFY(w->isVisible());
        const QRect tool(button->mapToGlobal(QPoint(0, 0)), button->size());
        QCOMPARE(w->geometry().bottom() + 1, tool.top());
        QVERIFY(!w->look().stemUp);
        QVERIFY(w->geometry().bottom() <= screen.bottom());
        w->pop();
        QVERIFY(!w->isVisible());
    }

    void labelTipCoversItsRectangle()
    {
        Rig rig;
        CTooltip tip;
        tip.setFormX(rig.form.get());
        TipWindow *w = tip.AddLabel(
            rig.label, rig.pane, QRect(20, 30, 60, 20), {.text = u"語速"_s, .hoverTime = 10});
        QVERIFY(w);
        QCOMPARE(w->toolWindow(), rig.pane);
        QCOMPARE(w->toolRect(), QRect(20, 30, 60, 20));
        QCOMPARE(rig.label->toolTip(), u"語速"_s);
        QTest::mouseMove(rig.label, QPoint(10, 10));
        QTRY_VERIFY(w->isVisible());
        QTest::mouseMove(rig.pane, QPoint(200, 100));
        QVERIFY(!w->isVisible());
    }

    void faceShowsColours()
    {
        TipWindow::Look look;
        look.text = u"one"_s;
        look.fore = QColor(10, 20, 30);
        look.back = QColor(250, 240, 200);
        const QImage single = TipWindow::renderFace(look);
        QCOMPARE(single.size(), TipWindow::faceSize(look));
        // frame, then margin
        PixelTest::expectRgb(single, {{0, 0, qRgb(10, 20, 30)}, {1, 1, qRgb(250, 240, 200)}});

        look.balloon = true;
        const QImage balloon = TipWindow::renderFace(look);
        QCOMPARE(qAlpha(balloon.pixel(0, 0)), 0); // outside the rounded body
        QCOMPARE(
            balloon.pixel(balloon.width() / 2, balloon.height() - 3), QColor(250, 240, 200).rgb());
    }
};

QTEST_MAIN(TestCTooltip)
#include "test_CTooltip.moc"
