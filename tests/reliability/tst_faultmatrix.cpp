// The fault-injection matrix: the real main window, offscreen, against the
// simulated device. Every row is one fault the device, the line, the disk or
// the technician brings in, played through one scenario runner: the window
// is opened, the job is started with the page's own buttons, the fault
// strikes at its moment, and the row then checks both sides of the outcome:
//
// - what the technician sees: the page's text, its progress bar, and that
//   the way back to the menu is open again;
// - what is on disk or on the device: the report holds exactly the device's
//   records turned into CSV, or it is absent or a strict prefix while a
//   failure is shown; the image arrives byte for byte, or no image is
//   stored; an information or export request never touches the boot loader.
//
// Rows shorten the device link's waits (WaitsForTesting), except the two
// boot loader rows that run against the real 30 s wait. docs/reliability.md
// lists the rows with their outcomes.

#include "device/busyline.h"
#include "device/serialworker.h"
#include "device/waitsfortesting.h"
#include "simulator/devicesimulator.h"
#include "simulator/simulateddevice.h"
#include "support/answerquestion.h"
#include "support/randombytes.h"
#include "support/testenvironment.h"
#include "transfer/qserialuser.h"
#include "transfer/ymodemfiletransmit.h"
#include "ui/infowidget.h"
#include "ui/mainform.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <csignal>
#include <functional>
#include <memory>
#include <vector>

#include <sys/resource.h>
#include <unistd.h>

namespace {

using State = SimulatorOptions::State;

enum class Job { Info, Export, Upgrade };

// When the row's event strikes.
enum class When
{
    Never,
    BeforeClick,    // the file is chosen, "Update" not clicked yet
    AtFrame,        // the device receives a frame that starts with Row::frame
    AtBootLoader,   // the device's boot loader starts after the boot command
    AtProgress,     // the job reports Row::nAt percent (export: its first report)
};

enum class Action { None, Unplug, CloseWindow, RemoveFile, ShrinkFile, RewriteFile };

enum class Folder
{
    Plain,      // an empty folder
    Missing,    // does not exist
    ReadOnly,   // exists, takes no new file
    Full,       // the disk takes 1000 bytes of the report, then no more
};

enum class Report
{
    Complete,   // exactly the device's records, transformed
    Partial,    // no report; what arrived, if anything, a strict prefix under the partial name
    None,       // no report file
};

enum class Image
{
    Whole,      // the file as it was at the click, byte for byte
    None,
};

// Faults of the application firmware and the boot menu, aimed at the replies
// to one command.
enum class Fault
{
    Silent,     // no reply
    Garbage,    // noise before the reply
    WrongEcho,  // the echo's check byte changed
    Split,      // the reply in three pieces, 60 ms apart
    Cut,        // the reply in two pieces, 800 ms apart: the reply window closes between them
    Dribble,    // the reply one byte at a time, 10 ms apart
};

constexpr int kAnyCommand = -1;
constexpr int kEnterCtrl = 0xC0;
constexpr int kExitCtrl = 0xC1;
constexpr int kVersion = 0xC8;
constexpr int kSerial = 0xCC;
constexpr int kCount = 0xD1;
constexpr int kExport = 0xCD;
constexpr int kBoot = 0xC9;
constexpr int kBootMenuChoice = 0x31;

// Line noise whose hex text has "C8" across a byte boundary (FC 8F).
const QByteArray kGarbage = QByteArray::fromHex("00FFFC8F");
const QByteArray kBootFrame = QByteArray::fromHex("C955AAAAAACC");
const QByteArray kExportFrame = QByteArray::fromHex("CD34AAAAAACC");

const QString kNoValue = QStringLiteral("<no value>");   // an info field left empty or with its dots
const QString kCompleted = QStringLiteral("Upgrade completed");
const QString kUpgradeFailed = QStringLiteral("Upgrade failed");
const QString kExported = QStringLiteral("File export successful");
const QString kExportFailed = QStringLiteral("File export failed");
const QString kDisconnected = QStringLiteral("Disconnected");
const QString kKeepsSending = QStringLiteral("The device keeps sending; switch it off and on, then try again");

// The device is still sending the records of an export that an earlier run
// of the program left: about 5 s of them on the paced line when the window
// opens.
void StillStreaming(SimulatorOptions &o)
{
    o.nRecordCount = 1500;
    o.nStreamingAtStart = 1500;
    o.nBytesPerSecond = 11520;
}
// ... or one that never ends; the wait for it is cut short.
void NeverStopsSending(SimulatorOptions &o)
{
    o.nStreamingAtStart = SimulatorOptions::kEndless;
    o.nBytesPerSecond = 11520;
}
void ShortBusyWait(Waits &w)
{
    w.nBusyMaxMs = 2000;
}
// No device: the port carries a GPS receiver's sentences at 9600 baud.
void ForeignTalker(SimulatorOptions &o)
{
    o.MakeForeignTalker();
    o.nBytesPerSecond = 960;
}
// The device takes the image and comes back in its boot loader.
std::function<void(SimulatorOptions &)> AfterImage(State eState)
{
    return [eState](SimulatorOptions &o) { o.afterImageState = eState; };
}
void ShortAnswerWait(Waits &w)
{
    w.nUpgradeAnswerMs = 2000;
}

struct Row
{
    QByteArray name;
    Job job = Job::Info;
    std::function<void(SimulatorOptions &)> device;
    std::function<void(Waits &)> waits;   // on top of the matrix's short waits
    bool bRealWaits = false;              // the program's own waits and device timing
    When when = When::Never;
    Action action = Action::None;
    QByteArray frame;
    int nAt = 1;
    Folder folder = Folder::Plain;
    int nImageSize = 20 * 1024 + 7;
    QString sImageName = QStringLiteral("fw.bin");
    int nTimeoutMs = 30000;
    int nMinMs = 0;                       // click to outcome, at least
    int nMaxMs = 0;                       // ... and at most (0: no bound)

