#include "hostline.h"

#include <QElapsedTimer>

#include <fcntl.h>
#include <unistd.h>

HostLine::~HostLine()
{
    Close();
}

bool HostLine::Open(const QString &sPath)
{
    m_port.setPortName(sPath);
    if (!m_port.open(QIODevice::ReadWrite))
        return false;
    m_port.setBaudRate(QSerialPort::Baud115200);
    m_port.setDataBits(QSerialPort::Data8);
    m_port.setParity(QSerialPort::NoParity);
    m_port.setStopBits(QSerialPort::OneStop);
    m_port.setFlowControl(QSerialPort::NoFlowControl);
    return true;
}

void HostLine::Close()
{
    m_baUnread.clear();
    if (m_port.isOpen())
        m_port.close();
}

bool HostLine::Write(const QByteArray &bytes)
{
    if (m_port.write(bytes) != bytes.size())
        return false;
    while (m_port.bytesToWrite() > 0) {
        if (!m_port.waitForBytesWritten(2000))
            return false;
    }
    return true;
}

QByteArray HostLine::ReadUntil(const std::function<bool(const QByteArray &)> &bDone, int nTimeoutMs)
{
    QByteArray received = m_baUnread + m_port.readAll();
    m_baUnread.clear();
    QElapsedTimer clock;
    clock.start();
    while (!bDone(received)) {
        const qint64 nLeft = nTimeoutMs - clock.elapsed();
        if (nLeft <= 0 || !m_port.isOpen())
            break;
        if (m_port.waitForReadyRead(static_cast<int>(nLeft)))
            received += m_port.readAll();
        else if (m_port.error() != QSerialPort::NoError && m_port.error() != QSerialPort::TimeoutError)
            break;
    }
    return received;
}

QByteArray HostLine::ReadCount(int nCount, int nTimeoutMs)
{
    return ReadUntil([nCount](const QByteArray &received) { return received.size() >= nCount; }, nTimeoutMs);
}

QByteArray HostLine::ReadFor(int nMs)
{
    return ReadUntil([](const QByteArray &) { return false; }, nMs);
}

QByteArray HostLine::ReadUpTo(const QByteArray &stopBytes, int nTimeoutMs)
{
    auto stopAt = [&stopBytes](const QByteArray &b) {
        for (int i = 0; i < b.size(); ++i) {
            if (stopBytes.contains(b.at(i)))
                return i;
        }
        return -1;
    };
    QByteArray received = ReadUntil([&](const QByteArray &b) { return stopAt(b) >= 0; }, nTimeoutMs);
    const int nStop = stopAt(received);
    if (nStop >= 0) {
        m_baUnread = received.mid(nStop + 1);
        received.truncate(nStop + 1);
    }
    return received;
}

QByteArray HostLine::Exchange(const QByteArray &bytes, int nCount, int nTimeoutMs)
{
    if (!Write(bytes))
        return QByteArray();
    return ReadCount(nCount, nTimeoutMs);
}

int OpenPlainHost(const QString &sPath, const std::function<void(termios &)> &change)
{
    const int nFd = ::open(sPath.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (nFd < 0)
        return -1;
    termios tio {};
    bool bOk = ::tcgetattr(nFd, &tio) == 0;
    if (bOk) {
        ::cfmakeraw(&tio);
        tio.c_cflag |= CLOCAL | CREAD;
        ::cfsetispeed(&tio, B115200);
        ::cfsetospeed(&tio, B115200);
        change(tio);
        bOk = ::tcsetattr(nFd, TCSANOW, &tio) == 0;
    }
    if (!bOk) {
        ::close(nFd);
        return -1;
    }
    return nFd;
}
