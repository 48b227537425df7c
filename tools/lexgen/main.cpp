// lexgen: builds the Mandarin lexicon of the reader from libchewing's phrase
// data (Taiwan readings in zhuyin, with how often each phrase is typed), the
// Unicode Han database for the characters that data lacks, and a small list
// of our own corrections.
//   lexgen <chewing data folder> <corrections file> <output file> [<Unihan folder>]
//
// Each word keeps one reading: the most used one; between equally used ones,
// the one whose syllables agree most with each character's usual reading.
// A single character's usual reading is the one it has most often inside
// words, unless the corrections name it. A character libchewing lacks is read
// as its traditional or usual form where that form has a reading, else as
// the Unihan kMandarin reading (the Taiwan one where two are given).

#include "speech/LexiconFormat.h"

#include <QByteArray>
#include <QFile>
#include <QHash>
#include <QSaveFile>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <vector>

using namespace Qt::StringLiterals;

namespace
{

// ---- zhuyin phone codes -----------------------------------------------------
// A phone is initial << 9 | medial << 7 | final << 3 | tone, where the tone
// field holds 0 for the first tone and 1 for the neutral tone.

const char *const Initials[] = {"", "b", "p", "m", "f", "d", "t", "n", "l", "g", "k", "h", "j", "q",
    "x", "zh", "ch", "sh", "r", "z", "c", "s"};
// Rhymes by final (ㄚ ㄛ ㄜ ㄝ ㄞ ㄟ ㄠ ㄡ ㄢ ㄣ ㄤ ㄥ ㄦ), for each medial (none, ㄧ, ㄨ, ㄩ),
// spelled as after a consonant; "" where the pair does not occur.
const char *const Rhymes[4][14] = {
    {"", "a", "o", "e", "e", "ai", "ei", "ao", "ou", "an", "en", "ang", "eng", "er"},
    {"i", "ia", "io", "ie", "ie", "iai", "", "iao", "iu", "ian", "in", "iang", "ing", ""},
    {"u", "ua", "uo", "uo", "", "uai", "ui", "", "", "uan", "un", "uang", "ong", ""},
    {"v", "", "", "", "ve", "", "", "", "", "van", "vn", "", "iong", ""},
};
const int Tones[] = {1, 5, 2, 3, 4, 5, 5, 5};

// Pinyin with tone digit ("zhong1", "lv4", "yuan2"); empty for a code that
// spells no syllable.
QByteArray pinyinOf(quint16 phone)
{
    const int initial = (phone >> 9) & 31;
    const int medial = (phone >> 7) & 3;
    const int final = (phone >> 3) & 15;
    if (initial > 21 || final > 13)
        return {};
    QByteArray rhyme = Rhymes[medial][final];
    if (rhyme.isEmpty() && !(medial == 0 && final == 0))
        return {};
    QByteArray syllable;
    if (initial == 0) {
        static const QHash<QByteArray, QByteArray> bare
            = {{"i", "yi"}, {"in", "yin"}, {"ing", "ying"}, {"iu", "you"}, {"u", "wu"},
                {"ui", "wei"}, {"un", "wen"}, {"ong", "weng"}, {"v", "yu"}, {"ve", "yue"},
                {"van", "yuan"}, {"vn", "yun"}, {"iong", "yong"}};
        if (auto it = bare.constFind(rhyme); it != bare.constEnd())
            syllable = it.value();
        else if (rhyme.startsWith('i'))
            syllable = "y" + rhyme.mid(1);
        else if (rhyme.startsWith('u'))
            syllable = "w" + rhyme.mid(1);
        else
            syllable = rhyme;
        if (syllable.isEmpty())
            return {};
    } else {
        if (rhyme.isEmpty()) {
            // zhi chi shi ri zi ci si; other consonants alone are interjections (m, n).
            rhyme = initial >= 15 ? "i" : "";
        }
        if (initial >= 12 && initial <= 14 && medial == 3)
            rhyme.replace('v', 'u'); // ju, que, xuan
        syllable = Initials[initial] + rhyme;
    }
    return syllable + QByteArray::number(Tones[phone & 7]);
}

// ---- reading libchewing's tree ----------------------------------------------

struct Reading {
    std::vector<QByteArray> syllables;
    quint32 frequency = 0;
};

struct Source {
    QByteArray tree;
    QByteArray phrases;
    std::map<QString, std::vector<Reading>> words;

