// How long the product's three jobs take against the simulated device, as a
// technician meets them: one process, the process-wide QSerialUser, one
// simulated device on a line paced like 115200 baud 8N1 (11,520 bytes a
// second each way) with the device's default timing (boot loader 300 ms
// after the boot command, a "C" every 1000 ms). Each scenario runs N times
// and prints min / median / max beside its target:
//
//   info      StartGetVersionAndSN to both the version and the serial number
//   export    StartExportLogInfo of 400 records to its "End"
//   prep      StartUpgrade from application firmware until it returns true
//   receiver  StartUpgrade with the port remembered and the device already in
//             its YMODEM receiver, to the first block the device receives
//
// Under a row, a second figure of the same runs where it helps to read the
// first: the request's end (info, export), the first block at the device
// (prep), StartUpgrade's return (receiver).
//
//   kestrelpack-jobs-bench [--runs N] [--only info|export|prep|receiver]
//                          [--rate BYTES_PER_SECOND] [--log DIR]
//
// --rate 0 takes the pacing off the line (the export's wire time is then 0).
//
// Every wait is bounded: a run that does not get what it waits for prints
// FAIL with what it waited for; a call that does not return at all ends the
// program (exit code 1).

#include "app/logging.h"
#include "device/devicecodes.h"
#include "simulator/simulateddevice.h"
#include "transfer/qserialuser.h"
#include "transfer/ymodemfiletransmit.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>

#include <spdlog/spdlog.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using State = SimulatorOptions::State;

constexpr int kRecordCount = 400;
constexpr int kImageSize = 2048;
// After the device's receiver has started, before the first click: the
// device's thread and the pseudo-terminal have settled.
constexpr int kReceiverSettleMs = 150;
// The bounds of the waits. Generous: they only catch a stuck run.
constexpr int kRequestMs = 30000;       // an information or export request to its end
constexpr int kTransferMs = 30000;      // a 2 KiB transfer to its final status
constexpr int kDeviceMs = 10000;        // the device storing the image and rebooting
constexpr int kBlockingCallMs = 90000;  // StartUpgrade returning at all

int g_nWarnings = 0;

// Only the figures go to the terminal: the product's and the simulator's
// traces are dropped, warnings only counted (their number is printed at
// the end; --log keeps the product's own log).
void QuietDebug(QtMsgType eType, const QMessageLogContext &, const QString &)
{
    if (eType != QtDebugMsg && eType != QtInfoMsg) {
        ++g_nWarnings;
    }
}

double SecondsSince(Clock::time_point start, Clock::time_point end)
{
    return std::chrono::duration<double>(end - start).count();
}

// Ends the program when a blocking call (StartUpgrade runs nested event
// loops of its own and returns only when it is done) does not return.
class Watchdog
{
public:
    Watchdog()
        : m_thread([this]() { Run(); })
    {
    }
    ~Watchdog()
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_bStop = true;
        }
        m_cond.notify_all();
        m_thread.join();
    }
    void Arm(const QString &sWhat, int nMs)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_sWhat = sWhat.toStdString();
        m_deadline = Clock::now() + std::chrono::milliseconds(nMs);
        m_bArmed = true;
        m_cond.notify_all();
    }
    void Disarm()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bArmed = false;
    }

private:
    void Run()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        while (!m_bStop) {
            if (!m_bArmed) {
                m_cond.wait(lock);
                continue;
            }
            if (m_cond.wait_until(lock, m_deadline) == std::cv_status::timeout && m_bArmed
                && Clock::now() >= m_deadline) {
                std::printf("FAIL: %s did not return; giving up\n", m_sWhat.c_str());
                std::fflush(stdout);
                ::_exit(1);
            }
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_cond;
    bool m_bStop = false;
    bool m_bArmed = false;
    std::string m_sWhat;
    Clock::time_point m_deadline;
    std::thread m_thread;
};

