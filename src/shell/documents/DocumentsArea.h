#pragma once
// The main window's documents area: opening and saving text files, the search
// window and printing, with the ways a file reaches the window by drag and
// drop (on the window itself, or through the text box's file-path event).

#include "shell/documents/DocumentFiles.h"
#include "shell/documents/TextPrint.h"
#include "shell/documents/TextSearch.h"

#include <QObject>

class DocumentsArea : public QObject
{
    Q_OBJECT
public:
    struct Parts {
        MaviTextBox *textBox = nullptr;
        QWidget *window = nullptr;
        QString *lastDir = nullptr; // the window's last dialog folder
        qint32 *savedSelStart = nullptr; // the window's saved selection
        qint32 *savedSelLength = nullptr;
        DocumentReader *converter = nullptr; // may be null
        TextPrint::PrinterFactory printers; // empty: the default printer
    };
    explicit DocumentsArea(const Parts &parts);

    // Asked before the window closes; true keeps it open. Unsaved text is
    // asked about; while a document is still loading the window closes as
    // soon as it is in.
    bool QueryUnload();

    DocumentFiles m_Files;
    TextSearch m_Search;
    TextPrint m_Print;

protected:
    // Drops on the window.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_Window;
    // Loads once the drop has finished, so the program that the file was
    // dragged from is not kept waiting.
    void loadLater(const QString &path);
};
