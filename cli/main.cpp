// kestrelpack-cli: the program's three jobs on the command line, through the
// same QSerialUser and worker that the window uses.
//
//   kestrelpack-cli info              version and serial number
//   kestrelpack-cli export DIR        the device's records as a CSV report in DIR
//   kestrelpack-cli upgrade FILE      the firmware FILE over YMODEM
//   kestrelpack-cli support-file [DIR]  the support file (logs, settings,
//                                     summary) into DIR, no device touched
//
// Without --port the device is looked for as the program looks for it (every
// listed port, or KESTRELPACK_SERIAL_PORTS when set). With --port given more
// than once, one process of this program runs the job on each port at once
// (see parallelrun.h). Steps and waits go to standard output, a failure in
// plain words (what happened, on which port, what to do) to standard error,
// and the exit code tells the kind of failure (see kExitCodesHelp). The
// device's own step names stay in the diagnostic log.

#include "app/apppaths.h"
#include "app/logging.h"
#include "app/quitonsignal.h"
#include "cli/clicontext.h"
#include "cli/failurewords.h"
#include "cli/historycommand.h"
#include "cli/output.h"
#include "cli/parallelrun.h"
#include "cli/requestjobs.h"
#include "cli/supportfilejob.h"
#include "cli/upgradejob.h"
#include "device/portlister.h"
#include "transfer/qserialuser.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QJsonObject>
#include <QLoggingCategory>

#include <cstdio>

#ifdef Q_OS_UNIX
#include <csignal>
#endif

