#include "speech/neural/NeuralPiece.h"

#include "speech/MandarinNormalizer.h"
#include "speech/MandarinReading.h"
#include "speech/MappedText.h"
#include "speech/PhoneMap.h"
#include "speech/PronunciationList.h"

#include <QStringList>

#include <algorithm>

namespace NeuralPiece
{

namespace
{

using SyllableAligner::Unit;

// Silence between two syllables longer than this closes the mouth.
constexpr int PauseMs = 40;

bool isHan(char32_t c)
{
    return (c >= 0x3400 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF)
        || (c >= 0x20000 && c <= 0x3FFFF) || c == 0x3007;
}

bool isPauseMark(QChar c)
{
    static constexpr char16_t Marks[] = u",.;:!?，、。；：！？…";
    return QStringView(Marks).contains(c);
}

// The full-width mark a Chinese voice's lexicon knows for a pause token.
QString chineseMark(const QString &pause)
{
    if (pause == u",")
        return QStringLiteral("，");
    if (pause == u"?")
        return QStringLiteral("？");
    if (pause == u"!")
        return QStringLiteral("！");
    return QStringLiteral("。");
}

char32_t codePointAt(const QString &s, int i)
{
    if (s.at(i).isHighSurrogate() && i + 1 < s.size() && s.at(i + 1).isLowSurrogate())
        return QChar::surrogateToUcs4(s.at(i), s.at(i + 1));
    return s.at(i).unicode();
}

// One unit per word of letters and digits, one per Han character.
QList<Unit> wordUnits(const MappedText &text)
{
    QList<Unit> units;
    const QString &s = text.text;
    const int n = text.size();
    int i = 0;
    while (i < n) {
        const char32_t c = codePointAt(s, i);
        const int width = c > 0xFFFF ? 2 : 1;
        if (isHan(c)) {
            units.append(
                {text.from[i], text.to[i + width - 1] - text.from[i], Unit::Han, {}, false});
            i += width;
        } else if (s.at(i).isLetterOrNumber()) {
            int j = i + 1;
            while (j < n) {
                const QChar d = s.at(j);
                const bool joiner = (d == u'\'' || d == u'’' || d == u'-') && j + 1 < n
                    && s.at(j + 1).isLetterOrNumber();
                if (!((d.isLetterOrNumber() && !isHan(d.unicode())) || joiner))
                    break;
                j += joiner ? 2 : 1;
            }
            units.append(
                {text.from[i], text.to[j - 1] - text.from[i], Unit::Latin, s.mid(i, j - i), false});
            i = j;
        } else {
            if (isPauseMark(s.at(i)) && !units.isEmpty())
                units.back().pauseAfter = true;
            i += width;
        }
    }
    return units;
}

} // namespace

Piece prepare(const SapiXmlParser::Run &run, int from, int to, Reading reading)
{
    Piece piece;
    while (from < to && run.text.at(from).isSpace())
        ++from;
    int end = to;
    while (end > from && run.text.at(end - 1).isSpace())
        --end;
    piece.position = run.offsetAt(from);
    piece.length = run.offsetAt(end) - piece.position;
    if (from >= end)
        return piece;

    MappedText text;
    for (int k = from; k < end; ++k)
        text.appendSource(run.text.at(k), run.offsetAt(k), run.offsetAt(k + 1));
    if (!run.spell)
        PronunciationList::applyCurrent(text);

    if (reading == Reading::AsWritten) {
        piece.units = wordUnits(text);
        if (!piece.units.isEmpty())
            piece.text = text.text;
        return piece;
    }
    const QList<MandarinReading::Token> tokens = MandarinReading::read(text);
    piece.units = SyllableAligner::unitsOf(tokens);
    if (piece.units.isEmpty())
        return piece;
    if (reading == Reading::Characters) {
        piece.text = MandarinNormalizer::normalize(text).text;
        return piece;
    }
    QStringList words;
    for (const MandarinReading::Token &t : tokens) {
        switch (t.kind) {
        case MandarinReading::Token::Syllable:
            words.append(t.spoken);
            break;
        case MandarinReading::Token::Pause:
            words.append(chineseMark(t.text));
            break;
        case MandarinReading::Token::Latin:
        case MandarinReading::Token::Character:
            // The voice's lexicon may know them; if not, it skips them.
            words.append(t.text);
            break;
        }
    }
    piece.text = words.join(u' ');
    return piece;
}

std::vector<SpeechEvent> events(const Piece &piece, std::span<const int16_t> pcm, int rate)
{
    std::vector<SpeechEvent> out;
    SpeechEvent sentence;
    sentence.kind = SpeechEvent::Sentence;
    sentence.position = piece.position;
    sentence.length = piece.length;
    out.push_back(sentence);
    if (piece.units.isEmpty() || pcm.empty() || rate <= 0)
        return out;

    const QList<SyllableAligner::Span> spans = SyllableAligner::align(pcm, rate, piece.units);
    QList<SyllableAligner::MouthShape> shapes;
    const PhoneMap::Phone closed = PhoneMap::lookup(QByteArrayLiteral("_"));
    const qint64 pause = qint64(rate) * PauseMs / 1000;
    const qint64 total = qint64(pcm.size());
    int wordPosition = -1, wordLength = -1; // of the last Word event
    for (qsizetype k = 0; k < piece.units.size() && k < spans.size(); ++k) {
        const Unit &unit = piece.units[k];
        const SyllableAligner::Span span = spans[k];
        // The syllables of one spelled-out stretch (a number, a replaced
        // word) all name that stretch; it is highlighted once.
        if (unit.position != wordPosition || unit.length != wordLength) {
            SpeechEvent word;
            word.kind = SpeechEvent::Word;
            word.sample = span.start;
            word.position = unit.position;
            word.length = unit.length;
            out.push_back(word);
            wordPosition = unit.position;
            wordLength = unit.length;
        }
        shapes.append(SyllableAligner::mouthShapes(unit, span));
        const qint64 next = k + 1 < spans.size() ? spans[k + 1].start : total;
        if (next - span.end >= pause)
            shapes.append({span.end, next, closed});
    }
    for (qsizetype k = 0; k < shapes.size(); ++k) {
        const SyllableAligner::MouthShape &s = shapes[k];
        const bool hasNext = k + 1 < shapes.size();
        SpeechEvent e;
        e.kind = SpeechEvent::Phoneme;
        e.sample = s.start;
        e.duration = int((s.end - s.start) * 1000 / rate);
        e.current = s.phone.phoneId;
        e.next = hasNext ? shapes[k + 1].phone.phoneId : 0;
        out.push_back(e);
        e.kind = SpeechEvent::Viseme;
        e.current = s.phone.viseme;
        e.next = hasNext ? shapes[k + 1].phone.viseme : 0;
        out.push_back(e);
    }
    std::stable_sort(out.begin(), out.end(),
        [](const SpeechEvent &a, const SpeechEvent &b) { return a.sample < b.sample; });
    return out;
}

} // namespace NeuralPiece
