#include "PixelTest.h"
#include "TestFiles.h"
#include "controls/CBmp.h"

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

// A context with `pic` selected, released on destruction.
struct Selected {
    explicit Selected(const GdiPicture &pic)
        : dc(gdi::CreateCompatibleDC(nullptr))
        , old(gdi::SelectObject(dc, pic.Handle()))
    {
    }
    ~Selected()
    {
        gdi::SelectObject(dc, old);
        gdi::DeleteDC(dc);
    }
    gdi::HDC dc;
    gdi::HBITMAP old;
};
} // namespace

class TestCBmp : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void monoFile_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("rowSize");
        QTest::newRow("1 wide") << 1 << 3 << 4;
        QTest::newRow("32 wide") << 32 << 2 << 4;
        QTest::newRow("37 wide") << 37 << 9 << 8;
    }
    void monoFile()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(int, rowSize);
        QTemporaryDir dir;
        DrawSurface box(width, height, WHITE);
        box.Line(0, 0, width, 0, 0); // top row black
        box.Box(0, 1, 0, height - 1, rgbColor(40, 40, 40), true); // dark grey becomes black
        if (width > 20) // light grey becomes white
            box.Box(20, 1, 30, height - 1, rgbColor(230, 230, 230), true);
        CBmp bmp;
        bmp.setFileName(dir.filePath(u"out.bmp"_s));
        QVERIFY(bmp.SavePicture(box));
        const QByteArray b = TestFiles::readAll(bmp.FileName());
        QCOMPARE(b.size(), 62 + rowSize * height);
        QCOMPARE(b.left(2), QByteArray("BM"));
        const auto u16 = [&](int at) { return qFromLittleEndian<quint16>(b.constData() + at); };
        const auto u32 = [&](int at) { return qFromLittleEndian<quint32>(b.constData() + at); };
        QCOMPARE(u16(26), quint16(1)); // planes
        QCOMPARE(u16(28), quint16(1)); // bits a pixel
        // offset: value of the 32-bit header fields, then black and white
        const std::pair<int, quint32> fields[] = {{2, quint32(b.size())}, {6, 0}, {10, 62},
            {14, 40}, {18, quint32(width)}, {22, quint32(height)}, {30, 0},
            {34, quint32(rowSize * height)}, {54, 0}, {58, 0x00FFFFFF}};
        for (const auto &[offset, value] : fields)
            QVERIFY2(u32(offset) == value, qPrintable(u"field at %1"_s.arg(offset)));
        // An image reader sees the same picture in black and white.
        const QImage back(bmp.FileName());
        QCOMPARE(back.size(), QSize(width, height));
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                QCOMPARE(qGray(back.pixel(x, y)), y == 0 || x == 0 ? 0 : 255);
    }

    void saveDcAndUnwritableFiles()
    {
        QTemporaryDir dir;
        GdiPicture pic = GdiPicture::fromImage(PixelTest::canvas(16, 4, WHITE));
        Selected mem(pic);
        gdi::SetPixel(mem.dc, 0, 3, 0);
        CBmp bmp;
        bmp.setFileName(dir.filePath(u"dc.bmp"_s));
        QVERIFY(bmp.SaveDC(mem.dc, 16, 4));
        const QByteArray b = TestFiles::readAll(bmp.FileName());
        // bottom row first: its leftmost pixel is the black one
        QCOMPARE(b.mid(62, 5), QByteArray("\x7F\xFF\0\0\xFF", 5));
        DrawSurface box(10, 10);
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
        Selected src(pic);
        Target mask(8, 6, BG);
        CBmp bmp;
        bmp.CreateMask(mask.dc, 0, 0, 8, 6, src.dc, 0, 0, MAGENTA);
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 8; ++x)
                QCOMPARE(at(mask.image, x, y), x + y >= 9 ? WHITE : 0);
        QCOMPARE(src.dc->bkColor, WHITE); // colours put back
        QCOMPARE(mask.dc->textColor, 0);
    }

    void pasteLeavesKeyPixelsUntouched_data()
    {
        QTest::addColumn<QImage>("source");
        QImage none = PixelTest::canvas(8, 6, RED);
        none.setPixel(7, 5, gdi::toRgb(WHITE));
        QTest::newRow("sprite") << sprite();
        QTest::newRow("all key") << PixelTest::canvas(8, 6, MAGENTA);
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
        const int live = gdi::liveObjects();
        bmp.PasteHandleTransparent(t.dc, 9, 10, pic.Handle(), MAGENTA, 8, 6);
        QCOMPARE(gdi::liveObjects(), live); // the masks made on the way are gone
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 8; ++x) {
                const OleColor s = at(source, x, y);
                QCOMPARE(at(t.image, 9 + x, 10 + y), s == MAGENTA ? at(before, 9 + x, 10 + y) : s);
            }
        QCOMPARE(PixelTest::changedOutside(before, t.image, QRect(9, 10, 8, 6)), 0);
    }

    void transparentPicturesDrawOnlyBitmaps()
    {
        QTemporaryDir dir;
        const QString bmpPath = dir.filePath(u"face.bmp"_s);
        const QString icoPath = dir.filePath(u"face.ico"_s);
        QVERIFY(sprite().save(bmpPath, "BMP") && sprite().save(icoPath, "ICO"));
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
        bmp.DrawTransPicture(t.dc, 2, 2, icon, MAGENTA);
        bmp.DrawTransPictureEx(t.dc, 2, 2, GdiPicture::fromIcon(sprite()), MAGENTA, 8, 6);
        bmp.DrawTransPicture(t.dc, 2, 2, GdiPicture(), MAGENTA);
        QCOMPARE(t.image, before);
        bmp.DrawTransPicture(t.dc, 2, 2, bitmap, MAGENTA);
        expect(t.image, {{3, 3, BLUE}, {2, 2, RED}, {9, 7, BG}}); // the key corner
        QCOMPARE(PixelTest::count(t.image, RED) + 1, 8 * 6 - 10);
        // Ex draws only the given part.
        Target part;
        bmp.DrawTransPictureEx(part.dc, 0, 0, bitmap, MAGENTA, 3, 2);
        QCOMPARE(PixelTest::changedOutside(before, part.image, QRect(0, 0, 3, 2)), 0);
        QCOMPARE(at(part.image, 1, 1), BLUE);
    }
};

QTEST_MAIN(TestCBmp)
#include "test_CBmp.moc"
