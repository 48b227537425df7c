#include "PixelTest.h"
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
        PixelTest::Target t(40, 30, BG);
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

        PixelTest::Target t(40, 30, BG);
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
        PixelTest::Target part(40, 30, BG);
        bmp.DrawTransPictureEx(part.dc, 0, 0, bitmap, MAGENTA, 3, 2);
        QCOMPARE(PixelTest::changedOutside(before, part.image, QRect(0, 0, 3, 2)), 0);
        QCOMPARE(at(part.image, 1, 1), BLUE);
    }
};

QTEST_MAIN(TestCBmp)
#include "test_CBmp.moc"
