// The audiobook writer, read back through FFmpeg as a player reads it.
#include "ExportTestKit.h"
#include "TestFiles.h"
#include "export/M4bWriter.h"

#include <QtTest>
#include <random>

using namespace Qt::StringLiterals;
using namespace ExportTestKit;

Q_DECLARE_METATYPE(QList<M4bWriter::Mark>)

namespace
{

constexpr int AacFrame = 1024;
constexpr double Tone = 16000; // peak of the test tones, of 32767

// Seconds at which the first channel rises above half the tones' peak after
// a tenth of a second of quiet (the file starts after quiet).
QList<double> onsets(const Media &media)
{
    QList<double> at;
    qint64 quiet = media.rate;
    for (std::size_t i = 0; i < media.samples.size(); ++i) {
        if (std::abs(media.samples[i]) * 32768 < Tone / 2) {
            ++quiet;
            continue;
        }
        if (quiet >= media.rate / 10)
            at.append(double(i) / media.rate);
        quiet = 0;
    }
    return at;
}

// Silence with a fifth of a second of 440 Hz at each onset.
std::vector<int16_t> tones(int rate, int channels, qint64 frames, const QList<qint64> &onsetsMs)
{
    std::vector<int16_t> pcm(size_t(frames * channels));
    for (qint64 ms : onsetsMs) {
        const qint64 first = ms * rate / 1000;
        for (qint64 f = first; f < std::min(frames, first + rate / 5); ++f) {
            const double v = Tone * std::sin(2 * M_PI * 440 * double(f - first) / rate);
            for (int c = 0; c < channels; ++c)
                pcm[size_t(f * channels + c)] = int16_t(v);
        }
    }
    return pcm;
}

// Writes pcm in pieces of `chunk` frames and finishes; false fails the test.
bool writeBook(M4bWriter &writer, const std::vector<int16_t> &pcm, int channels, qint64 chunk,
    const QList<M4bWriter::Mark> &marks = {})
{
    const auto frames = qint64(pcm.size()) / channels;
    for (qint64 at = 0; at < frames; at += chunk) {
        if (!writer.write(pcm.data() + at * channels, std::min(chunk, frames - at)))
            return false;
    }
    return writer.finish(marks);
}

} // namespace

