#include "transfer/ymodemfiletransmit.h"

#include "app/logging.h"
#include "device/waits.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QMetaType>
#include <QTimer>

#include <cstring>

namespace {

// Removes the last code point of s (a surrogate pair as a whole).
void DropLastCodePoint(QString &s)
{
    int nCut = 1;
    if (s.size() >= 2 && s.at(s.size() - 1).isLowSurrogate() && s.at(s.size() - 2).isHighSurrogate()) {
        nCut = 2;
    }
    s.chop(nCut);
}

// The longest code-point prefix of sHead that, followed by sTail, fits
// nBudget bytes in the local 8-bit encoding; empty when none does.
QByteArray FitPrefix(QString sHead, const QString &sTail, int nBudget)
{
    while (!sHead.isEmpty()) {
        const QByteArray candidate = (sHead + sTail).toLocal8Bit();
        if (candidate.size() <= nBudget) {
            return candidate;
        }
        DropLastCodePoint(sHead);
    }
    return QByteArray();
}

} // namespace

YmodemFileTransmit::YmodemFileTransmit(QObject *parent)
    : QObject(parent)
    , Ymodem(Waits::Current().nYmodemTickDivisor, Waits::Current().nYmodemMaxTimeouts,
             Waits::Current().nYmodemMaxErrors)
    , m_pFile(new QFile)
    , m_pReadTimer(new QTimer)
    , m_pWriteTimer(new QTimer)
    , m_pSerialPort(new QSerialPort)
{
    qRegisterMetaType<YmodemFileTransmit::YmodemStatus>("YmodemFileTransmit::YmodemStatus");

    m_pSerialPort->setBaudRate(QSerialPort::Baud115200, QSerialPort::AllDirections);
    m_pSerialPort->setDataBits(QSerialPort::Data8);
    m_pSerialPort->setStopBits(QSerialPort::OneStop);
    m_pSerialPort->setParity(QSerialPort::NoParity);
    m_pSerialPort->setFlowControl(QSerialPort::NoFlowControl);

    connect(m_pReadTimer, &QTimer::timeout, this, &YmodemFileTransmit::ReadTimeOut);
    connect(m_pWriteTimer, &QTimer::timeout, this, &YmodemFileTransmit::WriteTimeOut);
    connect(m_pSerialPort, &QSerialPort::errorOccurred, this, &YmodemFileTransmit::slot_PortError);
}

YmodemFileTransmit::~YmodemFileTransmit()
{
    delete m_pReadTimer;
    delete m_pWriteTimer;
    delete m_pSerialPort;
    delete m_pFile;
}

void YmodemFileTransmit::SetFileName(const QString &sFilePath)
{
    m_pFile->setFileName(sFilePath);
}

void YmodemFileTransmit::SetPortName(const QString &sPortName)
{
    m_pSerialPort->setPortName(sPortName);
}

bool YmodemFileTransmit::IsRunning() const
{
    return m_pSerialPort->isOpen() || m_pReadTimer->isActive() || m_pWriteTimer->isActive();
}

bool YmodemFileTransmit::StartTransmit()
{
    // A transfer that has not delivered its final status yet owns the port
    // and the status; starting over it would overwrite both.
    if (IsRunning()) {
        qDebug() << "YmodemFileTransmit: a transfer is still running";
        return false;
    }
    m_nProgress = 0;
    m_eStatus = StatusOpening;
    m_bLineLost = false;
    m_pSerialPort->clearError();
    if (!m_pSerialPort->open(QIODevice::ReadWrite)) {
        qDebug() << "YmodemFileTransmit: open port fail:" << m_pSerialPort->portName()
                 << m_pSerialPort->errorString();
        return false;
    }
    m_pReadTimer->start(Waits::Current().nYmodemStepMs);
    return true;
}

void YmodemFileTransmit::ReadTimeOut()
{
    m_pReadTimer->stop();
    m_bInStep = true;
    Transmit();
    m_bInStep = false;
    if (m_bLineLost) {
        EndOnLostLine();
        return;
    }
    if (m_eStatus == StatusOpening || m_eStatus == StatusSending) {
        m_pReadTimer->start(Waits::Current().nYmodemStepMs);
    }
}

