#include "app/apppaths.h"

#include "app/writablefolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

namespace AppPaths {

QString UserDataDir()
{
    const QString sBase = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (sBase.isEmpty()) {
        return QString();
    }
#ifdef Q_OS_WIN
    return sBase + QStringLiteral("/Kestrelpack");
#else
    return sBase + QStringLiteral("/kestrelpack");
#endif
}

QString ChooseDataDir(const QString &sAppDir, const QString &sUserDir)
{
    if (CanMakeFileIn(sAppDir)) {
        return sAppDir;
    }
    if (!sUserDir.isEmpty() && QDir().mkpath(sUserDir) && CanMakeFileIn(sUserDir)) {
        return sUserDir;
    }
    return sAppDir;
}

QString DataDir()
{
    // Chosen once: every settings access asks, and the probe makes a file.
    static const QString s_sDataDir = ChooseDataDir(QCoreApplication::applicationDirPath(), UserDataDir());
    return s_sDataDir;
}

QString SettingsFile()
{
    return DataDir() + QStringLiteral("/config/config.ini");
}

QString HistoryFile()
{
    return DataDir() + QStringLiteral("/service-history.csv");
}

} // namespace AppPaths
