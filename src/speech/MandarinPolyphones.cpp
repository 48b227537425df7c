#include "speech/MandarinPolyphones.h"

#include <QHash>
#include <QList>

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace MandarinPolyphones
{

namespace
{

enum class When {
    Always,
    Start, // no Chinese character before it
    AfterWord, // after a word of two or more characters (高興地, 慢慢地)
    Repeated, // the character two before is this one (數了數, 數一數)
    AfterDouble, // after a doubled character (輕輕地下著)
    AfterOneByOne, // after one thing and then another (一塊一塊地, 一針一線地)
    End, // no Chinese character after it (記得去還。)
    Verse, // in a line of verse (獨在異鄉為異客，每逢佳節倍思親。)
    Prose, // not in a line of verse
    AfterNaming, // 以 or a verb of naming or choosing before it in the clause
                 // (以竹子為食, 選他為班長)
    AfterThis, // 此, 該 or 本 and a noun before it (此門為出口, 本站為)
    AfterBa, // the preposition 把 or 將 before it in the clause (把垃圾倒在)
    BehindSomeone, // 著 and a person after it (背著媽媽), or a pronoun and
                   // something done in secret (背著我偷偷打電動)
    InStuffyAir, // the weather, a room or a mask earlier in the clause (房間好悶)
    LeftBehind, // 在 and a place things are left in after it (作業落在教室), unless
                // what falls is rain, a leaf or the like
    BeforeFruit, // fruit later in the clause (結了好多果子, 結的桃子)
    ForSomeone, // what is done for someone or to some end later in the clause
                // (為別人著想, 為維護品質)
    AfterMerging, // 合併, 歸併, 兼併 or 吞併 before it (合併為一個)
    ToASetting, // 到 and the most, silent or a number after it (調到最大, 調至二十六度)
    BeforeSomeoneLast, // a pronoun after it, ending the clause (下次見面還你)
    GoingRound, // 半天, 一圈 or 好久 just after it (轉了半天, 轉個不停)
    BeforeALoad, // a bag, a child or luggage later in the clause (背一個雙肩包), or a
                 // bag just before it (書包別只背一邊)
    Briefly, // 一下 after it, or the verb doubled around 一 (涼一涼)
    Swelling, // redness or swelling within a few characters after it (漲得通紅)
    Scratching, // a scratch or a mark within a few characters after it
                // (劃出一道長痕)
    Frying, // golden or crisp within a few characters after it (炸到金黃)
    StirringUp, // a war or a quarrel within a few characters after it
                // (挑起戰爭)
    MorningAndEvening, // 暮, 夕 or 晚 within a few characters (朝如青絲暮成雪,
                       // 朝來寒雨晚來風), or 暮 in the clause after (朝而往，暮而歸)
    Backwards, // 著 and a verb after it (倒著拍, 倒著走)
    BeforeTitle, // a title after it, and no verb of serving before (任老師, not 曾任老師)
    Attire, // 的 or 其 before 穿著 and nothing, or what is said of it, after
            // (他的穿著很隨便)
    AtMahjong, // mahjong in the sentence and the clause ending after it, or 了
               // (麻將打了一下午，一把都沒和)
    UsedAs, // 用 or 吃 closing the clause a few characters after it (當鬧鐘用)
    IndeedNotAWord, // 確 after it starts no word of its own (的確 read apart)
    Repaying, // a loan or a debt in the sentence (房貸還了一半)
    GotIt, // 到了 just after the word (還得到了老師的表揚)
    LoadInSentence, // a bag, luggage or a child in the sentence (行李太重，我幫你背到車上)
    Urinating, // 泡尿 or 尿 within a few characters after it (撒了一泡尿)
    Caught, // 了 and a fire, a chill or a spell after it (著了迷, 著了涼)
    PouringMeasure, // a number of cups or bowls after it (倒了一杯)
    LeftOut, // 了 and a number of something after it (落了一個字)
    DoughAfter, // dough within a few characters after it (和好了面)
    DoughBefore, // dough just before it (面和好以後)
    BeforeATime, // a day or a time just after it (得明天才能到)
    TyingABand, // a tie, a lace, a scarf or a rope a little before it (領帶怎麼繫)
    CarryingALoad, // the clause ending after it and a bag or luggage in the sentence
                   // (書包那麼重，媽媽幫你背)
    Guarding, // 著, 好 or 一下 and what is kept an eye on after it (看著行李),
              // or nothing after them but a request before (幫忙看著, 要看好)
};

struct Rule {
    char16_t character;
    const char *reading; // of the character, or of each character of `word`
    const char16_t *before = nullptr; // the character before is one of these; null: anything
    const char16_t *after = nullptr; // the character after is one of these; null: anything
    When when = When::Always;
    const char16_t *word = nullptr; // the word this character heads; null: it stands alone
};

// Who or what comes before a verb: pronouns and the adverbs of modality.
constexpr char16_t Subjects[]
    = u"我你妳他她它們咱誰就還也都總可非卻倒又只必才真怕已曾終末晚早前次常仍概";
// Numerals, for measures (一行字, 數重山).
constexpr char16_t Numerals[] = u"一二兩三四五六七八九十百千萬數幾多";

// Taiwan's readings (the Ministry of Education's dictionary). Words the
// lexicon holds (得到, 投降, 背包, 種子) are read from it; these rules are for
// the character standing alone.
const Rule Rules[] = {
    // Verse keeps the classical senses: 為 is to be (為異客) unless it is for
    // someone (為君), 得 after a modal is to get (能得幾回聞).
    {u'為', "wei4", nullptr, u"君誰汝爾卿伊吾有聖", When::Verse},
    {u'為', "wei2", nullptr, nullptr, When::Verse},
    {u'得', "de2", u"能安可難豈何未莫求欲報識採那", nullptr, When::Verse},
    {u'那', "na3", nullptr, u"得知堪能", When::Verse},
    // …還 before 來 and home is to return (還來就菊花), 待到 waits until
    // (待到重陽日), 當作 is ought to be (生當作人傑), 明朝 is tomorrow
    // morning (深巷明朝賣杏花), not the dynasty, 遺 someone is to give
    // (遺我雙鯉魚), 斜行 slanting lines, 妻子 wife and children (卻看妻子愁何在)
    // and 那得 how could (問渠那得清如許); 兩重 is two layers (兩重心字).
    {u'還', "huan2", nullptr, u"來家鄉", When::Verse},
    {u'還', "huan2", nullptr, nullptr, When::Verse, u"還來"},
    {u'待', "dai4", nullptr, nullptr, When::Verse, u"待到"},
    {u'當', "dang1", nullptr, nullptr, When::Verse, u"當作"},
    {u'明', "ming2 zhao1", nullptr, nullptr, When::Verse, u"明朝"},
    {u'重', "chong2 xin1", Numerals, nullptr, When::Always, u"重心"},
    {u'行', "hang2", u"斜", nullptr, When::Verse},
    {u'遺', "wei4", nullptr, u"我君誰汝爾", When::Verse},
    {u'妻', "qi1 zi3", nullptr, nullptr, When::Verse, u"妻子"},
    // 得: got (得了獎), must (我得走了, 就得), else the complement particle;
    // 得到 is got (他得到), but can reach after a verb (看得到).
    {u'得', "de5", u"看找買做辦聽吃曬拿用想摸碰趕跑走等見感覺收猜說學記寫讀辨查訂租借約搶", nullptr,
        When::Always, u"得到"},
    {u'得', "de5", u"算比配談稱趕追跟", nullptr, When::Always, u"得上"},
    {u'得', "de2", nullptr, u"了獎分知之兼易"},
    // …got once (他得過獎), but after a verb 得過 is can (跑得過, 調得過低).
    {u'得', "de2", u"我你妳他她它們曾沒從未也都還又", u"過"},
    {u'得', "de5", u"調跑比打說信拼爭鬥贏吃喝考算看", nullptr, When::Always, u"得過"},
    {u'得', "de2", u"募獲取贏博求奪購賺", nullptr},
    {u'得', "dei3", Subjects, nullptr},
    {u'得', "dei3", u"天是話午然時事客月眾的週周上地藥", nullptr},
    {u'得', "dei3", nullptr, u"自先趕馬盡儘立花等按帶"},
    {u'得', "dei3", nullptr, nullptr, When::Start},
    {u'得', "dei3", nullptr, nullptr, When::BeforeATime},
    // 地: the adverb particle after a word (高興地說, 慢慢地走), else ground.
    {u'地', "de5", nullptr, nullptr, When::AfterDouble},
    {u'地', "de5", nullptr, nullptr, When::AfterOneByOne},
    {u'地', "di4", u"塊片畝大土草田空耕荒林山些把", nullptr},
    {u'地', "de5", nullptr, nullptr, When::AfterWord},
    {u'地', "de5", nullptr, nullptr, When::Repeated},
    {u'地', "de5", nullptr, nullptr, When::AfterDouble, u"地下"},
    {u'地', "de5", nullptr, nullptr, When::AfterDouble, u"地上"},
    {u'地', "di4"},
    // 了: can or cannot manage (吃不了, 走得了), else the aspect particle.
    {u'了', "liao3", u"不", nullptr},
    // 了事 after a deed done is the aspect particle (做錯了事).
    {u'了', "le5", u"錯壞做辦完", nullptr, When::Always, u"了事"},
    // 背: carry on the back (背著, 背起, 背上), else the back.
    {u'背', "bei4", nullptr, nullptr, When::BehindSomeone},
    {u'背', "bei4", nullptr, nullptr, When::BehindSomeone, u"背著"},
    // (OpenCC writes every 背着 of simplified text as carrying, 揹著.)
    {u'揹', "bei4", nullptr, nullptr, When::BehindSomeone},
    {u'揹', "bei4", nullptr, nullptr, When::BehindSomeone, u"揹著"},
    {u'背', "bei1", nullptr, u"著起上走負在久去回"},
    {u'背', "bei1", nullptr, u"到", When::LoadInSentence},
    {u'背', "bei1", nullptr, nullptr, When::LoadInSentence, u"背到"},
    {u'背', "bei1", u"不", nullptr, When::End},
    {u'背', "bei1", nullptr, nullptr, When::BeforeALoad},
    {u'背', "bei1", u"你我他她幫", nullptr, When::CarryingALoad},
    {u'背', "bei4"},
    // 種: a kind (一種, 這種, 各種); to plant (種在, 種了, 想種).
    {u'種', "zhong4", nullptr, u"著了過"},
    {u'種', "zhong3", u"一二兩三四五六七八九十幾這那哪各每某多此該本同何數物品人良播雜余餘",
        nullptr},
    {u'種', "zhong4", nullptr,
        u"了在著過下出滿田花樹菜稻豆瓜地植些幾的草香玉蔬果苗竹蘭茶哪什番咖芒得小麥"},
    {u'種', "zhong4", u"要想會能去來也都還再就又在把們改春家裡合", nullptr},
    // …and 多種 or 花種 before what is planted or how (多種幾棵, 花種上了).
    {u'多', "duo1 zhong4", nullptr, u"幾一些點棵", When::Always, u"多種"},
    {u'花', "hua1 zhong4", nullptr, u"上好下在了", When::Always, u"花種"},
    {u'種', "zhong4", nullptr, nullptr, When::End},
    {u'種', "zhong3"},
    // 扇: to fan (扇了, 扇著, 扇風), else a fan.
    {u'扇', "shan1", nullptr, u"了著過風扇動火一"},
    {u'扇', "shan1", nullptr, nullptr, When::End},
    {u'扇', "shan4"},
    // 數: to count (數了數, 數一數, 數錢), else a number.
    {u'數', "shu4", u"的", nullptr},
    {u'數', "shu3", u"在正就又邊", nullptr},
    {u'數', "shu3", nullptr, u"了著過一不到完清錢得數落都也零羊拍"},
    {u'數', "shu3", u"了一", nullptr, When::Repeated},
    {u'數', "shu4"},
    // 降: surrender (投降 is a word; 降服, 歸降), else fall.
    {u'降', "xiang2", u"投歸受招勸", nullptr},
    {u'降', "xiang2", nullptr, u"服伏龍妖"},
    {u'降', "jiang4"},
    // 長: grow (長大, 長得, 長出), else long (太長了).
    {u'長', "zhang3", nullptr, u"得"},
    {u'長', "chang2", u"太很好多最更較麼不也真夠變拉延留", nullptr},
    {u'長', "chang2", u"太很好多最更較麼不也真夠變拉延留", nullptr, When::Always, u"長了"},
    {u'長', "zhang3", nullptr, u"大高出得胖了著成滿在個肉芽這那"},
    {u'長', "chang2"},
    // 重: again (重寫, 重做), layers (數重山), else heavy.
    {u'重', "chong2", nullptr, u"寫做來看讀播演說試開建回返聽整組選新複疊申逢考修蹈獲貼買"},
    {u'重', "chong2", Numerals, nullptr},
    {u'重', "zhong4"},
    // 行: a line (一行字, 淚千行), else go (一行人).
    {u'行', "xing2", nullptr, u"人動程走為進"},
    {u'行', "hang2", u"一二兩三四五六七八九十百千萬幾每這那第數單雙", nullptr},
    {u'行', "xing2"},
    // 還: give back (還錢, 還給, 還沒還), else still.
    {u'還', "huan2", nullptr, u"錢給書債清款回原手擊嘴價本復掉房"},
    {u'還', "huan2", u"沒", nullptr},
    {u'還', "huan2", u"不", u"將的者也就會錢"},
    {u'還', "huan2", u"不", nullptr, When::End},
    {u'還', "huan2", u"不", nullptr, When::Always, u"還將"},
    // …and after a modal or a time word, before whom or how much (就還你,
    // 要還一大筆).
    {u'還', "huan2", u"就再要快先得該會想去來能上定難以", u"你妳我他她您一兩回的"},
    {u'還', "huan2", nullptr, nullptr, When::BeforeSomeoneLast},
    {u'還', "huan2", u"就再要快先得該會想去來能上定難", nullptr, When::Always, u"還回來"},
    {u'還', "huan2", nullptr, nullptr, When::End},
    // 還 repays a loan or a debt named in the sentence (房貸還了一半，還要還很多年).
    {u'還', "huan2", nullptr, u"了清完一多很", When::Repaying},
    {u'還', "huan2", nullptr, nullptr, When::Repaying, u"還了"},
    {u'還', "huan2", nullptr, u"多", When::Repaying, u"還很"},
    {u'還', "hai2"},
    // 為: to be or become (稱為, 成為, 被…為, 為95%), else for.
    {u'為', "wei4", nullptr, nullptr, When::ForSomeone},
    {u'為', "wei4", nullptr, nullptr, When::ForSomeone, u"為主"},
    {u'人', "ren2 wei4", nullptr, nullptr, When::ForSomeone, u"人為"},
    {u'為', "wei2", nullptr, u"一二兩三四五六七八九十百千萬零幾週星食主"},
    {u'為', "wei2", nullptr, nullptr, When::AfterNaming},
    {u'為', "wei2", nullptr, nullptr, When::AfterMerging},
    {u'為', "wei2", nullptr, nullptr, When::AfterThis},
    // …and as the copula of notices and definitions (時間為, 本品為).
    {u'為', "wei2", u"品文日間期額率價費點址者本此即均皆乃實亦係號量限樓段多將站度模方里面上",
        nullptr},
    {u'為', "wei2",
        u"稱視名改選化列分轉譽封定評立設奉成作認以淪變極頗較甚最尤更殊建訂劃升降合整換減增縮提釋",
        nullptr},
    {u'為', "wei4"},
    // 應: answer (應對, 應邀), else should.
    {u'應', "ying4", nullptr, u"對付邀聘徵用驗變答允了"},
    {u'應', "ying4", nullptr, nullptr, When::End},
    {u'應', "ying1"},
    // 教: teaching as a thing (教室, 教育), else to teach.
    {u'教', "jiao4", nullptr, u"室育授學師材科會堂義條導練"},
    {u'教', "jiao1"},
    {u'教', "jiao1", nullptr, u"我你妳他她", When::Always, u"教會"},
    // 差: an errand (出差), a difference (差別), else poor or short of.
    {u'差', "chai1", u"出公郵信", nullptr},
    {u'差', "cha1", nullptr, u"別異距價錯額"},
    // …the difference of a subtraction (結果稱為差).
    {u'差', "cha1", u"為做之", nullptr, When::End},
    {u'差', "cha4"},
    // 處: to handle or be in (處理, 處於), else a place.
    {u'處', "chu3", nullptr, u"理置分罰境於事世以得新"},
    {u'處', "chu3", u"可併者法", nullptr},
    {u'處', "chu4"},
    // 朝: morning (朝陽, 朝氣, 朝雨), else toward or a dynasty.
    {u'朝', "zhao1", nullptr, u"陽氣夕暮露霞日雨辭"},
    {u'朝', "zhao1", nullptr, nullptr, When::MorningAndEvening},
    {u'朝', "chao2"},
    // 傳: a biography (自傳, 列傳), else to pass on.
    {u'傳', "zhuan4", u"自列外經評正", nullptr},
    // …and a name's biography, ending a title (喬布斯傳).
    {u'傳', "chuan2", nullptr, nullptr, When::Start},
    {u'傳', "chuan2", u"別快不要會能在直再都也還就已又沒轉誤謠亂瞎", nullptr, When::End},
    {u'傳', "zhuan4", nullptr, nullptr, When::End},
    {u'傳', "chuan2"},
    // 調: move to (調到, 調職), a tune; else to adjust.
    // …but a setting turned up or down (音量調到最大) is adjusted.
    {u'調', "tiao2", nullptr, nullptr, When::ToASetting},
    {u'調', "tiao2", nullptr, nullptr, When::ToASetting, u"調到"},
    {u'調', "tiao2", nullptr, nullptr, When::ToASetting, u"調至"},
    {u'調', "diao4", nullptr, u"到去往職來任走動查度派我你妳他她"},
    {u'調', "diao4", u"的個", nullptr},
    {u'調', "tiao2"},
    // 假: time off (放假, 假期), else false.
    {u'假', "jia4", u"休放請度病事婚產年春長連例補暑寒天", nullptr},
    {u'假', "jia4", nullptr, u"期日條單"},
    // …also with 了 between (請了假, 放了假).
    {u'假', "jia4", u"了", nullptr, When::End},
    {u'假', "jia3"},
    // 空: free time or room (有空, 空白), else empty or the sky.
    {u'空', "kong4", u"有沒抽得騰留", nullptr},
    {u'空', "kong4", u"出", nullptr, When::End},
    {u'空', "kong4", nullptr, u"白地隙缺閒格位檔"},
    {u'空', "kong4", nullptr, Numerals},
    {u'空', "kong4", u"的", u"都也"},
    {u'空', "kong4", nullptr, u"的沒不，。！？、；：,.!?", When::Always, u"空著"},
    {u'空', "kong1"},
    // 好: to be fond of (好奇, 好學), else good.
    {u'好', "hao4", nullptr, u"奇學客色勝動強"},
    // …and 好讀書 opening a clause is fond of reading (好讀書，不求甚解).
    {u'好', "hao4", nullptr, u"讀", When::Start},
    {u'好', "hao4 du2", nullptr, u"書", When::Start, u"好讀"},
    {u'好', "hao3"},
    // 少: young (少年, 少女), else few.
    {u'少', "shao4", nullptr, u"年女爺婦將校尉"},
    {u'少', "shao3"},
    // 難: a disaster (災難, 難民), else hard.
    {u'難', "nan4", u"災苦遇落逃避患責發受劫國", nullptr},
    {u'難', "nan4", nullptr, u"民友胞"},
    {u'難', "nan2"},
    // 倒: pour, upside down, rather (倒水, 倒是), else fall over.
    {u'倒', "dao3", u"跌摔打推撞滑絆昏累病暈嚇難傾壓顛潦弄砍吹踢踩碰震", nullptr},
    {u'倒', "dao3", u"跌摔打推撞滑絆昏累病暈嚇難傾壓顛潦弄砍吹踢踩碰震", nullptr, When::Always,
        u"倒了"},
    {u'倒', "dao4", nullptr, nullptr, When::AfterBa, u"倒了"},
    {u'倒', "dao4", nullptr, nullptr, When::PouringMeasure, u"倒了"},
    {u'倒', "dao4", u"去來下得", nullptr},
    {u'倒', "dao4", nullptr, nullptr, When::AfterBa},
    {u'倒', "dao4", nullptr, nullptr, When::AfterBa, u"倒在"},
    {u'倒', "dao4", nullptr, Numerals},
    {u'倒', "dao4", nullptr, u"點些"},
    {u'倒', "dao4", nullptr, u"水茶酒杯進出入掉車退數是也不立影映貼轉過來垃完空"},
    {u'倒', "dao4", nullptr, u"著", When::Backwards},
    {u'倒', "dao3"},
    // 將: a general (將軍, 大將), else will or take.
    {u'將', "jiang4", nullptr, u"軍領士帥官"},
    {u'將', "jiang4", u"大上中少名武老猛守主飛", nullptr},
    {u'將', "jiang1"},
    // 中: hit (打中, 中獎), else middle.
    {u'中', "zhong4", u"打射擊猜考看選命投砸說料", nullptr},
    {u'中', "zhong4", nullptr, u"了"},
    {u'中', "zhong4", u"沒", u"過"},
    {u'中', "zhong4", nullptr, u"獎毒彈暑風標計選"},
    {u'中', "zhong1"},
    // 正: the first month (正月), else upright.
    {u'正', "zheng1", nullptr, u"月"},
    {u'正', "zheng4"},
    // 參: ginseng (人參), uneven (參差), else join.
    {u'參', "shen1", u"人海黨丹", nullptr},
    {u'參', "cen1", nullptr, u"差"},
    {u'參', "can1"},
    // 與: take part (參與, 與會), else and.
    {u'與', "yu4", u"參干", nullptr},
    {u'與', "yu4", nullptr, u"會"},
    {u'與', "yu3"},
    // 載: record or a year (記載, 一年半載), else carry.
    {u'載', "zai3", u"記刊登轉連半千萬一二兩三四五六七八九十數幾", nullptr},
    {u'載', "zai4"},
    // 累: pile up (累積, 累計), a burden (累贅), else tired.
    {u'累', "lei3", nullptr, u"積計加犯進"},
    {u'累', "lei3", u"積連牽日", nullptr},
    {u'累', "lei2", nullptr, u"贅"},
    {u'累', "lei4"},
    // 分: a part or share (部分, 成分, 身分), else divide or a minute.
    {u'分', "fen4", u"部成身過本充水養職天名股", nullptr},
    {u'分', "fen1"},
    // 當: take as, proper, pawn (當作, 恰當, 上當), else be or when.
    {u'當', "dang4", nullptr, u"作成鋪真禮"},
    {u'當', "dang4", nullptr, nullptr, When::AfterBa},
    {u'當', "dang4", nullptr, nullptr, When::UsedAs},
    {u'當', "dang4", u"上妥恰適正相穩得便次", nullptr},
    {u'當', "dang4", u"上妥恰適正相穩得便次", nullptr, When::Always, u"當了"},
    {u'當', "dang4", u"就權", nullptr, When::Always, u"當是"},
    {u'當', "dang1"},
    // 看: keep watch (看守, 看家, 看著孩子), else look.
    {u'看', "kan1", nullptr, u"守護管家門緊牢"},
    {u'看', "kan1", nullptr, nullptr, When::Guarding, u"看著"},
    {u'看', "kan1", nullptr, nullptr, When::Guarding, u"看好"},
    {u'看', "kan1", nullptr, nullptr, When::Guarding, u"看一下"},
    {u'看', "kan4"},
    // 要: demand (要求, 要挾), else want.
    {u'要', "yao1", nullptr, u"求挾脅"},
    {u'要', "yao4"},
    // 著: fall asleep or catch (睡著, 著火, 著涼), else the particle.
    {u'著', "zhao2", u"睡", nullptr},
    {u'著', "zhao2", nullptr, u"火涼急迷"},
    {u'著', "zhao2", u"搶找猜", nullptr, When::End},
    {u'著', "zhao2", nullptr, u"了", When::Caught},
    // 穿著 as a noun, the subject of what follows (穿著要整齊, 穿著樸素) or
    // someone's (他的穿著很隨便).
    {u'著', "zhuo2", u"穿", u"要得整打樸講"},
    // 著手 sets about, unless a hand is held or raised (舉著手, 牽著手).
    {u'著', "zhe5 shou3", u"舉拉牽握背垂揮搓拍插攤拱叉抱甩伸", nullptr, When::Always, u"著手"},
    // 著花 blossoms only in verse (寒梅著花未); elsewhere it is 著 and a
    // flower or spending (看著花開, 趕著花預算).
    {u'著', "zhe5 hua1", nullptr, nullptr, When::Prose, u"著花"},
    // 著有 wrote, unless someone smells or sees something (聞著有股怪味).
    {u'著', "zhe5", u"聞看聽摸吃喝嚐嘗坐站躺走拿抱背", nullptr, When::Always, u"著有"},
    {u'著', "zhuo2", u"穿", nullptr, When::Attire},
    {u'著', "zhe5"},
    // 的: indeed (的確), a target (目的); else the particle.
    // …but where the cut makes 確實 or 確診 a word, 的 is the particle
    // (他說的確實沒錯).
    {u'的', "di2", nullptr, u"確", When::IndeedNotAWord},
    {u'的', "de5 que4", nullptr, u"診", When::Always, u"的確"},
    {u'的', "de5"},
    // 薄: thin, said bao2 as an adjective in speech (太薄了), else bo2.
    {u'薄', "bo4", nullptr, u"荷"},
    {u'薄', "bao2", nullptr, u"款片被毯衫衣外紗"},
    {u'薄', "bao2", u"太很好真點麼更較蠻挺得又膚", nullptr},
    {u'薄', "bao2", nullptr, u"得了一"},
    {u'薄', "bo2"},
    // 曲: bent (曲項, 曲折), else a tune.
    {u'曲', "qu1", nullptr, u"項折線解直尺徑成"},
    {u'曲', "qu3"},
    // 撒: sprinkle (撒在地上), but sa1 of urine (撒了一泡尿); to let go (撒手,
    // 撒嬌) are words.
    {u'撒', "sa1", nullptr, nullptr, When::Urinating},
    {u'撒', "sa3"},
    // 炸: deep-fry (炸得很酥, 炸雞, 用中火炸, 炸至金黃), else explode.
    {u'炸', "zha2", nullptr, u"得雞魚薯蝦排醬物的油過好熟至"},
    {u'炸', "zha2", u"火油鍋", nullptr},
    {u'炸', "zha2", nullptr, nullptr, When::Frying, u"炸到"},
    {u'炸', "zha4"},
    // 吐: vomit (想吐, 吐了一路), else spit out (吐了一口氣 is a word).
    {u'吐', "tu3", u"亂", nullptr},
    {u'吐', "tu4", u"想嘔要快又會直", nullptr},
    {u'吐', "tu4", nullptr, u"了"},
    {u'吐', "tu4", nullptr, nullptr, When::End},
    {u'吐', "tu3"},
    // 盛: fill a bowl (盛飯, 盛一碗), else abundant.
    {u'盛', "cheng2", nullptr, u"飯湯一碗水菜滿裝盤入進出多太半好"},
    {u'盛', "cheng2", u"來去己幫再先碗便", nullptr},
    // 供: to offer to the gods or ancestors (供上鮮花), else to supply.
    {u'供', "gong4", nullptr, u"上奉品桌佛神祖"},
    {u'盛', "sheng4"},
    // 轉: turn round (一直在轉), else turn (右轉).
    {u'轉', "zhuan4", u"在著直打旋陽球扇輪狂", nullptr},
    {u'一', "yi1 zhuan4", nullptr, u"就", When::Always, u"一轉"},
    {u'轉', "zhuan4", nullptr, u"轉", When::Always, u"轉了"},
    {u'轉', "zhuan4", u"了", nullptr, When::Repeated},
    {u'轉', "zhuan4", nullptr, u"著"},
    // …spins (轉得很響) or goes round and round (轉了半天).
    {u'轉', "zhuan4", nullptr, u"得"},
    {u'轉', "zhuan4", nullptr, nullptr, When::GoingRound},
    {u'轉', "zhuan4", nullptr, nullptr, When::GoingRound, u"轉了"},
    {u'轉', "zhuan4", nullptr, nullptr, When::GoingRound, u"轉個"},
    {u'轉', "zhuan3"},
    // 挑: choose (挑禮物); to stir up (挑戰, 挑撥) are words, and so is
    // 挑起 when a war or a quarrel follows (挑起戰爭), else it lifts.
    {u'挑', "tiao3", nullptr, nullptr, When::StirringUp, u"挑起"},
    {u'挑', "tiao1"},
    // 相: a photograph (照張相), or a chancellor closing a clause (任用商鞅為
    // 相), else mutual.
    {u'相', "xiang4", u"為", nullptr, When::End},
    {u'相', "xiang4", u"張照拍", nullptr},
    // 覺: a sleep (睡一覺, 午覺), else to feel.
    {u'覺', "jiao4", u"一個午大好場著足", nullptr},
    // 待: stay (待一週, 待在家), else treat or wait.
    {u'待', "dai1", nullptr, u"一在了著會幾多兩三四五六七八九十半整太很久沒"},
    // 量: to measure (量體溫, 量一下), else an amount.
    {u'量', "liang2", nullptr, u"體身一血尺過好了出幾麵完"},
    {u'量', "liang2", u"尺子來去再先就", nullptr},
    {u'量', "liang4", nullptr, u"也很太都足"},
    {u'量', "liang2", nullptr, nullptr, When::Start},
    {u'量', "liang2", nullptr, nullptr, When::Repeated},
    {u'量', "liang4"},
    // 都: all; the city (都會區, 大都會) only where the word is about one.
    {u'都', "du1", u"大", nullptr, When::Always, u"都會"},
    {u'都', "du1", nullptr, u"區型人生", When::Always, u"都會"},
    {u'都', "dou1", nullptr, nullptr, When::Always, u"都會"},
    // 扎 (紮): to tie (扎辮子, 扎個丸子頭, 扎緊), else to prick.
    {u'扎', "za1", nullptr, u"辮個丸馬起頭緊好成"},
    {u'扎', "zha1", u"灸針", nullptr},
    {u'紮', "za1", nullptr, u"辮個丸馬起頭緊好成"},
    // 悶: stuffy (悶熱, 又悶又熱, a stuffy room), else low in spirits.
    {u'悶', "men1", nullptr, u"熱又住死"},
    {u'悶', "men1", nullptr, nullptr, When::InStuffyAir},
    {u'悶', "men1", u"又", nullptr},
    // 更: to change (更新, 更換 are words), else more.
    {u'更', "geng4"},
    // 繫 (and 系 in Simplified text): to tie (繫好, 系鞋帶), else to connect.
    {u'繫', "ji4", nullptr, u"好上緊著住了鞋領帶條個一"},
    {u'系', "ji4", nullptr, u"好上緊著住了鞋領帶在"},
    // (OpenCC writes 系好 of simplified text as 係好.)
    {u'係', "ji4", nullptr, u"好上緊著住了在"},
    // 落: left behind (把傘落在車上), else fall.
    {u'落', "luo4", u"遺掉散墜飄降坐", nullptr},
    {u'落', "luo4", u"遺掉散墜飄降坐", nullptr, When::Always, u"落在"},
    {u'落', "la4", nullptr, u"在下", When::AfterBa},
    {u'落', "la4", nullptr, nullptr, When::AfterBa, u"落在"},
    {u'落', "la4", nullptr, nullptr, When::LeftBehind},
    {u'落', "la4", nullptr, nullptr, When::LeftBehind, u"落在"},
    // …or missed out (落了一個字, 落了好幾頁筆記).
    {u'落', "la4", nullptr, u"了", When::LeftOut},
    // 縫: a crack or seam (磁磚縫, 門縫), else to sew.
    // 衝: blunt (說話太衝, and OpenCC's 太沖) or towards (衝著他), else to
    // rush.
    {u'衝', "chong4", u"太很好真點麼", nullptr, When::End},
    {u'沖', "chong4", u"太很好真點麼", nullptr, When::End},
    {u'沖', "chong4", u"太很好真點麼", u"了"},
    {u'衝', "chong4", nullptr, u"著"},
    // 率: to lead or be first (率先), where 先進 would take its 先.
    {u'率', "shuai4", nullptr, u"先殘兵軍眾部隊師領"},
    // 散: hanging loose (頭髮散著), else to scatter.
    {u'散', "san3", nullptr, u"著"},
    // 縫: a crack (門縫, 牆縫裡), unless someone sews (一針一線地縫著).
    {u'縫', "feng2", u"地", u"著着好補上了起成"},
    {u'縫', "feng4", u"磚牆門窗石地指牙發椅桌", nullptr},
    {u'縫', "feng4", u"磚牆門窗石地指牙發椅桌", nullptr, When::Always, u"縫裡"},
    // 予: I, opening a clause of classical prose (予獨愛蓮), else to give.
    {u'予', "yu2", nullptr, nullptr, When::Start},
    // 結: to bear fruit (結果了, 結滿了), else to tie or end.
    {u'結', "jie1", nullptr, u"了", When::Always, u"結果"},
    {u'結', "jie1", nullptr, u"實"},
    {u'結', "jie1", nullptr, nullptr, When::BeforeFruit},
    {u'結', "jie1", nullptr, nullptr, When::BeforeFruit, u"結了"},
    {u'結', "jie1", nullptr, nullptr, When::BeforeFruit, u"結出"},
    // 塞: a frontier (出塞, 邊塞 in verse), else to stuff or block.
    {u'塞', "sai4", u"邊關漢出要", nullptr},
    // 卡: stuck (卡在沙發底下), else a card.
    {u'卡', "qia3", nullptr, u"在住著到"},
    {u'卡', "qia3", nullptr, nullptr, When::Always, u"卡在"},
    // 和: to knead (麵和好, 加水和成麵糰), to win at mahjong (一把都沒和),
    // else and.
    {u'和', "huo2", u"麵面", u"好成勻"},
    {u'和', "huo2", u"水", u"成"},
    {u'和', "hu2", u"沒没都也就", nullptr, When::AtMahjong},
    {u'和', "hu2", nullptr, u"了", When::AtMahjong},
    {u'和', "hu2", nullptr, nullptr, When::AtMahjong, u"和了"},
    // 剝: to peel (剝蝦殼, 一剝就開), said bao1; 剝奪 and 剝削 are words.
    {u'剝', "bao1"},
    // 釘: to nail (釘牢, 釘釘子), else a nail.
    {u'釘', "ding4", nullptr, u"牢釘一成在上好住死進了著入"},
    // 橫: unreasonable (講話好橫), else across.
    {u'橫', "heng4", u"好很太真蠻"},
    // 涼: to let cool (涼一涼, 涼在盤子上), else cool.
    {u'涼', "liang4", nullptr, u"在"},
    {u'涼', "liang4", nullptr, nullptr, When::Briefly},
    // 漲: to swell or flush (漲紅了臉, 漲得鼓鼓的), else to rise.
    {u'漲', "zhang4", nullptr, u"紅"},
    {u'漲', "zhang4", nullptr, u"得", When::Swelling},
    // 劃: to scratch (劃出一道長痕), else to plan or mark out.
    {u'劃', "hua2", nullptr, nullptr, When::Scratching, u"劃出"},
    // 圈: to pen animals in (把羊群圈在棚內), else a ring.
    {u'圈', "quan1", Numerals, nullptr},
    {u'圈', "juan1", nullptr, u"在養"},
    // 飲: to water animals (飲牛), else to drink.
    {u'飲', "yin4", nullptr, u"牛馬羊"},
    // 陸: six written out on a cheque or a receipt (陸仟元), else land.
    {u'陸', "liu4", u"壹貳參叁肆伍柒捌玖拾佰仟萬億零", nullptr},
    {u'陸', "liu4", nullptr, u"拾佰仟萬億元圓角"},
    // Surnames after 姓 or before a title (姓任, 任老師, 單阿姨, 華經理, 老任),
    // else 任 serves, 單 is single, 華 splendid.
    {u'任', "ren2", u"姓", nullptr},
    {u'任', "ren2", nullptr, nullptr, When::BeforeTitle},
    {u'任', "ren2", u"老小", nullptr, When::End},
    {u'單', "shan4", u"姓", nullptr},
    {u'單', "shan4", nullptr, nullptr, When::BeforeTitle},
    {u'華', "hua4", u"姓", nullptr},
    {u'華', "hua4", nullptr, nullptr, When::BeforeTitle},
    {u'曾', "zeng1", u"姓", nullptr},
    {u'解', "xie4", u"姓", nullptr},
    {u'解', "xie4", nullptr, nullptr, When::BeforeTitle},
    // 倔 alone is gruff (性子很倔); 倔強 is a word.
    {u'倔', "jue4"},
    // 枕 rests the head on (枕在腿上, 枕著背包), else a pillow.
    {u'枕', "zhen4", nullptr, u"在著"},
    // 啊 opening a sentence is an exclamation, its tone the punctuation's
    // (啊？ asking, 啊！ startled, 啊， realising); elsewhere the particle.
    {u'啊', "a2", nullptr, u"？?", When::Start},
    {u'啊', "a1", nullptr, u"！!", When::Start},
    {u'啊', "a4", nullptr, u"，,", When::Start},
    // 繫: to tie (繫好, a tie or a lace named before it), else to bind.
    {u'繫', "ji4", nullptr, u"好上緊在住成個一著了"},
    {u'繫', "ji4", nullptr, nullptr, When::TyingABand},
    // 也似的: as if (飛也似的).
    {u'也', "ye3 shi4", nullptr, u"的", When::Always, u"也似"},
    // 興: someone's fun, ending the clause (掃大家的興).
    {u'興', "xing4", u"的", nullptr, When::End},
    // 泡: a measure of urine (尿了一泡).
    {u'一', "yi1 pao1", u"了", u"，。！？、；,.!?", When::Always, u"一泡"},
    // 扒: to paw or dig (扒門, 扒出來), else to pick a pocket (被扒了).
    {u'扒', "ba1", nullptr, u"門開土出下掉拉皮著在得光"},
    // 晃: in a flash (一晃就到年底), else to sway.
    {u'晃', "huang3", u"一", nullptr},
    // 拗: stubborn (性子很拗), else awkward (拗口) or to snap (拗斷 is a word).
    {u'拗', "niu4", u"很太真好蠻", nullptr},
    // 重重地: heavily, not layer on layer.
    {u'重', "zhong4 zhong4", nullptr, u"地", When::Always, u"重重"},
    // 白得像紙: white, not got for nothing.
    {u'白', "bai2 de5", nullptr, u"像很發要連跟", When::Always, u"白得"},
    // 咽: to swallow (咽得下去, 咽不下), else the throat.
    {u'咽', "yan4", nullptr, u"得不下了"},
    // 溫度計量一下: a thermometer measuring, not metering.
    {u'計', "ji4 liang2", u"度", nullptr, When::Always, u"計量"},
    // 還得到了: also got, not still must reach.
    {u'還', "hai2 de2", nullptr, u"到", When::GotIt, u"還得"},
    // 還不起球: still does not pill, not cannot repay.
    {u'還', "hai2 bu4 qi3", nullptr, u"球毛皺色", When::Always, u"還不起"},
    // 大汗 after 滿頭 or 一身 is sweat, not a khan.
    {u'大', "da4 han4", u"頭身臉", nullptr, When::Always, u"大汗"},
    // 還回 gives back to a shop or a place (還回店裡, 還回原處).
    {u'還', "huan2", nullptr, u"店原給公圖", When::Always, u"還回"},
    // 夫 after 觀, 若, 且 or 嗟, or opening a clause, is the classical particle
    // (予觀夫巴陵勝狀, 夫大國，難測也).
    {u'夫', "fu2", u"觀若且嗟", nullptr},
    {u'夫', "fu2", nullptr, nullptr, When::Start},
    // 多量幾次: measure more, not a large amount.
    {u'多', "duo1 liang2", nullptr, u"幾一", When::Always, u"多量"},
    // 調配藥品: mixing, not allocating.
    {u'調', "tiao2 pei4", nullptr, u"藥劑色料比", When::Always, u"調配"},
    // 部門將: departments will, not a goalkeeper.
    {u'門', "men2 jiang1", u"部專衙校熱入", nullptr, When::Always, u"門將"},
    // 房子, 曲子 cut after 套房 or 琴曲 (兩套房子, 鋼琴曲子).
    {u'子', "zi5", u"房曲", nullptr},
    // 和: to knead dough (面和好以後, 和好了面, 和成麵團, 幫我和一下面).
    {u'和', "huo2 hao3", nullptr, nullptr, When::DoughBefore, u"和好"},
    {u'和', "huo2 hao3", nullptr, u"了", When::DoughAfter, u"和好"},
    {u'和', "huo2", nullptr, u"成一", When::DoughAfter},
    // 一件件數清楚: counted, not the number of items.
    {u'件', "jian4 shu3", u"件", nullptr, When::Always, u"件數"},
    // 便: cheap (便宜), else convenient.
    {u'便', "pian2", nullptr, u"宜"},
    {u'便', "bian4"},
};

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
    for (int i = at - 2; i >= 0 && at - i <= 8 && isHan(text[i]); --i) {
        if (QStringView(Naming).contains(text[i]))
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
        return nearby(run, at, 8, u"天氣房間屋室車裡艙廳罩") && !nearby(run, at, 8, u"心情");
    case When::LeftBehind:
        return at + 1 < run.size() && run[at + 1] == u'在'
            && !(at > 0 && QStringView(u"葉雨雪花灰塵石彈星日").contains(run[at - 1]))
            && followedBy(run, at, 1,
                u"車上車裡家裡教室辦公桌上計程公車捷運店裡房間宿舍學校公司座位餐廳飯店旅館沙發廁所"
                u"床上");
    case When::ForSomeone:
        return ahead(run, at, 8,
            u"著想服務加油打氣喝彩鼓掌祈福祈禱操心擔心效力出力犧牲付出主隊捏把爭光慶祝送行提供施打"
            u"接種注射"
            u"維護保障確保避免配合因應響應添加打造量身增添帶來");
    case When::BeforeSomeoneLast:
        return at + 1 < run.size() && QStringView(u"你妳我他她您").contains(run[at + 1])
            && (at + 2 >= run.size() || !isHan(run[at + 2]));
    case When::GoingRound:
        return ahead(run, at, 3, u"半天一圈好久幾圈兩圈個不半個");
    case When::BeforeALoad:
        return nearby(run, at, -6, u"包袋箱孩娃簍囊重") || ahead(run, at, 6, u"行李電腦相機")
            || nearby(run, at, 4, u"包袋簍囊");
    case When::Guarding:
        return guarding(run, at);
    case When::UsedAs:
        for (int i = at + 2; i < run.size() && i - at <= 5 && isHan(run[i]); ++i) {
            // …not the 用 of 使用 or 利用 (當使用這個選項時).
            if ((run[i] == u'用' || run[i] == u'吃') && (i + 1 >= run.size() || !isHan(run[i + 1]))
                && !QStringView(u"使利應採運引享作適借試啟起通食").contains(run[i - 1]))
                return true;
        }
        return false;
    case When::IndeedNotAWord:
        return !followedBy(run, at, 0, u"確實確診確保確立確鑿確切確定確認");
    case When::Repaying:
        return inSentence(run, at, u"房貸貸款欠款債務欠債借錢信貸卡債");
    case When::GotIt:
        return followedBy(run, at, 1, u"到了");
    case When::LoadInSentence:
        return inSentence(run, at, u"書包背包行李箱子袋子孩子");
    case When::Urinating:
        return nearby(run, at, -4, u"尿");
    case When::Caught:
        return at + 2 < run.size() && run[at + 1] == u'了'
            && QStringView(u"迷火涼急魔").contains(run[at + 2]);
    case When::PouringMeasure: {
        int i = at + 2;
        while (i < run.size() && QStringView(u"一兩二三半幾滿大小").contains(run[i]))
            ++i;
        return i > at + 2 && i < run.size()
            && QStringView(u"杯碗瓶桶盆壺鍋匙勺盤").contains(run[i]);
    }
    case When::LeftOut: {
        int i = at + 2;
        while (i < run.size() && QStringView(u"一兩二三幾好").contains(run[i]))
            ++i;
        return i > at + 2 && i < run.size()
            && QStringView(u"個把本頁張件字樣支枝封").contains(run[i]);
    }
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
        return ahead(run, at, 6, u"戰爭事端爭端衝突矛盾紛爭爭議事變糾紛戰事對立爭執仇恨內戰");
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
        return followedBy(run, at, 0, u"到最到靜到零到適")
            || (at + 2 < run.size() && (run[at + 1] == u'到' || run[at + 1] == u'至')
                && QStringView(u"一二兩三四五六七八九十零").contains(run[at + 2])
                && !(at > 0 && run[at - 1] == u'被'));
    case When::AfterMerging:
        return at >= 2 && run[at - 1] == u'併' && QStringView(u"合歸兼吞").contains(run[at - 2]);
    case When::BeforeFruit:
        return nearby(run, at, -6, u"果瓜桃梨棗橘柿莓");
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
        for (const Rule &r : Rules)
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
    for (const Rule &r : Rules) {
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
