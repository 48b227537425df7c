#include "shell/MaviTextBox.h"

#include <QFontDatabase>
#include <QMimeData>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QUrl>
#include <QtTest>

namespace
{

// "one", CR LF, "two", CR LF, "three words": "three" starts at 10.
const QString Sample = QStringLiteral("one\r\ntwo\r\nthree words");

// Editor position of every CR LF offset of text, worked out from the string
// alone: a line end is one position, and the offset of its LF maps to the
// end of the line like that of its CR.
QList<int> referencePositions(const QString &text)
{
    QList<int> positions;
    int position = 0;
    for (int k = 0; k <= text.size(); ++k) {
        if (k > 0 && text[k - 1] == u'\r' && k < text.size() && text[k] == u'\n') {
            positions.append(position - 1); // between CR and LF
            continue;
        }
        positions.append(position);
        ++position;
    }
    return positions;
}

} // namespace

class TestMaviTextBox : public QObject
{
    Q_OBJECT

    bool sendDrop(MaviTextBox &box, QMimeData *mime)
    {
        const QPoint at(10, 10);
        QDragEnterEvent enter(at, Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(box.viewport(), &enter);
        QDropEvent drop(at, Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(box.viewport(), &drop);
        return enter.isAccepted() && drop.isAccepted();
    }

private Q_SLOTS:
    void textReadsBackWithCrLf_data()
    {
        QTest::addColumn<QString>("written");
        QTest::addColumn<QString>("read");
        QTest::newRow("crlf") << QStringLiteral("a\r\nb") << QStringLiteral("a\r\nb");
        QTest::newRow("lf") << QStringLiteral("a\nb") << QStringLiteral("a\r\nb");
        QTest::newRow("lone cr") << QStringLiteral("a\rb") << QStringLiteral("a\r\nb");
        QTest::newRow("mixed") << QStringLiteral("a\r\rb\n") << QStringLiteral("a\r\n\r\nb\r\n");
        QTest::newRow("blank lines") << QStringLiteral("\r\n\r\nx") << QStringLiteral("\r\n\r\nx");
        QTest::newRow("empty") << QString() << QString();
        QTest::newRow("no-break space kept")
            << QStringLiteral("a\u00A0b") << QStringLiteral("a\u00A0b");
        QTest::newRow("chinese and emoji")
            << QStringLiteral("朗讀\n😀") << QStringLiteral("朗讀\r\n😀");
    }
    void textReadsBackWithCrLf()
    {
        QFETCH(QString, written);
        QFETCH(QString, read);
        MaviTextBox box;
        box.setText(written);
        QCOMPARE(box.Text(), read);
        QCOMPARE(box.crlfLength(), read.size());
        // Writing what was read changes nothing.
        box.setText(box.Text());
        QCOMPARE(box.Text(), read);
    }

    void changeIsRaisedOncePerChange()
    {
        MaviTextBox box;
        QSignalSpy spy(&box, &MaviTextBox::Change);
        box.setText(QStringLiteral("line one\nline two"));
        QCOMPARE(spy.count(), 1);
        box.setText(box.Text());
        QCOMPARE(spy.count(), 2);
        // Neither the selection, the font nor the colour is a change of text.
        box.setSelStart(2);
        box.setSelLength(5);
        box.setFont(QFont(QStringLiteral("Serif"), 20));
        box.setBackColor(Qt::yellow);
        QCOMPARE(spy.count(), 2);
        box.setSelStart(0);
        QTest::keyClicks(&box, QStringLiteral("ab"));
        QCOMPARE(spy.count(), 4);
        QVERIFY(box.Text().startsWith(QStringLiteral("abline one\r\n")));
    }

    void changeSeesTheNewText()
    {
        MaviTextBox box;
        QString seen;
        connect(&box, &MaviTextBox::Change, &box, [&] { seen = box.Text(); });
        box.setText(QStringLiteral("x\ny"));
        QCOMPARE(seen, QStringLiteral("x\r\ny"));
    }

    void selection_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("length");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<int>("readStart");
        QTest::addColumn<int>("readLength");
        QTest::newRow("word after two breaks") << 10 << 5 << QStringLiteral("three") << 10 << 5;
        QTest::newRow("last word") << 16 << 5 << QStringLiteral("words") << 16 << 5;
        QTest::newRow("second line") << 5 << 3 << QStringLiteral("two") << 5 << 3;
        QTest::newRow("across a break") << 1 << 6 << QStringLiteral("ne\r\ntw") << 1 << 6;
        QTest::newRow("whole line with its break") << 5 << 5 << QStringLiteral("two\r\n") << 5 << 5;
        QTest::newRow("start between CR and LF") << 4 << 0 << QString() << 3 << 0;
        QTest::newRow("end between CR and LF") << 0 << 4 << QStringLiteral("one") << 0 << 3;
        QTest::newRow("start past the end") << 1000 << 5 << QString() << 21 << 0;
        QTest::newRow("length past the end") << 16 << 100 << QStringLiteral("words") << 16 << 5;
        QTest::newRow("caret only") << 7 << 0 << QString() << 7 << 0;
        QTest::newRow("everything") << 0 << 21 << Sample << 0 << 21;
    }
    void selection()
    {
        QFETCH(int, start);
        QFETCH(int, length);
        QFETCH(QString, selected);
        QFETCH(int, readStart);
        QFETCH(int, readLength);
        MaviTextBox box;
        box.setText(Sample);
        box.setSelStart(start);
        box.setSelLength(length);
        QCOMPARE(box.SelText(), selected);
        QCOMPARE(box.SelStart(), readStart);
        QCOMPARE(box.SelLength(), readLength);
        // The editor's own selection shows the same characters.
        QString raw = box.textCursor().selectedText();
        raw.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
        QCOMPARE(raw, selected);
    }

    void startCollapsesTheSelection()
    {
        MaviTextBox box;
        box.setText(Sample);
        box.setSelStart(0);
        box.setSelLength(9);
        box.setSelStart(10);
        QCOMPARE(box.SelStart(), 10);
        QCOMPARE(box.SelLength(), 0);
    }

    void negativeMeansLeaveAlone()
    {
        MaviTextBox box;
        box.setText(Sample);
        box.setSelStart(5);
        box.setSelLength(3);
        box.setSelStart(-1);
        box.setSelLength(-1);
        QCOMPARE(box.SelStart(), 5);
        QCOMPARE(box.SelLength(), 3);
        box.setSelLength(-32768);
        QCOMPARE(box.SelText(), QStringLiteral("two"));
    }

    void surrogatePairsCountTwo_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("length");
        QTest::addColumn<QString>("selected");
        QTest::newRow("first emoji") << 1 << 2 << QStringLiteral("😀");
        QTest::newRow("after emoji") << 3 << 1 << QStringLiteral("b");
        QTest::newRow("second line emoji") << 7 << 2 << QStringLiteral("😀");
        QTest::newRow("last character") << 9 << 1 << QStringLiteral("d");
        QTest::newRow("over the break") << 3 << 4 << QStringLiteral("b\r\nc");
    }
    void surrogatePairsCountTwo()
    {
        QFETCH(int, start);
        QFETCH(int, length);
        QFETCH(QString, selected);
        MaviTextBox box;
        box.setText(QStringLiteral("a😀b\r\nc😀d"));
        box.setSelStart(start);
        box.setSelLength(length);
        QCOMPARE(box.SelText(), selected);
        QCOMPARE(box.SelStart(), start);
        QCOMPARE(box.SelLength(), length);
    }

