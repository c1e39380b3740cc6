// The simulated device's application firmware and boot menu, driven over its
// pseudo-terminal by a plain serial port.

#include "device/threadhandover.h"
#include "hostline.h"
#include "simulator/devicesimulator.h"
#include "simulator/simulateddevice.h"
#include "support/testenvironment.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

namespace {

const QByteArray kEnterCtrl = QByteArray::fromHex("C0AAAAAAAAD4");
const QByteArray kExitCtrl = QByteArray::fromHex("C1AAAAAAAA19");
const QByteArray kVersion = QByteArray::fromHex("C8AAAAAAAAEA");
const QByteArray kSerial = QByteArray::fromHex("CC55AAAAAA1E");
const QByteArray kCount = QByteArray::fromHex("D1AAAAAAAA65");
const QByteArray kExport = QByteArray::fromHex("CD34AAAAAACC");
const QByteArray kBoot = QByteArray::fromHex("C955AAAAAACC");

// CRC-8/MAXIM-DOW, to build frames the device does not know.
char Crc8(const QByteArray &bytes)
{
    quint8 crc = 0;
    for (char c : bytes) {
        for (int bit = 0; bit < 8; ++bit) {
            const bool bMix = ((crc ^ (static_cast<quint8>(c) >> bit)) & 1) != 0;
            crc = static_cast<quint8>((crc >> 1) ^ (bMix ? 0x8C : 0));
        }
    }
    return static_cast<char>(crc);
}

// A device started with these options and a host line open on it.
struct Bench
{
    explicit Bench(const SimulatorOptions &options)
        : device(options)
    {
        QString sError;
        bStarted = device.Start(&sError) && host.Open(device.PortPath());
        if (!bStarted)
            qWarning() << "bench not ready:" << sError << host.ErrorText();
    }
    SimulatedDevice device;
    HostLine host;
    bool bStarted = false;
};

QByteArray ReadStream(HostLine &host, int nLines, int nTimeoutMs = 5000)
{
    return host.ReadUntil([nLines](const QByteArray &b) { return b.count('\n') >= nLines; }, nTimeoutMs);
}

} // namespace

class TestSimulatorApplication : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        TestEnvironment::GuardSerialPorts();
        qRegisterMetaType<QSerialPort::SerialPortError>();
    }

    void commandReplies_data();
    void commandReplies();
    void recordStream_data();
    void recordStream();
    void recordsFromFileWithDelayAndPauses();
    void bootCommandRebootsIntoReceiver();
    void bootMenuRefusesFramesAndStartsReceiverOnOne();
    void bootBannerComesBeforeBootLoaderOutput_data();
    void bootBannerComesBeforeBootLoaderOutput();
    void replyFaults();
    void silentDeviceAnswersNothingButRecords();
    void framingRecoversFromDamage();
    void pacingTakesLineTimeBothWays();
    void transcriptFileHasOneLinePerFrame();
    void transcriptShowsStrayAndLostBytes();
    void hostMayReopenAndMissesWhatWasSentMeanwhile();
    void unplugGivesHostAReadError();
    void devicesLeaveNoDescriptorsOrThreadsBehind();
};

void TestSimulatorApplication::commandReplies_data()
{
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<QByteArray>("reply");
    QTest::newRow("enter control mode") << kEnterCtrl << kEnterCtrl;
    QTest::newRow("exit control mode") << kExitCtrl << kExitCtrl;
    QTest::newRow("version 2.7") << kVersion << QByteArray::fromHex("C80207");
    QTest::newRow("serial number") << kSerial << QByteArray::fromHex("CC08123456");
    // 6 records with an invalid line after every 4th: 6 valid records.
    QTest::newRow("record count") << kCount << QByteArray("Stored:6");
}

void TestSimulatorApplication::commandReplies()
{
    QFETCH(QByteArray, frame);
    QFETCH(QByteArray, reply);
    SimulatorOptions options;
    options.nVersionMajor = 2;
    options.nVersionMinor = 7;
    options.serialNumber = QByteArray::fromHex("123456");
    options.nSerialCountByte = 8;
    options.sCountLabel = QStringLiteral("Stored");
    options.nRecordCount = 6;
    options.nInvalidEvery = 4;
    Bench bench(options);
    QVERIFY(bench.bStarted);

    QElapsedTimer clock;
    clock.start();
    QCOMPARE(bench.host.Exchange(frame, reply.size(), 1000), reply);
    QVERIFY(clock.elapsed() < 1000);
    // Exactly the reply: nothing follows it.
    QCOMPARE(bench.host.ReadFor(150), QByteArray());
    QCOMPARE(bench.device.Frames(), QList<QByteArray>{frame});
    QCOMPARE(bench.device.State(), SimulatorOptions::State::Application);
}

