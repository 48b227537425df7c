#pragma once
// The window's pictures, drawn at build time into the Images folder beside
// the executable. Each has a twice-as-large twin for high-density screens.

#include <QPixmap>
#include <QString>

// The picture at Images/<relative>.png, or its @2x twin when the screen is
// dense and dense is allowed (picture strips cut into frames by pixel rows
// take the plain one); a null pixmap when the file is missing.
QPixmap loadProgramPicture(const QString &relative, bool allowDense = true);

// The size a picture covers on screen, in device-independent pixels.
QSize logicalSize(const QPixmap &picture);
