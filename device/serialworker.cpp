#include "device/serialworker.h"

#include "app/logging.h"
#include "device/portlister.h"
#include "device/reportformatter.h"
#include "device/threadhandover.h"
#include "device/waits.h"

#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QEventLoop>
#include <QPointer>
#include <QThread>
#include <QTimer>

namespace {

// CRC-8/MAXIM-DOW lookup table: entry n is the check value of the single byte
// n, computed with the reflected polynomial 0x8C.
struct Crc8Table
{
    quint8 entries[256];

    constexpr Crc8Table() : entries()
    {
        for (int n = 0; n < 256; ++n) {
            quint8 nCrc = quint8(n);
            for (int nBit = 0; nBit < 8; ++nBit) {
                nCrc = (nCrc & 0x01) ? quint8((nCrc >> 1) ^ 0x8C) : quint8(nCrc >> 1);
            }
            entries[n] = nCrc;
        }
    }
};

constexpr Crc8Table kCrc8Table;

bool IsHexDigit(QChar c)
{
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || (c >= QLatin1Char('A') && c <= QLatin1Char('F'))
           || (c >= QLatin1Char('a') && c <= QLatin1Char('f'));
}

// The byte written as two hex digits at nPos of sText; 0 when the pair is
// missing, cut short or not hexadecimal.
int HexPairAt(const QString &sText, int nPos)
{
    if (nPos < 0 || nPos + 2 > sText.size()) {
        return 0;
    }
    const QChar cHigh = sText.at(nPos);
    const QChar cLow = sText.at(nPos + 1);
    if (!IsHexDigit(cHigh) || !IsHexDigit(cLow)) {
        return 0;
    }
    return sText.midRef(nPos, 2).toInt(nullptr, 16);
}

QString HexText(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex().toUpper());
}

// Lines of a record stream that hold anything but line ends and blanks:
// records and the device's invalid-record lines alike, a last line without
// its line end too. An export holds every record once there are at least as
// many as the device announced.
int StreamLines(const QByteArray &stream)
{
    int nLines = 0;
    bool bContent = false;
    for (const char c : stream) {
        if (c == '\n') {
            nLines += bContent ? 1 : 0;
            bContent = false;
        } else if (c != '\r' && c != ' ' && c != '\t') {
            bContent = true;
        }
    }
    return nLines + (bContent ? 1 : 0);
}

} // namespace

const SerialWorker::CommandTexts SerialWorker::kEnterCtrlModeTexts = {
    "EnterCtrlMode",
    QT_TRANSLATE_NOOP("SerialWorker", "EnterCtrlMode send fail"),
    QT_TRANSLATE_NOOP("SerialWorker", "EnterCtrlMode not received data"),
    QT_TRANSLATE_NOOP("SerialWorker", "EnterCtrlMode fail"),
    nullptr,
};
const SerialWorker::CommandTexts SerialWorker::kExitCtrlModeTexts = {
    "ExitCtrlMode",
    QT_TRANSLATE_NOOP("SerialWorker", "ExitCtrlMode send fail"),
    QT_TRANSLATE_NOOP("SerialWorker", "ExitCtrlMode not received data"),
    QT_TRANSLATE_NOOP("SerialWorker", "ExitCtrlMode fail"),
    nullptr,
};
const SerialWorker::CommandTexts SerialWorker::kEnterBootModeTexts = {
    "EnterBootMode",
    QT_TRANSLATE_NOOP("SerialWorker", "EnterBootMode send fail"),
    QT_TRANSLATE_NOOP("SerialWorker", "EnterBootMode not received data"),
    QT_TRANSLATE_NOOP("SerialWorker", "EnterBootMode fail"),
    QT_TRANSLATE_NOOP("SerialWorker", "EnterBootMode connect fail"),
};
const SerialWorker::CommandTexts SerialWorker::kEnterYmodemTexts = {
    "EnterYmodem",
    QT_TRANSLATE_NOOP("SerialWorker", "EnterYmodem send fail"),
    QT_TRANSLATE_NOOP("SerialWorker", "EnterYmodem not received data"),
    nullptr,
    QT_TRANSLATE_NOOP("SerialWorker", "EnterYmodem connect fail"),
};
const SerialWorker::CommandTexts SerialWorker::kGetVersionTexts = {
    "GetVersion",
    QT_TRANSLATE_NOOP("SerialWorker", "GetVersion send fail"),
    QT_TRANSLATE_NOOP("SerialWorker", "GetVersion not received data"),
    nullptr,
    nullptr,
};
const SerialWorker::CommandTexts SerialWorker::kGetSNTexts = {
    "GetSN",
    QT_TRANSLATE_NOOP("SerialWorker", "GetSN send fail"),
    QT_TRANSLATE_NOOP("SerialWorker", "GetSN not received data"),
    nullptr,
    nullptr,
};
const SerialWorker::CommandTexts SerialWorker::kGetLogInfoCountTexts = {
    "GetLogInfoCount",
    QT_TRANSLATE_NOOP("SerialWorker", "GetLogInfoCount send fail"),
    QT_TRANSLATE_NOOP("SerialWorker", "GetLogInfoCount not received data"),
    nullptr,
    nullptr,
};
const SerialWorker::CommandTexts SerialWorker::kExportLogInfoTexts = {
    "ExportLogInfo",
    QT_TRANSLATE_NOOP("SerialWorker", "ExportLogInfo send fail"),
    nullptr,
    nullptr,
    nullptr,
};

