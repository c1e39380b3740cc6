#ifndef YMODEMFILETRANSMIT_H
#define YMODEMFILETRANSMIT_H

#include "transfer/ymodem.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QObject>
#include <QSerialPort>
#include <QString>

class QFile;
class QTimer;

// Sends one firmware file over a serial port with the YMODEM engine, one
// engine step per tick of a step timer, and reports progress and status.
//
// Order of use: SetFileName, SetPortName, StartTransmit; then only signals
// until a status of StatusDone or above arrives. The same object may be
// started again afterwards. Lives in (and must be used from) the thread that
// created it.
class YmodemFileTransmit : public QObject, public Ymodem
{
    Q_OBJECT

public:
    // Same numbers as the engine's requests: 0 and 1 mean running, 2..5 end
    // a transfer.
    enum YmodemStatus : int32_t
    {
        StatusOpening = 0,
        StatusSending = 1,
        StatusDone = 2,
        StatusCancelled = 3,
        StatusTimeOut = 4,
        StatusFailed = 5,
    };
    Q_ENUM(YmodemStatus)

    explicit YmodemFileTransmit(QObject *parent = nullptr);
    ~YmodemFileTransmit() override;

    void SetFileName(const QString &sFilePath);
    void SetPortName(const QString &sPortName);

    // Opens the port and starts stepping. False (and no signal) when the
    // port cannot be opened, a transfer on this object has not ended yet, or
    // the caller is not on the object's thread. bReceiverAsking: the
    // receiver's 'C' was seen just now by whoever found it (and read from the
    // line): the header goes out at once instead of after its next 'C', a
    // second or so later.
    bool StartTransmit(bool bReceiverAsking = false);

    // Ends a running transfer from the sending side: the cancel goes out on
    // the line (CAN bytes), and the final status, StatusCancelled, follows
    // after the end wait as for every other ending. False when no transfer
    // is running or it is already in its end wait.
    bool CancelTransmit();

    // The last transfer failed because the port reported the line gone (the
    // device unplugged or switched off), not for anything the device said.
    bool EndedOnLostLine() const { return m_bEndedOnLostLine; }

    // The name that goes into the header block for a file name and a size:
    // the local 8-bit form of sFileName, shortened on a character boundary
    // (keeping its suffix when it can) so that name, NUL, size digits and NUL
    // fit the 128-byte header field.
    static QByteArray HeaderFileName(const QString &sFileName, qint64 nFileSize);

    // nSent * 100 / nSize, truncated, exact for every size a qint64 holds.
    static int ProgressPercent(qint64 nSent, qint64 nSize);

signals:
    void TransmitProgress(int progress);
    void TransmitStatus(YmodemFileTransmit::YmodemStatus status);

private slots:
    void ReadTimeOut();
    void WriteTimeOut();
    void slot_PortError(QSerialPort::SerialPortError eError);
    void slot_ReplyArrived();

protected:
    uint8_t Callback(Request eRequest, uint8_t *pData, uint32_t *pLength) override;
    // Returns 0 when the port's read fails: the engine takes any other count
    // as bytes received.
    uint32_t ReadBytes(uint8_t *pBuffer, uint32_t nMax) override;
    uint32_t WriteBytes(const uint8_t *pBuffer, uint32_t nCount) override;

private:

    uint8_t FillHeader(uint8_t *pData, uint32_t *pLength);
    uint8_t FillData(uint8_t *pData, uint32_t *pLength);
    // The file's first m_nFileSize bytes, read again now, are the bytes sent.
    bool FileStillAsSent();
    // Ends the transfer with eStatus after the end wait (file closed).
    void Finish(YmodemStatus eStatus);
    bool IsRunning() const;
    // True when nByte at the head of the input is a reply the engine's
    // current stage acts on (not one it would count as an idle step).
    bool IsAwaitedReply(uint8_t nByte) const;
    void EndOnLostLine();

    QFile *m_pFile;
    QTimer *m_pReadTimer;
    QTimer *m_pWriteTimer;
    QElapsedTimer m_sinceEnd;    // since the engine ended: bounds the wait for the last bytes to leave
    QSerialPort *m_pSerialPort;
    int m_nProgress = 0;
    YmodemStatus m_eStatus = StatusOpening;
    qint64 m_nFileSize = 0;
    qint64 m_nSentSize = 0;
    QCryptographicHash m_sentHash {QCryptographicHash::Sha1};   // of the data sent so far
    bool m_bInStep = false;      // inside an engine step
    bool m_bLineLost = false;    // the port reported the device gone during a step
    bool m_bCancelPending = false;   // CancelTransmit was called during a step
    bool m_bReceiverAsking = false;  // the first read gives the 'C' seen before the start
    bool m_bEndedOnLostLine = false;
    QString m_sLineError;        // what the port reported, for the log
};

#endif // YMODEMFILETRANSMIT_H
