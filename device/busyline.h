#ifndef BUSYLINE_H
#define BUSYLINE_H

#include <QElapsedTimer>
#include <QtGlobal>

class DeviceLink;

// A port that answers the control-mode command with data that goes on
// arriving unasked is busy, not wrong: a device does not know that the host
// stopped listening to its record stream (an export interrupted, or left by
// a program that ended), and it answers only once the stream is over. Such a
// line is read and dropped until it has been quiet for Waits::nBusyQuietMs,
// then asked again; a line that never falls quiet within the bound fails the
// open with its own reason (FailureKind::KeepsSending).
//
// One wait, and one bound, for every port one open of the link looks at.
class BusyLine
{
public:
    // More than this many bytes, the wrong reply and what follows it
    // unasked, are a stream, not an answer (the device's longest answer is
    // some tens of bytes; its records flow at thousands a second): a reply
    // cut by its window, or noise, is no busy line.
    static constexpr int kStreamBytes = 256;

    // How long a busy line is waited for: as long as the longest record
    // stream the device may still owe (NoteStreamOwedMs), never longer than
    // Waits::nBusyMaxMs, which is also the wait when nothing is known.
    static int BoundMs();
    // An export asked for a stream this long (for every link of the
    // process: the next job may run on another link).
    static void NoteStreamOwedMs(qint64 nMs);

    explicit BusyLine(DeviceLink &link);

    // Asks the link's open port what is on it, waiting for a busy line to
    // fall quiet first.
    bool Identify(int nWindowMs);
    // After a reply that was no answer: data goes on arriving unasked
    // within Waits::nBusyQuietMs, enough with the reply to be a stream.
    bool HearsUnasked();
    // The line never fell quiet within the bound (the link's error says so).
    bool KeptBusy() const { return m_bKeptBusy; }

private:
    enum class Quiet
    {
        Silent,      // nothing arrived: the line was quiet already
        AfterData,   // a stream arrived, then the line fell quiet
        Never,       // data kept arriving until the bound
        Ended,       // the device went away, or the waits were aborted
    };
    // Reads and drops what arrives until the line has been quiet, or the
    // bound passes; nReplyBytes came with the reply before it.
    Quiet WaitQuiet(int nReplyBytes);
    int Seconds() const { return (m_nBoundMs + 999) / 1000; }

    DeviceLink &m_link;
    int m_nBoundMs = 0;
    QElapsedTimer m_since;        // from when a busy line was first found
    bool m_bSaid = false;         // signal_LineBusy sent
    bool m_bEchoRetried = false;  // asked again at once for an echo after the data
    bool m_bKeptBusy = false;
};

#endif // BUSYLINE_H
