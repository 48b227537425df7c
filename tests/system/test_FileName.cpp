// File names that are not UTF-8 survive the trip into the program and back
// out to the file system byte for byte.
#include "system/FileName.h"

#include <QRandomGenerator>
#include <QtTest>

using namespace Qt::StringLiterals;

class TestFileName : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void decode_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("name");
        QTest::newRow("ASCII") << "notes.txt"_ba << u"notes.txt"_s;
        QTest::newRow("UTF-8") << "第一課 café.txt"_ba << u"第一課 café.txt"_s;
        QTest::newRow("four-byte UTF-8") << "\xF0\x9F\x98\x80.txt"_ba << u"\U0001F600.txt"_s;
        // The least code point of each length is no overlong form, nor is the greatest.
        QTest::newRow("U+0080") << "\xC2\x80"_ba << u"\u0080"_s;
        QTest::newRow("U+0800") << "\xE0\xA0\x80"_ba << u"\u0800"_s;
        QTest::newRow("U+10000") << "\xF0\x90\x80\x80"_ba << u"\U00010000"_s;
        QTest::newRow("U+10FFFF") << "\xF4\x8F\xBF\xBF"_ba << u"\U0010FFFF"_s;
        QTest::newRow("Latin-1 é") << "caf\xE9.txt"_ba << u"caf\xDCE9.txt"_s;
        QTest::newRow("Big5 課") << "\xBD\xD2.txt"_ba << u"\xDCBD\xDCD2.txt"_s;
        QTest::newRow("cut-off sequence") << "a\xE7\xAC"_ba << u"a\xDCE7\xDCAC"_s;
        QTest::newRow("overlong slash") << "\xC0\xAF"_ba << u"\xDCC0\xDCAF"_s;
        QTest::newRow("encoded surrogate") << "\xED\xA0\x80"_ba << u"\xDCED\xDCA0\xDC80"_s;
    }
    void decode()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, name);
        QCOMPARE(FileName::decode(bytes), name);
        QCOMPARE(FileName::encode(name), bytes);
        QCOMPARE(FileName::hasRawBytes(name), QString::fromUtf8(bytes).contains(QChar(0xFFFD)));
    }

    // Any bytes at all come back as they were.
    void roundTripsAnyBytes()
    {
        QRandomGenerator random(24);
        for (int round = 0; round < 2000; ++round) {
            QByteArray bytes(int(random.bounded(1, 24)), '\0');
            for (char &b : bytes)
                b = char(random.bounded(1, 256));
            QCOMPARE(FileName::encode(FileName::decode(bytes)), bytes);
        }
    }

    // The extension starts at the last dot, unless that dot starts the name.
    void extension_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("stem");
        QTest::newRow("plain") << u"/tmp/notes.txt"_s << u"notes"_s;
        QTest::newRow("two dots") << u"my.book.epub"_s << u"my.book"_s;
        QTest::newRow("none") << u"/tmp/notes"_s << u"notes"_s;
        QTest::newRow("leading dot") << u".notes"_s << u".notes"_s;
        QTest::newRow("leading dot and one") << u"/a.b/.notes.txt"_s << u".notes"_s;
        QTest::newRow("dotted folder") << u"/a.b/notes"_s << u"notes"_s;
        QTest::newRow("trailing dot") << u"notes."_s << u"notes"_s;
        QTest::newRow("only a dot") << u"."_s << u"."_s;
    }

    void extension()
    {
        QFETCH(QString, path);
        QFETCH(QString, stem);
        QCOMPARE(FileName::withoutExtension(path), stem);
        QCOMPARE(FileName::hasExtension(path), stem != path.sliced(path.lastIndexOf(u'/') + 1));
    }
};

QTEST_GUILESS_MAIN(TestFileName)
#include "test_FileName.moc"
