#ifndef UPGRADEPREPARATION_H
#define UPGRADEPREPARATION_H

#include "device/reasontext.h"

#include <QString>

class DeviceCommands;
class DeviceLink;
class YmodemFileTransmit;

// Which part of an upgrade's start failed, for callers that must tell "no
// device" from "boot loader not reached" from "transfer not started".
struct UpgradeFailures
{
    enum UpgradeFailure
    {
        FailureNone = 0,
        FailureBusy,         // an upgrade was still running, or another job kept the line too long
        FailureOpenPort,     // no device found on any port
        FailureLineBusy,     // the device kept sending and never answered
        FailureBootLoader,   // the device did not reach its boot loader's receiver
        FailureTransmit,     // the transmitter could not start
        FailureInterrupted,  // stopped before the transfer began
    };
};

// The way from "an upgrade was asked for" to a running transfer, over the
// coordinator's link: finds the device, checks the file before the device is
// touched any further, brings the device into its boot loader's receiver as
// its mode needs, and starts the transmitter on the same port. Every wait is
// a nested event loop on the calling thread.
//
// Stop (called from inside one of those waits) ends the preparation before
// its next step that writes to the device: a technician who chose to stop
// never gets a device sent into its boot loader afterwards.
class UpgradePreparation : public UpgradeFailures
{
public:
    UpgradePreparation(DeviceLink &link, DeviceCommands &commands, YmodemFileTransmit &ymodem);

    // True once the transfer has started; false with Failure and Error set.
    bool Run(const QString &sFilePath);
    // No further step (the caller also ends the link's waits), until Resume.
    void Stop() { m_bStopped = true; }
    // Also forgets what the last Run heard the device say.
    void Resume()
    {
        m_bStopped = false;
        m_sVersionBefore.clear();
        m_sSerialBefore.clear();
    }

    UpgradeFailure Failure() const { return m_eFailure; }
    // The last Run sent the device its boot command (or the boot menu its
    // "1"): stopped after it, the device stays in its boot loader.
    bool BootSent() const { return m_bBootSent; }
    const ReasonText &Error() const { return m_error; }
    // What the device said it runs, and its serial number, before the last
    // Run sent it to its boot loader; empty where it was not asked (already
    // in its boot loader) or did not answer.
    const QString &VersionBefore() const { return m_sVersionBefore; }
    const QString &SerialBefore() const { return m_sSerialBefore; }

private:
    bool Fail(UpgradeFailure eFailure, const ReasonText &error);
    // True (the port closed, the failure set) when Stop came; bBootSent: the
    // boot command went out before it.
    bool StoppedBeforeWriting(bool bBootSent);
    // Reads and drops what still arrives until the line has been quiet for
    // a reply window (bounded), after a question not answered in time.
    void DropLateAnswer();

    DeviceLink &m_link;
    DeviceCommands &m_commands;
    YmodemFileTransmit &m_ymodem;
    bool m_bStopped = false;
    bool m_bBootSent = false;
    UpgradeFailure m_eFailure = FailureNone;
    ReasonText m_error;
    QString m_sVersionBefore;
    QString m_sSerialBefore;
};

#endif // UPGRADEPREPARATION_H
