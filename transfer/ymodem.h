#ifndef YMODEM_H
#define YMODEM_H

#include <cstdint>

// The sending side of YMODEM (one file per batch, CRC-16, 128- and 1024-byte
// blocks), driven one step at a time by its owner.
//
// The engine has no clock, no file and no port of its own: the owner calls
// Transmit() at a fixed interval and binds the three pure virtual operations
// to its data source and its line. Every time limit is a number of steps.
// Both buffers live inside the object, so nothing is allocated per block.
class Ymodem
{
public:
    // Control bytes on the wire. The same values are the result codes of
    // Callback: ACK = block prepared, EOT = no more data, CAN = refused.
    enum Code : uint8_t
    {
        CodeNone = 0x00,   // nothing usable arrived
        CodeSoh = 0x01,    // block with a 128-byte data field
        CodeStx = 0x02,    // block with a 1024-byte data field
        CodeEot = 0x04,
        CodeAck = 0x06,
        CodeNak = 0x15,
        CodeCan = 0x18,
        CodeC = 0x43,      // receiver asks for a header or data, with CRC-16
        CodeA1 = 0x41,     // "A" and "a": taken as a cancel
        CodeA2 = 0x61,
    };

    enum Request : uint32_t
    {
        RequestHeader = 0,    // fill the header data field (128 bytes)
        RequestData = 1,      // fill the next data field or answer EOT
        NotifyFinished = 2,   // closing empty header acknowledged
        NotifyCancelled = 3,  // receiver sent CAN, "A" or "a"
        NotifyTimeOut = 4,    // no "C" while waiting for the start
        NotifyFailed = 5,     // error or step limit after the header
    };

    enum SendStage : uint32_t
    {
        StageIdle = 0,
        StageAwaitStart = 1,   // waiting for the first "C"
        StageHeaderSent = 2,   // ACK of the header, then "C" for data
        StageSendingData = 3,  // ACK of the data block in flight
        StageEndOfFile = 4,    // NAK or "C" after EOT
        StageEndOfBatch = 5,   // ACK of the closing empty header
    };

    enum RxState : uint32_t
    {
        RxIdle = 0,       // the next byte read starts a reply
        RxBlock128 = 1,   // an incoming SOH packet is incomplete
        RxBlock1024 = 2,  // an incoming STX packet is incomplete
    };

    static constexpr uint32_t kBlockBufferSize = 1029;   // STX, number, complement, 1024, CRC
    static constexpr uint32_t kHeaderDataSize = 128;
    static constexpr uint32_t kLongDataSize = 1024;
    static constexpr uint32_t kDataOffset = 3;
    static constexpr uint32_t kCancelCount = 5;

    // nClosingSteps, nClosingResends: once the receiver has acknowledged the
    // file's EOT, the closing empty header that goes unanswered is sent again
    // after nClosingSteps idle steps, up to nClosingResends times; when the
    // last of them is unanswered too, the transfer ends as finished (the
    // receiver holds the whole file) with ClosingUnconfirmed() set.
    Ymodem(uint32_t nTickDivisor, uint32_t nMaxTimeouts, uint32_t nMaxErrors, uint32_t nClosingSteps,
           uint32_t nClosingResends);

    // One step. Never call it re-entrantly.
    void Transmit();

    // CRC-16/XMODEM (poly 0x1021, init 0, no reflection, no final XOR).
    static uint16_t Crc16(const uint8_t *pData, uint32_t nLength);

