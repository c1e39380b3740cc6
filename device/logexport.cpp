#include "device/logexport.h"

#include "device/busyline.h"
#include "device/devicelink.h"
#include "device/reportformatter.h"
#include "device/waits.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QTimer>

namespace {

// How many exports may start within one second in one folder.
constexpr int kMaxReportNumber = 9999;

// The texts belong to the worker's requests and its translations; each is
// marked where it is written, so that the translators' tools find it.
ReasonText Tr(const char *szText, FailureKind eKind)
{
    return ReasonText::Tr("SerialWorker", szText, eKind);
}

ReasonText TrCount(const char *szText, const char *szEnglishOne, int nCount, FailureKind eKind)
{
    return ReasonText::TrCount("SerialWorker", szText, szEnglishOne, nCount, eKind);
}

// Lines of a record stream that hold anything but line ends and blanks:
// records and the device's invalid-record lines alike, a last line without
// its line end too. An export holds every record once there are at least as
// many as the device announced.
int StreamLines(const QByteArray &stream)
{
    int nLines = 0;
    bool bContent = false;
    for (const char c : stream) {
        if (c == '\n') {
            nLines += bContent ? 1 : 0;
            bContent = false;
        } else if (c != '\r' && c != ' ' && c != '\t') {
            bContent = true;
        }
    }
    return nLines + (bContent ? 1 : 0);
}

} // namespace

LogExport::LogExport(DeviceLink &link, QObject *parent) : QObject(parent), m_link(link)
{
    m_pQuietTimer = new QTimer(this);
    m_pQuietTimer->setSingleShot(true);
    m_pQuietTimer->setTimerType(Qt::PreciseTimer);
    connect(m_pQuietTimer, &QTimer::timeout, this, [this]() {
        if (IsCollecting()) {
            qDebug() << "Export: all" << m_nRecordCount << "announced records received";
            emit signal_StreamEnded(false);
        }
    });
}

LogExport::~LogExport()
{
    if (!IsCollecting() && IsReserved()) {
        Discard();
    }
    delete m_pTimer;
}

qint64 LogExport::StreamLimit(int nRecordCount)
{
    if (nRecordCount <= 0) {
        return kStreamCeilingBytes;
    }
    return qMin(2 * qint64(nRecordCount) * kRecordStreamBytes + kStreamSlackBytes, kStreamCeilingBytes);
}

qint64 LogExport::StreamMs(int nRecordCount)
{
    if (nRecordCount <= 0) {
        return 0;
    }
    return qint64(nRecordCount) * kRecordStreamBytes * 1000 / kLineBytesPerSecond + Waits::Current().nBusySlackMs;
}

int LogExport::Progress(int nRecordsReceived, int nRecordCount, int nFallbackTicks)
{
    int nProgress = 0;
    if (nRecordCount > 0) {
        nProgress = int(qint64(nRecordsReceived) * 100 / nRecordCount);
    } else {
        nProgress = nFallbackTicks / 10;
    }
    return qBound(1, nProgress, 98);
}

bool LogExport::Reserve(const QString &sDirPath, ReasonText &error)
{
    if (m_reportFile.isOpen()) {
        m_reportFile.close();
    }
    m_sDirPath = sDirPath;
    m_start = QDateTime::currentDateTime();
    for (int nNumber = 1; nNumber <= kMaxReportNumber; ++nNumber) {
        using Stage = ReportFormatter::Stage;
        if (QFileInfo::exists(ReportFormatter::ReportFilePath(sDirPath, m_start, nNumber, Stage::Complete))
            || QFileInfo::exists(ReportFormatter::ReportFilePath(sDirPath, m_start, nNumber, Stage::Partial))) {
            continue;
        }
        const QString sPath = ReportFormatter::ReportFilePath(sDirPath, m_start, nNumber, Stage::Unfinished);
        m_reportFile.setFileName(sPath);
        // Created, never opened over an existing file: an export of the
        // same second, here or in another program, keeps its own.
        if (m_reportFile.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            m_nNumber = nNumber;
            return true;
        }
        if (!QFileInfo::exists(sPath)) {
            break;
        }
    }
    qDebug().noquote() << "Open File fail: " + m_reportFile.fileName();
    error = Tr(QT_TRANSLATE_NOOP("SerialWorker", "Cannot create the report file %1: %2"),
               FailureKind::ReportNotCreated)
                .arg(ReasonText::File(m_reportFile.fileName()),
                     ReasonText::Plain(m_reportFile.errorString(), FailureKind::None));
    return false;
}

