#include "cli/requestjobs.h"

#include "app/writablefolder.h"
#include "cli/failurewords.h"
#include "device/devicecodes.h"
#include "transfer/qserialuser.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <functional>

namespace {

using FailureWords::Again;
using FailureWords::PortText;

// Runs one worker request (information or export) to its end. The job's own
// result decides the exit code: a lost device is "no device" whatever step
// noticed it first.
class RequestRun : public QObject
{
public:
    RequestRun(CliContext &ctx, QSerialUser &user, int nFunctionType, const QString &sPort)
        : m_ctx(ctx), m_nFunctionType(nFunctionType), m_sPort(sPort)
    {
        connect(&user, &QSerialUser::signal_FailureKind, this,
                [this](int nFunctionType, int, int nKind, const QString &sPort) {
                    if (nFunctionType == m_nFunctionType) {
                        m_eKind = static_cast<FailureKind>(nKind);
                        if (!sPort.isEmpty()) {
                            sFailurePort = sPort;
                        }
                    }
                });
        connect(&user, &QSerialUser::signal_SendResult, this, &RequestRun::OnResult);
        // Every report of the request has arrived before this.
        connect(&user, &QSerialUser::signal_RequestFinished, this, []() { QCoreApplication::exit(0); });
    }

    void Wait() { QCoreApplication::exec(); }

    std::function<void(int nResultType, const QString &sMes)> onSuccess;
    std::function<void(int nResultType, const QString &sMes, FailureKind eKind)> onFailure;
    // The wait for a busy line, in seconds; 0 when the line was free.
    int nBusySeconds = 0;
    // The port a failure concerns, where it named one (a port held by
    // another program, one where something else talks).
    QString sFailurePort;

private:
    void OnResult(int nFunctionType, int nResultType, bool bRet, const QString &sMes)
    {
        if (nFunctionType != m_nFunctionType) {
            return;
        }
        if (bRet && nResultType == DeviceCodes::RT_LineBusy) {
            nBusySeconds = m_ctx.SayLineBusy(m_sPort, sMes);
        } else if (bRet) {
            if (onSuccess) {
                onSuccess(nResultType, sMes);
            }
        } else if (onFailure) {
            onFailure(nResultType, sMes, m_eKind);
        }
    }

    CliContext &m_ctx;
    int m_nFunctionType;
    QString m_sPort;
    FailureKind m_eKind = FailureKind::None;   // of the failure reported next
};


// The first failure of a request, except that a lost or missing device
// (reported as a port failure) outweighs what failed before it.
struct Failure
{
    int nResultType = -1;
    QString sReason;
    FailureKind eKind = FailureKind::None;

    void Take(int nResultType2, const QString &sMes, FailureKind eKind2)
    {
        if (nResultType < 0 || (nResultType2 == DeviceCodes::RT_OpenPort && nResultType != DeviceCodes::RT_OpenPort)) {
            nResultType = nResultType2;
            sReason = sMes;
            eKind = eKind2;
        }
    }
    bool IsSet() const { return nResultType >= 0; }
};

// The kind a job's failure is answered as: a port that was there and is gone
// now lost the device, whatever step noticed it first.
FailureKind Judged(const CliContext &ctx, FailureKind eKind, const QString &sPort)
{
    const bool bNoDevice = FailureWords::ExitCodeFor(eKind) == ExitNoDevice;
    return ((bNoDevice || eKind == FailureKind::CommandFailed || eKind == FailureKind::None) && ctx.PortGone(sPort))
               ? FailureKind::DeviceLost
               : eKind;
}

} // namespace

int RunInfo(CliContext &ctx, QSerialUser &user, QString sPort)
{
    RequestRun run(ctx, user, DeviceCodes::FT_DeviceInfo, sPort);
    QString sVersion;
    QString sSerial;
    bool bExitFailed = false;
    Failure failure;
    run.onSuccess = [&](int nResultType, const QString &sMes) {
        if (nResultType == DeviceCodes::RT_Version) {
            sVersion = sMes;
            ctx.out.Event(QStringLiteral("version"), QStringLiteral("Version: ") + sMes,
                        QJsonObject{{QStringLiteral("version"), sMes}});
        } else if (nResultType == DeviceCodes::RT_SN) {
            sSerial = sMes;
            ctx.out.Event(QStringLiteral("serial"), QStringLiteral("Serial number: ") + sMes,
                        QJsonObject{{QStringLiteral("serial"), sMes}});
        }
    };
    run.onFailure = [&](int nResultType, const QString &sMes, FailureKind eKind) {
        if (nResultType == DeviceCodes::RT_ExitCtrlMode) {
            bExitFailed = true;
        } else {
            failure.Take(nResultType, sMes, eKind);
        }
    };
    user.StartGetVersionAndSN();
    run.Wait();
    // Without --port the words name the port the device was found on.
    if (sPort.isEmpty()) {
        sPort = user.PortName();
    }

    const QString sAgain = Again(sPort, QStringLiteral("info"), QString());
    QJsonObject fields;
    if (!sVersion.isEmpty()) {
        fields.insert(QStringLiteral("version"), sVersion);
    }
    if (!sSerial.isEmpty()) {
        fields.insert(QStringLiteral("serial"), sSerial);
    }
    int nExit = ExitSuccess;
    QString sMessage;
    const bool bFailed = failure.IsSet() || sVersion.isEmpty() || sSerial.isEmpty();
    const FailureKind eKind = bFailed ? Judged(ctx, failure.eKind, sPort) : FailureKind::None;
    const QString sWords =
        FailureWords::Words(eKind, {sPort.isEmpty() ? run.sFailurePort : sPort, sAgain, run.nBusySeconds});
    if (!sWords.isEmpty()) {
        nExit = FailureWords::ExitCodeFor(eKind);
        sMessage = sWords;
    } else if (bFailed) {
        nExit = ExitCommand;
        sMessage = QStringLiteral("%1 did not tell its %2: run %3 again; if it fails again, switch the device off and "
                                  "on")
                       .arg(PortText(sPort),
                            sVersion.isEmpty() ? QStringLiteral("version") : QStringLiteral("serial number"), sAgain);
    } else {
        if (bExitFailed) {
            ctx.out.Warning(QStringLiteral("%1 did not confirm leaving its service mode; if it does not work normally, "
                                         "switch it off and on")
                              .arg(PortText(sPort)));
        }
        sMessage = QStringLiteral("Information read from %1").arg(PortText(sPort));
    }
    return ctx.EndJob(QStringLiteral("info"), nExit, sMessage, fields);
}

