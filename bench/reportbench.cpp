// Time and memory of the report export's last stage: the record stream turned
// into the CSV report (ReportFormatter::ToCsv) and the report file written.
//
//   kestrelpack-reportbench [--sizes 1,10,50] [--repeat 3]
//
// Each measurement runs in a fresh child process (the program itself with
// --one), so the peak resident size it reports (getrusage ru_maxrss) belongs
// to that one stream alone. For comparison the same streams also go through
// four QByteArray::replace calls, the plain way to write the transformation.

#include "device/reportformatter.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <sys/resource.h>
#include <utility>
#include <vector>

namespace {

constexpr double kMiB = 1024.0 * 1024.0;

long PeakRssKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;  // KiB on Linux
}

// A stream like the device's: records of about 52 bytes, fields separated by
// single spaces, an "An invalid record." line after every 25th record.
// Returns the stream; *pnReportSize is the size its report must have.
QByteArray RecordStream(qint64 nTarget, bool bLfCr, qint64 *pnReportSize)
{
    static const char *const apszEvents[] = {"POWER_ON", "SELF_TEST_OK", "TEMP_HIGH", "VOLTAGE_LOW",
                                             "DOOR_OPEN", "DOOR_CLOSED", "FAULT_E12", "POWER_OFF"};
    const char *pszEnd = bLfCr ? "\n\r" : "\n";
    const int nEnd = bLfCr ? 2 : 1;
    QByteArray stream;
    stream.reserve(int(nTarget) + 256);  // no regrowth, so no second copy while it fills
    const QDateTime first(QDate(2026, 12, 8), QTime(4, 55, 0), Qt::UTC);
    qint64 nReport = 0;
    char line[128];
    for (int i = 1; stream.size() < nTarget; ++i) {
        const QDateTime when = first.addSecs(qint64(i) * 7);
        const QDate d = when.date();
        const QTime t = when.time();
        const int nBody = std::snprintf(line, sizeof line, "%06d %04d-%02d-%02d %02d:%02d:%02d %s %04d 0x%04X %d.%d",
                                        i, d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second(),
                                        apszEvents[i % 8], 180 + (i * 37) % 90, (i * 2654435761u) & 0xFFFF,
                                        18 + i % 9, i % 10);
        stream.append(line, nBody).append(pszEnd, nEnd);
        nReport += nBody + 1;
        if (i % 25 == 0)
            stream.append("An invalid record.").append(pszEnd, nEnd);
    }
    *pnReportSize = nReport;
    return stream;
}

QByteArray FourReplacements(QByteArray stream)
{
    return stream.replace(" ", ",").replace("\n\r", "\n").replace("\n\n", "\n").replace("An,invalid,record.\n", "");
}

// One measurement; prints one line: stream bytes, report bytes, transformation
// ms, write ms, peak RSS KiB at start, after the stream was built, at the end.
int RunOne(double fMiB, bool bLfCr, bool bPlain)
{
    const long nStartKiB = PeakRssKiB();
    qint64 nExpected = 0;
    QByteArray stream = RecordStream(qint64(fMiB * kMiB), bLfCr, &nExpected);
    const qint64 nStreamSize = stream.size();
    const long nStreamKiB = PeakRssKiB();
    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fprintf(stderr, "no temporary folder\n");
        return 1;
    }
    const QString sPath = ReportFormatter::ReportFilePath(dir.path(), QDateTime::currentDateTime());

    QElapsedTimer timer;
    timer.start();
    const QByteArray report = bPlain ? FourReplacements(std::move(stream)) : ReportFormatter::ToCsv(std::move(stream));
    const qint64 nTransformNs = timer.nsecsElapsed();
    QFile file(sPath);
    const bool bWritten = file.open(QIODevice::WriteOnly) && file.write(report) == report.size();
    file.close();
    const qint64 nTotalNs = timer.nsecsElapsed();
    const long nPeakKiB = PeakRssKiB();

    if (!bWritten || report.size() != nExpected || QFileInfo(sPath).size() != nExpected
        || report.count(',') != 6 * report.count('\n')) {
        std::fprintf(stderr, "wrong report: %lld bytes, expected %lld\n", qint64(report.size()), nExpected);
        return 1;
    }
    std::printf("%lld %lld %.3f %.3f %ld %ld %ld\n", nStreamSize, qint64(report.size()), nTransformNs / 1e6,
                (nTotalNs - nTransformNs) / 1e6, nStartKiB, nStreamKiB, nPeakKiB);
    return 0;
}

struct Sample
{
    qint64 nStream = 0;
    qint64 nReport = 0;
    double fTransformMs = 0;
    double fWriteMs = 0;
    long nStartKiB = 0;
    long nStreamKiB = 0;
    long nPeakKiB = 0;
};

