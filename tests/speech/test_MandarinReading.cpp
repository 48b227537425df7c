// Mandarin as Taiwan reads it: word readings and number readings scored
// against lists taken from the dictionary, the source stretches that Word
// events name, the tone changes of 一 and 不, Latin words for an English
// voice, and the Cantonese voice left alone.
#include "SpeechRecorder.h"

#include "speech/EspeakPiece.h"
#include "speech/MandarinNormalizer.h"
#include "speech/MandarinPolyphones.h"
#include "speech/MandarinReading.h"
#include "speech/PronunciationList.h"
#include "speech/SpeechEngine.h"
#include "speech/VoiceCatalogue.h"
#include "system/AppPaths.h"

#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;
using MandarinReading::Token;

namespace
{

// The rows of a tab-separated list, comments left out.
QList<QStringList> rows(const QString &name)
{
    QFile file(QStringLiteral(PARLO_TEST_DATA "/") + name);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<QStringList> out;
    for (const QString &line : QString::fromUtf8(file.readAll()).split(u'\n')) {
        if (!line.trimmed().isEmpty() && !line.startsWith(u'#'))
            out.append(line.split(u'\t'));
    }
    return out;
}

QString spans(const QList<Token> &tokens)
{
    QStringList out;
    for (const Token &t : tokens)
        out << u"%1:%2-%3"_s.arg(t.spoken).arg(t.from).arg(t.to);
    return out.join(u' ');
}

SpObjectToken suiteVoice(const QString &name)
{
    for (const SpObjectToken &t : VoiceCatalogue::suiteVoices()) {
        if (t.GetDescription() == name)
            return t;
    }
    return {};
}

QString textOf(const EspeakPiece::Segment &s)
{
    QString out;
    for (wchar_t c : s.text.wide) {
        if (c)
            out += QChar(char16_t(c));
    }
    return out.trimmed();
}

} // namespace

