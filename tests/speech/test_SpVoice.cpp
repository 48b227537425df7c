#include "SpeechRecorder.h"

#include "speech/SpFileStream.h"
#include "speech/SpeechEngine.h"

#include <QtTest>
#include <cmath>

using namespace Qt::StringLiterals;

namespace
{
// espeak's waveform is not bit-identical from one run to the next (its tail
// and phases drift a little), so gains are measured on the energy of the
// whole sound.
double rms(const std::vector<int16_t> &pcm)
{
    double sum = 0;
    for (int16_t s : pcm)
        sum += double(s) * s;
    return pcm.empty() ? 0.0 : std::sqrt(sum / double(pcm.size()));
}

} // namespace

class TestSpVoice : public QObject
{
    Q_OBJECT

private:
    std::shared_ptr<std::vector<int16_t>> m_captured;

    // The sound of one reading, as the device is given it.
    std::vector<int16_t> speak(SpVoice &voice, const QString &text, int flags = SVSFIsNotXML)
    {
        m_captured->clear();
        voice.Speak(text, flags);
        return *m_captured;
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_captured = std::make_shared<std::vector<int16_t>>();
        auto store = m_captured;
        AudioSink::setFactory([store] { return std::make_unique<CaptureSink>(store); });
        QVERIFY2(SpeechEngine::instance().isAvailable(), "espeak-ng data is missing");
    }

