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

} // namespace

DeviceCommands::DeviceCommands(DeviceLink &link) : m_link(link)
{
    m_link.SetIdentify([this]() { return EnterCtrlMode(); });
}

bool DeviceCommands::Exchange(const char *szCommand, const Texts &texts, int nWaitMs, QString &sReply,
                              QString *psFrameText)
{
    QString sFrameText;
    const QByteArray frame = CommandFrames::BuildCommandFrame(QLatin1String(szCommand), sFrameText);
    if (psFrameText) {
        *psFrameText = sFrameText;
    }
    if (!m_link.SendBytes(frame, texts.szName, texts.szSendFail)) {
        return false;
    }
    sReply = m_link.WaitReply(nWaitMs);
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

bool DeviceCommands::EnterCtrlMode()
{
    // The whole window, even when the echo came early: a boot loader's
    // refusal text may follow in pieces.
    QString sReply;
    QString sFrameText;
    if (!Exchange(CommandFrames::kEnterCtrlModeCommand, kEnterCtrlModeTexts,
                  m_link.Window(m_link.WaitWindows().pCtrlReplyMs), sReply, &sFrameText)) {
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
    m_link.SetDeviceMode(DeviceCodes::ModeUnknown);
    m_link.Fail(kEnterCtrlModeTexts.szWrongReply);
    return false;
}

bool DeviceCommands::ExitCtrlMode()
{
    QString sReply;
    QString sFrameText;
    if (!Exchange(CommandFrames::kExitCtrlModeCommand, kExitCtrlModeTexts, Waits::Current().nReplyMs, sReply,
                  &sFrameText)) {
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
    const QString sReply = m_link.WaitWindows().bBootReplyToFirstData ? m_link.WaitForData(nWaitMs)
                                                                      : m_link.WaitReply(nWaitMs);
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

bool DeviceCommands::Ask(const char *szCommand, const Texts &texts, QString &sReply)
{
    m_bOwnFrameBack = false;
    QString sFrameText;
    if (!Exchange(szCommand, texts, Waits::Current().nReplyMs, sReply, &sFrameText) || !ReplyArrived(sReply, texts)) {
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
    if (!Ask(CommandFrames::kGetVersionCommand, kGetVersionTexts, sReply)) {
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
    if (!Ask(CommandFrames::kGetSNCommand, kGetSNTexts, sReply)) {
        return false;
    }
    sSN = CommandFrames::DecodeSerialNumber(sReply);
    return true;
}

bool DeviceCommands::GetLogInfoCount(int &nCount)
{
    nCount = 0;
    QString sReply;
    if (!Ask(CommandFrames::kGetLogInfoCountCommand, kGetLogInfoCountTexts, sReply)) {
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
