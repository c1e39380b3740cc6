#include "transfer/upgradepreparation.h"

#include "device/devicecodes.h"
#include "device/devicecommands.h"
#include "device/devicelink.h"
#include "device/waits.h"
#include "transfer/ymodemfiletransmit.h"

#include <QDebug>
#include <QElapsedTimer>
#include <QFileInfo>

UpgradePreparation::UpgradePreparation(DeviceLink &link, DeviceCommands &commands, YmodemFileTransmit &ymodem)
    : m_link(link), m_commands(commands), m_ymodem(ymodem)
{
}

bool UpgradePreparation::Fail(UpgradeFailure eFailure, const ReasonText &error)
{
    m_link.ClosePort();
    m_eFailure = eFailure;
    m_error = error;
    return false;
}

bool UpgradePreparation::StoppedBeforeWriting(bool bBootSent)
{
    if (!m_bStopped) {
        return false;
    }
    Fail(FailureInterrupted,
         ReasonText::Plain(bBootSent ? QStringLiteral("Interrupted after the boot command, before the transfer")
                                     : QStringLiteral("Interrupted before the boot command"),
                           FailureKind::Interrupted));
    return true;
}

void UpgradePreparation::DropLateAnswer()
{
    // An answer that came too late for its window may still be on its way:
    // read with the boot command's reply, it would fail the boot command.
    QElapsedTimer timer;
    timer.start();
    while (!m_bStopped && !m_link.DeviceGone() && timer.elapsed() < Waits::Current().nLateAnswerMaxMs) {
        // Quiet for as long as the question's own window: an answer later
        // than twice its window fails any command of this device.
        const QString sLate = m_link.WaitForData(Waits::Current().nReplyMs);
        if (sLate.isEmpty()) {
            return;
        }
        qDebug().noquote() << "Upgrade: dropped a late answer:" << sLate;
    }
}

bool UpgradePreparation::Run(const QString &sFilePath)
{
    m_eFailure = FailureNone;
    m_error = ReasonText();
    m_bBootSent = false;
    m_sVersionBefore.clear();
    m_sSerialBefore.clear();
    m_link.SetDeviceMode(DeviceCodes::ModeUnknown);
    if (StoppedBeforeWriting(false)) {
        return false;
    }
    if (!m_link.OpenSerialPort()) {
        if (StoppedBeforeWriting(false)) {
            return false;
        }
        return Fail(m_link.LineKeptBusy() ? FailureLineBusy : FailureOpenPort, m_link.Error());
    }
    // Checked before the device is sent to its boot loader: brought there
    // for a file that cannot be sent, it would stay there for nothing.
    const QFileInfo file(sFilePath);
    if (!file.isFile() || !file.isReadable()) {
        return Fail(FailureTransmit,
                    ReasonText::Tr("QSerialUser", QT_TRANSLATE_NOOP("QSerialUser", "Cannot read the firmware file %1"),
                                   FailureKind::FirmwareFile)
                        .arg(ReasonText::File(sFilePath)));
    }
    // An empty image would go out as a header and an EOT and be reported as
    // an upgrade, leaving the device with no firmware to start.
    if (file.size() == 0) {
        return Fail(FailureTransmit,
                    ReasonText::Tr("QSerialUser", QT_TRANSLATE_NOOP("QSerialUser", "The firmware file %1 is empty"),
                                   FailureKind::FirmwareFile)
                        .arg(ReasonText::File(sFilePath)));
    }
    // What the device runs before the upgrade, for the service history and
    // the page ("V1.09 -> V1.10"), asked in the control mode it is in now. A
    // device already in its boot loader has nothing to tell; one whose
    // answer fails is upgraded all the same, as before it was asked.
    if (StoppedBeforeWriting(false)) {
        return false;
    }
    if (m_link.DeviceMode() == DeviceCodes::ModeCtrl) {
        QString sVersion;
        QString sSerial;
        const bool bAnswered = m_commands.GetVersion(sVersion) && !m_bStopped && m_commands.GetSN(sSerial);
        m_sVersionBefore = sVersion;
        m_sSerialBefore = bAnswered ? sSerial : QString();
        if (!bAnswered) {
            DropLateAnswer();
        }
    }
    // The technician may have chosen to stop while the device was asked
    // what it runs: then it must not be sent into its boot loader.
    if (StoppedBeforeWriting(false)) {
        return false;
    }
    bool bReady = true;
    const bool bBootStep = m_link.DeviceMode() != DeviceCodes::ModeYmodem;
    m_bBootSent = bBootStep;
    if (m_link.DeviceMode() == DeviceCodes::ModeBootMenu) {
        bReady = m_commands.EnterYmodem();
    } else if (bBootStep) {
        bReady = m_commands.EnterBootMode();
    }
    if (StoppedBeforeWriting(bBootStep)) {
        return false;
    }
    if (!bReady) {
        ReasonText error = m_link.Error();
        // A line that went away is a lost device, whichever step saw it.
        error.eKind = m_link.DeviceGone() ? FailureKind::DeviceLost : FailureKind::BootLoaderNotReached;
        return Fail(FailureBootLoader, error);
    }
    // The transmitter opens the same port with a port object of its own.
    m_link.ClosePort();
    m_ymodem.SetFileName(sFilePath);
    m_ymodem.SetPortName(m_link.PortName());
    if (!m_ymodem.StartTransmit(m_link.ReceiverAsking())) {
        return Fail(FailureTransmit,
                    ReasonText::Plain(QStringLiteral("StartYmodemTransmit fail"), FailureKind::TransferNotStarted));
    }
    return true;
}
