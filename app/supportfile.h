#ifndef SUPPORTFILE_H
#define SUPPORTFILE_H

#include "device/reasontext.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

// The support file: one zip that holds what support asks for when something
// went wrong, made in one step by the window's "Support" entry and by
// `kestrelpack-cli support-file`:
//
//   summary.txt          version, build, system, Qt, screens, ports, last job
//                        (SupportSummary), and what the zip holds
//   logs/*.log           the recent logs, within their bound (SupportLogs)
//   config/config.ini    the settings
//   service-history.csv  the record of every job, when there is one
//
// Packed by Qt's own archive writer (QZipWriter) in memory, then written
// whole or not at all: under a temporary name beside the target, renamed at
// the end (QSaveFile), so a failure leaves no partial file and says why.
namespace SupportFile {

struct Result
{
    bool bWritten = false;
    QString sPath;        // the file written
    qint64 nBytes = 0;
    ReasonText reason;    // why it was not written
};

// Who writes it, for the summary.
struct Writer
{
    QString sProgram;       // "kestrelpack" or "kestrelpack-cli"
    bool bWindow = false;   // a program with a window, shown on these screens:
    QStringList screens;    // one line each (name, size, scale, DPI)
};

// "kestrelpack-support-20261210-143015.zip"
QString DefaultName(const QDateTime &time);

// Writes the support file at sPath (replacing a file of that name once the
// new one is whole). The ports' in-use check runs the caller's event loop
// for up to Waits::nSupportPortCheckMs.
Result Write(const QString &sPath, const Writer &writer);

} // namespace SupportFile

#endif // SUPPORTFILE_H
