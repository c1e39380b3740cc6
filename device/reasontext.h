#ifndef REASONTEXT_H
#define REASONTEXT_H

#include <QCoreApplication>
#include <QString>

// What kind of failure a reason reports, decided where the failure happens
// and carried beside its text: whoever acts on a failure (an exit code, the
// next step to suggest) reads the kind, never the text's words.
enum class FailureKind
{
    None = 0,
    NoPort,             // no serial port could be opened
    PortInUse,          // the port is held by another program
    NoAnswer,           // ports opened, and nothing answered as the device does
    EchoOnly,           // only the request came back (a loopback plug, an echoing line)
    DeviceLost,         // the device went away during the job
    BootLoader,         // the device runs its boot loader (information, export)
    KeepsSending,       // the line never fell quiet
    CommandFailed,      // a device command got no reply or a wrong one
    BootLoaderNotReached,   // the upgrade could not bring the device to its receiver
    FirmwareFile,       // the firmware file cannot be read, or is empty
    TransferNotStarted, // the transmitter could not start
    Busy,               // another job holds the line
    ReportNotCreated,   // the report folder takes no file
    ReportNotWritten,   // the report could not be written or named (a full disk)
    ReportIncomplete,   // the stream stopped short of the announced records, or never ended
    Interrupted,        // the job was stopped (a signal, the window closed)
};

// A failure's reason twice: as the technician reads it (the interface
// language) and in English for the diagnostic log, which support reads
// whatever language the program speaks. Arguments go into both alike; the
// kind stays.
struct ReasonText
{
    QString sShown;
    QString sEnglish;
    FailureKind eKind = FailureKind::None;

    static ReasonText Tr(const char *szContext, const char *szSource, FailureKind eKind)
    {
        return {QCoreApplication::translate(szContext, szSource), QString::fromUtf8(szSource), eKind};
    }
    // A text that is not translated (a device step's name, a system error).
    static ReasonText Plain(const QString &sText, FailureKind eKind) { return {sText, sText, eKind}; }

    bool IsEmpty() const { return sShown.isEmpty(); }
    ReasonText arg(const QString &a) const { return {sShown.arg(a), sEnglish.arg(a), eKind}; }
    ReasonText arg(const QString &a, const QString &b) const
    {
        return {sShown.arg(a, b), sEnglish.arg(a, b), eKind};
    }
    ReasonText arg(const QString &a, const QString &b, const QString &c) const
    {
        return {sShown.arg(a, b, c), sEnglish.arg(a, b, c), eKind};
    }
    ReasonText arg(qint64 n) const { return {sShown.arg(n), sEnglish.arg(n), eKind}; }
    ReasonText arg(const ReasonText &a, const QString &b) const
    {
        return {sShown.arg(a.sShown, b), sEnglish.arg(a.sEnglish, b), eKind};
    }
};

#endif // REASONTEXT_H
