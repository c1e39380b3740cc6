#ifndef QSERIALUSER_H
#define QSERIALUSER_H

#include "device/serialworker.h"
#include "transfer/ymodemfiletransmit.h"

#include <QByteArray>
#include <QObject>
#include <QSerialPort>
#include <QSharedPointer>
#include <QString>

class QEventLoop;
class QTimer;

// The one object through which the pages reach the device.
//
// Information and report requests are handed to the worker (SerialWorker,
// which runs them on its own thread); their outcomes come back through
// signal_SendResult. The firmware upgrade is prepared here, on the thread
// that created this object (the interface thread): StartUpgrade finds the
// device, brings it into its boot loader's YMODEM receiver with nested local
// waits, and starts the firmware transmitter, whose progress and status then
// arrive as signals.
//
// Replies are handled as upper-case hexadecimal text, two characters a byte.
// A port that reports a read or resource error is taken as "device gone":
// the running wait ends at once, the port is closed and the step fails.
class QSerialUser : public QObject
{
    Q_OBJECT

public:
    enum DeviceMode
    {
        ModeCtrl = SerialWorker::ModeCtrl,
        ModeBootMenu = SerialWorker::ModeBootMenu,
        ModeYmodem = SerialWorker::ModeYmodem,
        ModeUnknown = SerialWorker::ModeUnknown,
    };

    // Which part of the last StartUpgrade failed, for callers that must tell
    // "no device" from "boot loader not reached" from "transfer not started".
    enum UpgradeFailure
    {
        FailureNone = 0,
        FailureBusy,         // an upgrade was still being prepared or sent
        FailureOpenPort,     // no device found on any port
        FailureBootLoader,   // the device did not reach its boot loader's receiver
        FailureTransmit,     // the transmitter could not start
    };

    // The process-wide instance, created on first use (on the calling thread,
    // which must be the interface thread).
    static QSharedPointer<QSerialUser> instance();
    // Drops the process-wide reference. The program calls it when its event
    // loop has ended, so that the worker's thread, a transfer's timers and an
    // unfinished report are wound up while the application object still
    // exists, not during static destruction after it.
    static void ReleaseInstance();

    explicit QSerialUser(QObject *parent = nullptr);
    ~QSerialUser() override;

    // Finds the device, brings it into its boot loader's receiver and starts
    // sending the file. True once the transfer has started; its end comes as
    // signal_TransmitStatus with StatusDone or above. False (with the reason
    // in ErrorMessage and LastUpgradeFailure) when it could not start. Also
    // refused while an earlier upgrade is still being prepared or sent.
    bool StartUpgrade(QString sFilePath);
    void StartGetVersionAndSN();
    void StartExportLogInfo(QString sDirPath);

    QString PortName() const { return m_sPortName; }
    // The port tried first by the next upgrade (the one that answered last).
    void SetPortName(const QString &sPortName) { m_sPortName = sPortName; }
    int DeviceMode() const { return m_nDeviceMode; }
    QString ErrorMessage() const { return m_sErrorMessage; }
    UpgradeFailure LastUpgradeFailure() const { return m_eUpgradeFailure; }

signals:
    void signal_TransmitProgress(int nProgressValue);
    void signal_TransmitStatus(YmodemFileTransmit::YmodemStatus status);
    void signal_SendResult(int nFunctionType, int nResultType, bool bRet, QString sMes);
    // The boot loader is ready: ends the boot loader wait.
    void signal_ReadyReadQuit();
    // The worker has sent the final report of a request.
    void signal_RequestFinished();

public slots:
    void slot_TransmitProgress(int nProgressValue);
    void slot_TransmitStatus(YmodemFileTransmit::YmodemStatus status);
    void slot_SendResult(int nFunctionType, int nResultType, bool bRet, QString sMes);
    // Data handler of the control-mode reply window.
    void slot_ReadData();
    // Quiet-timer handler of the boot loader wait: counts the 'C's so far.
    void slot_ReadCData();

private:
    bool OpenSerialPort();
    bool EnterCtrlMode();
    bool EnterBootMode();
    bool EnterYmodem();
    bool SetTransmitFile(const QString &sFilePath);
    bool StartYmodemTransmit();

    // Failure texts of a step that brings the boot loader's receiver up,
    // untranslated; szWrongReply null: any reply will do.
    struct BootStepTexts
    {
        const char *szName;
        const char *szSendFail;
        const char *szNoReply;
        const char *szWrongReply;
        const char *szNotReady;
    };
    // Sends bytes, takes the first reply (which must occur in sFrameText
    // when the texts judge it) and waits for the boot loader's 'C's.
    bool RunBootStep(const QByteArray &bytes, const QString &sFrameText, const BootStepTexts &texts);

    // Deletes the port object and creates a fresh one with the link
    // settings, named sPortName.
    void CreateSerialPort(const QString &sPortName);
    // Opens the current port object (read and write); clears the lost flag.
    bool OpenCurrentPort();
    void ClosePort();
    // Writes bytes and waits for them to leave; on failure sets the
    // "<step> send fail" text.
    bool SendBytes(const QByteArray &bytes, const char *szStep, const char *szSendFail);
    // Ends at the first data or after nWaitMs; what arrived, as hex text.
    QString WaitForData(int nWaitMs);
    // Waits for the boot loader's stream of 'C's (more than three since the
    // wait began).
    bool WaitBootReady();
    // Runs a nested loop until it is quit or nWaitMs pass; a lost device
    // quits it too.
    void RunWaitLoop(QEventLoop &loop, int nWaitMs);
    void Fail(const QString &sText);
    void HandleBootData();
    void HandlePortError(QSerialPort::SerialPortError error);

    QString m_sPortName;
    SerialWorker m_serialWorker;
    QSerialPort *m_pSerialPort = nullptr;
    YmodemFileTransmit *m_pYmodem = nullptr;
    QString m_sErrorMessage;
    QTimer *m_pReadTimer = nullptr;
    QByteArray m_baReadData;
    bool m_bBootReady = false;
    int m_nDeviceMode = ModeUnknown;

    UpgradeFailure m_eUpgradeFailure = FailureNone;
    bool m_bPreparing = false;      // StartUpgrade is running (its waits are nested loops)
    bool m_bTransmitting = false;   // the transmitter has not sent its final status yet
    // The nested loop of the wait in progress, so that a lost device can end it.
    QEventLoop *m_pWaitLoop = nullptr;
    bool m_bDeviceGone = false;
    // Counts opens, so that a close scheduled for a lost line never hits the
    // port after it was opened again (possibly under another name).
    quint64 m_nOpenGeneration = 0;
};

#endif // QSERIALUSER_H
