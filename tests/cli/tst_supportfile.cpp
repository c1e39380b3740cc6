// `kestrelpack-cli support-file` against the simulated device's port: the
// zip it writes, opened by an independent reader (Python's zipfile), holds
// the summary, the logs within their bound, the settings and the service
// history; a folder that takes no file fails clearly and leaves nothing.

#include "app/supportlogs.h"
#include "simulator/simulateddevice.h"
#include "support/randombytes.h"
#include "support/testenvironment.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

constexpr int kRunBoundMs = 60000;

// Lists a zip's entries after checking every one's CRC, and unpacks it: one
// JSON line, {"bad": first damaged entry or null, "entries": [...]}.
const char *const kReader =
    "import json, sys, zipfile\n"
    "with zipfile.ZipFile(sys.argv[1]) as z:\n"
    "    bad = z.testzip()\n"
    "    z.extractall(sys.argv[2])\n"
    "    print(json.dumps({'bad': bad, 'entries': [i.filename for i in z.infolist()]}))\n";

const char *const kJobEndLine =
    "[2026-12-09 10:00:00] [info] [thread 7] [qserialuser.cpp:346 QSerialUser::slot_Finished] "
    "Job end: export succeeded on COM9, file \"Report.csv\" (400 bytes)\r\n";

// Numbered lines of a log, about nBytes of them; the last line a job's end
// when bJobEnd.
QByteArray LogText(qint64 nBytes, bool bJobEnd)
{
    QByteArray text;
    for (int i = 0; text.size() < nBytes; ++i) {
        text += QByteArray("[2026-12-09 09:00:00] [info] [thread 7] [devicelink.cpp:1 DeviceLink::Send] line ")
                + QByteArray::number(i) + "\r\n";
    }
    if (bJobEnd) {
        text += kJobEndLine;
    }
    return text;
}

bool WriteFile(const QString &sPath, const QByteArray &content, int nHoursOld = 0)
{
    QDir().mkpath(QFileInfo(sPath).path());
    QFile file(sPath);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size()) {
        return false;
    }
    return nHoursOld == 0
           || file.setFileTime(QDateTime::currentDateTime().addSecs(-3600LL * nHoursOld),
                               QFileDevice::FileModificationTime);
}

