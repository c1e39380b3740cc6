// The worker on its own thread, driven only through its request signals, as
// the window drives it: information, log export, upgrade, one request at a
// time, and destruction while work runs. The device is simulated on a
// pseudo-terminal.

#include "device/logexport.h"
#include "device/readpoll.h"
#include "device/reasontext.h"
#include "device/serialworker.h"
#include "devicerig.h"
#include "device/reportformatter.h"
#include "simulator/devicesimulator.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <csignal>
#include <memory>
#include <thread>

#include <sys/resource.h>
#include <termios.h>
#include <unistd.h>

using namespace DeviceRig;

namespace {

struct Result
{
    int nFunction;
    int nResult;
    bool bRet;
    QString sMes;
    bool operator==(const Result &o) const
    {
        return nFunction == o.nFunction && nResult == o.nResult && bRet == o.bRet && sMes == o.sMes;
    }
};

// The four replacements of the report, written out independently.
QByteArray ExpectedReport(QByteArray stream)
{
    stream.replace(" ", ",");
    stream.replace("\n\r", "\n");
    stream.replace("\n\n", "\n");
    stream.replace("An,invalid,record.\n", "");
    return stream;
}

QByteArray StreamOf(const SimulatorOptions &options)
{
    return options.recordStream.isEmpty() ? DeviceOutput::GeneratedRecords(options).join()
                                          : options.recordStream;
}

QStringList Reports(const QString &sDir)
{
    return QDir(sDir).entryList({QStringLiteral("Report_*.csv")}, QDir::Files, QDir::Name);
}

// What a failed export keeps; a collector of "Report_*.csv" never sees it.
QStringList Partials(const QString &sDir)
{
    return QDir(sDir).entryList({QStringLiteral("Partial_Report_*.csv")}, QDir::Files, QDir::Name);
}

QByteArray ReadFile(const QString &sPath)
{
    QFile file(sPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// What QCOMPARE prints for a result that differs.
char *toString(const Result &r)
{
    return qstrdup(qPrintable(QStringLiteral("(%1, %2, %3, \"%4\")")
                                  .arg(r.nFunction)
                                  .arg(r.nResult)
                                  .arg(r.bRet ? "true" : "false")
                                  .arg(r.sMes.left(200))));
}

} // namespace

Q_DECLARE_METATYPE(Result)


// Lives in the test's thread: the worker's reports arrive queued, as they
// reach the window.
class ResultLog : public QObject
{
    Q_OBJECT
public:
    explicit ResultLog(SerialWorker *pWorker)
    {
        connect(pWorker, &SerialWorker::signal_SendResult, this, &ResultLog::slot_Result);
        connect(pWorker, &SerialWorker::signal_RequestFinished, this, [this]() { ++m_nFinished; });
    }
    QList<Result> m_results;
    int m_nFinished = 0;

    // Results of one request, progress numbers left out.
    QList<Result> WithoutProgress(int nFunction) const
    {
        QList<Result> out;
        for (const Result &r : m_results) {
            bool bNumber = false;
            r.sMes.toInt(&bNumber);
            if (r.nFunction == nFunction && !(r.nResult == SerialWorker::RT_ExportLog && r.bRet && bNumber)) {
                out << r;
            }
        }
        return out;
    }
    QList<int> Progress() const
    {
        QList<int> out;
        for (const Result &r : m_results) {
            bool bNumber = false;
            const int n = r.sMes.toInt(&bNumber);
            if (r.nResult == SerialWorker::RT_ExportLog && r.bRet && bNumber) {
                out << n;
            }
        }
        return out;
    }

public slots:
    void slot_Result(int nFunction, int nResult, bool bRet, const QString &sMes)
    {
        m_results << Result{nFunction, nResult, bRet, sMes};
    }
};

class SerialWorkerTest : public QObject
{
    Q_OBJECT

private:
    const Result kStart{SerialWorker::FT_ExportLog, SerialWorker::RT_ExportLog, true, QStringLiteral("Start")};
    const Result kEnd{SerialWorker::FT_ExportLog, SerialWorker::RT_ExportLog, true, QStringLiteral("End")};

    // A failed export that kept what arrived: no report, one partial file,
    // reported just before the failure as the file the export left; its
    // content goes to *pKept. The failure's shown reason holds no path (the
    // window names the file on a line of its own; a path would not wrap).
    static void CheckKeptAsPartial(const QString &sDir, const QList<Result> &results, QByteArray *pKept)
    {
        QVERIFY(results.size() >= 2);
        const Result &last = results.last();
        QCOMPARE(last.nResult, int(SerialWorker::RT_ExportLog));
        QVERIFY(!last.bRet);
        QCOMPARE(Reports(sDir), QStringList());
        QCOMPARE(Partials(sDir).size(), 1);
        const QString sPartial = QDir(sDir).filePath(Partials(sDir).first());
        QVERIFY2(!last.sMes.contains(sDir), qPrintable(last.sMes));
        const Result &named = results.at(results.size() - 2);
        QCOMPARE(named.nResult, int(SerialWorker::RT_ReportFile));
        QCOMPARE(named.sMes, QDir::toNativeSeparators(sPartial));
        *pKept = ReadFile(sPartial);
    }

private slots:
    void initTestCase() { PrepareTestCase(); }
    void init() { PrepareShortWaits(3000); }
    void cleanupTestCase() { WaitsForTesting::Reset(); }

    void information_data()
    {
        QTest::addColumn<int>("nState");   // -1: no device
        const Result kUpgrade{SerialWorker::FT_DeviceInfo, SerialWorker::RT_EnterCtrlMode, false,
                              QStringLiteral("Please upgrade before proceeding")};
        QTest::addColumn<QList<Result>>("expected");
        QTest::newRow("application firmware")
            << int(SimulatorOptions::State::Application)
            << QList<Result>{{SerialWorker::FT_DeviceInfo, SerialWorker::RT_Version, true, QStringLiteral("V1.10")},
                             {SerialWorker::FT_DeviceInfo, SerialWorker::RT_SN, true, QStringLiteral("08123456")}};
        QTest::newRow("boot loader refusing") << int(SimulatorOptions::State::BootMenu) << QList<Result>{kUpgrade};
        QTest::newRow("boot loader streaming C") << int(SimulatorOptions::State::Ymodem) << QList<Result>{kUpgrade};
        QTest::newRow("no device") << -1
                                   << QList<Result>{{SerialWorker::FT_DeviceInfo, SerialWorker::RT_OpenPort, false,
                                                     QStringLiteral("No serial port available")}};
    }
    void information()
    {
        QFETCH(int, nState);
        QFETCH(QList<Result>, expected);
        SimulatorOptions options;
        options.nCIntervalMs = 200;
        std::unique_ptr<SimulatedDevice> pDevice;
        if (nState >= 0) {
            options.initialState = SimulatorOptions::State(nState);
            pDevice = Start(options);
            QVERIFY(pDevice);
            TestEnvironment::SetSerialPorts({pDevice->PortPath()});
        }
        SerialWorker worker;
        ResultLog log(&worker);
        emit worker.signal_StartGetVersionAndSN();
        QTRY_COMPARE_WITH_TIMEOUT(log.m_nFinished, 1, 20000);
        QCOMPARE(log.m_results, expected);
        if (pDevice && nState != int(SimulatorOptions::State::Application)) {
            for (const QByteArray &frame : pDevice->Frames()) {
                QVERIFY(frame != kVersionFrame && frame != kSNFrame);
            }
        }
    }

    // The report holds exactly the device's records after the four
    // replacements, whatever the stream looks like and however it pauses;
    // progress stays within 1..98, the file written is reported just before
    // "End", which comes last. Names taken by other exports of the same
    // second (a finished report, one still being written, one that takes
    // its final name meanwhile) are never opened: the export takes the next
    // free number.
    void exportHoldsEveryRecord_data()
    {
        QTest::addColumn<int>("nRecords");
        QTest::addColumn<int>("nLineEnd");
        QTest::addColumn<int>("nInvalidEvery");
        QTest::addColumn<int>("nPauseEvery");   // with 1200 ms pauses
        QTest::addColumn<QByteArray>("stream"); // instead of generated records; the device announces 0
        QTest::addColumn<bool>("bReadyRead");   // false: only reads of the program's own bring bytes (Wine)
        QTest::newRow("0 records") << 0 << 0 << 0 << 0 << QByteArray() << true;
        QTest::newRow("1 record") << 1 << 0 << 0 << 0 << QByteArray() << true;
        QTest::newRow("1000, LF CR, invalid lines") << 1000 << int(SimulatorOptions::LineEnd::LfCr) << 7 << 0
                                                  << QByteArray() << true;
        QTest::newRow("20000") << 20000 << 0 << 0 << 0 << QByteArray() << true;
        // Four pauses of 1.2 s: more idle ticks in all than an export
        // tolerates, but never five in a row.
        QTest::newRow("four pauses") << 50 << 0 << 9 << 10 << QByteArray() << true;
        // The device's invalid-record lines are no records: counted as lines
        // they reach the announced 60 at record 45, and the pause after
        // record 50 would look like the stream's end.
        QTest::newRow("lines reach the count before a pause") << 60 << 0 << 3 << 50 << QByteArray() << true;
        QTest::newRow("odd text, no count")
            << 0 << 0 << 0 << 0
            << QByteArray("1 a  b\n\n\n2 c d\n\r\n\rAn invalid record.\nAn invalid record.\n\r"
                          "An invalid record.\r\n3 e\n\n\n\n4 An invalid record.") << true;
        // A driver that signals arriving bytes only after a read was started
        // and never ends its wait for line events (Wine on a pseudo-terminal).
        QTest::newRow("1000 with pauses, readyRead unheard") << 1000 << 0 << 0 << 300 << QByteArray() << false;
    }

    void exportHoldsEveryRecord()
    {
        QFETCH(int, nRecords);
        QFETCH(int, nLineEnd);
        QFETCH(int, nInvalidEvery);
        QFETCH(int, nPauseEvery);
        QFETCH(QByteArray, stream);
        QFETCH(bool, bReadyRead);
        ReadPoll::SetReadyReadForTesting(bReadyRead);
        const auto listenAgain = qScopeGuard([]() { ReadPoll::SetReadyReadForTesting(true); });
        SimulatorOptions options;
        options.nRecordCount = nRecords;
        options.lineEnd = SimulatorOptions::LineEnd(nLineEnd);
        options.nInvalidEvery = nInvalidEvery;
        options.nStreamPauseEvery = nPauseEvery;
        options.nStreamPauseMs = 1200;
        options.recordStream = stream;
        if (!stream.isEmpty()) {
            options.sCountLabel = QStringLiteral("Count:unknown");   // no usable number after the colon
        }
        auto pDevice = Start(options);
        QVERIFY(pDevice);
        TestEnvironment::SetSerialPorts({pDevice->PortPath()});
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        // Other exports' files under the first two names of every second the
        // export may start in: a finished report and an unfinished one.
        const QByteArray stale(64 * 1024, 'S');
        const QDateTime now = QDateTime::currentDateTime();
        QStringList others;
        for (int i = 0; i < 8; ++i) {
            others << ReportFormatter::ReportFilePath(dir.path(), now.addSecs(i))
                   << ReportFormatter::ReportFilePath(dir.path(), now.addSecs(i), 2,
                                                      ReportFormatter::Stage::Unfinished);
        }
        for (const QString &sOther : others) {
            QFile file(sOther);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(stale) == stale.size());
        }

        SerialWorker worker;
        ResultLog log(&worker);
        // When the device is asked for its records the export has reserved
        // its name: a third export finishes under it meanwhile.
        QString sTakenMeanwhile;
        connect(pDevice.get(), &SimulatedDevice::FrameReceived, &log, [&](const QByteArray &frame) {
            if (frame != kExportFrame) {
                return;
            }
            const QStringList unfinished = QDir(dir.path()).entryList({QStringLiteral("*.unfinished")}, QDir::Files);
            for (const QString &sName : unfinished) {
                const QString sPath = dir.filePath(sName);
                if (sTakenMeanwhile.isEmpty() && !others.contains(sPath)) {
                    sTakenMeanwhile = sPath.chopped(int(qstrlen(".unfinished")));
                    QFile file(sTakenMeanwhile);
                    QVERIFY(file.open(QIODevice::NewOnly) && file.write(stale) == stale.size());
                    others << sTakenMeanwhile;
                }
            }
        });
        emit worker.signal_StartExportLogInfo(dir.path());
        QTRY_COMPARE_WITH_TIMEOUT(log.m_nFinished, 1, 60000);
        for (const QString &sOther : others) {
            QVERIFY2(ReadFile(sOther) == stale, qPrintable(sOther));
        }
        const QList<Result> results = log.WithoutProgress(SerialWorker::FT_ExportLog);
        QCOMPARE(results.size(), 3);
        QCOMPARE(results.first(), kStart);
        QCOMPARE(results.at(1).nResult, int(SerialWorker::RT_ReportFile));
        QCOMPARE(log.m_results.last(), kEnd);
        for (int n : log.Progress()) {
            QVERIFY2(n >= 1 && n <= 98, qPrintable(QString::number(n)));
        }
        QVERIFY(!sTakenMeanwhile.isEmpty());
        const QString sWritten = results.at(1).sMes;
        QVERIFY2(!others.contains(sWritten), qPrintable(sWritten));
        QVERIFY2(QFileInfo(sWritten).fileName().startsWith(QStringLiteral("Report_")), qPrintable(sWritten));
        QCOMPARE(QFileInfo(sWritten).absolutePath(), QFileInfo(dir.path()).absoluteFilePath());
        QCOMPARE(Reports(dir.path()).size(), 10);
        const QByteArray report = ReadFile(sWritten);
        const QByteArray expected = ExpectedReport(StreamOf(options));
        QCOMPARE(report.size(), expected.size());
        QVERIFY(report == expected);
        // The device's count scales progress; without one, the fallback
        // counter gives 1 for the first ticks.
        if (!stream.isEmpty()) {
            QVERIFY(!log.Progress().isEmpty());
            QCOMPARE(log.Progress().first(), 1);
        }
    }

    // A port error mid-information and mid-export. Windows drivers end the
    // I/O of a pulled USB adapter with access-denied, not-found or unknown
    // errors, and a write that cannot start is a write error: each is a
    // lost device, and the job says so at once. Errors that say nothing
    // about the line leave the job to finish whole.
    void portErrorWhileOpen_data()
    {
        QTest::addColumn<bool>("bExport");
        QTest::addColumn<int>("nError");
        QTest::addColumn<bool>("bLost");
        const struct
        {
            const char *szName;
            QSerialPort::SerialPortError eError;
            bool bLost;
        } errors[] = {{"resource", QSerialPort::ResourceError, true},
                      {"read", QSerialPort::ReadError, true},
                      {"write", QSerialPort::WriteError, true},
                      {"permission", QSerialPort::PermissionError, true},
                      {"device not found", QSerialPort::DeviceNotFoundError, true},
                      {"unknown", QSerialPort::UnknownError, true},
                      {"timeout", QSerialPort::TimeoutError, false},
                      {"not open", QSerialPort::NotOpenError, false},
                      {"unsupported operation", QSerialPort::UnsupportedOperationError, false}};
        for (const bool bExport : {false, true}) {
            for (const auto &error : errors) {
                QTest::addRow("%s, %s error", bExport ? "export" : "information", error.szName)
                    << bExport << int(error.eError) << error.bLost;
            }
        }
    }
    void portErrorWhileOpen()
    {
        QFETCH(bool, bExport);
        QFETCH(int, nError);
        QFETCH(bool, bLost);
        SimulatorOptions options;
        options.nRecordCount = 40;
        options.nStreamPauseEvery = 20;
        options.nStreamPauseMs = 1200;
        auto pDevice = Start(options);
        QVERIFY(pDevice);
        TestEnvironment::SetSerialPorts({pDevice->PortPath()});
        QTemporaryDir dir;
        // The error comes with the version request, or in the pause of the
        // record stream: the port's writes are the control-mode frame, then
        // the version request, or the count request and the export command.
        const int nAtWrite = bExport ? 3 : 2;
        const auto error = QSerialPort::SerialPortError(nError);
        DeviceLink::SetOpenedHookForTesting([=](QSerialPort &port) {
            auto pWrites = std::make_shared<int>(0);
            connect(&port, &QSerialPort::bytesWritten, &port, [=, &port]() {
                if (++*pWrites == nAtWrite) {
                    QTimer::singleShot(bExport ? 300 : 0, &port, [=, &port]() { emit port.errorOccurred(error); });
                }
            });
        });
        const auto unhook = qScopeGuard([]() { DeviceLink::SetOpenedHookForTesting({}); });
        SerialWorker worker;
        ResultLog log(&worker);
        QList<int> kinds;
        connect(&worker, &SerialWorker::signal_FailureReason, &log, [&kinds](int nKind) { kinds << nKind; });
        if (bExport) {
            emit worker.signal_StartExportLogInfo(dir.path());
        } else {
            emit worker.signal_StartGetVersionAndSN();
        }
        QTRY_COMPARE_WITH_TIMEOUT(log.m_nFinished, 1, 20000);
        if (bLost) {
            // The failed step may say so first; the job's word is the last.
            QVERIFY(!kinds.isEmpty());
            QCOMPARE(kinds.last(), int(FailureKind::DeviceLost));
            if (bExport) {
                QCOMPARE(Partials(dir.path()).size(), 1);
                QVERIFY(Reports(dir.path()).isEmpty());
            }
            return;
        }
        QCOMPARE(kinds, QList<int>());
        if (bExport) {
            QCOMPARE(Reports(dir.path()).size(), 1);
            QVERIFY(ReadFile(dir.filePath(Reports(dir.path()).first())) == ExpectedReport(StreamOf(options)));
        } else {
            QCOMPARE(log.m_results.size(), 2);
            QCOMPARE(log.m_results.last().sMes, QStringLiteral("08123456"));
        }
    }

    // A driver or an adapter that holds a frame up for a while (as flow
    // control would; here the terminal's output is stopped) has not lost the
    // device: held within the write time the job is whole; held past it the
    // command fails, is never sent later, and the device is not reported
    // gone. The port's write wait blocks its thread, so the line is let go
    // from another.
    void frameHeldByTheLine_data()
    {
        QTest::addColumn<int>("nHoldMs");
        QTest::addColumn<bool>("bAnswers");
        QTest::newRow("held 300 ms, within the write time") << 300 << true;
        QTest::newRow("held 2.5 s, past it") << 2500 << false;
    }
    void frameHeldByTheLine()
    {
        QFETCH(int, nHoldMs);
        QFETCH(bool, bAnswers);
        auto pDevice = Start();
        QVERIFY(pDevice);
        TestEnvironment::SetSerialPorts({pDevice->PortPath()});
        // Held from the version request on, once the device was found.
        std::thread release;
        std::atomic<bool> bHeld {false};
        DeviceLink::SetOpenedHookForTesting([&release, &bHeld, nHoldMs](QSerialPort &port) {
            connect(&port, &QSerialPort::bytesWritten, &port, [&release, &bHeld, nHoldMs, &port]() {
                if (bHeld.exchange(true)) {
                    return;   // once in the test
                }
                // A descriptor of its own: the port's may be closed and
                // its number reused before the line is let go.
                const int nFd = ::dup(int(port.handle()));
                ::tcflow(nFd, TCOOFF);
                release = std::thread([nFd, nHoldMs]() {
                    std::this_thread::sleep_for(std::chrono::milliseconds(nHoldMs));
                    ::tcflow(nFd, TCOON);
                    ::close(nFd);
                });
            });
        });
        const auto unhook = qScopeGuard([&release]() {
            DeviceLink::SetOpenedHookForTesting({});
            if (release.joinable()) {
                release.join();
            }
        });
        SerialWorker worker;
        ResultLog log(&worker);
        QList<int> kinds;
        connect(&worker, &SerialWorker::signal_FailureReason, &log, [&kinds](int nKind) { kinds << nKind; });
        emit worker.signal_StartGetVersionAndSN();
        QTRY_COMPARE_WITH_TIMEOUT(log.m_nFinished, 1, 20000);
        if (bAnswers) {
            QCOMPARE(kinds, QList<int>());
            QCOMPARE(log.m_results.size(), 2);
            QCOMPARE(log.m_results.last().sMes, QStringLiteral("08123456"));
        } else {
            QVERIFY(!kinds.isEmpty());
            for (const int nKind : qAsConst(kinds)) {
                QCOMPARE(nKind, int(FailureKind::CommandFailed));
            }
            // The requests given up on are not sent later, when the line
            // lets them go: the next job's control-mode frame is the next
            // frame the device sees.
            release.join();
            emit worker.signal_StartGetVersionAndSN();
            QTRY_COMPARE_WITH_TIMEOUT(log.m_nFinished, 2, 20000);
            QCOMPARE(log.m_results.last().sMes, QStringLiteral("08123456"));
            const QList<QByteArray> frames = pDevice->Frames();
            QVERIFY(frames.size() > 2);
            QCOMPARE(frames.at(1), frames.at(0));
        }
    }

    // A port that refuses the open right after its trial opened and closed
    // it (a driver that finishes a close late) is opened once more: here
    // another port object of this process holds it, and lets go 100 ms on.
    void portRefusedRightAfterItsTrialIsOpenedAgain()
    {
        if (::geteuid() != 0) {
            QSKIP("the trial opens a port that Qt holds exclusively only as root");
        }
        auto pDevice = Start();
        QVERIFY(pDevice);
        TestEnvironment::SetSerialPorts({pDevice->PortPath()});
        QSerialPort holder(pDevice->PortPath());
        QVERIFY(holder.open(QIODevice::ReadWrite));
        SerialWorker worker;
        ResultLog log(&worker);
        QList<int> kinds;
        connect(&worker, &SerialWorker::signal_FailureReason, &log, [&kinds](int nKind) { kinds << nKind; });
        QTimer::singleShot(100, &holder, [&holder]() { holder.close(); });
        emit worker.signal_StartGetVersionAndSN();
        QTRY_COMPARE_WITH_TIMEOUT(log.m_nFinished, 1, 20000);
        QCOMPARE(kinds, QList<int>());
        QCOMPARE(log.m_results.size(), 2);
        QCOMPARE(log.m_results.last().sMes, QStringLiteral("08123456"));
    }

    // The export ends once the records the device announced are in and the
    // line has gone quiet, on a line paced like the real one: the idle ticks
    // (made endless here) are only for a device that announced more than it
    // sends. The bar follows the records: it rises with them, never falls.
    void exportEndsAtTheAnnouncedCount()
    {
        Waits waits = Waits::Current();
        waits.nExportIdleTicks = 100000;
        WaitsForTesting::Set(waits);
        SimulatorOptions options;
        options.nRecordCount = 300;
        options.nInvalidEvery = 7;
        options.nBytesPerSecond = 11520;
        auto pDevice = Start(options);
        QVERIFY(pDevice);
        TestEnvironment::SetSerialPorts({pDevice->PortPath()});
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        SerialWorker worker;
        ResultLog log(&worker);
        emit worker.signal_StartExportLogInfo(dir.path());
        QTRY_COMPARE_WITH_TIMEOUT(log.m_nFinished, 1, 20000);
        QCOMPARE(log.m_results.last(), kEnd);
        QCOMPARE(Reports(dir.path()).size(), 1);
        QVERIFY(ReadFile(QDir(dir.path()).filePath(Reports(dir.path()).first())) == ExpectedReport(StreamOf(options)));
        const QList<int> progress = log.Progress();
        QVERIFY(!progress.isEmpty());
        for (int i = 1; i < progress.size(); ++i) {
            QVERIFY2(progress.at(i) >= progress.at(i - 1), qPrintable(QString::number(progress.at(i))));
        }
    }

    // A report that cannot be written is a failure, never "End", and the
    // device is not asked to stream when the report cannot even be created.
    void exportReportNotWritten_data()
    {
        QTest::addColumn<int>("nCase");   // 0 folder missing, 1 folder is a file, 2 disk full
        QTest::newRow("missing folder") << 0;
        QTest::newRow("folder is a file") << 1;
        QTest::newRow("disk full") << 2;
    }
    void exportReportNotWritten()
    {
        QFETCH(int, nCase);
        SimulatorOptions options;
        options.nRecordCount = 400;
        auto pDevice = Start(options);
        QVERIFY(pDevice);
        TestEnvironment::SetSerialPorts({pDevice->PortPath()});
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QString sTarget = dir.filePath(QStringLiteral("missing"));
        if (nCase == 1) {
            QFile plain(sTarget);
            QVERIFY(plain.open(QIODevice::WriteOnly));
        }
        // The disk fills after 1000 bytes: the report's write fails.
        rlimit saved {};
        if (nCase == 2) {
            sTarget = dir.path();
            std::signal(SIGXFSZ, SIG_IGN);
            QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
            rlimit small = saved;
            small.rlim_cur = 1000;
            QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        }
        SerialWorker worker;
        ResultLog log(&worker);
        emit worker.signal_StartExportLogInfo(sTarget);
        const bool bFinished = QTest::qWaitFor([&]() { return log.m_nFinished == 1; }, 30000);
        if (nCase == 2) {
            QCOMPARE(setrlimit(RLIMIT_FSIZE, &saved), 0);
        }
        QVERIFY(bFinished);
        const QList<Result> results = log.WithoutProgress(SerialWorker::FT_ExportLog);
        // Start, the partial file when something reached the disk, the failure.
        QCOMPARE(results.size(), nCase < 2 ? 2 : 3);
        QCOMPARE(results.first(), kStart);
        QCOMPARE(results.last().nResult, int(SerialWorker::RT_ExportLog));
        QVERIFY(!results.last().bRet);
        QVERIFY2(results.last().sMes.contains(QStringLiteral("Report_")), qPrintable(results.last().sMes));
        if (nCase < 2) {
            // Checked before the device is touched.
            QCOMPARE(pDevice->Frames(), QList<QByteArray>());
        } else {
            // What reached the disk is kept under the partial name, which
            // the failure names; no report claims to be complete.
            QByteArray kept;
            CheckKeptAsPartial(sTarget, results, &kept);
        }
    }

    // Unplugged mid-stream, or a line that answers the control frame and
    // then never stops sending (the export stops at its limit: twice the
    // announced records and some slack): what arrived is kept under the
    // partial name, and the export fails, naming it, instead of claiming a
    // complete report. A stream stopped at its limit still ends with the
    // closing commands that tell the device to stop.
    void exportKeepsWhatArrived_data()
    {
        QTest::addColumn<int>("nCase");
        QTest::newRow("unplugged mid-stream") << 0;
        QTest::newRow("stream never ends") << 1;
        // No count announced: nothing to hold the stream against, yet a
        // stopped export is no report.
        QTest::newRow("stopped on request, no count") << 2;
    }
    void exportKeepsWhatArrived()
    {
        QFETCH(int, nCase);
        const bool bEndless = nCase == 1;
        SimulatorOptions options;
        options.nRecordCount = bEndless ? 50 : 100;
        options.bChatter = bEndless;
        options.nStreamPauseEvery = bEndless ? 0 : 30;
        options.nStreamPauseMs = 1200;
        if (nCase == 2) {
            options.bSilent = true;
            options.nFaultCommand = 0xD1;
        }
        auto pDevice = Start(options);
        QVERIFY(pDevice);
        TestEnvironment::SetSerialPorts({pDevice->PortPath()});
        QTemporaryDir dir;
        SerialWorker worker;
        ResultLog log(&worker);
        emit worker.signal_StartExportLogInfo(dir.path());
        if (!bEndless) {
            QTRY_VERIFY_WITH_TIMEOUT(!log.Progress().isEmpty(), 20000);
            if (nCase == 0) {
                pDevice->Unplug();
            } else {
                emit worker.signal_StopRequest();
            }
        }
        QTRY_COMPARE_WITH_TIMEOUT(log.m_nFinished, 1, 30000);
        const Result last = log.m_results.last();
        const QString sReason = bEndless ? QStringLiteral("did not stop sending")
                                : nCase == 0 ? QStringLiteral("disconnected")
                                             : QStringLiteral("interrupted");
        QVERIFY2(last.sMes.contains(sReason), qPrintable(last.sMes));
        QByteArray kept;
        CheckKeptAsPartial(dir.path(), log.m_results, &kept);
        if (QTest::currentTestFailed()) {
            return;
        }
        const QByteArray records = ExpectedReport(StreamOf(options));
        if (bEndless) {
            QVERIFY(kept.startsWith(records));
            QVERIFY2(kept.size() <= 2 * LogExport::StreamLimit(50), qPrintable(QString::number(kept.size())));
            const int nExport = pDevice->Frames().indexOf(kExportFrame);
            QVERIFY(nExport >= 0);
            // The first control frame stops the noise and is answered after
            // it; asked again, the device answers at once.
            QTRY_COMPARE(pDevice->Frames().mid(nExport + 1), (QList<QByteArray>{kCtrlFrame, kCtrlFrame, kExitFrame}));
        } else {
            QVERIFY(!kept.isEmpty());
            QVERIFY(kept.size() < records.size());
            QVERIFY(records.startsWith(kept));
        }
    }

    // An information request issued during an export waits for it; both
    // outcomes are whole and in order.
    void oneRequestAtATime()
    {
        SimulatorOptions options;
        options.nRecordCount = 60;
        options.nStreamPauseEvery = 20;
        options.nStreamPauseMs = 1200;
        auto pDevice = Start(options);
        QVERIFY(pDevice);
        TestEnvironment::SetSerialPorts({pDevice->PortPath()});
        QTemporaryDir dir;
        SerialWorker worker;
        ResultLog log(&worker);
        emit worker.signal_StartExportLogInfo(dir.path());
        QTRY_VERIFY_WITH_TIMEOUT(!log.m_results.isEmpty(), 10000);
        emit worker.signal_StartGetVersionAndSN();
        QTRY_COMPARE_WITH_TIMEOUT(log.m_nFinished, 2, 60000);
        int nEnd = -1;
        for (int i = 0; i < log.m_results.size(); ++i) {
            if (log.m_results.at(i) == kEnd) {
                nEnd = i;
            }
        }
        QCOMPARE(nEnd, log.m_results.size() - 3);
        QCOMPARE(log.WithoutProgress(SerialWorker::FT_DeviceInfo),
                 (QList<Result>{{SerialWorker::FT_DeviceInfo, SerialWorker::RT_Version, true, QStringLiteral("V1.10")},
                                {SerialWorker::FT_DeviceInfo, SerialWorker::RT_SN, true,
                                 QStringLiteral("08123456")}}));
        QCOMPARE(ReadFile(dir.filePath(Reports(dir.path()).value(0))), ExpectedReport(StreamOf(options)));
    }

    // The program ends while an export runs: no crash, no hang, and what
    // was being collected is closed under the partial name.
    void destroyedWhileExporting()
    {
        SimulatorOptions options;
        options.nRecordCount = 200;
        options.nStreamPauseEvery = 50;
        options.nStreamPauseMs = 1500;
        options.nBytesPerSecond = 11520;
        QTemporaryDir dir;
        auto pDevice = Start(options);
        QVERIFY(pDevice);
        TestEnvironment::SetSerialPorts({pDevice->PortPath()});

        auto pWorker = std::make_unique<SerialWorker>();
        ResultLog log(pWorker.get());
        emit pWorker->signal_StartExportLogInfo(dir.path());
        QTRY_VERIFY_WITH_TIMEOUT(!log.Progress().isEmpty(), 20000);
        QElapsedTimer timer;
        timer.start();
        pWorker.reset();
        QVERIFY2(timer.elapsed() < 3000, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(Reports(dir.path()), QStringList());
        const QStringList reports = Partials(dir.path());
        QCOMPARE(reports.size(), 1);
        const QByteArray report = ReadFile(dir.filePath(reports.first()));
        QVERIFY(!report.isEmpty());
        QVERIFY(ExpectedReport(StreamOf(options)).startsWith(report));
    }
};

QTEST_GUILESS_MAIN(SerialWorkerTest)
#include "tst_serialworker.moc"
