#ifndef JOBLOG_H
#define JOBLOG_H

#include "transfer/upgradecheck.h"
#include "transfer/ymodemfiletransmit.h"

#include <QElapsedTimer>
#include <QString>

// The diagnostic log's words about the coordinator's jobs, in English
// whatever the interface language (support reads the log): the names of the
// steps, failures and transfer ends, and the texts after "Job end: ".
namespace JobLog {

// "open port", "read version", ... for a result type of DeviceCodes.
const char *StepName(int nResultType);
// For a QSerialUser::UpgradeFailure.
const char *UpgradeFailureName(int nFailure);
QString Seconds(const QElapsedTimer &timer);

// An information or export job's end: "<job> succeeded on P, file ..." or
// "<job> failed at step "...": reason". nFailedStep < 0: it succeeded.
QString WorkerJobEnd(const QString &sJob, int nFailedStep, const QString &sReason, const QString &sPort,
                     const QString &sReport, const QString &sInterruptCause);
// A transfer's end: "completed on P at 100 % after 12.3 s", followed by what
// bClosingUnconfirmed says: the closing header's ACK never arrived.
QString TransferEnd(YmodemFileTransmit::YmodemStatus eStatus, const QString &sInterruptCause, const QString &sPort,
                    int nProgress, const QElapsedTimer &timer, bool bClosingUnconfirmed = false);
// What the device said after a completed transfer.
QString DeviceWord(const UpgradeCheck::Word &word, const QString &sInterruptCause);

} // namespace JobLog

#endif // JOBLOG_H
