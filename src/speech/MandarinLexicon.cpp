#include "speech/MandarinLexicon.h"

#include "system/AppPaths.h"
#include "system/Log.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <mutex>

namespace
{

QString &chosenFile()
{
    static QString path;
    return path;
}

// Word order of the file: UTF-16 code units, a prefix before its extensions.
int compareUnits(QStringView a, QStringView b)
{
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        if (a[i] != b[i])
            return a[i].unicode() < b[i].unicode() ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

} // namespace

void MandarinLexicon::setFile(const QString &path)
{
    chosenFile() = path;
}

QString MandarinLexicon::defaultFile()
{
    const QString beside
        = AppPaths::programFolder() + QStringLiteral("/Data/Mandarin/Parlo_Mandarin.lex");
#ifdef PARLO_BUILD_LEXICON
    // Tests, benches and tools run from the build tree, away from the program.
    if (!QFileInfo::exists(beside))
        return QStringLiteral(PARLO_BUILD_LEXICON);
#endif
    return beside;
}

const MandarinLexicon &MandarinLexicon::shared()
{
    // Never destroyed: the engine's thread may still be reading while the
    // process ends.
    static MandarinLexicon *lexicon = new MandarinLexicon;
    static std::once_flag once;
    std::call_once(once, [] {
        const QString path = chosenFile().isEmpty() ? defaultFile() : chosenFile();
        QString error;
        if (!lexicon->load(path, &error))
            qCWarning(lcSpeech).noquote() << "Mandarin is read character by character:" << error;
    });
    return *lexicon;
}

bool MandarinLexicon::load(const QString &path, QString *error)
{
    *this = MandarinLexicon();
    auto fail = [&](const QString &why) {
        *this = MandarinLexicon();
        if (error)
            *error = path + QStringLiteral(": ") + why;
        return false;
    };
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(file.errorString());
    if (file.size() > (qint64(1) << 30))
        return fail(QStringLiteral("too large"));
    m_data = file.readAll();
    using namespace LexiconFormat;
    const qsizetype size = m_data.size();
    if (size < qsizetype(sizeof(Header)))
        return fail(QStringLiteral("too short"));
    const auto *h = reinterpret_cast<const Header *>(m_data.constData());
    if (std::memcmp(h->magic, Magic, 4) != 0 || h->version != Version)
        return fail(QStringLiteral("not a lexicon of this version"));
    const qint64 syllableBytes = qint64(h->syllableCount) * SyllableBytes;
    const qint64 entryBytes = qint64(h->entryCount) * qint64(sizeof(Entry));
    const qint64 need = qint64(sizeof(Header)) + syllableBytes + entryBytes
        + qint64(h->textUnits) * 2 + qint64(h->readingUnits) * 2;
    if (need != size || h->entryCount == 0)
        return fail(QStringLiteral("damaged (size does not match its header)"));
    const char *p = m_data.constData() + sizeof(Header);
    const char *syllables = p;
    const auto *entries = reinterpret_cast<const Entry *>(p + syllableBytes);
    const auto *text = reinterpret_cast<const char16_t *>(p + syllableBytes + entryBytes);
    const auto *readings = reinterpret_cast<const quint16 *>(
        p + syllableBytes + entryBytes + qint64(h->textUnits) * 2);
    // Every reference is checked once here, so lookups need no checks.
    quint32 longest = 0;
    for (quint32 i = 0; i < h->entryCount; ++i) {
        const Entry &e = entries[i];
        if (e.textLength == 0 || quint64(e.text) + e.textLength > h->textUnits || e.syllables == 0
            || quint64(e.reading) + e.syllables > h->readingUnits)
            return fail(QStringLiteral("damaged entry %1").arg(i));
        for (int k = 0; k < e.syllables; ++k) {
            if (readings[e.reading + k] >= h->syllableCount)
                return fail(QStringLiteral("damaged entry %1").arg(i));
        }
        if (i > 0) {
            const QStringView before(text + entries[i - 1].text, entries[i - 1].textLength);
            if (compareUnits(before, QStringView(text + e.text, e.textLength)) >= 0)
                return fail(QStringLiteral("words out of order at entry %1").arg(i));
        }
        longest = std::max<quint32>(longest, e.textLength);
    }
    if (longest != h->maxWordUnits)
        return fail(QStringLiteral("damaged (longest word)"));
    m_firstUnit.assign(0x10001, 0);
    for (quint32 i = 0; i < h->entryCount; ++i)
        ++m_firstUnit[size_t(text[entries[i].text]) + 1];
    for (size_t u = 1; u < m_firstUnit.size(); ++u)
        m_firstUnit[u] += m_firstUnit[u - 1];
    m_logProbability.resize(h->entryCount);
    const double logTotal = std::log(double(std::max<quint32>(h->totalWeight, 1)));
    for (quint32 i = 0; i < h->entryCount; ++i)
        m_logProbability[i]
            = float(std::log(double(std::max<quint32>(entries[i].weight, 1))) - logTotal);
    for (quint32 k = 0; k < h->syllableCount; ++k) {
        const char *name = syllables + qsizetype(k) * SyllableBytes;
        m_syllableText.push_back(
            QString::fromLatin1(name, qsizetype(strnlen(name, SyllableBytes))));
    }
    m_header = h;
    m_syllables = syllables;
    m_entries = entries;
    m_text = text;
    m_readings = readings;
    return true;
}

QStringView MandarinLexicon::textOf(int entry) const
{
    return QStringView(m_text + m_entries[entry].text, m_entries[entry].textLength);
}

QByteArrayView MandarinLexicon::syllable(int entry, int k) const
{
    const char *s = m_syllables
        + qsizetype(m_readings[m_entries[entry].reading + k]) * LexiconFormat::SyllableBytes;
    return QByteArrayView(s, qsizetype(strnlen(s, LexiconFormat::SyllableBytes)));
}

int MandarinLexicon::wordsAt(QStringView text, Match *out, int max) const
{
    if (!isLoaded() || text.isEmpty() || max <= 0)
        return 0;
    // The words that begin with text[0, n) form one run of the sorted list;
    // each longer prefix narrows the run found for the shorter one.
    int lo = int(m_firstUnit[text[0].unicode()]);
    int hi = int(m_firstUnit[size_t(text[0].unicode()) + 1]);
    int found = 0;
    if (lo < hi && m_entries[lo].textLength == 1)
        out[found++] = {1, lo};
    const int limit = int(std::min<qsizetype>(text.size(), m_header->maxWordUnits));
    for (int n = 2; n <= limit && lo < hi && found < max; ++n) {
        const QStringView prefix = text.first(n);
        auto prefixOf = [&](int entry) {
            const QStringView t = textOf(entry);
            return compareUnits(t.first(std::min<qsizetype>(t.size(), n)), prefix);
        };
        int a = lo;
        int b = hi;
        while (a < b) {
            const int mid = a + (b - a) / 2;
            if (prefixOf(mid) < 0)
                a = mid + 1;
            else
                b = mid;
        }
        lo = a;
        b = hi;
        while (a < b) {
            const int mid = a + (b - a) / 2;
            if (prefixOf(mid) <= 0)
                a = mid + 1;
            else
                b = mid;
        }
        hi = a;
        // Within the run, the word equal to the prefix comes first.
        if (lo < hi && m_entries[lo].textLength == n) {
            out[found++] = {n, lo};
            if (found == max)
                break;
        }
    }
    return found;
}

int MandarinLexicon::characterEntry(char32_t c) const
{
    if (!isLoaded())
        return -1;
    if (c <= 0xFFFF) {
        // A single character is the first entry of the run its unit begins.
        const quint32 first = m_firstUnit[c];
        return first < m_firstUnit[size_t(c) + 1] && m_entries[first].textLength == 1 ? int(first)
                                                                                      : -1;
    }
    const char16_t units[2] = {QChar::highSurrogate(c), QChar::lowSurrogate(c)};
    return find(QStringView(units, 2));
}

bool MandarinLexicon::knowsCharacter(char32_t c) const
{
    return characterEntry(c) >= 0;
}

quint8 MandarinLexicon::characterFlags(char32_t c) const
{
    const int entry = characterEntry(c);
    return entry < 0 ? 0 : flags(entry);
}

int MandarinLexicon::find(QStringView word) const
{
    if (!isLoaded() || word.isEmpty())
        return -1;
    int a = 0;
    int b = int(m_header->entryCount);
    while (a < b) {
        const int mid = a + (b - a) / 2;
        const int c = compareUnits(textOf(mid), word);
        if (c == 0)
            return mid;
        if (c < 0)
            a = mid + 1;
        else
            b = mid;
    }
    return -1;
}

namespace
{

// What each word of a cut costs beyond its probability: a little more than
// nothing favours fewer, longer words where the lexicon's counts are close.
constexpr double WordCost = 1.0;
// What a transparent phrase costs more: libchewing holds many phrases typed
// as a unit (我的, 在教) that are read as their characters anyway; they must
// not take a character from a word that decides its reading (我/的確,
// 在/教書).
constexpr double TransparentCost = 2.0;

} // namespace

MandarinLexicon::Cut MandarinLexicon::cut(QStringView run) const
{
    constexpr double Impossible = -std::numeric_limits<double>::infinity();
    struct Best {
        double score = Impossible;
        int last = 0; // length of the last word, in units
        int entry = -1;
    };
    const int n = int(run.size());
    const double unknown = std::log(0.5 / totalWeight());
    std::vector<Best> best(size_t(n) + 1);
    best[0].score = 0;
    Match matches[24];
    for (int i = 0; i < n; ++i) {
        const Best &here = best[size_t(i)];
        if (here.score == Impossible)
            continue; // inside a surrogate pair
        auto offer = [&](int length, int entry) {
            double p = entry < 0 ? unknown : logProbability(entry);
            if (entry >= 0 && (flags(entry) & LexiconFormat::Transparent))
                p -= TransparentCost;
            const Best b {here.score + p - WordCost, length, entry};
            if (b.score > best[size_t(i + length)].score)
                best[size_t(i + length)] = b;
        };
        const int found = isLoaded() ? wordsAt(run.sliced(i), matches, int(std::size(matches))) : 0;
        const int single
            = run[i].isHighSurrogate() && i + 1 < n && run[i + 1].isLowSurrogate() ? 2 : 1;
        if (found == 0 || matches[0].length != single)
            offer(single, -1);
        for (int k = 0; k < found; ++k)
            offer(matches[k].length, matches[k].entry);
    }
    Cut out;
    out.score = best[size_t(n)].score;
    for (int j = n; j > 0; j -= best[size_t(j)].last)
        out.words.push_back(
            {j - best[size_t(j)].last, best[size_t(j)].last, best[size_t(j)].entry});
    std::reverse(out.words.begin(), out.words.end());
    return out;
}
