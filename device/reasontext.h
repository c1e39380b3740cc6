#ifndef REASONTEXT_H
#define REASONTEXT_H

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
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
    ReceiverCancelled,  // the boot loader's receiver cancelled the transfer (it refused the image)
    TransferTimedOut,   // the receiver stopped answering during the transfer
    NoisyLine,          // the transfer failed after blocks had to be sent again and again
    TransferFailed,     // the line reported an error, or the file changed while it was sent
    FirmwareNotStarted, // the whole image was taken, and the boot loader answers again instead of the firmware
    NotThisDevice,      // something on the port talks that is not this device (a GPS, a modem)
    NotConfirmed,       // the whole image was taken, and neither the transfer's end nor the firmware confirmed
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
    QString sPort;   // the port the failure concerns, where one is known (a port held by another program)

    static ReasonText Tr(const char *szContext, const char *szSource, FailureKind eKind)
    {
        return {QCoreApplication::translate(szContext, szSource), QString::fromUtf8(szSource), eKind, QString()};
    }
    // A text with a count, "%n" in szSource: shown in the plural form the
    // interface language takes for nCount; the log's English takes
    // szEnglishOne for one.
    static ReasonText TrCount(const char *szContext, const char *szSource, const char *szEnglishOne, int nCount,
                              FailureKind eKind)
    {
        return {QCoreApplication::translate(szContext, szSource, nullptr, nCount),
                QString::fromUtf8(nCount == 1 ? szEnglishOne : szSource)
                    .replace(QLatin1String("%n"), QString::number(nCount)),
                eKind, QString()};
    }
    // A text that is not translated (a device step's name, a system error).
    static ReasonText Plain(const QString &sText, FailureKind eKind) { return {sText, sText, eKind, QString()}; }
    // A file for an argument: the window names the file alone (the folder is
    // the one the technician chose, and a whole path would not wrap), the
    // log its whole native path.
    static ReasonText File(const QString &sPath)
    {
        return {QFileInfo(sPath).fileName(), QDir::toNativeSeparators(QFileInfo(sPath).absoluteFilePath()),
                FailureKind::None, QString()};
    }

    bool IsEmpty() const { return sShown.isEmpty(); }
    ReasonText arg(const QString &a) const { return {sShown.arg(a), sEnglish.arg(a), eKind, sPort}; }
    ReasonText arg(qint64 n) const { return {sShown.arg(n), sEnglish.arg(n), eKind, sPort}; }
    // Texts that read differently in the window and in the log (File).
    ReasonText arg(const ReasonText &a) const { return {sShown.arg(a.sShown), sEnglish.arg(a.sEnglish), eKind, sPort}; }
    ReasonText arg(const ReasonText &a, const ReasonText &b) const
    {
        return {sShown.arg(a.sShown, b.sShown), sEnglish.arg(a.sEnglish, b.sEnglish), eKind, sPort};
    }
    ReasonText arg(const ReasonText &a, const ReasonText &b, const QString &c) const
    {
        return {sShown.arg(a.sShown, b.sShown, c), sEnglish.arg(a.sEnglish, b.sEnglish, c), eKind, sPort};
    }
};

#endif // REASONTEXT_H
