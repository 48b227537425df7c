#include "controls/CBmp.h"

#include "system/Numeric.h"

#include <QDataStream>
#include <QFile>

namespace
{
constexpr int kHeaderSize = 62; // file header 14 + information header 40 + two palette entries
} // namespace

QByteArray CBmp::MonoBmpFile(gdi::HDC hDC, int width, int height)
{
    QByteArray palette;
    const QByteArray bits = gdi::GetMonoDIBits(hDC, width, height, &palette);
    if (bits.isEmpty())
        return QByteArray();
    const quint32 imageSize = static_cast<quint32>(bits.size());
    QByteArray out;
    QDataStream s(&out, QIODevice::WriteOnly);
    s.setByteOrder(QDataStream::LittleEndian);
    s.writeRawData("BM", 2);
    s << quint32(imageSize + kHeaderSize) << quint16(0) << quint16(0) << quint32(kHeaderSize);
    s << quint32(40) << qint32(width) << qint32(height) << quint16(1) << quint16(1) << quint32(0)
      << imageSize << quint32(0) << quint32(0) << quint32(0) << quint32(0);
    s.writeRawData(palette.constData(), int(palette.size()));
    s.writeRawData(bits.constData(), int(bits.size()));
    return out;
}

bool CBmp::writeFile(const QString &fileName, const QByteArray &bytes)
{
    if (bytes.isEmpty() || fileName.isEmpty())
        return false;
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return file.write(bytes) == bytes.size() && file.flush();
}

bool CBmp::SaveDC(gdi::HDC hDC, qint16 width, qint16 height)
{
    return writeFile(m_FileName, MonoBmpFile(hDC, width, height));
}

bool CBmp::SavePicture(const DrawSurface &box)
{
    return SaveDC(box.hDC(), static_cast<qint16>(Numeric::roundHalfEven(box.ScaleWidth())),
        static_cast<qint16>(Numeric::roundHalfEven(box.ScaleHeight())));
}

bool CBmp::Save(const DrawSurface &box, const QString &fileName)
{
    return writeFile(fileName, MonoBmpFile(box.hDC(), box.width(), box.height()));
}

gdi::HDC CBmp::CreateMaskDC(gdi::HDC hDC, qint16 width, qint16 height, gdi::HDC &hMaskDC)
{
    gdi::HDC mem = gdi::CreateCompatibleDC(hDC);
    gdi::SelectObject(mem, gdi::CreateCompatibleBitmap(hDC, width, height));
    gdi::BitBlt(mem, 0, 0, width, height, hDC, 0, 0, gdi::SRCCOPY);
    gdi::BitBlt(mem, 0, 0, width, height, nullptr, 0, 0, gdi::DSTINVERT);

    gdi::HDC monoDC = gdi::CreateCompatibleDC(hDC);
    gdi::HBITMAP mono = gdi::CreateMonoBitmap(width, height);
    gdi::HBITMAP oldMono = gdi::SelectObject(monoDC, mono);
    gdi::BitBlt(monoDC, 0, 0, width, height, mem, 0, 0, gdi::SRCCOPY);
    gdi::BitBlt(mem, 0, 0, width, height, monoDC, 0, 0, gdi::SRCCOPY);
    gdi::SelectObject(monoDC, oldMono);
    gdi::DeleteObject(mono);
    gdi::DeleteDC(monoDC);

    hMaskDC = mem;
    return mem;
}

void CBmp::DeleteMaskDC(gdi::HDC hMaskDC)
{
    if (!hMaskDC)
        return;
    gdi::HBITMAP bitmap = hMaskDC->bitmap;
    gdi::DeleteDC(hMaskDC);
    gdi::DeleteObject(bitmap);
}

void CBmp::CreateMask(gdi::HDC hDestDC, int x, int y, int w, int h, gdi::HDC hSrcDC, int srcX,
    int srcY, OleColor transColor)
{
    gdi::HDC monoDC = gdi::CreateCompatibleDC(hDestDC);
    gdi::HBITMAP mono = gdi::CreateMonoBitmap(w, h);
    gdi::HBITMAP oldMono = gdi::SelectObject(monoDC, mono);

    // Colour to monochrome: pixels in the source's background colour become 1.
    const OleColor oldSrcBk = gdi::SetBkColor(hSrcDC, transColor);
    gdi::BitBlt(monoDC, 0, 0, w, h, hSrcDC, srcX, srcY, gdi::SRCCOPY);
    gdi::SetBkColor(hSrcDC, oldSrcBk);

    const OleColor oldBk = gdi::SetBkColor(hDestDC, rgbColor(255, 255, 255));
    const OleColor oldText = gdi::SetTextColor(hDestDC, rgbColor(0, 0, 0));
    gdi::BitBlt(hDestDC, x, y, w, h, monoDC, 0, 0, gdi::SRCCOPY);
    gdi::SetBkColor(hDestDC, oldBk);
    gdi::SetTextColor(hDestDC, oldText);

    gdi::SelectObject(monoDC, oldMono);
    gdi::DeleteObject(mono);
    gdi::DeleteDC(monoDC);
}

