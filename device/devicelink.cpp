#include "device/devicelink.h"

#include "device/busyline.h"
#include "device/commandframes.h"
#include "device/portsearch.h"
#include "device/readpoll.h"

#include <QCoreApplication>
#include <QDebug>
#include <QEventLoop>
#include <QPointer>
#include <QSignalBlocker>
#include <QTimer>


namespace {

// The link's texts are translated in the context of its owner; listed here
// under both owners so that the translation tools find them.
[[maybe_unused]] const char *const kOwnerTexts[] = {
    QT_TRANSLATE_NOOP("SerialWorker", "No serial port available"),
    QT_TRANSLATE_NOOP("SerialWorker", "Failed to open serial port"),
    QT_TRANSLATE_NOOP("SerialWorker", "The serial port is in use by another program"),
    QT_TRANSLATE_NOOP("SerialWorker", "The device keeps sending: its line did not fall quiet within %1 s"),
    QT_TRANSLATE_NOOP("SerialWorker", "Something on %1 answers that is not this device"),
    QT_TRANSLATE_NOOP("QSerialUser", "No serial port available"),
    QT_TRANSLATE_NOOP("QSerialUser", "Failed to open serial port"),
    QT_TRANSLATE_NOOP("QSerialUser", "The serial port is in use by another program"),
    QT_TRANSLATE_NOOP("QSerialUser", "The device keeps sending: its line did not fall quiet within %1 s"),
    QT_TRANSLATE_NOOP("QSerialUser", "Something on %1 answers that is not this device"),
};

std::function<void(QSerialPort &port)> s_openedHookForTesting;

} // namespace

void DeviceLink::SetOpenedHookForTesting(std::function<void(QSerialPort &port)> hook)
{
    s_openedHookForTesting = std::move(hook);
}

const DeviceLink::Windows DeviceLink::kWorkerWindows = {&Waits::nProbeMs, &Waits::nProbeMs, &Waits::nReplyMs, false};
const DeviceLink::Windows DeviceLink::kCoordinatorWindows = {&Waits::nUserSavedProbeMs, &Waits::nUserScanProbeMs,
                                                             &Waits::nUserCtrlReplyMs, true};

DeviceLink::DeviceLink(const Windows &windows, const char *szTrContext, QObject *parent)
    : QObject(parent), m_windows(windows), m_szTrContext(szTrContext)
{
    qRegisterMetaType<QSerialPort::SerialPortError>();
    m_pReadTimer = new QTimer(this);
    m_pReadTimer->setSingleShot(true);
    // Precise: a coarse timer may fire up to 5 % early.
    m_pReadTimer->setTimerType(Qt::PreciseTimer);
    connect(m_pReadTimer, &QTimer::timeout, this, &DeviceLink::CountBootData);
    CreateSerialPort();
}

DeviceLink::~DeviceLink()
{
    delete m_pSerialPort;
    m_pSerialPort = nullptr;
}

ReasonText DeviceLink::Translate(const char *szText, FailureKind eKind) const
{
    return ReasonText::Tr(m_szTrContext, szText, eKind);
}

QSerialPort *DeviceLink::NewLinkPort(const QString &sPortName)
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

void DeviceLink::CreateSerialPort()
{
    delete m_pSerialPort;
    m_pSerialPort = NewLinkPort(m_sPortName);
    connect(m_pSerialPort, &QSerialPort::errorOccurred, this, &DeviceLink::HandlePortError);
    m_bDeviceGone = false;
}

bool DeviceLink::OpenCurrentPort()
{
    m_bDeviceGone = false;
    ++m_nOpenGeneration;
    // The error of an earlier path or open must not be read as this one's.
    m_pSerialPort->clearError();
    if (!m_pSerialPort->open(QIODevice::ReadWrite)) {
        qDebug() << "Open" << m_pSerialPort->portName() << "fail:" << m_pSerialPort->errorString();
        return false;
    }
    RaiseModemLines(*m_pSerialPort);
    if (s_openedHookForTesting) {
        s_openedHookForTesting(*m_pSerialPort);
    }
    return true;
}

void DeviceLink::RaiseModemLines(QSerialPort &port)
{
    // Linux raises DTR and RTS on open; Windows forces RTS off and leaves
    // DTR as the driver last had it. A device whose USB interface sends only
    // while DTR is up, or whose board wires the lines to its reset or boot
    // pins, must see the same lines on every platform. A pseudo-terminal has
    // no modem lines and refuses: that says nothing about the line, so the
    // refusal is kept from the lost-device handler.
    const QSignalBlocker quiet(&port);
    const bool bDtr = port.setDataTerminalReady(true);
    const bool bRts = port.setRequestToSend(true);
    if (!bDtr || !bRts) {
        qDebug().noquote() << QStringLiteral("DTR and RTS not raised on %1 (%2): the line has no modem lines")
                                  .arg(port.portName(), port.errorString());
        port.clearError();
    }
}

