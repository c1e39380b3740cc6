#ifndef YMODEMRECEIVER_H
#define YMODEMRECEIVER_H

#include "simulator/simulatoroptions.h"

#include <QByteArray>
#include <QString>

// The boot loader's YMODEM receiver (CRC-16, 128- and 1024-byte blocks, one
// batch). It has no clock and no line of its own: the owner feeds it the
// bytes that arrive, calls Tick at NextDeadlineMs, and carries out what it
// asks through the Sink.
//
// Its timing:
// - while it waits for a file header (and after the file's second EOT, for
//   the closing header) it sends "C" every nCIntervalMs;
// - a block that is still incomplete 1000 ms after its first byte is dropped
//   and answered with NAK;
// - during a file, 10 s without a byte from the sender brings a NAK (a "C"
//   while the first data block is awaited); the 11th such silence ends the
//   transfer with CAN CAN;
// - 30 s after the second EOT without a closing header the batch is given up;
// - an image larger than kMaxImageBytes is refused with CAN CAN.
// Every fault option fires once in the life of the receiver, in the first
// transfer that reaches its position.
class YmodemReceiver
{
public:
    static constexpr int kPartialBlockMs = 1000;
    static constexpr int kDataTimeoutMs = 10000;
    static constexpr int kMaxDataTimeouts = 10;
    static constexpr int kBatchEndTimeoutMs = 30000;
    static constexpr qint64 kMaxImageBytes = 64 * 1024 * 1024;

    class Sink
    {
    public:
        virtual ~Sink() = default;
        virtual void ReceiverSend(const QByteArray &bytes) = 0;
        // One unit received: a block, an EOT, a run of CANs or of other bytes.
        virtual void ReceiverFrame(const QByteArray &frame, const QString &sNote) = 0;
        // A whole file, already cut to the header's size (nHeaderSize is -1
        // when the header gave no size).
        virtual void ReceiverFile(const QByteArray &rawName, qint64 nHeaderSize, const QByteArray &content) = 0;
        // The closing empty header was acknowledged after at least one file.
        virtual void ReceiverBatchDone() = 0;
        virtual void ReceiverAborted(const QString &sReason) = 0;
        // A fault asks for the line to be cut.
        virtual void ReceiverCloseLine() = 0;
    };

    YmodemReceiver(const SimulatorOptions &options, Sink *pSink);

    // Starts waiting for a header; the first "C" goes out at once.
    void Start(qint64 nNowMs);
    // Stops: input is ignored and nothing is sent.
    void Stop();
    bool IsActive() const { return m_ePhase != Phase::Inactive; }

    void Feed(const QByteArray &bytes, qint64 nNowMs);
    void Tick(qint64 nNowMs);
    // When Tick is next due; -1: not needed.
    qint64 NextDeadlineMs() const;

private:
    enum class Phase { Inactive, AwaitHeader, AwaitData, BatchEnd };

    struct PendingFile
    {
        bool bValid = false;
        QByteArray rawName;
        qint64 nHeaderSize = -1;
        QByteArray content;
    };

    void FeedByte(char c, qint64 nNowMs);
    void HandleBlock(const QByteArray &block, qint64 nNowMs);
    void HandleHeader(const QByteArray &data, qint64 nNowMs);
    void HandleEot(qint64 nNowMs);
    void HandleSenderCancel(qint64 nNowMs);
    // True when a fault took over the answer to this position.
    bool ApplyFault(int nPosition, qint64 nNowMs, bool bAllowNak = true);
    bool DeliverPendingFile(qint64 nNowMs);
    void Abort(const QString &sReason, bool bSendCancel, qint64 nNowMs);
    void Reply(const QByteArray &bytes);
    void FlushJunk();
    void FlushCancelRun();
    void EnterAwaitHeader(qint64 nFirstCMs);

    SimulatorOptions m_options;
    Sink *m_pSink;

    Phase m_ePhase = Phase::Inactive;
    bool m_bSilent = false;

    QByteArray m_baBlock;          // block being assembled
    int m_nBlockLength = 0;        // its full length, 133 or 1029
    qint64 m_nBlockStartMs = 0;
    QByteArray m_baJunk;           // bytes that start no unit
    QByteArray m_baCancelRun;      // consecutive CANs
    qint64 m_nLastByteMs = 0;

    qint64 m_nNextCMs = -1;        // next "C" while waiting for a header
    qint64 m_nLastActivityMs = 0;  // last byte during a file
    int m_nDataTimeouts = 0;
    qint64 m_nBatchEndSinceMs = 0;

    PendingFile m_file;            // the file being received or awaiting the closing header
    qint64 m_nDataBlocks = 0;      // data blocks stored in this file
    int m_nEotCount = 0;
    int m_nNakLeft = 0;
};

#endif // YMODEMRECEIVER_H
