#include "speech/MandarinPolyphones.h"

#include "speech/MandarinPolyphoneRules.h"

#include <QHash>
#include <QList>

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace MandarinPolyphones
{

namespace
{

bool isHan(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 0x3400 && u <= 0x4DBF) || (u >= 0x4E00 && u <= 0x9FFF) || c.isSurrogate();
}

bool inSet(const char16_t *set, QStringView run, int at)
{
    if (set == nullptr)
        return true;
    if (at < 0 || at >= run.size())
        return false;
    return QStringView(set).contains(run[at]);
}

// The units [from, to) of the sentence around text[at], ended by one of
// `ends` and reaching at most 64 characters either side.
std::pair<int, int> sentenceAround(QStringView text, int at, QStringView ends)
{
    constexpr int Reach = 64;
    int from = at;
    while (from > 0 && at - from < Reach && !ends.contains(text[from - 1]))
        --from;
    int to = at;
    while (to < text.size() && to - at < Reach && !ends.contains(text[to]))
        ++to;
    return {from, to};
}

// Whether text[at] is in a sentence of two or more clauses of the same
// length (five or seven characters; four-character pairs are everyday prose)
// without the particles and pronouns of modern prose: a couplet of verse.
bool inVerse(QStringView text, int at)
{
    static constexpr char16_t Modern[] = u"的們嗎呢吧這那麼個您啊喔哦呀很沒啦你妳她";
    const auto [from, to] = sentenceAround(text, at, u"。？！；\n");
    int clauses = 0;
    int first = 0;
    int length = 0;
    for (int i = from; i <= to; ++i) {
        const bool han = i < to && isHan(text[i]);
        // 那 before 得, 知 or 堪 is the classical how (問渠那得清如許).
        const bool classicalNa = han && text[i] == u'那' && i + 1 < to
            && QStringView(u"得知堪能").contains(text[i + 1]);
        if (han && QStringView(Modern).contains(text[i]) && !classicalNa)
            return false;
        if (han) {
            ++length;
            continue;
        }
        if (length == 0)
            continue;
        if (clauses == 0)
            first = length;
        if (length != first || (length != 5 && length != 7))
            return false;
        ++clauses;
        length = 0;
    }
    return clauses >= 2;
}

// Whether the preposition 以 or a verb that names or chooses (選, 推, 封,
// 尊…) stands earlier in the clause of text[at], so that 為 says what
// something is taken as: not the 以 of 可以, 所以, 以後 and their kind.
bool afterNaming(QStringView text, int at)
{
    static constexpr char16_t Naming[] = u"選推封稱尊奉拜任評譽";
    static constexpr char16_t NotBefore[] = u"所可難得足予加用藉據賴是何";
    static constexpr char16_t NotAfter[] = u"後前上下及免便致來外內為至往";
    if (at < 1 || !isHan(text[at - 1]))
        return false;
    // 以 reaches further back, across a list (以穿粗衣、吃粗食為恥).
    for (int i = at - 2; i >= 0 && at - i <= 12 && (isHan(text[i]) || text[i] == u'、'); --i) {
        if (at - i <= 8 && QStringView(Naming).contains(text[i]))
            return true;
        if (text[i] != u'以')
            continue;
        const bool word = (i > 0 && QStringView(NotBefore).contains(text[i - 1]))
            || QStringView(NotAfter).contains(text[i + 1]);
        if (!word)
            return true;
    }
    return false;
}

// Whether 把 or 將 stands earlier in the clause of text[at] as the
// preposition that brings the object forward (把垃圾倒掉, 將他當朋友): not
// a handle or a measure (把手, 一把), nor 將 as will or a general (將會,
// 將軍).
bool afterBa(QStringView text, int at)
{
    static constexpr char16_t NotBefore[] = u"一二兩三四五六七八九十幾這那哪每火拖車刀";
    static constexpr char16_t NotAfter[] = u"握關手戲柄守持玩脈會要近來軍領士";
    if (at < 1 || !isHan(text[at - 1]))
        return false;
    for (int i = at - 2; i >= 0 && at - i <= 10 && isHan(text[i]); --i) {
        if (text[i] != u'把' && text[i] != u'將')
            continue;
        if (!(i > 0 && QStringView(NotBefore).contains(text[i - 1]))
            && !QStringView(NotAfter).contains(text[i + 1]))
            return true;
    }
    return false;
}

// Whether the characters after text[at] in its clause start with one of
// `words` (two characters each), `skip` characters on.
bool followedBy(QStringView text, int at, int skip, QStringView words)
{
    const int from = at + 1 + skip;
    if (from + 2 > text.size() || !isHan(text[from]) || !isHan(text[from + 1]))
        return false;
    const QStringView next = text.sliced(from, 2);
    for (qsizetype i = 0; i + 2 <= words.size(); i += 2) {
        if (words.sliced(i, 2) == next)
            return true;
    }
    return false;
}

// Whether one of `chars` stands within `reach` characters before (a
// negative reach: after) text[at] in its clause.
bool nearby(QStringView text, int at, int reach, QStringView chars)
{
    const int step = reach < 0 ? 1 : -1;
    for (int i = at + step;
         i >= 0 && i < text.size() && std::abs(i - at) <= std::abs(reach) && isHan(text[i]);
         i += step) {
        if (chars.contains(text[i]))
            return true;
    }
    return false;
}

// Whether one of `words` (two characters each) starts within `reach`
// characters after text[at] in its clause.
bool ahead(QStringView text, int at, int reach, QStringView words)
{
    for (int i = at + 1; i + 2 <= text.size() && i - at <= reach && isHan(text[i]); ++i) {
        if (followedBy(text, i - 1, 0, words))
            return true;
    }
    return false;
}

// Whether 此, 該 or 本 and a noun of one to three characters stand before
// text[at] (此門為, 本樓層為): not the end of a word (因此, 基本) nor the
// adverb 本來.
bool afterThis(QStringView text, int at)
{
    static constexpr char16_t WordBefore[]
        = u"基根日資成書版課劇腳樣標原老賬帳因從如彼由為於對藉據至特就應活";
    for (int p = at - 2; p >= 0 && p >= at - 4; --p) {
        if (!isHan(text[p + 1]))
            return false;
        if (!QStringView(u"此該本").contains(text[p]))
            continue;
        return text[p + 1] != u'來' && !(p > 0 && QStringView(WordBefore).contains(text[p - 1]));
    }
    return false;
}

// Whether 看 at text[at], with 著, 好 or 一下 after it, keeps watch over
// luggage, a child, a shop or the like, or, with nothing after it, is
// asked to (幫忙看著, 一定要看好).
bool guarding(QStringView text, int at)
{
    // 看家 split by the words around it (幫我看家和餵貓).
    if (at + 1 < text.size() && text[at + 1] == u'家'
        && (at + 2 >= text.size() || !isHan(text[at + 2])
            || QStringView(u"和與跟及").contains(text[at + 2])))
        return true;
    int next = at + 1;
    for (QStringView tail : {u"著", u"着", u"好", u"一下"}) {
        if (text.sliced(next).startsWith(tail)) {
            next += int(tail.size());
            break;
        }
    }
    // Watching a child grow up is not minding it.
    if (next == at + 1 || ahead(text, at, 10, u"長大"))
        return false;
    const auto hanAt = [&](int i) { return i < text.size() && isHan(text[i]); };
    if (!hanAt(next))
        return at > 0 && QStringView(u"忙要得請人").contains(text[at - 1]);
    if (followedBy(text, next - 1, 0, u"您的你的妳的我的他的她的自己")) {
        next += 2;
        if (next < text.size() && text[next] == u'的')
            ++next;
    } else {
        // …or what is said of it first (看好年幼的弟弟, 看著家裡的狗).
        for (int i = next + 1; i <= next + 3 && hanAt(i + 1); ++i) {
            if (text[i] == u'的') {
                next = i + 1;
                break;
            }
        }
    }
    if (followedBy(
            text, next - 1, 0, u"行李孩子小孩弟弟妹妹寶寶車子店面攤位攤子包包錢包隨身火爐教室"))
        return true;
    if (text[next] == u'點' && hanAt(next + 1))
        ++next; // 看著點鍋
    return QStringView(u"車店家門攤鍋火包貓狗").contains(text[next]) && !hanAt(next + 1);
}

// Whether one of `words` (two characters each) stands in the sentence of
// text[at], up to 64 characters either side.
bool inSentence(QStringView text, int at, QStringView words)
{
    const auto [from, to] = sentenceAround(text, at, u"。？！?!\n");
    const QStringView sentence = text.sliced(from, to - from);
    for (qsizetype i = 0; i + 2 <= words.size(); i += 2) {
        if (sentence.contains(words.sliced(i, 2)))
            return true;
    }
    return false;
}

// Whether text[at] is dough: 麵 or 麵糰, or a 面 of Simplified text that
// ends no word of its own (把面和好, 和好了面; not 表面, 見面).
bool isDough(QStringView text, int at)
{
    if (text[at] == u'麵' || text[at] == u'糰')
        return true;
    return text[at] == u'面'
        && (at == 0 || !isHan(text[at - 1])
            || QStringView(u"把了的將些和下").contains(text[at - 1]));
}

// Whether text from `from` on is a number (some of `numbers`) and then one
// of `measures` (了一杯, 了好幾頁).
bool counted(QStringView text, int from, QStringView numbers, QStringView measures)
{
    int i = from;
    while (i < text.size() && numbers.contains(text[i]))
        ++i;
    return i > from && i < text.size() && measures.contains(text[i]);
}

bool holds(When when, QStringView run, int at, int wordBefore)
{
    switch (when) {
    case When::Always:
        return true;
    case When::Start:
        return at == 0 || !isHan(run[at - 1]);
    case When::AfterWord:
        return wordBefore >= 2 && at + 1 < run.size() && isHan(run[at + 1]);
    case When::Repeated:
        return at >= 2 && run[at - 2] == run[at];
    case When::AfterOneByOne:
        return at >= 4 && run[at - 2] == u'一' && run[at - 4] == u'一' && isHan(run[at - 1])
            && isHan(run[at - 3]);
    case When::AfterDouble:
        return at >= 2 && run[at - 2] == run[at - 1] && isHan(run[at - 1]);
    case When::End:
        return at + 1 >= run.size() || !isHan(run[at + 1]);
    case When::Verse:
        return inVerse(run, at);
    case When::Prose:
        return !inVerse(run, at);
    case When::AfterNaming:
        return afterNaming(run, at);
    case When::AfterThis:
        return afterThis(run, at);
    case When::AfterBa:
        return afterBa(run, at);
    case When::BehindSomeone:
        return at + 1 < run.size() && (run[at + 1] == u'著' || run[at + 1] == u'着')
            && (followedBy(
                    run, at, 1, u"媽媽爸爸家長家人父母老師大家別人同學太太先生老婆老公爺爺奶奶")
                || (at + 2 < run.size() && QStringView(u"我你妳他她").contains(run[at + 2])
                    && ahead(run, at + 2, 6, u"偷偷私下偷吃偷看亂說說壞做了")));
    case When::InStuffyAir:
        return (nearby(run, at, 8, u"天氣房間屋室車裡艙廳罩耳") && !nearby(run, at, 8, u"心情"))
            || ahead(run, at, 6, u"透不喘不");
    case When::LeftBehind:
        return at + 1 < run.size() && run[at + 1] == u'在'
            && !(at > 0 && QStringView(u"葉雨雪花灰塵石彈星日").contains(run[at - 1]))
            && (followedBy(run, at, 1,
                    u"車上車裡家裡教室辦公桌上計程公車捷運店裡房間宿舍學校公司座位餐廳飯店旅館沙發"
                    u"廁所床上出租診室診所我車你車他車我家你家他家朋友")
                || (at + 2 < run.size() && run[at + 2] == u'家'
                    && (at + 3 >= run.size() || !isHan(run[at + 3]) || run[at + 3] == u'了')));
    case When::ForSomeone:
        return ahead(run, at, 8,
            u"著想服務加油打氣喝彩鼓掌祈福祈禱操心擔心效力出力犧牲付出主隊捏把爭光慶祝送行提供施打"
            u"接種注射吵架爭吵煩惱發愁"
            u"維護保障確保避免配合因應響應添加打造量身增添帶來擴大緩解改善促進");
    case When::BeforeSomeoneLast:
        return at + 1 < run.size() && QStringView(u"你妳我他她您").contains(run[at + 1])
            && (at + 2 >= run.size() || !isHan(run[at + 2]));
    case When::GoingRound:
        return ahead(run, at, 3, u"半天一圈好久幾圈兩圈個不半個頭暈");
    case When::BeforeADebt:
        return followedBy(run, at, 0, u"信用卡費學貸車貸房貸信貸欠款")
            && !(at + 3 < run.size() && run.sliced(at + 1, 3) == u"信用度");
    case When::Spinning:
        // (Not the moon's wheel of verse: 一輪秋影轉金波.)
        return (nearby(run, at, 4, u"扇輪螺") && !inVerse(run, at))
            || inSentence(run, at, u"陀螺風車風扇電扇")
            || (at >= 3 && run.sliced(at - 3, 3) == u"洗衣機");
    case When::BeforeALoad:
        return nearby(run, at, -6, u"包袋箱孩娃簍囊重") || ahead(run, at, 6, u"行李電腦相機")
            || nearby(run, at, 4, u"包袋簍囊");
    case When::Guarding:
        return guarding(run, at);
    case When::UsedAs: {
        // (The rule may name a word that 當 ends: 可當.)
        const int d = run[at] == u'當' ? at : at + 1;
        for (int i = d + 2; i < run.size() && i - d <= 5 && isHan(run[i]); ++i) {
            // …not the 用 of 使用 or 利用 just after it (當使用這個選項時), but
            // what it serves as may come between (可當現金使用).
            if ((run[i] == u'用' || run[i] == u'吃') && (i + 1 >= run.size() || !isHan(run[i + 1]))
                && (i - 1 > d + 1
                    || !QStringView(u"使利應採運引享作適借試啟起通食").contains(run[i - 1])))
                return true;
        }
        return false;
    }
    case When::IndeedNotAWord:
        return !followedBy(run, at, 0, u"確實確診確保確立確鑿確切確定確認");
    case When::Repaying:
        return inSentence(run, at, u"房貸貸款欠款債務欠債借錢信貸卡債還款還書借書信用");
    case When::Borrowed:
        return inSentence(run, at, u"借給借了借用借走借我借你借他租的");
    case When::Passive:
        return ahead(run, at, 10,
            u"所知所用所愛所共所稱所接所喜所重所詬所困所苦所迫所害所騙所動所欣所推所熟所認所忽"
            u"所青所取所殺所擒所敗所笑所傷所惑所累所感所左所吸所震所折");
    case When::GivingBesides:
        return at + 3 < run.size() && run[at + 1] == u'給'
            && QStringView(u"我你妳他她您").contains(run[at + 2])
            && QStringView(u"講盛買做煮帶寫畫倒泡夾送打拍唱準找介發留剝切削織縫修洗燉炒烤蓋")
                   .contains(run[at + 3]);
    case When::MustDo:
        return followedBy(run, at, 0,
                   u"慢慢多穿多帶多喝多吃多注多休多加多留多準放慢分組分成分開分類分批分段")
            || (at >= 2 && (run.sliced(at - 2, 2) == u"看來" || run.sliced(at - 2, 2) == u"一定"));
    case When::AmongPeers:
        return ahead(run, at + 1, 3, u"前輩業者評測競爭");
    case When::ToAPlace:
        // …and something to do there or nothing after it: not what the place
        // gives (得到公司的獎勵, 得到學校表揚).
        return followedBy(run, at, 1,
                   u"醫院學校公司現場機場車站銀行郵局警局法院門口樓下樓上外面那裡這裡"
                   u"那邊這邊對面旁邊辦公診所區公市政家裡")
            && (at + 4 >= run.size() || !isHan(run[at + 4])
                || QStringView(u"報加上開辦排看處拿領接去等找檢買值補繳簽填趕一")
                       .contains(run[at + 4]));
    case When::ChangingTrains:
        return ahead(run, at, 6, u"地鐵捷運公車火車班車高鐵航班飛機客運");
    case When::LiquidBefore:
        return nearby(run, at, 6, u"圾液油乳醋醬");
    case When::ServingFood:
        return nearby(run, at, -5, u"飯湯粥");
    case When::CarriedSomeone:
        return afterBa(run, at) && !inSentence(run, at, u"課文單字詩詞書經台詞公式答案內容");
    case When::GotIt:
        // …or 了 and a prize or a place won (還得了第一名).
        return followedBy(run, at, 1, u"到了了第了獎了冠了金了銀了銅了一了兩了三");
    case When::LoadInSentence:
        // (…unless a lesson is learnt by heart: 書包裡的課文要背一遍.)
        return inSentence(run, at, u"書包背包肩包包包行李箱子袋子孩子")
            && !inSentence(run, at, u"課文單字詩詞台詞公式答案內容");
    case When::Urinating:
        return nearby(run, at, -4, u"尿");
    case When::Caught:
        return at + 2 < run.size() && run[at + 1] == u'了'
            && QStringView(u"迷火涼急魔").contains(run[at + 2]);
    case When::PouringMeasure:
        return counted(run, at + 2, u"一兩二三半幾滿大小", u"杯碗瓶桶盆壺鍋匙勺盤");
    case When::LeftOut:
        return counted(run, at + 2, u"一兩二三幾好", u"個把本頁張件字樣支枝封")
            || (at + 2 < run.size() && QStringView(u"字行題頁").contains(run[at + 2])
                && (at + 3 >= run.size() || !isHan(run[at + 3])));
    case When::DoughAfter:
        for (int i = at + 1; i < run.size() && i - at <= 6 && isHan(run[i]); ++i) {
            if (isDough(run, i))
                return true;
        }
        return false;
    case When::DoughBefore:
        return at > 0 && isDough(run, at - 1);
    case When::BeforeATime:
        return followedBy(run, at, 0, u"明天今天後天明年下週下次晚上早上");
    case When::TyingABand:
        return nearby(run, at, 6, u"帶繩巾");
    case When::CarryingALoad:
        return (at + 1 >= run.size() || !isHan(run[at + 1]))
            && inSentence(run, at, u"書包背包行李箱子袋子");
    case When::Briefly:
        return followedBy(run, at, 0, u"一下")
            || (at + 2 < run.size() && run[at + 1] == u'一' && run[at + 2] == run[at])
            || (at >= 2 && run[at - 1] == u'一' && run[at - 2] == run[at]);
    case When::Swelling:
        return ahead(run, at, 4, u"通紅紅了鼓鼓發脹滿臉發紫");
    case When::Scratching:
        return ahead(run, at, 6, u"長痕痕跡刮痕傷口口子血痕");
    case When::Frying:
        return ahead(run, at, 4, u"金黃酥脆焦黃金黃");
    case When::StirringUp:
        return ahead(run, at, 6, u"戰爭事端爭端衝突矛盾紛爭爭議事變糾紛戰事對立爭執仇恨內戰爭吵");
    case When::MorningAndEvening:
        if (nearby(run, at, 6, u"暮夕晚") || nearby(run, at, -6, u"暮夕晚"))
            return true;
        // …or evening in the next clause (朝而往，暮而歸).
        for (int i = at + 1; i < run.size() && i - at <= 12; ++i) {
            if (run[i] == u'暮')
                return true;
        }
        return false;
    case When::Backwards:
        return at + 2 < run.size()
            && QStringView(u"拍走放寫念唸數說看插跑開騎掛擺").contains(run[at + 2]);
    case When::BeforeTitle:
        return followedBy(run, at, 0,
                   u"老師阿姨先生小姐伯伯叔叔太太同學教授醫師醫生經理主任副市女士老闆總統部長局長")
            && !(at > 0
                && QStringView(u"曾兼擔出升現新前再連續改轉歷已並又也就才將仍均皆都可來去他她我你")
                       .contains(run[at - 1]));
    case When::Attire:
        return at >= 2 && QStringView(u"的其").contains(run[at - 2])
            && (at + 1 >= run.size() || !isHan(run[at + 1])
                || QStringView(u"很太也都是不有比和與跟還真就方風品").contains(run[at + 1]));
    case When::AtMahjong:
        return (at + 1 >= run.size() || !isHan(run[at + 1]) || run[at + 1] == u'了')
            && inSentence(run, at, u"麻將麻将打牌聽牌自摸胡牌摸牌張牌把牌");
    case When::ToASetting:
        return followedBy(run, at, 0, u"到最到靜到零到適到平")
            || (at + 1 < run.size() && run[at + 1] == u'到' && nearby(run, at, 4, u"度量"))
            || (at + 2 < run.size() && (run[at + 1] == u'到' || run[at + 1] == u'至')
                && (QStringView(u"一二兩三四五六七八九十零").contains(run[at + 2])
                    || run.sliced(at + 2).startsWith(u"百分之"))
                && !(at > 0 && run[at - 1] == u'被'));
    case When::AfterMerging:
        return at >= 2 && run[at - 1] == u'併' && QStringView(u"合歸兼吞").contains(run[at - 2]);
    case When::BeforeFruit:
        return nearby(run, at, -8, u"果瓜桃梨棗橘柿莓")
            || (at + 1 < run.size() && QStringView(u"得滿").contains(run[at + 1])
                && nearby(run, at, 6, u"果瓜桃梨棗橘柿莓"));
    }
    return false;
}

struct Indexed {
    const Rule *rule;
    QStringList syllables;
};

const QHash<char16_t, QList<Indexed>> &rulesByCharacter()
{
    static const QHash<char16_t, QList<Indexed>> table = [] {
        QHash<char16_t, QList<Indexed>> t;
        for (const Rule &r : rules())
            t[r.character].append({&r, QString::fromLatin1(r.reading).split(u' ')});
        return t;
    }();
    return table;
}

} // namespace

