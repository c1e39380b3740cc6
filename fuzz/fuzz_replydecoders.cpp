// The device link's reply decoders over arbitrary replies: the upper-case hex
// text the link really hands them, and any text at all.

#include "device/commandframes.h"
#include "fuzz/fuzzcheck.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <cstddef>
#include <cstdint>

namespace {

void Quiet(QtMsgType, const QMessageLogContext &, const QString &) {}

bool IsHexDigit(QChar c)
{
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || (c >= QLatin1Char('A') && c <= QLatin1Char('F'))
           || (c >= QLatin1Char('a') && c <= QLatin1Char('f'));
}

bool IsUpperHexText(const QString &s)
{
    for (const QChar c : s) {
        if (!IsHexDigit(c) || (c >= QLatin1Char('a') && c <= QLatin1Char('f')))
            return false;
    }
    return true;
}

// A number 0..255 written in decimal without leading zeros.
bool ParseByteNumber(const QString &s, int *pValue)
{
    if (s.isEmpty() || s.size() > 3 || (s.size() > 1 && s.at(0) == QLatin1Char('0')))
        return false;
    int n = 0;
    for (const QChar c : s) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
        n = n * 10 + (c.unicode() - '0');
    }
    *pValue = n;
    return n <= 255;
}

// "V<major>.<minor>", both 0..255.
bool ParseVersion(const QString &s, int *pMajor, int *pMinor)
{
    if (!s.startsWith(QLatin1Char('V')))
        return false;
    const int nDot = s.indexOf(QLatin1Char('.'));
    return nDot > 1 && ParseByteNumber(s.mid(1, nDot - 1), pMajor) && ParseByteNumber(s.mid(nDot + 1), pMinor);
}

// CRC-8/MAXIM-DOW bit by bit, apart from the link's table.
quint8 Crc8(const QByteArray &bytes)
{
    quint8 crc = 0;
    for (const char c : bytes) {
        crc ^= static_cast<quint8>(c);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? static_cast<quint8>((crc >> 1) ^ 0x8C) : static_cast<quint8>(crc >> 1);
    }
    return crc;
}

// What holds for any text.
void CheckAnyText(const QString &reply)
{
    int nMajor = 0;
    int nMinor = 0;
    FUZZ_CHECK(ParseVersion(CommandFrames::DecodeVersion(reply), &nMajor, &nMinor),
               "the version reads V<0-255>.<0-255>");

    const QString sn = CommandFrames::DecodeSerialNumber(reply);
    FUZZ_CHECK(sn.size() <= reply.size(), "the serial number is no longer than the reply");
    FUZZ_CHECK(sn.size() <= 255, "the serial number is no longer than its count byte allows");
    FUZZ_CHECK(sn.isEmpty() || reply.contains(sn), "the serial number is taken from the reply");

    FUZZ_CHECK(CommandFrames::DecodeLogInfoCount(reply) >= 0, "the record count is never negative");

    const QByteArray latin = reply.toLatin1();
    const int nCs = CommandFrames::CountCBytes(latin);
    FUZZ_CHECK(nCs >= 0 && nCs <= latin.size() / 2, "'C' bytes counted at most once per digit pair");
}

// What holds for the replies the link really produces: upper-case hex text,
// two digits a byte.
void CheckHexReply(const QByteArray &bytes, const QString &reply)
{
    FUZZ_CHECK(CommandFrames::CountCBytes(reply.toLatin1()) == bytes.count('C'),
               "'C' bytes counted exactly, whole bytes only");

    // The version reply C8 <major> <minor>.
    if (!bytes.isEmpty() && static_cast<quint8>(bytes.at(0)) == 0xC8) {
        const int nMajor = bytes.size() > 1 ? static_cast<quint8>(bytes.at(1)) : 0;
        const int nMinor = bytes.size() > 2 ? static_cast<quint8>(bytes.at(2)) : 0;
        FUZZ_CHECK(CommandFrames::DecodeVersion(reply) == QStringLiteral("V%1.%2").arg(nMajor).arg(nMinor),
                   "C8 <major> <minor> reads V<major>.<minor>");
    }

    // The serial number: hex digits only, and after the first whole byte CC
    // as many digits as its count byte says, from the count byte on.
    const QString sn = CommandFrames::DecodeSerialNumber(reply);
    FUZZ_CHECK(IsUpperHexText(sn), "the serial number holds hex digits only");
    const int nCc = bytes.indexOf(static_cast<char>(0xCC));
    if (nCc >= 0) {
        const int nCount = nCc + 1 < bytes.size() ? static_cast<quint8>(bytes.at(nCc + 1)) : 0;
        FUZZ_CHECK(sn == reply.mid(2 * nCc + 2, nCount), "the serial number follows the first whole byte CC");
    }

    // The record count "<label>:<count>" in ASCII.
    const int nCount = CommandFrames::DecodeLogInfoCount(reply);
    const QString text = QString::fromUtf8(bytes);
    const int nColon = text.indexOf(QLatin1Char(':'));
    const QString number = (nColon >= 0 ? text.mid(nColon + 1) : text).trimmed();
    bool bDigits = !number.isEmpty() && number.size() <= 9;
    for (const QChar c : number)
        bDigits = bDigits && c >= QLatin1Char('0') && c <= QLatin1Char('9');
    if (bDigits)
        FUZZ_CHECK(nCount == number.toInt(), "a decimal count after the colon is read as it is");
    if (nCount > 0)
        FUZZ_CHECK(text.contains(QString::number(nCount)), "a count is one the reply holds");

    // A command frame from five command bytes: the bytes and their CRC-8,
    // with the frame's text in upper case, whatever the case of the command.
    if (bytes.size() >= 5) {
        const QByteArray command = bytes.left(5);
        const QString sCommand = QString::fromLatin1(command.toHex());
        for (const QString &s : {sCommand, sCommand.toUpper()}) {
            QString sFrameText;
            const QByteArray frame = CommandFrames::BuildCommandFrame(s, sFrameText);
            FUZZ_CHECK(frame.size() == 6 && frame.left(5) == command, "the frame starts with the command");
            FUZZ_CHECK(static_cast<quint8>(frame.at(5)) == Crc8(command), "the check byte is the CRC-8");
            FUZZ_CHECK(CommandFrames::Crc8(command) == Crc8(command), "table and bitwise CRC-8 agree");
            FUZZ_CHECK(sFrameText == QString::fromLatin1(frame.toHex().toUpper()), "the frame text is upper-case hex");
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // The decoders log what they reject; at a million inputs a second that
    // would be all the fuzzer does.
    qInstallMessageHandler(Quiet);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *pData, size_t nSize)
{
    if (nSize > 4096)
        return 0;
    const QByteArray bytes(reinterpret_cast<const char *>(pData), static_cast<int>(nSize));
    const QString hexReply = QString::fromLatin1(bytes.toHex().toUpper());
    CheckHexReply(bytes, hexReply);
    CheckAnyText(hexReply);
    CheckAnyText(QString::fromLatin1(bytes));
    CheckAnyText(QString::fromUtf8(bytes));
    return 0;
}