namespace {

const char *const kExitCodesHelp =
    "Exit codes:\n"
    "  0    success (info also when only leaving control mode failed: a warning says so;\n"
    "       upgrade also when the device has not answered after the completed and\n"
    "       acknowledged transfer)\n"
    "  2    wrong command line\n"
    "  3    no device: no port could be opened (or it is in use by another program),\n"
    "       none answered, something that is not this device answers, or the device\n"
    "       was lost during the job\n"
    "  4    the device is in its boot loader (info, export: upgrade it first), an\n"
    "       upgrade could not bring it into its boot loader's receiver, or the device\n"
    "       took the whole image and its boot loader answers again\n"
    "  5    upgrade: the file cannot be read, the transfer could not start, it ended\n"
    "       cancelled, timed out or failed, or the device confirmed neither the\n"
    "       transfer's end nor its new firmware\n"
    "  6    export: the report folder cannot be made or written, or the report was\n"
    "       not written whole; history: the service history cannot be read;\n"
    "       support-file: its folder cannot be made or written, or the support file\n"
    "       was not written\n"
    "  7    a device command failed (version, serial number), the device kept sending\n"
    "       and never answered, or a port's process ended abnormally\n"
    "  130  interrupted (Ctrl+C, SIGTERM, the console closed) before the job ended:\n"
    "       a transfer is cancelled, an export keeps what arrived\n"
    "With several ports the exit code is the worst of theirs: the highest (130 above all);\n"
    "a port's process that ended with any other code counts as 7.";

// Where support finds the diagnostic log.
const char *const kLogHelp =
#ifdef Q_OS_WIN
    "The log: logs\\K9Z40_<date>.log beside this program, or, where this program's folder\n"
    "cannot be written (Program Files for a standard user),\n"
    "%LOCALAPPDATA%\\Kestrelpack\\logs\\K9Z40_<date>.log.";
#else
    "The log: logs/K9Z40_<date>.log beside this program, or, where this program's folder\n"
    "cannot be written, ~/.local/share/kestrelpack/logs/K9Z40_<date>.log.";
#endif

int Usage(const QCommandLineParser &parser, const QString &sProblem)
{
    WriteText(stderr, QStringLiteral("kestrelpack-cli: %1\n\n%2").arg(sProblem, parser.helpText()));
    return ExitUsage;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kestrelpack-cli"));
    // As the Windows resources write the product version: "1.01.002".
    QCoreApplication::setApplicationVersion(QStringLiteral("%1.%2.%3")
                                                .arg(KP_VERSION_MAJOR)
                                                .arg(KP_VERSION_MINOR, 2, 10, QLatin1Char('0'))
                                                .arg(KP_VERSION_PATCH, 3, 10, QLatin1Char('0')));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Reads the device's information, exports its records into a CSV report or "
                       "upgrades its firmware, as the program does; support-file writes one zip with the "
                       "logs, the settings, the service history and a summary of the system and its "
                       "ports, for support.\n\n%1\n\n%2")
            .arg(QLatin1String(kExitCodesHelp), QLatin1String(kLogHelp)));
    // Only --help: Qt's own options (--help-all) do not apply to this program.
    const QCommandLineOption helpOption({QStringLiteral("h"), QStringLiteral("help")},
                                        QStringLiteral("Print this help and exit."));
    const QCommandLineOption versionOption(QStringLiteral("version"), QStringLiteral("Print the version and exit."));
    const QCommandLineOption portOption(
        QStringLiteral("port"),
        QStringLiteral("Use only this port (e.g. COM3, /dev/ttyUSB0); otherwise every listed port is tried, as in "
                       "the program. Given more than once, the job runs on every port named at once, and a summary "
                       "table ends the run."),
        QStringLiteral("path"));
    const QCommandLineOption jsonOption(QStringLiteral("json"),
                                        QStringLiteral("Print one JSON object per event and line on standard output."));
    const QCommandLineOption serialOption(QStringLiteral("serial"),
                                          QStringLiteral("history: only the records of this device serial number."),
                                          QStringLiteral("number"));
    const QCommandLineOption sinceOption(
        QStringLiteral("since"),
        QStringLiteral("history: only the records from this date (2026-12-01) or time (2026-12-01T14:00) on."),
        QStringLiteral("date"));
    const QCommandLineOption quietOption(QStringLiteral("quiet"), QStringLiteral("Print only the outcome."));
    const QCommandLineOption verboseOption(QStringLiteral("verbose"), QStringLiteral("Print the link's trace."));
    parser.addOption(helpOption);
    parser.addOption(versionOption);
    parser.addOption(portOption);
    parser.addOption(jsonOption);
    parser.addOption(quietOption);
    parser.addOption(verboseOption);
    parser.addOption(serialOption);
    parser.addOption(sinceOption);
    parser.addPositionalArgument(QStringLiteral("command"),
                                 QStringLiteral("info | export DIR | upgrade FILE | history | support-file [DIR]"));

    if (!parser.parse(QCoreApplication::arguments())) {
        return Usage(parser, parser.errorText());
    }
    if (parser.isSet(helpOption)) {
        WriteText(stdout, parser.helpText());
        return ExitSuccess;
    }
    if (parser.isSet(versionOption)) {
        WriteText(stdout, QStringLiteral("kestrelpack-cli %1\n").arg(QCoreApplication::applicationVersion()));
        return ExitSuccess;
    }
    const QStringList args = parser.positionalArguments();
    const QString sCommand = args.value(0);
    const bool bSupportFile = sCommand == QLatin1String("support-file");
    const int nWanted = (sCommand == QLatin1String("info") || sCommand == QLatin1String("history")) ? 1
                        : (sCommand == QLatin1String("export") || sCommand == QLatin1String("upgrade")) ? 2
                        : bSupportFile                                                                  ? 1
                                                                                                        : -1;
    if (nWanted < 0) {
        return Usage(parser, args.isEmpty() ? QStringLiteral("no command given")
                                            : QStringLiteral("unknown command: %1").arg(sCommand));
    }
    // The support file's folder may be left out: the current one.
    if (args.size() != nWanted && !(bSupportFile && args.size() == 2)) {
        return Usage(parser, QStringLiteral("wrong number of arguments for %1").arg(sCommand));
    }
    if (sCommand == QLatin1String("export") && args.at(1).isEmpty()) {
        // Not the current folder, and never the root a bare file name would give.
        return Usage(parser, QStringLiteral("export needs a report folder"));
    }
    if (bSupportFile && args.size() == 2 && args.at(1).isEmpty()) {
        return Usage(parser, QStringLiteral("support-file takes a folder, or none for the current one"));
    }
    if (parser.isSet(jsonOption) && parser.isSet(quietOption)) {
        return Usage(parser, QStringLiteral("--json and --quiet exclude each other"));
    }
    const Output::Mode eMode = parser.isSet(jsonOption)    ? Output::Mode::Json
                               : parser.isSet(quietOption) ? Output::Mode::Quiet
                                                           : Output::Mode::Text;
    const bool bHistory = sCommand == QLatin1String("history");
    if (!bHistory && (parser.isSet(serialOption) || parser.isSet(sinceOption))) {
        return Usage(parser, QStringLiteral("--serial and --since are for history"));
    }
    if (bHistory) {
        if (parser.isSet(portOption)) {
            return Usage(parser, QStringLiteral("history reads the service history and touches no port"));
        }
        HistoryQuery query;
        query.sSerial = parser.value(serialOption);
        if (parser.isSet(sinceOption)) {
            query.since = SinceTime(parser.value(sinceOption));
            if (!query.since.isValid()) {
                return Usage(parser, QStringLiteral("--since takes a date (2026-12-01) or a date and time "
                                                    "(2026-12-01T14:00): %1")
                                         .arg(parser.value(sinceOption)));
            }
        }
        return RunHistory(AppPaths::HistoryFile(), query, eMode);
    }
    QStringList ports = parser.values(portOption);
    if (ports.contains(QString())) {
        return Usage(parser, QStringLiteral("--port takes one port path"));
    }
    // As the program opens and compares them: "com5" is COM5, which Qt on
    // Windows opens only in that case, and "--port com5 --port COM5" names
    // one port twice.
    for (QString &sPort : ports) {
        sPort = PortLister::NormalName(sPort);
    }
    if (ports.removeDuplicates() > 0) {
        return Usage(parser, QStringLiteral("a port is named twice"));
    }
    if (!parser.isSet(verboseOption)) {
        QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
    }

