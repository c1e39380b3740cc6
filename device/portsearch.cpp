#include "device/portsearch.h"

#include "device/busyline.h"
#include "device/devicelink.h"
#include "device/portlister.h"
#include "device/porttrial.h"

#include <QDebug>
#include <QEventLoop>
#include <QFileInfo>
#include <QThread>
#include <QTimer>

namespace {

// An open refused because the port is held (by another program, or by
// another object of this one), not because it is missing. Qt reports a lock
// that another process holds as a permission error; on Linux a device file
// that we may not write is one too, and that is no lock.
bool HeldByAnother(const QSerialPort &port, const QString &sPath)
{
    if (port.error() != QSerialPort::PermissionError) {
        return false;
    }
#ifdef Q_OS_UNIX
    return QFileInfo(sPath).isWritable();
#else
    Q_UNUSED(sPath)
    return true;
#endif
}

} // namespace

PortSearch::PortSearch(DeviceLink &link) : m_link(link)
{
}

bool PortSearch::OpensInTime(const QString &sPath, int Waits::*pWait)
{
    // A job being stopped tries no port that might hold it up.
    m_bTrialOpened = false;
    if (m_link.m_bWaitsAborted || m_blocked.contains(sPath)) {
        return false;
    }
    const PortTrial trial(sPath);
    if (!trial.Ended()) {
        // The link's own wait, so that a stop ends it. The port of the last
        // open is closed: its loss says nothing about this one.
        m_link.m_bDeviceGone = false;
        QEventLoop loop;
        QTimer poll;
        poll.setTimerType(Qt::PreciseTimer);
        QObject::connect(&poll, &QTimer::timeout, &loop, [&trial, &loop]() {
            if (trial.Ended()) {
                loop.quit();
            }
        });
        poll.start(Waits::Current().nPortOpenPollMs);
        m_link.RunWaitLoop(loop, m_link.Window(pWait));
    }
    if (trial.Ended()) {
        m_bTrialOpened = trial.Opened();
        return true;
    }
    // Its open goes on by itself and closes the port when it returns; until
    // then a later search joins it instead of opening the port again.
    m_blocked << sPath;
    qDebug().noquote() << QStringLiteral("OpenSerialPort: %1 did not open within %2 ms, skipped")
                              .arg(PortLister::DisplayName(sPath))
                              .arg(m_link.Window(pWait));
    return false;
}

bool PortSearch::OpenAfterTrial()
{
    if (m_link.OpenCurrentPort()) {
        return true;
    }
    // The trial's close lets go of the port, and a driver that finishes a
    // close in the background refuses the next open as if the port were
    // held meanwhile. Held by another program, the trial would not have
    // opened it (Windows opens ports exclusively).
    if (!m_bTrialOpened || m_link.m_pSerialPort->error() != QSerialPort::PermissionError
        || m_link.m_bWaitsAborted) {
        return false;
    }
    qDebug().noquote() << QStringLiteral("OpenSerialPort: %1 refused right after its trial open; once more")
                              .arg(PortLister::DisplayName(m_link.m_pSerialPort->portName()));
    QEventLoop loop;
    m_link.RunWaitLoop(loop, Waits::Current().nPortReopenMs);
    return !m_link.m_bWaitsAborted && m_link.OpenCurrentPort();
}

