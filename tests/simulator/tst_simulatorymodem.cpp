// The simulated boot loader's YMODEM receiver, fed with blocks built here by
// hand (and by lrzsz's sz as an independent sender).

#include "hostline.h"
#include "simulator/devicechecksums.h"
#include "simulator/simulateddevice.h"
#include "support/testenvironment.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const char kSoh = 0x01;
const char kStx = 0x02;
const char kEot = 0x04;
const char kAck = 0x06;
const char kNak = 0x15;
const char kCan = 0x18;
const QByteArray kEnterCtrl = QByteArray::fromHex("C0AAAAAAAAD4");

// CRC-16/XMODEM, bit by bit.
quint16 Crc16(const QByteArray &bytes)
{
    quint16 crc = 0;
    for (char c : bytes) {
        crc = static_cast<quint16>(crc ^ (static_cast<quint8>(c) << 8));
        for (int i = 0; i < 8; ++i)
            crc = static_cast<quint16>((crc & 0x8000) ? (crc << 1) ^ 0x1021 : crc << 1);
    }
    return crc;
}

// One block: SOH for 128 data bytes, STX for 1024; zero fill.
QByteArray Block(int nNumber, const QByteArray &data, int nSize)
{
    QByteArray field = data.left(nSize);
    field.append(QByteArray(nSize - field.size(), '\0'));
    const quint16 crc = Crc16(field);
    QByteArray block;
    block.append(nSize == 128 ? kSoh : kStx);
    block.append(static_cast<char>(nNumber & 0xFF));
    block.append(static_cast<char>(0xFF - (nNumber & 0xFF)));
    block.append(field);
    block.append(static_cast<char>(crc >> 8));
    block.append(static_cast<char>(crc & 0xFF));
    return block;
}

QByteArray Header(const QByteArray &name, qint64 nSize)
{
    return Block(0, name + '\0' + QByteArray::number(nSize) + '\0', 128);
}

QByteArray ClosingHeader()
{
    return Block(0, QByteArray(), 128);
}

QByteArray RandomBytes(int nSize, quint32 nSeed)
{
    QRandomGenerator generator(nSeed);
    QByteArray bytes(nSize, '\0');
    for (char &c : bytes)
        c = static_cast<char>(generator.bounded(256));
    return bytes;
}

// A receiver with quick "C"s and an image folder, and the host's line.
struct Receiver
{
    explicit Receiver(SimulatorOptions options = SimulatorOptions())
    {
        options.initialState = SimulatorOptions::State::Ymodem;
        options.nCIntervalMs = 100;
        options.sImageDir = dir.filePath(QStringLiteral("images"));
        pDevice.reset(new SimulatedDevice(options));
        bReady = dir.isValid() && pDevice->Start() && host.Open(pDevice->PortPath())
            && host.ReadCount(1, 2000).endsWith('C');
    }
    // Sends bytes and returns the answer up to the first of the given bytes
    // (stray "C"s of the waiting receiver included).
    QByteArray Send(const QByteArray &bytes, const QByteArray &until = QByteArray(1, kAck), int nTimeoutMs = 3000)
    {
        if (!host.Write(bytes))
            return QByteArray("write failed");
        return host.ReadUpTo(until, nTimeoutMs);
    }
    QTemporaryDir dir;
    QScopedPointer<SimulatedDevice> pDevice;
    HostLine host;
    bool bReady = false;
};

const QByteArray kAnswers = QByteArray(1, kAck) + kNak + kCan;

} // namespace

class TestSimulatorYmodem : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        TestEnvironment::GuardSerialPorts();
        qRegisterMetaType<QSerialPort::SerialPortError>();
    }

    void checkValues();
    void receivesFileAndBootsIt_data();
    void receivesFileAndBootsIt();
    void damagedAndRepeatedBlocks();
    void outOfSequenceBlockCancels();
    void incompleteBlockIsRefusedAfterASecond();
    void imageShorterThanHeaderIsNotTaken();
    void hostileNameStaysInFolder_data();
    void hostileNameStaysInFolder();
    void receiverFaults();
    void silentReceiverWakesOnSenderCancel();
    void closeAtEotGivesHostAReadError();
    void lrzszSenderIsUnderstood();
};