    void wordOffsets_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("flags");
        QTest::addColumn<QString>("expected"); // the words, between bars
        const int plain = SVSFIsNotXML, xml = SVSFIsXML;
        QTest::newRow("one word per ideograph")
            << u"請輸入文字於此"_s << plain << u"請|輸|入|文|字|於|此"_s;
        QTest::newRow("crlf") << u"Hello\r\nworld\r\n再見"_s << plain << u"Hello|world|再|見"_s;
        QTest::newRow("surrogate pair") << u"你\U0001F600好 world"_s << plain << u"你|好|world"_s;
        QTest::newRow("xml tags")
            << u"<rate speed=\"2\">你好</rate> <bookmark mark=\"7\"/>big <emph>world</emph>"_s
            << xml << u"你|好|big|world"_s;
        QTest::newRow("spell") << u"<spell>ABC</spell>"_s << xml << u"A|B|C"_s;
        QTest::newRow("entity") << u"你&amp;好"_s << xml << u"你|&amp;|好"_s;
        QTest::newRow("an element left open is still markup")
            << u"<rate speed=\"2\">你好 1 < 2"_s << xml << u"你|好|1|<|2"_s;
    }

    void wordOffsets()
    {
        QFETCH(QString, text);
        QFETCH(int, flags);
        SpVoice voice;
        SpeechRecorder rec(&voice);
        const int stream = voice.Speak(text, flags);
        QTEST(rec.words(text).join(u'|'), "expected");
        QCOMPARE(rec.events.first().type, u"Start"_s);
        QCOMPARE(rec.events.last().type, u"End"_s);
        QVERIFY(rec.of(u"Phoneme"_s).size() >= rec.of(u"Word"_s).size());
        QVERIFY(rec.of(u"Viseme"_s).size() >= rec.of(u"Word"_s).size());
        // All of the one stream, and its positions never go back.
        for (int i = 0; i < rec.events.size(); ++i) {
            QCOMPARE(rec.events[i].stream, stream);
            QVERIFY(i == 0 || rec.events[i].position >= rec.events[i - 1].position);
        }
    }

    void everyListedVoiceSpeaks()
    {
        SpVoice voice;
        SpeechRecorder rec(&voice);
        const QList<SpObjectToken> voices = voice.GetVoices();
        QVERIFY(voices.size() >= 5);
        const QString chinese = u"請輸入文字於此。今天天氣很好。"_s;
        // The suite and an engine voice addressed by its identifier.
        for (int i : {0, 1, 2, 3, 4, int(voices.size()) - 1}) {
            const QByteArray name = voices[i].GetDescription().toUtf8();
            voice.setVoice(voices[i]);
            m_captured->clear();
            const int stream = voice.Speak(u"hello 你好"_s, SVSFIsNotXML);
            QVERIFY2(m_captured->size() > 2205, name.constData());
            QVERIFY2(!rec.of(u"Word"_s, stream).isEmpty(), name.constData());
            if (i >= 5)
                continue;
            // Chinese is read without switching to English.
            const QByteArray phonemes
                = SpeechEngine::instance().phonemeTranscript(chinese, voices[i]);
            QVERIFY2(!phonemes.trimmed().isEmpty(), name.constData());
            QVERIFY2(!phonemes.contains('('), phonemes.constData());
        }
    }

    void bookmarkAndVoiceChangeFromMarkup()
    {
        SpVoice voice;
        SpeechRecorder rec(&voice);
        const QString text = QStringLiteral("你好<bookmark mark=\"42\"/>"
                                            "<voice required=\"Name=Mavi Lena\">再見</voice>");
        voice.Speak(text, SVSFIsXML);
        // Marks and voice changes come between the words they stand between.
        QStringList seen;
        for (const RecordedEvent &e : std::as_const(rec.events)) {
            if (e.type == u"Word"_s)
                seen << text.mid(e.a, e.b);
            else if (e.type == u"Bookmark"_s)
                seen << u"mark %1 (%2)"_s.arg(e.text).arg(e.a);
            else if (e.type == u"Voice"_s)
                seen << u"voice "_s + e.text;
        }
        QCOMPARE(seen.join(u'|'), u"你|好|mark 42 (42)|voice Mavi Lena|再|見"_s);
    }

    void longTextIsMadeAheadOnlyABit()
    {
        QString text;
        while (text.size() < 200000)
            text += u"這是一個測試句子，看看記憶體。This is a test sentence. "_s;
        SpVoice voice;
        SpeechRecorder rec(&voice);
        const int stream = voice.Speak(text, SVSFlagsAsync | SVSFIsNotXML);
        // Nobody takes the audio for a while: the worker must stop ahead.
        QThread::msleep(400);
        const qint64 limit = qint64(SpeechEngine::NativeRate) * 40;
        QVERIFY2(SpeechEngine::instance().backlogHighWater() < limit,
            qPrintable(QString::number(SpeechEngine::instance().backlogHighWater())));
        QTRY_VERIFY(rec.of(u"Word"_s, stream).size() > 20);
        QVERIFY(voice.isSpeaking());
        // Empty text with a purge only stops, without a stream of its own.
        QCOMPARE(voice.Speak(QString(), SVSFPurgeBeforeSpeak), 0);
        QVERIFY(voice.WaitUntilDone(5000));
        QCOMPARE(rec.of(u"End"_s, stream).size(), 1);
        QVERIFY(!voice.isSpeaking());
    }

    void rateAndVolumeShapeTheSound()
    {
        SpVoice voice;
        auto render = [&](const QString &text, int rate, int volume) {
            voice.setRate(rate);
            voice.setVolume(volume);
            return speak(voice, text);
        };
        const QString text = u"今天天氣很好，我們一起去公園散步吧。"_s;
        const double normal = double(render(text, 0, 100).size());
        const double fast = double(render(text, 10, 100).size());
        const double slow = double(render(text, -10, 100).size());
        qInfo("samples: rate -10 %.0f, 0 %.0f, +10 %.0f", slow, normal, fast);
        QVERIFY2(
            normal / fast > 2.0 && normal / fast < 4.0, qPrintable(QString::number(normal / fast)));
        QVERIFY2(
            slow / normal > 2.0 && slow / normal < 4.0, qPrintable(QString::number(slow / normal)));
        // Volume is a gain on the same sound.
        const std::vector<int16_t> full = render(u"你好"_s, 0, 100);
        const double ratio = rms(render(u"你好"_s, 0, 50)) / rms(full);
        QVERIFY(rms(full) > 500.0);
        QVERIFY2(ratio > 0.48 && ratio < 0.52, qPrintable(QString::number(ratio)));
        const std::vector<int16_t> none = render(u"你好"_s, 0, 0);
        QVERIFY(!none.empty());
        QVERIFY(std::all_of(none.begin(), none.end(), [](int16_t s) { return s == 0; }));
        // Settings beyond the ranges are clamped.
        voice.setRate(25);
        voice.setVolume(101);
        QCOMPARE(voice.Rate(), 10);
        QCOMPARE(voice.Volume(), 100);
        voice.setRate(-11);
        voice.setVolume(-5);
        QCOMPARE(voice.Rate(), -10);
        QCOMPARE(voice.Volume(), 0);
    }

    void markupChangesTheSound()
    {
        SpVoice voice;
        const std::vector<int16_t> plain = speak(voice, u"你好"_s, SVSFIsXML);
        const std::vector<int16_t> silence
            = speak(voice, u"<silence msec=\"500\"/>你好"_s, SVSFIsXML);
        const double added = double(silence.size()) - double(plain.size());
        QVERIFY2(std::abs(added - 11025) < 500, qPrintable(QString::number(added)));
        const auto fast = speak(voice, u"<rate absspeed=\"10\">你好</rate>"_s, SVSFIsXML);
        QVERIFY(double(fast.size()) < 0.6 * double(plain.size()));
        const auto quiet = speak(voice, u"<volume level=\"50\">你好</volume>"_s, SVSFIsXML);
        const double ratio = rms(quiet) / rms(plain);
        QVERIFY2(ratio > 0.45 && ratio < 0.55, qPrintable(QString::number(ratio)));
    }

    void outputReleasedMidStreamIsNeverTouchedAgain()
    {
        QTemporaryDir dir;
        SpVoice voice;
        SpeechRecorder rec(&voice);
        auto stream = std::make_unique<SpFileStream>();
        stream->Format.Type = SAFT16kHz16BitMono;
        QVERIFY(stream->Open(dir.filePath(u"cut.wav"_s)));
        voice.setAudioOutputStream(stream.get());
        m_captured->clear();
        QString text;
        for (int i = 0; i < 30; ++i)
            text += u"這一句會寫到檔案裡，然後換到裝置上。"_s;
        const int number = voice.Speak(text, SVSFlagsAsync | SVSFIsNotXML);
        QTRY_VERIFY(rec.of(u"Word"_s).size() >= 3);
        stream->Close();
        stream.reset(); // released while the voice is still speaking
        voice.setAudioOutputStream(nullptr);
        QVERIFY(voice.WaitUntilDone(60000));
        QCOMPARE(rec.of(u"End"_s, number).size(), 1);
        // The rest went to the device, at the device's rate.
        QVERIFY(m_captured->size() > 22050);
        QVERIFY(rec.of(u"Word"_s, number).last().position <= rec.of(u"End"_s, number)[0].position);
    }
};

QTEST_GUILESS_MAIN(TestSpVoice)
#include "test_SpVoice.moc"
