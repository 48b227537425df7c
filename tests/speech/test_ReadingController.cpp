// Reading aloud driven through a plain view object and the real voice on the
// immediate audio sink: states and captions, what is handed to the voice, and
// what the stream's events do to the selection.

#include "DataColumns.h"
#include "audio/AudioSink.h"
#include "speech/ReadingController.h"
#include "speech/ScriptedEngine.h"
#include "speech/SpVoice.h"

#include <QtTest>

using namespace Qt::StringLiterals;

namespace
{
class FakeView : public ReadingView
{
public:
    int voices = 1, start = 0, length = 0, faces = 0, mouths = 0;
    QString body, speakCaption, pauseCaption, tag = u"Pause"_s;
    bool paneEnabled = true, pauseEnabled = false;
    QStringList messages;
    QList<QPair<int, int>> selections; // every selection written, start then length

    int voiceCount() const override { return voices; }
    QString text() const override { return body; }
    int selStart() const override { return start; }
    int selLength() const override { return length; }
    void setSelStart(int s) override
    {
        start = s;
        length = 0;
    }
    void setSelLength(int n) override
    {
        length = n;
        selections.append({start, length});
    }
    void setVoicePaneEnabled(bool e) override { paneEnabled = e; }
    void setSpeakCaption(const QString &c) override { speakCaption = c; }
    void setPauseEnabled(bool e) override { pauseEnabled = e; }
    void setPauseCaption(const QString &c) override { pauseCaption = c; }
    QString pauseTag() const override { return tag; }
    void setPauseTag(const QString &t) override { tag = t; }
    void showClipMessage(const QString &t) override { messages.append(t); }
    void drawRoleFace(bool) override { ++faces; }
    void showMouth(short) override { ++mouths; }
};
} // namespace

class TestReadingController : public QObject
{
    Q_OBJECT

    ScriptedEngine m_engine;

    std::unique_ptr<SpVoice> voice;
    FakeView view;
    std::unique_ptr<ReadingController> reading;

    bool waitForEnd()
    {
        QSignalSpy ended(voice.get(), &SpVoice::EndStream);
        return ended.wait(20000);
    }

private Q_SLOTS:
    void initTestCase()
    {
        SynthesisEngine::setDefault(&m_engine);
        AudioSink::setFactory([] { return std::make_unique<ImmediateSink>(); });
    }

    void init()
    {
        view = FakeView();
        voice = std::make_unique<SpVoice>();
        reading = std::make_unique<ReadingController>(view, *voice, nullptr);
        reading->connectVoiceEvents();
        reading->SetPauseState(false, false);
    }
    void cleanup()
    {
        reading.reset();
        voice.reset();
    }

    void pauseStatesShowTheirCaptions_data()
    {
        DataColumns::add<bool>({"speaking", "paused"});
        DataColumns::add<QString>({"speak", "pause", "mode"});
        QTest::newRow("idle") << false << false << u"朗讀"_s << u"暫停"_s << u"Pause"_s;
        QTest::newRow("reading") << true << false << u"停止"_s << u"暫停"_s << u"Pause"_s;
        QTest::newRow("paused") << true << true << u"停止"_s << u"繼續"_s << u"Resume"_s;
        QTest::newRow("idle, voice paused")
            << false << true << u"朗讀"_s << u"繼續"_s << u"Resume"_s;
    }
    void pauseStatesShowTheirCaptions()
    {
        const auto [speaking, paused] = DataColumns::fetch<bool>("speaking", "paused");
        reading->SetPauseState(speaking, paused);
        QTEST(view.speakCaption, "speak");
        QTEST(view.pauseCaption, "pause");
        QTEST(view.tag, "mode");
        QCOMPARE(view.pauseEnabled, speaking);
    }

    void rateFollowsTheSlider_data()
    {
        QTest::addColumn<int>("slider");
        QTest::addColumn<int>("rate");
        QTest::newRow("fastest") << 0 << 10;
        QTest::newRow("normal") << 50 << 0;
        QTest::newRow("slowest") << 100 << -10;
        QTest::newRow("52") << 52 << 0;
        QTest::newRow("53") << 53 << -1;
        QTest::newRow("47") << 47 << 1;
    }
    void rateFollowsTheSlider()
    {
        QFETCH(int, slider);
        reading->SliderRateChange(slider);
        QTEST(voice->Rate(), "rate");
    }

    // A caret reads the whole text; a selection is read alone ("hello" lies
    // outside it), its words shifted by its start.
    void readsAndGivesTheSelectionBack_data()
    {
        QTest::addColumn<QString>("body");
        DataColumns::add<int>({"start", "length", "offset", "words"});
        QTest::newRow("caret") << u"請輸入文字於此"_s << 3 << 0 << 0 << 7;
        QTest::newRow("selection")
            << QString(100, u' ') + u"文字於此 hello"_s << 100 << 4 << 100 << 4;
    }
    void readsAndGivesTheSelectionBack()
    {
        QFETCH(QString, body);
        const auto [start, length, offset, words]
            = DataColumns::fetch<int>("start", "length", "offset", "words");
        view.body = body;
        view.start = start;
        view.length = length;
        QSignalSpy spoken(voice.get(), &SpVoice::Word);
        reading->CmdSpeakClick();
        QVERIFY(reading->isSpeaking());
        QVERIFY(!view.paneEnabled);
        QCOMPARE(reading->speakOffset(), offset);
        QVERIFY(waitForEnd());
        QCOMPARE(spoken.size(), words);
        QCOMPARE(spoken.at(0).at(2).toInt(), 0);
        // Each word was selected in turn, from where the reading started.
        for (int k = 0; k < words; ++k)
            QCOMPARE(view.selections.at(k), qMakePair(offset + k, 1));
        // The end of the stream gives back the selection and the Idle state.
        QCOMPARE(view.start, start);
        QCOMPARE(view.length, length);
        QVERIFY(!reading->isSpeaking());
        QVERIFY(view.paneEnabled);
        QCOMPARE(view.speakCaption, u"朗讀"_s);
        QVERIFY(view.faces >= 2);
        QVERIFY(view.mouths > 0);
    }

