#include "device/devicecommands.h"

#include "app/logging.h"
#include "device/commandframes.h"
#include "device/devicelink.h"

#include <QDebug>

namespace {

using Texts = DeviceCommands::Texts;

// The texts carry no translation context of their own: the link translates
// them in its owner's.
const Texts kEnterCtrlModeTexts = {
    "EnterCtrlMode", "EnterCtrlMode send fail", "EnterCtrlMode not received data", "EnterCtrlMode fail", nullptr,
};
const Texts kExitCtrlModeTexts = {
    "ExitCtrlMode", "ExitCtrlMode send fail", "ExitCtrlMode not received data", "ExitCtrlMode fail", nullptr,
};
const Texts kEnterBootModeTexts = {
    "EnterBootMode", "EnterBootMode send fail", "EnterBootMode not received data", "EnterBootMode fail",
    "EnterBootMode connect fail",
};
const Texts kEnterYmodemTexts = {
    "EnterYmodem", "EnterYmodem send fail", "EnterYmodem not received data", nullptr, "EnterYmodem connect fail",
};
const Texts kGetVersionTexts = {
    "GetVersion", "GetVersion send fail", "GetVersion not received data", "GetVersion fail", nullptr,
};
const Texts kGetSNTexts = {"GetSN", "GetSN send fail", "GetSN not received data", nullptr, nullptr};
const Texts kGetLogInfoCountTexts = {
    "GetLogInfoCount", "GetLogInfoCount send fail", "GetLogInfoCount not received data", nullptr, nullptr,
};
const Texts kExportLogInfoTexts = {"ExportLogInfo", "ExportLogInfo send fail", nullptr, nullptr, nullptr};

// Ends of the replies the device contract relies on: whole once the content
// that is read from them has arrived, after a short quiet time.
int WholeAfterQuiet(bool bWhole)
{
    return bWhole ? Waits::Current().nReplyQuietMs : DeviceLink::kIncomplete;
}

} // namespace

DeviceCommands::DeviceCommands(DeviceLink &link) : m_link(link)
{
    m_link.SetIdentify([this](int nWindowMs) { return EnterCtrlMode(nWindowMs); });
}

bool DeviceCommands::Exchange(const char *szCommand, const Texts &texts, int nWaitMs, QString &sReply,
                              QString *psFrameText, const DeviceLink::ReplyEnd &end)
{
    QString sFrameText;
    const QByteArray frame = CommandFrames::BuildCommandFrame(QLatin1String(szCommand), sFrameText);
    if (psFrameText) {
        *psFrameText = sFrameText;
    }
    if (!m_link.SendBytes(frame, texts.szName, texts.szSendFail)) {
        return false;
    }
    sReply = m_link.WaitReply(nWaitMs, end);
    qDebug().noquote() << texts.szName << "reply:" << sReply;
    return true;
}

bool DeviceCommands::ReplyArrived(const QString &sReply, const Texts &texts)
{
    if (m_link.DeviceGone()) {
        // The reply window was cut short by the lost line; whatever came is
        // not a reply to judge.
        qDebug() << texts.szName << "device gone during the reply";
        m_link.Fail(texts.szNoReply);
        return false;
    }
    if (sReply.isEmpty()) {
        m_link.Fail(texts.szNoReply);
        return false;
    }
    return true;
}

bool DeviceCommands::EnterCtrlMode(int nWindowMs)
{
    QString sReply;
    QString sFrameText;   // set by Exchange before the reply is awaited
    // The echo is whole at its six bytes; the boot loader's refusal once its
    // words are there (the rest of its text follows within the quiet time);
    // the receiver once its latest byte is a 'C'.
    const auto end = [&sFrameText](const QString &sSoFar) {
        return WholeAfterQuiet(sSoFar.left(12) == sFrameText
                               || sSoFar.contains(QLatin1String(CommandFrames::kRefusalHex))
                               || CommandFrames::EndsInCByte(sSoFar));
    };
    const int nWaitMs = nWindowMs >= 0 ? nWindowMs : m_link.Window(m_link.WaitWindows().pCtrlReplyMs);
    if (!Exchange(CommandFrames::kEnterCtrlModeCommand, kEnterCtrlModeTexts, nWaitMs, sReply, &sFrameText, end)) {
        return false;
    }
    if (!ReplyArrived(sReply, kEnterCtrlModeTexts)) {
        return false;
    }
    // The firmware's echo may be followed by more bytes: only the echo counts.
    if (sReply.left(12) == sFrameText) {
        m_link.SetDeviceMode(DeviceCodes::ModeCtrl);
        return true;
    }
    if (sReply.contains(QLatin1String(CommandFrames::kRefusalHex))) {
        m_link.SetDeviceMode(DeviceCodes::ModeBootMenu);
        return true;
    }
    // The receiver takes the frame for noise and goes on asking for a file,
    // and its 'C' is followed by quiet: a 'C' that the window cut out of a
    // longer text (a record stream) is a letter of that text.
    if (CommandFrames::EndsInCByte(sReply) && m_link.LastReplyWhole()) {
        qDebug() << "EnterCtrlMode: the boot loader's receiver is asking for a file";
        m_link.SetDeviceMode(DeviceCodes::ModeYmodem);
        m_link.SetReceiverAsking(true);
        return true;
    }
    m_link.SetDeviceMode(DeviceCodes::ModeUnknown);
    m_link.Fail(kEnterCtrlModeTexts.szWrongReply);
    return false;
}

