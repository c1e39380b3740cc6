#ifndef PSEUDOTERMINAL_H
#define PSEUDOTERMINAL_H

#include <QString>
#include <QStringList>

struct termios;

// A pseudo-terminal pair in raw mode. The device plays on the master side;
// the host opens the slave path like a serial port. One slave descriptor is
// held open here for the whole life of the pair, so that the host may open
// and close its port as often as it likes without the master side seeing a
// hang-up in between.
class PseudoTerminal
{
public:
    PseudoTerminal() = default;
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal &) = delete;
    PseudoTerminal &operator=(const PseudoTerminal &) = delete;

    // Opens the pair. False with a reason in *psError on failure.
    bool Open(QString *psError);
    // Closes both descriptors: the host then sees the line gone.
    void Close();

    bool IsOpen() const { return m_nMasterFd >= 0; }
    // Whether some other program has the slave open now. A real device's
    // bytes are lost while no host has the port open; the held slave would
    // otherwise queue them for the next host that opens it. Opens and closes
    // of the slave path are watched; where that cannot be watched, a host is
    // taken to be always present.
    bool HostPresent();
    int MasterFd() const { return m_nMasterFd; }
    // How the line settings the host gave its port differ from the device's
    // 115200 baud, 8 data bits, no parity, 1 stop bit, without RTS/CTS or
    // XON/XOFF flow control; empty when they match or cannot be read. A
    // pseudo-terminal carries bytes whatever the settings, so nothing else
    // would notice a host that sets them wrong.
    QStringList HostSettingDifferences() const;
    static QStringList SettingDifferences(const struct termios &tio);
    QString SlavePath() const { return m_sSlavePath; }

private:
    int m_nMasterFd = -1;
    int m_nSlaveFd = -1;
    int m_nWatchFd = -1;     // inotify descriptor watching the slave path
    int m_nHostOpens = 0;    // opens minus closes seen on the slave path
    QString m_sSlavePath;
};

#endif // PSEUDOTERMINAL_H
