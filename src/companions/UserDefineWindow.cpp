#include "companions/UserDefineWindow.h"

#include "shell/MessageBox.h"
#include "speech/SpVoice.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <QTableWidget>
#include <QVBoxLayout>

namespace
{
enum Column { Written, Spoken };
} // namespace

UserDefineWindow::UserDefineWindow(const QString &file, QWidget *parent)
    : QWidget(parent)
    , m_File(file)
{
    setObjectName(QStringLiteral("UserDefineWindow"));
    setWindowTitle(QStringLiteral("自訂發音 - Parlo"));
    auto *intro
        = new QLabel(QStringLiteral("在「文字」欄填入文稿裡的寫法，在「念法」欄填入要念出的說法。"
                                    "儲存後，下一次朗讀就會照這裡的念法。"),
            this);
    intro->setWordWrap(true);

    m_Table = new QTableWidget(0, 2, this);
    m_Table->setObjectName(QStringLiteral("Table"));
    m_Table->setHorizontalHeaderLabels({QStringLiteral("文字"), QStringLiteral("念法")});
    m_Table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_Table->verticalHeader()->hide();
    m_Table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_Table->setAccessibleName(QStringLiteral("自訂發音清單"));

    auto button = [this](const char *name, const QString &caption, const QString &hint) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        b->setToolTip(hint);
        b->setAccessibleDescription(hint);
        return b;
    };
    m_Add = button("Cmd_Add", QStringLiteral("新增(&A)"), QStringLiteral("加入一列新的寫法與念法"));
    m_Remove = button("Cmd_Remove", QStringLiteral("刪除(&D)"), QStringLiteral("刪除選取的列"));
    m_Try = button("Cmd_Try", QStringLiteral("試聽(&T)"), QStringLiteral("念出目前這一列的念法"));
    m_Save = button("Cmd_Save", QStringLiteral("儲存(&S)"), QStringLiteral("儲存清單"));
    m_Close = button("Cmd_Close", QStringLiteral("關閉"), QStringLiteral("關閉自訂發音"));
    m_Status = new QLabel(this);
    m_Status->setObjectName(QStringLiteral("L_Status"));

    auto *buttons = new QHBoxLayout;
    for (QPushButton *b : {m_Add, m_Remove, m_Try})
        buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(m_Save);
    buttons->addWidget(m_Close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addWidget(m_Table, 1);
    layout->addWidget(m_Status);
    layout->addLayout(buttons);
    resize(520, 420);

    connect(m_Add, &QPushButton::clicked, this, &UserDefineWindow::addRow);
    connect(m_Remove, &QPushButton::clicked, this, &UserDefineWindow::removeSelectedRows);
    connect(m_Try, &QPushButton::clicked, this, &UserDefineWindow::tryCurrentRow);
    connect(m_Save, &QPushButton::clicked, this, &UserDefineWindow::save);
    connect(m_Close, &QPushButton::clicked, this, &QWidget::close);
    connect(m_Table, &QTableWidget::itemChanged, this, [this] {
        m_Modified = true;
        updateButtons();
    });
    connect(m_Table, &QTableWidget::itemSelectionChanged, this, [this] { updateButtons(); });

    QList<PronunciationList::Entry> loaded;
    PronunciationList::load(m_File, &loaded);
    setEntries(loaded);
}

UserDefineWindow::~UserDefineWindow() = default;

QList<PronunciationList::Entry> UserDefineWindow::entries() const
{
    QList<PronunciationList::Entry> out;
    for (int row = 0; row < m_Table->rowCount(); ++row) {
        auto text = [&](int column) {
            const QTableWidgetItem *item = m_Table->item(row, column);
            return item ? item->text().trimmed() : QString();
        };
        if (!text(Written).isEmpty())
            out.append({text(Written), text(Spoken)});
    }
    return out;
}

void UserDefineWindow::setEntries(const QList<PronunciationList::Entry> &entries)
{
    const QSignalBlocker quiet(m_Table);
    m_Table->setRowCount(0);
    for (const PronunciationList::Entry &e : entries) {
        const int row = m_Table->rowCount();
        m_Table->insertRow(row);
        m_Table->setItem(row, Written, new QTableWidgetItem(e.written));
        m_Table->setItem(row, Spoken, new QTableWidgetItem(e.spoken));
    }
    m_Modified = false;
    m_Status->setText(QStringLiteral("共 %1 筆").arg(entries.size()));
    updateButtons();
}

bool UserDefineWindow::save()
{
    const QList<PronunciationList::Entry> list = entries();
    QSet<QString> seen;
    for (const PronunciationList::Entry &e : list) {
        if (!seen.contains(e.written.toCaseFolded())) {
            seen.insert(e.written.toCaseFolded());
            continue;
        }
        MessageBox::show(QStringLiteral("「%1」出現了兩次，請只留下一筆。").arg(e.written),
            MessageBox::Icon::Exclamation, MessageBox::Buttons::Ok, this);
        return false;
    }
    if (!PronunciationList::save(m_File, list)) {
        MessageBox::show(QStringLiteral("無法儲存自訂發音：\n%1").arg(m_File),
            MessageBox::Icon::Critical, MessageBox::Buttons::Ok, this);
        return false;
    }
    setEntries(list);
    m_Status->setText(QStringLiteral("已儲存 %1 筆").arg(list.size()));
    return true;
}

void UserDefineWindow::addRow()
{
    const int row = m_Table->rowCount();
    m_Table->insertRow(row);
    m_Table->setCurrentCell(row, Written);
    m_Table->editItem(m_Table->item(row, Written));
    m_Table->setFocus();
}

void UserDefineWindow::removeSelectedRows()
{
    QList<int> rows;
    for (const QModelIndex &index : m_Table->selectionModel()->selectedRows())
        rows.append(index.row());
    std::sort(rows.begin(), rows.end(), std::greater<>());
    for (int row : rows)
        m_Table->removeRow(row);
    if (!rows.isEmpty())
        m_Modified = true;
    updateButtons();
}

void UserDefineWindow::tryCurrentRow()
{
    const int row = m_Table->currentRow();
    if (row < 0)
        return;
    const QTableWidgetItem *spoken = m_Table->item(row, Spoken);
    const QTableWidgetItem *written = m_Table->item(row, Written);
    QString text = spoken ? spoken->text().trimmed() : QString();
    if (text.isEmpty() && written)
        text = written->text().trimmed();
    if (text.isEmpty())
        return;
    if (!m_Voice)
        m_Voice = std::make_unique<SpVoice>();
    m_Voice->Speak(text, SVSFlagsAsync | SVSFPurgeBeforeSpeak | SVSFIsNotXML);
}

void UserDefineWindow::updateButtons()
{
    const bool selected = m_Table->currentRow() >= 0;
    m_Remove->setEnabled(selected);
    m_Try->setEnabled(selected);
    m_Save->setEnabled(m_Modified);
}

void UserDefineWindow::closeEvent(QCloseEvent *event)
{
    if (!m_Modified) {
        event->accept();
        return;
    }
    switch (MessageBox::show(QStringLiteral("自訂發音已修改，要儲存嗎？"),
        MessageBox::Icon::Question, MessageBox::Buttons::YesNoCancel, this)) {
    case MessageBox::Answer::Yes:
        if (save())
            event->accept();
        else
            event->ignore();
        return;
    case MessageBox::Answer::No:
        event->accept();
        return;
    default:
        event->ignore();
        return;
    }
}
