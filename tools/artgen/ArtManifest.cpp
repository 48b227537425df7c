#include "ArtManifest.h"

#include "ArtDraw.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QSaveFile>

namespace Art
{

const std::vector<Item> &manifest()
{
    static const std::vector<Item> items = [] {
        const int strip = 4 * ButtonSize;
        return std::vector<Item> {
            {QStringLiteral("Title/TitleTile.png"), TileWidth, BandHeight, 1, drawTitleTile},
            {QStringLiteral("Title/Logo.png"), LogoWidth, LogoHeight, 1, drawLogo},
            {QStringLiteral("Title/Company.png"), CompanyWidth, CompanyHeight, 1, drawCompany},
            {QStringLiteral("Buttons/Help_Manual.png"), ButtonSize, strip, 4, drawHelpManual},
            {QStringLiteral("Buttons/Help_Copyright.png"), ButtonSize, strip, 4, drawHelpCopyright},
            {QStringLiteral("Buttons/Help_Prompt.png"), ButtonSize, strip, 4, drawHelpPrompt},
            {QStringLiteral("Buttons/Help_Pronounce.png"), ButtonSize, strip, 4, drawHelpPronounce},
            {QStringLiteral("Buttons/ChangePicture.png"), ButtonSize, strip, 4, drawChangePicture},
            {QStringLiteral("Links/Link1.png"), CompanyWidth, CompanyHeight, 1, drawLink1},
            {QStringLiteral("Links/Link2.png"), LogoWidth, LogoHeight, 1, drawLink2},
        };
    }();
    return items;
}

QImage render(const Item &item, int scale)
{
    QImage image(item.width * scale, item.height * scale, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(scale, scale);
    const int frameHeight = item.height / item.frames;
    for (int k = 0; k < item.frames; ++k) {
        p.save();
        p.translate(0, k * frameHeight);
        p.setClipRect(QRect(0, 0, item.width, frameHeight));
        item.draw(p, item.frames > 1 ? k : 0);
        p.restore();
    }
    p.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

QString scaledPath(const QString &path, int scale)
{
    if (scale == 1)
        return path;
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    const QString suffix = QStringLiteral("@%1x").arg(scale);
    return dot < 0 ? path + suffix : path.left(dot) + suffix + path.mid(dot);
}

bool writeAll(const QString &folder, QString *error)
{
    const QDir root(folder);
    for (const Item &item : manifest()) {
        for (int scale : {1, 2}) {
            const QString file = root.filePath(scaledPath(item.path, scale));
            const QString dir = QFileInfo(file).absolutePath();
            if (!QDir().mkpath(dir)) {
                *error = QStringLiteral("cannot create folder %1").arg(dir);
                return false;
            }
            // Written whole or not at all, so a failed build never leaves a
            // truncated picture for the program to load.
            QSaveFile out(file);
            if (!out.open(QIODevice::WriteOnly) || !render(item, scale).save(&out, "PNG")
                || !out.commit()) {
                *error = QStringLiteral("cannot write %1: %2").arg(file, out.errorString());
                return false;
            }
        }
    }
    return true;
}

} // namespace Art
