#include "app/language.h"

#include "app/settings.h"

#include <QCoreApplication>
#include <QDebug>
#include <QFileInfo>
#include <QLocale>
#include <QStringList>

QTranslator g_translator;
int g_nLanguageId = 0;

namespace {

const QLatin1String kTranslationDir(":/translation/");

// Indexed by language id.
const char *const kBaseNames[] = {
    "Language_zh_CN", "Language_en", "Language_fr", "Language_de",
    "Language_es",    "Language_it", "Language_ru", "Language_pl",
};

bool IsLanguageId(int nLanguageId)
{
    return nLanguageId >= Language::kFirstId && nLanguageId <= Language::kLastId;
}

// The base name of the file the translator really loaded. The translator's
// search drops a territory part it has no file for (Language_de_DE loads
// Language_de.qm), so the candidate name alone does not tell the language.
QString LoadedBaseName(const QTranslator &translator, const QString &sCandidate)
{
    const QString sFilePath = translator.filePath();
    if (sFilePath.isEmpty()) {
        return sCandidate;
    }
    return QFileInfo(sFilePath).completeBaseName();
}

void SearchSystemLanguage()
{
    const QStringList uiLanguages = QLocale::system().uiLanguages();
    for (const QString &sEntry : uiLanguages) {
        const QString sCandidate = QStringLiteral("Language_") + QLocale(sEntry).name();
        if (g_translator.load(kTranslationDir + sCandidate)) {
            SetLanguageIdByFile(LoadedBaseName(g_translator, sCandidate));
            qDebug() << "InitLanguage: system language" << sEntry << "loaded" << g_translator.filePath();
            Settings::SetLanguageValue(g_nLanguageId);
            QCoreApplication::installTranslator(&g_translator);
            return;
        }
    }

    const QString sEnglish = Language::BaseName(Language::kEnglishId);
    if (g_translator.load(kTranslationDir + sEnglish)) {
        qDebug() << "InitLanguage: no translation for" << uiLanguages << "- English";
        SetLanguageIdByFile(sEnglish);
        Settings::SetLanguageValue(g_nLanguageId);
        QCoreApplication::installTranslator(&g_translator);
    } else {
        qDebug() << "InitLanguage: no translation could be loaded";
    }
}

} // namespace

namespace Language {

QString BaseName(int nLanguageId)
{
    return QLatin1String(IsLanguageId(nLanguageId) ? kBaseNames[nLanguageId] : kBaseNames[kEnglishId]);
}

QString ResourcePath(int nLanguageId)
{
    return kTranslationDir + BaseName(nLanguageId);
}

} // namespace Language

void InitLanguage()
{
    // No key at all is no choice either: the settings file could not even
    // take the "never chosen" mark (no folder of the program's can be
    // written). Reading it as a number would give 0, the first language of
    // the list, instead of the system's.
    if (!Settings::Contains(QLatin1String(Settings::kLanguageKey))) {
        qWarning().noquote() << "InitLanguage: no language stored in" << Settings::FilePath()
                             << "(it cannot be written); the system's language is shown";
        SearchSystemLanguage();
        return;
    }
    const int nStored = Settings::LanguageValue();
    if (nStored == Language::kNeverChosen) {
        SearchSystemLanguage();
        return;
    }
    const QString sBaseName = Language::BaseName(nStored);
    if (g_translator.load(kTranslationDir + sBaseName)) {
        qDebug() << "InitLanguage: stored" << nStored << "loaded" << g_translator.filePath();
        SetLanguageIdByFile(sBaseName);
        QCoreApplication::installTranslator(&g_translator);
    } else {
        SearchSystemLanguage();
    }
}

void SetLanguageIdByFile(const QString &sFileName)
{
    for (int nId = Language::kFirstId; nId <= Language::kLastId; ++nId) {
        if (sFileName == QLatin1String(kBaseNames[nId])) {
            g_nLanguageId = nId;
            return;
        }
    }
    g_nLanguageId = Language::kEnglishId;
}

void SwitchLanguage(QTranslator *pTranslator, int nLanguageId)
{
    if (!pTranslator) {
        qDebug() << "SwitchLanguage: no translator";
        return;
    }
    // A failed load empties the translator, so the language shown and the id
    // stored would disagree: put the current translation back and change
    // nothing. Ids outside 0..7 have no translation at all.
    if (!IsLanguageId(nLanguageId)) {
        qDebug() << "SwitchLanguage: no language" << nLanguageId;
        return;
    }
    if (!pTranslator->load(Language::ResourcePath(nLanguageId))) {
        qDebug() << "SwitchLanguage: cannot load" << Language::ResourcePath(nLanguageId);
        pTranslator->load(Language::ResourcePath(g_nLanguageId));
        return;
    }
    g_nLanguageId = nLanguageId;
    QCoreApplication::installTranslator(pTranslator);
    Settings::SetLanguageValue(g_nLanguageId);
}
