#ifndef QUITONSIGNAL_H
#define QUITONSIGNAL_H

#include <QObject>
#include <QString>

class QSocketNotifier;

// Ends the event loop cleanly when the process receives SIGTERM or SIGINT
// (a session that logs out, a service manager, Ctrl+C in a terminal), so the
// normal shut-down runs: the quit message is logged and the windows are
// destroyed. Without it those signals kill the process on the spot.
//
// On Windows the console's Ctrl+C, Ctrl+Break and close events (and logoff
// and shutdown) are taken the same way; the close event holds the process
// until the object is destroyed (Windows ends it a few seconds later at the
// latest), so a job can still be wound up.
//
// With SetQuitAtOnce(false) the object only emits signal_Received and the
// owner decides when to quit (after winding up a running job). One instance
// at a time; the default handlers come back when it is destroyed.
class QuitOnSignal : public QObject
{
    Q_OBJECT

public:
    explicit QuitOnSignal(QObject *parent = nullptr);
    ~QuitOnSignal() override;

    // False when the handlers could not be installed.
    bool IsActive() const;

    // True (the default): quit the event loop on every signal.
    void SetQuitAtOnce(bool bQuitAtOnce) { m_bQuitAtOnce = bQuitAtOnce; }

signals:
    // On the object's thread, once per signal received: "SIGINT", "SIGTERM",
    // "Ctrl+C", "Ctrl+Break", "console close", ...
    void signal_Received(const QString &sSignalName);

private slots:
    void slot_SignalReceived();
    void slot_Deliver(const QString &sSignalName);

private:
    QSocketNotifier *m_pNotifier = nullptr;
    bool m_bQuitAtOnce = true;
    bool m_bActive = false;
};

#endif // QUITONSIGNAL_H
