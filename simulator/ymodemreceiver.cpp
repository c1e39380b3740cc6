#include "simulator/ymodemreceiver.h"

#include "simulator/devicechecksums.h"

#include <algorithm>

namespace {
constexpr char kSoh = 0x01;
constexpr char kStx = 0x02;
constexpr char kEot = 0x04;
constexpr char kAck = 0x06;
constexpr char kNak = 0x15;
constexpr char kCan = 0x18;
constexpr char kC = 'C';
// Bytes of other units are gathered into one transcript entry until the line
// has been quiet this long.
constexpr int kJunkQuietMs = 100;
// Answer of the garbage fault: none of these means anything to a sender.
const QByteArray kGarbageAnswer = QByteArray::fromHex("7E5A3F11");

qint64 Earliest(qint64 a, qint64 b)
{
    if (a < 0)
        return b;
    if (b < 0)
        return a;
    return std::min(a, b);
}
} // namespace

YmodemReceiver::YmodemReceiver(const SimulatorOptions &options, Sink *pSink)
    : m_options(options)
    , m_pSink(pSink)
    , m_nNakLeft(options.nNakTimes)
{
    if (m_options.nCIntervalMs < 1)
        m_options.nCIntervalMs = 1;
}

void YmodemReceiver::Start(qint64 nNowMs)
{
    m_baBlock.clear();
    m_baJunk.clear();
    m_baCancelRun.clear();
    m_file = PendingFile();
    m_bSilent = false;
    EnterAwaitHeader(nNowMs);
    Tick(nNowMs);
}

void YmodemReceiver::Stop()
{
    FlushJunk();
    FlushCancelRun();
    m_ePhase = Phase::Inactive;
    m_baBlock.clear();
    m_file = PendingFile();
    m_nNextCMs = -1;
}

void YmodemReceiver::EnterAwaitHeader(qint64 nFirstCMs)
{
    m_ePhase = Phase::AwaitHeader;
    m_nNextCMs = nFirstCMs;
    m_nDataBlocks = 0;
    m_nEotCount = 0;
    m_nDataTimeouts = 0;
}

void YmodemReceiver::Reply(const QByteArray &bytes)
{
    if (!m_bSilent && m_ePhase != Phase::Inactive)
        m_pSink->ReceiverSend(bytes);
}

void YmodemReceiver::FlushJunk()
{
    if (!m_baJunk.isEmpty()) {
        m_pSink->ReceiverFrame(m_baJunk, QStringLiteral("noise"));
        m_baJunk.clear();
    }
}

void YmodemReceiver::FlushCancelRun()
{
    if (!m_baCancelRun.isEmpty()) {
        m_pSink->ReceiverFrame(m_baCancelRun, QStringLiteral("cancel"));
        m_baCancelRun.clear();
    }
}

void YmodemReceiver::Feed(const QByteArray &bytes, qint64 nNowMs)
{
    for (char c : bytes) {
        if (m_ePhase == Phase::Inactive)
            return;
        FeedByte(c, nNowMs);
    }
}

void YmodemReceiver::FeedByte(char c, qint64 nNowMs)
{
    m_nLastByteMs = nNowMs;
    m_nLastActivityMs = nNowMs;
    if (!m_baBlock.isEmpty()) {
        m_baBlock.append(c);
        if (m_baBlock.size() == m_nBlockLength) {
            QByteArray block;
            block.swap(m_baBlock);
            HandleBlock(block, nNowMs);
        }
        return;
    }
    if (c == kCan) {
        FlushJunk();
        m_baCancelRun.append(c);
        if (m_baCancelRun.size() == 2)
            HandleSenderCancel(nNowMs);
        return;
    }
    FlushCancelRun();
    if (c == kSoh || c == kStx) {
        FlushJunk();
        m_baBlock.append(c);
        m_nBlockLength = (c == kSoh) ? 133 : 1029;
        m_nBlockStartMs = nNowMs;
    } else if (c == kEot) {
        FlushJunk();
        m_pSink->ReceiverFrame(QByteArray(1, kEot), QString());
        HandleEot(nNowMs);
    } else {
        m_baJunk.append(c);
    }
}