SerialWorker::SerialWorker(QObject *parent) : QObject(parent)
{
    qRegisterMetaType<YmodemFileTransmit::YmodemStatus>("YmodemFileTransmit::YmodemStatus");
    // Queued port errors would need the type too; the worker's own are direct.
    qRegisterMetaType<QSerialPort::SerialPortError>();
    m_pThread = new QThread;
    moveToThread(m_pThread);
    // The port, its timers and the transmitter are created on the worker's
    // thread, before its event loop delivers the first request, and released
    // there when it ends: objects made here would stay with the creating
    // thread, and their timers and notifiers would never serve the worker.
    connect(m_pThread, &QThread::started, this, &SerialWorker::CreateThreadObjects, Qt::DirectConnection);
    connect(m_pThread, &QThread::finished, this, &SerialWorker::ReleaseThreadObjects, Qt::DirectConnection);

    connect(this, &SerialWorker::signal_StartEnterCtrlMode, this, &SerialWorker::slot_StartEnterCtrlMode,
            Qt::QueuedConnection);
    connect(this, &SerialWorker::signal_StartExitCtrlMode, this, &SerialWorker::slot_StartExitCtrlMode,
            Qt::QueuedConnection);
    connect(this, &SerialWorker::signal_StartEnterBootMode, this, &SerialWorker::slot_StartEnterBootMode,
            Qt::QueuedConnection);
    connect(this, &SerialWorker::signal_StartUpgrade, this, &SerialWorker::slot_StartUpgrade, Qt::QueuedConnection);
    connect(this, &SerialWorker::signal_StartGetVersionAndSN, this, &SerialWorker::slot_StartGetVersionAndSN,
            Qt::QueuedConnection);
    connect(this, &SerialWorker::signal_StartExportLogInfo, this, &SerialWorker::slot_StartExportLogInfo,
            Qt::QueuedConnection);
    m_pThread->start(QThread::InheritPriority);
}

SerialWorker::SerialWorker(OnCallerThread_t, QObject *parent) : QObject(parent)
{
    qRegisterMetaType<YmodemFileTransmit::YmodemStatus>("YmodemFileTransmit::YmodemStatus");
    CreateThreadObjects();
}

SerialWorker::~SerialWorker()
{
    if (m_pThread) {
        // Quitting ends every event loop of the thread, the nested waits of
        // a running request included, and makes later waits return at once:
        // the request runs to its end quickly; the thread's end releases the
        // port, the transmitter and an unfinished report.
        m_pThread->quit();
        m_pThread->wait();
        ThreadHandOver::Receive(this);
        delete m_pThread;
        m_pThread = nullptr;
    } else {
        ReleaseThreadObjects();
    }
}

void SerialWorker::CreateThreadObjects()
{
    CreateSerialPort();
    m_pYmodemFileTransmit = new YmodemFileTransmit;
    connect(m_pYmodemFileTransmit, &YmodemFileTransmit::TransmitProgress, this,
            &SerialWorker::slot_TransmitProgress);
    connect(m_pYmodemFileTransmit, &YmodemFileTransmit::TransmitStatus, this, &SerialWorker::slot_TransmitStatus);
}

void SerialWorker::ReleaseThreadObjects()
{
    if (m_pExportTimer) {
        // The program ends during an export: keep what the device sent so
        // far in the report rather than leave an empty or open file.
        KP_LOG_INFO("ExportLogInfo: interrupted at exit; the report holds what was received");
        delete m_pExportTimer;
        m_pExportTimer = nullptr;
        if (m_pSerialPort && m_pSerialPort->isOpen()) {
            m_baReadData.append(m_pSerialPort->readAll());
        }
        WriteReport(m_baReadData);
        m_baReadData.clear();
    }
    m_pendingRequests.clear();
    delete m_pYmodemFileTransmit;
    m_pYmodemFileTransmit = nullptr;
    delete m_pReadTimer;
    m_pReadTimer = nullptr;
    delete m_pSerialPort;
    m_pSerialPort = nullptr;
    ThreadHandOver::Publish(this);
}

// ---------------------------------------------------------------------------
// Requests

void SerialWorker::Report(int nFunctionType, int nResultType, bool bRet, const QString &sMes)
{
    emit signal_SendResult(nFunctionType, nResultType, bRet, sMes);
}

void SerialWorker::ReportFailure(int nFunctionType, int nResultType)
{
    Report(nFunctionType, nResultType, false, m_sErrorMessage);
    KP_LOG_INFO("{}", m_sErrorMessage);
}

void SerialWorker::Submit(std::function<void()> body)
{
    m_pendingRequests.enqueue(std::move(body));
    RunNextRequest();
}

void SerialWorker::RunNextRequest()
{
    // A request that arrives inside a running one's wait lands here too: it
    // is held until the running one has ended.
    if (m_bBusy || m_pendingRequests.isEmpty()) {
        return;
    }
    m_bBusy = true;
    const std::function<void()> body = m_pendingRequests.dequeue();
    body();
}

