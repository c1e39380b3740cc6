#ifndef SUPPORTLOGS_H
#define SUPPORTLOGS_H

#include <QByteArray>
#include <QList>
#include <QString>

// The files of the data folder that go into the support file, each read
// with a bound: support needs the recent past, and a mail attachment must
// stay small whatever a log folder has grown to.
//
// The logs: newest first (by the time they were last written), whole while
// they fit into kLogBytesBound together; the first that does not fit ends
// the choice, so the logs taken are one unbroken stretch of the recent past.
// When the newest alone is larger, its last kLogBytesBound bytes are taken,
// from the start of a line. A log rotates at 5 MiB, so 4 MiB is most of a
// day's busiest file and compresses to a few hundred KiB. The settings and
// the service history keep their last kFileBytesBound bytes likewise.
namespace SupportLogs {

constexpr qint64 kLogBytesBound = 4 * 1024 * 1024;
constexpr qint64 kFileBytesBound = 1024 * 1024;
// Read from each log when looking for the last job's end: more than a
// rotated log holds (5 MiB), so a log of the program is searched whole.
constexpr qint64 kJobEndScanBytes = 6 * 1024 * 1024;

enum class Taken
{
    Whole,
    Tail,        // its start was cut off at the bound
    LeftOut,     // a log beyond the bound
    Missing,
    Unreadable,
};

struct Piece
{
    QString sEntry;        // its name in the support file ("logs/K9Z40_20261210.log")
    QString sSource;       // the file it was read from
    Taken eTaken = Taken::Missing;
    qint64 nFileSize = 0;  // the file's size when it was read
    QByteArray data;       // what goes into the support file
    QString sError;        // why it could not be read
};

// The file whole, or its last nBound bytes from the start of a line (the
// bytes as they stand when no line ends in them). Only a regular file is
// read: a FIFO or a device named like a log would hold the read up.
Piece ReadBounded(const QString &sPath, const QString &sEntry, qint64 nBound);

// The logs ("*.log") of sLogDir as described above: the ones taken, then
// the ones left out (without data), newest first.
QList<Piece> RecentLogs(const QString &sLogDir, qint64 nBound = kLogBytesBound);

// The last "Job end:" line of the logs, the newest log first: the line's
// time and what follows "Job end: ". *pLog names the log it came from.
// Empty when no log has one.
QString LastJobEnd(const QString &sLogDir, QString *pLog);

// The last line of the text that is not blank; empty when none is.
QString LastLine(const QByteArray &text);

} // namespace SupportLogs

#endif // SUPPORTLOGS_H
