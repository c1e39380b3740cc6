#ifndef HOSTLINE_H
#define HOSTLINE_H

#include <QByteArray>
#include <QSerialPort>
#include <QString>
#include <functional>

#include <termios.h>

// The host's end of the line in the simulator's tests: a plain QSerialPort on
// the simulator's pseudo-terminal, raw bytes in and out, no program code.
class HostLine
{
public:
    HostLine() = default;
    ~HostLine();

    bool Open(const QString &sPath);
    void Close();
    bool Write(const QByteArray &bytes);

    // Collects what arrives until bDone(received) holds or nTimeoutMs pass;
    // returns everything received (also bytes beyond the condition).
    QByteArray ReadUntil(const std::function<bool(const QByteArray &)> &bDone, int nTimeoutMs);
    // Collects at least nCount bytes (or what came within nTimeoutMs).
    QByteArray ReadCount(int nCount, int nTimeoutMs);
    // Collects for the whole time given.
    QByteArray ReadFor(int nMs);
    // Collects up to and including the first byte that is one of
    // stopBytes; what came after it is kept for the next read.
    QByteArray ReadUpTo(const QByteArray &stopBytes, int nTimeoutMs);
    // Sends bytes and collects the answer until it has nCount bytes.
    QByteArray Exchange(const QByteArray &bytes, int nCount, int nTimeoutMs = 2000);

    QSerialPort &Port() { return m_port; }
    QString ErrorText() const { return m_port.errorString(); }

private:
    QSerialPort m_port;
    QByteArray m_baUnread;
};

// A host that is not built on Qt: opens the port with plain system calls,
// starts from raw 115200 baud 8N1 without flow control and applies
// change(); returns the descriptor (to close) or -1.
int OpenPlainHost(const QString &sPath, const std::function<void(termios &)> &change);

#endif // HOSTLINE_H
