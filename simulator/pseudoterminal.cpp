#include "simulator/pseudoterminal.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/inotify.h>
#include <termios.h>
#include <unistd.h>

namespace {

QString ErrnoText(const char *pszWhat)
{
    return QStringLiteral("%1: %2").arg(QString::fromLatin1(pszWhat), QString::fromLocal8Bit(std::strerror(errno)));
}

QString BaudText(speed_t nSpeed)
{
    static const struct
    {
        speed_t nCode;
        int nBaud;
    } kRates[] = {{B0, 0},         {B300, 300},       {B1200, 1200},     {B2400, 2400},
                  {B4800, 4800},   {B9600, 9600},     {B19200, 19200},   {B38400, 38400},
                  {B57600, 57600}, {B115200, 115200}, {B230400, 230400}, {B460800, 460800},
                  {B921600, 921600}};
    for (const auto &rate : kRates) {
        if (rate.nCode == nSpeed)
            return QString::number(rate.nBaud);
    }
    return QStringLiteral("code %1").arg(static_cast<unsigned>(nSpeed), 0, 8);
}

} // namespace

PseudoTerminal::~PseudoTerminal()
{
    Close();
}

bool PseudoTerminal::Open(QString *psError)
{
    Close();
    QString sError;
    int nMaster = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (nMaster < 0) {
        sError = ErrnoText("posix_openpt");
    } else if (::grantpt(nMaster) != 0) {
        sError = ErrnoText("grantpt");
    } else if (::unlockpt(nMaster) != 0) {
        sError = ErrnoText("unlockpt");
    }
    char aName[128] = {};
    if (sError.isEmpty() && ::ptsname_r(nMaster, aName, sizeof aName) != 0)
        sError = ErrnoText("ptsname");
    int nSlave = -1;
    if (sError.isEmpty()) {
        nSlave = ::open(aName, O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (nSlave < 0)
            sError = ErrnoText("open slave");
    }
    if (sError.isEmpty()) {
        // Raw line: no echo, no line editing, no translation of CR/LF; the
        // settings belong to the terminal, so the host finds them too.
        termios tio {};
        if (::tcgetattr(nSlave, &tio) != 0) {
            sError = ErrnoText("tcgetattr");
        } else {
            ::cfmakeraw(&tio);
            tio.c_cflag |= CLOCAL | CREAD;
            ::cfsetispeed(&tio, B115200);
            ::cfsetospeed(&tio, B115200);
            tio.c_cc[VMIN] = 0;
            tio.c_cc[VTIME] = 0;
            if (::tcsetattr(nSlave, TCSANOW, &tio) != 0)
                sError = ErrnoText("tcsetattr");
        }
    }
    if (sError.isEmpty()) {
        int nFlags = ::fcntl(nMaster, F_GETFL);
        if (nFlags < 0 || ::fcntl(nMaster, F_SETFL, nFlags | O_NONBLOCK) != 0
            || ::fcntl(nMaster, F_SETFD, FD_CLOEXEC) != 0)
            sError = ErrnoText("fcntl");
    }
    if (!sError.isEmpty()) {
        if (nSlave >= 0)
            ::close(nSlave);
        if (nMaster >= 0)
            ::close(nMaster);
        if (psError)
            *psError = sError;
        return false;
    }
    m_nMasterFd = nMaster;
    m_nSlaveFd = nSlave;
    m_sSlavePath = QString::fromLocal8Bit(aName);
    m_nHostOpens = 0;
    m_nWatchFd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (m_nWatchFd >= 0 && ::inotify_add_watch(m_nWatchFd, aName, IN_OPEN | IN_CLOSE) < 0) {
        ::close(m_nWatchFd);
        m_nWatchFd = -1;
    }
    return true;
}

bool PseudoTerminal::HostPresent()
{
    if (m_nWatchFd < 0)
        return true;
    alignas(inotify_event) char aBuffer[4096];
    for (;;) {
        const ssize_t nRead = ::read(m_nWatchFd, aBuffer, sizeof aBuffer);
        if (nRead <= 0)
            break;
        for (ssize_t nAt = 0; nAt < nRead;) {
            const inotify_event *pEvent = reinterpret_cast<const inotify_event *>(aBuffer + nAt);
            if (pEvent->mask & IN_Q_OVERFLOW) {
                // Lost count: from now on assume a host is there.
                ::close(m_nWatchFd);
                m_nWatchFd = -1;
                return true;
            }
            if (pEvent->mask & IN_OPEN)
                ++m_nHostOpens;
            if (pEvent->mask & IN_CLOSE)
                m_nHostOpens = m_nHostOpens > 0 ? m_nHostOpens - 1 : 0;
            nAt += static_cast<ssize_t>(sizeof(inotify_event) + pEvent->len);
        }
    }
    return m_nHostOpens > 0;
}

QStringList PseudoTerminal::HostSettingDifferences() const
{
    // On Linux the master's attributes are the slave's: what the host set.
    termios tio {};
    if (m_nMasterFd < 0 || ::tcgetattr(m_nMasterFd, &tio) != 0)
        return QStringList();
    return SettingDifferences(tio);
}

QStringList PseudoTerminal::SettingDifferences(const termios &tio)
{
    // Only what a real line would get wrong. (A Linux pseudo-terminal always
    // reports 8 data bits and no parity, whatever the host asked for, so
    // those two can only be caught on a line that keeps them.)
    QStringList differences;
    const speed_t nIn = ::cfgetispeed(&tio);
    const speed_t nOut = ::cfgetospeed(&tio);
    if (nIn != B115200 || nOut != B115200) {
        differences << (nIn == nOut ? QStringLiteral("speed %1 baud, not 115200").arg(BaudText(nOut))
                                    : QStringLiteral("speed %1 baud in and %2 out, not 115200")
                                          .arg(BaudText(nIn), BaudText(nOut)));
    }
    if ((tio.c_cflag & CSIZE) != CS8) {
        const tcflag_t nSize = tio.c_cflag & CSIZE;
        const int nBits = nSize == CS5 ? 5 : nSize == CS6 ? 6 : 7;
        differences << QStringLiteral("%1 data bits, not 8").arg(nBits);
    }
    if (tio.c_cflag & PARENB)
        differences << QStringLiteral("%1 parity, not none").arg((tio.c_cflag & PARODD) ? "odd" : "even");
    if (tio.c_cflag & CSTOPB)
        differences << QStringLiteral("2 stop bits, not 1");
    if (tio.c_cflag & CRTSCTS)
        differences << QStringLiteral("RTS/CTS flow control on");
    if (tio.c_iflag & (IXON | IXOFF)) {
        QStringList flags;
        if (tio.c_iflag & IXON)
            flags << QStringLiteral("IXON");
        if (tio.c_iflag & IXOFF)
            flags << QStringLiteral("IXOFF");
        differences << QStringLiteral("XON/XOFF flow control on (%1)").arg(flags.join(QLatin1Char(' ')));
    }
    return differences;
}

void PseudoTerminal::Close()
{
    if (m_nWatchFd >= 0) {
        ::close(m_nWatchFd);
        m_nWatchFd = -1;
    }
    if (m_nSlaveFd >= 0) {
        ::close(m_nSlaveFd);
        m_nSlaveFd = -1;
    }
    if (m_nMasterFd >= 0) {
        ::close(m_nMasterFd);
        m_nMasterFd = -1;
    }
}
