#include "document/DocumentReader.h"

#include "document/HtmlText.h"
#include "document/PackageText.h"
#include "document/PdfText.h"
#include "document/PlainChapters.h"
#include "document/RtfText.h"
#include "document/TextDecoding.h"
#include "document/ZipArchive.h"

#include "system/FileName.h"
#include "system/Log.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using Document::Result;
using Document::Status;

namespace
{

bool isOneOf(const QString &suffix, std::initializer_list<QStringView> suffixes)
{
    for (const QStringView s : suffixes)
        if (suffix == s)
            return true;
    return false;
}

bool isLineEnd(char16_t c)
{
    return c == u'\r' || c == u'\n' || c == 0x2028 || c == 0x2029;
}

// Text order, one chapter per place. Of two at one place the first stays,
// the outer one of a nested table of contents, unless the later one is not
// nested in it: then the first spans no text (a cover page without words
// listed before chapter one) and the later one names what is read there.
void orderChapters(QList<Document::Chapter> &chapters, qsizetype textSize)
{
    for (Document::Chapter &c : chapters)
        c.offset = std::clamp<qsizetype>(c.offset, 0, textSize);
    std::stable_sort(chapters.begin(), chapters.end(),
        [](const Document::Chapter &a, const Document::Chapter &b) { return a.offset < b.offset; });
    QList<Document::Chapter> kept;
    kept.reserve(chapters.size());
    for (Document::Chapter &c : chapters) {
        if (!kept.isEmpty() && kept.back().offset == c.offset) {
            if (c.level <= kept.back().level)
                kept.back() = std::move(c);
            continue;
        }
        kept.append(std::move(c));
    }
    chapters = std::move(kept);
}

// The chapters' offsets in the text withCrLf() makes of `text`: each moves
// by the line ends before it that grow into two characters.
void shiftToCrLf(const QString &text, QList<Document::Chapter> &chapters)
{
    const char16_t *in = reinterpret_cast<const char16_t *>(text.constData());
    const qsizetype n = text.size();
    qsizetype grow = 0;
    qsizetype i = 0;
    for (Document::Chapter &c : chapters) { // in text order
        for (; i < std::min(c.offset, n); ++i) {
            if (in[i] == u'\r' && i + 1 < n && in[i + 1] == u'\n')
                ++i;
            else if (isLineEnd(in[i]))
                ++grow;
        }
        c.offset += grow;
    }
}

} // namespace

DocumentReader::DocumentReader(const Document::Limits &limits)
    : m_limits(limits)
{
}

Status DocumentReader::AllocHdl(int count)
{
    m_handles.clear();
    if (count < 1)
        return fail(Status::NoHandle, QStringLiteral("cannot allocate %1 handles").arg(count));
    m_handles.resize(size_t(count));
    m_error.clear();
    return Status::Ok;
}

Status DocumentReader::OpenWfxKey(int handle, const QString &key)
{
    if (handle < 0 || size_t(handle) >= m_handles.size())
        return fail(Status::NoHandle, QStringLiteral("handle %1 was not allocated").arg(handle));
    if (key.isEmpty())
        return fail(Status::NoHandle, QStringLiteral("handle %1 needs a key").arg(handle));
    m_handles[size_t(handle)] = {key, {}, {}};
    m_error.clear();
    return Status::Ok;
}

DocumentReader::Handle *DocumentReader::setUpHandle(int handle)
{
    if (handle < 0 || size_t(handle) >= m_handles.size() || m_handles[size_t(handle)].key.isEmpty())
        return nullptr;
    return &m_handles[size_t(handle)];
}

