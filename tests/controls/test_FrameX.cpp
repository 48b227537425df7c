#include "PixelTest.h"
#include "controls/FrameX.h"

#include <QGuiApplication>
#include <QtTest>

using PixelTest::at;

namespace
{
constexpr OleColor DARK = rgbColor(129, 129, 129);
constexpr OleColor LIGHT = rgbColor(255, 255, 255);
constexpr OleColor BACK = 0xE0E0E0;
} // namespace

class TestFrameX : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void etchedRowsAndColumns()
    {
        const QImage f = FrameX::renderFace(QSize(100, 50), BACK);
        QCOMPARE(f.size(), QSize(100, 50));
        // The outer ring dark top and left, light bottom and right; the inner
        // ring the other way round.
        const std::pair<QRect, OleColor> lines[] = {{QRect(0, 0, 99, 1), DARK},
            {QRect(0, 0, 1, 49), DARK}, {QRect(0, 49, 99, 1), LIGHT}, {QRect(99, 0, 1, 50), LIGHT},
            {QRect(1, 1, 97, 1), LIGHT}, {QRect(1, 1, 1, 47), LIGHT}, {QRect(1, 48, 97, 1), DARK},
            {QRect(98, 1, 1, 48), DARK}};
        for (const auto &[line, colour] : lines)
            QCOMPARE(PixelTest::count(f, colour, line), line.width() * line.height());
        // where the rings meet
        PixelTest::expect(f, {{99, 0, LIGHT}, {0, 49, LIGHT}, {98, 1, DARK}, {1, 48, DARK}});
        // everything inside keeps the background
        QCOMPARE(PixelTest::count(f, BACK, QRect(2, 2, 96, 46)), 96 * 46);
    }

    void tinyPanesDrawWithoutFault_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("1x1") << QSize(1, 1);
        QTest::newRow("2x2") << QSize(2, 2);
        QTest::newRow("3x40") << QSize(3, 40);
        QTest::newRow("empty") << QSize(0, 0);
    }
    void tinyPanesDrawWithoutFault()
    {
        QFETCH(QSize, size);
        const QImage f = FrameX::renderFace(size, BACK);
        QCOMPARE(f.size(), size);
        const int all = size.width() * size.height();
        QCOMPARE(PixelTest::count(f, DARK) + PixelTest::count(f, LIGHT) + PixelTest::count(f, BACK),
            all);
        if (size.width() >= 3) {
            // the right column is light from top to bottom
            QCOMPARE(PixelTest::count(f, LIGHT, QRect(size.width() - 1, 0, 1, size.height())),
                size.height());
        }
    }

    void widgetShowsItsFaceAndKeepsChangedValues()
    {
        FrameX frame(nullptr, QStringLiteral("Frame_D"));
        QSignalSpy changed(&frame, &FrameX::propertyChanged);
        QVERIFY(frame.WriteProperties().isEmpty());
        frame.setBackColor(rgbColor(10, 200, 30));
        frame.setEnabledValue(false);
        QCOMPARE(changed.count(), 2);
        QCOMPARE(changed.at(0).at(0).toString(), QStringLiteral("BackColor"));
        QVERIFY(!frame.isEnabled());
        frame.resize(60, 35);
        const QImage shown = frame.grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(shown, frame.faceImage());
        QCOMPARE(at(shown, 30, 20), rgbColor(10, 200, 30));
        QCOMPARE(frame.WriteProperties().value(QStringLiteral("BackColor")).toInt(),
            rgbColor(10, 200, 30));
        frame.ReadProperties({});
        QCOMPARE(frame.BackColor(), BACK);
        // A system colour is stored as the colour it stands for.
        frame.setBackColor(sysColor(COLOR_BTNFACE));
        QCOMPARE(frame.BackColor(),
            fromQColor(QGuiApplication::palette().color(QPalette::Active, QPalette::Button)));
        QCOMPARE(frame.accessibleName(), QStringLiteral("Frame_D"));
    }
};

QTEST_MAIN(TestFrameX)
#include "test_FrameX.moc"
