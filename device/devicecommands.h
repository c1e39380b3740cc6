#ifndef DEVICECOMMANDS_H
#define DEVICECOMMANDS_H

#include "device/devicelink.h"

#include <QString>

// The device's commands on a link: each builds its frame, sends it, collects
// the reply with the link's waits and judges it. Every command returns bool
// and leaves its failure text in the link's error message; none opens or
// closes the port. The link's port check uses EnterCtrlMode to tell whether
// a port has the device on it.
class DeviceCommands
{
public:
    explicit DeviceCommands(DeviceLink &link);

    // Sets the link's device mode: ModeCtrl (echo), ModeBootMenu (refusal)
    // or ModeYmodem (the receiver's 'C's). The reply is collected for at most
    // nWindowMs, by default the link's control-mode window.
    bool EnterCtrlMode(int nWindowMs = -1);
    bool ExitCtrlMode();
    // Brings the application firmware (EnterBootMode) or the boot menu
    // (EnterYmodem) to the boot loader's YMODEM receiver.
    bool EnterBootMode();
    bool EnterYmodem();
    bool GetVersion(QString &sVersion);
    bool GetSN(QString &sSN);
    // nCount: the announced record count, 0 when unknown or on failure.
    bool GetLogInfoCount(int &nCount);
    // Asks for the record stream; no reply window.
    bool SendExportCommand();
    // The last version, serial number or record count request failed because
    // only its own frame came back: the line echoes, and no device answers.
    bool OwnFrameCameBack() const { return m_bOwnFrameBack; }

    // Failure texts of one command, untranslated (translated where set).
    struct Texts
    {
        const char *szName;
        const char *szSendFail;
        const char *szNoReply;
        const char *szWrongReply;
        const char *szNotReady;
    };

private:
    // Builds the frame, sends it and collects the reply for nWaitMs; false
    // only when the frame could not be sent.
    bool Exchange(const char *szCommand, const Texts &texts, int nWaitMs, QString &sReply,
                  QString *psFrameText = nullptr, const DeviceLink::ReplyEnd &end = DeviceLink::ReplyEnd());
    // Exchange with the ordinary reply window, ended early once whole; a
    // reply must come, and it must be more than the request's own frame
    // coming back.
    bool Ask(const char *szCommand, const Texts &texts, QString &sReply, const DeviceLink::ReplyEnd &end);
    // False, with the no-reply text, when nothing came or the device went
    // away during the reply window.
    bool ReplyArrived(const QString &sReply, const Texts &texts);
    // Sends bytes, takes the first reply (which must occur in sFrameText
    // when the texts judge it) and waits for the boot loader's 'C's.
    bool BootStep(const QByteArray &bytes, const QString &sFrameText, const Texts &texts);

    DeviceLink &m_link;
    bool m_bOwnFrameBack = false;
};

#endif // DEVICECOMMANDS_H
