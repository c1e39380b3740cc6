#ifndef DEVICESIMULATOR_H
#define DEVICESIMULATOR_H

#include "simulator/deviceoutput.h"
#include "simulator/linepacer.h"
#include "simulator/pseudoterminal.h"
#include "simulator/simulateddevice.h"
#include "simulator/simulatoroptions.h"
#include "simulator/ymodemreceiver.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QList>
#include <QObject>
#include <QStringList>
#include <functional>
#include <mutex>

class QSocketNotifier;
class QTimer;

// Plays the device on the master side of a pseudo-terminal: the application
// firmware, the boot loader's menu and its YMODEM receiver. It lives in one
// thread (SimulatedDevice gives it its own; the kestrelpack-devsim program
// runs it in the main thread). The accessors are thread-safe.
class DeviceSimulator : public QObject, private YmodemReceiver::Sink
{
    Q_OBJECT

public:
    // Text of the boot loader's refusal and of its menu.
    static const QByteArray kRefusalText;
    static const QByteArray kMenuText;
    // What the boot loader prints when it boots, with --boot-banner.
    static const QByteArray kBannerText;

    explicit DeviceSimulator(const SimulatorOptions &options, QObject *parent = nullptr);
    ~DeviceSimulator() override;

    // Opens the pseudo-terminal pair; may run in any thread, before Begin.
    bool OpenTerminal(QString *psError);

    QString PortPath() const;
    QList<QByteArray> Frames() const;
    SimulatorOptions::State State() const;
    QList<SimulatedDevice::Image> Images() const;
    // Each time the host's line settings were found to differ from 115200
    // baud 8N1 without flow control (checked whenever bytes arrive; the same
    // difference is noted again only after the settings were right again).
    QStringList LineViolations() const;


public slots:
    // Starts playing; runs in the simulator's thread.
    void slot_Begin();
    // Closes the line, as if the cable were pulled.
    void slot_Unplug();
    // Stops everything that runs in the simulator's thread and closes the line.
    void slot_Shutdown();

signals:
    void FrameReceived(const QByteArray &frame);
    void StateChanged(int state);
    void ImageReceived(const QString &sFileName, const QByteArray &content);
    void TransferAborted(const QString &sReason);
    void LineViolation(const QString &sDifference);

private slots:
    void slot_ReadReady();
    void slot_ResumeReading();
    void slot_FrameTimeout();
    void slot_ReceiverTick();
    void slot_Reboot();

private:
    qint64 NowMs() const;
    // bBoots: the boot loader starts afresh (its banner goes out first).
    void SetState(SimulatorOptions::State eState, bool bDropOutput, bool bBoots = false);
    void RecordFrame(const QByteArray &frame, const QString &sNote);
    void WriteTranscript(SimulatorOptions::State eState, const QByteArray &text);
    void CheckLineSettings();
    void HandleInput(const QByteArray &bytes);
    void ProcessApplicationInput();
    void ProcessBootMenuInput(const QByteArray &bytes);
    void HandleApplicationFrame(const QByteArray &frame);
    void ArmFrameTimer();
    void RescheduleReceiver();

    // YmodemReceiver::Sink
    void ReceiverSend(const QByteArray &bytes) override;
    void ReceiverFrame(const QByteArray &frame, const QString &sNote) override;
    void ReceiverFile(const QByteArray &rawName, qint64 nHeaderSize, const QByteArray &content) override;
    void ReceiverBatchDone() override;
    void ReceiverAborted(const QString &sReason) override;
    void ReceiverCloseLine() override;

    SimulatorOptions m_options;
    PseudoTerminal m_terminal;
    LinePacer m_inPacer;
    QElapsedTimer m_clock;
    DeviceOutput m_output;              // a child: it moves to the simulator's thread with it
    YmodemReceiver m_receiver;
    QFile m_transcript;

    QSocketNotifier *m_pReadNotifier = nullptr;
    QTimer *m_pReadTimer = nullptr;     // resumes paced reading
    QTimer *m_pFrameTimer = nullptr;    // drops a partial frame
    QTimer *m_pReceiverTimer = nullptr;
    QTimer *m_pBootTimer = nullptr;     // reboot after the boot command

    QByteArray m_baPending;             // bytes of a frame not yet complete
    qint64 m_nPendingSinceMs = 0;
    QString m_sLastLineDifference;      // of the last check; "" when the settings were right

    // Guards the fields below. A standard mutex rather than QMutex: the
    // thread sanitizer sees its hand-overs, and not those of Qt's own lock.
    mutable std::mutex m_mutex;
    QString m_sPortPath;
    QList<QByteArray> m_frames;
    SimulatorOptions::State m_eState;
    QList<SimulatedDevice::Image> m_images;
    QStringList m_lineViolations;
};

#endif // DEVICESIMULATOR_H
