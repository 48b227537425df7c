#include "speech/SyllablePinyin.h"

#include <QStringList>
#include <QStringView>

#include <algorithm>

namespace SyllableAligner::Pinyin
{

bool hasClosure(Onset onset)
{
    return onset == Onset::Stop || onset == Onset::Aspirated || onset == Onset::Affricate;
}

Syllable parse(const QString &reading)
{
    Syllable p;
    QString s = reading.toLower();
    s.replace(u'ü', u'v');
    if (!s.isEmpty() && s.back().isDigit()) {
        p.tone = s.back().digitValue();
        s.chop(1);
    }
    if (s.isEmpty()
        || !std::all_of(s.cbegin(), s.cend(), [](QChar c) { return c >= u'a' && c <= u'z'; }))
        return p;
    static const QStringList initials
        = QStringLiteral("zh ch sh b p m f d t n l g k h j q x r z c s").split(u' ');
    for (const QString &initial : initials) {
        // "m", "n" and "ng" alone are syllabic nasals, not initials.
        if (s.startsWith(initial) && s.size() > initial.size() && s != u"ng") {
            p.initial = initial;
            break;
        }
    }
    QString final = s.mid(p.initial.size());
    if (final.startsWith(u'y')) {
        final.remove(0, 1);
        if (final.startsWith(u'u'))
            final[0] = u'v';
        else if (!final.startsWith(u'i'))
            final.prepend(u'i');
    } else if (final.startsWith(u'w')) {
        final.remove(0, 1);
        if (!final.startsWith(u'u'))
            final.prepend(u'u');
    }
    // After j, q and x a written u is ü.
    if ((p.initial == u"j" || p.initial == u"q" || p.initial == u"x") && final.startsWith(u'u'))
        final[0] = u'v';
    p.final = final;
    p.valid = !final.isEmpty() || !p.initial.isEmpty();
    return p;
}

Onset onsetOfLetter(QChar letter)
{
    const QChar c = letter.toLower();
    if (QStringView(u"mnlr").contains(c))
        return Onset::Sonorant;
    if (QStringView(u"bdg").contains(c))
        return Onset::Stop;
    if (QStringView(u"ptkcq").contains(c))
        return Onset::Aspirated;
    if (QStringView(u"jz").contains(c))
        return Onset::Affricate;
    if (QStringView(u"fvsxh").contains(c))
        return Onset::Fricative;
    return Onset::Vowel;
}

Onset onsetOfInitial(const QString &initial)
{
    if (initial.isEmpty())
        return Onset::Vowel;
    if (initial == u"ch")
        return Onset::Aspirated;
    if (initial == u"zh")
        return Onset::Affricate;
    if (initial == u"sh")
        return Onset::Fricative;
    return onsetOfLetter(initial.at(0));
}

bool isLatinVowel(QChar c, bool wordStart)
{
    c = c.toLower();
    return QStringView(u"aeiou").contains(c) || (c == u'y' && !wordStart);
}

} // namespace SyllableAligner::Pinyin
