// The device command set against the simulated device: frames on the wire,
// reply judgments and decodings.

#include "device/commandframes.h"
#include "device/devicecommands.h"
#include "device/devicelink.h"
#include "devicerig.h"

#include <QtTest>

using namespace DeviceRig;

Q_DECLARE_METATYPE(SimulatorOptions)

namespace {

using State = SimulatorOptions::State;

SimulatorOptions Options(std::function<void(SimulatorOptions &)> shape)
{
    SimulatorOptions options;
    options.nBootDelayMs = 100;
    options.nCIntervalMs = 100;
    shape(options);
    return options;
}

} // namespace

class DeviceCommandsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { PrepareTestCase(); }

    void init() { PrepareShortWaits(3000); }

    void cleanupTestCase() { WaitsForTesting::Reset(); }

    // The information exchange with the program's own waits: found by the
    // scan, then version, serial number, record count and leaving control
    // mode, each over as soon as its reply is whole (the windows are 1000 ms
    // and more; none is sat out); then the found port opens again with one
    // control frame.
    void informationExchangeWithRealWaits()
    {
        WaitsForTesting::Reset();
        auto pDevice = Start(Options([](SimulatorOptions &o) {
            o.nVersionMajor = 2;
            o.nVersionMinor = 7;
            o.serialNumber = QByteArray::fromHex("A1B2C3D4E5");
            o.nSerialCountByte = 0x0A;
            o.sCountLabel = QStringLiteral("Records");
            o.nRecordCount = 37;
        }));
        QVERIFY(pDevice);
        TestEnvironment::SetSerialPorts({pDevice->PortPath()});
        DeviceLink link(DeviceLink::kWorkerWindows, "SerialWorker");
        DeviceCommands commands(link);

        QElapsedTimer timer;
        timer.start();
        QVERIFY(link.OpenSerialPort());
        QCOMPARE(link.DeviceMode(), int(DeviceCodes::ModeCtrl));
        QCOMPARE(link.PortName(), pDevice->PortPath());

        QString sVersion;
        QString sSN;
        QVERIFY(commands.GetVersion(sVersion));
        QCOMPARE(sVersion, QStringLiteral("V2.7"));
        QVERIFY(commands.GetSN(sSN));
        // The text starts at the count byte (0A): the device's own layout.
        QCOMPARE(sSN, QStringLiteral("0AA1B2C3D4"));
        int nCount = 0;
        QVERIFY(commands.GetLogInfoCount(nCount));
        QCOMPARE(nCount, 37);
        QVERIFY(commands.ExitCtrlMode());
        // Sitting out the windows took 6 s; the device answers within
        // milliseconds.
        QVERIFY2(timer.elapsed() < 2500, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(pDevice->Frames(),
                 (QList<QByteArray>{kCtrlFrame, kVersionFrame, kSNFrame, kCountFrame, kExitFrame}));
        link.SerialPort()->close();

        QVERIFY(link.OpenSerialPort());
        QCOMPARE(link.DeviceMode(), int(DeviceCodes::ModeCtrl));
        QCOMPARE(pDevice->Frames().size(), 6);
        QCOMPARE(pDevice->Frames().last(), kCtrlFrame);
    }

    // A reply ends once its content is whole and the line has then been
    // quiet: bytes that trail it stay with it rather than open the next
    // reply, and a number at the end of a reply, which may still grow, gets
    // the longer quiet time.
    void repliesEndWhenWhole_data()
    {
        QTest::addColumn<SimulatorOptions>("options");
        QTest::newRow("echo trailed by bytes like a version reply") << Options([](SimulatorOptions &o) {
            o.nFaultCommand = 0xC0;
            o.extraAfterEcho = QByteArray::fromHex("C80707CC0499");
            o.nSplitPieces = 2;   // the echo, then the six trailing bytes
            o.nSplitGapMs = 30;
        });
        QTest::newRow("record count cut inside its number") << Options([](SimulatorOptions &o) {
            o.nFaultCommand = 0xD1;
            o.sCountLabel = QStringLiteral("N");
            o.nRecordCount = 123456;
            o.nSplitPieces = 2;   // "N:12", then "3456"
            o.nSplitGapMs = 250;
        });
    }
    void repliesEndWhenWhole()
    {
        QFETCH(SimulatorOptions, options);
        Waits waits = Waits::Current();
        waits.nReplyMs = 1500;
        waits.nReplyQuietMs = 150;
        waits.nOpenEndQuietMs = 600;
        WaitsForTesting::Set(waits);
        auto pDevice = Start(options);
        QVERIFY(pDevice);
        DeviceLink link(DeviceLink::kWorkerWindows, "SerialWorker");
        DeviceCommands commands(link);
        QVERIFY(OpenOn(*pDevice, link));
        QVERIFY2(commands.EnterCtrlMode(), qPrintable(link.ErrorMessage()));
        QString sVersion;
        QString sSN;
        QVERIFY2(commands.GetVersion(sVersion), qPrintable(link.ErrorMessage()));
        QCOMPARE(sVersion, QStringLiteral("V1.10"));
        QVERIFY2(commands.GetSN(sSN), qPrintable(link.ErrorMessage()));
        QCOMPARE(sSN, QStringLiteral("08123456"));
        int nCount = 0;
        QVERIFY2(commands.GetLogInfoCount(nCount), qPrintable(link.ErrorMessage()));
        QCOMPARE(nCount, options.nRecordCount);
    }

    // Control mode: only the first twelve hex digits of the reply are the
    // echo; the boot loader's refusal counts wherever it stands.
    void enterCtrlModeJudgesReply_data()
    {
        QTest::addColumn<SimulatorOptions>("options");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("error");
        QTest::newRow("echo and more") << Options([](SimulatorOptions &o) { o.extraAfterEcho = "\x01\x02\x03"; })
                                       << int(DeviceCodes::ModeCtrl) << QString();
        QTest::newRow("echo in pieces") << Options([](SimulatorOptions &o) {
            o.nSplitPieces = 3;
            o.nSplitGapMs = 60;
        }) << int(DeviceCodes::ModeCtrl) << QString();
        QTest::newRow("refusal") << Options([](SimulatorOptions &o) { o.initialState = State::BootMenu; })
                                 << int(DeviceCodes::ModeBootMenu) << QString();
        QTest::newRow("refusal after other bytes") << Options([](SimulatorOptions &o) {
            o.initialState = State::BootMenu;
            o.garbageBeforeReply = QByteArray("\x00\xFF\x13", 3);
        }) << int(DeviceCodes::ModeBootMenu) << QString();
        QTest::newRow("a byte before the echo")
            << Options([](SimulatorOptions &o) { o.garbageBeforeReply = QByteArray(1, '\0'); })
            << int(DeviceCodes::ModeUnknown) << "EnterCtrlMode fail";
        QTest::newRow("wrong echo") << Options([](SimulatorOptions &o) { o.bWrongEcho = true; })
                                    << int(DeviceCodes::ModeUnknown) << "EnterCtrlMode fail";
        QTest::newRow("silent") << Options([](SimulatorOptions &o) { o.bSilent = true; })
                                << int(DeviceCodes::ModeUnknown) << "EnterCtrlMode not received data";
        // The device's answer is the echo itself, so a line that only echoes
        // passes here; the requests after it tell the two apart.
        QTest::newRow("an echoing line") << Options([](SimulatorOptions &o) { o.bEcho = true; })
                                         << int(DeviceCodes::ModeCtrl) << QString();
    }

    void enterCtrlModeJudgesReply()
    {
        QFETCH(SimulatorOptions, options);
        QFETCH(int, mode);
        QFETCH(QString, error);
        auto pDevice = Start(options);
        QVERIFY(pDevice);
        DeviceLink link(DeviceLink::kWorkerWindows, "SerialWorker");
        DeviceCommands commands(link);
        QVERIFY(OpenOn(*pDevice, link));
        QCOMPARE(commands.EnterCtrlMode(), error.isEmpty());
        QCOMPARE(link.DeviceMode(), mode);
        if (!error.isEmpty()) {
            QCOMPARE(link.ErrorMessage(), error);
        }
        QCOMPARE(pDevice->Frames(), QList<QByteArray>{kCtrlFrame});
        QVERIFY(link.SerialPort()->isOpen());
    }

    // A request fails when its reply is only its own frame coming back (a
    // loopback plug, an echoing line), and the version request also when the
    // reply lacks one of its two bytes (cut by the reply window).
    void requestsRefuseWhatIsNoReply_data()
    {
        QTest::addColumn<SimulatorOptions>("options");
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<QString>("error");
        QTest::addColumn<bool>("bOwnFrameBack");
        const SimulatorOptions echo = Options([](SimulatorOptions &o) { o.bEcho = true; });
        // The reply C8 01 0A in pieces nGapMs apart; the window is 1500 ms.
        const auto cutVersion = [](int nPieces, int nGapMs) {
            return Options([nPieces, nGapMs](SimulatorOptions &o) {
                o.nFaultCommand = 0xC8;
                o.nSplitPieces = nPieces;
                o.nSplitGapMs = nGapMs;
            });
        };
        QTest::newRow("version, echoing line") << echo << kVersionFrame << "GetVersion not received data" << true;
        QTest::newRow("serial number, echoing line") << echo << kSNFrame << "GetSN not received data" << true;
        QTest::newRow("record count, echoing line")
            << echo << kCountFrame << "GetLogInfoCount not received data" << true;
        // C8, then 01 0A after the window.
        QTest::newRow("version cut after C8") << cutVersion(2, 2000) << kVersionFrame << "GetVersion fail" << false;
        // C8, 01 within the window, 0A after it.
        QTest::newRow("version cut after the major") << cutVersion(3, 1000) << kVersionFrame << "GetVersion fail" << false;
    }

    void requestsRefuseWhatIsNoReply()
    {
        QFETCH(SimulatorOptions, options);
        QFETCH(QByteArray, frame);
        QFETCH(QString, error);
        QFETCH(bool, bOwnFrameBack);
        Waits waits = Waits::Current();
        waits.nReplyMs = 1500;
        WaitsForTesting::Set(waits);
        auto pDevice = Start(options);
        QVERIFY(pDevice);
        DeviceLink link(DeviceLink::kWorkerWindows, "SerialWorker");
        DeviceCommands commands(link);
        QVERIFY(OpenOn(*pDevice, link));
        QString sValue;
        int nCount = 0;
        // What the reply window took, from the command's trace.
        static QStringList s_replies;
        s_replies.clear();
        const QtMessageHandler previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &sMsg) {
            if (sMsg.contains(QLatin1String(" reply: "))) {
                s_replies << sMsg.section(QLatin1String(" reply: "), 1);
            }
        });
        const bool bRet = (frame == kVersionFrame) ? commands.GetVersion(sValue)
                          : (frame == kSNFrame)    ? commands.GetSN(sValue)
                                                   : commands.GetLogInfoCount(nCount);
        qInstallMessageHandler(previous);
        if (QByteArray(QTest::currentDataTag()).startsWith("version cut")) {
            const QString sTaken = QByteArray(QTest::currentDataTag()).endsWith("C8") ? QStringLiteral("C8")
                                                                                     : QStringLiteral("C801");
            QCOMPARE(s_replies, QStringList{sTaken});
        }
        QVERIFY2(!bRet, qPrintable(sValue));
        QCOMPARE(link.ErrorMessage(), error);
        QCOMPARE(commands.OwnFrameCameBack(), bOwnFrameBack);
        QCOMPARE(pDevice->Frames(), QList<QByteArray>{frame});
    }

    // Leaving control mode wants exactly the echo, nothing after it.
    void exitCtrlModeWantsExactEcho_data()
    {
        QTest::addColumn<SimulatorOptions>("options");
        QTest::addColumn<QString>("error");
        QTest::newRow("echo and more") << Options([](SimulatorOptions &o) { o.extraAfterEcho = "\r"; })
                                       << "ExitCtrlMode fail";
        QTest::newRow("silent") << Options([](SimulatorOptions &o) { o.bSilent = true; })
                                << "ExitCtrlMode not received data";
    }

    void exitCtrlModeWantsExactEcho()
    {
        QFETCH(SimulatorOptions, options);
        QFETCH(QString, error);
        auto pDevice = Start(options);
        QVERIFY(pDevice);
        DeviceLink link(DeviceLink::kWorkerWindows, "SerialWorker");
        DeviceCommands commands(link);
        QVERIFY(OpenOn(*pDevice, link));
        QCOMPARE(commands.ExitCtrlMode(), error.isEmpty());
        if (!error.isEmpty()) {
            QCOMPARE(link.ErrorMessage(), error);
        }
        QCOMPARE(pDevice->Frames(), QList<QByteArray>{kExitFrame});
    }

    // Into the boot loader: the C955 echo (a piece of it will do), then the
    // receiver's 'C's within the boot wait.
    void enterBootMode_data()
    {
        QTest::addColumn<SimulatorOptions>("options");
        QTest::addColumn<QString>("error");
        QTest::newRow("echo") << Options([](SimulatorOptions &) {}) << QString();
        // Only "C955" arrives within the reply window.
        QTest::newRow("first piece of the echo") << Options([](SimulatorOptions &o) {
            o.nSplitPieces = 3;
            o.nSplitGapMs = 1000;
        }) << QString();
        QTest::newRow("wrong echo") << Options([](SimulatorOptions &o) { o.bWrongEcho = true; })
                                    << "EnterBootMode fail";
        QTest::newRow("no C stream") << Options([](SimulatorOptions &o) { o.nCIntervalMs = 60000; })
                                     << "EnterBootMode connect fail";
    }

    void enterBootMode()
    {
        QFETCH(SimulatorOptions, options);
        QFETCH(QString, error);
        auto pDevice = Start(options);
        QVERIFY(pDevice);
        DeviceLink link(DeviceLink::kWorkerWindows, "SerialWorker");
        DeviceCommands commands(link);
        QVERIFY(OpenOn(*pDevice, link));
        QCOMPARE(commands.EnterBootMode(), error.isEmpty());
        QCOMPARE(link.BootReady(), error.isEmpty());
        if (!error.isEmpty()) {
            QCOMPARE(link.ErrorMessage(), error);
        }
        QCOMPARE(pDevice->Frames(), QList<QByteArray>{kBootFrame});
    }

    // From the boot menu: the single byte '1' (no frame, no check byte), any
    // answer, then the receiver's 'C's.
    void enterYmodemFromBootMenu()
    {
        auto pDevice = Start(Options([](SimulatorOptions &o) { o.initialState = State::BootMenu; }));
        QVERIFY(pDevice);
        DeviceLink link(DeviceLink::kWorkerWindows, "SerialWorker");
        DeviceCommands commands(link);
        QVERIFY(OpenOn(*pDevice, link));
        QVERIFY(commands.EnterYmodem());
        QVERIFY(link.BootReady());
        QCOMPARE(pDevice->Frames(), QList<QByteArray>{QByteArray(1, '\x31')});
        QCOMPARE(pDevice->State(), State::Ymodem);
    }

    // The export command goes out as its frame, without a reply window.
    void exportCommandFrame()
    {
        auto pDevice = Start();
        QVERIFY(pDevice);
        DeviceLink link(DeviceLink::kWorkerWindows, "SerialWorker");
        DeviceCommands commands(link);
        QVERIFY(OpenOn(*pDevice, link));
        QElapsedTimer timer;
        timer.start();
        QVERIFY(commands.SendExportCommand());
        QVERIFY2(timer.elapsed() < 400, qPrintable(QString::number(timer.elapsed())));
        QTRY_COMPARE(pDevice->Frames(), QList<QByteArray>{kExportFrame});
    }
};

QTEST_GUILESS_MAIN(DeviceCommandsTest)
#include "tst_devicecommands.moc"
