// One request on its way through an engine: the markup is parsed once, then
// each call to next() makes the following piece of the stream (a silence, a
// bookmark, or a stretch of text cut at a sentence or clause end), raising
// VoiceChange where markup switches voices. The text itself is turned into
// sound by the engine's own function.
#pragma once

#include "speech/SapiXmlParser.h"
#include "speech/SynthesisEngine.h"

class SpeechJob
{
public:
    // Makes the sound and events of run.text[from, to) spoken by `voice`
    // into `chunk`, whose events may already hold a VoiceChange.
    using Synthesize
        = std::function<void(const SpeechRequest &request, const SapiXmlParser::Run &run, int from,
            int to, const SpObjectToken &voice, SpeechChunk *chunk)>;

    // The longest stretch of text one piece holds (the first pieces of a
    // stream are shorter); a longer word or number is cut.
    static constexpr int PieceCap = 160;

    explicit SpeechJob(const SpeechRequest &request);

    const SpeechRequest &request() const { return m_request; }
    bool done() const { return m_parsed && m_runIndex >= m_runs.size(); }
    // The next piece; `voices` resolves markup voice queries.
    SpeechChunk next(const QList<SpObjectToken> &voices, const Synthesize &synthesize);

private:
    void skipSpent();

    SpeechRequest m_request;
    QList<SapiXmlParser::Run> m_runs;
    bool m_parsed = false;
    int m_runIndex = 0;
    int m_cursor = 0;
    bool m_firstPiece = true;
    SpObjectToken m_currentVoice;
};
