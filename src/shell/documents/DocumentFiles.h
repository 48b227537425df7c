#pragma once
// Opening and saving the text box's document: the Open and Save commands, the
// unsaved-changes question, loading a file however it arrives (the Open
// dialog, a drop on the window, the text box's file-path event), and the
// dirty and loading flags the text box's change event reads.
//
// Documents are read by the program-wide document reader when there is one,
// else as text in the system code page; the reading runs on a worker thread
// while the window's events go on, so a large file never freezes the window.
// Text is saved as UTF-16LE with a byte-order mark, written beside the target
// and renamed over it, so a failed save leaves the old file as it was.

#include <QString>
#include <QtGlobal>

class DocumentReader;
class MaviTextBox;
class QWidget;

class DocumentFiles
{
public:
    // The most characters a document may have to be put into the text box:
    // beyond this the box would keep the window busy for over a second.
    static constexpr qsizetype MaxDocumentChars = 2 * 1024 * 1024;

    enum class SaveResult { Saved = 0, Failed = 1, Cancelled = 2 };

    // converter may be null: documents are then read as system code page text.
    // lastDir is the window's last dialog folder, shared with the export
    // commands.
    DocumentFiles(
        MaviTextBox &textBox, QWidget *owner, QString &lastDir, DocumentReader *converter);

    // The unsaved-changes question. Returns true when the user cancelled; Yes
    // saves (even a cancelled save dialog goes on) and No discards.
    bool AskSaveChanges();
    void OpenTextCommand();
    // Puts the text of the file at path into the text box. Returns false when
    // nothing was put there: the file could not be read, was refused as too
    // long, or another load is under way.
    bool LoadDocument(const QString &path);
    SaveResult Cmd_SaveTxt();
    // The text box's change event: edits by the user make the text dirty.
    void TextChange();

    bool m_Dirty = false;
    bool m_Loading = false;

    // "name" -> "name.txt"; a name with any extension stays as it is.
    static QString saveTarget(const QString &chosen);
    // Replaces path with FF FE and text's UTF-16LE code units, written beside
    // it and renamed over it. False (old file untouched) on any failure.
    static bool writeUtf16File(const QString &path, const QString &text);
    // The message for a document too long for the text box.
    static QString tooLongText(qsizetype chars);

private:
    struct ReadOutcome {
        bool ok = false;
        bool tooLarge = false;
        QString text;
    };
    ReadOutcome readDocument(const QString &path);
    ReadOutcome readSystemCodePage(const QString &path) const;
    ReadOutcome readInBackground(const QString &path);
    // The documents folder when no dialog has been used yet.
    void ensureLastDir();

    MaviTextBox &m_TextBox;
    QWidget *m_Owner;
    QString &m_LastDir;
    DocumentReader *m_Converter;
};
