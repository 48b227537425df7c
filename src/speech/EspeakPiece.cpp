#include "speech/EspeakPiece.h"

#include "speech/MandarinReading.h"
#include "speech/PhoneMap.h"
#include "speech/PronunciationList.h"

#include <espeak-ng/speak_lib.h>

#include <algorithm>
#include <cmath>

namespace EspeakPiece
{

namespace
{
bool isIdeograph(char32_t c)
{
    return (c >= 0x3400 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF)
        || (c >= 0x20000 && c <= 0x3FFFF);
}
} // namespace

int Text::sourceAt(int cp) const
{
    return map.at(unitOf.at(size_t(std::clamp(cp, 0, codePoints))));
}

Text mapText(const SapiXmlParser::Run &run, int from, int to)
{
    Text out;
    QString text;
    text.reserve(to - from);
    for (int k = from; k < to; ++k) {
        // Spelled text: a space between letters makes espeak name each one.
        if (run.spell && k > from && !run.text.at(k).isLowSurrogate()) {
            text += QLatin1Char(' ');
            out.map.append(run.offsetAt(k));
        }
        const QChar c = run.text.at(k);
        text += c.isNull() ? QChar(QLatin1Char(' ')) : c;
        out.map.append(run.offsetAt(k));
    }
    out.map.append(run.offsetAt(to));
    // The user's own pronunciations; spelled text is read letter by letter.
    if (!run.spell)
        PronunciationList::applyCurrent(text, out.map);
    out.wide.reserve(size_t(text.size()) + 1);
    for (int i = 0; i < text.size();) {
        out.unitOf.push_back(i);
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
        out.wide.push_back(wchar_t(c));
    }
    out.unitOf.push_back(int(text.size()));
    out.wide.push_back(0);
    out.codePoints = int(out.unitOf.size()) - 1;
    return out;
}

namespace
{

// Builds the text of one segment unit by unit, each unit with its source offset.
class TextBuilder
{
public:
    bool isEmpty() const { return m_text.isEmpty(); }
    void append(const QString &s, int from, int to)
    {
        // A blank after each token, standing for the token's end, so a Word
        // event's length reaches the end of the characters it names.
        for (QChar c : s) {
            m_text += c;
            m_map.append(from);
        }
        m_text += QLatin1Char(' ');
        m_map.append(to);
        m_end = to;
    }
    Text take()
    {
        Text out;
        out.map = m_map;
        out.map.append(m_end);
        for (int i = 0; i < m_text.size();) {
            out.unitOf.push_back(i);
            const QChar c = m_text.at(i);
            if (c.isHighSurrogate() && i + 1 < m_text.size() && m_text.at(i + 1).isLowSurrogate()) {
                out.wide.push_back(wchar_t(QChar::surrogateToUcs4(c, m_text.at(i + 1))));
                i += 2;
            } else {
                out.wide.push_back(c.isSurrogate() ? L' ' : wchar_t(c.unicode()));
                ++i;
            }
        }
        out.unitOf.push_back(int(m_text.size()));
        out.wide.push_back(0);
        out.codePoints = int(out.unitOf.size()) - 1;
        *this = TextBuilder();
        return out;
    }

private:
    QString m_text;
    QVector<int> m_map;
    int m_end = 0;
};

// The caller's text of a run, before any step rewrites it.
MappedText sourceOf(const SapiXmlParser::Run &run, int from, int to)
{
    MappedText text;
    for (int k = from; k < to; ++k)
        text.appendSource(run.text.at(k), run.offsetAt(k), run.offsetAt(k + 1));
    return text;
}

std::vector<Segment> mandarinSegments(const MappedText &text, const SpObjectToken &voice)
{
    const QByteArray mandarin = voice.espeakVoiceName();
    const QByteArray variant = voice.engineSettings().variant;
    const QByteArray english = variant.isEmpty() ? QByteArray("en-us") : "en-us+" + variant;
    std::vector<Segment> out;
    TextBuilder builder;
    QByteArray current = mandarin;
    auto flush = [&] {
        if (!builder.isEmpty())
            out.push_back({builder.take(), current});
    };
    for (const MandarinReading::Token &t : MandarinReading::read(text)) {
        const QByteArray wanted = t.kind == MandarinReading::Token::Latin ? english
            : t.kind == MandarinReading::Token::Pause                     ? current
                                                                          : mandarin;
        if (wanted != current) {
            flush();
            current = wanted;
        }
        builder.append(t.spoken, t.from, t.to);
    }
    flush();
    return out;
}

} // namespace

std::vector<Segment> segments(
    const SapiXmlParser::Run &run, int from, int to, const SpObjectToken &voice)
{
    if (!run.spell && MandarinReading::isMandarinVoice(voice.engineSettings().espeakVoice)) {
        MappedText text = sourceOf(run, from, to);
        PronunciationList::applyCurrent(text);
        std::vector<Segment> out = mandarinSegments(text, voice);
        if (!out.empty())
            return out;
    }
    return {{mapText(run, from, to), voice.espeakVoiceName()}};
}

double wordsPerMinute(int rate)
{
    return espeakRATE_NORMAL * std::pow(3.0, std::clamp(rate, -10, 10) / 10.0);
}

Parameters parameters(
    const SpeechRequest &request, const SapiXmlParser::Run &run, const SpObjectToken &voice)
{
    Parameters p;
    int rate = run.rateAbsolute ? run.rate : std::clamp(request.rate + run.rate, -10, 10);
    const SpObjectToken::EngineSettings settings = voice.engineSettings();
    p.range = settings.range;
    if (run.emphasis) {
        rate = std::max(rate - 1, -10);
        p.range = std::min(p.range + 25, 100);
    }
    const double wpm = wordsPerMinute(rate);
    p.rate = int(std::lround(wpm));
    if (p.rate < espeakRATE_MINIMUM) {
        // espeak-ng will not go below its minimum speed; the rest of the
        // slowing comes from pauses between words (10 ms units).
        p.rate = espeakRATE_MINIMUM;
        p.wordGap = int(std::lround((60000.0 / wpm - 60000.0 / espeakRATE_MINIMUM) / 10.0 * 0.27));
    }
    p.pitch = std::clamp(settings.pitch + 4 * run.pitch, 0, 100);
    return p;
}

namespace
{

void addWord(std::vector<SpeechEvent> &events, const RawEvent &raw, qint64 end, const Text &text)
{
    const int first = std::clamp(raw.codePoint, 0, text.codePoints);
    const int last = std::clamp(raw.codePoint + std::max(raw.length, 1), 0, text.codePoints);
    std::vector<int> characters;
    bool ideographs = false;
    bool blank = true;
    for (int cp = first; cp < last; ++cp) {
        const char32_t c = char32_t(text.wide[size_t(cp)]);
        ideographs = ideographs || isIdeograph(c);
        blank = blank && QChar::isSpace(c);
        if (QChar::isLetterOrNumber(c) || isIdeograph(c))
            characters.push_back(cp);
    }
    // espeak reports line ends and the closing pause as words; there is
    // nothing there to highlight.
    if (blank)
        return;
    if (ideographs && characters.size() > 1) {
        // One word per ideograph, spread over the word's sound.
        const qint64 span = std::max<qint64>(end - raw.sample, 0);
        for (size_t j = 0; j < characters.size(); ++j) {
            SpeechEvent e;
            e.kind = SpeechEvent::Word;
            e.sample = raw.sample + span * qint64(j) / qint64(characters.size());
            e.position = text.sourceAt(characters[j]);
            e.length = text.sourceAt(characters[j] + 1) - e.position;
            events.push_back(e);
        }
        return;
    }
    SpeechEvent e;
    e.kind = SpeechEvent::Word;
    e.sample = raw.sample;
    e.position = text.sourceAt(first);
    e.length = text.sourceAt(last) - e.position;
    events.push_back(e);
}

} // namespace

std::vector<SpeechEvent> translate(
    const std::vector<RawEvent> &raw, const Text &text, qint64 total, int rate)
{
    std::vector<SpeechEvent> events;
    std::vector<const RawEvent *> words;
    std::vector<const RawEvent *> phones;
    for (const RawEvent &e : raw) {
        if (e.type == espeakEVENT_WORD)
            words.push_back(&e);
        else if (e.type == espeakEVENT_PHONEME)
            phones.push_back(&e);
    }
    size_t wordIndex = 0;
    size_t phoneIndex = 0;
    for (const RawEvent &r : raw) {
        if (r.type == espeakEVENT_SENTENCE) {
            SpeechEvent e;
            e.kind = SpeechEvent::Sentence;
            e.sample = r.sample;
            e.position = text.sourceAt(r.codePoint);
            e.length = text.map.last() - e.position;
            events.push_back(e);
        } else if (r.type == espeakEVENT_WORD) {
            ++wordIndex;
            addWord(events, r, wordIndex < words.size() ? words[wordIndex]->sample : total, text);
        } else if (r.type == espeakEVENT_PHONEME) {
            const PhoneMap::Phone phone = PhoneMap::lookup(r.phoneme);
            const bool hasNext = phoneIndex + 1 < phones.size();
            const PhoneMap::Phone next
                = hasNext ? PhoneMap::lookup(phones[phoneIndex + 1]->phoneme) : PhoneMap::Phone {};
            const qint64 end = hasNext ? phones[phoneIndex + 1]->sample : total;
            ++phoneIndex;
            SpeechEvent e;
            e.kind = SpeechEvent::Phoneme;
            e.sample = r.sample;
            e.duration = int(std::max<qint64>(end - r.sample, 0) * 1000 / rate);
            e.current = phone.phoneId;
            e.next = hasNext ? next.phoneId : 0;
            events.push_back(e);
            e.kind = SpeechEvent::Viseme;
            e.current = phone.viseme;
            e.next = hasNext ? next.viseme : 0;
            events.push_back(e);
        }
    }
    // The syllables of one spelled-out stretch (3.5% read as six syllables)
    // all name that stretch; it is highlighted once.
    const SpeechEvent *lastWord = nullptr;
    size_t kept = 0;
    for (size_t k = 0; k < events.size(); ++k) {
        const SpeechEvent &e = events[k];
        const bool repeat = e.kind == SpeechEvent::Word && lastWord
            && e.position == lastWord->position && e.length == lastWord->length;
        if (repeat)
            continue;
        if (kept != k)
            events[kept] = std::move(events[k]);
        if (events[kept].kind == SpeechEvent::Word)
            lastWord = &events[kept];
        ++kept;
    }
    events.resize(kept);
    std::stable_sort(events.begin(), events.end(),
        [](const SpeechEvent &a, const SpeechEvent &b) { return a.sample < b.sample; });
    return events;
}

} // namespace EspeakPiece
