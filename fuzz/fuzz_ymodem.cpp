// The YMODEM sender engine bound to an in-memory file and fed arbitrary
// receiver bytes, one step at a time, with small limits.
//
// Input: nine bytes of set-up, then the receiver's bytes.
//   0  tick divisor 0..4 (% 5); closing-header steps 0..3 (/ 5 % 4)
//   1  timeouts 0..2 (% 3); closing-header resends 0..2 (/ 3 % 3)
//   2  errors 0..5
//   3-4  file size: below F000 hex, 0..3499 bytes; from F000 on, 32 KiB and
//        more, served in 128-byte blocks, so that block numbers wrap
//   5  pace: 0 puts every receiver byte on the line before the first step;
//      n > 0 puts n % 5 (at least 1) more bytes there before each step
//   6  below 16: the binding refuses its request with that index
//      (0 is the first header)
//   7  below 16: the binding answers its request with that index with a
//      length no block can carry
//   8  nonzero: the owner aborts (lost line) before that step, if a
//      transfer runs then
// Everything after: the receiver's bytes.
//
// Checked on every step: the engine's reads, writes and data fields stay in
// its two buffers; it writes at most once a step; every write is five CANs,
// an EOT after the file's end, the header, the latest data block (the file's
// bytes at its offset, block number k mod 256 for the k-th block) or the
// closing empty header; a NAK gets the block it rejected again (or, with the
// header acknowledged and its "C" lost, block 1 for the first time); data is
// asked for only on an ACK of the block in flight, and never with a block
// unsent; every end passes through Reset and nothing is asked or written
// after it until a new transfer starts; each end is reported as what it was
// (a finish without the closing header's ACK only after the receiver's ACK
// of the EOT and a silent step);
// errors and ticks stay below their limits; silence ends a transfer within
// (timeouts + 1) x (divisor + 1) steps, and the whole run within a bound set
// by the number of receiver bytes.

#include "fuzz/fuzzcheck.h"
#include "transfer/ymodem.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace {

using Bytes = std::string;

constexpr uint8_t kSoh = 0x01;
constexpr uint8_t kStx = 0x02;
constexpr uint8_t kEot = 0x04;
constexpr uint8_t kAck = 0x06;
constexpr uint8_t kNak = 0x15;
constexpr uint8_t kCan = 0x18;
constexpr uint32_t kLargeFileBase = 32 * 1024;
constexpr uint32_t kMaxFileSize = kLargeFileBase + 0x1000;

const Bytes &FileBytes()
{
    static const Bytes file = [] {
        Bytes out(kMaxFileSize, '\0');
        uint32_t x = 12345;
        for (char &c : out) {
            x = x * 1103515245u + 12345u;
            c = static_cast<char>(x >> 16);
        }
        return out;
    }();
    return file;
}

// CRC-16/XMODEM from a table of its own. Outside the fuzzer's coverage: the
// checker's branches tell it nothing about the engine.
__attribute__((no_sanitize("coverage"))) uint16_t Crc16(const Bytes &data)
{
    static const auto table = [] {
        std::vector<uint16_t> t(256);
        for (int n = 0; n < 256; ++n) {
            uint16_t crc = static_cast<uint16_t>(n << 8);
            for (int bit = 0; bit < 8; ++bit)
                crc = (crc & 0x8000) ? static_cast<uint16_t>((crc << 1) ^ 0x1021) : static_cast<uint16_t>(crc << 1);
            t[n] = crc;
        }
        return t;
    }();
    uint16_t crc = 0;
    for (const char c : data)
        crc = static_cast<uint16_t>((crc << 8) ^ table[((crc >> 8) ^ static_cast<uint8_t>(c)) & 0xFF]);
    return crc;
}

__attribute__((no_sanitize("coverage"))) bool IsZero(const uint8_t *p, uint32_t n)
{
    for (uint32_t i = 0; i < n; ++i) {
        if (p[i] != 0)
            return false;
    }
    return true;
}

// A block as it must look on the wire: the field zero-filled to 128 or 1024.
Bytes Block(uint8_t nHead, uint8_t nNumber, const Bytes &data)
{
    Bytes field = data;
    field.resize(nHead == kStx ? 1024 : 128, '\0');
    const uint16_t nCrc = Crc16(field);
    Bytes out;
    out += static_cast<char>(nHead);
    out += static_cast<char>(nNumber);
    out += static_cast<char>(0xFF - nNumber);
    out += field;
    out += static_cast<char>(nCrc >> 8);
    out += static_cast<char>(nCrc & 0xFF);
    return out;
}

