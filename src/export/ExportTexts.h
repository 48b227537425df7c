// The texts shown by the export commands, kept in one place.
#pragma once

#include <QString>

namespace ExportTexts
{
inline const QString Title = QStringLiteral("轉檔已完成");
inline const QString Saved = QStringLiteral("檔案存檔完成！");
inline const QString Failed = QStringLiteral("檔案轉檔無法完成！");
inline const QString NoEncoder = QStringLiteral("Mp3 Component not install completed !");
inline const QString LineEnd = QStringLiteral("\r\n");
} // namespace ExportTexts
