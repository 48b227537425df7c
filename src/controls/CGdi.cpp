#include "controls/CGdi.h"

#include "system/Numeric.h"

#include <QObject>
#include <QVariant>
#include <QWidget>

#include <cmath>
#include <utility>

namespace
{
constexpr OleColor kFace = rgbColor(212, 208, 200);
constexpr OleColor kLight = rgbColor(255, 255, 255);
constexpr OleColor kShadow = rgbColor(129, 129, 129);
constexpr OleColor kBlackColour = rgbColor(0, 0, 0);

// Corner rows of the rounded bevel: inset of the curve and length of the run.
constexpr int kBevelInset[7] = {6, 4, 3, 2, 1, 1, 0};
constexpr int kBevelRun[7] = {2, 2, 1, 1, 1, 1, 1};
constexpr bool kBevelCorner[7] = {true, true, true, true, false, true, false};
} // namespace

CGdi::CGdi()
{
    setCurBrushColor(kFace);
}

CGdi::~CGdi()
{
    ReleaseResource();
    ReleaseMDC();
}

void CGdi::ReleaseResource()
{
    const QStringList penKeys = std::exchange(m_PenKeys, {});
    for (qsizetype i = penKeys.size() - 1; i >= 0; --i)
        gdi::DeleteObject(m_Pens.take(penKeys.at(i)));
    const QStringList brushKeys = std::exchange(m_BrushKeys, {});
    for (qsizetype i = brushKeys.size() - 1; i >= 0; --i)
        gdi::DeleteObject(m_Brushes.take(brushKeys.at(i)));
    m_hLastPen = nullptr;
    if (m_hBrush != gdi::StockNullBrush())
        m_hBrush = nullptr;
}

qint32 CGdi::ToARGB(qint16 red, qint16 green, qint16 blue)
{
    return qint32(red) * 65536 + qint32(green) * 256 + qint32(blue);
}

QString CGdi::ColorKey(OleColor colour)
{
    return QString::number(colour) + QLatin1Char('K');
}

bool CGdi::TestAndAddKey(QStringList &list, const QString &key)
{
    for (const QString &entry : std::as_const(list))
        if (entry == key)
            return true;
    list.append(key);
    return false;
}

void CGdi::setCurPenColor(OleColor colour)
{
    m_PenColor = colour;
    const QString key = ColorKey(colour);
    if (!TestAndAddKey(m_PenKeys, key)) {
        m_hLastPen = gdi::CreatePen(1, colour);
        m_Pens.insert(key, m_hLastPen);
    }
}

gdi::HPEN CGdi::CurPen() const
{
    return m_Pens.value(ColorKey(m_PenColor), nullptr);
}

void CGdi::setCurBrushColor(OleColor colour)
{
    m_BrushColor = colour;
    const QString key = ColorKey(colour);
    if (!TestAndAddKey(m_BrushKeys, key)) {
        m_hBrush = gdi::CreateSolidBrush(colour);
        m_Brushes.insert(key, m_hBrush);
    }
}

gdi::HBRUSH CGdi::CurBrush() const
{
    return m_Brushes.value(ColorKey(m_BrushColor), nullptr);
}

void CGdi::SetNullBrush()
{
    m_hBrush = gdi::StockNullBrush();
    gdi::SelectObject(m_hDrawDC, m_hBrush);
}

void CGdi::setCurFont(gdi::HFONT font)
{
    m_hFont = font;
    if (m_hDrawDC)
        gdi::SelectObject(m_hDrawDC, font);
}

void CGdi::CurFont2(const QFont &font)
{
    setCurFont(&font);
}

void CGdi::setCurTextColor(OleColor colour)
{
    m_TextColor = colour;
    if (m_hDrawDC)
        gdi::SetTextColor(m_hDrawDC, colour);
}

void CGdi::ClearEx(gdi::HDC hDC, int left, int top, int right, int bottom)
{
    if (hDC)
        gdi::FillRect(hDC, left, top, right, bottom, CurBrush());
}

void CGdi::Clear()
{
    ClearEx(m_hDrawDC, 0, 0, Numeric::roundHalfEven(m_Width), Numeric::roundHalfEven(m_Height));
}

void CGdi::FillBox(int x, int y, int w, int h)
{
    ClearEx(m_hDrawDC, x, y, x + w, y + h);
}

