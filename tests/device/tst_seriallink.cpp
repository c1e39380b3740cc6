// Finding and opening the device's port, the boot-loader wait and a device
// that goes away, against the simulated device over pseudo-terminals.

#include "device/busyline.h"
#include "device/commandframes.h"
#include "device/devicecodes.h"
#include "device/devicecommands.h"
#include "device/devicelink.h"
#include "device/portlister.h"
#include "devicerig.h"
#include "simulator/pseudoterminal.h"

#include <QtTest>

#include <unistd.h>

using namespace DeviceRig;

namespace {

// A device whose boot loader waits for a transfer, with a 'C' every nMs.
SimulatorOptions BootLoaderStreaming(int nIntervalMs)
{
    SimulatorOptions options;
    options.initialState = SimulatorOptions::State::Ymodem;
    options.nCIntervalMs = nIntervalMs;
    return options;
}

} // namespace

class SerialLinkTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { PrepareTestCase(); }

    void init() { PrepareShortWaits(5000); }

    void cleanupTestCase() { WaitsForTesting::Reset(); }

    // Ports are tried in the listed order; the first that answers wins and
    // the ports after it are never touched.
    void scanOrderFirstAnswerWins()
    {
        SimulatorOptions silentOptions;
        silentOptions.bSilent = true;
        auto pSilent = Start(silentOptions);
        auto pFirst = Start();
        auto pSecond = Start();
        QVERIFY(pSilent && pFirst && pSecond);
        TestEnvironment::SetSerialPorts({QStringLiteral("/nonexistent/kp-tty"), pSilent->PortPath(),
                                         pFirst->PortPath(), pSecond->PortPath()});
        DeviceLink link(DeviceLink::kWorkerWindows, "SerialWorker");
        DeviceCommands commands(link);
        QVERIFY(link.OpenSerialPort());
        QCOMPARE(link.PortName(), pFirst->PortPath());
        QCOMPARE(link.DeviceMode(), int(DeviceCodes::ModeCtrl));
        QVERIFY(link.SerialPort()->isOpen());
        QCOMPARE(pSilent->Frames(), QList<QByteArray>{kCtrlFrame});
        QCOMPARE(pFirst->Frames(), QList<QByteArray>{kCtrlFrame});
        QVERIFY(pSecond->Frames().isEmpty());
    }

    // A port that opens but never answers: "Failed to open serial port", and
    // the port is released (another program can open it afterwards).
    void silentPortFailsAndIsReleased()
    {
        SimulatorOptions options;
        options.bSilent = true;
        auto pDevice = Start(options);
        QVERIFY(pDevice);
        TestEnvironment::SetSerialPorts({pDevice->PortPath()});
        DeviceLink link(DeviceLink::kWorkerWindows, "SerialWorker");
        DeviceCommands commands(link);
        QVERIFY(!link.OpenSerialPort());
        QCOMPARE(link.ErrorMessage(), QStringLiteral("Failed to open serial port"));
        QVERIFY(!link.SerialPort()->isOpen());
        QVERIFY(link.PortName().isEmpty());

        QSerialPort other(pDevice->PortPath());
        QVERIFY2(other.open(QIODevice::ReadWrite), qPrintable(other.errorString()));
    }

    // A device in its boot loader's receiver is taken by its 'C' on the
    // remembered port as on a scanned one. The remembered port used to need
    // four 'C's within a 500 ms to 1 s look while the receiver sends one a
    // second: it never passed, and with nothing listed the device was not
    // found at all.
    void ymodemStreamOnSavedAndScannedPort()
    {
        // The real windows (2 s): the shortened ones last exactly one period
        // of the receiver's 'C's, and a loaded machine may deliver a 'C' late.
        WaitsForTesting::Reset();
        auto pDevice = Start(BootLoaderStreaming(1000));
        QVERIFY(pDevice);
        {
            DeviceLink link(DeviceLink::kWorkerWindows, "SerialWorker");
            DeviceCommands commands(link);
            TestEnvironment::SetSerialPorts({pDevice->PortPath()});
            QVERIFY2(link.OpenSerialPort(), qPrintable(link.ErrorMessage()));
            QCOMPARE(link.DeviceMode(), int(DeviceCodes::ModeYmodem));
            QCOMPARE(link.PortName(), pDevice->PortPath());
            link.SerialPort()->close();
        }
        for (int nRound = 0; nRound < 2; ++nRound) {
            DeviceLink link(DeviceLink::kWorkerWindows, "SerialWorker");
            DeviceCommands commands(link);
            TestEnvironment::SetSerialPorts({});
            link.SetPortName(pDevice->PortPath());
            QElapsedTimer timer;
            timer.start();
            QVERIFY2(link.OpenSerialPort(), qPrintable(link.ErrorMessage()));
            QCOMPARE(link.DeviceMode(), int(DeviceCodes::ModeYmodem));
            QVERIFY(link.ReceiverAsking());
            // Its next 'C' is at most a second away.
            QVERIFY2(timer.elapsed() < 1500, qPrintable(QString::number(timer.elapsed())));
            link.SerialPort()->close();
        }
        // The receiver was never brought out of it by what it was sent.
        QCOMPARE(pDevice->State(), SimulatorOptions::State::Ymodem);
    }

    // Where a list names the ports, a port found earlier and no longer on it
    // is not opened: a pseudo-terminal's path is soon another program's line
    // (tests running side by side took each other's simulated devices).
    void rememberedPortOffTheListIsLeftAlone()
    {
        auto pFirst = Start();
        auto pSecond = Start();
        QVERIFY(pFirst && pSecond);
        DeviceLink link(DeviceLink::kWorkerWindows, "SerialWorker");
        DeviceCommands commands(link);
        TestEnvironment::SetSerialPorts({pFirst->PortPath()});
        QVERIFY(link.OpenSerialPort());
        link.SerialPort()->close();
        const int nFramesBefore = pFirst->Frames().size();
        TestEnvironment::SetSerialPorts({pSecond->PortPath()});
        QVERIFY2(link.OpenSerialPort(), qPrintable(link.ErrorMessage()));
        QCOMPARE(link.PortName(), pSecond->PortPath());
        QCOMPARE(pFirst->Frames().size(), nFramesBefore);
    }

    // Port names as technicians type them, as the program opens and compares
    // them: Qt on Windows opens a COM port only by an upper-case "COM" name,
    // and lists it without the "\\.\" prefix.
    void portNamesAsTechniciansTypeThem_data()
    {
        QTest::addColumn<QString>("sTyped");
        QTest::addColumn<QString>("sName");
        QTest::newRow("com10") << QStringLiteral("com10") << QStringLiteral("COM10");
        QTest::newRow("COM10") << QStringLiteral("COM10") << QStringLiteral("COM10");
        QTest::newRow("\\\\.\\COM10") << QStringLiteral("\\\\.\\COM10") << QStringLiteral("COM10");
        QTest::newRow("\\\\.\\com10") << QStringLiteral("\\\\.\\com10") << QStringLiteral("COM10");
        QTest::newRow("/dev/ttyUSB0") << QStringLiteral("/dev/ttyUSB0") << QStringLiteral("/dev/ttyUSB0");
        QTest::newRow("a name that only begins with com") << QStringLiteral("compass") << QStringLiteral("compass");
    }
    void portNamesAsTechniciansTypeThem()
    {
        QFETCH(QString, sTyped);
        QFETCH(QString, sName);
        QCOMPARE(PortLister::NormalName(sTyped), sName);
    }

    // The system's ports in the order they are tried: USB adapters (a
    // vendor known) first, where the device is, then modem and Bluetooth
    // ports, whose open may block; each group in the system's order.
    void usbAdaptersAreTriedFirst_data()
    {
        QTest::addColumn<QString>("sListed");   // "+" marks a USB adapter
        QTest::addColumn<QString>("sTried");
        QTest::newRow("no adapter") << QStringLiteral("COM1 COM2") << QStringLiteral("COM1 COM2");
        QTest::newRow("adapter after a modem") << QStringLiteral("COM1 COM3+") << QStringLiteral("COM3 COM1");
        QTest::newRow("two of each") << QStringLiteral("COM1 COM3+ COM4 COM5+")
                                     << QStringLiteral("COM3 COM5 COM1 COM4");
    }
    void usbAdaptersAreTriedFirst()
    {
        QFETCH(QString, sListed);
        QFETCH(QString, sTried);
        QList<PortLister::Port> listed;
        for (QString sName : sListed.split(QLatin1Char(' '))) {
            const bool bUsb = sName.endsWith(QLatin1Char('+'));
            sName.remove(QLatin1Char('+'));
            listed.append(PortLister::Port{sName, QStringLiteral("\\\\.\\") + sName, bUsb});
        }
        QStringList tried;
        for (const PortLister::Port &port : PortLister::InScanOrder(listed)) {
            tried << port.sPortName;
        }
        QCOMPARE(tried.join(QLatin1Char(' ')), sTried);
    }

    // What waits on the remembered port when it opens: a receiver's 'C's are
    // taken at once without a frame sent; text that merely holds 'C's (the
    // boot loader's banner) is not the receiver: the control-mode frame goes
    // out, and on a bare line nobody answers it.
    void savedPortJudgesWhatWaits_data()
    {
        QTest::addColumn<QByteArray>("waiting");
        QTest::addColumn<bool>("bReceiver");
        QTest::newRow("one C") << QByteArray("C") << true;
        QTest::newRow("a burst of C") << QByteArray("CCCC") << true;
        QTest::newRow("banner, then C") << QByteArray("(C) Kestrel Devices Corp.\r\nC") << true;
        QTest::newRow("banner") << QByteArray("(C) Kestrel Devices Corp.\r\n") << false;
    }
    void savedPortJudgesWhatWaits()
    {
        QFETCH(QByteArray, waiting);
        QFETCH(bool, bReceiver);
        PseudoTerminal line;
        QVERIFY(line.Open(nullptr));
        DeviceLink link(DeviceLink::kWorkerWindows, "SerialWorker");
        DeviceCommands commands(link);
        link.SetPortName(line.SlavePath());
        QCOMPARE(::write(line.MasterFd(), waiting.constData(), size_t(waiting.size())), ssize_t(waiting.size()));
        QCOMPARE(link.OpenSerialPort(), bReceiver);
        char buffer[16];
        if (bReceiver) {
            QCOMPARE(link.DeviceMode(), int(DeviceCodes::ModeYmodem));
            QCOMPARE(::read(line.MasterFd(), buffer, sizeof(buffer)), ssize_t(-1));
        } else {
            QCOMPARE(link.ErrorMessage(), QStringLiteral("Failed to open serial port"));
            QCOMPARE(::read(line.MasterFd(), buffer, sizeof(buffer)), ssize_t(kCtrlFrame.size()));
        }
    }

    // A device still streaming text made of "C"s (the letters of its
    // records): whatever byte the port's first look or the control-mode
    // window happens to end on, a "C" followed by more data is no boot
    // loader's receiver. The open waits for the stream, then finds the
    // application firmware.
    void streamOfCsIsNoReceiver()
    {
        SimulatorOptions options;
        // Record lines of capital Cs, about 1.7 s on the paced line.
        options.recordStream = QByteArray("CCCCCCCCCC CCCCCCCCC CCCCCCCCCC C\n").repeated(600);
        options.nStreamingAtStart = 1;
        options.nBytesPerSecond = 11520;
        auto pDevice = Start(options);
        QVERIFY(pDevice);
        DeviceLink link(DeviceLink::kWorkerWindows, "SerialWorker");
        DeviceCommands commands(link);
        link.SetPortName(pDevice->PortPath());
        QVERIFY2(link.OpenSerialPort(), qPrintable(link.ErrorMessage()));
        QCOMPARE(link.DeviceMode(), int(DeviceCodes::ModeCtrl));
    }

    // A device still sending the tail of an export that an earlier host
    // left, deaf to frames while it sends: the tail ends inside the first
    // control-mode window and the frame is lost in it. Named or found by
    // the scan, long tail or a few records, the port is asked again once
    // the line is quiet and the device is found.
    void recordTailEndingInTheWindowIsAskedAgain_data()
    {
        QTest::addColumn<bool>("bScanned");
        QTest::addColumn<int>("nRecords");
        QTest::addColumn<int>("nBytesPerSecond");
        QTest::addColumn<QByteArray>("records");   // empty: the simulator's own
        QTest::newRow("named port, long tail") << false << 100 << 11520 << QByteArray();   // about 0.4 s of 4.5 kB
        QTest::newRow("scanned port, long tail") << true << 100 << 11520 << QByteArray();
        QTest::newRow("named port, a few records") << false << 5 << 1000 << QByteArray();  // about 0.2 s of 225 bytes
        QTest::newRow("scanned port, a few records") << true << 5 << 1000 << QByteArray();
        // Blank lines and a damaged byte now and then: still the device's records.
        QTest::newRow("named port, blank lines and a damaged byte")
            << false << 200 << 11520
            << QByteArray("0001 2026-12-08 04:55:00 POWER_ON 217\n\n0002 2026-12-08 05:02:13 SELF_TEST_OK 254\n"
                          "0003 2026-12-08 05:09:26 TEMP_HIGH 2\x8C" "91\n0004 2026-12-08 05:16:39 VOLTAGE_LOW 238\n")
                   .repeated(40);
    }
    void recordTailEndingInTheWindowIsAskedAgain()
    {
        QFETCH(bool, bScanned);
        QFETCH(int, nRecords);
        QFETCH(int, nBytesPerSecond);
        QFETCH(QByteArray, records);
        SimulatorOptions options;
        options.recordStream = records;
        options.nStreamingAtStart = nRecords;
        options.nBytesPerSecond = nBytesPerSecond;
        options.bDeafWhileSending = true;
        auto pDevice = Start(options);
        QVERIFY(pDevice);
        DeviceLink link(DeviceLink::kWorkerWindows, "SerialWorker");
        DeviceCommands commands(link);
        if (bScanned) {
            TestEnvironment::SetSerialPorts({pDevice->PortPath()});
        } else {
            link.SetPortName(pDevice->PortPath());
        }
        QVERIFY2(link.OpenSerialPort(), qPrintable(link.Error().sEnglish));
        QCOMPARE(link.DeviceMode(), int(DeviceCodes::ModeCtrl));
        QCOMPARE(pDevice->Frames(), (QList<QByteArray>{kCtrlFrame, kCtrlFrame}));
    }

    // Something that talks on its own and is not this device (a GPS
    // receiver's NMEA sentences at 9600 baud): the open fails at once,
    // naming the port, instead of waiting for the line to fall quiet.
    void foreignTalkerIsNotTheDevice_data()
    {
        QTest::addColumn<bool>("bScanned");
        QTest::newRow("named port") << false;
        QTest::newRow("scanned port") << true;
    }
    void foreignTalkerIsNotTheDevice()
    {
        QFETCH(bool, bScanned);
        SimulatorOptions options;
        options.MakeForeignTalker();
        options.nBytesPerSecond = 960;
        auto pTalker = Start(options);
        QVERIFY(pTalker);
        DeviceLink link(DeviceLink::kWorkerWindows, "SerialWorker");
        DeviceCommands commands(link);
        if (bScanned) {
            TestEnvironment::SetSerialPorts({pTalker->PortPath()});
        } else {
            link.SetPortName(pTalker->PortPath());
        }
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!link.OpenSerialPort());
        QVERIFY2(timer.elapsed() < 5000, qPrintable(QString::number(timer.elapsed())));
        QVERIFY(!link.LineKeptBusy());
        QCOMPARE(link.Error().eKind, FailureKind::NotThisDevice);
        QCOMPARE(link.Error().sPort, pTalker->PortPath());
        QCOMPARE(link.Error().sEnglish,
                 QStringLiteral("Something on %1 answers that is not this device").arg(pTalker->PortPath()));
    }

    // What has the shape of the device's record lines, and what has not.
    void recordShape_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("bRecords");
        QTest::newRow("records") << QByteArray("0001 2026-12-08 04:55:00 POWER_ON 217\n0002 2026-12-08 05:02:13 "
                                               "SELF_TEST_OK 254\n") << true;
        QTest::newRow("cut at both ends, line feed and carriage return")
            << QByteArray("08 04:55:00 POWER_ON 217\n\r0002 2026-12-08 05:02:13 SELF_TEST_OK 254\n\r0003 2026")
            << true;
        QTest::newRow("an invalid record") << QByteArray("0001 a b\nAn invalid record.\n") << true;
        // The report takes these; so does the identification.
        QTest::newRow("blank lines and trailing blanks")
            << QByteArray("0001 a b \n\n0002 c d  \n\r\n\r0003 e f\n") << true;
        QTest::newRow("a byte damaged on the line")
            << QByteArray("0001 a b\n0002 c\x8C" " d\n0003 e f\n0004 g h\n") << true;
        QTest::newRow("no line end") << QByteArray("0001 2026-12-08 04:55:00 POWER_ON") << false;
        QTest::newRow("NMEA sentences")
            << QByteArray("$GPGGA,045500.00,4807.0380,N,01131.0000,E,1,08,0.9,545.4,M,46.9,M,,*4C\r\n$GPVTG,31.66,"
                          "T,,M,0.02,N,0.04,K,A*3F\r\n") << false;
        QTest::newRow("modem answers") << QByteArray("\r\nOK\r\n\r\nNO CARRIER\r\n") << false;
        QTest::newRow("one word a line") << QByteArray("x\nhello\nworld\n") << false;
        QTest::newRow("binary noise") << QByteArray::fromHex("00FF13C0AAAAAAAAD40A7F80010A") << false;
        QTest::newRow("double space") << QByteArray("a\n0001  POWER_ON\n") << false;
    }
    void recordShape()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, bRecords);
        QCOMPARE(BusyLine::LooksLikeRecords(bytes), bRecords);
    }

    // A boot wait that ran out leaves nothing listening on the port: bytes
    // that arrive afterwards stay in the port and reach the next reply.
    void timedOutBootWaitLeavesLaterBytesAlone()
    {
        Waits waits = Waits::Current();
        waits.nBootReadyMs = 300;
        WaitsForTesting::Set(waits);
        PseudoTerminal line;
        QVERIFY(line.Open(nullptr));
        DeviceLink link(DeviceLink::kWorkerWindows, "SerialWorker");
        DeviceCommands commands(link);
        link.SetPortName(line.SlavePath());
        link.CreateSerialPort();
        QVERIFY(link.SerialPort()->open(QIODevice::ReadWrite));
        QVERIFY(!link.WaitBootReady());

        QCOMPARE(::write(line.MasterFd(), "\xAB", 1), ssize_t(1));
        QTRY_COMPARE(link.SerialPort()->bytesAvailable(), qint64(1));
        QTimer::singleShot(50, [&line]() { QCOMPARE(::write(line.MasterFd(), "\xCD", 1), ssize_t(1)); });
        QCOMPARE(link.WaitReply(300), QStringLiteral("ABCD"));
    }

    // With the real waits, a 2000 ms reply window is never cut short (a
    // coarse timer ended it after 1901 to 1957 ms).
    void longReplyWindowIsNeverShorter()
    {
        WaitsForTesting::Reset();
        PseudoTerminal line;
        QVERIFY(line.Open(nullptr));
        DeviceLink link(DeviceLink::kWorkerWindows, "SerialWorker");
        DeviceCommands commands(link);
        link.SetPortName(line.SlavePath());
        link.CreateSerialPort();
        QVERIFY(link.SerialPort()->open(QIODevice::ReadWrite));
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!commands.EnterBootMode());
        const qint64 nElapsed = timer.elapsed();
        QCOMPARE(link.ErrorMessage(), QStringLiteral("EnterBootMode not received data"));
        QVERIFY2(nElapsed >= 2000 && nElapsed < 3000, qPrintable(QString::number(nElapsed)));
    }

    // The remembered port is gone (re-plugged under another name): the scan
    // finds the device and remembers the new path.
    void savedPortGoneScanFindsNewPath()
    {
        auto pDevice = Start();
        QVERIFY(pDevice);
        TestEnvironment::SetSerialPorts({pDevice->PortPath()});
        DeviceLink link(DeviceLink::kWorkerWindows, "SerialWorker");
        DeviceCommands commands(link);
        link.SetPortName(QStringLiteral("/nonexistent/kp-old-port"));
        QVERIFY(link.OpenSerialPort());
        QCOMPARE(link.PortName(), pDevice->PortPath());
        QCOMPARE(link.DeviceMode(), int(DeviceCodes::ModeCtrl));
    }

    // The boot loader's 'C's one per burst: four of them, counted over all
    // bursts, make it ready.
    void bootWaitCountsAcrossBursts()
    {
        auto pDevice = Start(BootLoaderStreaming(200));
        QVERIFY(pDevice);
        DeviceLink link(DeviceLink::kWorkerWindows, "SerialWorker");
        DeviceCommands commands(link);
        QVERIFY(OpenOn(*pDevice, link));
        QElapsedTimer timer;
        timer.start();
        QVERIFY(link.WaitBootReady());
        // At least three intervals between the first and the fourth 'C'.
        QVERIFY2(timer.elapsed() >= 550, qPrintable(QString::number(timer.elapsed())));
        QVERIFY(link.BootReady());
    }

    // The line is lost just as the fourth 'C' is counted (the port reports
    // its error from inside the ready signal, before the wait has returned):
    // there is no boot loader left to send to.
    void bootReadyWithLostLineIsNotReady()
    {
        auto pDevice = Start(BootLoaderStreaming(100));
        QVERIFY(pDevice);
        DeviceLink link(DeviceLink::kWorkerWindows, "SerialWorker");
        DeviceCommands commands(link);
        QVERIFY(OpenOn(*pDevice, link));
        QSerialPort *pPort = link.SerialPort();
        connect(&link, &DeviceLink::signal_ReadyReadQuit, pPort,
                [pPort]() { emit pPort->errorOccurred(QSerialPort::ResourceError); });
        QVERIFY(!link.WaitBootReady());
        QVERIFY(link.DeviceGone());
    }

    // The device goes away while a wait runs with the real waits: the wait
    // ends at once, the port is closed and the step fails; the thread does
    // not spin on the dead line's read errors afterwards.
    void deviceGoneEndsRealWaits_data()
    {
        QTest::addColumn<bool>("bootWait");
        QTest::newRow("reply wait 1000 ms") << false;
        QTest::newRow("boot wait 30000 ms") << true;
    }

    void deviceGoneEndsRealWaits()
    {
        QFETCH(bool, bootWait);
        WaitsForTesting::Reset();
        SimulatorOptions options;
        options.bSilent = !bootWait;
        options.initialState = bootWait ? SimulatorOptions::State::Ymodem : SimulatorOptions::State::Application;
        options.nCIntervalMs = 60000;
        auto pDevice = Start(options);
        QVERIFY(pDevice);
        DeviceLink link(DeviceLink::kWorkerWindows, "SerialWorker");
        DeviceCommands commands(link);
        QVERIFY(OpenOn(*pDevice, link));
        QSerialPort *pPort = link.SerialPort();
        QSignalSpy errors(pPort, &QSerialPort::errorOccurred);
        QTimer::singleShot(200, pDevice.get(), &SimulatedDevice::Unplug);

        const qint64 nCpuBefore = ThreadCpuMs();
        QElapsedTimer timer;
        timer.start();
        if (bootWait) {
            QVERIFY(!link.WaitBootReady());
        } else {
            QString sVersion;
            QVERIFY(!commands.GetVersion(sVersion));
            QCOMPARE(link.ErrorMessage(), QStringLiteral("GetVersion not received data"));
        }
        const qint64 nElapsed = timer.elapsed();
        const bool bClosed = !pPort->isOpen();
        QTest::qWait(500);
        const qint64 nCpu = ThreadCpuMs() - nCpuBefore;
        qDebug() << "returned after" << nElapsed << "ms; thread CPU" << nCpu << "ms over" << timer.elapsed()
                 << "ms; error reports" << errors.count();
        QVERIFY2(nElapsed < 800, qPrintable(QString::number(nElapsed)));
        QVERIFY(bClosed);
        QVERIFY(link.DeviceGone());
        QVERIFY2(nCpu < 400, qPrintable(QString::number(nCpu)));
        QVERIFY2(errors.count() < 20, qPrintable(QString::number(errors.count())));

        // The next command fails at once instead of writing to a dead line.
        QVERIFY(!commands.EnterCtrlMode());
        QCOMPARE(link.ErrorMessage(), QStringLiteral("EnterCtrlMode send fail"));
    }
};

QTEST_GUILESS_MAIN(SerialLinkTest)
#include "tst_seriallink.moc"
