#include "PixelTest.h"
#include "controls/CGdi.h"
#include "controls/PictureSurface.h"

#include <QWidget>
#include <QtTest>

using namespace Qt::StringLiterals;

using PixelTest::at;
using PixelTest::expect;

namespace
{
constexpr OleColor BG = rgbColor(10, 20, 30);
constexpr OleColor RED = rgbColor(255, 0, 0);
constexpr OleColor BLACK = 0;
constexpr OleColor FACE = rgbColor(212, 208, 200);

// Counts the repaints a widget receives.
struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject *, QEvent *e) override
    {
        paints += e->type() == QEvent::Paint;
        return false;
    }
};

// A picture box on a screen of `ratio` device pixels a pixel.
struct DenseBox : PictureSurface {
    explicit DenseBox(int ratio)
        : m_ratio(ratio)
    {
    }
    int metric(PaintDeviceMetric m) const override
    {
        if (m == PdmDevicePixelRatio)
            return m_ratio;
        if (m == PdmDevicePixelRatioScaled)
            return int(m_ratio * devicePixelRatioFScale());
        return PictureSurface::metric(m);
    }
    int m_ratio;
};
} // namespace

class TestCGdi : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void brushesAreMadeOncePerColour()
    {
        const int before = gdi::liveObjects();
        {
            CGdi g;
            QCOMPARE(g.CurBrushColor(), FACE); // a new helper holds the face-colour brush
            for (OleColor c : {255, 0, 255, int(FACE), 0, 255})
                g.setCurBrushColor(c);
            QCOMPARE(g.CurBrushColor(), 255);
            QCOMPARE(gdi::liveObjects(), before + 3);
            g.ReleaseResource();
            QCOMPARE(g.CurBrush(), nullptr);
            QCOMPARE(gdi::liveObjects(), before);
            g.setCurBrushColor(RED);
        }
        QCOMPARE(gdi::liveObjects(), before);
    }

    void unbufferedDrawingIsVisibleAtOnce()
    {
        PixelTest::Target t(120, 60, BG);
        CGdi g;
        QCOMPARE(g.AllocMDC(t.dc, 0, 0, 50, 40), t.dc);
        g.setCurBrushColor(BLACK);
        g.Clear(); // the area given to AllocMDC, 50 x 40
        QCOMPARE(PixelTest::count(t.image, BLACK), 50 * 40);
        expect(t.image, {{49, 39, BLACK}, {50, 39, BG}, {49, 40, BG}});
        g.ReleaseMDC();
        QCOMPARE(g.GetMemDC(), t.dc); // nothing to release without a buffer
    }

    void bufferedDrawingShowsOnlyOnUpdate()
    {
        PixelTest::Target t(120, 60, BG);
        gdi::SetPixel(t.dc, 31, 12, RED);
        const int before = gdi::liveObjects();
        {
            CGdi g;
            g.setRuntime(true);
            for (int i = 0; i < 5; ++i) // each leaves the previous buffer first
                g.AllocMDC(t.dc, 0, 0, 20, 20);
            QCOMPARE(gdi::liveObjects(), before + 3); // brush, buffer context and bitmap
            gdi::HDC mem = g.AllocMDC(t.dc, 30, 10, 40, 20);
            QVERIFY(mem != nullptr && mem != t.dc);
            QCOMPARE(gdi::GetPixel(mem, 1, 2), RED); // the buffer starts from the screen
            g.setCurBrushColor(BLACK);
            g.FillBox(5, 5, 3, 3);
            QCOMPARE(at(t.image, 35, 15), BG);
            g.UpdateMDC();
            expect(t.image, {{35, 15, BLACK}, {31, 12, RED}});
            g.ReleaseMDC();
            QCOMPARE(g.GetMemDC(), nullptr);
        }
        QCOMPARE(gdi::liveObjects(), before);
    }

    void attachCtrlDrawsIntoAPictureBox_data()
    {
        QTest::addColumn<int>("ratio");
        QTest::newRow("1x") << 1;
        QTest::newRow("2x") << 2;
    }
    void attachCtrlDrawsIntoAPictureBox()
    {
        QFETCH(int, ratio);
        DenseBox box(ratio);
        box.resize(30, 20);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        // The surface holds every device pixel of the box.
        QCOMPARE(box.image().size(), QSize(30, 20) * ratio);
        PaintCounter counter;
        box.installEventFilter(&counter);
        CGdi g;
        g.setRuntime(true);
        gdi::HDC mem = g.AttachCtrl(&box);
        QVERIFY(mem != nullptr && mem != box.hDC());
        QCOMPARE(g.TargetDC(), box.hDC());
        g.setCurBrushColor(RED);
        g.Clear();
        QCOMPARE(PixelTest::count(box.image(), RED), 0); // still in the buffer
        g.UpdateMDC();
        QCOMPARE(PixelTest::count(box.image(), RED), 600 * ratio * ratio);
        QTRY_VERIFY(counter.paints > 0); // the copy to the box schedules its repaint
        // The surface's own drawing covers whole pixels: a one-pixel outline
        // is `ratio` device pixels wide.
        box.surface().Box(2, 2, 9, 9, BLACK, false);
        QCOMPARE(PixelTest::count(box.image(), BLACK), 28 * ratio * ratio);
        // The box shows its surface pixel for pixel.
        const QImage shown = box.grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(shown.size(), box.image().size());
        QCOMPARE(shown, box.image().convertToFormat(QImage::Format_RGB32));

        QObject plain;
        QCOMPARE(g.AttachCtrl(&plain), nullptr);
        QWidget noDc;
        QCOMPARE(g.AttachCtrl(&noDc), nullptr);
    }

    void absurdCoordinatesDrawOnlyWhatIsVisible()
    {
        PixelTest::Target t(120, 60, BG);
        CGdi g;
        g.AttachDC(t.dc);
        gdi::SetPixel(t.dc, 5, 5, RED);
        g.setCurBrushColor(BLACK);
        g.FillBox(-1000000000, 30, 2000000000, 2000000000);
        QCOMPARE(PixelTest::count(t.image, BLACK), 120 * 30);
        PixelTest::Target src(10, 10, BG);
        gdi::FillRect(src.dc, 0, 0, 10, 10, gdi::StockWhiteBrush());
        QVERIFY(gdi::BitBlt(t.dc, -5, -5, 2147483647, 2147483647, src.dc, 0, 0, gdi::SRCCOPY));
        // beyond the source: left alone
        expect(t.image, {{4, 4, rgbColor(255, 255, 255)}, {5, 5, RED}});
    }
};

QTEST_MAIN(TestCGdi)
#include "test_CGdi.moc"
