// rolegen: draws the two role faces at build time.
//   rolegen <Images folder> <source file>
//       writes Roles/Default/<Male|Female>/mic_mouth_<2..13>.bmp below the
//       Images folder, and the C++ source that builds every image-list
//       picture into the program (PNG bytes under their keys)
//   rolegen --sheets <folder>
//       writes pictures of the faces for the documentation: both resting
//       faces at 1x and 2x, and every eye and mouth of each role

#include "RoleArt.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QSaveFile>
#include <QTextStream>

namespace
{

using RoleArt::Role;

const Role kRoles[] = {Role::Male, Role::Female};

QStringList imageListKeys()
{
    QStringList keys {QStringLiteral("Full"), QStringLiteral("Closed"), QStringLiteral("Narrow")};
    for (int n = RoleArt::FirstMouth; n <= RoleArt::LastMouth; ++n)
        keys << QStringLiteral("M%1").arg(n);
    return keys;
}

bool save(const QString &path, const QByteArray &bytes, QString *error)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        *error = QStringLiteral("cannot create the folder of %1").arg(path);
        return false;
    }
    // Whole or not at all: a failed build leaves no half-written picture.
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit()) {
        *error = QStringLiteral("cannot write %1: %2").arg(path, out.errorString());
        return false;
    }
    return true;
}

QByteArray encode(const QImage &image, const char *format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

bool writeBuiltIn(const QString &imagesFolder, const QString &sourcePath, QString *error)
{
    for (Role role : kRoles) {
        const QString folder = imagesFolder + QStringLiteral("/Roles/Default/")
            + RoleArt::folderName(role) + QLatin1Char('/');
        for (int n = RoleArt::FirstMouth; n <= RoleArt::LastMouth; ++n) {
            const QImage mouth = RoleArt::picture(role, QStringLiteral("M%1").arg(n));
            if (!save(folder + QStringLiteral("mic_mouth_%1.bmp").arg(n),
                    encode(mouth.convertToFormat(QImage::Format_RGB888), "BMP"), error))
                return false;
        }
    }

    QString source;
    QTextStream out(&source);
    out << "// Drawn by tools/rolegen at build time; not to be edited.\n"
           "#include \"shell/RoleImageData.h\"\n\nnamespace\n{\n\n";
    QStringList entries;
    int index = 0;
    for (Role role : kRoles) {
        for (const QString &key : imageListKeys()) {
            const QByteArray png = encode(RoleArt::picture(role, key), "PNG");
            out << "const unsigned char picture" << index << "[] = {";
            for (qsizetype i = 0; i < png.size(); ++i)
                out << (i % 20 == 0 ? "\n    " : " ") << int(quint8(png[i])) << ',';
            out << "\n};\n\n";
            entries << QStringLiteral("    {%1, \"%2\", picture%3, sizeof picture%3},")
                           .arg(role == Role::Female ? QStringLiteral("true")
                                                     : QStringLiteral("false"),
                               key)
                           .arg(index);
            ++index;
        }
    }
    out << "const RoleImageData::Entry kEntries[] = {\n"
        << entries.join(QLatin1Char('\n')) << "\n};\n\n} // namespace\n\n"
        << "std::span<const RoleImageData::Entry> RoleImageData::entries()\n{\n"
           "    return kEntries;\n}\n";
    out.flush();
    return save(sourcePath, source.toUtf8(), error);
}

// The resting face with overlays pasted over it the way the program pastes
// them, on white.
QImage composed(Role role, const QStringList &overlays, int scale)
{
    QImage image = RoleArt::picture(role, QStringLiteral("Full"), scale);
    for (const QString &key : overlays) {
        const QImage top = RoleArt::picture(role, key, scale);
        for (int y = 0; y < image.height(); ++y) {
            const QRgb *src = reinterpret_cast<const QRgb *>(top.constScanLine(y));
            QRgb *dst = reinterpret_cast<QRgb *>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                if (src[x] != RoleArt::Transparent)
                    dst[x] = src[x];
            }
        }
    }
    for (int y = 0; y < image.height(); ++y) {
        QRgb *row = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (row[x] == RoleArt::Transparent)
                row[x] = qRgb(255, 255, 255);
        }
    }
    return image;
}

bool writeSheets(const QString &folder, QString *error)
{
    const int gap = 12;
    for (int scale : {1, 2}) {
        const int tile = RoleArt::Size * scale;
        QImage sheet(2 * tile + 3 * gap * scale, tile + 2 * gap * scale, QImage::Format_RGB32);
        sheet.fill(QColor(174, 216, 230));
        QPainter p(&sheet);
        int x = gap * scale;
        for (Role role : kRoles) {
            p.drawImage(x, gap * scale, composed(role, {}, scale));
            x += tile + gap * scale;
        }
        p.end();
        if (!save(
                folder + QStringLiteral("/roles_%1x.png").arg(scale), encode(sheet, "PNG"), error))
            return false;
    }

    // Every picture of a role, composed as the program shows it.
    const int tile = RoleArt::Size;
    const int label = 18;
    const int columns = 5;
    const QStringList keys = imageListKeys();
    for (Role role : kRoles) {
        const int rows = int((keys.size() + columns - 1) / columns);
        QImage sheet(
            columns * (tile + gap) + gap, rows * (tile + label + gap) + gap, QImage::Format_RGB32);
        sheet.fill(QColor(174, 216, 230));
        QPainter p(&sheet);
        QFont font;
        font.setPixelSize(13);
        p.setFont(font);
        for (int i = 0; i < keys.size(); ++i) {
            const int x = gap + (i % columns) * (tile + gap);
            const int y = gap + (i / columns) * (tile + label + gap);
            const QStringList overlays
                = keys[i] == QLatin1String("Full") ? QStringList() : QStringList {keys[i]};
            p.drawImage(x, y, composed(role, overlays, 1));
            p.setPen(QColor(16, 7, 120));
            p.drawText(QRect(x, y + tile, tile, label), Qt::AlignCenter, keys[i]);
        }
        p.end();
        const QString name = QStringLiteral("/roles_%1_all.png").arg(RoleArt::folderName(role));
        if (!save(folder + name.toLower(), encode(sheet, "PNG"), error))
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    // The build machine has no display; drawing into images needs none.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList args = QGuiApplication::arguments().mid(1);
    QString error;
    bool ok = false;
    if (args.size() == 2 && args[0] == QLatin1String("--sheets"))
        ok = writeSheets(args[1], &error);
    else if (args.size() == 2 && !args[0].startsWith(QLatin1Char('-')))
        ok = writeBuiltIn(args[0], args[1], &error);
    else {
        err << "usage: rolegen <Images folder> <source file> | --sheets <folder>\n";
        return 2;
    }
    if (!ok)
        err << "rolegen: " << error << '\n';
    return ok ? 0 : 1;
}