class TestMandarinReading : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY2(MandarinLexicon::shared().isLoaded(), "no Mandarin lexicon"); }

    // Every row: a share would let a fix for one word quietly break another.
    void wordsAreReadAsTaiwanReadsThem()
    {
        const QList<QStringList> list = rows(u"mandarin_words.tsv"_s);
        QVERIFY(list.size() >= 200);
        QStringList misses;
        for (const QStringList &row : list) {
            const QString reading = MandarinReadingOf(row[0]);
            if (reading != row[1])
                misses.append(u"%1 read %2, wanted %3"_s.arg(row[0], reading, row[1]));
        }
        QVERIFY2(misses.isEmpty(), qPrintable(misses.join(u"; ")));
    }

    void numbersAndSymbols_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("reading");
        const QList<QStringList> list = rows(u"mandarin_numbers.tsv"_s);
        QVERIFY(list.size() >= 50);
        QSet<QString> covered;
        for (const QStringList &row : list) {
            QTest::newRow(qPrintable(row[0])) << row[0] << row[1];
            covered.insert(row.value(2));
        }
        // Every rule of the table has cases in the list.
        for (const QString &rule : MandarinNormalizer::ruleNames())
            QVERIFY2(covered.contains(rule), qPrintable(rule));
    }

    void numbersAndSymbols()
    {
        QFETCH(QString, text);
        QFETCH(QString, reading);
        QCOMPARE(MandarinReadingOf(text), reading);
    }

    // A character standing alone is read as its neighbours decide.
    void contextDecidesTheReading_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("reading");
        QTest::newRow("得 must") << u"我得走了"_s << u"wo3 dei3 zou3 le5"_s;
        QTest::newRow("得 must after 就") << u"你就得去"_s << u"ni3 jiu4 dei3 qu4"_s;
        QTest::newRow("得 got") << u"他得了第一名"_s << u"ta1 de2 le5 di4 yi1 ming2"_s;
        QTest::newRow("得 particle") << u"他跑得很快"_s << u"ta1 pao3 de5 hen3 kuai4"_s;
        QTest::newRow("得到") << u"他得到了獎"_s << u"ta1 de2 dao4 le5 jiang3"_s;
        QTest::newRow("地 particle") << u"他高興地說"_s << u"ta1 gao1 xing4 de5 shuo1"_s;
        QTest::newRow("地 ground") << u"這塊地很大"_s << u"zhe4 kuai4 di4 hen3 da4"_s;
        // Only after a word of two or more characters is it the particle.
        QTest::newRow("地 ground after one character")
            << u"把地掃乾淨"_s << u"ba3 di4 sao3 gan1 jing4"_s;
        QTest::newRow("了 cannot") << u"我吃不了"_s << u"wo3 chi1 bu4 liao3"_s;
        QTest::newRow("背 carry") << u"背著背包"_s << u"bei1 zhe5 bei1 bao1"_s;
        QTest::newRow("背 back") << u"他的背很痛"_s << u"ta1 de5 bei4 hen3 tong4"_s;
        QTest::newRow("種 plant") << u"把種子種在院子裡"_s
                                  << u"ba3 zhong3 zi3 zhong4 zai4 yuan4 zi5 li3"_s;
        QTest::newRow("種 kind") << u"這種花很香"_s << u"zhe4 zhong3 hua1 hen3 xiang1"_s;
        QTest::newRow("扇 fan") << u"他扇了扇子"_s << u"ta1 shan1 le5 shan4 zi5"_s;
        QTest::newRow("數 count twice") << u"數了數"_s << u"shu3 le5 shu3"_s;
        QTest::newRow("數 count once more") << u"數一數"_s << u"shu3 yi1 shu3"_s;
        QTest::newRow("降 surrender") << u"敵人投降了"_s << u"di2 ren2 tou2 xiang2 le5"_s;
        QTest::newRow("長 grow") << u"樹長高了"_s << u"shu4 zhang3 gao1 le5"_s;
        QTest::newRow("重 again") << u"請重寫一次"_s << u"qing3 chong2 xie3 yi1 ci4"_s;
        QTest::newRow("盛 onto a plate")
            << u"盛盤後撒點蔥花"_s << u"cheng2 pan2 hou4 sa3 dian3 cong1 hua1"_s;
        QTest::newRow("重 regain") << u"他才重獲自由"_s << u"ta1 cai2 chong2 huo4 zi4 you2"_s;
        QTest::newRow("還 give back") << u"記得還書"_s << u"ji4 de5 huan2 shu1"_s;
        QTest::newRow("還 still") << u"他還在"_s << u"ta1 hai2 zai4"_s;
        QTest::newRow("處 handle") << u"被處以罰鍰"_s << u"bei4 chu3 yi3 fa2 huan2"_s;
        QTest::newRow("更 more") << u"更方便"_s << u"geng4 fang1 bian4"_s;
        QTest::newRow("倒 pour") << u"倒水"_s << u"dao4 shui3"_s;
        QTest::newRow("中 hit") << u"他猜中了"_s << u"ta1 cai1 zhong4 le5"_s;
        QTest::newRow("為 copula") << u"本品為易碎品"_s << u"ben3 pin3 wei2 yi4 sui4 pin3"_s;
        QTest::newRow("為 before a number")
            << u"合格率為95%"_s << u"he2 ge2 lv4 wei2 bai3 fen1 zhi1 jiu3 shi2 wu3"_s;
        QTest::newRow("為 for") << u"為民眾服務"_s << u"wei4 min2 zhong4 fu2 wu4"_s;
        QTest::newRow("為 become") << u"調整為全天"_s << u"tiao2 zheng3 wei2 quan2 tian1"_s;
        QTest::newRow("得 must after a time") << u"下次得換"_s << u"xia4 ci4 dei3 huan4"_s;
        QTest::newRow("都會 all will") << u"大家都會來"_s << u"da4 jia1 dou1 hui4 lai2"_s;
        QTest::newRow("都會 city") << u"大都會"_s << u"da4 du1 hui4"_s;
        QTest::newRow("得到 can reach") << u"看得到"_s << u"kan4 de5 dao4"_s;
        QTest::newRow("覺 a sleep") << u"睡一覺"_s << u"shui4 yi1 jiao4"_s;
        QTest::newRow("量 measure") << u"先量體溫"_s << u"xian1 liang2 ti3 wen1"_s;
        QTest::newRow("薄 thin") << u"太薄了"_s << u"tai4 bao2 le5"_s;
        QTest::newRow("薄 thinner") << u"機身更薄"_s << u"ji1 shen1 geng4 bao2"_s;
        QTest::newRow("得 must, then an adverb")
            << u"家長得自行安排"_s << u"jia1 zhang3 dei3 zi4 xing2 an1 pai2"_s;
        QTest::newRow("得 must after 常")
            << u"病患常得在走廊等"_s << u"bing4 huan4 chang2 dei3 zai4 zou3 lang2 deng3"_s;
        QTest::newRow("地 after a doubled word")
            << u"春雨輕輕地下著，慢慢地上升"_s
            << u"chun1 yu3 qing1 qing1 de5 xia4 zhe5 man4 man4 de5 shang4 sheng1"_s;
        QTest::newRow("地下 underground")
            << u"停車場在地下"_s << u"ting2 che1 chang3 zai4 di4 xia4"_s;
        QTest::newRow("薄得 thin") << u"牆壁薄得像紙"_s << u"qiang2 bi4 bao2 de5 xiang4 zhi3"_s;
        QTest::newRow("為 as food") << u"以竹子為食"_s << u"yi3 zhu2 zi5 wei2 shi2"_s;
        QTest::newRow("調 a person") << u"要調我去南部"_s << u"yao4 diao4 wo3 qu4 nan2 bu4"_s;
        QTest::newRow("假 day off") << u"請一天假"_s << u"qing3 yi1 tian1 jia4"_s;
        QTest::newRow("吐 vomit") << u"一直吐"_s << u"yi1 zhi2 tu4"_s;
        QTest::newRow("炸 fry") << u"炸得很酥"_s << u"zha2 de5 hen3 su1"_s;
        QTest::newRow("盛 fill") << u"幫我盛飯"_s << u"bang1 wo3 cheng2 fan4"_s;
        QTest::newRow("行 a line") << u"淚千行"_s << u"lei4 qian1 hang2"_s;
        QTest::newRow("行 a party") << u"一行人"_s << u"yi1 xing2 ren2"_s;
        QTest::newRow("重 layers") << u"數重山"_s << u"shu4 chong2 shan1"_s;
        QTest::newRow("長 too long") << u"太長了"_s << u"tai4 chang2 le5"_s;
        QTest::newRow("為 to be, in verse") << u"何以為家國，長歌入白雲。"_s
                                            << u"he2 yi3 wei2 jia1 guo2 chang2 ge1 ru4 bai2 yun2"_s;
        QTest::newRow("為 for, in verse") << u"今朝為君舞，明日各西東。"_s
                                          << u"jin1 zhao1 wei4 jun1 wu3 ming2 ri4 ge4 xi1 dong1"_s;
        QTest::newRow("為 for, in prose of unequal clauses")
            << u"他為家人努力工作，從不喊累。"_s
            << u"ta1 wei4 jia1 ren2 nu3 li4 gong1 zuo4 cong2 bu4 han3 lei4"_s;
        QTest::newRow("為 for, in a modern couplet")
            << u"你為我擔心，我為你祈禱。"_s << u"ni3 wei4 wo3 dan1 xin1 wo3 wei4 ni3 qi2 dao3"_s;
        QTest::newRow("得 to get, in verse")
            << u"此景難得見，何處能得聞。"_s
            << u"ci3 jing3 nan2 de2 jian4 he2 chu4 neng2 de2 wen2"_s;
        QTest::newRow("還 return") << u"散盡還復來"_s << u"san4 jin4 huan2 fu4 lai2"_s;
        QTest::newRow("穿著 wearing") << u"她穿著外套"_s << u"ta1 chuan1 zhe5 wai4 tao4"_s;
        QTest::newRow("穿著 clothing") << u"他的穿著"_s << u"ta1 de5 chuan1 zhuo2"_s;
        QTest::newRow("了 ended, as a word") << u"何時了"_s << u"he2 shi2 liao3"_s;
        QTest::newRow("為 taken as, after 以")
            << u"以他的名字為店名"_s << u"yi3 ta1 de5 ming2 zi4 wei2 dian4 ming2"_s;
        QTest::newRow("為 chosen as")
            << u"大家選他為班長"_s << u"da4 jia1 xuan3 ta1 wei2 ban1 zhang3"_s;
        QTest::newRow("為 for, after 可以") << u"可以為你做"_s << u"ke3 yi3 wei4 ni3 zuo4"_s;
        QTest::newRow("還 give back to someone")
            << u"我明天就還你"_s << u"wo3 ming2 tian1 jiu4 huan2 ni3"_s;
        QTest::newRow("還 still, before a pronoun")
            << u"他還你好嗎"_s << u"ta1 hai2 ni3 hao3 ma5"_s;
        QTest::newRow("得 must after a day") << u"明天得去"_s << u"ming2 tian1 dei3 qu4"_s;
        QTest::newRow("得 can, inside a word")
            << u"大家都聽得懂"_s << u"da4 jia1 dou1 ting1 de5 dong3"_s;
        QTest::newRow("得 can, before 了 or 著 where the verb's negative is a word")
            << u"你忘得了嗎？一個人管得了嗎？晚上睡得著嗎？他贏得了比賽"_s
            << u"ni3 wang4 de5 liao3 ma5 yi1 ge4 ren2 guan3 de5 liao3 ma5 "
               u"wan3 shang4 shui4 de5 zhao2 ma5 ta1 ying2 de2 le5 bi3 sai4"_s;
        QTest::newRow("得 got, inside a word")
            << u"高興得不得了"_s << u"gao1 xing4 de5 bu4 de2 liao3"_s;
        QTest::newRow("空 leave blank") << u"開頭空兩格"_s << u"kai1 tou2 kong4 liang3 ge2"_s;
        QTest::newRow("倒 pour a cup") << u"幫我倒一杯"_s << u"bang1 wo3 dao4 yi1 bei1"_s;
        QTest::newRow("倒 tip out") << u"拿出去倒"_s << u"na2 chu1 qu4 dao4"_s;
        QTest::newRow("中 won") << u"他中了頭獎"_s << u"ta1 zhong4 le5 tou2 jiang3"_s;
        QTest::newRow("量 measure, first") << u"量腰圍"_s << u"liang2 yao1 wei2"_s;
        QTest::newRow("繫 tie") << u"繫好鞋帶"_s << u"ji4 hao3 xie2 dai4"_s;
        QTest::newRow("系 tie, Simplified") << u"系好安全带"_s << u"ji4 hao3 an1 quan2 dai4"_s;
        QTest::newRow("干 do, Simplified")
            << u"这孩子真能干"_s << u"zhe4 hai2 zi5 zhen1 neng2 gan4"_s;
        QTest::newRow("干 dry, after a modal")
            << u"这样能干燥吗"_s << u"zhe4 yang4 neng2 gan1 zao4 ma5"_s;
        QTest::newRow("倒 dump, after 將")
            << u"將垃圾倒在路旁"_s << u"jiang1 le4 se4 dao4 zai4 lu4 pang2"_s;
        QTest::newRow("當 take as, after 把") << u"把他當朋友"_s << u"ba3 ta1 dang4 peng2 you5"_s;
        QTest::newRow("當 at, after 把握") << u"把握當下"_s << u"ba3 wo4 dang1 xia4"_s;
        QTest::newRow("落 left behind")
            << u"把雨傘落在車上"_s << u"ba3 yu3 san3 la4 zai4 che1 shang4"_s;
        QTest::newRow("長 grow, with 著") << u"頭上長著角"_s << u"tou2 shang4 zhang3 zhe5 jiao3"_s;
        QTest::newRow("待 stay until")
            << u"在圖書館待到閉館"_s << u"zai4 tu2 shu1 guan3 dai1 dao4 bi4 guan3"_s;
        QTest::newRow("悶 stuffy") << u"又擠又悶"_s << u"you4 ji3 you4 men1"_s;
        QTest::newRow("還 pay off") << u"全部還掉"_s << u"quan2 bu4 huan2 diao4"_s;
        QTest::newRow("為 is, on a sign")
            << u"此門為緊急出口"_s << u"ci3 men2 wei2 jin3 ji2 chu1 kou3"_s;
        QTest::newRow("處 punished with") << u"可處罰鍰"_s << u"ke3 chu3 fa2 huan2"_s;
        QTest::newRow("率 lead") << u"鄭成功率軍擊退敵人"_s
                                 << u"zheng4 cheng2 gong1 shuai4 jun1 ji2 tui4 di2 ren2"_s;
        QTest::newRow("只 only, Simplified after an adverb")
            << u"别只看价格"_s << u"bie2 zhi3 kan4 jia4 ge2"_s;
        QTest::newRow("得 got it") << u"耳得之而為聲"_s << u"er3 de2 zhi1 er2 wei2 sheng1"_s;
        QTest::newRow("縫 a crack") << u"磁磚縫發霉了"_s << u"ci2 zhuan1 feng4 fa1 mei2 le5"_s;
        QTest::newRow("予 I") << u"予獨愛蓮"_s << u"yu2 du2 ai4 lian2"_s;
        QTest::newRow("結 bear fruit")
            << u"果樹終於結果了"_s << u"guo3 shu4 zhong1 yu2 jie1 guo3 le5"_s;
        QTest::newRow("結果 as a result") << u"結果他沒來"_s << u"jie2 guo3 ta1 mei2 lai2"_s;
        QTest::newRow("切 cut") << u"切好的蔥"_s << u"qie1 hao3 de5 cong1"_s;
        QTest::newRow("為 switched to")
            << u"已切換為流暢模式"_s << u"yi3 qie1 huan4 wei2 liu2 chang4 mo2 shi4"_s;
        QTest::newRow("為 because, in verse")
            << u"遙知不是雪，為有暗香來。"_s
            << u"yao2 zhi1 bu4 shi4 xue3 wei4 you3 an4 xiang1 lai2"_s;
        QTest::newRow("還 pay back a loan")
            << u"去銀行還房貸"_s << u"qu4 yin2 hang2 huan2 fang2 dai4"_s;
        QTest::newRow("得 must, after 是不是")
            << u"我是不是得搬走"_s << u"wo3 shi4 bu4 shi4 dei3 ban1 zou3"_s;
        QTest::newRow("處 fined") << u"違者處罰鍰"_s << u"wei2 zhe3 chu3 fa2 huan2"_s;
        QTest::newRow("塞 frontier") << u"征蓬出漢塞，歸雁入胡天。"_s
                                     << u"zheng1 peng2 chu1 han4 sai4 gui1 yan4 ru4 hu2 tian1"_s;
        QTest::newRow("地 one by one")
            << u"一塊一塊地放進去"_s << u"yi1 kuai4 yi1 kuai4 de5 fang4 jin4 qu4"_s;
        QTest::newRow("量 measure twice")
            << u"用量角器量一量"_s << u"yong4 liang2 jiao3 qi4 liang2 yi1 liang2"_s;
        QTest::newRow("几 how many, Simplified alone")
            << u"每份是几根"_s << u"mei3 fen4 shi4 ji3 gen1"_s;
        QTest::newRow("了 cannot, after a verb")
            << u"連接不了網路"_s << u"lian2 jie1 bu4 liao3 wang3 lu4"_s;
        QTest::newRow("卡 stuck") << u"常卡在沙發底下"_s << u"chang2 qia3 zai4 sha1 fa1 di3 xia4"_s;
        QTest::newRow("應 answered")
            << u"我幫你應了一聲"_s << u"wo3 bang1 ni3 ying4 le5 yi1 sheng1"_s;
        QTest::newRow("地 after a doubled word, before 滑")
            << u"默默地滑手機"_s << u"mo4 mo4 de5 hua2 shou3 ji1"_s;
        QTest::newRow("似 like, not 似的") << u"相似的事物"_s << u"xiang1 si4 de5 shi4 wu4"_s;
        QTest::newRow("穿著 wearing, then how it feels")
            << u"這雙鞋穿著很輕便"_s << u"zhe4 shuang1 xie2 chuan1 zhe5 hen3 qing1 bian4"_s;
        QTest::newRow("量 measure with a ruler")
            << u"用尺子量桌子"_s << u"yong4 chi3 zi5 liang2 zhuo1 zi5"_s;
        QTest::newRow("差 a difference of")
            << u"以一分之差落敗"_s << u"yi3 yi1 fen1 zhi1 cha1 luo4 bai4"_s;
        QTest::newRow("看 mind the children")
            << u"你在家看著孩子"_s << u"ni3 zai4 jia1 kan1 zhe5 hai2 zi5"_s;
        QTest::newRow("看 look at something") << u"他看著窗外"_s << u"ta1 kan4 zhe5 chuang1 wai4"_s;
        QTest::newRow("閤 close, Simplified 合眼")
            << u"一整晚都没合眼"_s << u"yi1 zheng3 wan3 dou1 mei2 he2 yan3"_s;
        QTest::newRow("和 knead") << u"加溫水和成麵糰"_s
                                  << u"jia1 wen1 shui3 huo2 cheng2 mian4 tuan2"_s;
        QTest::newRow("和 and, after water") << u"水和空氣"_s << u"shui3 he2 kong1 qi4"_s;
        QTest::newRow("扇 fan, last") << u"拿扇子一直扇"_s << u"na2 shan4 zi5 yi1 zhi2 shan1"_s;
        QTest::newRow("得 must, after 的話")
            << u"逾期的話得繳罰款"_s << u"yu2 qi2 de5 hua4 dei3 jiao3 fa2 kuan3"_s;
        QTest::newRow("看 mind the house") << u"你先看家"_s << u"ni3 xian1 kan1 jia1"_s;
        QTest::newRow("還得 still must")
            << u"明天還得開會"_s << u"ming2 tian1 hai2 dei3 kai1 hui4"_s;
        QTest::newRow("得 particle, not 心得")
            << u"開心得說不出話"_s << u"kai1 xin1 de5 shuo1 bu4 chu1 hua4"_s;
        QTest::newRow("地 after a doubled measure")
            << u"一片片地飄落"_s << u"yi1 pian4 pian4 de5 piao1 luo4"_s;
        QTest::newRow("地 a stretch of land") << u"一大片地"_s << u"yi1 da4 pian4 di4"_s;
        QTest::newRow("轉 round") << u"繞著太陽轉一圈"_s
                                  << u"rao4 zhe5 tai4 yang2 zhuan4 yi1 quan1"_s;
        QTest::newRow("應 answer, last") << u"叫了也沒人應"_s << u"jiao4 le5 ye3 mei2 ren2 ying4"_s;
        QTest::newRow("穿著 as the subject")
            << u"穿著要整齊"_s << u"chuan1 zhuo2 yao4 zheng3 qi2"_s;
        QTest::newRow("供 offer") << u"供上鮮花"_s << u"gong4 shang4 xian1 hua1"_s;
        QTest::newRow("個 after a number") << u"兩個人"_s << u"liang3 ge4 ren2"_s;
        QTest::newRow("phrases do not split words")
            << u"我的確不知道"_s << u"wo3 di2 que4 bu4 zhi1 dao4"_s;
        QTest::newRow("倒 pour in, after 先") << u"先倒入白醋"_s << u"xian1 dao4 ru4 bai2 cu4"_s;
        QTest::newRow("好 good, before 學校") << u"但好學校"_s << u"dan4 hao3 xue2 xiao4"_s;
        QTest::newRow("盛 dish out")
            << u"稍微凝固就盛出"_s << u"shao1 wei2 ning2 gu4 jiu4 cheng2 chu1"_s;
        QTest::newRow("朝會 assembly, after 在")
            << u"在朝會上頒獎"_s << u"zai4 zhao1 hui4 shang4 ban1 jiang3"_s;
        QTest::newRow("著 after 壓") << u"被壓著打"_s << u"bei4 ya1 zhe5 da3"_s;
        QTest::newRow("哄 coax") << u"哄孩子睡覺"_s << u"hong3 hai2 zi5 shui4 jiao4"_s;
        QTest::newRow("撇 skim") << u"撇去浮沫"_s << u"pie1 qu4 fu2 mo4"_s;
        QTest::newRow("曾子, before 曰") << u"曾子曰"_s << u"zeng1 zi3 yue1"_s;
        QTest::newRow("說 glad") << u"不亦說乎"_s << u"bu4 yi4 yue4 hu1"_s;
        QTest::newRow("地 floor, on a sign")
            << u"小心地滑，注意安全"_s << u"xiao3 xin1 di4 hua2 zhu4 yi4 an1 quan2"_s;
        QTest::newRow("處 an office, before 在")
            << u"掛號處在一樓"_s << u"gua4 hao4 chu4 zai4 yi1 lou2"_s;
        QTest::newRow("還 give back, after 能")
            << u"月底能還我嗎"_s << u"yue4 di3 neng2 huan2 wo3 ma5"_s;
        QTest::newRow("待 stay too long") << u"別待太久"_s << u"bie2 dai1 tai4 jiu3"_s;
        QTest::newRow("吐 vomit, last") << u"貓最近老是吐，"_s << u"mao1 zui4 jin4 lao3 shi4 tu4"_s;
        QTest::newRow("吐 spit out") << u"吐了一口氣"_s << u"tu3 le5 yi1 kou3 qi4"_s;
        QTest::newRow("吐 vomit, before 了")
            << u"孩子坐車吐了一路"_s << u"hai2 zi5 zuo4 che1 tu4 le5 yi1 lu4"_s;
        QTest::newRow("都 all, not 花都")
            << u"公園的花都開了"_s << u"gong1 yuan2 de5 hua1 dou1 kai1 le5"_s;
        QTest::newRow("得 must, after 大概")
            << u"我今晚大概得熬夜了"_s << u"wo3 jin1 wan3 da4 gai4 dei3 ao2 ye4 le5"_s;
        QTest::newRow("得 a particle, not 收得")
            << u"結局收得太倉促"_s << u"jie2 ju2 shou1 de5 tai4 cang1 cu4"_s;
        QTest::newRow("數 count, after 在")
            << u"一半在數主角哭了幾次"_s << u"yi1 ban4 zai4 shu3 zhu3 jue2 ku1 le5 ji3 ci4"_s;
        QTest::newRow("數 a number, after 的")
            << u"測出來的數不準"_s << u"ce4 chu1 lai2 de5 shu4 bu4 zhun3"_s;
        QTest::newRow("還 pay back, in verse")
            << u"明月何時照我還。"_s << u"ming2 yue4 he2 shi2 zhao4 wo3 huan2"_s;
        QTest::newRow("為 is, after 本 and a noun")
            << u"本站為無障礙車站"_s << u"ben3 zhan4 wei2 wu2 zhang4 ai4 che1 zhan4"_s;
        QTest::newRow("為 is, after 本 and a two-character noun")
            << u"本楼层为行政办公区"_s << u"ben3 lou2 ceng2 wei2 xing2 zheng4 ban4 gong1 qu1"_s;
        QTest::newRow("為 for, after the adverb 本來")
            << u"他本來為大家準備了"_s << u"ta1 ben3 lai2 wei4 da4 jia1 zhun3 bei4 le5"_s;
        QTest::newRow("為 for, after 因此")
            << u"大家因此為他高興"_s << u"da4 jia1 yin1 ci3 wei4 ta1 gao1 xing4"_s;
        QTest::newRow("為 for, a clause after 選擇")
            << u"選擇返鄉創業，為農村注入活力"_s
            << u"xuan3 ze2 fan3 xiang1 chuang4 ye4 wei4 nong2 cun1 zhu4 ru4 huo2 li4"_s;
        QTest::newRow("當 when, a clause after 把")
            << u"把作業寫完，當我回家時"_s << u"ba3 zuo4 ye4 xie3 wan2 dang1 wo3 hui2 jia1 shi2"_s;
        QTest::newRow("種 plant, after 在家")
            << u"在家種香草"_s << u"zai4 jia1 zhong4 xiang1 cao3"_s;
        QTest::newRow("種 plant, ending a clause")
            << u"這種花很好種"_s << u"zhe4 zhong3 hua1 hen3 hao3 zhong4"_s;
        QTest::newRow("長 grow, before 得") << u"也長得很好"_s << u"ye3 zhang3 de5 hen3 hao3"_s;
        QTest::newRow("背 behind someone's back, Simplified")
            << u"他背着妈妈买了"_s << u"ta1 bei4 zhe5 ma1 ma5 mai3 le5"_s;
        QTest::newRow("背 carry, Simplified") << u"他背着书包"_s << u"ta1 bei1 zhe5 shu1 bao1"_s;
        QTest::newRow("悶 stuffy, in a room")
            << u"房間裡實在太悶了"_s << u"fang2 jian1 li3 shi2 zai4 tai4 men1 le5"_s;
        QTest::newRow("悶 low in spirits") << u"心裡好悶"_s << u"xin1 li3 hao3 men4"_s;
        QTest::newRow("落 left in a classroom")
            << u"我的作業本落在教室了"_s << u"wo3 de5 zuo4 ye4 ben3 la4 zai4 jiao4 shi4 le5"_s;
        QTest::newRow("落 leaves falling")
            << u"樹葉落在車上"_s << u"shu4 ye4 luo4 zai4 che1 shang4"_s;
        QTest::newRow("結 bear fruit")
            << u"芒果樹結了好多果子"_s << u"mang2 guo3 shu4 jie1 le5 hao3 duo1 guo3 zi5"_s;
        QTest::newRow("結 marry") << u"他結了婚"_s << u"ta1 jie2 le5 hun1"_s;
        QTest::newRow("還 give back, after 一定")
            << u"明天一定還你"_s << u"ming2 tian1 yi1 ding4 huan2 ni3"_s;
        QTest::newRow("薄 thin, after 得") << u"切得薄一點"_s << u"qie1 de5 bao2 yi1 dian3"_s;
        QTest::newRow("倒了 dumped, after 把")
            << u"你先把垃圾倒了"_s << u"ni3 xian1 ba3 le4 se4 dao4 le5"_s;
        QTest::newRow("倒了 knocked over, after 把")
            << u"把杯子弄倒了"_s << u"ba3 bei1 zi5 nong4 dao3 le5"_s;
        QTest::newRow("將 a veteran before 在")
            << u"這名老將在決賽中"_s << u"zhe4 ming2 lao3 jiang4 zai4 jue2 sai4 zhong1"_s;
        QTest::newRow("將 will, before 在")
            << u"比賽將在明天舉行"_s << u"bi3 sai4 jiang1 zai4 ming2 tian1 ju3 xing2"_s;
        QTest::newRow("為 for, someone's sake ahead")
            << u"要多為別人著想"_s << u"yao4 duo1 wei4 bie2 ren2 zhuo2 xiang3"_s;
        QTest::newRow("為 is, after 多")
            << u"患者多為老人"_s << u"huan4 zhe3 duo1 wei2 lao3 ren2"_s;
        QTest::newRow("為 for, the home team") << u"為主隊加油"_s << u"wei4 zhu3 dui4 jia1 you2"_s;
        QTest::newRow("為 is, after 本 and a three-character noun")
            << u"本停車場為住戶專用"_s << u"ben3 ting2 che1 chang3 wei2 zhu4 hu4 zhuan1 yong4"_s;
        QTest::newRow("得 must, before 等")
            << u"押金得等退租"_s << u"ya1 jin1 dei3 deng3 tui4 zu1"_s;
        QTest::newRow("空 free time") << u"我抽不出空。"_s << u"wo3 chou1 bu4 chu1 kong4"_s;
        QTest::newRow("數 the best is, after 就")
            << u"就數他跑得最快"_s << u"jiu4 shu3 ta1 pao3 de5 zui4 kuai4"_s;
        QTest::newRow("背 carry the blame") << u"這鍋我不背"_s << u"zhe4 guo1 wo3 bu4 bei1"_s;
        QTest::newRow("背 carry, OpenCC's 揹著")
            << u"然后背着书包去上学"_s << u"ran2 hou4 bei1 zhe5 shu1 bao1 qu4 shang4 xue2"_s;
        QTest::newRow("扎 tie up hair") << u"扎个丸子头"_s << u"za1 ge4 wan2 zi5 tou2"_s;
        QTest::newRow("扎 prick") << u"把根扎得很深"_s << u"ba3 gen1 zha1 de5 hen3 shen1"_s;
        QTest::newRow("劃 strike a match")
            << u"劃了一根火柴"_s << u"hua2 le5 yi1 gen1 huo3 chai2"_s;
        QTest::newRow("劃 plan") << u"計劃了很久"_s << u"ji4 hua4 le5 hen3 jiu3"_s;
        QTest::newRow("宿 a night") << u"吵了一宿"_s << u"chao3 le5 yi1 xiu3"_s;
        QTest::newRow("宿 a dormitory") << u"一宿舍的人"_s << u"yi1 su4 she4 de5 ren2"_s;
        QTest::newRow("種 plant, before 著")
            << u"這塊地原本種著甘蔗"_s << u"zhe4 kuai4 di4 yuan2 ben3 zhong4 zhe5 gan1 zhe4"_s;
        QTest::newRow("傳 a biography, ending a title")
            << u"剛看完這本喬布斯傳，"_s << u"gang1 kan4 wan2 zhe4 ben3 qiao2 bu4 si1 zhuan4"_s;
        QTest::newRow("為 for, after 將")
            << u"該市將為青少年提供服務"_s
            << u"gai1 shi4 jiang1 wei4 qing1 shao4 nian2 ti2 gong1 fu2 wu4"_s;
        QTest::newRow("為 is, after 將")
            << u"明天將為多雲的天氣"_s << u"ming2 tian1 jiang1 wei2 duo1 yun2 de5 tian1 qi4"_s;
        QTest::newRow("倒 pour, downwards") << u"別往下倒"_s << u"bie2 wang3 xia4 dao4"_s;
        QTest::newRow("悶 shut in") << u"他悶在房間裡"_s << u"ta1 men1 zai4 fang2 jian1 li3"_s;
        QTest::newRow("結 bear gourds")
            << u"結了好幾條絲瓜"_s << u"jie1 le5 hao3 ji3 tiao2 si1 gua1"_s;
        QTest::newRow("了 aspect, before 事 after a deed")
            << u"做錯了事也不肯認錯"_s << u"zuo4 cuo4 le5 shi4 ye3 bu4 ken3 ren4 cuo4"_s;
        QTest::newRow("了 settle, in 了事") << u"草草了事"_s << u"cao3 cao3 liao3 shi4"_s;
        QTest::newRow("教 teach, in 教會 before a person")
            << u"她教會我耐心"_s << u"ta1 jiao1 hui4 wo3 nai4 xin1"_s;
        QTest::newRow("教 a church") << u"我去教會"_s << u"wo3 qu4 jiao4 hui4"_s;
        QTest::newRow("調 turned up to a setting")
            << u"音量調到最大"_s << u"yin1 liang4 tiao2 dao4 zui4 da4"_s;
        QTest::newRow("調 transferred to a city")
            << u"他明年要調到高雄上班"_s
            << u"ta1 ming2 nian2 yao4 diao4 dao4 gao1 xiong2 shang4 ban1"_s;
        QTest::newRow("還 give back, after 不")
            << u"逾期不還將取消資格"_s << u"yu2 qi2 bu4 huan2 jiang1 qu3 xiao1 zi1 ge2"_s;
        QTest::newRow("還 still, after 不 before 是")
            << u"他不還是來了"_s << u"ta1 bu4 hai2 shi4 lai2 le5"_s;
        QTest::newRow("中 won, never") << u"從來沒中過"_s << u"cong2 lai2 mei2 zhong4 guo4"_s;
        QTest::newRow("嚼 chew, alone") << u"越嚼越香"_s << u"yue4 jiao2 yue4 xiang1"_s;
        QTest::newRow("看 keep watch over luggage")
            << u"我在門口看著行李"_s << u"wo3 zai4 men2 kou3 kan1 zhe5 xing2 li3"_s;
        QTest::newRow("看 keep watch, asked to")
            << u"錢包一定要看好。"_s << u"qian2 bao1 yi1 ding4 yao4 kan1 hao3"_s;
        QTest::newRow("看 keep watch over your things")
            << u"請看好您的隨身物品"_s << u"qing3 kan1 hao3 nin2 de5 sui2 shen1 wu4 pin3"_s;
        QTest::newRow("看 a car, a moment")
            << u"幫我看一下車，我馬上回來"_s
            << u"bang1 wo3 kan1 yi1 xia4 che1 wo3 ma3 shang4 hui2 lai2"_s;
        QTest::newRow("看 look over a plan") << u"看一下行程"_s << u"kan4 yi1 xia4 xing2 cheng2"_s;
        QTest::newRow("看 expect well of someone")
            << u"我很看好他"_s << u"wo3 hen3 kan4 hao3 ta1"_s;
        QTest::newRow("背 carry a bag")
            << u"我一般只背一個雙肩包"_s << u"wo3 yi1 ban1 zhi3 bei1 yi1 ge4 shuang1 jian1 bao1"_s;
        QTest::newRow("背 carry luggage")
            << u"你背那麼多行李不累嗎"_s << u"ni3 bei1 na4 me5 duo1 xing2 li3 bu4 lei4 ma5"_s;
        QTest::newRow("背 recite") << u"他背了很多單字"_s << u"ta1 bei4 le5 hen3 duo1 dan1 zi4"_s;
        QTest::newRow("散 hanging loose")
            << u"頭髮散著太熱了"_s << u"tou2 fa3 san3 zhe5 tai4 re4 le5"_s;
        QTest::newRow("地 the floor, after 把")
            << u"他默默地把地拖完了"_s << u"ta1 mo4 mo4 de5 ba3 di4 tuo1 wan2 le5"_s;
        QTest::newRow("縫 a crack in a sofa")
            << u"掉在沙發縫裡"_s << u"diao4 zai4 sha1 fa1 feng4 li3"_s;
        QTest::newRow("量 measure, a few times") << u"再量幾次"_s << u"zai4 liang2 ji3 ci4"_s;
        QTest::newRow("中 in, after 小說")
            << u"小說中，縣官"_s << u"xiao3 shuo1 zhong1 xian4 guan1"_s;
        QTest::newRow("還 give back, hard to")
            << u"借出去的錢很難還回來"_s << u"jie4 chu1 qu4 de5 qian2 hen3 nan2 huan2 hui2 lai2"_s;
        QTest::newRow("還 still coming back") << u"他還回來嗎"_s << u"ta1 hai2 hui2 lai2 ma5"_s;
        QTest::newRow("還 give back, ending a clause")
            << u"下次見面還你。"_s << u"xia4 ci4 jian4 mian4 huan2 ni3"_s;
        QTest::newRow("得 must, after 仍然") << u"仍然得排隊"_s << u"reng2 ran2 dei3 pai2 dui4"_s;
        QTest::newRow("數 count, can never")
            << u"繁星數也數不清"_s << u"fan2 xing1 shu3 ye3 shu3 bu4 qing1"_s;
        QTest::newRow("調 a song's key")
            << u"這首歌的調太高了"_s << u"zhe4 shou3 ge1 de5 diao4 tai4 gao1 le5"_s;
        QTest::newRow("轉 spin") << u"洗衣機轉得特別響"_s
                                 << u"xi3 yi1 ji1 zhuan4 de5 te4 bie2 xiang3"_s;
        QTest::newRow("轉 go round and round")
            << u"在裡面轉了半天"_s << u"zai4 li3 mian4 zhuan4 le5 ban4 tian1"_s;
        QTest::newRow("衝 blunt") << u"是我說話太衝。"_s << u"shi4 wo3 shuo1 hua4 tai4 chong4"_s;
        QTest::newRow("當 fooled, before 了")
            << u"不會再上當了"_s << u"bu4 hui4 zai4 shang4 dang4 le5"_s;
        QTest::newRow("看 mind the pot")
            << u"你幫我看著鍋，我下樓"_s << u"ni3 bang1 wo3 kan1 zhe5 guo1 wo3 xia4 lou2"_s;
        QTest::newRow("種 a kind, after 余")
            << u"品種多達十余種。"_s << u"pin3 zhong3 duo1 da2 shi2 yu2 zhong3"_s;
        QTest::newRow("種 plant, before 哪")
            << u"陽台適合種哪種香草"_s << u"yang2 tai2 shi4 he2 zhong4 na3 zhong3 xiang1 cao3"_s;
        QTest::newRow("還 repay, before 的") << u"要還的利息"_s << u"yao4 huan2 de5 li4 xi2"_s;
        QTest::newRow("當 take as, after 就")
            << u"就當是塞翁失馬吧"_s << u"jiu4 dang4 shi4 sai4 weng1 shi1 ma3 ba5"_s;
        QTest::newRow("當 then, after 就") << u"就當時來說"_s << u"jiu4 dang1 shi2 lai2 shuo1"_s;
        QTest::newRow("落 lost, not left behind")
            << u"請勿將貴重物品遺落在車上"_s
            << u"qing3 wu4 jiang1 gui4 zhong4 wu4 pin3 yi2 luo4 zai4 che1 shang4"_s;
        QTest::newRow("降 fall, before 後")
            << u"聲調先降後升"_s << u"sheng1 diao4 xian1 jiang4 hou4 sheng1"_s;
        QTest::newRow("地 as an adverb, after a doubled word")
            << u"開開心心地走進教室"_s << u"kai1 kai1 xin1 xin1 de5 zou3 jin4 jiao4 shi4"_s;
        QTest::newRow("重 again, before 貼") << u"可免費重貼"_s << u"ke3 mian3 fei4 chong2 tie1"_s;
        QTest::newRow("量 measure a temperature")
            << u"用體溫計量體溫"_s << u"yong4 ti3 wen1 ji4 liang2 ti3 wen1"_s;
        QTest::newRow("得 must, after 時")
            << u"點火時得特別小心"_s << u"dian3 huo3 shi2 dei3 te4 bie2 xiao3 xin1"_s;
        QTest::newRow("倒 yet, after 得")
            << u"你說得倒輕鬆"_s << u"ni3 shuo1 de5 dao4 qing1 song1"_s;
        QTest::newRow("得 get, full marks")
            << u"考試常常得滿分"_s << u"kao3 shi4 chang2 chang2 de2 man3 fen1"_s;
        QTest::newRow("著 attire, neat")
            << u"面試時穿著整齊就好"_s << u"mian4 shi4 shi2 chuan1 zhuo2 zheng3 qi2 jiu4 hao3"_s;
        QTest::newRow("為 is, after a station")
            << u"終點站為上海虹橋"_s << u"zhong1 dian3 zhan4 wei2 shang4 hai3 hong2 qiao2"_s;
        QTest::newRow("2 before 組") << u"每人限購2組"_s << u"mei3 ren2 xian4 gou4 liang3 zu3"_s;
        QTest::newRow("verse: 待到, 還來")
            << u"待到重陽日，還來就菊花。"_s
            << u"dai4 dao4 chong2 yang2 ri4 huan2 lai2 jiu4 ju2 hua1"_s;
        QTest::newRow("verse: 當作") << u"生當作人傑，死亦為鬼雄。"_s
                                     << u"sheng1 dang1 zuo4 ren2 jie2 si3 yi4 wei2 gui3 xiong2"_s;
        QTest::newRow("當作 take as, in prose")
            << u"他把我當作朋友"_s << u"ta1 ba3 wo3 dang4 zuo4 peng2 you5"_s;
        QTest::newRow("率 first, before 先進")
            << u"決賽中率先進球"_s << u"jue2 sai4 zhong1 shuai4 xian1 jin4 qiu2"_s;
        QTest::newRow("率 a rate, before 先") << u"效率先提高"_s << u"xiao4 lv4 xian1 ti2 gao1"_s;
        QTest::newRow("盛 ladle, half a bowl")
            << u"幫我盛半碗"_s << u"bang1 wo3 cheng2 ban4 wan3"_s;
        QTest::newRow("背 carry something heavy")
            << u"你背那麼重的東西"_s << u"ni3 bei1 na4 me5 zhong4 de5 dong1 xi5"_s;
        QTest::newRow("背 carry a computer")
            << u"每天背電腦通勤"_s << u"mei3 tian1 bei1 dian4 nao3 tong1 qin2"_s;
        QTest::newRow("為 for, after 別")
            << u"別為它睡不著覺"_s << u"bie2 wei4 ta1 shui4 bu4 zhao2 jiao4"_s;
        QTest::newRow("假 leave, after 請了")
            << u"我跟公司請了假，"_s << u"wo3 gen1 gong1 si1 qing3 le5 jia4"_s;
        QTest::newRow("量 a portion, ample") << u"量也很足"_s << u"liang4 ye3 hen3 zu2"_s;
        QTest::newRow("扇 fan oneself a little")
            << u"拿扇子扇一扇"_s << u"na2 shan4 zi5 shan1 yi1 shan1"_s;
        QTest::newRow("得 must, after a month")
            << u"下個月得省著點花"_s << u"xia4 ge4 yue4 dei3 sheng3 zhe5 dian3 hua1"_s;
        QTest::newRow("數 count again") << u"數了又數"_s << u"shu3 le5 you4 shu3"_s;
        QTest::newRow("處 get along")
            << u"跟同學都處得不錯"_s << u"gen1 tong2 xue2 dou1 chu3 de5 bu4 cuo4"_s;
        QTest::newRow("看 watched over, by someone")
            << u"白天需要有人看著。"_s << u"bai2 tian1 xu1 yao4 you3 ren2 kan1 zhe5"_s;
        QTest::newRow("轉 spin round")
            << u"風扇一直狂轉"_s << u"feng1 shan4 yi1 zhi2 kuang2 zhuan4"_s;
        QTest::newRow("差 short of") << u"只差一個字"_s << u"zhi3 cha4 yi1 ge4 zi4"_s;
        QTest::newRow("還 give back, after 可以")
            << u"明天可以還我嗎？"_s << u"ming2 tian1 ke3 yi3 huan2 wo3 ma5"_s;
        QTest::newRow("還 still, after 所以") << u"所以還是"_s << u"suo3 yi3 hai2 shi4"_s;
        QTest::newRow("傳 forward, ending a clause")
            << u"不要轉傳。"_s << u"bu4 yao4 zhuan3 chuan2"_s;
        QTest::newRow("當 fooled once")
            << u"我已經上過一次當了"_s << u"wo3 yi3 jing1 shang4 guo4 yi1 ci4 dang4 le5"_s;
        QTest::newRow("當 as a gift")
            << u"帶點水果當禮物"_s << u"dai4 dian3 shui3 guo3 dang4 li3 wu4"_s;
        QTest::newRow("結 frost forms")
            << u"草葉上結滿了霜"_s << u"cao3 ye4 shang4 jie2 man3 le5 shuang1"_s;
        QTest::newRow("結 fruit borne")
            << u"樹上結滿了果子"_s << u"shu4 shang4 jie1 man3 le5 guo3 zi5"_s;
        QTest::newRow("背 carry a schoolbag")
            << u"你先幫我背書包"_s << u"ni3 xian1 bang1 wo3 bei1 shu1 bao1"_s;
        QTest::newRow("為 to maintain, after 本店")
            << u"本店為維護用餐品質"_s << u"ben3 dian4 wei4 wei2 hu4 yong4 can1 pin3 zhi2"_s;
        QTest::newRow("調 set to a number")
            << u"冷氣請調至二十六度以上"_s
            << u"leng3 qi4 qing3 tiao2 zhi4 er4 shi2 liu4 du4 yi3 shang4"_s;
        QTest::newRow("和 won at mahjong, with mahjong a clause before")
            << u"麻將打了一下午，結果一把都沒和"_s
            << u"ma2 jiang4 da3 le5 yi1 xia4 wu3 jie2 guo3 yi1 ba3 dou1 mei2 hu2"_s;
        QTest::newRow("和 with, not mahjong")
            << u"我沒和他說話"_s << u"wo3 mei2 he2 ta1 shuo1 hua4"_s;
        QTest::newRow("著 attire, someone's")
            << u"他的穿著很隨便"_s << u"ta1 de5 chuan1 zhuo2 hen3 sui2 bian4"_s;
        QTest::newRow("著 worn, the particle")
            << u"他穿著一件外套"_s << u"ta1 chuan1 zhe5 yi1 jian4 wai4 tao4"_s;
        QTest::newRow("明朝 tomorrow morning, in verse")
            << u"小樓一夜聽春雨，深巷明朝賣杏花。"_s
            << u"xiao3 lou2 yi1 ye4 ting1 chun1 yu3 shen1 xiang4 ming2 zhao1 mai4 xing4 hua1"_s;
        QTest::newRow("明朝 the dynasty, in prose")
            << u"明朝的皇帝"_s << u"ming2 chao2 de5 huang2 di4"_s;
        QTest::newRow("還 still, before 回頭")
            << u"臨走前還回頭提醒我"_s << u"lin2 zou3 qian2 hai2 hui2 tou2 ti2 xing3 wo3"_s;
        QTest::newRow("相 each other, not a palm's lines")
            << u"執手相看淚眼"_s << u"zhi2 shou3 xiang1 kan4 lei4 yan3"_s;
        QTest::newRow("地 after one stitch and one thread; 縫 sews")
            << u"一針一線地縫著棉被"_s << u"yi1 zhen1 yi1 xian4 de5 feng2 zhe5 mian2 bei4"_s;
        QTest::newRow("縫 a crack in the ground")
            << u"地縫裡長出小草"_s << u"di4 feng4 li3 zhang3 chu1 xiao3 cao3"_s;
        QTest::newRow("剝 peel, standing alone")
            << u"幫我剝個雞蛋"_s << u"bang1 wo3 bao1 ge4 ji1 dan4"_s;
        QTest::newRow("釘 to nail, before the nail")
            << u"不用釘釘子"_s << u"bu4 yong4 ding4 ding1 zi5"_s;
        QTest::newRow("橫 unreasonable") << u"講話好橫"_s << u"jiang3 hua4 hao3 heng4"_s;
        QTest::newRow("涼 let cool, doubled around 一")
            << u"先涼一涼再喝"_s << u"xian1 liang4 yi1 liang4 zai4 he1"_s;
        QTest::newRow("涼 cool weather") << u"天氣涼一點"_s << u"tian1 qi4 liang2 yi1 dian3"_s;
        QTest::newRow("漲 flushes red")
            << u"她的臉漲得通紅"_s << u"ta1 de5 lian3 zhang4 de5 tong1 hong2"_s;
        QTest::newRow("漲 prices rise")
            << u"房價漲得很快"_s << u"fang2 jia4 zhang3 de5 hen3 kuai4"_s;
        QTest::newRow("劃 scratches a mark")
            << u"把地板劃出一道長痕"_s << u"ba3 di4 ban3 hua2 chu1 yi1 dao4 chang2 hen2"_s;
        QTest::newRow("劃 marks out an area")
            << u"劃出禁菸區域"_s << u"hua4 chu1 jin4 yan1 qu1 yu4"_s;
        QTest::newRow("著 of smelling, before 有")
            << u"這菜聞著有股怪味"_s << u"zhe4 cai4 wen2 zhe5 you3 gu3 guai4 wei4"_s;
        QTest::newRow("圈 pens sheep; a lap after a number")
            << u"把羊群圈在棚內，繞了一圈"_s
            << u"ba3 yang2 qun2 juan1 zai4 peng2 nei4 rao4 le5 yi1 quan1"_s;
        QTest::newRow("飲 waters an ox")
            << u"牽牛去溪邊飲牛"_s << u"qian1 niu2 qu4 xi1 bian1 yin4 niu2"_s;
        QTest::newRow("陸 six on a receipt")
            << u"新臺幣陸仟元整"_s << u"xin1 tai2 bi4 liu4 qian1 yuan2 zheng3"_s;
        QTest::newRow("挑起 a war stirred up, a load lifted")
            << u"列強挑起戰爭，他挑起擔子"_s
            << u"lie4 qiang2 tiao3 qi3 zhan4 zheng1 ta1 tiao1 qi3 dan4 zi5"_s;
        QTest::newRow("炸 fried golden, bombed")
            << u"用中火炸到金黃，被炸到"_s
            << u"yong4 zhong1 huo3 zha2 dao4 jin1 huang2 bei4 zha4 dao4"_s;
        QTest::newRow("遺 to give, in verse")
            << u"客從遠方來，遺我雙鯉魚。"_s
            << u"ke4 cong2 yuan3 fang1 lai2 wei4 wo3 shuang1 li3 yu2"_s;
        QTest::newRow("為 for, before vaccinating")
            << u"定期為牛隻施打疫苗"_s << u"ding4 qi2 wei4 niu2 zhi1 shi1 da3 yi4 miao2"_s;
        QTest::newRow("2 before 盒") << u"買2盒"_s << u"mai3 liang3 he2"_s;
        QTest::newRow("行 a line, slanting, in verse")
            << u"矮紙斜行閒作草，晴窗細乳戲分茶。"_s
            << u"ai3 zhi3 xie2 hang2 xian2 zuo4 cao3 qing2 chuang1 xi4 ru3 xi4 fen1 cha2"_s;
        QTest::newRow("重 layers, after a number, before 心")
            << u"這兩重心理障礙，身體的重心"_s
            << u"zhe4 liang3 chong2 xin1 li3 zhang4 ai4 shen1 ti3 de5 zhong4 xin1"_s;
        QTest::newRow("空 left blank; empty, before a stomach")
            << u"題目不要空著，他空著肚子"_s
            << u"ti2 mu4 bu4 yao4 kong4 zhe5 ta1 kong1 zhe5 du4 zi5"_s;
        QTest::newRow("任 the surname before a title, serving after 曾")
            << u"任老師說他曾任老師多年"_s
            << u"ren2 lao3 shi1 shuo1 ta1 ceng2 ren4 lao3 shi1 duo1 nian2"_s;
        QTest::newRow("朝 morning, with evening in the line")
            << u"朝如青絲暮成雪"_s << u"zhao1 ru2 qing1 si1 mu4 cheng2 xue3"_s;
        QTest::newRow("背 carries, a bag just before")
            << u"書包別只背一邊"_s << u"shu1 bao1 bie2 zhi3 bei1 yi1 bian1"_s;
        QTest::newRow("背 behind my back, doing something in secret")
            << u"別背著我偷偷打電動，他背著我走"_s
            << u"bie2 bei4 zhe5 wo3 tou1 tou1 da3 dian4 dong4 ta1 bei1 zhe5 wo3 zou3"_s;
        QTest::newRow("和 won at mahjong, cards in the sentence")
            << u"摸完最後一張牌：「和了！」"_s << u"mo1 wan2 zui4 hou4 yi1 zhang1 pai2 hu2 le5"_s;
        QTest::newRow("為 the copula after a distance")
            << u"前方2公里為事故多發路段"_s
            << u"qian2 fang1 liang3 gong1 li3 wei2 shi4 gu4 duo1 fa1 lu4 duan4"_s;
        QTest::newRow("為 for, after 專人")
            << u"由專人為您服務"_s << u"you2 zhuan1 ren2 wei4 nin2 fu2 wu4"_s;
        QTest::newRow("得 must, after 民眾")
            << u"民眾得提早規劃"_s << u"min2 zhong4 dei3 ti2 zao3 gui1 hua4"_s;
        QTest::newRow("得到 can book") << u"淡季才訂得到"_s << u"dan4 ji4 cai2 ding4 de5 dao4"_s;
        QTest::newRow("倒 upside down, before 著 and a verb")
            << u"把手機倒著拍"_s << u"ba3 shou3 ji1 dao4 zhe5 pai1"_s;
        QTest::newRow("結 bears peaches")
            << u"這樣結的桃子才大"_s << u"zhe4 yang4 jie1 de5 tao2 zi5 cai2 da4"_s;
        QTest::newRow("得 gets, after 採 in verse")
            << u"採得百花成蜜後，為誰辛苦為誰甜？"_s
            << u"cai3 de2 bai3 hua1 cheng2 mi4 hou4 wei4 shei2 xin1 ku3 wei4 shei2 tian2"_s;
        QTest::newRow("興 someone's fun, ending the clause")
            << u"別掃大家的興"_s << u"bie2 sao3 da4 jia1 de5 xing4"_s;
        QTest::newRow("泡 a measure of urine")
            << u"又尿了一泡，快換尿布"_s << u"you4 niao4 le5 yi1 pao1 kuai4 huan4 niao4 bu4"_s;
        QTest::newRow("背 carries a heavy bag, memorises a poem")
            << u"書包那麼重，媽媽幫你背。這首詩你要背。"_s
            << u"shu1 bao1 na4 me5 zhong4 ma1 ma5 bang1 ni3 bei1 zhe4 shou3 shi1 ni3 yao4 bei4"_s;
        QTest::newRow("種 plants, after 多 and 花 and 合")
            << u"多種幾棵樹，把花種上，適合種咖啡"_s
            << u"duo1 zhong4 ji3 ke1 shu4 ba3 hua1 zhong4 shang4 shi4 he2 zhong4 ka1 fei1"_s;
        QTest::newRow("吐 spits, after 亂")
            << u"請勿隨地亂吐"_s << u"qing3 wu4 sui2 di4 luan4 tu3"_s;
        QTest::newRow("盛 ladles, after 隨便")
            << u"米飯隨便盛"_s << u"mi3 fan4 sui2 bian4 cheng2"_s;
        QTest::newRow("得上 measures up; must go to work")
            << u"算得上便宜，我得上班了"_s
            << u"suan4 de5 shang4 pian2 yi5 wo3 dei3 shang4 ban1 le5"_s;
        QTest::newRow("看 minds a stall")
            << u"你幫我看一下攤子"_s << u"ni3 bang1 wo3 kan1 yi1 xia4 tan1 zi5"_s;
        QTest::newRow("繫 ties a belt") << u"請繫好安全帶，保持聯繫"_s
                                        << u"qing3 ji4 hao3 an1 quan2 dai4 bao3 chi2 lian2 xi4"_s;
        QTest::newRow("似 as if")
            << u"飛也似的衝到廚房，逃也似的"_s
            << u"fei1 ye3 shi4 de5 chong1 dao4 chu2 fang2 tao2 ye3 shi4 de5"_s;
        QTest::newRow("量 measures flour")
            << u"量麵粉很方便"_s << u"liang2 mian4 fen3 hen3 fang1 bian4"_s;
        QTest::newRow("薄 thin skin, thin dough")
            << u"皮膚薄，又圓又薄"_s << u"pi2 fu1 bao2 you4 yuan2 you4 bao2"_s;
        QTest::newRow("轉 spins without stop, turns a corner")
            << u"轉個不停，轉個彎"_s << u"zhuan4 ge4 bu4 ting2 zhuan3 ge4 wan1"_s;
        QTest::newRow("白得 white as paper")
            << u"白得像紙似的"_s << u"bai2 de5 xiang4 zhi3 shi4 de5"_s;
        QTest::newRow("扒 paws at a door; a wallet picked")
            << u"貓又在扒門，錢包被扒了"_s << u"mao1 you4 zai4 ba1 men2 qian2 bao1 bei4 pa2 le5"_s;
        QTest::newRow("晃 in a flash")
            << u"一晃就到年底了"_s << u"yi1 huang3 jiu4 dao4 nian2 di3 le5"_s;
        QTest::newRow("看 minds one's own bag")
            << u"看好自己的包"_s << u"kan1 hao3 zi4 ji3 de5 bao1"_s;
        QTest::newRow("得 must, before a day")
            << u"快遞得明天才能到，做得明白"_s
            << u"kuai4 di4 dei3 ming2 tian1 cai2 neng2 dao4 zuo4 de5 ming2 bai2"_s;
        QTest::newRow("重重 heavily, and layer on layer")
            << u"重重地倒在地上，重重的困難"_s
            << u"zhong4 zhong4 de5 dao3 zai4 di4 shang4 chong2 chong2 de5 kun4 nan2"_s;
        QTest::newRow("拗 stubborn") << u"性子很拗"_s << u"xing4 zi5 hen3 niu4"_s;
        QTest::newRow("倒 pours a cup, after 了")
            << u"我剛倒了一杯咖啡"_s << u"wo3 gang1 dao4 le5 yi1 bei1 ka1 fei1"_s;
        QTest::newRow("數 counts item by item")
            << u"一件件數清楚"_s << u"yi1 jian4 jian4 shu3 qing1 chu3"_s;
        QTest::newRow("那得 how could, in verse")
            << u"問渠那得清如許？為有源頭活水來。"_s
            << u"wen4 qu2 na3 de2 qing1 ru2 xu3 wei4 you3 yuan2 tou2 huo2 shui3 lai2"_s;
        QTest::newRow("妻子 wife and children in verse, a wife in prose")
            << u"卻看妻子愁何在，漫卷詩書喜欲狂。他的妻子"_s
            << u"que4 kan4 qi1 zi3 chou2 he2 zai4 man4 juan3 shi1 shu1 xi3 yu4 kuang2 ta1 de5 qi1 zi5"_s;
        QTest::newRow("載 years, after a number")
            << u"騎驢三十載，旅食京華春。"_s
            << u"qi2 lv2 san1 shi2 zai3 lv3 shi2 jing1 hua2 chun1"_s;
        QTest::newRow("著 holding hands, and 著手 setting about")
            << u"牽著手，著手準備"_s << u"qian1 zhe5 shou3 zhuo2 shou3 zhun3 bei4"_s;
        QTest::newRow("門將 a goalkeeper; 部門將 departments will")
            << u"球隊的門將，部門將加開列車"_s
            << u"qiu2 dui4 de5 men2 jiang4 bu4 men2 jiang1 jia1 kai1 lie4 che1"_s;
        QTest::newRow("得 sweating after tired; full marks")
            << u"累得滿頭大汗，得滿分"_s << u"lei4 de5 man3 tou2 da4 han4 de2 man3 fen1"_s;
        QTest::newRow("轉 strolls round, spins at once")
            << u"去郊區轉了轉，吊扇一轉就響，一轉身"_s
            << u"qu4 jiao1 qu1 zhuan4 le5 zhuan4 diao4 shan4 yi1 zhuan4 jiu4 xiang3 yi1 zhuan3 shen1"_s;
        QTest::newRow("落 left out, and fallen")
            << u"我落了好幾頁筆記，葉子落了一地"_s
            << u"wo3 la4 le5 hao3 ji3 ye4 bi3 ji4 ye4 zi5 luo4 le5 yi1 di4"_s;
        QTest::newRow("和 kneads the dough, and makes up")
            << u"把面和好，奶奶和好了面，他們和好了，表面和好"_s
            << u"ba3 mian4 huo2 hao3 nai3 nai5 huo2 hao3 le5 mian4 ta1 men5 he2 hao3 le5 biao3 mian4 he2 hao3"_s;
        QTest::newRow("子 of 房子 after 套房") << u"兩套房子"_s << u"liang3 tao4 fang2 zi5"_s;
        QTest::newRow("教 teaches, after 會")
            << u"醫師會教患者"_s << u"yi1 shi1 hui4 jiao1 huan4 zhe3"_s;
        QTest::newRow("長 grows longer")
            << u"續航明顯變長了"_s << u"xu4 hang2 ming2 xian3 bian4 chang2 le5"_s;
        QTest::newRow("大汗 sweat, a khan's title elsewhere")
            << u"走得我滿身大汗"_s << u"zou3 de5 wo3 man3 shen1 da4 han4"_s;
        QTest::newRow("還回 gives back to a shop; 還 still")
            << u"天黑前還回店裡，你還回不回來"_s
            << u"tian1 hei1 qian2 huan2 hui2 dian4 li3 ni3 hai2 hui2 bu4 hui2 lai2"_s;
        QTest::newRow("處 fines") << u"處新臺幣600元罰鍰"_s
                                  << u"chu3 xin1 tai2 bi4 liu4 bai3 yuan2 fa2 huan2"_s;
        QTest::newRow("倒 pours cups, not days")
            << u"倒時差倒了三天，倒了一杯咖啡"_s
            << u"dao3 shi2 cha1 dao3 le5 san1 tian1 dao4 le5 yi1 bei1 ka1 fei1"_s;
        QTest::newRow("著 caught a spell")
            << u"像著了迷似的"_s << u"xiang4 zhao2 le5 mi2 shi4 de5"_s;
        QTest::newRow("朝 morning with evening after; facing south")
            << u"朝而往，暮而歸。朝南的房間晚上很冷"_s
            << u"zhao1 er2 wang3 mu4 er2 gui1 chao2 nan2 de5 fang2 jian1 wan3 shang4 hen3 leng3"_s;
        QTest::newRow("夫 the classical particle")
            << u"予觀夫巴陵勝狀"_s << u"yu2 guan1 fu2 ba1 ling2 sheng4 zhuang4"_s;
        QTest::newRow("咽 swallows") << u"太乾了咽不下去"_s << u"tai4 gan1 le5 yan4 bu4 xia4 qu4"_s;
        QTest::newRow("長 long, after 老")
            << u"隊伍排得老長"_s << u"dui4 wu3 pai2 de5 lao3 chang2"_s;
        QTest::newRow("背 carries to work")
            << u"天天背去上班"_s << u"tian1 tian1 bei1 qu4 shang4 ban1"_s;
        QTest::newRow("量 measures with a thermometer")
            << u"用溫度計量一下水溫"_s << u"yong4 wen1 du4 ji4 liang2 yi1 xia4 shui3 wen1"_s;
        QTest::newRow("撒 a dog's urine") << u"狗撒了一泡尿"_s << u"gou3 sa1 le5 yi1 pao1 niao4"_s;
        QTest::newRow("好 fond of reading at a clause's start, good elsewhere")
            << u"好讀書，不求甚解。訂好讀書計畫"_s
            << u"hao4 du2 shu1 bu4 qiu2 shen4 jie3 ding4 hao3 du2 shu1 ji4 hua4"_s;
        QTest::newRow("得 must, after 這週")
            << u"這週得抽空去辦"_s << u"zhe4 zhou1 dei3 chou1 kong4 qu4 ban4"_s;
        QTest::newRow("數 counts, 量 measures, 傳 spreads, at a clause's end")
            << u"邊看秒針邊數，一進診間就量，不要再亂傳"_s
            << u"bian1 kan4 miao3 zhen1 bian1 shu3 yi1 jin4 zhen3 jian1 jiu4 liang2 bu4 yao4 zai4 luan4 chuan2"_s;
        QTest::newRow("率 leads troops")
            << u"率殘兵退守城內"_s << u"shuai4 can2 bing1 tui4 shou3 cheng2 nei4"_s;
        QTest::newRow("夫 the particle opening a clause, and in 若夫")
            << u"夫大國，難測也。若夫日出而林霏開"_s
            << u"fu2 da4 guo2 nan2 ce4 ye3 ruo4 fu2 ri4 chu1 er2 lin2 fei1 kai1"_s;
        QTest::newRow("看 watches a child grow up, minds a child")
            << u"看著孩子一天天長大，幫我看著孩子"_s
            << u"kan4 zhe5 hai2 zi5 yi1 tian1 tian1 zhang3 da4 bang1 wo3 kan1 zhe5 hai2 zi5"_s;
        QTest::newRow("悶 stuffy in a mask")
            << u"戴口罩跑步很悶"_s << u"dai4 kou3 zhao4 pao3 bu4 hen3 men1"_s;
        QTest::newRow("還不起 still no pilling; cannot repay")
            << u"面料還不起球，錢還不起了"_s
            << u"mian4 liao4 hai2 bu4 qi3 qiu2 qian2 huan2 bu4 qi3 le5"_s;
        QTest::newRow("2 before 錠") << u"每次服用2錠"_s << u"mei3 ci4 fu2 yong4 liang3 ding4"_s;
        QTest::newRow("的 the particle before 確實 and 確診; indeed")
            << u"他說的確實沒錯，他們的確診人數，的確很好吃"_s
            << u"ta1 shuo1 de5 que4 shi2 mei2 cuo4 ta1 men5 de5 que4 zhen3 ren2 shu4 di2 que4 hen3 hao3 chi1"_s;
        QTest::newRow("當 used as, closing with 用")
            << u"把手機當鬧鐘用，當他回來"_s
            << u"ba3 shou3 ji1 dang4 nao4 zhong1 yong4 dang1 ta1 hui2 lai2"_s;
        QTest::newRow("得 must, after 晚上; 長 grown long")
            << u"今天晚上得早點睡，頭髮留長了"_s
            << u"jin1 tian1 wan3 shang4 dei3 zao3 dian3 shui4 tou2 fa3 liu2 chang2 le5"_s;
        QTest::newRow("當 when, before 使用")
            << u"當使用選項時"_s << u"dang1 shi3 yong4 xuan3 xiang4 shi2"_s;
        QTest::newRow("相 a chancellor closing a clause; 相應 corresponding")
            << u"任用商鞅為相，設定為相應的字詞"_s
            << u"ren4 yong4 shang1 yang1 wei2 xiang4 she4 ding4 wei2 xiang1 ying4 de5 zi4 ci2"_s;
        QTest::newRow("surnames after 姓 and before a title; 任 serves after 他")
            << u"姓任的鄰居，單老師，華經理，他任副市長多年"_s
            << u"xing4 ren2 de5 lin2 ju1 shan4 lao3 shi1 hua4 jing1 li3 ta1 ren4 fu4 shi4 zhang3 duo1 nian2"_s;
        QTest::newRow("啊 opening a sentence, and the particle")
            << u"啊？你說什麼？啊！下雨了。啊，我知道了。好美啊！"_s
            << u"a2 ni3 shuo1 shen2 me5 a1 xia4 yu3 le5 a4 wo3 zhi1 dao4 le5 hao3 mei3 a5"_s;
        QTest::newRow("倔 gruff alone; 枕 rests on")
            << u"個性很倔，枕在腿上"_s << u"ge4 xing4 hen3 jue4 zhen4 zai4 tui3 shang4"_s;
        QTest::newRow("還 repays a mortgage; still")
            << u"房貸還了一半，還要還很多年，他還要上班"_s
            << u"fang2 dai4 huan2 le5 yi1 ban4 hai2 yao4 huan2 hen3 duo1 nian2 ta1 hai2 yao4 shang4 ban1"_s;
        QTest::newRow("還得到了 also got; 還得到處 still must")
            << u"還得到了老師的表揚，他還得到處跑"_s
            << u"hai2 de2 dao4 le5 lao3 shi1 de5 biao3 yang2 ta1 hai2 dei3 dao4 chu4 pao3"_s;
        QTest::newRow("背 carries luggage; memorises a poem")
            << u"行李太重，我幫你背到車上。這首詩我背到第三段"_s
            << u"xing2 li3 tai4 zhong4 wo3 bang1 ni3 bei1 dao4 che1 shang4 zhe4 shou3 shi1 wo3 bei4 dao4 di4 san1 duan4"_s;
        QTest::newRow("得過 after a verb can; after a subject got")
            << u"溫度不宜調得過低，他得過冠軍"_s
            << u"wen1 du4 bu4 yi2 tiao2 de5 guo4 di1 ta1 de2 guo4 guan4 jun1"_s;
        QTest::newRow("差 a difference; poor")
            << u"結果稱為差，成績很差"_s << u"jie2 guo3 cheng1 wei2 cha1 cheng2 ji1 hen3 cha4"_s;
        QTest::newRow("量 measures more times; 調配 mixes drugs")
            << u"要多量幾次，藥師調配藥品"_s
            << u"yao4 duo1 liang2 ji3 ci4 yao4 shi1 tiao2 pei4 yao4 pin3"_s;
        QTest::newRow("為 for the north, before bringing rain")
            << u"鋒面將為北部帶來降雨"_s
            << u"feng1 mian4 jiang1 wei4 bei3 bu4 dai4 lai2 jiang4 yu3"_s;
        QTest::newRow("著花 blossoms in verse only")
            << u"來日綺窗前，寒梅著花未。趕著花預算"_s
            << u"lai2 ri4 qi3 chuang1 qian2 han2 mei2 zhuo2 hua1 wei4 gan3 zhe5 hua1 yu4 suan4"_s;
        QTest::newRow("看 minds a cat, a pot")
            << u"幫我看著貓，幫我看著點鍋"_s
            << u"bang1 wo3 kan1 zhe5 mao1 bang1 wo3 kan1 zhe5 dian3 guo1"_s;
        QTest::newRow("種 grows, before 得 and 小麥")
            << u"蘭花種得這麼好，秋天種小麥，各種小吃"_s
            << u"lan2 hua1 zhong4 de5 zhe4 me5 hao3 qiu1 tian1 zhong4 xiao3 mai4 ge4 zhong3 xiao3 chi1"_s;
        QTest::newRow("得 must, after a medicine")
            << u"這個藥得飯後吃"_s << u"zhe4 ge4 yao4 dei3 fan4 hou4 chi1"_s;
        QTest::newRow("得 must, after 後; 掙 earns; 還 gives back a deposit")
            << u"洗臉後得及時補水，做家教掙了點錢，房東不還押金"_s
            << u"xi3 lian3 hou4 dei3 ji2 shi2 bu3 shui3 zuo4 jia1 jiao4 zheng4 le5 dian3 qian2 fang2 dong1 bu4 huan2 ya1 jin1"_s;
        QTest::newRow("數 counts fireflies; 衝 at someone")
            << u"在院子裡數螢火蟲，別衝我發火"_s
            << u"zai4 yuan4 zi5 li3 shu3 ying2 huo3 chong2 bie2 chong4 wo3 fa1 huo3"_s;
        QTest::newRow("為 to be, after 以 across a list")
            << u"他以誠實為原則、以勤勞為榮"_s
            << u"ta1 yi3 cheng2 shi2 wei2 yuan2 ze2 yi3 qin2 lao2 wei2 rong2"_s;
        QTest::newRow("為 to be, before 所")
            << u"這本書為眾人所熟知"_s << u"zhe4 ben3 shu1 wei2 zhong4 ren2 suo3 shou2 zhi1"_s;
        QTest::newRow("為 for, before 您")
            << u"我們馬上為您補發"_s << u"wo3 men5 ma3 shang4 wei4 nin2 bu3 fa1"_s;
        QTest::newRow("還 gives back what was lent")
            << u"書借給他用了一下，還回來時封面破了"_s
            << u"shu1 jie4 gei3 ta1 yong4 le5 yi1 xia4 huan2 hui2 lai2 shi2 feng1 mian4 po4 le5"_s;
        QTest::newRow("還 repays a card")
            << u"每月只還最低應繳金額，信用卡利息很高"_s
            << u"mei3 yue4 zhi3 huan2 zui4 di1 ying1 jiao3 jin1 e2 xin4 yong4 ka3 li4 xi2 hen3 gao1"_s;
        QTest::newRow("還給 also, for someone")
            << u"媽媽還給我煮了一碗麵"_s << u"ma1 ma5 hai2 gei3 wo3 zhu3 le5 yi1 wan3 mian4"_s;
        QTest::newRow("得 must, after 看來")
            << u"看來得早點出門"_s << u"kan4 lai2 dei3 zao3 dian3 chu1 men2"_s;
        QTest::newRow("得 must, before 多穿")
            << u"外面很冷，得多穿一件"_s << u"wai4 mian4 hen3 leng3 dei3 duo1 chuan1 yi1 jian4"_s;
        QTest::newRow("背 carries someone after 把")
            << u"爸爸把受傷的弟弟背到醫院"_s
            << u"ba4 ba5 ba3 shou4 shang1 de5 di4 di5 bei1 dao4 yi1 yuan4"_s;
        QTest::newRow("背 recites a lesson after 把")
            << u"把課文背到滾瓜爛熟"_s << u"ba3 ke4 wen2 bei4 dao4 gun3 gua1 lan4 shou2"_s;
        QTest::newRow("折 snapped")
            << u"颱風過後樹枝都折了"_s << u"tai2 feng1 guo4 hou4 shu4 zhi1 dou1 she2 le5"_s;
        QTest::newRow("遺 gives, before 之") << u"請以遺之"_s << u"qing3 yi3 wei4 zhi1"_s;
        QTest::newRow("吐 vomits, before 得")
            << u"這碗麵吐得我難受"_s << u"zhe4 wan3 mian4 tu4 de5 wo3 nan2 shou4"_s;
        QTest::newRow("差 a difference, ending the clause")
            << u"兩數相減的結果叫做兩數的差"_s
            << u"liang3 shu4 xiang1 jian3 de5 jie2 guo3 jiao4 zuo4 liang3 shu4 de5 cha1"_s;
        QTest::newRow("看家 after 會")
            << u"我家的狗很會看家"_s << u"wo3 jia1 de5 gou3 hen3 hui4 kan1 jia1"_s;
        QTest::newRow("王 rules, classical")
            << u"以德行仁者王"_s << u"yi3 de2 xing4 ren2 zhe3 wang4"_s;
        QTest::newRow("乘 a chariot, counted")
            << u"古時一車四馬為一乘"_s << u"gu3 shi2 yi1 che1 si4 ma3 wei2 yi1 sheng4"_s;
        QTest::newRow("落 left behind, in a car or at home")
            << u"手機落在我車上了，鑰匙落在家了"_s
            << u"shou3 ji1 la4 zai4 wo3 che1 shang4 le5 yao4 shi5 la4 zai4 jia1 le5"_s;
        QTest::newRow("落 falls, into a hometown")
            << u"他落在家鄉的日子"_s << u"ta1 luo4 zai4 jia1 xiang1 de5 ri4 zi5"_s;
        QTest::newRow("長 grows, after 草木") << u"春來草木長"_s << u"chun1 lai2 cao3 mu4 zhang3"_s;
        QTest::newRow("語 tells, 女 you") << u"居！吾語女"_s << u"ju1 wu2 yu4 ru3"_s;
        QTest::newRow("同行 colleagues, counted")
            << u"問了幾位同行，都說行情不好"_s
            << u"wen4 le5 ji3 wei4 tong2 hang2 dou1 shuo1 hang2 qing2 bu4 hao3"_s;
        QTest::newRow("同行 going together")
            << u"我和同行的朋友去爬山"_s << u"wo3 he2 tong2 xing2 de5 peng2 you5 qu4 pa2 shan1"_s;
        QTest::newRow("倒 pours out rubbish")
            << u"垃圾你倒了沒有？"_s << u"le4 se4 ni3 dao4 le5 mei2 you3"_s;
        QTest::newRow("中將 a school that will")
            << u"明年起高中將增加課程"_s
            << u"ming2 nian2 qi3 gao1 zhong1 jiang1 zeng1 jia1 ke4 cheng2"_s;
        QTest::newRow("燕 the state, in a list")
            << u"燕、趙、韓、魏"_s << u"yan1 zhao4 han2 wei4"_s;
        QTest::newRow("為 to be after 設, before 您")
            << u"將編碼設為您慣用的格式"_s
            << u"jiang1 bian1 ma3 she4 wei2 nin2 guan4 yong4 de5 ge2 shi4"_s;
        QTest::newRow("卷 sweeps in verse, but scrolls are counted")
            << u"千騎卷平岡，萬卷書在旁。"_s
            << u"qian1 qi2 juan3 ping2 gang1 wan4 juan4 shu1 zai4 pang2"_s;
        QTest::newRow("聲調 after 和")
            << u"注意輕聲和聲調"_s << u"zhu4 yi4 qing1 sheng1 he2 sheng1 diao4"_s;
        QTest::newRow("長 grows, after 胸部 and before 有")
            << u"胸部長有三對腳"_s << u"xiong1 bu4 zhang3 you3 san1 dui4 jiao3"_s;
        QTest::newRow("將 will, after 國中小")
            << u"國中小將增加課程"_s << u"guo2 zhong1 xiao3 jiang1 zeng1 jia1 ke4 cheng2"_s;
        QTest::newRow("小將 a young player")
            << u"他是球隊的小將"_s << u"ta1 shi4 qiu2 dui4 de5 xiao3 jiang4"_s;
        QTest::newRow("倒 changes trains")
            << u"每天要倒三趟地鐵"_s << u"mei3 tian1 yao4 dao3 san1 tang4 di4 tie3"_s;
        QTest::newRow("倒 pours a liquid, but falls drunk")
            << u"洗髮液不要直接倒在頭皮上，他喝了酒倒在床上"_s
            << u"xi3 fa3 yi4 bu4 yao4 zhi2 jie1 dao4 zai4 tou2 pi2 shang4 ta1 he1 le5 jiu3 dao3 zai4 chuang2 shang4"_s;
        QTest::newRow("地 the particle, after 天天 and 默默")
            << u"一天天地長高，默默地點個讚"_s
            << u"yi1 tian1 tian1 de5 zhang3 gao1 mo4 mo4 de5 dian3 ge4 zan4"_s;
        QTest::newRow("卷 volumes, not rolled")
            << u"小說的上卷和下卷我一口氣看完了"_s
            << u"xiao3 shuo1 de5 shang4 juan4 he2 xia4 juan4 wo3 yi1 kou3 qi4 kan4 wan2 le5"_s;
        QTest::newRow("處 an office that is somewhere")
            << u"服務處在本大樓後方，他處在危險之中"_s
            << u"fu2 wu4 chu4 zai4 ben3 da4 lou2 hou4 fang1 ta1 chu3 zai4 wei2 xian3 zhi1 zhong1"_s;
        QTest::newRow("得 rare, after 很難") << u"真的很難得"_s << u"zhen1 de5 hen3 nan2 de2"_s;
        QTest::newRow("重重 heavy, carried")
            << u"蝸牛背著重重的殼"_s << u"gua1 niu2 bei1 zhe5 zhong4 zhong4 de5 ke2"_s;
        QTest::newRow("得 must, after 下班")
            << u"今天下班得去還書"_s << u"jin1 tian1 xia4 ban1 dei3 qu4 huan2 shu1"_s;
        QTest::newRow("血 everyday alone, xue4 in compounds and verse")
            << u"流了一點血，血壓正常。杜鵑啼血猿哀鳴。"_s
            << u"liu2 le5 yi1 dian3 xie3 xue4 ya1 zheng4 chang2 du4 juan1 ti2 xue4 yuan2 ai1 ming2"_s;
        QTest::newRow("得到 must go to a place")
            << u"我明天得到公司加班"_s << u"wo3 ming2 tian1 dei3 dao4 gong1 si1 jia1 ban1"_s;
        QTest::newRow("得到 gets what a place gives")
            << u"他得到公司的獎勵，她得到學校表揚"_s
            << u"ta1 de2 dao4 gong1 si1 de5 jiang3 li4 ta1 de2 dao4 xue2 xiao4 biao3 yang2"_s;
        QTest::newRow("就得到了 got")
            << u"這個假設就得到了證實"_s << u"zhe4 ge4 jia3 she4 jiu4 de2 dao4 le5 zheng4 shi2"_s;
        QTest::newRow("著重 after 急 is in a hurry")
            << u"新手別急著重押"_s << u"xin1 shou3 bie2 ji2 zhe5 zhong4 ya1"_s;
        QTest::newRow("轉 spins, a fan or until dizzy")
            << u"電風扇突然不轉了，轉到頭暈"_s
            << u"dian4 feng1 shan4 tu2 ran2 bu4 zhuan4 le5 zhuan4 dao4 tou2 yun1"_s;
        QTest::newRow("轉到 passes on")
            << u"這件事轉到他手上"_s << u"zhe4 jian4 shi4 zhuan3 dao4 ta1 shou3 shang4"_s;
        QTest::newRow("長牙 after 在") << u"是在長牙嗎"_s << u"shi4 zai4 zhang3 ya2 ma5"_s;
        QTest::newRow("處在 a car park") << u"停車處在地下"_s << u"ting2 che1 chu4 zai4 di4 xia4"_s;
        QTest::newRow("夫 closing a lament, and opening before 人之")
            << u"夫人之相與，俯仰一世。後之視今，亦猶今之視昔，悲夫！"_s
            << u"fu2 ren2 zhi1 xiang1 yu3 fu3 yang3 yi1 shi4 hou4 zhi1 shi4 jin1 yi4 you2 jin1 zhi1 shi4 xi2 bei1 fu2"_s;
        QTest::newRow("夫人 a lady")
            << u"夫人今天不在家"_s << u"fu1 ren2 jin1 tian1 bu4 zai4 jia1"_s;
        QTest::newRow("句讀 before 者, 惡 before 其")
            << u"習其句讀者也。貨惡其棄於地也"_s
            << u"xi2 qi2 ju4 dou4 zhe3 ye3 huo4 wu4 qi2 qi4 yu2 di4 ye3"_s;
        QTest::newRow("長 heads a city, and has grown long")
            << u"臺北市長說你的頭髮長長了"_s
            << u"tai2 bei3 shi4 zhang3 shuo1 ni3 de5 tou2 fa3 zhang3 chang2 le5"_s;
        QTest::newRow("長長 long and long") << u"長長的頭髮"_s << u"chang2 chang2 de5 tou2 fa3"_s;
        QTest::newRow("為 the copula after a carriage")
            << u"八號車廂為安靜車廂"_s << u"ba1 hao4 che1 xiang1 wei2 an1 jing4 che1 xiang1"_s;
        QTest::newRow("卡 a card that is somewhere, or stuck")
            << u"信用卡在哪裡辦？手指卡在門縫裡"_s
            << u"xin4 yong4 ka3 zai4 na3 li3 ban4 shou3 zhi3 qia3 zai4 men2 feng4 li3"_s;
        QTest::newRow("將 the chess general")
            << u"把對方的將困住"_s << u"ba3 dui4 fang1 de5 jiang4 kun4 zhu4"_s;
        QTest::newRow("將 will, after 國中小, before 暫")
            << u"國中小將暫停戶外教學"_s
            << u"guo2 zhong1 xiao3 jiang1 zhan4 ting2 hu4 wai4 jiao4 xue2"_s;
        QTest::newRow("葡萄 in verse has full tones")
            << u"葡萄美酒夜光杯，欲飲琵琶馬上催。"_s
            << u"pu2 tao2 mei3 jiu3 ye4 guang1 bei1 yu4 yin3 pi2 pa2 ma3 shang4 cui1"_s;
        QTest::newRow("還 still, where the lexicon had given back")
            << u"他還被罵了，這家比那家還貴，電話還通嗎"_s
            << u"ta1 hai2 bei4 ma4 le5 zhe4 jia1 bi3 na4 jia1 hai2 gui4 dian4 hua4 hai2 tong1 ma5"_s;
        QTest::newRow("還 gives back what was brought forward or owed")
            << u"他把書還了，錢還了沒，錢還不夠"_s
            << u"ta1 ba3 shu1 huan2 le5 qian2 huan2 le5 mei2 qian2 hai2 bu4 gou4"_s;
        QTest::newRow("還 pays a card or a loan")
            << u"每月先還信用卡，再還學貸"_s
            << u"mei3 yue4 xian1 huan2 xin4 yong4 ka3 zai4 huan2 xue2 dai4"_s;
        QTest::newRow("重長 grows again")
            << u"剪壞的頭髮要重長，體重長了三公斤"_s
            << u"jian3 huai4 de5 tou2 fa3 yao4 chong2 zhang3 ti3 zhong4 zhang3 le5 san1 gong1 jin1"_s;
        QTest::newRow("得 must, after 可能 and before 晚")
            << u"我可能得晚點到，他睡得晚"_s
            << u"wo3 ke3 neng2 dei3 wan3 dian3 dao4 ta1 shui4 de5 wan3"_s;
        QTest::newRow("不長 not long, but grows no wisdom")
            << u"時間不長，不經一事，不長一智"_s
            << u"shi2 jian1 bu4 chang2 bu4 jing1 yi1 shi4 bu4 zhang3 yi1 zhi4"_s;
        QTest::newRow("會中 in a meeting, 會中獎 may win")
            << u"他在會中表示這次會中獎"_s
            << u"ta1 zai4 hui4 zhong1 biao3 shi4 zhe4 ci4 hui4 zhong4 jiang3"_s;
        QTest::newRow("可為 for someone")
            << u"可為偏遠地區帶來好處"_s << u"ke3 wei4 pian1 yuan3 di4 qu1 dai4 lai2 hao3 chu4"_s;
        QTest::newRow("還背 still recites or carries")
            << u"他還背不出來，還背著書包"_s
            << u"ta1 hai2 bei4 bu4 chu1 lai2 hai2 bei1 zhe5 shu1 bao1"_s;
        QTest::newRow("倒 yet, before 還")
            << u"商家態度倒還行"_s << u"shang1 jia1 tai4 du4 dao4 hai2 xing2"_s;
        QTest::newRow("差人 short of people, or sends someone")
            << u"打籃球還差人，他差人送信"_s
            << u"da3 lan2 qiu2 hai2 cha4 ren2 ta1 chai1 ren2 song4 xin4"_s;
        QTest::newRow("為 for an end, after 方 and before 擴大")
            << u"主辦方為與會嘉賓提供車位，該公司為擴大市場"_s
            << u"zhu3 ban4 fang1 wei4 yu4 hui4 jia1 bin1 ti2 gong1 che1 wei4 gai1 gong1 si1 wei4 kuo4 da4 shi4 chang3"_s;
        QTest::newRow("為 the copula after 寫 and 積")
            << u"改寫為疑問句，兩數之積為負數"_s
            << u"gai3 xie3 wei2 yi2 wen4 ju4 liang3 shu4 zhi1 ji1 wei2 fu4 shu4"_s;
        QTest::newRow("著 carries, not 著書")
            << u"再背著書包去上學"_s << u"zai4 bei1 zhe5 shu1 bao1 qu4 shang4 xue2"_s;
        QTest::newRow("比比 the ratio compared")
            << u"性價比比誰都強"_s << u"xing4 jia4 bi3 bi3 shei2 dou1 qiang2"_s;
        QTest::newRow("倒 pours hot water, and yet thinks")
            << u"別讓孩子倒熱水，我倒覺得有道理"_s
            << u"bie2 rang4 hai2 zi5 dao4 re4 shui3 wo3 dao4 jue2 de5 you3 dao4 li3"_s;
        QTest::newRow("行 expert, ending the clause after 在")
            << u"我對這種事不在行，他在行走"_s
            << u"wo3 dui4 zhe4 zhong3 shi4 bu4 zai4 hang2 ta1 zai4 xing2 zou3"_s;
        QTest::newRow("背 carries a bag all day, but recites a lesson")
            << u"這款書包很輕，背一整天也不痠。書包裡的課文要背一遍"_s
            << u"zhe4 kuan3 shu1 bao1 hen3 qing1 bei1 yi1 zheng3 tian1 ye3 bu4 suan1 shu1 bao1 li3 de5 ke4 wen2 yao4 bei4 yi1 bian4"_s;
        QTest::newRow("得出 got, after a study or someone")
            << u"研究得出結論，他得出答案，看得出來"_s
            << u"yan2 jiu4 de2 chu1 jie2 lun4 ta1 de2 chu1 da2 an4 kan4 de5 chu1 lai2"_s;
        QTest::newRow("還得了 won a prize, 還得了解 must")
            << u"比賽還得了第一名，我們還得了解情況"_s
            << u"bi3 sai4 hai2 de2 le5 di4 yi1 ming2 wo3 men5 hai2 dei3 liao3 jie3 qing2 kuang4"_s;
        QTest::newRow("將 will, after 國中 and before 調整")
            << u"明年起國中將調整課程"_s
            << u"ming2 nian2 qi3 guo2 zhong1 jiang1 tiao2 zheng3 ke4 cheng2"_s;
        QTest::newRow("結 bears fruit named a little further on")
            << u"樹上結滿了紅紅的蘋果"_s
            << u"shu4 shang4 jie1 man3 le5 hong2 hong2 de5 ping2 guo3"_s;
        QTest::newRow("這會 will, 這會兒 a moment")
            << u"這會導致問題，這會兒他不在"_s
            << u"zhe4 hui4 dao3 zhi4 wen4 ti2 zhe4 hui3 er2 ta1 bu4 zai4"_s;
        QTest::newRow("classical 久要 and 不外見 only where they stand")
            << u"久要不忘平生之言，才美不外見。等了很久要不要再等，他在外見客戶"_s
            << u"jiu3 yao1 bu4 wang4 ping2 sheng1 zhi1 yan2 cai2 mei3 bu4 wai4 xian4 "
               u"deng3 le5 hen3 jiu3 yao4 bu4 yao4 zai4 deng3 ta1 zai4 wai4 jian4 ke4 hu4"_s;
        QTest::newRow("得 must after 一定 and before 另外, got in 一定得到")
            << u"你一定得去，超重得另外付費，他一定得到了"_s
            << u"ni3 yi1 ding4 dei3 qu4 chao1 zhong4 dei3 ling4 wai4 fu4 fei4 ta1 yi1 ding4 de2 dao4 le5"_s;
        QTest::newRow("和 kneads in 和在一起")
            << u"把麵粉和水和在一起"_s << u"ba3 mian4 fen3 he2 shui3 huo2 zai4 yi1 qi3"_s;
        QTest::newRow("都更 urban renewal, all the more, all renewed")
            << u"我們這區要都更了，他們都更喜歡貓，按鈕都更新了"_s
            << u"wo3 men5 zhe4 qu1 yao4 du1 geng1 le5 ta1 men5 dou1 geng4 xi3 huan1 mao1 "
               u"an4 niu3 dou1 geng1 xin1 le5"_s;
        QTest::newRow("轉 spins where a top or a fan is named")
            << u"陀螺在地上不停地轉，風扇怎麼一直不轉"_s
            << u"tuo2 luo2 zai4 di4 shang4 bu4 ting2 de5 zhuan4 "
               u"feng1 shan4 zen3 me5 yi1 zhi2 bu4 zhuan4"_s;
        QTest::newRow("背 carries a two-strap bag all day")
            << u"這款雙肩包很輕，背一整天肩膀也不累"_s
            << u"zhe4 kuan3 shuang1 jian1 bao1 hen3 qing1 bei1 yi1 zheng3 tian1 jian1 bang3 ye3 bu4 lei4"_s;
        QTest::newRow("數一數 counts what is on the desk")
            << u"請同學先數一數桌上有幾支鉛筆"_s
            << u"qing3 tong2 xue2 xian1 shu3 yi1 shu3 zhuo1 shang4 you3 ji3 zhi1 qian1 bi3"_s;
        QTest::newRow("散 comes undone or is too loose, else breaks up")
            << u"鞋帶散了，故事講得太散了，大家散了吧"_s
            << u"xie2 dai4 san3 le5 gu4 shi4 jiang3 de5 tai4 san3 le5 da4 jia1 san4 le5 ba5"_s;
        QTest::newRow("盛 fills a bowl with rice named a little further on")
            << u"你別老盛那麼多飯，火越燒越盛"_s
            << u"ni3 bie2 lao3 cheng2 na4 me5 duo1 fan4 huo3 yue4 shao1 yue4 sheng4"_s;
        QTest::newRow("看 minds a child or a dog described first")
            << u"要我看好年幼的弟弟，幫我看著家裡的狗，我很看好這次的比賽"_s
            << u"yao4 wo3 kan1 hao3 nian2 you4 de5 di4 di5 bang1 wo3 kan1 zhe5 jia1 li3 de5 gou3 "
               u"wo3 hen3 kan4 hao3 zhe4 ci4 de5 bi3 sai4"_s;
        QTest::newRow("水果 and 糖分, not 果糖")
            << u"有些水果糖分很高"_s << u"you3 xie1 shui3 guo3 tang2 fen4 hen3 gao1"_s;
        QTest::newRow("調 set to a percentage, 調到 a shop is posted")
            << u"利率調到1.7%，他被調到百貨公司"_s
            << u"li4 lv4 tiao2 dao4 bai3 fen1 zhi1 yi1 dian3 qi1 ta1 bei4 diao4 dao4 bai3 huo4 gong1 si1"_s;
        QTest::newRow("種 plants a seedling") << u"把樹苗種好"_s << u"ba3 shu4 miao2 zhong4 hao3"_s;
        QTest::newRow("長 grows again and again, is a little long")
            << u"粉刺會一直反覆長，袖子稍微長了一點"_s
            << u"fen3 ci4 hui4 yi1 zhi2 fan3 fu4 zhang3 xiu4 zi5 shao1 wei2 chang2 le5 yi1 dian3"_s;
        QTest::newRow("悶 stuffy, short of breath")
            << u"地鐵裡人太多，悶得我透不過氣"_s
            << u"di4 tie3 li3 ren2 tai4 duo1 men1 de5 wo3 tou4 bu4 guo4 qi4"_s;
        QTest::newRow("為 what one quarrels over, after 不用")
            << u"再也不用為洗碗吵架了"_s << u"zai4 ye3 bu4 yong4 wei4 xi3 wan3 chao3 jia4 le5"_s;
        QTest::newRow("落 leaves out a word, else falls")
            << u"不要落了字，太陽落了山"_s << u"bu4 yao4 la4 le5 zi4 tai4 yang2 luo4 le5 shan1"_s;
        QTest::newRow("得 can, after a two-character verb whose negative is a word")
            << u"問題才解決得了"_s << u"wen4 ti2 cai2 jie3 jue2 de5 liao3"_s;
        QTest::newRow("任 the surname only where no word takes it")
            << u"任某表示不知情，他曾任某公司主管"_s
            << u"ren2 mou3 biao3 shi4 bu4 zhi1 qing2 ta1 ceng2 ren4 mou3 gong1 si1 zhu3 guan3"_s;
        QTest::newRow("種地 farms, even after 他")
            << u"他種地維生，這種地方"_s << u"ta1 zhong4 di4 wei2 sheng1 zhe4 zhong3 di4 fang1"_s;
        QTest::newRow("看家 minds the house, 看家裡的人 visits")
            << u"狗在看家，幫我看家和餵貓，回去看家裡的老人"_s
            << u"gou3 zai4 kan1 jia1 bang1 wo3 kan1 jia1 he2 wei4 mao1 "
               u"hui2 qu4 kan4 jia1 li3 de5 lao3 ren2"_s;
        QTest::newRow("結 bears fruit named just before, ties a rope")
            << u"今年的草莓結得特別多，他把繩子結得很緊"_s
            << u"jin1 nian2 de5 cao3 mei2 jie1 de5 te4 bie2 duo1 ta1 ba3 sheng2 zi5 jie2 de5 hen3 jin3"_s;
        QTest::newRow("調 balances a scale")
            << u"天平兩邊要先調到平衡"_s
            << u"tian1 ping2 liang3 bian1 yao4 xian1 tiao2 dao4 ping2 heng2"_s;
        QTest::newRow("長 grows feathers, is also long")
            << u"恐龍身上也長羽毛，他的頭髮也長"_s
            << u"kong3 long2 shen1 shang4 ye3 zhang3 yu3 mao2 ta1 de5 tou2 fa3 ye3 chang2"_s;
        QTest::newRow("為妙 is best") << u"還是少去為妙"_s << u"hai2 shi4 shao3 qu4 wei2 miao4"_s;
        QTest::newRow("為 after 都: to be, unless for someone")
            << u"二樓以上都為住宅，我們都為你驕傲，他們都為這件事煩惱"_s
            << u"er4 lou2 yi3 shang4 dou1 wei2 zhu4 zhai2 wo3 men5 dou1 wei4 ni3 jiao1 ao4 "
               u"ta1 men5 dou1 wei4 zhe4 jian4 shi4 fan2 nao3"_s;
        QTest::newRow("東西 east and west before a direction or a crossing, else a thing")
            << u"山脈呈東西走向，開闢了東西交流的道路，我去買東西"_s
            << u"shan1 mai4 cheng2 dong1 xi1 zou3 xiang4 kai1 pi4 le5 dong1 xi1 jiao1 liu2 de5 "
               u"dao4 lu4 "
               u"wo3 qu4 mai3 dong1 xi5"_s;
        QTest::newRow("classical 為: for a lord, became in a dream")
            << u"庖丁為文惠君解牛，昔者莊周夢為胡蝶"_s
            << u"pao2 ding1 wei4 wen2 hui4 jun1 jie3 niu2 xi2 zhe3 zhuang1 zhou1 meng4 wei2 hu2 die2"_s;
        QTest::newRow("筆電 a laptop carried")
            << u"每天背著筆電通勤"_s << u"mei3 tian1 bei1 zhe5 bi3 dian4 tong1 qin2"_s;
        QTest::newRow("不差 not bad after 也, else not off")
            << u"穿牆能力也不差，一分不差"_s
            << u"chuan1 qiang2 neng2 li4 ye3 bu4 cha4 yi1 fen1 bu4 cha1"_s;
        QTest::newRow("挑起 a quarrel, 調到 a height, 剝 peels")
            << u"有人挑起爭吵，車座高度要調到腳踩到底，幫我剝橘子，剝削勞工"_s
            << u"you3 ren2 tiao3 qi3 zheng1 chao3 che1 zuo4 gao1 du4 yao4 tiao2 dao4 jiao3 cai3 "
               u"dao4 di3 "
               u"bang1 wo3 bao1 ju2 zi5 bo1 xue4 lao2 gong1"_s;
        QTest::newRow("悶 stuffy ears, a heavy heart")
            << u"耳機戴久了耳道會悶悶的，心裡悶悶的"_s
            << u"er3 ji1 dai4 jiu3 le5 er3 dao4 hui4 men1 men1 de5 xin1 li3 men4 men4 de5"_s;
        QTest::newRow("當 serves as what comes between it and 使用")
            << u"積分可當現金使用，當使用這個選項時"_s
            << u"ji1 fen1 ke3 dang4 xian4 jin1 shi3 yong4 dang1 shi3 yong4 zhe4 ge4 xuan3 xiang4 shi2"_s;
        QTest::newRow("薄 thin after 特別, 得 must before 提前")
            << u"這台筆電特別薄，羽絨服得提前買好，他獲得提名"_s
            << u"zhe4 tai2 bi3 dian4 te4 bie2 bao2 yu3 rong2 fu2 dei3 ti2 qian2 mai3 hao3 "
               u"ta1 huo4 de2 ti2 ming2"_s;
        QTest::newRow("得 must split into groups, 得手 after how one feels, else scored")
            << u"老師得分組教學，緊張得手都在抖，他這場得分很高，小偷得手後逃逸"_s
            << u"lao3 shi1 dei3 fen1 zu3 jiao4 xue2 jin3 zhang1 de5 shou3 dou1 zai4 dou3 "
               u"ta1 zhe4 chang3 de2 fen1 hen3 gao1 xiao3 tou1 de2 shou3 hou4 tao2 yi4"_s;
        QTest::newRow("覺 sleep, after 著")
            << u"一直睡不著覺"_s << u"yi1 zhi2 shui4 bu4 zhao2 jiao4"_s;
        QTest::newRow("待 stay, before 沒")
            << u"可惜待沒幾天"_s << u"ke3 xi2 dai1 mei2 ji3 tian1"_s;
        QTest::newRow("薄 mint, in a longer word")
            << u"三盒薄荷糖"_s << u"san1 he2 bo4 he2 tang2"_s;
        QTest::newRow("薄 thin cloth") << u"是薄款的"_s << u"shi4 bao2 kuan3 de5"_s;
        QTest::newRow("得 must, after 真")
            << u"這作息真得改了"_s << u"zhe4 zuo4 xi2 zhen1 dei3 gai3 le5"_s;
        QTest::newRow("數 count, before 都")
            << u"多到數都數不清"_s << u"duo1 dao4 shu3 dou1 shu3 bu4 qing1"_s;
        QTest::newRow("得 got, in verse after 報")
            << u"誰言寸草心，報得三春暉。"_s
            << u"shei2 yan2 cun4 cao3 xin1 bao4 de2 san1 chun1 hui1"_s;
        QTest::newRow("為 is, after a floor")
            << u"地下2樓為機車停車場"_s << u"di4 xia4 er4 lou2 wei2 ji1 che1 ting2 che1 chang3"_s;
        QTest::newRow("得來 got") << u"紙上得來終覺淺"_s
                                  << u"zhi3 shang4 de2 lai2 zhong1 jue2 qian3"_s;
        QTest::newRow("得 a particle, before 來不及")
            << u"忙得來不及"_s << u"mang2 de5 lai2 bu4 ji2"_s;
        QTest::newRow("長 long, after 最") << u"最長的河流"_s << u"zui4 chang2 de5 he2 liu2"_s;
        QTest::newRow("長 long, after 多") << u"課桌有多長"_s << u"ke4 zhuo1 you3 duo1 chang2"_s;
        QTest::newRow("還 even, after a stall")
            << u"比夜市那攤還好吃"_s << u"bi3 ye4 shi4 na4 tan1 hai2 hao3 chi1"_s;
        QTest::newRow("得 a particle, before 過癮")
            << u"水煮魚辣得過癮"_s << u"shui3 zhu3 yu2 la4 de5 guo4 yin3"_s;
        QTest::newRow("覺 sleep, after 足") << u"睡足覺再說"_s << u"shui4 zu2 jiao4 zai4 shuo1"_s;
        QTest::newRow("得 must, after an afternoon")
            << u"下午得去辦事"_s << u"xia4 wu3 dei3 qu4 ban4 shi4"_s;
        QTest::newRow("待 stay five days") << u"要待五天"_s << u"yao4 dai1 wu3 tian1"_s;
        QTest::newRow("轉 turn round, after the sun")
            << u"地球繞著太陽轉，"_s << u"di4 qiu2 rao4 zhe5 tai4 yang2 zhuan4"_s;
        QTest::newRow("漂 drift") << u"在城市漂了五年"_s
                                  << u"zai4 cheng2 shi4 piao1 le5 wu3 nian2"_s;
    }

    // Simplified text where OpenCC's phrases pick the wrong traditional
    // form, or where a character's script is not what it seems.
    void simplifiedForms_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("发 fever, not 直髮") << u"就一直发烧"_s << u"jiu4 yi1 zhi2 fa1 shao1"_s;
        QTest::newRow("发 shiver") << u"冷得直发抖"_s << u"leng3 de5 zhi2 fa1 dou3"_s;
        QTest::newRow("干 clean, across 么干")
            << u"打扫得这么干净"_s << u"da3 sao3 de5 zhe4 me5 gan1 jing4"_s;
        QTest::newRow("系 system, after 此")
            << u"此系统不支持"_s << u"ci3 xi4 tong3 bu4 zhi1 chi2"_s;
        QTest::newRow("只 only, before a verb")
            << u"最多只需要三天"_s << u"zui4 duo1 zhi3 xu1 yao4 san1 tian1"_s;
        QTest::newRow("只 only, after 还是")
            << u"还是只爱纸箱"_s << u"hai2 shi4 zhi3 ai4 zhi3 xiang1"_s;
        QTest::newRow("只 only, after 最多")
            << u"最多只接受一个"_s << u"zui4 duo1 zhi3 jie1 shou4 yi1 ge4"_s;
        QTest::newRow("只 a measure, after 很多") << u"很多只羊"_s << u"hen3 duo1 zhi1 yang2"_s;
        QTest::newRow("只 a measure, after 那")
            << u"那只要多少钱"_s << u"na4 zhi1 yao4 duo1 shao3 qian2"_s;
        QTest::newRow("只 a measure, after a number") << u"两只手"_s << u"liang3 zhi1 shou3"_s;
        QTest::newRow("系 tie, not system")
            << u"停下来系鞋带"_s << u"ting2 xia4 lai2 ji4 xie2 dai4"_s;
        QTest::newRow("干 trunk, at the end")
            << u"这棵树的树干"_s << u"zhe4 ke1 shu4 de5 shu4 gan4"_s;
        QTest::newRow("干 dry soil, before 了 and more")
            << u"盆土干了再浇"_s << u"pen2 tu3 gan1 le5 zai4 jiao1"_s;
        QTest::newRow("干 dry, before what is dry")
            << u"湿垃圾和干垃圾"_s << u"shi1 le4 se4 he2 gan1 le4 se4"_s;
        QTest::newRow("干 boiled down")
            << u"汤汁收干才入味"_s << u"tang1 zhi1 shou1 gan1 cai2 ru4 wei4"_s;
        QTest::newRow("干 do, after 着") << u"他越是对着干"_s << u"ta1 yue4 shi4 dui4 zhe5 gan4"_s;
        QTest::newRow("干 dry, at the end")
            << u"衣服很快就干了"_s << u"yi1 fu5 hen3 kuai4 jiu4 gan1 le5"_s;
        QTest::newRow("著 is written in both scripts")
            << u"他的成就很显著"_s << u"ta1 de5 cheng2 jiu4 hen3 xian3 zhu4"_s;
        QTest::newRow("羡, the mainland form")
            << u"真让人羡慕"_s << u"zhen1 rang4 ren2 xian4 mu4"_s;
        QTest::newRow("发 hair, a word OpenCC knows")
            << u"这款洗发水"_s << u"zhe4 kuan3 xi3 fa3 shui3"_s;
        QTest::newRow("发 hair, OpenCC's 新發") << u"新发型"_s << u"xin1 fa3 xing2"_s;
        QTest::newRow("发 hair, not 發生")
            << u"促进头发生长"_s << u"cu4 jin4 tou2 fa3 sheng1 zhang3"_s;
        QTest::newRow("遍佈 as 遍布") << u"分店遍佈全台"_s << u"fen1 dian4 bian4 bu4 quan2 tai2"_s;
    }
    void simplifiedForms()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(MandarinReadingOf(text), expected);
    }

    void contextDecidesTheReading()
    {
        QFETCH(QString, text);
        QFETCH(QString, reading);
        QCOMPARE(MandarinReadingOf(text), reading);
    }

    // A rule placed after its character's rule without conditions would
    // never decide anything.
    void everyContextRuleCanDecide()
    {
        QCOMPARE(MandarinPolyphones::shadowedRules().join(u", "), QString());
    }

    // Taiwan's standard readings where the phrase data has another one.
    void taiwanStandardReadings_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("reading");
        const QList<QPair<QString, QString>> rows {{u"發酵"_s, u"fa1 jiao4"_s},
            {u"擲骰子"_s, u"zhi4 tou2 zi5"_s}, {u"記載"_s, u"ji4 zai3"_s},
            {u"參與"_s, u"can1 yu4"_s}, {u"薄荷"_s, u"bo4 he2"_s}, {u"告訴"_s, u"gao4 su4"_s},
            {u"種子"_s, u"zhong3 zi3"_s}, {u"扇子"_s, u"shan4 zi5"_s}, {u"教學"_s, u"jiao4 xue2"_s},
            {u"人質"_s, u"ren2 zhi4"_s}, {u"倒是"_s, u"dao4 shi4"_s}, {u"接種"_s, u"jie1 zhong4"_s},
            {u"星期"_s, u"xing1 qi2"_s}, {u"企業"_s, u"qi4 ye4"_s}, {u"品質"_s, u"pin3 zhi2"_s},
            {u"研究"_s, u"yan2 jiu4"_s}, {u"液體"_s, u"yi4 ti3"_s}, {u"微笑"_s, u"wei2 xiao4"_s},
            {u"暫時"_s, u"zhan4 shi2"_s}, {u"綜合"_s, u"zong4 he2"_s}, {u"成績"_s, u"cheng2 ji1"_s},
            {u"寂寞"_s, u"ji2 mo4"_s}, {u"友誼"_s, u"you3 yi2"_s}, {u"攜帶"_s, u"xi1 dai4"_s},
            {u"蝸牛"_s, u"gua1 niu2"_s}, {u"曝光"_s, u"pu4 guang1"_s}, {u"頭髮"_s, u"tou2 fa3"_s},
            {u"亞洲"_s, u"ya3 zhou1"_s}, {u"血液"_s, u"xue4 yi4"_s}, {u"儲存"_s, u"chu2 cun2"_s},
            {u"模具"_s, u"mu2 ju4"_s}, {u"結實"_s, u"jie1 shi5"_s}, {u"折騰"_s, u"zhe1 teng5"_s},
            {u"和麵"_s, u"huo2 mian4"_s}, {u"著想"_s, u"zhuo2 xiang3"_s},
            {u"著涼"_s, u"zhao2 liang2"_s}, {u"強迫"_s, u"qiang3 po4"_s},
            {u"間隔"_s, u"jian4 ge2"_s}, {u"長相"_s, u"zhang3 xiang4"_s},
            {u"好客"_s, u"hao4 ke4"_s}, {u"調升"_s, u"tiao2 sheng1"_s}, {u"當機"_s, u"dang4 ji1"_s},
            {u"新冠"_s, u"xin1 guan1"_s}, {u"轉行"_s, u"zhuan3 hang2"_s},
            {u"蒙古"_s, u"meng3 gu3"_s}, {u"裸露"_s, u"luo3 lu4"_s}, {u"重啟"_s, u"chong2 qi3"_s},
            {u"小朋友"_s, u"xiao3 peng2 you5"_s}, {u"老爺爺"_s, u"lao3 ye2 ye5"_s},
            {u"便宜"_s, u"pian2 yi5"_s}, {u"燕子"_s, u"yan4 zi5"_s},
            {u"看孩子"_s, u"kan1 hai2 zi5"_s}, {u"小姐姐"_s, u"xiao3 jie3 jie5"_s},
            {u"那一天"_s, u"na4 yi1 tian1"_s}, {u"蒙古人"_s, u"meng3 gu3 ren2"_s},
            {u"會員卡的點數"_s, u"hui4 yuan2 ka3 de5 dian3 shu4"_s}, {u"為何"_s, u"wei4 he2"_s},
            {u"似的"_s, u"shi4 de5"_s}, {u"轉載"_s, u"zhuan3 zai3"_s}, {u"叫號"_s, u"jiao4 hao4"_s},
            {u"刁難"_s, u"diao1 nan4"_s}, {u"沒什麼"_s, u"mei2 shen2 me5"_s},
            {u"舅舅"_s, u"jiu4 jiu5"_s}, {u"先生"_s, u"xian1 sheng1"_s}, {u"揭露"_s, u"jie1 lu4"_s},
            {u"流露出"_s, u"liu2 lu4 chu1"_s}, {u"露出"_s, u"lou4 chu1"_s},
            {u"喜歡"_s, u"xi3 huan1"_s}, {u"鑰匙"_s, u"yao4 shi5"_s}, {u"手臂"_s, u"shou3 bi4"_s},
            {u"曲線"_s, u"qu1 xian4"_s}, {u"坦白"_s, u"tan3 bai2"_s}, {u"應屆"_s, u"ying1 jie4"_s},
            {u"感慨"_s, u"gan3 kai3"_s}, {u"分校"_s, u"fen1 xiao4"_s}, {u"刻度"_s, u"ke4 du4"_s},
            {u"不準"_s, u"bu4 zhun3"_s}, {u"比較快"_s, u"bi3 jiao4 kuai4"_s},
            {u"誣告"_s, u"wu1 gao4"_s}, {u"埔里"_s, u"pu3 li3"_s}, {u"膽怯"_s, u"dan3 que4"_s},
            {u"小夥子"_s, u"xiao3 huo3 zi5"_s}, {u"卷曲"_s, u"juan3 qu1"_s},
            {u"與會"_s, u"yu4 hui4"_s}, {u"討價還價"_s, u"tao3 jia4 huan2 jia4"_s},
            {u"趨之若鶩"_s, u"qu1 zhi1 ruo4 wu4"_s}, {u"當機立斷"_s, u"dang1 ji1 li4 duan4"_s},
            {u"親家"_s, u"qing4 jia5"_s}, {u"熱騰騰"_s, u"re4 teng1 teng1"_s},
            {u"腦膜"_s, u"nao3 mo2"_s}, {u"整個下午"_s, u"zheng3 ge4 xia4 wu3"_s},
            {u"眼睛"_s, u"yan3 jing1"_s}, {u"散光"_s, u"san3 guang1"_s},
            {u"開花結果"_s, u"kai1 hua1 jie1 guo3"_s}, {u"降得住"_s, u"xiang2 de5 zhu4"_s},
            {u"好奇怪"_s, u"hao3 qi2 guai4"_s}, {u"干拌面"_s, u"gan1 ban4 mian4"_s},
            {u"冰面较薄"_s, u"bing1 mian4 jiao4 bao2"_s}, {u"削減"_s, u"xue4 jian3"_s},
            {u"剝削"_s, u"bo1 xue4"_s}, {u"削蘋果"_s, u"xiao1 ping2 guo3"_s},
            {u"折本"_s, u"she2 ben3"_s}, {u"位子"_s, u"wei4 zi5"_s}, {u"孫子"_s, u"sun1 zi5"_s},
            {u"連累"_s, u"lian2 lei3"_s}, {u"刊載"_s, u"kan1 zai3"_s},
            {u"卷軸"_s, u"juan4 zhou2"_s}, {u"供出"_s, u"gong4 chu1"_s},
            {u"沒關係"_s, u"mei2 guan1 xi4"_s}, {u"認識"_s, u"ren4 shi4"_s},
            {u"明白"_s, u"ming2 bai2"_s}, {u"答應"_s, u"da1 ying5"_s},
            {u"倒過來"_s, u"dao4 guo4 lai2"_s}, {u"中標"_s, u"zhong4 biao1"_s},
            {u"供述"_s, u"gong4 shu4"_s}, {u"蘇打"_s, u"su1 da3"_s}, {u"打烊"_s, u"da3 yang4"_s},
            {u"捨不得"_s, u"she3 bu4 de5"_s}, {u"括號"_s, u"kuo4 hao4"_s},
            {u"刀把"_s, u"dao1 ba4"_s}, {u"地庫"_s, u"di4 ku4"_s}, {u"相親"_s, u"xiang1 qin1"_s},
            {u"稱職"_s, u"chen4 zhi2"_s}, {u"稍息"_s, u"shao4 xi2"_s}, {u"偏頗"_s, u"pian1 po1"_s},
            {u"懸崖"_s, u"xuan2 ya2"_s}, {u"華佗"_s, u"hua4 tuo2"_s}, {u"玄奘"_s, u"xuan2 zang4"_s},
            {u"抹布"_s, u"ma1 bu4"_s}, {u"直奔"_s, u"zhi2 ben4"_s},
            {u"夫妻倆"_s, u"fu1 qi1 lia3"_s}, {u"渾身解數"_s, u"hun2 shen1 xie4 shu4"_s},
            {u"混淆"_s, u"hun4 xiao2"_s}, {u"門將"_s, u"men2 jiang4"_s},
            {u"中用"_s, u"zhong1 yong4"_s}, {u"阿膠"_s, u"e1 jiao1"_s},
            {u"喝起來"_s, u"he1 qi3 lai2"_s},
            {u"他還和朋友出去"_s, u"ta1 hai2 he2 peng2 you5 chu1 qu4"_s},
            {u"起居室"_s, u"qi3 ju1 shi4"_s}, {u"犯錯誤"_s, u"fan4 cuo4 wu4"_s},
            {u"文化圈"_s, u"wen2 hua4 quan1"_s}, {u"極大值"_s, u"ji2 da4 zhi2"_s},
            {u"拿得下來"_s, u"na2 de5 xia4 lai2"_s}, {u"尋出"_s, u"xun2 chu1"_s},
            {u"體會到"_s, u"ti3 hui4 dao4"_s}, {u"街景"_s, u"jie1 jing3"_s},
            {u"小混混"_s, u"xiao3 hun4 hun4"_s}, {u"探長"_s, u"tan4 zhang3"_s},
            {u"新華社"_s, u"xin1 hua2 she4"_s}, {u"嘔吐物"_s, u"ou3 tu4 wu4"_s},
            {u"眼泡"_s, u"yan3 pao1"_s}, {u"挑破"_s, u"tiao3 po4"_s},
            {u"好為人師"_s, u"hao4 wei2 ren2 shi1"_s}, {u"不著邊際"_s, u"bu4 zhuo2 bian1 ji4"_s},
            {u"重蹈覆轍"_s, u"chong2 dao3 fu4 zhe2"_s}, {u"著裝"_s, u"zhuo2 zhuang1"_s},
            {u"乾陵"_s, u"qian2 ling2"_s}, {u"法國"_s, u"fa3 guo2"_s}, {u"極大"_s, u"ji2 da4"_s},
            {u"精華區"_s, u"jing1 hua2 qu1"_s}, {u"縱橫"_s, u"zong4 heng2"_s},
            {u"協調會"_s, u"xie2 tiao2 hui4"_s}, {u"就需要"_s, u"jiu4 xu1 yao4"_s},
            {u"奶酪"_s, u"nai3 luo4"_s}, {u"籠罩"_s, u"long3 zhao4"_s},
            {u"晃眼"_s, u"huang3 yan3"_s}, {u"磨坊"_s, u"mo4 fang2"_s},
            {u"嚷嚷"_s, u"rang1 rang5"_s}, {u"傷痕累累"_s, u"shang1 hen2 lei2 lei2"_s},
            {u"拖累"_s, u"tuo1 lei3"_s}, {u"博聞強識"_s, u"bo2 wen2 qiang2 zhi4"_s},
            {u"氣勢磅礡"_s, u"qi4 shi4 pang2 bo2"_s}, {u"醉眼惺忪"_s, u"zui4 yan3 xing1 song1"_s},
            {u"旅行社"_s, u"lv3 xing2 she4"_s}, {u"老調重彈"_s, u"lao3 diao4 chong2 tan2"_s},
            {u"脈搏"_s, u"mai4 bo2"_s}, {u"含情脈脈"_s, u"han2 qing2 mo4 mo4"_s},
            {u"飯疏食"_s, u"fan4 shu1 si4"_s}, {u"忖度"_s, u"cun3 duo2"_s},
            {u"千乘"_s, u"qian1 sheng4"_s}, {u"率妻子"_s, u"shuai4 qi1 zi3"_s},
            {u"遠小人"_s, u"yuan4 xiao3 ren2"_s}, {u"挾飛仙"_s, u"xie2 fei1 xian1"_s},
            {u"南轅北轍"_s, u"nan2 yuan2 bei3 zhe2"_s}, {u"苟不教"_s, u"gou3 bu4 jiao4"_s},
            {u"返景"_s, u"fan3 ying3"_s},
            {u"以其兄之子妻之"_s, u"yi3 qi2 xiong1 zhi1 zi3 qi4 zhi1"_s}, {u"衣帛"_s, u"yi4 bo2"_s},
            {u"選賢與能"_s, u"xuan3 xian2 ju3 neng2"_s}, {u"繳械"_s, u"jiao3 xie4"_s},
            {u"漲大"_s, u"zhang4 da4"_s}, {u"將進酒"_s, u"qiang1 jin4 jiu3"_s},
            {u"玩忽職守"_s, u"wan2 hu1 zhi2 shou3"_s}, {u"養不教"_s, u"yang3 bu4 jiao4"_s},
            {u"盡早"_s, u"jin3 zao3"_s}, {u"掉色"_s, u"diao4 shai3"_s}, {u"角逐"_s, u"jue2 zhu2"_s},
            {u"漁父"_s, u"yu2 fu3"_s}, {u"挑剔"_s, u"tiao1 ti1"_s},
            {u"阿房宮"_s, u"e1 pang2 gong1"_s}, {u"砍伐"_s, u"kan3 fa2"_s},
            {u"得票"_s, u"de2 piao4"_s}, {u"倒打一耙"_s, u"dao4 da3 yi1 pa2"_s},
            {u"著眼"_s, u"zhuo2 yan3"_s}, {u"分寸"_s, u"fen4 cun4"_s},
            {u"當家教"_s, u"dang1 jia1 jiao4"_s}, {u"挨罵"_s, u"ai2 ma4"_s},
            {u"挨餓"_s, u"ai2 e4"_s}, {u"悶聲不響"_s, u"men1 sheng1 bu4 xiang3"_s},
            {u"散漫"_s, u"san3 man4"_s}, {u"大選中"_s, u"da4 xuan3 zhong1"_s},
            {u"藏區"_s, u"zang4 qu1"_s}, {u"糊弄"_s, u"hu4 nong4"_s}, {u"翹著"_s, u"qiao4 zhe5"_s},
            {u"看護"_s, u"kan1 hu4"_s}, {u"姊妹"_s, u"zi3 mei4"_s},
            {u"西洋參"_s, u"xi1 yang2 shen1"_s}, {u"育嬰假"_s, u"yu4 ying1 jia4"_s},
            {u"將仲子"_s, u"qiang1 zhong4 zi3"_s}, {u"漂母"_s, u"piao3 mu3"_s},
            {u"行會"_s, u"hang2 hui4"_s}, {u"畢宿"_s, u"bi4 xiu4"_s}, {u"臺州"_s, u"tai1 zhou1"_s},
            {u"單縣"_s, u"shan4 xian4"_s}, {u"鬨然"_s, u"hong1 ran2"_s},
            {u"換將"_s, u"huan4 jiang4"_s}, {u"調研"_s, u"diao4 yan2"_s},
            {u"捐血"_s, u"juan1 xie3"_s}, {u"流鼻血"_s, u"liu2 bi2 xie3"_s},
            {u"豬血糕"_s, u"zhu1 xie3 gao1"_s}, {u"古典樂"_s, u"gu3 dian3 yue4"_s},
            {u"潦水"_s, u"lao3 shui3"_s}, {u"中規"_s, u"zhong4 gui1"_s},
            {u"從而"_s, u"cong2 er2"_s}, {u"服從者"_s, u"fu2 cong2 zhe3"_s},
            {u"不好意思"_s, u"bu4 hao3 yi4 si5"_s}, {u"舍不得"_s, u"she3 bu4 de5"_s},
            {u"怪不得"_s, u"guai4 bu4 de5"_s}, {u"磅礴"_s, u"pang2 bo2"_s},
            {u"背得動"_s, u"bei1 de5 dong4"_s},
            {u"為五斗米折腰"_s, u"wei4 wu3 dou3 mi3 zhe2 yao1"_s}, {u"倒上"_s, u"dao4 shang4"_s},
            {u"占著"_s, u"zhan4 zhe5"_s}, {u"粘貼"_s, u"zhan1 tie1"_s},
            {u"東西方"_s, u"dong1 xi1 fang1"_s}, {u"小燕子"_s, u"xiao3 yan4 zi5"_s},
            {u"空座位"_s, u"kong4 zuo4 wei4"_s}, {u"平溪"_s, u"ping2 xi1"_s},
            {u"著錄"_s, u"zhu4 lu4"_s}, {u"重命名"_s, u"chong2 ming4 ming2"_s},
            {u"這麼著"_s, u"zhe4 me5 zhe5"_s}, {u"睡得著"_s, u"shui4 de5 zhao2"_s},
            {u"相框"_s, u"xiang4 kuang1"_s}, {u"應季"_s, u"ying4 ji4"_s},
            {u"塵蟎"_s, u"chen2 man3"_s}, {u"男有分"_s, u"nan2 you3 fen4"_s},
            {u"事君數"_s, u"shi4 jun1 shuo4"_s}, {u"不王者"_s, u"bu4 wang4 zhe3"_s},
            {u"睡起覺來"_s, u"shui4 qi3 jiao4 lai2"_s}, {u"點點頭"_s, u"dian3 dian3 tou2"_s},
            {u"小石子"_s, u"xiao3 shi2 zi3"_s}, {u"秤重"_s, u"cheng4 zhong4"_s},
            {u"空出"_s, u"kong4 chu1"_s}, {u"呱呱"_s, u"gua1 gua1"_s},
            {u"呱呱墜地"_s, u"gu1 gu1 zhui4 di4"_s}, {u"冠禮"_s, u"guan4 li3"_s},
            {u"一簞食"_s, u"yi1 dan1 si4"_s}, {u"數票"_s, u"shu3 piao4"_s},
            {u"擰緊"_s, u"ning3 jin3"_s}, {u"栓塞"_s, u"shuan1 se4"_s},
            {u"剝掉"_s, u"bao1 diao4"_s}, {u"修車鋪"_s, u"xiu1 che1 pu4"_s},
            {u"差得遠"_s, u"cha4 de5 yuan3"_s}, {u"勸降"_s, u"quan4 xiang2"_s},
            {u"曾文溪"_s, u"zeng1 wen2 xi1"_s}, {u"種豆得豆"_s, u"zhong4 dou4 de2 dou4"_s},
            {u"利差"_s, u"li4 cha1"_s}};
        for (const auto &[text, reading] : rows)
            QTest::newRow(qPrintable(text)) << text << reading;
    }

    void taiwanStandardReadings()
    {
        QFETCH(QString, text);
        QFETCH(QString, reading);
        QCOMPARE(MandarinReadingOf(text), reading);
    }

    // Every Han character reaches the voice: one the phrase data lacks is
    // read from the Unicode Han database, and one with no reading anywhere is
    // handed to the engine as written, which still says something.
    void everyCharacterIsSpoken()
    {
        QCOMPARE(MandarinReadingOf(u"𠀀㐀"_s), u"he1 qiu1"_s);
        const QString unknown = u"㐂"_s;
        const QList<Token> t = MandarinReading::read(MappedText::of(unknown));
        QCOMPARE(t.size(), 1);
        QCOMPARE(t[0].kind, Token::Character);
        QVERIFY2(SpeechEngine::instance().isAvailable(), "espeak-ng data is missing");
        const QByteArray said
            = SpeechEngine::instance().phonemeTranscript(unknown, suiteVoice(u"Mavi Oskar"_s));
        QVERIFY2(said.trimmed().size() > 2, said.constData());
    }

    void tokensNameTheCharactersWritten()
    {
        // A spelled-out stretch names all it stands for; 5 is past "%".
        QCOMPARE(spans(MandarinReading::read(MappedText::of(u"共3.5%的人"_s))),
            u"gong4:0-1 bai3:1-5 fen1:1-5 zhi1:1-5 san1:1-5 dian3:1-5 wu3:1-5 de5:5-6 ren2:6-7"_s);
        // A character outside the basic plane is two units; offsets follow
        // the caller's text (here starting at 10), not the rewritten one.
        QCOMPARE(spans(MandarinReading::read(MappedText::of(u"𠀋２年，OK"_s, 10))),
            u"𠀋:10-12 liang3:12-13 nian2:13-14 ,:14-15 OK:15-17"_s);
    }

    void yiAndBuChangeOnlyAsSpoken()
    {
        const QList<Token> t = MandarinReading::read(MappedText::of(u"一個不是一起第一一月部分"_s));
        QStringList text;
        QStringList spoken;
        for (const Token &k : t) {
            text << k.text;
            spoken << k.spoken;
        }
        QCOMPARE(text.join(u' '), u"yi1 ge4 bu4 shi4 yi1 qi3 di4 yi1 yi1 yue4 bu4 fen4"_s);
        QCOMPARE(spoken.join(u' '), u"yi2 ge4 bu2 shi4 yi4 qi3 di4 yi1 yi1 yue4 bu4 fen4"_s);
    }

    // 一 naming a floor, a day or a number keeps its first tone; counting,
    // it changes before the next syllable.
    void yiAsANameOrACount_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("spoken");
        QTest::newRow("the first floor") << u"住一樓"_s << u"zhu4 yi1 lou2"_s;
        QTest::newRow("the first day") << u"一號"_s << u"yi1 hao4"_s;
        QTest::newRow("one storey") << u"一層樓"_s << u"yi4 ceng2 lou2"_s;
    }
    void yiAsANameOrACount()
    {
        QFETCH(QString, text);
        QStringList spoken;
        for (const Token &t : MandarinReading::read(MappedText::of(text)))
            spoken << t.spoken;
        QTEST(spoken.join(u' '), "spoken");
    }

    void latinWordsGoToAnEnglishVoice()
    {
        const SpObjectToken oskar = suiteVoice(u"Mavi Oskar"_s);
        const SapiXmlParser::Run run = SapiXmlParser::plain(u"我用Linux系統"_s).first();
        const auto segments = EspeakPiece::segments(run, 0, int(run.text.size()), oskar);
        QCOMPARE(segments.size(), size_t(3));
        QCOMPARE(segments[0].voice, QByteArray("cmn-latn-pinyin+m3"));
        QCOMPARE(segments[1].voice, QByteArray("en-us+m3"));
        QCOMPARE(textOf(segments[1]), u"Linux"_s);
        QCOMPARE(textOf(segments[2]), u"xi4 tong3"_s);
        // The blank after each syllable stands for the end of its character.
        QCOMPARE(segments[2].text.sourceAt(0), 7);
        QCOMPARE(segments[2].text.sourceAt(4), 8);
        QCOMPARE(segments[2].text.map.last(), 9);
    }

    void cantoneseTextIsHandedOverAsItIs()
    {
        const QString text = u"佢有3.5%嘅人"_s;
        const SapiXmlParser::Run run = SapiXmlParser::plain(text).first();
        const auto segments
            = EspeakPiece::segments(run, 0, int(text.size()), suiteVoice(u"Mavi Tessa"_s));
        QCOMPARE(segments.size(), size_t(1));
        QCOMPARE(segments[0].voice, QByteArray("yue+f3"));
        QCOMPARE(textOf(segments[0]), text);
    }

    void aBrokenLexiconIsRefused()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"broken.lex"_s);
        QFile good(MandarinLexicon::defaultFile());
        QVERIFY(good.open(QIODevice::ReadOnly));
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(good.read(100000)); // cut short
        out.close();
        MandarinLexicon lexicon;
        QString error;
        QVERIFY(!lexicon.load(path, &error));
        QVERIFY2(error.contains(u"damaged"_s), qPrintable(error));
        QVERIFY(!lexicon.load(dir.filePath(u"missing.lex"_s), &error));
        // Without words every character stands alone, for the voice to read.
        const QList<Token> t = MandarinReading::read(MappedText::of(u"銀行2個"_s), lexicon);
        QCOMPARE(spans(t), u"銀:0-1 行:1-2 兩:2-3 個:3-4"_s);
    }

    void highlightsFollowTheWrittenText()
    {
        QVERIFY2(SpeechEngine::instance().isAvailable(), "espeak-ng data is missing");
        AudioSink::setFactory([] { return std::make_unique<ImmediateSink>(); });
        SpVoice voice;
        SpeechRecorder rec(&voice);
        const QString percent = u"共3.5%的人"_s;
        voice.Speak(percent, SVSFIsNotXML);
        QCOMPARE(rec.words(percent), (QStringList {u"共"_s, u"3.5%"_s, u"的"_s, u"人"_s}));
        rec.events.clear();
        const QString mixed = u"我用Linux系統"_s;
        voice.Speak(mixed, SVSFIsNotXML);
        QCOMPARE(rec.words(mixed), (QStringList {u"我"_s, u"用"_s, u"Linux"_s, u"系"_s, u"統"_s}));
        QVERIFY(SpeechEngine::instance().phonemeTranscript(mixed, voice.Voice()).contains("(en)"));
    }

    void customPronunciationsComeBeforeTheReading()
    {
        QTemporaryDir dir;
        AppPaths::setOverrideFolder(dir.path());
        const QString text = u"我用parlo"_s;
        QCOMPARE(MandarinReadingOf(text), u"wo3 yong4 parlo"_s);
        QVERIFY(
            PronunciationList::save(PronunciationList::defaultFile(), {{u"Parlo"_s, u"巴洛"_s}}));
        QCOMPARE(MandarinReadingOf(text), u"wo3 yong4 ba1 luo4"_s);
        AudioSink::setFactory([] { return std::make_unique<ImmediateSink>(); });
        SpVoice voice;
        SpeechRecorder rec(&voice);
        voice.Speak(text, SVSFIsNotXML);
        QCOMPARE(rec.words(text), (QStringList {u"我"_s, u"用"_s, u"parlo"_s}));
        AppPaths::setOverrideFolder(QString());
    }
};

QTEST_GUILESS_MAIN(TestMandarinReading)
#include "test_MandarinReading.moc"
