// The WAVE chunk walker shared by the export's file reader and the sounds
// played from memory: the layouts real writers produce, and the damaged ones.

#include "DataColumns.h"
#include "audio/RiffWave.h"
#include "audio/WaveSound.h"

#include <QBuffer>
#include <QtEndian>
#include <QtTest>

namespace
{
QByteArray le32(quint32 v)
{
    char raw[4];
    qToLittleEndian(v, raw);
    return QByteArray(raw, 4);
}

QByteArray chunk(const char *id, const QByteArray &body, quint32 declared = 0xFFFFFFFE)
{
    const quint32 size = declared == 0xFFFFFFFE ? quint32(body.size()) : declared;
    return QByteArray(id, 4) + le32(size) + body + (body.size() % 2 ? QByteArray(1, '\0') : "");
}

// A format chunk: tag, channels, rate, bits (block align and byte rate follow from them).
QByteArray fmt(quint16 tag, quint16 channels, quint32 rate, quint16 bits, QByteArray extra = {})
{
    QByteArray b;
    auto put16 = [&b](quint16 v) { b.append(char(v & 0xFF)).append(char(v >> 8)); };
    put16(tag);
    put16(channels);
    b += le32(rate) + le32(rate * channels * bits / 8);
    put16(quint16(channels * bits / 8));
    put16(bits);
    return chunk("fmt ", b + extra);
}

QByteArray wave(const QByteArray &chunks, const char *magic = "RIFF")
{
    return QByteArray(magic, 4) + le32(quint32(4 + chunks.size())) + "WAVE" + chunks;
}
} // namespace

class TestRiffWave : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void layouts_data()
    {
        QTest::addColumn<QByteArray>("image");
        DataColumns::add<int>({"tag", "channels"}); // tag -1: the walk fails
        DataColumns::add<qint64>({"dataOffset", "dataBytes"});

        // A row that gives no layout is a file the walk refuses.
        auto row = [](const char *name, const QByteArray &image, int tag = -1, int channels = 0,
                       qint64 dataOffset = 0, qint64 dataBytes = 0) {
            QTest::newRow(name) << image << tag << channels << dataOffset << dataBytes;
        };
        const QByteArray pcm16 = fmt(1, 1, 22050, 16);
        const QByteArray samples(10, 'x');
        row("plain", wave(pcm16 + chunk("data", samples)), 1, 1, 44, 10);
        // A three-byte chunk is padded to four before the next one starts.
        row("odd chunk padded", wave(chunk("LIST", "abc") + pcm16 + chunk("data", samples)), 1, 1,
            56, 10);
        QByteArray extensible(10, '\0');
        extensible[0] = 22; // cbSize
        extensible[8] = 1; // sub-format GUID starts with the PCM tag
        row("extensible", wave(fmt(0xFFFE, 2, 48000, 16, extensible) + chunk("data", samples)), 1,
            2, 54, 10);
        row("unfinished header: cut at the end", wave(pcm16 + chunk("data", samples, 0xFFFFFFF0)),
            1, 1, 44, 10);
        QByteArray ds64 = le32(0) + le32(0) + le32(6) + le32(0) + le32(0);
        row("RF64 size from ds64",
            wave(chunk("ds64", ds64) + pcm16 + chunk("data", samples, 0xFFFFFFFF), "RF64"), 1, 1,
            72, 6);
        row("empty data", wave(pcm16 + chunk("data", {})), 1, 1, 44, 0);
        row("data before format", wave(chunk("data", samples) + pcm16));
        row("short format", wave(chunk("fmt ", QByteArray(14, '\1')) + chunk("data", samples)));
        row("no data chunk", wave(pcm16));
        row("chunk past the end",
            wave(pcm16 + chunk("LIST", "abcd", 4000) + chunk("data", samples)));
        row("not a wave", QByteArray("RIFF\4\0\0\0AVI "));
        row("eleven bytes", QByteArray("RIFF\4\0\0\0WAV"));
    }

    void layouts()
    {
        QFETCH(QByteArray, image);
        QFETCH(int, tag);
        QBuffer stream(&image);
        QVERIFY(stream.open(QIODevice::ReadOnly));
        QString why;
        const auto layout = RiffWave::walk(stream, &why);
        QCOMPARE(layout.has_value(), tag >= 0);
        // The sound player takes exactly what the walk finds.
        const auto sound = WaveSound::parse(image);
        QCOMPARE(sound.has_value(), tag >= 0);
        if (!layout) {
            QVERIFY(!why.isEmpty());
            return;
        }
        QTEST(int(layout->formatTag), "tag");
        QTEST(layout->channels, "channels");
        QTEST(layout->dataOffset, "dataOffset");
        QTEST(layout->dataBytes, "dataBytes");
        QCOMPARE(stream.pos(), layout->dataOffset);
        QCOMPARE(sound->data, image.mid(layout->dataOffset, layout->dataBytes));
    }
};

QTEST_GUILESS_MAIN(TestRiffWave)
#include "test_RiffWave.moc"
