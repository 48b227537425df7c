#include "speech/SpeechEngine.h"

#include "speech/PhoneMap.h"
#include "audio/Resampler.h"
#include "speech/SapiXmlParser.h"
#include "speech/TextSplitter.h"
#include "speech/VoiceCatalogue.h"

#include <espeak-ng/speak_lib.h>

#include <QFileInfo>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace
{

// Pieces are kept short at the start of a stream so that the first sound
// comes quickly, then longer so that sentences keep their intonation.
constexpr int FirstPieceCap = 60;
constexpr int PieceCap = 160;
// Unheard audio a channel may hold before the worker turns to other work.
constexpr int BacklogSeconds = 3;

QString &dataPath()
{
    static QString path;
    return path;
}

struct RawEvent {
    int type = 0;
    int codePoint = 0; // 0-based index into the text handed to espeak
    int length = 0;
    qint64 sample = 0;
    QByteArray phoneme;
};

struct SynthContext {
    const std::atomic<quint64> *generation = nullptr;
    quint64 wanted = 0;
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
    if (ctx->generation->load() != ctx->wanted || *ctx->stopping)
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

bool isIdeograph(char32_t c)
{
    return (c >= 0x3400 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF)
        || (c >= 0x20000 && c <= 0x3FFFF);
}

} // namespace

struct SpeechChannel::Job {
    SpeechRequest request;
    QList<SapiXmlParser::Run> runs;
    bool parsed = false;
    int runIndex = 0;
    int cursor = 0;
    bool firstPiece = true;
    SpObjectToken currentVoice;
    bool done() const { return parsed && runIndex >= runs.size(); }
};

// ---- SpeechChannel ---------------------------------------------------------

SpeechChannel::SpeechChannel(SpeechEngine *engine)
    : m_engine(engine)
{
}

void SpeechChannel::submit(const SpeechRequest &request)
{
    auto job = std::make_shared<Job>();
    job->request = request;
    {
        std::lock_guard lock(m_engine->m_mutex);
        m_jobs.push_back(job);
    }
    m_engine->m_wake.notify_all();
}

void SpeechChannel::purge()
{
    std::lock_guard lock(m_engine->m_mutex);
    ++m_generation;
    m_jobs.clear();
    m_chunks.clear();
    m_chunkSamples = 0;
}

std::deque<SpeechChunk> SpeechChannel::take()
{
    std::deque<SpeechChunk> out;
    {
        std::lock_guard lock(m_engine->m_mutex);
        out.swap(m_chunks);
        m_chunkSamples = 0;
    }
    if (!out.empty())
        m_engine->m_wake.notify_all();
    return out;
}

void SpeechChannel::setSinkBacklog(qint64 samples)
{
    const qint64 before = m_sinkBacklog.exchange(samples);
    if (samples < before)
        m_engine->m_wake.notify_all();
}

bool SpeechChannel::isIdle() const
{
    std::lock_guard lock(m_engine->m_mutex);
    return m_jobs.empty() && m_chunks.empty() && !m_busy;
}

bool SpeechChannel::waitForChunk(int ms)
{
    std::unique_lock lock(m_engine->m_mutex);
    return m_engine->m_produced.wait_for(
        lock, std::chrono::milliseconds(std::max(ms, 0)), [this] { return !m_chunks.empty(); });
}

void SpeechChannel::setNotifier(std::function<void()> notifier)
{
    std::lock_guard lock(m_engine->m_mutex);
    m_notifier = std::move(notifier);
}

// ---- SpeechEngine ----------------------------------------------------------

void SpeechEngine::setDataPath(const QString &path)
{
    dataPath() = path;
}

SpeechEngine &SpeechEngine::instance()
{
    static SpeechEngine engine;
    return engine;
}

SpeechEngine::SpeechEngine()
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
    m_worker = std::thread([this] { run(); });
}

SpeechEngine::~SpeechEngine()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    if (m_worker.joinable())
        m_worker.join();
    if (m_available)
        espeak_Terminate();
}

double SpeechEngine::wordsPerMinute(int rate)
{
    return espeakRATE_NORMAL * std::pow(3.0, std::clamp(rate, -10, 10) / 10.0);
}

std::shared_ptr<SpeechChannel> SpeechEngine::openChannel()
{
    std::shared_ptr<SpeechChannel> channel(new SpeechChannel(this));
    std::lock_guard lock(m_mutex);
    m_channels.push_back(channel);
    return channel;
}

void SpeechEngine::closeChannel(const std::shared_ptr<SpeechChannel> &channel)
{
    if (!channel)
        return;
    std::lock_guard lock(m_mutex);
    ++channel->m_generation;
    channel->m_closed = true;
    channel->m_jobs.clear();
    channel->m_chunks.clear();
    channel->m_notifier = nullptr;
    m_channels.erase(std::remove(m_channels.begin(), m_channels.end(), channel), m_channels.end());
}

