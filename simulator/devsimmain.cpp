// kestrelpack-devsim: the simulated device as a program of its own.

#include "simulator/devicesimulator.h"
#include "simulator/simulatoroptions.h"
#include "simulator/stopsignals.h"

#include <QCoreApplication>

#include <cstdio>

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

    // Stop signals end the event loop, so the line is closed and the
    // transcript flushed on the way out.
    if (!StopSignals::QuitEventLoopOnStop()) {
        std::fputs("kestrelpack-devsim: cannot catch stop signals\n", stderr);
        return 1;
    }

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
    // A pseudo-terminal carries the bytes whatever the host set; a real
    // line would not.
    QObject::connect(&device, &DeviceSimulator::LineViolation, [](const QString &sDifference) {
        std::fprintf(stderr,
                     "kestrelpack-devsim: warning: host line settings are not 115200 8N1 without flow control: "
                     "%s\n",
                     sDifference.toLocal8Bit().constData());
    });
    std::printf("%s\n", device.PortPath().toLocal8Bit().constData());
    std::fflush(stdout);
    device.slot_Begin();
    const int nResult = app.exec();
    device.slot_Shutdown();
    return nResult;
}
