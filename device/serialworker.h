#ifndef SERIALWORKER_H
#define SERIALWORKER_H

#include "device/commandframes.h"
#include "device/devicecodes.h"
#include "device/devicecommands.h"
#include "device/devicelink.h"
#include "device/logexport.h"

#include <QObject>
#include <QQueue>
#include <QString>

#include <functional>
#include <memory>

class QThread;

// The worker that runs the device requests (information, export) on a
// thread of its own, over its own link (DeviceLink) and the device's
// command set (DeviceCommands); the export's collection and report are a
// LogExport's.
//
// Requests are the signal_Start... signals; each reaches its slot on the
// worker's thread through a queued connection, and every outcome comes back
// as signal_SendResult. One request runs at a time: a request that arrives
// while another is unfinished (also from inside one of its waits) is held and
// runs, in order, after the running one has sent its final report.
//
// Every operation returns bool and leaves a translatable failure text in
// ErrorMessage(). Constructed with OnCallerThread, the worker gets no thread
// of its own and its operations may be called directly on the creating
// thread (tests do).
class SerialWorker : public QObject, public DeviceCodes
{
    Q_OBJECT

public:
    static constexpr const char *kEnterCtrlModeCommand = CommandFrames::kEnterCtrlModeCommand;
    static constexpr const char *kExitCtrlModeCommand = CommandFrames::kExitCtrlModeCommand;
    static constexpr const char *kEnterBootModeCommand = CommandFrames::kEnterBootModeCommand;
    static constexpr const char *kGetVersionCommand = CommandFrames::kGetVersionCommand;
    static constexpr const char *kGetSNCommand = CommandFrames::kGetSNCommand;
    static constexpr const char *kGetLogInfoCountCommand = CommandFrames::kGetLogInfoCountCommand;
    static constexpr const char *kExportLogInfoCommand = CommandFrames::kExportLogInfoCommand;
    static constexpr char kEnterYmodemByte = CommandFrames::kEnterYmodemByte;
    static constexpr const char *kRefusalHex = CommandFrames::kRefusalHex;
    static constexpr int kRecordStreamBytes = LogExport::kRecordStreamBytes;

    // Tag for a worker without a thread of its own.
    struct OnCallerThread_t
    {
    };
    static constexpr OnCallerThread_t OnCallerThread {};

    // Creates the worker's thread, moves the worker onto it and starts it;
    // the link and the transmitter are created on that thread.
    explicit SerialWorker(QObject *parent = nullptr);
    // Everything stays on the creating thread.
    explicit SerialWorker(OnCallerThread_t, QObject *parent = nullptr);
    // Ends the waits of a running request, closes an unfinished report file
    // and joins the thread.
    ~SerialWorker() override;

    // The link's and the command set's operations, on this worker's link.
    bool OpenSerialPort() { return m_pLink->OpenSerialPort(); }
    void CreateSerialPort() { m_pLink->CreateSerialPort(); }
    QString WaitReply(int nWaitMs) { return m_pLink->WaitReply(nWaitMs); }
    bool WaitBootReady() { return m_pLink->WaitBootReady(); }
    bool EnterCtrlMode() { return m_pCommands->EnterCtrlMode(); }
    bool ExitCtrlMode() { return m_pCommands->ExitCtrlMode(); }
    bool EnterBootMode() { return m_pCommands->EnterBootMode(); }
    bool EnterYmodem() { return m_pCommands->EnterYmodem(); }
    bool GetVersion(QString &sVersion) { return m_pCommands->GetVersion(sVersion); }
    bool GetSN(QString &sSN) { return m_pCommands->GetSN(sSN); }
    bool GetLogInfoCount() { return m_pCommands->GetLogInfoCount(m_mLogInfoCount); }
    // Reserves the report (unless the request did already), asks for the
    // record stream and starts its collection.
    bool ExportLogInfo(const QString &sDirPath);

    static QSerialPort *NewLinkPort(const QString &sPortName) { return DeviceLink::NewLinkPort(sPortName); }
    static QByteArray BuildCommandFrame(const QString &sCommand, QString &sFrameText)
    {
        return CommandFrames::BuildCommandFrame(sCommand, sFrameText);
    }
    static quint8 Crc8(const QByteArray &data) { return CommandFrames::Crc8(data); }
    static int CountCBytes(const QByteArray &hexText) { return CommandFrames::CountCBytes(hexText); }
    static QString DecodeVersion(const QString &sReply) { return CommandFrames::DecodeVersion(sReply); }
    static QString DecodeSerialNumber(const QString &sReply) { return CommandFrames::DecodeSerialNumber(sReply); }
    static int DecodeLogInfoCount(const QString &sReply) { return CommandFrames::DecodeLogInfoCount(sReply); }

