// Opening and saving through DocumentFiles with scripted dialogs and message
// boxes: UTF-16 round trips, the name rules, the unsaved-changes answers, the
// dirty and loading flags, and saves that fail without harming the old file.

#include "TestFiles.h"
#include "document/DocumentFiles.h"
#include "document/DocumentReader.h"
#include "shell/AppDlgX.h"
#include "shell/MaviTextBox.h"
#include "shell/MessageBox.h"

#include <QStringEncoder>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <sys/resource.h>

using namespace Qt::StringLiterals;

class TestDocumentFiles : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QStringList dialogAnswers; // one per dialog, "" cancels
    QStringList dialogTitles;
    QList<MessageBox::Answer> boxAnswers;
    QStringList boxTexts;
    DocumentReader reader;

    QString path(const QString &name) const { return dir.filePath(name); }

private Q_SLOTS:
    void initTestCase()
    {
        reader.AllocHdl(1);
        reader.OpenWfxKey(0, u"test"_s);
        AppDlgX::setRunner([this](const AppDlgX::Request &r) {
            dialogTitles.append(r.title);
            return dialogAnswers.isEmpty() ? QString() : dialogAnswers.takeFirst();
        });
        MessageBox::setHandler([this](auto, auto, const QString &text, auto) {
            boxTexts.append(text);
            return boxAnswers.isEmpty() ? MessageBox::Answer::Ok : boxAnswers.takeFirst();
        });
    }
    void init()
    {
        dialogAnswers.clear();
        dialogTitles.clear();
        boxAnswers.clear();
        boxTexts.clear();
    }

    void saveThenOpenRoundTrips()
    {
        const QString text = u"中文與 emoji 😀\r\n第二行\r\n"_s;
        MaviTextBox box;
        QString lastDir;
        DocumentFiles files(box, nullptr, lastDir, &reader);
        box.setText(text);
        files.TextChange();
        dialogAnswers = {path(u"notes"_s), path(u"notes.xml"_s)};
        QCOMPARE(files.Cmd_SaveTxt(), DocumentFiles::SaveResult::Saved);
        QVERIFY(!files.m_Dirty);
        QCOMPARE(lastDir, dir.path());
        QCOMPARE(files.Cmd_SaveTxt(), DocumentFiles::SaveResult::Saved);
        QCOMPARE(dialogTitles, (QStringList {u"另存新檔"_s, u"另存新檔"_s}));
        const QByteArray bytes = TestFiles::readAll(path(u"notes.txt"_s));
        QVERIFY(bytes.startsWith("\xFF\xFE"));
        QCOMPARE(bytes.size(), 2 + 2 * text.size());
        QCOMPARE(TestFiles::readAll(path(u"notes.xml"_s)), bytes);

        box.setText(u"other"_s);
        for (const QString &name : {u"notes.txt"_s, u"notes.xml"_s}) {
            QVERIFY(files.LoadDocument(path(name)));
            QCOMPARE(box.Text(), text);
            QVERIFY(!files.m_Dirty);
        }
        // An edit after loading is a change; a cancelled save keeps it so.
        box.insertPlainText(u"x"_s);
        files.TextChange();
        QVERIFY(files.m_Dirty);
        QCOMPARE(files.Cmd_SaveTxt(), DocumentFiles::SaveResult::Cancelled);
        QVERIFY(files.m_Dirty);
    }

    void readsThroughTheReaderOrAsSystemText()
    {
        const QString chinese = u"今天天氣很好，我們一起去公園散步，順便看看湖邊的花。\r\n"_s;
        TestFiles::writeAll(path(u"big5.txt"_s), QStringEncoder("Big5").encode(chinese));
        TestFiles::writeAll(
            path(u"binary.bin"_s), QByteArray("\x00\x01\xFF\x00\x9C", 5).repeated(64));
        MaviTextBox box;
        QString lastDir;
        DocumentFiles withReader(box, nullptr, lastDir, &reader);
        QVERIFY(withReader.LoadDocument(path(u"big5.txt"_s)));
        QCOMPARE(box.Text(), chinese);
        // A file the reader refuses leaves the text as it was, silently.
        QVERIFY(!withReader.LoadDocument(path(u"binary.bin"_s)));
        QCOMPARE(box.Text(), chinese);
        QVERIFY(!withReader.m_Loading);
        QVERIFY(boxTexts.isEmpty());

        DocumentFiles plain(box, nullptr, lastDir, nullptr);
        TestFiles::writeAll(path(u"utf8.txt"_s), "caf\xC3\xA9\n");
        QVERIFY(plain.LoadDocument(path(u"utf8.txt"_s)));
        QCOMPARE(box.Text(), u"café\r\n"_s);
        QVERIFY(plain.LoadDocument(path(u"missing.txt"_s)));
        QCOMPARE(box.Text(), QString());
    }

    void tooLongDocumentIsRefusedWithAMessage()
    {
        TestFiles::writeAll(
            path(u"long.txt"_s), QByteArray(DocumentFiles::MaxDocumentChars + 1, 'a'));
        MaviTextBox box;
        box.setText(u"kept"_s);
        QString lastDir;
        DocumentFiles files(box, nullptr, lastDir, &reader);
        QVERIFY(!files.LoadDocument(path(u"long.txt"_s)));
        QCOMPARE(box.Text(), u"kept"_s);
        QCOMPARE(boxTexts,
            QStringList {DocumentFiles::tooLongText(DocumentFiles::MaxDocumentChars + 1)});
    }

    void unsavedChangesQuestion()
    {
        MaviTextBox box;
        QString lastDir = dir.path();
        DocumentFiles files(box, nullptr, lastDir, &reader);
        TestFiles::writeAll(path(u"open.txt"_s), "opened");
        box.setText(u"edited"_s);
        files.m_Dirty = true;
        // Cancel: text and flag stay, no dialog.
        boxAnswers = {MessageBox::Answer::Cancel};
        files.OpenTextCommand();
        QCOMPARE(box.Text(), u"edited"_s);
        QVERIFY(files.m_Dirty);
        QVERIFY(dialogTitles.isEmpty());
        QCOMPARE(boxTexts, QStringList {u"文稿異動，是否要進行儲存（Y/N）?"_s});
        // Yes with a cancelled save dialog still opens the open dialog.
        boxAnswers = {MessageBox::Answer::Yes};
        dialogAnswers = {QString(), path(u"open.txt"_s)};
        files.OpenTextCommand();
        QCOMPARE(dialogTitles, (QStringList {u"另存新檔"_s, u"開啟檔案"_s}));
        QCOMPARE(box.Text(), u"opened"_s);
        QVERIFY(!files.m_Dirty);
        // No discards without saving; not dirty asks nothing.
        files.m_Dirty = true;
        boxAnswers = {MessageBox::Answer::No};
        QVERIFY(!files.AskSaveChanges());
        QVERIFY(!files.AskSaveChanges());
        QCOMPARE(boxTexts.size(), 3);
        QCOMPARE(dialogTitles.size(), 2);
    }

    void failedSaveKeepsTheOldFile()
    {
        const QString target = path(u"keep.txt"_s);
        TestFiles::writeAll(target, "old contents");
        // A full disk: writes past a few bytes fail as they would on one.
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit saved {};
        getrlimit(RLIMIT_FSIZE, &saved);
        rlimit small = saved;
        small.rlim_cur = 64;
        setrlimit(RLIMIT_FSIZE, &small);
        const bool written = DocumentFiles::writeUtf16File(target, QString(1000, u'x'));
        setrlimit(RLIMIT_FSIZE, &saved);
        QVERIFY(!written);
        QCOMPARE(TestFiles::readAll(target), QByteArray("old contents"));
        QCOMPARE(QDir(dir.path()).entryList({u"*keep*"_s}, QDir::Files | QDir::Hidden),
            QStringList {u"keep.txt"_s});
        // A folder that is gone.
        QVERIFY(!DocumentFiles::writeUtf16File(path(u"gone/keep.txt"_s), u"x"_s));
    }
};

QTEST_MAIN(TestDocumentFiles)
#include "test_DocumentFiles.moc"
