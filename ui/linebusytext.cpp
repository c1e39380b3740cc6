#include "ui/linebusytext.h"

#include <QCoreApplication>

namespace LineBusyText {

QString Waiting(int nSeconds)
{
    return QCoreApplication::translate("LineBusyText", "The device is still sending its records; waiting up to %1 s")
        .arg(nSeconds);
}

QString KeepsSending()
{
    return QCoreApplication::translate("LineBusyText", "The device keeps sending; switch it off and on, then try again");
}

} // namespace LineBusyText
