#include "PixelTest.h"
#include "controls/CBmp.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

using namespace Qt::StringLiterals;

using PixelTest::at;
using PixelTest::expect;

namespace
{
constexpr OleColor MAGENTA = rgbColor(255, 0, 255);
constexpr OleColor BG = rgbColor(0, 128, 0);
constexpr OleColor RED = rgbColor(255, 0, 0);
constexpr OleColor BLUE = rgbColor(0, 0, 255);
constexpr OleColor WHITE = rgbColor(255, 255, 255);

struct Target : PixelTest::Target {
    explicit Target(int w = 40, int h = 30, OleColor fill = BG)
        : PixelTest::Target(w, h, fill)
    {
    }
};

quint32 u32(const QByteArray &b, int at)
{
    return qFromLittleEndian<quint32>(b.constData() + at);
}
quint16 u16(const QByteArray &b, int at)
{
    return qFromLittleEndian<quint16>(b.constData() + at);
}

// A thumb-like sprite: a red body with a magenta key triangle in one corner.
QImage sprite()
{
    QImage img = PixelTest::canvas(8, 6, RED);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x)
            if (x + y >= 9)
                img.setPixel(x, y, gdi::toRgb(MAGENTA));
    img.setPixel(1, 1, gdi::toRgb(BLUE));
    return img;
}
} // namespace

