#include "ExportTestKit.h"
#include "TestFiles.h"
#include "export/Mp3Encoder.h"

#include <QtTest>

using namespace Qt::StringLiterals;
using namespace ExportTestKit;

using TestFiles::readAll;

namespace
{

const QStringList ReaderOptions = {u"if44.1"_s, u"iBw32"_s, u"iLevel5"_s, u"iOM_M"_s};

// A 16-bit PCM WAV of any channel count, with a plain 44-byte header.
void writePlainWav(const QString &path, int rate, int channels, const std::vector<int16_t> &pcm)
{
    const quint32 data = quint32(pcm.size() * 2);
    QByteArray bytes;
    QDataStream d(&bytes, QIODevice::WriteOnly);
    d.setByteOrder(QDataStream::LittleEndian);
    d.writeRawData("RIFF", 4);
    d << quint32(36 + data);
    d.writeRawData("WAVEfmt ", 8);
    d << quint32(16) << quint16(1) << quint16(channels) << quint32(rate)
      << quint32(rate * channels * 2) << quint16(channels * 2) << quint16(16);
    d.writeRawData("data", 4);
    d << data;
    d.writeRawData(reinterpret_cast<const char *>(pcm.data()), int(data));
    TestFiles::writeAll(path, bytes);
}

// Frame count in the LAME/Xing frame at the start of an MP3, or -1.
qint64 taggedFrames(const QByteArray &mp3)
{
    const QByteArray first = mp3.left(64);
    qsizetype at = first.indexOf("Info");
    if (at < 0)
        at = first.indexOf("Xing");
    if (at < 0 || !(qFromBigEndian<quint32>(mp3.constData() + at + 4) & 1))
        return -1;
    return qFromBigEndian<quint32>(mp3.constData() + at + 8);
}

} // namespace

Q_DECLARE_METATYPE(Mp3Encoder::Tags)

