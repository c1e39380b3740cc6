// The upgrade coordinator against the simulated device over pseudo-terminals:
// from each state the device can be in to the image on the device, the steps
// that fail and what they leave in the log, a device pulled during the boot
// loader wait, a second start while one runs, and the device's word after a
// completed transfer.

#include "transfer/qserialuser.h"

#include "app/logging.h"
#include "device/devicecodes.h"
#include "device/devicecommands.h"
#include "device/devicelink.h"
#include "device/readpoll.h"
#include "device/waitsfortesting.h"
#include "simulator/simulateddevice.h"
#include "support/randombytes.h"
#include "support/testenvironment.h"
#include "transfer/upgradecheck.h"
#include "ptypeer.h"
#include "transmitrecorder.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QSerialPort>
#include <QSocketNotifier>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTranslator>
#include <QtTest>

#include <spdlog/spdlog.h>

#include <memory>

namespace {

using S = YmodemFileTransmit;
using State = SimulatorOptions::State;

const QByteArray kCtrlFrame = QByteArray::fromHex("C0AAAAAAAAD4");
const QByteArray kBootFrame = QByteArray::fromHex("C955AAAAAACC");
const QByteArray kExitFrame = QByteArray::fromHex("C1AAAAAAAA19");
const QByteArray kVersionFrame = QByteArray::fromHex("C8AAAAAAAAEA");
const QByteArray kSNFrame = QByteArray::fromHex("CC55AAAAAA1E");
const QByteArray kCountFrame = QByteArray::fromHex("D1AAAAAAAA65");
const QByteArray kExportFrame = QByteArray::fromHex("CD34AAAAAACC");

bool IsHeaderBlock(const QByteArray &frame)
{
    return frame.size() == 133 && frame.startsWith(QByteArray::fromHex("0100FF"));
}

// Waits so short that a failing step ends within a few seconds, with room
// for a loaded machine (the simulator answers within milliseconds).
Waits ShortWaits()
{
    Waits waits;
    waits.nUserSavedProbeMs = 300;
    waits.nUserScanProbeMs = 300;
    waits.nUserCtrlReplyMs = 500;
    waits.nBootReplyMs = 600;
    waits.nBootReadyMs = 1500;
    return waits;
}

// A simulated device, a firmware image on disk, and a coordinator with a
// recorder of what it reports.
struct UpgradeRig
{
    QTemporaryDir dir;
    std::unique_ptr<SimulatedDevice> device;
    QByteArray content;
    QString sImagePath;

    bool Start(SimulatorOptions options, int nImageSize = 20000)
    {
        if (!dir.isValid()) {
            return false;
        }
        options.sImageDir = dir.filePath(QStringLiteral("received"));
        device = std::make_unique<SimulatedDevice>(options);
        QString sError;
        if (!device->Start(&sError)) {
            qWarning() << "simulated device:" << sError;
            return false;
        }
        content = RandomBytes(nImageSize, quint32(nImageSize));
        sImagePath = dir.filePath(QStringLiteral("firmware.bin"));
        QFile file(sImagePath);
        return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
    }
};

// What a coordinator reports: the transfer, the worker's results and the
// ends of its requests.
struct JobWatch
{
    explicit JobWatch(QSerialUser &user)
        : rec(&user)
        , results(&user, &QSerialUser::signal_SendResult)
        , finished(&user, &QSerialUser::signal_RequestFinished)
    {
    }
    TransmitRecorder rec;
    QSignalSpy results;
    QSignalSpy finished;
};

} // namespace

class QSerialUserTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        TestEnvironment::GuardSerialPorts();
        QVERIFY(m_logDir.isValid());
        m_startTime = QDateTime::currentDateTime();
        QVERIFY(Logging::InitLogIn(m_logDir.path(), m_startTime));
    }
    void init() { TestEnvironment::SetSerialPorts({}); }
    void cleanup() { WaitsForTesting::Reset(); }
    void cleanupTestCase() { spdlog::drop_all(); }

    // With the real waits: whatever the device runs, the image arrives byte
    // for byte, and the frames before the first block are the ones that
    // state needs.
    void upgradeFromEachState_data()
    {
        QTest::addColumn<int>("nState");
        QTest::addColumn<bool>("bRemembered");   // the port is the remembered one, none is listed
        QTest::addColumn<QList<QByteArray>>("leading");
        // Application firmware is asked what it runs before its boot command.
        QTest::newRow("application firmware")
            << int(State::Application) << false << QList<QByteArray>{kCtrlFrame, kVersionFrame, kSNFrame, kBootFrame};
        QTest::newRow("application firmware, remembered port")
            << int(State::Application) << true << QList<QByteArray>{kCtrlFrame, kVersionFrame, kSNFrame, kBootFrame};
        QTest::newRow("boot menu") << int(State::BootMenu) << false << QList<QByteArray>{kCtrlFrame, "1"};
        // The receiver is asked like any device; it takes the frame for noise.
        QTest::newRow("YMODEM receiver") << int(State::Ymodem) << false << QList<QByteArray>{kCtrlFrame};
        QTest::newRow("YMODEM receiver, remembered port") << int(State::Ymodem) << true << QList<QByteArray>{kCtrlFrame};
    }
    void upgradeFromEachState()
    {
        QFETCH(int, nState);
        QFETCH(bool, bRemembered);
        QFETCH(QList<QByteArray>, leading);
        SimulatorOptions options;
        options.initialState = State(nState);
        options.nCIntervalMs = 250;
        UpgradeRig rig;
        QVERIFY(rig.Start(options));
        QSerialUser user;
        if (bRemembered) {
            user.SetPortName(rig.device->PortPath());
        } else {
            TestEnvironment::SetSerialPorts({rig.device->PortPath()});
        }
        TransmitRecorder rec(&user);

        QVERIFY2(user.StartUpgrade(rig.sImagePath), qPrintable(user.ErrorMessage()));
        QCOMPARE(user.LastUpgradeFailure(), QSerialUser::FailureNone);
        QCOMPARE(user.PortName(), rig.device->PortPath());
        QVERIFY(rec.WaitForEnd(30000));
        QCOMPARE(rec.Statuses().first(), int(S::StatusOpening));
        QCOMPARE(rec.Final(), int(S::StatusDone));
        QCOMPARE(rec.Progress().last(), 100);
        CheckImageAfter(rig, leading);
        if (QTest::currentTestFailed()) {
            return;
        }
        QCOMPARE(rig.device->LineViolations(), QStringList());
    }

    // Where an information or export job found the device is where the next
    // upgrade looks first: a port listed before it is never touched.
    void upgradeTakesThePortAJobFound()
    {
        SimulatorOptions options;
        options.nCIntervalMs = 250;
        UpgradeRig rig;
        QVERIFY(rig.Start(options));
        SimulatorOptions silentOptions;
        silentOptions.bSilent = true;
        SimulatedDevice silent(silentOptions);
        QVERIFY(silent.Start());
        TestEnvironment::SetSerialPorts({rig.device->PortPath()});
        QSerialUser user;
        JobWatch watch(user);
        user.StartGetVersionAndSN();
        QVERIFY(watch.finished.wait(30000));
        TestEnvironment::SetSerialPorts({silent.PortPath(), rig.device->PortPath()});
        QVERIFY2(user.StartUpgrade(rig.sImagePath), qPrintable(user.ErrorMessage()));
        QVERIFY(watch.rec.WaitForEnd(30000));
        QCOMPARE(watch.rec.Final(), int(S::StatusDone));
        QVERIFY(silent.Frames().isEmpty());
    }

    // A step that fails ends the upgrade with false, tells which part failed,
    // writes its reason to the log and leaves the port free.
    void failingStepsGiveFalseAndTheirLogLine_data()
    {
        QTest::addColumn<QString>("sDevice");     // "": none, "silent", "no-boot-loader"
        QTest::addColumn<bool>("bRemembered");
        QTest::addColumn<int>("eFailure");
        QTest::addColumn<QString>("sMessage");
        QTest::newRow("listed port cannot be opened") << QString() << false << int(QSerialUser::FailureOpenPort)
                                                      << QStringLiteral("No serial port available");
        QTest::newRow("silent listed port") << QStringLiteral("silent") << false << int(QSerialUser::FailureOpenPort)
                                            << QStringLiteral("Failed to open serial port");
        QTest::newRow("silent remembered port") << QStringLiteral("silent") << true
                                                << int(QSerialUser::FailureOpenPort)
                                                << QStringLiteral("Failed to open serial port");
        QTest::newRow("boot loader never streams C")
            << QStringLiteral("no-boot-loader") << false << int(QSerialUser::FailureBootLoader)
            << QStringLiteral("EnterBootMode connect fail");
    }
    void failingStepsGiveFalseAndTheirLogLine()
    {
        QFETCH(QString, sDevice);
        QFETCH(bool, bRemembered);
        QFETCH(int, eFailure);
        QFETCH(QString, sMessage);
        WaitsForTesting::Set(ShortWaits());
        UpgradeRig rig;
        QString sPort = QStringLiteral("/nonexistent/kp-tty");
        if (!sDevice.isEmpty()) {
            SimulatorOptions options;
            options.bSilent = sDevice == QLatin1String("silent");
            options.nBootDelayMs = sDevice == QLatin1String("no-boot-loader") ? 60000 : options.nBootDelayMs;
            QVERIFY(rig.Start(options));
            sPort = rig.device->PortPath();
        }
        QSerialUser user;
        if (bRemembered) {
            user.SetPortName(sPort);
        } else {
            TestEnvironment::SetSerialPorts({sPort});
        }
        TransmitRecorder rec(&user);

        QVERIFY(!user.StartUpgrade(rig.dir.filePath(QStringLiteral("firmware.bin"))));
        QCOMPARE(int(user.LastUpgradeFailure()), eFailure);
        QCOMPARE(user.ErrorMessage(), sMessage);
        QCOMPARE(LastLogLine(), QStringLiteral("QSerialUser::StartUpgrade] ") + sMessage);
        QVERIFY(rec.Statuses().isEmpty());
        if (rig.device) {
            QVERIFY(rig.device->Images().isEmpty());
            QSerialPort other(sPort);
            QVERIFY2(other.open(QIODevice::ReadWrite), qPrintable(other.errorString()));
        }
    }

    // An empty firmware file is refused before the boot command, as an
    // unreadable one is: sent, it would be reported as an upgrade.
    void emptyFileIsRefusedBeforeTheBootCommand()
    {
        WaitsForTesting::Set(ShortWaits());
        UpgradeRig rig;
        QVERIFY(rig.Start(SimulatorOptions(), 0));
        TestEnvironment::SetSerialPorts({rig.device->PortPath()});
        QSerialUser user;
        TransmitRecorder rec(&user);
        QVERIFY(!user.StartUpgrade(rig.sImagePath));
        QCOMPARE(user.LastUpgradeFailure(), QSerialUser::FailureTransmit);
        QVERIFY2(user.ErrorMessage().endsWith(QStringLiteral("firmware.bin is empty")),
                 qPrintable(user.ErrorMessage()));
        QVERIFY(rec.Statuses().isEmpty());
        QCOMPARE(rig.device->Frames(), QList<QByteArray>{kCtrlFrame});
        QCOMPARE(rig.device->State(), State::Application);
    }

    // The boot loader counts as ready at its fourth "C": one that sends three
    // and falls silent is not waited into a transfer. Played on a bare
    // pseudo-terminal: the echoes of C0 and C955, then the "C"s 100 ms apart.
    void bootLoaderNeedsFourCs_data()
    {
        QTest::addColumn<int>("nCs");
        QTest::newRow("three") << 3;
        QTest::newRow("four") << 4;
    }
    void bootLoaderNeedsFourCs()
    {
        QFETCH(int, nCs);
        Waits waits = ShortWaits();
        waits.nBootStreamMs = 500;
        WaitsForTesting::Set(waits);
        QTemporaryDir dir;
        const QString sImage = dir.filePath(QStringLiteral("firmware.bin"));
        QFile image(sImage);
        QVERIFY(image.open(QIODevice::WriteOnly) && image.write(RandomBytes(2000, 3)) == 2000);
        image.close();
        PtyPeer peer;
        QVERIFY(peer.Open());
        TestEnvironment::SetSerialPorts({peer.SlavePath()});

        QByteArray received;
        int nSent = 0;
        QTimer cTimer;
        cTimer.setInterval(100);
        connect(&cTimer, &QTimer::timeout, this, [&]() {
            if (nSent++ < nCs) {
                peer.Write("C");
            }
        });
        QSocketNotifier notifier(peer.MasterFd(), QSocketNotifier::Read);
        connect(&notifier, &QSocketNotifier::activated, this, [&]() {
            received += peer.ReadAvailable();
            for (const QByteArray &frame : {kCtrlFrame, kBootFrame}) {
                if (received.endsWith(frame)) {
                    peer.Write(frame);
                    if (frame == kBootFrame) {
                        cTimer.start();
                    }
                }
            }
        });

        QSerialUser user;
        const bool bStarted = user.StartUpgrade(sImage);
        // Asked what it runs first, it answers nothing (and is asked nothing
        // more), and is upgraded all the same.
        QCOMPARE(received.left(18), kCtrlFrame + kVersionFrame + kBootFrame);
        QVERIFY(nSent >= nCs);
        QCOMPARE(bStarted, nCs >= 4);
        if (!bStarted) {
            QCOMPARE(user.LastUpgradeFailure(), QSerialUser::FailureBootLoader);
            QCOMPARE(user.ErrorMessage(), QStringLiteral("EnterBootMode connect fail"));
        }
    }

    // With the real waits (a 30 s boot loader wait): the device pulled as its
    // boot loader starts, before its fourth 'C', ends the wait at once.
    void deviceGoneDuringBootWaitFailsAtOnce()
    {
        UpgradeRig rig;
        QVERIFY(rig.Start(SimulatorOptions()));   // a 'C' every second
        TestEnvironment::SetSerialPorts({rig.device->PortPath()});
        QElapsedTimer sinceUnplug;
        connect(rig.device.get(), &SimulatedDevice::StateChanged, this, [&](int nState) {
            if (State(nState) == State::Ymodem) {
                rig.device->Unplug();
                sinceUnplug.start();
            }
        });
        QSerialUser user;
        QVERIFY(!user.StartUpgrade(rig.sImagePath));
        QVERIFY(sinceUnplug.isValid());
        QVERIFY2(sinceUnplug.elapsed() < 5000, qPrintable(QString::number(sinceUnplug.elapsed())));
        QCOMPARE(user.LastUpgradeFailure(), QSerialUser::FailureBootLoader);
        QCOMPARE(user.ErrorMessage(), QStringLiteral("EnterBootMode connect fail"));
        // The link saw the line go: a lost device, not one that missed its boot loader.
        QCOMPARE(user.LastUpgradeFailureKind(), FailureKind::DeviceLost);
    }

    // A start from inside the running upgrade's waits, and one during its
    // transfer, are refused and leave the running one alone.
    void secondStartWhileRunningIsRefused()
    {
        Waits waits = ShortWaits();
        waits.nBootReadyMs = 10000;
        WaitsForTesting::Set(waits);
        SimulatorOptions options;
        options.nCIntervalMs = 100;
        UpgradeRig rig;
        QVERIFY(rig.Start(options, 40000));
        TestEnvironment::SetSerialPorts({rig.device->PortPath()});
        QSerialUser user;
        TransmitRecorder rec(&user);
        QList<bool> nestedResults;
        QList<int> nestedFailures;
        const auto startAgain = [&]() {
            nestedResults << user.StartUpgrade(rig.sImagePath);
            nestedFailures << int(user.LastUpgradeFailure());
        };
        connect(rig.device.get(), &SimulatedDevice::FrameReceived, this, [&](const QByteArray &frame) {
            if (frame == kCtrlFrame) {
                startAgain();
            }
        });
        connect(&user, &QSerialUser::signal_TransmitProgress, this, [&](int nProgress) {
            if (nProgress > 0 && nestedResults.size() == 1) {
                startAgain();
            }
        });

        QVERIFY2(user.StartUpgrade(rig.sImagePath), qPrintable(user.ErrorMessage()));
        QVERIFY(rec.WaitForEnd(30000));
        QCOMPARE(rec.Final(), int(S::StatusDone));
        QCOMPARE(nestedResults, (QList<bool>{false, false}));
        QCOMPARE(nestedFailures, (QList<int>{QSerialUser::FailureBusy, QSerialUser::FailureBusy}));
        QTRY_COMPARE(rig.device->Images().size(), 1);
        QVERIFY(rig.device->Images().at(0).content == rig.content);
    }

    // An upgrade asked for while the worker still runs an information or
    // export request waits for that job's end, then runs and succeeds: on
    // the wire the job's frames come whole, before the upgrade's.
    void upgradeWaitsForTheRunningJob_data()
    {
        QTest::addColumn<int>("nFunction");
        QTest::addColumn<QList<QByteArray>>("leading");
        QTest::newRow("information, upgrade at its version")
            << int(DeviceCodes::FT_DeviceInfo)
            << QList<QByteArray>{kCtrlFrame, kVersionFrame, kSNFrame, kExitFrame, kCtrlFrame, kVersionFrame, kSNFrame,
                                 kBootFrame};
        QTest::newRow("export, upgrade at its first progress")
            << int(DeviceCodes::FT_ExportLog)
            << QList<QByteArray>{kCtrlFrame, kCountFrame,   kExportFrame, kCtrlFrame, kExitFrame,
                                 kCtrlFrame, kVersionFrame, kSNFrame,     kBootFrame};
    }
    void upgradeWaitsForTheRunningJob()
    {
        QFETCH(int, nFunction);
        QFETCH(QList<QByteArray>, leading);
        SimulatorOptions options;
        options.nCIntervalMs = 250;
        options.nRecordCount = 48;
        options.nStreamPauseEvery = 8;
        options.nStreamPauseMs = 200;
        UpgradeRig rig;
        QVERIFY(rig.Start(options));
        TestEnvironment::SetSerialPorts({rig.device->PortPath()});
        QSerialUser user;
        JobWatch watch(user);
        TransmitRecorder &rec = watch.rec;
        QSignalSpy &results = watch.results;
        QSignalSpy &finished = watch.finished;
        bool bAsked = false;
        bool bStarted = false;
        int nFinishedWhenAsked = -1;
        QElapsedTimer sinceAsked;
        qint64 nWaitedMs = -1;
        const auto startUpgrade = [&]() {
            bAsked = true;
            nFinishedWhenAsked = finished.count();
            sinceAsked.start();
            bStarted = user.StartUpgrade(rig.sImagePath);
            nWaitedMs = sinceAsked.elapsed();
        };
        qint64 nJobEndMs = -1;
        connect(&user, &QSerialUser::signal_RequestFinished, this, [&]() { nJobEndMs = sinceAsked.elapsed(); });
        const QString sReportDir = rig.dir.filePath(QStringLiteral("reports"));
        QVERIFY(QDir().mkpath(sReportDir));
        // Asked while the job runs: at the information's first value, at the
        // export's first progress.
        connect(&user, &QSerialUser::signal_SendResult, this,
                [&](int nFunctionType, int nResultType, bool bRet, const QString &sMes) {
                    const bool bInfo = nFunctionType == DeviceCodes::FT_DeviceInfo && nResultType == DeviceCodes::RT_Version;
                    const bool bExport = nFunctionType == DeviceCodes::FT_ExportLog
                                         && nResultType == DeviceCodes::RT_ExportLog && sMes != QLatin1String("Start");
                    if (!bAsked && bRet && (bInfo || bExport)) {
                        bAsked = true;
                        QTimer::singleShot(0, this, startUpgrade);
                    }
                });
        if (nFunction == DeviceCodes::FT_DeviceInfo) {
            user.StartGetVersionAndSN();
        } else {
            user.StartExportLogInfo(sReportDir);
        }

        QTRY_VERIFY_WITH_TIMEOUT(nWaitedMs >= 0, 60000);
        QVERIFY2(bStarted, qPrintable(user.ErrorMessage()));
        QVERIFY(rec.WaitForEnd(60000));
        qInfo() << "upgrade asked during the job; the job ended after" << nJobEndMs << "ms, StartUpgrade returned after" << nWaitedMs
                << "ms, transfer ended after"
                << sinceAsked.elapsed() << "ms";
        QCOMPARE(nFinishedWhenAsked, 0);
        QCOMPARE(finished.count(), 1);
        QCOMPARE(rec.Final(), int(S::StatusDone));
        CheckImageAfter(rig, leading);
        if (QTest::currentTestFailed()) {
            return;
        }

        // The job's own outcome: every report a success, its last one there.
        QStringList outcomes;
        for (const QList<QVariant> &args : results) {
            QVERIFY2(args.at(2).toBool(), qPrintable(args.at(3).toString()));
            outcomes << args.at(3).toString();
        }
        if (nFunction == DeviceCodes::FT_DeviceInfo) {
            QCOMPARE(outcomes, (QStringList{QStringLiteral("V1.10"), QStringLiteral("08123456")}));
        } else {
            QCOMPARE(outcomes.last(), QStringLiteral("End"));
            QCOMPARE(QDir(sReportDir).entryList(QDir::Files).size(), 1);
        }
    }

    // A request made while an upgrade is sent is held until the upgrade has
    // ended, then runs against the new firmware.
    void requestDuringUpgradeRunsAfterIt()
    {
        SimulatorOptions options;
        options.nCIntervalMs = 250;
        UpgradeRig rig;
        QVERIFY(rig.Start(options, 60000));
        TestEnvironment::SetSerialPorts({rig.device->PortPath()});
        QSerialUser user;
        JobWatch watch(user);
        bool bAsked = false;
        connect(&user, &QSerialUser::signal_TransmitProgress, this, [&](int nProgress) {
            if (nProgress > 0 && !bAsked) {
                bAsked = true;
                user.StartGetVersionAndSN();
            }
        });
        QVERIFY2(user.StartUpgrade(rig.sImagePath), qPrintable(user.ErrorMessage()));
        QVERIFY(watch.rec.WaitForEnd(60000));
        QCOMPARE(watch.rec.Final(), int(S::StatusDone));
        QVERIFY(bAsked);
        QTRY_COMPARE_WITH_TIMEOUT(watch.finished.count(), 1, 30000);
        QCOMPARE(watch.results.size(), 2);
        QCOMPARE(watch.results.at(0).at(3).toString(), QStringLiteral("V1.10"));
        QCOMPARE(watch.results.at(1).at(3).toString(), QStringLiteral("08123456"));
        QTRY_COMPARE(rig.device->Images().size(), 1);
        QVERIFY(rig.device->Images().at(0).content == rig.content);
    }

    // After a completed transfer the coordinator waits for the device to
    // answer as application firmware and reads its version: the new
    // firmware's, or none from a device that stays silent, which ends the
    // wait after nUpgradeAnswerMs without failing the upgrade. An information
    // request made during the transfer waits until that word is in.
    void upgradeEndsWithTheDevicesWord_data()
    {
        QTest::addColumn<bool>("bSilentAfter");   // the new firmware never answers C0
        QTest::addColumn<bool>("bAnswered");
        QTest::addColumn<QString>("sVersion");
        QTest::addColumn<QString>("sLogAnswer");  // the end of the "Job end" line (a pattern)
        QTest::addColumn<QList<QByteArray>>("heldFrames");   // the held request's, after the word
        QTest::addColumn<bool>("bReadyRead");   // false: bytes come only to reads of the program's own (Wine)
        const QString sAnswers = QStringLiteral("; the device answers as application firmware V1.11 after [0-9.]+ s$");
        const QList<QByteArray> wholeRequest{kCtrlFrame, kVersionFrame, kSNFrame, kExitFrame};
        QTest::newRow("new firmware answers") << false << true << QStringLiteral("V1.11") << sAnswers << wholeRequest
                                              << true;
        QTest::newRow("device never answers") << true << false << QString()
                                              << QStringLiteral("; the device has not answered as application "
                                                                "firmware within [0-9.]+ s \\(\\d+ looks; last: no "
                                                                "answer \\(EnterCtrlMode not received data\\)\\)$")
                                              << QList<QByteArray>{kCtrlFrame} << true;
        QTest::newRow("new firmware answers, readyRead unheard")
            << false << true << QStringLiteral("V1.11") << sAnswers << wholeRequest << false;
    }
    void upgradeEndsWithTheDevicesWord()
    {
        QFETCH(bool, bSilentAfter);
        QFETCH(bool, bAnswered);
        QFETCH(QString, sVersion);
        QFETCH(QString, sLogAnswer);
        QFETCH(QList<QByteArray>, heldFrames);
        QFETCH(bool, bReadyRead);
        ReadPoll::SetReadyReadForTesting(bReadyRead);
        const auto listenAgain = qScopeGuard([]() { ReadPoll::SetReadyReadForTesting(true); });
        Waits waits = ShortWaits();
        waits.nUpgradeAnswerMs = 1500;
        WaitsForTesting::Set(waits);
        SimulatorOptions options;
        options.nCIntervalMs = 250;
        options.nVersionMinor = 11;
        if (bSilentAfter) {
            // Found in its receiver, so that only the rebooted firmware is
            // asked for its control mode, and says nothing.
            options.initialState = State::Ymodem;
            options.bSilent = true;
            options.nFaultCommand = 0xC0;
        }
        UpgradeRig rig;
        QVERIFY(rig.Start(options, 60000));
        TestEnvironment::SetSerialPorts({rig.device->PortPath()});
        const int nLogStart = LogLines().size();
        QSerialUser user;
        JobWatch watch(user);
        QSignalSpy words(&user, &QSerialUser::signal_UpgradeVerified);
        QSignalSpy idle(&user, &QSerialUser::signal_Idle);
        bool bAsked = false;
        connect(&user, &QSerialUser::signal_TransmitProgress, this, [&](int nProgress) {
            if (nProgress > 0 && !bAsked) {
                bAsked = true;
                user.StartGetVersionAndSN();
            }
        });
        QElapsedTimer sinceDone;
        connect(&user, &QSerialUser::signal_TransmitStatus, this, [&](S::YmodemStatus status) {
            if (status == S::StatusDone) {
                sinceDone.start();
            }
        });
        qint64 nWordMs = -1;
        int nFramesAtWord = -1;
        int nIdleAtWord = -1;
        connect(&user, &QSerialUser::signal_UpgradeVerified, this, [&]() {
            nWordMs = sinceDone.elapsed();
            nFramesAtWord = rig.device->Frames().size();
            nIdleAtWord = idle.count();
        });

        QVERIFY2(user.StartUpgrade(rig.sImagePath), qPrintable(user.ErrorMessage()));
        QVERIFY(watch.rec.WaitForEnd(60000));
        QCOMPARE(watch.rec.Final(), int(S::StatusDone));
        QVERIFY(!user.IsIdle());
        QTRY_COMPARE_WITH_TIMEOUT(words.count(), 1, 10000);
        QCOMPARE(words.at(0).at(0).toBool(), bAnswered);
        QCOMPARE(words.at(0).at(1).toString(), sVersion);
        qInfo() << "the device's word came" << nWordMs << "ms after the transfer's end";
        if (!bAnswered) {
            QVERIFY2(nWordMs >= waits.nUpgradeAnswerMs - 100 && nWordMs < waits.nUpgradeAnswerMs + 1500,
                     qPrintable(QString::number(nWordMs)));
        }
        QCOMPARE(nIdleAtWord, 0);
        QTRY_COMPARE_WITH_TIMEOUT(watch.finished.count(), 1, 10000);
        QTRY_VERIFY(user.IsIdle());
        QCOMPARE(idle.count(), 1);
        QVERIFY(bAsked);
        QTRY_COMPARE(rig.device->Images().size(), 1);
        QVERIFY(rig.device->Images().at(0).content == rig.content);

        // On the line: the word's own look last before it, the held request
        // whole after it.
        const QList<QByteArray> frames = rig.device->Frames();
        if (bAnswered) {
            QCOMPARE(frames.mid(nFramesAtWord - 3, 3), (QList<QByteArray>{kCtrlFrame, kVersionFrame, kExitFrame}));
        } else {
            QCOMPARE(frames.at(nFramesAtWord - 1), kCtrlFrame);
        }
        QCOMPARE(frames.mid(nFramesAtWord), heldFrames);

        const QStringList ends = LogLines().mid(nLogStart).filter(QStringLiteral("] Job end: upgrade "));
        QCOMPARE(ends.size(), 1);
        const QString sPattern = QStringLiteral("] Job end: upgrade completed on %1 at 100 % after [0-9.]+ s")
                                     .arg(QRegularExpression::escape(rig.device->PortPath()))
                                 + sLogAnswer;
        QVERIFY2(QRegularExpression(sPattern).match(ends.first()).hasMatch(), qPrintable(ends.first()));
    }

    // Interrupt (the program stopping) ends the wait for the device's word
    // at once; the completed transfer stays completed.
    void interruptEndsTheWaitForTheDevicesWord()
    {
        WaitsForTesting::Set(ShortWaits());   // the word is awaited the full 20 s
        SimulatorOptions options;
        options.nCIntervalMs = 250;
        options.initialState = State::Ymodem;
        options.bSilent = true;
        options.nFaultCommand = 0xC0;
        UpgradeRig rig;
        QVERIFY(rig.Start(options));
        TestEnvironment::SetSerialPorts({rig.device->PortPath()});
        const int nLogStart = LogLines().size();
        QSerialUser user;
        TransmitRecorder rec(&user);
        QSignalSpy words(&user, &QSerialUser::signal_UpgradeVerified);
        QSignalSpy idle(&user, &QSerialUser::signal_Idle);
        bool bInterrupted = false;
        QElapsedTimer sinceInterrupt;
        connect(&user, &QSerialUser::signal_TransmitStatus, this, [&](S::YmodemStatus status) {
            if (status == S::StatusDone) {
                QTimer::singleShot(700, this, [&]() {
                    sinceInterrupt.start();
                    bInterrupted = user.Interrupt(QStringLiteral("SIGINT"));
                });
            }
        });
        QVERIFY2(user.StartUpgrade(rig.sImagePath), qPrintable(user.ErrorMessage()));
        QVERIFY(rec.WaitForEnd(30000));
        QCOMPARE(rec.Final(), int(S::StatusDone));
        QTRY_COMPARE_WITH_TIMEOUT(words.count(), 1, 10000);
        QVERIFY(bInterrupted);
        QVERIFY2(sinceInterrupt.elapsed() < 1000, qPrintable(QString::number(sinceInterrupt.elapsed())));
        QCOMPARE(words.at(0).at(0).toBool(), false);
        QCOMPARE(words.at(0).at(1).toString(), QString());
        QTRY_COMPARE(idle.count(), 1);
        const QStringList ends = LogLines().mid(nLogStart).filter(QStringLiteral("] Job end: upgrade "));
        QCOMPARE(ends.size(), 1);
        QVERIFY2(QRegularExpression(QStringLiteral("] Job end: upgrade completed on \\S+ at 100 % after [0-9.]+ s; the "
                                                   "device's answer was not awaited \\(interrupted by SIGINT\\)$"))
                     .match(ends.first())
                     .hasMatch(),
                 qPrintable(ends.first()));
    }

    // An export left while the device streams (the program is being
    // stopped): the device streams on, and a job asked for at once says that
    // it waits for the line, then succeeds, over the worker's link and the
    // upgrade's alike. With the program's own waits.
    void jobRightAfterAnInterruptedExportWaitsForTheStream_data()
    {
        QTest::addColumn<int>("nFunction");
        QTest::addColumn<bool>("bReadyRead");   // false: bytes come only to reads of the program's own (Wine)
        QTest::newRow("information") << int(DeviceCodes::FT_DeviceInfo) << true;
        QTest::newRow("export") << int(DeviceCodes::FT_ExportLog) << true;
        QTest::newRow("upgrade") << int(DeviceCodes::FT_Upgrade) << true;
        QTest::newRow("information, readyRead unheard") << int(DeviceCodes::FT_DeviceInfo) << false;
    }
    void jobRightAfterAnInterruptedExportWaitsForTheStream()
    {
        QFETCH(int, nFunction);
        QFETCH(bool, bReadyRead);
        ReadPoll::SetReadyReadForTesting(bReadyRead);
        const auto listenAgain = qScopeGuard([]() { ReadPoll::SetReadyReadForTesting(true); });
        SimulatorOptions options;
        options.nRecordCount = 3000;   // about 13 s on the paced line
        options.nBytesPerSecond = 11520;
        options.nCIntervalMs = 250;
        UpgradeRig rig;
        QVERIFY(rig.Start(options));
        TestEnvironment::SetSerialPorts({rig.device->PortPath()});
        QSerialUser user;
        JobWatch watch(user);
        QSignalSpy idle(&user, &QSerialUser::signal_Idle);
        const QString sReportDir = rig.dir.filePath(QStringLiteral("reports"));
        QVERIFY(QDir().mkpath(sReportDir));
        user.StartExportLogInfo(sReportDir);
        QTRY_VERIFY_WITH_TIMEOUT(watch.results.size() >= 2, 20000);   // "Start" and the first progress
        QVERIFY(user.Interrupt(QStringLiteral("test")));
        QVERIFY(idle.wait(10000));
        watch.results.clear();
        QVERIFY(QDir(sReportDir).removeRecursively() && QDir().mkpath(sReportDir));

        if (nFunction == DeviceCodes::FT_Upgrade) {
            QVERIFY2(user.StartUpgrade(rig.sImagePath), qPrintable(user.ErrorMessage()));
            QVERIFY(watch.rec.WaitForEnd(60000));
            QCOMPARE(watch.rec.Final(), int(S::StatusDone));
            QTRY_COMPARE(rig.device->Images().size(), 1);
            QVERIFY(rig.device->Images().at(0).content == rig.content);
        } else {
            if (nFunction == DeviceCodes::FT_DeviceInfo) {
                user.StartGetVersionAndSN();
            } else {
                user.StartExportLogInfo(sReportDir);
            }
            QVERIFY(watch.finished.wait(60000));
        }
        QList<QList<QVariant>> waits;
        QStringList values;
        for (const QList<QVariant> &args : qAsConst(watch.results)) {
            QCOMPARE(args.at(0).toInt(), nFunction);
            QVERIFY2(args.at(2).toBool(), qPrintable(args.at(3).toString()));
            if (args.at(1).toInt() == DeviceCodes::RT_LineBusy) {
                waits << args;
            } else if (args.at(1).toInt() != DeviceCodes::RT_ExportLog || !args.at(3).toString().at(0).isDigit()) {
                values << args.at(3).toString();
            }
        }
        QCOMPARE(waits.size(), 1);
        QVERIFY2(waits.first().at(3).toInt() > 10, qPrintable(waits.first().at(3).toString()));
        if (nFunction == DeviceCodes::FT_DeviceInfo) {
            QCOMPARE(values, (QStringList{QStringLiteral("V1.10"), QStringLiteral("08123456")}));
        } else if (nFunction == DeviceCodes::FT_ExportLog) {
            QCOMPARE(values.last(), QStringLiteral("End"));
            const QStringList reports = QDir(sReportDir).entryList({QStringLiteral("Report_*.csv")}, QDir::Files);
            QCOMPARE(reports.size(), 1);
            QFile report(QDir(sReportDir).filePath(reports.first()));
            QVERIFY(report.open(QIODevice::ReadOnly));
            QCOMPARE(report.readAll().count('\n'), options.nRecordCount);
        }
    }

    // A device that never stops sending: the job says that it waits, then
    // fails with its own reason within the bound, not as "no device".
    void deviceThatNeverStopsSendingFailsWithinTheBound_data()
    {
        QTest::addColumn<int>("nFunction");
        QTest::newRow("information") << int(DeviceCodes::FT_DeviceInfo);
        QTest::newRow("upgrade") << int(DeviceCodes::FT_Upgrade);
    }
    void deviceThatNeverStopsSendingFailsWithinTheBound()
    {
        QFETCH(int, nFunction);
        Waits waits = ShortWaits();
        waits.nBusyMaxMs = 3000;
        WaitsForTesting::Set(waits);
        SimulatorOptions options;
        options.nStreamingAtStart = SimulatorOptions::kEndless;
        options.nBytesPerSecond = 11520;
        UpgradeRig rig;
        QVERIFY(rig.Start(options));
        TestEnvironment::SetSerialPorts({rig.device->PortPath()});
        QSerialUser user;
        JobWatch watch(user);
        QElapsedTimer timer;
        timer.start();
        if (nFunction == DeviceCodes::FT_Upgrade) {
            QVERIFY(!user.StartUpgrade(rig.sImagePath));
            QCOMPARE(user.LastUpgradeFailure(), QSerialUser::FailureLineBusy);
        } else {
            user.StartGetVersionAndSN();
            QVERIFY(watch.finished.wait(30000));
        }
        const qint64 nElapsedMs = timer.elapsed();
        const QString sReason = QStringLiteral("The device keeps sending: its line did not fall quiet within 3 s");
        QCOMPARE(watch.results.size(), 2);
        QCOMPARE(watch.results.at(0), (QList<QVariant>{nFunction, int(DeviceCodes::RT_LineBusy), true, QStringLiteral("3")}));
        QCOMPARE(watch.results.at(1), (QList<QVariant>{nFunction, int(DeviceCodes::RT_LineBusy), false, sReason}));
        // The bound, from when the line was found busy, after one look at it.
        QVERIFY2(nElapsedMs >= 3000 && nElapsedMs < 8000, qPrintable(QString::number(nElapsedMs)));
        QVERIFY(rig.device->Images().isEmpty());
        QVERIFY2(LogLines().filter(sReason).size() >= 1, qPrintable(LastLogLine()));
    }

    // A port that another program holds is reported as in use, by the
    // upgrade and by the worker's requests alike, not as missing; the kind
    // names the port, so that the window can say which one.
    void heldPortIsReportedAsInUse()
    {
        WaitsForTesting::Set(ShortWaits());
        UpgradeRig rig;
        QVERIFY(rig.Start(SimulatorOptions()));
        QSerialPort holder(rig.device->PortPath());
        QVERIFY2(holder.open(QIODevice::ReadWrite), qPrintable(holder.errorString()));
        TestEnvironment::SetSerialPorts({rig.device->PortPath()});
        const QString sInUse = QStringLiteral("The serial port is in use by another program");
        QSerialUser user;
        QSignalSpy kinds(&user, &QSerialUser::signal_FailureKind);
        QVERIFY(!user.StartUpgrade(rig.sImagePath));
        QCOMPARE(user.LastUpgradeFailure(), QSerialUser::FailureOpenPort);
        const QList<QVariant> inUse{int(DeviceCodes::FT_Upgrade), int(DeviceCodes::RT_OpenPort),
                                    int(FailureKind::PortInUse), rig.device->PortPath()};
        QCOMPARE(kinds.value(0), inUse);
        QCOMPARE(user.ErrorMessage(), sInUse);
        QCOMPARE(LastLogLine(), QStringLiteral("QSerialUser::StartUpgrade] ") + sInUse);

        JobWatch watch(user);
        user.StartGetVersionAndSN();
        QVERIFY(watch.finished.wait(10000));
        QCOMPARE(watch.results.size(), 1);
        QCOMPARE(watch.results.at(0).at(0).toInt(), int(DeviceCodes::FT_DeviceInfo));
        QCOMPARE(watch.results.at(0).at(1).toInt(), int(DeviceCodes::RT_OpenPort));
        QCOMPARE(watch.results.at(0).at(3).toString(), sInUse);
        QCOMPARE(kinds.size(), 2);
        QCOMPARE(kinds.at(1).mid(2), inUse.mid(2));
        QVERIFY(rig.device->Frames().isEmpty());
    }

    // Every job leaves a line at its start and one at its end in the log,
    // in English, a transfer that fails after its start too.
    void jobsLeaveStartAndOutcomeLines()
    {
        UpgradeRig rig;
        SimulatorOptions options;
        options.nCIntervalMs = 250;
        options.nCancelAtBlock = 2;
        QVERIFY(rig.Start(options));
        const QString sPort = rig.device->PortPath();
        TestEnvironment::SetSerialPorts({sPort});
        // Support reads the log in English, whatever the interface speaks.
        QTranslator german;
        QVERIFY(german.load(QStringLiteral(":/translation/Language_de")));
        QCoreApplication::installTranslator(&german);
        const auto removeGerman = qScopeGuard([&german]() { QCoreApplication::removeTranslator(&german); });
        const int nLogStart = LogLines().size();
        QSerialUser user;
        JobWatch watch(user);
        const QString sReportDir = rig.dir.filePath(QStringLiteral("reports"));
        QVERIFY(QDir().mkpath(sReportDir));
        user.StartExportLogInfo(sReportDir);
        QVERIFY(watch.finished.wait(30000));
        const QStringList reports = QDir(sReportDir).entryList({QStringLiteral("Report_*.csv")}, QDir::Files);
        QCOMPARE(reports.size(), 1);
        const QString sReport = QDir::toNativeSeparators(QDir(sReportDir).filePath(reports.first()));
        const QString sMissing = rig.dir.filePath(QStringLiteral("missing.bin"));
        // Refused once the device's port is found: the next start names it.
        QVERIFY(!user.StartUpgrade(sMissing));
        // The window names the file alone; the log its whole path.
        QCOMPARE(user.ErrorMessage(), QStringLiteral("Die Firmware-Datei missing.bin kann nicht gelesen werden"));
        QVERIFY2(user.StartUpgrade(rig.sImagePath), qPrintable(user.ErrorMessage()));
        QVERIFY(watch.rec.WaitForEnd(60000));
        QCOMPARE(watch.rec.Final(), int(S::StatusCancelled));
        user.StartExportLogInfo(sReportDir);
        QVERIFY(watch.finished.wait(30000));

        QStringList jobLines = LogLines().mid(nLogStart).filter(QStringLiteral("] Job "));
        QCOMPARE(jobLines.size(), 8);
        QVERIFY2(jobLines.at(1).endsWith(QStringLiteral("] Job end: export succeeded on %1, file \"%2\" (%3 bytes)")
                                             .arg(sPort, sReport)
                                             .arg(QFileInfo(sReport).size())),
                 qPrintable(jobLines.at(1)));
        jobLines = jobLines.mid(2);
        const QString sUpgradeEnd =
            QStringLiteral("] Job end: upgrade cancelled by the device on %1 at \\d+ % after [0-9.]+ s$")
                .arg(QRegularExpression::escape(sPort));
        QCOMPARE(jobLines.size(), 6);
        QVERIFY2(QRegularExpression(QStringLiteral("] Job end: upgrade failed before the transfer \\(transfer not "
                                                   "started, port \\S+, after [0-9.]+ s\\): Cannot read the "
                                                   "firmware file %1$")
                                        .arg(QRegularExpression::escape(sMissing)))
                     .match(jobLines.at(1))
                     .hasMatch(),
                 qPrintable(jobLines.at(1)));
        jobLines = jobLines.mid(2);
        QVERIFY2(jobLines.at(0).endsWith(
                     QStringLiteral("] Job start: upgrade with \"%1\" (20000 bytes), port %2").arg(rig.sImagePath, sPort)),
                 qPrintable(jobLines.at(0)));
        QVERIFY2(QRegularExpression(sUpgradeEnd).match(jobLines.at(1)).hasMatch(), qPrintable(jobLines.at(1)));
        QVERIFY2(jobLines.at(2).endsWith(QStringLiteral("] Job start: export into \"%1\"").arg(sReportDir)),
                 qPrintable(jobLines.at(2)));
        // The cancelled transfer left the device in its boot loader.
        QVERIFY2(jobLines.at(3).endsWith(QStringLiteral("] Job end: export failed at step \"enter control mode\" on %1: "
                                                        "Please upgrade before proceeding")
                                             .arg(sPort)),
                 qPrintable(jobLines.at(3)));
    }

    // The whole image arrives, and the device comes back in its boot loader
    // (its receiver asking for a file again, or its menu) instead of
    // starting it: the upgrade failed, with a kind of its own, on the port.
    void deviceBackInItsBootLoaderFailsTheUpgrade_data()
    {
        QTest::addColumn<int>("nAfterImage");
        QTest::addColumn<bool>("bStopped");   // the program stopped during the wait, after the first look
        QTest::newRow("receiver") << int(State::Ymodem) << false;
        QTest::newRow("menu") << int(State::BootMenu) << false;
        QTest::newRow("receiver, the wait stopped") << int(State::Ymodem) << true;
    }
    void deviceBackInItsBootLoaderFailsTheUpgrade()
    {
        QFETCH(int, nAfterImage);
        QFETCH(bool, bStopped);
        Waits waits = ShortWaits();
        waits.nUpgradeAnswerMs = 1500;
        WaitsForTesting::Set(waits);
        SimulatorOptions options;
        options.nCIntervalMs = 250;
        options.afterImageState = State(nAfterImage);
        UpgradeRig rig;
        QVERIFY(rig.Start(options));
        TestEnvironment::SetSerialPorts({rig.device->PortPath()});
        const int nLogStart = LogLines().size();
        QSerialUser user;
        TransmitRecorder rec(&user);
        QSignalSpy words(&user, &QSerialUser::signal_UpgradeVerified);
        QSignalSpy kinds(&user, &QSerialUser::signal_FailureKind);
        if (bStopped) {
            connect(&user, &QSerialUser::signal_TransmitStatus, this, [&](S::YmodemStatus status) {
                if (status == S::StatusDone) {
                    QTimer::singleShot(700, this, [&]() { user.Interrupt(QStringLiteral("SIGINT")); });
                }
            });
        }
        QVERIFY2(user.StartUpgrade(rig.sImagePath), qPrintable(user.ErrorMessage()));
        QVERIFY(rec.WaitForEnd(60000));
        QCOMPARE(rec.Final(), int(S::StatusDone));
        QTRY_COMPARE_WITH_TIMEOUT(words.count(), 1, 10000);
        QCOMPARE(words.at(0).mid(0, 3), (QList<QVariant>{false, QString(), int(FailureKind::FirmwareNotStarted)}));
        QCOMPARE(kinds.count(), 1);
        QCOMPARE(kinds.at(0), (QList<QVariant>{int(DeviceCodes::FT_Upgrade), int(DeviceCodes::RT_StartTransmit),
                                               int(FailureKind::FirmwareNotStarted), rig.device->PortPath()}));
        QTRY_COMPARE(rig.device->Images().size(), 1);
        QVERIFY(rig.device->Images().at(0).content == rig.content);
        QCOMPARE(rig.device->State(), State(nAfterImage));
        const QStringList ends = LogLines().mid(nLogStart).filter(QStringLiteral("] Job end: upgrade "));
        QCOMPARE(ends.size(), 1);
        QVERIFY2(QRegularExpression(QStringLiteral("] Job end: upgrade failed, firmware not started: transfer completed "
                                                   "on \\S+ at 100 % after [0-9.]+ s; the device did not start the new "
                                                   "firmware: its boot loader answered [0-9.]+ s into the [0-9.]+ s wait"))
                     .match(ends.first())
                     .hasMatch(),
                 qPrintable(ends.first()));
    }

    // The device's word when its boot loader's receiver is heard on one
    // look only and the looks after it fall between two of its 'C's: seen
    // in the wait's last seconds, it is the last word (the upgrade failed);
    // seen long before the end, with silence since, the device may be
    // starting its firmware, and nothing is known.
    void bootLoaderHeardLateIsTheLastWord_data()
    {
        QTest::addColumn<int>("nRecentMs");
        QTest::addColumn<bool>("bBootLoader");
        QTest::newRow("heard within the last seconds") << 5000 << true;
        QTest::newRow("heard long before the end") << 300 << false;
    }
    void bootLoaderHeardLateIsTheLastWord()
    {
        QFETCH(int, nRecentMs);
        QFETCH(bool, bBootLoader);
        Waits waits = ShortWaits();
        waits.nUpgradeBootLoaderRecentMs = nRecentMs;
        WaitsForTesting::Set(waits);
        PtyPeer peer;
        QVERIFY(peer.Open());
        QByteArray received;
        int nLooks = 0;
        QSocketNotifier notifier(peer.MasterFd(), QSocketNotifier::Read);
        connect(&notifier, &QSocketNotifier::activated, this, [&]() {
            received += peer.ReadAvailable();
            while (received.contains(kCtrlFrame)) {
                received.remove(0, received.indexOf(kCtrlFrame) + kCtrlFrame.size());
                // Only the first look hears the receiver's 'C'.
                if (nLooks++ == 0) {
                    peer.Write("C");
                }
            }
        });
        DeviceLink link(DeviceLink::kCoordinatorWindows, "QSerialUser");
        DeviceCommands commands(link);
        link.SetPortName(peer.SlavePath());
        UpgradeCheck check(link, commands);
        const UpgradeCheck::Word word = check.Await(1500, false);
        QVERIFY2(word.nLooks >= 2, qPrintable(QString::number(word.nLooks)));
        QVERIFY(!word.bAnswered);
        QCOMPARE(word.bBootLoader, bBootLoader);
        QVERIFY(word.sSeen.startsWith(QLatin1String("no answer")));
    }

    // Stopped (the window's close answered "Close anyway", a signal) while
    // the device's answer to the control-mode command is awaited: nothing
    // more goes to the device, the boot command least of all; the
    // preparation ends as interrupted and the device still runs its
    // firmware, as the next job finds.
    void interruptAtTheControlModeEchoSendsNoBootCommand()
    {
        Waits waits = ShortWaits();
        // The echo is whole only after this much quiet: the stop lands
        // inside the wait, after the echo arrived.
        waits.nReplyQuietMs = 1500;
        WaitsForTesting::Set(waits);
        UpgradeRig rig;
        QVERIFY(rig.Start(SimulatorOptions()));
        TestEnvironment::SetSerialPorts({rig.device->PortPath()});
        QSerialUser user;
        JobWatch watch(user);
        bool bInterrupted = false;
        connect(rig.device.get(), &SimulatedDevice::FrameReceived, this, [&](const QByteArray &frame) {
            if (frame == kCtrlFrame && !bInterrupted) {
                QTimer::singleShot(300, this, [&]() { bInterrupted = user.Interrupt(QStringLiteral("test")); });
            }
        });
        const bool bStarted = user.StartUpgrade(rig.sImagePath);
        QVERIFY(bInterrupted);
        QTRY_VERIFY_WITH_TIMEOUT(user.IsIdle(), 30000);
        // The waits stay as set: the worker's thread reads them.
        user.StartGetVersionAndSN();
        QVERIFY(watch.finished.wait(30000));
        QVERIFY(!rig.device->Frames().contains(kBootFrame));
        QCOMPARE(rig.device->State(), State::Application);
        QVERIFY(!watch.results.isEmpty());
        QCOMPARE(watch.results.at(0), (QList<QVariant>{int(DeviceCodes::FT_DeviceInfo), int(DeviceCodes::RT_Version),
                                                       true, QStringLiteral("V1.10")}));
        QVERIFY(!bStarted);
        QCOMPARE(user.LastUpgradeFailure(), QSerialUser::FailureInterrupted);
        QCOMPARE(user.LastUpgradeFailureKind(), FailureKind::Interrupted);
        QVERIFY(!user.LastUpgradeBootSent());
    }

    // The kind of a failed transfer follows the block it ended on: NAKs of a
    // block that did arrive in the end (a receiver erasing its flash at the
    // start) say nothing about a cancel later, while a block refused until
    // the sender gives up is a noisy line.
    void transferFailureKindFollowsTheBlockItEndedOn_data()
    {
        QTest::addColumn<int>("nNakAtBlock");
        QTest::addColumn<int>("nNakTimes");
        QTest::addColumn<int>("nCancelAtBlock");
        QTest::addColumn<int>("nFinal");
        QTest::addColumn<int>("nKind");
        QTest::newRow("refusals early, then a cancel")
            << 1 << 3 << 5 << int(S::StatusCancelled) << int(FailureKind::ReceiverCancelled);
        QTest::newRow("refusals of the last block")
            << 3 << 1000 << int(SimulatorOptions::kNever) << int(S::StatusFailed) << int(FailureKind::NoisyLine);
    }
    void transferFailureKindFollowsTheBlockItEndedOn()
    {
        QFETCH(int, nNakAtBlock);
        QFETCH(int, nNakTimes);
        QFETCH(int, nCancelAtBlock);
        QFETCH(int, nFinal);
        QFETCH(int, nKind);
        Waits waits;
        waits.nYmodemMaxErrors = 4;   // the sender gives up on the fifth NAK of one block
        WaitsForTesting::Set(waits);
        SimulatorOptions options;
        options.initialState = State::Ymodem;
        options.nCIntervalMs = 250;
        options.nNakAtBlock = nNakAtBlock;
        options.nNakTimes = nNakTimes;
        options.nCancelAtBlock = nCancelAtBlock;
        UpgradeRig rig;
        QVERIFY(rig.Start(options));
        TestEnvironment::SetSerialPorts({rig.device->PortPath()});
        QSerialUser user;
        TransmitRecorder rec(&user);
        QSignalSpy kinds(&user, &QSerialUser::signal_FailureKind);

        QVERIFY2(user.StartUpgrade(rig.sImagePath), qPrintable(user.ErrorMessage()));
        QVERIFY(rec.WaitForEnd(60000));
        QCOMPARE(rec.Final(), nFinal);
        QCOMPARE(int(user.TransferFailureKind(S::YmodemStatus(rec.Final()))), nKind);
        QCOMPARE(kinds.count(), 1);
        QCOMPARE(kinds.at(0).at(1).toInt(), int(QSerialUser::RT_StartTransmit));
        QCOMPARE(kinds.at(0).at(2).toInt(), nKind);
    }

    // The boot loader takes the whole image and starts its new firmware on
    // the closing header, whose ACK is lost on the way: the transfer ends
    // completed within seconds (not after the 150 s of the transfer's
    // limits), the log says the closing header went unacknowledged, and the
    // device's own word then ends the upgrade. With the program's waits.
    void lostAckOfTheClosingHeaderEndsCompletedWithTheDevicesWord()
    {
        SimulatorOptions options;
        options.initialState = State::Ymodem;
        options.nCIntervalMs = 250;
        options.nVersionMinor = 11;
        options.bDropClosingAck = true;
        UpgradeRig rig;
        QVERIFY(rig.Start(options));
        TestEnvironment::SetSerialPorts({rig.device->PortPath()});
        const int nLogStart = LogLines().size();
        QSerialUser user;
        TransmitRecorder rec(&user);
        QSignalSpy words(&user, &QSerialUser::signal_UpgradeVerified);

        QElapsedTimer sinceStart;
        sinceStart.start();
        QVERIFY2(user.StartUpgrade(rig.sImagePath), qPrintable(user.ErrorMessage()));
        // Well inside the 150 s after which the transfer used to fail.
        QVERIFY(rec.WaitForEnd(60000));
        QCOMPARE(rec.Final(), int(S::StatusDone));
        qInfo() << "the transfer ended" << sinceStart.elapsed() << "ms after its start";
        QTRY_COMPARE(rig.device->Images().size(), 1);
        QVERIFY(rig.device->Images().at(0).content == rig.content);
        QTRY_COMPARE_WITH_TIMEOUT(words.count(), 1, 30000);
        QCOMPARE(words.at(0).at(0).toBool(), true);
        QCOMPARE(words.at(0).at(1).toString(), QStringLiteral("V1.11"));

        const QStringList ends = LogLines().mid(nLogStart).filter(QStringLiteral("] Job end: upgrade "));
        QCOMPARE(ends.size(), 1);
        const QString sPattern =
            QStringLiteral("] Job end: upgrade completed on %1 at 100 % after [0-9.]+ s \\(the receiver acknowledged "
                           "the end of the file, not the closing header\\); the device answers as application "
                           "firmware V1.11 after [0-9.]+ s$")
                .arg(QRegularExpression::escape(rig.device->PortPath()));
        QVERIFY2(QRegularExpression(sPattern).match(ends.first()).hasMatch(), qPrintable(ends.first()));
    }

    // The closing header's ACK lost, and the device silent after the
    // transfer: nothing confirms that it took the image, and the upgrade
    // is not reported as completed.
    void unconfirmedEndAndSilenceFailTheUpgrade()
    {
        Waits waits = ShortWaits();
        waits.nUpgradeAnswerMs = 1500;
        WaitsForTesting::Set(waits);
        SimulatorOptions options;
        options.initialState = State::Ymodem;
        options.nCIntervalMs = 250;
        options.bDropClosingAck = true;
        options.bSilent = true;
        options.nFaultCommand = 0xC0;
        UpgradeRig rig;
        QVERIFY(rig.Start(options));
        TestEnvironment::SetSerialPorts({rig.device->PortPath()});
        QSerialUser user;
        TransmitRecorder rec(&user);
        QSignalSpy words(&user, &QSerialUser::signal_UpgradeVerified);
        QSignalSpy kinds(&user, &QSerialUser::signal_FailureKind);
        QVERIFY2(user.StartUpgrade(rig.sImagePath), qPrintable(user.ErrorMessage()));
        QVERIFY(rec.WaitForEnd(60000));
        QCOMPARE(rec.Final(), int(S::StatusDone));
        QTRY_COMPARE_WITH_TIMEOUT(words.count(), 1, 30000);
        QCOMPARE(words.at(0).mid(0, 3), (QList<QVariant>{false, QString(), int(FailureKind::NotConfirmed)}));
        QCOMPARE(kinds.count(), 1);
        QCOMPARE(kinds.at(0).at(2).toInt(), int(FailureKind::NotConfirmed));
    }