    void mappingMatchesTheText()
    {
        // Lines of random lengths, empty ones included, with every kind of
        // line end on the way in.
        QRandomGenerator gen(42);
        QString written;
        for (int line = 0; line < 400; ++line) {
            const int len = gen.bounded(4) == 0 ? 0 : gen.bounded(1, 30);
            for (int i = 0; i < len; ++i)
                written += QChar(gen.bounded(3) == 0 ? 0x4E00 + i : 'a' + i % 26);
            written += (QStringList {QStringLiteral("\r\n"), QStringLiteral("\n"),
                QStringLiteral("\r")})[gen.bounded(3)];
        }
        MaviTextBox box;
        box.setText(written);
        const QString text = box.Text();
        const QList<int> expected = referencePositions(text);
        QCOMPARE(box.crlfLength(), text.size());
        for (int k = 0; k <= text.size(); ++k) {
            QCOMPARE(box.toPosition(k), expected[k]);
            // Back again: an offset inside CR LF comes back as the CR.
            const bool insideBreak = k > 0 && k < text.size() && text[k] == u'\n';
            QCOMPARE(box.toCrlfOffset(expected[k]), insideBreak ? k - 1 : k);
        }
        QCOMPARE(box.toPosition(-5), 0);
        QCOMPARE(box.toPosition(text.size() + 5), expected.last());
    }

    void droppedFileRaisesFilePath()
    {
        MaviTextBox box;
        box.setText(QStringLiteral("keep"));
        QSignalSpy paths(&box, &MaviTextBox::FilePath);
        QSignalSpy changes(&box, &MaviTextBox::Change);
        QMimeData mime;
        mime.setUrls({QUrl(QStringLiteral("https://example.com/x.txt")),
            QUrl::fromLocalFile(QStringLiteral("/tmp/第一.txt")),
            QUrl::fromLocalFile(QStringLiteral("/tmp/second.txt"))});
        QVERIFY(sendDrop(box, &mime));
        QCOMPARE(paths.count(), 1);
        QCOMPARE(paths.at(0).at(0).toString(), QStringLiteral("/tmp/第一.txt"));
        QCOMPARE(box.Text(), QStringLiteral("keep"));
        QCOMPARE(changes.count(), 0);
    }

    void fileDropsCanBeSwitchedOff()
    {
        MaviTextBox box;
        box.setText(QStringLiteral("keep"));
        QVERIFY(box.Invoke(31, MaviTextBox::AllFeatures & ~MaviTextBox::FileDrops));
        QSignalSpy paths(&box, &MaviTextBox::FilePath);
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/a.txt"))});
        QVERIFY(!sendDrop(box, &mime));
        QCOMPARE(paths.count(), 0);
        QCOMPARE(box.Text(), QStringLiteral("keep"));
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
        QString real;
        const QStringList families = QFontDatabase::families();
        for (const QString &family : families) {
            if (QFontInfo(QFont(family)).family() == family) {
                real = family;
                break;
            }
        }
        if (real.isEmpty())
            QSKIP("no installed faces on this machine");
        MaviTextBox box;
        box.setFont(QFont(real, 18));
        QCOMPARE(box.FontName(), real);
        QCOMPARE(box.font().pointSize(), 18);
        box.setFontName(QStringLiteral("No Such Face 123"));
        QVERIFY(!box.FontName().isEmpty());
        QVERIFY(box.FontName() != QStringLiteral("No Such Face 123"));
        QCOMPARE(box.font().pointSize(), 18);
    }

    void backColourReadsBack()
    {
        MaviTextBox box;
        box.setBackColor(QColor(174, 216, 230));
        QCOMPARE(box.BackColor(), QColor(174, 216, 230));
        QCOMPARE(box.viewport()->palette().color(QPalette::Base), QColor(174, 216, 230));
    }
};

QTEST_MAIN(TestMaviTextBox)
#include "test_MaviTextBox.moc"
