#include "transfer/ymodem.h"

#include <cstring>

Ymodem::Ymodem(uint32_t nTickDivisor, uint32_t nMaxTimeouts, uint32_t nMaxErrors, uint32_t nClosingSteps,
               uint32_t nClosingResends)
    : m_nTickDivisor(nTickDivisor)
    , m_nMaxTimeouts(nMaxTimeouts)
    , m_nMaxErrors(nMaxErrors)
    , m_nClosingSteps(nClosingSteps)
    , m_nClosingResends(nClosingResends)
{
}

uint16_t Ymodem::Crc16(const uint8_t *pData, uint32_t nLength)
{
    uint16_t nCrc = 0;
    for (uint32_t i = 0; i < nLength; ++i) {
        nCrc = static_cast<uint16_t>(nCrc ^ (static_cast<uint16_t>(pData[i]) << 8));
        for (int nBit = 0; nBit < 8; ++nBit) {
            if (nCrc & 0x8000) {
                nCrc = static_cast<uint16_t>((nCrc << 1) ^ 0x1021);
            } else {
                nCrc = static_cast<uint16_t>(nCrc << 1);
            }
        }
    }
    return nCrc;
}

bool Ymodem::IsCancel(uint8_t nCode)
{
    return nCode == CodeCan || nCode == CodeA1 || nCode == CodeA2;
}

// Fetches at most one reply unit: one control byte, or (rarely) the rest of a
// packet the receiver sent. A complete packet is returned as its lead byte so
// that the stage handlers treat it like any unexpected byte.
uint8_t Ymodem::ReceiveReply()
{
    switch (m_nRxState) {
    case RxIdle: {
        // A read that claims more than was asked for is broken; taking it at
        // its word would walk off the end of the buffer, so it counts as
        // nothing received.
        const uint32_t nFirst = ReadBytes(m_aRxBuffer, 1);
        if (nFirst != 1) {
            return CodeNone;
        }
        const uint8_t nByte = m_aRxBuffer[0];
        if (nByte != CodeSoh && nByte != CodeStx) {
            return nByte;
        }
        const uint32_t nRest = (nByte == CodeSoh) ? 132 : 1028;
        uint32_t nCount = ReadBytes(m_aRxBuffer + 1, nRest);
        if (nCount > nRest) {
            nCount = 0;
        }
        if (nCount == nRest) {
            return nByte;
        }
        m_nRxState = (nByte == CodeSoh) ? RxBlock128 : RxBlock1024;
        m_nRxLength = nCount + 1;
        return CodeNone;
    }
    case RxBlock128:
    case RxBlock1024: {
        const uint32_t nTotal = (m_nRxState == RxBlock128) ? 133 : 1029;
        if (m_nRxLength >= nTotal) {
            m_nRxState = RxIdle;
            return CodeNone;
        }
        const uint32_t nWanted = nTotal - m_nRxLength;
        uint32_t nCount = ReadBytes(m_aRxBuffer + m_nRxLength, nWanted);
        if (nCount > nWanted) {
            nCount = 0;
        }
        if (nCount == nWanted) {
            const uint8_t nLead = (m_nRxState == RxBlock128) ? CodeSoh : CodeStx;
            m_nRxState = RxIdle;
            return nLead;
        }
        m_nRxLength += nCount;
        return CodeNone;
    }
    default:
        m_nRxState = RxIdle;
        return CodeNone;
    }
}

void Ymodem::Reset()
{
    m_nTickCount = 0;
    m_nErrorCount = 0;
    m_nBlockNumber = 0;
    m_nRxState = RxIdle;
    m_nStage = StageIdle;
}

void Ymodem::Cancel()
{
    Reset();
    std::memset(m_aTxBuffer, CodeCan, kCancelCount);
    m_nTxLength = kCancelCount;
    WriteBytes(m_aTxBuffer, m_nTxLength);
}

void Ymodem::CancelAndReport(Request eReport)
{
    Cancel();
    Callback(eReport, nullptr, nullptr);
}

