#include "transfer/qserialuser.h"

#include "app/logging.h"
#include "device/devicecommands.h"
#include "device/devicelink.h"
#include "device/serialworker.h"
#include "device/waits.h"
#include "transfer/joblog.h"
#include "transfer/upgradecheck.h"

#include <QDebug>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QMetaType>
#include <QMutex>
#include <QMutexLocker>
#include <QTimer>

namespace {

QSharedPointer<QSerialUser> s_pInstance;
QMutex s_instanceMutex;

// The step an upgrade's preparation failed in, as a result type.
int PreparationStep(QSerialUser::UpgradeFailure eFailure)
{
    switch (eFailure) {
    case QSerialUser::FailureLineBusy:
        return DeviceCodes::RT_LineBusy;
    case QSerialUser::FailureBootLoader:
        return DeviceCodes::RT_EnterBootMode;
    case QSerialUser::FailureTransmit:
        return DeviceCodes::RT_StartTransmit;
    default:
        return DeviceCodes::RT_OpenPort;
    }
}

} // namespace

QSharedPointer<QSerialUser> QSerialUser::instance()
{
    if (s_pInstance.isNull()) {
        QMutexLocker locker(&s_instanceMutex);
        if (s_pInstance.isNull()) {
            s_pInstance.reset(new QSerialUser);
        }
    }
    return s_pInstance;
}

void QSerialUser::ReleaseInstance()
{
    QMutexLocker locker(&s_instanceMutex);
    s_pInstance.reset();
}

QSerialUser::QSerialUser(QObject *parent) : QObject(parent)
{
    m_pSerialWorker = new SerialWorker;
    m_pLink = new DeviceLink(DeviceLink::kCoordinatorWindows, "QSerialUser", this);
    m_pCommands = new DeviceCommands(*m_pLink);
    m_pCheck = new UpgradeCheck(*m_pLink, *m_pCommands);
    m_pYmodem = new YmodemFileTransmit;
    m_pPreparation = new UpgradePreparation(*m_pLink, *m_pCommands, *m_pYmodem);

    qRegisterMetaType<YmodemFileTransmit::YmodemStatus>("YmodemFileTransmit::YmodemStatus");

    connect(m_pLink, &DeviceLink::signal_ReadyReadQuit, this, &QSerialUser::signal_ReadyReadQuit);
    connect(m_pLink, &DeviceLink::signal_LineBusy, this, [this](int nSeconds) {
        KP_LOG_INFO(QStringLiteral("Upgrade: the device on %1 is still sending its records; waiting up to %2 s")
                        .arg(m_pLink->SerialPort()->portName())
                        .arg(nSeconds));
        emit signal_SendResult(FT_Upgrade, RT_LineBusy, true, QString::number(nSeconds));
    });
    connect(m_pYmodem, &YmodemFileTransmit::TransmitProgress, this, &QSerialUser::slot_TransmitProgress);
    connect(m_pYmodem, &YmodemFileTransmit::TransmitStatus, this, &QSerialUser::slot_TransmitStatus);
    // The transmitter's final status ends "transmitting".
    connect(m_pYmodem, &YmodemFileTransmit::TransmitProgress, this, [this](int nProgress) {
        m_nUpgradeProgress = nProgress;
    });
    connect(m_pYmodem, &YmodemFileTransmit::TransmitStatus, this, [this](YmodemFileTransmit::YmodemStatus status) {
        if (status >= YmodemFileTransmit::StatusDone) {
            m_bTransmitting = false;
            EndTransfer(status);
        }
    });
    // Both come from the worker's thread in this order: the reason is at
    // hand when its failure's report arrives.
    connect(m_pSerialWorker, &SerialWorker::signal_FailureReason, this,
            [this](int nKind, const QString &sEnglish, const QString &sPort) {
                m_nWorkerKind = nKind;
                m_sWorkerReason = sEnglish;
                m_sWorkerPort = sPort;
            });
    connect(m_pSerialWorker, &SerialWorker::signal_SendResult, this, &QSerialUser::slot_SendResult);
    connect(m_pSerialWorker, &SerialWorker::signal_DeviceFound, this, [this](const QString &sPort) {
        if (!m_workerJobs.isEmpty()) {
            m_workerJobs.first().sPort = sPort;
        }
        // The next upgrade tries first where the device was found last, by
        // whichever job: without it, the first upgrade after an information
        // or export job searched every port again.
        if (!m_bPreparing && !m_bTransmitting) {
            m_pLink->RememberPort(sPort);
        }
    });
    connect(m_pSerialWorker, &SerialWorker::signal_RequestFinished, this, [this]() {
        m_nWorkerJobs = qMax(0, m_nWorkerJobs - 1);
        if (!m_workerJobs.isEmpty()) {
            LogWorkerJobEnd(m_workerJobs.takeFirst());
        }
        emit signal_RequestFinished();
        EmitIdleIfIdle();
    });
}