void CBmp::PasteTransparent(
    gdi::HDC hDestDC, qint16 x, qint16 y, gdi::HDC hSrcDC, OleColor transColor, int w, int h)
{
    if (!hDestDC || !hSrcDC || w <= 0 || h <= 0)
        return;
    gdi::HDC maskDC = nullptr;
    CreateMaskDC(hSrcDC, static_cast<qint16>(w), static_cast<qint16>(h), maskDC);
    CreateMask(maskDC, 0, 0, w, h, hSrcDC, 0, 0, transColor);
    // White mask bits give the destination back unchanged, black ones the source.
    gdi::BitBlt(hDestDC, x, y, w, h, hSrcDC, 0, 0, gdi::SRCINVERT);
    gdi::BitBlt(hDestDC, x, y, w, h, maskDC, 0, 0, gdi::SRCAND);
    gdi::BitBlt(hDestDC, x, y, w, h, hSrcDC, 0, 0, gdi::SRCINVERT);
    DeleteMaskDC(maskDC);
}

void CBmp::PasteHandleTransparent(
    gdi::HDC hDestDC, int x, int y, gdi::HBITMAP hBitmap, OleColor transColor, int w, int h)
{
    if (!hDestDC || !hBitmap)
        return;
    gdi::HDC temp = gdi::CreateCompatibleDC(hDestDC);
    gdi::HBITMAP old = gdi::SelectObject(temp, hBitmap);
    PasteTransparent(
        hDestDC, static_cast<qint16>(x), static_cast<qint16>(y), temp, transColor, w, h);
    gdi::SelectObject(temp, old);
    gdi::DeleteDC(temp);
}

void CBmp::DrawTransPictureEx(gdi::HDC hDestDC, qint16 x, qint16 y, const GdiPicture &picture,
    OleColor transColor, qint16 w, qint16 h)
{
    if (picture.Type() != GdiPicture::PicTypeBitmap)
        return;
    gdi::HDC temp = gdi::CreateCompatibleDC(hDestDC);
    if (!temp)
        return;
    gdi::HBITMAP old = gdi::SelectObject(temp, picture.Handle());
    gdi::TransparentBlt(hDestDC, x, y, w, h, temp, 0, 0, w, h, transColor);
    gdi::SelectObject(temp, old);
    gdi::DeleteDC(temp);
}

void CBmp::DrawTransPicture(
    gdi::HDC hDestDC, int x, int y, const GdiPicture &picture, OleColor transColor)
{
    if (picture.Type() != GdiPicture::PicTypeBitmap || !picture.Handle())
        return;
    const QSize size = gdi::BitmapSize(picture.Handle());
    DrawTransPictureEx(hDestDC, static_cast<qint16>(x), static_cast<qint16>(y), picture, transColor,
        static_cast<qint16>(size.width()), static_cast<qint16>(size.height()));
}

CBmpBursh::~CBmpBursh()
{
    release();
}

void CBmpBursh::release()
{
    gdi::DeleteObject(m_hPatternBrush);
    gdi::DeleteObject(m_hBmp);
    m_hPatternBrush = nullptr;
    m_hBmp = nullptr;
}

void CBmpBursh::CreateBrush(const GdiPicture &picture)
{
    release();
    m_hBmp = CopyBitmap(picture);
    m_hPatternBrush = gdi::CreatePatternBrush(m_hBmp);
}

gdi::HBITMAP CBmpBursh::CopyBitmap(const GdiPicture &picture)
{
    const QSize size = gdi::BitmapSize(picture.Handle());
    if (size.isEmpty())
        return nullptr;
    gdi::HDC display = gdi::CreateDisplayDC();
    gdi::HDC from = gdi::CreateCompatibleDC(display);
    gdi::HDC to = gdi::CreateCompatibleDC(display);
    gdi::HBITMAP oldFrom = gdi::SelectObject(from, picture.Handle());
    gdi::HBITMAP copy = gdi::CreateCompatibleBitmap(display, size.width(), size.height());
    gdi::HBITMAP oldTo = gdi::SelectObject(to, copy);
    gdi::BitBlt(to, 0, 0, size.width(), size.height(), from, 0, 0, gdi::SRCCOPY);
    gdi::DeleteDC(display);
    gdi::SelectObject(from, oldFrom);
    gdi::SelectObject(to, oldTo);
    gdi::DeleteDC(from);
    gdi::DeleteDC(to);
    return copy;
}
