#ifndef REQUESTJOBS_H
#define REQUESTJOBS_H

#include "cli/clicontext.h"

#include <QString>

class QSerialUser;

// The command line's worker requests, each run to its end: the outcome
// printed, the exit code returned. sPort: the port named (empty: the one the
// device is found on names it in the words).
int RunInfo(CliContext &ctx, QSerialUser &user, QString sPort);
// The report into sDirArg (made when missing).
int RunExport(CliContext &ctx, QSerialUser &user, QString sPort, const QString &sDirArg);

#endif // REQUESTJOBS_H
