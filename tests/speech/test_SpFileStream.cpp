#include "speech/SpFileStream.h"

#include <QTemporaryDir>
#include <QtTest>

class TestSpFileStream : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void headerMatchesTheData_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("rate");
        QTest::newRow("16k") << int(SAFT16kHz16BitMono) << 16000;
        QTest::newRow("22k") << int(SAFT22kHz16BitMono) << 22050;
        QTest::newRow("8k") << int(SAFT8kHz16BitMono) << 8000;
    }

    void headerMatchesTheData()
    {
        QFETCH(int, type);
        QFETCH(int, rate);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("a.wav"));
        {
            SpFileStream stream;
            stream.Format.Type = type;
            QVERIFY(stream.Open(path));
            QCOMPARE(stream.sampleRate(), rate);
            const int16_t pcm[3] = {1, -2, 0x1234};
            QVERIFY(stream.writeSamples(pcm, 3));
            QVERIFY(stream.writeSamples(pcm, 2));
            // The destructor closes the stream and fixes the header.
        }
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray wav = file.readAll();
        QCOMPARE(wav.size(), 44 + 10);
        QCOMPARE(qFromLittleEndian<quint32>(wav.constData() + 4), quint32(36 + 10));
        QCOMPARE(qFromLittleEndian<quint32>(wav.constData() + 24), quint32(rate));
        QCOMPARE(qFromLittleEndian<quint32>(wav.constData() + 40), quint32(10));
        QCOMPARE(qFromLittleEndian<qint16>(wav.constData() + 44 + 4), qint16(0x1234));
        QCOMPARE(qFromLittleEndian<qint16>(wav.constData() + 44 + 8), qint16(-2));
    }

    void openFails_data()
    {
        QTest::addColumn<QString>("relativePath");
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("mode");
        QTest::newRow("missing folder") << QStringLiteral("no/such/dir/x.wav")
                                        << int(SAFT16kHz16BitMono) << int(SSFMCreateForWrite);
        QTest::newRow("read mode")
            << QStringLiteral("x.wav") << int(SAFT16kHz16BitMono) << int(SSFMOpenForRead);
        QTest::newRow("unknown format")
            << QStringLiteral("x.wav") << 999 << int(SSFMCreateForWrite);
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
        const int16_t pcm[1] = {5};
        QVERIFY(!stream.writeSamples(pcm, 1));
        stream.Close(); // harmless
    }

    void reopenTruncates()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("b.wav"));
        SpFileStream stream;
        QVERIFY(stream.Open(path));
        const int16_t pcm[100] = {};
        stream.writeSamples(pcm, 100);
        stream.Close();
        QCOMPARE(QFileInfo(path).size(), 244);
        QVERIFY(stream.Open(path));
        stream.Close();
        QCOMPARE(QFileInfo(path).size(), 44);
    }
};

QTEST_GUILESS_MAIN(TestSpFileStream)
#include "test_SpFileStream.moc"
