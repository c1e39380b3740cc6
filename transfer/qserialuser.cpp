#include "transfer/qserialuser.h"

#include "app/logging.h"
#include "device/portlister.h"
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

QString HexText(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex().toUpper());
}

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
    m_nDeviceMode = ModeUnknown;
    m_bBootReady = false;
    m_pYmodem = new YmodemFileTransmit;
    m_pReadTimer = new QTimer;
    m_pReadTimer->setSingleShot(true);
    // Precise: a coarse timer may fire up to 5 % early.
    m_pReadTimer->setTimerType(Qt::PreciseTimer);
    CreateSerialPort(m_sPortName);

    qRegisterMetaType<YmodemFileTransmit::YmodemStatus>("YmodemFileTransmit::YmodemStatus");

    connect(m_pYmodem, &YmodemFileTransmit::TransmitProgress, this, &QSerialUser::slot_TransmitProgress);
    connect(m_pYmodem, &YmodemFileTransmit::TransmitStatus, this, &QSerialUser::slot_TransmitStatus);
    // Only the transmitter's own final status ends "transmitting"; the
    // worker's relayed statuses belong to its own transfers.
    connect(m_pYmodem, &YmodemFileTransmit::TransmitStatus, this, [this](YmodemFileTransmit::YmodemStatus status) {
        if (status >= YmodemFileTransmit::StatusDone) {
            m_bTransmitting = false;
        }
    });
    connect(&m_serialWorker, &SerialWorker::signal_TransmitProgress, this, &QSerialUser::slot_TransmitProgress);
    connect(&m_serialWorker, &SerialWorker::signal_TransmitStatus, this, &QSerialUser::slot_TransmitStatus);
    connect(&m_serialWorker, &SerialWorker::signal_SendResult, this, &QSerialUser::slot_SendResult);
    connect(&m_serialWorker, &SerialWorker::signal_RequestFinished, this, &QSerialUser::signal_RequestFinished);
    connect(m_pReadTimer, &QTimer::timeout, this, &QSerialUser::slot_ReadCData);
}

QSerialUser::~QSerialUser()
{
    delete m_pYmodem;
    m_pYmodem = nullptr;
    delete m_pReadTimer;
    m_pReadTimer = nullptr;
    delete m_pSerialPort;
    m_pSerialPort = nullptr;
}

// ---------------------------------------------------------------------------
// Requests

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
    m_bPreparing = true;
    m_eUpgradeFailure = FailureNone;
    m_nDeviceMode = ModeUnknown;

    const auto fail = [this](UpgradeFailure eFailure) {
        m_eUpgradeFailure = eFailure;
        m_bPreparing = false;
        KP_LOG_INFO(m_sErrorMessage);
        return false;
    };

    if (!OpenSerialPort()) {
        return fail(FailureOpenPort);
    }
    // Checked before the device is sent to its boot loader: brought there
    // for a file that cannot be sent, it would stay there for nothing.
    const QFileInfo file(sFilePath);
    if (!file.isFile() || !file.isReadable()) {
        ClosePort();
        m_sErrorMessage = tr("Cannot read the firmware file %1").arg(QDir::toNativeSeparators(sFilePath));
        return fail(FailureTransmit);
    }
    bool bReady = true;
    if (m_nDeviceMode == ModeBootMenu) {
        bReady = EnterYmodem();
    } else if (m_nDeviceMode != ModeYmodem) {
        bReady = EnterBootMode();
    }
    // The transmitter opens the same port with a port object of its own.
    ClosePort();
    if (!bReady) {
        return fail(FailureBootLoader);
    }
    if (!SetTransmitFile(sFilePath)) {
        return fail(FailureTransmit);
    }
    if (!StartYmodemTransmit()) {
        m_sErrorMessage = tr("StartYmodemTransmit fail");
        return fail(FailureTransmit);
    }
    m_bTransmitting = true;
    m_bPreparing = false;
    // A start refused from inside this one's waits set its own failure.
    m_eUpgradeFailure = FailureNone;
    return true;
}

void QSerialUser::StartGetVersionAndSN()
{
    emit m_serialWorker.signal_StartGetVersionAndSN();
}

