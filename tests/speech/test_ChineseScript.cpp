// Chinese in any script read with Taiwan's readings: which sentences are
// converted, that every unit still names the character the user wrote, and
// that highlights, subtitles and exports keep the text as it was written.
#include "SpeechRecorder.h"

#include "export/Subtitles.h"
#include "export/TextRenderer.h"
#include "speech/ChineseScript.h"
#include "speech/MandarinReading.h"
#include "speech/SpeechEngine.h"
#include "speech/VoiceCatalogue.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;
using ChineseScript::Conversion;

namespace
{

const MandarinLexicon &lexicon()
{
    return MandarinLexicon::shared();
}

QString converted(const QString &text)
{
    return ChineseScript::toTraditional(MappedText::of(text), lexicon()).text;
}

SpObjectToken suiteVoice(const QString &name)
{
    for (const SpObjectToken &t : VoiceCatalogue::suiteVoices()) {
        if (t.GetDescription() == name)
            return t;
    }
    return {};
}

} // namespace

class TestChineseScript : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(lexicon().isLoaded(), "no Mandarin lexicon");
        QVERIFY2(ChineseScript::isAvailable(), "OpenCC or its data is missing");
    }

    // Which sentences are read through the conversion, and as what.
    void sentencesAreReadInTheirScript_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("read");
        QTest::newRow("simplified")
            << u"开始下雨了，树叶很干净。"_s << u"開始下雨了，樹葉很乾淨。"_s;
        // A character both scripts use is read as its phrase needs it.
        QTest::newRow("phrases") << u"干部吃面条。"_s << u"幹部吃麵條。"_s;
        QTest::newRow("taiwan forms") << u"里面的游戏系统"_s << u"裡面的遊戲系統"_s;
        // Traditional text keeps the characters both scripts share.
        QTest::newRow("traditional kept")
            << u"皇后干涉公里外的見面。"_s << u"皇后干涉公里外的見面。"_s;
        // Each sentence on its own: the script switches at the stop.
        QTest::newRow("mixed") << u"這裡很乾淨。这里很干净。"_s << u"這裡很乾淨。這裡很乾淨。"_s;
        // A sentence with nothing to tell follows the one before it.
        QTest::newRow("follows") << u"这是我们的。干部。"_s << u"這是我們的。幹部。"_s;
        QTest::newRow("follows traditional") << u"這是我們的。干涉。"_s << u"這是我們的。干涉。"_s;
        // A Traditional sentence after a Simplified one is read as written (余, not 餘).
        QTest::newRow("back to traditional")
            << u"这是我们的。他的鄰居姓余。"_s << u"這是我們的。他的鄰居姓余。"_s;
        // Alone, a sentence is read in the script that makes words of it.
        QTest::newRow("alone") << u"干部"_s << u"幹部"_s;
        QTest::newRow("alone traditional") << u"干涉"_s << u"干涉"_s;
        // Variant forms and compatibility ideographs become the usual ones.
        QTest::newRow("variants") << u"爲什麼裏面"_s << u"為什麼裡面"_s;
        // …also one the lexicon reads alone, in a sentence that tells its script.
        QTest::newRow("variant known alone") << u"處理重啓鍵"_s << u"處理重啟鍵"_s;
        QTest::newRow("compatibility") << u"\uF900\uF901"_s << u"豈更"_s;
        QTest::newRow("no Chinese") << u"Hello, 123!"_s << u"Hello, 123!"_s;
        QTest::newRow("empty") << QString() << QString();
    }

    void sentencesAreReadInTheirScript()
    {
        QFETCH(QString, text);
        QFETCH(QString, read);
        QCOMPARE(converted(text), read);
    }

    // Every unit of the result names the stretch of the source it stands
    // for, also where a character changes its length in UTF-16.
    void unitsNameTheCharactersWritten()
    {
        const QString text = u"𠀋发了，头发"_s; // the first is two units
        const MappedText m = ChineseScript::toTraditional(MappedText::of(text, 100), lexicon());
        QCOMPARE(m.text, u"𠀋發了，頭髮"_s);
        QCOMPARE(m.from, (QVector<int> {100, 100, 102, 103, 104, 105, 106}));
        QCOMPARE(m.to, (QVector<int> {102, 102, 103, 104, 105, 106, 107}));
        QCOMPARE(m.generated, QVector<bool>(7, false));

        QStringList spans;
        for (const MandarinReading::Token &t : MandarinReading::read(MappedText::of(text)))
            spans << u"%1:%2"_s.arg(t.text, text.mid(t.from, t.to - t.from));
        QCOMPARE(spans.join(u' '), u"𠀋:𠀋 fa1:发 le5:了 ,:， tou2:头 fa3:发"_s);
    }

    void conversionsCanBeCompared()
    {
        const QString text = u"我们吃面条。"_s;
        const Conversion before = ChineseScript::conversion();
        ChineseScript::setConversion(Conversion::None);
        QCOMPARE(converted(text), text);
        ChineseScript::setConversion(Conversion::S2T);
        QCOMPARE(converted(text), u"我們喫麪條。"_s); // OpenCC's own standard forms
        ChineseScript::setConversion(Conversion::S2TW);
        QCOMPARE(converted(text), u"我們吃麵條。"_s);
        ChineseScript::setConversion(before);
    }

    // Readings that only the conversion gets right (the characters exist in
    // Traditional text with other readings).
    void simplifiedReadsAsItsTraditional_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("reading");
        QTest::newRow("开始") << u"开始"_s << u"kai1 shi3"_s;
        QTest::newRow("树叶") << u"树叶"_s << u"shu4 ye4"_s;
        QTest::newRow("干部") << u"干部"_s << u"gan4 bu4"_s;
        QTest::newRow("面条") << u"面条"_s << u"mian4 tiao2"_s;
        QTest::newRow("游戏") << u"游戏"_s << u"you2 xi4"_s;
        QTest::newRow("系统") << u"系统"_s << u"xi4 tong3"_s;
        QTest::newRow("合适") << u"合适"_s << u"he2 shi4"_s;
        QTest::newRow("头发") << u"头发很干"_s << u"tou2 fa3 hen3 gan1"_s;
        // OpenCC takes a lone 干 for 幹; where a clause ends with it, it is dry.
        QTest::newRow("干了 dry") << u"树叶干了。"_s << u"shu4 ye4 gan1 le5"_s;
        QTest::newRow("只 measure")
            << u"买只鸡吧，只要一只"_s << u"mai3 zhi1 ji1 ba5 zhi3 yao4 yi1 zhi1"_s;
        QTest::newRow("干 dry skin") << u"推荐给干皮"_s << u"tui1 jian4 gei3 gan1 pi2"_s;
        QTest::newRow("了 after 文明")
            << u"这种行为太不文明了"_s << u"zhe4 zhong3 xing2 wei2 tai4 bu4 wen2 ming2 le5"_s;
        QTest::newRow("明了 understood") << u"简单明了"_s << u"jian3 dan1 ming2 liao3"_s;
        QTest::newRow("卷 roll up")
            << u"卷我屋上三重茅"_s << u"juan3 wo3 wu1 shang4 san1 chong2 mao2"_s;
        QTest::newRow("卷 a paper") << u"这张试卷"_s << u"zhe4 zhang1 shi4 juan4"_s;
        QTest::newRow("系 tie, OpenCC's 係好")
            << u"鞋带我帮你系好了"_s << u"xie2 dai4 wo3 bang1 ni3 ji4 hao3 le5"_s;
        QTest::newRow("卷 roll up, before 好") << u"把袖子卷好"_s << u"ba3 xiu4 zi5 juan3 hao3"_s;
        QTest::newRow("卷 roll up, higher")
            << u"把袖子卷高一点"_s << u"ba3 xiu4 zi5 juan3 gao1 yi1 dian3"_s;
        QTest::newRow("卷 curled")
            << u"头发卷得乱七八糟"_s << u"tou2 fa3 juan3 de5 luan4 qi1 ba1 zao1"_s;
        QTest::newRow("卷 a paper's marks")
            << u"试卷得分很高"_s << u"shi4 juan4 de2 fen1 hen3 gao1"_s;
        QTest::newRow("别 don't, before 强迫")
            << u"别强迫自己节食"_s << u"bie2 qiang3 po4 zi4 ji3 jie2 shi2"_s;
        QTest::newRow("卷 a questionnaire, Traditional")
            << u"幫忙填個問卷好嗎"_s << u"bang1 mang2 tian2 ge4 wen4 juan4 hao3 ma5"_s;
        QTest::newRow("冲 blunt") << u"你说话别那么冲，"_s
                                  << u"ni3 shuo1 hua4 bie2 na4 me5 chong4"_s;
        QTest::newRow("干 dry, between 又")
            << u"嗓子又干又疼"_s << u"sang3 zi5 you4 gan1 you4 teng2"_s;
        QTest::newRow("系 ties a tie named before it; a department")
            << u"领带怎么系，中文系"_s << u"ling3 dai4 zen3 me5 ji4 zhong1 wen2 xi4"_s;
        QTest::newRow("干发 dries hair, 干发展 develops")
            << u"干发速度快，实干发展"_s << u"gan1 fa3 su4 du4 kuai4 shi2 gan4 fa1 zhan3"_s;
        QTest::newRow("干 dried beans") << u"干豆角炖肉"_s << u"gan1 dou4 jiao3 dun4 rou4"_s;
        QTest::newRow("干将 a capable hand, and the sword")
            << u"技术干将，干将莫邪"_s << u"ji4 shu4 gan4 jiang4 gan1 jiang1 mo4 ye2"_s;
        QTest::newRow("卷 rolled tight") << u"从一端卷紧"_s << u"cong2 yi1 duan1 juan3 jin3"_s;
        QTest::newRow("系 ties a lace named in the clause before")
            << u"鞋带松了，蹲下来系一下"_s << u"xie2 dai4 song1 le5 dun1 xia4 lai2 ji4 yi1 xia4"_s;
        QTest::newRow("干 does some chores; does not dry")
            << u"帮你爸干点家务，被子晒不干"_s
            << u"bang1 ni3 ba4 gan4 dian3 jia1 wu4 bei4 zi5 shai4 bu4 gan1"_s;
        QTest::newRow("干 spun dry") << u"甩干有点慢"_s << u"shuai3 gan1 you3 dian3 man4"_s;
        QTest::newRow("干 done by someone")
            << u"这事是不是你干的？"_s << u"zhe4 shi4 shi4 bu4 shi4 ni3 gan4 de5"_s;
        QTest::newRow("干 whoever likes it does it")
            << u"谁爱干谁干。"_s << u"shei2 ai4 gan4 shei2 gan4"_s;
        QTest::newRow("冲 at someone") << u"你别冲我发火"_s << u"ni3 bie2 chong4 wo3 fa1 huo3"_s;
        QTest::newRow("扎 pricks, before 脚")
            << u"施工中小心扎脚"_s << u"shi1 gong1 zhong1 xiao3 xin1 zha1 jiao3"_s;
        QTest::newRow("看管 after 我")
            << u"让室友帮我看管"_s << u"rang4 shi4 you3 bang1 wo3 kan1 guan3"_s;
        QTest::newRow("发霉 after 掉")
            << u"切掉发霉的部分"_s << u"qie1 diao4 fa1 mei2 de5 bu4 fen4"_s;
        QTest::newRow("干 dry, through or with wet")
            << u"被单总是干不透，浇水见干见湿"_s
            << u"bei4 dan1 zong3 shi4 gan1 bu4 tou4 jiao1 shui3 jian4 gan1 jian4 shi1"_s;
        QTest::newRow("哄 roaring laughter")
            << u"全场哄然大笑"_s << u"quan2 chang3 hong1 ran2 da4 xiao4"_s;
        QTest::newRow("干 done well, or dry enough to peel")
            << u"他干得很好，皮肤干得起皮"_s
            << u"ta1 gan4 de5 hen3 hao3 pi2 fu1 gan1 de5 qi3 pi2"_s;
        QTest::newRow("系 ties a lace named well before it")
            << u"鞋带老是松开，每次都得重新系。"_s
            << u"xie2 dai4 lao3 shi4 song1 kai1 mei3 ci4 dou1 dei3 chong2 xin1 ji4"_s;
        QTest::newRow("盛 serves noodles") << u"老板盛面时"_s << u"lao3 ban3 cheng2 mian4 shi2"_s;
        QTest::newRow("PM2.5 a number after letters")
            << u"PM2.5浓度"_s << u"PM er4 dian3 wu3 nong2 du4"_s;
        QTest::newRow("背后 behind one's back")
            << u"被人背后说坏话"_s << u"bei4 ren2 bei4 hou4 shuo1 huai4 hua4"_s;
        QTest::newRow("长霉 grows mould")
            << u"水杯容易长霉"_s << u"shui3 bei1 rong2 yi4 zhang3 mei2"_s;
        QTest::newRow("干 concerns in a word after a modal, else is done")
            << u"不要干扰救援，不想干涉，我要干活，你干吗去"_s
            << u"bu4 yao4 gan1 rao3 jiu4 yuan2 bu4 xiang3 gan1 she4 wo3 yao4 gan4 huo2 "
               u"ni3 gan4 ma2 qu4"_s;
        QTest::newRow("一干就是 works for years, 一干就收 is dry")
            << u"一干就是大半辈子，衣服一干就收"_s
            << u"yi1 gan4 jiu4 shi4 da4 ban4 bei4 zi5 yi1 fu5 yi1 gan1 jiu4 shou1"_s;
        QTest::newRow("卷卷的 curly") << u"你头发卷卷的"_s << u"ni3 tou2 fa3 juan3 juan3 de5"_s;
        QTest::newRow("卷 a paper, before 好") << u"试卷好难"_s << u"shi4 juan4 hao3 nan2"_s;
        QTest::newRow("干嘛 why") << u"你跑那么快干嘛"_s << u"ni3 pao3 na4 me5 kuai4 gan4 ma2"_s;
        QTest::newRow("冲 strong, a little")
            << u"香水有点冲，"_s << u"xiang1 shui3 you3 dian3 chong4"_s;
        QTest::newRow("杆 a club") << u"他用球杆击球"_s << u"ta1 yong4 qiu2 gan3 ji2 qiu2"_s;
        QTest::newRow("杆 a pole") << u"旗杆上的国旗"_s << u"qi2 gan1 shang4 de5 guo2 qi2"_s;
        QTest::newRow("并为 and for") << u"并为大家提供"_s << u"bing4 wei4 da4 jia1 ti2 gong1"_s;
        QTest::newRow("并为 merged into")
            << u"两家公司合并为一家"_s << u"liang3 jia1 gong1 si1 he2 bing4 wei2 yi1 jia1"_s;
        QTest::newRow("只 doubled") << u"一只只蝴蝶"_s << u"yi1 zhi1 zhi1 hu2 die2"_s;
        QTest::newRow("只 before a cat") << u"养了只猫"_s << u"yang3 le5 zhi1 mao1"_s;
        QTest::newRow("只 before a rabbit") << u"抓了只兔子"_s << u"zhua1 le5 zhi1 tu4 zi5"_s;
        QTest::newRow("嗓子干 dry") << u"嗓子干得难受"_s << u"sang3 zi5 gan1 de5 nan2 shou4"_s;
        QTest::newRow("干了 worked") << u"他干了很多年"_s << u"ta1 gan4 le5 hen3 duo1 nian2"_s;
        // …and 别着, 冲着 for 彆著, 沖著.
        QTest::newRow("别着急") << u"你先别着急"_s << u"ni3 xian1 bie2 zhao2 ji2"_s;
        QTest::newRow("冲着") << u"冲着这家店来的"_s << u"chong4 zhe5 zhe4 jia1 dian4 lai2 de5"_s;
    }

    void simplifiedReadsAsItsTraditional()
    {
        QFETCH(QString, text);
        QFETCH(QString, reading);
        QCOMPARE(MandarinReadingOf(text), reading);
    }

    // What is highlighted, subtitled and exported is what the user wrote.
    void highlightAndSubtitlesKeepTheWrittenText()
    {
        QVERIFY2(SpeechEngine::instance().isAvailable(), "espeak-ng data is missing");
        const SpObjectToken oskar = suiteVoice(u"Mavi Oskar"_s);
        QVERIFY(!oskar.isNull());
        const QString text = u"头发干了。面条很好吃。"_s;

        AudioSink::setFactory([] { return std::make_unique<ImmediateSink>(); });
        SpVoice voice;
        voice.setVoice(oskar);
        SpeechRecorder rec(&voice);
        voice.Speak(text, SVSFIsNotXML);
        QCOMPARE(rec.words(text).join(u' '), u"头 发 干 了 面 条 很 好 吃"_s);

        QTemporaryDir dir;
        TextRenderer renderer({oskar, 0, 100, false});
        const TextRenderer::Result result = renderer.render(text, dir.filePath(u"a.wav"_s));
        QVERIFY2(result.ok, qPrintable(result.error));
        QCOMPARE(result.words.size(), 9);
        const QList<Subtitles::Cue> cues
            = Subtitles::cues(text, false, result.words, result.samples, TextRenderer::SampleRate);
        QCOMPARE(cues.size(), 2);
        QCOMPARE(cues[0].text, u"头发干了。"_s);
        QCOMPARE(cues[1].text, u"面条很好吃。"_s);
        QVERIFY(cues[0].endMs <= cues[1].startMs);
    }
};

QTEST_GUILESS_MAIN(TestChineseScript)
#include "test_ChineseScript.moc"
