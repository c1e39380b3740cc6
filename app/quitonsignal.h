#ifndef QUITONSIGNAL_H
#define QUITONSIGNAL_H

#include <QObject>

class QSocketNotifier;

// Ends the event loop cleanly when the process receives SIGTERM or SIGINT
// (a session that logs out, a service manager, Ctrl+C in a terminal), so the
// normal shut-down runs: the quit message is logged and the windows are
// destroyed. Without it those signals kill the process on the spot.
//
// Unix only; on Windows the object does nothing. One instance at a time;
// the default handlers come back when it is destroyed.
class QuitOnSignal : public QObject
{
    Q_OBJECT

public:
    explicit QuitOnSignal(QObject *parent = nullptr);
    ~QuitOnSignal() override;

    // False when the handlers could not be installed.
    bool IsActive() const;

private slots:
    void slot_SignalReceived();

private:
    QSocketNotifier *m_pNotifier = nullptr;
};

#endif // QUITONSIGNAL_H