    quint32 at(qsizetype offset) const
    {
        const auto *b = reinterpret_cast<const uchar *>(tree.constData()) + offset;
        return quint32(b[0]) | quint32(b[1]) << 8 | quint32(b[2]) << 16;
    }

    // Node: 2-byte key, then either a child range or, when the key is 0, a
    // phrase position and its frequency (3 bytes each).
    void walk(quint32 node, std::vector<quint16> &phones, int depth)
    {
        const qsizetype nodes = tree.size() / 8;
        const quint32 begin = at(qsizetype(node) * 8 + 2);
        const quint32 end = at(qsizetype(node) * 8 + 5);
        if (depth > 16 || begin > end || end > nodes)
            return;
        for (quint32 child = begin; child < end; ++child) {
            const auto *b = reinterpret_cast<const uchar *>(tree.constData()) + child * 8;
            const quint16 key = quint16(b[0] | b[1] << 8);
            if (key == 0) {
                addPhrase(at(qsizetype(child) * 8 + 2), at(qsizetype(child) * 8 + 5), phones);
            } else {
                phones.push_back(key);
                walk(child, phones, depth + 1);
                phones.pop_back();
            }
        }
    }

    void addPhrase(quint32 position, quint32 frequency, const std::vector<quint16> &phones)
    {
        if (position >= quint32(phrases.size()))
            return;
        const qsizetype end = phrases.indexOf('\0', position);
        const QString word = QString::fromUtf8(phrases.mid(position, end - position));
        if (word.toUcs4().size() != qsizetype(phones.size()))
            return;
        Reading reading;
        reading.frequency = frequency;
        for (quint16 phone : phones) {
            const QByteArray syllable = pinyinOf(phone);
            if (syllable.isEmpty())
                return;
            reading.syllables.push_back(syllable);
        }
        // 一 and 不 are kept in their own tones; the tones they take before
        // other syllables are the reader's business. The plural 們 after a
        // word is in the neutral tone, whatever the typist chose, and so is
        // the second of a doubled name for family (舅舅, 姑姑); 個 after a
        // number keeps its own (兩個, 第二個), as in the dictionary.
        const QList<uint> chars = word.toUcs4();
        for (size_t k = 0; k < reading.syllables.size(); ++k) {
            if (chars[qsizetype(k)] == U'一' && reading.syllables[k].startsWith("yi"))
                reading.syllables[k] = "yi1";
            else if (chars[qsizetype(k)] == U'不' && reading.syllables[k] == "bu2")
                reading.syllables[k] = "bu4";
            else if (chars[qsizetype(k)] == U'們' && k > 0)
                reading.syllables[k] = "men5";
            else if (k == 1 && chars.size() == 2 && chars[0] == chars[1]
                && QStringView(u"爸媽哥姐姊弟妹爺奶叔伯舅姑姨嬸婆公寶")
                       .contains(QChar(char16_t(chars[1]))))
                reading.syllables[k] = reading.syllables[k].chopped(1) + '5';
            else if (chars[qsizetype(k)] == U'個' && k > 0
                && QStringView(u"一二兩三四五六七八九十百千萬幾每第")
                       .contains(QChar(char16_t(chars[qsizetype(k - 1)]))))
                reading.syllables[k] = "ge4";
        }
        words[word].push_back(reading);
    }
};

bool readFile(const QString &path, QByteArray *out)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    *out = file.readAll();
    return true;
}

// ---- choosing readings ------------------------------------------------------

