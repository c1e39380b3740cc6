#ifndef STOPSIGNALS_H
#define STOPSIGNALS_H

// The simulator program ends its event loop on SIGTERM or SIGINT, so that the
// line is closed and the transcript flushed on the way out. POSIX only, as
// the simulator is; set up once, for the life of the process.
namespace StopSignals {

// Needs the application object. False when the handlers could not be set.
bool QuitEventLoopOnStop();

} // namespace StopSignals

#endif // STOPSIGNALS_H
