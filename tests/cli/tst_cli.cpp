// kestrelpack-cli's three jobs against the simulated device: each one's exit
// code on success and on its failures, and what the job left behind (the
// report, the image on the device, or a device left untouched).

#include "cli/failurewords.h"
#include "simulator/simulateddevice.h"
#include "support/randombytes.h"
#include "support/testenvironment.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <vector>

#include <csignal>

#include <unistd.h>

class CliTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { TestEnvironment::GuardSerialPorts(); }

    // Every kind of failure the worker and the coordinator report is
    // answered with the exit code and next step of the README's table.
    void failureKindsAnswerAsTheReadmeSays_data()
    {
        QTest::addColumn<int>("nKind");
        QTest::addColumn<int>("nExit");
        QTest::addColumn<QString>("sStep");   // "": the job's own words
        static const QPair<FailureKind, const char *> kNames[] = {
            {FailureKind::NoPort, "NoPort"},
            {FailureKind::PortInUse, "PortInUse"},
            {FailureKind::NoAnswer, "NoAnswer"},
            {FailureKind::EchoOnly, "EchoOnly"},
            {FailureKind::DeviceLost, "DeviceLost"},
            {FailureKind::BootLoader, "BootLoader"},
            {FailureKind::KeepsSending, "KeepsSending"},
            {FailureKind::CommandFailed, "CommandFailed"},
            {FailureKind::BootLoaderNotReached, "BootLoaderNotReached"},
            {FailureKind::FirmwareFile, "FirmwareFile"},
            {FailureKind::TransferNotStarted, "TransferNotStarted"},
            {FailureKind::Busy, "Busy"},
            {FailureKind::ReportNotCreated, "ReportNotCreated"},
            {FailureKind::ReportNotWritten, "ReportNotWritten"},
            {FailureKind::ReportIncomplete, "ReportIncomplete"},
            {FailureKind::Interrupted, "Interrupted"},
            {FailureKind::ReceiverCancelled, "ReceiverCancelled"},
            {FailureKind::TransferTimedOut, "TransferTimedOut"},
            {FailureKind::NoisyLine, "NoisyLine"},
            {FailureKind::TransferFailed, "TransferFailed"},
            {FailureKind::FirmwareNotStarted, "FirmwareNotStarted"},
            {FailureKind::NotThisDevice, "NotThisDevice"},
            {FailureKind::NotConfirmed, "NotConfirmed"},
        };
        // A kind added later needs its row here and in the README.
        static_assert(int(FailureKind::NotConfirmed) == 23, "every kind has a row");
        QFile readme(QStringLiteral(KP_README_PATH));
        QVERIFY(readme.open(QIODevice::ReadOnly));
        const QString sReadme = QString::fromUtf8(readme.readAll());
        for (const auto &name : kNames) {
            const QRegularExpressionMatch row =
                QRegularExpression(QStringLiteral("\\| `%1` \\| (\\d+) \\| ([^|\\n(]+?) (\\(.*\\) )?\\|")
                                       .arg(QLatin1String(name.second)))
                    .match(sReadme);
            QVERIFY2(row.hasMatch(), name.second);
            const QString sStep = row.captured(2) == QLatin1String("the job's own words") ? QString() : row.captured(2);
            QTest::newRow(name.second) << int(name.first) << row.captured(1).toInt() << sStep;
        }
    }
    void failureKindsAnswerAsTheReadmeSays()
    {
        QFETCH(int, nKind);
        QFETCH(int, nExit);
        QFETCH(QString, sStep);
        const auto eKind = static_cast<FailureKind>(nKind);
        QCOMPARE(FailureWords::ExitCodeFor(eKind), nExit);
        const QString sWords = FailureWords::Words(eKind, {QString(), QStringLiteral("`kestrelpack-cli info`"), 120});
        if (sStep.isEmpty()) {
            QCOMPARE(sWords, QString());
        } else {
            QVERIFY2(sWords.contains(sStep), qPrintable(sWords));
        }
    }

    // Placeholders in the arguments: {port} the device's path, {link} a
    // link to it whose name holds ':' (as /dev/serial/by-path/ names do),
    // {dir} an empty folder, {image} a firmware file, {empty} an empty one,
    // {file} a plain file, {sealed} a folder of mode 0555.
    void jobsEndWithTheirExitCode_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("sDevice");   // "": none, "app", "boot", "cancel" (receiver cancels block 2),
                                                // "back to boot" (the boot loader again after the image),
                                                // "talker" (no device: NMEA sentences at 9600 baud),
                                                // "noisy" (block 2 NAKed for ever),
                                                // "echo" (no device: the line echoes), "close" (the line closes
                                                // at block 2), "no exit" (no reply to leaving control mode)
        QTest::addColumn<bool>("bViaEnv");      // the port through KESTRELPACK_SERIAL_PORTS, not --port
        QTest::addColumn<int>("nExit");
        QTest::addColumn<QString>("sOutput");   // a text standard output holds on success; on failure, a text
                                                // of the first line on standard error
        QTest::addColumn<QString>("sCheck");    // "report", "no report", "image", "untouched", "quick" (ends
                                                // within 15 s) or ""

        const QString app = QStringLiteral("app");
        QTest::newRow("info") << QStringList{"info"} << app << true << 0
                              << QStringLiteral("Version: V1.10\nSerial number: 08123456\n") << QString();
        QTest::newRow("info, no device") << QStringList{"info", "--port", "/nonexistent/kp-tty"} << QString()
                                         << false << 3
                                         << QStringLiteral("the port /nonexistent/kp-tty could not be opened")
                                         << QString();
        QTest::newRow("info, boot loader")
            << QStringList{"info", "--port", "{port}"} << QStringLiteral("boot") << false << 4
            << QStringLiteral("the device on {port} is in its boot loader (its firmware is missing, or an upgrade did "
                              "not end): run `kestrelpack-cli --port {port} upgrade FILE` first")
            << QString();
        // Found by the scan: the words name the port all the same.
        QTest::newRow("info, boot loader, port listed") << QStringList{"info"} << QStringLiteral("boot") << true << 4
            << QStringLiteral("the device on {port} is in its boot loader (its firmware is missing, or an upgrade did "
                              "not end): run `kestrelpack-cli --port {port} upgrade FILE` first")
            << QString();
        QTest::newRow("info, port path with ':'") << QStringList{"info", "--port", "{link}"} << app << false << 0
                                                  << QStringLiteral("Version: V1.10\nSerial number: 08123456\n")
                                                  << QString();
        // Only leaving control mode failed: the job's values stand.
        QTest::newRow("info, leaving control mode unanswered")
            << QStringList{"info", "--port", "{port}", "--json"} << QStringLiteral("no exit") << false << 0
            << QStringLiteral("\"event\":\"outcome\",\"exit\":0,") << QString();
        const QString echo = QStringLiteral("echo");
        QTest::newRow("info, echoing line") << QStringList{"info", "--port", "{port}"} << echo << false << 3
                                            << QStringLiteral("only the request came back on {port}") << QString();
        QTest::newRow("export, echoing line") << QStringList{"export", "{dir}", "--port", "{port}"} << echo << false
                                              << 3 << QStringLiteral("only the request came back on {port}")
                                              << QStringLiteral("no report");
        // The report's whole path is printed, a relative folder resolved
        // against the current one (the scratch folder).
        QTest::newRow("export") << QStringList{"export", "{dir}", "--port", "{port}"} << app << false << 0
                                << QStringLiteral("Report written to {dir}/Report_") << QStringLiteral("report");
        QTest::newRow("export, relative folder") << QStringList{"export", "reports", "--port", "{port}"} << app
                                                 << false << 0 << QStringLiteral("Report written to {dir}/Report_")
                                                 << QStringLiteral("report");
        QTest::newRow("export, folder cannot be made")
            << QStringList{"export", "{file}/reports", "--port", "{port}"} << app << false << 6
            << QStringLiteral("cannot create the report folder {file}/reports") << QStringLiteral("untouched");
        // Files are made in a folder whose mode has no write bit (root's
        // case here, as a folder with the read-only attribute is on
        // Windows); a sysfs folder takes none, whatever its mode says.
        QTest::newRow("export, folder without write bits that takes files")
            << QStringList{"export", "{sealed}", "--port", "{port}"} << app << false << 0
            << QStringLiteral("Report written to {sealed}/Report_") << QString();
        QTest::newRow("export, folder that takes no file")
            << QStringList{"export", "/sys/kernel", "--port", "{port}"} << app << false << 6
            << QStringLiteral("the report folder /sys/kernel cannot be written to") << QStringLiteral("untouched");
        QTest::newRow("export, no device") << QStringList{"export", "{dir}", "--port", "/nonexistent/kp-tty"}
                                           << QString() << false << 3
                                           << QStringLiteral("kestrelpack-cli: the port /nonexistent/kp-tty")
                                           << QString();
        QTest::newRow("export, empty folder") << QStringList{"export", "", "--port", "/nonexistent/kp-tty"}
                                              << QString() << false << 2
                                              << QStringLiteral("export needs a report folder") << QString();
        QTest::newRow("upgrade") << QStringList{"upgrade", "{image}", "--port", "{port}"} << app << false << 0
                                 << QStringLiteral("Upload: 100 %\nTransfer completed; waiting for the device on "
                                                   "{port} to start its new firmware")
                                 << QStringLiteral("image");
        QTest::newRow("upgrade, missing file")
            << QStringList{"upgrade", "{dir}/missing.bin", "--port", "{port}"} << app << false << 5
            << QStringLiteral("cannot read the firmware file {dir}/missing.bin") << QStringLiteral("untouched");
        QTest::newRow("upgrade, empty file")
            << QStringList{"upgrade", "{empty}", "--port", "{port}"} << app << false << 5
            << QStringLiteral("is empty") << QStringLiteral("untouched");
        QTest::newRow("upgrade, cancelled by the device")
            << QStringList{"upgrade", "{image}", "--port", "{port}"} << QStringLiteral("cancel") << false << 5
            << QStringLiteral("the device on {port} cancelled the transfer at ") << QString();
        // Block 2 refused again and again: the line is to blame, not the file.
        QTest::newRow("upgrade, noisy line")
            << QStringList{"upgrade", "{image}", "--port", "{port}"} << QStringLiteral("noisy") << false << 5
            << QStringLiteral("the line to the device on {port} is noisy: blocks arrived damaged and were sent "
                              "again until the transfer failed at ")
            << QString();
        // Every byte arrived, and the device runs its boot loader again.
        QTest::newRow("upgrade, device back in its boot loader")
            << QStringList{"upgrade", "{image}", "--port", "{port}"} << QStringLiteral("back to boot") << false << 4
            << QStringLiteral("the device on {port} took the whole image but started its boot loader again")
            << QStringLiteral("image");
        // Something else talks there: said at once, not after the busy wait.
        QTest::newRow("info, something else talks") << QStringList{"info", "--port", "{port}"}
                                                    << QStringLiteral("talker") << false << 3
                                                    << QStringLiteral("something on {port} answers that is not this "
                                                                      "device")
                                                    << QStringLiteral("quick");
        QTest::newRow("export, something else talks, port listed") << QStringList{"export", "{dir}"}
                                                                   << QStringLiteral("talker") << true << 3
                                                                   << QStringLiteral("something on {port} answers "
                                                                                     "that is not this device")
                                                                   << QStringLiteral("quick");
        QTest::newRow("upgrade, device lost") << QStringList{"upgrade", "{image}", "--port", "{port}"}
                                              << QStringLiteral("close") << false << 3
                                              << QStringLiteral("the device on {port} was lost") << QString();
        QTest::newRow("no command") << QStringList{} << QString() << false << 2
                                    << QStringLiteral("no command given") << QStringLiteral("");
        QTest::newRow("a port named twice") << QStringList{"info", "--port", "/a", "--port", "/a"} << QString()
                                            << false << 2 << QStringLiteral("a port is named twice") << QString();
        // COM5 as the program opens it, whatever its case.
        QTest::newRow("a port named twice, in two cases")
            << QStringList{"info", "--port", "com5", "--port", "COM5"} << QString() << false << 2
            << QStringLiteral("a port is named twice") << QString();
        QTest::newRow("--help-all is not offered") << QStringList{"--help-all"} << QString() << false << 2
                                                   << QStringLiteral("Unknown option 'help-all'") << QString();
        QTest::newRow("--version") << QStringList{"--version"} << QString() << false << 0
                                   << QStringLiteral("kestrelpack-cli 1.") << QString();
    }
    void jobsEndWithTheirExitCode()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, sDevice);
        QFETCH(bool, bViaEnv);
        QFETCH(int, nExit);
        QFETCH(QString, sOutput);
        QFETCH(QString, sCheck);

        QTemporaryDir tmp;
        QVERIFY(tmp.isValid());
        const QString sDir = tmp.filePath(QStringLiteral("reports"));
        QVERIFY(QDir().mkpath(sDir));
        const QString sFile = tmp.filePath(QStringLiteral("plain-file"));
        QVERIFY(WriteFile(sFile, "not a folder"));
        const QByteArray image = RandomBytes(30000, 7);
        const QString sImage = tmp.filePath(QStringLiteral("firmware.bin"));
        QVERIFY(WriteFile(sImage, image));
        const QString sEmpty = tmp.filePath(QStringLiteral("empty.bin"));
        QVERIFY(WriteFile(sEmpty, QByteArray()));
        const QString sSealed = tmp.filePath(QStringLiteral("sealed"));
        if (args.contains(QStringLiteral("{sealed}"))) {
            if (::geteuid() != 0) {
                QSKIP("only root makes files in a folder without write bits");
            }
            QVERIFY(QDir().mkpath(sSealed));
            QVERIFY(QFile::setPermissions(sSealed, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup
                                                       | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther));
        }

        std::unique_ptr<SimulatedDevice> pDevice;
        QString sPort;
        if (!sDevice.isEmpty()) {
            SimulatorOptions options;
            options.nCIntervalMs = 250;
            options.sImageDir = tmp.filePath(QStringLiteral("received"));
            if (sDevice == QLatin1String("boot")) {
                options.initialState = SimulatorOptions::State::BootMenu;
            } else if (sDevice == QLatin1String("cancel")) {
                options.nCancelAtBlock = 2;
            } else if (sDevice == QLatin1String("noisy")) {
                options.nNakAtBlock = 2;
                options.nNakTimes = 1000;
            } else if (sDevice == QLatin1String("back to boot")) {
                options.afterImageState = SimulatorOptions::State::Ymodem;
            } else if (sDevice == QLatin1String("talker")) {
                options.MakeForeignTalker();
                options.nBytesPerSecond = 960;
            } else if (sDevice == QLatin1String("close")) {
                options.nCloseAtBlock = 2;
            } else if (sDevice == QLatin1String("echo")) {
                options.bEcho = true;
            } else if (sDevice == QLatin1String("no exit")) {
                options.bSilent = true;
                options.nFaultCommand = 0xC1;
            }
            pDevice = std::make_unique<SimulatedDevice>(options);
            QString sError;
            QVERIFY2(pDevice->Start(&sError), qPrintable(sError));
            sPort = pDevice->PortPath();
        }
        const QString sLink = tmp.filePath(QStringLiteral("pci-0000:00:14.0-usb-0:1:1.0-port0"));
        QVERIFY(sPort.isEmpty() || QFile::link(sPort, sLink));
        for (QString *pText : {&sOutput}) {
            pText->replace(QLatin1String("{dir}"), sDir)
                .replace(QLatin1String("{file}"), sFile)
                .replace(QLatin1String("{sealed}"), sSealed);
        }
        for (QString &sArg : args) {
            sArg.replace(QLatin1String("{port}"), sPort)
                .replace(QLatin1String("{link}"), sLink)
                .replace(QLatin1String("{empty}"), sEmpty)
                .replace(QLatin1String("{dir}"), sDir)
                .replace(QLatin1String("{image}"), sImage)
                .replace(QLatin1String("{file}"), sFile)
                .replace(QLatin1String("{sealed}"), sSealed);
        }
        sOutput.replace(QLatin1String("{port}"), sPort);

        QProcess process;
        process.setWorkingDirectory(tmp.path());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("KESTRELPACK_SERIAL_PORTS"), bViaEnv ? sPort : QString());
        process.setProcessEnvironment(env);
        QElapsedTimer timer;
        timer.start();
        process.start(QStringLiteral(KP_CLI_PATH), args);
        QVERIFY2(process.waitForFinished(120000), qPrintable(process.errorString()));
        const qint64 nElapsedMs = timer.elapsed();
        const QString sOut = QString::fromLocal8Bit(process.readAllStandardOutput());
        const QString sErr = QString::fromLocal8Bit(process.readAllStandardError());
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QVERIFY2(process.exitCode() == nExit,
                 qPrintable(QStringLiteral("exit %1:\n%2\n%3").arg(process.exitCode()).arg(sOut, sErr)));
        if (nExit == 0) {
            QVERIFY2(sOut.contains(sOutput), qPrintable(sOut + sErr));
        } else {
            QVERIFY2(sErr.section(QLatin1Char('\n'), 0, 0).contains(sOutput), qPrintable(sOut + sErr));
        }

        if (sCheck == QLatin1String("report")) {
            const QStringList reports = QDir(sDir).entryList({QStringLiteral("Report_*.csv")}, QDir::Files);
            QCOMPARE(reports.size(), 1);
            QFile report(QDir(sDir).filePath(reports.first()));
            QVERIFY(report.open(QIODevice::ReadOnly));
            const QList<QByteArray> lines = report.readAll().split('\n');
            QCOMPARE(lines.size(), 21);   // the simulator's 20 records, each ending in a line feed
            QVERIFY2(lines.first().startsWith("0001,"), lines.first().constData());
            QVERIFY2(sOut.contains(QStringLiteral("Report written to %1\n").arg(report.fileName())), qPrintable(sOut));
        } else if (sCheck == QLatin1String("no report")) {
            QCOMPARE(QDir(sDir).entryList(QDir::Files), QStringList());
            QVERIFY(!pDevice->Frames().contains(QByteArray::fromHex("CD34AAAAAACC")));
        } else if (sCheck == QLatin1String("image")) {
            QTRY_COMPARE(pDevice->Images().size(), 1);
            QVERIFY(pDevice->Images().first().content == image);
        } else if (sCheck == QLatin1String("quick")) {
            QVERIFY2(nElapsedMs < 15000, qPrintable(QString::number(nElapsedMs)));
        } else if (sCheck == QLatin1String("untouched")) {
            QVERIFY(pDevice->Frames().isEmpty());
            QCOMPARE(pDevice->State(), SimulatorOptions::State::Application);
        }
    }

    // Four devices at once, one of them in its boot loader: each port's
    // outcome in the summary, and the worst one's exit code.
    void severalPortsRunAtOnce()
    {
        std::vector<std::unique_ptr<SimulatedDevice>> devices;
        QStringList args{QStringLiteral("info")};
        for (int i = 0; i < 4; ++i) {
            SimulatorOptions options;
            options.serialNumber = QByteArray::fromHex(QByteArray::number(0x123450 + i, 16));
            if (i == 2) {
                options.initialState = SimulatorOptions::State::BootMenu;
            }
            devices.push_back(std::make_unique<SimulatedDevice>(options));
            QString sError;
            QVERIFY2(devices.back()->Start(&sError), qPrintable(sError));
            args << QStringLiteral("--port") << devices.back()->PortPath();
        }
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("KESTRELPACK_SERIAL_PORTS"), QString());
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(KP_CLI_PATH), args);
        QVERIFY(process.waitForFinished(60000));
        const QString sOut = QString::fromLocal8Bit(process.readAllStandardOutput());
        const QString sErr = QString::fromLocal8Bit(process.readAllStandardError());
        QVERIFY2(process.exitCode() == 4, qPrintable(sOut + sErr));
        for (int i = 0; i < 4; ++i) {
            const QString sPort = QRegularExpression::escape(devices[i]->PortPath());
            const QString sRow = (i == 2) ? QStringLiteral("\n%1 +- +boot loader \\(exit 4\\) +\\d+\\.\\d s\n").arg(sPort)
                                          : QStringLiteral("\n%1 +0812345%2 +success \\(exit 0\\) +\\d+\\.\\d s\n")
                                                .arg(sPort)
                                                .arg(i);
            QVERIFY2(QRegularExpression(sRow).match(sOut).hasMatch(), qPrintable(sOut));
        }
        QVERIFY2(sOut.endsWith(QStringLiteral("3 of 4 ports succeeded; exit code 4\n")), qPrintable(sOut));
        const QString sBootPort = devices[2]->PortPath();
        QVERIFY2(sErr.contains(QStringLiteral("%1: the device on %1 is in its boot loader").arg(sBootPort)),
                 qPrintable(sErr));
    }

    // Killed in the middle of an export, the program leaves a diagnostic log
    // that already holds the last step it took: every line is on disk as
    // soon as it is written, not when a buffer fills or the program ends.
    void logKeepsTheLastStepWhenKilled()
    {
        QTemporaryDir tmp;
        QVERIFY(tmp.isValid());
        // A copy of the program, so that its log folder (beside it) is ours.
        const QString sProgram = tmp.filePath(QStringLiteral("kestrelpack-cli"));
        QVERIFY(QFile::copy(QStringLiteral(KP_CLI_PATH), sProgram));
        SimulatedDevice device(LongExportDevice());
        QString sError;
        QVERIFY2(device.Start(&sError), qPrintable(sError));

        QProcess process;
        const QByteArray out = ExportUntilProgress(process, sProgram, device, tmp.path());
        QVERIFY2(out.contains("Export progress"), out.constData());
        process.kill();
        QVERIFY(process.waitForFinished(10000));

        const QStringList logs = QDir(tmp.filePath(QStringLiteral("logs"))).entryList(QDir::Files);
        QCOMPARE(logs.size(), 1);
        QFile log(tmp.filePath(QStringLiteral("logs/") + logs.first()));
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = log.readAll().trimmed().split('\n');
        QVERIFY2(lines.last().contains("GetLogInfo Count : 3000"), lines.last().constData());
    }

    // Ctrl+C during a transfer: the device is told (the receiver sees the
    // sender's cancel), the exit code says interrupted, and the log says at
    // which point and where the device was left.
    void interruptedUpgradeCancelsOnTheLine()
    {
        QTemporaryDir tmp;
        QVERIFY(tmp.isValid());
        const QString sProgram = tmp.filePath(QStringLiteral("kestrelpack-cli"));
        QVERIFY(QFile::copy(QStringLiteral(KP_CLI_PATH), sProgram));
        const QString sImage = tmp.filePath(QStringLiteral("firmware.bin"));
        QVERIFY(WriteFile(sImage, RandomBytes(100 * 1024, 11)));   // about 9 s on the paced line
        SimulatorOptions options;
        options.nCIntervalMs = 250;
        options.nBytesPerSecond = 11520;
        options.sImageDir = tmp.filePath(QStringLiteral("received"));
        SimulatedDevice device(options);
        QSignalSpy aborted(&device, &SimulatedDevice::TransferAborted);
        QString sError;
        QVERIFY2(device.Start(&sError), qPrintable(sError));

        QProcess process;
        process.start(sProgram, {QStringLiteral("upgrade"), sImage, QStringLiteral("--port"), device.PortPath()});
        QVERIFY(process.waitForStarted());
        const QByteArray out = ReadUntil(process, "Upload: ");
        QVERIFY2(out.contains("Upload: "), out.constData());
        ::kill(static_cast<pid_t>(process.processId()), SIGINT);
        QVERIFY(process.waitForFinished(30000));
        const QByteArray err = process.readAllStandardError();
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QVERIFY2(process.exitCode() == 130, err.constData());
        QTRY_COMPARE_WITH_TIMEOUT(aborted.size(), 1, 10000);
        QCOMPARE(aborted.first().first().toString(), QStringLiteral("cancelled by the sender"));
        QVERIFY(device.Images().isEmpty());

        const QStringList logs = QDir(tmp.filePath(QStringLiteral("logs"))).entryList(QDir::Files);
        QCOMPARE(logs.size(), 1);
        QFile log(tmp.filePath(QStringLiteral("logs/") + logs.first()));
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QByteArray sLog = log.readAll();
        QVERIFY2(QRegularExpression(QStringLiteral("Upgrade interrupted by SIGINT at \\d+ %: transfer cancelled; "
                                                   "the device stays in its boot loader"))
                     .match(QString::fromUtf8(sLog))
                     .hasMatch(),
                 sLog.constData());
    }

    // SIGTERM in the middle of an export: one outcome, and it agrees with
    // the exit code (interrupted) and names the partial report it left.
    void interruptedExportEndsWithOneOutcome()
    {
        QTemporaryDir tmp;
        QVERIFY(tmp.isValid());
        SimulatedDevice device(LongExportDevice());
        QString sError;
        QVERIFY2(device.Start(&sError), qPrintable(sError));

        QProcess process;
        QByteArray out =
            ExportUntilProgress(process, QStringLiteral(KP_CLI_PATH), device, tmp.path(), {QStringLiteral("--json")});
        QVERIFY2(out.contains("Export progress"), out.constData());
        ::kill(static_cast<pid_t>(process.processId()), SIGTERM);
        QVERIFY(process.waitForFinished(30000));
        out += process.readAllStandardOutput();
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QVERIFY2(process.exitCode() == 130, out.constData());

        QList<QJsonObject> outcomes;
        for (const QByteArray &line : out.split('\n')) {
            const QJsonObject event = QJsonDocument::fromJson(line).object();
            if (event.value(QStringLiteral("event")).toString() == QLatin1String("outcome")) {
                outcomes << event;
            }
        }
        QVERIFY2(outcomes.size() == 1, out.constData());
        QCOMPARE(outcomes.first().value(QStringLiteral("exit")).toInt(), 130);
        const QString sReport = outcomes.first().value(QStringLiteral("report")).toString();
        QVERIFY2(QFileInfo(sReport).fileName().startsWith(QLatin1String("Partial_Report_")), out.constData());
        QVERIFY(QFileInfo(sReport).size() > 0);
        // The words name the file that keeps what arrived.
        QVERIFY2(outcomes.first().value(QStringLiteral("message")).toString().contains(
                     QStringLiteral("what arrived is kept in ") + sReport),
                 out.constData());
        QCOMPARE(QDir(tmp.path()).entryList({QStringLiteral("Report_*")}, QDir::Files), QStringList());
    }

    // The device does not know that the export it streams for was left: the
    // information asked for at once waits for the rest of the stream, says
    // so, and is read.
    void infoRightAfterAnInterruptedExportWaitsForItsStream()
    {
        QTemporaryDir tmp;
        QVERIFY(tmp.isValid());
        SimulatedDevice device(LongExportDevice());
        QString sError;
        QVERIFY2(device.Start(&sError), qPrintable(sError));
        QProcess exportRun;
        const QByteArray out = ExportUntilProgress(exportRun, QStringLiteral(KP_CLI_PATH), device, tmp.path());
        QVERIFY2(out.contains("Export progress"), out.constData());
        ::kill(static_cast<pid_t>(exportRun.processId()), SIGINT);
        QVERIFY(exportRun.waitForFinished(30000));
        QCOMPARE(exportRun.exitCode(), 130);

        QProcess info;
        info.start(QStringLiteral(KP_CLI_PATH),
                   {QStringLiteral("info"), QStringLiteral("--port"), device.PortPath(), QStringLiteral("--json")});
        QVERIFY(info.waitForFinished(60000));
        const QByteArray infoOut = info.readAllStandardOutput() + info.readAllStandardError();
        QVERIFY2(info.exitCode() == 0, infoOut.constData());
        QVERIFY2(infoOut.contains("\"awaited\":\"quiet line\""), infoOut.constData());
        QVERIFY2(infoOut.contains("\"version\":\"V1.10\""), infoOut.constData());
    }

    // `kestrelpack-cli upgrade fw.bin | head -3`: the reader goes away after
    // three lines, and the upgrade still ends, the image whole on the device.
    void closedOutputDoesNotStopTheUpgrade()
    {
        QTemporaryDir tmp;
        QVERIFY(tmp.isValid());
        const QByteArray image = RandomBytes(40 * 1024, 12);   // about 4 s on the paced line
        const QString sImage = tmp.filePath(QStringLiteral("firmware.bin"));
        QVERIFY(WriteFile(sImage, image));
        SimulatorOptions options;
        options.nCIntervalMs = 250;
        options.nBytesPerSecond = 11520;
        options.sImageDir = tmp.filePath(QStringLiteral("received"));
        SimulatedDevice device(options);
        QString sError;
        QVERIFY2(device.Start(&sError), qPrintable(sError));

        QProcess cli;
        QProcess head;
        cli.setStandardOutputProcess(&head);
        head.start(QStringLiteral("head"), {QStringLiteral("-n"), QStringLiteral("3")});
        cli.start(QStringLiteral(KP_CLI_PATH), {QStringLiteral("upgrade"), sImage, QStringLiteral("--port"), device.PortPath()});
        QVERIFY(cli.waitForFinished(60000));
        QVERIFY(head.waitForFinished(10000));
        QCOMPARE(head.readAllStandardOutput().count('\n'), 3);
        QCOMPARE(cli.exitStatus(), QProcess::NormalExit);
        QVERIFY2(cli.exitCode() == 0, cli.readAllStandardError().constData());
        QTRY_COMPARE(device.Images().size(), 1);
        QVERIFY(device.Images().first().content == image);
    }

    // The run over several ports counts a port's process's exit code as the
    // table knows it: any other code (a Qt fatal error's 1) is a failed
    // command, as a crash is, never a code scripts do not know.
    void portExitCodesOutsideTheTableCountAsCommandFailures_data()
    {
        QTest::addColumn<int>("nChild");
        QTest::addColumn<int>("nCounted");
        for (const int nKnown : {0, 2, 3, 4, 5, 6, 7, 130}) {
            QTest::addRow("%d stays", nKnown) << nKnown << nKnown;
        }
        for (const int nOther : {1, 99, 255, 134}) {
            QTest::addRow("%d becomes 7", nOther) << nOther << int(ExitCommand);
        }
    }
    void portExitCodesOutsideTheTableCountAsCommandFailures()
    {
        QFETCH(int, nChild);
        QFETCH(int, nCounted);
        QCOMPARE(FailureWords::KnownExitCode(nChild), nCounted);
    }

    // The run over several ports logs each port's end after its event loop
    // has ended, and the log still closes with the program's last line.
    void severalPortsRunLogsEachPortsEnd()
    {
        QTemporaryDir tmp;
        QVERIFY(tmp.isValid());
        const QString sProgram = tmp.filePath(QStringLiteral("kestrelpack-cli"));
        QVERIFY(QFile::copy(QStringLiteral(KP_CLI_PATH), sProgram));
        std::vector<std::unique_ptr<SimulatedDevice>> devices;
        QStringList args{QStringLiteral("info")};
        for (int i = 0; i < 2; ++i) {
            devices.push_back(std::make_unique<SimulatedDevice>(SimulatorOptions()));
            QString sError;
            QVERIFY2(devices.back()->Start(&sError), qPrintable(sError));
            args << QStringLiteral("--port") << devices.back()->PortPath();
        }
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("KESTRELPACK_SERIAL_PORTS"), QString());
        process.setProcessEnvironment(env);
        process.start(sProgram, args);
        QVERIFY(process.waitForFinished(60000));
        QVERIFY2(process.exitCode() == 0, process.readAllStandardError().constData());

        // The run's own log: the one without a port in its name.
        const QStringList logs = QDir(tmp.filePath(QStringLiteral("logs")))
                                     .entryList({QStringLiteral("K9Z40_????????.log")}, QDir::Files);
        QCOMPARE(logs.size(), 1);
        QFile log(tmp.filePath(QStringLiteral("logs/") + logs.first()));
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QByteArray content = log.readAll();
        for (const auto &pDevice : devices) {
            QVERIFY2(content.contains("Port run end: " + pDevice->PortPath().toUtf8() + " exit 0 "), content.constData());
        }
        QVERIFY2(content.endsWith("Application finished\r\n"), content.constData());
    }

