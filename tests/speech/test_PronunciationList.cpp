// The custom pronunciation list: matching, the offset map kept in step, the
// file format, a changed file taken up without restart, and the engine
// really speaking the spoken form.

#include "SpeechRecorder.h"
#include "TestFiles.h"
#include "speech/PronunciationList.h"
#include "speech/SpeechEngine.h"
#include "system/AppPaths.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;
using Entry = PronunciationList::Entry;

namespace
{
QVector<int> identity(int n)
{
    QVector<int> map;
    for (int i = 0; i <= n; ++i)
        map.append(i * 2); // source offsets need not equal indices
    return map;
}

QList<int> phonemes(const SpeechRecorder &rec)
{
    QList<int> ids;
    for (const RecordedEvent &e : rec.of(u"Phoneme"_s))
        ids.append(e.a);
    return ids;
}
} // namespace

class TestPronunciationList : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;

private Q_SLOTS:
    void initTestCase() { AppPaths::setOverrideFolder(m_dir.path()); }

    void apply_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("spoken");
        QTest::addColumn<QVector<int>>("map");
        QTest::newRow("longest first") << u"銀行行"_s << u"銀杭航"_s << QVector<int> {0, 2, 4, 6};
        QTest::newRow("case and whole words")
            << u"who the he"_s << u"world health the HE"_s
            << QVector<int> {0, 2, 2, 2, 2, 4, 4, 4, 4, 4, 4, 4, 6, 8, 10, 12, 14, 16, 18, 20};
        QTest::newRow("inside a word") << u"WHOM"_s << u"WHOM"_s << identity(4);
        QTest::newRow("shorter spoken form")
            << u"Parlo Reader!"_s << u"帕!"_s << QVector<int> {0, 24, 26};
        QTest::newRow("ideographs need no spaces") << u"a行b"_s << u"a航b"_s << identity(3);
    }

    void apply()
    {
        QFETCH(QString, text);
        const PronunciationList list({{u"WHO"_s, u"world health"_s}, {u"行"_s, u"航"_s},
            {u"銀行"_s, u"銀杭"_s}, {u"he"_s, u"HE"_s}, {u"Parlo Reader"_s, u"帕"_s}});
        QVector<int> m = identity(int(text.size()));
        list.apply(text, m);
        QTEST(text, "spoken");
        QTEST(m, "map");
    }

    void fileFormatAndReload()
    {
        // Comments, CR LF, a BOM, a later duplicate and broken lines.
        const QList<Entry> parsed
            = PronunciationList::parse("\xEF\xBB\xBF# note\r\nWHO\tdoubleyou\r\nno tab\n\tempty "
                                       "written\nwho\tW H O\n行\t航\n");
        QCOMPARE(parsed, (QList<Entry> {{u"who"_s, u"W H O"_s}, {u"行"_s, u"航"_s}}));
        QCOMPARE(PronunciationList::parse(PronunciationList::serialize(
                     {{u"a\tb"_s, u"c\nd"_s}, {u" "_s, u"x"_s}, {u"行"_s, QString()}})),
            (QList<Entry> {{u"a b"_s, u"c d"_s}, {u"行"_s, QString()}}));

        const QString file = PronunciationList::defaultFile();
        QVERIFY(file.startsWith(m_dir.path()));
        auto spoken = [](QString text) {
            QVector<int> map = identity(int(text.size()));
            PronunciationList::applyCurrent(text, map);
            return text;
        };
        QCOMPARE(spoken(u"行"_s), u"行"_s); // no file: nothing changes
        QVERIFY(PronunciationList::save(file, {{u"行"_s, u"航"_s}}));
        QCOMPARE(spoken(u"行"_s), u"航"_s);
        QVERIFY(PronunciationList::save(file, {{u"行"_s, u"杭州"_s}}));
        QCOMPARE(spoken(u"行"_s), u"杭州"_s);
        QFile::remove(file);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"cannot write"_s));
        QVERIFY(!PronunciationList::save(m_dir.path() + u"/no/such/folder/x.txt"_s, {}));
    }

    void engineSpeaksTheSpokenForm()
    {
        QVERIFY2(SpeechEngine::instance().isAvailable(), "espeak-ng data is missing");
        AudioSink::setFactory([] { return std::make_unique<ImmediateSink>(); });
        const QString file = PronunciationList::defaultFile();
        QFile::remove(file);
        SpVoice voice;
        SpeechRecorder rec(&voice);
        auto speak = [&](const QString &text) {
            rec.events.clear();
            voice.Speak(text, SVSFIsNotXML);
            return phonemes(rec);
        };
        const QList<int> plain = speak(u"WHO 來了"_s);
        const QList<int> expanded = speak(u"世界衛生組織 來了"_s);
        QVERIFY(plain != expanded);

        QVERIFY(PronunciationList::save(file, {{u"WHO"_s, u"世界衛生組織"_s}}));
        QCOMPARE(speak(u"WHO 來了"_s), expanded);
        // Words spoken for WHO stay on WHO; the rest keep their places.
        const QList<RecordedEvent> words = rec.of(u"Word"_s);
        QCOMPARE(words.first().a, 0);
        QCOMPARE(rec.words(u"WHO 來了"_s).mid(words.size() - 2), (QStringList {u"來"_s, u"了"_s}));
        for (const RecordedEvent &w : words.mid(0, words.size() - 2))
            QVERIFY(w.a >= 0 && w.a + w.b <= 3);
        QFile::remove(file);
    }
};

QTEST_GUILESS_MAIN(TestPronunciationList)
#include "test_PronunciationList.moc"
