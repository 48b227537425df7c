#include "speech/MandarinNormalizer.h"

#include <QRegularExpression>

#include <algorithm>
#include <array>

namespace MandarinNormalizer
{

namespace
{

const char16_t Numerals[] = u"零一二三四五六七八九";

// Words after which a lone 2 is 兩 (兩個, 兩點, 兩公斤); dates, floors,
// numbers and ordinals keep 二. Longer entries first where one starts another.
const char16_t *const Measures[]
    = {u"個月", u"個", u"位", u"名", u"本", u"隻", u"次", u"天", u"歲", u"件", u"條", u"張", u"種",
        u"點", u"人", u"家", u"間", u"台", u"臺", u"輛", u"杯", u"碗", u"塊", u"元", u"份", u"頁",
        u"封", u"首", u"部", u"片", u"支", u"枝", u"顆", u"棵", u"匹", u"架", u"座", u"層", u"倍",
        u"週", u"星期", u"小時", u"分鐘", u"秒鐘", u"年", u"萬", u"億", u"千", u"百", u"公斤",
        u"公里", u"公尺", u"公分", u"公克", u"公升", u"公頃", u"毫升", u"毫克", u"度", u"歐元",
        u"美元", u"日圓", u"英鎊", u"趟", u"場", u"句", u"雙", u"對", u"套", u"樣", u"頓", u"口",
        u"步", u"圈", u"行", u"排", u"節", u"堂", u"門", u"聲", u"組", u"盒", u"包", u"瓶", u"袋",
        u"罐", u"箱", u"粒", u"串", u"盤", u"根", u"斤", u"桶", u"籃", u"艘", u"把", u"錠", u"兆"};
// Words after a lone 2 that start like a measure word but are not one.
const char16_t *const NotMeasures[] = {u"年級", u"年代", u"點鐘"};

bool startsWithAny(QStringView text, const char16_t *const *table, size_t n)
{
    for (size_t k = 0; k < n; ++k) {
        if (text.startsWith(QStringView(table[k])))
            return true;
    }
    return false;
}

bool takesLiang(QStringView after)
{
    after = after.trimmed();
    // A count given as two numbers (2、3天) takes the measure of the second.
    if (after.startsWith(u'、')) {
        after = after.sliced(1);
        while (!after.isEmpty() && after.front().isDigit())
            after = after.sliced(1);
    }
    return !startsWithAny(after, NotMeasures, std::size(NotMeasures))
        && startsWithAny(after, Measures, std::size(Measures));
}

// One group of up to four digits ("0305" -> 三百零五). `leading` when the
// group starts the number, so 十 stands alone (十五, not 一十五).
QString groupReading(QStringView group, bool leading, bool plain2)
{
    static const char16_t Places[] = u"千百十";
    QString out;
    bool zero = false;
    const int n = int(group.size());
    for (int k = 0; k < n; ++k) {
        const int d = group[k].digitValue();
        const int place = n - 1 - k; // 3 thousands .. 0 ones
        if (d == 0) {
            zero = !out.isEmpty();
            continue;
        }
        if (zero)
            out += u'零';
        zero = false;
        if (d == 1 && place == 1 && leading && out.isEmpty()) {
            out += u'十';
            continue;
        }
        // 兩千 always; 兩百 only at the head of the number.
        if (d == 2 && !plain2 && (place == 3 || (place == 2 && leading && out.isEmpty())))
            out += u'兩';
        else
            out += QChar(Numerals[d]);
        if (place > 0)
            out += QChar(Places[3 - place]);
    }
    return out;
}

} // namespace

QString digitByDigit(QStringView digits)
{
    QString out;
    for (QChar c : digits) {
        if (c.isDigit() && c.unicode() < 128)
            out += QChar(Numerals[c.digitValue()]);
    }
    // Nobody listens to a thousand digits; their count says what they are.
    if (out.size() > MaxSpelledDigits)
        return cardinal(QString::number(out.size())) + QStringLiteral("位數字");
    return out;
}

QString cardinal(QStringView digits, bool plain2)
{
    while (digits.size() > 1 && digits.front() == u'0')
        digits = digits.sliced(1);
    if (digits.isEmpty() || digits.size() > 16)
        return QString();
    if (digits == u"0")
        return QStringLiteral("零");
    static const char16_t *const Big[] = {u"", u"萬", u"億", u"兆"};
    const int n = int(digits.size());
    const int groups = (n + 3) / 4;
    QString out;
    bool zero = false;
    for (int g = 0; g < groups; ++g) {
        const int end = n - 4 * (groups - 1 - g);
        const int begin = std::max(0, end - 4);
        const QStringView group = digits.sliced(begin, end - begin);
        if (group.toInt() == 0) {
            zero = !out.isEmpty();
            continue;
        }
        // A gap before this group (一萬零五百) is read as 零.
        if (!out.isEmpty() && (zero || group.front() == u'0'))
            out += u'零';
        zero = false;
        const int bigUnit = groups - 1 - g;
        if (group.toInt() == 2 && bigUnit > 0 && !plain2)
            out += u'兩';
        else
            out += groupReading(group, out.isEmpty(), plain2);
        out += QStringView(Big[bigUnit]);
    }
    return out;
}

namespace
{

// A number as written: digits with optional thousands commas and decimals.
QString numberPattern()
{
    return QStringLiteral(R"((?:\d{1,3}(?:,\d{3})+|\d+)(?:\.\d+)?)");
}

// A number read as a quantity; `after` is the text that follows it, for 兩.
QString quantity(QStringView written, QStringView after, bool plain2 = false)
{
    QString digits = written.toString();
    digits.remove(QLatin1Char(','));
    const qsizetype dot = digits.indexOf(QLatin1Char('.'));
    const QStringView whole = QStringView(digits).first(dot < 0 ? digits.size() : dot);
    QString out;
    if (whole.size() > 1 && whole.front() == u'0')
        out = digitByDigit(whole); // 007, 0800
    else if (whole.size() > 16)
        out = digitByDigit(whole);
    else if (dot < 0 && whole == u"2" && !plain2 && takesLiang(after))
        out = QStringLiteral("兩");
    else
        out = cardinal(whole, plain2 || dot >= 0);
    if (dot >= 0)
        out += u'點' + digitByDigit(QStringView(digits).sliced(dot + 1));
    return out;
}

// Minutes and seconds of a clock time: 05 -> 零五.
QString clockPart(QStringView two)
{
    const int v = two.toInt();
    return v < 10 ? u'零' + cardinal(two, true) : cardinal(two, true);
}

struct Rule {
    const char *name;
    QRegularExpression pattern;
    // The words for the match; empty declines it. `text` is the whole text,
    // for what stands around the match.
    QString (*say)(const QRegularExpressionMatch &m, const QString &text);
};

QStringView after(const QRegularExpressionMatch &m, const QString &text)
{
    return QStringView(text).sliced(m.capturedEnd(0));
}

QStringView before(const QRegularExpressionMatch &m, const QString &text)
{
    return QStringView(text).first(m.capturedStart(0));
}

struct Money {
    const char16_t *written;
    const char16_t *before;
    const char16_t *after;
};
// Prefix signs; the suffix codes share the table with their ISO names.
const Money Currencies[] = {{u"NT$", u"新台幣", u"元"}, {u"US$", u"美金", u"元"},
    {u"HK$", u"港幣", u"元"}, {u"$", u"", u"元"}, {u"€", u"", u"歐元"}, {u"£", u"", u"英鎊"},
    {u"¥", u"", u"日圓"}, {u"NTD", u"新台幣", u"元"}, {u"TWD", u"新台幣", u"元"},
    {u"USD", u"", u"美元"}, {u"EUR", u"", u"歐元"}, {u"JPY", u"", u"日圓"}};

const Money *currency(QStringView written)
{
    for (const Money &c : Currencies) {
        if (written == QStringView(c.written))
            return &c;
    }
    return nullptr;
}

QString sayMoney(QStringView sign, QStringView number)
{
    const Money *c = currency(sign);
    if (!c)
        return QString();
    return QString::fromUtf16(c->before) + quantity(number, QStringView(c->after))
        + QString::fromUtf16(c->after);
}

struct Unit {
    const char16_t *written;
    const char16_t *spoken;
};
const Unit Units[] = {{u"km/h", u"公里每小時"}, {u"km²", u"平方公里"}, {u"m²", u"平方公尺"},
    {u"m³", u"立方公尺"}, {u"kWh", u"度"}, {u"km", u"公里"}, {u"cm", u"公分"}, {u"mm", u"公釐"},
    {u"kg", u"公斤"}, {u"mg", u"毫克"}, {u"ml", u"毫升"}, {u"mL", u"毫升"}, {u"ms", u"毫秒"},
    {u"kW", u"千瓦"}, {u"Hz", u"赫茲"}, {u"cc", u"西西"}, {u"ha", u"公頃"}, {u"min", u"分鐘"},
    {u"sec", u"秒"}, {u"hr", u"小時"}, {u"m", u"公尺"}, {u"g", u"公克"}, {u"L", u"公升"},
    {u"W", u"瓦"}, {u"°", u"度"}, {u"h", u"小時"}};

QString unitPattern()
{
    QStringList alternatives;
    for (const Unit &u : Units)
        alternatives << QRegularExpression::escape(QString::fromUtf16(u.written));
    return alternatives.join(QLatin1Char('|'));
}

struct Symbol {
    char16_t written;
    const char16_t *spoken;
};
const Symbol MathSymbols[] = {{u'+', u"加"}, {u'-', u"減"}, {u'−', u"減"}, {u'×', u"乘以"},
    {u'*', u"乘以"}, {u'÷', u"除以"}, {u'=', u"等於"}, {u'<', u"小於"}, {u'>', u"大於"},
    {u'≤', u"小於等於"}, {u'≥', u"大於等於"}, {u'±', u"正負"}};

const Symbol Fractions[] = {{u'½', u"二分之一"}, {u'⅓', u"三分之一"}, {u'⅔', u"三分之二"},
    {u'¼', u"四分之一"}, {u'¾', u"四分之三"}, {u'⅕', u"五分之一"}, {u'⅛', u"八分之一"}};

bool endsWithDigit(QStringView text)
{
    text = text.trimmed();
    return !text.isEmpty() && text.back().isDigit();
}

bool startsWithDigit(QStringView text)
{
    text = text.trimmed();
    return !text.isEmpty() && text.front().isDigit();
}

// A time of day (seconds may be empty); empty where it is none (25:00).
QString clockTime(const QString &hours, const QString &minutes, const QString &seconds)
{
    const int hour = hours.toInt();
    const int minute = minutes.toInt();
    if (hour > 24 || minute > 59 || (!seconds.isEmpty() && seconds.toInt() > 59))
        return QString();
    QString out = quantity(hours, u"點") + u'點';
    if (minute > 0 || !seconds.isEmpty())
        out += clockPart(minutes) + u'分';
    if (!seconds.isEmpty())
        out += clockPart(seconds) + u'秒';
    return out;
}

// Whether a score or a ratio stands around a pair of numbers (比分3:2,
// 以2-1擊敗, 3比2獲勝), so that the pair is read with 比.
bool aroundAScore(QStringView ahead, QStringView rest)
{
    static const char16_t *const Before[] = {
        u"比分", u"比數", u"比数", u"比例", u"戰成", u"战成", u"打成", u"踢成", u"比賽", u"比赛"};
    static const char16_t *const After[] = {u"擊敗", u"击败", u"打敗", u"打败", u"戰勝", u"战胜",
        u"獲勝", u"获胜", u"取勝", u"取胜", u"勝出", u"胜出", u"險勝", u"险胜", u"完封", u"贏",
        u"赢", u"輸", u"输", u"落敗", u"落败", u"領先", u"领先", u"落後", u"落后", u"的比分",
        u"拿下", u"逆轉", u"逆转", u"力克", u"淘汰", u"收下", u"敗給", u"败给", u"大勝", u"大胜"};
    ahead = ahead.trimmed().last(std::min<qsizetype>(ahead.trimmed().size(), 6));
    rest = rest.trimmed();
    for (const char16_t *w : Before) {
        if (ahead.endsWith(QStringView(w)))
            return true;
    }
    for (const char16_t *w : After) {
        if (rest.startsWith(QStringView(w)))
            return true;
    }
    return false;
}

// A number dialled: digit by digit, a short pause between its groups.
QString digitGroups(const QString &number)
{
    QString out;
    const QStringList groups
        = number.split(QRegularExpression(QStringLiteral(R"([^\d]+)")), Qt::SkipEmptyParts);
    for (const QString &g : groups)
        out += (out.isEmpty() ? QString() : QStringLiteral("，")) + digitByDigit(g);
    return out;
}

QString sign(QStringView minus)
{
    return minus.isEmpty() ? QString() : QStringLiteral("負");
}

const std::vector<Rule> &rules()
{
    using M = QRegularExpressionMatch;
    // Never destroyed: the engine's thread may still be reading while the
    // process ends.
    static const std::vector<Rule> *table = new std::vector<Rule> {
        {"telephone",
            QRegularExpression(QStringLiteral(R"(\(0\d{1,3}\)\s?\d{3,4}[-\s]?\d{3,4}(?!\d))"
                                              R"(|0\d{1,3}-\d{3,4}-?\d{3,4}(?!\d))"
                                              R"(|09\d{2}-?\d{3}-?\d{3}(?!\d))"
                                              R"(|[48]00-\d{3}-\d{4}(?!\d))")),
            [](const M &m, const QString &) { return digitGroups(m.captured(0)); }},
        // A number one dials (撥打119, 專線0800123456) is said digit by digit;
        // a comma after it ends the clause (撥打95588，24小時) unless a group of
        // thousands follows.
        {"dialled",
            QRegularExpression(QStringLiteral(
                R"((?<=撥打|拨打|撥|拨|致電|致电|專線|专线|電話|电话|熱線|热线)\s?(\d{3,}(?:-\d{3,4})*)(?!\d|\.\d|,\d{3}(?!\d)))")),
            [](const M &m, const QString &) { return digitGroups(m.captured(1)); }},
        {"date", QRegularExpression(QStringLiteral(R"((\d{4})([/\-.])(\d{1,2})\2(\d{1,2})(?!\d))")),
            [](const M &m, const QString &) {
                const int month = m.captured(3).toInt();
                const int day = m.captured(4).toInt();
                if (month < 1 || month > 12 || day < 1 || day > 31)
                    return QString();
                return digitByDigit(m.captured(1)) + u'年' + cardinal(m.captured(3), true) + u'月'
                    + cardinal(m.captured(4), true) + u'日';
            }},
        // A score or a ratio (3:2, 以2-1擊敗): a clock's minutes have two
        // digits, and a hyphen needs the match around it.
        {"score",
            QRegularExpression(
                QStringLiteral(R"((?<![\d:.\-])(\d{1,3})\s?([:：\-–])\s?(\d{1,3})(?![\d:.]))")),
            [](const M &m, const QString &text) {
                const bool colon = m.captured(2) != u"-" && m.captured(2) != u"–";
                const bool score = aroundAScore(before(m, text), after(m, text));
                if (!score && !(colon && m.capturedLength(3) == 1))
                    return QString();
                return cardinal(m.captured(1), true) + u'比' + cardinal(m.captured(3), true);
            }},
        // A generation by its decade (90後, 00后) is said digit by digit.
        {"generation", QRegularExpression(QStringLiteral(R"((?<![\d.])([06-9]0)(?=[後后]))")),
            [](const M &m, const QString &) { return digitByDigit(m.captured(1)); }},
        // A floor (2F): 二樓.
        {"floor", QRegularExpression(QStringLiteral(R"((?<![A-Za-z\d.])(\d{1,3})F(?![A-Za-z\d]))")),
            [](const M &m, const QString &) { return cardinal(m.captured(1), true) + u'樓'; }},
        // From one time to another (11:00-21:00) before either alone.
        {"time range",
            QRegularExpression(
                QStringLiteral(R"((\d{1,2}):(\d{2})\s?[-~～–]\s?(\d{1,2}):(\d{2})(?![\d:]))")),
            [](const M &m, const QString &) {
                const QString from = clockTime(m.captured(1), m.captured(2), {});
                const QString to = clockTime(m.captured(3), m.captured(4), {});
                return from.isEmpty() || to.isEmpty() ? QString() : from + u'到' + to;
            }},
        {"time", QRegularExpression(QStringLiteral(R"((\d{1,2}):(\d{2})(?::(\d{2}))?(?!\d))")),
            [](const M &m, const QString &) {
                return clockTime(m.captured(1), m.captured(2), m.captured(3));
            }},
        {"money before",
            QRegularExpression(QStringLiteral(R"((NT\$|US\$|HK\$|\$|€|£|¥)\s?()") + numberPattern()
                + QStringLiteral(")")),
            [](const M &m, const QString &) { return sayMoney(m.captured(1), m.captured(2)); }},
        {"money after",
            QRegularExpression(QStringLiteral("(") + numberPattern()
                + QStringLiteral(R"()\s?(NTD|TWD|USD|EUR|JPY)\b)")),
            [](const M &m, const QString &) { return sayMoney(m.captured(2), m.captured(1)); }},
        {"percentage",
            QRegularExpression(
                QStringLiteral(R"(([-−]?)()") + numberPattern() + QStringLiteral(R"()\s?([%‰]))")),
            [](const M &m, const QString &text) {
                if (!m.captured(1).isEmpty() && endsWithDigit(before(m, text)))
                    return QString();
                return sign(m.captured(1))
                    + (m.captured(3) == u"%" ? QStringLiteral("百分之") : QStringLiteral("千分之"))
                    + quantity(m.captured(2), {}, true);
            }},
        {"temperature",
            QRegularExpression(QStringLiteral(R"(([-−]?)()") + numberPattern()
                + QStringLiteral(R"()\s?(°C|℃|°F|℉|度C))")),
            [](const M &m, const QString &) {
                const bool fahrenheit = m.captured(3).contains(u'F') || m.captured(3) == u"℉";
                return (fahrenheit ? QStringLiteral("華氏") : QStringLiteral("攝氏"))
                    + sign(m.captured(1)) + quantity(m.captured(2), u"度") + u'度';
            }},
        // A month and a day (12/25聖誕節, 3/15起, 於5/1): the words around
        // tell a date from a fraction.
        {"month and day",
            QRegularExpression(QStringLiteral(
                R"((?<![\d/.])(\d{1,2})/(\d{1,2})(?:\s?[-~～]\s?(\d{1,2})/(\d{1,2}))?(?![\d/]))")),
            [](const M &m, const QString &text) {
                static const char16_t *const After[] = {u"起", u"止", u"前", u"後", u"后", u"至",
                    u"到", u"～", u"~", u"-", u"(", u"（", u"週", u"周", u"星期", u"上午", u"下午",
                    u"晚上", u"中午", u"當天", u"当天", u"截止", u"開始", u"开始", u"聖誕", u"圣诞",
                    u"、", u"舉行", u"举行", u"開幕", u"开幕", u"出發", u"出发", u"開賣", u"开卖"};
                static const char16_t *const Before[] = {u"於", u"于", u"至", u"到", u"自", u"從",
                    u"从", u"日期", u"截至", u"～", u"~", u"-", u"、"};
                auto say = [](const QString &month, const QString &day) {
                    const int mm = month.toInt();
                    const int dd = day.toInt();
                    if (mm < 1 || mm > 12 || dd < 1 || dd > 31)
                        return QString();
                    return cardinal(month, true) + u'月' + cardinal(day, true) + u'日';
                };
                const QString from = say(m.captured(1), m.captured(2));
                if (from.isEmpty())
                    return QString();
                // From one date to another (3/15-3/20).
                if (m.capturedLength(3) > 0) {
                    const QString to = say(m.captured(3), m.captured(4));
                    return to.isEmpty() ? QString() : from + u'到' + to;
                }
                const QStringView rest = after(m, text).trimmed();
                const QStringView ahead = before(m, text).trimmed();
                bool dated = false;
                for (const char16_t *w : After)
                    dated = dated || rest.startsWith(QStringView(w));
                for (const char16_t *w : Before)
                    dated = dated || ahead.endsWith(QStringView(w));
                // …and its 日 may be written after it (2/29 日).
                if (rest.startsWith(u'日') || rest.startsWith(u'號') || rest.startsWith(u'号'))
                    return from.chopped(1);
                return dated ? from : QString();
            }},
        {"fraction", QRegularExpression(QStringLiteral(R"((\d+)/(\d+)(?![\d/]))")),
            [](const M &m, const QString &) {
                if (m.captured(2).toLongLong() == 0)
                    return QString();
                return cardinal(m.captured(2), true) + QStringLiteral("分之")
                    + cardinal(m.captured(1), true);
            }},
        {"fraction sign", QRegularExpression(QStringLiteral("[½⅓⅔¼¾⅕⅛]")),
            [](const M &m, const QString &) {
                for (const Symbol &f : Fractions) {
                    if (m.captured(0).front() == QChar(f.written))
                        return QString::fromUtf16(f.spoken);
                }
                return QString();
            }},
        {"year", QRegularExpression(QStringLiteral(R"((\d{4})(?=\s?年)|(?<=西元|公元)\d{1,4})")),
            [](const M &m, const QString &) { return digitByDigit(m.captured(0)); }},
        {"range",
            QRegularExpression(QStringLiteral("(") + numberPattern()
                + QStringLiteral(R"()\s?([~～]|-)\s?()") + numberPattern() + QStringLiteral(")")),
            [](const M &m, const QString &text) {
                const QStringView rest = after(m, text).trimmed();
                // Years, with 年 after them or without (2022-2023), unless
                // a measure says they are amounts (1900-2000元).
                auto isYear = [](const QString &n) {
                    return n.size() == 4 && n.toInt() >= 1900 && n.toInt() <= 2099;
                };
                const bool years = m.capturedLength(1) == 4 && m.capturedLength(3) == 4
                    && (rest.startsWith(u'年')
                        || (isYear(m.captured(1)) && isYear(m.captured(3)) && !takesLiang(rest)));
                if (years)
                    return digitByDigit(m.captured(1)) + u'到' + digitByDigit(m.captured(3));
                // A hyphen is a range only before a word (3-5天), not in codes.
                if (m.captured(2) == u"-" && (rest.isEmpty() || rest.front().unicode() < 0x2E80))
                    return QString();
                return quantity(m.captured(1), rest) + u'到' + quantity(m.captured(3), rest);
            }},
        {"ordinal", QRegularExpression(QStringLiteral(R"((?<=第)\s?(\d+))")),
            [](const M &m, const QString &) { return cardinal(m.captured(1), true); }},
        {"unit",
            QRegularExpression(QStringLiteral(R"(([-−]?)()") + numberPattern()
                + QStringLiteral(R"()\s?()") + unitPattern() + QStringLiteral(R"()(?![A-Za-z]))")),
            [](const M &m, const QString &text) {
                if (!m.captured(1).isEmpty() && endsWithDigit(before(m, text)))
                    return QString();
                for (const Unit &u : Units) {
                    if (m.captured(3) == QStringView(u.written))
                        return sign(m.captured(1)) + quantity(m.captured(2), u.spoken)
                            + QString::fromUtf16(u.spoken);
                }
                return QString();
            }},
        {"math sign", QRegularExpression(QStringLiteral(R"([+\-−×*÷=<>≤≥±])")),
            [](const M &m, const QString &text) {
                // Only between numbers (3+5=8) or before one (±5).
                const QChar c = m.captured(0).front();
                if (!startsWithDigit(after(m, text)))
                    return QString();
                if (!endsWithDigit(before(m, text)) && c != u'±')
                    return QString();
                for (const Symbol &s : MathSymbols) {
                    if (c == QChar(s.written))
                        return QString::fromUtf16(s.spoken);
                }
                return QString();
            }},
        {"symbol", QRegularExpression(QStringLiteral("[&=]")),
            [](const M &m, const QString &) {
                return m.captured(0) == u"&" ? QStringLiteral("和") : QStringLiteral("等於");
            }},
        {"number",
            QRegularExpression(
                QStringLiteral(R"(([-−]?)()") + numberPattern() + QStringLiteral(")")),
            [](const M &m, const QString &text) {
                const QStringView ahead = before(m, text);
                if (!m.captured(1).isEmpty()
                    && (endsWithDigit(ahead) || (!ahead.isEmpty() && ahead.back().isLetter())))
                    return QString();
                return sign(m.captured(1)) + quantity(m.captured(2), after(m, text));
            }},
    };
    return *table;
}

bool isTrigger(QChar c)
{
    static constexpr char16_t Triggers[] = u"($€£¥NUH+-−×*÷=<>≤≥±&½⅓⅔¼¾⅕⅛";
    return (c.unicode() < 128 && c.isDigit()) || QStringView(Triggers).contains(c);
}

bool isAsciiLetter(QChar c)
{
    return c.unicode() < 128 && c.isLetter();
}

// Full-width letters, digits and signs read as their half-width forms, and
// the half-width forms of Chinese punctuation as their usual ones.
MappedText halfWidth(const MappedText &in)
{
    static constexpr char16_t HalfWidthPunctuation[] = u"。「」、";
    auto usual = [](char16_t u) -> char16_t {
        if (u >= 0xFF01 && u <= 0xFF5E)
            return char16_t(u - 0xFEE0);
        if (u == 0x3000)
            return u' ';
        if (u >= 0xFF61 && u <= 0xFF64)
            return HalfWidthPunctuation[u - 0xFF61];
        return u;
    };
    MappedText out = in;
    const QChar *units = in.text.constData();
    for (int k = 0; k < in.size(); ++k) {
        if (const char16_t u = usual(units[k].unicode()); u != units[k].unicode())
            out.text[k] = QChar(u);
    }
    return out;
}

} // namespace

QStringList ruleNames()
{
    QStringList names;
    for (const Rule &r : rules())
        names << QString::fromLatin1(r.name);
    return names;
}

MappedText normalize(const MappedText &input)
{
    const MappedText in = halfWidth(input);
    const QString &text = in.text;
    if (std::none_of(text.cbegin(), text.cend(), isTrigger))
        return in;
    MappedText out;
    const int n = in.size();
    out.text.reserve(n);
    out.from.reserve(n);
    out.to.reserve(n);
    out.generated.reserve(n);
    int i = 0;
    bool numberAfterWord = false;
    while (i < n) {
        const QChar c = text.at(i);
        const bool afterLetterOrDigit
            = i > 0 && (isAsciiLetter(text.at(i - 1)) || text.at(i - 1).isDigit());
        if (!isTrigger(c) || (afterLetterOrDigit && c.isLetterOrNumber() && !numberAfterWord)) {
            // Digits that belong to a Latin word (MP3) stay with it, but a
            // decimal after the letters is a number of its own (PM2.5).
            int j = i + 1;
            if (c.unicode() < 128 && c.isLetterOrNumber()) {
                while (j < n && text.at(j).unicode() < 128 && text.at(j).isLetterOrNumber())
                    ++j;
                int letters = i;
                while (letters < j && isAsciiLetter(text.at(letters)))
                    ++letters;
                if (letters > i && letters < j && j + 1 < n && text.at(j) == u'.'
                    && text.at(j + 1).isDigit()) {
                    j = letters;
                    numberAfterWord = true;
                }
            }
            out.appendUnits(in, i, j);
            i = j;
            continue;
        }
        bool done = false;
        for (const Rule &rule : rules()) {
            const QRegularExpressionMatch m = rule.pattern.match(text, i,
                QRegularExpression::NormalMatch, QRegularExpression::AnchorAtOffsetMatchOption);
            if (!m.hasMatch() || m.capturedLength(0) == 0)
                continue;
            const QString words = rule.say(m, text);
            if (words.isEmpty())
                continue;
            const int end = int(m.capturedEnd(0));
            out.appendGenerated(words, in.from[i], in.to[end - 1]);
            numberAfterWord = false;
            i = end;
            done = true;
            break;
        }
        if (!done) {
            out.appendUnits(in, i, i + 1);
            ++i;
            numberAfterWord = false;
        }
    }
    return out;
}

} // namespace MandarinNormalizer
