#ifndef CLICONTEXT_H
#define CLICONTEXT_H

#include "cli/output.h"

#include <QJsonObject>
#include <QString>

// What the command line's jobs share: where they print, what stopped them,
// and whether the port named on the command line was there at the start.
struct CliContext
{
    Output out;
    QString sInterruptedBy;      // the stop signal's name ("SIGINT", ...); empty while none came
    bool bPortWasThere = false;  // the port named was there when the program started

    static bool PortExists(const QString &sPort);
    // A port that was there and is gone now: the device was unplugged or
    // switched off (a USB adapter's device node disappears with it).
    bool PortGone(const QString &sPort) const;

    // Prints the job's one outcome and returns its exit code. A job that
    // failed after a stop signal wound it up ends as interrupted (130), its
    // own words kept after the signal's (unless they tell of the signal
    // themselves): a script reads one outcome per job, and it must agree with
    // the exit code.
    int EndJob(const QString &sJob, int nExit, const QString &sMessage, const QJsonObject &fields = QJsonObject(),
               bool bSaysInterruption = false);
    // Says that the job waits for a line still busy with a record stream;
    // returns the seconds, given as text.
    int SayLineBusy(const QString &sPort, const QString &sSeconds);
};

#endif // CLICONTEXT_H