using CharReadings = QHash<char32_t, QHash<QByteArray, quint64>>;

// The weight of a word the corrections add: that of a word in everyday use.
constexpr quint32 NewWordWeight = 2000;

// How much of a character's use inside words stands for its own weight.
constexpr quint64 SingleDivisor = 8;

CharReadings characterUse(const std::map<QString, std::vector<Reading>> &words)
{
    CharReadings use;
    for (const auto &[word, readings] : words) {
        const QList<uint> chars = word.toUcs4();
        if (chars.size() < 2)
            continue;
        for (const Reading &r : readings) {
            for (qsizetype k = 0; k < chars.size(); ++k)
                use[chars[k]][r.syllables[size_t(k)]] += r.frequency + 1;
        }
    }
    return use;
}

QByteArray usualReading(char32_t c, const std::vector<Reading> *own, const CharReadings &use)
{
    const auto it = use.constFind(c);
    QByteArray best;
    quint64 bestUse = 0;
    auto consider = [&](const QByteArray &syllable) {
        const quint64 n = it == use.constEnd() ? 0 : it->value(syllable);
        if (best.isEmpty() || n > bestUse) {
            best = syllable;
            bestUse = n;
        }
    };
    if (own) {
        for (const Reading &r : *own)
            consider(r.syllables.front());
    } else if (it != use.constEnd()) {
        for (auto s = it->constBegin(); s != it->constEnd(); ++s)
            consider(s.key());
    }
    return best;
}

struct Chosen {
    std::vector<QByteArray> syllables;
    quint32 weight = 1;
    quint8 flags = 0;
};

struct Correction {
    QStringList syllables;
    quint32 weight = 0; // 0 keeps the weight the word already has
    bool everywhere = false; // a character read so in every word
    bool removed = false; // a word taken out, its characters read one by one
};

bool readCorrections(const QString &path, std::map<QString, Correction> *out, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        *error = QStringLiteral("cannot read ") + path;
        return false;
    }
    QTextStream in(&file);
    int lineNumber = 0;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        ++lineNumber;
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        QStringList fields = line.split(QLatin1Char('\t'), Qt::SkipEmptyParts);
        Correction c;
        if (fields[0].startsWith(QLatin1Char('*'))) {
            c.everywhere = true;
            fields[0].remove(0, 1);
        }
        c.removed = fields.size() == 2 && fields[1] == QLatin1String("-");
        if (fields.size() >= 2 && !c.removed)
            c.syllables = fields[1].split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (fields.size() >= 3)
            c.weight = fields[2].toUInt();
        if (fields.size() < 2 || (!c.removed && c.syllables.size() != fields[0].toUcs4().size())) {
            *error = QStringLiteral("%1:%2: expected word, tab, one syllable per character")
                         .arg(path)
                         .arg(lineNumber);
            return false;
        }
        // A word listed twice would silently take its later reading.
        if (out->count(fields[0])) {
            *error = QStringLiteral("%1:%2: %3 is listed twice")
                         .arg(path)
                         .arg(lineNumber)
                         .arg(fields[0]);
            return false;
        }
        (*out)[fields[0]] = c;
    }
    return true;
}

// libchewing gives single characters no frequency; how much a character is
// used inside words stands in for it, scaled so that a common word still
// beats its characters read one by one.
quint32 singleWeight(const CharReadings &use, char32_t c)
{
    quint64 total = 0;
    for (quint64 n : use.value(c))
        total += n;
    return quint32(std::clamp<quint64>(total / SingleDivisor, 1, 0xffffff));
}

