#include "device/serialworker.h"

#include "app/logging.h"
#include "device/portlister.h"
#include "device/waits.h"

#include <QDebug>
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
    CreateSerialPort();
}

SerialWorker::~SerialWorker()
{
    delete m_pReadTimer;
    m_pReadTimer = nullptr;
    delete m_pSerialPort;
    m_pSerialPort = nullptr;
}

// ---------------------------------------------------------------------------
// Serial link

void SerialWorker::CreateSerialPort()
{
    delete m_pSerialPort;
    m_pSerialPort = new QSerialPort;
    m_pSerialPort->setBaudRate(QSerialPort::Baud115200, QSerialPort::AllDirections);
    m_pSerialPort->setDataBits(QSerialPort::Data8);
    m_pSerialPort->setParity(QSerialPort::NoParity);
    m_pSerialPort->setStopBits(QSerialPort::OneStop);
    m_pSerialPort->setPortName(m_sPortName);
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
    QString sFrameText;
    const QByteArray frame = BuildCommandFrame(QLatin1String(kExportLogInfoCommand), sFrameText);
    if (!SendBytes(frame, kExportLogInfoTexts)) {
        return false;
    }
    // No reply window: the device starts streaming its records at once.
    return StartExportCollection(sDirPath);
}

bool SerialWorker::StartExportCollection(const QString &sDirPath)
{
    // The report file and the collection of the record stream are not built
    // yet. Until they are, an export that reached this point has collected
    // nothing, and says so rather than claiming a report.
    qDebug() << "ExportLogInfo: record collection not available; no report written in" << sDirPath;
    return false;
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
    // Without "C8" the index is -1 and the digits at 1..4 are read, as the
    // device has always been answered.
    const int nIndex = sReply.indexOf(QLatin1String("C8"));
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
