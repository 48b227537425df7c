// libFuzzer target for the document reader. The first byte picks the file
// name the bytes are offered under, so one corpus reaches the text, web page,
// RTF and ZIP-packaged readers; the rest is the file.
//
// PDF input is left out: it is parsed in a child process (see IsolatedRun),
// which a fork per input would make slow, and poppler has its own fuzzers.

#include "document/DocumentReader.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <iterator>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    static const char *const names[] = {"a.txt", "a.html", "a.rtf", "a.docx", "a.odt", "a.epub"};
    const QString name = QString::fromLatin1(names[data[0] % std::size(names)]);
    const QByteArray bytes(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    if (bytes.left(1024).contains("%PDF-"))
        return 0;

    Document::Limits limits;
    limits.maxUnpackedBytes = qint64(32) << 20;
    const Document::Result result = DocumentReader::extract(bytes, name, limits);
    if (result.ok())
        (void)DocumentReader::withCrLf(result.text);
    return 0;
}
