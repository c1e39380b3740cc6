#ifndef UPGRADEJOB_H
#define UPGRADEJOB_H

#include "cli/clicontext.h"

#include <QString>

class QSerialUser;

// The command line's upgrade, run to its end: the file checked before the
// device is touched, the waits said as they begin, the transfer's progress,
// the device's word after it; the outcome printed, the exit code returned.
int RunUpgrade(CliContext &ctx, QSerialUser &user, const QString &sGivenPort, const QString &sFilePath);

#endif // UPGRADEJOB_H
