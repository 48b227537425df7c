#include "speech/ChineseScript.h"

#include "speech/LexiconFormat.h"
#include "system/Log.h"

#include <opencc.h>

#include <QList>
#include <QSet>

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace ChineseScript
{

namespace
{

std::atomic<Conversion> chosen {Conversion::S2TW};

enum class Script { Traditional, Simplified };

// The OpenCC converters, opened on first use and kept for the life of the
// process (the engine's thread may still be reading while it ends).
class Converters
{
public:
    static Converters &instance()
    {
        static Converters *converters = new Converters;
        return *converters;
    }

    // `text` through the OpenCC configuration `config` (a file name of
    // OpenCC's data folder); unchanged where that cannot be opened.
    QString convert(const QString &text, const char *config)
    {
        std::lock_guard lock(m_mutex);
        opencc_t &handle = m_handles[config];
        if (handle == nullptr) {
            handle = opencc_open(config);
            if (handle == opencc_t(-1))
                qCWarning(lcSpeech).noquote()
                    << "OpenCC cannot open" << config << ":" << opencc_error()
                    << "(Simplified text is read character by character)";
        }
        if (handle == opencc_t(-1))
            return text;
        const QByteArray utf8 = text.toUtf8();
        char *out = opencc_convert_utf8(handle, utf8.constData(), size_t(utf8.size()));
        if (out == nullptr)
            return text;
        const QString result = QString::fromUtf8(out);
        opencc_convert_utf8_free(out);
        return result;
    }

    // Whether Taiwan writes `c` otherwise (啓 as 啟, 裏 as 裡): the
    // characters t2tw changes, found once by converting every unified
    // ideograph of the basic plane.
    bool isVariant(char32_t c)
    {
        std::call_once(m_variantsFound, [this] {
            QString all;
            for (char16_t u = 0x3400; u < 0xA000; ++u)
                all.append(QChar(u));
            const QString taiwan = convert(all, "t2tw.json");
            if (taiwan.size() != all.size())
                return;
            for (qsizetype i = 0; i < all.size(); ++i) {
                if (taiwan.at(i) != all.at(i))
                    m_variants.insert(all.at(i).unicode());
            }
        });
        return c <= 0xFFFF && m_variants.contains(char16_t(c));
    }

    bool isAvailable()
    {
        convert(QStringLiteral("汉"), "s2tw.json");
        std::lock_guard lock(m_mutex);
        return m_handles["s2tw.json"] != opencc_t(-1);
    }

private:
    std::mutex m_mutex;
    std::map<std::string, opencc_t> m_handles;
    std::once_flag m_variantsFound;
    QSet<char16_t> m_variants;
};

const char *configOf(Conversion conversion)
{
    switch (conversion) {
    case Conversion::S2T:
        return "s2t.json";
    case Conversion::S2TW:
        return "s2tw.json";
    case Conversion::S2TWP:
        return "s2twp.json";
    case Conversion::None:
        break;
    }
    return nullptr;
}

bool isHan(char32_t c)
{
    return (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF)
        || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0x20000 && c <= 0x3FFFF);
}

bool isCompatibilityIdeograph(char32_t c)
{
    return (c >= 0xF900 && c <= 0xFAFF) || (c >= 0x2F800 && c <= 0x2FA1F);
}

// The unified ideograph a compatibility ideograph stands for, else c.
char32_t unified(char32_t c)
{
    if (!isCompatibilityIdeograph(c))
        return c;
    const QList<uint> d
        = QString::fromUcs4(&c, 1).normalized(QString::NormalizationForm_C).toUcs4();
    return d.size() == 1 ? char32_t(d.first()) : c;
}

bool endsSentence(char32_t c)
{
    switch (c) {
    case U'。':
    case U'！':
    case U'？':
    case U'；':
    case U'!':
    case U'?':
    case U';':
    case U'\n':
        return true;
    default:
        return false;
    }
}

// One code point of a MappedText: its units [unit, unit + units).
struct Point {
    char32_t c;
    int unit;
    int units;
};

QList<Point> pointsOf(const MappedText &text, int from, int to)
{
    QList<Point> out;
    for (int i = from; i < to;) {
        const QChar u = text.text.at(i);
        int units = 1;
        char32_t c = u.unicode();
        if (u.isHighSurrogate() && i + 1 < to && text.text.at(i + 1).isLowSurrogate()) {
            c = QChar::surrogateToUcs4(u, text.text.at(i + 1));
            units = 2;
        }
        out.append({c, i, units});
        i += units;
    }
    return out;
}

void appendPoint(MappedText &out, const MappedText &text, const Point &p, char32_t c)
{
    const int from = text.from[p.unit];
    const int to = text.to[p.unit + p.units - 1];
    const bool generated = text.generated[p.unit];
    const bool pair = QChar::requiresSurrogates(c);
    if (pair) {
        out.text.append(QChar(QChar::highSurrogate(c)));
        out.text.append(QChar(QChar::lowSurrogate(c)));
    } else {
        out.text.append(QChar(char16_t(c)));
    }
    for (int k = pair ? 2 : 1; k > 0; --k) {
        out.from.append(from);
        out.to.append(to);
        out.generated.append(generated);
    }
}

// Outside its phrases OpenCC takes 干 for 幹 (to do); after a throat, lips,
// skin or soil, a sauce boiled down (收干) or a way of drying (甩干, 晾干), at
// the end of a clause, before a 了 that ends one (树叶干了), or before what is
// dried (干豆角, 干发), it is 乾 (dry); after 着 it is done (对着干).
bool isDry(const QList<Point> &points, qsizetype k)
{
    auto at = [&](qsizetype i) { return i < points.size() ? points[i].c : U'。'; };
    const char32_t next = at(k + 1);
    if (k > 0 && points[k - 1].c == U'着')
        return false;
    // A throat, lips or skin that 干 are dry, whatever follows (嗓子干得难受).
    const char32_t before = k > 0 ? points[k - 1].c : U'。';
    if (QStringView(u"咙喉嘴唇肤舌土收甩晾烘吹擦晒").contains(QChar(char16_t(before)))
        || (before == U'子' && k > 1 && points[k - 2].c == U'嗓'))
        return true;
    if (next == U'了')
        return !isHan(at(k + 2));
    // Not dried by the sun or a dryer (晒不干).
    if (before == U'不' && k > 1
        && QStringView(u"晒晾烘吹擦弄").contains(QChar(char16_t(points[k - 2].c))))
        return true;
    // Dry enough to peel or crack (皮肤干得起皮).
    if (next == U'得' && QStringView(u"起裂脱掉").contains(QChar(char16_t(at(k + 2)))))
        return true;
    // Dried through, or dry and wet (干不透, 见干见湿, 干湿分离).
    if ((next == U'不' && at(k + 2) == U'透') || next == U'湿'
        || (before == U'见' && next == U'见'))
        return true;
    // Hair that is dried (干发速度), not something set going (干发展).
    if (next == U'发')
        return !QStringView(u"展生现出表布动明挥达放起票言誓射行扬育酵热烧")
                    .contains(QChar(char16_t(at(k + 2))));
    return !isHan(next)
        || QStringView(u"燥净杯脆瘪货果粮垃海皮又豆菜").contains(QChar(char16_t(next)));
}

// 树干, 主干, 骨干: a trunk, which OpenCC gets right, even at the end of a
// clause.
bool isTrunk(const QList<Point> &points, qsizetype k)
{
    return k > 0 && QStringView(u"树主骨枝躯茎").contains(QChar(char16_t(points[k - 1].c)));
}

// More of OpenCC's slips: 别着 is don't (別著急), not 彆 (彆扭 is the only
// word it heads); 冲着 is facing (衝著), not rinsing; 只 before an animal,
// and doubled after 一 (一只只), is its measure word, and after an adverb
// (还是只爱, 并且只, 最多只) it is only; 发 after the adverb 直 is 發;
// 卷 rolls, 系 ties and 干将 is a capable hand where the words around say so.
char32_t mended(const QList<Point> &points, qsizetype k, char32_t c)
{
    const bool beforeZhe = k + 1 < points.size() && points[k + 1].c == U'着';
    // 别强迫, 别强人所难: don't, not the stubborn 彆強 of OpenCC's phrases.
    const bool beforeForcing = k + 2 < points.size() && points[k + 1].c == U'强'
        && QStringView(u"迫求调撑人").contains(QChar(char16_t(points[k + 2].c)));
    if (points[k].c == U'别' && c == U'彆' && (beforeZhe || beforeForcing))
        return U'別';
    if (points[k].c == U'冲' && c == U'沖') {
        // …and before someone who is shouted at (冲我发火).
        const bool atSomeone = k + 2 < points.size()
            && QStringView(u"我你他她").contains(QChar(char16_t(points[k + 1].c)))
            && QStringView(u"发吼喊叫嚷笑来").contains(QChar(char16_t(points[k + 2].c)));
        if (beforeZhe || atSomeone)
            return U'衝';
    }
    const bool beforeAnimal = k + 1 < points.size()
        && QStringView(u"鸡猫狗鸟鸭鹅兔羊猴虎熊").contains(QChar(char16_t(points[k + 1].c)));
    if (points[k].c == U'只' && c == U'只' && beforeAnimal)
        return U'隻';
    // 一只只: the measure word doubled (一隻隻蝴蝶).
    const bool afterMeasure = k > 0 && points[k - 1].c == U'只' && k > 1
        && QStringView(u"一两几每").contains(QChar(char16_t(points[k - 2].c)));
    const bool beforeItsDouble
        = k + 1 < points.size() && points[k + 1].c == U'只' && k > 0 && points[k - 1].c == U'一';
    if (points[k].c == U'只' && c == U'只' && (afterMeasure || beforeItsDouble))
        return U'隻';
    // …and after an adverb it is only (别只看价格), which OpenCC takes for
    // the measure word.
    auto before = [&](qsizetype back, QStringView among) {
        return k >= back && among.contains(QChar(char16_t(points[k - back].c)));
    };
    const bool afterAdverb = before(1, u"别不就才都也还却仅并又且")
        || (before(1, u"是") && before(2, u"还或就可但要若只不也都总倒"))
        || (before(1, u"多") && before(2, u"最至顶"));
    if (points[k].c == U'只' && c == U'隻' && afterAdverb)
        return U'只';
    // 一直发烧, 直发抖: 直 is an adverb, not straight hair (直髮).
    const bool afterStraight = before(1, u"直")
        && (before(2, u"一就都还老总")
            || (k + 1 < points.size()
                && QStringView(u"抖烧出生现表炎愁呆麻冷热慌")
                       .contains(QChar(char16_t(points[k + 1].c)))));
    // 背后 is behind someone's back, not carrying after (揹後).
    if (points[k].c == U'背' && c == U'揹' && k + 1 < points.size() && points[k + 1].c == U'后')
        return U'背';
    // 发霉, 发酵, 发芽 grow, even after 掉 (切掉发霉的部分, not 掉髮).
    const bool beforeGrowth = k + 1 < points.size()
        && QStringView(u"霉酵芽").contains(QChar(char16_t(points[k + 1].c)));
    if (points[k].c == U'发' && c == U'髮' && (afterStraight || beforeGrowth))
        return U'發';
    // 明了 is understood (简单明了) only where 明 does not end a word of its
    // own: 文明了, 说明了 take the particle, which OpenCC writes 瞭.
    if (points[k].c == U'了' && c == U'瞭' && before(1, u"明")
        && before(2, u"文聪说光证表声标查阐发透分清鲜高开精英"))
        return U'了';
    // 卷 rolls something up (卷我屋上三重茅, 帘卷西风, 卷起袖子, 把袖子卷好)
    // where OpenCC keeps the scroll (试卷好难 stays one).
    const bool beforeRolled = k + 1 < points.size()
        && QStringView(u"我你他起走入进着了西高好得紧成").contains(QChar(char16_t(points[k + 1].c)))
        && !before(1, u"试考问答画书开試問畫書開上下");
    if (points[k].c == U'卷' && c == U'卷' && beforeRolled)
        return U'捲';
    // 系 ties a tie, a lace, a scarf or a belt named a little before it
    // (领带怎么系, 鞋带松了，蹲下来系一下), in the same sentence.
    if (points[k].c == U'系' && c != U'繫') {
        bool tieBefore = false;
        for (qsizetype i = k - 1; i >= 0 && k - i <= 14
             && !QStringView(u"。？！?!").contains(QChar(char16_t(points[i].c)));
             --i)
            tieBefore = tieBefore || QStringView(u"带绳巾").contains(QChar(char16_t(points[i].c)));
        const bool beforeSystem = k + 1 < points.size()
            && QStringView(u"统列数").contains(QChar(char16_t(points[k + 1].c)));
        // (…not a department: 中文系, 数学系.)
        if (tieBefore && !beforeSystem && !before(1, u"关联体派谱文学科院"))
            return U'繫';
    }
    // 一干就是半辈子: once one takes it up, done for years.
    if (points[k].c == U'干' && c != U'幹' && k > 0 && points[k - 1].c == U'一'
        && k + 2 < points.size() && points[k + 1].c == U'就' && points[k + 2].c == U'是')
        return U'幹';
    // 干得很好, 干得漂亮: done well, not dried nor concerned.
    if (points[k].c == U'干' && c != U'幹' && k + 2 < points.size() && points[k + 1].c == U'得') {
        const char32_t then = k + 3 < points.size() ? points[k + 3].c : U'。';
        if (QStringView(u"好漂出不").contains(QChar(char16_t(points[k + 2].c)))
            || (points[k + 2].c == U'很' && QStringView(u"好出棒").contains(QChar(char16_t(then)))))
            return U'幹';
    }
    if (points[k].c == U'干' && c == U'乾') {
        const char32_t next = k + 1 < points.size() ? points[k + 1].c : U'。';
        // 干点家务, 干些活: doing some work, not a dry spot.
        if (QStringView(u"点些").contains(QChar(char16_t(next))) && k + 2 < points.size()
            && QStringView(u"家活事正别什").contains(QChar(char16_t(points[k + 2].c))))
            return U'幹';
        // 你干的, 谁干的, 谁爱干谁干: someone does it, not dried.
        if ((before(1, u"你我他她谁们")
                && QStringView(u"的了啥嘛吗什谁").contains(QChar(char16_t(next))))
            || (before(1, u"谁爱") && !isHan(next)))
            return U'幹';
    }
    // 干发: dry hair (干发速度), where 干 is dry.
    if (points[k].c == U'发' && before(1, u"干") && isDry(points, k - 1))
        return U'髮';
    // 干将 after a skill or a team is a capable hand (技术干将), not the
    // legendary sword.
    if (points[k].c == U'干' && c == U'干' && k + 1 < points.size() && points[k + 1].c == U'将'
        && before(1, u"术务力员名队门得"))
        return U'幹';
    return c;
}

// Simplified characters that stand for traditional ones read otherwise,
// each with its forms. Outside its phrase list OpenCC picks one form
// whatever the words around it (这么干净 as 幹淨, 此系统 as 係統).
struct Forms {
    char32_t simplified;
    const char16_t *traditional;
};
constexpr Forms Ambiguous[] = {
    {U'干', u"乾幹干"},
    {U'发', u"發髮"},
    {U'只', u"只隻"},
    {U'卷', u"卷捲"},
    {U'几', u"幾几"},
    {U'系', u"系係繫"},
    {U'冲', u"沖衝"},
    {U'杆', u"杆桿"},
};
// Whether `c` is one of the characters whose form the words around it
// settle, even where nothing else tells the script (一只只蝴蝶).
bool isMended(char32_t c)
{
    for (const Forms &f : Ambiguous) {
        if (c == f.simplified)
            return true;
    }
    return c == U'别';
}

// How much likelier, as a log probability, the lexicon must find another
// form than OpenCC's before it is read instead.
constexpr double Surer = 2.0;

// The form of converted[k] (an Ambiguous character) that makes the likeliest
// words of the Chinese around it, where OpenCC's form stands alone. Only a
// form that joins a word can win: how often a character is written alone
// decides nothing (系 is commoner than 繫, but not in 繫鞋帶).
char32_t likeliest(std::vector<char32_t> &converted, qsizetype k, const char16_t *forms,
    const MandarinLexicon &lexicon)
{
    const auto n = qsizetype(converted.size());
    qsizetype a = k;
    while (a > 0 && k - a < 3 && isHan(converted[size_t(a - 1)]))
        --a;
    qsizetype b = k + 1;
    while (b < n && b - k < 4 && isHan(converted[size_t(b)]))
        ++b;
    const char32_t opencc = converted[size_t(k)];
    struct Scored {
        double score;
        int word = -1; // the word of two or more characters converted[k] is part of
    };
    auto scored = [&](char32_t c) {
        converted[size_t(k)] = c;
        const QString around = QString::fromUcs4(converted.data() + a, b - a);
        converted[size_t(k)] = opencc;
        const MandarinLexicon::Cut cut = lexicon.cut(around);
        int at = 0; // converted[k]'s first unit in `around`
        for (qsizetype i = a; i < k; ++i)
            at += converted[size_t(i)] > 0xFFFF ? 2 : 1;
        for (const MandarinLexicon::Cut::Word &w : cut.words) {
            if (w.start <= at && at < w.start + w.length && w.length > 1 && w.entry >= 0
                && !(lexicon.flags(w.entry) & LexiconFormat::Transparent))
                return Scored {cut.score, w.entry};
        }
        return Scored {cut.score};
    };
    // A form of OpenCC's inside a word is its phrase list's choice, and
    // the lexicon's counts are no better judge of it (白髮生 is no 發生).
    const Scored own = scored(opencc);
    if (own.word >= 0)
        return opencc;
    char32_t best = opencc;
    double bestScore = own.score + Surer;
    for (const char16_t *f = forms; *f != 0; ++f) {
        if (char32_t(*f) == opencc)
            continue;
        if (const Scored s = scored(char32_t(*f)); s.word >= 0 && s.score > bestScore) {
            best = char32_t(*f);
            bestScore = s.score;
        }
    }
    return best;
}

// 只 after a number or a demonstrative, where a word of 只 does not tell
// only (这只是) from the measure word (那只要多少钱, 这只会叫): OpenCC's
// phrases decide it.
bool isMeasure(const QList<Point> &points, qsizetype k)
{
    if (points[k].c != U'只' || k == 0)
        return false;
    const char32_t before = points[k - 1].c;
    if (before == U'多')
        return k < 2 || !QStringView(u"最至顶").contains(QChar(char16_t(points[k - 2].c)));
    return QStringView(u"这那哪每一二两三四五六七八九十几半").contains(QChar(char16_t(before)));
}

// Units [from, to) of `text`, read as `converted` where that keeps one
// character per character; else each character converted on its own.
void appendConverted(MappedText &out, const MappedText &text, const QList<Point> &points,
    const QString &converted, const char *config, const MandarinLexicon &lexicon)
{
    const QList<uint> to = converted.toUcs4();
    if (to.size() == points.size()) {
        std::vector<char32_t> chars;
        for (uint c : to)
            chars.push_back(unified(char32_t(c)));
        for (qsizetype k = 0; k < points.size(); ++k) {
            for (const Forms &f : Ambiguous) {
                if (points[k].c == f.simplified && !isMeasure(points, k))
                    chars[size_t(k)] = likeliest(chars, k, f.traditional, lexicon);
            }
        }
        for (qsizetype k = 0; k < points.size(); ++k) {
            char32_t c = chars[size_t(k)];
            // 干 after a modal or 苦/實/精 is to do (能干, 敢干, 苦干), which
            // OpenCC leaves as 干 (to concern), unless it concerns in a word
            // (不要干扰, 不想干涉).
            const bool concerns = c == U'干' && k + 1 < points.size()
                && lexicon.find(QString::fromUcs4(&chars[size_t(k)], 2)) >= 0;
            const bool afterDoer = k > 0 && !concerns
                && QStringView(u"能敢肯想要会苦实精蛮").contains(QChar(char16_t(points[k - 1].c)))
                && (k + 1 >= points.size() || !isHan(points[k + 1].c) || !isDry(points, k));
            if (points[k].c == U'干' && c != U'乾' && afterDoer)
                c = U'幹';
            else if (points[k].c == U'干' && c == U'幹' && isDry(points, k) && !isTrunk(points, k))
                c = U'乾';
            c = mended(points, k, c);
            appendPoint(out, text, points[k], c);
        }
        return;
    }
    for (const Point &p : points) {
        char32_t c = unified(p.c);
        if (config != nullptr && isHan(c)) {
            const QList<uint> one
                = Converters::instance().convert(QString::fromUcs4(&c, 1), config).toUcs4();
            if (one.size() == 1)
                c = char32_t(one.first());
        }
        appendPoint(out, text, p, c);
    }
}

// How many characters of `text` are in words of two or more characters,
// taking the longest word at each place.
int inWords(QStringView text, const MandarinLexicon &lexicon)
{
    MandarinLexicon::Match matches[24];
    int covered = 0;
    for (qsizetype i = 0; i < text.size();) {
        const int found = lexicon.wordsAt(text.sliced(i), matches, int(std::size(matches)));
        const int longest = found > 0 ? matches[found - 1].length : 1;
        if (found > 0 && QStringView(text).sliced(i, longest).toUcs4().size() > 1)
            covered += longest;
        i += longest;
    }
    return covered;
}

// A sentence that only uses characters both scripts share, with nothing
// before it to tell its script (干部 alone): read converted when that makes
// more of it into words the lexicon knows (幹部).
bool readsBetterConverted(QStringView sentence, const MandarinLexicon &lexicon, const char *config)
{
    const QString written = sentence.toString();
    const QString converted = Converters::instance().convert(written, config);
    return converted != written && inWords(converted, lexicon) > inWords(written, lexicon);
}

} // namespace