void Ymodem::Report(Request eReport)
{
    Reset();
    Callback(eReport, nullptr, nullptr);
}

void Ymodem::Abort(Request eReport)
{
    CancelAndReport(eReport);
}

void Ymodem::Send()
{
    WriteBytes(m_aTxBuffer, m_nTxLength);
}

void Ymodem::Resend()
{
    Send();
}

void Ymodem::IdleStep(Request eLimitReport)
{
    m_nTickCount += 1;
    // 64-bit: a divisor of 0xFFFFFFFF must not wrap the period to zero.
    const uint64_t nPeriod = static_cast<uint64_t>(m_nTickDivisor) + 1;
    const uint64_t nPeriods = m_nTickCount / nPeriod;
    const uint64_t nRemainder = m_nTickCount % nPeriod;
    if (nPeriods > m_nMaxTimeouts) {
        CancelAndReport(eLimitReport);
    } else if (nRemainder == 0 && m_nStage != StageAwaitStart) {
        if (m_nStage == StageHeaderSent && m_nBlockNumber == 1) {
            // The header was acknowledged and block 1 waits for a "C" that
            // has not come: the buffer holds block 1, so this resend puts it
            // on the line for the first time. From here it is the block in
            // flight, and its ACK must move the transfer on instead of being
            // taken for a repeated ACK of the header. The counts go on: the
            // transfer's time limit stays as it was.
            m_nStage = StageSendingData;
        }
        Resend();
    }
}

// The receiver acknowledged the EOT, so it holds the whole file; what is left
// is the closing header, which only ends its batch. A boot loader starts its
// new firmware on that header, and when its ACK is lost nothing on the line
// ever answers again: waiting out the transfer's limits (150 s) and calling
// the upgrade failed would be wrong about a device that runs its new image.
// So the closing header gets a few short tries, and then the transfer counts
// as finished, marked as unconfirmed; the device's own answer afterwards
// decides the upgrade. The transfer's time limit still ends a receiver that
// asks for the closing header again and again.
void Ymodem::ClosingIdleStep()
{
    m_nTickCount += 1;
    const uint64_t nPeriod = static_cast<uint64_t>(m_nTickDivisor) + 1;
    if (m_nTickCount / nPeriod > m_nMaxTimeouts) {
        CancelAndReport(NotifyFailed);
        return;
    }
    m_nClosingQuietSteps += 1;
    if (m_nClosingQuietSteps < m_nClosingSteps) {
        return;
    }
    m_nClosingQuietSteps = 0;
    if (m_nClosingTries >= m_nClosingResends) {
        m_bClosingUnconfirmed = true;
        Report(NotifyFinished);
        return;
    }
    m_nClosingTries += 1;
    Resend();
}

void Ymodem::EnterStage(SendStage eStage, uint8_t nBlockNumber)
{
    m_nTickCount = 0;
    m_nErrorCount = 0;
    m_nRxState = RxIdle;
    m_nStage = eStage;
    m_nBlockNumber = nBlockNumber;
}

void Ymodem::ZeroDataField(uint32_t nSize)
{
    std::memset(m_aTxBuffer + kDataOffset, 0, nSize);
}

bool Ymodem::FrameBlock(uint8_t nHead, uint8_t nBlockNumber, uint32_t nDataLength)
{
    if (nDataLength > kLongDataSize || (nHead == CodeSoh && nDataLength > kHeaderDataSize)) {
        return false;
    }
    // A shorter length than the block's field still goes out as a whole
    // 128- or 1024-byte field: the callback wrote into a zeroed field, and a
    // receiver takes only those two sizes.
    const uint32_t nField = (nHead == CodeStx) ? kLongDataSize : kHeaderDataSize;
    m_aTxBuffer[0] = nHead;
    m_aTxBuffer[1] = nBlockNumber;
    m_aTxBuffer[2] = static_cast<uint8_t>(0xFF - nBlockNumber);
    const uint16_t nCrc = Crc16(m_aTxBuffer + kDataOffset, nField);
    m_aTxBuffer[kDataOffset + nField] = static_cast<uint8_t>(nCrc >> 8);
    m_aTxBuffer[kDataOffset + nField + 1] = static_cast<uint8_t>(nCrc & 0xFF);
    m_nTxLength = nField + 5;
    return true;
}

