#ifndef CLI_HISTORYCOMMAND_H
#define CLI_HISTORYCOMMAND_H

#include "cli/output.h"

#include <QDateTime>
#include <QString>

// kestrelpack-cli history: the service history's records, oldest first,
// those of one device serial number and from one time on when asked. Each
// record is a line (text) or an event "record" carrying every column
// (--json); the outcome says how many there were.
struct HistoryQuery
{
    QString sSerial;     // only this device's records; empty: all
    QDateTime since;     // only records that ended then or later; invalid: all
};

// The time --since names: a date (from its midnight, local time) or a date
// and time (ISO 8601, with or without its UTC offset); invalid otherwise.
QDateTime SinceTime(const QString &sText);

// Prints the records of sFile that the query selects; the exit code.
int RunHistory(const QString &sFile, const HistoryQuery &query, Output::Mode eMode);

#endif // CLI_HISTORYCOMMAND_H
