#include "linerelay.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace {
constexpr char kSoh = 0x01;
constexpr char kStx = 0x02;
constexpr char kEot = 0x04;

void MakeNonBlocking(int fd)
{
    const int nFlags = ::fcntl(fd, F_GETFL);
    ::fcntl(fd, F_SETFL, nFlags | O_NONBLOCK);
}
} // namespace

LineRelay::LineRelay(int nSenderFd, int nReceiverFd, int nBytesPerSecond)
    : m_nBytesPerSecond(nBytesPerSecond)
{
    m_toReceiver.nFrom = nSenderFd;
    m_toReceiver.nTo = nReceiverFd;
    m_toSender.nFrom = nReceiverFd;
    m_toSender.nTo = nSenderFd;
    if (nBytesPerSecond > 0) {
        m_byteTime = std::chrono::nanoseconds(1000000000LL / nBytesPerSecond);
    }
    MakeNonBlocking(nSenderFd);
    MakeNonBlocking(nReceiverFd);
}

LineRelay::~LineRelay()
{
    Stop();
}

void LineRelay::Start()
{
    m_thread = std::thread([this]() { Run(); });
}

void LineRelay::Stop()
{
    m_bStop = true;
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

LineRelay::Stats LineRelay::Result() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_stats;
}

void LineRelay::WatchSender(const char *p, size_t n, Clock::time_point now)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_stats.firstSenderByte == Clock::time_point{} && n > 0) {
        m_stats.firstSenderByte = now;
    }
    for (size_t i = 0; i < n; ++i) {
        if (m_nSkip > 0) {
            --m_nSkip;
            continue;
        }
        if (p[i] == kSoh) {
            ++m_stats.nSohBlocks;
            m_nSkip = 132;
        } else if (p[i] == kStx) {
            ++m_stats.nStxBlocks;
            m_stats.stxStarts.push_back(now);
            m_nSkip = 1028;
        } else if (p[i] == kEot && !m_stats.bSawEot) {
            m_stats.bSawEot = true;
            m_stats.firstEot = now;
        }
    }
}

void LineRelay::Accept(Direction &d, const char *p, size_t n, Clock::time_point now, bool bFromSender)
{
    if (bFromSender) {
        WatchSender(p, n, now);
    }
    for (size_t i = 0; i < n; ++i) {
        Clock::time_point due = now;
        if (m_nBytesPerSecond > 0) {
            // A byte goes on the wire when the one before it is through.
            due = (d.lastDue > now ? d.lastDue : now) + m_byteTime;
            d.lastDue = due;
        }
        d.queue.push_back(p[i]);
        d.due.push_back(due);
    }
}

// Writes every byte that has reached the far end by now. False when the far
// end is gone (its bytes are dropped).
bool LineRelay::Deliver(Direction &d, Clock::time_point now)
{
    size_t nReady = 0;
    while (d.nHead + nReady < d.queue.size() && d.due[d.nHead + nReady] <= now) {
        ++nReady;
    }
    bool bAlive = true;
    while (nReady > 0) {
        const ssize_t n = ::write(d.nTo, d.queue.data() + d.nHead, nReady);
        if (n > 0) {
            d.nHead += static_cast<size_t>(n);
            nReady -= static_cast<size_t>(n);
        } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            break;
        } else {
            d.nHead = d.queue.size();
            bAlive = false;
            break;
        }
    }
    if (d.nHead == d.queue.size()) {
        d.queue.clear();
        d.due.clear();
        d.nHead = 0;
    }
    return bAlive;
}

void LineRelay::Run()
{
    char buffer[4096];
    while (!m_bStop) {
        Clock::time_point now = Clock::now();
        Deliver(m_toReceiver, now);
        Deliver(m_toSender, now);

        const bool bHungUp = m_toReceiver.bFromClosed || m_toSender.bFromClosed;
        if (bHungUp && m_toReceiver.queue.empty() && m_toSender.queue.empty()) {
            break;
        }

        // Sleep until input comes or the next byte is due (at most 10 ms).
        std::chrono::nanoseconds wait = std::chrono::milliseconds(10);
        for (Direction *d : {&m_toReceiver, &m_toSender}) {
            if (d->nHead < d->queue.size()) {
                const auto untilDue = d->due[d->nHead] - now;
                if (untilDue < wait) {
                    wait = std::chrono::duration_cast<std::chrono::nanoseconds>(untilDue);
                }
            }
        }
        if (wait.count() < 0) {
            wait = std::chrono::nanoseconds(0);
        }
        pollfd fds[2];
        nfds_t nCount = 0;
        Direction *watched[2];
        for (Direction *d : {&m_toReceiver, &m_toSender}) {
            if (!d->bFromClosed) {
                fds[nCount] = pollfd{d->nFrom, POLLIN, 0};
                watched[nCount] = d;
                ++nCount;
            }
        }
        timespec ts{static_cast<time_t>(wait.count() / 1000000000LL), static_cast<long>(wait.count() % 1000000000LL)};
        const int nReady = ::ppoll(fds, nCount, &ts, nullptr);
        if (nReady <= 0) {
            continue;
        }
        now = Clock::now();
        for (nfds_t i = 0; i < nCount; ++i) {
            if (!(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) {
                continue;
            }
            Direction *d = watched[i];
            const ssize_t n = ::read(d->nFrom, buffer, sizeof(buffer));
            if (n > 0) {
                Accept(*d, buffer, static_cast<size_t>(n), now, d == &m_toReceiver);
            } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
                d->bFromClosed = true;   // that side hung up
            }
        }
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stats.end = Clock::now();
    }
    m_bFinished = true;
}