bool SpeechEngine::runnable(const SpeechChannel &channel) const
{
    if (channel.m_closed || channel.m_jobs.empty())
        return false;
    const qint64 limit = qint64(channel.m_jobs.front()->request.outputRate) * BacklogSeconds;
    return channel.m_chunkSamples + channel.m_sinkBacklog.load() < limit;
}

void SpeechEngine::run()
{
    for (;;) {
        std::shared_ptr<SpeechChannel> channel;
        std::shared_ptr<SpeechChannel::Job> job;
        quint64 generation = 0;
        {
            std::unique_lock lock(m_mutex);
            for (;;) {
                if (m_stopping)
                    return;
                const size_t n = m_channels.size();
                for (size_t k = 0; k < n; ++k) {
                    const size_t index = (m_nextChannel + k) % n;
                    if (runnable(*m_channels[index])) {
                        channel = m_channels[index];
                        m_nextChannel = index + 1;
                        break;
                    }
                }
                if (channel)
                    break;
                // Backlogs shrink as sinks play; a short timeout keeps the
                // worker from depending on every such change being signalled.
                m_wake.wait_for(lock, std::chrono::milliseconds(20));
            }
            job = channel->m_jobs.front();
            generation = channel->m_generation.load();
            channel->m_busy = true;
        }
        SpeechChunk chunk = produce(*job, channel, generation);
        std::lock_guard lock(m_mutex);
        channel->m_busy = false;
        if (channel->m_closed || channel->m_generation.load() != generation
            || channel->m_jobs.empty() || channel->m_jobs.front() != job)
            continue;
        if (chunk.last)
            channel->m_jobs.pop_front();
        channel->m_chunkSamples += qint64(chunk.pcm.size());
        channel->m_chunks.push_back(std::move(chunk));
        const qint64 backlog = channel->m_chunkSamples + channel->m_sinkBacklog.load();
        if (backlog > m_backlogHighWater.load())
            m_backlogHighWater.store(backlog);
        if (channel->m_notifier)
            channel->m_notifier();
        m_produced.notify_all();
    }
}

SpeechChunk SpeechEngine::produce(
    SpeechChannel::Job &job, const std::shared_ptr<SpeechChannel> &channel, quint64 generation)
{
    const SpeechRequest &request = job.request;
    if (!job.parsed) {
        if (!request.xml || !SapiXmlParser::parse(request.text, &job.runs))
            job.runs = SapiXmlParser::plain(request.text);
        job.parsed = true;
        job.currentVoice = request.voice;
    }
    SpeechChunk chunk;
    chunk.stream = request.stream;
    chunk.rate = request.outputRate;
    auto skipSpent = [&job] {
        while (!job.done()) {
            const SapiXmlParser::Run &run = job.runs.at(job.runIndex);
            if (run.kind != SapiXmlParser::Run::Text
                || !TextSplitter::isBlank(run.text, job.cursor, run.text.size()))
                break;
            ++job.runIndex;
            job.cursor = 0;
        }
    };
    skipSpent();
    if (!job.done()) {
        const SapiXmlParser::Run &run = job.runs.at(job.runIndex);
        if (run.kind == SapiXmlParser::Run::Silence) {
            chunk.pcm.assign(size_t(qint64(run.silenceMs) * request.outputRate / 1000), 0);
            ++job.runIndex;
        } else if (run.kind == SapiXmlParser::Run::Bookmark) {
            SpeechEvent mark;
            mark.kind = SpeechEvent::Bookmark;
            mark.bookmark = run.text;
            mark.bookmarkId = run.text.trimmed().toInt();
            chunk.events.push_back(mark);
            ++job.runIndex;
        } else {
            // Skip leading blanks so a piece never starts with nothing to say.
            while (job.cursor < run.text.size() && run.text.at(job.cursor).isSpace())
                ++job.cursor;
            const int cap = job.firstPiece ? FirstPieceCap : PieceCap;
            const int end = TextSplitter::pieceEnd(run.text, job.cursor, cap);
            synthesize(job, channel, generation, job.runIndex, job.cursor, end, &chunk);
            job.cursor = end;
            job.firstPiece = false;
        }
    }
    skipSpent();
    chunk.last = job.done();
    return chunk;
}