// A three-character word that ends in a word with a neutral tone is mostly
// that word with one before it (老爺爺, 小箱子, 我們的), where libchewing often
// types the full tone; it takes the neutral tone of its ending. Only the
// ending is looked at: inside a word the same characters may be another word
// (東西方). Longer words are left alone: idioms keep their literary tones
// (獨占鰲頭, 孤臣孽子).
void neutralInSuffixes(
    std::map<QString, Chosen> &chosen, const std::map<QString, Correction> &corrections)
{
    auto toneless = [](const QByteArray &s) { return s.left(s.size() - 1); };
    for (auto &[word, c] : chosen) {
        const QList<uint> chars = word.toUcs4();
        if (chars.size() != 3 || corrections.count(word))
            continue;
        const auto ending = chosen.find(
            QString::fromUcs4(reinterpret_cast<const char32_t *>(chars.constData()) + 1, 2));
        if (ending == chosen.end())
            continue;
        const std::vector<QByteArray> &tail = ending->second.syllables;
        bool same = true;
        bool neutral = false;
        for (size_t k = 0; k < tail.size() && same; ++k) {
            const QByteArray &mine = c.syllables[1 + k];
            neutral = neutral || tail[k].endsWith('5');
            same = tail[k].endsWith('5') ? toneless(mine) == toneless(tail[k]) : mine == tail[k];
        }
        if (same && neutral)
            std::copy(tail.begin(), tail.end(), c.syllables.begin() + 1);
    }
}

// In a verb, 得 and a result (聽得懂, 做得到, 趕得上) 得 says the result can
// be reached and is neutral, where libchewing often types it as got (de2).
// A word whose first character makes 得 got or must is left alone (不得了,
// 已得到, 非得到).
void neutralPotentialDe(
    std::map<QString, Chosen> &chosen, const std::map<QString, Correction> &corrections)
{
    static const QString Results
        = QStringLiteral("到懂見上過開起消下去來清完了成出住動好及通遠快慢多");
    static const QString NotVerbs = QStringLiteral("不已才只一所非");
    for (auto &[word, c] : chosen) {
        if (word.size() != 3 || word[1] != u'得' || corrections.count(word))
            continue;
        if (c.syllables.size() == 3 && c.syllables[1] == "de2" && Results.contains(word[2])
            && !NotVerbs.contains(word[0]))
            c.syllables[1] = "de5";
    }
}

// What can be done is said as what cannot be with 得 for 不 (忘不了, 忘得了;
// 睡不著, 睡得著), and libchewing holds far more of the negative words. A
// verb's negative lends its positive where that is missing (解決得了): else
// 了 and 著 read as particles (忘得 le5) and 得 as got. A verb that makes a
// word with 得 (贏得了比賽, 記得了) is left alone.
void potentialFromNegative(
    std::map<QString, Chosen> &chosen, const std::map<QString, Correction> &corrections)
{
    std::vector<std::pair<QString, Chosen>> added;
    for (const auto &[word, c] : chosen) {
        const qsizetype n = word.size();
        if (n < 3 || n > 4 || word[n - 2] != u'不' || (word[n - 1] != u'了' && word[n - 1] != u'著')
            || c.syllables.size() != size_t(n) || c.syllables.back() == "le5"
            || c.syllables.back() == "zhe5")
            continue;
        const QString verb = word.first(n - 2);
        const QString positive = verb + u'得' + word[n - 1];
        if (chosen.count(positive) || corrections.count(positive) || chosen.count(verb + u'得'))
            continue;
        Chosen p = c;
        p.syllables[size_t(n - 2)] = "de5";
        added.emplace_back(positive, p);
    }
    chosen.insert(added.begin(), added.end());
}