class TestM4bWriter : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void durationIsTheFramesWritten_data()
    {
        QTest::addColumn<int>("rate");
        QTest::addColumn<int>("channels");
        QTest::addColumn<qint64>("frames");
        QTest::addColumn<qint64>("chunk");
        QTest::newRow("22.05k voice, ragged end")
            << 22050 << 1 << qint64(22050 * 2 + 17) << qint64(333);
        QTest::newRow("under one AAC frame") << 16000 << 1 << qint64(700) << qint64(4096);
        QTest::newRow("24k stereo") << 24000 << 2 << qint64(24000 + 5) << qint64(1024);
        QTest::newRow("44.1k stereo, whole frames")
            << 44100 << 2 << qint64(43 * AacFrame) << qint64(1000);
        QTest::newRow("48k mono, one call") << 48000 << 1 << qint64(48000 + 999) << qint64(1 << 20);
    }

    void durationIsTheFramesWritten()
    {
        QFETCH(int, rate);
        QFETCH(int, channels);
        QFETCH(qint64, frames);
        QFETCH(qint64, chunk);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"book.m4b"_s);
        M4bWriter writer;
        QVERIFY2(writer.open(path, rate, channels, 64, {}, 0), qPrintable(writer.errorString()));
        QVERIFY2(writeBook(writer, tones(rate, channels, frames, {0}), channels, chunk),
            qPrintable(writer.errorString()));
        QCOMPARE(writer.framesWritten(), frames);
        const int16_t late[2] = {};
        QVERIFY(!writer.write(late, 1)); // a finished book takes no more

        const Media book = readMedia(path, true);
        const QList<double> heard = onsets(book);
        QCOMPARE(book.rate, rate);
        QCOMPARE(book.channels, channels);
        const double seconds = double(frames) / rate;
        const double frame = double(AacFrame) / rate;
        QVERIFY2(std::abs(book.seconds() - seconds) <= frame,
            qPrintable(QString::number(book.seconds())));
        const auto decoded = qint64(book.samples.size());
        QVERIFY2(std::abs(decoded - frames) <= AacFrame, qPrintable(QString::number(decoded)));
        // The priming is hidden: the tone starts the audio as heard.
        QCOMPARE(heard.size(), 1);
        QVERIFY2(heard[0] < 0.01, qPrintable(QString::number(heard[0])));
    }

    void chaptersFollowTheMarks_data()
    {
        using Marks = QList<M4bWriter::Mark>;
        QTest::addColumn<qint64>("lengthMs");
        QTest::addColumn<Marks>("marks");
        QTest::addColumn<QList<qint64>>("starts"); // ms, as read back
        QTest::newRow("none") << qint64(2000) << Marks {} << QList<qint64> {};
        QTest::newRow("three from the start")
            << qint64(6000) << Marks {{0, u"Opening"_s}, {2500, u"Middle"_s}, {4750, u"End"_s}}
            << QList<qint64> {0, 2500, 4750};
        QTest::newRow("Chinese titles, the first taking in a prelude")
            << qint64(5000)
            << Marks {{1200, u"第一章 春眠不覺曉"_s}, {3300, u"第二章 處處聞啼鳥"_s}}
            << QList<qint64> {0, 3300};
        QTest::newRow("marks out of order or past the end are kept in order")
            << qint64(4000) << Marks {{0, u"A"_s}, {2000, u"B"_s}, {1500, u"C"_s}, {9000, u"D"_s}}
            << QList<qint64> {0, 2000, 2000, 4000};
    }

    void chaptersFollowTheMarks()
    {
        QFETCH(qint64, lengthMs);
        QFETCH(QList<M4bWriter::Mark>, marks);
        QFETCH(QList<qint64>, starts);
        const int rate = 22050;
        QTemporaryDir dir;
        const QString path = dir.filePath(u"book.m4b"_s);
        M4bWriter writer;
        QVERIFY(writer.open(path, rate, 1, 64, {}, int(marks.size())));
        // A tone where each chapter starts, if inside the audio.
        QList<qint64> heard = starts;
        heard.erase(std::unique(heard.begin(), heard.end()), heard.end());
        heard.removeIf([&](qint64 ms) { return ms >= lengthMs; });
        QVERIFY2(writeBook(writer, tones(rate, 1, lengthMs * rate / 1000, heard), 1, 4410, marks),
            qPrintable(writer.errorString()));

        const Media book = readMedia(path, true);
        QCOMPARE(book.chapters.size(), marks.size());
        for (qsizetype i = 0; i < marks.size(); ++i) {
            const Media::Chapter &c = book.chapters[i];
            QCOMPARE(c.title, marks[i].title);
            QVERIFY2(std::abs(c.start - starts[i] / 1000.0) <= 0.01, qPrintable(c.title));
            const double end = i + 1 < marks.size() ? book.chapters[i + 1].start : book.seconds();
            QVERIFY2(std::abs(c.end - end) <= 0.001, qPrintable(c.title));
        }
        // Where a chapter starts, its tone is heard: the marks are in the
        // time of the audio as played, not of the encoder's priming.
        const QList<double> found = onsets(book);
        QCOMPARE(found.size(), heard.size());
        for (qsizetype i = 0; i < heard.size(); ++i)
            QVERIFY2(std::abs(found[i] - heard[i] / 1000.0) <= 0.01,
                qPrintable(QString::number(found[i])));
    }

    void tagsAndCover_data()
    {
        QTest::addColumn<QByteArray>("cover");
        QTest::addColumn<QString>("mimeType");
        QTest::addColumn<int>("codec"); // AV_CODEC_ID_NONE: left out
        const QByteArray png = imageBytes("PNG");
        QTest::newRow("PNG") << png << u"image/png"_s << int(AV_CODEC_ID_PNG);
        QTest::newRow("JPEG, no type given")
            << imageBytes("JPEG") << QString() << int(AV_CODEC_ID_MJPEG);
        QTest::newRow("PNG said to be JPEG") << png << u"image/jpeg"_s << int(AV_CODEC_ID_PNG);
        QTest::newRow("GIF is left out") << QByteArray("GIF89a\x01\0\x01\0\0\0\0;", 14)
                                         << u"image/gif"_s << int(AV_CODEC_ID_NONE);
        QTest::newRow("no cover") << QByteArray() << QString() << int(AV_CODEC_ID_NONE);
    }

    void tagsAndCover()
    {
        QFETCH(QByteArray, cover);
        QFETCH(QString, mimeType);
        QFETCH(int, codec);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"書.m4b"_s);
        const M4bWriter::Tags tags {
            u"靜夜思"_s, u"李白"_s, u"Parlo Reader"_s, u"Tang Poems"_s, cover, mimeType, 7};
        M4bWriter writer;
        QVERIFY2(writer.open(path, 22050, 1, 48, tags, 0), qPrintable(writer.errorString()));
        QVERIFY(writeBook(writer, tones(22050, 1, 22050, {0}), 1, 22050));

        const Media book = readMedia(path, true);
        QCOMPARE(book.tags.value(u"title"_s), tags.title);
        QCOMPARE(book.tags.value(u"artist"_s), tags.artist);
        QCOMPARE(book.tags.value(u"album_artist"_s), tags.albumArtist);
        QCOMPARE(book.tags.value(u"album"_s), tags.album);
        QCOMPARE(book.tags.value(u"track"_s), u"7"_s);
        // Filed as an audiobook.
        QCOMPARE(book.tags.value(u"media_type"_s), u"2"_s);
        QCOMPARE(book.tags.value(u"major_brand"_s), u"M4B "_s);
        QCOMPARE(int(book.coverCodec), codec);
        QCOMPARE(book.cover, codec == AV_CODEC_ID_NONE ? QByteArray() : cover);
        QVERIFY(!book.samples.empty());
    }

    void sizeFollowsTheBitRate_data()
    {
        QTest::addColumn<int>("rate");
        QTest::addColumn<int>("channels");
        QTest::addColumn<int>("kbps");
        QTest::newRow("22.05k mono at 64") << 22050 << 1 << 64;
        QTest::newRow("16k mono at 32") << 16000 << 1 << 32;
        QTest::newRow("44.1k stereo at 128") << 44100 << 2 << 128;
    }

    void sizeFollowsTheBitRate()
    {
        QFETCH(int, rate);
        QFETCH(int, channels);
        QFETCH(int, kbps);
        const int seconds = 30;
        // Noise, which no encoder can make smaller than the rate allows.
        std::mt19937 random(7);
        std::uniform_int_distribution<int> sample(-8000, 8000);
        std::vector<int16_t> pcm(size_t(seconds * rate * channels));
        for (int16_t &s : pcm)
            s = int16_t(sample(random));
        QTemporaryDir dir;
        const QString path = dir.filePath(u"noise.m4b"_s);
        M4bWriter writer;
        QVERIFY(writer.open(path, rate, channels, kbps, {}, 0));
        QVERIFY(writeBook(writer, pcm, channels, 8192));
        QVERIFY(writer.encoderSeconds() > 0);

        const double expected = kbps * 1000.0 / 8 * seconds;
        const auto size = double(QFileInfo(path).size());
        QVERIFY2(std::abs(size - expected) <= 0.2 * expected,
            qPrintable(u"%1 bytes for %2 expected"_s.arg(size).arg(expected)));
    }

    void failuresLeaveNoFile_data()
    {
        QTest::addColumn<QString>("name"); // in a fresh folder; "file/…" is below a file
        QTest::addColumn<int>("rate");
        QTest::addColumn<int>("channels");
        QTest::addColumn<int>("kbps");
        QTest::newRow("missing folder") << u"gone/book.m4b"_s << 22050 << 1 << 64;
        QTest::newRow("folder is a file") << u"file/book.m4b"_s << 22050 << 1 << 64;
        QTest::newRow("zero rate") << u"book.m4b"_s << 0 << 1 << 64;
        QTest::newRow("negative rate") << u"book.m4b"_s << -22050 << 1 << 64;
        QTest::newRow("rate AAC lacks") << u"book.m4b"_s << 22000 << 1 << 64;
        QTest::newRow("three channels") << u"book.m4b"_s << 22050 << 3 << 64;
        QTest::newRow("zero bit rate") << u"book.m4b"_s << 22050 << 1 << 0;
    }

    void failuresLeaveNoFile()
    {
        QFETCH(QString, name);
        QFETCH(int, rate);
        QFETCH(int, channels);
        QFETCH(int, kbps);
        QTemporaryDir dir;
        TestFiles::writeAll(dir.filePath(u"file"_s), "not a folder");
        const QString path = dir.filePath(name);
        M4bWriter writer;
        QVERIFY(!writer.open(path, rate, channels, kbps, {}, 2));
        const QString message = writer.errorString();
        QVERIFY2(message.contains(QDir::toNativeSeparators(path)), qPrintable(message));

        // Later calls fail too, and keep the first cause.
        const int16_t pcm[4] = {};
        QVERIFY(!writer.write(pcm, 2));
        QVERIFY(!writer.finish({{0, u"One"_s}}));
        QCOMPARE(writer.errorString(), message);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::NoDotAndDotDot),
            QStringList {u"file"_s});
    }

    void unfinishedBooksLeaveNoFile_data()
    {
        QTest::addColumn<bool>("abort"); // else the writer is destroyed
        QTest::addColumn<bool>("olderBook");
        QTest::newRow("aborted") << true << false;
        QTest::newRow("destroyed") << false << false;
        QTest::newRow("aborted over an older book") << true << true;
        QTest::newRow("destroyed over an older book") << false << true;
    }

    void unfinishedBooksLeaveNoFile()
    {
        QFETCH(bool, abort);
        QFETCH(bool, olderBook);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"book.m4b"_s);
        if (olderBook)
            TestFiles::writeAll(path, "older book");
        {
            M4bWriter writer;
            QVERIFY(writer.open(path, 22050, 1, 64, {}, 1));
            const std::vector<int16_t> pcm = tones(22050, 1, 30000, {0});
            QVERIFY(writer.write(pcm.data(), 30000));
            if (abort) {
                writer.abort();
                QVERIFY(!writer.write(pcm.data(), 100));
                QVERIFY(writer.errorString().contains(QDir::toNativeSeparators(path)));
            }
        }
        const QStringList left = QDir(dir.path()).entryList(QDir::Files | QDir::NoDotAndDotDot);
        QCOMPARE(left, olderBook ? QStringList {u"book.m4b"_s} : QStringList {});
        if (olderBook)
            QCOMPARE(TestFiles::readAll(path), "older book"_ba);
    }
};

QTEST_GUILESS_MAIN(TestM4bWriter)
#include "test_M4bWriter.moc"
