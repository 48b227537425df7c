#include "MandarinEval.h"

#include "speech/ChineseScript.h"
#include "speech/LexiconFormat.h"
#include "speech/MandarinReading.h"

#include <QFile>

#include <algorithm>
#include <vector>

namespace MandarinEval
{

void Score::add(const Score &other)
{
    sentences += other.sentences;
    sentencesRight += other.sentencesRight;
    syllables += other.syllables;
    syllablesRight += other.syllablesRight;
    polyphones += other.polyphones;
    polyphonesRight += other.polyphonesRight;
}

QList<Row> readRows(const QString &path)
{
    QFile file(path);
    QList<Row> out;
    if (!file.open(QIODevice::ReadOnly))
        return out;
    for (const QString &line : QString::fromUtf8(file.readAll()).split(u'\n')) {
        if (line.trimmed().isEmpty() || line.startsWith(u'#'))
            continue;
        const QStringList f = line.split(u'\t');
        if (f.size() < 4)
            continue;
        out.append({f[0], f[1].split(u' ', Qt::SkipEmptyParts), f[2], f[3].trimmed() == u"S"});
    }
    return out;
}

Score scoreRow(const Row &row, QString *miss)
{
    const MandarinLexicon &lexicon = MandarinLexicon::shared();
    const MappedText source = MappedText::of(row.text);
    const MappedText traditional = ChineseScript::toTraditional(source, lexicon);
    QList<MandarinReading::Token> read;
    for (const MandarinReading::Token &t : MandarinReading::read(source, lexicon)) {
        if (t.kind != MandarinReading::Token::Pause)
            read.append(t);
    }
    // Whether token t reads one character that has several readings.
    auto polyphone = [&](const MandarinReading::Token &t) {
        if (t.kind != MandarinReading::Token::Syllable)
            return false;
        for (int k = 0; k < traditional.size(); ++k) {
            if (traditional.from[k] == t.from && traditional.to[k] == t.to
                && !traditional.generated[k])
                return (lexicon.characterFlags(traditional.text.at(k).unicode())
                           & LexiconFormat::Polyphone)
                    != 0;
        }
        return false;
    };

    // Edit-distance alignment of the expected syllables with the read ones.
    const QStringList &want = row.expected;
    const qsizetype n = want.size();
    const qsizetype m = read.size();
    std::vector<std::vector<int>> d(size_t(n) + 1, std::vector<int>(size_t(m) + 1));
    for (qsizetype i = 0; i <= n; ++i)
        d[size_t(i)][0] = int(i);
    for (qsizetype j = 0; j <= m; ++j)
        d[0][size_t(j)] = int(j);
    for (qsizetype i = 1; i <= n; ++i) {
        for (qsizetype j = 1; j <= m; ++j) {
            const int same = want[i - 1] == read[j - 1].text ? 0 : 1;
            d[size_t(i)][size_t(j)] = std::min({d[size_t(i - 1)][size_t(j)] + 1,
                d[size_t(i)][size_t(j - 1)] + 1, d[size_t(i - 1)][size_t(j - 1)] + same});
        }
    }
    Score s;
    s.sentences = 1;
    s.syllables = int(n);
    QStringList wrong;
    for (qsizetype i = n, j = m; i > 0 || j > 0;) {
        if (i > 0 && j > 0
            && d[size_t(i)][size_t(j)]
                == d[size_t(i - 1)][size_t(j - 1)] + (want[i - 1] == read[j - 1].text ? 0 : 1)) {
            const bool right = want[i - 1] == read[j - 1].text;
            s.syllablesRight += right ? 1 : 0;
            if (polyphone(read[j - 1])) {
                ++s.polyphones;
                s.polyphonesRight += right ? 1 : 0;
            }
            if (!right)
                wrong.prepend(
                    QStringLiteral("%1 %2 for %3")
                        .arg(row.text.mid(read[j - 1].from, read[j - 1].to - read[j - 1].from),
                            read[j - 1].text, want[i - 1]));
            --i;
            --j;
        } else if (i > 0 && d[size_t(i)][size_t(j)] == d[size_t(i - 1)][size_t(j)] + 1) {
            wrong.prepend(QStringLiteral("missing %1").arg(want[i - 1]));
            --i;
        } else {
            wrong.prepend(QStringLiteral("extra %1").arg(read[j - 1].text));
            --j;
        }
    }
    s.sentencesRight = wrong.isEmpty() ? 1 : 0;
    if (miss && !wrong.isEmpty())
        *miss = row.text + QStringLiteral("  ") + wrong.join(QStringLiteral("; "));
    return s;
}

QString describe(const Score &s)
{
    return QStringLiteral(
        "sentences %1 % (%2/%3), characters %4 % (%5/%6), polyphones %7 % (%8/%9)")
        .arg(Score::percent(s.sentencesRight, s.sentences), 0, 'f', 1)
        .arg(s.sentencesRight)
        .arg(s.sentences)
        .arg(Score::percent(s.syllablesRight, s.syllables), 0, 'f', 1)
        .arg(s.syllablesRight)
        .arg(s.syllables)
        .arg(Score::percent(s.polyphonesRight, s.polyphones), 0, 'f', 1)
        .arg(s.polyphonesRight)
        .arg(s.polyphones);
}

} // namespace MandarinEval
