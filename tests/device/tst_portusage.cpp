// Whether the listed ports are in use, as the support file tells it: a free
// port, one that a program holds, and one whose open does not return, which
// must not hold the check up beyond its bound.

#include "device/porttrialfortesting.h"
#include "device/portusage.h"
#include "device/waits.h"
#include "simulator/simulateddevice.h"
#include "support/testenvironment.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSerialPort>
#include <QtTest>

namespace {

// How much longer than its bound the check may take: the poll period and a
// loaded machine's scheduling.
constexpr int kSlackMs = 500;
// An open held up well beyond the bound.
constexpr int kBlockedOpenMs = 4000;

} // namespace

class PortUsageTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { TestEnvironment::GuardSerialPorts(); }

    void portsAreToldWithinTheBound_data()
    {
        QTest::addColumn<QString>("sCase");   // "free", "held" (this process holds it open), "blocked" (its open
                                              // does not return)
        QTest::addColumn<int>("nUse");
        QTest::addColumn<QString>("sNote");   // the start of the note
        QTest::newRow("free") << QStringLiteral("free") << int(PortUsage::Use::Free)
                              << QStringLiteral("it opened and was closed again");
        QTest::newRow("held by a program") << QStringLiteral("held") << int(PortUsage::Use::InUse)
                                           << QStringLiteral("its lock file names process %1")
                                                  .arg(QCoreApplication::applicationPid());
        QTest::newRow("open that does not return") << QStringLiteral("blocked") << int(PortUsage::Use::Unknown)
                                                   << QStringLiteral("its open had not returned after %1 ms")
                                                          .arg(Waits::Current().nSupportPortCheckMs);
    }
    void portsAreToldWithinTheBound()
    {
        QFETCH(QString, sCase);
        QFETCH(int, nUse);
        QFETCH(QString, sNote);
        SimulatedDevice device;
        QString sError;
        QVERIFY2(device.Start(&sError), qPrintable(sError));
        const QString sPort = device.PortPath();
        TestEnvironment::SetSerialPorts({sPort});

        QSerialPort holder(sPort);
        if (sCase == QLatin1String("held")) {
            QVERIFY2(holder.open(QIODevice::ReadWrite), qPrintable(holder.errorString()));
        } else if (sCase == QLatin1String("blocked")) {
            PortTrialForTesting::SetOpenDelay(sPort, kBlockedOpenMs);
        }
        QElapsedTimer elapsed;
        elapsed.start();
        const QList<PortUsage::Entry> entries = PortUsage::Check();
        const qint64 nElapsedMs = elapsed.elapsed();
        PortTrialForTesting::SetOpenDelay(sPort, 0);

        QCOMPARE(entries.size(), 1);
        QCOMPARE(entries.first().port.sDevicePath, sPort);
        QVERIFY2(entries.first().sNote.startsWith(sNote), qPrintable(entries.first().sNote));
        QCOMPARE(int(entries.first().eUse), nUse);
        QVERIFY2(nElapsedMs < Waits::Current().nSupportPortCheckMs + kSlackMs, qPrintable(QString::number(nElapsedMs)));
        // The blocked open ends by itself later, before the device goes.
        QTRY_COMPARE_WITH_TIMEOUT(PortTrialForTesting::Running(), 0, kBlockedOpenMs + kSlackMs);
    }
};

QTEST_GUILESS_MAIN(PortUsageTest)
#include "tst_portusage.moc"
