#include "transfer/qserialuser.h"

#include "app/logging.h"
#include "device/devicecommands.h"
#include "device/devicelink.h"
#include "device/serialworker.h"
#include "device/waits.h"

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
    m_pYmodem = new YmodemFileTransmit;

    qRegisterMetaType<YmodemFileTransmit::YmodemStatus>("YmodemFileTransmit::YmodemStatus");

    connect(m_pLink, &DeviceLink::signal_ReadyReadQuit, this, &QSerialUser::signal_ReadyReadQuit);
    connect(m_pYmodem, &YmodemFileTransmit::TransmitProgress, this, &QSerialUser::slot_TransmitProgress);
    connect(m_pYmodem, &YmodemFileTransmit::TransmitStatus, this, &QSerialUser::slot_TransmitStatus);
    // Only the transmitter's own final status ends "transmitting"; the
    // worker's relayed statuses belong to its own transfers.
    connect(m_pYmodem, &YmodemFileTransmit::TransmitStatus, this, [this](YmodemFileTransmit::YmodemStatus status) {
        if (status >= YmodemFileTransmit::StatusDone) {
            m_bTransmitting = false;
            ReleaseHeldRequests();
        }
    });
    connect(m_pSerialWorker, &SerialWorker::signal_TransmitProgress, this, &QSerialUser::slot_TransmitProgress);
    connect(m_pSerialWorker, &SerialWorker::signal_TransmitStatus, this, &QSerialUser::slot_TransmitStatus);
    connect(m_pSerialWorker, &SerialWorker::signal_SendResult, this, &QSerialUser::slot_SendResult);
    connect(m_pSerialWorker, &SerialWorker::signal_RequestFinished, this, [this]() {
        m_nWorkerJobs = qMax(0, m_nWorkerJobs - 1);
        emit signal_RequestFinished();
    });
}

QSerialUser::~QSerialUser()
{
    delete m_pYmodem;
    m_pYmodem = nullptr;
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
    // file is being sent) would replace the port under the running steps.
    if (m_bPreparing || m_bTransmitting) {
        m_eUpgradeFailure = FailureBusy;
        m_sErrorMessage = tr("Upgrade already running");
        KP_LOG_INFO(m_sErrorMessage);
        return false;
    }
    // From here on, requests for the worker are held until the upgrade ends.
    m_bPreparing = true;
    m_eUpgradeFailure = FailureNone;
    UpgradeFailure eFailure = FailureNone;
    const bool bStarted = Prepare(sFilePath, eFailure);
    m_bPreparing = false;
    if (!bStarted) {
        m_eUpgradeFailure = eFailure;
        KP_LOG_INFO(m_sErrorMessage);
        ReleaseHeldRequests();
        return false;
    }
    m_bTransmitting = true;
    // A start refused from inside this one's waits set its own failure.
    m_eUpgradeFailure = FailureNone;
    return true;
}

bool QSerialUser::Prepare(const QString &sFilePath, UpgradeFailure &eFailure)
{
    // The worker's request (information, export) holds the port until its
    // final report: its end is awaited, not fought over.
    if (!WaitForWorkerIdle()) {
        m_sErrorMessage = tr("The device is busy with another job");
        eFailure = FailureBusy;
        return false;
    }
    m_pLink->SetDeviceMode(ModeUnknown);
    if (!m_pLink->OpenSerialPort()) {
        m_sErrorMessage = m_pLink->ErrorMessage();
        eFailure = FailureOpenPort;
        return false;
    }
    // Checked before the device is sent to its boot loader: brought there
    // for a file that cannot be sent, it would stay there for nothing.
    const QFileInfo file(sFilePath);
    if (!file.isFile() || !file.isReadable()) {
        m_pLink->ClosePort();
        m_sErrorMessage = tr("Cannot read the firmware file %1").arg(QDir::toNativeSeparators(sFilePath));
        eFailure = FailureTransmit;
        return false;
    }
    // An empty image would go out as a header and an EOT and be reported as
    // an upgrade, leaving the device with no firmware to start.
    if (file.size() == 0) {
        m_pLink->ClosePort();
        m_sErrorMessage = tr("The firmware file %1 is empty").arg(QDir::toNativeSeparators(sFilePath));
        eFailure = FailureTransmit;
        return false;
    }
    bool bReady = true;
    if (m_pLink->DeviceMode() == ModeBootMenu) {
        bReady = m_pCommands->EnterYmodem();
    } else if (m_pLink->DeviceMode() != ModeYmodem) {
        bReady = m_pCommands->EnterBootMode();
    }
    // The transmitter opens the same port with a port object of its own.
    m_pLink->ClosePort();
    if (!bReady) {
        m_sErrorMessage = m_pLink->ErrorMessage();
        eFailure = FailureBootLoader;
        return false;
    }
    m_pYmodem->SetFileName(sFilePath);
    m_pYmodem->SetPortName(m_pLink->PortName());
    if (!m_pYmodem->StartTransmit()) {
        m_sErrorMessage = tr("StartYmodemTransmit fail");
        eFailure = FailureTransmit;
        return false;
    }
    return true;
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

void QSerialUser::SubmitToWorker(std::function<void()> emitRequest)
{
    if (m_bPreparing || m_bTransmitting) {
        qDebug() << "QSerialUser: request held until the upgrade ends";
        m_heldRequests.append(std::move(emitRequest));
        return;
    }
    ++m_nWorkerJobs;
    emitRequest();
}

void QSerialUser::ReleaseHeldRequests()
{
    const QList<std::function<void()>> held = m_heldRequests;
    m_heldRequests.clear();
    for (const std::function<void()> &emitRequest : held) {
        ++m_nWorkerJobs;
        emitRequest();
    }
}

void QSerialUser::StartGetVersionAndSN()
{
    SubmitToWorker([this]() { emit m_pSerialWorker->signal_StartGetVersionAndSN(); });
}

void QSerialUser::StartExportLogInfo(QString sDirPath)
{
    SubmitToWorker([this, sDirPath]() { emit m_pSerialWorker->signal_StartExportLogInfo(sDirPath); });
}

// ---------------------------------------------------------------------------
// Relays

void QSerialUser::slot_TransmitProgress(int nProgressValue)
{
    emit signal_TransmitProgress(nProgressValue);
}

void QSerialUser::slot_TransmitStatus(YmodemFileTransmit::YmodemStatus status)
{
    emit signal_TransmitStatus(status);
}

void QSerialUser::slot_SendResult(int nFunctionType, int nResultType, bool bRet, QString sMes)
{
    qDebug().noquote() << QStringLiteral("QSerialUser: ") + sMes;
    emit signal_SendResult(nFunctionType, nResultType, bRet, sMes);
}
