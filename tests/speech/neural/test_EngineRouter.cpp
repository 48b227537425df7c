// The router behind the default voice list: two scripted engines under
// voices of their own, logging what reaches them, so that each Speak is seen
// going to the engine of its voice, and only once the streams before it
// (on the other engine) have ended. And the window's list of those voices.
#include "audio/AudioSink.h"
#include "speech/ScriptedEngine.h"
#include "speech/SpeechRecorder.h"
#include "speech/TTSRole.h"
#include "speech/VoiceCatalogue.h"
#include "speech/neural/EngineRouter.h"

#include <QtTest>

using namespace Qt::StringLiterals;

namespace
{

// Passes everything to a scripted channel; logs "A+2" when stream 2 is
// submitted to engine A and "A-2" when its last chunk is taken.
class LoggedChannel : public SynthesisChannel
{
public:
    LoggedChannel(std::shared_ptr<SynthesisChannel> inner, QString label, QStringList *log)
        : m_inner(std::move(inner))
        , m_label(std::move(label))
        , m_log(log)
    {
    }
    void submit(const SpeechRequest &request) override
    {
        m_log->append(m_label + u'+' + QString::number(request.stream));
        m_inner->submit(request);
    }
    void purge() override { m_inner->purge(); }
    std::deque<SpeechChunk> take() override
    {
        std::deque<SpeechChunk> chunks = m_inner->take();
        for (const SpeechChunk &c : chunks) {
            if (c.last)
                m_log->append(m_label + u'-' + QString::number(c.stream));
        }
        return chunks;
    }
    void setSinkBacklog(qint64 samples) override { m_inner->setSinkBacklog(samples); }
    bool isIdle() const override { return m_inner->isIdle(); }
    bool waitForChunk(int ms) override { return m_inner->waitForChunk(ms); }
    void setNotifier(std::function<void()> notifier) override { m_inner->setNotifier(notifier); }

    std::shared_ptr<SynthesisChannel> m_inner;

private:
    QString m_label;
    QStringList *m_log;
};

class LoggedEngine : public SynthesisEngine
{
public:
    LoggedEngine(const QString &label, QStringList *log)
        : m_label(label)
        , m_log(log)
        , m_voice(label, label, {{u"Name"_s, label}}, {})
    {
    }
    bool isAvailable() const override { return true; }
    QList<SpObjectToken> voices() const override { return {m_voice}; }
    std::shared_ptr<SynthesisChannel> openChannel() override
    {
        m_log->append(m_label + u" opened"_s);
        return std::make_shared<LoggedChannel>(m_scripted.openChannel(), m_label, m_log);
    }
    void closeChannel(const std::shared_ptr<SynthesisChannel> &channel) override
    {
        m_scripted.closeChannel(std::static_pointer_cast<LoggedChannel>(channel)->m_inner);
    }

private:
    ScriptedEngine m_scripted;
    QString m_label;
    QStringList *m_log;
    SpObjectToken m_voice;
};

} // namespace

