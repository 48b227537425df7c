#include "speech/SapiXmlParser.h"

#include <QtTest>

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
            s = QStringLiteral("silence%1@%2").arg(run.silenceMs).arg(run.source);
            break;
        case SapiXmlParser::Run::Bookmark:
            s = QStringLiteral("mark(%1)@%2").arg(run.text).arg(run.source);
            break;
        case SapiXmlParser::Run::Text:
            s = QStringLiteral("\"%1\"@%2-%3")
                    .arg(run.text)
                    .arg(run.offsetAt(0))
                    .arg(run.offsetAt(run.text.size()));
            break;
        }
        if (run.rate != 0 || run.rateAbsolute)
            s += QStringLiteral(" rate%1%2").arg(run.rateAbsolute ? u"=" : u"").arg(run.rate);
        if (run.pitch != 0 || run.pitchAbsolute)
            s += QStringLiteral(" pitch%1%2").arg(run.pitchAbsolute ? u"=" : u"").arg(run.pitch);
        if (run.volume != 100)
            s += QStringLiteral(" vol%1").arg(run.volume);
        if (run.emphasis)
            s += QStringLiteral(" emph");
        if (run.spell)
            s += QStringLiteral(" spell");
        if (!run.voiceRequired.isEmpty() || !run.voiceOptional.isEmpty())
            s += QStringLiteral(" voice(%1|%2)").arg(run.voiceRequired, run.voiceOptional);
        parts.append(s);
    }
    return parts.join(QStringLiteral(", "));
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
        row("no tags", QStringLiteral("你好 world"), QStringLiteral("\"你好 world\"@0-8"));
        row("relative rate", QStringLiteral("a<rate speed=\"3\">bc</rate>d"),
            QStringLiteral("\"a\"@0-1, \"bc\"@17-19 rate3, \"d\"@26-27"));
        row("absolute rate then relative inside",
            QStringLiteral("<rate absspeed=\"-4\">x<rate speed=\"2\">y</rate></rate>"),
            QStringLiteral("\"x\"@20-21 rate=-4, \"y\"@37-38 rate=-2"));
        row("rate clamps", QStringLiteral("<rate speed=\"30\">x</rate>"),
            QStringLiteral("\"x\"@17-18 rate10"));
        row("relative rate past the int range clamps",
            QStringLiteral("<rate absspeed=\"10\"><rate speed=\"2147483647\">x</rate></rate>"),
            QStringLiteral("\"x\"@45-46 rate=10"));
        row("relative pitch past the int range clamps",
            QStringLiteral(
                "<pitch absmiddle=\"-5\"><pitch middle=\"-2147483648\">x</pitch></pitch>"),
            QStringLiteral("\"x\"@50-51 pitch=-10"));
        // Absolute values at and one past the ends of their ranges.
        row("absolute rate at the top", QStringLiteral("<rate absspeed=\"10\">x</rate>"),
            QStringLiteral("\"x\"@20-21 rate=10"));
        row("absolute rate one past the top", QStringLiteral("<rate absspeed=\"11\">x</rate>"),
            QStringLiteral("\"x\"@20-21 rate=10"));
        row("absolute rate at the bottom", QStringLiteral("<rate absspeed=\"-10\">x</rate>"),
            QStringLiteral("\"x\"@21-22 rate=-10"));
        row("absolute rate one past the bottom", QStringLiteral("<rate absspeed=\"-11\">x</rate>"),
            QStringLiteral("\"x\"@21-22 rate=-10"));
        row("absolute pitch one past the top", QStringLiteral("<pitch absmiddle=\"11\">x</pitch>"),
            QStringLiteral("\"x\"@22-23 pitch=10"));
        row("absolute pitch one past the bottom",
            QStringLiteral("<pitch absmiddle=\"-11\">x</pitch>"),
            QStringLiteral("\"x\"@23-24 pitch=-10"));
        // Inside a quieter element, 101 is the whole volume, not the outer 50.
        row("volume one past 100",
            QStringLiteral("<volume level=\"50\"><volume level=\"101\">x</volume></volume>"),
            QStringLiteral("\"x\"@39-40"));
        row("volume one below 0", QStringLiteral("<volume level=\"-1\">x</volume>"),
            QStringLiteral("\"x\"@19-20 vol0"));
        row("empty element changes to the end of its parent",
            QStringLiteral("<volume level=\"80\">a<pitch absmiddle=\"5\"/>b</volume>c"),
            QStringLiteral("\"a\"@19-20 vol80, \"b\"@42-43 pitch=5 vol80, \"c\"@52-53"));
        row("silence past a minute is a minute", QStringLiteral("一<silence msec=\"600000\"/>二"),
            QStringLiteral("\"一\"@0-1, silence60000@1, \"二\"@25-26"));
        row("silence and bookmark",
            QStringLiteral("一<silence msec=\"500\"/>二<bookmark mark=\"m\"/>三"),
            QStringLiteral("\"一\"@0-1, silence500@1, \"二\"@22-23, mark(m)@23, \"三\"@43-44"));
        row("emph and spell", QStringLiteral("<emph>a</emph><spell>ABC</spell>"),
            QStringLiteral("\"a\"@6-7 emph, \"ABC\"@21-24 spell"));
        row("voice element",
            QStringLiteral("<voice required=\"Gender=Female\" optional=\"Age=Child\">x</voice>y"),
            QStringLiteral("\"x\"@53-54 voice(Gender=Female|Age=Child), \"y\"@62-63"));
        row("entities", QStringLiteral("a &lt; b&#x4F60;"), QStringLiteral("\"a < b你\"@0-16"));
        row("single quotes and upper-case tag", QStringLiteral("<RATE SPEED='1'>z</RATE>"),
            QStringLiteral("\"z\"@16-17 rate1"));
        row("unknown tags are ignored",
            QStringLiteral("<context id=\"date\">x</context><pron sym=\"h eh\"/>"),
            QStringLiteral("\"x\"@19-20"));
        row("comment and declaration", QStringLiteral("<?xml version=\"1.0\"?><!-- c -->ok"),
            QStringLiteral("\"ok\"@31-33"));
        row("surrogate pair keeps later offsets", QStringLiteral("\U0001F600<emph>x</emph>"),
            QStringLiteral("\"\U0001F600\"@0-2, \"x\"@8-9 emph"));
        row("crlf", QStringLiteral("a\r\n<emph>b</emph>"),
            QStringLiteral("\"a\r\n\"@0-3, \"b\"@9-10 emph"));
    }

    void parse()
    {
        QFETCH(QString, markup);
        QFETCH(QString, expected);
        const QList<SapiXmlParser::Run> runs = SapiXmlParser::parse(markup);
        QCOMPARE(describe(runs), expected);
        // Every unit of every text points at itself in the markup, or at the
        // '&' of the entity it came from.
        for (const SapiXmlParser::Run &run : runs) {
            if (run.kind != SapiXmlParser::Run::Text)
                continue;
            for (int k = 0; k < run.text.size(); ++k) {
                const int at = run.offsetAt(k);
                QVERIFY(at >= 0 && at < markup.size());
                QVERIFY2(markup.at(at) == run.text.at(k) || markup.at(at) == QLatin1Char('&'),
                    qPrintable(QStringLiteral("unit %1 of \"%2\"").arg(k).arg(run.text)));
            }
        }
    }

    // A flaw costs only itself: the markup around it keeps its meaning and
    // nothing of a tag is read aloud but what is not a tag at all.
    void flawsAreRecovered_data()
    {
        QTest::addColumn<QString>("markup");
        QTest::addColumn<QString>("expected");
        auto row = [](const char *name, const QString &markup, const QString &expected) {
            QTest::newRow(name) << markup << expected;
        };
        row("unclosed element", QStringLiteral("<rate speed=\"1\">x"),
            QStringLiteral("\"x\"@16-17 rate1"));
        row("end tag closes what is left open in it",
            QStringLiteral("<rate speed=\"2\"><emph>x</rate>y"),
            QStringLiteral("\"x\"@22-23 rate2 emph, \"y\"@30-31"));
        row("stray end tag", QStringLiteral("x</emph>y<emph>z</emph>"),
            QStringLiteral("\"xy\"@0-9, \"z\"@15-16 emph"));
        row("unterminated tag", QStringLiteral("<emph>a</emph> <rate speed=\"1\""),
            QStringLiteral("\"a\"@6-7 emph, \" <rate speed=\"1\"\"@14-30"));
        row("unquoted attribute", QStringLiteral("<rate speed=1>x</rate>"),
            QStringLiteral("\"x\"@14-15 rate1"));
        row("unknown entity", QStringLiteral("<emph>a &nbsp; b</emph>"),
            QStringLiteral("\"a &nbsp; b\"@6-16 emph"));
        row("character reference to NUL", QStringLiteral("a&#0;b<spell>c</spell>"),
            QStringLiteral("\"a&#0;b\"@0-6, \"c\"@13-14 spell"));
        row("bare ampersand and less-than", QStringLiteral("Tom & Jerry, 1 < 2 <emph>!</emph>"),
            QStringLiteral("\"Tom & Jerry, 1 < 2 \"@0-19, \"!\"@25-26 emph"));
        row("number past the integer range",
            QStringLiteral("<rate speed=\"99999999999\">a</rate><volume level=\"-99999999999\">b"
                           "</volume><silence msec=\"99999999999\"/>"),
            QStringLiteral("\"a\"@26-27 rate10, \"b\"@63-64 vol0, silence60000@73"));
        row("not a number leaves the setting", QStringLiteral("<rate speed=\"fast\">x</rate>"),
            QStringLiteral("\"x\"@19-20"));
        row("silence of no length", QStringLiteral("a<silence msec=\"soon\"/>b"),
            QStringLiteral("\"a\"@0-1, \"b\"@23-24"));
        row("repeated attribute keeps the first",
            QStringLiteral("<rate speed=\"1\" speed=\"2\">x</rate>"),
            QStringLiteral("\"x\"@26-27 rate1"));
        row("unclosed comment", QStringLiteral("<emph>a</emph><!-- x"),
            QStringLiteral("\"a\"@6-7 emph, \"<!-- x\"@14-20"));
    }

    void flawsAreRecovered()
    {
        QFETCH(QString, markup);
        QFETCH(QString, expected);
        const QList<SapiXmlParser::Run> runs = SapiXmlParser::parse(markup);
        QCOMPARE(describe(runs), expected);
        for (const SapiXmlParser::Run &run : runs) {
            for (int k = 0; run.kind == SapiXmlParser::Run::Text && k < run.text.size(); ++k) {
                const int at = run.offsetAt(k);
                QVERIFY(markup.at(at) == run.text.at(k) || markup.at(at) == QLatin1Char('&'));
            }
        }
    }

    void looksLikeMarkup_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("markup");
        QTest::newRow("tag first") << QStringLiteral("<emph>x</emph>") << true;
        QTest::newRow("blanks then tag") << QStringLiteral(" \r\n<emph>x</emph>") << true;
        QTest::newRow("text first") << QStringLiteral("a <emph>x</emph>") << false;
        QTest::newRow("empty") << QString() << false;
    }

    void looksLikeMarkup()
    {
        QFETCH(QString, text);
        QFETCH(bool, markup);
        QCOMPARE(SapiXmlParser::looksLikeMarkup(text), markup);
    }
};

QTEST_GUILESS_MAIN(TestSapiXmlParser)
#include "test_SapiXmlParser.moc"
