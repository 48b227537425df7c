// The file-dialog wrappers, answered by a scripted runner: filters, filter
// index, start folder, options, cancel and the read-only refusal.

#include "TestFiles.h"
#include "shell/AppDlgX.h"
#include "shell/MessageBox.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

class TestAppDlgX : public QObject
{
    Q_OBJECT

    QList<AppDlgX::Request> asked;
    QStringList answers; // taken from the front, one per dialog shown
    QStringList messages;

    void answerWith(QStringList replies)
    {
        asked.clear();
        messages.clear();
        answers = std::move(replies);
    }

private Q_SLOTS:
    void initTestCase()
    {
        AppDlgX::setRunner([this](const AppDlgX::Request &r) {
            asked.append(r);
            return answers.isEmpty() ? QString() : answers.takeFirst();
        });
        MessageBox::setHandler([this](auto, auto, const QString &text, auto) {
            messages.append(text);
            return MessageBox::Answer::Ok;
        });
    }

    void filters_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("qt");
        QTest::newRow("open") << u"All Files (*.*)|*.*|Text, XML Files (*.txt;*.xml)|*.txt;*.xml"_s
                              << QStringList {
                                     u"All Files (*)"_s, u"Text, XML Files (*.txt *.xml)"_s};
        QTest::newRow("no list in description")
            << u"Wave|*.wav"_s << QStringList {u"Wave (*.wav)"_s};
        QTest::newRow("dangling description")
            << u"Text files (*.txt)|*.txt|Rest"_s << QStringList {u"Text files (*.txt)"_s};
        QTest::newRow("empty") << QString() << QStringList {};
        QTest::newRow("blank pattern") << u"Any|"_s << QStringList {u"Any (*)"_s};
    }
    void filters()
    {
        QFETCH(QString, filter);
        QFETCH(QStringList, qt);
        QCOMPARE(AppDlgX::toQtFilters(filter), qt);
    }

    void openAndSaveRequests()
    {
        const QString filter = u"All Files (*.*)|*.*|Text, XML Files (*.txt;*.xml)|*.txt;*.xml"_s;
        answerWith({u"/tmp/a\u0000.txt"_s, QString()});
        QCOMPARE(AppDlgX::ShowOpenDialog(nullptr, filter, u"開啟檔案"_s, u"/srv/docs/"_s, 0, 2,
                     AppDlgX::OFN_PATHMUSTEXIST | AppDlgX::OFN_FILEMUSTEXIST),
            u"/tmp/a.txt"_s);
        QCOMPARE(AppDlgX::ShowSaveDialog(nullptr, u"Text files (*.txt)|*.txt"_s, u"另存新檔"_s,
                     QString(), 0, 0, AppDlgX::OFN_PATHMUSTEXIST),
            u"0"_s);
        QCOMPARE(asked.size(), 2);
        const AppDlgX::Request &open = asked[0];
        QCOMPARE(open.mode, AppDlgX::Request::Mode::Open);
        QCOMPARE(open.title, u"開啟檔案"_s);
        QCOMPARE(open.initialDir, u"/srv/docs/"_s);
        QCOMPARE(open.selectedFilter, 1);
        QVERIFY(open.fileMustExist);
        QVERIFY(!open.confirmOverwrite);
        const AppDlgX::Request &save = asked[1];
        QCOMPARE(save.mode, AppDlgX::Request::Mode::Save);
        QCOMPARE(save.selectedFilter, 0);
        QVERIFY(save.initialDir.isEmpty());
        QVERIFY(save.confirmOverwrite);
        // Out-of-range indexes show the first entry.
        QCOMPARE(AppDlgX::selectedFilterEntry(3, 2), 0);
        QCOMPARE(AppDlgX::selectedFilterEntry(2, 2), 1);
    }

    void readOnlyFileIsRefused()
    {
        QTemporaryDir dir;
        const QString locked = dir.filePath(u"locked.txt"_s);
        TestFiles::writeAll(locked, "x");
        QVERIFY(QFile::setPermissions(locked, QFileDevice::ReadOwner));
        const QString fresh = dir.filePath(u"fresh.txt"_s);
        answerWith({locked, fresh});
        QCOMPARE(AppDlgX::ShowSaveDialog(
                     nullptr, u"T|*.txt"_s, u"t"_s, QString(), 0, 1, AppDlgX::OFN_NOREADONLYRETURN),
            fresh);
        QCOMPARE(asked.size(), 2);
        QCOMPARE(messages, QStringList {AppDlgX::readOnlyText(locked)});
        QCOMPARE(asked[1].initialDir, dir.path());
        // Without the flag the file is returned as chosen.
        answerWith({locked});
        QCOMPARE(
            AppDlgX::ShowSaveDialog(nullptr, u"T|*.txt"_s, u"t"_s, QString(), 0, 1, 0), locked);
        QVERIFY(messages.isEmpty());
    }
};

QTEST_MAIN(TestAppDlgX)
#include "test_AppDlgX.moc"
