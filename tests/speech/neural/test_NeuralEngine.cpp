// The natural-voice engine with the voice tools/make-test-voice writes, run
// through the real worker and runtime: the voices found in folders, sentences
// streamed as they are made, the reader's own readings sent as pinyin, events
// timed from the sound, rate, volume, purge, failures that still end their
// stream, and no worker left behind. Without node or the runtime the run
// fails; it never skips.
#include "TestFiles.h"
#include "audio/AudioSink.h"
#include "speech/ScriptedEngine.h"
#include "speech/SpeechRecorder.h"
#include "speech/neural/EngineRouter.h"
#include "speech/neural/NeuralEngine.h"
#include "speech/neural/NeuralProcess.h"
#include "speech/neural/NeuralVoiceFolder.h"

#include <QElapsedTimer>
#include <QSet>
#include <QtTest>

#include <csignal>

using namespace Qt::StringLiterals;

namespace
{

constexpr int VoiceRate = 22050; // what make-test-voice's model makes
constexpr int EndWithinMs = 20000;

struct Heard {
    std::vector<SpeechChunk> chunks;
    bool ended = false;
    qint64 samples() const
    {
        qint64 n = 0;
        for (const SpeechChunk &c : chunks)
            n += qint64(c.pcm.size());
        return n;
    }
    std::vector<int16_t> pcm() const
    {
        std::vector<int16_t> all;
        for (const SpeechChunk &c : chunks)
            all.insert(all.end(), c.pcm.begin(), c.pcm.end());
        return all;
    }
    // Every event with its sample counted from the start of the stream.
    std::vector<SpeechEvent> events() const
    {
        std::vector<SpeechEvent> all;
        qint64 base = 0;
        for (const SpeechChunk &c : chunks) {
            for (SpeechEvent e : c.events) {
                e.sample += base;
                all.push_back(e);
            }
            base += qint64(c.pcm.size());
        }
        return all;
    }
};

// Takes chunks until the stream's last one, or until `ms` have passed.
Heard listen(SynthesisChannel &channel, int ms = EndWithinMs, int chunks = -1)
{
    Heard heard;
    QElapsedTimer timer;
    timer.start();
    while (!heard.ended && timer.elapsed() < ms && int(heard.chunks.size()) != chunks) {
        channel.waitForChunk(20);
        for (SpeechChunk &c : channel.take()) {
            heard.ended = heard.ended || c.last;
            heard.chunks.push_back(std::move(c));
        }
    }
    return heard;
}

SpeechRequest request(const QString &text, const SpObjectToken &voice, int stream = 1)
{
    SpeechRequest r;
    r.stream = stream;
    r.text = text;
    r.voice = voice;
    r.outputRate = VoiceRate;
    return r;
}

bool processGone(qint64 pid)
{
    QFile stat(u"/proc/%1/stat"_s.arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return true;
    const QByteArray fields = stat.readAll();
    return fields.mid(fields.lastIndexOf(')') + 2, 1) == "Z";
}

QList<qint64> childrenOf(qint64 pid)
{
    QList<qint64> out;
    QFile file(u"/proc/%1/task/%1/children"_s.arg(pid));
    if (file.open(QIODevice::ReadOnly)) {
        for (const QByteArray &p : file.readAll().split(' '))
            if (!p.trimmed().isEmpty())
                out.append(p.trimmed().toLongLong());
    }
    return out;
}

NeuralEngine::Setup isolated()
{
    NeuralEngine::Setup setup;
    setup.userVoiceFolder = false;
    return setup;
}

} // namespace

class TestNeuralEngine : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_voice; // the test voice's folder

    // Writes a test voice into `folder`.
    static void makeVoice(const QString &folder)
    {
        QProcess p;
        p.start(QStringLiteral(PARLO_SOURCE_DIR "/tools/make-test-voice"), {folder});
        QVERIFY(p.waitForFinished(60000));
        QVERIFY2(p.exitCode() == 0, p.readAllStandardError().constData());
    }

    SpObjectToken voiceOf(const NeuralEngine &engine) const
    {
        const QList<SpObjectToken> found = engine.foundVoices();
        return found.isEmpty() ? SpObjectToken() : found.first();
    }