void YmodemReceiver::HandleSenderCancel(qint64 nNowMs)
{
    // Two CANs in a row: the sender gives up. Outside a transfer there is
    // nothing to cancel and the "C"s simply go on.
    if (m_ePhase == Phase::AwaitData || m_ePhase == Phase::BatchEnd || m_bSilent) {
        m_bSilent = false;
        Abort(QStringLiteral("cancelled by the sender"), false, nNowMs);
    }
}

void YmodemReceiver::HandleBlock(const QByteArray &block, qint64 nNowMs)
{
    const int nDataLength = block.size() - 5;
    const uint8_t nNumber = static_cast<uint8_t>(block.at(1));
    const uint8_t nComplement = static_cast<uint8_t>(block.at(2));
    const QByteArray data = block.mid(3, nDataLength);
    const uint16_t nCrc = static_cast<uint16_t>((static_cast<uint8_t>(block.at(3 + nDataLength)) << 8)
                                                | static_cast<uint8_t>(block.at(4 + nDataLength)));
    const bool bNumberOk = static_cast<uint8_t>(nNumber ^ nComplement) == 0xFF;
    const bool bCrcOk = DeviceChecksums::Crc16(data) == nCrc;
    QString sNote;
    if (!bNumberOk)
        sNote = QStringLiteral("bad block number complement");
    else if (!bCrcOk)
        sNote = QStringLiteral("bad CRC");
    m_pSink->ReceiverFrame(block, sNote);
    if (m_bSilent)
        return;
    if (!sNote.isEmpty()) {
        Reply(QByteArray(1, kNak));
        return;
    }

    if (m_ePhase == Phase::AwaitHeader || m_ePhase == Phase::BatchEnd) {
        if (nNumber != 0) {
            Reply(QByteArray(1, kNak));
            return;
        }
        HandleHeader(data, nNowMs);
        return;
    }

    // A file's data.
    const uint8_t nExpected = static_cast<uint8_t>(m_nDataBlocks + 1);
    if (nNumber == nExpected) {
        const int nPosition = static_cast<int>(m_nDataBlocks + 1);
        if (ApplyFault(nPosition, nNowMs))
            return;
        if (m_file.content.size() + static_cast<qint64>(data.size()) > kMaxImageBytes) {
            Abort(QStringLiteral("image larger than %1 bytes").arg(kMaxImageBytes), true, nNowMs);
            return;
        }
        m_file.content.append(data);
        ++m_nDataBlocks;
        m_nEotCount = 0;
        m_nDataTimeouts = 0;
        Reply(QByteArray(1, kAck));
    } else if (m_nDataBlocks > 0 && nNumber == static_cast<uint8_t>(m_nDataBlocks)) {
        // Our ACK of the previous block was lost: acknowledge it again, but
        // keep its data only once.
        Reply(QByteArray(1, kAck));
    } else if (m_nDataBlocks == 0 && nNumber == 0) {
        // The header again (the sender missed our ACK or our "C").
        Reply(QByteArray(1, kAck) + kC);
    } else {
        Abort(QStringLiteral("block %1 out of sequence, expected %2").arg(nNumber).arg(nExpected), true, nNowMs);
    }
}

