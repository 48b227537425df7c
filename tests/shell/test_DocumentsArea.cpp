#include "TestFiles.h"
#include "audio/AudioSink.h"
#include "document/DocumentReader.h"
#include "shell/AppDlgX.h"
#include "shell/AppMain.h"
#include "shell/Form_Main.h"
#include "shell/MaviTextBox.h"
#include "shell/MessageBox.h"
#include "shell/documents/DocumentsArea.h"
#include "speech/ScriptedEngine.h"
#include "system/AppPaths.h"
#include "system/RegistryStore.h"

#include <QLineEdit>
#include <QMimeData>
#include <QPrinter>
#include <QPushButton>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QtTest>
#include <poppler-document.h>
#include <poppler-page.h>

using namespace Qt::StringLiterals;

class TestDocumentsArea : public QObject
{
    Q_OBJECT

    ScriptedEngine engine;
    QTemporaryDir dir;
    QStringList dialogs; // chosen paths, one per dialog; "" cancels
    QStringList titles;
    QList<MessageBox::Answer> answers;
    QStringList boxes;
    DocumentReader reader;
    MaviTextBox box;
    QString lastDir;
    qint32 savedStart = 0, savedLength = 0;

    QString path(const QString &name) const { return dir.filePath(name); }
    QPair<int, int> selection() const { return {box.SelStart(), box.SelLength()}; }

    void drop(QWidget *target, const QString &file)
    {
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(file), QUrl::fromLocalFile(path(u"b"_s))});
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, {});
        QApplication::sendEvent(target, &enter);
        QDropEvent dropped(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, {});
        QApplication::sendEvent(target, &dropped);
        QVERIFY(enter.isAccepted() && dropped.isAccepted());
    }

    // Prints text to a PDF and gives the non-empty lines of each page.
    QList<QStringList> printed(const QString &text)
    {
        const QString pdf = path(u"out.pdf"_s);
        TextPrint print(nullptr, [pdf] {
            auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(pdf);
            printer->setPageSize(QPageSize(QPageSize::A4));
            return printer;
        });
        QList<QStringList> pages;
        std::unique_ptr<poppler::document> doc(print.Cmd_PrintDC(text)
                ? poppler::document::load_from_file(pdf.toStdString())
                : nullptr);
        for (int i = 0; doc && i < doc->pages(); ++i) {
            const auto utf8 = std::unique_ptr<poppler::page>(doc->create_page(i))
                                  ->text(poppler::rectf(), poppler::page::physical_layout)
                                  .to_utf8();
            pages.append(QString::fromUtf8(utf8.data(), qsizetype(utf8.size()))
                             .split(u'\n', Qt::SkipEmptyParts)
                             .replaceInStrings(QRegularExpression(u"^\\s+|\\s+$"_s), QString()));
            pages.last().removeAll(QString());
        }
        return pages;
    }

