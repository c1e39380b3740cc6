#include "device/commandframes.h"

#include <QDebug>

namespace {

// CRC-8/MAXIM-DOW lookup table: entry n is the check value of the single byte
// n, computed with the reflected polynomial 0x8C.
struct Crc8Table
{
    quint8 entries[256];

    constexpr Crc8Table() : entries()
    {
        for (int n = 0; n < 256; ++n) {
            quint8 nCrc = quint8(n);
            for (int nBit = 0; nBit < 8; ++nBit) {
                nCrc = (nCrc & 0x01) ? quint8((nCrc >> 1) ^ 0x8C) : quint8(nCrc >> 1);
            }
            entries[n] = nCrc;
        }
    }
};

constexpr Crc8Table kCrc8Table;

bool IsHexDigit(QChar c)
{
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || (c >= QLatin1Char('A') && c <= QLatin1Char('F'))
           || (c >= QLatin1Char('a') && c <= QLatin1Char('f'));
}

// The byte written as two hex digits at nPos of sText; 0 when the pair is
// missing, cut short or not hexadecimal.
int HexPairAt(const QString &sText, int nPos)
{
    if (nPos < 0 || nPos + 2 > sText.size()) {
        return 0;
    }
    const QChar cHigh = sText.at(nPos);
    const QChar cLow = sText.at(nPos + 1);
    if (!IsHexDigit(cHigh) || !IsHexDigit(cLow)) {
        return 0;
    }
    return sText.midRef(nPos, 2).toInt(nullptr, 16);
}

// Index of the first whole byte written as the two digits cHigh cLow (a pair
// at an even position); -1 when there is none.
int WholeByteAt(const QString &sText, char cHigh, char cLow)
{
    for (int i = 0; i + 1 < sText.size(); i += 2) {
        if (sText.at(i) == QLatin1Char(cHigh) && sText.at(i + 1) == QLatin1Char(cLow)) {
            return i;
        }
    }
    return -1;
}

} // namespace

namespace CommandFrames {

QString HexText(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex().toUpper());
}

quint8 Crc8(const QByteArray &data)
{
    quint8 nCrc = 0x00;
    for (const char c : data) {
        nCrc = kCrc8Table.entries[nCrc ^ quint8(c)];
    }
    return nCrc;
}

QByteArray BuildCommandFrame(const QString &sCommand, QString &sFrameText)
{
    const QByteArray command = QByteArray::fromHex(sCommand.toLatin1());
    const quint8 nCrc = Crc8(command);
    qDebug() << "crc:" << int(nCrc);
    // Always two digits: a check byte below 0x10 written as one digit would
    // shift every following nibble and put a wrong frame on the wire.
    const QString sCheck = QStringLiteral("%1").arg(int(nCrc), 2, 16, QLatin1Char('0'));
    sFrameText = QStringLiteral("%1%2").arg(sCommand, sCheck).toUpper();
    return QByteArray::fromHex(sFrameText.toLatin1());
}

int CountCBytes(const QByteArray &hexText)
{
    // Only whole bytes: a "43" that straddles two bytes (14 3F) is no 'C'.
    int nCount = 0;
    for (int i = 0; i + 1 < hexText.size(); i += 2) {
        if (hexText.at(i) == '4' && hexText.at(i + 1) == '3') {
            ++nCount;
        }
    }
    return nCount;
}

namespace {

// Where DecodeVersion reads the reply's C8 from. The first whole byte C8:
// noise before the reply may hold "C8" across a byte boundary (FC 8F), and
// the digits after that are no version. Only a reply without a whole C8 is
// read from the first "C8" anywhere, or (none at all, index -1) from the
// digits at 1..4, as the device has always been answered.
int VersionIndex(const QString &sReply)
{
    const int nIndex = WholeByteAt(sReply, 'C', '8');
    return nIndex >= 0 ? nIndex : sReply.indexOf(QLatin1String("C8"));
}

bool HasHexPairAt(const QString &sText, int nPos)
{
    return nPos >= 0 && nPos + 2 <= sText.size() && IsHexDigit(sText.at(nPos)) && IsHexDigit(sText.at(nPos + 1));
}

} // namespace

