#pragma once
// The role picture that moves its mouth while the voice speaks. It holds the
// phone table, the two built-in image lists and the current role, and draws
// into the off-screen buffer of a CGdi, which reaches the screen in one copy.
//
// Pictures for a phone are looked for in this order: the user's own picture
// "<code>.bmp" (three-digit phone code) in the role's user folder, then the
// built-in "mic_mouth_<mouth>.bmp" in the role's default folder, then the
// image list, where every phoneme also advances the blink counter that closes
// or narrows the eyes now and then. With CustomDefault set only the user's
// own pictures are used and the face is the user's role picture.
//
// Nothing here needs a window: the buffer can be bound to any drawing context,
// so tests and benchmarks draw into a plain DrawSurface.

#include "controls/GdiPicture.h"
#include "controls/TranslateColor.h"
#include "shell/RoleImages.h"
#include "speech/CSAPI_FileID.h"
#include "speech/TTSRole.h"

#include <QSet>
#include <QString>

class CBmp;
class CGdi;

class LipSync
{
public:
    static constexpr int PictureSize = 148;
    static constexpr OleColor TransColor = rgbColor(255, 0, 255);
    static constexpr qint16 BlinkCycle = 24;

    // Loads the phone table; the image lists start empty.
    LipSync(CGdi &gdi, CBmp &bmp);
    LipSync(const LipSync &) = delete;
    LipSync &operator=(const LipSync &) = delete;

    // The built-in lists by default; tests hand in their own.
    void setImageLists(ImageList male, ImageList female);
    void setCustomDefault(bool customDefault) { m_CustomDefault = customDefault; }
    // The colour the face is drawn on.
    void setBackColor(OleColor colour) { m_BackColor = colour; }

    // Makes the gdi's buffer an off-screen copy of picture and shows the
    // resting face in it.
    void bind(gdi::HDC picture);

    // A voice was chosen: its role's image list (the previous one stays when
    // the role's list is empty), its folders and the user's own role picture
    // (null for none). Shows the resting face.
    void setRole(const TTSRole::Role &role, const GdiPicture &rolePicture);

    // The resting face, drawn into the buffer only.
    void DrawRoleFace();
    // The buffer to the screen.
    void UpdateMDC();
    // One phoneme: the mouth picture of phoneId drawn over the face and shown.
    // A phone outside the table, a missing image or an unreadable file shows
    // nothing new; the next phoneme draws afresh.
    void ShowMouth(qint16 phoneId);

    qint16 BlinkCount() const { return m_BlinkCount; }
    const CSAPI_FileID &phoneTable() const { return m_PhoneTable; }
    const TTSRole::Role &role() const { return m_Role; }

private:
    bool drawListImage(const QString &key);
    void drawPicture(const GdiPicture &picture);

    CGdi &m_Gdi;
    CBmp &m_Bmp;
    CSAPI_FileID m_PhoneTable;
    ImageList ImgList_Male;
    ImageList ImgList_Female;
    const ImageList *m_RoleImages = nullptr;
    const QString m_FaceKey = QStringLiteral("Full");
    const QString m_EyesClosedKey = QStringLiteral("Closed");
    const QString m_EyesNarrowKey = QStringLiteral("Narrow");
    qint16 m_BlinkCount = 0;
    bool m_CustomDefault = false;
    GdiPicture m_RolePicture;
    TTSRole::Role m_Role;
    OleColor m_BackColor = rgbColor(255, 255, 255);
    QSet<QString> m_Unreadable; // reported once each
};
