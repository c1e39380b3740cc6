#ifndef IMAGESTORE_H
#define IMAGESTORE_H

#include <QByteArray>
#include <QString>

// Where the simulated device keeps the firmware images it received: under
// the name from the YMODEM header, reduced to a plain file name inside the
// image folder, written whole or not at all.
namespace ImageStore {

// The last path component, control characters and ':' replaced; never "",
// "." or "..", at most 200 bytes of UTF-8.
QString SafeFileName(const QByteArray &rawName);
// Writes the image into sDir (made when missing); its path, or empty (with
// a warning) when it could not be stored.
QString Store(const QString &sDir, const QByteArray &rawName, const QByteArray &content);

} // namespace ImageStore

#endif // IMAGESTORE_H