bool DeviceLink::MeansLost(QSerialPort::SerialPortError error)
{
    // Windows drivers end I/O on a pulled USB adapter with whatever error
    // they like (access denied, general failure, device not connected), and
    // Qt maps those to permission, not-found or unknown errors; a failed
    // write start is a write error. Only errors that say nothing about the
    // line (a wait that ran out, a call on a closed port or one the driver
    // does not support) leave it standing.
    switch (error) {
    case QSerialPort::ResourceError:
    case QSerialPort::ReadError:
    case QSerialPort::WriteError:
    case QSerialPort::PermissionError:
    case QSerialPort::DeviceNotFoundError:
    case QSerialPort::UnknownError:
        return true;
    default:
        return false;
    }
}

void DeviceLink::ClosePort()
{
    if (m_pSerialPort && m_pSerialPort->isOpen()) {
        m_pSerialPort->close();
    }
}

bool DeviceLink::IdentifyOpenPort(int nWindowMs)
{
    m_bReceiverAsking = false;
    m_sLastReply.clear();
    // A boot loader's receiver asks for a file with a 'C' every second or
    // so; where the line keeps what arrived before the port was opened, its
    // 'C's may be waiting here, and then nothing needs to be sent to it. How
    // old they are is not known: the transfer waits for its next one. A 'C'
    // that more data follows at once is a letter of some text, not the
    // receiver's.
    m_pSerialPort->waitForReadyRead(0);
    const QString sWaiting = CommandFrames::HexText(m_pSerialPort->readAll());
    if (CommandFrames::EndsInCByte(sWaiting) && !m_pSerialPort->waitForReadyRead(Waits::Current().nReplyQuietMs)) {
        qDebug() << "OpenSerialPort: boot loader's receiver waiting on" << m_pSerialPort->portName();
        m_nDeviceMode = DeviceCodes::ModeYmodem;
        return true;
    }
    if (!sWaiting.isEmpty()) {
        qDebug().noquote() << "OpenSerialPort: dropped what was waiting:" << sWaiting;
    }
    // Application firmware speaks only when asked: it is asked at once, and
    // its echo comes within milliseconds. The window is as long as the look
    // for 'C's and the control-mode reply together were, so a receiver
    // whose next 'C' is up to a second away is still seen.
    return m_identify && m_identify(nWindowMs);
}

bool DeviceLink::IdentifyWhenQuiet(int nWindowMs)
{
    BusyLine busy(*this);
    const bool bFound = busy.Identify(nWindowMs);
    m_bLineKeptBusy = busy.KeptBusy();
    return bFound;
}

bool DeviceLink::OpenSerialPort()
{
    return PortSearch(*this).Run();
}

bool DeviceLink::SendBytes(const QByteArray &bytes, const char *szName, const char *szSendFail)
{
    // A job being stopped sends nothing more: its next command (a boot
    // command above all) would act on a device the technician left.
    if (m_bWaitsAborted) {
        qDebug().noquote() << QStringLiteral("%1 not sent: the job is being stopped").arg(QLatin1String(szName));
        Fail(szSendFail);
        return false;
    }
    // A port closed for a lost device is not written to (Qt would only warn).
    if (!m_pSerialPort->isOpen()) {
        qDebug().noquote() << QStringLiteral("%1 send fail:").arg(QLatin1String(szName)) << "port not open";
        Fail(szSendFail);
        return false;
    }
    // Whatever waits in the port now answers nothing asked now (the tail of
    // an earlier reply, a menu printed after it): read with this command's
    // reply, it would be taken for a piece of it.
    if (m_pSerialPort->bytesAvailable() > 0) {
        qDebug().noquote() << QStringLiteral("%1: dropped before sending:").arg(QLatin1String(szName))
                           << CommandFrames::HexText(m_pSerialPort->readAll());
    }
    {
        // Windows purges the driver's buffer here, and a refused purge is
        // reported as whatever error the driver chose: it says nothing of
        // the line, which the write below tests anyway.
        const QSignalBlocker quiet(m_pSerialPort);
        m_pSerialPort->clear(QSerialPort::Input);
        m_pSerialPort->clearError();
    }
    if (m_pSerialPort->write(bytes) == bytes.size() && m_pSerialPort->waitForBytesWritten(Waits::Current().nWriteMs)) {
        return true;
    }
    qDebug().noquote() << QStringLiteral("%1 send fail:").arg(QLatin1String(szName)) << m_pSerialPort->errorString();
    Fail(szSendFail);
    if (!m_pSerialPort->isOpen()) {
        return false;
    }
    // A write that failed says the line is gone, whatever error the driver
    // chose.
    if (MeansLost(m_pSerialPort->error())) {
        LoseLine();
        return false;
    }
    // A frame still on its way when the write time ran out (a driver or an
    // adapter that holds the line up) is a failed command, not a lost
    // device. It must never reach the device later, when the line lets it
    // go: a boot command told as failed would still act. Closing drops it
    // (Windows cancels the write in flight); purging the output would not
    // do: Windows reports the write it aborts as a lost resource, and Qt
    // starts no write after it. The job's later steps fail as commands.
    ClosePort();
    return false;
}

