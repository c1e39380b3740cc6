#ifndef QSERIALUSER_H
#define QSERIALUSER_H

#include "device/devicecodes.h"
#include "device/reasontext.h"
#include "transfer/upgradepreparation.h"
#include "transfer/ymodemfiletransmit.h"

#include "transfer/jobrecorder.h"

#include <QElapsedTimer>
#include <QJsonObject>
#include <QList>
#include <QObject>
#include <QSharedPointer>
#include <QString>

#include <functional>

class DeviceCommands;
class UpgradeCheck;
class QEventLoop;
class DeviceLink;
class SerialWorker;

// The one object through which the pages reach the device, and the one that
// decides who may use the line.
//
// Information and report requests are handed to the worker (SerialWorker,
// which runs them on its own thread); their outcomes come back through
// signal_SendResult. The firmware upgrade is prepared here, on the thread
// that created this object (the interface thread), over a link of its own
// with the same command set as the worker's: StartUpgrade (UpgradePreparation)
// finds the device, brings it into its boot loader's YMODEM receiver with
// nested local waits, and starts the firmware transmitter, whose progress and
// status then arrive as signals.
//
// A completed transfer says only that the boot loader took the last block.
// The upgrade then waits (up to Waits::nUpgradeAnswerMs) for the device to
// answer on the same port as application firmware and reads its version:
// signal_UpgradeVerified tells what it said. A boot loader that still answers
// at the end of that wait took the file and did not start it: the upgrade
// failed (FailureKind::FirmwareNotStarted); so did one whose device confirmed
// neither the transfer's end nor its new firmware (NotConfirmed).
//
// One job at a time on the line: an upgrade started while the worker still
// runs a request waits for its end (up to Waits::nJobWaitMs, then it fails
// as busy), and a request made while an upgrade is prepared, sent or awaits
// the device's answer is held until the upgrade has ended.
class QSerialUser : public QObject, public DeviceCodes, public UpgradeFailures
{
    Q_OBJECT

public:
    // The process-wide instance, created on first use (on the calling thread,
    // which must be the interface thread).
    static QSharedPointer<QSerialUser> instance();
    // Drops the process-wide reference. The program calls it when its event
    // loop has ended, so that the worker's thread, a transfer's timers and an
    // unfinished report are wound up while the application object still
    // exists, not during static destruction after it.
    static void ReleaseInstance();

    explicit QSerialUser(QObject *parent = nullptr);
    ~QSerialUser() override;

    // Finds the device, brings it into its boot loader's receiver and starts
    // sending the file. True once the transfer has started; its end comes as
    // signal_TransmitStatus with StatusDone or above. False (with the reason
    // in ErrorMessage and LastUpgradeFailure) when it could not start. Also
    // refused while an earlier upgrade is still being prepared, sent or
    // awaiting the device's answer.
    bool StartUpgrade(QString sFilePath);
    // Where every job's end is recorded (the service history); empty keeps
    // none. The window and the command line give the data folder's.
    void SetHistoryFile(const QString &sFile) { m_recorder.SetFile(sFile); }
    void StartGetVersionAndSN();
    void StartExportLogInfo(QString sDirPath);

    // Winds up the running job because the program is being stopped (sCause
    // names what stopped it, in English: "SIGINT", "window closed"): a
    // transfer is cancelled on the line (one still being prepared as soon as
    // it starts), an export stops through its normal end (the report keeps
    // what arrived, the device is told to leave its record stream), an
    // information request runs to its end; requests held for later are
    // dropped; the wait for the device's answer after a completed transfer
    // ends. The log says what was interrupted and where the device is.
    // True when a job is still running: signal_Idle follows when it has ended.
    bool Interrupt(const QString &sCause);
    // An upgrade is being prepared or sent.
    bool IsUpgrading() const { return m_bPreparing || m_bTransmitting; }
    // The transfer has completed; the device's answer is awaited.
    bool IsVerifying() const { return m_bVerifying; }
    bool IsIdle() const { return !IsUpgrading() && !m_bVerifying && m_nWorkerJobs == 0; }