private Q_SLOTS:
    void initTestCase()
    {
        reader.AllocHdl(1);
        reader.OpenWfxKey(0, u"test"_s);
        AppDlgX::setRunner([this](const AppDlgX::Request &r) {
            titles.append(r.title);
            return dialogs.isEmpty() ? QString() : dialogs.takeFirst();
        });
        MessageBox::setHandler([this](auto, auto, const QString &text, auto) {
            boxes.append(text);
            return answers.isEmpty() ? MessageBox::Answer::Ok : answers.takeFirst();
        });
    }
    void init()
    {
        titles.clear();
        boxes.clear();
    }

    void saveThenOpenRoundTrips()
    {
        const QString text = u"中文與 emoji 😀\r\n第二行\r\n"_s;
        DocumentFiles files(box, nullptr, lastDir, &reader);
        box.setText(text);
        files.TextChange();
        dialogs = {path(u"notes"_s), path(u"notes.xml"_s)};
        QCOMPARE(files.Cmd_SaveTxt(), DocumentFiles::SaveResult::Saved);
        QCOMPARE(lastDir, dir.path());
        QCOMPARE(files.Cmd_SaveTxt(), DocumentFiles::SaveResult::Saved);
        const QByteArray bytes = TestFiles::readAll(path(u"notes.txt"_s));
        QVERIFY(bytes.startsWith("\xFF\xFE"));
        QCOMPARE(bytes.size(), 2 + 2 * text.size());
        QCOMPARE(TestFiles::readAll(path(u"notes.xml"_s)), bytes);
        box.setText(u"other"_s);
        files.TextChange();
        QVERIFY(files.LoadDocument(path(u"notes.xml"_s)));
        QCOMPARE(box.Text(), text);
        QVERIFY(!files.m_Dirty);
    }

    // ".txt" is added only to a name with no extension; a dot that starts
    // the name, or one in a folder's name, begins none.
    void saveTarget_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("target");
        QTest::newRow("no extension") << u"/d/notes"_s << u"/d/notes.txt"_s;
        QTest::newRow("name starting with a dot") << u"/d/.notes"_s << u"/d/.notes.txt"_s;
        QTest::newRow("name starting with a dot, with .xml")
            << u"/d/.notes.xml"_s << u"/d/.notes.xml"_s;
        QTest::newRow("another extension") << u"/d/notes.md"_s << u"/d/notes.md"_s;
        QTest::newRow("a dot in the folder only") << u"/d.x/notes"_s << u"/d.x/notes.txt"_s;
    }
    void saveTarget()
    {
        QFETCH(QString, chosen);
        QTEST(DocumentFiles::saveTarget(chosen), "target");
    }

    void readsThroughTheReaderOrAsSystemText()
    {
        const QString chinese = u"今天天氣很好，我們一起去公園散步，順便看看湖邊的花。\r\n"_s;
        TestFiles::writeAll(path(u"big5.txt"_s), QStringEncoder("Big5").encode(chinese));
        TestFiles::writeAll(path(u"bin"_s), QByteArray("\x00\x01\xFF\x00\x9C", 5).repeated(64));
        TestFiles::writeAll(
            path(u"long.txt"_s), QByteArray(DocumentFiles::MaxDocumentChars + 1, 'a'));
        DocumentFiles files(box, nullptr, lastDir, &reader);
        QVERIFY(files.LoadDocument(path(u"big5.txt"_s)));
        QCOMPARE(box.Text(), chinese);
        // Refused files leave the text as it was: binary data silently, a
        // document too long for the box with a message, and its edits still
        // unsaved.
        box.setText(u"draft"_s);
        files.TextChange();
        QVERIFY(!files.LoadDocument(path(u"bin"_s)));
        QVERIFY(boxes.isEmpty());
        QCOMPARE(box.Text(), u"draft"_s);
        QVERIFY(files.m_Dirty);
        QVERIFY(!files.LoadDocument(path(u"long.txt"_s)));
        QCOMPARE(
            boxes, QStringList {DocumentFiles::tooLongText(DocumentFiles::MaxDocumentChars + 1)});
        QCOMPARE(box.Text(), u"draft"_s);
        QVERIFY(files.m_Dirty);
        QVERIFY(!files.m_Loading);
        // Without the reader: system code page text, nothing for a missing file.
        DocumentFiles plain(box, nullptr, lastDir, nullptr);
        QVERIFY(plain.LoadDocument(path(u"missing.txt"_s)));
        QCOMPARE(box.Text(), QString());
    }

    void unsavedChangesQuestion()
    {
        DocumentFiles files(box, nullptr, lastDir, &reader);
        TestFiles::writeAll(path(u"open.txt"_s), "opened");
        box.setText(u"edited"_s);
        files.TextChange();
        // Cancel: text and flag stay, no dialog.
        answers = {MessageBox::Answer::Cancel, MessageBox::Answer::Yes};
        files.OpenTextCommand();
        QCOMPARE(box.Text(), u"edited"_s);
        QVERIFY(files.m_Dirty && titles.isEmpty());
        QCOMPARE(boxes, QStringList {u"文稿異動，是否要進行儲存（Y/N）?"_s});
        // Yes with a cancelled save dialog still opens the open dialog.
        dialogs = {QString(), path(u"open.txt"_s)};
        files.OpenTextCommand();
        QCOMPARE(titles, (QStringList {u"另存新檔"_s, u"開啟檔案"_s}));
        QCOMPARE(box.Text(), u"opened"_s);
        // No discards without saving; clean text asks nothing.
        files.m_Dirty = true;
        answers = {MessageBox::Answer::No};
        QVERIFY(!files.AskSaveChanges());
        QVERIFY(!files.AskSaveChanges());
        QCOMPARE(boxes.size(), 3);
        QCOMPARE(titles.size(), 2);
    }

    void failedSaveKeepsTheOldFile()
    {
        const QString target = path(u"keep.txt"_s);
        TestFiles::writeAll(target, "old contents");
        {
            const TestFiles::FileSizeLimit nearlyFull(64);
            QVERIFY(!DocumentFiles::writeUtf16File(target, QString(1000, u'x')));
        }
        QCOMPARE(TestFiles::readAll(target), "old contents"_ba);
        QCOMPARE(QDir(dir.path()).entryList({u"*keep*"_s}, QDir::Files | QDir::Hidden),
            QStringList {u"keep.txt"_s});
    }

    void savesInPlaceWhereTheFolderRefusesNewFiles()
    {
        const QString locked = path(u"locked"_s);
        QVERIFY(QDir().mkpath(locked));
        const QString target = locked + u"/notes.txt"_s;
        TestFiles::writeAll(target, "old contents");
        if (QProcess::execute(u"chattr"_s, {u"+i"_s, locked}) != 0)
            QSKIP("this file system cannot lock a folder");
        const auto unlock = qScopeGuard([&] { QProcess::execute(u"chattr"_s, {u"-i"_s, locked}); });
        DocumentFiles files(box, nullptr, lastDir, &reader);
        box.setText(u"新"_s);
        dialogs = {target};
        QCOMPARE(files.Cmd_SaveTxt(), DocumentFiles::SaveResult::Saved);
        QCOMPARE(TestFiles::readAll(target), QByteArray("\xFF\xFE\xB0\x65", 4));
        // A new file there still fails, and nothing of it is left.
        dialogs = {locked + u"/other.txt"_s};
        QCOMPARE(files.Cmd_SaveTxt(), DocumentFiles::SaveResult::Failed);
        QCOMPARE(QDir(locked).entryList(QDir::Files | QDir::Hidden), QStringList {u"notes.txt"_s});
    }

    void windowDropsAndClosing()
    {
        SynthesisEngine::setDefault(&engine);
        AudioSink::setFactory([] { return std::make_unique<ImmediateSink>(); });
        AppPaths::setOverrideFolder(dir.path());
        RegistryStore::instance().setUserFile(path(u"registry.json"_s));
        TestFiles::writeAll(path(u"a.txt"_s), "first file");
        auto w = Main();
        QVERIFY(w);
        drop(w.get(), path(u"a.txt"_s));
        QTRY_COMPARE(w->Txt_Input->Text(), u"first file"_s);
        drop(w->Txt_Input->viewport(), path(u"open.txt"_s));
        QTRY_COMPARE(w->Txt_Input->Text(), u"opened"_s);
        QVERIFY(!w->documents()->m_Files.m_Dirty);
        w->Txt_Input->setText(u"draft"_s);
        answers = {MessageBox::Answer::Cancel, MessageBox::Answer::Yes};
        QVERIFY(!w->close());
        QVERIFY(w->isVisible());
        QCOMPARE(w->Txt_Input->Text(), u"draft"_s);
        // Yes saves through the dialog, then the window closes.
        dialogs = {path(u"draft"_s)};
        QVERIFY(w->close());
        QCOMPARE(TestFiles::readAll(path(u"draft.txt"_s)),
            "\xFF\xFE"_ba + QByteArray("d\0r\0a\0f\0t\0", 10));
    }

    void searchHitsNotFoundAndWindowKeys()
    {
        TextSearch search(box, nullptr, savedStart, savedLength);
        box.setText(u"abab"_s);
        box.setSelStart(1);
        box.setSelLength(1);
        int hooks = 0;
        search.setHotKeyHooks([&] { hooks -= 1; }, [&] { hooks += 10; });
        search.FindAgain(); // nothing searched yet: F3 does nothing
        search.Cmd_SearchTClick();
        for (const auto &want :
            {qMakePair(0, 2), qMakePair(2, 2), qMakePair(1, 1), qMakePair(0, 2)}) {
            search.FindNext(u"ab"_s);
            QCOMPARE(selection(), want);
        }
        QCOMPARE(boxes, QStringList {u"找不到要搜尋的文字！"_s});
        QCOMPARE(hooks, 9);
        search.FindNext(u"AB"_s); // case differs
        QCOMPARE(boxes.size(), 2);
        // The window: F3 from any control, Esc closes, a new one goes on
        // after the last hit.
        box.setText(u"one two one"_s);
        QPointer<Form_Search> first = search.window();
        first->Txt_Input->setText(u"one"_s);
        QTRY_VERIFY(first->Txt_Input->hasFocus());
        QTest::keyClick(first->Txt_Input, Qt::Key_F3);
        QTest::keyClick(first->Cmd_Undo, Qt::Key_F3);
        QCOMPARE(selection(), qMakePair(8, 3));
        QTest::keyClick(first->Txt_Input, Qt::Key_Escape);
        QTRY_VERIFY(!first);
        search.Cmd_SearchTClick();
        QCOMPARE(search.window()->Txt_Input->text(), u"one"_s);
        search.window()->Txt_Input->setText(u"two"_s);
        search.window()->Cmd_OK->click();
        QCOMPARE(boxes.size(), 3);
        search.window()->Cmd_OK->click();
        QCOMPARE(selection(), qMakePair(4, 3));
    }

    void printing()
    {
        QStringList lines;
        for (int i = 1; i <= 200; ++i)
            lines.append(u"line %1"_s.arg(i, 3, 10, QChar(u'0')));
        const QList<QStringList> pages = printed(lines.join(u"\r\n"_s));
        // A4 less margins is about 780 points: 9-point lines 9 to 12 points
        // apart put 65 to 87 on a full page.
        QCOMPARE(pages.size(), 3);
        QVERIFY(pages[0].size() >= 65 && pages[0].size() <= 87);
        QCOMPARE(pages[0] + pages[1] + pages[2], lines);
        // An over-long line is cut, not wrapped; an empty text makes a page.
        const QString longLine = u"begin "_s + QString(300, u'x') + u" END"_s;
        const QList<QStringList> cut = printed(longLine + u"\r\nnext"_s);
        QCOMPARE(cut.size(), 1);
        QCOMPARE(cut[0].size(), 2);
        QVERIFY(cut[0][0].startsWith(u"begin xxx"_s) && !cut[0][0].contains(u"END"_s));
        QCOMPARE(printed(QString()), QList<QStringList> {QStringList()});
        QVERIFY(boxes.isEmpty());
        QVERIFY(
            !TextPrint(nullptr, [] { return std::unique_ptr<QPrinter>(); }).Cmd_PrintDC(u"t"_s));
        QCOMPARE(boxes, QStringList {TextPrint::noPrinterText()});
    }
};

QTEST_MAIN(TestDocumentsArea)
#include "test_DocumentsArea.moc"
