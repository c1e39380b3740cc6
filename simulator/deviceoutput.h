#ifndef DEVICEOUTPUT_H
#define DEVICEOUTPUT_H

#include "simulator/linepacer.h"
#include "simulator/simulatoroptions.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QObject>

#include <functional>

class PseudoTerminal;
class QSocketNotifier;
class QTimer;

// What the simulated device sends: one queue of replies, record streams and
// actions, written to the line in order at the line's rate (LinePacer), and
// nowhere while no host holds the line, as on a real cable. The firmware's
// faults (silence, garbage before a reply, a reply in pieces, a wrong echo)
// apply to the replies of the command they are aimed at. Lives in the
// simulator's thread.
class DeviceOutput : public QObject
{
    Q_OBJECT

public:
    DeviceOutput(const SimulatorOptions &options, PseudoTerminal &terminal, const QElapsedTimer &clock,
                 QObject *parent = nullptr);

    // Starts writing, in the simulator's thread, once the line is open.
    void Begin();
    // Drops everything not sent yet.
    void Clear();
    // The line is closed: nothing more is sent.
    void Stop();
    void Shutdown();

    void Enqueue(const QByteArray &bytes, int nDelayMs = 0);
    // Runs the action when the queue reaches it, instead of sending.
    void EnqueueAction(std::function<void()> action, int nDelayMs = 0);

    // The command (or boot menu key) starting with cCommand is answered
    // next: whether the faults hit its replies.
    void AimFaults(char cCommand);
    bool FaultsApply() const { return m_bFaultsApply; }
    // Bytes are still queued or being sent.
    bool Sending() const { return !m_current.isEmpty() || !m_queue.isEmpty(); }
    // A reply of the application firmware or the boot menu, with the
    // garbage and split faults applied.
    void Reply(const QByteArray &bytes);
    void Echo(const QByteArray &frame);

    // The record stream the export command asks for (and the chatter after
    // it, with --chatter, until StopChatter).
    void StreamRecords();
    void StopChatter() { m_bChattering = false; }
    // An earlier host's export still under way at start (or never ending).
    void StreamAtStart();

    // The generated record lines, as streamed, and how many are valid.
    static QList<QByteArray> GeneratedRecords(const SimulatorOptions &options);
    static int ValidRecordCount(const SimulatorOptions &options);

private slots:
    void slot_Pump();
    void slot_WriteReady();

private:
    struct OutItem
    {
        qint64 nQueuedMs = 0;
        int nDelayMs = 0;             // after the previous item has left
        QByteArray bytes;
        std::function<void()> action; // run instead of sending, when reached
    };

    qint64 NowMs() const;
    // The lines of the record stream, as the export command sends them.
    QList<QByteArray> RecordLines() const;
    // One piece of the chatter after the stream, then the next from the
    // event loop, so that a command frame can still stop it.
    void Chatter();

    const SimulatorOptions &m_options;
    PseudoTerminal &m_terminal;
    const QElapsedTimer &m_clock;
    LinePacer m_pacer;
    QSocketNotifier *m_pWriteNotifier = nullptr;
    QTimer *m_pWriteTimer = nullptr;    // next item or paced byte
    QList<OutItem> m_queue;
    QByteArray m_current;
    qint64 m_nIdleSinceMs = 0;
    bool m_bFaultsApply = true;         // the command being answered is the faulty one
    bool m_bChattering = false;         // --chatter, until the next command frame
};

#endif // DEVICEOUTPUT_H
