// kestrelpack-cli: the program's three jobs on the command line, through the
// same QSerialUser and worker that the window uses.
//
//   kestrelpack-cli info              version and serial number
//   kestrelpack-cli export DIR        the device's records as a CSV report in DIR
//   kestrelpack-cli upgrade FILE      the firmware FILE over YMODEM
//
// Without --port the device is looked for as the program looks for it (every
// listed port, or KESTRELPACK_SERIAL_PORTS when set). One line per step goes
// to standard output; a failure's reason goes to standard error, and the exit
// code tells the kind of failure (see kExitCodesHelp).

#include "app/logging.h"
#include "app/quitonsignal.h"
#include "device/portlister.h"
#include "device/devicecodes.h"
#include "transfer/qserialuser.h"
#include "transfer/ymodemfiletransmit.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QTextStream>
#include <QTimer>

#include <functional>

#ifdef Q_OS_UNIX
#include <csignal>
#endif

namespace {

enum ExitCode
{
    ExitSuccess = 0,
    ExitUsage = 2,
    ExitNoDevice = 3,
    ExitBootLoader = 4,
    ExitTransfer = 5,
    ExitReport = 6,
    ExitCommand = 7,
    ExitInterrupted = 130,
};

const char *const kExitCodesHelp =
    "Exit codes:\n"
    "  0  success\n"
    "  2  wrong command line\n"
    "  3  no device: no port could be opened (or it is in use by another\n"
    "     program), or none answered\n"
    "  4  the device is in its boot loader (info, export: upgrade it first),\n"
    "     or an upgrade could not bring it into its boot loader's receiver\n"
    "  5  upgrade: the file cannot be read, the transfer could not start,\n"
    "     or it ended cancelled, timed out or failed\n"
    "  6  export: the report was not written\n"
    "  7  a device command failed (version, serial number, leaving control mode)\n"
    "  130  interrupted (Ctrl+C, SIGTERM, the console closed) before the job\n"
    "     ended: a transfer is cancelled, an export keeps what arrived";

// What stopped the running job ("SIGINT", ...); empty while none did.
QString s_sInterruptedBy;

QTextStream &Out()
{
    static QTextStream s_out(stdout);
    return s_out;
}

QTextStream &Err()
{
    static QTextStream s_err(stderr);
    return s_err;
}

// The exit code for a failed step of the information or export request.
int ExitCodeOfFailedStep(int nResultType)
{
    switch (nResultType) {
    case DeviceCodes::RT_OpenPort: return ExitNoDevice;
    case DeviceCodes::RT_EnterCtrlMode: return ExitBootLoader;
    case DeviceCodes::RT_ExportLog: return ExitReport;
    default: return ExitCommand;
    }
}

const char *StatusName(YmodemFileTransmit::YmodemStatus eStatus)
{
    switch (eStatus) {
    case YmodemFileTransmit::StatusCancelled: return "cancelled by the device";
    case YmodemFileTransmit::StatusTimeOut: return "timed out";
    case YmodemFileTransmit::StatusFailed: return "failed";
    default: return "ended";
    }
}

// Runs one worker request (information or export) to its end, printing its
// reports; the first failure decides the exit code.
class RequestRun : public QObject
{
public:
    RequestRun(QSerialUser &user, int nFunctionType) : m_user(user), m_nFunctionType(nFunctionType)
    {
        connect(&m_user, &QSerialUser::signal_SendResult, this, &RequestRun::OnResult);
        // Every report of the request has arrived before this.
        connect(&m_user, &QSerialUser::signal_RequestFinished, this, []() { QCoreApplication::exit(0); });
    }

    // The exit code once the request has finished.
    int Wait()
    {
        QCoreApplication::exec();
        if (m_nFailure != ExitSuccess) {
            return m_nFailure;
        }
        if (m_bComplete) {
            return ExitSuccess;
        }
        Err() << "kestrelpack-cli: the device's request ended without its result" << Qt::endl;
        return m_nFunctionType == DeviceCodes::FT_ExportLog ? ExitReport : ExitCommand;
    }

    std::function<void(int nResultType, const QString &sMes)> onSuccess;
    void MarkComplete() { m_bComplete = true; }

private:
    void OnResult(int nFunctionType, int nResultType, bool bRet, const QString &sMes)
    {
        if (nFunctionType != m_nFunctionType) {
            return;
        }
        if (!bRet) {
            Err() << "kestrelpack-cli: " << sMes << Qt::endl;
            if (m_nFailure == ExitSuccess) {
                m_nFailure = ExitCodeOfFailedStep(nResultType);
            }
            return;
        }
        if (onSuccess) {
            onSuccess(nResultType, sMes);
        }
    }

