#include "document/TextBuilder.h"

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

QString TextBuilder::take()
{
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
        out += QStringView(m_text).sliced(lineStart, trimmedEnd - lineStart);
        if (!last)
            out += u'\n';
        lineStart = lineEnd + 1;
    }
    m_text.clear();
    m_pendingSpace = false;

    qsizetype begin = 0;
    while (begin < out.size() && out[begin] == u'\n')
        ++begin;
    qsizetype end = out.size();
    while (end > begin && out[end - 1] == u'\n')
        --end;
    return out.sliced(begin, end - begin);
}
