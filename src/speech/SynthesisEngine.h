// What a voice needs from a synthesis engine, and the data that passes
// between them. A voice submits requests into a channel of its own and takes
// back chunks of PCM with their events (sample offsets relative to the chunk);
// how and on which thread the chunks are made is the engine's business.
//
// Implementations: SpeechEngine (espeak-ng on a worker thread), NeuralEngine
// (natural voices in worker processes), EngineRouter (several engines behind
// one) and ScriptedEngine (deterministic sound and events, for tests and
// benchmarks). New voices use the default engine: unless one is set, a router
// over espeak-ng and the natural voices.
#pragma once

#include "speech/SpObjectToken.h"

#include <QList>
#include <QString>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
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

// The link between one voice (on its own thread) and the engine.
class SynthesisChannel
{
public:
    virtual ~SynthesisChannel() = default;
    virtual void submit(const SpeechRequest &request) = 0;
    // Drops every queued request and unread chunk at once.
    virtual void purge() = 0;
    virtual std::deque<SpeechChunk> take() = 0;
    // Audio handed to the sink but not heard yet, in samples at the output
    // rate; an engine may hold back while it is large.
    virtual void setSinkBacklog(qint64 samples) = 0;
    // True when nothing is queued, being made, or waiting to be taken.
    virtual bool isIdle() const = 0;
    // Waits until a chunk is ready or `ms` passed; true when one is ready.
    virtual bool waitForChunk(int ms) = 0;
    // Called (from any thread) when chunks become ready to take.
    virtual void setNotifier(std::function<void()> notifier) = 0;
};

class SynthesisEngine
{
public:
    virtual ~SynthesisEngine() = default;

    virtual bool isAvailable() const = 0;
    virtual QList<SpObjectToken> voices() const = 0;
    // Whether requests naming `voice` are this engine's to speak; by
    // default, whether voices() holds it.
    virtual bool speaks(const SpObjectToken &voice) const { return voices().contains(voice); }
    virtual std::shared_ptr<SynthesisChannel> openChannel() = 0;
    // Stops everything for the channel; no notification follows.
    virtual void closeChannel(const std::shared_ptr<SynthesisChannel> &channel) = 0;

    // The engine new voices use; setDefault(nullptr) restores the router
    // over espeak-ng and the natural voices.
    static SynthesisEngine &defaultEngine();
    static void setDefault(SynthesisEngine *engine);
};