void TestSimulatorYmodem::checkValues()
{
    QCOMPARE(Crc16("123456789"), quint16(0x31C3));
    QCOMPARE(DeviceChecksums::Crc16("123456789"), quint16(0x31C3));
    QCOMPARE(DeviceChecksums::Crc8("123456789"), quint8(0xA1));
    QCOMPARE(DeviceChecksums::Crc16(QByteArray()), quint16(0));
    // The closing header's check sum over 128 zero bytes is 0.
    QCOMPARE(ClosingHeader().right(2), QByteArray(2, '\0'));
}

void TestSimulatorYmodem::receivesFileAndBootsIt_data()
{
    QTest::addColumn<int>("nSize");
    QTest::addColumn<int>("nBlockSize");
    QTest::newRow("empty") << 0 << 128;
    QTest::newRow("100 bytes in one short block") << 100 << 128;
    QTest::newRow("300 bytes in short blocks") << 300 << 128;
    QTest::newRow("3000 bytes in long blocks") << 3000 << 1024;
}

void TestSimulatorYmodem::receivesFileAndBootsIt()
{
    QFETCH(int, nSize);
    QFETCH(int, nBlockSize);
    Receiver rx;
    QVERIFY(rx.bReady);
    QSignalSpy imageSpy(rx.pDevice.data(), &SimulatedDevice::ImageReceived);
    QSignalSpy stateSpy(rx.pDevice.data(), &SimulatedDevice::StateChanged);
    const QByteArray image = RandomBytes(nSize, 7);

    // Header: ACK, then "C" for the data.
    QVERIFY(rx.Send(Header("fw.bin", nSize)).endsWith(kAck));
    QVERIFY(rx.host.ReadCount(1, 2000).startsWith('C'));
    int nNumber = 1;
    for (int nAt = 0; nAt < nSize; nAt += nBlockSize, ++nNumber)
        QCOMPARE(rx.Send(Block(nNumber, image.mid(nAt, nBlockSize), nBlockSize), kAnswers), QByteArray(1, kAck));
    // First EOT refused, second taken, then "C" for the next header.
    QCOMPARE(rx.Send(QByteArray(1, kEot), kAnswers), QByteArray(1, kNak));
    QCOMPARE(rx.Send(QByteArray(1, kEot), kAnswers), QByteArray(1, kAck));
    QVERIFY(rx.host.ReadCount(1, 2000).startsWith('C'));
    QVERIFY(imageSpy.isEmpty());
    QVERIFY(rx.Send(ClosingHeader(), kAnswers).endsWith(kAck));

    QVERIFY(imageSpy.count() == 1 || imageSpy.wait(2000));
    QCOMPARE(imageSpy.first().at(0).toString(), QStringLiteral("fw.bin"));
    QCOMPARE(imageSpy.first().at(1).toByteArray(), image);
    const QList<SimulatedDevice::Image> images = rx.pDevice->Images();
    QCOMPARE(images.size(), 1);
    QCOMPARE(images.first().nHeaderSize, qint64(nSize));
    QFile stored(rx.dir.filePath(QStringLiteral("images/fw.bin")));
    QCOMPARE(images.first().sSavedPath, QFileInfo(stored).absoluteFilePath());
    QVERIFY(stored.open(QIODevice::ReadOnly));
    QCOMPARE(stored.readAll(), image);

    // The new image runs: the application firmware answers again.
    QTRY_VERIFY_WITH_TIMEOUT(!stateSpy.isEmpty(), 2000);
    QCOMPARE(stateSpy.last().first().toInt(), static_cast<int>(SimulatorOptions::State::Application));
    rx.host.ReadFor(50);   // any "C" still on its way
    QCOMPARE(rx.host.Exchange(kEnterCtrl, 6, 1000), kEnterCtrl);
}