bool DeviceCommands::ExitCtrlMode()
{
    QString sReply;
    QString sFrameText;
    // Exactly the six bytes of the frame are expected.
    const auto end = [](const QString &sSoFar) { return WholeAfterQuiet(sSoFar.size() >= 12); };
    if (!Exchange(CommandFrames::kExitCtrlModeCommand, kExitCtrlModeTexts, Waits::Current().nReplyMs, sReply,
                  &sFrameText, end)) {
        return false;
    }
    KP_LOG_INFO("ExitCtrlMode:{}", sReply);
    if (!ReplyArrived(sReply, kExitCtrlModeTexts)) {
        return false;
    }
    if (sReply == sFrameText) {
        return true;
    }
    m_link.Fail(kExitCtrlModeTexts.szWrongReply);
    return false;
}

bool DeviceCommands::EnterBootMode()
{
    QString sFrameText;
    const QByteArray frame =
        CommandFrames::BuildCommandFrame(QLatin1String(CommandFrames::kEnterBootModeCommand), sFrameText);
    return BootStep(frame, sFrameText, kEnterBootModeTexts);
}

bool DeviceCommands::EnterYmodem()
{
    // Any answer of the boot menu will do; its content is not looked at.
    return BootStep(QByteArray(1, CommandFrames::kEnterYmodemByte), QString(), kEnterYmodemTexts);
}

bool DeviceCommands::BootStep(const QByteArray &bytes, const QString &sFrameText, const Texts &texts)
{
    if (!m_link.SendBytes(bytes, texts.szName, texts.szSendFail)) {
        return false;
    }
    const int nWaitMs = Waits::Current().nBootReplyMs;
    // Only a piece of the echo may come before the device restarts: any
    // answer will do, and the boot loader's 'C's are counted after it.
    const QString sReply = m_link.WaitWindows().bBootReplyToFirstData
                               ? m_link.WaitForData(nWaitMs)
                               : m_link.WaitReply(nWaitMs, [](const QString &sSoFar) {
                                     return WholeAfterQuiet(!sSoFar.isEmpty());
                                 });
    qDebug().noquote() << texts.szName << "reply:" << sReply;
    if (!ReplyArrived(sReply, texts)) {
        return false;
    }
    // The device may echo only a piece of the frame before it reboots.
    if (texts.szWrongReply && !sFrameText.contains(sReply.left(12))) {
        m_link.Fail(texts.szWrongReply);
        return false;
    }
    if (!m_link.WaitBootReady()) {
        m_link.Fail(texts.szNotReady);
        return false;
    }
    return true;
}

bool DeviceCommands::Ask(const char *szCommand, const Texts &texts, QString &sReply,
                         const DeviceLink::ReplyEnd &end)
{
    m_bOwnFrameBack = false;
    QString sFrameText;
    if (!Exchange(szCommand, texts, Waits::Current().nReplyMs, sReply, &sFrameText, end)
        || !ReplyArrived(sReply, texts)) {
        return false;
    }
    // These replies never look like the request, so a reply that is only
    // the request coming back is a loopback plug or an echoing line: no
    // device answered.
    if (sReply == sFrameText) {
        qDebug() << texts.szName << "only the request came back";
        m_bOwnFrameBack = true;
        m_link.Fail(texts.szNoReply);
        return false;
    }
    return true;
}

bool DeviceCommands::GetVersion(QString &sVersion)
{
    QString sReply;
    if (!Ask(CommandFrames::kGetVersionCommand, kGetVersionTexts, sReply,
             [](const QString &sSoFar) { return WholeAfterQuiet(CommandFrames::VersionComplete(sSoFar)); })) {
        return false;
    }
    if (!CommandFrames::VersionComplete(sReply)) {
        m_link.Fail(kGetVersionTexts.szWrongReply);
        return false;
    }
    sVersion = CommandFrames::DecodeVersion(sReply);
    return true;
}

bool DeviceCommands::GetSN(QString &sSN)
{
    QString sReply;
    if (!Ask(CommandFrames::kGetSNCommand, kGetSNTexts, sReply,
             [](const QString &sSoFar) { return WholeAfterQuiet(CommandFrames::SerialNumberComplete(sSoFar)); })) {
        return false;
    }
    sSN = CommandFrames::DecodeSerialNumber(sReply);
    return true;
}

bool DeviceCommands::GetLogInfoCount(int &nCount)
{
    nCount = 0;
    QString sReply;
    // A number last in the reply may still grow: it gets a longer quiet time
    // than one that a line end has closed.
    const auto end = [](const QString &sSoFar) {
        switch (CommandFrames::CountReplyDigits(sSoFar)) {
        case CommandFrames::CountDigits::Closed: return Waits::Current().nReplyQuietMs;
        case CommandFrames::CountDigits::Open: return Waits::Current().nOpenEndQuietMs;
        default: return DeviceLink::kIncomplete;
        }
    };
    if (!Ask(CommandFrames::kGetLogInfoCountCommand, kGetLogInfoCountTexts, sReply, end)) {
        return false;
    }
    nCount = CommandFrames::DecodeLogInfoCount(sReply);
    qDebug() << "GetLogInfoCount received data:" << nCount;
    KP_LOG_INFO("GetLogInfo Count : {}", static_cast<long long>(nCount));
    return true;
}

bool DeviceCommands::SendExportCommand()
{
    QString sFrameText;
    const QByteArray frame =
        CommandFrames::BuildCommandFrame(QLatin1String(CommandFrames::kExportLogInfoCommand), sFrameText);
    return m_link.SendBytes(frame, kExportLogInfoTexts.szName, kExportLogInfoTexts.szSendFail);
}