const Bytes kFiveCan(5, static_cast<char>(kCan));
const Bytes kEotByte(1, static_cast<char>(kEot));

struct Setup
{
    uint32_t nDivisor = 4;
    uint32_t nTimeouts = 2;
    uint32_t nErrors = 5;
    uint32_t nClosingSteps = 2;
    uint32_t nClosingResends = 1;
    uint32_t nFileSize = 0;
    uint32_t nPace = 0;
    int nRefuseAt = -1;
    int nBadLengthAt = -1;
    int nAbortAt = -1;
};

class FuzzSender final : public Ymodem
{
public:
    FuzzSender(const Setup &setup, const uint8_t *pScript, size_t nScript)
        : Ymodem(setup.nDivisor, setup.nTimeouts, setup.nErrors, setup.nClosingSteps, setup.nClosingResends)
        , m_setup(setup)
        , m_file(FileBytes().data(), setup.nFileSize)
        , m_pScript(pScript)
        , m_nScript(nScript)
    {
    }

    void Run()
    {
        const uint64_t nSilenceLimit = uint64_t(m_setup.nTimeouts + 1) * (m_setup.nDivisor + 1);
        // Each step with bytes on the line takes at least one; a step that
        // starts a transfer takes none; silence comes only once the script
        // is out, and then ends the transfer within nSilenceLimit steps.
        const uint64_t nStepLimit = 2 * uint64_t(m_nScript) + nSilenceLimit + 8;
        for (uint64_t nStep = 0;; ++nStep) {
            if (nStep > 0 && Stage() == StageIdle && m_nDelivered == m_nScript && m_nLineRead == m_line.size())
                return;
            FUZZ_CHECK(nStep < nStepLimit, "the engine ends within its step limits");
            if (m_setup.nAbortAt >= 0 && nStep == uint64_t(m_setup.nAbortAt) && Stage() != StageIdle) {
                CheckAbort();
                continue;
            }
            Step(nSilenceLimit);
        }
    }

protected:
    uint8_t Callback(Request eRequest, uint8_t *pData, uint32_t *pLength) override
    {
        FUZZ_CHECK(!m_bEnded, "nothing is asked after a transfer's end until a new one starts");
        FUZZ_CHECK(m_bInEngine, "the engine calls back only from inside a step or an abort");
        if (eRequest >= NotifyFinished) {
            FUZZ_CHECK(pData == nullptr && pLength == nullptr, "notifications carry no field");
            FUZZ_CHECK(eRequest <= NotifyFailed, "a notification is one of the four");
            FUZZ_CHECK(Stage() == StageIdle && TickCount() == 0 && ErrorCount() == 0 && BlockNumber() == 0
                           && ReceiveState() == RxIdle,
                       "every end passes through Reset before it is reported");
            m_bEnded = true;
            m_notifications.push_back(eRequest);
            return CodeAck;
        }
        FUZZ_CHECK(eRequest == RequestHeader || eRequest == RequestData, "a request is for the header or data");
        FUZZ_CHECK(pData != nullptr && pLength != nullptr, "a request carries a field and a length");
        CheckTxPointer(pData - kDataOffset, kDataOffset + kLongDataSize);
        const uint32_t nField = (eRequest == RequestHeader) ? kHeaderDataSize : kLongDataSize;
        FUZZ_CHECK(IsZero(pData, nField), "the data field is zeroed before the request");
        const int nIndex = m_nRequests++;
        m_requestsThisStep.push_back(eRequest);
        if (nIndex == m_setup.nRefuseAt) {
            m_bRefusedThisStep = true;
            return CodeCan;
        }
        const bool bBadLength = (nIndex == m_setup.nBadLengthAt);

        if (eRequest == RequestHeader) {
            FUZZ_CHECK(m_nStage0 == StageAwaitStart && m_nCode == CodeC, "the header is asked for on the first C");
            m_nServed = 0;
            m_chunks.clear();
            m_bEotAnswered = false;
            const Bytes header = "fw.bin" + Bytes(1, '\0') + std::to_string(m_file.size()) + Bytes(1, '\0');
            std::memcpy(pData, header.data(), header.size());
            m_headerFrame = Block(kSoh, 0, header);
            *pLength = bBadLength ? kHeaderDataSize + 1 : kHeaderDataSize;
            m_bBadLengthThisStep = bBadLength;
            return CodeAck;
        }

        FUZZ_CHECK(m_nCode == kAck, "data is asked for only on an ACK");
        FUZZ_CHECK(!m_headerFrame.empty(), "data is asked for only after the header");
        if (m_nServed == m_file.size()) {
            m_bEotAnswered = true;
            return CodeEot;
        }
        // Moving on: what the receiver acknowledged is the block in flight,
        // and so it went out at least once.
        const Bytes &inFlight = m_chunks.empty() ? m_headerFrame : m_chunks.back().frame;
        FUZZ_CHECK(m_lastSent == inFlight, "data moves on only from an ACK of the block in flight");
        const uint32_t nRemaining = static_cast<uint32_t>(m_file.size() - m_nServed);
        // Large files go in 128-byte blocks, as a binding may send them:
        // block numbers wrap at a fraction of the cost.
        const uint32_t nLength = (nRemaining > kHeaderDataSize && m_file.size() < kLargeFileBase) ? kLongDataSize
                                                                                                 : kHeaderDataSize;
        const uint32_t nCount = nRemaining < nLength ? nRemaining : nLength;
        std::memcpy(pData, m_file.data() + m_nServed, nCount);
        Chunk chunk;
        chunk.nOffset = m_nServed;
        chunk.frame = Block(nLength > kHeaderDataSize ? kStx : kSoh, static_cast<uint8_t>(m_chunks.size() + 1),
                            Bytes(m_file.substr(m_nServed, nCount)));
        m_chunks.push_back(chunk);
        m_nServed += nCount;
        *pLength = bBadLength ? kLongDataSize + 1 : nLength;
        m_bBadLengthThisStep = bBadLength;
        return CodeAck;
    }

