// Link behaviour that hangs on exact byte patterns on the wire: the peer is a
// pseudo-terminal whose far end the test writes byte by byte.

#include "device/serialworker.h"
#include "devicerig.h"
#include "scriptedline.h"

#include <QtTest>

namespace {

using DeviceRig::kBootFrame;
using DeviceRig::kCtrlFrame;
using DeviceRig::kExitFrame;
using DeviceRig::ThreadCpuMs;
using DeviceRig::PrepareShortWaits;
using DeviceRig::PrepareTestCase;

// Writes bytes one burst at a time, nGapMs apart, starting nFirstMs from now.
void WriteBursts(ScriptedLine &line, int nFirstMs, int nGapMs, const QList<QByteArray> &bursts)
{
    for (int i = 0; i < bursts.size(); ++i) {
        line.WriteLater(nFirstMs + i * nGapMs, bursts.at(i));
    }
}

// Opens the line and the worker's port on it, as a request would have.
bool OpenOn(ScriptedLine &line, SerialWorker &worker)
{
    if (!line.Open()) {
        return false;
    }
    worker.SetPortName(line.PortPath());
    worker.CreateSerialPort();
    return worker.SerialPort()->open(QIODevice::ReadWrite);
}

} // namespace

class LinkScriptedTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { PrepareTestCase(); }

    void init() { PrepareShortWaits(1500); }

    void cleanupTestCase() { WaitsForTesting::Reset(); }

    // The remembered port counts as the boot loader only with four 'C's in
    // its probe; with three it is asked for control mode instead.
    void savedPortNeedsFourC_data()
    {
        QTest::addColumn<QByteArray>("burst");
        QTest::addColumn<bool>("ymodem");
        QTest::newRow("four") << QByteArrayLiteral("CCCC") << true;
        QTest::newRow("three") << QByteArrayLiteral("CCC") << false;
        QTest::newRow("three and others") << QByteArrayLiteral("C\x14\x3F" "CC") << false;
    }

    void savedPortNeedsFourC()
    {
        QFETCH(QByteArray, burst);
        QFETCH(bool, ymodem);
        ScriptedLine line;
        QVERIFY(line.Open());
        SerialWorker worker;
        worker.SetPortName(line.PortPath());
        line.WriteLater(50, burst);
        QCOMPARE(worker.OpenSerialPort(), ymodem);
        if (ymodem) {
            QCOMPARE(worker.DeviceMode(), int(SerialWorker::ModeYmodem));
            QVERIFY(line.Received().isEmpty());
            QVERIFY(worker.SerialPort()->isOpen());
        } else {
            // Control mode was tried (no answer); the empty list gave nothing.
            QVERIFY(line.Received().startsWith(kCtrlFrame));
            QCOMPARE(worker.ErrorMessage(), QStringLiteral("No serial port available"));
            QVERIFY(!worker.SerialPort()->isOpen());
        }
    }

    // A scanned port is the boot loader with a single whole 'C' byte; the
    // bytes 14 3F, whose hex holds "43" across the boundary, are no 'C'.
    void scannedPortNeedsOneWholeC()
    {
        ScriptedLine line;
        QVERIFY(line.Open());
        TestEnvironment::SetSerialPorts({line.PortPath()});
        {
            SerialWorker worker;
            line.WriteLater(50, QByteArrayLiteral("C"));
            QVERIFY(worker.OpenSerialPort());
            QCOMPARE(worker.DeviceMode(), int(SerialWorker::ModeYmodem));
            QCOMPARE(worker.PortName(), line.PortPath());
            QVERIFY(line.Received().isEmpty());
        }
        {
            SerialWorker worker;
            line.onReceived = [&line](const QByteArray &chunk) {
                if (chunk == kCtrlFrame) {
                    line.Write(chunk);
                }
            };
            line.WriteLater(50, QByteArray::fromHex("143F"));
            QVERIFY(worker.OpenSerialPort());
            QCOMPARE(worker.DeviceMode(), int(SerialWorker::ModeCtrl));
            QCOMPARE(line.Received(), kCtrlFrame);
        }
    }

    // The boot loader may echo only a piece of the frame: the first twelve
    // hex digits of the reply must occur somewhere in the frame text.
    void bootEchoPiece_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<bool>("passes");
        QTest::newRow("full echo") << kBootFrame << true;
        QTest::newRow("C955") << QByteArray::fromHex("C955") << true;
        QTest::newRow("55AA") << QByteArray::fromHex("55AA") << true;
        QTest::newRow("echo and more") << (kBootFrame + "xyz") << true;
        QTest::newRow("not a piece") << QByteArray::fromHex("AAC9") << false;
        QTest::newRow("wrong check byte") << QByteArray::fromHex("C955AAAAAA00") << false;
    }

    void bootEchoPiece()
    {
        QFETCH(QByteArray, reply);
        QFETCH(bool, passes);
        ScriptedLine line;
        SerialWorker worker;
        QVERIFY(OpenOn(line, worker));
        line.onReceived = [&line, reply](const QByteArray &chunk) {
            if (chunk == kBootFrame) {
                line.Write(reply);
                // The boot loader's 'C's, after the reply window.
                WriteBursts(line, 800, 100, {"C", "C", "C", "C"});
            }
        };
        QCOMPARE(worker.EnterBootMode(), passes);
        if (passes) {
            QVERIFY(worker.BootReady());
        } else {
            QCOMPARE(worker.ErrorMessage(), QStringLiteral("EnterBootMode fail"));
        }
        QVERIFY(worker.SerialPort()->isOpen());
    }

    // The boot loader is ready after four 'C's counted over every burst since
    // the wait began; three are not enough, whatever else arrives.
    void bootReadyCountsAcrossBursts_data()
    {
        QTest::addColumn<QList<QByteArray>>("bursts");
        QTest::addColumn<bool>("ready");
        QTest::newRow("four single") << QList<QByteArray>{"C", "C", "C", "C"} << true;
        QTest::newRow("one burst") << QList<QByteArray>{"CCCC"} << true;
        QTest::newRow("two and two") << QList<QByteArray>{"xC", "C", "yCCz"} << true;
        QTest::newRow("three") << QList<QByteArray>{"C", "C", "C"} << false;
        QTest::newRow("straddling 43s") << QList<QByteArray>{"\x14\x3F", "\x14\x3F", "\x14\x3F\x14\x3F"} << false;
    }

    void bootReadyCountsAcrossBursts()
    {
        QFETCH(QList<QByteArray>, bursts);
        QFETCH(bool, ready);
        ScriptedLine line;
        SerialWorker worker;
        QVERIFY(OpenOn(line, worker));
        // 150 ms apart: every burst is judged on its own after 50 quiet ms.
        WriteBursts(line, 50, 150, bursts);
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(worker.WaitBootReady(), ready);
        QCOMPARE(worker.BootReady(), ready);
        if (ready) {
            // Ends when the 'C's are counted, not at the end of the wait.
            QVERIFY2(timer.elapsed() < 1400, qPrintable(QString::number(timer.elapsed())));
        } else {
            QVERIFY(timer.elapsed() >= 1400);
        }
    }

    // The reply window always runs to its end: an echo followed later in the
    // window by one more byte is not an exact echo. And nothing flushes the
    // input before a frame: a byte left from before joins the next reply.
    void replyWindowRunsToItsEnd()
    {
        ScriptedLine line;
        SerialWorker worker;
        QVERIFY(OpenOn(line, worker));

        line.onReceived = [&line](const QByteArray &chunk) {
            if (chunk == kExitFrame) {
                line.Write(chunk);
                line.WriteLater(300, QByteArray::fromHex("00"));
            }
        };
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!worker.ExitCtrlMode());
        QVERIFY(timer.elapsed() >= 490);
        QCOMPARE(worker.ErrorMessage(), QStringLiteral("ExitCtrlMode fail"));

        line.onReceived = [&line](const QByteArray &chunk) {
            if (chunk == kExitFrame) {
                line.Write(chunk);
            }
        };
        QVERIFY(worker.ExitCtrlMode());

        line.Write(QByteArray::fromHex("AB"));
        QTRY_VERIFY(worker.SerialPort()->bytesAvailable() > 0);
        QVERIFY(!worker.ExitCtrlMode());
        QCOMPARE(worker.ErrorMessage(), QStringLiteral("ExitCtrlMode fail"));
    }

    // A line that goes away during a wait ends the wait at once, closes the
    // port and fails the step; Qt's stream of read errors from the dead line
    // must not keep the thread busy afterwards.
    void deviceGoneEndsTheWait_data()
    {
        QTest::addColumn<QString>("step");
        QTest::newRow("boot wait") << "boot wait";
        QTest::newRow("reply wait") << "reply wait";
        QTest::newRow("probe") << "probe";
    }

    void deviceGoneEndsTheWait()
    {
        QFETCH(QString, step);
        Waits waits = Waits::Current();
        waits.nReplyMs = 3000;
        waits.nProbeMs = 3000;
        waits.nBootReadyMs = 3000;
        WaitsForTesting::Set(waits);

        ScriptedLine line;
        QVERIFY(line.Open());
        SerialWorker worker;
        worker.SetPortName(line.PortPath());
        worker.CreateSerialPort();
        QSerialPort *pPort = worker.SerialPort();
        QSignalSpy errors(pPort, &QSerialPort::errorOccurred);
        if (step != QLatin1String("probe")) {
            QVERIFY(pPort->open(QIODevice::ReadWrite));
        }
        QTimer::singleShot(150, &line, &ScriptedLine::Unplug);

        const qint64 nCpuBefore = ThreadCpuMs();
        QElapsedTimer timer;
        timer.start();
        if (step == QLatin1String("boot wait")) {
            QVERIFY(!worker.WaitBootReady());
        } else if (step == QLatin1String("reply wait")) {
            QString sVersion;
            QVERIFY(!worker.GetVersion(sVersion));
            QCOMPARE(worker.ErrorMessage(), QStringLiteral("GetVersion not received data"));
        } else {
            // The saved port opens, goes away while probed; nothing else is
            // listed.
            QVERIFY(!worker.OpenSerialPort());
            QCOMPARE(worker.ErrorMessage(), QStringLiteral("No serial port available"));
            pPort = worker.SerialPort();
        }
        const qint64 nElapsed = timer.elapsed();
        const bool bClosed = !pPort->isOpen();

        // Let the loop run a while: a port left open on the dead line would
        // report read errors in a busy loop now.
        QTest::qWait(500);
        const qint64 nCpu = ThreadCpuMs() - nCpuBefore;
        qDebug() << step << "returned after" << nElapsed << "ms; thread CPU" << nCpu << "ms; error reports"
                 << errors.count();
        QVERIFY2(nElapsed < 1500, qPrintable(QString::number(nElapsed)));
        QVERIFY(bClosed);
        QVERIFY(worker.DeviceGone() || step == QLatin1String("probe"));
        QVERIFY2(nCpu < 400, qPrintable(QString::number(nCpu)));
        if (step != QLatin1String("probe")) {
            QVERIFY2(errors.count() < 20, qPrintable(QString::number(errors.count())));
        }
    }
};

QTEST_GUILESS_MAIN(LinkScriptedTest)
#include "tst_linkscripted.moc"