void LogExport::Collect(int nRecordCount)
{
    m_nRecordCount = nRecordCount;
    m_nStreamLimit = StreamLimit(nRecordCount);
    // Should this export be left while the device still sends, the next
    // job waits for the rest of the stream this long at most.
    BusyLine::NoteStreamOwedMs(StreamMs(nRecordCount));
    m_bOverLimit = false;
    m_nLastSize = 0;
    m_nIdleTicks = 0;
    m_nFallbackProgress = 1;
    m_nRecordsReceived = 0;
    m_nScanned = 0;
    m_nLineStart = 0;
    m_pQuietTimer->stop();
    m_stream.clear();
    // Read as the stream arrives and on the poll: a port whose driver
    // signals nothing (Wine) still delivers, and a dead handle reports its
    // error at the next read.
    m_pReads = std::make_unique<ReadPoll>(m_link.SerialPort(), [this]() { ReadData(); });
    m_pReads->Start();
    delete m_pTimer;
    m_pTimer = new QTimer;
    m_pTimer->setTimerType(Qt::PreciseTimer);
    connect(m_pTimer, &QTimer::timeout, this, &LogExport::Tick);
}

void LogExport::StartTicks()
{
    if (m_pTimer) {
        m_pTimer->start(Waits::Current().nExportTickMs);
    }
}

void LogExport::Discard()
{
    StopCollection();
    m_reportFile.close();
    m_reportFile.remove();
    m_stream.clear();
}

void LogExport::StopCollection()
{
    m_pQuietTimer->stop();
    if (m_pTimer) {
        m_pTimer->stop();
        disconnect(m_pTimer, &QTimer::timeout, this, &LogExport::Tick);
        m_pTimer->deleteLater();
        m_pTimer = nullptr;
    }
    if (m_pReads) {
        m_pReads->Stop();
    }
}

void LogExport::ReadData()
{
    if (m_bOverLimit) {
        return;
    }
    const QByteArray bytes = m_link.SerialPort()->readAll();
    if (bytes.isEmpty()) {
        return;
    }
    m_stream.append(bytes);
    CountRecords();
    if (m_nRecordCount > 0 && m_nRecordsReceived >= m_nRecordCount) {
        // Every announced record is in: what still comes within the quiet
        // time (an invalid-record line, the last line end) belongs to the
        // stream; then it has ended, without the idle ticks' seconds.
        m_pQuietTimer->start(Waits::Current().nOpenEndQuietMs);
    }
    if (m_stream.size() > m_nStreamLimit) {
        // No device sends this much: stop reading and end the export from
        // the event loop, not from inside the port's notification.
        m_bOverLimit = true;
        m_pReads->Stop();
        QMetaObject::invokeMethod(
            this,
            [this]() {
                if (IsCollecting()) {
                    emit signal_StreamEnded(false);
                }
            },
            Qt::QueuedConnection);
    }
}

void LogExport::CountRecords()
{
    static const QByteArray kInvalidRecord("An invalid record.");
    for (; m_nScanned < m_stream.size(); ++m_nScanned) {
        if (m_stream.at(m_nScanned) != '\n') {
            continue;
        }
        const QByteArray line = m_stream.mid(m_nLineStart, m_nScanned - m_nLineStart).trimmed();
        if (!line.isEmpty() && line != kInvalidRecord) {
            ++m_nRecordsReceived;
        }
        m_nLineStart = m_nScanned + 1;
    }
}

void LogExport::Tick()
{
    if (!m_pTimer) {
        return;
    }
    if (m_link.DeviceGone()) {
        emit signal_StreamEnded(true);
        return;
    }
    const int nSize = m_stream.size();
    if (nSize != m_nLastSize) {
        m_nLastSize = nSize;
        qDebug() << "m_nLastSize:" << m_nLastSize;
        // Pauses in the stream are normal (the device reads its memory in
        // pages): only ticks without growth in a row end the export.
        m_nIdleTicks = 0;
        if (m_nRecordCount == 0) {
            ++m_nFallbackProgress;
        }
        const int nProgress = Progress(m_nRecordsReceived, m_nRecordCount, m_nFallbackProgress);
        qDebug() << "nProgressValue:" << nProgress;
        emit signal_Progress(nProgress);
        return;
    }
    if (m_nIdleTicks < Waits::Current().nExportIdleTicks) {
        ++m_nIdleTicks;
        return;
    }
    emit signal_StreamEnded(false);
}

