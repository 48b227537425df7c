#pragma once
// The small modeless search window: an input box, "find next" and "cancel".
// F3 finds the next occurrence from anywhere in the window, Esc closes it.
// The search itself belongs to TextSearch, which makes a new window each
// time it opens one.

#include <QWidget>

class QLineEdit;
class QPushButton;
class QTimer;

class Form_Search : public QWidget
{
    Q_OBJECT
public:
    // Opens with text in the input box; the focus goes there 30 ms after the
    // window appears.
    Form_Search(const QString &text, QWidget *owner);

    static constexpr int FocusDelayMs = 30;

    QLineEdit *Txt_Input = nullptr;
    QPushButton *Cmd_OK = nullptr;
    QPushButton *Cmd_Undo = nullptr;
    QTimer *Timer_Focus = nullptr;

Q_SIGNALS:
    // Find next, with the input box's text.
    void FindNext(const QString &text);

protected:
    void keyPressEvent(QKeyEvent *event) override;
};
