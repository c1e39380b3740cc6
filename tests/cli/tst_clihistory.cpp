// The service history through the command line, run as child processes
// against simulated devices: several processes appending at once (a run over
// eight ports) lose no record and break none, and `history` selects by serial
// number and time.
#include "app/servicehistory.h"
#include "simulator/simulateddevice.h"
#include "support/testenvironment.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <vector>

namespace {

// A copy of the program in its own folder: its data folder (the log, the
// history) is then the test's.
bool CopyProgram(const QTemporaryDir &dir, QString *psProgram)
{
    *psProgram = dir.filePath(QStringLiteral("kestrelpack-cli"));
    return QFile::copy(QStringLiteral(KP_CLI_PATH), *psProgram);
}

int Run(const QString &sProgram, const QStringList &args, QByteArray *pOut = nullptr)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("KESTRELPACK_SERIAL_PORTS"), QString());
    env.insert(QStringLiteral("TZ"), QStringLiteral("UTC"));   // a date alone is local midnight
    process.setProcessEnvironment(env);
    process.start(sProgram, args);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit) {
        return -1;
    }
    if (pOut) {
        *pOut = process.readAllStandardOutput();
    }
    return process.exitCode();
}

} // namespace

class CliHistoryTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { TestEnvironment::GuardSerialPorts(); }

    // Eight processes, one per port, append at the same moment: eight whole
    // lines, one per device, and nothing else.
    void eightPortsAtOnceLeaveEightWholeRecords()
    {
        QTemporaryDir dir;
        QString sProgram;
        QVERIFY(dir.isValid() && CopyProgram(dir, &sProgram));
        std::vector<std::unique_ptr<SimulatedDevice>> devices;
        QStringList args{QStringLiteral("info")};
        QSet<QString> expected;
        for (int i = 0; i < 8; ++i) {
            SimulatorOptions options;
            options.serialNumber = QByteArray::fromHex(QByteArray::number(0x200000 + i, 16));
            devices.push_back(std::make_unique<SimulatedDevice>(options));
            QString sError;
            QVERIFY2(devices.back()->Start(&sError), qPrintable(sError));
            args << QStringLiteral("--port") << devices.back()->PortPath();
            expected << QStringLiteral("08%1").arg(0x200000 + i, 6, 16, QLatin1Char('0'));
        }
        QCOMPARE(Run(sProgram, args), 0);
        const QString sHistory = dir.filePath(QStringLiteral("service-history.csv"));
        QFile file(sHistory);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray content = file.readAll();
        QVERIFY(content.endsWith('\n'));
        QCOMPARE(content.count('\n'), 1 + 8);   // the header and eight lines
        QList<ServiceRecord> records;
        QVERIFY(ServiceHistory::Read(sHistory, &records));
        QCOMPARE(records.size(), 8);
        QSet<QString> serials;
        for (const ServiceRecord &r : qAsConst(records)) {
            QCOMPARE(r.sJob, QStringLiteral("information"));
            QCOMPARE(r.sOutcome, QStringLiteral("succeeded"));
            QCOMPARE(r.sFirmwareAfter, QStringLiteral("V1.10"));
            serials << r.sDeviceSerial;
        }
        QCOMPARE(serials, expected);
    }

    void historySelects_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("nExit");
        QTest::addColumn<QStringList>("serials");   // of the records printed, in order
        QTest::newRow("all") << QStringList{} << 0
                             << QStringList{"08000001", "08000002", "08000001", "0800000A"};
        QTest::newRow("one serial number") << QStringList{"--serial", "08000001"} << 0
                                           << QStringList{"08000001", "08000001"};
        QTest::newRow("one serial number, typed in lower case") << QStringList{"--serial", "0800000a"} << 0
                                                                << QStringList{"0800000A"};
        QTest::newRow("since a date") << QStringList{"--since", "2026-11-02"} << 0
                                      << QStringList{"08000002", "08000001"};
        QTest::newRow("since a time, with its offset") << QStringList{"--since", "2026-11-03T10:00:00+02:00"} << 0
                                                       << QStringList{"08000001"};
        QTest::newRow("serial number and date") << QStringList{"--serial", "08000002", "--since", "2026-11-03"}
                                                << 0 << QStringList{};
        QTest::newRow("not a date") << QStringList{"--since", "yesterday"} << 2 << QStringList{};
        QTest::newRow("--serial with another command") << QStringList{"--serial", "08000001", "info"} << 2
                                                       << QStringList{};
    }
    void historySelects()
    {
        QFETCH(QStringList, args);
        QFETCH(int, nExit);
        QFETCH(QStringList, serials);
        QTemporaryDir dir;
        QString sProgram;
        QVERIFY(dir.isValid() && CopyProgram(dir, &sProgram));
        const QString sHistory = dir.filePath(QStringLiteral("service-history.csv"));
        const struct
        {
            const char *szSerial;
            const char *szTime;
        } rows[] = {{"08000001", "2026-11-01T09:00:00+01:00"},
                    {"08000002", "2026-11-02T09:00:00+01:00"},
                    {"08000001", "2026-11-03T09:30:00+01:00"},
                    {"0800000A", "2026-10-01T09:00:00+01:00"}};
        for (const auto &row : rows) {
            ServiceRecord record;
            record.end = QDateTime::fromString(QLatin1String(row.szTime), Qt::ISODate);
            record.sJob = QStringLiteral("upgrade");
            record.sDeviceSerial = QLatin1String(row.szSerial);
            record.sOutcome = QStringLiteral("succeeded");
            QVERIFY(ServiceHistory::Append(sHistory, record));
        }
        if (!args.contains(QStringLiteral("info"))) {
            args.prepend(QStringLiteral("history"));
        }
        args << QStringLiteral("--json");
        QByteArray out;
        QCOMPARE(Run(sProgram, args, &out), nExit);
        QStringList printed;
        for (const QByteArray &line : out.split('\n')) {
            const QJsonObject object = QJsonDocument::fromJson(line).object();
            if (object.value(QStringLiteral("event")).toString() == QLatin1String("record")) {
                printed << object.value(QStringLiteral("device_serial")).toString();
            }
        }
        QCOMPARE(printed, serials);
    }
};

QTEST_GUILESS_MAIN(CliHistoryTest)
#include "tst_clihistory.moc"