void SpeechEngine::synthesize(SpeechChannel::Job &job,
    const std::shared_ptr<SpeechChannel> &channel, quint64 generation, int runIndex, int from,
    int to, SpeechChunk *chunk)
{
    const SapiXmlParser::Run &run = job.runs.at(runIndex);
    const SpeechRequest &request = job.request;

    SpObjectToken voice = request.voice;
    if (!run.voiceRequired.isEmpty() || !run.voiceOptional.isEmpty()) {
        const QList<SpObjectToken> found
            = VoiceCatalogue::select(m_voices, run.voiceRequired, run.voiceOptional);
        if (!found.isEmpty())
            voice = found.first();
    }
    if (voice != job.currentVoice) {
        SpeechEvent change;
        change.kind = SpeechEvent::VoiceChange;
        change.voice = voice;
        chunk->events.push_back(change);
        job.currentVoice = voice;
    }
    if (!m_available || voice.isNull())
        return;

    // The text handed to espeak, with the source offset of each UTF-16 unit.
    QString text;
    QVector<int> map;
    text.reserve(to - from);
    for (int k = from; k < to; ++k) {
        if (run.spell && k > from && !run.text.at(k).isLowSurrogate()) {
            text += QLatin1Char(' ');
            map.append(run.offsetAt(k));
        }
        const QChar c = run.text.at(k);
        text += c.isNull() ? QChar(QLatin1Char(' ')) : c;
        map.append(run.offsetAt(k));
    }
    map.append(run.offsetAt(to));
    std::vector<wchar_t> wide;
    std::vector<int> unitOf; // UTF-16 index of each code point, plus the end
    wide.reserve(size_t(text.size()) + 1);
    for (int i = 0; i < text.size();) {
        unitOf.push_back(i);
        char32_t c = text.at(i).unicode();
        if (text.at(i).isHighSurrogate() && i + 1 < text.size()
            && text.at(i + 1).isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text.at(i), text.at(i + 1));
            i += 2;
        } else {
            if (QChar::isSurrogate(c))
                c = U' ';
            ++i;
        }
        wide.push_back(wchar_t(c));
    }
    unitOf.push_back(text.size());
    wide.push_back(0);
    const int codePoints = int(unitOf.size()) - 1;
    auto sourceAt
        = [&](int cp) { return map.at(unitOf.at(size_t(std::clamp(cp, 0, codePoints)))); };

    int rate = run.rateAbsolute ? run.rate : std::clamp(request.rate + run.rate, -10, 10);
    const SpObjectToken::EngineSettings settings = voice.engineSettings();
    int range = settings.range;
    if (run.emphasis) {
        rate = std::max(rate - 1, -10);
        range = std::min(range + 25, 100);
    }
    const double wpm = wordsPerMinute(rate);
    int espeakRate = int(std::lround(wpm));
    int wordGap = 0;
    if (espeakRate < espeakRATE_MINIMUM) {
        // espeak-ng will not go below its minimum speed; the rest of the
        // slowing comes from pauses between words (10 ms units).
        espeakRate = espeakRATE_MINIMUM;
        wordGap = int(std::lround((60000.0 / wpm - 60000.0 / espeakRATE_MINIMUM) / 10.0 * 0.27));
    }
    const int pitch = std::clamp(settings.pitch + 4 * run.pitch, 0, 100);

    SynthContext ctx;
    ctx.generation = &channel->m_generation;
    ctx.wanted = generation;
    ctx.stopping = &m_stopping;
    {
        std::lock_guard lock(m_espeakMutex);
        const QByteArray name = voice.espeakVoiceName();
        if (name != m_loadedVoice) {
            if (espeak_SetVoiceByName(name.constData()) != EE_OK)
                return;
            m_loadedVoice = name;
        }
        espeak_SetParameter(espeakRATE, espeakRate, 0);
        espeak_SetParameter(espeakPITCH, pitch, 0);
        espeak_SetParameter(espeakRANGE, range, 0);
        espeak_SetParameter(espeakWORDGAP, wordGap, 0);
        espeak_SetParameter(espeakVOLUME, 100, 0);
        t_context = &ctx;
        espeak_Synth(wide.data(), wide.size() * sizeof(wchar_t), 0, POS_CHARACTER, 0,
            espeakCHARS_WCHAR | espeakENDPAUSE, nullptr, nullptr);
        t_context = nullptr;
    }
    if (channel->m_generation.load() != generation)
        return;

    const qint64 total = qint64(ctx.pcm.size());
    std::vector<SpeechEvent> events = std::move(chunk->events);
    std::vector<const RawEvent *> words;
    std::vector<const RawEvent *> phones;
    for (const RawEvent &raw : ctx.events) {
        if (raw.type == espeakEVENT_WORD)
            words.push_back(&raw);
        else if (raw.type == espeakEVENT_PHONEME)
            phones.push_back(&raw);
    }
    size_t wordIndex = 0;
    size_t phoneIndex = 0;
    for (const RawEvent &raw : ctx.events) {
        if (raw.type == espeakEVENT_SENTENCE) {
            SpeechEvent e;
            e.kind = SpeechEvent::Sentence;
            e.sample = raw.sample;
            e.position = sourceAt(raw.codePoint);
            e.length = map.last() - e.position;
            events.push_back(e);
        } else if (raw.type == espeakEVENT_WORD) {
            const qint64 start = raw.sample;
            const qint64 end = wordIndex + 1 < words.size() ? words[wordIndex + 1]->sample : total;
            ++wordIndex;
            const int first = std::clamp(raw.codePoint, 0, codePoints);
            const int last = std::clamp(raw.codePoint + std::max(raw.length, 1), 0, codePoints);
            std::vector<int> characters;
            bool ideographs = false;
            bool blank = true;
            for (int cp = first; cp < last; ++cp) {
                const char32_t c = char32_t(wide[size_t(cp)]);
                ideographs = ideographs || isIdeograph(c);
                blank = blank && QChar::isSpace(c);
                if (QChar::isLetterOrNumber(c) || isIdeograph(c))
                    characters.push_back(cp);
            }
            // espeak reports line ends and the closing pause as words; there
            // is nothing there to highlight.
            if (blank)
                continue;
            if (ideographs && characters.size() > 1) {
                // One word per ideograph, spread over the word's sound.
                const qint64 span = std::max<qint64>(end - start, 0);
                for (size_t j = 0; j < characters.size(); ++j) {
                    SpeechEvent e;
                    e.kind = SpeechEvent::Word;
                    e.sample = start + span * qint64(j) / qint64(characters.size());
                    e.position = sourceAt(characters[j]);
                    e.length = sourceAt(characters[j] + 1) - e.position;
                    events.push_back(e);
                }
            } else {
                SpeechEvent e;
                e.kind = SpeechEvent::Word;
                e.sample = start;
                e.position = sourceAt(first);
                e.length = sourceAt(last) - e.position;
                events.push_back(e);
            }
        } else if (raw.type == espeakEVENT_PHONEME) {
            const PhoneMap::Phone phone = PhoneMap::lookup(raw.phoneme);
            const bool hasNext = phoneIndex + 1 < phones.size();
            const PhoneMap::Phone next
                = hasNext ? PhoneMap::lookup(phones[phoneIndex + 1]->phoneme) : PhoneMap::Phone {};
            const qint64 end = hasNext ? phones[phoneIndex + 1]->sample : total;
            ++phoneIndex;
            SpeechEvent e;
            e.kind = SpeechEvent::Phoneme;
            e.sample = raw.sample;
            e.duration = int(std::max<qint64>(end - raw.sample, 0) * 1000 / NativeRate);
            e.current = phone.phoneId;
            e.next = hasNext ? next.phoneId : 0;
            events.push_back(e);
            e.kind = SpeechEvent::Viseme;
            e.current = phone.viseme;
            e.next = hasNext ? next.viseme : 0;
            events.push_back(e);
        }
    }
    std::stable_sort(events.begin(), events.end(),
        [](const SpeechEvent &a, const SpeechEvent &b) { return a.sample < b.sample; });

    const double gain = (request.volume / 100.0) * (run.volume / 100.0);
    if (gain < 1.0) {
        for (int16_t &s : ctx.pcm)
            s = int16_t(std::lround(s * gain));
    }
    if (request.outputRate != NativeRate) {
        chunk->pcm
            = Resampler::convert(ctx.pcm.data(), ctx.pcm.size(), NativeRate, request.outputRate);
        for (SpeechEvent &e : events)
            e.sample = Resampler::mapPosition(e.sample, NativeRate, request.outputRate);
    } else {
        chunk->pcm = std::move(ctx.pcm);
    }
    const qint64 length = qint64(chunk->pcm.size());
    for (SpeechEvent &e : events)
        e.sample = std::clamp<qint64>(e.sample, 0, length);
    chunk->events = std::move(events);
}

QByteArray SpeechEngine::phonemeTranscript(const QString &text, const SpObjectToken &voice)
{
    if (!m_available || voice.isNull())
        return QByteArray();
    std::lock_guard lock(m_espeakMutex);
    const QByteArray name = voice.espeakVoiceName();
    if (espeak_SetVoiceByName(name.constData()) != EE_OK)
        return QByteArray();
    m_loadedVoice = name;
    char *buffer = nullptr;
    size_t size = 0;
    FILE *stream = open_memstream(&buffer, &size);
    if (!stream)
        return QByteArray();
    espeak_SetPhonemeTrace(espeakPHONEMES_SHOW, stream);
    const QByteArray utf8 = text.toUtf8();
    espeak_Synth(utf8.constData(), size_t(utf8.size()) + 1, 0, POS_CHARACTER, 0,
        espeakCHARS_UTF8 | espeakENDPAUSE, nullptr, nullptr);
    espeak_SetPhonemeTrace(0, nullptr);
    fclose(stream);
    QByteArray result(buffer, qsizetype(size));
    free(buffer);
    return result;
}