void SerialWorker::EndRequest()
{
    m_bBusy = false;
    m_bUpgradeRunning = false;
    emit signal_RequestFinished();
    if (!m_pendingRequests.isEmpty()) {
        // From the event loop, so that the next request never runs inside
        // the stack of the one that just ended (an export tick, a transfer
        // status).
        QMetaObject::invokeMethod(this, &SerialWorker::RunNextRequest, Qt::QueuedConnection);
    }
}

void SerialWorker::slot_StartEnterCtrlMode()
{
    Submit([this]() {
        const bool bRet = EnterCtrlMode();
        Report(FT_CtrlMode, RT_EnterCtrlMode, bRet, bRet ? QString() : m_sErrorMessage);
        EndRequest();
    });
}

void SerialWorker::slot_StartExitCtrlMode()
{
    Submit([this]() {
        const bool bRet = ExitCtrlMode();
        Report(FT_CtrlMode, RT_ExitCtrlMode, bRet, bRet ? QString() : m_sErrorMessage);
        EndRequest();
    });
}

void SerialWorker::slot_StartEnterBootMode()
{
    Submit([this]() {
        const bool bRet = EnterBootMode();
        Report(FT_Upgrade, RT_EnterBootMode, bRet, bRet ? QString() : m_sErrorMessage);
        EndRequest();
    });
}

void SerialWorker::slot_StartUpgrade(QString sFilePath)
{
    Submit([this, sFilePath]() { RunUpgrade(sFilePath); });
}

void SerialWorker::slot_StartGetVersionAndSN()
{
    Submit([this]() { RunGetVersionAndSN(); });
}

void SerialWorker::slot_StartExportLogInfo(QString sDirPath)
{
    Submit([this, sDirPath]() { RunExportLogInfo(sDirPath); });
}

void SerialWorker::RunGetVersionAndSN()
{
    if (!OpenSerialPort()) {
        ReportFailure(FT_DeviceInfo, RT_OpenPort);
        EndRequest();
        return;
    }
    if (m_nDeviceMode == ModeBootMenu || m_nDeviceMode == ModeYmodem) {
        ClosePort();
        Report(FT_DeviceInfo, RT_EnterCtrlMode, false, tr("Please upgrade before proceeding"));
        KP_LOG_INFO("Please upgrade before proceeding");
        EndRequest();
        return;
    }
    // A device lost on the way is reported as a port failure, which the
    // page shows as "Disconnected"; the failed value alone would leave it
    // without a word.
    const auto endIfGone = [this]() {
        if (!m_bDeviceGone) {
            return false;
        }
        m_sErrorMessage = tr("The device was disconnected during the request");
        ReportFailure(FT_DeviceInfo, RT_OpenPort);
        ClosePort();
        EndRequest();
        return true;
    };
    QString sVersion;
    if (GetVersion(sVersion)) {
        Report(FT_DeviceInfo, RT_Version, true, sVersion);
    } else {
        ReportFailure(FT_DeviceInfo, RT_Version);
    }
    if (endIfGone()) {
        return;
    }
    QString sSN;
    if (GetSN(sSN)) {
        Report(FT_DeviceInfo, RT_SN, true, sSN);
    } else {
        ReportFailure(FT_DeviceInfo, RT_SN);
    }
    if (endIfGone()) {
        return;
    }
    if (!ExitCtrlMode()) {
        ReportFailure(FT_DeviceInfo, RT_ExitCtrlMode);
    }
    ClosePort();
    EndRequest();
}

void SerialWorker::RunUpgrade(const QString &sFilePath)
{
    m_nDeviceMode = ModeUnknown;
    if (!OpenSerialPort()) {
        ReportFailure(FT_Upgrade, RT_OpenPort);
        EndRequest();
        return;
    }
    bool bReady = true;
    if (m_nDeviceMode == ModeBootMenu) {
        bReady = EnterYmodem();
    } else if (m_nDeviceMode != ModeYmodem) {
        bReady = EnterBootMode();
    }
    ClosePort();
    if (!bReady) {
        ReportFailure(FT_Upgrade, RT_EnterBootMode);
        EndRequest();
        return;
    }
    m_pYmodemFileTransmit->SetFileName(sFilePath);
    m_pYmodemFileTransmit->SetPortName(m_sPortName);
    if (!m_pYmodemFileTransmit->StartTransmit()) {
        m_sErrorMessage = tr("StartYmodemTransmit fail");
        ReportFailure(FT_Upgrade, RT_StartTransmit);
        EndRequest();
        return;
    }
    // The transfer reports through the relay; the request ends with its
    // final status.
    m_bUpgradeRunning = true;
}

void SerialWorker::slot_TransmitProgress(int nProgressValue)
{
    emit signal_TransmitProgress(nProgressValue);
}

void SerialWorker::slot_TransmitStatus(YmodemFileTransmit::YmodemStatus status)
{
    emit signal_TransmitStatus(status);
    if (m_bUpgradeRunning && status >= YmodemFileTransmit::StatusDone) {
        EndRequest();
    }
}