void CGdi::ClearWndEx(gdi::HWND hWnd, gdi::HDC hDC)
{
    if (!hDC)
        return;
    const QRect rc = gdi::GetClientRect(hWnd);
    gdi::FillRect(hDC, rc.x(), rc.y(), rc.x() + rc.width(), rc.y() + rc.height(), CurBrush());
}

void CGdi::ClearWnd(gdi::HWND hWnd)
{
    ClearWndEx(hWnd, m_hDrawDC);
}

int CGdi::TextFlags(bool center, bool vcenter, bool singleline)
{
    int flags = center ? gdi::DT_CENTER : gdi::DT_LEFT;
    if (vcenter)
        flags += gdi::DT_VCENTER;
    if (singleline)
        flags += gdi::DT_SINGLELINE;
    return flags;
}

void CGdi::DrawTxtEx(gdi::HDC hDC, const QString &text, int left, int top, int right, int bottom,
    bool center, bool vcenter, bool singleline)
{
    DrawTxtExW(hDC, text, left, top, right, bottom, center, vcenter, singleline);
}

void CGdi::DrawTxt(
    const QString &text, int x, int y, int w, int h, bool center, bool vcenter, bool singleline)
{
    DrawTxtEx(m_hDrawDC, text, x, y, x + w, y + h, center, vcenter, singleline);
}

void CGdi::DrawTxtXy(const QString &text, int left, int top, int right, int bottom, bool center,
    bool vcenter, bool singleline)
{
    DrawTxtEx(m_hDrawDC, text, left, top, right, bottom, center, vcenter, singleline);
}

bool CGdi::DrawTxtExW(gdi::HDC hDC, const QString &text, int left, int top, int right, int bottom,
    bool center, bool vcenter, bool singleline)
{
    return gdi::DrawTextW(
               hDC, text, left, top, right, bottom, TextFlags(center, vcenter, singleline))
        != 0;
}

bool CGdi::DrawTxtW(
    const QString &text, int x, int y, int w, int h, bool center, bool vcenter, bool singleline)
{
    return DrawTxtExW(m_hDrawDC, text, x, y, x + w, y + h, center, vcenter, singleline);
}

bool CGdi::DrawTxtXyW(const QString &text, int left, int top, int right, int bottom, bool center,
    bool vcenter, bool singleline)
{
    return DrawTxtExW(m_hDrawDC, text, left, top, right, bottom, center, vcenter, singleline);
}

bool CGdi::GetBmpSz(const GdiPicture &picture, qint16 &width, qint16 &height)
{
    const gdi::HBITMAP handle = picture.Handle();
    if (!handle)
        return false;
    const QSize size = gdi::BitmapSize(handle);
    width = static_cast<qint16>(size.width());
    height = static_cast<qint16>(size.height());
    return true;
}

void CGdi::ReleaseMDC()
{
    if (!m_hDrawDC || !m_Runtime || m_hDrawDC == m_hTargetDC)
        return;
    gdi::SelectObject(m_hDrawDC, m_hOldBmp);
    gdi::DeleteObject(m_hMemBmp);
    gdi::DeleteDC(m_hDrawDC);
    m_hMemBmp = nullptr;
    m_hOldBmp = nullptr;
    m_hTargetDC = nullptr;
    m_hDrawDC = nullptr;
}

gdi::HDC CGdi::AllocMDC(gdi::HDC hDC, float x, float y, float w, float h)
{
    if (m_hDrawDC)
        ReleaseMDC();
    m_hTargetDC = hDC;
    m_X = x;
    m_Y = y;
    m_Width = w;
    m_Height = h;
    if (m_Runtime) {
        m_hDrawDC = gdi::CreateCompatibleDC(hDC);
        m_hMemBmp = gdi::CreateCompatibleBitmap(
            hDC, Numeric::roundHalfEven(w), Numeric::roundHalfEven(h));
        m_hOldBmp = gdi::SelectObject(m_hDrawDC, m_hMemBmp);
        // Drawing starts from what the target shows now.
        gdi::BitBlt(m_hDrawDC, 0, 0, Numeric::roundHalfEven(w), Numeric::roundHalfEven(h), hDC,
            Numeric::roundHalfEven(x), Numeric::roundHalfEven(y), gdi::SRCCOPY);
    } else {
        m_hDrawDC = hDC;
    }
    gdi::SetBkMode(m_hDrawDC, gdi::TRANSPARENT);
    return m_hDrawDC;
}