// Runs the event loop until bDone() or nTimeoutMs; false when it ran out.
bool Pump(const std::function<bool()> &bDone, int nTimeoutMs)
{
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(nTimeoutMs);
    while (!bDone()) {
        if (Clock::now() >= deadline) {
            return false;
        }
        QEventLoop loop;
        QTimer::singleShot(5, Qt::PreciseTimer, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

// Runs the event loop until the moment given.
void PumpUntil(Clock::time_point when)
{
    for (;;) {
        const auto nLeftMs = std::chrono::duration_cast<std::chrono::milliseconds>(when - Clock::now()).count();
        if (nLeftMs <= 0) {
            return;
        }
        QEventLoop loop;
        QTimer::singleShot(int(std::min<long long>(nLeftMs, 50)), Qt::PreciseTimer, &loop, &QEventLoop::quit);
        loop.exec();
    }
}

// What QSerialUser reported since the last Clear(), each with its arrival.
struct Watch
{
    struct Result
    {
        int nFunction;
        int nResult;
        bool bRet;
        QString sMes;
        Clock::time_point at;
    };
    std::vector<Result> results;
    int nFinished = 0;
    Clock::time_point finishedAt;
    int nFinalStatus = -1;   // YmodemStatus, StatusDone or above

    explicit Watch(QSerialUser *pUser)
    {
        QObject::connect(pUser, &QSerialUser::signal_SendResult, pUser,
                         [this](int nFunction, int nResult, bool bRet, const QString &sMes) {
                             results.push_back({nFunction, nResult, bRet, sMes, Clock::now()});
                         });
        QObject::connect(pUser, &QSerialUser::signal_RequestFinished, pUser, [this]() {
            if (nFinished++ == 0) {
                finishedAt = Clock::now();
            }
        });
        QObject::connect(pUser, &QSerialUser::signal_TransmitStatus, pUser,
                         [this](YmodemFileTransmit::YmodemStatus e) {
                             if (e >= YmodemFileTransmit::StatusDone) {
                                 nFinalStatus = e;
                             }
                         });
    }
    void Clear()
    {
        results.clear();
        nFinished = 0;
        nFinalStatus = -1;
    }
    const Result *Find(int nResult, bool bRet) const
    {
        for (const Result &r : results) {
            if (r.nResult == nResult && r.bRet == bRet) {
                return &r;
            }
        }
        return nullptr;
    }
    const Result *FirstFailure() const
    {
        for (const Result &r : results) {
            if (!r.bRet) {
                return &r;
            }
        }
        return nullptr;
    }
};

const char *StatusName(int nStatus)
{
    static const char *const names[] = {"Opening", "Sending", "Done", "Cancelled", "TimeOut", "Failed"};
    return nStatus >= 0 && nStatus < 6 ? names[nStatus] : "none";
}

struct Row
{
    const char *szJob;
    std::vector<double> seconds;   // runs that passed every check
    int nRuns = 0;
    const char *szSecond = nullptr;   // a second figure of the same runs, and what it measures
    std::vector<double> second;
    QString sTarget;               // "median < 0.300 s", with how it is made up
    double fTargetSeconds = 0;
    QStringList failures;
};

constexpr const char *kToRequestEnd = "to the request's end (signal_RequestFinished)";
constexpr const char *kToFirstBlock = "to the first YMODEM block at the device";

bool IsBlock(const QByteArray &frame)
{
    return frame.size() == 133 || frame.size() == 1029;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

void PrintRow(const Row &row)
{
    std::printf("%-38s %2zu/%-2d", row.szJob, row.seconds.size(), row.nRuns);
    if (row.seconds.empty()) {
        std::printf("  %9s %9s %9s", "-", "-", "-");
    } else {
        const auto [pMin, pMax] = std::minmax_element(row.seconds.begin(), row.seconds.end());
        std::printf("  %7.3f s %7.3f s %7.3f s", *pMin, Median(row.seconds), *pMax);
    }
    const bool bMet = !row.seconds.empty() && row.failures.isEmpty() && Median(row.seconds) < row.fTargetSeconds;
    std::printf("   %s  %s\n", qPrintable(row.sTarget), row.seconds.empty() ? "no figures" : (bMet ? "met" : "NOT met"));
    if (!row.seconds.empty()) {
        QStringList each;
        for (double f : row.seconds) {
            each << QString::number(f, 'f', 3);
        }
        std::printf("    each run, s: %s\n", qPrintable(each.join(QLatin1Char(' '))));
    }
    if (!row.second.empty()) {
        const auto [pMin, pMax] = std::minmax_element(row.second.begin(), row.second.end());
        std::printf("    %s: min %.3f s, median %.3f s, max %.3f s\n", row.szSecond, *pMin, Median(row.second), *pMax);
    }
    for (const QString &sFailure : row.failures) {
        std::printf("    %s\n", qPrintable(sFailure));
    }
    std::fflush(stdout);
}

class Bench
{
public:
    Bench(QSerialUser *pUser, Watchdog *pWatchdog, const QString &sWork, int nRuns, int nRate)
        : m_pUser(pUser)
        , m_pWatchdog(pWatchdog)
        , m_watch(pUser)
        , m_sWork(sWork)
        , m_nRuns(nRuns)
        , m_nRate(nRate)
    {
    }

    bool Setup(QString *psError)
    {
        QRandomGenerator gen(20240617);
        m_image.resize(kImageSize);
        for (int i = 0; i < kImageSize; ++i) {
            m_image[i] = static_cast<char>(gen.bounded(256));
        }
        m_sImagePath = m_sWork + QStringLiteral("/firmware.bin");
        QFile file(m_sImagePath);
        if (!file.open(QIODevice::WriteOnly) || file.write(m_image) != m_image.size()) {
            *psError = QStringLiteral("cannot write %1").arg(m_sImagePath);
            return false;
        }
        m_sReportDir = m_sWork + QStringLiteral("/reports");
        if (!QDir().mkpath(m_sReportDir)) {
            *psError = QStringLiteral("cannot make %1").arg(m_sReportDir);
            return false;
        }
        return true;
    }

    // The device of the first three scenarios, in its application firmware.
    bool StartMainDevice(QString *psError)
    {
        m_device = std::make_unique<SimulatedDevice>(Options(State::Application));
        if (!m_device->Start(psError)) {
            return false;
        }
        NameOnlyPort(m_device->PortPath());
        return true;
    }

    Row Information()
    {
        Row row{"information (version and S/N)", {}, m_nRuns, kToRequestEnd, {}, QStringLiteral("median < 0.300 s"), 0.3, {}};
        for (int i = 0; i < m_nRuns; ++i) {
            if (!WaitIdle(i, &row)) {
                continue;
            }
            m_watch.Clear();
            const Clock::time_point start = Clock::now();
            m_pUser->StartGetVersionAndSN();
            const bool bBoth = Pump(
                [&]() {
                    return m_watch.nFinished > 0 || m_watch.FirstFailure()
                        || (m_watch.Find(DeviceCodes::RT_Version, true) && m_watch.Find(DeviceCodes::RT_SN, true));
                },
                kRequestMs);
            const bool bFinished = Pump([&]() { return m_watch.nFinished > 0; }, kRequestMs);
            // Found after the last wait: a later report may move the list.
            const Watch::Result *pVersion = m_watch.Find(DeviceCodes::RT_Version, true);
            const Watch::Result *pSN = m_watch.Find(DeviceCodes::RT_SN, true);
            QString sFailure;
            if (!bBoth) {
                sFailure = QStringLiteral("no version and serial number within %1 s").arg(kRequestMs / 1000);
            } else if (!pVersion || !pSN) {
                sFailure = FailureText();
            } else if (pVersion->sMes != QLatin1String("V1.10") || pSN->sMes != QLatin1String("08123456")) {
                sFailure = QStringLiteral("wrong values: version \"%1\", serial number \"%2\"").arg(pVersion->sMes, pSN->sMes);
            } else if (!bFinished) {
                sFailure = QStringLiteral("no end of the request (signal_RequestFinished) within %1 s").arg(kRequestMs / 1000);
            } else if (const Watch::Result *pBad = m_watch.FirstFailure()) {
                sFailure = QStringLiteral("a failure after both values: %1").arg(pBad->sMes);
            }
            if (!sFailure.isEmpty()) {
                row.failures << QStringLiteral("FAIL run %1: %2").arg(i + 1).arg(sFailure);
                continue;
            }
            row.seconds.push_back(SecondsSince(start, std::max(pVersion->at, pSN->at)));
            row.second.push_back(SecondsSince(start, m_watch.finishedAt));
        }
        return row;
    }

    Row Export()
    {
        Row row{"export of 400 records", {}, m_nRuns, kToRequestEnd, {}, QString(), 0, {}};
        qint64 nStreamBytes = -1;
        for (int i = 0; i < m_nRuns; ++i) {
            if (!WaitIdle(i, &row)) {
                continue;
            }
            m_watch.Clear();
            const Clock::time_point start = Clock::now();
            m_pUser->StartExportLogInfo(m_sReportDir);
            const auto ended = [&]() {
                for (const Watch::Result &r : m_watch.results) {
                    if (r.nResult == DeviceCodes::RT_ExportLog && r.bRet && r.sMes == QLatin1String("End")) {
                        return &r;
                    }
                }
                return static_cast<const Watch::Result *>(nullptr);
            };
            const bool bEnded = Pump([&]() { return ended() || m_watch.FirstFailure() || m_watch.nFinished > 0; },
                                     kRequestMs);
            const bool bFinished = Pump([&]() { return m_watch.nFinished > 0; }, kRequestMs);
            const Watch::Result *pEnd = ended();
            const Watch::Result *pFile = m_watch.Find(DeviceCodes::RT_ReportFile, true);
            QString sFailure;
            qint64 nReportBytes = -1;
            if (!bEnded) {
                sFailure = QStringLiteral("no \"End\" within %1 s").arg(kRequestMs / 1000);
            } else if (!pEnd) {
                sFailure = FailureText();
            } else if (!bFinished) {
                sFailure = QStringLiteral("no end of the request (signal_RequestFinished) within %1 s").arg(kRequestMs / 1000);
            } else if (!pFile) {
                sFailure = QStringLiteral("no report file named (RT_ReportFile)");
            } else {
                sFailure = CheckReport(pFile->sMes, &nReportBytes);
            }
            // Each run starts with an empty folder, whatever this one left.
            QDir(m_sReportDir).removeRecursively();
            QDir().mkpath(m_sReportDir);
            if (sFailure.isEmpty() && nStreamBytes >= 0 && nReportBytes != nStreamBytes) {
                sFailure = QStringLiteral("report of %1 bytes, earlier ones %2").arg(nReportBytes).arg(nStreamBytes);
            }
            if (!sFailure.isEmpty()) {
                row.failures << QStringLiteral("FAIL run %1: %2").arg(i + 1).arg(sFailure);
                continue;
            }
            nStreamBytes = nReportBytes;
            row.seconds.push_back(SecondsSince(start, pEnd->at));
            row.second.push_back(SecondsSince(start, m_watch.finishedAt));
        }
        if (nStreamBytes >= 0) {
            const double fWire = m_nRate > 0 ? double(nStreamBytes) / m_nRate : 0.0;
            row.fTargetSeconds = fWire + 0.5;
            row.sTarget = QStringLiteral("median < %1 s (stream %2 bytes, wire %3 s, + 0.5 s)")
                              .arg(row.fTargetSeconds, 0, 'f', 3)
                              .arg(nStreamBytes)
                              .arg(fWire, 0, 'f', 3);
        } else {
            row.sTarget = QStringLiteral("median < wire time + 0.5 s (no stream measured)");
        }
        return row;
    }

    Row Preparation()
    {
        const SimulatorOptions defaults;
        const int nFourthCMs = defaults.nBootDelayMs + 3 * defaults.nCIntervalMs;
        Row row{"upgrade preparation (application)", {}, m_nRuns, kToFirstBlock, {},
                QStringLiteral("median < %1 s (fourth \"C\" at %2 s + 0.3 s)")
                    .arg((nFourthCMs + 300) / 1000.0, 0, 'f', 3)
                    .arg(nFourthCMs / 1000.0, 0, 'f', 3),
                (nFourthCMs + 300) / 1000.0, {}};
        for (int i = 0; i < m_nRuns; ++i) {
            QString sFailure;
            if (m_device->State() != State::Application) {
                row.failures << QStringLiteral("FAIL run %1: the device is not in its application firmware").arg(i + 1);
                break;
            }
            const int nImagesBefore = m_device->Images().size();
            std::optional<Clock::time_point> firstBlock;
            const QMetaObject::Connection watchBlocks =
                QObject::connect(m_device.get(), &SimulatedDevice::FrameReceived, m_device.get(),
                                 [&firstBlock](const QByteArray &frame) {
                                     if (!firstBlock && IsBlock(frame)) {
                                         firstBlock = Clock::now();
                                     }
                                 });
            m_watch.Clear();
            const Clock::time_point start = Clock::now();
            const bool bStarted = StartUpgrade();
            const Clock::time_point returned = Clock::now();
            if (!bStarted) {
                sFailure = QStringLiteral("StartUpgrade returned false: %1").arg(m_pUser->ErrorMessage());
            } else if (!Pump([&]() { return firstBlock.has_value(); }, kTransferMs)) {
                sFailure = QStringLiteral("no YMODEM block at the device within %1 s").arg(kTransferMs / 1000);
            } else {
                sFailure = FinishTransfer(*m_device, nImagesBefore);
            }
            QObject::disconnect(watchBlocks);
            if (!sFailure.isEmpty()) {
                row.failures << QStringLiteral("FAIL run %1: %2").arg(i + 1).arg(sFailure);
                continue;
            }
            row.seconds.push_back(SecondsSince(start, returned));
            row.second.push_back(SecondsSince(start, *firstBlock));
        }
        return row;
    }

    // A device already in its receiver, on the port QSerialUser remembers.
    // Each run has a device of its own, started in its receiver (the one
    // before went back to its application firmware after its image); run i
    // clicks i/N of a "C" period after a settle time, since a technician
    // meets the receiver at any point of its period.
    Row Receiver()
    {
        Row row{"upgrade from the receiver, remembered",
                {},
                m_nRuns,
                "to StartUpgrade's return (the transmitter then waits for a \"C\")",
                {},
                QStringLiteral("median < 0.500 s"),
                0.5,
                {}};
        const int nPeriodMs = SimulatorOptions().nCIntervalMs;
        for (int i = 0; i < m_nRuns; ++i) {
            SimulatedDevice device(Options(State::Ymodem));
            QString sError;
            if (!device.Start(&sError)) {
                row.failures << QStringLiteral("FAIL run %1: the simulated device did not start: %2").arg(i + 1).arg(sError);
                continue;
            }
            // Start() returns once the device plays: its receiver has sent its
            // first "C" (to no one: the port is not open yet).
            const Clock::time_point receiverStart = Clock::now();
            NameOnlyPort(device.PortPath());
            m_pUser->SetPortName(device.PortPath());
            std::optional<Clock::time_point> firstBlock;
            QObject::connect(&device, &SimulatedDevice::FrameReceived, &device, [&firstBlock](const QByteArray &frame) {
                if (!firstBlock && IsBlock(frame)) {
                    firstBlock = Clock::now();
                }
            });
            PumpUntil(receiverStart + std::chrono::milliseconds(kReceiverSettleMs + nPeriodMs * i / m_nRuns));
            m_watch.Clear();
            const Clock::time_point start = Clock::now();
            const bool bStarted = StartUpgrade();
            const Clock::time_point returned = Clock::now();
            QString sFailure;
            if (!bStarted) {
                sFailure = QStringLiteral("StartUpgrade returned false: %1").arg(m_pUser->ErrorMessage());
            } else if (!Pump([&]() { return firstBlock.has_value(); }, kTransferMs)) {
                sFailure = QStringLiteral("no YMODEM block at the device within %1 s").arg(kTransferMs / 1000);
            } else {
                sFailure = FinishTransfer(device, 0);
            }
            if (!sFailure.isEmpty()) {
                row.failures << QStringLiteral("FAIL run %1 (click %2 ms into the period): %3")
                                    .arg(i + 1)
                                    .arg(nPeriodMs * i / m_nRuns)
                                    .arg(sFailure);
                if (!m_pUser->IsIdle()) {
                    // No transfer may go on against a device that goes away.
                    m_pUser->Interrupt(QStringLiteral("benchmark"));
                    if (!Pump([&]() { return m_pUser->IsIdle(); }, kTransferMs)) {
                        std::printf("FAIL: the product is still busy %d s after an interrupted run; giving up\n",
                                    kTransferMs / 1000);
                        std::fflush(stdout);
                        ::_exit(1);
                    }
                }
                continue;
            }
            row.seconds.push_back(SecondsSince(start, *firstBlock));
            row.second.push_back(SecondsSince(start, returned));
        }
        // The next upgrade would otherwise try a port that no longer exists.
        if (m_device) {
            NameOnlyPort(m_device->PortPath());
            m_pUser->SetPortName(m_device->PortPath());
        }
        return row;
    }

private:
    SimulatorOptions Options(State eState) const
    {
        SimulatorOptions options;
        options.initialState = eState;
        options.nBytesPerSecond = m_nRate;
        options.nRecordCount = kRecordCount;
        return options;
    }

    // Port scans in this process see the simulator's port alone.
    static void NameOnlyPort(const QString &sPath)
    {
        qputenv("KESTRELPACK_SERIAL_PORTS", sPath.toLocal8Bit());
    }

    // A run that failed may have left its request running: the next one
    // starts on an idle product, or fails as such.
    bool WaitIdle(int nRun, Row *pRow)
    {
        if (Pump([&]() { return m_pUser->IsIdle(); }, kRequestMs)) {
            return true;
        }
        pRow->failures << QStringLiteral("FAIL run %1: the product was still busy from the run before after %2 s")
                              .arg(nRun + 1)
                              .arg(kRequestMs / 1000);
        return false;
    }

    bool StartUpgrade()
    {
        m_pWatchdog->Arm(QStringLiteral("StartUpgrade (within %1 s)").arg(kBlockingCallMs / 1000), kBlockingCallMs);
        const bool bStarted = m_pUser->StartUpgrade(m_sImagePath);
        m_pWatchdog->Disarm();
        return bStarted;
    }

    // The first failure report, with its step.
    QString FailureText() const
    {
        const Watch::Result *pBad = m_watch.FirstFailure();
        if (pBad) {
            return QStringLiteral("failed at step %1: %2").arg(pBad->nResult).arg(pBad->sMes);
        }
        return QStringLiteral("the request ended without its result");
    }

    // A started transfer to its end: StatusDone, the device holding the
    // image byte for byte, and back in its application firmware (it reboots
    // once the batch is closed).
    QString FinishTransfer(const SimulatedDevice &device, int nImagesBefore)
    {
        if (!Pump([&]() { return m_watch.nFinalStatus >= 0; }, kTransferMs)) {
            return QStringLiteral("no final transfer status within %1 s").arg(kTransferMs / 1000);
        }
        if (m_watch.nFinalStatus != YmodemFileTransmit::StatusDone) {
            return QStringLiteral("transfer ended %1").arg(QLatin1String(StatusName(m_watch.nFinalStatus)));
        }
        if (!Pump([&]() { return device.Images().size() > nImagesBefore; }, kDeviceMs)) {
            return QStringLiteral("transfer reported done, but no image stored at the device within %1 s")
                .arg(kDeviceMs / 1000);
        }
        const QList<SimulatedDevice::Image> images = device.Images();
        if (images.size() != nImagesBefore + 1 || images.last().content != m_image) {
            return QStringLiteral("the device's image (%1 bytes) differs from the file").arg(images.last().content.size());
        }
        if (!Pump([&]() { return device.State() == State::Application; }, kDeviceMs)) {
            return QStringLiteral("the device did not reboot into its application firmware within %1 s")
                .arg(kDeviceMs / 1000);
        }
        if (!Pump([&]() { return m_pUser->IsIdle(); }, kDeviceMs)) {
            return QStringLiteral("the product was not idle within %1 s of the transfer's end").arg(kDeviceMs / 1000);
        }
        return QString();
    }

    // The report holds the 400 records, one a line, LF-ended, with no
    // invalid-record lines: then the report is the stream with its spaces
    // turned into commas, byte for byte as long, and its size is the
    // stream's.
    static QString CheckReport(const QString &sPath, qint64 *pnBytes)
    {
        QFile file(sPath);
        if (!file.open(QIODevice::ReadOnly)) {
            return QStringLiteral("cannot read the report %1").arg(sPath);
        }
        const QByteArray content = file.readAll();
        if (content.contains('\r')) {
            return QStringLiteral("the report holds CR bytes: its size is not the stream's");
        }
        if (!content.endsWith('\n')) {
            return QStringLiteral("the report's last line is not LF-ended");
        }
        const QList<QByteArray> lines = content.left(content.size() - 1).split('\n');
        if (lines.size() != kRecordCount) {
            return QStringLiteral("the report holds %1 lines, not %2").arg(lines.size()).arg(kRecordCount);
        }
        for (int i = 0; i < lines.size(); ++i) {
            // "0001,2026-12-08,04:55:00,POWER_ON,217": five fields, the index first.
            const QList<QByteArray> fields = lines.at(i).split(',');
            if (fields.size() != 5 || fields.at(0).toInt() != i + 1) {
                return QStringLiteral("report line %1 is not record %1: \"%2\"").arg(i + 1).arg(QString::fromLatin1(lines.at(i)));
            }
        }
        *pnBytes = content.size();
        return QString();
    }

    QSerialUser *m_pUser;
    Watchdog *m_pWatchdog;
    Watch m_watch;
    QString m_sWork;
    int m_nRuns;
    int m_nRate;   // bytes a second each way; 0: unpaced
    std::unique_ptr<SimulatedDevice> m_device;
    QByteArray m_image;
    QString m_sImagePath;
    QString m_sReportDir;
};

int Usage(const char *szProgram)
{
    std::fprintf(stderr, "usage: %s [--runs N] [--only info|export|prep|receiver] [--rate BYTES_PER_SECOND] "
                 "[--log DIR]\n", szProgram);
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    qInstallMessageHandler(QuietDebug);
    int nRuns = 21;
    int nRate = 11520;   // 115200 baud 8N1
    QString sOnly;
    QString sLogDir;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        const QString &sArg = args.at(i);
        if (i + 1 >= args.size()) {
            return Usage(argv[0]);
        }
        if (sArg == QLatin1String("--runs")) {
            nRuns = args.at(++i).toInt();
        } else if (sArg == QLatin1String("--only")) {
            sOnly = args.at(++i);
        } else if (sArg == QLatin1String("--rate")) {
            bool bOk = false;
            nRate = args.at(++i).toInt(&bOk);
            nRate = bOk ? nRate : -1;
        } else if (sArg == QLatin1String("--log")) {
            sLogDir = args.at(++i);
        } else {
            return Usage(argv[0]);
        }
    }
    const QStringList scenarios{QStringLiteral("info"), QStringLiteral("export"), QStringLiteral("prep"),
                                QStringLiteral("receiver")};
    if (nRuns < 1 || nRate < 0 || (!sOnly.isEmpty() && !scenarios.contains(sOnly))) {
        return Usage(argv[0]);
    }
    // Nothing may scan a real port, whatever the environment said.
    qputenv("KESTRELPACK_SERIAL_PORTS", QByteArray());
    if (sLogDir.isEmpty()) {
        spdlog::set_level(spdlog::level::off);
    } else if (!QDir().mkpath(sLogDir) || !Logging::InitLogIn(sLogDir, QDateTime::currentDateTime())) {
        std::fprintf(stderr, "cannot write a log in %s\n", qPrintable(sLogDir));
        return 1;
    }

    QTemporaryDir work;
    if (!work.isValid()) {
        std::fprintf(stderr, "no temporary folder\n");
        return 1;
    }
    Watchdog watchdog;
    QSharedPointer<QSerialUser> user = QSerialUser::instance();
    Bench bench(user.data(), &watchdog, work.path(), nRuns, nRate);
    QString sError;
    if (!bench.Setup(&sError) || !bench.StartMainDevice(&sError)) {
        std::fprintf(stderr, "%s\n", qPrintable(sError));
        return 1;
    }

    const SimulatorOptions defaults;
    const QString sLine = nRate > 0 ? QStringLiteral("%1 B/s each way").arg(nRate) : QStringLiteral("unpaced line");
    std::printf("Jobs against the simulated device: %s, boot loader %d ms after the boot command, "
                "a \"C\" every %d ms; %d runs each\n",
                qPrintable(sLine), defaults.nBootDelayMs, defaults.nCIntervalMs, nRuns);
    std::printf("%-38s %5s  %9s %9s %9s   %s\n", "job", "ok", "min", "median", "max", "target");
    std::fflush(stdout);
    const Clock::time_point benchStart = Clock::now();
    bool bAllOk = true;
    const auto run = [&](const QString &sName, const std::function<Row()> &scenario) {
        if (!sOnly.isEmpty() && sOnly != sName) {
            return;
        }
        const Row row = scenario();
        PrintRow(row);
        bAllOk = bAllOk && row.failures.isEmpty();
    };
    run(QStringLiteral("info"), [&]() { return bench.Information(); });
    run(QStringLiteral("export"), [&]() { return bench.Export(); });
    run(QStringLiteral("prep"), [&]() { return bench.Preparation(); });
    run(QStringLiteral("receiver"), [&]() { return bench.Receiver(); });
    std::printf("whole run %.1f s; %d warning(s) from the product or the simulator%s\n",
                SecondsSince(benchStart, Clock::now()), g_nWarnings,
                g_nWarnings && sLogDir.isEmpty() ? " (--log DIR keeps the product's log)" : "");
    std::fflush(stdout);

    user.reset();
    QSerialUser::ReleaseInstance();
    return bAllOk ? 0 : 1;
}