    void selectionPastTheEndIsShortened()
    {
        view.body = u"一二三四五"_s;
        view.start = 3;
        view.length = 10; // a view that reports more than the text holds
        reading->CmdSpeakClick();
        QCOMPARE(view.selections.first(), qMakePair(3, 2));
        QVERIFY(waitForEnd());
    }

    void nothingIsReadAndTheWindowStaysIdle_data()
    {
        DataColumns::add<int>({"chars", "voices", "start", "length"});
        QTest::newRow("empty text") << 0 << 1 << 0 << 0;
        QTest::newRow("no voice") << 5 << 0 << 0 << 0;
        QTest::newRow("start beyond 16 bits") << 40000 << 1 << 33000 << 5;
        QTest::newRow("length beyond 16 bits") << 40000 << 1 << 5 << 33000;
        QTest::newRow("start + length beyond 16 bits") << 40000 << 1 << 30000 << 5000;
    }
    void nothingIsReadAndTheWindowStaysIdle()
    {
        const auto [chars, voices, start, length]
            = DataColumns::fetch<int>("chars", "voices", "start", "length");
        view.body = QString(chars, QLatin1Char('a'));
        view.voices = voices;
        view.start = start;
        view.length = length;
        reading->CmdSpeakClick();
        QVERIFY(!reading->isSpeaking());
        QVERIFY(view.paneEnabled);
        QCOMPARE(view.speakCaption, u"朗讀"_s);
        QVERIFY(!voice->isSpeaking());
    }

    void tooLongTextWarnsAndReadsTheFirstPart()
    {
        const QString exact(ReadingController::MaxSpeakChars, QLatin1Char('a'));
        const auto clipped = ReadingController::ClipSpeakText(exact + QLatin1Char('z'));
        QVERIFY(clipped.wasCut);
        QCOMPARE(clipped.text, exact);
        view.body = exact + QLatin1Char('z');
        reading->CmdSpeakClick();
        QCOMPARE(view.messages,
            QStringList {u"朗讀文稿字數上限為 100 萬個字，部分文稿將不會完整朗讀"_s});
        QVERIFY(reading->isSpeaking());
        reading->StopSpeaking();
        QVERIFY(waitForEnd() || !voice->isSpeaking());
    }

    void pauseResumeThenStopPurgesAndGoesIdle()
    {
        view.body = u"今天天氣很好。我們一起去公園散步吧。"_s;
        reading->CmdSpeakClick();
        reading->CmdPauseClick();
        QVERIFY(voice->isPaused());
        QCOMPARE(view.pauseCaption, u"繼續"_s);
        reading->CmdPauseClick();
        QVERIFY(!voice->isPaused());
        QCOMPARE(view.tag, u"Pause"_s);
        reading->CmdPauseClick();
        QSignalSpy ended(voice.get(), &SpVoice::EndStream);
        reading->CmdSpeakClick(); // Stop
        QVERIFY(!reading->isSpeaking());
        QVERIFY(!reading->isPaused());
        QVERIFY(!voice->isPaused());
        QVERIFY(!view.pauseEnabled);
        QCOMPARE(view.pauseCaption, u"暫停"_s);
        QVERIFY(ended.size() > 0 || ended.wait(10000));
        QVERIFY(!voice->isSpeaking());
    }

    void keyboardPauseWhileIdlePausesTheVoiceUntilTheNextReading()
    {
        reading->CmdPauseClick(); // the keyboard command runs it while the button is disabled
        QVERIFY(!reading->isSpeaking());
        QVERIFY(reading->isPaused());
        QCOMPARE(view.pauseCaption, u"繼續"_s);
        view.body = u"文字"_s;
        reading->CmdSpeakClick();
        QVERIFY(reading->isSpeaking());
        QVERIFY(!reading->isPaused());
        QVERIFY(waitForEnd()); // resumed, so the reading runs to its end
    }

    void highlightFollowsTheOffsetAndItsLimits()
    {
        reading->setSpeakOffset(100);
        reading->HighlightWord(5, 2);
        QCOMPARE(view.start, 105);
        QCOMPARE(view.length, 2);
        reading->HighlightWord(40000, 2); // beyond the text box's 16-bit selection
        QCOMPARE(view.start, 105);
        reading->setPromptHover();
        reading->HighlightWord(7, 1);
        QCOMPARE(view.start, 105);
    }

    void endOfStreamWhilePausedResumesAndGoesIdle()
    {
        reading->SetPauseState(true, true);
        reading->savedSelStart() = 2;
        reading->savedSelLength() = 3;
        reading->OnEndStream();
        QVERIFY(!reading->isPaused());
        QVERIFY(!view.pauseEnabled);
        QCOMPARE(view.pauseCaption, u"暫停"_s);
        QCOMPARE(view.start, 2);
        QCOMPARE(view.length, 3);
    }
};

QTEST_GUILESS_MAIN(TestReadingController)
#include "test_ReadingController.moc"
