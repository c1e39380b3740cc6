// kestrelpack-devcheck: talks to a device (real or simulated) through the
// program's own serial link and firmware transmitter, from the command line.
// A developer without the finished windows, or without hardware, sees what the
// link finds: the device's mode, version, serial number and record count, and
// can send a firmware image.
//
// It only opens the ports it is given (--port, or KESTRELPACK_SERIAL_PORTS):
// it never scans the machine's ports on its own.

#include "device/portlister.h"
#include "device/serialworker.h"
#include "transfer/ymodemfiletransmit.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QTextStream>

#include <cstdio>

namespace {

QTextStream &Out()
{
    static QTextStream s_out(stdout);
    return s_out;
}

const char *ModeName(int nMode)
{
    switch (nMode) {
    case SerialWorker::ModeCtrl: return "application firmware (control mode)";
    case SerialWorker::ModeBootMenu: return "boot loader, refusing commands";
    case SerialWorker::ModeYmodem: return "boot loader, waiting for a YMODEM transfer";
    default: return "unknown";
    }
}

const char *StatusName(YmodemFileTransmit::YmodemStatus eStatus)
{
    switch (eStatus) {
    case YmodemFileTransmit::StatusOpening: return "opening";
    case YmodemFileTransmit::StatusSending: return "sending";
    case YmodemFileTransmit::StatusDone: return "done";
    case YmodemFileTransmit::StatusCancelled: return "cancelled by the device";
    case YmodemFileTransmit::StatusTimeOut: return "timed out";
    case YmodemFileTransmit::StatusFailed: return "failed";
    }
    return "?";
}

// Reads the information the device gives in control mode; true when every
// command succeeded.
bool ReadInformation(SerialWorker &worker)
{
    bool bAll = true;
    QString sVersion;
    QString sSN;
    if (worker.GetVersion(sVersion)) {
        Out() << "firmware version: " << sVersion << Qt::endl;
    } else {
        Out() << "firmware version: " << worker.ErrorMessage() << Qt::endl;
        bAll = false;
    }
    if (worker.GetSN(sSN)) {
        Out() << "serial number:    " << sSN << Qt::endl;
    } else {
        Out() << "serial number:    " << worker.ErrorMessage() << Qt::endl;
        bAll = false;
    }
    if (worker.GetLogInfoCount()) {
        Out() << "stored records:   " << worker.LogInfoCount() << Qt::endl;
    } else {
        Out() << "stored records:   " << worker.ErrorMessage() << Qt::endl;
        bAll = false;
    }
    if (!worker.ExitCtrlMode()) {
        Out() << "leaving control mode: " << worker.ErrorMessage() << Qt::endl;
        bAll = false;
    }
    return bAll;
}

// Brings the device into its boot loader's receive mode; the port is closed
// afterwards so the transmitter can open it.
bool PrepareUpgrade(SerialWorker &worker)
{
    bool bReady = true;
    if (worker.DeviceMode() == SerialWorker::ModeBootMenu) {
        bReady = worker.EnterYmodem();
    } else if (worker.DeviceMode() != SerialWorker::ModeYmodem) {
        bReady = worker.EnterBootMode();
    }
    worker.SerialPort()->close();
    if (!bReady) {
        Out() << "boot loader not ready: " << worker.ErrorMessage() << Qt::endl;
    }
    return bReady;
}

int SendImage(const QString &sFile, const QString &sPortName)
{
    YmodemFileTransmit transmit;
    int nExit = 1;
    int nLastProgress = -1;
    QObject::connect(&transmit, &YmodemFileTransmit::TransmitProgress, [&](int nProgress) {
        if (nProgress / 10 != nLastProgress / 10 || nProgress == 100) {
            Out() << "progress: " << nProgress << "%" << Qt::endl;
        }
        nLastProgress = nProgress;
    });
    QObject::connect(&transmit, &YmodemFileTransmit::TransmitStatus,
                     [&](YmodemFileTransmit::YmodemStatus eStatus) {
                         if (eStatus >= YmodemFileTransmit::StatusDone) {
                             Out() << "transfer: " << StatusName(eStatus) << Qt::endl;
                             nExit = eStatus == YmodemFileTransmit::StatusDone ? 0 : 1;
                             QCoreApplication::exit(nExit);
                         }
                     });
    transmit.SetFileName(sFile);
    transmit.SetPortName(sPortName);
    if (!transmit.StartTransmit()) {
        Out() << "transfer: cannot open " << sPortName << Qt::endl;
        return 1;
    }
    Out() << "sending " << QFileInfo(sFile).fileName() << " (" << QFileInfo(sFile).size() << " bytes)" << Qt::endl;
    return QCoreApplication::exec();
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Finds the device on the given ports with the program's own serial link, prints its mode, "
        "version, serial number and record count, and optionally sends a firmware image."));
    parser.addHelpOption();
    parser.addOption({QStringLiteral("port"), QStringLiteral("Device path to try (repeatable, in order)."),
                      QStringLiteral("path")});
    parser.addOption({QStringLiteral("upgrade"), QStringLiteral("Send this firmware image with YMODEM."),
                      QStringLiteral("file")});
    parser.process(app);

    const QStringList ports = parser.values(QStringLiteral("port"));
    if (!ports.isEmpty()) {
        qputenv(PortLister::kEnvironmentVariable, ports.join(QLatin1Char(':')).toLocal8Bit());
    } else if (!qEnvironmentVariableIsSet(PortLister::kEnvironmentVariable)) {
        std::fprintf(stderr, "kestrelpack-devcheck: name the device with --port PATH or %s\n",
                     PortLister::kEnvironmentVariable);
        return 2;
    }

    SerialWorker worker;
    if (!worker.OpenSerialPort()) {
        Out() << "no device: " << worker.ErrorMessage() << Qt::endl;
        return 1;
    }
    Out() << "device on " << worker.PortName() << ": " << ModeName(worker.DeviceMode()) << Qt::endl;

    bool bOk = true;
    if (worker.DeviceMode() == SerialWorker::ModeCtrl) {
        bOk = ReadInformation(worker);
    }
    const QString sImage = parser.value(QStringLiteral("upgrade"));
    if (sImage.isEmpty()) {
        worker.SerialPort()->close();
        return bOk ? 0 : 1;
    }
    if (!PrepareUpgrade(worker)) {
        return 1;
    }
    return SendImage(sImage, worker.PortName());
}