QByteArray ReadFile(const QString &sPath)
{
    QFile file(sPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString Today()
{
    return QStringLiteral("K9Z40_%1.log").arg(QDate::currentDate().toString(QStringLiteral("yyyyMMdd")));
}

} // namespace

class SupportFileTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { TestEnvironment::GuardSerialPorts(); }

    // Logs are "name|KiB|hours old", "{today}" the log the program writes
    // today (it adds its own lines to it). The bound is 4 MiB.
    void supportFileHoldsWhatSupportAsksFor_data()
    {
        QTest::addColumn<QStringList>("logs");
        QTest::addColumn<bool>("bHistory");
        QTest::addColumn<QStringList>("taken");      // logs in the zip
        QTest::addColumn<QStringList>("leftOut");    // logs named as left out
        QTest::addColumn<QString>("sTail");          // the log whose tail alone is in the zip
        QTest::addColumn<QString>("sLastJob");       // what the summary says of the last job

        QTest::newRow("newest log beyond the bound keeps its tail; last job from the log")
            << QStringList{"{today}|4608|0", "K9Z40_20200101.log|16|100"} << false << QStringList{"{today}"}
            << QStringList{"K9Z40_20200101.log"} << QStringLiteral("{today}")
            << QStringLiteral("Last job: 2026-12-09 10:00:00 export succeeded on COM9, file \"Report.csv\" (400 "
                              "bytes)\r\n  (from the log {today})");
        QTest::newRow("older logs fill the bound, the rest left out; last job from the history")
            << QStringList{"K9Z40_20200103.log|1536|24", "K9Z40_20200102.log|1536|48", "K9Z40_20200101.log|1536|72"}
            << true << QStringList{"{today}", "K9Z40_20200103.log", "K9Z40_20200102.log"}
            << QStringList{"K9Z40_20200101.log"} << QString()
            << QStringLiteral("Last job: 2026-12-09T11:00:00,upgrade,COM5,success\r\n  (from service-history.csv)");
    }
    void supportFileHoldsWhatSupportAsksFor()
    {
        QFETCH(QStringList, logs);
        QFETCH(bool, bHistory);
        QFETCH(QStringList, taken);
        QFETCH(QStringList, leftOut);
        QFETCH(QString, sTail);
        QFETCH(QString, sLastJob);
        for (QStringList *pList : {&logs, &taken, &leftOut}) {
            pList->replaceInStrings(QStringLiteral("{today}"), Today());
        }
        sTail.replace(QLatin1String("{today}"), Today());
        sLastJob.replace(QLatin1String("{today}"), Today());

        QTemporaryDir tmp;
        QVERIFY(tmp.isValid());
        // A copy of the program, so that its data folder (beside it) is ours.
        const QString sProgram = tmp.filePath(QStringLiteral("kestrelpack-cli"));
        QVERIFY(QFile::copy(QStringLiteral(KP_CLI_PATH), sProgram));
        for (const QString &sLog : logs) {
            const QStringList parts = sLog.split(QLatin1Char('|'));
            QVERIFY(WriteFile(tmp.filePath(QStringLiteral("logs/") + parts.at(0)),
                              LogText(parts.at(1).toLongLong() * 1024, parts.at(0) == Today()), parts.at(2).toInt()));
        }
        const QByteArray settings = "[General]\r\nLanguage=4\r\n";
        QVERIFY(WriteFile(tmp.filePath(QStringLiteral("config/config.ini")), settings));
        if (bHistory) {
            QVERIFY(WriteFile(tmp.filePath(QStringLiteral("service-history.csv")),
                              "2026-12-09T10:00:00,info,COM5,success\n2026-12-09T11:00:00,upgrade,COM5,success\n"));
        }
        SimulatedDevice device;
        QString sError;
        QVERIFY2(device.Start(&sError), qPrintable(sError));

        QProcess cli;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("KESTRELPACK_SERIAL_PORTS"), device.PortPath());
        cli.setProcessEnvironment(env);
        cli.start(sProgram, {QStringLiteral("support-file"), tmp.filePath(QStringLiteral("out")),
                             QStringLiteral("--json")});
        QVERIFY(cli.waitForFinished(kRunBoundMs));
        const QByteArray out = cli.readAllStandardOutput();
        QVERIFY2(cli.exitStatus() == QProcess::NormalExit && cli.exitCode() == 0,
                 (out + cli.readAllStandardError()).constData());
        const QJsonObject outcome = QJsonDocument::fromJson(out.trimmed().split('\n').last()).object();
        QCOMPARE(outcome.value(QStringLiteral("event")).toString(), QStringLiteral("outcome"));
        QCOMPARE(outcome.value(QStringLiteral("job")).toString(), QStringLiteral("support-file"));
        const QString sZip = outcome.value(QStringLiteral("file")).toString();
        QCOMPARE(QFileInfo(sZip).path(), tmp.filePath(QStringLiteral("out")));
        QVERIFY2(QFileInfo(sZip).fileName().startsWith(QLatin1String("kestrelpack-support-")), qPrintable(sZip));
        QCOMPARE(outcome.value(QStringLiteral("message")).toString(), QStringLiteral("Support file written to ") + sZip);
        QCOMPARE(QDir(tmp.filePath(QStringLiteral("out"))).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QFileInfo(sZip).fileName()});

        const QString sUnpacked = tmp.filePath(QStringLiteral("unpacked"));
        QProcess reader;
        reader.start(QStringLiteral("python3"), {QStringLiteral("-c"), QString::fromLatin1(kReader), sZip, sUnpacked});
        QVERIFY(reader.waitForFinished(kRunBoundMs));
        const QByteArray read = reader.readAllStandardOutput();
        QVERIFY2(reader.exitCode() == 0, (read + reader.readAllStandardError()).constData());
        const QJsonObject listing = QJsonDocument::fromJson(read).object();
        QVERIFY2(listing.value(QStringLiteral("bad")).isNull(), read.constData());
        QStringList expected{QStringLiteral("summary.txt"), QStringLiteral("config/config.ini")};
        for (const QString &sLog : taken) {
            expected << QStringLiteral("logs/") + sLog;
        }
        if (bHistory) {
            expected << QStringLiteral("service-history.csv");
        }
        QStringList entries;
        for (const QJsonValue &entry : listing.value(QStringLiteral("entries")).toArray()) {
            entries << entry.toString();
        }
        expected.sort();
        entries.sort();
        QCOMPARE(entries, expected);

        const QString sSummary = QString::fromUtf8(ReadFile(sUnpacked + QStringLiteral("/summary.txt")));
        QVERIFY2(sSummary.contains(QStringLiteral("Serial ports (listed from KESTRELPACK_SERIAL_PORTS")), qPrintable(sSummary));
        QVERIFY2(sSummary.contains(QStringLiteral("\r\n  %1\r\n    Description: -\r\n").arg(device.PortPath())),
                 qPrintable(sSummary));
        QVERIFY2(sSummary.contains(QStringLiteral("    In use: no (it opened and was closed again)")), qPrintable(sSummary));
        QVERIFY2(sSummary.contains(QStringLiteral("Screens: none")), qPrintable(sSummary));
        QVERIFY2(sSummary.contains(sLastJob), qPrintable(sSummary));
        for (const QString &sLog : leftOut) {
            QVERIFY2(sSummary.contains(QStringLiteral("  logs/%1: left out").arg(sLog)), qPrintable(sSummary));
        }
        QCOMPARE(ReadFile(sUnpacked + QStringLiteral("/config/config.ini")), settings);

        // The bound holds; a log taken whole is the file as it was, the tail
        // is the file's end from a line's start.
        qint64 nLogBytes = 0;
        for (const QString &sLog : taken) {
            const QByteArray inZip = ReadFile(sUnpacked + QStringLiteral("/logs/") + sLog);
            const QByteArray onDisk = ReadFile(tmp.filePath(QStringLiteral("logs/") + sLog));
            nLogBytes += inZip.size();
            const int nAt = onDisk.indexOf(inZip);
            QVERIFY2(!inZip.isEmpty() && nAt >= 0, qPrintable(sLog));
            if (sLog == sTail) {
                QVERIFY2(nAt > 0 && onDisk.at(nAt - 1) == '\n', qPrintable(sLog));
                QVERIFY2(inZip.contains(kJobEndLine), qPrintable(sLog));
                QVERIFY2(inZip.size() > SupportLogs::kLogBytesBound - 200, qPrintable(QString::number(inZip.size())));
                QVERIFY2(sSummary.contains(QStringLiteral("  logs/%1: its last %2 of ").arg(sLog).arg(inZip.size())),
                         qPrintable(sSummary));
            } else {
                QCOMPARE(nAt, 0);
            }
        }
        QVERIFY2(nLogBytes <= SupportLogs::kLogBytesBound, qPrintable(QString::number(nLogBytes)));
    }

    // {file} is a plain file, so no folder can be made under it.
    void folderThatCannotBeWrittenFailsWithoutAFile_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("nExit");
        QTest::addColumn<QString>("sError");   // in the first line on standard error

        QTest::newRow("folder that takes no file")
            << QStringList{"support-file", "/sys/kernel"} << 6
            << QStringLiteral("kestrelpack-cli: the folder /sys/kernel cannot be written to: choose a folder you can "
                              "write to, then run support-file again");
        QTest::newRow("folder that cannot be made")
            << QStringList{"support-file", "{file}/support"} << 6
            << QStringLiteral("kestrelpack-cli: cannot create the folder {file}/support for the support file");
        QTest::newRow("empty folder") << QStringList{"support-file", ""} << 2
                                      << QStringLiteral("support-file takes a folder, or none for the current one");
        QTest::newRow("two folders") << QStringList{"support-file", "a", "b"} << 2
                                     << QStringLiteral("wrong number of arguments for support-file");
        QTest::newRow("two ports") << QStringList{"support-file", "--port", "/a", "--port", "/b"} << 2
                                   << QStringLiteral("support-file takes one --port at most");
    }
    void folderThatCannotBeWrittenFailsWithoutAFile()
    {
        QFETCH(QStringList, args);
        QFETCH(int, nExit);
        QFETCH(QString, sError);
        QTemporaryDir tmp;
        QVERIFY(tmp.isValid());
        const QString sFile = tmp.filePath(QStringLiteral("plain-file"));
        QVERIFY(WriteFile(sFile, "not a folder"));
        args.replaceInStrings(QStringLiteral("{file}"), sFile);
        sError.replace(QLatin1String("{file}"), sFile);

        QProcess cli;
        cli.setWorkingDirectory(tmp.path());
        cli.start(QStringLiteral(KP_CLI_PATH), args);
        QVERIFY(cli.waitForFinished(kRunBoundMs));
        const QString sErr = QString::fromLocal8Bit(cli.readAllStandardError());
        QCOMPARE(cli.exitStatus(), QProcess::NormalExit);
        QVERIFY2(cli.exitCode() == nExit, qPrintable(sErr));
        QVERIFY2(sErr.section(QLatin1Char('\n'), 0, 0).contains(sError), qPrintable(sErr));
        QCOMPARE(QDir(tmp.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{QStringLiteral("plain-file")});
    }

    // The disk refuses the file half way (a file size limit plays a full
    // disk): the failure is told, and neither the file nor its temporary
    // stays behind.
    void writeRefusedHalfWayLeavesNoFile()
    {
        QTemporaryDir tmp;
        QVERIFY(tmp.isValid());
        const QString sProgram = tmp.filePath(QStringLiteral("kestrelpack-cli"));
        QVERIFY(QFile::copy(QStringLiteral(KP_CLI_PATH), sProgram));
        // A log that does not compress: the zip outgrows the limit.
        QVERIFY(WriteFile(tmp.filePath(QStringLiteral("logs/K9Z40_20200101.log")), RandomBytes(1024 * 1024, 5), 24));
        const QString sOut = tmp.filePath(QStringLiteral("out"));
        QVERIFY(QDir().mkpath(sOut));

        // 128 blocks of 512 bytes at most: 64 KiB. A write beyond it fails
        // (the signal it would raise is ignored).
        QProcess cli;
        cli.start(QStringLiteral("/bin/sh"),
                  {QStringLiteral("-c"), QStringLiteral("ulimit -f 128; trap '' XFSZ; exec \"$0\" support-file \"$1\""),
                   sProgram, sOut});
        QVERIFY(cli.waitForFinished(kRunBoundMs));
        const QString sErr = QString::fromLocal8Bit(cli.readAllStandardError());
        QCOMPARE(cli.exitStatus(), QProcess::NormalExit);
        QVERIFY2(cli.exitCode() == 6, qPrintable(sErr));
        QVERIFY2(sErr.startsWith(QStringLiteral("kestrelpack-cli: the support file was not written: %1/kestrelpack-support-")
                                     .arg(sOut)),
                 qPrintable(sErr));
        QVERIFY2(sErr.contains(QStringLiteral(".zip could not be written whole (")), qPrintable(sErr));
        QCOMPARE(QDir(sOut).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());
    }
};

QTEST_GUILESS_MAIN(SupportFileTest)
#include "tst_supportfile.moc"
