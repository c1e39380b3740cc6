#ifndef FAILUREWORDS_H
#define FAILUREWORDS_H

#include "device/reasontext.h"

#include <QString>

// The command line's exit codes (see kExitCodesHelp).
enum ExitCode
{
    ExitSuccess = 0,
    ExitUsage = 2,
    ExitNoDevice = 3,
    ExitBootLoader = 4,
    ExitTransfer = 5,
    ExitReport = 6,
    ExitCommand = 7,
    ExitInterrupted = 130,
};

// How the command line answers each kind of failure: its exit code and,
// where the next step is the same whatever the job, the plain words that say
// what happened and what to do. One table; no reason is read for its words.
namespace FailureWords {

struct Context
{
    QString sPort;          // the port the job names; empty: none known
    QString sAgain;         // the command that runs the job again, quoted
    int nBusySeconds = 0;   // how long the job waited for a busy line
};

int ExitCodeFor(FailureKind eKind);
// Empty where the job says it in its own words, with the reason.
QString Words(FailureKind eKind, const Context &context);

// "the device", or "the device on PORT".
QString PortText(const QString &sPort);
// The command that runs a job again, quoted for the reader.
QString Again(const QString &sPort, const QString &sCommand, const QString &sArg);

// A port's process's exit code as the run over several ports counts it: one
// of the codes above stays, any other (1 from a Qt fatal error, 134 from an
// abort passed on by a shell) becomes ExitCommand, as a crashed process
// does. Scripts know only the table's codes.
int KnownExitCode(int nExit);

} // namespace FailureWords

#endif // FAILUREWORDS_H
