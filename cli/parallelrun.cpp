#include "cli/parallelrun.h"

#include "app/logging.h"
#include "app/quitonsignal.h"
#include "cli/failurewords.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

// An exit code of a port's process in a word or two, for the table.
QString OutcomeWord(int nExit)
{
    switch (nExit) {
    case ExitSuccess: return QStringLiteral("success");
    case ExitUsage: return QStringLiteral("wrong command line");
    case ExitNoDevice: return QStringLiteral("no device");
    case ExitBootLoader: return QStringLiteral("boot loader");
    case ExitTransfer: return QStringLiteral("transfer failed");
    case ExitReport: return QStringLiteral("report not written");
    case ExitCommand: return QStringLiteral("command failed");
    case ExitInterrupted: return QStringLiteral("interrupted");
    default: return QStringLiteral("failed");
    }
}

// A crashed or unstartable port's process: its device's state is unknown.
constexpr int kAbnormalEnd = ExitCommand;

struct PortRun
{
    QString sPort;
    std::unique_ptr<QProcess> pProcess;
    QElapsedTimer timer;
    QByteArray pendingOut;
    QByteArray pendingErr;
    QString sSerial;
    QString sMessage;   // the outcome's words
    double dSeconds = 0;
    int nExit = -1;     // -1 while it runs
};

} // namespace

