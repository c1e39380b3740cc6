// The service history through the coordinator, against the simulated device
// over pseudo-terminals: each job, once succeeding and once failing, leaves
// one record, read back from the file, whose facts are the job's own (the
// device's serial number and versions, the files' names, sizes and hashes,
// the outcome and its kind).
#include "transfer/qserialuser.h"

#include "app/logging.h"
#include "app/servicehistory.h"
#include "device/waitsfortesting.h"
#include "simulator/simulateddevice.h"
#include "support/randombytes.h"
#include "support/testenvironment.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QTemporaryDir>
#include <QtTest>

#include <spdlog/spdlog.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

QString Sha256(const QByteArray &bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

QByteArray ReadAll(const QString &sPath)
{
    QFile file(sPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class JobRecordsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        TestEnvironment::GuardSerialPorts();
        QVERIFY(m_logDir.isValid());
        QVERIFY(Logging::InitLogIn(m_logDir.path(), QDateTime::currentDateTime()));
    }
    void cleanup()
    {
        TestEnvironment::SetSerialPorts({});
        WaitsForTesting::Reset();
    }
    void cleanupTestCase() { spdlog::drop_all(); }

    void eachJobLeavesItsRecord_data()
    {
        QTest::addColumn<QString>("sJob");
        // 0: succeeds; 1: fails; 2: succeeds from the boot loader; 3: succeeds
        // after a late answer; 4: succeeds with a warning
        QTest::addColumn<int>("nCase");
        QTest::addColumn<QString>("sOutcome");
        QTest::addColumn<QString>("sKind");
        QTest::newRow("information succeeds") << "information" << 0 << "succeeded" << "";
        QTest::newRow("information finds no port") << "information" << 1 << "failed" << "NoPort";
        QTest::newRow("export succeeds") << "export" << 0 << "succeeded" << "";
        QTest::newRow("export into a folder that cannot be made") << "export" << 1 << "failed"
                                                                  << "ReportNotCreated";
        QTest::newRow("upgrade succeeds") << "upgrade" << 0 << "succeeded" << "";
        QTest::newRow("upgrade with an empty file") << "upgrade" << 1 << "failed" << "FirmwareFile";
        QTest::newRow("upgrade of a device already in its receiver") << "upgrade" << 2 << "succeeded" << "";
        // Its answer to the version question comes too late for its window:
        // the rest of it must not fail the boot command after it.
        QTest::newRow("upgrade whose version answer comes late") << "upgrade" << 3 << "succeeded" << "";
        // Read whole; only leaving control mode failed, a warning.
        QTest::newRow("information whose device stays in control mode") << "information" << 4 << "succeeded"
                                                                          << "";
    }
    void eachJobLeavesItsRecord()
    {
        QFETCH(QString, sJob);
        QFETCH(int, nCase);
        QFETCH(QString, sOutcome);
        QFETCH(QString, sKind);
        const bool bSucceeds = nCase != 1;
        const bool bFromBootLoader = nCase == 2;
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        SimulatorOptions options;
        options.serialNumber = QByteArray::fromHex("654321");
        options.nRecordCount = 30;
        options.nCIntervalMs = 250;
        options.sImageDir = dir.filePath(QStringLiteral("received"));
        if (bFromBootLoader) {
            options.initialState = SimulatorOptions::State::Ymodem;
        }
        if (nCase == 3) {
            // The version's reply in two pieces 1.7 s apart: the second
            // comes 0.7 s after the question's 1 s window.
            options.nFaultCommand = 0xC8;
            options.nSplitPieces = 2;
            options.nSplitGapMs = 1700;
        } else if (nCase == 4) {
            options.nFaultCommand = 0xC1;   // no answer to leaving control mode
            options.bSilent = true;
        }
        SimulatedDevice device(options);
        QVERIFY(device.Start());
        TestEnvironment::SetSerialPorts(sJob == QLatin1String("information") && !bSucceeds
                                            ? QStringList()
                                            : QStringList{device.PortPath()});
        const QString sHistory = dir.filePath(QStringLiteral("service-history.csv"));
        QSerialUser user;
        user.SetHistoryFile(sHistory);
        QSignalSpy recorded(&user, &QSerialUser::signal_JobRecorded);

        const QByteArray image = bSucceeds ? RandomBytes(3000, 7) : QByteArray();
        const QString sImage = dir.filePath(QStringLiteral("fw 1,09.bin"));   // a name CSV must quote
        const QString sReports = bSucceeds ? dir.filePath(QStringLiteral("reports"))
                                           : dir.filePath(QStringLiteral("fw 1,09.bin/reports"));
        if (sJob == QLatin1String("information")) {
            user.StartGetVersionAndSN();
        } else if (sJob == QLatin1String("export")) {
            QFile blocker(sImage);   // a file where the folder's parent should be
            QVERIFY(blocker.open(QIODevice::WriteOnly));
            blocker.close();
            QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("reports"))));
            user.StartExportLogInfo(sReports);
        } else {
            QFile file(sImage);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QCOMPARE(file.write(image), qint64(image.size()));
            file.close();
            QCOMPARE(user.StartUpgrade(sImage), bSucceeds);
        }
        // A start refused at once has recorded its end already.
        if (recorded.isEmpty()) {
            QVERIFY(recorded.wait(60000));
        }
        QCOMPARE(recorded.size(), 1);

        QList<ServiceRecord> records;
        QVERIFY(ServiceHistory::Read(sHistory, &records));
        QCOMPARE(records.size(), 1);
        const ServiceRecord &r = records.first();
        QCOMPARE(ServiceHistory::JsonOf(r), recorded.first().first().toJsonObject());
        QCOMPARE(r.sJob, sJob);
        QCOMPARE(r.sOutcome, sOutcome);
        QCOMPARE(r.sFailureKind, sKind);
        QCOMPARE(r.sReason.isEmpty(), bSucceeds && nCase != 4);
        QVERIFY(qAbs(r.end.secsTo(QDateTime::currentDateTime())) < 120);
        QVERIFY(r.nDurationMs >= 0);
        QVERIFY(!r.sProgramVersion.isEmpty());
        if (bSucceeds) {
            QCOMPARE(r.sPort, device.PortPath());
        }
        if (sJob == QLatin1String("information")) {
            QCOMPARE(r.sDeviceSerial, bSucceeds ? QStringLiteral("08654321") : QString());
            QCOMPARE(r.sFirmwareAfter, bSucceeds ? QStringLiteral("V1.10") : QString());
            QCOMPARE(r.sFirmwareBefore, r.sFirmwareAfter);
        } else if (sJob == QLatin1String("export")) {
            const QStringList reports =
                QDir(sReports).entryList({QStringLiteral("Report_*.csv")}, QDir::Files);
            if (bSucceeds) {
                QCOMPARE(reports.size(), 1);
                const QByteArray report = ReadAll(QDir(sReports).filePath(reports.first()));
                QCOMPARE(r.sReportFile, reports.first());
                QCOMPARE(r.nReportRecords, qint64(30));
                QCOMPARE(r.sReportSha256, Sha256(report));
            } else {
                QVERIFY(r.sReportFile.isEmpty());
            }
        } else {
            QCOMPARE(r.sFirmwareFile, QStringLiteral("fw 1,09.bin"));
            QCOMPARE(r.nFirmwareSize, qint64(image.size()));
            QCOMPARE(r.sFirmwareSha256, Sha256(image));
            // (The late device answers its version late after the upgrade too.)
            QCOMPARE(r.sFirmwareAfter, bSucceeds && nCase != 3 ? QStringLiteral("V1.10") : QString());
            // Asked before the boot command; a device in its boot loader
            // (or one never asked, the file refused first) says nothing.
            const bool bAsked = nCase == 0;   // and answered in time
            QCOMPARE(r.sFirmwareBefore, bAsked ? QStringLiteral("V1.10") : QString());
            QCOMPARE(r.sDeviceSerial, bAsked ? QStringLiteral("08654321") : QString());
            if (bSucceeds) {
                QVERIFY(ReadAll(dir.filePath(QStringLiteral("received/fw 1,09.bin"))) == image);
            }
        }
    }

    // A line a process left without its end (a power cut, a full disk) is
    // cut off by the next append, wherever it was cut: its end may look
    // like a whole record (only the last field shortened). Quotes, commas
    // and line ends in a field read back as written (a line end as a space).
    void lineLeftUnfinishedIsCutOff_data()
    {
        QTest::addColumn<int>("nCutFromEnd");   // bytes of the line's end missing
        QTest::newRow("in the last field") << 1;
        QTest::newRow("in the reason") << 30;
        QTest::newRow("in the first field") << 400;
    }
    void lineLeftUnfinishedIsCutOff()
    {
        QFETCH(int, nCutFromEnd);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString sHistory = dir.filePath(QStringLiteral("service-history.csv"));
        ServiceRecord first;
        first.end = QDateTime::currentDateTime();
        first.sJob = QStringLiteral("upgrade");
        first.sDeviceSerial = QStringLiteral("08000001");
        first.sOutcome = QStringLiteral("failed");
        first.sReason = QStringLiteral("a reason with \"quotes\", commas\nand a line end");
        first.nDurationMs = 12300;
        QVERIFY(ServiceHistory::Append(sHistory, first));
        const QByteArray line = ServiceHistory::CsvLine(first).toUtf8();
        QFile file(sHistory);
        QVERIFY(file.open(QIODevice::Append));
        file.write(line.left(qMax(1, line.size() - nCutFromEnd)));   // no line end
        file.close();
        ServiceRecord second = first;
        second.sDeviceSerial = QStringLiteral("08000002");
        QVERIFY(ServiceHistory::Append(sHistory, second));
        QList<ServiceRecord> records;
        QVERIFY(ServiceHistory::Read(sHistory, &records));
        QCOMPARE(records.size(), 2);
        QCOMPARE(records.at(0).sDeviceSerial, QStringLiteral("08000001"));
        QCOMPARE(records.at(0).sReason, QStringLiteral("a reason with \"quotes\", commas and a line end"));
        QCOMPARE(records.at(1).sDeviceSerial, QStringLiteral("08000002"));
        QCOMPARE(records.at(1).nDurationMs, qint64(12300));
        QCOMPARE(ServiceHistory::TimeText(records.at(1).end), ServiceHistory::TimeText(first.end));
    }

    // A history another version wrote, with other columns, is kept beside
    // and a new one begun: no line lands under the wrong column.
    // Another station's append holds the history for longer than a moment
    // (a busy disk): the record waits for it and is written, not given up.
    void appendWaitsOutAnotherStationsLock()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString sHistory = dir.filePath(QStringLiteral("service-history.csv"));
        std::atomic<bool> bHeld{false};
        std::thread other([&]() {
            QLockFile lock(sHistory + QStringLiteral(".lock"));
            if (lock.tryLock(0)) {
                bHeld = true;
                std::this_thread::sleep_for(std::chrono::milliseconds(2500));
            }
        });
        while (!bHeld) {
            std::this_thread::yield();
        }
        ServiceRecord record;
        record.sJob = QStringLiteral("information");
        record.sOutcome = QStringLiteral("succeeded");
        const bool bWritten = ServiceHistory::Append(sHistory, record);
        other.join();
        QVERIFY(bWritten);
        QList<ServiceRecord> records;
        QVERIFY(ServiceHistory::Read(sHistory, &records));
        QCOMPARE(records.size(), 1);
    }

    void historyOfOtherColumnsIsKeptBeside()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString sHistory = dir.filePath(QStringLiteral("service-history.csv"));
        QFile old(sHistory);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("time,job,outcome\n2026-01-01T00:00:00+00:00,upgrade,succeeded\n");
        old.close();
        ServiceRecord record;
        record.end = QDateTime::currentDateTime();
        record.sJob = QStringLiteral("information");
        record.sOutcome = QStringLiteral("succeeded");
        QVERIFY(ServiceHistory::Append(sHistory, record));
        QList<ServiceRecord> records;
        QVERIFY(ServiceHistory::Read(sHistory, &records));
        QCOMPARE(records.size(), 1);
        QCOMPARE(records.first().sJob, QStringLiteral("information"));
        const QStringList kept = QDir(dir.path()).entryList({QStringLiteral("service-history.*.csv")}, QDir::Files);
        QCOMPARE(kept.size(), 1);
        QCOMPARE(ReadAll(dir.filePath(kept.first())),
                 QByteArray("time,job,outcome\n2026-01-01T00:00:00+00:00,upgrade,succeeded\n"));
    }

private:
    QTemporaryDir m_logDir;
};

QTEST_GUILESS_MAIN(JobRecordsTest)
#include "tst_jobrecords.moc"