    uint32_t ReadBytes(uint8_t *pBuffer, uint32_t nMax) override
    {
        FUZZ_CHECK(m_bInEngine, "the engine reads only inside a step");
        FUZZ_CHECK(!m_bEnded, "nothing is read after a transfer's end until a new one starts");
        if (m_pRx == nullptr) {
            FUZZ_CHECK(nMax == 1, "the first read is the first byte of a reply");
            m_pRx = pBuffer;
            CheckInsideEngine(m_pRx, kBlockBufferSize);
        }
        FUZZ_CHECK(nMax >= 1, "a read asks for something");
        FUZZ_CHECK(pBuffer >= m_pRx && pBuffer + nMax <= m_pRx + kBlockBufferSize, "reads stay in the receive buffer");
        m_nReadsThisStep += 1;
        const size_t nAvailable = m_line.size() - m_nLineRead;
        const uint32_t nCount = nAvailable < nMax ? static_cast<uint32_t>(nAvailable) : nMax;
        std::memcpy(pBuffer, m_line.data() + m_nLineRead, nCount);
        m_nLineRead += nCount;
        return nCount;
    }

    uint32_t WriteBytes(const uint8_t *pBuffer, uint32_t nCount) override
    {
        FUZZ_CHECK(m_bInEngine, "the engine writes only inside a step or an abort");
        FUZZ_CHECK(!m_bEnded, "nothing is written after a transfer's end until a new one starts");
        FUZZ_CHECK(nCount >= 1 && nCount <= kBlockBufferSize, "a write is one frame");
        CheckTxPointer(pBuffer, nCount);
        m_writesThisStep.push_back(Bytes(reinterpret_cast<const char *>(pBuffer), nCount));
        return nCount;
    }

private:
    struct Chunk
    {
        size_t nOffset = 0;
        Bytes frame;
        bool bWritten = false;
    };

    void CheckInsideEngine(const uint8_t *p, uint32_t nLength) const
    {
        const uint8_t *pEngine = reinterpret_cast<const uint8_t *>(static_cast<const Ymodem *>(this));
        FUZZ_CHECK(p >= pEngine && p + nLength <= pEngine + sizeof(Ymodem), "the engine's buffers are its own");
    }

