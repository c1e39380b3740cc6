#include "transfer/joblog.h"

#include "device/devicecodes.h"
#include "transfer/qserialuser.h"

#include <QFileInfo>

namespace JobLog {

const char *StepName(int nResultType)
{
    switch (nResultType) {
    case DeviceCodes::RT_OpenPort: return "open port";
    case DeviceCodes::RT_EnterCtrlMode: return "enter control mode";
    case DeviceCodes::RT_ExitCtrlMode: return "leave control mode";
    case DeviceCodes::RT_EnterBootMode: return "enter boot loader";
    case DeviceCodes::RT_StartTransmit: return "start transfer";
    case DeviceCodes::RT_Version: return "read version";
    case DeviceCodes::RT_SN: return "read serial number";
    case DeviceCodes::RT_ExportLog: return "export";
    case DeviceCodes::RT_LineBusy: return "wait for a quiet line";
    default: return "unknown step";
    }
}

const char *UpgradeFailureName(int nFailure)
{
    switch (nFailure) {
    case QSerialUser::FailureBusy: return "busy";
    case QSerialUser::FailureOpenPort: return "no device";
    case QSerialUser::FailureLineBusy: return "device kept sending";
    case QSerialUser::FailureBootLoader: return "boot loader not reached";
    case QSerialUser::FailureTransmit: return "transfer not started";
    case QSerialUser::FailureInterrupted: return "interrupted";
    default: return "none";
    }
}

QString Seconds(const QElapsedTimer &timer)
{
    return QString::number(timer.elapsed() / 1000.0, 'f', 1);
}

QString WorkerJobEnd(const QString &sJob, int nFailedStep, const QString &sReason, const QString &sPort,
                     const QString &sReport, const QString &sInterruptCause)
{
    const QString sInterrupted =
        sInterruptCause.isEmpty() ? QString() : QStringLiteral(" (interrupted by %1)").arg(sInterruptCause);
    const QString sOn = sPort.isEmpty() ? QString() : QStringLiteral(" on %1").arg(sPort);
    const QString sFile = sReport.isEmpty()
                              ? QString()
                              : QStringLiteral(", file \"%1\" (%2 bytes)").arg(sReport).arg(QFileInfo(sReport).size());
    if (nFailedStep < 0) {
        return sJob + QStringLiteral(" succeeded") + sOn + sFile + sInterrupted;
    }
    // The reason as the worker reported it; the step name is English.
    return QStringLiteral("%1 failed at step \"%2\"%3%4%5: %6")
        .arg(sJob, QLatin1String(StepName(nFailedStep)), sOn, sFile, sInterrupted, sReason);
}

QString TransferEnd(YmodemFileTransmit::YmodemStatus eStatus, const QString &sInterruptCause, const QString &sPort,
                    int nProgress, const QElapsedTimer &timer, bool bClosingUnconfirmed)
{
    QString sHow;
    switch (eStatus) {
    case YmodemFileTransmit::StatusDone: sHow = QStringLiteral("completed"); break;
    case YmodemFileTransmit::StatusCancelled:
        sHow = sInterruptCause.isEmpty() ? QStringLiteral("cancelled by the device")
                                         : QStringLiteral("cancelled (interrupted by %1)").arg(sInterruptCause);
        break;
    case YmodemFileTransmit::StatusTimeOut: sHow = QStringLiteral("timed out"); break;
    default: sHow = QStringLiteral("failed"); break;
    }
    const QString sClosing = bClosingUnconfirmed ? QStringLiteral(" (the receiver acknowledged the end of the file, "
                                                                  "not the closing header)")
                                                 : QString();
    return QStringLiteral("%1 on %2 at %3 % after %4 s%5")
        .arg(sHow, sPort)
        .arg(nProgress)
        .arg(Seconds(timer), sClosing);
}

QString DeviceWord(const UpgradeCheck::Word &word, const QString &sInterruptCause)
{
    if (word.bAnswered) {
        return word.sVersion.isEmpty()
                   ? QStringLiteral("the device answers as application firmware after %1 s; %2")
                         .arg(word.sWaited, word.sSeen)
                   : QStringLiteral("the device answers as application firmware %1 after %2 s")
                         .arg(word.sVersion, word.sWaited);
    }
    if (word.bBootLoader) {
        return QStringLiteral("the device did not start the new firmware: its boot loader answered %1 s into the "
                              "%2 s wait (%3 looks; last: %4)")
            .arg(word.sBootLoaderSeen, word.sWaited)
            .arg(word.nLooks)
            .arg(word.sSeen);
    }
    if (word.bAborted) {
        return QStringLiteral("the device's answer was not awaited (interrupted by %1)").arg(sInterruptCause);
    }
    if (word.bLoopsStopped) {
        return QStringLiteral("the wait for the device's answer ended after %1 s as the program stopped; last look: "
                              "%2")
            .arg(word.sWaited, word.sSeen);
    }
    return QStringLiteral("the device has not answered as application firmware within %1 s (%2 looks; last: %3)")
        .arg(word.sWaited)
        .arg(word.nLooks)
        .arg(word.sSeen);
}

} // namespace JobLog
