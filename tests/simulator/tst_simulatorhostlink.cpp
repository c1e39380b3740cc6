// The line settings a host gives its port, as the simulated device judges
// them: the program's own serial link and firmware transmitter keep to the
// device's 115200 baud 8N1 without flow control, and a host that does not is
// caught.

#include "device/commandframes.h"
#include "device/devicecodes.h"
#include "device/devicecommands.h"
#include "device/devicelink.h"
#include "hostline.h"
#include "simulator/pseudoterminal.h"
#include "simulator/simulateddevice.h"
#include "support/testenvironment.h"
#include "transfer/ymodemfiletransmit.h"

#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

namespace {
const QByteArray kEnterCtrl = QByteArray::fromHex("C0AAAAAAAAD4");
}

class TestSimulatorHostLink : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { TestEnvironment::GuardSerialPorts(); }

    void programLinkAndTransmitterKeepLineSettings();
    void plainHostWithWrongSettingsIsRecorded_data();
    void plainHostWithWrongSettingsIsRecorded();
    void settingDifferences_data();
    void settingDifferences();
};

void TestSimulatorHostLink::programLinkAndTransmitterKeepLineSettings()
{
    SimulatorOptions options;
    options.nCIntervalMs = 100;
    // The banner, with its own capital Cs, comes after the boot command's
    // reply window (2000 ms), so the boot wait counts its "C"s behind it.
    options.bBootBanner = true;
    options.nBootDelayMs = 2500;
    SimulatedDevice device(options);
    QVERIFY(device.Start());
    TestEnvironment::SetSerialPorts({device.PortPath()});

    DeviceLink link(DeviceLink::kWorkerWindows, "SerialWorker");
    DeviceCommands commands(link);
    link.SetPortName(device.PortPath());
    QVERIFY2(link.OpenSerialPort(), qPrintable(link.ErrorMessage()));
    QCOMPARE(link.DeviceMode(), int(DeviceCodes::ModeCtrl));
    QString sVersion;
    QVERIFY2(commands.GetVersion(sVersion), qPrintable(link.ErrorMessage()));
    QCOMPARE(sVersion, QStringLiteral("V1.10"));
    QVERIFY2(commands.EnterBootMode(), qPrintable(link.ErrorMessage()));
    link.SerialPort()->close();
    QCOMPARE(device.State(), SimulatorOptions::State::Ymodem);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QByteArray image(5000, '\0');
    QRandomGenerator generator(5);
    for (char &c : image)
        c = static_cast<char>(generator.bounded(256));
    QFile file(dir.filePath(QStringLiteral("fw.bin")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(image), qint64(image.size()));
    file.close();

    YmodemFileTransmit transmit;
    QSignalSpy statusSpy(&transmit, &YmodemFileTransmit::TransmitStatus);
    transmit.SetFileName(file.fileName());
    transmit.SetPortName(device.PortPath());
    QVERIFY(transmit.StartTransmit());
    auto finalStatus = [&statusSpy]() {
        return statusSpy.isEmpty() ? -1 : statusSpy.last().first().value<YmodemFileTransmit::YmodemStatus>();
    };
    QTRY_VERIFY_WITH_TIMEOUT(finalStatus() >= YmodemFileTransmit::StatusDone, 60000);
    QCOMPARE(finalStatus(), int(YmodemFileTransmit::StatusDone));
    QCOMPARE(device.Images().size(), 1);
    QCOMPARE(device.Images().first().content, image);

    // Every command frame, boot-loader byte and block above was checked.
    QCOMPARE(device.LineViolations(), QStringList());
}

void TestSimulatorHostLink::plainHostWithWrongSettingsIsRecorded_data()
{
    QTest::addColumn<int>("nState");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("sWrong");
    QTest::addColumn<QString>("sReported");
    // Each sent twice; the device records each one as a frame of its own.
    const int nApp = int(SimulatorOptions::State::Application);
    QTest::newRow("9600 baud, command frame") << nApp << kEnterCtrl << "9600" << "speed 9600 baud, not 115200";
    QTest::newRow("two stop bits, command frame") << nApp << kEnterCtrl << "cstopb" << "2 stop bits, not 1";
    QTest::newRow("RTS/CTS, boot menu") << int(SimulatorOptions::State::BootMenu) << kEnterCtrl << "crtscts"
                                        << "RTS/CTS flow control on";
    QTest::newRow("XON/XOFF, YMODEM receiver") << int(SimulatorOptions::State::Ymodem) << QByteArray(1, 0x04)
                                               << "ixon" << "XON/XOFF flow control on (IXON IXOFF)";
}

void TestSimulatorHostLink::plainHostWithWrongSettingsIsRecorded()
{
    QFETCH(int, nState);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, sWrong);
    QFETCH(QString, sReported);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    SimulatorOptions options;
    options.initialState = static_cast<SimulatorOptions::State>(nState);
    options.sTranscriptFile = dir.filePath(QStringLiteral("frames.txt"));
    {
        SimulatedDevice device(options);
        QVERIFY(device.Start());
        const int nFd = OpenPlainHost(device.PortPath(), [&sWrong](termios &tio) {
            if (sWrong == QLatin1String("9600")) {
                ::cfsetispeed(&tio, B9600);
                ::cfsetospeed(&tio, B9600);
            } else if (sWrong == QLatin1String("cstopb")) {
                tio.c_cflag |= CSTOPB;
            } else if (sWrong == QLatin1String("crtscts")) {
                tio.c_cflag |= CRTSCTS;
            } else {
                tio.c_iflag |= IXON | IXOFF;
            }
        });
        QVERIFY(nFd >= 0);
        for (int i = 0; i < 2; ++i) {
            QCOMPARE(::write(nFd, bytes.constData(), static_cast<size_t>(bytes.size())), ssize_t(bytes.size()));
            QTRY_COMPARE_WITH_TIMEOUT(device.Frames().size(), i + 1, 3000);
        }
        ::close(nFd);
        // Noted once while it lasts, not once per frame.
        QCOMPARE(device.LineViolations(), QStringList{sReported});
    }
    QFile transcript(options.sTranscriptFile);
    QVERIFY(transcript.open(QIODevice::ReadOnly));
    const QByteArray text = transcript.readAll();
    QCOMPARE(text.count(" ! line settings: "), 1);
    QVERIFY2(text.contains(" ! line settings: " + sReported.toUtf8() + '\n'), text.constData());
}

