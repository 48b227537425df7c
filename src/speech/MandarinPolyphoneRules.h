// The table of context rules that MandarinPolyphones reads by: each names a
// character, the reading it gives and the context it needs.
#pragma once

#include <span>

namespace MandarinPolyphones
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
    InStuffyAir, // the weather, a room, a mask or ears earlier in the clause (房間好悶), or
                 // short of breath after it (悶得我透不過氣)
    LeftBehind, // 在 and a place things are left in after it (作業落在教室), unless
                // what falls is rain, a leaf or the like
    BeforeFruit, // fruit later in the clause (結了好多果子, 結的桃子), or just before
                 // how much it bears (草莓結得特別多)
    ForSomeone, // what is done for someone or to some end later in the clause
                // (為別人著想, 為維護品質), or what one quarrels or frets over
                // (為洗碗吵架)
    AfterMerging, // 合併, 歸併, 兼併 or 吞併 before it (合併為一個)
    ToASetting, // 到 and the most, silent, level or a number after it (調到最大, 調至二十六度),
                // or 到 after a height or a volume (高度要調到)
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
    UsedAs, // 用 or 吃 closing the clause a few characters after it (當鬧鐘用, 可當現金使用)
    IndeedNotAWord, // 確 after it starts no word of its own (的確 read apart)
    Repaying, // a loan or a debt in the sentence (房貸還了一半)
    GotIt, // 到了, or 了 and a prize, just after the word (還得到了老師的表揚,
           // 還得了第一名)
    LoadInSentence, // a bag, luggage or a child in the sentence and no lesson
                    // (行李太重，我幫你背到車上)
    Urinating, // 泡尿 or 尿 within a few characters after it (撒了一泡尿)
    Caught, // 了 and a fire, a chill or a spell after it (著了迷, 著了涼)
    PouringMeasure, // a number of cups or bowls after it (倒了一杯)
    LeftOut, // 了 and a number of something, or a word or a line, after it (落了一個字, 不要落了字)
    DoughAfter, // dough within a few characters after it (和好了面)
    DoughBefore, // dough just before it (面和好以後)
    BeforeATime, // a day or a time just after it (得明天才能到)
    TyingABand, // a tie, a lace, a scarf or a rope a little before it (領帶怎麼繫)
    CarryingALoad, // the clause ending after it and a bag or luggage in the sentence
                   // (書包那麼重，媽媽幫你背)
    Guarding, // 著, 好 or 一下 and what is kept an eye on after it (看著行李),
              // or nothing after them but a request before (幫忙看著, 要看好), or
              // 家 and nothing more (幫我看家和餵貓)
    Passive, // 所 and a verb of being known, liked or troubled later in the clause
             // (為大家所共有, 為人所知)
    Borrowed, // something lent or borrowed in the sentence (借給同事用了一下，還回來)
    GivingBesides, // 給, a person and something done for them after it (還給我講了故事)
    MustDo, // what has to be done after it, or 看來 or 一定 before (病得慢慢養, 看來得搬家了,
            // 得分組教學)
    AmongPeers, // a senior, a review or a rivalry just after 同行 (同行的前輩)
    BeforeADebt, // a card bill or a loan just after it (還信用卡, 還學貸)
    Spinning, // a fan, a wheel, a top or a washing machine just before it (電風扇不轉了),
              // or a top, a windmill or a fan in the sentence (陀螺在地上不停地轉)
    ToAPlace, // a place one goes to just after the word (得到醫院報到)
    ChangingTrains, // a train, a bus or a flight a little after it (倒三趟地鐵)
    LiquidBefore, // rubbish or a liquid a little before it (垃圾你倒了沒有,
                  // 洗髮液不要直接倒在頭皮上)
    ServingFood, // rice, soup or porridge a few characters after it (別盛那麼多飯)
    CarriedSomeone, // 把 or 將 before and no lesson or words to learn in the
                    // sentence (把她背到床上, not 把課文背到滾瓜爛熟)
};

struct Rule {
    char16_t character;
    const char *reading; // of the character, or of each character of `word`
    const char16_t *before = nullptr; // the character before is one of these; null: anything
    const char16_t *after = nullptr; // the character after is one of these; null: anything
    When when = When::Always;
    const char16_t *word = nullptr; // the word this character heads; null: it stands alone
};

// Every rule, in order; a character's first rule whose context holds decides.
std::span<const Rule> rules();

} // namespace MandarinPolyphones