std::map<QString, Chosen> choose(
    const Source &source, const std::map<QString, Correction> &corrections)
{
    const CharReadings use = characterUse(source.words);
    QHash<char32_t, QByteArray> usual;
    for (const auto &[word, readings] : source.words) {
        const QList<uint> chars = word.toUcs4();
        if (chars.size() == 1)
            usual.insert(chars[0], usualReading(chars[0], &readings, use));
    }
    for (auto it = use.constBegin(); it != use.constEnd(); ++it) {
        if (!usual.contains(it.key()))
            usual.insert(it.key(), usualReading(it.key(), nullptr, use));
    }
    for (const auto &[word, c] : corrections) {
        const QList<uint> chars = word.toUcs4();
        if (chars.size() == 1 && !c.removed)
            usual.insert(chars[0], c.syllables.first().toLatin1());
    }

    std::map<QString, Chosen> chosen;
    for (const auto &[word, readings] : source.words) {
        const QList<uint> chars = word.toUcs4();
        const Reading *best = nullptr;
        int bestAgreement = -1;
        for (const Reading &r : readings) {
            int agreement = 0;
            for (qsizetype k = 0; k < chars.size(); ++k)
                agreement += usual.value(chars[k]) == r.syllables[size_t(k)] ? 1 : 0;
            if (!best || r.frequency > best->frequency
                || (r.frequency == best->frequency && agreement > bestAgreement)) {
                best = &r;
                bestAgreement = agreement;
            }
        }
        Chosen c;
        c.syllables = best->syllables;
        if (chars.size() == 1) {
            c.syllables = {usual.value(chars[0])};
            QSet<QByteArray> distinct;
            for (const Reading &r : readings)
                distinct.insert(r.syllables.front());
            for (auto s = use.value(chars[0]).constBegin(); s != use.value(chars[0]).constEnd();
                 ++s)
                distinct.insert(s.key());
            if (distinct.size() > 1)
                c.flags |= LexiconFormat::Polyphone;
        }
        c.weight = chars.size() == 1 ? singleWeight(use, chars[0]) : best->frequency + 1;
        chosen[word] = c;
    }
    for (const auto &[word, correction] : corrections) {
        if (!correction.everywhere)
            continue;
        const uint ch = word.toUcs4().first();
        const QByteArray syllable = correction.syllables.first().toLatin1();
        for (auto &[other, c] : chosen) {
            const QList<uint> chars = other.toUcs4();
            for (qsizetype k = 0; k < chars.size(); ++k) {
                if (chars[k] == ch)
                    c.syllables[size_t(k)] = syllable;
            }
        }
    }
    // A corrected word is read the same inside the longer words that hold it
    // with the reading it had (朋友 peng2 you5, so too 小朋友 and 男朋友).
    for (const auto &[word, correction] : corrections) {
        const auto found = chosen.find(word);
        if (correction.removed || correction.everywhere || word.size() < 2 || found == chosen.end())
            continue;
        const std::vector<QByteArray> before = found->second.syllables;
        std::vector<QByteArray> after;
        for (const QString &s : correction.syllables)
            after.push_back(s.toLatin1());
        if (before == after)
            continue;
        for (auto &[other, c] : chosen) {
            if (other.size() <= word.size() || corrections.count(other))
                continue;
            for (qsizetype at = other.indexOf(word); at >= 0; at = other.indexOf(word, at + 1)) {
                const auto first = size_t(QStringView(other).first(at).toUcs4().size());
                if (std::equal(before.begin(), before.end(), c.syllables.begin() + first))
                    std::copy(after.begin(), after.end(), c.syllables.begin() + first);
            }
        }
    }
    for (const auto &[word, correction] : corrections) {
        if (correction.removed) {
            chosen.erase(word);
            continue;
        }
        const bool added = chosen.count(word) == 0;
        Chosen &c = chosen[word];
        if (added)
            c.weight = NewWordWeight;
        c.syllables.clear();
        for (const QString &s : correction.syllables)
            c.syllables.push_back(s.toLatin1());
        if (correction.weight > 0)
            c.weight = correction.weight;
        c.weight = std::max<quint32>(c.weight, 1);
    }
    neutralInSuffixes(chosen, corrections);
    neutralPotentialDe(chosen, corrections);
    potentialFromNegative(chosen, corrections);
    return chosen;
}

// ---- the Unicode Han database -----------------------------------------------

