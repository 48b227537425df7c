#pragma once
// One record of a sorted item collection: a small array of strings indexed
// 0 … Max. Records know nothing of what their fields mean; the collection's
// owner gives them meaning when it compares them.
//
// Out-of-range access is forgiving by design: reading gives an empty string
// and writing is ignored, so a table can be read without checking each
// record's size first.

#include <QString>
#include <QtGlobal>
#include <vector>

class CItemUI
{
public:
    // A fresh record has Max 0 but already holds the elements 0 and 1.
    CItemUI();

    qint16 Max() const { return m_Max; }
    // Resizes the array to the elements 0 … n, keeping those that stay. A
    // negative n is ignored.
    void setMax(qint16 n);

    // Element index, or an empty string when index is outside the array.
    QString GetVal(int index) const;
    // Sets element index; does nothing when index is outside the array.
    void SetVal(const QString &value, int index);

    // Copies elements 0 … Max of this record from source; elements the
    // source lacks become empty. Elements above this record's Max stay.
    void Copy(const CItemUI &source);

private:
    qint16 m_Max = 0;
    std::vector<QString> m_Elements;
};
