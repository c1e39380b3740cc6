#ifndef SUPPORTSUMMARY_H
#define SUPPORTSUMMARY_H

#include "app/supportlogs.h"
#include "device/portusage.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

// The support file's summary.txt: what support asks for next once it has
// the log, in English (support reads it, whatever the interface language)
// and UTF-8. The program's version and build, the system, Qt, the screens
// (the command line has none), the ports as the program lists them with
// what the system says of each and whether it is in use, the last job's
// outcome, and what the support file holds.
//
// The screens come from the window's side as text: asking Qt Gui's
// application object here would link the whole of a static Qt Gui (its
// platform integration, fonts and images) into the command line, which
// needs only its archive writer.
namespace SupportSummary {

struct Facts
{
    QString sProgram;                       // "kestrelpack" or "kestrelpack-cli"
    bool bWindow = false;                   // the program has a window, on these screens:
    QStringList screens;                    // one line each
    QDateTime written;
    QString sDataDir;
    QString sPortOrigin;                    // PortLister::ListOrigin()
    int nPortCheckMs = 0;                   // the bound of the in-use check
    QList<PortUsage::Entry> ports;
    QString sLastJob;                       // empty: none known
    QString sLastJobSource;                 // where it was read
    QList<SupportLogs::Piece> pieces;       // the files taken and left out
};

QString Text(const Facts &facts);

} // namespace SupportSummary

#endif // SUPPORTSUMMARY_H
