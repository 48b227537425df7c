#include "speech/SyllableAligner.h"
#include "speech/SyllablePinyin.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace SyllableAligner
{

using namespace Pinyin;

namespace
{

using PhoneMap::Mouth;

PhoneMap::Phone shape(Mouth mouth, int viseme)
{
    return PhoneMap::Phone {mouth, PhoneMap::phoneIdFor(mouth), viseme, false};
}

// Letters (of an initial, a vowel or a Latin word) and their mouths; the
// viseme numbers are those espeak-ng's events carry for the same sounds.
struct LetterShape {
    const char16_t *letters;
    Mouth mouth;
    int viseme;
};
constexpr LetterShape InitialShapes[] = {
    {u"bpm", Mouth::Closed, 21},
    {u"fv", Mouth::TeethLip, 18},
    {u"dtn", Mouth::Tongue, 19},
    {u"l", Mouth::Tongue, 14},
    {u"zcs", Mouth::Teeth, 15},
    {u"rjqx", Mouth::Teeth, 16},
    {u"h", Mouth::Relaxed, 12},
    {u"gk", Mouth::Relaxed, 20},
};
constexpr LetterShape VowelShapes[] = {
    {u"a", Mouth::Wide, 2}, {u"o", Mouth::RoundMid, 8}, {u"e", Mouth::Half, 4},
    {u"iy", Mouth::Spread, 6}, {u"uvw", Mouth::RoundSmall, 7}, // v is ü
};

// The shape of `letter` in `table`, or a relaxed mouth.
template<size_t N> PhoneMap::Phone shapeOf(const LetterShape (&table)[N], QChar letter)
{
    for (const LetterShape &row : table) {
        if (QStringView(row.letters).contains(letter))
            return shape(row.mouth, row.viseme);
    }
    return shape(Mouth::Relaxed, 19);
}

PhoneMap::Phone initialShape(const QString &initial)
{
    // zh ch sh share the mouth of j q x.
    return shapeOf(InitialShapes, initial.size() == 2 ? u'j' : initial.at(0));
}

struct Part {
    PhoneMap::Phone phone;
    double weight; // its share of the span, against the other parts
};

constexpr double MainVowel = 1.0;
constexpr double Glide = 0.3;
constexpr double Coda = 0.35;

void appendPart(std::vector<Part> &parts, const PhoneMap::Phone &phone, double weight)
{
    // Two letters of one mouth are one shape.
    if (!parts.empty() && parts.back().phone.mouth == phone.mouth)
        parts.back().weight = std::max(parts.back().weight, weight);
    else
        parts.push_back({phone, weight});
}

std::vector<Part> pinyinParts(const Syllable &p)
{
    std::vector<Part> parts;
    if (!p.initial.isEmpty()) {
        const Onset onset = onsetOfInitial(p.initial);
        const bool noisy = onset == Onset::Aspirated || onset == Onset::Fricative;
        parts.push_back({initialShape(p.initial), noisy ? 0.35 : 0.2});
    }
    QString vowels = p.final;
    std::vector<Part> coda;
    if (vowels == u"m" || vowels == u"n" || vowels == u"ng") {
        // A syllabic nasal (m, n, ng, hm): the nasal is the whole final.
        coda.push_back({vowels == u"m" ? shape(Mouth::Closed, 21)
                : vowels == u"n"       ? shape(Mouth::Tongue, 19)
                                       : shape(Mouth::Relaxed, 20),
            MainVowel});
        vowels.clear();
    } else if (vowels.endsWith(u"ng")) {
        coda.push_back({shape(Mouth::Relaxed, 20), Coda});
        vowels.chop(2);
    } else if (vowels.endsWith(u'n')) {
        coda.push_back({shape(Mouth::Tongue, 19), Coda});
        vowels.chop(1);
    } else if (vowels == u"er") {
        coda.push_back({shape(Mouth::Rhotic, 13), Coda});
        vowels.chop(1);
    }
    // The main vowel is the open one; glides before and after it are short.
    qsizetype main = vowels.size() - 1;
    for (qsizetype i = vowels.size() - 1; i >= 0; --i) {
        if (vowels[i] == u'a' || vowels[i] == u'o' || vowels[i] == u'e')
            main = i;
    }
    for (qsizetype i = 0; i < vowels.size(); ++i)
        appendPart(parts, shapeOf(VowelShapes, vowels[i]), i == main ? MainVowel : Glide);
    for (const Part &part : coda)
        appendPart(parts, part.phone, part.weight);
    return parts;
}

std::vector<Part> latinParts(const QString &word)
{
    std::vector<Part> parts;
    for (QChar c : word) {
        c = c.toLower();
        if (c == u'r')
            appendPart(parts, shape(Mouth::Rhotic, 13), Glide);
        else if (QStringView(u"aeiouy").contains(c))
            appendPart(parts, shapeOf(VowelShapes, c), MainVowel);
        else if (c == u'w')
            appendPart(parts, shapeOf(VowelShapes, c), Glide);
        else if (c >= u'a' && c <= u'z')
            // c and q sound as k far more often than as the pinyin letters.
            appendPart(parts, shapeOf(InitialShapes, c == u'c' || c == u'q' ? u'k' : c), Glide);
    }
    return parts;
}

} // namespace

QList<MouthShape> mouthShapes(const Unit &unit, Span span)
{
    if (span.end <= span.start)
        return {};
    std::vector<Part> parts;
    if (unit.kind == Unit::Latin) {
        parts = latinParts(unit.reading);
    } else if (const Syllable p = parse(unit.reading); p.valid) {
        parts = pinyinParts(p);
    }
    if (parts.empty())
        parts.push_back({shape(Mouth::Relaxed, 19), MainVowel});
    double total = 0;
    for (const Part &part : parts)
        total += part.weight;
    QList<MouthShape> shapes;
    const qint64 length = span.end - span.start;
    double done = 0;
    for (const Part &part : parts) {
        const qint64 from = span.start + qint64(std::llround(double(length) * done / total));
        done += part.weight;
        const qint64 to = span.start + qint64(std::llround(double(length) * done / total));
        if (to > from)
            shapes.append({from, to, part.phone});
    }
    if (!shapes.isEmpty())
        shapes.back().end = span.end;
    return shapes;
}

} // namespace SyllableAligner