    // --- State, for the requests and for tests ---
    QString PortName() const { return m_pLink->PortName(); }
    void SetPortName(const QString &sPortName) { m_pLink->SetPortName(sPortName); }
    int DeviceMode() const { return m_pLink->DeviceMode(); }
    QString ErrorMessage() const { return m_pLink->ErrorMessage(); }
    bool BootReady() const { return m_pLink->BootReady(); }
    int LogInfoCount() const { return m_mLogInfoCount; }
    QSerialPort *SerialPort() const { return m_pLink->SerialPort(); }
    bool DeviceGone() const { return m_pLink->DeviceGone(); }
    bool ReceiverAsking() const { return m_pLink->ReceiverAsking(); }
    bool OwnFrameCameBack() const { return m_pCommands->OwnFrameCameBack(); }

    // True while a request runs (from its start to its final report).
    bool Busy() const { return m_bBusy; }

signals:
    // (function type, result type, success, text): every outcome of a request.
    void signal_SendResult(int nFunctionType, int nResultType, bool bRet, QString sMes);
    // Just before a failure's report: its kind (FailureKind) and its reason
    // in English, for the log.
    void signal_FailureReason(int nKind, QString sEnglish);
    // The request found the device on this port, in whichever state (for the
    // job's log lines and the next upgrade's first look).
    void signal_DeviceFound(const QString &sPort);
    void signal_StartGetVersionAndSN();
    void signal_StartExportLogInfo(QString sDirPath);
    // The boot loader is ready (relayed from the link).
    void signal_ReadyReadQuit();
    // After the final report of every request: the worker takes the next one.
    void signal_RequestFinished();
    // The program is interrupted: a running export stops now (see
    // slot_StopRequest). Safe to emit from any thread.
    void signal_StopRequest();

public slots:
    void slot_StartGetVersionAndSN();
    void slot_StartExportLogInfo(QString sDirPath);
    // Ends a running export through its normal end: the report keeps what
    // arrived and the device is told to leave its record stream. An export
    // that is not collecting yet stops at its first tick; other requests run
    // to their end (their waits are short), except that a wait for a busy
    // line ends at once, and the request fails.
    void slot_StopRequest();

private:
    // Objects that must live on the worker's thread: created there once it
    // runs, and released there when it ends.
    void CreateThreadObjects();
    void ReleaseThreadObjects();

    // One request at a time: Submit queues a request's body and runs it when
    // nothing else runs; EndRequest, called once the body has sent its final
    // report, lets the next one run (from the event loop, not nested).
    void Submit(std::function<void()> body);
    void EndRequest();
    void RunNextRequest();

    // Request bodies.
    void RunGetVersionAndSN();
    void RunExportLogInfo(const QString &sDirPath);
    // Opens the device's port for an information or export request; false
    // (reported, request ended) when there is none or it runs its boot loader.
    bool OpenForRequest(int nFunctionType);
    // A request answered by nothing but its own frame (a loopback plug, an
    // echoing line) is reported as no device and ends the request; false
    // when the last request's failure was another.
    bool EndIfOnlyEcho(int nFunctionType);
    // Ends the request as one that found no device, for this reason.
    void EndAsNoDevice(int nFunctionType, const ReasonText &reason);
    // Ends a running export: writes the report, reports the file written
    // (RT_ReportFile) and "End", or the failure, which names the partial file
    // that keeps what arrived.
    void FinishExport(bool bDeviceGone);
    void Report(int nFunctionType, int nResultType, bool bRet, const QString &sMes);
    // Reports the failure text of a request and writes it to the log.
    void ReportFailure(int nFunctionType, int nResultType);

    QThread *m_pThread = nullptr;
    DeviceLink *m_pLink = nullptr;
    DeviceCommands *m_pCommands = nullptr;
    LogExport *m_pExport = nullptr;
    int m_mLogInfoCount = 0;

    int m_nRequestFunction = FT_DeviceInfo;   // the running request's function type
    bool m_bBusy = false;                 // a request runs
    bool m_bStopRequested = false;        // the running request is asked to stop
    QQueue<std::function<void()>> m_pendingRequests;
};

#endif // SERIALWORKER_H