void TestSimulatorYmodem::damagedAndRepeatedBlocks()
{
    Receiver rx;
    QVERIFY(rx.bReady);
    QSignalSpy imageSpy(rx.pDevice.data(), &SimulatedDevice::ImageReceived);
    const QByteArray image = RandomBytes(1024 + 128, 11);
    QVERIFY(rx.Send(Header("mixed.bin", image.size())).endsWith(kAck));
    QVERIFY(rx.host.ReadCount(1, 2000).startsWith('C'));

    QByteArray badCrc = Block(1, image.left(1024), 1024);
    badCrc[500] = static_cast<char>(badCrc.at(500) ^ 0x01);
    QCOMPARE(rx.Send(badCrc, kAnswers), QByteArray(1, kNak));
    QByteArray badComplement = Block(1, image.left(1024), 1024);
    badComplement[2] = 0x00;
    QCOMPARE(rx.Send(badComplement, kAnswers), QByteArray(1, kNak));
    QCOMPARE(rx.Send(Block(1, image.left(1024), 1024), kAnswers), QByteArray(1, kAck));
    // The same block again (our ACK lost): acknowledged, kept once.
    QCOMPARE(rx.Send(Block(1, image.left(1024), 1024), kAnswers), QByteArray(1, kAck));
    QCOMPARE(rx.Send(Block(2, image.mid(1024), 128), kAnswers), QByteArray(1, kAck));
    QCOMPARE(rx.Send(QByteArray(1, kEot), kAnswers), QByteArray(1, kNak));
    QCOMPARE(rx.Send(QByteArray(1, kEot), kAnswers), QByteArray(1, kAck));
    // A third EOT (the sender missed our ACK) is acknowledged again.
    QVERIFY(rx.Send(QByteArray(1, kEot), kAnswers).endsWith(kAck));
    QVERIFY(rx.Send(ClosingHeader(), kAnswers).endsWith(kAck));
    QVERIFY(imageSpy.count() == 1 || imageSpy.wait(2000));
    QCOMPARE(imageSpy.first().at(1).toByteArray(), image);
    // Every block is in the transcript, the damaged ones too.
    const QList<QByteArray> frames = rx.pDevice->Frames();
    QCOMPARE(frames.count(badCrc), 1);
    QCOMPARE(frames.count(badComplement), 1);
    QCOMPARE(frames.count(Block(1, image.left(1024), 1024)), 2);
}

void TestSimulatorYmodem::outOfSequenceBlockCancels()
{
    Receiver rx;
    QVERIFY(rx.bReady);
    QSignalSpy abortSpy(rx.pDevice.data(), &SimulatedDevice::TransferAborted);
    QVERIFY(rx.Send(Header("seq.bin", 500)).endsWith(kAck));
    QCOMPARE(rx.Send(Block(1, RandomBytes(128, 1), 128), kAnswers).right(1), QByteArray(1, kAck));
    QCOMPARE(rx.Send(Block(3, RandomBytes(128, 3), 128), kAnswers), QByteArray(1, kCan));
    QVERIFY(rx.host.ReadCount(1, 1000).startsWith(kCan));
    QVERIFY(abortSpy.count() == 1 || abortSpy.wait(2000));
    // Back to waiting for a transfer.
    QVERIFY(rx.host.ReadCount(1, 2000).startsWith('C'));
    QCOMPARE(rx.pDevice->State(), SimulatorOptions::State::Ymodem);
}

