// The kestrelpack-devsim program and its command line.

#include "hostline.h"
#include "simulator/simulatoroptions.h"
#include "support/testenvironment.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>

#include <unistd.h>

namespace {

const QByteArray kEnterCtrl = QByteArray::fromHex("C0AAAAAAAAD4");

// Starts the program with a transcript file; returns the device path it
// prints as its first line, or "" when none comes within 5 s.
QString StartWithTranscript(QProcess &program, const QString &sTranscript)
{
    program.start(QStringLiteral(KP_DEVSIM_PATH), {QStringLiteral("--transcript"), sTranscript});
    if (!program.waitForStarted(5000))
        return QString();
    QElapsedTimer clock;
    clock.start();
    while (!program.canReadLine() && clock.elapsed() < 5000)
        program.waitForReadyRead(static_cast<int>(std::max<qint64>(1, 5000 - clock.elapsed())));
    return program.canReadLine() ? QString::fromLocal8Bit(program.readLine()).trimmed() : QString();
}

} // namespace

class TestSimulatorProgram : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { TestEnvironment::GuardSerialPorts(); }

    void printsPathEchoesAndStopsCleanly();
    void warnsAboutHostLineSettings();
    void helpText();
    void badOptionsExitWithTwo_data();
    void badOptionsExitWithTwo();
    void optionsMapOntoFields();
};

