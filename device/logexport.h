#ifndef LOGEXPORT_H
#define LOGEXPORT_H

#include "device/readpoll.h"
#include "device/reasontext.h"
#include "device/reportformatter.h"

#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QObject>
#include <QString>

#include <memory>

class DeviceLink;
class QTimer;

// The collection of the device's record stream into a report: the report
// file, the raw stream read from the link's port, the ticks that watch it
// grow and end it once it stops, the progress, and the report's writing.
// Lives on the thread of its link.
class LogExport : public QObject
{
    Q_OBJECT

public:
    // A generous size of one record in the device's stream (real lines are
    // about 40 bytes), for the stream's limit.
    static constexpr int kRecordStreamBytes = 52;
    // A stream that goes on beyond its limit has no end (a line that answers
    // the control frame and then chatters) and is stopped: twice the
    // announced records plus this slack, and never more than the ceiling,
    // which also holds when no count was announced. A real device holds some
    // thousands of records (10 000 are about 0.5 MiB); the ceiling is a
    // hundred times that and still a modest amount of memory.
    static constexpr qint64 kStreamSlackBytes = 64 * 1024;
    static constexpr qint64 kStreamCeilingBytes = 64 * 1024 * 1024;
    static qint64 StreamLimit(int nRecordCount);
    // The device's line: 115200 baud, 8N1.
    static constexpr int kLineBytesPerSecond = 11520;
    // How long the stream of nRecordCount records may take on the line, with
    // room for the device's pauses; 0 when no count is known.
    static qint64 StreamMs(int nRecordCount);
    // Progress from the records received and the announced record count (0:
    // unknown, then nFallbackTicks / 10), kept within 1..98.
    static int Progress(int nRecordsReceived, int nRecordCount, int nFallbackTicks);

    explicit LogExport(DeviceLink &link, QObject *parent = nullptr);
    // A reserved file that never received a stream is removed.
    ~LogExport() override;

    // Reserves the report's name in sDirPath by creating its unfinished file
    // exclusively: no other export, in this program or another, takes the
    // same name, and the numbers 2, 3, ... follow a name taken within the
    // same second. False, with error, when the folder takes no new file.
    bool Reserve(const QString &sDirPath, ReasonText &error);
    bool IsReserved() const { return m_reportFile.isOpen(); }
    // Starts keeping what the port receives; the ticks start with StartTicks.
    void Collect(int nRecordCount);
    void StartTicks();
    // The stream was never asked for: no report, and the reservation goes.
    void Discard();
    bool IsCollecting() const { return m_pTimer != nullptr; }

    enum class Ending
    {
        StreamStopped,   // the idle ticks ended it, or it went beyond its limit
        DeviceGone,
        Interrupted,     // the program ends during the export
    };
    struct Outcome
    {
        bool bComplete = false;  // written, checked and under the report's name
        QString sPath;           // the report, or the partial file; empty: none is left
        qint64 nBytes = 0;       // of the stream
        ReasonText error;        // why it is not complete, naming the partial file
    };
    // Stops the collection and writes what arrived (the port's last bytes
    // too, when the stream stopped by itself). A complete report takes its
    // name; anything else keeps what arrived under the partial name, or
    // leaves no file when nothing arrived.
    Outcome Finish(Ending ending);

signals:
    void signal_Progress(int nProgress);
    // The stream has stopped (idle ticks, or beyond its limit), or the
    // device went away.
    void signal_StreamEnded(bool bDeviceGone);

private:
    void Tick();
    void ReadData();
    // Counts the records among the lines completed since the last call.
    void CountRecords();
    void StopCollection();
    bool WriteReport(ReasonText &error);
    // Renames the unfinished file to its name at stage, taking the next
    // number when that name exists (a rename never overwrites). False, with
    // error, when it cannot be renamed.
    bool Settle(ReportFormatter::Stage stage, QString &sPath, ReasonText &error);

    DeviceLink &m_link;
    QFile m_reportFile;
    QString m_sDirPath;
    QDateTime m_start;
    int m_nNumber = 1;
    qint64 m_nStreamLimit = kStreamCeilingBytes;
    bool m_bOverLimit = false;
    QTimer *m_pTimer = nullptr;
    std::unique_ptr<ReadPoll> m_pReads;   // of the collection in progress
    QByteArray m_stream;
    int m_nRecordCount = 0;
    // Records among the whole lines received (the device's invalid-record
    // lines not counted), and where the scan for them goes on.
    int m_nRecordsReceived = 0;
    int m_nScanned = 0;
    int m_nLineStart = 0;
    // Runs once the announced records are all in: the stream ends when the
    // line has been quiet this long after them.
    QTimer *m_pQuietTimer = nullptr;
    int m_nLastSize = 0;
    // Ticks without growth in a row, and the fallback progress counter used
    // when the device announced no record count.
    int m_nIdleTicks = 0;
    int m_nFallbackProgress = 1;
};

#endif // LOGEXPORT_H
