// Frames and reply decodings of the device link, without a wire.

#include "device/commandframes.h"
#include "device/devicecodes.h"
#include "device/devicecommands.h"
#include "device/devicelink.h"
#include "support/testenvironment.h"

#include <QtTest>

class CommandFramesTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { TestEnvironment::GuardSerialPorts(); }

    void crcCheckValue()
    {
        QCOMPARE(int(CommandFrames::Crc8(QByteArrayLiteral("123456789"))), 0xA1);
    }

    void commandFrames_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QByteArray>("frame");
        QTest::newRow("EnterCtrlMode") << QString(CommandFrames::kEnterCtrlModeCommand)
                                       << QByteArray::fromHex("C0AAAAAAAAD4");
        QTest::newRow("ExitCtrlMode") << QString(CommandFrames::kExitCtrlModeCommand)
                                      << QByteArray::fromHex("C1AAAAAAAA19");
        QTest::newRow("EnterBootMode") << QString(CommandFrames::kEnterBootModeCommand)
                                       << QByteArray::fromHex("C955AAAAAACC");
        QTest::newRow("GetVersion") << QString(CommandFrames::kGetVersionCommand)
                                    << QByteArray::fromHex("C8AAAAAAAAEA");
        QTest::newRow("GetSN") << QString(CommandFrames::kGetSNCommand) << QByteArray::fromHex("CC55AAAAAA1E");
        QTest::newRow("GetLogInfoCount") << QString(CommandFrames::kGetLogInfoCountCommand)
                                         << QByteArray::fromHex("D1AAAAAAAA65");
        QTest::newRow("ExportLogInfo") << QString(CommandFrames::kExportLogInfoCommand)
                                       << QByteArray::fromHex("CD34AAAAAACC");
    }

    void commandFrames()
    {
        QFETCH(QString, command);
        QFETCH(QByteArray, frame);
        QString sFrameText;
        QCOMPARE(CommandFrames::BuildCommandFrame(command, sFrameText), frame);
        // The text is what replies are compared with: upper-case, 12 digits.
        QCOMPARE(sFrameText, QString::fromLatin1(frame.toHex().toUpper()));
    }

    // A check byte below 0x10 keeps its leading zero: C5 AA AA AA AA has
    // check byte 0x06, and without the zero the frame would shift a nibble.
    void smallCheckByteKeepsTwoDigits()
    {
        QString sFrameText;
        QCOMPARE(CommandFrames::BuildCommandFrame(QStringLiteral("C5AAAAAAAA"), sFrameText),
                 QByteArray::fromHex("C5AAAAAAAA06"));
        QCOMPARE(sFrameText, QStringLiteral("C5AAAAAAAA06"));
        QCOMPARE(CommandFrames::BuildCommandFrame(QStringLiteral("0000000000"), sFrameText),
                 QByteArray(6, '\0'));
        QCOMPARE(sFrameText, QStringLiteral("000000000000"));
    }

    void countsWholeCBytesOnly_data()
    {
        QTest::addColumn<QByteArray>("hex");
        QTest::addColumn<int>("count");
        QTest::newRow("four C") << QByteArrayLiteral("43434343") << 4;
        QTest::newRow("14 3F straddles") << QByteArrayLiteral("143F") << 0;
        QTest::newRow("straddle then C") << QByteArrayLiteral("143F43") << 1;
        QTest::newRow("odd tail") << QByteArrayLiteral("434") << 1;
    }

    void countsWholeCBytesOnly()
    {
        QFETCH(QByteArray, hex);
        QFETCH(int, count);
        QCOMPARE(CommandFrames::CountCBytes(hex), count);
    }

    void decodesVersion_data()
    {
        QTest::addColumn<QString>("reply");
        QTest::addColumn<QString>("version");
        QTest::newRow("C8 01 0A") << "C8010A" << "V1.10";
        QTest::newRow("garbage first") << "00FFC8020C" << "V2.12";
        QTest::newRow("minor missing") << "C801" << "V1.0";
        QTest::newRow("C8 at the very end") << "0102C8" << "V0.0";
        QTest::newRow("without C8") << "AB0102" << "V176.16";
        QTest::newRow("C8 across bytes") << "0C8102" << "V16.0";
        QTest::newRow("not hex") << "C8ZZ01" << "V0.1";
    }

    void decodesVersion()
    {
        QFETCH(QString, reply);
        QFETCH(QString, version);
        QCOMPARE(CommandFrames::DecodeVersion(reply), version);
    }

    void decodesSerialNumber_data()
    {
        QTest::addColumn<QString>("reply");
        QTest::addColumn<QString>("sn");
        QTest::newRow("eight digits") << "CC0812345600" << "08123456";
        QTest::newRow("four of more") << "CC04ABCDEF" << "04AB";
        QTest::newRow("count 0") << "CC00ABCD" << "";
        QTest::newRow("count beyond the reply") << "CCFF1234" << "FF1234";
        QTest::newRow("count not hex") << "CCZZ12" << "";
        // A stale byte before the reply does not shift the digits, and a "CC"
        // that straddles two bytes (1C C0) is not the reply's start.
        QTest::newRow("stale byte first") << "0ACC0812345600" << "08123456";
        QTest::newRow("straddling CC") << "1CCC0412AB" << "0412";
    }

    void decodesSerialNumber()
    {
        QFETCH(QString, reply);
        QFETCH(QString, sn);
        QCOMPARE(CommandFrames::DecodeSerialNumber(reply), sn);
    }

    void decodesLogInfoCount_data()
    {
        QTest::addColumn<QString>("reply");
        QTest::addColumn<int>("count");
        auto hex = [](const char *sz) { return QString::fromLatin1(QByteArray(sz).toHex().toUpper()); };
        QTest::newRow("label and count") << hex("Count:20") << 20;
        QTest::newRow("blanks around") << hex("Count:  1234 \r\n") << 1234;
        QTest::newRow("no colon") << hex("57") << 57;
        QTest::newRow("UTF-8 label") << QString::fromLatin1(QString::fromUtf8("Zähler:7").toUtf8().toHex().toUpper())
                                     << 7;
        QTest::newRow("not a number") << hex("Count:many") << 0;
        QTest::newRow("two colons") << hex("A:1:2") << 0;
        QTest::newRow("negative") << hex("Count:-5") << 0;
        QTest::newRow("beyond int") << hex("Count:99999999999") << 0;
        QTest::newRow("odd length") << QStringLiteral("3A3") << 0;
        QTest::newRow("not hex") << QStringLiteral("3A3Z") << 0;
    }

    void decodesLogInfoCount()
    {
        QFETCH(QString, reply);
        QFETCH(int, count);
        QCOMPARE(CommandFrames::DecodeLogInfoCount(reply), count);
    }

    // With no port open, commands and waits fail at once instead of waiting
    // out their windows.
    void closedPortFailsAtOnce()
    {
        DeviceLink link(DeviceLink::kWorkerWindows, "SerialWorker");
        DeviceCommands commands(link);
        QString sText;
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!commands.EnterCtrlMode());
        QCOMPARE(link.ErrorMessage(), QStringLiteral("EnterCtrlMode send fail"));
        QVERIFY(!commands.GetVersion(sText));
        QCOMPARE(link.ErrorMessage(), QStringLiteral("GetVersion send fail"));
        QVERIFY(!commands.EnterYmodem());
        QCOMPARE(link.ErrorMessage(), QStringLiteral("EnterYmodem send fail"));
        QVERIFY(!link.WaitBootReady());
        QVERIFY(link.WaitReply(1000).isEmpty());
        QVERIFY2(timer.elapsed() < 900, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(link.DeviceMode(), int(DeviceCodes::ModeUnknown));
    }

    // Nothing listed, or nothing that opens (the saved path included): "No
    // serial port available", and the saved path is kept.
    void noOpenablePort_data()
    {
        QTest::addColumn<QStringList>("ports");
        QTest::newRow("none listed") << QStringList();
        QTest::newRow("none opens") << QStringList{"/nonexistent/kp-port-a", "/nonexistent/kp-port-b"};
    }

    void noOpenablePort()
    {
        QFETCH(QStringList, ports);
        TestEnvironment::SetSerialPorts(ports);
        DeviceLink link(DeviceLink::kWorkerWindows, "SerialWorker");
        DeviceCommands commands(link);
        link.SetPortName(QStringLiteral("/nonexistent/kp-saved"));
        QVERIFY(!link.OpenSerialPort());
        QCOMPARE(link.ErrorMessage(), QStringLiteral("No serial port available"));
        QCOMPARE(link.PortName(), QStringLiteral("/nonexistent/kp-saved"));
        QVERIFY(!link.SerialPort()->isOpen());
    }
};

QTEST_GUILESS_MAIN(CommandFramesTest)
#include "tst_commandframes.moc"