bool PortSearch::Run()
{
    // The port that answered last time is tried first. It counts as opened
    // when it opens, so that a silent device is reported as not answering,
    // not as missing.
    m_link.m_bLineKeptBusy = false;
    BusyLine busy(m_link);
    int nOpened = 0;
    QStringList heldPorts;
    QString sHeldReason;
    const auto noteHeld = [&](const QString &sPath) {
        if (HeldByAnother(*m_link.m_pSerialPort, sPath)) {
            heldPorts << PortLister::DisplayName(sPath);
            sHeldReason = m_link.m_pSerialPort->errorString();
        }
    };
    // Ports where something talks that is not this device.
    QStringList foreignPorts;
    const auto noteForeign = [&](const QString &sPath) {
        if (!foreignPorts.contains(PortLister::DisplayName(sPath))) {
            foreignPorts << PortLister::DisplayName(sPath);
        }
    };
    // Asks the open port, waiting for a busy line to fall quiet first.
    enum class Asked { Found, KeptBusy, NotFound };
    const auto askWhenQuiet = [&](const QString &sPath, int nWindowMs) {
        if (busy.Identify(nWindowMs)) {
            return Asked::Found;
        }
        m_link.ClosePort();
        if (busy.KeptBusy()) {
            m_link.m_bLineKeptBusy = true;
            return Asked::KeptBusy;
        }
        if (busy.HeardForeign()) {
            noteForeign(sPath);
        }
        return Asked::NotFound;
    };
    const int nCtrlMs = m_link.Window(m_link.m_windows.pCtrlReplyMs);
    if (!m_link.m_sPortName.isEmpty() && (!m_link.m_bPortRemembered || PortLister::MayTouch(m_link.m_sPortName))) {
        m_link.CreateSerialPort();
        m_link.ClosePort();
        if (!OpensInTime(m_link.m_sPortName, &Waits::nNamedPortOpenMs)) {
            // Not opened and not held: with no other port, no port could be opened.
        } else if (OpenAfterTrial()) {
            ++nOpened;
            const Asked asked = askWhenQuiet(m_link.m_sPortName, m_link.Window(m_link.m_windows.pSavedProbeMs) + nCtrlMs);
            if (asked != Asked::NotFound) {
                return asked == Asked::Found;
            }
        } else {
            noteHeld(m_link.m_sPortName);
        }
    }

    // The scan reuses the current port object. It must belong to this thread,
    // or its notifiers would be served by another thread's event loop.
    if (!m_link.m_pSerialPort || m_link.m_pSerialPort->thread() != QThread::currentThread()) {
        m_link.CreateSerialPort();
    }
    // A scanned port whose reply was the device's record lines (a stream
    // it still sends, or the end of one) is asked again only once the
    // device was found nowhere else: waiting for its line to fall quiet
    // must not hold up the scan.
    QStringList busyPorts;
    const QList<PortLister::Port> ports = PortLister::AvailablePorts();
    for (const PortLister::Port &port : ports) {
        m_link.m_pSerialPort->setPortName(port.sDevicePath);
        m_link.ClosePort();
        if (!OpensInTime(port.sDevicePath, &Waits::nPortOpenMs)) {
            continue;
        }
        if (!OpenAfterTrial()) {
            noteHeld(port.sDevicePath);
            continue;
        }
        ++nOpened;
        if (m_link.IdentifyOpenPort(m_link.Window(m_link.m_windows.pScanProbeMs) + nCtrlMs)) {
            m_link.RememberPort(port.sDevicePath);
            return true;
        }
        switch (busy.LastReplyTalk()) {
        case BusyLine::Talk::Records: busyPorts << port.sDevicePath; break;
        case BusyLine::Talk::Foreign: noteForeign(port.sDevicePath); break;
        case BusyLine::Talk::Nothing: break;
        }
        m_link.ClosePort();
    }
    for (const QString &sPath : qAsConst(busyPorts)) {
        m_link.m_pSerialPort->setPortName(sPath);
        if (!m_link.OpenCurrentPort()) {
            continue;
        }
        const Asked asked = askWhenQuiet(sPath, m_link.Window(m_link.m_windows.pScanProbeMs) + nCtrlMs);
        if (asked == Asked::Found) {
            m_link.RememberPort(sPath);
        }
        if (asked != Asked::NotFound) {
            return asked == Asked::Found;
        }
    }

    if (!heldPorts.isEmpty()) {
        // The device may well be on the port that is held: saying that no
        // port exists, or that none answered, would send the user looking
        // for the wrong fault.
        m_link.m_error = m_link.Translate("The serial port is in use by another program", FailureKind::PortInUse);
        m_link.m_error.sPort = heldPorts.join(QStringLiteral(", "));
        qDebug() << "OpenSerialPort:" << m_link.m_error.sEnglish << sHeldReason;
        return false;
    }
    if (!foreignPorts.isEmpty()) {
        // Said at once: waiting for such a line to fall quiet, or telling
        // the technician to switch a device off and on, helps nobody.
        const QString sPorts = foreignPorts.join(QStringLiteral(", "));
        m_link.m_error =
            m_link.Translate("Something on %1 answers that is not this device", FailureKind::NotThisDevice).arg(sPorts);
        m_link.m_error.sPort = sPorts;
        qDebug() << "OpenSerialPort:" << m_link.m_error.sEnglish;
        return false;
    }
    m_link.m_error = (nOpened == 0) ? m_link.Translate("No serial port available", FailureKind::NoPort)
                                    : m_link.Translate("Failed to open serial port", FailureKind::NoAnswer);
    qDebug() << "OpenSerialPort:" << m_link.m_error.sEnglish;
    return false;
}
