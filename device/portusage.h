#ifndef PORTUSAGE_H
#define PORTUSAGE_H

#include "device/portlister.h"

#include <QList>
#include <QString>

// Which of the listed ports are in use, for the support file, told without
// ever blocking the caller on a port.
//
// Qt's QSerialPortInfo::isBusy is no help here: on Windows it opens the
// port exclusively on the calling thread (CreateFile), and an outgoing
// Bluetooth or modem port may hold that open for seconds; on Unix it only
// reads the port's lock file. So every listed port gets the same exclusive
// trial open, all at once, each on a thread of its own (PortTrial), while
// the caller's loop runs (the window keeps painting), for at most
// Waits::nSupportPortCheckMs; a port whose open has not returned by then is
// written down as not known. On Unix a lock file that names a living
// process ("LCK..<name>", taken by Qt's own serial port, minicom and the
// other programs of the UUCP tradition) tells it too, and names who holds
// it: root opens a port that another program holds, where a standard user
// is refused (TIOCEXCL).
namespace PortUsage {

enum class Use
{
    Free,       // it opened and was closed again at once
    InUse,      // another program (or this one) holds it
    Unknown,    // its open had not returned within the bound
    NotOpened,  // it was refused for another reason (missing, no right to it)
};

struct Entry
{
    PortLister::Port port;
    Use eUse = Use::Unknown;
    QString sNote;   // in English, for support: how it was told
};

// Every port PortLister::AvailablePorts lists, in its order, each with its
// use. Returns within Waits::nSupportPortCheckMs and a little.
QList<Entry> Check();

// "no", "yes", "not known", "could not be opened".
QString UseWord(Use eUse);

} // namespace PortUsage

#endif // PORTUSAGE_H