bool RunChild(double fMiB, bool bLfCr, bool bPlain, Sample *pSample)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QStringList args{QStringLiteral("--one"), QString::number(fMiB), bLfCr ? QStringLiteral("lfcr") : QStringLiteral("lf")};
    if (bPlain)
        args << QStringLiteral("--plain");
    child.start(QCoreApplication::applicationFilePath(), args);
    if (!child.waitForFinished(120000) || child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0)
        return false;
    const QList<QByteArray> fields = child.readAllStandardOutput().simplified().split(' ');
    if (fields.size() != 7)
        return false;
    *pSample = Sample{fields[0].toLongLong(), fields[1].toLongLong(), fields[2].toDouble(), fields[3].toDouble(),
                      fields[4].toLong(), fields[5].toLong(), fields[6].toLong()};
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc >= 4 && qstrcmp(argv[1], "--one") == 0)
        return RunOne(QByteArray(argv[2]).toDouble(), qstrcmp(argv[3], "lfcr") == 0, argc > 4 && qstrcmp(argv[4], "--plain") == 0);

    QCoreApplication app(argc, argv);
    std::vector<double> sizes{1, 10, 50};
    int nRepeat = 3;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--sizes") && i + 1 < args.size()) {
            sizes.clear();
            for (const QString &s : args[++i].split(QLatin1Char(','))) {
                if (s.toDouble() <= 0 || s.toDouble() > 1000) {
                    std::fprintf(stderr, "kestrelpack-reportbench: sizes are MiB from above 0 to 1000\n");
                    return 2;
                }
                sizes.push_back(s.toDouble());
            }
        } else if (args[i] == QLatin1String("--repeat") && i + 1 < args.size()) {
            nRepeat = std::max(1, args[++i].toInt());
        } else {
            std::fprintf(stderr, "usage: kestrelpack-reportbench [--sizes 1,10,50] [--repeat N]\n");
            return 2;
        }
    }

    std::printf("Each row: the best of %d runs, each in a fresh process. Time: transformation, then writing the\n"
                "report file (into the page cache, no sync). Peak: the process's peak resident size (worst run);\n"
                "'x start' is that peak less the peak at the process's start, 'x built' less the peak once the\n"
                "stream was built, both in streams: what the whole run and the transformation plus write added.\n\n",
                nRepeat);
    std::printf("%-10s %5s %7s %10s %10s %9s %8s %8s %9s %9s %7s %7s\n", "way", "end", "MiB", "stream B", "report B",
                "transf ms", "write ms", "total ms", "ms/MiB", "peak MiB", "x start", "x built");
    bool bFailed = false;
    for (const bool bPlain : {false, true}) {
        std::vector<double> msPerMiB;
        for (const bool bLfCr : {false, true}) {
            for (const double fMiB : sizes) {
                Sample best;
                double fBestTotal = -1;
                Sample worst;  // the run with the highest peak
                for (int r = 0; r < nRepeat; ++r) {
                    Sample sample;
                    if (!RunChild(fMiB, bLfCr, bPlain, &sample)) {
                        std::fprintf(stderr, "run failed: %g MiB\n", fMiB);
                        bFailed = true;
                        break;
                    }
                    const double fTotal = sample.fTransformMs + sample.fWriteMs;
                    if (fBestTotal < 0 || fTotal < fBestTotal) {
                        fBestTotal = fTotal;
                        best = sample;
                    }
                    if (sample.nPeakKiB > worst.nPeakKiB)
                        worst = sample;
                }
                if (fBestTotal < 0)
                    continue;
                const double fStreamMiB = best.nStream / kMiB;
                msPerMiB.push_back(fBestTotal / fStreamMiB);
                std::printf("%-10s %5s %7.1f %10lld %10lld %9.2f %8.2f %8.2f %9.2f %9.1f %7.2f %7.2f\n",
                            bPlain ? "replace x4" : "ToCsv", bLfCr ? "LF CR" : "LF", fStreamMiB, best.nStream,
                            best.nReport, best.fTransformMs, best.fWriteMs, fBestTotal, fBestTotal / fStreamMiB,
                            worst.nPeakKiB / 1024.0, (worst.nPeakKiB - worst.nStartKiB) * 1024.0 / worst.nStream,
                            (worst.nPeakKiB - worst.nStreamKiB) * 1024.0 / worst.nStream);
            }
        }
        if (msPerMiB.size() >= 2) {
            const auto range = std::minmax_element(msPerMiB.begin(), msPerMiB.end());
            // Small streams run from the cache and large ones from memory, so
            // some spread is expected; beyond half again it is not linear.
            const double fSpread = *range.second / *range.first;
            std::printf("%s: ms per MiB from %.2f to %.2f (largest / smallest %.2f): %s\n\n",
                        bPlain ? "replace x4" : "ToCsv", *range.first, *range.second, fSpread,
                        fSpread <= 1.5 ? "linear" : "NOT linear");
        }
    }
    return bFailed ? 1 : 0;
}
