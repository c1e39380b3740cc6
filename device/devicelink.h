#ifndef DEVICELINK_H
#define DEVICELINK_H

#include "device/reasontext.h"
#include "device/devicecodes.h"
#include "device/waits.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QSerialPort>
#include <QString>

#include <functional>

class QEventLoop;
class QTimer;

// One serial port to the device: its line settings, open and close, sending,
// the reply and data waits, the boot loader's 'C' wait, the port scan with
// its probe, and what happens when the device goes away. No thread of its
// own: it lives on the thread that created it, and every wait runs a nested
// event loop there.
//
// The worker and the upgrade coordinator each hold one; they differ only in
// the lengths of some waits (Windows). Failure texts are translated in the
// context of the class that owns the link, so each keeps its translations.
//
// A port that reports an error meaning a lost line while open (MeansLost),
// or a frame that cannot leave it, is taken as "device gone": the running
// wait (and any wait around it) ends at once, the port is closed and the
// step fails. Every wait reads as it starts and on a short poll (ReadPoll).
//
// A port whose device is still sending what nobody reads is waited for
// (BusyLine); one that never falls quiet fails the open with its own reason
// (LineKeptBusy).
class DeviceLink : public QObject
{
    Q_OBJECT
    friend class BusyLine;     // waits on the link's port with its nested loops
    friend class PortSearch;   // the search behind OpenSerialPort

public:
    // The waits that differ between the link's users, as members of Waits:
    // read when used, so that tests may shorten them.
    struct Windows
    {
        int Waits::*pSavedProbeMs;    // first look at the remembered port
        int Waits::*pScanProbeMs;     // first look at each scanned port
        int Waits::*pCtrlReplyMs;     // control-mode reply window
        bool bBootReplyToFirstData;   // the boot steps' first reply ends at the first data
    };
    static const Windows kWorkerWindows;
    static const Windows kCoordinatorWindows;

    DeviceLink(const Windows &windows, const char *szTrContext, QObject *parent = nullptr);
    ~DeviceLink() override;

    // A new port object (no parent, not open) with the device's line
    // settings: 115200 baud both ways, 8N1, no flow control. Every port of the
    // program that speaks to the device is made here.
    static QSerialPort *NewLinkPort(const QString &sPortName);
    // Raises DTR and RTS on a port just opened; a line without modem lines
    // (a pseudo-terminal) refuses, and that is no error.
    static void RaiseModemLines(QSerialPort &port);
    // What a port error reported while the port is open means: the device
    // (or its adapter) is gone, or not.
    static bool MeansLost(QSerialPort::SerialPortError error);
    // Test seam: called with every port the links open, right after the
    // open, on the link's thread. Set while no link works.
    static void SetOpenedHookForTesting(std::function<void(QSerialPort &port)> hook);

    // Tells whether the open port has the device on it (the control-mode
    // command, its reply collected for at most nWindowMs); set by the
    // command set.
    void SetIdentify(std::function<bool(int nWindowMs)> identify) { m_identify = std::move(identify); }

    // Finds and opens the device's port: the saved port first, then every
    // listed port in order. Each is asked at once with the control-mode
    // command unless its boot loader's receiver is already asking for a file;
    // the answer tells the device mode (PortSearch). Sets the device mode
    // and, for a scanned port, the port name. On success the port is left
    // open for the caller.
    bool OpenSerialPort();
    // The last OpenSerialPort failed because the device never stopped sending.
    bool LineKeptBusy() const { return m_bLineKeptBusy; }
    // Asks the open port what is on it, as OpenSerialPort does, waiting for
    // a busy line to fall quiet first (BusyLine).
    bool IdentifyWhenQuiet(int nWindowMs);
    // Deletes the current port object and creates a fresh one with the line
    // settings, named PortName().
    void CreateSerialPort();
    // Opens the current port object (read and write); clears the lost flag
    // and a stale error of an earlier port.
    bool OpenCurrentPort();
    void ClosePort();

    // Writes bytes and waits for them to leave; on failure the send-fail text.
    bool SendBytes(const QByteArray &bytes, const char *szName, const char *szSendFail);
    // Tells from a reply so far (hex text) how long the line must then stay
    // quiet for the reply to be whole, or kIncomplete while the content the
    // command relies on has not all arrived.
    using ReplyEnd = std::function<int(const QString &sReply)>;
    static constexpr int kIncomplete = -1;
    // Collects the reply, bytes already waiting in the port included, until
    // end says it is whole and the line has been quiet that long, or nWaitMs
    // pass (without end: always the whole nWaitMs), or the device goes away;
    // upper-case hex text.
    QString WaitReply(int nWaitMs, const ReplyEnd &end = ReplyEnd());
    // The last WaitReply ended because end said the reply was whole (not
    // because its window ran out).
    bool LastReplyWhole() const { return m_bLastReplyWhole; }
    // Ends at the first data (bytes already waiting end it at once) or after
    // nWaitMs; what arrived, as upper-case hex text.
    QString WaitForData(int nWaitMs);
    // Waits for the boot loader's 'C' stream: four or more 'C' bytes since
    // the wait began. False when the device went away meanwhile.
    bool WaitBootReady();

