#include "cli/failurewords.h"

#include <QStringList>

namespace FailureWords {

namespace {

using WordsFor = QString (*)(const Context &);

struct Row
{
    FailureKind eKind;
    int nExit;
    WordsFor words;   // null: the job's own words
};

QString OnPort(const Context &c, const char *szNone)
{
    return c.sPort.isEmpty() ? QString::fromLatin1(szNone) : c.sPort;
}

const Row kRows[] = {
    {FailureKind::NoPort, ExitNoDevice,
     [](const Context &c) {
         return c.sPort.isEmpty()
                    ? QStringLiteral("no serial port could be opened: connect the device or name its port with "
                                     "--port, then run %1 again")
                          .arg(c.sAgain)
                    : QStringLiteral("the port %1 could not be opened (there is no such port, or it may not be "
                                     "opened): check its name and the cable, then run %2 again")
                          .arg(c.sPort, c.sAgain);
     }},
    {FailureKind::PortInUse, ExitNoDevice,
     [](const Context &c) {
         return QStringLiteral("%1 is in use by another program: close that program, then run %2 again")
             .arg(OnPort(c, "the device's port"), c.sAgain);
     }},
    {FailureKind::NoAnswer, ExitNoDevice,
     [](const Context &c) {
         return QStringLiteral("no device answered on %1: check that it is switched on and connected, then run %2 "
                               "again")
             .arg(OnPort(c, "any port"), c.sAgain);
     }},
    {FailureKind::EchoOnly, ExitNoDevice,
     [](const Context &c) {
         return QStringLiteral("only the request came back on %1: the line echoes (a loopback plug or a modem) and "
                               "no device answered; connect the device, then run %2 again")
             .arg(OnPort(c, "any port"), c.sAgain);
     }},
    {FailureKind::DeviceLost, ExitNoDevice,
     [](const Context &c) {
         return QStringLiteral("%1 was lost (unplugged or switched off) during the job: connect it, then run %2 again")
             .arg(PortText(c.sPort), c.sAgain);
     }},
    {FailureKind::BootLoader, ExitBootLoader,
     [](const Context &c) {
         return QStringLiteral("%1 is in its boot loader (its firmware is missing, or an upgrade did not end): run "
                               "%2 first")
             .arg(PortText(c.sPort), Again(c.sPort, QStringLiteral("upgrade"), QStringLiteral("FILE")));
     }},
    {FailureKind::KeepsSending, ExitCommand,
     [](const Context &c) {
         return QStringLiteral("%1 kept sending and did not fall quiet within %2 s: switch the device off and on, "
                               "then run %3 again")
             .arg(PortText(c.sPort))
             .arg(c.nBusySeconds)
             .arg(c.sAgain);
     }},
    {FailureKind::CommandFailed, ExitCommand, nullptr},
    {FailureKind::BootLoaderNotReached, ExitBootLoader, nullptr},
    {FailureKind::FirmwareFile, ExitTransfer, nullptr},
    {FailureKind::TransferNotStarted, ExitTransfer, nullptr},
    {FailureKind::Busy, ExitTransfer, nullptr},
    {FailureKind::ReportNotCreated, ExitReport, nullptr},
    {FailureKind::ReportNotWritten, ExitReport, nullptr},
    {FailureKind::ReportIncomplete, ExitReport, nullptr},
    {FailureKind::Interrupted, ExitInterrupted, nullptr},
    {FailureKind::ReceiverCancelled, ExitTransfer, nullptr},
    {FailureKind::TransferTimedOut, ExitTransfer, nullptr},
    {FailureKind::NoisyLine, ExitTransfer, nullptr},
    {FailureKind::TransferFailed, ExitTransfer, nullptr},
    {FailureKind::FirmwareNotStarted, ExitBootLoader, nullptr},
    {FailureKind::NotConfirmed, ExitTransfer, nullptr},
    {FailureKind::NotThisDevice, ExitNoDevice,
     [](const Context &c) {
         return QStringLiteral("something on %1 answers that is not this device (another kind of device talks "
                               "there): connect the device or name its port with --port, then run %2 again")
             .arg(OnPort(c, "a port"), c.sAgain);
     }},
};

const Row *Find(FailureKind eKind)
{
    for (const Row &row : kRows) {
        if (row.eKind == eKind) {
            return &row;
        }
    }
    return nullptr;
}

} // namespace

int ExitCodeFor(FailureKind eKind)
{
    const Row *pRow = Find(eKind);
    return pRow ? pRow->nExit : ExitSuccess;
}

QString Words(FailureKind eKind, const Context &context)
{
    const Row *pRow = Find(eKind);
    return (pRow && pRow->words) ? pRow->words(context) : QString();
}

QString PortText(const QString &sPort)
{
    return sPort.isEmpty() ? QStringLiteral("the device") : QStringLiteral("the device on %1").arg(sPort);
}

QString Again(const QString &sPort, const QString &sCommand, const QString &sArg)
{
    QStringList words{QStringLiteral("kestrelpack-cli")};
    if (!sPort.isEmpty()) {
        words << QStringLiteral("--port") << sPort;
    }
    words << sCommand;
    if (!sArg.isEmpty()) {
        words << sArg;
    }
    return QLatin1Char('`') + words.join(QLatin1Char(' ')) + QLatin1Char('`');
}

int KnownExitCode(int nExit)
{
    switch (nExit) {
    case ExitSuccess:
    case ExitUsage:
    case ExitNoDevice:
    case ExitBootLoader:
    case ExitTransfer:
    case ExitReport:
    case ExitCommand:
    case ExitInterrupted:
        return nExit;
    default:
        return ExitCommand;
    }
}

} // namespace FailureWords
