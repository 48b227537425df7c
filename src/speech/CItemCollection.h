#pragma once
// A paged collection of string records that its owner can sort, search and
// thin out without the collection knowing what the fields mean: every
// comparison is asked of the owner through one of two handlers.
//
//   CompareItems(index1, index2, result): set result negative, zero or
//       positive as record index1 sorts before, equal to or after record
//       index2 (1-based positions).
//   CompareKey(key, index, result): the same for a search key against
//       record index.
//
// result starts at 0, so a handler that leaves it alone (or no handler at
// all) means "equal". Handlers run synchronously, in the order the algorithms
// below make their comparisons, and must not change the collection.
//
// Removal is done by rebuilding: the current store is set aside as a backup,
// a new store takes the records before the removed range, and then those
// after it. The records themselves are the same objects throughout.

#include "speech/CItemPool.h"

#include <QVariant>
#include <functional>
#include <optional>

class CItemCollection
{
public:
    using CompareItemsHandler = std::function<void(qint32 index1, qint32 index2, qint16 &result)>;
    using CompareKeyHandler = std::function<void(QVariant &key, qint32 index, qint16 &result)>;
    // A number in [0, 1), for the sort's choice of pivot.
    using RandomSource = std::function<double()>;

    CItemCollection();

    void setCompareItems(CompareItemsHandler handler) { m_CompareItems = std::move(handler); }
    void setCompareKey(CompareKeyHandler handler) { m_CompareKey = std::move(handler); }
    // Replaces the pivot source (by default the global random generator).
    void setRandomSource(RandomSource source);

    qint16 ElementN() const { return m_Pool.ElementN(); }
    void setElementN(qint16 n) { m_Pool.setElementN(n); }
    qint32 PoolN() const { return m_Pool.PoolN(); }
    qint32 Count() const { return m_Pool.Count(); }

    void setPoolLoca(qint32 value) { m_Pool.setPoolLoca(value); }
    const CItemPool::Page *PoolUIs(qint32 page) const { return m_Pool.PoolUIs(page); }
    CItemUI *PoolItems(qint32 page, qint32 key) const { return m_Pool.PoolItems(page, key); }
    CItemUI *ItemsEx(qint32 position) const { return m_Pool.ItemsEx(position); }
    // Record position (1 … Count), or nullptr outside that range.
    CItemUI *Items(qint32 position) const { return m_Pool.Items(position); }

    // Appends a new record with Max = ElementN and returns it.
    CItemUI *AppendItem();
    // Appends the record object itself and empties its element ElementN.
    void AppendUI(CItemPool::Record record);

    void Clear();
    // Drops the records position … position + count − 1. Does nothing when
    // position is below 1 or beyond Count.
    void Remove(qint32 position, qint32 count);
    // Sets the current store aside and starts a new one holding records
    // 1 … position − 1. Does nothing unless 0 ≤ position ≤ Count.
    void Backup(qint32 position);
    // Appends the set-aside records position + count … to the current store
    // and drops the backup. Does nothing for position −1, without a backup, or
    // when position is beyond the backup's Count (the backup is then kept).
    void Restore(qint32 position, qint32 count);
    bool HasBackup() const { return m_Backup.has_value(); }

    // Sorts all records in the owner's order (not stable).
    void QSort();
    // The 0-based position of a record the owner finds equal to key, or −1.
    // The collection must be sorted in the order the owner's comparisons define.
    qint32 BSearch(QVariant key);
    // Removes every record the owner finds equal to the record before it, so a
    // sorted collection keeps the first record of each run of equal ones.
    void RemoveDuplicate();

private:
    qint16 compareItems(qint32 index1, qint32 index2);
    qint16 compareKey(QVariant &key, qint32 index);
    void sortRange(qint32 lo, qint32 hi);
    qint32 partition(qint32 lo, qint32 hi);

    CItemPool m_Pool;
    std::optional<CItemPool> m_Backup;
    CompareItemsHandler m_CompareItems;
    CompareKeyHandler m_CompareKey;
    RandomSource m_Random;
};
