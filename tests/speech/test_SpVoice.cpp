#include "SpeechRecorder.h"

#include "speech/SpFileStream.h"
#include "speech/SpeechEngine.h"
#include "speech/VoicePrompt.h"

#include <QTemporaryDir>
#include <QtTest>
#include <cmath>

class TestSpVoice : public QObject
{
    Q_OBJECT

private:
    std::shared_ptr<std::vector<int16_t>> m_captured;

    std::vector<int16_t> render(const QString &text, int rate, int volume)
    {
        SpVoice voice;
        voice.setRate(rate);
        voice.setVolume(volume);
        m_captured->clear();
        voice.Speak(text, SVSFIsNotXML);
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

    void chineseGivesOneWordPerCharacter()
    {
        SpVoice voice;
        SpeechRecorder rec(&voice);
        const QString text = QStringLiteral("請輸入文字於此");
        const int stream = voice.Speak(text);
        QVERIFY(stream > 0);
        QVERIFY(!rec.events.isEmpty());
        QCOMPARE(rec.events.first().type, QStringLiteral("Start"));
        QCOMPARE(rec.events.last().type, QStringLiteral("End"));
        const QList<RecordedEvent> words = rec.of(QStringLiteral("Word"));
        QCOMPARE(words.size(), 7);
        for (int i = 0; i < 7; ++i) {
            QCOMPARE(words[i].a, i);
            QCOMPARE(words[i].b, 1);
        }
        QVERIFY(rec.of(QStringLiteral("Phoneme")).size() >= 7);
        QVERIFY(rec.of(QStringLiteral("Viseme")).size() >= 7);
        for (const RecordedEvent &e : rec.events)
            QCOMPARE(e.stream, stream);
        // Stream positions never go back.
        for (int i = 1; i < rec.events.size(); ++i)
            QVERIFY(rec.events[i].position >= rec.events[i - 1].position);
    }

    void wordOffsets_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("flags");
        QTest::addColumn<QStringList>("expected");
        const QString full = QStringLiteral("第一句。第二句話。");
        QTest::newRow("selection") << full.mid(4) << int(SVSFIsNotXML)
                                   << QStringList {QStringLiteral("第"), QStringLiteral("二"),
                                          QStringLiteral("句"), QStringLiteral("話")};
        QTest::newRow("crlf") << QStringLiteral("Hello\r\nworld\r\n再見") << int(SVSFIsNotXML)
                              << QStringList {QStringLiteral("Hello"), QStringLiteral("world"),
                                     QStringLiteral("再"), QStringLiteral("見")};
        QTest::newRow("surrogate pair")
            << QStringLiteral("你\U0001F600好 world") << int(SVSFIsNotXML)
            << QStringList {QStringLiteral("你"), QStringLiteral("好"), QStringLiteral("world")};
        QTest::newRow("xml tags") << QStringLiteral(
            "<rate speed=\"2\">你好</rate> <bookmark mark=\"7\"/>big "
            "<emph>world</emph>") << int(SVSFIsXML)
                                  << QStringList {QStringLiteral("你"), QStringLiteral("好"),
                                         QStringLiteral("big"), QStringLiteral("world")};
        QTest::newRow("spell") << QStringLiteral("<spell>ABC</spell>") << int(SVSFIsXML)
                               << QStringList {QStringLiteral("A"), QStringLiteral("B"),
                                      QStringLiteral("C")};
        QTest::newRow("entity") << QStringLiteral("你&amp;好") << int(SVSFIsXML)
                                << QStringList {QStringLiteral("你"), QStringLiteral("&amp;"),
                                       QStringLiteral("好")};
        QTest::newRow("malformed xml is plain")
            << QStringLiteral("<rate speed=\"2\">你好") << int(SVSFIsXML)
            << QStringList {QStringLiteral("rate"), QStringLiteral("speed"), QStringLiteral("="),
                   QStringLiteral("2"), QStringLiteral("你"), QStringLiteral("好")};
    }

    void wordOffsets()
    {
        QFETCH(QString, text);
        QFETCH(int, flags);
        QFETCH(QStringList, expected);
        SpVoice voice;
        SpeechRecorder rec(&voice);
        voice.Speak(text, flags);
        QCOMPARE(rec.words(text), expected);
    }

