#pragma once
// Typed access to one INI settings file. Every call opens the file, reads or
// rewrites it and closes it again, so a change made by hand while the program
// runs is seen by the next read, and no handle is ever held.
//
// The file format and the reading rules are those of the classic private
// profile functions: "[Section]" headers, "key=value" lines, section and key
// names matched without regard to case, spaces and tabs around names and
// values ignored, a value enclosed in matching single or double quotes read
// without them, lines starting with ";" ignored. Lines end in CR LF, LF or a
// lone CR. The file is UTF-8 (the program's code page); a leading byte-order
// mark is tolerated and kept. A file that starts with a UTF-16 byte-order
// mark, of either byte order, is read as UTF-16 and written back as such.
//
// Writing changes only the line of the key written: every other byte of the
// file (comments, blank lines, order, unknown sections, line ends) stays as it
// was. A missing key goes after the last non-blank line of its section; a
// missing section goes at the end of the file; a missing file is created (its
// folder is not). New lines use the file's own line end (that of its first
// line), "\r\n" for a new file; a last line without a line end gets one
// first. The new content is written to a temporary file
// beside the target and renamed over it, so a crash mid-write leaves either
// the old or the new file, never half of one (only a folder that takes no new
// files makes it write the file in place).

#include <QString>
#include <QtGlobal>
#include <functional>

class CIni
{
public:
    CIni() = default;
    explicit CIni(const QString &fileName)
        : m_FileName(fileName)
    {
    }

    QString FileName() const { return m_FileName; }
    void setFileName(const QString &path) { m_FileName = path; }

    // Each setter returns whether the value reached the file. On failure (the
    // file is read-only, its folder cannot be written, an existing file could
    // not be read back, a UTF-16 file holds bytes that are not UTF-16) the
    // file is left untouched and the write-failure handler runs once for
    // that value.
    bool SetSz(const QString &section, const QString &key, const QString &value);
    bool SetVal(const QString &section, const QString &key, qint16 value);
    bool SetLong(const QString &section, const QString &key, qint32 value);
    bool SetBOOL(const QString &section, const QString &key, bool value);

    // The value of the key, read as at most 254 UTF-8 bytes (never splitting a
    // character), cut at a NUL and without trailing spaces; def when the key,
    // section or file is missing or the value is empty.
    QString GetSz(const QString &section, const QString &key, const QString &def) const;

    // The leading number of the value ("75abc" -> 75, "abc" -> 0), rounded to
    // the nearest integer with halves to the even neighbour. def when the
    // value is missing or empty, and also when the number does not fit the
    // result type: such a value is treated as missing.
    qint16 GetVal(const QString &section, const QString &key, qint16 def) const;
    qint32 GetLong(const QString &section, const QString &key, qint32 def) const;

    // true only for the exact text "True" (case matters); def when missing.
    bool GetBOOL(const QString &section, const QString &key, bool def) const;

    // Called once for every value that could not be written. The settings
    // class has no user interface of its own; the window layer installs a
    // handler that shows the error box. An empty handler makes failures silent.
    using WriteFailureHandler = std::function<void()>;
    static void setWriteFailureHandler(WriteFailureHandler handler);

    // The text shown to the user when a value could not be written.
    static QString writeFailureText();

    // Files larger than this are not parsed: reads give defaults and writes
    // fail rather than rewrite a file that could not be taken in whole.
    static constexpr qint64 MaxFileSize = 256LL * 1024 * 1024;

private:
    QString m_FileName;
};

// Parses a text as the leading number of a value (see GetVal). Returns false
// when the text has no leading number (value is then 0). Exposed for callers
// that convert registry texts the same way.
bool parseLeadingNumber(const QString &text, double *value);

// Colours are red + 256 * green + 65536 * blue, kept in section "RGB" as
// "R,G,B".
//
// SaveColour writes the three low bytes of colour as decimal text.
bool SaveColour(CIni &ini, const QString &key, qint32 colour);

// ParseColour reads GetSz("RGB", key, defaultText) and splits it at ",".
// With fewer than three parts the result is fallback. Otherwise the first
// three parts are red, green and blue; a part above 255 counts as 255 and
// later parts are ignored. A part that is not a whole number (after trimming
// spaces; a fraction rounds with halves to even), is negative or does not fit
// 16 bits makes this colour black (0): only the colour of this key is
// affected, every other key is read on its own.
qint32 ParseColour(
    const CIni &ini, const QString &key, const QString &defaultText, qint32 fallback);