    // What the technician sees: info: the message (empty: the values page);
    // export and upgrade: the outcome text.
    QString sTip;
    QString sVersion = QStringLiteral("V1.10");
    QString sSN = QStringLiteral("08123456");
    // What is on disk or on the device.
    Report report = Report::None;
    Image image = Image::None;
    bool bBootCommandSent = false;        // upgrade: the device was asked to enter its boot loader
    QString sDeviceName;                  // upgrade: the image's name on the device (empty: the file's)

    Row &Device(std::function<void(SimulatorOptions &)> f)
    {
        device = std::move(f);
        return *this;
    }
    Row &Wait(std::function<void(Waits &)> f)
    {
        waits = std::move(f);
        return *this;
    }
    Row &On(When eWhen, Action eAction, const QByteArray &frameStart = QByteArray(), int nPercent = 1)
    {
        when = eWhen;
        action = eAction;
        frame = frameStart;
        nAt = nPercent;
        return *this;
    }
    Row &Sees(const QString &sText)
    {
        sTip = sText;
        return *this;
    }
    Row &Values(const QString &sVer, const QString &sSerial)
    {
        sVersion = sVer;
        sSN = sSerial;
        return *this;
    }
    Row &Disk(Report eReport)
    {
        report = eReport;
        return *this;
    }
    Row &Stores(Image eImage)
    {
        image = eImage;
        bBootCommandSent = true;
        return *this;
    }
    Row &BootCommand(bool bSent)
    {
        bBootCommandSent = bSent;
        return *this;
    }
};

Row Make(Job eJob, const char *szName)
{
    Row row;
    row.name = szName;
    row.job = eJob;
    return row;
}

std::function<void(SimulatorOptions &)> FaultAt(Fault eFault, int nCommand)
{
    return [=](SimulatorOptions &o) {
        o.nFaultCommand = nCommand;
        switch (eFault) {
        case Fault::Silent:
            o.bSilent = true;
            break;
        case Fault::Garbage:
            o.garbageBeforeReply = kGarbage;
            break;
        case Fault::WrongEcho:
            o.bWrongEcho = true;
            break;
        case Fault::Split:
            o.nSplitPieces = 3;
            o.nSplitGapMs = 60;
            break;
        case Fault::Cut:
            o.nSplitPieces = 2;
            o.nSplitGapMs = 800;
            break;
        case Fault::Dribble:
            o.nSplitPieces = 1000;
            o.nSplitGapMs = 10;
            break;
        }
    };
}

std::vector<Row> BuildRows()
{
    std::vector<Row> rows;
    const auto info = [&](const char *szName) -> Row & {
        rows.push_back(Make(Job::Info, szName));
        return rows.back();
    };
    const auto exportRow = [&](const char *szName) -> Row & {
        rows.push_back(Make(Job::Export, szName));
        rows.back().report = Report::Complete;
        rows.back().sTip = kExported;
        return rows.back();
    };
    const auto upgrade = [&](const char *szName) -> Row & {
        rows.push_back(Make(Job::Upgrade, szName));
        rows.back().sTip = kCompleted;
        rows.back().Stores(Image::Whole);
        return rows.back();
    };

    // --- Device information: C0 (control mode), C8 (version), CC (serial
    // number), C1 (leave control mode).
    info("info: C0 silent").Device(FaultAt(Fault::Silent, kEnterCtrl)).Sees(kDisconnected);
    info("info: C0 garbage first").Device(FaultAt(Fault::Garbage, kEnterCtrl)).Sees(kDisconnected);
    info("info: C0 wrong echo").Device(FaultAt(Fault::WrongEcho, kEnterCtrl)).Sees(kDisconnected);
    info("info: C0 echo split").Device(FaultAt(Fault::Split, kEnterCtrl));
    info("info: C0 echo cut by the window").Device(FaultAt(Fault::Cut, kEnterCtrl)).Sees(kDisconnected);
    info("info: C8 silent").Device(FaultAt(Fault::Silent, kVersion)).Values(kNoValue, QStringLiteral("08123456"));
    info("info: C8 garbage first").Device(FaultAt(Fault::Garbage, kVersion));
    info("info: C8 reply split").Device(FaultAt(Fault::Split, kVersion));
    // Only the C8 reaches the window; the version bytes come 1.2 s later,
    // after the serial number's window too, so its reply comes too late.
    info("info: C8 reply cut after its first byte")
        .Device([](SimulatorOptions &o) {
            o.nFaultCommand = kVersion;
            o.nSplitPieces = 2;
            o.nSplitGapMs = 1200;
        })
        .Values(kNoValue, kNoValue);
    info("info: CC silent").Device(FaultAt(Fault::Silent, kSerial)).Values(QStringLiteral("V1.10"), kNoValue);
    info("info: CC garbage first").Device(FaultAt(Fault::Garbage, kSerial));
    info("info: CC reply split").Device(FaultAt(Fault::Split, kSerial));
    info("info: C1 silent").Device(FaultAt(Fault::Silent, kExitCtrl));
    info("info: C1 garbage first").Device(FaultAt(Fault::Garbage, kExitCtrl));
    info("info: C1 wrong echo").Device(FaultAt(Fault::WrongEcho, kExitCtrl));
    info("info: C1 echo split").Device(FaultAt(Fault::Split, kExitCtrl));
    info("info: every reply dribbled").Device(FaultAt(Fault::Dribble, kAnyCommand));
    const auto echoingLine = [](SimulatorOptions &o) { o.bEcho = true; };
    info("info: an echoing line").Device(echoingLine).Sees(kDisconnected);
    info("info: line closed at C8")
        .On(When::AtFrame, Action::Unplug, QByteArray::fromHex("C8"))
        .Sees(kDisconnected);
    info("info: window closed at C8").On(When::AtFrame, Action::CloseWindow, QByteArray::fromHex("C8"));
    info("info: the device still sends an earlier export").Device(StillStreaming);
    info("info: the device never stops sending").Device(NeverStopsSending).Wait(ShortBusyWait).Sees(kKeepsSending);
    info("info: a GPS port talks, no device").Device(ForeignTalker).Sees(kDisconnected).nMaxMs = 10000;

    // --- Report export: C0, D1 (record count), CD34 (the record stream),
    // then C0 and C1 on a fresh port.
    exportRow("export: C0 silent").Device(FaultAt(Fault::Silent, kEnterCtrl)).Sees(kDisconnected).Disk(Report::None);
    exportRow("export: C0 garbage first")
        .Device(FaultAt(Fault::Garbage, kEnterCtrl))
        .Sees(kDisconnected)
        .Disk(Report::None);
    exportRow("export: C0 wrong echo")
        .Device(FaultAt(Fault::WrongEcho, kEnterCtrl))
        .Sees(kDisconnected)
        .Disk(Report::None);
    exportRow("export: C0 echo split").Device(FaultAt(Fault::Split, kEnterCtrl));
    exportRow("export: C0 echo cut by the window")
        .Device(FaultAt(Fault::Cut, kEnterCtrl))
        .Sees(kDisconnected)
        .Disk(Report::None);
    exportRow("export: an echoing line").Device(echoingLine).Sees(kDisconnected).Disk(Report::None);
    exportRow("export: D1 silent").Device(FaultAt(Fault::Silent, kCount));
    exportRow("export: D1 garbage first").Device(FaultAt(Fault::Garbage, kCount));
    exportRow("export: D1 reply split").Device(FaultAt(Fault::Split, kCount));
    exportRow("export: CD34 silent").Device(FaultAt(Fault::Silent, kExport)).Sees(kExportFailed).Disk(Report::Partial);
    exportRow("export: C1 silent").Device(FaultAt(Fault::Silent, kExitCtrl));
    exportRow("export: C1 garbage first").Device(FaultAt(Fault::Garbage, kExitCtrl));
    exportRow("export: C1 wrong echo").Device(FaultAt(Fault::WrongEcho, kExitCtrl));
    exportRow("export: every reply dribbled").Device(FaultAt(Fault::Dribble, kAnyCommand));
    exportRow("export: pauses within the idle limit").Device([](SimulatorOptions &o) {
        o.nStreamPauseEvery = 10;
        o.nStreamPauseMs = 250;
    });
    exportRow("export: a pause beyond the idle limit")
        .Device([](SimulatorOptions &o) {
            o.nStreamPauseEvery = 25;
            o.nStreamPauseMs = 1500;
        })
        .Sees(kExportFailed)
        .Disk(Report::Partial);
    exportRow("export: line closed mid-stream")
        .Device([](SimulatorOptions &o) {
            o.nStreamPauseEvery = 10;
            o.nStreamPauseMs = 300;
        })
        .On(When::AtProgress, Action::Unplug)
        .Sees(kExportFailed)
        .Disk(Report::Partial);
    exportRow("export: folder missing").Sees(kExportFailed).Disk(Report::None).folder = Folder::Missing;
    exportRow("export: folder read-only").Sees(kExportFailed).Disk(Report::None).folder = Folder::ReadOnly;
    exportRow("export: disk full").Sees(kExportFailed).Disk(Report::Partial).folder = Folder::Full;
    exportRow("export: window closed mid-stream")
        .Device([](SimulatorOptions &o) {
            o.nStreamPauseEvery = 10;
            o.nStreamPauseMs = 300;
        })
        .On(When::AtProgress, Action::CloseWindow)
        .Disk(Report::Partial);
    exportRow("export: the device still sends an earlier export").Device(StillStreaming);
    exportRow("export: the device never stops sending")
        .Device(NeverStopsSending)
        .Wait(ShortBusyWait)
        .Sees(kKeepsSending)
        .Disk(Report::None);

    // --- Upgrade: C0, C955 (boot command), "1" (boot menu), then YMODEM.
    upgrade("upgrade: C0 silent").Device(FaultAt(Fault::Silent, kEnterCtrl)).Sees(kUpgradeFailed).Stores(Image::None)
        .BootCommand(false);
    upgrade("upgrade: C0 garbage first")
        .Device(FaultAt(Fault::Garbage, kEnterCtrl))
        .Sees(kUpgradeFailed)
        .Stores(Image::None)
        .BootCommand(false);
    upgrade("upgrade: C0 wrong echo")
        .Device(FaultAt(Fault::WrongEcho, kEnterCtrl))
        .Sees(kUpgradeFailed)
        .Stores(Image::None)
        .BootCommand(false);
    upgrade("upgrade: C0 echo split").Device(FaultAt(Fault::Split, kEnterCtrl));
    upgrade("upgrade: C0 echo cut by the window")
        .Device(FaultAt(Fault::Cut, kEnterCtrl))
        .Sees(kUpgradeFailed)
        .Stores(Image::None)
        .BootCommand(false);
    upgrade("upgrade: C955 silent").Device(FaultAt(Fault::Silent, kBoot)).Sees(kUpgradeFailed).Stores(Image::None);
    upgrade("upgrade: C955 garbage first")
        .Device(FaultAt(Fault::Garbage, kBoot))
        .Sees(kUpgradeFailed)
        .Stores(Image::None);
    upgrade("upgrade: C955 wrong echo").Device(FaultAt(Fault::WrongEcho, kBoot)).Sees(kUpgradeFailed).Stores(Image::None);
    upgrade("upgrade: C955 echo split").Device(FaultAt(Fault::Split, kBoot));
    upgrade("upgrade: C955 echo cut by the window").Device(FaultAt(Fault::Cut, kBoot));
    const auto bootMenu = [](Fault eFault) {
        return [eFault](SimulatorOptions &o) {
            o.initialState = State::BootMenu;
            FaultAt(eFault, kBootMenuChoice)(o);
        };
    };
    upgrade("upgrade: boot menu 1 silent").Device(bootMenu(Fault::Silent)).Sees(kUpgradeFailed).Stores(Image::None);
    upgrade("upgrade: boot menu 1 garbage first").Device(bootMenu(Fault::Garbage));
    upgrade("upgrade: boot menu 1 reply split").Device(bootMenu(Fault::Split));
    upgrade("upgrade: every reply dribbled").Device(FaultAt(Fault::Dribble, kAnyCommand));
    upgrade("upgrade: line closed in the boot loader wait")
        .On(When::AtBootLoader, Action::Unplug)
        .Sees(kUpgradeFailed)
        .Stores(Image::None);
    const auto closeAt = [](int nBlock) { return [nBlock](SimulatorOptions &o) { o.nCloseAtBlock = nBlock; }; };
    upgrade("upgrade: line closed at the header").Device(closeAt(0)).Sees(kUpgradeFailed).Stores(Image::None);
    upgrade("upgrade: line closed at block 5").Device(closeAt(5)).Sees(kUpgradeFailed).Stores(Image::None);
    upgrade("upgrade: line closed at EOT")
        .Device(closeAt(SimulatorOptions::kAtEot))
        .Sees(kUpgradeFailed)
        .Stores(Image::None);
    const auto nakStorm = [](int nTimes) {
        return [nTimes](SimulatorOptions &o) {
            o.nNakAtBlock = 3;
            o.nNakTimes = nTimes;
        };
    };
    const auto errorLimit = [](Waits &w) { w.nYmodemMaxErrors = 50; };
    upgrade("upgrade: 50 NAKs of block 3, limit 50").Device(nakStorm(50)).Wait(errorLimit);
    upgrade("upgrade: 51 NAKs of block 3, limit 50")
        .Device(nakStorm(51))
        .Wait(errorLimit)
        .Sees(kUpgradeFailed)
        .Stores(Image::None);
    struct Cancel
    {
        const char *szName;
        char cLetter;   // 0: CAN CAN
        int nBlock;
    };
    const Cancel cancels[] = {
        {"upgrade: CAN at the header", 0, 0},
        {"upgrade: CAN at block 5", 0, 5},
        {"upgrade: CAN at EOT", 0, SimulatorOptions::kAtEot},
        {"upgrade: A at the header", 'A', 0},
        {"upgrade: A at block 5", 'A', 5},
        {"upgrade: A at EOT", 'A', SimulatorOptions::kAtEot},
        {"upgrade: a at the header", 'a', 0},
        {"upgrade: a at block 5", 'a', 5},
        {"upgrade: a at EOT", 'a', SimulatorOptions::kAtEot},
    };
    for (const Cancel &cancel : cancels) {
        upgrade(cancel.szName)
            .Device([cancel](SimulatorOptions &o) {
                if (cancel.cLetter == 0) {
                    o.nCancelAtBlock = cancel.nBlock;
                } else {
                    o.nCancelLetterAtBlock = cancel.nBlock;
                    o.cCancelLetter = cancel.cLetter;
                }
            })
            .Sees(kUpgradeFailed)
            .Stores(Image::None);
    }
    // The real 30 s boot loader wait and the device's own "C" interval (1 s).
    Row &boot29 = upgrade("upgrade: boot loader ready after 29 s").Device([](SimulatorOptions &o) {
        o.nBootDelayMs = 29000;
    });
    boot29.bRealWaits = true;
    boot29.nTimeoutMs = 90000;
    boot29.nMinMs = 29000;
    Row &boot31 = upgrade("upgrade: boot loader ready after 31 s")
                      .Device([](SimulatorOptions &o) { o.nBootDelayMs = 31000; })
                      .Sees(kUpgradeFailed)
                      .Stores(Image::None);
    boot31.bRealWaits = true;
    boot31.nTimeoutMs = 90000;
    boot31.nMinMs = 30000;
    boot31.nMaxMs = 45000;
    Row &big = upgrade("upgrade: 1 MiB image");
    big.nImageSize = 1024 * 1024;
    big.nTimeoutMs = 120000;
    upgrade("upgrade: file removed before the click")
        .On(When::BeforeClick, Action::RemoveFile)
        .Sees(kUpgradeFailed)
        .Stores(Image::None)
        .BootCommand(false);
    Row &empty = upgrade("upgrade: empty firmware file").Sees(kUpgradeFailed).Stores(Image::None).BootCommand(false);
    empty.nImageSize = 0;
    upgrade("upgrade: file shrunk before the click").On(When::BeforeClick, Action::ShrinkFile);
    upgrade("upgrade: file rewritten before the click").On(When::BeforeClick, Action::RewriteFile);
    upgrade("upgrade: file removed during the transfer").On(When::AtProgress, Action::RemoveFile, {}, 30);
    upgrade("upgrade: file shrunk during the transfer")
        .On(When::AtProgress, Action::ShrinkFile, {}, 30)
        .Sees(kUpgradeFailed)
        .Stores(Image::None);
    upgrade("upgrade: file rewritten during the transfer")
        .On(When::AtProgress, Action::RewriteFile, {}, 30)
        .Sees(kUpgradeFailed)
        .Stores(Image::None);
    {
        // 235 characters: name, NUL, the five size digits and NUL do not fit
        // the 128-byte header field.
        Row &longName = upgrade("upgrade: file name too long for the header");
        const QString sBase = QStringLiteral("K9Z40_firmware_release_candidate_") + QString(198, QLatin1Char('x'));
        longName.sImageName = sBase + QStringLiteral(".bin");
        const int nBudget = 128 - 2 - QString::number(longName.nImageSize).size();
        longName.sDeviceName = sBase.left(nBudget - 4) + QStringLiteral(".bin");
    }
    upgrade("upgrade: the device still sends an earlier export").Device(StillStreaming);
    upgrade("upgrade: the device never stops sending")
        .Device(NeverStopsSending)
        .Wait(ShortBusyWait)
        .Sees(kKeepsSending)
        .Stores(Image::None)
        .BootCommand(false);
    upgrade("upgrade: the boot loader's receiver again after the image")
        .Device(AfterImage(State::Ymodem))
        .Wait(ShortAnswerWait)
        .Sees(kUpgradeFailed);
    upgrade("upgrade: the boot menu again after the image")
        .Device(AfterImage(State::BootMenu))
        .Wait(ShortAnswerWait)
        .Sees(kUpgradeFailed);
    upgrade("upgrade: window closed in the boot loader wait")
        .On(When::AtBootLoader, Action::CloseWindow)
        .Stores(Image::None);
    upgrade("upgrade: window closed during the transfer")
        .On(When::AtProgress, Action::CloseWindow, {}, 30)
        .Stores(Image::None);
    return rows;
}

const std::vector<Row> &Rows()
{
    static const std::vector<Row> s_rows = BuildRows();
    return s_rows;
}

// Waits short enough for a row to end within seconds, with room for a loaded
// machine: the simulator answers within milliseconds.
Waits ShortWaits()
{
    Waits waits;
    waits.nProbeMs = 200;
    waits.nReplyMs = 400;
    waits.nBootReplyMs = 600;
    waits.nBootReadyMs = 3000;
    waits.nExportTickMs = 100;
    waits.nExportIdleTicks = 4;
    waits.nUserSavedProbeMs = 200;
    waits.nUserScanProbeMs = 300;
    waits.nUserCtrlReplyMs = 400;
    return waits;
}

// The device of the short rows: a quick boot loader, and records with
// invalid lines and LF CR line ends, so that the report is no copy of the
// stream.
SimulatorOptions ShortDevice()
{
    SimulatorOptions options;
    options.nBootDelayMs = 100;
    options.nCIntervalMs = 100;
    options.nRecordCount = 60;
    options.nInvalidEvery = 9;
    options.lineEnd = SimulatorOptions::LineEnd::LfCr;
    return options;
}

// The report as the device's stream should become: the four replacements,
// written out independently of the program's formatter.
QByteArray ExpectedReport(const SimulatorOptions &options)
{
    QByteArray stream = DeviceOutput::GeneratedRecords(options).join();
    stream.replace(" ", ",");
    stream.replace("\n\r", "\n");
    stream.replace("\n\n", "\n");
    stream.replace("An,invalid,record.\n", "");
    return stream;
}

QByteArray ReadAll(const QString &sPath)
{
    QFile file(sPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WriteAll(const QString &sPath, const QByteArray &content)
{
    QFile file(sPath);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(content) == content.size();
}

QStringList Reports(const QString &sDir)
{
    return QDir(sDir).entryList({QStringLiteral("Report_*.csv")}, QDir::Files, QDir::Name);
}

// What a failed export keeps, and files an export left unfinished.
QStringList Partials(const QString &sDir)
{
    return QDir(sDir).entryList({QStringLiteral("Partial_Report_*.csv")}, QDir::Files, QDir::Name);
}
QStringList Unfinished(const QString &sDir)
{
    return QDir(sDir).entryList({QStringLiteral("*.unfinished")}, QDir::Files, QDir::Name);
}

// True while this process holds a descriptor on sPath.
bool HeldOpen(const QString &sPath)
{
    const QString sTarget = QFileInfo(sPath).canonicalFilePath();
    const QFileInfoList fds = QDir(QStringLiteral("/proc/self/fd")).entryInfoList(QDir::System | QDir::Files);
    for (const QFileInfo &fd : fds) {
        if (fd.symLinkTarget() == sTarget) {
            return true;
        }
    }
    return false;
}

// An existing folder that takes no new file. Root ignores permission bits,
// so for root it is a sysfs folder, which takes no file from anyone.
QString ReadOnlyFolder(const QString &sScratch)
{
    if (::geteuid() != 0) {
        QDir().mkpath(sScratch);
        QFile::setPermissions(sScratch, QFile::ReadOwner | QFile::ExeOwner);
        return sScratch;
    }
    return QStringLiteral("/sys/kernel");
}

// Runs the event loop, as the program does, until the condition holds or
// the time is up. QTest's own waits sleep 10 ms whenever no event is
// pending, which would add up to that to every reply of a transfer.
bool WaitUntil(const std::function<bool()> &condition, int nTimeoutMs)
{
    if (condition()) {
        return true;
    }
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&]() {
        if (condition()) {
            loop.quit();
        }
    });
    poll.start(20);
    QTimer::singleShot(nTimeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
    return condition();
}

bool IsNoValue(const QString &sText)
{
    return sText.isEmpty() || QString(sText).remove(QLatin1Char('.')).isEmpty();
}

} // namespace

class FaultMatrixTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_pDir;
    std::unique_ptr<SimulatedDevice> m_pDevice;
    std::unique_ptr<MainForm> m_pWindow;
    rlimit m_savedFileLimit {};
    bool m_bFileLimited = false;

