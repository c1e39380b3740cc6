#ifndef SUPPORTFILEJOB_H
#define SUPPORTFILEJOB_H

#include "cli/clicontext.h"

#include <QString>

// `kestrelpack-cli support-file [DIR]`: the support file (app/supportfile.h)
// into DIR, the current folder when none is given, made when missing. The
// folder is checked as the export checks its own: made when missing, and
// asked whether it takes a file by making one. A name already taken gets
// "_2", "_3", ... (two runs within one second). Prints the file's path;
// exit 6 when the folder cannot be made or written or the file was not
// written, as the export for its report.
int RunSupportFile(CliContext &ctx, const QString &sDirArg);

#endif // SUPPORTFILEJOB_H
