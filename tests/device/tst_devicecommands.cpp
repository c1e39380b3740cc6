// The device command set against the simulated device: frames on the wire,
// reply judgments and decodings.

#include "device/serialworker.h"
#include "devicerig.h"

#include <QtTest>

using namespace DeviceRig;

class DeviceCommandsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { PrepareTestCase(); }

    void init() { PrepareShortWaits(3000); }

    void cleanupTestCase() { WaitsForTesting::Reset(); }

    // The information exchange with the program's own waits: found by the
    // scan, then version, serial number, record count and leaving control
    // mode, every reply window lasting its full 1000 ms; then the saved port
    // is found again with nothing listed.
    void informationExchangeWithRealWaits()
    {
        WaitsForTesting::Reset();
        SimulatorOptions options;
        options.nVersionMajor = 2;
        options.nVersionMinor = 7;
        options.serialNumber = QByteArray::fromHex("A1B2C3D4E5");
        options.sCountLabel = QStringLiteral("Records");
        options.nRecordCount = 37;
        auto pDevice = Start(options);
        QVERIFY(pDevice);
        TestEnvironment::SetSerialPorts({pDevice->PortPath()});
        SerialWorker worker;

        QElapsedTimer timer;
        timer.start();
        QVERIFY(worker.OpenSerialPort());
        // The probe waits its full 1000 ms on a quiet device, the reply too.
        QVERIFY2(timer.elapsed() >= 1950, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(worker.DeviceMode(), int(SerialWorker::ModeCtrl));
        QCOMPARE(worker.PortName(), pDevice->PortPath());

        QString sVersion;
        QString sSN;
        timer.restart();
        QVERIFY(worker.GetVersion(sVersion));
        QVERIFY2(timer.elapsed() >= 990, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(sVersion, QStringLiteral("V2.7"));
        QVERIFY(worker.GetSN(sSN));
        QCOMPARE(sSN, QStringLiteral("0AA1B2C3D4"));
        QVERIFY(worker.GetLogInfoCount());
        QCOMPARE(worker.LogInfoCount(), 37);
        QVERIFY(worker.ExitCtrlMode());
        QCOMPARE(pDevice->Frames(),
                 (QList<QByteArray>{kCtrlFrame, kVersionFrame, kSNFrame, kCountFrame, kExitFrame}));
        worker.SerialPort()->close();

        TestEnvironment::SetSerialPorts({});
        QVERIFY(worker.OpenSerialPort());
        QCOMPARE(worker.DeviceMode(), int(SerialWorker::ModeCtrl));
        QCOMPARE(pDevice->Frames().size(), 6);
        QCOMPARE(pDevice->Frames().last(), kCtrlFrame);
    }

    // Control mode: only the first twelve hex digits of the reply are the
    // echo; the boot loader's refusal counts wherever it stands.
    void enterCtrlModeJudgesReply_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<QByteArray>("garbage");
        QTest::addColumn<QByteArray>("extra");
        QTest::addColumn<bool>("wrongEcho");
        QTest::addColumn<int>("splitPieces");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("error");
        const int nApp = int(SimulatorOptions::State::Application);
        const int nMenu = int(SimulatorOptions::State::BootMenu);
        QTest::newRow("echo") << nApp << QByteArray() << QByteArray() << false << 0 << true
                              << int(SerialWorker::ModeCtrl) << QString();
        QTest::newRow("echo and more") << nApp << QByteArray() << QByteArray("\x01\x02\x03") << false << 0 << true
                                       << int(SerialWorker::ModeCtrl) << QString();
        QTest::newRow("echo in pieces") << nApp << QByteArray() << QByteArray() << false << 3 << true
                                        << int(SerialWorker::ModeCtrl) << QString();
        QTest::newRow("refusal") << nMenu << QByteArray() << QByteArray() << false << 0 << true
                                 << int(SerialWorker::ModeBootMenu) << QString();
        QTest::newRow("refusal after other bytes") << nMenu << QByteArray("\x00\xFF\x13", 3) << QByteArray() << false
                                                   << 0 << true << int(SerialWorker::ModeBootMenu) << QString();
        QTest::newRow("bytes before the echo") << nApp << QByteArray("\x00", 1) << QByteArray() << false << 0 << false
                                               << int(SerialWorker::ModeUnknown) << "EnterCtrlMode fail";
        QTest::newRow("wrong echo") << nApp << QByteArray() << QByteArray() << true << 0 << false
                                    << int(SerialWorker::ModeUnknown) << "EnterCtrlMode fail";
    }

    void enterCtrlModeJudgesReply()
    {
        QFETCH(int, state);
        QFETCH(QByteArray, garbage);
        QFETCH(QByteArray, extra);
        QFETCH(bool, wrongEcho);
        QFETCH(int, splitPieces);
        QFETCH(bool, ok);
        QFETCH(int, mode);
        QFETCH(QString, error);
        SimulatorOptions options;
        options.initialState = SimulatorOptions::State(state);
        options.garbageBeforeReply = garbage;
        options.extraAfterEcho = extra;
        options.bWrongEcho = wrongEcho;
        options.nSplitPieces = splitPieces;
        options.nSplitGapMs = 60;
        auto pDevice = Start(options);
        QVERIFY(pDevice);
        SerialWorker worker;
        QVERIFY(OpenOn(*pDevice, worker));
        QCOMPARE(worker.EnterCtrlMode(), ok);
        QCOMPARE(worker.DeviceMode(), mode);
        if (!ok) {
            QCOMPARE(worker.ErrorMessage(), error);
        }
        QCOMPARE(pDevice->Frames(), QList<QByteArray>{kCtrlFrame});
        QVERIFY(worker.SerialPort()->isOpen());
    }

    // Leaving control mode wants exactly the echo, nothing after it.
    void exitCtrlModeWantsExactEcho_data()
    {
        QTest::addColumn<bool>("silent");
        QTest::addColumn<QByteArray>("extra");
        QTest::addColumn<bool>("wrongEcho");
        QTest::addColumn<QString>("error");
        QTest::newRow("echo") << false << QByteArray() << false << QString();
        QTest::newRow("echo and more") << false << QByteArray("\x0D", 1) << false << "ExitCtrlMode fail";
        QTest::newRow("wrong echo") << false << QByteArray() << true << "ExitCtrlMode fail";
        QTest::newRow("silent") << true << QByteArray() << false << "ExitCtrlMode not received data";
    }

    void exitCtrlModeWantsExactEcho()
    {
        QFETCH(bool, silent);
        QFETCH(QByteArray, extra);
        QFETCH(bool, wrongEcho);
        QFETCH(QString, error);
        SimulatorOptions options;
        options.bSilent = silent;
        options.extraAfterEcho = extra;
        options.bWrongEcho = wrongEcho;
        auto pDevice = Start(options);
        QVERIFY(pDevice);
        SerialWorker worker;
        QVERIFY(OpenOn(*pDevice, worker));
        QCOMPARE(worker.ExitCtrlMode(), error.isEmpty());
        if (!error.isEmpty()) {
            QCOMPARE(worker.ErrorMessage(), error);
        }
        QCOMPARE(pDevice->Frames(), QList<QByteArray>{kExitFrame});
    }

    // A silent device: each command fails with its own no-reply text.
    void silentDeviceNoReplyTexts()
    {
        SimulatorOptions options;
        options.bSilent = true;
        auto pDevice = Start(options);
        QVERIFY(pDevice);
        SerialWorker worker;
        QVERIFY(OpenOn(*pDevice, worker));
        QString sText = QStringLiteral("untouched");
        QVERIFY(!worker.EnterCtrlMode());
        QCOMPARE(worker.ErrorMessage(), QStringLiteral("EnterCtrlMode not received data"));
        QCOMPARE(worker.DeviceMode(), int(SerialWorker::ModeUnknown));
        QVERIFY(!worker.GetVersion(sText));
        QCOMPARE(worker.ErrorMessage(), QStringLiteral("GetVersion not received data"));
        QVERIFY(!worker.GetSN(sText));
        QCOMPARE(worker.ErrorMessage(), QStringLiteral("GetSN not received data"));
        QCOMPARE(sText, QStringLiteral("untouched"));
        QVERIFY(!worker.GetLogInfoCount());
        QCOMPARE(worker.ErrorMessage(), QStringLiteral("GetLogInfoCount not received data"));
        QCOMPARE(worker.LogInfoCount(), 0);
        QVERIFY(!worker.EnterBootMode());
        QCOMPARE(worker.ErrorMessage(), QStringLiteral("EnterBootMode not received data"));
        QCOMPARE(pDevice->Frames(), (QList<QByteArray>{kCtrlFrame, kVersionFrame, kSNFrame, kCountFrame, kBootFrame}));
        QVERIFY(worker.SerialPort()->isOpen());
    }

    // Serial-number count bytes that do not fit the reply: the text is what
    // the reply holds, nothing crashes.
    void serialNumberCountByte_data()
    {
        QTest::addColumn<int>("countByte");
        QTest::addColumn<QString>("sn");
        QTest::newRow("zero") << 0 << "";
        QTest::newRow("beyond the reply") << 0xFF << "FF08123456";
        QTest::newRow("odd") << 3 << "030";
    }

    void serialNumberCountByte()
    {
        QFETCH(int, countByte);
        QFETCH(QString, sn);
        SimulatorOptions options;
        options.nSerialCountByte = countByte;
        auto pDevice = Start(options);
        QVERIFY(pDevice);
        SerialWorker worker;
        QVERIFY(OpenOn(*pDevice, worker));
        QString sSN = QStringLiteral("untouched");
        QVERIFY(worker.GetSN(sSN));
        QCOMPARE(sSN, sn);
    }

    // Into the boot loader from the application: the C955 echo, then the
    // receiver's 'C's.
    void enterBootMode()
    {
        SimulatorOptions options;
        options.nBootDelayMs = 100;
        options.nCIntervalMs = 100;
        auto pDevice = Start(options);
        QVERIFY(pDevice);
        SerialWorker worker;
        QVERIFY(OpenOn(*pDevice, worker));
        QVERIFY(worker.EnterBootMode());
        QVERIFY(worker.BootReady());
        QCOMPARE(pDevice->Frames(), QList<QByteArray>{kBootFrame});
        QCOMPARE(pDevice->State(), SimulatorOptions::State::Ymodem);
    }

    // The echo comes but the receiver's 'C's do not within the boot wait.
    void enterBootModeBootLoaderNotReady()
    {
        Waits waits = Waits::Current();
        waits.nBootReadyMs = 1000;
        WaitsForTesting::Set(waits);
        SimulatorOptions options;
        options.nBootDelayMs = 100;
        options.nCIntervalMs = 60000;
        auto pDevice = Start(options);
        QVERIFY(pDevice);
        SerialWorker worker;
        QVERIFY(OpenOn(*pDevice, worker));
        QVERIFY(!worker.EnterBootMode());
        QCOMPARE(worker.ErrorMessage(), QStringLiteral("EnterBootMode connect fail"));
        QVERIFY(!worker.BootReady());
    }

    // From the boot menu: the single byte '1' (no frame, no check byte), any
    // answer, then the receiver's 'C's.
    void enterYmodemFromBootMenu()
    {
        SimulatorOptions options;
        options.initialState = SimulatorOptions::State::BootMenu;
        options.nCIntervalMs = 100;
        auto pDevice = Start(options);
        QVERIFY(pDevice);
        SerialWorker worker;
        QVERIFY(OpenOn(*pDevice, worker));
        QVERIFY(worker.EnterYmodem());
        QVERIFY(worker.BootReady());
        QCOMPARE(pDevice->Frames(), QList<QByteArray>{QByteArray(1, '\x31')});
        QCOMPARE(pDevice->State(), SimulatorOptions::State::Ymodem);
    }

    void enterYmodemSilentMenu()
    {
        SimulatorOptions options;
        options.initialState = SimulatorOptions::State::BootMenu;
        options.bSilent = true;
        auto pDevice = Start(options);
        QVERIFY(pDevice);
        SerialWorker worker;
        QVERIFY(OpenOn(*pDevice, worker));
        QVERIFY(!worker.EnterYmodem());
        QCOMPARE(worker.ErrorMessage(), QStringLiteral("EnterYmodem not received data"));
    }

    // The export command goes out as its frame, without a reply window.
    void exportCommandFrame()
    {
        auto pDevice = Start();
        QVERIFY(pDevice);
        SerialWorker worker;
        QVERIFY(OpenOn(*pDevice, worker));
        QElapsedTimer timer;
        timer.start();
        worker.ExportLogInfo(QDir::tempPath());
        QVERIFY2(timer.elapsed() < 400, qPrintable(QString::number(timer.elapsed())));
        QTRY_COMPARE(pDevice->Frames(), QList<QByteArray>{kExportFrame});
    }
};

QTEST_GUILESS_MAIN(DeviceCommandsTest)
#include "tst_devicecommands.moc"
