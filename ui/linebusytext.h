#ifndef LINEBUSYTEXT_H
#define LINEBUSYTEXT_H

#include <QString>

// What the three pages say while a job waits for a line that the device is
// still sending on (the rest of a record stream nobody reads), and when it
// never fell quiet. One text for every page, in the interface language.
namespace LineBusyText {
QString Waiting(int nSeconds);
QString KeepsSending();
}

#endif // LINEBUSYTEXT_H
