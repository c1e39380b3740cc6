#ifndef PSEUDOTERMINAL_H
#define PSEUDOTERMINAL_H

#include <QString>

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
    int MasterFd() const { return m_nMasterFd; }
    QString SlavePath() const { return m_sSlavePath; }

private:
    int m_nMasterFd = -1;
    int m_nSlaveFd = -1;
    QString m_sSlavePath;
};

#endif // PSEUDOTERMINAL_H
