#include "apptesthelpers.h"

#include "app/settingsfortesting.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTranslator>

namespace AppTest {

QByteArray ReadAll(const QString &sPath)
{
    QFile file(sPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WriteAll(const QString &sPath, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(sPath).path());
    QFile file(sPath);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(content) == content.size();
}

QString TranslatedBy(const QString &sBaseName, const char *szContext, const char *szText)
{
    QTranslator translator;
    if (!translator.load(QStringLiteral(":/translation/") + sBaseName)) {
        return QStringLiteral("<%1 did not load>").arg(sBaseName);
    }
    return translator.translate(szContext, szText);
}

TemporarySettings::TemporarySettings()
{
    SettingsForTesting::SetFile(FilePath());
}

TemporarySettings::~TemporarySettings()
{
    SettingsForTesting::Reset();
}

bool TemporarySettings::IsValid() const
{
    return m_dir.isValid();
}

QString TemporarySettings::FilePath() const
{
    return m_dir.path() + QStringLiteral("/config/config.ini");
}

QString TemporarySettings::DirPath() const
{
    return m_dir.path();
}

QString CopyInto(const QString &sExecutable, const QString &sDir)
{
    const QString sCopy = sDir + QLatin1Char('/') + QFileInfo(sExecutable).fileName();
    if (!QFile::copy(sExecutable, sCopy)) {
        return QString();
    }
    QFile::setPermissions(sCopy, QFile::permissions(sExecutable) | QFile::ExeOwner);
    return sCopy;
}

QProcessEnvironment Environment(const QString &sLanguage, const QString &sLcAll, const QString &sLang)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    const QStringList keys = env.keys();
    for (const QString &sKey : keys) {
        if (sKey.startsWith(QLatin1String("LC_")) || sKey == QLatin1String("LANG") ||
            sKey == QLatin1String("LANGUAGE") || sKey.startsWith(QLatin1String("QT_LOGGING")) ||
            sKey == QLatin1String("QT_MESSAGE_PATTERN")) {
            env.remove(sKey);
        }
    }
    const QPair<const char *, QString> settings[] = {
        {"LANGUAGE", sLanguage}, {"LC_ALL", sLcAll}, {"LANG", sLang}};
    for (const auto &setting : settings) {
        if (!setting.second.isEmpty()) {
            env.insert(QLatin1String(setting.first), setting.second);
        }
    }
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("KESTRELPACK_SERIAL_PORTS"), QString());
    return env;
}

QMap<QString, QString> ParseKeyValues(const QByteArray &output)
{
    QMap<QString, QString> values;
    const QList<QByteArray> lines = output.split('\n');
    for (const QByteArray &line : lines) {
        const int nEquals = line.indexOf('=');
        if (nEquals > 0) {
            values.insert(QString::fromUtf8(line.left(nEquals)), QString::fromUtf8(line.mid(nEquals + 1)));
        }
    }
    return values;
}

} // namespace AppTest
