#include "app/supportfile.h"

#include "app/apppaths.h"
#include "app/servicehistory.h"
#include "app/logging.h"
#include "app/supportlogs.h"
#include "app/supportsummary.h"
#include "device/portlister.h"
#include "device/portusage.h"
#include "device/waits.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <QtGui/private/qzipwriter_p.h>

namespace SupportFile {

namespace {

ReasonText Tr(const char *szText)
{
    return ReasonText::Tr("SupportFile", szText, FailureKind::None);
}

// The zip in memory: QZipWriter checks none of its writes and closes the
// device it is given (QSaveFile refuses a close), so it packs into a buffer,
// which cannot fail short of memory, and the whole goes to disk in one
// checked write.
bool Pack(const QList<SupportLogs::Piece> &pieces, const QByteArray &summary, QByteArray *pZip)
{
    QBuffer buffer(pZip);
    if (!buffer.open(QIODevice::WriteOnly)) {
        return false;
    }
    QZipWriter zip(&buffer);
    zip.setCompressionPolicy(QZipWriter::AutoCompress);
    zip.addFile(QStringLiteral("summary.txt"), summary);
    for (const SupportLogs::Piece &piece : pieces) {
        if (piece.eTaken == SupportLogs::Taken::Whole || piece.eTaken == SupportLogs::Taken::Tail) {
            zip.addFile(piece.sEntry, piece.data);
        }
    }
    zip.close();
    return zip.status() == QZipWriter::NoError;
}

} // namespace

QString DefaultName(const QDateTime &time)
{
    return QStringLiteral("kestrelpack-support-%1.zip").arg(time.toString(QStringLiteral("yyyyMMdd-HHmmss")));
}

Result Write(const QString &sPath, const Writer &writer)
{
    Result result;
    result.sPath = QFileInfo(sPath).absoluteFilePath();
    KP_LOG_INFO("Support file: writing {}", QDir::toNativeSeparators(result.sPath));

    SupportSummary::Facts facts;
    facts.sProgram = writer.sProgram;
    facts.bWindow = writer.bWindow;
    facts.screens = writer.screens;
    facts.written = QDateTime::currentDateTime();
    facts.sDataDir = AppPaths::DataDir();
    facts.sPortOrigin = PortLister::ListOrigin();
    facts.nPortCheckMs = Waits::Current().nSupportPortCheckMs;
    facts.ports = PortUsage::Check();

    const QString sLogDir = AppPaths::DataDir() + QStringLiteral("/logs");
    facts.pieces = SupportLogs::RecentLogs(sLogDir);
    facts.pieces << SupportLogs::ReadBounded(AppPaths::SettingsFile(), QStringLiteral("config/config.ini"),
                                             SupportLogs::kFileBytesBound);
    SupportLogs::Piece history = SupportLogs::ReadBounded(
        AppPaths::HistoryFile(), QFileInfo(AppPaths::HistoryFile()).fileName(), SupportLogs::kFileBytesBound);
    if (history.eTaken == SupportLogs::Taken::Tail) {
        // Its last lines, under the header that names their columns.
        history.data.prepend(ServiceHistory::Columns().join(QLatin1Char(',')).toUtf8() + '\n');
    }
    facts.pieces << history;
    // The history's last line is the last job; without one, the log's last
    // "Job end:" line tells it.
    facts.sLastJob = SupportLogs::LastLine(history.data);
    if (facts.sLastJob == ServiceHistory::Columns().join(QLatin1Char(','))) {
        facts.sLastJob.clear();   // a header without records
    }
    if (!facts.sLastJob.isEmpty()) {
        facts.sLastJobSource = history.sEntry;
    } else {
        QString sLog;
        facts.sLastJob = SupportLogs::LastJobEnd(sLogDir, &sLog);
        facts.sLastJobSource = QStringLiteral("the log %1").arg(sLog);
    }

    QByteArray zip;
    if (!Pack(facts.pieces, SupportSummary::Text(facts).toUtf8(), &zip)) {
        result.reason = Tr(QT_TRANSLATE_NOOP("SupportFile", "its files could not be packed"));
        KP_LOG_INFO("Support file not written: {}", result.reason.sEnglish);
        return result;
    }

    // Under a temporary name in the same folder until it is whole; a
    // failure removes it.
    QSaveFile file(result.sPath);
    if (!file.open(QIODevice::WriteOnly)) {
        result.reason = Tr(QT_TRANSLATE_NOOP("SupportFile", "%1 cannot be created (%2)"))
                            .arg(ReasonText::File(result.sPath),
                                 ReasonText::Plain(file.errorString(), FailureKind::None));
    } else if (file.write(zip) != zip.size() || !file.commit()) {
        result.reason = Tr(QT_TRANSLATE_NOOP("SupportFile", "%1 could not be written whole (%2)"))
                            .arg(ReasonText::File(result.sPath),
                                 ReasonText::Plain(file.errorString(), FailureKind::None));
    } else {
        result.bWritten = true;
        result.nBytes = zip.size();
    }
    if (result.bWritten) {
        KP_LOG_INFO("Support file written: {}", QStringLiteral("%1 (%2 bytes, %3 ports listed)")
                                                   .arg(QDir::toNativeSeparators(result.sPath))
                                                   .arg(result.nBytes)
                                                   .arg(facts.ports.size()));
    } else {
        KP_LOG_INFO("Support file not written: {}", result.reason.sEnglish);
    }
    return result;
}

} // namespace SupportFile
