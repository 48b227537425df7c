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
        if (e->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};
} // namespace

class TestCGdi : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void newObjectHoldsTheFaceBrushAndReleaseEmptiesTheCaches()
    {
        const int before = gdi::liveObjects();
        CGdi g;
        QCOMPARE(g.BrushKeys(), QStringList {u"13160660K"_s});
        QVERIFY(g.CurBrush() != nullptr);
        QCOMPARE(g.CurBrushColor(), rgbColor(212, 208, 200));
        QCOMPARE(gdi::liveObjects(), before + 1);
        QVERIFY(g.PenKeys().isEmpty());
        QCOMPARE(g.CurPen(), nullptr);

        g.setCurPenColor(255);
        g.setCurBrushColor(255);
        g.ReleaseResource();
        QCOMPARE(g.CurPen(), nullptr);
        QCOMPARE(g.CurBrush(), nullptr);
        QVERIFY(g.PenKeys().isEmpty());
        QVERIFY(g.BrushKeys().isEmpty());
        QCOMPARE(gdi::liveObjects(), before);
        g.setCurPenColor(255); // the key list is empty, so the pen is made anew
        QVERIFY(g.CurPen() != nullptr);
        QCOMPARE(gdi::liveObjects(), before + 1);
    }

    void penCacheCreatesOnePenPerColourInOrder()
    {
        const int before = gdi::liveObjects();
        {
            CGdi g;
            const OleColor colours[] = {255, rgbColor(212, 208, 200), 0, 255, 65280, 0, 16711680};
            QHash<OleColor, gdi::HPEN> seen;
            for (OleColor c : colours) {
                g.setCurPenColor(c);
                QVERIFY(g.CurPen() != nullptr);
                if (seen.contains(c))
                    QCOMPARE(g.CurPen(), seen.value(c));
                seen.insert(c, g.CurPen());
            }
            QCOMPARE(g.PenKeys(),
                QStringList({u"255K"_s, u"13160660K"_s, u"0K"_s, u"65280K"_s, u"16711680K"_s}));
            QCOMPARE(g.LastPen(), seen.value(16711680));
            QCOMPARE(gdi::liveObjects(), before + 1 + 5);
        }
        QCOMPARE(gdi::liveObjects(), before);
    }

    void releaseWhileSelectedKeepsTheContextUsable()
    {
        Target t;
        CGdi g;
        g.AllocMDC(t.dc, 0, 0, 120, 60);
        g.setCurPenColor(RED);
        g.DrawLine(0, 0, 5, 0, 1);
        g.ReleaseResource();
        // The context still holds the deleted pen until it selects another.
        gdi::MoveToEx(t.dc, 0, 1);
        gdi::LineTo(t.dc, 5, 1);
        QCOMPARE(at(t.image, 2, 1), RED);
        gdi::SelectObject(t.dc, gdi::StockBlackPen());
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
        QCOMPARE(at(t.image, 50, 0), BG);
        g.UpdateMDC();
        g.ReleaseMDC();
        QCOMPARE(g.GetMemDC(), t.dc); // nothing to release without a buffer
        QCOMPARE(g.TargetDC(), t.dc);

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
            QCOMPARE(g.TargetDC(), nullptr);
        }
        QCOMPARE(gdi::liveObjects(), before);
    }

    void allocLeavesThePreviousBufferFirst()
    {
        Target t;
        const int before = gdi::liveObjects();
        CGdi g;
        g.setRuntime(true);
        for (int i = 0; i < 5; ++i)
            g.AllocMDC(t.dc, 0, 0, 20, 20);
        // one brush, one buffer context, one buffer bitmap
        QCOMPARE(gdi::liveObjects(), before + 3);
    }

    void clearWndFillsTheClientArea()
    {
        Target t;
        QWidget w;
        w.resize(30, 20);
        CGdi g;
        g.AttachDC(t.dc);
        g.setCurBrushColor(RED);
        g.ClearWnd(&w);
        QCOMPARE(PixelTest::count(t.image, RED), 600);
        g.ClearWndEx(&w, nullptr); // no context: nothing, no crash
    }

    void detachedHelperDrawsNowhere()
    {
        Drawn t;
        CGdi &g = t.g;
        g.DetachDC();
        g.setCurBrushColor(RED);
        g.FillBox(0, 0, 10, 10);
        g.DrawLine(0, 0, 10, 10, 1);
        QVERIFY(!g.DrawTxtW(u"x"_s, 0, 0, 50, 20, false, false, true));
        g.DrawFocusFrame(1, 1, 10, 10, 1, false);
        QCOMPARE(PixelTest::count(t.image, BG), 120 * 60);
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
        CGdi &g = t.g;
        g.setCurPenColor(RED);
        g.DrawLine(from.x(), from.y(), to.x(), to.y(), qint16(n));
        if (pixels >= 0)
            QCOMPARE(PixelTest::count(t.image, RED), pixels);
        if (n > 1) // each further line starts one pixel right and down
            QCOMPARE(at(t.image, from.x() + 1, from.y() + 1), RED);
        if (n > 0) {
            expect(t.image, {{from.x(), from.y(), RED}, {to.x(), to.y(), BG}});
        }
    }

    void boxesCoverBothCornersAndHollowBoxesStayHollow()
    {
        Drawn t;
        CGdi &g = t.g;
        g.setCurPenColor(RED);
        g.DrawBox(10, 10, 20, 8, 1);
        QCOMPARE(PixelTest::count(t.image, RED), 2 * 21 + 2 * 7);
        expect(t.image, {{10, 10, RED}, {30, 10, RED}, {30, 18, RED}, {10, 18, RED}, {11, 11, BG}});
        g.DrawBoxEx(t.dc, 50, 10, 10, 10, 2); // two rings, the second one pixel inside
        expect(t.image, {{51, 11, RED}, {59, 19, RED}, {52, 12, BG}});
        // A null brush leaves a round box hollow.
        g.SetNullBrush();
        g.DrawRoundBox(10, 30, 50, 58, 8);
        expect(t.image, {{30, 44, BG}, {30, 30, RED}});
        QCOMPARE(g.LastBrush(), gdi::StockNullBrush());
        gdi::SelectObject(t.dc, g.CurBrush());
        g.DrawRoundBox(60, 30, 100, 58, 8);
        QCOMPARE(at(t.image, 80, 44), rgbColor(212, 208, 200));
    }

    void framesPaintTheirRings()
    {
        Drawn up, down, down2, flat;
        up.g.Draw3DFrame(10, 10, 30, 20, 2, false, 0, TL, BR, false);
        // outer ring, then the second one pixel in
        expect(up.image,
            {{10, 10, TL}, {29, 10, TL}, {30, 10, BR}, {30, 20, BR}, {10, 20, TL}, {11, 20, BR},
                {10, 15, TL}, {30, 15, BR}, {11, 11, TL}, {29, 15, BR}, {20, 19, BR},
                {12, 12, BG}});

        // Pressed: the outermost ring has only left and top, the top one pixel longer.
        down.g.Draw3DFrame(10, 10, 30, 20, 1, true, 0, TL, BR, false);
        expect(down.image, {{30, 10, TL}, {31, 10, BG}, {10, 20, TL}});
        QCOMPARE(PixelTest::count(down.image, BR), 0);
        QCOMPARE(PixelTest::count(down.image, TL), 21 + 10);
        down2.g.Draw3DFrame(10, 10, 30, 20, 2, true, 0, TL, BR, false);
        expect(down2.image, {{30, 11, BR}, {30, 19, BR}, {12, 19, BR}, {11, 19, TL}});

        // No rings: only the fill.
        flat.g.Draw3DFrame(10, 10, 30, 20, 0, false, RED, TL, BR, true);
        QCOMPARE(PixelTest::count(flat.image, RED), 20 * 11);
        expect(flat.image, {{10, 20, RED}, {30, 10, BG}});
        QCOMPARE(flat.g.CurBrushColor(), RED);
    }

    void buttonsHaveBlackOutlineAndShadow()
    {
        Drawn t;
        CGdi &g = t.g;
        g.Draw3DButton(10, 10, 40, 30, 1, RED, TL, BR, true);
        expect(
            t.image, {{10, 10, BLACK}, {40, 30, BLACK}, {11, 11, TL}, {39, 29, BR}, {20, 20, RED}});

        Target d;
        g.AttachDC(d.dc);
        g.Draw3DButtonDown(10, 10, 40, 30, 1, RED, TL, BR, true);
        // The shadow starts on the outline's bottom row, the pressed top runs
        // one pixel longer and the outermost pressed ring has no right side.
        expect(d.image,
            {{10, 10, BLACK}, {11, 30, BR}, {11, 29, BR}, {39, 11, BR}, {40, 11, BLACK},
                {12, 12, TL}, {38, 12, TL}, {37, 28, RED}, {38, 20, BG}});
    }

    void etchedGrooveRings()
    {
        Drawn t;
        CGdi &g = t.g;
        g.Draw3DGroud(0, 0, 99, 49, true);
        const OleColor face = rgbColor(212, 208, 200);
        // dark outer ring, light inner ring, face inside; the light bottom
        // line stops short of the corner
        expect(t.image,
            {{50, 0, BR}, {0, 25, BR}, {99, 25, TL}, {50, 49, TL}, {50, 1, TL}, {1, 25, TL},
                {98, 25, BR}, {50, 48, BR}, {50, 25, face}, {0, 49, face}, {99, 0, TL}});
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
        CGdi &g = t.g;
        g.setCurBrushColor(RED);
        g.FillBox(30, 10, 40, 30);
        const QImage before = t.image.copy();
        g.DrawFocusFrame(20, 10, 80, 45, qint16(n), round);
        QVERIFY(t.image != before);
        QVERIFY(PixelTest::count(t.image, rgbColor(0, 255, 255)) > 0); // red inverted
        g.DrawFocusFrame(20, 10, 80, 45, qint16(n), round);
        QCOMPARE(t.image, before);
        QCOMPARE(gdi::GetPixel(t.dc, 0, 0), BG);
        QCOMPARE(t.dc->rop2, int(gdi::R2_COPYPEN));
    }

    void squareFocusFrameGrowsOutwards()
    {
        Drawn t;
        CGdi &g = t.g;
        g.DrawFocusFrame(20, 20, 30, 30, 2, false);
        const OleColor inv = rgbColor(255 - 10, 255 - 20, 255 - 30);
        expect(t.image,
            {{20, 20, inv}, {29, 29, inv}, {19, 19, inv}, {30, 30, inv}, {31, 31, BG},
                {21, 21, BG}});
        QCOMPARE(PixelTest::count(t.image, inv), 36 + 44);
    }

    void roundedBevelCorners()
    {
        Drawn t;
        CGdi &g = t.g;
        const int x1 = 10, y1 = 10, x2 = 60, y2 = 40;
        const OleColor corner = rgbColor(0, 0, 255);
        const OleColor tl = rgbColor(100, 100, 100), br = rgbColor(40, 40, 40);
        g.DrawRound3DGroudDown(x1, y1, x2, y2, corner, false);
        const int yb = y2 - 1; // the pressed look ends one row higher
        // corner runs along the top, no corner pixel on the fifth row
        expect(t.image,
            {{x1 + 6, y1, tl}, {x1 + 5, y1, corner}, {x2 - 7, y1, br}, {x2 - 6, y1, corner},
                {x1 + 4, y1 + 1, tl}, {x1 + 3, y1 + 1, corner}, {x1, y1 + 4, BG},
                {x1 + 1, y1 + 4, tl}, {x1, y1 + 5, corner}, {x1, y1 + 6, tl}});
        // the sides, then the bottom edge that overdraws the left corner run
        expect(t.image,
            {{x1, 25, tl}, {x2 - 1, 25, br}, {x2, 25, BG}, {x1 + 6, yb, br}, {x1 + 5, yb, corner},
                {x2 - 8, yb, br}, {x1 + 1, yb - 5, tl}, {x1, yb - 5, corner}, {x1, yb - 4, BG},
                {35, y2, BG}});

        Target plain;
        g.AttachDC(plain.dc);
        g.DrawRound3DGroud(x1, y1, x2, y2, BR, TL, RED, BLACK, true);
        // no corner colour: the face shows
        expect(plain.image,
            {{x1, 25, TL}, {x1 + 1, 25, BLACK}, {x2 - 1, 25, BR}, {x2 - 2, 25, RED},
                {x1 + 5, y1, rgbColor(212, 208, 200)}});
    }

    void repeatedDrawingDoesNotGrowTheCaches()
    {
        Drawn t;
        CGdi &g = t.g;
        g.Draw3DGroud(0, 0, 50, 30, true);
        g.Draw3DButtonDown(0, 0, 50, 30, 2, RED, TL, BR, true);
        g.DrawRound3DGroudDown(0, 0, 50, 30, RED, true);
        const int afterFirst = gdi::liveObjects();
        const QStringList keys = g.PenKeys();
        for (int i = 0; i < 10; ++i) {
            g.Draw3DGroud(0, 0, 50, 30, true);
            g.Draw3DButtonDown(0, 0, 50, 30, 2, RED, TL, BR, true);
            g.DrawRound3DGroudDown(0, 0, 50, 30, RED, true);
            g.DrawFocusFrame(2, 2, 40, 20, 2, true);
        }
        QCOMPARE(gdi::liveObjects(), afterFirst);
        QCOMPARE(g.PenKeys(), keys);
    }

    void textFlagsAndArgb()
    {
        QCOMPARE(CGdi::TextFlags(false, false, false), 0);
        QCOMPARE(CGdi::TextFlags(true, false, false), 1);
        QCOMPARE(CGdi::TextFlags(false, true, true), 36);
        QCOMPARE(CGdi::ToARGB(212, 208, 200), 0xD4D0C8);
    }

    void textStaysInsideItsRectangleAndEndsAtNul()
    {
        Target a(200, 40), b(200, 40);
        CGdi g;
        QFont font(u"DejaVu Sans"_s, 14);
        g.AttachDC(a.dc);
        g.CurFont2(font); // a font goes to the context attached at the time
        g.setCurTextColor(RED);
        QVERIFY(g.DrawTxtW(u"朗讀 AB"_s, 10, 5, 100, 30, true, true, true));
        const int inside = PixelTest::count(a.image, RED, QRect(10, 5, 100, 30));
        QVERIFY(inside > 10);
        QCOMPARE(PixelTest::changedOutside(
                     PixelTest::canvas(200, 40, BG), a.image, QRect(10, 5, 100, 30)),
            0);

        Target c(200, 40);
        g.AttachDC(b.dc);
        g.CurFont2(font);
        g.setCurTextColor(RED);
        g.DrawTxtXy(u"AB"_s, 0, 0, 200, 40, false, false, true);
        g.AttachDC(c.dc);
        g.CurFont2(font);
        g.setCurTextColor(RED);
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
        QCOMPARE(w, qint16(4));
        QCOMPARE(h, qint16(4));
        QVERIFY(!CGdi::GetBmpSz(GdiPicture::fromIcon(src), w, h));

        Drawn t;
        CGdi &g = t.g;
        g.PaintPicture(pic.Handle(), 10, 10, 4, 4, -1, 99); // destW -1 ignores destH
        QCOMPARE(PixelTest::count(t.image, RED) + PixelTest::count(t.image, BLACK), 16);
        g.PaintPicture(pic.Handle(), 40, 10, 4, 4, 8, 8);
        QCOMPARE(PixelTest::count(t.image, BLACK, QRect(40, 10, 8, 8)), 4);
        QCOMPARE(PixelTest::count(t.image, RED, QRect(40, 10, 8, 8)), 60);

        GdiPicture into = GdiPicture::fromImage(PixelTest::canvas(10, 10, 0xFFFFFF));
        g.CopyPicture(into.Handle(), 2, 2, 5, 5);
        QCOMPARE(PixelTest::count(into.image(), BG), 25);
    }

    void attachCtrlDrawsIntoAPictureBox()
    {
        PictureSurface box(nullptr, u"PicViseme"_s);
        box.resize(30, 20);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
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
        QCOMPARE(PixelTest::count(box.image(), RED), 600);
        QTRY_VERIFY(counter.paints > 0); // the copy to the box schedules its repaint
        QCOMPARE(box.grab().toImage().convertToFormat(QImage::Format_RGB32), box.image());

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
