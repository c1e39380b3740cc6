#ifndef COMMANDFRAMES_H
#define COMMANDFRAMES_H

#include <QByteArray>
#include <QString>

// The device's command frames and the decoding of its replies: pure
// functions, no port and no state. Replies are upper-case hexadecimal text,
// two characters a byte.
namespace CommandFrames {

// Command texts: five command bytes as hex digits; the check byte is added
// when the frame is built.
constexpr const char *kEnterCtrlModeCommand = "C0AAAAAAAA";
constexpr const char *kExitCtrlModeCommand = "C1AAAAAAAA";
constexpr const char *kEnterBootModeCommand = "C955AAAAAA";
constexpr const char *kGetVersionCommand = "C8AAAAAAAA";
constexpr const char *kGetSNCommand = "CC55AAAAAA";
constexpr const char *kGetLogInfoCountCommand = "D1AAAAAAAA";
constexpr const char *kExportLogInfoCommand = "CD34AAAAAA";
// The boot menu's choice that starts its YMODEM receiver, sent as it is.
constexpr char kEnterYmodemByte = '1';
// "valid Numbe" as hex: the boot loader's refusal of a command frame.
constexpr const char *kRefusalHex = "76616C6964204E756D6265";

// CRC-8/MAXIM-DOW (reflected polynomial 0x8C, initial value 0).
quint8 Crc8(const QByteArray &data);

// Turns ten hex digits of command text into the six frame bytes (command
// and CRC-8 check byte); sFrameText receives the frame as upper-case hex.
QByteArray BuildCommandFrame(const QString &sCommand, QString &sFrameText);

// Bytes as upper-case hex text.
QString HexText(const QByteArray &bytes);

// 'C' bytes (0x43) in hex text: pairs "43" at even positions only.
int CountCBytes(const QByteArray &hexText);
// "V<major>.<minor>" from the bytes after the first "C8".
QString DecodeVersion(const QString &sReply);
// Whether both version bytes stand where DecodeVersion reads them: a reply
// cut short after its C8 (or after the major) holds no version.
bool VersionComplete(const QString &sReply);
// The serial number: n hex digits from the count byte on, n being the count
// byte after the first whole byte CC.
QString DecodeSerialNumber(const QString &sReply);
// The record count from the ASCII reply "<label>:<count>"; 0 when the reply
// holds no usable count.
int DecodeLogInfoCount(const QString &sReply);

// How far a reply has come, for ending its wait as soon as it is whole.
// A serial number reply is whole once its count byte and the digits it
// announces are there.
bool SerialNumberComplete(const QString &sReply);
// The digits of a record count reply: none yet, some with nothing after them
// (more may follow), or some followed by another character (a line end).
enum class CountDigits
{
    None,
    Open,
    Closed,
};
CountDigits CountReplyDigits(const QString &sReply);
// The reply ends in a whole byte 'C': the boot loader's receiver, asking for
// a file. Text that merely holds a 'C' (a banner, a menu) ends otherwise.
bool EndsInCByte(const QString &sReply);

} // namespace CommandFrames

#endif // COMMANDFRAMES_H
