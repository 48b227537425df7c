#include "DataColumns.h"
#include "PixelTest.h"
#include "controls/SliderEx.h"

#include <QLabel>
#include <QtTest>

using namespace Qt::StringLiterals;

using PixelTest::at;
using PixelTest::expect;

namespace
{
constexpr OleColor BACK = 0xC0C0C0;
constexpr OleColor GROOVE = rgbColor(129, 129, 129);
constexpr OleColor WHITE = rgbColor(255, 255, 255);
constexpr OleColor BLACK = 0;
constexpr OleColor SILVER = rgbColor(192, 192, 192);
constexpr OleColor FACE = rgbColor(212, 208, 200);

SliderEx::Face face208(int thumbX)
{
    SliderEx::Face f;
    f.width = 208;
    f.height = 22;
    f.backColor = BACK;
    f.thumbX = thumbX;
    f.thumb = GdiPicture::fromImage(SliderEx::defaultThumbImage());
    f.thumbW = f.thumb.Width();
    return f;
}

// An 8-pixel-wide thumb of the same height, all face colour.
GdiPicture narrowThumb()
{
    return GdiPicture::fromImage(PixelTest::canvas(8, 21, FACE));
}

// A shown 208-pixel slider with an 8-pixel thumb over 0 .. 100.
struct Shown : SliderEx {
    Shown(qint16 min = 0, qint16 max = 100)
        : SliderEx(nullptr, u"Slider_Rate"_s)
    {
        setThumbPicture(narrowThumb());
        resize(208, 30);
        setMin(min);
        setMax(max);
        show();
    }
};
} // namespace

