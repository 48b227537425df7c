#pragma once
// The window shown while the text is rendered to a file: its caption and a
// line asking for patience, a bar with the part done, the time left, and a
// Cancel button. It is modeless and owned by the main window, so the main
// window stays usable. Cancel, Esc and the close button all ask for the
// rendering to stop (cancelRequested); the export then hides the window.

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

class Progressing : public QDialog
{
    Q_OBJECT
public:
    explicit Progressing(QWidget *owner);

    void setTexts(const QString &caption, const QString &label);
    void setProgress(int percent, const QString &timeLeft);
    // Puts the window's outer frame in the middle of `main`'s outer frame.
    void centreOn(const QWidget *main);

    QLabel *Label1 = nullptr;
    QProgressBar *Bar = nullptr;
    QLabel *L_TimeLeft = nullptr;
    QPushButton *Cmd_Cancel = nullptr;

Q_SIGNALS:
    void cancelRequested();

public Q_SLOTS:
    // Esc and the close button: the window stays until the export hides it.
    void reject() override;
};