void TestSimulatorApplication::recordStream_data()
{
    QTest::addColumn<int>("nRecords");
    QTest::addColumn<int>("nInvalidEvery");
    QTest::addColumn<bool>("bLfCr");
    QTest::newRow("lf, no invalid lines") << 12 << 0 << false;
    QTest::newRow("lf cr, invalid after every 3rd") << 10 << 3 << true;
    QTest::newRow("no records") << 0 << 0 << false;
}

void TestSimulatorApplication::recordStream()
{
    QFETCH(int, nRecords);
    QFETCH(int, nInvalidEvery);
    QFETCH(bool, bLfCr);
    SimulatorOptions options;
    options.nRecordCount = nRecords;
    options.nInvalidEvery = nInvalidEvery;
    options.lineEnd = bLfCr ? SimulatorOptions::LineEnd::LfCr : SimulatorOptions::LineEnd::Lf;
    Bench bench(options);
    QVERIFY(bench.bStarted);

    QCOMPARE(bench.host.Exchange(kCount, 8, 1000), QByteArray("Count:") + QByteArray::number(nRecords));
    QVERIFY(bench.host.Write(kExport));
    const int nInvalid = nInvalidEvery > 0 ? nRecords / nInvalidEvery : 0;
    QByteArray stream = ReadStream(bench.host, nRecords + nInvalid);
    // Then silence.
    stream += bench.host.ReadFor(300);

    const QByteArray lineEnd = bLfCr ? "\n\r" : "\n";
    QVERIFY(stream.isEmpty() || stream.endsWith(lineEnd));
    QList<QByteArray> lines = stream.split('\n');
    lines.removeLast();   // after the last line feed: "" or "\r"
    QCOMPARE(lines.size(), nRecords + nInvalid);
    int nValid = 0;
    for (int i = 0; i < lines.size(); ++i) {
        QByteArray line = lines.at(i);
        if (bLfCr && i > 0) {
            QVERIFY2(line.startsWith('\r'), line.constData());
            line.remove(0, 1);
        }
        QVERIFY2(!line.contains('\r'), line.constData());
        if (line == "An invalid record.") {
            QVERIFY(nInvalidEvery > 0);
            QCOMPARE(nValid % nInvalidEvery, 0);
            continue;
        }
        ++nValid;
        // index date time event value, single spaces, no empty field
        const QList<QByteArray> words = line.split(' ');
        QCOMPARE(words.size(), 5);
        for (const QByteArray &word : words)
            QVERIFY2(!word.isEmpty(), line.constData());
        QCOMPARE(words.at(0).toInt(), nValid);
        QVERIFY(QDate::fromString(QString::fromLatin1(words.at(1)), QStringLiteral("yyyy-MM-dd")).isValid());
        QVERIFY(QTime::fromString(QString::fromLatin1(words.at(2)), QStringLiteral("hh:mm:ss")).isValid());
    }
    QCOMPARE(nValid, nRecords);
}

void TestSimulatorApplication::recordsFromFileWithDelayAndPauses()
{
    SimulatorOptions options;
    options.recordStream = "7 a b\nAn invalid record.\n8 c d\n\r9 e f\n";
    options.nStreamDelayMs = 300;
    options.nStreamPauseEvery = 1;
    options.nStreamPauseMs = 200;
    Bench bench(options);
    QVERIFY(bench.bStarted);

    // Counted lines are the valid ones only.
    QCOMPARE(bench.host.Exchange(kCount, 7, 1000), QByteArray("Count:3"));
    QVERIFY(bench.host.Write(kExport));
    QElapsedTimer clock;
    clock.start();
    QByteArray first = bench.host.ReadCount(1, 2000);
    const qint64 nFirstMs = clock.elapsed();
    QVERIFY2(nFirstMs >= 250, qPrintable(QString::number(nFirstMs)));
    QByteArray stream = first + ReadStream(bench.host, 4 - first.count('\n'));
    QCOMPARE(stream, options.recordStream);
    // Three pauses of 200 ms after the three valid records' lines (the last
    // pause trails the stream), so the stream's body takes at least 400 ms.
    QVERIFY2(clock.elapsed() - nFirstMs >= 250, qPrintable(QString::number(clock.elapsed() - nFirstMs)));
}

