#ifndef PTYPEER_H
#define PTYPEER_H

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <sys/types.h>

// The far end of a pseudo-terminal for tests: the test either plays the peer
// itself through the master side, or hands the master side to a program
// (such as lrzsz's rb) as its standard input and output. The code under test
// opens SlavePath() like any serial port.
class PtyPeer
{
public:
    PtyPeer() = default;
    ~PtyPeer();   // closes the master and stops the child it started, if any
    PtyPeer(const PtyPeer &) = delete;
    PtyPeer &operator=(const PtyPeer &) = delete;

    bool Open(QString *psError = nullptr);
    QString SlavePath() const { return m_sSlavePath; }
    // The master side itself (non-blocking), e.g. for a relay; -1 once closed.
    int MasterFd() const { return m_nMaster; }

    // Master side played by the test. Read never waits.
    QByteArray ReadAvailable();
    bool Write(const QByteArray &bytes);
    // Closes the master side: the slave sees the line hang up.
    void CloseMaster();

    // Starts sProgram (found in PATH) in sWorkDir with the master side as its
    // standard input and output and its standard error appended to
    // sErrorLog; the test's own copy of the master is closed, so the line
    // hangs up when the program exits.
    bool Spawn(const QString &sProgram, const QStringList &args, const QString &sWorkDir,
               const QString &sErrorLog, QString *psError = nullptr);
    // True once the child has exited; its exit code (or -signal) in *pnCode.
    bool ChildExited(int *pnCode = nullptr);
    // Stops the child (by its process id) if it is still running.
    void StopChild();

private:
    int m_nMaster = -1;
    QString m_sSlavePath;
    pid_t m_nChild = -1;
    bool m_bChildDone = false;
    int m_nChildCode = 0;
};

#endif // PTYPEER_H