    QSerialUser &m_user;
    int m_nFunctionType;
    int m_nFailure = ExitSuccess;
    bool m_bComplete = false;
};

int RunInfo(QSerialUser &user)
{
    RequestRun run(user, DeviceCodes::FT_DeviceInfo);
    bool bVersion = false;
    bool bSN = false;
    run.onSuccess = [&](int nResultType, const QString &sMes) {
        if (nResultType == DeviceCodes::RT_Version) {
            Out() << "Version: " << sMes << Qt::endl;
            bVersion = true;
        } else if (nResultType == DeviceCodes::RT_SN) {
            Out() << "Serial number: " << sMes << Qt::endl;
            bSN = true;
        }
        if (bVersion && bSN) {
            run.MarkComplete();
        }
    };
    user.StartGetVersionAndSN();
    return run.Wait();
}

int RunExport(QSerialUser &user, const QString &sDirPath)
{
    RequestRun run(user, DeviceCodes::FT_ExportLog);
    QString sLastProgress;
    QString sReportPath;
    run.onSuccess = [&](int nResultType, const QString &sMes) {
        if (nResultType == DeviceCodes::RT_ReportFile) {
            sReportPath = sMes;
            return;
        }
        if (nResultType != DeviceCodes::RT_ExportLog) {
            return;
        }
        if (sMes == QLatin1String("Start")) {
            Out() << "Export started" << Qt::endl;
        } else if (sMes == QLatin1String("End")) {
            // The file actually written: exports of the same second take
            // numbered names.
            Out() << "Report written to " << sReportPath << Qt::endl;
            run.MarkComplete();
        } else if (sMes != sLastProgress) {
            Out() << "Export progress: " << sMes << " %" << Qt::endl;
            sLastProgress = sMes;
        }
    };
    user.StartExportLogInfo(sDirPath);
    return run.Wait();
}

int RunUpgrade(QSerialUser &user, const QString &sFilePath)
{
    // Checked before the device is touched: a device brought into its boot
    // loader for a file that cannot be sent stays there for nothing.
    const QFileInfo file(sFilePath);
    if (!file.isFile() || !file.isReadable()) {
        Err() << "kestrelpack-cli: cannot read the firmware file " << QDir::toNativeSeparators(sFilePath)
              << Qt::endl;
        return ExitTransfer;
    }
    if (file.size() == 0) {
        Err() << "kestrelpack-cli: the firmware file " << QDir::toNativeSeparators(sFilePath) << " is empty"
              << Qt::endl;
        return ExitTransfer;
    }

    int nExit = ExitTransfer;
    int nLastProgress = -1;
    QObject::connect(&user, &QSerialUser::signal_TransmitProgress, &user, [&](int nProgress) {
        if (nProgress != nLastProgress) {
            Out() << "Upload: " << nProgress << " %" << Qt::endl;
            nLastProgress = nProgress;
        }
    });
    QObject::connect(&user, &QSerialUser::signal_TransmitStatus, &user,
                     [&](YmodemFileTransmit::YmodemStatus eStatus) {
                         if (eStatus < YmodemFileTransmit::StatusDone) {
                             return;
                         }
                         if (eStatus == YmodemFileTransmit::StatusDone) {
                             Out() << "Upgrade completed" << Qt::endl;
                             nExit = ExitSuccess;
                         } else if (!s_sInterruptedBy.isEmpty() && eStatus == YmodemFileTransmit::StatusCancelled) {
                             Err() << "kestrelpack-cli: upgrade interrupted by " << s_sInterruptedBy << " at "
                                   << qMax(nLastProgress, 0)
                                   << " %: transfer cancelled; the device stays in its boot loader until the "
                                      "next upgrade"
                                   << Qt::endl;
                             nExit = ExitInterrupted;
                         } else {
                             Err() << "kestrelpack-cli: upgrade " << StatusName(eStatus) << Qt::endl;
                             nExit = ExitTransfer;
                         }
                         QCoreApplication::exit(0);
                     });
    // StartUpgrade's waits are nested loops: run it from the event loop.
    QTimer::singleShot(0, &user, [&]() {
        Out() << "Upgrade: looking for the device" << Qt::endl;
        if (user.StartUpgrade(file.absoluteFilePath())) {
            Out() << "Upgrade: boot loader ready on " << user.PortName() << ", sending" << Qt::endl;
            return;
        }
        Err() << "kestrelpack-cli: " << user.ErrorMessage() << Qt::endl;
        switch (user.LastUpgradeFailure()) {
        case QSerialUser::FailureOpenPort: nExit = ExitNoDevice; break;
        case QSerialUser::FailureBootLoader: nExit = ExitBootLoader; break;
        default: nExit = ExitTransfer; break;
        }
        QCoreApplication::exit(0);
    });
    QCoreApplication::exec();
    return nExit;
}

int Usage(const QCommandLineParser &parser, const QString &sProblem)
{
    Err() << "kestrelpack-cli: " << sProblem << Qt::endl << Qt::endl << parser.helpText();
    return ExitUsage;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kestrelpack-cli"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Reads the device's information, exports its records into a CSV report or "
                       "upgrades its firmware, as the program does.\n\n%1")
            .arg(QLatin1String(kExitCodesHelp)));
    const QCommandLineOption helpOption = parser.addHelpOption();
    const QCommandLineOption portOption(
        QStringLiteral("port"), QStringLiteral("Use only this port (e.g. COM3, /dev/ttyUSB0); otherwise every listed port "
                                               "is tried, as in the program."),
        QStringLiteral("path"));
    const QCommandLineOption verboseOption(QStringLiteral("verbose"), QStringLiteral("Print the link's trace."));
    parser.addOption(portOption);
    parser.addOption(verboseOption);
    parser.addPositionalArgument(QStringLiteral("command"),
                                 QStringLiteral("info | export DIR | upgrade FILE"));

    if (!parser.parse(QCoreApplication::arguments())) {
        return Usage(parser, parser.errorText());
    }
    if (parser.isSet(helpOption) || parser.isSet(QStringLiteral("help-all"))) {
        Out() << parser.helpText();
        Out().flush();
        return ExitSuccess;
    }
    const QStringList args = parser.positionalArguments();
    const QString sCommand = args.value(0);
    const int nWanted = (sCommand == QLatin1String("info")) ? 1
                        : (sCommand == QLatin1String("export") || sCommand == QLatin1String("upgrade")) ? 2
                                                                                                        : -1;
    if (nWanted < 0) {
        return Usage(parser, args.isEmpty() ? QStringLiteral("no command given")
                                            : QStringLiteral("unknown command: %1").arg(sCommand));
    }
    if (args.size() != nWanted) {
        return Usage(parser, QStringLiteral("wrong number of arguments for %1").arg(sCommand));
    }
    if (sCommand == QLatin1String("export") && args.at(1).isEmpty()) {
        // Not the current folder, and never the root a bare file name would give.
        return Usage(parser, QStringLiteral("export needs a report folder"));
    }
    if (parser.isSet(portOption)) {
        const QString sPort = parser.value(portOption);
        if (sPort.isEmpty()) {
            return Usage(parser, QStringLiteral("--port takes one port path"));
        }
        // Before the first scan: every scan, the worker's too, sees only it,
        // taken whole (stable Linux names such as /dev/serial/by-path/... hold
        // ':', which separates the environment's list).
        PortLister::SetOnlyPort(sPort);
    }
    if (!parser.isSet(verboseOption)) {
        QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
    }

