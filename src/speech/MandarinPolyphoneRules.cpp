#include "speech/MandarinPolyphoneRules.h"

namespace MandarinPolyphones
{

namespace
{

// Who or what comes before a verb: pronouns and the adverbs of modality.
constexpr char16_t Subjects[]
    = u"我你妳他她它們咱誰就還也都總可非卻倒又只必才真怕已曾終末晚早前次常仍概";
// Numerals, for measures (一行字, 數重山).
constexpr char16_t Numerals[] = u"一二兩三四五六七八九十百千萬數幾多";

// Taiwan's readings (the Ministry of Education's dictionary). Words the
// lexicon holds (得到, 投降, 背包, 種子) are read from it; these rules are for
// the character standing alone.
const Rule Table[] = {
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
    {u'葡', "pu2 tao2", nullptr, nullptr, When::Verse, u"葡萄"},
    // 得: got (得了獎), must (我得走了, 就得), else the complement particle;
    // 得到 is got (他得到), but can reach after a verb (看得到).
    {u'得', "de5", u"看找買做辦聽吃曬拿用想摸碰趕跑走等見感覺收猜說學記寫讀辨查訂租借約搶", nullptr,
        When::Always, u"得到"},
    {u'得', "de5", u"算比配談稱趕追跟", nullptr, When::Always, u"得上"},
    // 得出 a conclusion or an answer is got (研究得出結論), not could.
    {u'得', "de2 chu1", u"究驗析查我你他她們者人", nullptr, When::Always, u"得出"},
    // …and must go before a place (明天得到公司加班).
    {u'得', "dei3 dao4", nullptr, nullptr, When::ToAPlace, u"得到"},
    // 得分 splits into groups, 得手 shakes, when 得 must or follows how
    // (老師得分組教學, 緊張得手都在抖).
    {u'得', "dei3 fen1", nullptr, u"組成開類批段頭", When::Always, u"得分"},
    {u'得', "de5 shou3", nullptr, u"都也腳心發冒直", When::Always, u"得手"},
    {u'得', "dei3", nullptr, u"分", When::MustDo},
    {u'得', "de2", nullptr, u"了獎分知之兼易"},
    // …rare after 很難 (畢業後真的很難得), which takes it from 難得.
    {u'得', "de2", u"難", nullptr},
    // …got once (他得過獎), but after a verb 得過 is can (跑得過, 調得過低).
    {u'得', "de2", u"我你妳他她它們曾沒從未也都還又", u"過"},
    {u'得', "de5", u"調跑比打說信拼爭鬥贏吃喝考算看", nullptr, When::Always, u"得過"},
    {u'得', "de2", u"募獲取贏博求奪購賺", nullptr},
    {u'得', "dei3", Subjects, nullptr},
    {u'得', "dei3", u"天是話午然時事客月眾的週周上地藥後隊班", nullptr},
    {u'得', "dei3", nullptr, u"自先趕馬盡儘立花等按帶另提"},
    {u'得', "dei3", nullptr, nullptr, When::Start},
    {u'得', "dei3", nullptr, nullptr, When::BeforeATime},
    {u'得', "dei3", nullptr, nullptr, When::MustDo},
    {u'得', "dei3", u"能", u"晚早提"},
    // 地: the adverb particle after a word (高興地說, 慢慢地走), else ground.
    {u'地', "de5", nullptr, nullptr, When::AfterDouble},
    {u'地', "de5", nullptr, nullptr, When::AfterOneByOne},
    {u'地', "di4", u"塊片畝大土草田空耕荒林山些把", nullptr},
    {u'地', "de5", nullptr, nullptr, When::AfterWord},
    {u'地', "de5", nullptr, nullptr, When::Repeated},
    {u'地', "de5", nullptr, nullptr, When::AfterDouble, u"地下"},
    {u'地', "de5", nullptr, nullptr, When::AfterDouble, u"地上"},
    {u'地', "de5", nullptr, nullptr, When::AfterDouble, u"地點"},
    // 一天天地長高: day by day, not heaven and earth.
    {u'天', "tian1 de5", u"天", nullptr, When::Always, u"天地"},
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
    {u'背', "bei1", nullptr, u"一", When::LoadInSentence},
    {u'背', "bei1", nullptr, u"到", When::CarriedSomeone},
    {u'背', "bei1", nullptr, nullptr, When::CarriedSomeone, u"背到"},
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
    {u'種', "zhong4", u"要想會能去來也都還再就又在把們改春家裡合苗", nullptr},
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
    {u'數', "shu3", nullptr, u"了著過一不到完清錢得數落都也零羊拍螢星"},
    {u'數', "shu3", u"了一", nullptr, When::Repeated},
    {u'數', "shu4"},
    // 降: surrender (投降 is a word; 降服, 歸降), else fall.
    {u'降', "xiang2", u"投歸受招勸", nullptr},
    {u'降', "xiang2", nullptr, u"服伏龍妖"},
    {u'降', "jiang4"},
    // 長: grow (長大, 長得, 長出), else long (太長了).
    {u'長', "zhang3", nullptr, u"得"},
    {u'長', "zhang3", u"草木苗芽膚重", nullptr},
    // …the head of a city or a county cut after its name (臺北市長).
    {u'長', "zhang3", u"市縣局署鎮鄉村", nullptr},
    // 長長了: grown long, not long and long.
    {u'長', "zhang3 chang2", nullptr, u"了", When::Always, u"長長"},
    // …but also grows feathers or spots (身上也長羽毛).
    {u'長', "zhang3", u"也都還又", u"羽毛牙芽肉痘斑草葉鬍"},
    {u'長', "chang2", u"太很好多最更較麼不也真夠變拉延留微", nullptr},
    {u'長', "chang2", u"太很好多最更較麼不也真夠變拉延留微", nullptr, When::Always, u"長了"},
    {u'長', "zhang3", u"覆復", nullptr, When::End},
    {u'長', "zhang3", nullptr, u"大高出得胖了著成滿在個肉芽這那有"},
    {u'長', "chang2"},
    // 重: again (重寫, 重做), layers (數重山), else heavy.
    {u'重', "chong2", nullptr, u"寫做來看讀播演說試開建回返聽整組選新複疊申逢考修蹈獲貼買長"},
    {u'重', "chong2", Numerals, nullptr},
    {u'重', "zhong4"},
    // 行: a line (一行字, 淚千行), else go (一行人).
    {u'行', "xing2", nullptr, u"人動程走為進"},
    {u'行', "hang2", u"一二兩三四五六七八九十百千萬幾每這那第數單雙", nullptr},
    // 不在行: not expert, ending the clause.
    {u'行', "hang2", u"在", nullptr, When::End},
    {u'行', "xing2"},
    // 同行: colleagues when counted, compared with or asked (幾位同行, 比同行差,
    // 同行的前輩), else going together.
    {u'同', "tong2 hang2", u"位比名", nullptr, When::Always, u"同行"},
    {u'同', "tong2 hang2", nullptr, nullptr, When::AmongPeers, u"同行"},
    // 還: give back (還錢, 還給, 還沒還), else still.
    {u'還', "hai2 gei3", nullptr, nullptr, When::GivingBesides, u"還給"},
    {u'還', "huan2", nullptr, u"錢給書債清款回原手擊嘴價本復掉房押貸"},
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
    {u'還', "huan2", nullptr, u"了清完一多很兩最全", When::Repaying},
    {u'還', "huan2", nullptr, nullptr, When::Borrowed, u"還回來"},
    {u'還', "huan2", nullptr, nullptr, When::Repaying, u"還了"},
    {u'還', "huan2", nullptr, u"多", When::Repaying, u"還很"},
    // …what was brought forward with 把 (他把書還了), or money or a book
    // that is paid back (錢還了沒).
    {u'還', "huan2", nullptr, nullptr, When::BeforeADebt},
    {u'還', "huan2", nullptr, u"了回給", When::AfterBa},
    {u'還', "huan2", nullptr, nullptr, When::AfterBa, u"還了"},
    {u'還', "huan2", u"錢書債款貸帳賬", u"清完"},
    {u'還', "huan2", u"錢書債款貸帳賬", nullptr, When::Always, u"還了"},
    {u'還', "hai2"},
    // 為: to be or become (稱為, 成為, 被…為, 為95%), else for.
    {u'為', "wei4", nullptr, nullptr, When::ForSomeone},
    {u'為', "wei4", nullptr, nullptr, When::ForSomeone, u"為主"},
    {u'人', "ren2 wei4", nullptr, nullptr, When::ForSomeone, u"人為"},
    {u'可', "ke3 wei4", nullptr, nullptr, When::ForSomeone, u"可為"},
    {u'方', "fang1 wei4", nullptr, nullptr, When::ForSomeone, u"方為"},

    {u'為', "wei2", nullptr, u"一二兩三四五六七八九十百千萬零幾週星食主"},
    {u'為', "wei2", nullptr, nullptr, When::AfterNaming},
    {u'為', "wei2", nullptr, nullptr, When::AfterMerging},
    {u'為', "wei2", nullptr, nullptr, When::AfterThis},
    {u'為', "wei2", nullptr, nullptr, When::Passive},
    {u'為', "wei2", nullptr, u"喻恥榮傲憾準宜限佳妙"},
    // …and after a verb of making or naming (設為, 改為), even before 您…
    {u'為', "wei2",
        u"稱視名改選化列分轉譽封定評立設奉成作認以淪變極頗較甚最尤更殊建訂劃升降合整換減增縮提釋寫"
        u"夢",
        nullptr},
    // …but otherwise for you (馬上為您補發)…
    {u'為', "wei4", nullptr, u"您"},
    {u'為', "wei4", u"都", u"你妳我他她們大自"},
    // …and as the copula of notices and definitions (時間為, 本品為, 都為住宅).
    {u'為', "wei2", u"品文日間期額率價費點址者本此即均皆乃實亦係號量限樓段多將站度模方里面上廂積都",
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
    {u'差', "cha1", u"為做之的", nullptr, When::End},
    // 還差人: still short of people, not sending someone.
    {u'差', "cha4 ren2", u"還就只也都", nullptr, When::Always, u"差人"},
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
    // …but a number of trips on a train or a bus is changing (倒三趟地鐵).
    {u'倒', "dao3", nullptr, Numerals, When::ChangingTrains},
    {u'倒', "dao4", nullptr, Numerals},
    {u'倒', "dao4", nullptr, u"點些"},
    {u'倒', "dao4", nullptr, u"水茶酒杯進出入掉車退數是也不立影映貼轉過來垃完空還熱覺"},
    {u'倒', "dao4", nullptr, u"著", When::Backwards},
    {u'倒', "dao4", nullptr, nullptr, When::LiquidBefore},
    {u'倒', "dao4", nullptr, nullptr, When::LiquidBefore, u"倒了"},
    {u'倒', "dao4", nullptr, nullptr, When::LiquidBefore, u"倒在"},
    {u'倒', "dao3"},
    // 將: a general (將軍, 大將), else will or take.
    {u'將', "jiang4", nullptr, u"軍領士帥官"},
    // …but 中將 or 大將 before a verb is the school or the place that will
    // (高中將增加課程).
    {u'將', "jiang1", u"大中少", u"增會要在把於可有成為持進推開舉提加改暫全實陸調修延擴取停"},
    {u'小', "xiao3 jiang1", u"中", u"增會要在把於可有成為持進推開舉提加改暫全實陸調修延擴取停",
        When::Always, u"小將"},
    {u'將', "jiang4", u"大上中少名武老猛守主飛", nullptr},
    // 把對方的將困住: the general of Chinese chess.
    {u'將', "jiang4", u"的", u"困吃死被"},
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
    {u'可', "ke3 dang4", nullptr, nullptr, When::UsedAs, u"可當"},
    {u'當', "dang4", u"上妥恰適正相穩得便次", nullptr},
    {u'當', "dang4", u"上妥恰適正相穩得便次", nullptr, When::Always, u"當了"},
    {u'當', "dang4", u"就權", nullptr, When::Always, u"當是"},
    {u'當', "dang1"},
    // 看: keep watch (看守, 看家, 看著孩子), else look.
    {u'看', "kan1", nullptr, u"守護管門緊牢"},
    {u'看', "kan1", nullptr, nullptr, When::Guarding},
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
    {u'薄', "bao2", u"太很好真點麼更較蠻挺得又膚別常", nullptr},
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
    {u'吐', "tu4", nullptr, u"了得"},
    {u'吐', "tu4", nullptr, nullptr, When::End},
    {u'吐', "tu3"},
    // 盛: fill a bowl (盛飯, 盛一碗), else abundant.
    {u'盛', "cheng2", nullptr, u"飯湯一碗水菜滿裝盤入進出多太半好熱麵面粥"},
    {u'盛', "cheng2", u"來去己幫再先碗便", nullptr},
    {u'盛', "cheng2", nullptr, nullptr, When::ServingFood},
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
    {u'轉', "zhuan4", nullptr, nullptr, When::Spinning},
    {u'轉', "zhuan4", nullptr, nullptr, When::Spinning, u"轉了"},
    {u'轉', "zhuan4", nullptr, nullptr, When::GoingRound, u"轉到"},
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
    // 都更 is urban renewal where a case or a district follows or it is to be
    // done (這區要都更了); else all, and more so or renewed (都更喜歡, 都更新).
    {u'都', "dou1 geng1", nullptr, u"新正改動換替", When::Always, u"都更"},
    {u'都', "du1 geng1", nullptr, u"案區計條處戶基", When::Always, u"都更"},
    {u'都', "du1 geng1", u"要推辦做被已", nullptr, When::Always, u"都更"},
    {u'都', "dou1 geng4", nullptr, nullptr, When::Always, u"都更"},
    // 不差 is not bad after 也 or 還 (也不差), else not off (一分不差).
    {u'不', "bu4 cha4", u"也都並倒還真", nullptr, When::Always, u"不差"},
    // 東西 is east and west before a direction, a crossing or two sides
    // (東西走向, 東西交流, 東西兩岸), else a thing.
    {u'東', "dong1 xi1", nullptr, u"向走兩岸交文橫貫", When::Always, u"東西"},
    // 扎 (紮): to tie (扎辮子, 扎個丸子頭, 扎緊), else to prick.
    {u'扎', "za1", nullptr, u"辮個丸馬起頭緊好成"},
    {u'扎', "zha1", u"灸針", nullptr},
    {u'紮', "za1", nullptr, u"辮個丸馬起頭緊好成"},
    // (OpenCC writes the 扎 of pricking as 紮 too: 小心扎腳.)
    {u'紮', "zha1", nullptr, u"腳手針到破傷"},
    // 悶: stuffy (悶熱, 又悶又熱, a stuffy room), else low in spirits.
    {u'悶', "men1", nullptr, u"熱又住死"},
    {u'悶', "men1", nullptr, nullptr, When::InStuffyAir},
    {u'悶', "men1 men1", nullptr, nullptr, When::InStuffyAir, u"悶悶"},
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
    {u'衝', "chong4", nullptr, u"著我你他她"},
    // 率: to lead or be first (率先), where 先進 would take its 先.
    {u'率', "shuai4", nullptr, u"先殘兵軍眾部隊師領"},
    // 散: hanging loose (頭髮散著), come undone (鞋帶散了), too loose (講得太散了),
    // else to scatter.
    {u'散', "san3", nullptr, u"著"},
    {u'散', "san3", u"帶太", u"了"},
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
    // 醫保卡在藥店也能刷: a card that is somewhere, not stuck.
    {u'卡', "ka3", u"保用遊員行融值通購費", u"在"},
    {u'卡', "ka3 zai4", u"保用遊員行融值通購費", nullptr, When::Always, u"卡在"},
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
    {u'繫', "ji4", nullptr, nullptr, When::End},
    // 也似的: as if (飛也似的).
    {u'也', "ye3 shi4", nullptr, u"的", When::Always, u"也似"},
    // 興: someone's fun, ending the clause (掃大家的興).
    {u'興', "xing4", u"的", nullptr, When::End},
    // 泡: a measure of urine (尿了一泡).
    {u'一', "yi1 pao1", u"了", u"，。！？、；,.!?", When::Always, u"一泡"},
    // 掙: to earn (掙了點錢, 掙錢), else to struggle.
    {u'掙', "zheng4", nullptr, u"了錢到得點些大"},
    // 扒: to paw or dig (扒門, 扒出來), else to pick a pocket (被扒了).
    {u'扒', "ba1", nullptr, u"門開土出下掉拉皮著在得光"},
    // 晃: in a flash (一晃就到年底), else to sway.
    {u'晃', "huang3", u"一", nullptr},
    // 拗: stubborn (性子很拗), else awkward (拗口) or to snap (拗斷 is a word).
    {u'拗', "niu4", u"很太真好蠻", nullptr},
    // 重重地: heavily, not layer on layer.
    {u'重', "zhong4 zhong4", nullptr, u"地", When::Always, u"重重"},
    // 背著重重的殼: heavy, carried.
    {u'重', "zhong4 zhong4", u"著", u"的", When::Always, u"重重"},
    // 背著書包: carrying, not writing a book.
    {u'著', "zhe5 shu1", u"背拿抱提揹帶", nullptr, When::Always, u"著書"},
    // 性價比比誰都強: the ratio compared, not everywhere.
    {u'比', "bi3 bi3", u"價", nullptr, When::Always, u"比比"},
    {u'著', "zhe5 zhong4", u"背提扛拖抱揹", u"重", When::Always, u"著重"},
    // 白得像紙: white, not got for nothing.
    {u'白', "bai2 de5", nullptr, u"像很發要連跟", When::Always, u"白得"},
    // 咽: to swallow (咽得下去, 咽不下), else the throat.
    {u'咽', "yan4", nullptr, u"得不下了"},
    // 溫度計量一下: a thermometer measuring, not metering.
    {u'計', "ji4 liang2", u"度", nullptr, When::Always, u"計量"},
    // 還得到了: also got, not still must reach.
    {u'還', "hai2 de2", nullptr, u"到", When::GotIt, u"還得"},
    {u'還', "hai2 de2", nullptr, u"了", When::GotIt, u"還得"},
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
    // …and closing a lament (悲夫, 惜夫); 夫人之相與 at the start is a clause's
    // particle and people, not a lady.
    {u'夫', "fu2", u"悲哀惜嗟惑危難矣甚", nullptr, When::End},
    {u'夫', "fu2 ren2", nullptr, u"之", When::Start, u"夫人"},
    // 句讀者: the pauses of a text, and who learns them.
    {u'讀', "dou4 zhe3", u"句", nullptr, When::Always, u"讀者"},
    // 惡其: hates that it (貨惡其棄於地也).
    {u'惡', "wu4", nullptr, u"其"},
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
    // 燕: the old state or a surname before a list or a title (燕、趙, 燕伯伯).
    {u'燕', "yan1", nullptr, u"、趙伯叔"},
    // 卷 in verse rolls or sweeps (半卷紅旗, 千騎卷平岡), but scrolls are counted
    // (讀書破萬卷).
    {u'卷', "juan4", Numerals, nullptr, When::Verse},
    {u'卷', "juan4", u"書開釋經詩畫手案", nullptr, When::Verse},
    {u'卷', "juan4", nullptr, u"冊軸帙宗首", When::Verse},
    {u'卷', "juan3", nullptr, nullptr, When::Verse},
    // 語 tells someone, in classical prose (吾語女, 語之故); 女 is then you
    // (吾語女, 三歲貫女).
    {u'語', "yu4", u"吾", nullptr},
    {u'語', "yu4", nullptr, u"之女汝"},
    {u'女', "ru3", u"語貫誨", nullptr},
    // 服務處在大樓後方: the office is, not finds itself in.
    {u'處', "chu4 zai4", u"務事理車", nullptr, When::Always, u"處在"},
    // 血 standing alone is everyday speech (流了好多血, 抽了三管血), but not in
    // verse (杜鵑啼血); the lexicon keeps xue4 in 血液, 血壓 and their kind.
    {u'血', "xue4", nullptr, nullptr, When::Verse},
    {u'流', "liu2 xue4", nullptr, nullptr, When::Verse, u"流血"},
    {u'血', "xie3", nullptr, nullptr, When::End},
    {u'血', "xie3", nullptr, u"了的"},
    // 就得到了: got, not must reach (假設就得到了證實).
    {u'就', "jiu4 de2", nullptr, u"到", When::GotIt, u"就得"},
    {u'著', "zhe5 zhong4", u"急忙趕", nullptr, When::Always, u"著重"},
    // 遺之: gives it to someone (請以遺之), not leaves it.
    {u'遺', "wei4", nullptr, u"之"},
    // 折: a branch or a leg snapped (樹枝都折了), else to fold or bend.
    {u'折', "she2", u"都枝桿腳竿棍柄也", u"了斷"},
    // 王: to rule, in classical prose (不王者, 以德行仁者王).
    {u'王', "wang4", u"不", u"者"},
    {u'王', "wang4", u"者", nullptr, When::End},
    // 乘: a chariot, counted (一車四馬稱為一乘).
    {u'乘', "sheng4", Numerals, nullptr, When::End},
    // 一件件數清楚: counted, not the number of items.
    {u'件', "jian4 shu3", u"件", nullptr, When::Always, u"件數"},
    // 便: cheap (便宜), else convenient.
    {u'便', "pian2", nullptr, u"宜"},
    {u'便', "bian4"},
};

} // namespace

std::span<const Rule> rules()
{
    return Table;
}

} // namespace MandarinPolyphones
