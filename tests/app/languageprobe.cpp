// Test helper: runs the program's settings and language start-up steps in a
// process of its own, so a test can give it a fresh application folder (a
// copy of this executable) and a system language of its choosing through the
// environment. Prints "key=value" lines in UTF-8 on stdout.
//
//   kp_languageprobe start              seed the settings, load the language
//   kp_languageprobe setkeys <hex> <hex>  store upgradedir and exportdir
//                                       (UTF-8, hex-encoded so any locale passes them)
//   kp_languageprobe keys               print the three keys

#include "app/language.h"
#include "app/settings.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

namespace {

void Print(const char *szKey, const QString &sValue)
{
    const QByteArray line = QByteArray(szKey) + '=' + sValue.toUtf8() + '\n';
    std::fwrite(line.constData(), 1, std::size_t(line.size()), stdout);
}

QString StoredLanguage()
{
    return Settings::Value(QLatin1String(Settings::kLanguageKey)).toString();
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString sMode = args.value(1);

    if (sMode == QLatin1String("start")) {
        Settings::SeedSettingsFile();
        Print("seeded", StoredLanguage());
        InitLanguage();
        Print("id", QString::number(g_nLanguageId));
        Print("stored", StoredLanguage());
        Print("file", g_translator.filePath());
        Print("text", QCoreApplication::translate("MainForm", "Language"));
    } else if (sMode == QLatin1String("setkeys") && args.size() == 4) {
        Settings::SetUpgradeDir(QString::fromUtf8(QByteArray::fromHex(args[2].toLatin1())));
        Settings::SetExportDir(QString::fromUtf8(QByteArray::fromHex(args[3].toLatin1())));
    } else if (sMode == QLatin1String("keys")) {
        Print("language", StoredLanguage());
        Print("upgradedir", Settings::UpgradeDir());
        Print("exportdir", Settings::ExportDir());
    } else {
        std::fprintf(stderr, "usage: kp_languageprobe start|setkeys <hex> <hex>|keys\n");
        return 2;
    }
    Print("settings", Settings::FilePath());
    std::fflush(stdout);
    return 0;
}
