#include "speech/SpeechEngine.h"

#include "audio/Resampler.h"
#include "speech/EspeakPiece.h"
#include "speech/MandarinLexicon.h"
#include "speech/VoiceCatalogue.h"
#include "system/Log.h"

#include <espeak-ng/speak_lib.h>

#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace
{

// Unheard audio a channel may hold before the worker turns to other work.
constexpr int BacklogSeconds = 3;

QString &dataPath()
{
    static QString path;
    return path;
}

using EspeakPiece::RawEvent;

struct SynthContext {
    const PieceEngine::Piece *piece = nullptr;
    const std::atomic<bool> *stopping = nullptr;
    std::vector<int16_t> pcm;
    std::vector<RawEvent> events;
};

// Only the worker thread synthesises for voices; other callers leave it null.
thread_local SynthContext *t_context = nullptr;

int synthCallback(short *wav, int count, espeak_EVENT *events)
{
    SynthContext *ctx = t_context;
    if (!ctx)
        return 0;
    if (ctx->piece->overtaken() || *ctx->stopping)
        return 1; // purged: stop synthesising this piece at once
    if (wav && count > 0)
        ctx->pcm.insert(ctx->pcm.end(), wav, wav + count);
    for (espeak_EVENT *e = events; e && e->type != espeakEVENT_LIST_TERMINATED; ++e) {
        RawEvent raw;
        raw.type = e->type;
        raw.codePoint = e->text_position - 1;
        raw.length = e->length;
        raw.sample = e->sample;
        if (e->type == espeakEVENT_PHONEME)
            raw.phoneme = QByteArray(e->id.string, int(strnlen(e->id.string, 8)));
        if (e->type == espeakEVENT_WORD || e->type == espeakEVENT_SENTENCE
            || e->type == espeakEVENT_PHONEME)
            ctx->events.push_back(raw);
    }
    return 0;
}

} // namespace

// ---- SpeechEngine ----------------------------------------------------------

void SpeechEngine::setDataPath(const QString &path)
{
    dataPath() = path;
}

namespace
{
std::atomic<SpeechEngine *> made {nullptr};
}

SpeechEngine &SpeechEngine::instance()
{
    static SpeechEngine engine;
    made = &engine;
    return engine;
}

void SpeechEngine::shutdown()
{
    if (SpeechEngine *engine = made.load())
        engine->stopThread();
}

SpeechEngine::SpeechEngine()
    : PieceEngine(BacklogSeconds)
{
    const QByteArray path = dataPath().toLocal8Bit();
    // espeak-ng quietly falls back to its built-in location when the given
    // folder is unusable; a folder we were told to use must really hold data.
    const bool pathUsable
        = path.isEmpty() || QFileInfo::exists(dataPath() + QStringLiteral("/phontab"));
    const int rate = pathUsable ? espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0,
                         path.isEmpty() ? nullptr : path.constData(),
                         espeakINITIALIZE_PHONEME_EVENTS | espeakINITIALIZE_DONT_EXIT)
                                : -1;
    m_available = rate == NativeRate;
    if (!m_available)
        qCWarning(lcSpeech).noquote()
            << "espeak-ng could not start; its data was looked for in"
            << (path.isEmpty() ? QStringLiteral("the built-in place") : dataPath());
    if (m_available) {
        espeak_SetSynthCallback(synthCallback);
        QList<VoiceCatalogue::EngineVoice> list;
        const espeak_VOICE **voices = espeak_ListVoices(nullptr);
        for (int i = 0; voices && voices[i]; ++i) {
            const espeak_VOICE *v = voices[i];
            VoiceCatalogue::EngineVoice entry;
            entry.name = QString::fromUtf8(v->name);
            // languages: a priority byte, then the tag, repeated.
            entry.language = v->languages ? QByteArray(v->languages + 1) : QByteArray();
            entry.identifier = QByteArray(v->identifier);
            entry.gender = v->gender;
            list.append(entry);
        }
        m_voices = VoiceCatalogue::build(list);
    }
    startThread();
}

SpeechEngine::~SpeechEngine()
{
    stopThread();
    if (m_available)
        espeak_Terminate();
}

void SpeechEngine::threadStarted()
{
    // The Mandarin lexicon is read here, at start-up, so that the first
    // Mandarin reading does not wait for it.
    if (m_available)
        MandarinLexicon::shared();
}

bool SpeechEngine::loadVoice(const QByteArray &name)
{
    if (name == m_loadedVoice)
        return true;
    if (espeak_SetVoiceByName(name.constData()) != EE_OK) {
        qCWarning(lcSpeech) << "espeak-ng cannot load voice" << name;
        m_loadedVoice.clear();
        return false;
    }
    m_loadedVoice = name;
    return true;
}

