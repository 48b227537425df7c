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
constexpr OleColor TL = rgbColor(255, 255, 255);
constexpr OleColor BR = rgbColor(129, 129, 129);
constexpr OleColor RED = rgbColor(255, 0, 0);
constexpr OleColor BLACK = 0;
constexpr OleColor FACE = rgbColor(212, 208, 200);

struct Target : PixelTest::Target {
    explicit Target(int w = 120, int h = 60)
        : PixelTest::Target(w, h, BG)
    {
    }
};

// A canvas with a helper already attached to it.
struct Drawn : Target {
    CGdi g;
    Drawn() { g.AttachDC(dc); }
};

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
    void cachesHoldOnePenAndBrushPerColour()
    {
        const int before = gdi::liveObjects();
        {
            CGdi g;
            // A new helper holds the face-colour brush.
            QCOMPARE(g.BrushKeys(), QStringList {u"13160660K"_s});
            QCOMPARE(g.CurBrushColor(), FACE);
            QCOMPARE(g.CurPen(), nullptr);
            QHash<OleColor, gdi::HPEN> seen;
            for (OleColor c : {255, int(FACE), 0, 255, 65280, 0, 16711680}) {
                g.setCurPenColor(c);
                QVERIFY(g.CurPen() != nullptr);
                QCOMPARE(g.CurPen(), seen.value(c, g.CurPen()));
                seen.insert(c, g.CurPen());
            }
            QCOMPARE(g.PenKeys(),
                QStringList({u"255K"_s, u"13160660K"_s, u"0K"_s, u"65280K"_s, u"16711680K"_s}));
            QCOMPARE(g.LastPen(), seen.value(16711680));
            QCOMPARE(gdi::liveObjects(), before + 1 + 5);
            g.ReleaseResource();
            QCOMPARE(g.CurPen(), nullptr);
            QCOMPARE(g.CurBrush(), nullptr);
            QVERIFY(g.PenKeys().isEmpty() && g.BrushKeys().isEmpty());
            QCOMPARE(gdi::liveObjects(), before);
            g.setCurPenColor(255); // the key list is empty, so the pen is made anew
            QVERIFY(g.CurPen() != nullptr);
        }
        QCOMPARE(gdi::liveObjects(), before);
    }

    void directDrawingFillsLeftToRightMinusOne()
    {
        Target t;
        CGdi g;
        QCOMPARE(g.AllocMDC(t.dc, 0, 0, 50, 40), t.dc);
        g.setCurBrushColor(RED);
        g.ClearEx(t.dc, 10, 10, 20, 15); // visible at once
        QCOMPARE(PixelTest::count(t.image, RED), 10 * 5);
        expect(t.image, {{19, 14, RED}, {20, 14, BG}, {19, 15, BG}});
        g.setCurBrushColor(BLACK);
        g.Clear(); // the area given to AllocMDC, 50 x 40
        QCOMPARE(PixelTest::count(t.image, BLACK), 50 * 40);
        g.ReleaseMDC();
        QCOMPARE(g.GetMemDC(), t.dc); // nothing to release without a buffer
        // CopyMDC takes pixels from another context.
        Target src(20, 20);
        gdi::SetPixel(src.dc, 3, 4, RED);
        g.CopyMDC(src.dc, 2, 2, 60, 50, 5, 5);
        QCOMPARE(at(t.image, 61, 52), RED);
        QCOMPARE(PixelTest::count(t.image, RED), 1);
    }

    void bufferedDrawingShowsOnlyOnUpdate()
    {
        Target t;
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
            Target other(50, 50);
            g.UpdateRcMDC(other.dc, 1, 1, 10, 10);
            expect(other.image, {{7, 7, BLACK}, {11, 11, BG}});
            g.ReleaseMDC();
            QCOMPARE(g.GetMemDC(), nullptr);
        }
        QCOMPARE(gdi::liveObjects(), before);
    }

    void lineStopsOneShortOfItsEnd_data()
    {
        QTest::addColumn<QPoint>("from");
        QTest::addColumn<QPoint>("to");
        QTest::addColumn<int>("n");
        QTest::addColumn<int>("pixels");
        QTest::newRow("horizontal") << QPoint(2, 3) << QPoint(8, 3) << 1 << 6;
        QTest::newRow("vertical up") << QPoint(4, 9) << QPoint(4, 1) << 1 << 8;
        QTest::newRow("diagonal") << QPoint(0, 0) << QPoint(5, 5) << 1 << 5;
        QTest::newRow("two, second inside") << QPoint(0, 0) << QPoint(10, 0) << 2 << -1;
        QTest::newRow("none") << QPoint(0, 0) << QPoint(10, 0) << 0 << 0;
    }
    void lineStopsOneShortOfItsEnd()
    {
        QFETCH(QPoint, from);
        QFETCH(QPoint, to);
        QFETCH(int, n);
        QFETCH(int, pixels);
        Drawn t;
        t.g.setCurPenColor(RED);
        t.g.DrawLine(from.x(), from.y(), to.x(), to.y(), qint16(n));
        if (pixels >= 0)
            QCOMPARE(PixelTest::count(t.image, RED), pixels);
        if (n > 1) // each further line starts one pixel right and down
            QCOMPARE(at(t.image, from.x() + 1, from.y() + 1), RED);
        if (n > 0)
            expect(t.image, {{from.x(), from.y(), RED}, {to.x(), to.y(), BG}});
    }

    void boxesCoverBothCornersAndHollowBoxesStayHollow()
    {
        Drawn t;
        CGdi &g = t.g;
        g.setCurPenColor(RED);
        g.DrawBox(10, 10, 20, 8, 1);
        QCOMPARE(PixelTest::count(t.image, RED), 2 * 21 + 2 * 7);
        expect(t.image, {{10, 10, RED}, {30, 18, RED}, {11, 11, BG}});
        g.DrawBoxEx(t.dc, 50, 10, 10, 10, 2); // two rings, the second one pixel inside
        expect(t.image, {{51, 11, RED}, {59, 19, RED}, {52, 12, BG}});
        // A null brush leaves a round box hollow.
        g.SetNullBrush();
        g.DrawRoundBox(10, 30, 50, 58, 8);
        expect(t.image, {{30, 44, BG}, {30, 30, RED}});
        QCOMPARE(g.LastBrush(), gdi::StockNullBrush());
        gdi::SelectObject(t.dc, g.CurBrush());
        g.DrawRoundBox(60, 30, 100, 58, 8);
        QCOMPARE(at(t.image, 80, 44), FACE);
    }

    void bevelsAndFrames()
    {
        Drawn up, down, flat, button, pressed, groove, round;
        // Two rings, the second one pixel in: light top-left, dark bottom-right.
        up.g.Draw3DFrame(10, 10, 30, 20, 2, false, 0, TL, BR, false);
        expect(up.image,
            {{10, 10, TL}, {29, 10, TL}, {30, 10, BR}, {10, 20, TL}, {11, 20, BR}, {11, 11, TL},
                {29, 15, BR}, {12, 12, BG}});
        // Pressed: the outermost ring has only left and top, the top one pixel longer.
        down.g.Draw3DFrame(10, 10, 30, 20, 1, true, 0, TL, BR, false);
        expect(down.image, {{30, 10, TL}, {31, 10, BG}, {10, 20, TL}});
        QCOMPARE(PixelTest::count(down.image, TL), 21 + 10);
        QCOMPARE(PixelTest::count(down.image, BR), 0);
        // No rings: only the fill.
        flat.g.Draw3DFrame(10, 10, 30, 20, 0, false, RED, TL, BR, true);
        QCOMPARE(PixelTest::count(flat.image, RED), 20 * 11);
        // Buttons have a black outline; pressed, the shadow starts on the
        // outline's bottom row and the outermost ring has no right side.
        button.g.Draw3DButton(10, 10, 40, 30, 1, RED, TL, BR, true);
        expect(button.image, {{40, 30, BLACK}, {11, 11, TL}, {39, 29, BR}, {20, 20, RED}});
        pressed.g.Draw3DButtonDown(10, 10, 40, 30, 1, RED, TL, BR, true);
        expect(pressed.image,
            {{10, 10, BLACK}, {11, 30, BR}, {39, 11, BR}, {40, 11, BLACK}, {12, 12, TL},
                {38, 20, BG}});
        // The etched groove: dark outer ring, light inner ring, the light
        // bottom line stopping short of the corner.
        groove.g.Draw3DGroud(0, 0, 99, 49, true);
        expect(groove.image,
            {{50, 0, BR}, {99, 25, TL}, {50, 1, TL}, {98, 25, BR}, {50, 25, FACE}, {0, 49, FACE},
                {99, 0, TL}});
        // The rounded bevel: corner colour along the corners, none on the
        // fifth row; pressed, it ends one row higher.
        const OleColor corner = rgbColor(0, 0, 255);
        const OleColor tl = rgbColor(100, 100, 100), br = rgbColor(40, 40, 40);
        round.g.DrawRound3DGroudDown(10, 10, 60, 40, corner, false);
        expect(round.image,
            {{16, 10, tl}, {15, 10, corner}, {53, 10, br}, {54, 10, corner}, {10, 14, BG},
                {11, 14, tl}, {10, 15, corner}, {59, 25, br}, {60, 25, BG}, {16, 39, br},
                {15, 39, corner}, {35, 40, BG}});
        Target plain;
        round.g.AttachDC(plain.dc);
        round.g.DrawRound3DGroud(10, 10, 60, 40, BR, TL, RED, BLACK, true);
        expect(plain.image,
            {{10, 25, TL}, {11, 25, BLACK}, {59, 25, BR}, {58, 25, RED}, {15, 10, FACE}});
        // Drawing them again makes no new pens or brushes.
        int live = 0;
        for (int pass = 0; pass < 2; ++pass) {
            if (pass == 1)
                live = gdi::liveObjects();
            round.g.Draw3DFrame(10, 10, 30, 20, 2, true, 0, TL, BR, false);
            round.g.Draw3DButtonDown(10, 10, 40, 30, 2, RED, TL, BR, true);
            round.g.Draw3DGroud(0, 0, 99, 49, true);
            round.g.DrawRound3DGroudDown(10, 10, 60, 40, corner, true);
            round.g.DrawFocusFrame(2, 2, 40, 20, 2, true);
        }
        QCOMPARE(gdi::liveObjects(), live);
    }

    void focusFrameTwiceRestoresPixels_data()
    {
        QTest::addColumn<int>("n");
        QTest::addColumn<bool>("round");
        QTest::newRow("square 1") << 1 << false;
        QTest::newRow("round 3") << 3 << true;
    }
    void focusFrameTwiceRestoresPixels()
    {
        QFETCH(int, n);
        QFETCH(bool, round);
        Drawn t;
        t.g.setCurBrushColor(RED);
        t.g.FillBox(30, 10, 40, 30);
        const QImage before = t.image.copy();
        t.g.DrawFocusFrame(20, 10, 80, 45, qint16(n), round);
        QVERIFY(PixelTest::count(t.image, rgbColor(0, 255, 255)) > 0); // red inverted
        t.g.DrawFocusFrame(20, 10, 80, 45, qint16(n), round);
        QCOMPARE(t.image, before);
        QCOMPARE(t.dc->rop2, int(gdi::R2_COPYPEN));
    }

    void squareFocusFrameGrowsOutwards()
    {
        Drawn t;
        t.g.DrawFocusFrame(20, 20, 30, 30, 2, false);
        const OleColor inv = rgbColor(245, 235, 225);
        expect(t.image,
            {{20, 20, inv}, {29, 29, inv}, {19, 19, inv}, {30, 30, inv}, {31, 31, BG},
                {21, 21, BG}});
        QCOMPARE(PixelTest::count(t.image, inv), 36 + 44);
    }

    void textStaysInsideItsRectangleAndEndsAtNul()
    {
        Target a(200, 40), b(200, 40), c(200, 40);
        CGdi g;
        const QFont font(u"DejaVu Sans"_s, 14);
        const auto attach = [&](Target &t) {
            g.AttachDC(t.dc);
            g.CurFont2(font); // a font goes to the context attached at the time
            g.setCurTextColor(RED);
        };
        attach(a);
        QVERIFY(g.DrawTxtW(u"朗讀 AB"_s, 10, 5, 100, 30, true, true, true));
        QVERIFY(PixelTest::count(a.image, RED, QRect(10, 5, 100, 30)) > 10);
        QCOMPARE(PixelTest::changedOutside(
                     PixelTest::canvas(200, 40, BG), a.image, QRect(10, 5, 100, 30)),
            0);
        attach(b);
        g.DrawTxtXy(u"AB"_s, 0, 0, 200, 40, false, false, true);
        attach(c);
        g.DrawTxtEx(c.dc, QString(u"AB"_s) + QChar(0) + u"CD"_s, 0, 0, 200, 40, false, false, true);
        QCOMPARE(c.image, b.image);
    }

    void paintPictureCopiesOrStretches()
    {
        QImage src = PixelTest::canvas(4, 4, RED);
        src.setPixel(0, 0, gdi::toRgb(BLACK));
        GdiPicture pic = GdiPicture::fromImage(src);
        qint16 w = 0, h = 0;
        QVERIFY(CGdi::GetBmpSz(pic, w, h));
        QCOMPARE(QSize(w, h), QSize(4, 4));
        QVERIFY(!CGdi::GetBmpSz(GdiPicture::fromIcon(src), w, h));
        Drawn t;
        t.g.PaintPicture(pic.Handle(), 10, 10, 4, 4, -1, 99); // destW -1 ignores destH
        QCOMPARE(PixelTest::count(t.image, RED) + PixelTest::count(t.image, BLACK), 16);
        t.g.PaintPicture(pic.Handle(), 40, 10, 4, 4, 8, 8);
        QCOMPARE(PixelTest::count(t.image, BLACK, QRect(40, 10, 8, 8)), 4);
        QCOMPARE(PixelTest::count(t.image, RED, QRect(40, 10, 8, 8)), 60);
        GdiPicture into = GdiPicture::fromImage(PixelTest::canvas(10, 10, 0xFFFFFF));
        t.g.CopyPicture(into.Handle(), 2, 2, 5, 5);
        QCOMPARE(PixelTest::count(into.image(), BG), 25);
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
        Drawn t;
        CGdi &g = t.g;
        g.setCurPenColor(RED);
        g.DrawLine(-2000000000, 5, 2000000000, 5, 1);
        QCOMPARE(PixelTest::count(t.image, RED), 120);
        g.DrawBox(-2000000000, -2000000000, 2100000000, 2000000010, 1);
        QCOMPARE(PixelTest::count(t.image, RED, QRect(0, 10, 120, 1)), 120); // its bottom edge
        g.setCurBrushColor(BLACK);
        g.FillBox(-1000000000, 30, 2000000000, 2000000000);
        QCOMPARE(PixelTest::count(t.image, BLACK), 120 * 30);
        g.DrawFocusFrame(-2000000000, -2000000000, 2000000000, 2000000000, 2, false);
        Target src(10, 10);
        gdi::FillRect(src.dc, 0, 0, 10, 10, gdi::StockWhiteBrush());
        QVERIFY(gdi::BitBlt(t.dc, -5, -5, 2147483647, 2147483647, src.dc, 0, 0, gdi::SRCCOPY));
        // beyond the source: left alone
        expect(t.image, {{4, 4, rgbColor(255, 255, 255)}, {5, 5, RED}});
    }
};

QTEST_MAIN(TestCGdi)
#include "test_CGdi.moc"
