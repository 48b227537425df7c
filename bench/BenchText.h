// The Traditional Chinese text the export benchmarks speak: one paragraph of
// everyday prose repeated to the length wanted.
#pragma once

#include <QString>

namespace BenchText
{

inline QString chinese(qsizetype length)
{
    const QString paragraph = QStringLiteral(
        "今天天氣很好，我們一起到公園散步。路邊的樹葉已經慢慢變黃，風吹過來的時候，"
        "沙沙作響。小朋友在草地上追逐，老人坐在長椅上聊天，偶爾有幾隻鴿子飛下來找東西吃。"
        "這樣平凡的午後，讓人覺得生活其實可以很簡單。回家的路上，我們經過一家老書店，"
        "店裡擺滿了各式各樣的舊書，有詩集、小說，也有歷史和地理的書籍。");
    QString text;
    text.reserve(length + paragraph.size());
    while (text.size() < length)
        text += paragraph;
    text.truncate(length);
    return text;
}

} // namespace BenchText
