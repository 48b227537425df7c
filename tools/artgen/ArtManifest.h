#pragma once
// The pictures of the main window, drawn from code at build time: one entry
// per file with its path below the Images folder, its size at 1x and how many
// button frames it stacks. The generator writes every entry at 1x and, as
// "name@2x.png", at twice the size for high-density screens. Code that loads
// the pictures finds them at <program folder>/Images/<path>.

#include <QImage>
#include <QString>

#include <functional>
#include <vector>

class QPainter;

namespace Art
{

// Draws one picture (or, for strips, one frame) in 1x coordinates; the
// painter is already scaled and, for a strip, moved to the frame and clipped.
using DrawFn = std::function<void(QPainter &painter, int frame)>;

struct Item {
    QString path; // below Images/, with '/' separators
    int width;
    int height; // the whole picture; a strip holds `frames` frames of height / frames
    int frames; // 1, or 4 for a button strip (normal, hover, pressed, disabled)
    DrawFn draw;
};

// Every picture the window uses, in a fixed order.
const std::vector<Item> &manifest();

// item drawn at the given scale (1 or 2) on a transparent ARGB image.
QImage render(const Item &item, int scale);

// "Buttons/Help_Manual.png" -> "Buttons/Help_Manual@2x.png" for scale 2;
// the path itself for scale 1.
QString scaledPath(const QString &path, int scale);

// Writes every picture at 1x and 2x below folder, creating subfolders.
// Returns false, with a message in error, when a folder or file cannot be
// written; pictures written before the failure stay.
bool writeAll(const QString &folder, QString *error);

} // namespace Art
