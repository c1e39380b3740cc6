#include "transfer/ymodemfiletransmit.h"

#include "app/logging.h"
#include "device/devicelink.h"
#include "device/readpoll.h"
#include "device/waits.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QMetaType>
#include <QThread>
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
             Waits::Current().nYmodemMaxErrors, Waits::Current().nYmodemClosingResendSteps,
             Waits::Current().nYmodemClosingResends)
    , m_pFile(new QFile)
    , m_pReadTimer(new QTimer)
    , m_pWriteTimer(new QTimer)
    , m_pSerialPort(DeviceLink::NewLinkPort(QString()))
{
    qRegisterMetaType<YmodemFileTransmit::YmodemStatus>("YmodemFileTransmit::YmodemStatus");

    // Precise: a coarse timer may fire up to 5 % early, and neither the step
    // interval nor the end wait before the final status may be shorter.
    m_pReadTimer->setTimerType(Qt::PreciseTimer);
    m_pWriteTimer->setTimerType(Qt::PreciseTimer);
    connect(m_pReadTimer, &QTimer::timeout, this, &YmodemFileTransmit::ReadTimeOut);
    connect(m_pWriteTimer, &QTimer::timeout, this, &YmodemFileTransmit::WriteTimeOut);
    connect(m_pSerialPort, &QSerialPort::errorOccurred, this, &YmodemFileTransmit::slot_PortError);
    // The fast path for ACKs; every step reads the port as well, which on
    // Windows starts the read that a readyRead follows.
    if (ReadPoll::ListensToReadyRead()) {
        connect(m_pSerialPort, &QSerialPort::readyRead, this, &YmodemFileTransmit::slot_ReplyArrived);
    }
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

bool YmodemFileTransmit::StartTransmit(bool bReceiverAsking)
{
    // The step and end timers belong to this object's thread: started from
    // another one they never fire, and the transfer would hang silently.
    if (QThread::currentThread() != thread()) {
        qDebug() << "YmodemFileTransmit: StartTransmit called outside the object's thread";
        KP_LOG_INFO("YmodemFileTransmit: start refused, called outside the transmitter's thread");
        return false;
    }
    // A transfer that has not delivered its final status yet owns the port
    // and the status; starting over it would overwrite both.
    if (IsRunning()) {
        qDebug() << "YmodemFileTransmit: a transfer is still running";
        return false;
    }
    m_nProgress = 0;
    m_eStatus = StatusOpening;
    m_bLineLost = false;
    m_bEndedOnLostLine = false;
    m_bCancelPending = false;
    m_pSerialPort->clearError();
    if (!m_pSerialPort->open(QIODevice::ReadWrite)) {
        qDebug() << "YmodemFileTransmit: open port fail:" << m_pSerialPort->portName()
                 << m_pSerialPort->errorString();
        return false;
    }
    DeviceLink::RaiseModemLines(*m_pSerialPort);
    m_bReceiverAsking = bReceiverAsking;
    if (bReceiverAsking) {
        // The 'C's waiting now were seen already; the one that counts is
        // handed to the first step.
        m_pSerialPort->clear(QSerialPort::Input);
    }
    m_pReadTimer->start(bReceiverAsking ? 0 : Waits::Current().nYmodemStepMs);
    return true;
}

bool YmodemFileTransmit::CancelTransmit()
{
    if (!m_pSerialPort->isOpen() || m_pWriteTimer->isActive()
        || (m_eStatus != StatusOpening && m_eStatus != StatusSending)) {
        return false;
    }
    if (m_bInStep) {
        // Asked from a handler of this step's own signals: never inside the
        // engine's step; right after it.
        m_bCancelPending = true;
        return true;
    }
    m_bCancelPending = false;
    m_pReadTimer->stop();
    KP_LOG_INFO("YmodemFileTransmit: transfer cancelled by the sender at {} %", static_cast<long long>(m_nProgress));
    Abort(NotifyCancelled);
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
    if (m_bCancelPending && CancelTransmit()) {
        return;
    }
    if (m_eStatus == StatusOpening || m_eStatus == StatusSending) {
        m_pReadTimer->start(Waits::Current().nYmodemStepMs);
    }
}

// A block takes about 89 ms on the wire at 115200 baud and its ACK follows
// right after; waiting for the next 50 ms tick would leave the line idle for
// up to a tick per block. So an ACK or NAK that the engine is waiting for
// runs a step at once. Only those: every other byte (a flood of "C"s, noise,
// an ACK the engine would only count as an idle step) waits for the tick, so
// the idle-step limits keep their length in seconds.
void YmodemFileTransmit::slot_ReplyArrived()
{
    if (m_bInStep || !m_pReadTimer->isActive()) {
        return;   // inside a step, or no transfer waiting for its next step
    }
    char cHead = 0;
    if (m_pSerialPort->peek(&cHead, 1) != 1 || !IsAwaitedReply(static_cast<uint8_t>(cHead))) {
        return;
    }
    ReadTimeOut();
}

bool YmodemFileTransmit::IsAwaitedReply(uint8_t nByte) const
{
    switch (Stage()) {
    case StageHeaderSent:
        // With block 1 prepared the header was acknowledged already: a
        // further ACK is idle, a NAK asks for block 1.
        return nByte == CodeNak || (nByte == CodeAck && BlockNumber() != 1);
    case StageSendingData:
    case StageEndOfBatch:
        return nByte == CodeAck || nByte == CodeNak;
    case StageEndOfFile:
        return nByte == CodeNak;   // the ACK of the second EOT is ignored
    default:
        return false;
    }
}

void YmodemFileTransmit::WriteTimeOut()
{
    // Windows' close cancels the write in flight and drops what is queued
    // behind it: the CANs of a cancel queued behind a 1029-byte block (89 ms
    // on the wire) would never reach the receiver. They get time to leave,
    // bounded, so that a line that takes nothing more cannot hold the end.
    constexpr int kDrainStepMs = 10;
    m_pWriteTimer->stop();
    const qint64 nQueued = m_pSerialPort->isOpen() ? m_pSerialPort->bytesToWrite() : 0;
    if (nQueued > 0 && m_sinceEnd.elapsed() < Waits::Current().nYmodemDrainMs) {
        m_pWriteTimer->start(kDrainStepMs);
        return;
    }
    if (nQueued > 0) {
        KP_LOG_INFO("YmodemFileTransmit: {} bytes had not left the port when it was closed",
                    static_cast<long long>(nQueued));
    }
    m_pSerialPort->close();
    emit TransmitStatus(m_eStatus);
}

// On a pseudo-terminal whose far end has closed, and on a serial adapter that
// was pulled, the port reports errors over and over for as long as it stays
// open. They mean the receiver is gone: the transfer ends with a failure now
// instead of idling through the resend periods.
void YmodemFileTransmit::slot_PortError(QSerialPort::SerialPortError eError)
{
    if (!DeviceLink::MeansLost(eError) || !m_pSerialPort->isOpen()) {
        return;
    }
    qDebug() << "YmodemFileTransmit: port error" << eError << m_pSerialPort->errorString();
    m_sLineError = QStringLiteral("port error %1 (%2)").arg(int(eError)).arg(m_pSerialPort->errorString());
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
    // A boot loader that acknowledges the closing header and reboots at once
    // (or a USB port that vanishes with it) may leave that ACK unread between
    // two steps: take what already arrived before judging the transfer.
    // Each step consumes at least one byte, so this ends.
    while ((m_eStatus == StatusOpening || m_eStatus == StatusSending) && m_pSerialPort->bytesAvailable() > 0) {
        m_bInStep = true;
        Transmit();
        m_bInStep = false;
    }
    m_bLineLost = false;
    if (m_eStatus == StatusOpening || m_eStatus == StatusSending) {
        KP_LOG_INFO("YmodemFileTransmit: line lost, transfer failed:{}", m_sLineError);
        m_bEndedOnLostLine = true;
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
    m_sinceEnd.start();
    m_pWriteTimer->start(Waits::Current().nYmodemEndMs);
}

uint32_t YmodemFileTransmit::ReadBytes(uint8_t *pBuffer, uint32_t nMax)
{
    if (m_bReceiverAsking && nMax > 0) {
        m_bReceiverAsking = false;
        pBuffer[0] = 'C';
        return 1;
    }
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
        // A write the open port refuses: the line is gone.
        if (m_bInStep && m_pSerialPort->isOpen()) {
            m_sLineError = QStringLiteral("write failed (%1)").arg(m_pSerialPort->errorString());
            m_bLineLost = true;
        }
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
        if (ClosingUnconfirmed()) {
            KP_LOG_INFO("YmodemFileTransmit: the receiver acknowledged the end of the file, but no ACK of the "
                        "closing header came after its last resend; taken as completed");
        }
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
    // Unbuffered: every block is read from the file as it is at that moment,
    // so a file that a build shrinks or rewrites during the transfer shows as
    // a short read at once instead of after 16 KiB of stale buffered bytes.
    if (!m_pFile->open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        qDebug() << "YmodemFileTransmit: open file fail:" << m_pFile->fileName() << m_pFile->errorString();
        KP_LOG_INFO("YmodemFileTransmit: open file fail:{}", m_pFile->fileName());
        m_eStatus = StatusFailed;
        m_pWriteTimer->start(Waits::Current().nYmodemEndMs);
        return CodeCan;
    }
    const QFileInfo info(*m_pFile);
    m_nFileSize = info.size();
    m_nSentSize = 0;
    m_sentHash.reset();

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

    // "C"s that queued up while the transfer was starting ask for the same
    // header. Each one left on the line would send the header again, the
    // receiver would acknowledge every copy, and the engine would run one
    // ACK ahead of it: a later NAK would then be answered with the next
    // block instead of the rejected one.
    char cHead = 0;
    while (m_pSerialPort->peek(&cHead, 1) == 1 && cHead == char(CodeC)) {
        m_pSerialPort->read(&cHead, 1);
    }

    m_eStatus = StatusOpening;
    emit TransmitStatus(StatusOpening);
    return CodeAck;
}

uint8_t YmodemFileTransmit::FillData(uint8_t *pData, uint32_t *pLength)
{
    if (m_nSentSize >= m_nFileSize) {
        // A file rewritten in place while it was sent (a build writing the
        // same name at the full size) reads short nowhere, but the blocks
        // sent mix the old image and the new one. The end is refused (the
        // engine sends CANs) unless the file still holds what went out: the
        // receiver then stores nothing.
        if (!FileStillAsSent()) {
            qDebug() << "YmodemFileTransmit: file changed during the transfer:" << m_pFile->fileName();
            KP_LOG_INFO("YmodemFileTransmit: file changed during the transfer:{}", m_pFile->fileName());
            Finish(StatusFailed);
            return CodeCan;
        }
        m_eStatus = StatusSending;
        emit TransmitStatus(StatusSending);
        return CodeEot;
    }
    const quint64 nRemaining = static_cast<quint64>(m_nFileSize - m_nSentSize);
    const uint32_t nField = (nRemaining > kHeaderDataSize) ? kLongDataSize : kHeaderDataSize;
    // Never more than the header announced, even if the file grew meanwhile.
    const qint64 nWanted = static_cast<qint64>(qMin<quint64>(nField, nRemaining));
    const qint64 nRead = m_pFile->read(reinterpret_cast<char *>(pData), nWanted);
    if (nRead != nWanted) {
        // A failed read, or a file that shrank below its announced size (a
        // build rewriting the image): refuse the block (the engine sends
        // CANs). A short block sent zero-filled would put zeros into the
        // image, and the reads after it would go on from the wrong place.
        const QString sReason = (nRead < 0) ? m_pFile->errorString() : QStringLiteral("file ended early");
        qDebug() << "YmodemFileTransmit: read file fail:" << m_pFile->fileName() << sReason;
        KP_LOG_INFO("YmodemFileTransmit: read file fail:{}", sReason);
        Finish(StatusFailed);
        return CodeCan;
    }
    m_sentHash.addData(reinterpret_cast<const char *>(pData), static_cast<int>(nRead));
    m_nSentSize += nRead;
    m_nProgress = ProgressPercent(m_nSentSize, m_nFileSize);
    *pLength = nField;
    m_eStatus = StatusSending;
    emit TransmitProgress(m_nProgress);
    emit TransmitStatus(StatusSending);
    return CodeAck;
}

bool YmodemFileTransmit::FileStillAsSent()
{
    if (!m_pFile->seek(0)) {
        return false;
    }
    QCryptographicHash hash(QCryptographicHash::Sha1);
    QByteArray buffer(64 * 1024, Qt::Uninitialized);
    qint64 nLeft = m_nFileSize;
    while (nLeft > 0) {
        const qint64 nRead = m_pFile->read(buffer.data(), qMin<qint64>(nLeft, buffer.size()));
        if (nRead <= 0) {
            return false;
        }
        hash.addData(buffer.constData(), static_cast<int>(nRead));
        nLeft -= nRead;
    }
    return hash.result() == m_sentHash.result();
}
