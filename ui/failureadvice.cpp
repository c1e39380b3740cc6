#include "ui/failureadvice.h"

void FailureAdvice::Take(int nKind, const QString &sPort)
{
    m_eKind = static_cast<FailureKind>(nKind);
    m_sPort = sPort;
}

QString FailureAdvice::UnderStatus(const QString &sStatus) const
{
    const QString sAdvice = Text();
    return sAdvice.isEmpty() ? sStatus : sStatus + QLatin1Char('\n') + sAdvice;
}

QString FailureAdvice::Text(FailureKind eKind, const QString &sReason, const QString &sPort)
{
    switch (eKind) {
    case FailureKind::NoPort:
        return tr("No serial port could be opened. Connect the device and try again.");
    case FailureKind::PortInUse:
        return sPort.isEmpty()
                   ? tr("A serial port is in use by another program. Close that program and try again.")
                   : tr("The port %1 is in use by another program. Close that program and try again.").arg(sPort);
    case FailureKind::NoAnswer:
        return tr("No device answered. Check that it is switched on and connected, then try again.");
    case FailureKind::EchoOnly:
        return tr("Only the request came back: the line echoes (a loopback plug or a modem) and no device "
                  "answered. Connect the device and try again.");
    case FailureKind::DeviceLost:
        return tr("The connection to the device was lost (unplugged or switched off). Connect it and try again.");
    case FailureKind::BootLoader:
        return tr("The device runs its boot loader: its firmware is missing, or an upgrade did not end. Upgrade "
                  "the device first.");
    case FailureKind::CommandFailed:
        return tr("The device did not answer a command as expected. Check the cable and try again.");
    case FailureKind::BootLoaderNotReached:
        return tr("The device did not get ready to receive the firmware. Switch it off and on, then try again.");
    case FailureKind::FirmwareFile:
        return tr("The firmware file cannot be read, or it is empty. Choose the firmware file for this device.");
    case FailureKind::TransferNotStarted:
        return tr("The transfer could not start. Try again; if it fails again, switch the device off and on.");
    case FailureKind::Busy:
        return tr("Another job is still using the device. Wait until it has ended, then try again.");
    case FailureKind::ReportNotCreated:
        return tr("%1. Choose a folder you may write to, then export again.").arg(sReason);
    case FailureKind::ReportNotWritten:
        return tr("%1. Make room on the disk or choose another folder, then export again.").arg(sReason);
    case FailureKind::ReportIncomplete:
        return tr("%1. Check the cable, then export again.").arg(sReason);
    case FailureKind::Interrupted:
        return tr("The job was stopped before it ended. Start it again.");
    case FailureKind::ReceiverCancelled:
        return tr("The device refused the firmware and stays in its boot loader. Check that the file is firmware "
                  "for this device, then upgrade again.");
    case FailureKind::TransferTimedOut:
        return tr("The device stopped answering during the transfer and stays in its boot loader. Check the "
                  "cable, then upgrade again.");
    case FailureKind::NoisyLine:
        return tr("The line is noisy: blocks arrived damaged again and again. Check the cable, the USB adapter "
                  "and the connectors, then upgrade again.");
    case FailureKind::TransferFailed:
        return tr("The transfer failed: the line reported an error, or the file changed while it was sent. The "
                  "device stays in its boot loader: upgrade again.");
    case FailureKind::FirmwareNotStarted:
        return tr("The device received the whole file but started its boot loader again, not the new firmware. "
                  "Check that the file is firmware for this device, then upgrade again.");
    case FailureKind::NotConfirmed:
        return tr("The device received the file to its end but confirmed neither the end of the transfer nor its "
                  "new firmware. Check the cable, then upgrade again.");
    case FailureKind::NotThisDevice:
        return sPort.isEmpty()
                   ? tr("Something on the serial port answers that is not this device. Connect the device and "
                        "try again.")
                   : tr("Something on %1 answers that is not this device. Connect the device and try again.")
                         .arg(sPort);
    case FailureKind::KeepsSending:   // the page's own status says why and what next
    case FailureKind::None:
        break;
    }
    return QString();
}
