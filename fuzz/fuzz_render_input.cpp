// libFuzzer target for what parlo-render does with an input before it speaks
// it, for web pages and RTF: the bytes arrive as a file named on the command
// line or on standard input, are read under the file limits, turned into text
// and measured for the output estimate. The first byte picks the way in (a
// .html file, a .rtf file, or standard input) and, for the estimate, the
// markup switch; the rest is the input.

#include "document/DocumentReader.h"
#include "document/HtmlText.h"
#include "document/RtfText.h"
#include "render/JobRunner.h"
#include "render/OutputEstimate.h"
#include "render/RenderJobs.h"
#include "speech/TextSplitter.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sys/mman.h>
#include <unistd.h>

namespace
{

void check(bool condition)
{
    if (!condition)
        std::abort();
}

// A file that exists only in memory, holding `bytes`; -1 when it cannot be made.
int memoryFile(const QByteArray &bytes)
{
    const int fd = ::memfd_create("parlo-render-input", 0);
    if (fd < 0)
        return -1;
    if (::write(fd, bytes.constData(), size_t(bytes.size())) != bytes.size()
        || ::lseek(fd, 0, SEEK_SET) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const int way = data[0] % 3;
    const QByteArray bytes(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    // Only web pages and RTF here; a .html name is a web page whatever it
    // holds. The other formats have the document reader's own target.
    const bool rtf = RtfText::looksLikeRtf(bytes);
    if ((way == 0 && !rtf && !HtmlText::looksLikeHtml(bytes)) || (way == 2 && !rtf))
        return 0;

    QString text;
    if (way == 0) {
        const int fd = memoryFile(bytes);
        if (fd < 0)
            return 0;
        const StandardInput in = readStandardInput(fd);
        ::close(fd);
        check(in.error.isEmpty() ? in.bytes == bytes : in.bytes.isEmpty());
        if (!in.error.isEmpty())
            return 0;
        const Document::Result result
            = DocumentReader::extract(in.bytes, QStringLiteral("stdin"), Document::Limits());
        check(result.ok() || !result.detail.isEmpty());
        text = DocumentReader::withCrLf(result.text);
    } else {
        // Named as on the command line; TMPDIR keeps it off the disk.
        static const QString folder = QDir::tempPath();
        const QString path = QStringLiteral("%1/parlo-fuzz-render-%2.%3")
                                 .arg(folder)
                                 .arg(::getpid())
                                 .arg(way == 1 ? QStringLiteral("html") : QStringLiteral("rtf"));
        {
            QFile file(path);
            if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)
                || file.write(bytes) != bytes.size())
                return 0;
        }
        DocumentReader reader;
        check(reader.AllocHdl(1) == Document::Status::Ok);
        check(reader.OpenWfxKey(0, QStringLiteral("fuzz")) == Document::Status::Ok);
        if (reader.OpenFile(0, path) == Document::Status::Ok)
            text = reader.ReadBuf(0);
        else
            check(!reader.errorString().isEmpty() && reader.ReadBuf(0).isEmpty());
        QFile::remove(path);
    }

    (void)TextSplitter::isBlank(text, 0, int(text.size()));
    RenderSettings settings;
    settings.xml = (data[0] / 3) % 2 == 1;
    settings.srt = true;
    const OutputEstimate::Estimate estimate = OutputEstimate::of(text, settings);
    check(estimate.seconds >= 0 && estimate.bytes >= 0);
    check(!OutputEstimate::duration(estimate.seconds).isEmpty());
    return 0;
}
