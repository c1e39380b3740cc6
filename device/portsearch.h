#ifndef PORTSEARCH_H
#define PORTSEARCH_H

#include "device/waits.h"

#include <QStringList>

class DeviceLink;

// One search for the device's port on a link: the port named or remembered
// first, then every listed port in order, each asked what it is. A port
// whose reply was the device's record lines (a stream it still sends) is
// asked again once the device was found nowhere else; one where something
// else talks, or that another program holds, is named in the failure.
// Every port is first opened once on a thread of its own (PortTrial), the
// caller's loop running meanwhile; one whose open does not return in time
// is skipped. Leaves the port found open on the link, with its device mode
// set.
class PortSearch
{
public:
    explicit PortSearch(DeviceLink &link);
    bool Run();

private:
    // Whether sPath's trial open returned within the wait pWait names.
    bool OpensInTime(const QString &sPath, int Waits::*pWait);
    // Opens the link's port after its trial returned.
    bool OpenAfterTrial();

    DeviceLink &m_link;
    bool m_bTrialOpened = false;   // the last trial's open succeeded
    // Ports of this search whose trial did not return in time.
    QStringList m_blocked;
};

#endif // PORTSEARCH_H