    void everyListedVoiceSpeaks()
    {
        SpVoice voice;
        SpeechRecorder rec(&voice);
        const QList<SpObjectToken> voices = voice.GetVoices();
        // The suite and a few engine voices addressed by their identifiers.
        const QList<int> picks {0, 1, 2, 3, 4, 5, int(voices.size()) / 2, int(voices.size()) - 1};
        for (int i : picks) {
            voice.setVoice(voices[i]);
            m_captured->clear();
            const int stream = voice.Speak(QStringLiteral("hello 你好"), SVSFIsNotXML);
            QVERIFY2(m_captured->size() > 2205, qPrintable(voices[i].GetDescription()));
            QVERIFY2(!rec.of(QStringLiteral("Word"), stream).isEmpty(),
                qPrintable(voices[i].GetDescription()));
        }
    }

    void bookmarkAndVoiceChangeFromMarkup()
    {
        SpVoice voice;
        SpeechRecorder rec(&voice);
        const QString text = QStringLiteral("你好<bookmark mark=\"42\"/>"
                                            "<voice required=\"Name=Mavi Lena\">再見</voice>");
        voice.Speak(text, SVSFIsXML);
        const QList<RecordedEvent> marks = rec.of(QStringLiteral("Bookmark"));
        QCOMPARE(marks.size(), 1);
        QCOMPARE(marks[0].text, QStringLiteral("42"));
        QCOMPARE(marks[0].a, 42);
        const QList<RecordedEvent> changes = rec.of(QStringLiteral("Voice"));
        QCOMPARE(changes.size(), 1);
        QCOMPARE(changes[0].text, QStringLiteral("Mavi Lena"));
        QCOMPARE(rec.words(text),
            (QStringList {QStringLiteral("你"), QStringLiteral("好"), QStringLiteral("再"),
                QStringLiteral("見")}));
        // The bookmark comes between the words it stands between.
        int markIndex = -1, secondWord = -1, thirdWord = -1, words = 0;
        for (int i = 0; i < rec.events.size(); ++i) {
            if (rec.events[i].type == QLatin1String("Bookmark"))
                markIndex = i;
            if (rec.events[i].type == QLatin1String("Word")) {
                ++words;
                if (words == 2)
                    secondWord = i;
                if (words == 3)
                    thirdWord = i;
            }
        }
        QVERIFY(secondWord < markIndex && markIndex < thirdWord);
    }

    void purgeEndsTheStream()
    {
        SpVoice voice;
        SpeechRecorder rec(&voice);
        QString text;
        for (int i = 0; i < 40; ++i)
            text += QStringLiteral("這是一個很長的句子，用來測試中途停止。");
        const int first = voice.Speak(text, SVSFlagsAsync);
        QTRY_VERIFY(rec.of(QStringLiteral("Word"), first).size() >= 3);
        const int second
            = voice.Speak(QStringLiteral("新的開始。"), SVSFlagsAsync | SVSFPurgeBeforeSpeak);
        QVERIFY(second > first);
        QVERIFY(voice.WaitUntilDone(20000));
        QCOMPARE(rec.of(QStringLiteral("End"), first).size(), 1);
        QCOMPARE(rec.of(QStringLiteral("End"), second).size(), 1);
        int startOfSecond = -1;
        for (int i = 0; i < rec.events.size(); ++i) {
            if (rec.events[i].type == QLatin1String("Start") && rec.events[i].stream == second)
                startOfSecond = i;
        }
        QVERIFY(startOfSecond > 0);
        for (int i = startOfSecond; i < rec.events.size(); ++i)
            QVERIFY(rec.events[i].stream != first);
        // The purged reading did not run to its end.
        QVERIFY(rec.of(QStringLiteral("Word"), first).size() < text.size() / 2);
    }

    void longTextIsMadeAheadOnlyABit()
    {
        QString text;
        while (text.size() < 200000)
            text += QStringLiteral("這是一個測試句子，看看記憶體。This is a test sentence. ");
        SpVoice voice;
        SpeechRecorder rec(&voice);
        const int stream = voice.Speak(text, SVSFlagsAsync | SVSFIsNotXML);
        // Nobody takes the audio for a while: the worker must stop ahead.
        QThread::msleep(400);
        const qint64 limit = qint64(SpeechEngine::NativeRate) * 40;
        QVERIFY2(SpeechEngine::instance().backlogHighWater() < limit,
            qPrintable(QString::number(SpeechEngine::instance().backlogHighWater())));
        QTRY_VERIFY(rec.of(QStringLiteral("Word"), stream).size() > 20);
        QVERIFY(voice.isSpeaking());
        voice.Speak(QString(), SVSFPurgeBeforeSpeak);
        QVERIFY(voice.WaitUntilDone(5000));
        QCOMPARE(rec.of(QStringLiteral("End"), stream).size(), 1);
    }

