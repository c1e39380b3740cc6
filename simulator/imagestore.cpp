#include "simulator/imagestore.h"

#include <QDebug>
#include <QDir>
#include <QSaveFile>

#include <algorithm>

namespace ImageStore {

QString SafeFileName(const QByteArray &rawName)
{
    QString sName = QString::fromUtf8(rawName);
    const int nSlash = std::max(sName.lastIndexOf(QLatin1Char('/')), sName.lastIndexOf(QLatin1Char('\\')));
    sName = sName.mid(nSlash + 1);
    for (QChar &ch : sName) {
        if (ch.unicode() < 0x20 || ch.unicode() == 0x7F || ch == QLatin1Char(':'))
            ch = QLatin1Char('_');
    }
    sName = sName.trimmed();
    if (sName.isEmpty() || sName == QLatin1String(".") || sName == QLatin1String(".."))
        sName = QStringLiteral("image.bin");
    while (sName.toUtf8().size() > 200)
        sName.chop(1);
    return sName;
}

QString Store(const QString &sDir, const QByteArray &rawName, const QByteArray &content)
{
    QDir dir(sDir);
    const QString sPath = dir.absoluteFilePath(SafeFileName(rawName));
    QSaveFile file(sPath);
    if (!dir.mkpath(QStringLiteral(".")) || !file.open(QIODevice::WriteOnly) || file.write(content) != content.size()
        || !file.commit()) {
        qWarning() << "Simulated device: image not stored:" << sPath << file.errorString();
        return QString();
    }
    return sPath;
}

} // namespace ImageStore
