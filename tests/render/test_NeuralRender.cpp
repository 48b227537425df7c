// parlo-render with a natural voice given by --voice-dir: the voice made by
// tools/make-test-voice is listed after espeak-ng's, speaks the texts (in
// one process or in workers), its LRC times every character inside the
// audio, and no voice worker outlives the run. Needs node and the runtime
// (tools/install-neural-runtime.sh); without them the run fails.
#include "TestFiles.h"
#include "export/WavReader.h"
#include "speech/neural/NeuralEngine.h"

#include <QDirIterator>
#include <QRegularExpression>
#include <QUuid>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace
{

// Processes (but zombies) whose environment holds `marker`.
int processesMarked(const QByteArray &marker)
{
    int found = 0;
    QDirIterator it(u"/proc"_s, QDir::Dirs | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        const QString dir = it.next();
        bool number = false;
        QFileInfo(dir).fileName().toLongLong(&number);
        if (!number)
            continue;
        const QByteArray stat = TestFiles::readAll(dir + u"/stat"_s);
        if (stat.mid(stat.lastIndexOf(')') + 2, 1) == "Z")
            continue;
        if (TestFiles::readAll(dir + u"/environ"_s).split('\0').contains(marker))
            ++found;
    }
    return found;
}

} // namespace

class TestNeuralRender : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_voice;

    TestFiles::Run render(const QStringList &arguments, const QStringList &environment = {}) const
    {
        return TestFiles::run(
            QStringLiteral(PARLO_RENDER), arguments, m_dir.path(), environment, 240000);
    }

private Q_SLOTS:
    void initTestCase()
    {
        NeuralEngine::Setup setup;
        setup.userVoiceFolder = false;
        const NeuralEngine probe(setup);
        QVERIFY2(probe.problem() == NeuralEngine::Problem::None,
            qPrintable(
                probe.status() + u" (install the runtime with tools/install-neural-runtime.sh)"_s));
        m_voice = m_dir.filePath(u"tv"_s);
        QProcess make;
        make.start(QStringLiteral(PARLO_SOURCE_DIR "/tools/make-test-voice"), {m_voice});
        QVERIFY(make.waitForFinished(60000) && make.exitCode() == 0);
    }

    void listedAfterEspeakVoices()
    {
        const TestFiles::Run run = render({u"--voice-dir"_s, m_voice, u"--list-voices"_s});
        QCOMPARE(run.exitCode, 0);
        const QStringList lines = run.output.split(u'\n', Qt::SkipEmptyParts);
        QVERIFY(lines.size() > 2);
        QVERIFY2(lines.last().startsWith(u"測試語音"_s), qPrintable(run.output));
        QVERIFY(lines.last().contains(u"Female"_s) && lines.last().endsWith(m_voice));
        QVERIFY(lines.first().startsWith(u"Mavi "_s));
        // The gender column lines up on a terminal, where a Chinese name
        // takes two columns a character.
        auto genderColumn = [](const QString &line) {
            const qsizetype at = line.indexOf(QRegularExpression(u" (Male|Female) "_s));
            int columns = 0;
            for (const QChar c : line.first(at))
                columns += c.unicode() >= 0x2E80 ? 2 : 1;
            return columns;
        };
        QCOMPARE(genderColumn(lines.last()), genderColumn(lines.first()));
    }

    // The done check, and the same in two worker processes: a WAV with
    // sound, and an LRC with a time on every character, in order, inside
    // the audio; no worker left afterwards.
    void rendersWithTimedCharacters_data()
    {
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<int>("jobs");
        QTest::newRow("one text") << QStringList {u"今天天氣很好，我們去散步。"_s} << 1;
        QTest::newRow("two texts, two workers")
            << QStringList {u"今天天氣很好，我們去散步。"_s, u"我有25個。你好嗎？"_s} << 2;
    }
    void rendersWithTimedCharacters()
    {
        QFETCH(QStringList, texts);
        QFETCH(int, jobs);
        const QString out = m_dir.filePath(u"out-%1"_s.arg(jobs));
        QStringList arguments {u"--voice-dir"_s, m_voice, u"--voice"_s, u"測試語音"_s, u"--lrc"_s,
            u"-j"_s, QString::number(jobs), u"-o"_s, out};
        for (const QString &text : texts)
            arguments << u"--text"_s << text;
        const QByteArray marker = "PARLO_TEST_MARK=" + QUuid::createUuid().toByteArray();
        const TestFiles::Run run = render(arguments, {QString::fromLatin1(marker)});
        QVERIFY2(run.exitCode == 0, qPrintable(run.errors));
        QCOMPARE(processesMarked(marker), 0);

        static const QRegularExpression timed(u"<(\\d+):(\\d+)\\.(\\d+)>([^<\\r\\n]*)"_s);
        for (int i = 0; i < texts.size(); ++i) {
            const QString base = out + (i == 0 ? u"/text"_s : u"/text-%1"_s.arg(i + 1));
            WavReader wav;
            QVERIFY(wav.open(base + u".wav"_s));
            std::vector<int16_t> pcm(size_t(wav.frames()));
            QCOMPARE(wav.read(pcm.data(), qint64(pcm.size())), qint64(pcm.size()));
            QVERIFY(std::any_of(pcm.begin(), pcm.end(), [](int16_t s) { return s != 0; }));
            const qint64 lengthMs = wav.frames() * 1000 / wav.sampleRate();

            const QString lrc = QString::fromUtf8(TestFiles::readAll(base + u".lrc"_s));
            QString spoken, written;
            qint64 previous = -1;
            for (auto m = timed.globalMatch(lrc); m.hasNext();) {
                const QRegularExpressionMatch piece = m.next();
                const qint64 ms = piece.captured(1).toLongLong() * 60000
                    + piece.captured(2).toLongLong() * 1000 + piece.captured(3).toLongLong() * 10;
                QVERIFY2(ms > previous && ms < lengthMs, qPrintable(lrc));
                previous = ms;
                for (QChar c : piece.captured(4))
                    if (c.isLetterOrNumber())
                        spoken += c;
            }
            for (QChar c : texts[i])
                if (c.isLetterOrNumber())
                    written += c;
            QCOMPARE(spoken, written);
        }
    }

    // Without the runtime the voice is not offered, and the user is told
    // why and what to run; espeak-ng's voices are listed as ever.
    void missingRuntimeIsExplained()
    {
        QTemporaryDir empty;
        const TestFiles::Run run = render({u"--voice-dir"_s, m_voice, u"--list-voices"_s},
            {u"PARLO_NEURAL_RUNTIME="_s + empty.path()});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.output.startsWith(u"Mavi "_s));
        QVERIFY(!run.output.contains(u"測試語音"_s));
        QVERIFY2(run.errors.contains(u"tools/install-neural-runtime.sh"_s), qPrintable(run.errors));
    }

    void voiceDirWithoutVoiceIsRefused()
    {
        QTemporaryDir empty;
        const TestFiles::Run run = render({u"--voice-dir"_s, empty.path(), u"--list-voices"_s});
        QCOMPARE(run.exitCode, 2);
        QVERIFY(run.errors.contains(u"holds no voice"_s));
    }
};

QTEST_MAIN(TestNeuralRender)
#include "test_NeuralRender.moc"
