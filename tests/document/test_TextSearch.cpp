// Finding text in the text box: hits in order, the not-found message with the
// saved selection back, case sensitivity, and the search window's keys.

#include "document/Form_Search.h"
#include "document/TextSearch.h"
#include "shell/MaviTextBox.h"
#include "shell/MessageBox.h"

#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace Qt::StringLiterals;

class TestTextSearch : public QObject
{
    Q_OBJECT

    QStringList messages;
    MaviTextBox box;
    qint32 savedStart = 0, savedLength = 0;

    QPair<int, int> selection() const { return {box.SelStart(), box.SelLength()}; }

private Q_SLOTS:
    void initTestCase()
    {
        MessageBox::setHandler([this](auto, auto, const QString &text, auto) {
            messages.append(text);
            return MessageBox::Answer::Ok;
        });
    }
    void init()
    {
        messages.clear();
        g_SearchText.clear();
    }

    void hitsInOrderThenNotFoundRestoresTheSelection()
    {
        box.setText(u"abab"_s);
        box.setSelStart(1);
        box.setSelLength(1);
        TextSearch search(box, nullptr, savedStart, savedLength);
        int hooks = 0;
        search.setHotKeyHooks([&] { hooks -= 1; }, [&] { hooks += 10; });
        // Nothing searched yet: F3 in the window does nothing.
        search.FindAgain();
        QVERIFY(messages.isEmpty());
        search.Cmd_SearchTClick();
        QCOMPARE(savedStart, 1);
        QCOMPARE(savedLength, 1);
        const QList<QPair<int, int>> expected = {{0, 2}, {2, 2}, {1, 1}, {0, 2}};
        for (const auto &want : expected) {
            search.FindNext(u"ab"_s);
            QCOMPARE(selection(), want);
        }
        QCOMPARE(messages, QStringList {u"找不到要搜尋的文字！"_s});
        QCOMPARE(hooks, 9);
        QCOMPARE(search.m_FindPos, 1);
        // Case differs: not found.
        search.m_FindPos = 0;
        search.FindNext(u"AB"_s);
        QCOMPARE(messages.size(), 2);
        QCOMPARE(search.m_FindPos, 0);
    }

    void searchWindowKeysAndReopening()
    {
        box.setText(u"one two one"_s);
        TextSearch search(box, nullptr, savedStart, savedLength);
        g_SearchText = u"one"_s;
        search.Cmd_SearchTClick();
        QPointer<Form_Search> first = search.window();
        QCOMPARE(first->windowTitle(), u"搜尋"_s);
        QCOMPARE(first->Cmd_OK->text(), u"尋找下一筆 (F3)"_s);
        QCOMPARE(first->Cmd_Undo->text(), u"取消"_s);
        QCOMPARE(first->Txt_Input->text(), u"one"_s);
        QTRY_VERIFY(first->Txt_Input->hasFocus());
        QTest::keyClick(first->Txt_Input, Qt::Key_F3);
        QCOMPARE(selection(), qMakePair(0, 3));
        QTest::keyClick(first->Cmd_Undo, Qt::Key_F3);
        QCOMPARE(selection(), qMakePair(8, 3));
        QTest::keyClick(first->Txt_Input, Qt::Key_Escape);
        QTRY_VERIFY(!first);
        // A new window continues after the last hit with the kept text.
        search.Cmd_SearchTClick();
        QCOMPARE(search.window()->Txt_Input->text(), u"one"_s);
        search.window()->Txt_Input->setText(u"two"_s);
        search.window()->Cmd_OK->click();
        QCOMPARE(messages.size(), 1);
        QCOMPARE(g_SearchText, u"two"_s);
        search.window()->Cmd_OK->click();
        QCOMPARE(selection(), qMakePair(4, 3));
    }
};

QTEST_MAIN(TestTextSearch)
#include "test_TextSearch.moc"
