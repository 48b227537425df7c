#include "document/XmlPart.h"

#include "document/ZipArchive.h"

#include <QDir>
#include <QUrl>

using Document::Result;
using Document::Status;

namespace XmlPart
{

Result read(ZipArchive &zip, const QString &name, QByteArray *bytes)
{
    QString error;
    const Status status = zip.read(name, bytes, &error);
    return status == Status::Ok ? Result::success({}) : Result::failure(status, error);
}

QString resolve(const QString &baseFolder, const QString &href)
{
    const QString path = QUrl::fromPercentEncoding(href.section(u'#', 0, 0).toUtf8());
    if (path.startsWith(u'/'))
        return QDir::cleanPath(path.mid(1));
    return QDir::cleanPath(baseFolder.isEmpty() ? path : baseFolder + u'/' + path);
}

QString fragmentOf(const QString &href)
{
    const qsizetype hash = href.indexOf(u'#');
    return hash < 0 ? QString() : QUrl::fromPercentEncoding(href.mid(hash + 1).toUtf8());
}

QString folderOf(const QString &partName)
{
    const qsizetype slash = partName.lastIndexOf(u'/');
    return slash < 0 ? QString() : partName.left(slash);
}

QString attribute(const QXmlStreamAttributes &attributes, QStringView localName)
{
    for (const QXmlStreamAttribute &a : attributes)
        if (a.name() == localName)
            return a.value().toString();
    return {};
}

} // namespace XmlPart
