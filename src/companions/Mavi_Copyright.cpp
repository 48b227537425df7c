// The copyright companion: the notices of Parlo and its libraries, one at a
// time, chosen from a list.

#include "companions/CopyrightNotices.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Parlo"));
    const QList<CopyrightNotices::Notice> notices = CopyrightNotices::all();

    QWidget window;
    window.setWindowTitle(QStringLiteral("版權聲明 - Parlo"));
    auto *list = new QListWidget(&window);
    list->setObjectName(QStringLiteral("List_Notices"));
    list->setAccessibleName(QStringLiteral("元件"));
    for (const CopyrightNotices::Notice &n : notices)
        list->addItem(n.name);
    list->setMaximumWidth(list->sizeHintForColumn(0) + 24);
    auto *text = new QTextBrowser(&window);
    text->setObjectName(QStringLiteral("Txt_Notice"));
    text->setAccessibleName(QStringLiteral("版權與授權"));
    text->setOpenExternalLinks(true);
    QObject::connect(list, &QListWidget::currentRowChanged, text, [&notices, text](int row) {
        if (row >= 0 && row < notices.size())
            text->setHtml(CopyrightNotices::html(notices[row]));
    });
    auto *close = new QDialogButtonBox(QDialogButtonBox::Close, &window);
    close->button(QDialogButtonBox::Close)->setText(QStringLiteral("關閉"));
    QObject::connect(close, &QDialogButtonBox::rejected, &window, &QWidget::close);

    auto *panes = new QHBoxLayout;
    panes->addWidget(list);
    panes->addWidget(text, 1);
    auto *layout = new QVBoxLayout(&window);
    layout->addLayout(panes, 1);
    layout->addWidget(close);
    list->setCurrentRow(0);
    window.resize(760, 520);
    window.show();
    return QApplication::exec();
}
