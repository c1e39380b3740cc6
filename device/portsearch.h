#ifndef PORTSEARCH_H
#define PORTSEARCH_H

class DeviceLink;

// One search for the device's port on a link: the port named or remembered
// first, then every listed port in order, each asked what it is. A port
// whose reply was the device's record lines (a stream it still sends) is
// asked again once the device was found nowhere else; one where something
// else talks, or that another program holds, is named in the failure.
// Leaves the port found open on the link, with its device mode set.
class PortSearch
{
public:
    explicit PortSearch(DeviceLink &link);
    bool Run();

private:
    DeviceLink &m_link;
};

#endif // PORTSEARCH_H