    // The sound `text` makes when sent to the voice as it is.
    std::vector<int16_t> spokenDirectly(const QString &text)
    {
        NeuralProcess process;
        NeuralProcess::Voice loaded;
        NeuralProcess::Audio audio;
        QString error;
        const NeuralProcess::Launch launch {QStandardPaths::findExecutable(u"node"_s),
            QStringLiteral(PARLO_SOURCE_DIR "/src/speech/neural/parlo-neural-worker.js"),
            NeuralEngine::defaultRuntimePrefix()};
        if (!process.start(launch, m_voice, &loaded, &error)
            || !process.speak(text, 0, 1.0, &audio, &error))
            qWarning() << error;
        return audio.pcm;
    }

private Q_SLOTS:
    void initTestCase()
    {
        AudioSink::setFactory([] { return std::make_unique<ImmediateSink>(VoiceRate); });
        NeuralEngine probe(isolated());
        QVERIFY2(probe.problem() == NeuralEngine::Problem::None,
            qPrintable(
                probe.status() + u" (install the runtime with tools/install-neural-runtime.sh)"_s));
        m_voice = m_dir.filePath(u"tv"_s);
        makeVoice(m_voice);
    }

    // A folder is a voice, or holds voices; what each says of itself, or
    // its model's metadata, names it.
    void voicesFromFolders_data()
    {
        QTest::addColumn<QString>("layout");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QString>("gender");
        QTest::addColumn<QString>("language");
        QTest::newRow("the voice's own folder")
            << u"voice"_s << QStringList {u"測試語音"_s} << u"Female"_s << u"404"_s;
        QTest::newRow("a folder of voices, by name")
            << u"parent"_s << QStringList {u"測試語音"_s, u"測試語音"_s} << u"Female"_s << u"404"_s;
        // The model says "Chinese" and nothing of gender.
        QTest::newRow("no description: the model's metadata")
            << u"bare"_s << QStringList {u"bare"_s} << QString() << u"804"_s;
        QTest::newRow("not a voice") << u"empty"_s << QStringList() << QString() << QString();
    }
    void voicesFromFolders()
    {
        QFETCH(QString, layout);
        QFETCH(QStringList, names);
        QFETCH(QString, gender);
        QFETCH(QString, language);
        QTemporaryDir dir;
        QString added = dir.filePath(layout);
        if (layout == u"voice") {
            makeVoice(added);
        } else if (layout == u"parent") {
            makeVoice(added + u"/b"_s);
            makeVoice(added + u"/a"_s);
        } else if (layout == u"bare") {
            makeVoice(added);
            QVERIFY(QFile::remove(added + u"/parlo-voice.json"_s));
        } else {
            QVERIFY(QDir().mkpath(added + u"/sub"_s));
        }
        NeuralEngine engine(isolated());
        engine.addVoiceFolder(added);
        engine.addVoiceFolder(added); // a folder given twice lists its voices once
        const QList<SpObjectToken> voices = engine.voices();
        QCOMPARE(voices.size(), names.size());
        QStringList keys;
        for (qsizetype i = 0; i < voices.size(); ++i) {
            const SpObjectToken &v = voices[i];
            QCOMPARE(v.GetAttribute(u"Name"_s), names[i]);
            QCOMPARE(v.GetAttribute(u"Gender"_s), gender);
            QCOMPARE(v.GetAttribute(u"Language"_s), language);
            QCOMPARE(v.GetAttribute(u"Vendor"_s), u"sherpa-onnx"_s);
            QVERIFY(NeuralVoiceFolder::isVoiceFolder(NeuralEngine::folderOf(v)));
            QVERIFY(engine.speaks(v));
            keys.append(v.Id());
        }
        QCOMPARE(QSet<QString>(keys.begin(), keys.end()).size(), keys.size());
        if (layout == u"parent")
            QVERIFY(NeuralEngine::folderOf(voices[0]).endsWith(u"/a"_s));
    }

    // A model's "language" metadata as a tag.
    void languageTags_data()
    {
        QTest::addColumn<QString>("metadata");
        QTest::addColumn<QString>("tag");
        QTest::newRow("name") << u"Chinese"_s << u"zh"_s;
        QTest::newRow("several names") << u"Chinese + English"_s << u"zh"_s;
        QTest::newRow("tag with underscore") << u"en_US"_s << u"en-US"_s;
        QTest::newRow("tag") << u"zh-TW"_s << u"zh-TW"_s;
        QTest::newRow("alias") << u"Mandarin"_s << u"zh"_s;
        QTest::newRow("unknown") << u"Elvish tongue"_s << QString();
        QTest::newRow("empty") << QString() << QString();
    }
    void languageTags()
    {
        QFETCH(QString, metadata);
        QFETCH(QString, tag);
        QCOMPARE(NeuralVoiceFolder::languageTag(metadata), tag);
    }