void SerialWorker::RunExportLogInfo(const QString &sDirPath)
{
    Report(FT_ExportLog, RT_ExportLog, true, QStringLiteral("Start"));
    if (!OpenSerialPort()) {
        ReportFailure(FT_ExportLog, RT_OpenPort);
        EndRequest();
        return;
    }
    if (m_nDeviceMode == ModeBootMenu || m_nDeviceMode == ModeYmodem) {
        ClosePort();
        Report(FT_ExportLog, RT_EnterCtrlMode, false, tr("Please upgrade before proceeding"));
        KP_LOG_INFO("Please upgrade before proceeding");
        EndRequest();
        return;
    }
    GetLogInfoCount();
    if (!ExportLogInfo(sDirPath)) {
        ReportFailure(FT_ExportLog, RT_ExportLog);
        // The device was not asked for its records (the report is opened
        // first); leave control mode and free the port as the export's
        // normal end does.
        if (m_pSerialPort->isOpen()) {
            ExitCtrlMode();
        }
        ClosePort();
        EndRequest();
        return;
    }
    // The collection goes on in the export ticks; the request ends there.
}

// ---------------------------------------------------------------------------
// Serial link

QSerialPort *SerialWorker::NewLinkPort(const QString &sPortName)
{
    auto *pPort = new QSerialPort;
    pPort->setBaudRate(QSerialPort::Baud115200, QSerialPort::AllDirections);
    pPort->setDataBits(QSerialPort::Data8);
    pPort->setParity(QSerialPort::NoParity);
    pPort->setStopBits(QSerialPort::OneStop);
    pPort->setFlowControl(QSerialPort::NoFlowControl);
    pPort->setPortName(sPortName);
    return pPort;
}

void SerialWorker::CreateSerialPort()
{
    delete m_pSerialPort;
    m_pSerialPort = NewLinkPort(m_sPortName);
    connect(m_pSerialPort, &QSerialPort::errorOccurred, this, &SerialWorker::HandlePortError);
    m_bDeviceGone = false;
}

bool SerialWorker::OpenCurrentPort()
{
    m_bDeviceGone = false;
    ++m_nOpenGeneration;
    if (!m_pSerialPort->open(QIODevice::ReadWrite)) {
        qDebug() << "Open" << m_pSerialPort->portName() << "fail:" << m_pSerialPort->errorString();
        return false;
    }
    return true;
}

void SerialWorker::ClosePort()
{
    if (m_pSerialPort && m_pSerialPort->isOpen()) {
        m_pSerialPort->close();
    }
}

bool SerialWorker::OpenSerialPort()
{
    // The port that answered last time is tried first. Only a stream of 'C's
    // (more than three) counts as the boot loader here: a single stray 'C'
    // on a known port is not enough.
    // The remembered port counts as opened too: when it opens but does not
    // answer, the user is told that no device answered, not that no port
    // exists.
    int nOpened = 0;
    if (!m_sPortName.isEmpty()) {
        CreateSerialPort();
        ClosePort();
        if (OpenCurrentPort()) {
            ++nOpened;
            const QString sProbe = ProbePort();
            if (!sProbe.isEmpty() && CountCBytes(sProbe.toLatin1()) > 3) {
                qDebug() << "OpenSerialPort: boot loader streaming on" << m_sPortName;
                m_nDeviceMode = ModeYmodem;
                return true;
            }
            if (EnterCtrlMode()) {
                return true;
            }
            ClosePort();
        }
    }

    // The scan reuses the current port object. It must belong to this thread,
    // or its notifiers would be served by another thread's event loop.
    if (!m_pSerialPort || m_pSerialPort->thread() != QThread::currentThread()) {
        CreateSerialPort();
    }
    const QList<PortLister::Port> ports = PortLister::AvailablePorts();
    for (const PortLister::Port &port : ports) {
        m_pSerialPort->setPortName(port.sDevicePath);
        ClosePort();
        if (!OpenCurrentPort()) {
            continue;
        }
        ++nOpened;
        const QString sProbe = ProbePort();
        if (!sProbe.isEmpty() && CountCBytes(sProbe.toLatin1()) >= 1) {
            qDebug() << "OpenSerialPort: boot loader streaming on" << port.sDevicePath;
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
    qDebug() << "OpenSerialPort:" << m_sErrorMessage;
    return false;
}

QString SerialWorker::ProbePort()
{
    QEventLoop loop;
    connect(m_pSerialPort, &QSerialPort::readyRead, &loop, &QEventLoop::quit);
    RunWaitLoop(loop, Waits::Current().nProbeMs);
    if (!m_pSerialPort->isOpen()) {
        return QString();
    }
    return HexText(m_pSerialPort->readAll());
}

void SerialWorker::RunWaitLoop(QEventLoop &loop, int nWaitMs)
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
        // Closing ends Qt's error reports for the lost line; an outer wait
        // (if any) has nothing left to wait for either.
        ClosePort();
        if (pOuterLoop) {
            pOuterLoop->quit();
        }
    }
}

quint8 SerialWorker::Crc8(const QByteArray &data)
{
    quint8 nCrc = 0x00;
    for (const char c : data) {
        nCrc = kCrc8Table.entries[nCrc ^ quint8(c)];
    }
    return nCrc;
}

QByteArray SerialWorker::BuildCommandFrame(const QString &sCommand, QString &sFrameText)
{
    const QByteArray command = QByteArray::fromHex(sCommand.toLatin1());
    const quint8 nCrc = Crc8(command);
    qDebug() << "crc:" << int(nCrc);
    // Always two digits: a check byte below 0x10 written as one digit would
    // shift every following nibble and put a wrong frame on the wire.
    const QString sCheck = QStringLiteral("%1").arg(int(nCrc), 2, 16, QLatin1Char('0'));
    sFrameText = QStringLiteral("%1%2").arg(sCommand, sCheck).toUpper();
    return QByteArray::fromHex(sFrameText.toLatin1());
}

