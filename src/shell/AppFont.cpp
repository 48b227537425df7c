#include "shell/AppFont.h"

#include "shell/AppSort.h"

namespace AppFont
{

namespace
{

// Under the CJK code pages every non-ASCII first character is the lead byte
// of a double-byte character, which is what puts those names first.
bool startsDoubleByte(const QString &name)
{
    return name.at(0).unicode() > 0x7F;
}

} // namespace

QStringList OrderFontFamilies(const QStringList &families)
{
    const QList<int> order = AppSort::SortIndex(families, true);
    QStringList wide;
    QStringList narrow;
    for (int i : order) {
        const QString &name = families.at(i);
        if (name.isEmpty() || name.startsWith(QLatin1Char('@')))
            continue;
        (startsDoubleByte(name) ? wide : narrow).append(name);
    }
    return wide + narrow;
}

QString FormatCharCount(qsizetype count)
{
    return QStringLiteral("總字數： ")
        + QString::number(count).rightJustified(15, QLatin1Char(' '));
}

QString CharLimitText()
{
    return QStringLiteral("字數上限：30000");
}

} // namespace AppFont
