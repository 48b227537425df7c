#include "shell/LipSync.h"

#include "controls/CBmp.h"
#include "controls/CGdi.h"
#include "system/Log.h"

#include <QFileInfo>

LipSync::LipSync(CGdi &gdi, CBmp &bmp)
    : m_Gdi(gdi)
    , m_Bmp(bmp)
{
    m_PhoneTable.LoadTBL();
}

void LipSync::setImageLists(ImageList male, ImageList female)
{
    const bool wasFemale = m_RoleImages == &ImgList_Female;
    ImgList_Male = std::move(male);
    ImgList_Female = std::move(female);
    if (m_RoleImages)
        m_RoleImages = wasFemale ? &ImgList_Female : &ImgList_Male;
}

void LipSync::bind(gdi::HDC picture)
{
    m_Gdi.setRuntime(true);
    m_Gdi.AllocMDC(picture, 0, 0, PictureSize, PictureSize);
    DrawRoleFace();
    UpdateMDC();
}

void LipSync::setRole(const TTSRole::Role &role, const GdiPicture &rolePicture)
{
    const ImageList &list = role.female ? ImgList_Female : ImgList_Male;
    if (list.Count() > 0)
        m_RoleImages = &list;
    m_Role = role;
    m_RolePicture = rolePicture;
    DrawRoleFace();
    UpdateMDC();
}

void LipSync::DrawRoleFace()
{
    m_Gdi.setCurBrushColor(m_BackColor);
    m_Gdi.Clear();
    if (!m_CustomDefault)
        drawListImage(m_FaceKey);
    else if (!m_RolePicture.isNull())
        drawPicture(m_RolePicture);
}

void LipSync::UpdateMDC()
{
    m_Gdi.UpdateMDC();
}

void LipSync::ShowMouth(qint16 phoneId)
{
    if (!m_CustomDefault)
        DrawRoleFace();
    const QString name = CSAPI_FileID::CodeName(phoneId);
    QString path = m_Role.userFolder + QLatin1Char('/') + name + QStringLiteral(".bmp");
    bool found = QFileInfo(path).isFile();
    if (!found && !m_CustomDefault) {
        const QString number = m_PhoneTable.MouthNumber(name);
        if (number.isEmpty())
            return;
        path = m_Role.defaultFolder + QStringLiteral("/mic_mouth_") + number
            + QStringLiteral(".bmp");
        found = QFileInfo(path).isFile();
        if (!found) {
            // Blinking: closed eyes on counts 2, 8, 14, 20, half-closed on 5,
            // 11, 17, 23 of the cycle.
            if (++m_BlinkCount > BlinkCycle)
                m_BlinkCount = 1;
            if (m_BlinkCount % 6 == 2 && !drawListImage(m_EyesClosedKey))
                return;
            if (m_BlinkCount % 6 == 5 && !drawListImage(m_EyesNarrowKey))
                return;
            if (!drawListImage(QStringLiteral("M") + number))
                return;
            UpdateMDC();
            return;
        }
    }
    if (found) {
        const GdiPicture picture = GdiPicture::load(path);
        if (picture.isNull()) {
            if (!m_Unreadable.contains(path)) {
                m_Unreadable.insert(path);
                qCWarning(lcShell) << "mouth picture" << path << "could not be read";
            }
            return;
        }
        drawPicture(picture);
    }
    UpdateMDC();
}

bool LipSync::drawListImage(const QString &key)
{
    const GdiPicture picture = m_RoleImages ? m_RoleImages->Picture(key) : GdiPicture();
    if (picture.isNull())
        return false;
    drawPicture(picture);
    return true;
}

void LipSync::drawPicture(const GdiPicture &picture)
{
    m_Bmp.DrawTransPictureEx(m_Gdi.GetMemDC(), 0, 0, picture, TransColor, PictureSize, PictureSize);
}