Status DocumentReader::OpenFile(int handle, const QString &path)
{
    Handle *slot = setUpHandle(handle);
    if (!slot)
        return fail(Status::NoHandle, QStringLiteral("handle %1 is not set up").arg(handle));
    slot->text.clear();
    slot->book = {};

    // By the file system's bytes of the name, so a name that is not UTF-8
    // opens too (see FileName).
    const QByteArray name = FileName::encode(path);
    struct stat st {
    };
    if (::stat(name.constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return fail(Status::CannotOpen, QStringLiteral("%1: no such file").arg(path), slot);
    if (st.st_size > m_limits.maxInputBytes)
        return fail(Status::TooLarge,
            QStringLiteral("%1: larger than %2 bytes").arg(path).arg(m_limits.maxInputBytes));
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
    QFile file;
    if (fd < 0 || !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        const QString why = QString::fromLocal8Bit(std::strerror(errno));
        if (fd >= 0)
            ::close(fd);
        return fail(Status::CannotOpen, QStringLiteral("%1: %2").arg(path, why), slot);
    }
    // As much as the file held a moment ago: bytes it gains meanwhile are not
    // read, so the limit holds.
    const QByteArray bytes = file.read(st.st_size);
    if (file.error() != QFileDevice::NoError)
        return fail(
            Status::CannotOpen, QStringLiteral("%1: %2").arg(path, file.errorString()), slot);

    Result result = extract(bytes, QFileInfo(path).fileName(), m_limits);
    if (!result.ok())
        return fail(result.status, QStringLiteral("%1: %2").arg(path, result.detail), slot);
    shiftToCrLf(result.text, result.book.chapters);
    slot->text = withCrLf(result.text);
    slot->book = std::move(result.book);
    m_error.clear();
    return Status::Ok;
}

QString DocumentReader::ReadBuf(int handle) const
{
    if (handle < 0 || size_t(handle) >= m_handles.size())
        return {};
    return m_handles[size_t(handle)].text;
}

const Document::Book &DocumentReader::book(int handle) const
{
    static const Document::Book none;
    if (handle < 0 || size_t(handle) >= m_handles.size())
        return none;
    return m_handles[size_t(handle)].book;
}

Status DocumentReader::fail(Status status, const QString &message, const Handle *handle)
{
    m_error = message;
    if (handle)
        qCInfo(lcDocument).noquote() << handle->key << message;
    else
        qCInfo(lcDocument).noquote() << message;
    return status;
}

Result DocumentReader::extract(
    const QByteArray &bytes, const QString &fileName, const Document::Limits &limits)
{
    Result result = extractAs(bytes, fileName, limits);
    orderChapters(result.book.chapters, result.text.size());
    // The extractors stop one past the limit, so that one tells there were more.
    if (result.book.chapters.size() > limits.maxChapters) {
        result.book.chapters.resize(std::max<qsizetype>(limits.maxChapters, 0));
        result.book.warnings.append(QStringLiteral("more than %1 chapters: the rest are not marked")
                                        .arg(limits.maxChapters));
    }
    return result;
}

Result DocumentReader::extractAs(
    const QByteArray &bytes, const QString &fileName, const Document::Limits &limits)
{
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (bytes.startsWith("%PDF-") || (suffix == u"pdf" && PdfText::looksLikePdf(bytes)))
        return PdfText::fromBytes(bytes, limits);
    if (ZipArchive::looksLikeZip(bytes))
        return PackageText::fromBytes(bytes, limits);
    // A name that promises a packaged format the bytes do not have is a
    // broken file, not text.
    if (isOneOf(suffix, {u"pdf", u"docx", u"docm", u"dotx", u"odt", u"ott", u"epub"}))
        return Result::failure(Status::Damaged, QStringLiteral("not a valid .%1 file").arg(suffix));
    if (RtfText::looksLikeRtf(bytes))
        return RtfText::fromBytes(bytes, limits);
    if (isOneOf(suffix, {u"html", u"htm", u"xhtml", u"xht"}) || HtmlText::looksLikeHtml(bytes))
        return HtmlText::fromBytes(bytes, limits);
    Result text = TextDecoding::decodeText(bytes);
    text.book.chapters = PlainChapters::find(text.text, limits.maxChapters + 1);
    return text;
}

bool DocumentReader::isBinary(const QByteArray &bytes, qsizetype from)
{
    // The formats extract() tells apart by their first bytes and that may
    // hold NULs of their own.
    if (bytes.startsWith("%PDF-") || ZipArchive::looksLikeZip(bytes) || RtfText::looksLikeRtf(bytes)
        || bytes.startsWith("\xEF\xBB\xBF") || bytes.startsWith("\xFF\xFE")
        || bytes.startsWith("\xFE\xFF"))
        return false;
    // UTF-16 without a byte-order mark is told by its first bytes; a stream
    // of it holds NULs all along.
    if (TextDecoding::utf16Order(
            QByteArrayView(bytes).first(std::min(bytes.size(), FormatHeadBytes))))
        return false;
    return QByteArrayView(bytes)
        .sliced(std::clamp<qsizetype>(from, 0, bytes.size()))
        .contains('\0');
}

QString DocumentReader::withCrLf(const QString &text)
{
    // Two passes over the code units: count what grows, then write once, so
    // a long text costs two scans and one allocation.
    const char16_t *in = reinterpret_cast<const char16_t *>(text.constData());
    const qsizetype n = text.size();
    qsizetype grow = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = in[i];
        if (c == u'\r' && i + 1 < n && in[i + 1] == u'\n')
            ++i;
        else if (c == u'\r' || c == u'\n' || c == 0x2028 || c == 0x2029)
            ++grow;
    }
    if (grow == 0)
        return text;
    QString out(n + grow, Qt::Uninitialized);
    char16_t *o = reinterpret_cast<char16_t *>(out.data());
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = in[i];
        if (c == u'\r' || c == u'\n' || c == 0x2028 || c == 0x2029) {
            if (c == u'\r' && i + 1 < n && in[i + 1] == u'\n')
                ++i;
            *o++ = u'\r';
            *o++ = u'\n';
        } else {
            *o++ = c;
        }
    }
    return out;
}
