// The record stream to CSV report transformation and the report file name.

#include "device/reportformatter.h"

#include <QtTest>

#include <utility>

namespace {

// What the transformation must equal: four whole-buffer replacements in turn.
QByteArray FourReplacements(QByteArray stream)
{
    return stream.replace(" ", ",")
        .replace("\n\r", "\n")
        .replace("\n\n", "\n")
        .replace("An,invalid,record.\n", "");
}

} // namespace

class ReportFormatterTest : public QObject
{
    Q_OBJECT

private slots:
    void toCsv_data()
    {
        QTest::addColumn<QByteArray>("stream");
        QTest::addColumn<QByteArray>("report");
        QTest::newRow("empty") << QByteArray() << QByteArray();
        QTest::newRow("spaces become commas") << QByteArray("0001 2026-12-08 POWER_ON 231\n")
                                              << QByteArray("0001,2026-12-08,POWER_ON,231\n");
        QTest::newRow("two spaces: empty field") << QByteArray("a  b\n") << QByteArray("a,,b\n");
        QTest::newRow("LF CR line ends") << QByteArray("a b\n\rc d\n\r") << QByteArray("a,b\nc,d\n");
        QTest::newRow("CR LF stays") << QByteArray("a b\r\nc\r\n") << QByteArray("a,b\r\nc\r\n");
        QTest::newRow("three LF become two") << QByteArray("a\n\n\nb") << QByteArray("a\n\nb");
        QTest::newRow("four LF become two") << QByteArray("a\n\n\n\nb") << QByteArray("a\n\nb");
        QTest::newRow("blank LF CR line") << QByteArray("a\n\r\n\rb") << QByteArray("a\nb");
        QTest::newRow("LF CR LF") << QByteArray("a\n\r\nb") << QByteArray("a\nb");
        QTest::newRow("invalid, LF") << QByteArray("1 a\nAn invalid record.\n2 b\n")
                                     << QByteArray("1,a\n2,b\n");
        QTest::newRow("invalid, LF CR") << QByteArray("1 a\n\rAn invalid record.\n\r2 b\n\r")
                                        << QByteArray("1,a\n2,b\n");
        QTest::newRow("invalid, blank line after") << QByteArray("An invalid record.\n\r\n\r") << QByteArray();
        QTest::newRow("invalid, CR LF stays") << QByteArray("An invalid record.\r\n")
                                              << QByteArray("An,invalid,record.\r\n");
        QTest::newRow("invalid at the end stays") << QByteArray("1 a\nAn invalid record.")
                                                  << QByteArray("1,a\nAn,invalid,record.");
        QTest::newRow("invalid, double space stays") << QByteArray("An  invalid record.\n")
                                                     << QByteArray("An,,invalid,record.\n");
        QTest::newRow("invalid inside a line") << QByteArray("x An invalid record.\n")
                                               << QByteArray("x,");
        // Removing one line joins text into another such line, which stays.
        QTest::newRow("no second look after removal")
            << QByteArray("An invalid An invalid record.\nrecord.\n") << QByteArray("An,invalid,record.\n");
    }

    void toCsv()
    {
        QFETCH(QByteArray, stream);
        QFETCH(QByteArray, report);
        QCOMPARE(FourReplacements(stream), report);  // the table itself is right
        QCOMPARE(ReportFormatter::ToCsv(stream), report);
    }