// "yī" -> "yi1", "lǜ" -> "lv4", "ma" -> "ma5"; empty for what is not plain
// pinyin.
QByteArray pinyinFromMarks(QStringView marked)
{
    static const QString Marks[4] = {QStringLiteral("āēīōūǖ"), QStringLiteral("áéíóúǘ"),
        QStringLiteral("ǎěǐǒǔǚ"), QStringLiteral("àèìòùǜ")};
    static const QString Bases = QStringLiteral("aeiouv");
    QByteArray out;
    int tone = 5;
    for (QChar c : marked) {
        bool vowel = false;
        for (int t = 0; t < 4 && !vowel; ++t) {
            if (const qsizetype at = Marks[t].indexOf(c); at >= 0) {
                out += char(Bases.at(at).unicode());
                tone = t + 1;
                vowel = true;
            }
        }
        if (vowel)
            continue;
        if (c == u'ü')
            out += 'v';
        else if (c >= u'a' && c <= u'z')
            out += char(c.unicode());
        else
            return {};
    }
    if (out.isEmpty())
        return {};
    return out + QByteArray::number(tone);
}

// Each line: "U+XXXX<TAB>field<TAB>value".
void readUnihan(
    const QString &path, const std::function<void(char32_t, QStringView, QStringView)> &take)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (!line.startsWith(QLatin1String("U+")))
            continue;
        const QStringList fields = line.split(QLatin1Char('\t'));
        if (fields.size() < 3)
            continue;
        bool ok = false;
        const char32_t c = char32_t(QStringView(fields[0]).sliced(2).toUInt(&ok, 16));
        if (ok)
            take(c, fields[1], fields[2]);
    }
}

QString textOf(char32_t c)
{
    return QString::fromUcs4(&c, 1);
}

