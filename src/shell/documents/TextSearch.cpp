#include "shell/documents/TextSearch.h"

#include "shell/MaviTextBox.h"
#include "shell/MessageBox.h"
#include "shell/documents/Form_Search.h"

#include <algorithm>

QString g_SearchText;

TextSearch::TextSearch(
    MaviTextBox &textBox, QWidget *owner, qint32 &savedSelStart, qint32 &savedSelLength)
    : m_TextBox(textBox)
    , m_Owner(owner)
    , m_SavedSelStart(savedSelStart)
    , m_SavedSelLength(savedSelLength)
{
}

TextSearch::~TextSearch()
{
    delete m_Window;
}

void TextSearch::Cmd_SearchTClick()
{
    m_SavedSelStart = m_TextBox.SelStart();
    m_SavedSelLength = m_TextBox.SelLength();
    // Each opening starts from a new window.
    delete m_Window;
    m_Window = new Form_Search(g_SearchText, m_Owner);
    QObject::connect(m_Window, &Form_Search::FindNext, m_Window,
        [this](const QString &text) { FindNext(text); });
    m_Window->show();
    m_Window->raise();
}

void TextSearch::FindNext(const QString &text)
{
    g_SearchText = text;
    Find_Text(m_FindPos != 0 ? m_FindPos + 1 : 1);
}

void TextSearch::Find_Text(qint32 start)
{
    if (g_SearchText.isEmpty())
        return;
    const QString text = m_TextBox.Text();
    const qsizetype found
        = text.indexOf(g_SearchText, std::max<qint32>(start, 1) - 1, Qt::CaseSensitive);
    if (found >= 0) {
        m_FindPos = qint32(found + 1);
        m_TextBox.setSelStart(qint32(found));
        m_TextBox.setSelLength(qint32(g_SearchText.size()));
        return;
    }
    if (m_UnhookHotKeys)
        m_UnhookHotKeys();
    // Over the search window when it is open, so the focus goes back there.
    QWidget *parent = m_Window && m_Window->isVisible() ? m_Window.data() : m_Owner;
    MessageBox::show(notFoundText(), MessageBox::Icon::None, MessageBox::Buttons::Ok, parent);
    if (m_HookHotKeys)
        m_HookHotKeys();
    m_FindPos = 0;
    m_TextBox.setSelStart(m_SavedSelStart);
    m_TextBox.setSelLength(m_SavedSelLength);
}

void TextSearch::setHotKeyHooks(std::function<void()> unhook, std::function<void()> hook)
{
    m_UnhookHotKeys = std::move(unhook);
    m_HookHotKeys = std::move(hook);
}

QString TextSearch::notFoundText()
{
    return QStringLiteral("找不到要搜尋的文字！");
}
