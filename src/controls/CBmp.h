#pragma once
// CBmp pastes bitmaps with one colour left transparent, either through a
// mask and three raster copies (a bitmap handle or a source context) or
// through the platform's keyed transparent copy (a picture object), and
// writes a context's image as a monochrome .bmp file. It keeps no drawing
// state between calls: every temporary context and bitmap it makes is gone
// before the call returns.
//
// CBmpBursh turns a picture into a pattern brush that it owns.

#include "controls/DrawSurface.h"
#include "controls/GdiPicture.h"
#include "controls/GdiPlatform.h"

#include <QString>

class CBmp
{
public:
    QString FileName() const { return m_FileName; }
    void setFileName(const QString &fileName) { m_FileName = fileName; }

    // Writes the top-left width x height pixels behind hDC to FileName as a
    // 1-bit .bmp; false when there is nothing to read or the file cannot be written.
    bool SaveDC(gdi::HDC hDC, qint16 width, qint16 height);
    bool SavePicture(const DrawSurface &box);
    bool Save(const DrawSurface &box, const QString &fileName);

    // A new memory context (also stored in hMaskDC) holding a two-colour,
    // inverted copy of hDC's top-left pixels; the caller deletes it with DeleteMaskDC.
    gdi::HDC CreateMaskDC(gdi::HDC hDC, qint16 width, qint16 height, gdi::HDC &hMaskDC);
    // Deletes a context made by CreateMaskDC together with its bitmap.
    static void DeleteMaskDC(gdi::HDC hMaskDC);
    // White where the source pixel equals transColor, black elsewhere.
    void CreateMask(gdi::HDC hDestDC, int x, int y, int w, int h, gdi::HDC hSrcDC, int srcX,
        int srcY, OleColor transColor);
    // Copies w x h source pixels from its 0,0 corner, leaving the destination
    // alone where the source pixel equals transColor.
    void PasteTransparent(
        gdi::HDC hDestDC, qint16 x, qint16 y, gdi::HDC hSrcDC, OleColor transColor, int w, int h);
    void PasteHandleTransparent(
        gdi::HDC hDestDC, int x, int y, gdi::HBITMAP hBitmap, OleColor transColor, int w, int h);
    // Draws only bitmap pictures; anything else draws nothing.
    void DrawTransPictureEx(gdi::HDC hDestDC, qint16 x, qint16 y, const GdiPicture &picture,
        OleColor transColor, qint16 w, qint16 h);
    void DrawTransPicture(
        gdi::HDC hDestDC, int x, int y, const GdiPicture &picture, OleColor transColor);

    // The bytes of a 1-bit .bmp of hDC's top-left pixels; empty when there is nothing to read.
    static QByteArray MonoBmpFile(gdi::HDC hDC, int width, int height);

private:
    static bool writeFile(const QString &fileName, const QByteArray &bytes);

    QString m_FileName;
};

class CBmpBursh
{
public:
    CBmpBursh() = default;
    ~CBmpBursh();
    CBmpBursh(const CBmpBursh &) = delete;
    CBmpBursh &operator=(const CBmpBursh &) = delete;

    // Replaces (and releases) any brush made before.
    void CreateBrush(const GdiPicture &picture);
    gdi::HBRUSH CurBrush() const { return m_hPatternBrush; }
    gdi::HBITMAP BrushBitmap() const { return m_hBmp; }

private:
    static gdi::HBITMAP CopyBitmap(const GdiPicture &picture);
    void release();

    gdi::HBITMAP m_hBmp = nullptr;
    gdi::HBRUSH m_hPatternBrush = nullptr;
};