    void purgeWithEmptyTextStops()
    {
        SpVoice voice;
        SpeechRecorder rec(&voice);
        const int stream = voice.Speak(QStringLiteral("一二三四五六七八九十。"), SVSFlagsAsync);
        QCOMPARE(voice.Speak(QString(), SVSFPurgeBeforeSpeak), 0);
        QVERIFY(voice.WaitUntilDone(5000));
        QCOMPARE(rec.of(QStringLiteral("Start"), stream).size(), 1);
        QCOMPARE(rec.of(QStringLiteral("End"), stream).size(), 1);
        QVERIFY(!voice.isSpeaking());
    }

    void pauseThenResumeLosesNoWord()
    {
        const QString text = QStringLiteral("今天天氣很好。我們一起去公園散步吧。公園裡有很多花。");
        QStringList reference;
        {
            SpVoice voice;
            SpeechRecorder rec(&voice);
            voice.Speak(text);
            reference = rec.words(text);
        }
        QVERIFY(reference.size() >= 15);
        SpVoice voice;
        SpeechRecorder rec(&voice);
        // Pausing from a word handler pins the pause to a known place.
        int pausedAt = -1;
        connect(&voice, &SpVoice::Word, this, [&] {
            if (pausedAt < 0 && rec.of(QStringLiteral("Word")).size() == 2) {
                voice.Pause();
                pausedAt = rec.of(QStringLiteral("Word")).size();
            }
        });
        voice.Speak(text, SVSFlagsAsync);
        QTRY_VERIFY(pausedAt > 0);
        QVERIFY(!voice.WaitUntilDone(300));
        const int heldAt = rec.of(QStringLiteral("Word")).size();
        QVERIFY(heldAt < reference.size());
        QVERIFY(!voice.WaitUntilDone(100));
        QCOMPARE(rec.of(QStringLiteral("Word")).size(), heldAt);
        QCOMPARE(rec.of(QStringLiteral("End")).size(), 0);
        voice.Resume();
        voice.Resume(); // harmless twice
        QVERIFY(voice.WaitUntilDone(20000));
        QCOMPARE(rec.words(text), reference);
    }

    void handlerMaySpeakAndWait()
    {
        SpVoice voice;
        SpeechRecorder rec(&voice);
        int nested = 0;
        connect(&voice, &SpVoice::EndStream, this, [&](int stream) {
            if (nested == 0 && stream == 1)
                nested = voice.Speak(QStringLiteral("好"), SVSFIsNotXML); // waits inside
        });
        QCOMPARE(voice.Speak(QStringLiteral("你"), SVSFlagsAsync), 1);
        QVERIFY(voice.WaitUntilDone(20000));
        QCOMPARE(nested, 2);
        QCOMPARE(rec.of(QStringLiteral("End"), 2).size(), 1);
        QCOMPARE(rec.words(QStringLiteral("好"), 2), QStringList {QStringLiteral("好")});
    }

    void chineseIsReadWithoutSwitchingToEnglish()
    {
        SpVoice voice;
        const QList<SpObjectToken> voices = voice.GetVoices();
        QVERIFY(voices.size() >= 5);
        const QString chinese = QStringLiteral("請輸入文字於此。今天天氣很好。");
        for (int i = 0; i < 5; ++i) {
            const QByteArray phonemes
                = SpeechEngine::instance().phonemeTranscript(chinese, voices[i]);
            QVERIFY2(!phonemes.trimmed().isEmpty(), qPrintable(voices[i].GetDescription()));
            QVERIFY2(!phonemes.contains('('), phonemes.constData());
        }
        // The check above does see a switch when there is one.
        QVERIFY(SpeechEngine::instance()
                    .phonemeTranscript(QStringLiteral("你好 computer"), voices[0])
                    .contains("(en)"));
    }

