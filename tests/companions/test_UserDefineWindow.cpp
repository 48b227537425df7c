// The pronunciation editor: the list file read into the table, saved back,
// a written form entered twice refused, and closing with changes asked about.

#include "TestFiles.h"
#include "companions/UserDefineWindow.h"
#include "shell/MessageBox.h"

#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;
using Entry = PronunciationList::Entry;

class TestUserDefineWindow : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    QStringList m_asked;
    MessageBox::Answer m_answer = MessageBox::Answer::Ok;

private Q_SLOTS:
    void initTestCase()
    {
        MessageBox::setHandler([this](auto, auto, const QString &text, auto) {
            m_asked.append(text);
            return m_answer;
        });
    }

    void editsAreSavedAndGuarded()
    {
        const QString file = m_dir.path() + u"/list.txt"_s;
        TestFiles::writeAll(file, "WHO\t世界衛生組織\n行長\t航長\n");
        UserDefineWindow w(file);
        QCOMPARE(
            w.entries(), (QList<Entry> {{u"WHO"_s, u"世界衛生組織"_s}, {u"行長"_s, u"航長"_s}}));
        QVERIFY(!w.isModified());

        auto *table = w.findChild<QTableWidget *>(u"Table"_s);
        w.addRow();
        table->setItem(2, 0, new QTableWidgetItem(u"who"_s));
        table->setItem(2, 1, new QTableWidgetItem(u"W H O"_s));
        QVERIFY(w.isModified());
        QVERIFY(!w.save()); // "who" is "WHO" again
        QCOMPARE(m_asked.size(), 1);
        QVERIFY(TestFiles::readAll(file).startsWith("WHO\t"));

        table->selectRow(0);
        w.removeSelectedRows();
        m_answer = MessageBox::Answer::Cancel;
        QVERIFY(!w.close()); // cancelled: stays open, nothing written
        QCOMPARE(m_asked.size(), 2);
        m_answer = MessageBox::Answer::Yes;
        QVERIFY(w.close());
        QList<Entry> saved;
        QVERIFY(PronunciationList::load(file, &saved));
        QCOMPARE(saved, (QList<Entry> {{u"行長"_s, u"航長"_s}, {u"who"_s, u"W H O"_s}}));
    }
};

QTEST_MAIN(TestUserDefineWindow)
#include "test_UserDefineWindow.moc"