private:
    QStringList LogLines() const
    {
        spdlog::default_logger()->flush();
        QFile file(Logging::LogFileName(m_logDir.path(), m_startTime));
        if (!file.open(QIODevice::ReadOnly)) {
            return {};
        }
        QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        for (QString &sLine : lines) {
            sLine = sLine.trimmed();
        }
        return lines;
    }

    // The image arrived byte for byte, and the frames before its header
    // block are exactly the leading ones.
    static void CheckImageAfter(const UpgradeRig &rig, const QList<QByteArray> &leading)
    {
        QTRY_COMPARE(rig.device->Images().size(), 1);
        QVERIFY(rig.device->Images().at(0).content == rig.content);
        const QList<QByteArray> frames = rig.device->Frames();
        QVERIFY(frames.size() > leading.size());
        QCOMPARE(frames.mid(0, leading.size()), leading);
        QVERIFY(IsHeaderBlock(frames.at(leading.size())));
    }

    // The last line of the diagnostic log from the function name on.
    QString LastLogLine() const
    {
        spdlog::default_logger()->flush();
        QFile file(Logging::LogFileName(m_logDir.path(), m_startTime));
        if (!file.open(QIODevice::ReadOnly)) {
            return QString();
        }
        const QList<QByteArray> lines = file.readAll().trimmed().split('\n');
        const QString sLast = QString::fromLocal8Bit(lines.last()).trimmed();
        const QRegularExpressionMatch match =
            QRegularExpression(QStringLiteral(R"(\[qserialuser\.cpp:\d+ (.*)$)")).match(sLast);
        return match.hasMatch() ? match.captured(1) : sLast;
    }

    QTemporaryDir m_logDir;
    QDateTime m_startTime;
};

QTEST_MAIN(QSerialUserTest)
#include "tst_qserialuser.moc"
