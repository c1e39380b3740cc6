#include "device/readpoll.h"

#include "device/waits.h"

#include <QSerialPort>

#include <atomic>

namespace {

std::atomic<bool> s_bListenReadyRead {true};

} // namespace

ReadPoll::ReadPoll(QSerialPort *pPort, std::function<void()> take, QObject *parent)
    : QObject(parent), m_pPort(pPort), m_take(std::move(take))
{
    m_poll.setTimerType(Qt::PreciseTimer);
    connect(&m_poll, &QTimer::timeout, this, &ReadPoll::Look);
}

ReadPoll::~ReadPoll()
{
    Stop();
}

void ReadPoll::SetReadyReadForTesting(bool bListen)
{
    s_bListenReadyRead.store(bListen);
}

bool ReadPoll::ListensToReadyRead()
{
    return s_bListenReadyRead.load();
}

void ReadPoll::Start()
{
    Stop();
    if (!m_pPort) {
        return;
    }
    if (ListensToReadyRead()) {
        m_readyRead = connect(m_pPort, &QSerialPort::readyRead, this, [this]() { m_take(); });
    }
    m_poll.start(Waits::Current().nReadPollMs);
    Look();
}

void ReadPoll::Stop()
{
    m_poll.stop();
    disconnect(m_readyRead);
}

void ReadPoll::Look()
{
    if (!m_pPort || !m_pPort->isOpen()) {
        return;
    }
    // A peek at an empty buffer starts a read (Windows); one that finds
    // bytes leaves them for take.
    char cByte = 0;
    if (m_pPort->peek(&cByte, 1) == 1) {
        m_take();
    }
}
