#include "speech/MandarinReading.h"
#include "speech/PronunciationList.h"

#include "speech/ChineseScript.h"
#include "speech/LexiconFormat.h"
#include "speech/MandarinNormalizer.h"
#include "speech/MandarinPolyphones.h"

#include <cmath>
#include <limits>
#include <vector>

namespace MandarinReading
{

namespace
{

bool isHan(char32_t c)
{
    return (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF)
        || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0x20000 && c <= 0x3FFFF) || c == 0x3007;
}

bool isLatinLetter(QChar c)
{
    return c.isLetter() && c.script() == QChar::Script_Latin;
}

// Punctuation that ends a clause or a sentence, as the voice takes it.
QString pauseOf(QChar c)
{
    switch (c.unicode()) {
    case u',':
    case u'，':
    case u'、':
    case u';':
    case u'；':
    case u':':
    case u'：':
    case u'‧':
        return QStringLiteral(",");
    case u'.':
    case u'。':
    case u'．':
    case u'…':
    case u'\n':
        return QStringLiteral(".");
    case u'!':
    case u'！':
        return QStringLiteral("!");
    case u'?':
    case u'？':
        return QStringLiteral("?");
    default:
        return QString();
    }
}

int toneOf(const QString &syllable)
{
    return syllable.isEmpty() ? 0 : syllable.back().digitValue();
}

struct Reader {
    const MappedText &text;
    const MandarinLexicon &lexicon;
    QList<Token> tokens;

    char32_t codePointAt(int i) const
    {
        const QChar c = text.text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.text.at(i + 1).isLowSurrogate())
            return QChar::surrogateToUcs4(c, text.text.at(i + 1));
        return c.unicode();
    }
    int unitsAt(int i) const { return codePointAt(i) > 0xFFFF ? 2 : 1; }

    void add(Token::Kind kind, const QString &word, int i, int j)
    {
        tokens.append({kind, word, word, text.from[i], text.to[j - 1]});
    }

    // Chinese in units [a, b), cut into the lexicon's likeliest words.
    void readHan(int a, int b)
    {
        const QStringView run = QStringView(text.text).sliced(a, b - a);
        int wordBefore = 0;
        for (const MandarinLexicon::Cut::Word &w : lexicon.cut(run).words) {
            const int i = w.start;
            const int e = w.entry;
            if (e < 0) {
                const int units = unitsAt(a + i);
                add(Token::Character, run.sliced(i, units).toString(), a + i, a + i + units);
                wordBefore = 1;
                continue;
            }
            const int first = int(tokens.size());
            int unit = a + i;
            const int syllables = lexicon.syllableCount(e);
            const QStringList *decided
                = MandarinPolyphones::readingOf(text.text, a + i, syllables, wordBefore);
            // A pronoun or an adverb and what follows it, read as their
            // characters read alone (我看, 你將, 都為): what follows is decided
            // as if it stood alone.
            const bool transparent = !decided && (lexicon.flags(e) & LexiconFormat::Transparent)
                && QStringView(u"我你妳他她它您都也就還又才很太最更別")
                       .contains(text.text.at(a + i));
            for (int k = 0; k < syllables; ++k) {
                const int units = unitsAt(unit);
                const QStringList *own = transparent && k > 0
                    ? MandarinPolyphones::readingOf(text.text, unit, 1, 1)
                    : nullptr;
                add(Token::Syllable,
                    decided && k < decided->size() ? decided->at(k)
                        : own                      ? own->at(0)
                                                   : lexicon.syllableText(e, k),
                    unit, unit + units);
                // 不 changes its tone by what follows; 部, 步 and 布 do not.
                if (text.text.at(unit) == u'不' && tokens.back().text == u"bu4")
                    tokens.back().spoken = QStringLiteral("bu?");
                unit += units;
            }
            changeYi(first, a + i, syllables, b);
            wordBefore = syllables;
        }
    }

