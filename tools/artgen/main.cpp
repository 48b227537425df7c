// artgen: draws the window's pictures into a folder at build time.
//   artgen <folder>   writes every picture (1x and @2x) below <folder>
//   artgen --list     prints the manifest: path, width, height, frames

#include "ArtManifest.h"

#include <QGuiApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    // The build machine has no display; drawing into images needs none.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);

    const QStringList args = QGuiApplication::arguments().mid(1);
    if (args.size() != 1 || args.first().isEmpty()) {
        err << "usage: artgen <output folder> | --list\n";
        return 2;
    }
    if (args.first() == QLatin1String("--list")) {
        for (const Art::Item &item : Art::manifest())
            out << item.path << ' ' << item.width << ' ' << item.height << ' ' << item.frames
                << '\n';
        return 0;
    }
    QString error;
    if (!Art::writeAll(args.first(), &error)) {
        err << "artgen: " << error << '\n';
        return 1;
    }
    return 0;
}