void TestSimulatorApplication::bootCommandRebootsIntoReceiver()
{
    SimulatorOptions options;
    options.nBootDelayMs = 800;
    options.nCIntervalMs = 200;
    Bench bench(options);
    QVERIFY(bench.bStarted);
    QSignalSpy stateSpy(&bench.device, &SimulatedDevice::StateChanged);

    QCOMPARE(bench.host.Exchange(kBoot, 6, 1000), kBoot);
    // No "C" before the boot delay has passed.
    QCOMPARE(bench.host.ReadFor(250), QByteArray());
    QVERIFY(stateSpy.wait(2000));
    QCOMPARE(stateSpy.first().first().toInt(), static_cast<int>(SimulatorOptions::State::Ymodem));
    QCOMPARE(bench.device.State(), SimulatorOptions::State::Ymodem);
    QElapsedTimer clock;
    clock.start();
    const QByteArray cs = bench.host.ReadCount(5, 3000);
    QCOMPARE(cs, QByteArray("CCCCC"));
    // Five "C"s 200 ms apart: the first at once, the fifth 800 ms later
    // (less what reached us before the clock started).
    QVERIFY2(clock.elapsed() >= 500, qPrintable(QString::number(clock.elapsed())));
    // The receiver no longer answers command frames.
    QVERIFY(bench.host.Write(kEnterCtrl));
    QVERIFY(!bench.host.ReadFor(300).contains(kEnterCtrl));
}

void TestSimulatorApplication::bootMenuRefusesFramesAndStartsReceiverOnOne()
{
    SimulatorOptions options;
    options.initialState = SimulatorOptions::State::BootMenu;
    options.nCIntervalMs = 50;
    Bench bench(options);
    QVERIFY(bench.bStarted);
    const QByteArray refusal("Invalid Number\r\n");

    QCOMPARE(bench.host.Exchange(kEnterCtrl, refusal.size(), 1000), refusal);
    QVERIFY(refusal.toHex().toUpper().contains("76616C6964204E756D6265"));
    QCOMPARE(bench.host.Exchange(kVersion, refusal.size(), 1000), refusal);
    // Stray bytes that form no frame are refused too, once.
    QCOMPARE(bench.host.Exchange("xyz", refusal.size(), 1000), refusal);
    QCOMPARE(bench.host.ReadFor(150), QByteArray());
    QCOMPARE(bench.device.State(), SimulatorOptions::State::BootMenu);

    QSignalSpy stateSpy(&bench.device, &SimulatedDevice::StateChanged);
    QVERIFY(bench.host.Write("1"));
    const QByteArray answer = bench.host.ReadUntil([](const QByteArray &b) { return b.endsWith("CCCC"); }, 2000);
    QVERIFY2(answer.endsWith("CCCC"), answer.constData());
    const QByteArray menu = answer.left(answer.indexOf('C'));
    // The menu text is there, and holds no "C" of its own that a host could
    // count as a receiver request.
    QVERIFY(menu.size() > 10);
    QVERIFY(answer.mid(menu.size()).count('C') == answer.size() - menu.size());
    QVERIFY(stateSpy.count() == 1 || stateSpy.wait(1000));
    QCOMPARE(bench.device.State(), SimulatorOptions::State::Ymodem);
    const QList<QByteArray> frames = bench.device.Frames();
    QCOMPARE(frames.size(), 4);
    QCOMPARE(frames.at(0), kEnterCtrl);
    QCOMPARE(frames.at(1), kVersion);
    QCOMPARE(frames.at(2), QByteArray("xyz"));
    QCOMPARE(frames.at(3), QByteArray("1"));
}

void TestSimulatorApplication::bootBannerComesBeforeBootLoaderOutput_data()
{
    QTest::addColumn<int>("nState");
    QTest::addColumn<QByteArray>("send");
    QTest::addColumn<QByteArray>("expected");
    const QByteArray banner = DeviceSimulator::kBannerText;
    QTest::newRow("reboot after the boot command")
        << int(SimulatorOptions::State::Application) << kBoot << kBoot + banner + 'C';
    QTest::newRow("start in the receiver") << int(SimulatorOptions::State::Ymodem) << QByteArray() << banner + 'C';
    QTest::newRow("start in the boot menu")
        << int(SimulatorOptions::State::BootMenu) << kEnterCtrl << banner + "Invalid Number\r\n";
}

