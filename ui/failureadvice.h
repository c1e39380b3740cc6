#ifndef FAILUREADVICE_H
#define FAILUREADVICE_H

#include "device/reasontext.h"

#include <QCoreApplication>
#include <QString>

// Why a job failed and what to do next, in the interface language: the line
// a page shows under its own failure status. Chosen by the failure's kind;
// the reason as reported is used only where it alone knows the detail (the
// report's numbers and file).
class FailureAdvice
{
    Q_DECLARE_TR_FUNCTIONS(FailureAdvice)

public:
    // sReason: the failure's reason as the job reported it, in the interface
    // language; sPort: the port it concerns (empty: none known). Empty for a
    // kind the page's own status already explains.
    static QString Text(FailureKind eKind, const QString &sReason, const QString &sPort);
};

#endif // FAILUREADVICE_H
