#pragma once
// The readable text of an HTML or XHTML page: what a browser would show of the
// body, without scripts, styles or the head, entities decoded, one line per
// block element, and where its headings and its elements with ids start in
// that text. The scanner is forgiving the way browsers are, so broken markup
// still gives its text, and it keeps no element stack, so nesting depth costs
// nothing.

#include "document/DocumentResult.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringView>

namespace HtmlText
{

// What a page holds besides its text, with offsets into that text.
struct Page {
    QString text; // '\n' line ends
    QString title; // of <title>, white space collapsed
    QString author; // of <meta name="author">
    QList<Document::Chapter> headings; // h1 (level 1) and h2 (level 2) with text, in order
    // Where each element with an id (or an <a> with a name) starts, by that
    // id; the first element wins when ids repeat.
    QHash<QString, qsizetype> anchors;
};

// The text and structure of markup that is already decoded: at most
// maxHeadings headings, and the anchors of the ids in anchorIds, or of every
// id when it is null. A page can hold millions of either, each costing more
// than the bytes that make it.
Page parse(QStringView html, qsizetype maxHeadings, const QSet<QString> *anchorIds);

// The page's markup as a string: byte-order mark, declared charset, else
// detection. Fails as TextDecoding::decodeText does.
Document::Result decodeMarkup(const QByteArray &bytes);

// Decodes the page and extracts its text; the book holds the page's title,
// author and h1/h2 headings as chapters, one more than limits.maxChapters at
// most (so a caller can tell there were more).
Document::Result fromBytes(const QByteArray &bytes, const Document::Limits &limits);

// The text of markup that is already decoded; '\n' line ends.
QString fromMarkup(QStringView html);

// The character(s) an HTML named entity stands for ("nbsp" gives U+00A0);
// empty for a name HTML does not define or that this reader does not know.
QString namedEntity(QStringView name);

// True when the bytes begin like an HTML page (after white space and a BOM).
bool looksLikeHtml(const QByteArray &bytes);

} // namespace HtmlText
