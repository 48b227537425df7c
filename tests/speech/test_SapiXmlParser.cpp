#include "speech/SapiXmlParser.h"

#include <QtTest>

using namespace Qt::StringLiterals;

namespace
{

// A compact picture of the runs: text runs as "text"@start-end plus the
// settings that differ from the voice's own, silences and bookmarks with the
// offset of their tag.
QString describe(const QList<SapiXmlParser::Run> &runs)
{
    QStringList parts;
    for (const SapiXmlParser::Run &run : runs) {
        QString s;
        switch (run.kind) {
        case SapiXmlParser::Run::Silence:
            s = u"silence%1@%2"_s.arg(run.silenceMs).arg(run.source);
            break;
        case SapiXmlParser::Run::Bookmark:
            s = u"mark(%1)@%2"_s.arg(run.text).arg(run.source);
            break;
        case SapiXmlParser::Run::Text:
            s = u"\"%1\"@%2-%3"_s.arg(run.text)
                    .arg(run.offsetAt(0))
                    .arg(run.offsetAt(run.text.size()));
            break;
        }
        if (run.rate != 0 || run.rateAbsolute)
            s += u" rate%1%2"_s.arg(run.rateAbsolute ? u"=" : u"").arg(run.rate);
        if (run.pitch != 0 || run.pitchAbsolute)
            s += u" pitch%1%2"_s.arg(run.pitchAbsolute ? u"=" : u"").arg(run.pitch);
        if (run.volume != 100)
            s += u" vol%1"_s.arg(run.volume);
        if (run.emphasis)
            s += u" emph"_s;
        if (run.spell)
            s += u" spell"_s;
        if (!run.voiceRequired.isEmpty() || !run.voiceOptional.isEmpty())
            s += u" voice(%1|%2)"_s.arg(run.voiceRequired, run.voiceOptional);
        parts.append(s);
    }
    return parts.join(u", "_s);
}

} // namespace

