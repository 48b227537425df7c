// The process-wide synthesis engine over espeak-ng. espeak-ng is initialised
// once (synchronous output, phoneme events on) and driven by ONE worker
// thread that serves every voice: each voice owns a SpeechChannel into which
// it submits requests; the worker takes one piece of work (a sentence, a
// silence, a bookmark) at a time from the channels in turn, so two voices
// speaking at once are interleaved sentence by sentence, and it sets espeak's
// global parameters before each piece. A channel is not worked on while it
// holds more than a few seconds of unheard audio, which bounds memory however
// long the text is.
//
// When espeak-ng cannot be initialised (no data), isAvailable() is false, the
// voice list is empty, and every request still yields its chunks with no
// audio, so a stream starts and ends silently.
#pragma once

#include "speech/SapiXmlParser.h"
#include "speech/SynthesisEngine.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

class SpeechChannel;
class SpeechJob;

class SpeechEngine : public SynthesisEngine
{
public:
    static constexpr int NativeRate = 22050;

    static SpeechEngine &instance();
    // Stops the synthesis thread of the engine, if one was made, and waits
    // for it. Called before a program leaves main(): the thread uses objects
    // that the end of the program destroys. Speaking afterwards says nothing.
    static void shutdown();
    // Where espeak-ng's data is looked for; only effective before the first
    // instance() call. Empty means the library's built-in location.
    static void setDataPath(const QString &path);

    bool isAvailable() const override { return m_available; }
    QList<SpObjectToken> voices() const override { return m_voices; }
    std::shared_ptr<SynthesisChannel> openChannel() override;
    void closeChannel(const std::shared_ptr<SynthesisChannel> &channel) override;

    // espeak-ng's phoneme transcription of `text` spoken by `voice`, with its
    // language-switch marks such as "(en)"; for checking how a voice reads.
    // `asWritten` hands the text to espeak-ng without the voice's reading
    // steps (for a Mandarin voice: as raw characters, or as pinyin).
    QByteArray phonemeTranscript(
        const QString &text, const SpObjectToken &voice, bool asWritten = false);

    // Largest unheard backlog, in samples, reached by any channel so far.
    qint64 backlogHighWater() const { return m_backlogHighWater.load(); }

    ~SpeechEngine() override;

private:
    void stopWorker();
    friend class SpeechChannel;
    SpeechEngine();
    void run();
    bool runnable(const SpeechChannel &channel) const;
    // With m_espeakMutex held.
    bool loadVoice(const QByteArray &name);
    void synthesize(const SpeechRequest &request, const SapiXmlParser::Run &run, int from, int to,
        const SpObjectToken &voice, SpeechChunk *chunk, const SpeechChannel &channel,
        quint64 generation);

    mutable std::mutex m_mutex; // channels, their queues and chunks
    std::condition_variable m_wake;
    std::condition_variable m_produced;
    std::vector<std::shared_ptr<SpeechChannel>> m_channels;
    size_t m_nextChannel = 0;
    std::atomic<bool> m_stopping {false};
    std::thread m_worker;

    std::mutex m_espeakMutex; // espeak-ng's global state
    QByteArray m_loadedVoice;
    bool m_available = false;
    QList<SpObjectToken> m_voices;
    std::atomic<qint64> m_backlogHighWater {0};
};
