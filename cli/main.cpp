// kestrelpack-cli: the program's three jobs on the command line, through the
// same QSerialUser and worker that the window uses.
//
//   kestrelpack-cli info              version and serial number
//   kestrelpack-cli export DIR        the device's records as a CSV report in DIR
//   kestrelpack-cli upgrade FILE      the firmware FILE over YMODEM
//
// Without --port the device is looked for as the program looks for it (every
// listed port, or KESTRELPACK_SERIAL_PORTS when set). With --port given more
// than once, one process of this program runs the job on each port at once
// (see parallelrun.h). Steps and waits go to standard output, a failure in
// plain words (what happened, on which port, what to do) to standard error,
// and the exit code tells the kind of failure (see kExitCodesHelp). The
// device's own step names stay in the diagnostic log.

#include "app/logging.h"
#include "app/quitonsignal.h"
#include "cli/failurewords.h"
#include "cli/output.h"
#include "cli/parallelrun.h"
#include "device/devicecodes.h"
#include "device/portlister.h"
#include "device/waits.h"
#include "transfer/qserialuser.h"
#include "transfer/ymodemfiletransmit.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QTimer>

#ifdef Q_OS_WIN
#include <QSerialPortInfo>
#endif

#include <cstdio>

#ifdef Q_OS_UNIX
#include <csignal>
#endif

