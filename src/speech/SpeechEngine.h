// The process-wide synthesis engine over espeak-ng. espeak-ng is initialised
// once (synchronous output, phoneme events on) and driven by ONE worker
// thread that serves every voice: each voice owns a SpeechChannel into which
// it submits requests; the worker takes one piece of work (a sentence, a
// silence, a bookmark) at a time from the channels in turn, so two voices
// speaking at once are interleaved sentence by sentence, and it sets espeak's
// global parameters before each piece. Results come back as chunks of PCM at
// the request's output rate with their events (sample offsets relative to the
// chunk). A channel is not worked on while it holds more than a few seconds of
// unheard audio, which bounds memory however long the text is.
//
// When espeak-ng cannot be initialised (no data), isAvailable() is false, the
// voice list is empty, and every request still yields its chunks with no
// audio, so a stream starts and ends silently.
#pragma once

#include "speech/SpObjectToken.h"

#include <QList>
#include <QString>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

struct SpeechEvent {
    enum Kind { Word, Sentence, Phoneme, Viseme, Bookmark, VoiceChange };
    Kind kind = Word;
    qint64 sample = 0; // offset in the chunk, at the chunk's rate
    int position = 0; // Word, Sentence: UTF-16 offset into the caller's text
    int length = 0; // Word, Sentence: UTF-16 length
    int duration = 0; // Phoneme, Viseme: milliseconds
    int current = 0; // Phoneme: phone id; Viseme: viseme id
    int next = 0; // the following phone or viseme id
    QString bookmark; // Bookmark
    int bookmarkId = 0; // Bookmark: the mark's numeric value, else 0
    SpObjectToken voice; // VoiceChange
};

struct SpeechChunk {
    int stream = 0;
    int rate = 0; // sample rate of pcm and of the events' samples
    std::vector<int16_t> pcm;
    std::vector<SpeechEvent> events;
    bool last = false; // the stream's final chunk
};

struct SpeechRequest {
    int stream = 0;
    QString text;
    bool xml = false;
    SpObjectToken voice;
    int rate = 0; // -10..10
    int volume = 100; // 0..100
    int outputRate = 22050;
};

class SpeechEngine;

// The link between one voice (owner thread) and the worker.
class SpeechChannel
{
public:
    void submit(const SpeechRequest &request);
    // Drops every queued request and unread chunk and stops the piece being
    // made, at once.
    void purge();
    std::deque<SpeechChunk> take();
    // Audio handed to the sink but not heard yet, in samples at the output rate.
    void setSinkBacklog(qint64 samples);
    // True when nothing is queued, being made, or waiting to be taken.
    bool isIdle() const;
    // Waits until a chunk is ready or `ms` passed; true when one is ready.
    bool waitForChunk(int ms);
    // Called from the worker (with the engine's lock held) after each chunk.
    void setNotifier(std::function<void()> notifier);

private:
    friend class SpeechEngine;
    struct Job;
    explicit SpeechChannel(SpeechEngine *engine);

    SpeechEngine *m_engine;
    std::deque<std::shared_ptr<Job>> m_jobs;
    std::deque<SpeechChunk> m_chunks;
    qint64 m_chunkSamples = 0;
    std::atomic<qint64> m_sinkBacklog {0};
    std::atomic<quint64> m_generation {0};
    std::function<void()> m_notifier;
    bool m_busy = false; // the worker is making a piece for this channel
    bool m_closed = false;
};

class SpeechEngine
{
public:
    static constexpr int NativeRate = 22050;

    static SpeechEngine &instance();
    // Where espeak-ng's data is looked for; only effective before the first
    // instance() call. Empty means the library's built-in location.
    static void setDataPath(const QString &path);

    bool isAvailable() const { return m_available; }
    QList<SpObjectToken> voices() const { return m_voices; }

    std::shared_ptr<SpeechChannel> openChannel();
    void closeChannel(const std::shared_ptr<SpeechChannel> &channel);

    // espeak-ng's phoneme transcription of `text` spoken by `voice`, with its
    // language-switch marks such as "(en)"; for checking how a voice reads.
    QByteArray phonemeTranscript(const QString &text, const SpObjectToken &voice);

    // Words per minute for a rate step: 175 at 0, about 3x faster at +10 and
    // 3x slower at -10.
    static double wordsPerMinute(int rate);
    // Largest unheard backlog, in samples, reached by any channel so far.
    qint64 backlogHighWater() const { return m_backlogHighWater.load(); }

    ~SpeechEngine();

private:
    friend class SpeechChannel;
    SpeechEngine();
    void run();
    bool runnable(const SpeechChannel &channel) const;
    SpeechChunk produce(
        SpeechChannel::Job &job, const std::shared_ptr<SpeechChannel> &channel, quint64 generation);
    void synthesize(SpeechChannel::Job &job, const std::shared_ptr<SpeechChannel> &channel,
        quint64 generation, int runIndex, int from, int to, SpeechChunk *chunk);

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