    // Sets the failure text of a device command (translated in the owner's
    // context; kind CommandFailed) and traces it.
    void Fail(const char *szText);
    void SetError(const ReasonText &error) { m_error = error; }

    int Window(int Waits::*pWait) const { return Waits::Current().*pWait; }
    const Windows &WaitWindows() const { return m_windows; }

    QString PortName() const { return m_sPortName; }
    // A port named by the caller: every open tries it first, listed or not.
    void SetPortName(const QString &sPortName)
    {
        m_sPortName = sPortName;
        m_bPortRemembered = false;
    }
    // Where the device answered last: tried first only while the program may
    // still touch it (PortLister::MayTouch).
    void RememberPort(const QString &sPortName)
    {
        m_sPortName = sPortName;
        m_bPortRemembered = true;
    }
    int DeviceMode() const { return m_nDeviceMode; }
    void SetDeviceMode(int nMode) { m_nDeviceMode = nMode; }
    QString ErrorMessage() const { return m_error.sShown; }
    // The failure text as the diagnostic log takes it: in English.
    const ReasonText &Error() const { return m_error; }
    bool BootReady() const { return m_bBootReady; }
    // The receiver's last byte was a 'C' just now (within a quiet time): it
    // waits for a file, and the transmitter may send its header without
    // waiting a second for the next 'C'.
    bool ReceiverAsking() const { return m_bReceiverAsking; }
    void SetReceiverAsking(bool bAsking) { m_bReceiverAsking = bAsking; }
    QSerialPort *SerialPort() const { return m_pSerialPort; }
    // True once the open port reported a lost line (MeansLost) or a frame
    // could not leave it.
    bool DeviceGone() const { return m_bDeviceGone; }

    // The job is being stopped: the wait in progress ends now and every later
    // wait returns at once (as if it had run out) until ResumeWaits.
    void AbortWaits();
    // Ends a wait for a busy line now, and any later one until ResumeWaits;
    // the other waits run on.
    void AbortBusyWait();
    void ResumeWaits()
    {
        m_bWaitsAborted = false;
        m_bBusyWaitAborted = false;
    }

signals:
    // The boot loader is ready: ends the loop of WaitBootReady.
    void signal_ReadyReadQuit();
    // The open port reported the device gone (once per open).
    void signal_DeviceLost();
    // The line is busy with data nobody asked for: the open waits up to
    // nSeconds for it to fall quiet (once per open).
    void signal_LineBusy(int nSeconds);

private:
    ReasonText Translate(const char *szText, FailureKind eKind) const;
    // Runs a nested loop until it is quit or nWaitMs pass; a lost device quits
    // it, and the wait around it, too.
    void RunWaitLoop(QEventLoop &loop, int nWaitMs);
    void ReadReplyData();
    // Looks at the port just opened: its receiver's 'C's already waiting, or
    // the answer to the control-mode command.
    bool IdentifyOpenPort(int nWindowMs);
    void HandleBootData();
    void CountBootData();
    void HandlePortError(QSerialPort::SerialPortError error);
    // The line is gone: ends the waits, says so once, closes the port.
    void LoseLine();

    Windows m_windows;
    const char *m_szTrContext;
    std::function<bool(int nWindowMs)> m_identify;

    QString m_sPortName;
    bool m_bPortRemembered = false;
    QSerialPort *m_pSerialPort = nullptr;
    ReasonText m_error;
    QTimer *m_pReadTimer = nullptr;   // quiet timer of the boot loader wait
    QByteArray m_baReadData;          // hex text collected by the running wait
    QString m_sLastReply;             // of the last WaitReply
    bool m_bLastReplyWhole = false;
    bool m_bLineKeptBusy = false;
    bool m_bBootReady = false;
    bool m_bReceiverAsking = false;
    int m_nDeviceMode = DeviceCodes::ModeUnknown;

    // The nested loop of the wait in progress, so that a lost device can end it.
    QEventLoop *m_pWaitLoop = nullptr;
    bool m_bDeviceGone = false;
    bool m_bWaitsAborted = false;
    bool m_bInBusyWait = false;
    bool m_bBusyWaitAborted = false;
    // Counts opens, so that a close scheduled for a lost line never hits the
    // same port object after it was opened again (possibly as another path).
    quint64 m_nOpenGeneration = 0;
};

#endif // DEVICELINK_H