void YmodemReceiver::HandleHeader(const QByteArray &data, qint64 nNowMs)
{
    const bool bClosing = data.at(0) == '\0';
    if (bClosing) {
        if (m_ePhase == Phase::BatchEnd && m_options.bDropClosingAck) {
            // The ACK lost on the line: the sender never sees it, while the
            // boot loader goes on as if it had been sent.
            m_options.bDropClosingAck = false;
        } else {
            Reply(QByteArray(1, kAck));
        }
        if (m_ePhase == Phase::BatchEnd) {
            if (DeliverPendingFile(nNowMs)) {
                m_ePhase = Phase::Inactive;
                m_nNextCMs = -1;
                m_pSink->ReceiverBatchDone();
            }
        }
        // A closing header with no file before it: an empty batch; keep
        // waiting for a file.
        return;
    }
    if (ApplyFault(0, nNowMs))
        return;
    if (m_ePhase == Phase::BatchEnd && !DeliverPendingFile(nNowMs))
        return;

    PendingFile file;
    const int nNameEnd = data.indexOf('\0');
    file.rawName = data.left(nNameEnd);
    // The size is the decimal number after the name; a sender may follow it
    // with a space and more fields (date, mode). No digits: size unknown.
    const int nSizeStart = nNameEnd + 1;
    int nSizeEnd = nSizeStart;
    while (nSizeEnd < data.size() && data.at(nSizeEnd) >= '0' && data.at(nSizeEnd) <= '9' && nSizeEnd - nSizeStart < 18)
        ++nSizeEnd;
    if (nSizeEnd > nSizeStart)
        file.nHeaderSize = data.mid(nSizeStart, nSizeEnd - nSizeStart).toLongLong();
    file.bValid = true;
    m_file = file;
    m_ePhase = Phase::AwaitData;
    m_nDataBlocks = 0;
    m_nEotCount = 0;
    m_nDataTimeouts = 0;
    m_nLastActivityMs = nNowMs;
    m_nNextCMs = -1;
    Reply(QByteArray(1, kAck) + kC);
}

void YmodemReceiver::HandleEot(qint64 nNowMs)
{
    if (m_bSilent)
        return;
    if (m_ePhase == Phase::BatchEnd) {
        // A repeated EOT whose ACK the sender did not see.
        Reply(QByteArray(1, kAck));
        return;
    }
    if (m_ePhase != Phase::AwaitData)
        return;
    if (m_nEotCount == 0) {
        m_nEotCount = 1;
        if (ApplyFault(SimulatorOptions::kAtEot, nNowMs, false))
            return;
        // The first EOT is always refused once: a genuine end is sent again.
        Reply(QByteArray(1, kNak));
        return;
    }
    // A NAK fault at the EOT refuses the repeated EOT, the one that would
    // otherwise be taken.
    if (m_options.nNakAtBlock == SimulatorOptions::kAtEot && ApplyFault(SimulatorOptions::kAtEot, nNowMs))
        return;
    Reply(QByteArray(1, kAck) + kC);
    m_ePhase = Phase::BatchEnd;
    m_nBatchEndSinceMs = nNowMs;
    m_nNextCMs = nNowMs + m_options.nCIntervalMs;
}

bool YmodemReceiver::ApplyFault(int nPosition, qint64 nNowMs, bool bAllowNak)
{
    if (m_options.nCloseAtBlock == nPosition) {
        m_options.nCloseAtBlock = SimulatorOptions::kNever;
        Stop();
        m_pSink->ReceiverAborted(QStringLiteral("line closed at block %1").arg(nPosition));
        m_pSink->ReceiverCloseLine();
        return true;
    }
    if (m_options.nSilentAtBlock == nPosition) {
        m_options.nSilentAtBlock = SimulatorOptions::kNever;
        m_bSilent = true;
        m_nNextCMs = -1;
        return true;
    }
    if (m_options.nCancelAtBlock == nPosition) {
        m_options.nCancelAtBlock = SimulatorOptions::kNever;
        Abort(QStringLiteral("cancelled by the receiver at block %1").arg(nPosition), true, nNowMs);
        return true;
    }
    if (m_options.nCancelLetterAtBlock == nPosition) {
        m_options.nCancelLetterAtBlock = SimulatorOptions::kNever;
        Reply(QByteArray(1, m_options.cCancelLetter));
        Abort(QStringLiteral("aborted with \"%1\" at block %2").arg(QLatin1Char(m_options.cCancelLetter)).arg(nPosition),
              false, nNowMs);
        return true;
    }
    if (m_options.nGarbageAtBlock == nPosition) {
        m_options.nGarbageAtBlock = SimulatorOptions::kNever;
        // The block is not taken: the sender has to send it again.
        Reply(kGarbageAnswer);
        return true;
    }
    if (bAllowNak && m_options.nNakAtBlock == nPosition && m_nNakLeft > 0) {
        if (--m_nNakLeft == 0)
            m_options.nNakAtBlock = SimulatorOptions::kNever;
        Reply(QByteArray(1, kNak));
        return true;
    }
    return false;
}