class TestSliderEx : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void thumbIsPastedWithoutItsKeyColour()
    {
        const QImage f = SliderEx::renderFace(face208(50));
        QCOMPARE(f.size(), QSize(208, 22));
        const QImage thumb = SliderEx::defaultThumbImage();
        QCOMPARE(thumb.size(), QSize(11, 21));
        int keyed = 0;
        for (int y = 0; y < 21; ++y)
            for (int x = 0; x < 11; ++x) {
                const OleColor want = at(thumb, x, y);
                keyed += want == SliderEx::ThumbKey;
                // Where the key is, the tick at x = 52 or the background shows.
                const OleColor under = (50 + x == 52 && y >= 19) ? BLACK : BACK;
                QCOMPARE(at(f, 50 + x, y), want == SliderEx::ThumbKey ? under : want);
            }
        QCOMPARE(keyed, 30);
        SliderEx::Face focused = face208(50);
        focused.focused = true;
        QVERIFY(SliderEx::renderFace(focused) != f); // the keyboard focus mark
    }

    void trackIsCutWhereTheThumbSits()
    {
        const QImage f = SliderEx::renderFace(face208(100));
        const int t = 100, tw = 11, y0 = 14; // half the thumb height plus 4, rounded to even
        // Three rows: groove, dark line, silver line, each cut by the thumb;
        // the dark and silver lines stop two short of the thumb.
        QCOMPARE(PixelTest::count(f, GROOVE, QRect(0, y0, t, 1)), t);
        QCOMPARE(PixelTest::count(f, GROOVE, QRect(t + tw, y0, 207 - t - tw, 1)), 207 - t - tw);
        QCOMPARE(PixelTest::count(f, BLACK, QRect(1, y0 + 1, t - 2, 1)), t - 2);
        QCOMPARE(PixelTest::count(f, BLACK, QRect(t + tw, y0 + 1, 206 - t - tw, 1)), 206 - t - tw);
        QCOMPARE(PixelTest::count(f, SILVER, QRect(1, y0 + 2, t - 2, 1)), t - 2);
        expect(f,
            {{207, y0, WHITE}, {0, y0 + 1, GROOVE}, {t - 1, y0 + 1, BACK}, {206, y0 + 1, SILVER},
                {207, y0 + 1, WHITE}, {0, y0 + 2, WHITE}, {t - 1, y0 + 2, WHITE},
                {206, y0 + 2, WHITE}, {207, y0 + 2, WHITE}, {207, y0 + 3, BACK}});
        // under the thumb the rows show the thumb, not the groove
        expect(f, {{t + 5, y0, FACE}, {t, y0 + 2, BACK}});
    }

    void nineTicksAtEveryEighth()
    {
        const QImage f = SliderEx::renderFace(face208(0));
        const int ticks[] = {0, 26, 52, 78, 104, 130, 156, 181, 207};
        QCOMPARE(PixelTest::count(f, BLACK, QRect(0, 21, 208, 1)), 9);
        for (int x : ticks)
            for (int y = 19; y <= 21; ++y)
                if (x >= 11 || y == 21) // the thumb covers the top of the first tick
                    QCOMPARE(at(f, x, y), BLACK);
        QCOMPARE(PixelTest::count(f, BLACK, QRect(12, 18, 196, 1)), 0);
    }

    void denseFaceEnlargesEveryPixel()
    {
        // No text on the slider: at twice the density each pixel becomes a
        // 2 x 2 block, the thumb's key colour still showing the tick at 52.
        const QImage plain = SliderEx::renderFace(face208(50));
        const QImage dense = SliderEx::renderFace(face208(50), 2.0);
        QCOMPARE(dense.devicePixelRatio(), 2.0);
        QCOMPARE(dense.size(), QSize(416, 44));
        QCOMPARE(PixelTest::differenceFromDoubled(plain, dense), QRect());
        QCOMPARE(at(dense, 105, 40), BLACK);
        // At one and a half, pixels alternate between one and two device pixels.
        QCOMPARE(SliderEx::renderFace(face208(50), 1.5).size(), QSize(312, 33));
    }

    void heightFollowsTheThumbAndWidthMayBeNarrower()
    {
        SliderEx s;
        s.resize(100, 60);
        s.show();
        QVERIFY(QTest::qWaitForWindowExposed(&s));
        QCOMPARE(s.height(), 22); // 21 pixels and 10 twips
        QCOMPARE(s.thumbW(), 11);
        s.resize(150, 22);
        QCOMPARE(s.widthPx(), 150);
        QCOMPARE(s.trackLen(), 139);

        // Narrower than its thumb: the thumb stays at 0 and a click scrolls to 0.
        s.setMax(100);
        s.resize(6, 22);
        QSignalSpy spy(&s, &SliderEx::ScrollEx);
        s.setValue(80);
        QCOMPARE(s.thumbX(), 0);
        QTest::mouseClick(&s, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(spy.count(), 2);
        QCOMPARE(spy.at(1).at(0).value<qint16>(), qint16(0));
        QCOMPARE(s.faceImage().size(), QSize(6, 22));
    }

    void valueWritesPlaceTheThumb()
    {
        Shown s;
        QSignalSpy changed(&s, &SliderEx::propertyChanged);
        s.setValue(50);
        QCOMPARE(s.thumbX(), 100);
        QCOMPARE(changed.count(), 1);
        s.setValue(33);
        QCOMPARE(s.thumbX(), 66);
        s.setValue(500); // above Max is stored as Max
        QCOMPARE(s.Value(), qint16(100));
        QCOMPARE(s.thumbX(), 200);
        s.setMin(40); // Min alone does not move the thumb
        QCOMPARE(s.thumbX(), 200);
        s.setValue(-5);
        QCOMPARE(s.Value(), qint16(0));
        QCOMPARE(s.thumbX(), 0);

        // Equal bounds keep the thumb still.
        s.setMin(7);
        s.setMax(7);
        s.setValue(3);
        QCOMPARE(s.thumbX(), 0);
        s.setMax(20);
        s.setValue(3);
        s.setMax(7);
        const int before = s.thumbX();
        QVERIFY(before != 0);
        s.setValue(0);
        QCOMPARE(s.Value(), qint16(0));
        QCOMPARE(s.thumbX(), before);
    }

    void clickJumpsTheThumb_data()
    {
        // "placed": where the thumb goes when that value is written back.
        DataColumns::add<int>({"min", "max", "x", "thumbX", "scroll", "placed"});
        QTest::newRow("middle") << 0 << 100 << 104 << 100 << 50 << 100;
        QTest::newRow("far left") << 0 << 100 << 0 << 0 << 0 << 0;
        QTest::newRow("past the right end") << 0 << 100 << 207 << 200 << 100 << 200;
        QTest::newRow("offset range") << 10 << 110 << 104 << 100 << 60 << 100;
        QTest::newRow("floor of the value") << 0 << 62 << 51 << 47 << 14 << 45;
        // More values than pixels: a step is 0.6 of a pixel, so a pixel in
        // from either end skips values, and a value written back floors to
        // the pixel at or left of it.
        QTest::newRow("333 steps, left end") << 0 << 333 << 4 << 0 << 0 << 0;
        QTest::newRow("333 steps, a pixel in") << 0 << 333 << 5 << 1 << 1 << 0;
        QTest::newRow("333 steps, a pixel short") << 0 << 333 << 203 << 199 << 331 << 198;
        QTest::newRow("333 steps, right end") << 0 << 333 << 204 << 200 << 333 << 200;
        QTest::newRow("1000 steps from 100, a pixel in") << 100 << 1100 << 5 << 1 << 105 << 1;
        QTest::newRow("1000 steps from 100, a pixel short")
            << 100 << 1100 << 203 << 199 << 1095 << 199;
    }
    void clickJumpsTheThumb()
    {
        const auto [min, max, x, scroll] = DataColumns::fetch<int>("min", "max", "x", "scroll");
        Shown s {qint16(min), qint16(max)};
        QVERIFY(QTest::qWaitForWindowExposed(&s));
        QSignalSpy spy(&s, &SliderEx::ScrollEx);
        QTest::mousePress(&s, Qt::LeftButton, {}, QPoint(x, 10));
        QTEST(s.thumbX(), "thumbX");
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).value<qint16>(), qint16(scroll));
        QCOMPARE(int(s.Min() + s.Value()), scroll);
        QTest::mouseRelease(&s, Qt::LeftButton, {}, QPoint(x, 10));
        QCOMPARE(spy.count(), 2);
        QVERIFY(!s.isDragging());
        s.setValue(s.Value());
        QTEST(s.thumbX(), "placed");
    }

    void rightEndIsMaxAtEveryWidth_data()
    {
        DataColumns::add<int>({"min", "max"});
        QTest::newRow("rate") << 0 << 100;
        QTest::newRow("font size") << 12 << 74;
    }
    void rightEndIsMaxAtEveryWidth()
    {
        const auto [min, max] = DataColumns::fetch<int>("min", "max");
        Shown s {qint16(min), qint16(max)};
        QSignalSpy spy(&s, &SliderEx::ScrollEx);
        // Widths where the drag fell one short of Max, or Max fell one pixel
        // short of the right end.
        QList<int> wrong;
        for (int width = 12; width <= 600; ++width) {
            s.resize(width, s.height());
            QTest::mouseClick(&s, Qt::LeftButton, {}, QPoint(width + 20, 5));
            const bool dragged = spy.last().at(0).value<qint16>() == max;
            s.setValue(qint16(max - min));
            if (!dragged || s.thumbX() != s.trackLen())
                wrong << width;
        }
        QCOMPARE(wrong, QList<int> {});
    }

    void keysStayInsideTheRange_data()
    {
        // "start" is Value, the offset from Min; "reported" Min + Value after the key.
        DataColumns::add<int>({"min", "max", "start", "key", "reported"});
        QTest::newRow("End, font size") << 12 << 74 << 0 << int(Qt::Key_End) << 74;
        QTest::newRow("Right at the top") << 12 << 74 << 62 << int(Qt::Key_Right) << 74;
        QTest::newRow("PageUp near the top") << 12 << 74 << 60 << int(Qt::Key_PageUp) << 74;
        QTest::newRow("PageUp, font size") << 12 << 74 << 10 << int(Qt::Key_PageUp) << 28;
        QTest::newRow("PageDown near the bottom") << 12 << 74 << 3 << int(Qt::Key_PageDown) << 12;
        QTest::newRow("Home") << 12 << 74 << 30 << int(Qt::Key_Home) << 12;
        QTest::newRow("Left at the bottom") << 0 << 100 << 0 << int(Qt::Key_Left) << 0;
        QTest::newRow("PageUp, rate") << 0 << 100 << 50 << int(Qt::Key_PageUp) << 60;
        QTest::newRow("End, rate") << 0 << 100 << 5 << int(Qt::Key_End) << 100;
        // More values than pixels: a key still moves by one value.
        QTest::newRow("Right a step below the top, 333 steps")
            << 0 << 333 << 332 << int(Qt::Key_Right) << 333;
        QTest::newRow("Left a step above the bottom, 333 steps")
            << 0 << 333 << 1 << int(Qt::Key_Left) << 0;
    }
    void keysStayInsideTheRange()
    {
        const auto [min, max, start, key] = DataColumns::fetch<int>("min", "max", "start", "key");
        Shown s {qint16(min), qint16(max)};
        s.setValue(qint16(start));
        QTest::keyClick(&s, Qt::Key(key));
        QTEST(int(s.Min() + s.Value()), "reported");
        // Pressed again, the key never leaves the range either.
        QTest::keyClick(&s, Qt::Key(key));
        QVERIFY(s.Value() >= 0 && s.Value() <= max - min);
    }

    void scrollExOnEveryDragStep()
    {
        Shown s;
        QVERIFY(QTest::qWaitForWindowExposed(&s));
        QSignalSpy scroll(&s, &SliderEx::ScrollEx);
        QSignalSpy moved(&s, &SliderEx::MouseMove);
        QSignalSpy changed(&s, &SliderEx::propertyChanged);
        QTest::mousePress(&s, Qt::LeftButton, {}, QPoint(24, 5));
        QVERIFY(s.isDragging());
        for (int x : {44, 64, 300})
            QTest::mouseMove(&s, QPoint(x, 5));
        QTest::mouseRelease(&s, Qt::LeftButton, {}, QPoint(104, 5));
        QList<int> values;
        for (const auto &args : std::as_const(scroll))
            values << args.at(0).value<qint16>();
        QCOMPARE(values, (QList<int> {10, 20, 30, 100, 50}));
        QCOMPARE(moved.count(), 0); // moves with a button down are drag steps
        QCOMPARE(changed.count(), 0); // a drag writes Value without telling the host
        QCOMPARE(s.thumbX(), 100);
        QCOMPARE(at(s.faceImage(), 100, 0), FACE); // the thumb is drawn where the drag ended
        QCOMPARE(at(s.faceImage(), 99, 0), BACK);
        QCOMPARE(s.grab().toImage().convertToFormat(QImage::Format_RGB32), s.faceImage());

        QTest::mouseMove(&s, QPoint(30, 7));
        QCOMPARE(moved.count(), 1);
        QCOMPARE(moved.at(0).at(0).value<qint16>(), qint16(0));
        QCOMPARE(moved.at(0).at(2).toFloat(), 30.0f);
        QCOMPARE(scroll.count(), 5);
    }

    void valueLabelFollowsTheThumb()
    {
        Shown s;
        QVERIFY(QTest::qWaitForWindowExposed(&s));
        QLabel *label = s.findChild<QLabel *>(u"L_Msg"_s);
        QVERIFY(label && label == s.valueLabel());
        QVERIFY(!label->isVisible());
        QTest::mousePress(&s, Qt::LeftButton, {}, QPoint(64, 5));
        QVERIFY(label->isVisible());
        QCOMPARE(label->text(), u"30"_s);
        QCOMPARE(label->geometry().topLeft(), QPoint(60 + 8, 0)); // right of the thumb
        QTest::mouseMove(&s, QPoint(204, 5));
        QCOMPARE(label->text(), u"100"_s);
        QCOMPARE(label->x(), 200 - label->width()); // flipped to the left of the thumb
        QTest::mouseRelease(&s, Qt::LeftButton, {}, QPoint(204, 5));
        QVERIFY(!label->isVisible());
    }
};

QTEST_MAIN(TestSliderEx)
#include "test_SliderEx.moc"