    template <typename T>
    T *Child(const char *szName) const
    {
        T *pChild = m_pWindow ? m_pWindow->findChild<T *>(QLatin1String(szName)) : nullptr;
        if (!pChild) {
            qWarning() << "no child" << szName;
        }
        return pChild;
    }
    bool Click(const char *szButton)
    {
        QPushButton *pButton = Child<QPushButton>(szButton);
        if (!pButton || !pButton->isVisible() || !pButton->isEnabled()) {
            qWarning() << "cannot click" << szButton;
            return false;
        }
        QTest::mouseClick(pButton, Qt::LeftButton);
        return true;
    }
    // A failure says on its next line why and what to do next, unless its
    // status already does (the line that never falls quiet).
    static void VerifyWhyAndWhatNext(const QString &sTip)
    {
        const QString sNext = sTip.section(QLatin1Char('\n'), 1, 1);
        QVERIFY2(sTip.startsWith(kKeepsSending) || (sNext.size() > 20 && sNext.endsWith(QLatin1Char('.'))),
                 qPrintable(QStringLiteral("no reason and next step under \"%1\"").arg(sTip)));
    }
    QString Text(const char *szLabel) const
    {
        const QLabel *pLabel = Child<QLabel>(szLabel);
        return pLabel ? pLabel->text() : QStringLiteral("<missing %1>").arg(QLatin1String(szLabel));
    }
    bool Visible(const char *szWidget) const
    {
        const QWidget *pWidget = Child<QWidget>(szWidget);
        return pWidget && pWidget->isVisible();
    }
    QString Page(const char *szStack) const
    {
        const auto *pStack = Child<QStackedWidget>(szStack);
        return pStack && pStack->currentWidget() ? pStack->currentWidget()->objectName() : QString();
    }

