#include "document/TextBuilder.h"

#include <algorithm>
#include <numeric>

namespace
{

bool isFlowSpace(QChar c)
{
    // U+00A0 is deliberately not here: a no-break space stays.
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f';
}

} // namespace

void TextBuilder::addText(QStringView text)
{
    if (text.isEmpty())
        return;
    if (m_pendingSpace && !lineEmpty())
        m_text += u' ';
    m_pendingSpace = false;
    m_text += text;
}

void TextBuilder::addFlowing(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size()) {
        if (isFlowSpace(text[i])) {
            m_pendingSpace = true;
            ++i;
            continue;
        }
        qsizetype end = i;
        while (end < text.size() && !isFlowSpace(text[end]))
            ++end;
        addText(text.sliced(i, end - i));
        i = end;
    }
}

void TextBuilder::lineBreak()
{
    m_pendingSpace = false;
    m_text += u'\n';
}

void TextBuilder::endBlock()
{
    m_pendingSpace = false;
    if (!lineEmpty())
        m_text += u'\n';
}

QString TextBuilder::take(QList<qsizetype> *positions)
{
    // The positions are visited in increasing order as the lines are copied.
    QList<qsizetype> order;
    if (positions) {
        order.resize(positions->size());
        std::iota(order.begin(), order.end(), qsizetype(0));
        std::stable_sort(order.begin(), order.end(),
            [positions](qsizetype a, qsizetype b) { return positions->at(a) < positions->at(b); });
    }
    qsizetype next = 0;

    QString out;
    out.reserve(m_text.size());
    qsizetype lineStart = 0;
    while (lineStart <= m_text.size()) {
        qsizetype lineEnd = m_text.indexOf(u'\n', lineStart);
        const bool last = lineEnd < 0;
        if (last)
            lineEnd = m_text.size();
        qsizetype trimmedEnd = lineEnd;
        while (trimmedEnd > lineStart && m_text[trimmedEnd - 1] == u' ')
            --trimmedEnd;
        const qsizetype outLineStart = out.size();
        out += QStringView(m_text).sliced(lineStart, trimmedEnd - lineStart);
        // A position among the spaces cut from the line's end lands on its
        // line end, like one on the line end itself.
        for (; next < order.size() && positions->at(order[next]) <= lineEnd; ++next) {
            qsizetype &p = (*positions)[order[next]];
            p = outLineStart + std::clamp(p, lineStart, trimmedEnd) - lineStart;
        }
        if (!last)
            out += u'\n';
        lineStart = lineEnd + 1;
    }
    for (; next < order.size(); ++next)
        (*positions)[order[next]] = out.size();
    m_text.clear();
    m_pendingSpace = false;

    qsizetype begin = 0;
    while (begin < out.size() && out[begin] == u'\n')
        ++begin;
    qsizetype end = out.size();
    while (end > begin && out[end - 1] == u'\n')
        --end;
    QString text = out.sliced(begin, end - begin);
    if (positions) {
        for (qsizetype &p : *positions) {
            p = std::clamp<qsizetype>(p - begin, 0, text.size());
            while (p < text.size() && text[p] == u'\n')
                ++p;
        }
    }
    return text;
}
