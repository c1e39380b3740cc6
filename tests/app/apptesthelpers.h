#ifndef APPTESTHELPERS_H
#define APPTESTHELPERS_H

#include <QMap>
#include <QProcessEnvironment>
#include <QScopedPointer>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// Shared by the tests of the application frame.
namespace AppTest {

QByteArray ReadAll(const QString &sPath);
bool WriteAll(const QString &sPath, const QByteArray &content); // creates the folder

// What a catalogue text reads as in one embedded translation file
// ("Language_de"), independently of the translator under test.
QString TranslatedBy(const QString &sBaseName, const char *szContext, const char *szText);

// Points the process's settings at config/config.ini in a new temporary
// folder for its lifetime.
class TemporarySettings
{
public:
    TemporarySettings();
    ~TemporarySettings();
    bool IsValid() const;
    QString FilePath() const;
    QString DirPath() const;

private:
    QTemporaryDir m_dir;
};

// Copies an executable into sDir (keeping it executable); returns the copy's
// path, or an empty string on failure. Run from there, the copy keeps its
// settings and logs in that folder.
QString CopyInto(const QString &sExecutable, const QString &sDir);

// The test's environment without anything that sets a locale, a language or
// Qt's message output; then LANGUAGE, LC_ALL and LANG as given (empty: unset),
// the offscreen platform and no serial ports.
QProcessEnvironment Environment(const QString &sLanguage, const QString &sLcAll, const QString &sLang);

// Parses "key=value" lines (UTF-8).
QMap<QString, QString> ParseKeyValues(const QByteArray &output);

} // namespace AppTest

#endif // APPTESTHELPERS_H
