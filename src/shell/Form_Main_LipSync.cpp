// The role picture PicViseme: its lip-sync object, made at start-up with the
// built-in image lists, and the reading's hooks that draw the resting face
// and the mouths into it.

#include "controls/FrameX.h"
#include "controls/PictureSurface.h"
#include "shell/Form_Main.h"
#include "shell/LipSync.h"
#include "shell/RoleImages.h"

void Form_Main::LoadLipSync()
{
    m_LipSync = std::make_unique<LipSync>(*m_Gdi, *m_Bmp);
    m_LipSync->setImageLists(BuiltInRoleImages(false), BuiltInRoleImages(true));
    m_LipSync->setCustomDefault(m_CustomDefault);
    m_LipSync->setBackColor(Frame_P->BackColor());
}

void Form_Main::BindMouthBuffer()
{
    // A hidden widget hears of its size only when shown; the picture's
    // pixels must have that size now, for the face drawn into them. The
    // faces are 148-pixel pictures, addressed in pixels at any density.
    PicViseme->setDensity(1.0);
    PicViseme->surface().resize(PicViseme->width(), PicViseme->height());
    m_LipSync->bind(PicViseme->hDC());
}

void Form_Main::drawRoleFace(bool flush)
{
    if (!m_LipSync)
        return;
    m_LipSync->DrawRoleFace();
    if (flush)
        m_LipSync->UpdateMDC();
}

void Form_Main::showMouth(short phoneId)
{
    if (m_LipSync)
        m_LipSync->ShowMouth(phoneId);
}
