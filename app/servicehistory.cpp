#include "app/servicehistory.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QJsonObject>
#include <QElapsedTimer>
#include <QLockFile>
#include <QThread>

namespace {

// How long an append waits for other processes' appends, how often it tries
// meanwhile, and after how long a lock left by a process that was stopped
// counts as left (milliseconds each). An append takes milliseconds, but
// eight stations appending at once on a busy disk queue for longer; and
// QLockFile's own wait doubles its pauses, so that with others appending it
// could miss every free moment and give the record up.
constexpr int kLockWaitMs = 5000;
constexpr int kLockRetryMs = 20;
constexpr int kStaleLockMs = 30000;

const char *const kColumns[] = {
    "time", "program_version", "computer", "port", "port_vendor_id", "port_product_id", "port_serial",
    "job", "device_serial", "firmware_before", "firmware_after", "firmware_file", "firmware_size",
    "firmware_sha256", "report_file", "report_records", "report_sha256", "outcome", "failure_kind",
    "reason", "duration_s",
};

QString Number(qint64 nValue)
{
    return nValue < 0 ? QString() : QString::number(nValue);
}

qint64 NumberOf(const QString &sText)
{
    bool bOk = false;
    const qint64 nValue = sText.toLongLong(&bOk);
    return bOk ? nValue : -1;
}

} // namespace

// The time as the computer's clock showed it, with the offset that says
// which time that was.
QString ServiceHistory::TimeText(const QDateTime &time)
{
    const int nOffsetS = time.offsetFromUtc();
    const int nMinutes = qAbs(nOffsetS) / 60;
    return time.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"))
           + QStringLiteral("%1%2:%3")
                 .arg(nOffsetS < 0 ? QLatin1Char('-') : QLatin1Char('+'))
                 .arg(nMinutes / 60, 2, 10, QLatin1Char('0'))
                 .arg(nMinutes % 60, 2, 10, QLatin1Char('0'));
}