void TestSimulatorApplication::bootBannerComesBeforeBootLoaderOutput()
{
    QFETCH(int, nState);
    QFETCH(QByteArray, send);
    QFETCH(QByteArray, expected);
    QVERIFY(DeviceSimulator::kBannerText.count('C') >= 2);
    SimulatorOptions options;
    options.initialState = static_cast<SimulatorOptions::State>(nState);
    options.bBootBanner = true;
    options.nBootDelayMs = 0;
    // Played directly rather than through SimulatedDevice, so that the host
    // is on the line before the device starts and sees what it prints then.
    DeviceSimulator simulator(options);
    QString sError;
    QVERIFY2(simulator.OpenTerminal(&sError), qPrintable(sError));
    HostLine host;
    QVERIFY(host.Open(simulator.PortPath()));
    QThread thread;
    simulator.moveToThread(&thread);
    // The join below is Qt's; marked as SimulatedDevice marks it.
    QObject::connect(&thread, &QThread::finished, &thread, [&simulator] { ThreadHandOver::Publish(&simulator); },
                     Qt::DirectConnection);
    thread.start();
    QMetaObject::invokeMethod(&simulator, "slot_Begin", Qt::BlockingQueuedConnection);
    const bool bSent = send.isEmpty() || host.Write(send);
    const QByteArray received = host.ReadCount(expected.size(), 3000);
    QMetaObject::invokeMethod(&simulator, "slot_Shutdown", Qt::BlockingQueuedConnection);
    thread.quit();
    thread.wait();
    ThreadHandOver::Receive(&simulator);
    QVERIFY(bSent);
    QCOMPARE(received.left(expected.size()), expected);
}

void TestSimulatorApplication::replyFaults()
{
    {
        SimulatorOptions options;
        options.bWrongEcho = true;
        Bench bench(options);
        QVERIFY(bench.bStarted);
        QCOMPARE(bench.host.Exchange(kEnterCtrl, 6, 1000), QByteArray::fromHex("C0AAAAAAAA2B"));
        QCOMPARE(bench.host.Exchange(kBoot, 6, 1000), QByteArray::fromHex("C955AAAAAA33"));
    }
    {
        SimulatorOptions options;
        options.extraAfterEcho = QByteArray::fromHex("0102");
        options.garbageBeforeReply = QByteArray::fromHex("FF");
        Bench bench(options);
        QVERIFY(bench.bStarted);
        QCOMPARE(bench.host.Exchange(kExitCtrl, 9, 1000), QByteArray::fromHex("FFC1AAAAAAAA190102"));
        // Garbage before every reply, extra bytes only after echoes.
        QCOMPARE(bench.host.Exchange(kVersion, 4, 1000), QByteArray::fromHex("FFC8010A"));
        QCOMPARE(bench.host.ReadFor(100), QByteArray());
    }
    {
        SimulatorOptions options;
        options.nSplitPieces = 3;
        options.nSplitGapMs = 300;
        Bench bench(options);
        QVERIFY(bench.bStarted);
        QVERIFY(bench.host.Write(kEnterCtrl));
        // The first piece comes alone; the whole echo takes two gaps.
        QElapsedTimer clock;
        clock.start();
        const QByteArray first = bench.host.ReadCount(1, 1000);
        QCOMPARE(first, kEnterCtrl.left(2));
        const QByteArray all = first + bench.host.ReadCount(4, 2000);
        QCOMPARE(all, kEnterCtrl);
        QVERIFY2(clock.elapsed() >= 450, qPrintable(QString::number(clock.elapsed())));
    }
}

void TestSimulatorApplication::silentDeviceAnswersNothingButRecords()
{
    SimulatorOptions options;
    options.bSilent = true;
    Bench bench(options);
    QVERIFY(bench.bStarted);
    QSignalSpy frameSpy(&bench.device, &SimulatedDevice::FrameReceived);
    QVERIFY(bench.host.Write(kEnterCtrl + kBoot));
    QCOMPARE(bench.host.ReadFor(1200), QByteArray());
    QTRY_COMPARE_WITH_TIMEOUT(frameSpy.count(), 2, 2000);
    QCOMPARE(frameSpy.at(1).first().toByteArray(), kBoot);
    // A silent device does not reboot either.
    QCOMPARE(bench.device.State(), SimulatorOptions::State::Application);
}

