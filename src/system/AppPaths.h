#pragma once
// Where the program's files live. The program folder is the folder of the
// executable; the settings file sits there when the folder is writable and in
// the per-user config folder otherwise. Tests redirect both with
// setOverrideFolder so that no test ever touches a real user's settings.

#include <QString>

namespace AppPaths
{

// The folder of the executable, without a trailing separator.
QString programFolder();

// The folder that holds per-user files such as "Parlo_Cfg.ini": the program
// folder when it is writable, else the XDG config folder + "/Parlo" (created
// on demand). Without a trailing separator.
QString settingsFolder();

// Full path of the settings file.
QString settingsFile();

// Program and settings folders are both replaced by folder (empty undoes it).
void setOverrideFolder(const QString &folder);

// "Parlo v3.5.0": the window and message-box title, from the build's version.
QString productTitle();

} // namespace AppPaths