int RunExport(CliContext &ctx, QSerialUser &user, QString sPort, const QString &sDirArg)
{
    const QString sDirPath = QFileInfo(sDirArg).absoluteFilePath();
    QString sAgain = Again(sPort, QStringLiteral("export"), sDirArg);
    // The folder is checked (and made when missing) before the device is
    // touched: a report that cannot be written would leave the device in
    // control mode for nothing. Checked by making a file: on Windows the
    // folder's attributes would refuse Documents and the Desktop.
    if (!QDir().mkpath(sDirPath)) {
        ctx.out.Outcome(ExitReport, QStringLiteral("cannot create the report folder %1: choose a folder you can write "
                                                 "to, then run the export again")
                                      .arg(QDir::toNativeSeparators(sDirPath)));
        return ExitReport;
    }
    if (!CanMakeFileIn(sDirPath)) {
        ctx.out.Outcome(ExitReport, QStringLiteral("the report folder %1 cannot be written to: choose a folder you can "
                                                 "write to, then run the export again")
                                      .arg(QDir::toNativeSeparators(sDirPath)));
        return ExitReport;
    }

    RequestRun run(ctx, user, DeviceCodes::FT_ExportLog, sPort);
    QString sReportPath;
    bool bStarted = false;
    bool bComplete = false;
    Failure failure;
    run.onSuccess = [&](int nResultType, const QString &sMes) {
        if (nResultType == DeviceCodes::RT_ReportFile) {
            sReportPath = sMes;
            return;
        }
        if (nResultType != DeviceCodes::RT_ExportLog || sMes == QLatin1String("Start")) {
            // "Start" comes before the device is looked for.
            return;
        }
        if (sMes == QLatin1String("End")) {
            bComplete = true;
            return;
        }
        if (!bStarted) {
            bStarted = true;
            ctx.out.Event(QStringLiteral("start"),
                        QStringLiteral("Export started: receiving the records of %1")
                            .arg(PortText(sPort.isEmpty() ? user.PortName() : sPort)));
        }
        ctx.out.Progress(QStringLiteral("Export progress"), sMes.toInt());
    };
    run.onFailure = [&](int nResultType, const QString &sMes, FailureKind eKind) {
        failure.Take(nResultType, sMes, eKind);
    };
    user.StartExportLogInfo(sDirPath);
    run.Wait();
    // Without --port the words name the port the device was found on.
    if (sPort.isEmpty() && !user.PortName().isEmpty()) {
        sPort = user.PortName();
        sAgain = Again(sPort, QStringLiteral("export"), sDirArg);
    }

    QJsonObject fields;
    if (!sReportPath.isEmpty()) {
        fields.insert(QStringLiteral("report"), sReportPath);
    }
    if (bComplete && !failure.IsSet()) {
        ctx.out.Outcome(ExitSuccess, QStringLiteral("Report written to ") + sReportPath, fields);
        return ExitSuccess;
    }
    // A port that was there and is gone now lost the device, whatever the
    // report's own failure.
    const FailureKind eKind = ctx.PortGone(sPort) ? FailureKind::DeviceLost : failure.eKind;
    const QString sWords =
        FailureWords::Words(eKind, {sPort.isEmpty() ? run.sFailurePort : sPort, sAgain, run.nBusySeconds});
    int nExit = ExitReport;
    QString sMessage;
    if (!sWords.isEmpty()) {
        nExit = FailureWords::ExitCodeFor(eKind);
        sMessage = sWords;
        if (nExit == ExitNoDevice && !sReportPath.isEmpty()) {
            sMessage += QStringLiteral(" (what arrived is kept in %1)").arg(sReportPath);
        }
    } else {
        if (eKind != FailureKind::None) {
            nExit = FailureWords::ExitCodeFor(eKind);
        }
        // The report's own words (cannot be written, records missing) are
        // plain already; the file that keeps what arrived is named here.
        QString sReason = failure.sReason.isEmpty() ? QStringLiteral("it ended without its report") : failure.sReason;
        if (!sReportPath.isEmpty()) {
            sReason += QStringLiteral("; what arrived is kept in %1").arg(sReportPath);
        }
        sMessage = QStringLiteral("the export from %1 did not complete: %2; run %3 again")
                       .arg(PortText(sPort), sReason, sAgain);
    }
    return ctx.EndJob(QStringLiteral("export"), nExit, sMessage, fields);
}
