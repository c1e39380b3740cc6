#ifndef UPGRADECHECK_H
#define UPGRADECHECK_H

#include <QString>

class DeviceCommands;
class DeviceLink;
class QEventLoop;

// The device's word after a completed transfer: the port is looked at again
// and again until the device answers as application firmware (its version
// read), the wait runs out, or it is aborted. The device reboots into the new
// image meanwhile; until it runs, the port may be missing (a USB adapter
// re-enumerates), silent, or the boot loader's. A boot loader still there at
// the end of the wait (seen within Waits::nUpgradeBootLoaderRecentMs of it,
// and no firmware since) took the file and did not start it: that is a word
// of its own. Every wait is a nested event loop on the calling thread.
class UpgradeCheck
{
public:
    UpgradeCheck(DeviceLink &link, DeviceCommands &commands);

    struct Word
    {
        bool bAnswered = false;      // the application firmware echoed the control-mode command
        bool bBootLoader = false;    // not answered, and a look in the wait's last seconds (an aborted wait's
                                     // too) found the boot loader (its menu refused the command, or its
                                     // receiver asks for a file)
        QString sBootLoaderSeen;     // when a look last found it, seconds with one decimal
        QString sVersion;            // its version; empty when it could not be read
        bool bAborted = false;       // Abort ended the wait
        bool bLoopsStopped = false;  // the thread's event loops are being ended (the program quits)
        QString sSeen;               // the last look, in English
        int nLooks = 0;
        QString sWaited;             // seconds, one decimal
    };
    // Waits up to nWaitMs (and the last look's window) for the device's
    // word; bAbortedAlready: Abort came before the wait began.
    Word Await(int nWaitMs, bool bAbortedAlready);
    // Ends a running wait now (from a nested loop of the same thread).
    void Abort();

private:
    enum class Look
    {
        Answered,     // the application firmware echoed the control-mode command
        BootLoader,   // the boot menu refused it, or the receiver asks for a file
        Nothing,      // no port, no answer, or no answer that tells
    };
    // One look at the port (sVersion holds the firmware's version when it
    // answered, or stays empty when it could not be read); sSeen says in
    // English what was found.
    Look Ask(int nWindowMs, QString &sVersion, QString &sSeen);
    // Waits nMs; false when it was ended early or the thread's loops are
    // being stopped.
    bool Pause(int nMs);

    DeviceLink &m_link;
    DeviceCommands &m_commands;
    bool m_bAborted = false;
    QEventLoop *m_pPauseLoop = nullptr;   // the wait between two looks at the port
};

#endif // UPGRADECHECK_H
