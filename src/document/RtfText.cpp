#include "document/RtfText.h"

#include "document/TextBuilder.h"
#include "document/TextDecoding.h"

#include <algorithm>
#include <initializer_list>
#include <string_view>
#include <vector>

using Document::Result;
using Document::Status;

namespace
{

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

int hexValue(char c)
{
    if (isDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool isOneOf(std::string_view word, std::initializer_list<std::string_view> words)
{
    for (const std::string_view w : words)
        if (w == word)
            return true;
    return false;
}

// Groups whose content is not part of the document's text.
bool isSkippedDestination(std::string_view word)
{
    return isOneOf(word,
        {"fonttbl", "colortbl", "stylesheet", "info", "pict", "object", "header", "headerl",
            "headerr", "headerf", "footer", "footerl", "footerr", "footerf", "footnote",
            "annotation", "fldinst", "listtable", "listoverridetable", "revtbl", "rsidtbl",
            "xmlnstbl", "generator", "themedata", "colorschememapping", "datastore", "latentstyles",
            "filetbl", "pgdsctbl", "nonshppict", "private", "userprops", "docvar", "xe", "tc",
            "txe", "atnid", "atnauthor", "bkmkstart", "bkmkend", "objdata", "blipuid", "mmathPr",
            "passwordhash"});
}

class Parser
{
public:
    Parser(const QByteArray &in, const Document::Limits &limits)
        : m_in(in)
        , m_limits(limits)
    {
    }

    Result run()
    {
        m_stack.push_back({});
        while (m_pos < m_in.size()) {
            const char c = m_in[m_pos++];
            switch (c) {
            case '{':
                flush();
                m_skipChars = 0;
                if (int(m_stack.size()) > m_limits.maxDepth)
                    return Result::failure(Status::TooLarge,
                        QStringLiteral("RTF groups nest deeper than %1").arg(m_limits.maxDepth));
                m_stack.push_back(m_stack.back());
                break;
            case '}':
                flush();
                m_skipChars = 0;
                if (m_stack.size() > 1)
                    m_stack.pop_back();
                break;
            case '\\':
                control();
                break;
            case '\r':
            case '\n':
                break;
            default:
                text(c);
                break;
            }
        }
        flush();
        return Result::success(m_out.take());
    }

private:
    struct Group {
        bool skip = false;
        int uc = 1; // fallback characters after each \uN
    };

    bool skipping() const { return m_stack.back().skip; }

    // A character of the fallback that follows \uN is dropped, once.
    bool consumeFallback()
    {
        if (m_skipChars == 0)
            return false;
        --m_skipChars;
        return true;
    }

    void text(char c)
    {
        if (consumeFallback() || skipping())
            return;
        m_pending += c;
    }

    void emit(QStringView s)
    {
        if (skipping())
            return;
        flush();
        m_out.addText(s);
    }

    void flush()
    {
        if (m_pending.isEmpty())
            return;
        bool ascii = true;
        for (const char c : m_pending)
            ascii = ascii && uchar(c) < 0x80;
        m_out.addText(ascii ? QString::fromLatin1(m_pending)
                            : TextDecoding::decodeCodePage(m_pending, m_charset));
        m_pending.clear();
    }

    void control()
    {
        if (m_pos >= m_in.size())
            return;
        const char c = m_in[m_pos];
        if (!isLetter(c)) {
            ++m_pos;
            symbol(c);
            return;
        }
        const qsizetype wordBegin = m_pos;
        while (m_pos < m_in.size() && isLetter(m_in[m_pos]) && m_pos - wordBegin < 32)
            ++m_pos;
        const std::string_view word(m_in.constData() + wordBegin, size_t(m_pos - wordBegin));
        bool hasParam = false;
        bool negative = false;
        long long param = 0;
        if (m_pos < m_in.size() && m_in[m_pos] == '-' && m_pos + 1 < m_in.size()
            && isDigit(m_in[m_pos + 1])) {
            negative = true;
            ++m_pos;
        }
        while (m_pos < m_in.size() && isDigit(m_in[m_pos])) {
            if (param < 100000000)
                param = param * 10 + (m_in[m_pos] - '0');
            hasParam = true;
            ++m_pos;
        }
        if (negative)
            param = -param;
        if (m_pos < m_in.size() && m_in[m_pos] == ' ')
            ++m_pos; // the delimiter belongs to the word
        controlWord(word, hasParam, param);
    }

    void symbol(char c)
    {
        if (c == '\'') {
            const int hi = m_pos < m_in.size() ? hexValue(m_in[m_pos]) : -1;
            const int lo = m_pos + 1 < m_in.size() ? hexValue(m_in[m_pos + 1]) : -1;
            if (hi < 0 || lo < 0)
                return;
            m_pos += 2;
            text(char(hi * 16 + lo));
            return;
        }
        if (c == '*') {
            m_stack.back().skip = true;
            return;
        }
        if (consumeFallback())
            return;
        switch (c) {
        case '\\':
        case '{':
        case '}':
            if (!skipping())
                m_pending += c;
            break;
        case '~':
            emit(u"\u00A0");
            break;
        case '_':
            emit(u"-");
            break;
        case '\r':
        case '\n':
            paragraph();
            break;
        default: // \- optional hyphen, \: index entry, \| formula
            break;
        }
    }

    void paragraph()
    {
        if (skipping())
            return;
        flush();
        m_out.lineBreak();
    }

    void endRow()
    {
        if (skipping())
            return;
        flush();
        m_out.endBlock();
    }

    void controlWord(std::string_view word, bool hasParam, long long param)
    {
        if (word == "bin") {
            // Raw binary data of the given length follows; never text.
            m_pos += qsizetype(std::clamp<long long>(param, 0, m_in.size() - m_pos));
            return;
        }
        if (isSkippedDestination(word)) {
            m_stack.back().skip = true;
            return;
        }
        if (word == "uc") {
            m_stack.back().uc = int(std::clamp(param, 0LL, 16LL));
            return;
        }
        if (word == "u" && hasParam) {
            const char16_t unit = char16_t(param < 0 ? param + 65536 : param);
            if (!skipping()) {
                flush();
                m_units += QChar(unit);
                if (!QChar::isHighSurrogate(unit)) {
                    m_out.addText(m_units);
                    m_units.clear();
                }
            }
            m_skipChars = m_stack.back().uc;
            return;
        }
        if (consumeFallback())
            return;
        if (word == "ansicpg" && hasParam)
            m_charset = TextDecoding::codePageName(int(param));
        else if (word == "mac")
            m_charset = "MACINTOSH";
        else if (word == "pc")
            m_charset = "CP437";
        else if (word == "pca")
            m_charset = "CP850";
        else if (isOneOf(word, {"par", "sect", "page", "line"}))
            paragraph();
        else if (word == "row")
            endRow();
        else if (word == "tab")
            emit(u"\t");
        else if (word == "cell")
            emit(u" ");
        else if (word == "emdash")
            emit(u"\u2014");
        else if (word == "endash")
            emit(u"\u2013");
        else if (word == "bullet")
            emit(u"\u2022");
        else if (word == "lquote")
            emit(u"\u2018");
        else if (word == "rquote")
            emit(u"\u2019");
        else if (word == "ldblquote")
            emit(u"\u201C");
        else if (word == "rdblquote")
            emit(u"\u201D");
        else if (isOneOf(word, {"emspace", "enspace", "qmspace"}))
            emit(u" ");
    }

    const QByteArray &m_in;
    const Document::Limits &m_limits;
    qsizetype m_pos = 0;
    std::vector<Group> m_stack;
    int m_skipChars = 0;
    QByteArray m_pending;
    QString m_units; // a high surrogate waiting for its pair
    QByteArray m_charset = "CP1252";
    TextBuilder m_out;
};

} // namespace

namespace RtfText
{

Result fromBytes(const QByteArray &bytes, const Document::Limits &limits)
{
    return Parser(bytes, limits).run();
}

bool looksLikeRtf(const QByteArray &bytes)
{
    return bytes.startsWith("{\\rtf");
}

} // namespace RtfText
