#pragma once
// CGdi wraps one drawing target and gives the windows a small drawing
// vocabulary: an optional off-screen buffer copied back in one call, solid
// pens and brushes cached by colour for the life of the object, the current
// font and text colour, and primitives for fills, text, lines, boxes,
// classic 3-D frames and buttons, an etched groove, an inverting focus
// frame and a rounded bevel. Every primitive draws into the drawing context
// (GetMemDC); with no drawing context nothing is drawn.
//
// Colours are 0x00BBGGRR values. Drawing operations never create or delete
// cached pens or brushes; one pen and one brush exist per distinct colour.

#include "controls/GdiPicture.h"
#include "controls/GdiPlatform.h"

#include <QHash>
#include <QStringList>

class QObject;

class CGdi
{
public:
    CGdi();
    ~CGdi();
    CGdi(const CGdi &) = delete;
    CGdi &operator=(const CGdi &) = delete;

    // Deletes every cached pen and brush, last created first, and empties the key lists.
    void ReleaseResource();

    bool Runtime() const { return m_Runtime; }
    // Takes effect at the next AllocMDC / ReleaseMDC only.
    void setRuntime(bool value) { m_Runtime = value; }

    // 0x00RRGGBB: the byte order opposite to a colour value.
    static qint32 ToARGB(qint16 red, qint16 green, qint16 blue);

    OleColor CurPenColor() const { return m_PenColor; }
    void setCurPenColor(OleColor colour);
    // The cached pen of the current pen colour, null when there is none.
    gdi::HPEN CurPen() const;
    OleColor CurBrushColor() const { return m_BrushColor; }
    void setCurBrushColor(OleColor colour);
    gdi::HBRUSH CurBrush() const;
    void SetNullBrush();

    gdi::HFONT CurFont() const { return m_hFont; }
    void setCurFont(gdi::HFONT font);
    // The font stays the caller's and must outlive its use here.
    void CurFont2(const QFont &font);
    OleColor CurTextColor() const { return m_TextColor; }
    void setCurTextColor(OleColor colour);

    void ClearEx(gdi::HDC hDC, int left, int top, int right, int bottom);
    void Clear();
    void FillBox(int x, int y, int w, int h);
    void ClearWndEx(gdi::HWND hWnd, gdi::HDC hDC);
    void ClearWnd(gdi::HWND hWnd);

    void DrawTxtEx(gdi::HDC hDC, const QString &text, int left, int top, int right, int bottom,
        bool center, bool vcenter, bool singleline);
    void DrawTxt(const QString &text, int x, int y, int w, int h, bool center, bool vcenter,
        bool singleline);
    void DrawTxtXy(const QString &text, int left, int top, int right, int bottom, bool center,
        bool vcenter, bool singleline);
    // As DrawTxtEx, but false when the text could not be drawn.
    bool DrawTxtExW(gdi::HDC hDC, const QString &text, int left, int top, int right, int bottom,
        bool center, bool vcenter, bool singleline);
    bool DrawTxtW(const QString &text, int x, int y, int w, int h, bool center, bool vcenter,
        bool singleline);
    bool DrawTxtXyW(const QString &text, int left, int top, int right, int bottom, bool center,
        bool vcenter, bool singleline);
    // The flags the text calls pass on: 1 centre, 4 vertical centre, 32 single line.
    static int TextFlags(bool center, bool vcenter, bool singleline);

    // False (and the outputs untouched) for a picture without a bitmap.
    static bool GetBmpSz(const GdiPicture &picture, qint16 &width, qint16 &height);

