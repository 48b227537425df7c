#pragma once
// Collects the text of a marked-up document line by line. The extractors say
// what the markup means (a paragraph ended, a forced break, a run of text);
// this class keeps the line ends and spacing consistent between formats.
// Lines end in '\n' here; the reader turns them into CR LF at the end.

#include <QList>
#include <QString>
#include <QStringView>

class TextBuilder
{
public:
    // Text taken as it is, spaces and all.
    void addText(QStringView text);
    // Text laid out the way a browser does: a run of white space is one space,
    // and none at the start of a line.
    void addFlowing(QStringView text);
    void addChar(QChar c) { addText(QStringView(&c, 1)); }

    // Ends the line, making an empty one if the line had nothing.
    void lineBreak();
    // Ends the line unless it is still empty, so nested blocks give no
    // blank lines.
    void endBlock();

    bool lineEmpty() const { return m_text.isEmpty() || m_text.back() == u'\n'; }
    qsizetype size() const { return m_text.size(); }

    // Where text added next will start (past the space a flowing run still
    // owes the line). Only meaningful as an argument to take().
    qsizetype position() const { return m_text.size() + (m_pendingSpace && !lineEmpty() ? 1 : 0); }

    // The text with spaces at line ends and blank lines at both ends removed.
    // Each of `positions`, when given, is moved to the same place in that
    // text: where the text that followed it starts, so one left at a line's
    // end moves to the start of the next line that has text.
    QString take(QList<qsizetype> *positions = nullptr);

private:
    QString m_text;
    bool m_pendingSpace = false;
};
