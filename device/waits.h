#ifndef WAITS_H
#define WAITS_H

#include <cstdint>

// Every wait, timeout and step limit of the device link and the firmware
// transfer lives here, so that the program's timing can be read in one place.
//
// The program always runs with the default values. Tests may shorten them
// through Waits::SetForTesting (declared in waitsfortesting.h), because some
// of the real waits last 30 s or more; a suite that only ever ran with
// shortened waits would prove nothing about the real ones, so several tests
// keep the defaults.
struct Waits
{
    // Serial link (worker)
    int nWriteMs = 1000;         // waitForBytesWritten after every frame (a few bytes, gone in
                                 // milliseconds); one not gone by then fails its command
    int nReadPollMs = 20;        // every wait on the line also reads this often: some drivers (Wine's
                                 // above all) signal arriving bytes only after a read was started
    int nProbeMs = 1000;         // added to the control-mode window of the command that asks each
                                 // opened port what is on it (the look for 'C's it once was)
    int nReplyMs = 1000;         // reply window of the framed commands
    int nReplyQuietMs = 20;      // a reply whose content is all there ends once the line is this quiet
    int nOpenEndQuietMs = 100;   // the same for content that cannot tell its own end: a number at the
                                 // end of a reply, a record stream that has reached its announced count
    int nBootReplyMs = 2000;     // first reply window of the boot commands
    int nBootReadyMs = 30000;    // boot loader must stream its 'C's within this
    int nBootQuietMs = 50;       // quiet time after the last 'C' burst
    int nBootStreamMs = 10000;   // a boot loader whose 'C's began within nBootReadyMs gets this much
                                 // longer for the rest of the four that count
    int nBusyQuietMs = 500;      // a line that carries data nobody asked for (the rest of a record
                                 // stream whose export was left) counts as free once quiet this long
    int nBusyMaxMs = 120000;     // the longest wait for such a line to fall quiet: when no record count
                                 // is known, and the ceiling of the wait a known count gives
    int nLateAnswerMaxMs = 5000; // before the boot command, the longest wait for the rest of an answer
                                 // that came too late (it is dropped until the line is quiet nReplyMs)
    int nBusySlackMs = 5000;     // added to the time the announced records take on the line, for the
                                 // device's pauses
    int nPortOpenMs = 1000;      // a scanned port must open within this (on a thread of its own, the
                                 // caller's loop running meanwhile), or it is skipped: a USB adapter opens
                                 // in milliseconds, an outgoing Bluetooth or a modem port may take seconds,
                                 // and the real open that follows the trial blocks the caller as long again
    int nNamedPortOpenMs = 20000;  // the same for the port named or remembered, where the device is
                                   // expected: it may be a slow port
    int nPortOpenPollMs = 5;     // how often the waiting caller looks whether that open has returned
    int nPortReopenMs = 200;     // a port the trial opened and closed but the real open found held is
                                 // opened once more after this: some drivers finish a close late

    // Support file
    int nSupportPortCheckMs = 1000;  // the longest wait for the trial opens that tell whether the listed ports
                                     // are in use (all at once, the caller's loop running); a port whose open
                                     // has not returned by then is written down as not known

    // Log export (worker)
    int nExportTickMs = 500;     // export collection tick
    int nExportIdleTicks = 4;    // idle ticks tolerated; the next one ends the export

    // Upgrade coordinator
    int nUserSavedProbeMs = 500;   // as nProbeMs, for the remembered port
    int nUserScanProbeMs = 2000;   // as nProbeMs, for each scanned port
    int nUserCtrlReplyMs = 2000;   // control-mode reply window
    int nJobWaitMs = 600000;       // an upgrade waits this long for an information or export job to end
                                   // (an export of a large record memory takes minutes)
    int nUpgradeAnswerMs = 20000;  // after a completed transfer, how long the device has to answer as
                                   // application firmware (it reboots into the new image; a port on USB
                                   // may vanish and come back meanwhile)
    int nUpgradeBootLoaderRecentMs = 5000;  // a boot loader seen this recently before that wait ends, with
                                   // no firmware answer since, is still there (a look between two of its
                                   // receiver's 'C's, which may come every 3 s, hears nothing): the device
                                   // took the image and did not start it

    // YMODEM transfer
    int nYmodemStepMs = 50;      // engine step interval
    int nYmodemEndMs = 100;      // delay between the engine's end and the final status
    int nYmodemDrainMs = 1000;   // the longest wait after it for queued bytes (a cancel's CANs behind a
                                 // block) to leave before the port is closed
    uint32_t nYmodemTickDivisor = 499;  // resend every 500 idle steps (25 s)
    uint32_t nYmodemMaxTimeouts = 5;    // give up after 6 resend periods (150 s)
    uint32_t nYmodemMaxErrors = 999;    // NAKs tolerated per block
    // Once the receiver has acknowledged the EOT it holds the whole file, and
    // a boot loader starts its new firmware on the closing empty header: when
    // that header's ACK is lost, nothing will ever answer it. So it is sent
    // again after 20 unanswered steps (1 s; the receiver answers within
    // milliseconds), up to 3 times, and the transfer then counts as completed
    // without that ACK, 4 s after the first try instead of failing after
    // 150 s. The device's answer as application firmware then tells whether
    // the upgrade took.
    uint32_t nYmodemClosingResendSteps = 20;
    uint32_t nYmodemClosingResends = 3;

    // The values in force.
    static const Waits &Current();
};

#endif // WAITS_H