LogExport::Outcome LogExport::Finish(Ending ending)
{
    QSerialPort *pPort = m_link.SerialPort();
    if (ending != Ending::DeviceGone && !m_bOverLimit && pPort && pPort->isOpen()) {
        m_stream.append(pPort->readAll());
    }
    StopCollection();
    Outcome outcome;
    outcome.nBytes = m_stream.size();
    const bool bArrived = !m_stream.isEmpty();
    // Why what arrived is no complete report, whatever could be written.
    QList<ReasonText> reasons;
    ReasonText writeError;
    if (!WriteReport(writeError)) {
        reasons << writeError;
    }
    const int nLines = StreamLines(m_stream);
    m_stream.clear();
    if (ending == Ending::DeviceGone) {
        reasons << Tr(QT_TRANSLATE_NOOP("SerialWorker", "The device was disconnected during the export"),
                      FailureKind::DeviceLost);
    } else if (ending == Ending::Interrupted) {
        reasons << Tr(QT_TRANSLATE_NOOP("SerialWorker", "The export was interrupted"), FailureKind::Interrupted);
    } else if (m_bOverLimit) {
        reasons << TrCount(QT_TRANSLATE_N_NOOP("SerialWorker", "The device did not stop sending: more than %1 bytes "
                                                               "arrived for %n announced records; the export was "
                                                               "stopped"),
                           "The device did not stop sending: more than %1 bytes arrived for %n announced record; the "
                           "export was stopped",
                           m_nRecordCount, FailureKind::ReportIncomplete)
                       .arg(m_nStreamLimit);
    } else if (m_nRecordCount > 0 && !bArrived) {
        reasons << TrCount(QT_TRANSLATE_N_NOOP("SerialWorker", "The device sent none of the %n records it announced"),
                           "The device did not send the %n record it announced", m_nRecordCount,
                           FailureKind::ReportIncomplete);
    } else if (m_nRecordCount > 0 && nLines < m_nRecordCount) {
        // A stream that stopped before the records the device announced (a
        // pause longer than the idle ticks) is no complete report.
        reasons << TrCount(QT_TRANSLATE_N_NOOP("SerialWorker", "The report holds %1 of the %n records the device "
                                                               "announced"),
                           "The report holds %1 of the %n record the device announced", m_nRecordCount,
                           FailureKind::ReportIncomplete)
                       .arg(nLines);
    }
    ReasonText error;
    if (reasons.isEmpty()) {
        if (Settle(ReportFormatter::Stage::Complete, outcome.sPath, error)) {
            outcome.bComplete = true;
            return outcome;
        }
        reasons << error;
    }
    // The kind is the first reason's, except that a lost device outweighs
    // a report that could not be written.
    for (const ReasonText &reason : qAsConst(reasons)) {
        if (outcome.error.IsEmpty()) {
            outcome.error = reason;
            continue;
        }
        // Two sentences: a reason begins with a capital and has no full stop
        // of its own (the advice under the status closes the last one), so
        // the first is closed here, with a full-width stop in Chinese.
        const FailureKind eKind = reason.eKind == FailureKind::DeviceLost ? reason.eKind : outcome.error.eKind;
        outcome.error = Tr(QT_TRANSLATE_NOOP("SerialWorker", "%1. %2"), eKind).arg(outcome.error, reason);
    }
    if (!bArrived) {
        // Nothing arrived: nothing to keep.
        m_reportFile.remove();
        return outcome;
    }
    if (!Settle(ReportFormatter::Stage::Partial, outcome.sPath, error)) {
        qDebug().noquote() << error.sEnglish;
        outcome.sPath = m_reportFile.fileName();
    }
    // The window shows the kept file's name on a line of its own; the log
    // needs its whole path.
    outcome.error.sEnglish = QStringLiteral("%1; what arrived is kept in %2")
                                 .arg(outcome.error.sEnglish,
                                      QDir::toNativeSeparators(QFileInfo(outcome.sPath).absoluteFilePath()));
    return outcome;
}

bool LogExport::WriteReport(ReasonText &error)
{
    if (!m_reportFile.isOpen()) {
        return false;
    }
    const QByteArray report = ReportFormatter::ToCsv(m_stream);
    const qint64 nWritten = m_reportFile.write(report);
    bool bOk = nWritten == report.size() && m_reportFile.flush();
    m_reportFile.close();
    bOk = bOk && m_reportFile.error() == QFileDevice::NoError;
    // Checked on disk as well: only a report of its whole size is complete.
    bOk = bOk && QFileInfo(m_reportFile.fileName()).size() == report.size();
    if (!bOk) {
        error = Tr(QT_TRANSLATE_NOOP("SerialWorker", "Cannot write the report file %1: %2"),
                   FailureKind::ReportNotWritten)
                    .arg(ReasonText::File(m_reportFile.fileName()),
                         ReasonText::Plain(m_reportFile.errorString(), FailureKind::None));
        qDebug() << error.sEnglish;
    }
    return bOk;
}

bool LogExport::Settle(ReportFormatter::Stage stage, QString &sPath, ReasonText &error)
{
    for (int nNumber = m_nNumber; nNumber <= kMaxReportNumber; ++nNumber) {
        sPath = ReportFormatter::ReportFilePath(m_sDirPath, m_start, nNumber, stage);
        if (m_reportFile.rename(sPath)) {
            return true;
        }
        if (!QFileInfo::exists(sPath)) {
            break;
        }
    }
    error = Tr(QT_TRANSLATE_NOOP("SerialWorker", "Cannot rename the report file %1 to %2: %3"),
               FailureKind::ReportNotWritten)
                .arg(ReasonText::File(m_reportFile.fileName()), ReasonText::File(sPath), m_reportFile.errorString());
    return false;
}
