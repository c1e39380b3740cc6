#ifndef SETTINGS_H
#define SETTINGS_H

#include <QString>
#include <QVariant>

// The settings file config/config.ini (see AppPaths::SettingsFile()).
//
// Every access opens a fresh QSettings in INI format with the UTF-8 codec,
// reads or writes one key and closes it again, which writes the change back:
// no settings object stays open and nothing of the file is cached, so the
// file is always the one truth (the pages and the language logic write it
// independently). A failed write is not reported.
namespace Settings {

constexpr const char *kLanguageKey = "software/language";     // int, -1 = never chosen
constexpr const char *kUpgradeDirKey = "software/upgradedir"; // firmware file chosen last
constexpr const char *kExportDirKey = "software/exportdir";   // report folder chosen last

// The path of the settings file in use.
QString FilePath();

QVariant Value(const QString &sKey, const QVariant &defaultValue = QVariant());
void SetValue(const QString &sKey, const QVariant &value);
bool Contains(const QString &sKey);

// "software/language" as an integer; absent or not a number reads as 0.
int LanguageValue();
void SetLanguageValue(int nLanguageId);

// "software/upgradedir" and "software/exportdir"; absent reads as "".
QString UpgradeDir();
void SetUpgradeDir(const QString &sFilePath);
QString ExportDir();
void SetExportDir(const QString &sDirPath);

// First step after the application object exists: makes sure the file holds
// "software/language", writing -1 when it is missing (a first start, or a
// file that lost the key). An existing value of any kind is left alone.
void SeedSettingsFile();

} // namespace Settings

#endif // SETTINGS_H
