#include "cli/clicontext.h"

#include "cli/failurewords.h"
#include "device/portlister.h"

#include <QFileInfo>

#ifdef Q_OS_WIN
#include <QSerialPortInfo>
#endif

bool CliContext::PortExists(const QString &sPort)
{
    // A port found by the scan comes as the path that opened it (\\.\COM10
    // on Windows), and the system lists it by its name alone.
    const QString sName = PortLister::NormalName(sPort);
#ifdef Q_OS_WIN
    return !QSerialPortInfo(sName).isNull();
#else
    return QFileInfo::exists(sName);
#endif
}

bool CliContext::PortGone(const QString &sPort) const
{
    if (sPort.isEmpty() || !bPortWasThere) {
        return false;
    }
    return !PortExists(sPort);
}

int CliContext::EndJob(const QString &sJob, int nExit, const QString &sMessage, const QJsonObject &fields,
                       bool bSaysInterruption)
{
    if (nExit == ExitSuccess || bSaysInterruption || sInterruptedBy.isEmpty()) {
        out.Outcome(nExit, sMessage, fields);
        return nExit;
    }
    out.Outcome(ExitInterrupted, QStringLiteral("%1 interrupted by %2: %3").arg(sJob, sInterruptedBy, sMessage),
                fields);
    return ExitInterrupted;
}

int CliContext::SayLineBusy(const QString &sPort, const QString &sSeconds)
{
    const int nSeconds = sSeconds.toInt();
    out.Event(QStringLiteral("wait"),
              QStringLiteral("%1 is still sending its records; waiting up to %2 s ...")
                  .arg(sPort.isEmpty() ? QStringLiteral("The device") : QStringLiteral("The device on %1").arg(sPort))
                  .arg(nSeconds),
              QJsonObject{{QStringLiteral("awaited"), QStringLiteral("quiet line")}, {QStringLiteral("seconds"), nSeconds}});
    return nSeconds;
}
