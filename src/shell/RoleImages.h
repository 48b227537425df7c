#pragma once
// The image lists of the role picture: pictures under string keys, and the
// two lists built into the program, ImgList_Male and ImgList_Female, each
// with "Full", "Closed", "Narrow" and "M2" … "M13".

#include "controls/GdiPicture.h"

#include <QHash>
#include <QString>

class ImageList
{
public:
    void Add(const QString &key, const GdiPicture &picture) { m_Images.insert(key, picture); }
    int Count() const { return int(m_Images.size()); }
    // The picture under key; a null picture when the list has none.
    GdiPicture Picture(const QString &key) const { return m_Images.value(key); }

private:
    QHash<QString, GdiPicture> m_Images;
};

// The built-in pictures of the female or the male role.
ImageList BuiltInRoleImages(bool female);