bool VersionComplete(const QString &sReply)
{
    const int nIndex = VersionIndex(sReply);
    return HasHexPairAt(sReply, nIndex + 2) && HasHexPairAt(sReply, nIndex + 4);
}

QString DecodeVersion(const QString &sReply)
{
    const int nIndex = VersionIndex(sReply);
    const int nMajor = HexPairAt(sReply, nIndex + 2);
    const int nMinor = HexPairAt(sReply, nIndex + 4);
    return QStringLiteral("V%1.%2").arg(nMajor).arg(nMinor);
}

bool SerialNumberComplete(const QString &sReply)
{
    const int nIndex = WholeByteAt(sReply, 'C', 'C');
    if (nIndex < 0 || !HasHexPairAt(sReply, nIndex + 2)) {
        return false;
    }
    // The count counts digits from the count byte on, the count byte's own
    // two included.
    const int nCount = HexPairAt(sReply, nIndex + 2);
    return sReply.size() >= nIndex + 2 + qMax(nCount, 2);
}

QString DecodeSerialNumber(const QString &sReply)
{
    // The reply may follow stale bytes that arrived after an earlier window
    // (nothing flushes the input), so the digits are taken from the first
    // whole byte CC on, not from a fixed position: 0A CC 08 12 34 56 is
    // still 08123456. A count beyond the reply's end gives what there is.
    const int nIndex = WholeByteAt(sReply, 'C', 'C');
    const int nCount = HexPairAt(sReply, nIndex + 2);
    return sReply.mid(nIndex >= 0 ? nIndex + 2 : 2, nCount);
}

namespace {

// The reply's bytes as text; empty (and traced) when the hex text is broken.
QString ReplyText(const QString &sReply)
{
    QString sHex = sReply.simplified();
    if (sHex.size() % 2 != 0) {
        sHex.append(QLatin1Char('0'));
    }
    QByteArray bytes;
    bytes.reserve(sHex.size() / 2);
    for (int i = 0; i + 1 < sHex.size(); i += 2) {
        if (!IsHexDigit(sHex.at(i)) || !IsHexDigit(sHex.at(i + 1))) {
            qDebug() << "Invalid hex string";
            bytes.clear();
            break;
        }
        bytes.append(char(HexPairAt(sHex, i)));
    }
    return QString::fromUtf8(bytes);
}

} // namespace

CountDigits CountReplyDigits(const QString &sReply)
{
    const QString sText = ReplyText(sReply);
    const int nColon = sText.indexOf(QLatin1Char(':'));
    if (nColon < 0) {
        return CountDigits::None;
    }
    int i = nColon + 1;
    while (i < sText.size() && sText.at(i).isSpace()) {
        ++i;
    }
    const int nFirstDigit = i;
    while (i < sText.size() && sText.at(i).isDigit()) {
        ++i;
    }
    if (i == nFirstDigit) {
        return CountDigits::None;
    }
    return i == sText.size() ? CountDigits::Open : CountDigits::Closed;
}

bool EndsInCByte(const QString &sReply)
{
    return sReply.size() % 2 == 0 && sReply.endsWith(QLatin1String("43"));
}

int DecodeLogInfoCount(const QString &sReply)
{
    const QString sText = ReplyText(sReply);
    const int nColon = sText.indexOf(QLatin1Char(':'));
    const QString sNumber = (nColon >= 0 ? sText.mid(nColon + 1) : sText).trimmed().simplified();
    bool bOk = false;
    const int nCount = sNumber.toInt(&bOk, 10);
    // A count that is not a decimal number, does not fit an int or is
    // negative is unknown: 0, which only makes the export's progress fall
    // back to its own counter.
    if (!bOk || nCount < 0) {
        return 0;
    }
    return nCount;
}

} // namespace CommandFrames
