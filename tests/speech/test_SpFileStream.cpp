#include "speech/SpFileStream.h"

#include <QProcess>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QtTest>
#include <cerrno>
#include <cmath>
#include <cstring>

using namespace Qt::StringLiterals;

namespace
{

struct SoxInfo {
    int rate = 0;
    int channels = 0;
    int bits = 0;
    double seconds = -1;
};

// soxi's answer to one option, or an empty string.
QString soxiAnswer(const char *option, const QString &path)
{
    QProcess p;
    p.start(u"soxi"_s, {QString::fromLatin1(option), path});
    // A file of several GiB takes sox a minute or more.
    if (!p.waitForFinished(240000) || p.exitCode() != 0)
        return QString();
    return QString::fromLatin1(p.readAllStandardOutput()).trimmed();
}

// What soxi makes of the file; rate 0 when it cannot read it.
SoxInfo soxi(const QString &path)
{
    return SoxInfo {soxiAnswer("-r", path).toInt(), soxiAnswer("-c", path).toInt(),
        soxiAnswer("-b", path).toInt(), soxiAnswer("-D", path).toDouble()};
}

// A disk that holds `capacity` bytes and then reports itself full.
class FullDiskWriter : public SpFileStream::FileWriter
{
public:
    explicit FullDiskWriter(qint64 capacity)
        : m_capacity(capacity)
    {
    }
    qint64 append(const char *data, qint64 size) override
    {
        const qint64 room = std::max<qint64>(0, m_capacity - m_file.size());
        if (size <= room)
            return FileWriter::append(data, size);
        m_full = true;
        return room > 0 ? FileWriter::append(data, room) : -1;
    }
    QString errorString() const override
    {
        return m_full ? QString::fromLocal8Bit(strerror(ENOSPC)) : FileWriter::errorString();
    }
    bool outOfSpace() const override { return m_full; }

private:
    qint64 m_capacity;
    bool m_full = false;
};

// Writes blocks of silence as holes, so a file of several GiB costs no disk.
class SparseWriter : public SpFileStream::FileWriter
{
public:
    qint64 append(const char *data, qint64 size) override
    {
        static const std::vector<char> zeros(1 << 20);
        for (qint64 at = 0; at < size; at += qint64(zeros.size())) {
            if (memcmp(data + at, zeros.data(), std::min<qint64>(qint64(zeros.size()), size - at)))
                return FileWriter::append(data, size);
        }
        return truncate(m_file.size() + size) ? size : -1;
    }
};

} // namespace

