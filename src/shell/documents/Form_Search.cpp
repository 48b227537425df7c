#include "shell/documents/Form_Search.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

Form_Search::Form_Search(const QString &text, QWidget *owner)
    : QWidget(owner, Qt::Dialog)
{
    setObjectName(QStringLiteral("Form_Search"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("搜尋"));

    Txt_Input = new QLineEdit(text, this);
    Txt_Input->setObjectName(QStringLiteral("Txt_Input"));
    Txt_Input->setMinimumWidth(260);
    Cmd_OK = new QPushButton(QStringLiteral("尋找下一筆 (F3)"), this);
    Cmd_OK->setObjectName(QStringLiteral("Cmd_OK"));
    Cmd_Undo = new QPushButton(QStringLiteral("取消"), this);
    Cmd_Undo->setObjectName(QStringLiteral("Cmd_Undo"));

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Cmd_OK);
    buttons->addWidget(Cmd_Undo);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Txt_Input);
    layout->addLayout(buttons);
    setFixedSize(sizeHint());
    // Over the top right of the owner, clear of the text's first lines.
    if (owner) {
        const QRect area = owner->geometry();
        move(area.right() - width() - area.width() / 10, area.top() + area.height() / 5);
    }

    Timer_Focus = new QTimer(this);
    Timer_Focus->setObjectName(QStringLiteral("Timer_Focus"));
    Timer_Focus->setSingleShot(true);
    Timer_Focus->setInterval(FocusDelayMs);
    connect(Timer_Focus, &QTimer::timeout, this, [this] {
        Timer_Focus->stop();
        activateWindow();
        Txt_Input->setFocus();
    });
    connect(Cmd_OK, &QPushButton::clicked, this, [this] { Q_EMIT FindNext(Txt_Input->text()); });
    // Enter in the input box finds, like a click on the first button.
    connect(Txt_Input, &QLineEdit::returnPressed, Cmd_OK, &QPushButton::click);
    connect(Cmd_Undo, &QPushButton::clicked, this, &QWidget::close);
    Timer_Focus->start();
}

void Form_Search::keyPressEvent(QKeyEvent *event)
{
    // The input box and the buttons leave F3 and Esc to the window.
    switch (event->key()) {
    case Qt::Key_F3:
        Q_EMIT FindNext(Txt_Input->text());
        break;
    case Qt::Key_Escape:
        close();
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}
