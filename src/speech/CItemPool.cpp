#include "speech/CItemPool.h"

#include <cmath>

CItemPool::CItemPool()
    : m_Pages(1)
{
    m_Scratch.setMax(m_ElementN);
}

qint32 CItemPool::Count() const
{
    qint32 n = 0;
    for (const Page &page : m_Pages)
        n += qint32(page.size());
    return n;
}

void CItemPool::setElementN(qint16 n)
{
    m_ElementN = n;
    m_Scratch.setMax(n);
}

void CItemPool::setPoolLoca(qint32 value)
{
    m_PoolLoca = value;
    m_Base = value >= 1 ? (value - 1) * PageSize : 0;
}

void CItemPool::setPoolLocaIndex(qint32 position)
{
    m_PoolLoca = qint32(std::nearbyint(double(position) / PageSize)) + 1;
}

const CItemPool::Page *CItemPool::PoolUIs(qint32 page) const
{
    if (page < 1 || page > PoolN())
        return nullptr;
    return &m_Pages[size_t(page - 1)];
}

CItemUI *CItemPool::PoolItems(qint32 page, qint32 key) const
{
    const Page *p = PoolUIs(page);
    if (!p || key < 1 || size_t(key) > p->size())
        return nullptr;
    return (*p)[size_t(key - 1)].get();
}

CItemUI *CItemPool::ItemsEx(qint32 position) const
{
    return PoolItems(m_PoolLoca, position - m_Base);
}

CItemPool::Record CItemPool::Shared(qint32 position) const
{
    if (position < 1 || position > Count())
        return {};
    // Every page but the last is full, so the page follows from the position.
    const qint32 k = position - 1;
    return m_Pages[size_t(k / PageSize)][size_t(k % PageSize)];
}

CItemUI *CItemPool::Items(qint32 position) const
{
    return Shared(position).get();
}

CItemPool::Page &CItemPool::pageForAppend()
{
    if (m_Pages.back().size() >= size_t(PageSize))
        m_Pages.emplace_back();
    return m_Pages.back();
}

CItemUI *CItemPool::AppendItem()
{
    auto record = std::make_shared<CItemUI>();
    record->setMax(m_ElementN);
    pageForAppend().push_back(record);
    return record.get();
}

void CItemPool::AppendUI(Record record)
{
    if (record)
        pageForAppend().push_back(std::move(record));
}

void CItemPool::SwapUI(qint32 i, qint32 j)
{
    CItemUI *a = Items(i);
    CItemUI *b = Items(j);
    if (!a || !b || a == b)
        return;
    m_Scratch.Copy(*a);
    a->Copy(*b);
    b->Copy(m_Scratch);
}
