#ifndef CLI_PARALLELRUN_H
#define CLI_PARALLELRUN_H

#include "cli/output.h"

#include <QStringList>

// The job on several ports at once: one process of this program per port
// (each with its own coordinator, report name and log), started together.
// Their events are relayed as they come, prefixed with the port (or as they
// are, with --json); at the end a summary table gives each port's serial
// number when known, outcome and time. Returns the worst exit code: the
// highest one.
int RunOnPorts(const QStringList &ports, const QStringList &jobArgs, Output::Mode eMode);

// The environment variable that tells a port's process that the run over
// several ports started it: stop signals reach it through that run.
constexpr const char *kChildVariable = "KESTRELPACK_CLI_PORT_RUN";

#endif // CLI_PARALLELRUN_H