void Ymodem::PutEot()
{
    m_aTxBuffer[0] = CodeEot;
    m_nTxLength = 1;
}

Ymodem::Prepared Ymodem::PrepareData(uint8_t nBlockNumber)
{
    ZeroDataField(kLongDataSize);
    uint32_t nLength = 0;
    const uint8_t nResult = Callback(RequestData, m_aTxBuffer + kDataOffset, &nLength);
    if (nResult == CodeEot) {
        return PreparedEnd;
    }
    if (nResult != CodeAck) {
        return PreparedRefused;
    }
    const uint8_t nHead = (nLength > kHeaderDataSize) ? CodeStx : CodeSoh;
    if (!FrameBlock(nHead, nBlockNumber, nLength)) {
        // The callback accepted but reported a length no block can carry; it
        // has not recorded a failure, so the engine reports one.
        CancelAndReport(NotifyFailed);
        return PreparedReported;
    }
    return PreparedBlock;
}

void Ymodem::OnNak()
{
    m_nNakCount += 1;
    m_nErrorCount += 1;
    if (m_nErrorCount > m_nMaxErrors) {
        CancelAndReport(NotifyFailed);
    } else {
        Resend();
    }
}

void Ymodem::OnAwaitStart(uint8_t nCode)
{
    if (nCode == CodeC) {
        ZeroDataField(kHeaderDataSize);
        uint32_t nLength = 0;
        const uint8_t nResult = Callback(RequestHeader, m_aTxBuffer + kDataOffset, &nLength);
        if (nResult != CodeAck) {
            Cancel();
            return;
        }
        if (!FrameBlock(CodeSoh, 0, nLength)) {
            CancelAndReport(NotifyFailed);
            return;
        }
        EnterStage(StageHeaderSent, 0);
        Send();
    } else {
        IdleStep(NotifyTimeOut);
    }
}

// The header is out (block number 0) or acknowledged with data block 1
// prepared but not yet sent (1) or, for an empty file, with EOT sent (2).
void Ymodem::OnHeaderSent(uint8_t nCode)
{
    if (nCode == CodeAck) {
        if (m_nBlockNumber == 1) {
            // The header was acknowledged already and block 1 waits for its
            // "C". Asking for more data now would overwrite block 1 before it
            // was ever sent, and the receiver would get an image with a hole.
            IdleStep(NotifyFailed);
            return;
        }
        m_nNakCount = 0;   // the header arrived; block 1's refusals are its own
        switch (PrepareData(1)) {
        case PreparedBlock:
            EnterStage(StageHeaderSent, 1);
            break;
        case PreparedEnd:
            PutEot();
            EnterStage(StageHeaderSent, 2);
            Send();
            break;
        case PreparedRefused:
            Cancel();
            break;
        case PreparedReported:
            break;
        }
    } else if (nCode == CodeNak && m_nBlockNumber == 1) {
        // The header was acknowledged but the "C" that asks for data was
        // lost, and the receiver NAKs while it waits for block 1. The resend
        // puts block 1 on the line for the first time: from here its ACK
        // must move the transfer on, as after a "C".
        m_nNakCount += 1;
        m_nErrorCount += 1;
        if (m_nErrorCount > m_nMaxErrors) {
            CancelAndReport(NotifyFailed);
            return;
        }
        EnterStage(StageSendingData, 1);
        Send();
    } else if (nCode == CodeNak || (nCode == CodeC && m_nBlockNumber == 0)) {
        // A "C" before the header's ACK asks for the header again, as a NAK
        // does. Neither restarts the time limit: a receiver that never hears
        // the header (a line broken towards it) asks once a second for ever.
        OnNak();
    } else if (nCode == CodeC) {
        if (m_nErrorCount + 1 > m_nMaxErrors) {
            CancelAndReport(NotifyFailed);
            return;
        }
        m_nTickCount = 0;
        m_nErrorCount = 0;
        m_nRxState = RxIdle;
        m_nStage = static_cast<SendStage>(m_nStage + m_nBlockNumber);
        Send();
    } else {
        IdleStep(NotifyFailed);
    }
}