bool SerialWorker::SendBytes(const QByteArray &bytes, const CommandTexts &texts)
{
    if (!m_pSerialPort->isOpen()) {
        qDebug().noquote() << QStringLiteral("%1 send fail:").arg(QLatin1String(texts.szName)) << "port not open";
        Fail(texts.szSendFail);
        return false;
    }
    m_pSerialPort->write(bytes);
    if (!m_pSerialPort->waitForBytesWritten(Waits::Current().nWriteMs)) {
        qDebug().noquote() << QStringLiteral("%1 send fail:").arg(QLatin1String(texts.szName))
                           << m_pSerialPort->errorString();
        m_pSerialPort->clearError();
        Fail(texts.szSendFail);
        return false;
    }
    return true;
}

QString SerialWorker::WaitReply(int nWaitMs)
{
    m_baReadData.clear();
    if (!m_pSerialPort->isOpen()) {
        return QString();
    }
    // The port may be replaced while the nested loop runs (a request that
    // arrives meanwhile); never touch a deleted one afterwards.
    const QPointer<QSerialPort> pPort(m_pSerialPort);
    connect(pPort, &QSerialPort::readyRead, this, &SerialWorker::slot_ReadData);
    QEventLoop loop;
    RunWaitLoop(loop, nWaitMs);
    if (pPort) {
        disconnect(pPort, &QSerialPort::readyRead, this, &SerialWorker::slot_ReadData);
    }
    const QString sReply = QString::fromLatin1(m_baReadData);
    m_baReadData.clear();
    return sReply;
}

void SerialWorker::slot_ReadData()
{
    m_baReadData.append(m_pSerialPort->readAll().toHex().toUpper());
}

bool SerialWorker::WaitBootReady()
{
    m_baReadData.clear();
    m_bBootReady = false;
    if (!m_pSerialPort->isOpen()) {
        return false;
    }
    // A timer left by an earlier wait that ran out is replaced, not leaked.
    delete m_pReadTimer;
    m_pReadTimer = new QTimer;
    m_pReadTimer->setSingleShot(true);
    m_pReadTimer->setTimerType(Qt::PreciseTimer);
    connect(m_pReadTimer, &QTimer::timeout, this, &SerialWorker::slot_ReadBootData);
    // Only for the length of this wait: left connected, the handler would go
    // on turning whatever the port receives later (replies, the record
    // stream of an export) into hex text behind the back of the next step.
    const QPointer<QSerialPort> pPort(m_pSerialPort);
    connect(pPort, &QSerialPort::readyRead, this, &SerialWorker::HandleBootData, Qt::UniqueConnection);

    QEventLoop loop;
    connect(this, &SerialWorker::signal_ReadyReadQuit, &loop, &QEventLoop::quit);
    RunWaitLoop(loop, Waits::Current().nBootReadyMs);
    // A boot loader that began its 'C's just before the wait ran out gets a
    // little longer for the rest of the four that count.
    if (!m_bBootReady && !m_bDeviceGone && CountCBytes(m_baReadData) > 0) {
        qDebug() << "Boot loader began its 'C's late; waiting for the rest";
        RunWaitLoop(loop, Waits::Current().nBootStreamMs);
    }
    if (pPort) {
        disconnect(pPort, &QSerialPort::readyRead, this, &SerialWorker::HandleBootData);
    }
    if (m_pReadTimer) {
        m_pReadTimer->stop();
    }
    return m_bBootReady;
}

void SerialWorker::HandleBootData()
{
    if (m_bBootReady) {
        return;
    }
    m_baReadData.append(m_pSerialPort->readAll().toHex().toUpper());
    if (m_pReadTimer) {
        m_pReadTimer->start(Waits::Current().nBootQuietMs);
    }
}

void SerialWorker::slot_ReadBootData()
{
    if (m_pReadTimer) {
        m_pReadTimer->stop();
    }
    // Everything received since the wait began counts, over all bursts.
    const int nCount = CountCBytes(m_baReadData);
    qDebug() << "Boot loader 'C' count:" << nCount;
    if (nCount > 3) {
        m_bBootReady = true;
        emit signal_ReadyReadQuit();
        if (m_pReadTimer) {
            // We may be inside this timer's own timeout signal.
            m_pReadTimer->deleteLater();
            m_pReadTimer = nullptr;
        }
    }
}

void SerialWorker::HandlePortError(QSerialPort::SerialPortError error)
{
    if (error != QSerialPort::ReadError && error != QSerialPort::ResourceError) {
        return;
    }
    if (m_bDeviceGone) {
        return;
    }
    m_bDeviceGone = true;
    qDebug() << "Serial port lost:" << (m_pSerialPort ? m_pSerialPort->errorString() : QString());
    if (m_pWaitLoop) {
        m_pWaitLoop->quit();
    }
    if (m_pExportTimer) {
        // Unplugged during the export: keep what arrived, and say that the
        // report is not complete. From the event loop, not from inside the
        // port's own notification.
        QMetaObject::invokeMethod(
            this,
            [this]() {
                if (m_pExportTimer) {
                    FinishExport(true);
                }
            },
            Qt::QueuedConnection);
    }
    // Closing from inside the port's own notification is not safe; close it
    // right after, unless it was re-opened (possibly as another path) since.
    const QPointer<QSerialPort> pPort(m_pSerialPort);
    const quint64 nGeneration = m_nOpenGeneration;
    QMetaObject::invokeMethod(
        this,
        [this, pPort, nGeneration]() {
            if (pPort && pPort == m_pSerialPort && nGeneration == m_nOpenGeneration && pPort->isOpen()) {
                pPort->close();
            }
        },
        Qt::QueuedConnection);
}

