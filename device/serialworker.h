#ifndef SERIALWORKER_H
#define SERIALWORKER_H

#include "transfer/ymodemfiletransmit.h"

#include <QByteArray>
#include <QFile>
#include <QObject>
#include <QQueue>
#include <QSerialPort>
#include <QString>

#include <functional>

class QEventLoop;
class QThread;
class QTimer;

// The device link and the worker that runs device requests: finds the
// device's serial port, speaks the command frames to the application firmware
// and the boot loader, judges their replies, and runs the information, export
// and upgrade requests on a thread of its own.
//
// Requests are the signal_Start... signals; each reaches its slot on the
// worker's thread through a queued connection, and every outcome comes back
// as signal_SendResult. One request runs at a time: a request that arrives
// while another is unfinished (also from inside one of its waits) is held and
// runs, in order, after the running one has sent its final report.
//
// Every operation returns bool and leaves a translatable failure text in
// m_sErrorMessage. Replies are handled as upper-case hexadecimal text, two
// characters a byte. All waits run nested event loops on the worker's thread.
// Constructed with OnCallerThread, the worker gets no thread of its own and
// its operations may be called directly on the creating thread (tests do).
//
// A port that reports a read or resource error is taken as "device gone": the
// running wait ends at once, the port is closed and the step fails. (On a
// pseudo-terminal whose far end closed, Qt reports ReadError in a busy loop
// for as long as the port stays open.)
class SerialWorker : public QObject
{
    Q_OBJECT

public:
    // What the last port check found the device doing.
    enum DeviceMode
    {
        ModeCtrl = 0,       // application firmware echoed the control-mode frame
        ModeBootMenu = 1,   // boot loader refused the control-mode frame
        ModeYmodem = 2,     // boot loader is sending its receiver's 'C's
        ModeUnknown = 3,
    };

    // nFunctionType of a result report: which request reports.
    enum FunctionType
    {
        FT_CtrlMode = 0,
        FT_ExportLog = 1,
        FT_Upgrade = 2,
        FT_DeviceInfo = 3,
    };

    // nResultType of a result report: which step reports.
    enum ResultType
    {
        RT_OpenPort = 0,
        RT_EnterCtrlMode = 1,
        RT_ExitCtrlMode = 2,
        RT_EnterBootMode = 3,
        RT_StartTransmit = 4,
        RT_Version = 5,
        RT_SN = 6,
        RT_ExportLog = 7,
    };

    // Command texts: five command bytes as hex digits; the check byte is added
    // when the frame is built.
    static constexpr const char *kEnterCtrlModeCommand = "C0AAAAAAAA";
    static constexpr const char *kExitCtrlModeCommand = "C1AAAAAAAA";
    static constexpr const char *kEnterBootModeCommand = "C955AAAAAA";
    static constexpr const char *kGetVersionCommand = "C8AAAAAAAA";
    static constexpr const char *kGetSNCommand = "CC55AAAAAA";
    static constexpr const char *kGetLogInfoCountCommand = "D1AAAAAAAA";
    static constexpr const char *kExportLogInfoCommand = "CD34AAAAAA";
    // The boot menu's choice that starts its YMODEM receiver, sent as it is.
    static constexpr char kEnterYmodemByte = '1';
    // "valid Numbe" as hex: the boot loader's refusal of a command frame.
    static constexpr const char *kRefusalHex = "76616C6964204E756D6265";

    // Tag for a worker without a thread of its own.
    struct OnCallerThread_t
    {
    };
    static constexpr OnCallerThread_t OnCallerThread {};

    // Creates the worker's thread, moves the worker onto it and starts it;
    // the port and the transmitter are created on that thread.
    explicit SerialWorker(QObject *parent = nullptr);
    // Everything stays on the creating thread.
    explicit SerialWorker(OnCallerThread_t, QObject *parent = nullptr);
    // Ends the waits of a running request, closes an unfinished report file
    // and joins the thread.
    ~SerialWorker() override;

    // Bytes per record of the device's stream, for the export's progress.
    static constexpr int kRecordStreamBytes = 52;
    // Export progress from the stream size and the announced record count
    // (0: unknown, then nFallbackTicks / 10), kept within 1..98.
    static int ExportProgress(qint64 nStreamSize, int nRecordCount, int nFallbackTicks);

