// kestrelpack-devsim: the simulated device as a program of its own.

#include "simulator/devicesimulator.h"
#include "simulator/simulatoroptions.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int g_aSignalPipe[2] = {-1, -1};

void OnStopSignal(int)
{
    const char c = 1;
    ssize_t nIgnored = ::write(g_aSignalPipe[1], &c, 1);
    (void)nIgnored;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    if (args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"))) {
        std::fputs(SimulatorOptions::HelpText().toLocal8Bit().constData(), stdout);
        return 0;
    }
    SimulatorOptions options;
    QString sError;
    if (!SimulatorOptions::FromArguments(args, &options, &sError)) {
        std::fprintf(stderr, "kestrelpack-devsim: %s\nTry --help.\n", sError.toLocal8Bit().constData());
        return 2;
    }

    // Stop signals end the event loop through a pipe, so the line is closed
    // and the transcript flushed on the way out.
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_aSignalPipe) != 0) {
        std::perror("kestrelpack-devsim: socketpair");
        return 1;
    }
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
    QSocketNotifier stopNotifier(g_aSignalPipe[0], QSocketNotifier::Read);
    QObject::connect(&stopNotifier, &QSocketNotifier::activated, &app, &QCoreApplication::quit);

    DeviceSimulator device(options);
    if (!device.OpenTerminal(&sError)) {
        std::fprintf(stderr, "kestrelpack-devsim: no pseudo-terminal: %s\n", sError.toLocal8Bit().constData());
        return 1;
    }
    QObject::connect(&device, &DeviceSimulator::ImageReceived, [](const QString &sFileName, const QByteArray &content) {
        std::fprintf(stderr, "kestrelpack-devsim: image %s received, %d bytes\n", sFileName.toLocal8Bit().constData(),
                     content.size());
    });
    QObject::connect(&device, &DeviceSimulator::TransferAborted, [](const QString &sReason) {
        std::fprintf(stderr, "kestrelpack-devsim: transfer aborted: %s\n", sReason.toLocal8Bit().constData());
    });
    std::printf("%s\n", device.PortPath().toLocal8Bit().constData());
    std::fflush(stdout);
    device.slot_Begin();
    const int nResult = app.exec();
    device.slot_Shutdown();
    return nResult;
}
