#ifndef APPPATHS_H
#define APPPATHS_H

#include <QString>

// Where the program keeps its settings file and its log folder.
//
// Beside the executable, as technicians expect of a portable tool. An
// installed program often sits in a folder its user cannot write (Program
// Files for a command line run by a standard user, /usr/bin): there the
// per-user data folder takes its place, with the same "config" and "logs"
// names inside (%LOCALAPPDATA%\Kestrelpack on Windows,
// ~/.local/share/kestrelpack elsewhere), so that every run leaves its log.
namespace AppPaths {
QString DataDir();         // chosen once per process, by ChooseDataDir()
QString SettingsFile();   // DataDir() + "/config/config.ini"
QString HistoryFile();    // DataDir() + "/service-history.csv", the record of every job

// The per-user folder named above (not made here).
QString UserDataDir();

// The choice behind DataDir(): sAppDir when a file can be made in it, else
// sUserDir (made when missing); sAppDir again when neither can be written,
// where the program then runs without a log.
QString ChooseDataDir(const QString &sAppDir, const QString &sUserDir);
} // namespace AppPaths

#endif // APPPATHS_H
