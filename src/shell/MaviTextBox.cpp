#include "shell/MaviTextBox.h"

#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFontInfo>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>
#include <QUrl>

#include <algorithm>

namespace
{
// Every kind of line break as the editor's own: '\n', one block per line. A
// line separator (Shift+Enter, or pasted) would otherwise stay inside its
// block and read back as itself.
QString withLineFeeds(const QString &text)
{
    const char16_t *in = reinterpret_cast<const char16_t *>(text.constData());
    const qsizetype n = text.size();
    qsizetype first = 0;
    while (first < n && in[first] != u'\r' && in[first] != 0x2028 && in[first] != 0x2029)
        ++first;
    if (first == n)
        return text; // nothing to change: no copy
    QString plain(n, Qt::Uninitialized);
    char16_t *out = reinterpret_cast<char16_t *>(plain.data());
    std::copy(in, in + first, out);
    qsizetype o = first;
    for (qsizetype i = first; i < n; ++i) {
        const char16_t c = in[i];
        if (c == u'\r' && i + 1 < n && in[i + 1] == u'\n')
            continue; // the LF that follows ends the line
        out[o++] = (c == u'\r' || c == 0x2028 || c == 0x2029) ? u'\n' : c;
    }
    plain.truncate(o);
    return plain;
}
} // namespace

MaviTextBox::MaviTextBox(QWidget *parent)
    : QPlainTextEdit(parent)
{
    setAcceptDrops(true);
    setTabChangesFocus(true);
    // Typing and undo go through textChanged; a write of the whole text is
    // announced once by setText itself.
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (!m_settingText)
            Q_EMIT Change();
    });
}

QString MaviTextBox::Text() const
{
    QString text = document()->toRawText();
    // The document keeps line ends as paragraph separators.
    text.replace(QChar::ParagraphSeparator, QLatin1String("\r\n"));
    return text;
}

void MaviTextBox::setText(const QString &text)
{
    m_settingText = true;
    setPlainText(withLineFeeds(text));
    m_settingText = false;
    Q_EMIT Change();
}

int MaviTextBox::crlfLength() const
{
    const QTextDocument *doc = document();
    // characterCount counts one separator per block, the last one implicit.
    return doc->characterCount() - 1 + (doc->blockCount() - 1);
}

int MaviTextBox::toCrlfOffset(int position) const
{
    const QTextDocument *doc = document();
    position = std::clamp(position, 0, doc->characterCount() - 1);
    // Each earlier line end is one position in the editor and two in CR LF.
    return position + doc->findBlock(position).blockNumber();
}

int MaviTextBox::toPosition(int crlfOffset) const
{
    const QTextDocument *doc = document();
    crlfOffset = std::clamp(crlfOffset, 0, crlfLength());
    // Block i starts at CR LF offset position(i) + i, which grows with i:
    // find the last block starting at or before the offset.
    int lo = 0;
    int hi = doc->blockCount() - 1;
    while (lo < hi) {
        const int mid = lo + (hi - lo + 1) / 2;
        if (doc->findBlockByNumber(mid).position() + mid <= crlfOffset)
            lo = mid;
        else
            hi = mid - 1;
    }
    const QTextBlock block = doc->findBlockByNumber(lo);
    const int inBlock = crlfOffset - (block.position() + lo);
    // Past the line's text means between the CR and the LF: the line end.
    return block.position() + std::min(inBlock, block.length() - 1);
}

int MaviTextBox::SelStart() const
{
    return toCrlfOffset(textCursor().selectionStart());
}

int MaviTextBox::SelLength() const
{
    const QTextCursor cursor = textCursor();
    return toCrlfOffset(cursor.selectionEnd()) - toCrlfOffset(cursor.selectionStart());
}

void MaviTextBox::setSelStart(int start)
{
    if (start < 0)
        return;
    QTextCursor cursor = textCursor();
    cursor.setPosition(toPosition(start));
    setTextCursor(cursor);
}

