#include "document/PlainChapters.h"

#include <QRegularExpression>

#include <array>
#include <string_view>

namespace
{

// Longer lines are prose even when they begin like a heading.
constexpr qsizetype MaxHeadingLength = 40;

bool isLineEnd(QChar c)
{
    return c == u'\n' || c == u'\r' || c == QChar(0x2028) || c == QChar(0x2029);
}

bool isOneOf(QChar c, QStringView set)
{
    return set.contains(c);
}

bool isNumberChar(QChar c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'０' && c <= u'９')
        || isOneOf(c, u"零〇一二兩两三四五六七八九十百千萬万廿卅壹貳贰參叁肆伍陸陆柒捌玖拾佰仟");
}

// Punctuation that ends or splits a sentence: a line that holds it after
// the number is the start of prose.
bool hasSentencePunctuation(QStringView s)
{
    for (const QChar c : s)
        if (isOneOf(c, u"。，！？；"))
            return true;
    return false;
}

// What may stand between a chapter's number and its title.
bool isSeparator(QChar c)
{
    return isOneOf(c, u".:;)]-–—·、．：）】");
}

// 第 + a number in Chinese or Arabic numerals + 章, 回, 節 or 卷, alone or
// with a title set apart by a space or a colon.
bool isChineseHeading(QStringView line)
{
    if (!line.startsWith(u'第'))
        return false;
    qsizetype i = 1;
    while (i < line.size() && isNumberChar(line[i]))
        ++i;
    if (i == 1 || i >= line.size() || !isOneOf(line[i], u"章回節节卷"))
        return false;
    const QStringView rest = line.sliced(i + 1);
    if (rest.isEmpty())
        return true;
    return !hasSentencePunctuation(rest) && (rest[0].isSpace() || isSeparator(rest[0]));
}

bool isNumberWord(QStringView word)
{
    static constexpr std::array<std::u16string_view, 28> Words = {u"one", u"two", u"three", u"four",
        u"five", u"six", u"seven", u"eight", u"nine", u"ten", u"eleven", u"twelve", u"thirteen",
        u"fourteen", u"fifteen", u"sixteen", u"seventeen", u"eighteen", u"nineteen", u"twenty",
        u"thirty", u"forty", u"fifty", u"sixty", u"seventy", u"eighty", u"ninety", u"hundred"};
    for (const std::u16string_view w : Words)
        if (word.compare(QStringView(w.data(), qsizetype(w.size())), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

bool isChapterNumber(QStringView number)
{
    static const QRegularExpression roman(
        QStringLiteral("^m{0,4}(cm|cd|d?c{0,3})(xc|xl|l?x{0,3})(ix|iv|v?i{0,3})$"),
        QRegularExpression::CaseInsensitiveOption);
    if (number.isEmpty())
        return false;
    if (number[0].isDigit())
        return true; // the pattern took digits only
    if (roman.match(number).hasMatch())
        return true;
    for (const QStringView part : number.split(u'-'))
        if (!isNumberWord(part))
            return false;
    return true;
}

// "Chapter" + an Arabic, Roman or spelled-out number, alone or before a
// title; a lower-case word right after the number continues a sentence.
bool isEnglishHeading(QStringView line)
{
    static const QRegularExpression pattern(
        QStringLiteral(R"(^chapter\s+([0-9]+|[a-z]+(?:-[a-z]+)?)(.*)$)"),
        QRegularExpression::CaseInsensitiveOption);
    if (!line.startsWith(u"chapter", Qt::CaseInsensitive))
        return false;
    const QRegularExpressionMatch m = pattern.match(line);
    if (!m.hasMatch() || !isChapterNumber(m.capturedView(1)))
        return false;
    const QStringView rest = m.capturedView(2);
    if (rest.isEmpty())
        return true;
    if (hasSentencePunctuation(rest) || rest[0] == u',')
        return false;
    if (isSeparator(rest[0]))
        return true;
    if (!rest[0].isSpace())
        return false; // "Chapter 7a", "Chapter 12th"
    const QStringView title = rest.trimmed();
    if (title.isEmpty())
        return true;
    const QChar first = title[0];
    return !first.isLetter() || first.isUpper() || first.script() != QChar::Script_Latin;
}

bool isPartName(QStringView line)
{
    static constexpr std::array<std::u16string_view, 10> Names
        = {u"序", u"序章", u"序言", u"楔子", u"前言", u"引子", u"後記", u"后记", u"尾聲", u"尾声"};
    for (const std::u16string_view name : Names)
        if (line == QStringView(name.data(), qsizetype(name.size())))
            return true;
    return false;
}

} // namespace

namespace PlainChapters
{

QList<Document::Chapter> find(QStringView text, qsizetype maxCount)
{
    QList<Document::Chapter> chapters;
    qsizetype lineStart = 0;
    while (lineStart < text.size() && chapters.size() < maxCount) {
        qsizetype lineEnd = lineStart;
        while (lineEnd < text.size() && !isLineEnd(text[lineEnd]))
            ++lineEnd;
        qsizetype begin = lineStart;
        while (begin < lineEnd && text[begin].isSpace())
            ++begin;
        qsizetype end = lineEnd;
        while (end > begin && text[end - 1].isSpace())
            --end;
        const QStringView line = text.sliced(begin, end - begin);
        if (!line.isEmpty() && line.size() <= MaxHeadingLength
            && (isChineseHeading(line) || isEnglishHeading(line) || isPartName(line)))
            chapters.append({line.toString(), begin, 1});
        lineStart = lineEnd + 1; // the LF of a CR LF makes an empty line
    }
    return chapters;
}

} // namespace PlainChapters