void TestSimulatorYmodem::incompleteBlockIsRefusedAfterASecond()
{
    Receiver rx;
    QVERIFY(rx.bReady);
    QVERIFY(rx.Send(Header("cut.bin", 128)).endsWith(kAck));
    QVERIFY(rx.host.ReadCount(1, 2000).startsWith('C'));
    const QByteArray block = Block(1, RandomBytes(128, 5), 128);
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(rx.Send(block.left(60), kAnswers, 3000), QByteArray(1, kNak));
    QVERIFY2(clock.elapsed() >= 900, qPrintable(QString::number(clock.elapsed())));
    // The whole block afterwards is taken as block 1.
    QCOMPARE(rx.Send(block, kAnswers), QByteArray(1, kAck));
}

void TestSimulatorYmodem::imageShorterThanHeaderIsNotTaken()
{
    Receiver rx;
    QVERIFY(rx.bReady);
    QSignalSpy imageSpy(rx.pDevice.data(), &SimulatedDevice::ImageReceived);
    QSignalSpy abortSpy(rx.pDevice.data(), &SimulatedDevice::TransferAborted);
    QVERIFY(rx.Send(Header("short.bin", 500)).endsWith(kAck));
    QCOMPARE(rx.Send(Block(1, RandomBytes(128, 9), 128), kAnswers).right(1), QByteArray(1, kAck));
    QCOMPARE(rx.Send(QByteArray(1, kEot), kAnswers), QByteArray(1, kNak));
    QCOMPARE(rx.Send(QByteArray(1, kEot), kAnswers), QByteArray(1, kAck));
    QVERIFY(rx.Send(ClosingHeader(), kAnswers).endsWith(kAck));
    QVERIFY(abortSpy.count() == 1 || abortSpy.wait(2000));
    QVERIFY(imageSpy.isEmpty());
    QVERIFY(rx.pDevice->Images().isEmpty());
    QVERIFY(!QFile::exists(rx.dir.filePath(QStringLiteral("images/short.bin"))));
    QCOMPARE(rx.pDevice->State(), SimulatorOptions::State::Ymodem);
}

void TestSimulatorYmodem::hostileNameStaysInFolder_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QString>("sStoredAs");
    QTest::newRow("parent path") << QByteArray("../outside.bin") << QStringLiteral("outside.bin");
    QTest::newRow("windows parent path") << QByteArray("..\\..\\outside.bin") << QStringLiteral("outside.bin");
    QTest::newRow("only dots") << QByteArray("..") << QStringLiteral("image.bin");
    QTest::newRow("control bytes") << QByteArray("a\tb\x01.bin") << QStringLiteral("a_b_.bin");
}

void TestSimulatorYmodem::hostileNameStaysInFolder()
{
    QFETCH(QByteArray, name);
    QFETCH(QString, sStoredAs);
    Receiver rx;
    QVERIFY(rx.bReady);
    QSignalSpy imageSpy(rx.pDevice.data(), &SimulatedDevice::ImageReceived);
    const QByteArray image = RandomBytes(40, 3);
    QVERIFY(rx.Send(Header(name, image.size())).endsWith(kAck));
    QCOMPARE(rx.Send(Block(1, image, 128), kAnswers).right(1), QByteArray(1, kAck));
    QCOMPARE(rx.Send(QByteArray(1, kEot), kAnswers), QByteArray(1, kNak));
    QCOMPARE(rx.Send(QByteArray(1, kEot), kAnswers), QByteArray(1, kAck));
    QVERIFY(rx.Send(ClosingHeader(), kAnswers).endsWith(kAck));
    QVERIFY(imageSpy.count() == 1 || imageSpy.wait(2000));
    QCOMPARE(imageSpy.first().at(0).toString(), QString::fromUtf8(name));

    const QDir top(rx.dir.path());
    QCOMPARE(top.entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{QStringLiteral("images")});
    const QDir images(rx.dir.filePath(QStringLiteral("images")));
    QCOMPARE(images.entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{sStoredAs});
    QFile stored(images.filePath(sStoredAs));
    QVERIFY(stored.open(QIODevice::ReadOnly));
    QCOMPARE(stored.readAll(), image);
}