    QString PortName() const;
    // The port tried first by the next upgrade (the one that answered last).
    void SetPortName(const QString &sPortName);
    int DeviceMode() const;
    QString ErrorMessage() const { return m_error.sShown; }
    UpgradeFailure LastUpgradeFailure() const { return m_eUpgradeFailure; }
    // The kind of the last StartUpgrade's failure.
    FailureKind LastUpgradeFailureKind() const { return m_error.eKind; }
    // The port it concerns, where it named one.
    QString LastUpgradeFailurePort() const { return m_error.sPort; }
    // The last StartUpgrade sent the device into its boot loader (it stays
    // there when the upgrade then failed or was stopped).
    bool LastUpgradeBootSent() const { return m_pPreparation->BootSent(); }
    // The last transfer failed because the line was lost (the device gone).
    bool TransferLineLost() const { return m_pYmodem->EndedOnLostLine(); }
    // Why the last transfer failed: DeviceLost, NoisyLine (the block it ended
    // on was sent again and again first), ReceiverCancelled, TransferTimedOut
    // or TransferFailed. None after a completed one.
    FailureKind TransferFailureKind(YmodemFileTransmit::YmodemStatus status) const;
    // Refusals (NAKs) of the block in flight when a transfer failed from
    // which on the line counts as noisy. Refusals of blocks that arrived in
    // the end do not count: a receiver that NAKs a few early blocks (while it
    // erases its flash) and later cancels has refused the file, not the line.
    static constexpr uint32_t kNoisyLineNaks = 3;

signals:
    // A job's end as the service history recorded it (JSON, one member per
    // column), just before the job's own end signal.
    void signal_JobRecorded(const QJsonObject &record);
    void signal_TransmitProgress(int nProgressValue);
    void signal_TransmitStatus(YmodemFileTransmit::YmodemStatus status);
    // After a completed transfer: whether the device answered as application firmware within the
    // bounded wait, and the version it reported (empty when it could not be read); nFailureKind
    // (FailureKind): None, or why the upgrade failed after all, FirmwareNotStarted (its boot
    // loader answers again) or NotConfirmed (neither the closing header nor the firmware
    // answered); the kind came first through signal_FailureKind. sVersionBefore: what the device
    // ran before it was sent to its boot loader (empty when not known).
    void signal_UpgradeVerified(bool bAnswered, const QString &sVersion, int nFailureKind,
                                const QString &sVersionBefore);
    void signal_SendResult(int nFunctionType, int nResultType, bool bRet, QString sMes);
    // A failure's kind (FailureKind) and the port it concerns (empty: none
    // known), for callers that act on it: just before each failure of a
    // request that signal_SendResult reports; once before an upgrade's
    // preparation returns false (after its RT_LineBusy report, if any); and
    // before a failed transfer's final status, as RT_StartTransmit.
    void signal_FailureKind(int nFunctionType, int nResultType, int nKind, const QString &sPort);
    // The boot loader is ready (relayed from the link).
    void signal_ReadyReadQuit();
    // The worker has sent the final report of a request.
    void signal_RequestFinished();
    // No job is left running (after a request's end, or an upgrade's end
    // with the device's answer).
    void signal_Idle();

public slots:
    void slot_TransmitProgress(int nProgressValue);
    void slot_TransmitStatus(YmodemFileTransmit::YmodemStatus status);
    void slot_SendResult(int nFunctionType, int nResultType, bool bRet, QString sMes);

private:
    // A request for the worker, with what the diagnostic log says about it.
    struct WorkerJob
    {
        QString sName;       // "information", "export"
        QString sDetail;     // for the start line, e.g. the report folder
        int nFunctionType = FT_DeviceInfo;
        std::function<void()> emitRequest;
        int nFailedStep = -1;   // the first failed step's result type
        QString sReason;        // and its reason, in English
        QString sPort;          // where the device was found
        QString sReport;        // the report or partial file written
        int nKind = 0;          // the first failure's kind, and the port it concerns
        QString sFailurePort;
        QString sSerial;        // the device's serial number and version, as read
        QString sVersion;
        QElapsedTimer timer;    // since the job was handed to the worker
    };
    // Hands a request to the worker, or holds it while an upgrade runs.
    void SubmitToWorker(WorkerJob job);
    // Logs the job's start and hands it to the worker.
    void Dispatch(WorkerJob job);
    void LogWorkerJobEnd(const WorkerJob &job);
    // The transfer's end: the upgrade's "Job end" line, or (completed) the
    // wait for the device's answer, which writes it.
    void EndTransfer(YmodemFileTransmit::YmodemStatus status);
    QString TransferEndText(YmodemFileTransmit::YmodemStatus status) const;
    // Waits for the device to answer as application firmware on the
    // upgrade's port (UpgradeCheck), then ends the upgrade.
    void VerifyUpgrade();
    void EmitIdleIfIdle();
    // The upgrade has ended (or never started): held requests go out.
    void ReleaseHeldRequests();
    // Waits until the worker has no request left; false when the wait ran out.
    bool WaitForWorkerIdle();
    bool Prepare(const QString &sFilePath, UpgradeFailure &eFailure);

    SerialWorker *m_pSerialWorker = nullptr;
    DeviceLink *m_pLink = nullptr;
    DeviceCommands *m_pCommands = nullptr;
    UpgradeCheck *m_pCheck = nullptr;
    UpgradePreparation *m_pPreparation = nullptr;
    YmodemFileTransmit *m_pYmodem = nullptr;
    ReasonText m_error;             // why the last upgrade did not start
    QString m_sWorkerReason;        // the worker's last failure reason, in English
    int m_nWorkerKind = 0;          // and its kind
    QString m_sWorkerPort;          // and the port it concerns

    UpgradeFailure m_eUpgradeFailure = FailureNone;
    bool m_bPreparing = false;      // StartUpgrade is running (its waits are nested loops)
    bool m_bTransmitting = false;   // the transmitter has not sent its final status yet
    bool m_bVerifying = false;      // the transfer completed; the device's answer is awaited
    bool m_bVerifyAborted = false;  // Interrupt ended that wait
    QString m_sTransferEnd;         // the completed transfer's part of the "Job end" line
    int m_nWorkerJobs = 0;          // requests handed to the worker and not finished yet
    QList<WorkerJob> m_heldRequests;
    QList<WorkerJob> m_workerJobs;  // handed to the worker, in the order it runs them

    QString m_sInterruptCause;      // set by Interrupt until the job has ended
    int m_nUpgradeProgress = 0;
    QElapsedTimer m_upgradeTimer;
    QString m_sUpgradeFile;         // the running upgrade's firmware file
    JobRecorder m_recorder;
    // The service history's record of the upgrade's end.
    void RecordUpgrade(FailureKind eKind, const QString &sReason, const QString &sVersionAfter);
};

#endif // QSERIALUSER_H
