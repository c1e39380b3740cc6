#ifndef WRITABLEFOLDER_H
#define WRITABLEFOLDER_H

#include <QString>

// Whether a file can be made in the folder sDir, asked of the file system by
// making one (and removing it again). What a folder's attributes say is no
// answer on Windows: Qt 5 reads its read-only attribute there, which
// Explorer sets on Documents, the Desktop and every folder with an icon of
// its own and which does not stop files being made in them, while Program
// Files carries none and refuses a standard user all the same.
bool CanMakeFileIn(const QString &sDir);

#endif // WRITABLEFOLDER_H