    void CheckTxPointer(const uint8_t *p, uint32_t nCount)
    {
        if (m_pTx == nullptr) {
            m_pTx = p;
            CheckInsideEngine(m_pTx, kBlockBufferSize);
        }
        FUZZ_CHECK(p == m_pTx, "frames are written from the start of the send buffer");
        FUZZ_CHECK(nCount <= kBlockBufferSize, "a frame fits the send buffer");
        if (m_pRx != nullptr) {
            FUZZ_CHECK(m_pTx + kBlockBufferSize <= m_pRx || m_pRx + kBlockBufferSize <= m_pTx,
                       "the send and receive buffers do not overlap");
        }
    }

    void ResetStep()
    {
        m_writesThisStep.clear();
        m_requestsThisStep.clear();
        m_notifications.clear();
        m_nReadsThisStep = 0;
        m_bRefusedThisStep = false;
        m_bBadLengthThisStep = false;
    }

    // The owner loses its line between two steps.
    void CheckAbort()
    {
        ResetStep();
        m_bInEngine = true;
        Abort(NotifyFailed);
        m_bInEngine = false;
        FUZZ_CHECK(m_writesThisStep.size() == 1 && m_writesThisStep.front() == kFiveCan, "an abort sends five CANs");
        FUZZ_CHECK(m_notifications.size() == 1 && m_notifications.front() == NotifyFailed, "an abort reports a failure");
        FUZZ_CHECK(m_requestsThisStep.empty() && m_nReadsThisStep == 0, "an abort asks and reads nothing");
    }

    void Deliver()
    {
        size_t nCount = m_nScript - m_nDelivered;
        if (m_setup.nPace > 0 && nCount > m_setup.nPace)
            nCount = m_setup.nPace;
        m_line.append(reinterpret_cast<const char *>(m_pScript + m_nDelivered), nCount);
        m_nDelivered += nCount;
    }