void Ymodem::OnSendingData(uint8_t nCode)
{
    if (nCode == CodeAck) {
        m_nNakCount = 0;   // the block arrived; the next one's refusals are its own
        const uint8_t nNext = static_cast<uint8_t>(m_nBlockNumber + 1);
        switch (PrepareData(nNext)) {
        case PreparedBlock:
            EnterStage(StageSendingData, nNext);
            Send();
            break;
        case PreparedEnd:
            PutEot();
            EnterStage(StageEndOfFile, 0);
            Send();
            break;
        case PreparedRefused:
            Cancel();
            break;
        case PreparedReported:
            break;
        }
    } else if (nCode == CodeNak) {
        OnNak();
    } else {
        IdleStep(NotifyFailed);
    }
}

void Ymodem::OnEndOfFile(uint8_t nCode)
{
    if (nCode == CodeNak) {
        // NAKs of the EOT are counted across resends: a receiver that NAKs
        // every EOT would otherwise keep the transfer alive for ever.
        const uint32_t nErrors = m_nErrorCount + 1;
        if (nErrors > m_nMaxErrors) {
            CancelAndReport(NotifyFailed);
            return;
        }
        PutEot();
        EnterStage(StageEndOfFile, 0);
        m_nErrorCount = nErrors;
        Send();
    } else if (nCode == CodeC) {
        ZeroDataField(kHeaderDataSize);
        FrameBlock(CodeSoh, 0, kHeaderDataSize);
        EnterStage(StageEndOfBatch, 0);
        m_nClosingQuietSteps = 0;
        m_nClosingTries = 0;
        Send();
    } else {
        if (nCode == CodeAck) {
            // Nothing to act on yet (the "C" for the closing header follows),
            // but from here the receiver holds the whole file.
            m_bEotAcknowledged = true;
        }
        IdleStep(NotifyFailed);
    }
}

void Ymodem::OnEndOfBatch(uint8_t nCode)
{
    if (nCode == CodeAck) {
        Report(NotifyFinished);
    } else if (nCode == CodeNak || nCode == CodeC) {
        // A receiver still in its batch end asks again: it gets the closing
        // header, and the short tries after silence start over.
        m_nClosingQuietSteps = 0;
        m_nClosingTries = 0;
        OnNak();
    } else if (m_bEotAcknowledged) {
        ClosingIdleStep();
    } else {
        IdleStep(NotifyFailed);
    }
}

void Ymodem::Transmit()
{
    if (m_nStage == StageIdle) {
        m_nStage = StageAwaitStart;
        m_nNakCount = 0;
        m_bEotAcknowledged = false;
        m_bClosingUnconfirmed = false;
        m_nTickCount = 0;
        m_nErrorCount = 0;
        m_nBlockNumber = 0;
        m_nRxState = RxIdle;
        return;
    }

    const uint8_t nCode = ReceiveReply();
    // One CAN, "A" or "a" cancels in every stage; nothing is sent back.
    if (IsCancel(nCode)) {
        Report(NotifyCancelled);
        return;
    }
    switch (m_nStage) {
    case StageAwaitStart:
        OnAwaitStart(nCode);
        break;
    case StageHeaderSent:
        OnHeaderSent(nCode);
        break;
    case StageSendingData:
        OnSendingData(nCode);
        break;
    case StageEndOfFile:
        OnEndOfFile(nCode);
        break;
    default:
        OnEndOfBatch(nCode);
        break;
    }
}
