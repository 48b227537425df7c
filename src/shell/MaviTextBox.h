#pragma once
// The main window's Unicode text area. It is a plain-text editor whose
// contract is that of a classic multi-line text box: the text reads back with
// CR LF line ends, and selection offsets count UTF-16 code units of that CR LF
// text, so a line end counts two. The window, the reader's word highlighting
// and the search all speak in those offsets; this class maps them to the
// editor's own positions, where a line end counts one.
//
// The mapping rides on the document's block tree (a block is a line): the
// CR LF offset of a position is the position plus the number of line ends
// before it, found in logarithmic time, so highlighting a word in a
// million-character text costs no string building and no index to keep up
// to date.

#include <QColor>
#include <QPlainTextEdit>

class MaviTextBox : public QPlainTextEdit
{
    Q_OBJECT
public:
    // What the dispatch-31 operation switches, one bit each. Everything is on
    // until a caller says otherwise.
    enum EditFeature : qint32 {
        UndoRedo = 0x1, // keyboard and menu undo and redo
        FileDrops = 0x2, // a dropped file is announced through FilePath
        WordWrap = 0x4, // long lines wrap at the window's edge
        ContextMenu = 0x8, // the editor's right-click menu
        AllFeatures = UndoRedo | FileDrops | WordWrap | ContextMenu,
    };

    explicit MaviTextBox(QWidget *parent = nullptr);

    // The whole text with CR LF line ends.
    QString Text() const;
    // Replaces the document; CR LF, LF, lone CR and the Unicode line and
    // paragraph separators all end a line. Raises Change exactly once, before
    // returning, even when the text is the same.
    void setText(const QString &text);

    // The selection in CR LF offsets. setSelStart leaves a caret (length 0)
    // at the offset; setSelLength then extends from the start. Offsets are
    // clamped to the text; an offset between a CR and its LF means the end of
    // that line. A negative value (the settings' -1, "no stored position")
    // leaves the caret and the selection as they are.
    int SelStart() const;
    void setSelStart(int start);
    int SelLength() const;
    void setSelLength(int length);
    // The selected text, CR LF line ends.
    QString SelText() const;

    // The face the editor really draws with, which may be a substitute for
    // the requested one.
    QString FontName() const;
    // Changes only the face of the current font, keeping its size.
    void setFontName(const QString &family);

    QColor BackColor() const;
    void setBackColor(const QColor &colour);

    // The dispatch identifier that sets the enabled features, and the
    // classic mask callers pass to enable them all.
    static constexpr int DispidFeatures = 31;
    static constexpr qint32 EveryFeature = 65535;

    // DispidFeatures sets the enabled features from value (a mask of
    // EditFeature; EveryFeature enables all) and returns true. Other
    // identifiers do nothing and return false.
    bool Invoke(int dispid, qint32 value);
    qint32 features() const { return m_features; }

    // Offset conversions, exposed for callers that keep positions of their
    // own: CR LF offset <-> editor position, both clamped to the text.
    int toCrlfOffset(int position) const;
    int toPosition(int crlfOffset) const;
    // Length of Text() without building it.
    int crlfLength() const;

    // The first local file a drag carries, or an empty string.
    static QString droppedFile(const QMimeData *mime);

Q_SIGNALS:
    void Change();
    void FilePath(const QString &path);

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    // Pasted and dropped text has its line breaks made line ends.
    void insertFromMimeData(const QMimeData *source) override;

private:
    qint32 m_features = AllFeatures;
    bool m_settingText = false;
};
