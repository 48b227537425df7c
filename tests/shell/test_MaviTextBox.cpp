#include "DataColumns.h"
#include "shell/MaviTextBox.h"

#include <QClipboard>
#include <QLineEdit>
#include <QtTest>

using namespace Qt::StringLiterals;

class TestMaviTextBox : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void textReadsBackWithCrLf_data()
    {
        QTest::addColumn<QString>("written");
        QTest::addColumn<QString>("read");
        QTest::newRow("crlf") << u"a\r\nb"_s << u"a\r\nb"_s;
        QTest::newRow("lf") << u"a\nb"_s << u"a\r\nb"_s;
        QTest::newRow("lone cr") << u"a\rb"_s << u"a\r\nb"_s;
        QTest::newRow("mixed") << u"a\r\rb\n"_s << u"a\r\n\r\nb\r\n"_s;
        QTest::newRow("line and paragraph separators") << u"a\u2028b\u2029c"_s << u"a\r\nb\r\nc"_s;
        QTest::newRow("no-break space kept") << u"a\u00A0b"_s << u"a\u00A0b"_s;
        QTest::newRow("chinese and emoji") << u"朗讀\n😀"_s << u"朗讀\r\n😀"_s;
    }
    void textReadsBackWithCrLf()
    {
        QFETCH(QString, written);
        MaviTextBox box;
        box.setText(written);
        QTEST(box.Text(), "read");
        QCOMPARE(box.crlfLength(), box.Text().size());
        // Writing what was read changes nothing.
        box.setText(box.Text());
        QTEST(box.Text(), "read");
    }

    void changeIsRaisedOncePerChangeAndSeesTheNewText()
    {
        MaviTextBox box;
        QSignalSpy spy(&box, &MaviTextBox::Change);
        QString seen;
        connect(&box, &MaviTextBox::Change, &box, [&] { seen = box.Text(); });
        box.setText(u"line one\nline two"_s);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(seen, u"line one\r\nline two"_s);
        box.setText(box.Text());
        QCOMPARE(spy.count(), 2);
        // Neither the selection, the font nor the colour is a change of text.
        box.setSelStart(2);
        box.setSelLength(5);
        box.setFont(QFont(u"Serif"_s, 20));
        box.setBackColor(QColor(174, 216, 230));
        QCOMPARE(box.viewport()->palette().color(QPalette::Base), QColor(174, 216, 230));
        QCOMPARE(spy.count(), 2);
        box.setSelStart(0);
        QTest::keyClicks(&box, u"ab"_s);
        QCOMPARE(spy.count(), 4);
        QVERIFY(box.Text().startsWith(u"abline one\r\n"_s));
    }

    void typedAndPastedBreaksReadAsCrLf()
    {
        MaviTextBox box;
        box.show();
        QTest::keyClick(&box, Qt::Key_A);
        QTest::keyClick(&box, Qt::Key_Return, Qt::ShiftModifier);
        QTest::keyClick(&box, Qt::Key_B);
        QTest::keyClick(&box, Qt::Key_Enter, Qt::ShiftModifier | Qt::KeypadModifier);
        QTest::keyClick(&box, Qt::Key_Return);
        QCOMPARE(box.Text(), u"a\r\nb\r\n\r\n"_s);
        QCOMPARE(box.SelStart(), 8);
        QGuiApplication::clipboard()->setText(u"c\u2028d\u2029e\rf\ng\r\nh"_s);
        box.paste();
        const QString text = u"a\r\nb\r\n\r\nc\r\nd\r\ne\r\nf\r\ng\r\nh"_s;
        QCOMPARE(box.Text(), text);
        QCOMPARE(box.crlfLength(), text.size());
        QCOMPARE(box.SelStart(), text.size());
        box.setSelStart(9);
        box.setSelLength(3);
        QCOMPARE(box.SelText(), u"\r\nd"_s);
    }

    void selection_data()
    {
        QTest::addColumn<QString>("text");
        DataColumns::add<int>({"start", "length"});
        QTest::addColumn<QString>("selected");
        DataColumns::add<int>({"readStart", "readLength"});
        // "three" starts at 10, after two line ends of two positions each.
        const QString lines = u"one\r\ntwo\r\nthree words"_s;
        QTest::newRow("word after two breaks") << lines << 10 << 5 << u"three"_s << 10 << 5;
        QTest::newRow("across a break") << lines << 1 << 6 << u"ne\r\ntw"_s << 1 << 6;
        QTest::newRow("start between CR and LF") << lines << 4 << 0 << QString() << 3 << 0;
        QTest::newRow("end between CR and LF") << lines << 0 << 4 << u"one"_s << 0 << 3;
        QTest::newRow("start past the end") << lines << 1000 << 5 << QString() << 21 << 0;
        QTest::newRow("length past the end") << lines << 16 << 100 << u"words"_s << 16 << 5;
        // A character beyond the basic plane counts two.
        const QString emoji = u"a😀b\r\nc😀d"_s;
        QTest::newRow("first emoji") << emoji << 1 << 2 << u"😀"_s << 1 << 2;
        QTest::newRow("second line emoji") << emoji << 7 << 2 << u"😀"_s << 7 << 2;
        QTest::newRow("emoji, over the break") << emoji << 3 << 4 << u"b\r\nc"_s << 3 << 4;
        // The window narrows selections to 16 bits; the box itself must not.
        // B sits at 32767 and C at 32768, each after a line end that counts
        // two, so a wrapped or truncated offset lands elsewhere.
        const QString a = QString(32765, u'a');
        const QString wide = a + u"\r\nBC\r\nd"_s;
        QTest::newRow("start 32767") << wide << 32767 << 1 << u"B"_s << 32767 << 1;
        QTest::newRow("start 32768") << wide << 32768 << 1 << u"C"_s << 32768 << 1;
        QTest::newRow("across 32767 to 32768") << wide << 32767 << 2 << u"BC"_s << 32767 << 2;
        QTest::newRow("32766, between CR and LF") << wide << 32766 << 0 << QString() << 32765 << 0;
        QTest::newRow("length 32767") << wide << 0 << 32767 << a + u"\r\n"_s << 0 << 32767;
        QTest::newRow("length 32768") << wide << 0 << 32768 << a + u"\r\nB"_s << 0 << 32768;
        QTest::newRow("from 32768, ending between CR and LF")
            << wide << 32768 << 2 << u"C"_s << 32768 << 1;
    }
    void selection()
    {
        QFETCH(QString, text);
        const auto [start, length] = DataColumns::fetch<int>("start", "length");
        MaviTextBox box;
        box.setText(text);
        box.setSelStart(start);
        box.setSelLength(length);
        QTEST(box.SelText(), "selected");
        QTEST(box.SelStart(), "readStart");
        QTEST(box.SelLength(), "readLength");
        // The editor's own selection shows the same characters.
        QTEST(box.textCursor().selectedText().replace(QChar::ParagraphSeparator, u"\r\n"_s),
            "selected");
        // A negative start or length is left alone; a new start collapses.
        box.setSelStart(-1);
        box.setSelLength(-32768);
        QTEST(box.SelStart(), "readStart");
        QTEST(box.SelLength(), "readLength");
        box.setSelStart(box.SelStart());
        QCOMPARE(box.SelLength(), 0);
    }

    void offsetsHoldDeepIntoLongText()
    {
        // Lines of every kind of ending, empty ones among them; each line is
        // found again by its offset in the text read back.
        QString written;
        for (int line = 0; line < 400; ++line)
            written += (line % 5 == 0 ? QString() : u"行%1"_s.arg(line))
                + (QStringList {u"\r\n"_s, u"\n"_s, u"\r"_s})[line % 3];
        MaviTextBox box;
        box.setText(written);
        const QString text = box.Text();
        QCOMPARE(box.crlfLength(), text.size());
        for (int line = 1; line < 400; line += 37) {
            if (line % 5 == 0)
                continue;
            const QString word = u"行%1\r\n"_s.arg(line);
            const int offset = int(text.indexOf(word));
            QVERIFY(offset > 0);
            box.setSelStart(offset);
            box.setSelLength(int(word.size()));
            QCOMPARE(box.SelText(), word);
            QCOMPARE(box.SelStart(), offset);
        }
    }

    void tabLeavesTheBoxAndCtrlTabTypesATab()
    {
        QWidget window;
        auto *box = new MaviTextBox(&window);
        auto *next = new QLineEdit(&window);
        QWidget::setTabOrder(box, next);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(box->Text(), u"\t"_s);
        QVERIFY(box->hasFocus());
        QTest::keyClick(box, Qt::Key_Tab);
        QCOMPARE(box->Text(), u"\t"_s);
        QVERIFY(next->hasFocus());
    }

    void droppedFileRaisesFilePath_data()
    {
        QTest::addColumn<bool>("enabled");
        QTest::newRow("on") << true;
        QTest::newRow("switched off") << false;
    }
    void droppedFileRaisesFilePath()
    {
        QFETCH(bool, enabled);
        MaviTextBox box;
        box.setText(u"keep"_s);
        if (!enabled)
            QVERIFY(box.Invoke(31, MaviTextBox::AllFeatures & ~MaviTextBox::FileDrops));
        QSignalSpy paths(&box, &MaviTextBox::FilePath);
        QSignalSpy changes(&box, &MaviTextBox::Change);
        QMimeData mime;
        mime.setUrls({QUrl(u"https://example.com/x.txt"_s), QUrl::fromLocalFile(u"/tmp/第一.txt"_s),
            QUrl::fromLocalFile(u"/tmp/second.txt"_s)});
        QDragEnterEvent enter({10, 10}, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(box.viewport(), &enter);
        QDropEvent drop({10, 10}, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(box.viewport(), &drop);
        QCOMPARE(enter.isAccepted() && drop.isAccepted(), enabled);
        QCOMPARE(paths.count(), enabled ? 1 : 0);
        if (enabled)
            QCOMPARE(paths.at(0).at(0).toString(), u"/tmp/第一.txt"_s);
        QCOMPARE(box.Text(), u"keep"_s);
        QCOMPARE(changes.count(), 0);
    }

    void invokeSwitchesFeatures()
    {
        MaviTextBox box;
        QCOMPARE(box.features(), qint32(MaviTextBox::AllFeatures));
        QVERIFY(box.Invoke(31, 0));
        QVERIFY(!box.isUndoRedoEnabled());
        QCOMPARE(box.lineWrapMode(), QPlainTextEdit::NoWrap);
        QVERIFY(!box.Invoke(30, 65535));
        QVERIFY(!box.Invoke(-31, 65535));
        QCOMPARE(box.features(), 0);
        QVERIFY(box.Invoke(31, 65535));
        QCOMPARE(box.features(), qint32(MaviTextBox::AllFeatures));
        QVERIFY(box.isUndoRedoEnabled());
        QCOMPARE(box.lineWrapMode(), QPlainTextEdit::WidgetWidth);
    }

    void fontNameIsTheFaceInUse()
    {
        // A face that is really installed, not an alias such as "Serif".
        const QString real = QFontInfo(QFont()).family();
        MaviTextBox box;
        box.setFont(QFont(real, 18));
        QCOMPARE(box.FontName(), real);
        QCOMPARE(box.font().pointSize(), 18);
        box.setFontName(u"No Such Face 123"_s);
        QVERIFY(!box.FontName().isEmpty());
        QVERIFY(box.FontName() != u"No Such Face 123"_s);
        QCOMPARE(box.font().pointSize(), 18);
    }
};

QTEST_MAIN(TestMaviTextBox)
#include "test_MaviTextBox.moc"
