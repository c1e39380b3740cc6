#ifndef SERVICEHISTORY_H
#define SERVICEHISTORY_H

#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

// One job as the service history keeps it: which device got which firmware
// from which file, which report came from which device, when, on which
// computer and port, and how the job ended. Texts are English; empty where
// the job does not know a value (a number below 0 is unknown too).
struct ServiceRecord
{
    QDateTime end;               // when the job ended, local time with its UTC offset
    QString sProgramVersion;     // of the program that ran the job
    QString sComputer;
    QString sPort;
    QString sPortVendorId;       // USB vendor and product id (hex), and the adapter's serial number,
    QString sPortProductId;      // where the system knows them
    QString sPortSerial;
    QString sJob;                // "information", "export", "upgrade"
    QString sDeviceSerial;
    QString sFirmwareBefore;     // the version the device ran before the job
    QString sFirmwareAfter;      // and after it (information: the version read, both)
    QString sFirmwareFile;       // the upgrade's file: name, size and SHA-256 (hex)
    qint64 nFirmwareSize = -1;
    QString sFirmwareSha256;
    QString sReportFile;         // the export's report (or partial report): name, records, SHA-256
    qint64 nReportRecords = -1;
    QString sReportSha256;
    QString sOutcome;            // "succeeded", "failed", "interrupted"
    QString sFailureKind;        // the failure's kind (FailureKind's name), empty on success
    QString sReason;             // the failure's reason, in English
    qint64 nDurationMs = -1;
};

// The service history: one CSV file (UTF-8, a header line, one line per
// job) that every process running a job appends to, the window and the
// command line alike, several command lines at once among them.
namespace ServiceHistory {

// The header line's names, in the order of the columns.
QStringList Columns();

// "2026-12-10T09:41:07+01:00": local time with its UTC offset.
QString TimeText(const QDateTime &time);

// The record as a JSON object, one member per column, by its name (an
// unknown number is null).
QJsonObject JsonOf(const ServiceRecord &record);

// The record as one CSV line, without its line end.
QString CsvLine(const ServiceRecord &record);

// Appends the record to sFile (made, with its header, when missing). Other
// processes appending at the same time wait for each other (up to 2 s). A
// line that a process stopped mid-write left without its end is cut off
// first; a file whose header names other columns (another version's) is
// kept beside as "<name>.<date-time>.csv" and a new one begun. False, with
// the reason, when the file cannot be written.
bool Append(const QString &sFile, const ServiceRecord &record, QString *psError = nullptr);

// Every whole record of sFile, oldest first; lines that are not (one being
// written, one cut short) are skipped. False, with the reason, when the file
// exists and cannot be read.
bool Read(const QString &sFile, QList<ServiceRecord> *pRecords, QString *psError = nullptr);

// The SHA-256 of a file's content (hex), and its size; empty when the file
// cannot be read.
QString Sha256Of(const QString &sFile, qint64 *pnSize = nullptr);

} // namespace ServiceHistory

#endif // SERVICEHISTORY_H