void TestSimulatorApplication::framingRecoversFromDamage()
{
    Bench bench{SimulatorOptions()};
    QVERIFY(bench.bStarted);
    const QByteArray badCrc = QByteArray::fromHex("C0AAAAAAAAD5");
    const QByteArray unknown = QByteArray::fromHex("C2AAAAAAAA") + Crc8(QByteArray::fromHex("C2AAAAAAAA"));
    QCOMPARE(Crc8("123456789"), char(0xA1));
    QCOMPARE(kEnterCtrl.at(5), Crc8(kEnterCtrl.left(5)));

    // A frame with a wrong check byte is not answered, but it is recorded.
    QVERIFY(bench.host.Write(badCrc));
    QCOMPARE(bench.host.ReadFor(200), QByteArray());
    // So is a well-formed frame with a command the device does not know.
    QVERIFY(bench.host.Write(unknown));
    QCOMPARE(bench.host.ReadFor(200), QByteArray());
    // Stray bytes right before a good frame do not hide it.
    QCOMPARE(bench.host.Exchange(QByteArray::fromHex("0055AA") + kVersion, 3, 1000), QByteArray::fromHex("C8010A"));
    // A piece of a frame that is never completed is dropped, so the next
    // frame is read from its first byte.
    QVERIFY(bench.host.Write(kExitCtrl.left(3)));
    QCOMPARE(bench.host.ReadFor(200), QByteArray());
    QCOMPARE(bench.host.Exchange(kExitCtrl, 6, 1000), kExitCtrl);
    // A frame split over two writes close together is still one frame.
    QVERIFY(bench.host.Write(kEnterCtrl.left(2)));
    QCOMPARE(bench.host.Exchange(kEnterCtrl.mid(2), 6, 1000), kEnterCtrl);

    const QList<QByteArray> frames = bench.device.Frames();
    const QList<QByteArray> expected = {badCrc, unknown, QByteArray::fromHex("0055AA"), kVersion,
                                        kExitCtrl.left(3), kExitCtrl, kEnterCtrl};
    QCOMPARE(frames, expected);
}

void TestSimulatorApplication::pacingTakesLineTimeBothWays()
{
    SimulatorOptions options;
    options.nBytesPerSecond = 11520;
    options.nRecordCount = 80;   // about 3000 bytes
    Bench bench(options);
    QVERIFY(bench.bStarted);

    // Device to host: 2304 bytes take at least 0.18 s at 11520 B/s.
    QElapsedTimer clock;
    clock.start();
    QVERIFY(bench.host.Write(kExport));
    QByteArray stream = bench.host.ReadCount(2304, 5000);
    const qint64 nOutMs = clock.elapsed();
    QVERIFY(stream.size() >= 2304);
    QVERIFY2(nOutMs >= 180, qPrintable(QString::number(nOutMs)));
    QVERIFY2(nOutMs < 2000, qPrintable(QString::number(nOutMs)));
    stream += ReadStream(bench.host, 80 - stream.count('\n'));

    // Host to device: the frame behind 2304 bytes of noise is answered only
    // after the noise has crossed the line.
    clock.restart();
    const QByteArray reply = bench.host.Exchange(QByteArray(2304, '\0') + kEnterCtrl, 6, 5000);
    const qint64 nInMs = clock.elapsed();
    QCOMPARE(reply, kEnterCtrl);
    QVERIFY2(nInMs >= 180, qPrintable(QString::number(nInMs)));
}

void TestSimulatorApplication::transcriptFileHasOneLinePerFrame()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    SimulatorOptions options;
    options.sTranscriptFile = dir.filePath(QStringLiteral("transcript.txt"));
    {
        Bench bench(options);
        QVERIFY(bench.bStarted);
        QCOMPARE(bench.host.Exchange(kEnterCtrl, 6, 1000), kEnterCtrl);
        QVERIFY(bench.host.Write(QByteArray::fromHex("C0AAAAAAAA00")));
        QTRY_COMPARE_WITH_TIMEOUT(bench.device.Frames().size(), 2, 2000);
    }
    QFile file(options.sTranscriptFile);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().trimmed().split('\n');
    QCOMPARE(lines.size(), 2);
    const QList<QByteArray> first = lines.at(0).split(' ');
    bool bNumber = false;
    first.at(0).toLongLong(&bNumber);
    QVERIFY(bNumber);
    QCOMPARE(first.at(1), QByteArray("app"));
    QVERIFY(lines.at(0).endsWith("C0 AA AA AA AA D4"));
    QVERIFY(lines.at(1).contains("C0 AA AA AA AA 00"));
}

