#include "cli/historycommand.h"

#include "app/servicehistory.h"
#include "cli/failurewords.h"

#include <QDir>
#include <QJsonObject>

namespace {

QString Versions(const ServiceRecord &r)
{
    if (r.sJob != QLatin1String("upgrade")) {
        return r.sFirmwareAfter.isEmpty() ? QString() : QStringLiteral("firmware %1").arg(r.sFirmwareAfter);
    }
    const QString sBefore = r.sFirmwareBefore.isEmpty() ? QStringLiteral("?") : r.sFirmwareBefore;
    const QString sAfter = r.sFirmwareAfter.isEmpty() ? QStringLiteral("?") : r.sFirmwareAfter;
    return QStringLiteral("firmware %1 -> %2").arg(sBefore, sAfter);
}

// One record as a person reads it: when, what, which device, which files,
// how it ended.
QString Line(const ServiceRecord &r)
{
    QStringList parts;
    parts << ServiceHistory::TimeText(r.end) << r.sJob
          << (r.sPort.isEmpty() ? QStringLiteral("no port") : r.sPort);
    if (!r.sDeviceSerial.isEmpty()) {
        parts << QStringLiteral("serial %1").arg(r.sDeviceSerial);
    }
    const QString sVersions = Versions(r);
    if (!sVersions.isEmpty()) {
        parts << sVersions;
    }
    if (!r.sFirmwareFile.isEmpty()) {
        parts << QStringLiteral("file %1 (%2 bytes, SHA-256 %3)")
                     .arg(r.sFirmwareFile, QString::number(r.nFirmwareSize), r.sFirmwareSha256);
    }
    if (!r.sReportFile.isEmpty()) {
        parts << QStringLiteral("report %1 (%2 records, SHA-256 %3)")
                     .arg(r.sReportFile, QString::number(r.nReportRecords), r.sReportSha256);
    }
    parts << (r.sFailureKind.isEmpty() ? r.sOutcome
                                       : QStringLiteral("%1 (%2): %3").arg(r.sOutcome, r.sFailureKind, r.sReason));
    return parts.join(QStringLiteral("  "));
}

} // namespace

QDateTime SinceTime(const QString &sText)
{
    const QDate date = QDate::fromString(sText, Qt::ISODate);
    if (date.isValid() && sText.size() == 10) {
        return QDateTime(date, QTime(0, 0));
    }
    return QDateTime::fromString(sText, Qt::ISODate);
}

int RunHistory(const QString &sFile, const HistoryQuery &query, Output::Mode eMode)
{
    Output out;
    out.Setup(eMode, QStringLiteral("history"), QString());
    QList<ServiceRecord> records;
    QString sError;
    if (!ServiceHistory::Read(sFile, &records, &sError)) {
        out.Outcome(ExitReport, QStringLiteral("the service history %1 cannot be read (%2)")
                                    .arg(QDir::toNativeSeparators(sFile), sError));
        return ExitReport;
    }
    int nShown = 0;
    for (const ServiceRecord &record : qAsConst(records)) {
        // Hex digits, as typed: 0800000a is 0800000A.
        if (!query.sSerial.isEmpty() && record.sDeviceSerial.compare(query.sSerial, Qt::CaseInsensitive) != 0) {
            continue;
        }
        if (query.since.isValid() && (!record.end.isValid() || record.end < query.since)) {
            continue;
        }
        ++nShown;
        out.Event(QStringLiteral("record"), Line(record), ServiceHistory::JsonOf(record));
    }
    out.Outcome(ExitSuccess,
                QStringLiteral("%1 record(s) in %2").arg(nShown).arg(QDir::toNativeSeparators(sFile)),
                QJsonObject{{QStringLiteral("records"), nShown},
                            {QStringLiteral("file"), QDir::toNativeSeparators(sFile)}});
    return ExitSuccess;
}