class TestSapiXmlParser : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void parse_data()
    {
        QTest::addColumn<QString>("markup");
        QTest::addColumn<QString>("expected");
        auto row = [](const char *name, const QString &markup, const QString &expected) {
            QTest::newRow(name) << markup << expected;
        };
        row("no tags", u"你好 world"_s, u"\"你好 world\"@0-8"_s);
        row("relative rate", u"a<rate speed=\"3\">bc</rate>d"_s,
            u"\"a\"@0-1, \"bc\"@17-19 rate3, \"d\"@26-27"_s);
        row("absolute rate then relative inside",
            u"<rate absspeed=\"-4\">x<rate speed=\"2\">y</rate></rate>"_s,
            u"\"x\"@20-21 rate=-4, \"y\"@37-38 rate=-2"_s);
        row("rate clamps", u"<rate speed=\"30\">x</rate>"_s, u"\"x\"@17-18 rate10"_s);
        row("relative rate past the int range clamps",
            u"<rate absspeed=\"10\"><rate speed=\"2147483647\">x</rate></rate>"_s,
            u"\"x\"@45-46 rate=10"_s);
        row("relative pitch past the int range clamps",
            u"<pitch absmiddle=\"-5\"><pitch middle=\"-2147483648\">x</pitch></pitch>"_s,
            u"\"x\"@50-51 pitch=-10"_s);
        // Absolute values at and one past the ends of their ranges.
        row("absolute rate at the top", u"<rate absspeed=\"10\">x</rate>"_s,
            u"\"x\"@20-21 rate=10"_s);
        row("absolute rate one past the top", u"<rate absspeed=\"11\">x</rate>"_s,
            u"\"x\"@20-21 rate=10"_s);
        row("absolute rate at the bottom", u"<rate absspeed=\"-10\">x</rate>"_s,
            u"\"x\"@21-22 rate=-10"_s);
        row("absolute rate one past the bottom", u"<rate absspeed=\"-11\">x</rate>"_s,
            u"\"x\"@21-22 rate=-10"_s);
        row("absolute pitch one past the top", u"<pitch absmiddle=\"11\">x</pitch>"_s,
            u"\"x\"@22-23 pitch=10"_s);
        row("absolute pitch one past the bottom", u"<pitch absmiddle=\"-11\">x</pitch>"_s,
            u"\"x\"@23-24 pitch=-10"_s);
        // Inside a quieter element, 101 is the whole volume, not the outer 50.
        row("volume one past 100",
            u"<volume level=\"50\"><volume level=\"101\">x</volume></volume>"_s, u"\"x\"@39-40"_s);
        row("volume one below 0", u"<volume level=\"-1\">x</volume>"_s, u"\"x\"@19-20 vol0"_s);
        row("empty element changes to the end of its parent",
            u"<volume level=\"80\">a<pitch absmiddle=\"5\"/>b</volume>c"_s,
            u"\"a\"@19-20 vol80, \"b\"@42-43 pitch=5 vol80, \"c\"@52-53"_s);
        row("silence past a minute is a minute", u"一<silence msec=\"600000\"/>二"_s,
            u"\"一\"@0-1, silence60000@1, \"二\"@25-26"_s);
        row("silence and bookmark", u"一<silence msec=\"500\"/>二<bookmark mark=\"m\"/>三"_s,
            u"\"一\"@0-1, silence500@1, \"二\"@22-23, mark(m)@23, \"三\"@43-44"_s);
        row("emph and spell", u"<emph>a</emph><spell>ABC</spell>"_s,
            u"\"a\"@6-7 emph, \"ABC\"@21-24 spell"_s);
        row("voice element",
            u"<voice required=\"Gender=Female\" optional=\"Age=Child\">x</voice>y"_s,
            u"\"x\"@53-54 voice(Gender=Female|Age=Child), \"y\"@62-63"_s);
        row("entities", u"a &lt; b&#x4F60;"_s, u"\"a < b你\"@0-16"_s);
        row("single quotes and upper-case tag", u"<RATE SPEED='1'>z</RATE>"_s,
            u"\"z\"@16-17 rate1"_s);
        row("unknown tags are ignored", u"<context id=\"date\">x</context><pron sym=\"h eh\"/>"_s,
            u"\"x\"@19-20"_s);
        row("comment and declaration", u"<?xml version=\"1.0\"?><!-- c -->ok"_s, u"\"ok\"@31-33"_s);
        row("surrogate pair keeps later offsets", u"\U0001F600<emph>x</emph>"_s,
            u"\"\U0001F600\"@0-2, \"x\"@8-9 emph"_s);
        row("crlf", u"a\r\n<emph>b</emph>"_s, u"\"a\r\n\"@0-3, \"b\"@9-10 emph"_s);

        // A flaw costs only itself: the markup around it keeps its meaning and
        // nothing of a tag is read aloud but what is not a tag at all.
        row("unclosed element", u"<rate speed=\"1\">x"_s, u"\"x\"@16-17 rate1"_s);
        row("end tag closes what is left open in it", u"<rate speed=\"2\"><emph>x</rate>y"_s,
            u"\"x\"@22-23 rate2 emph, \"y\"@30-31"_s);
        row("stray end tag", u"x</emph>y<emph>z</emph>"_s, u"\"xy\"@0-9, \"z\"@15-16 emph"_s);
        row("unterminated tag", u"<emph>a</emph> <rate speed=\"1\""_s,
            u"\"a\"@6-7 emph, \" <rate speed=\"1\"\"@14-30"_s);
        row("unquoted attribute", u"<rate speed=1>x</rate>"_s, u"\"x\"@14-15 rate1"_s);
        row("unknown entity", u"<emph>a &nbsp; b</emph>"_s, u"\"a &nbsp; b\"@6-16 emph"_s);
        row("character reference to NUL", u"a&#0;b<spell>c</spell>"_s,
            u"\"a&#0;b\"@0-6, \"c\"@13-14 spell"_s);
        row("bare ampersand and less-than", u"Tom & Jerry, 1 < 2 <emph>!</emph>"_s,
            u"\"Tom & Jerry, 1 < 2 \"@0-19, \"!\"@25-26 emph"_s);
        row("number past the integer range",
            u"<rate speed=\"99999999999\">a</rate><volume level=\"-99999999999\">b"
            "</volume><silence msec=\"99999999999\"/>"_s,
            u"\"a\"@26-27 rate10, \"b\"@63-64 vol0, silence60000@73"_s);
        row("not a number leaves the setting", u"<rate speed=\"fast\">x</rate>"_s,
            u"\"x\"@19-20"_s);
        row("silence of no length", u"a<silence msec=\"soon\"/>b"_s, u"\"a\"@0-1, \"b\"@23-24"_s);
        row("repeated attribute keeps the first", u"<rate speed=\"1\" speed=\"2\">x</rate>"_s,
            u"\"x\"@26-27 rate1"_s);
        row("unclosed comment", u"<emph>a</emph><!-- x"_s, u"\"a\"@6-7 emph, \"<!-- x\"@14-20"_s);
    }

    void parse()
    {
        QFETCH(QString, markup);
        const QList<SapiXmlParser::Run> runs = SapiXmlParser::parse(markup);
        QTEST(describe(runs), "expected");
        // Every unit of every text points at itself in the markup, or at the
        // '&' of the entity it came from.
        for (const SapiXmlParser::Run &run : runs) {
            for (int k = 0; run.kind == SapiXmlParser::Run::Text && k < run.text.size(); ++k) {
                const int at = run.offsetAt(k);
                QVERIFY(at >= 0 && at < markup.size());
                QVERIFY2(markup.at(at) == run.text.at(k) || markup.at(at) == u'&',
                    qPrintable(u"unit %1 of \"%2\""_s.arg(k).arg(run.text)));
            }
        }
    }

    void looksLikeMarkup_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("markup");
        QTest::newRow("tag first") << u"<emph>x</emph>"_s << true;
        QTest::newRow("blanks then tag") << u" \r\n<emph>x</emph>"_s << true;
        QTest::newRow("text first") << u"a <emph>x</emph>"_s << false;
        QTest::newRow("empty") << QString() << false;
    }

    void looksLikeMarkup()
    {
        QFETCH(QString, text);
        QTEST(SapiXmlParser::looksLikeMarkup(text), "markup");
    }
};

QTEST_GUILESS_MAIN(TestSapiXmlParser)
#include "test_SapiXmlParser.moc"