void TestSimulatorYmodem::receiverFaults()
{
    const QByteArray image = RandomBytes(256, 21);
    {
        // NAK block 1 twice, then take it.
        SimulatorOptions options;
        options.nNakAtBlock = 1;
        options.nNakTimes = 2;
        Receiver rx(options);
        QVERIFY(rx.bReady);
        QVERIFY(rx.Send(Header("f.bin", 256)).endsWith(kAck));
        QVERIFY(rx.host.ReadCount(1, 2000).startsWith('C'));
        QCOMPARE(rx.Send(Block(1, image, 128), kAnswers), QByteArray(1, kNak));
        QCOMPARE(rx.Send(Block(1, image, 128), kAnswers), QByteArray(1, kNak));
        QCOMPARE(rx.Send(Block(1, image, 128), kAnswers), QByteArray(1, kAck));
        QCOMPARE(rx.Send(Block(2, image.mid(128), 128), kAnswers), QByteArray(1, kAck));
    }
    {
        // CAN CAN at data block 2; then the receiver waits for a new transfer.
        SimulatorOptions options;
        options.nCancelAtBlock = 2;
        Receiver rx(options);
        QVERIFY(rx.bReady);
        QSignalSpy abortSpy(rx.pDevice.data(), &SimulatedDevice::TransferAborted);
        QVERIFY(rx.Send(Header("f.bin", 256)).endsWith(kAck));
        QCOMPARE(rx.Send(Block(1, image, 128), kAnswers).right(1), QByteArray(1, kAck));
        QCOMPARE(rx.Send(Block(2, image.mid(128), 128), kAnswers), QByteArray(1, kCan));
        QVERIFY(rx.host.ReadCount(1, 1000).startsWith(kCan));
        QVERIFY(abortSpy.count() == 1 || abortSpy.wait(2000));
        QVERIFY(rx.host.ReadCount(1, 2000).startsWith('C'));
        // Each fault fires once: the next transfer goes through.
        QVERIFY(rx.Send(Header("f.bin", 256)).endsWith(kAck));
        QCOMPARE(rx.Send(Block(1, image, 128), kAnswers).right(1), QByteArray(1, kAck));
        QCOMPARE(rx.Send(Block(2, image.mid(128), 128), kAnswers), QByteArray(1, kAck));
    }
    {
        // The letter "a" at the header.
        SimulatorOptions options;
        options.nCancelLetterAtBlock = 0;
        options.cCancelLetter = 'a';
        Receiver rx(options);
        QVERIFY(rx.bReady);
        QCOMPARE(rx.Send(Header("f.bin", 256), kAnswers + "a").right(1), QByteArray("a"));
    }
    {
        // Garbage instead of an answer at block 1: the block is not taken,
        // so it is acknowledged when it comes again.
        SimulatorOptions options;
        options.nGarbageAtBlock = 1;
        Receiver rx(options);
        QVERIFY(rx.bReady);
        QVERIFY(rx.Send(Header("f.bin", 256)).endsWith(kAck));
        QVERIFY(rx.host.ReadCount(1, 2000).startsWith('C'));
        QVERIFY(rx.host.Write(Block(1, image, 128)));
        const QByteArray garbage = rx.host.ReadCount(1, 2000) + rx.host.ReadFor(100);
        QVERIFY(!garbage.isEmpty());
        for (char c : QByteArray(1, kAck) + kNak + kCan + "CAa")
            QVERIFY(!garbage.contains(c));
        QCOMPARE(rx.Send(Block(1, image, 128), kAnswers), QByteArray(1, kAck));
        QCOMPARE(rx.Send(Block(2, image.mid(128), 128), kAnswers), QByteArray(1, kAck));
        QCOMPARE(rx.Send(QByteArray(1, kEot), kAnswers), QByteArray(1, kNak));
    }
}

