#include "audio/AudioSink.h"

#include <QtTest>

class TestAudioSink : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void immediateCountsEverythingAsHeard()
    {
        ImmediateSink sink(16000);
        QCOMPARE(sink.sampleRate(), 16000);
        const int16_t pcm[100] = {};
        sink.write(pcm, 100);
        QCOMPARE(sink.played(), 100);
        sink.suspend();
        sink.write(pcm, 50);
        QCOMPARE(sink.written(), 150);
        QCOMPARE(sink.played(), 100); // held while paused
        sink.suspend(); // a second pause does not move the hold
        QCOMPARE(sink.played(), 100);
        sink.resume();
        QCOMPARE(sink.played(), 150);
        sink.suspend();
        sink.write(pcm, 10);
        sink.discard();
        QCOMPARE(sink.played(), 160);
        QVERIFY(sink.isSuspended());
    }

    void silentFollowsTheClock()
    {
        qint64 now = 1000;
        SilentSink sink(1000, [&now] { return now; }); // 1 sample per ms
        const int16_t pcm[500] = {};
        sink.write(pcm, 500);
        QCOMPARE(sink.played(), 0);
        now += 200;
        QCOMPARE(sink.played(), 200);
        sink.suspend();
        now += 100;
        QCOMPARE(sink.played(), 200); // the clock stops while paused
        sink.resume();
        now += 100;
        QCOMPARE(sink.played(), 300);
        now += 1000;
        QCOMPARE(sink.played(), 500); // never beyond what was written
        // Idle time after the audio ran out is not banked for the next.
        sink.write(pcm, 300);
        QCOMPARE(sink.played(), 500);
        now += 50;
        QCOMPARE(sink.played(), 550);
        // Discarding drops what is left.
        sink.discard();
        QCOMPARE(sink.played(), 800);
        sink.write(pcm, 100);
        now += 30;
        QCOMPARE(sink.played(), 830);
    }

    void factoryChoosesTheSink()
    {
        AudioSink::setFactory([] { return std::make_unique<ImmediateSink>(8000); });
        QCOMPARE(AudioSink::create()->sampleRate(), 8000);
        AudioSink::setFactory([] { return std::unique_ptr<AudioSink>(); });
        // A factory that gives nothing falls back to the default sink.
        const std::unique_ptr<AudioSink> fallback = AudioSink::create();
        QVERIFY(fallback);
        QVERIFY(fallback->sampleRate() > 0);
        AudioSink::setFactory({});
        QVERIFY(AudioSink::create());
    }
};

QTEST_GUILESS_MAIN(TestAudioSink)
#include "test_AudioSink.moc"
