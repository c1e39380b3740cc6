#include "device/logexport.h"

#include "device/devicelink.h"
#include "device/reportformatter.h"
#include "device/waits.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QTimer>

namespace {

// The texts belong to the worker's requests and its translations.
QString Tr(const char *szText)
{
    return QCoreApplication::translate("SerialWorker", szText);
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
}

LogExport::~LogExport()
{
    delete m_pTimer;
}

int LogExport::Progress(qint64 nStreamSize, int nRecordCount, int nFallbackTicks)
{
    int nProgress = 0;
    if (nRecordCount != 0) {
        const double fProgress = double(nStreamSize) / (double(nRecordCount) * kRecordStreamBytes) * 100.0;
        nProgress = fProgress >= 99.0 ? 99 : int(fProgress);
    } else {
        nProgress = nFallbackTicks / 10;
    }
    return qBound(1, nProgress, 98);
}

bool LogExport::Open(const QString &sDirPath, int nRecordCount, QString &sError)
{
    const QString sPath = ReportFormatter::ReportFilePath(sDirPath, QDateTime::currentDateTime());
    m_nRecordCount = nRecordCount;
    m_nLastSize = 0;
    m_nIdleTicks = 0;
    m_nFallbackProgress = 1;
    if (m_reportFile.isOpen()) {
        m_reportFile.close();
    }
    m_reportFile.setFileName(sPath);
    // Truncate: a report of the same name (an export within the same
    // second, or a clock set back) must not keep its old tail.
    if (!m_reportFile.open(QIODevice::ReadWrite | QIODevice::Truncate)) {
        qDebug().noquote() << "Open File fail: " + sPath;
        sError = Tr("Cannot create the report file %1: %2")
                     .arg(QDir::toNativeSeparators(sPath), m_reportFile.errorString());
        return false;
    }
    m_stream.clear();
    connect(m_link.SerialPort(), &QSerialPort::readyRead, this, &LogExport::ReadData, Qt::UniqueConnection);
    delete m_pTimer;
    m_pTimer = new QTimer;
    m_pTimer->setTimerType(Qt::PreciseTimer);
    connect(m_pTimer, &QTimer::timeout, this, &LogExport::Tick);
    return true;
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
}

void LogExport::StopCollection()
{
    if (m_pTimer) {
        m_pTimer->stop();
        disconnect(m_pTimer, &QTimer::timeout, this, &LogExport::Tick);
        m_pTimer->deleteLater();
        m_pTimer = nullptr;
    }
    if (m_link.SerialPort()) {
        disconnect(m_link.SerialPort(), &QSerialPort::readyRead, this, &LogExport::ReadData);
    }
}

void LogExport::ReadData()
{
    m_stream.append(m_link.SerialPort()->readAll());
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
        const int nProgress = Progress(nSize, m_nRecordCount, m_nFallbackProgress);
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

LogExport::Outcome LogExport::Finish(bool bDeviceGone)
{
    QSerialPort *pPort = m_link.SerialPort();
    if (!bDeviceGone && pPort && pPort->isOpen()) {
        m_stream.append(pPort->readAll());
    }
    StopCollection();
    Outcome outcome;
    outcome.nBytes = m_stream.size();
    outcome.bWritten = WriteReport(outcome.sError);
    // A stream that stopped before the records the device announced (a
    // pause longer than the idle ticks, or no stream at all) is no complete
    // report, whatever was written.
    outcome.nLines = StreamLines(m_stream);
    outcome.bShort = m_nRecordCount > 0 && outcome.nLines < m_nRecordCount;
    m_stream.clear();
    return outcome;
}

bool LogExport::WriteReport(QString &sError)
{
    if (!m_reportFile.isOpen()) {
        return false;
    }
    const QByteArray report = ReportFormatter::ToCsv(m_stream);
    const qint64 nWritten = m_reportFile.write(report);
    bool bOk = nWritten == report.size() && m_reportFile.flush();
    m_reportFile.close();
    bOk = bOk && m_reportFile.error() == QFileDevice::NoError;
    if (!bOk) {
        sError = Tr("Cannot write the report file %1: %2")
                     .arg(QDir::toNativeSeparators(m_reportFile.fileName()), m_reportFile.errorString());
        qDebug() << sError;
    }
    return bOk;
}
