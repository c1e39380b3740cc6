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

    // The names a report takes on its way: written under the unfinished name,
    // then renamed to the report's name once complete, or to the partial name
    // when the export failed. Neither of the other two matches "Report_*.csv".
    enum class Stage
    {
        Complete,     // Report_<stamp>.csv
        Unfinished,   // Report_<stamp>.csv.unfinished
        Partial,      // Partial_Report_<stamp>.csv
    };

    // "<folder>/Report_yyyy-MM-dd-hh-mm-ss.csv" with the folder as given and
    // the start time in local time, 24-hour clock, ASCII digits. Exports that
    // start within the same second take the numbers 2, 3, ... after the
    // stamp ("Report_<stamp>_2.csv"); nNumber 1 adds nothing.
    static QString ReportFilePath(const QString &sDirPath, const QDateTime &start, int nNumber = 1,
                                  Stage stage = Stage::Complete);
};

#endif // REPORTFORMATTER_H