void MaviTextBox::setSelLength(int length)
{
    if (length < 0)
        return;
    QTextCursor cursor = textCursor();
    const int start = cursor.selectionStart();
    const qint64 end = qint64(toCrlfOffset(start)) + length;
    cursor.setPosition(start);
    cursor.setPosition(
        toPosition(int(std::min<qint64>(end, crlfLength()))), QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

QString MaviTextBox::SelText() const
{
    QString text = textCursor().selectedText();
    text.replace(QChar::ParagraphSeparator, QLatin1String("\r\n"));
    return text;
}

QString MaviTextBox::FontName() const
{
    return QFontInfo(font()).family();
}

void MaviTextBox::setFontName(const QString &family)
{
    QFont f = font();
    f.setFamily(family);
    setFont(f);
}

QColor MaviTextBox::BackColor() const
{
    return palette().color(QPalette::Base);
}

void MaviTextBox::setBackColor(const QColor &colour)
{
    QPalette p = palette();
    p.setColor(QPalette::Base, colour);
    setPalette(p);
}

bool MaviTextBox::Invoke(int dispid, qint32 value)
{
    if (dispid != DispidFeatures)
        return false;
    m_features = value & AllFeatures;
    setUndoRedoEnabled(m_features & UndoRedo);
    setLineWrapMode((m_features & WordWrap) ? WidgetWidth : NoWrap);
    return true;
}

void MaviTextBox::keyPressEvent(QKeyEvent *event)
{
    // Tab moves on to the next control; Ctrl+Tab types the tab instead.
    if (event->key() == Qt::Key_Tab && event->modifiers() == Qt::ControlModifier) {
        if (!isReadOnly())
            insertPlainText(QStringLiteral("\t"));
        event->accept();
        return;
    }
    if (!event->matches(QKeySequence::InsertLineSeparator)) {
        QPlainTextEdit::keyPressEvent(event);
        return;
    }
    // Shift+Enter starts a new line like Enter does.
    QKeyEvent plain(event->type(), event->key(), event->modifiers() & ~Qt::ShiftModifier,
        event->text(), event->isAutoRepeat(), ushort(event->count()));
    QPlainTextEdit::keyPressEvent(&plain);
    event->setAccepted(plain.isAccepted());
}

void MaviTextBox::insertFromMimeData(const QMimeData *source)
{
    if (!source || !source->hasText()) {
        QPlainTextEdit::insertFromMimeData(source);
        return;
    }
    QMimeData plain;
    plain.setText(withLineFeeds(source->text()));
    QPlainTextEdit::insertFromMimeData(&plain);
}

QString MaviTextBox::droppedFile(const QMimeData *mime)
{
    if (!mime || !mime->hasUrls())
        return QString();
    const QList<QUrl> urls = mime->urls();
    for (const QUrl &url : urls) {
        if (url.isLocalFile())
            return url.toLocalFile();
    }
    return QString();
}

void MaviTextBox::dragEnterEvent(QDragEnterEvent *event)
{
    if (droppedFile(event->mimeData()).isEmpty()) {
        QPlainTextEdit::dragEnterEvent(event);
    } else if (m_features & FileDrops) {
        event->acceptProposedAction();
    } else {
        // A path must never land in the text as if typed.
        event->ignore();
    }
}

void MaviTextBox::dragMoveEvent(QDragMoveEvent *event)
{
    if (droppedFile(event->mimeData()).isEmpty())
        QPlainTextEdit::dragMoveEvent(event);
    else if (m_features & FileDrops)
        event->acceptProposedAction();
    else
        event->ignore();
}

void MaviTextBox::dropEvent(QDropEvent *event)
{
    const QString path = droppedFile(event->mimeData());
    if (path.isEmpty()) {
        QPlainTextEdit::dropEvent(event);
        return;
    }
    if (!(m_features & FileDrops)) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    Q_EMIT FilePath(path);
}

void MaviTextBox::contextMenuEvent(QContextMenuEvent *event)
{
    if (m_features & ContextMenu)
        QPlainTextEdit::contextMenuEvent(event);
    else
        event->ignore();
}