QSerialUser::~QSerialUser()
{
    delete m_pPreparation;
    m_pPreparation = nullptr;
    delete m_pYmodem;
    m_pYmodem = nullptr;
    delete m_pCheck;
    m_pCheck = nullptr;
    delete m_pCommands;
    m_pCommands = nullptr;
    // Joins the worker's thread.
    delete m_pSerialWorker;
    m_pSerialWorker = nullptr;
}

QString QSerialUser::PortName() const
{
    return m_pLink->PortName();
}

void QSerialUser::SetPortName(const QString &sPortName)
{
    m_pLink->SetPortName(sPortName);
}

int QSerialUser::DeviceMode() const
{
    return m_pLink->DeviceMode();
}

// ---------------------------------------------------------------------------
// Jobs

bool QSerialUser::StartUpgrade(QString sFilePath)
{
    // A second start from inside one of this upgrade's waits (or while its
    // file is being sent, or the device's answer awaited) would replace the
    // port under the running steps.
    if (m_bPreparing || m_bTransmitting || m_bVerifying) {
        m_eUpgradeFailure = FailureBusy;
        m_error = ReasonText::Tr("QSerialUser", QT_TRANSLATE_NOOP("QSerialUser", "Upgrade already running"),
                                 FailureKind::Busy);
        KP_LOG_INFO(m_error.sEnglish);
        emit signal_FailureKind(FT_Upgrade, RT_OpenPort, static_cast<int>(m_error.eKind), QString());
        return false;
    }
    // From here on, requests for the worker are held until the upgrade ends.
    m_bPreparing = true;
    m_eUpgradeFailure = FailureNone;
    m_nUpgradeProgress = 0;
    m_upgradeTimer.start();
    m_sUpgradeFile = sFilePath;
    m_pLink->ResumeWaits();
    m_pPreparation->Resume();
    KP_LOG_INFO("Job start: upgrade with {}", QStringLiteral("\"%1\" (%2 bytes), port %3")
                                                  .arg(QDir::toNativeSeparators(sFilePath),
                                                       QString::number(QFileInfo(sFilePath).size()),
                                                       m_pLink->PortName().isEmpty() ? QStringLiteral("to be found")
                                                                                     : m_pLink->PortName()));
    UpgradeFailure eFailure = FailureNone;
    const bool bStarted = Prepare(sFilePath, eFailure);
    m_bPreparing = false;
    if (!bStarted) {
        m_eUpgradeFailure = eFailure;
        emit signal_FailureKind(FT_Upgrade, PreparationStep(eFailure), static_cast<int>(m_error.eKind),
                                m_error.sPort);
        const QString sInterrupted =
            m_sInterruptCause.isEmpty() ? QString() : QStringLiteral(", interrupted by %1").arg(m_sInterruptCause);
        KP_LOG_INFO(QStringLiteral("Job end: upgrade failed before the transfer (%1%2, port %3, after %4 s): %5")
                        .arg(QLatin1String(JobLog::UpgradeFailureName(eFailure)), sInterrupted, m_pLink->PortName(),
                             JobLog::Seconds(m_upgradeTimer), m_error.sEnglish));
        KP_LOG_INFO(m_error.sEnglish);
        RecordUpgrade(m_error.eKind == FailureKind::None ? FailureKind::CommandFailed : m_error.eKind,
                      m_error.sEnglish, QString());
        m_sInterruptCause.clear();
        ReleaseHeldRequests();
        EmitIdleIfIdle();
        return false;
    }
    m_bTransmitting = true;
    // A start refused from inside this one's waits set its own failure.
    m_eUpgradeFailure = FailureNone;
    KP_LOG_INFO("Upgrade: boot loader ready on {}, sending", m_pLink->PortName());
    return true;
}

bool QSerialUser::Prepare(const QString &sFilePath, UpgradeFailure &eFailure)
{
    // The worker's request (information, export) holds the port until its
    // final report: its end is awaited, not fought over.
    if (!WaitForWorkerIdle()) {
        m_error = ReasonText::Tr("QSerialUser",
                                 QT_TRANSLATE_NOOP("QSerialUser", "The device is busy with another job"),
                                 FailureKind::Busy);
        eFailure = FailureBusy;
        return false;
    }
    const bool bStarted = m_pPreparation->Run(sFilePath);
    m_error = m_pPreparation->Error();
    eFailure = m_pPreparation->Failure();
    if (eFailure == FailureLineBusy) {
        emit signal_SendResult(FT_Upgrade, RT_LineBusy, false, m_error.sShown);
    }
    return bStarted;
}

