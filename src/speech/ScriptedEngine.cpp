#include "speech/ScriptedEngine.h"

#include "speech/EspeakPiece.h"
#include "speech/PhoneMap.h"
#include "speech/SpeechJob.h"
#include "speech/VoiceCatalogue.h"

#include <algorithm>
#include <cmath>

namespace
{

constexpr int BacklogSeconds = 3;
constexpr int PiecesPerTake = 8;

bool sounds(char32_t c)
{
    return QChar::isLetterOrNumber(c);
}

bool isIdeograph(char32_t c)
{
    return QChar::script(c) == QChar::Script_Han;
}

// One mouth after another, so every picture gets its turn.
PhoneMap::Phone phoneFor(char32_t c)
{
    static const QByteArray mnemonics[]
        = {"a", "m", "i", "u", "o", "e", "O", "f", "s", "l", "r", "t"};
    return PhoneMap::lookup(mnemonics[c % std::size(mnemonics)]);
}

void synthesize(const SpeechRequest &request, const SapiXmlParser::Run &run, int from, int to,
    const SpObjectToken &, SpeechChunk *chunk)
{
    const EspeakPiece::Text text = EspeakPiece::mapText(run, from, to);
    const int rate = run.rateAbsolute ? run.rate : std::clamp(request.rate + run.rate, -10, 10);
    const qint64 tone = ScriptedEngine::charSamples(rate, request.outputRate);
    const double gain = (request.volume / 100.0) * (run.volume / 100.0);
    const qint64 start = qint64(chunk->pcm.size());

    SpeechEvent sentence;
    sentence.kind = SpeechEvent::Sentence;
    sentence.sample = start;
    sentence.position = text.sourceAt(0);
    sentence.length = text.sourceAt(text.codePoints) - sentence.position;
    chunk->events.push_back(sentence);

    bool inWord = false;
    for (int cp = 0; cp < text.codePoints; ++cp) {
        const char32_t c = char32_t(text.wide[size_t(cp)]);
        const qint64 at = qint64(chunk->pcm.size());
        if (!sounds(c)) {
            inWord = false;
            chunk->pcm.insert(chunk->pcm.end(), size_t(tone / 2), 0);
            continue;
        }
        if (isIdeograph(c) || !inWord) {
            SpeechEvent word;
            word.kind = SpeechEvent::Word;
            word.sample = at;
            word.position = text.sourceAt(cp);
            int end = cp + 1;
            while (!isIdeograph(c) && end < text.codePoints
                && sounds(char32_t(text.wide[size_t(end)]))
                && !isIdeograph(char32_t(text.wide[size_t(end)])))
                ++end;
            word.length = text.sourceAt(end) - word.position;
            chunk->events.push_back(word);
        }
        inWord = !isIdeograph(c);
        const PhoneMap::Phone phone = phoneFor(c);
        SpeechEvent e;
        e.kind = SpeechEvent::Phoneme;
        e.sample = at;
        e.duration = int(tone * 1000 / request.outputRate);
        e.current = phone.phoneId;
        chunk->events.push_back(e);
        e.kind = SpeechEvent::Viseme;
        e.current = phone.viseme;
        chunk->events.push_back(e);
        for (qint64 i = 0; i < tone; ++i)
            chunk->pcm.push_back(int16_t(
                std::lround(8000.0 * gain * std::sin(2 * M_PI * 200.0 * i / request.outputRate))));
    }
}

class ScriptedChannel : public SynthesisChannel
{
public:
    explicit ScriptedChannel(QList<SpObjectToken> voices)
        : m_voices(std::move(voices))
    {
    }

    void submit(const SpeechRequest &request) override
    {
        m_jobs.push_back(std::make_unique<SpeechJob>(request));
        notify();
    }
    void purge() override
    {
        m_jobs.clear();
        m_chunks.clear();
    }
    std::deque<SpeechChunk> take() override
    {
        const bool made = produce();
        std::deque<SpeechChunk> out;
        out.swap(m_chunks);
        // More can be made at once; when the backlog holds it back, the
        // voice's own polling comes back for it.
        if (made && !m_jobs.empty())
            notify();
        return out;
    }
    void setSinkBacklog(qint64 samples) override { m_backlog = samples; }
    bool isIdle() const override { return m_jobs.empty() && m_chunks.empty(); }
    bool waitForChunk(int) override
    {
        produce();
        return !m_chunks.empty();
    }
    void setNotifier(std::function<void()> notifier) override { m_notifier = std::move(notifier); }
    void close()
    {
        purge();
        m_notifier = nullptr;
    }

private:
    void notify()
    {
        if (m_notifier)
            m_notifier();
    }
    // True when it made anything.
    bool produce()
    {
        const size_t before = m_chunks.size();
        qint64 made = 0;
        for (const SpeechChunk &c : m_chunks)
            made += qint64(c.pcm.size());
        for (int n = 0; n < PiecesPerTake && !m_jobs.empty(); ++n) {
            SpeechJob &job = *m_jobs.front();
            if (made + m_backlog > qint64(job.request().outputRate) * BacklogSeconds)
                break;
            SpeechChunk chunk = job.next(m_voices, synthesize);
            made += qint64(chunk.pcm.size());
            if (chunk.last)
                m_jobs.pop_front();
            m_chunks.push_back(std::move(chunk));
        }
        return m_chunks.size() > before;
    }

    QList<SpObjectToken> m_voices;
    std::deque<std::unique_ptr<SpeechJob>> m_jobs;
    std::deque<SpeechChunk> m_chunks;
    qint64 m_backlog = 0;
    std::function<void()> m_notifier;
};

} // namespace

ScriptedEngine::ScriptedEngine()
{
    m_voices = VoiceCatalogue::build({
        {QStringLiteral("Chinese (Mandarin, latin as Pinyin)"), "cmn-latn-pinyin",
            "sit/cmn-Latn-pinyin", 0},
        {QStringLiteral("Chinese (Cantonese)"), "yue", "sit/yue", 0},
        {QStringLiteral("English (America)"), "en-us", "gmw/en-US", 0},
        {QStringLiteral("German"), "de", "gmw/de", 0},
    });
}

qint64 ScriptedEngine::charSamples(int rate, int sampleRate)
{
    const double speed = EspeakPiece::wordsPerMinute(rate) / EspeakPiece::wordsPerMinute(0);
    return std::llround(CharMs * sampleRate / 1000.0 / speed);
}

std::shared_ptr<SynthesisChannel> ScriptedEngine::openChannel()
{
    return std::make_shared<ScriptedChannel>(m_voices);
}

void ScriptedEngine::closeChannel(const std::shared_ptr<SynthesisChannel> &channel)
{
    if (auto scripted = std::dynamic_pointer_cast<ScriptedChannel>(channel))
        scripted->close();
}
