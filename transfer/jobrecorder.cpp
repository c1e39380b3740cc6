#include "transfer/jobrecorder.h"

#include "app/logging.h"
#include "device/portlister.h"

#include <QFile>
#include <QFileInfo>
#include <QSerialPortInfo>
#include <QSysInfo>

namespace {

QString KindName(FailureKind eKind)
{
    switch (eKind) {
    case FailureKind::None: return QString();
    case FailureKind::NoPort: return QStringLiteral("NoPort");
    case FailureKind::PortInUse: return QStringLiteral("PortInUse");
    case FailureKind::NoAnswer: return QStringLiteral("NoAnswer");
    case FailureKind::EchoOnly: return QStringLiteral("EchoOnly");
    case FailureKind::DeviceLost: return QStringLiteral("DeviceLost");
    case FailureKind::BootLoader: return QStringLiteral("BootLoader");
    case FailureKind::KeepsSending: return QStringLiteral("KeepsSending");
    case FailureKind::CommandFailed: return QStringLiteral("CommandFailed");
    case FailureKind::BootLoaderNotReached: return QStringLiteral("BootLoaderNotReached");
    case FailureKind::FirmwareFile: return QStringLiteral("FirmwareFile");
    case FailureKind::TransferNotStarted: return QStringLiteral("TransferNotStarted");
    case FailureKind::Busy: return QStringLiteral("Busy");
    case FailureKind::ReportNotCreated: return QStringLiteral("ReportNotCreated");
    case FailureKind::ReportNotWritten: return QStringLiteral("ReportNotWritten");
    case FailureKind::ReportIncomplete: return QStringLiteral("ReportIncomplete");
    case FailureKind::Interrupted: return QStringLiteral("Interrupted");
    case FailureKind::ReceiverCancelled: return QStringLiteral("ReceiverCancelled");
    case FailureKind::TransferTimedOut: return QStringLiteral("TransferTimedOut");
    case FailureKind::NoisyLine: return QStringLiteral("NoisyLine");
    case FailureKind::TransferFailed: return QStringLiteral("TransferFailed");
    case FailureKind::FirmwareNotStarted: return QStringLiteral("FirmwareNotStarted");
    case FailureKind::NotThisDevice: return QStringLiteral("NotThisDevice");
    case FailureKind::NotConfirmed: return QStringLiteral("NotConfirmed");
    }
    return QStringLiteral("Unknown");
}

QString Hex4(quint16 nValue)
{
    return QStringLiteral("%1").arg(nValue, 4, 16, QLatin1Char('0'));
}

// The adapter behind the port, as the system lists it. Ports that the
// environment names (pseudo-terminals) are not looked up: their list is not
// the system's, and a test must not walk the machine's ports.
void FillAdapter(const QString &sPort, ServiceRecord *pRecord)
{
    if (sPort.isEmpty() || qEnvironmentVariableIsSet(PortLister::kEnvironmentVariable)) {
        return;
    }
    const QString sName = PortLister::DisplayName(sPort);
    const QList<QSerialPortInfo> infos = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : infos) {
        if (info.portName() != sName && info.systemLocation() != sPort) {
            continue;
        }
        if (info.hasVendorIdentifier()) {
            pRecord->sPortVendorId = Hex4(info.vendorIdentifier());
        }
        if (info.hasProductIdentifier()) {
            pRecord->sPortProductId = Hex4(info.productIdentifier());
        }
        pRecord->sPortSerial = info.serialNumber();
        return;
    }
}

qint64 LinesOf(const QString &sFile)
{
    QFile file(sFile);
    if (!file.open(QIODevice::ReadOnly)) {
        return -1;
    }
    qint64 nLines = 0;
    while (!file.atEnd()) {
        nLines += file.read(1 << 16).count('\n');
    }
    return nLines;
}

} // namespace

void JobRecorder::SetFile(const QString &sFile)
{
    m_sFile = sFile;
}

ServiceRecord JobRecorder::RecordOf(const End &end)
{
    ServiceRecord record;
    record.end = QDateTime::currentDateTime();
    record.sProgramVersion = QLatin1String(KP_PROGRAM_VERSION);
    record.sComputer = QSysInfo::machineHostName();
    record.sPort = PortLister::DisplayName(end.sPort);
    FillAdapter(end.sPort, &record);
    record.sJob = end.sJob;
    record.sDeviceSerial = end.sDeviceSerial;
    record.sFirmwareBefore = end.sVersionBefore;
    record.sFirmwareAfter = end.sVersionAfter;
    if (!end.sFirmwarePath.isEmpty()) {
        record.sFirmwareFile = QFileInfo(end.sFirmwarePath).fileName();
        record.sFirmwareSha256 = ServiceHistory::Sha256Of(end.sFirmwarePath, &record.nFirmwareSize);
    }
    if (!end.sReportPath.isEmpty()) {
        record.sReportFile = QFileInfo(end.sReportPath).fileName();
        record.sReportSha256 = ServiceHistory::Sha256Of(end.sReportPath);
        record.nReportRecords = LinesOf(end.sReportPath);
    }
    record.sOutcome = end.eKind == FailureKind::None          ? QStringLiteral("succeeded")
                      : end.eKind == FailureKind::Interrupted ? QStringLiteral("interrupted")
                                                              : QStringLiteral("failed");
    record.sFailureKind = KindName(end.eKind);
    record.sReason = end.sReason;
    record.nDurationMs = end.nDurationMs;
    return record;
}

ServiceRecord JobRecorder::Record(const End &end)
{
    const ServiceRecord record = RecordOf(end);
    if (m_sFile.isEmpty()) {
        return record;
    }
    QString sError;
    if (!ServiceHistory::Append(m_sFile, record, &sError)) {
        KP_LOG_INFO("Warning: {}", QStringLiteral("the service history %1 was not written (%2); the job's outcome "
                                                  "stands")
                                        .arg(m_sFile, sError));
    }
    return record;
}
