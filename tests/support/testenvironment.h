#ifndef TESTENVIRONMENT_H
#define TESTENVIRONMENT_H

#include <QString>

namespace TestEnvironment {

// Makes sure no port scan in this process can reach a real serial port:
// unless the test already named its ports, the port list is empty.
void GuardSerialPorts();

// Names the ports that scans in this process see, in order.
void SetSerialPorts(const QStringList &paths);

} // namespace TestEnvironment

#endif // TESTENVIRONMENT_H