    gdi::HDC GetMemDC() const { return m_hDrawDC; }
    void ReleaseMDC();
    gdi::HDC AllocMDC(gdi::HDC hDC, float x, float y, float w, float h);
    // Reads the control's widget and its "hDC" property; null when either is
    // missing. The area covers the control, in device pixels on a dense surface.
    gdi::HDC AttachCtrl(QObject *control);
    gdi::HDC AttachCtrlEx(gdi::HWND hWnd, gdi::HDC hDC);
    bool AttachDC(gdi::HDC hDC);
    void DetachDC() { m_hDrawDC = nullptr; }
    void UpdateMDC();
    void UpdateRcMDC(gdi::HDC hDC, int x, int y, int w, int h);
    void CopyMDC(gdi::HDC hSrcDC, int srcX, int srcY, int dstX, int dstY, int w, int h);
    void PaintPicture(gdi::HBITMAP hBitmap, int x, int y, int w, int h, int destW, int destH);
    void CopyPicture(gdi::HBITMAP hBitmap, int x, int y, int w, int h);

    void DrawLineEx(gdi::HDC hDC, int x1, int y1, int x2, int y2, qint16 n);
    void DrawLine(int x1, int y1, int x2, int y2, qint16 n);
    void DrawBoxEx(gdi::HDC hDC, int x, int y, int w, int h, qint16 n);
    void DrawBox(int x, int y, int w, int h, qint16 n);
    void DrawRoundBox(int x1, int y1, int x2, int y2, qint16 r);
    void Draw3DFrame(int x1, int y1, int x2, int y2, qint16 n, bool down, OleColor fillColor,
        OleColor tlColor, OleColor brColor, bool fill);
    void Draw3DButton(int x1, int y1, int x2, int y2, qint16 n, OleColor fillColor,
        OleColor tlColor, OleColor brColor, bool fill);
    void Draw3DButtonDown(int x1, int y1, int x2, int y2, qint16 n, OleColor fillColor,
        OleColor tlColor, OleColor brColor, bool fill);
    void Draw3DGroud(int x1, int y1, int x2, int y2, bool fill);
    // Inverts what it touches, so drawing the same frame twice restores the pixels.
    void DrawFocusFrame(int x1, int y1, int x2, int y2, qint16 n, bool round);
    void DrawRound3DGroud(int x1, int y1, int x2, int y2, OleColor outerBr, OleColor outerTl,
        OleColor innerBr, OleColor innerTl, bool fill);
    void DrawRound3DGroudDown(int x1, int y1, int x2, int y2, OleColor cornerColor, bool fill);

    // The cache as it stands: keys in creation order and the last objects made.
    const QStringList &PenKeys() const { return m_PenKeys; }
    const QStringList &BrushKeys() const { return m_BrushKeys; }
    gdi::HPEN LastPen() const { return m_hLastPen; }
    gdi::HBRUSH LastBrush() const { return m_hBrush; }
    gdi::HDC TargetDC() const { return m_hTargetDC; }
    // "255K" for red: the decimal colour followed by K.
    static QString ColorKey(OleColor colour);

private:
    static bool TestAndAddKey(QStringList &list, const QString &key);
    void DrawRoundBevel(
        int x1, int y1, int x2, int y2, OleColor brColor, OleColor tlColor, OleColor cornerColor);
    void selectPenOf(OleColor colour);

    bool m_Runtime = false;
    gdi::HPEN m_hLastPen = nullptr;
    gdi::HFONT m_hFont = nullptr;
    gdi::HBRUSH m_hBrush = nullptr;
    OleColor m_TextColor = 0;
    OleColor m_PenColor = 0;
    OleColor m_BrushColor = 0;
    QHash<QString, gdi::HPEN> m_Pens;
    QHash<QString, gdi::HBRUSH> m_Brushes;
    QStringList m_PenKeys;
    QStringList m_BrushKeys;
    gdi::HDC m_hTargetDC = nullptr;
    gdi::HDC m_hDrawDC = nullptr;
    gdi::HBITMAP m_hMemBmp = nullptr;
    gdi::HBITMAP m_hOldBmp = nullptr;
    float m_X = 0;
    float m_Y = 0;
    float m_Width = 0;
    float m_Height = 0;
};
