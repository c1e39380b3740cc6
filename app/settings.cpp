#include "app/settings.h"
#include "app/settingsfortesting.h"

#include "app/apppaths.h"

#include <QDebug>
#include <QSettings>
#include <QTextCodec>

namespace {

QString &FileOverride()
{
    static QString s_sFile;
    return s_sFile;
}

// Opens the file for exactly one access. The codec must be set before the
// first read, or non-ASCII paths written by another access come back wrong.
class SettingsAccess
{
public:
    SettingsAccess()
        : m_settings(Settings::FilePath(), QSettings::IniFormat)
    {
        m_settings.setIniCodec(QTextCodec::codecForName("UTF-8"));
    }
    ~SettingsAccess()
    {
        m_settings.sync();
        if (m_settings.status() != QSettings::NoError) {
            qDebug() << "Settings: cannot write" << m_settings.fileName();
        }
    }
    QSettings *operator->() { return &m_settings; }

private:
    QSettings m_settings;
};

} // namespace

namespace Settings {

QString FilePath()
{
    const QString &sOverride = FileOverride();
    return sOverride.isEmpty() ? AppPaths::SettingsFile() : sOverride;
}

QVariant Value(const QString &sKey, const QVariant &defaultValue)
{
    SettingsAccess settings;
    return settings->value(sKey, defaultValue);
}

void SetValue(const QString &sKey, const QVariant &value)
{
    SettingsAccess settings;
    settings->setValue(sKey, value);
}

bool Contains(const QString &sKey)
{
    SettingsAccess settings;
    return settings->contains(sKey);
}

int LanguageValue()
{
    // toInt() gives 0 for an absent key and for text that is not a number.
    return Value(QLatin1String(kLanguageKey), QString()).toInt();
}

void SetLanguageValue(int nLanguageId)
{
    SetValue(QLatin1String(kLanguageKey), nLanguageId);
}

QString UpgradeDir()
{
    return Value(QLatin1String(kUpgradeDirKey), QString()).toString();
}

void SetUpgradeDir(const QString &sFilePath)
{
    SetValue(QLatin1String(kUpgradeDirKey), sFilePath);
}

QString ExportDir()
{
    return Value(QLatin1String(kExportDirKey), QString()).toString();
}

void SetExportDir(const QString &sDirPath)
{
    SetValue(QLatin1String(kExportDirKey), sDirPath);
}

void SeedSettingsFile()
{
    // QSettings creates the config folder when it writes the file.
    SettingsAccess settings;
    if (!settings->contains(QLatin1String(kLanguageKey))) {
        settings->setValue(QLatin1String(kLanguageKey), -1);
    }
}

} // namespace Settings

namespace SettingsForTesting {

void SetFile(const QString &sFilePath)
{
    FileOverride() = sFilePath;
}

void Reset()
{
    FileOverride().clear();
}

} // namespace SettingsForTesting