class TestMp3Encoder : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(!QStandardPaths::findExecutable(u"lame"_s).isEmpty(),
            "the lame program decodes the results (tools/install-deps.sh installs it)");
    }

    void decodesToTheSameDuration_data()
    {
        QTest::addColumn<int>("rate");
        QTest::addColumn<int>("channels");
        QTest::addColumn<double>("seconds");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("outRate");
        QTest::addColumn<int>("outChannels");
        QTest::addColumn<int>("kbps");
        // LAME leaves out its tag when it does not fit in one frame, as at
        // 32 kbit/s and 44.1 kHz (104 bytes); a player then goes by the size.
        QTest::addColumn<bool>("tagged");
        QTest::newRow("22k voice")
            << 22050 << 1 << 1.3 << ReaderOptions << 44100 << 1 << 32 << false;
        QTest::newRow("stereo mixed down")
            << 44100 << 2 << 2.0 << ReaderOptions << 44100 << 1 << 32 << false;
        QTest::newRow("stereo kept at 22.05k")
            << 16000 << 2 << 2.5 << QStringList {u"iOM_S"_s, u"if22.05"_s, u"iBw64"_s, u"iLevel2"_s}
            << 22050 << 2 << 64 << true;
        QTest::newRow("mono at 128k")
            << 16000 << 1 << 1.0 << QStringList {u"if44.1"_s, u"iBw128"_s, u"iLevel5"_s, u"iOM_M"_s}
            << 44100 << 1 << 128 << true;
    }

    void decodesToTheSameDuration()
    {
        QFETCH(int, rate);
        QFETCH(int, channels);
        QFETCH(double, seconds);
        QFETCH(QStringList, options);
        QFETCH(int, outRate);
        QFETCH(int, kbps);
        QFETCH(bool, tagged);
        QTemporaryDir dir;
        const QString wav = dir.filePath(u"in.wav"_s);
        const QString mp3 = dir.filePath(u"out.mp3"_s);
        writePlainWav(wav, rate, channels, tone(rate, channels, seconds));

        Mp3Encoder encoder;
        QVERIFY(encoder.isAvailable());
        QString message;
        encoder.EncodeFile(wav, mp3, options[0], options[1], options[2], options[3], message);
        QVERIFY(!message.isEmpty());

        // What a player shows: the tag's frame count, or else the size at the
        // constant bit rate. A placeholder tag left unfilled would show zero.
        const QByteArray bytes = readAll(mp3);
        const qint64 frames = taggedFrames(bytes);
        QCOMPARE(frames >= 0, tagged);
        const int frameSamples = outRate >= 32000 ? 1152 : 576;
        const double shown
            = tagged ? double(frames) * frameSamples / outRate : bytes.size() * 8.0 / (kbps * 1000);
        QVERIFY2(qAbs(shown - seconds) <= 0.05 * seconds, qPrintable(QString::number(shown)));

        const QString decoded = dir.filePath(u"decoded.wav"_s);
        QVERIFY(run(u"lame"_s, {u"--quiet"_s, u"--decode"_s, mp3, decoded}));
        QCOMPARE(soxi("-r", decoded), double(outRate));
        QTEST(int(soxi("-c", decoded)), "outChannels");
        const double duration = soxi("-D", decoded);
        QVERIFY2(qAbs(duration - seconds) <= 0.05 * seconds, qPrintable(QString::number(duration)));
    }

    // The tag of a chapter of a split book, as players read it
    // ("title|album|artist|track" and the cover); the LAME frame that follows
    // it is still rewritten with the real frame count.
    void tagsReadBackByAPlayer_data()
    {
        QTest::addColumn<Mp3Encoder::Tags>("tags");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<bool>("cover");
        const QByteArray png = imageBytes("PNG");
        QTest::newRow("everything") << Mp3Encoder::Tags {u"第一章 上山"_s, u"山居記"_s, u"王小明"_s,
            1, 3, png, u"image/png"_s}
                                    << u"第一章 上山|山居記|王小明|1/3"_s << true;
        QTest::newRow("title only")
            << Mp3Encoder::Tags {u"序"_s, {}, {}, 0, 0, {}, {}} << u"序|||"_s << false;
        QTest::newRow("a cover of no known type is left out") << Mp3Encoder::Tags {u"後記"_s, {},
            {}, 12, 0, png, u"image/webp"_s} << u"後記|||12"_s << false;
        QTest::newRow("nothing: no tag") << Mp3Encoder::Tags {} << u"|||"_s << false;
    }

    void tagsReadBackByAPlayer()
    {
        QFETCH(Mp3Encoder::Tags, tags);
        QTemporaryDir dir;
        const QString mp3 = dir.filePath(u"chapter.mp3"_s);
        Mp3Encoder encoder;
        Mp3Encoder::Settings settings;
        settings.bitrate = 64;
        settings.leadingTag = Mp3Encoder::id3v2Tag(tags);
        QCOMPARE(settings.leadingTag.isEmpty(), tags.title.isEmpty());
        const std::vector<int16_t> tone(44100, 1000);
        encoder.begin(mp3, 44100, 1, settings);
        encoder.feed(tone.data(), qint64(tone.size()));
        QCOMPARE(encoder.finish(), 1.0);
        QVERIFY(encoder.wroteTag());

        const QByteArray bytes = readAll(mp3);
        QVERIFY(bytes.startsWith(settings.leadingTag));
        QVERIFY(taggedFrames(bytes.mid(settings.leadingTag.size())) > 0);
        const Media read = readMedia(mp3);
        const QStringList shown {read.tags.value(u"title"_s), read.tags.value(u"album"_s),
            read.tags.value(u"artist"_s), read.tags.value(u"track"_s)};
        QTEST(shown.join(u'|'), "expected");
        QFETCH(bool, cover);
        QCOMPARE(read.cover, cover ? tags.cover : QByteArray());
        QCOMPARE(qRound(read.seconds() * 10), 10);
    }

    void failuresRaiseAnError_data()
    {
        QTest::addColumn<QString>("source"); // "tone", "text" or a missing name
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("badOption");
        QTest::addColumn<int>("code");
        QTest::newRow("no library")
            << u"tone"_s << u"o.mp3"_s << QString() << int(Mp3Encoder::NoLibrary);
        QTest::newRow("no source")
            << u"gone.wav"_s << u"o.mp3"_s << QString() << int(Mp3Encoder::BadSource);
        QTest::newRow("not a WAV")
            << u"text"_s << u"o.mp3"_s << QString() << int(Mp3Encoder::BadSource);
        QTest::newRow("target folder missing")
            << u"tone"_s << u"no/such/o.mp3"_s << QString() << int(Mp3Encoder::BadTarget);
        QTest::newRow("bit rate out of range")
            << u"tone"_s << u"o.mp3"_s << u"iBw999"_s << int(Mp3Encoder::BadOption);
        QTest::newRow("unknown code")
            << u"tone"_s << u"o.mp3"_s << u"iQ7"_s << int(Mp3Encoder::BadOption);
    }

    void failuresRaiseAnError()
    {
        QFETCH(QString, source);
        QFETCH(QString, target);
        QFETCH(QString, badOption);
        QFETCH(int, code);
        QTemporaryDir dir;
        QString wav = dir.filePath(source);
        if (source == u"tone") {
            wav = dir.filePath(u"in.wav"_s);
            QVERIFY(writeToneWav(wav, 0.5));
        } else if (source == u"text") {
            wav = dir.filePath(u"in.wav"_s);
            TestFiles::writeAll(wav, QByteArray(4000, 'x'));
        }
        QStringList options = ReaderOptions;
        if (!badOption.isEmpty())
            options[1] = badOption;

        Mp3Encoder encoder(code == Mp3Encoder::NoLibrary
                ? u"libmp3lame-missing.so.0"_s
                : QString::fromLatin1(Mp3Encoder::DefaultLibrary));
        QCOMPARE(encoder.isAvailable(), code != Mp3Encoder::NoLibrary);
        QString message;
        try {
            encoder.EncodeFile(
                wav, dir.filePath(target), options[0], options[1], options[2], options[3], message);
            QFAIL("no error raised");
        } catch (const Mp3Encoder::Error &e) {
            QCOMPARE(int(e.code()), code);
            QVERIFY(!e.message().isEmpty());
        }
        QVERIFY(!QFileInfo::exists(dir.filePath(target)));
        QVERIFY(!encoder.isEncoding());
    }
};

QTEST_GUILESS_MAIN(TestMp3Encoder)
#include "test_Mp3Encoder.moc"
