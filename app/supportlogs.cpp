#include "app/supportlogs.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace SupportLogs {

namespace {

// Newest first; the name decides between two written in the same moment.
QFileInfoList LogsNewestFirst(const QString &sLogDir)
{
    QFileInfoList logs = QDir(sLogDir).entryInfoList({QStringLiteral("*.log")}, QDir::Files | QDir::NoSymLinks);
    std::sort(logs.begin(), logs.end(), [](const QFileInfo &a, const QFileInfo &b) {
        const QDateTime aTime = a.lastModified();
        const QDateTime bTime = b.lastModified();
        return aTime != bTime ? aTime > bTime : a.fileName() > b.fileName();
    });
    return logs;
}

} // namespace

Piece ReadBounded(const QString &sPath, const QString &sEntry, qint64 nBound)
{
    Piece piece;
    piece.sEntry = sEntry;
    piece.sSource = sPath;
    const QFileInfo info(sPath);
    if (!info.exists()) {
        return piece;
    }
    piece.eTaken = Taken::Unreadable;
    if (!info.isFile() || info.isSymLink()) {
        piece.sError = QStringLiteral("not a regular file");
        return piece;
    }
    QFile file(sPath);
    if (!file.open(QIODevice::ReadOnly)) {
        piece.sError = file.errorString();
        return piece;
    }
    // The size as it is now: a log that this program is writing grows while
    // it is read, and only what was there is taken.
    piece.nFileSize = file.size();
    const qint64 nStart = qMax<qint64>(0, piece.nFileSize - nBound);
    // One byte before the cut as well, to tell whether it falls on a line's
    // start.
    const qint64 nFrom = qMax<qint64>(0, nStart - 1);
    if (!file.seek(nFrom)) {
        piece.sError = file.errorString();
        return piece;
    }
    piece.data = file.read(piece.nFileSize - nFrom);
    if (piece.data.size() != piece.nFileSize - nFrom) {
        piece.sError = file.error() != QFileDevice::NoError ? file.errorString() : QStringLiteral("it shrank while read");
        piece.data.clear();
        return piece;
    }
    piece.eTaken = Taken::Whole;
    if (nStart > 0) {
        piece.eTaken = Taken::Tail;
        const int nLineEnd = piece.data.indexOf('\n');
        piece.data.remove(0, nLineEnd >= 0 && nLineEnd + 1 < piece.data.size() ? nLineEnd + 1 : 1);
    }
    return piece;
}

QList<Piece> RecentLogs(const QString &sLogDir, qint64 nBound)
{
    QList<Piece> pieces;
    qint64 nTotal = 0;
    bool bFull = false;
    for (const QFileInfo &log : LogsNewestFirst(sLogDir)) {
        const QString sEntry = QStringLiteral("logs/") + log.fileName();
        const bool bFirst = pieces.isEmpty();
        if (!bFull && (bFirst || nTotal + log.size() <= nBound)) {
            Piece piece = ReadBounded(log.filePath(), sEntry, bFirst ? nBound : nBound - nTotal);
            // A log that grew past the room left since it was listed is cut
            // to its tail as the newest is; the bound holds either way.
            nTotal += piece.data.size();
            pieces.append(piece);
            continue;
        }
        bFull = true;
        Piece piece;
        piece.sEntry = sEntry;
        piece.sSource = log.filePath();
        piece.eTaken = Taken::LeftOut;
        piece.nFileSize = log.size();
        pieces.append(piece);
    }
    return pieces;
}

QString LastLine(const QByteArray &text)
{
    const QList<QByteArray> lines = text.split('\n');
    for (auto it = lines.crbegin(); it != lines.crend(); ++it) {
        const QByteArray line = it->trimmed();
        if (!line.isEmpty()) {
            return QString::fromUtf8(line);
        }
    }
    return QString();
}

QString LastJobEnd(const QString &sLogDir, QString *pLog)
{
    static const QByteArray kMarker = QByteArrayLiteral("] Job end: ");
    for (const QFileInfo &log : LogsNewestFirst(sLogDir)) {
        const Piece piece = ReadBounded(log.filePath(), log.fileName(), kJobEndScanBytes);
        const int nMarker = piece.data.lastIndexOf(kMarker);
        if (nMarker < 0) {
            continue;
        }
        const int nLineStart = piece.data.lastIndexOf('\n', nMarker) + 1;
        int nLineEnd = piece.data.indexOf('\n', nMarker);
        if (nLineEnd < 0) {
            nLineEnd = piece.data.size();
        }
        // "[2026-12-10 14:03:11] [info] [thread ...] [file:line function] Job end: ..."
        const QByteArray line = piece.data.mid(nLineStart, nLineEnd - nLineStart).trimmed();
        const int nTimeEnd = line.indexOf(']');
        const QByteArray time = nTimeEnd > 0 ? line.mid(1, nTimeEnd - 1) : QByteArray();
        const QByteArray end = piece.data.mid(nMarker + kMarker.size(), nLineEnd - nMarker - kMarker.size()).trimmed();
        if (pLog) {
            *pLog = log.fileName();
        }
        return QString::fromUtf8(time.isEmpty() ? end : time + ' ' + end);
    }
    return QString();
}

} // namespace SupportLogs
