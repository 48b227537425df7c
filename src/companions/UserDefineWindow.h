// The custom pronunciation editor: a table of written forms and the way each
// is to be spoken, saved to the list the reader applies before it speaks
// (PronunciationList). Rows can be added, removed and tried aloud; closing
// with unsaved changes asks first.
#pragma once

#include "speech/PronunciationList.h"

#include <QWidget>
#include <memory>

class QLabel;
class QPushButton;
class QTableWidget;
class SpVoice;

class UserDefineWindow : public QWidget
{
    Q_OBJECT
public:
    explicit UserDefineWindow(const QString &file, QWidget *parent = nullptr);
    ~UserDefineWindow() override;

    // The rows as entries, rows without a written form left out.
    QList<PronunciationList::Entry> entries() const;
    void setEntries(const QList<PronunciationList::Entry> &entries);
    bool isModified() const { return m_Modified; }

    // Writes the file. Returns false, saying why, when a written form is
    // there twice or the file cannot be written.
    bool save();
    void addRow();
    void removeSelectedRows();
    // Speaks the spoken form of the current row (its written form when the
    // spoken one is empty).
    void tryCurrentRow();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void updateButtons();

    QString m_File;
    bool m_Modified = false;
    QTableWidget *m_Table = nullptr;
    QPushButton *m_Add = nullptr, *m_Remove = nullptr, *m_Try = nullptr, *m_Save = nullptr,
                *m_Close = nullptr;
    QLabel *m_Status = nullptr;
    std::unique_ptr<SpVoice> m_Voice;
};