    // --- Serial link ---

    // Finds and opens the device's port: the saved port first, then every
    // listed port in order. Sets m_nDeviceMode and, for a scanned port,
    // m_sPortName. On success the port is left open for the caller.
    bool OpenSerialPort();

    // Deletes the current port object and creates a fresh one with the link
    // settings, named m_sPortName.
    void CreateSerialPort();

    // A new port object (no parent, not open) with the device's line
    // settings: 115200 baud both ways, 8N1, no flow control. The upgrade
    // coordinator's port uses the same.
    static QSerialPort *NewLinkPort(const QString &sPortName);

    // Turns ten hex digits of command text into the six frame bytes (command
    // and CRC-8 check byte); sFrameText receives the frame as upper-case hex.
    static QByteArray BuildCommandFrame(const QString &sCommand, QString &sFrameText);

    // CRC-8/MAXIM-DOW (reflected polynomial 0x8C, initial value 0).
    static quint8 Crc8(const QByteArray &data);

    // Collects the reply for exactly nWaitMs (less only when the device is
    // gone) and returns it as upper-case hex text.
    QString WaitReply(int nWaitMs);

    // Waits for the boot loader's 'C' stream: four or more 'C' bytes since the
    // wait began. The result is also left in m_bBootReady.
    bool WaitBootReady();

    // --- Command set ---
    bool EnterCtrlMode();
    bool ExitCtrlMode();
    bool EnterBootMode();
    bool EnterYmodem();
    bool GetVersion(QString &sVersion);
    bool GetSN(QString &sSN);
    bool GetLogInfoCount();
    bool ExportLogInfo(const QString &sDirPath);

    // --- Reply decodings (pure) ---

    // 'C' bytes (0x43) in hex text: pairs "43" at even positions only.
    static int CountCBytes(const QByteArray &hexText);
    // "V<major>.<minor>" from the bytes after the first "C8".
    static QString DecodeVersion(const QString &sReply);
    // The serial number: n hex digits from the count byte on, n being the
    // count byte after the first whole byte CC.
    static QString DecodeSerialNumber(const QString &sReply);
    // The record count from the ASCII reply "<label>:<count>"; 0 when the
    // reply holds no usable count.
    static int DecodeLogInfoCount(const QString &sReply);

    // --- State, for the requests and for tests ---
    QString PortName() const { return m_sPortName; }
    void SetPortName(const QString &sPortName) { m_sPortName = sPortName; }
    int DeviceMode() const { return m_nDeviceMode; }
    QString ErrorMessage() const { return m_sErrorMessage; }
    bool BootReady() const { return m_bBootReady; }
    int LogInfoCount() const { return m_mLogInfoCount; }
    QSerialPort *SerialPort() const { return m_pSerialPort; }
    // True once the open port reported a read or resource error.
    bool DeviceGone() const { return m_bDeviceGone; }

    // True while a request runs (from its start to its final report).
    bool Busy() const { return m_bBusy; }

signals:
    // (function type, result type, success, text): every outcome of a request.
    void signal_SendResult(int nFunctionType, int nResultType, bool bRet, QString sMes);
    void signal_StartEnterCtrlMode();
    void signal_StartExitCtrlMode();
    void signal_StartEnterBootMode();
    void signal_StartUpgrade(QString sFilePath);
    void signal_StartGetVersionAndSN();
    void signal_StartExportLogInfo(QString sDirPath);
    // The boot loader is ready: ends the loop of WaitBootReady.
    void signal_ReadyReadQuit();
    void signal_TransmitProgress(int nProgressValue);
    void signal_TransmitStatus(YmodemFileTransmit::YmodemStatus status);
    // After the final report of every request: the worker takes the next one.
    void signal_RequestFinished();

public slots:
    void slot_StartEnterCtrlMode();
    void slot_StartExitCtrlMode();
    void slot_StartEnterBootMode();
    void slot_StartUpgrade(QString sFilePath);
    void slot_StartGetVersionAndSN();
    void slot_StartExportLogInfo(QString sDirPath);
    // Quiet-timer handler of WaitBootReady: counts the 'C's received so far.
    void slot_ReadBootData();
    // One tick of the log export's collection.
    void slot_ExportReadData();
    // Data handler of WaitReply.
    void slot_ReadData();
    void slot_TransmitProgress(int nProgressValue);
    void slot_TransmitStatus(YmodemFileTransmit::YmodemStatus status);

private:
    // Failure texts of one command, untranslated (translated where set).
    struct CommandTexts
    {
        const char *szName;
        const char *szSendFail;
        const char *szNoReply;
        const char *szWrongReply;
        const char *szNotReady;
    };
    static const CommandTexts kEnterCtrlModeTexts;
    static const CommandTexts kExitCtrlModeTexts;
    static const CommandTexts kEnterBootModeTexts;
    static const CommandTexts kEnterYmodemTexts;
    static const CommandTexts kGetVersionTexts;
    static const CommandTexts kGetSNTexts;
    static const CommandTexts kGetLogInfoCountTexts;
    static const CommandTexts kExportLogInfoTexts;