// ---------------------------------------------------------------------------
// Command set

void SerialWorker::Fail(const char *szText)
{
    qDebug() << szText;
    m_sErrorMessage = tr(szText);
}

bool SerialWorker::ExchangeCommand(const char *szCommand, const CommandTexts &texts, int nWaitMs, QString &sReply,
                                   QString *psFrameText)
{
    QString sFrameText;
    const QByteArray frame = BuildCommandFrame(QLatin1String(szCommand), sFrameText);
    if (psFrameText) {
        *psFrameText = sFrameText;
    }
    if (!SendBytes(frame, texts)) {
        return false;
    }
    sReply = WaitReply(nWaitMs);
    qDebug().noquote() << texts.szName << "reply:" << sReply;
    return true;
}

bool SerialWorker::ReplyArrived(const QString &sReply, const CommandTexts &texts)
{
    if (m_bDeviceGone) {
        // The reply window was cut short by the lost line; whatever came is
        // not a reply to judge.
        qDebug() << texts.szName << "device gone during the reply";
        Fail(texts.szNoReply);
        return false;
    }
    if (sReply.isEmpty()) {
        Fail(texts.szNoReply);
        return false;
    }
    return true;
}

bool SerialWorker::EnterCtrlMode()
{
    QString sReply;
    QString sFrameText;
    if (!ExchangeCommand(kEnterCtrlModeCommand, kEnterCtrlModeTexts, Waits::Current().nReplyMs, sReply,
                         &sFrameText)) {
        return false;
    }
    if (!ReplyArrived(sReply, kEnterCtrlModeTexts)) {
        return false;
    }
    // The firmware's echo may be followed by more bytes: only the echo counts.
    if (sReply.left(12) == sFrameText) {
        m_nDeviceMode = ModeCtrl;
        return true;
    }
    if (sReply.contains(QLatin1String(kRefusalHex))) {
        m_nDeviceMode = ModeBootMenu;
        return true;
    }
    m_nDeviceMode = ModeUnknown;
    Fail(kEnterCtrlModeTexts.szWrongReply);
    return false;
}

bool SerialWorker::ExitCtrlMode()
{
    QString sReply;
    QString sFrameText;
    if (!ExchangeCommand(kExitCtrlModeCommand, kExitCtrlModeTexts, Waits::Current().nReplyMs, sReply, &sFrameText)) {
        return false;
    }
    KP_LOG_INFO("ExitCtrlMode:{}", sReply);
    if (!ReplyArrived(sReply, kExitCtrlModeTexts)) {
        return false;
    }
    if (sReply == sFrameText) {
        return true;
    }
    Fail(kExitCtrlModeTexts.szWrongReply);
    return false;
}

bool SerialWorker::EnterBootMode()
{
    QString sReply;
    QString sFrameText;
    if (!ExchangeCommand(kEnterBootModeCommand, kEnterBootModeTexts, Waits::Current().nBootReplyMs, sReply,
                         &sFrameText)) {
        return false;
    }
    if (!ReplyArrived(sReply, kEnterBootModeTexts)) {
        return false;
    }
    // The device may echo only a piece of the frame before it reboots.
    if (!sFrameText.contains(sReply.left(12))) {
        Fail(kEnterBootModeTexts.szWrongReply);
        return false;
    }
    if (!WaitBootReady()) {
        Fail(kEnterBootModeTexts.szNotReady);
        return false;
    }
    return true;
}

bool SerialWorker::EnterYmodem()
{
    if (!SendBytes(QByteArray(1, kEnterYmodemByte), kEnterYmodemTexts)) {
        return false;
    }
    // Any answer of the boot menu will do; its content is not looked at.
    const QString sReply = WaitReply(Waits::Current().nBootReplyMs);
    if (!ReplyArrived(sReply, kEnterYmodemTexts)) {
        return false;
    }
    if (!WaitBootReady()) {
        Fail(kEnterYmodemTexts.szNotReady);
        return false;
    }
    return true;
}

bool SerialWorker::GetVersion(QString &sVersion)
{
    QString sReply;
    if (!ExchangeCommand(kGetVersionCommand, kGetVersionTexts, Waits::Current().nReplyMs, sReply)) {
        return false;
    }
    if (!ReplyArrived(sReply, kGetVersionTexts)) {
        return false;
    }
    sVersion = DecodeVersion(sReply);
    return true;
}

bool SerialWorker::GetSN(QString &sSN)
{
    QString sReply;
    if (!ExchangeCommand(kGetSNCommand, kGetSNTexts, Waits::Current().nReplyMs, sReply)) {
        return false;
    }
    if (!ReplyArrived(sReply, kGetSNTexts)) {
        return false;
    }
    sSN = DecodeSerialNumber(sReply);
    qDebug() << "GetSN received data";
    return true;
}

