// The firmware file transmitter against the simulated device's boot loader
// receiver over a real pseudo-terminal.

#include "transfer/ymodemfiletransmit.h"

#include "device/waitsfortesting.h"
#include "simulator/simulateddevice.h"
#include "support/randombytes.h"
#include "support/testenvironment.h"
#include "transmitrecorder.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <memory>
#include <unistd.h>

namespace {

using S = YmodemFileTransmit;

// Progress values the transmitter must report for a file: one per data
// block, 1024 bytes while more than 128 remain, else the rest.
QList<int> ExpectedProgress(qint64 nSize)
{
    QList<int> out;
    qint64 nSent = 0;
    while (nSent < nSize) {
        nSent += (nSize - nSent > 128) ? qMin<qint64>(1024, nSize - nSent) : nSize - nSent;
        out << int(nSent * 100 / nSize);
    }
    return out;
}

// A simulated device waiting in its YMODEM receiver, a transmitter aimed at
// it and a firmware image on disk.
struct DeviceRig
{
    QTemporaryDir dir;
    std::unique_ptr<SimulatedDevice> device;
    YmodemFileTransmit tx;
    TransmitRecorder rec{&tx};
    QString sImagePath;

    bool Start(SimulatorOptions options = SimulatorOptions())
    {
        if (!dir.isValid()) {
            return false;
        }
        options.initialState = SimulatorOptions::State::Ymodem;
        options.sImageDir = dir.filePath(QStringLiteral("received"));
        device.reset(new SimulatedDevice(options));
        QString sError;
        if (!device->Start(&sError)) {
            qWarning() << "simulated device:" << sError;
            return false;
        }
        tx.SetPortName(device->PortPath());
        return true;
    }
    bool SetImage(const QByteArray &content, const QString &sName = QStringLiteral("image.bin"))
    {
        sImagePath = dir.filePath(sName);
        QFile file(sImagePath);
        if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size()) {
            return false;
        }
        tx.SetFileName(sImagePath);
        return true;
    }
    // Frames the device received that were runs of CAN bytes.
    int CancelRuns(int nMinLength) const
    {
        int n = 0;
        for (const QByteArray &f : device->Frames()) {
            if (f.size() >= nMinLength && f.count(char(0x18)) == f.size()) {
                ++n;
            }
        }
        return n;
    }
};

// Swaps the descriptor behind an open file for one that cannot be read, so
// the transmitter's next read from the disk fails for real.
bool BreakReadsOf(const QString &sPath)
{
    const QByteArray target = QFileInfo(sPath).canonicalFilePath().toLocal8Bit();
    for (int fd = 3; fd < 1024; ++fd) {
        char szLink[4096] = {};
        const QByteArray link = "/proc/self/fd/" + QByteArray::number(fd);
        const ssize_t n = ::readlink(link.constData(), szLink, sizeof(szLink) - 1);
        if (n > 0 && target == QByteArray(szLink, int(n))) {
            const int nDead = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
            const bool bOk = nDead >= 0 && ::dup2(nDead, fd) >= 0;
            ::close(nDead);
            return bOk;
        }
    }
    return false;
}

} // namespace

class YmodemDeviceTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        TestEnvironment::GuardSerialPorts();
    }
    void cleanup()
    {
        WaitsForTesting::Reset();
    }

    // Real waits and limits (50 ms steps, 499/5/999) but for the large image.
    void imagesArriveByteForByte_data()
    {
        QTest::addColumn<int>("nSize");
        QTest::addColumn<int>("nStepMs");
        for (int n : {0, 1, 128, 129, 1024, 1025}) {
            QTest::newRow(qPrintable(QString::number(n))) << n << 50;
        }
        // One block per step: 10 ms steps keep the large image quick.
        QTest::newRow("300 KiB") << 300 * 1024 + 77 << 10;
    }
    void imagesArriveByteForByte()
    {
        QFETCH(int, nSize);
        QFETCH(int, nStepMs);
        Waits waits;
        waits.nYmodemStepMs = nStepMs;
        WaitsForTesting::Set(waits);
        DeviceRig rig;
        QVERIFY(rig.Start());
        const QByteArray content = RandomBytes(nSize, quint32(nSize) + 1);
        QVERIFY(rig.SetImage(content));
        QSignalSpy images(rig.device.get(), &SimulatedDevice::ImageReceived);
        QVERIFY(rig.tx.StartTransmit());
        QVERIFY(rig.rec.WaitForEnd(60000));
        QCOMPARE(rig.rec.Final(), int(S::StatusDone));

        QTRY_COMPARE(images.count(), 1);
        const SimulatedDevice::Image image = rig.device->Images().value(0);
        QCOMPARE(image.sFileName, QStringLiteral("image.bin"));
        QCOMPARE(image.nHeaderSize, qint64(nSize));
        QVERIFY(image.content == content);
        QFile saved(image.sSavedPath);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QVERIFY(saved.readAll() == content);

        // Opening, one Sending per data block and one for the end, Done.
        const QList<int> progress = ExpectedProgress(nSize);
        QList<int> statuses;
        statuses << S::StatusOpening;
        for (int i = 0; i <= progress.size(); ++i) {
            statuses << S::StatusSending;
        }
        statuses << S::StatusDone;
        QCOMPARE(rig.rec.Statuses(), statuses);
        QCOMPARE(rig.rec.Progress(), progress);
    }

    // Every ACK runs the next step at once instead of waiting for the 50 ms
    // step: with the real waits, 64 blocks on an unpaced line take far less
    // than the 3.2 s that one block per step would need.
    void repliesDriveTheSteps()
    {
        DeviceRig rig;
        QVERIFY(rig.Start());
        const QByteArray content = RandomBytes(64 * 1024, 5);
        QVERIFY(rig.SetImage(content));
        QSignalSpy images(rig.device.get(), &SimulatedDevice::ImageReceived);
        QElapsedTimer timer;
        QObject::connect(&rig.tx, &YmodemFileTransmit::TransmitStatus, &rig.tx, [&](S::YmodemStatus e) {
            if (e == S::StatusOpening) {
                timer.start();
            }
        });
        QVERIFY(rig.tx.StartTransmit());
        QVERIFY(rig.rec.WaitForEnd(60000));
        const qint64 nElapsed = timer.elapsed();
        QCOMPARE(rig.rec.Final(), int(S::StatusDone));
        QTRY_COMPARE(images.count(), 1);
        QVERIFY(rig.device->Images().value(0).content == content);
        QVERIFY2(nElapsed < 1600, qPrintable(QString::number(nElapsed)));
    }

    // A receiver cancel ends with StatusCancelled; the same object then
    // sends the file in full on a second StartTransmit.
    void receiverCancelThenSecondStart_data()
    {
        QTest::addColumn<int>("nAt");
        QTest::addColumn<char>("cHow");   // 0: CAN CAN, else the letter
        QTest::newRow("CAN at the header") << 0 << char(0);
        QTest::newRow("CAN mid-data") << 3 << char(0);
        QTest::newRow("CAN at EOT") << int(SimulatorOptions::kAtEot) << char(0);
        QTest::newRow("A at the header") << 0 << 'A';
        QTest::newRow("a mid-data") << 2 << 'a';
    }
    void receiverCancelThenSecondStart()
    {
        QFETCH(int, nAt);
        QFETCH(char, cHow);
        SimulatorOptions options;
        options.nCIntervalMs = 300;
        if (cHow) {
            options.nCancelLetterAtBlock = nAt;
            options.cCancelLetter = cHow;
        } else {
            options.nCancelAtBlock = nAt;
        }
        DeviceRig rig;
        QVERIFY(rig.Start(options));
        const QByteArray content = RandomBytes(5000, 99);
        QVERIFY(rig.SetImage(content));
        QVERIFY(rig.tx.StartTransmit());
        QVERIFY(rig.rec.WaitForEnd(20000));
        QCOMPARE(rig.rec.Final(), int(S::StatusCancelled));
        QVERIFY(!rig.rec.Statuses().contains(S::StatusDone));
        QVERIFY(rig.device->Images().isEmpty());

        rig.rec.Clear();
        QVERIFY(rig.tx.StartTransmit());
        QVERIFY(rig.rec.WaitForEnd(20000));
        QCOMPARE(rig.rec.Statuses().first(), int(S::StatusOpening));
        QCOMPARE(rig.rec.Final(), int(S::StatusDone));
        QCOMPARE(rig.rec.Progress(), ExpectedProgress(content.size()));
        QTRY_COMPARE(rig.device->Images().size(), 1);
        QVERIFY(rig.device->Images().at(0).content == content);
    }

    // The receiver asks again (NAKs, or an answer that means nothing and a
    // resend after the shortened resend period); the image still arrives.
    void repeatedBlocksStillGiveTheImage_data()
    {
        QTest::addColumn<int>("nNakAt");
        QTest::addColumn<int>("nGarbageAt");
        QTest::newRow("three NAKs of block 2") << 2 << int(SimulatorOptions::kNever);
        QTest::newRow("NAKs of the header") << 0 << int(SimulatorOptions::kNever);
        QTest::newRow("NAKs of the EOT") << int(SimulatorOptions::kAtEot) << int(SimulatorOptions::kNever);
        QTest::newRow("garbage for block 4") << int(SimulatorOptions::kNever) << 4;
    }
    void repeatedBlocksStillGiveTheImage()
    {
        QFETCH(int, nNakAt);
        QFETCH(int, nGarbageAt);
        Waits waits;
        waits.nYmodemTickDivisor = 9;   // resend after 10 idle steps
        WaitsForTesting::Set(waits);
        SimulatorOptions options;
        options.nNakAtBlock = nNakAt;
        options.nNakTimes = 3;
        options.nGarbageAtBlock = nGarbageAt;
        DeviceRig rig;
        QVERIFY(rig.Start(options));
        const QByteArray content = RandomBytes(6000, 5);
        QVERIFY(rig.SetImage(content));
        QVERIFY(rig.tx.StartTransmit());
        QVERIFY(rig.rec.WaitForEnd(30000));
        QCOMPARE(rig.rec.Final(), int(S::StatusDone));
        QTRY_COMPARE(rig.device->Images().size(), 1);
        QVERIFY(rig.device->Images().at(0).content == content);
    }

    // Shortened limits: a receiver that stops answering after the header
    // ends the transfer with five CANs and StatusFailed.
    void silentReceiverFails()
    {
        Waits waits;
        waits.nYmodemStepMs = 10;
        waits.nYmodemTickDivisor = 9;
        waits.nYmodemMaxTimeouts = 1;
        WaitsForTesting::Set(waits);
        SimulatorOptions options;
        options.nCIntervalMs = 100;   // a "C" sent before the port opened is not seen
        options.nSilentAtBlock = 2;
        DeviceRig rig;
        QVERIFY(rig.Start(options));
        QVERIFY(rig.SetImage(RandomBytes(4000, 3)));
        QVERIFY(rig.tx.StartTransmit());
        QVERIFY(rig.rec.WaitForEnd(20000));
        QCOMPARE(rig.rec.Final(), int(S::StatusFailed));
        QTRY_COMPARE(rig.CancelRuns(5), 1);
        QVERIFY(rig.device->Images().isEmpty());
    }

    // The device going away mid-transfer ends it at once (real limits would
    // otherwise wait 150 s).
    void deviceGoneEndsTheTransfer_data()
    {
        QTest::addColumn<bool>("bUnplug");
        QTest::newRow("line closed at block 3") << false;
        QTest::newRow("unplugged mid-data") << true;
    }
    void deviceGoneEndsTheTransfer()
    {
        QFETCH(bool, bUnplug);
        SimulatorOptions options;
        if (!bUnplug) {
            options.nCloseAtBlock = 3;
        }
        DeviceRig rig;
        QVERIFY(rig.Start(options));
        QVERIFY(rig.SetImage(RandomBytes(40000, 11)));
        if (bUnplug) {
            QObject::connect(&rig.tx, &YmodemFileTransmit::TransmitProgress, &rig.tx, [&rig](int nProgress) {
                if (nProgress >= 10 && rig.device->State() == SimulatorOptions::State::Ymodem) {
                    rig.device->Unplug();
                }
            });
        }
        QVERIFY(rig.tx.StartTransmit());
        QVERIFY(rig.rec.WaitForEnd(10000));
        QCOMPARE(rig.rec.Final(), int(S::StatusFailed));
        QVERIFY(rig.rec.Progress().last() < 100);
        QVERIFY(!rig.rec.MoreWithin(300));
    }

    // The image cannot be read any more during the transfer: the block is
    // refused with CANs and the transfer ends with StatusFailed; nothing that
    // is not the file's goes out as data.
    void fileReadFailureRefusesTheBlock_data()
    {
        QTest::addColumn<int>("nBreak");   // 0: reads fail, 1: shrinks to 0, 2: shrinks, then rewritten
        QTest::newRow("read fails") << 0;
        QTest::newRow("file shrinks") << 1;
        // A short read must not go out zero-filled while the rewritten file
        // lets the transfer go on to a "Done" with zeros in the image.
        QTest::newRow("shrinks then rewritten") << 2;
    }
    void fileReadFailureRefusesTheBlock()
    {
        QFETCH(int, nBreak);
        SimulatorOptions options;
        DeviceRig rig;
        QVERIFY(rig.Start(options));
        const QByteArray content = RandomBytes(64 * 1024, 21);
        QVERIFY(rig.SetImage(content));
        QSignalSpy aborted(rig.device.get(), &SimulatedDevice::TransferAborted);
        bool bBroken = false;
        int nProgress = 0;
        QObject::connect(&rig.tx, &YmodemFileTransmit::TransmitProgress, &rig.tx, [&](int) {
            ++nProgress;
            if (nBreak == 2 && nProgress == 2) {
                QFile image(rig.sImagePath);
                QVERIFY(image.open(QIODevice::WriteOnly) && image.write(content) == content.size());
            }
            if (bBroken) {
                return;
            }
            bBroken = true;
            if (nBreak == 0) {
                QVERIFY(BreakReadsOf(rig.sImagePath));
            } else {
                QVERIFY(QFile::resize(rig.sImagePath, nBreak == 1 ? 0 : 1500));
            }
        });
        QVERIFY(rig.tx.StartTransmit());
        QVERIFY(rig.rec.WaitForEnd(30000));
        QVERIFY(bBroken);
        QCOMPARE(rig.rec.Final(), int(S::StatusFailed));
        QCOMPARE(rig.rec.Statuses().count(S::StatusFailed), 1);
        const QList<int> progress = rig.rec.Progress();
        QVERIFY(!progress.isEmpty());
        QVERIFY(progress.last() < 100);
        for (int i = 1; i < progress.size(); ++i) {
            QVERIFY(progress.at(i) > progress.at(i - 1));
        }
        QVERIFY(aborted.count() >= 1 || aborted.wait(5000));
        QVERIFY(rig.device->Images().isEmpty());
        QTRY_COMPARE(rig.CancelRuns(5), 1);
        // Every data block that went out holds the file's own bytes.
        QByteArray sent;
        for (const QByteArray &f : rig.device->Frames()) {
            if (f.size() == 1029 || (f.size() == 133 && f.at(1) != 0)) {
                sent += f.mid(3, f.size() - 5);
            }
        }
        QVERIFY(!sent.isEmpty());
        QVERIFY(content.startsWith(sent));
    }
};

QTEST_MAIN(YmodemDeviceTest)
#include "tst_ymodemdevice.moc"
