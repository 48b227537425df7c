// The file-dialog wrappers, answered by a scripted runner: filters, filter
// index, start folder, options, cancel and the read-only refusal.

#include "TestFiles.h"
#include "shell/AppDlgX.h"
#include "shell/MessageBox.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

class TestAppDlgX : public QObject
{
    Q_OBJECT

    QList<AppDlgX::Request> asked;
    QStringList answers; // one per dialog shown; "" cancels
    QStringList messages;

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

    void filters()
    {
        QCOMPARE(
            AppDlgX::toQtFilters(
                u"All Files (*.*)|*.*|Text, XML Files (*.txt;*.xml)|*.txt;*.xml|Wave|*.wav|x"_s),
            (QStringList {
                u"All Files (*)"_s, u"Text, XML Files (*.txt *.xml)"_s, u"Wave (*.wav)"_s}));
        QVERIFY(AppDlgX::toQtFilters(QString()).isEmpty());
        // A note in brackets is part of the description, not a pattern list.
        const QString note
            = u"請輸入wav檔名，會同時儲存wav與ma3兩種檔案 (注意！檔名只能使用英文與數字)"_s;
        QCOMPARE(AppDlgX::toQtFilters(note + u"|*.wav"_s), QStringList {note + u" (*.wav)"_s});
    }

    void openAndSaveRequests()
    {
        const QString filter = u"All|*.*|Text|*.txt"_s;
        answers = {u"/tmp/a\u0000.txt"_s};
        QCOMPARE(AppDlgX::ShowOpenDialog(
                     nullptr, filter, u"開啟檔案"_s, u"/srv/"_s, 0, 2, AppDlgX::OFN_FILEMUSTEXIST),
            u"/tmp/a.txt"_s);
        QCOMPARE(AppDlgX::ShowSaveDialog(nullptr, filter, u"存"_s, QString(), 0, 3, 0), u"0"_s);
        QCOMPARE(asked.size(), 2);
        QCOMPARE(asked[0].mode, AppDlgX::Request::Mode::Open);
        QCOMPARE(asked[0].title, u"開啟檔案"_s);
        QCOMPARE(asked[0].initialDir, u"/srv/"_s);
        QCOMPARE(asked[0].selectedFilter, 1);
        QVERIFY(asked[0].fileMustExist && !asked[0].confirmOverwrite);
        // Past the last entry shows the first; saving always asks before
        // overwriting.
        QCOMPARE(asked[1].mode, AppDlgX::Request::Mode::Save);
        QCOMPARE(asked[1].selectedFilter, 0);
        QVERIFY(asked[1].confirmOverwrite);
    }

    void readOnlyFileIsRefused()
    {
        QTemporaryDir dir;
        const QString locked = dir.filePath(u"locked.txt"_s);
        TestFiles::writeAll(locked, "x");
        QVERIFY(QFile::setPermissions(locked, QFileDevice::ReadOwner));
        asked.clear();
        answers = {locked, dir.filePath(u"new.txt"_s), locked};
        QCOMPARE(AppDlgX::ShowSaveDialog(
                     nullptr, u"T|*.txt"_s, u"t"_s, QString(), 0, 1, AppDlgX::OFN_NOREADONLYRETURN),
            dir.filePath(u"new.txt"_s));
        QCOMPARE(messages, QStringList {AppDlgX::readOnlyText(locked)});
        QCOMPARE(asked[1].initialDir, dir.path());
        // Without the flag the file is returned as chosen.
        QCOMPARE(
            AppDlgX::ShowSaveDialog(nullptr, u"T|*.txt"_s, u"t"_s, QString(), 0, 1, 0), locked);
        QCOMPARE(messages.size(), 1);
    }
};

QTEST_MAIN(TestAppDlgX)
#include "test_AppDlgX.moc"
