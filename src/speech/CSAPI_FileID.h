#pragma once
// The phone table of the lip-sync picture: which mouth picture (2 … 13) shows
// each phone a voice reports. Phone codes run from 015 to 431, every code
// present; a voice's phone id is reduced to its code by its last three
// decimal digits, so 1015 and 15 are the same phone.
//
// The table lives in PhoneCodes, one record per code in ascending order:
// element 0 is the code as three digits ("015"), element 1 the mouth picture
// number without leading zeros ("2"). Those strings are what the picture
// lookup uses: the user's own picture is named after the code, the built-in
// one and the image-list key after the mouth number.

#include "speech/CItemCollection.h"

#include <QString>
#include <QtGlobal>

class CSAPI_FileID
{
public:
    static constexpr int FirstCode = 15;
    static constexpr int LastCode = 431;
    static constexpr int CodeCount = LastCode - FirstCode + 1;

    // Leaves PhoneCodes empty with two elements per record; LoadTBL fills it.
    CSAPI_FileID();

    // Replaces the contents of PhoneCodes with the fixed table.
    void LoadTBL();

    CItemCollection &PhoneCodes() { return m_PhoneCodes; }
    const CItemCollection &PhoneCodes() const { return m_PhoneCodes; }

    // The code of a phone id: its last three decimal digits written as three
    // digits (7 -> "007", 1015 -> "015"). Negative ids keep their sign.
    static QString CodeName(qint16 phoneId);

    // The mouth picture number of the record whose code is code, or an empty
    // string when no record has that code.
    QString MouthNumber(const QString &code) const;
    // The same for a phone id; empty for codes outside the table (000 … 014,
    // 432 … 999).
    QString MouthForPhone(qint16 phoneId) const { return MouthNumber(CodeName(phoneId)); }

private:
    CItemCollection m_PhoneCodes;
};
