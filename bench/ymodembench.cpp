// Throughput of the firmware transmitter against lrzsz's sz, both sending
// the same image into lrzsz's rb, over a relay that paces the line like
// 115200 baud 8N1 (11,520 bytes a second each way) and over an unpaced one.
//
//   kestrelpack-ymodem-bench [--size BYTES] [--rate BYTES_PER_SECOND]

#include "linerelay.h"
#include "ptypeer.h"
#include "transfer/ymodemfiletransmit.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>

#include <spdlog/spdlog.h>

#include <algorithm>
#include <functional>
#include <cstdio>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace {

using Clock = LineRelay::Clock;

// The payload rate a line allows for 1 KiB YMODEM: 1024 payload bytes per
// 1030 bytes on the wire (the 1029-byte block and its ACK); 11,453 B/s at
// 11,520 B/s.
double LineLimit(int nRate)
{
    return nRate * 1024.0 / 1030.0;
}

// Only the figures go to the terminal: the transmitter's traces are dropped.
void QuietDebug(QtMsgType eType, const QMessageLogContext &, const QString &sMessage)
{
    if (eType != QtDebugMsg && eType != QtInfoMsg) {
        std::fprintf(stderr, "%s\n", qPrintable(sMessage));
    }
}

double Seconds(Clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

struct Outcome
{
    bool bOk = false;
    QString sNote;               // what went wrong, or the sender's ending
    double fDataSeconds = 0;     // first header byte to first EOT
    double fTotalSeconds = 0;    // first header byte to the line's hang-up
    int nStx = 0;
    int nSoh = 0;
    std::vector<double> intervalsMs;   // between the starts of successive 1 KiB blocks
};

// The receiver's side of the line: rb on the master of its own
// pseudo-terminal; the relay holds the slave, raw.
struct Receiver
{
    QString sDir;
    PtyPeer pty;
    int nSlave = -1;

    bool Open(const QString &sBaseDir, QString *psError)
    {
        sDir = sBaseDir + QStringLiteral("/received");
        QDir(sDir).removeRecursively();
        if (!QDir().mkpath(sDir) || !pty.Open(psError)) {
            return false;
        }
        nSlave = OpenRaw(pty.SlavePath());
        return nSlave >= 0;
    }
    bool StartRb(const QString &sLog, QString *psError)
    {
        return pty.Spawn(QStringLiteral("rb"), {QStringLiteral("-b"), QStringLiteral("-q"), QStringLiteral("-y")}, sDir,
                         sLog, psError);
    }
    ~Receiver()
    {
        if (nSlave >= 0) {
            ::close(nSlave);
        }
    }
    static int OpenRaw(const QString &sPath)
    {
        const int fd = ::open(sPath.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            return -1;
        }
        termios t{};
        ::tcgetattr(fd, &t);
        ::cfmakeraw(&t);
        ::tcsetattr(fd, TCSANOW, &t);
        return fd;
    }
};

void Collect(const LineRelay &relay, Outcome *pOut)
{
    const LineRelay::Stats s = relay.Result();
    pOut->nStx = s.nStxBlocks;
    pOut->nSoh = s.nSohBlocks;
    if (s.bSawEot) {
        pOut->fDataSeconds = Seconds(s.firstEot - s.firstSenderByte);
    }
    pOut->fTotalSeconds = Seconds(s.end - s.firstSenderByte);
    for (size_t i = 1; i < s.stxStarts.size(); ++i) {
        pOut->intervalsMs.push_back(Seconds(s.stxStarts[i] - s.stxStarts[i - 1]) * 1000.0);
    }
}

bool SameFile(const QString &sPath, const QByteArray &content)
{
    QFile file(sPath);
    return file.open(QIODevice::ReadOnly) && file.readAll() == content;
}

// Runs the event loop until bDone() or the deadline.
bool Pump(const std::function<bool()> &bDone, int nTimeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!bDone()) {
        if (timer.elapsed() > nTimeoutMs) {
            return false;
        }
        QEventLoop loop;
        QTimer::singleShot(10, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

Outcome RunTransmitter(const QString &sImage, const QByteArray &content, int nRate, const QString &sWork)
{
    Outcome out;
    QString sError;
    Receiver receiver;
    PtyPeer senderPty;
    if (!receiver.Open(sWork, &sError) || !senderPty.Open(&sError)) {
        out.sNote = sError;
        return out;
    }
    YmodemFileTransmit tx;
    int nFinal = -1;
    QObject::connect(&tx, &YmodemFileTransmit::TransmitStatus, [&nFinal](YmodemFileTransmit::YmodemStatus e) {
        if (e >= YmodemFileTransmit::StatusDone) {
            nFinal = e;
        }
    });
    tx.SetFileName(sImage);
    tx.SetPortName(senderPty.SlavePath());
    if (!tx.StartTransmit()) {
        out.sNote = QStringLiteral("port did not open");
        return out;
    }
    LineRelay relay(senderPty.MasterFd(), receiver.nSlave, nRate);
    relay.Start();
    if (!receiver.StartRb(sWork + QStringLiteral("/rb-ours.log"), &sError)) {
        out.sNote = sError;
        return out;
    }
    // rb leaving hangs up its line; pass that on to the transmitter's line.
    Pump([&]() {
        if (relay.Finished()) {
            senderPty.CloseMaster();
        }
        return nFinal >= 0 && receiver.pty.ChildExited();
    }, 300000);
    relay.Stop();
    Collect(relay, &out);
    const char *const names[] = {"Opening", "Sending", "Done", "Cancelled", "TimeOut", "Failed"};
    out.sNote = QStringLiteral("final status %1").arg(nFinal >= 0 ? names[nFinal] : "none");
    out.bOk = SameFile(receiver.sDir + QStringLiteral("/bench.bin"), content);
    return out;
}

Outcome RunSz(const QString &sImage, const QByteArray &content, int nRate, const QString &sWork)
{
    Outcome out;
    QString sError;
    Receiver receiver;
    PtyPeer senderPty;
    if (!receiver.Open(sWork, &sError) || !senderPty.Open(&sError)) {
        out.sNote = sError;
        return out;
    }
    int nSenderSlave = Receiver::OpenRaw(senderPty.SlavePath());
    LineRelay relay(nSenderSlave, receiver.nSlave, nRate);
    relay.Start();
    if (!receiver.StartRb(sWork + QStringLiteral("/rb-sz.log"), &sError)
        || !senderPty.Spawn(QStringLiteral("sz"),
                            {QStringLiteral("--ymodem"), QStringLiteral("-k"), QStringLiteral("-b"), QStringLiteral("-q"),
                             sImage},
                            sWork, sWork + QStringLiteral("/sz.log"), &sError)) {
        out.sNote = sError;
        ::close(nSenderSlave);
        return out;
    }
    Pump([&]() {
        if (relay.Finished() && nSenderSlave >= 0) {
            ::close(nSenderSlave);
            nSenderSlave = -1;
        }
        return senderPty.ChildExited() && receiver.pty.ChildExited();
    }, 300000);
    relay.Stop();
    if (nSenderSlave >= 0) {
        ::close(nSenderSlave);
    }
    Collect(relay, &out);
    int nCode = -1;
    senderPty.ChildExited(&nCode);
    out.sNote = QStringLiteral("sz exit code %1").arg(nCode);
    out.bOk = SameFile(receiver.sDir + QStringLiteral("/bench.bin"), content);
    return out;
}

double Percentile(std::vector<double> v, double p)
{
    if (v.empty()) {
        return 0;
    }
    std::sort(v.begin(), v.end());
    const size_t i = std::min(v.size() - 1, static_cast<size_t>(p * (v.size() - 1) + 0.5));
    return v[i];
}

void PrintRow(const char *szLine, const char *szSender, int nSize, int nRate, const Outcome &o)
{
    const double fRate = o.fDataSeconds > 0 ? nSize / o.fDataSeconds : 0;
    std::printf("%-8s %-22s %-5s %8.2f s %9.0f B/s", szLine, szSender, o.bOk ? "ok" : "BAD", o.fDataSeconds, fRate);
    if (nRate > 0) {
        std::printf("  %5.3f of %.0f B/s", fRate / LineLimit(nRate), LineLimit(nRate));
    } else {
        std::printf("  %20s", "");
    }
    std::printf("  total %6.2f s  blocks %d STX + %d SOH  %s\n", o.fTotalSeconds, o.nStx, o.nSoh,
                qPrintable(o.sNote));
}

void PrintIntervals(const char *szWhat, const Outcome &o)
{
    if (o.intervalsMs.empty()) {
        return;
    }
    std::printf("    %s: 1 KiB block every %.1f ms (median); p10 %.1f, p90 %.1f, max %.1f ms\n", szWhat,
                Percentile(o.intervalsMs, 0.5), Percentile(o.intervalsMs, 0.1), Percentile(o.intervalsMs, 0.9),
                Percentile(o.intervalsMs, 1.0));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    qInstallMessageHandler(QuietDebug);
    spdlog::set_level(spdlog::level::off);
    int nSize = 256 * 1024;
    int nRate = 11520;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); ++i) {
        if (args.at(i) == QLatin1String("--size")) {
            nSize = args.at(i + 1).toInt();
        } else if (args.at(i) == QLatin1String("--rate")) {
            nRate = args.at(i + 1).toInt();
        }
    }
    if (nSize <= 0 || nRate <= 0) {
        std::fprintf(stderr, "usage: %s [--size BYTES] [--rate BYTES_PER_SECOND]\n", argv[0]);
        return 2;
    }

    QTemporaryDir work;
    if (!work.isValid()) {
        std::fprintf(stderr, "no temporary folder\n");
        return 1;
    }
    QByteArray content(nSize, Qt::Uninitialized);
    QRandomGenerator gen(20240501);
    for (int i = 0; i < nSize; ++i) {
        content[i] = static_cast<char>(gen.bounded(256));
    }
    const QString sImage = work.filePath(QStringLiteral("bench.bin"));
    QFile image(sImage);
    if (!image.open(QIODevice::WriteOnly) || image.write(content) != nSize) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(sImage));
        return 1;
    }
    image.close();

    std::printf("YMODEM: %d-byte image into rb; throughput over the data phase (header to EOT)\n", nSize);
    std::fflush(stdout);
    const Outcome oursPaced = RunTransmitter(sImage, content, nRate, work.path());
    PrintRow("paced", "YmodemFileTransmit", nSize, nRate, oursPaced);
    std::fflush(stdout);
    const Outcome szPaced = RunSz(sImage, content, nRate, work.path());
    PrintRow("paced", "sz --ymodem -k", nSize, nRate, szPaced);
    if (oursPaced.fDataSeconds > 0 && szPaced.fDataSeconds > 0) {
        std::printf("    YmodemFileTransmit / sz: %.3f\n", szPaced.fDataSeconds / oursPaced.fDataSeconds);
    }
    PrintIntervals("YmodemFileTransmit", oursPaced);
    PrintIntervals("sz", szPaced);
    std::printf("    wire time of one 1 KiB block at %d B/s: %.1f ms\n", nRate, 1029.0 * 1000.0 / nRate);
    std::fflush(stdout);

    const Outcome oursFree = RunTransmitter(sImage, content, 0, work.path());
    PrintRow("unpaced", "YmodemFileTransmit", nSize, 0, oursFree);
    std::fflush(stdout);
    const Outcome szFree = RunSz(sImage, content, 0, work.path());
    PrintRow("unpaced", "sz --ymodem -k", nSize, 0, szFree);
    if (oursFree.fDataSeconds > 0 && szFree.fDataSeconds > 0) {
        std::printf("    YmodemFileTransmit / sz: %.3f\n", szFree.fDataSeconds / oursFree.fDataSeconds);
    }
    PrintIntervals("YmodemFileTransmit", oursFree);
    const bool bAllOk = oursPaced.bOk && szPaced.bOk && oursFree.bOk && szFree.bOk;
    return bAllOk ? 0 : 1;
}