void QSerialUser::StartExportLogInfo(QString sDirPath)
{
    emit m_serialWorker.signal_StartExportLogInfo(sDirPath);
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

// ---------------------------------------------------------------------------
// Serial link

void QSerialUser::CreateSerialPort(const QString &sPortName)
{
    delete m_pSerialPort;
    m_pSerialPort = SerialWorker::NewLinkPort(sPortName);
    connect(m_pSerialPort, &QSerialPort::errorOccurred, this, &QSerialUser::HandlePortError);
    m_bDeviceGone = false;
}

bool QSerialUser::OpenCurrentPort()
{
    m_bDeviceGone = false;
    ++m_nOpenGeneration;
    m_pSerialPort->clearError();
    if (!m_pSerialPort->open(QIODevice::ReadWrite)) {
        qDebug() << "QSerialUser: open" << m_pSerialPort->portName() << "fail:" << m_pSerialPort->errorString();
        return false;
    }
    return true;
}

void QSerialUser::ClosePort()
{
    if (m_pSerialPort->isOpen()) {
        m_pSerialPort->close();
    }
}

bool QSerialUser::OpenSerialPort()
{
    // The port that answered last time is tried first. Only a stream of 'C's
    // (more than three) counts as the boot loader here; a single stray 'C'
    // on a known port is not enough. It counts as opened when it opens, so
    // that a silent device is reported as not answering, not as missing.
    int nOpened = 0;
    if (!m_sPortName.isEmpty()) {
        CreateSerialPort(m_sPortName);
        ClosePort();
        if (OpenCurrentPort()) {
            ++nOpened;
            const QString sProbe = WaitForData(Waits::Current().nUserSavedProbeMs);
            if (!sProbe.isEmpty() && SerialWorker::CountCBytes(sProbe.toLatin1()) > 3) {
                qDebug() << "QSerialUser: boot loader streaming on" << m_sPortName;
                m_nDeviceMode = ModeYmodem;
                return true;
            }
            if (EnterCtrlMode()) {
                return true;
            }
            ClosePort();
        }
    }

    const QList<PortLister::Port> ports = PortLister::AvailablePorts();
    for (const PortLister::Port &port : ports) {
        m_pSerialPort->setPortName(port.sDevicePath);
        ClosePort();
        if (!OpenCurrentPort()) {
            continue;
        }
        m_pSerialPort->flush();
        ++nOpened;
        const QString sProbe = WaitForData(Waits::Current().nUserScanProbeMs);
        if (!sProbe.isEmpty() && SerialWorker::CountCBytes(sProbe.toLatin1()) >= 1) {
            qDebug() << "QSerialUser: boot loader streaming on" << port.sDevicePath;
            m_sPortName = port.sDevicePath;
            m_nDeviceMode = ModeYmodem;
            return true;
        }
        if (EnterCtrlMode()) {
            m_sPortName = port.sDevicePath;
            return true;
        }
        ClosePort();
    }

    m_sErrorMessage = (nOpened == 0) ? tr("No serial port available") : tr("Failed to open serial port");
    qDebug() << "QSerialUser: OpenSerialPort:" << m_sErrorMessage;
    return false;
}

bool QSerialUser::SendBytes(const QByteArray &bytes, const char *szStep, const char *szSendFail)
{
    // A port closed for a lost device is not written to (Qt would only warn).
    if (!m_pSerialPort->isOpen()) {
        qDebug().noquote() << QStringLiteral("%1 send fail:").arg(QLatin1String(szStep)) << "port not open";
        Fail(tr(szSendFail));
        return false;
    }
    m_pSerialPort->write(bytes);
    if (!m_pSerialPort->waitForBytesWritten(Waits::Current().nWriteMs)) {
        qDebug().noquote() << QStringLiteral("%1 send fail:").arg(QLatin1String(szStep))
                           << m_pSerialPort->errorString();
        m_pSerialPort->clearError();
        Fail(tr(szSendFail));
        return false;
    }
    return true;
}

void QSerialUser::RunWaitLoop(QEventLoop &loop, int nWaitMs)
{
    // Precise: Qt's default for long single shots is a coarse timer that may
    // fire up to 5 % early, and these windows must never be shorter.
    QTimer::singleShot(nWaitMs, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    QEventLoop *pOuterLoop = m_pWaitLoop;
    m_pWaitLoop = &loop;
    if (!m_bDeviceGone) {
        loop.exec();
    }
    m_pWaitLoop = pOuterLoop;
    if (m_bDeviceGone) {
        // Closing ends Qt's error reports for the lost line.
        ClosePort();
    }
}

QString QSerialUser::WaitForData(int nWaitMs)
{
    if (!m_pSerialPort->isOpen()) {
        return QString();
    }
    // Bytes may have arrived already (while the command was being written):
    // their readyRead has passed, so they end the wait at once.
    if (m_pSerialPort->bytesAvailable() == 0) {
        QEventLoop loop;
        connect(m_pSerialPort, &QSerialPort::readyRead, &loop, &QEventLoop::quit);
        RunWaitLoop(loop, nWaitMs);
    }
    if (!m_pSerialPort->isOpen()) {
        return QString();
    }
    return HexText(m_pSerialPort->readAll());
}

void QSerialUser::slot_ReadData()
{
    m_baReadData.append(m_pSerialPort->readAll().toHex().toUpper());
}

void QSerialUser::Fail(const QString &sText)
{
    qDebug().noquote() << sText;
    m_sErrorMessage = sText;
}

bool QSerialUser::EnterCtrlMode()
{
    QString sFrameText;
    const QByteArray frame =
        SerialWorker::BuildCommandFrame(QLatin1String(SerialWorker::kEnterCtrlModeCommand), sFrameText);
    if (!SendBytes(frame, "EnterCtrlMode", QT_TR_NOOP("EnterCtrlMode send fail"))) {
        return false;
    }
    // The whole window, even when the echo came early: a boot loader's
    // refusal text may follow in pieces.
    m_baReadData.clear();
    connect(m_pSerialPort, &QSerialPort::readyRead, this, &QSerialUser::slot_ReadData);
    QEventLoop loop;
    RunWaitLoop(loop, Waits::Current().nUserCtrlReplyMs);
    disconnect(m_pSerialPort, &QSerialPort::readyRead, this, &QSerialUser::slot_ReadData);
    if (m_pSerialPort->isOpen()) {
        // Bytes that came before the handler was connected.
        slot_ReadData();
    }
    const QString sReply = QString::fromLatin1(m_baReadData);
    m_baReadData.clear();
    qDebug().noquote() << "EnterCtrlMode reply:" << sReply;

    // A reply cut short by a lost line is no reply to judge.
    if (sReply.isEmpty() || m_bDeviceGone) {
        Fail(tr("EnterCtrlMode not received data"));
        return false;
    }
    if (sReply.left(12) == sFrameText) {
        m_nDeviceMode = ModeCtrl;
        return true;
    }
    if (sReply.contains(QLatin1String(SerialWorker::kRefusalHex))) {
        m_nDeviceMode = ModeBootMenu;
        return true;
    }
    m_nDeviceMode = ModeUnknown;
    Fail(tr("EnterCtrlMode fail"));
    return false;
}

bool QSerialUser::EnterBootMode()
{
    static const BootStepTexts kTexts = {
        "EnterBootMode",
        QT_TR_NOOP("EnterBootMode send fail"),
        QT_TR_NOOP("EnterBootMode not received data"),
        QT_TR_NOOP("EnterBootMode fail"),
        QT_TR_NOOP("EnterBootMode connect fail"),
    };
    QString sFrameText;
    const QByteArray frame =
        SerialWorker::BuildCommandFrame(QLatin1String(SerialWorker::kEnterBootModeCommand), sFrameText);
    return RunBootStep(frame, sFrameText, kTexts);
}

bool QSerialUser::EnterYmodem()
{
    static const BootStepTexts kTexts = {
        "EnterYmodem",
        QT_TR_NOOP("EnterYmodem send fail"),
        QT_TR_NOOP("EnterYmodem not received data"),
        nullptr,
        QT_TR_NOOP("EnterYmodem connect fail"),
    };
    // Any answer of the boot menu will do; its content is not looked at.
    return RunBootStep(QByteArray(1, SerialWorker::kEnterYmodemByte), QString(), kTexts);
}

bool QSerialUser::RunBootStep(const QByteArray &bytes, const QString &sFrameText, const BootStepTexts &texts)
{
    if (!SendBytes(bytes, texts.szName, texts.szSendFail)) {
        return false;
    }
    const QString sReply = WaitForData(Waits::Current().nBootReplyMs);
    qDebug().noquote() << texts.szName << "reply:" << sReply;
    if (sReply.isEmpty()) {
        Fail(tr(texts.szNoReply));
        return false;
    }
    // The device may echo only a piece of the frame before it reboots.
    if (texts.szWrongReply && !sFrameText.contains(sReply.left(12))) {
        Fail(tr(texts.szWrongReply));
        return false;
    }
    if (!WaitBootReady()) {
        Fail(tr(texts.szNotReady));
        return false;
    }
    return true;
}

bool QSerialUser::WaitBootReady()
{
    m_baReadData.clear();
    m_bBootReady = false;
    if (!m_pSerialPort->isOpen()) {
        return false;
    }
    // Only for the length of this wait: left connected, the handler would
    // swallow whatever the port receives later.
    connect(m_pSerialPort, &QSerialPort::readyRead, this, &QSerialUser::HandleBootData, Qt::UniqueConnection);
    QEventLoop loop;
    connect(this, &QSerialUser::signal_ReadyReadQuit, &loop, &QEventLoop::quit);
    if (m_pSerialPort->bytesAvailable() > 0) {
        // Bytes that came before the handler was connected count as well.
        HandleBootData();
    }
    RunWaitLoop(loop, Waits::Current().nBootReadyMs);
    // A boot loader that began its 'C's just before the wait ran out (ready
    // after 29 s, a 'C' every second) has not sent the four that count yet:
    // it gets a little longer for them, one that never began does not.
    if (!m_bBootReady && !m_bDeviceGone && SerialWorker::CountCBytes(m_baReadData) > 0) {
        qDebug() << "QSerialUser: boot loader began its 'C's late; waiting for the rest";
        RunWaitLoop(loop, Waits::Current().nBootStreamMs);
    }
    disconnect(m_pSerialPort, &QSerialPort::readyRead, this, &QSerialUser::HandleBootData);
    m_pReadTimer->stop();
    qDebug() << "QSerialUser: boot loader ready:" << m_bBootReady;
    return m_bBootReady && !m_bDeviceGone;
}

void QSerialUser::HandleBootData()
{
    if (m_bBootReady) {
        return;   // what follows is the transmitter's
    }
    m_baReadData.append(m_pSerialPort->readAll().toHex().toUpper());
    m_pReadTimer->start(Waits::Current().nBootQuietMs);
}

void QSerialUser::slot_ReadCData()
{
    m_pReadTimer->stop();
    // Everything received since the wait began counts, over all bursts.
    if (!m_baReadData.isEmpty() && SerialWorker::CountCBytes(m_baReadData) > 3) {
        m_bBootReady = true;
        emit signal_ReadyReadQuit();
    }
}

void QSerialUser::HandlePortError(QSerialPort::SerialPortError error)
{
    if (error != QSerialPort::ReadError && error != QSerialPort::ResourceError) {
        return;
    }
    if (m_bDeviceGone) {
        return;
    }
    m_bDeviceGone = true;
    qDebug() << "QSerialUser: serial port lost:" << m_pSerialPort->errorString();
    if (m_pWaitLoop) {
        m_pWaitLoop->quit();
    }
    // Closing from inside the port's own notification is not safe; close it
    // right after, unless it was opened again (possibly as another path).
    const quint64 nGeneration = m_nOpenGeneration;
    QMetaObject::invokeMethod(
        this,
        [this, nGeneration]() {
            if (nGeneration == m_nOpenGeneration) {
                ClosePort();
            }
        },
        Qt::QueuedConnection);
}

// ---------------------------------------------------------------------------
// Transmitter

bool QSerialUser::SetTransmitFile(const QString &sFilePath)
{
    m_pYmodem->SetFileName(sFilePath);
    m_pYmodem->SetPortName(m_sPortName);
    return true;
}

bool QSerialUser::StartYmodemTransmit()
{
    return m_pYmodem->StartTransmit();
}