bool SerialWorker::GetLogInfoCount()
{
    m_mLogInfoCount = 0;
    QString sReply;
    if (!ExchangeCommand(kGetLogInfoCountCommand, kGetLogInfoCountTexts, Waits::Current().nReplyMs, sReply)) {
        return false;
    }
    if (!ReplyArrived(sReply, kGetLogInfoCountTexts)) {
        return false;
    }
    m_mLogInfoCount = DecodeLogInfoCount(sReply);
    qDebug() << "m_mLogInfoCount:" << m_mLogInfoCount;
    qDebug() << "GetLogInfoCount received data";
    KP_LOG_INFO("GetLogInfo Count : {}", static_cast<long long>(m_mLogInfoCount));
    return true;
}

bool SerialWorker::ExportLogInfo(const QString &sDirPath)
{
    // The report is opened before the device is asked for its records: a
    // report that cannot be written must not leave the device streaming
    // into a port that nobody reads.
    if (!StartExportCollection(sDirPath)) {
        return false;
    }
    QString sFrameText;
    const QByteArray frame = BuildCommandFrame(QLatin1String(kExportLogInfoCommand), sFrameText);
    if (!SendBytes(frame, kExportLogInfoTexts)) {
        StopExportCollection();
        m_reportFile.close();
        m_reportFile.remove();
        return false;
    }
    // No reply window: the device starts streaming its records at once.
    m_pExportTimer->start(Waits::Current().nExportTickMs);
    return true;
}

bool SerialWorker::StartExportCollection(const QString &sDirPath)
{
    const QString sPath = ReportFormatter::ReportFilePath(sDirPath, QDateTime::currentDateTime());
    m_nLastSize = 0;
    m_nIdleTicks = 0;
    m_nFallbackProgress = 1;
    if (m_reportFile.isOpen()) {
        m_reportFile.close();
    }
    m_reportFile.setFileName(sPath);
    // Truncate: a report of the same name (an export within the same
    // second, or a clock set back) must not keep its old tail.
    if (!m_reportFile.open(QIODevice::ReadWrite | QIODevice::Truncate)) {
        qDebug().noquote() << "Open File fail: " + sPath;
        m_sErrorMessage = tr("Cannot create the report file %1: %2")
                              .arg(QDir::toNativeSeparators(sPath), m_reportFile.errorString());
        return false;
    }
    m_baReadData.clear();
    connect(m_pSerialPort, &QSerialPort::readyRead, this, &SerialWorker::HandleExportData, Qt::UniqueConnection);
    delete m_pExportTimer;
    m_pExportTimer = new QTimer;
    m_pExportTimer->setTimerType(Qt::PreciseTimer);
    connect(m_pExportTimer, &QTimer::timeout, this, &SerialWorker::slot_ExportReadData);
    return true;
}

void SerialWorker::StopExportCollection()
{
    if (m_pExportTimer) {
        m_pExportTimer->stop();
        disconnect(m_pExportTimer, &QTimer::timeout, this, &SerialWorker::slot_ExportReadData);
        m_pExportTimer->deleteLater();
        m_pExportTimer = nullptr;
    }
    if (m_pSerialPort) {
        disconnect(m_pSerialPort, &QSerialPort::readyRead, this, &SerialWorker::HandleExportData);
    }
}

void SerialWorker::HandleExportData()
{
    m_baReadData.append(m_pSerialPort->readAll());
}

int SerialWorker::ExportProgress(qint64 nStreamSize, int nRecordCount, int nFallbackTicks)
{
    int nProgress = 0;
    if (nRecordCount != 0) {
        const double fProgress = double(nStreamSize) / (double(nRecordCount) * kRecordStreamBytes) * 100.0;
        nProgress = fProgress >= 99.0 ? 99 : int(fProgress);
    } else {
        nProgress = nFallbackTicks / 10;
    }
    return qBound(1, nProgress, 98);
}

void SerialWorker::slot_ExportReadData()
{
    if (!m_pExportTimer) {
        return;
    }
    if (m_bDeviceGone) {
        FinishExport(true);
        return;
    }
    const int nSize = m_baReadData.size();
    if (nSize != m_nLastSize) {
        m_nLastSize = nSize;
        qDebug() << "m_nLastSize:" << m_nLastSize;
        // Pauses in the stream are normal (the device reads its memory in
        // pages): only ticks without growth in a row end the export.
        m_nIdleTicks = 0;
        if (m_mLogInfoCount == 0) {
            ++m_nFallbackProgress;
        }
        const int nProgress = ExportProgress(nSize, m_mLogInfoCount, m_nFallbackProgress);
        qDebug() << "nProgressValue:" << nProgress;
        Report(FT_ExportLog, RT_ExportLog, true, QStringLiteral("%1").arg(nProgress));
        return;
    }
    if (m_nIdleTicks < Waits::Current().nExportIdleTicks) {
        ++m_nIdleTicks;
        return;
    }
    FinishExport(false);
}