    void Step(uint64_t nSilenceLimit)
    {
        Deliver();
        ResetStep();
        m_nStage0 = Stage();
        const uint8_t nBlock0 = BlockNumber();
        const RxState eRx0 = ReceiveState();
        const bool bBytes = m_nLineRead < m_line.size();
        // The reply this step acts on, when it is a single byte.
        m_nCode = CodeNone;
        if (m_nStage0 != StageIdle && eRx0 == RxIdle && bBytes) {
            const uint8_t nNext = static_cast<uint8_t>(m_line[m_nLineRead]);
            if (nNext != kSoh && nNext != kStx)
                m_nCode = nNext;
        }
        // The header or the latest data block is out and not yet answered
        // by an ACK that moved the transfer on.
        const bool bInFlight = !m_lastSent.empty() && !m_bEotAnswered
                               && (m_chunks.empty() ? m_lastSent == m_headerFrame : m_lastSent == m_chunks.back().frame);
        if (m_nStage0 == StageIdle) {
            // A new transfer.
            m_bEnded = false;
            m_headerFrame.clear();
            m_chunks.clear();
            m_nServed = 0;
            m_bEotAnswered = false;
            m_closingSent = false;
            m_bEotAcked = false;
            m_lastSent.clear();
            m_nSilentSteps = 0;
        } else {
            m_nSilentSteps = bBytes ? 0 : m_nSilentSteps + 1;
        }

        m_bInEngine = true;
        Transmit();
        m_bInEngine = false;

        const SendStage eStage = Stage();
        if (m_nStage0 == StageEndOfFile && m_nCode == kAck)
            m_bEotAcked = true;
        if (m_nStage0 == StageIdle) {
            FUZZ_CHECK(eStage == StageAwaitStart && TickCount() == 0 && ErrorCount() == 0 && BlockNumber() == 0
                           && ReceiveState() == RxIdle,
                       "a transfer starts waiting for its first C with every counter at zero");
            FUZZ_CHECK(m_writesThisStep.empty() && m_requestsThisStep.empty() && m_nReadsThisStep == 0
                           && m_notifications.empty(),
                       "the step that starts a transfer reads, writes and asks nothing");
            return;
        }
        if (bBytes)
            FUZZ_CHECK(m_nReadsThisStep >= 1, "a step with bytes on the line reads");
        FUZZ_CHECK(m_writesThisStep.size() <= 1, "at most one write a step");
        FUZZ_CHECK(m_notifications.size() <= 1, "at most one end a step");
        FUZZ_CHECK(m_requestsThisStep.size() <= 1, "at most one request a step");
        const Bytes written = m_writesThisStep.empty() ? Bytes() : m_writesThisStep.front();
        const bool bEndedNow = !m_notifications.empty();

        // Every write is something the transfer has to send.
        if (!written.empty())
            ClassifyWrite(written);

        // How the transfer ended, if it did.
        const bool bCancelCode = (m_nCode == kCan || m_nCode == CodeA1 || m_nCode == CodeA2);
        if (bCancelCode) {
            FUZZ_CHECK(bEndedNow && m_notifications.front() == NotifyCancelled && written.empty()
                           && m_requestsThisStep.empty(),
                       "CAN, A or a cancels at once and sends nothing back");
        }
        if (bEndedNow) {
            const Request eEnd = m_notifications.front();
            switch (eEnd) {
            case NotifyCancelled:
                FUZZ_CHECK(bCancelCode, "a cancel is reported only for CAN, A or a");
                break;
            case NotifyTimeOut:
                FUZZ_CHECK(m_nStage0 == StageAwaitStart && written == kFiveCan,
                           "a time-out is reported only while waiting for the first C, after five CANs");
                break;
            case NotifyFailed:
                FUZZ_CHECK(written == kFiveCan, "a failure is reported after five CANs");
                break;
            case NotifyFinished:
                if (ClosingUnconfirmed()) {
                    FUZZ_CHECK(m_nStage0 == StageEndOfBatch && m_bEotAcked && m_closingSent && written.empty()
                                   && m_nCode != kAck && m_nCode != kNak && m_nCode != CodeC
                                   && m_lastSent == Block(kSoh, 0, Bytes()),
                               "a finish without the closing header's ACK comes on a step without an answer, after "
                               "the EOT was acknowledged and the closing header sent");
                } else {
                    FUZZ_CHECK(m_nStage0 == StageEndOfBatch && m_nCode == kAck && m_closingSent
                                   && m_lastSent == Block(kSoh, 0, Bytes()),
                               "the end is reported on the ACK of the closing empty header");
                }
                FUZZ_CHECK(m_bEotAnswered && m_nServed == m_file.size(), "the whole file was asked for");
                for (const Chunk &chunk : m_chunks)
                    FUZZ_CHECK(chunk.bWritten, "every data block went out");
                break;
            default:
                FUZZ_CHECK(false, "an end is one of the four");
            }
        }
        if (eStage == StageIdle) {
            FUZZ_CHECK(bEndedNow || (m_bRefusedThisStep && written == kFiveCan),
                       "a transfer ends reported, or with five CANs when the binding refused");
            FUZZ_CHECK(TickCount() == 0 && ErrorCount() == 0 && BlockNumber() == 0 && ReceiveState() == RxIdle,
                       "an ended transfer leaves every counter at zero");
        } else {
            FUZZ_CHECK(!bEndedNow && !m_bRefusedThisStep && written != kFiveCan,
                       "a transfer that goes on was not ended");
            FUZZ_CHECK(ErrorCount() <= m_setup.nErrors, "errors stay within their limit");
            FUZZ_CHECK(TickCount() < (m_setup.nTimeouts + 1) * (m_setup.nDivisor + 1), "ticks stay within their limit");
            FUZZ_CHECK(m_nSilentSteps < nSilenceLimit, "silence ends a transfer within its limits");
        }
        if (m_bRefusedThisStep)
            FUZZ_CHECK(eStage == StageIdle && written == kFiveCan && !bEndedNow,
                       "a refused request ends the transfer with five CANs and no report");
        if (m_bBadLengthThisStep)
            FUZZ_CHECK(eStage == StageIdle && written == kFiveCan && bEndedNow
                           && m_notifications.front() == NotifyFailed,
                       "a length no block can carry ends the transfer as a failure");

        // An ACK of the block in flight moves on: the next data is asked for.
        if (m_nCode == kAck && bInFlight)
            FUZZ_CHECK(!m_requestsThisStep.empty() && m_requestsThisStep.front() == RequestData,
                       "an ACK of the block in flight asks for the next data");

        // A NAK gets the rejected block again.
        if (m_nCode == kNak && m_nStage0 != StageAwaitStart) {
            if (eStage == StageIdle) {
                FUZZ_CHECK(written == kFiveCan && bEndedNow && m_notifications.front() == NotifyFailed,
                           "a NAK past the error limit fails the transfer");
            } else if (m_nStage0 == StageHeaderSent && nBlock0 == 1) {
                FUZZ_CHECK(!m_chunks.empty() && m_chunks.size() == 1 && written == m_chunks.front().frame,
                           "a NAK after a lost C sends block 1");
            } else {
                FUZZ_CHECK(!written.empty() && written == m_previousSent, "a NAK resends the block it rejected");
            }
        }
    }