const QStringList *readingOf(QStringView run, int at, int length, int wordBefore)
{
    if (at < 0 || at >= run.size())
        return nullptr;
    const auto it = rulesByCharacter().constFind(run[at].unicode());
    if (it == rulesByCharacter().constEnd())
        return nullptr;
    const QStringView word = run.sliced(at, std::min<qsizetype>(length, run.size() - at));
    for (const Indexed &i : *it) {
        const Rule *r = i.rule;
        const bool heads = r->word ? word == QStringView(r->word) : length == 1;
        if (heads && inSet(r->before, run, at - 1) && inSet(r->after, run, at + length)
            && holds(r->when, run, at, wordBefore))
            return &i.syllables;
    }
    return nullptr;
}

QStringList shadowedRules()
{
    QStringList out;
    QHash<char16_t, const Rule *> unconditional;
    for (const Rule &r : rules()) {
        // A rule for a character standing alone that follows one without
        // conditions can never be reached.
        if (r.word == nullptr && unconditional.contains(r.character))
            out.append(QString(QChar(r.character)) + u' ' + QString::fromLatin1(r.reading));
        if (r.word == nullptr && r.before == nullptr && r.after == nullptr
            && r.when == When::Always)
            unconditional.insert(r.character, &r);
    }
    return out;
}

} // namespace MandarinPolyphones
