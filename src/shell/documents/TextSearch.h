#pragma once
// Finding text in the text box: the search command that opens the search
// window, Find_Text with the position of the last hit, and what a search that
// finds nothing does (a message, then the selection from before the search
// window opened comes back). Positions count UTF-16 code units of the text
// box's CR LF text; m_FindPos is 1-based, 0 when there is no current hit.

#include <QPointer>
#include <QString>
#include <QtGlobal>
#include <functional>

#include "shell/documents/Form_Search.h"
class MaviTextBox;
class QWidget;

// The text searched for last; it outlives the search window.
extern QString g_SearchText;

class TextSearch
{
public:
    // savedSelStart and savedSelLength are the window's saved selection,
    // shared with reading aloud.
    TextSearch(MaviTextBox &textBox, QWidget *owner, qint32 &savedSelStart, qint32 &savedSelLength);
    ~TextSearch();

    // Saves the selection and opens a new search window with g_SearchText.
    void Cmd_SearchTClick();
    // The search window's find next: takes its text, goes on after the last hit.
    void FindNext(const QString &text);
    // F3 in the main window.
    void FindAgain() { Find_Text(m_FindPos + 1); }
    // Selects the first occurrence of g_SearchText at or after the 1-based
    // start, comparing code unit by code unit. Nothing when g_SearchText is
    // empty.
    void Find_Text(qint32 start);

    // The hot keys are withdrawn while the not-found message is up.
    void setHotKeyHooks(std::function<void()> unhook, std::function<void()> hook);

    static QString notFoundText();

    Form_Search *window() const { return m_Window; }

    qint32 m_FindPos = 0;

private:
    MaviTextBox &m_TextBox;
    QWidget *m_Owner;
    qint32 &m_SavedSelStart;
    qint32 &m_SavedSelLength;
    QPointer<Form_Search> m_Window;
    std::function<void()> m_UnhookHotKeys;
    std::function<void()> m_HookHotKeys;
};