void YmodemFileTransmit::WriteTimeOut()
{
    m_pWriteTimer->stop();
    m_pSerialPort->close();
    emit TransmitStatus(m_eStatus);
}

// On a pseudo-terminal whose far end has closed, and on a serial adapter that
// was pulled, the port reports read or resource errors over and over for as
// long as it stays open. Both mean the receiver is gone: the transfer ends
// with a failure now instead of idling through the resend periods.
void YmodemFileTransmit::slot_PortError(QSerialPort::SerialPortError eError)
{
    if (eError != QSerialPort::ReadError && eError != QSerialPort::ResourceError) {
        return;
    }
    if (!m_pSerialPort->isOpen()) {
        return;
    }
    qDebug() << "YmodemFileTransmit: port error" << eError << m_pSerialPort->errorString();
    m_sLineError = (eError == QSerialPort::ReadError) ? QStringLiteral("read error") : QStringLiteral("resource error");
    if (m_bInStep) {
        m_bLineLost = true;
        return;
    }
    EndOnLostLine();
}

void YmodemFileTransmit::EndOnLostLine()
{
    m_bLineLost = false;
    m_pReadTimer->stop();
    if (m_eStatus == StatusOpening || m_eStatus == StatusSending) {
        KP_LOG_INFO("YmodemFileTransmit: line lost, transfer failed:{}", m_sLineError);
        Abort(NotifyFailed);
    }
    // Closing stops the error storm; the final status still follows after
    // the end wait, as for every other ending.
    m_pSerialPort->close();
}

void YmodemFileTransmit::Finish(YmodemStatus eStatus)
{
    m_pFile->close();
    m_eStatus = eStatus;
    m_pWriteTimer->start(Waits::Current().nYmodemEndMs);
}

uint32_t YmodemFileTransmit::ReadBytes(uint8_t *pBuffer, uint32_t nMax)
{
    const qint64 nRead = m_pSerialPort->read(reinterpret_cast<char *>(pBuffer), nMax);
    if (nRead <= 0) {
        return 0;
    }
    return static_cast<uint32_t>(nRead);
}

uint32_t YmodemFileTransmit::WriteBytes(const uint8_t *pBuffer, uint32_t nCount)
{
    const qint64 nWritten = m_pSerialPort->write(reinterpret_cast<const char *>(pBuffer), nCount);
    if (nWritten < 0) {
        qDebug() << "YmodemFileTransmit: write fail:" << m_pSerialPort->errorString();
        return 0;
    }
    return static_cast<uint32_t>(nWritten);
}

uint8_t YmodemFileTransmit::Callback(Request eRequest, uint8_t *pData, uint32_t *pLength)
{
    switch (eRequest) {
    case RequestHeader:
        return FillHeader(pData, pLength);
    case RequestData:
        return FillData(pData, pLength);
    case NotifyFinished:
        Finish(StatusDone);
        return CodeAck;
    case NotifyCancelled:
        Finish(StatusCancelled);
        return CodeCan;
    case NotifyTimeOut:
        Finish(StatusTimeOut);
        return CodeCan;
    default:
        Finish(StatusFailed);
        return CodeCan;
    }
}

QByteArray YmodemFileTransmit::HeaderFileName(const QString &sFileName, qint64 nFileSize)
{
    const int nBudget = static_cast<int>(kHeaderDataSize) - 2 - QByteArray::number(nFileSize, 10).size();
    const QByteArray whole = sFileName.toLocal8Bit();
    if (whole.size() <= nBudget) {
        return whole;
    }
    // Keep the suffix (".bin") when something of the base name can stay in
    // front of it; otherwise cut the whole name from its end.
    const int nDot = sFileName.lastIndexOf(QLatin1Char('.'));
    if (nDot > 0) {
        const QByteArray kept = FitPrefix(sFileName.left(nDot), sFileName.mid(nDot), nBudget);
        if (!kept.isEmpty()) {
            return kept;
        }
    }
    return FitPrefix(sFileName, QString(), nBudget);
}

