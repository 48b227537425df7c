#include "shell/AppSort.h"

#include <utility>

namespace AppSort
{

QList<int> SortIndex(const QStringList &list, bool ignoreCase)
{
    const int n = int(list.size());
    QList<int> idx(n);
    for (int i = 0; i < n; ++i)
        idx[i] = i;
    if (n < 2)
        return idx;

    // Lower-casing once up front instead of at every comparison: a font list
    // has hundreds of names and the passes compare each many times.
    QStringList keys;
    const QStringList *cmp = &list;
    if (ignoreCase) {
        keys.reserve(n);
        for (const QString &s : list)
            keys.append(s.toLower());
        cmp = &keys;
    }
    const QStringList &key = *cmp;

    // A gap sort: bubble passes over elements gap apart, each pass ending
    // where the previous one last swapped, with the gap halving down to 1.
    // Positions i below are 1-based so the bounds read as in the classic form.
    auto at = [&idx](int i) -> int & { return idx[i - 1]; };
    for (int gap = n / 2; gap > 0; gap /= 2) {
        int limit = n - gap;
        int last;
        do {
            last = 0;
            for (int i = 1; i <= limit; ++i) {
                const QString &a = key.at(at(i));
                const QString &b = key.at(at(i + gap));
                if (QString::compare(a, b, Qt::CaseSensitive) > 0) {
                    std::swap(at(i), at(i + gap));
                    last = i;
                }
            }
            limit = last - gap;
        } while (last != 0);
    }
    return idx;
}

} // namespace AppSort
