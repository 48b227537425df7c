#pragma once
// Shell special folders by their numeric identifiers. The program asks for
// the user's documents folder (5) as the first start folder of its file
// dialogs; a few other common folders are known as well.

#include <QString>

namespace SysDirs
{
enum FolderId : int {
    CSIDL_PERSONAL = 5, // documents
    CSIDL_MYMUSIC = 13,
    CSIDL_MYVIDEO = 14,
    CSIDL_DESKTOPDIRECTORY = 16,
    CSIDL_FONTS = 20,
    CSIDL_APPDATA = 26,
    CSIDL_LOCAL_APPDATA = 28,
    CSIDL_MYPICTURES = 39,
    CSIDL_PROFILE = 40, // the home folder
};

// path with exactly one "/" at its end ("" stays "").
QString withTrailingSlash(const QString &path);
} // namespace SysDirs

// The folder's path ending in exactly one "/", whether or not the folder
// exists yet; empty for an unknown identifier or when the platform names no
// such folder.
QString GetSpecialFolder(int folderId);
