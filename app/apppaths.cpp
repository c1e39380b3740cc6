#include "app/apppaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace AppPaths {

QString DataDir()
{
    const QString sAppDir = QCoreApplication::applicationDirPath();
#ifndef Q_OS_WIN
    if (!QFileInfo(sAppDir).isWritable()) {
        const QString sUserDir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        if (!sUserDir.isEmpty() && QDir().mkpath(sUserDir)) {
            return sUserDir;
        }
    }
#endif
    return sAppDir;
}

QString SettingsFile()
{
    return DataDir() + QStringLiteral("/config/config.ini");
}

} // namespace AppPaths
