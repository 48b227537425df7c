// The process-wide synthesis engine over espeak-ng. espeak-ng is initialised
// once (synchronous output, phoneme events on) and driven by ONE worker
// thread that serves every voice a piece at a time, as PieceEngine does, and
// sets espeak's global parameters before each piece. A purge stops the piece
// being made at once.
//
// When espeak-ng cannot be initialised (no data), isAvailable() is false, the
// voice list is empty, and every request still yields its chunks with no
// audio, so a stream starts and ends silently.
#pragma once

#include "speech/PieceEngine.h"

#include <mutex>

class SpeechEngine : public PieceEngine
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

    // espeak-ng's phoneme transcription of `text` spoken by `voice`, with its
    // language-switch marks such as "(en)"; for checking how a voice reads.
    // `asWritten` hands the text to espeak-ng without the voice's reading
    // steps (for a Mandarin voice: as raw characters, or as pinyin).
    QByteArray phonemeTranscript(
        const QString &text, const SpObjectToken &voice, bool asWritten = false);

    ~SpeechEngine() override;

private:
    SpeechEngine();
    void threadStarted() override;
    void synthesize(const Piece &piece, const SpeechRequest &request, const SapiXmlParser::Run &run,
        int from, int to, const SpObjectToken &voice, SpeechChunk *chunk) override;
    // With m_espeakMutex held.
    bool loadVoice(const QByteArray &name);

    std::mutex m_espeakMutex; // espeak-ng's global state
    QByteArray m_loadedVoice;
    bool m_available = false;
    QList<SpObjectToken> m_voices;
};
