#ifndef SIMULATEDDEVICE_H
#define SIMULATEDDEVICE_H

#include "simulator/simulatoroptions.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

class QThread;
class DeviceSimulator;

// A simulated device on a pseudo-terminal, played on a thread of its own so
// that the code under test may block its own thread in nested event loops.
//
// Create it in the test's thread, Start() it, hand PortPath() to the code
// under test (through KESTRELPACK_SERIAL_PORTS or a port name), and observe
// it through the accessors (thread-safe) and the signals (delivered queued to
// the thread that created this object, so QSignalSpy::wait works).
class SimulatedDevice : public QObject
{
    Q_OBJECT

public:
    struct Image
    {
        QString sFileName;     // name from the YMODEM header
        qint64 nHeaderSize;    // size from the YMODEM header
        QByteArray content;    // data received, cut to nHeaderSize
        QString sSavedPath;    // where it was written (empty without an image folder)
    };

    explicit SimulatedDevice(const SimulatorOptions &options = SimulatorOptions(), QObject *parent = nullptr);
    ~SimulatedDevice() override;   // stops the thread and closes the pseudo-terminal

    // Opens the pseudo-terminal pair and starts playing. False with a reason
    // in *psError when the pair cannot be opened.
    bool Start(QString *psError = nullptr);

    // The slave side, e.g. /dev/pts/7: what the host opens.
    QString PortPath() const;

    // Every frame received so far, in order. A frame is one command frame
    // (six bytes), the boot menu's single "1", one YMODEM block (133 or 1029
    // bytes), an EOT, a run of CANs, or a run of other bytes that formed no
    // frame.
    QList<QByteArray> Frames() const;

    // The current state (it changes when the device reboots).
    SimulatorOptions::State State() const;

    // Images received by the YMODEM receiver, in order.
    QList<Image> Images() const;

    // Every time the host's line settings were found to differ from 115200
    // baud, 8 data bits, no parity, 1 stop bit, no flow control: what
    // differed. Checked whenever bytes from the host arrive; a difference
    // that lasts is noted once.
    QStringList LineViolations() const;

    // Closes the line now, as if the cable were pulled.
    void Unplug();

signals:
    void FrameReceived(const QByteArray &frame);
    void StateChanged(int state);          // a SimulatorOptions::State value
    void ImageReceived(const QString &sFileName, const QByteArray &content);
    void TransferAborted(const QString &sReason); // receiver gave up or was cancelled
    void LineViolation(const QString &sDifference);

private:
    QThread *m_pThread = nullptr;
    DeviceSimulator *m_pSimulator = nullptr;   // lives in m_pThread
    SimulatorOptions m_options;
};

#endif // SIMULATEDDEVICE_H