namespace {

using FailureWords::Again;
using FailureWords::PortText;

const char *const kExitCodesHelp =
    "Exit codes:\n"
    "  0    success (info also when only leaving control mode failed: a warning says so;\n"
    "       upgrade also when the device has not answered after the completed transfer)\n"
    "  2    wrong command line\n"
    "  3    no device: no port could be opened (or it is in use by another program),\n"
    "       none answered, or the device was lost during the job\n"
    "  4    the device is in its boot loader (info, export: upgrade it first), or an\n"
    "       upgrade could not bring it into its boot loader's receiver\n"
    "  5    upgrade: the file cannot be read, the transfer could not start, or it\n"
    "       ended cancelled, timed out or failed\n"
    "  6    export: the report folder cannot be made or written, or the report was\n"
    "       not written whole\n"
    "  7    a device command failed (version, serial number), the device kept sending\n"
    "       and never answered, or a port's process ended abnormally\n"
    "  130  interrupted (Ctrl+C, SIGTERM, the console closed) before the job ended:\n"
    "       a transfer is cancelled, an export keeps what arrived\n"
    "With several ports the exit code is the worst of theirs: the highest (130 above all).";

// Where support finds the diagnostic log.
const char *const kLogHelp =
#ifdef Q_OS_WIN
    "The log: logs\\K9Z40_<date>.log beside this program, or, where this program's folder\n"
    "cannot be written (Program Files for a standard user),\n"
    "%LOCALAPPDATA%\\Kestrelpack\\logs\\K9Z40_<date>.log.";
#else
    "The log: logs/K9Z40_<date>.log beside this program, or, where this program's folder\n"
    "cannot be written, ~/.local/share/kestrelpack/logs/K9Z40_<date>.log.";
#endif

// What stopped the running job ("SIGINT", ...); empty while none did.
QString s_sInterruptedBy;

Output s_out;

bool PortExists(const QString &sPort)
{
#ifdef Q_OS_WIN
    return !QSerialPortInfo(sPort).isNull();
#else
    return QFileInfo::exists(sPort);
#endif
}

// The port named on the command line was there when the program started.
bool s_bPortWasThere = false;

// A port that was there and is gone now: the device was unplugged or
// switched off (a USB adapter's device node disappears with it).
bool PortGone(const QString &sPort)
{
    if (sPort.isEmpty() || !s_bPortWasThere) {
        return false;
    }
    return !PortExists(sPort);
}


// Says that the job waits for a line still busy with a record stream.
int SayLineBusy(const QString &sPort, const QString &sSeconds)
{
    const int nSeconds = sSeconds.toInt();
    s_out.Event(QStringLiteral("wait"),
                QStringLiteral("%1 is still sending its records; waiting up to %2 s ...")
                    .arg(sPort.isEmpty() ? QStringLiteral("The device") : QStringLiteral("The device on %1").arg(sPort))
                    .arg(nSeconds),
                QJsonObject{{QStringLiteral("awaited"), QStringLiteral("quiet line")},
                            {QStringLiteral("seconds"), nSeconds}});
    return nSeconds;
}

// Runs one worker request (information or export) to its end. The job's own
// result decides the exit code: a lost device is "no device" whatever step
// noticed it first.
class RequestRun : public QObject
{
public:
    RequestRun(QSerialUser &user, int nFunctionType, const QString &sPort)
        : m_nFunctionType(nFunctionType), m_sPort(sPort)
    {
        connect(&user, &QSerialUser::signal_FailureKind, this, [this](int nFunctionType, int, int nKind) {
            if (nFunctionType == m_nFunctionType) {
                m_eKind = static_cast<FailureKind>(nKind);
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

private:
    void OnResult(int nFunctionType, int nResultType, bool bRet, const QString &sMes)
    {
        if (nFunctionType != m_nFunctionType) {
            return;
        }
        if (bRet && nResultType == DeviceCodes::RT_LineBusy) {
            nBusySeconds = SayLineBusy(m_sPort, sMes);
        } else if (bRet) {
            if (onSuccess) {
                onSuccess(nResultType, sMes);
            }
        } else if (onFailure) {
            onFailure(nResultType, sMes, m_eKind);
        }
    }

    int m_nFunctionType;
    QString m_sPort;
    FailureKind m_eKind = FailureKind::None;   // of the failure reported next
};

// Prints the job's one outcome and returns its exit code. A job that failed
// after a stop signal wound it up ends as interrupted (130), its own words
// kept after the signal's (unless they tell of the signal themselves): a
// script reads one outcome per job, and it must agree with the exit code.
int EndJob(const QString &sJob, int nExit, const QString &sMessage, const QJsonObject &fields = QJsonObject(),
           bool bSaysInterruption = false)
{
    if (nExit == ExitSuccess || bSaysInterruption || s_sInterruptedBy.isEmpty()) {
        s_out.Outcome(nExit, sMessage, fields);
        return nExit;
    }
    s_out.Outcome(ExitInterrupted, QStringLiteral("%1 interrupted by %2: %3").arg(sJob, s_sInterruptedBy, sMessage),
                  fields);
    return ExitInterrupted;
}

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
FailureKind Judged(FailureKind eKind, const QString &sPort)
{
    const bool bNoDevice = FailureWords::ExitCodeFor(eKind) == ExitNoDevice;
    return ((bNoDevice || eKind == FailureKind::CommandFailed || eKind == FailureKind::None) && PortGone(sPort))
               ? FailureKind::DeviceLost
               : eKind;
}

int RunInfo(QSerialUser &user, QString sPort)
{
    RequestRun run(user, DeviceCodes::FT_DeviceInfo, sPort);
    QString sVersion;
    QString sSerial;
    bool bExitFailed = false;
    Failure failure;
    run.onSuccess = [&](int nResultType, const QString &sMes) {
        if (nResultType == DeviceCodes::RT_Version) {
            sVersion = sMes;
            s_out.Event(QStringLiteral("version"), QStringLiteral("Version: ") + sMes,
                        QJsonObject{{QStringLiteral("version"), sMes}});
        } else if (nResultType == DeviceCodes::RT_SN) {
            sSerial = sMes;
            s_out.Event(QStringLiteral("serial"), QStringLiteral("Serial number: ") + sMes,
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
    const FailureKind eKind = bFailed ? Judged(failure.eKind, sPort) : FailureKind::None;
    const QString sWords = FailureWords::Words(eKind, {sPort, sAgain, run.nBusySeconds});
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
            s_out.Warning(QStringLiteral("%1 did not confirm leaving its service mode; if it does not work normally, "
                                         "switch it off and on")
                              .arg(PortText(sPort)));
        }
        sMessage = QStringLiteral("Information read from %1").arg(PortText(sPort));
    }
    return EndJob(QStringLiteral("info"), nExit, sMessage, fields);
}

int RunExport(QSerialUser &user, QString sPort, const QString &sDirArg)
{
    const QString sDirPath = QFileInfo(sDirArg).absoluteFilePath();
    QString sAgain = Again(sPort, QStringLiteral("export"), sDirArg);
    // The folder is checked (and made when missing) before the device is
    // touched: a report that cannot be written would leave the device in
    // control mode for nothing.
    if (!QDir().mkpath(sDirPath)) {
        s_out.Outcome(ExitReport, QStringLiteral("cannot create the report folder %1: choose a folder you can write "
                                                 "to, then run the export again")
                                      .arg(QDir::toNativeSeparators(sDirPath)));
        return ExitReport;
    }
    if (!QFileInfo(sDirPath).isWritable()) {
        s_out.Outcome(ExitReport, QStringLiteral("the report folder %1 cannot be written to: choose a folder you can "
                                                 "write to, then run the export again")
                                      .arg(QDir::toNativeSeparators(sDirPath)));
        return ExitReport;
    }

    RequestRun run(user, DeviceCodes::FT_ExportLog, sPort);
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
            s_out.Event(QStringLiteral("start"),
                        QStringLiteral("Export started: receiving the records of %1")
                            .arg(PortText(sPort.isEmpty() ? user.PortName() : sPort)));
        }
        s_out.Progress(QStringLiteral("Export progress"), sMes.toInt());
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
        s_out.Outcome(ExitSuccess, QStringLiteral("Report written to ") + sReportPath, fields);
        return ExitSuccess;
    }
    // A port that was there and is gone now lost the device, whatever the
    // report's own failure.
    const FailureKind eKind = PortGone(sPort) ? FailureKind::DeviceLost : failure.eKind;
    const QString sWords = FailureWords::Words(eKind, {sPort, sAgain, run.nBusySeconds});
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
        // plain already.
        sMessage = QStringLiteral("the export from %1 did not complete: %2; run %3 again")
                       .arg(PortText(sPort),
                            failure.sReason.isEmpty() ? QStringLiteral("it ended without its report") : failure.sReason,
                            sAgain);
    }
    return EndJob(QStringLiteral("export"), nExit, sMessage, fields);
}

int RunUpgrade(QSerialUser &user, const QString &sGivenPort, const QString &sFilePath)
{
    const Waits &waits = Waits::Current();
    // Checked before the device is touched: a device brought into its boot
    // loader for a file that cannot be sent stays there for nothing.
    const QFileInfo file(sFilePath);
    const QString sNative = QDir::toNativeSeparators(sFilePath);
    if (!file.isFile() || !file.isReadable()) {
        s_out.Outcome(ExitTransfer, QStringLiteral("cannot read the firmware file %1: check its name, then run the "
                                                   "upgrade again (the device was not touched)")
                                        .arg(sNative));
        return ExitTransfer;
    }
    if (file.size() == 0) {
        s_out.Outcome(ExitTransfer, QStringLiteral("the firmware file %1 is empty: choose the right file, then run "
                                                   "the upgrade again (the device was not touched)")
                                        .arg(sNative));
        return ExitTransfer;
    }

    enum class Stage { Preparing, Sending, Verifying, Ended } eStage = Stage::Preparing;
    int nExit = ExitTransfer;
    QString sMessage;
    QJsonObject fields;
    int nProgress = 0;
    QString sPort = sGivenPort;
    const auto again = [&]() { return Again(sPort, QStringLiteral("upgrade"), sFilePath); };
    const auto end = [&]() {
        eStage = Stage::Ended;
        QCoreApplication::exit(0);
    };

    // Waits that talk: the boot loader's wait, a transfer that stalls, the
    // device's start after the transfer.
    QElapsedTimer sendTimer;
    QTimer quietTimer;
    quietTimer.setSingleShot(true);
    bool bStallSaid = false;
    const int nGiveUpS = static_cast<int>((waits.nYmodemTickDivisor + 1) * (waits.nYmodemMaxTimeouts + 1)
                                          * static_cast<uint32_t>(waits.nYmodemStepMs) / 1000);
    QObject::connect(&quietTimer, &QTimer::timeout, [&]() {
        if (eStage == Stage::Preparing) {
            const int nBootS = (waits.nBootReplyMs + waits.nBootReadyMs + waits.nBootStreamMs) / 1000;
            s_out.Event(QStringLiteral("wait"),
                        QStringLiteral("Bringing %1 into its boot loader and waiting for its receiver (up to %2 s) ...")
                            .arg(PortText(sPort))
                            .arg(nBootS),
                        QJsonObject{{QStringLiteral("awaited"), QStringLiteral("boot loader")},
                                    {QStringLiteral("seconds"), nBootS}});
        } else if (eStage == Stage::Sending && !bStallSaid) {
            bStallSaid = true;
            s_out.Event(QStringLiteral("wait"),
                        QStringLiteral("No progress on %1 for %2 s at %3 %: waiting for the device (the transfer "
                                       "gives up after %4 s without an answer) ...")
                            .arg(sPort)
                            .arg(quietTimer.interval() / 1000)
                            .arg(nProgress)
                            .arg(nGiveUpS),
                        QJsonObject{{QStringLiteral("awaited"), QStringLiteral("transfer")},
                                    {QStringLiteral("progress"), nProgress},
                                    {QStringLiteral("seconds"), nGiveUpS}});
        }
    });
    const auto armStallTimer = [&]() {
        // Two seconds, or twice the time a percent has taken so far: a big
        // file on a slow line takes longer than that for every percent.
        const qint64 nPerPercent = sendTimer.isValid() ? sendTimer.elapsed() / qMax(1, nProgress) : 0;
        quietTimer.start(static_cast<int>(qMax<qint64>(2000, 2 * nPerPercent)));
    };

    int nBusySeconds = 0;
    QObject::connect(&user, &QSerialUser::signal_SendResult, &user,
                     [&](int nFunctionType, int nResultType, bool bRet, const QString &sMes) {
                         if (nFunctionType == DeviceCodes::FT_Upgrade && nResultType == DeviceCodes::RT_LineBusy
                             && bRet) {
                             // The boot loader's wait has not begun: no word of it yet.
                             quietTimer.stop();
                             nBusySeconds = SayLineBusy(sPort, sMes);
                         }
                     });
    QObject::connect(&user, &QSerialUser::signal_TransmitProgress, &user, [&](int nValue) {
        nProgress = nValue;
        bStallSaid = false;
        if (eStage == Stage::Sending) {
            armStallTimer();
        }
        s_out.Progress(QStringLiteral("Upload"), nValue);
    });
    QTimer answerTimer;
    answerTimer.setSingleShot(true);
    const int nAnswerS = waits.nUpgradeAnswerMs / 1000;
    const QString sNoAnswer = QStringLiteral("Upgrade completed; %1 has not answered as application firmware within "
                                             "%2 s");
    QObject::connect(&answerTimer, &QTimer::timeout, [&]() {
        if (eStage == Stage::Verifying) {
            sMessage = sNoAnswer.arg(PortText(sPort)).arg(nAnswerS);
            end();
        }
    });
    QObject::connect(&user, &QSerialUser::signal_UpgradeVerified, &user, [&](bool bAnswered, const QString &sVersion) {
        if (eStage != Stage::Verifying) {
            return;
        }
        if (!bAnswered) {
            sMessage = sNoAnswer.arg(PortText(sPort)).arg(nAnswerS);
        } else if (sVersion.isEmpty()) {
            sMessage = QStringLiteral("Upgrade completed: %1 answered as application firmware, its version could "
                                      "not be read")
                           .arg(PortText(sPort));
        } else {
            sMessage = QStringLiteral("Upgrade completed: the device runs %1").arg(sVersion);
            fields.insert(QStringLiteral("version"), sVersion);
        }
        end();
    });
    QObject::connect(&user, &QSerialUser::signal_TransmitStatus, &user, [&](YmodemFileTransmit::YmodemStatus eStatus) {
        if (eStatus < YmodemFileTransmit::StatusDone || eStage != Stage::Sending) {
            return;
        }
        quietTimer.stop();
        if (eStatus == YmodemFileTransmit::StatusDone) {
            nExit = ExitSuccess;
            eStage = Stage::Verifying;
            s_out.Event(QStringLiteral("wait"),
                        QStringLiteral("Transfer completed; waiting for %1 to start its new firmware (up to %2 s) ...")
                            .arg(PortText(sPort))
                            .arg(nAnswerS),
                        QJsonObject{{QStringLiteral("awaited"), QStringLiteral("application firmware")},
                                    {QStringLiteral("seconds"), nAnswerS}});
            // Bounded even if the answer's report never comes.
            answerTimer.start(waits.nUpgradeAnswerMs + 5000);
            return;
        }
        if (!s_sInterruptedBy.isEmpty() && eStatus == YmodemFileTransmit::StatusCancelled) {
            nExit = ExitInterrupted;
            sMessage = QStringLiteral("upgrade interrupted by %1 at %2 %: the transfer was cancelled and %3 stays in "
                                      "its boot loader; run %4 to upgrade it")
                           .arg(s_sInterruptedBy)
                           .arg(nProgress)
                           .arg(PortText(sPort), again());
        } else if (user.TransferLineLost() || PortGone(sPort)) {
            nExit = ExitNoDevice;
            sMessage = QStringLiteral("%1 was lost (unplugged or switched off) at %2 % of the transfer: connect it; "
                                      "it starts in its boot loader, then run %3 again")
                           .arg(PortText(sPort))
                           .arg(nProgress)
                           .arg(again());
        } else if (eStatus == YmodemFileTransmit::StatusCancelled) {
            sMessage = QStringLiteral("%1 cancelled the transfer at %2 % and stays in its boot loader: check that %3 "
                                      "is firmware for this device, then run %4 again")
                           .arg(PortText(sPort))
                           .arg(nProgress)
                           .arg(sNative, again());
        } else if (eStatus == YmodemFileTransmit::StatusTimeOut) {
            sMessage = QStringLiteral("%1 stopped answering at %2 % of the transfer and stays in its boot loader: "
                                      "check the cable, then run %3 again")
                           .arg(PortText(sPort))
                           .arg(nProgress)
                           .arg(again());
        } else {
            sMessage = QStringLiteral("the transfer to %1 failed at %2 % (the line reported an error, or %3 changed "
                                      "while it was sent); the device stays in its boot loader: run %4 again")
                           .arg(PortText(sPort))
                           .arg(nProgress)
                           .arg(sNative, again());
        }
        end();
    });
    // StartUpgrade's waits are nested loops: run it from the event loop. The
    // timers above fire inside them.
    QTimer::singleShot(0, &user, [&]() {
        s_out.Event(QStringLiteral("start"), sPort.isEmpty() ? QStringLiteral("Upgrade: looking for the device")
                                                             : QStringLiteral("Upgrade: looking for the device on %1").arg(sPort));
        quietTimer.start(2000);
        const bool bStarted = user.StartUpgrade(file.absoluteFilePath());
        quietTimer.stop();
        if (!user.PortName().isEmpty()) {
            sPort = user.PortName();
            s_out.SetPort(sPort);
        }
        if (bStarted) {
            if (sGivenPort.isEmpty()) {
                s_bPortWasThere = PortExists(sPort);
            }
            s_out.Event(QStringLiteral("send"), QStringLiteral("Upgrade: boot loader ready on %1, sending %2")
                                                    .arg(sPort, QDir::toNativeSeparators(file.fileName())));
            eStage = Stage::Sending;
            sendTimer.start();
            armStallTimer();
            return;
        }
        // A port that was there and is gone now lost the device, whatever
        // step noticed it.
        const bool bGone = user.LastUpgradeFailure() != QSerialUser::FailureOpenPort && PortGone(sPort);
        const FailureKind eKind = bGone ? FailureKind::DeviceLost : user.LastUpgradeFailureKind();
        nExit = FailureWords::ExitCodeFor(eKind);
        // Where no device was found, the words name the port that was asked for.
        sMessage = FailureWords::Words(eKind, {nExit == ExitNoDevice ? sGivenPort : sPort, again(), nBusySeconds});
        if (sMessage.isEmpty() && eKind == FailureKind::BootLoaderNotReached) {
            sMessage = QStringLiteral("%1 did not get ready to receive the firmware and may have stayed in its boot "
                                      "loader: run %2 again; if it fails again, switch the device off and on first")
                           .arg(PortText(sPort), again());
        } else if (sMessage.isEmpty()) {
            nExit = ExitTransfer;
            sMessage = QStringLiteral("the transfer to %1 could not start (%2): run %3 again")
                           .arg(PortText(sPort), user.ErrorMessage(), again());
        }
        end();
    });
    QCoreApplication::exec();
    if (eStage == Stage::Verifying) {
        // Stopped while waiting for the device's answer: the transfer stands.
        sMessage = QStringLiteral("Upgrade completed; stopped before %1 answered as application firmware").arg(PortText(sPort));
    } else if (eStage != Stage::Ended) {
        // Stopped without waiting (a second stop signal).
        nExit = ExitInterrupted;
        sMessage = QStringLiteral("upgrade interrupted by %1: %2 may be in its boot loader; run %3 to upgrade it")
                       .arg(s_sInterruptedBy, PortText(sPort), again());
    }
    if (nExit == ExitSuccess || nExit == ExitInterrupted || !sMessage.isEmpty()) {
        nExit = EndJob(QStringLiteral("upgrade"), nExit, sMessage, fields, nExit == ExitInterrupted);
    }
    return nExit;
}

int Usage(const QCommandLineParser &parser, const QString &sProblem)
{
    WriteText(stderr, QStringLiteral("kestrelpack-cli: %1\n\n%2").arg(sProblem, parser.helpText()));
    return ExitUsage;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kestrelpack-cli"));
    // As the Windows resources write the product version: "1.01.002".
    QCoreApplication::setApplicationVersion(QStringLiteral("%1.%2.%3")
                                                .arg(KP_VERSION_MAJOR)
                                                .arg(KP_VERSION_MINOR, 2, 10, QLatin1Char('0'))
                                                .arg(KP_VERSION_PATCH, 3, 10, QLatin1Char('0')));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Reads the device's information, exports its records into a CSV report or "
                       "upgrades its firmware, as the program does.\n\n%1\n\n%2")
            .arg(QLatin1String(kExitCodesHelp), QLatin1String(kLogHelp)));
    // Only --help: Qt's own options (--help-all) do not apply to this program.
    const QCommandLineOption helpOption({QStringLiteral("h"), QStringLiteral("help")},
                                        QStringLiteral("Print this help and exit."));
    const QCommandLineOption versionOption(QStringLiteral("version"), QStringLiteral("Print the version and exit."));
    const QCommandLineOption portOption(
        QStringLiteral("port"),
        QStringLiteral("Use only this port (e.g. COM3, /dev/ttyUSB0); otherwise every listed port is tried, as in "
                       "the program. Given more than once, the job runs on every port named at once, and a summary "
                       "table ends the run."),
        QStringLiteral("path"));
    const QCommandLineOption jsonOption(QStringLiteral("json"),
                                        QStringLiteral("Print one JSON object per event and line on standard output."));
    const QCommandLineOption quietOption(QStringLiteral("quiet"), QStringLiteral("Print only the outcome."));
    const QCommandLineOption verboseOption(QStringLiteral("verbose"), QStringLiteral("Print the link's trace."));
    parser.addOption(helpOption);
    parser.addOption(versionOption);
    parser.addOption(portOption);
    parser.addOption(jsonOption);
    parser.addOption(quietOption);
    parser.addOption(verboseOption);
    parser.addPositionalArgument(QStringLiteral("command"),
                                 QStringLiteral("info | export DIR | upgrade FILE"));

