// The firmware file transmitter against a real YMODEM receiver: lrzsz's rb,
// run on the master side of a pseudo-terminal.
//
// rb is not the device's boot loader: it acknowledges the first EOT at once,
// and its ACK of the closing empty header is often lost because it drops
// pending line output as it exits. It also empties its input right after
// each ACK, NAK or "C" it writes: a block that the transmitter sends in
// answer before that moment (rb preempted between the two calls, on a busy
// machine) is thrown away, and rb NAKs only after 5 s, then empties its
// input again. A transmitter that resends after 5 s of silence too meets
// that second emptying, and a few such losses took a 70 KB transfer past
// half a minute. So the transmitter here resends after 3 s, and the test
// waits as long as blocks keep going out. What must hold is the file, byte
// for byte, and a definite end.

#include "transfer/ymodemfiletransmit.h"

#include "device/waitsfortesting.h"
#include "ptypeer.h"
#include "support/testenvironment.h"
#include "transmitrecorder.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {
using S = YmodemFileTransmit;
}

class YmodemRbTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        TestEnvironment::GuardSerialPorts();
        QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("rb")).isEmpty(),
                 "rb (Debian package lrzsz) is needed: run scripts/setup.sh");
    }
    void cleanup()
    {
        WaitsForTesting::Reset();
    }

    void rbReceivesTheFile_data()
    {
        QTest::addColumn<int>("nSize");
        QTest::newRow("1 byte") << 1;
        QTest::newRow("128 bytes") << 128;
        QTest::newRow("1000 bytes") << 1000;
        QTest::newRow("4096 bytes") << 4096;
        QTest::newRow("70001 bytes") << 70001;
    }
    void rbReceivesTheFile()
    {
        QFETCH(int, nSize);
        // Real step and end waits; a shorter resend period (see above) and a
        // shorter limit, as a safety net: a line rb leaves behind hangs up.
        Waits waits;
        waits.nYmodemTickDivisor = 59;   // resend after 3 s of silence
        waits.nYmodemMaxTimeouts = 4;    // give up after 15 s
        WaitsForTesting::Set(waits);

        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString sOutDir = dir.filePath(QStringLiteral("rb"));
        QVERIFY(QDir().mkpath(sOutDir));
        QByteArray content(nSize, Qt::Uninitialized);
        QRandomGenerator gen{quint32(nSize)};
        for (int i = 0; i < nSize; ++i) {
            content[i] = char(gen.bounded(256));
        }
        const QString sImage = dir.filePath(QStringLiteral("fw-%1.bin").arg(nSize));
        {
            QFile file(sImage);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QCOMPARE(file.write(content), qint64(nSize));
        }

        PtyPeer peer;
        QString sError;
        QVERIFY2(peer.Open(&sError), qPrintable(sError));
        YmodemFileTransmit tx;
        TransmitRecorder rec(&tx);
        tx.SetFileName(sImage);
        tx.SetPortName(peer.SlavePath());
        // The port is open before rb runs, so its first "C" is not lost.
        QVERIFY(tx.StartTransmit());
        const QString sLog = dir.filePath(QStringLiteral("rb.log"));
        QVERIFY2(peer.Spawn(QStringLiteral("rb"), {QStringLiteral("-b"), QStringLiteral("-vv"), QStringLiteral("-y")},
                            sOutDir, sLog, &sError),
                 qPrintable(sError));

        // What both ends saw, for a run that goes wrong.
        const auto story = [&rec, &sLog]() {
            QFile log(sLog);
            log.open(QIODevice::ReadOnly);
            const int nLast = rec.Progress().isEmpty() ? -1 : rec.Progress().last();
            return QStringLiteral("last status %1 of %2, progress %3 %; rb: %4")
                .arg(rec.Final())
                .arg(rec.Statuses().size())
                .arg(nLast)
                .arg(QString::fromLocal8Bit(log.readAll()).replace(QLatin1Char('\r'), QLatin1Char('\n')));
        };
        // The transmitter gives up by itself after 15 s without progress: a
        // longer silence with no end is a hang.
        QVERIFY2(rec.WaitForEndWhileMoving(20000, 150000), qPrintable(story()));
        int nExit = -1;
        QTRY_VERIFY_WITH_TIMEOUT(peer.ChildExited(&nExit), 10000);
        QVERIFY2(nExit == 0, qPrintable(story()));

        QFile received(sOutDir + QStringLiteral("/fw-%1.bin").arg(nSize));
        QVERIFY(received.open(QIODevice::ReadOnly));
        QVERIFY(received.readAll() == content);

        // rb's ACK of the closing header either arrives (Done) or is dropped
        // as it exits, and then the hang-up of the line ends the transfer
        // (Failed). Nothing else is acceptable, and nothing may follow.
        const int nFinal = rec.Final();
        QVERIFY2(nFinal == S::StatusDone || nFinal == S::StatusFailed, qPrintable(QString::number(nFinal)));
        qInfo("rb, %d bytes: final status %s", nSize, nFinal == S::StatusDone ? "StatusDone" : "StatusFailed");
        QCOMPARE(rec.Progress().last(), 100);
        QVERIFY(!rec.MoreWithin(200));
    }
};

QTEST_MAIN(YmodemRbTest)
#include "tst_ymodemrb.moc"