void TestSimulatorApplication::transcriptShowsStrayAndLostBytes()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    SimulatorOptions options;
    options.sTranscriptFile = dir.filePath(QStringLiteral("transcript.txt"));
    options.nBootDelayMs = 0;
    {
        Bench bench(options);
        QVERIFY(bench.bStarted);
        // Skipped while the parser finds the frame behind them.
        QCOMPARE(bench.host.Exchange(QByteArray::fromHex("0055AA") + kVersion, 3, 1000), QByteArray::fromHex("C8010A"));
        // Behind the boot command, still unframed when the device reboots.
        QSignalSpy stateSpy(&bench.device, &SimulatedDevice::StateChanged);
        QVERIFY(bench.host.Write(kBoot + kEnterCtrl.left(2)));
        QVERIFY(stateSpy.wait(2000));
        QTRY_VERIFY_WITH_TIMEOUT(bench.device.Frames().contains(kEnterCtrl.left(2)), 2000);
    }
    QFile file(options.sTranscriptFile);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QList<QByteArray> lines = file.readAll().trimmed().split('\n');
    for (QByteArray &line : lines)
        line = line.mid(line.indexOf(' ') + 1);   // without the time
    QCOMPARE(lines.size(), 4);
    QVERIFY2(lines.at(0).startsWith("app 00 55 AA # "), lines.at(0).constData());
    QCOMPARE(lines.at(1), QByteArray("app C8 AA AA AA AA EA"));
    QCOMPARE(lines.at(2), QByteArray("app C9 55 AA AA AA CC"));
    QVERIFY2(lines.at(3).startsWith("app C0 AA # "), lines.at(3).constData());
}

void TestSimulatorApplication::hostMayReopenAndMissesWhatWasSentMeanwhile()
{
    SimulatorOptions options;
    options.initialState = SimulatorOptions::State::Ymodem;
    options.nCIntervalMs = 20;
    SimulatedDevice device(options);
    QVERIFY(device.Start());
    for (int i = 0; i < 2; ++i) {
        HostLine host;
        QVERIFY(host.Open(device.PortPath()));
        QVERIFY(host.ReadCount(2, 1000).startsWith("CC"));
        host.Close();
        // About 50 "C"s go out while nobody listens (nothing to wait for
        // but the time itself); a real line loses them.
        QTest::qWait(1000);
        QVERIFY(host.Open(device.PortPath()));
        const QByteArray fresh = host.ReadFor(30);
        QVERIFY2(fresh.size() < 20, fresh.constData());
    }
}

void TestSimulatorApplication::unplugGivesHostAReadError()
{
    Bench bench{SimulatorOptions()};
    QVERIFY(bench.bStarted);
    QCOMPARE(bench.host.Exchange(kEnterCtrl, 6, 1000), kEnterCtrl);
    QSignalSpy errorSpy(&bench.host.Port(), &QSerialPort::errorOccurred);
    bench.device.Unplug();
    bench.host.ReadFor(500);
    bool bGone = false;
    for (const QList<QVariant> &args : errorSpy) {
        const auto eError = args.first().value<QSerialPort::SerialPortError>();
        bGone = bGone || eError == QSerialPort::ReadError || eError == QSerialPort::ResourceError;
    }
    QVERIFY(bGone);
    bench.host.Close();
}

void TestSimulatorApplication::devicesLeaveNoDescriptorsOrThreadsBehind()
{
    auto openDescriptors = []() {
        return QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size();
    };
    auto threads = []() {
        return QDir(QStringLiteral("/proc/self/task")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size();
    };
    const int nBefore = openDescriptors();
    const int nThreadsBefore = threads();
    for (int i = 0; i < 10; ++i) {
        SimulatorOptions options;
        options.initialState = i % 2 ? SimulatorOptions::State::Ymodem : SimulatorOptions::State::Application;
        options.nCIntervalMs = 10;
        SimulatedDevice device(options);
        QVERIFY(device.Start());
        HostLine host;
        QVERIFY(host.Open(device.PortPath()));
        if (i % 3 == 0)
            device.Unplug();
    }
    // A leak shows as more; a thread or descriptor of an earlier test that
    // finishes meanwhile may make it fewer.
    QVERIFY2(openDescriptors() <= nBefore, qPrintable(QString::number(openDescriptors())));
    // A finished QThread's system thread may take a moment to go.
    QTRY_VERIFY_WITH_TIMEOUT(threads() <= nThreadsBefore, 2000);
}

QTEST_MAIN(TestSimulatorApplication)
#include "tst_simulatorapplication.moc"
