// The documents area of the main window: the Open, Save, Search and Print
// buttons, drops of files on the window and the text box.

#include "shell/AppHKey.h"
#include "shell/AppMain.h"
#include "shell/Form_Main.h"
#include "shell/documents/DocumentsArea.h"

#include "controls/CmdX.h"

void Form_Main::createDocuments()
{
    DocumentsArea::Parts parts;
    parts.textBox = Txt_Input;
    parts.window = this;
    parts.lastDir = &m_LastDir;
    parts.savedSelStart = &m_Reading->savedSelStart();
    parts.savedSelLength = &m_Reading->savedSelLength();
    parts.converter = Converter();
    m_Documents = std::make_unique<DocumentsArea>(parts);

    DocumentsArea *area = m_Documents.get();
    connect(Cmd_OpenTxt, &CmdX::Click, area, [area] { area->m_Files.OpenTextCommand(); });
    connect(Cmd_SaveTxt, &CmdX::Click, area, [area] { area->m_Files.Cmd_SaveTxt(); });
    connect(Cmd_SearchT, &CmdX::Click, area, [area] { area->m_Search.Cmd_SearchTClick(); });
    connect(Cmd_PrintDC, &CmdX::Click, area, [this, area] { area->m_Print.Cmd_PrintDC(text()); });

    // F3 searches again; the keys are withdrawn while the not-found message
    // is up, so a key pressed at it does not start a command behind it.
    setHotKeyCommand(AppHKey::FindNext, [area] { area->m_Search.FindAgain(); });
    area->m_Search.setHotKeyHooks(
        [this] { m_HotKeys->UnhookHotKeys(); }, [this] { m_HotKeys->HookHotKeys(this); });
}
