#include "render/BookChapters.h"

#include "speech/SapiXmlParser.h"
#include "speech/TextSplitter.h"

#include <QHash>

#include <algorithm>

namespace BookChapters
{

namespace
{
// Characters of a title kept in a file name; with the number and the
// extension the name stays well under the 255 bytes file systems allow.
constexpr qsizetype MaxTitleLength = 60;

QString safeTitle(const QString &title)
{
    QString out;
    for (const QChar c : title) {
        if (c == u'/' || c == u'\\' || c.category() == QChar::Other_Control
            || c.category() == QChar::Other_Format)
            out += u' ';
        else
            out += c;
    }
    out = out.simplified();
    while (out.startsWith(u'.'))
        out.remove(0, 1);
    if (out.size() > MaxTitleLength) {
        qsizetype cut = MaxTitleLength;
        if (out[cut - 1].isHighSurrogate())
            --cut;
        out = out.left(cut).trimmed();
    }
    return out;
}
} // namespace

bool hasNothingToRead(const QString &text, bool xml)
{
    if (!xml)
        return TextSplitter::isBlank(text, 0, int(text.size()));
    for (const SapiXmlParser::Run &run : SapiXmlParser::parse(text)) {
        if (run.kind == SapiXmlParser::Run::Silence && run.silenceMs > 0)
            return false;
        if (run.kind == SapiXmlParser::Run::Text
            && !TextSplitter::isBlank(run.text, 0, int(run.text.size())))
            return false;
    }
    return true;
}

QList<Planned> plan(const Document::Book &book, const QString &text, int maxLevel,
    const QString &bookTitle, bool xml)
{
    QList<Document::Chapter> marks;
    for (const Document::Chapter &c : book.chapters) {
        if (c.level > maxLevel || c.offset < 0 || c.offset > text.size())
            continue;
        if (!marks.isEmpty() && c.offset <= marks.last().offset)
            continue; // the outer of two entries at one place, and text order
        marks.append({c.title.simplified(), c.offset, c.level});
    }
    if (marks.isEmpty() || marks.first().offset > 0)
        marks.prepend({bookTitle, 0, 1});

    QList<Planned> kept;
    for (qsizetype i = 0; i < marks.size(); ++i) {
        // A heading with nothing to read after it, up to the next one of its
        // level or above, is no chapter; one whose sections follow at once is.
        qsizetype end = text.size();
        for (qsizetype j = i + 1; j < marks.size(); ++j) {
            if (marks[j].level <= marks[i].level) {
                end = marks[j].offset;
                break;
            }
        }
        QString body = text.mid(marks[i].offset, end - marks[i].offset).trimmed();
        if (!marks[i].title.isEmpty() && body.startsWith(marks[i].title))
            body.remove(0, marks[i].title.size());
        if (hasNothingToRead(body, xml))
            continue;
        kept.append({marks[i].title.isEmpty() ? bookTitle : marks[i].title, marks[i].offset});
    }
    if (kept.isEmpty())
        kept.append({bookTitle, 0});
    // What comes before the first kept chapter is heard in it.
    kept.first().offset = 0;
    return kept;
}

QList<qint64> startSamples(
    const QList<Planned> &chapters, const QList<TextRenderer::WordTime> &words, qint64 totalSamples)
{
    QList<qint64> starts;
    for (qsizetype i = 0; i < chapters.size(); ++i) {
        if (i == 0) {
            starts.append(0);
            continue;
        }
        // Words come in order of sound, and so, but for markup that moves
        // nothing back, in order of text.
        const auto first = std::find_if(words.cbegin(), words.cend(),
            [&](const TextRenderer::WordTime &w) { return w.position >= chapters[i].offset; });
        const qint64 at = first == words.cend() ? totalSamples : first->sample;
        starts.append(std::clamp(at, starts.last(), totalSamples));
    }
    return starts;
}

QStringList fileNames(const QList<Planned> &chapters)
{
    const int width = std::max<int>(2, int(QString::number(chapters.size()).size()));
    QHash<QString, int> used;
    QStringList names;
    for (qsizetype i = 0; i < chapters.size(); ++i) {
        QString title = safeTitle(chapters[i].title);
        const int seen = ++used[title];
        if (seen > 1)
            title += QStringLiteral(" (%1)").arg(seen);
        QString name = QStringLiteral("%1").arg(i + 1, width, 10, QLatin1Char('0'));
        if (!title.isEmpty())
            name += u' ' + title;
        names.append(name);
    }
    return names;
}

} // namespace BookChapters
