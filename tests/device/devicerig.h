#ifndef DEVICERIG_H
#define DEVICERIG_H

#include "device/serialworker.h"
#include "simulator/simulateddevice.h"

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

// Points the worker at the device and opens its port, as OpenSerialPort
// would leave it.
inline bool OpenOn(const SimulatedDevice &device, SerialWorker &worker)
{
    worker.SetPortName(device.PortPath());
    worker.CreateSerialPort();
    return worker.SerialPort()->open(QIODevice::ReadWrite);
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