void TestSimulatorProgram::printsPathEchoesAndStopsCleanly()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString sTranscript = dir.filePath(QStringLiteral("frames.txt"));
    QProcess program;
    const QString sPath = StartWithTranscript(program, sTranscript);
    QVERIFY2(sPath.startsWith(QLatin1String("/dev/pts/")), qPrintable(sPath));

    // A host that writes the control-mode frame reads it back within 1000 ms,
    // and again after closing and reopening the port.
    for (int i = 0; i < 2; ++i) {
        HostLine host;
        QVERIFY(host.Open(sPath));
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(host.Exchange(kEnterCtrl, 6, 1000), kEnterCtrl);
        QVERIFY(clock.elapsed() < 1000);
    }

    program.terminate();   // SIGTERM
    QVERIFY(program.waitForFinished(5000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
    QFile transcript(sTranscript);
    QVERIFY(transcript.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = transcript.readAll().trimmed().split('\n');
    QCOMPARE(lines.size(), 2);
    for (const QByteArray &line : lines)
        QVERIFY2(line.endsWith(" app C0 AA AA AA AA D4"), line.constData());
}

void TestSimulatorProgram::warnsAboutHostLineSettings()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString sTranscript = dir.filePath(QStringLiteral("frames.txt"));
    QProcess program;
    const QString sPath = StartWithTranscript(program, sTranscript);
    QVERIFY2(sPath.startsWith(QLatin1String("/dev/pts/")), qPrintable(sPath));

    const int nFd = OpenPlainHost(sPath, [](termios &tio) {
        ::cfsetispeed(&tio, B9600);
        ::cfsetospeed(&tio, B9600);
    });
    QVERIFY(nFd >= 0);
    QCOMPARE(::write(nFd, kEnterCtrl.constData(), 6), ssize_t(6));
    QByteArray errors;
    QTRY_VERIFY_WITH_TIMEOUT((errors += program.readAllStandardError()).contains("speed 9600 baud"), 5000);
    ::close(nFd);
    QVERIFY2(errors.contains("warning"), errors.constData());

    program.terminate();
    QVERIFY(program.waitForFinished(5000));
    QFile transcript(sTranscript);
    QVERIFY(transcript.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = transcript.readAll().trimmed().split('\n');
    QCOMPARE(lines.size(), 2);
    QVERIFY2(lines.at(0).endsWith(" app ! line settings: speed 9600 baud, not 115200"), lines.at(0).constData());
    QVERIFY2(lines.at(1).endsWith(" app C0 AA AA AA AA D4"), lines.at(1).constData());
}

void TestSimulatorProgram::helpText()
{
    QProcess program;
    program.start(QStringLiteral(KP_DEVSIM_PATH), {QStringLiteral("--help")});
    QVERIFY(program.waitForFinished(5000));
    QCOMPARE(program.exitCode(), 0);
    const QByteArray text = program.readAllStandardOutput();
    for (const char *pszOption :
         {"--state", "--rate", "--records-file", "--close-block", "--transcript", "--boot-banner"})
        QVERIFY2(text.contains(pszOption), pszOption);
}

void TestSimulatorProgram::badOptionsExitWithTwo_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("sMentioned");
    QTest::newRow("unknown option") << QStringList{"--bogus"} << "--bogus";
    QTest::newRow("missing value") << QStringList{"--rate"} << "--rate";
    QTest::newRow("rate not a number") << QStringList{"--rate", "fast"} << "--rate";
    QTest::newRow("negative delay") << QStringList{"--boot-delay=-5"} << "--boot-delay";
    QTest::newRow("unknown state") << QStringList{"--state", "dfu"} << "--state";
    QTest::newRow("version without minor") << QStringList{"--version", "1"} << "--version";
    QTest::newRow("odd hex") << QStringList{"--serial", "123"} << "--serial";
    QTest::newRow("bad position") << QStringList{"--cancel-block", "end"} << "--cancel-block";
    QTest::newRow("bad letter") << QStringList{"--cancel-letter", "B"} << "--cancel-letter";
    QTest::newRow("missing records file") << QStringList{"--records-file", "/nonexistent/records.txt"}
                                          << "/nonexistent/records.txt";
    QTest::newRow("zero C interval") << QStringList{"--c-interval", "0"} << "--c-interval";
}

void TestSimulatorProgram::badOptionsExitWithTwo()
{
    QFETCH(QStringList, args);
    QFETCH(QString, sMentioned);
    QString sError;
    QVERIFY(!SimulatorOptions::FromArguments(args, nullptr, &sError));
    QVERIFY2(sError.contains(sMentioned), qPrintable(sError));

    QProcess program;
    program.start(QStringLiteral(KP_DEVSIM_PATH), args);
    QVERIFY(program.waitForFinished(5000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 2);
    // No device path: nothing was opened.
    QCOMPARE(program.readAllStandardOutput(), QByteArray());
    QVERIFY(program.readAllStandardError().contains(sMentioned.toLocal8Bit()));
}

void TestSimulatorProgram::optionsMapOntoFields()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QFile records(dir.filePath(QStringLiteral("records.txt")));
    QVERIFY(records.open(QIODevice::WriteOnly));
    records.write("1 a\n2 b\n");
    records.close();

    SimulatorOptions options;
    QString sError;
    const QStringList args = {
        "--state", "boot", "--version=3.4", "--serial", "AB CD", "--serial-count", "9", "--count-label", "Logs",
        "--records", "7", "--records-file", records.fileName(), "--invalid-every", "2", "--line-end", "lfcr",
        "--stream-delay", "11", "--stream-pause-every", "3", "--stream-pause", "12", "--boot-delay", "13",
        "--rate", "11520", "--c-interval", "14", "--image-dir", "/tmp/images", "--silent", "--wrong-echo",
        "--boot-banner", "--extra-after-echo", "0A0B", "--split", "2", "--split-gap", "15", "--garbage", "FF",
        "--nak-block", "header", "--cancel-block", "eot", "--cancel-letter-block", "4", "--cancel-letter", "a",
        "--silent-block", "5", "--garbage-block", "6", "--close-block", "7", "--transcript", "/tmp/t.txt"};
    QVERIFY2(SimulatorOptions::FromArguments(args, &options, &sError), qPrintable(sError));
    QCOMPARE(options.initialState, SimulatorOptions::State::BootMenu);
    QCOMPARE(options.nVersionMajor, 3);
    QCOMPARE(options.nVersionMinor, 4);
    QCOMPARE(options.serialNumber, QByteArray::fromHex("ABCD"));
    QCOMPARE(options.nSerialCountByte, 9);
    QCOMPARE(options.sCountLabel, QStringLiteral("Logs"));
    QCOMPARE(options.nRecordCount, 7);
    QCOMPARE(options.recordStream, QByteArray("1 a\n2 b\n"));
    QCOMPARE(options.nInvalidEvery, 2);
    QCOMPARE(options.lineEnd, SimulatorOptions::LineEnd::LfCr);
    QCOMPARE(options.nStreamDelayMs, 11);
    QCOMPARE(options.nStreamPauseEvery, 3);
    QCOMPARE(options.nStreamPauseMs, 12);
    QCOMPARE(options.nBootDelayMs, 13);
    QCOMPARE(options.nBytesPerSecond, 11520);
    QCOMPARE(options.nCIntervalMs, 14);
    QCOMPARE(options.sImageDir, QStringLiteral("/tmp/images"));
    QVERIFY(options.bSilent);
    QVERIFY(options.bWrongEcho);
    QVERIFY(options.bBootBanner);
    QCOMPARE(options.extraAfterEcho, QByteArray::fromHex("0A0B"));
    QCOMPARE(options.nSplitPieces, 2);
    QCOMPARE(options.nSplitGapMs, 15);
    QCOMPARE(options.garbageBeforeReply, QByteArray::fromHex("FF"));
    QCOMPARE(options.nNakAtBlock, 0);
    QCOMPARE(options.nNakTimes, 1);   // one NAK unless told otherwise
    QCOMPARE(options.nCancelAtBlock, SimulatorOptions::kAtEot);
    QCOMPARE(options.nCancelLetterAtBlock, 4);
    QCOMPARE(options.cCancelLetter, 'a');
    QCOMPARE(options.nSilentAtBlock, 5);
    QCOMPARE(options.nGarbageAtBlock, 6);
    QCOMPARE(options.nCloseAtBlock, 7);
    QCOMPARE(options.sTranscriptFile, QStringLiteral("/tmp/t.txt"));

    // No arguments: the defaults.
    SimulatorOptions defaults;
    defaults.nRecordCount = -5;
    QVERIFY(SimulatorOptions::FromArguments({}, &defaults, &sError));
    QCOMPARE(defaults.nRecordCount, SimulatorOptions().nRecordCount);
    QCOMPARE(defaults.nNakAtBlock, SimulatorOptions::kNever);
    QCOMPARE(defaults.nNakTimes, 0);
    QVERIFY(!defaults.bBootBanner);
}

QTEST_MAIN(TestSimulatorProgram)
#include "tst_simulatorprogram.moc"
