#pragma once
// Read-only access to the members of a ZIP container (DOCX, ODT, EPUB) held
// in memory, with the unpacking budget of Document::Limits: the total bytes
// unpacked from one archive and the ratio of a member's unpacked to packed
// size are capped, so a zip bomb stops after a few megabytes.

#include "document/DocumentResult.h"

#include <QByteArray>
#include <QString>

struct zip;

class ZipArchive
{
public:
    explicit ZipArchive(const Document::Limits &limits);
    ~ZipArchive();
    ZipArchive(const ZipArchive &) = delete;
    ZipArchive &operator=(const ZipArchive &) = delete;

    // bytes must outlive the archive. Returns false for data that is not a
    // whole, consistent archive (a truncated download, for instance).
    bool open(const QByteArray &bytes, QString *error);

    bool contains(const QString &name) const;

    // The member's unpacked bytes. Damaged when it is missing or corrupt,
    // TooLarge when it breaks the unpacking budget.
    Document::Status read(const QString &name, QByteArray *out, QString *error);

    static bool looksLikeZip(const QByteArray &bytes) { return bytes.startsWith("PK\x03\x04"); }

private:
    const Document::Limits &m_limits;
    zip *m_zip = nullptr;
    qint64 m_unpacked = 0;
};