    void LimitFileSize(rlim_t nBytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_savedFileLimit);
        rlimit small = m_savedFileLimit;
        small.rlim_cur = nBytes;
        m_bFileLimited = setrlimit(RLIMIT_FSIZE, &small) == 0;
    }
    void RestoreFileSize()
    {
        if (m_bFileLimited) {
            setrlimit(RLIMIT_FSIZE, &m_savedFileLimit);
            m_bFileLimited = false;
        }
    }
    // As the program ends: the coordinator (its worker, a transfer) goes
    // first, then the window; the device last.
    void TearDown()
    {
        RestoreFileSize();
        QSerialUser::ReleaseInstance();
        m_pWindow.reset();
        m_pDevice.reset();
        WaitsForTesting::Reset();
    }

private slots:
    void initTestCase()
    {
        TestEnvironment::GuardSerialPorts();
        TestEnvironment::SetSerialPorts({});
    }
    void cleanup()
    {
        TearDown();
        if (m_pDir) {
            // A read-only scratch folder must go too.
            QFile::setPermissions(m_pDir->filePath(QStringLiteral("read-only")),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        m_pDir.reset();
        TestEnvironment::SetSerialPorts({});
    }

    void scenario_data()
    {
        QTest::addColumn<int>("nRow");
        for (int i = 0; i < int(Rows().size()); ++i) {
            QTest::newRow(Rows().at(size_t(i)).name.constData()) << i;
        }
    }

    void scenario()
    {
        QFETCH(int, nRow);
        const Row &row = Rows().at(size_t(nRow));

        Waits waits = row.bRealWaits ? Waits() : ShortWaits();
        if (row.waits) {
            row.waits(waits);
        }
        WaitsForTesting::Set(waits);
        // Each row is a program of its own: no export of an earlier row
        // tells how long a stream may run.
        BusyLine::NoteStreamOwedMs(0);

        m_pDir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_pDir->isValid());
        SimulatorOptions options = row.bRealWaits ? SimulatorOptions() : ShortDevice();
        options.sImageDir = m_pDir->filePath(QStringLiteral("received"));
        if (row.device) {
            row.device(options);
        }
        m_pDevice = std::make_unique<SimulatedDevice>(options);
        QString sError;
        QVERIFY2(m_pDevice->Start(&sError), qPrintable(sError));
        TestEnvironment::SetSerialPorts({m_pDevice->PortPath()});
        const State eInitialState = options.initialState;

        // The job's input: the report folder, or the firmware file.
        QString sFolder = m_pDir->filePath(QStringLiteral("reports"));
        switch (row.folder) {
        case Folder::Plain:
        case Folder::Full:
            QVERIFY(QDir().mkpath(sFolder));
            break;
        case Folder::Missing:
            sFolder = m_pDir->filePath(QStringLiteral("missing"));
            break;
        case Folder::ReadOnly:
            sFolder = ReadOnlyFolder(m_pDir->filePath(QStringLiteral("read-only")));
            QVERIFY(QFileInfo(sFolder).isDir());
            QVERIFY(Reports(sFolder).isEmpty());
            break;
        }
        const QByteArray image = RandomBytes(row.nImageSize, quint32(nRow + 1));
        const QString sImagePath = m_pDir->filePath(row.sImageName);
        if (row.job == Job::Upgrade) {
            QVERIFY2(WriteAll(sImagePath, image), qPrintable(sImagePath));
        }

        m_pWindow = std::make_unique<MainForm>();
        m_pWindow->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_pWindow.get()));
        QSerialUser *pUser = QSerialUser::instance().data();
        QSignalSpy finished(pUser, &QSerialUser::signal_RequestFinished);

        // The row's event.
        QObject context;
        bool bFired = false;
        QElapsedTimer sinceClose;
        QString sQuestion;
        const auto fire = [&]() {
            if (bFired) {
                return;
            }
            bFired = true;
            switch (row.action) {
            case Action::Unplug:
                m_pDevice->Unplug();
                break;
            case Action::CloseWindow:
                sinceClose.start();
                if (row.job == Job::Upgrade) {
                    // Asked whether to leave the device in its boot loader.
                    AnswerNextQuestion(QStringLiteral("Close anyway"), &sQuestion);
                }
                Click("btnClose");
                break;
            case Action::RemoveFile:
                QFile::remove(sImagePath);
                break;
            case Action::ShrinkFile:
                QFile::resize(sImagePath, image.size() / 3 + 5);
                break;
            case Action::RewriteFile:
                // As a build writes it: truncated, then the new bytes.
                WriteAll(sImagePath, RandomBytes(image.size(), quint32(nRow + 1000)));
                break;
            case Action::None:
                break;
            }
        };
        switch (row.when) {
        case When::AtFrame:
            connect(m_pDevice.get(), &SimulatedDevice::FrameReceived, &context, [&](const QByteArray &frame) {
                if (frame.startsWith(row.frame)) {
                    fire();
                }
            });
            break;
        case When::AtBootLoader:
            connect(m_pDevice.get(), &SimulatedDevice::StateChanged, &context, [&](int nState) {
                if (State(nState) == State::Ymodem) {
                    fire();
                }
            });
            break;
        case When::AtProgress:
            connect(pUser, &QSerialUser::signal_TransmitProgress, &context, [&](int nProgress) {
                if (nProgress >= row.nAt) {
                    fire();
                }
            });
            connect(pUser, &QSerialUser::signal_SendResult, &context,
                    [&](int nFunction, int nResult, bool bRet, const QString &sMes) {
                        bool bNumber = false;
                        sMes.toInt(&bNumber);
                        if (nFunction == SerialWorker::FT_ExportLog && nResult == SerialWorker::RT_ExportLog && bRet
                            && bNumber) {
                            fire();
                        }
                    });
            break;
        case When::Never:
        case When::BeforeClick:
            break;
        }

        // The job, as the technician starts it.
        QByteArray imageAtClick;
        QElapsedTimer sinceClick;
        bool bStarted = false;
        const auto start = [&]() {
            switch (row.job) {
            case Job::Info:
                sinceClick.start();
                bStarted = Click("btnInfo");
                break;
            case Job::Export:
                if (!Click("btnExport")) {
                    return;
                }
                Child<QLineEdit>("lineEditExportPath")->setText(sFolder);
                if (row.folder == Folder::Full) {
                    LimitFileSize(1000);
                }
                sinceClick.start();
                bStarted = Click("btnExportFile");
                break;
            case Job::Upgrade:
                if (!Click("btnUpgrade")) {
                    return;
                }
                // The path as the file dialog leaves it in the field.
                Child<QLineEdit>("lineEditUpgradePath")->setText(sImagePath);
                if (row.when == When::BeforeClick) {
                    fire();
                }
                imageAtClick = ReadAll(sImagePath);
                sinceClick.start();
                // Returns once the transfer has started, or the upgrade failed.
                bStarted = Click("btnUpgradeFirmware");
                break;
            }
        };

        if (row.action == Action::CloseWindow) {
            // As in the program: the window closes inside the application's
            // event loop, which ends; then the coordinator is released.
            bool bHung = false;
            QTimer watchdog;
            watchdog.setSingleShot(true);
            connect(&watchdog, &QTimer::timeout, &context, [&]() {
                bHung = true;
                QCoreApplication::exit(1);
            });
            watchdog.start(row.nTimeoutMs);
            QTimer::singleShot(0, &context, start);
            QApplication::exec();
            watchdog.stop();
            QVERIFY(bStarted);
            QVERIFY2(bFired, "the window was not closed: the job ended first");
            QVERIFY2(!bHung, "the application did not end after the window closed");
            QCOMPARE(sQuestion.isEmpty(), row.job != Job::Upgrade);
            const qint64 nQuitMs = sinceClose.elapsed();
            QElapsedTimer release;
            release.start();
            QSerialUser::ReleaseInstance();
            m_pWindow.reset();
            const qint64 nReleaseMs = release.elapsed();
            QVERIFY2(nQuitMs < 5000, qPrintable(QString::number(nQuitMs)));
            QVERIFY2(nReleaseMs < 5000, qPrintable(QString::number(nReleaseMs)));
            QCOMPARE(Unfinished(sFolder), QStringList());
            const QStringList reports = Reports(sFolder);
            if (row.job == Job::Export) {
                QCOMPARE(reports, QStringList());
                const QStringList partials = Partials(sFolder);
                QCOMPARE(partials.size(), 1);
                const QString sReport = QDir(sFolder).filePath(partials.first());
                QVERIFY2(!HeldOpen(sReport), "the report is still open");
                const QByteArray report = ReadAll(sReport);
                const QByteArray whole = ExpectedReport(options);
                QVERIFY(report.size() < whole.size());
                QVERIFY(whole.startsWith(report));
            } else {
                QVERIFY(reports.isEmpty());
            }
            QVERIFY(m_pDevice->Images().isEmpty());
            if (row.job != Job::Upgrade) {
                QVERIFY(!m_pDevice->Frames().contains(kBootFrame));
            }
            return;
        }

        start();
        QVERIFY(bStarted);
        // The job has ended when its request has sent its final report and
        // the page offers the way back.
        const auto ended = [&]() {
            switch (row.job) {
            case Job::Info:
                return finished.count() >= 1 && Visible("btnInfoReturnMenu");
            case Job::Export:
                return finished.count() >= 1 && Text("labelExportTip") != QLatin1String("File exporting")
                       && Visible("btnExportReturnMenu");
            case Job::Upgrade:
                // A completed transfer ends with the device's word.
                return Text("labelUpgradeTip") != QLatin1String("during upgrade") && Visible("btnUpgradeReturnMenu")
                       && pUser->IsIdle();
            }
            return false;
        };
        QVERIFY2(WaitUntil(ended, row.nTimeoutMs), "the job did not end");
        const qint64 nJobMs = sinceClick.elapsed();
        RestoreFileSize();
        qInfo().noquote() << QStringLiteral("%1 ms from the click to the outcome").arg(nJobMs);
        QVERIFY2(nJobMs >= row.nMinMs, qPrintable(QString::number(nJobMs)));
        QVERIFY2(row.nMaxMs == 0 || nJobMs <= row.nMaxMs, qPrintable(QString::number(nJobMs)));
        if (row.when != When::Never) {
            QVERIFY2(bFired, "the row's event never came");
        }

        // What the technician sees.
        switch (row.job) {
        case Job::Info:
            QVERIFY(!m_pWindow->findChild<InfoWidget *>()->IsWaiting());
            if (row.sTip.isEmpty()) {
                QCOMPARE(Page("stackedWidgetInfo"), QStringLiteral("pageInfoShow"));
                const QPair<const char *, QString> fields[] = {{"labelFirmwareVer", row.sVersion},
                                                               {"labelSN", row.sSN}};
                for (const auto &field : fields) {
                    const QString sShown = Text(field.first);
                    qInfo().noquote() << field.first << "shows" << sShown;
                    if (field.second == kNoValue) {
                        QVERIFY2(IsNoValue(sShown), qPrintable(sShown));
                    } else {
                        QCOMPARE(sShown, field.second);
                    }
                }
            } else {
                QCOMPARE(Page("stackedWidgetInfo"), QStringLiteral("pageInfoTip"));
                QCOMPARE(Text("labelInfoTip").section(QLatin1Char('\n'), 0, 0), row.sTip);
                VerifyWhyAndWhatNext(Text("labelInfoTip"));
            }
            break;
        case Job::Export:
            QCOMPARE(Page("stackedWidgetExport"), QStringLiteral("pageExportTip"));
            QCOMPARE(Text("labelExportTip").section(QLatin1Char('\n'), 0, 0), row.sTip);
            if (row.sTip != kExported) {
                VerifyWhyAndWhatNext(Text("labelExportTip"));
            }
            if (row.sTip == kExported) {
                QCOMPARE(Child<QProgressBar>("progressBarExport")->value(), 100);
                // Under the success, the name of the report written.
                QCOMPARE(Text("labelExportTip").section(QLatin1Char('\n'), 1), Reports(sFolder).value(0));
            }
            QVERIFY(Child<QPushButton>("btnExportFile")->isEnabled());
            break;
        case Job::Upgrade:
            QCOMPARE(Page("stackedWidgetUpgrade"), QStringLiteral("pageUpgradeTip"));
            if (row.sTip == kCompleted) {
                // The rebooted device answered with its firmware version;
                // application firmware said before what it ran (the same:
                // the simulator's version does not change).
                const QString sWord = eInitialState == State::Application
                                          ? QStringLiteral("\nFirmware %1 \u2192 %1").arg(row.sVersion)
                                          : QStringLiteral("\nThe device runs ") + row.sVersion;
                QCOMPARE(Text("labelUpgradeTip"), kCompleted + sWord);
                QCOMPARE(Child<QProgressBar>("progressBarUpgrade")->value(), 100);
            } else {
                QCOMPARE(Text("labelUpgradeTip").section(QLatin1Char('\n'), 0, 0), row.sTip);
                VerifyWhyAndWhatNext(Text("labelUpgradeTip"));
            }
            QVERIFY(Child<QPushButton>("btnUpgradeFirmware")->isEnabled());
            break;
        }

        // What is on disk.
        const QStringList reports = Reports(sFolder);
        const QByteArray whole = ExpectedReport(options);
        switch (row.report) {
        case Report::Complete: {
            QCOMPARE(reports.size(), 1);
            const QByteArray report = ReadAll(QDir(sFolder).filePath(reports.first()));
            QCOMPARE(report.size(), whole.size());
            QVERIFY(report == whole);
            break;
        }
        case Report::Partial: {
            // A failed export leaves nothing a collector of reports takes
            // for one.
            QCOMPARE(reports, QStringList());
            const QStringList partials = Partials(sFolder);
            QVERIFY(partials.size() <= 1);
            if (!partials.isEmpty()) {
                const QByteArray report = ReadAll(QDir(sFolder).filePath(partials.first()));
                qInfo().noquote() << QStringLiteral("partial report: %1 of %2 bytes, %3 of %4 lines")
                                         .arg(report.size())
                                         .arg(whole.size())
                                         .arg(report.count('\n'))
                                         .arg(whole.count('\n'));
                QVERIFY2(report.size() < whole.size(), qPrintable(QString::number(report.size())));
                QVERIFY(whole.startsWith(report));
            }
            break;
        }
        case Report::None:
            QCOMPARE(reports, QStringList());
            QCOMPARE(Partials(sFolder), QStringList());
            break;
        }
        QCOMPARE(Unfinished(sFolder), QStringList());
        if (row.job == Job::Export && row.folder != Folder::Plain && row.folder != Folder::Full) {
            // A report that cannot be created does not start the stream.
            QVERIFY(!m_pDevice->Frames().contains(kExportFrame));
        }

        // What is on the device.
        if (!row.bBootCommandSent) {
            QVERIFY(!m_pDevice->Frames().contains(kBootFrame));
            QCOMPARE(m_pDevice->State(), eInitialState);
        }
        if (row.image == Image::Whole) {
            QTRY_COMPARE_WITH_TIMEOUT(m_pDevice->Images().size(), 1, 5000);
            const SimulatedDevice::Image stored = m_pDevice->Images().first();
            QVERIFY(!imageAtClick.isEmpty());
            QCOMPARE(stored.content.size(), imageAtClick.size());
            QVERIFY(stored.content == imageAtClick);
            QCOMPARE(stored.sFileName, row.sDeviceName.isEmpty() ? row.sImageName : row.sDeviceName);
            QCOMPARE(ReadAll(stored.sSavedPath), imageAtClick);
        } else {
            QCOMPARE(m_pDevice->Images().size(), 0);
        }
    }
};

QTEST_MAIN(FaultMatrixTest)
#include "tst_faultmatrix.moc"