bool QSerialUser::WaitForWorkerIdle()
{
    if (m_nWorkerJobs == 0) {
        return true;
    }
    qDebug() << "QSerialUser: upgrade waits for the running job to end";
    QEventLoop loop;
    const QMetaObject::Connection finished =
        connect(this, &QSerialUser::signal_RequestFinished, &loop, [this, &loop]() {
            if (m_nWorkerJobs == 0) {
                loop.quit();
            }
        });
    QTimer::singleShot(Waits::Current().nJobWaitMs, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
    disconnect(finished);
    return m_nWorkerJobs == 0;
}

void QSerialUser::SubmitToWorker(WorkerJob job)
{
    if (m_bPreparing || m_bTransmitting || m_bVerifying) {
        qDebug() << "QSerialUser: request held until the upgrade ends";
        m_heldRequests.append(std::move(job));
        return;
    }
    Dispatch(std::move(job));
}

void QSerialUser::Dispatch(WorkerJob job)
{
    KP_LOG_INFO("Job start: {}", job.sName + job.sDetail);
    job.timer.start();
    ++m_nWorkerJobs;
    const std::function<void()> emitRequest = job.emitRequest;
    m_workerJobs.append(std::move(job));
    emitRequest();
}

void QSerialUser::ReleaseHeldRequests()
{
    const QList<WorkerJob> held = m_heldRequests;
    m_heldRequests.clear();
    for (const WorkerJob &job : held) {
        Dispatch(job);
    }
}

void QSerialUser::StartGetVersionAndSN()
{
    WorkerJob job;
    job.sName = QStringLiteral("information");
    job.nFunctionType = FT_DeviceInfo;
    job.emitRequest = [this]() { emit m_pSerialWorker->signal_StartGetVersionAndSN(); };
    SubmitToWorker(std::move(job));
}

void QSerialUser::StartExportLogInfo(QString sDirPath)
{
    WorkerJob job;
    job.sName = QStringLiteral("export");
    job.sDetail = QStringLiteral(" into \"%1\"").arg(QDir::toNativeSeparators(sDirPath));
    job.nFunctionType = FT_ExportLog;
    job.emitRequest = [this, sDirPath]() { emit m_pSerialWorker->signal_StartExportLogInfo(sDirPath); };
    SubmitToWorker(std::move(job));
}

bool QSerialUser::Interrupt(const QString &sCause)
{
    if (!m_heldRequests.isEmpty()) {
        KP_LOG_INFO("Interrupted by {}: requests waiting for the upgrade's end are dropped", sCause);
        m_heldRequests.clear();
    }
    if (IsIdle()) {
        return false;
    }
    m_sInterruptCause = sCause;
    if (m_bTransmitting) {
        KP_LOG_INFO("Upgrade interrupted by {}", QStringLiteral("%1 at %2 %: transfer cancelled; the device stays in its "
                                                                 "boot loader until the next upgrade")
                                                      .arg(sCause)
                                                      .arg(m_nUpgradeProgress));
        m_pYmodem->CancelTransmit();
    } else if (m_bPreparing) {
        KP_LOG_INFO("Upgrade interrupted by {}", QStringLiteral("%1 before the transfer: the device's waits end now "
                                                                 "and nothing more is sent to it; a device already "
                                                                 "sent to its boot loader stays there until the next "
                                                                 "upgrade")
                                                      .arg(sCause));
        // The preparation looks before each step that writes to the device.
        m_pPreparation->Stop();
        m_pLink->AbortWaits();
    } else if (m_bVerifying) {
        KP_LOG_INFO("Upgrade interrupted by {}", QStringLiteral("%1 while the device's answer was awaited: the "
                                                                 "transfer had completed")
                                                      .arg(sCause));
        m_bVerifyAborted = true;
        m_pLink->AbortWaits();
        m_pCheck->Abort();
    }
    for (const WorkerJob &job : qAsConst(m_workerJobs)) {
        if (job.nFunctionType == FT_ExportLog) {
            KP_LOG_INFO("Export interrupted by {}", sCause + QStringLiteral(": the collection stops; the report keeps "
                                                                            "what arrived and the device is told to "
                                                                            "leave its record stream"));
        } else {
            KP_LOG_INFO("Information request interrupted by {}", sCause + QStringLiteral(": it runs to its end"));
        }
    }
    if (m_nWorkerJobs > 0) {
        emit m_pSerialWorker->signal_StopRequest();
    }
    return true;
}

void QSerialUser::EmitIdleIfIdle()
{
    if (IsIdle()) {
        m_sInterruptCause.clear();
        emit signal_Idle();
    }
}

void QSerialUser::LogWorkerJobEnd(const WorkerJob &job)
{
    KP_LOG_INFO("Job end: {}", JobLog::WorkerJobEnd(job.sName, job.nFailedStep, job.sReason, job.sPort, job.sReport,
                                                    m_sInterruptCause));
    JobRecorder::End end;
    end.sJob = job.sName;
    end.sPort = job.sPort.isEmpty() ? job.sFailurePort : job.sPort;
    if (job.nFunctionType == FT_DeviceInfo && job.nFailedStep == RT_ExitCtrlMode) {
        // The information was read; only leaving control mode failed, which
        // both programs tell as a warning.
        end.sReason = QStringLiteral("warning: ") + job.sReason;
    } else if (job.nFailedStep >= 0) {
        // A failed step whose kind went unsaid still failed the job.
        end.eKind = job.nKind > 0 ? FailureKind(job.nKind) : FailureKind::CommandFailed;
        end.sReason = job.sReason;
    }
    end.sDeviceSerial = job.sSerial;
    end.sVersionBefore = job.sVersion;
    end.sVersionAfter = job.sVersion;
    end.sReportPath = job.sReport;
    end.nDurationMs = job.timer.isValid() ? job.timer.elapsed() : -1;
    emit signal_JobRecorded(ServiceHistory::JsonOf(m_recorder.Record(end)));
}

void QSerialUser::RecordUpgrade(FailureKind eKind, const QString &sReason, const QString &sVersionAfter)
{
    JobRecorder::End end;
    end.sJob = QStringLiteral("upgrade");
    end.sPort = m_pLink->PortName();
    end.eKind = eKind;
    end.sReason = sReason;
    end.sVersionBefore = m_pPreparation->VersionBefore();
    end.sDeviceSerial = m_pPreparation->SerialBefore();
    end.sVersionAfter = sVersionAfter;
    end.sFirmwarePath = m_sUpgradeFile;
    end.nDurationMs = m_upgradeTimer.isValid() ? m_upgradeTimer.elapsed() : -1;
    emit signal_JobRecorded(ServiceHistory::JsonOf(m_recorder.Record(end)));
}

QString QSerialUser::TransferEndText(YmodemFileTransmit::YmodemStatus status) const
{
    return JobLog::TransferEnd(status, m_sInterruptCause, m_pLink->PortName(), m_nUpgradeProgress, m_upgradeTimer,
                               status == YmodemFileTransmit::StatusDone && m_pYmodem->ClosingUnconfirmed());
}

void QSerialUser::EndTransfer(YmodemFileTransmit::YmodemStatus status)
{
    if (status != YmodemFileTransmit::StatusDone) {
        KP_LOG_INFO("Job end: upgrade {}", TransferEndText(status));
        RecordUpgrade(TransferFailureKind(status), TransferEndText(status), QString());
        ReleaseHeldRequests();
        EmitIdleIfIdle();
        return;
    }
    // Requests held during the upgrade would use the same port: they wait
    // for the device's answer too.
    m_bVerifying = true;
    m_bVerifyAborted = !m_sInterruptCause.isEmpty();
    m_sTransferEnd = TransferEndText(status);
    // Said now as well: a program that ends with the transfer (before the
    // answer) still leaves it in the log.
    KP_LOG_INFO("Upgrade: transfer {}", QStringLiteral("%1; waiting up to %2 s for the device to answer as "
                                                       "application firmware")
                                            .arg(m_sTransferEnd)
                                            .arg(Waits::Current().nUpgradeAnswerMs / 1000.0, 0, 'f', 1));
    // Not from inside the transmitter's own status signal: the wait runs
    // nested event loops.
    QTimer::singleShot(0, this, &QSerialUser::VerifyUpgrade);
}

void QSerialUser::VerifyUpgrade()
{
    const UpgradeCheck::Word word = m_pCheck->Await(Waits::Current().nUpgradeAnswerMs, m_bVerifyAborted);
    // The transfer completed, but a device whose boot loader answers again
    // runs no firmware; one that confirmed neither the transfer's end (its
    // closing header) nor its new firmware may have taken nothing: either
    // upgrade failed.
    FailureKind eKind = FailureKind::None;
    if (word.bBootLoader) {
        eKind = FailureKind::FirmwareNotStarted;
    } else if (!word.bAnswered && m_pYmodem->ClosingUnconfirmed()) {
        eKind = FailureKind::NotConfirmed;
    }
    const QString sHow = eKind == FailureKind::FirmwareNotStarted
                             ? QStringLiteral("failed, firmware not started: transfer ")
                             : eKind == FailureKind::NotConfirmed ? QStringLiteral("failed, not confirmed: transfer ")
                                                                  : QString();
    const QString sEnd = sHow + m_sTransferEnd + QStringLiteral("; ") + JobLog::DeviceWord(word, m_sInterruptCause);
    KP_LOG_INFO("Job end: upgrade {}", sEnd);
    // The image went across, but a device that did not answer as firmware
    // is no upgrade the record may call done.
    FailureKind eRecorded = eKind;
    if (eKind == FailureKind::None && !word.bAnswered) {
        eRecorded = word.bAborted ? FailureKind::Interrupted : FailureKind::NoAnswer;
    }
    RecordUpgrade(eRecorded, eRecorded == FailureKind::None ? QString() : sEnd, word.sVersion);
    m_bVerifying = false;
    m_bVerifyAborted = false;
    if (eKind != FailureKind::None) {
        emit signal_FailureKind(FT_Upgrade, RT_StartTransmit, static_cast<int>(eKind), m_pLink->PortName());
    }
    emit signal_UpgradeVerified(word.bAnswered, word.sVersion, static_cast<int>(eKind),
                                m_pPreparation->VersionBefore());
    ReleaseHeldRequests();
    EmitIdleIfIdle();
}

// ---------------------------------------------------------------------------
// Relays

void QSerialUser::slot_TransmitProgress(int nProgressValue)
{
    emit signal_TransmitProgress(nProgressValue);
}

void QSerialUser::slot_TransmitStatus(YmodemFileTransmit::YmodemStatus status)
{
    if (status > YmodemFileTransmit::StatusDone) {
        emit signal_FailureKind(FT_Upgrade, RT_StartTransmit, static_cast<int>(TransferFailureKind(status)),
                                m_pYmodem->EndedOnLostLine() ? m_pLink->PortName() : QString());
    }
    emit signal_TransmitStatus(status);
}

FailureKind QSerialUser::TransferFailureKind(YmodemFileTransmit::YmodemStatus status) const
{
    if (status <= YmodemFileTransmit::StatusDone) {
        return FailureKind::None;
    }
    if (m_pYmodem->EndedOnLostLine()) {
        return FailureKind::DeviceLost;
    }
    if (!m_sInterruptCause.isEmpty() && status == YmodemFileTransmit::StatusCancelled) {
        return FailureKind::Interrupted;
    }
    // A receiver that refuses the image cancels at once; one that gives up
    // on a block arriving damaged, or a transmitter that does, has NAKed that
    // block first.
    if (m_pYmodem->NakCount() >= kNoisyLineNaks) {
        return FailureKind::NoisyLine;
    }
    switch (status) {
    case YmodemFileTransmit::StatusCancelled:
        return FailureKind::ReceiverCancelled;
    case YmodemFileTransmit::StatusTimeOut:
        return FailureKind::TransferTimedOut;
    default:
        return FailureKind::TransferFailed;
    }
}

void QSerialUser::slot_SendResult(int nFunctionType, int nResultType, bool bRet, QString sMes)
{
    qDebug().noquote() << QStringLiteral("QSerialUser: ") + sMes;
    if (!bRet && !m_workerJobs.isEmpty() && m_workerJobs.first().nFunctionType == nFunctionType
        && m_workerJobs.first().nFailedStep < 0) {
        m_workerJobs.first().nFailedStep = nResultType;
        m_workerJobs.first().sReason = m_sWorkerReason.isEmpty() ? sMes : m_sWorkerReason;
        m_workerJobs.first().nKind = m_nWorkerKind;
        m_workerJobs.first().sFailurePort = m_sWorkerPort;
    }
    if (bRet && !m_workerJobs.isEmpty() && m_workerJobs.first().nFunctionType == nFunctionType) {
        if (nResultType == RT_Version) {
            m_workerJobs.first().sVersion = sMes;
        } else if (nResultType == RT_SN) {
            m_workerJobs.first().sSerial = sMes;
        }
    }
    if (!bRet) {
        emit signal_FailureKind(nFunctionType, nResultType, m_nWorkerKind, m_sWorkerPort);
        m_nWorkerKind = 0;
        m_sWorkerReason.clear();
        m_sWorkerPort.clear();
    }
    if (bRet && nResultType == RT_ReportFile && !m_workerJobs.isEmpty()) {
        m_workerJobs.first().sReport = sMes;
    }
    emit signal_SendResult(nFunctionType, nResultType, bRet, sMes);
}