// Gives every Han character of the database that the phrase data lacks a
// reading: its traditional, same or usual form's where the lexicon has that
// form, else the database's own Mandarin reading. A simplified form that the
// phrase data has only as a rare character of its own, in no word (开, 条,
// 适 there read yan2, di2, gua1), is read as its traditional form too.
int borrowReadings(
    std::map<QString, Chosen> &chosen, const QSet<char32_t> &inWords, const QString &folder)
{
    QHash<char32_t, QList<char32_t>> forms;
    QSet<char32_t> simplifiable;
    QSet<char32_t> traditionalOnly; // has a traditional form other than itself
    readUnihan(folder + QStringLiteral("/Unihan_Variants.txt"),
        [&](char32_t c, QStringView field, QStringView value) {
            // A character that is also its own simplified form (著 in 显著,
            // 乾 in 乾坤) is written in both scripts and tells neither.
            if (field == u"kSimplifiedVariant"
                && !value.split(u' ').contains(
                    u"U+%1"_s.arg(quint32(c), 4, 16, QChar(u'0')).toUpper()))
                simplifiable.insert(c);
            if (field != u"kTraditionalVariant" && field != u"kZVariant"
                && field != u"kSemanticVariant")
                return;
            for (QStringView v : value.split(u' ')) {
                bool ok = false;
                const char32_t form
                    = char32_t(v.sliced(2, v.indexOf(u'<') < 0 ? v.size() - 2 : v.indexOf(u'<') - 2)
                                   .toUInt(&ok, 16));
                if (ok && form != c) {
                    forms[c].append(form);
                    if (field == u"kTraditionalVariant")
                        traditionalOnly.insert(c);
                }
            }
        });
    // kMandarin gives the usual reading (the Taiwan one last, where two are
    // given); the dictionaries' readings (kHanyuPinyin, kXHC1983, kTGHZ2013:
    // "location:reading,reading …") stand in for characters it lacks.
    QHash<char32_t, QByteArray> own;
    QHash<char32_t, QByteArray> listed;
    readUnihan(folder + QStringLiteral("/Unihan_Readings.txt"),
        [&](char32_t c, QStringView field, QStringView value) {
            if (field == u"kMandarin") {
                const QByteArray syllable = pinyinFromMarks(value.split(u' ').back());
                if (!syllable.isEmpty())
                    own.insert(c, syllable);
            } else if ((field == u"kHanyuPinyin" || field == u"kXHC1983" || field == u"kTGHZ2013")
                && !listed.contains(c)) {
                const QStringView first = value.split(u' ').front();
                const qsizetype colon = first.indexOf(u':');
                const QByteArray syllable
                    = pinyinFromMarks(first.sliced(colon + 1).split(u',').front());
                if (colon >= 0 && !syllable.isEmpty())
                    listed.insert(c, syllable);
            }
        });
    for (auto it = listed.constBegin(); it != listed.constEnd(); ++it) {
        if (!own.contains(it.key()))
            own.insert(it.key(), it.value());
    }
    QSet<char32_t> all(own.keyBegin(), own.keyEnd());
    for (auto it = forms.constBegin(); it != forms.constEnd(); ++it)
        all.insert(it.key());
    for (char32_t c : simplifiable) {
        if (auto it = chosen.find(textOf(c)); it != chosen.end())
            it->second.flags |= LexiconFormat::TraditionalForm;
    }
    int added = 0;
    for (char32_t c : traditionalOnly) {
        if (auto it = chosen.find(textOf(c)); it != chosen.end() && inWords.contains(c))
            it->second.flags |= LexiconFormat::SharedForm;
    }
    for (char32_t c : all) {
        const QString word = textOf(c);
        const bool simplifiedForm = traditionalOnly.contains(c) && !inWords.contains(c);
        if (chosen.count(word) && !simplifiedForm)
            continue;
        Chosen borrowed;
        borrowed.flags = LexiconFormat::Borrowed;
        if (traditionalOnly.contains(c))
            borrowed.flags |= LexiconFormat::SimplifiedForm;
        for (char32_t form : forms.value(c)) {
            if (auto it = chosen.find(textOf(form));
                it != chosen.end() && !(it->second.flags & LexiconFormat::Borrowed)) {
                borrowed.syllables = it->second.syllables;
                borrowed.flags |= it->second.flags & LexiconFormat::Polyphone;
                break;
            }
        }
        if (borrowed.syllables.empty() && own.contains(c))
            borrowed.syllables = {own.value(c)};
        if (borrowed.syllables.empty())
            continue;
        if (auto it = chosen.find(word); it != chosen.end())
            borrowed.weight = it->second.weight;
        chosen[word] = borrowed;
        ++added;
    }
    return added;
}

// ---- writing ----------------------------------------------------------------

template<typename T> void append(QByteArray &out, const T &value)
{
    out.append(reinterpret_cast<const char *>(&value), sizeof(T));
}

// Marks the phrases typed as a unit that are read as their characters read
// alone and are not words of their own: a pronoun, preposition or adverb
// with what follows it (我的, 在教, 為你, 都還), or a word with the particle
// 的 or 了 or a pronoun after it (當了, 幫我).
void markTransparent(std::map<QString, Chosen> &chosen)
{
    static constexpr char16_t Heads[]
        = u"我你妳他她它這那在把被給對向跟從為讓叫都也就還又才別很太最更";
    static constexpr char16_t Tails[] = u"的了我你妳他她它";
    for (auto &[word, c] : chosen) {
        const QList<uint> chars = word.toUcs4();
        if (chars.size() < 2)
            continue;
        const bool phrase = QStringView(Heads).contains(QChar(char16_t(chars.front())))
            || QStringView(Tails).contains(QChar(char16_t(chars.back())));
        bool same = phrase;
        for (qsizetype k = 0; k < chars.size() && same; ++k) {
            const auto single = chosen.find(textOf(char32_t(chars[k])));
            same = single != chosen.end()
                && single->second.syllables.front() == c.syllables[size_t(k)];
        }
        if (same)
            c.flags |= LexiconFormat::Transparent;
    }
}

