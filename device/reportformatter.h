#ifndef REPORTFORMATTER_H
#define REPORTFORMATTER_H

#include <QByteArray>
#include <QDateTime>
#include <QString>

// Turns the device's log record stream into the CSV report, and names the
// report file. Pure functions: no device, no files, no settings.
class ReportFormatter
{
public:
    // The whole stream as the device sent it, once the stream has stopped.
    // Four replacements, each over the whole result of the previous one,
    // each left to right without looking again at what it put in:
    //   " " -> ","   "\n\r" -> "\n"   "\n\n" -> "\n"   "An,invalid,record.\n" -> ""
    // No header, no byte order mark, no text conversion. Every step keeps or
    // shrinks the size, so a buffer that is moved in and not shared with
    // anyone else is rewritten in place: linear time, no second copy.
    static QByteArray ToCsv(QByteArray stream);

    // "<folder>/Report_yyyy-MM-dd-hh-mm-ss.csv" with the folder as given and
    // the start time in local time, 24-hour clock, ASCII digits.
    static QString ReportFilePath(const QString &sDirPath, const QDateTime &start);
};

#endif // REPORTFORMATTER_H