namespace {

// A field as CSV: quoted when it holds a separator, a quote or a line end.
// A record stays on one line (a line end in a reason becomes a space), so
// that a line cut short by a stopped process can be told and skipped.
QString Field(QString sText)
{
    sText.replace(QLatin1String("\r\n"), QLatin1String(" "));
    sText.replace(QLatin1Char('\r'), QLatin1Char(' '));
    sText.replace(QLatin1Char('\n'), QLatin1Char(' '));
    if (sText.contains(QLatin1Char(',')) || sText.contains(QLatin1Char('"'))) {
        sText.replace(QLatin1String("\""), QLatin1String("\"\""));
        return QLatin1Char('"') + sText + QLatin1Char('"');
    }
    return sText;
}

// One line's fields; false when its quotes do not close.
bool SplitLine(const QString &sLine, QStringList *pFields)
{
    pFields->clear();
    QString sField;
    bool bQuoted = false;
    for (int i = 0; i < sLine.size(); ++i) {
        const QChar c = sLine.at(i);
        if (bQuoted) {
            if (c != QLatin1Char('"')) {
                sField += c;
            } else if (i + 1 < sLine.size() && sLine.at(i + 1) == QLatin1Char('"')) {
                sField += c;
                ++i;
            } else {
                bQuoted = false;
            }
        } else if (c == QLatin1Char('"')) {
            bQuoted = true;
        } else if (c == QLatin1Char(',')) {
            *pFields << sField;
            sField.clear();
        } else {
            sField += c;
        }
    }
    *pFields << sField;
    return !bQuoted;
}

QStringList Values(const ServiceRecord &r)
{
    return {ServiceHistory::TimeText(r.end), r.sProgramVersion, r.sComputer, r.sPort, r.sPortVendorId, r.sPortProductId,
            r.sPortSerial, r.sJob, r.sDeviceSerial, r.sFirmwareBefore, r.sFirmwareAfter, r.sFirmwareFile,
            Number(r.nFirmwareSize), r.sFirmwareSha256, r.sReportFile, Number(r.nReportRecords), r.sReportSha256,
            r.sOutcome, r.sFailureKind, r.sReason,
            r.nDurationMs < 0 ? QString() : QString::number(qRound64(r.nDurationMs / 100.0) / 10.0, 'f', 1)};
}

ServiceRecord RecordOf(const QHash<QString, QString> &v)
{
    ServiceRecord r;
    r.end = QDateTime::fromString(v.value(QStringLiteral("time")), Qt::ISODate);
    r.sProgramVersion = v.value(QStringLiteral("program_version"));
    r.sComputer = v.value(QStringLiteral("computer"));
    r.sPort = v.value(QStringLiteral("port"));
    r.sPortVendorId = v.value(QStringLiteral("port_vendor_id"));
    r.sPortProductId = v.value(QStringLiteral("port_product_id"));
    r.sPortSerial = v.value(QStringLiteral("port_serial"));
    r.sJob = v.value(QStringLiteral("job"));
    r.sDeviceSerial = v.value(QStringLiteral("device_serial"));
    r.sFirmwareBefore = v.value(QStringLiteral("firmware_before"));
    r.sFirmwareAfter = v.value(QStringLiteral("firmware_after"));
    r.sFirmwareFile = v.value(QStringLiteral("firmware_file"));
    r.nFirmwareSize = NumberOf(v.value(QStringLiteral("firmware_size")));
    r.sFirmwareSha256 = v.value(QStringLiteral("firmware_sha256"));
    r.sReportFile = v.value(QStringLiteral("report_file"));
    r.nReportRecords = NumberOf(v.value(QStringLiteral("report_records")));
    r.sReportSha256 = v.value(QStringLiteral("report_sha256"));
    r.sOutcome = v.value(QStringLiteral("outcome"));
    r.sFailureKind = v.value(QStringLiteral("failure_kind"));
    r.sReason = v.value(QStringLiteral("reason"));
    bool bOk = false;
    const double dSeconds = v.value(QStringLiteral("duration_s")).toDouble(&bOk);
    r.nDurationMs = bOk ? qRound64(dSeconds * 1000) : -1;
    return r;
}

// Readies the history for an append, under its lock: a line that a process
// stopped mid-write (a power cut, a full disk) left without its end is cut
// off, since what it holds cannot be trusted whole; a history whose header
// names other columns (another version's) is kept under a name of its own
// and a new one begun, so that no line lands under the wrong column.
bool StartsWhole(const QString &sFile, const QByteArray &header, QString *psError)
{
    QFile file(sFile);
    if (!file.exists() || file.size() == 0) {
        return true;
    }
    if (!file.open(QIODevice::ReadWrite)) {
        if (psError) {
            *psError = file.errorString();
        }
        return false;
    }
    const QByteArray first = file.readLine().trimmed();
    if (first != header && !(first.startsWith("\xEF\xBB\xBF") && first.mid(3) == header)) {
        file.close();
        const QString sKept = QStringLiteral("%1.%2.csv")
                                  .arg(sFile.endsWith(QLatin1String(".csv")) ? sFile.chopped(4) : sFile,
                                       QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")));
        if (!QFile::rename(sFile, sKept)) {
            if (psError) {
                *psError = QStringLiteral("its header names other columns, and it cannot be renamed to %1").arg(sKept);
            }
            return false;
        }
        return true;
    }
    // The last line end: whatever follows it is a line left unfinished.
    const qint64 nSize = file.size();
    const qint64 nFrom = qMax<qint64>(0, nSize - 65536);
    if (!file.seek(nFrom)) {
        return true;
    }
    const QByteArray tail = file.read(nSize - nFrom);
    const int nLastEnd = tail.lastIndexOf('\n');
    if (nLastEnd == tail.size() - 1) {
        return true;
    }
    if (nLastEnd < 0 && nFrom > 0) {
        return true;   // no line of this program's is that long: not ours to cut
    }
    return file.resize(nLastEnd >= 0 ? nFrom + nLastEnd + 1 : 0);
}

} // namespace

namespace ServiceHistory {

QStringList Columns()
{
    QStringList columns;
    for (const char *szName : kColumns) {
        columns << QLatin1String(szName);
    }
    return columns;
}

QJsonObject JsonOf(const ServiceRecord &r)
{
    // The file's columns, by their names.
    QJsonObject object;
    object.insert(QStringLiteral("time"), TimeText(r.end));
    object.insert(QStringLiteral("program_version"), r.sProgramVersion);
    object.insert(QStringLiteral("computer"), r.sComputer);
    object.insert(QStringLiteral("port"), r.sPort);
    object.insert(QStringLiteral("port_vendor_id"), r.sPortVendorId);
    object.insert(QStringLiteral("port_product_id"), r.sPortProductId);
    object.insert(QStringLiteral("port_serial"), r.sPortSerial);
    object.insert(QStringLiteral("job"), r.sJob);
    object.insert(QStringLiteral("device_serial"), r.sDeviceSerial);
    object.insert(QStringLiteral("firmware_before"), r.sFirmwareBefore);
    object.insert(QStringLiteral("firmware_after"), r.sFirmwareAfter);
    object.insert(QStringLiteral("firmware_file"), r.sFirmwareFile);
    object.insert(QStringLiteral("firmware_size"), r.nFirmwareSize < 0 ? QJsonValue() : QJsonValue(r.nFirmwareSize));
    object.insert(QStringLiteral("firmware_sha256"), r.sFirmwareSha256);
    object.insert(QStringLiteral("report_file"), r.sReportFile);
    object.insert(QStringLiteral("report_records"),
                  r.nReportRecords < 0 ? QJsonValue() : QJsonValue(r.nReportRecords));
    object.insert(QStringLiteral("report_sha256"), r.sReportSha256);
    object.insert(QStringLiteral("outcome"), r.sOutcome);
    object.insert(QStringLiteral("failure_kind"), r.sFailureKind);
    object.insert(QStringLiteral("reason"), r.sReason);
    object.insert(QStringLiteral("duration_s"),
                  r.nDurationMs < 0 ? QJsonValue() : QJsonValue(qRound64(r.nDurationMs / 100.0) / 10.0));
    Q_ASSERT(object.size() == Columns().size());
    return object;
}

QString CsvLine(const ServiceRecord &record)
{
    QStringList fields;
    for (const QString &sValue : Values(record)) {
        fields << Field(sValue);
    }
    return fields.join(QLatin1Char(','));
}

bool Append(const QString &sFile, const ServiceRecord &record, QString *psError)
{
    const auto fail = [psError](const QString &sWhy) {
        if (psError) {
            *psError = sWhy;
        }
        return false;
    };
    QLockFile lock(sFile + QStringLiteral(".lock"));
    lock.setStaleLockTime(kStaleLockMs);
    QElapsedTimer waited;
    waited.start();
    while (!lock.tryLock(0)) {
        if (lock.error() != QLockFile::LockFailedError) {
            return fail(QStringLiteral("its lock file cannot be made"));
        }
        if (waited.hasExpired(kLockWaitMs)) {
            return fail(QStringLiteral("another process kept the history locked for %1 s").arg(kLockWaitMs / 1000));
        }
        QThread::msleep(kLockRetryMs);
    }
    const QByteArray header = Columns().join(QLatin1Char(',')).toUtf8();
    if (!StartsWhole(sFile, header, psError)) {
        return false;
    }
    QByteArray text;
    if (QFileInfo(sFile).size() == 0) {
        text += header + '\n';
    }
    text += CsvLine(record).toUtf8() + '\n';
    QFile file(sFile);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        return fail(file.errorString());
    }
    // One write: a process stopped meanwhile leaves at most this line
    // unfinished, never a piece of it inside another's.
    if (file.write(text) != text.size() || !file.flush()) {
        return fail(file.errorString());
    }
    return true;
}

bool Read(const QString &sFile, QList<ServiceRecord> *pRecords, QString *psError)
{
    pRecords->clear();
    QFile file(sFile);
    if (!file.exists()) {
        return true;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        if (psError) {
            *psError = file.errorString();
        }
        return false;
    }
    const QList<QByteArray> lines = file.readAll().split('\n');
    if (lines.isEmpty()) {
        return true;
    }
    QStringList header;
    SplitLine(QString::fromUtf8(lines.first()).trimmed(), &header);
    QStringList fields;
    for (int i = 1; i < lines.size(); ++i) {
        // The last piece has no line end: an unfinished line, or nothing.
        if (i == lines.size() - 1) {
            break;
        }
        const QString sLine = QString::fromUtf8(lines.at(i));
        if (!SplitLine(sLine.endsWith(QLatin1Char('\r')) ? sLine.chopped(1) : sLine, &fields)
            || fields.size() != header.size()) {
            continue;
        }
        QHash<QString, QString> values;
        for (int c = 0; c < header.size(); ++c) {
            values.insert(header.at(c), fields.at(c));
        }
        *pRecords << RecordOf(values);
    }
    return true;
}

QString Sha256Of(const QString &sFile, qint64 *pnSize)
{
    QFile file(sFile);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!file.open(QIODevice::ReadOnly) || !hash.addData(&file)) {
        return QString();
    }
    if (pnSize) {
        *pnSize = file.size();
    }
    return QString::fromLatin1(hash.result().toHex());
}

} // namespace ServiceHistory