int RunOnPorts(const QStringList &ports, const QStringList &jobArgs, Output::Mode eMode)
{
    std::vector<std::unique_ptr<PortRun>> runs;
    int nRunning = 0;

    const auto relayLine = [eMode](PortRun &run, const QByteArray &line) {
        QJsonParseError error;
        const QJsonObject event = QJsonDocument::fromJson(line, &error).object();
        if (error.error != QJsonParseError::NoError) {
            // Not an event: whatever it is, it is the port's.
            if (eMode != Output::Mode::Quiet) {
                WriteText(stdout, run.sPort + QStringLiteral(": ") + ReadText(line) + QLatin1Char('\n'));
            }
            return;
        }
        const QString sEvent = event.value(QStringLiteral("event")).toString();
        const QString sMessage = event.value(QStringLiteral("message")).toString();
        if (event.contains(QStringLiteral("serial"))) {
            run.sSerial = event.value(QStringLiteral("serial")).toString();
        }
        if (sEvent == QLatin1String("outcome")) {
            run.sMessage = sMessage;
        }
        if (eMode == Output::Mode::Json) {
            WriteText(stdout, QString::fromUtf8(line) + QLatin1Char('\n'));
        } else if (eMode == Output::Mode::Text) {
            const bool bError = (sEvent == QLatin1String("outcome") && event.value(QStringLiteral("exit")).toInt() != 0)
                                || sEvent == QLatin1String("warning");
            WriteText(bError ? stderr : stdout, run.sPort + QStringLiteral(": ") + sMessage + QLatin1Char('\n'));
        }
    };

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QString::fromLatin1(kChildVariable), QStringLiteral("1"));
    for (const QString &sPort : ports) {
        auto run = std::make_unique<PortRun>();
        run->sPort = sPort;
        run->pProcess = std::make_unique<QProcess>();
        run->pProcess->setProcessEnvironment(env);
        PortRun *pRun = run.get();
        QProcess *pProcess = pRun->pProcess.get();
        QObject::connect(pProcess, &QProcess::readyReadStandardOutput, pProcess, [pRun, relayLine]() {
            pRun->pendingOut += pRun->pProcess->readAllStandardOutput();
            int nEnd;
            while ((nEnd = pRun->pendingOut.indexOf('\n')) >= 0) {
                const QByteArray line = pRun->pendingOut.left(nEnd).trimmed();
                pRun->pendingOut.remove(0, nEnd + 1);
                if (!line.isEmpty()) {
                    relayLine(*pRun, line);
                }
            }
        });
        // The trace of --verbose and the odd warning: kept, marked with the port.
        QObject::connect(pProcess, &QProcess::readyReadStandardError, pProcess, [pRun]() {
            pRun->pendingErr += pRun->pProcess->readAllStandardError();
            int nEnd;
            while ((nEnd = pRun->pendingErr.indexOf('\n')) >= 0) {
                WriteText(stderr, pRun->sPort + QStringLiteral(": ") + ReadText(pRun->pendingErr.left(nEnd))
                                  + QLatin1Char('\n'));
                pRun->pendingErr.remove(0, nEnd + 1);
            }
        });
        QObject::connect(pProcess, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), pProcess,
                         [pRun, &nRunning](int nCode, QProcess::ExitStatus eStatus) {
                             pRun->dSeconds = pRun->timer.elapsed() / 1000.0;
                             if (eStatus == QProcess::NormalExit) {
                                 pRun->nExit = FailureWords::KnownExitCode(nCode);
                                 if (pRun->nExit != nCode) {
                                     // Its own code stays in the log line.
                                     pRun->sMessage = QStringLiteral("the process for %1 ended with exit code %2, "
                                                                     "which is none of the table's%3")
                                                          .arg(pRun->sPort)
                                                          .arg(nCode)
                                                          .arg(pRun->sMessage.isEmpty()
                                                                   ? QString()
                                                                   : QStringLiteral(": ") + pRun->sMessage);
                                 }
                             } else {
                                 pRun->nExit = kAbnormalEnd;
                                 pRun->sMessage = QStringLiteral("the process for %1 ended abnormally (%2)")
                                                      .arg(pRun->sPort, pRun->pProcess->errorString());
                             }
                             if (--nRunning == 0) {
                                 QCoreApplication::exit(0);
                             }
                         });
        QObject::connect(pProcess, &QProcess::errorOccurred, pProcess, [pRun, &nRunning](QProcess::ProcessError eError) {
            if (eError != QProcess::FailedToStart) {
                return;
            }
            pRun->nExit = kAbnormalEnd;
            pRun->sMessage = QStringLiteral("the process for %1 could not be started (%2)")
                                 .arg(pRun->sPort, pRun->pProcess->errorString());
            if (--nRunning == 0) {
                QCoreApplication::exit(0);
            }
        });
        runs.push_back(std::move(run));
    }

    // Each port's process winds its own job up; a second signal makes them
    // quit without waiting, as it does for a run on one port.
    QuitOnSignal stopSignals;
    stopSignals.SetQuitAtOnce(false);
    QObject::connect(&stopSignals, &QuitOnSignal::signal_Received, &stopSignals, [&runs](const QString &sSignal) {
        KP_LOG_INFO("{} received: passed on to every port's process", sSignal);
#ifdef Q_OS_UNIX
        for (const auto &run : runs) {
            if (run->pProcess->state() != QProcess::NotRunning) {
                run->pProcess->terminate();
            }
        }
#endif
    });

    KP_LOG_INFO("Job start: {}", QStringLiteral("%1 on %2 ports at once: %3")
                                     .arg(jobArgs.value(0))
                                     .arg(ports.size())
                                     .arg(ports.join(QStringLiteral(", "))));
    for (const auto &run : runs) {
        QStringList args = jobArgs;
        args << QStringLiteral("--port") << run->sPort << QStringLiteral("--json");
        run->timer.start();
        ++nRunning;
        run->pProcess->start(QCoreApplication::applicationFilePath(), args);
    }
    if (nRunning > 0) {
        QCoreApplication::exec();
    }

    // The worst outcome: the highest code, which puts an interrupted run
    // (130) above every failure and every failure above success.
    int nWorst = 0;
    int nPortWidth = 4;
    int nSerialWidth = 13;
    for (const auto &run : runs) {
        nWorst = qMax(nWorst, run->nExit);
        nPortWidth = qMax(nPortWidth, run->sPort.size());
        nSerialWidth = qMax(nSerialWidth, run->sSerial.size());
        KP_LOG_INFO("Port run end: {}", QStringLiteral("%1 exit %2 after %3 s: %4")
                                            .arg(run->sPort)
                                            .arg(run->nExit)
                                            .arg(run->dSeconds, 0, 'f', 1)
                                            .arg(run->sMessage));
    }
    if (eMode == Output::Mode::Json) {
        QJsonArray table;
        for (const auto &run : runs) {
            table.append(QJsonObject{{QStringLiteral("port"), run->sPort},
                                     {QStringLiteral("serial"), run->sSerial},
                                     {QStringLiteral("exit"), run->nExit},
                                     {QStringLiteral("outcome"), OutcomeWord(run->nExit)},
                                     {QStringLiteral("seconds"), qRound(run->dSeconds * 10) / 10.0}});
        }
        Output::PrintJson(QJsonObject{{QStringLiteral("job"), jobArgs.value(0)},
                                      {QStringLiteral("event"), QStringLiteral("summary")},
                                      {QStringLiteral("ports"), table},
                                      {QStringLiteral("exit"), nWorst}});
        return nWorst;
    }
    QString sTable = QStringLiteral("%1  %2  %3  %4\n")
                         .arg(QStringLiteral("Port"), -nPortWidth)
                         .arg(QStringLiteral("Serial number"), -nSerialWidth)
                         .arg(QStringLiteral("Outcome"), -24)
                         .arg(QStringLiteral("Time"));
    for (const auto &run : runs) {
        sTable += QStringLiteral("%1  %2  %3  %4 s\n")
                      .arg(run->sPort, -nPortWidth)
                      .arg(run->sSerial.isEmpty() ? QStringLiteral("-") : run->sSerial, -nSerialWidth)
                      .arg(QStringLiteral("%1 (exit %2)").arg(OutcomeWord(run->nExit)).arg(run->nExit), -24)
                      .arg(run->dSeconds, 0, 'f', 1);
    }
    sTable += QStringLiteral("%1 of %2 ports succeeded; exit code %3\n")
                  .arg(std::count_if(runs.begin(), runs.end(), [](const auto &run) { return run->nExit == 0; }))
                  .arg(runs.size())
                  .arg(nWorst);
    WriteText(stdout, sTable);
    return nWorst;
}
