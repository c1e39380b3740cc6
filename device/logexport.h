#ifndef LOGEXPORT_H
#define LOGEXPORT_H

#include <QByteArray>
#include <QFile>
#include <QObject>
#include <QString>

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
    // Bytes per record of the device's stream, for the progress.
    static constexpr int kRecordStreamBytes = 52;
    // Progress from the stream size and the announced record count (0:
    // unknown, then nFallbackTicks / 10), kept within 1..98.
    static int Progress(qint64 nStreamSize, int nRecordCount, int nFallbackTicks);

    explicit LogExport(DeviceLink &link, QObject *parent = nullptr);
    ~LogExport() override;

    // Creates the report file in sDirPath and starts keeping what the port
    // receives; the ticks start with StartTicks. False, with sError, when the
    // report cannot be created.
    bool Open(const QString &sDirPath, int nRecordCount, QString &sError);
    void StartTicks();
    // The stream was never asked for: no report.
    void Discard();
    bool IsCollecting() const { return m_pTimer != nullptr; }

    struct Outcome
    {
        bool bWritten = false;   // the report was written and closed
        bool bShort = false;     // fewer records than the device announced
        int nLines = 0;
        qint64 nBytes = 0;
        QString sError;          // why it was not written
    };
    // Stops the collection and writes the report from what arrived (the
    // port's last bytes too, unless the device is gone).
    Outcome Finish(bool bDeviceGone);

signals:
    void signal_Progress(int nProgress);
    // The stream has stopped (idle ticks), or the device went away.
    void signal_StreamEnded(bool bDeviceGone);

private:
    void Tick();
    void ReadData();
    void StopCollection();
    bool WriteReport(QString &sError);

    DeviceLink &m_link;
    QFile m_reportFile;
    QTimer *m_pTimer = nullptr;
    QByteArray m_stream;
    int m_nRecordCount = 0;
    int m_nLastSize = 0;
    // Ticks without growth in a row, and the fallback progress counter used
    // when the device announced no record count.
    int m_nIdleTicks = 0;
    int m_nFallbackProgress = 1;
};

#endif // LOGEXPORT_H