class TestEngineRouter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        AudioSink::setFactory([] { return std::make_unique<ImmediateSink>(); });
    }

    // Each Speak in turn, voices named by their engine ("-" for a voice no
    // engine has); what reached which engine, in order.
    void routesInStreamOrder_data()
    {
        QTest::addColumn<QString>("voices");
        QTest::addColumn<QStringList>("log");
        QTest::newRow("one engine: no waiting")
            << u"AA"_s << QStringList {u"A opened"_s, u"A+1"_s, u"A+2"_s, u"A-1"_s, u"A-2"_s};
        QTest::newRow("to the other and back")
            << u"ABA"_s
            << QStringList {u"A opened"_s, u"A+1"_s, u"A-1"_s, u"B opened"_s, u"B+2"_s, u"B-2"_s,
                   u"A+3"_s, u"A-3"_s};
        QTest::newRow("two in a row on the other")
            << u"ABB"_s
            << QStringList {u"A opened"_s, u"A+1"_s, u"A-1"_s, u"B opened"_s, u"B+2"_s, u"B+3"_s,
                   u"B-2"_s, u"B-3"_s};
        QTest::newRow("unknown voice: the first engine")
            << u"B-"_s
            << QStringList {u"B opened"_s, u"B+1"_s, u"B-1"_s, u"A opened"_s, u"A+2"_s, u"A-2"_s};
    }
    void routesInStreamOrder()
    {
        QFETCH(QString, voices);
        QFETCH(QStringList, log);
        QStringList got;
        LoggedEngine a(u"A"_s, &got), b(u"B"_s, &got);
        EngineRouter router({&a, &b});
        QCOMPARE(router.voices(), (QList<SpObjectToken> {a.voices().first(), b.voices().first()}));
        const SpObjectToken unknown(u"X"_s, u"X"_s, {}, {});
        SpVoice voice(nullptr, &router);
        SpeechRecorder recorder(&voice);
        for (QChar c : voices) {
            voice.setVoice(c == u'A' ? a.voices().first()
                    : c == u'B'      ? b.voices().first()
                                     : unknown);
            voice.Speak(u"今天很好。"_s, SVSFlagsAsync);
        }
        QVERIFY(voice.WaitUntilDone(10000));
        QCOMPARE(got, log);
        // Each stream's events lie between its start and its end.
        int open = 0;
        for (const RecordedEvent &e : recorder.events) {
            if (e.type == u"Start") {
                QCOMPARE(open, 0);
                open = e.stream;
            } else if (e.type == u"End") {
                QCOMPARE(e.stream, open);
                open = 0;
            } else {
                QCOMPARE(e.stream, open);
            }
        }
        QCOMPARE(recorder.of(u"End"_s).size(), voices.size());
    }

    // A purge drops the requests waiting for the other engine too; the
    // voice then speaks with either.
    void purgeDropsWaitingRequests()
    {
        QStringList got;
        LoggedEngine a(u"A"_s, &got), b(u"B"_s, &got);
        EngineRouter router({&a, &b});
        SpVoice voice(nullptr, &router);
        SpeechRecorder recorder(&voice);
        voice.setVoice(a.voices().first());
        voice.Speak(u"今天很好。我們去散步。"_s, SVSFlagsAsync);
        voice.setVoice(b.voices().first());
        voice.Speak(u"今天很好。"_s, SVSFlagsAsync);
        voice.Speak(u"我們去散步。"_s, SVSFlagsAsync | SVSFPurgeBeforeSpeak);
        QVERIFY(voice.WaitUntilDone(10000));
        QCOMPARE(got, (QStringList {u"A opened"_s, u"A+1"_s, u"B opened"_s, u"B+3"_s, u"B-3"_s}));
        QCOMPARE(recorder.of(u"End"_s).size(), 3);
        QCOMPARE(recorder.words(u"我們去散步。"_s, 3).size(), 5);
    }

    // The window lists natural voices after the others, also when it shows
    // only the suite's voices: they were installed on purpose.
    void windowListsNaturalVoices_data()
    {
        QTest::addColumn<bool>("showAll");
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QList<int>>("positions");
        QTest::newRow("suite voices only")
            << false << QStringList {u"莉娜 (女聲)"_s, u"測試語音 (女聲)"_s, u"Amy (英文) (男聲)"_s}
            << QList<int> {0, 2, 3};
        QTest::newRow("all voices")
            << true
            << QStringList {u"莉娜 (女聲)"_s, u"English (America) (英文) (男聲)"_s,
                   u"測試語音 (女聲)"_s, u"Amy (英文) (男聲)"_s}
            << QList<int> {0, 1, 2, 3};
    }
    void windowListsNaturalVoices()
    {
        QFETCH(bool, showAll);
        QFETCH(QStringList, entries);
        QFETCH(QList<int>, positions);
        const QList<SpObjectToken> voices {VoiceCatalogue::suiteVoices().at(1),
            SpObjectToken(u"eSpeakNG_en"_s, u"English (America)"_s,
                {{u"Language"_s, u"409"_s}, {u"Gender"_s, u"Male"_s}}, {}),
            VoiceCatalogue::neuralVoice(
                u"Neural_a"_s, u"測試語音"_s, u"zh-TW"_s, u"Female"_s, u"/voices/a"_s),
            VoiceCatalogue::neuralVoice(
                u"Neural_b"_s, u"Amy"_s, u"en-us"_s, u"Male"_s, u"/voices/b"_s)};
        const auto attributes = [&](const QString &key, const QString &name) {
            for (const SpObjectToken &v : voices) {
                if (TTSRole::AttributeKey(v) == key)
                    return v.GetAttribute(name);
            }
            return QString();
        };
        QStringList got;
        QList<int> at;
        for (const TTSRole::VoiceEntry &e : TTSRole::ListVoices(voices, showAll, attributes)) {
            got.append(e.name);
            at.append(e.enginePosition);
        }
        QCOMPARE(got, entries);
        QCOMPARE(at, positions);
    }
};

QTEST_MAIN(TestEngineRouter)
#include "test_EngineRouter.moc"
