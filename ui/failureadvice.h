#ifndef FAILUREADVICE_H
#define FAILUREADVICE_H

#include "device/reasontext.h"

#include <QCoreApplication>
#include <QString>

// Why a job failed and what to do next, in the interface language: the line
// a page shows under its own failure status. Chosen by the failure's kind;
// the reason as reported is used only where it alone knows the detail (the
// report's numbers and file).
//
// A page holds one for its last failure: the kind arrives just before the
// failure's result (Take), the texts are made from it whenever the page
// shows them, in the language of the moment.
class FailureAdvice
{
    Q_DECLARE_TR_FUNCTIONS(FailureAdvice)

public:
    // sReason: the failure's reason as the job reported it, in the interface
    // language; sPort: the port it concerns (empty: none known). Empty for a
    // kind the page's own status already explains.
    static QString Text(FailureKind eKind, const QString &sReason, const QString &sPort);

    // The failure's kind (FailureKind, as signals carry it) and port.
    void Take(int nKind, const QString &sPort);
    // The reason as the job reported it.
    void SetReason(const QString &sReason) { m_sReason = sReason; }
    void Clear() { *this = FailureAdvice(); }

    QString Text() const { return Text(m_eKind, m_sReason, m_sPort); }
    // sStatus, with the advice on a line of its own below it (if any).
    QString UnderStatus(const QString &sStatus) const;

private:
    FailureKind m_eKind = FailureKind::None;
    QString m_sReason;
    QString m_sPort;
};

#endif // FAILUREADVICE_H