bool YmodemReceiver::DeliverPendingFile(qint64 nNowMs)
{
    if (!m_file.bValid)
        return true;
    PendingFile file = m_file;
    m_file = PendingFile();
    if (file.nHeaderSize >= 0) {
        if (file.content.size() < file.nHeaderSize) {
            Abort(QStringLiteral("image of %1 bytes is shorter than the %2 bytes its header announces")
                      .arg(file.content.size())
                      .arg(file.nHeaderSize),
                  false, nNowMs);
            return false;
        }
        file.content.truncate(static_cast<int>(file.nHeaderSize));
    }
    m_pSink->ReceiverFile(file.rawName, file.nHeaderSize, file.content);
    return true;
}

void YmodemReceiver::Abort(const QString &sReason, bool bSendCancel, qint64 nNowMs)
{
    if (bSendCancel)
        Reply(QByteArray(2, kCan));
    m_file = PendingFile();
    m_baBlock.clear();
    // The boot loader stays in its receiver and asks for a new transfer,
    // after one interval so that the sender's own wind-down is not taken for
    // a new start.
    EnterAwaitHeader(nNowMs + m_options.nCIntervalMs);
    m_pSink->ReceiverAborted(sReason);
}

void YmodemReceiver::Tick(qint64 nNowMs)
{
    if (m_ePhase == Phase::Inactive)
        return;
    if (!m_baBlock.isEmpty() && nNowMs - m_nBlockStartMs >= kPartialBlockMs) {
        m_pSink->ReceiverFrame(m_baBlock, QStringLiteral("incomplete block"));
        m_baBlock.clear();
        Reply(QByteArray(1, kNak));
    }
    if (nNowMs - m_nLastByteMs >= kJunkQuietMs) {
        FlushJunk();
        FlushCancelRun();
    }
    if (m_bSilent)
        return;
    if ((m_ePhase == Phase::AwaitHeader || m_ePhase == Phase::BatchEnd) && m_nNextCMs >= 0 && nNowMs >= m_nNextCMs) {
        if (m_ePhase == Phase::BatchEnd && nNowMs - m_nBatchEndSinceMs >= kBatchEndTimeoutMs) {
            Abort(QStringLiteral("no closing header after the file"), true, nNowMs);
            return;
        }
        Reply(QByteArray(1, kC));
        m_nNextCMs = nNowMs + m_options.nCIntervalMs;
    }
    if (m_ePhase == Phase::AwaitData && m_baBlock.isEmpty() && nNowMs - m_nLastActivityMs >= kDataTimeoutMs) {
        m_nLastActivityMs = nNowMs;
        if (++m_nDataTimeouts > kMaxDataTimeouts) {
            Abort(QStringLiteral("the sender went quiet"), true, nNowMs);
            return;
        }
        Reply(QByteArray(1, (m_nDataBlocks == 0 && m_nEotCount == 0) ? kC : kNak));
    }
}

qint64 YmodemReceiver::NextDeadlineMs() const
{
    if (m_ePhase == Phase::Inactive)
        return -1;
    qint64 nNext = -1;
    if (!m_baBlock.isEmpty())
        nNext = Earliest(nNext, m_nBlockStartMs + kPartialBlockMs);
    if (!m_baJunk.isEmpty() || !m_baCancelRun.isEmpty())
        nNext = Earliest(nNext, m_nLastByteMs + kJunkQuietMs);
    if (m_bSilent)
        return nNext;
    if (m_ePhase == Phase::AwaitHeader || m_ePhase == Phase::BatchEnd)
        nNext = Earliest(nNext, m_nNextCMs);
    if (m_ePhase == Phase::AwaitData)
        nNext = Earliest(nNext, m_nLastActivityMs + kDataTimeoutMs);
    return nNext;
}
