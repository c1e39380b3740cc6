#include "ui/devicerequests.h"
#include "ui/devicerequestsfortesting.h"

#include "transfer/qserialuser.h"

namespace {

DeviceRequestsForTesting::Handlers *&Replacement()
{
    static DeviceRequestsForTesting::Handlers *s_pHandlers = nullptr;
    return s_pHandlers;
}

} // namespace

namespace DeviceRequests {

bool StartUpgrade(const QString &sFilePath)
{
    if (Replacement()) {
        return Replacement()->startUpgrade ? Replacement()->startUpgrade(sFilePath) : false;
    }
    return QSerialUser::instance()->StartUpgrade(sFilePath);
}

void StartGetVersionAndSN()
{
    if (Replacement()) {
        if (Replacement()->startGetVersionAndSN) {
            Replacement()->startGetVersionAndSN();
        }
        return;
    }
    QSerialUser::instance()->StartGetVersionAndSN();
}

void StartExportLogInfo(const QString &sDirPath)
{
    if (Replacement()) {
        if (Replacement()->startExportLogInfo) {
            Replacement()->startExportLogInfo(sDirPath);
        }
        return;
    }
    QSerialUser::instance()->StartExportLogInfo(sDirPath);
}

} // namespace DeviceRequests

namespace DeviceRequestsForTesting {

void Set(const Handlers &handlers)
{
    delete Replacement();
    Replacement() = new Handlers(handlers);
}

void Reset()
{
    delete Replacement();
    Replacement() = nullptr;
}

} // namespace DeviceRequestsForTesting
