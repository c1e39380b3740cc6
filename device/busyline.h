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
// Only what has the shape of the device's record lines counts as its
// stream: anything else that talks on a port (a GPS receiver, a modem) is
// not this device, and is told so at once instead of being waited for.
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
    // A record line is some tens of bytes; more than this without a line
    // end is no record.
    static constexpr int kLineBytes = 1024;

    // What a look at a port heard instead of an answer.
    enum class Talk
    {
        Nothing,    // silence, or a short wrong answer
        Records,    // the device's record lines: the rest of a stream it still sends
        Foreign,    // a stream of something else: not this device
    };
    // Text lines as the device sends its records: printable words separated
    // by single spaces, each line ending in a line feed (a carriage return
    // may follow it, never precede it), for most of the lines that are not
    // blank. The first line may be cut at its start, the last one at its
    // end; at least one line end must be there.
    static bool LooksLikeRecords(const QByteArray &bytes);
    // What the last failed look at the link's port heard (its reply).
    Talk LastReplyTalk() const;

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
    // The line never fell quiet within the bound (the link's error says so).
    bool KeptBusy() const { return m_bKeptBusy; }
    // The last Identify heard a stream that is not the device's.
    bool HeardForeign() const { return m_bForeign; }

private:
    enum class Quiet
    {
        Silent,      // nothing arrived: the line was quiet already
        AfterData,   // a stream arrived, then the line fell quiet
        Never,       // data kept arriving until the bound
        Foreign,     // what arrives is not the device's records
        Ended,       // the device went away, or the waits were aborted
    };
    // Reads and drops what arrives until the line has been quiet, or the
    // bound passes; reply came as the answer before it.
    Quiet WaitQuiet(const QByteArray &reply);
    int Seconds() const { return (m_nBoundMs + 999) / 1000; }

    DeviceLink &m_link;
    int m_nBoundMs = 0;
    QElapsedTimer m_since;        // from when a busy line was first found
    bool m_bSaid = false;         // signal_LineBusy sent
    bool m_bEchoRetried = false;  // asked again at once for an echo after the data
    bool m_bTailRetried = false;  // asked again after a few record lines and quiet
    bool m_bKeptBusy = false;
    bool m_bForeign = false;
};

#endif // BUSYLINE_H
