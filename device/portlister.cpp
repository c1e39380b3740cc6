#include "device/portlister.h"

#include <QMutex>
#include <QMutexLocker>
#include <QSerialPortInfo>

#include <algorithm>

namespace {

QMutex s_onlyPortMutex;
QString s_sOnlyPort;

} // namespace

void PortLister::SetOnlyPort(const QString &sPath)
{
    const QMutexLocker locker(&s_onlyPortMutex);
    s_sOnlyPort = sPath;
}

QList<PortLister::Port> PortLister::AvailablePorts()
{
    QList<Port> ports;
    {
        const QMutexLocker locker(&s_onlyPortMutex);
        if (!s_sOnlyPort.isEmpty()) {
            ports.append(Port{s_sOnlyPort, s_sOnlyPort});
            return ports;
        }
    }
    if (qEnvironmentVariableIsSet(kEnvironmentVariable)) {
        const QString sList = qEnvironmentVariable(kEnvironmentVariable);
        const QStringList paths = sList.split(QLatin1Char(':'), Qt::SkipEmptyParts);
        for (const QString &sPath : paths) {
            ports.append(Port{sPath, sPath});
        }
        return ports;
    }
    const QList<QSerialPortInfo> infos = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : infos) {
        Port port{info.portName(), DevicePath(info.portName(), info.systemLocation()), info.hasVendorIdentifier()};
        port.sDescription = info.description();
        port.sManufacturer = info.manufacturer();
        port.sSerialNumber = info.serialNumber();
        port.nVendorId = info.hasVendorIdentifier() ? int(info.vendorIdentifier()) : -1;
        port.nProductId = info.hasProductIdentifier() ? int(info.productIdentifier()) : -1;
        ports.append(port);
    }
    return InScanOrder(ports);
}

QString PortLister::ListOrigin()
{
    {
        const QMutexLocker locker(&s_onlyPortMutex);
        if (!s_sOnlyPort.isEmpty()) {
            return QStringLiteral("the one port named");
        }
    }
    if (qEnvironmentVariableIsSet(kEnvironmentVariable)) {
        return QString::fromLatin1(kEnvironmentVariable);
    }
    return QStringLiteral("the system");
}

QList<PortLister::Port> PortLister::InScanOrder(QList<Port> ports)
{
    std::stable_partition(ports.begin(), ports.end(), [](const Port &port) { return port.bUsb; });
    return ports;
}

bool PortLister::MayTouch(const QString &sDevicePath)
{
    bool bListImposed = qEnvironmentVariableIsSet(kEnvironmentVariable);
    {
        const QMutexLocker locker(&s_onlyPortMutex);
        bListImposed = bListImposed || !s_sOnlyPort.isEmpty();
    }
    if (!bListImposed) {
        return true;
    }
    const QList<Port> ports = AvailablePorts();
    return std::any_of(ports.cbegin(), ports.cend(),
                       [&sDevicePath](const Port &port) { return port.sDevicePath == sDevicePath; });
}

QString PortLister::DisplayName(const QString &sDevicePath)
{
    const QString sPrefix = QStringLiteral("\\\\.\\");
    return sDevicePath.startsWith(sPrefix) ? sDevicePath.mid(sPrefix.size()) : sDevicePath;
}

QString PortLister::NormalName(const QString &sName)
{
    const QString sBare = DisplayName(sName);
    const QString sNumber = sBare.mid(3);
    const bool bComShaped = sBare.startsWith(QLatin1String("com"), Qt::CaseInsensitive) && !sNumber.isEmpty()
                            && std::all_of(sNumber.cbegin(), sNumber.cend(),
                                           [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); });
    return bComShaped ? QStringLiteral("COM") + sNumber : sName;
}

QString PortLister::DevicePath(const QString &sPortName, const QString &sSystemLocation)
{
#ifdef Q_OS_WIN
    Q_UNUSED(sSystemLocation);
    return QStringLiteral("\\\\.\\%1").arg(sPortName);
#else
    Q_UNUSED(sPortName);
    return sSystemLocation;
#endif
}
