#ifndef JOBRECORDER_H
#define JOBRECORDER_H

#include "app/servicehistory.h"
#include "device/reasontext.h"

#include <QString>

// Writes the service history's record of each job the coordinator ends:
// what it knows of the job, and what only the files and the system know
// (the firmware file's and the report's hashes, the port's adapter, the
// computer). A history that cannot be written is a warning in the log,
// never a failed job.
class JobRecorder
{
public:
    // The history file; empty (the default) keeps no history.
    void SetFile(const QString &sFile);
    QString File() const { return m_sFile; }

    // The facts of one job's end.
    struct End
    {
        QString sJob;           // "information", "export", "upgrade"
        QString sPort;
        FailureKind eKind = FailureKind::None;
        QString sReason;        // English: the failure's, or a success's warning
        QString sDeviceSerial;
        QString sVersionBefore;
        QString sVersionAfter;
        QString sFirmwarePath;  // the upgrade's file
        QString sReportPath;    // the export's report or partial report
        qint64 nDurationMs = -1;
    };
    // Writes the record (when there is a file) and returns it.
    ServiceRecord Record(const End &end);

    // The record Record writes, with the program's version, the computer
    // and the files' facts filled in.
    static ServiceRecord RecordOf(const End &end);

private:
    QString m_sFile;
};

#endif // JOBRECORDER_H
