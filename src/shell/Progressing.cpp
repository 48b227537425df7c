#include "shell/Progressing.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace
{
constexpr int TextWidth = 360;
}

Progressing::Progressing(QWidget *owner)
    : QDialog(owner)
{
    setObjectName(QStringLiteral("Progressing"));
    setModal(false);
    // The main window stays the active one, so its hot keys stay live
    // while a text is rendered.
    setAttribute(Qt::WA_ShowWithoutActivating);
    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    Label1->setFixedWidth(TextWidth);
    Bar = new QProgressBar(this);
    Bar->setObjectName(QStringLiteral("Bar"));
    Bar->setRange(0, 100);
    L_TimeLeft = new QLabel(this);
    L_TimeLeft->setObjectName(QStringLiteral("L_TimeLeft"));
    Cmd_Cancel = new QPushButton(QStringLiteral("取消"), this);
    Cmd_Cancel->setObjectName(QStringLiteral("Cmd_Cancel"));
    Cmd_Cancel->setAutoDefault(false);

    auto *bottom = new QHBoxLayout;
    bottom->addWidget(L_TimeLeft, 1);
    bottom->addWidget(Cmd_Cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(Bar);
    layout->addLayout(bottom);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(Cmd_Cancel, &QPushButton::clicked, this, &Progressing::cancelRequested);
}

void Progressing::setTexts(const QString &caption, const QString &label)
{
    setWindowTitle(caption);
    Label1->setText(label);
    Bar->setValue(0);
    L_TimeLeft->clear();
    adjustSize();
}

void Progressing::setProgress(int percent, const QString &timeLeft)
{
    Bar->setValue(percent);
    L_TimeLeft->setText(timeLeft);
}

void Progressing::centreOn(const QWidget *main)
{
    const QRect outer = main->frameGeometry();
    const QRect own = frameGeometry();
    move(outer.left() + (outer.width() - own.width()) / 2,
        outer.top() + (outer.height() - own.height()) / 2);
}

void Progressing::reject()
{
    Q_EMIT cancelRequested();
}