#ifdef Q_OS_UNIX
    // A reader that went away (`| head -3`) must not kill the job half way:
    // writes to the closed pipe then just fail.
    ::signal(SIGPIPE, SIG_IGN);
#endif

    if (bSupportFile && ports.size() > 1) {
        // One file lists the ports; with --port, that one alone.
        return Usage(parser, QStringLiteral("support-file takes one --port at most"));
    }
    if (ports.size() > 1) {
        InitLog();
        QStringList jobArgs = args;
        if (parser.isSet(verboseOption)) {
            jobArgs << QStringLiteral("--verbose");
        }
        const int nWorst = RunOnPorts(ports, jobArgs, eMode);
        Logging::Finish();
        return nWorst;
    }

    CliContext ctx;
    const QString sPort = ports.value(0);
    if (!sPort.isEmpty()) {
        // Before the first scan: every scan, the worker's too, sees only it,
        // taken whole (stable Linux names such as /dev/serial/by-path/... hold
        // ':', which separates the environment's list).
        PortLister::SetOnlyPort(sPort);
        ctx.bPortWasThere = CliContext::PortExists(sPort);
    }
    // A log of its own for each port: processes that serve ports side by
    // side must not write and rotate one file.
    InitLog(sPort.isEmpty() ? QString() : Logging::FileSuffix(sPort));
    ctx.out.Setup(eMode, sCommand, sPort);
    if (bSupportFile) {
        // No device job: the worker is never started.
        const int nExit = RunSupportFile(ctx, args.value(1));
        Logging::Finish();
        return nExit;
    }
    // The window's object. Its worker thread starts at once.
    QSerialUser &user = *QSerialUser::instance();
    user.SetHistoryFile(AppPaths::HistoryFile());
    QObject::connect(&user, &QSerialUser::signal_JobRecorded, &user,
                     [&ctx](const QJsonObject &record) { ctx.out.SetRecord(record); });

    // A stop signal winds the job up instead of killing the program: a
    // transfer is cancelled on the line, an export keeps what arrived and the
    // device is told to leave its record stream; the run loops then end with
    // the job. A second signal ends the program without waiting.
    QuitOnSignal stopSignals;
    stopSignals.SetQuitAtOnce(false);
#ifdef Q_OS_UNIX
    if (qEnvironmentVariableIsSet(kChildVariable)) {
        // Started for one of several ports: Ctrl+C reaches the whole process
        // group, and the run over the ports passes it on as SIGTERM; taken
        // twice, it would end this job without winding it up.
        ::signal(SIGINT, SIG_IGN);
    }
#endif
    QObject::connect(&stopSignals, &QuitOnSignal::signal_Received, &user, [&](const QString &sSignal) {
        if (!ctx.sInterruptedBy.isEmpty()) {
            KP_LOG_INFO("{} again: quitting without waiting for the job's end", sSignal);
            QCoreApplication::exit(0);
            return;
        }
        ctx.sInterruptedBy = sSignal;
        ctx.out.Event(QStringLiteral("signal"), QStringLiteral("%1 received, stopping the %2").arg(sSignal, sCommand));
        if (!user.Interrupt(sSignal)) {
            QCoreApplication::exit(0);
        }
    });
    int nExit = ExitCommand;
    if (sCommand == QLatin1String("info")) {
        nExit = RunInfo(ctx, user, sPort);
    } else if (sCommand == QLatin1String("export")) {
        nExit = RunExport(ctx, user, sPort, args.at(1));
    } else {
        nExit = RunUpgrade(ctx, user, sPort, args.at(1));
    }
    // A job that completed in spite of the signal keeps its success; one
    // that failed because of it said so in its outcome.
    if (nExit == ExitInterrupted) {
        KP_LOG_INFO("kestrelpack-cli: {} interrupted", sCommand + QStringLiteral(" by ") + ctx.sInterruptedBy);
    }
    // The worker's thread is ended and joined while the application object
    // still exists. Left to the static pointer's release among the exit
    // handlers, it ran (or only began) after Qt's own statics were gone: a
    // job that returned at once, such as an unreadable firmware file, ended
    // in a double free.
    QSerialUser::ReleaseInstance();
    // Only now: the jobs run the event loop more than once, and every line
    // after the first loop's end (the interruption above, the worker's own
    // wind-up) would be lost to a log closed when Qt's loop ends.
    Logging::Finish();
    return nExit;
}
