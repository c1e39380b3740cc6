#include "simulator/stopsignals.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

int s_nSignalPipeIn = -1;

// Async-signal-safe: one byte into the pipe, which the event loop watches.
extern "C" void NoteStopSignal(int)
{
    const char cByte = 0;
    const ssize_t nIgnored = ::write(s_nSignalPipeIn, &cByte, 1);
    (void)nIgnored;
}

} // namespace

bool StopSignals::QuitEventLoopOnStop()
{
    int pipeEnds[2] = {-1, -1};
    if (s_nSignalPipeIn >= 0 || ::pipe(pipeEnds) != 0) {
        return false;
    }
    ::fcntl(pipeEnds[1], F_SETFL, O_NONBLOCK);
    s_nSignalPipeIn = pipeEnds[1];
    auto *pWatch = new QSocketNotifier(pipeEnds[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(pWatch, &QSocketNotifier::activated, QCoreApplication::instance(),
                     []() { QCoreApplication::quit(); });
    struct sigaction onStop = {};
    onStop.sa_handler = NoteStopSignal;
    sigemptyset(&onStop.sa_mask);
    onStop.sa_flags = SA_RESTART;
    return ::sigaction(SIGTERM, &onStop, nullptr) == 0 && ::sigaction(SIGINT, &onStop, nullptr) == 0;
}
