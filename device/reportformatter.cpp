#include "device/reportformatter.h"

#include <QLocale>

#include <algorithm>
#include <cstring>

namespace {

// Replaces every occurrence of `before` in data[0, nSize) by `after`, left to
// right, continuing after each replaced occurrence (never inside what was
// written); `after` must not be longer than `before`, so the write index
// never passes the read index and the pass works in place. Returns the new
// size.
qsizetype ShrinkReplace(char *data, qsizetype nSize, const QByteArray &before, const QByteArray &after)
{
    const qsizetype nBefore = before.size();
    const qsizetype nAfter = after.size();
    Q_ASSERT(nBefore > 0 && nAfter <= nBefore);
    const char cFirst = before.at(0);
    qsizetype nRead = 0;
    qsizetype nWrite = 0;
    while (nRead < nSize) {
        const void *pHit = std::memchr(data + nRead, cFirst, size_t(nSize - nRead));
        const qsizetype nHit = pHit ? static_cast<const char *>(pHit) - data : nSize;
        // The stretch up to the candidate is kept as it is.
        if (nWrite != nRead)
            std::memmove(data + nWrite, data + nRead, size_t(nHit - nRead));
        nWrite += nHit - nRead;
        nRead = nHit;
        if (nRead == nSize)
            break;
        if (nSize - nRead >= nBefore && std::memcmp(data + nRead, before.constData(), size_t(nBefore)) == 0) {
            std::memcpy(data + nWrite, after.constData(), size_t(nAfter));
            nWrite += nAfter;
            nRead += nBefore;
        } else {
            data[nWrite++] = data[nRead++];
        }
    }
    return nWrite;
}

} // namespace

QByteArray ReportFormatter::ToCsv(QByteArray stream)
{
    if (stream.isEmpty())
        return stream;
    // data() copies only when the buffer is shared, so a caller's own copy
    // is never touched.
    char *data = stream.data();
    qsizetype nSize = stream.size();
    std::replace(data, data + nSize, ' ', ',');
    nSize = ShrinkReplace(data, nSize, QByteArrayLiteral("\n\r"), QByteArrayLiteral("\n"));
    nSize = ShrinkReplace(data, nSize, QByteArrayLiteral("\n\n"), QByteArrayLiteral("\n"));
    // The device's invalid-record line as it reads once its spaces are commas.
    nSize = ShrinkReplace(data, nSize, QByteArrayLiteral("An,invalid,record.\n"), QByteArray());
    // Shrinking an unshared buffer keeps its allocation: no copy here either.
    stream.resize(int(nSize));
    return stream;
}

QString ReportFormatter::ReportFilePath(const QString &sDirPath, const QDateTime &start, int nNumber, Stage stage)
{
    // The C locale keeps the digits ASCII whatever the system's language;
    // the parts go in one arg() so a '%' in the folder name stays as it is.
    QString sName = QLocale::c().toString(start.toLocalTime(), QStringLiteral("yyyy-MM-dd-hh-mm-ss"));
    if (nNumber > 1) {
        sName += QLatin1Char('_') + QString::number(nNumber);
    }
    switch (stage) {
    case Stage::Complete:
        return QStringLiteral("%1/Report_%2.csv").arg(sDirPath, sName);
    case Stage::Unfinished:
        return QStringLiteral("%1/Report_%2.csv.unfinished").arg(sDirPath, sName);
    case Stage::Partial:
        break;
    }
    return QStringLiteral("%1/Partial_Report_%2.csv").arg(sDirPath, sName);
}
