#ifndef PORTTRIAL_H
#define PORTTRIAL_H

#include <QString>

#include <memory>

// Opens a port once on a thread of its own and closes it there at once, so
// that a caller can wait for the open with its own event loop running (the
// window keeps painting) and give up on a port whose open blocks: Windows
// connects an outgoing Bluetooth port to its far end inside the open, and a
// modem port may wait there, for seconds to tens of seconds, where the
// device's USB adapter opens in milliseconds.
//
// The thread touches nothing but the system's open and close and the
// trial's own state, no Qt object and no global, so a trial still blocked
// when the caller gave up, or when the program ends, finishes on its own
// harmlessly. A path whose trial is still blocked is not opened a second
// time: a new trial for it joins the one that runs.
class PortTrial
{
public:
    // Starts the trial open of sDevicePath (as QSerialPort::setPortName
    // takes it), or joins the one still running for it.
    explicit PortTrial(const QString &sDevicePath);
    // The open has returned, opened or refused, and the port is closed again.
    bool Ended() const;
    // It has ended, and the system opened the port.
    bool Opened() const;
    // It has ended with the port refused: the system's error code (errno on
    // Unix, GetLastError on Windows); 0 otherwise.
    int Error() const;

    struct State;

private:
    std::shared_ptr<State> m_pState;
};

#endif // PORTTRIAL_H