    if (!parser.parse(QCoreApplication::arguments())) {
        return Usage(parser, parser.errorText());
    }
    if (parser.isSet(helpOption)) {
        WriteText(stdout, parser.helpText());
        return ExitSuccess;
    }
    if (parser.isSet(versionOption)) {
        WriteText(stdout, QStringLiteral("kestrelpack-cli %1\n").arg(QCoreApplication::applicationVersion()));
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
    if (parser.isSet(jsonOption) && parser.isSet(quietOption)) {
        return Usage(parser, QStringLiteral("--json and --quiet exclude each other"));
    }
    const Output::Mode eMode = parser.isSet(jsonOption)    ? Output::Mode::Json
                               : parser.isSet(quietOption) ? Output::Mode::Quiet
                                                           : Output::Mode::Text;
    QStringList ports = parser.values(portOption);
    if (ports.contains(QString())) {
        return Usage(parser, QStringLiteral("--port takes one port path"));
    }
    if (ports.removeDuplicates() > 0) {
        return Usage(parser, QStringLiteral("a port is named twice"));
    }
    if (!parser.isSet(verboseOption)) {
        QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
    }

#ifdef Q_OS_UNIX
    // A reader that went away (`| head -3`) must not kill the job half way:
    // writes to the closed pipe then just fail.
    ::signal(SIGPIPE, SIG_IGN);
#endif

    if (ports.size() > 1) {
        InitLog();
        QStringList jobArgs = args;
        if (parser.isSet(verboseOption)) {
            jobArgs << QStringLiteral("--verbose");
        }
        return RunOnPorts(ports, jobArgs, eMode);
    }

    const QString sPort = ports.value(0);
    if (!sPort.isEmpty()) {
        // Before the first scan: every scan, the worker's too, sees only it,
        // taken whole (stable Linux names such as /dev/serial/by-path/... hold
        // ':', which separates the environment's list).
        PortLister::SetOnlyPort(sPort);
        s_bPortWasThere = PortExists(sPort);
    }
    // A log of its own for each port: processes that serve ports side by
    // side must not write and rotate one file.
    InitLog(sPort.isEmpty() ? QString() : Logging::FileSuffix(sPort));
    s_out.Setup(eMode, sCommand, sPort);
    // The window's object. Its worker thread starts at once.
    QSerialUser &user = *QSerialUser::instance();

    // A stop signal winds the job up instead of killing the program: a
    // transfer is cancelled on the line, an export keeps what arrived and the
    // device is told to leave its record stream; the run loops then end with
    // the job. A second signal ends the program without waiting.
    QuitOnSignal stopSignals;
    stopSignals.SetQuitAtOnce(false);
#ifdef Q_OS_UNIX
    if (qEnvironmentVariableIsSet(kChildVariable)) {
        // Started for one of several ports: Ctrl+C reaches the whole process
        // group, and the run over the ports passes it on as SIGTERM; taken
        // twice, it would end this job without winding it up.
        ::signal(SIGINT, SIG_IGN);
    }
#endif
    QObject::connect(&stopSignals, &QuitOnSignal::signal_Received, &user, [&](const QString &sSignal) {
        if (!s_sInterruptedBy.isEmpty()) {
            KP_LOG_INFO("{} again: quitting without waiting for the job's end", sSignal);
            QCoreApplication::exit(0);
            return;
        }
        s_sInterruptedBy = sSignal;
        s_out.Event(QStringLiteral("signal"), QStringLiteral("%1 received, stopping the %2").arg(sSignal, sCommand));
        if (!user.Interrupt(sSignal)) {
            QCoreApplication::exit(0);
        }
    });
    int nExit = ExitCommand;
    if (sCommand == QLatin1String("info")) {
        nExit = RunInfo(user, sPort);
    } else if (sCommand == QLatin1String("export")) {
        nExit = RunExport(user, sPort, args.at(1));
    } else {
        nExit = RunUpgrade(user, sPort, args.at(1));
    }
    // A job that completed in spite of the signal keeps its success; one
    // that failed because of it said so in its outcome.
    if (nExit == ExitInterrupted) {
        KP_LOG_INFO("kestrelpack-cli: {} interrupted", sCommand + QStringLiteral(" by ") + s_sInterruptedBy);
    }
    // The worker's thread is ended and joined while the application object
    // still exists. Left to the static pointer's release among the exit
    // handlers, it ran (or only began) after Qt's own statics were gone: a
    // job that returned at once, such as an unreadable firmware file, ended
    // in a double free.
    QSerialUser::ReleaseInstance();
    return nExit;
}