    void ClassifyWrite(const Bytes &written)
    {
        m_previousSent = m_lastSent;
        if (written == kFiveCan)
            return;
        m_lastSent = written;
        if (written == kEotByte) {
            FUZZ_CHECK(m_bEotAnswered, "EOT goes out only after the file's end");
            for (const Chunk &chunk : m_chunks)
                FUZZ_CHECK(chunk.bWritten, "no EOT with a data block unsent");
            return;
        }
        const uint8_t nHead = static_cast<uint8_t>(written[0]);
        FUZZ_CHECK((nHead == kSoh && written.size() == 133) || (nHead == kStx && written.size() == 1029),
                   "a write is five CANs, an EOT or a whole block");
        if (written == m_headerFrame)
            return;
        if (!m_chunks.empty() && written == m_chunks.back().frame) {
            m_chunks.back().bWritten = true;
            return;
        }
        const bool bClosing = (written == Block(kSoh, 0, Bytes()));
        FUZZ_CHECK(bClosing, "a block is the header, the latest data block or the closing empty header");
        FUZZ_CHECK(m_bEotAnswered, "the closing empty header goes out only after the file's end");
        m_closingSent = true;
    }

    const Setup m_setup;
    const std::string_view m_file;   // a prefix of FileBytes()
    const uint8_t *m_pScript;
    const size_t m_nScript;
    size_t m_nDelivered = 0;
    Bytes m_line;
    size_t m_nLineRead = 0;

    const uint8_t *m_pRx = nullptr;
    const uint8_t *m_pTx = nullptr;
    bool m_bInEngine = false;
    int m_nRequests = 0;

    // This step.
    SendStage m_nStage0 = StageIdle;
    uint8_t m_nCode = CodeNone;
    std::vector<Bytes> m_writesThisStep;
    std::vector<Request> m_requestsThisStep;
    std::vector<Request> m_notifications;
    int m_nReadsThisStep = 0;
    bool m_bRefusedThisStep = false;
    bool m_bBadLengthThisStep = false;

    // This transfer.
    bool m_bEnded = false;
    Bytes m_headerFrame;
    std::vector<Chunk> m_chunks;
    size_t m_nServed = 0;
    bool m_bEotAnswered = false;
    bool m_closingSent = false;
    bool m_bEotAcked = false;
    Bytes m_lastSent;
    Bytes m_previousSent;
    uint64_t m_nSilentSteps = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *pData, size_t nSize)
{
    constexpr size_t kSetupSize = 9;
    if (nSize < kSetupSize || nSize > 4096 + kSetupSize)
        return 0;
    Setup setup;
    setup.nDivisor = pData[0] % 5;
    setup.nTimeouts = pData[1] % 3;
    setup.nErrors = pData[2] % 6;
    setup.nClosingSteps = (pData[0] / 5) % 4;
    setup.nClosingResends = (pData[1] / 3) % 3;
    const uint32_t nSizeCode = pData[3] | (uint32_t(pData[4]) << 8);
    setup.nFileSize = nSizeCode < 0xF000 ? nSizeCode % 3500 : kLargeFileBase + (nSizeCode - 0xF000);
    setup.nPace = pData[5] == 0 ? 0 : (pData[5] % 5 == 0 ? 1 : pData[5] % 5);
    setup.nRefuseAt = pData[6] < 16 ? pData[6] : -1;
    setup.nBadLengthAt = pData[7] < 16 ? pData[7] : -1;
    setup.nAbortAt = pData[8] != 0 ? pData[8] : -1;
    // On the heap, so that AddressSanitizer sees the object's ends.
    auto *pSender = new FuzzSender(setup, pData + kSetupSize, nSize - kSetupSize);
    pSender->Run();
    delete pSender;
    return 0;
}