    void toCsvEqualsFourReplacementsOnRandomStreams()
    {
        static const char *const apszTokens[] = {
            " ", "\n", "\r", "A", "n", "i", "v", "a", "l", "d", "r", "e", "c", "o", ".", ",",
            "An invalid record.", "An invalid record.", "\n", "\n", " ",
        };
        const int nTokens = int(sizeof(apszTokens) / sizeof(apszTokens[0]));
        QRandomGenerator random(20261208);
        int nRemoved = 0;  // streams in which an invalid-record line went
        int nJoined = 0;   // streams in which a pair of line feeds became one
        for (int n = 0; n < 4000; ++n) {
            QByteArray stream;
            const int nLength = random.bounded(60);
            for (int i = 0; i < nLength; ++i)
                stream += apszTokens[random.bounded(nTokens)];
            const QByteArray expected = FourReplacements(stream);
            const QByteArray actual = ReportFormatter::ToCsv(stream);
            if (actual != expected) {
                QFAIL(qPrintable(QStringLiteral("stream %1: %2 gave %3, not %4")
                                     .arg(n)
                                     .arg(QString::fromLatin1(stream.toPercentEncoding()),
                                          QString::fromLatin1(actual.toPercentEncoding()),
                                          QString::fromLatin1(expected.toPercentEncoding()))));
            }
            QByteArray stepped = QByteArray(stream).replace(" ", ",").replace("\n\r", "\n");
            if (stepped.contains("\n\n"))
                ++nJoined;
            if (stepped.replace("\n\n", "\n").contains("An,invalid,record.\n"))
                ++nRemoved;
        }
        // The draw reaches the later steps often enough to mean something.
        QVERIFY2(nJoined > 400 && nRemoved > 400, qPrintable(QStringLiteral("%1 %2").arg(nJoined).arg(nRemoved)));
    }

    // A moved-in buffer is rewritten where it is; a shared one is copied
    // first, so the caller's bytes stay as they were.
    void rewritesOnlyItsOwnBuffer()
    {
        QByteArray stream("1 a\n\rAn invalid record.\n\r2 b\n\r");
        const char *pBuffer = stream.constData();
        const QByteArray moved = ReportFormatter::ToCsv(std::move(stream));
        QCOMPARE(moved, QByteArray("1,a\n2,b\n"));
        QVERIFY(moved.constData() == pBuffer);

        const QByteArray kept("1 a\n\r2 b\n\r");
        QCOMPARE(ReportFormatter::ToCsv(kept), QByteArray("1,a\n2,b\n"));
        QCOMPARE(kept, QByteArray("1 a\n\r2 b\n\r"));
    }

    void reportFilePath_data()
    {
        QTest::addColumn<QString>("dir");
        QTest::addColumn<QDateTime>("start");
        QTest::addColumn<QString>("path");
        QTest::newRow("local start") << QStringLiteral("C:/Users/tech/Desktop")
                                     << QDateTime(QDate(2026, 12, 8), QTime(4, 55, 0), Qt::LocalTime)
                                     << QStringLiteral("C:/Users/tech/Desktop/Report_2026-12-08-04-55-00.csv");
        QTest::newRow("24-hour clock") << QStringLiteral("/home/tech")
                                       << QDateTime(QDate(2027, 1, 31), QTime(23, 59, 7), Qt::LocalTime)
                                       << QStringLiteral("/home/tech/Report_2027-01-31-23-59-07.csv");
        QTest::newRow("UTC start in local time") << QStringLiteral("/r")
                                                 << QDateTime(QDate(2026, 12, 8), QTime(22, 5, 0), Qt::UTC)
                                                 << QStringLiteral("/r/Report_2026-12-09-01-05-00.csv");
        QTest::newRow("percent signs in the folder") << QStringLiteral("/r/100%2 %1")
                                                     << QDateTime(QDate(2026, 12, 8), QTime(4, 55, 0))
                                                     << QStringLiteral("/r/100%2 %1/Report_2026-12-08-04-55-00.csv");
    }

    void reportFilePath()
    {
        QFETCH(QString, dir);
        QFETCH(QDateTime, start);
        QFETCH(QString, path);
        QCOMPARE(ReportFormatter::ReportFilePath(dir, start), path);
    }
};

int main(int argc, char *argv[])
{
    // Before Qt reads them: a fixed zone three hours east of UTC, so the row
    // with a UTC start time shows whether it is turned into local time, and a
    // system language whose digits are not ASCII, which must not reach the
    // file name.
    qputenv("TZ", "KPT-03");
    qputenv("LC_ALL", "ar_EG.UTF-8");
    QCoreApplication app(argc, argv);
    ReportFormatterTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_reportformatter.moc"
