#include "speech/CItemUI.h"

CItemUI::CItemUI()
    : m_Elements(2)
{
}

void CItemUI::setMax(qint16 n)
{
    if (n < 0)
        return;
    m_Max = n;
    m_Elements.resize(size_t(n) + 1);
}

QString CItemUI::GetVal(int index) const
{
    if (index < 0 || size_t(index) >= m_Elements.size())
        return QString();
    return m_Elements[size_t(index)];
}

void CItemUI::SetVal(const QString &value, int index)
{
    if (index < 0 || size_t(index) >= m_Elements.size())
        return;
    m_Elements[size_t(index)] = value;
}

void CItemUI::Copy(const CItemUI &source)
{
    if (&source == this)
        return;
    for (int i = 0; i <= m_Max; ++i)
        SetVal(source.GetVal(i), i);
}
