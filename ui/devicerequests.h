#ifndef DEVICEREQUESTS_H
#define DEVICEREQUESTS_H

#include <QString>

// The device requests the task pages make. Each goes to the shared
// QSerialUser (created on first use); the pages call nothing else of it.
// Outcomes come back through QSerialUser's signals, which the main window
// connects to the pages.
namespace DeviceRequests {

// Prepares the device and starts sending the firmware file; false when the
// transfer could not start. Runs nested event loops while it waits.
bool StartUpgrade(const QString &sFilePath);
void StartGetVersionAndSN();
void StartExportLogInfo(const QString &sDirPath);

} // namespace DeviceRequests

#endif // DEVICEREQUESTS_H