    void rateChangesDuration()
    {
        const QString text = QStringLiteral("今天天氣很好，我們一起去公園散步吧。");
        const double normal = double(render(text, 0, 100).size());
        const double fast = double(render(text, 10, 100).size());
        const double slow = double(render(text, -10, 100).size());
        const double faster = double(render(text, 5, 100).size());
        qInfo("samples: rate -10 %.0f, 0 %.0f, +5 %.0f, +10 %.0f", slow, normal, faster, fast);
        QVERIFY(normal > 0);
        QVERIFY(faster < normal && fast < faster);
        QVERIFY2(
            normal / fast > 2.0 && normal / fast < 4.0, qPrintable(QString::number(normal / fast)));
        QVERIFY2(
            slow / normal > 2.0 && slow / normal < 4.0, qPrintable(QString::number(slow / normal)));
    }

    void volumeIsAGain()
    {
        const QString text = QStringLiteral("你好");
        const std::vector<int16_t> full = render(text, 0, 100);
        const std::vector<int16_t> half = render(text, 0, 50);
        const std::vector<int16_t> none = render(text, 0, 0);
        // espeak's waveform is not bit-identical from one run to the next
        // (its tail and phases drift a little), so the gain is measured on
        // the energy of the whole sound.
        auto rms = [](const std::vector<int16_t> &pcm) {
            double sum = 0;
            for (int16_t s : pcm)
                sum += double(s) * s;
            return pcm.empty() ? 0.0 : std::sqrt(sum / double(pcm.size()));
        };
        QVERIFY(rms(full) > 500.0);
        const double ratio = rms(half) / rms(full);
        QVERIFY2(ratio > 0.48 && ratio < 0.52, qPrintable(QString::number(ratio)));
        QVERIFY(std::all_of(none.begin(), none.end(), [](int16_t s) { return s == 0; }));
        QVERIFY(!none.empty());
    }

    void markupChangesTheSound()
    {
        auto rms = [](const std::vector<int16_t> &pcm) {
            double sum = 0;
            for (int16_t v : pcm)
                sum += double(v) * v;
            return pcm.empty() ? 0.0 : std::sqrt(sum / double(pcm.size()));
        };
        SpVoice voice;
        auto speak = [&](const QString &markup) {
            m_captured->clear();
            voice.Speak(markup, SVSFIsXML);
            return *m_captured;
        };
        const std::vector<int16_t> plain = speak(QStringLiteral("你好"));
        const std::vector<int16_t> silence = speak(QStringLiteral("<silence msec=\"500\"/>你好"));
        const double added = double(silence.size()) - double(plain.size());
        QVERIFY2(std::abs(added - 11025) < 500, qPrintable(QString::number(added)));
        const std::vector<int16_t> fast
            = speak(QStringLiteral("<rate absspeed=\"10\">你好</rate>"));
        QVERIFY(double(fast.size()) < 0.6 * double(plain.size()));
        const std::vector<int16_t> quiet
            = speak(QStringLiteral("<volume level=\"50\">你好</volume>"));
        const double ratio = rms(quiet) / rms(plain);
        QVERIFY2(ratio > 0.45 && ratio < 0.55, qPrintable(QString::number(ratio)));
    }

