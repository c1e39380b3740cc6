#include "support/testenvironment.h"

#include "device/portlister.h"

#include <QStringList>

namespace TestEnvironment {

void GuardSerialPorts()
{
    if (!qEnvironmentVariableIsSet(PortLister::kEnvironmentVariable)) {
        qputenv(PortLister::kEnvironmentVariable, QByteArray());
    }
}

void SetSerialPorts(const QStringList &paths)
{
    qputenv(PortLister::kEnvironmentVariable, paths.join(QLatin1Char(':')).toLocal8Bit());
}

} // namespace TestEnvironment