void TestSimulatorHostLink::settingDifferences_data()
{
    // Rows for what a Linux pseudo-terminal cannot carry (data bits, parity)
    // as well as for what it can. (Split speeds have no row: glibc keeps one
    // speed for both directions.)
    QTest::addColumn<uint>("nIn");
    QTest::addColumn<uint>("nOut");
    QTest::addColumn<uint>("nCflagSet");
    QTest::addColumn<uint>("nIflagSet");
    QTest::addColumn<QString>("sReported");
    QTest::newRow("115200 8N1") << uint(B115200) << uint(B115200) << 0u << 0u << QString();
    QTest::newRow("settings that do not matter") << uint(B115200) << uint(B115200) << uint(HUPCL) << uint(IGNPAR)
                                                 << QString();
    QTest::newRow("57600 baud") << uint(B57600) << uint(B57600) << 0u << 0u << "speed 57600 baud, not 115200";
    QTest::newRow("7 data bits") << uint(B115200) << uint(B115200) << uint(CS7) << 0u << "7 data bits, not 8";
    QTest::newRow("even parity") << uint(B115200) << uint(B115200) << uint(PARENB) << 0u << "even parity, not none";
    QTest::newRow("odd parity") << uint(B115200) << uint(B115200) << uint(PARENB | PARODD) << 0u
                                << "odd parity, not none";
    QTest::newRow("XOFF only") << uint(B115200) << uint(B115200) << 0u << uint(IXOFF)
                               << "XON/XOFF flow control on (IXOFF)";
}

void TestSimulatorHostLink::settingDifferences()
{
    QFETCH(uint, nIn);
    QFETCH(uint, nOut);
    QFETCH(uint, nCflagSet);
    QFETCH(uint, nIflagSet);
    QFETCH(QString, sReported);
    termios tio {};
    ::cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    if (nCflagSet & CSIZE)
        tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE);
    tio.c_cflag |= nCflagSet;
    tio.c_iflag |= nIflagSet;
    ::cfsetispeed(&tio, nIn);
    ::cfsetospeed(&tio, nOut);
    const QStringList expected = sReported.isEmpty() ? QStringList() : QStringList{sReported};
    QCOMPARE(PseudoTerminal::SettingDifferences(tio), expected);
}

QTEST_MAIN(TestSimulatorHostLink)
#include "tst_simulatorhostlink.moc"