    // 一 at the head of a word (一起, 一個) or standing alone before another
    // syllable takes the fourth tone, or the second before a fourth tone;
    // numbers, ordinals and dates keep the first (第一, 十一, 一月).
    void changeYi(int token, int unit, int syllables, int runEnd)
    {
        if (text.text.at(unit) != u'一' || text.generated[unit] || unit + 1 >= runEnd)
            return;
        if (syllables > 1 && text.text.at(unit + 1) == u'一')
            return;
        static constexpr char16_t KeepBefore[] = u"第十週初期";
        static constexpr char16_t KeepAfter[] = u"月日號樓";
        if (unit > 0 && QStringView(KeepBefore).contains(text.text.at(unit - 1)))
            return;
        if (QStringView(KeepAfter).contains(text.text.at(unit + 1)))
            return;
        tokens[token].spoken = QStringLiteral("yi?");
    }

    // The tones the next syllable decides, once every token is known.
    void changeTones()
    {
        for (qsizetype k = 0; k < tokens.size(); ++k) {
            Token &t = tokens[k];
            if (t.kind != Token::Syllable)
                continue;
            const bool nextIsSyllable
                = k + 1 < tokens.size() && tokens[k + 1].kind == Token::Syllable;
            const int next = nextIsSyllable ? toneOf(tokens[k + 1].text) : 0;
            if (t.spoken == u"yi?")
                t.spoken = next >= 4 ? QStringLiteral("yi2") : QStringLiteral("yi4");
            else if (t.spoken == u"bu?")
                t.spoken = next == 4 ? QStringLiteral("bu2") : QStringLiteral("bu4");
        }
    }

    void run()
    {
        const int n = text.size();
        int i = 0;
        while (i < n) {
            const QChar c = text.text.at(i);
            if (isHan(codePointAt(i))) {
                int j = i + unitsAt(i);
                while (j < n && isHan(codePointAt(j))
                    && (text.generated[j] == text.generated[i]
                        && (!text.generated[i] || text.sameReplacement(j - 1))))
                    j += unitsAt(j);
                readHan(i, j);
                i = j;
            } else if (isLatinLetter(c)) {
                // A word: letters and digits, with inner apostrophes and hyphens.
                int j = i + 1;
                while (j < n) {
                    const QChar d = text.text.at(j);
                    const bool joiner = (d == u'\'' || d == u'’' || d == u'-') && j + 1 < n
                        && isLatinLetter(text.text.at(j + 1));
                    if (!(isLatinLetter(d) || (d.isDigit() && d.unicode() < 128) || joiner))
                        break;
                    j += joiner ? 2 : 1;
                }
                add(Token::Latin, text.text.mid(i, j - i), i, j);
                i = j;
            } else if (const QString pause = pauseOf(c); !pause.isEmpty()) {
                // A run of stops is one pause; a decimal point never reaches here.
                if (tokens.isEmpty() || tokens.back().kind != Token::Pause)
                    add(Token::Pause, pause, i, i + 1);
                ++i;
            } else if (c.isSpace() || c.isPunct() || c.isSymbol() || c.isNull()) {
                ++i;
            } else {
                const int units = unitsAt(i);
                add(Token::Character, text.text.mid(i, units), i, i + units);
                i += units;
            }
        }
        changeTones();
    }
};

} // namespace

QList<Token> read(const MappedText &text, const MandarinLexicon &lexicon)
{
    const MappedText normal
        = MandarinNormalizer::normalize(ChineseScript::toTraditional(text, lexicon));
    Reader reader {normal, lexicon, {}};
    reader.run();
    return reader.tokens;
}

bool isMandarinVoice(const QByteArray &espeakVoice)
{
    return espeakVoice.toLower().contains("cmn-latn-pinyin");
}

} // namespace MandarinReading

QString MandarinReadingOf(
    const QString &text, const std::function<QString(const QString &)> &unread)
{
    MappedText mapped = MappedText::of(text);
    PronunciationList::applyCurrent(mapped);
    QStringList words;
    for (const MandarinReading::Token &t : MandarinReading::read(mapped)) {
        if (t.kind == MandarinReading::Token::Character && unread)
            words << unread(t.text);
        else if (t.kind != MandarinReading::Token::Pause)
            words << t.text;
    }
    return words.join(QLatin1Char(' '));
}
