#include "DataColumns.h"
#include "ExportTestKit.h"
#include "TestFiles.h"

#include <QtTest>

using namespace Qt::StringLiterals;
using namespace ExportTestKit;

namespace
{
const QString MissingLibrary = u"libmp3lame-missing.so.0"_s;
} // namespace

class TestCMP3 : public QObject
{
    Q_OBJECT

    QStringList m_shown; // "icon|title|text"
    std::unique_ptr<QTemporaryDir> m_dir;

    std::unique_ptr<CMP3> make(const QString &library = QString())
    {
        return makeCMP3(m_shown, library);
    }

    // A one-second WAV in `folder` (made under the test's folder).
    QString makeWav(const QString &folder, const QString &name)
    {
        const QString dir = m_dir->filePath(folder);
        QDir().mkpath(dir);
        const QString path = dir + u'/' + name;
        return writeToneWav(path, 1.0) ? path : QString();
    }

private Q_SLOTS:
    void init()
    {
        m_shown.clear();
        m_dir = std::make_unique<QTemporaryDir>();
    }

    void convertsBesideTheWav_data()
    {
        DataColumns::add<QString>({"folder", "name"});
        QTest::addColumn<bool>("viaTemp");
        QTest::newRow("plain folder") << u"out"_s << u"talk.wav"_s << false;
        QTest::newRow("folder with a space") << u"My Documents"_s << u"talk.wav"_s << true;
        QTest::newRow("name with a space") << u"out"_s << u"my talk.wav"_s << true;
        QTest::newRow("name starting with a dot") << u"out"_s << u".notes.wav"_s << false;
        QTest::newRow("name starting with a dot, through the temporary folder")
            << u"My Documents"_s << u".notes.wav"_s << true;
    }

    void convertsBesideTheWav()
    {
        const auto [folder, name] = DataColumns::fetch<QString>("folder", "name");
        const QString wav = makeWav(folder, name);
        const qint64 wavSize = QFileInfo(wav).size();
        auto mp3 = make();
        QVERIFY(mp3->hasEncoder());
        QVERIFY(mp3->ConvertWavAndReport(wav));

        const QString produced = wav.chopped(4) + u".mp3"_s;
        QCOMPARE(QFileInfo(wav).size(), wavSize);
        QVERIFY(QFileInfo(produced).size() > 1000);
        QCOMPARE(m_shown,
            QStringList(u"1|轉檔已完成|"_s + wav + u"\r\n"_s + produced + u"\r\n檔案存檔完成！"_s));
        // The temporary folder is a hidden one beside the WAV, made only when
        // needed, and left empty.
        const QString staging = QFileInfo(wav).absolutePath() + u"/.Zorbo-Temp"_s;
        QTEST(QDir(staging).exists(), "viaTemp");
        QCOMPARE(entries(staging), QStringList());
    }

    void resultSizeDecides_data()
    {
        QTest::addColumn<int>("size"); // -1: no file
        QTest::addColumn<bool>("ok");
        QTest::newRow("46 bytes") << 46 << false;
        QTest::newRow("47 bytes") << 47 << true;
        QTest::newRow("nothing") << -1 << false;
    }

    void resultSizeDecides()
    {
        QFETCH(int, size);
        QFETCH(bool, ok);
        // An .mp3 is handed back as it is, so its size is what is judged.
        const QString path = m_dir->filePath(u"given.mp3"_s);
        if (size >= 0)
            TestFiles::writeAll(path, QByteArray(size, 'x'));
        auto mp3 = make();
        QCOMPARE(mp3->ConvertWavAndReport(path), ok);
        QCOMPARE(m_shown,
            QStringList((ok ? u"1|轉檔已完成|"_s : u"2|轉檔已完成|"_s) + path + u"\r\n"_s + path
                + (ok ? u"\r\n檔案存檔完成！"_s : u"\r\n檔案轉檔無法完成！"_s)));
    }

    void withoutEncoderTheWavIsDelivered_data()
    {
        DataColumns::add<QString>({"folder", "outputFolder"}); // no output folder: the WAV's own
        QTest::newRow("beside itself") << u"out"_s << QString();
        QTest::newRow("folder with a space") << u"My Documents"_s << QString();
        QTest::newRow("into another folder") << u"out"_s << u"elsewhere"_s;
    }

    void withoutEncoderTheWavIsDelivered()
    {
        const auto [folder, outputFolder] = DataColumns::fetch<QString>("folder", "outputFolder");
        const QString wav = makeWav(folder, u"talk.wav"_s);
        auto mp3 = make(MissingLibrary);
        QVERIFY(!mp3->hasEncoder());
        QCOMPARE(m_shown, QStringList(u"0||Mp3 Component not install completed !"_s));
        m_shown.clear();

        QString wavPath = wav;
        QString output = QFileInfo(wav).absolutePath() + u'/';
        if (!outputFolder.isEmpty()) {
            output = m_dir->filePath(outputFolder) + u'/';
            QVERIFY(QDir().mkpath(output));
        }
        const QString expected = output + u"talk.wav"_s;
        QCOMPARE(mp3->ToMP3(wavPath, output), expected);
        QCOMPARE(wavPath, expected);
        QCOMPARE(QFileInfo(expected).size(), QFileInfo(wav).size());
        QCOMPARE(soxi("-D", expected), 1.0);
        QVERIFY(!QFileInfo::exists(output + u"talk.mp3"_s));
        QVERIFY(m_shown.isEmpty());

        // Reported by the size of what was delivered: the WAV.
        QVERIFY(mp3->ConvertWavAndReport(wav));
        QCOMPARE(m_shown,
            QStringList(u"1|轉檔已完成|"_s + wav + u"\r\n"_s + wav + u"\r\n檔案存檔完成！"_s));
        QCOMPARE(entries(CMP3::tempFolder(wav)), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestCMP3)
#include "test_CMP3.moc"
