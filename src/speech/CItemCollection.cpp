#include "speech/CItemCollection.h"

#include <QRandomGenerator>
#include <algorithm>
#include <cmath>

namespace
{

// Nearest integer, halves to the even neighbour.
qint32 roundEven(double value)
{
    return qint32(std::nearbyint(value));
}

} // namespace

CItemCollection::CItemCollection()
{
    setRandomSource({});
}

void CItemCollection::setRandomSource(RandomSource source)
{
    if (source)
        m_Random = std::move(source);
    else
        m_Random = [] { return QRandomGenerator::global()->generateDouble(); };
}

CItemUI *CItemCollection::AppendItem()
{
    CItemUI *record = m_Pool.AppendItem();
    record->SetVal(QString(), m_Pool.ElementN());
    return record;
}

void CItemCollection::AppendUI(CItemPool::Record record)
{
    if (!record)
        return;
    record->SetVal(QString(), m_Pool.ElementN());
    m_Pool.AppendUI(std::move(record));
}

void CItemCollection::Clear()
{
    const qint16 elements = m_Pool.ElementN();
    Remove(1, Count());
    m_Pool.setElementN(elements);
}

void CItemCollection::Remove(qint32 position, qint32 count)
{
    Backup(position);
    Restore(position, count);
}

void CItemCollection::Backup(qint32 position)
{
    if (position < 0 || position > Count())
        return;
    CItemPool fresh;
    fresh.setElementN(m_Pool.ElementN());
    m_Backup = std::move(m_Pool);
    m_Pool = std::move(fresh);
    // Records are read by absolute position, so this works on every page.
    for (qint32 k = 1; k < position; ++k)
        m_Pool.AppendUI(m_Backup->Shared(k));
}

void CItemCollection::Restore(qint32 position, qint32 count)
{
    if (position == -1 || !m_Backup || position > m_Backup->Count())
        return;
    m_Backup->setPoolLocaIndex(position + count);
    const qint32 last = m_Backup->Count();
    for (qint32 k = std::max(position + count, 1); k <= last; ++k)
        m_Pool.AppendUI(m_Backup->Shared(k));
    m_Backup.reset();
}

qint16 CItemCollection::compareItems(qint32 index1, qint32 index2)
{
    qint16 result = 0;
    if (m_CompareItems)
        m_CompareItems(index1, index2, result);
    return result;
}

qint16 CItemCollection::compareKey(QVariant &key, qint32 index)
{
    qint16 result = 0;
    if (m_CompareKey)
        m_CompareKey(key, index, result);
    return result;
}

void CItemCollection::QSort()
{
    sortRange(0, Count() - 1);
}

// Quicksort over 0-based positions; comparisons and swaps go to the 1-based
// records. The smaller side is sorted first by recursion, the larger one by
// the loop, which keeps the comparison order and bounds the stack depth.
void CItemCollection::sortRange(qint32 lo, qint32 hi)
{
    while (lo < hi) {
        if (hi - lo == 1) {
            if (compareItems(lo + 1, hi + 1) >= 1)
                m_Pool.SwapUI(lo + 1, hi + 1);
            return;
        }
        const qint32 i = partition(lo, hi);
        if (i - lo >= hi - i) {
            sortRange(i + 1, hi);
            hi = i - 1;
        } else {
            sortRange(lo, i - 1);
            lo = i + 1;
        }
    }
}

// Moves a pseudo-randomly chosen pivot to hi, partitions lo … hi around it
// and returns the pivot's final place. Records equal to the pivot stay on the
// side where they are met.
qint32 CItemCollection::partition(qint32 lo, qint32 hi)
{
    const qint32 r = std::clamp(lo + roundEven(m_Random() * double(hi - lo + 1)), lo, hi);
    if (r != hi)
        m_Pool.SwapUI(r + 1, hi + 1);

    qint32 i = lo;
    qint32 j = hi;
    while (i < j) {
        if (compareItems(i + 1, hi + 1) > 0) {
            while (i < j && compareItems(j + 1, hi + 1) >= 0)
                --j;
            if (i == j)
                break;
            m_Pool.SwapUI(i + 1, j + 1);
        } else {
            ++i;
        }
    }
    if (i != hi)
        m_Pool.SwapUI(i + 1, hi + 1);
    return i;
}

qint32 CItemCollection::BSearch(QVariant key)
{
    qint32 lo = 0;
    qint32 hi = Count() - 1;
    while (lo <= hi) {
        const qint32 mid = roundEven((double(lo) + hi) / 2);
        const qint16 result = compareKey(key, mid + 1);
        if (result == 0)
            return mid;
        if (result < 0)
            hi = mid - 1;
        else
            lo = mid + 1;
    }
    return -1;
}

void CItemCollection::RemoveDuplicate()
{
    const qint32 n = Count();
    qint32 i = 1;
    while (i <= n && i + 1 <= Count()) {
        if (compareItems(i, i + 1) == 0)
            Remove(i + 1, 1);
        else
            ++i;
    }
}
