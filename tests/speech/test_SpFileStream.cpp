#include "DataColumns.h"
#include "TestFiles.h"
#include "speech/SpFileStream.h"

#include <QtTest>
#include <cerrno>
#include <cmath>
#include <cstring>

using namespace Qt::StringLiterals;

namespace
{

// soxi's answer to one option as a number, 0 when it cannot read the file.
double soxi(const char *option, const QString &path)
{
    // A file of several GiB takes sox a minute or more.
    const TestFiles::Run r = TestFiles::run(
        u"soxi"_s, {QString::fromLatin1(option), path}, QDir::tempPath(), {}, 240000);
    return r.exitCode == 0 ? r.output.trimmed().toDouble() : 0;
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

// Writes everything after the header as a hole: the tests that use it hand
// it only silence, so a file of several GiB costs neither disk nor time.
class HoleWriter : public SpFileStream::FileWriter
{
public:
    qint64 append(const char *data, qint64 size) override
    {
        if (m_file.size() < SpFileStream::HeaderSize)
            return FileWriter::append(data, size);
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
        DataColumns::add<int>({"type", "inputRate", "rate"});
        QTest::addColumn<double>("seconds");
        QTest::newRow("16k") << int(SAFT16kHz16BitMono) << 16000 << 16000 << 1.5;
        QTest::newRow("22k voice into 16k") << int(SAFT16kHz16BitMono) << 22050 << 16000 << 2.0;
        QTest::newRow("22k") << int(SAFT22kHz16BitMono) << 22050 << 22050 << 0.5;
        QTest::newRow("16k voice into 8k") << int(SAFT8kHz16BitMono) << 16000 << 8000 << 0.25;
    }

    void soxiReadsTheFile()
    {
        const auto [type, inputRate, rate] = DataColumns::fetch<int>("type", "inputRate", "rate");
        QFETCH(double, seconds);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"a.wav"_s);
        TestFiles::writeAll(path, QByteArray(200000, 'x')); // a longer file is replaced
        const qint64 inputSamples = qRound64(inputRate * seconds);
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
        QCOMPARE(soxi("-r", path), double(rate));
        QCOMPARE(soxi("-c", path), 1.0);
        QCOMPARE(soxi("-b", path), 16.0);
        QCOMPARE(soxi("-D", path), seconds);
        const QByteArray wav = TestFiles::readAll(path);
        QCOMPARE(qFromLittleEndian<quint32>(wav.constData() + 4), quint32(wav.size() - 8));
        // The tone survives the conversion (no dropped or zeroed samples).
        const qint64 mid = SpFileStream::HeaderSize + 2 * (qint64(seconds * rate) / 2);
        qint16 peak = 0;
        for (qint64 at = mid; at < mid + 2 * rate / 100; at += 2)
            peak = std::max(peak, qint16(qFromLittleEndian<qint16>(wav.constData() + at)));
        QVERIFY2(peak > 7000 && peak <= 8100, qPrintable(QString::number(peak)));
    }

    void missingFolderFailsToOpen()
    {
        QTemporaryDir dir;
        SpFileStream stream;
        QVERIFY(!stream.Open(dir.filePath(u"no/such/dir/x.wav"_s), SSFMCreateForWrite, false));
        QVERIFY(!stream.isOpen());
        QVERIFY(!stream.errorString().isEmpty());
        const int16_t pcm[1] = {5};
        QVERIFY(!stream.writeSamples(pcm, 1));
        stream.Close(); // harmless
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
        QCOMPARE(soxi("-r", path), 16000.0);
        QVERIFY(qAbs(soxi("-D", path) - double(kept) / 16000) < 1e-5);
    }

    // RIFF sizes are 32-bit: data that would not fit turns the file into
    // RF64, whose ds64 chunk holds the 64-bit sizes.
    void rf64PastRiffsLimit_data()
    {
        QTest::addColumn<qint64>("samples");
        QTest::addColumn<bool>("rf64");
        // 80 header bytes, 8 of them before the RIFF size's count starts.
        const qint64 largest = (0xFFFFFFFFLL - 72) / 2;
        QTest::newRow("largest RIFF") << largest << false;
        QTest::newRow("one sample more") << largest + 1 << true;
        QTest::newRow("72 hours") << qint64(72) * 3600 * 16000 << true;
    }
    void rf64PastRiffsLimit()
    {
        QFETCH(qint64, samples);
        QFETCH(bool, rf64);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"long.wav"_s);
        SpFileStream stream;
        stream.setWriter(std::make_unique<HoleWriter>());
        stream.Format.Type = SAFT16kHz16BitMono;
        QVERIFY(stream.Open(path));
        const std::vector<int16_t> silence(std::size_t(1) << 24);
        for (qint64 done = 0; done < samples; done += qint64(silence.size()))
            QVERIFY(stream.writeSamples(
                silence.data(), std::min<qint64>(qint64(silence.size()), samples - done)));
        QVERIFY(stream.Close());
        QCOMPARE(QFileInfo(path).size(), SpFileStream::HeaderSize + 2 * samples);

        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray head = file.read(SpFileStream::HeaderSize);
        const auto u32 = [&](int at) { return qFromLittleEndian<quint32>(head.constData() + at); };
        const auto u64 = [&](int at) { return qFromLittleEndian<quint64>(head.constData() + at); };
        QCOMPARE(head.left(4), rf64 ? "RF64" : "RIFF");
        QCOMPARE(head.mid(12, 4), rf64 ? "ds64" : "JUNK");
        QCOMPARE(head.mid(72, 4), "data");
        if (rf64) {
            QCOMPARE(u32(4), 0xFFFFFFFFu);
            QCOMPARE(u32(76), 0xFFFFFFFFu);
            QCOMPARE(u64(20), quint64(72 + 2 * samples));
            QCOMPARE(u64(28), quint64(2 * samples));
            QCOMPARE(u64(36), quint64(samples));
        } else {
            QCOMPARE(u32(4), quint32(72 + 2 * samples));
            QCOMPARE(u32(76), quint32(2 * samples));
        }
        // sox reads a larger file through to the end, which takes minutes.
        if (2 * samples < (qint64(1) << 32))
            QVERIFY(qAbs(soxi("-D", path) - double(samples) / 16000) < 1e-5);
    }
};

QTEST_GUILESS_MAIN(TestSpFileStream)
#include "test_SpFileStream.moc"