int YmodemFileTransmit::ProgressPercent(qint64 nSent, qint64 nSize)
{
    if (nSize <= 0 || nSent <= 0) {
        return 0;
    }
    if (nSent >= nSize) {
        return 100;
    }
    // floor(100 * s / n) by binary long division over the bits of 100, with
    // the running value kept as q + r / n (r < n < 2^63, so 2r and r + s
    // both stay below 2^64).
    const quint64 n = static_cast<quint64>(nSize);
    const quint64 s = static_cast<quint64>(nSent);
    quint64 q = 0;
    quint64 r = 0;
    for (int nBit = 6; nBit >= 0; --nBit) {
        q <<= 1;
        r <<= 1;
        if (r >= n) {
            q += 1;
            r -= n;
        }
        if ((100 >> nBit) & 1) {
            r += s;
            if (r >= n) {
                q += 1;
                r -= n;
            }
        }
    }
    return static_cast<int>(q);
}

uint8_t YmodemFileTransmit::FillHeader(uint8_t *pData, uint32_t *pLength)
{
    if (m_pFile->isOpen()) {
        m_pFile->close();
    }
    if (!m_pFile->open(QIODevice::ReadOnly)) {
        qDebug() << "YmodemFileTransmit: open file fail:" << m_pFile->fileName() << m_pFile->errorString();
        KP_LOG_INFO("YmodemFileTransmit: open file fail:{}", m_pFile->fileName());
        m_eStatus = StatusFailed;
        m_pWriteTimer->start(Waits::Current().nYmodemEndMs);
        return CodeCan;
    }
    const QFileInfo info(*m_pFile);
    m_nFileSize = info.size();
    m_nSentSize = 0;

    const QByteArray size = QByteArray::number(m_nFileSize, 10);
    const QByteArray name = HeaderFileName(info.fileName(), m_nFileSize);
    if (name.size() != info.fileName().toLocal8Bit().size()) {
        KP_LOG_INFO("YmodemFileTransmit: file name shortened in the header:{}", QString::fromLocal8Bit(name));
    }
    // name NUL size NUL; the engine zeroed the field, and the name was cut
    // to leave room for the size and both NULs.
    std::memcpy(pData, name.constData(), static_cast<size_t>(name.size()));
    std::memcpy(pData + name.size() + 1, size.constData(), static_cast<size_t>(size.size()));
    *pLength = kHeaderDataSize;

    m_eStatus = StatusOpening;
    emit TransmitStatus(StatusOpening);
    return CodeAck;
}

uint8_t YmodemFileTransmit::FillData(uint8_t *pData, uint32_t *pLength)
{
    if (m_nSentSize >= m_nFileSize) {
        m_eStatus = StatusSending;
        emit TransmitStatus(StatusSending);
        return CodeEot;
    }
    const quint64 nRemaining = static_cast<quint64>(m_nFileSize - m_nSentSize);
    const uint32_t nField = (nRemaining > kHeaderDataSize) ? kLongDataSize : kHeaderDataSize;
    // Never more than the header announced, even if the file grew meanwhile.
    const qint64 nWanted = static_cast<qint64>(qMin<quint64>(nField, nRemaining));
    const qint64 nRead = m_pFile->read(reinterpret_cast<char *>(pData), nWanted);
    if (nRead <= 0) {
        // A failed read, or a file that shrank below its announced size:
        // refuse the block (the engine sends CANs) rather than send a block
        // that is not the file's.
        const QString sReason = (nRead < 0) ? m_pFile->errorString() : QStringLiteral("file ended early");
        qDebug() << "YmodemFileTransmit: read file fail:" << m_pFile->fileName() << sReason;
        KP_LOG_INFO("YmodemFileTransmit: read file fail:{}", sReason);
        Finish(StatusFailed);
        return CodeCan;
    }
    m_nSentSize += nRead;
    m_nProgress = ProgressPercent(m_nSentSize, m_nFileSize);
    *pLength = nField;
    m_eStatus = StatusSending;
    emit TransmitProgress(m_nProgress);
    emit TransmitStatus(StatusSending);
    return CodeAck;
}