gdi::HDC CGdi::AttachCtrl(QObject *control)
{
    auto *wnd = qobject_cast<QWidget *>(control);
    if (!wnd)
        return nullptr;
    const QVariant dc = control->property("hDC");
    if (!dc.isValid() || !dc.canConvert<quintptr>())
        return nullptr;
    return AttachCtrlEx(wnd, reinterpret_cast<gdi::HDC>(dc.value<quintptr>()));
}

gdi::HDC CGdi::AttachCtrlEx(gdi::HWND hWnd, gdi::HDC hDC)
{
    // A surface denser than its window is addressed in device pixels.
    const QImage *target = hDC ? hDC->target() : nullptr;
    const QSize size = target && target->devicePixelRatio() != 1.0
        ? target->size()
        : gdi::GetClientRect(hWnd).size();
    return AllocMDC(hDC, 0, 0, size.width(), size.height());
}

bool CGdi::AttachDC(gdi::HDC hDC)
{
    m_hDrawDC = hDC;
    gdi::SetBkMode(m_hDrawDC, gdi::TRANSPARENT);
    return true;
}

void CGdi::UpdateMDC()
{
    if (m_hDrawDC && m_Runtime)
        gdi::BitBlt(m_hTargetDC, Numeric::roundHalfEven(m_X), Numeric::roundHalfEven(m_Y),
            Numeric::roundHalfEven(m_Width), Numeric::roundHalfEven(m_Height), m_hDrawDC, 0, 0,
            gdi::SRCCOPY);
}

void CGdi::UpdateRcMDC(gdi::HDC hDC, int x, int y, int w, int h)
{
    if (m_hDrawDC && m_Runtime)
        gdi::BitBlt(hDC, x, y, w, h, m_hDrawDC, 0, 0, gdi::SRCCOPY);
}

void CGdi::CopyMDC(gdi::HDC hSrcDC, int srcX, int srcY, int dstX, int dstY, int w, int h)
{
    if (m_hDrawDC)
        gdi::BitBlt(m_hDrawDC, dstX, dstY, w, h, hSrcDC, srcX, srcY, gdi::SRCCOPY);
}

void CGdi::PaintPicture(gdi::HBITMAP hBitmap, int x, int y, int w, int h, int destW, int destH)
{
    if (!m_hDrawDC)
        return;
    gdi::HDC temp = gdi::CreateCompatibleDC(m_hDrawDC);
    gdi::HBITMAP old = gdi::SelectObject(temp, hBitmap);
    if (destW == -1 || destH == -1)
        gdi::BitBlt(m_hDrawDC, x, y, w, h, temp, 0, 0, gdi::SRCCOPY);
    else
        gdi::StretchBlt(m_hDrawDC, x, y, destW, destH, temp, 0, 0, w, h, gdi::SRCCOPY);
    gdi::SelectObject(temp, old);
    gdi::DeleteDC(temp);
}

void CGdi::CopyPicture(gdi::HBITMAP hBitmap, int x, int y, int w, int h)
{
    if (!m_hDrawDC)
        return;
    gdi::HDC temp = gdi::CreateCompatibleDC(m_hDrawDC);
    gdi::HBITMAP old = gdi::SelectObject(temp, hBitmap);
    gdi::BitBlt(temp, x, y, w, h, m_hDrawDC, 0, 0, gdi::SRCCOPY);
    gdi::SelectObject(temp, old);
    gdi::DeleteDC(temp);
}

void CGdi::DrawLineEx(gdi::HDC hDC, int x1, int y1, int x2, int y2, qint16 n)
{
    gdi::SelectObject(hDC, CurPen());
    for (int i = 0; i < n; ++i) {
        gdi::MoveToEx(hDC, x1 + i, y1 + i);
        gdi::LineTo(hDC, x2 - i, y2 - i);
    }
}

void CGdi::DrawLine(int x1, int y1, int x2, int y2, qint16 n)
{
    DrawLineEx(m_hDrawDC, x1, y1, x2, y2, n);
}