#ifdef Q_OS_UNIX
    // A reader that went away (`| head -3`) must not kill the job half way:
    // writes to the closed pipe then just fail.
    ::signal(SIGPIPE, SIG_IGN);
#endif

    InitLog();
    // The window's object. Its worker thread starts at once.
    QSerialUser &user = *QSerialUser::instance();

    // A stop signal winds the job up instead of killing the program: a
    // transfer is cancelled on the line, an export keeps what arrived and the
    // device is told to leave its record stream; the run loops then end with
    // the job. A second signal ends the program without waiting.
    QuitOnSignal stopSignals;
    stopSignals.SetQuitAtOnce(false);
    QObject::connect(&stopSignals, &QuitOnSignal::signal_Received, &user, [&](const QString &sSignal) {
        if (!s_sInterruptedBy.isEmpty()) {
            KP_LOG_INFO("{} again: quitting without waiting for the job's end", sSignal);
            QCoreApplication::exit(0);
            return;
        }
        s_sInterruptedBy = sSignal;
        Err() << "kestrelpack-cli: " << sSignal << " received, stopping the " << sCommand << Qt::endl;
        if (!user.Interrupt(sSignal)) {
            QCoreApplication::exit(0);
        }
    });
    int nExit = ExitCommand;
    if (sCommand == QLatin1String("info")) {
        nExit = RunInfo(user);
    } else if (sCommand == QLatin1String("export")) {
        nExit = RunExport(user, QFileInfo(args.at(1)).absoluteFilePath());
    } else {
        nExit = RunUpgrade(user, args.at(1));
    }
    // A job that completed in spite of the signal keeps its success.
    if (!s_sInterruptedBy.isEmpty() && nExit != ExitSuccess) {
        KP_LOG_INFO("kestrelpack-cli: {} interrupted", sCommand + QStringLiteral(" by ") + s_sInterruptedBy);
        // A cancelled transfer has said so already.
        if (nExit != ExitInterrupted) {
            Err() << "kestrelpack-cli: " << sCommand << " interrupted by " << s_sInterruptedBy;
            if (sCommand == QLatin1String("export")) {
                Err() << "; the report keeps what arrived";
            } else if (sCommand == QLatin1String("upgrade")) {
                Err() << " before the transfer; a device already sent to its boot loader stays there until the "
                         "next upgrade";
            }
            Err() << Qt::endl;
        }
        nExit = ExitInterrupted;
    }
    // The worker's thread is ended and joined while the application object
    // still exists. Left to the static pointer's release among the exit
    // handlers, it ran (or only began) after Qt's own statics were gone: a
    // job that returned at once, such as an unreadable firmware file, ended
    // in a double free.
    QSerialUser::ReleaseInstance();
    return nExit;
}