void SerialWorker::FinishExport(bool bDeviceGone)
{
    if (!bDeviceGone && m_pSerialPort->isOpen()) {
        m_baReadData.append(m_pSerialPort->readAll());
    }
    StopExportCollection();
    const bool bWritten = WriteReport(m_baReadData);
    // A stream that stopped before the records the device announced (a
    // pause longer than the idle ticks, or no stream at all) is no complete
    // report, whatever was written.
    const int nLines = StreamLines(m_baReadData);
    const bool bShort = m_mLogInfoCount > 0 && nLines < m_mLogInfoCount;
    m_baReadData.clear();
    if (bDeviceGone) {
        m_sErrorMessage = tr("The device was disconnected during the export");
        KP_LOG_INFO("ExportLogInfo: device gone; the report holds the {} bytes received", m_nLastSize);
    } else {
        // Leave control mode on a fresh port, as the device expects after
        // its stream.
        ClosePort();
        CreateSerialPort();
        OpenCurrentPort();
        EnterCtrlMode();
        ExitCtrlMode();
    }
    ClosePort();
    if (!bDeviceGone && bWritten && bShort) {
        m_sErrorMessage = tr("The report holds %1 of the %2 records the device announced")
                              .arg(nLines)
                              .arg(m_mLogInfoCount);
    }
    if (bDeviceGone || !bWritten || bShort) {
        ReportFailure(FT_ExportLog, RT_ExportLog);
    } else {
        Report(FT_ExportLog, RT_ExportLog, true, QStringLiteral("End"));
    }
    EndRequest();
}

bool SerialWorker::WriteReport(const QByteArray &stream)
{
    if (!m_reportFile.isOpen()) {
        return false;
    }
    const QByteArray report = ReportFormatter::ToCsv(stream);
    const qint64 nWritten = m_reportFile.write(report);
    bool bOk = nWritten == report.size() && m_reportFile.flush();
    m_reportFile.close();
    bOk = bOk && m_reportFile.error() == QFileDevice::NoError;
    if (!bOk) {
        m_sErrorMessage = tr("Cannot write the report file %1: %2")
                              .arg(QDir::toNativeSeparators(m_reportFile.fileName()), m_reportFile.errorString());
        qDebug() << m_sErrorMessage;
    }
    return bOk;
}

// ---------------------------------------------------------------------------
// Reply decodings

int SerialWorker::CountCBytes(const QByteArray &hexText)
{
    // Only whole bytes: a "43" that straddles two bytes (14 3F) is no 'C'.
    int nCount = 0;
    for (int i = 0; i + 1 < hexText.size(); i += 2) {
        if (hexText.at(i) == '4' && hexText.at(i + 1) == '3') {
            ++nCount;
        }
    }
    return nCount;
}

QString SerialWorker::DecodeVersion(const QString &sReply)
{
    // The first whole byte C8: noise before the reply may hold "C8" across
    // a byte boundary (FC 8F), and the digits after that are no version.
    // Only a reply without a whole C8 is read from the first "C8" anywhere,
    // or (none at all, index -1) from the digits at 1..4, as the device has
    // always been answered.
    int nIndex = -1;
    for (int i = 0; i + 1 < sReply.size(); i += 2) {
        if (sReply.at(i) == QLatin1Char('C') && sReply.at(i + 1) == QLatin1Char('8')) {
            nIndex = i;
            break;
        }
    }
    if (nIndex < 0) {
        nIndex = sReply.indexOf(QLatin1String("C8"));
    }
    const int nMajor = HexPairAt(sReply, nIndex + 2);
    const int nMinor = HexPairAt(sReply, nIndex + 4);
    return QStringLiteral("V%1.%2").arg(nMajor).arg(nMinor);
}

QString SerialWorker::DecodeSerialNumber(const QString &sReply)
{
    // The reply may follow stale bytes that arrived after an earlier window
    // (nothing flushes the input), so the digits are taken from the first
    // whole byte CC on, not from a fixed position: 0A CC 08 12 34 56 is
    // still 08123456. A count beyond the reply's end gives what there is.
    int nIndex = -1;
    for (int i = 0; i + 1 < sReply.size(); i += 2) {
        if (sReply.at(i) == QLatin1Char('C') && sReply.at(i + 1) == QLatin1Char('C')) {
            nIndex = i;
            break;
        }
    }
    const int nCount = HexPairAt(sReply, nIndex + 2);
    return sReply.mid(nIndex >= 0 ? nIndex + 2 : 2, nCount);
}

int SerialWorker::DecodeLogInfoCount(const QString &sReply)
{
    QString sHex = sReply.simplified();
    if (sHex.size() % 2 != 0) {
        sHex.append(QLatin1Char('0'));
    }
    QByteArray bytes;
    bytes.reserve(sHex.size() / 2);
    for (int i = 0; i + 1 < sHex.size(); i += 2) {
        if (!IsHexDigit(sHex.at(i)) || !IsHexDigit(sHex.at(i + 1))) {
            qDebug() << "Invalid hex string";
            bytes.clear();
            break;
        }
        bytes.append(char(HexPairAt(sHex, i)));
    }
    const QString sText = QString::fromUtf8(bytes);
    const int nColon = sText.indexOf(QLatin1Char(':'));
    const QString sNumber = (nColon >= 0 ? sText.mid(nColon + 1) : sText).trimmed().simplified();
    bool bOk = false;
    const int nCount = sNumber.toInt(&bOk, 10);
    // A count that is not a decimal number, does not fit an int or is
    // negative is unknown: 0, which only makes the export's progress fall
    // back to its own counter.
    if (!bOk || nCount < 0) {
        return 0;
    }
    return nCount;
}
