#pragma once
// The chapter headings of a plain-text book. Such a file has no markup, so a
// heading is told by its words: a short line of its own that names a chapter
// the way Chinese and English books number them (第十二回, 第三節 山中,
// Chapter 7, CHAPTER XII, Chapter Seven: The Storm), or a front or back part
// by itself (序, 楔子, 後記). A sentence that merely begins like a heading
// ("第一章的內容很長，…", "Chapter 7 was the best") is prose, not a heading.

#include "document/DocumentResult.h"

#include <QList>
#include <QStringView>

namespace PlainChapters
{

// The heading lines of the text in order, each level 1, titled by the line
// without the white space around it and starting where that title starts.
// Any line end counts (LF, CR, CR LF, U+2028, U+2029). At most maxCount.
QList<Document::Chapter> find(QStringView text, qsizetype maxCount);

} // namespace PlainChapters
