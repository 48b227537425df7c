#include "shell/documents/DocumentsArea.h"

#include "shell/MaviTextBox.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QTimer>
#include <QWidget>

namespace
{
constexpr int LoadPollMs = 50;
}

DocumentsArea::DocumentsArea(const Parts &parts)
    : m_Files(*parts.textBox, parts.window, *parts.lastDir, parts.converter)
    , m_Search(*parts.textBox, parts.window, *parts.savedSelStart, *parts.savedSelLength)
    , m_Print(parts.window, parts.printers)
    , m_Window(parts.window)
{
    parts.window->setAcceptDrops(true);
    parts.window->installEventFilter(this);
    connect(parts.textBox, &MaviTextBox::FilePath, this,
        [this](const QString &path) { loadLater(path); });
}

bool DocumentsArea::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto *drag = static_cast<QDragMoveEvent *>(event);
        if (MaviTextBox::droppedFile(drag->mimeData()).isEmpty())
            return false;
        drag->acceptProposedAction();
        return true;
    }
    case QEvent::Drop: {
        auto *drop = static_cast<QDropEvent *>(event);
        const QString path = MaviTextBox::droppedFile(drop->mimeData());
        if (path.isEmpty())
            return false;
        drop->acceptProposedAction();
        loadLater(path);
        return true;
    }
    default:
        return QObject::eventFilter(watched, event);
    }
}

bool DocumentsArea::QueryUnload()
{
    if (m_Files.m_Loading) {
        QTimer::singleShot(LoadPollMs, this, [this] { m_Window->close(); });
        return true;
    }
    return m_Files.AskSaveChanges();
}

void DocumentsArea::loadLater(const QString &path)
{
    QTimer::singleShot(0, this, [this, path] { m_Files.LoadDocument(path); });
}
