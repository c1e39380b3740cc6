#ifndef LINERELAY_H
#define LINERELAY_H

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

// Joins a sender's line and a receiver's line (two file descriptors) on a
// thread of its own, optionally pacing each direction like a serial line:
// every byte takes 1/rate seconds on the wire, one after the other.
//
// It also watches the sender's stream, frame by frame (SOH and STX blocks,
// EOT, anything else a byte at a time), to time the transfer.
class LineRelay
{
public:
    using Clock = std::chrono::steady_clock;

    struct Stats
    {
        Clock::time_point firstSenderByte{};   // the header block starts
        Clock::time_point firstEot{};          // the data are over
        Clock::time_point end{};               // one side hung up and the rest was delivered
        std::vector<Clock::time_point> stxStarts;   // when each 1 KiB block began to arrive
        int nSohBlocks = 0;
        int nStxBlocks = 0;
        bool bSawEot = false;
    };

    // nBytesPerSecond 0: unpaced. The relay owns neither descriptor.
    LineRelay(int nSenderFd, int nReceiverFd, int nBytesPerSecond);
    ~LineRelay();

    void Start();
    // Waits until a side has hung up and everything for the other side has
    // been delivered, or until Stop.
    void Stop();
    bool Finished() const { return m_bFinished.load(); }
    Stats Result() const;

private:
    struct Direction
    {
        int nFrom;
        int nTo;
        std::vector<char> queue;                // bytes on the wire
        std::vector<Clock::time_point> due;     // when each arrives at the far end
        size_t nHead = 0;                       // first byte not yet delivered
        Clock::time_point lastDue{};
        bool bFromClosed = false;
    };

    void Run();
    void Accept(Direction &d, const char *p, size_t n, Clock::time_point now, bool bFromSender);
    bool Deliver(Direction &d, Clock::time_point now);
    void WatchSender(const char *p, size_t n, Clock::time_point now);

    Direction m_toReceiver;
    Direction m_toSender;
    int m_nBytesPerSecond;
    std::chrono::nanoseconds m_byteTime{0};
    std::thread m_thread;
    std::atomic<bool> m_bStop{false};
    std::atomic<bool> m_bFinished{false};
    mutable std::mutex m_mutex;
    Stats m_stats;
    // frame watcher: bytes still to skip in the current block
    int m_nSkip = 0;
};

#endif // LINERELAY_H