    // Read-only view of the engine's state, for owners and diagnostics.
    SendStage Stage() const { return m_nStage; }
    RxState ReceiveState() const { return m_nRxState; }
    uint8_t BlockNumber() const { return m_nBlockNumber; }
    uint32_t TickCount() const { return m_nTickCount; }
    uint32_t ErrorCount() const { return m_nErrorCount; }
    // Refusals (NAKs, and a "C" crossing the header) of the block in flight,
    // kept after the transfer's end: the block the transfer ended on arrived
    // damaged that many times. Counted afresh for every block the receiver
    // acknowledges, so refusals of earlier blocks (a receiver busy erasing its
    // flash at the start) say nothing about how the transfer ended. NAKs of
    // the EOT are the protocol's own and not counted.
    uint32_t NakCount() const { return m_nNakCount; }
    // The last transfer ended as finished without the ACK of its closing
    // empty header: the receiver had acknowledged the EOT (it holds the whole
    // file) and then answered none of the closing header's tries, as a boot
    // loader does that started its new firmware while its ACK was lost.
    bool ClosingUnconfirmed() const { return m_bClosingUnconfirmed; }

protected:
    // Not deletable through a pointer to the engine: owners derive from it.
    ~Ymodem() = default;

    // For RequestHeader / RequestData: write the data field (already zeroed)
    // and store its length (128 or 1024) through pLength; return ACK, EOT
    // (data only) when nothing is left, anything else to refuse. For the
    // notifications both pointers are null and the result is ignored.
    virtual uint8_t Callback(Request eRequest, uint8_t *pData, uint32_t *pLength) = 0;
    // Copies up to nMax bytes that have already arrived, without waiting.
    // Returns the count; 0 when nothing is there or the read failed.
    virtual uint32_t ReadBytes(uint8_t *pBuffer, uint32_t nMax) = 0;
    // Queues the bytes for sending; the result is not used.
    virtual uint32_t WriteBytes(const uint8_t *pBuffer, uint32_t nCount) = 0;

    // Ends a running transfer from outside the step table (the owner lost its
    // line): sends the five CAN bytes, resets and reports eReport.
    void Abort(Request eReport);

private:
    uint8_t ReceiveReply();

    void Reset();
    void Cancel();
    void CancelAndReport(Request eReport);
    void Report(Request eReport);
    void Resend();
    void IdleStep(Request eLimitReport);
    // An idle step while the closing header waits for its ACK.
    void ClosingIdleStep();
    void EnterStage(SendStage eStage, uint8_t nBlockNumber);
    void Send();

    // Frames the data field now in m_aTxBuffer; false when the length
    // reported by the callback does not fit a block.
    bool FrameBlock(uint8_t nHead, uint8_t nBlockNumber, uint32_t nDataLength);
    void PutEot();
    void ZeroDataField(uint32_t nSize);
    static bool IsCancel(uint8_t nCode);

    // Step handlers, one per stage.
    void OnAwaitStart(uint8_t nCode);
    void OnHeaderSent(uint8_t nCode);
    void OnSendingData(uint8_t nCode);
    void OnEndOfFile(uint8_t nCode);
    void OnEndOfBatch(uint8_t nCode);
    void OnNak();

    // Asks the callback for the next data block and, when it gives one,
    // frames it with nBlockNumber.
    enum Prepared
    {
        PreparedBlock,     // framed, ready to send
        PreparedEnd,       // the callback answered EOT
        PreparedRefused,   // the callback refused; it reports its own failure
        PreparedReported,  // the engine cancelled and reported a failure
    };
    Prepared PrepareData(uint8_t nBlockNumber);

    uint32_t m_nTickDivisor;
    uint32_t m_nMaxTimeouts;
    uint32_t m_nMaxErrors;
    uint32_t m_nTickCount = 0;
    uint32_t m_nErrorCount = 0;
    uint32_t m_nClosingSteps;
    uint32_t m_nClosingResends;
    uint32_t m_nNakCount = 0;
    uint32_t m_nClosingQuietSteps = 0;   // idle steps since the closing header last went out
    uint32_t m_nClosingTries = 0;        // its resends after silence
    bool m_bEotAcknowledged = false;
    bool m_bClosingUnconfirmed = false;
    uint8_t m_nBlockNumber = 0;
    RxState m_nRxState = RxIdle;
    SendStage m_nStage = StageIdle;
    uint8_t m_aRxBuffer[kBlockBufferSize] = {};
    uint8_t m_aTxBuffer[kBlockBufferSize] = {};
    uint32_t m_nRxLength = 0;
    uint32_t m_nTxLength = 0;
};

#endif // YMODEM_H
