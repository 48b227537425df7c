// One voice object, living on the GUI thread: it takes texts to speak, hands
// them to the shared synthesis engine, plays the audio through an AudioSink
// (the default device, or a WAV file set as AudioOutputStream) and raises the
// speech events on its own thread, each when its audio starts to be heard.
//
// Streams: every Speak of a non-empty text is one stream with the next stream
// number; it raises StartStream, then its Word/Phoneme/... events, then
// EndStream. A purge (flag 2) stops at once everything queued or playing; each
// purged stream still raises EndStream (preceded by StartStream if it had not
// started yet), delivered from the event loop, never inside Speak itself.
// Speaking an empty text makes no stream and returns 0; with flag 2 it only
// stops the voice.
//
// Events raised: StartStream, EndStream, Word (UTF-16 offsets into the text
// given to Speak; one per ideograph), Sentence, Phoneme (phone ids for the
// mouth-picture table, see PhoneMap.h), Viseme, Bookmark and VoiceChange
// (from markup). AudioLevel and EnginePrivate are never raised.
//
// When the engine could not be initialised, GetVoices is empty and each
// stream starts and ends without sound. The engine is passed in (tests use a
// scripted one); by default it is espeak-ng.
#pragma once

#include "speech/SpObjectToken.h"
#include "speech/SpeechTypes.h"
#include "speech/SynthesisEngine.h"

#include <QObject>
#include <QTimer>
#include <QVariant>
#include <atomic>
#include <deque>
#include <memory>

class AudioSink;
class SpFileStream;

class SpVoice : public QObject
{
    Q_OBJECT
public:
    // `engine` nullptr: the default engine (espeak-ng unless tests set another).
    explicit SpVoice(QObject *parent = nullptr, SynthesisEngine *engine = nullptr);
    ~SpVoice() override;

    // Returns the stream number (0 when no stream was made). With
    // SVSFlagsAsync it returns at once, otherwise when the stream has ended,
    // delivering events meanwhile.
    int Speak(const QString &text, int flags = SVSFDefault);
    void Pause();
    void Resume(); // harmless when not paused

    int Rate() const { return m_rate; }
    void setRate(int rate); // clamped to -10..10; applies to the following Speak
    int Volume() const { return m_volume; }
    void setVolume(int volume); // clamped to 0..100; applies to the following Speak
    SpObjectToken Voice() const { return m_voice; }
    void setVoice(const SpObjectToken &token);
    // Installed voices meeting the attribute queries, in catalogue order.
    QList<SpObjectToken> GetVoices(
        const QString &required = QString(), const QString &optional = QString()) const;

    SpFileStream *AudioOutputStream() const { return m_output; }
    // A stream to write into instead of the device; nullptr = default device.
    // The stream must stay alive until the voice has finished with it.
    void setAudioOutputStream(SpFileStream *stream);
    // Kept for callers; the output always follows the file's own format.
    bool AllowAudioOutputFormatChangesOnNextSet() const { return m_allowFormatChanges; }
    void setAllowAudioOutputFormatChangesOnNextSet(bool allow) { m_allowFormatChanges = allow; }

    // True when every stream has ended (milliseconds < 0: wait without limit).
    bool WaitUntilDone(int milliseconds);
    bool isSpeaking() const;
    // False when the engine could not start (no voices, streams stay silent).
    bool isEngineAvailable() const { return m_engine.isAvailable(); }
    bool isPaused() const { return m_paused; }

Q_SIGNALS:
    void StartStream(int streamNumber, qint64 streamPosition);
    void EndStream(int streamNumber, qint64 streamPosition);
    void Word(int streamNumber, qint64 streamPosition, int characterPosition, int length);
    void Phoneme(int streamNumber, qint64 streamPosition, int duration, short nextPhoneId,
        int feature, short currentPhoneId);
    void Viseme(int streamNumber, qint64 streamPosition, int duration, int nextVisemeId,
        int feature, int currentVisemeId);
    void VoiceChange(int streamNumber, qint64 streamPosition, const SpObjectToken &voice);
    void Sentence(int streamNumber, qint64 streamPosition, int characterPosition, int length);
    void Bookmark(int streamNumber, qint64 streamPosition, const QString &bookmark, int bookmarkId);
    void AudioLevel(int streamNumber, qint64 streamPosition, int audioLevel);
    void EnginePrivate(int streamNumber, qint64 streamPosition, const QVariant &engineData);

private:
    // An event waiting for its audio to be heard. `at` is a position on the
    // voice's timeline of samples written to its sinks; -1 means at once.
    struct Pending {
        enum Type { Start, End, Event };
        Type type = Event;
        int stream = 0;
        qint64 at = 0;
        qint64 streamPosition = 0; // bytes into the stream
        SpeechEvent event;
    };
    struct OpenStream {
        int number = 0;
        bool startQueued = false;
        bool started = false;
        qint64 samples = 0; // audio of this stream written so far
    };

    void poll();
    void writeChunk(SpeechChunk &chunk);
    void dispatchDue();
    void purge();
    void ensureSink();
    void fallBackToSilence();
    void replaceSink(std::unique_ptr<AudioSink> sink, SpFileStream *file);
    void dispatch(const Pending &item);
    qint64 playedTimeline() const;
    qint64 writtenTimeline() const;
    void requestPoll();

    SynthesisEngine &m_engine;
    std::shared_ptr<SynthesisChannel> m_channel;
    std::unique_ptr<AudioSink> m_sink;
    SpFileStream *m_sinkFile = nullptr; // file the current sink writes, or nullptr
    SpFileStream *m_output = nullptr;
    qint64 m_sinkBase = 0; // samples written to earlier sinks
    std::deque<Pending> m_pending;
    std::deque<SpeechChunk> m_chunks; // made, not yet handed to the sink
    std::deque<OpenStream> m_open;
    QTimer m_timer;
    SpObjectToken m_voice;
    int m_rate = 0;
    int m_volume = 100;
    int m_nextStream = 1;
    bool m_paused = false;
    bool m_allowFormatChanges = true;
    bool m_destroying = false;
    std::shared_ptr<std::atomic<bool>> m_pollRequested;
};
