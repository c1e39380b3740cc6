// A port whose open blocks (an outgoing Bluetooth port, a modem) on the way
// of the upgrade coordinator's scan, which runs on the window's thread: the
// thread keeps running its events through the open, and the device on the
// port after it is found. The blocking is the trial open's test seam; the
// ports are simulated devices on pseudo-terminals.

#include "transfer/qserialuser.h"

#include "app/logging.h"
#include "device/porttrialfortesting.h"
#include "device/waitsfortesting.h"
#include "simulator/simulateddevice.h"
#include "support/randombytes.h"
#include "support/testenvironment.h"
#include "transmitrecorder.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <spdlog/spdlog.h>

#include <memory>

namespace {

// The longest pause between the ticks of a timer on the calling thread while
// a call runs.
class TickGaps
{
public:
    explicit TickGaps(int nIntervalMs)
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_timer, &QTimer::timeout, [this]() {
            m_nMaxGapMs = qMax(m_nMaxGapMs, m_sinceTick.restart());
        });
        m_timer.start(nIntervalMs);
        m_sinceTick.start();
    }
    qint64 MaxGapMs() const { return qMax(m_nMaxGapMs, m_sinceTick.elapsed()); }

private:
    QTimer m_timer;
    QElapsedTimer m_sinceTick;
    qint64 m_nMaxGapMs = 0;
};

} // namespace

class BlockingOpenTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        TestEnvironment::GuardSerialPorts();
        QVERIFY(m_logDir.isValid());
        QVERIFY(Logging::InitLogIn(m_logDir.path(), QDateTime::currentDateTime()));
    }
    // The trial open ends by itself, and nothing of it outlives the test
    // (the next test's pseudo-terminal may have the same path).
    void cleanup()
    {
        TestEnvironment::SetSerialPorts({});
        WaitsForTesting::Reset();
        QTRY_COMPARE_WITH_TIMEOUT(PortTrialForTesting::Running(), 0, 10000);
    }
    void cleanupTestCase() { spdlog::drop_all(); }

    // With the program's waits (3 s for a scanned port's open, 20 s for the
    // remembered one's). The blocking port is a device too, listed first: had
    // it been opened, the upgrade would have gone there.
    void upgradeScanRunsThroughABlockingOpen_data()
    {
        QTest::addColumn<bool>("bRemembered");   // the blocking port is the remembered one
        QTest::addColumn<int>("nStopAfterMs");   // the upgrade is stopped then; 0: never
        QTest::addColumn<bool>("bFoundThere");   // the device is found on the blocking port
        QTest::newRow("scanned port blocks past its wait, the next port's device is found")
            << false << 0 << false;
        QTest::newRow("remembered port opens late within its longer wait, and its device is found")
            << true << 0 << true;
        QTest::newRow("stopped while the remembered port blocks") << true << 500 << false;
    }
    void upgradeScanRunsThroughABlockingOpen()
    {
        QFETCH(bool, bRemembered);
        QFETCH(int, nStopAfterMs);
        QFETCH(bool, bFoundThere);
        const int nBlockMs = 4500;
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        SimulatorOptions options;
        options.nCIntervalMs = 250;
        options.sImageDir = dir.filePath(QStringLiteral("received"));
        SimulatedDevice blocking(options);
        SimulatedDevice device(options);
        QVERIFY(blocking.Start());
        QVERIFY(device.Start());
        const QString sImage = dir.filePath(QStringLiteral("firmware.bin"));
        QFile image(sImage);
        QVERIFY(image.open(QIODevice::WriteOnly));
        QVERIFY(image.write(RandomBytes(4000, 3)) == 4000);
        image.close();
        PortTrialForTesting::SetOpenDelay(blocking.PortPath(), nBlockMs);
        const auto lift = qScopeGuard([&blocking]() { PortTrialForTesting::SetOpenDelay(blocking.PortPath(), 0); });

        QSerialUser user;
        TransmitRecorder rec(&user);
        if (bRemembered) {
            user.SetPortName(blocking.PortPath());
            TestEnvironment::SetSerialPorts({device.PortPath()});
        } else {
            TestEnvironment::SetSerialPorts({blocking.PortPath(), device.PortPath()});
        }
        if (nStopAfterMs > 0) {
            QTimer::singleShot(nStopAfterMs, &user, [&user]() { user.Interrupt(QStringLiteral("test")); });
        }
        QElapsedTimer timer;
        timer.start();
        bool bStarted = false;
        qint64 nMaxGapMs = 0;
        {
            const TickGaps gaps(20);
            bStarted = user.StartUpgrade(sImage);
            nMaxGapMs = gaps.MaxGapMs();
        }
        const qint64 nElapsedMs = timer.elapsed();
        qInfo() << "StartUpgrade took" << nElapsedMs << "ms; longest gap between 20 ms ticks:" << nMaxGapMs << "ms";
        QVERIFY2(nMaxGapMs < 1000, qPrintable(QString::number(nMaxGapMs)));
        if (nStopAfterMs > 0) {
            QVERIFY(!bStarted);
            QCOMPARE(user.LastUpgradeFailureKind(), FailureKind::Interrupted);
            QVERIFY2(nElapsedMs < nBlockMs, qPrintable(QString::number(nElapsedMs)));
        } else {
            QVERIFY2(bStarted, qPrintable(user.ErrorMessage()));
            QCOMPARE(user.PortName(), bFoundThere ? blocking.PortPath() : device.PortPath());
            QVERIFY(rec.WaitForEnd(30000));
            QCOMPARE(rec.Final(), int(YmodemFileTransmit::StatusDone));
            QTRY_VERIFY_WITH_TIMEOUT(user.IsIdle(), 30000);
        }
        QCOMPARE(blocking.Frames().isEmpty(), !bFoundThere);
    }

private:
    QTemporaryDir m_logDir;
};

QTEST_GUILESS_MAIN(BlockingOpenTest)
#include "tst_blockingopen.moc"
