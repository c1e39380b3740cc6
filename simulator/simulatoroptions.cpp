#include "simulator/simulatoroptions.h"

#include <QFile>
#include <QHash>
#include <functional>
#include <limits>

namespace {

bool ParseInt(const QString &sText, int nMin, int nMax, int *pnValue)
{
    bool bOk = false;
    const qlonglong nValue = sText.trimmed().toLongLong(&bOk, 10);
    if (!bOk || nValue < nMin || nValue > nMax)
        return false;
    *pnValue = static_cast<int>(nValue);
    return true;
}

bool ParseHex(const QString &sText, QByteArray *pBytes)
{
    QString sDigits = sText;
    sDigits.remove(QLatin1Char(' ')).remove(QLatin1Char(':'));
    if (sDigits.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        sDigits = sDigits.mid(2);
    if (sDigits.size() % 2 != 0)
        return false;
    for (QChar ch : sDigits) {
        if (!ch.isDigit() && !(ch.toLower() >= QLatin1Char('a') && ch.toLower() <= QLatin1Char('f')))
            return false;
    }
    *pBytes = QByteArray::fromHex(sDigits.toLatin1());
    return true;
}

bool ParsePosition(const QString &sText, int *pnPosition)
{
    const QString sValue = sText.trimmed().toLower();
    if (sValue == QLatin1String("header")) {
        *pnPosition = 0;
        return true;
    }
    if (sValue == QLatin1String("eot")) {
        *pnPosition = SimulatorOptions::kAtEot;
        return true;
    }
    return ParseInt(sValue, 0, std::numeric_limits<int>::max(), pnPosition);
}

constexpr int kMaxMs = 3600 * 1000;

} // namespace

bool SimulatorOptions::FromArguments(const QStringList &args, SimulatorOptions *pOptions, QString *psError)
{
    SimulatorOptions options;
    QString sError;
    bool bNakTimesGiven = false;

    using Handler = std::function<bool(const QString &)>;
    auto intOption = [](int *pn, int nMin, int nMax) -> Handler {
        return [=](const QString &s) { return ParseInt(s, nMin, nMax, pn); };
    };
    auto positionOption = [](int *pn) -> Handler { return [=](const QString &s) { return ParsePosition(s, pn); }; };
    auto hexOption = [](QByteArray *p) -> Handler { return [=](const QString &s) { return ParseHex(s, p); }; };

    auto stateOption = [](State *pState) -> Handler {
        return [=](const QString &s) {
            if (s == QLatin1String("app"))
                *pState = State::Application;
            else if (s == QLatin1String("boot"))
                *pState = State::BootMenu;
            else if (s == QLatin1String("ymodem"))
                *pState = State::Ymodem;
            else
                return false;
            return true;
        };
    };

    const QHash<QString, Handler> valued = {
        {QStringLiteral("--state"), stateOption(&options.initialState)},
        {QStringLiteral("--after-image"), stateOption(&options.afterImageState)},
        {QStringLiteral("--version"),
         [&](const QString &s) {
             const QStringList parts = s.split(QLatin1Char('.'));
             return parts.size() == 2 && ParseInt(parts.at(0), 0, 255, &options.nVersionMajor)
                 && ParseInt(parts.at(1), 0, 255, &options.nVersionMinor);
         }},
        {QStringLiteral("--version-after"),
         [&](const QString &s) {
             const QStringList parts = s.split(QLatin1Char('.'));
             return parts.size() == 2 && ParseInt(parts.at(0), 0, 255, &options.nVersionAfterMajor)
                 && ParseInt(parts.at(1), 0, 255, &options.nVersionAfterMinor);
         }},
        {QStringLiteral("--serial"), hexOption(&options.serialNumber)},
        {QStringLiteral("--serial-count"), intOption(&options.nSerialCountByte, 0, 255)},
        {QStringLiteral("--count-label"),
         [&](const QString &s) {
             options.sCountLabel = s;
             return true;
         }},
        {QStringLiteral("--records"), intOption(&options.nRecordCount, 0, 1000000)},
        {QStringLiteral("--records-file"),
         [&](const QString &s) {
             QFile file(s);
             if (!file.open(QIODevice::ReadOnly)) {
                 sError = QStringLiteral("--records-file: cannot read %1: %2").arg(s, file.errorString());
                 return false;
             }
             options.recordStream = file.readAll();
             if (options.recordStream.isEmpty()) {
                 sError = QStringLiteral("--records-file: %1 is empty").arg(s);
                 return false;
             }
             return true;
         }},
        {QStringLiteral("--invalid-every"), intOption(&options.nInvalidEvery, 0, 1000000)},
        {QStringLiteral("--line-end"),
         [&](const QString &s) {
             if (s == QLatin1String("lf"))
                 options.lineEnd = LineEnd::Lf;
             else if (s == QLatin1String("lfcr"))
                 options.lineEnd = LineEnd::LfCr;
             else
                 return false;
             return true;
         }},
        {QStringLiteral("--stream-delay"), intOption(&options.nStreamDelayMs, 0, kMaxMs)},
        {QStringLiteral("--stream-pause-every"), intOption(&options.nStreamPauseEvery, 0, 1000000)},
        {QStringLiteral("--stream-pause"), intOption(&options.nStreamPauseMs, 0, kMaxMs)},
        {QStringLiteral("--streaming"),
         [&](const QString &s) {
             if (s == QLatin1String("endless")) {
                 options.nStreamingAtStart = SimulatorOptions::kEndless;
                 return true;
             }
             return ParseInt(s, 1, 100000000, &options.nStreamingAtStart);
         }},
        {QStringLiteral("--boot-delay"), intOption(&options.nBootDelayMs, 0, kMaxMs)},
        {QStringLiteral("--rate"), intOption(&options.nBytesPerSecond, 0, 100000000)},
        {QStringLiteral("--c-interval"), intOption(&options.nCIntervalMs, 1, kMaxMs)},
        {QStringLiteral("--image-dir"),
         [&](const QString &s) {
             options.sImageDir = s;
             return !s.isEmpty();
         }},
        {QStringLiteral("--extra-after-echo"), hexOption(&options.extraAfterEcho)},
        {QStringLiteral("--split"), intOption(&options.nSplitPieces, 0, 1000)},
        {QStringLiteral("--split-gap"), intOption(&options.nSplitGapMs, 0, kMaxMs)},
        {QStringLiteral("--garbage"), hexOption(&options.garbageBeforeReply)},
        {QStringLiteral("--fault-command"),
         [&](const QString &s) {
             QByteArray bytes;
             if (!ParseHex(s, &bytes) || bytes.size() != 1)
                 return false;
             options.nFaultCommand = static_cast<uint8_t>(bytes.at(0));
             return true;
         }},
        {QStringLiteral("--nak-block"), positionOption(&options.nNakAtBlock)},
        {QStringLiteral("--nak-times"),
         [&](const QString &s) {
             bNakTimesGiven = true;
             return ParseInt(s, 1, 1000000, &options.nNakTimes);
         }},
        {QStringLiteral("--cancel-block"), positionOption(&options.nCancelAtBlock)},
        {QStringLiteral("--cancel-letter-block"), positionOption(&options.nCancelLetterAtBlock)},
        {QStringLiteral("--cancel-letter"),
         [&](const QString &s) {
             if (s != QLatin1String("A") && s != QLatin1String("a"))
                 return false;
             options.cCancelLetter = s.at(0).toLatin1();
             return true;
         }},
        {QStringLiteral("--silent-block"), positionOption(&options.nSilentAtBlock)},
        {QStringLiteral("--garbage-block"), positionOption(&options.nGarbageAtBlock)},
        {QStringLiteral("--close-block"), positionOption(&options.nCloseAtBlock)},
        {QStringLiteral("--transcript"),
         [&](const QString &s) {
             options.sTranscriptFile = s;
             return !s.isEmpty();
         }},
    };
    bool bForeignTalker = false;
    const QHash<QString, bool *> flags = {
        {QStringLiteral("--foreign-talker"), &bForeignTalker},
        {QStringLiteral("--silent"), &options.bSilent},
        {QStringLiteral("--wrong-echo"), &options.bWrongEcho},
        {QStringLiteral("--boot-banner"), &options.bBootBanner},
        {QStringLiteral("--echo"), &options.bEcho},
        {QStringLiteral("--chatter"), &options.bChatter},
        {QStringLiteral("--deaf-while-sending"), &options.bDeafWhileSending},
        {QStringLiteral("--drop-closing-ack"), &options.bDropClosingAck},
    };

    for (int i = 0; i < args.size() && sError.isEmpty(); ++i) {
        QString sName = args.at(i);
        QString sValue;
        bool bInlineValue = false;
        const int nEquals = sName.indexOf(QLatin1Char('='));
        if (sName.startsWith(QLatin1String("--")) && nEquals > 2) {
            sValue = sName.mid(nEquals + 1);
            sName = sName.left(nEquals);
            bInlineValue = true;
        }
        if (flags.contains(sName) && !bInlineValue) {
            *flags.value(sName) = true;
            continue;
        }
        if (!valued.contains(sName)) {
            sError = QStringLiteral("unknown option: %1").arg(args.at(i));
            break;
        }
        if (!bInlineValue) {
            if (i + 1 >= args.size()) {
                sError = QStringLiteral("%1 needs a value").arg(sName);
                break;
            }
            sValue = args.at(++i);
        }
        if (!valued.value(sName)(sValue) && sError.isEmpty())
            sError = QStringLiteral("bad value for %1: \"%2\"").arg(sName, sValue);
    }
    if (sError.isEmpty() && options.nNakAtBlock != kNever && !bNakTimesGiven)
        options.nNakTimes = 1;
    if (bForeignTalker)
        options.MakeForeignTalker();
    if (sError.isEmpty() && options.bEcho && options.initialState != State::Application)
        sError = QStringLiteral("--echo plays a line, not a boot loader: it takes no --state boot|ymodem");
    if (!sError.isEmpty()) {
        if (psError)
            *psError = sError;
        return false;
    }
    if (pOptions)
        *pOptions = options;
    return true;
}

void SimulatorOptions::MakeForeignTalker()
{
    recordStream = QByteArrayLiteral(
        "$GPGGA,045500.00,4807.0380,N,01131.0000,E,1,08,0.9,545.4,M,46.9,M,,*4C\r\n"
        "$GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1*39\r\n"
        "$GPRMC,045500.00,A,4807.0380,N,01131.0000,E,0.02,31.66,081226,,,A*5B\r\n"
        "$GPVTG,31.66,T,,M,0.02,N,0.04,K,A*3F\r\n");
    nStreamingAtStart = kEndless;
}

QString SimulatorOptions::HelpText()
{
    return QStringLiteral(
        "Usage: kestrelpack-devsim [options]\n"
        "Plays the serviced device on a pseudo-terminal. The first line of output is\n"
        "the device path to open (e.g. /dev/pts/7); it runs until SIGINT or SIGTERM.\n"
        "\n"
        "State and identity:\n"
        "  --state app|boot|ymodem   initial state: application firmware (default),\n"
        "                            boot loader menu, or YMODEM receiver\n"
        "  --version MAJOR.MINOR     firmware version (default 1.10)\n"
        "  --version-after MAJOR.MINOR\n"
        "                            the version reported once an image was stored\n"
        "                            (the new image's; default: unchanged)\n"
        "  --serial HEX              serial-number bytes (default 123456)\n"
        "  --serial-count N          count byte of the serial reply; the host shows\n"
        "                            this many hex digits from the count byte on\n"
        "                            (default: all of them, 2 + twice the bytes)\n"
        "Records:\n"
        "  --count-label TEXT        label of the record count reply (default Count)\n"
        "  --records N               number of generated records (default 20)\n"
        "  --records-file PATH       stream this file's content instead\n"
        "  --invalid-every K         an \"An invalid record.\" line after every K-th record\n"
        "  --line-end lf|lfcr        line end of generated records (default lf)\n"
        "  --stream-delay MS         silence before the first record\n"
        "  --stream-pause-every N    pause after every N-th record...\n"
        "  --stream-pause MS         ...for this long\n"
        "  --streaming N|endless     at start, still sending the last N records of\n"
        "                            an export an earlier host asked for and left\n"
        "                            (with --rate 11520 as long as a real device);\n"
        "                            endless: the records again and again, and no\n"
        "                            command is ever answered\n"
        "  --deaf-while-sending      frames that arrive while the device still sends\n"
        "                            are lost in its stream, never answered\n"
        "Timing:\n"
        "  --boot-delay MS           from the boot command's echo to the boot loader\n"
        "                            (default 300)\n"
        "  --rate BPS                line rate in bytes per second, both directions\n"
        "                            (11520 emulates 115200 baud 8N1; default unpaced)\n"
        "  --c-interval MS           the receiver's \"C\" interval (default 1000)\n"
        "  --boot-banner             the boot loader prints a start-up text with\n"
        "                            capital Cs in it (\"(C) ... Corp.\") when it boots:\n"
        "                            after the boot command, before its first \"C\";\n"
        "                            at start with --state boot|ymodem (seen only by\n"
        "                            a host already on the line)\n"
        "  --image-dir DIR           store received images here\n"
        "  --transcript FILE         append every received frame to FILE, and a line\n"
        "                            with \"!\" when the host's line settings are not\n"
        "                            115200 baud 8N1 without flow control\n"
        "  --echo                    no device at all: a loopback plug or an echoing\n"
        "                            line; every byte received goes straight back\n"
        "  --foreign-talker          no device at all: a GPS or modem port that\n"
        "                            streams its own text lines (NMEA sentences)\n"
        "                            again and again and answers nothing\n"
        "  --after-image app|boot|ymodem\n"
        "                            where the device is once an image is stored:\n"
        "                            its application firmware (default), or back in\n"
        "                            its boot loader's menu or receiver (a boot loader\n"
        "                            that did not start the image)\n"
        "Faults of the firmware and the boot menu:\n"
        "  --silent                  answer nothing\n"
        "  --wrong-echo              echo frames with their last byte changed\n"
        "  --extra-after-echo HEX    append these bytes to every echo\n"
        "  --split N                 send every reply in N pieces...\n"
        "  --split-gap MS            ...this far apart\n"
        "  --garbage HEX             send these bytes before every reply\n"
        "  --fault-command HEX       the faults above hit only the replies to this\n"
        "                            command byte (C0, C8, CD, ...; 31 for the boot\n"
        "                            menu's \"1\"; default: every reply)\n"
        "  --chatter                 after the record stream, send noise lines\n"
        "                            without a pause until the next command frame\n"
        "Faults of the YMODEM receiver (K: a number, 0 or \"header\" for the header\n"
        "block, 1.. for the data blocks in the order received, \"eot\" for the first\n"
        "EOT; each fault fires once):\n"
        "  --nak-block K             NAK block K...\n"
        "  --nak-times N             ...N times (default 1)\n"
        "  --cancel-block K          answer block K with CAN CAN\n"
        "  --cancel-letter-block K   answer block K with a cancel letter...\n"
        "  --cancel-letter A|a       ...this one (default A)\n"
        "  --silent-block K          stop answering from block K on\n"
        "  --garbage-block K         answer block K with garbage bytes\n"
        "  --close-block K           close the line at block K\n"
        "  --drop-closing-ack        send no ACK for the closing empty header, once;\n"
        "                            the image is stored and the device starts its\n"
        "                            application firmware all the same\n"
        "  --help                    this text\n");
}
