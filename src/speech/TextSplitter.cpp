#include "speech/TextSplitter.h"

namespace TextSplitter
{

namespace
{

bool isFullStop(char16_t c)
{
    switch (c) {
    case u'。':
    case u'！':
    case u'？':
    case u'；':
    case u'…':
    case u'｡':
    case u'\n':
    case u'\r':
        return true;
    default:
        return false;
    }
}

bool isWesternStop(char16_t c)
{
    return c == u'.' || c == u'!' || c == u'?' || c == u';';
}

bool isClosing(char16_t c)
{
    switch (c) {
    case u'」':
    case u'』':
    case u'”':
    case u'’':
    case u'"':
    case u'\'':
    case u')':
    case u'）':
    case u'】':
    case u'》':
        return true;
    default:
        return false;
    }
}

bool isBlankUnit(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\u3000' || c == u'\u00a0';
}

bool isAsciiAlnum(QChar c)
{
    return c.unicode() < 128 && c.isLetterOrNumber();
}

// Whether a cut between units k - 1 and k would split a number (3.5, 1,000,
// 0912-345) or a Latin word, which are read as wholes.
bool joined(const QString &text, int k)
{
    auto at = [&](int i) { return i >= 0 && i < text.size() ? text.at(i) : QChar(); };
    auto digit = [&](int i) { return at(i).unicode() < 128 && at(i).isDigit(); };
    static constexpr char16_t Inner[] = u".,:/-";
    const QStringView inner(Inner);
    return (isAsciiAlnum(at(k - 1)) && isAsciiAlnum(at(k)))
        || (inner.contains(at(k)) && digit(k - 1) && digit(k + 1))
        || (inner.contains(at(k - 1)) && digit(k - 2) && digit(k));
}

} // namespace

int pieceEnd(const QString &text, int from, int cap)
{
    const int n = text.size();
    const int limit = std::min(n, from + std::max(cap, 2));
    int i = from;
    while (i < limit) {
        const char16_t c = text.at(i).unicode();
        ++i;
        bool stop = isFullStop(c);
        if (!stop && isWesternStop(c))
            stop = (i >= n || isBlankUnit(text.at(i).unicode()) || isClosing(text.at(i).unicode())
                || text.at(i) == QLatin1Char('\n') || text.at(i) == QLatin1Char('\r'));
        if (stop) {
            if (c == u'\r' && i < n && text.at(i) == QLatin1Char('\n'))
                ++i;
            while (i < n && isClosing(text.at(i).unicode()))
                ++i;
            while (i < n && isBlankUnit(text.at(i).unicode()))
                ++i;
            return i;
        }
    }
    if (limit >= n)
        return n;
    // Cap reached: break after the last blank in the second half, else here.
    for (int k = limit; k > from + (limit - from) / 2; --k) {
        if (isBlankUnit(text.at(k - 1).unicode()))
            return k;
    }
    int end = limit;
    const int half = from + (limit - from) / 2;
    for (int k = limit; k > half; --k) {
        if (!joined(text, k)) {
            end = k;
            break;
        }
    }
    if (text.at(end - 1).isHighSurrogate()
        || (text.at(end - 1) == QLatin1Char('\r') && text.at(end) == QLatin1Char('\n')))
        ++end;
    return end;
}

bool isBlank(const QString &text, int from, int to)
{
    for (int i = from; i < to; ++i) {
        if (!text.at(i).isSpace())
            return false;
    }
    return true;
}

} // namespace TextSplitter