private:
    // A device whose 3000 records take about 13 s on the paced line.
    static SimulatorOptions LongExportDevice()
    {
        SimulatorOptions options;
        options.nRecordCount = 3000;
        options.nBytesPerSecond = 11520;
        return options;
    }

    // Starts the program's export from the device; its standard output up to
    // the first progress line.
    static QByteArray ExportUntilProgress(QProcess &process, const QString &sProgram, SimulatedDevice &device,
                                          const QString &sDir, const QStringList &extra = QStringList())
    {
        process.start(sProgram, QStringList{QStringLiteral("export"), sDir, QStringLiteral("--port"), device.PortPath()}
                                    + extra);
        process.waitForStarted();
        return ReadUntil(process, "Export progress");
    }

    // The program's standard output up to the text, or all of it when the
    // program ended without it.
    static QByteArray ReadUntil(QProcess &process, const char *szText)
    {
        QByteArray out;
        while (!out.contains(szText) && process.state() == QProcess::Running) {
            process.waitForReadyRead(1000);
            out += process.readAllStandardOutput();
        }
        return out;
    }

    static bool WriteFile(const QString &sPath, const QByteArray &content)
    {
        QFile file(sPath);
        return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
    }
};

QTEST_MAIN(CliTest)
#include "tst_cli.moc"