class TestSpFileStream : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void soxiReadsTheFile_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("inputRate");
        QTest::addColumn<int>("inputSamples");
        QTest::addColumn<int>("rate");
        QTest::addColumn<double>("seconds");
        QTest::newRow("16k") << int(SAFT16kHz16BitMono) << 16000 << 24000 << 16000 << 1.5;
        QTest::newRow("22k voice into 16k")
            << int(SAFT16kHz16BitMono) << 22050 << 44100 << 16000 << 2.0;
        QTest::newRow("22k") << int(SAFT22kHz16BitMono) << 22050 << 11025 << 22050 << 0.5;
        QTest::newRow("16k voice into 8k")
            << int(SAFT8kHz16BitMono) << 16000 << 4000 << 8000 << 0.25;
    }

    void soxiReadsTheFile()
    {
        QFETCH(int, type);
        QFETCH(int, inputRate);
        QFETCH(int, inputSamples);
        QFETCH(int, rate);
        QFETCH(double, seconds);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"a.wav"_s);
        std::vector<int16_t> tone(static_cast<std::size_t>(inputSamples));
        for (std::size_t i = 0; i < tone.size(); ++i)
            tone[i] = int16_t(8000 * std::sin(2 * M_PI * 440.0 * double(i) / inputRate));
        {
            SpFileStream stream;
            stream.Format.Type = type;
            QVERIFY(stream.Open(path));
            QCOMPARE(stream.sampleRate(), rate);
            // In pieces, as a voice writes sentence by sentence.
            const qint64 half = inputSamples / 2;
            QVERIFY(stream.writeSamples(tone.data(), half, inputRate));
            QVERIFY(stream.writeSamples(tone.data() + half, inputSamples - half, inputRate));
            // Cut short: the destructor closes the stream and fixes the header.
        }
        const SoxInfo info = soxi(path);
        QCOMPARE(info.rate, rate);
        QCOMPARE(info.channels, 1);
        QCOMPARE(info.bits, 16);
        QCOMPARE(info.seconds, seconds);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray wav = file.readAll();
        QCOMPARE(qFromLittleEndian<quint32>(wav.constData() + 4), quint32(wav.size() - 8));
        // The tone survives the conversion (no dropped or zeroed samples).
        const qint64 mid = SpFileStream::HeaderSize + 2 * (qint64(seconds * rate) / 2);
        qint16 peak = 0;
        for (qint64 at = mid; at < mid + 2 * rate / 100; at += 2)
            peak = std::max(peak, qint16(qFromLittleEndian<qint16>(wav.constData() + at)));
        QVERIFY2(peak > 7000 && peak <= 8100, qPrintable(QString::number(peak)));
    }

    void openFails_data()
    {
        QTest::addColumn<QString>("relativePath");
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("mode");
        QTest::newRow("missing folder")
            << u"no/such/dir/x.wav"_s << int(SAFT16kHz16BitMono) << int(SSFMCreateForWrite);
        QTest::newRow("read mode") << u"x.wav"_s << int(SAFT16kHz16BitMono) << int(SSFMOpenForRead);
        QTest::newRow("unknown format") << u"x.wav"_s << 999 << int(SSFMCreateForWrite);
    }

    void openFails()
    {
        QFETCH(QString, relativePath);
        QFETCH(int, type);
        QFETCH(int, mode);
        QTemporaryDir dir;
        SpFileStream stream;
        stream.Format.Type = type;
        QVERIFY(!stream.Open(dir.filePath(relativePath), mode, false));
        QVERIFY(!stream.isOpen());
        QVERIFY(!stream.errorString().isEmpty());
        const int16_t pcm[1] = {5};
        QVERIFY(!stream.writeSamples(pcm, 1));
        stream.Close(); // harmless
    }

    void reopenTruncates()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"b.wav"_s);
        SpFileStream stream;
        QVERIFY(stream.Open(path));
        const int16_t pcm[100] = {};
        stream.writeSamples(pcm, 100);
        QVERIFY(stream.Close());
        QCOMPARE(QFileInfo(path).size(), SpFileStream::HeaderSize + 200);
        QVERIFY(stream.Open(path));
        QVERIFY(stream.Close());
        QCOMPARE(QFileInfo(path).size(), SpFileStream::HeaderSize);
        QCOMPARE(soxi(path).rate, 22050);
    }

    void fullDiskLeavesAShorterValidFile_data()
    {
        QTest::addColumn<bool>("tmpfs");
        QTest::newRow("tmpfs") << true;
        QTest::newRow("writer of a full disk") << false;
    }

    void fullDiskLeavesAShorterValidFile()
    {
        QFETCH(bool, tmpfs);
        QTemporaryDir dir;
        const QString mount = dir.filePath(u"small"_s);
        QVERIFY(QDir().mkpath(mount));
        auto unmount = qScopeGuard([&] {
            if (tmpfs)
                QProcess::execute(u"umount"_s, {mount});
        });
        SpFileStream stream;
        stream.Format.Type = SAFT16kHz16BitMono;
        if (tmpfs) {
            if (QProcess::execute(
                    u"mount"_s, {u"-t"_s, u"tmpfs"_s, u"-o"_s, u"size=64k"_s, u"tmpfs"_s, mount})
                != 0) {
                tmpfs = false;
                QSKIP("cannot mount a tmpfs here; the full-disk writer row covers this");
            }
        } else {
            stream.setWriter(std::make_unique<FullDiskWriter>(40001));
        }
        const QString path = mount + u"/full.wav"_s;
        QVERIFY(stream.Open(path));
        // Five seconds of sound, far more than the disk holds.
        const std::vector<int16_t> pcm(16000, 1000);
        bool allWritten = true;
        for (int i = 0; i < 5; ++i)
            allWritten = stream.writeSamples(pcm.data(), qint64(pcm.size())) && allWritten;
        allWritten = stream.Close() && allWritten;
        QVERIFY(!allWritten);
        QVERIFY2(
            stream.errorString().contains(u"磁碟空間已滿"_s), qPrintable(stream.errorString()));

        const qint64 kept = stream.samplesWritten();
        QVERIFY2(kept > 0 && kept < 5 * 16000, qPrintable(QString::number(kept)));
        QCOMPARE(QFileInfo(path).size(), SpFileStream::HeaderSize + 2 * kept);
        const SoxInfo info = soxi(path);
        QCOMPARE(info.rate, 16000);
        QVERIFY(qAbs(info.seconds - double(kept) / 16000) < 1e-5);
    }

    void pastFourGiBBecomesRf64()
    {
        QTemporaryDir dir;
        // Silence is written as holes, but a file system without them needs
        // the whole size.
        const qint64 seconds = 134218; // 4 GiB of 16 kHz 16-bit audio is 134,217.7 s
        const qint64 bytes = seconds * 32000;
        if (QStorageInfo(dir.path()).bytesAvailable() < bytes + (256 << 20))
            QSKIP("not enough free disk space for a WAV past 4 GiB");
        const QString path = dir.filePath(u"long.wav"_s);
        SpFileStream stream;
        stream.setWriter(std::make_unique<SparseWriter>());
        stream.Format.Type = SAFT16kHz16BitMono;
        QVERIFY(stream.Open(path));
        const std::vector<int16_t> silence(std::size_t(16000) * 64);
        for (qint64 s = 0; s < seconds; s += 64)
            QVERIFY(stream.writeSamples(silence.data(), std::min<qint64>(64, seconds - s) * 16000));
        QVERIFY(stream.Close());
        QCOMPARE(QFileInfo(path).size(), SpFileStream::HeaderSize + bytes);

        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray head = file.read(SpFileStream::HeaderSize);
        QCOMPARE(head.left(4), "RF64");
        QCOMPARE(head.mid(12, 4), "ds64");
        QCOMPARE(soxiAnswer("-D", path).toDouble(), double(seconds));
        file.close();
        QFile::remove(path);
    }
};

QTEST_GUILESS_MAIN(TestSpFileStream)
#include "test_SpFileStream.moc"
