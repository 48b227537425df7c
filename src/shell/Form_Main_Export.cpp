// The export area of the main window: the MP3 converter made while loading
// and the two export commands wired to their buttons.

#include "export/CMP3.h"
#include "shell/ExportArea.h"
#include "shell/Form_Main.h"
#include "shell/MessageBox.h"

#include "controls/CmdX.h"

namespace
{
MessageBox::Icon boxIcon(CMP3::Icon icon)
{
    switch (icon) {
    case CMP3::Icon::Information:
        return MessageBox::Icon::Information;
    case CMP3::Icon::Critical:
        return MessageBox::Icon::Critical;
    case CMP3::Icon::Plain:
        break;
    }
    return MessageBox::Icon::None;
}
} // namespace

void Form_Main::CreateMP3()
{
    // Without an encoder this tells the user once, while the window loads.
    m_MP3 = std::make_unique<CMP3>(
        [this](CMP3::Icon icon, const QString &title, const QString &text) {
            MessageBox::show(text, boxIcon(icon), MessageBox::Buttons::Ok, this, title);
        });
}

void Form_Main::CreateExportArea()
{
    m_Export = std::make_unique<ExportArea>(*this, *m_Voice, *m_Reading, m_TTS.get(), m_MP3.get());
    connect(Cmd_SaveWAV, &CmdX::Click, m_Export.get(), &ExportArea::Cmd_SaveWAVClick);
    connect(Cmd_SaveWAVnMP3, &CmdX::Click, m_Export.get(), &ExportArea::Cmd_SaveWAVnMP3Click);
}