void CGdi::DrawBoxEx(gdi::HDC hDC, int x, int y, int w, int h, qint16 n)
{
    gdi::SelectObject(hDC, CurPen());
    const int x2 = x + w, y2 = y + h;
    for (int i = 0; i < n; ++i) {
        gdi::MoveToEx(hDC, x + i, y + i);
        gdi::LineTo(hDC, x2 - i, y + i);
        gdi::LineTo(hDC, x2 - i, y2 - i);
        gdi::LineTo(hDC, x + i, y2 - i);
        gdi::LineTo(hDC, x + i, y + i);
    }
}

void CGdi::DrawBox(int x, int y, int w, int h, qint16 n)
{
    // Rings share the bottom-right corner and step in from the top-left.
    for (int i = 0; i < n; ++i)
        DrawBoxEx(m_hDrawDC, x + i, y + i, w - i, h - i, 1);
}

void CGdi::DrawRoundBox(int x1, int y1, int x2, int y2, qint16 r)
{
    gdi::SelectObject(m_hDrawDC, CurPen());
    gdi::RoundRect(m_hDrawDC, x1, y1, x2, y2, r, r);
}

void CGdi::selectPenOf(OleColor colour)
{
    setCurPenColor(colour);
    gdi::SelectObject(m_hDrawDC, CurPen());
}

void CGdi::Draw3DFrame(int x1, int y1, int x2, int y2, qint16 n, bool down, OleColor fillColor,
    OleColor tlColor, OleColor brColor, bool fill)
{
    if (fill) {
        setCurBrushColor(fillColor);
        FillBox(x1, y1, x2 - x1, y2 - y1 + 1);
    }
    gdi::HDC dc = m_hDrawDC;
    for (int i = 0; i < n; ++i) {
        selectPenOf(tlColor);
        gdi::MoveToEx(dc, x1 + i, y2 - i);
        gdi::LineTo(dc, x1 + i, y1 + i);
        if (!down) {
            gdi::LineTo(dc, x2 - i, y1 + i);
            selectPenOf(brColor);
            gdi::LineTo(dc, x2 - i, y2 - i);
            gdi::LineTo(dc, x1 + i, y2 - i);
        } else {
            // The top runs one pixel longer; the outermost ring has no right and bottom sides.
            gdi::LineTo(dc, x2 + 1 - i, y1 + i);
            if (i >= 1) {
                selectPenOf(brColor);
                gdi::LineTo(dc, x2 + 1 - i, y2 - i);
                gdi::LineTo(dc, x1 + i, y2 - i);
            }
        }
    }
}

void CGdi::Draw3DButton(int x1, int y1, int x2, int y2, qint16 n, OleColor fillColor,
    OleColor tlColor, OleColor brColor, bool fill)
{
    selectPenOf(kBlackColour);
    DrawBox(x1, y1, x2 - x1, y2 - y1, 1);
    Draw3DFrame(x1 + 1, y1 + 1, x2 - 1, y2 - 1, n, false, fillColor, tlColor, brColor, fill);
}

void CGdi::Draw3DButtonDown(int x1, int y1, int x2, int y2, qint16 n, OleColor fillColor,
    OleColor tlColor, OleColor brColor, bool fill)
{
    selectPenOf(kBlackColour);
    DrawBox(x1, y1, x2 - x1, y2 - y1, 1);
    selectPenOf(kShadow);
    gdi::MoveToEx(m_hDrawDC, x1 + 1, y2);
    gdi::LineTo(m_hDrawDC, x1 + 1, y1 + 1);
    gdi::LineTo(m_hDrawDC, x2, y1 + 1);
    Draw3DFrame(x1 + 2, y1 + 2, x2 - 2, y2 - 2, n, true, fillColor, tlColor, brColor, fill);
}

void CGdi::Draw3DGroud(int x1, int y1, int x2, int y2, bool fill)
{
    if (fill) {
        setCurBrushColor(kFace);
        FillBox(x1, y1, x2 - x1, y2 - y1 + 1);
    }
    gdi::HDC dc = m_hDrawDC;
    selectPenOf(kShadow);
    gdi::MoveToEx(dc, x1, y2 - 1);
    gdi::LineTo(dc, x1, y1);
    gdi::LineTo(dc, x2, y1);
    selectPenOf(kLight);
    gdi::MoveToEx(dc, x2, y1);
    gdi::LineTo(dc, x2, y2);
    gdi::LineTo(dc, x1, y2);
    gdi::MoveToEx(dc, x1 + 1, y2 - 2);
    gdi::LineTo(dc, x1 + 1, y1 + 1);
    gdi::LineTo(dc, x2, y1 + 1);
    selectPenOf(kShadow);
    gdi::MoveToEx(dc, x2 - 1, y1 + 1);
    gdi::LineTo(dc, x2 - 1, y2 - 1);
    gdi::LineTo(dc, x1, y2 - 1);
}

