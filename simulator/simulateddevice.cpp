#include "simulator/simulateddevice.h"

#include "simulator/simhandover.h"
#include "simulator/devicesimulator.h"

#include <QThread>

SimulatedDevice::SimulatedDevice(const SimulatorOptions &options, QObject *parent)
    : QObject(parent)
    , m_options(options)
{
    m_pSimulator = new DeviceSimulator(options);
    // This object lives in the creating thread, so the device's signals
    // arrive here queued. The frames and images carry bytes the device's
    // thread read from the line: their hand-over is marked for the thread
    // sanitizer, which cannot see Qt's event queue.
    DeviceSimulator *pSimulator = m_pSimulator;
    connect(m_pSimulator, &DeviceSimulator::FrameReceived, this, [this, pSimulator](const QByteArray &frame) {
        SimHandOver::Take(pSimulator);
        emit FrameReceived(frame);
    });
    connect(m_pSimulator, &DeviceSimulator::StateChanged, this, &SimulatedDevice::StateChanged);
    connect(m_pSimulator, &DeviceSimulator::ImageReceived, this,
            [this, pSimulator](const QString &sFileName, const QByteArray &content) {
                SimHandOver::Take(pSimulator);
                emit ImageReceived(sFileName, content);
            });
    connect(m_pSimulator, &DeviceSimulator::TransferAborted, this, &SimulatedDevice::TransferAborted);
    connect(m_pSimulator, &DeviceSimulator::LineViolation, this, &SimulatedDevice::LineViolation);
}

SimulatedDevice::~SimulatedDevice()
{
    if (m_pThread) {
        QMetaObject::invokeMethod(m_pSimulator, "slot_Shutdown", Qt::BlockingQueuedConnection);
        m_pThread->quit();
        m_pThread->wait();
        SimHandOver::Take(m_pSimulator);
        delete m_pThread;
        m_pThread = nullptr;
    }
    delete m_pSimulator;
    m_pSimulator = nullptr;
}

bool SimulatedDevice::Start(QString *psError)
{
    if (m_pThread) {
        if (psError)
            *psError = QStringLiteral("The simulated device is already started");
        return false;
    }
    if (!m_pSimulator->OpenTerminal(psError))
        return false;
    m_pThread = new QThread;
    m_pThread->setObjectName(QStringLiteral("SimulatedDevice"));
    m_pSimulator->moveToThread(m_pThread);
    DeviceSimulator *pSimulator = m_pSimulator;
    connect(m_pThread, &QThread::finished, m_pThread, [pSimulator] { SimHandOver::Give(pSimulator); },
            Qt::DirectConnection);
    m_pThread->start();
    // Returns once the device plays, so a host may talk to it at once.
    QMetaObject::invokeMethod(m_pSimulator, "slot_Begin", Qt::BlockingQueuedConnection);
    return true;
}

QString SimulatedDevice::PortPath() const
{
    return m_pSimulator->PortPath();
}

QList<QByteArray> SimulatedDevice::Frames() const
{
    return m_pSimulator->Frames();
}

SimulatorOptions::State SimulatedDevice::State() const
{
    return m_pSimulator->State();
}

QList<SimulatedDevice::Image> SimulatedDevice::Images() const
{
    return m_pSimulator->Images();
}

QStringList SimulatedDevice::LineViolations() const
{
    return m_pSimulator->LineViolations();
}

void SimulatedDevice::Unplug()
{
    if (!m_pThread)
        return;
    if (QThread::currentThread() == m_pThread)
        m_pSimulator->slot_Unplug();
    else
        QMetaObject::invokeMethod(m_pSimulator, "slot_Unplug", Qt::BlockingQueuedConnection);
}