class TestCBmp : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void monoFileLayout_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("rowSize");
        QTest::newRow("1 wide") << 1 << 3 << 4;
        QTest::newRow("32 wide") << 32 << 2 << 4;
        QTest::newRow("33 wide") << 33 << 5 << 8;
    }
    void monoFileLayout()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(int, rowSize);
        QTemporaryDir dir;
        DrawSurface box(width, height, WHITE);
        CBmp bmp;
        bmp.setFileName(dir.filePath(u"out.bmp"_s));
        QVERIFY(bmp.SavePicture(box));
        QFile f(bmp.FileName());
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray b = f.readAll();
        QCOMPARE(b.size(), 62 + rowSize * height);
        QCOMPARE(b.left(2), QByteArray("BM"));
        QCOMPARE(u16(b, 26), quint16(1)); // planes
        QCOMPARE(u16(b, 28), quint16(1)); // bits a pixel
        // offset: value of the 32-bit header fields, then black and white
        const std::pair<int, quint32> fields[] = {{2, quint32(b.size())}, {6, 0}, {10, 62},
            {14, 40}, {18, quint32(width)}, {22, quint32(height)}, {30, 0},
            {34, quint32(rowSize * height)}, {54, 0}, {58, 0x00FFFFFF}};
        for (const auto &[offset, value] : fields)
            QVERIFY2(u32(b, offset) == value, qPrintable(u"field at %1"_s.arg(offset)));
    }

    void monoFileRoundTripsThroughAnImageReader()
    {
        QTemporaryDir dir;
        DrawSurface box(37, 9, WHITE);
        box.Line(0, 0, 37, 0, 0); // top row black
        box.Box(3, 3, 10, 6, rgbColor(40, 40, 40), true); // dark grey becomes black
        box.Box(20, 2, 30, 7, rgbColor(230, 230, 230), true); // light grey becomes white
        CBmp bmp;
        const QString path = dir.filePath(u"round.bmp"_s);
        QVERIFY(bmp.Save(box, path));
        QImage back(path);
        QVERIFY(!back.isNull());
        QCOMPARE(back.size(), QSize(37, 9));
        for (int y = 0; y < 9; ++y)
            for (int x = 0; x < 37; ++x) {
                const bool black = y == 0 || (x >= 3 && x <= 10 && y >= 3 && y <= 6);
                QCOMPARE(qGray(back.pixel(x, y)), black ? 0 : 255);
            }
    }

    void saveDcReadsTheSelectedBitmap()
    {
        QTemporaryDir dir;
        gdi::HDC mem = gdi::CreateCompatibleDC(nullptr);
        GdiPicture pic = GdiPicture::fromImage(PixelTest::canvas(16, 4, WHITE));
        gdi::HBITMAP old = gdi::SelectObject(mem, pic.Handle());
        gdi::SetPixel(mem, 0, 3, 0);
        CBmp bmp;
        bmp.setFileName(dir.filePath(u"dc.bmp"_s));
        QVERIFY(bmp.SaveDC(mem, 16, 4));
        QFile f(bmp.FileName());
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray b = f.readAll();
        // bottom row first: its leftmost pixel is the black one
        QCOMPARE(quint8(b.at(62)), quint8(0x7F));
        QCOMPARE(quint8(b.at(63)), quint8(0xFF));
        QCOMPARE(quint8(b.at(66)), quint8(0xFF));
        gdi::SelectObject(mem, old);
        gdi::DeleteDC(mem);
    }

    void unwritableFileIsReported()
    {
        DrawSurface box(10, 10);
        CBmp bmp;
        bmp.setFileName(u"/nonexistent-folder/x.bmp"_s);
        QVERIFY(!bmp.SavePicture(box));
        QVERIFY(!bmp.Save(box, u"/proc/forbidden.bmp"_s));
        bmp.setFileName(QString());
        QVERIFY(!bmp.SaveDC(box.hDC(), 10, 10));
        QVERIFY(!bmp.SaveDC(nullptr, 10, 10));
    }

    void maskIsWhiteWhereTheKeyIs()
    {
        GdiPicture pic = GdiPicture::fromImage(sprite());
        gdi::HDC src = gdi::CreateCompatibleDC(nullptr);
        gdi::HBITMAP old = gdi::SelectObject(src, pic.Handle());
        Target mask(8, 6, BG);
        CBmp bmp;
        bmp.CreateMask(mask.dc, 0, 0, 8, 6, src, 0, 0, MAGENTA);
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 8; ++x)
                QCOMPARE(at(mask.image, x, y), x + y >= 9 ? WHITE : 0);
        QCOMPARE(src->bkColor, WHITE); // colours put back
        QCOMPARE(mask.dc->bkColor, WHITE);
        QCOMPARE(mask.dc->textColor, 0);
        gdi::SelectObject(src, old);
        gdi::DeleteDC(src);
    }

    void pasteLeavesKeyPixelsUntouched_data()
    {
        QTest::addColumn<QImage>("source");
        QImage all = PixelTest::canvas(8, 6, MAGENTA);
        QImage none = PixelTest::canvas(8, 6, RED);
        none.setPixel(7, 5, gdi::toRgb(WHITE));
        QTest::newRow("sprite") << sprite();
        QTest::newRow("all key") << all;
        QTest::newRow("no key") << none;
    }
    void pasteLeavesKeyPixelsUntouched()
    {
        QFETCH(QImage, source);
        Target t;
        for (int x = 0; x < 40; x += 2)
            gdi::SetPixel(t.dc, x, 12, BLUE);
        const QImage before = t.image.copy();
        GdiPicture pic = GdiPicture::fromImage(source);
        CBmp bmp;
        bmp.PasteHandleTransparent(t.dc, 9, 10, pic.Handle(), MAGENTA, 8, 6);
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 8; ++x) {
                const OleColor s = at(source, x, y);
                QCOMPARE(at(t.image, 9 + x, 10 + y), s == MAGENTA ? at(before, 9 + x, 10 + y) : s);
            }
        QCOMPARE(PixelTest::changedOutside(before, t.image, QRect(9, 10, 8, 6)), 0);
    }

    void repeatedPastesDoNotAccumulateObjects()
    {
        Target t;
        Target row(4, 1, WHITE);
        gdi::SetPixel(row.dc, 1, 0, 0);
        gdi::SetPixel(row.dc, 2, 0, RED);
        GdiPicture pic = GdiPicture::fromImage(sprite());
        CBmp bmp;
        const int before = gdi::liveObjects();
        for (int i = 0; i < 50; ++i)
            bmp.PasteHandleTransparent(t.dc, i % 30, 3, pic.Handle(), MAGENTA, 8, 6);
        QCOMPARE(gdi::liveObjects(), before);
        // The mask context holds an inverted two-colour copy: black turned
        // white matches the white background; the rest is black.
        gdi::HDC maskDC = nullptr;
        gdi::HDC made = bmp.CreateMaskDC(row.dc, 4, 1, maskDC);
        QCOMPARE(made, maskDC);
        QCOMPARE(gdi::liveObjects(), before + 2);
        QCOMPARE(gdi::GetPixel(maskDC, 0, 0), 0);
        QCOMPARE(gdi::GetPixel(maskDC, 1, 0), WHITE);
        QCOMPARE(gdi::GetPixel(maskDC, 2, 0), 0);
        CBmp::DeleteMaskDC(maskDC);
        QCOMPARE(gdi::liveObjects(), before);
    }

    void transparentPictureDrawsOnlyBitmaps()
    {
        Target t;
        CBmp bmp;
        const QImage before = t.image.copy();
        bmp.DrawTransPictureEx(t.dc, 2, 2, GdiPicture::fromIcon(sprite()), MAGENTA, 8, 6);
        bmp.DrawTransPicture(t.dc, 2, 2, GdiPicture(), MAGENTA);
        QCOMPARE(t.image, before);

        GdiPicture pic = GdiPicture::fromImage(sprite());
        bmp.DrawTransPicture(t.dc, 2, 2, pic, MAGENTA);
        // key corner
        expect(t.image, {{3, 3, BLUE}, {2, 2, RED}, {9, 7, BG}});
        QCOMPARE(PixelTest::count(t.image, RED) + 1, 8 * 6 - 10);

        Target part;
        bmp.DrawTransPictureEx(part.dc, 0, 0, pic, MAGENTA, 3, 2);
        QCOMPARE(
            PixelTest::changedOutside(PixelTest::canvas(40, 30, BG), part.image, QRect(0, 0, 3, 2)),
            0);
        QCOMPARE(at(part.image, 1, 1), BLUE);
    }

    void picturesLoadedFromFilesKeepTheirType()
    {
        QTemporaryDir dir;
        const QString bmpPath = dir.filePath(u"face.bmp"_s);
        const QString icoPath = dir.filePath(u"face.ico"_s);
        QVERIFY(sprite().save(bmpPath, "BMP"));
        QVERIFY(sprite().save(icoPath, "ICO"));
        const GdiPicture bitmap = GdiPicture::load(bmpPath);
        QCOMPARE(bitmap.Type(), int(GdiPicture::PicTypeBitmap));
        QCOMPARE(QSize(bitmap.Width(), bitmap.Height()), QSize(8, 6));
        const GdiPicture icon = GdiPicture::load(icoPath);
        QCOMPARE(icon.Type(), int(GdiPicture::PicTypeIcon));
        QCOMPARE(icon.Handle(), nullptr);
        QVERIFY(GdiPicture::load(dir.filePath(u"missing.bmp"_s)).isNull());

        Target t;
        const QImage before = t.image.copy();
        CBmp bmp;
        bmp.DrawTransPicture(t.dc, 0, 0, icon, MAGENTA);
        QCOMPARE(t.image, before);
        bmp.DrawTransPicture(t.dc, 0, 0, bitmap, MAGENTA);
        QCOMPARE(at(t.image, 1, 1), BLUE);
    }

    void patternBrushTilesThePicture()
    {
        const int before = gdi::liveObjects();
        {
            QImage tile = PixelTest::canvas(2, 2, WHITE);
            tile.setPixel(0, 0, gdi::toRgb(RED));
            GdiPicture pic = GdiPicture::fromImage(tile);
            CBmpBursh brush;
            QCOMPARE(brush.CurBrush(), nullptr);
            brush.CreateBrush(pic);
            QVERIFY(brush.CurBrush() != nullptr);
            QVERIFY(brush.BrushBitmap() != pic.Handle());
            brush.CreateBrush(pic); // replaces the first pair
            QCOMPARE(gdi::liveObjects(), before + 1 + 2);
            Target t(6, 4);
            gdi::FillRect(t.dc, 0, 0, 6, 4, brush.CurBrush());
            QCOMPARE(PixelTest::count(t.image, RED), 6);
            expect(t.image, {{2, 2, RED}, {3, 2, WHITE}});
        }
        QCOMPARE(gdi::liveObjects(), before);
    }
};

QTEST_MAIN(TestCBmp)
#include "test_CBmp.moc"
