#ifndef DEVICERIG_H
#define DEVICERIG_H

#include "device/commandframes.h"
#include "device/devicecodes.h"
#include "device/devicecommands.h"
#include "device/devicelink.h"
#include "device/waitsfortesting.h"
#include "simulator/simulateddevice.h"
#include "support/testenvironment.h"

#include <QDebug>
#include <QSerialPort>

#include <memory>

#include <sys/resource.h>

namespace DeviceRig {

const QByteArray kCtrlFrame = QByteArray::fromHex("C0AAAAAAAAD4");
const QByteArray kExitFrame = QByteArray::fromHex("C1AAAAAAAA19");
const QByteArray kBootFrame = QByteArray::fromHex("C955AAAAAACC");
const QByteArray kVersionFrame = QByteArray::fromHex("C8AAAAAAAAEA");
const QByteArray kSNFrame = QByteArray::fromHex("CC55AAAAAA1E");
const QByteArray kCountFrame = QByteArray::fromHex("D1AAAAAAAA65");
const QByteArray kExportFrame = QByteArray::fromHex("CD34AAAAAACC");

// Once per test program: no real port can be scanned, and port errors can
// be watched with QSignalSpy.
inline void PrepareTestCase()
{
    TestEnvironment::GuardSerialPorts();
    qRegisterMetaType<QSerialPort::SerialPortError>();
}

// Before each test: nothing listed, and shortened waits with room for a
// loaded machine (the simulator answers within milliseconds).
inline void PrepareShortWaits(int nBootReadyMs)
{
    TestEnvironment::SetSerialPorts({});
    Waits waits;
    waits.nProbeMs = 500;
    waits.nReplyMs = 500;
    waits.nBootReplyMs = 600;
    waits.nBootReadyMs = nBootReadyMs;
    WaitsForTesting::Set(waits);
}

// A started simulated device, or null (with the reason logged).
inline std::unique_ptr<SimulatedDevice> Start(const SimulatorOptions &options = SimulatorOptions())
{
    auto pDevice = std::make_unique<SimulatedDevice>(options);
    QString sError;
    if (!pDevice->Start(&sError)) {
        qWarning() << "Simulated device did not start:" << sError;
        return nullptr;
    }
    return pDevice;
}

// Points the link at the device and opens its port, as OpenSerialPort
// would leave it.
inline bool OpenOn(const SimulatedDevice &device, DeviceLink &link)
{
    link.SetPortName(device.PortPath());
    link.CreateSerialPort();
    return link.SerialPort()->open(QIODevice::ReadWrite);
}

// CPU time this thread has used, in milliseconds.
inline qint64 ThreadCpuMs()
{
    rusage usage {};
    getrusage(RUSAGE_THREAD, &usage);
    return qint64(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000
           + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000;
}

} // namespace DeviceRig

#endif // DEVICERIG_H