void setConversion(Conversion conversion)
{
    chosen = conversion;
}

Conversion conversion()
{
    return chosen;
}

bool isAvailable()
{
    return Converters::instance().isAvailable();
}

QString convert(const QString &text, Conversion conversion)
{
    const char *config = configOf(conversion);
    return config ? Converters::instance().convert(text, config) : text;
}

MappedText toTraditional(const MappedText &text, const MandarinLexicon &lexicon)
{
    // Each sentence's units and the configuration it is read through (null:
    // as written). Most text needs none, and is then handed back as it is.
    struct Sentence {
        int from;
        int to;
        const char *config;
    };
    QList<Sentence> sentences;
    bool anyConverted = false;
    Script script = Script::Traditional;
    bool decided = false; // whether a sentence so far told its script
    const int n = text.size();
    for (int begin = 0; begin < n;) {
        int simplified = 0;
        int traditional = 0;
        bool unusual = false; // a form the lexicon does not read natively
        bool shared = false; // a character that also stands for other traditional ones
        int end = begin;
        while (end < n) {
            const QChar u = text.text.at(end);
            char32_t c = u.unicode();
            if (u.isHighSurrogate() && end + 1 < n && text.text.at(end + 1).isLowSurrogate())
                c = QChar::surrogateToUcs4(u, text.text.at(++end));
            ++end;
            if (isHan(c)) {
                const quint8 flags = lexicon.characterFlags(c);
                shared = shared || (flags & LexiconFormat::SharedForm);
                simplified += (flags & LexiconFormat::SimplifiedForm) ? 1 : 0;
                traditional += (flags & LexiconFormat::TraditionalForm) ? 1 : 0;
                unusual = unusual || (flags & LexiconFormat::Borrowed)
                    || isCompatibilityIdeograph(c) || Converters::instance().isVariant(c)
                    || isMended(c) || (flags == 0 && !lexicon.knowsCharacter(c));
            }
            if (endsSentence(c))
                break;
        }
        if (simplified != traditional) {
            script = simplified > traditional ? Script::Simplified : Script::Traditional;
            decided = true;
        }
        const char *config = script == Script::Simplified ? configOf(chosen) : nullptr;
        if (!decided && shared && configOf(chosen) != nullptr
            && readsBetterConverted(
                QStringView(text.text).sliced(begin, end - begin), lexicon, configOf(chosen)))
            config = configOf(chosen);
        if (config == nullptr && unusual)
            config = "t2tw.json";
        anyConverted = anyConverted || config != nullptr;
        sentences.append({begin, end, config});
        begin = end;
    }
    if (!anyConverted)
        return text;

    MappedText out;
    for (const Sentence &s : sentences) {
        if (s.config == nullptr) {
            out.appendUnits(text, s.from, s.to);
            continue;
        }
        const QString written = text.text.mid(s.from, s.to - s.from);
        appendConverted(out, text, pointsOf(text, s.from, s.to),
            Converters::instance().convert(written, s.config), s.config, lexicon);
    }
    return out;
}

} // namespace ChineseScript