    void fileStreamAt16kHz()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("out.wav"));
        SpVoice voice;
        SpeechRecorder rec(&voice);
        SpFileStream stream;
        stream.Format.Type = SAFT16kHz16BitMono;
        QVERIFY(stream.Open(path, SSFMCreateForWrite, false));
        voice.setAllowAudioOutputFormatChangesOnNextSet(false);
        voice.setAudioOutputStream(&stream);
        m_captured->clear();
        voice.Speak(
            QStringLiteral("請輸入文字於此"), SVSFlagsAsync | SVSFPurgeBeforeSpeak | SVSFIsNotXML);
        while (!voice.WaitUntilDone(50)) { }
        stream.Close();
        voice.setAudioOutputStream(nullptr);
        QVERIFY(m_captured->empty()); // nothing went to the device
        QCOMPARE(rec.of(QStringLiteral("Word")).size(), 7);

        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray wav = file.readAll();
        QVERIFY(wav.size() > 44 + 16000); // more than half a second
        auto u32 = [&](int at) { return qFromLittleEndian<quint32>(wav.constData() + at); };
        auto u16 = [&](int at) { return qFromLittleEndian<quint16>(wav.constData() + at); };
        QCOMPARE(wav.left(4), QByteArray("RIFF"));
        QCOMPARE(qint64(u32(4)), qint64(wav.size() - 8));
        QCOMPARE(wav.mid(8, 8), QByteArray("WAVEfmt "));
        QCOMPARE(u16(20), quint16(1));
        QCOMPARE(u16(22), quint16(1));
        QCOMPARE(u32(24), quint32(16000));
        QCOMPARE(u32(28), quint32(32000));
        QCOMPARE(u16(34), quint16(16));
        QCOMPARE(wav.mid(36, 4), QByteArray("data"));
        QCOMPARE(qint64(u32(40)), qint64(wav.size() - 44));
        double energy = 0;
        const int samples = (wav.size() - 44) / 2;
        for (int i = 0; i < samples; ++i) {
            const double s = qint16(u16(44 + 2 * i));
            energy += s * s;
        }
        QVERIFY(std::sqrt(energy / samples) > 300.0);

        // Back on the device afterwards.
        voice.Speak(QStringLiteral("好"));
        QVERIFY(!m_captured->empty());
    }

    void outputReleasedMidStreamIsNeverTouchedAgain()
    {
        QTemporaryDir dir;
        SpVoice voice;
        SpeechRecorder rec(&voice);
        auto stream = std::make_unique<SpFileStream>();
        stream->Format.Type = SAFT16kHz16BitMono;
        QVERIFY(stream->Open(dir.filePath(QStringLiteral("cut.wav"))));
        voice.setAudioOutputStream(stream.get());
        m_captured->clear();
        QString text;
        for (int i = 0; i < 30; ++i)
            text += QStringLiteral("這一句會寫到檔案裡，然後換到裝置上。");
        const int number = voice.Speak(text, SVSFlagsAsync | SVSFIsNotXML);
        QTRY_VERIFY(rec.of(QStringLiteral("Word")).size() >= 3);
        stream->Close();
        stream.reset(); // released while the voice is still speaking
        voice.setAudioOutputStream(nullptr);
        QVERIFY(voice.WaitUntilDone(60000));
        QCOMPARE(rec.of(QStringLiteral("End"), number).size(), 1);
        // The rest went to the device, at the device's rate.
        QVERIFY(m_captured->size() > 22050);
        const QList<RecordedEvent> ends = rec.of(QStringLiteral("End"), number);
        const QList<RecordedEvent> words = rec.of(QStringLiteral("Word"), number);
        QVERIFY(words.last().position <= ends.first().position);
    }

    void readingAndPromptSpeakTogether()
    {
        SpVoice reading;
        VoicePrompt prompt;
        prompt.SetUseXML(false);
        prompt.SetValue(0);
        prompt.SetValue(10);
        prompt.Setup(101, 0, 0);
        prompt.SetVoiceNumber(102);
        SpeechRecorder readingRec(&reading);
        SpeechRecorder promptRec(prompt.voice());
        reading.Speak(QStringLiteral("今天天氣很好。我們去散步。"), SVSFlagsAsync);
        int promptStream = 0;
        prompt.Speak(QStringLiteral("朗讀"), &promptStream);
        QVERIFY(promptStream > 0);
        QVERIFY(reading.WaitUntilDone(20000));
        QVERIFY(prompt.voice()->WaitUntilDone(20000));
        QCOMPARE(readingRec.of(QStringLiteral("End")).size(), 1);
        QCOMPARE(promptRec.of(QStringLiteral("End"), promptStream).size(), 1);
        QCOMPARE(promptRec.of(QStringLiteral("Word")).size(), 2);
        QCOMPARE(prompt.voice()->Voice().GetDescription(), QStringLiteral("Mavi Lena"));
    }

    void promptStopIsHarmlessWhenSilent()
    {
        VoicePrompt prompt;
        SpeechRecorder rec(prompt.voice());
        prompt.Stop();
        QVERIFY(prompt.voice()->WaitUntilDone(1000));
        QVERIFY(rec.events.isEmpty());
        prompt.Speak(QStringLiteral("這是一段比較長的提示文字，會被停止。"));
        prompt.Stop();
        QVERIFY(prompt.voice()->WaitUntilDone(5000));
        QCOMPARE(rec.of(QStringLiteral("End")).size(), 1);
    }

    void rateAndVolumeAreClamped()
    {
        SpVoice voice;
        voice.setRate(25);
        QCOMPARE(voice.Rate(), 10);
        voice.setRate(-11);
        QCOMPARE(voice.Rate(), -10);
        voice.setVolume(101);
        QCOMPARE(voice.Volume(), 100);
        voice.setVolume(-5);
        QCOMPARE(voice.Volume(), 0);
    }
};

QTEST_GUILESS_MAIN(TestSpVoice)
#include "test_SpVoice.moc"
