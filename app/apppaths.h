#ifndef APPPATHS_H
#define APPPATHS_H

#include <QString>

// Where the program keeps its settings file and its log folder.
//
// Beside the executable, as technicians expect on Windows. On other systems an
// installed program usually sits in a folder the user cannot write (/usr/bin);
// there the per-user data folder (QStandardPaths::AppDataLocation) takes its
// place, with the same "config" and "logs" names inside.
namespace AppPaths {
QString DataDir();
QString SettingsFile();   // DataDir() + "/config/config.ini"
} // namespace AppPaths

#endif // APPPATHS_H
