#include "speech/PronunciationList.h"

#include "speech/MappedText.h"
#include "system/AppPaths.h"
#include "system/Log.h"
#include "system/SafeFile.h"

#include <QFile>
#include <algorithm>
#include <memory>
#include <mutex>
#include <sys/stat.h>

namespace
{
const QString FileName = QStringLiteral("Parlo_UserDefine.txt");

// Letters and digits that make up words separated by spaces; a written form
// that starts or ends with one must not continue a longer such word.
bool isWordUnit(QChar c)
{
    if (c.isNumber())
        return true;
    if (!c.isLetter())
        return false;
    const QChar::Script s = c.script();
    return s == QChar::Script_Latin || s == QChar::Script_Greek || s == QChar::Script_Cyrillic;
}

// What applyCurrent() uses: the list last read and what the file looked like then.
struct Current {
    std::mutex mutex;
    QString path;
    bool existed = false;
    qint64 modifiedNs = 0;
    qint64 size = -1;
    std::shared_ptr<const PronunciationList> list = std::make_shared<PronunciationList>();
};

Current &currentFile()
{
    static Current c;
    return c;
}
} // namespace

PronunciationList::PronunciationList(const QList<Entry> &entries)
    : m_entries(entries)
{
    for (int i = 0; i < m_entries.size(); ++i) {
        const QString &written = m_entries[i].written;
        if (written.isEmpty())
            continue;
        m_byWritten.insert(written.toCaseFolded(), i); // a later entry wins
        QList<int> &lengths = m_lengthsByFirst[written.front().toCaseFolded().unicode()];
        if (!lengths.contains(int(written.size())))
            lengths.append(int(written.size()));
    }
    for (auto &[first, lengths] : m_lengthsByFirst)
        std::sort(lengths.begin(), lengths.end(), std::greater<>());
}

QList<PronunciationList::Entry> PronunciationList::parse(const QByteArray &data)
{
    QList<Entry> entries;
    QString text = QString::fromUtf8(data);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (QString line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.startsWith(QLatin1Char('#')))
            continue;
        const qsizetype tab = line.indexOf(QLatin1Char('\t'));
        if (tab <= 0)
            continue;
        Entry e {line.left(tab).trimmed(), line.mid(tab + 1).trimmed()};
        if (e.written.isEmpty())
            continue;
        const auto same = std::find_if(entries.begin(), entries.end(),
            [&](const Entry &o) { return o.written.compare(e.written, Qt::CaseInsensitive) == 0; });
        if (same != entries.end())
            *same = e;
        else
            entries.append(e);
    }
    return entries;
}

QByteArray PronunciationList::serialize(const QList<Entry> &entries)
{
    QByteArray out = "# Parlo: written form<TAB>spoken form\n";
    for (const Entry &e : entries) {
        // A tab or line break inside a form would split the entry.
        auto clean = [](QString s) {
            s.replace(QLatin1Char('\t'), QLatin1Char(' '));
            s.replace(QLatin1Char('\r'), QLatin1Char(' '));
            s.replace(QLatin1Char('\n'), QLatin1Char(' '));
            return s.trimmed();
        };
        const QString written = clean(e.written);
        if (written.isEmpty())
            continue;
        out += written.toUtf8() + '\t' + clean(e.spoken).toUtf8() + '\n';
    }
    return out;
}

bool PronunciationList::load(const QString &path, QList<Entry> *entries)
{
    entries->clear();
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    *entries = parse(f.readAll());
    return true;
}

bool PronunciationList::save(const QString &path, const QList<Entry> &entries)
{
    const QString failure = SafeFile::replace(path, serialize(entries));
    if (!failure.isEmpty())
        qCWarning(lcSettings) << "cannot write the pronunciation list" << path << failure;
    return failure.isEmpty();
}

QString PronunciationList::defaultFile()
{
    return AppPaths::settingsFolder() + QLatin1Char('/') + FileName;
}

int PronunciationList::matchAt(const QString &text, int at) const
{
    const auto lengths = m_lengthsByFirst.find(text.at(at).toCaseFolded().unicode());
    if (lengths == m_lengthsByFirst.end())
        return -1;
    for (int length : lengths->second) {
        const int end = at + length;
        if (end > text.size())
            continue;
        const int index = m_byWritten.value(text.mid(at, length).toCaseFolded(), -1);
        if (index < 0)
            continue;
        const QString &written = m_entries[index].written;
        if (isWordUnit(written.front()) && at > 0 && isWordUnit(text.at(at - 1)))
            continue;
        if (isWordUnit(written.back()) && end < text.size() && isWordUnit(text.at(end)))
            continue;
        return index;
    }
    return -1;
}

void PronunciationList::apply(QString &text, QVector<int> &map) const
{
    if (isEmpty() || text.isEmpty() || map.size() != text.size() + 1)
        return;
    QString out;
    QVector<int> outMap;
    bool changed = false;
    for (int i = 0; i < text.size();) {
        const int index = matchAt(text, i);
        if (index < 0) {
            out += text.at(i);
            outMap.append(map.at(i));
            ++i;
            continue;
        }
        changed = true;
        const QString &spoken = m_entries[index].spoken;
        const int n = int(m_entries[index].written.size());
        const int m = int(spoken.size());
        for (int j = 0; j < m; ++j) {
            // Spread the spoken units over the written ones, every unit
            // inside the written form and never on the second half of a pair.
            int k = std::min((j * n + m - 1) / m, n - 1);
            if (k > 0 && text.at(i + k).isLowSurrogate())
                --k;
            out += spoken.at(j);
            outMap.append(map.at(i + k));
        }
        i += n;
    }
    if (!changed)
        return;
    outMap.append(map.last());
    text = std::move(out);
    map = std::move(outMap);
}

void PronunciationList::apply(MappedText &text) const
{
    if (isEmpty() || text.text.isEmpty())
        return;
    MappedText out;
    bool changed = false;
    for (int i = 0; i < text.size();) {
        const int index = matchAt(text.text, i);
        if (index < 0) {
            out.appendUnits(text, i, i + 1);
            ++i;
            continue;
        }
        changed = true;
        const int n = int(m_entries[index].written.size());
        out.appendGenerated(m_entries[index].spoken, text.from[i], text.to[i + n - 1]);
        i += n;
    }
    if (changed)
        text = std::move(out);
}

void PronunciationList::applyCurrent(QString &text, QVector<int> &map)
{
    current()->apply(text, map);
}

void PronunciationList::applyCurrent(MappedText &text)
{
    current()->apply(text);
}

std::shared_ptr<const PronunciationList> PronunciationList::current()
{
    Current &c = currentFile();
    std::shared_ptr<const PronunciationList> list;
    {
        std::lock_guard lock(c.mutex);
        const QString path = defaultFile();
        // stat() itself: this runs for every piece spoken, and QFileInfo's
        // local-time dates cost many times more.
        struct stat st {
        };
        const bool exists = ::stat(QFile::encodeName(path).constData(), &st) == 0;
        const qint64 modifiedNs
            = exists ? qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec : 0;
        const qint64 size = exists ? qint64(st.st_size) : -1;
        if (path != c.path || exists != c.existed || modifiedNs != c.modifiedNs || size != c.size) {
            QList<Entry> entries;
            if (exists && !load(path, &entries))
                qCWarning(lcSettings) << "cannot read the pronunciation list" << path;
            c.list = std::make_shared<const PronunciationList>(entries);
            c.path = path;
            c.existed = exists;
            c.modifiedNs = modifiedNs;
            c.size = size;
        }
        list = c.list;
    }
    return list;
}
