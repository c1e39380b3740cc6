#ifndef DEVICEREQUESTSFORTESTING_H
#define DEVICEREQUESTSFORTESTING_H

#include <QString>

#include <functional>

// Test-only seam: the program never includes this header. While handlers are
// set, the pages' device requests go to them instead of QSerialUser, so page
// tests drive the pages without a device, a worker thread or a port scan.
namespace DeviceRequestsForTesting {

struct Handlers
{
    std::function<bool(const QString &sFilePath)> startUpgrade;
    std::function<void()> startGetVersionAndSN;
    std::function<void(const QString &sDirPath)> startExportLogInfo;
};

void Set(const Handlers &handlers);
void Reset();

} // namespace DeviceRequestsForTesting

#endif // DEVICEREQUESTSFORTESTING_H
