#include "speech/CSAPI_FileID.h"

#include <array>
#include <cstdint>

namespace
{

constexpr int CodeElement = 0;
constexpr int MouthElement = 1;
constexpr qint16 ElementsPerRecord = 2;

// Mouth picture number of every code from FirstCode on, ten codes a row; the
// comment names the row's first code.
constexpr std::array<std::uint8_t, CSAPI_FileID::CodeCount> Mouths = {
    2, 10, 2, 2, 5, 2, 10, 6, 11, 5, // 015
    11, 11, 3, 8, 5, 2, 6, 2, 6, 2, // 025
    3, 2, 6, 6, 11, 2, 6, 6, 3, 2, // 035
    2, 6, 2, 3, 6, 6, 2, 7, 2, 3, // 045
    3, 4, 5, 2, 11, 3, 3, 4, 3, 3, // 055
    3, 2, 11, 9, 3, 2, 11, 6, 10, 3, // 065
    6, 6, 11, 8, 4, 6, 9, 2, 6, 6, // 075
    3, 3, 3, 3, 2, 2, 2, 3, 2, 6, // 085
    7, 2, 2, 2, 11, 6, 7, 3, 3, 2, // 095
    3, 2, 11, 3, 2, 2, 11, 11, 6, 3, // 105
    3, 3, 3, 2, 2, 2, 2, 7, 4, 3, // 115
    10, 11, 11, 2, 2, 11, 6, 11, 2, 3, // 125
    3, 3, 2, 11, 2, 2, 2, 2, 3, 4, // 135
    2, 6, 2, 2, 6, 4, 12, 3, 3, 3, // 145
    2, 3, 3, 2, 11, 6, 2, 2, 6, 6, // 155
    3, 3, 3, 3, 3, 2, 11, 2, 11, 11, // 165
    3, 11, 2, 10, 6, 2, 2, 6, 11, 6, // 175
    7, 2, 6, 2, 3, 11, 5, 7, 3, 3, // 185
    3, 3, 3, 2, 3, 3, 2, 3, 2, 10, // 195
    10, 11, 2, 6, 6, 11, 2, 4, 10, 3, // 205
    6, 10, 13, 11, 2, 11, 3, 2, 11, 10, // 215
    11, 2, 2, 10, 10, 3, 4, 11, 11, 11, // 225
    6, 7, 12, 3, 3, 3, 3, 11, 3, 2, // 235
    12, 3, 3, 2, 10, 2, 5, 3, 6, 8, // 245
    3, 4, 11, 2, 11, 7, 8, 3, 3, 3, // 255
    4, 2, 6, 5, 2, 6, 4, 8, 3, 3, // 265
    12, 3, 2, 8, 9, 2, 3, 13, 5, 6, // 275
    12, 3, 3, 3, 2, 11, 11, 3, 2, 6, // 285
    6, 11, 2, 11, 11, 3, 2, 11, 6, 11, // 295
    2, 12, 6, 6, 3, 8, 3, 12, 2, 11, // 305
    11, 2, 11, 11, 3, 7, 3, 2, 13, 11, // 315
    11, 7, 3, 11, 10, 11, 10, 3, 8, 6, // 325
    2, 4, 6, 3, 11, 7, 3, 2, 12, 2, // 335
    11, 3, 3, 2, 10, 10, 2, 11, 10, 3, // 345
    2, 3, 4, 2, 6, 4, 11, 10, 7, 11, // 355
    3, 3, 3, 2, 3, 3, 2, 11, 11, 2, // 365
    10, 4, 4, 12, 3, 3, 2, 12, 3, 2, // 375
    12, 2, 6, 6, 11, 2, 2, 6, 6, 3, // 385
    2, 6, 3, 2, 2, 11, 8, 11, 3, 12, // 395
    2, 2, 12, 2, 11, 2, 2, 11, 11, 2, // 405
    5, 11, 3, 3, 11, 11, 3, 2, 11, 7, // 415
    6, 2, 2, 3, 2, 2, 3, // 425
};

QString threeDigits(int value)
{
    return QStringLiteral("%1").arg(value, 3, 10, QLatin1Char('0'));
}

} // namespace

CSAPI_FileID::CSAPI_FileID()
{
    m_PhoneCodes.setElementN(ElementsPerRecord);
}

void CSAPI_FileID::LoadTBL()
{
    m_PhoneCodes.Clear();
    for (int k = 0; k < CodeCount; ++k) {
        CItemUI *record = m_PhoneCodes.AppendItem();
        record->SetVal(threeDigits(FirstCode + k), CodeElement);
        record->SetVal(QString::number(Mouths[size_t(k)]), MouthElement);
    }
}

QString CSAPI_FileID::CodeName(qint16 phoneId)
{
    const QString text = QString::number(phoneId);
    const int code = text.right(3).toInt();
    if (code < 0)
        return QLatin1Char('-') + threeDigits(-code);
    return threeDigits(code);
}

QString CSAPI_FileID::MouthNumber(const QString &code) const
{
    for (qint32 k = 1, n = m_PhoneCodes.Count(); k <= n; ++k) {
        const CItemUI *record = m_PhoneCodes.Items(k);
        if (record->GetVal(CodeElement) == code)
            return record->GetVal(MouthElement);
    }
    return QString();
}