void SpeechEngine::synthesize(const Piece &piece, const SpeechRequest &request,
    const SapiXmlParser::Run &run, int from, int to, const SpObjectToken &voice, SpeechChunk *chunk)
{
    if (!m_available || voice.isNull())
        return;
    const std::vector<EspeakPiece::Segment> segments = EspeakPiece::segments(run, from, to, voice);
    const EspeakPiece::Parameters p = EspeakPiece::parameters(request, run, voice);

    std::vector<int16_t> pcm;
    std::vector<SpeechEvent> events = std::move(chunk->events);
    {
        std::lock_guard lock(m_espeakMutex);
        for (size_t s = 0; s < segments.size(); ++s) {
            const EspeakPiece::Segment &segment = segments[s];
            if (!loadVoice(segment.voice))
                continue;
            espeak_SetParameter(espeakRATE, p.rate, 0);
            espeak_SetParameter(espeakPITCH, p.pitch, 0);
            espeak_SetParameter(espeakRANGE, p.range, 0);
            espeak_SetParameter(espeakWORDGAP, p.wordGap, 0);
            espeak_SetParameter(espeakVOLUME, 100, 0);
            SynthContext ctx;
            ctx.piece = &piece;
            ctx.stopping = &stopping();
            t_context = &ctx;
            // Only the piece's last segment ends in a pause; the others run on.
            const unsigned flags
                = espeakCHARS_WCHAR | (s + 1 == segments.size() ? espeakENDPAUSE : 0);
            espeak_Synth(segment.text.wide.data(), segment.text.wide.size() * sizeof(wchar_t), 0,
                POS_CHARACTER, 0, flags, nullptr, nullptr);
            t_context = nullptr;
            if (piece.overtaken())
                return;
            const qint64 offset = qint64(pcm.size());
            for (SpeechEvent &e : EspeakPiece::translate(
                     ctx.events, segment.text, qint64(ctx.pcm.size()), NativeRate)) {
                e.sample += offset;
                events.push_back(std::move(e));
            }
            pcm.insert(pcm.end(), ctx.pcm.begin(), ctx.pcm.end());
        }
    }

    const double gain = (request.volume / 100.0) * (run.volume / 100.0);
    if (gain < 1.0) {
        for (int16_t &s : pcm)
            s = int16_t(std::lround(s * gain));
    }
    if (request.outputRate != NativeRate) {
        chunk->pcm = Resampler::convert(pcm.data(), pcm.size(), NativeRate, request.outputRate);
        for (SpeechEvent &e : events)
            e.sample = Resampler::mapPosition(e.sample, NativeRate, request.outputRate);
    } else {
        chunk->pcm = std::move(pcm);
    }
    const qint64 length = qint64(chunk->pcm.size());
    for (SpeechEvent &e : events)
        e.sample = std::clamp<qint64>(e.sample, 0, length);
    chunk->events = std::move(events);
}

QByteArray SpeechEngine::phonemeTranscript(
    const QString &text, const SpObjectToken &voice, bool asWritten)
{
    if (!m_available || voice.isNull() || text.isEmpty())
        return QByteArray();
    const SapiXmlParser::Run run = SapiXmlParser::plain(text).first();
    const std::vector<EspeakPiece::Segment> segments = asWritten
        ? std::vector<EspeakPiece::Segment> {{EspeakPiece::mapText(run, 0, int(text.size())),
            voice.espeakVoiceName()}}
        : EspeakPiece::segments(run, 0, int(text.size()), voice);
    std::lock_guard lock(m_espeakMutex);
    char *buffer = nullptr;
    size_t size = 0;
    FILE *stream = open_memstream(&buffer, &size);
    if (!stream)
        return QByteArray();
    const QByteArray own = voice.espeakVoiceName();
    for (const EspeakPiece::Segment &segment : segments) {
        if (!loadVoice(segment.voice))
            continue;
        // Segments in another voice are marked the way espeak-ng marks its
        // own language switches.
        const QByteArray language = segment.voice.left(segment.voice.indexOf('-'));
        if (segment.voice != own)
            std::fprintf(stream, "(%s)", language.constData());
        espeak_SetPhonemeTrace(espeakPHONEMES_SHOW, stream);
        espeak_Synth(segment.text.wide.data(), segment.text.wide.size() * sizeof(wchar_t), 0,
            POS_CHARACTER, 0, espeakCHARS_WCHAR | espeakENDPAUSE, nullptr, nullptr);
        espeak_SetPhonemeTrace(0, nullptr);
    }
    fclose(stream);
    QByteArray result(buffer, qsizetype(size));
    free(buffer);
    return result;
}