void CGdi::DrawFocusFrame(int x1, int y1, int x2, int y2, qint16 n, bool round)
{
    gdi::HDC dc = m_hDrawDC;
    if (!dc)
        return;
    const int oldRop = gdi::SetROP2(dc, gdi::R2_NOT);
    gdi::HBRUSH oldBrush = gdi::SelectObject(dc, gdi::StockNullBrush());
    if (!round) {
        QRect rc(QPoint(x1, y1), QPoint(x2 - 1, y2 - 1));
        for (int i = 1; i <= n; ++i) {
            gdi::Rectangle(dc, rc.left(), rc.top(), rc.right() + 1, rc.bottom() + 1);
            rc.adjust(-1, -1, 1, 1);
        }
    } else {
        gdi::HPEN temp = gdi::CreatePen(n, rgbColor(255, 0, 0));
        gdi::HPEN oldPen = gdi::SelectObject(dc, temp);
        gdi::RoundRect(dc, x1, y1, x2, y2, 16, 16);
        gdi::SelectObject(dc, oldPen);
        gdi::DeleteObject(temp);
    }
    gdi::SelectObject(dc, oldBrush);
    gdi::SetROP2(dc, oldRop);
}

void CGdi::DrawRoundBevel(
    int x1, int y1, int x2, int y2, OleColor brColor, OleColor tlColor, OleColor cornerColor)
{
    gdi::HDC dc = m_hDrawDC;
    const bool corners = cornerColor != -1;
    selectPenOf(tlColor);
    gdi::MoveToEx(dc, x1 + 6, y1);
    gdi::LineTo(dc, x2 - 6, y1);
    gdi::MoveToEx(dc, x1, y1 + 6);
    gdi::LineTo(dc, x1, y2 - 5);
    selectPenOf(brColor);
    gdi::MoveToEx(dc, x2 - 1, y1 + 6);
    gdi::LineTo(dc, x2 - 1, y2 - 5);

    auto cornerRow = [&](int y, int k) {
        const int a = kBevelInset[k], b = kBevelRun[k];
        selectPenOf(tlColor);
        gdi::MoveToEx(dc, x1 + a, y);
        gdi::LineTo(dc, x1 + a + b, y);
        if (corners && kBevelCorner[k])
            gdi::SetPixel(dc, x1 + a - 1, y, cornerColor);
        selectPenOf(brColor);
        gdi::MoveToEx(dc, x2 - a - 1, y);
        gdi::LineTo(dc, x2 - a - 1 - b, y);
        if (corners && kBevelCorner[k])
            gdi::SetPixel(dc, x2 - a, y, cornerColor);
    };
    for (int k = 0; k <= 6; ++k)
        cornerRow(y1 + k, k);
    for (int k = 5; k >= 0; --k)
        cornerRow(y2 - k, k);

    gdi::MoveToEx(dc, x1 + 6, y2);
    gdi::LineTo(dc, x2 - 7, y2);
}

void CGdi::DrawRound3DGroud(int x1, int y1, int x2, int y2, OleColor outerBr, OleColor outerTl,
    OleColor innerBr, OleColor innerTl, bool fill)
{
    if (fill) {
        setCurBrushColor(kFace);
        FillBox(x1, y1, x2 - x1, y2 - y1 + 1);
    }
    DrawRoundBevel(x1, y1, x2, y2, outerBr, outerTl, -1);
    DrawRoundBevel(x1 + 1, y1 + 1, x2 - 1, y2 - 1, innerBr, innerTl, -1);
}

void CGdi::DrawRound3DGroudDown(int x1, int y1, int x2, int y2, OleColor cornerColor, bool fill)
{
    if (fill) {
        setCurBrushColor(kFace);
        FillBox(x1, y1, x2 - x1, y2 - y1 + 1);
    }
    DrawRoundBevel(x1, y1, x2, y2 - 1, rgbColor(40, 40, 40), rgbColor(100, 100, 100), cornerColor);
}