void DeviceLink::Fail(const char *szText)
{
    qDebug() << szText;
    m_error = Translate(szText, FailureKind::CommandFailed);
}

void DeviceLink::AbortWaits()
{
    m_bWaitsAborted = true;
    if (m_pWaitLoop) {
        m_pWaitLoop->quit();
    }
}

void DeviceLink::AbortBusyWait()
{
    m_bBusyWaitAborted = true;
    if (m_bInBusyWait && m_pWaitLoop) {
        m_pWaitLoop->quit();
    }
}

void DeviceLink::RunWaitLoop(QEventLoop &loop, int nWaitMs)
{
    // Precise: Qt's default for long single shots is a coarse timer that may
    // fire up to 5 % early, and these windows must never be shorter.
    QTimer::singleShot(nWaitMs, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    QEventLoop *pOuterLoop = m_pWaitLoop;
    m_pWaitLoop = &loop;
    if (!m_bDeviceGone && !m_bWaitsAborted) {
        loop.exec();
    }
    m_pWaitLoop = pOuterLoop;
    if (m_bWaitsAborted && pOuterLoop) {
        pOuterLoop->quit();
    }
    if (m_bDeviceGone) {
        // Closing ends Qt's error reports for the lost line; an outer wait
        // (if any) has nothing left to wait for either.
        ClosePort();
        if (pOuterLoop) {
            pOuterLoop->quit();
        }
    }
}

QString DeviceLink::WaitReply(int nWaitMs, const ReplyEnd &end)
{
    m_baReadData.clear();
    m_sLastReply.clear();
    m_bLastReplyWhole = false;
    if (!m_pSerialPort->isOpen()) {
        return QString();
    }
    // The port may be replaced while the nested loop runs; never touch a
    // deleted one afterwards.
    const QPointer<QSerialPort> pPort(m_pSerialPort);
    QEventLoop loop;
    // Once the reply is whole, the line must stay quiet a little: bytes that
    // trail it (a line end, an extra byte after an echo) belong to it and
    // not to the next command's reply.
    QTimer quiet;
    quiet.setSingleShot(true);
    quiet.setTimerType(Qt::PreciseTimer);
    // Where arriving bytes are heard only after a read the program started
    // (Windows drivers that signal late, Wine), the last bytes may still be
    // in the driver when the quiet time ends: the reply is whole only once a
    // read started after that, given one poll's time, brought nothing.
    bool bConfirming = false;
    const auto take = [this, &end, &quiet, &bConfirming]() {
        const int nBefore = m_baReadData.size();
        ReadReplyData();
        if (!end || m_baReadData.size() == nBefore) {
            return;
        }
        bConfirming = false;
        const int nQuietMs = end(QString::fromLatin1(m_baReadData));
        if (nQuietMs >= 0) {
            quiet.start(nQuietMs);
        } else {
            quiet.stop();
        }
    };
    bool bWhole = false;
    // Bytes that arrived while the frame was being written are taken at once.
    ReadPoll reads(pPort, take);
    connect(&quiet, &QTimer::timeout, &loop, [&reads, &quiet, &bConfirming, &bWhole, &loop]() {
        if (!bConfirming) {
            bConfirming = true;
            quiet.start(Waits::Current().nReadPollMs);
            reads.Look();   // bytes found restart the quiet time
            return;
        }
        bWhole = true;
        loop.quit();
    });
    reads.Start();
    RunWaitLoop(loop, nWaitMs);
    reads.Stop();
    // A reply whose quiet time had passed when the window ran out is whole:
    // only the last look for trailing bytes was cut short.
    if (bConfirming && !m_bDeviceGone && !m_bWaitsAborted) {
        bWhole = true;
    }
    if (pPort && pPort == m_pSerialPort && pPort->isOpen()) {
        // Bytes read into the port after the last notification: they
        // belong to the reply too.
        ReadReplyData();
    }
    const QString sReply = QString::fromLatin1(m_baReadData);
    m_baReadData.clear();
    m_sLastReply = sReply;
    m_bLastReplyWhole = bWhole;
    return sReply;
}

void DeviceLink::ReadReplyData()
{
    m_baReadData.append(m_pSerialPort->readAll().toHex().toUpper());
}

QString DeviceLink::WaitForData(int nWaitMs)
{
    if (!m_pSerialPort->isOpen()) {
        return QString();
    }
    // Bytes may have arrived already (while the command was being written):
    // their readyRead has passed, so they end the wait at once.
    QEventLoop loop;
    bool bArrived = false;
    ReadPoll reads(m_pSerialPort, [&bArrived, &loop]() {
        bArrived = true;
        loop.quit();
    });
    reads.Start();
    if (!bArrived) {
        RunWaitLoop(loop, nWaitMs);
    }
    reads.Stop();
    if (!m_pSerialPort->isOpen()) {
        return QString();
    }
    return CommandFrames::HexText(m_pSerialPort->readAll());
}

bool DeviceLink::WaitBootReady()
{
    m_baReadData.clear();
    m_bBootReady = false;
    m_bReceiverAsking = false;
    if (!m_pSerialPort->isOpen()) {
        return false;
    }
    // Only for the length of this wait: left connected, the handler would go
    // on turning whatever the port receives later (replies, the record
    // stream of an export, the transfer's replies) into hex text.
    QEventLoop loop;
    connect(this, &DeviceLink::signal_ReadyReadQuit, &loop, &QEventLoop::quit);
    // Bytes that came before the wait count as well.
    ReadPoll reads(m_pSerialPort, [this]() { HandleBootData(); });
    reads.Start();
    RunWaitLoop(loop, Waits::Current().nBootReadyMs);
    // A boot loader that began its 'C's just before the wait ran out (ready
    // after 29 s, a 'C' every second) has not sent the four that count yet:
    // it gets a little longer for them, one that never began does not.
    if (!m_bBootReady && !m_bDeviceGone && CommandFrames::CountCBytes(m_baReadData) > 0) {
        qDebug() << "Boot loader began its 'C's late; waiting for the rest";
        RunWaitLoop(loop, Waits::Current().nBootStreamMs);
    }
    reads.Stop();
    m_pReadTimer->stop();
    qDebug() << "Boot loader ready:" << m_bBootReady << "device gone:" << m_bDeviceGone;
    // 'C's counted before the line was lost are no boot loader to send to.
    return m_bBootReady && !m_bDeviceGone;
}

void DeviceLink::HandleBootData()
{
    if (m_bBootReady) {
        return;   // what follows is the transmitter's
    }
    const QByteArray bytes = m_pSerialPort->readAll();
    if (bytes.isEmpty()) {
        return;
    }
    m_baReadData.append(bytes.toHex().toUpper());
    m_pReadTimer->start(Waits::Current().nBootQuietMs);
}

void DeviceLink::CountBootData()
{
    m_pReadTimer->stop();
    // Everything received since the wait began counts, over all bursts.
    const int nCount = CommandFrames::CountCBytes(m_baReadData);
    qDebug() << "Boot loader 'C' count:" << nCount;
    if (nCount > 3) {
        m_bBootReady = true;
        // Its last 'C' came one quiet time ago: it waits for a file now.
        m_bReceiverAsking = true;
        emit signal_ReadyReadQuit();
    }
}

void DeviceLink::HandlePortError(QSerialPort::SerialPortError error)
{
    // Errors of a refused open are the open's to report.
    if (MeansLost(error) && m_pSerialPort && m_pSerialPort->isOpen()) {
        LoseLine();
    }
}

void DeviceLink::LoseLine()
{
    if (m_bDeviceGone) {
        return;
    }
    m_bDeviceGone = true;
    qDebug() << "Serial port lost:" << (m_pSerialPort ? m_pSerialPort->errorString() : QString());
    if (m_pWaitLoop) {
        m_pWaitLoop->quit();
    }
    emit signal_DeviceLost();
    // Closing from inside the port's own notification is not safe; close it
    // right after, unless it was replaced or re-opened (possibly as another
    // path) since.
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