QByteArray encode(const std::map<QString, Chosen> &chosen)
{
    std::vector<QByteArray> syllableNames;
    QHash<QByteArray, quint16> syllableIds;
    std::vector<LexiconFormat::Entry> entries;
    std::vector<char16_t> text;
    std::vector<quint16> readings;
    quint32 maxWord = 0;
    quint64 total = 0;
    // std::map orders QStrings by UTF-16 code units, which is the order the
    // reader searches in.
    for (const auto &[word, c] : chosen) {
        LexiconFormat::Entry e {};
        e.text = quint32(text.size());
        e.textLength = quint16(word.size());
        e.syllables = quint8(c.syllables.size());
        e.flags = c.flags;
        e.reading = quint32(readings.size());
        e.weight = c.weight;
        for (QChar ch : word)
            text.push_back(ch.unicode());
        for (const QByteArray &s : c.syllables) {
            auto it = syllableIds.constFind(s);
            if (it == syllableIds.constEnd()) {
                it = syllableIds.insert(s, quint16(syllableNames.size()));
                syllableNames.push_back(s);
            }
            readings.push_back(it.value());
        }
        maxWord = std::max<quint32>(maxWord, quint32(word.size()));
        total += c.weight;
        entries.push_back(e);
    }
    if (text.size() % 2)
        text.push_back(0);
    if (readings.size() % 2)
        readings.push_back(0);

    QByteArray out;
    LexiconFormat::Header h {};
    std::copy(std::begin(LexiconFormat::Magic), std::end(LexiconFormat::Magic), h.magic);
    h.version = LexiconFormat::Version;
    h.syllableCount = quint32(syllableNames.size());
    h.entryCount = quint32(entries.size());
    h.textUnits = quint32(text.size());
    h.readingUnits = quint32(readings.size());
    h.maxWordUnits = maxWord;
    h.totalWeight = quint32(std::min<quint64>(total, 0xffffffffu));
    append(out, h);
    for (const QByteArray &s : syllableNames)
        out.append(s.leftJustified(LexiconFormat::SyllableBytes, '\0', true));
    for (const LexiconFormat::Entry &e : entries)
        append(out, e);
    for (char16_t u : text)
        append(out, u);
    for (quint16 r : readings)
        append(out, r);
    return out;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 4 && argc != 5) {
        std::fprintf(stderr,
            "usage: lexgen <chewing data folder> <corrections> <output> [<Unihan folder>]\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    Source source;
    if (!readFile(folder + QStringLiteral("/index_tree.dat"), &source.tree)
        || !readFile(folder + QStringLiteral("/dictionary.dat"), &source.phrases)
        || source.tree.size() < 8) {
        std::fprintf(stderr, "lexgen: no libchewing phrase data in %s\n", argv[1]);
        return 1;
    }
    std::vector<quint16> phones;
    source.walk(0, phones, 0);

    std::map<QString, Correction> corrections;
    QString error;
    if (!readCorrections(QString::fromLocal8Bit(argv[2]), &corrections, &error)) {
        std::fprintf(stderr, "lexgen: %s\n", qPrintable(error));
        return 1;
    }
    std::map<QString, Chosen> chosen = choose(source, corrections);
    QSet<char32_t> inWords;
    for (const auto &[word, readings] : source.words) {
        const QList<uint> chars = word.toUcs4();
        if (chars.size() > 1)
            inWords.unite(QSet<char32_t>(chars.cbegin(), chars.cend()));
    }
    const int borrowed
        = argc == 5 ? borrowReadings(chosen, inWords, QString::fromLocal8Bit(argv[4])) : 0;
    markTransparent(chosen);
    const QByteArray data = encode(chosen);
    QSaveFile out(QString::fromLocal8Bit(argv[3]));
    if (!out.open(QIODevice::WriteOnly) || out.write(data) != data.size() || !out.commit()) {
        std::fprintf(stderr, "lexgen: cannot write %s\n", argv[3]);
        return 1;
    }
    std::printf("lexgen: %zu words, %d characters from the Unicode Han database\n",
        source.words.size(), borrowed);
    return 0;
}
