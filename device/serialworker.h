#ifndef SERIALWORKER_H
#define SERIALWORKER_H

#include <QByteArray>
#include <QObject>
#include <QSerialPort>
#include <QString>

class QEventLoop;
class QTimer;

// The device link: finds the device's serial port, speaks the command frames
// to the application firmware and the boot loader, and judges their replies.
//
// Every operation returns bool and leaves a translatable failure text in
// m_sErrorMessage. Replies are handled as upper-case hexadecimal text, two
// characters a byte. All waits run nested event loops on the calling thread,
// which must be the thread that owns this object and its port.
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

    explicit SerialWorker(QObject *parent = nullptr);
    ~SerialWorker() override;

    // --- Serial link ---

    // Finds and opens the device's port: the saved port first, then every
    // listed port in order. Sets m_nDeviceMode and, for a scanned port,
    // m_sPortName. On success the port is left open for the caller.
    bool OpenSerialPort();

    // Deletes the current port object and creates a fresh one with the link
    // settings, named m_sPortName.
    void CreateSerialPort();

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

signals:
    // The boot loader is ready: ends the loop of WaitBootReady.
    void signal_ReadyReadQuit();

public slots:
    // Quiet-timer handler of WaitBootReady: counts the 'C's received so far.
    void slot_ReadBootData();
    // Data handler of WaitReply.
    void slot_ReadData();

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

    QString m_sPortName;
    QSerialPort *m_pSerialPort = nullptr;
    QString m_sErrorMessage;
    QTimer *m_pReadTimer = nullptr;
    QByteArray m_baReadData;
    bool m_bBootReady = false;
    int m_mLogInfoCount = 0;
    int m_nDeviceMode = ModeUnknown;

    // The nested loop of the wait in progress, so that a lost device can end it.
    QEventLoop *m_pWaitLoop = nullptr;
    bool m_bDeviceGone = false;
    // Counts opens, so that a close scheduled for a lost line never hits the
    // same port object after it was opened again.
    quint64 m_nOpenGeneration = 0;
};

#endif // SERIALWORKER_H
