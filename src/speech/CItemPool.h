#pragma once
// The paged store behind a sorted item collection. Records are kept in
// append order on pages of at most PageSize records; a new page is opened
// only when the last one is full, so appending never moves a record and every
// page but the last is full. Positions are 1-based across all pages.
//
// Records are shared objects: a record appended with AppendUI is the very
// object the caller holds, and a store rebuilt from another one (as the
// collection does when it removes records) holds the same objects again.
//
// Besides plain positional access the store keeps a current page (PoolLoca)
// with its base position, for ItemsEx. PoolLocaIndex picks the current page
// from a position by rounding and leaves the base alone, so ItemsEx after it
// is only meaningful on the first page.

#include "speech/CItemUI.h"

#include <QtGlobal>
#include <memory>
#include <vector>

class CItemPool
{
public:
    using Record = std::shared_ptr<CItemUI>;
    using Page = std::vector<Record>;

    static constexpr qint32 PageSize = 500;

    CItemPool();

    qint32 PoolN() const { return qint32(m_Pages.size()); }
    qint32 Count() const;

    // The Max every new record gets (1 in a new store).
    qint16 ElementN() const { return m_ElementN; }
    void setElementN(qint16 n);

    qint32 PoolLoca() const { return m_PoolLoca; }
    qint32 Base() const { return m_Base; }
    // Makes page value current; the base follows (0 for a value below 1).
    void setPoolLoca(qint32 value);
    // Current page = position / PageSize rounded half to even, plus 1. The
    // base is left as it was.
    void setPoolLocaIndex(qint32 position);

    // Page page (1-based), or nullptr when there is no such page.
    const Page *PoolUIs(qint32 page) const;
    // Record key (1-based) of page page, or nullptr when there is none.
    CItemUI *PoolItems(qint32 page, qint32 key) const;
    // Record position − base of the current page, or nullptr when there is none.
    CItemUI *ItemsEx(qint32 position) const;
    // Record position (1 … Count), or nullptr outside that range.
    CItemUI *Items(qint32 position) const;
    // The shared record at position, or an empty pointer outside 1 … Count.
    Record Shared(qint32 position) const;

    // Appends a new record with Max = ElementN and returns it.
    CItemUI *AppendItem();
    // Appends the record object itself (not a copy); an empty pointer is ignored.
    void AppendUI(Record record);

    // Swaps the contents of records i and j through the scratch record; the
    // record objects stay where they are. Positions outside 1 … Count are ignored.
    void SwapUI(qint32 i, qint32 j);

private:
    Page &pageForAppend();

    std::vector<Page> m_Pages;
    qint32 m_PoolLoca = 1;
    qint32 m_Base = 0;
    qint16 m_ElementN = 1;
    CItemUI m_Scratch;
};
