#include "speech/SpeechJob.h"

#include "speech/TextSplitter.h"
#include "speech/VoiceCatalogue.h"

namespace
{
// Pieces are kept short at the start of a stream so that the first sound
// comes quickly, then longer so that sentences keep their intonation.
constexpr int FirstPieceCap = 60;
} // namespace

SpeechJob::SpeechJob(const SpeechRequest &request)
    : m_request(request)
{
}

void SpeechJob::skipSpent()
{
    while (!done()) {
        const SapiXmlParser::Run &run = m_runs.at(m_runIndex);
        if (run.kind != SapiXmlParser::Run::Text
            || !TextSplitter::isBlank(run.text, m_cursor, run.text.size()))
            break;
        ++m_runIndex;
        m_cursor = 0;
    }
}

SpeechChunk SpeechJob::next(const QList<SpObjectToken> &voices, const Synthesize &synthesize)
{
    if (!m_parsed) {
        // Parsed here, on the engine's side, so a long text costs the
        // caller nothing.
        m_runs = m_request.xml ? SapiXmlParser::parse(m_request.text)
                               : SapiXmlParser::plain(m_request.text);
        m_parsed = true;
        m_currentVoice = m_request.voice;
    }
    SpeechChunk chunk;
    chunk.stream = m_request.stream;
    chunk.rate = m_request.outputRate;
    skipSpent();
    if (!done()) {
        const SapiXmlParser::Run &run = m_runs.at(m_runIndex);
        if (run.kind == SapiXmlParser::Run::Silence) {
            chunk.pcm.assign(size_t(qint64(run.silenceMs) * m_request.outputRate / 1000), 0);
            ++m_runIndex;
        } else if (run.kind == SapiXmlParser::Run::Bookmark) {
            SpeechEvent mark;
            mark.kind = SpeechEvent::Bookmark;
            mark.bookmark = run.text;
            mark.bookmarkId = run.text.trimmed().toInt();
            chunk.events.push_back(mark);
            ++m_runIndex;
        } else {
            // Skip leading blanks so a piece never starts with nothing to say.
            while (m_cursor < run.text.size() && run.text.at(m_cursor).isSpace())
                ++m_cursor;
            const int cap = m_firstPiece ? FirstPieceCap : PieceCap;
            const int end = TextSplitter::pieceEnd(run.text, m_cursor, cap);
            SpObjectToken voice = m_request.voice;
            if (!run.voiceRequired.isEmpty() || !run.voiceOptional.isEmpty()) {
                const QList<SpObjectToken> found
                    = VoiceCatalogue::select(voices, run.voiceRequired, run.voiceOptional);
                if (!found.isEmpty())
                    voice = found.first();
            }
            if (voice != m_currentVoice) {
                SpeechEvent change;
                change.kind = SpeechEvent::VoiceChange;
                change.voice = voice;
                chunk.events.push_back(change);
                m_currentVoice = voice;
            }
            synthesize(m_request, run, m_cursor, end, voice, &chunk);
            m_cursor = end;
            m_firstPiece = false;
        }
    }
    skipSpent();
    chunk.last = done();
    return chunk;
}