    // What a Mandarin voice whose lexicon spells pinyin is sent: the
    // reader's readings (numbers spelled out, Taiwan readings, tone changes),
    // so its sound is that of the pinyin itself.
    void readingsSentAsPinyin_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("pinyin");
        QTest::newRow("sentence") << u"今天天氣很好。"_s << u"jin1 tian1 tian1 qi4 hen3 hao3 。"_s;
        QTest::newRow("number spelled out") << u"我有25個。"_s << u"wo3 you3 er4 shi2 wu3 ge4 。"_s;
        // The test lexicon reads 長 zhang3, its first reading.
        QTest::newRow("Taiwan reading in context") << u"很長"_s << u"hen3 chang2"_s;
        QTest::newRow("tone change of 一") << u"一天"_s << u"yi4 tian1"_s;
    }
    void readingsSentAsPinyin()
    {
        QFETCH(QString, text);
        QFETCH(QString, pinyin);
        NeuralEngine engine(isolated());
        engine.addVoiceFolder(m_voice);
        auto channel = engine.openChannel();
        channel->submit(request(text, voiceOf(engine)));
        const Heard heard = listen(*channel);
        QVERIFY(heard.ended);
        const std::vector<int16_t> expected = spokenDirectly(pinyin);
        QVERIFY(!expected.empty());
        QCOMPARE(heard.samples(), qint64(expected.size()));
        QVERIFY(heard.pcm() == expected);
        engine.closeChannel(channel);
    }

    // A sentence at a time: one chunk per sentence, each with a Sentence
    // event, Words on every Han character in order inside its sound, and
    // mouth shapes; a full sink holds the engine back.
    void streamsSentencesWithEvents_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("sentences");
        QTest::newRow("two sentences") << u"今天天氣很好。我們去散步。"_s << 2;
        QTest::newRow("five, a number among them")
            << u"今天很好。我有25個。你好嗎？他們來了！我們去散步。"_s << 5;
    }
    void streamsSentencesWithEvents()
    {
        QFETCH(QString, text);
        QFETCH(int, sentences);
        NeuralEngine engine(isolated());
        engine.addVoiceFolder(m_voice);
        auto channel = engine.openChannel();
        channel->submit(request(text, voiceOf(engine)));
        Heard heard = listen(*channel, EndWithinMs, 1);
        QCOMPARE(int(heard.chunks.size()), 1);
        if (sentences > 2) {
            // The sink says it holds ten seconds: at most the sentence under
            // way is made meanwhile.
            channel->setSinkBacklog(qint64(VoiceRate) * 10);
            QTest::qWait(500);
            QVERIFY(channel->take().size() <= 1);
            QVERIFY(!channel->isIdle());
            channel->purge();
            channel->setSinkBacklog(0);
            channel->submit(request(text, voiceOf(engine)));
            heard = Heard();
        }
        const Heard rest = listen(*channel);
        QVERIFY(rest.ended);
        heard.chunks.insert(heard.chunks.end(), rest.chunks.begin(), rest.chunks.end());
        heard.ended = true;
        QCOMPARE(int(heard.chunks.size()), sentences);
        for (const SpeechChunk &c : heard.chunks)
            QVERIFY(!c.pcm.empty());

        const std::vector<SpeechEvent> events = heard.events();
        QStringList words;
        qint64 previous = -1;
        int sentenceEvents = 0, visemes = 0;
        for (const SpeechEvent &e : events) {
            QVERIFY(e.sample >= 0 && e.sample <= heard.samples());
            if (e.kind == SpeechEvent::Sentence)
                ++sentenceEvents;
            if (e.kind == SpeechEvent::Viseme && e.current > 0)
                ++visemes;
            if (e.kind != SpeechEvent::Word)
                continue;
            QVERIFY(e.sample > previous);
            QVERIFY(e.sample < heard.samples());
            previous = e.sample;
            words.append(text.mid(e.position, e.length));
        }
        QCOMPARE(sentenceEvents, sentences);
        QVERIFY(visemes > 0);
        QString expected;
        for (QChar c : text) {
            if (c.isLetterOrNumber())
                expected.append(c);
        }
        QCOMPARE(words.join(QString()), expected);
        QVERIFY(words.contains(u"25"_s) == text.contains(u"25"_s));
        engine.closeChannel(channel);
    }

    // Rate steps scale the length as espeak-ng's do (three times faster at
    // the top); volume scales the samples; another output rate resamples.
    void rateVolumeAndOutputRate_data()
    {
        QTest::addColumn<int>("rate");
        QTest::addColumn<int>("volume");
        QTest::addColumn<int>("outputRate");
        QTest::addColumn<double>("lengthFactor"); // against rate 0, volume 100, 22050 Hz
        QTest::addColumn<double>("peakFactor");
        QTest::newRow("slowest") << -10 << 100 << VoiceRate << 3.0 << 1.0;
        QTest::newRow("fastest") << 10 << 100 << VoiceRate << 1 / 3.0 << 1.0;
        QTest::newRow("half volume") << 0 << 50 << VoiceRate << 1.0 << 0.5;
        QTest::newRow("silent") << 0 << 0 << VoiceRate << 1.0 << 0.0;
        QTest::newRow("16 kHz file") << 0 << 100 << 16000 << 16000.0 / VoiceRate << 1.0;
    }
    void rateVolumeAndOutputRate()
    {
        QFETCH(int, rate);
        QFETCH(int, volume);
        QFETCH(int, outputRate);
        QFETCH(double, lengthFactor);
        QFETCH(double, peakFactor);
        NeuralEngine engine(isolated());
        engine.addVoiceFolder(m_voice);
        auto channel = engine.openChannel();
        const QString text = u"今天天氣很好，我們去散步。"_s;
        channel->submit(request(text, voiceOf(engine), 1));
        const Heard plain = listen(*channel);
        SpeechRequest r = request(text, voiceOf(engine), 2);
        r.rate = rate;
        r.volume = volume;
        r.outputRate = outputRate;
        channel->submit(r);
        const Heard heard = listen(*channel);
        QVERIFY(plain.ended && heard.ended);
        const double length = double(heard.samples()) / double(plain.samples());
        // The runtime shortens the pauses at marks of slow speech a little.
        QVERIFY2(std::abs(length - lengthFactor) < 0.15 * lengthFactor,
            qPrintable(QString::number(length)));
        auto peak = [](const std::vector<int16_t> &pcm) {
            int p = 0;
            for (int16_t s : pcm)
                p = std::max(p, std::abs(int(s)));
            return p;
        };
        const double peakRatio = double(peak(heard.pcm())) / peak(plain.pcm());
        QVERIFY2(std::abs(peakRatio - peakFactor) < 0.05, qPrintable(QString::number(peakRatio)));
        for (const SpeechEvent &e : heard.events())
            QVERIFY(e.sample <= heard.samples());
        engine.closeChannel(channel);
    }

    // A purge stops the stream at once; the next request speaks.
    void purgeThenSpeakAgain()
    {
        NeuralEngine engine(isolated());
        engine.addVoiceFolder(m_voice);
        auto channel = engine.openChannel();
        QString text;
        for (int i = 0; i < 30; ++i)
            text += u"今天天氣很好，我們去散步。"_s;
        channel->submit(request(text, voiceOf(engine), 1));
        QCOMPARE(listen(*channel, EndWithinMs, 1).chunks.size(), size_t(1));
        channel->purge();
        QTest::qWait(300);
        QVERIFY(channel->take().empty());
        channel->submit(request(u"我們去散步。"_s, voiceOf(engine), 2));
        const Heard next = listen(*channel);
        QVERIFY(next.ended);
        for (const SpeechChunk &c : next.chunks)
            QCOMPARE(c.stream, 2);
        QVERIFY(next.samples() > 0);
        engine.closeChannel(channel);
    }

    // A sentence the model fails on is silent; the stream goes on and ends.
    void failingSentenceEndsItsStream_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<bool>>("sounding");
        QTest::newRow("alone") << u"crash"_s << QList<bool> {false};
        QTest::newRow("between two")
            << u"今天很好。crash。我們去散步。"_s << QList<bool> {true, false, true};
    }
    void failingSentenceEndsItsStream()
    {
        QFETCH(QString, text);
        QFETCH(QList<bool>, sounding);
        NeuralEngine engine(isolated());
        engine.addVoiceFolder(m_voice);
        auto channel = engine.openChannel();
        channel->submit(request(text, voiceOf(engine)));
        const Heard heard = listen(*channel);
        QVERIFY(heard.ended);
        QList<bool> got;
        for (const SpeechChunk &c : heard.chunks)
            got.append(!c.pcm.empty());
        QCOMPARE(got, sounding);
        QVERIFY(engine.lastError().contains(u"測試語音"_s));
        engine.closeChannel(channel);
    }

    // One worker per voice, shared by the voices speaking with it; none is
    // left, nor its runtime process, once the engine is gone.
    void workersSharedAndEnded()
    {
        QList<qint64> processes;
        {
            NeuralEngine engine(isolated());
            engine.addVoiceFolder(m_voice);
            auto a = engine.openChannel();
            auto b = engine.openChannel();
            a->submit(request(u"今天很好。"_s, voiceOf(engine)));
            b->submit(request(u"我們去散步。"_s, voiceOf(engine)));
            QVERIFY(listen(*a).ended);
            QVERIFY(listen(*b).ended);
            processes = engine.workerProcesses();
            QCOMPARE(processes.size(), 1);
            processes += childrenOf(processes.first());
            QCOMPARE(processes.size(), 2); // the worker and its runtime
            for (qint64 pid : processes)
                QVERIFY(!processGone(pid));
            // A worker killed from outside is started again.
            ::kill(pid_t(processes.first()), SIGKILL);
            a->submit(request(u"今天很好。"_s, voiceOf(engine), 2));
            const Heard again = listen(*a);
            QVERIFY(again.ended && again.samples() > 0);
            const QList<qint64> now = engine.workerProcesses();
            QCOMPARE(now.size(), 1);
            QVERIFY(now.first() != processes.first());
            processes += now.first();
            processes += childrenOf(now.first());
        }
        QTRY_VERIFY_WITH_TIMEOUT(
            std::all_of(processes.begin(), processes.end(), processGone), 3000);
    }

    // Missing pieces: voices() is empty and says why, yet a request for a
    // voice found still ends, silently, and soon.
    void problemsEndStreamsSilently_data()
    {
        QTest::addColumn<QString>("problem");
        QTest::addColumn<QString>("message");
        QTest::newRow("no node") << u"node"_s << u"Node.js not found"_s;
        QTest::newRow("no runtime") << u"runtime"_s << u"tools/install-neural-runtime.sh"_s;
        QTest::newRow("a model that will not load") << u"model"_s << u"cannot load"_s;
    }
    void problemsEndStreamsSilently()
    {
        QFETCH(QString, problem);
        QFETCH(QString, message);
        QTemporaryDir dir;
        NeuralEngine::Setup setup = isolated();
        QString folder = m_voice;
        if (problem == u"node")
            setup.node = dir.filePath(u"no-node"_s);
        if (problem == u"runtime")
            setup.runtimePrefix = dir.path();
        if (problem == u"model") {
            folder = dir.filePath(u"broken"_s);
            makeVoice(folder);
            TestFiles::writeAll(folder + u"/model.onnx"_s, "not a model");
        }
        NeuralEngine engine(setup);
        engine.addVoiceFolder(folder);
        QCOMPARE(engine.foundVoices().size(), 1);
        QCOMPARE(engine.voices().isEmpty(), problem != u"model");
        QCOMPARE(engine.status().contains(message), problem != u"model");
        auto channel = engine.openChannel();
        QElapsedTimer timer;
        timer.start();
        channel->submit(request(u"今天很好。我們去散步。"_s, voiceOf(engine)));
        const Heard heard = listen(*channel);
        QVERIFY(heard.ended);
        QVERIFY(timer.elapsed() < 10000);
        QCOMPARE(heard.samples(), qint64(0));
        QVERIFY2(engine.lastError().contains(message), qPrintable(engine.lastError()));
        QVERIFY(engine.workerProcesses().isEmpty());
        engine.closeChannel(channel);
    }

    // Through a voice: the router sends each Speak to the engine of its
    // voice, natural and scripted in turn, with their events in order.
    void voiceSwitchesEngines()
    {
        ScriptedEngine scripted;
        NeuralEngine neural(isolated());
        neural.addVoiceFolder(m_voice);
        EngineRouter router({&scripted, &neural});
        const QList<SpObjectToken> all = router.voices();
        QCOMPARE(all.size(), scripted.voices().size() + 1);
        QCOMPARE(all.last(), voiceOf(neural));
        SpVoice voice(nullptr, &router);
        SpeechRecorder recorder(&voice);
        const QString text = u"今天很好。"_s;
        QList<SpObjectToken> order {all.last(), all.first(), all.last()};
        for (const SpObjectToken &token : order) {
            voice.setVoice(token);
            voice.Speak(text, SVSFlagsAsync);
        }
        QVERIFY(voice.WaitUntilDone(EndWithinMs));
        QStringList marks;
        for (const RecordedEvent &e : recorder.events) {
            if (e.type == u"Start" || e.type == u"End")
                marks.append(e.type + QString::number(e.stream));
        }
        QCOMPARE(marks,
            (QStringList {u"Start1"_s, u"End1"_s, u"Start2"_s, u"End2"_s, u"Start3"_s, u"End3"_s}));
        for (int stream : {1, 3})
            QCOMPARE(
                recorder.words(text, stream), (QStringList {u"今"_s, u"天"_s, u"很"_s, u"好"_s}));
        QVERIFY(!recorder.of(u"Viseme"_s, 3).isEmpty());
    }
};

QTEST_MAIN(TestNeuralEngine)
#include "test_NeuralEngine.moc"
