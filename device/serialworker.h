#ifndef SERIALWORKER_H
#define SERIALWORKER_H

#include "device/devicecodes.h"
#include "device/reasontext.h"

#include <QObject>
#include <QQueue>
#include <QString>

#include <functional>
#include <memory>

class DeviceCommands;
class DeviceLink;
class LogExport;
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
class SerialWorker : public QObject, public DeviceCodes
{
    Q_OBJECT

public:
    // Creates the worker's thread, moves the worker onto it and starts it;
    // the link and the command set are created on that thread.
    explicit SerialWorker(QObject *parent = nullptr);
    // Ends the waits of a running request, closes an unfinished report file
    // and joins the thread.
    ~SerialWorker() override;

signals:
    // (function type, result type, success, text): every outcome of a request.
    void signal_SendResult(int nFunctionType, int nResultType, bool bRet, QString sMes);
    // Just before a failure's report: its kind (FailureKind), its reason in
    // English for the log, and the port it concerns (empty: none known).
    void signal_FailureReason(int nKind, QString sEnglish, QString sPort);
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
    // Reserves the report (unless the request did already), asks for the
    // record stream and starts its collection.
    bool ExportLogInfo(const QString &sDirPath);
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