void TestSimulatorYmodem::silentReceiverWakesOnSenderCancel()
{
    SimulatorOptions options;
    options.nSilentAtBlock = 1;
    Receiver rx(options);
    QVERIFY(rx.bReady);
    QSignalSpy abortSpy(rx.pDevice.data(), &SimulatedDevice::TransferAborted);
    QVERIFY(rx.Send(Header("f.bin", 128)).endsWith(kAck));
    QVERIFY(rx.host.ReadCount(1, 2000).startsWith('C'));
    QVERIFY(rx.host.Write(Block(1, RandomBytes(128, 2), 128)));
    // Not a byte, not even a "C", for several of the receiver's intervals.
    QCOMPARE(rx.host.ReadFor(600), QByteArray());
    QVERIFY(rx.host.Write(QByteArray(5, kCan)));
    QVERIFY(abortSpy.wait(2000));
    QVERIFY(rx.host.ReadCount(1, 2000).startsWith('C'));
}

void TestSimulatorYmodem::closeAtEotGivesHostAReadError()
{
    SimulatorOptions options;
    options.nCloseAtBlock = SimulatorOptions::kAtEot;
    Receiver rx(options);
    QVERIFY(rx.bReady);
    QVERIFY(rx.Send(Header("f.bin", 100)).endsWith(kAck));
    QCOMPARE(rx.Send(Block(1, RandomBytes(100, 4), 128), kAnswers).right(1), QByteArray(1, kAck));
    QSignalSpy errorSpy(&rx.host.Port(), &QSerialPort::errorOccurred);
    QVERIFY(rx.host.Write(QByteArray(1, kEot)));
    QTRY_VERIFY_WITH_TIMEOUT(!errorSpy.isEmpty(), 2000);
    const auto eError = errorSpy.first().first().value<QSerialPort::SerialPortError>();
    QVERIFY(eError == QSerialPort::ReadError || eError == QSerialPort::ResourceError);
    rx.host.Close();
}

void TestSimulatorYmodem::lrzszSenderIsUnderstood()
{
    const QString sSz = QStandardPaths::findExecutable(QStringLiteral("sz"));
    if (sSz.isEmpty())
        QSKIP("lrzsz's sz is not installed (scripts/setup.sh installs it)");
    Receiver rx;
    QVERIFY(rx.bReady);
    rx.host.Close();   // sz has the line to itself
    QSignalSpy imageSpy(rx.pDevice.data(), &SimulatedDevice::ImageReceived);
    const QByteArray image = RandomBytes(5000, 99);
    const QString sSource = rx.dir.filePath(QStringLiteral("peer.bin"));
    QFile source(sSource);
    QVERIFY(source.open(QIODevice::WriteOnly));
    source.write(image);
    source.close();

    QProcess sz;
    sz.setStandardInputFile(rx.pDevice->PortPath());
    sz.setStandardOutputFile(rx.pDevice->PortPath());
    sz.start(sSz, {QStringLiteral("--ymodem"), QStringLiteral("-q"), sSource});
    QVERIFY(sz.waitForStarted(5000));
    QVERIFY(imageSpy.wait(30000));
    // sz may have ended while the spy waited.
    QVERIFY(sz.state() == QProcess::NotRunning || sz.waitForFinished(30000));
    QCOMPARE(sz.exitStatus(), QProcess::NormalExit);
    QCOMPARE(sz.exitCode(), 0);
    QCOMPARE(imageSpy.first().at(0).toString(), QStringLiteral("peer.bin"));
    QCOMPARE(imageSpy.first().at(1).toByteArray(), image);
    QTRY_COMPARE_WITH_TIMEOUT(rx.pDevice->State(), SimulatorOptions::State::Application, 2000);
}

QTEST_MAIN(TestSimulatorYmodem)
#include "tst_simulatorymodem.moc"
