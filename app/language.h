#ifndef LANGUAGE_H
#define LANGUAGE_H

#include <QString>
#include <QTranslator>

// The interface languages and the one application translator.
//
// Ids: 0 Chinese (simplified), 1 English, 2 French, 3 German, 4 Spanish,
// 5 Italian, 6 Russian, 7 Polish. Each has an embedded translation
// ":/translation/Language_<suffix>.qm".

// The one translator of the process; installed by InitLanguage and reloaded
// in place by SwitchLanguage. Never removed from the application.
extern QTranslator g_translator;
// The language shown now, 0..7.
extern int g_nLanguageId;

namespace Language {
constexpr int kFirstId = 0;
constexpr int kLastId = 7;
constexpr int kEnglishId = 1;
constexpr int kNeverChosen = -1; // stored until a language is known

// "Language_de" for 3; "Language_en" for any id outside 0..7.
QString BaseName(int nLanguageId);
// ":/translation/Language_de" for 3 (no suffix: the translator's search adds ".qm").
QString ResourcePath(int nLanguageId);
} // namespace Language

// Loads the stored language (or, when none was ever chosen or the stored one
// cannot be loaded, the first of the system's UI languages that has a
// translation, else English) into g_translator, installs it and sets
// g_nLanguageId. A language found by the search is stored; a stored value is
// never rewritten here (a stored 12 shows English and stays 12).
void InitLanguage();

// Sets g_nLanguageId from a translation base name by exact comparison:
// "Language_zh_CN" 0, "Language_fr" 2, ... "Language_pl" 7, and 1 for
// "Language_en" and every other name.
void SetLanguageIdByFile(const QString &sFileName);

// Applies a language the user picked: reloads the translator with the
// translation of nLanguageId, installs it again (every widget then receives
// QEvent::LanguageChange) and stores the id. An id outside 0..7, a missing
// translator or a translation that does not load leaves the language shown,
// g_nLanguageId and the stored id as they were.
void SwitchLanguage(QTranslator *pTranslator, int nLanguageId);

#endif // LANGUAGE_H