    // Writes bytes and waits for them to leave; fails with the send-fail text.
    bool SendBytes(const QByteArray &bytes, const CommandTexts &texts);
    // Builds the frame, sends it and collects the reply for nWaitMs; false
    // only when the frame could not be sent. The reply is judged by the caller.
    bool ExchangeCommand(const char *szCommand, const CommandTexts &texts, int nWaitMs, QString &sReply,
                         QString *psFrameText = nullptr);
    // False, with the no-reply text, when nothing came or the device went
    // away during the reply window.
    bool ReplyArrived(const QString &sReply, const CommandTexts &texts);
    void Fail(const char *szText);
    // Starts the report file and the collection of the record stream after
    // the export command went out.
    bool StartExportCollection(const QString &sDirPath);
    void StopExportCollection();

    // Waits for the first data after an open (or nProbeMs) and returns what
    // arrived as upper-case hex text.
    QString ProbePort();
    // Runs a nested loop until it is quit or nWaitMs pass; a lost device quits
    // it too.
    void RunWaitLoop(QEventLoop &loop, int nWaitMs);
    // Opens the current port object (read and write); clears the lost flag.
    bool OpenCurrentPort();
    void ClosePort();

    void HandlePortError(QSerialPort::SerialPortError error);
    void HandleBootData();
    void HandleExportData();

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
    void RunUpgrade(const QString &sFilePath);
    // Ends a running export: writes the report (or what was received, when
    // bDeviceGone) and reports "End" or the failure.
    void FinishExport(bool bDeviceGone);
    // Writes the transformed stream into the open report file; false (with
    // m_sErrorMessage set) when the write or the close fails.
    bool WriteReport(const QByteArray &stream);
    void Report(int nFunctionType, int nResultType, bool bRet, const QString &sMes);
    // Reports the failure text of a request and writes it to the log.
    void ReportFailure(int nFunctionType, int nResultType);

    QThread *m_pThread = nullptr;
    QString m_sPortName;
    QSerialPort *m_pSerialPort = nullptr;
    QString m_sErrorMessage;
    QTimer *m_pReadTimer = nullptr;
    QTimer *m_pExportTimer = nullptr;
    QByteArray m_baReadData;
    bool m_bBootReady = false;
    QFile m_reportFile;
    int m_mLogInfoCount = 0;
    int m_nLastSize = 0;
    int m_nDeviceMode = ModeUnknown;
    YmodemFileTransmit *m_pYmodemFileTransmit = nullptr;

    // Per export: ticks without growth in a row, and the fallback progress
    // counter used when the device announced no record count.
    int m_nIdleTicks = 0;
    int m_nFallbackProgress = 1;

    bool m_bBusy = false;                 // a request runs
    bool m_bUpgradeRunning = false;       // the running request is a transfer
    QQueue<std::function<void()>> m_pendingRequests;

    // The nested loop of the wait in progress, so that a lost device can end it.
    QEventLoop *m_pWaitLoop = nullptr;
    bool m_bDeviceGone = false;
    // Counts opens, so that a close scheduled for a lost line never hits the
    // same port object after it was opened again.
    quint64 m_nOpenGeneration = 0;
};

#endif // SERIALWORKER_H
